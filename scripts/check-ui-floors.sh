#!/usr/bin/env bash
# Fails when a file of builder/ui includes a header of a floor it must not see. The floors, from
# the bottom: logic (portable decisions); controls; editors and sheets side by side; items (the
# item windows, over their ItemHost interface) and wizards; the frame; the application. A file
# may include its own folder and the floors below it, and res/ (resource ids) from anywhere;
# editors and sheets never include each other, and nothing below the frame includes frame/ or
# app/.
#   check-ui-floors.sh [REPO_ROOT]
set -uo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
ui="$root/builder/ui"
[ -d "$ui" ] || { echo "check-ui-floors: no $ui" >&2; exit 2; }

# What each folder may include of builder/ui besides itself and res/.
declare -A allowed=(
  [logic]=""
  [controls]="logic"
  [editors]="logic"
  [sheets]="logic"
  [items]="logic controls editors sheets"
  [wizards]="logic controls sheets"
  [frame]="logic controls editors sheets items wizards"
  [app]="logic controls editors sheets items wizards frame"
  [res]=""
)

bad=0 checked=0
while IFS= read -r -d '' file; do
  rel=${file#"$ui"/}
  folder=${rel%%/*}
  [ "$folder" = "$rel" ] && continue  # CMake files at the top
  if [ -z "${allowed[$folder]+set}" ]; then
    echo "check-ui-floors: builder/ui/$folder has no floor; add it to ${0##*/}"
    bad=$((bad + 1))
    continue
  fi
  checked=$((checked + 1))
  while IFS= read -r line; do
    target=$(printf '%s' "$line" | sed -n 's|^[[:space:]]*#[[:space:]]*include[[:space:]]*"builder/ui/\([^/"]*\)/.*|\1|p')
    [ -n "$target" ] || continue
    [ "$target" = "$folder" ] || [ "$target" = res ] && continue
    case " ${allowed[$folder]} " in *" $target "*) continue ;; esac
    echo "check-ui-floors: builder/ui/$rel includes a header of $target/: ${line#*#include }"
    bad=$((bad + 1))
  done < "$file"
done < <(find "$ui" -type f \( -name '*.h' -o -name '*.cpp' \) -print0)

echo "check-ui-floors: $checked files checked, $bad includes against the floors"
[ "$checked" -gt 0 ] && [ "$bad" -eq 0 ]
