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

// Fails a multi-peak derivative block at one peak: y[1] and the peak's derivatives.
inline int FailPeak(double *y, double *d, int first, int count)
{
    return Fail(y, d, first, first + count - 1);
}

} // namespace curvelib
