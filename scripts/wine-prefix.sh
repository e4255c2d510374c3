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
wineserver -w || true
[ -f "$prefix/system.reg" ] || { echo "wine-prefix: wineboot failed for $prefix" >&2; exit 1; }
touch "$prefix/.qp-ready"
