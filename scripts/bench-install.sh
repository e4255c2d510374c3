#!/usr/bin/env bash
# Install benchmark (not a test): a kit of 20,000 files (about 400 MB, half compressible text,
# half random data, in nested folders) installed with "setup.exe -s" under Wine and removed
# with its registered quiet uninstaller, each timed against host "unzip -q -o" of the same
# setup.cab, in alternating rounds of the same run; and a 2,000-file kit alongside, whose times
# should be about a tenth (nothing per file may grow with the files already installed).
#
#   scripts/bench-install.sh              # data under ${QP_BENCH_DIR:-/tmp/qp-bench-install}
#   QP_BENCH_RUNS=3 QP_BENCH_FILES="2000 20000" scripts/bench-install.sh
# Needs the Windows build's setup.exe (built here in ${QP_WIN_BUILD:-build/win}) and qpbc.
set -euo pipefail
export LC_ALL=C
root=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "${DISPLAY:-}" ] && [ -z "${QP_IN_XVFB:-}" ]; then
  QP_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
work=${QP_BENCH_DIR:-/tmp/qp-bench-install}
runs=${QP_BENCH_RUNS:-3}
sizes=${QP_BENCH_FILES:-2000 20000}
host=$root/build/kit-bench
win=$root/${QP_WIN_BUILD:-build/win}
mkdir -p "$work"

launcher=(); command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
echo "== building qpbc (Release) in $host and setup.exe in $win"
cmake -S "$root" -B "$host" -G Ninja -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" >/dev/null
cmake --build "$host" -j2 --target qpbc bench_make_project >/dev/null
if [ ! -f "$win/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$win" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
fi
cmake --build "$win" -j2 --target setup >/dev/null
runtime=$(find "$win" -name setup.exe -path '*setup*' -newer "$win/CMakeCache.txt" | head -1)
[ -n "$runtime" ] || runtime=$(find "$win" -name setup.exe | head -1)

prefix=$work/wineprefix
"$root/scripts/wine-prefix.sh" "$prefix"
export WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
# One server for the whole run: no start-up in the timings. Its output is not ours to hold.
wineserver -p 600 </dev/null >/dev/null 2>&1 || true
uninstall_root='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'

now() { date +%s.%N; }
median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
ratio() { echo "$1 / $2" | bc -l; }
# Seconds of processor time the wine server has used so far (it does the file system calls).
# Others may run servers of their own: ours is the one started with our prefix.
server_cpu() {
  local pid
  for pid in $(pgrep -u "$(id -u)" -x 'wineserver(64)?' || true); do
    if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$prefix"; then
      awk '{ print ($14 + $15) / 100 }' "/proc/$pid/stat"
      return
    fi
  done
  echo 0
}

# kit FILES: builds the kit of a FILES-file tree into $work/kits/KitFILES
kit() {
  local files=$1 tree=$work/tree$1
  if [ ! -f "$tree/.done" ]; then
    rm -rf "$tree"; mkdir -p "$tree"
    python3 "$root/scripts/bench-tree.py" "$tree" "$files" 42
    touch "$tree/.done"
  fi
  if [ ! -f "$work/kits/Kit$files/setup.cab" ] || [ "$runtime" -nt "$work/kits/Kit$files/setup.exe" ] ||
     [ "$host/tests/kit/bench_make_project" -nt "$work/kits/Kit$files/setup.cab" ]; then
    "$host/tests/kit/bench_make_project" "$work/bench$files.qpk" "$tree" 2>/dev/null
    "$host/builder/cli/qpbc" build "$work/bench$files.qpk" --name "Kit$files" --kit-root "$work/kits" \
      --runtime "$runtime" >/dev/null 2>&1
  fi
}

# The product's uninstall key and its quiet command, once installed.
quiet_command() {
  local key
  key=$(wine reg query "$uninstall_root" 2>/dev/null | tr -d '\r' | grep -i 'uninstall\\{' | head -1) || true
  [ -n "$key" ] || return 1
  wine reg query "$key" /v QuietUninstallString | tr -d '\r' | sed -n 's/.*REG_SZ *//p'
}

measure() {
  local files=$1 dir=$work/kits/Kit$1
  kit "$files"
  local mb; mb=$(( $(stat -c %s "$dir/setup.cab") >> 20 ))
  local ut=() it=() rt=() iserver=() rserver=()
  for ((r = 0; r < runs; r++)); do
    rm -rf "$work/unzipped"; sync
    local t0 t1 s0 s1 rc
    t0=$(now); unzip -q -o "$dir/setup.cab" -d "$work/unzipped"; t1=$(now)
    ut+=("$(echo "$t1 - $t0" | bc -l)")
    rm -rf "$work/unzipped"; sync

    s0=$(server_cpu); t0=$(now)
    rc=0; wine "$dir/setup.exe" -s || rc=$?
    t1=$(now); s1=$(server_cpu)
    [ "$rc" = 0 ] || { echo "bench-install: setup.exe -s ended with $rc" >&2; exit 1; }
    it+=("$(echo "$t1 - $t0" | bc -l)"); iserver+=("$(echo "$s1 - $s0" | bc -l)")
    local installed; installed=$(find "$prefix/drive_c" -path '*/Temp' -prune -o -type f -name 'file*' -print | wc -l)
    [ "$installed" -ge "$files" ] || { echo "bench-install: only $installed of $files files installed" >&2; exit 1; }
    sync

    local quiet; quiet=$(quiet_command) || { echo "bench-install: no uninstall registration" >&2; exit 1; }
    eval "set -- $quiet"
    s0=$(server_cpu); t0=$(now)
    rc=0; wine "$@" || rc=$?
    # The uninstaller's last act is a helper that deletes its copy: wait for it too.
    while pgrep -u "$(id -u)" -f 'Del.*\.tmp|QDELETE' >/dev/null; do sleep 0.05; done
    t1=$(now); s1=$(server_cpu)
    [ "$rc" = 0 ] || { echo "bench-install: the quiet uninstaller ended with $rc" >&2; exit 1; }
    rt+=("$(echo "$t1 - $t0" | bc -l)"); rserver+=("$(echo "$s1 - $s0" | bc -l)")
    installed=$(find "$prefix/drive_c" -path '*/Temp' -prune -o -type f -name 'file*' -print | wc -l)
    [ "$installed" = 0 ] || { echo "bench-install: $installed files left after removal" >&2; exit 1; }
  done
  local u i rm_ is rs
  u=$(printf '%s\n' "${ut[@]}" | median); i=$(printf '%s\n' "${it[@]}" | median)
  rm_=$(printf '%s\n' "${rt[@]}" | median)
  is=$(printf '%s\n' "${iserver[@]}" | median); rs=$(printf '%s\n' "${rserver[@]}" | median)
  echo "$files files, setup.cab $mb MB (rounds: unzip ${ut[*]} / install ${it[*]} / remove ${rt[*]})"
  printf '   unzip -q -o         %7.2f s\n' "$u"
  printf '   setup.exe -s        %7.2f s  ratio to unzip %6.2f  (wine server busy %.2f s)\n' "$i" "$(ratio "$i" "$u")" "$is"
  printf '   quiet uninstall     %7.2f s  ratio to unzip %6.2f  (wine server busy %.2f s)\n' "$rm_" "$(ratio "$rm_" "$u")" "$rs"
  echo "$i" >"$work/install$files"; echo "$rm_" >"$work/remove$files"; echo "$u" >"$work/unzip$files"
}

echo "== median of $runs alternating rounds each (machine: $(nproc) cores, shared: compare within a run)"
for n in $sizes; do measure "$n"; done
if [ -f "$work/install2000" ] && [ -f "$work/install20000" ]; then
  g() { ratio "$(cat "$work/${1}20000")" "$(cat "$work/${1}2000")"; }
  printf 'time ratio 20,000 / 2,000 files: install %.2f, removal %.2f, unzip %.2f (linear = about 10)\n' \
    "$(g install)" "$(g remove)" "$(g unzip)"
fi
wineserver -k 2>/dev/null || true
