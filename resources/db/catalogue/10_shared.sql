-- Catalogues shared by the three families. A coded value is the row ID minus 1,
-- so the rows of every table are numbered 1, 2, 3 ... without gaps.

-- Circuit of a resistance input. Code 0 (2-wire) is the one whose line
-- resistance is entered; a potentiometer is always wired 3-wire.
INSERT INTO CircuitTypes (ID, ParentID, Name, NameL2, NameL3, NameL4, NameL5, Sequence, Description, [Default]) VALUES
    (1, 1, '2-wire', '2-Leiter', '2 fils', '2-проводная', '2 hilos', 1, '2-wire connection; line resistance entered or measured by 2-wire compensation', 0),
    (2, 1, '3-wire', '3-Leiter', '3 fils', '3-проводная', '3 hilos', 2, '3-wire connection; line resistance compensated when the three leads are equal', -1),
    (3, 1, '4-wire', '4-Leiter', '4 fils', '4-проводная', '4 hilos', 3, '4-wire connection; line resistance has no influence', 0);

-- Cold junction of a thermocouple. Code 0 is kept so that old projects still
-- show it, but the modules refuse it; code 2 uses the fixed temperature.
INSERT INTO ComparePlaceTC (ID, ParentID, Name, NameL2, NameL3, NameL4, NameL5, Sequence, Description) VALUES
    (1, 1, 'No cold junction compensation', 'Ohne Vergleichsstellenkompensation', 'Sans compensation de soudure froide', 'Без компенсации холодного спая', 'Sin compensación de unión fría', 1, 'Not supported by the modules: refused when the parameters are checked'),
    (2, 1, 'Internal cold junction', 'Interne Vergleichsstelle', 'Soudure froide interne', 'Внутренний холодный спай', 'Unión fría interna', 2, 'Cold junction at the input terminals, measured by the module'),
    (3, 1, 'External cold junction, fixed temp.', 'Externe Vergleichsstelle, feste Temp.', 'Soudure froide externe, temp. fixe', 'Внешний холодный спай, фикс. темп.', 'Unión fría externa, temperatura fija', 3, 'Cold junction held at the entered comparison temperature (-40...85 °C)');

-- Output signal types: Condition1 is the OutputSignal of the module type that
-- offers the row (1 current, 2 voltage); Value is what the module stores.
-- The rows with Condition1 3 name the output of a 7220 module, which repeats
-- its input.
INSERT INTO OutputSignalType (ID, ParentID, Name, NameL2, NameL3, NameL4, NameL5, Sequence, Value, Condition1, Description, [Default]) VALUES
    (1, 1, '0...20 mA', '0...20 mA', '0...20 mA', '0...20 мА', '0...20 mA', 1, 0, 1, 'Current output 0...20 mA', 0),
    (2, 1, '4...20 mA', '4...20 mA', '4...20 mA', '4...20 мА', '4...20 mA', 2, 1, 1, 'Current output 4...20 mA (live zero, NE 43)', -1),
    (3, 1, '0...5 V', '0...5 V', '0...5 V', '0...5 В', '0...5 V', 3, 0, 2, 'Voltage output 0...5 V', 0),
    (4, 1, '1...5 V', '1...5 V', '1...5 V', '1...5 В', '1...5 V', 4, 1, 2, 'Voltage output 1...5 V (live zero)', -1),
    (5, 1, '0/4...20 mA, as input (1:1)', '0/4...20 mA, wie Eingang (1:1)', '0/4...20 mA, comme l''entrée (1:1)', '0/4...20 мА, как вход (1:1)', '0/4...20 mA, como la entrada (1:1)', 5, 0, 3, 'Output of a trip amplifier: the input current repeated', 0);

-- Relay functions. Row 1 means the relay is not used; rows 5 to 12 are the
-- functions 0 to 7. The parameter block holds two bits per relay function, so
-- only functions 0 to 3 exist in the modules: rows 2 to 4 and 9 to 12 have no
-- text and are never offered. Functions 0 and 2 switch on a rising value (MAX),
-- 1 and 3 on a falling value (MIN); 2 and 3 drop the relay on alarm, which is
-- what a safety application needs.
INSERT INTO RelayLimitingValues (ID, ParentID, Name, NameL2, NameL3, NameL4, NameL5, Sequence, Description, [Default]) VALUES
    (1, 1, 'Not used', 'Nicht benutzt', 'Non utilisé', 'Не используется', 'No utilizado', 1, 'Relay not used', -1),
    (2, 1, '', '', '', '', '', 2, 'Reserved', 0),
    (3, 1, '', '', '', '', '', 3, 'Reserved', 0),
    (4, 1, '', '', '', '', '', 4, 'Reserved', 0),
    (5, 1, 'MAX, energised on alarm', 'MAX, Arbeitsstrom', 'MAX, relais excité en alarme', 'MAX, реле включается при тревоге', 'MÁX, relé excitado en alarma', 5, 'Function 0: alarm above the limit value, relay energised on alarm', 0),
    (6, 1, 'MIN, energised on alarm', 'MIN, Arbeitsstrom', 'MIN, relais excité en alarme', 'MIN, реле включается при тревоге', 'MÍN, relé excitado en alarma', 6, 'Function 1: alarm below the limit value, relay energised on alarm', 0),
    (7, 1, 'MAX, de-energised on alarm (fail-safe)', 'MAX, Ruhestrom (fehlersicher)', 'MAX, désexcité (à sécurité positive)', 'MAX, реле отключается (отказобезопасно)', 'MÁX, desexcitado (a prueba de fallos)', 7, 'Function 2: alarm above the limit value, relay de-energised on alarm', 0),
    (8, 1, 'MIN, de-energised on alarm (fail-safe)', 'MIN, Ruhestrom (fehlersicher)', 'MIN, désexcité (à sécurité positive)', 'MIN, реле отключается (отказобезопасно)', 'MÍN, desexcitado (a prueba de fallos)', 8, 'Function 3: alarm below the limit value, relay de-energised on alarm', 0),
    (9, 1, '', '', '', '', '', 9, 'Function 4: reserved', 0),
    (10, 1, '', '', '', '', '', 10, 'Function 5: reserved', 0),
    (11, 1, '', '', '', '', '', 11, 'Function 6: reserved', 0),
    (12, 1, '', '', '', '', '', 12, 'Function 7: reserved', 0);

-- Texts of the relay states: state 1 reads row 1, 3 row 2, 2 row 3, 0 row 4.
INSERT INTO RelayProtection (ID, ParentID, Name, NameL2, NameL3, NameL4, NameL5, Sequence, Description, [Default]) VALUES
    (1, 1, 'Lockout off', 'Selbsthaltung aus', 'Verrouillage désactivé', 'Блокировка выключена', 'Bloqueo desactivado', 1, 'Relay state 1: the relay resets by itself', -1),
    (2, 1, 'Lockout on', 'Selbsthaltung ein', 'Verrouillage activé', 'Блокировка включена', 'Bloqueo activado', 2, 'Relay state 3: the relay stays in alarm until it is reset', 0),
    (3, 1, 'Lockout, reset at power-up', 'Selbsthaltung, Rücksetzen bei Netz-Ein', 'Verrouillage, réarm. mise sous tension', 'Блокировка, сброс при включении питания', 'Bloqueo, rearme al dar alimentación', 3, 'Relay state 2 (7210): locked until reset or power-up', 0),
    (4, 1, 'Relay not used', 'Relais nicht benutzt', 'Relais non utilisé', 'Реле не используется', 'Relé no utilizado', 4, 'Relay state 0', 0);

-- Edge of the input signal that a 7210 channel counts.
INSERT INTO ImpulseType (ID, ParentID, Name, NameL2, NameL3, NameL4, NameL5, Sequence, Description, [Default]) VALUES
    (1, 1, 'Rising edge', 'Steigende Flanke', 'Front montant', 'Передний фронт', 'Flanco ascendente', 1, 'Counts on the rising edge of the input', -1),
    (2, 1, 'Falling edge', 'Fallende Flanke', 'Front descendant', 'Задний фронт', 'Flanco descendente', 2, 'Counts on the falling edge of the input', 0);
