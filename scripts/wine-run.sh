#!/usr/bin/env bash
# Runs one Windows program under Wine in the build tree's own 32-bit prefix.
# The prefix lives in $QP_WINEPREFIX, or in wineprefix/ of the current build tree.
set -e
here=$(cd "$(dirname "$0")" && pwd)
prefix=${QP_WINEPREFIX:-}
if [ -z "$prefix" ]; then
  d=$PWD
  while [ "$d" != / ] && [ ! -f "$d/CMakeCache.txt" ]; do d=$(dirname "$d"); done
  [ -f "$d/CMakeCache.txt" ] || { echo "wine-run: no build tree above $PWD; set QP_WINEPREFIX" >&2; exit 2; }
  prefix=$d/wineprefix
fi
"$here/wine-prefix.sh" "$prefix" >&2
export WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
exec wine "$@"
