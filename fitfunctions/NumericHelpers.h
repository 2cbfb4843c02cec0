// Numeric routines shared by the model functions. They keep no state and never clear the
// math error number; SafeExp and SafePow set it (EDOM 33, ERANGE 34) for the model
// function to test after the call.
#pragma once

namespace curvelib {

// e^x; 0.0 without any indication when x < -300; +inf and ERANGE when e^x overflows; NaN
// and EDOM for a NaN argument.
double SafeExp(double x);

// b^e; 0.0 when b == 0 and e > 0. Otherwise the run-time power, classified here rather
// than by the run-time library, so that every C run-time gives the same indication: a
// NaN result sets EDOM, an infinite one ERANGE, an underflow to 0 nothing.
double SafePow(double b, double e);

// The complementary error function by its nine-coefficient Chebyshev fit (fractional
// error below 1.2e-7; erfc(0) is 1.00000003).
double Erfc(double z);

// m * e^(z^2) * erfc(z) from the same fit, without forming e^(z^2) for z >= 0.
double ExpScaledErfc(double z, double m);

// The modified Bessel function I1 by the polynomial fits for |x| < 3.75 and |x| >= 3.75.
double BesselI1(double x);

// e^(-|x|) * I1(x), the same fits with the exponential taken out, finite for any x.
double BesselI1Scaled(double x);

// ln Gamma(z) by the six-term Lanczos series (relative error about 2e-10), and Gamma(z)
// from it, by reflection for 0 < z < 1; Gamma answers MISSING_VALUE for z <= 0.
double LnGamma(double z);
double Gamma(double z);

// The run-time logarithm, square root and trigonometric functions may set the math error
// number on some run-times and not on others; the model functions test that number only
// for the results of SafeExp and SafePow, so these wrappers leave it as it was.
double Ln(double v);
double Sqrt(double v);
double Sin(double v);
double Tanh(double v);

} // namespace curvelib
