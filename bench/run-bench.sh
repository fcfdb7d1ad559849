#!/usr/bin/env bash
# Whole-run benchmark: times `cordshift-cli convert` of a large continuity
# tree against `cp -r` of the same tree, in alternating rounds on a warm
# cache, and prints the medians and the median ratio convert/cp.
#
#   bench/run-bench.sh BUILD_DIR [ROUNDS]
#
# BUILD_DIR should be a release build. The tree (200 folders of 25 files of
# 400 records, AB notation) is generated in a temporary folder under TMPDIR
# and removed at the end.
set -euo pipefail

build_dir=${1:?usage: bench/run-bench.sh BUILD_DIR [ROUNDS]}
rounds=${2:-5}
cli="$build_dir/src/cli/cordshift-cli"
if [ ! -x "$cli" ]; then
  echo "run-bench.sh: $cli not found; build the release preset first" >&2
  exit 1
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/cordshift-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
source_tree="$work/source"

generate_tree() {
  python3 - "$source_tree" <<'PY'
import os
import sys

root = sys.argv[1]
FOLDERS, FILES, RECORDS = 200, 25, 400


def ab(n):
    """Sequential terminal n in AB notation (blocks of 64, A before B)."""
    k, r = divmod(n - 1, 128)
    return ("A%d" % (64 * k + r + 1)) if r < 64 else ("B%d" % (64 * k + r - 63))


for f in range(FOLDERS):
    folder = os.path.join(root, "line%02d" % (f // 20), "harness%03d" % f)
    os.makedirs(folder)
    for w in range(FILES):
        base = (f * FILES + w) % 1000
        pairs = [(base + i % 500 + 1, base + (i * 7) % 900 + 1)
                 for i in range(RECORDS)]
        terminals = {t for pair in pairs for t in pair}
        lines = ["TBL480", "20240312093000", str(RECORDS), str(len(terminals))]
        lines += ["%s-%s,0,2000" % (ab(a), ab(b)) for a, b in pairs]
        with open(os.path.join(folder, "W%05d.lvd" % w), "wb") as out:
            out.write(("\r\n".join(lines) + "\r\n").encode("cp932"))
PY
}

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
fresh_destinations() { rm -rf "$work/copy" "$work/converted"; }

median() { LC_ALL=C sort -g | awk '{ v[NR] = $1 } END {
  if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

echo "Generating 200 folders x 25 files x 400 records in $work ..."
generate_tree
echo "Tree: $(find "$source_tree" -type f | wc -l) files, $(du -sh "$source_tree" | cut -f1)"

# Warm-up: fills the page cache and checks that the conversion succeeds.
run_cp
if ! run_convert; then
  echo "run-bench.sh: the conversion failed" >&2
  exit 1
fi
converted=$(find "$work/converted" -name '*.lvd' | wc -l)
echo "Warm-up conversion wrote $converted files"
fresh_destinations

cp_times=()
convert_times=()
ratios=()
for ((round = 1; round <= rounds; round++)); do
  # Which one goes first alternates, so that neither always finds the other's
  # dirty pages still being written back.
  if ((round % 2)); then
    cp_time=$(time_of run_cp)
    convert_time=$(time_of run_convert)
  else
    convert_time=$(time_of run_convert)
    cp_time=$(time_of run_cp)
  fi
  fresh_destinations
  ratio=$(awk -v a="$convert_time" -v b="$cp_time" 'BEGIN { printf "%.3f", a / b }')
  printf 'round %d: convert %.3f s, cp -r %.3f s, ratio %s\n' \
    "$round" "$convert_time" "$cp_time" "$ratio"
  cp_times+=("$cp_time")
  convert_times+=("$convert_time")
  ratios+=("$ratio")
done

printf 'median convert: %.3f s\n' "$(printf '%s\n' "${convert_times[@]}" | median)"
printf 'median cp -r:   %.3f s\n' "$(printf '%s\n' "${cp_times[@]}" | median)"
printf 'median ratio convert/cp: %.3f (target: at most 2)\n' \
  "$(printf '%s\n' "${ratios[@]}" | median)"
