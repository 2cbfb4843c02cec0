// The simplex run (member SIMPLEX) and its evaluation limit (ScxFit code 0x30, sub-code 8).
#include <gtest/gtest.h>

#include <vector>

#include "FitTestKit.h"
#include "qxtest/Numeric.h"

namespace {

class SimplexTest : public FitTest {
protected:
    void SetEvaluationLimit(double limit)
    {
        EXPECT_EQ(0, ScxFit(window, 0x30, 8, &limit, TestHost::Callback));
    }
};

}  // namespace

TEST_F(SimplexTest, ZeroCountDoesNothing)
{
    UseLine(0, 1);
    const int reads = host.Count(HOST_GET_VALUE);
    Call("SIMPLEX", "0");
    EXPECT_EQ(0, Err());
    EXPECT_EQ(reads, host.Count(HOST_GET_VALUE));
}

// With a limit of n + 1 evaluations the run ends right after the starting vertices.
TEST_F(SimplexTest, LimitOfStartingVertices)
{
    UseLine(0, 1);
    SetEvaluationLimit(3);
    Call("SIMPLEX", "1");
    EXPECT_EQ(0, Err());
    EXPECT_EQ(3, host.CountProgress(QFIT_PROGRESS_TRIAL));
}

// Given enough evaluations the simplex finds the least-squares line (a 1, b 2, SSR 10) and
// the run ends with errors as an LM run does.
TEST_F(SimplexTest, FindsTheMinimum)
{
    UseLine(0, 1);
    SetEvaluationLimit(2000);
    Set("TOLERANCE", 1e-13);
    Call("SIMPLEX", "1");
    EXPECT_EQ(0, Err());
    EXPECT_TRUE(qxtest::Close("SSR", 10, Get("SSR"), 1e-6));
    EXPECT_NEAR(1, Get("P1"), 1e-3);
    EXPECT_NEAR(2, Get("P2"), 1e-3);
    EXPECT_GT(Get("E2"), 0);
    EXPECT_GT(Get("NITER"), 0);
}

// A stop request ends the run with the best point found so far, never a worse trial.
TEST_F(SimplexTest, StopKeepsTheBestVertex)
{
    UseLine(0, 1);
    Call("ITERATE", "0");
    const double startSsr = Get("SSR");
    SetEvaluationLimit(2000);
    Set("TOLERANCE", 1e-13);
    host.polls = 0;
    host.abortAfterPolls = 5 * 20;  // 5 rows per evaluation: stop within the run
    Call("SIMPLEX", "1");
    EXPECT_EQ(FIT_ERR_STOPPED, Err());
    host.abortAfterPolls = -1;
    Call("ITERATE", "0");
    EXPECT_LE(Get("SSR"), startSsr);
    EXPECT_LT(Get("SSR"), 20);
}

TEST_F(SimplexTest, SettingSubCodes)
{
    Get("NPARA");
    double v = 0;
    EXPECT_EQ(0, ScxFit(window, 0x30, 1, &v, TestHost::Callback));
    EXPECT_EQ(0, ScxFit(window, 0x30 | QFIT_CODE_GET, 1, &v, TestHost::Callback));
    EXPECT_EQ(1, v) << "a data step below 1 becomes 1";
    v = 0.125;
    EXPECT_EQ(0, ScxFit(window, 0x30, 9, &v, TestHost::Callback));
    EXPECT_EQ(0.125, Get("TOLERANCE"));
    EXPECT_EQ(1, ScxFit(window, 0x30, 12, &v, TestHost::Callback));
}
