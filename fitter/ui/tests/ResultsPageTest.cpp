// The results page on a fitted line: bands at the typed levels for the selected dependent
// variables (begun as a fit when none is), levels outside (0, 1) ignored, the parameter worksheet script and the levels
// kept when the page is left.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "FitTestKit.h"
#include "FitterResources.h"
#include "FitterWindow.h"
#include "WindowTestKit.h"
#include "qxtest/DialogDriver.h"

namespace {

class ResultsPageTest : public FitTest {
protected:
    void SetUp() override
    {
        FitTest::SetUp();
        FitterInstance = GetModuleHandleA(nullptr);
        ASSERT_TRUE(RegisterFitterClass(FitterInstance));
        UseLine(1, 2);
        s = Session();
        s->confidence = 0.95;
        OpenAtPage(window, s, PAGE_ID_RESULTS);
        page = s->pageWindow;
    }
    void TearDown() override
    {
        FinishFit(s, 0);
        CloseFitterWindow(s);
        FitTest::TearDown();
    }
    bool Ran(const std::string& script) const
    {
        return std::find(host.scripts.begin(), host.scripts.end(), script) != host.scripts.end();
    }
    FittingSession* s = nullptr;
    HWND page = nullptr;
};

TEST_F(ResultsPageTest, BandsAtTypedLevels)
{
    ASSERT_TRUE(page != nullptr);
    EXPECT_EQ(PAGE_ID_RESULTS, s->pageId);
    EXPECT_EQ(1, SendDlgItemMessageA(page, IDC_DEPENDENT_LIST, LB_GETSEL, 0, 0)) << "all selected";
    EXPECT_EQ("0.95", qxtest::GetText(page, IDC_RESULTS_CONF_LEVEL));
    EXPECT_EQ("Parameters", qxtest::GetText(page, IDC_RESULTS_PARAM_NAME));
    EXPECT_EQ("VarCov", qxtest::GetText(page, IDC_RESULTS_MATRIX_NAME));

    // Levels that are not strictly between 0 and 1 make nothing. (The test host makes no
    // datasets: the requests for them show that curves were attempted.)
    for (const char* level : {"1.5", "0", "1", "x"}) {
        qxtest::SetText(page, IDC_RESULTS_CONF_LEVEL, level);
        qxtest::Click(page, IDC_RESULTS_CONF_BAND);
        EXPECT_EQ(0, host.Count(HOST_REQ_3009)) << level;
        EXPECT_EQ(0, s->fitActive) << level;
        EXPECT_EQ(0.95, s->confidence) << level;
    }

    // A prediction band borrows its level; the confidence level stays.
    qxtest::SetText(page, IDC_RESULTS_PRED_LEVEL, "0.9");
    qxtest::Click(page, IDC_RESULTS_PRED_BAND);
    EXPECT_LT(0, host.Count(HOST_REQ_3009));
    EXPECT_EQ(0.95, s->confidence);

    const int before = host.Count(HOST_REQ_3009);
    qxtest::SetText(page, IDC_RESULTS_CONF_LEVEL, "0.9");
    qxtest::Click(page, IDC_RESULTS_CONF_BAND);
    EXPECT_LT(before, host.Count(HOST_REQ_3009));
    EXPECT_EQ(0.9, s->confidence);
}

TEST_F(ResultsPageTest, ParameterWorksheetReportAndLevelsOnLeaving)
{
    ASSERT_TRUE(page != nullptr);
    qxtest::Click(page, IDC_RESULTS_PARAM_SHEET);
    EXPECT_TRUE(Ran("run.section(fit.qgs,ParaConf,Parameters)"));
    qxtest::SetText(page, IDC_RESULTS_PARAM_NAME, "");
    qxtest::SetText(page, IDC_RESULTS_PARAM_NAME, "Mine");
    qxtest::Click(page, IDC_RESULTS_PARAM_SHEET);
    EXPECT_TRUE(Ran("run.section(fit.qgs,ParaConf,Mine)"));

    qxtest::Click(page, IDC_RESULTS_PASTE_LOG);
    EXPECT_EQ("The fit report is not available in this version.", qxtest::GetText(s->fitterWindow, IDC_STATUS_LINE));

    // Leaving keeps a level inside (0, 1) and ignores one outside.
    for (const auto& c : {std::make_pair("0.8", 0.8), std::make_pair("2", 0.8)}) {
        OpenAtPage(window, s, PAGE_ID_RESULTS);
        qxtest::SetText(s->pageWindow, IDC_RESULTS_CONF_LEVEL, c.first);
        PostMessageA(s->fitterWindow, WM_COMMAND, PAGE_ID_SELECT, 0);
        Pump();
        EXPECT_EQ(PAGE_ID_SELECT, s->pageId) << c.first;
        EXPECT_EQ(c.second, s->confidence) << c.first;
    }
}

}  // namespace
