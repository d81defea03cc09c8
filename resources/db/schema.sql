-- Tables and columns of a project file. A new project is a copy of the
-- reference database built from this file, system.sql and catalogue/*.sql.
-- Long columns are INTEGER, Yes/No columns hold -1 (true) or 0 (false),
-- Text(n) columns are VARCHAR(n); the program cuts longer texts to n
-- characters when it reads them.

-- ParentID and Sequence are never read or written for the project root.
CREATE TABLE ProjectsRoot (
    [ID] INTEGER NOT NULL PRIMARY KEY,
    [Name] VARCHAR(50),
    [NameL2] VARCHAR(50),
    [NameL3] VARCHAR(50),
    [NameL4] VARCHAR(50),
    [Description] VARCHAR(250),
    [Company] VARCHAR(30),
    [Project] VARCHAR(50),
    [DevicePlacement] VARCHAR(30),
    [CreatedBy] VARCHAR(20),
    [RevisionNr] VARCHAR(20),
    [OrderNr] VARCHAR(20),
    [DucumentName] VARCHAR(20),
    [DocumentNr] VARCHAR(20),
    [TestingBy] VARCHAR(50),
    [NameL5] VARCHAR(50)
);

CREATE TABLE SignalsRoot (
    [ID] INTEGER NOT NULL PRIMARY KEY,
    [Name] VARCHAR(50),
    [NameL2] VARCHAR(50),
    [NameL3] VARCHAR(50),
    [NameL4] VARCHAR(50),
    [Description] VARCHAR(250),
    [NameL5] VARCHAR(50)
);

CREATE TABLE Equipments (
    [ID] INTEGER NOT NULL PRIMARY KEY,
    [ParentID] INTEGER,
    [Name] VARCHAR(50),
    [Description] VARCHAR(250)
);

CREATE TABLE Racks (
    [ID] INTEGER NOT NULL PRIMARY KEY,
    [ParentID] INTEGER,
    [Name] VARCHAR(50),
    [Description] VARCHAR(250)
);

CREATE TABLE ZelnorHolders (
    [ID] INTEGER NOT NULL PRIMARY KEY,
    [ParentID] INTEGER,
    [Name] VARCHAR(50),
    [Description] VARCHAR(250)
);

CREATE TABLE Modules7230_1 (
    [ID] INTEGER NOT NULL PRIMARY KEY,
    [ParentID] INTEGER,
    [Name] VARCHAR(99),
    [Sequence] INTEGER,
    [Description] VARCHAR(250),
    [ModulTypID] INTEGER,
    [DIPSwitch] SMALLINT NOT NULL DEFAULT 0,
    [Revision] VARCHAR(9),
    [SerialNr] VARCHAR(13),
    [ModulTag] VARCHAR(99),
    [Ch1SignalID] INTEGER,
    [Ch2SignalID] INTEGER,
    [LastProgramming] VARCHAR(30),
    [Memo] VARCHAR(249)
);

CREATE TABLE Modules7230_2 (
    [ID] INTEGER NOT NULL PRIMARY KEY,
    [ParentID] INTEGER,
    [Name] VARCHAR(99),
    [Sequence] INTEGER,
    [Description] VARCHAR(250),
    [ModulTypID] INTEGER,
    [DIPSwitch] SMALLINT NOT NULL DEFAULT 0,
    [Revision] VARCHAR(9),
    [SerialNr] VARCHAR(13),
    [ModulTag] VARCHAR(99),
    [Ch1SignalID] INTEGER,
    [Ch2SignalID] INTEGER,
    [LastProgramming] VARCHAR(30),
    [Memo] VARCHAR(249)
);

CREATE TABLE Modules7230_3 (
    [ID] INTEGER NOT NULL PRIMARY KEY,
    [ParentID] INTEGER,
    [Name] VARCHAR(99),
    [Sequence] INTEGER,
    [Description] VARCHAR(250),
    [ModulTypID] INTEGER,
    [DIPSwitch] SMALLINT NOT NULL DEFAULT 0,
    [Revision] VARCHAR(9),
    [SerialNr] VARCHAR(13),
    [ModulTag] VARCHAR(99),
    [Ch1SignalID] INTEGER,
    [Ch2SignalID] INTEGER,
    [LastProgramming] VARCHAR(30),
    [Memo] VARCHAR(249)
);

CREATE TABLE Modules7230_4 (
    [ID] INTEGER NOT NULL PRIMARY KEY,
    [ParentID] INTEGER,
    [Name] VARCHAR(99),
    [Sequence] INTEGER,
    [Description] VARCHAR(250),
    [ModulTypID] INTEGER,
    [DIPSwitch] SMALLINT NOT NULL DEFAULT 0,
    [Revision] VARCHAR(9),
    [SerialNr] VARCHAR(13),
    [ModulTag] VARCHAR(99),
    [Ch1SignalID] INTEGER,
    [Ch2SignalID] INTEGER,
    [LastProgramming] VARCHAR(30),
    [Memo] VARCHAR(249)
);

CREATE TABLE Modules7210_1 (
    [ID] INTEGER NOT NULL PRIMARY KEY,
    [ParentID] INTEGER,
    [Name] VARCHAR(100),
    [Sequence] INTEGER,
    [Description] VARCHAR(250),
    [ModulTypID] INTEGER,
    [DIPSwitch] SMALLINT NOT NULL DEFAULT 0,
    [Revision] VARCHAR(9),
    [SerialNr] VARCHAR(13),
    [ModulTag] VARCHAR(100),
    [Ch1SignalID] INTEGER,
    [Ch2SignalID] INTEGER,
    [LastProgramming] VARCHAR(30),
    [Memo] VARCHAR(250)
);

CREATE TABLE Modules7210_2 (
    [ID] INTEGER NOT NULL PRIMARY KEY,
    [ParentID] INTEGER,
    [Name] VARCHAR(100),
    [Sequence] INTEGER,
    [Description] VARCHAR(250),
    [ModulTypID] INTEGER,
    [DIPSwitch] SMALLINT NOT NULL DEFAULT 0,
    [Revision] VARCHAR(9),
    [SerialNr] VARCHAR(13),
    [ModulTag] VARCHAR(100),
    [Ch1SignalID] INTEGER,
    [Ch2SignalID] INTEGER,
    [LastProgramming] VARCHAR(30),
    [Memo] VARCHAR(250)
);

CREATE TABLE Modules7210_3 (
    [ID] INTEGER NOT NULL PRIMARY KEY,
    [ParentID] INTEGER,
    [Name] VARCHAR(100),
    [Sequence] INTEGER,
    [Description] VARCHAR(250),
    [ModulTypID] INTEGER,
    [DIPSwitch] SMALLINT NOT NULL DEFAULT 0,
    [Revision] VARCHAR(9),
    [SerialNr] VARCHAR(13),
    [ModulTag] VARCHAR(100),
    [Ch1SignalID] INTEGER,
    [Ch2SignalID] INTEGER,
    [LastProgramming] VARCHAR(30),
    [Memo] VARCHAR(250)
);

CREATE TABLE Modules7210_4 (
    [ID] INTEGER NOT NULL PRIMARY KEY,
    [ParentID] INTEGER,
    [Name] VARCHAR(100),
    [Sequence] INTEGER,
    [Description] VARCHAR(250),
    [ModulTypID] INTEGER,
    [DIPSwitch] SMALLINT NOT NULL DEFAULT 0,
    [Revision] VARCHAR(9),
    [SerialNr] VARCHAR(13),
    [ModulTag] VARCHAR(100),
    [Ch1SignalID] INTEGER,
    [Ch2SignalID] INTEGER,
    [LastProgramming] VARCHAR(30),
    [Memo] VARCHAR(250)
);

CREATE TABLE Modules7220_1 (
    [ID] INTEGER NOT NULL PRIMARY KEY,
    [ParentID] INTEGER,
    [Name] VARCHAR(100),
    [Sequence] INTEGER,
    [Description] VARCHAR(250),
    [ModulTypID] INTEGER,
    [DIPSwitch] SMALLINT NOT NULL DEFAULT 0,
    [Revision] VARCHAR(9),
    [SerialNr] VARCHAR(13),
    [ModulTag] VARCHAR(100),
    [Ch1SignalID] INTEGER,
    [Ch2SignalID] INTEGER,
    [LastProgramming] VARCHAR(30),
    [Memo] VARCHAR(250)
);

CREATE TABLE Modules7220_2 (
    [ID] INTEGER NOT NULL PRIMARY KEY,
    [ParentID] INTEGER,
    [Name] VARCHAR(100),
    [Sequence] INTEGER,
    [Description] VARCHAR(250),
    [ModulTypID] INTEGER,
    [DIPSwitch] SMALLINT NOT NULL DEFAULT 0,
    [Revision] VARCHAR(9),
    [SerialNr] VARCHAR(13),
    [ModulTag] VARCHAR(100),
    [Ch1SignalID] INTEGER,
    [Ch2SignalID] INTEGER,
    [LastProgramming] VARCHAR(30),
    [Memo] VARCHAR(250)
);

CREATE TABLE Modules7220_3 (
    [ID] INTEGER NOT NULL PRIMARY KEY,
    [ParentID] INTEGER,
    [Name] VARCHAR(100),
    [Sequence] INTEGER,
    [Description] VARCHAR(250),
    [ModulTypID] INTEGER,
    [DIPSwitch] SMALLINT NOT NULL DEFAULT 0,
    [Revision] VARCHAR(9),
    [SerialNr] VARCHAR(13),
    [ModulTag] VARCHAR(100),
    [Ch1SignalID] INTEGER,
    [Ch2SignalID] INTEGER,
    [LastProgramming] VARCHAR(30),
    [Memo] VARCHAR(250)
);

CREATE TABLE Modules7220_4 (
    [ID] INTEGER NOT NULL PRIMARY KEY,
    [ParentID] INTEGER,
    [Name] VARCHAR(100),
    [Sequence] INTEGER,
    [Description] VARCHAR(250),
    [ModulTypID] INTEGER,
    [DIPSwitch] SMALLINT NOT NULL DEFAULT 0,
    [Revision] VARCHAR(9),
    [SerialNr] VARCHAR(13),
    [ModulTag] VARCHAR(100),
    [Ch1SignalID] INTEGER,
    [Ch2SignalID] INTEGER,
    [LastProgramming] VARCHAR(30),
    [Memo] VARCHAR(250)
);

CREATE TABLE DefaultModules7230 (
    [ID] INTEGER NOT NULL PRIMARY KEY,
    [ParentID] INTEGER,
    [Name] VARCHAR(50),
    [Sequence] INTEGER,
    [Description] VARCHAR(250),
    [ModulTypID] INTEGER,
    [DIPSwitch] SMALLINT NOT NULL DEFAULT 0,
    [Revision] VARCHAR(9),
    [SerialNr] VARCHAR(13),
    [ModulTag] VARCHAR(33),
    [Ch1SignalID] INTEGER,
    [Ch2SignalID] INTEGER,
    [LastProgramming] VARCHAR(30),
    [Memo] VARCHAR(250)
);

CREATE TABLE DefaultModules7210 (
    [ID] INTEGER NOT NULL PRIMARY KEY,
    [ParentID] INTEGER,
    [Name] VARCHAR(50),
    [Sequence] INTEGER,
    [Description] VARCHAR(250),
    [ModulTypID] INTEGER,
    [DIPSwitch] SMALLINT NOT NULL DEFAULT 0,
    [Revision] VARCHAR(9),
    [SerialNr] VARCHAR(13),
    [ModulTag] VARCHAR(100),
    [Ch1SignalID] INTEGER,
    [Ch2SignalID] INTEGER,
    [LastProgramming] VARCHAR(30),
    [Memo] VARCHAR(250)
);

CREATE TABLE DefaultModules7220 (
    [ID] INTEGER NOT NULL PRIMARY KEY,
    [ParentID] INTEGER,
    [Name] VARCHAR(50),
    [Sequence] INTEGER,
    [Description] VARCHAR(250),
    [ModulTypID] INTEGER,
    [DIPSwitch] SMALLINT NOT NULL DEFAULT 0,
    [Revision] VARCHAR(9),
    [SerialNr] VARCHAR(13),
    [ModulTag] VARCHAR(33),
    [Ch1SignalID] INTEGER,
    [Ch2SignalID] INTEGER,
    [LastProgramming] VARCHAR(30),
    [Memo] VARCHAR(250)
);

CREATE TABLE Signals (
    [ID] INTEGER NOT NULL PRIMARY KEY,
    [ParentID] INTEGER,
    [Name] VARCHAR(50),
    [Sequence] INTEGER,
    [Description] VARCHAR(250),
    [WorkingModeID] INTEGER,
    [SensorTypID] INTEGER,
    [TypeOfCircuitID] INTEGER,
    [WireResistance] INTEGER,
    [TCtypeID] INTEGER,
    [ComparePlaceTemp] INTEGER,
    [RangeBegin] INTEGER,
    [RangeEnd] INTEGER,
    [RangeID] INTEGER,
    [RangeUnitsID] INTEGER,
    [OutputSignalType] INTEGER,
    [OutputErrorStop] INTEGER,
    [OutputErrorValue] INTEGER,
    [Relay1LimitValue] INTEGER,
    [Relay1AgainSettingProtection] INTEGER,
    [Relay1Hysteresis] INTEGER,
    [Relay1ActiveRangeValue] INTEGER,
    [Relay2LimitValue] INTEGER,
    [Relay2AgainSettingProtection] INTEGER,
    [Relay2Hysteresis] INTEGER,
    [Relay2ActiveRangeValue] INTEGER,
    [Zaehlerignis] INTEGER,
    [Ueberlauf] INTEGER,
    [Impulsausgangaktiv] INTEGER,
    [Anlaufverzoegurung] INTEGER,
    [Zahlteilerkvocient] INTEGER
);

CREATE TABLE DefaultSignals (
    [ID] INTEGER NOT NULL PRIMARY KEY,
    [ParentID] INTEGER,
    [Name] VARCHAR(50),
    [Sequence] INTEGER,
    [Description] VARCHAR(250),
    [WorkingModeID] INTEGER,
    [SensorTypID] INTEGER,
    [TypeOfCircuitID] INTEGER,
    [WireResistance] INTEGER,
    [TCtypeID] INTEGER,
    [ComparePlaceTemp] INTEGER,
    [RangeBegin] INTEGER,
    [RangeEnd] INTEGER,
    [RangeID] INTEGER,
    [RangeUnitsID] INTEGER,
    [OutputSignalType] INTEGER,
    [OutputErrorStop] INTEGER,
    [OutputErrorValue] INTEGER,
    [Relay1LimitValue] INTEGER,
    [Relay1AgainSettingProtection] INTEGER,
    [Relay1Hysteresis] INTEGER,
    [Relay1ActiveRangeValue] INTEGER,
    [Relay2LimitValue] INTEGER,
    [Relay2AgainSettingProtection] INTEGER,
    [Relay2Hysteresis] INTEGER,
    [Relay2ActiveRangeValue] INTEGER,
    [Zaehlerignis] INTEGER,
    [Ueberlauf] INTEGER,
    [Impulsausgangaktiv] INTEGER,
    [Anlaufverzoegurung] INTEGER,
    [Zahlteilerkvocient] INTEGER
);

CREATE TABLE ModuleTypes7230 (
    [ID] INTEGER NOT NULL PRIMARY KEY,
    [ParentID] INTEGER,
    [Name] VARCHAR(50),
    [Sequence] INTEGER,
    [Description] VARCHAR(250),
    [TC] INTEGER,
    [OutputSignal] INTEGER,
    [LimitValue] INTEGER,
    [Channels] INTEGER
);

CREATE TABLE ModuleTypes7210 (
    [ID] INTEGER NOT NULL PRIMARY KEY,
    [ParentID] INTEGER,
    [Name] VARCHAR(50),
    [Sequence] INTEGER,
    [Description] VARCHAR(250),
    [OutputSignal] INTEGER,
    [LimitValue] INTEGER,
    [Channels] INTEGER,
    [HaveImpulseOutput] INTEGER
);

CREATE TABLE ModuleTypes7220 (
    [ID] INTEGER NOT NULL PRIMARY KEY,
    [ParentID] INTEGER,
    [Name] VARCHAR(50),
    [Sequence] INTEGER,
    [Description] VARCHAR(250),
    [OutputSignal] INTEGER,
    [LimitValue] INTEGER,
    [Channels] INTEGER
);

CREATE TABLE WorkingModes7230 (
    [ID] INTEGER NOT NULL PRIMARY KEY,
    [ParentID] INTEGER,
    [Name] VARCHAR(50),
    [NameL2] VARCHAR(50),
    [NameL3] VARCHAR(50),
    [NameL4] VARCHAR(50),
    [Sequence] INTEGER,
    [Description] VARCHAR(250),
    [Default] SMALLINT NOT NULL DEFAULT 0,
    [Condition1] SMALLINT NOT NULL DEFAULT 0,
    [Condition2] SMALLINT NOT NULL DEFAULT 0,
    [NameL5] VARCHAR(50)
);

CREATE TABLE WorkingModes7210 (
    [ID] INTEGER NOT NULL PRIMARY KEY,
    [ParentID] INTEGER,
    [Name] VARCHAR(50),
    [NameL2] VARCHAR(50),
    [NameL3] VARCHAR(50),
    [NameL4] VARCHAR(50),
    [Sequence] INTEGER,
    [Description] VARCHAR(250),
    [Default] SMALLINT NOT NULL DEFAULT 0,
    [Condition1] SMALLINT NOT NULL DEFAULT 0,
    [Condition2] SMALLINT NOT NULL DEFAULT 0,
    [NameL5] VARCHAR(50)
);

CREATE TABLE MeasuredUnits7230 (
    [ID] INTEGER NOT NULL PRIMARY KEY,
    [ParentID] INTEGER,
    [Name] VARCHAR(50),
    [NameL2] VARCHAR(50),
    [NameL3] VARCHAR(50),
    [NameL4] VARCHAR(50),
    [Digits] INTEGER,
    [Sequence] INTEGER,
    [Description] VARCHAR(250),
    [Condition1] SMALLINT NOT NULL DEFAULT 0,
    [Default1] SMALLINT NOT NULL DEFAULT 0,
    [Condition2] SMALLINT NOT NULL DEFAULT 0,
    [Default2] SMALLINT NOT NULL DEFAULT 0,
    [Condition3] SMALLINT NOT NULL DEFAULT 0,
    [Default3] SMALLINT NOT NULL DEFAULT 0,
    [NameL5] VARCHAR(50)
);

CREATE TABLE MeasuredUnits7210 (
    [ID] INTEGER NOT NULL PRIMARY KEY,
    [ParentID] INTEGER,
    [Name] VARCHAR(50),
    [NameL2] VARCHAR(50),
    [NameL3] VARCHAR(50),
    [NameL4] VARCHAR(50),
    [Digits] INTEGER,
    [Sequence] INTEGER,
    [Description] VARCHAR(250),
    [Condition1] SMALLINT NOT NULL DEFAULT 0,
    [Default1] SMALLINT NOT NULL DEFAULT 0,
    [Condition2] SMALLINT NOT NULL DEFAULT 0,
    [Default2] SMALLINT NOT NULL DEFAULT 0,
    [Condition3] SMALLINT NOT NULL DEFAULT 0,
    [Default3] SMALLINT NOT NULL DEFAULT 0,
    [NameL5] VARCHAR(50)
);

CREATE TABLE SensorTypes7230 (
    [ID] INTEGER NOT NULL PRIMARY KEY,
    [ParentID] INTEGER,
    [Name] VARCHAR(50),
    [NameL2] VARCHAR(50),
    [NameL3] VARCHAR(50),
    [NameL4] VARCHAR(50),
    [Name2] VARCHAR(50),
    [Name2L2] VARCHAR(50),
    [Name2L3] VARCHAR(50),
    [Name2L4] VARCHAR(50),
    [Name3] VARCHAR(50),
    [Name3L2] VARCHAR(50),
    [Name3L3] VARCHAR(50),
    [Name3L4] VARCHAR(50),
    [Sequence] INTEGER,
    [Description] VARCHAR(250),
    [NameL5] VARCHAR(50),
    [Name2L5] VARCHAR(50),
    [Name3L5] VARCHAR(50)
);

CREATE TABLE SensorTypes7210 (
    [ID] INTEGER NOT NULL PRIMARY KEY,
    [ParentID] INTEGER,
    [Name] VARCHAR(50),
    [NameL2] VARCHAR(50),
    [NameL3] VARCHAR(50),
    [NameL4] VARCHAR(50),
    [Name2] VARCHAR(50),
    [Name2L2] VARCHAR(50),
    [Name2L3] VARCHAR(50),
    [Name2L4] VARCHAR(50),
    [Name3] VARCHAR(50),
    [Name3L2] VARCHAR(50),
    [Name3L3] VARCHAR(50),
    [Name3L4] VARCHAR(50),
    [Sequence] INTEGER,
    [Description] VARCHAR(250),
    [NameL5] VARCHAR(50),
    [Name2L5] VARCHAR(50),
    [Name3L5] VARCHAR(50)
);

CREATE TABLE CircuitTypes (
    [ID] INTEGER NOT NULL PRIMARY KEY,
    [ParentID] INTEGER,
    [Name] VARCHAR(50),
    [NameL2] VARCHAR(50),
    [NameL3] VARCHAR(50),
    [NameL4] VARCHAR(50),
    [Sequence] INTEGER,
    [Description] VARCHAR(250),
    [Default] SMALLINT NOT NULL DEFAULT 0,
    [NameL5] VARCHAR(50)
);

CREATE TABLE ImpulseType (
    [ID] INTEGER NOT NULL PRIMARY KEY,
    [ParentID] INTEGER,
    [Name] VARCHAR(50),
    [NameL2] VARCHAR(50),
    [NameL3] VARCHAR(50),
    [NameL4] VARCHAR(50),
    [Sequence] INTEGER,
    [Description] VARCHAR(250),
    [Default] SMALLINT NOT NULL DEFAULT 0,
    [NameL5] VARCHAR(50)
);

CREATE TABLE RelayLimitingValues (
    [ID] INTEGER NOT NULL PRIMARY KEY,
    [ParentID] INTEGER,
    [Name] VARCHAR(50),
    [NameL2] VARCHAR(50),
    [NameL3] VARCHAR(50),
    [NameL4] VARCHAR(50),
    [Sequence] INTEGER,
    [Description] VARCHAR(250),
    [Default] SMALLINT NOT NULL DEFAULT 0,
    [NameL5] VARCHAR(50)
);

CREATE TABLE RelayProtection (
    [ID] INTEGER NOT NULL PRIMARY KEY,
    [ParentID] INTEGER,
    [Name] VARCHAR(50),
    [NameL2] VARCHAR(50),
    [NameL3] VARCHAR(50),
    [NameL4] VARCHAR(50),
    [Sequence] INTEGER,
    [Description] VARCHAR(250),
    [Default] SMALLINT NOT NULL DEFAULT 0,
    [NameL5] VARCHAR(50)
);

-- The program never reads or writes a Default column of this table.
CREATE TABLE ComparePlaceTC (
    [ID] INTEGER NOT NULL PRIMARY KEY,
    [ParentID] INTEGER,
    [Name] VARCHAR(50),
    [NameL2] VARCHAR(50),
    [NameL3] VARCHAR(50),
    [NameL4] VARCHAR(50),
    [Sequence] INTEGER,
    [Description] VARCHAR(250),
    [NameL5] VARCHAR(50)
);

-- Condition1 is compared with a module type's OutputSignal, so it is a number here.
CREATE TABLE OutputSignalType (
    [ID] INTEGER NOT NULL PRIMARY KEY,
    [ParentID] INTEGER,
    [Name] VARCHAR(50),
    [NameL2] VARCHAR(50),
    [NameL3] VARCHAR(50),
    [NameL4] VARCHAR(50),
    [Sequence] INTEGER,
    [Value] INTEGER,
    [Condition1] INTEGER,
    [Description] VARCHAR(250),
    [Default] SMALLINT NOT NULL DEFAULT 0,
    [NameL5] VARCHAR(50)
);

CREATE TABLE RangeTable7230 (
    [ID] INTEGER NOT NULL PRIMARY KEY,
    [ParentID] INTEGER,
    [Name] VARCHAR(50),
    [RangeBeginFrom] INTEGER,
    [RangeBeginTo] INTEGER,
    [RangeEndFrom] INTEGER,
    [RangeEndTo] INTEGER,
    [MinimalRange] INTEGER,
    [WorkingModeID] INTEGER,
    [SensorTypeID] INTEGER,
    [MeasuredUnitID] INTEGER,
    [Description] VARCHAR(50)
);

CREATE TABLE RangeTable7210 (
    [ID] INTEGER NOT NULL PRIMARY KEY,
    [ParentID] INTEGER,
    [Name] VARCHAR(50),
    [RangeBeginFrom] INTEGER,
    [RangeBeginTo] INTEGER,
    [RangeEndFrom] INTEGER,
    [RangeEndTo] INTEGER,
    [MinimalRange] INTEGER,
    [WorkingModeID] INTEGER,
    [SensorTypeID] INTEGER,
    [MeasuredUnitID] INTEGER,
    [Description] VARCHAR(50)
);

CREATE TABLE ProjectOptions (
    [ID] INTEGER NOT NULL PRIMARY KEY,
    [ParentID] INTEGER,
    [Name] VARCHAR(50),
    [Option1] INTEGER,
    [Option2] INTEGER,
    [Option3] INTEGER,
    [Option4] VARCHAR(50),
    [Option5] VARCHAR(50),
    [Description] VARCHAR(250)
);

CREATE TABLE IDSequences (
    [SeqName] VARCHAR(49) NOT NULL PRIMARY KEY,
    [ID] INTEGER NOT NULL DEFAULT 100
);

CREATE TABLE SystemData (ID INTEGER NOT NULL, ParentID INTEGER NOT NULL, Name CHAR(50), Version CHAR(50));

-- Read from the reference database only: the scripts that bring an older
-- project up to the version whose number is ID.
CREATE TABLE Versions (
    [ID] INTEGER NOT NULL PRIMARY KEY,
    [Name] VARCHAR(50),
    [SQLScript] TEXT,
    [Description] VARCHAR(250)
);

-- Jet's DUAL stand-in: expressions are evaluated with "SELECT ... FROM DUAL".
CREATE VIEW DUAL AS SELECT 1 AS [Dummy];

-- Signals are looked up by their module far more often than they change;
-- projects of version 1.00.00 get this index from the upgrade to 1.00.01.
CREATE INDEX IX_Signals_ParentID ON Signals ([ParentID]);
-- Every new signal name is checked against all others (the module dialog):
-- without this a project of many modules slows down with every one more.
CREATE INDEX IX_Signals_Name ON Signals ([Name]);

-- Commissioning: every attempt to write and read back a module of a run, and
-- where each module of a run stands; projects of version 1.00.02 get both
-- from the upgrade to 1.00.03, and the port an attempt was made on from the
-- upgrade to 1.00.04.
CREATE TABLE IF NOT EXISTS CommissioningRecords (ID INTEGER NOT NULL PRIMARY KEY, RecordedAt VARCHAR(19), ModuleTable VARCHAR(50), ModuleID INTEGER, ModulePath VARCHAR(255), SerialNr VARCHAR(12), Revision VARCHAR(8), OsUser VARCHAR(64), ProgramVersion VARCHAR(20), Result VARCHAR(10), Reason VARCHAR(255), CrcWritten VARCHAR(8), CrcReadBack VARCHAR(8), ElapsedMs INTEGER, Port VARCHAR(64));
CREATE TABLE IF NOT EXISTS CommissioningQueue (ID INTEGER NOT NULL PRIMARY KEY, ModuleTable VARCHAR(50), ModuleID INTEGER, State INTEGER, Reason VARCHAR(255), SerialNr VARCHAR(12), ElapsedMs INTEGER, ChangedAt VARCHAR(19));
