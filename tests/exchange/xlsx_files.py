#!/usr/bin/python3
"""Workbooks by an independent writer and reader (openpyxl, and the zip
module for the packages openpyxl does not write), for the tests of the
instrument list's XLSX form.

    xlsx_files.py read WORKBOOK       the first sheet as JSON: its title and
                                      rows of [value, type] (type "n" number,
                                      "s" text, "f" formula, "b" boolean)
    xlsx_files.py write LIST.json OUT  a workbook of the rows in LIST.json:
                                      numbers given as numbers, texts as
                                      texts (never formulas), a second sheet
    xlsx_files.py samples FOLDER      the sample packages the reader must
                                      take or refuse
"""
import io
import json
import sys
import zipfile

import openpyxl
from openpyxl.cell.cell import TYPE_STRING


def read(path):
    workbook = openpyxl.load_workbook(path)
    sheet = workbook.worksheets[0]
    rows = []
    for row in sheet.iter_rows():
        rows.append([[cell.value, cell.data_type, cell.number_format] for cell in row])
    print(json.dumps({'title': sheet.title, 'sheets': len(workbook.worksheets), 'rows': rows}))


def text_cell(sheet, row, column, value):
    cell = sheet.cell(row=row, column=column)
    cell.value = value
    # openpyxl takes a text starting with "=" for a formula unless told.
    cell.data_type = TYPE_STRING


def write(list_path, out):
    with open(list_path, encoding='utf-8') as f:
        rows = json.load(f)
    workbook = openpyxl.Workbook()
    sheet = workbook.active
    sheet.title = 'Loops'
    for r, row in enumerate(rows, 1):
        for c, value in enumerate(row, 1):
            if value is None or value == '':
                continue
            if isinstance(value, str):
                text_cell(sheet, r, c, value)
            else:
                sheet.cell(row=r, column=c).value = value
    other = workbook.create_sheet('Notes')
    other['A1'] = 'Plant'
    other['B1'] = 'Type'
    other['A2'] = 'never read'
    workbook.save(out)


# The smallest package a spreadsheet opens, with inline texts and the cells
# given as XML.
CONTENT_TYPES = ('<?xml version="1.0" encoding="UTF-8"?>'
                 '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
                 '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
                 '<Default Extension="xml" ContentType="application/xml"/>'
                 '<Override PartName="/xl/workbook.xml" '
                 'ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>'
                 '<Override PartName="/xl/worksheets/sheet1.xml" '
                 'ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>'
                 '</Types>')
SHARED_TYPE = ('<Override PartName="/xl/sharedStrings.xml" '
               'ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/>')
ROOT_RELS = ('<?xml version="1.0" encoding="UTF-8"?>'
             '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
             '<Relationship Id="rId1" '
             'Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" '
             'Target="xl/workbook.xml"/></Relationships>')
WORKBOOK = ('<?xml version="1.0" encoding="UTF-8"?>'
            '<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" '
            'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">'
            '<sheets><sheet name="List" sheetId="1" r:id="rId1"/></sheets></workbook>')
WORKBOOK_RELS = ('<?xml version="1.0" encoding="UTF-8"?>'
                 '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
                 '<Relationship Id="rId1" '
                 'Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" '
                 'Target="/xl/worksheets/sheet1.xml"/></Relationships>')


def sheet_xml(rows_xml):
    return ('<?xml version="1.0" encoding="UTF-8"?>'
            '<x:worksheet xmlns:x="http://schemas.openxmlformats.org/spreadsheetml/2006/main">'
            '<x:sheetData>' + rows_xml + '</x:sheetData></x:worksheet>')


def package(parts):
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, 'w', zipfile.ZIP_DEFLATED) as z:
        for name, data in parts.items():
            z.writestr(name, data)
    return buffer.getvalue()


def inline(reference, text):
    return f'<x:c r="{reference}" t="inlineStr"><x:is><x:t>{text}</x:t></x:is></x:c>'


def samples(folder):
    def save(name, data):
        with open(f'{folder}/{name}', 'wb') as f:
            f.write(data)

    base = {'[Content_Types].xml': CONTENT_TYPES, '_rels/.rels': ROOT_RELS, 'xl/workbook.xml': WORKBOOK,
            'xl/_rels/workbook.xml.rels': WORKBOOK_RELS}
    # Inline texts in rich runs, a prefixed namespace, a row without its
    # number, a cell without its reference, a boolean, a calculated formula.
    rows = ('<x:row r="2">' + inline('A2', 'Plant') + inline('B2', 'Type') + inline('C2', 'Ch1.Name') +
            inline('E2', 'Ch1.RangeEnd') + '</x:row>'
            '<x:row r="4">' + inline('A4', 'West') +
            '<x:c r="B4" t="inlineStr"><x:is><x:r><x:t>Z 7230/</x:t></x:r><x:r><x:t>211-2</x:t></x:r>'
            '<x:rPh sb="0" eb="1"><x:t>phonetic</x:t></x:rPh></x:is></x:c>' + inline('C4', 'IN-1') +
            '<x:c r="E4"><x:f>100+25.5</x:f><x:v>125.5</x:v></x:c></x:row>'
            '<x:row>' + inline('A5', 'West') + '<x:c t="inlineStr"><x:is><x:t>Z 7230/211-2</x:t></x:is></x:c>' +
            inline('C5', 'IN-2') + '<x:c r="E5" t="b"><x:v>1</x:v></x:c></x:row>')
    save('inline.xlsx', package({**base, 'xl/worksheets/sheet1.xml': sheet_xml(rows)}))
    # Shared texts, one of them in rich runs, named by a relative target.
    shared = ('<?xml version="1.0" encoding="UTF-8"?>'
              '<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" count="6" uniqueCount="6">'
              '<si><t>Plant</t></si><si><t>Type</t></si><si><t>Ch1.Name</t></si>'
              '<si><t xml:space="preserve">East </t></si><si><r><t>Z 7230</t></r><r><t>/211-2</t></r></si>'
              '<si><t>SH-1</t></si></sst>')
    shared_rels = WORKBOOK_RELS.replace('</Relationships>', '<Relationship Id="rId2" '
                                        'Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/'
                                        'sharedStrings" Target="sharedStrings.xml"/></Relationships>')
    cells = ''.join(f'<x:c r="{c}1" t="s"><x:v>{i}</x:v></x:c>' for i, c in enumerate('ABC'))
    cells2 = ''.join(f'<x:c r="{c}2" t="s"><x:v>{i + 3}</x:v></x:c>' for i, c in enumerate('ABC'))
    types = CONTENT_TYPES.replace('</Types>', SHARED_TYPE + '</Types>')
    save('shared.xlsx', package({**base, '[Content_Types].xml': types, 'xl/_rels/workbook.xml.rels': shared_rels, 'xl/sharedStrings.xml': shared,
                                 'xl/worksheets/sheet1.xml': sheet_xml(f'<x:row r="1">{cells}</x:row>'
                                                                       f'<x:row r="2">{cells2}</x:row>')}))
    save('no_workbook.xlsx', package({'[Content_Types].xml': CONTENT_TYPES, 'docProps/app.xml': '<Properties/>'}))
    save('no_sheet.xlsx', package({**base, 'xl/workbook.xml': WORKBOOK.replace(
        '<sheet name="List" sheetId="1" r:id="rId1"/>', '')}))
    save('sheet_missing.xlsx', package(base))
    save('broken_xml.xlsx', package({**base, 'xl/worksheets/sheet1.xml': sheet_xml(
        '<x:row r="1">' + inline('A1', 'Type') + '</x:row><x:row r="2"><x:c r="A2"')}))
    save('bad_reference.xlsx', package({**base, 'xl/worksheets/sheet1.xml': sheet_xml(
        '<x:row r="1">' + inline('A1', 'Type') + inline('ZZZZ1', 'Module') + '</x:row>')}))
    save('uncalculated.xlsx', package({**base, 'xl/worksheets/sheet1.xml': sheet_xml(
        '<x:row r="1">' + inline('A1', 'Type') + inline('B1', 'Ch1.RangeEnd') + '</x:row>'
        '<x:row r="2">' + inline('A2', 'Z 7230/211-2') + '<x:c r="B2"><x:f>SUM(C1:C9)</x:f></x:c></x:row>')}))
    save('shared_missing.xlsx', package({**base, 'xl/worksheets/sheet1.xml': sheet_xml(
        '<x:row r="1"><x:c r="A1" t="s"><x:v>7</x:v></x:c></x:row>')}))
    # 50 MB of one repeated row packs to some 50 kB: a thousand to one.
    bomb_rows = '<x:row><x:c t="inlineStr"><x:is><x:t>' + 'A' * 1000 + '</x:t></x:is></x:c></x:row>'
    save('bomb.xlsx', package({**base, 'xl/worksheets/sheet1.xml': sheet_xml(bomb_rows * 50000)}))
    whole = open(f'{folder}/inline.xlsx', 'rb').read()
    save('truncated.xlsx', whole[:len(whole) * 2 // 3])
    save('not_zip.xlsx', b'PK\x03\x04 this only begins like a package')


def main():
    command = sys.argv[1]
    if command == 'read':
        read(sys.argv[2])
    elif command == 'write':
        write(sys.argv[2], sys.argv[3])
    elif command == 'samples':
        samples(sys.argv[2])
    else:
        sys.exit(f'unknown command {command}')


if __name__ == '__main__':
    main()
