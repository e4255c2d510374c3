#!/usr/bin/env bash
# Runs ctest in a Windows build tree under Xvfb, with the tree's Wine prefix kept warm.
#   wine-ctest.sh BUILD_DIR [ctest arguments...]
set -uo pipefail
build=$(cd "${1:?usage: wine-ctest.sh BUILD_DIR [ctest args]}" && pwd); shift
here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${DISPLAY:-}" ] && [ -z "${QP_IN_XVFB:-}" ]; then
  QP_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build" "$@"
fi
export WINEPREFIX=$build/wineprefix WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
export QP_WINEPREFIX=$WINEPREFIX
"$here/wine-prefix.sh" "$WINEPREFIX" || exit 1
wineserver -p 30
# Start the prefix's services now, detached from any test's output: a service started by a
# test would hold that test's output pipe open and ctest would wait for it forever.
wine cmd /c exit </dev/null >/dev/null 2>&1
rc=0
ctest --test-dir "$build" --output-on-failure "$@" || rc=$?
wineserver -k 2>/dev/null
exit $rc
