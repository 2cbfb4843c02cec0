// Rational and hyperbolic yield laws, the Bleasdale-Nelder and Harris laws in their
// expected-value forms, the Belehradek and Chapman growth laws, three-parameter
// logarithmic and exponential laws, a general hyperbola, the test function errtest, and
// the rows that name models this library does not compute.
//
// "Missing" derivatives: where a derivative does not exist at a point but the value does
// (Belehradek, Chapman), that derivative alone is MISSING_VALUE and the call goes on.
#include "ModelKit.h"

using namespace curvelib;

namespace {

// The bound beyond which Exp3P1Md's and Exp3P2's values count as overflowed.
const double kHugeValue = 1.2345e300;

// A row without a model: every call fails, so a fit can never run on a value that was
// not computed.
int NotAModel(int mode, double *y, double *d, int n)
{
    return FailAll(y, d, QX_N(n));
}

} // namespace

QX_MODEL(BlNeldEVP)
{
    QX_QUERY(0);
    if (QX_DERIV)
        return FailAll(y, d, 5);
    if (NotPositive(p[1]) || NotPositive(p[3]) || NotPositive(p[2]) || NotPositive(p[4]) ||
        !(p[3] > p[1]) || IsZero(p[5]))
        return Fail(y);
    double A = SafePow(p[2], p[5]);
    double B = SafePow(p[4], p[5]);
    if (MathError())
        return Fail(y);
    double D = (x[1] - p[1]) * A + (p[3] - x[1]) * B;
    if (IsZero(D))
        return Fail(y);
    double P = SafePow((p[3] - p[1]) / D, 1.0 / p[5]);
    if (MathError())
        return Fail(y);
    y[1] = p[2] * p[4] * P;
    return 0;
}

// A test of the error channel rather than a model: it computes terms that set the math
// error number and never looks at it. It clears it before returning, so the error cannot
// reach the caller's next evaluation.
QX_MODEL(errtest)
{
    QX_QUERY(1);
    y[1] = QX_DERIV ? p[1] / p[2] : p[1] * p[2];
    d[1] = Ln(p[1]);
    d[2] = SafePow(-2.0, p[3]);
    d[3] = SafeExp(p[1]);
    errno = 0;
    return 0;
}

QX_MODEL(Harris)
{
    QX_QUERY(1);
    const int n = QX_N(3);
    double P = SafePow(x[1], p[3]);
    if (MathError())
        return FailAll(y, d, n);
    double D = p[1] + p[2] * P;
    if (IsZero(D))
        return Fail(y);
    y[1] = 1.0 / D;
    if (n) {
        d[1] = -1.0 / (D * D);
        d[2] = -P / (D * D);
        if (NotPositive(x[1])) {
            d[3] = MISSING_VALUE;
            return 1;
        }
        d[3] = d[2] * p[2] * Ln(x[1]);
    }
    return 0;
}

QX_MODEL(HarrisEVP)
{
    QX_QUERY(0);
    if (QX_DERIV)
        return FailAll(y, d, 5);
    if (IsZero(p[1] - p[3]))
        return Fail(y);
    double A = SafePow(p[1], p[5]);
    double B = SafePow(p[3], p[5]);
    double W = SafePow(x[1], p[5]);
    if (MathError())
        return Fail(y);
    double den = (B - W) * p[4] + (W - A) * p[2];
    if (IsZero(den))
        return Fail(y);
    y[1] = p[2] * p[4] * (B - A) / den;
    return 0;
}

QX_MODEL(Rational0)
{
    QX_QUERY(1);
    const int n = QX_N(3);
    double D = 1.0 + p[1] * x[1];
    if (IsZero(D))
        return FailAll(y, d, n);
    y[1] = (p[2] + p[3] * x[1]) / D;
    if (n) {
        d[1] = -y[1] * x[1] / D;
        d[2] = 1.0 / D;
        d[3] = x[1] / D;
    }
    return 0;
}

QX_MODEL(Rational1)
{
    QX_QUERY(1);
    const int n = QX_N(3);
    double D = p[1] + p[2] * x[1];
    if (IsZero(D))
        return FailAll(y, d, n);
    y[1] = (1.0 + p[3] * x[1]) / D;
    if (n) {
        d[1] = -y[1] / D;
        d[2] = -y[1] * x[1] / D;
        d[3] = x[1] / D;
    }
    return 0;
}

QX_MODEL(Rational2)
{
    QX_QUERY(1);
    const int n = QX_N(3);
    double D = p[1] + x[1];
    if (IsZero(D))
        return FailAll(y, d, n);
    y[1] = (p[2] + p[3] * x[1]) / D;
    if (n) {
        d[1] = -y[1] / D;
        d[2] = 1.0 / D;
        d[3] = x[1] / D;
    }
    return 0;
}

QX_MODEL(Rational3)
{
    QX_QUERY(1);
    const int n = QX_N(3);
    double D = p[1] + p[3] * x[1];
    if (IsZero(D))
        return FailAll(y, d, n);
    y[1] = (p[2] + x[1]) / D;
    if (n) {
        d[1] = -y[1] / D;
        d[2] = 1.0 / D;
        d[3] = -y[1] * x[1] / D;
    }
    return 0;
}

QX_MODEL(Rational4)
{
    QX_QUERY(1);
    const int n = QX_N(3);
    double D = p[1] + x[1];
    if (IsZero(D))
        return FailAll(y, d, n);
    y[1] = p[3] + p[2] / D;
    if (n) {
        d[1] = -p[2] / (D * D);
        d[2] = 1.0 / D;
        d[3] = 1.0;
    }
    return 0;
}

QX_MODEL(RationalEVP)
{
    QX_QUERY(0);
    return NotAModel(mode, y, d, 3);
}

QX_MODEL(Belehradek)
{
    QX_QUERY(1);
    const int n = QX_N(3);
    double b = x[1] - p[2];
    double P = SafePow(b, p[3]);
    if (MathError())
        return FailAll(y, d, n);
    y[1] = p[1] * P;
    if (n) {
        d[1] = P;
        double P1 = SafePow(b, p[3] - 1.0);
        if (MathError()) {
            errno = 0;
            d[2] = MISSING_VALUE;
        } else {
            d[2] = -p[1] * p[3] * P1;
        }
        d[3] = NotPositive(b) ? MISSING_VALUE : y[1] * Ln(b);
    }
    return 0;
}

// Shared by the rows BelehradekEVP, ChapmanEVP1, ChapmanEVP2 and ChapmanEVP3.
QX_MODEL(BelehradekEVP)
{
    QX_QUERY(0);
    return NotAModel(mode, y, d, 3);
}

QX_MODEL(Ratkowsky4332)
{
    QX_QUERY(1);
    const int n = QX_N(3);
    double D = p[3] + x[1];
    if (NotPositive(D))
        return FailAll(y, d, n);
    double L = Ln(D);
    y[1] = p[1] - p[2] * L;
    if (n) {
        d[1] = 1.0;
        d[2] = -L;
        d[3] = -p[2] / D;
    }
    return 0;
}

QX_MODEL(Ratkowsky4333)
{
    QX_QUERY(1);
    const int n = QX_N(3);
    double D = p[3] + x[1];
    if (IsZero(D))
        return FailAll(y, d, n);
    double E = SafeExp(p[2] / D);
    if (MathError())
        return FailAll(y, d, n);
    y[1] = p[1] * E;
    if (n) {
        d[1] = E;
        d[2] = y[1] / D;
        d[3] = -d[2] * p[2] / D;
    }
    return 0;
}

QX_MODEL(Ratkowsky4334)
{
    QX_QUERY(1);
    const int n = QX_N(3);
    double D = p[3] + x[1];
    if (IsZero(D))
        return FailAll(y, d, n);
    double E = SafeExp(p[1] + p[2] / D);
    if (MathError() || (n && !(std::fabs(E) < kHugeValue)))
        return FailAll(y, d, n);
    y[1] = E;
    if (n) {
        d[1] = E;
        d[2] = E / D;
        d[3] = -d[2] * p[2] / D;
    }
    return 0;
}

QX_MODEL(Chapman)
{
    QX_QUERY(1);
    const int n = QX_N(3);
    const double t = -p[2] * x[1];
    double E = SafeExp(t);
    if (MathError())
        return FailAll(y, d, n);
    double B = OneMinusExp(t, E);
    double P = SafePow(B, p[3]);
    if (MathError())
        return FailAll(y, d, n);
    y[1] = p[1] * P;
    if (n) {
        d[1] = P;
        double P1 = SafePow(B, p[3] - 1.0);
        if (MathError()) {
            errno = 0;
            d[2] = MISSING_VALUE;
        } else {
            d[2] = p[1] * p[3] * x[1] * P1 * E;
        }
        d[3] = NotPositive(B) ? MISSING_VALUE : y[1] * Ln(B);
    }
    return 0;
}

QX_MODEL(Ratkowsky4339)
{
    QX_QUERY(1);
    const int n = QX_N(3);
    double E = SafeExp(p[1] + (p[2] + p[3] * x[1]) * x[1]);
    if (MathError() || !(std::fabs(E) < kHugeValue))
        return FailAll(y, d, n);
    y[1] = E;
    if (n) {
        d[1] = E;
        d[2] = x[1] * E;
        d[3] = x[1] * x[1] * E;
    }
    return 0;
}

QX_MODEL(HyperbolaGen)
{
    QX_QUERY(0);
    if (QX_DERIV)
        return 0;
    double b = 1.0 + p[3] * x[1];
    if (IsZero(b) || IsZero(p[4]))
        return Fail(y);
    double B = SafePow(b, 1.0 / p[4]);
    if (MathError() || IsZero(B))
        return Fail(y);
    y[1] = p[1] - p[2] / B;
    return 0;
}

// Shared by the rows Prunty, LangmuirTS1, LangmuirTS2, Rational4P, ExpCSum1, ExpCSum2,
// ExpCSumEVP and BentHyperblSmp.
QX_MODEL(Prunty)
{
    QX_QUERY(0);
    return NotAModel(mode, y, d, 4);
}
