// Distribution functions: the regularized incomplete beta and gamma functions, the
// quantiles of Student's t, F and chi-square, and the error function.
//
// How the results are checked: tests compare them with tables computed here by an
// independent high-precision implementation (tests/make_distribution_tables.py) over
// degrees of freedom 1 to 1e7 and probabilities 1e-12 to 1 - 1e-12; the tolerance is a
// relative error of 1e-12.
//
// What makes large degrees of freedom accurate: the power terms x^a (1-x)^b / B(a, b)
// and z^a e^-z / Gamma(a) are formed from Stirling's series around the mean, so that
// the large terms a ln x, b ln(1-x) and ln B(a, b), which nearly cancel, never meet in
// floating point: only log1p(u) - u of small relative distances u is summed.
// Quantiles are solved by Newton steps in the logarithm of the variable on the
// logarithm of the smaller tail, guarded by a bracket, so extreme tails converge too.
#include "qxutil.h"
#include "qxdefs.h"

#include <cfloat>
#include <cmath>
#include <limits>

namespace {

const double kPi = 3.14159265358979323846;

bool Usable(double v) { return std::isfinite(v) && v != MISSING_VALUE; }

// log(1 + x) - x without the cancellation of the two terms for small |x|. With
// r = x / (2 + x): log(1 + x) = 2 atanh(r) and 2r - x = -x^2 / (2 + x).
double Log1pmx(double x)
{
    if (std::fabs(x) > 0.5)
        return std::log1p(x) - x;
    double r = x / (2 + x);
    double r2 = r * r;
    double power = r * r2;
    double sum = 0;
    for (int k = 3; k < 60; k += 2) {
        double term = power / k;
        sum += term;
        if (std::fabs(term) <= 1e-18 * std::fabs(sum))
            break;
        power *= r2;
    }
    return -x * x / (2 + x) + 2 * sum;
}

// Stirling's correction S(z) = ln Gamma(z) - ((z - 1/2) ln z - z + ln sqrt(2 pi)), z > 0.
double StirlingCorrection(double z)
{
    if (z >= 10) {
        // Asymptotic series; at z = 10 the last term kept is below 1e-17 of the sum.
        static const double c[] = {1.0 / 12,     -1.0 / 360,      1.0 / 1260,   -1.0 / 1680,
                                   1.0 / 1188,   -691.0 / 360360, 1.0 / 156,    -3617.0 / 122400};
        double iz = 1 / z, iz2 = iz * iz, power = iz, sum = 0;
        for (double ck : c) {
            sum += ck * power;
            power *= iz2;
        }
        return sum;
    }
    // Shift up to 10 by Gamma(z + n) = z (z + 1) ... (z + n - 1) Gamma(z).
    int n = int(std::ceil(10 - z));
    double w = z + n;
    double product = 1;
    for (int k = 0; k < n; ++k)
        product *= z + k;
    return StirlingCorrection(w) + (w - 0.5) * std::log(w) - (z - 0.5) * std::log(z) - n -
           std::log(product);
}

// x^a y^b / B(a, b) for x + y = 1 (both given, so neither loses digits to 1 - other).
double BetaPowerTerms(double x, double y, double a, double b)
{
    if (x <= 0 || y <= 0)
        return 0;
    // c = a + b exactly, as cHigh + cLow.
    double cHigh = a + b;
    double bv = cHigh - a;
    double cLow = (a - (cHigh - bv)) + (b - bv);
    // u = x c - a = b - y c, the distance from the mean scaled by c, taken from the
    // smaller of x and y (the one known to more absolute precision).
    double u = x <= y ? std::fma(x, cHigh, -a) + x * cLow : -(std::fma(y, cHigh, -b) + y * cLow);
    double c = cHigh + cLow;
    double e;
    if (u / a < -0.5)
        e = a * std::log(x * c / a) + b * std::log1p(-u / b);
    else if (-u / b < -0.5)
        e = a * std::log1p(u / a) + b * std::log(y * c / b);
    else
        e = a * Log1pmx(u / a) + b * Log1pmx(-u / b);
    double correction = StirlingCorrection(a) + StirlingCorrection(b) - StirlingCorrection(c);
    return std::exp(e - correction) * std::sqrt(a * b / c) / std::sqrt(2 * kPi);
}

// z^a e^-z / Gamma(a).
double GammaPowerTerms(double z, double a)
{
    if (z <= 0)
        return 0;
    double u = z - a;
    double e = u / a < -0.5 ? a * std::log(z / a) - u : a * Log1pmx(u / a);
    return std::exp(e - StirlingCorrection(a)) * std::sqrt(a) / std::sqrt(2 * kPi);
}

const double kTiny = 1e-300;

// Continued fraction of I_x(a, b) = T / a * fraction (modified Lentz), fast for
// x < (a + 1) / (a + b + 2). With a large and b small that bound lies near 1, where
// the fraction amplifies an error in x by about a: a double x = 1 - y would lose ten
// digits at a = 1e7, so x is formed from y in extended precision.
double BetaFraction(double xd, double yd, double ad, double bd)
{
    typedef long double real;
    const real tiny = 1e-300L, a = ad, b = bd;
    const real x = xd <= 0.5 ? real(xd) : 1 - real(yd);
    real c = 1, d = 1 - (a + b) * x / (a + 1);
    if (fabsl(d) < tiny)
        d = tiny;
    d = 1 / d;
    real h = d;
    for (int m = 1; m < 10000000; ++m) {
        real m2 = 2.0L * m;
        real coefficient = m * (b - m) * x / ((a + m2 - 1) * (a + m2));
        d = 1 + coefficient * d;
        c = 1 + coefficient / c;
        if (fabsl(d) < tiny) d = tiny;
        if (fabsl(c) < tiny) c = tiny;
        d = 1 / d;
        h *= d * c;
        coefficient = -(a + m) * (a + b + m) * x / ((a + m2) * (a + m2 + 1));
        d = 1 + coefficient * d;
        c = 1 + coefficient / c;
        if (fabsl(d) < tiny) d = tiny;
        if (fabsl(c) < tiny) c = tiny;
        d = 1 / d;
        real step = d * c;
        h *= step;
        if (fabsl(step - 1) < 1e-19L)
            break;
    }
    return double(h);
}

// I_x(a, b) and its complement, each to full relative precision when it is the smaller.
struct Tails {
    double lower;
    double upper;
};

Tails IncompleteBeta(double x, double y, double a, double b)
{
    if (x <= 0)
        return {0, 1};
    if (y <= 0)
        return {1, 0};
    if (x * (a + b + 2) < a + 1) {
        double lower = BetaPowerTerms(x, y, a, b) * BetaFraction(x, y, a, b) / a;
        return {lower, 1 - lower};
    }
    double upper = BetaPowerTerms(y, x, b, a) * BetaFraction(y, x, b, a) / b;
    return {1 - upper, upper};
}

// P(a, z) and Q(a, z), the regularized incomplete gamma functions.
Tails IncompleteGamma(double a, double z)
{
    if (z <= 0)
        return {0, 1};
    double t = GammaPowerTerms(z, a);
    if (z < a + 1) {
        double term = 1 / a, sum = term;
        for (int n = 1; n < 1000000; ++n) {
            term *= z / (a + n);
            sum += term;
            if (term < sum * 1e-17)
                break;
        }
        double lower = t * sum;
        return {lower, 1 - lower};
    }
    double bn = z + 1 - a, c = 1 / kTiny, d = 1 / bn, h = d;
    for (int i = 1; i < 1000000; ++i) {
        double an = -i * (i - a);
        bn += 2;
        d = an * d + bn;
        if (std::fabs(d) < kTiny) d = kTiny;
        c = bn + an / c;
        if (std::fabs(c) < kTiny) c = kTiny;
        d = 1 / d;
        double step = d * c;
        h *= step;
        if (std::fabs(step - 1) < 1e-16)
            break;
    }
    double upper = t * h;
    return {1 - upper, upper};
}

// The quantile of a standard normal, to about 4.5e-4: the start of Newton's steps.
double RoughNormalQuantile(double p)
{
    double q = p < 0.5 ? p : 1 - p;
    double t = std::sqrt(-2 * std::log(q));
    double z = t - (2.515517 + t * (0.802853 + t * 0.010328)) /
                       (1 + t * (1.432788 + t * (0.189269 + t * 0.001308)));
    return p < 0.5 ? -z : z;
}

// One evaluation of an increasing function of s for the solver: its value and slope.
struct Residual {
    double value;
    double slope;
};

// Finds s with r(s) = 0 for an increasing r: a bracket is found by widening steps from
// s0, then Newton steps are taken, with bisection whenever a step leaves the bracket.
// NaN when there is no root within reach.
template <class F>
double SolveIncreasing(double s0, F r)
{
    Residual at = r(s0);
    if (at.value == 0)
        return s0;
    double lo = s0, hi = s0, step = 1;
    if (at.value < 0) {
        for (int i = 0; i < 64; ++i, step *= 2) {
            hi = lo + step;
            if (r(hi).value >= 0)
                break;
            lo = hi;
        }
    } else {
        for (int i = 0; i < 64; ++i, step *= 2) {
            lo = hi - step;
            if (r(lo).value <= 0)
                break;
            hi = lo;
        }
    }
    double s = 0.5 * (lo + hi);
    for (int i = 0; i < 200; ++i) {
        Residual e = r(s);
        if (e.value == 0)
            return s;
        if (e.value < 0)
            lo = s;
        else
            hi = s;
        double next = s - e.value / e.slope;
        if (!std::isfinite(next) || next <= lo || next >= hi)
            next = 0.5 * (lo + hi);
        if (std::fabs(next - s) <= 4 * DBL_EPSILON * std::fmax(1.0, std::fabs(s)) ||
            hi - lo <= 4 * DBL_EPSILON * std::fmax(1.0, std::fabs(s))) {
            s = next;
            break;
        }
        s = next;
    }
    // No root inside the double range (the quantile would overflow or underflow): the
    // bracket then ends at a bound where the residual is far from zero.
    double last = r(s).value;
    return std::fabs(last) <= 1e-9 ? s : std::nan("");
}

// A quantile is reported only when it is a normal, finite double.
double Checked(double q) { return std::isnormal(q) ? q : MISSING_VALUE; }

// x = df / (df + t^2) and y = t^2 / (df + t^2), each computed without 1 - other.
void StudentBetaArguments(double t, double df, double *x, double *y)
{
    double t2 = t * t;
    if (t2 <= df) {
        *x = df / (df + t2);
        *y = t2 / (df + t2);
    } else {
        double ratio = df / t2;
        *x = ratio / (1 + ratio);
        *y = 1 / (1 + ratio);
    }
}

bool ValidProbability(double p) { return Usable(p) && p > 0 && p < 1; }
// Beyond 1e10 degrees of freedom the fractions and series need too many terms to be
// both fast and exact; no data set of this program comes near.
const double kMaxDegrees = 1e10;
bool ValidDegrees(double df) { return Usable(df) && df > 0 && df <= kMaxDegrees; }

double StudentQuantile(double p, double df)
{
    if (p == 0.5)
        return 0;
    double q = p < 0.5 ? p : 1 - p;  // exact: 1 - p has no rounding for p >= 0.5
    double sign = p < 0.5 ? -1 : 1;
    double t;
    if (df == 1) {
        t = q < 0.25 ? 1 / std::tan(kPi * q) : std::tan(kPi * (0.5 - q));
    } else if (df == 2) {
        t = (1 - 2 * q) / std::sqrt(2 * q * (1 - q));
    } else {
        double a = df / 2;
        // Start: Cornish-Fisher expansion around the normal quantile.
        double z = -RoughNormalQuantile(q);
        double z2 = z * z;
        double start = z + z * (z2 + 1) / (4 * df) + z * (5 * z2 * z2 + 16 * z2 + 3) / (96 * df * df);
        if (!(start > 0))
            start = z > 0 ? z : 1e-3;
        if (q < 0.25) {
            // The upper tail q = I_x(df/2, 1/2) / 2, solved on its logarithm.
            double lnq = std::log(q);
            double s = SolveIncreasing(std::log(start), [&](double s) {
                double x, y;
                StudentBetaArguments(std::exp(s), df, &x, &y);
                double tail = IncompleteBeta(x, y, a, 0.5).lower / 2;
                double slope = BetaPowerTerms(x, y, a, 0.5) / tail;
                return Residual{lnq - std::log(tail), slope};
            });
            t = std::exp(s);
        } else {
            // Near the median: P(|T| < t) = I_y(1/2, df/2) = 1 - 2q.
            double target = 1 - 2 * q;
            double s = SolveIncreasing(std::log(start), [&](double s) {
                double x, y;
                StudentBetaArguments(std::exp(s), df, &x, &y);
                double central = IncompleteBeta(y, x, 0.5, a).lower;
                return Residual{central - target, 2 * BetaPowerTerms(x, y, a, 0.5)};
            });
            t = std::exp(s);
        }
    }
    return sign * t;
}

double FQuantile(double p, double df1, double df2)
{
    double a = df1 / 2, b = df2 / 2;
    auto arguments = [&](double s, double *x, double *y) {
        double w = df1 * std::exp(s) / df2;  // x = w / (1 + w), y = 1 / (1 + w)
        if (w <= 1) {
            *x = w / (1 + w);
            *y = 1 / (1 + w);
        } else {
            double inverse = 1 / w;
            *x = 1 / (1 + inverse);
            *y = inverse / (1 + inverse);
        }
    };
    double s;
    if (p <= 0.5) {
        double lnp = std::log(p);
        s = SolveIncreasing(0, [&](double s) {
            double x, y;
            arguments(s, &x, &y);
            double lower = IncompleteBeta(x, y, a, b).lower;
            return Residual{std::log(lower) - lnp, BetaPowerTerms(x, y, a, b) / lower};
        });
    } else {
        double lnq = std::log(1 - p);
        s = SolveIncreasing(0, [&](double s) {
            double x, y;
            arguments(s, &x, &y);
            double upper = IncompleteBeta(x, y, a, b).upper;
            return Residual{lnq - std::log(upper), BetaPowerTerms(x, y, a, b) / upper};
        });
    }
    return std::exp(s);
}

double ChiSquareQuantile(double p, double df)
{
    double a = df / 2;
    // Start: Wilson and Hilferty's cube-root normal approximation.
    double z = RoughNormalQuantile(p);
    double h = 2 / (9 * df);
    double cube = 1 - h + z * std::sqrt(h);
    double start = cube > 0.05 ? df * cube * cube * cube : df * 0.05;
    double s;
    if (p <= 0.5) {
        double lnp = std::log(p);
        s = SolveIncreasing(std::log(start), [&](double s) {
            double half = std::exp(s) / 2;
            double lower = IncompleteGamma(a, half).lower;
            return Residual{std::log(lower) - lnp, GammaPowerTerms(half, a) / lower};
        });
    } else {
        double lnq = std::log(1 - p);
        s = SolveIncreasing(std::log(start), [&](double s) {
            double half = std::exp(s) / 2;
            double upper = IncompleteGamma(a, half).upper;
            return Residual{lnq - std::log(upper), GammaPowerTerms(half, a) / upper};
        });
    }
    return std::exp(s);
}

} // namespace

extern "C" double UtilTQuantile(const double *args)
{
    if (!args || !ValidProbability(args[0]) || !ValidDegrees(args[1]))
        return MISSING_VALUE;
    if (args[0] == 0.5)
        return 0;
    double t = StudentQuantile(args[0], args[1]);
    return t < 0 ? -Checked(-t) : Checked(t);
}

extern "C" int UtilStudentTInverse(const double *args, double *result)
{
    if (!result)
        return 1;
    *result = UtilTQuantile(args);
    return *result == MISSING_VALUE ? 1 : 0;
}

extern "C" double UtilFQuantile(const double *args)
{
    if (!args || !ValidProbability(args[0]) || !ValidDegrees(args[1]) || !ValidDegrees(args[2]))
        return MISSING_VALUE;
    return Checked(FQuantile(args[0], args[1], args[2]));
}

extern "C" double UtilChiSquareQuantile(const double *args)
{
    // The incomplete gamma function's series and fraction grow with the square root of
    // the degrees of freedom; past 1e7 they are not both fast and exact.
    if (!args || !ValidProbability(args[0]) || !ValidDegrees(args[1]) || args[1] > 1e7)
        return -1;
    double x = Checked(ChiSquareQuantile(args[0], args[1]));
    return x == MISSING_VALUE ? -1 : x;
}

extern "C" double UtilIncompleteBeta(const double *args)
{
    if (!args)
        return MISSING_VALUE;
    double x = args[0], a = args[1], b = args[2];
    if (!Usable(x) || x < 0 || x > 1 || !ValidDegrees(a) || !ValidDegrees(b))
        return MISSING_VALUE;
    // 1 - x is exact for x >= 1/2; below, x itself carries the precision.
    double value = IncompleteBeta(x, 1 - x, a, b).lower;
    return std::isfinite(value) ? value : MISSING_VALUE;
}

extern "C" void UtilErf(double *x)
{
    if (!x)
        return;
    double v = *x;
    if (!Usable(v)) {
        if (std::isinf(v))
            *x = v > 0 ? 1 : -1;
        else
            *x = MISSING_VALUE;
        return;
    }
    double av = std::fabs(v);
    if (av >= 6) {
        // erfc(6) is 2e-17, below half a unit of 1.
        *x = v > 0 ? 1 : -1;
        return;
    }
    // erf(x) = 2/sqrt(pi) x e^(-x^2) sum (2x^2)^n / (1 3 5 ... (2n+1)): all terms are
    // positive, so nothing cancels; extended precision keeps the 100-odd terms exact.
    long double x2 = (long double)av * av;
    long double term = 1, sum = 1;
    for (int n = 1; n < 400; ++n) {
        term *= 2 * x2 / (2 * n + 1);
        sum += term;
        if (term < sum * 1e-20L)
            break;
    }
    long double result = 2 / std::sqrt((long double)kPi) * av * std::exp(-x2) * sum;
    *x = v < 0 ? -double(result) : double(result);
}

extern "C" int UtilBinomial(int i, int j, int jMinusI, double *result)
{
    if (!result)
        return 1;
    *result = MISSING_VALUE;
    if (i < 0 || i > j || (long long)j - i != jMinusI)
        return 1;
    // C(j, k) = prod_{m=1..k} (j - k + m) / m with k the smaller of i and j - i; in
    // extended precision the at most ~1030 factors of any finite result stay exact to
    // far below a double's unit.
    int k = i < jMinusI ? i : jMinusI;
    long double value = 1;
    for (int m = 1; m <= k; ++m) {
        value = value * (long double)(j - k + m) / m;
        if (value > (long double)DBL_MAX)
            return 1;
    }
    *result = double(value);
    return 0;
}

extern "C" int UtilVectorAngle(double *record)
{
    if (!record || !Usable(record[0]) || !Usable(record[1]) || (record[0] == 0 && record[1] == 0))
        return 0;
    record[2] = std::atan2(record[1], record[0]);
    return 1;
}
