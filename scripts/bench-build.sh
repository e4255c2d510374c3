#!/usr/bin/env bash
# Kit build benchmark (not a test): "qpbc build" of a project that holds a generated tree of
# 20,000 files (about 400 MB, half compressible text, half random data) against "zip -r -q -6"
# of the same tree in the same run, and the same for a 2,000-file tree, whose time should be
# about a tenth (the build stays linear in the number of files).
#
#   scripts/bench-build.sh            # trees under ${QP_BENCH_DIR:-/tmp/qp-bench-build}
#   QP_BENCH_RUNS=3 scripts/bench-build.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=${QP_BENCH_DIR:-/tmp/qp-bench-build}
runs=${QP_BENCH_RUNS:-2}
build="$root/build/kit-bench"
mkdir -p "$work"

echo "== building qpbc (Release) in $build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target qpbc bench_make_project >/dev/null
qpbc="$build/builder/cli/qpbc"

# gen_tree DIR FILES SEED: FILES files in 4 groups of sub-folders of 250 files each; sizes
# 1 to 39 KB (20 KB on average); even-numbered files are text, odd-numbered ones random bytes.
gen_tree() {
  python3 - "$1" "$2" "$3" <<'PY'
import os, random, sys
out, count, seed = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
rnd = random.Random(seed)
words = ("quill pack setup kit archive folder group component registry shortcut wizard page "
         "language string table file version time size install remove repair modify").split()
text = " ".join(rnd.choice(words) for _ in range(400000)).encode()
for i in range(count):
    group, folder = i % 4, (i // 4) // 250
    d = os.path.join(out, "group%d" % group, "dir%03d" % folder)
    os.makedirs(d, exist_ok=True)
    size = rnd.randrange(1024, 39 * 1024)
    if i % 2 == 0:
        at = rnd.randrange(0, len(text) - size)
        data = text[at:at + size]
        name = "file%05d.txt" % i
    else:
        data = os.urandom(size)
        name = "file%05d.bin" % i
    with open(os.path.join(d, name), "wb") as f:
        f.write(data)
PY
}

now() { date +%s.%N; }
best() { sort -g | head -1; }

# measure FILES: prints "files MB zip_s qpbc_s ratio"
measure() {
  local files=$1 tree="$work/tree$1"
  if [ ! -f "$tree/.done" ]; then
    rm -rf "$tree"; mkdir -p "$tree"
    gen_tree "$tree" "$files" 42
    touch "$tree/.done"
  fi
  "$build/tests/kit/bench_make_project" "$work/bench$files.qpk" "$tree" 2>/dev/null
  head -c 100000 /dev/urandom >"$work/setup.ex_"
  local mb; mb=$(du -sm --exclude=.done "$tree" | cut -f1)
  local zt=() qt=()
  for ((r = 0; r < runs; r++)); do
    rm -f "$work/zip$files.zip"
    local t0; t0=$(now)
    (cd "$tree" && zip -r -q -6 "$work/zip$files.zip" group0 group1 group2 group3)
    local t1; t1=$(now)
    zt+=("$(echo "$t1 - $t0" | bc -l)")
    t0=$(now)
    "$qpbc" build "$work/bench$files.qpk" --name Bench --kit-root "$work/kits" --runtime "$work/setup.ex_" >/dev/null 2>"$work/qpbc$files.log"
    t1=$(now)
    qt+=("$(echo "$t1 - $t0" | bc -l)")
  done
  local z q
  z=$(printf '%s\n' "${zt[@]}" | best)
  q=$(printf '%s\n' "${qt[@]}" | best)
  local zs qs
  zs=$(stat -c %s "$work/zip$files.zip"); qs=$(stat -c %s "$work/kits/Bench/setup.cab")
  printf '%6d files %5d MB   zip -6: %7.2f s (%d MB)   qpbc build: %7.2f s (%d MB)   ratio %.2f\n' \
    "$files" "$mb" "$z" $((zs >> 20)) "$q" $((qs >> 20)) "$(echo "$q / $z" | bc -l)"
  echo "$q" >"$work/time$files"
  echo "$z" >"$work/ziptime$files"
}

echo "== best of $runs runs each (machine: $(nproc) cores)"
measure 2000
measure 20000
q_ratio=$(echo "$(cat "$work/time20000") / $(cat "$work/time2000")" | bc -l)
z_ratio=$(echo "$(cat "$work/ziptime20000") / $(cat "$work/ziptime2000")" | bc -l)
# On a shared machine both ratios swing with the load; zip's, measured alongside, shows how much.
printf 'time ratio 20,000 / 2,000 files: qpbc %.2f, zip %.2f (linear = about 10; qpbc / zip %.2f)\n' \
  "$q_ratio" "$z_ratio" "$(echo "$q_ratio / $z_ratio" | bc -l)"
