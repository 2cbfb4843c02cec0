// The arithmetic of one peak of the library's Gauss at one point. The library's export and
// the fitter, which computes the rows of a Gauss fit itself, both use these functions, so
// the two give the same bits for every row.
#pragma once

#include <math.h>

#include "QxExp.h"

namespace curvelib {

const double kGaussNorm = 1.253314137316;   // sqrt(pi/2) as the model is written

// e^v for the Gauss exponent, never above 0: 0 below -300, NaN for NaN (the caller fails).
inline double GaussExp(double v)
{
    return v < -300.0 ? 0.0 : qxExp(v);
}

// What a peak's arithmetic takes from its parameters (xc, w, A), w > 0: the reciprocals
// of w and of w sqrt(pi/2), so that a point costs no division.
struct GaussTerms {
    double xc, A, iw, nw;
};

inline GaussTerms GaussPeakTerms(double xc, double w, double A)
{
    return {xc, A, 1.0 / w, 1.0 / (w * kGaussNorm)};
}

// The peak's contribution at x into *c; false when the exponent is NaN. Values and
// derivative calls compute the value alike, to the bit.
inline bool GaussPeak(const GaussTerms &t, double x, double *c)
{
    const double u = (x - t.xc) * t.iw;
    const double q = 2.0 * u * u;
    if (isnan(q))
        return false;
    *c = GaussExp(-q) * t.nw * t.A;
    return true;
}

// The same with the derivatives by xc, w and A into d[0..2].
inline bool GaussPeakDerivatives(const GaussTerms &t, double x, double *c, double *d)
{
    const double u = (x - t.xc) * t.iw;
    const double q = 2.0 * u * u;
    if (isnan(q))
        return false;
    const double dA = GaussExp(-q) * t.nw;
    *c = dA * t.A;
    d[0] = 4.0 * u * t.iw * *c;
    d[1] = (2.0 * q - 1.0) * *c * t.iw;
    d[2] = dA;
    return true;
}

} // namespace curvelib
