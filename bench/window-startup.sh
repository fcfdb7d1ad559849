#!/usr/bin/env bash
# How soon the window appears when its source folder holds many files, and
# when the lists are filled: the listings run on a worker thread, so the
# window must not wait for them.
#
#   bench/window-startup.sh [BUILD_DIR] [FILES] [ROUNDS]
#
# Generates FILES (default 100,000) small continuity files in one folder of
# a temporary folder, starts a copy of the window on it under a virtual X
# display ROUNDS times (default 3) and prints the times the window reports
# from the start of main(): "shown" once the window has been shown and
# painted, "listed" once both lists are filled; then the medians.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${1:-$repo/build/release}
files=${2:-100000}
rounds=${3:-3}
window="$build_dir/src/window/qt/Cordshift"
if [ ! -x "$window" ]; then
  echo "window-startup.sh: $window not found; build first" >&2
  exit 1
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/cordshift-startup.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/src" "$work/dst"
python3 - "$work/src" "$files" <<'PY'
import os, sys
folder, count = sys.argv[1], int(sys.argv[2])
body = b"TBL480\r\n20240312093000\r\n1\r\n2\r\nA1-B1,0,2000\r\n"
for i in range(count):
    with open(os.path.join(folder, "W%06d.lvd" % i), "wb") as f:
        f.write(body)
PY
# A shop's files have long been on the disk: let the writes of the
# generator settle first, so that they do not compete with the listing.
sync
cp "$window" "$work/Cordshift"
printf '%s\r\n' '[Path]' "SrcDir=$work/src/" "DstDir=$work/dst/" \
  > "$work/Cordshift.ini"

shown=()
listed=()
for ((round = 1; round <= rounds; round++)); do
  report=$(CORDSHIFT_STARTUP_REPORT=1 QT_QPA_PLATFORM=xcb \
    xvfb-run -a "$work/Cordshift" 2>/dev/null)
  s=$(awk '/^shown/ {print $2}' <<<"$report")
  l=$(awk '/^listed/ {print $2}' <<<"$report")
  echo "round $round: shown after $s ms, lists filled after $l ms"
  shown+=("$s")
  listed+=("$l")
done
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
echo "median of $rounds rounds, $files files: shown after $(median "${shown[@]}") ms, lists filled after $(median "${listed[@]}") ms"
