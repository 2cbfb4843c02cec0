#!/usr/bin/env bash
# The page drawing benchmark beside matplotlib: the kernel's Draw of one line plot of
# 1,000,000 points into a memory DIB, and matplotlib's FigureCanvasAgg.draw() of the same
# data at the same size and dpi (1-pixel line, default path simplification, no PNG
# encoding); both warm, median of 5. Prints both times and their ratio (goal: at most 1).
# Installs Debian's python3-matplotlib when missing.
#   bench/bench_pagedraw.sh BUILDDIR [W H DPI]
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
w=${2:-800} h=${3:-600} dpi=${4:-100}
py=$("$here/debian-python.sh" matplotlib python3-matplotlib)

ours=$("$here/../tools/wine-run.sh" "$build" "$build/bin/bench_pagedraw.exe" "$w" "$h" "$dpi" | awk '/^pagedraw/ { print $2 }')
ref=$("$py" - "$w" "$h" "$dpi" <<'PY'
import sys, time
import numpy as np
import matplotlib
matplotlib.use("Agg")
from matplotlib.figure import Figure
from matplotlib.backends.backend_agg import FigureCanvasAgg
w, h, dpi = int(sys.argv[1]), int(sys.argv[2]), float(sys.argv[3])
n = 1000000
t = 10.0 * np.arange(n) / (n - 1)
y = 5 + 4 * np.sin(3 * t) + 0.5 * np.sin(1234.567 * t)
fig = Figure(figsize=(w / dpi, h / dpi), dpi=dpi)
canvas = FigureCanvasAgg(fig)
ax = fig.add_subplot()
ax.plot(t, y, linewidth=72.0 / dpi)
ax.set_xlim(0, 10)
ax.set_ylim(0, 10)
canvas.draw()  # warm
times = []
for _ in range(5):
    t0 = time.perf_counter()
    canvas.draw()
    times.append(time.perf_counter() - t0)
print(sorted(times)[2])
PY
)
awk -v o="$ours" -v r="$ref" -v w="$w" -v h="$h" -v d="$dpi" 'BEGIN {
    printf "%-34s %12.6f s %12.6f s  ratio %8.3f\n", "1e6-point line " w "x" h " at " d " dpi", o, r, (r > 0 ? o / r : 0) }'
