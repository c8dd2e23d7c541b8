#!/usr/bin/env bash
# The folders are layers: a file includes only from its own folder and the ones below it,
# and the toolkit-free folders include no Qt at all.
set -uo pipefail
cd "$(dirname "$0")/.."

# What each folder may include from.
core="core/text core/model core/files core/base"
declare -A allowed=(
  [core/base]="core/base"
  [core/files]="core/files core/base"
  [core/model]="core/model core/files core/base"
  [core/text]="core/text core/model core/files core/base"
  [render]="render $core"
  [rules]="rules $core"
  [gui/image]="gui/image render $core"
  [gui/widgets]="gui/widgets gui/image rules render $core"
  [gui/pages]="gui/pages gui/widgets gui/image rules render $core"
  [gui/commands]="gui/commands gui/pages gui/widgets gui/image rules render $core"
  [gui/tools]="gui/tools gui/pages gui/widgets gui/image rules render $core"
  [gui/testplay]="gui/testplay gui/pages gui/widgets gui/image rules render $core"
  [gui/app]="gui/app gui/commands gui/tools gui/testplay gui/pages gui/widgets gui/image rules render $core"
  [tools]="tools rules render $core"
)
failed=0
for folder in "${!allowed[@]}"; do
  while IFS=: read -r file line include; do
    target=$(sed -E 's/.*#include "([^"]+)".*/\1/' <<<"$include")
    ok=0
    for below in ${allowed[$folder]}; do
      [[ "$(dirname "$target")" == "$below" ]] && ok=1
    done
    if [[ $ok == 0 ]]; then
      echo "$file:$line includes $target, outside what $folder may use" >&2
      failed=1
    fi
  done < <(grep -Hn '#include "' "$folder"/*.h "$folder"/*.cpp 2>/dev/null)
done
for folder in core/base core/files core/model core/text render rules tools; do
  if grep -Hn -E '#include <Q|#include "Q' "$folder"/*.h "$folder"/*.cpp; then
    echo "$folder must not use Qt" >&2
    failed=1
  fi
done
# The window's folder holds the program and its frame; its jobs live below it.
if (( $(cat gui/app/*.h gui/app/*.cpp | wc -l) >= 2500 )); then
  echo "gui/app has grown past 2500 lines: a job of its own belongs in a folder below it" >&2
  failed=1
fi
# Long files hide their structure; the main window only routes.
while read -r lines file; do
  [[ "$file" == total ]] && continue
  if (( lines > 600 )); then echo "$file has $lines lines (600 at most)" >&2; failed=1; fi
done < <(wc -l core/*/* render/* rules/* gui/*/*.{h,cpp} tools/*.{h,cpp} 2>/dev/null | grep -v CMakeLists)
exit $failed
