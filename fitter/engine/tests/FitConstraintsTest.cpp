// The constraint language, bounds and constrained fits. Constrained references are closed
// forms: with a + b = 4 the line's b = sum((y-4)(x-1)) / sum((x-1)^2) = 5/3, a = 7/3.
#include <gtest/gtest.h>

#include <math.h>

#include <vector>

#include "FitTestKit.h"
#include "qxtest/Numeric.h"

namespace {

class ConstraintTest : public FitTest {
protected:
    void Quad()
    {
        UseFunction("Quad", "a b c");
        Set("P1", 1);
        Set("P2", 1);
        Set("P3", 1);
    }
    double Element(const char* indexes) { return Call("CMATRIX", indexes); }
};

}  // namespace

TEST_F(ConstraintTest, ParsingCountsAndErrors)
{
    Quad();
    host.variables["Q"] = -2;
    const struct {
        const char* text;
        int count;
        int err;
    } cases[] = {
        {"a + b = 1; c >= 0", 2, 0},
        {"0 < a < 10", 2, 0},
        {"2*a - b/4 <= c", 1, 0},
        {"a < 1 ;; \n\n b > 2e-1", 2, 0},
        {"a*b < 1", 0, FIT_ERR_CONSTRAINT_SYNTAX},
        {"a/b < 1", 0, FIT_ERR_CONSTRAINT_SYNTAX},
        {"a/0 < 1", 0, FIT_ERR_CONSTRAINT_SYNTAX},
        {"a/q < 1", 0, FIT_ERR_CONSTRAINT_SYNTAX},
        {"a* -2 < 1", 0, FIT_ERR_CONSTRAINT_SYNTAX},
        {"a < 1 \xE9", 0, FIT_ERR_CONSTRAINT_SYNTAX},
        {"a < 1 b", 0, FIT_ERR_CONSTRAINT_SYNTAX},
        {"a < aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", 0, FIT_ERR_CONSTRAINT_SYNTAX},
        {"a < r", 0, FIT_ERR_CONSTRAINT_NAME},
    };
    for (const auto& c : cases) {
        SetText("CONSTR", c.text);
        EXPECT_EQ(c.count, Get("NCONSTR")) << c.text;
        EXPECT_EQ(c.err, Err()) << c.text;
    }
    ASSERT_FALSE(host.errors.empty());
    EXPECT_EQ(FIT_ERR_CONSTRAINT_NAME, host.errors.back().first);
    EXPECT_EQ("r", host.errors.back().second);
    EXPECT_EQ("a < r", GetText("CONSTR")) << "reading the constraints leaves them as they are";
}

// Every constraint reads row . p (relation) constant; CMATRIX shows the effective rows with
// the relation in column NPARAVARY + 1 ('<=' 2, '=' 0, '<' 1) and the constant after it.
TEST_F(ConstraintTest, NormalisedRows)
{
    Quad();
    SetText("CONSTR", "2*a - b/4 <= c; c >= 1; a + 3 = b/2 + 1");
    EXPECT_EQ(3, Get("NCONSTREFF"));
    const struct {
        const char* at;
        double value;
    } cases[] = {
        {"1,1", 2},  {"1,2", -0.25}, {"1,3", -1}, {"1,4", 2}, {"1,5", 0},
        {"2,1", 0},  {"2,3", -1},    {"2,4", 2},  {"2,5", -1},
        {"3,1", 1},  {"3,2", -0.5},  {"3,4", 0},  {"3,5", -2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.value, Element(c.at)) << c.at;
    for (const char* outside : {"0,1", "-1,1", "1,0", "4,1", "1,6", "x,1"})
        EXPECT_EQ(MISSING_VALUE, Element(outside)) << outside;
}

TEST_F(ConstraintTest, ConstraintsOnFixedParametersAreNotEffective)
{
    Quad();
    Set("V3", 0);
    SetText("CONSTR", "c >= 0");
    EXPECT_EQ(0, Get("NCONSTREFF"));
    EXPECT_EQ(FIT_ERR_CONSTRAINTS_INEFFECTIVE, Err());
}

TEST_F(ConstraintTest, CheckAgainstCurrentValues)
{
    UseLine(3, 2);
    SetText("CONSTR", "a + b = 4");
    Call("CHKCONSTR");
    EXPECT_EQ(FIT_ERR_CONSTRAINT_VIOLATED, Err());
    Set("P1", 2);
    Call("CHKCONSTR");
    EXPECT_EQ(0, Err());
}

TEST_F(ConstraintTest, EqualityConstrainedLine)
{
    UseLine(0, 1);
    SetText("CONSTR", "a + b = 4");
    Set("TOLERANCE", 0);
    Call("ITERATE", "100");
    EXPECT_TRUE(qxtest::Close("a", 7.0 / 3, Get("P1"), 1e-7));
    EXPECT_TRUE(qxtest::Close("b", 5.0 / 3, Get("P2"), 1e-7));
    EXPECT_NEAR(4.0, Get("P1") + Get("P2"), 1e-8);
}

// b <= 1.5 is active at the solution: b = 1.5 and a = mean(y - 1.5 x) = 2.
TEST_F(ConstraintTest, InequalityConstrainedLine)
{
    UseLine(0, 1);
    SetText("CONSTR", "b <= 1.5");
    Set("TOLERANCE", 0);
    Call("ITERATE", "100");
    EXPECT_TRUE(qxtest::Close("a", 2.0, Get("P1"), 1e-7));
    EXPECT_LE(Get("P2"), 1.5 + 1e-12);
    EXPECT_NEAR(1.5, Get("P2"), 1e-7);
}

TEST_F(ConstraintTest, UpperBoundHoldsTheSlope)
{
    UseLine(0, 1);
    Set("UB2", 1.5);
    Set("TOLERANCE", 0);
    Call("ITERATE", "100");
    EXPECT_EQ(1.5, Get("P2"));
    EXPECT_TRUE(qxtest::Close("a", 2.0, Get("P1"), 1e-7));
}

// An exclusive lower bound at 0: a trial value of -5 from 1 goes to 1% of the way back,
// 0.01; a start value already below the bound is brought just inside it.
TEST_F(ConstraintTest, ExclusiveBounds)
{
    UseLine(1, 2);
    FittingSession* s = Session();
    Set("LB1", 0);
    Set("LBX1", 1);
    double trial[3] = {0, -5, 2}, old[3] = {0, 1, 2};
    ApplyBounds(s, trial, old);
    EXPECT_DOUBLE_EQ(0.01, trial[1]);
    double start[3] = {0, -3, 2};
    ApplyBounds(s, start, start);
    EXPECT_GT(start[1], 0);
    Set("UB1", 1);
    double both[3] = {0, -3, 2};
    ApplyBounds(s, both, both);
    EXPECT_GT(both[1], 0);
    EXPECT_LT(both[1], 1);
}
