#!/usr/bin/env bash
# Runs every fuzz target (or the ones named) for a bounded time each, from
# a corpus kept in the build folder and seeds generated from the samples,
# then prints one line of figures per target. A crash, leak or sanitizer
# report stops that target, keeps the input under BUILD_DIR/artifacts and
# makes the script fail.
#
#   fuzz/run-fuzzers.sh BUILD_DIR SECONDS [TARGET...]
set -euo pipefail

build_dir=${1:?usage: fuzz/run-fuzzers.sh BUILD_DIR SECONDS [TARGET...]}
seconds=${2:?usage: fuzz/run-fuzzers.sh BUILD_DIR SECONDS [TARGET...]}
shift 2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build_dir=$(cd "$build_dir" && pwd)

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(continuity_summary_fuzzer hipot_summary_fuzzer
    convert_to_hipot_fuzzer convert_to_continuity_fuzzer ini_fuzzer
    numeric_fuzzer date_stamp_fuzzer codepage_fuzzer line_reader_fuzzer
    settings_fuzzer)
fi

# The file-based targets write a few files per input; a RAM disk keeps
# that from measuring the disk.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then
  export TMPDIR=/dev/shm
fi
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

"$here/make-seeds.sh" "$build_dir/fuzz-seeds" >/dev/null
mkdir -p "$build_dir/fuzz-corpus" "$build_dir/fuzz-logs" "$build_dir/artifacts"

# Options per target: the inputs of the text targets stay short, the file
# targets get room for a few hundred records.
options_of() {
  case $1 in
    numeric_fuzzer | date_stamp_fuzzer) echo "-max_len=128" ;;
    ini_fuzzer) echo "-max_len=4096 -dict=$here/wiring.dict" ;;
    settings_fuzzer) echo "-max_len=4096" ;;
    codepage_fuzzer | line_reader_fuzzer) echo "-max_len=4096" ;;
    *) echo "-max_len=16384 -dict=$here/wiring.dict" ;;
  esac
}

stat_of() { sed -n "s/^stat::$1: *//p" "$2" | tail -n 1; }

failed=()
printf '%-30s %8s %12s %10s %8s %8s\n' target seconds executions "exec/s" edges corpus
for target in "${targets[@]}"; do
  binary="$build_dir/fuzz/$target"
  corpus="$build_dir/fuzz-corpus/$target"
  log="$build_dir/fuzz-logs/$target.log"
  mkdir -p "$corpus"
  seeds="$build_dir/fuzz-seeds/$target"
  [ -d "$seeds" ] || seeds=
  # shellcheck disable=SC2046
  if "$binary" $(options_of "$target") -max_total_time="$seconds" \
    -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$build_dir/artifacts/$target-" \
    "$corpus" ${seeds:+"$seeds"} >"$log" 2>&1; then
    edges=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
    printf '%-30s %8s %12s %10s %8s %8s\n' "$target" "$seconds" \
      "$(stat_of number_of_executed_units "$log")" \
      "$(stat_of average_exec_per_sec "$log")" "${edges:-?}" \
      "$(find "$corpus" -type f | wc -l)"
  else
    echo "$target: FAILED, see $log" >&2
    grep -E 'ERROR|property broken|SUMMARY|Test unit written' "$log" >&2 || true
    failed+=("$target")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing found problems in: ${failed[*]}" >&2
  exit 1
fi
