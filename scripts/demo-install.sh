#!/usr/bin/env bash
# Installs a kit unattended under Wine in a prefix of its own, shows what the installation left
# on the system, removes it with the registered quiet uninstaller and shows that nothing is left.
#   demo-install.sh KIT_DIR [PREFIX [ARCH]]
# ARCH is the kit runtime's architecture (i686 or x86_64; default QP_ARCH, then auto): the
# prefix is made for it (win32 or win64) and Wine runs with its loader.
set -euo pipefail
export LC_ALL=C
here=$(cd "$(dirname "$0")" && pwd)
. "$here/arch.sh"
kit=$(cd "${1:?usage: demo-install.sh KIT_DIR [PREFIX [ARCH]]}" && pwd)
prefix=${2:-$(dirname "$kit")/wineprefix}
arch=$(qp_resolve_arch "${3:-}")
if [ -z "${DISPLAY:-}" ] && [ -z "${QP_IN_XVFB:-}" ]; then
  QP_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$kit" "$prefix" "$arch"
fi
rm -rf "$prefix"
"$here/wine-prefix.sh" "$prefix" "$arch"
qp_wine_env "$arch" "$prefix"
wine() { "$QP_WINE" "$@"; }
wineserver() { "$WINESERVER" "$@"; }
uninstall_root='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
snapshot() {  # every file of the prefix's Program Files, profiles and Start Menu, and the uninstall keys
  {
    (cd "$prefix/drive_c" && find "Program Files" "Program Files (x86)" "users" "ProgramData" -type f 2>/dev/null | grep -v '/Temp/') || true
    (wine reg query "$uninstall_root" 2>/dev/null | tr -d '\r' | grep -i 'uninstall\\') || true
  } | sort
}
before=$(mktemp); after=$(mktemp); trap 'rm -f "$before" "$after"' EXIT
snapshot > "$before"

log="$prefix/drive_c/qp-install.log"
echo "== install: setup.exe -s -log C:\\qp-install.log"
rc=0; wine "$kit/setup.exe" -s -log 'C:\qp-install.log' || rc=$?
wineserver -w
echo "exit status $rc"
[ -f "$log" ] && sed 's/\r$//; s/^/   log: /' "$log"
snapshot > "$after"
echo "== what the installation added"
comm -13 "$before" "$after" | sed 's/^/   + /'
key=$(comm -13 "$before" "$after" | grep -i 'uninstall\\' | head -1) || true
[ "$rc" = 0 ] && [ -n "$key" ] || { echo "demo-install: the installation did not complete" >&2; exit 1; }
wine reg query "$key" | tr -d '\r' | sed 's/^/   /'

quiet=$(wine reg query "$key" /v QuietUninstallString | tr -d '\r' | sed -n 's/.*REG_SZ *//p')
echo "== remove: $quiet"
# The registered command line: a quoted program path and its arguments, split as bash splits words.
eval "set -- $quiet"
rc=0; wine "$@" || rc=$?
wineserver -w
echo "exit status $rc"
snapshot > "$after"
left=$(comm -13 "$before" "$after")
if [ -n "$left" ]; then
  echo "== left behind after removal:"; echo "$left" | sed 's/^/   ! /'; exit 1
fi
echo "== nothing of the product is left"
