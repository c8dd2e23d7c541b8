#!/usr/bin/env bash
# The tool where memory is short: it loads no GUI toolkit, and under an address-space limit
# each command does as with plenty, or says it is out of memory with its code for trouble.
set -u
export LC_ALL=C # the messages in English
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

ldd "$tool" | grep -E 'lib(Qt|X11|xcb|icu|fontconfig|freetype)' && fail "the tool loads a GUI toolkit's libraries"

s=$work/s.nes
"$tool" make-sample "$s" >/dev/null && cp "$s" "$work/h.nes"
printf '\x31' | dd of="$work/h.nes" bs=1 seek=2000 conv=notrunc 2>/dev/null
{ "$tool" patch "$s" "$work/h.nes" "$work/p.bps" && "$tool" export "$s" --stage 3 --out "$work/texts" &&
  "$tool" tiles export "$s" --stage 0 --out "$work/t.png"; } >/dev/null
commands=("make-sample OUT/x.nes" "settings OUT/x.ini" "info $s" "roundtrip $s OUT/x.nes" "chips $s --stage 3"
  "render $s --stage 3 --sheet-of-rooms --objects --scroll --midpoints --path --out OUT/x.png" "objects $s --stage 3"
  "render $s --stage 3 --map --objects --out OUT/x.png" "scroll $s --stage 3" "midpoints $s --stage 3" "check $s"
  "check $s --json" "export $s --all --out OUT" "import $s $work/texts/stage-03.json --out OUT/x.nes"
  "diff $s $work/h.nes" "patch $s $work/h.nes OUT/x.bps" "apply $s $work/p.bps OUT/x.nes"
  "tiles export $s --stage 3 --out OUT/x.png" "tiles import $s $work/t.png --stage 3 --out OUT/x.nes")
# run LIMIT COMMAND: its output in $work/run, the files it writes in $work/run/out.
run() {
  rm -rf "$work/run" && mkdir -p "$work/run/out"
  # shellcheck disable=SC2086
  (ulimit -v "$1" && exec "$tool" ${2//OUT/$work/run/out}) >"$work/run/stdout" 2>"$work/run/stderr"
}
# worked LIMIT COMMAND CODE: as with plenty of memory; else fails unless out of memory was said.
worked() {
  run "$1" "$2"
  local got=$? trouble=1
  [[ $2 == check* || $2 == diff* ]] && trouble=2
  [[ $got -eq $3 ]] && diff -r "$work/run" "$work/plenty" >/dev/null && return 0
  [[ $got -eq $trouble ]] && grep -qF "Out of memory." "$work/run/stderr" ||
    fail "$2 under ulimit -v $1: exit $got, $(head -c 300 "$work/run/stderr")"
  return 1
}
# The least the program starts with (the loader, the C++ runtime, the reserve).
started() { { (ulimit -v "$1" && exec "$tool" --version) >/dev/null 2>&1; } 2>/dev/null; }
low=1000 floor=40000
while ((floor - low > 64)); do
  middle=$(((low + floor) / 2))
  if started $middle; then floor=$middle; else low=$middle; fi
done
for command in "${commands[@]}"; do
  run unlimited "$command"
  code=$? && rm -rf "$work/plenty" && mv "$work/run" "$work/plenty"
  worked 40000 "$command" $code || continue
  # From where the program starts up to where the command works, out of memory is said.
  for ((limit = floor; limit < 40000; limit += 32)); do worked $limit "$command" $code && break; done
done
echo "low-memory checks that failed: $failures"
[[ $failures -eq 0 ]]
