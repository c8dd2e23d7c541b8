#!/usr/bin/env bash
# unpack, build and verify as a CI job runs them: round trip, refusals and exit codes.
source "$(dirname "$0")/tool_support.sh"

"$tool" make-sample "$work/base.nes" >/dev/null
# The hack: a tile byte, the last byte (no table) and a colour of stage 0's background palette.
cp "$work/base.nes" "$work/hack.nes"
printf '\x5A' | dd of="$work/hack.nes" bs=1 seek=$((0x21010)) conv=notrunc status=none
printf '\x5A' | dd of="$work/hack.nes" bs=1 seek=$(($(stat -c %s "$work/hack.nes") - 1)) conv=notrunc status=none
expect 0 "export" -- "$tool" export "$work/hack.nes" --stage 0 --out "$work/texts"
sed -i '0,/"21 30 10 00"/s//"21 30 10 01"/' "$work/texts/stage-00.json"
expect 0 "import" -- "$tool" import "$work/hack.nes" "$work/texts/stage-00.json" --out "$work/hack2.nes"
mv "$work/hack2.nes" "$work/hack.nes"
sum=$(sha256sum "$work/hack.nes" | cut -d' ' -f1)

expect 0 "unpack" -- "$tool" unpack "$work/hack.nes" "$work/p" --base "$work/base.nes"
[[ -f "$work/p/vexalon2-project.json" && -f "$work/p/stage-0D.json" && -f "$work/p/patches/outside.ips" &&
  -f "$work/p/tiles/stage-00-background.png" ]] || fail "unpack wrote the manifest, the texts, the patch and a picture"
contains "$work/p/vexalon2-project.json" "$(sha256sum "$work/base.nes" | cut -d' ' -f1)" "the manifest names the base"
expect 0 "build" -- "$tool" build "$work/p" --base "$work/base.nes" --out "$work/out.nes" --expect "$sum" \
  --report "$work/report.json"
cmp -s "$work/hack.nes" "$work/out.nes" || fail "build gives the hack back byte for byte"
contains "$work/out" "output $work/out.nes sha256 $sum" "build prints the output hash"
contains "$work/report.json" "\"sha256\": \"$sum\"" "the report holds the output hash"
expect 1 "build with a wrong --expect" -- "$tool" build "$work/p" --base "$work/base.nes" --out "$work/o2.nes" \
  --expect 0000000000000000000000000000000000000000000000000000000000000000
contains "$work/err" "not the expected" "a wrong hash is named"
expect 1 "build over another base" -- "$tool" build "$work/p" --base "$work/hack.nes" --out "$work/o3.nes"
contains "$work/err" "$sum" "the wrong base's hash is named"
[[ ! -e "$work/o3.nes" ]] || fail "a refused build wrote its output"

expect 0 "verify untouched" -- "$tool" verify "$work/p" --base "$work/base.nes"
# Stage 8 shares stage 0's map, which only stage 0's file holds: an edit there builds and verifies.
cp "$work/p/stage-08.json" "$work/before.json"
sed -i '0,/^        "00 00 00 00 00 00 00 00",$/s//        "01 00 00 00 00 00 00 00",/' "$work/p/stage-00.json"
expect 0 "build after an edit of a shared table" -- "$tool" build "$work/p" --base "$work/base.nes" \
  --out "$work/shared.nes"
cmp -s "$work/shared.nes" "$work/out.nes" && fail "the shared map was not edited"
expect 0 "verify after an edit of a shared table" -- "$tool" verify "$work/p" --base "$work/base.nes"
cmp -s "$work/p/stage-08.json" "$work/before.json" || fail "the partner's text changed"
sed -i 's/"rooms": {"in": "stage-00.json"}/"rooms": {"in": "stage-01.json"}/' "$work/p/stage-08.json"
expect 1 "a table named in the wrong file" -- "$tool" verify "$work/p" --base "$work/base.nes"
contains "$work/err" "stage-08.json" "the refusal names the file"

# A patch writing a cell of stage 0's map, which its text holds as the hack has it.
expect 0 "unpack again" -- "$tool" unpack "$work/hack.nes" "$work/q" --base "$work/base.nes"
expect 0 "export the hack" -- "$tool" export "$work/hack.nes" --stage 0 --out "$work/maptexts"
sed -i '0,/^        "00 00 00 00 00 00 00 00",$/s//        "07 00 00 00 00 00 00 00",/' "$work/maptexts/stage-00.json"
expect 0 "a map edit" -- "$tool" import "$work/hack.nes" "$work/maptexts/stage-00.json" --out "$work/mapped.nes"
expect 0 "a patch into the map" -- "$tool" patch "$work/hack.nes" "$work/mapped.nes" "$work/q/patches/map.ips"
sed -i 's#"file": "patches/outside.ips"#&},{"kind": "patch", "file": "patches/map.ips"#' \
  "$work/q/vexalon2-project.json"
expect 1 "a patch overlapping a table is refused" -- "$tool" build "$work/q" --base "$work/base.nes" \
  --out "$work/o4.nes"
contains "$work/err" "patches/map.ips writes offset" "the refusal names the patch and offset"
contains "$work/err" "of stage 00, which stage-00.json also sets" "the refusal names the table and the text"
# The palette changed in the hack lives in a palette file the text names.
contains "$work/q/stage-00.json" '"palettes": {"in": "palettes/stage-00.gpl"}' "the text names the palette file"
contains "$work/q/palettes/stage-00.gpl" "BG 3 01" "the palette file names each entry's index"

# A patch of a tile byte the picture sets is refused, naming the picture.
expect 0 "unpack a third time" -- "$tool" unpack "$work/hack.nes" "$work/r" --base "$work/base.nes"
cp "$work/hack.nes" "$work/other.nes"
printf '\x33' | dd of="$work/other.nes" bs=1 seek=$((0x21010)) conv=notrunc status=none
"$tool" patch "$work/hack.nes" "$work/other.nes" "$work/r/patches/tile.ips" >/dev/null
sed -i 's#"file": "patches/outside.ips"#&},{"kind": "patch", "file": "patches/tile.ips"#' \
  "$work/r/vexalon2-project.json"
expect 1 "a patch of a tile a picture sets" -- "$tool" build "$work/r" --base "$work/base.nes" --out "$work/o5.nes"
contains "$work/err" "a tile byte tiles/stage-00-background.png also sets" "the refusal names the picture"
expect 1 "unpack --force over files it would not write" -- "$tool" unpack "$work/base.nes" "$work/r" \
  --base "$work/base.nes" --force
contains "$work/err" "patches/outside.ips is left from an earlier unpack" "the stale file is named"

((failures == 0)) || { echo "$failures failures"; exit 1; }
echo "all project commands behaved"
