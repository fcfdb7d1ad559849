#!/usr/bin/env python3
"""Writes a continuity tree for the benchmarks: FILES files of RECORDS
records (AB notation, each with its comment file), 25 to a folder, the
folders grouped 20 to a line folder.

    bench/make-tree.py ROOT FILES [RECORDS]
"""
import os
import sys

root, files = sys.argv[1], int(sys.argv[2])
records = int(sys.argv[3]) if len(sys.argv) > 3 else 400
PER_FOLDER = 25


def ab(n):
    """Sequential terminal n in AB notation (blocks of 64, A before B)."""
    k, r = divmod(n - 1, 128)
    return ("A%d" % (64 * k + r + 1)) if r < 64 else ("B%d" % (64 * k + r - 63))


for number in range(files):
    f, w = divmod(number, PER_FOLDER)
    folder = os.path.join(root, "line%02d" % (f // 20), "harness%03d" % f)
    os.makedirs(folder, exist_ok=True)
    base = number % 1000
    pairs = [(base + i % 500 + 1, base + (i * 7) % 900 + 1)
             for i in range(records)]
    terminals = {t for pair in pairs for t in pair}
    lines = ["TBL480", "20240312093000", str(records), str(len(terminals))]
    lines += ["%s-%s,0,2000" % (ab(a), ab(b)) for a, b in pairs]
    with open(os.path.join(folder, "W%05d.lvd" % w), "wb") as out:
        out.write(("\r\n".join(lines) + "\r\n").encode("cp932"))
    # Each file's comment, which the conversion carries over.
    with open(os.path.join(folder, "W%05d.ini" % w), "wb") as out:
        out.write(("[Purpose]\r\nComment=ハーネス %03d-%02d\r\n"
                   % (f, w)).encode("cp932"))
