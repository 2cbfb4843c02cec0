#include "NumericHelpers.h"

#include <cerrno>
#include <cmath>

#include "QxExp.h"
#include "qxdefs.h"

namespace curvelib {

namespace {

// ln(DBL_MAX): e^x is finite up to here and overflows beyond.
const double kLnMaxDouble = 709.782712893384;

} // namespace

double SafeExp(double x)
{
    if (x < -300.0)
        return 0.0;
    if (std::isnan(x)) {
        errno = EDOM;
        return x;
    }
    // Above ln(DBL_MAX) the result overflows; below it, down to -300, exp is exact to an
    // ulp and has nothing to report, so the error number is not touched.
    if (x > kLnMaxDouble) {
        errno = ERANGE;
        return HUGE_VAL;
    }
    double r = qxExp(x);
    if (std::isinf(r))
        errno = ERANGE;
    return r;
}

double SafePow(double b, double e)
{
    if (b == 0.0 && e > 0.0)
        return 0.0;
    int saved = errno;
    double r = std::pow(b, e);
    errno = saved;
    if (std::isnan(r))
        errno = EDOM;
    else if (std::isinf(r))
        errno = ERANGE;
    return r;
}

namespace {

double ErfcSeries(double t)
{
    return t * (1.00002368 + t * (0.37409196 + t * (0.09678418 + t * (-0.18628806 +
           t * (0.27886807 + t * (-1.13520398 + t * (1.48851587 + t * (-0.82215223 +
           t * 0.17087277))))))));
}

double I1SmallSeries(double x)
{
    double u = x * 0.26666666666666666;
    double y = u * u;
    return std::fabs(x) * (0.5 + y * (0.87890594 + y * (0.51498869 + y * (0.15084934 +
           y * (0.02658733 + y * (0.00301532 + y * 0.00032411))))));
}

// sqrt(a) * e^(-a) * I1(a) for a >= 3.75.
double I1LargeSeries(double a)
{
    double y = 3.75 / a;
    return 0.39894228 + y * (-0.03988024 + y * (-0.00362018 + y * (0.00163801 +
           y * (-0.01031555 + y * (0.02282967 + y * (-0.02895312 + y * (0.01787654 -
           y * 0.00420059)))))));
}

} // namespace

double Erfc(double z)
{
    double a = std::fabs(z);
    double t = 1.0 / (1.0 + 0.5 * a);
    double r = t * SafeExp(ErfcSeries(t) - (a * a + 1.26551223));
    return z >= 0.0 ? r : 2.0 - r;
}

double ExpScaledErfc(double z, double m)
{
    double a = std::fabs(z);
    double t = 1.0 / (1.0 + 0.5 * a);
    double r = SafeExp(ErfcSeries(t) - 1.26551223) * t * m;
    if (z >= 0.0)
        return r;
    return 2.0 * (SafeExp(a * a) * m) - r;
}

double BesselI1(double x)
{
    double a = std::fabs(x);
    double i;
    if (a < 3.75)
        i = I1SmallSeries(x);
    else
        i = SafeExp(a) / Sqrt(a) * I1LargeSeries(a);
    return x < 0.0 ? -i : i;
}

double BesselI1Scaled(double x)
{
    double a = std::fabs(x);
    double i;
    if (a < 3.75)
        i = I1SmallSeries(x) * SafeExp(-a);
    else
        i = I1LargeSeries(a) / Sqrt(a);
    return x < 0.0 ? -i : i;
}

double LnGamma(double z)
{
    static const double cof[6] = {76.18009173, -86.50532033, 24.01409822,
                                  -1.231739516, 0.00120858003, -5.36382e-6};
    double t = z - 1.0;
    double tmp = t + 5.5;
    double ser = 1.0;
    for (int j = 0; j < 6; ++j)
        ser += cof[j] / (t + (j + 1));
    return Ln(2.50662827465 * ser) - (tmp - (t + 0.5) * Ln(tmp));
}

double Gamma(double z)
{
    if (!(z > 0.0))
        return MISSING_VALUE;
    if (z < 1.0) {
        const double pi = 3.141592653589793;
        return pi * (1.0 - z) / (SafeExp(LnGamma(2.0 - z)) * Sin(pi * (1.0 - z)));
    }
    return SafeExp(LnGamma(z));
}

namespace {

template <double (*F)(double)>
double KeepingErrno(double v)
{
    int saved = errno;
    double r = F(v);
    errno = saved;
    return r;
}

} // namespace

double Ln(double v) { return KeepingErrno<std::log>(v); }
double Sqrt(double v) { return KeepingErrno<std::sqrt>(v); }
double Sin(double v) { return KeepingErrno<std::sin>(v); }
double Tanh(double v) { return KeepingErrno<std::tanh>(v); }

} // namespace curvelib
