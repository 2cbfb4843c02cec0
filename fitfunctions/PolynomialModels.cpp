// Polynomials of degree 0 to 5 (ascending coefficients p1 + p2 x + ...), the centred
// quintic, and the two-site binding curve.
#include "ModelKit.h"

using namespace curvelib;

namespace {

// Value by Horner's scheme from the highest coefficient; derivatives are the powers of x,
// formed by repeated multiplication, and y is summed again from the highest term down.
int Polynomial(int mode, int degree, double *p, double x, double *y, double *d)
{
    if (!QX_DERIV) {
        double v = p[degree + 1];
        for (int k = degree; k >= 1; --k)
            v = v * x + p[k];
        y[1] = v;
        return 0;
    }
    d[1] = 1.0;
    double power = 1.0;
    for (int k = 2; k <= degree + 1; ++k) {
        power *= x;
        d[k] = power;
    }
    double v = 0.0;
    for (int k = degree + 1; k >= 2; --k)
        v += p[k] * d[k];
    y[1] = v + p[1];
    return 0;
}

} // namespace

QX_MODEL(Polynomial0)
{
    QX_QUERY(1);
    return Polynomial(mode, 0, p, x[1], y, d);
}

QX_MODEL(Polynomial1)
{
    QX_QUERY(1);
    return Polynomial(mode, 1, p, x[1], y, d);
}

QX_MODEL(Polynomial2)
{
    QX_QUERY(1);
    return Polynomial(mode, 2, p, x[1], y, d);
}

QX_MODEL(Polynomial3)
{
    QX_QUERY(1);
    return Polynomial(mode, 3, p, x[1], y, d);
}

QX_MODEL(Polynomial4)
{
    QX_QUERY(1);
    return Polynomial(mode, 4, p, x[1], y, d);
}

QX_MODEL(Polynomial5)
{
    QX_QUERY(1);
    return Polynomial(mode, 5, p, x[1], y, d);
}

// Quintic in x - p2 with the coefficients p1, p3 .. p7 (p2 is the centre, no coefficient).
QX_MODEL(PolynomialCentered5)
{
    QX_QUERY(0);
    if (QX_DERIV)
        return 0;
    double t = x[1] - p[2];
    y[1] = ((((p[7] * t + p[6]) * t + p[5]) * t + p[4]) * t + p[3]) * t + p[1];
    return 0;
}

// x (p1 / (p3 + x) + p2 / (p4 + x)): two saturable sites with capacities p1, p2 and
// constants p3, p4. A site whose denominator is 0 fails the call.
QX_MODEL(Binding2)
{
    QX_QUERY(1);
    const int n = QX_N(4);
    if (!n && PassedCount(nParams) < 1)
        return Fail(y);
    double D1 = p[3] + x[1], D2 = p[4] + x[1];
    if (IsZero(D1) || IsZero(D2))
        return FailAll(y, d, n);
    double r1 = 1.0 / D1, r2 = 1.0 / D2;
    y[1] = (p[2] * r2 + p[1] * r1) * x[1];
    if (n) {
        d[1] = r1 * x[1];
        d[2] = r2 * x[1];
        d[3] = -(p[1] * x[1] * r1 * r1);
        d[4] = -(p[2] * x[1] * r2 * r2);
    }
    return 0;
}
