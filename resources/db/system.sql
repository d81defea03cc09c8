-- Rows every project starts with: the version record, the upgrade scripts,
-- the two roots, the default-name counters and the identifier sequences.

INSERT INTO SystemData (ID, ParentID, Name, Version) VALUES (1, 1, 'Zelnor Wizard project', '1.00.04');

-- Statements of a script are separated by lines that read "go" (CR LF before
-- each); the last statement of a script raises the project's version.
INSERT INTO Versions (ID, Name, SQLScript, Description) VALUES (1000001, 'Signals by module',
    'CREATE INDEX IF NOT EXISTS IX_Signals_ParentID ON Signals (ParentID)' || char(13) || char(10) || 'go'
    || char(13) || char(10) || 'UPDATE SystemData SET Version = ''1.00.01''',
    'Index on Signals.ParentID for reading the signals of a module.');
INSERT INTO Versions (ID, Name, SQLScript, Description) VALUES (1000002, 'Signals by name',
    'CREATE INDEX IF NOT EXISTS IX_Signals_Name ON Signals (Name)' || char(13) || char(10) || 'go'
    || char(13) || char(10) || 'UPDATE SystemData SET Version = ''1.00.02''',
    'Index on Signals.Name: every new signal name is checked against the others, which without it reads the whole table for each copied module.');
INSERT INTO Versions (ID, Name, SQLScript, Description) VALUES (1000003, 'Commissioning',
    'CREATE TABLE IF NOT EXISTS CommissioningRecords (ID INTEGER NOT NULL PRIMARY KEY, RecordedAt VARCHAR(19), ModuleTable VARCHAR(50), ModuleID INTEGER, ModulePath VARCHAR(255), SerialNr VARCHAR(12), Revision VARCHAR(8), OsUser VARCHAR(64), ProgramVersion VARCHAR(20), Result VARCHAR(10), Reason VARCHAR(255), CrcWritten VARCHAR(8), CrcReadBack VARCHAR(8), ElapsedMs INTEGER)' || char(13) || char(10) || 'go'
    || char(13) || char(10) || 'CREATE TABLE IF NOT EXISTS CommissioningQueue (ID INTEGER NOT NULL PRIMARY KEY, ModuleTable VARCHAR(50), ModuleID INTEGER, State INTEGER, Reason VARCHAR(255), SerialNr VARCHAR(12), ElapsedMs INTEGER, ChangedAt VARCHAR(19))' || char(13) || char(10) || 'go'
    || char(13) || char(10) || 'UPDATE SystemData SET Version = ''1.00.03''',
    'Commissioning records (module, serial number, result, CRC-32 of the blocks written and read back) and the states of the queued modules of a run.');

INSERT INTO Versions (ID, Name, SQLScript, Description) VALUES (1000004, 'Commissioning ports',
    'ALTER TABLE CommissioningRecords ADD COLUMN Port VARCHAR(64)' || char(13) || char(10) || 'go'
    || char(13) || char(10) || 'UPDATE SystemData SET Version = ''1.00.04''',
    'The port each commissioning attempt was made on, for a bench of several ports.');

INSERT INTO ProjectsRoot (ID, Name, NameL2, NameL3, NameL4, NameL5) VALUES (1, 'Project', 'Projekt', 'Projet', 'Проект', 'Proyecto');
INSERT INTO SignalsRoot (ID, Name, NameL2, NameL3, NameL4, NameL5) VALUES (1, 'Signals', 'Signale', 'Signaux', 'Сигналы', 'Señales');

-- Running numbers of default names, in Option1: 1 signals, 2 plants,
-- 3 cabinets, 4 zelnor-carriers.
INSERT INTO ProjectOptions (ID, ParentID, Name, Option1, Option2, Option3, Description) VALUES (1, 1, 'SignalCounter', 1, 0, 0, 'Next number of a default signal name');
INSERT INTO ProjectOptions (ID, ParentID, Name, Option1, Option2, Option3, Description) VALUES (2, 1, 'PlantCounter', 1, 0, 0, 'Next number of a default plant name');
INSERT INTO ProjectOptions (ID, ParentID, Name, Option1, Option2, Option3, Description) VALUES (3, 1, 'CabinetCounter', 1, 0, 0, 'Next number of a default cabinet name');
INSERT INTO ProjectOptions (ID, ParentID, Name, Option1, Option2, Option3, Description) VALUES (4, 1, 'CarrierCounter', 1, 0, 0, 'Next number of a default zelnor-carrier name');

-- Every table numbers its rows from its own sequence; catalogue rows use
-- identifiers below 100.
INSERT INTO IDSequences (SeqName, ID) VALUES ('ProjectsRoot', 100);
INSERT INTO IDSequences (SeqName, ID) VALUES ('SignalsRoot', 100);
INSERT INTO IDSequences (SeqName, ID) VALUES ('Equipments', 100);
INSERT INTO IDSequences (SeqName, ID) VALUES ('Racks', 100);
INSERT INTO IDSequences (SeqName, ID) VALUES ('ZelnorHolders', 100);
INSERT INTO IDSequences (SeqName, ID) VALUES ('Modules7230_1', 100);
INSERT INTO IDSequences (SeqName, ID) VALUES ('Modules7230_2', 100);
INSERT INTO IDSequences (SeqName, ID) VALUES ('Modules7230_3', 100);
INSERT INTO IDSequences (SeqName, ID) VALUES ('Modules7230_4', 100);
INSERT INTO IDSequences (SeqName, ID) VALUES ('Modules7210_1', 100);
INSERT INTO IDSequences (SeqName, ID) VALUES ('Modules7210_2', 100);
INSERT INTO IDSequences (SeqName, ID) VALUES ('Modules7210_3', 100);
INSERT INTO IDSequences (SeqName, ID) VALUES ('Modules7210_4', 100);
INSERT INTO IDSequences (SeqName, ID) VALUES ('Modules7220_1', 100);
INSERT INTO IDSequences (SeqName, ID) VALUES ('Modules7220_2', 100);
INSERT INTO IDSequences (SeqName, ID) VALUES ('Modules7220_3', 100);
INSERT INTO IDSequences (SeqName, ID) VALUES ('Modules7220_4', 100);
INSERT INTO IDSequences (SeqName, ID) VALUES ('Signals', 100);
INSERT INTO IDSequences (SeqName, ID) VALUES ('ModuleTypes7230', 100);
INSERT INTO IDSequences (SeqName, ID) VALUES ('ModuleTypes7210', 100);
INSERT INTO IDSequences (SeqName, ID) VALUES ('ModuleTypes7220', 100);
INSERT INTO IDSequences (SeqName, ID) VALUES ('WorkingModes7230', 100);
INSERT INTO IDSequences (SeqName, ID) VALUES ('WorkingModes7210', 100);
INSERT INTO IDSequences (SeqName, ID) VALUES ('MeasuredUnits7230', 100);
INSERT INTO IDSequences (SeqName, ID) VALUES ('MeasuredUnits7210', 100);
INSERT INTO IDSequences (SeqName, ID) VALUES ('SensorTypes7230', 100);
INSERT INTO IDSequences (SeqName, ID) VALUES ('SensorTypes7210', 100);
INSERT INTO IDSequences (SeqName, ID) VALUES ('CircuitTypes', 100);
INSERT INTO IDSequences (SeqName, ID) VALUES ('ImpulseType', 100);
INSERT INTO IDSequences (SeqName, ID) VALUES ('RangeTable7230', 100);
INSERT INTO IDSequences (SeqName, ID) VALUES ('RangeTable7210', 100);
INSERT INTO IDSequences (SeqName, ID) VALUES ('ComparePlaceTC', 100);
INSERT INTO IDSequences (SeqName, ID) VALUES ('OutputSignalType', 100);
INSERT INTO IDSequences (SeqName, ID) VALUES ('RelayLimitingValues', 100);
INSERT INTO IDSequences (SeqName, ID) VALUES ('RelayProtection', 100);
INSERT INTO IDSequences (SeqName, ID) VALUES ('DefaultModules7230', 100);
INSERT INTO IDSequences (SeqName, ID) VALUES ('DefaultModules7210', 100);
INSERT INTO IDSequences (SeqName, ID) VALUES ('DefaultModules7220', 100);
INSERT INTO IDSequences (SeqName, ID) VALUES ('DefaultSignals', 100);
INSERT INTO IDSequences (SeqName, ID) VALUES ('ProjectOptions', 100);
INSERT INTO IDSequences (SeqName, ID) VALUES ('CommissioningRecords', 100);
INSERT INTO IDSequences (SeqName, ID) VALUES ('CommissioningQueue', 100);
