// One-parameter logarithm, reciprocal, exponent, power and Pareto laws, and their
// expected-value forms, which read p1 and p2 and pass through (p1, p2).
#include "ModelKit.h"

using namespace curvelib;

QX_MODEL(Logarithm)
{
    QX_QUERY(1);
    double D = x[1] - p[1];
    if (NotPositive(D))
        return FailAll(y, d, QX_N(1));
    y[1] = Ln(D);
    if (QX_DERIV)
        d[1] = -1.0 / D;
    return 0;
}

// ln(x - p1 + e^p2), which is p2 at x = p1.
QX_MODEL(LogarithmEVP)
{
    QX_QUERY(1);
    const int n = QX_N(2);
    double E = SafeExp(p[2]);
    if (RangeError()) {
        // e^p2 beyond the double range dwarfs x - p1: the value is p2.
        errno = 0;
        y[1] = p[2];
        if (n) {
            d[1] = 0.0;
            d[2] = 1.0;
        }
        return 0;
    }
    double D = (x[1] - p[1]) + E;
    if (MathError() || NotPositive(D))
        return FailAll(y, d, n);
    y[1] = Ln(D);
    if (n) {
        d[1] = -1.0 / D;
        d[2] = E / D;
    }
    return 0;
}

QX_MODEL(Reciprocal0)
{
    QX_QUERY(1);
    double D = p[1] * x[1] + 1.0;
    if (IsZero(D))
        return FailAll(y, d, QX_N(1));
    y[1] = 1.0 / D;
    if (QX_DERIV)
        d[1] = -x[1] * y[1] * y[1];
    return 0;
}

QX_MODEL(Reciprocal0EVP)
{
    QX_QUERY(1);
    const int n = QX_N(2);
    if (IsZero(p[1]) || IsZero(p[2]))
        return FailAll(y, d, n);
    double D = ((1.0 / p[2] - 1.0) * x[1]) / p[1] + 1.0;
    if (IsZero(D))
        return FailAll(y, d, n);
    y[1] = 1.0 / D;
    if (n) {
        double c = y[1] * y[1] * (x[1] / p[1]);
        d[1] = c * (1.0 / p[2] - 1.0) / p[1];
        d[2] = c / (p[2] * p[2]);
    }
    return 0;
}

QX_MODEL(Exponent)
{
    QX_QUERY(1);
    double E = SafeExp(x[1] - p[1]);
    if (MathError())
        return FailAll(y, d, QX_N(1));
    y[1] = E;
    if (QX_DERIV)
        d[1] = -E;
    return 0;
}

QX_MODEL(ExponentEVP)
{
    QX_QUERY(1);
    double E = SafeExp(x[1] - p[1]);
    if (MathError())
        return FailAll(y, d, QX_N(2));
    y[1] = p[2] * E;
    if (QX_DERIV) {
        d[2] = E;
        d[1] = -y[1];
    }
    return 0;
}

QX_MODEL(Power)
{
    QX_QUERY(1);
    double P = SafePow(x[1], p[1]);
    if (MathError())
        return FailAll(y, d, QX_N(1));
    y[1] = P;
    if (QX_DERIV) {
        if (NotPositive(x[1])) {
            d[1] = MISSING_VALUE;
            return 1;
        }
        d[1] = Ln(x[1]) * P;
    }
    return 0;
}

// p2^(ln x / ln p1).
QX_MODEL(PowerEVP)
{
    QX_QUERY(1);
    const int n = QX_N(2);
    if (NotPositive(x[1]) || NotPositive(p[1]) || NotPositive(p[2]))
        return FailAll(y, d, n);
    if (p[1] == 1.0) {
        // The exponent is 0/0 there; only p2 = 1 gives a value (1 for every exponent), and
        // no derivative exists.
        if (p[2] != 1.0 || n)
            return FailAll(y, d, n);
        y[1] = 1.0;
        return 0;
    }
    double l1 = Ln(p[1]);
    double t = Ln(x[1]) / l1;
    double v = SafePow(p[2], t);
    if (MathError())
        return FailAll(y, d, n);
    y[1] = v;
    if (n) {
        double c = t * v;
        d[1] = -(((c * Ln(p[2])) / p[1]) / l1);
        d[2] = c / p[2];
    }
    return 0;
}

QX_MODEL(Reciprocal1)
{
    QX_QUERY(1);
    double D = p[1] + x[1];
    if (IsZero(D))
        return FailAll(y, d, QX_N(1));
    y[1] = 1.0 / D;
    if (QX_DERIV)
        d[1] = -y[1] * y[1];
    return 0;
}

QX_MODEL(Reciprocal1EVP)
{
    QX_QUERY(1);
    const int n = QX_N(2);
    double D = (x[1] - p[1]) * p[2] + 1.0;
    if (IsZero(D))
        return FailAll(y, d, n);
    y[1] = p[2] / D;
    if (n) {
        d[2] = (1.0 / D) / D;
        d[1] = d[2] * p[2] * p[2];
    }
    return 0;
}

QX_MODEL(Pareto)
{
    QX_QUERY(1);
    const int n = QX_N(1);
    if (NotPositive(x[1]))
        return FailAll(y, d, n);
    double T = SafePow(x[1], -p[1]);
    if (MathError())
        return FailAll(y, d, n);
    y[1] = 1.0 - T;
    if (n)
        d[1] = Ln(x[1]) * T;
    return 0;
}

// 1 - (1 - p2)^(ln x / ln p1).
QX_MODEL(ParetoEVP)
{
    QX_QUERY(1);
    const int n = QX_N(2);
    if (NotPositive(x[1]) || NotPositive(p[1]) || !(p[2] < 1.0))
        return FailAll(y, d, n);
    if (p[1] == 1.0) {
        // The exponent is infinite there; the value is taken as 0, and no derivative exists.
        if (n)
            return FailAll(y, d, n);
        y[1] = 0.0;
        return 0;
    }
    double l1 = Ln(p[1]);
    double e = Ln(x[1]) / l1;
    double T = SafePow(1.0 - p[2], e);
    if (MathError())
        return FailAll(y, d, n);
    y[1] = 1.0 - T;
    if (n) {
        double c = T * e;
        d[2] = c / (1.0 - p[2]);
        d[1] = ((Ln(1.0 - p[2]) * c) / p[1]) / l1;
    }
    return 0;
}

// p1 e^(-p1 x), the exponential density.
QX_MODEL(Exponent1)
{
    QX_QUERY(1);
    double E = SafeExp(-x[1] * p[1]);
    if (MathError())
        return FailAll(y, d, QX_N(1));
    y[1] = E * p[1];
    // (1/p1 - x) * y written without the division, so that p1 = 0 gives its true value 1.
    if (QX_DERIV)
        d[1] = E * (1.0 - p[1] * x[1]);
    return 0;
}

// -ln(p1) p1^x.
QX_MODEL(Exponent1Mod)
{
    QX_QUERY(1);
    if (NotPositive(p[1]))
        return FailAll(y, d, QX_N(1));
    double T = SafePow(p[1], x[1]);
    if (MathError())
        return Fail(y);
    y[1] = -T * Ln(p[1]);
    if (QX_DERIV)
        d[1] = (y[1] * x[1] - T) / p[1];
    return 0;
}

QX_MODEL(Exponent2)
{
    QX_QUERY(1);
    double E = SafeExp(-p[1] * x[1]);
    if (MathError())
        return FailAll(y, d, QX_N(1));
    y[1] = E;
    if (QX_DERIV)
        d[1] = -(x[1] * E);
    return 0;
}

QX_MODEL(Exponent2Mod1)
{
    QX_QUERY(1);
    if (NotPositive(p[1]))
        return FailAll(y, d, QX_N(1));
    double T = SafePow(p[1], x[1]);
    if (MathError())
        return Fail(y);
    y[1] = T;
    if (QX_DERIV)
        d[1] = (x[1] * T) / p[1];
    return 0;
}

// p2^(x / p1).
QX_MODEL(Exponent2EVP)
{
    QX_QUERY(1);
    const int n = QX_N(2);
    if (NotPositive(p[2]) || IsZero(p[1]))
        return FailAll(y, d, n);
    double t = x[1] / p[1];
    double v = SafePow(p[2], t);
    if (MathError())
        return n ? Fail(y, d, 2, 2) : Fail(y);
    y[1] = v;
    if (n) {
        double c = t * v;
        d[2] = c / p[2];
        d[1] = -(c / p[1]) * Ln(p[2]);
    }
    return 0;
}

QX_MODEL(Exponent3)
{
    QX_QUERY(1);
    const double t = -p[1] * x[1];
    double E = SafeExp(t);
    if (MathError())
        return FailAll(y, d, QX_N(1));
    y[1] = OneMinusExp(t, E);
    if (QX_DERIV)
        d[1] = x[1] * E;
    return 0;
}

QX_MODEL(Exponent3Mod1)
{
    QX_QUERY(1);
    const int n = QX_N(1);
    if (NotPositive(p[1]))
        return FailAll(y, d, n);
    double T = SafePow(p[1], x[1]);
    if (MathError())
        return FailAll(y, d, n);
    y[1] = 1.0 - T;
    if (n)
        d[1] = -(x[1] / p[1]) * T;
    return 0;
}

// 1 - (1 - p2)^(x / p1).
QX_MODEL(Exponent3EVP)
{
    QX_QUERY(1);
    const int n = QX_N(2);
    if (!(p[2] < 1.0))
        return FailAll(y, d, n);
    if (p[1] == 0.0) {
        y[1] = 0.0;
        if (!n)
            return 0;
        d[1] = d[2] = MISSING_VALUE;
        return 1;
    }
    double T = SafePow(1.0 - p[2], x[1] / p[1]);
    if (MathError())
        return FailAll(y, d, n);
    y[1] = 1.0 - T;
    if (n) {
        double c = x[1] * T / p[1];
        d[2] = c / (1.0 - p[2]);
        d[1] = (Ln(1.0 - p[2]) / p[1]) * c;
    }
    return 0;
}
