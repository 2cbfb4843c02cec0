#!/usr/bin/env python3
"""Writes DistributionTables.inc, the reference values of the distribution tests.

The values come from mpmath at 40 significant digits, independently of the library:
mpmath's own incomplete beta function, or, where its series do not converge (both
parameters large), and for the incomplete gamma function, the textbook series and
continued fractions summed in 40-digit arithmetic with the prefactor taken from
mpmath's log-gamma, with none of the library's rearrangements. A
quantile is the root of that CDF, found by bisection and regula falsi on the logarithm
of the variable to 30 digits. Arguments are written with 17 digits, so the C++ tests
read the very doubles that were used here.

Run with Debian's python3-mpmath (apt-get install python3-mpmath):
    /usr/bin/python3 make_distribution_tables.py > DistributionTables.inc
"""
import sys

import mpmath as mp
from mpmath.libmp.libhyper import NoConvergence

mp.mp.dps = 40

PROBABILITIES = [1e-12, 1e-9, 1e-6, 1e-4, 1e-3, 0.01, 0.025, 0.05, 0.1, 0.25, 0.4, 0.49,
                 0.5, 0.51, 0.6, 0.75, 0.9, 0.95, 0.975, 0.99, 0.999, 1 - 1e-4, 1 - 1e-6,
                 1 - 1e-9, 1 - 1e-12]
DEGREES = [1, 1.5, 2, 3, 4, 5, 7, 10, 15, 30, 50, 100, 300, 1000, 1e4, 1e5, 1e6, 1e7]


def beta_fraction(a, b, x):
    """Continued fraction of I_x(a, b) (modified Lentz) in 40-digit arithmetic."""
    tiny = mp.mpf(10) ** -300
    c, d = mp.mpf(1), 1 - (a + b) * x / (a + 1)
    d = 1 / (d if abs(d) > tiny else tiny)
    h = d
    for m in range(1, 10 ** 7):
        for coefficient in (m * (b - m) * x / ((a + 2 * m - 1) * (a + 2 * m)),
                            -(a + m) * (a + b + m) * x / ((a + 2 * m) * (a + 2 * m + 1))):
            d = 1 + coefficient * d
            c = 1 + coefficient / c
            d = 1 / (d if abs(d) > tiny else tiny)
            c = c if abs(c) > tiny else tiny
            step = d * c
            h *= step
        if abs(step - 1) < mp.mpf(10) ** -36:
            return h
    raise RuntimeError("continued fraction did not converge")


def ibeta(a, b, x):
    a, b, x = mp.mpf(a), mp.mpf(b), mp.mpf(x)
    if x <= 0:
        return mp.mpf(0)
    if x >= 1:
        return mp.mpf(1)
    # mpmath's hypergeometric series are slow or fail when both parameters are large;
    # there the continued fraction is summed at full working precision instead.
    if min(a, b) < 200:
        try:
            return mp.betainc(a, b, 0, x, regularized=True)
        except (NoConvergence, ValueError):
            pass
    y = 1 - x
    lnb = mp.loggamma(a) + mp.loggamma(b) - mp.loggamma(a + b)
    if x < (a + 1) / (a + b + 2):
        return mp.exp(a * mp.log(x) + b * mp.log(y) - lnb) * beta_fraction(a, b, x) / a
    return 1 - mp.exp(a * mp.log(x) + b * mp.log(y) - lnb) * beta_fraction(b, a, y) / b


def igamma(a, z):
    """Lower regularized incomplete gamma: series below a + 1, continued fraction above,
    summed at full working precision."""
    a, z = mp.mpf(a), mp.mpf(z)
    if z <= 0:
        return mp.mpf(0)
    front = mp.exp(a * mp.log(z) - z - mp.loggamma(a))
    if z < a + 1:
        term = total = 1 / a
        n = 1
        while abs(term) > total * mp.mpf(10) ** -38:
            term *= z / (a + n)
            total += term
            n += 1
        return front * total
    tiny = mp.mpf(10) ** -300
    bn, c, d = z + 1 - a, 1 / tiny, 1 / (z + 1 - a)
    h = d
    for i in range(1, 10 ** 7):
        an = -i * (i - a)
        bn += 2
        d = an * d + bn
        d = d if abs(d) > tiny else tiny
        c = bn + an / c
        c = c if abs(c) > tiny else tiny
        d = 1 / d
        h *= d * c
        if abs(d * c - 1) < mp.mpf(10) ** -36:
            break
    return 1 - front * h


def solve_increasing(fn, s):
    """Root of an increasing fn of s, from a start s."""
    lo, hi, step = s, s, mp.mpf(1)
    if fn(s) < 0:
        while fn(hi) < 0:
            lo, hi, step = hi, hi + step, step * 2
    else:
        while fn(lo) > 0:
            hi, lo, step = lo, lo - step, step * 2
    flo, fhi = fn(lo), fn(hi)
    side = 0
    for _ in range(400):
        if hi - lo < mp.mpf(10) ** -30 * max(1, abs(lo)):
            break
        mid = (lo * fhi - hi * flo) / (fhi - flo)
        if not lo < mid < hi:
            mid = (lo + hi) / 2
        fm = fn(mid)
        if fm < 0:
            lo, flo = mid, fm
            if side == -1:
                fhi /= 2
            side = -1
        else:
            hi, fhi = mid, fm
            if side == 1:
                flo /= 2
            side = 1
    return (lo + hi) / 2


def t_quantile(p, df):
    p, df = mp.mpf(p), mp.mpf(df)
    if p == 0.5:
        return mp.mpf(0)
    q = min(p, 1 - p)
    tail = lambda s: ibeta(df / 2, mp.mpf(0.5), df / (df + mp.exp(2 * s))) / 2
    s = solve_increasing(lambda s: mp.log(q) - mp.log(tail(s)), mp.mpf(0))
    return mp.exp(s) if p > 0.5 else -mp.exp(s)


def f_quantile(p, d1, d2):
    p, d1, d2 = mp.mpf(p), mp.mpf(d1), mp.mpf(d2)
    x = lambda s: d1 * mp.exp(s) / (d1 * mp.exp(s) + d2)
    if p <= 0.5:
        fn = lambda s: mp.log(ibeta(d1 / 2, d2 / 2, x(s))) - mp.log(p)
    else:
        fn = lambda s: mp.log(1 - p) - mp.log(ibeta(d2 / 2, d1 / 2, 1 - x(s)))
    return mp.exp(solve_increasing(fn, mp.mpf(0)))


def chi2_quantile(p, df):
    p, df = mp.mpf(p), mp.mpf(df)
    if p <= 0.5:
        fn = lambda s: mp.log(igamma(df / 2, mp.exp(s) / 2)) - mp.log(p)
    else:
        fn = lambda s: mp.log(1 - p) - mp.log(1 - igamma(df / 2, mp.exp(s) / 2))
    return mp.exp(solve_increasing(fn, mp.log(df)))


def d(v):
    return repr(float(v))


def main():
    out = sys.stdout
    out.write("// Generated by make_distribution_tables.py; do not edit.\n")

    out.write("static const QuantileCase kStudentCases[] = {\n")
    for df in DEGREES:
        for p in PROBABILITIES:
            out.write("    {%s, %s, 0, %s},\n" % (d(p), d(df), d(t_quantile(p, df))))
        print("t", df, file=sys.stderr)
    out.write("};\n")

    out.write("static const QuantileCase kFCases[] = {\n")
    pairs = [(1, df) for df in DEGREES] + [(2, 10), (3, 1e3), (5, 30), (10, 1e7), (30, 5),
                                           (100, 100), (1e3, 1), (1e7, 3), (1e4, 1e4),
                                           (1e6, 1e6), (1e7, 1e7)]
    fprobs = [1e-12, 1e-6, 0.01, 0.05, 0.5, 0.9, 0.95, 0.99, 1 - 1e-6, 1 - 1e-12]
    for d1, d2 in pairs:
        for p in fprobs:
            out.write("    {%s, %s, %s, %s},\n" % (d(p), d(d1), d(d2), d(f_quantile(p, d1, d2))))
        print("F", d1, d2, file=sys.stderr)
    out.write("};\n")

    out.write("static const QuantileCase kChiSquareCases[] = {\n")
    for df in [1, 2, 3, 10, 100, 1e4, 1e7]:
        for p in [1e-12, 1e-6, 0.05, 0.5, 0.95, 0.99, 1 - 1e-12]:
            out.write("    {%s, %s, 0, %s},\n" % (d(p), d(df), d(chi2_quantile(p, df))))
        print("chi2", df, file=sys.stderr)
    out.write("};\n")

    out.write("static const BetaCase kBetaCases[] = {\n")
    beta = []
    for a, b in [(0.5, 0.5), (0.5, 5), (5, 0.5), (1, 1), (2.5, 7), (50, 60), (0.5, 1e7),
                 (5e6, 0.5), (1e3, 2e3), (5e6, 5e6), (1e-3, 1e-3), (3, 1e5)]:
        mean = a / (a + b)
        for x in [1e-10, 1e-4, 0.1, 0.3, 0.5, 0.9, 0.999, mean, mean * (1 - 1e-3),
                  mean * (1 + 1e-3), 1 - 1e-12]:
            if 0 < x < 1:
                beta.append((x, a, b))
    for x, a, b in beta:
        out.write("    {%s, %s, %s, %s},\n" % (d(x), d(a), d(b), d(ibeta(a, b, x))))
    out.write("};\n")

    out.write("static const ErfCase kErfCases[] = {\n")
    for x in [0, 1e-300, 1e-20, 1e-8, 1e-3, 0.1, 0.4, 0.5, 0.75, 1, 1.5, 2, 2.5, 3, 4, 5,
              5.9, -0.3, -2.2, -4.5]:
        out.write("    {%s, %s},\n" % (d(x), d(mp.erf(mp.mpf(x)))))
    out.write("};\n")


if __name__ == "__main__":
    main()
