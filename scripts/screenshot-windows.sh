#!/usr/bin/env bash
# Takes docs/screenshot-windows.png: the Windows window (Cordshift.exe)
# under Wine after it has converted the sample data, on a virtual X
# display, in a Wine desktop of its own so that Wine draws the window's
# frame as Windows would.
#
#   scripts/screenshot-windows.sh [WINDOWS_BUILD_DIR] [PNG_FILE]
#
# The samples (examples/) are copied to C:\Cordshift-samples in the build's
# Wine prefix and the program to C:\Cordshift, with a settings file for the
# hipot-to-continuity direction (every control visible). The program
# converts C:\Cordshift-samples\hipot\main into
# C:\Cordshift-samples\converted itself, saves its picture (BMP) and closes;
# the picture becomes a PNG here. Both folders go again afterwards.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${1:-$repo/build/windows}
png=${2:-$repo/docs/screenshot-windows.png}
work=$(mktemp -d "${TMPDIR:-/tmp}/cordshift-shot.XXXXXX")
# shellcheck source=scripts/wine-window-stage.sh
source "$repo/scripts/wine-window-stage.sh"
trap 'rm -rf "$work" "$samples" "$program"' EXIT
stage_settings

env CORDSHIFT_WINE_WINDOWS=1 CORDSHIFT_SCREENSHOT='C:\Cordshift\shot.bmp' \
  timeout 120 xvfb-run -a -s "-screen 0 1920x1200x24 -dpi 96" \
  "$wine_run" explorer /desktop=Cordshift,1600x1000 'C:\Cordshift\Cordshift.exe'
if [ ! -s "$program/shot.bmp" ]; then
  echo "screenshot-windows.sh: no picture was written" >&2
  exit 1
fi

# BMP (24-bit, bottom row first) to PNG, with Python's zlib.
mkdir -p "$(dirname "$png")"
python3 - "$program/shot.bmp" "$png" <<'PY'
import struct, sys, zlib
data = open(sys.argv[1], "rb").read()
offset = struct.unpack_from("<I", data, 10)[0]
width, height = struct.unpack_from("<ii", data, 18)
stride = (width * 3 + 3) & ~3
rows = []
for y in range(height - 1, -1, -1):
    row = data[offset + y * stride: offset + y * stride + width * 3]
    rgb = bytearray(width * 3)
    rgb[0::3], rgb[1::3], rgb[2::3] = row[2::3], row[1::3], row[0::3]
    rows.append(b"\0" + bytes(rgb))
def chunk(kind, body):
    return (struct.pack(">I", len(body)) + kind + body +
            struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))
with open(sys.argv[2], "wb") as out:
    out.write(b"\x89PNG\r\n\x1a\n")
    out.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
    out.write(chunk(b"IDAT", zlib.compress(b"".join(rows), 9)))
    out.write(chunk(b"IEND", b""))
PY
echo "Wrote $png"
