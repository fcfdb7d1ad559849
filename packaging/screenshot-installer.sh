#!/usr/bin/env bash
# Takes docs/installer-mode-page.png: the Windows installer's page that
# chooses between installing for the user alone and for everyone, under
# Wine in a Wine desktop of its own on a virtual X display, so that Wine
# draws the frame as Windows would.
#
#   packaging/screenshot-installer.sh SETUP_EXE [WINDOWS_BUILD_DIR] [PNG_FILE]
#
# The installer runs in a new Wine prefix whose Japanese dialog fonts are the
# IPA fonts (scripts/wine-window-fonts.sh); xdotool presses Enter on the
# welcome page, xwd takes the display, and the picture is cut to the
# installer's window. Nothing is installed: the installer is ended on its
# mode page.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
setup=$(realpath "${1:?usage: screenshot-installer.sh SETUP_EXE [WINDOWS_BUILD_DIR] [PNG_FILE]}")
build_dir=$(realpath "${2:-$repo/build/windows-release}")
png=${3:-$repo/docs/installer-mode-page.png}
work=$(mktemp -d "${TMPDIR:-/tmp}/cordshift-setup-shot.XXXXXX")
export CORDSHIFT_WINE_PREFIX="$work/prefix"
trap 'WINEPREFIX="$CORDSHIFT_WINE_PREFIX" wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT

"$build_dir/wine-run.sh" wineboot -i
"$repo/scripts/wine-window-fonts.sh" "$build_dir/wine-run.sh"

# On the display: the installer in a Wine desktop; Enter once its welcome
# page is there (the desktop's window is the only top-level one with a
# name), then the picture once the mode page is drawn.
take() {
  local setup=$1 wine_run=$2 shot=$3
  CORDSHIFT_WINE_WINDOWS=1 "$wine_run" explorer /desktop=CordshiftSetup,800x600 "$setup" &
  local waited=0
  until xdotool search --name 'CordshiftSetup' >/dev/null 2>&1; do
    [ "$waited" -lt 600 ] || { echo "no Wine desktop within 60 s" >&2; return 1; }
    sleep 0.1
    waited=$((waited + 1))
  done
  # Wine's start-up and the installer's first page.
  sleep 8
  xdotool mousemove 400 300
  xdotool key Return
  sleep 3
  xwd -root -silent >"$shot"
}
CORDSHIFT_WINE_WINDOWS=1 timeout 120 xvfb-run -a -s "-screen 0 800x600x24 -dpi 96" \
  bash -c "$(declare -f take); take \"\$@\"" bash "$setup" "$build_dir/wine-run.sh" "$work/shot.xwd"

# The X window dump (24 or 32 bits a pixel) to PNG, cut to what differs from the
# desktop's colour around it.
mkdir -p "$(dirname "$png")"
python3 - "$work/shot.xwd" "$png" <<'PY'
import struct, sys, zlib
data = open(sys.argv[1], "rb").read()
fields = struct.unpack_from(">25I", data, 0)
header_size, depth, width, height = fields[0], fields[3], fields[4], fields[5]
byte_order, bits_per_pixel, bytes_per_line = fields[7], fields[11], fields[12]
colours = fields[19]
if bits_per_pixel not in (24, 32):
    sys.exit("expected 24 or 32 bits a pixel, found %d" % bits_per_pixel)
size = bits_per_pixel // 8
offset = header_size + colours * 12
def pixel(x, y):
    start = offset + y * bytes_per_line + x * size
    value = int.from_bytes(data[start:start + size], "little" if byte_order == 0 else "big")
    return (value >> 16) & 255, (value >> 8) & 255, value & 255
background = pixel(0, 0)
xs, ys = [], []
for y in range(height):
    for x in range(width):
        if pixel(x, y) != background:
            xs.append(x)
            ys.append(y)
left, right, top, bottom = min(xs), max(xs) + 1, min(ys), max(ys) + 1
rows = []
for y in range(top, bottom):
    row = bytearray()
    for x in range(left, right):
        row.extend(pixel(x, y))
    rows.append(b"\0" + bytes(row))
def chunk(kind, body):
    return (struct.pack(">I", len(body)) + kind + body +
            struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))
with open(sys.argv[2], "wb") as out:
    out.write(b"\x89PNG\r\n\x1a\n")
    out.write(chunk(b"IHDR", struct.pack(">IIBBBBB", right - left, bottom - top, 8, 2, 0, 0, 0)))
    out.write(chunk(b"IDAT", zlib.compress(b"".join(rows), 9)))
    out.write(chunk(b"IEND", b""))
PY
echo "Wrote $png"
