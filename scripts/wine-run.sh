#!/usr/bin/env bash
# Runs one Windows program under Wine in the build tree's own prefix, with the loader of the
# program's architecture (the build's emulator passes it).
#   wine-run.sh [--arch ARCH] PROGRAM [ARGS...]
# The prefix lives in $QP_WINEPREFIX, or in wineprefix/ of the build tree above the current folder.
set -e
here=$(cd "$(dirname "$0")" && pwd)
. "$here/arch.sh"
arch=
case "${1:-}" in --arch=*) arch=${1#--arch=}; shift ;; --arch) arch=$2; shift 2 ;; esac
arch=$(qp_resolve_arch "$arch")
prefix=${QP_WINEPREFIX:-}
if [ -z "$prefix" ]; then
  d=$PWD
  while [ "$d" != / ] && [ ! -f "$d/CMakeCache.txt" ]; do d=$(dirname "$d"); done
  [ -f "$d/CMakeCache.txt" ] || { echo "wine-run: no build tree above $PWD; set QP_WINEPREFIX" >&2; exit 2; }
  prefix=$d/wineprefix
fi
"$here/wine-prefix.sh" "$prefix" "$arch" >&2
qp_wine_env "$arch" "$prefix"
if [ -n "${QP_WINE_WOW64:-}" ]; then
  # A prefix of a test's own: its services started detached from the test's output, which
  # they would otherwise hold open (wine-ctest.sh does the same for the tree's prefix).
  "$QP_WINE" cmd /c exit </dev/null >/dev/null 2>&1 || true
fi
exec "$QP_WINE" "$@"
