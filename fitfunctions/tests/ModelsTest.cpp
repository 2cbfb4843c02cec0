// Every model function against the independent reference values of golden.txt, through
// the exported convention exactly as the fitter calls it.
//
// Checked for each case: the result; y[1] and the peak values; the derivatives; and that
// the call stays inside the arrays its row declares (element 0 and everything past the
// declared counts keep a canary), leaves the parameters alone, writes no derivative in a
// value call, and is not misled by a math error number left set by an earlier call (each
// call starts with EDOM set) nor leaves one set for the next.
//
// Tolerance: relative, per case, from the data: 1e-12 for closed formulas (the reference
// is 40-digit arithmetic), the accuracy of the library's fits where a special function is
// approximated (erfc 1e-6, I1 1e-6, Lanczos Gamma 1e-9, the six-term Voigt 1e-4). An
// absolute floor of rtol * 1e-3 of the case's largest expected magnitude covers values that
// are zero up to cancellation.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include "GoldenData.h"
#include "qxtest/Numeric.h"

using namespace curvelib_test;

namespace {

const int kSize = 40;
const double kCanary = 7.25e77;

struct Buffers {
    double p[kSize], x[kSize], y[kSize], d[kSize];
    explicit Buffers(const Case &c)
    {
        std::fill(p, p + kSize, kCanary);
        std::fill(x, x + kSize, kCanary);
        std::fill(y, y + kSize, kCanary);
        std::fill(d, d + kSize, kCanary);
        for (size_t i = 0; i < c.p.size(); ++i)
            p[1 + i] = c.p[i];
        for (size_t i = 0; i < c.x.size(); ++i)
            x[1 + i] = c.x[i];
    }
    int Call(FitFunction f, int mode, int nArg)
    {
        return f(mode, nullptr, nArg, 0, 0, p, nullptr, x, y, d);
    }
};

bool SameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

double Scale(const Case &c)
{
    double s = 0.0;
    for (const Expected &e : c.y)
        if (e.check && e.value != MISSING_VALUE)
            s = std::max(s, std::fabs(e.value));
    for (const Expected &e : c.d)
        if (e.check && e.value != MISSING_VALUE)
            s = std::max(s, std::fabs(e.value));
    return s;
}

void ExpectValue(const char *what, int index, const Expected &e, double actual, double rtol,
                 double scale)
{
    if (!e.check)
        return;
    std::string name = std::string(what) + "[" + std::to_string(index) + "]";
    if (e.value == MISSING_VALUE) {
        EXPECT_TRUE(SameBits(actual, MISSING_VALUE)) << name << " should be MISSING_VALUE, is "
                                                     << actual;
        return;
    }
    EXPECT_TRUE(qxtest::Close(name, e.value, actual, rtol, rtol * 1e-3 * scale));
}

// The number of parameters a case's function may read and derive.
int DeclaredCount(const Case &c)
{
    const TableRow *row = RowOf(c.row);
    return std::max({c.nArg, static_cast<int>(c.p.size()), row ? row->nParams : 0});
}

} // namespace

TEST(CurvelibModels, EveryFunctionMatchesTheReferenceValuesAndDerivatives)
{
    const Golden &g = GoldenData();
    ASSERT_GT(g.cases.size(), 700u);
    for (const Case &c : g.cases) {
        SCOPED_TRACE(c.Describe());
        FitFunction f = FunctionOf(c.row);
        ASSERT_NE(f, nullptr);
        Buffers b(c);
        errno = EDOM;
        int result = b.Call(f, c.mode, c.nArg);
        EXPECT_NE(errno, EDOM);
        EXPECT_NE(errno, ERANGE);
        EXPECT_EQ(result, c.result);

        double scale = Scale(c);
        for (size_t i = 0; i < c.y.size(); ++i)
            ExpectValue("y", static_cast<int>(i + 1), c.y[i], b.y[1 + i], c.rtol, scale);
        for (size_t i = 0; i < c.d.size(); ++i)
            ExpectValue("d", static_cast<int>(i + 1), c.d[i], b.d[1 + i], c.rtol, scale);

        // Bounds: nothing outside what the row declares.
        const int declared = DeclaredCount(c);
        EXPECT_EQ(b.p[0], kCanary);
        EXPECT_EQ(b.y[0], kCanary);
        EXPECT_EQ(b.d[0], kCanary);
        for (size_t i = 0; i < c.p.size(); ++i)
            EXPECT_TRUE(SameBits(b.p[1 + i], c.p[i])) << "parameter " << i + 1 << " changed";
        for (int i = 2 + std::max(declared, static_cast<int>(c.y.size())); i < kSize; ++i)
            EXPECT_EQ(b.y[i], kCanary) << "y[" << i << "] written";
        for (int i = c.mode == FITMODE_VALUE ? 1 : declared + 1; i < kSize; ++i)
            EXPECT_EQ(b.d[i], kCanary) << "d[" << i << "] written";
    }
}

// The analytic derivatives of every function that has them, against central differences
// of its own value block at the same points: the derivative block and the value formula
// must describe one model. Step 1e-6 relative; the difference quotient is then good to
// about 1e-9 of the value's scale, so the tolerance is 1e-6 relative with that floor.
TEST(CurvelibModels, AnalyticDerivativesAgreeWithFiniteDifferencesOfTheValue)
{
    int checked = 0;
    for (const Case &c : GoldenData().cases) {
        if (c.mode != FITMODE_DERIVATIVES || c.result != 0 || c.d.empty())
            continue;
        bool complete = std::all_of(c.d.begin(), c.d.end(), [](const Expected &e) {
            return e.check && e.value != MISSING_VALUE;
        });
        if (!complete)
            continue;
        SCOPED_TRACE(c.Describe());
        FitFunction f = FunctionOf(c.row);
        Buffers analytic(c);
        ASSERT_EQ(analytic.Call(f, FITMODE_DERIVATIVES, c.nArg), 0);
        for (size_t j = 1; j <= c.d.size(); ++j) {
            double pj = c.p[j - 1];
            double h = 1e-6 * std::max(std::fabs(pj), 1e-3);
            Buffers up(c), down(c);
            up.p[j] = pj + h;
            down.p[j] = pj - h;
            ASSERT_EQ(up.Call(f, FITMODE_VALUE, c.nArg), 0);
            ASSERT_EQ(down.Call(f, FITMODE_VALUE, c.nArg), 0);
            double numeric = (up.y[1] - down.y[1]) / (2.0 * h);
            double floor = 1e-9 * std::max(std::fabs(analytic.y[1]), 1.0) / h * 1e-3;
            EXPECT_TRUE(qxtest::Close("d" + std::to_string(j), numeric, analytic.d[j], 1e-6,
                                      floor));
            ++checked;
        }
    }
    EXPECT_GT(checked, 300);
}

// The query answers the table's column Q and touches nothing; a call with no mode bit
// returns 0 and touches nothing either.
TEST(CurvelibModels, QueryAndEmptyModeTouchNothing)
{
    for (const TableRow &row : GoldenData().table) {
        SCOPED_TRACE(row.row);
        FitFunction f = FunctionOf(row.row);
        ASSERT_NE(f, nullptr);
        for (int mode : {static_cast<int>(FITMODE_QUERY), 0, 0x100}) {
            Case empty;
            Buffers b(empty);
            errno = 0;
            int result = b.Call(f, mode, 0);
            EXPECT_EQ(result, mode == FITMODE_QUERY ? row.query : 0) << "mode " << mode;
            for (int i = 0; i < kSize; ++i) {
                ASSERT_EQ(b.y[i], kCanary) << "mode " << mode;
                ASSERT_EQ(b.d[i], kCanary) << "mode " << mode;
            }
        }
    }
}

// errtest computes terms that raise math errors and never looks at the error number; it
// must still not hand one on to the next call.
TEST(CurvelibModels, ErrtestLeavesNoMathErrorBehind)
{
    FitFunction f = FunctionOf("errtest");
    double p[4] = {0, 0.0, 2.0, 0.5}, x[2] = {0, 1}, y[2] = {}, d[4] = {};
    errno = 0;
    EXPECT_EQ(f(FITMODE_VALUE, nullptr, 3, 0, 0, p, nullptr, x, y, d), 0);
    EXPECT_EQ(y[1], 0.0);
    EXPECT_TRUE(std::isinf(d[1]) && d[1] < 0);
    EXPECT_TRUE(std::isnan(d[2]));
    EXPECT_EQ(d[3], 1.0);
    EXPECT_EQ(errno, 0);
    // The next evaluation of a model is unaffected.
    double gp[5] = {0, 0.5, 1, 2, 3}, gy[3] = {};
    EXPECT_EQ(FunctionOf("Gauss")(FITMODE_VALUE, nullptr, 4, 0, 0, gp, nullptr, x, gy, d), 0);
    EXPECT_FALSE(IsMissingValue(gy[1]));
}

// A real dataset with certified results: the NIST StRD set BoxBOD (Box, Hunter and Hunter
// 1978), y = b1 (1 - e^(-b2 x)), which is BoxLucas1. At the certified parameters the
// residual sum of squares must equal the certified one; the certified values carry 11
// digits and the sum is stationary there, so agreement to 1e-9 is expected.
TEST(CurvelibModels, BoxLucas1ReproducesTheCertifiedResidualSumOfSquares)
{
    const double xs[] = {1, 2, 3, 5, 7, 10};
    const double ys[] = {109, 149, 149, 191, 213, 224};
    double p[3] = {0, 2.1380940889E+02, 5.4723748542E-01};
    FitFunction f = FunctionOf("BoxLucas1");
    double rss = 0.0;
    for (int i = 0; i < 6; ++i) {
        double x[2] = {0, xs[i]}, y[2] = {}, d[3] = {};
        ASSERT_EQ(f(FITMODE_VALUE, nullptr, 2, 0, 0, p, nullptr, x, y, d), 0);
        rss += (ys[i] - y[1]) * (ys[i] - y[1]);
    }
    QX_EXPECT_CLOSE("residual sum of squares", 1.1680088766E+03, rss, 1e-9);
}
