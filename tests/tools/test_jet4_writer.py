#!/usr/bin/env python3
"""The Jet 4 writer of the tests is read back by mdbtools' own programs: the
tables, columns and rows written are the ones mdb-tables, mdb-schema and
mdb-export give back. Those programs read real Access files every day, so a
file they agree with is a fair stand-in for a project of the older tool.

    test_jet4_writer.py [WORK_DIR]
"""
import csv
import io
import subprocess
import sys
import tempfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import jet4_writer  # noqa: E402

REPO = Path(__file__).resolve().parents[2]
NULL = 'NULL'
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print('FAIL:', what)


def run(*args):
    return subprocess.run(args, check=True, capture_output=True, text=True, encoding='utf-8').stdout


def export(path, table):
    text = run('mdb-export', '-0', NULL, '-T', '%Y-%m-%d %H:%M:%S', str(path), table)
    rows = list(csv.reader(io.StringIO(text)))
    return rows[0], rows[1:]


LONG_MEMO = ''.join(f'Zeile {n}: Messbereich 0…400 °C, Ключ {n}\n' for n in range(300))
EVERY_TYPE = {
    'columns': [['ID', 'long'], ['Small', 'integer'], ['Tiny', 'byte'], ['Flag', 'bool'],
                ['Real', 'double'], ['Half', 'single'], ['Moment', 'datetime'], ['Price', 'currency'],
                ['Label', 'text', 20], ['Notes', 'memo']],
    'rows': [
        [1, -32768, 255, True, -1.25, 0.5, '2003-04-05 06:07:08', 1234.5678, 'Grüße', LONG_MEMO],
        [2, None, None, False, None, None, None, None, None, None],
        [3, 32767, 0, True, 1e100, -2.0, '1999-12-31 23:59:59', -0.01, '', ''],
        [4, 0, 1, False, 0.0, 0.0, '2026-12-10 00:00:00', 0, 'Привет °C', 'kurz'],
        [5, 1, 2, True, 3.0, 4.0, '2000-02-29 12:00:00', 5, 'x' * 20, 'ä' * 1500],
    ],
}
EXPECTED_EVERY_TYPE = [
    ['1', '-32768', '255', '1', '-1.25', '0.5', '2003-04-05 06:07:08', '1234.5678', 'Grüße', LONG_MEMO],
    ['2', NULL, NULL, '0', NULL, NULL, NULL, NULL, NULL, NULL],
    ['3', '32767', '0', '1', '1e+100', '-2', '1999-12-31 23:59:59', '-0.0100', NULL, NULL],
    ['4', '0', '1', '0', '0', '0', '2026-12-10 00:00:00', '0.0000', 'Привет °C', 'kurz'],
    ['5', '1', '2', '1', '3', '4', '2000-02-29 12:00:00', '5.0000', 'x' * 20, 'ä' * 1500],
]
SIGNAL_COUNT = 10000


def signal(number):
    return {'ID': number, 'ParentID': 1, 'Name': f'Signal °{number} Müller Датчик', 'Sequence': number,
            'Description': None if number % 7 == 0 else ('' if number % 5 == 0 else f'Kanal {number}'),
            'WorkingModeID': number % 4, 'RangeBegin': -200000 - number, 'RangeEnd': 850000 + number,
            'Zahlteilerkvocient': 2 ** 31 - number}


def project_content():
    return {
        'schema': str(REPO / 'resources/db/schema.sql'),
        'tables': {'EveryType': EVERY_TYPE},
        'rows': {
            'SystemData': [{'ID': 1, 'ParentID': 1, 'Name': 'Projekt', 'Version': '1.00.01'}],
            'ProjectsRoot': [{'ID': 1, 'Name': 'Anlage Süd', 'NameL4': 'Проект', 'Company': 'Zelnor °'}],
            'Modules7230_1': [{'ID': 101, 'ParentID': 1, 'Name': 'M' * 99, 'DIPSwitch': -1, 'Memo': 'ü' * 249,
                               'Ch1SignalID': 1, 'Ch2SignalID': 2, 'Description': ''},
                              {'ID': 102, 'ParentID': 1, 'Name': 'B', 'DIPSwitch': 0}],
            'IDSequences': [{'SeqName': 'Signals', 'ID': SIGNAL_COUNT + 100}],
            'Signals': [signal(n) for n in range(1, SIGNAL_COUNT + 1)],
        },
    }


def expected_cell(value):
    # mdb-export prints a text of no characters as it prints a NULL.
    if value is None or value == '':
        return NULL
    if value is True:
        return '1'
    if value is False:
        return '0'
    return str(value)


def check_tables(path, content):
    listed = run('mdb-tables', '-1', str(path)).split()
    schema = jet4_writer.schema_tables(content['schema'])
    for name in list(schema) + ['EveryType']:
        check(name in listed, f'mdb-tables lists {name}')
    check('MSysObjects' not in listed, 'the catalogue is a system table')


def check_schema(path):
    text = run('mdb-schema', str(path))
    for fragment in ['CREATE TABLE [Signals]', '[Zahlteilerkvocient]\t\t\tLong Integer',
                     '[Name]\t\t\tText (99)', '[DIPSwitch]\t\t\tBoolean NOT NULL', '[Small]\t\t\tInteger',
                     '[Tiny]\t\t\tByte', '[Real]\t\t\tDouble', '[Half]\t\t\tSingle', '[Moment]\t\t\tDateTime',
                     '[Price]\t\t\tCurrency', '[Label]\t\t\tText (20)', '[Notes]\t\t\tMemo/Hyperlink',
                     '[Version]\t\t\tText (50)', '[SQLScript]\t\t\tMemo/Hyperlink']:
        check(fragment in text, f'mdb-schema shows {fragment!r}')


def check_every_type(path):
    header, rows = export(path, 'EveryType')
    check(header == [c[0] for c in EVERY_TYPE['columns']], 'columns of EveryType in order')
    check(len(rows) == len(EXPECTED_EVERY_TYPE), 'rows of EveryType')
    for got, want in zip(rows, EXPECTED_EVERY_TYPE):
        for column, g, w in zip(header, got, want):
            check(g == w, f'EveryType row {want[0]} column {column}: {g[:40]!r} == {w[:40]!r}')


def check_signals(path):
    header, rows = export(path, 'Signals')
    check(len(rows) == SIGNAL_COUNT, f'{SIGNAL_COUNT} signals, got {len(rows)}')
    for row in rows:
        number = int(row[0])
        record = signal(number)
        for column, cell in zip(header, row):
            want = expected_cell(record.get(column))
            if cell != want:
                check(False, f'Signals ID {number} column {column}: {cell!r} == {want!r}')
                return


def check_project_rows(path):
    header, rows = export(path, 'Modules7230_1')
    by_id = {row[0]: dict(zip(header, row)) for row in rows}
    check(by_id['101']['Name'] == 'M' * 99 and by_id['101']['Memo'] == 'ü' * 249, 'full-width module texts')
    check(by_id['101']['DIPSwitch'] == '1' and by_id['102']['DIPSwitch'] == '0', 'Yes/No of modules')
    header, rows = export(path, 'ProjectsRoot')
    root = dict(zip(header, rows[0]))
    check(root['Name'] == 'Anlage Süd' and root['NameL4'] == 'Проект' and root['Company'] == 'Zelnor °',
          'umlauts, Cyrillic and the degree sign')
    header, rows = export(path, 'SystemData')
    check(dict(zip(header, rows[0]))['Version'] == '1.00.01', 'the version record')


def main():
    work = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(tempfile.mkdtemp())
    work.mkdir(parents=True, exist_ok=True)
    path = work / 'writer-check.prj'
    content = project_content()
    jet4_writer.build(content).write(path)
    check_tables(path, content)
    check_schema(path)
    check_every_type(path)
    check_signals(path)
    check_project_rows(path)
    print(f'{len(failures)} failure(s)')
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
