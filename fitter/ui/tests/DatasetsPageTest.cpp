// The datasets page on the test library's line: the variable list, assigning a dataset with
// its rows and step, an unassigned independent variable taking the X of the dependent's
// dataset, ranges by X, a dataset the host no longer knows, adding and removing fit sets,
// and the basic page's buttons.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "FitTestKit.h"
#include "FitterResources.h"
#include "FitterWindow.h"
#include "WindowTestKit.h"
#include "qxtest/DialogDriver.h"

namespace {

std::string ListLine(HWND page, int id, int index)
{
    char text[512] = "";
    if (SendDlgItemMessageA(page, id, LB_GETTEXTLEN, index, 0) < static_cast<LRESULT>(sizeof text))
        SendDlgItemMessageA(page, id, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text));
    return text;
}

int FindLine(HWND page, int id, const char* text)
{
    return static_cast<int>(
        SendDlgItemMessageA(page, id, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text)));
}

class DatasetsPageTest : public FitTest {
protected:
    void SetUp() override
    {
        FitTest::SetUp();
        FitterInstance = GetModuleHandleA(nullptr);
        ASSERT_TRUE(RegisterFitterClass(FitterInstance));
        UseLine(1, 2);
        s = Session();
        other = host.AddDataset("Other", {5, 6, 7, 8, 9, 10});
    }
    void TearDown() override
    {
        CloseFitterWindow(s);
        FitTest::TearDown();
    }
    HWND Open(bool basic = false)
    {
        OpenAtPage(window, s, PAGE_ID_DATASETS, basic);
        return s->pageWindow;
    }
    FittingSession* s = nullptr;
    QFitDataset other = 0;
};

TEST_F(DatasetsPageTest, ListsVariablesAndAssignsDependentRowsAndStep)
{
    HWND page = Open();
    ASSERT_TRUE(page != nullptr);
    EXPECT_EQ(PAGE_ID_DATASETS, s->pageId);
    EXPECT_EQ("y\tDep\tydata\t(1...5)", ListLine(page, IDC_DATASETS_VARIABLES, 0));
    EXPECT_EQ("---->x\tIndep\txdata\t(1...5)", ListLine(page, IDC_DATASETS_VARIABLES, 1));
    EXPECT_EQ(0, qxtest::ListSelection(page, IDC_DATASETS_VARIABLES));
    EXPECT_EQ(FindLine(page, IDC_DATASETS_AVAILABLE, "ydata"), qxtest::ListSelection(page, IDC_DATASETS_AVAILABLE));
    EXPECT_LE(0, FindLine(page, IDC_DATASETS_AVAILABLE, "other")) << "names in lower case";
    EXPECT_FALSE(qxtest::IsEnabled(page, IDC_DATASETS_ASSIGN_X)) << "a dependent row";
    EXPECT_EQ("1", qxtest::GetText(page, IDC_DATASETS_STEP));

    // Choosing another dataset offers its whole range.
    qxtest::ListSelect(page, IDC_DATASETS_AVAILABLE, FindLine(page, IDC_DATASETS_AVAILABLE, "other"));
    EXPECT_EQ("1", qxtest::GetText(page, IDC_DATASETS_FROM));
    EXPECT_EQ("6", qxtest::GetText(page, IDC_DATASETS_TO));
    qxtest::SetText(page, IDC_DATASETS_FROM, "2");
    qxtest::SetText(page, IDC_DATASETS_TO, "5");
    qxtest::SetText(page, IDC_DATASETS_STEP, "2");
    qxtest::Click(page, IDC_DATASETS_ASSIGN);
    EXPECT_EQ(other, s->dep[1].dataset);
    EXPECT_EQ(1, s->dep[1].first);
    EXPECT_EQ(5, s->dep[1].end);
    EXPECT_EQ(2, s->dep[1].step);
    EXPECT_EQ(2, s->fitSets[1].step) << "the fit set's step, which the runs use";
    EXPECT_EQ("y\tDep\tOther\t(2...5)", ListLine(page, IDC_DATASETS_VARIABLES, 0));
    EXPECT_EQ(0, qxtest::ListSelection(page, IDC_DATASETS_VARIABLES)) << "the row stays selected";
    EXPECT_EQ("---->x\tIndep\txdata\t(1...5)", ListLine(page, IDC_DATASETS_VARIABLES, 1))
        << "an assigned independent variable keeps its dataset";

    // Rows the dataset does not have, or none between first and last, give way to its range.
    for (const auto& typed : {std::make_pair("0", "99"), std::make_pair("5", "3"), std::make_pair("3", "9")}) {
        qxtest::SetText(page, IDC_DATASETS_FROM, typed.first);
        qxtest::SetText(page, IDC_DATASETS_TO, typed.second);
        qxtest::Click(page, IDC_DATASETS_ASSIGN);
        EXPECT_EQ(0, s->dep[1].first) << typed.first << ".." << typed.second;
        EXPECT_EQ(6, s->dep[1].end) << typed.first << ".." << typed.second;
    }
}

TEST_F(DatasetsPageTest, UnassignedIndependentTakesTheXOfTheDependentsDataset)
{
    s->indep[1].dataset = 0;
    HWND page = Open();
    ASSERT_TRUE(page != nullptr);
    EXPECT_EQ("---->x\tIndep\t???    \t(1...5)", ListLine(page, IDC_DATASETS_VARIABLES, 1));
    qxtest::ListSelect(page, IDC_DATASETS_AVAILABLE, FindLine(page, IDC_DATASETS_AVAILABLE, "other"));
    qxtest::Click(page, IDC_DATASETS_ASSIGN);
    EXPECT_EQ(other, s->indep[1].dataset);
    EXPECT_EQ(1, s->indep[1].useAlt);
    EXPECT_EQ(0, s->indep[1].first);
    EXPECT_EQ(6, s->indep[1].end);
    EXPECT_EQ("---->x\tIndep\tx of Other\t(1...6)", ListLine(page, IDC_DATASETS_VARIABLES, 1));
}

TEST_F(DatasetsPageTest, IndependentRangeByXAndAssignX)
{
    HWND page = Open();
    ASSERT_TRUE(page != nullptr);
    qxtest::ListSelect(page, IDC_DATASETS_VARIABLES, 1);
    EXPECT_TRUE(qxtest::IsEnabled(page, IDC_DATASETS_ASSIGN_X));
    EXPECT_EQ("", qxtest::GetText(page, IDC_DATASETS_STEP));
    EXPECT_EQ("<= Row <=", qxtest::GetText(page, IDC_DATASETS_BY_X));
    EXPECT_EQ("1", qxtest::GetText(page, IDC_DATASETS_FROM));
    EXPECT_EQ("5", qxtest::GetText(page, IDC_DATASETS_TO));

    // With another dataset chosen, the toggle shows its range as X values (Other holds
    // 5..10 in rows 1..6).
    qxtest::ListSelect(page, IDC_DATASETS_AVAILABLE, FindLine(page, IDC_DATASETS_AVAILABLE, "other"));
    qxtest::Click(page, IDC_DATASETS_BY_X);
    EXPECT_EQ("<= X <=", qxtest::GetText(page, IDC_DATASETS_BY_X));
    EXPECT_EQ(1, s->indep[1].useXRange);
    EXPECT_EQ("5", qxtest::GetText(page, IDC_DATASETS_FROM));
    EXPECT_EQ("10", qxtest::GetText(page, IDC_DATASETS_TO));
    qxtest::SetText(page, IDC_DATASETS_FROM, "6");
    qxtest::SetText(page, IDC_DATASETS_TO, "9");
    qxtest::Click(page, IDC_DATASETS_ASSIGN);
    const IndepVarInfo& v = s->indep[1];
    EXPECT_EQ(other, v.dataset);
    EXPECT_EQ(0, v.useAlt);
    EXPECT_EQ(6.0, v.xFrom);
    EXPECT_EQ(9.0, v.xTo);
    EXPECT_EQ(0, v.first) << "rows from the other representation";
    EXPECT_EQ(6, v.end);
    EXPECT_EQ("---->x\tIndep\tOther\t(6...9)", ListLine(page, IDC_DATASETS_VARIABLES, 1));
    EXPECT_EQ(1, qxtest::ListSelection(page, IDC_DATASETS_VARIABLES));

    // Back to rows: the edits and the range texts trade places.
    qxtest::Click(page, IDC_DATASETS_BY_X);
    EXPECT_EQ("1", qxtest::GetText(page, IDC_DATASETS_FROM));
    EXPECT_EQ("6", qxtest::GetText(page, IDC_DATASETS_TO));
    qxtest::Click(page, IDC_DATASETS_ASSIGN_X);
    EXPECT_EQ(1, v.useAlt);
    EXPECT_EQ(0, v.useXRange);
    EXPECT_EQ("---->x\tIndep\tx of Other\t(1...6)", ListLine(page, IDC_DATASETS_VARIABLES, 1));
}

TEST_F(DatasetsPageTest, DatasetNoLongerKnown)
{
    host.Dataset(s->dep[1].dataset).valid = false;
    HWND page = Open();
    ASSERT_TRUE(page != nullptr);
    EXPECT_EQ("y\tDep\t???    \t(1...5)", ListLine(page, IDC_DATASETS_VARIABLES, 0));
    EXPECT_EQ(-1, qxtest::ListSelection(page, IDC_DATASETS_AVAILABLE));
}

TEST_F(DatasetsPageTest, AddingAndRemovingFitSets)
{
    HWND page = Open();
    ASSERT_TRUE(page != nullptr);
    EXPECT_TRUE(qxtest::IsEnabled(page, IDC_DATASETS_MULTIPLE));
    EXPECT_FALSE(qxtest::IsEnabled(page, IDC_DATASETS_ADD)) << "off";
    qxtest::SetCheck(page, IDC_DATASETS_MULTIPLE, true);
    EXPECT_TRUE(qxtest::IsEnabled(page, IDC_DATASETS_ADD));

    qxtest::Click(page, IDC_DATASETS_REMOVE);
    EXPECT_EQ(1, s->nFitSets) << "the last set stays";
    s->fitSets[1].step = 3;
    qxtest::Click(page, IDC_DATASETS_ADD);
    ASSERT_EQ(2, s->nFitSets);
    EXPECT_EQ(3, s->fitSets[2].step) << "from the set before";
    EXPECT_EQ(4, SendDlgItemMessageA(page, IDC_DATASETS_VARIABLES, LB_GETCOUNT, 0, 0));
    EXPECT_EQ("y(1)\tDep\tydata\t(1...5)", ListLine(page, IDC_DATASETS_VARIABLES, 0));
    EXPECT_EQ(0, ListLine(page, IDC_DATASETS_VARIABLES, 2).find("y(2)\tDep\t"));
    EXPECT_EQ(0, ListLine(page, IDC_DATASETS_VARIABLES, 3).find("---->x(2)\tIndep\t"));
    EXPECT_EQ(2, qxtest::ListSelection(page, IDC_DATASETS_VARIABLES)) << "the new set's first row";

    // At most 50 sets.
    while (s->nFitSets < 50)
        qxtest::Click(page, IDC_DATASETS_ADD);
    qxtest::Click(page, IDC_DATASETS_ADD);
    EXPECT_EQ(50, s->nFitSets);

    qxtest::Click(page, IDC_DATASETS_REMOVE);
    EXPECT_EQ(49, s->nFitSets);

    // Switching several sets off leaves one, with its dataset.
    qxtest::SetCheck(page, IDC_DATASETS_MULTIPLE, false);
    EXPECT_EQ(1, s->nFitSets);
    EXPECT_EQ(2, SendDlgItemMessageA(page, IDC_DATASETS_VARIABLES, LB_GETCOUNT, 0, 0));
    EXPECT_EQ("y\tDep\tydata\t(1...5)", ListLine(page, IDC_DATASETS_VARIABLES, 0));
    EXPECT_FALSE(qxtest::IsEnabled(page, IDC_DATASETS_ADD));
}

// The sharing list offers each parameter of a set; a double click shares it among the fit
// sets (one parameter for all of them) and another gives each set its own again.
TEST_F(DatasetsPageTest, ParameterSharingAmongFitSets)
{
    HWND page = Open();
    ASSERT_TRUE(page != nullptr);
    EXPECT_FALSE(qxtest::IsEnabled(page, IDC_DATASETS_SHARING)) << "one set";
    qxtest::SetCheck(page, IDC_DATASETS_MULTIPLE, true);
    qxtest::Click(page, IDC_DATASETS_ADD);
    ASSERT_EQ(2, s->nFitSets);
    EXPECT_TRUE(qxtest::IsEnabled(page, IDC_DATASETS_SHARING));
    ASSERT_EQ(2, SendDlgItemMessageA(page, IDC_DATASETS_SHARING, LB_GETCOUNT, 0, 0));
    EXPECT_EQ(4, s->nParams);
    auto doubleClick = [&](int line) {
        SendDlgItemMessageA(page, IDC_DATASETS_SHARING, LB_SETCURSEL, line, 0);
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_DATASETS_SHARING, LBN_DBLCLK),
                     reinterpret_cast<LPARAM>(GetDlgItem(page, IDC_DATASETS_SHARING)));
    };
    doubleClick(1);
    EXPECT_EQ(3, s->nParams);
    EXPECT_EQ(1, s->sharedBySets[2]);
    EXPECT_EQ("b\tShared", ListLine(page, IDC_DATASETS_SHARING, 1));
    EXPECT_EQ("a", ListLine(page, IDC_DATASETS_SHARING, 0));
    EXPECT_EQ(ParamOfSlot(s, 1, 2), ParamOfSlot(s, 2, 2)) << "one parameter for both sets";
    doubleClick(1);
    EXPECT_EQ(4, s->nParams);
    EXPECT_EQ("b", ListLine(page, IDC_DATASETS_SHARING, 1));
}

TEST_F(DatasetsPageTest, BasicPageButtons)
{
    HWND page = Open(true);
    ASSERT_TRUE(page != nullptr);
    EXPECT_EQ(PageTemplateId(s, PAGE_ID_DATASETS), IDD_PAGE_DATASETS_BASIC);
    qxtest::Click(page, IDC_SESSION_SELECT);
    Pump();
    EXPECT_EQ(PAGE_ID_SELECT, s->pageId);
}

}  // namespace

// Assigning datasets links the dependent dataset to the dataset of the independent
// variable that carries its X, so that the host plots the data as the fit sees them.
TEST_F(DatasetsPageTest, DependentDatasetTakesTheXOfItsIndependentVariable)
{
    host.createDatasets = true;  // the test host then keeps the X links it is given
    const QFitDataset t = host.AddDataset("T", {0, 1, 2, 3, 4});
    HWND page = Open();
    ASSERT_TRUE(page != nullptr);
    qxtest::ListSelect(page, IDC_DATASETS_VARIABLES, 1);
    qxtest::ListSelect(page, IDC_DATASETS_AVAILABLE, FindLine(page, IDC_DATASETS_AVAILABLE, "t"));
    qxtest::Click(page, IDC_DATASETS_ASSIGN);
    EXPECT_EQ(t, s->indep[1].dataset);
    EXPECT_EQ(t, host.Dataset(s->dep[1].dataset).x);
    EXPECT_EQ(1, s->dep[1].xVariable);

    // A dependent assigned anew takes the same X.
    qxtest::ListSelect(page, IDC_DATASETS_VARIABLES, 0);
    qxtest::ListSelect(page, IDC_DATASETS_AVAILABLE, FindLine(page, IDC_DATASETS_AVAILABLE, "other"));
    qxtest::Click(page, IDC_DATASETS_ASSIGN);
    EXPECT_EQ(other, s->dep[1].dataset);
    EXPECT_EQ(t, host.Dataset(other).x);
}
