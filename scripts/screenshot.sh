#!/usr/bin/env bash
# Takes docs/screenshot.png: the window on the sample data, under a virtual
# X display, saved by the program itself once it is shown.
#
#   scripts/screenshot.sh [BUILD_DIR] [PNG_FILE]
#
# It shows the hipot-to-continuity direction, the one in which every control
# is visible (the notation options included). The samples (examples/) are
# copied to a folder of a neutral name, Cordshift-samples in the temporary
# folder: the source list shows its hipot/main, the destination list that
# folder converted with cordshift-cli into Cordshift-samples/converted. The
# program runs as a copy in a temporary folder, so that its settings file
# (beside the executable) is a throwaway one.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${1:-$repo/build/debug}
png=${2:-$repo/docs/screenshot.png}
window="$build_dir/src/window/qt/Cordshift"
cli="$build_dir/src/cli/cordshift-cli"
for program in "$window" "$cli"; do
  if [ ! -x "$program" ]; then
    echo "screenshot.sh: $program not found; build first (make build)" >&2
    exit 1
  fi
done
if ! command -v xvfb-run >/dev/null; then
  echo "screenshot.sh: xvfb-run not found (scripts/install-deps.sh installs it)" >&2
  exit 1
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/cordshift-shot.XXXXXX")
samples="${TMPDIR:-/tmp}/Cordshift-samples"
if [ -e "$samples" ]; then
  echo "screenshot.sh: $samples is in the way; remove it first" >&2
  exit 1
fi
trap 'rm -rf "$work" "$samples"' EXIT
cp -r "$repo/examples" "$samples"

"$cli" convert "$samples/hipot" "$samples/converted" \
  --direction to-continuity --model TBL480 >/dev/null 2>&1
cp "$window" "$work/Cordshift"
printf '%s\r\n' \
  '[Path]' \
  "SrcDir=$samples/hipot/main/" \
  "DstDir=$samples/converted/main/" \
  '[Direction]' 'Hp2Lv=1' 'ABorSeq=0' \
  '[Inspection]' 'Equipment=TBL480' 'Lower=0' 'Upper=2000' 'OverWrite=0' \
  >"$work/Cordshift.ini"

mkdir -p "$(dirname "$png")"
rm -f "$png"
CORDSHIFT_SCREENSHOT="$png" timeout 60 \
  xvfb-run -a -s "-screen 0 1280x800x24 -dpi 96" "$work/Cordshift"
if [ ! -s "$png" ]; then
  echo "screenshot.sh: no picture was written" >&2
  exit 1
fi
echo "Wrote $png"
