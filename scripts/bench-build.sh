#!/usr/bin/env bash
# Kit build benchmark (not a test): "qpbc build" of a project that holds a generated tree of
# 20,000 files (about 400 MB, half compressible text, half random data) with one deflate thread
# (KITZIP_THREADS=1) and with all of them, against "zip -r -q -6" of the same tree, in
# alternating rounds of the same run; the same for a 2,000-file tree, whose time should be
# about a tenth (the build stays linear in the number of files). Checks on the way that both
# archives of qpbc are byte for byte the same and that `unzip -t` finds them sound.
#
#   scripts/bench-build.sh            # trees under ${QP_BENCH_DIR:-/tmp/qp-bench-build}
#   QP_BENCH_RUNS=3 QP_BENCH_SIZES="2000 20000" scripts/bench-build.sh
set -euo pipefail
. "$(dirname "$0")/bench-lib.sh"
root=$bench_root
bench_input build 3 "2000 20000"
work=$bench_work runs=$bench_runs

echo "== building qpbc (Release) in $bench_host"
bench_build_host qpbc bench_make_project
qpbc=$(bench_program "$bench_host" qpbc)
make_project=$(bench_program "$bench_host" bench_make_project)

gen_tree() { python3 "$root/scripts/bench-tree.py" "$@"; }

now() { bench_now; }
median() { bench_median; }

# measure FILES: one line per tool with its median time, the ratios to zip and the archive sizes
measure() {
  local files=$1 tree="$work/tree$1"
  if [ ! -f "$tree/.done" ]; then
    rm -rf "$tree"; mkdir -p "$tree"
    gen_tree "$tree" "$files" 42
    touch "$tree/.done"
  fi
  "$make_project" "$work/bench$files.qpk" "$tree" 2>/dev/null
  head -c 100000 /dev/urandom >"$work/setup.ex_"
  local mb; mb=$(du -sm --exclude=.done "$tree" | cut -f1)
  local zt=() qt=() ot=()
  local kit1="$work/kits/Bench1/setup.cab" kitn="$work/kits/BenchN/setup.cab"
  for ((r = 0; r < runs; r++)); do
    rm -f "$work/zip$files.zip"
    local t0 t1
    t0=$(now)
    (cd "$tree" && zip -r -q -6 "$work/zip$files.zip" group0 group1 group2 group3)
    t1=$(now)
    zt+=("$(echo "$t1 - $t0" | bc -l)")
    t0=$(now)
    KITZIP_THREADS=1 "$qpbc" build "$work/bench$files.qpk" --name Bench1 --kit-root "$work/kits" --runtime "$work/setup.ex_" >/dev/null 2>"$work/qpbc$files.log"
    t1=$(now)
    ot+=("$(echo "$t1 - $t0" | bc -l)")
    t0=$(now)
    "$qpbc" build "$work/bench$files.qpk" --name BenchN --kit-root "$work/kits" --runtime "$work/setup.ex_" >/dev/null 2>"$work/qpbc$files.log"
    t1=$(now)
    qt+=("$(echo "$t1 - $t0" | bc -l)")
  done
  local z o q
  z=$(printf '%s\n' "${zt[@]}" | median)
  o=$(printf '%s\n' "${ot[@]}" | median)
  q=$(printf '%s\n' "${qt[@]}" | median)
  local zs os qs same sound
  zs=$(stat -c %s "$work/zip$files.zip"); os=$(stat -c %s "$kit1"); qs=$(stat -c %s "$kitn")
  cmp -s "$kit1" "$kitn" && same="byte for byte the same" || same="DIFFERENT"
  unzip -tqq "$kit1" >/dev/null && unzip -tqq "$kitn" >/dev/null && sound="unzip -t clean" || sound="unzip -t FAILED"
  echo "$files files, $mb MB (rounds: zip ${zt[*]} / one thread ${ot[*]} / all threads ${qt[*]})"
  printf '   zip -r -q -6        %7.2f s  %10d bytes\n' "$z" "$zs"
  printf '   qpbc, one thread    %7.2f s  %10d bytes  ratio to zip %.2f\n' "$o" "$os" "$(echo "$o / $z" | bc -l)"
  printf '   qpbc, all threads   %7.2f s  %10d bytes  ratio to zip %.2f  (to one thread %.2f)\n' \
    "$q" "$qs" "$(echo "$q / $z" | bc -l)" "$(echo "$q / $o" | bc -l)"
  printf '   qpbc archives %s, %s; size to zip %.4f\n' "$same" "$sound" "$(echo "$qs / $zs" | bc -l)"
  echo "$q" >"$work/time$files"
  echo "$o" >"$work/onetime$files"
  echo "$z" >"$work/ziptime$files"
}

echo "== median of $runs alternating rounds each (machine: $(nproc) cores)"
set -- $bench_sizes
for n in "$@"; do measure "$n"; done
small=$1 large=${!#}
growth() { echo "$(cat "$work/$1$large") / $(cat "$work/$1$small")" | bc -l; }
q_ratio=$(growth time); o_ratio=$(growth onetime); z_ratio=$(growth ziptime)
# On a shared machine these ratios swing with the load; zip's, measured alongside, shows how much.
printf 'time ratio %s / %s files: qpbc all threads %.2f, one thread %.2f, zip %.2f (linear = %.2f)\n' \
  "$large" "$small" "$q_ratio" "$o_ratio" "$z_ratio" "$(echo "$large / $small" | bc -l)"
