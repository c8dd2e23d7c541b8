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
contains "$work/out" "make-sample OUT" "help lists the commands"
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
contains "$work/out" "outside the image: Map[13] at 3FA00" "info lists the table outside"
cp "$work/far.ini" "$work/kept.ini"
cmp -s "$work/far.ini" "$work/kept.ini" || { echo "FAIL: --settings wrote the file"; failures=$((failures + 1)); }

expect 0 "settings completes a missing file" -- "$tool" settings "$work/new.ini"
contains "$work/new.ini" "Map[9]=4510" "settings file written"
[[ $(grep -c '=' "$work/new.ini") -eq 434 ]] || { echo "FAIL: settings file has $(grep -c '=' "$work/new.ini") keys"; failures=$((failures + 1)); }

for kind in "--room 5 --objects:256x256" "--map:11264x256" "--chips:512x512" "--sheet:128x512"; do
  args=${kind%%:*} size=${kind##*:}
  # shellcheck disable=SC2086
  expect 0 "render $args" -- "$tool" render "$work/sample.nes" --stage 3 $args --out "$work/picture.png"
  contains "$work/out" "($size)" "render $args size"
  [[ $(head -c 8 "$work/picture.png" | od -An -tx1 | tr -d ' \n') == 89504e470d0a1a0a ]] ||
    { echo "FAIL: render $args wrote no PNG"; failures=$((failures + 1)); }
done
expect 2 "render needs one kind" -- "$tool" render "$work/sample.nes" --stage 3 --map --chips --out "$work/x.png"
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
expect 0 "chips" -- "$tool" chips "$work/sample.nes" --stage 0
cmp -s "$work/out" "$work/chips.expected" ||
  { echo "FAIL: chips lists of the sample:"; diff <(cat -A "$work/chips.expected") <(cat -A "$work/out"); failures=$((failures + 1)); }
[[ $(grep -n -x -e unused -e duplicated "$work/out" | cut -d: -f2 | tr '\n' ' ') == "unused duplicated " ]] ||
  { echo "FAIL: chips headers missing or out of order"; failures=$((failures + 1)); }
[[ $(grep -c $'\r$' "$work/out") -eq $(($(wc -l < "$work/out") - 2)) ]] ||
  { echo "FAIL: chips list lines do not all end in CR LF"; failures=$((failures + 1)); }

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

echo "tool checks that failed: $failures"
[[ $failures -eq 0 ]]
