#!/usr/bin/env bash
# Creates a 32-bit Wine prefix once (no Mono or Gecko prompt); quick when it is there.
set -e
prefix=${1:?usage: wine-prefix.sh DIR}
[ -f "$prefix/.qp-ready" ] && exit 0
mkdir -p "$(dirname "$prefix")"
lock=$prefix.lock
exec 9>"$lock"
flock 9
[ -f "$prefix/.qp-ready" ] && exit 0
rm -rf "$prefix"
echo "wine-prefix: creating $prefix" >&2
export WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
wineboot -i >/dev/null 2>&1 || true
# Xvfb has no window manager: unmanaged windows spare Wine a wait of about 2 s per closed window.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
wineserver -w || true
[ -f "$prefix/system.reg" ] || { echo "wine-prefix: wineboot failed for $prefix" >&2; exit 1; }
touch "$prefix/.qp-ready"
