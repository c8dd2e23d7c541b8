#!/usr/bin/env bash
# chips --swap/--move/--merge-duplicates, tiles swap and palette --uses as a user runs them:
# every room drawn as before, a swap done twice gives the image back, refusals write nothing.
source "$(dirname "$0")/tool_support.sh"
# looksSame IMAGE EDITED STAGE...: each stage's 44 rooms drawn alike from both.
looksSame() {
  local image=$1 edited=$2 stage; shift 2
  for stage in "$@"; do
    "$tool" render "$image" --stage "$stage" --sheet-of-rooms --out "$work/a.png" --force >/dev/null &&
      "$tool" render "$edited" --stage "$stage" --sheet-of-rooms --out "$work/b.png" --force >/dev/null &&
      cmp -s "$work/a.png" "$work/b.png" || fail "stage $stage drawn differently after $edited"
  done
}
refused() { # refused DESCRIPTION OUT -- COMMAND...
  local what=$1 out=$2; shift 2
  expect 1 "$what" "$@"
  [[ ! -e "$out" ]] || fail "$what wrote $out"
}

sample=$work/sample.nes
"$tool" make-sample "$sample" >/dev/null
expect 0 "swap" -- "$tool" chips "$sample" --stage 0 --swap 05 3A --out "$work/swapped.nes"
contains "$work/out" "swapped chips 05 and 3A" "the swap says what it did"
contains "$work/out" "stages 00, 08" "the swap names the stages sharing the table"
looksSame "$sample" "$work/swapped.nes" 0 8
cmp -s "$sample" "$work/swapped.nes" && fail "the swap changed nothing"
expect 0 "swap back" -- "$tool" chips "$work/swapped.nes" --stage 8 --swap 0x3A 0x05 --out "$work/back.nes"
cmp -s "$sample" "$work/back.nes" || fail "a swap done twice does not give the image back"
expect 0 "move" -- "$tool" chips "$sample" --stage 0 --move 05 3A --out "$work/moved.nes"
looksSame "$sample" "$work/moved.nes" 0
refused "a move onto a used chip" "$work/x.nes" -- "$tool" \
  chips "$work/moved.nes" --stage 0 --move 06 3A --out "$work/x.nes"
contains "$work/err" "Chip 3A is used by" "the refusal names the used chip"
refused "a chip out of range" "$work/x.nes" -- "$tool" chips "$sample" --stage 0 --swap 05 100 --out "$work/x.nes"
refused "nothing to merge" "$work/x.nes" -- "$tool" chips "$sample" --stage 0 --merge-duplicates --out "$work/x.nes"
expect 2 "a change without --out" -- "$tool" chips "$sample" --stage 0 --swap 05 3A

expect 0 "16x16 swap" -- "$tool" tiles swap "$sample" 01 02 --chips --stage 1 --out "$work/tiles.nes"
contains "$work/out" "also drawn by stage 09" "the swap names the stage sharing the chip table"
looksSame "$sample" "$work/tiles.nes" 1 9
expect 0 "16x16 swap back" -- "$tool" tiles swap "$work/tiles.nes" 02 01 --chips --stage 1 --out "$work/tback.nes"
cmp -s "$sample" "$work/tback.nes" || fail "a tile swap done twice does not give the image back"
refused "an 8x8 swap inside a used chip" "$work/x.nes" -- "$tool" \
  tiles swap "$sample" 04 05 --stage 1 --out "$work/x.nes"
refused "a 16x16 chip out of range" "$work/x.nes" -- "$tool" \
  tiles swap "$sample" 01 40 --chips --stage 1 --out "$work/x.nes"

expect 0 "unused entries" -- "$tool" palette "$sample" --stage 0 --unused
contains "$work/out" "unused 04, 08, 0C" "colour 0 of each sub-palette is entry 00"
expect 0 "entry uses" -- "$tool" palette "$sample" --stage 0 --uses 05
contains "$work/out" "rooms 00, 01" "the rooms drawing the entry"
expect 1 "an entry out of range" -- "$tool" palette "$sample" --stage 0 --uses 10

[[ $failures -eq 0 ]] || { echo "$failures failure(s)"; exit 1; }
echo "all chip and tile reorder commands behave"
