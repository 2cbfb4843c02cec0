// The results page on a fitted line: bands at the typed levels for the selected dependent
// variables (begun as a fit when none is), levels outside (0, 1) ignored, the parameter worksheet script and the levels
// kept when the page is left.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

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
    // datasets: the requests for their columns show that bands were attempted.)
    for (const char* level : {"1.5", "0", "1", "x"}) {
        qxtest::SetText(page, IDC_RESULTS_CONF_LEVEL, level);
        qxtest::Click(page, IDC_RESULTS_CONF_BAND);
        EXPECT_EQ(0, host.Count(HOST_ADD_COLUMN)) << level;
        EXPECT_EQ(0, s->fitActive) << level;
        EXPECT_EQ(0.95, s->confidence) << level;
    }

    // A prediction band borrows its level; the confidence level stays.
    qxtest::SetText(page, IDC_RESULTS_PRED_LEVEL, "0.9");
    qxtest::Click(page, IDC_RESULTS_PRED_BAND);
    EXPECT_LT(0, host.Count(HOST_ADD_COLUMN));
    EXPECT_EQ(0.95, s->confidence);

    const int before = host.Count(HOST_ADD_COLUMN);
    qxtest::SetText(page, IDC_RESULTS_CONF_LEVEL, "0.9");
    qxtest::Click(page, IDC_RESULTS_CONF_BAND);
    EXPECT_LT(before, host.Count(HOST_ADD_COLUMN));
    EXPECT_EQ(0.9, s->confidence);
}

TEST_F(ResultsPageTest, ParameterWorksheetAndLevelsOnLeaving)
{
    ASSERT_TRUE(page != nullptr);
    qxtest::Click(page, IDC_RESULTS_PARAM_SHEET);
    EXPECT_TRUE(Ran("run.section(fit.qgs,ParaConf,Parameters)"));
    qxtest::SetText(page, IDC_RESULTS_PARAM_NAME, "");
    qxtest::SetText(page, IDC_RESULTS_PARAM_NAME, "Mine");
    qxtest::Click(page, IDC_RESULTS_PARAM_SHEET);
    EXPECT_TRUE(Ran("run.section(fit.qgs,ParaConf,Mine)"));


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

// The report to the results log and onto the fit graph, and the output redirection
// restored after either.
TEST_F(ResultsPageTest, FitReport)
{
    ASSERT_TRUE(page != nullptr);
    s->chiSqr = 2.5;
    s->cod = 0.75;
    s->error[1] = 0.5;
    s->error[2] = 0.25;
    host.variables["OLDREDIR"] = 2;
    qxtest::Click(page, IDC_RESULTS_PASTE_LOG);
    const std::string rule = "(" + std::string(40, '-') + ")";
    EXPECT_EQ((std::vector<std::string>{"Data: ydata", "Model: Line ", "  ", "Chi^2/DoF\tR^2\t", rule, "2.5\t0.75\t",
                                        rule, "  ", "  ", "Parameter\tValue\tError", rule, "a\t1\t0.5", "b\t2\t0.25",
                                        rule}),
              host.reportLines);
    EXPECT_TRUE(Ran("Type.BeginResults();"));
    EXPECT_TRUE(Ran("Type.EndResults();"));
    EXPECT_EQ("type.redirection = 2", host.scripts.back());
    EXPECT_EQ("", host.plotLabel);

    // The label goes onto the graph the fit was begun in, and nowhere without one.
    host.scripts.clear();
    qxtest::Click(page, IDC_RESULTS_PASTE_PLOT);
    EXPECT_EQ("", host.plotLabel) << "no fit graph";
    EXPECT_EQ("type.redirection = 2", host.scripts.back());
    snprintf(s->fitGraphName, sizeof s->fitGraphName, "Graph1");
    host.variables["INTTEMP"] = 3;  // what exist() gives for a graph
    qxtest::Click(page, IDC_RESULTS_PASTE_PLOT);
    EXPECT_EQ("-Q 2 -B 1 -FS 14 -N FIT.P Data: ydata\r\nModel: Line \r\n  \r\nChi^2/DoF\t= 2.5\r\n"
              "R^2\t=  0.75\r\n  \r\na\t1\t\2610.5\r\nb\t2\t\2610.25\r\n",
              host.plotLabel);
}

}  // namespace
