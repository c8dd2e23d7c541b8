#!/usr/bin/env bash
# tiles export and import as a user runs them: outputs, refusals, and which bytes change.
source "$(dirname "$0")/tool_support.sh"

"$tool" make-sample "$work/sample.nes" >/dev/null
expect 0 "export" -- "$tool" tiles export "$work/sample.nes" --stage 0 --out "$work/t0.png"
expect 0 "import unchanged" -- "$tool" tiles import "$work/sample.nes" "$work/t0.png" --stage 0 --out "$work/same.nes"
contains "$work/out" "no tile differs" "an unchanged picture says so"
[[ ! -e "$work/same.nes" ]] || fail "an unchanged picture wrote the image"

# Stage 1's tiles into stage 0: the tiles that differ change; stage 5 made to read stage 0's setting.
printf '[LevelDataAddress]\nPatternTableSetting[5]=3C10\n' >"$work/share.ini"
expect 0 "export stage 1" -- "$tool" tiles export "$work/sample.nes" --stage 1 --palette 2 --out "$work/t1.png"
expect 0 "import stage 1's tiles" -- "$tool" tiles import "$work/sample.nes" "$work/t1.png" --stage 0 --palette 2 \
  --settings "$work/share.ini" --out "$work/edited.nes"
contains "$work/out" "tile 3C also drawn by stage 05" "a changed tile names the stage sharing it"
contains "$work/out" "wrote $work/edited.nes" "the image is written"
# The sample keeps stage 0's background tiles at 0x21010..0x2200F; cmp counts from 1, in decimal.
cmp -l "$work/sample.nes" "$work/edited.nes" | awk '$1 <= 135184 || $1 > 139280 { bad = 1 } END { exit bad || NR == 0 }' ||
  fail "bytes changed outside stage 0's background tiles"
expect 0 "import again" -- "$tool" tiles import "$work/edited.nes" "$work/t1.png" --stage 0 --out "$work/again.nes"
contains "$work/out" "no tile differs" "the written image holds the tiles"

expect 0 "export chips" -- "$tool" tiles export "$work/sample.nes" --stage 0 --layout chips --out "$work/c0.png"
contains "$work/out" "(128x128, chips layout)" "the export names its layout"
expect 0 "import chips" -- "$tool" tiles import "$work/sample.nes" "$work/c0.png" --stage 0 --layout chips \
  --out "$work/c.nes"
contains "$work/out" "no tile differs" "a chips picture read as chips"
expect 2 "another layout" -- "$tool" tiles export "$work/sample.nes" --stage 0 --layout squares --out "$work/s.png"

expect 1 "a file that is no PNG" -- "$tool" tiles import "$work/sample.nes" "$work/sample.nes" --stage 0 --out "$work/x.nes"
contains "$work/err" "not a PNG file" "the refusal says why"
[[ ! -e "$work/x.nes" ]] || fail "a refused import wrote the image"
expect 1 "output over the picture" -- "$tool" tiles import "$work/sample.nes" "$work/t1.png" --stage 0 --out "$work/t1.png" --force
expect 1 "an existing output without --force" -- "$tool" tiles export "$work/sample.nes" --stage 0 --out "$work/t0.png"
expect 2 "export needs .png" -- "$tool" tiles export "$work/sample.nes" --stage 0 --out "$work/t.jpg"
expect 2 "sub-palette 4" -- "$tool" tiles export "$work/sample.nes" --stage 0 --palette 4 --out "$work/t.png"
contains "$work/err" "tiles export --help" "the usage hint names the command"

[[ $failures -eq 0 ]] && echo "all tiles tool tests passed"
exit $((failures > 0))
