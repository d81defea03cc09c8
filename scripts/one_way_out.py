#!/usr/bin/env python3
"""Fails when a source file outside the output service opens a file for
writing: a QFile (or other device) opened with a write mode, a QSaveFile, a
std::ofstream, fopen with "w" or "a", a file copied or a PDF written to a
path. Every file the program or a tool writes because the user named it goes
through src/db/output_file, which refuses projects, pipes, devices and
folders and never blocks on them.

The files below write on their own, each for the reason given; anything
else that matches is printed with its line and the check fails.

    one_way_out.py ROOT_DIR
"""
import re
import sys
from pathlib import Path

# file -> why it may open a file for writing itself
ALLOWED = {
    'src/db/output_file.cpp': 'the output service itself',
    'src/log/log_file.cpp': "the program's own log file",
    'src/base/app_paths.cpp': "probes whether the program's folders for the log and the settings can be written",
    'src/base/settings.cpp': "the program's own settings",
    'src/link/serial_link.cpp': 'opens the serial port, no file',
    'src/tree/widgets/item_drag_drop.cpp': 'an in-memory buffer for a drag',
    'tools/common/console.cpp': 'the standard output and error streams',
    'tools/readme_pdf/main.cpp': 'a build step writing the manuals into the build folder',
}

WRITE_MODE = r'(WriteOnly|Append|ReadWrite|Truncate|NewOnly)'
PATTERNS = [
    (re.compile(r'\bopen\s*\([^;]*' + WRITE_MODE), 'opened with a write mode'),
    (re.compile(r'\bQSaveFile\b'), 'QSaveFile'),
    (re.compile(r'\bofstream\b'), 'std::ofstream'),
    (re.compile(r'\bfopen\s*\([^;]*"[^"]*[wa+][^"]*"'), 'fopen for writing'),
    (re.compile(r'\bQFile::copy\s*\(|\.copy\s*\(\s*\w+\s*\)'), 'a file copied'),
    (re.compile(r'\bsetOutputFileName\s*\('), 'a printer writing a file'),
    (re.compile(r'\bQPdfWriter\s+\w+\s*\(\s*[^&)]'), 'a PDF written to a path'),
]


def offences(root: Path):
    found = []
    for folder in ('src', 'tools'):
        for path in sorted((root / folder).rglob('*')):
            if path.suffix not in ('.h', '.cpp') or not path.is_file():
                continue
            rel = path.relative_to(root).as_posix()
            if rel in ALLOWED:
                continue
            for number, line in enumerate(path.read_text(encoding='utf-8', errors='replace').splitlines(), 1):
                code = line.split('//', 1)[0]
                for pattern, what in PATTERNS:
                    if pattern.search(code):
                        found.append(f'{rel}:{number}: {what}: {line.strip()}')
    return found


def main():
    root = Path(sys.argv[1] if len(sys.argv) > 1 else '.')
    missing = [name for name in ALLOWED if not (root / name).is_file()]
    for name in missing:
        print(f'{name}: named as allowed to write, but missing: take it out of the list')
    found = offences(root)
    for offence in found:
        print(offence)
    if found:
        print(f'{len(found)} place(s) write files outside src/db/output_file')
    return 1 if found or missing else 0


if __name__ == '__main__':
    sys.exit(main())
