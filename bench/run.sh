#!/usr/bin/env bash
# Runs the benchmark programs of the build (bench_*.exe in the program folder) under Wine.
#   bench/run.sh BUILDDIR [name]   all benchmarks, or those whose name contains NAME
# Each prints its own figures as ratios against a reference run in the same process.
set -euo pipefail
build=$(cd "$1" && pwd); shift
filter=${1:-}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
found=0
for exe in "$build"/bin/bench_*.exe; do
    [ -e "$exe" ] || continue
    name=$(basename "$exe" .exe)
    [[ -z "$filter" || "$name" == *"$filter"* ]] || continue
    found=1
    echo "== ${name#bench_}"
    # A benchmark that compares with a native reference has a script of its own name.
    if [ -x "$here/$name.sh" ]; then
        "$here/$name.sh" "$build"
    else
        "$here/../tools/wine-run.sh" "$build" "$exe"
    fi
done
[ $found = 1 ] || echo "no benchmark${filter:+ matching '$filter'} in this build"
