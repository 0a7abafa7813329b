#!/bin/sh
# Takes a few lines of the postal-code list KEN_ALL.CSV (Shift-JIS, with
# half-width katakana and characters whose second byte is 5C) as seed inputs
# for the fuzz targets that read roster text. The list itself stays out of
# the repository; this runs at build time.
# Usage: ken_all_seeds.sh <ken_all.zip> <output folder>
set -e
zip="$1"
out="$2"
mkdir -p "$out/roster_lines" "$out/roster_file" "$out/shift_jis"
if [ ! -f "$zip" ]; then
  echo "ken_all_seeds.sh: no $zip; the fuzz targets start from the repository's seeds only"
  touch "$out/stamp"
  exit 0
fi
n=0
for range in 1,6 2334,2340 60000,60005 124820,124825; do
  n=$((n + 1))
  first=${range%,*}
  last=${range#*,}
  lines="$out/shift_jis/ken_all_$n"
  unzip -p "$zip" KEN_ALL.CSV | sed -n "${first},${last}p;${last}q" > "$lines"
  # Search text "表" (95 5C), then for the file target a header of 65,790 bytes.
  { printf '\002\225\134'; cat "$lines"; } > "$out/roster_lines/ken_all_$n"
  { printf '\002\225\134\334\377'; cat "$lines"; } > "$out/roster_file/ken_all_$n"
done
touch "$out/stamp"
