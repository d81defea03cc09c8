#!/usr/bin/env python3
"""Writes Jet 4 (Access 2000) database files for the tests of the carrying
over of old projects, from the public description of the format: a header
page, table definition pages, data pages, the catalogue table MSysObjects,
long value pages for Memo columns and the usage maps that say which pages a
table owns. No indexes are written; a reader walks the data pages.

Texts are stored as plain UCS-2 (little-endian), never in the compressed form.

    jet4_writer.py CONTENT.json OUT.prj

CONTENT.json:
    {"schema": "resources/db/schema.sql",      optional: tables taken from it
     "omit": ["SystemData"],                   optional: tables left out
     "tables": {"Name": {"columns": [["ID", "long"], ["Name", "text", 50]],
                         "rows": [[1, "a"], ...]}},   extra or replaced tables
     "rows": {"Signals": [{"ID": 1, "Name": "x"}, ...]},  rows by column name
     "truncate": 5000,                         optional: cut the file there
     "blank_first_page_of": "Signals"}         optional: zeros over the
                                               table's first data page

Column types: long, integer, byte, bool, double, single, datetime (a text
"YYYY-MM-DD HH:MM:SS"), currency (a number), text (width in characters),
memo. A value null (None) is NULL; bool values are true or false.
"""
import json
import re
import struct
import sys
from datetime import datetime
from pathlib import Path

PAGE = 4096
DATA_HEADER = 14          # type, 1, free space, tdef page, 4 unknown, row count
MAX_ROW = PAGE - DATA_HEADER - 2

TYPE_CODES = {'bool': 0x01, 'byte': 0x02, 'integer': 0x03, 'long': 0x04, 'currency': 0x05,
              'single': 0x06, 'double': 0x07, 'datetime': 0x08, 'text': 0x0A, 'memo': 0x0C}
FIXED_SIZES = {'bool': 0, 'byte': 1, 'integer': 2, 'long': 4, 'currency': 8,
               'single': 4, 'double': 8, 'datetime': 8}
# The header page from 0x18 on is scrambled with RC4 under this key; a reader
# unscrambles it before it reads the code page and the database key there.
HEADER_KEY = struct.pack('<I', 0x6B39DAC7)
TABLES_CONTAINER = 0x0F000001
SYSTEM_FLAGS = 0x80000002 - (1 << 32)  # the bits as a signed Long


def rc4(key, data):
    s = list(range(256))
    j = 0
    for i in range(256):
        j = (j + s[i] + key[i % len(key)]) & 0xFF
        s[i], s[j] = s[j], s[i]
    out = bytearray()
    i = j = 0
    for byte in data:
        i = (i + 1) & 0xFF
        j = (j + s[i]) & 0xFF
        s[i], s[j] = s[j], s[i]
        out.append(byte ^ s[(s[i] + s[j]) & 0xFF])
    return bytes(out)


class Column:
    def __init__(self, name, kind, width=0):
        if kind not in TYPE_CODES:
            raise ValueError(f'unknown column type {kind!r} of {name!r}')
        self.name, self.kind, self.width = name, kind, int(width or 0)
        self.fixed = kind in FIXED_SIZES
        self.number = 0
        self.fixed_offset = 0
        self.var_index = 0

    def byte_length(self):
        if self.kind == 'text':
            return 2 * self.width
        if self.kind == 'memo':
            return 0
        return max(FIXED_SIZES[self.kind], 1)


class Table:
    def __init__(self, name, columns, rows=(), system=False):
        self.name, self.columns, self.rows, self.system = name, columns, list(rows), system
        fixed_at = 0
        var_index = 0
        for number, column in enumerate(columns):
            column.number = number
            if column.fixed:
                column.fixed_offset = fixed_at
                fixed_at += FIXED_SIZES[column.kind]
            else:
                column.var_index = var_index
                var_index += 1
        self.fixed_length = fixed_at
        self.var_count = var_index
        self.tdef_page = 0
        self.data_pages = []
        self.map_pointer = 0
        self.free_map_pointer = 0

    def column_index(self, name):
        for column in self.columns:
            if column.name == name:
                return column.number
        raise KeyError(f'no column {name!r} in table {self.name!r}')


def ucs2(text):
    return text.encode('utf-16-le')


def encode_fixed(column, value):
    kind = column.kind
    if kind == 'byte':
        return struct.pack('<B', value)
    if kind == 'integer':
        return struct.pack('<h', value)
    if kind == 'long':
        return struct.pack('<i', value)
    if kind == 'currency':
        return struct.pack('<q', round(value * 10000))
    if kind == 'single':
        return struct.pack('<f', value)
    if kind == 'double':
        return struct.pack('<d', value)
    if kind == 'datetime':
        moment = datetime.strptime(value, '%Y-%m-%d %H:%M:%S')
        days = (moment - datetime(1899, 12, 30)).total_seconds() / 86400.0
        return struct.pack('<d', days)
    raise ValueError(kind)


class PagePacker:
    """Rows packed into pages of one kind, filled from the end downwards."""

    def __init__(self, writer, owner):
        self.writer, self.owner = writer, owner
        self.page = None
        self.rows = []
        self.pages = []

    def add(self, row):
        if len(row) > MAX_ROW:
            raise ValueError(f'a row of {len(row)} bytes does not fit a page')
        if self.page is None or self.used() + len(row) + 2 > PAGE - DATA_HEADER:
            self.flush()
            self.page = self.writer.allocate()
            self.pages.append(self.page)
        self.rows.append(row)
        return (self.page << 8) | (len(self.rows) - 1)

    def used(self):
        return sum(len(r) + 2 for r in self.rows)

    def flush(self):
        if self.page is None:
            return
        page = bytearray(PAGE)
        page[0], page[1] = 0x01, 0x01
        page[4:8] = self.owner if isinstance(self.owner, bytes) else struct.pack('<I', self.owner)
        struct.pack_into('<H', page, 12, len(self.rows))
        end = PAGE
        for number, row in enumerate(self.rows):
            start = end - len(row)
            page[start:end] = row
            struct.pack_into('<H', page, DATA_HEADER + 2 * number, start)
            end = start
        struct.pack_into('<H', page, 2, end - (DATA_HEADER + 2 * len(self.rows)))
        self.writer.pages[self.page] = bytes(page)
        self.page = None
        self.rows = []


class JetWriter:
    def __init__(self):
        self.tables = []
        self.pages = {}
        self.page_count = 0
        self.lval = None

    def allocate(self):
        self.page_count += 1
        return self.page_count - 1

    def add(self, table):
        self.tables.append(table)

    # Rows -------------------------------------------------------------

    def memo_field(self, value):
        data = ucs2(value)
        if len(data) <= 64:
            return struct.pack('<II', len(data) | 0x80000000, 0) + b'\0' * 4 + data
        if len(data) <= MAX_ROW - 64:
            pointer = self.lval.add(data)
            return struct.pack('<III', len(data) | 0x40000000, pointer, 0)
        # Longer than a page: a chain of records, each naming the next.
        chunk = MAX_ROW - 64
        pieces = [data[i:i + chunk] for i in range(0, len(data), chunk)]
        following = 0
        for piece in reversed(pieces):
            following = self.lval.add(struct.pack('<I', following) + piece)
        return struct.pack('<III', len(data), following, 0)

    def encode_row(self, table, values):
        columns = table.columns
        if len(values) != len(columns):
            raise ValueError(f'{table.name}: {len(values)} values for {len(columns)} columns')
        null_mask = bytearray((len(columns) + 7) // 8)
        fixed = bytearray(table.fixed_length)
        variable = []
        for column, value in zip(columns, values):
            present = value is not None
            if column.kind == 'bool':
                present = bool(value)  # the value itself is the mask bit
            if present:
                null_mask[column.number // 8] |= 1 << (column.number % 8)
            if column.fixed:
                if value is not None and column.kind != 'bool':
                    try:
                        data = encode_fixed(column, value)
                    except (struct.error, TypeError, ValueError) as error:
                        raise ValueError(f'{table.name}.{column.name}: {value!r}: {error}') from None
                    fixed[column.fixed_offset:column.fixed_offset + len(data)] = data
            elif value is None:
                variable.append(b'')
            elif column.kind == 'memo':
                variable.append(self.memo_field(value))
            else:
                variable.append(ucs2(value))
        row = bytearray(struct.pack('<H', len(columns))) + fixed
        offsets = []
        for data in variable:
            offsets.append(len(row))
            row += data
        if table.var_count:
            row += struct.pack('<H', len(row))  # end of the variable data
            for offset in reversed(offsets):
                row += struct.pack('<H', offset)
            row += struct.pack('<H', table.var_count)
        row += null_mask
        return bytes(row)

    # Table definitions -----------------------------------------------

    def tdef(self, table):
        body = bytearray()
        body += struct.pack('<I', 0)                 # unknown
        body += struct.pack('<I', len(table.rows))
        body += struct.pack('<I', 0)                 # next autonumber
        body += bytes([0x01, 0, 0, 0])
        body += struct.pack('<I', 0)
        body += bytes(8)
        body += bytes([0x53 if table.system else 0x4E])
        body += struct.pack('<HHH', len(table.columns), table.var_count, len(table.columns))
        body += struct.pack('<II', 0, 0)             # no indexes
        body += struct.pack('<II', table.map_pointer, table.free_map_pointer)
        for column in table.columns:
            flags = (0x01 if column.fixed else 0) | (0x02 if column.kind != 'bool' else 0)
            misc = 0x409 if column.kind in ('text', 'memo') else 0
            body += bytes([TYPE_CODES[column.kind]])
            body += struct.pack('<I', 0)
            body += struct.pack('<HHH', column.number, column.var_index, column.number)
            body += struct.pack('<HH', misc, 0)
            body += bytes([flags, 0])
            body += struct.pack('<I', 0)
            body += struct.pack('<HH', column.fixed_offset, column.byte_length())
        for column in table.columns:
            name = ucs2(column.name)
            body += struct.pack('<H', len(name)) + name
        page = bytearray(PAGE)
        page[0], page[1] = 0x02, 0x01
        header_and_length = 12
        total = header_and_length + len(body)
        if total > PAGE:
            raise ValueError(f'the definition of {table.name} does not fit one page')
        struct.pack_into('<H', page, 2, PAGE - total - 8)
        struct.pack_into('<I', page, 4, 0)           # no next definition page
        struct.pack_into('<I', page, 8, total)
        page[12:total] = body
        return bytes(page)

    # Usage maps -------------------------------------------------------

    @staticmethod
    def usage_map(pages):
        first = min(pages) if pages else 0
        last = max(pages) if pages else 0
        bitmap = bytearray((last - first) // 8 + 1)
        for page in pages:
            bitmap[(page - first) // 8] |= 1 << ((page - first) % 8)
        return bytes([0]) + struct.pack('<I', first) + bytes(bitmap)

    # The file ---------------------------------------------------------

    def header_page(self):
        page = bytearray(PAGE)
        page[0:4] = bytes([0, 1, 0, 0])
        page[4:20] = b'Standard Jet DB\0'
        struct.pack_into('<I', page, 0x14, 1)       # Jet 4
        plain = bytearray(128)
        struct.pack_into('<H', plain, 0x3C - 0x18, 1252)
        struct.pack_into('<I', plain, 0x3E - 0x18, 0)  # no page scrambling
        struct.pack_into('<H', plain, 0x6E - 0x18, 0x409)
        page[0x18:0x18 + 128] = rc4(HEADER_KEY, bytes(plain))
        return bytes(page)

    def catalogue(self):
        columns = [Column('Id', 'long'), Column('ParentId', 'long'), Column('Name', 'text', 255),
                   Column('Type', 'integer'), Column('Flags', 'long'), Column('LvProp', 'memo')]
        catalogue = Table('MSysObjects', columns, system=True)
        catalogue.rows.append([2, TABLES_CONTAINER, 'MSysObjects', 1, SYSTEM_FLAGS, None])
        for table in self.tables:
            catalogue.rows.append([table.tdef_page, TABLES_CONTAINER, table.name, 1, 0, None])
        return catalogue

    def write(self, path, truncate=None, blank_first_page_of=None):
        self.allocate()                              # 0: header
        self.allocate()                              # 1: global usage map
        catalogue_page = self.allocate()             # 2: always the catalogue
        for table in self.tables:
            table.tdef_page = self.allocate()
        catalogue = self.catalogue()
        catalogue.tdef_page = catalogue_page
        self.lval = PagePacker(self, b'LVAL')
        everything = [catalogue] + self.tables
        for table in everything:
            packer = PagePacker(self, table.tdef_page)
            for values in table.rows:
                packer.add(self.encode_row(table, values))
            packer.flush()
            table.data_pages = packer.pages
        self.lval.flush()
        maps = PagePacker(self, 0)
        for table in everything:
            table.map_pointer = maps.add(self.usage_map(table.data_pages))
            table.free_map_pointer = maps.add(self.usage_map([]))
        maps.flush()
        self.pages[0] = self.header_page()
        global_map = bytearray(PAGE)
        global_map[0], global_map[1] = 0x05, 0x01
        self.pages[1] = bytes(global_map)
        for table in everything:
            self.pages[table.tdef_page] = self.tdef(table)
        for table in self.tables:
            if table.name == blank_first_page_of and table.data_pages:
                self.pages[table.data_pages[0]] = bytes(PAGE)
        image = b''.join(self.pages[number] for number in range(self.page_count))
        if truncate is not None:
            image = image[:truncate]
        Path(path).write_bytes(image)


# The project's tables from the SQL text of a new project ---------------

CREATE = re.compile(r'CREATE TABLE (?:IF NOT EXISTS )?\[?(\w+)\]?\s*\((.*?)\);', re.S)


def schema_tables(sql_path):
    """Table name -> columns, the SQL types read as the old file held them:
    INTEGER Long, SMALLINT Yes/No, VARCHAR(n) and CHAR(n) Text, TEXT Memo."""
    tables = {}
    text = re.sub(r'--[^\n]*', '', Path(sql_path).read_text(encoding='utf-8'))
    for match in CREATE.finditer(text):
        columns = []
        for part in match.group(2).split(','):
            words = part.strip().split()
            if not words:
                continue
            name = words[0].strip('[]')
            sql_type = words[1].upper()
            width = re.search(r'\((\d+)\)', sql_type)
            if sql_type.startswith(('VARCHAR', 'CHAR')):
                columns.append(Column(name, 'text', int(width.group(1))))
            elif sql_type == 'SMALLINT':
                columns.append(Column(name, 'bool'))
            elif sql_type == 'TEXT':
                columns.append(Column(name, 'memo'))
            else:
                columns.append(Column(name, 'long'))
        tables[match.group(1)] = columns
    return tables


def value_for(column, value):
    # A project file may hold an empty text in a number column (the program's
    # database does not stop it); a Jet number column holds NULL there.
    if column.fixed and value == '':
        return None
    if column.kind == 'bool' and value is not None:
        return value not in (0, False)
    return value


def build(content, base=Path('.')):
    writer = JetWriter()
    layouts = {}
    if 'schema' in content:
        schema = Path(content['schema'])
        layouts.update(schema_tables(schema if schema.is_absolute() else base / schema))
    for name in content.get('omit', []):
        layouts.pop(name, None)
    given = {}
    for name, table in content.get('tables', {}).items():
        layouts[name] = [Column(*c) for c in table['columns']]
        given[name] = table.get('rows', [])
    for name, columns in layouts.items():
        rows = [list(r) for r in given.get(name, [])]
        for record in content.get('rows', {}).get(name, []):
            unknown = set(record) - {c.name for c in columns}
            if unknown:
                raise KeyError(f'{name}: no column {sorted(unknown)}')
            rows.append([value_for(c, record.get(c.name)) for c in columns])
        rows = [[value_for(c, v) for c, v in zip(columns, r)] for r in rows]
        writer.add(Table(name, columns, rows))
    return writer


def main(argv):
    if len(argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    content = json.loads(Path(argv[1]).read_text(encoding='utf-8'))
    repo = Path(__file__).resolve().parents[2]
    build(content, repo).write(argv[2], content.get('truncate'), content.get('blank_first_page_of'))
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
