#!/usr/bin/env python3
"""Checks that every include of the project goes down the layers of tools/layers/layers.txt.

Reads every `#include "folder/..."` line of every .h and .cpp file below src/, app/, tests/,
bench/, fuzz/ and tools/, and prints one line per include that its folder may not make, e.g.

    src/engine/vaza_vorod.h:19: includes "synth/psola.h" (speech may not include synth)

It also reports files in folders that layers.txt does not list, includes of such folders, a
cycle in layers.txt itself, and the folder cycles the offending includes close. Exits 0 when
everything is allowed, 1 otherwise.
"""

import argparse
import os
import re
import sys

TOP_FOLDERS = ("src", "app", "tests", "bench", "fuzz", "tools")
TEST_SUFFIX = "_test.cpp"
TEST_KEY = "*" + TEST_SUFFIX
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


class Layers:
    """The allowed edges: src folders (as the includes name them), top-level folders ("app/")
    and the extra folders of test files ("*_test.cpp")."""

    def __init__(self):
        self.allowed = {}  # key -> set of src folders
        self.line_of = {}  # key -> line number in the file

    @property
    def src_folders(self):
        return [k for k in self.allowed if not k.endswith("/") and k != TEST_KEY]


def read_layers(path, shown, errors):
    layers = Layers()
    with open(path, encoding="utf-8") as f:
        lines = f.read().splitlines()
    for number, line in enumerate(lines, 1):
        text = line.split("#", 1)[0].strip()
        if not text:
            continue
        key, sep, rest = text.partition(":")
        key = key.strip()
        if not sep or not key:
            errors.append(f"{shown}:{number}: expected `folder: allowed folders...`")
            continue
        if key in layers.allowed:
            errors.append(f"{shown}:{number}: {key} is listed twice "
                          f"(first on line {layers.line_of[key]})")
            continue
        layers.allowed[key] = set(rest.split())
        layers.line_of[key] = number
    src = set(layers.src_folders)
    for key, allowed in layers.allowed.items():
        for folder in sorted(allowed - src):
            errors.append(f"{shown}:{layers.line_of[key]}: {key} lists {folder}, "
                          "which is not a folder of src/ listed here")
    graph = {k: {a for a in layers.allowed[k] if a in src and a != k} for k in src}
    for cycle in find_cycles(graph):
        errors.append(f"{shown}: the layers form a cycle: {' -> '.join(cycle)}")
    return layers


def find_cycles(graph):
    """Returns one cycle (a list of nodes, first == last) per strongly connected group of
    more than one node, in a stable order."""
    index, low, on_stack, stack, groups = {}, {}, set(), [], []
    counter = [0]

    def visit(node):
        index[node] = low[node] = counter[0]
        counter[0] += 1
        stack.append(node)
        on_stack.add(node)
        for nxt in sorted(graph.get(node, ())):
            if nxt not in index:
                visit(nxt)
                low[node] = min(low[node], low[nxt])
            elif nxt in on_stack:
                low[node] = min(low[node], index[nxt])
        if low[node] == index[node]:
            group = []
            while True:
                top = stack.pop()
                on_stack.discard(top)
                group.append(top)
                if top == node:
                    break
            if len(group) > 1:
                groups.append(set(group))

    for node in sorted(graph):
        if node not in index:
            visit(node)
    cycles = []
    for group in groups:
        start = min(group)
        # A shortest way back to the start inside the group.
        paths = {start: [start]}
        queue = [start]
        cycle = None
        while queue and cycle is None:
            node = queue.pop(0)
            for nxt in sorted(graph.get(node, ())):
                if nxt == start:
                    cycle = paths[node] + [start]
                    break
                if nxt in group and nxt not in paths:
                    paths[nxt] = paths[node] + [nxt]
                    queue.append(nxt)
        cycles.append(cycle)
    return sorted(cycles)


def folder_of(path, src_folders):
    """The longest listed folder that starts `path` (a path below src/, with "/")."""
    parts = path.split("/")
    for n in range(len(parts) - 1, 0, -1):
        candidate = "/".join(parts[:n])
        if candidate in src_folders:
            return candidate
    return None


def is_test_file(rel):
    top = rel.split("/", 1)[0]
    return (rel.endswith(TEST_SUFFIX) or rel.startswith("src/testing/")
            or top in ("tests", "fuzz", "bench"))


def source_files(root):
    for top in TOP_FOLDERS:
        base = os.path.join(root, top)
        for folder, dirs, files in os.walk(base):
            dirs[:] = sorted(d for d in dirs if not d.startswith("."))
            for name in sorted(files):
                if name.endswith((".h", ".cpp")):
                    full = os.path.join(folder, name)
                    yield os.path.relpath(full, root).replace(os.sep, "/")


def check(root, layers_path):
    errors = []
    shown_layers = os.path.relpath(layers_path, root)
    layers = read_layers(layers_path, shown_layers, errors)
    src = set(layers.src_folders)
    edges = {}  # (from, to) -> first include of a production file in src/, for cycles
    for rel in source_files(root):
        top, _, rest = rel.partition("/")
        if top == "src":
            folder = folder_of(rest, src)
            if folder is None:
                first = rest.split("/", 1)[0] if "/" in rest else "(src itself)"
                errors.append(f"{rel}: folder {first} is not listed in {shown_layers}")
                continue
            allowed = set(layers.allowed[folder]) | {folder}
        else:
            folder = top + "/"
            if folder not in layers.allowed:
                errors.append(f"{rel}: folder {folder} is not listed in {shown_layers}")
                continue
            allowed = set(layers.allowed[folder])
        test = is_test_file(rel)
        if rel.endswith(TEST_SUFFIX):
            allowed |= layers.allowed.get(TEST_KEY, set())
        try:
            with open(os.path.join(root, rel), encoding="utf-8", errors="replace") as f:
                lines = f.read().splitlines()
        except OSError as e:
            errors.append(f"{rel}: cannot be read ({e.strerror})")
            continue
        for number, line in enumerate(lines, 1):
            m = INCLUDE.match(line)
            if not m or "/" not in m.group(1):
                continue
            name = m.group(1)
            target = folder_of(name, src)
            where = f'{rel}:{number}: includes "{name}"'
            if target is None:
                first = name.split("/", 1)[0]
                errors.append(f"{where} (folder {first} is not listed in {shown_layers})")
                continue
            if target not in allowed:
                errors.append(f"{where} ({folder.rstrip('/')} may not include {target})")
            if top == "src" and not test and target != folder:
                edges.setdefault((folder, target), where)
    graph = {}
    for a, b in edges:
        graph.setdefault(a, set()).add(b)
    for cycle in find_cycles(graph):
        steps = "; ".join(edges[(a, b)] for a, b in zip(cycle, cycle[1:]))
        errors.append(f"the includes form a cycle: {' -> '.join(cycle)} ({steps})")
    return errors


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--root", default=os.path.dirname(os.path.dirname(here)),
                        help="the repository root (default: two folders above this script)")
    parser.add_argument("--layers", help="the layers file (default: ROOT/tools/layers/layers.txt)")
    args = parser.parse_args(argv)
    root = os.path.abspath(args.root)
    layers = args.layers or os.path.join(root, "tools", "layers", "layers.txt")
    if not os.path.isfile(layers):
        print(f"check_layers: no layers file {layers}", file=sys.stderr)
        return 1
    os.chdir(root)
    errors = check(root, os.path.abspath(layers))
    for e in errors:
        print(e)
    if errors:
        print(f"check_layers: {len(errors)} include problem(s); the allowed folders are in "
              f"{os.path.relpath(os.path.abspath(layers), root)}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
