#!/usr/bin/env bash
# Zip benchmarks (not part of the tests):
#  - the runtime's extraction, one call per member, against Debian's `unzip -q -o` of the same
#    20,000-member archive (goal: ratio at most 1.2);
#  - extraction of 2,000 against 20,000 members (about 10 when the cost is linear);
#  - the writer adding 2,000 and 20,000 files one ZpArchive call each (about 10 again).
#   scripts/bench-unzip.sh              # data under ${QP_BENCH_DIR:-/tmp/qp-bench-unzip}
#   QP_BENCH_RUNS=3 scripts/bench-unzip.sh
set -euo pipefail
. "$(dirname "$0")/bench-lib.sh"
bench_input unzip 3 ""  # the sizes are fixed: 2,000 and 20,000 members
bench_build_host bench_unzip bench_kitzip
bench_unzip=$(bench_program "$bench_host" bench_unzip)
bench_kitzip=$(bench_program "$bench_host" bench_kitzip)
work=$bench_work
rm -rf "$work/src"

# 20,000 small files in 20 groups, text of a few hundred bytes to a few KiB each.
python3 - "$work/src" <<'PY'
import os, sys, random
root = sys.argv[1]
random.seed(1)
words = "setup kit file group program library readme licence folder value".split()
for g in range(20):
    d = os.path.join(root, "Group %02d" % g, "sub")
    os.makedirs(d, exist_ok=True)
    for i in range(1000):
        n = random.randint(20, 600)
        with open(os.path.join(d, "f%04d.txt" % i), "w") as f:
            f.write(" ".join(random.choice(words) for _ in range(n)))
PY
(cd "$work/src" && find . -type f | sed 's|^\./||' | sort) > "$work/all.txt"
head -n 2000 "$work/all.txt" > "$work/small.txt"

ratio() { python3 -c "import sys; a, b = float(sys.argv[1]), float(sys.argv[2]); print('%.2f' % (a / b if b else float('inf')))" "$1" "$2"; }
now() { bench_now; }

best() { python3 -c "import sys; print('%.3f' % min(float(x) for x in sys.argv[1:]))" "$@"; }
cd "$work/src"
ws_runs=(); wa_runs=()
for ((round = 0; round < bench_runs; round++)); do
  ws_runs+=("$("$bench_kitzip" "$work/small.zip" "$work/small.txt" | cut -d' ' -f2)")
  wa_runs+=("$("$bench_kitzip" "$work/all.zip" "$work/all.txt" | cut -d' ' -f2)")
done
w_small=$(best "${ws_runs[@]}"); w_all=$(best "${wa_runs[@]}")
echo "         rounds: writer 2,000 ${ws_runs[*]}   20,000 ${wa_runs[*]}"
unzip -tqq "$work/all.zip"
echo "writer:  2,000 files ${w_small}s   20,000 files ${w_all}s   ratio $(ratio "$w_all" "$w_small") (10 = linear)"

zipinfo -1 "$work/all.zip" > "$work/members-all.txt"
zipinfo -1 "$work/small.zip" > "$work/members-small.txt"
sync
# Three rounds, alternating, each on empty output folders after a sync; the best of each
# counts, so that writeback of one run does not land on the other.
u_runs=(); r_runs=(); s_runs=()
for ((round = 0; round < bench_runs; round++)); do
  rm -rf "$work/out-unzip" "$work/out-ours" "$work/out-small"; sync
  t0=$(now); unzip -q -o "$work/all.zip" -d "$work/out-unzip"; t1=$(now)
  u_runs+=("$(python3 -c "print('%.3f' % ($t1 - $t0))")")
  sync
  r_runs+=("$("$bench_unzip" "$work/all.zip" "$work/members-all.txt" "$work/out-ours" | cut -d' ' -f2)")
  sync
  s_runs+=("$("$bench_unzip" "$work/small.zip" "$work/members-small.txt" "$work/out-small" | cut -d' ' -f2)")
done
u_all=$(best "${u_runs[@]}"); r_all=$(best "${r_runs[@]}"); r_small=$(best "${s_runs[@]}")
echo "         rounds: unzip ${u_runs[*]}   ours ${r_runs[*]}   ours 2,000 ${s_runs[*]}"
diff -r "$work/out-unzip" "$work/out-ours" >/dev/null && same=identical || same=DIFFERENT
echo "extract: 20,000 members ours ${r_all}s   unzip -q -o ${u_all}s   ratio $(ratio "$r_all" "$u_all") (goal <= 1.2; output $same)"
echo "extract: 2,000 members ${r_small}s   20,000 members ${r_all}s   ratio $(ratio "$r_all" "$r_small") (10 = linear)"
