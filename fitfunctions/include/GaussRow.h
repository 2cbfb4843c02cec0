// The arithmetic of one peak of the library's Gauss at one point. The library's export and
// the fitter, which computes the rows of a Gauss fit itself, both use these functions, so
// the two give the same bits for every row.
#pragma once

#include <emmintrin.h>
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

// GaussPeak and GaussPeakDerivatives for two points at once, with the same operations in
// the same order on each lane, so each lane has the bits of the one-point functions. The
// lanes' contributions are added to *y; d, when given, receives the derivatives by xc, w
// and A at d[0], d[1], d[2]. The result's bit k is set where lane k's exponent is NaN.
inline int GaussPeakPair(const GaussTerms &t, __m128d x, __m128d *y, __m128d *d)
{
    const __m128d u = _mm_mul_pd(_mm_sub_pd(x, _mm_set1_pd(t.xc)), _mm_set1_pd(t.iw));
    const __m128d q = _mm_mul_pd(_mm_mul_pd(_mm_set1_pd(2.0), u), u);
    const int nan = _mm_movemask_pd(_mm_cmpunord_pd(q, q));
    const __m128d v = _mm_xor_pd(q, _mm_set1_pd(-0.0));
    const __m128d E = _mm_andnot_pd(_mm_cmplt_pd(v, _mm_set1_pd(-300.0)), qxExp2(v));
    const __m128d dA = _mm_mul_pd(E, _mm_set1_pd(t.nw));
    const __m128d c = _mm_mul_pd(dA, _mm_set1_pd(t.A));
    *y = _mm_add_pd(*y, c);
    if (d) {
        const __m128d iw = _mm_set1_pd(t.iw);
        d[0] = _mm_mul_pd(_mm_mul_pd(_mm_mul_pd(_mm_set1_pd(4.0), u), iw), c);
        d[1] = _mm_mul_pd(_mm_mul_pd(_mm_sub_pd(_mm_mul_pd(_mm_set1_pd(2.0), q), _mm_set1_pd(1.0)), c), iw);
        d[2] = dA;
    }
    return nan;
}

} // namespace curvelib
