#!/usr/bin/env python3
"""Headless --csv runs of the program in simulated mode (the preset shows a spectrum).

The file is read with Python's csv module (strict): after the '#' comment lines, a header and
one row of two numbers per point, as many as the "Points" comment says, on the axis the
comments give (centre frequency, then sample rate / block size apart), the highest line within
two lines of the simulation's 20 kHz tone. A file that cannot be written: exit status 1, the
file named on standard error, nothing left behind; --csv without a file: the usage, status 2.

    csv_run_check.py PROGRAM
"""
import csv
import os
import subprocess
import sys
import tempfile

failures = []


def check(ok, what):
    if not ok:
        failures.append(what)


def run(*args):
    return subprocess.run([sys.argv[1], '/a"sim"', *args], capture_output=True, text=True,
                          timeout=90)


with tempfile.TemporaryDirectory() as d:
    out, picture = os.path.join(d, "trace.csv"), os.path.join(d, "panel.png")
    for args in (["--csv", out, "--blocks", "2"], ["--snapshot", picture, "--csv", out]):
        r = run(*args)
        check(r.returncode == 0, f"{args}: exit {r.returncode}: {r.stderr}")
        with open(out, newline="") as f:
            lines = f.read().splitlines()
        os.remove(out)
        notes = dict(l[2:].split(": ", 1) for l in lines if l.startswith("# ") and ": " in l)
        header, *rows = csv.reader((l for l in lines if not l.startswith("#")), strict=True)
        check(header == ["Frequency (Hz)", "Level (dBm)"], f"header {header}")
        points = [(float(x), float(y)) for x, y in rows]  # fails unless two numbers a row
        blocklen, fs, centre = (float(notes[k].split()[0])
                                for k in ("Block size", "Sample rate", "Center frequency"))
        check(len(points) == int(notes["Points"]) == blocklen // 2, f"{len(points)} rows")
        step = fs / blocklen
        check(all(abs(x - centre - i * step) <= 1e-9 * fs for i, (x, _) in enumerate(points)),
              "x is not centre + i * sample rate / block size")
        peak = max(points, key=lambda p: p[1])
        check(abs(peak[0] - 20e3) <= 2 * step, f"highest line at {peak[0]} Hz, not 20 kHz")
        check(r.stdout.count("\n") == (5 if "--snapshot" in args else 0), f"out {r.stdout!r}")

    plain = os.path.join(d, "plain")
    open(plain, "w").close()
    for bad in (os.path.join(d, "missing", "t.csv"), os.path.join(plain, "t.csv")):
        r = run("--csv", bad, "--blocks", "1")
        check(r.returncode == 1 and bad in r.stderr, f"{bad}: exit {r.returncode}: {r.stderr}")
    check(sorted(os.listdir(d)) == ["panel.png", "plain"], f"left behind: {os.listdir(d)}")
    r = run("--csv")
    check(r.returncode == 2 and "[--csv FILE.csv]" in r.stderr, f"--csv alone: {r.stderr}")

for f in failures:
    print("FAILED:", f)
sys.exit(1 if failures else 0)
