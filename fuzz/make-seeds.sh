#!/usr/bin/env bash
# Writes the seed corpus of every fuzz target, one folder per target, from
# the sample trees in examples/ and the test data in tests/data, shaped the
# way each target reads its input.
#
#   fuzz/make-seeds.sh OUTPUT_DIR
set -euo pipefail

out=${1:?usage: fuzz/make-seeds.sh OUTPUT_DIR}
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

rm -rf "$out"
mkdir -p "$out"

# Wiring files by side: a continuity file has three-field records, a hipot
# file six; the samples keep them in separate trees.
continuity_files() {
  find "$repo/examples/continuity" "$repo/tests/data/convert/continuity" \
    "$repo/tests/data/convert/expected_continuity_ab" \
    "$repo/tests/data/convert/expected_continuity_seq" -type f -name '*.lvd' |
    LC_ALL=C sort
}
hipot_files() {
  find "$repo/examples/hipot" "$repo/tests/data/convert/hipot" \
    "$repo/tests/data/convert/expected_hipot" -type f -name '*.lvd' |
    LC_ALL=C sort
}
ini_files() {
  find "$repo/examples" "$repo/tests/data" -type f -name '*.ini' |
    LC_ALL=C sort
}
all_files() {
  find "$repo/examples" "$repo/tests/data" -type f | LC_ALL=C sort
}

# Writes standard input as a seed of a target, named by its SHA-1 as
# libFuzzer names corpus files (equal seeds become one).
seed() {
  mkdir -p "$out/$1"
  local file="$out/$1/.incoming"
  cat >"$file"
  mv "$file" "$out/$1/$(sha1sum "$file" | cut -d' ' -f1)"
}

copy_seeds() {
  local target=$1
  while IFS= read -r file; do seed "$target" <"$file"; done
}

# The conversion targets read an options byte, the wiring file and, after
# "\0INI\0", its companion comment file.
conversion_seeds() {
  local target=$1
  while IFS= read -r file; do
    local companion="${file%.lvd}.ini"
    for options in '\x00' '\x03' '\x09'; do
      {
        printf "$options"
        cat "$file"
        if [ -f "$companion" ]; then
          printf '\0INI\0'
          cat "$companion"
        fi
      } | seed "$target"
    done
  done
}

continuity_files | copy_seeds continuity_summary_fuzzer
hipot_files | copy_seeds hipot_summary_fuzzer
continuity_files | conversion_seeds convert_to_hipot_fuzzer
hipot_files | conversion_seeds convert_to_continuity_fuzzer

# The INI target reads section, key and value, each ended by NUL, then the
# INI text.
while IFS= read -r file; do
  { printf 'Purpose\0Comment\0Changed\0'; cat "$file"; } | seed ini_fuzzer
  { printf 'Path\0SrcDir\0/data/\0'; cat "$file"; } | seed ini_fuzzer
done < <(ini_files)

all_files | copy_seeds codepage_fuzzer
all_files | copy_seeds line_reader_fuzzer
ini_files | copy_seeds settings_fuzzer
printf '[Path]\r\nSrcDir=/data/src/\r\nDstDir=/data/dst/\r\n[Direction]\r\nHp2Lv=1\r\nABorSeq=0\r\n[Inspection]\r\nEquipment=TBS480\r\nLower=10\r\nUpper=2000\r\nOverWrite=1\r\n' |
  seed settings_fuzzer

# Header lines of the wiring files: the counts (lines 3 and 4) for the
# numeric rule, the date-time (line 2) for the date check.
while IFS= read -r file; do
  for line in 3 4; do
    sed -n "${line}p" "$file" | tr -d '\r\n' | seed numeric_fuzzer
  done
  sed -n 2p "$file" | tr -d '\r\n' | seed date_stamp_fuzzer
done < <(continuity_files; hipot_files)
for text in 0 -0 12 +7 ' 42 ' 1.5 2.5 -2.5 .5 5. 1e3 1E-3 2147483647 \
  2147483647.5 -2147483648.5 0.49999999999999999999 1e-99999999999 \
  0065 8192 A12; do
  printf '%s' "$text" | seed numeric_fuzzer
done
for text in 20240312093000 00000000000000 99991231246060 2024131200000 \
  '2024 3 1 9 0 0' 2024031209300a; do
  printf '%s' "$text" | seed date_stamp_fuzzer
done

echo "fuzz seeds: $(find "$out" -type f | wc -l) files in $out"
