#!/usr/bin/env bash
# The main job. With a display (DISPLAY or WAYLAND_DISPLAY set) it starts the
# window, on the sample data the first time. Without one, or with
# CORDSHIFT_HEADLESS=1 or an output folder given, it converts the sample
# trees under examples/ with cordshift-cli, continuity to hipot and hipot to
# continuity, and prints what each run showed. That output goes to a
# temporary folder that is removed afterwards, unless a folder is given as
# the second argument.
#
#   scripts/run.sh BUILD_DIR [OUTPUT_DIR]
set -euo pipefail

build_dir=${1:?usage: scripts/run.sh BUILD_DIR [OUTPUT_DIR]}
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cli="$build_dir/src/cli/cordshift-cli"
window="$build_dir/src/window/qt/Cordshift"

# The window keeps its settings beside itself. Before its first start it
# gets settings pointing at the sample continuity tree, converting into a
# folder of the build tree.
start_window() {
  local settings="$window.ini"
  if [ ! -e "$settings" ]; then
    local build_abs
    build_abs=$(cd "$build_dir" && pwd)
    printf '%s\r\n' '[Path]' \
      "SrcDir=$repo/examples/continuity/" \
      "DstDir=$build_abs/converted/" >"$settings"
    echo "First start: source examples/continuity, destination $build_abs/converted"
  fi
  exec "$window"
}

if [ $# -lt 2 ] && [ "${CORDSHIFT_HEADLESS:-0}" != 1 ] &&
  [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  if [ -x "$window" ]; then
    start_window
  fi
  echo "run.sh: $window not found; running the command line instead" >&2
fi
if [ ! -x "$cli" ]; then
  echo "run.sh: $cli not found; build first (make build)" >&2
  exit 1
fi

if [ $# -ge 2 ]; then
  out=$2
  mkdir -p "$out"
else
  out=$(mktemp -d "${TMPDIR:-/tmp}/cordshift-run.XXXXXX")
  trap 'rm -rf "$out"' EXIT
fi

# Runs one conversion, with its progress (standard error) shown in the
# order it happens rather than after the tables.
convert() {
  local title=$1 source=$2 destination=$3
  shift 3
  echo "== $title"
  echo "   $source -> $destination"
  echo
  "$cli" convert "$source" "$destination" "$@" 2>&1
  echo
  echo "Files written:"
  (cd "$destination" && find . -type f | LC_ALL=C sort | sed 's|^\./|  |')
  echo
}

# A converted file as text (the files themselves are Shift-JIS).
show() {
  echo "$1 as written:"
  iconv -f CP932 -t UTF-8 "$2" | tr -d '\r' | sed 's/^/  /'
  echo
}

convert "Continuity to hipot (examples/continuity)" \
  "$repo/examples/continuity" "$out/hipot" \
  --direction to-hipot --model TBS480 --lower 0 --upper 2000
convert "Hipot to continuity (examples/hipot), AB notation" \
  "$repo/examples/hipot" "$out/continuity" \
  --direction to-continuity --model TBL480 --notation ab
show "examples/continuity/main/W100.lvd (AB notation) converted to hipot" \
  "$out/hipot/main/W100.lvd"
show "examples/hipot/main/H100.lvd converted to continuity" \
  "$out/continuity/main/H100.lvd"

if [ $# -ge 2 ]; then
  echo "Output kept in $out"
fi
