// Two-parameter logarithmic, exponential, reciprocal and power models and their
// expected-value forms. An expected-value form replaces the model's constants by the
// values the curve takes at chosen abscissas: it passes through (p1, p2), and the
// four-parameter ones also through (p3, p4).
#include "ModelKit.h"

using namespace curvelib;

QX_MODEL(Log2P1)
{
    QX_QUERY(1);
    const int n = QX_N(2);
    double D = x[1] - p[1];
    if (NotPositive(D))
        return FailAll(y, d, n);
    double L = Ln(D);
    y[1] = p[2] * L;
    if (n) {
        d[1] = -p[2] / D;
        d[2] = L;
    }
    return 0;
}

QX_MODEL(Log2P1EVP)
{
    QX_QUERY(1);
    const int n = QX_N(3);
    // p3 = 0 would make p2 / p3 a division by zero.
    if (IsZero(p[3]))
        return FailAll(y, d, n);
    double E = SafeExp(p[2] / p[3]);
    if (MathError())
        return Fail(y);
    double D = x[1] - p[1] + E;
    if (NotPositive(D))
        return Fail(y);
    double L = Ln(D);
    y[1] = p[3] * L;
    if (n) {
        d[1] = -p[3] / D;
        d[2] = E / D;
        d[3] = L - p[2] * E / (p[3] * D);
    }
    return 0;
}

QX_MODEL(Log2P2)
{
    QX_QUERY(1);
    const int n = QX_N(2);
    double D = p[1] + p[2] * x[1];
    if (NotPositive(D))
        return FailAll(y, d, n);
    y[1] = Ln(D);
    if (n) {
        d[1] = 1.0 / D;
        d[2] = x[1] / D;
    }
    return 0;
}

QX_MODEL(Log2P2EVP)
{
    QX_QUERY(1);
    const int n = QX_N(4);
    double span = p[3] - p[1];
    if (IsZero(span))
        return Fail(y);
    double A = SafeExp(p[2]);
    double B = SafeExp(p[4]);
    if (MathError())
        return Fail(y);
    double N = (x[1] - p[1]) * B + (p[3] - x[1]) * A;
    if (NotPositive(N / span))
        return FailAll(y, d, n);
    y[1] = Ln(N / span);
    if (n) {
        d[1] = 1.0 / span - B / N;
        d[2] = (p[3] - x[1]) * A / N;
        d[3] = A / N - 1.0 / span;
        d[4] = (x[1] - p[1]) * B / N;
    }
    return 0;
}

QX_MODEL(Exp2P)
{
    QX_QUERY(1);
    if (NotPositive(p[2]))
        return Fail(y);
    double P = SafePow(p[2], x[1]);
    if (MathError())
        return Fail(y);
    y[1] = p[1] * P;
    if (QX_DERIV) {
        d[1] = P;
        d[2] = y[1] * x[1] / p[2];
    }
    return 0;
}

QX_MODEL(Exp2PMod1)
{
    QX_QUERY(1);
    double E = SafeExp(p[2] * x[1]);
    if (MathError())
        return FailAll(y, d, QX_N(2));
    y[1] = p[1] * E;
    if (QX_DERIV) {
        d[1] = E;
        d[2] = y[1] * x[1];
    }
    return 0;
}

QX_MODEL(Exp2PMod2)
{
    QX_QUERY(1);
    double E = SafeExp(p[1] + p[2] * x[1]);
    if (MathError())
        return Fail(y);
    y[1] = E;
    if (QX_DERIV) {
        d[1] = E;
        d[2] = E * x[1];
    }
    return 0;
}

QX_MODEL(Exp2PEVP)
{
    QX_QUERY(1);
    const int n = QX_N(4);
    double u = p[1] - p[3];
    if (NotPositive(p[2]) || NotPositive(p[4]) || IsZero(u))
        return Fail(y);
    double a = SafePow(p[2], (x[1] - p[3]) / u);
    double b = SafePow(p[4], (p[1] - x[1]) / u);
    if (MathError())
        return FailAll(y, d, n);
    double v = a * b;
    y[1] = v;
    if (n) {
        double lr = Ln(p[4] / p[2]);
        d[1] = lr * v * (x[1] - p[3]) / (u * u);
        d[2] = (x[1] - p[3]) * v / (u * p[2]);
        d[3] = lr * v * (p[1] - x[1]) / (u * u);
        d[4] = (p[1] - x[1]) * v / (u * p[4]);
    }
    return 0;
}

QX_MODEL(RectHyperbola)
{
    QX_QUERY(1);
    double u = p[2] * x[1];
    if (IsZero(1.0 + u))
        return Fail(y);
    y[1] = p[1] * u / (1.0 + u);
    if (QX_DERIV) {
        d[1] = u / (1.0 + u);
        // (1 - d1) * y / p2, written without the division by p2, which may be 0.
        d[2] = p[1] * x[1] / ((1.0 + u) * (1.0 + u));
    }
    return 0;
}

QX_MODEL(HyperbolaMod)
{
    QX_QUERY(1);
    double D = p[1] * x[1] + p[2];
    if (IsZero(D))
        return Fail(y);
    y[1] = x[1] / D;
    if (QX_DERIV) {
        d[1] = -y[1] * y[1];
        d[2] = -y[1] / D;
    }
    return 0;
}

QX_MODEL(HyperbolaEVP)
{
    QX_QUERY(1);
    const int n = QX_N(4);
    double W = (x[1] - p[1]) * p[3] * p[2] + (p[3] - x[1]) * p[4] * p[1];
    if (IsZero(W))
        return FailAll(y, d, n);
    double v = (p[3] - p[1]) * p[4] * p[2] * x[1] / W;
    y[1] = v;
    if (n) {
        // The derivatives of v written without dividing by p2, p4 or p3 - p1, each of
        // which may be 0 where v itself is well defined.
        double K = p[4] * p[2] * x[1] / W;
        d[1] = v * (p[3] * p[2] - (p[3] - x[1]) * p[4]) / W - K;
        d[2] = ((p[3] - p[1]) * p[4] * x[1] - v * (x[1] - p[1]) * p[3]) / W;
        d[3] = K - v * ((x[1] - p[1]) * p[2] + p[4] * p[1]) / W;
        d[4] = ((p[3] - p[1]) * p[2] * x[1] - v * (p[3] - x[1]) * p[1]) / W;
    }
    return 0;
}

QX_MODEL(Reciprocal)
{
    QX_QUERY(1);
    double D = p[1] + p[2] * x[1];
    if (IsZero(D))
        return Fail(y);
    y[1] = 1.0 / D;
    if (QX_DERIV) {
        d[1] = -y[1] * y[1];
        d[2] = -y[1] * y[1] * x[1];
    }
    return 0;
}

QX_MODEL(ReciprocalMod)
{
    QX_QUERY(1);
    double D = 1.0 + p[2] * x[1];
    if (IsZero(D))
        return Fail(y);
    y[1] = p[1] / D;
    if (QX_DERIV) {
        d[1] = 1.0 / D;
        d[2] = -y[1] * x[1] * d[1];
    }
    return 0;
}

QX_MODEL(ReciprocalEVP)
{
    QX_QUERY(1);
    const int n = QX_N(4);
    double W = (x[1] - p[1]) * p[2] + (p[3] - x[1]) * p[4];
    if (IsZero(W))
        return FailAll(y, d, n);
    double v = (p[3] - p[1]) * p[2] * p[4] / W;
    y[1] = v;
    if (n) {
        d[1] = (v - p[4]) * p[2] / W;
        d[2] = ((p[3] - p[1]) * p[4] - (x[1] - p[1]) * v) / W;
        d[3] = (p[2] - v) * p[4] / W;
        d[4] = ((p[3] - p[1]) * p[2] - (p[3] - x[1]) * v) / W;
    }
    return 0;
}

QX_MODEL(LineMod)
{
    QX_QUERY(1);
    y[1] = p[1] * (x[1] - p[2]);
    if (QX_DERIV) {
        d[1] = x[1] - p[2];
        d[2] = -p[1];
    }
    return 0;
}

QX_MODEL(Ratkowsky2P1)
{
    QX_QUERY(1);
    const int n = QX_N(2);
    double B = p[1] * x[1] + 1.0;
    if (NotPositive(B))
        return FailAll(y, d, n);
    double P = SafePow(B, -p[2]);
    if (MathError())
        return FailAll(y, d, n);
    y[1] = 1.0 - P;
    if (n) {
        d[1] = p[2] * x[1] * P / B;
        d[2] = Ln(B) * P;
    }
    return 0;
}

QX_MODEL(Ratkowsky2P1EVP)
{
    QX_QUERY(1);
    const int n = QX_N(3);
    double q = 1.0 - p[2];
    double a = p[3] * p[1] + 1.0;
    double b = p[3] * x[1] + 1.0;
    if (NotPositive(q) || NotPositive(b) || NotPositive(a) || IsZero(a - 1.0))
        return FailAll(y, d, n);
    double la = Ln(a), lb = Ln(b);
    double e = lb / la;
    double P = SafePow(q, e);
    if (MathError())
        return FailAll(y, d, n);
    y[1] = 1.0 - P;
    if (n) {
        double lq = Ln(q);
        d[1] = lq * p[3] * lb * P / (a * la * la);
        d[2] = e * P / q;
        d[3] = -(x[1] / (b * la) - lb * p[1] / (a * la * la)) * lq * P;
    }
    return 0;
}

QX_MODEL(Bradley)
{
    QX_QUERY(1);
    const int n = QX_N(2);
    if (NotPositive(x[1]) || IsZero(p[2]))
        return FailAll(y, d, n);
    double t = -p[2] * Ln(x[1]);
    if (NotPositive(t))
        return FailAll(y, d, n);
    double L = Ln(t);
    y[1] = p[1] * L;
    if (n) {
        d[1] = L;
        d[2] = p[1] / p[2];
    }
    return 0;
}

QX_MODEL(Ratkowsky2P2)
{
    QX_QUERY(1);
    const int n = QX_N(2);
    if (NotPositive(x[1]))
        return FailAll(y, d, n);
    double A = SafePow(x[1], -p[2]);
    if (MathError())
        return FailAll(y, d, n);
    y[1] = p[1] * (1.0 - A);
    if (n) {
        d[1] = 1.0 - A;
        d[2] = Ln(x[1]) * p[1] * A;   // ln(x) * (p1 - y) without the cancellation
    }
    return 0;
}

// The expected-value form of p1 * (1 - x^-p3) normalised to pass through (p1, p2).
QX_MODEL(Ratkowsky2P2EVP)
{
    QX_QUERY(1);
    const int n = QX_N(3);
    if (NotPositive(x[1]) || NotPositive(p[1]))
        return FailAll(y, d, n);
    double A = SafePow(x[1], -p[3]);
    double B = SafePow(p[1], -p[3]);
    if (MathError())
        return FailAll(y, d, n);
    double oneB = 1.0 - B;
    // p1 = 1 or p3 = 0: the anchor abscissa cannot fix the scale.
    if (IsZero(oneB))
        return FailAll(y, d, n);
    y[1] = p[2] * (1.0 - A) / oneB;
    if (n) {
        d[1] = -p[2] * p[3] * (1.0 - A) * B / (p[1] * oneB * oneB);
        d[2] = (1.0 - A) / oneB;
        d[3] = p[2] * (Ln(x[1]) * A * oneB - Ln(p[1]) * B * (1.0 - A)) / (oneB * oneB);
    }
    return 0;
}

QX_MODEL(Ratkowsky2P3)
{
    QX_QUERY(1);
    const int n = QX_N(2);
    double B = x[1] + 1.0;
    if (NotPositive(B))
        return FailAll(y, d, n);
    double P = SafePow(B, p[2]);
    if (MathError())
        return FailAll(y, d, n);
    y[1] = p[1] * P;
    if (n) {
        d[1] = P;
        d[2] = Ln(B) * y[1];
    }
    return 0;
}

QX_MODEL(Ratkowsky2P3EVP)
{
    QX_QUERY(1);
    const int n = QX_N(3);
    if (IsZero(p[1] + 1.0))
        return FailAll(y, d, n);
    double r = (x[1] + 1.0) / (p[1] + 1.0);
    if (NotPositive(r))
        return FailAll(y, d, n);
    double P = SafePow(r, p[3]);
    if (MathError())
        return FailAll(y, d, n);
    y[1] = p[2] * P;
    if (n) {
        d[1] = -y[1] * p[3] / (p[1] + 1.0);
        d[2] = P;
        d[3] = Ln(r) * y[1];
    }
    return 0;
}
