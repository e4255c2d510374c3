#!/usr/bin/env bash
# Opens and saves a large generated project and reports time and peak memory. Not a test.
#   scripts/bench-project.sh            two scales: 1 = 1,000 groups / 100,000 files / 1,000
#                                       components (10 group references each), and 10 = ten times that
#   QP_BENCH_SIZES="1 10" scripts/bench-project.sh
set -euo pipefail
. "$(dirname "$0")/bench-lib.sh"
bench_input project 1 "1 10"
bench_build_host bench_project
bench=$(bench_program "$bench_host" bench_project)
work=$bench_work
for scale in $bench_sizes; do
  groups=$((1000 * scale)); files=$((100000 * scale)); comps=$((1000 * scale))
  "$bench" gen "$work/in.qpk" "$groups" "$files" "$comps" 10
  size=$(stat -c %s "$work/in.qpk")
  echo "== x$scale: $groups groups, $files files, $comps components x 10 references, file $size bytes"
  /usr/bin/time -v "$bench" roundtrip "$work/in.qpk" "$work/out.qpk" 2> "$work/time.txt"
  grep -E 'Elapsed \(wall clock\)|Maximum resident set size' "$work/time.txt" | sed 's/^[[:space:]]*/   /'
  cmp -s "$work/in.qpk" "$work/out.qpk" && echo "   saved bytes identical to the opened file" || echo "   saved bytes DIFFER"
done
