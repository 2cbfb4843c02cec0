// Distribution functions against reference tables computed apart from this library
// (make_distribution_tables.py: mpmath at 40 digits). Tolerance: a relative error of
// 1e-12, the accuracy fits and regressions are promised.
#include <gtest/gtest.h>

#include "qxdefs.h"
#include "qxutil.h"

#include <cfloat>
#include <cmath>
#include <string>

namespace {

struct QuantileCase { double p, df1, df2, expected; };
struct BetaCase { double x, a, b, expected; };
struct ErfCase { double x, expected; };

#include "DistributionTables.inc"

const double kTolerance = 1e-12;

// Relative comparison; values below the normal range compare absolutely, since the
// last digits of a subnormal are not meaningful.
::testing::AssertionResult Close(const std::string &what, double expected, double actual)
{
    double error = std::fabs(actual - expected);
    if (error <= kTolerance * std::fabs(expected) || (std::fabs(expected) < 1e-290 && error < 1e-300))
        return ::testing::AssertionSuccess();
    char text[200];
    std::snprintf(text, sizeof text, "expected %.17g, actual %.17g, relative error %.3g", expected,
                  actual, expected != 0 ? error / std::fabs(expected) : error);
    return ::testing::AssertionFailure() << what << ": " << text;
}

std::string Args(double p, double a, double b = 0)
{
    char text[100];
    std::snprintf(text, sizeof text, "(%.17g; %.17g; %.17g)", p, a, b);
    return text;
}

TEST(StudentT, QuantileTable)
{
    for (const QuantileCase &c : kStudentCases) {
        double args[2] = {c.p, c.df1};
        EXPECT_TRUE(Close("t quantile " + Args(c.p, c.df1), c.expected, UtilTQuantile(args)));
        double result = 0;
        EXPECT_EQ(UtilStudentTInverse(args, &result), 0);
        EXPECT_EQ(result, UtilTQuantile(args));
    }
}

TEST(FDistribution, QuantileTable)
{
    for (const QuantileCase &c : kFCases) {
        double args[3] = {c.p, c.df1, c.df2};
        EXPECT_TRUE(Close("F quantile " + Args(c.p, c.df1, c.df2), c.expected, UtilFQuantile(args)));
    }
}

TEST(ChiSquare, QuantileTable)
{
    for (const QuantileCase &c : kChiSquareCases) {
        double args[2] = {c.p, c.df1};
        EXPECT_TRUE(Close("chi-square quantile " + Args(c.p, c.df1), c.expected,
                          UtilChiSquareQuantile(args)));
    }
}

TEST(IncompleteBeta, Table)
{
    for (const BetaCase &c : kBetaCases) {
        double args[3] = {c.x, c.a, c.b};
        EXPECT_TRUE(Close("I_x(a, b) " + Args(c.x, c.a, c.b), c.expected, UtilIncompleteBeta(args)));
    }
}

TEST(Erf, Table)
{
    for (const ErfCase &c : kErfCases) {
        double x = c.x;
        UtilErf(&x);
        EXPECT_TRUE(Close("erf " + Args(c.x, 0), c.expected, x));
    }
}

TEST(Distributions, BadArgumentsGiveTheFailureAnswer)
{
    const double nan = std::nan("");
    const double badPairs[][2] = {{0, 5}, {1, 5}, {-0.1, 5}, {1.5, 5}, {0.5, 0}, {0.5, -1},
                                  {nan, 5}, {0.5, nan}, {MISSING_VALUE, 5}, {0.5, MISSING_VALUE},
                                  {0.5, INFINITY}};
    for (const auto &pair : badPairs) {
        double args[2] = {pair[0], pair[1]};
        EXPECT_EQ(UtilTQuantile(args), MISSING_VALUE) << Args(pair[0], pair[1]);
        EXPECT_EQ(UtilChiSquareQuantile(args), -1.0) << Args(pair[0], pair[1]);
        double result = 0;
        EXPECT_NE(UtilStudentTInverse(args, &result), 0);
        EXPECT_EQ(result, MISSING_VALUE);
        double f[3] = {pair[0], pair[1], 3};
        EXPECT_EQ(UtilFQuantile(f), MISSING_VALUE) << Args(pair[0], pair[1]);
        double g[3] = {pair[0] == 0.5 ? 0.5 : 0.3, 3, pair[1]};
        if (!(pair[1] > 0 && std::isfinite(pair[1]) && pair[1] != MISSING_VALUE)) {
            EXPECT_EQ(UtilFQuantile(g), MISSING_VALUE) << Args(g[0], g[1], g[2]);
        }
    }
    EXPECT_EQ(UtilTQuantile(nullptr), MISSING_VALUE);
    EXPECT_EQ(UtilFQuantile(nullptr), MISSING_VALUE);
    EXPECT_EQ(UtilChiSquareQuantile(nullptr), -1.0);
    EXPECT_NE(UtilStudentTInverse(nullptr, nullptr), 0);
    double result = 0;
    EXPECT_NE(UtilStudentTInverse(nullptr, &result), 0);
    EXPECT_EQ(result, MISSING_VALUE);

    const double badBeta[][3] = {{-0.1, 1, 1}, {1.1, 1, 1}, {0.5, 0, 1}, {0.5, 1, -2},
                                 {nan, 1, 1}, {0.5, nan, 1}, {MISSING_VALUE, 1, 1}};
    for (const auto &b : badBeta) {
        double args[3] = {b[0], b[1], b[2]};
        EXPECT_EQ(UtilIncompleteBeta(args), MISSING_VALUE) << Args(b[0], b[1], b[2]);
    }
    EXPECT_EQ(UtilIncompleteBeta(nullptr), MISSING_VALUE);
    double ends[3] = {0, 2, 3};
    EXPECT_EQ(UtilIncompleteBeta(ends), 0.0);
    ends[0] = 1;
    EXPECT_EQ(UtilIncompleteBeta(ends), 1.0);

    // Quantiles beyond the double range and degrees of freedom past the supported
    // range are failures, not numbers clamped at a bound.
    const double beyond[][3] = {{0.3, 0.001, 0.001}, {0.9, 0.001, 0.001}, {0.5, 2e10, 3},
                                {1e-300, 0.5, 0.5}};
    for (const auto &b : beyond) {
        double t[2] = {b[0], b[1]};
        double f[3] = {b[0], b[1], b[2]};
        EXPECT_EQ(UtilTQuantile(t), MISSING_VALUE) << Args(b[0], b[1]);
        EXPECT_EQ(UtilFQuantile(f), MISSING_VALUE) << Args(b[0], b[1], b[2]);
    }
    double chi[2] = {0.5, 2e7};
    EXPECT_EQ(UtilChiSquareQuantile(chi), -1.0);
    double wide[3] = {0.5, 1e-300, 1e300};
    EXPECT_EQ(UtilIncompleteBeta(wide), MISSING_VALUE);

    // A fit with as many parameters as points asks with zero degrees of freedom.
    double zero[2] = {0.975, 0};
    EXPECT_EQ(UtilTQuantile(zero), MISSING_VALUE);

    double x = MISSING_VALUE;
    UtilErf(&x);
    EXPECT_EQ(x, MISSING_VALUE);
    x = nan;
    UtilErf(&x);
    EXPECT_EQ(x, MISSING_VALUE);
    x = -INFINITY;
    UtilErf(&x);
    EXPECT_EQ(x, -1.0);
    UtilErf(nullptr);
}

// The t and F quantiles answer the same question two ways: t(q)^2 = F(2q - 1; 1, df).
TEST(Distributions, TAndFAgree)
{
    for (double df : {1.0, 3.0, 12.0, 250.0, 3e6}) {
        double t[2] = {0.975, df};
        double f[3] = {0.95, 1, df};
        double tq = UtilTQuantile(t);
        EXPECT_TRUE(Close("t^2 vs F, df " + Args(df, 0), UtilFQuantile(f), tq * tq));
    }
}

TEST(Binomial, ExactValues)
{
    struct Case { int i, j; double expected; };
    // Exact integers (Python's math.comb), all representable in a double.
    const Case cases[] = {
        {0, 0, 1},          {0, 7, 1},          {7, 7, 1},          {1, 9, 9},
        {2, 5, 10},         {3, 10, 120},       {10, 20, 184756},   {25, 50, 126410606437752.0},
        {30, 60, 1.1826458156486142e17}, {500, 1000, 2.7028824094543655e299},
        {3, 100000, 166661666700000.0},
    };
    for (const Case &c : cases) {
        double result = 0;
        EXPECT_EQ(UtilBinomial(c.i, c.j, c.j - c.i, &result), 0) << c.i << " " << c.j;
        EXPECT_TRUE(Close("C(" + std::to_string(c.j) + ", " + std::to_string(c.i) + ")", c.expected, result));
    }
    const int bad[][3] = {{-1, 5, 6}, {6, 5, -1}, {2, 5, 2}, {600, 1200, 600}};
    for (const auto &b : bad) {
        double result = 0;
        EXPECT_NE(UtilBinomial(b[0], b[1], b[2], &result), 0) << b[0] << " " << b[1];
        EXPECT_EQ(result, MISSING_VALUE);
    }
    EXPECT_NE(UtilBinomial(1, 2, 1, nullptr), 0);
}

TEST(VectorAngle, Table)
{
    const double pi = 3.14159265358979323846;
    struct Case { double x, y, angle; };
    const Case cases[] = {
        {1, 0, 0}, {0, 2, pi / 2}, {-1, 0, pi}, {0, -3, -pi / 2}, {1, 1, pi / 4}, {-1, -1, -3 * pi / 4},
    };
    for (const Case &c : cases) {
        double record[3] = {c.x, c.y, 99};
        EXPECT_NE(UtilVectorAngle(record), 0);
        EXPECT_NEAR(record[2], c.angle, 1e-15) << c.x << " " << c.y;
    }
    const double bad[][2] = {{0, 0}, {MISSING_VALUE, 1}, {1, std::nan("")}};
    for (const auto &b : bad) {
        double record[3] = {b[0], b[1], 99};
        EXPECT_EQ(UtilVectorAngle(record), 0);
        EXPECT_EQ(record[2], 99);
    }
    EXPECT_EQ(UtilVectorAngle(nullptr), 0);
}

} // namespace
