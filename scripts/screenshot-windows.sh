#!/usr/bin/env bash
# Takes docs/screenshot-windows.png: the Windows window (Cordshift.exe)
# under Wine after it has converted the sample data, on a virtual X
# display, in a Wine desktop of its own so that Wine draws the window's
# frame as Windows would.
#
#   scripts/screenshot-windows.sh [--high-contrast] [WINDOWS_BUILD_DIR] [PNG_FILE]
#
# With --high-contrast (default picture docs/screenshot-windows-high-contrast.png)
# the window is shown as under Windows' high contrast black: a Wine prefix of
# its own (the tests' prefix keeps its colours) gets that scheme's system
# colours and no visual style, and CORDSHIFT_HIGH_CONTRAST=1 stands in for
# the high contrast flag, which Wine cannot switch on. The prefix goes
# again afterwards.
#
# The samples (examples/) are copied to C:\Cordshift-samples in the build's
# Wine prefix and the program to C:\Cordshift, with a settings file for the
# hipot-to-continuity direction (every control visible). The program
# converts C:\Cordshift-samples\hipot\main into
# C:\Cordshift-samples\converted itself, saves its picture (BMP) and closes;
# the picture becomes a PNG here. Both folders go again afterwards.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
high_contrast=
if [ "${1:-}" = --high-contrast ]; then
  high_contrast=1
  shift
fi
build_dir=${1:-$repo/build/windows}
png=${2:-$repo/docs/screenshot-windows${high_contrast:+-high-contrast}.png}
work=$(mktemp -d "${TMPDIR:-/tmp}/cordshift-shot.XXXXXX")
if [ -n "$high_contrast" ]; then
  # Empty: the wrapper makes it a prefix of its own.
  mkdir "$work/prefix"
  export CORDSHIFT_WINE_PREFIX="$work/prefix"
fi
cleanup() {
  rm -rf "$samples" "$program"
  if [ -n "$high_contrast" ]; then
    WINEPREFIX="$CORDSHIFT_WINE_PREFIX" timeout 30 wineserver -k 2>/dev/null || true
    WINEPREFIX="$CORDSHIFT_WINE_PREFIX" timeout 30 wineserver -w 2>/dev/null || true
  fi
  rm -rf "$work"
}
# shellcheck source=scripts/wine-window-stage.sh
source "$repo/scripts/wine-window-stage.sh"
trap cleanup EXIT
stage_settings

if [ -n "$high_contrast" ]; then
  # Windows' high contrast black.
  colors='HKCU\Control Panel\Colors'
  for entry in \
    'Background=0 0 0' 'Window=0 0 0' 'WindowText=255 255 255' \
    'ButtonFace=0 0 0' 'ButtonText=255 255 255' 'ButtonShadow=128 128 128' \
    'ButtonHilight=255 255 255' 'ButtonLight=192 192 192' \
    'ButtonDkShadow=255 255 255' 'Hilight=26 235 255' 'HilightText=0 0 0' \
    'GrayText=63 242 63' 'HotTrackingColor=255 255 0' \
    'ActiveTitle=0 0 0' 'GradientActiveTitle=0 0 0' 'TitleText=255 255 255' \
    'InactiveTitle=0 0 0' 'GradientInactiveTitle=0 0 0' \
    'InactiveTitleText=63 242 63' 'ActiveBorder=0 0 0' 'InactiveBorder=0 0 0' \
    'WindowFrame=255 255 255' 'Menu=0 0 0' 'MenuText=255 255 255' \
    'MenuBar=0 0 0' 'MenuHilight=26 235 255' 'Scrollbar=0 0 0' \
    'AppWorkSpace=0 0 0' 'InfoWindow=0 0 0' 'InfoText=255 255 255'; do
    "$wine_run" reg add "$colors" /v "${entry%%=*}" /t REG_SZ \
      /d "${entry#*=}" /f >/dev/null
  done
  # Windows draws high contrast without visual styles; Wine's own theme
  # would keep its light buttons and list headings.
  "$wine_run" reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager' \
    /v ThemeActive /t REG_SZ /d 0 /f >/dev/null
  export CORDSHIFT_HIGH_CONTRAST=1
fi

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
