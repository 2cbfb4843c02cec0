// More replicable peaks on the common baseline (see MultiPeak.h): inverse polynomial,
// Giddings (chromatography), extreme value, beta, logistic and amplitude Gaussian.
#include "MultiPeak.h"

using namespace curvelib;

namespace {

int FailEverything(int nParams, double *y, double *d)
{
    int n = PassedCount(nParams);
    return FailAll(y, d, n > 0 ? n : 0);
}

} // namespace

// Per peak: xc, w, A, A1, A2, A3.
QX_MODEL(InversePoly)
{
    QX_QUERY(0);
    if (QX_DERIV)
        return 1;
    return MultiPeakValue(nParams, 6, 3, p, x[1], y, [](double *q, double x, double &v) {
        double xc = q[1], w = q[2], A = q[3];
        if (NotPositive(w))
            return false;
        double r = 2.0 * (x - xc) / w;
        double t = r * r;
        double D = ((t * q[6] + q[5]) * t + q[4]) * t + 1.0;
        if (IsZero(D))
            return false;
        v = A / D;
        return true;
    });
}

// Per peak: xc, w, A. (A / w) sqrt(xc / x) I1(2 sqrt(x xc) / w) e^(-(x + xc) / w), formed
// with the exponentially scaled I1 and the exponents combined, so that a narrow peak far
// from 0 does not overflow in I1 where the product is finite.
QX_MODEL(Giddings)
{
    QX_QUERY(0);
    if (QX_DERIV)
        return 1;
    return MultiPeakValue(nParams, 3, 3, p, x[1], y, [](double *q, double x, double &v) {
        double xc = q[1], w = q[2], A = q[3];
        // x and xc of opposite signs leave the square roots undefined.
        if (IsZero(w) || IsZero(x) || x * xc < 0.0)
            return false;
        double a = 2.0 * Sqrt(x * xc) / w;
        double scaled = BesselI1Scaled(a);
        double E = SafeExp(std::fabs(a) - (x + xc) / w);
        if (MathError())
            return false;
        v = (A / w) * Sqrt(xc / x) * scaled * E;
        return true;
    });
}

// Per peak: xc, w, A. A e^(1 - e^(-z) - z), z = (x - xc) / w; far left of the peak, where
// e^(-z) overflows, the peak contributes nothing.
QX_MODEL(Extreme)
{
    QX_QUERY(1);
    if (!QX_DERIV) {
        return MultiPeakValue(nParams, 3, 3, p, x[1], y, [](double *q, double x, double &v) {
            double xc = q[1], w = q[2], A = q[3];
            if (NotPositive(w))
                return false;
            double z = (x - xc) / w;
            double e = SafeExp(-z);
            if (RangeError()) {
                errno = 0;
                return true;
            }
            double G = SafeExp(1.0 - (e + z));
            if (MathError())
                return false;
            v = G * A;
            return true;
        });
    }
    return ThreeParameterPeakDerivatives(nParams, p, x[1], y, d,
        [](double xc, double w, double A, double x, double &v, double *dp) {
            if (NotPositive(w))
                return PeakOutcome::Fail;
            double z = (x - xc) / w;
            double e = SafeExp(-z);
            if (RangeError()) {
                errno = 0;
                return PeakOutcome::Skip;
            }
            double G = SafeExp(1.0 - e - z);
            if (MathError())
                return PeakOutcome::Fail;
            v = A * G;
            double g = v * (1.0 - e) / w;
            dp[1] = g;
            dp[2] = g * z;
            dp[3] = G;
            return PeakOutcome::Done;
        });
}

// Per peak: xc, A, w, a, b (the two shape exponents, both above 1).
QX_MODEL(Beta)
{
    QX_QUERY(0);
    if (QX_DERIV)
        return 1;
    return MultiPeakValue(nParams, 5, 2, p, x[1], y, [](double *q, double x, double &v) {
        double xc = q[1], A = q[2], w = q[3], a = q[4], b = q[5];
        if (NotPositive(A) || NotPositive(w) || !(a > 1.0) || !(b > 1.0))
            return false;
        double z = (b + a - 2.0) * (x - xc) / w;
        double left = SafePow(z / (a - 1.0) + 1.0, a - 1.0);
        double right = SafePow(1.0 - z / (b - 1.0), b - 1.0);
        if (MathError())
            return false;
        v = left * right * A;
        return true;
    });
}

// Per peak: xc, w, A. Far from the peak, where the exponential overflows, the peak
// contributes nothing and the others are still summed.
QX_MODEL(LogisticPK)
{
    QX_QUERY(0);
    if (QX_DERIV)
        return FailEverything(nParams, y, d);
    return MultiPeakValue(nParams, 3, 3, p, x[1], y, [](double *q, double x, double &v) {
        double xc = q[1], w = q[2], A = q[3];
        if (NotPositive(w))
            return false;
        double e = SafeExp((xc - x) / w);
        if (RangeError()) {
            errno = 0;
            return true;
        }
        if (MathError())
            return false;
        v = ((e * A * 4.0) / (e + 1.0)) / (e + 1.0);
        return true;
    });
}

// Per peak: xc, w (the standard deviation), A (the height).
QX_MODEL(GaussAmp)
{
    QX_QUERY(0);
    if (QX_DERIV)
        return FailEverything(nParams, y, d);
    return MultiPeakValue(nParams, 3, 3, p, x[1], y, [](double *q, double x, double &v) {
        double xc = q[1], w = q[2], A = q[3];
        if (IsZero(w))
            return false;
        double z = (x - xc) / w;
        double E = SafeExp(z * z * -0.5);
        if (MathError())
            return false;
        v = E * A;
        return true;
    });
}
