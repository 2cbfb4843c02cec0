#!/usr/bin/env bash
# The interpreter's benchmark beside CPython: runs bench_script.exe under Wine, runs the same
# loop over a million list elements in python3, and prints the times and their ratios.
#   bench/bench_script.sh BUILDDIR
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

results=$("$here/../tools/wine-run.sh" "$build" "$build/bin/bench_script.exe")
python=$(python3 - <<'PY'
import math, time
n = 1000000
x = [i * 1e-5 for i in range(n)]
y = [0.0] * n
a, b, c = 1.5, 0.25, -2.0
best = 1e300
for _ in range(3):
    t0 = time.perf_counter()
    for i in range(n):
        y[i] = a * math.exp(-b * x[i]) + c
    best = min(best, time.perf_counter() - t0)
print("%.9g" % (best / n))
PY
)
compiledEval=$(echo "$results" | awk '$1 == "EVAL" && $2 == "compiled" { print $3 }')
echo "$results" | while read -r kind what a b; do
    case $kind in
    EVAL)
        awk -v w="$what" -v s="$a" -v c="$compiledEval" \
            'BEGIN { printf "A*EXP(-B*X)+C %-12s %10.3f us per evaluation   %8.1f x compiled\n", w, s * 1e6, s / c }' ;;
    LOOP)
        awk -v w="$what" -v n="$a" -v s="$b" -v p="$python" \
            'BEGIN { printf "loop %-12s %8d rows %10.3f us per row   CPython %.3f us   ratio %.2f\n", w, n, s * 1e6, p * 1e6, s / p }' ;;
    esac
done
