-- Family 7210: working modes, measuring units and sensor types.

INSERT INTO WorkingModes7210 (ID, ParentID, Name, NameL2, NameL3, NameL4, NameL5, Sequence, Description, [Default], Condition1, Condition2) VALUES
    (1, 1, 'Counter', 'Zähler', 'Compteur', 'Счётчик', 'Contador', 1, 'Counts pulses up to the preset, reset by command', -1, -1, -1),
    (2, 1, 'Frequency', 'Frequenz', 'Fréquence', 'Частота', 'Frecuencia', 2, 'Input frequency up to 1000 Hz', 0, -1, -1),
    (3, 1, 'Speed', 'Drehzahl', 'Vitesse de rotation', 'Частота вращения', 'Velocidad de giro', 3, 'Pulses per second or per minute, with startup delay', 0, -1, -1),
    (4, 1, 'Flow rate', 'Durchfluss', 'Débit', 'Расход', 'Caudal', 4, 'Pulses of a flow meter per second or minute', 0, -1, -1),
    (5, 1, 'Cycle rate', 'Taktrate', 'Cadence', 'Частота циклов', 'Cadencia', 5, 'Machine cycles per second or minute', 0, -1, -1);

-- Units: Condition1 in working mode 0 (counter), Condition2 in mode 1
-- (frequency), Condition3 in modes 2 to 4. The range fields hold four digits
-- and three decimals, so rates stay below 10000.
INSERT INTO MeasuredUnits7210 (ID, ParentID, Name, NameL2, NameL3, NameL4, NameL5, Digits, Sequence, Description, Condition1, Default1, Condition2, Default2, Condition3, Default3) VALUES
    (1, 1, 'Pulses', 'Impulse', 'Impulsions', 'имп.', 'Impulsos', 1, 1, 'Counted pulses', -1, -1, 0, 0, 0, 0),
    (2, 1, 'Hz', 'Hz', 'Hz', 'Гц', 'Hz', 1000, 2, 'Hertz', 0, 0, -1, -1, 0, 0),
    (3, 1, '1/s', '1/s', '1/s', '1/с', '1/s', 1000, 3, 'Pulses per second', 0, 0, 0, 0, -1, 0),
    (4, 1, '1/min', '1/min', '1/min', '1/мин', '1/min', 1000, 4, 'Pulses per minute', 0, 0, 0, 0, -1, -1);

-- Sensor types; the same text in all three name columns, which the reports
-- read by working mode.
INSERT INTO SensorTypes7210 (ID, ParentID, Name, NameL2, NameL3, NameL4, NameL5, Name2, Name2L2, Name2L3, Name2L4, Name2L5, Name3, Name3L2, Name3L3, Name3L4, Name3L5, Sequence, Description) VALUES
    (1, 1, 'NAMUR sensor (EN 60947-5-6)', 'NAMUR-Sensor (EN 60947-5-6)', 'Détecteur NAMUR (EN 60947-5-6)', 'Датчик NAMUR (EN 60947-5-6)', 'Sensor NAMUR (EN 60947-5-6)', 'NAMUR sensor (EN 60947-5-6)', 'NAMUR-Sensor (EN 60947-5-6)', 'Détecteur NAMUR (EN 60947-5-6)', 'Датчик NAMUR (EN 60947-5-6)', 'Sensor NAMUR (EN 60947-5-6)', 'NAMUR sensor (EN 60947-5-6)', 'NAMUR-Sensor (EN 60947-5-6)', 'Détecteur NAMUR (EN 60947-5-6)', 'Датчик NAMUR (EN 60947-5-6)', 'Sensor NAMUR (EN 60947-5-6)', 1, 'Proximity switch to EN 60947-5-6 with line monitoring'),
    (2, 1, 'Mechanical contact', 'Mechanischer Kontakt', 'Contact mécanique', 'Механический контакт', 'Contacto mecánico', 'Mechanical contact', 'Mechanischer Kontakt', 'Contact mécanique', 'Механический контакт', 'Contacto mecánico', 'Mechanical contact', 'Mechanischer Kontakt', 'Contact mécanique', 'Механический контакт', 'Contacto mecánico', 2, 'Potential-free contact, debounced, up to 100 Hz'),
    (3, 1, 'Contact w. resistors (line monitoring)', 'Kontakt mit Widerstandsbeschaltung', 'Contact à résistances (surv. de ligne)', 'Контакт с резисторами (контроль линии)', 'Contacto con resist. (control de línea)', 'Contact w. resistors (line monitoring)', 'Kontakt mit Widerstandsbeschaltung', 'Contact à résistances (surv. de ligne)', 'Контакт с резисторами (контроль линии)', 'Contacto con resist. (control de línea)', 'Contact w. resistors (line monitoring)', 'Kontakt mit Widerstandsbeschaltung', 'Contact à résistances (surv. de ligne)', 'Контакт с резисторами (контроль линии)', 'Contacto con resist. (control de línea)', 3, 'Contact with 400 Ohm series and 10 kOhm parallel resistor'),
    (4, 1, '3-wire sensor PNP', '3-Leiter-Sensor PNP', 'Détecteur 3 fils PNP', '3-проводный датчик PNP', 'Sensor PNP de 3 hilos', '3-wire sensor PNP', '3-Leiter-Sensor PNP', 'Détecteur 3 fils PNP', '3-проводный датчик PNP', 'Sensor PNP de 3 hilos', '3-wire sensor PNP', '3-Leiter-Sensor PNP', 'Détecteur 3 fils PNP', '3-проводный датчик PNP', 'Sensor PNP de 3 hilos', 4, '3-wire sensor, PNP output');
