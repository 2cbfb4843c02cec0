// The option pages: the constraints page with its bounds and general linear constraints,
// the after-fit page with its options and script, the initialization page with its
// initial values, constants and script, the control page with the iterations and the
// weighting, and the replicas page with the replica count and peak options, written into
// the session or the definition when the page is left.
#include <gtest/gtest.h>

#include <stdio.h>

#include <string>

#include "FitTestKit.h"
#include "FitterResources.h"
#include "FitterWindow.h"
#include "WindowTestKit.h"
#include "qxtest/DialogDriver.h"

TEST_F(FitTest, ConstraintsPageWritesBoundsAndConstraints)
{
    FitterInstance = GetModuleHandleA(nullptr);
    ASSERT_TRUE(RegisterFitterClass(FitterInstance));
    UseLine(1, 2);
    FittingSession* s = Session();
    OpenAtPage(window, s, PAGE_ID_CONSTRAINTS);
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

TEST_F(FitTest, AfterFitPageWritesOptionsAndScript)
{
    FitterInstance = GetModuleHandleA(nullptr);
    ASSERT_TRUE(RegisterFitterClass(FitterInstance));
    UseLine(1, 2);
    FittingSession* s = Session();
    s->current->options[OPT_CURVES] = KW_YES;
    s->current->options[OPT_SPACING] = static_cast<int16_t>(OPTION_INHERITED | KW_SPACING_UNIFORM);
    s->current->modified = 0;
    OpenAtPage(window, s, PAGE_ID_AFTERFIT);
    HWND page = s->pageWindow;
    ASSERT_TRUE(page != nullptr);
    EXPECT_TRUE(qxtest::IsChecked(page, IDC_AFTER_CURVE));
    EXPECT_TRUE(qxtest::IsChecked(page, IDC_AFTER_UNIFORM));

    // Visiting changes nothing.
    PostMessageA(s->fitterWindow, WM_COMMAND, PAGE_ID_SELECT, 0);
    Pump();
    EXPECT_EQ(0, s->current->modified);
    EXPECT_EQ(static_cast<int16_t>(OPTION_INHERITED | KW_SPACING_UNIFORM), s->current->options[OPT_SPACING]);

    PostMessageA(s->fitterWindow, WM_COMMAND, PAGE_ID_AFTERFIT, 0);
    Pump();
    page = s->pageWindow;
    qxtest::SetCheck(page, IDC_AFTER_CURVE, false);
    qxtest::SetCheck(page, IDC_AFTER_LOG, true);
    qxtest::Click(page, IDC_AFTER_SAME_X);
    qxtest::SetCheck(page, IDC_AFTER_ENABLED, true);
    qxtest::SetText(page, IDC_AFTER_SCRIPT, "type done;");
    PostMessageA(s->fitterWindow, WM_COMMAND, PAGE_ID_SELECT, 0);
    Pump();
    EXPECT_EQ(KW_NO, OptionValue(s->current, OPT_CURVES));
    EXPECT_EQ(KW_YES, OptionValue(s->current, OPT_PASTE_TO_NOTES));
    EXPECT_EQ(static_cast<int16_t>(OPTION_INHERITED | KW_SPACING_SAME_X), s->current->options[OPT_SPACING]) << "the top bit is kept";
    EXPECT_EQ(KW_ON, s->current->afterSwitch);
    EXPECT_STREQ("type done;", s->current->afterScript);
    EXPECT_NE(0, s->current->modified & FDF_CHANGED);
    CloseFitterWindow(s);
}

TEST_F(FitTest, InitPageWritesInitialValuesConstantsAndScript)
{
    FitterInstance = GetModuleHandleA(nullptr);
    ASSERT_TRUE(RegisterFitterClass(FitterInstance));
    UseLine(1, 2);
    FittingSession* s = Session();
    snprintf(s->current->initialValues, sizeof s->current->initialValues, "%s", "1(V),2(F)");
    snprintf(s->current->constants, sizeof s->current->constants, "%s", "k=2");
    OpenAtPage(window, s, PAGE_ID_INIT);
    HWND page = s->pageWindow;
    ASSERT_TRUE(page != nullptr);
    EXPECT_EQ("2", qxtest::GetText(page, IDC_PARAM_VALUE + 2));
    EXPECT_FALSE(qxtest::IsChecked(page, IDC_PARAM_VARY + 2));
    EXPECT_EQ("k=2", qxtest::GetText(page, IDC_INIT_CONSTANTS));

    qxtest::SetText(page, IDC_PARAM_VALUE + 2, "5");
    qxtest::SetText(page, IDC_INIT_SCRIPT, "x = 1;");
    qxtest::SetCheck(page, IDC_INIT_ENABLED, true);
    // A constant without a value keeps the user on the page.
    qxtest::SetText(page, IDC_INIT_CONSTANTS, "k=3\r\nm=nothing");
    PostMessageA(s->fitterWindow, WM_COMMAND, PAGE_ID_SELECT, 0);
    Pump();
    EXPECT_EQ(PAGE_ID_INIT, s->pageId);
    EXPECT_EQ("The constant 'm=nothing' has no numeric value.", qxtest::GetText(s->fitterWindow, IDC_STATUS_LINE));
    EXPECT_STREQ("k=2", s->current->constants);

    qxtest::SetText(page, IDC_INIT_CONSTANTS, "k=3\r\nm=4");
    PostMessageA(s->fitterWindow, WM_COMMAND, PAGE_ID_SELECT, 0);
    Pump();
    EXPECT_EQ(PAGE_ID_SELECT, s->pageId);
    EXPECT_STREQ("1(V),5(F)", s->current->initialValues);
    EXPECT_EQ(5, s->value[2]);
    EXPECT_STREQ("k=3,m=4", s->current->constants);
    EXPECT_STREQ("x = 1;", s->current->initScript);
    EXPECT_EQ(KW_ON, s->current->initSwitch);
    CloseFitterWindow(s);
}

TEST_F(FitTest, ControlPageSetsIterationsToleranceAndWeighting)
{
    FitterInstance = GetModuleHandleA(nullptr);
    ASSERT_TRUE(RegisterFitterClass(FitterInstance));
    UseLine(1, 2);
    const QFitDataset weights = host.AddDataset("Wts", {1, 1, 1, 1, 1});
    FittingSession* s = Session();
    s->iterationCount = 15;  // set by a script: not among the choices
    const double tolerance = s->tolerance;
    OpenAtPage(window, s, PAGE_ID_CONTROL);
    HWND page = s->pageWindow;
    ASSERT_TRUE(page != nullptr);
    EXPECT_EQ("15", qxtest::GetText(page, IDC_CONTROL_ITERATIONS));
    char line[128] = "";
    SendDlgItemMessageA(page, IDC_CONTROL_DEPENDENTS, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(line));
    EXPECT_NE(std::string::npos, std::string(line).find("\tNo weighting")) << line;
    EXPECT_FALSE(qxtest::IsEnabled(page, IDC_CONTROL_DATASETS));

    qxtest::ComboSelect(page, IDC_CONTROL_METHOD, 3);
    EXPECT_TRUE(qxtest::IsEnabled(page, IDC_CONTROL_DATASETS));
    const int index = static_cast<int>(SendDlgItemMessageA(page, IDC_CONTROL_DATASETS, LB_FINDSTRINGEXACT,
                                                           static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("wts")));
    ASSERT_GE(index, 0) << "listed in lower case";
    qxtest::ListSelect(page, IDC_CONTROL_DATASETS, index);
    EXPECT_EQ(3, s->dep[1].weightType);
    EXPECT_EQ(weights, s->dep[1].weightDataset);
    SendDlgItemMessageA(page, IDC_CONTROL_DEPENDENTS, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(line));
    EXPECT_NE(std::string::npos, std::string(line).find("w = 1/(wts)^2")) << line;

    // Instrumental weighting needs error bars the data do not have: the method stays.
    std::string text;
    qxtest::DialogDriver driver;
    driver.Then([&](HWND dialog) {
        text = qxtest::GetText(dialog, IDC_MESSAGE_TEXT);
        qxtest::Click(dialog, IDC_MESSAGE_BUTTON1);
    });
    driver.Run([&] {
        qxtest::ComboSelect(page, IDC_CONTROL_METHOD, 1);
        return static_cast<INT_PTR>(0);
    });
    EXPECT_NE(std::string::npos, text.find("has no associated error bar"));
    EXPECT_EQ(3, s->dep[1].weightType);

    qxtest::SetText(page, IDC_CONTROL_TOLERANCE, "not a number");
    qxtest::SetText(page, IDC_CONTROL_STEP, "0.002");
    PostMessageA(s->fitterWindow, WM_COMMAND, PAGE_ID_SELECT, 0);
    Pump();
    EXPECT_EQ(PAGE_ID_SELECT, s->pageId);
    EXPECT_EQ(15, s->iterationCount) << "visiting kept the count";
    EXPECT_EQ(tolerance, s->tolerance) << "a text the host cannot evaluate keeps the old value";
    EXPECT_EQ(0.002, s->derivStep);
    CloseFitterWindow(s);
}

TEST_F(FitTest, ReplicasPageSetsReplicaCountAndPeakOptions)
{
    FitterInstance = GetModuleHandleA(nullptr);
    ASSERT_TRUE(RegisterFitterClass(FitterInstance));
    UseLine(1, 2);
    FittingSession* s = Session();
    s->current->nDuplicates = 0;
    s->current->duplicateOffset = 2;  // b repeats
    s->current->duplicateUnit = 1;
    s->current->options[OPT_PEAKS_DURING] = static_cast<int16_t>(OPTION_INHERITED | KW_NO);
    s->current->modified = 0;
    OpenAtPage(window, s, PAGE_ID_ADVANCED);
    HWND page = s->pageWindow;
    ASSERT_TRUE(page != nullptr);
    EXPECT_EQ("2", qxtest::WindowText(GetDlgItem(page, IDC_REPLICA_FROM)));
    EXPECT_EQ("1", qxtest::WindowText(GetDlgItem(page, IDC_REPLICA_SIZE)));
    EXPECT_EQ(51, SendDlgItemMessageA(page, IDC_REPLICA_COUNT, CB_GETCOUNT, 0, 0)) << "0 to 50 replicas";
    EXPECT_EQ(0, qxtest::ComboSelection(page, IDC_REPLICA_COUNT));
    EXPECT_EQ(1, SendDlgItemMessageA(page, IDC_REPLICA_SHARING, LB_GETCOUNT, 0, 0)) << "the replicated block";
    EXPECT_FALSE(qxtest::IsEnabled(page, IDC_REPLICA_SHARING)) << "nothing to share without replicas";
    EXPECT_TRUE(qxtest::IsEnabled(page, IDC_REPLICA_COUNT));

    // Visiting changes nothing.
    PostMessageA(s->fitterWindow, WM_COMMAND, PAGE_ID_SELECT, 0);
    Pump();
    EXPECT_EQ(0, s->current->modified);
    EXPECT_EQ(0, s->current->nDuplicates);

    PostMessageA(s->fitterWindow, WM_COMMAND, PAGE_ID_ADVANCED, 0);
    Pump();
    page = s->pageWindow;
    qxtest::ComboSelect(page, IDC_REPLICA_COUNT, 2);
    EXPECT_TRUE(qxtest::IsEnabled(page, IDC_REPLICA_SHARING));
    qxtest::SetCheck(page, IDC_REPLICA_PEAKS_DURING, true);
    PostMessageA(s->fitterWindow, WM_COMMAND, PAGE_ID_SELECT, 0);
    Pump();
    EXPECT_EQ(2, s->current->nDuplicates);
    EXPECT_EQ(4, s->nParams) << "two more copies of b";
    EXPECT_EQ(static_cast<int16_t>(OPTION_INHERITED | KW_YES), s->current->options[OPT_PEAKS_DURING])
        << "the top bit is kept";
    EXPECT_NE(0, s->current->modified & FDF_CHANGED);

    CloseFitterWindow(s);
}

// A double click in the sharing list marks the parameter shared by all replicas; leaving
// the page gives the replicas one parameter for it.
TEST_F(FitTest, ReplicasPageSharesAParameterAmongReplicas)
{
    FitterInstance = GetModuleHandleA(nullptr);
    ASSERT_TRUE(RegisterFitterClass(FitterInstance));
    UseLine(1, 2);
    FittingSession* s = Session();
    s->current->nDuplicates = 0;
    s->current->duplicateOffset = 2;  // b repeats
    s->current->duplicateUnit = 1;
    OpenAtPage(window, s, PAGE_ID_ADVANCED);
    HWND page = s->pageWindow;
    ASSERT_TRUE(page != nullptr);
    qxtest::ComboSelect(page, IDC_REPLICA_COUNT, 2);
    SendDlgItemMessageA(page, IDC_REPLICA_SHARING, LB_SETCURSEL, 0, 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_REPLICA_SHARING, LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, IDC_REPLICA_SHARING)));
    char line[64] = "";
    SendDlgItemMessageA(page, IDC_REPLICA_SHARING, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(line));
    EXPECT_STREQ("b\tShared", line);
    PostMessageA(s->fitterWindow, WM_COMMAND, PAGE_ID_SELECT, 0);
    Pump();
    EXPECT_EQ(2, s->current->nDuplicates);
    EXPECT_EQ(2, s->nParams) << "a, and one b for all replicas";
    EXPECT_EQ(1, s->sharedByReplicas[2]);
    EXPECT_EQ(1.0 * 2, s->value[2]);

    // Double clicked again, each replica has its b again, starting from the shared one.
    PostMessageA(s->fitterWindow, WM_COMMAND, PAGE_ID_ADVANCED, 0);
    Pump();
    page = s->pageWindow;
    SendDlgItemMessageA(page, IDC_REPLICA_SHARING, LB_SETCURSEL, 0, 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_REPLICA_SHARING, LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, IDC_REPLICA_SHARING)));
    PostMessageA(s->fitterWindow, WM_COMMAND, PAGE_ID_SELECT, 0);
    Pump();
    EXPECT_EQ(4, s->nParams);
    EXPECT_EQ(2, s->value[4]);
    CloseFitterWindow(s);
}

// With many fit sets the count stops where the parameters would pass the limit of 200.
TEST_F(FitTest, ReplicasPageStopsAtTheParameterLimit)
{
    FitterInstance = GetModuleHandleA(nullptr);
    ASSERT_TRUE(RegisterFitterClass(FitterInstance));
    UseLine(1, 2);
    FittingSession* s = Session();
    s->current->nDuplicates = 0;
    s->current->duplicateOffset = 2;
    s->current->duplicateUnit = 1;
    ASSERT_EQ(0, SetFitSetCount(s, 50));
    OpenAtPage(window, s, PAGE_ID_ADVANCED);
    HWND page = s->pageWindow;
    ASSERT_TRUE(page != nullptr);
    EXPECT_EQ(3, SendDlgItemMessageA(page, IDC_REPLICA_COUNT, CB_GETCOUNT, 0, 0)) << "50 sets of 2 + 2 parameters";
    qxtest::ComboSelect(page, IDC_REPLICA_COUNT, 2);
    PostMessageA(s->fitterWindow, WM_COMMAND, PAGE_ID_SELECT, 0);
    Pump();
    EXPECT_EQ(2, s->current->nDuplicates);
    EXPECT_EQ(200, s->nParams);
    CloseFitterWindow(s);
}
