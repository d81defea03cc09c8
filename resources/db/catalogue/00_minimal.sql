-- A few catalogue rows so that a fresh project has one of each kind; the
-- complete catalogues replace this file.
INSERT INTO ModuleTypes7230 (ID, ParentID, Name, Sequence, Description, TC, OutputSignal, LimitValue, Channels) VALUES (1, 1, '7231', 1, 'Transmitter, 1 channel', 1, 1, 1, 0);
INSERT INTO ModuleTypes7210 (ID, ParentID, Name, Sequence, Description, OutputSignal, LimitValue, Channels, HaveImpulseOutput) VALUES (1, 1, '7211', 1, 'Frequency transmitter, 1 channel', 1, 1, 0, 1);
INSERT INTO ModuleTypes7220 (ID, ParentID, Name, Sequence, Description, OutputSignal, LimitValue, Channels) VALUES (1, 1, '7221', 1, 'Limit switch, 1 channel', 1, 1, 0);
INSERT INTO WorkingModes7230 (ID, ParentID, Name, NameL2, NameL3, NameL4, Sequence, Description, [Default], Condition1, Condition2, NameL5) VALUES (1, 1, 'Temperature', 'Temperatur', 'Température', 'Температура', 1, '', -1, -1, 0, 'Temperatura');
INSERT INTO ComparePlaceTC (ID, ParentID, Name, NameL2, NameL3, NameL4, Sequence, Description, NameL5) VALUES (1, 1, 'Internal', 'Intern', 'Interne', 'Внутренняя', 1, '', 'Interna');
INSERT INTO OutputSignalType (ID, ParentID, Name, NameL2, NameL3, NameL4, Sequence, Value, Condition1, Description, [Default], NameL5) VALUES (1, 1, '4-20 mA', '4-20 mA', '4-20 mA', '4-20 мА', 1, 1, 1, '', -1, '4-20 mA');
