#!/usr/bin/env bash
# The Windows window's run next to the command line's, under Wine: a tree
# of FILES continuity files (25 to a folder, 400 records each,
# bench/make-tree.py) in C:\Cordshift-samples\tree is converted to the
# hipot side by cordshift-cli.exe and by Cordshift.exe, in alternating
# rounds on one virtual display with the Wine server kept running. The
# window presses its run button once its lists are filled and writes the
# run's time until it was ready again, and the longest time a message
# posted to it from another thread waited meanwhile (CORDSHIFT_RUN_REPORT).
# Prints each round (with the processor time of the window's thread and of
# the whole process), then the medians and the ratio window/command line.
#
#   bench/window-run-wine.sh [WINDOWS_BUILD_DIR] [FILES] [ROUNDS]
#
# Defaults: build/windows-release, 5,000 files, 3 rounds.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${1:-$repo/build/windows-release}
files=${2:-5000}
rounds=${3:-3}
cli="$build_dir/src/cli/cordshift-cli.exe"
display_log=$(mktemp "${TMPDIR:-/tmp}/cordshift-xvfb.XXXXXX")
# shellcheck source=scripts/wine-window-stage.sh
source "$repo/scripts/wine-window-stage.sh"
cleanup() {
  [ -z "${xvfb_pid:-}" ] || kill "$xvfb_pid" 2>/dev/null || true
  WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
  rm -rf "$samples" "$program" "$display_log"
}
trap cleanup EXIT
if [ ! -e "$cli" ]; then
  echo "window-run-wine.sh: $cli not found; build first" >&2
  exit 1
fi
cp "$cli" "$program/cordshift-cli.exe"

display=97
while [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1920x1200x24 -nolisten tcp >"$display_log" 2>&1 &
xvfb_pid=$!
sleep 1
export DISPLAY=":$display" CORDSHIFT_WINE_WINDOWS=1

"$repo/bench/make-tree.py" "$samples/tree" "$files"
sync
source_folder='C:\Cordshift-samples\tree\'
destination="$samples/converted"
stage_tree_settings() {
  printf '%s\r\n' '[Path]' "SrcDir=$source_folder" \
    'DstDir=C:\Cordshift-samples\converted\' \
    '[Direction]' 'Hp2Lv=0' 'ABorSeq=0' \
    '[Inspection]' 'Equipment=TBS480' 'Lower=0' 'Upper=2000' 'OverWrite=0' \
    >"$program/Cordshift.ini"
}
# A first start that is not counted brings up the Wine server.
timeout 120 "$wine_run" 'C:\Cordshift\cordshift-cli.exe' --version >/dev/null

now_ms() { date +%s%3N; }
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
cli_times=() window_times=() longest=()
for ((round = 1; round <= rounds; round++)); do
  rm -rf "$destination" && mkdir "$destination" && sync
  start=$(now_ms)
  timeout 600 "$wine_run" 'C:\Cordshift\cordshift-cli.exe' convert \
    "$source_folder" 'C:\Cordshift-samples\converted\' \
    --direction to-hipot --model TBS480 >/dev/null 2>&1
  cli_ms=$(($(now_ms) - start))

  rm -rf "$destination" && mkdir "$destination" && sync
  stage_tree_settings
  rm -f "$program/run.txt"
  CORDSHIFT_RUN_REPORT='C:\Cordshift\run.txt' \
    timeout 900 "$wine_run" 'C:\Cordshift\Cordshift.exe'
  run_ms=$(awk '/^run / {print $2}' "$program/run.txt")
  answers=$(awk '/^answers / {print $2}' "$program/run.txt")
  answer_ms=$(awk '/^longest answer / {print $3}' "$program/run.txt")
  thread_ms=$(awk '/^window thread processor / {print $4}' "$program/run.txt")
  process_ms=$(awk '/^process processor / {print $3}' "$program/run.txt")
  converted=$(find "$destination" -name '*.lvd' | wc -l)
  if [ "$converted" -ne "$files" ]; then
    echo "window-run-wine.sh: the window wrote $converted of $files files" >&2
    exit 1
  fi
  echo "round $round: command line $cli_ms ms, window $run_ms ms," \
    "$answers answers, longest $answer_ms ms;" \
    "processor: window thread $thread_ms ms, process $process_ms ms"
  cli_times+=("$cli_ms") window_times+=("$run_ms") longest+=("$answer_ms")
done
c=$(median "${cli_times[@]}")
w=$(median "${window_times[@]}")
echo "median of $rounds rounds, $files files: command line $c ms," \
  "window $w ms, window/command line $(awk -v w="$w" -v c="$c" 'BEGIN {printf "%.2f", w / c}')," \
  "longest answer $(median "${longest[@]}") ms"
