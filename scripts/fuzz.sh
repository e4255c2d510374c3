#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan) and runs each for a while.
#   scripts/fuzz.sh [SECONDS] [TARGET...]      default: 300 seconds, every target
# Not part of the test command. Corpora and findings go to build/fuzz/corpus and build/fuzz/findings.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
secs=${1:-300}; shift || true
QP_FUZZ=1 scripts/install-deps.sh
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DQP_FUZZ=ON -DQP_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  mapfile -t targets < <(sed -n 's/^qp_fuzz(\([a-z0-9_]*\).*/\1/p' tests/fuzz/*.cmake | sort)
fi
cmake --build build/fuzz -j2 --target "${targets[@]}"
rc=0
for t in "${targets[@]}"; do
  mkdir -p "build/fuzz/corpus/$t" "build/fuzz/findings/$t"
  seeds=(); [ -d "tests/fuzz/seeds/$t" ] && seeds=("tests/fuzz/seeds/$t")
  echo "== $t for ${secs}s"
  if "build/fuzz/tests/fuzz/$t" -max_total_time="$secs" -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="build/fuzz/findings/$t/" \
       "build/fuzz/corpus/$t" "${seeds[@]}" > "build/fuzz/$t.log" 2>&1; then
    echo "   no finding ($(grep -o 'stat::number_of_executed_units: [0-9]*' "build/fuzz/$t.log" || tail -1 "build/fuzz/$t.log"))"
  else
    echo "   FINDING: see build/fuzz/$t.log and build/fuzz/findings/$t/"; rc=1
  fi
done
exit $rc
