-- Module types in the order of the "Add New" menus, which number them 1, 2,
-- 3 ... (7230), 33, 34 ... (7210) and 65, 66 ... (7220). The module name is the
-- type name after its blank, so it begins with the family number.
-- 7230/CDR-V: C channels, D output (0 none, 1 current, 2 voltage), R relays;
-- V 1 resistance inputs, 2 universal input, 3 and 4 the same as SIL 2 types.
INSERT INTO ModuleTypes7230 (ID, ParentID, Name, Sequence, Description, TC, OutputSignal, LimitValue, Channels) VALUES
    (1, 1, 'Z 7230/110-2', 1, 'Temperature transmitter, 1 channel, universal input (RTD, potentiometer, thermocouple, mV), 0/4...20 mA output', 1, 1, 0, 0),
    (2, 1, 'Z 7230/111-2', 2, 'Temperature transmitter, 1 channel, universal input (RTD, potentiometer, thermocouple, mV), 0/4...20 mA output, 2 limit value relays per channel', 1, 1, 1, 0),
    (3, 1, 'Z 7230/120-2', 3, 'Temperature transmitter, 1 channel, universal input (RTD, potentiometer, thermocouple, mV), 0/1...5 V output', 1, 2, 0, 0),
    (4, 1, 'Z 7230/121-2', 4, 'Temperature transmitter, 1 channel, universal input (RTD, potentiometer, thermocouple, mV), 0/1...5 V output, 2 limit value relays per channel', 1, 2, 1, 0),
    (5, 1, 'Z 7230/101-2', 5, 'Temperature transmitter, 1 channel, universal input (RTD, potentiometer, thermocouple, mV), no analogue output, 2 limit value relays per channel', 1, 0, 1, 0),
    (6, 1, 'Z 7230/210-2', 6, 'Temperature transmitter, 2 channels, universal input (RTD, potentiometer, thermocouple, mV), 0/4...20 mA output', 1, 1, 0, 1),
    (7, 1, 'Z 7230/211-2', 7, 'Temperature transmitter, 2 channels, universal input (RTD, potentiometer, thermocouple, mV), 0/4...20 mA output, 2 limit value relays per channel', 1, 1, 1, 1),
    (8, 1, 'Z 7230/220-2', 8, 'Temperature transmitter, 2 channels, universal input (RTD, potentiometer, thermocouple, mV), 0/1...5 V output', 1, 2, 0, 1),
    (9, 1, 'Z 7230/221-2', 9, 'Temperature transmitter, 2 channels, universal input (RTD, potentiometer, thermocouple, mV), 0/1...5 V output, 2 limit value relays per channel', 1, 2, 1, 1),
    (10, 1, 'Z 7230/201-2', 10, 'Temperature transmitter, 2 channels, universal input (RTD, potentiometer, thermocouple, mV), no analogue output, 2 limit value relays per channel', 1, 0, 1, 1),
    (11, 1, 'Z 7230/110-1', 11, 'Temperature transmitter, 1 channel, RTD, resistance and potentiometer input, 0/4...20 mA output', 0, 1, 0, 0),
    (12, 1, 'Z 7230/111-1', 12, 'Temperature transmitter, 1 channel, RTD, resistance and potentiometer input, 0/4...20 mA output, 2 limit value relays per channel', 0, 1, 1, 0),
    (13, 1, 'Z 7230/210-1', 13, 'Temperature transmitter, 2 channels, RTD, resistance and potentiometer input, 0/4...20 mA output', 0, 1, 0, 1),
    (14, 1, 'Z 7230/211-1', 14, 'Temperature transmitter, 2 channels, RTD, resistance and potentiometer input, 0/4...20 mA output, 2 limit value relays per channel', 0, 1, 1, 1),
    (15, 1, 'Z 7230/110-3', 15, 'Temperature transmitter, 1 channel, RTD, resistance and potentiometer input, 0/4...20 mA output, SIL 2', 0, 1, 0, 0),
    (16, 1, 'Z 7230/111-3', 16, 'Temperature transmitter, 1 channel, RTD, resistance and potentiometer input, 0/4...20 mA output, 2 limit value relays per channel, SIL 2', 0, 1, 1, 0),
    (17, 1, 'Z 7230/110-4', 17, 'Temperature transmitter, 1 channel, universal input (RTD, potentiometer, thermocouple, mV), 0/4...20 mA output, SIL 2', 1, 1, 0, 0),
    (18, 1, 'Z 7230/111-4', 18, 'Temperature transmitter, 1 channel, universal input (RTD, potentiometer, thermocouple, mV), 0/4...20 mA output, 2 limit value relays per channel, SIL 2', 1, 1, 1, 0),
    (19, 1, 'Z 7230/101-4', 19, 'Temperature transmitter, 1 channel, universal input (RTD, potentiometer, thermocouple, mV), no analogue output, 2 limit value relays per channel, SIL 2', 1, 0, 1, 0),
    (20, 1, 'Z 7230/210-4', 20, 'Temperature transmitter, 2 channels, universal input (RTD, potentiometer, thermocouple, mV), 0/4...20 mA output, SIL 2', 1, 1, 0, 1),
    (21, 1, 'Z 7230/211-4', 21, 'Temperature transmitter, 2 channels, universal input (RTD, potentiometer, thermocouple, mV), 0/4...20 mA output, 2 limit value relays per channel, SIL 2', 1, 1, 1, 1);

-- 7210/CDR-I: I 1 with impulse output (it takes the second relay).
INSERT INTO ModuleTypes7210 (ID, ParentID, Name, Sequence, Description, OutputSignal, LimitValue, Channels, HaveImpulseOutput) VALUES
    (33, 1, 'Z 7210/101-0', 1, 'Frequency transmitter, 1 channel, no analogue output, 2 relays per channel', 0, 1, 0, 0),
    (34, 1, 'Z 7210/101-1', 2, 'Frequency transmitter, 1 channel, no analogue output, 2 relays per channel, impulse output with divisor (on relay 2)', 0, 1, 0, 1),
    (35, 1, 'Z 7210/111-0', 3, 'Frequency transmitter, 1 channel, 0/4...20 mA output, 2 relays per channel', 1, 1, 0, 0),
    (36, 1, 'Z 7210/111-1', 4, 'Frequency transmitter, 1 channel, 0/4...20 mA output, 2 relays per channel, impulse output with divisor (on relay 2)', 1, 1, 0, 1),
    (37, 1, 'Z 7210/121-0', 5, 'Frequency transmitter, 1 channel, 0/1...5 V output, 2 relays per channel', 2, 1, 0, 0),
    (38, 1, 'Z 7210/201-0', 6, 'Frequency transmitter, 2 channels, no analogue output, 2 relays per channel', 0, 1, 1, 0),
    (39, 1, 'Z 7210/211-0', 7, 'Frequency transmitter, 2 channels, 0/4...20 mA output, 2 relays per channel', 1, 1, 1, 0),
    (40, 1, 'Z 7210/211-1', 8, 'Frequency transmitter, 2 channels, 0/4...20 mA output, 2 relays per channel, impulse output with divisor (on relay 2)', 1, 1, 1, 1);

-- 7220: 67 to 70 are the SIL 2 types, 69 and 70 those with a live-zero input;
-- neither of these two has an analogue output.
-- 7220/DR-V: D output (1 current, 0 none), R relays; V 0 standard, 3 SIL 2,
-- 4 SIL 2 with live-zero input; /230 for a 115/230 V AC supply.
INSERT INTO ModuleTypes7220 (ID, ParentID, Name, Sequence, Description, OutputSignal, LimitValue, Channels) VALUES
    (65, 1, 'Z 7220/12-0', 1, 'Trip amplifier, 0/4...20 mA input, 2 relays, 0/4...20 mA output, 24 V DC', 1, 1, 0),
    (66, 1, 'Z 7220/02-0', 2, 'Trip amplifier, 0/4...20 mA input, 2 relays, 24 V DC', 0, 1, 0),
    (67, 1, 'Z 7220/12-3', 3, 'Trip amplifier, 0/4...20 mA input, 2 relays, 0/4...20 mA output, SIL 2, 24 V DC', 1, 1, 0),
    (68, 1, 'Z 7220/02-3', 4, 'Trip amplifier, 0/4...20 mA input, 2 relays, SIL 2, 24 V DC', 0, 1, 0),
    (69, 1, 'Z 7220/02-4', 5, 'Trip amplifier, 4...20 mA live-zero input with line monitoring, 2 relays, SIL 2, 24 V DC', 0, 1, 0),
    (70, 1, 'Z 7220/02-4/230', 6, 'Trip amplifier, 4...20 mA live-zero input with line monitoring, 2 relays, SIL 2, 115/230 V AC', 0, 1, 0),
    (71, 1, 'Z 7220/12-0/230', 7, 'Trip amplifier, 0/4...20 mA input, 2 relays, 0/4...20 mA output, 115/230 V AC', 1, 1, 0),
    (72, 1, 'Z 7220/02-0/230', 8, 'Trip amplifier, 0/4...20 mA input, 2 relays, 115/230 V AC', 0, 1, 0);
