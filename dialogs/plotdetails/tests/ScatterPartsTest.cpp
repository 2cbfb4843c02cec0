// The parts of a 3D scatter (its points and their projections onto the walls) in the
// kernel and in Plot Details: the tree lists them with check boxes, a check shows a
// projection, the edit dependencies make parts follow each other, OK gives the plot what
// was done and Cancel nothing, and the graph draws the projections shown.
#include <gtest/gtest.h>
#include <qxtest/DialogDriver.h>
#include <qxtest/Pixels.h>

#include <afxdlgs.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "ColorMapResources.h"
#include "PlotDetailsMain.h"
#include "PlotDetailsTestSupport.h"
#include "PlotPagesResources.h"
#include "QDGraphPage.h"
#include "QKData.h"
#include "QKPlotModel.h"

using qxtest::DialogDriver;

namespace {

const int kRed = 1, kBlue = 3;

// The tree's part items of the selected plot or of the plot above the selected part.
std::vector<HTREEITEM> Parts(HWND tree)
{
    HTREEITEM item = TreeView_GetSelection(tree);
    std::vector<HTREEITEM> parts;
    CQUPlotDetailsTree* t = DYNAMIC_DOWNCAST(CQUPlotDetailsTree, CWnd::FromHandlePermanent(tree));
    if (t->GetItemDepth(item) == 3)
        item = TreeView_GetParent(tree, item);
    for (HTREEITEM c = TreeView_GetChild(tree, item); c; c = TreeView_GetNextSibling(tree, c))
        parts.push_back(c);
    return parts;
}

// Clicks an item's check box where the tree says it is.
bool ClickCheck(HWND tree, HTREEITEM item)
{
    RECT r;
    if (!TreeView_GetItemRect(tree, item, &r, TRUE))
        return false;
    for (int x = r.left; x >= 0; --x) {
        TVHITTESTINFO hit = {};
        hit.pt = {x, (r.top + r.bottom) / 2};
        if (TreeView_HitTest(tree, &hit) == item && (hit.flags & TVHT_ONITEMSTATEICON)) {
            SendMessageA(tree, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(hit.pt.x, hit.pt.y));
            SendMessageA(tree, WM_LBUTTONUP, 0, MAKELPARAM(hit.pt.x, hit.pt.y));
            return true;
        }
    }
    return false;
}

bool Checked(HWND tree, HTREEITEM item)
{
    return (TreeView_GetItemState(tree, item, TVIS_STATEIMAGEMASK) >> 12) == 2;
}

class ScatterPartsTest : public GraphPageTest {
protected:
    void SetUp() override
    {
        NewGraph(true);
        std::vector<QKPlotData> data = {Column(QK_ROLE_Y, {2, 5, 8, 6}), Column(QK_ROLE_X, {2, 5, 8, 3}),
                                        Column(QK_ROLE_Z, {3, 5, 7, 8})};
        std::string error;
        plot = qkfxAddPlot(layer, QK_PLOT_3D_SCATTER, data, &error);
        ASSERT_NE(nullptr, plot) << error;
        plot->SetColor(kRed);
        RemoveLegend();
    }

    void Open(DialogDriver::Step step)
    {
        DialogDriver driver;
        driver.Then(step);
        driver.Run([&] { return (INT_PTR)page->PlotDetailsDialog(plot, 2, 0); });
        EXPECT_FALSE(driver.TimedOut());
    }

    CQKPlotObj* plot = nullptr;
};

// The kernel: a 3D scatter hands out its four parts; a part gives its look and whether it
// is shown to its plot; the edit dependencies make the following parts take the leader's look.
TEST_F(ScatterPartsTest, PartsCarryTheirLookToThePlotAndFollowTheirLeader)
{
    ASSERT_TRUE(plot->HasSpecialPoints());
    std::vector<CQKPlotObj*> parts;
    ASSERT_EQ(4, plot->GetSpecialPointsArray(parts));
    const char* names[] = {"Original", "XY Projection", "XZ Projection", "YZ Projection"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(names[i], parts[i]->GetName());
        EXPECT_TRUE(parts[i]->IsSubPlotObj());
        EXPECT_TRUE(parts[i]->Is3DScatterPlot()); // so the tree refuses to delete it
        EXPECT_FALSE(parts[i]->HasSpecialPoints());
        EXPECT_EQ(i == 0, parts[i]->HasObjectDisplayed() != FALSE) << names[i];
        EXPECT_EQ(kRed, parts[i]->GetColor()) << "a projection first looks like the points";
    }
    parts[2]->SetObjectDisplayed(TRUE);
    parts[2]->SetColor(kBlue);
    parts[2]->UpdateFromTemporary();
    EXPECT_TRUE(plot->GetState().scatter.shown[2]);
    EXPECT_EQ(kBlue, plot->GetScatterLook(2).color);
    EXPECT_EQ(kRed, plot->GetScatterLook(1).color);
    EXPECT_EQ(kRed, plot->GetColor()) << "the points keep theirs";

    struct Case {
        int grouping;
        int leaderColor[2]; // colour given to part 0 and part 1
        int expected[4];    // colours of the parts after the update
        bool modified[4];
    } cases[] = {
        {0, {kRed, kBlue}, {kRed, kBlue, kBlue, kRed}, {false, false, false, false}},
        {1, {kRed, kBlue}, {kRed, kBlue, kBlue, kBlue}, {false, false, false, true}},
        {2, {kBlue, kRed}, {kBlue, kBlue, kBlue, kBlue}, {false, true, false, true}}, // only the parts that change
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.grouping);
        plot->SetGroupingIndex(c.grouping);
        for (CQKPlotObj* p : parts)
            p->SetModified(0);
        parts[0]->SetColor(c.leaderColor[0]);
        parts[1]->SetColor(c.leaderColor[1]);
        parts[2]->SetColor(kBlue);
        parts[3]->SetColor(kRed);
        plot->UpdateProjections();
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(c.expected[i], parts[i]->GetColor()) << names[i];
            EXPECT_EQ(c.modified[i], parts[i]->IsModified() != FALSE) << names[i];
        }
    }
    for (CQKPlotObj* p : parts)
        delete p;
    // Without parts handed out, the plot's own projections follow.
    plot->SetGroupingIndex(2);
    plot->SetColor(kBlue);
    plot->UpdateProjections();
    for (int i = 1; i < 4; ++i)
        EXPECT_EQ(kBlue, plot->GetScatterLook(i).color) << i;
}

// The dialog on a 3D scatter: the plot shows Edit Control and its parts as checked or
// unchecked items; a checked projection with a colour of its own is drawn after OK, and
// nothing changes after Cancel.
TEST_F(ScatterPartsTest, TreeChecksShowProjectionsAndOKDrawsThem)
{
    const COLORREF blue = RGB(0, 0, 255);
    const int blueBefore = Count(blue);
    for (bool ok : {false, true}) {
        SCOPED_TRACE(ok ? "OK" : "Cancel");
        std::vector<std::string> texts;
        std::vector<bool> checks;
        std::string selected, tabs;
        bool clicked = false;
        Open([&](HWND h) {
            HWND tree = GetDlgItem(h, IDC_PD_TREE);
            selected = ItemText(tree, TreeView_GetSelection(tree));
            tabs = Join(Tabs(h));
            std::vector<HTREEITEM> parts = Parts(tree);
            for (HTREEITEM p : parts) {
                texts.push_back(ItemText(tree, p));
                checks.push_back(Checked(tree, p));
            }
            if (parts.size() == 4) {
                clicked = ClickCheck(tree, parts[1]);
                auto* xy = static_cast<CQKPlotObj*>(Dialog(h)->GetTree().GetItemObject(parts[1]));
                xy->SetColor(kBlue);
                xy->SetModified(1);
            }
            qxtest::Click(h, ok ? IDOK : IDCANCEL);
        });
        EXPECT_EQ(plot->GetDataSetName(), selected);
        EXPECT_EQ("Edit Control", tabs);
        EXPECT_EQ((std::vector<std::string>{"Original", "XY Projection", "XZ Projection", "YZ Projection"}), texts);
        EXPECT_EQ((std::vector<bool>{true, false, false, false}), checks);
        EXPECT_TRUE(clicked);
        EXPECT_EQ(ok, plot->GetState().scatter.shown[1]);
        EXPECT_EQ(ok ? kBlue : kRed, plot->GetScatterLook(1).color);
        EXPECT_EQ(kRed, plot->GetColor());
        if (ok)
            EXPECT_GT(Count(blue), blueBefore + 20) << "the projection on the floor is drawn";
        else
            EXPECT_EQ(blueBefore, Count(blue));
    }
}

// All Together: choosing a projection edits the points, and after OK every projection
// looks as the points do; a part cannot be deleted.
TEST_F(ScatterPartsTest, AllTogetherRedirectsToThePointsAndSpreadsTheirLook)
{
    std::string redirected;
    bool typeComboEnabled = true;
    Open([&](HWND h) {
        HWND tree = GetDlgItem(h, IDC_PD_TREE);
        HWND choice = ActivePage(h);
        qxtest::SetCheck(choice, IDC_CHOICE_TOGETHER, true);
        std::vector<HTREEITEM> parts = Parts(tree);
        ASSERT_EQ(4u, parts.size());
        TreeView_SelectItem(tree, parts[3]);
        HTREEITEM now = TreeView_GetSelection(tree);
        redirected = ItemText(tree, now);
        HWND combo = GetDlgItem(h, IDC_PD_PLOT_TYPE);
        typeComboEnabled = IsWindowVisible(combo) && IsWindowEnabled(combo);
        auto* points = static_cast<CQKPlotObj*>(Dialog(h)->GetTree().GetItemObject(now));
        points->SetColor(kBlue);
        points->SetModified(1);
        qxtest::Click(h, IDOK);
    });
    EXPECT_EQ("Original", redirected);
    EXPECT_FALSE(typeComboEnabled) << "a part keeps its plot's type";
    EXPECT_EQ(2, plot->GetGroupingIndex());
    EXPECT_EQ(kBlue, plot->GetColor());
    for (int i = 1; i < 4; ++i)
        EXPECT_EQ(kBlue, plot->GetScatterLook(i).color) << i;
}

// The points' Drop Lines page edits the plot's drop lines: Cancel keeps none, OK gives the
// plot a blue line parallel to Z from each point, which the graph then draws.
TEST_F(ScatterPartsTest, PointsDropLinesPageGivesThePlotItsDropLines)
{
    const COLORREF blue = RGB(0, 0, 255);
    const int blueBefore = Count(blue);
    for (bool ok : {false, true}) {
        SCOPED_TRACE(ok ? "OK" : "Cancel");
        std::string tabs;
        bool zShown = false;
        Open([&](HWND h) {
            HWND tree = GetDlgItem(h, IDC_PD_TREE);
            std::vector<HTREEITEM> parts = Parts(tree);
            ASSERT_EQ(4u, parts.size());
            TreeView_SelectItem(tree, parts[0]);
            tabs = Join(Tabs(h));
            HWND page = GoTab(h, "Drop Lines");
            zShown = IsWindowVisible(GetDlgItem(page, IDC_PD_DROP_Z)) != FALSE;
            qxtest::SetCheck(page, IDC_PD_DROP_Z, true);
            qxtest::ComboSelect(page, IDC_PD_DROP_Z_COLOR, kBlue + 1); // after "Automatic"
            qxtest::Click(h, ok ? IDOK : IDCANCEL);
        });
        EXPECT_NE(std::string::npos, tabs.find("Drop Lines")) << tabs;
        EXPECT_TRUE(zShown);
        EXPECT_EQ(ok ? 4 : 0, plot->GetDropLineType());
        EXPECT_EQ(ok ? kBlue : -9, plot->GetZLineColor());
        if (ok)
            EXPECT_GT(Count(blue), blueBefore + 20) << "the drop lines are drawn";
        else
            EXPECT_EQ(blueBefore, Count(blue));
    }
}

} // namespace
