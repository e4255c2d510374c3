#!/usr/bin/env bash
# Fails when a program or DLL of a Windows build tree imports a DLL that is not part of the
# system: a kit's setup.exe has to run on a bare Windows, and so does everything we ship. The
# runtime itself imports at load time nothing but kernel32 and the C runtime.
#   check-imports.sh BUILD_DIR [FILE...]
# Checked are the programs and DLLs the tree's build makes (BUILD_DIR/qp-binaries.txt, written
# by CMake), not whatever else lies in the tree: test work folders, old kits, Wine's prefix. Files
# named after BUILD_DIR are checked instead.
set -uo pipefail
build=${1:?usage: check-imports.sh BUILD_DIR [FILE...]}
shift
list=$build/qp-binaries.txt
if [ $# -eq 0 ]; then
  [ -r "$list" ] || { echo "check-imports: $list is missing (configure the tree with CMake first)" >&2; exit 2; }
  mapfile -t files < <(grep -v '^$' "$list")
  # A program the build made only under a name of the builder's layout.
  [ -f "$build/setup/setup.ex_" ] && files+=("$build/setup/setup.ex_")
else
  files=("$@")
fi
# The x86_64 objdump reads both image kinds (pei-i386 and pei-x86-64).
objdump=${OBJDUMP:-}
if [ -z "$objdump" ]; then
  for o in x86_64-w64-mingw32-objdump i686-w64-mingw32-objdump; do
    command -v "$o" >/dev/null && { objdump=$o; break; }
  done
fi
command -v "$objdump" >/dev/null 2>&1 || { echo "check-imports: no mingw-w64 objdump found" >&2; exit 2; }

allowed=" kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll ole32.dll oleaut32.dll comctl32.dll comdlg32.dll msvcrt.dll shlwapi.dll ws2_32.dll "
# The setup runtime starts in a download folder, where the loader would take any DLL it imports
# at load time from beside it: there only these two, the rest is delay-loaded.
runtime_allowed=" kernel32.dll msvcrt.dll "

checked=0 bad=0 kinds=""
for file in "${files[@]}"; do
  dump=$("$objdump" -p "$file" 2>/dev/null) || { echo "check-imports: cannot read $file" >&2; bad=$((bad + 1)); continue; }
  checked=$((checked + 1))
  kind=$(printf '%s\n' "$dump" | sed -n 's/.*file format //p' | head -1)
  case " $kinds " in *" $kind "*) ;; *) kinds="$kinds $kind" ;; esac
  ok=$allowed
  case "$(basename "$file" | tr 'A-Z' 'a-z')" in setup.exe|setup.ex_) ok=$runtime_allowed ;; esac
  while IFS= read -r dll; do
    lower=$(printf '%s' "$dll" | tr 'A-Z' 'a-z')
    case "$lower" in api-ms-win-*) continue ;; esac
    if [[ "$ok" != *" $lower "* ]]; then
      echo "check-imports: ${file#$build/} imports $dll"
      bad=$((bad + 1))
    fi
  done < <(printf '%s\n' "$dump" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr -d '\r')
done

echo "check-imports: $checked files checked (${kinds# }), $bad foreign imports"
[ "$checked" -gt 0 ] || { echo "check-imports: no program or DLL of $build checked" >&2; exit 1; }
[ "$bad" -eq 0 ]
