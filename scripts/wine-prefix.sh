#!/usr/bin/env bash
# Creates a Wine prefix once for an architecture (win32 for i686, win64 for x86_64), with no
# Mono or Gecko prompt; quick when it is there. A prefix made for the other kind is made anew.
#   wine-prefix.sh DIR [ARCH]      ARCH: i686 | x86_64 (default: QP_ARCH, then auto)
# With QP_WINE_WOW64=1 an x86_64 prefix is made with its WoW64 part, so that 32-bit programs
# run in it as on 64-bit Windows (only where the machine runs 32-bit programs; the tests that
# need it use a prefix of their own, the tree's main prefix stays 64-bit only).
set -e
here=$(cd "$(dirname "$0")" && pwd)
. "$here/arch.sh"
prefix=$(realpath -m "${1:?usage: wine-prefix.sh DIR [ARCH]}")
arch=$(qp_resolve_arch "${2:-}")
kind=$arch
[ "$arch" = x86_64 ] && [ -n "${QP_WINE_WOW64:-}" ] && kind=x86_64-wow64
ready() { [ -f "$prefix/.qp-ready" ] && [ "$(cat "$prefix/.qp-ready")" = "$kind" ]; }
ready && exit 0
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
ready && exit 0
rm -rf "$prefix"
echo "wine-prefix: creating $prefix ($kind)" >&2
qp_wine_env "$arch" "$prefix"
boot=()
[ "$kind" = x86_64 ] && boot=(qp_without_wine32)
"${boot[@]}" "$QP_WINE" wineboot -i >/dev/null 2>&1 || true
# Xvfb has no window manager: unmanaged windows spare Wine a wait of about 2 s per closed window.
"$QP_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
"$WINESERVER" -w || true
[ -f "$prefix/system.reg" ] || { echo "wine-prefix: wineboot failed for $prefix ($arch)" >&2; exit 1; }
echo "$kind" > "$prefix/.qp-ready"
