# What every benchmark (scripts/bench-*.sh) shares, sourced by each: one way to build and find
# its programs, one way to take its input. Benchmarks are not tests; none runs in the test command.
#
# Input, the same names in every benchmark (each says its defaults):
#   QP_BENCH_DIR    work folder for generated data (default /tmp/qp-bench-<benchmark>)
#   QP_BENCH_RUNS   rounds; rounds of the things compared alternate, medians or bests are printed
#   QP_BENCH_SIZES  the sizes to measure (files, groups or a scale, as the benchmark says)
# Programs: the host ones in one Release tree, build/bench-host; the Windows ones in the test
# trees of scripts/arch.sh (build/win, build/win64), configured as scripts/test.sh does when
# they are not there yet. Every build runs with -j2.

bench_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
. "$bench_root/scripts/arch.sh"
bench_host=$bench_root/build/bench-host
bench_launcher=()
command -v ccache >/dev/null && bench_launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

# bench_input NAME DEFAULT_RUNS DEFAULT_SIZES: sets bench_work, bench_runs and bench_sizes.
bench_input() {
  bench_work=${QP_BENCH_DIR:-/tmp/qp-bench-$1}
  bench_runs=${QP_BENCH_RUNS:-$2}
  bench_sizes=${QP_BENCH_SIZES:-$3}
  mkdir -p "$bench_work"
}

# bench_build_host TARGET...: the host programs, Release.
bench_build_host() {
  cmake -S "$bench_root" -B "$bench_host" -G Ninja -DCMAKE_BUILD_TYPE=Release "${bench_launcher[@]}" >/dev/null
  cmake --build "$bench_host" -j2 --target "$@" >/dev/null
}

# bench_build_windows ARCH TARGET...: Windows programs of ARCH (i686 or x86_64).
bench_build_windows() {
  local arch=$1 win; shift
  win=$bench_root/$(qp_build_dir "$arch")
  if [ ! -f "$win/CMakeCache.txt" ]; then
    cmake -S "$bench_root" -B "$win" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$bench_root/$(qp_toolchain "$arch")" \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo "${bench_launcher[@]}" >/dev/null
  fi
  cmake --build "$win" -j2 --target "$@" >/dev/null
}

# bench_program TREE NAME: the built program NAME (its file name, with .exe for Windows) in TREE
# (bench_host, or a Windows tree); fails when it is not there.
bench_program() {
  local found
  found=$(find "$1" -path "$1/CMakeFiles" -prune -o -type f -name "$2" -print 2>/dev/null | head -1)
  [ -n "$found" ] || { echo "bench: no $2 in $1" >&2; return 1; }
  echo "$found"
}

bench_now() { date +%s.%N; }
bench_median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
