#!/usr/bin/env python3
"""Writes a manual page (roff, gzip-compressed) from a program's own help.

    manpage.py --name NAME --summary TEXT --version V --date YYYY-MM-DD
               --output PAGE.1.gz -- PROGRAM

The page holds what `PROGRAM --help` prints: for the small tools whose help
says all there is. A program whose help cannot be read fails the build rather than giving an
empty page.
"""
import argparse
import gzip
import os
import subprocess
import sys


def run(program, *args):
    result = subprocess.run([program, *args], capture_output=True, text=True, timeout=120)
    if result.returncode != 0 or not result.stdout.strip():
        sys.exit(f"manpage.py: '{' '.join([program, *args])}' gave no help "
                 f"(exit {result.returncode}): {result.stderr.strip()}")
    # A usage line names the program as it was started: by its build path.
    return result.stdout.replace(program, os.path.basename(program))


def roff_text(line):
    """One line of text as roff shows it literally."""
    line = line.replace("\\", "\\e")
    if line.startswith((".", "'")):
        line = "\\&" + line
    return line


def verbatim(text):
    lines = [".nf"]
    lines += [roff_text(line) for line in text.rstrip("\n").split("\n")]
    lines.append(".fi")
    return lines


def page(options):
    program = options.program
    help_text = run(program, "--help")
    version = options.version
    title = options.name.upper()
    out = [f'.TH {title} 1 "{options.date}" "{options.name} {version}" "User Commands"',
           ".SH NAME", f"{options.name} \\- {roff_text(options.summary)}",
           ".SH DESCRIPTION"]
    out += verbatim(help_text)
    out += [".SH VERSION", f"{options.name} {version}"]
    return "\n".join(out) + "\n"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--name", required=True)
    parser.add_argument("--summary", required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--output", required=True)
    parser.add_argument("--date", required=True)
    parser.add_argument("program")
    options = parser.parse_args()
    text = page(options)
    # No name and no time in the gzip header: the same help gives the same bytes.
    with open(options.output, "wb") as raw:
        with gzip.GzipFile(filename="", mode="wb", compresslevel=9, fileobj=raw, mtime=0) as packed:
            packed.write(text.encode("utf-8"))


if __name__ == "__main__":
    main()
