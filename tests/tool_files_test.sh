#!/usr/bin/env bash
# The tool cannot lose or damage a file by a slip: every refusal exits non-zero with a
# message, and no file that existed before the command has changed afterwards.
set -u
tool=$1
work=$(mktemp -d)
mounted=()
cleanup() {
  for point in "${mounted[@]}"; do umount "$point" 2>/dev/null; done
  chmod -R u+w "$work" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
skip() { echo "SKIP: $*"; }
snapshot() { # every file under the work folder: type, mode, owner, link target, checksum
  find "$work" -mindepth 1 -not -path "$work/out" -not -path "$work/err" -printf '%p %y %m %U:%G %l\n' | sort
  find "$work" -type f -not -path "$work/out" -not -path "$work/err" -size -20M -exec sha256sum {} + 2>/dev/null | sort
}
# refused CODE DESCRIPTION TEXT -- COMMAND...: exit CODE, TEXT on stderr, nothing changed.
refused() {
  local code=$1 what=$2 text=$3; shift 4
  local before after got
  before=$(snapshot)
  timeout 20 "$@" >"$work/out" 2>"$work/err"
  got=$?
  after=$(snapshot)
  [[ $got -eq $code ]] || { fail "$what: exit $got, expected $code"; cat "$work/out" "$work/err"; }
  grep -qF -- "$text" "$work/err" || { fail "$what: no '$text' in the message:"; cat "$work/err"; }
  [[ "$before" == "$after" ]] || { fail "$what changed files:"; diff <(echo "$before") <(echo "$after"); }
}
ok() { # ok DESCRIPTION -- COMMAND...
  local what=$1; shift 2
  timeout 20 "$@" >"$work/out" 2>"$work/err" || { fail "$what: exit $?"; cat "$work/out" "$work/err"; }
}

"$tool" make-sample "$work/hack.nes" >/dev/null || { echo "cannot make the sample"; exit 1; }
image="$work/hack.nes"
printf 'PATCH\0\0\x20\0\x02AB\x45\x4f\x46' > "$work/poke.ips" # "AB" at 0x20

# Arguments swapped, outputs onto inputs, wrong extensions.
refused 1 "settings over an image" "not a settings file but an iNES image" -- "$tool" settings "$image"
printf '[LevelDataAddress]\nMap[0]=510\0\n' > "$work/binary.ini"
refused 1 "settings over a file with NUL bytes" "NUL bytes" -- "$tool" settings "$work/binary.ini"
printf 'Notes\n=====\nkeep = these\n' > "$work/notes.txt"
refused 1 "settings over a text file" "line 1 is neither a [section] nor a key=value line" -- "$tool" settings "$work/notes.txt"
refused 1 "an image as --settings" "not a settings file" -- "$tool" info "$image" --settings "$image"
refused 2 "render onto the image" ".png" -- "$tool" render "$image" --stage 0 --room 0 --out "$image"
refused 2 "render onto a .jpg" ".png" -- "$tool" render "$image" --stage 0 --room 0 --out "$work/x.jpg"
cp "$image" "$work/looks-like.png"
refused 1 "render onto its input named .png" "never replaces an input" -- \
  "$tool" render "$work/looks-like.png" --stage 0 --room 0 --out "$work/looks-like.png" --force
ln -s hack.nes "$work/link.nes"
refused 1 "roundtrip onto a link to its settings file" "never replaces an input" -- \
  "$tool" roundtrip "$image" "$work/link.nes" --settings "$image" --force
refused 1 "apply onto its patch" "never replaces an input" -- "$tool" apply "$image" "$image" "$image" --force
refused 1 "make-sample over an existing file" "--force" -- "$tool" make-sample "$image"
cp "$image" "$work/old.ips"
refused 1 "patch over an existing patch" "--force" -- "$tool" patch "$image" "$image" "$work/old.ips"
ok "roundtrip onto itself needs no --force" -- "$tool" roundtrip "$image" "$image"
cmp -s "$image" "$work/looks-like.png" || fail "a re-save changed the image"
ok "make-sample with --force" -- "$tool" make-sample "$work/looks-like.png.nes" --force

# Whatever is not a regular file stays what it is; nothing waits on a FIFO.
mkfifo "$work/fifo"
refused 1 "info on a FIFO" "not a regular file" -- "$tool" info "$work/fifo"
refused 1 "settings onto a FIFO" "not a regular file" -- "$tool" settings "$work/fifo"
refused 1 "make-sample onto a FIFO" "not a regular file" -- "$tool" make-sample "$work/fifo" --force
refused 1 "make-sample onto a FIFO without --force" "not a regular file" -- "$tool" make-sample "$work/fifo"
mkdir "$work/folder"
refused 1 "info on a directory" "is a directory" -- "$tool" info "$work/folder"
refused 1 "roundtrip onto a directory" "is a directory" -- "$tool" roundtrip "$image" "$work/folder" --force
if mknod "$work/null" c 1 3 2>/dev/null; then
  refused 1 "settings onto a device" "not a regular file" -- "$tool" settings "$work/null"
  mv "$work/null" "$work/null.png"
  refused 1 "render onto a device named .png" "not a regular file" -- \
    "$tool" render "$image" --stage 0 --room 0 --out "$work/null.png" --force
else
  skip "no device node can be made here (mknod needs CAP_MKNOD)"
fi
python3 -c 'import socket,sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])' "$work/socket" 2>/dev/null &&
  refused 1 "apply onto a socket" "not a regular file" -- "$tool" apply "$image" "$work/poke.ips" "$work/socket" --force

# A dangling link is written through: the file it names appears and the link stays a link.
ln -s made.ini "$work/dangling.ini"
ok "settings through a dangling link" -- "$tool" settings "$work/dangling.ini"
[[ -L "$work/dangling.ini" && -f "$work/made.ini" ]] || fail "the dangling link was replaced or the file not made"

# Read-only files, and the owner of a replaced file.
cp "$image" "$work/ro.nes" && chmod 0444 "$work/ro.nes"
refused 1 "roundtrip onto a read-only image" "read-only" -- "$tool" roundtrip "$work/ro.nes" "$work/ro.nes"
refused 1 "make-sample onto a read-only image" "read-only" -- "$tool" make-sample "$work/ro.nes" --force
if [[ $(id -u) -eq 0 ]]; then
  cp "$image" "$work/theirs.nes" && chown 12345:23456 "$work/theirs.nes" && chmod 0640 "$work/theirs.nes"
  ok "roundtrip onto another user's image" -- "$tool" roundtrip "$image" "$work/theirs.nes" --force
  [[ $(stat -c '%u:%g %a' "$work/theirs.nes") == "12345:23456 640" ]] ||
    fail "the replaced image is now $(stat -c '%u:%g %a' "$work/theirs.nes")"
else
  skip "keeping another user's ownership needs root"
fi

# A file with another hard link is written in place, so the link holds.
cp "$image" "$work/first.nes" && ln "$work/first.nes" "$work/second.nes"
"$tool" apply "$image" "$work/poke.ips" "$work/first.nes" --force >/dev/null 2>&1 || fail "apply onto a hard-linked image"
cmp -s "$work/first.nes" "$work/second.nes" && [[ $(stat -c %h "$work/first.nes") -eq 2 ]] ||
  fail "the hard link was parted"
cmp -s "$work/first.nes" "$image" && fail "the hard-linked image was not written"

# Files too large for their kind are refused before they are read.
truncate -s 10G "$work/huge.nes" "$work/huge.ini"
refused 1 "info on a 10 GB file" "10,737,418,240 bytes" -- "$tool" info "$work/huge.nes"
refused 1 "settings on a 10 GB file" "10,737,418,240 bytes" -- "$tool" settings "$work/huge.ini"
rm -f "$work/huge.nes" "$work/huge.ini"

# A patch whose result is no image writes nothing: an IPS cut to 0 or 10 bytes.
printf 'PATCHEOF\0\0\0' > "$work/cut0.ips"
printf 'PATCHEOF\0\0\x0a' > "$work/cut10.ips"
refused 1 "apply to 0 bytes" "not an image the editor opens" -- "$tool" apply "$image" "$work/cut0.ips" "$work/new.nes"
refused 1 "apply to 10 bytes" "not an image the editor opens" -- "$tool" apply "$image" "$work/cut10.ips" "$work/new.nes"

# A full file system: an existing picture stays whole and no temporary file is left.
full="$work/full"
mkdir "$full"
if mount -t tmpfs -o size=24k tmpfs "$full" 2>/dev/null; then
  mounted+=("$full")
  ok "a small picture fits" -- "$tool" render "$image" --stage 0 --room 0 --out "$full/map.png"
  refused 1 "render onto a full file system" "No space left on device" -- \
    "$tool" render "$image" --stage 0 --sheet-of-rooms --out "$full/map.png" --force
  [[ $(ls -A "$full") == map.png ]] || fail "a temporary file was left: $(ls -A "$full")"
  mount -o remount,ro "$full" 2>/dev/null &&
    refused 1 "render onto a read-only file system" "Read-only file system" -- \
      "$tool" render "$image" --stage 0 --room 1 --out "$full/map.png" --force
else
  # Without mounting: a file size limit fails the write as a full disk does.
  skip "no tmpfs can be mounted here; a file size limit stands in for a full disk"
  ok "a small picture fits" -- "$tool" render "$image" --stage 0 --room 0 --out "$full/map.png"
  refused 1 "render past the file size limit" "File too large" -- \
    bash -c 'trap "" XFSZ; ulimit -f 24; exec "$@"' - "$tool" render "$image" --stage 0 --sheet-of-rooms --out "$full/map.png" --force
  [[ $(ls -A "$full") == map.png ]] || fail "a temporary file was left: $(ls -A "$full")"
fi

# Where the folder refuses a temporary file but the file may be written, an image of the
# same length is written in place. Root passes folder permissions, so this runs as nobody.
shared="$work/shared"
mkdir "$shared" && cp "$image" "$shared/game.nes"
runner=()
if [[ $(id -u) -eq 0 ]]; then
  chown -R nobody "$shared" && chmod 0755 "$work" && chmod 0644 "$work/poke.ips" "$image" &&
    runner=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
chmod 0555 "$shared"
if [[ $(id -u) -eq 0 && ${#runner[@]} -eq 0 ]]; then
  skip "cannot run as an unprivileged user to try a read-only folder"
else
  ok "apply into a read-only folder" -- "${runner[@]}" "$tool" apply "$image" "$work/poke.ips" "$shared/game.nes" --force
  [[ $(od -An -c -j 32 -N 2 "$shared/game.nes" | tr -d ' ') == AB ]] || fail "the file in the read-only folder was not written"
  [[ $(stat -c %s "$shared/game.nes") -eq $(stat -c %s "$image") ]] || fail "the in-place write changed the length"
  refused 1 "a new file in a read-only folder" "Permission denied" -- \
    "${runner[@]}" "$tool" apply "$image" "$work/poke.ips" "$shared/other.nes"
fi

# The command line as people expect it.
ok "--stage=N and 0x hex" -- "$tool" midpoints "$image" --stage=0x0D
ok "--version" -- "$tool" --version
grep -qE '^vexalon2-tool [0-9]+\.[0-9]+' "$work/out" || fail "--version printed: $(cat "$work/out")"
ok "a command's own help" -- "$tool" render --help
grep -qF -- "--sheet-of-rooms" "$work/out" || fail "render --help does not list its options"
refused 2 "a repeated option" "--stage" -- "$tool" chips "$image" --stage 1 --stage 2
refused 2 "a repeated flag" "--objects" -- "$tool" render "$image" --stage 0 --map --objects --objects --out "$work/r.png"
refused 2 "an option of another command" "--room" -- "$tool" scroll "$image" --stage 0 --room 1
refused 2 "an octal-looking stage is decimal, 010 is ten, 014 out of range" "--stage" -- "$tool" chips "$image" --stage 014
ok "010 is stage ten" -- "$tool" midpoints "$image" --stage 010

# Low memory is a message: a render whose picture cannot be allocated exits 1, by no signal.
render=("$tool" render "$image" --stage 3 --map --out "$work/low.png")
fits() { (ulimit -v "$1"; exec "${render[@]}" --force) >/dev/null 2>&1; }
low=4096 high=1048576 # KiB
if fits $high; then
  while ((high - low > 1024)); do
    middle=$(((low + high) / 2))
    if fits $middle; then high=$middle; else low=$middle; fi
  done
  rm -f "$work/low.png"
  # The 3 MB picture and its PNG are the last large allocations: 1 MB short of the need fails there.
  refused 1 "render without memory for the picture" "Out of memory." -- \
    bash -c 'ulimit -v "$1"; shift; exec "$@"' - $((high - 1024)) "${render[@]}"
else
  skip "the render does not run under an address-space limit"
fi

echo "tool file checks that failed: $failures"
[[ $failures -eq 0 ]]
