// The constraints page: bounds with their switches and relations, and the general linear
// constraints, written into the definition when the page is left.
#include <gtest/gtest.h>

#include <string>

#include "FitTestKit.h"
#include "FitterResources.h"
#include "FitterWindow.h"
#include "qxtest/DialogDriver.h"

namespace {

void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

}  // namespace

TEST_F(FitTest, ConstraintsPageWritesBoundsAndConstraints)
{
    FitterInstance = GetModuleHandleA(nullptr);
    ASSERT_TRUE(RegisterFitterClass(FitterInstance));
    UseLine(1, 2);
    FittingSession* s = Session();
    s->basicFitter = KW_NO;
    s->pageId = PAGE_ID_CONSTRAINTS;
    OpenFitterWindow(window, s);
    Pump();
    HWND page = s->pageWindow;
    ASSERT_TRUE(page != nullptr);
    EXPECT_EQ("NonLinear Curve Fitting:  Parameter Constraints", qxtest::WindowText(s->fitterWindow));
    EXPECT_FALSE(qxtest::IsEnabled(page, IDC_PARAM_LOWER + 1)) << "bound off";

    // Switching a bound on enables its edit and relation; the relation button flips.
    qxtest::SetCheck(page, IDC_PARAM_LOWER_ON + 1, true);
    EXPECT_TRUE(qxtest::IsEnabled(page, IDC_PARAM_LOWER + 1));
    qxtest::Click(page, IDC_PARAM_LOWER_RELATION + 1);
    EXPECT_EQ("<", qxtest::GetText(page, IDC_PARAM_LOWER_RELATION + 1));
    qxtest::SetText(page, IDC_PARAM_LOWER + 1, "0.5");
    qxtest::SetText(page, IDC_CONSTRAINTS_TEXT, "a + b <= 10");
    qxtest::SetCheck(page, IDC_CONSTRAINTS_ENABLED, true);

    // A bound with a comma keeps the user on the page with what was typed.
    qxtest::SetText(page, IDC_PARAM_UPPER + 2, "max(1,2)");
    PostMessageA(s->fitterWindow, WM_COMMAND, PAGE_ID_SELECT, 0);
    Pump();
    EXPECT_EQ(PAGE_ID_CONSTRAINTS, s->pageId);
    EXPECT_EQ(page, s->pageWindow);
    EXPECT_EQ("max(1,2)", qxtest::GetText(page, IDC_PARAM_UPPER + 2));
    EXPECT_NE(std::string::npos, qxtest::GetText(s->fitterWindow, IDC_STATUS_LINE).find("comma"));

    qxtest::SetText(page, IDC_PARAM_UPPER + 2, "7");
    PostMessageA(s->fitterWindow, WM_COMMAND, PAGE_ID_SELECT, 0);
    Pump();
    EXPECT_EQ(PAGE_ID_SELECT, s->pageId);
    EXPECT_EQ(0.5, s->lowerBound[1]);
    EXPECT_EQ(PARAM_LB_ON | PARAM_LB_EXCLUSIVE, s->flags[1] & (PARAM_LB_ON | PARAM_LB_EXCLUSIVE));
    EXPECT_EQ(7, s->upperBound[2]);
    EXPECT_EQ(0, s->flags[2] & PARAM_UB_ON) << "typed, but the bound stays off";
    EXPECT_EQ(0.5, s->lowerBound[1]);
    EXPECT_EQ(0, strncmp(s->current->lowerBounds, "0.5(X, On),", 11)) << s->current->lowerBounds;
    EXPECT_STREQ("a + b <= 10", s->current->constraints);
    EXPECT_EQ(KW_ON, s->current->constraintsSwitch);
    EXPECT_EQ(0, s->constraintState) << "parsed again before the next iteration";
    CloseFitterWindow(s);
}
