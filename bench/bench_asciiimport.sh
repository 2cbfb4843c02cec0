#!/usr/bin/env bash
# The kernel's ASCII import beside pandas: writes a CSV file of ROWS rows of 3 numbers
# (1,000,000 unless QX_BENCH_ROWS says otherwise; QX_BENCH_ROWS=10000000 is the large
# run), times pandas.read_csv(path) with its C engine in-process (median of 3 after a warm
# read), runs bench_asciiimport.exe under Wine on the same file, and prints the ratio.
# Goal: at most 0.5.
#   bench/bench_asciiimport.sh BUILDDIR
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
rows=${QX_BENCH_ROWS:-1000000}

py=$("$here/debian-python.sh" pandas python3-pandas)

data=$build/bench-data
mkdir -p "$data"
csv=$data/asciiimport-$rows.csv
if [ ! -f "$csv" ]; then
    awk -v n="$rows" 'BEGIN { srand(20261210);
        for (i = 1; i <= n; i++) printf "%.6f,%.4f,%.6e\n", i / 1000.0, 100 * rand() - 50, rand() * 1e-3 }' >"$csv.tmp"
    mv "$csv.tmp" "$csv"
fi

pandas=$("$py" - "$csv" "$rows" <<'PY'
import sys, time
import pandas as pd
path, rows = sys.argv[1], int(sys.argv[2])
pd.read_csv(path, header=None, engine='c')  # warm cache
times = []
for _ in range(3):
    t = time.perf_counter()
    frame = pd.read_csv(path, header=None, engine='c')
    times.append(time.perf_counter() - t)
assert frame.shape == (rows, 3), frame.shape
print('%.6f' % sorted(times)[1])
PY
)

results=$("$here/../tools/wine-run.sh" "$build" "$build/bin/bench_asciiimport.exe" "Z:$csv" "$rows")
kernel=$(echo "$results" | awk '$1 == "KERNEL" { print $2 }')
awk -v k="$kernel" -v p="$pandas" -v n="$rows" 'BEGIN {
    printf "%-44s %10s %10s %8s\n", "import of a 3-column CSV, " n " rows", "kernel s", "pandas s", "ratio"
    printf "%-44s %10.3f %10.3f %8.2f   (goal <= 0.5)\n", "qkfxImportAscii vs pandas.read_csv", k, p, k / p }'
