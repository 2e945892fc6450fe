#!/usr/bin/env python3
"""Folder-level include graph of the front panel.

Prints, for frontpanel/, the number of files (tests included) that include
shell/main_form.h, every folder-to-folder include edge of the program's own
code (with how many includes make it), and the folder cycles. With --check it
exits 1 when there is a cycle between folders other than through the window's
declaration (shell/main_form.h: its own includes and the includes of it).

    python3 scripts/include-graph.py [--check] [ROOT]
"""
import itertools
import pathlib
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
WINDOW = "shell/main_form.h"


def folder_of(path):
    parts = pathlib.PurePosixPath(path).parts
    return parts[0] if len(parts) > 1 else "."


def main(argv):
    check = "--check" in argv
    args = [a for a in argv if a != "--check"]
    root = pathlib.Path(args[0] if args else pathlib.Path(__file__).resolve().parent.parent)
    base = root / "frontpanel"
    includers = []
    edges = {}  # (from, to) -> [count, count not through the window]
    for f in sorted(base.rglob("*")):
        if f.suffix not in (".h", ".cpp", ".hpp") or "/build" in str(f):
            continue
        rel = f.relative_to(base).as_posix()
        src = folder_of(rel)
        test_or_bench = "/tests/" in f"/{rel}" or "/bench/" in f"/{rel}"
        for line in f.read_text(errors="replace").splitlines():
            m = INCLUDE.match(line)
            if not m:
                continue
            inc = m.group(1)
            if inc == WINDOW:
                includers.append(rel)
            if test_or_bench:
                continue  # tests and benchmarks may reach into any folder
            dst = folder_of(inc)
            if dst == src or not (base / inc).exists():
                continue
            e = edges.setdefault((src, dst), [0, 0])
            e[0] += 1
            if inc != WINDOW and rel != WINDOW:
                e[1] += 1
    print(f"files including {WINDOW}: {len(includers)}")
    for (a, b), (n, _) in sorted(edges.items()):
        print(f"  {a} -> {b}: {n}")
    folders = sorted({x for e in edges for x in e})

    def cycles(use):
        found = []
        for a, b in itertools.combinations(folders, 2):
            if use(a, b) and use(b, a):
                found.append(f"{a} <-> {b}")
        return found

    all_cycles = cycles(lambda a, b: (a, b) in edges)
    strict = cycles(lambda a, b: edges.get((a, b), [0, 0])[1] > 0)
    print(f"folder cycles: {len(all_cycles)}" + ("".join(f"\n  {c}" for c in all_cycles)))
    print(f"folder cycles other than through {WINDOW}: {len(strict)}" +
          "".join(f"\n  {c}" for c in strict))
    return 1 if check and strict else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
