// Line, multiple and polynomial fits. Reference values: the certified linear reference
// sets (15 digits); for the small fixtures, exact rational arithmetic of the textbook
// formulas (weighted least squares by the normal equations in fractions), rounded to 17
// digits. Standard errors are compared with CHISQRERR on, as the certified ones are
// scaled by the residual standard deviation.
#include "RegressionCore.h"
#include "NistData.h"

#include "qxdefs.h"
#include "qxtest/Numeric.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace qxstats;
using qxstats_test::Column;
using qxstats_test::ReadNistRows;

namespace {

const double M = MISSING_VALUE;

// Agreement in significant digits; a certified 0 is met by an absolute error below
// 10^-digits times the scale of the data it stands beside.
void ExpectDigits(const char *what, double certified, double actual, double digits,
                  double scale = 1)
{
    if (certified == 0) {
        EXPECT_LE(std::fabs(actual), std::pow(10.0, -digits) * scale) << what << " " << actual;
        return;
    }
    EXPECT_GE(qxtest::Lre(actual, certified), digits)
        << what << ": certified " << certified << ", actual " << actual;
}

struct Certified {
    std::vector<double> b, bse;   // constant first
    double sd, r2;
};

void ExpectCertified(const ModelResult &r, const Certified &c, double digits, double scale)
{
    ASSERT_EQ(r.error, 0);
    ExpectDigits("B0", c.b[0], r.A, digits, scale);
    ExpectDigits("SE(B0)", c.bse[0], r.ASE, digits, scale);
    for (size_t k = 1; k < c.b.size(); ++k) {
        SCOPED_TRACE(testing::Message() << "B" << k);
        ExpectDigits("B", c.b[k], r.B[k - 1], digits, scale);
        ExpectDigits("SE(B)", c.bse[k], r.BSE[k - 1], digits, scale);
    }
    ExpectDigits("residual SD", c.sd, r.SD, digits, scale);
    ExpectDigits("R squared", c.r2, r.COD, digits);
}

const Certified kNorris = {{-0.262323073774029, 1.00211681802045},
                           {0.232818234301152, 0.429796848199937E-03},
                           0.884796396144373,
                           0.999993745883712};

} // namespace

// The straight line and its two generalisations agree with the certified straight line.
TEST(CertifiedRegression, NorrisLineByEveryMethod)
{
    auto rows = ReadNistRows("Norris.dat");
    ASSERT_EQ(rows.size(), 36u);
    std::vector<double> y = Column(rows, 0), x = Column(rows, 1);

    LineInput in;
    in.x = x;
    in.y = y;
    in.chiSqrErr = true;
    LineResult line = FitLine(in);
    ASSERT_EQ(line.status, LineResult::Fitted);
    ExpectDigits("A", kNorris.b[0], line.A, 9);
    ExpectDigits("B", kNorris.b[1], line.B, 9);
    ExpectDigits("ASE", kNorris.bse[0], line.ASE, 9);
    ExpectDigits("BSE", kNorris.bse[1], line.BSE, 9);
    ExpectDigits("SD", kNorris.sd, line.SD, 9);
    ExpectDigits("COD", kNorris.r2, line.COD, 9);
    EXPECT_EQ(line.df[1], 34);

    {
        SCOPED_TRACE("polynomial of order 1");
        ExpectCertified(FitPolynomial(x, y, {}, 1, 0.95, true), kNorris, 9, 1);
    }
    {
        SCOPED_TRACE("multiple regression on one column");
        ExpectCertified(FitMultiple({x}, y, 0.95, true), kNorris, 9, 1);
    }
}

TEST(CertifiedRegression, PolynomialSets)
{
    struct Case {
        const char *file;
        int order;
        Certified c;
        double scale;   // of y, for the certified zeros
    } cases[] = {
        {"Pontius.dat", 2,
         {{0.673565789473684E-03, 0.732059160401003E-06, -0.316081871345029E-14},
          {0.107938612033077E-03, 0.157817399981659E-09, 0.486652849992036E-16},
          0.205177424076185E-03, 0.999999900178537},
         1},
        {"Wampler1.dat", 5,
         {{1, 1, 1, 1, 1, 1}, {0, 0, 0, 0, 0, 0}, 0, 1},
         3.4e6},
        {"Wampler2.dat", 5,
         {{1, 0.1, 0.01, 0.001, 0.0001, 0.00001}, {0, 0, 0, 0, 0, 0}, 0, 1},
         6.3},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file);
        auto rows = ReadNistRows(c.file);
        ASSERT_GT(rows.size(), 20u);
        ExpectCertified(FitPolynomial(Column(rows, 1), Column(rows, 0), {}, c.order, 0.95, true),
                        c.c, 9, c.scale);
    }
}

// Six strongly collinear predictors of very different size: at least 7 digits.
TEST(CertifiedRegression, LongleyMultiple)
{
    auto rows = ReadNistRows("Longley.dat");
    ASSERT_EQ(rows.size(), 16u);
    std::vector<std::vector<double>> columns;
    for (size_t k = 1; k <= 6; ++k)
        columns.push_back(Column(rows, k));
    Certified c = {{-3482258.63459582, 15.0618722713733, -0.358191792925910E-01,
                    -2.02022980381683, -1.03322686717359, -0.511041056535807E-01,
                    1829.15146461355},
                   {890420.383607373, 84.9149257747669, 0.334910077722432E-01,
                    0.488399681651699, 0.214274163161675, 0.226073200069370, 455.478499142212},
                   304.854073561965,
                   0.995479004577296};
    ModelResult r = FitMultiple(columns, Column(rows, 0), 0.95, true);
    ExpectCertified(r, c, 7, 1);
    // Analysis of variance table.
    ExpectDigits("SSR", 184172401.944494, r.SSR, 7);
    ExpectDigits("SSE", 836424.055505915, r.SSE, 7);
    ExpectDigits("F", 330.285339234588, r.Fvalue, 7);
    EXPECT_EQ(r.df[0], 6);
    EXPECT_EQ(r.df[1], 9);
    EXPECT_EQ(r.df[2], 15);
}

TEST(LineFit, WeightedOrdinaryFitAndBands)
{
    LineInput in;
    in.x = {1, 2, 3, 4, 5};
    in.y = {2.2, 3.8, 6.1, 8.3, 9.6};
    in.w = {1, 4, 1, 0.25, 1};
    in.chiSqrErr = true;
    LineResult r = FitLine(in);
    ASSERT_EQ(r.status, LineResult::Fitted);
    QX_EXPECT_CLOSE("A", 0.067224080267558528, r.A, 1e-13);
    QX_EXPECT_CLOSE("B", 1.9270903010033445, r.B, 1e-14);
    QX_EXPECT_CLOSE("ASE", 0.24453627304924295, r.ASE, 1e-13);
    QX_EXPECT_CLOSE("BSE", 0.088783231326938885, r.BSE, 1e-13);
    QX_EXPECT_CLOSE("R", 0.99683130108021754, r.R, 1e-14);
    QX_EXPECT_CLOSE("SD", 0.28508052022197771, r.SD, 1e-13);
    QX_EXPECT_CLOSE("WTOTAL", 7.25, r.WTOTAL, 1e-15);
    QX_EXPECT_CLOSE("XMEAN", 2.4827586206896552, r.XMEAN, 1e-15);
    QX_EXPECT_CLOSE("SXX", 10.310344827586207, r.SXX, 1e-14);
    // t(0.975, 3) = 3.1824463052837096 (40-digit root of the incomplete beta).
    QX_EXPECT_CLOSE("T", 3.1824463052837096, r.T, 1e-12);
    QX_EXPECT_CLOSE("confidence half width", 1.1566298639324804 * r.T * r.SD,
                    LineHalfWidth(r, 6, false), 1e-13);
    QX_EXPECT_CLOSE("prediction half width", 1.5289841863604961 * r.T * r.SD,
                    LineHalfWidth(r, 6, true), 1e-13);
    ASSERT_EQ(r.residuals.size(), 5u);
    QX_EXPECT_CLOSE("residual 1", 2.2 - (r.A + r.B), r.residuals[0], 1e-13);

    // Without CHISQRERR the errors come from the weights alone.
    in.chiSqrErr = false;
    LineResult u = FitLine(in);
    QX_EXPECT_CLOSE("ASE unscaled", r.ASE / r.SD, u.ASE, 1e-14);
    QX_EXPECT_CLOSE("BSE unscaled", r.BSE / r.SD, u.BSE, 1e-14);
}

// Through the origin every sum is uncentred; with a given slope every sum is centred.
TEST(LineFit, ThroughZeroAndGivenSlopeUseMatchingSums)
{
    LineInput in;
    in.x = {1, 2, 3, 4, 5};
    in.y = {2.2, 3.8, 6.1, 8.3, 9.6};
    in.chiSqrErr = true;

    in.mode = LineMode::ThroughZero;
    LineResult z = FitLine(in);
    ASSERT_EQ(z.status, LineResult::Fitted);
    EXPECT_EQ(z.A, 0);
    EXPECT_EQ(z.ASE, M);
    EXPECT_EQ(z.AP, M);
    QX_EXPECT_CLOSE("B", 1.9872727272727273, z.B, 1e-15);
    QX_EXPECT_CLOSE("R", 0.99923872165291515, z.R, 1e-14);
    QX_EXPECT_CLOSE("SSE", 0.33109090909090909, z.SSE, 1e-12);
    QX_EXPECT_CLOSE("SSTO", 217.54, z.SSTO, 1e-14);
    QX_EXPECT_CLOSE("SD", 0.28770249785625302, z.SD, 1e-12);
    QX_EXPECT_CLOSE("BSE", 0.038793796897003397, z.BSE, 1e-12);
    QX_EXPECT_CLOSE("SXX", 55, z.SXX, 1e-15);
    EXPECT_EQ(z.COD, z.ADRSQ);
    QX_EXPECT_CLOSE("COD", 1 - z.SSE / z.SSTO, z.COD, 1e-12);
    EXPECT_EQ(z.df[0], 1);
    EXPECT_EQ(z.df[1], 4);
    EXPECT_EQ(z.df[2], 5);
    // The F test of the regression and the t test of B are one test through the origin.
    QX_EXPECT_CLOSE("Pvalue", z.BP, z.Pvalue, 1e-9);
    QX_EXPECT_CLOSE("half width", z.T * z.SD * std::sqrt(4.0 / 55), LineHalfWidth(z, 2, false),
                    1e-14);

    in.mode = LineMode::GivenSlope;
    in.givenSlope = 2;
    LineResult g = FitLine(in);
    ASSERT_EQ(g.status, LineResult::Fitted);
    EXPECT_EQ(g.B, 2);
    EXPECT_NEAR(g.A, 0, 1e-14);
    EXPECT_EQ(g.BSE, M);
    EXPECT_EQ(g.BP, M);
    QX_EXPECT_CLOSE("R", 0.99611659383507185, g.R, 1e-14);
    QX_EXPECT_CLOSE("SSE", 0.34, g.SSE, 1e-12);
    QX_EXPECT_CLOSE("SSTO", 37.54, g.SSTO, 1e-14);
    QX_EXPECT_CLOSE("SD", 0.29154759474226502, g.SD, 1e-12);
    QX_EXPECT_CLOSE("ASE", 0.13038404810405297, g.ASE, 1e-12);
    EXPECT_EQ(g.COD, g.ADRSQ);
}

TEST(LineFit, DegenerateCases)
{
    struct Case {
        const char *name;
        std::vector<double> x, y;
        LineMode mode;
        double slope;
        LineResult::Status status;
        int error;
        const char *warning;
        double A, B, R;
    } cases[] = {
        {"one point, ordinary", {1}, {2}, LineMode::Ordinary, 0, LineResult::Failed, 804, nullptr, M, M, M},
        {"no point through zero", {}, {}, LineMode::ThroughZero, 0, LineResult::Failed, 804, nullptr, M, M, M},
        {"two points, same x", {1, 1}, {2, 3}, LineMode::Ordinary, 0, LineResult::Warned, 0,
         "Two points have the same x values.", M, M, M},
        {"two points", {1, 3}, {5, 1}, LineMode::Ordinary, 0, LineResult::Fitted, 0, nullptr, 7, -2, -1},
        {"equal x", {2, 2, 2}, {1, 2, 3}, LineMode::Ordinary, 0, LineResult::Warned, 0,
         "The X coordinates have the same value!", M, M, M},
        {"single point through zero", {2}, {4}, LineMode::ThroughZero, 0, LineResult::Fitted, 0, nullptr, 0, 2, 1},
        {"single point at x 0 through zero", {0}, {4}, LineMode::ThroughZero, 0, LineResult::Warned, 0,
         "sum of x values is zero!", 0, M, M},
        {"x all 0 through zero", {0, 0}, {1, 2}, LineMode::ThroughZero, 0, LineResult::Warned, 0,
         "sum of X value squares is zero!", M, M, M},
        {"single point, given slope", {2}, {4}, LineMode::GivenSlope, -1, LineResult::Fitted, 0, nullptr, 6, -1, -1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        LineInput in;
        in.x = c.x;
        in.y = c.y;
        in.mode = c.mode;
        in.givenSlope = c.slope;
        LineResult r = FitLine(in);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.error, c.error);
        EXPECT_STREQ(r.warning, c.warning);
        if (c.status == LineResult::Failed)
            continue;
        EXPECT_DOUBLE_EQ(r.A, c.A);
        EXPECT_DOUBLE_EQ(r.B, c.B);
        EXPECT_EQ(r.R, c.R);
        if (c.status == LineResult::Fitted) {
            // Exactly determined: no residual degrees of freedom, no error estimates.
            EXPECT_EQ(r.df[1], 0);
            EXPECT_EQ(r.SD, M);
            EXPECT_EQ(r.T, M);
            EXPECT_EQ(r.Pvalue, M);
        }
    }
}

// Points on a line: zero errors, the correlation by the sign of the slope, no F test.
TEST(LineFit, PerfectFit)
{
    for (double slope : {3.0, -0.5}) {
        SCOPED_TRACE(slope);
        LineInput in;
        in.x = {0, 1, 2, 4};
        for (double x : in.x)
            in.y.push_back(1 + slope * x);
        LineResult r = FitLine(in);
        ASSERT_EQ(r.status, LineResult::Fitted);
        EXPECT_DOUBLE_EQ(r.B, slope);
        EXPECT_EQ(r.ASE, 0);
        EXPECT_EQ(r.BSE, 0);
        EXPECT_EQ(r.R, slope > 0 ? 1 : -1);
        EXPECT_EQ(r.COD, 1);
        EXPECT_EQ(r.Fvalue, M);
        EXPECT_EQ(r.Pvalue, M);
        EXPECT_EQ(r.ADRSQ, M);
    }
}

TEST(PolynomialFit, WeightedFixtureAndBandFactor)
{
    std::vector<double> x{1, 2, 3, 4, 5, 6}, y{2.1, 3.9, 6.2, 7.8, 10.1, 12.2},
        sigma{0.5, 1, 1, 2, 1, 0.5};
    ModelResult r = FitPolynomial(x, y, sigma, 2, 0.95, true);
    ASSERT_EQ(r.error, 0);
    QX_EXPECT_CLOSE("A", 0.16692830673163900, r.A, 1e-12);
    QX_EXPECT_CLOSE("B1", 1.9057118263254647, r.B[0], 1e-13);
    QX_EXPECT_CLOSE("B2", 0.016575238539873362, r.B[1], 1e-11);
    QX_EXPECT_CLOSE("ASE", 0.16963747233029858, r.ASE, 1e-12);
    QX_EXPECT_CLOSE("BSE1", 0.14084795711751655, r.BSE[0], 1e-12);
    QX_EXPECT_CLOSE("BSE2", 0.019828256934438900, r.BSE[1], 1e-12);
    QX_EXPECT_CLOSE("SD", 0.14783640254702285, r.SD, 1e-12);
    QX_EXPECT_CLOSE("SSE", 0.065566805754136150, r.SSE, 1e-11);
    QX_EXPECT_CLOSE("SSTO", 224.188, r.SSTO, 1e-14);
    QX_EXPECT_CLOSE("COD", 0.99970753650617278, r.COD, 1e-14);
    QX_EXPECT_CLOSE("WTOTAL", 11.25, r.WTOTAL, 1e-15);
    QX_EXPECT_CLOSE("YMEAN", 7.0533333333333333, r.YMEAN, 1e-15);
    QX_EXPECT_CLOSE("XMEAN", 3.4666666666666667, r.XMEAN, 1e-15);
    QX_EXPECT_CLOSE("SXX", 54.8, r.SXX, 1e-14);
    QX_EXPECT_CLOSE("band factor", 0.37142646114790931, PolynomialBandFactor(r, 2.5), 1e-12);
    QX_EXPECT_CLOSE("residual 2", -0.14465291354206180, r.residuals[1], 1e-11);
    QX_EXPECT_CLOSE("value", r.A + r.B[0] * 2.5 + r.B[1] * 6.25, PolynomialValue(r, 2.5), 1e-15);
    EXPECT_EQ(r.df[0], 2);
    EXPECT_EQ(r.df[1], 3);
    EXPECT_EQ(r.df[2], 5);
}

TEST(PolynomialFit, ExactAndRefusedFits)
{
    // Through (0, 1), (1, 3), (2, 5).
    ModelResult line = FitPolynomial({0, 1, 2}, {1, 3, 5}, {}, 1, 0.95, true);
    ASSERT_EQ(line.error, 0);
    EXPECT_NEAR(line.A, 1, 1e-15);
    EXPECT_NEAR(line.B[0], 2, 1e-15);
    EXPECT_NEAR(line.SSE, 0, 1e-28);
    EXPECT_EQ(line.R, 1);
    EXPECT_EQ(line.MSE, 1e-20);
    EXPECT_EQ(line.XMEAN, 1);
    EXPECT_EQ(line.SXX, 2);
    EXPECT_EQ(line.df[0], 1);
    EXPECT_EQ(line.df[1], 1);
    EXPECT_EQ(line.df[2], 2);

    // As many points as coefficients: no residual degrees of freedom.
    ModelResult exact = FitPolynomial({0, 1, 2}, {1, 0, 3}, {}, 2, 0.95, true);
    ASSERT_EQ(exact.error, 0);
    EXPECT_EQ(exact.df[1], 0);
    EXPECT_EQ(exact.SD, 0);
    EXPECT_EQ(exact.BSE[0], 0);
    EXPECT_EQ(exact.BP[0], 0);
    EXPECT_EQ(exact.MSE, 1e-20);
    EXPECT_EQ(exact.T, M);
    EXPECT_EQ(exact.Pvalue, M);

    // A constant: nothing for the regression to explain.
    ModelResult constant = FitPolynomial({0, 1, 2, 3}, {2, 4, 2, 4}, {}, 0, 0.95, true);
    ASSERT_EQ(constant.error, 0);
    EXPECT_DOUBLE_EQ(constant.A, 3);
    EXPECT_EQ(constant.MSR, M);
    EXPECT_EQ(constant.Fvalue, M);
    EXPECT_EQ(constant.Pvalue, M);

    EXPECT_EQ(FitPolynomial({0, 1, 2}, {1, 2, 3}, {}, 10, 0.95, true).error, 606);
    EXPECT_EQ(FitPolynomial({0, 1, 2}, {1, 2, 3}, {}, -1, 0.95, true).error, 606);
    EXPECT_EQ(FitPolynomial({0, 1}, {1, 2}, {}, 2, 0.95, true).error, 705);
    // Two distinct x cannot carry a parabola.
    EXPECT_EQ(FitPolynomial({1, 1, 2, 2}, {1, 2, 3, 4}, {}, 2, 0.95, true).error, 704);
    // A constant y leaves the correlation undefined rather than NaN.
    ModelResult flat = FitPolynomial({0, 1, 2, 3}, {5, 5, 5, 5}, {}, 1, 0.95, true);
    EXPECT_EQ(flat.R, M);
    EXPECT_EQ(flat.COD, M);
}

TEST(MultipleFit, SizesAndRefusals)
{
    // Two columns, four rows: DF 2, 1, 3; three rows are too few.
    std::vector<double> x1{1, 2, 3, 4}, x2{1, 0, 1, 3}, y{3, 4, 7, 11};
    ModelResult r = FitMultiple({x1, x2}, y, 0.95, false);
    ASSERT_EQ(r.error, 0);
    EXPECT_EQ(r.df[0], 2);
    EXPECT_EQ(r.df[1], 1);
    EXPECT_EQ(r.df[2], 3);
    ASSERT_EQ(r.B.size(), 2u);
    // Without CHISQRERR the errors are the roots of the diagonal of (X'X)^-1:
    // for these rows (X'X)^-1 has the diagonal 37/23, 19/46, 10/23 (exact).
    QX_EXPECT_CLOSE("ASE", std::sqrt(37.0 / 23), r.ASE, 1e-13);
    QX_EXPECT_CLOSE("BSE1", std::sqrt(19.0 / 46), r.BSE[0], 1e-13);
    QX_EXPECT_CLOSE("BSE2", std::sqrt(10.0 / 23), r.BSE[1], 1e-13);
    EXPECT_EQ(FitMultiple({{1, 2, 3}, {1, 0, 1}}, {3, 4, 7}, 0.95, false).error, 705);

    // No column: the constant, with at least two rows.
    ModelResult constant = FitMultiple({}, {1, 3}, 0.95, false);
    ASSERT_EQ(constant.error, 0);
    EXPECT_EQ(constant.df[0], 0);
    EXPECT_DOUBLE_EQ(constant.A, 2);
    EXPECT_EQ(constant.MSR, M);
    EXPECT_EQ(constant.Fvalue, M);
    EXPECT_EQ(FitMultiple({}, {1}, 0.95, false).error, 705);

    // Ten columns do not fit the nine coefficient slots: refused before anything is fitted.
    std::vector<std::vector<double>> ten(10, std::vector<double>(20, 1.0));
    EXPECT_EQ(FitMultiple(ten, std::vector<double>(20, 1.0), 0.95, false).error, 200);

    // A column that repeats another.
    EXPECT_EQ(FitMultiple({x1, x1}, y, 0.95, false).error, 704);
}
