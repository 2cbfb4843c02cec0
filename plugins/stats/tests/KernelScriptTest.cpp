// Stat as scripts reach it: the kernel's interpreter runs the script text, loads
// qxstats.dll and answers its host requests from worksheet columns. This is the one
// place where the plug-in meets the real host's records (pairs, ranges, writes).
// Reference: the line through (1, 2.2) .. (5, 9.6) has B = Sxy / Sxx = 19.3 / 10 and
// A = 6 - 3 B (by hand).
#include "QKAccess.h"
#include "QKData.h"
#include "QKScript.h"

#include "qxdefs.h"
#include "qxtest/Numeric.h"

#include <gtest/gtest.h>

namespace {

double Eval(const char* expression)
{
    double v = -999;
    EXPECT_TRUE(qkfxGetScript().Evaluate(expression, &v)) << expression << ": "
                                                           << qkfxGetScript().GetLastError();
    return v;
}

void RunScript(const char* text)
{
    EXPECT_TRUE(qkfxGetScript().Execute(text)) << text << ": " << qkfxGetScript().GetLastError();
}

} // namespace

TEST(StatScript, FitsAndDescribesWorksheetColumns)
{
    ASSERT_TRUE(qkfxGetAccess()->Init(nullptr, ""));
    auto* wks = static_cast<CQKWksPage*>(qkfxGetProject().CreatePage(QK_PAGE_WKS, "Data1"));
    ASSERT_NE(wks, nullptr);
    const double x[] = {1, 2, 3, 4, 5}, y[] = {2.2, 3.8, 6.1, 8.3, 9.6};
    for (int i = 0; i < 5; ++i) {
        wks->GetColumn(1)->SetValue(i, x[i]);
        wks->GetColumn(2)->SetValue(i, y[i]);
    }
    CQKDataset* fx = wks->AddColumn("FX");
    fx->SetValue(0, 0);
    fx->SetValue(1, 10);
    wks->AddColumn("FY");
    wks->AddColumn("RES");

    RunScript("Stat.RESET(); Stat.DATA$ = Data1_B; Stat.FITXDATA$ = Data1_FX;"
        "Stat.FITYDATA$ = Data1_FY; Stat.RESDATA$ = Data1_RES; Stat.LR()");
    QX_EXPECT_CLOSE("B", 1.93, Eval("Stat.LR.B"), 1e-14);
    QX_EXPECT_CLOSE("A", 6 - 3 * 1.93, Eval("Stat.LR.A"), 1e-13);
    EXPECT_EQ(Eval("Stat.NPTS"), 5);
    QX_EXPECT_CLOSE("curve", 6 - 3 * 1.93 + 10 * 1.93, Eval("Data1_FY[2]"), 1e-13);
    QX_EXPECT_CLOSE("residual", 2.2 - (6 - 2 * 1.93), Eval("Data1_RES[1]"), 1e-12);

    RunScript("Stat.WORKSHEET$ = Data1; Stat.MR.YDATA$ = B; Stat.MR.XDATA1$ = A; Stat.MR()");
    QX_EXPECT_CLOSE("MR B1", 1.93, Eval("Stat.MR.B1"), 1e-13);
    EXPECT_EQ(Eval("Stat.MR.NUMX"), 1);

    RunScript("Stat.PR.ORDER = 1; Stat.PR()");
    QX_EXPECT_CLOSE("PR B1", 1.93, Eval("Stat.PR.B1"), 1e-13);

    RunScript("Stat.DS.DATA$ = Data1_B; Stat.DS.MORE = 1; Stat.DS()");
    EXPECT_EQ(Eval("Stat.DS.MEDIAN"), 6.1);
    EXPECT_EQ(Eval("Stat.DS.SIZE"), 5);
    qkfxGetAccess()->Uninit();
}

// A line through fewer points than it needs fails the script with the reason, instead of
// leaving the line of the fit before in place.
TEST(StatScript, LineThroughTooFewPointsFailsTheScript)
{
    ASSERT_TRUE(qkfxGetAccess()->Init(nullptr, ""));
    auto* wks = static_cast<CQKWksPage*>(qkfxGetProject().CreatePage(QK_PAGE_WKS, "Data1"));
    ASSERT_NE(wks, nullptr);
    wks->GetColumn(1)->SetValue(0, 1);
    wks->GetColumn(2)->SetValue(0, 2);
    RunScript("Stat.RESET(); Stat.DATA$ = Data1_B");
    EXPECT_FALSE(qkfxGetScript().Execute("Stat.LR(); type not reached"));
    EXPECT_NE(qkfxGetScript().GetLastError().find("\"Stat.LR()\" failed: a line needs at least 2 points; Data1_B gives 1"),
              std::string::npos)
        << qkfxGetScript().GetLastError();
    RunScript("Stat.LR(z)");
    EXPECT_EQ(Eval("Stat.LR.B"), 2);
    qkfxGetAccess()->Uninit();
}
