#!/usr/bin/env bash
# How long the window takes for a whole run next to the command line, and
# how soon it answers meanwhile: a tree of FILES continuity files (25 to a
# folder, 400 records each, bench/make-tree.py) is converted to the hipot
# side by `cordshift-cli convert` and by the window (Qt, under xvfb-run),
# in alternating rounds. The window presses its run button once its lists
# are filled and reports the run's time until it was ready again, and the
# longest time a call posted to it from another thread waited meanwhile
# (CORDSHIFT_RUN_REPORT). Prints each round, then the medians and the
# ratio window/command line.
#
#   bench/window-run.sh [BUILD_DIR] [FILES] [ROUNDS]
#
# Defaults: build/release, 5,000 files, 3 rounds.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${1:-$repo/build/release}
files=${2:-5000}
rounds=${3:-3}
window="$build_dir/src/window/qt/Cordshift"
cli="$build_dir/src/cli/cordshift-cli"
for program in "$window" "$cli"; do
  if [ ! -x "$program" ]; then
    echo "window-run.sh: $program not found; build first" >&2
    exit 1
  fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/cordshift-window-run.XXXXXX")
trap 'rm -rf "$work"' EXIT
"$repo/bench/make-tree.py" "$work/src" "$files"
sync
cp "$window" "$work/Cordshift"
printf '%s\r\n' '[Path]' "SrcDir=$work/src/" "DstDir=$work/dst/" \
  '[Direction]' 'Hp2Lv=0' 'ABorSeq=0' \
  '[Inspection]' 'Equipment=TBS480' 'Lower=0' 'Upper=2000' 'OverWrite=0' \
  > "$work/Cordshift.ini"
settings=$(cat "$work/Cordshift.ini")

now_ms() { date +%s%3N; }
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

cli_times=()
window_times=()
longest=()
for ((round = 1; round <= rounds; round++)); do
  rm -rf "$work/dst" && mkdir "$work/dst" && sync
  start=$(now_ms)
  "$cli" convert "$work/src" "$work/dst" --direction to-hipot \
    --model TBS480 >/dev/null 2>&1
  cli_ms=$(($(now_ms) - start))

  rm -rf "$work/dst" && mkdir "$work/dst" && sync
  printf '%s\n' "$settings" > "$work/Cordshift.ini"
  report=$(CORDSHIFT_RUN_REPORT=1 QT_QPA_PLATFORM=xcb \
    xvfb-run -a "$work/Cordshift" 2>/dev/null)
  run_ms=$(awk '/^run / {print $2}' <<<"$report")
  answer_ms=$(awk '/^longest answer / {print $3}' <<<"$report")
  answers=$(awk '/^answers / {print $2}' <<<"$report")
  converted=$(find "$work/dst" -name '*.lvd' | wc -l)
  if [ "$converted" -ne "$files" ]; then
    echo "window-run.sh: the window wrote $converted of $files files" >&2
    exit 1
  fi
  echo "round $round: command line $cli_ms ms, window $run_ms ms," \
    "$answers answers, longest $answer_ms ms"
  cli_times+=("$cli_ms")
  window_times+=("$run_ms")
  longest+=("$answer_ms")
done
c=$(median "${cli_times[@]}")
w=$(median "${window_times[@]}")
echo "median of $rounds rounds, $files files: command line $c ms," \
  "window $w ms, window/command line $(awk -v w="$w" -v c="$c" 'BEGIN {printf "%.2f", w / c}')," \
  "longest answer $(median "${longest[@]}") ms"
