// Sums of one to three exponential terms on an offset, in the time-constant form
// p1 + A1 e^(-x/t1) + ... (decay), p1 + A1 e^(x/t1) + ... (growth), and the association
// form p1 + A1 (1 - e^(-x/t1)) + .... Parameters: p1 = y0, then (A, t) pairs.
#include "ModelKit.h"

using namespace curvelib;

namespace {

enum Shape { Decay, Growth, Association };

double Term(Shape shape, double A, double E)
{
    return shape == Association ? A * (1.0 - E) : A * E;
}

int ExpSumValue(Shape shape, int terms, double *p, double x, double *y)
{
    bool any = false;
    for (int j = 0; j < terms; ++j)
        any = any || p[2 + 2 * j] != 0.0;
    if (!any) {
        y[1] = p[1];
        return 0;
    }
    for (int j = 0; j < terms; ++j) {
        if (IsZero(p[3 + 2 * j]))
            return Fail(y);
    }
    if (shape == Growth && terms == 1 && x / p[3] > 1000.0)
        return Fail(y);
    const double sign = shape == Growth ? 1.0 : -1.0;
    double sum = 0.0;
    for (int j = terms - 1; j >= 0; --j)
        sum += Term(shape, p[2 + 2 * j], SafeExp(sign * x / p[3 + 2 * j]));
    sum += p[1];
    if (MathError())
        return Fail(y);
    y[1] = sum;
    return 0;
}

int ExpSumDerivatives(Shape shape, int terms, double *p, double x, double *y, double *d)
{
    const int n = 1 + 2 * terms;
    for (int j = 0; j < terms; ++j) {
        if (IsZero(p[3 + 2 * j]))
            return FailAll(y, d, n);
    }
    const double sign = shape == Growth ? 1.0 : -1.0;
    d[1] = 1.0;
    double sum = 0.0;
    for (int j = 0; j < terms; ++j) {
        double A = p[2 + 2 * j], t = p[3 + 2 * j];
        double E = SafeExp(sign * x / t);
        if (MathError())
            return FailAll(y, d, n);
        // d/dt of A e^(-/+ x/t) is -/+ A e^(...) x / t^2; for the association form the sign
        // of the exponential's term is reversed.
        double dt = (x / t) * E * A / t;
        d[2 + 2 * j] = shape == Association ? 1.0 - E : E;
        d[3 + 2 * j] = shape == Decay ? dt : -dt;
        sum += Term(shape, A, E);
    }
    y[1] = sum + p[1];
    return 0;
}

int ExpSum(int mode, Shape shape, int terms, double *p, double x, double *y, double *d)
{
    return QX_DERIV ? ExpSumDerivatives(shape, terms, p, x, y, d)
                    : ExpSumValue(shape, terms, p, x, y);
}

} // namespace

QX_MODEL(ExpDec1)
{
    QX_QUERY(1);
    return ExpSum(mode, Decay, 1, p, x[1], y, d);
}

QX_MODEL(ExpDec2)
{
    QX_QUERY(1);
    return ExpSum(mode, Decay, 2, p, x[1], y, d);
}

QX_MODEL(ExpDec3)
{
    QX_QUERY(1);
    return ExpSum(mode, Decay, 3, p, x[1], y, d);
}

QX_MODEL(ExpGro1)
{
    QX_QUERY(1);
    return ExpSum(mode, Growth, 1, p, x[1], y, d);
}

QX_MODEL(ExpGro2)
{
    QX_QUERY(1);
    return ExpSum(mode, Growth, 2, p, x[1], y, d);
}

QX_MODEL(ExpGro3)
{
    QX_QUERY(1);
    return ExpSum(mode, Growth, 3, p, x[1], y, d);
}

QX_MODEL(ExpAssoc2)
{
    QX_QUERY(1);
    return ExpSum(mode, Association, 2, p, x[1], y, d);
}
