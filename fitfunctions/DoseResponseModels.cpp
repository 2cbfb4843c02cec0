// The second block of the name table: the general polynomial, the rational function, the
// replicable Gauss and Lorentz peaks, exponential decay, growth and association laws with
// one to three terms, the pulse, logistic and Boltzmann sigmoids, hyperbolas, the shifted
// power law, and the base-10 dose-response, competition and binding curves.
//
// Saturation: where a power 10^u or an exponential in a denominator 1 + P overflows, the
// term S = 1 / (1 + P) is 0 and the curve has reached its plateau. The functions take that
// limit term by term (S = 0, S * (1 - S) = 0) instead of failing.
#include "GaussRow.h"
#include "ModelKit.h"

using namespace curvelib;

namespace {

// P from SafePow or SafeExp: an overflow means the sigmoid term has saturated, which is
// no error. Answers false for a real error (NaN).
bool AcceptSaturation()
{
    if (RangeError())
        errno = 0;
    return !MathError();
}

// y = p1 + sum over terms of A e^(sign (x - x0) / t), for the ExpDecay and ExpGrow rows:
// p1 = offset, p2 = x0, then (A, t) pairs. Zero amplitudes are skipped in the value block.
int OffsetExpValue(double *p, double x, double *y, int terms, double sign)
{
    double sum = p[1];
    for (int j = 0; j < terms; ++j) {
        double A = p[3 + 2 * j], t = p[4 + 2 * j];
        if (A == 0.0)
            continue;
        if (NotPositive(t))
            return Fail(y);
        double E = SafeExp(sign * (x - p[2]) / t);
        if (MathError())
            return Fail(y);
        sum += A * E;
    }
    y[1] = sum;
    return 0;
}

// The shared derivative block of ExpDecay1-3: every time constant is tested, before x.
int ExpDecayDerivatives(double *p, double x, double *y, double *d, int terms)
{
    const int n = 2 + 2 * terms;
    for (int j = 0; j < terms; ++j) {
        if (NotPositive(p[4 + 2 * j]))
            return FailAll(y, d, n);
    }
    d[1] = 1.0;
    if (x < p[2]) {
        y[1] = p[1];
        for (int i = 2; i <= n; ++i)
            d[i] = 0.0;
        return 0;
    }
    double sum = p[1], d2 = 0.0;
    for (int j = 0; j < terms; ++j) {
        double A = p[3 + 2 * j], t = p[4 + 2 * j];
        double E = SafeExp(-(x - p[2]) / t);
        if (MathError())
            return FailAll(y, d, n);
        d[3 + 2 * j] = E;
        d[4 + 2 * j] = (A / t) * E * (x - p[2]) / t;
        d2 += (A / t) * E;
        sum += A * E;
    }
    d[2] = d2;
    y[1] = sum;
    return 0;
}

int ExpDecayValue(double *p, double x, double *y, int terms)
{
    if (x < p[2]) {
        y[1] = p[1];
        return 0;
    }
    return OffsetExpValue(p, x, y, terms, -1.0);
}

// p2 + (p1 - p2) / (1 + 10^u), where u = x - p3 (du/dp3 = -1) for Competition1 and
// u = p3 - x (du/dp3 = 1) for Boltzman1.
int OneSiteCompetition(int mode, double *p, double u, double dudp3, double *y, double *d)
{
    const int n = QX_N(3);
    double P = SafePow(10.0, u);
    if (!AcceptSaturation())
        return FailAll(y, d, n);
    double S = 1.0 / (1.0 + P);
    y[1] = p[2] + (p[1] - p[2]) * S;
    if (n) {
        d[1] = S;
        d[2] = 1.0 - S;
        d[3] = -dudp3 * (p[1] - p[2]) * (1.0 - S) * S * kL10;
    }
    return 0;
}

// A failing Gauss peak k: y, d1 and the peak's own derivatives become MISSING_VALUE; the
// derivatives of earlier peaks stay.
int FailGaussPeak(double *y, double *d, int k)
{
    d[1] = MISSING_VALUE;
    return Fail(y, d, 3 * k - 1, 3 * k + 1);
}

} // namespace

QX_MODEL(Poly)
{
    QX_QUERY(0);
    if (QX_DERIV)
        return 0;
    const int n = PassedCount(nParams);
    if (n <= 0)
        return Fail(y);
    double sum = 0.0, power = 1.0;
    for (int k = 1; k <= n; ++k) {
        // A zero coefficient adds nothing even where its power of x has overflowed.
        if (p[k] != 0.0)
            sum += p[k] * power;
        power *= x[1];
    }
    y[1] = sum;
    return 0;
}

QX_MODEL(Rational)
{
    QX_QUERY(1);
    const int n = QX_N(4);
    double D = p[3] + p[4] * x[1];
    if (IsZero(D))
        return FailAll(y, d, n);
    y[1] = (p[1] + p[2] * x[1]) / D;
    if (n) {
        d[1] = 1.0 / D;
        d[2] = x[1] / D;
        d[3] = -y[1] / D;
        d[4] = -y[1] * x[1] / D;
    }
    return 0;
}

// Replicable Gaussian peaks of area A and width w (twice the standard deviation) on the
// baseline p1: peak k is (xc, w, A) = p[3k - 1 .. 3k + 1], its contribution goes to y[1 + k].
// A width w <= 0 fails in both blocks.
QX_MODEL(Gauss)
{
    QX_QUERY(1);
    const int n = PassedCount(nParams);
    if (n <= 0)
        return Fail(y);
    const int peaks = (n - 1) / 3;
    if (!QX_DERIV) {
        double sum = p[1];
        for (int k = 1; k <= peaks; ++k) {
            double xc = p[3 * k - 1], w = p[3 * k], A = p[3 * k + 1];
            if (A == 0.0)
                continue;
            if (NotPositive(w))
                return Fail(y);
            double c;
            if (!GaussPeak(GaussPeakTerms(xc, w, A), x[1], &c))
                return Fail(y);
            y[1 + k] = c;
            sum += c;
        }
        y[1] = sum;
        return 0;
    }
    d[1] = 1.0;
    double sum = p[1];
    for (int k = 1; k <= peaks; ++k) {
        double xc = p[3 * k - 1], w = p[3 * k], A = p[3 * k + 1];
        if (A == 0.0) {
            d[3 * k - 1] = d[3 * k] = d[3 * k + 1] = 0.0;
            continue;
        }
        if (NotPositive(w))
            return FailGaussPeak(y, d, k);
        double c;
        if (!GaussPeakDerivatives(GaussPeakTerms(xc, w, A), x[1], &c, &d[3 * k - 1]))
            return FailGaussPeak(y, d, k);
        y[1 + k] = c;
        sum += c;
    }
    y[1] = sum;
    return 0;
}

// Replicable Lorentzian peaks (xc, w, A) as for Gauss, w the full width at half maximum.
// Every peak's width is tested in both blocks: w <= 0 fails.
QX_MODEL(Lorentz)
{
    QX_QUERY(1);
    const int n = PassedCount(nParams);
    const int peaks = n > 0 ? (n - 1) / 3 : 0;
    const int nd = QX_N(peaks > 1 ? 1 + 3 * peaks : 4);
    if (n <= 0)
        return FailAll(y, d, nd);
    for (int k = 1; k <= peaks; ++k) {
        if (NotPositive(p[3 * k]))
            return FailAll(y, d, nd);
    }
    double sum = p[1];
    if (QX_DERIV)
        d[1] = 1.0;
    for (int k = 1; k <= peaks; ++k) {
        double xc = p[3 * k - 1], w = p[3 * k], A = p[3 * k + 1];
        double c;
        if (!QX_DERIV) {
            double D = w * w + 4.0 * (x[1] - xc) * (x[1] - xc);
            c = A * 0.6366197723675814 * (w / D);
        } else {
            double u = 2.0 * (x[1] - xc) / w;
            double dA = 2.0 / (kPi * w * (1.0 + u * u));
            c = dA * A;
            d[3 * k - 1] = dA * c * u * 6.283185307179586;
            d[3 * k] = (u * u * dA * w * kPi - 1.0) * c / w;
            d[3 * k + 1] = dA;
        }
        y[1 + k] = c;
        sum += c;
    }
    y[1] = sum;
    return 0;
}

QX_MODEL(ExpDecay1)
{
    QX_QUERY(1);
    return QX_DERIV ? ExpDecayDerivatives(p, x[1], y, d, 1) : ExpDecayValue(p, x[1], y, 1);
}

QX_MODEL(ExpDecay2)
{
    QX_QUERY(1);
    return QX_DERIV ? ExpDecayDerivatives(p, x[1], y, d, 2) : ExpDecayValue(p, x[1], y, 2);
}

QX_MODEL(ExpDecay3)
{
    QX_QUERY(1);
    return QX_DERIV ? ExpDecayDerivatives(p, x[1], y, d, 3) : ExpDecayValue(p, x[1], y, 3);
}

// The value of ExpDecay3, derived numerically by the fitter.
QX_MODEL(Kinetic)
{
    QX_QUERY(0);
    return QX_DERIV ? 0 : ExpDecayValue(p, x[1], y, 3);
}

QX_MODEL(Logistic)
{
    QX_QUERY(1);
    const int n = QX_N(4);
    if (!n) {
        if (IsZero(p[3]) || x[1] / p[3] < 0.0)
            return Fail(y);
    } else if (NotPositive(p[3]) || IsZero(p[4]) || x[1] < 0.0 || std::isnan(x[1])) {
        return FailAll(y, d, n);
    }
    double P = SafePow(x[1] / p[3], p[4]);
    if (!AcceptSaturation())
        return FailAll(y, d, n);
    double S = 1.0 / (1.0 + P);
    y[1] = p[2] + (p[1] - p[2]) * S;
    if (n) {
        double g = (1.0 - S) * (p[1] - p[2]) * S;
        d[1] = S;
        d[2] = 1.0 - S;
        d[3] = g * p[4] / p[3];
        d[4] = g == 0.0 ? 0.0 : -g * Ln(x[1] / p[3]);
    }
    return 0;
}

QX_MODEL(Boltzman)
{
    QX_QUERY(1);
    const int n = QX_N(4);
    if (!n ? IsZero(p[4]) : !(std::fabs(p[4]) >= 1e-18))
        return Fail(y);
    double E = SafeExp((x[1] - p[3]) / p[4]);
    if (!AcceptSaturation())
        return FailAll(y, d, n);
    double S = 1.0 / (1.0 + E);
    y[1] = p[2] + (p[1] - p[2]) * S;
    if (n) {
        d[1] = S;
        d[2] = 1.0 - S;
        d[3] = (p[1] - p[2]) * (1.0 - S) * S / p[4];
        d[4] = d[3] * (x[1] - p[3]) / p[4];
    }
    return 0;
}

QX_MODEL(ExpGrow1)
{
    QX_QUERY(1);
    if (!QX_DERIV) {
        if (p[3] == 0.0) {
            y[1] = p[1];
            return 0;
        }
        return OffsetExpValue(p, x[1], y, 1, 1.0);
    }
    if (IsZero(p[4]))
        return Fail(y);
    double E = SafeExp((x[1] - p[2]) / p[4]);
    d[1] = 1.0;
    d[3] = E;
    if (MathError())
        return Fail(y);
    d[2] = -p[3] * E / p[4];
    d[4] = d[2] * (x[1] - p[2]) / p[4];
    y[1] = p[1] + p[3] * E;
    return 0;
}

QX_MODEL(ExpGrow2)
{
    QX_QUERY(1);
    if (!QX_DERIV)
        return OffsetExpValue(p, x[1], y, 2, 1.0);
    if (IsZero(p[4]) || IsZero(p[6]))
        return Fail(y);
    d[1] = 1.0;
    double E1 = SafeExp((x[1] - p[2]) / p[4]);
    d[3] = E1;
    if (MathError())
        return Fail(y);
    double E2 = SafeExp((x[1] - p[2]) / p[6]);
    d[5] = E2;
    if (MathError())
        return Fail(y);
    d[2] = -p[3] * E1 / p[4] - p[5] * E2 / p[6];
    d[4] = -(x[1] - p[2]) / p[4] * p[3] * E1 / p[4];
    d[6] = -(x[1] - p[2]) / p[6] * p[5] * E2 / p[6];
    y[1] = p[1] + p[3] * E1 + p[5] * E2;
    return 0;
}

QX_MODEL(ExpAssoc)
{
    QX_QUERY(1);
    if (!QX_DERIV) {
        double sum = p[1];
        for (int j = 0; j < 2; ++j) {
            double A = p[2 + 2 * j], t = p[3 + 2 * j];
            if (A == 0.0)
                continue;
            if (IsZero(t))
                return Fail(y);
            double E = SafeExp(-x[1] / t);
            if (MathError())
                return Fail(y);
            sum += A * (1.0 - E);
        }
        y[1] = sum;
        return 0;
    }
    if (IsZero(p[3]) || IsZero(p[5]))
        return Fail(y);
    d[1] = 1.0;
    double E1 = SafeExp(-x[1] / p[3]);
    d[2] = 1.0 - E1;
    if (MathError())
        return Fail(y);
    double E2 = SafeExp(-x[1] / p[5]);
    d[4] = 1.0 - E2;
    if (MathError())
        return Fail(y);
    d[3] = -p[2] * E1 * x[1] / (p[3] * p[3]);
    d[5] = -p[4] * E2 * x[1] / (p[5] * p[5]);
    y[1] = p[1] + p[2] * (1.0 - E1) + p[4] * (1.0 - E2);
    return 0;
}

// A pulse starting at p2: rise time p4 with power p5, decay time p6, amplitude p3.
QX_MODEL(Pulse)
{
    QX_QUERY(1);
    const int n = QX_N(6);
    if (!n) {
        if (NotPositive(p[4]) || NotPositive(p[6]) || NotPositive(p[3]))
            return Fail(y);
    } else if (NotPositive(p[3]) || NotPositive(p[4]) || NotPositive(p[6]) || NotPositive(p[5])) {
        return FailAll(y, d, n);
    }
    double t = x[1] - p[2];
    if (t < 0.0) {
        y[1] = p[1];
        if (n) {
            d[1] = 1.0;
            for (int i = 2; i <= 6; ++i)
                d[i] = 0.0;
        }
        return 0;
    }
    double E1 = SafeExp(-t / p[4]);
    double E2 = SafeExp(-t / p[6]);
    // A failure of the exponentials or the power keeps d1 = 1 and fails y and d2..d6.
    if (n)
        d[1] = 1.0;
    if (MathError())
        return Fail(y, d, 2, n);
    double B = 1.0 - E1;
    double P = SafePow(B, p[5]);
    if (MathError())
        return Fail(y, d, 2, n);
    double c = p[3] * P * E2;
    y[1] = p[1] + c;
    if (!n)
        return 0;
    d[1] = 1.0;
    d[3] = P * E2;
    if (E1 == 1.0) {
        // At the start itself the rise term's derivatives do not exist.
        d[2] = d[4] = d[5] = d[6] = MISSING_VALUE;
        return 1;
    }
    double G = p[5] * E1 / (p[4] * B);
    d[2] = (1.0 / p[6] - G) * c;
    d[4] = -t / p[4] * c * G;
    d[5] = Ln(B) * c;
    d[6] = t * c / (p[6] * p[6]);
    return 0;
}

QX_MODEL(Hyperbl)
{
    QX_QUERY(1);
    const int n = QX_N(2);
    double D = p[2] + x[1];
    if (IsZero(D))
        return FailAll(y, d, n);
    y[1] = p[1] * x[1] / D;
    if (n) {
        d[1] = x[1] / D;
        d[2] = -y[1] / D;
    }
    return 0;
}

QX_MODEL(Dhyperbl)
{
    QX_QUERY(1);
    double D1 = p[2] + x[1], D2 = p[4] + x[1];
    if (IsZero(D1) || IsZero(D2))
        return Fail(y);
    y[1] = p[1] * x[1] / D1 + p[3] * x[1] / D2 + p[5] * x[1];
    if (QX_DERIV) {
        d[1] = x[1] / D1;
        d[2] = -p[1] * x[1] / (D1 * D1);
        d[3] = x[1] / D2;
        d[4] = -p[3] * x[1] / (D2 * D2);
        d[5] = x[1];
    }
    return 0;
}

QX_MODEL(Power0)
{
    QX_QUERY(1);
    const int n = QX_N(4);
    if (n)
        d[1] = 1.0;
    double t = x[1] - p[2];
    if (t == 0.0) {
        // At the centre the power's derivatives in xc and in the exponent do not exist.
        y[1] = p[1];
        if (n) {
            d[3] = 0.0;
            d[2] = d[4] = MISSING_VALUE;
        }
        return 0;
    }
    double a = std::fabs(t);
    double T = SafePow(a, p[4]);
    if (MathError())
        return Fail(y, d, 2, n);
    y[1] = p[1] + p[3] * T;
    if (n) {
        d[2] = -p[4] * p[3] * T / t;
        d[3] = T;
        d[4] = Ln(a) * p[3] * T;
    }
    return 0;
}

QX_MODEL(Boltzman2)
{
    QX_QUERY(1);
    const int n = QX_N(4);
    if (!n ? (IsZero(p[4]) || !(p[1] < p[2])) : !(std::fabs(p[4]) >= 1e-18))
        return Fail(y);
    double P = SafePow(10.0, (p[3] - x[1]) * p[4]);
    if (!AcceptSaturation())
        return FailAll(y, d, n);
    double S = 1.0 / (1.0 + P);
    y[1] = p[1] + (p[2] - p[1]) * S;
    if (n) {
        double g = (1.0 - S) * S * kL10;
        d[1] = 1.0 - S;
        d[2] = S;
        d[3] = -(p[2] - p[1]) * p[4] * g;
        d[4] = -(p[3] - x[1]) * (p[2] - p[1]) * g;
    }
    return 0;
}

QX_MODEL(Boltzman3)
{
    QX_QUERY(1);
    return OneSiteCompetition(mode, p, x[1] - p[3], -1.0, y, d);
}

// Exported without a row of the name table: the same curve falling the other way.
QX_MODEL(Boltzman1)
{
    QX_QUERY(1);
    return OneSiteCompetition(mode, p, p[3] - x[1], 1.0, y, d);
}

QX_MODEL(Boltzman4)
{
    QX_QUERY(1);
    const int n = QX_N(5);
    double P1 = SafePow(10.0, x[1] - p[3]);
    if (!AcceptSaturation())
        return FailAll(y, d, n);
    double P2 = SafePow(10.0, x[1] - p[4]);
    if (!AcceptSaturation())
        return FailAll(y, d, n);
    double S1 = 1.0 / (1.0 + P1), S2 = 1.0 / (1.0 + P2);
    double F = p[5] * S1 + (1.0 - p[5]) * S2;
    y[1] = p[2] + (p[1] - p[2]) * F;
    if (n) {
        d[1] = F;
        d[2] = 1.0 - F;
        d[3] = (p[1] - p[2]) * (1.0 - S1) * p[5] * S1 * kL10;
        d[4] = (p[1] - p[2]) * (1.0 - S2) * (1.0 - p[5]) * S2 * kL10;
        d[5] = (p[1] - p[2]) * (S1 - S2);
    }
    return 0;
}

// A bell of two sigmoids: rising through p4 with slope p6, falling through p5 with p7.
QX_MODEL(Response2)
{
    QX_QUERY(1);
    const int n = QX_N(7);
    if (!n && (p[1] > p[2] || p[1] > p[3]))
        return Fail(y);
    double P1 = SafePow(10.0, (x[1] - p[4]) * p[6]);
    if (!AcceptSaturation())
        return FailAll(y, d, n);
    double P2 = SafePow(10.0, (p[5] - x[1]) * p[7]);
    if (!AcceptSaturation())
        return FailAll(y, d, n);
    double S1 = 1.0 / (1.0 + P1), S2 = 1.0 / (1.0 + P2);
    y[1] = p[1] + (p[2] - p[1]) * S1 + (p[3] - p[1]) * S2;
    if (n) {
        // P * S^2 written as S * (1 - S), which stays finite when P overflows.
        double g1 = S1 * (1.0 - S1) * kL10, g2 = S2 * (1.0 - S2) * kL10;
        d[1] = 1.0 - S1 - S2;
        d[2] = S1;
        d[3] = S2;
        d[4] = (p[2] - p[1]) * p[6] * g1;
        d[5] = -(p[3] - p[1]) * p[7] * g2;
        d[6] = -(x[1] - p[4]) * (p[2] - p[1]) * g1;
        d[7] = -(p[3] - p[1]) * (p[5] - x[1]) * g2;
    }
    return 0;
}

QX_MODEL(Binding1)
{
    QX_QUERY(1);
    const int n = QX_N(2);
    double D = p[2] + x[1];
    if (IsZero(D))
        return FailAll(y, d, n);
    y[1] = p[1] * x[1] * (1.0 / D);
    if (n) {
        d[1] = x[1] / D;
        d[2] = -y[1] / D;
    }
    return 0;
}
