#!/usr/bin/env bash
# Runs ctest in a Windows build tree under Xvfb, with the tree's Wine prefix kept warm.
#   wine-ctest.sh BUILD_DIR [ctest arguments...]
# The architecture is the build tree's own (from its toolchain file).
set -uo pipefail
build=$(cd "${1:?usage: wine-ctest.sh BUILD_DIR [ctest args]}" && pwd); shift
here=$(cd "$(dirname "$0")" && pwd)
. "$here/arch.sh"
if [ -z "${DISPLAY:-}" ] && [ -z "${QP_IN_XVFB:-}" ]; then
  QP_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build" "$@"
fi
arch=$(sed -n 's/^QP_WINDOWS_ARCH:[A-Z]*=//p' "$build/CMakeCache.txt")
[ -n "$arch" ] || { echo "wine-ctest: $build is not a Windows build tree" >&2; exit 2; }
qp_wine_env "$arch" "$build/wineprefix"
"$here/wine-prefix.sh" "$WINEPREFIX" "$arch" || exit 1
"$WINESERVER" -p 30
# Start the prefix's services now, detached from any test's output: a service started by a
# test would hold that test's output pipe open and ctest would wait for it forever.
"$QP_WINE" cmd /c exit </dev/null >/dev/null 2>&1
rc=0
ctest --test-dir "$build" --output-on-failure "$@" || rc=$?
"$WINESERVER" -k 2>/dev/null
exit $rc
