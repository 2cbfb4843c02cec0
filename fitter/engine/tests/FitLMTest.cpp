// Levenberg-Marquardt runs through the qfit object. Reference values come from closed-form
// least squares computed here in long double, and for the Gaussian from SciPy (see
// make_gaussian_reference.py); the engine's results must agree to the digits stated.
#include <gtest/gtest.h>

#include <math.h>

#include <vector>

#include "FitTestKit.h"
#include "qxtest/Numeric.h"

#include "GaussianReference.inc"

namespace {

struct LineFit {
    double a, b, ssr;
};

// Weighted least-squares line from the normal equations.
LineFit WeightedLine(const std::vector<double>& x, const std::vector<double>& y, const std::vector<double>& w)
{
    long double s = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (size_t i = 0; i < x.size(); ++i) {
        s += w[i];
        sx += w[i] * x[i];
        sy += w[i] * y[i];
        sxx += w[i] * x[i] * x[i];
        sxy += w[i] * x[i] * y[i];
    }
    const long double det = s * sxx - sx * sx;
    const long double b = (s * sxy - sx * sy) / det, a = (sy - b * sx) / s;
    long double ssr = 0;
    for (size_t i = 0; i < x.size(); ++i)
        ssr += w[i] * (y[i] - a - b * x[i]) * (y[i] - a - b * x[i]);
    return {static_cast<double>(a), static_cast<double>(b), static_cast<double>(ssr)};
}

using LMTest = FitTest;

}  // namespace

// The done-when fit: a noisy Gaussian peak, four parameters from a poor start, through
// the qfit object as a script would drive it.
TEST_F(LMTest, GaussianWithNoiseMatchesTheReferenceFit)
{
    UseFunction("Gauss", "y0 xc w A");
    UseData(std::vector<double>(std::begin(kGaussX), std::end(kGaussX)),
            std::vector<double>(std::begin(kGaussY), std::end(kGaussY)));
    const char* p[] = {"P1", "P2", "P3", "P4"};
    const char* e[] = {"E1", "E2", "E3", "E4"};
    for (int i = 0; i < 4; ++i)
        Set(p[i], kGaussStart[i]);
    Set("TOLERANCE", 1e-14);
    Call("ITERATE", "100");
    EXPECT_EQ(0, Err());
    EXPECT_EQ(101, Get("NPOINTS"));
    EXPECT_EQ(97, Get("DOF"));
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(qxtest::Close(p[i], kGaussParams[i], Get(p[i]), 1e-6));
        EXPECT_TRUE(qxtest::Close(e[i], kGaussErrors[i], Get(e[i]), 1e-5));
    }
    EXPECT_TRUE(qxtest::Close("SSR", kGaussSsr, Get("SSR"), 1e-10));
    EXPECT_TRUE(qxtest::Close("CHISQR", kGaussSsr / 97, Get("CHISQR"), 1e-10));
    EXPECT_GT(Get("NITER"), 0);
    EXPECT_EQ("EndIterate", host.scripts.back());
}

// Every weighting type against the weighted normal equations. Type 1 and 3 read the
// error column (w = 1/e^2), type 2 uses |y|, type 4 reads the weights themselves. The run
// stops when no step lowers the chi-square any more; a chi-square resolves parameters to
// about the square root of the double precision (1.5e-8) of their scale, hence 1e-7.
TEST_F(LMTest, LineWithEveryWeightingType)
{
    const std::vector<double> column = {0.5, 1.0, 2.0, 1.5, 0.25};
    struct Case {
        int type;
        std::vector<double> weights;
    };
    std::vector<Case> cases = {{0, {1, 1, 1, 1, 1}}, {1, {}}, {2, {}}, {3, {}}, {4, column}};
    for (Case& c : cases) {
        if (c.type == 1 || c.type == 3)
            for (double e : column)
                c.weights.push_back(1 / (e * e));
        if (c.type == 2)
            for (double y : kLineY)
                c.weights.push_back(1 / y);
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        ScxFit(window, 2, 0, nullptr, TestHost::Callback);
        UseLine(0.5, 1.5);
        host.AddDataset("wcol", column);
        SetText("W", "wcol");
        Set("WTYPE", c.type);
        Set("TOLERANCE", 0);
        Call("ITERATE", "50");
        const LineFit ref = WeightedLine(kLineX, kLineY, c.weights);
        EXPECT_TRUE(qxtest::Close("a", ref.a, Get("P1"), 1e-7, 1e-8));
        EXPECT_TRUE(qxtest::Close("b", ref.b, Get("P2"), 1e-7));
        EXPECT_TRUE(qxtest::Close("SSR", ref.ssr, Get("SSR"), 1e-9));
    }
}

// Unweighted standard errors of a line: s^2 = SSR/(n-2); var b = s^2/Sxx,
// var a = s^2 (1/n + xbar^2/Sxx). Here SSR 10, n 5, Sxx 10, xbar 2.
TEST_F(LMTest, LineErrorsAndStatistics)
{
    UseLine(0, 1);
    Set("TOLERANCE", 0);
    Call("ITERATE", "50");
    const double s2 = 10.0 / 3;
    EXPECT_TRUE(qxtest::Close("E1", sqrt(s2 * (0.2 + 0.4)), Get("E1"), 1e-7));
    EXPECT_TRUE(qxtest::Close("E2", sqrt(s2 / 10), Get("E2"), 1e-7));
    // R^2 = 1 - SSR / Syy with Syy = sum (y - 5)^2 = 50.
    EXPECT_TRUE(qxtest::Close("COD", 0.8, Get("COD"), 1e-9));
    EXPECT_TRUE(qxtest::Close("COR", sqrt(0.8), Get("COR"), 1e-9));
    EXPECT_EQ(3, Get("DOF"));
    // Unweighted, the parameter variance is the reduced chi-square times the diagonal of
    // the variance-covariance matrix.
    EXPECT_TRUE(qxtest::Close("VARCOVAR", s2 / 10, Get("CHISQR") * Call("VARCOVAR", "2,2"), 1e-7));
    EXPECT_EQ(MISSING_VALUE, Call("VARCOVAR", "0,1"));
    EXPECT_EQ(MISSING_VALUE, Call("VARCOVAR", "3,1"));
    const double t = 3.1824463052842638;  // Student t, p 0.975, 3 degrees of freedom
    EXPECT_TRUE(qxtest::Close("C2", t * sqrt(s2 / 10), Get("C2"), 1e-7));
}

TEST_F(LMTest, IterateZeroComputesTheChiSquareOnly)
{
    UseLine(0, 1);
    Call("ITERATE", "0");
    EXPECT_EQ(0, Err());
    EXPECT_EQ(0, Get("P1"));
    EXPECT_EQ(1, Get("P2"));
    // residuals y - x: 2, 0, 3, 6, 4
    EXPECT_EQ(65, Get("SSR"));
    EXPECT_EQ(5, Get("NPOINTS"));
}

// Started at the exact minimum no trial can lower the chi-square: after 40 rejected
// trials the run stops with the values it started from and no completed iteration.
TEST_F(LMTest, NoReductionStopsAfterFortyFailures)
{
    UseLine(1, 2);
    Set("TOLERANCE", 0);
    Call("ITERATE", "10");
    EXPECT_EQ(0, Err());
    EXPECT_EQ(0, Get("NITER"));
    EXPECT_EQ(1, Get("P1"));
    EXPECT_EQ(2, Get("P2"));
    EXPECT_EQ(40, host.CountProgress(QFIT_PROGRESS_TRIAL));
    EXPECT_EQ(10, Get("SSR"));
}

TEST_F(LMTest, ErrorPaths)
{
    UseLine(0, 1);
    host.abortAfterPolls = 3;
    Call("ITERATE", "5");
    EXPECT_EQ(FIT_ERR_STOPPED, Err());
    EXPECT_EQ(0, Get("P1"));
    EXPECT_EQ(1, Get("P2"));
    EXPECT_EQ(FIT_ERR_STOPPED, host.errors.back().first);
    host.abortAfterPolls = -1;

    Set("V1", 0);
    Set("V2", 0);
    Call("ITERATE", "5");
    EXPECT_EQ(FIT_ERR_ALL_FIXED, Err());
    Set("V1", 1);
    Set("V2", 1);

    Set("DATABEGIN", 4);
    Set("DATAEND", 3);
    Call("ITERATE", "5");
    EXPECT_EQ(FIT_ERR_TOO_FEW_POINTS, Err());
}

TEST_F(LMTest, ParametersWithoutValuesAreNamed)
{
    UseFunction("Line", "a b");
    UseData(kLineX, kLineY);
    Call("ITERATE", "5");
    EXPECT_EQ(FIT_ERR_PARAM_INIT, Err());
    ASSERT_FALSE(host.errors.empty());
    EXPECT_EQ("a, b", host.errors.back().second);
}

TEST_F(LMTest, HugeModelValuesEndTheRun)
{
    UseFunction("Huge", "a");
    UseData(kLineX, kLineY);
    Set("P1", 1);
    Call("ITERATE", "5");
    EXPECT_EQ(FIT_ERR_GENERAL, Err());
    EXPECT_EQ(MISSING_VALUE, Get("SSR"));
    EXPECT_EQ(MISSING_VALUE, Get("CHISQR"));
}

// y = a b x: only the product is determined, so the two parameters depend on each other.
// A run with a numeric count reports it; ITERATE with a count expression drops the warning.
TEST_F(LMTest, MutualDependencyNamesBothParameters)
{
    UseFunction("Prop", "a b");
    UseData(kLineX, kLineY);
    Set("P1", 1);
    Set("P2", 1);
    double v = 0;
    EXPECT_EQ(FIT_WARN_DEPENDENCY, ScxFit(window, 0x401, 20, &v, TestHost::Callback));
    EXPECT_EQ(FIT_WARN_DEPENDENCY, Err());
    ASSERT_FALSE(host.errors.empty());
    EXPECT_EQ(FIT_WARN_DEPENDENCY, host.errors.back().first);
    EXPECT_EQ("a and b", host.errors.back().second);

    size_t reports = host.errors.size();
    Set("P1", 1);
    Set("P2", 1);
    Call("ITERATE", "20");
    EXPECT_EQ(0, Err());
    EXPECT_EQ(reports, host.errors.size());

    Set("MSGPROMPT", 2);
    Set("P1", 1);
    Set("P2", 1);
    EXPECT_EQ(FIT_WARN_DEPENDENCY, ScxFit(window, 0x401, 20, &v, TestHost::Callback));
    EXPECT_EQ(reports, host.errors.size()) << "MSGPROMPT 2 shows no dependency warning";
}

// As many points as varying parameters: no reduced chi-square, and errors stay 0.
TEST_F(LMTest, NoDegreesOfFreedom)
{
    UseFunction("Line", "a b");
    UseData({0, 1}, {1, 3});
    Set("P1", 0);
    Set("P2", 0);
    Call("ITERATE", "20");
    EXPECT_EQ(MISSING_VALUE, Get("CHISQR"));
    EXPECT_EQ(0, Get("E1"));
    EXPECT_EQ(0, Get("E2"));
    EXPECT_NEAR(1, Get("P1"), 1e-9);
    EXPECT_NEAR(2, Get("P2"), 1e-9);
}

// Rows without a usable weight (an unreadable first error value, a negative direct weight)
// are left out instead of entering with an infinite or negative weight.
TEST_F(LMTest, RowsWithoutUsableWeightsAreSkipped)
{
    UseLine(1, 2);
    host.AddDataset("errs", {MISSING_VALUE, 1, 1, 1, 1});
    SetText("W", "errs");
    Set("WTYPE", 1);
    Call("ITERATE", "0");
    EXPECT_EQ(4, Get("NPOINTS"));
    EXPECT_EQ(9, Get("SSR"));  // residuals -2, 0, 2, -1

    host.AddDataset("direct", {1, 1, -5, 1, 1});
    SetText("W", "direct");
    Set("WTYPE", 4);
    Call("ITERATE", "0");
    EXPECT_EQ(4, Get("NPOINTS"));
    EXPECT_EQ(10, Get("SSR"));
}

// A parameter at 0 with a minimum derivative step of 0 would get a step of 0; the step is
// floored so the derivative stays finite and the fit proceeds.
TEST_F(LMTest, ZeroDerivativeStepIsFloored)
{
    UseLine(0, 0);
    Set("MINDERIVSTEP", 0);
    Set("TOLERANCE", 0);
    Call("ITERATE", "50");
    EXPECT_EQ(0, Err());
    EXPECT_TRUE(qxtest::Close("a", 1, Get("P1"), 1e-7));
    EXPECT_TRUE(qxtest::Close("b", 2, Get("P2"), 1e-7));
}
