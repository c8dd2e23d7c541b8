#!/usr/bin/env bash
# The install a user makes: cmake --install into a fresh prefix, then the installed programs
# find their data in ../share/vexalon2editor, answer --help and --version without a display,
# and the editor opens an image and keeps its settings. tests/install_test.sh BUILD_FOLDER
set -u
build=$1
top=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
xvfb=""
editor=""
cleanup() {
  [[ -n "$editor" ]] && kill "$editor" 2>/dev/null
  [[ -n "$xvfb" ]] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

prefix="$work/prefix"
if ! cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
  cat "$work/install.log"
  echo "FAIL: cmake --install"
  exit 1
fi
bin="$prefix/bin"
share="$prefix/share"
for program in vexalon2editor vexalon2-tool; do
  [[ -x "$bin/$program" ]] || fail "no $program in bin"
done
for file in fcpalette.pal ChipAttributeList.txt ObjectList.txt; do
  cmp -s "$top/data/$file" "$share/vexalon2editor/$file" || fail "$file is not in share/vexalon2editor"
done
[[ -e "$bin/fcpalette.pal" ]] && fail "data files belong in share, not in bin"
entry="$share/applications/vexalon2editor.desktop"
icon="$share/icons/hicolor/scalable/apps/vexalon2editor.svg"
grep -q '<svg' "$icon" 2>/dev/null || fail "no icon at $icon"
if [[ -f "$entry" ]]; then
  for line in 'Exec=vexalon2editor %f' 'Icon=vexalon2editor' 'Name=VEXALON 2 EDITOR'; do
    grep -qxF "$line" "$entry" || fail "the desktop entry has no line '$line'"
  done
  grep -qE '^MimeType=(.*;)?application/x-nes-rom;' "$entry" || fail "the desktop entry does not take .nes images"
  if command -v desktop-file-validate >/dev/null; then
    # Hints and warnings count too: a file manager may act on them.
    desktop-file-validate "$entry" >"$work/validate" 2>&1
    [[ $? -eq 0 && ! -s "$work/validate" ]] || { fail "desktop-file-validate"; cat "$work/validate"; }
  else
    echo "desktop-file-validate is missing (Debian desktop-file-utils): the entry is not validated"
  fi
else
  fail "no desktop entry at $entry"
fi

# --help and --version need no display.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
nodisplay=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
out=$("${nodisplay[@]}" "$bin/vexalon2editor" --version 2>"$work/err") || fail "--version: exit $?"
[[ "$out" == "vexalon2editor $version" ]] || fail "--version printed '$out', expected 'vexalon2editor $version'"
"${nodisplay[@]}" "$bin/vexalon2editor" --help >"$work/help" 2>"$work/err" || fail "--help: exit $?"
grep -q 'IMAGE' "$work/help" && grep -q -- '--version' "$work/help" || { fail "--help"; cat "$work/help" "$work/err"; }

# The tool draws with the colour file from share; a lone copy of it has none to find.
"$bin/vexalon2-tool" make-sample "$work/sample.nes" >/dev/null || fail "make-sample"
"$bin/vexalon2-tool" render "$work/sample.nes" --stage 0 --map --out "$work/map.png" >/dev/null 2>"$work/err" ||
  { fail "the installed tool does not render"; cat "$work/err"; }
mkdir "$work/lone"
cp "$bin/vexalon2-tool" "$work/lone/"
"$work/lone/vexalon2-tool" render "$work/sample.nes" --stage 0 --map --out "$work/lone.png" >/dev/null 2>&1 &&
  fail "a tool with no colour file beside it or in ../share rendered anyway"

# The installed editor under a virtual display, with a fresh home: it opens the sample (its
# data files found) and, closed from its File menu, writes its settings into the user's
# configuration folder, not into the writable bin/ of the install.
if command -v Xvfb >/dev/null && command -v xdotool >/dev/null; then
  Xvfb -displayfd 3 -screen 0 1024x768x24 3>"$work/display" >/dev/null 2>&1 &
  xvfb=$!
  for ((i = 0; i < 50; ++i)); do
    [[ -s "$work/display" ]] && break
    sleep 0.2
  done
  export DISPLAY=":$(head -n 1 "$work/display")"
  mkdir "$work/home"
  env -u XDG_CONFIG_HOME HOME="$work/home" QT_QPA_PLATFORM=xcb "$bin/vexalon2editor" "$work/sample.nes" \
    >"$work/editor.log" 2>&1 &
  editor=$!
  if window=$(timeout 30 xdotool search --sync --name "^VEXALON 2 EDITOR - $work/sample.nes\$" | head -n 1) &&
     [[ -n "$window" ]]; then
    xdotool windowfocus --sync "$window"
    xdotool key alt+f
    sleep 0.5
    xdotool key x
    for ((i = 0; i < 100; ++i)); do
      kill -0 "$editor" 2>/dev/null || break
      sleep 0.1
    done
    if kill -0 "$editor" 2>/dev/null; then
      fail "the editor did not close from its File menu"
    else
      wait "$editor" || fail "the editor exited with $?"
      editor=""
      [[ -s "$work/home/.config/vexalon2editor/vexalon2editor.ini" ]] ||
        fail "no settings file in ~/.config/vexalon2editor"
      if [[ -e "$bin/vexalon2editor.ini" ]]; then fail "the installed editor wrote its settings into bin/"; fi
    fi
  else
    fail "the installed editor showed no window for the sample"
    cat "$work/editor.log"
  fi
else
  echo "Xvfb or xdotool is missing: the installed editor is not started"
fi

[[ $failures -eq 0 ]] && echo "install: all checks passed"
exit $((failures > 0))
