#!/usr/bin/env python3
"""Writes golden.txt, the reference values of the fitting-function library's tests.

An independent implementation: every model's value formula is written here again, in
40-digit arithmetic (mpmath), and every derivative is taken from that value formula by
high-precision numerical differentiation (mpmath.diff), never from the library's own
derivative formulas. The special functions come from mpmath (erfc, I1, Gamma, the Faddeeva
function for the Voigt profile), not from the library's polynomial fits, so those rows carry
the fits' own accuracy as their tolerance.

Run once after a change of a formula; the tests only read golden.txt:
    python3 make_golden.py > golden.txt
Lines:
    table|row|nIndependent|nParams|Q|export|ordinal      the expected name table
    export|name|ordinal                                  exports without a row
    case|row|mode|nArg|x...|p...|result|y...|d...|rtol   one call and what it must give
    helper|name|argument|value|rtol                      numeric helper references
"M" stands for MISSING_VALUE, "-" for a value not checked.
"""
import re
import sys
from mpmath import mp, mpf, mpc, exp, log, sqrt, sin, tanh, pi, gamma, erfc, besseli, diff, re as mre

mp.dps = 40
M = 'M'
out = []


def fmt(v):
    if v == M or v == '-':
        return v
    return repr(float(v))


# ----------------------------------------------------------------------------------------
# The name table as the library must publish it.

B1 = "Shah 4, YldFert 3, Allometric1 2, Allometric2 3, Cole 3, Holliday 3, MicMent 2, BoxLucas1 2, YldFert1 3, Freundlich3PMod 3, Stirling 3, Hill 3, Reich 4, MWChang 5, BatesWatts 3, BoxLucas2 2, Nelder 4, Richards 4, ExpLinear 4, MnMolecular 3, MnMolecular1 3, SLogistic1 3, SLogistic2 3, SLogistic3 3, SGompertz 3, SRichards1 4, SRichards2 4, SWeibull1 4, SWeibull2 4, Slogistic4 4, Giddings 4, Extreme 4, Beta 6, LogistPK 4 -> LogisticPK, GaussAmp 4"
B2 = "PolyN 4 -> Poly, Rational 4, Gauss 4, Kinetic 8, ExpDecay1 4, ExpDecay2 6, ExpDecay3 8, Lorentz 4, Logistic 4, Boltzman 4, ExpGrow1 4, ExpGrow2 6, ExpAssoc 5, Pulse 6, Hyperbl 2, Dhyperbl 5, Power0 4, Response1 4 -> Boltzman2, Competition1 3 -> Boltzman3, Competition2 5 -> Boltzman4, Binding1 2, Binding2 4, Response2 7"
B3 = "GaussMod 5 -> GaussianMod, GCAS 6 -> GramCharlier, ECS 6 -> EdgeworthCramer, CCE 9 -> CheslerCram, LogNormal 4, Constant 1 -> Polynomial0, Line 2 -> Polynomial1, Parabola 3 -> Polynomial2, Cubic 4 -> Polynomial3, Poly4 5 -> Polynomial4, Poly5 6 -> Polynomial5, PolyCtr5 7 -> PolynomialCentered5, Asym2Sig 6 -> AsymDblSig, Weibull3 5, Voigt5 5, PsdVoigt1 5 -> PseudoVoigt1, PsdVoigt2 6 -> PseudoVoigt2, PearsonVII 4, ExpDec1 3, ExpDec2 5, ExpDec3 7, ExpGro1 3, ExpGro2 5, ExpGro3 7, ExpAssoc2 5, Pulse1 5, Power1 3, Power2 4, Sine 3, SineSqr 3, SineDamp 4, Exponential 3, InvsPoly 7 -> InversePoly"
B4 = "Logarithm 1, LogarithmEVP 1, Reciprocal0 1, Reciprocal0EVP 1, Exp1P1 1 -> Exponent, ExponentEVP 1, Power 1, PowerEVP 1, Reciprocal1 1, Reciprocal1EVP 1, Pareto 1, ParetoEVP 1, Exp1P3 1 -> Exponent1, Exp1P3Md 1 -> Exponent1Mod, Exp1P2 1 -> Exponent2, Exp1P2Md 1 -> Exponent2Mod1, Exponent2EVP 1, Exp1P4 1 -> Exponent3, Exp1P4Md 1 -> Exponent3Mod1, Exponent3EVP 1, Log2P1 2, Log2P1EVP 2, Log2P2 2, Log2P2EVP 2, BoxLucas1Mod 2, BoxLucas1EVP 2, Exp2P 2, Exp2PMod1 2, Exp2PMod2 2, Exp2PEVP 2, Freundlich 2, FreundlichMod1 2, FreundlichEVP 2, RectHyperbola 2, HyperbolaMod 2, HyperbolaEVP 2, Reciprocal 2, ReciprocalMod 2, ReciprocalEVP 2, LineMod 2, Pow2P3 2 -> Ratkowsky2P1, Ratkowsky2P1EVP 2, Bradley 2, BET 2, BETMod 2, Pow2P1 2 -> Ratkowsky2P2, Ratkowsky2P2EVP 2, Pow2P2 2 -> Ratkowsky2P3, Ratkowsky2P3EVP 2, Asymptotic1 3, Asymptotic2 3, Asymptotic3 3, Asymptotic4 3, Asymptotic5 3, Asymptotic6 3, Asymptotic7 3, LangmuirEXT1 3, LangmuirEXT2 3, Freundlich3P 3, Freundlich3PEVP1 3, Freundlich3PEVP2 3, FreundlichEXT 3, FreundlichEXTEVP 3, Gunary 3, Holliday1 3, BlNeldSmp 3, BlNeld 4, BlNeldEVP 3, errtest 3, Harris 3, HarrisEVP 3, Rational0 3, Rational1 3, Rational2 3, Rational3 3, Rational4 3, RationalEVP 3, Belehradek 3, BelehradekEVP 3, Log3P1 3 -> Ratkowsky4332, Exp3P1 3 -> Ratkowsky4333, Exp3P1Md 3 -> Ratkowsky4334, Chapman 3, ChapmanEVP1 3, ChapmanEVP2 3, ChapmanEVP3 3, Exp3P2 3 -> Ratkowsky4339, LangmuirTS1 4, LangmuirTS2 4, Rational4P 4, ExpCSum1 4, ExpCSum2 4, ExpCSumEVP 4, HyperbolaGen 4, Prunty 4, BentHyperblSmp 4, ExpGrowth 2, TimePow 2 -> Freundlich"

# The expected-value forms read their anchor values too: the table gives the true count.
READS = {'BoxLucas1EVP': 3, 'Log2P1EVP': 3, 'Log2P2EVP': 4, 'Exp2PEVP': 4, 'HyperbolaEVP': 4,
         'ReciprocalEVP': 4, 'Ratkowsky2P1EVP': 3, 'Ratkowsky2P2EVP': 3, 'Ratkowsky2P3EVP': 3,
         'FreundlichEVP': 4, 'Freundlich3PEVP1': 4, 'Freundlich3PEVP2': 5, 'FreundlichEXTEVP': 4,
         'BlNeldEVP': 5, 'HarrisEVP': 5}
for r in ['LogarithmEVP', 'Reciprocal0EVP', 'ExponentEVP', 'PowerEVP', 'Reciprocal1EVP',
          'ParetoEVP', 'Exponent2EVP', 'Exponent3EVP']:
    READS[r] = 2
TWO_X = {'Cole', 'BatesWatts'}
# Query answers 0: numerical derivatives (including the rows that compute no model).
Q0 = set("""Cole BoxLucas1 Stirling MWChang BatesWatts BoxLucas2 SLogistic2 Giddings Beta LogistPK
GaussAmp PolyN Kinetic GaussMod GCAS ECS CCE PolyCtr5 Asym2Sig Weibull3 Voigt5 PsdVoigt1
PsdVoigt2 PearsonVII Sine SineSqr SineDamp Exponential InvsPoly Freundlich3PEVP2 BlNeldEVP
HarrisEVP RationalEVP BelehradekEVP ChapmanEVP1 ChapmanEVP2 ChapmanEVP3 LangmuirTS1 LangmuirTS2
Rational4P ExpCSum1 ExpCSum2 ExpCSumEVP HyperbolaGen Prunty BentHyperblSmp""".split())


def parse(block):
    rows = []
    for item in block.split(', '):
        m = re.match(r'(\w+) (\d)(?: -> (\w+))?$', item)
        rows.append((m.group(1), int(m.group(2)), m.group(3) or m.group(1)))
    return rows


table = []
for (r, n, e), o in zip(parse(B1), range(101, 136)):
    table.append((r, n, e, o))
for (r, n, e), o in zip(parse(B2), list(range(201, 218)) + [221, 222, 223, 0, 0, 0]):
    table.append((r, n, e, o))
for (r, n, e), o in zip(parse(B3), range(301, 334)):
    table.append((r, n, e, o))
ords = iter(list(range(401, 432)) + list(range(433, 498)))
for r, n, e in parse(B4):
    table.append((r, n, e, 2000 if r == 'errtest' else 0 if r == 'TimePow' else next(ords)))
assert len(table) == 189
for r, n, e, o in table:
    out.append(f"table|{r}|{2 if r in TWO_X else 1}|{READS.get(r, n)}|{0 if r in Q0 else 1}|"
               f"{e if o else '-'}|{o}")
for name, o in [('Boltzman1', 220), ('get_funx_list', 2), ('get_funx', 3), ('FuncTest', 5),
                ('Get_Func', 50)]:
    out.append(f"export|{name}|{o}")

ROWINFO = {r: (n, e) for r, n, e, o in table}


def nparams(row):
    return READS.get(row, ROWINFO[row][0]) if row in ROWINFO else 3


# ----------------------------------------------------------------------------------------
# Cases.

def case(row, mode, narg, xs, ps, result, ys, ds, rtol):
    out.append('case|%s|%d|%d|%s|%s|%d|%s|%s|%g' % (
        row, mode, narg, ','.join(fmt(v) for v in xs), ','.join(fmt(v) for v in ps), result,
        ','.join(fmt(v) for v in ys), ','.join(fmt(v) for v in ds), rtol))


def P(ps):
    return [None] + [mpf(v) for v in ps]


def model(row, f, points, fails=(), deriv=None, tol=1e-12, dtol=None, peaks=0, narg=None):
    """f(p, x) with 1-based p and x gives y, or (y, [peak values]) for a peak function.
    Every point gives a value case, and a derivative case (derivatives by mpmath.diff of f)
    when the row has a derivative block. fails: (params, x, modes) that must fail."""
    n = nparams(row)
    if deriv is None:
        deriv = row not in Q0
    dtol = dtol or tol * 10
    for ps, xs in points:
        xs = xs if isinstance(xs, (tuple, list)) else (xs,)
        na = narg if narg is not None else len(ps)
        p = P(ps)
        x = [None] + [mpf(v) for v in xs]
        v = f(p, x)
        ys = [v[0]] + list(v[1]) if isinstance(v, tuple) else [v]
        case(row, 2, na, xs, ps, 0, ys, [], tol)
        if deriv:
            y0 = ys[0]
            ds = []
            for j in range(1, len(ps) + 1):
                def g(t, j=j):
                    q = list(p)
                    q[j] = t
                    r = f(q, x)
                    return r[0] if isinstance(r, tuple) else r
                ds.append(diff(g, p[j]))
            case(row, 4, na, xs, ps, 0, ys, ds, dtol)
    for item in fails:
        ps, xs, modes = item
        xs = xs if isinstance(xs, (tuple, list)) else (xs,)
        for m in modes:
            case(row, int(m), narg if narg is not None else len(ps), xs, ps, 1, [M], [], tol)


def raw(row, mode, ps, xs, result, ys, ds=(), rtol=1e-12, narg=None):
    xs = xs if isinstance(xs, (tuple, list)) else (xs,)
    case(row, mode, narg if narg is not None else len(ps), xs, ps, result, ys, list(ds), rtol)


L10 = mpf('2.302585093')

# --- Yield, growth and dose-response -----------------------------------------------------
model('Shah', lambda p, x: p[1] + p[2] * x[1] + p[3] * p[4] ** x[1],
      [((1, 2, 3, 0.5), 1.5), ((-2, 0.5, 4, 0.9), 7)],
      [((1, 2, 3, 1), 1, '24'), ((1, 2, 3, 0), 1, '24')])
model('YldFert', lambda p, x: p[1] + p[2] * p[3] ** x[1],
      [((1, 2, 0.5), 1.5), ((2, 3, 0.8), -1.2)],
      [((1, 2, 1.000001), 1, '24')])
model('YldFert1', lambda p, x: p[1] + p[2] * exp(-p[3] * x[1]), [((1, 2, 0.5), 1.5), ((3, -1, 2), 0.25)])
model('Allometric1', lambda p, x: p[1] * x[1] ** p[2], [((2, 0.7), 1.5), ((-1, 2.5), 0.3)],
      [((1, 2), 0, '24')])
model('Allometric2', lambda p, x: p[1] + p[2] * x[1] ** p[3], [((1, 2, 0.7), 1.5), ((0.5, -1, 2.5), 3)],
      [((1, 2, 3), -1, '24')])
model('Cole', lambda p, x: x[1] ** p[1] * (p[2] + p[3] * x[2]), [((0.5, 2, 3), (1.5, 2)), ((2, -1, 1), (3, 0.5))])
model('Holliday', lambda p, x: 1 / (p[1] + p[2] * x[1] + p[3] * x[1] ** 2), [((1, 2, 3), 0.5), ((2, -1, 0.5), 3)],
      [((-1, 1, 0), 1, '24')])
model('Holliday1', lambda p, x: p[1] / (1 + p[2] * x[1] + p[3] * x[1] ** 2), [((5, 2, 3), 0.5), ((2, -1, 0.5), 3)])
model('MicMent', lambda p, x: p[1] * x[1] / (p[2] + x[1]), [((5, 2), 0.5), ((2, 3), 7)], [((5, -2), 2, '24')])
model('BoxLucas1', lambda p, x: p[1] * (1 - exp(-p[2] * x[1])), [((213.80940889, 0.54723748542), 3), ((2, 0.1), 5), ((2, 0.5), 1e-9)],
      deriv=True)
model('BoxLucas1Mod', lambda p, x: p[1] * (1 - p[2] ** x[1]), [((2, 0.5), 1.5), ((3, 0.9), 7)], [((2, 0), 1, '24')])
model('BoxLucas1EVP', lambda p, x: p[2] * (1 - p[3] ** x[1]) / (1 - p[3] ** p[1]),
      [((2, 3, 0.5), 1.5), ((1, 4, 0.8), 3), ((2, 5, 1.5), 0.7)],
      [((2, 3, 1), 1, '24'), ((0, 3, 0.5), 1, '24'), ((2, 3, -0.5), 1, '24')])
raw('BoxLucas1EVP', 2, (2, 3, 0.5), 2, 0, [3])
# B = p3^p1 underflows to 0: no range error, the value is p2 (1 - A).
raw('BoxLucas1EVP', 2, (2000, 3, 0.5), 1.5, 0, [3 * (1 - mpf(0.5) ** mpf(1.5))])
model('Stirling', lambda p, x: p[1] + p[2] * (exp(p[3] * x[1]) - 1) / p[3],
      [((1, 2, 0.5), 1.5), ((1, 2, 1e-9), 0.5), ((0, 1, -2), 3)], [((1, 2, 0), 1, '2')])
model('Gunary', lambda p, x: x[1] / (p[1] + p[2] * x[1] + p[3] * sqrt(x[1])), [((1, 2, 3), 0.5), ((2, 0.5, 1), 4)],
      [((1, 2, 3), -1, '24')])
raw('Gunary', 2, (1, 2, 3), 0, 0, [0])
model('BlNeldSmp', lambda p, x: (p[1] + p[2] * x[1]) ** (-1 / p[3]), [((1, 2, 0.5), 1.5), ((3, 0.5, -2), 2)],
      [((1, -2, 1), 1, '24'), ((1, 2, 0), 1, '24')])
model('BlNeld', lambda p, x: (p[1] + p[2] * x[1] ** p[4]) ** (-1 / p[3]), [((1, 2, 0.5, 1.3), 1.5), ((3, 0.5, 2, 0.7), 2)],
      [((1, 2, 0, 1), 1, '24'), ((-3, 1, 1.5, 1), 1, '4')])

# --- Two-parameter logarithmic, exponential, reciprocal and power models ----------------
model('Log2P1', lambda p, x: p[2] * log(x[1] - p[1]), [((1, 2), 3.5), ((-2, 0.5), 0.1)], [((1, 2), 1, '24')])
model('Log2P1EVP', lambda p, x: p[3] * log(x[1] - p[1] + exp(p[2] / p[3])), [((1, 2, 3), 2.5), ((0.5, -1, 2), 3)],
      [((1, 2, 0), 3, '24')])
raw('Log2P1EVP', 2, (1, 2, 3), 1, 0, [2])
model('Log2P2', lambda p, x: log(p[1] + p[2] * x[1]), [((1, 2), 3.5), ((4, -0.5), 2)], [((1, -2), 1, '24')])
model('Log2P2EVP', lambda p, x: log(((x[1] - p[1]) * exp(p[4]) + (p[3] - x[1]) * exp(p[2])) / (p[3] - p[1])),
      [((1, 2, 5, 3), 2.5), ((0, -1, 2, 1), 3)], [((1, 2, 1, 3), 2, '24')])
raw('Log2P2EVP', 2, (1, 2, 5, 3), 5, 0, [3])
model('Exp2P', lambda p, x: p[1] * p[2] ** x[1], [((2, 1.5), 2.5), ((-1, 0.3), -2)], [((2, 0), 1, '24')])
model('Exp2PMod1', lambda p, x: p[1] * exp(p[2] * x[1]), [((2, 1.5), 2.5), ((-1, -0.3), -2)], [((1, 800), 1, '24')])
model('Exp2PMod2', lambda p, x: exp(p[1] + p[2] * x[1]), [((2, 1.5), 2.5), ((-1, -0.3), -2)])
model('Exp2PEVP', lambda p, x: p[2] ** ((x[1] - p[3]) / (p[1] - p[3])) * p[4] ** ((p[1] - x[1]) / (p[1] - p[3])),
      [((1, 2, 3, 5), 2.5), ((0, 0.5, 2, 4), 3)], [((1, 2, 1, 5), 2, '24'), ((1, -2, 3, 5), 2, '24')])
raw('Exp2PEVP', 2, (1, 2, 3, 5), 3, 0, [5])
model('RectHyperbola', lambda p, x: p[1] * p[2] * x[1] / (1 + p[2] * x[1]), [((2, 1.5), 2.5), ((3, 0), 2), ((-1, 0.5), 4)],
      [((2, -1), 1, '24')])
model('HyperbolaMod', lambda p, x: x[1] / (p[1] * x[1] + p[2]), [((2, 1.5), 2.5), ((-1, 0.5), 4)])
model('HyperbolaEVP', lambda p, x: (p[3] - p[1]) * p[4] * p[2] * x[1] /
      ((x[1] - p[1]) * p[3] * p[2] + (p[3] - x[1]) * p[4] * p[1]),
      [((1, 2, 3, 5), 2.5), ((1, 0, 3, 5), 2), ((2, 1, 2, 3), 4)])
raw('HyperbolaEVP', 2, (1, 2, 3, 5), 1, 0, [2])
raw('HyperbolaEVP', 2, (1, 2, 3, 5), 3, 0, [5])
model('Reciprocal', lambda p, x: 1 / (p[1] + p[2] * x[1]), [((2, 1.5), 2.5), ((-1, 0.5), 4)], [((2, -1), 2, '24')])
model('ReciprocalMod', lambda p, x: p[1] / (1 + p[2] * x[1]), [((2, 1.5), 2.5), ((-1, 0.5), 4)])
model('ReciprocalEVP', lambda p, x: (p[3] - p[1]) * p[2] * p[4] / ((x[1] - p[1]) * p[2] + (p[3] - x[1]) * p[4]),
      [((1, 2, 3, 5), 2.5), ((0, 1, 2, 3), 4)])
raw('ReciprocalEVP', 2, (1, 2, 3, 5), 3, 0, [5])
model('LineMod', lambda p, x: p[1] * (x[1] - p[2]), [((2, 1.5), 2.5), ((-1, 0.5), -4)])
model('Pow2P3', lambda p, x: 1 - (p[1] * x[1] + 1) ** (-p[2]), [((2, 1.5), 2.5), ((0.5, -0.7), 4)], [((-1, 1), 2, '24')])
model('Ratkowsky2P1EVP', lambda p, x: 1 - (1 - p[2]) ** (log(p[3] * x[1] + 1) / log(p[3] * p[1] + 1)),
      [((2, 0.5, 1.5), 2.5), ((1, 0.3, 0.5), 4)], [((2, 1.5, 1.5), 2, '24'), ((0, 0.5, 1), 2, '24')])
raw('Ratkowsky2P1EVP', 2, (2, 0.5, 1.5), 2, 0, [0.5])
model('Bradley', lambda p, x: p[1] * log(-p[2] * log(x[1])), [((2, 1.5), 0.5), ((-1, -0.5), 4)],
      [((2, 1.5), 2, '24'), ((2, 0), 0.5, '24')])
model('Pow2P1', lambda p, x: p[1] * (1 - x[1] ** (-p[2])), [((2, 1.5), 2.5), ((-1, 0.5), 4)], [((2, 1), 0, '24')])
model('Ratkowsky2P2EVP', lambda p, x: p[2] * (1 - x[1] ** (-p[3])) / (1 - p[1] ** (-p[3])),
      [((2, 3, 1.5), 2.5), ((4, 1, 0.5), 3)], [((1, 3, 1.5), 2, '24'), ((2, 3, 0), 2, '24'), ((2, 3, 1), 0, '24')])
raw('Ratkowsky2P2EVP', 2, (2, 3, 1.5), 2, 0, [3])
model('Pow2P2', lambda p, x: p[1] * (x[1] + 1) ** p[2], [((2, 1.5), 2.5), ((-1, -0.5), 4)], [((2, 1), -1, '24')])
model('Ratkowsky2P3EVP', lambda p, x: p[2] * ((x[1] + 1) / (p[1] + 1)) ** p[3], [((2, 3, 1.5), 2.5), ((1, 2, -0.5), 4)],
      [((-1, 3, 1), 2, '24')])
raw('Ratkowsky2P3EVP', 2, (2, 3, 1.5), 2, 0, [3])

# --- Isotherms and asymptotic regression --------------------------------------------------
model('Freundlich', lambda p, x: p[1] * x[1] ** p[2], [((2, 0.7), 1.5), ((0.76886226176, 3.8604055871), 1.309)],
      [((1, 2), 0, '24')])
model('TimePow', lambda p, x: p[1] * x[1] ** p[2], [((2, 0.7), 1.5)])
model('FreundlichMod1', lambda p, x: p[1] * x[1] ** (1 / p[2]), [((2, 0.7), 1.5), ((3, -2), 4)], [((2, 0), 1, '24')])
model('FreundlichEVP', lambda p, x: p[2] * (p[4] / p[2]) ** (log(x[1] / p[1]) / log(p[3] / p[1])),
      [((1, 2, 3, 5), 2.5), ((0.5, 1, 2, 0.5), 4)], [((1, 2, 1, 5), 2, '24'), ((1, 2, 3, 5), 0, '24')])
raw('FreundlichEVP', 2, (1, 2, 3, 5), 3, 0, [5])
model('Freundlich3P', lambda p, x: p[1] + p[2] * x[1] ** p[3], [((1, 2, 0.7), 1.5), ((0, 3, -2), 4)])
model('Freundlich3PMod', lambda p, x: p[1] + p[2] * x[1] ** (1 / p[3]), [((1, 2, 0.7), 1.5), ((0, 3, -2), 4)],
      [((1, 2, 0), 1, '24')])
raw('Freundlich3PMod', 4, (1, 2, 0.5), 0, 0, [1], [1, 0, 0])
model('Freundlich3PEVP1', lambda p, x: p[2] + p[3] * (x[1] ** p[4] - p[1] ** p[4]), [((1, 2, 3, 0.5), 2.5), ((2, 1, 0.5, 1.5), 4)],
      [((1, 2, 3, 0.5), 0, '24')])
raw('Freundlich3PEVP1', 2, (1.5, 2, 3, 0.5), 1.5, 0, [2])
model('Freundlich3PEVP2', lambda p, x: p[1] + (p[3] - p[1]) * ((p[5] - p[1]) / (p[3] - p[1])) ** (log(x[1] / p[2]) / log(p[4] / p[2])),
      [((1, 2, 3, 5, 4), 2.5), ((0, 1, 2, 3, 5), 4)], [((1, 2, 3, 2, 4), 2.5, '24'), ((3, 2, 3, 5, 4), 2.5, '24')])
raw('Freundlich3PEVP2', 2, (1, 2, 3, 5, 4), 5, 0, [4])
model('FreundlichEXT', lambda p, x: p[1] * x[1] ** (p[2] * x[1] ** (-p[3])), [((2, 0.7, 0.3), 1.5), ((1, 2, -0.5), 0.5)])
model('FreundlichEXTEVP', lambda p, x: p[2] * x[1] ** (p[3] * x[1] ** (-p[4])) / p[1] ** (p[3] * p[1] ** (-p[4])),
      [((2, 3, 0.7, 0.3), 1.5), ((0.5, 1, 2, -0.5), 3)])
raw('FreundlichEXTEVP', 2, (2, 3, 0.7, 0.3), 2, 0, [3])
model('LangmuirEXT1', lambda p, x: p[1] * p[2] * x[1] ** (1 - p[3]) / (1 + p[2] * x[1] ** (1 - p[3])),
      [((2, 1.5, 0.3), 2.5), ((1, 0.5, 1.5), 4)], [((2, 1.5, 0.3), 0, '24')])
model('LangmuirEXT2', lambda p, x: 1 / (p[1] + p[2] * x[1] ** (p[3] - 1)), [((2, 1.5, 0.3), 2.5), ((1, 0.5, 2.5), 4)])
raw('LangmuirEXT2', 2, (2, 1.5, 1e6), 10, 0, [0])
raw('LangmuirEXT2', 4, (2, 1.5, 1e6), 10, 1, [M])
model('BET', lambda p, x: p[1] * p[2] * x[1] / ((1 - x[1]) * (1 + (p[2] - 1) * x[1])), [((2, 1.5), 0.3), ((1, 5), 0.7)],
      [((2, 1.5), 1, '24')])
model('BETMod', lambda p, x: x[1] / (p[1] + p[2] * x[1] - (p[1] + p[2]) * x[1] ** 2), [((2, 1.5), 0.3), ((1, 5), 0.7)])
model('Asymptotic1', lambda p, x: p[1] - p[2] * p[3] ** x[1], [((2, 1.5, 0.3), 2.5), ((1, -2, 0.9), 4)],
      [((2, 1.5, 1), 1, '24')])
model('Asymptotic2', lambda p, x: p[1] - p[2] * exp(-p[3] * x[1]), [((2, 1.5, 0.3), 2.5), ((1, -2, 0.9), 4)])
model('Asymptotic3', lambda p, x: p[1] * (1 - exp(-p[3] * (x[1] - p[2]))), [((2, 1.5, 0.3), 2.5), ((1, -2, 0.9), 4), ((2, 1.5, 0.3), 1.5 + 1e-9)])
model('Asymptotic4', lambda p, x: p[1] + (p[3] - p[1]) * p[2] ** x[1], [((2, 0.3, 1.5), 2.5), ((1, 0.9, -2), 4)],
      [((2, 1, 1.5), 1, '24')])
model('Asymptotic5', lambda p, x: p[1] + (p[3] - p[1]) * exp(-p[2] * x[1]), [((2, 0.3, 1.5), 2.5), ((1, 0.9, -2), 4)])
raw('Asymptotic5', 4, (2, 0.3, 1.5), 0, 0, [1.5], [0, 0, 1])
model('Asymptotic6', lambda p, x: p[1] - exp(-(p[2] + p[3] * x[1])), [((2, 1.5, 0.3), 2.5), ((1, -2, 0.9), 4)])
model('Asymptotic7', lambda p, x: p[1] + p[2] * (1 - exp(-p[3] * x[1])), [((2, 1.5, 0.3), 2.5), ((1, -2, 0.9), 4)])
raw('Asymptotic7', 2, (2, 1.5, 0.3), 0, 0, [2])
raw('Asymptotic7', 4, (2, 1.5, 0.3), 0, 0, [2], [1, 0, 0])

# --- Rational, hyperbolic and three-parameter models --------------------------------------
model('BlNeldEVP', lambda p, x: p[2] * p[4] * ((p[3] - p[1]) / ((x[1] - p[1]) * p[2] ** p[5] + (p[3] - x[1]) * p[4] ** p[5])) ** (1 / p[5]),
      [((1, 2, 3, 5, 0.7), 2.5), ((0.5, 1, 2, 0.5, -1), 3)], [((1, 2, 1, 5, 0.7), 2, '2'), ((1, 2, 3, 5, 0), 2, '2')])
raw('BlNeldEVP', 2, (1, 2, 3, 5, 0.7), 3, 0, [5])
raw('BlNeldEVP', 4, (1, 2, 3, 5, 0.7), 2, 1, [M], [M] * 5)
model('Harris', lambda p, x: 1 / (p[1] + p[2] * x[1] ** p[3]), [((2, 1.5, 0.7), 2.5), ((1, -0.2, 2), 4)])
raw('Harris', 4, (2, 1.5, 2), -1, 1, [1 / 3.5], [-1 / 3.5 ** 2, -1 / 3.5 ** 2, M])
model('HarrisEVP', lambda p, x: p[2] * p[4] * (p[3] ** p[5] - p[1] ** p[5]) /
      ((p[3] ** p[5] - x[1] ** p[5]) * p[4] + (x[1] ** p[5] - p[1] ** p[5]) * p[2]),
      [((1, 2, 3, 5, 0.7), 2.5), ((0.5, 1, 2, 0.5, -1), 3)], [((1, 2, 1, 5, 0.7), 2, '2')])
raw('HarrisEVP', 4, (1, 2, 3, 5, 0.7), 2, 1, [M], [M] * 5)
model('Rational0', lambda p, x: (p[2] + p[3] * x[1]) / (1 + p[1] * x[1]), [((2, 1.5, 0.7), 2.5)], [((-1, 1, 1), 1, '24')])
model('Rational1', lambda p, x: (1 + p[3] * x[1]) / (p[1] + p[2] * x[1]), [((2, 1.5, 0.7), 2.5)])
model('Rational2', lambda p, x: (p[2] + p[3] * x[1]) / (p[1] + x[1]), [((2, 1.5, 0.7), 2.5)])
model('Rational3', lambda p, x: (p[2] + x[1]) / (p[1] + p[3] * x[1]), [((2, 1.5, 0.7), 2.5)])
model('Rational4', lambda p, x: p[3] + p[2] / (p[1] + x[1]), [((2, 1.5, 0.7), 2.5), ((0, 2, 1), 1)])
model('Belehradek', lambda p, x: p[1] * (x[1] - p[2]) ** p[3], [((2, 1.5, 0.7), 2.5), ((1, -2, 2.5), 4)])
model('Log3P1', lambda p, x: p[1] - p[2] * log(p[3] + x[1]), [((2, 1.5, 0.7), 2.5)], [((2, 1.5, -3), 2, '24')])
model('Exp3P1', lambda p, x: p[1] * exp(p[2] / (p[3] + x[1])), [((0.0056096364710, 6181.3463463, 345.22363462), 50), ((2, 1.5, 0.7), 2.5)])
model('Exp3P1Md', lambda p, x: exp(p[1] + p[2] / (p[3] + x[1])), [((0.5, 1.5, 0.7), 2.5)])
model('Chapman', lambda p, x: p[1] * (1 - exp(-p[2] * x[1])) ** p[3], [((2, 1.5, 0.7), 2.5), ((1, 0.2, 2.5), 4), ((2, 1.5, 0.7), 1e-9)])
model('Exp3P2', lambda p, x: exp(p[1] + p[2] * x[1] + p[3] * x[1] ** 2), [((0.5, 1.5, -0.7), 2.5)], [((700, 0, 0), 1, '24')])
model('HyperbolaGen', lambda p, x: p[1] - p[2] / (1 + p[3] * x[1]) ** (1 / p[4]), [((2, 1.5, 0.7, 2), 2.5)])
for stub in ['RationalEVP', 'BelehradekEVP', 'ChapmanEVP1', 'ChapmanEVP2', 'ChapmanEVP3', 'Prunty', 'LangmuirTS1',
             'LangmuirTS2', 'Rational4P', 'ExpCSum1', 'ExpCSum2', 'ExpCSumEVP', 'BentHyperblSmp']:
    ps = (1, 2, 3, 4)[:nparams(stub)]
    raw(stub, 2, ps, 1, 1, [M])
    raw(stub, 4, ps, 1, 1, [M], [M] * len(ps))

# --- Growth and sigmoid models -------------------------------------------------------------
model('ExpGrowth', lambda p, x: exp((x[1] - p[1]) * p[2]), [((2, 1.5), 2.5), ((1, -0.3), -2)])
raw('ExpGrowth', 4, (2, 1.5), 2, 0, [1], [-1.5, 0])
model('Hill', lambda p, x: p[1] / (1 + (p[2] / x[1]) ** p[3]), [((2, 1.5, 0.7), 2.5), ((1, 3, 2), 4)],
      [((2, 1.5, 0.7), -1, '24')])
raw('Hill', 2, (2, 1.5, 0.7), 0, 0, [0])
raw('Hill', 2, (2, 1.5, -0.7), 0, 0, [2])
raw('Hill', 4, (2, 1.5, 0.7), 0, 1, [M], [M] * 3)
raw('Hill', 4, (2, 1e200, 2), 1e-200, 0, [0], [0, 0, 0])
model('Reich', lambda p, x: p[1] * exp(-p[2] * x[1]) + p[3] * exp(-p[4] * x[1]), [((2, 1.5, 0.7, 0.2), 2.5)])
model('MWChang', lambda p, x: p[1] * p[3] * x[1] / (1 + p[3] * x[1]), [((2, 1.5, 0.7, 2, 0.5), 2.5)])
model('BatesWatts', lambda p, x: p[1] * p[3] * x[1] / (1 + p[1] * x[1] + p[2] * x[2]), [((2, 1.5, 0.7), (2.5, 3)), ((0.5, -0.1, 2), (1, 4))])
model('BoxLucas2', lambda p, x: p[1] * (exp(-p[2] * x[1]) - exp(-p[1] * x[1])) / (p[1] - p[2]), [((2, 1.5), 2.5)], [((2, 2), 2.5, '2')])
model('Nelder', lambda p, x: (p[1] + x[1]) / (p[2] + p[3] * (p[1] + x[1]) + p[4] * (p[1] + x[1]) ** 2), [((2, 1.5, 0.7, 0.2), 2.5)])
raw('Nelder', 2, (2, 1.5, 0.7, 0.2), -2, 0, [0])
model('Richards', lambda p, x: p[1] * (1 + exp(-(p[2] + p[3] * x[1]) / p[4])) ** (-p[4]),
      [((2, 1.5, 0.7, 0.5), 2.5), ((72.462237576, -2.6180768402 / 0.4, 0.067359200066 / 0.4, 1 / 0.4), 9)])
raw('Richards', 2, (2, 1.5, 0.7, 0), 2.5, 0, [2])
model('ExpLinear', lambda p, x: p[1] * exp(-x[1] / p[2]) + p[3] + p[4] * x[1], [((2, 1.5, 0.7, 0.2), 2.5)],
      [((2, 1, 0.7, 0.2), -800, '24')])
model('MnMolecular', lambda p, x: p[1] * (1 - exp(-p[3] * (x[1] - p[2]))), [((2, 1.5, 0.7), 2.5), ((1, -2, 0.3), 4), ((2, 1.5, 0.7), 1.5 + 1e-9)])
model('MnMolecular1', lambda p, x: p[1] - p[2] * exp(-p[3] * x[1]), [((2, 1.5, 0.7), 2.5)])
model('SLogistic1', lambda p, x: p[1] / (1 + exp(-p[3] * (x[1] - p[2]))), [((2, 1.5, 0.7), 2.5)], [((-2, 1.5, 0.7), 2.5, '24')])
raw('SLogistic1', 2, (2, 1.5, 1000), 0, 0, [0])
model('SLogistic2', lambda p, x: p[2] / (1 + (p[2] - p[1]) * exp(-4 * p[3] * x[1] / p[2]) / p[1]), [((1, 2, 0.7), 2.5)],
      [((2, 2, 0.7), 1, '2')])
raw('SLogistic2', 2, (1, 2, 0.7), 0, 0, [1])
model('SLogistic3', lambda p, x: p[1] / (1 + p[2] * exp(-p[3] * x[1])), [((2, 1.5, 0.7), 2.5), ((72.462237576, 13.708, 0.067359200066), 9)])
model('SGompertz', lambda p, x: p[1] * exp(-exp(-p[3] * (x[1] - p[2]))), [((2, 1.5, 0.7), 2.5)])


def srichards1(p, x):
    A = p[1] ** (1 - p[3])
    E = exp(-p[4] * (x[1] - p[2]))
    B = A - E if p[3] < 1 else A + E
    return B ** (1 / (1 - p[3]))


model('SRichards1', srichards1, [((2, 1.5, 0.7, 0.3), 2.5), ((2, 1.5, 1.7, 0.3), 2.5)], [((2, 1.5, 1, 0.3), 2.5, '24')])
model('SRichards2', lambda p, x: p[1] * (1 - (1 - p[3]) * exp(-p[4] * (x[1] - p[2]))) ** (1 / (1 - p[3])),
      [((2, 1.5, 0.7, 0.3), 2.5), ((2, 1.5, 1.7, 0.3), 2.5)], [((2, 1.5, 1, 0.3), 2.5, '24')])
model('SWeibull1', lambda p, x: p[1] * (1 - exp(-((x[1] - p[2]) * p[4]) ** p[3])), [((2, 1.5, 0.7, 0.3), 2.5)])
raw('SWeibull1', 2, (2, 1.5, 2, 0.3), 1, 0, [0])
raw('SWeibull1', 4, (2, 1.5, 2, 0.3), 1, 0, [0], [0, 0, 0, 0])
model('SWeibull2', lambda p, x: p[1] - (p[1] - p[2]) * exp(-(p[4] * x[1]) ** p[3]), [((2, 1.5, 0.7, 0.3), 2.5)],
      [((2, 1.5, 0.7, 0), 2.5, '24')])

# --- Polynomial, peak, exponential and dose-response models -------------------------------
model('PolyN', lambda p, x: sum(p[k] * x[1] ** (k - 1) for k in range(1, len(p))), [((1, 2, 3), 2), ((1, -2, 3, 0.5, 0.25), 1.5)])


def gauss(p, x):
    n = len(p) - 1
    peaks = []
    for k in range(1, (n - 1) // 3 + 1):
        xc, w, A = p[3 * k - 1], p[3 * k], p[3 * k + 1]
        peaks.append(A * exp(-2 * ((x[1] - xc) / w) ** 2) / (w * mpf('1.253314137316')))
    return p[1] + sum(peaks), peaks


def lorentz(p, x):
    n = len(p) - 1
    peaks = []
    for k in range(1, (n - 1) // 3 + 1):
        xc, w, A = p[3 * k - 1], p[3 * k], p[3 * k + 1]
        peaks.append(A * mpf(0.6366197723675814) * w / (w * w + 4 * (x[1] - xc) ** 2))
    return p[1] + sum(peaks), peaks


# The Gauss derivative block forms its exponent with the twelve-digit sqrt(2): 1e-11.
model('Gauss', gauss, [((0.5, 1, 2, 3), 1.7), ((0, 2, 0.8, 1.5, 3, 1.2, -2), 2.4), ((0, 1.5543827178, 4.0888321754, 1.5543827178 * 4.0888321754 * 1.2533141373155), 1.55)],
      [((0.5, 1, 0, 3), 1.7, '24'), ((0.5, 1, -2, 3), 1.7, '24')], dtol=1e-10)
model('Lorentz', lorentz, [((0.5, 1, 2, 3), 1.7), ((0, 2, 0.8, 1.5, 3, 1.2, -2), 2.4)], [((0.5, 1, 0, 3), 1.7, '24'),
      ((0, 2, 0.8, 1.5, 3, 0, -2), 2.4, '24')])
# n = 6: one peak, p5 and p6 not read; a second peak of area 0 is skipped (y[3] left as it
# was) and has derivatives 0.
raw('Gauss', 2, (0.5, 1, 2, 3, 99, 99), 1.7, 0, [gauss([None] + [mpf(v) for v in (0.5, 1, 2, 3)], [None, mpf(1.7)])[0]])
raw('Gauss', 2, (0.5, 1, 2, 3, 2, 0, 0), 1.7, 0, [gauss([None] + [mpf(v) for v in (0.5, 1, 2, 3)], [None, mpf(1.7)])[0], '-', '-'])
raw('Gauss', 4, (0.5, 1, 2, 3, 2, 0, 0), 1.7, 0, ['-'], ['-', '-', '-', '-', 0, 0, 0])
# A zero coefficient adds nothing even where its power of x overflows.
raw('PolyN', 2, (1, 0, 0), 1e200, 0, [1])
model('Rational', lambda p, x: (p[1] + p[2] * x[1]) / (p[3] + p[4] * x[1]), [((2, 1.5, 0.7, 0.2), 2.5)])


def expdecay(p, x, terms):
    if x[1] < p[2]:
        return p[1]
    return p[1] + sum(p[3 + 2 * j] * exp((p[2] - x[1]) / p[4 + 2 * j]) for j in range(terms))


model('ExpDecay1', lambda p, x: expdecay(p, x, 1), [((0.5, 1, 2, 3), 1.7)])
raw('ExpDecay1', 2, (0.5, 1, 2, -3), 0.5, 0, [0.5])
raw('ExpDecay1', 4, (0.5, 1, 2, -3), 0.5, 1, [M], [M] * 4)
model('ExpDecay2', lambda p, x: expdecay(p, x, 2), [((0.5, 1, 2, 3, -1, 0.5), 1.7)])
model('ExpDecay3', lambda p, x: expdecay(p, x, 3), [((0.5, 1, 2, 3, -1, 0.5, 0.7, 2), 1.7)])
model('Kinetic', lambda p, x: expdecay(p, x, 3), [((0.5, 1, 2, 3, -1, 0.5, 0.7, 2), 1.7)])
model('Logistic', lambda p, x: p[2] + (p[1] - p[2]) / (1 + (x[1] / p[3]) ** p[4]), [((0.5, 1, 2, 3), 1.7)],
      [((0.5, 1, 0, 3), 1.7, '24')])
model('Boltzman', lambda p, x: p[2] + (p[1] - p[2]) / (1 + exp((x[1] - p[3]) / p[4])), [((0.5, 1, 2, 3), 1.7)])
raw('Boltzman', 2, (0.5, 1, 2, 1e-20), 1.7, 0, [0.5])
raw('Boltzman', 4, (0.5, 1, 2, 1e-20), 1.7, 1, [M], [])
raw('Boltzman', 2, (0.5, 1, 2, 0.1), 100, 0, [1])
model('ExpGrow1', lambda p, x: p[1] + p[3] * exp((x[1] - p[2]) / p[4]), [((0.5, 1, 2, 3), 1.7)])
model('ExpGrow2', lambda p, x: p[1] + p[3] * exp((x[1] - p[2]) / p[4]) + p[5] * exp((x[1] - p[2]) / p[6]), [((0.5, 1, 2, 3, -1, 0.5), 1.7)])
model('ExpAssoc', lambda p, x: p[1] + p[2] * (1 - exp(-x[1] / p[3])) + p[4] * (1 - exp(-x[1] / p[5])), [((0.5, 1, 2, 3, 0.5), 1.7)])
model('Pulse', lambda p, x: p[1] + p[3] * (1 - exp(-(x[1] - p[2]) / p[4])) ** p[5] * exp(-(x[1] - p[2]) / p[6]),
      [((0.5, 1, 2, 3, 1.5, 4), 1.7)])
raw('Pulse', 2, (0.5, 1, 2, 3, 1.5, 4), 0.2, 0, [0.5])
model('Hyperbl', lambda p, x: p[1] * x[1] / (p[2] + x[1]), [((2, 1.5), 2.5)], [((2, -2.5), 2.5, '24')])
model('Dhyperbl', lambda p, x: p[1] * x[1] / (p[2] + x[1]) + p[3] * x[1] / (p[4] + x[1]) + p[5] * x[1], [((2, 1.5, 0.7, 0.2, 3), 2.5)])
model('Power0', lambda p, x: p[1] + p[3] * abs(x[1] - p[2]) ** p[4], [((0.5, 1, 2, 1.5), 1.7), ((0.5, 1, 2, 2.5), -1.2)])
raw('Power0', 4, (0.5, 1, 2, 1.5), 1, 0, [0.5], [1, M, 0, M])
dose_tol = dict(dtol=1e-10)
model('Response1', lambda p, x: p[1] + (p[2] - p[1]) / (1 + 10 ** ((p[3] - x[1]) * p[4])), [((0.5, 1, 2, 3), 1.7)],
      [((1, 0.5, 2, 3), 1.7, '2')], **dose_tol)
raw('Response1', 2, (0.5, 1, 2, 3), 500, 0, [1])
raw('Response1', 4, (1, 0.5, 2, 3), 2, 0, [0.75])
model('Competition1', lambda p, x: p[2] + (p[1] - p[2]) / (1 + 10 ** (x[1] - p[3])), [((0.5, 1, 2), 1.7)], **dose_tol)
raw('Competition1', 2, (0.5, 1, 2), 1000, 0, [1])
# Exported without a row of the name table (found by its export name).
model('Boltzman1', lambda p, x: p[2] + (p[1] - p[2]) / (1 + 10 ** (p[3] - x[1])), [((0.5, 1, 2), 1.7)], **dose_tol)
raw('Boltzman1', 4, (0.5, 1, 2), -1000, 0, [1], [0, 1, 0])
raw('Competition1', 4, (0.5, 1, 2), 1000, 0, [1], [0, 1, 0])
model('Competition2', lambda p, x: p[2] + (p[1] - p[2]) * (p[5] / (1 + 10 ** (x[1] - p[3])) + (1 - p[5]) / (1 + 10 ** (x[1] - p[4]))),
      [((0.5, 1, 2, 3, 0.3), 1.7)], **dose_tol)
raw('Competition2', 2, (0.5, 1, -1000, 3, 0.3), 1.7, 0, [1 + (0.5 - 1) * 0.7 / (1 + 10 ** (1.7 - 3))])
model('Response2', lambda p, x: p[1] + (p[2] - p[1]) / (1 + 10 ** ((x[1] - p[4]) * p[6])) + (p[3] - p[1]) / (1 + 10 ** ((p[5] - x[1]) * p[7])),
      [((0.5, 1, 2, 3, 1.5, 0.7, 1.2), 1.7)], **dose_tol)
raw('YldFert', 2, (3, -1, 1), 2, 0, [2])
# 10^((x - p4) p6) beyond the double range: that sigmoid term has reached 0, the other
# term still counts.
raw('Response2', 2, (0.5, 1, 2, 3, 1.5, 700, 1.2), 3.5, 0,
    [0.5 + mpf(1.5) / (1 + mpf(10) ** ((mpf(1.5) - mpf(3.5)) * mpf(1.2)))])
model('Binding1', lambda p, x: p[1] * x[1] / (p[2] + x[1]), [((2, 1.5), 2.5)], [((2, -2.5), 2.5, '24')])
model('Binding2', lambda p, x: x[1] * (p[1] / (p[3] + x[1]) + p[2] / (p[4] + x[1])), [((2, 1.5, 0.7, 0.2), 2.5)],
      [((2, 1.5, -2.5, 0.2), 2.5, '24')])

# --- Multi-peak and distribution peaks ------------------------------------------------------


def multipeak(k, amp, peak):
    def f(p, x):
        n = len(p) - 1
        vals = []
        for i in range((n - 1) // k):
            q = [None] + p[2 + k * i: 2 + k * (i + 1)]
            vals.append(mpf(0) if q[amp] == 0 else peak(q, x[1]))
        return p[1] + sum(vals), vals
    return f


def emg(q, x):
    A, xc, w, t0 = q[1:]
    return A / (2 * t0) * exp(w * w / (2 * t0 * t0) - (x - xc) / t0) * erfc((w / t0 - (x - xc) / w) / sqrt(2))


# The library evaluates erfc by a fit of fractional error 1.2e-7.
# The last point takes the exponentially scaled branch (the exponent 1250 alone overflows).
model('GaussMod', multipeak(4, 1, emg), [((0.5, 2, 1, 0.5, 0.8), 1.7), ((0.5, 2, 1, 0.5, -0.8), 0.2), ((0, 2, 1, 0.1, 0.5), 20),
                                         ((0, 2, 1, 1, 0.02), 1)], tol=1e-6)


def gcas(q, x):
    xc, A, w, a3, a4 = q[1:]
    u = (x - xc) / w
    return exp(-u * u / 2) * (1 + (u ** 3 - 3 * u) * a3 * mpf(0.16666666666666666) + (u ** 4 - 6 * u * u + 3) * a4 * mpf(0.041666666666666664)) * A / (w * mpf('2.506628275'))


def ecs(q, x):
    xc, A, w, a3, a4 = q[1:]
    u = (x - xc) / w
    return exp(-u * u / 2) * (1 + ((u ** 6 - 15 * u ** 4 + 45 * u * u - 15) * a3 * mpf(0.013888888888888888) + (u ** 3 - 3 * u) * mpf(0.16666666666666666)) * a3
                              + (u ** 4 - 6 * u * u + 3) * a4 * mpf(0.041666666666666664)) * A / (w * mpf('2.506628275'))


def cce(q, x):
    xc, A, w, k1, xc1, B, k2, xc2 = q[1:]
    e = x - xc2
    tail = exp((abs(e) + e) * k2 * mpf(-0.5)) * (1 - (1 - tanh((x - xc1) * k1)) * mpf(0.5)) * B
    return (exp(-(x - xc) ** 2 / (w + w)) + tail) * A


def lognormal(q, x):
    xc, w, A = q[1:]
    L = (log(x) - log(xc)) / (w * mpf('1.414213562373'))
    return exp(-L * L) * A / (w * x * mpf('2.506628274631'))


def asym2sig(q, x):
    xc, A, w1, w2, w3 = q[1:]
    return A / (1 + exp(-(x - xc + w1 / 2) / w2)) * (1 - 1 / (1 + exp(-(x - xc - w1 / 2) / w3)))


def weibull3(q, x):
    xc, A, w, m = q[1:]
    qm = 1 - 1 / m
    z = qm ** (1 / m) + (x - xc) / w
    return qm ** (-qm) * exp(qm - z ** m) * z ** (m - 1) * A


def voigt(q, x):
    xc, A, wG, wL = q[1:]
    sigma = wG / (2 * sqrt(2 * log(2)))
    z = mpc(x - xc, wL / 2) / (sigma * sqrt(2))
    return A * mre(exp(-z * z) * erfc(-mpc(0, 1) * z)) / (sigma * sqrt(2 * pi))


def psdvoigt(q, x, two):
    if two:
        xc, A, wG, wL, mu = q[1:]
    else:
        xc, A, wG, mu = q[1:]
        wL = wG
    d = x - xc
    return (exp(d * d * mpf('-2.77258872') / (wG * wG)) * (1 - mu) * mpf('0.939437278') / wG + wL * mu * mpf('0.636619772') / (4 * d * d + wL * wL)) * A


model('GCAS', multipeak(5, 2, gcas), [((0.5, 2, 1, 0.5, 0.1, 0.05), 1.7), ((0.5, 2, 1, 0.5, 0, 0), 2.2)])
model('ECS', multipeak(5, 2, ecs), [((0.5, 2, 1, 0.5, 0.1, 0.05), 1.7)])
model('CCE', multipeak(8, 2, cce), [((0.5, 2, 1, 0.5, 1.5, 1.8, 0.3, 0.8, 2.1), 2.5), ((0.5, 2, 1, 0.5, 1.5, 1.8, 0.3, 0.8, 2.1), 1.7)])
model('LogNormal', multipeak(3, 3, lognormal), [((0.5, 2, 0.5, 3), 1.7), ((0, 2, 0.5, 3, 4, 0.3, 1), 3.1)],
      [((0.5, 2, 0.5, 3), 0, '24'), ((0.5, 2, 0, 3), 1, '24')])
model('Asym2Sig', multipeak(5, 2, asym2sig), [((0.5, 2, 1, 0.5, 0.8, 0.3), 1.7)])
# The rising factor overflows far left of the peak: the peak's limit is 0, the falling
# factor's limit alone is 1.
raw('Asym2Sig', 2, (0.5, 2, 1, 0, 10, 0.01), 2 - 7.2, 0, [0.5 + float(asym2sig([None] + [mpf(v) for v in (2, 1, 0, 10, 0.01)], mpf(2 - 7.2))), float(asym2sig([None] + [mpf(v) for v in (2, 1, 0, 10, 0.01)], mpf(2 - 7.2)))])
model('Weibull3', multipeak(4, 2, weibull3), [((0.5, 2, 1, 0.5, 2.5), 2.1)])
# The six-term approximation of the Voigt function holds to about 1e-4.
model('Voigt5', multipeak(4, 2, voigt), [((0.5, 2, 1, 0.5, 0.3), 2.1), ((0, 2, 1, 0.5, 3), 2.4), ((0, 2, 1, 0.2, 0.01), 5),
                                         ((0, 2, 1, 0.5, 0.3, 4, 2, 0.3, 0.2), 2.6)], tol=1e-4)
model('PsdVoigt1', multipeak(4, 2, lambda q, x: psdvoigt(q, x, False)), [((0.5, 2, 1, 0.5, 0.3), 2.1)])
model('PsdVoigt2', multipeak(5, 2, lambda q, x: psdvoigt(q, x, True)), [((0.5, 2, 1, 0.5, 0.4, 0.3), 2.1)])


def pearson7(p, x):
    xc, A, w, m = p[1:]
    k = 2 ** (1 / m) - 1
    u = (x[1] - xc) / w
    return 2 * gamma(m) * sqrt(k) * A / (gamma(m - mpf(0.5)) * w * mpf(3.141592653589793)) * (4 * k * u * u + 1) ** (-m)


# The library's Gamma is the six-term Lanczos series, good to about 2e-10.
model('PearsonVII', pearson7, [((2, 1, 0.5, 1.5), 2.1), ((2, 1, 0.5, 0.6), 2.3)], [((2, 1, 0.5, 0.5), 2, '2')], tol=1e-9)

# --- Polynomials and binding ------------------------------------------------------------
for row, deg in [('Constant', 0), ('Line', 1), ('Parabola', 2), ('Cubic', 3), ('Poly4', 4), ('Poly5', 5)]:
    coeffs = (1.5, -2, 0.7, 0.3, -0.2, 0.05)[:deg + 1]
    model(row, lambda p, x: sum(p[k] * x[1] ** (k - 1) for k in range(1, len(p))), [(coeffs, 1.7), (coeffs, -0.6)])
model('PolyCtr5', lambda p, x: p[1] + sum(p[k] * (x[1] - p[2]) ** (k - 2) for k in range(3, 8)), [((1.5, 1, 0.7, 0.3, -0.2, 0.05, 0.01), 2.7)])
raw('PolyCtr5', 2, (1.5, 1, 0.7, 0.3, -0.2, 0.05, 0.01), 1, 0, [1.5])

# --- Exponential sums -------------------------------------------------------------------


def expsum(sign, terms, assoc=False):
    def f(p, x):
        s = p[1]
        for j in range(terms):
            E = exp(sign * x[1] / p[3 + 2 * j])
            s += p[2 + 2 * j] * ((1 - E) if assoc else E)
        return s
    return f


model('ExpDec1', expsum(-1, 1), [((0.5, 2, 1.5), 1.7), ((0.5, 2, -1.5), 1.7)], [((0.5, 2, 0), 1.7, '24')])
raw('ExpDec1', 2, (0.5, 2, 1), 400, 0, [0.5])
model('ExpDec2', expsum(-1, 2), [((0.5, 2, 1.5, -1, 0.3), 1.7), ((0, 9.81, 1 / 2.0, 0.5, 1 / 0.9), 3.0)])
raw('ExpDec2', 2, (0.5, 0, 0, 0, 0.3), 1.7, 0, [0.5])
raw('ExpDec2', 4, (0.5, 0, 0, 0, 0.3), 1.7, 1, [M], [M] * 5)
model('ExpDec3', expsum(-1, 3), [((0, 0.0951, 1 / 1.0, 0.8607, 1 / 3.0, 1.5576, 1 / 5.0), 0.35)])
model('ExpGro1', expsum(1, 1), [((0.5, 2, 1.5), 1.7)], [((0.5, 2, 1), 710, '24'), ((0.5, 2, 1), 1001, '2')])
model('ExpGro2', expsum(1, 2), [((0.5, 2, 1.5, -1, 0.3), 1.7)])
model('ExpGro3', expsum(1, 3), [((0.5, 2, 1.5, -1, 0.3, 0.2, 2), 1.7)])
model('ExpAssoc2', expsum(-1, 2, True), [((0.5, 2, 1.5, -1, 0.3), 1.7)])

# --- Further peaks ------------------------------------------------------------------------


def invspoly(q, x):
    xc, w, A, A1, A2, A3 = q[1:]
    t = (2 * (x - xc) / w) ** 2
    return A / (1 + A1 * t + A2 * t * t + A3 * t ** 3)


def giddings(q, x):
    xc, w, A = q[1:]
    return (A / w) * sqrt(xc / x) * besseli(1, 2 * sqrt(x * xc) / w) * exp(-(x + xc) / w)


def extreme(q, x):
    xc, w, A = q[1:]
    z = (x - xc) / w
    return A * exp(1 - exp(-z) - z)


def beta(q, x):
    xc, A, w, a, b = q[1:]
    z = (b + a - 2) * (x - xc) / w
    return (z / (a - 1) + 1) ** (a - 1) * (1 - z / (b - 1)) ** (b - 1) * A


def logistpk(q, x):
    xc, w, A = q[1:]
    e = exp((xc - x) / w)
    return 4 * A * e / (1 + e) ** 2


model('InvsPoly', multipeak(6, 3, invspoly), [((0.5, 2, 1, 3, 0.5, 0.2, 0.1), 2.7)])
# I1 comes from polynomial fits good to 2.2e-7 absolute on e^-x sqrt(x) I1(x), about 6e-7 relative.
model('Giddings', multipeak(3, 3, giddings), [((0.5, 2, 1, 3), 2.7), ((0, 100, 0.2, 1), 100.5), ((0, 5, 2, 1), 0.5)], tol=1e-6,
      fails=[((0.5, 2, 1, 3), 0, '2'), ((0.5, 2, 1, 3), -1, '2')])
model('Extreme', multipeak(3, 3, extreme), [((0.5, 2, 1, 3), 2.7), ((0, 2, 1, 3, 4, 0.5, 2), 3.1)])
raw('Extreme', 2, (0.5, 2, 1, 3), 2, 0, [3.5, 3])
raw('Extreme', 2, (0.5, 2, 1, 3, 0, 0.5, 2), -900, 0, [0.5, '-', '-'], narg=7)
raw('Extreme', 4, (0.5, 2, 1, 3, 0, 0.5, 2), -900, 0, [0.5], [1, 0, 0, 0, 0, 0, 0], narg=7)
model('Beta', multipeak(5, 2, beta), [((0.5, 2, 1, 3, 2, 3), 2.7)], [((0.5, 2, 1, 3, 1, 3), 2.7, '2'), ((0.5, 2, -1, 3, 2, 3), 2.7, '2')])
model('LogistPK', multipeak(3, 3, logistpk), [((0.5, 2, 1, 3), 2.7)])
raw('LogistPK', 2, (0.5, 2, 1, 3), 2, 0, [3.5, 3])
raw('LogistPK', 2, (0.5, 2, 0.5, 3, 1000, 1, 2), 1000, 0, [2.5, '-', 2], narg=7)
raw('LogistPK', 4, (0.5, 2, 1, 3), 2, 1, [M], [M] * 4)
model('GaussAmp', multipeak(3, 3, lambda q, x: q[3] * exp(-((x - q[1]) / q[2]) ** 2 / 2)), [((0.5, 2, 1, 3), 2.7)])
raw('GaussAmp', 4, (0.5, 2, 1, 3), 2, 1, [M], [M] * 4)
for row, k in [('GaussMod', 4), ('GCAS', 5), ('LogNormal', 3), ('Voigt5', 4), ('Extreme', 3)]:
    raw(row, 2, (0.75,) + (1,) * k, 1.3, 0, [0.75], narg=1)
    raw(row, 2, (0.75,) + (1,) * k, 1.3, 1, [M], narg=0)

# --- Pulse, power, periodic and sigmoid -------------------------------------------------
model('Pulse1', lambda p, x: exp(-(x[1] - p[1]) / p[5]) * (1 - exp(-(x[1] - p[1]) / p[3])) ** p[4] * p[2], [((0.5, 2, 1, 1.5, 3), 2.7)])
raw('Pulse1', 2, (0.5, 2, 1, 1.5, 3), 0.5, 0, [0])
raw('Pulse1', 4, (0.5, 2, 1, 1.5, 3), 0.5, 1, [0], [M, 0, M, M, M])
model('Power1', lambda p, x: p[2] * abs(x[1] - p[1]) ** p[3], [((0.5, 2, 1.5), 2.7), ((0.5, 2, 2.5), -1)])
raw('Power1', 2, (0.5, 2, -1), 2.5, 0, [1])
raw('Power1', 4, (0.5, 2, -1), 2.5, 1, [M], [M] * 3)
raw('Power1', 4, (0.5, 2, 400), 1e3, 1, [M], [M] * 3)
model('Power2', lambda p, x: p[2] * abs(x[1] - p[1]) ** (p[3] if x[1] < p[1] else p[4]), [((0.5, 2, 1.5, 2.5), 2.7), ((0.5, 2, 1.5, 2.5), -1)])
raw('Power2', 4, (0.5, 2, 1.5, 2.5), 0.5, 0, [0], [M, 0, M, M])
model('Sine', lambda p, x: sin((x[1] - p[1]) * pi / p[2]) * p[3], [((0.5, 2, 1.5), 2.7)], [((0.5, 0, 1.5), 2.7, '24')])
model('SineSqr', lambda p, x: sin((x[1] - p[1]) * pi / p[2]) ** 2 * p[3], [((0.5, 2, 1.5), 2.7)])
model('SineDamp', lambda p, x: sin((x[1] - p[1]) * pi / p[2]) * exp(-x[1] / p[3]) * p[4], [((0.5, 2, 1.5, 3), 2.7)])
model('Exponential', lambda p, x: p[1] + p[2] * exp(p[3] * x[1]), [((0.5, 2, 1.5), 2.7), ((0.5, 2, 700), 1)],
      [((0.5, 2, 1000), 1, '2'), ((0.5, 2, 1001), 1, '2')])
model('Slogistic4', lambda p, x: (p[1] - p[2]) / (1 + exp(-(x[1] - p[3]) * p[4])) + p[2], [((0.5, 2, 1.5, 3), 2.7)])
raw('Slogistic4', 2, (0.5, 2, 1.5, 0), 2.7, 0, [1.25])
raw('Slogistic4', 4, (0.5, 2, 1.5, 3), -1000, 0, [2], [0, 1, 0, 0])

# --- One-parameter laws -------------------------------------------------------------------
model('Logarithm', lambda p, x: log(x[1] - p[1]), [((0.5,), 2.7)], [((0.5,), 0.5, '24')])
model('LogarithmEVP', lambda p, x: log(x[1] - p[1] + exp(p[2])), [((0.5, 1.2), 2.7), ((2, -0.5), 1.8)])
raw('LogarithmEVP', 2, (0.5, 1.2), 0.5, 0, [1.2])
model('Reciprocal0', lambda p, x: 1 / (p[1] * x[1] + 1), [((0.5,), 2.7)], [((-0.5,), 2, '24')])
raw('Reciprocal0', 4, (0.5,), 0, 0, [1], [0])
model('Reciprocal0EVP', lambda p, x: 1 / ((1 / p[2] - 1) * x[1] / p[1] + 1), [((0.5, 0.3), 2.7)])
raw('Reciprocal0EVP', 2, (0.5, 0.3), 0.5, 0, [0.3])
model('Exp1P1', lambda p, x: exp(x[1] - p[1]), [((0.5,), 2.7)])
model('ExponentEVP', lambda p, x: p[2] * exp(x[1] - p[1]), [((0.5, 3), 2.7)])
model('Power', lambda p, x: x[1] ** p[1], [((0.5,), 2.7), ((-1.5,), 0.3)])
raw('Power', 2, (2,), -2, 0, [4])
raw('Power', 4, (2,), -2, 1, [4], [M])
model('PowerEVP', lambda p, x: p[2] ** (log(x[1]) / log(p[1])), [((0.5, 3), 2.7), ((2, 0.5), 5)])
raw('PowerEVP', 2, (0.5, 3), 0.5, 0, [3])
raw('PowerEVP', 2, (1, 1), 3.7, 0, [1])
raw('PowerEVP', 4, (1, 1), 3.7, 1, [M], [M, M])
model('Reciprocal1', lambda p, x: 1 / (p[1] + x[1]), [((0.5,), 2.7)], [((0.5,), -0.5, '24')])
model('Reciprocal1EVP', lambda p, x: p[2] / ((x[1] - p[1]) * p[2] + 1), [((0.5, 3), 2.7)])
model('Pareto', lambda p, x: 1 - x[1] ** (-p[1]), [((0.5,), 2.7)])
model('ParetoEVP', lambda p, x: 1 - (1 - p[2]) ** (log(x[1]) / log(p[1])), [((0.5, 0.3), 2.7), ((3, -0.5), 1.7)])
raw('ParetoEVP', 2, (0.5, 0.3), 0.5, 0, [0.3])
raw('ParetoEVP', 2, (1, 0.3), 2.5, 0, [0])
model('Exp1P3', lambda p, x: p[1] * exp(-p[1] * x[1]), [((0.5,), 2.7), ((0,), 2.7)])
model('Exp1P3Md', lambda p, x: -log(p[1]) * p[1] ** x[1], [((0.5,), 2.7)])
model('Exp1P2', lambda p, x: exp(-p[1] * x[1]), [((0.5,), 2.7)])
model('Exp1P2Md', lambda p, x: p[1] ** x[1], [((0.5,), 2.7)])
model('Exponent2EVP', lambda p, x: p[2] ** (x[1] / p[1]), [((0.5, 3), 2.7)])
raw('Exponent2EVP', 2, (0.5, 3), 0.5, 0, [3])
model('Exp1P4', lambda p, x: 1 - exp(-p[1] * x[1]), [((0.5,), 2.7), ((0.5,), 1e-9)])
model('Exp1P4Md', lambda p, x: 1 - p[1] ** x[1], [((0.5,), 2.7)], [((2,), 2000, '24')])
model('Exponent3EVP', lambda p, x: 1 - (1 - p[2]) ** (x[1] / p[1]), [((0.5, 0.3), 2.7)], [((0.5, 1), 2.7, '24')])
raw('Exponent3EVP', 2, (1, 0.5), 1, 0, [0.5])

# --- Numeric helpers ----------------------------------------------------------------------
for z in [-3, -1, -0.3, 0, 0.2, 1, 2.5, 4, 6]:
    out.append(f"helper|erfc|{z!r}|{fmt(erfc(mpf(z)))}|1.2e-7")
for z in [0.5, 3, 10, 30]:
    out.append(f"helper|expscaled|{z!r}|{fmt(exp(mpf(z) ** 2) * erfc(mpf(z)))}|1.2e-7")
for v in [-5, -1, 0.3, 1, 3.7, 3.75, 5, 20, 100]:
    out.append(f"helper|i1|{v!r}|{fmt(besseli(1, mpf(v)))}|6e-7")
for v in [0.3, 0.7, 1, 1.5, 2.5, 7]:
    out.append(f"helper|gamma|{v!r}|{fmt(gamma(mpf(v)))}|1e-9")

sys.stdout.write('\n'.join(out) + '\n')
