// The fitting session page fitting the test library's line: the actions and their log, the
// history of parameter sets, the log kept across a visit to another page, and Done.
#include <gtest/gtest.h>

#include <string>

#include "FitTestKit.h"
#include "FitterResources.h"
#include "FitterWindow.h"
#include "WindowTestKit.h"
#include "qxtest/DialogDriver.h"

namespace {

size_t CountOf(const std::string& text, const std::string& part)
{
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

class SessionPageTest : public FitTest {
protected:
    void SetUp() override
    {
        FitTest::SetUp();
        FitterInstance = GetModuleHandleA(nullptr);
        ASSERT_TRUE(RegisterFitterClass(FitterInstance));
        UseLine(0, 0);
        s = Session();
        OpenAtPage(window, s, PAGE_ID_SESSION);
    }
    void TearDown() override
    {
        FinishFit(s, 0);  // closing asks about a fit still under way
        CloseFitterWindow(s);
        FitTest::TearDown();
    }
    void Press(int id)
    {
        qxtest::Click(s->pageWindow, id);
        Pump();
    }
    std::string Log() { return qxtest::GetText(s->pageWindow, IDC_SESSION_LOG); }

    FittingSession* s = nullptr;
};

}  // namespace

// The line through the test data is a = 1, b = 2 with SSR 10 on 3 degrees of freedom.
TEST_F(SessionPageTest, ActionsWriteTheLogAndTheHistoryGoesBack)
{
    ASSERT_TRUE(s->pageWindow != nullptr);
    EXPECT_TRUE(IsFitActive(s));
    EXPECT_EQ("Press 'Esc' key to stop fitting iterations\r\n", Log());
    EXPECT_EQ("10 Iter.", qxtest::GetText(s->pageWindow, IDC_SESSION_NITER));
    EXPECT_EQ("0", qxtest::GetText(s->pageWindow, IDC_PARAM_VALUE + 1));

    SetDlgItemTextA(s->pageWindow, IDC_PARAM_VALUE + 1, "1");
    SetDlgItemTextA(s->pageWindow, IDC_PARAM_VALUE + 2, "2");
    Press(IDC_SESSION_CHISQR);
    EXPECT_EQ(1, s->value[1]) << "edited values are taken before the action";
    EXPECT_NEAR(10.0 / 3.0, s->chiSqr, 1e-12);
    EXPECT_NE(std::string::npos,
              Log().find("(1)--------------------------------Chi-Square--------------------------------\r\n"
                         "Reduced Chi-sqr = 3.333"));

    SetDlgItemTextA(s->pageWindow, IDC_PARAM_VALUE + 1, "0.5");
    Press(IDC_SESSION_NITER);
    EXPECT_NEAR(1, s->value[1], 1e-6);
    EXPECT_NEAR(2, s->value[2], 1e-6);
    const std::string log = Log();
    EXPECT_NE(std::string::npos, log.find("(2)------------------------Levenberg-Marquardt------------------------\r\n"));
    EXPECT_NE(std::string::npos, log.find("Successfully progressed"));
    EXPECT_NE(std::string::npos, log.find("rounds in this session"));
    EXPECT_NE("0.5", qxtest::GetText(s->pageWindow, IDC_PARAM_VALUE + 1)) << "the rows show the fitted values";

    // Back to the values the iterations started from, forward to the fitted ones.
    EXPECT_TRUE(qxtest::IsEnabled(s->pageWindow, IDC_HISTORY_BACK));
    Press(IDC_HISTORY_BACK);
    EXPECT_EQ(0.5, s->value[1]);
    EXPECT_EQ("0.5", qxtest::GetText(s->pageWindow, IDC_PARAM_VALUE + 1));
    Press(IDC_HISTORY_FORWARD);
    EXPECT_NEAR(1, s->value[1], 1e-6);
    EXPECT_FALSE(qxtest::IsEnabled(s->pageWindow, IDC_HISTORY_FORWARD));
}

// A script that changes a parameter behind the page has the page show it again.
TEST_F(SessionPageTest, ScriptRefreshesTheRows)
{
    ASSERT_TRUE(s->pageWindow != nullptr);
    EXPECT_EQ("0", qxtest::GetText(s->pageWindow, IDC_PARAM_VALUE + 1));
    Set("P1", 0.75);
    EXPECT_EQ("0", qxtest::GetText(s->pageWindow, IDC_PARAM_VALUE + 1)) << "not before it is asked";
    Call("UPDATEDIALOG");
    EXPECT_EQ("0.75", qxtest::GetText(s->pageWindow, IDC_PARAM_VALUE + 1));
}

// A long log keeps its tail; the log outlives a visit to another page while the fit goes
// on; Done ends the fit and closes the window.
TEST_F(SessionPageTest, LogIsTrimmedKeptAndDoneEndsTheFit)
{
    for (int i = 0; i < 60; ++i)
        Press(IDC_SESSION_CHISQR);
    const std::string log = Log();
    EXPECT_LT(log.size(), 3584u + 200u);
    EXPECT_EQ(std::string::npos, log.find("Press 'Esc'")) << "the oldest lines went";
    EXPECT_TRUE(log[0] == '(' || log.compare(0, 8, "Reduced ") == 0) << "only whole lines are cut: " << log.substr(0, 20);
    EXPECT_NE(std::string::npos, log.find("(60)"));
    EXPECT_EQ(0u, CountOf(log, "Error"));

    PostMessageA(s->fitterWindow, WM_COMMAND, PAGE_ID_SELECT, 0);
    Pump();
    EXPECT_EQ(PAGE_ID_SELECT, s->pageId);
    PostMessageA(s->fitterWindow, WM_COMMAND, PAGE_ID_SESSION, 0);
    Pump();
    ASSERT_EQ(PAGE_ID_SESSION, s->pageId);
    EXPECT_EQ(log, Log());

    Press(IDC_SESSION_DONE);
    EXPECT_FALSE(IsFitActive(s));
    EXPECT_EQ(nullptr, s->fitterWindow);
    EXPECT_EQ(nullptr, s->savedLog);
}

// Without valid datasets an action tells the user and writes nothing into the log.
TEST_F(SessionPageTest, MissingDatasetsStopTheAction)
{
    host.Dataset(s->dep[1].dataset).valid = false;
    const std::string before = Log();
    std::string text;
    qxtest::DialogDriver driver;
    driver.Then([&](HWND dialog) {
        text = qxtest::GetText(dialog, IDC_MESSAGE_TEXT);
        qxtest::Click(dialog, IDC_MESSAGE_BUTTON1);
    });
    driver.Run([&] {
        qxtest::Click(s->pageWindow, IDC_SESSION_NITER);
        return static_cast<INT_PTR>(0);
    });
    EXPECT_FALSE(driver.TimedOut());
    EXPECT_NE(std::string::npos, text.find("datasets"));
    EXPECT_EQ(before, Log());
}
