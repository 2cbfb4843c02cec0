// What every model function of the library shares: its signature, the start that answers
// the query and clears the math error number, and the ways to fail.
//
// The math error number (errno, per thread) is the error channel of SafeExp and SafePow.
// A model function clears it on entry, so that an error left by the caller or by an
// earlier call can neither fail a good evaluation nor change its result, and clears it
// again on every path that found it set.
#pragma once

#include <cerrno>
#include <cmath>

#include "FitFunction.h"
#include "NumericHelpers.h"

// A model's body is its own static function; the export around it hands the body's answer
// through Settle, which turns a success whose value or derivatives are not finite (an
// overflow or a 0/0 no test in the body caught) into a failure.
#define QX_MODEL(name)                                                                      \
    static int name##Body(int mode, HostCallback host, int nParams, int currentRow,         \
                          int reserved, double *p, double *work, double *x, double *y,      \
                          double *d);                                                       \
    extern "C" int WINAPI name(int mode, HostCallback host, int nParams, int currentRow,     \
                               int reserved, double *p, double *work, double *x, double *y, \
                               double *d)                                                   \
    {                                                                                       \
        static constexpr int kRead = curvelib::ParamsRead(#name);                           \
        static constexpr bool kReplicas = curvelib::ReadsReplicas(#name);                   \
        int result = name##Body(mode, host, nParams, currentRow, reserved, p, work, x, y, d); \
        if (result != 0 || (mode & FITMODE_QUERY) ||                                        \
            !(mode & (FITMODE_VALUE | FITMODE_DERIVATIVES)))                                \
            return result;                                                                  \
        /* Derivatives are checked where the body says it has them. */                     \
        const int passed = curvelib::PassedCount(nParams);                                  \
        const int n = (mode & FITMODE_VALUE) ||                                             \
                              !name##Body(FITMODE_QUERY, host, 0, currentRow, reserved, p,  \
                                          work, x, y, d)                                    \
                          ? 0                                                               \
                          : kReplicas && passed > kRead ? passed : kRead;                   \
        return curvelib::Settle(mode, n, y, d);                                             \
    }                                                                                       \
    static int name##Body(int mode, HostCallback host, int nParams, int currentRow,         \
                          int reserved, double *p, double *work, double *x, double *y,      \
                          double *d)

// Answers the query without touching anything, returns at once from a call that asks for
// nothing, and otherwise starts with a clear error number.
#define QX_QUERY(answer)                                               \
    do {                                                               \
        if (mode & FITMODE_QUERY)                                      \
            return (answer);                                           \
        if (!(mode & (FITMODE_VALUE | FITMODE_DERIVATIVES)))           \
            return 0;                                                  \
        errno = 0;                                                     \
    } while (0)

// After QX_QUERY: a value call, or a derivative call. A call with both bits set runs the
// value block only (the fitter never sets two).
#define QX_VALUE_CALL (mode & FITMODE_VALUE)
#define QX_DERIV (!(mode & FITMODE_VALUE))
// The number of derivatives a failure writes: none in a value call.
#define QX_N(k) (QX_DERIV ? (k) : 0)

namespace curvelib {

const double kL10 = 2.302585093;          // ln 10 as the dose-response derivatives write it
const double kPi = 3.141592653589793;

inline bool MathError()
{
    int e = errno;
    return e == EDOM || e == ERANGE;
}
inline bool RangeError() { return errno == ERANGE; }

// Domain tests: a condition "v = 0" holds for NaN too, and so does "v <= 0", so that a NaN
// parameter fails instead of flowing into the value.
inline bool IsZero(double v) { return !(v != 0.0); }
inline bool NotPositive(double v) { return !(v > 0.0); }

// Fails the call: y[1] and d[first..last] become MISSING_VALUE, the error number is cleared.
inline int Fail(double *y, double *d = nullptr, int first = 1, int last = 0)
{
    errno = 0;
    y[1] = MISSING_VALUE;
    for (int i = first; i <= last; ++i)
        d[i] = MISSING_VALUE;
    return 1;
}

// Fails with y[1] and all of d[1..n].
inline int FailAll(double *y, double *d, int n) { return Fail(y, d, 1, n); }

// The largest parameter count of the table rows a body serves (0 for none), found at
// compile time from the one list of rows.
struct RowCount {
    const char *function;
    int nParams;
};
constexpr RowCount kRowCounts[] = {
#define QX_ROW(row, function, exportName, ordinal, nIndependent, nParams, group) {#function, nParams},
#define QX_EXPORT(name, ordinal)
#define QX_FORM(row, meanings, start, xFrom, xTo, formula)
#include "FitTable.inc"
#undef QX_ROW
#undef QX_EXPORT
#undef QX_FORM
};
constexpr bool SameName(const char *a, const char *b)
{
    while (*a && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}
constexpr int ParamsRead(const char *function)
{
    int n = 0;
    for (const RowCount &r : kRowCounts)
        if (SameName(r.function, function) && r.nParams > n)
            n = r.nParams;
    return n;
}

// The bodies with analytic derivatives that read as many peaks as the caller passes
// parameters for: their derivative calls write d[1..passed count].
constexpr const char *kReplicableWithDerivatives[] = {"Gauss", "Lorentz", "Extreme",
                                                      "LogNormal"};
constexpr bool ReadsReplicas(const char *function)
{
    for (const char *name : kReplicableWithDerivatives)
        if (SameName(name, function))
            return true;
    return false;
}

// The last word on a successful value or derivative call: it must carry a finite y[1] and,
// in a derivative call, finite d[1..n] (n = 0 for a body without derivatives); otherwise the
// call fails like any other.
inline int Settle(int mode, int n, double *y, double *d)
{
    const bool derivatives = !(mode & FITMODE_VALUE);
    bool finite = std::isfinite(y[1]);
    for (int i = 1; finite && derivatives && i <= n; ++i)
        finite = std::isfinite(d[i]);
    return finite ? 0 : Fail(y, d, 1, derivatives ? n : 0);
}

// The number of parameters the caller passes, read as the signed 16-bit count it is.
inline int PassedCount(int nParams) { return static_cast<short>(nParams & 0xFFFF); }

// ln(v) * t where t is a power of v that may be exactly 0 (v = 0, positive exponent): the
// product's limit there is 0, not 0 * -inf.
inline double LnTimes(double v, double t) { return t == 0.0 ? 0.0 : Ln(v) * t; }

// 1 - e^t where E = e^t: near t = 0 the difference 1 - E keeps only the digits of E that
// t moved, so expm1 gives it there.
inline double OneMinusExp(double t, double E)
{
    return std::fabs(t) < 1.0 ? -std::expm1(t) : 1.0 - E;
}

// p1 (1 - e^(-p3 (x - p2))), the monomolecular growth law of MnMolecular and Asymptotic3,
// after each row's own tests; n derivatives (0 in a value call).
inline int MonomolecularCurve(int n, const double *p, double x, double *y, double *d)
{
    const double t = -p[3] * (x - p[2]);
    double E = SafeExp(t);
    if (MathError())
        return FailAll(y, d, n);
    const double B = OneMinusExp(t, E);
    y[1] = p[1] * B;
    if (n) {
        d[1] = B;
        d[2] = -p[1] * p[3] * E;
        d[3] = p[1] * (x - p[2]) * E;
    }
    return 0;
}

} // namespace curvelib
