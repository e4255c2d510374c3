#!/usr/bin/env bash
# Times `qpbc dump` on a generated directory-style project whose default.fdf lists N groups,
# each with a section of its own: the import reads every numbered key and every group section,
# so the time should grow with N, not with N squared. Not part of the test command.
#   scripts/bench-import.sh                          # N = 20000 and 80000
#   QP_BENCH_SIZES="20000 80000" scripts/bench-import.sh
set -euo pipefail
. "$(dirname "$0")/bench-lib.sh"
bench_input import 1 "20000 80000"
bench_build_host qpbc
qpbc=$(bench_program "$bench_host" qpbc)
work=$bench_work
set -- $bench_sizes
for n in "$@"; do
    dir="$work/p$n"
    rm -rf "$dir"
    python3 - "$n" "$dir" <<'PY'
import os, sys
n, out = int(sys.argv[1]), sys.argv[2]
os.makedirs(os.path.join(out, "File Groups"))
with open(os.path.join(out, "x.ipr"), "w") as f:
    f.write("[Project]\nName=Bench\n")
with open(os.path.join(out, "File Groups", "default.fdf"), "w", newline="\r\n") as f:
    f.write("[FILEGROUPS]\n")
    for i in range(n):
        f.write("GROUP%d=Group %d\n" % (i, i))
    f.write("\n")
    for i in range(n):
        f.write("[Group %d]\nTARGET=<TARGETDIR>\\g%d\nCOMPRESS=Yes\n\n" % (i, i))
PY
    size=$(wc -c < "$dir/File Groups/default.fdf")
    start=$(bench_now)
    "$qpbc" dump "$dir/x.ipr" > /dev/null
    end=$(bench_now)
    echo "$n groups ($size bytes): $(python3 -c "print(round($end - $start, 2))") s"
done
