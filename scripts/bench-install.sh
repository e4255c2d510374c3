#!/usr/bin/env bash
# Install benchmark (not a test). Kits of 3,000 and 20,000 files (0.5 to 24 KB, half text,
# half random data, in 30 folders) are installed with "setup.exe -s" under Wine and removed
# with the registered quiet uninstaller, each against its floor: floor_extract, a Windows
# program of ours that maps the same setup.cab, inflates each member with zlib and writes it
# with CreateFileA/WriteFile/CloseHandle into the same folders, and floor_remove, which deletes
# the same files and folders (tests/bench). Rounds alternate setup and floor in one run, on one
# Wine server that stays up; the ratios to the floor are what to compare, and the growth from
# the small kit to the large one (the files grow 6.7 times: nothing per file may grow with the
# files already installed).
#
#   scripts/bench-install.sh                 # every architecture this machine runs
#   QP_ARCH=x86_64 QP_BENCH_RUNS=5 QP_BENCH_SIZES="3000 20000" scripts/bench-install.sh
# Data under ${QP_BENCH_DIR:-/tmp/qp-bench-install}; builds qpbc (Release, build/bench-host),
# setup.exe and the floor programs (build/win, build/win64) itself. QP_BENCH_RUNTIMES=DIR
# measures DIR/win/setup.exe and DIR/win64/setup.exe instead (an older build, to compare).
set -euo pipefail
export LC_ALL=C
. "$(dirname "$0")/bench-lib.sh"
root=$bench_root
if [ -z "${DISPLAY:-}" ] && [ -z "${QP_IN_XVFB:-}" ]; then
  QP_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
bench_input install 3 "3000 20000"
work=$bench_work runs=$bench_runs sizes=$bench_sizes
arches=$(qp_arches)

echo "== building qpbc (Release) in $bench_host"
bench_build_host qpbc bench_make_project
qpbc=$(bench_program "$bench_host" qpbc)
make_project=$(bench_program "$bench_host" bench_make_project)
for arch in $arches; do
  echo "== building setup.exe and the floor programs in $(qp_build_dir "$arch") ($arch)"
  bench_build_windows "$arch" setup qp_floor_extract qp_floor_remove
done

now() { bench_now; }
median() { bench_median; }
ratio() { echo "$1 / $2" | bc -l; }
fail() { echo "bench-install: $*" >&2; exit 1; }

# The tree of FILES files, and its kit for the runtime of the current architecture.
kit() {
  local files=$1 tree=$work/tree$1 kits=$work/kits-$arch${QP_BENCH_RUNTIMES:+-other}
  if [ ! -f "$tree/.done" ]; then
    rm -rf "$tree"; mkdir -p "$tree"
    python3 "$root/scripts/bench-tree.py" "$tree" "$files" 42 30 512 24576
    touch "$tree/.done"
  fi
  if [ ! -f "$kits/Kit$files/setup.cab" ] || [ "$runtime" -nt "$kits/Kit$files/setup.exe" ] ||
     [ "$make_project" -nt "$kits/Kit$files/setup.cab" ]; then
    "$make_project" "$work/bench$files.qpk" "$tree" 2>/dev/null
    "$qpbc" build "$work/bench$files.qpk" --name "Kit$files" --kit-root "$kits" \
      --runtime "$runtime" >/dev/null 2>&1 || fail "qpbc could not build the $files-file kit"
  fi
  kitdir=$kits/Kit$files
}

uninstall_root='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
# The product's quiet uninstall command, once installed.
quiet_command() {
  local key
  key=$("$QP_WINE" reg query "$uninstall_root" 2>/dev/null | tr -d '\r' | grep -i 'uninstall\\{' | head -1) || true
  [ -n "$key" ] || return 1
  "$QP_WINE" reg query "$key" /v QuietUninstallString | tr -d '\r' | sed -n 's/.*REG_SZ *//p'
}
installed_files() { find "$prefix/drive_c" -path '*/Temp' -prune -o -type f -name 'file*' -print | wc -l; }

# Seconds of processor time that the wine server of our prefix has used so far (it does the
# file-system calls); others run servers of their own.
server_cpu() {
  local pid
  for pid in $(pgrep -u "$(id -u)" -x 'wineserver(64)?' || true); do
    if { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$prefix"; then
      awk '{ print ($14 + $15) / 100 }' "/proc/$pid/stat"
      return
    fi
  done
  echo 0
}
# Processor seconds of this shell's finished children (the Windows programs run as children).
children_cpu() {
  times >"$work/times"
  sed -n 2p "$work/times" | awk '{ split($1, u, /[ms]/); split($2, s, /[ms]/); print u[1] * 60 + u[2] + s[1] * 60 + s[2] }'
}

# timed VAR COMMAND...: runs COMMAND, appends its wall seconds to the array VAR and its processor
# seconds (its own and the wine server's) to VAR_cpu; fails on nonzero.
timed() {
  local -n into=$1 cpu_into=$1_cpu; shift
  sync
  local t0 t1 c0 c1 s0 s1 rc=0
  c0=$(children_cpu); s0=$(server_cpu); t0=$(now)
  "$@" || rc=$?
  t1=$(now); c1=$(children_cpu); s1=$(server_cpu)
  [ "$rc" = 0 ] || fail "$* ended with $rc"
  into+=("$(echo "$t1 - $t0" | bc -l)")
  cpu_into+=("$(echo "$c1 - $c0 + $s1 - $s0" | bc -l)")
}

# The quiet uninstaller's last act is a helper that deletes the copied setup.exe with its
# folder: the removal is over when that folder is gone.
uninstall() {
  "$QP_WINE" "$@" || return $?
  local i=0
  while [ -e "$info" ] && [ $((i++)) -lt 6000 ]; do sleep 0.01; done
  [ ! -e "$info" ]
}

measure() {
  local files=$1
  kit "$files"
  local mb; mb=$(( $(stat -c %s "$kitdir/setup.cab") >> 20 ))
  local it=() ft=() rt=() gt=() it_cpu=() ft_cpu=() rt_cpu=() gt_cpu=() r
  for ((r = 0; r < runs; r++)); do
    timed it "$QP_WINE" "$kitdir/setup.exe" -s
    [ "$(installed_files)" = "$files" ] || fail "setup.exe installed $(installed_files) of $files files"
    local quiet; quiet=$(quiet_command) || fail "no uninstall registration"
    eval "set -- $quiet"
    # Where setup.exe installs, the floor writes: the folder above the first file's folder.
    local first; first=$(find "$prefix/drive_c" -path '*/Temp' -prune -o -type f -name 'file00000.*' -print | head -1)
    target_unix=$(dirname "$(dirname "$first")")
    target=$("$QP_WINE" winepath -w "$target_unix" 2>/dev/null | tr -d '\r')
    info=$("$QP_WINE" winepath -u "${1%\\*}" 2>/dev/null | tr -d '\r')
    [ -d "$info" ] || fail "no information folder at $info"
    timed rt uninstall "$@"
    [ "$(installed_files)" = 0 ] || fail "$(installed_files) files left after removal"

    timed ft "$QP_WINE" "$floor_extract" "$(winpath "$kitdir/setup.cab")" "$target"
    [ "$(installed_files)" = "$files" ] || fail "the floor wrote $(installed_files) of $files files"
    timed gt "$QP_WINE" "$floor_remove" "$(winpath "$kitdir/setup.cab")" "$target"
    [ "$(installed_files)" = 0 ] || fail "the floor left $(installed_files) files"
    [ ! -e "$target_unix" ] || fail "the floor left $target_unix"
  done
  local i f rm_ g ic fc rc gc ir rr
  i=$(printf '%s\n' "${it[@]}" | median); f=$(printf '%s\n' "${ft[@]}" | median)
  rm_=$(printf '%s\n' "${rt[@]}" | median); g=$(printf '%s\n' "${gt[@]}" | median)
  ic=$(printf '%s\n' "${it_cpu[@]}" | median); fc=$(printf '%s\n' "${ft_cpu[@]}" | median)
  rc=$(printf '%s\n' "${rt_cpu[@]}" | median); gc=$(printf '%s\n' "${gt_cpu[@]}" | median)
  # Each round's own ratio: setup and floor ran side by side, under the same load.
  ir=$(for ((r = 0; r < runs; r++)); do ratio "${it[r]}" "${ft[r]}"; done | median)
  rr=$(for ((r = 0; r < runs; r++)); do ratio "${rt[r]}" "${gt[r]}"; done | median)
  echo "$files files, setup.cab $mb MB; wall seconds of each round:"
  echo "   install ${it[*]} / floor ${ft[*]}"
  echo "   removal ${rt[*]} / floor ${gt[*]}"
  printf '   install:  setup.exe -s      %6.2f s  floor %6.2f s  ratio %5.2f (median of the rounds %5.2f); cpu %6.2f s / %6.2f s = %5.2f\n' \
    "$i" "$f" "$(ratio "$i" "$f")" "$ir" "$ic" "$fc" "$(ratio "$ic" "$fc")"
  printf '   removal:  quiet uninstall   %6.2f s  floor %6.2f s  ratio %5.2f (median of the rounds %5.2f); cpu %6.2f s / %6.2f s = %5.2f\n' \
    "$rm_" "$g" "$(ratio "$rm_" "$g")" "$rr" "$rc" "$gc" "$(ratio "$rc" "$gc")"
  echo "$i $f $rm_ $g $ic $fc $rc $gc" >"$work/medians-$arch-$files"
}

# Z: maps the host's root in every prefix.
winpath() { echo "Z:${1//\//\\}"; }

echo "== median of $runs alternating rounds each (machine: $(nproc) cores, shared: compare ratios within a run)"
echo "   load before: $(uptime)"
for arch in $arches; do
  win=$root/$(qp_build_dir "$arch")
  runtime=$win/setup/setup.exe
  [ -z "${QP_BENCH_RUNTIMES:-}" ] || runtime=$QP_BENCH_RUNTIMES/$(basename "$win")/setup.exe
  floor_extract=$(winpath "$(bench_program "$win" floor_extract.exe)")
  floor_remove=$(winpath "$(bench_program "$win" floor_remove.exe)")
  [ -f "$runtime" ] || fail "no $runtime"
  prefix=$work/prefix-$arch
  "$root/scripts/wine-prefix.sh" "$prefix" "$arch"
  qp_wine_env "$arch" "$prefix"
  # One server for the whole run: no start-up in the timings. Its output is not ours to hold.
  "$WINESERVER" -p 600 </dev/null >/dev/null 2>&1 || true
  "$QP_WINE" cmd /c exit >/dev/null 2>&1 || true
  echo "== $arch"
  for n in $sizes; do measure "$n"; done
  set -- $sizes
  if [ $# -ge 2 ] && [ -f "$work/medians-$arch-$1" ] && [ -f "$work/medians-$arch-${!#}" ]; then
    read -r si sf sr sg sic sfc src sgc <"$work/medians-$arch-$1"
    read -r li lf lr lg lic lfc lrc lgc <"$work/medians-$arch-${!#}"
    printf '   growth %s -> %s files (%.2f times the files): install %.2f, floor %.2f; removal %.2f, floor %.2f\n' \
      "$1" "${!#}" "$(ratio "${!#}" "$1")" "$(ratio "$li" "$si")" "$(ratio "$lf" "$sf")" \
      "$(ratio "$lr" "$sr")" "$(ratio "$lg" "$sg")"
    printf '   growth in cpu: install %.2f, floor %.2f; removal %.2f, floor %.2f\n' \
      "$(ratio "$lic" "$sic")" "$(ratio "$lfc" "$sfc")" "$(ratio "$lrc" "$src")" "$(ratio "$lgc" "$sgc")"
  fi
  "$WINESERVER" -k 2>/dev/null || true
done
echo "   load after: $(uptime)"
