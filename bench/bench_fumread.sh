#!/usr/bin/env bash
# Text import beside pandas: writes a CSV file of 1,000,000 rows of 3 numbers, times
# pandas.read_csv on it natively (best of 5 reads before and 5 after fum's run; installing
# Debian's python3-pandas when missing), runs bench_fumread.exe under Wine on the same
# file, and prints the cost per line of both and their ratios: the reader alone (the
# goal), the reader writing into the kernel's worksheet, and the whole script with its loop.
#   bench/bench_fumread.sh BUILDDIR
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
rows=${QX_BENCH_ROWS:-1000000}

py=$("$here/debian-python.sh" pandas python3-pandas)

data=$build/bench-data
mkdir -p "$data"
csv=$data/fumread.csv
# Lines end in CR LF, the line end fum reads by default; pandas reads them too.
awk -v n="$rows" 'BEGIN { srand(20261210);
    for (i = 1; i <= n; i++) printf "%.6f,%.4f,%.6e\r\n", i / 1000.0, 100 * rand() - 50, rand() * 1e-3 }' >"$csv"

# pandas' best of 5 reads, per line.
time_pandas() {
    "$py" - "$csv" "$rows" <<'PY'
import sys, time
import pandas as pd
path, rows = sys.argv[1], int(sys.argv[2])
best = 1e300
for _ in range(5):
    t = time.perf_counter()
    frame = pd.read_csv(path, header=None)
    best = min(best, time.perf_counter() - t)
assert frame.shape == (rows, 3), frame.shape
print('%.9e' % (best / rows))
PY
}

# pandas is timed before and after fum and its better figure taken, so that both sides of
# each ratio had the machine in the same state at their best.
before=$(time_pandas)
results=$("$here/../tools/wine-run.sh" "$build" "$build/bin/bench_fumread.exe" "Z:$csv" "$rows")
after=$(time_pandas)
pandas=$(awk -v a="$before" -v b="$after" 'BEGIN { printf "%.9e", a < b ? a : b }')
reader=$(echo "$results" | awk '$1 == "READER" { print $2 }')
engine=$(echo "$results" | awk '$1 == "ENGINE" { print $2 }')
kernel=$(echo "$results" | awk '$1 == "KERNEL" { print $2 }')
script=$(echo "$results" | awk '$1 == "SCRIPT" { print $2 }')
awk -v r="$reader" -v e="$engine" -v k="$kernel" -v s="$script" -v p="$pandas" 'BEGIN {
    printf "%-48s %12s %12s %8s\n", "per line of a 3-column CSV", "fum s", "pandas s", "ratio"
    printf "%-48s %12.3e %12.3e %8.2f\n", "fum.LineRow, the reader alone (goal <= 1)", r, p, r / p
    printf "%-48s %12.3e %12.3e %8.2f\n", "the text engine alone: one READARRAY call", e, p, e / p
    printf "%-48s %12.3e %12.3e %8.2f\n", "fum.LineRow into a kernel worksheet", k, p, k / p
    printf "%-48s %12.3e %12.3e %8.2f\n", "the whole script with its loop", s, p, s / p }'
