// Every function of the table over a grid of edge points: each parameter in turn, and the
// independent variables, set to zero, tiny, huge, negative, exponent-overflowing values or
// to a parameter's value. Whatever the formula gives there, the answer must be sound: a
// success carries a finite value and finite derivatives, a failure no NaN or infinity.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <vector>

#include "GoldenData.h"

using namespace curvelib_test;

namespace {

const int kSize = 48;

const double kEdges[] = {0.0,    -1.0,   1e-300, -1e-300, 1e300, -1e300, 800.0,
                         -800.0, 1e-8,   2.0,    0.5,     1e20,  -1e20};

std::string Point(const double *p, int n, const double *x, int k)
{
    std::ostringstream s;
    s.precision(17);
    s << "p =";
    for (int i = 1; i <= n; ++i)
        s << ' ' << p[i];
    s << "; x =";
    for (int i = 1; i <= k; ++i)
        s << ' ' << x[i];
    return s.str();
}

// One call; returns an empty string when its answer is sound, else what was wrong.
std::string Check(FitFunction f, int mode, int n, const double *p0, const double *x0, int k)
{
    double p[kSize], x[kSize], y[kSize], d[kSize];
    std::copy(p0, p0 + kSize, p);
    std::copy(x0, x0 + kSize, x);
    std::fill(y, y + kSize, 0.0);
    std::fill(d, d + kSize, 0.0);
    int result = f(mode, nullptr, n, 0, 0, p, nullptr, x, y, d);
    std::ostringstream s;
    s.precision(17);
    if (result == 1) {
        // A failure writes MISSING_VALUE; a derivative call that fails only for want of a
        // derivative may keep its finite value, but never a NaN or an infinity.
        if (!std::isfinite(y[1]))
            s << "failure with y[1] = " << y[1];
        return s.str();
    }
    if (result != 0)
        return "result " + std::to_string(result);
    for (int i = 1; i <= n + 1; ++i)
        if (!std::isfinite(y[i]))
            s << " y[" << i << "] = " << y[i];
    if (mode == FITMODE_DERIVATIVES)
        for (int i = 1; i <= n; ++i)
            if (!std::isfinite(d[i]))
                s << " d[" << i << "] = " << d[i];
    return s.str().empty() ? std::string() : "success with" + s.str();
}

} // namespace

TEST(CurvelibEdges, NoFunctionAnswersANonFiniteValueAsSuccess)
{
    int calls = 0, bad = 0;
    for (const TableRow &row : GoldenData().table) {
        FitFunction f = FunctionOf(row.row);
        ASSERT_NE(f, nullptr) << row.row;
        const int n = row.nParams, k = row.nIndependent;
        ASSERT_LT(n + 2, kSize);
        for (double base : {1.5, 0.7}) {
            std::vector<std::vector<double>> ps, xs;
            double p[kSize], x[kSize];
            std::fill(p, p + kSize, base);
            std::fill(x, x + kSize, 1.3);
            for (int j = 1; j <= n; ++j)
                for (double e : kEdges) {
                    std::vector<double> q(p, p + kSize);
                    q[j] = e;
                    ps.push_back(q);
                }
            ps.emplace_back(p, p + kSize);
            for (const std::vector<double> &q : ps) {
                std::vector<std::vector<double>> xv;
                for (int i = 1; i <= k; ++i) {
                    for (double e : kEdges) {
                        std::vector<double> v(x, x + kSize);
                        v[i] = e;
                        xv.push_back(v);
                    }
                    for (int j = 1; j <= n; ++j) {
                        std::vector<double> v(x, x + kSize);
                        v[i] = q[j];
                        xv.push_back(v);
                    }
                }
                for (const std::vector<double> &v : xv)
                    for (int mode : {static_cast<int>(FITMODE_VALUE),
                                     static_cast<int>(FITMODE_DERIVATIVES)}) {
                        std::string what = Check(f, mode, n, q.data(), v.data(), k);
                        ++calls;
                        if (!what.empty() && ++bad <= 40)
                            ADD_FAILURE() << row.row << " mode " << mode << " at "
                                          << Point(q.data(), n, v.data(), k) << ": " << what;
                    }
            }
        }
    }
    EXPECT_EQ(bad, 0) << "of " << calls << " calls";
}

// The replicable peaks with analytic derivatives, called for two peaks: the second peak's
// derivatives must be finite too where the call succeeds (a peak far from x, or with a
// huge centre or width, once gave NaN derivatives beside a finite sum).
TEST(CurvelibEdges, TwoPeakDerivativesAreFiniteOrTheCallFails)
{
    int bad = 0;
    for (const char *name : {"Gauss", "Lorentz", "Extreme", "LogNormal"}) {
        FitFunction f = FunctionOf(name);
        ASSERT_NE(f, nullptr) << name;
        for (int j = 1; j <= 7; ++j)
            for (double v : kEdges)
                for (double at : kEdges) {
                    double p[kSize], x[kSize];
                    std::fill(p, p + kSize, 1.5);
                    std::fill(x, x + kSize, 1.3);
                    p[2] = 0.2;
                    p[5] = 3.0;
                    p[j] = v;
                    x[1] = at;
                    for (int mode : {static_cast<int>(FITMODE_VALUE),
                                     static_cast<int>(FITMODE_DERIVATIVES)}) {
                        std::string what = Check(f, mode, 7, p, x, 1);
                        if (!what.empty() && ++bad <= 40)
                            ADD_FAILURE() << name << " mode " << mode << " at "
                                          << Point(p, 7, x, 1) << ": " << what;
                    }
                }
    }
    EXPECT_EQ(bad, 0);
}
