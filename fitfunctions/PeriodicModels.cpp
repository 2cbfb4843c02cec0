// Pulse, power-law, periodic and sigmoid single curves.
#include "ModelKit.h"

using namespace curvelib;

namespace {

double SineOf(double x, double xc, double w)
{
    return Sin(((x - xc) * kPi) / w);
}

} // namespace

// x0, A, t1 (rise time), P (rise power), t2 (decay time): 0 before x0.
QX_MODEL(Pulse1)
{
    QX_QUERY(1);
    double x0 = p[1], A = p[2], t1 = p[3], P = p[4], t2 = p[5];
    double dx = x[1] - x0;
    if (!QX_DERIV) {
        if (A != 0.0 && (IsZero(t1) || IsZero(t2)))
            return Fail(y);
        if (dx <= 0.0 || A == 0.0) {
            y[1] = 0.0;
            return 0;
        }
        double E2 = SafeExp(-dx / t2);
        double R = SafePow(1.0 - SafeExp(-dx / t1), P);
        if (MathError())
            return Fail(y);
        y[1] = E2 * R * A;
        return 0;
    }
    if (NotPositive(t1) || NotPositive(t2) || NotPositive(P))
        return FailAll(y, d, 5);
    if (dx < 0.0) {
        y[1] = 0.0;
        for (int i = 1; i <= 5; ++i)
            d[i] = 0.0;
        return 0;
    }
    double e1 = -dx / t1, e2 = -dx / t2;
    double E1 = SafeExp(e1), E2 = SafeExp(e2);
    if (MathError())
        return FailAll(y, d, 5);
    double q = 1.0 - E1;
    double R = SafePow(q, P);
    if (MathError())
        return FailAll(y, d, 5);
    d[2] = R * E2;
    y[1] = A * d[2];
    if (E1 == 1.0) {
        // At x0 itself the rise term's derivatives do not exist.
        d[1] = d[3] = d[4] = d[5] = MISSING_VALUE;
        return 1;
    }
    double r = E1 * P / (q * t1);
    d[3] = y[1] * e1 * r;
    d[5] = -(e2 * y[1] / t2);
    d[1] = (1.0 / t2 - r) * y[1];
    d[4] = Ln(q) * y[1];
    return 0;
}

// xc, A, pl: A |x - xc|^pl.
QX_MODEL(Power1)
{
    QX_QUERY(1);
    double xc = p[1], A = p[2], pl = p[3];
    if (!QX_DERIV) {
        if (x[1] == xc) {
            y[1] = 0.0;
            return 0;
        }
        double T = SafePow(std::fabs(x[1] - xc), pl);
        if (MathError())
            return Fail(y);
        y[1] = A * T;
        return 0;
    }
    if (NotPositive(pl))
        return FailAll(y, d, 3);
    if (x[1] == xc) {
        // At the centre the derivatives in xc and in the exponent do not exist.
        y[1] = 0.0;
        d[2] = 0.0;
        d[1] = d[3] = MISSING_VALUE;
        return 0;
    }
    double a = std::fabs(x[1] - xc);
    double T = SafePow(a, pl);
    if (MathError())
        return FailAll(y, d, 3);
    d[2] = T;
    d[1] = -(T * pl * A / (x[1] - xc));
    d[3] = Ln(a) * T * A;
    y[1] = T * A;
    return 0;
}

// xc, A, pl1, pl2: A |x - xc|^pl1 left of xc, A |x - xc|^pl2 right of it.
QX_MODEL(Power2)
{
    QX_QUERY(1);
    double xc = p[1], A = p[2], pl1 = p[3], pl2 = p[4];
    double t = x[1] - xc;
    if (!QX_DERIV) {
        if (t == 0.0) {
            y[1] = 0.0;
            return 0;
        }
        double T = SafePow(std::fabs(t), t < 0.0 ? pl1 : pl2);
        if (MathError())
            return Fail(y);
        y[1] = A * T;
        return 0;
    }
    if (NotPositive(pl1) || NotPositive(pl2))
        return FailAll(y, d, 4);
    double T = 0.0;
    if (t < 0.0) {
        T = SafePow(-t, pl1);
        if (MathError())
            return FailAll(y, d, 4);
        d[1] = -(A * pl1 * T / t);
        d[3] = Ln(-t) * A * T;
        d[4] = 0.0;
    } else if (t > 0.0) {
        T = SafePow(t, pl2);
        if (MathError())
            return FailAll(y, d, 4);
        d[3] = 0.0;
        d[1] = -(A * pl2 * T / t);
        d[4] = Ln(t) * A * T;
    } else {
        d[1] = d[3] = d[4] = MISSING_VALUE;
    }
    d[2] = T;
    y[1] = A * T;
    return 0;
}

// xc, w (half the period), A.
QX_MODEL(Sine)
{
    QX_QUERY(0);
    if (QX_DERIV || IsZero(p[2]))
        return FailAll(y, d, QX_N(3));
    y[1] = SineOf(x[1], p[1], p[2]) * p[3];
    return 0;
}

QX_MODEL(SineSqr)
{
    QX_QUERY(0);
    if (QX_DERIV || IsZero(p[2]))
        return FailAll(y, d, QX_N(3));
    double s = SineOf(x[1], p[1], p[2]);
    y[1] = s * p[3] * s;
    return 0;
}

// xc, w, t0 (decay time), A.
QX_MODEL(SineDamp)
{
    QX_QUERY(0);
    if (QX_DERIV || IsZero(p[3]) || IsZero(p[2]))
        return FailAll(y, d, QX_N(4));
    double E = SafeExp(-x[1] / p[3]);
    if (MathError())
        return Fail(y);
    y[1] = SineOf(x[1], p[1], p[2]) * E * p[4];
    return 0;
}

// y0, A, R0: y0 + A e^(R0 x).
QX_MODEL(Exponential)
{
    QX_QUERY(0);
    if (QX_DERIV)
        return 0;
    if (!(p[3] * x[1] <= 1000.0))
        return Fail(y);
    double E = SafeExp(p[3] * x[1]);
    if (MathError())
        return Fail(y);
    y[1] = E * p[2] + p[1];
    return 0;
}

// a, y0, xc, k: a logistic step from y0 to a; where the exponential overflows the curve
// has settled at y0.
QX_MODEL(Slogistic4)
{
    QX_QUERY(1);
    double a = p[1], y0 = p[2], xc = p[3], k = p[4];
    double e = SafeExp(-(x[1] - xc) * k);
    if (RangeError()) {
        errno = 0;
        y[1] = y0;
        if (QX_DERIV) {
            d[1] = 0.0;
            d[2] = 1.0;
            d[3] = d[4] = 0.0;
        }
        return 0;
    }
    if (MathError())
        return FailAll(y, d, QX_N(4));
    if (!QX_DERIV) {
        y[1] = (a - y0) / (e + 1.0) + y0;
        return 0;
    }
    double s = 1.0 / (e + 1.0);
    d[1] = s;
    d[2] = 1.0 - s;
    double u = (a - y0) * s;
    double q = u * s * e;
    d[3] = -(q * k);
    d[4] = (x[1] - xc) * q;
    y[1] = u + y0;
    return 0;
}
