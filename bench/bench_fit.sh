#!/usr/bin/env bash
# The fit benchmark beside GSL and scipy: runs bench_fit.exe under Wine, builds the GSL
# reference natively (installing libgsl-dev when missing), runs the same fits with the same
# numbers of iterations, and prints the time per iteration of both and their ratio; the
# library Gaussian also beside scipy's least_squares (Debian's python3-scipy, installed
# when missing).
#   bench/bench_fit.sh BUILDDIR
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
nist=$(cd "$here/../fitter/engine/tests/nist" && pwd)

"$here/../tools/setup.sh" packages libgsl-dev python3-scipy
# Debian's scipy belongs to Debian's python, whatever python3 is first on the path.
python=/usr/bin/python3
gsl=$build/bench-native/FitGsl
mkdir -p "$(dirname "$gsl")"
cc -O2 -o "$gsl" "$here/gsl/FitGsl.c" -lgsl -lgslcblas -lm

results=$("$here/../tools/wine-run.sh" "$build" "$build/bin/bench_fit.exe")
printf '%-22s %6s %14s %14s %10s\n' fit iter "s/iter" "GSL s/iter" ratio
echo "$results" | while read -r kind a b c d; do
    case $kind in
    NIST)
        ref=$("$gsl" nist "$nist/$a.dat" "$a" "$b" "$c")
        label="$a start $b"; iter=$c; ours=$d ;;
    GAUSS)
        ref=$("$gsl" gauss "$b")
        label="Gaussian $a points"; iter=$b; ours=$c
        data=$build/bench-native/gauss.bin
        "$gsl" data "$data"
        scipy=$("$python" "$here/gsl/FitScipy.py" "$data" "$a") ;;
    *) continue ;;
    esac
    awk -v l="$label" -v n="$iter" -v o="$ours" -v r="$ref" \
        'BEGIN { printf "%-22s %6d %14.3e %14.3e %10.1f\n", l, n, o, r, (r > 0 ? o / r : 0) }'
    if [ "$kind" = GAUSS ]; then
        awk -v n="$iter" -v o="$ours" -v r="$scipy" \
            'BEGIN { printf "%-22s %6d %14.3e %14.3e %10.1f  (scipy s/iter: least_squares, lm, analytic Jacobian)\n", "Gaussian vs scipy", n, o, r, (r > 0 ? o / r : 0) }'
    fi
done
