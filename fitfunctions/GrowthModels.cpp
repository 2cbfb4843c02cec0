// Growth and sigmoid models: exponential growth, dose-response and saturation curves,
// bi-exponential and reciprocal laws, and the logistic, Gompertz, Richards and Weibull
// growth laws.
//
// "Range error gives 0": where an exponential term grows without bound the curve's limit
// is 0, and the function answers that (value and derivatives 0) instead of failing.
#include "ModelKit.h"

using namespace curvelib;

namespace {

int RangeLimitZero(double *y, double *d, int n)
{
    errno = 0;
    y[1] = 0.0;
    for (int i = 1; i <= n; ++i)
        d[i] = 0.0;
    return 0;
}

} // namespace

QX_MODEL(ExpGrowth)
{
    QX_QUERY(1);
    const int n = QX_N(2);
    if (x[1] == p[1] || p[2] == 0.0) {
        y[1] = 1.0;
        if (n) {
            d[1] = -p[2];
            d[2] = x[1] - p[1];
        }
        return 0;
    }
    double E = SafeExp((x[1] - p[1]) * p[2]);
    if (MathError())
        return FailAll(y, d, n);
    y[1] = E;
    if (n) {
        d[1] = -p[2] * E;
        d[2] = (x[1] - p[1]) * E;
    }
    return 0;
}

QX_MODEL(Hill)
{
    QX_QUERY(1);
    const int n = QX_N(3);
    if (!n) {
        if (x[1] < 0.0 || p[2] < 0.0)
            return Fail(y);
        if (x[1] == 0.0) {
            // The limit of p1 / (1 + (p2/x)^p3) as x falls to 0, which depends on the sign
            // of the exponent.
            y[1] = p[3] > 0.0 ? 0.0 : p[3] < 0.0 ? p[1] : 0.5 * p[1];
            return 0;
        }
    } else if (NotPositive(x[1]) || NotPositive(p[2])) {
        return FailAll(y, d, n);
    }
    double P = SafePow(p[2] / x[1], p[3]);
    if (RangeError())
        return RangeLimitZero(y, d, n);
    if (MathError())
        return FailAll(y, d, n);
    y[1] = p[1] / (1.0 + P);
    if (n) {
        d[1] = 1.0 / (1.0 + P);
        d[2] = -(p[3] / p[2]) * y[1] * P / (1.0 + P);
        d[3] = -Ln(p[2] / x[1]) * y[1] * P / (1.0 + P);
    }
    return 0;
}

QX_MODEL(Reich)
{
    QX_QUERY(1);
    const int n = QX_N(4);
    double E1 = SafeExp(-p[2] * x[1]);
    double E2 = SafeExp(-p[4] * x[1]);
    if (MathError())
        return FailAll(y, d, n);
    y[1] = p[1] * E1 + p[3] * E2;
    if (n) {
        d[1] = E1;
        d[2] = -p[1] * x[1] * E1;
        d[3] = E2;
        d[4] = -p[3] * x[1] * E2;
    }
    return 0;
}

// The saturation curve p1 * p3 * x / (1 + p3 * x); p2, p4 and p5 enter only the domain
// tests (A = 0, B = 0, and a power (p4 * A / B)^p5 that must be defined).
QX_MODEL(MWChang)
{
    QX_QUERY(0);
    if (QX_DERIV)
        return 0;
    double A = 1.0 + p[2] * x[1];
    double B = 1.0 + p[3] * x[1];
    if (IsZero(A) || IsZero(B))
        return Fail(y);
    if (p[1] == 0.0) {
        y[1] = 0.0;
        return 0;
    }
    SafePow(p[4] * A / B, p[5]);
    if (errno == EDOM)
        return Fail(y);
    errno = 0;
    y[1] = p[1] * p[3] * x[1] / B;
    return 0;
}

// Two independent variables: x[1] and x[2].
QX_MODEL(BatesWatts)
{
    QX_QUERY(0);
    if (QX_DERIV)
        return 0;
    double D = 1.0 + p[1] * x[1] + p[2] * x[2];
    if (IsZero(D))
        return Fail(y);
    y[1] = (p[1] == 0.0 || p[3] == 0.0 || x[1] == 0.0) ? 0.0 : p[1] * p[3] * x[1] / D;
    return 0;
}

QX_MODEL(BoxLucas2)
{
    QX_QUERY(0);
    if (QX_DERIV)
        return 0;
    if (IsZero(p[1] - p[2]))
        return Fail(y);
    if (p[1] == 0.0) {
        y[1] = 0.0;
        return 0;
    }
    double E1 = SafeExp(-p[2] * x[1]);
    double E2 = SafeExp(-p[1] * x[1]);
    if (MathError())
        return Fail(y);
    y[1] = p[1] * (E1 - E2) / (p[1] - p[2]);
    return 0;
}

QX_MODEL(Nelder)
{
    QX_QUERY(1);
    const int n = QX_N(4);
    double u = p[1] + x[1];
    double D = p[2] + p[3] * u + p[4] * u * u;
    if (IsZero(D))
        return FailAll(y, d, n);
    y[1] = u / D;
    if (n) {
        d[1] = (p[2] - p[4] * u * u) / (D * D);
        d[2] = -y[1] / D;
        d[3] = d[2] * u;
        d[4] = d[3] * u;
    }
    return 0;
}

QX_MODEL(Richards)
{
    QX_QUERY(1);
    const int n = QX_N(4);
    if (!n && p[4] == 0.0) {
        y[1] = p[1];
        return 0;
    }
    if (n && NotPositive(p[4]))
        return FailAll(y, d, n);
    double s = p[2] + p[3] * x[1];
    double E = SafeExp(-s / p[4]);
    if (MathError())
        return FailAll(y, d, n);
    double B = 1.0 + E;
    if (!n) {
        double P = SafePow(B, p[4]);
        if (MathError())
            return Fail(y);
        y[1] = p[1] / P;
        return 0;
    }
    double P = SafePow(B, -p[4]);
    if (MathError())
        return FailAll(y, d, n);
    y[1] = p[1] * P;
    d[1] = P;
    d[2] = y[1] * E / B;
    d[3] = d[2] * x[1];
    d[4] = -y[1] * (Ln(B) + E * s / (p[4] * B));
    return 0;
}

QX_MODEL(ExpLinear)
{
    QX_QUERY(1);
    const int n = QX_N(4);
    double lin = p[3] + p[4] * x[1];
    if (p[2] == 0.0) {
        y[1] = lin;
        if (n) {
            d[1] = 0.0;
            d[2] = 0.0;
            d[3] = 1.0;
            d[4] = x[1];
        }
        return 0;
    }
    double E = SafeExp(-x[1] / p[2]);
    if (MathError())
        return FailAll(y, d, n);
    y[1] = p[1] * E + lin;
    if (n) {
        d[1] = E;
        d[2] = p[1] * E * x[1] / (p[2] * p[2]);
        d[3] = 1.0;
        d[4] = x[1];
    }
    return 0;
}

QX_MODEL(MnMolecular)
{
    QX_QUERY(1);
    const int n = QX_N(3);
    if (x[1] == p[2]) {
        y[1] = 0.0;
        if (n) {
            d[1] = 0.0;
            d[2] = -p[1] * p[3];
            d[3] = 0.0;
        }
        return 0;
    }
    if (!n && p[1] == 0.0) {
        y[1] = 0.0;
        return 0;
    }
    return MonomolecularCurve(n, p, x[1], y, d);
}

QX_MODEL(MnMolecular1)
{
    QX_QUERY(1);
    const int n = QX_N(3);
    if (n)
        d[1] = 1.0;
    double E = SafeExp(-p[3] * x[1]);
    if (MathError())
        return Fail(y, d, 2, n);
    y[1] = p[1] - p[2] * E;
    if (n) {
        d[2] = -E;
        d[3] = p[2] * x[1] * E;
    }
    return 0;
}

QX_MODEL(SLogistic1)
{
    QX_QUERY(1);
    const int n = QX_N(3);
    if (NotPositive(p[1]))
        return Fail(y);
    double E = SafeExp(-p[3] * (x[1] - p[2]));
    if (RangeError())
        return RangeLimitZero(y, d, n);
    if (MathError())
        return FailAll(y, d, n);
    y[1] = p[1] / (1.0 + E);
    if (n) {
        d[1] = 1.0 / (1.0 + E);
        d[2] = -p[3] * y[1] * E / (1.0 + E);
        d[3] = (x[1] - p[2]) * y[1] * E / (1.0 + E);
    }
    return 0;
}

QX_MODEL(SLogistic2)
{
    QX_QUERY(0);
    if (QX_DERIV)
        return 0;
    if (NotPositive(p[2]) || !(p[1] < p[2]) || IsZero(p[1]) || NotPositive(p[3]))
        return Fail(y);
    double E = SafeExp(-4.0 * p[3] * x[1] / p[2]);
    if (RangeError())
        return RangeLimitZero(y, d, 0);
    if (MathError())
        return Fail(y);
    y[1] = p[2] / (1.0 + (p[2] - p[1]) * E / p[1]);
    return 0;
}

QX_MODEL(SLogistic3)
{
    QX_QUERY(1);
    const int n = QX_N(3);
    if (NotPositive(p[1]) || NotPositive(p[2]) || NotPositive(p[3]))
        return FailAll(y, d, n);
    double E = SafeExp(-p[3] * x[1]);
    if (RangeError())
        return RangeLimitZero(y, d, n);
    if (MathError())
        return FailAll(y, d, n);
    double D = 1.0 + p[2] * E;
    y[1] = p[1] / D;
    if (n) {
        d[1] = 1.0 / D;
        d[2] = -y[1] * E / D;
        d[3] = -d[2] * p[2] * x[1];
    }
    return 0;
}

QX_MODEL(SGompertz)
{
    QX_QUERY(1);
    const int n = QX_N(3);
    if (NotPositive(p[1]) || NotPositive(p[3]))
        return FailAll(y, d, n);
    double E = SafeExp(-p[3] * (x[1] - p[2]));
    if (RangeError())
        return RangeLimitZero(y, d, n);
    double G = SafeExp(-E);
    if (MathError())
        return FailAll(y, d, n);
    y[1] = p[1] * G;
    if (n) {
        d[1] = G;
        d[2] = -p[3] * y[1] * E;
        d[3] = (x[1] - p[2]) * y[1] * E;
    }
    return 0;
}

QX_MODEL(SRichards1)
{
    QX_QUERY(1);
    const int n = QX_N(4);
    if (p[3] == 1.0 || NotPositive(p[1]) || NotPositive(p[4]))
        return FailAll(y, d, n);
    double E = SafeExp(-p[4] * (x[1] - p[2]));
    if (MathError())
        return FailAll(y, d, n);
    double A = SafePow(p[1], 1.0 - p[3]);
    if (MathError())
        return FailAll(y, d, n);
    // The sign of E's term follows the side of 1 on which p3 lies, so that B stays positive
    // on the growing branch of the curve either way.
    double s = p[3] < 1.0 ? -1.0 : 1.0;
    double B = A + s * E;
    if (NotPositive(B))
        return FailAll(y, d, n);
    double q = 1.0 - p[3];
    double v = SafePow(B, 1.0 / q);
    if (MathError())
        return FailAll(y, d, n);
    y[1] = v;
    if (n) {
        d[1] = A * v / (p[1] * B);
        d[2] = s * p[4] * v * E / (q * B);
        d[3] = (v / q) * (Ln(B) / q - Ln(p[1]) * A / B);
        d[4] = -s * (x[1] - p[2]) * v * E / (q * B);
    }
    return 0;
}

QX_MODEL(SRichards2)
{
    QX_QUERY(1);
    const int n = QX_N(4);
    if (p[3] == 1.0 || NotPositive(p[1]) || NotPositive(p[3]) || NotPositive(p[4]))
        return FailAll(y, d, n);
    double E = SafeExp(-p[4] * (x[1] - p[2]));
    if (MathError())
        return FailAll(y, d, n);
    double q = 1.0 - p[3];
    double B = 1.0 - E / (1.0 / q);
    if (NotPositive(B))
        return FailAll(y, d, n);
    double P = SafePow(B, 1.0 / q);
    if (MathError())
        return FailAll(y, d, n);
    y[1] = p[1] * P;
    if (n) {
        d[1] = P;
        d[2] = -p[4] * y[1] * E / B;
        d[3] = (y[1] / q) * (E / B + Ln(B) / q);
        d[4] = (x[1] - p[2]) * y[1] * E / B;
    }
    return 0;
}

// The Weibull cumulative curve, 0 up to its threshold p2 in both blocks.
QX_MODEL(SWeibull1)
{
    QX_QUERY(1);
    const int n = QX_N(4);
    if (n && (p[3] < 0.0 || NotPositive(p[4])))
        return FailAll(y, d, n);
    if (x[1] <= p[2]) {
        y[1] = 0.0;
        for (int i = 1; i <= n; ++i)
            d[i] = 0.0;
        return 0;
    }
    double b = (x[1] - p[2]) * p[4];
    double P = SafePow(b, p[3]);
    if (MathError())
        return FailAll(y, d, n);
    double E = SafeExp(-P);
    if (MathError())
        return FailAll(y, d, n);
    y[1] = p[1] * (1.0 - E);
    if (n) {
        d[1] = 1.0 - E;
        d[4] = p[1] * p[3] * P * E / p[4];
        d[2] = -d[4] * p[4] / (x[1] - p[2]);
        d[3] = p[1] * P * E * Ln(b);
    }
    return 0;
}

QX_MODEL(SWeibull2)
{
    QX_QUERY(1);
    const int n = QX_N(4);
    if (NotPositive(p[4]) || NotPositive(x[1]))
        return FailAll(y, d, n);
    double b = p[4] * x[1];
    double P = SafePow(b, p[3]);
    if (RangeError()) {
        // (p4 x)^p3 beyond the double range: the curve has reached p1.
        errno = 0;
        y[1] = p[1];
        if (n) {
            d[1] = 1.0;
            d[2] = d[3] = d[4] = 0.0;
        }
        return 0;
    }
    if (MathError())
        return FailAll(y, d, n);
    double E = SafeExp(-P);
    if (MathError())
        return FailAll(y, d, n);
    if (!n) {
        y[1] = p[1] - (p[1] - p[2]) * E;
        return 0;
    }
    y[1] = p[1] * (1.0 - E) + p[2] * E;
    d[1] = 1.0 - E;
    d[2] = E;
    d[3] = (p[1] - p[2]) * E * P * Ln(b);
    d[4] = (p[3] / p[4]) * (p[1] - p[2]) * E * P;
    return 0;
}
