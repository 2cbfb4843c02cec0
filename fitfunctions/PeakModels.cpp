// Replicable peak functions on a common baseline (exponentially modified Gaussian,
// Gram-Charlier and Edgeworth-Cramer series, Chesler-Cram, log-normal, asymmetric double
// sigmoid, Weibull, Voigt and pseudo-Voigt) and the single Pearson VII peak. Only
// LogNormal has analytic derivatives; the others are derived numerically by the fitter.
#include "MultiPeak.h"

using namespace curvelib;

namespace {

// The six-term rational approximation of the real part of the complex probability
// function (accuracy about 1e-4 relative), in its two regions.
double VoigtSum(double X, double Y)
{
    static const double T[6] = {0.314240376, 0.947788391, 1.59768264,
                                 2.27950708, 3.02063703, 3.8897249};
    static const double c[6] = {1.01172805, -0.75197147, 0.012557727,
                                0.0100220082, -0.000242068135, 5.00848061e-7};
    static const double s[6] = {1.39323, 0.231152406, -0.155351466,
                                0.00621836624, 9.19082986e-5, -6.27525958e-7};
    double Y1 = Y + 1.5, Y2 = Y1 * Y1;
    double V = 0.0;
    bool region1 = Y > 0.85 || std::fabs(X) < 18.1 * Y + 1.65;
    if (!region1 && std::fabs(X) < 12.0)
        V = SafeExp(-X * X);
    double Y3 = Y + 3.0;
    for (int j = 0; j < 6; ++j) {
        double R = X - T[j], R2 = X + T[j];
        double D1 = Y1 / (R * R + Y2), D2 = R / (R * R + Y2);
        double D3 = Y1 / (R2 * R2 + Y2), D4 = R2 / (R2 * R2 + Y2);
        if (region1)
            V += c[j] * (D1 + D3) - s[j] * (D2 - D4);
        else
            V += Y * (c[j] * (R * D2 - 1.5 * D1) + s[j] * Y3 * D2) / (R * R + 2.25) +
                 Y * (c[j] * (R2 * D4 - 1.5 * D3) - s[j] * Y3 * D4) / (R2 * R2 + 2.25);
    }
    return V;
}

// A Gaussian of full width wG and a Lorentzian of full width wL, mixed mu : 1 - mu.
bool PseudoVoigtPeak(double x, double xc, double A, double wG, double wL, double mu, double &v)
{
    if (NotPositive(wG) || NotPositive(wL))
        return false;
    double dx = x - xc;
    double E = SafeExp(dx * dx * -2.77258872 / (wG * wG));
    if (MathError())
        return false;
    v = (E * (1.0 - mu) * 0.939437278 / wG + wL * mu * 0.636619772 / (4.0 * dx * dx + wL * wL)) * A;
    return true;
}

} // namespace

// Per peak: A, xc, w, t0 (the decay time; negative accepted).
QX_MODEL(GaussianMod)
{
    QX_QUERY(0);
    if (QX_DERIV)
        return 1;
    return MultiPeakValue(nParams, 4, 1, p, x[1], y, [](double *q, double x, double &v) {
        double A = q[1], xc = q[2], w = q[3], t0 = q[4];
        if (NotPositive(w) || IsZero(t0))
            return false;
        double u = (x - xc) / w;
        double z = u - w / t0;
        double e = 0.5 * z * z - 0.5 * u * u;
        double g;
        if (std::fabs(e) < 625.0)
            g = SafeExp(e) * Erfc(z * -0.707106781);
        else
            g = ExpScaledErfc(z * -0.707106781, SafeExp(-0.5 * u * u));
        if (MathError())
            return false;
        v = g * A * 0.5 / t0;
        return true;
    });
}

// Per peak: xc, A, w, a3, a4.
QX_MODEL(GramCharlier)
{
    QX_QUERY(0);
    if (QX_DERIV)
        return 1;
    return MultiPeakValue(nParams, 5, 2, p, x[1], y, [](double *q, double x, double &v) {
        double xc = q[1], A = q[2], w = q[3], a3 = q[4], a4 = q[5];
        if (IsZero(w))
            return false;
        double u = (x - xc) / w, u2 = u * u;
        double E = SafeExp(-0.5 * u2);
        if (MathError())
            return false;
        v = E * (1.0 + (u2 * u - 3.0 * u) * a3 * 0.16666666666666666 +
                 (u2 * u2 - 6.0 * u2 + 3.0) * a4 * 0.041666666666666664) *
            A / (w * 2.506628275);
        return true;
    });
}

// Per peak: xc, A, w, a3, a4.
QX_MODEL(EdgeworthCramer)
{
    QX_QUERY(0);
    if (QX_DERIV)
        return 1;
    return MultiPeakValue(nParams, 5, 2, p, x[1], y, [](double *q, double x, double &v) {
        double xc = q[1], A = q[2], w = q[3], a3 = q[4], a4 = q[5];
        if (IsZero(w))
            return false;
        double u = (x - xc) / w, u2 = u * u, u4 = u2 * u2;
        double E = SafeExp(-0.5 * u2);
        if (MathError())
            return false;
        v = E * (1.0 + ((u4 * u2 - 15.0 * u4 + 45.0 * u2 - 15.0) * a3 * 0.013888888888888888 +
                        (u2 * u - 3.0 * u) * 0.16666666666666666) * a3 +
                 (u4 - 6.0 * u2 + 3.0) * a4 * 0.041666666666666664) *
            A / (w * 2.506628275);
        return true;
    });
}

// Per peak: xc, A, w, k1, xc1, B, k2, xc2: a Gaussian with a tail switched on by a tanh
// step at xc1 and decaying beyond xc2.
QX_MODEL(CheslerCram)
{
    QX_QUERY(0);
    if (QX_DERIV)
        return 1;
    return MultiPeakValue(nParams, 8, 2, p, x[1], y, [](double *q, double x, double &v) {
        double xc = q[1], A = q[2], w = q[3], k1 = q[4], xc1 = q[5], B = q[6], k2 = q[7],
               xc2 = q[8];
        if (IsZero(w))
            return false;
        double dx = x - xc, e = x - xc2;
        double tail = SafeExp((std::fabs(e) + e) * k2 * -0.5) *
                      (1.0 - (1.0 - Tanh((x - xc1) * k1)) * 0.5) * B;
        double g = SafeExp(-dx * dx / (w + w));
        if (MathError())
            return false;
        v = (g + tail) * A;
        return true;
    });
}

// Per peak: xc, w, A. The area-normalised log-normal density A / (w x sqrt(2 pi))
// e^(-(ln(x / xc))^2 / (2 w^2)); the derivative block differentiates that same value.
QX_MODEL(LogNormal)
{
    QX_QUERY(1);
    const double c = 1.414213562373;
    const double norm = 2.506628274631;
    if (!QX_DERIV) {
        return MultiPeakValue(nParams, 3, 3, p, x[1], y, [&](double *q, double x, double &v) {
            double xc = q[1], w = q[2], A = q[3];
            if (NotPositive(x) || NotPositive(xc) || NotPositive(w))
                return false;
            double L = (Ln(x) - Ln(xc)) / (w * c);
            double E = SafeExp(-L * L);
            if (MathError())
                return false;
            v = E * A / (w * x * norm);
            return true;
        });
    }
    return ThreeParameterPeakDerivatives(nParams, p, x[1], y, d,
        [&](double xc, double w, double A, double x, double &v, double *dp) {
            if (NotPositive(x) || NotPositive(xc) || NotPositive(w))
                return PeakOutcome::Fail;
            double L = (Ln(x) - Ln(xc)) / (w * c);
            double G = SafeExp(-L * L) / (w * x * norm);
            v = A * G;
            dp[1] = v * 2.0 * L / (c * w * xc);
            dp[2] = v * (2.0 * L * L - 1.0) / w;
            dp[3] = G;
            return PeakOutcome::Done;
        });
}

// Per peak: xc, A, w1, w2, w3: a rising sigmoid of width w2 times a falling one of width
// w3, their centres w1 apart.
QX_MODEL(AsymDblSig)
{
    QX_QUERY(0);
    if (QX_DERIV)
        return 1;
    return MultiPeakValue(nParams, 5, 2, p, x[1], y, [](double *q, double x, double &v) {
        double xc = q[1], A = q[2], w1 = q[3], w2 = q[4], w3 = q[5];
        if (IsZero(w2) || IsZero(w3))
            return false;
        // An exponential beyond the double range takes its factor to its limit (0 for the
        // rising factor, 1 for the falling one); only a NaN fails.
        double E1 = SafeExp(-(x - xc + w1 * 0.5) / w2);
        double E2 = SafeExp(-(x - xc - w1 * 0.5) / w3);
        if (RangeError())
            errno = 0;
        if (MathError())
            return false;
        v = A / (1.0 + E1) * (1.0 - 1.0 / (1.0 + E2));
        return true;
    });
}

// Per peak: xc, A, w, m (the shape).
QX_MODEL(Weibull3)
{
    QX_QUERY(0);
    if (QX_DERIV)
        return 1;
    return MultiPeakValue(nParams, 4, 2, p, x[1], y, [](double *q, double x, double &v) {
        double xc = q[1], A = q[2], w = q[3], m = q[4];
        if (IsZero(w) || IsZero(m))
            return false;
        double u = (x - xc) / w;
        double qm = 1.0 - 1.0 / m;
        double z = SafePow(qm, 1.0 / m) + u;
        double t = SafePow(z, m - 1.0);
        if (MathError())
            return false;
        double s = SafePow(qm, -qm);
        double E = SafeExp(qm - t * z);
        if (MathError())
            return false;
        v = s * E * t * A;
        return true;
    });
}

// Per peak: xc, A, wG, wL (Gaussian and Lorentzian full widths at half maximum).
QX_MODEL(Voigt5)
{
    QX_QUERY(0);
    if (QX_DERIV)
        return 1;
    return MultiPeakValue(nParams, 4, 2, p, x[1], y, [](double *q, double x, double &v) {
        double xc = q[1], A = q[2], wG = q[3], wL = q[4];
        if (IsZero(wG) || IsZero(wL))
            return false;
        double V = VoigtSum((x - xc) * 1.665109222 / wG, wL * 0.832554611 / wG);
        if (MathError())
            return false;
        v = V * A * 0.939437278 / wG;
        return true;
    });
}

// Per peak: xc, A, w, mu (the Lorentzian share); one width for both parts.
QX_MODEL(PseudoVoigt1)
{
    QX_QUERY(0);
    if (QX_DERIV)
        return 1;
    return MultiPeakValue(nParams, 4, 2, p, x[1], y, [](double *q, double x, double &v) {
        return PseudoVoigtPeak(x, q[1], q[2], q[3], q[3], q[4], v);
    });
}

// Per peak: xc, A, wG, wL, mu.
QX_MODEL(PseudoVoigt2)
{
    QX_QUERY(0);
    if (QX_DERIV)
        return 1;
    return MultiPeakValue(nParams, 5, 2, p, x[1], y, [](double *q, double x, double &v) {
        return PseudoVoigtPeak(x, q[1], q[2], q[3], q[4], q[5], v);
    });
}

// One peak, no baseline: xc, A, w, m. The normalisation divides by pi where the
// area-normalised form has sqrt(pi): the curve's area is A / sqrt(pi). Kept so, because
// parameters fitted and stored with this library must keep drawing the same curve.
QX_MODEL(PearsonVII)
{
    QX_QUERY(0);
    if (QX_DERIV)
        return 0;
    double xc = p[1], A = p[2], w = p[3], m = p[4];
    if (IsZero(w) || !(m > 0.5))
        return Fail(y);
    double u = (x[1] - xc) / w;
    double k = SafePow(2.0, 1.0 / m) - 1.0;
    if (MathError())
        return Fail(y);
    double v = 2.0 * Gamma(m) * Sqrt(k) * A / (Gamma(m - 0.5) * w * kPi);
    if (MathError())
        return Fail(y);
    v *= SafePow(4.0 * k * u * u + 1.0, -m);
    if (MathError())
        return Fail(y);
    y[1] = v;
    return 0;
}
