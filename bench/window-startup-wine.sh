#!/usr/bin/env bash
# How soon the Windows window (Cordshift.exe) appears under Wine on the
# sample folders, and when its lists are filled.
#
#   bench/window-startup-wine.sh [WINDOWS_BUILD_DIR] [ROUNDS] [FILES]
#
# With FILES, the source folder is one of FILES small hipot files instead
# (C:\Cordshift-samples\many), as the Linux window's benchmark has.
#
# The samples (examples/) are copied to C:\Cordshift-samples in the build's
# Wine prefix and the program to C:\Cordshift with settings that list
# hipot\main and a destination folder. The program is started ROUNDS times
# (default 5) on a virtual X display, the Wine server kept running between
# rounds as Windows keeps its own; it reports when it was shown and painted
# and when the lists were filled, and closes. Printed per round: the times
# from the "wine" command (Wine's loader included), from the creation of
# the process, and from wWinMain; then the medians.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${1:-$repo/build/windows-release}
rounds=${2:-5}
files=${3:-0}
display_log=$(mktemp "${TMPDIR:-/tmp}/cordshift-xvfb.XXXXXX")
# shellcheck source=scripts/wine-window-stage.sh
source "$repo/scripts/wine-window-stage.sh"
cleanup() {
  [ -z "${xvfb_pid:-}" ] || kill "$xvfb_pid" 2>/dev/null || true
  WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
  rm -rf "$samples" "$program" "$display_log"
}
trap cleanup EXIT

# One display for every round, as a desktop has one.
display=97
while [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1920x1200x24 -nolisten tcp >"$display_log" 2>&1 &
xvfb_pid=$!
sleep 1
export DISPLAY=":$display" CORDSHIFT_WINE_WINDOWS=1
source_folder='C:\Cordshift-samples\hipot\main\'
if [ "$files" -gt 0 ]; then
  python3 - "$samples/many" "$files" <<'PY'
import os, sys
folder, count = sys.argv[1], int(sys.argv[2])
os.makedirs(folder, exist_ok=True)
record = b"TBS480\r\n20240101000000\r\n2\r\n4\r\n1-2,1,0,2000,1,0\r\n3-4,1,0,2000,1,0\r\n"
for i in range(count):
    with open(os.path.join(folder, "W%06d.lvd" % i), "wb") as out:
        out.write(record)
PY
  source_folder='C:\Cordshift-samples\many\'
fi
# A first start that is not counted brings up the Wine server.
stage_settings "$source_folder"
CORDSHIFT_STARTUP_REPORT='C:\Cordshift\startup.txt' \
  timeout 120 "$wine_run" 'C:\Cordshift\Cordshift.exe'

from_wine=() from_process=() from_main=() listed=()
for ((round = 1; round <= rounds; round++)); do
  stage_settings "$source_folder"
  rm -f "$program/startup.txt"
  launched=$(date +%s%3N)
  CORDSHIFT_STARTUP_REPORT='C:\Cordshift\startup.txt' \
    timeout 120 "$wine_run" 'C:\Cordshift\Cordshift.exe'
  read -r _ process main unix_ms < <(grep '^shown' "$program/startup.txt")
  read -r _ _ listed_main _ < <(grep '^listed' "$program/startup.txt")
  wine_ms=$((unix_ms - launched))
  echo "round $round: shown $wine_ms ms after wine started it," \
    "$process ms after its process was created, $main ms after wWinMain;" \
    "lists filled $listed_main ms after wWinMain"
  from_wine+=("$wine_ms") from_process+=("$process") from_main+=("$main")
  listed+=("$listed_main")
done
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
echo "median of $rounds rounds: shown $(median "${from_wine[@]}") ms from wine," \
  "$(median "${from_process[@]}") ms from process creation," \
  "$(median "${from_main[@]}") ms from wWinMain;" \
  "lists filled $(median "${listed[@]}") ms from wWinMain"
