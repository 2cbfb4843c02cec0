// Least-squares fits of the statistics object, independent of the script layer: the
// straight line (LR) with its modes, and the linear model with a constant term that
// multiple (MR) and polynomial (PR) regression share.
//
// The line is fitted from centred sums formed in two passes (means first), so that data
// far from the origin keep their digits. The linear model is solved by a Householder QR
// factorisation of the design after every column has been centred against the constant
// column (weighted means) and scaled to unit length; the normal-equations matrix is never
// formed, so its squared condition number never costs digits. Its inverse, which the
// coefficient errors and the bands need, is formed from the triangular factor.
//
// How the results are checked: the certified linear reference sets (coefficients, their
// standard deviations, residual standard deviation, R squared) to at least 9 significant
// digits, 7 for the strongly collinear set; the modes against closed forms.
#pragma once
#include <vector>

namespace qxstats {

enum class LineMode { Ordinary, ThroughZero, GivenSlope };

struct LineInput {
    std::vector<double> x, y;
    std::vector<double> w;        // weights 1 / sigma^2; empty for all 1
    LineMode mode = LineMode::Ordinary;
    double givenSlope = 0;        // the slope of GivenSlope mode
    double confLevel = 0.95;
    bool chiSqrErr = false;       // standard errors scaled by SD (else from the weights alone)
};

// Results of a line fit. Every statistic that this fit cannot define is MISSING_VALUE,
// so nothing of an earlier fit survives beside a new one.
struct LineResult {
    enum Status { Fitted, Warned, Failed };
    Status status = Failed;
    int error = 0;                 // error code when Failed (804 too few points)
    const char *warning = nullptr; // the warning text when Warned: A and B are missing
    double A, B, ASE, BSE, T, AP, BP;
    double df[3];
    int npts = 0;
    double R, SD, XMEAN, YMEAN, COD, ADRSQ, SSR, SSE, SSTO, SXX, MSR, MSE, WTOTAL, Fvalue, Pvalue;
    std::vector<double> residuals; // y - (A + B x) per point; empty when not formed
    LineMode mode = LineMode::Ordinary;
};

LineResult FitLine(const LineInput &in);

// Half width of the confidence (prediction = false) or prediction band of a line fit at
// x; 0 when SXX is 0 (the band is the line), MISSING_VALUE when T or SD is undefined.
double LineHalfWidth(const LineResult &fit, double x, bool prediction);

// Results of the linear model y = A + B1 f1 + ... + Bp fp.
struct ModelResult {
    int error = 0;                 // 0 when fitted; else the code (704 singular, 705 too few)
    int npts = 0;
    double df[3];
    double A, ASE, AP, T;
    std::vector<double> B, BSE, BP;
    double WTOTAL, YMEAN, SSTO, SSR, SSE, MSR, MSE, Fvalue, SD, R, COD, ADRSQ, Pvalue;
    double XMEAN, SXX;             // polynomial fits only
    std::vector<double> residuals; // per point, in the units of y
    // Polynomial fits: (X'X)^-1 in powers of (x - xShift), for the bands, where it is
    // better conditioned than in powers of x.
    std::vector<double> shiftedCovariance;
    double xShift = 0;
    int order = 0;
};

// Multiple regression of y on the columns (each of y's length), every weight 1.
// More than nine columns are refused with error 200 before anything is fitted: the
// coefficient vectors of the script object hold nine elements.
ModelResult FitMultiple(const std::vector<std::vector<double>> &columns,
                        const std::vector<double> &y, double confLevel, bool chiSqrErr);

// Polynomial regression of the given order (0 to 9, else error 606) with sigma per point
// (empty for all 1). n = order + 1 points are accepted and give DF2 = 0.
ModelResult FitPolynomial(const std::vector<double> &x, const std::vector<double> &y,
                          const std::vector<double> &sigma, int order, double confLevel,
                          bool chiSqrErr);

// q = v' (X'X)^-1 v of a polynomial fit at x, v = (1, x, ..., x^order): the band of the
// fitted curve is T SD sqrt(q) (confidence) or T SD sqrt(q + 1) (prediction).
double PolynomialBandFactor(const ModelResult &fit, double x);

// The value of the fitted polynomial at x.
double PolynomialValue(const ModelResult &fit, double x);

} // namespace qxstats
