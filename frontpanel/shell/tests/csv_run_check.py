#!/usr/bin/env python3
"""csv_run_check.py PROGRAM: headless --csv runs (simulated), read with the csv module."""
import csv
import os
import subprocess
import sys
import tempfile

failures = []
check = lambda ok, what: ok or failures.append(what)  # noqa: E731


def run(*args):
    return subprocess.run([sys.argv[1], '/a"sim"', *args], capture_output=True, text=True,
                          timeout=90)


with tempfile.TemporaryDirectory() as d:
    out, picture = os.path.join(d, "trace.csv"), os.path.join(d, "panel.png")
    # Alone and beside --snapshot: the '#' comments, a header, then two numbers a row, as
    # many rows as points, spaced sample rate / block size apart.
    for args in (["--csv", out, "--blocks", "2"], ["--snapshot", picture, "--csv", out]):
        r = run(*args)
        check(r.returncode == 0 and r.stdout.count("\n") == (5 if picture in args else 0),
              f"{args}: exit {r.returncode}: {r.stderr}")
        with open(out, newline="") as f:
            lines = f.read().splitlines()
        os.remove(out)
        notes = dict(l[2:].split(": ", 1) for l in lines if l.startswith("# ") and ": " in l)
        header, *rows = csv.reader((l for l in lines if not l.startswith("#")), strict=True)
        points = [(float(x), float(y)) for x, y in rows]  # fails unless two numbers a row
        blocklen, fs = (float(notes[k].split()[0]) for k in ("Block size", "Sample rate"))
        check(len(points) == int(notes["Points"]) == blocklen // 2, f"{len(points)} rows")
        check(abs(points[1][0] - points[0][0] - fs / blocklen) < 1e-6, "x spacing")
    # A file that cannot be written: exit status 1, named on stderr, nothing left behind.
    open(os.path.join(d, "plain"), "w").close()
    for bad in (os.path.join(d, "missing", "t.csv"), os.path.join(d, "plain", "t.csv")):
        r = run("--csv", bad, "--blocks", "1")
        check(r.returncode == 1 and bad in r.stderr, f"{bad}: exit {r.returncode}: {r.stderr}")
    check(sorted(os.listdir(d)) == ["panel.png", "plain"], f"left behind: {os.listdir(d)}")
    r = run("--csv")
    check(r.returncode == 2 and "[--csv FILE.csv]" in r.stderr, f"--csv alone: {r.stderr}")

for f in failures:
    print("FAILED:", f)
sys.exit(1 if failures else 0)
