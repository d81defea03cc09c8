#!/usr/bin/env python3
"""Fails when a top-level folder of src/ includes one that stands above it in
LAYERS (or folders include each other in a circle), or when a source file
grows past MAX_LINES lines.

A file of folder A that includes "B/..." makes an edge A -> B (the widgets
of a folder count as that folder). Every cycle and every include that runs
back up is printed with its include line, so that the reader sees where to
cut it.

    include_layers.py [SRC_DIR]          check, exit 1 on a cycle
    include_layers.py --graph [SRC_DIR]  print the folder graph too
"""
import re
import sys
from pathlib import Path

MAX_LINES = 1000
# Bottom first: each folder includes only those before it.
LAYERS = ['base', 'log', 'db', 'params', 'tree', 'exchange', 'link', 'pages', 'print', 'commissioning', 'shell', 'app']
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"/]+)/[^"]+"', re.M)


def folder_graph(src: Path):
    edges = {}  # (from, to) -> first "file: include" seen
    for path in sorted(src.rglob('*')):
        if path.suffix not in ('.h', '.cpp') or not path.is_file():
            continue
        rel = path.relative_to(src)
        if len(rel.parts) < 2:
            continue
        here = rel.parts[0]
        for match in INCLUDE.finditer(path.read_text(encoding='utf-8', errors='replace')):
            there = match.group(1)
            if there != here and (src / there).is_dir():
                edges.setdefault((here, there), f'{rel}: {match.group(0).strip()}')
    return edges


def cycles(edges):
    """Strongly connected components of more than one folder (Tarjan)."""
    graph = {}
    for a, b in edges:
        graph.setdefault(a, []).append(b)
        graph.setdefault(b, [])
    index, low, stack, on_stack, found = {}, {}, [], set(), []

    def visit(v):
        index[v] = low[v] = len(index)
        stack.append(v)
        on_stack.add(v)
        for w in graph[v]:
            if w not in index:
                visit(w)
                low[v] = min(low[v], low[w])
            elif w in on_stack:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            component = []
            while True:
                w = stack.pop()
                on_stack.discard(w)
                component.append(w)
                if w == v:
                    break
            if len(component) > 1:
                found.append(sorted(component))

    for v in sorted(graph):
        if v not in index:
            visit(v)
    return found


def upward(edges):
    """Edges from a folder to one above it in LAYERS, or to or from a folder LAYERS does not name."""
    rank = {name: n for n, name in enumerate(LAYERS)}
    return sorted((a, b) for a, b in edges if a not in rank or b not in rank or rank[a] < rank[b])


def main(argv):
    show = '--graph' in argv
    args = [a for a in argv if a != '--graph']
    src = Path(args[0]) if args else Path(__file__).resolve().parent.parent / 'src'
    edges = folder_graph(src)
    if show:
        for a, b in sorted(edges):
            print(f'{a} -> {b}    ({edges[(a, b)]})')
    bad = cycles(edges)
    for component in bad:
        print('include cycle between: ' + ', '.join(component))
        for a, b in sorted(edges):
            if a in component and b in component:
                print(f'  {a} -> {b}: {edges[(a, b)]}')
    up = upward(edges)
    for a, b in up:
        print(f'{a} includes {b}, which does not stand below it: {edges[(a, b)]}')
    long_files = [p for p in sorted(src.rglob('*')) if p.suffix in ('.h', '.cpp') and p.is_file()
                  and len(p.read_text(encoding='utf-8', errors='replace').splitlines()) > MAX_LINES]
    for path in long_files:
        print(f'{path.relative_to(src)}: over {MAX_LINES} lines; split it along its concerns')
    if bad or up or long_files:
        return 1
    print(f'include layers: {len(edges)} edges between the folders of {src}, no cycle')
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
