#!/usr/bin/env python3
"""Headless --csv runs of the program in simulated mode (the preset shows a spectrum).

The file is read with Python's csv module (strict): after the '#' comment lines, a header and
one row of two numbers per point, as many as the "Points" comment says, on the axis the
comments give (centre frequency, then sample rate / block size apart), the highest line within
two lines of the simulation's 20 kHz tone. A file that cannot be written: exit status 1, the file named
on standard error, nothing left behind.

    csv_run_check.py PROGRAM
"""
import csv
import os
import subprocess
import sys
import tempfile

PROGRAM = sys.argv[1]
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)


def run(*args):
    return subprocess.run([PROGRAM, '/a"sim"', *args], capture_output=True, text=True,
                          timeout=90)


def read_csv(path):
    with open(path, newline="") as f:
        lines = f.read().splitlines()
    comments = dict(l[2:].split(": ", 1) for l in lines if l.startswith("# ") and ": " in l)
    rows = list(csv.reader((l for l in lines if not l.startswith("#")), strict=True))
    return comments, rows[0], rows[1:]


with tempfile.TemporaryDirectory() as d:
    out, picture = os.path.join(d, "trace.csv"), os.path.join(d, "panel.png")
    for args in (["--csv", out, "--blocks", "2"], ["--snapshot", picture, "--csv", out]):
        r = run(*args)
        check(r.returncode == 0, f"{args}: exit {r.returncode}: {r.stderr}")
        if r.returncode != 0:
            continue
        comments, header, rows = read_csv(out)
        check(comments.get("Mode") == "Spectrum", f"mode {comments.get('Mode')}")
        check(header == ["Frequency (Hz)", "Level (dBm)"], f"header {header}")
        check(all(len(row) == 2 for row in rows), "a row without exactly two fields")
        points = [(float(x), float(y)) for x, y in rows]
        blocklen = int(comments["Block size"].split()[0])
        fs = float(comments["Sample rate"].split()[0])
        check(len(points) == int(comments["Points"]) == blocklen // 2,
              f"{len(points)} rows, Points {comments['Points']}, block {blocklen}")
        step, centre = fs / blocklen, float(comments["Center frequency"].split()[0])
        check(all(abs(x - centre - i * step) <= 1e-9 * fs for i, (x, _) in enumerate(points)),
              "x is not centre + i * sample rate / block size")
        peak = max(points, key=lambda p: p[1])
        check(abs(peak[0] - 20e3) <= 2 * step, f"highest line at {peak[0]} Hz, not 20 kHz")
        with_picture = "--snapshot" in args
        check(os.path.exists(picture) == with_picture, "picture written or missing")
        check(r.stdout.count("\n") == (5 if with_picture else 0), f"stdout {r.stdout!r}")
        os.remove(out)

    plain = os.path.join(d, "plain")
    open(plain, "w").close()
    for bad in (os.path.join(d, "missing", "t.csv"), os.path.join(plain, "t.csv")):
        r = run("--csv", bad, "--blocks", "1")
        check(r.returncode == 1 and bad in r.stderr, f"{bad}: exit {r.returncode}: {r.stderr}")
        check(not os.path.exists(bad), f"{bad} exists")
    check(sorted(os.listdir(d)) == ["panel.png", "plain"], f"left behind: {os.listdir(d)}")

for f in failures:
    print("FAILED:", f)
sys.exit(1 if failures else 0)
