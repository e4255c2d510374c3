#!/usr/bin/env bash
# Opens and saves a large generated project and reports time and peak memory. Not a test.
#   scripts/bench-project.sh            two sizes: 1,000 groups / 100,000 files / 1,000 components
#                                       (10 group references each), and ten times that
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=build/bench-project
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target bench_project >/dev/null
bench="$build/tests/model/bench_project"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for scale in 1 10; do
  groups=$((1000 * scale)); files=$((100000 * scale)); comps=$((1000 * scale))
  "$bench" gen "$work/in.qpk" "$groups" "$files" "$comps" 10
  size=$(stat -c %s "$work/in.qpk")
  echo "== x$scale: $groups groups, $files files, $comps components x 10 references, file $size bytes"
  /usr/bin/time -v "$bench" roundtrip "$work/in.qpk" "$work/out.qpk" 2> "$work/time.txt"
  grep -E 'Elapsed \(wall clock\)|Maximum resident set size' "$work/time.txt" | sed 's/^[[:space:]]*/   /'
  cmp -s "$work/in.qpk" "$work/out.qpk" && echo "   saved bytes identical to the opened file" || echo "   saved bytes DIFFER"
done
