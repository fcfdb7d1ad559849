#!/usr/bin/env python3
"""Writes the sample wiring data under examples/ (run once; the output is
committed). Every file is Shift-JIS (cp932) with CR LF line ends, with header
counts computed from the records as the testers expect them."""

import pathlib
import shutil
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent / "examples"


def ab_to_sequence(text):
    """A1..A64 are 1..64, B1..B64 are 65..128, A65.. are 129.., and so on."""
    m = int(text[1:])
    q, s = divmod(m - 1, 64)
    return 128 * q + s + 1 + (64 if text[0].upper() == "B" else 0)


def terminal_number(text):
    if not text:
        return None
    if text[0].upper() in "AB":
        return ab_to_sequence(text)
    return int(text)


def distinct_terminals(pairs):
    seen = set()
    for pair in pairs:
        for part in pair.split("-"):
            n = terminal_number(part.strip())
            if n is not None and 1 <= n <= 8192:
                seen.add(n)
    return len(seen)


def write_lines(path, lines):
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_bytes("".join(line + "\r\n" for line in lines).encode("cp932"))


def write_wiring(folder, name, model, stamp, pairs, tail, comment=None):
    records = [pair + tail for pair in pairs]
    header = [model, stamp, str(len(records)), str(distinct_terminals(pairs))]
    write_lines(ROOT / folder / (name + ".lvd"), header + records)
    if comment is not None:
        write_lines(ROOT / folder / (name + ".ini"),
                    ["[Purpose]", "Comment=" + comment])


def continuity(folder, name, stamp, pairs, comment=None):
    write_wiring(folder, name, "TBL480", stamp, pairs, ",0,2000", comment)


def hipot(folder, name, stamp, pairs, comment=None):
    write_wiring(folder, name, "TBS480", stamp, pairs, ",1,0,2000,1,0",
                 comment)


def main():
    if ROOT.exists():
        for side in ("continuity", "hipot"):
            shutil.rmtree(ROOT / side, ignore_errors=True)

    # Continuity side: AB and sequential notation, nested folders.
    continuity("continuity/main", "W100", "20240312093000",
               ["A1-B1", "A2-B2", "A3-B3", "A4-A5", "A64-B64", "A65-B65",
                "A66-B66", "B10-A10"],
               "メインハーネス（前側）")
    continuity("continuity/main", "W101", "20240312101500",
               ["0001-0065", "0002-0066", "0003-0129", "0017-0018",
                "0200-0300", "8192-0001"])
    continuity("continuity/main/door", "ドア左", "20240401140000",
               ["A1-A2", "A3-A4", "B1-B2", "B3-B4", "A7-B7"],
               "ドア左側サブハーネス")
    continuity("continuity/main/door", "W205", "20240401143010",
               ["0001-0002", "0003-0004", "0005-"],
               "片端回路を含むドア右側ハーネス")
    continuity("continuity/engine", "W300", "20231130170045",
               ["0001-0002", "0002-0003", "0003-0004", "0004-0001",
                "0100-0101"],
               "エンジンルーム配線・センサ系")

    # Hipot side: sequential numbers, one file with a single-ended circuit.
    hipot("hipot/main", "H100", "20240215080000",
          ["1-65", "2-66", "3-129", "4-193", "64-128", "17-18"],
          "メインハーネス 耐圧検査用")
    hipot("hipot/main", "H101", "20240215083000",
          ["1-2", "3-4", "12-"],
          "片端回路あり（導通検査側へは変換されません）")
    hipot("hipot/main/door", "ドア左", "20240220120000",
          ["1-2", "65-66", "129-130", "257-8192"],
          "ドア左側サブハーネス")
    hipot("hipot/panel", "H400", "20231201100000",
          ["10-20", "20-30", "30-40"])


if __name__ == "__main__":
    sys.exit(main())
