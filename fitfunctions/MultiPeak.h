// The value loop shared by the replicable peak functions: p1 is the common baseline, peak
// i (i = 1 .. P) owns the k parameters p[2 + k(i - 1)] .. p[1 + k i], and P = (n - 1) / k
// from the count n the caller passes. y[1] receives the total and y[1 + i] peak i alone; a
// peak whose amplitude is exactly 0 is skipped and its element left as it was.
#pragma once

#include "ModelKit.h"

namespace curvelib {

// Peak(q, x, v) receives the peak's parameters as q[1..k], sets v and answers false when
// the peak fails (a domain test or a math error); ampIndex is A's position in q. A peak may
// also answer true without a value (v stays NaN) to be skipped.
template <typename Peak>
int MultiPeakValue(int nParams, int k, int ampIndex, double *p, double x, double *y, Peak peak)
{
    const int n = PassedCount(nParams);
    if (n < 1)
        return Fail(y);
    const int peaks = (n - 1) / k;
    double sum = p[1];
    for (int i = 1; i <= peaks; ++i) {
        double *q = p + 1 + k * (i - 1);
        if (q[ampIndex] == 0.0)
            continue;
        double v = NAN;
        if (!peak(q, x, v))
            return Fail(y);
        if (std::isnan(v))
            continue;
        y[1 + i] = v;
        sum += v;
    }
    y[1] = sum;
    return 0;
}

enum class PeakOutcome { Done, Skip, Fail };

// The derivative loop of the peaks with parameters (xc, w, A) and analytic derivatives:
// d1 = 1 for the baseline; a peak with A = 0 has derivatives 0. Peak(xc, w, A, x, v, dp)
// sets v and dp[1..3] (d/dxc, d/dw, d/dA) and answers Done, Skip (the peak contributes
// nothing here) or Fail (y[1] and the peak's derivatives become MISSING_VALUE).
template <typename Peak>
int ThreeParameterPeakDerivatives(int nParams, double *p, double x, double *y, double *d, Peak peak)
{
    const int n = PassedCount(nParams);
    if (n < 1)
        return Fail(y);
    const int peaks = (n - 1) / 3;
    d[1] = 1.0;
    double sum = p[1];
    for (int i = 1; i <= peaks; ++i) {
        double *dp = d + 3 * i - 2;
        double xc = p[3 * i - 1], w = p[3 * i], A = p[3 * i + 1];
        double v = 0.0;
        PeakOutcome outcome = A == 0.0 ? PeakOutcome::Skip : peak(xc, w, A, x, v, dp);
        if (outcome == PeakOutcome::Fail)
            return Fail(y, d, 3 * i - 1, 3 * i + 1);
        if (outcome == PeakOutcome::Skip) {
            dp[1] = dp[2] = dp[3] = 0.0;
            continue;
        }
        y[1 + i] = v;
        sum += v;
    }
    y[1] = sum;
    return 0;
}

} // namespace curvelib
