#!/usr/bin/env bash
# Converts the sample trees under examples/ with the Linux cordshift-cli and
# with the Windows cordshift-cli.exe under Wine, in every direction and
# notation, and checks that both write the same files, byte for byte, report
# the same outcome per file and show the same lists.
#
#   scripts/compare-windows-convert.sh LINUX_BUILD_DIR WINDOWS_BUILD_DIR
set -euo pipefail

linux_build=${1:?usage: compare-windows-convert.sh LINUX_BUILD_DIR WINDOWS_BUILD_DIR}
windows_build=${2:?usage: compare-windows-convert.sh LINUX_BUILD_DIR WINDOWS_BUILD_DIR}
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
linux_cli="$linux_build/src/cli/cordshift-cli"
windows_cli="$windows_build/src/cli/cordshift-cli.exe"
wine_run="$windows_build/wine-run.sh"
for needed in "$linux_cli" "$windows_cli" "$wine_run"; do
  if [ ! -x "$needed" ] && [ ! -f "$needed" ]; then
    echo "compare-windows-convert: $needed not found; build first" >&2
    exit 1
  fi
done

out=$(mktemp -d "${TMPDIR:-/tmp}/cordshift-compare.XXXXXX")
trap 'rm -rf "$out"' EXIT

# A Linux path as the Windows program names it: drive Z: is the Linux root.
windows_path() {
  local path=$1
  printf 'Z:%s' "${path//\//\\}"
}

# The parts of a JSON report that do not depend on how the platform spells
# paths: the result, the lists, the count and each file's outcome.
comparable_report() {
  python3 -c '
import json, sys
report = json.load(open(sys.argv[1], encoding="utf-8"))
print(json.dumps({
    "result": report["result"],
    "messages": report["messages"],
    "source_rows": report["source_rows"],
    "destination_rows": report["destination_rows"],
    "converted": report["converted"],
    "outcomes": [[f["outcome"], f.get("reason", "")] for f in report["files"]],
}, ensure_ascii=False, indent=1))' "$1"
}

passed=0
failed=0
check() {
  local name=$1 source=$2
  shift 2
  local linux_out="$out/$name/linux" windows_out="$out/$name/windows"
  local linux_status=0 windows_status=0
  "$linux_cli" convert "$repo/$source" "$linux_out" "$@" --json \
    >"$out/$name.linux.json" || linux_status=$?
  "$wine_run" "$windows_cli" convert "$(windows_path "$repo/$source")" \
    "$(windows_path "$windows_out")" "$@" --json \
    >"$out/$name.windows.json" || windows_status=$?

  local problems=()
  [ "$linux_status" -eq 0 ] || problems+=("Linux exit status $linux_status")
  [ "$windows_status" -eq "$linux_status" ] ||
    problems+=("Windows exit status $windows_status, Linux $linux_status")
  if ! diff -r "$linux_out" "$windows_out" >"$out/$name.diff" 2>&1; then
    problems+=("files differ: $(head -c 2000 "$out/$name.diff")")
  fi
  if ! diff <(comparable_report "$out/$name.linux.json") \
            <(comparable_report "$out/$name.windows.json") >"$out/$name.report.diff"; then
    problems+=("reports differ: $(head -c 2000 "$out/$name.report.diff")")
  fi
  local files
  files=$(find "$linux_out" -type f 2>/dev/null | wc -l)
  [ "$files" -gt 0 ] || problems+=("no file written")

  if [ ${#problems[@]} -eq 0 ]; then
    echo "same: $name ($files files)"
    passed=$((passed + 1))
  else
    echo "DIFFERENT: $name" >&2
    printf '  %s\n' "${problems[@]}" >&2
    failed=$((failed + 1))
  fi
}

check continuity-to-hipot examples/continuity --direction to-hipot --model TBS480
check hipot-to-continuity-ab examples/hipot --direction to-continuity --model TBL480
check hipot-to-continuity-seq examples/hipot --direction to-continuity --model TBL480 --notation seq
check continuity-to-hipot-limits examples/continuity --direction to-hipot --model 耐圧480 --lower 5 --upper 300

echo "compare-windows-convert: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
