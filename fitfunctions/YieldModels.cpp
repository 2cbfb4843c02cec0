// Yield, growth and dose-response models: crop yield against density or fertiliser,
// allometric growth, saturation and exponential rise, reciprocal yield-density laws.
#include "ModelKit.h"

using namespace curvelib;

QX_MODEL(Shah)
{
    QX_QUERY(1);
    if (NotPositive(p[4]) || !(p[4] < 1.0))
        return FailAll(y, d, QX_N(4));
    double lin = p[1] + p[2] * x[1];
    if (QX_VALUE_CALL) {
        if (p[3] == 0.0) {
            y[1] = lin;
            return 0;
        }
        double P = SafePow(p[4], x[1]);
        if (MathError())
            return Fail(y);
        y[1] = lin + p[3] * P;
        return 0;
    }
    {
        double P = SafePow(p[4], x[1]);
        if (MathError())
            return Fail(y, d, 3, 4);
        d[1] = 1.0;
        d[2] = x[1];
        d[3] = P;
        d[4] = p[3] * x[1] * P / p[4];
        y[1] = lin + p[3] * P;
    }
    return 0;
}

QX_MODEL(YldFert)
{
    QX_QUERY(1);
    if (NotPositive(p[3]) || !(p[3] <= 1.0))
        return FailAll(y, d, QX_N(3));
    double P = SafePow(p[3], x[1]);
    if (MathError())
        return FailAll(y, d, QX_N(3));
    y[1] = p[1] + p[2] * P;
    if (QX_DERIV) {
        d[1] = 1.0;
        d[2] = P;
        d[3] = p[2] * x[1] * P / p[3];
    }
    return 0;
}

QX_MODEL(YldFert1)
{
    QX_QUERY(1);
    if (QX_VALUE_CALL) {
        double E = SafeExp(-p[3] * x[1]);
        if (MathError())
            return Fail(y);
        y[1] = p[1] + p[2] * E;
        return 0;
    }
    {
        // The derivative block accepts only a decaying exponential.
        d[1] = 1.0;
        if (NotPositive(p[3]))
            return Fail(y, d, 2, 3);
        double E = SafeExp(-p[3] * x[1]);
        if (MathError())
            return Fail(y, d, 2, 3);
        d[2] = E;
        d[3] = -p[2] * x[1] * E;
        y[1] = p[1] + p[2] * E;
    }
    return 0;
}

extern "C" int WINAPI Freundlich(int mode, HostCallback host, int nParams, int currentRow,
                                 int reserved, double *p, double *work, double *x, double *y,
                                 double *d);

// Freundlich's power law p1 x^p2, with a shortcut for p1 = 0 in the value block.
QX_MODEL(Allometric1)
{
    QX_QUERY(1);
    if (QX_VALUE_CALL && p[1] == 0.0 && !NotPositive(x[1])) {
        y[1] = 0.0;
        return 0;
    }
    return Freundlich(mode, host, nParams, currentRow, reserved, p, work, x, y, d);
}

QX_MODEL(Allometric2)
{
    QX_QUERY(1);
    const bool deriv = QX_DERIV;
    if (NotPositive(x[1]))
        return FailAll(y, d, deriv ? 3 : 0);
    if (!deriv && p[2] == 0.0) {
        y[1] = p[1];
        return 0;
    }
    double P = SafePow(x[1], p[3]);
    if (MathError())
        return Fail(y, d, 2, deriv ? 3 : 0);
    y[1] = p[1] + p[2] * P;
    if (deriv) {
        d[1] = 1.0;
        d[2] = P;
        d[3] = Ln(x[1]) * p[2] * P;
    }
    return 0;
}

// Two independent variables: x[1] raised to p1 times a line in x[2].
QX_MODEL(Cole)
{
    QX_QUERY(0);
    if (!QX_VALUE_CALL)
        return 0;
    double line = p[2] + p[3] * x[2];
    if (line == 0.0) {
        y[1] = 0.0;
        return 0;
    }
    double P = SafePow(x[1], p[1]);
    if (MathError())
        return Fail(y);
    y[1] = P * line;
    return 0;
}

QX_MODEL(Holliday)
{
    QX_QUERY(1);
    double D = p[1] + p[2] * x[1] + p[3] * x[1] * x[1];
    if (IsZero(D))
        return FailAll(y, d, QX_N(3));
    y[1] = 1.0 / D;
    if (QX_DERIV) {
        d[1] = -1.0 / (D * D);
        d[2] = -x[1] / (D * D);
        d[3] = -x[1] * x[1] / (D * D);
    }
    return 0;
}

QX_MODEL(Holliday1)
{
    QX_QUERY(1);
    double D = 1.0 + p[2] * x[1] + p[3] * x[1] * x[1];
    if (IsZero(D))
        return FailAll(y, d, QX_N(3));
    y[1] = p[1] / D;
    if (QX_DERIV) {
        d[1] = 1.0 / D;
        d[2] = -y[1] * x[1] / D;
        d[3] = -y[1] * x[1] * x[1] / D;
    }
    return 0;
}

QX_MODEL(MicMent)
{
    QX_QUERY(1);
    double D = p[2] + x[1];
    if (IsZero(D))
        return FailAll(y, d, QX_N(2));
    y[1] = p[1] * x[1] / D;
    if (QX_DERIV) {
        d[1] = x[1] / D;
        d[2] = -y[1] / D;
    }
    return 0;
}

QX_MODEL(BoxLucas1)
{
    QX_QUERY(0);
    const double t = -p[2] * x[1];
    double E = SafeExp(t);
    if (MathError())
        return FailAll(y, d, QX_N(2));
    const double B = OneMinusExp(t, E);
    y[1] = p[1] * B;
    if (QX_DERIV) {
        d[1] = B;
        d[2] = p[1] * E * x[1];   // (p1 - y) * x without the cancellation
    }
    return 0;
}

QX_MODEL(BoxLucas1Mod)
{
    QX_QUERY(1);
    const int n = QX_N(2);
    if (NotPositive(p[2]))
        return FailAll(y, d, n);
    double P = SafePow(p[2], x[1]);
    if (MathError())
        return FailAll(y, d, n);
    y[1] = p[1] * (1.0 - P);
    if (n) {
        d[1] = 1.0 - P;
        d[2] = -p[1] * x[1] * P / p[2];
    }
    return 0;
}

// Expected-value form: the curve passes through (p1, p2); p3 is the base.
QX_MODEL(BoxLucas1EVP)
{
    QX_QUERY(1);
    const int n = QX_N(3);
    if (NotPositive(p[3]) || IsZero(p[1]) || IsZero(p[3] - 1.0))
        return FailAll(y, d, n);
    double A = SafePow(p[3], x[1]);
    if (MathError())
        return FailAll(y, d, n);
    double B = SafePow(p[3], p[1]);
    if (RangeError()) {
        // B beyond the double range: the curve's limit there is 0.
        errno = 0;
        y[1] = 0.0;
        for (int i = 1; i <= n; ++i)
            d[i] = 0.0;
        return 0;
    }
    if (MathError())
        return FailAll(y, d, n);
    y[1] = p[2] * (1.0 - A) / (1.0 - B);
    if (n) {
        d[1] = Ln(p[3]) * y[1] * B / (1.0 - B);
        d[2] = (1.0 - A) / (1.0 - B);
        d[3] = (y[1] * p[1] * B - p[2] * x[1] * A) / (p[3] * (1.0 - B));
    }
    return 0;
}

QX_MODEL(Stirling)
{
    QX_QUERY(0);
    if (!QX_VALUE_CALL)
        return 0;
    if (IsZero(p[3]))
        return Fail(y);
    double t = p[3] * x[1];
    SafeExp(t);
    if (MathError())
        return Fail(y);
    // (e^t - 1) by expm1: the difference loses every digit for small p3 * x otherwise.
    int saved = errno;
    double em1 = std::expm1(t);
    errno = saved;
    y[1] = p[1] + p[2] * em1 / p[3];
    return 0;
}

QX_MODEL(Gunary)
{
    QX_QUERY(1);
    const int n = QX_N(3);
    if (x[1] < 0.0 || std::isnan(x[1]))
        return FailAll(y, d, n);
    double r = Sqrt(x[1]);
    double D = p[1] + p[2] * x[1] + p[3] * r;
    if (IsZero(D))
        return FailAll(y, d, n);
    y[1] = x[1] / D;
    if (n) {
        d[1] = -x[1] / (D * D);
        d[2] = d[1] * x[1];
        d[3] = d[1] * r;
    }
    return 0;
}

QX_MODEL(BlNeldSmp)
{
    QX_QUERY(1);
    const int n = QX_N(3);
    double B = p[1] + p[2] * x[1];
    if (NotPositive(B) || IsZero(p[3]))
        return FailAll(y, d, n);
    y[1] = SafePow(B, -1.0 / p[3]);
    if (MathError())
        return FailAll(y, d, n);
    if (n) {
        d[1] = -y[1] / (B * p[3]);
        d[2] = d[1] * x[1];
        d[3] = y[1] * Ln(B) / (p[3] * p[3]);
    }
    return 0;
}

QX_MODEL(BlNeld)
{
    QX_QUERY(1);
    const int n = QX_N(4);
    if (IsZero(p[3]))
        return FailAll(y, d, n);
    double A = SafePow(x[1], p[4]);
    if (MathError())
        return FailAll(y, d, n);
    double B = p[1] + p[2] * A;
    if (n && NotPositive(B))
        return FailAll(y, d, n);
    double v = SafePow(B, -1.0 / p[3]);
    if (MathError())
        return FailAll(y, d, n);
    y[1] = v;
    if (n) {
        d[1] = -v / (p[3] * B);
        d[2] = d[1] * A;
        d[3] = v * Ln(B) / (p[3] * p[3]);
        d[4] = p[2] * d[1] * LnTimes(x[1], A);
    }
    return 0;
}
