// Adsorption isotherms (Freundlich, extended Langmuir, BET) and the three-parameter
// asymptotic regression forms. A value-block shortcut runs only after the row's domain
// tests have passed.
#include "ModelKit.h"

using namespace curvelib;

// Also the row TimePow.
QX_MODEL(Freundlich)
{
    QX_QUERY(1);
    const int n = QX_N(2);
    if (NotPositive(x[1]))
        return FailAll(y, d, n);
    double P = SafePow(x[1], p[2]);
    if (MathError())
        return FailAll(y, d, n);
    y[1] = p[1] * P;
    if (n) {
        d[1] = P;
        d[2] = Ln(x[1]) * y[1];
    }
    return 0;
}

QX_MODEL(FreundlichMod1)
{
    QX_QUERY(1);
    const int n = QX_N(2);
    if (NotPositive(x[1]) || IsZero(p[2]))
        return FailAll(y, d, n);
    double P = SafePow(x[1], 1.0 / p[2]);
    if (MathError())
        return FailAll(y, d, n);
    y[1] = p[1] * P;
    if (n) {
        d[1] = P;
        d[2] = -Ln(x[1]) * y[1] / (p[2] * p[2]);
    }
    return 0;
}

QX_MODEL(FreundlichEVP)
{
    QX_QUERY(1);
    const int n = QX_N(4);
    if (NotPositive(p[1]) || NotPositive(p[3]) || NotPositive(p[2]) || NotPositive(p[4]) ||
        NotPositive(x[1]) || IsZero(p[1] - p[3]))
        return FailAll(y, d, n);
    double l31 = Ln(p[3] / p[1]);
    double e = Ln(x[1] / p[1]) / l31;
    double R = SafePow(p[4] / p[2], e);
    if (MathError())
        return FailAll(y, d, n);
    double v = p[2] * R;
    y[1] = v;
    if (n) {
        double l42 = Ln(p[4] / p[2]);
        d[1] = v * l42 * (e - 1.0) / (p[1] * l31);
        d[2] = (1.0 - e) * v / p[2];
        d[3] = -e * v * l42 / (p[3] * l31);
        d[4] = e * v / p[4];
    }
    return 0;
}

QX_MODEL(Freundlich3P)
{
    QX_QUERY(1);
    const int n = QX_N(3);
    if (NotPositive(x[1]))
        return FailAll(y, d, n);
    double P = SafePow(x[1], p[3]);
    if (MathError())
        return FailAll(y, d, n);
    y[1] = p[1] + p[2] * P;
    if (n) {
        d[1] = 1.0;
        d[2] = P;
        d[3] = Ln(x[1]) * p[2] * P;
    }
    return 0;
}

QX_MODEL(Freundlich3PMod)
{
    QX_QUERY(1);
    const int n = QX_N(3);
    if (IsZero(p[3]))
        return FailAll(y, d, n);
    double P = SafePow(x[1], 1.0 / p[3]);
    if (MathError())
        return Fail(y, d, 2, n);
    y[1] = p[1] + p[2] * P;
    if (n) {
        d[1] = 1.0;
        d[2] = P;
        d[3] = -LnTimes(x[1], P) * p[2] / (p[3] * p[3]);
    }
    return 0;
}

QX_MODEL(Freundlich3PEVP1)
{
    QX_QUERY(1);
    const int n = QX_N(4);
    if (NotPositive(x[1]) || NotPositive(p[1]))
        return FailAll(y, d, n);
    double A = SafePow(x[1], p[4]);
    double B = SafePow(p[1], p[4]);
    if (MathError())
        return Fail(y);
    y[1] = p[2] + p[3] * (A - B);
    if (n) {
        d[1] = -p[3] * p[4] * B / p[1];
        d[2] = 1.0;
        d[3] = A - B;
        d[4] = p[3] * (Ln(x[1]) * A - Ln(p[1]) * B);
    }
    return 0;
}

// Passes through (p2, p3) and (p4, p5); derived numerically by the fitter.
QX_MODEL(Freundlich3PEVP2)
{
    QX_QUERY(0);
    if (QX_DERIV)
        return FailAll(y, d, 5);
    // p4 = p2 or p3 = p1 leave the curve undetermined (a division by zero below).
    if (NotPositive(p[2]) || NotPositive(p[4]) || NotPositive(x[1]) || IsZero(p[4] - p[2]) ||
        IsZero(p[3] - p[1]))
        return Fail(y);
    double e = Ln(x[1] / p[2]) / Ln(p[4] / p[2]);
    double R = SafePow((p[5] - p[1]) / (p[3] - p[1]), e);
    if (MathError())
        return Fail(y);
    y[1] = p[1] + (p[3] - p[1]) * R;
    return 0;
}

QX_MODEL(FreundlichEXT)
{
    QX_QUERY(1);
    const int n = QX_N(3);
    if (NotPositive(x[1]))
        return FailAll(y, d, n);
    double Q = SafePow(x[1], -p[3]);
    if (MathError())
        return FailAll(y, d, n);
    double P = SafePow(x[1], p[2] * Q);
    if (MathError())
        return FailAll(y, d, n);
    y[1] = p[1] * P;
    if (n) {
        double lx = Ln(x[1]);
        d[1] = P;
        d[2] = lx * Q * y[1];
        d[3] = -p[2] * lx * lx * Q * y[1];
    }
    return 0;
}

QX_MODEL(FreundlichEXTEVP)
{
    QX_QUERY(1);
    const int n = QX_N(4);
    if (NotPositive(x[1]) || NotPositive(p[1]))
        return FailAll(y, d, n);
    double Qx = SafePow(x[1], -p[4]);
    double Q1 = SafePow(p[1], -p[4]);
    if (MathError())
        return FailAll(y, d, n);
    double N = SafePow(x[1], p[3] * Qx);
    double M = SafePow(p[1], p[3] * Q1);
    if (MathError() || IsZero(M))
        return FailAll(y, d, n);
    double v = p[2] * N / M;
    y[1] = v;
    if (n) {
        double lx = Ln(x[1]), l1 = Ln(p[1]);
        d[1] = -(1.0 - p[4] * l1) * p[3] * v * Q1 / p[1];
        d[2] = N / M;
        d[3] = (lx * Qx - l1 * Q1) * v;
        d[4] = (l1 * l1 * Q1 - lx * lx * Qx) * p[3] * v;
    }
    return 0;
}

QX_MODEL(LangmuirEXT1)
{
    QX_QUERY(1);
    const int n = QX_N(3);
    if (NotPositive(x[1]) || (n && IsZero(p[2])))
        return FailAll(y, d, n);
    double T = SafePow(x[1], 1.0 - p[3]);
    if (MathError())
        return FailAll(y, d, n);
    double t = p[2] * T;
    if (IsZero(1.0 + t))
        return FailAll(y, d, n);
    double r = t / (1.0 + t);
    y[1] = p[1] * r;
    if (n) {
        d[1] = r;
        d[2] = y[1] * (1.0 - r) / p[2];
        d[3] = -Ln(x[1]) * y[1] * (1.0 - r);
    }
    return 0;
}

QX_MODEL(LangmuirEXT2)
{
    QX_QUERY(1);
    const int n = QX_N(3);
    if (NotPositive(x[1]))
        return FailAll(y, d, n);
    double t = SafePow(x[1], p[3] - 1.0);
    if (!n && RangeError()) {
        // x^(p3 - 1) beyond the double range: the term p2 * t dominates and the curve
        // tends to 0 (to 1 / p1 when there is no such term).
        errno = 0;
        if (p[2] != 0.0) {
            y[1] = 0.0;
            return 0;
        }
        t = 0.0;
    }
    if (MathError())
        return FailAll(y, d, n);
    double D = p[1] + p[2] * t;
    if (IsZero(D))
        return FailAll(y, d, n);
    double v = 1.0 / D;
    y[1] = v;
    if (n) {
        d[1] = -v * v;
        d[2] = -v * v * t;
        d[3] = -v * v * t * p[2] * Ln(x[1]);
    }
    return 0;
}

QX_MODEL(BET)
{
    QX_QUERY(1);
    const int n = QX_N(2);
    double W = 1.0 + (p[2] - 2.0) * x[1] - (p[2] - 1.0) * x[1] * x[1];
    if (IsZero(W))
        return FailAll(y, d, n);
    y[1] = p[1] * p[2] * x[1] / W;
    if (n) {
        d[1] = p[2] * x[1] / W;
        d[2] = (p[1] - (1.0 - x[1]) * y[1]) * x[1] / W;
    }
    return 0;
}

QX_MODEL(BETMod)
{
    QX_QUERY(1);
    const int n = QX_N(2);
    double W = p[1] + p[2] * x[1] - (p[1] + p[2]) * x[1] * x[1];
    if (IsZero(W))
        return FailAll(y, d, n);
    y[1] = x[1] / W;
    if (n) {
        d[1] = -y[1] * (1.0 - x[1] * x[1]) / W;
        d[2] = -y[1] * (x[1] - x[1] * x[1]) / W;
    }
    return 0;
}

QX_MODEL(Asymptotic1)
{
    QX_QUERY(1);
    const int n = QX_N(3);
    if (NotPositive(p[3]) || !(p[3] < 1.0))
        return FailAll(y, d, n);
    if (!n && p[2] == 0.0) {
        y[1] = p[1];
        return 0;
    }
    double P = SafePow(p[3], x[1]);
    if (MathError())
        return FailAll(y, d, n);
    y[1] = p[1] - p[2] * P;
    if (n) {
        d[1] = 1.0;
        d[2] = -P;
        d[3] = -p[2] * x[1] * P / p[3];
    }
    return 0;
}

QX_MODEL(Asymptotic2)
{
    QX_QUERY(1);
    const int n = QX_N(3);
    if (NotPositive(p[3]))
        return FailAll(y, d, n);
    if (!n && p[2] == 0.0) {
        y[1] = p[1];
        return 0;
    }
    double E = SafeExp(-p[3] * x[1]);
    if (MathError())
        return FailAll(y, d, n);
    y[1] = p[1] - p[2] * E;
    if (n) {
        d[1] = 1.0;
        d[2] = -E;
        d[3] = p[2] * x[1] * E;
    }
    return 0;
}

QX_MODEL(Asymptotic3)
{
    QX_QUERY(1);
    const int n = QX_N(3);
    if (NotPositive(p[3]))
        return FailAll(y, d, n);
    return MonomolecularCurve(n, p, x[1], y, d);
}

QX_MODEL(Asymptotic4)
{
    QX_QUERY(1);
    const int n = QX_N(3);
    if (NotPositive(p[2]) || !(p[2] < 1.0))
        return FailAll(y, d, n);
    double P = SafePow(p[2], x[1]);
    if (MathError())
        return n ? Fail(y, d, 2, 2) : Fail(y);
    y[1] = p[1] + (p[3] - p[1]) * P;
    if (n) {
        d[1] = 1.0 - P;
        d[2] = (p[3] - p[1]) * x[1] * P / p[2];
        d[3] = P;
    }
    return 0;
}

QX_MODEL(Asymptotic5)
{
    QX_QUERY(1);
    const int n = QX_N(3);
    if (NotPositive(p[2]))
        return FailAll(y, d, n);
    if (x[1] == 0.0) {
        y[1] = p[3];
        if (n) {
            d[1] = 0.0;
            d[2] = 0.0;
            d[3] = 1.0;
        }
        return 0;
    }
    if (!n && p[3] == p[1]) {
        y[1] = p[1];
        return 0;
    }
    double E = SafeExp(-p[2] * x[1]);
    if (MathError())
        return FailAll(y, d, n);
    y[1] = p[1] + (p[3] - p[1]) * E;
    if (n) {
        d[1] = 1.0 - E;
        d[2] = -(p[3] - p[1]) * x[1] * E;
        d[3] = E;
    }
    return 0;
}

QX_MODEL(Asymptotic6)
{
    QX_QUERY(1);
    const int n = QX_N(3);
    if (NotPositive(p[3]))
        return FailAll(y, d, n);
    double E = SafeExp(-(p[2] + p[3] * x[1]));
    if (MathError())
        return FailAll(y, d, n);
    y[1] = p[1] - E;
    if (n) {
        d[1] = 1.0;
        d[2] = E;
        d[3] = x[1] * E;
    }
    return 0;
}

QX_MODEL(Asymptotic7)
{
    QX_QUERY(1);
    const int n = QX_N(3);
    if (NotPositive(p[3]))
        return FailAll(y, d, n);
    if (x[1] == 0.0) {
        y[1] = p[1];
        if (n) {
            d[1] = 1.0;
            d[2] = 0.0;
            d[3] = 0.0;
        }
        return 0;
    }
    double E = SafeExp(-p[3] * x[1]);
    if (MathError())
        return FailAll(y, d, n);
    y[1] = p[1] + p[2] * (1.0 - E);
    if (n) {
        d[1] = 1.0;
        d[2] = 1.0 - E;
        d[3] = x[1] * p[2] * E;
    }
    return 0;
}
