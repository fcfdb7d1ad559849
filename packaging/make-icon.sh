#!/usr/bin/env bash
# Renders the icon's drawings into the files that are committed beside them:
# cordshift.ico for the Windows programs and the installer (16, 24, 32 and
# 48 pixels as bitmaps, which every part of Windows reads, and 256 pixels as
# PNG), and icons/cordshift-SIZE.png for the desktop's hicolor theme. Run it
# after changing cordshift.svg or cordshift-16.svg; rsvg-convert and icotool
# come with scripts/install-windows-deps.sh.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
mkdir -p "$here/icons"
for size in 16 24 32 48 256; do
  drawing=$here/cordshift.svg
  [ "$size" -ne 16 ] || drawing=$here/cordshift-16.svg
  rsvg-convert --width "$size" --height "$size" "$drawing" \
    --output "$here/icons/cordshift-$size.png"
done
icotool --create --output "$here/cordshift.ico" \
  "$here"/icons/cordshift-{16,24,32,48}.png --raw="$here/icons/cordshift-256.png"
icotool --list "$here/cordshift.ico"
