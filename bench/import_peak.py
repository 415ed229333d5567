#!/usr/bin/env python3
"""The peak memory of kestaro-cli importing a list of 100 MB into an empty
draw file, a dry run and a real one, against the list's size.

Usage: import_peak.py KESTARO_CLI"""
import os
import random
import resource
import subprocess
import sys
import tempfile

MEGABYTES = 100


def write_list(path):
    draws = random.Random(7)
    lines, previous = [], None
    while sum(map(len, lines)) < 1 << 20:
        numbers = sorted(draws.sample(range(1, 32), 6))
        bonus = numbers.pop(draws.randrange(6))
        line = "%d,%d,%d,%d,%d,%d\r\n" % (*numbers, bonus)
        if line != previous:
            lines.append(line)
            previous = line
    megabyte = "".join(lines).encode()
    with open(path, "wb") as f:
        for _ in range(MEGABYTES):
            f.write(megabyte)


def peak_of(program, folder, *words):
    """The peak resident size in bytes of one run, alone in its own child."""
    measure = (
        "import resource,subprocess,sys;"
        "subprocess.run(sys.argv[1:],stdout=subprocess.DEVNULL,check=True);"
        "print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)"
    )
    open(os.path.join(folder, "LOTO.DAT"), "wb").close()
    out = subprocess.run([sys.executable, "-c", measure, program, *words], cwd=folder,
                         capture_output=True, text=True, check=True).stdout
    return int(out) * 1024


def main(program):
    with tempfile.TemporaryDirectory() as folder:
        listed = os.path.join(folder, "list.csv")
        write_list(listed)
        size = os.path.getsize(listed)
        for name, words in (("dry run", ["--dry-run"]), ("import", [])):
            peak = peak_of(os.path.abspath(program), folder, "import", "list.csv", *words)
            print("%-8s of a %d MB list: peak %4.0f MB resident, %.2f x the list"
                  % (name, size / 2**20, peak / 2**20, peak / size))


if __name__ == "__main__":
    main(*sys.argv[1:])
