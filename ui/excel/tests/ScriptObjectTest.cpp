// Scripts run macros of a workbook window through the "excel" object.
#include "XlFixture.h"

#include "QKScript.h"
#include "XlScriptObject.h"
#include "qxtest/ReferenceExample.h"

namespace {

class XlScript : public XlFixture {
protected:
    bool Run(const std::string& text) { return qkfxGetScript().Execute(text); }
    double Var(const char* name)
    {
        double v = MISSING_VALUE;
        EXPECT_TRUE(qkfxGetScript().GetVariable(name, &v)) << name;
        return v;
    }
};

TEST_F(XlScript, RunPassesTheMacroNameAndAtMostFiveArguments)
{
    qkfxGetScript().Reset();
    ASSERT_TRUE(Run("excel.WNDNAME$ = " + doc->GetPage()->GetName()));
    ASSERT_TRUE(Run("n = excel.RUN(ArgCount, 1, 2, 3, 4, 5, 6, 7)"));
    EXPECT_EQ(5, Var("n"));
    ASSERT_TRUE(Run("a = 2.5; s = excel.RUN(Sum, $(a), 4)"));
    EXPECT_EQ(6.5, Var("s"));
    // A boolean true is -1.
    ASSERT_TRUE(Run("t = excel.RUN(IsTrue)"));
    EXPECT_EQ(-1, Var("t"));
    EXPECT_FALSE(Run("excel.RUN(NoSuchMacro)"));
    EXPECT_FALSE(Run("excel.RUN()"));
}

TEST_F(XlScript, RunRangeRunsTheMacroOfACellWithUpToSixArguments)
{
    qkfxGetScript().Reset();
    UserSets("Sheet1", "B2", COleVariant("=ArgCount()"));
    ASSERT_TRUE(Run("excel.WNDNAME$ = " + doc->GetPage()->GetName()));
    ASSERT_TRUE(Run("n = excel.RUNRANGE(Sheet1, B2, 1, 2, 3, 4, 5, 6)"));
    EXPECT_EQ(6, Var("n"));
    EXPECT_FALSE(Run("excel.RUNRANGE(Sheet9, B2)"));
    EXPECT_FALSE(Run("excel.RUNRANGE(Sheet1)"));
}

TEST_F(XlScript, AWindowNameThatIsNoWorkbookFallsBackToTheActiveOneAndFailsWithoutIt)
{
    qkfxGetScript().Reset();
    ASSERT_TRUE(Run("excel.WNDNAME$ = Nowhere"));
    EXPECT_FALSE(Run("excel.RUN(ArgCount)"));
}

TEST_F(XlScript, TheReferenceExampleRunsAsItsPageShows)
{
    qkfxGetScript().Reset();
    EXPECT_EQ("", qxtest::CheckReferenceExample(QX_REFERENCE_DIR, "excel", "excel.md"));
}

TEST(XlReturnValue, NumbersAndBooleansConvertOtherValuesDoNot)
{
    double d = 7;
    COleVariant yes((short)VARIANT_TRUE, VT_BOOL), no((short)VARIANT_FALSE, VT_BOOL), num(2.5), text("x");
    EXPECT_TRUE(VARIANTToReturnValue(yes, d));
    EXPECT_EQ(-1.0, d);
    EXPECT_TRUE(VARIANTToReturnValue(no, d));
    EXPECT_EQ(0.0, d);
    EXPECT_TRUE(VARIANTToReturnValue(num, d));
    EXPECT_EQ(2.5, d);
    EXPECT_FALSE(VARIANTToReturnValue(text, d));
    EXPECT_EQ(0.0, d);
}

} // namespace
