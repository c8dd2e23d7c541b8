#!/usr/bin/env bash
# The command-line tool as a user runs it: results, exit codes and files.
set -u
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
expect() { # expect CODE DESCRIPTION -- COMMAND...
  local code=$1 what=$2; shift 3
  "$@" >"$work/out" 2>"$work/err"
  local got=$?
  if [[ $got -ne $code ]]; then
    echo "FAIL: $what: exit $got, expected $code"; cat "$work/out" "$work/err"; failures=$((failures + 1))
  fi
}
contains() { # contains FILE TEXT DESCRIPTION
  grep -qF -- "$2" "$1" || { echo "FAIL: $3: no '$2' in:"; cat "$1"; failures=$((failures + 1)); }
}

expect 0 "help" -- "$tool" --help
for command in make-sample settings info roundtrip render chips objects scroll midpoints check export import merge patch apply playcopy; do
  grep -qE "^  $command " "$work/out" || { echo "FAIL: help does not list $command"; failures=$((failures + 1)); }
done
expect 2 "no command" -- "$tool"
expect 2 "unknown command" -- "$tool" frobnicate
expect 2 "unknown option" -- "$tool" info x --bogus

expect 0 "make-sample" -- "$tool" make-sample "$work/sample.nes"
[[ $(stat -c %s "$work/sample.nes") -eq 262160 ]] || { echo "FAIL: sample size"; failures=$((failures + 1)); }
expect 0 "make-sample is deterministic" -- "$tool" make-sample "$work/again.nes"
cmp -s "$work/sample.nes" "$work/again.nes" || { echo "FAIL: two samples differ"; failures=$((failures + 1)); }

expect 0 "info" -- "$tool" info "$work/sample.nes"
contains "$work/out" "header: 4E 45 53 1A" "info shows the header"
contains "$work/out" "stage 08: chips=00 map=00" "info shows sharing"

expect 0 "roundtrip" -- "$tool" roundtrip "$work/sample.nes" "$work/copy.nes"
cmp -s "$work/sample.nes" "$work/copy.nes" || { echo "FAIL: roundtrip changed bytes"; failures=$((failures + 1)); }
head -c 1000 "$work/sample.nes" > "$work/short.nes"
expect 1 "roundtrip refuses a short file" -- "$tool" roundtrip "$work/short.nes" "$work/never.nes"
[[ ! -e "$work/never.nes" ]] || { echo "FAIL: refused roundtrip wrote a file"; failures=$((failures + 1)); }

printf '[LevelDataAddress]\nMap[13]=3FA00\n' > "$work/far.ini"
expect 1 "info names a table outside" -- "$tool" info "$work/sample.nes" --settings "$work/far.ini"
contains "$work/out" "outside the image: Map[13] at 0003FA00" "info lists the table outside"
contains "$work/err" "Check the addresses in $work/far.ini." "the refusal names the settings file"
cp "$work/far.ini" "$work/kept.ini"
cmp -s "$work/far.ini" "$work/kept.ini" || { echo "FAIL: --settings wrote the file"; failures=$((failures + 1)); }

expect 0 "settings completes a missing file" -- "$tool" settings "$work/new.ini"
contains "$work/new.ini" "Map[9]=4510" "settings file written"
[[ $(grep -c '=' "$work/new.ini") -eq 434 ]] || { echo "FAIL: settings file has $(grep -c '=' "$work/new.ini") keys"; failures=$((failures + 1)); }

# What the user wrote stays: BOM, CR LF, comments, their spelling; a value that does not read
# is refused by every command and nothing is written.
printf '\xef\xbb\xbf; my layout\r\n[LevelDataAddress]\r\nmap[0] = 0510\r\n\r\n[Mine]\r\nx=1\r\n' > "$work/mine.ini"
expect 0 "settings keeps what the user wrote" -- "$tool" settings "$work/mine.ini"
head -c 51 "$work/mine.ini" | cmp -s - <(printf '\xef\xbb\xbf; my layout\r\n[LevelDataAddress]\r\nmap[0] = 0510\r\n') ||
  { echo "FAIL: settings changed the user's lines"; head -n 4 "$work/mine.ini" | od -c | head; failures=$((failures + 1)); }
[[ $(grep -c $'\r$' "$work/mine.ini") -eq $(wc -l < "$work/mine.ini") ]] || { echo "FAIL: line endings changed"; failures=$((failures + 1)); }
grep -A 1 -F '[Mine]' "$work/mine.ini" | cmp -s - <(printf '[Mine]\r\nx=1\r\n') || { echo "FAIL: unknown section changed"; failures=$((failures + 1)); }
printf '[LevelDataAddress]\nMap[0]=510\nMap[1]=4600 ; moved\n' > "$work/mine.ini"
cp "$work/mine.ini" "$work/mine-before.ini"
expect 1 "settings refuses a value that does not read" -- "$tool" settings "$work/mine.ini"
contains "$work/err" "line 3: the value \"4600 ; moved\" of Map[1] cannot be used" "the refusal names line, key and text"
contains "$work/err" "Nothing was written." "the refusal says nothing was written"
cmp -s "$work/mine.ini" "$work/mine-before.ini" || { echo "FAIL: a refused settings wrote"; failures=$((failures + 1)); }
expect 1 "--settings refuses a value that does not read" -- "$tool" info "$work/sample.nes" --settings "$work/mine.ini"
expect 1 "render refuses it too" -- "$tool" render "$work/sample.nes" --stage 0 --map --out "$work/never.png" --settings "$work/mine.ini"
expect 1 "a --settings file that is not there" -- "$tool" roundtrip "$work/sample.nes" "$work/never.nes" --settings "$work/custmo.ini"
contains "$work/err" "custmo.ini" "the missing settings file is named"
[[ ! -e "$work/never.nes" ]] || { echo "FAIL: a missing settings file still wrote"; failures=$((failures + 1)); }

for kind in "--room 5 --objects:256x256" "--map:11264x256" "--chips:512x512" "--sheet:128x512" \
            "--sheet-of-rooms --objects --scroll --midpoints --path:2816x1024" "--sheet-of-rooms --columns 5:1280x2304" \
            "--sheet-of-rooms --columns 44:11264x256" "--sheet-of-rooms --columns 1:256x11264"; do
  args=${kind%%:*} size=${kind##*:}
  # shellcheck disable=SC2086
  expect 0 "render $args" -- "$tool" render "$work/sample.nes" --stage 3 $args --out "$work/picture.png" --force
  contains "$work/out" "($size)" "render $args size"
  [[ $(head -c 8 "$work/picture.png" | od -An -tx1 | tr -d ' \n') == 89504e470d0a1a0a ]] ||
    { echo "FAIL: render $args wrote no PNG"; failures=$((failures + 1)); }
done
expect 2 "render --path needs the sheet of rooms" -- "$tool" render "$work/sample.nes" --stage 3 --map --path --out "$work/x.png"
expect 2 "render needs one kind" -- "$tool" render "$work/sample.nes" --stage 3 --map --chips --out "$work/x.png"
expect 2 "render checks the columns" -- "$tool" render "$work/sample.nes" --stage 3 --sheet-of-rooms --columns 0 --out "$work/x.png"
expect 2 "render checks the columns" -- "$tool" render "$work/sample.nes" --stage 3 --sheet-of-rooms --columns 45 --out "$work/x.png"
expect 2 "render checks the stage" -- "$tool" render "$work/sample.nes" --stage 14 --map --out "$work/x.png"
expect 1 "render needs the colour file" -- "$tool" render "$work/sample.nes" --stage 0 --map --palette "$work/none.pal" --out "$work/x.png"

# The sample's rooms use only chips 00..0B, and its other chips repeat every 204 (their
# 16x16 numbers every 51, their sub-palettes every 4), so 0C..33 equal D8..FF.
{
  printf 'unused\n0C 0D 0E 0F \r\n'
  for row in {1..15}; do
    for column in {0..15}; do printf '%02X ' $((row * 16 + column)); done
    printf '\r\n'
  done
  printf 'duplicated\n'
  for chip in {12..51}; do printf '%02X %02X\r\n' "$chip" $((chip + 204)); done
} > "$work/chips.expected"
# The stage check: the sample has only notes; one colour past 3F is a warning and exit 1.
expect 0 "check the sample" -- "$tool" check "$work/sample.nes"
contains "$work/out" "stage 06 note chips: " "check lists notes"
grep -qE " (error|warning) " "$work/out" && { echo "FAIL: the sample has errors or warnings"; failures=$((failures + 1)); }
"$tool" settings "$work/addresses.ini" >/dev/null
palette=$(sed -n 's/^BGPalette\[6\]=//p' "$work/addresses.ini" | tr -d '\r')
cp "$work/sample.nes" "$work/bad-colour.nes"
printf '\x40' | dd of="$work/bad-colour.nes" bs=1 seek=$((0x$palette)) conv=notrunc 2>/dev/null
expect 1 "check finds a colour past 3F" -- "$tool" check "$work/bad-colour.nes" --stage 6
contains "$work/out" "stage 06 warning palette entry 00: Colour 40 is not a console colour (00-3F)" "check names the colour"
expect 1 "check --json" -- "$tool" check "$work/bad-colour.nes" --json
contains "$work/out" '"warnings": 1,' "JSON counts"
contains "$work/out" '"place": "palette-entry",' "JSON place"
expect 0 "check another stage" -- "$tool" check "$work/bad-colour.nes" --stage 5
expect 2 "check checks the stage" -- "$tool" check "$work/sample.nes" --stage 14
expect 2 "check refuses a short file" -- "$tool" check "$work/short.nes"

# Stages as text: all out and back in gives the same bytes; one cell edited is one byte.
expect 0 "export all stages" -- "$tool" export "$work/sample.nes" --all --out "$work/stages"
[[ $(ls "$work/stages" | wc -l) -eq 14 ]] || { echo "FAIL: export wrote $(ls "$work/stages" | wc -l) files"; failures=$((failures + 1)); }
expect 0 "import all stages" -- "$tool" import "$work/sample.nes" "$work"/stages/*.json --out "$work/back.nes"
cmp -s "$work/sample.nes" "$work/back.nes" || { echo "FAIL: export then import changed bytes"; failures=$((failures + 1)); }
expect 1 "export refuses existing files" -- "$tool" export "$work/sample.nes" --stage 6 --out "$work/stages"
sed -i '158s/"00 00/"05 00/' "$work/stages/stage-06.json"
expect 0 "import one edited stage" -- "$tool" import "$work/sample.nes" "$work/stages/stage-06.json" --out "$work/edited.nes"
[[ $(cmp -l "$work/sample.nes" "$work/edited.nes" | wc -l) -eq 1 ]] || { echo "FAIL: a one-cell edit changed $(cmp -l "$work/sample.nes" "$work/edited.nes" | wc -l) bytes"; failures=$((failures + 1)); }
# A table stages share (03 and 0B, the map) edited in one file of the pair: the lot imports.
"$tool" export "$work/sample.nes" --all --out "$work/shared-edit" >/dev/null
# Row 2 of room 05 in a file: two lines past the room's number and "rows".
row2() { echo $(($(grep -n '^      "room": "05",' "$1" | cut -d: -f1) + 4)); }
sed -i "$(row2 "$work/shared-edit/stage-03.json")s/\"00/\"35/" "$work/shared-edit/stage-03.json"
expect 0 "import a shared table edited in one file" -- "$tool" import "$work/sample.nes" "$work"/shared-edit/*.json --out "$work/shared.nes"
[[ $(cmp -l "$work/sample.nes" "$work/shared.nes" | wc -l) -eq 1 ]] || { echo "FAIL: a shared one-cell edit changed $(cmp -l "$work/sample.nes" "$work/shared.nes" | wc -l) bytes"; failures=$((failures + 1)); }
contains "$work/out" "stage 03: Map 1 byte" "the import names the table it changed"
sed -i "$(row2 "$work/shared-edit/stage-0B.json")s/\"00/\"36/" "$work/shared-edit/stage-0B.json"
expect 1 "two files change a shared table differently" -- "$tool" import "$work/sample.nes" "$work"/shared-edit/*.json --out "$work/never.nes"
contains "$work/err" "both change the map (/rooms) that stages 03 and 0B share, differently: first at room 05 row 2." "the refusal names the first difference"
# An import that leaves an error the image did not have writes nothing unless asked.
sed -i '0,/"StartRoom": "00"/s//"StartRoom": "2C"/' "$work/shared-edit/stage-03.json"
expect 1 "import refuses a new error" -- "$tool" import "$work/sample.nes" "$work/shared-edit/stage-03.json" --out "$work/never.nes"
contains "$work/err" "Start room 2C lies outside" "the new error is shown"
expect 0 "import --allow-errors" -- "$tool" import "$work/sample.nes" "$work/shared-edit/stage-03.json" --out "$work/errors.nes" --allow-errors
sed -i '158s/"05 00/"0G 00/' "$work/stages/stage-06.json"
expect 1 "import refuses bad hex" -- "$tool" import "$work/sample.nes" "$work/stages/stage-06.json" --out "$work/never.nes"
contains "$work/err" "stage-06.json: /rooms/0/rows/0: byte 1, \"0G\" is not two hex digits. Nothing was written." "the refusal names the file and the JSON path"
[[ ! -e "$work/never.nes" ]] || { echo "FAIL: a refused import wrote a file"; failures=$((failures + 1)); }
head -c 3000000 /dev/zero > "$work/huge.json"
expect 1 "import refuses a text over the limit" -- "$tool" import "$work/sample.nes" "$work/huge.json" --out "$work/never.nes"
contains "$work/err" "It has 3,000,000 bytes, more than the 1,048,576 a text file may have." "text size reason"
# A refused export takes away the folders it made, and only those.
expect 1 "export refuses a short image" -- "$tool" export "$work/short.nes" --all --out "$work/made/stages"
[[ ! -e "$work/made" && -d "$work/stages" ]] || { echo "FAIL: a refused export left a folder it made"; failures=$((failures + 1)); }
mkdir "$work/kept-folder"
expect 1 "export refuses a short image into a folder" -- "$tool" export "$work/short.nes" --all --out "$work/kept-folder"
[[ -d "$work/kept-folder" ]] || { echo "FAIL: a refused export removed a folder it did not make"; failures=$((failures + 1)); }
expect 2 "export needs --stage or --all" -- "$tool" export "$work/sample.nes" --out "$work/x"
expect 2 "import needs a text" -- "$tool" import "$work/sample.nes" --out "$work/x.nes"
# As git's merge driver: two sides' cells of one room merge; one cell edited both ways is a
# conflict listed in OURS, which import refuses.
m=$work/merge o=$work/merge/stage-06.json && "$tool" export "$work/sample.nes" --stage 6 --out "$m" >/dev/null
r=$(row2 "$o") && cp "$o" "$m/b.json" && cp "$o" "$m/t.json"
sed -i "${r}s/\"../\"11/" "$o" && sed -i "${r}s/..\",$/22\",/" "$m/t.json"
expect 0 "merge different cells" -- "$tool" merge "$m/b.json" "$o" "$m/t.json"
sed -n "${r}p" "$o" | grep -q '"11 .* 22"' || { echo "FAIL: merge lost a side's cell"; failures=$((failures + 1)); }
sed -i "${r}s/\"../\"33/" "$m/t.json"
expect 1 "merge one cell edited both ways" -- "$tool" merge "$m/b.json" "$o" "$m/t.json"
contains "$work/err" "conflict: stage 06 room 05 column 0 row 2: base " "the conflict names room and cell"
expect 1 "import refuses a text with conflicts" -- "$tool" import "$work/sample.nes" "$o" --out "$work/never.nes"
contains "$work/err" "/conflicts: the merge left conflicts" "the refusal names the conflicts"

expect 0 "chips" -- "$tool" chips "$work/sample.nes" --stage 0
cmp -s "$work/out" "$work/chips.expected" ||
  { echo "FAIL: chips lists of the sample:"; diff <(cat -A "$work/chips.expected") <(cat -A "$work/out"); failures=$((failures + 1)); }
[[ $(grep -n -x -e unused -e duplicated "$work/out" | cut -d: -f2 | tr '\n' ' ') == "unused duplicated " ]] ||
  { echo "FAIL: chips headers missing or out of order"; failures=$((failures + 1)); }
[[ $(grep -c $'\r$' "$work/out") -eq $(($(wc -l < "$work/out") - 2)) ]] ||
  { echo "FAIL: chips list lines do not all end in CR LF"; failures=$((failures + 1)); }
expect 0 "chips --where over every map" -- "$tool" chips "$work/sample.nes" --all-stages --where 0x00
contains "$work/out" "stage 00 room 00 column 0 row 0 (stages 00, 08)" "a shared map is listed once, with its stages"
expect 2 "chips --where takes a chip" -- "$tool" chips "$work/sample.nes" --stage 0 --where 100

# A map read from blank (FF) bytes leaves every chip but FF unused.
printf '[LevelDataAddress]\nMap[0]=2000\n' > "$work/blank-map.ini"
expect 0 "chips reads --settings" -- "$tool" chips "$work/sample.nes" --stage 0 --settings "$work/blank-map.ini"
contains "$work/out" $'00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F \r' "chips with the map moved"
sed -n '/^unused$/,/^duplicated$/p' "$work/out" | sed '1d;$d' > "$work/unused"
if [[ $(wc -l < "$work/unused") -ne 16 ]] || grep -qvE '^([0-9A-F]{2} )+'$'\r''$' "$work/unused"; then
  echo "FAIL: unused lines are not 16 lines of hex numbers each followed by a space:"; cat -A "$work/unused"; failures=$((failures + 1))
fi
grep -qF $'F0 F1 F2 F3 F4 F5 F6 F7 F8 F9 FA FB FC FD FE \r' "$work/unused" ||
  { echo "FAIL: chip FF, the one the map uses, is listed unused"; failures=$((failures + 1)); }
expect 0 "chips of a stage whose map stays" -- "$tool" chips "$work/sample.nes" --stage 1 --settings "$work/blank-map.ini"
cmp -s "$work/out" "$work/chips.expected" || { echo "FAIL: moving stage 0's map changed stage 1's lists"; failures=$((failures + 1)); }

expect 2 "chips needs --stage" -- "$tool" chips "$work/sample.nes"
expect 2 "chips checks the stage range" -- "$tool" chips "$work/sample.nes" --stage 14
expect 2 "chips takes a decimal stage" -- "$tool" chips "$work/sample.nes" --stage x
expect 2 "chips takes one image" -- "$tool" chips "$work/sample.nes" "$work/sample.nes" --stage 0
expect 1 "chips refuses a short file" -- "$tool" chips "$work/short.nes" --stage 0
[[ -s "$work/err" && ! -s "$work/out" ]] || { echo "FAIL: chips refusal gave no message or printed lists"; failures=$((failures + 1)); }

# objects: room 0A of the sample's stage 0 (map 0) by the formulas of core/model/SampleImage.cpp:
# an enemy in every odd room, another in every room divisible by 5, an item in rooms 2, 6, 10...
sample_room() { # sample_room ROOM MAP
  local r=$1 map=$2
  if ((r % 2 == 1 || r % 5 == 0)); then
    printf 'room %02X enemies\n' "$r"
    ((r % 2 == 1)) && printf '%02X B8 %02X\r\n' $((0x40 + (r * 37) % 0x90)) $(((r * 3 + map) % 23))
    ((r % 5 == 0)) && printf '%02X 50 %02X\r\n' $((0xA0 - (r * 11) % 0x40)) $((2 + map % 3))
  fi
  ((r >= 2 && (r - 2) % 4 == 0)) &&
    printf 'room %02X items\n%02X 98 %02X\r\n' "$r" $((0x30 + (r * 23 + map * 8) % 0xA0)) $((28 + (r / 4 + map) % 8))
  return 0
}
# 22 odd rooms and 8 divisible by 5 among 01..2B; items in 11 rooms.
totals=$'enemies 30 / 128\nitems 11 / 32'
{ sample_room 10 0; echo "$totals"; } > "$work/room10.expected"
[[ $(grep -c . "$work/room10.expected") -eq 6 ]] || { echo "FAIL: room 0A should hold both sorts"; failures=$((failures + 1)); }
expect 0 "objects of one room" -- "$tool" objects "$work/sample.nes" --stage 0 --room 10
cmp -s "$work/out" "$work/room10.expected" ||
  { echo "FAIL: objects of room 0A:"; diff <(cat -A "$work/room10.expected") <(cat -A "$work/out"); failures=$((failures + 1)); }
{ sample_room 5 0; echo "$totals"; } > "$work/room05.expected"
expect 0 "objects of a room with two enemies" -- "$tool" objects "$work/sample.nes" --stage 0 --room 5
cmp -s "$work/out" "$work/room05.expected" ||
  { echo "FAIL: objects of room 05:"; diff <(cat -A "$work/room05.expected") <(cat -A "$work/out"); failures=$((failures + 1)); }
expect 0 "objects of an empty room" -- "$tool" objects "$work/sample.nes" --stage 0 --room 0
[[ $(cat "$work/out") == "$totals" ]] || { echo "FAIL: an empty room printed more than the totals:"; cat -A "$work/out"; failures=$((failures + 1)); }

# The whole stage, read a second way: the raw tables at the default addresses, each list
# ending at a room byte of 2C or more (or at capacity), grouped by room in table order.
tables_text() { # tables_text STAGE
  local base=$((($1 % 8) * 0x4000)) sort name at size capacity t room i n enemies_count items_count
  local -a table0 table1 table2 table3
  for sort in "enemies 0x3610 256 128" "items 0x3A10 64 32"; do
    read -r name at size capacity <<< "$sort"
    for t in 0 1 2 3; do
      read -r -a "table$t" <<< "$(od -An -tu1 -v -j $((base + at + t * size)) -N "$size" "$work/sample.nes" | tr '\n' ' ')"
    done
    for ((n = 0; n < capacity && table0[n] < 44; n++)); do :; done
    printf -v "${name}_count" %d "$n"
    for ((room = 0; room < 44; room++)); do
      for ((i = 0; i < n; i++)); do
        ((table0[i] == room)) && printf '%s %02X %02X %02X %02X\r\n' "$name" "$room" "${table1[i]}" "${table2[i]}" "${table3[i]}"
      done
    done
  done > "$work/raw-lines"
  for ((room = 0; room < 44; room++)); do
    for name in enemies items; do
      grep "^$name $(printf %02X "$room") " "$work/raw-lines" > "$work/raw-room" &&
        { printf 'room %02X %s\n' "$room" "$name"; cut -d' ' -f3- "$work/raw-room"; }
    done
  done
  printf 'enemies %d / 128\nitems %d / 32\n' "$enemies_count" "$items_count"
}
for stage in 0 5; do
  tables_text "$stage" > "$work/objects.expected"
  expect 0 "objects of stage $stage" -- "$tool" objects "$work/sample.nes" --stage "$stage"
  cmp -s "$work/out" "$work/objects.expected" ||
    { echo "FAIL: objects of stage $stage:"; diff <(cat -A "$work/objects.expected") <(cat -A "$work/out"); failures=$((failures + 1)); }
done
expect 0 "objects of stage 0" -- "$tool" objects "$work/sample.nes" --stage 0
[[ $(tail -n 2 "$work/out") == "$totals" ]] || { echo "FAIL: objects totals:"; tail -n 2 "$work/out" | cat -A; failures=$((failures + 1)); }
[[ $(grep -c . "$work/out") -eq $((30 + 11 + 26 + 11 + 2)) ]] ||
  { echo "FAIL: stage 0 should list 30 enemies in 26 rooms and 11 items in 11 rooms"; failures=$((failures + 1)); }
grep -vE '^room [0-2][0-9A-F] (enemies|items)$|^(enemies [0-9]+ / 128|items [0-9]+ / 32)$' "$work/out" > "$work/object-lines"
if [[ $(wc -l < "$work/object-lines") -ne 41 ]] || grep -qvE '^([0-9A-F]{2} ){2}[0-9A-F]{2}'$'\r''$' "$work/object-lines"; then
  echo "FAIL: object lines are not 41 lines \"X Y KIND\" ending CR LF:"; cat -A "$work/object-lines"; failures=$((failures + 1))
fi
# Stage 5 keeps its enemies in a free order (room 03's before room 01's); each room lists its own.
expect 0 "objects in a free order" -- "$tool" objects "$work/sample.nes" --stage 5 --room 1
[[ $(head -n 2 "$work/out") == $'room 01 enemies\n60 B8 01\r' ]] || { echo "FAIL: stage 5 room 01:"; cat -A "$work/out"; failures=$((failures + 1)); }

# Enemy tables read from blank (FF) bytes hold no enemy; the items stay.
printf '[LevelDataAddress]\nEnemyObjectRoom[0]=2000\n' > "$work/no-enemies.ini"
expect 0 "objects reads --settings" -- "$tool" objects "$work/sample.nes" --stage 0 --settings "$work/no-enemies.ini"
[[ $(grep -c ' enemies$' "$work/out") -eq 0 && $(grep -c ' items$' "$work/out") -eq 11 ]] ||
  { echo "FAIL: objects with blank enemy tables:"; cat -A "$work/out"; failures=$((failures + 1)); }
contains "$work/out" "enemies 0 / 128" "objects total with the enemies moved"

expect 2 "objects needs --stage" -- "$tool" objects "$work/sample.nes"
expect 2 "objects checks the stage range" -- "$tool" objects "$work/sample.nes" --stage 14
expect 2 "objects takes a decimal stage" -- "$tool" objects "$work/sample.nes" --stage x
expect 2 "objects checks the room range" -- "$tool" objects "$work/sample.nes" --stage 0 --room 44
expect 2 "objects refuses a negative room" -- "$tool" objects "$work/sample.nes" --stage 0 --room -1
expect 2 "objects takes a decimal room" -- "$tool" objects "$work/sample.nes" --stage 0 --room 0A
expect 2 "objects --room needs a value" -- "$tool" objects "$work/sample.nes" --stage 0 --room
expect 2 "objects takes one image" -- "$tool" objects "$work/sample.nes" "$work/sample.nes" --stage 0
expect 2 "objects needs an image" -- "$tool" objects --stage 0
expect 1 "objects refuses a short file" -- "$tool" objects "$work/short.nes" --stage 0
[[ -s "$work/err" && ! -s "$work/out" ]] || { echo "FAIL: objects refusal gave no message or printed lines"; failures=$((failures + 1)); }

# scroll: the sample writes each map's path bytes (ScrollPaths in core/model/SampleImage.cpp) and
# zeros after them; stage 0 has map 0's 29 45 27 83 2F and starts at point 0 (entry 00, room 00).
# Each entry's count of rooms goes forward, then one room leaves in the entry's direction:
# rooms 00..09 (right), 0A..0F (down), 10..17 (right), 18..1B (up), 1C..2B (right).
sample_path() { # sample_path FIRST_ROOM
  local room mark
  for ((room = $1; room < 44; room++)); do
    case $room in 9 | 23 | 43) mark=right ;; 15) mark=down ;; 27) mark=up ;; *) mark='>>' ;; esac
    printf 'room %02X: %s\n' "$room" "$mark"
  done
}
{
  echo entries
  printf '%s\n' '00 : 29(9 Screens Forward Right)[Start]' '01 : 45(5 Screens Forward Down)' \
    '02 : 27(7 Screens Forward Right)' '03 : 83(3 Screens Forward Up)' '04 : 2F(15 Screens Forward Right)'
  for i in {5..31}; do printf '%02X : 00(End)\n' "$i"; done
  echo path
  sample_path 0
} > "$work/scroll.expected"
expect 0 "scroll" -- "$tool" scroll "$work/sample.nes" --stage 0
cmp -s "$work/out" "$work/scroll.expected" ||
  { echo "FAIL: scroll of stage 0:"; diff "$work/scroll.expected" "$work/out"; failures=$((failures + 1)); }
expect 0 "scroll in a Japanese locale" -- env LC_ALL=ja_JP.UTF-8 LANG=ja_JP.UTF-8 "$tool" scroll "$work/sample.nes" --stage 0
cmp -s "$work/out" "$work/scroll.expected" || { echo "FAIL: scroll is not in English under a Japanese locale:"; cat "$work/out"; failures=$((failures + 1)); }

# Any stage, read a second way: the entry bytes at the default Scroll address, the start
# entry and room from the default start point's raw mid-point bytes.
check_scroll_shape() { # check_scroll_shape STAGE START_POINT
  local base=$((($1 % 8) * 0x4000)) i line
  local -a bytes
  read -r -a bytes <<< "$(od -An -tu1 -v -j $((base + 0x3410)) -N 32 "$work/sample.nes" | tr '\n' ' ')"
  local start_entry start_room
  start_entry=$(od -An -tu1 -j $((base + 0x3B40 + $2)) -N 1 "$work/sample.nes" | tr -d ' ')
  start_room=$(od -An -tu1 -j $((base + 0x3B16 + $2)) -N 1 "$work/sample.nes" | tr -d ' ')
  [[ $(sed -n '1p;34p' "$work/out" | tr '\n' ' ') == "entries path " ]] ||
    { echo "FAIL: scroll stage $1: headers not on lines 1 and 34"; failures=$((failures + 1)); return; }
  sed -n '2,33p' "$work/out" > "$work/entries"
  for ((i = 0; i < 32; i++)); do
    line=$(sed -n "$((i + 1))p" "$work/entries")
    [[ $line == "$(printf '%02X : %02X(' "$i" "${bytes[i]}")"*')'* ]] ||
      { echo "FAIL: scroll stage $1 entry $i is not byte ${bytes[i]}: $line"; failures=$((failures + 1)); }
  done
  [[ $(grep -c -F '[Start]' "$work/entries") -eq 1 && $(grep -n -F '[Start]' "$work/entries" | cut -d: -f1) -eq $((start_entry + 1)) ]] ||
    { echo "FAIL: scroll stage $1: [Start] not on entry $start_entry alone:"; cat "$work/entries"; failures=$((failures + 1)); }
  sed -n '35,$p' "$work/out" > "$work/path"
  if grep -qvE '^room [0-2][0-9A-F]:( >>)?( right)?( down)?( up)?$' "$work/path" || grep -qE ':$' "$work/path"; then
    echo "FAIL: scroll stage $1: path lines are not \"room RR: marks\":"; cat "$work/path"; failures=$((failures + 1))
  fi
  # The sample's paths run from the start room to the last room, one line each.
  [[ $(cut -c6-7 "$work/path" | tr '\n' ' ') == "$(for ((i = start_room; i < 44; i++)); do printf '%02X ' "$i"; done)" ]] ||
    { echo "FAIL: scroll stage $1: path rooms do not run from $start_room to 2B:"; cat "$work/path"; failures=$((failures + 1)); }
}
for stage in 0 3 5 8 13; do
  expect 0 "scroll of stage $stage" -- "$tool" scroll "$work/sample.nes" --stage "$stage"
  [[ $(wc -l < "$work/out") -le $((1 + 32 + 1 + 44)) ]] || { echo "FAIL: scroll stage $stage too long"; failures=$((failures + 1)); }
  check_scroll_shape "$stage" $((stage < 8 ? 0 : 3))
done
# Stages 8..13 start at point 3, map 0's entry 03 in room 18 (the sample's fourth segment).
expect 0 "scroll from point 3" -- "$tool" scroll "$work/sample.nes" --stage 8
sample_path 24 > "$work/path.expected"
sed -n '35,$p' "$work/out" | cmp -s - "$work/path.expected" ||
  { echo "FAIL: scroll path of stage 8:"; sed -n '35,$p' "$work/out" | diff "$work/path.expected" -; failures=$((failures + 1)); }
contains "$work/out" '03 : 83(3 Screens Forward Up)[Start]' "scroll start of stage 8"

printf '[LevelDataDefault]\nDefaultStartPoint[0]=2\n' > "$work/start2.ini"
expect 0 "scroll reads --settings" -- "$tool" scroll "$work/sample.nes" --stage 0 --settings "$work/start2.ini"
[[ $(grep -c -F '[Start]' "$work/out") -eq 1 ]] || { echo "FAIL: scroll from point 2 marks more than one entry"; failures=$((failures + 1)); }
contains "$work/out" '02 : 27(7 Screens Forward Right)[Start]' "scroll from point 2"
sample_path 16 > "$work/path.expected"
sed -n '35,$p' "$work/out" | cmp -s - "$work/path.expected" || { echo "FAIL: scroll path from point 2:"; cat "$work/out"; failures=$((failures + 1)); }
# Blank (FF) entries: bit 4 marks the last room forward along with all three directions.
printf '[LevelDataAddress]\nScroll[0]=2000\n' > "$work/blank-scroll.ini"
expect 0 "scroll of blank entries" -- "$tool" scroll "$work/sample.nes" --stage 0 --settings "$work/blank-scroll.ini"
{
  echo entries
  echo '00 : FF(????)[Start]'
  for i in {1..31}; do printf '%02X : FF(????)\n' "$i"; done
  echo path
  for ((room = 0; room < 44; room++)); do
    if ((room == 15 || room == 31)); then printf 'room %02X: >> right down up\n' "$room"; else printf 'room %02X: >>\n' "$room"; fi
  done
} > "$work/blank-scroll.expected"
cmp -s "$work/out" "$work/blank-scroll.expected" ||
  { echo "FAIL: scroll of blank entries:"; diff "$work/blank-scroll.expected" "$work/out"; failures=$((failures + 1)); }
# A start room past the last room walks nowhere: the path section stays empty.
printf '[LevelDataAddress]\nMidPointStartRoom[0]=2000\n' > "$work/far-start.ini"
expect 0 "scroll from a room outside" -- "$tool" scroll "$work/sample.nes" --stage 0 --settings "$work/far-start.ini"
[[ $(wc -l < "$work/out") -eq 34 && $(tail -n 1 "$work/out") == path ]] ||
  { echo "FAIL: scroll from room FF printed a path:"; cat "$work/out"; failures=$((failures + 1)); }

expect 2 "scroll needs --stage" -- "$tool" scroll "$work/sample.nes"
expect 2 "scroll checks the stage range" -- "$tool" scroll "$work/sample.nes" --stage 14
expect 2 "scroll takes a decimal stage" -- "$tool" scroll "$work/sample.nes" --stage x
expect 2 "scroll takes no --room" -- "$tool" scroll "$work/sample.nes" --stage 0 --room 1
expect 2 "scroll takes one image" -- "$tool" scroll "$work/sample.nes" "$work/sample.nes" --stage 0
expect 2 "scroll needs an image" -- "$tool" scroll --stage 0
expect 1 "scroll refuses a short file" -- "$tool" scroll "$work/short.nes" --stage 0
[[ -s "$work/err" && ! -s "$work/out" ]] || { echo "FAIL: scroll refusal gave no message or printed lines"; failures=$((failures + 1)); }

# midpoints: the sample puts point i at the start of map 0's segment i (rooms 00 0A 10 18 1C,
# entries 0..4), point 5 two rooms into the last segment; Y B0; the right room is the
# segment's last forward room; the map addresses lie around the room in the window at 8000
# where map 0 (file 0510) sits at 8500; the object numbers count those of the rooms before.
header='point StartY StartRoom EnemyIndex ItemIndex MapBackAddr MapForwardAddr StartScroll LeftRoom RightRoom'
{
  echo "$header"
  i=0
  for point in "0 0 9" "10 1 15" "16 2 23" "24 3 27" "28 4 43" "30 4 43"; do
    read -r room entry right <<< "$point"
    enemies=0 items=0
    for ((r = 1; r < room; r++)); do
      ((r % 2 == 1)) && enemies=$((enemies + 1))
      ((r % 5 == 0)) && enemies=$((enemies + 1))
      ((r >= 2 && (r - 2) % 4 == 0)) && items=$((items + 1))
    done
    printf '%d B0 %02X %02X %02X %04X %04X %02X %02X %02X' "$i" "$room" "$enemies" "$items" \
      $((0x8500 + room * 64 - 0x20)) $((0x8500 + (room + 1) * 64 + 0x20)) "$entry" "$room" "$right"
    ((i == 0)) && printf ' start'
    printf '\n'
    i=$((i + 1))
  done
} > "$work/midpoints.expected"
expect 0 "midpoints" -- "$tool" midpoints "$work/sample.nes" --stage 0
cmp -s "$work/out" "$work/midpoints.expected" ||
  { echo "FAIL: midpoints of stage 0:"; diff "$work/midpoints.expected" "$work/out"; failures=$((failures + 1)); }

# Read a second way: the eleven raw tables of six bytes at the default addresses.
raw_midpoints() { # raw_midpoints STAGE START_POINT
  local i
  local -a b
  read -r -a b <<< "$(od -An -tu1 -v -j $((($1 % 8) * 0x4000 + 0x3B10)) -N 66 "$work/sample.nes" | tr '\n' ' ')"
  echo "$header"
  for ((i = 0; i < 6; i++)); do
    printf '%d %02X %02X %02X %02X %02X %02X %02X %02X %02X' "$i" "${b[i]}" "${b[6 + i]}" "${b[12 + i]}" "${b[18 + i]}" \
      $((b[24 + i] * 256 + b[30 + i])) $((b[36 + i] * 256 + b[42 + i])) "${b[48 + i]}" "${b[54 + i]}" "${b[60 + i]}"
    ((i == $2)) && printf ' start'
    printf '\n'
  done
}
for stage in 0 5 8 13; do
  raw_midpoints "$stage" $((stage < 8 ? 0 : 3)) > "$work/midpoints.expected"
  expect 0 "midpoints of stage $stage" -- "$tool" midpoints "$work/sample.nes" --stage "$stage"
  cmp -s "$work/out" "$work/midpoints.expected" ||
    { echo "FAIL: midpoints of stage $stage:"; diff "$work/midpoints.expected" "$work/out"; failures=$((failures + 1)); }
  [[ $(wc -l < "$work/out") -eq 7 && $(grep -c ' start$' "$work/out") -eq 1 ]] ||
    { echo "FAIL: midpoints of stage $stage: not six points with one start"; failures=$((failures + 1)); }
  grep -vxF "$header" "$work/out" | grep -qvE '^[0-5]( [0-9A-F]{2}){4}( [0-9A-F]{2,4}){2}( [0-9A-F]{2}){3}( start)?$' &&
    { echo "FAIL: midpoints of stage $stage: a line is not number and nine hex boxes:"; cat "$work/out"; failures=$((failures + 1)); }
done
expect 0 "midpoints reads --settings" -- "$tool" midpoints "$work/sample.nes" --stage 0 --settings "$work/start2.ini"
[[ $(grep -n ' start$' "$work/out" | cut -d: -f1 | tr '\n' ' ') == "4 " ]] ||
  { echo "FAIL: midpoints: start not on point 2 alone:"; cat "$work/out"; failures=$((failures + 1)); }
expect 0 "midpoints with a start room table moved" -- "$tool" midpoints "$work/sample.nes" --stage 0 --settings "$work/far-start.ini"
[[ $(sed 1d "$work/out" | cut -d' ' -f3 | sort -u) == FF ]] ||
  { echo "FAIL: midpoints did not read the moved start rooms:"; cat "$work/out"; failures=$((failures + 1)); }

expect 2 "midpoints needs --stage" -- "$tool" midpoints "$work/sample.nes"
expect 2 "midpoints checks the stage range" -- "$tool" midpoints "$work/sample.nes" --stage 14
expect 2 "midpoints takes a decimal stage" -- "$tool" midpoints "$work/sample.nes" --stage -1
expect 2 "midpoints --stage needs a value" -- "$tool" midpoints "$work/sample.nes" --stage
expect 2 "midpoints takes one image" -- "$tool" midpoints "$work/sample.nes" "$work/sample.nes" --stage 0
expect 1 "midpoints refuses a short file" -- "$tool" midpoints "$work/short.nes" --stage 0
[[ -s "$work/err" && ! -s "$work/out" ]] || { echo "FAIL: midpoints refusal gave no message or printed lines"; failures=$((failures + 1)); }

# patch and apply: an edited copy of the sample (a few bytes, a run) comes back byte for byte.
poke() { # poke FILE OFFSET BYTES (printf escapes)
  printf "$3" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}
cp "$work/sample.nes" "$work/edited.nes"
poke "$work/edited.nes" $((0x1234)) '\x12\x34\x56'
poke "$work/edited.nes" $((0x3F000)) 'ABCDEFGH'
head -c 300 /dev/zero | tr '\0' '\252' | dd of="$work/edited.nes" bs=1 seek=$((0x20000)) conv=notrunc status=none
for format in ips bps IPS; do
  patch_file="$work/fix-edited.$format"
  expect 0 "patch .$format" -- "$tool" patch "$work/sample.nes" "$work/edited.nes" "$patch_file"
  contains "$work/out" "wrote $patch_file (" "patch .$format summary"
  [[ $(stat -c %s "$patch_file") -lt 2000 ]] || { echo "FAIL: patch .$format is $(stat -c %s "$patch_file") bytes"; failures=$((failures + 1)); }
  expect 0 "apply .$format" -- "$tool" apply "$work/sample.nes" "$patch_file" "$work/patched.nes"
  contains "$work/out" "wrote $work/patched.nes ($(stat -c %s "$work/edited.nes") bytes)" "apply .$format summary"
  cmp -s "$work/edited.nes" "$work/patched.nes" || { echo "FAIL: .$format did not apply back"; failures=$((failures + 1)); }
  rm -f "$work/patched.nes"
done
[[ $(head -c 5 "$work/fix-edited.ips") == PATCH && $(head -c 4 "$work/fix-edited.bps") == BPS1 ]] ||
  { echo "FAIL: the patches do not begin with their marks"; failures=$((failures + 1)); }
# As in the editor: a patch only between images of one length, and only of a change.
{ cat "$work/edited.nes"; printf 'tail'; } > "$work/longer.nes"
expect 1 "patch refuses another length" -- "$tool" patch "$work/sample.nes" "$work/longer.nes" "$work/never.bps"
contains "$work/err" "(262160 bytes) and the open image (262164 bytes) differ in length" "length reason"
expect 1 "patch refuses identical images" -- "$tool" patch "$work/sample.nes" "$work/copy.nes" "$work/never.ips"
contains "$work/err" "no patch was made" "identical reason"
expect 1 "patch refuses identical images, in Japanese" -- env LC_ALL=ja_JP.UTF-8 "$tool" patch "$work/sample.nes" "$work/copy.nes" "$work/never.ips"
contains "$work/err" "パッチは作成しませんでした" "identical reason in Japanese"
[[ ! -e "$work/never.bps" && ! -e "$work/never.ips" ]] || { echo "FAIL: a refused patch wrote a file"; failures=$((failures + 1)); }
# An IPS that cuts the image short applies, but a result that is no image is not written.
printf 'PATCHEOF\x03\x00\x00' > "$work/shorter.ips"
expect 1 "apply refuses a result that is no image" -- "$tool" apply "$work/sample.nes" "$work/shorter.ips" "$work/never.nes"
contains "$work/err" "out of range" "no-image reason"
contains <("$tool" patch "$work/sample.nes" "$work/edited.nes" "$work/again.ips") " records)" "patch counts IPS records"
contains <("$tool" patch "$work/sample.nes" "$work/edited.nes" "$work/again.bps") " actions)" "patch counts BPS actions"

# Refusals: the reason on stderr, exit 1, and no output file (or the old one untouched).
expect 1 "a BPS for another image" -- "$tool" apply "$work/edited.nes" "$work/fix-edited.bps" "$work/never.nes"
contains "$work/err" "checksum" "wrong image reason"
[[ ! -e "$work/never.nes" ]] || { echo "FAIL: a refused apply wrote a file"; failures=$((failures + 1)); }
expect 1 "a BPS for an image of another size" -- "$tool" apply "$work/short.nes" "$work/fix-edited.bps" "$work/never.nes"
contains "$work/err" "for an image of 262160 bytes, but the image has 1000 bytes" "wrong size reason"
printf 'keep' > "$work/kept.nes"
expect 1 "a BPS for another image keeps OUT" -- "$tool" apply "$work/edited.nes" "$work/fix-edited.bps" "$work/kept.nes"
[[ $(cat "$work/kept.nes") == keep ]] || { echo "FAIL: a refused apply changed the existing OUT"; failures=$((failures + 1)); }
expect 1 "a BPS for another image, in Japanese" -- env LC_ALL=ja_JP.UTF-8 "$tool" apply "$work/edited.nes" "$work/fix-edited.bps" "$work/never.nes"
contains "$work/err" "別のイメージ用のパッチです" "wrong image reason in Japanese"
{ cat "$work/fix-edited.ips"; printf 'xy'; } > "$work/junk.ips"
expect 1 "bytes after the IPS end" -- "$tool" apply "$work/sample.nes" "$work/junk.ips" "$work/never.nes"
contains "$work/err" "after its \"EOF\" mark" "junk reason"
head -c 20 "$work/fix-edited.ips" > "$work/cut.ips"
expect 1 "a cut IPS" -- "$tool" apply "$work/sample.nes" "$work/cut.ips" "$work/never.nes"
expect 1 "a file that is no patch" -- "$tool" apply "$work/sample.nes" "$work/sample.nes" "$work/never.nes"
contains "$work/err" "neither an IPS nor a BPS patch" "no-patch reason"
expect 1 "a missing patch" -- "$tool" apply "$work/sample.nes" "$work/none.bps" "$work/never.nes"
head -c $((0x100041)) /dev/zero > "$work/huge.nes"
expect 1 "patch refuses an image over the limit" -- "$tool" patch "$work/sample.nes" "$work/huge.nes" "$work/never.ips"
contains "$work/err" "It has 1,048,641 bytes, more than the 1,048,640 an image may have." "size limit reason"
expect 1 "patch refuses an image over the limit, in Japanese" -- env LC_ALL=ja_JP.UTF-8 "$tool" patch "$work/sample.nes" "$work/huge.nes" "$work/never.ips"
contains "$work/err" "1,048,641 バイトあり、イメージの上限 1,048,640 バイトを超えています。" "size limit reason in Japanese"
expect 1 "apply refuses an image over the limit" -- "$tool" apply "$work/huge.nes" "$work/fix-edited.ips" "$work/never.nes"
[[ ! -e "$work/never.nes" && ! -e "$work/never.ips" ]] || { echo "FAIL: a refusal wrote a file"; failures=$((failures + 1)); }

expect 2 "patch needs a known extension" -- "$tool" patch "$work/sample.nes" "$work/edited.nes" "$work/never.txt"
[[ ! -e "$work/never.txt" ]] || { echo "FAIL: patch with a wrong extension wrote a file"; failures=$((failures + 1)); }
expect 2 "patch takes three files" -- "$tool" patch "$work/sample.nes" "$work/never.ips"
expect 2 "apply takes three files" -- "$tool" apply "$work/sample.nes" "$work/fix-edited.ips"
expect 2 "apply takes no options" -- "$tool" apply "$work/sample.nes" "$work/fix-edited.ips" "$work/never.nes" --settings x
expect 0 "apply's help says what each format checks" -- "$tool" apply --help
contains "$work/out" "BPS: the CRCs of the source, the target and the patch itself" "apply help on BPS"
contains "$work/out" "IPS: nothing about the source" "apply help on IPS"

# diff: a changelog of the edits, by stage and table; 0 equal, 1 different, 2 trouble.
expect 0 "a fresh sample to compare" -- "$tool" make-sample "$work/original.nes"
cp "$work/original.nes" "$work/hack.nes"
cp "$work/original.nes" "$work/same.nes"
poke "$work/hack.nes" $((0xC663)) '\x35'  # stage 03 map, room 05 column 2 row 3
poke "$work/hack.nes" $((0x1BE17)) '\x27' # stage 06 background palette entry 05
poke "$work/hack.nes" $((0x1B710)) '\x6D' # stage 06 enemy 00's x
poke "$work/hack.nes" $((0x2000)) '\x00'  # no table's
expect 0 "help lists diff" -- "$tool" --help
grep -qE "^  diff " "$work/out" || { echo "FAIL: help does not list diff"; failures=$((failures + 1)); }
expect 0 "diff of equal images" -- "$tool" diff "$work/original.nes" "$work/same.nes"
[[ ! -s "$work/out" ]] || { echo "FAIL: diff of equal images printed"; failures=$((failures + 1)); }
expect 1 "diff of a hack" -- "$tool" diff "$work/original.nes" "$work/hack.nes"
diff -u - "$work/out" <<'LINES' || { echo "FAIL: diff lines"; failures=$((failures + 1)); }
stages 03, 0B map room 05 column 2 row 3: 00 -> 35
stage 06 background palette entry 05: 14 -> 27
stage 06 enemy 00 (room 01): x 65 -> 6D
byte 0x00002000: FF -> 00
LINES
expect 1 "diff of one stage" -- "$tool" diff "$work/original.nes" "$work/hack.nes" --stage 0x0B
[[ $(cat "$work/out") == "stages 03, 0B map room 05 column 2 row 3: 00 -> 35" ]] || { echo "FAIL: diff --stage"; cat "$work/out"; failures=$((failures + 1)); }
expect 1 "diff as JSON" -- "$tool" diff "$work/original.nes" "$work/hack.nes" --json
contains "$work/out" '"table": "background-palette"' "diff JSON names the table"
contains "$work/out" '"first": "00002000"' "diff JSON names the bytes"
{ cat "$work/original.nes"; head -c 16384 /dev/zero; } > "$work/longer.nes"
expect 1 "diff of images of two lengths" -- "$tool" diff "$work/original.nes" "$work/longer.nes"
[[ $(head -n 1 "$work/out") == "lengths differ: 0x00040010 and 0x00044010 bytes; the first 0x00040010 are compared" ]] ||
  { echo "FAIL: diff says the lengths"; cat "$work/out"; failures=$((failures + 1)); }
expect 2 "diff of a missing image" -- "$tool" diff "$work/original.nes" "$work/none.nes"
expect 2 "diff of a file that is no image" -- "$tool" diff "$work/original.nes" "$work/short.nes"
expect 2 "diff takes two images" -- "$tool" diff "$work/original.nes"
printf '[LevelDataAddress]\nMap[0]=zz\n' > "$work/unreadable.ini"
expect 2 "diff with a settings value that does not read" -- "$tool" diff "$work/original.nes" "$work/hack.nes" --settings "$work/unreadable.ini"

# The check for CI: 2 when it could not check, repeats in one line, JSON as docs/check-json.md.
expect 2 "check refuses settings that do not read" -- "$tool" check "$work/sample.nes" --settings "$work/mine.ini"
expect 2 "check --min-severity takes a severity" -- "$tool" check "$work/sample.nes" --min-severity info
expect 0 "check --min-severity warning" -- "$tool" check "$work/sample.nes" --min-severity warning
[[ ! -s "$work/out" ]] || { echo "FAIL: --min-severity warning listed notes"; failures=$((failures + 1)); }
enemy=$(sed -n 's/^MidPointEnemyIndex\[6\]=//p' "$work/addresses.ini" | tr -d '\r')
cp "$work/bad-colour.nes" "$work/bad-point.nes"
printf '\x40\x40\x7F' | dd of="$work/bad-point.nes" bs=1 seek=$((0x$palette + 1)) conv=notrunc 2>/dev/null
printf '\x7F' | dd of="$work/bad-point.nes" bs=1 seek=$((0x$enemy + 2)) conv=notrunc 2>/dev/null
expect 1 "check --json" -- "$tool" check "$work/bad-point.nes" --stage 6 --json --min-severity warning
for key in '"format": "vexalon2-check",' '"version": 1,' '"stage": "06",' '"field": "EnemyIndex",' '"stored": "7F",' \
           '"count": 4,' '"notes": 2,'; do
  contains "$work/out" "$key" "check JSON has $key"
done
expect 0 "warnings do not fail --min-severity error" -- "$tool" check "$work/bad-point.nes" --stage 6 --min-severity error
expect 1 "check groups repeats" -- "$tool" check "$work/bad-point.nes" --stage 6
contains "$work/out" "stage 06 warning palette entries: Colours 40, 7F are not console colours (00-3F), at 4 entries: 00, 01, 02, 03" "one line for four colours"
expect 0 "check --help" -- "$tool" check --help
contains "$work/out" "2 not checked" "check help on exit codes"
grep -q counts "$work/out" && { echo "FAIL: check help names a counts key"; failures=$((failures + 1)); }

# playcopy: stage 0B's map in the first stage's place, its point 3 as the start record.
expect 0 "playcopy" -- "$tool" playcopy "$work/sample.nes" --stage 11 --point 3 --out "$work/play.nes"
cmp -s <(dd if="$work/play.nes" bs=1 skip=$((0x510)) count=2816 2>/dev/null) \
  <(dd if="$work/sample.nes" bs=1 skip=$((0xC510)) count=2816 2>/dev/null) ||
  { echo "FAIL: playcopy did not lay stage 0B's map at the first stage's"; failures=$((failures + 1)); }
"$tool" midpoints "$work/sample.nes" --stage 11 | sed -n '5s/ start$//;5s/^3/0/p' > "$work/point3"
"$tool" midpoints "$work/play.nes" --stage 0 | sed -n '2s/ start$//p' > "$work/start"
cmp -s "$work/point3" "$work/start" || { echo "FAIL: playcopy start record"; failures=$((failures + 1)); }
for bad in "--stage 14 --point 0" "--stage 1 --point 6" "--stage 1 --room 44" "--stage 1 --room 2 --y 256" \
           "--stage 1" "--stage 1 --point 1 --room 2"; do
  expect 1 "playcopy $bad" -- "$tool" playcopy "$work/sample.nes" $bad --out "$work/refused.nes"
  [[ -e "$work/refused.nes" ]] && { echo "FAIL: playcopy $bad wrote"; failures=$((failures + 1)); }
done
contains "$work/err" "Nothing was written." "playcopy refusal"

echo "tool checks that failed: $failures"
[[ $failures -eq 0 ]]
