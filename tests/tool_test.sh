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

echo "tool checks that failed: $failures"
[[ $failures -eq 0 ]]
