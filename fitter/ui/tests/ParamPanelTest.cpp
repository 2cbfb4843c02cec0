// The shared parameter table on a page holding every column, driven as each page kind
// drives it: rows shown, scrolled, read back and committed; the history of the session page.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "FitTestKit.h"
#include "FitterResources.h"
#include "ParamPanel.h"
#include "qxtest/DialogDriver.h"
#include "qxutil.h"

namespace {

const int kTestPage = 30100;

INT_PTR CALLBACK PlainPage(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

class ParamPanelTest : public FitTest {
protected:
    void SetUp() override
    {
        FitTest::SetUp();
        FitterInstance = GetModuleHandleA(nullptr);
        UseLine(1, 2);
        s = Session();
        ASSERT_TRUE(s != nullptr);
        page = CreateDialogParamA(FitterInstance, MAKEINTRESOURCEA(kTestPage), window, PlainPage, 0);
        ASSERT_TRUE(page != nullptr);
    }
    void TearDown() override
    {
        FreeParamTexts(s);
        FreeParamHistory(s);
        DestroyWindow(page);
        FitTest::TearDown();
    }
    void Show(int templateId)
    {
        SetupParamPanel(page, s, IDC_PARAM_SCROLL, templateId);
        ASSERT_EQ(0, PrepareParamTexts(page, s, templateId));
        FillParamRows(page, s, templateId);
    }
    std::string Text(int id) { return qxtest::GetText(page, id); }
    std::string Name(int p)
    {
        char name[PARAM_NAME_CHARS];
        GetParamName(s, p, name, sizeof name);
        return name;
    }
    int Scroll(int code, int position = 0)
    {
        return ScrollParamPanel(page, MAKEWPARAM(code, position), GetDlgItem(page, IDC_PARAM_SCROLL), s,
                                IDD_PAGE_SESSION);
    }

    FittingSession* s = nullptr;
    HWND page = nullptr;
};

}  // namespace

// Six parameters (three fit sets of a line) in four rows: the bar spans 0..2, and every
// scroll code lands on the rows it names without passing either end.
TEST_F(ParamPanelTest, SessionRowsScroll)
{
    Set("NUMFITSETS", 3);
    ASSERT_EQ(6, s->nParams);
    Show(IDD_PAGE_SESSION);
    HWND bar = GetDlgItem(page, IDC_PARAM_SCROLL);
    EXPECT_TRUE(GetWindowLongA(bar, GWL_STYLE) & WS_VISIBLE);
    int low = -1, high = -1;
    GetScrollRange(bar, SB_CTL, &low, &high);
    EXPECT_EQ(0, low);
    EXPECT_EQ(2, high);
    EXPECT_EQ(Name(1), Text(IDC_PARAM_NAME + 1));
    EXPECT_EQ("\xB1", Text(IDC_PARAM_PLUS_MINUS + 1));

    const struct {
        int code, position, moved, first;
    } steps[] = {
        {SB_LINEUP, 0, 0, 1},  {SB_BOTTOM, 0, 1, 3},     {SB_LINEDOWN, 0, 0, 3}, {SB_PAGEDOWN, 0, 0, 3},
        {SB_LINEUP, 0, 1, 2},  {SB_THUMBTRACK, 0, 1, 1}, {SB_THUMBPOSITION, 9, 1, 3},
        {SB_TOP, 0, 1, 1},     {SB_ENDSCROLL, 0, 0, 1},
    };
    for (const auto& step : steps) {
        EXPECT_EQ(step.moved, Scroll(step.code, step.position)) << step.code;
        EXPECT_EQ(step.first, s->paramFirst) << step.code;
        EXPECT_EQ(step.first + 3, s->paramLast) << step.code;
        EXPECT_EQ(step.first - 1, GetScrollPos(bar, SB_CTL)) << step.code;
        EXPECT_EQ(Name(step.first), Text(IDC_PARAM_NAME + 1)) << step.code;
    }
}

// Two parameters: no bar, rows 3 and 4 hidden. Read back: a change of case is no edit, a
// vary box is; a text the host cannot evaluate keeps the old value; a text longer than the
// edit limit is cut to its slot.
TEST_F(ParamPanelTest, SessionRowsReadBackAndCommit)
{
    ASSERT_EQ(2, s->nParams);
    Show(IDD_PAGE_SESSION);
    EXPECT_FALSE(GetWindowLongA(GetDlgItem(page, IDC_PARAM_SCROLL), GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(GetWindowLongA(GetDlgItem(page, IDC_PARAM_VALUE + 3), GWL_STYLE) & WS_VISIBLE);
    EXPECT_TRUE(GetWindowLongA(GetDlgItem(page, IDC_PARAM_VALUE + 2), GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ("1", Text(IDC_PARAM_VALUE + 1));
    EXPECT_EQ("2", Text(IDC_PARAM_VALUE + 2));

    SetDlgItemTextA(page, IDC_PARAM_VALUE + 1, "1e0");
    ReadParamRows(page, s, IDD_PAGE_SESSION);
    EXPECT_EQ(1, s->valuesEdited);
    s->valuesEdited = 0;
    SetDlgItemTextA(page, IDC_PARAM_VALUE + 1, "1E0");
    ReadParamRows(page, s, IDD_PAGE_SESSION);
    EXPECT_EQ(0, s->valuesEdited) << "only the case changed";

    const bool varied = (s->flags[2] & PARAM_VARIES) != 0;
    CheckDlgButton(page, IDC_PARAM_VARY + 2, varied ? BST_UNCHECKED : BST_CHECKED);
    ReadParamRows(page, s, IDD_PAGE_SESSION);
    EXPECT_EQ(1, s->valuesEdited);
    EXPECT_EQ(!varied, (s->flags[2] & PARAM_VARIES) != 0);

    SetDlgItemTextA(page, IDC_PARAM_VALUE + 1, "7");
    SetDlgItemTextA(page, IDC_PARAM_VALUE + 2, "no such name");
    ReadParamRows(page, s, IDD_PAGE_SESSION);
    CommitParamValues(page, s);
    EXPECT_EQ(7, s->value[1]);
    EXPECT_EQ(2, s->value[2]) << "kept: the host could not evaluate the text";
    EXPECT_EQ(0, s->valuesEdited);

    const std::string longText(40, '9');
    SetDlgItemTextA(page, IDC_PARAM_VALUE + 1, longText.c_str());
    ReadParamRows(page, s, IDD_PAGE_SESSION);
    EXPECT_EQ(32u, strlen(s->valueTexts[1]));
}

// Initial values and bounds go into the definition as lists; a text with a comma would
// split into two entries when read back, so it is refused and the definition kept.
TEST_F(ParamPanelTest, InitialValuesAndBoundsBecomeDefinitionLists)
{
    snprintf(s->current->initialValues, sizeof s->current->initialValues, "%s", "1.5(V), 3(F)");
    Show(IDD_PAGE_INIT);
    EXPECT_EQ("1.5", Text(IDC_PARAM_VALUE + 1));
    EXPECT_EQ("3", Text(IDC_PARAM_VALUE + 2));
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(page, IDC_PARAM_VARY + 1));
    EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(page, IDC_PARAM_VARY + 2));
    SetDlgItemTextA(page, IDC_PARAM_VALUE + 2, "4");
    ReadParamRows(page, s, IDD_PAGE_INIT);
    EXPECT_EQ(0, CommitInitValues(page, s));
    EXPECT_STREQ("1.5(V),4(F)", s->current->initialValues);
    SetDlgItemTextA(page, IDC_PARAM_VALUE + 2, "max(1,2)");
    ReadParamRows(page, s, IDD_PAGE_INIT);
    EXPECT_EQ(-1, CommitInitValues(page, s));
    EXPECT_STREQ("1.5(V),4(F)", s->current->initialValues);
    FreeParamTexts(s);

    s->lowerBound[1] = 0;
    s->upperBound[1] = 10;
    s->upperBound[2] = 20;
    s->flags[1] = (s->flags[1] & PARAM_VARIES) | PARAM_LB_ON;
    s->flags[2] = (s->flags[2] & PARAM_VARIES) | PARAM_UB_ON | PARAM_UB_EXCLUSIVE;
    Show(IDD_PAGE_CONSTRAINTS);
    EXPECT_EQ("<=", Text(IDC_PARAM_LOWER_RELATION + 1));
    EXPECT_EQ("<", Text(IDC_PARAM_UPPER_RELATION + 2));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_PARAM_LOWER + 1)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_PARAM_UPPER + 1)));
    SetDlgItemTextA(page, IDC_PARAM_LOWER + 2, "-5");
    CheckDlgButton(page, IDC_PARAM_LOWER_ON + 2, BST_CHECKED);
    SetDlgItemTextA(page, IDC_PARAM_LOWER_RELATION + 2, "<");
    ReadParamRows(page, s, IDD_PAGE_CONSTRAINTS);
    EXPECT_EQ(2, CommitBounds(page, s));
    EXPECT_EQ(-5, s->lowerBound[2]);
    EXPECT_STREQ("0(I, On),-5(X, On)", s->current->lowerBounds);
    EXPECT_STREQ("10(I, Off),20(X, On)", s->current->upperBounds);
    EXPECT_EQ(0, CommitBounds(page, s)) << "nothing changed since";

    SetDlgItemTextA(page, IDC_PARAM_UPPER + 1, "min(1,2)");
    ReadParamRows(page, s, IDD_PAGE_CONSTRAINTS);
    EXPECT_EQ(-1, CommitBounds(page, s));
    EXPECT_STREQ("10(I, Off),20(X, On)", s->current->upperBounds);
}

// The history keeps at most 5000 bytes of snapshots: a full history drops its oldest, and
// a push after going back drops everything after the current snapshot.
TEST_F(ParamPanelTest, HistoryDropsOldestAndForwardSnapshots)
{
    ASSERT_EQ(0, InitParamHistory(s));
    const int capacity = 5000 / ((2 + 1) * 8);
    EXPECT_EQ(capacity, s->historyCapacity);
    EXPECT_EQ(0, s->historyCurrent);
    for (int i = 1; i <= capacity + 2; ++i) {
        s->value[1] = i;
        PushParamHistory(s);
    }
    EXPECT_EQ(capacity - 1, s->historyLast);
    while (ParamHistoryBack(s) > 0) {
    }
    EXPECT_EQ(3, s->value[1]) << "the initial snapshot and pushes 1 and 2 were dropped";
    EXPECT_EQ(1, ParamHistoryForward(s));
    EXPECT_EQ(4, s->value[1]);
    s->value[1] = 100;
    PushParamHistory(s);
    EXPECT_EQ(2, s->historyLast) << "forward snapshots dropped";
    EXPECT_EQ(2, ParamHistoryForward(s)) << "nothing beyond the last";
    EnableHistoryButtons(s, page);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_HISTORY_BACK)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_HISTORY_FORWARD)));

    const int params = s->nParams;
    s->nParams = 625;  // 626 doubles a snapshot: more than the history may hold
    EXPECT_EQ(1, InitParamHistory(s));
    EXPECT_EQ(-1, ParamHistoryBack(s));
    s->nParams = params;
}

TEST(ParamText, TrimAndFormat)
{
    const struct {
        const char* in;
        const char* out;
    } trims[] = {{"ab \t\r\n", "ab"}, {"   ", " "}, {"x", "x"}, {"a b", "a b"}};
    for (const auto& c : trims) {
        char text[16];
        snprintf(text, sizeof text, "%s", c.in);
        EXPECT_EQ(strlen(c.out), TrimTrailing(text)) << c.in;
        EXPECT_STREQ(c.out, text);
    }
    char text[UTIL_NUMBER_TEXT_SIZE];
    FormatValue(1150, 3, text);
    EXPECT_STREQ("1.15E+03", text);
    FormatValue(0.25, 0, text);
    EXPECT_STREQ("0.25", text);
}
