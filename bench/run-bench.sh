#!/usr/bin/env bash
# Whole-run benchmark: times `cordshift-cli convert` of a large continuity
# tree (which reads every file it writes back and verifies it) against
# `cp -r` of the same tree, in alternating rounds on a warm cache, on a disk
# (the temporary folder, TMPDIR or /tmp) and on tmpfs (/dev/shm, where there
# is one: the cost that is the program's alone); also `convert --no-verify`,
# and `cordshift-cli verify` of the tree each convert wrote. It prints a
# table of medians for each place: convert, convert --no-verify, cp -r, the
# median ratios of both converts to cp -r, verify, and the median ratio
# verify/convert.
#
#   bench/run-bench.sh BUILD_DIR [ROUNDS]
#
# BUILD_DIR should be a release build. The tree (200 folders of 25 files of
# 400 records, AB notation, each with its comment file: bench/make-tree.py)
# is generated in a temporary folder of each place
# and removed at the end. Written data is flushed (sync) between rounds,
# outside the timings, so that no round pays for the one before.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build_dir=${1:?usage: bench/run-bench.sh BUILD_DIR [ROUNDS]}
rounds=${2:-5}
cli="$build_dir/src/cli/cordshift-cli"
if [ ! -x "$cli" ]; then
  echo "run-bench.sh: $cli not found; build the release preset first" >&2
  exit 1
fi


# Seconds (with microseconds) that a command takes.
time_of() {
  local start=$EPOCHREALTIME
  "$@"
  local end=$EPOCHREALTIME
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.6f\n", e - s }'
}

run_cp() { cp -r "$source_tree" "$work/copy"; }
run_convert() {
  "$cli" convert "$source_tree" "$work/converted" --direction to-hipot \
    --model TBS480 --json >/dev/null
}
run_convert_unverified() {
  "$cli" convert "$source_tree" "$work/unverified" --direction to-hipot \
    --model TBS480 --no-verify --json >/dev/null
}
# Every file of the converted tree must match: a verify that finds anything
# else fails the benchmark.
run_verify() {
  "$cli" verify "$source_tree" "$work/converted" --direction to-hipot \
    --model TBS480 --lower 0 --upper 2000 --json >/dev/null
}
fresh_destinations() { rm -rf "$work/copy" "$work/converted" "$work/unverified"; }

median() { LC_ALL=C sort -g | awk '{ v[NR] = $1 } END {
  if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# Measures in folder $1 (a place named $2) and appends its row to $summary.
bench_in() {
  local place=$1 name=$2
  work=$(mktemp -d "$place/cordshift-bench.XXXXXX")
  source_tree="$work/source"
  echo "== $name: $work"
  if [ -n "${tree_copy:-}" ]; then
    cp -r "$tree_copy" "$source_tree"
  else
    echo "Generating 200 folders x 25 files x 400 records ..."
    "$here/make-tree.py" "$source_tree" 5000
  fi
  echo "Tree: $(find "$source_tree" -type f | wc -l) files, $(du -sh "$source_tree" | cut -f1)"

  # Warm-up: fills the page cache and checks that the conversion succeeds
  # and verifies.
  run_cp
  if ! run_convert; then
    echo "run-bench.sh: the conversion failed" >&2
    exit 1
  fi
  if ! run_verify; then
    echo "run-bench.sh: verify found files that do not match" >&2
    exit 1
  fi
  echo "Warm-up conversion wrote $(find "$work/converted" -type f | wc -l) files"
  fresh_destinations

  local cp_times=() convert_times=() unverified_times=() verify_times=()
  local ratios=() unverified_ratios=() verify_ratios=()
  local round cp_time convert_time unverified_time verify_time
  for ((round = 1; round <= rounds; round++)); do
    # Each command writes into a fresh destination after the writes before
    # it were flushed; which of cp -r and convert goes first alternates, so
    # that neither always runs on the other's heels.
    # verify reads the tree the convert before it wrote.
    if ((round % 2)); then
      cp_time=$(fresh_destinations; sync; time_of run_cp)
      convert_time=$(fresh_destinations; sync; time_of run_convert)
      verify_time=$(sync; time_of run_verify)
    else
      convert_time=$(fresh_destinations; sync; time_of run_convert)
      verify_time=$(sync; time_of run_verify)
      cp_time=$(fresh_destinations; sync; time_of run_cp)
    fi
    unverified_time=$(fresh_destinations; sync; time_of run_convert_unverified)
    fresh_destinations
    sync
    ratios+=("$(awk -v a="$convert_time" -v b="$cp_time" 'BEGIN { printf "%.3f", a / b }')")
    unverified_ratios+=("$(awk -v a="$unverified_time" -v b="$cp_time" 'BEGIN { printf "%.3f", a / b }')")
    verify_ratios+=("$(awk -v a="$verify_time" -v b="$convert_time" 'BEGIN { printf "%.3f", a / b }')")
    printf 'round %d: convert %.3f s, --no-verify %.3f s, cp -r %.3f s, verify %.3f s\n' \
      "$round" "$convert_time" "$unverified_time" "$cp_time" "$verify_time"
    cp_times+=("$cp_time")
    convert_times+=("$convert_time")
    unverified_times+=("$unverified_time")
    verify_times+=("$verify_time")
  done
  summary+=("$(printf '| %s | %.3f s | %.3f s | %.3f s | %.3f | %.3f | %.3f s | %.3f |' "$name" \
    "$(printf '%s\n' "${convert_times[@]}" | median)" \
    "$(printf '%s\n' "${unverified_times[@]}" | median)" \
    "$(printf '%s\n' "${cp_times[@]}" | median)" \
    "$(printf '%s\n' "${ratios[@]}" | median)" \
    "$(printf '%s\n' "${unverified_ratios[@]}" | median)" \
    "$(printf '%s\n' "${verify_times[@]}" | median)" \
    "$(printf '%s\n' "${verify_ratios[@]}" | median)")")
  # The first place's tree serves the next one.
  if [ -z "${tree_copy:-}" ]; then
    tree_copy="$work/source"
    kept_work=$work
  else
    rm -rf "$work"
  fi
  work=
}

summary=()
tree_copy=
kept_work=
trap 'rm -rf ${work:+"$work"} ${kept_work:+"$kept_work"}' EXIT
disk=${TMPDIR:-/tmp}
bench_in "$disk" "disk ($disk, $(df --output=fstype "$disk" | tail -1))"
if [ -d /dev/shm ] && [ "$(df --output=fstype /dev/shm | tail -1)" = tmpfs ]; then
  bench_in /dev/shm "tmpfs (/dev/shm)"
fi

echo
echo "Medians of $rounds alternating rounds (targets: convert/cp -r at most 1.3 on disk,"
echo "1.5 on tmpfs, with verification; verify no slower than convert):"
echo
echo "| where | convert | convert --no-verify | cp -r | convert/cp -r | --no-verify/cp -r | verify | verify/convert |"
echo "|---|---|---|---|---|---|---|---|"
printf '%s\n' "${summary[@]}"
