# The one rule for the Windows architecture, sourced by every script that builds or runs Windows
# programs. QP_ARCH=auto|i686|x86_64 (default auto): auto is i686 where the kernel runs 32-bit
# programs, else x86_64. The Wine loader and the prefix kind always follow the architecture
# explicitly: the plain `wine` command picks the 32-bit loader whenever it is installed, even on
# a kernel that cannot run it.

qp_wine_dir=/usr/lib/wine

# Whether this machine can run 32-bit Wine: the loader is installed and the kernel executes it.
qp_runs_i686() {
  [ -x "$qp_wine_dir/wine" ] && "$qp_wine_dir/wine" --version >/dev/null 2>&1
}

# Why i686 cannot run here (one line), for the test summary.
qp_i686_refusal() {
  if [ ! -x "$qp_wine_dir/wine" ]; then echo "32-bit Wine ($qp_wine_dir/wine) is not installed"
  else echo "the kernel refuses 32-bit programs ($("$qp_wine_dir/wine" --version 2>&1 | head -1))"; fi
}

# qp_resolve_arch [ARCH]: prints i686 or x86_64; auto (or nothing) chooses by the kernel.
qp_resolve_arch() {
  case "${1:-${QP_ARCH:-auto}}" in
    i686|x86|win32) echo i686 ;;
    x86_64|x64|win64) echo x86_64 ;;
    auto|"") if qp_runs_i686; then echo i686; else echo x86_64; fi ;;
    *) echo "QP_ARCH must be auto, i686 or x86_64 (not '${1:-$QP_ARCH}')" >&2; return 2 ;;
  esac
}

# qp_arches: every architecture the tests should run in: x86_64 always, i686 where it runs;
# an explicit QP_ARCH narrows that to the one asked for.
qp_arches() {
  case "${QP_ARCH:-auto}" in
    auto|"") if qp_runs_i686; then echo "i686 x86_64"; else echo x86_64; fi ;;
    *) qp_resolve_arch "$QP_ARCH" ;;
  esac
}

# Build tree, toolchain file and objdump of an architecture (paths relative to the repository).
qp_build_dir() { case "$1" in i686) echo build/win ;; x86_64) echo build/win64 ;; esac; }
qp_toolchain() { echo "cmake/mingw-$1.cmake"; }
qp_objdump() { echo "$1-w64-mingw32-objdump"; }

# qp_wine_env ARCH PREFIX: the environment that runs Wine for ARCH in PREFIX. Sets QP_WINE to
# the loader to call and WINESERVER to the server (the 64-bit server serves both kinds).
qp_wine_env() {
  local arch=$1 prefix=$2
  case "$arch" in
    i686) QP_WINE=$qp_wine_dir/wine; export WINEARCH=win32 ;;
    x86_64) QP_WINE=$qp_wine_dir/wine64; export WINEARCH=win64 ;;
    *) echo "qp_wine_env: unknown architecture '$arch'" >&2; return 2 ;;
  esac
  export WINELOADER=$QP_WINE
  if [ -x "$qp_wine_dir/wineserver64" ]; then export WINESERVER=$qp_wine_dir/wineserver64
  else export WINESERVER=$qp_wine_dir/wineserver32; fi
  export WINEPREFIX=$prefix QP_WINEPREFIX=$prefix QP_WINE
  # winemenubuilder turns every shortcut a test makes into a menu entry of this machine's desktop,
  # and reads the shortcut's target for its icon while the test goes on: a setup run that
  # replaces that file a moment later then finds it held.
  export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}
}

# qp_without_wine32 COMMAND...: runs COMMAND with the 32-bit loader out of reach where it is
# installed. Making a win64 prefix starts 32-bit programs (the WoW64 part of wineboot) through
# the loader installed beside wine64; in a mount namespace of its own with that loader covered,
# they fail to start as they do on a kernel that refuses 32-bit programs, and nothing 32-bit
# runs. Where no namespace can be made (no privilege), the command runs as it is.
qp_without_wine32() {
  if [ -e "$qp_wine_dir/wine" ] && unshare -m --propagation private true 2>/dev/null; then
    unshare -m --propagation private sh -c 'mount --bind /dev/null "$0" && exec "$@"' "$qp_wine_dir/wine" "$@"
  else
    "$@"
  fi
}
