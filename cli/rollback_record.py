#!/usr/bin/env python3
"""Leaves a draw file as a writer killed in the middle of an append leaves it:
the first CUT bytes of APPENDED after the draw file's bytes, and the rollback
record that tells of the append at RECORD. The record is written here from its
layout (little-endian words, FNV-1a checksums of 64 bits), not by the program.

Usage: rollback_record.py DRAW_FILE RECORD APPENDED CUT"""
import struct
import sys

MASK = (1 << 64) - 1


def fnv1a(data):
    value = 0xCBF29CE484222325
    for byte in data:
        value = ((value ^ byte) * 0x100000001B3) & MASK
    return value


def main(draw_file, record, appended, cut):
    appended = appended.encode().decode("unicode_escape").encode("latin-1")
    with open(draw_file, "rb") as f:
        old = f.read()
    header = b"KSJ2" + b"PEND" + struct.pack("<QQQ", len(old), len(old) + len(appended), fnv1a(appended))
    with open(record, "wb") as f:
        f.write(header + struct.pack("<Q", fnv1a(header)) + appended)
    with open(draw_file, "ab") as f:
        f.write(appended[: int(cut)])


if __name__ == "__main__":
    main(*sys.argv[1:])
