// Special points: one point of a plot edited on its own in Plot Details and drawn in its
// own look. The point under the pointer is found in the page's last drawing; the dialog
// opened on it lists it under its plot; OK keeps it and Cancel does not; the tree deletes
// it after asking.
#include <gtest/gtest.h>
#include <qxtest/DialogDriver.h>
#include <qxtest/Pixels.h>

#include <afxdlgs.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "PlotDetailsMain.h"
#include "PlotDetailsTestSupport.h"
#include "PlotDetailsResources.h"
#include "QDGraphPage.h"
#include "QKData.h"
#include "QKPlotModel.h"

using qxtest::DialogDriver;

namespace {

const int kRed = 1, kBlue = 3;

bool Near(const qxtest::Image& image, int x, int y, COLORREF color)
{
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx)
            if (image.ColorAt(x + dx, y + dy) == color)
                return true;
    return false;
}

class SpecialPointsTest : public GraphPageTest {
protected:
    void SetUp() override
    {
        NewGraph();
        AxesFromZeroToTen("2");
        std::string error;
        plot = qkfxAddPlot(layer, QK_PLOT_SCATTER, {Column(QK_ROLE_Y, {5, 5, 5}), Column(QK_ROLE_X, {2, 5, 8})}, &error);
        ASSERT_NE(nullptr, plot) << error;
        plot->SetColor(kRed);
        plot->SetFillColor(kRed);
        RemoveLegend();
    }

    CQKPlotObj* plot = nullptr;
};

// A double click's point finds its row; Plot Details on a new special point shows it under
// its plot; OK keeps it in the plot (drawn blue, the others red), Cancel keeps nothing.
TEST_F(SpecialPointsTest, APointIsEditedAloneAndDrawnInItsLook)
{
    RECT client = {0, 0, W, H};
    page->SetViewMode(2, 1); // the page fills the client area
    ASSERT_TRUE(page->SetDrawRect(client));
    struct Hit {
        int x, y, row;
    } hits[] = {{MapX(5), MapY(5), 1}, {MapX(8) + 2, MapY(5) - 3, 2}, {MapX(6.5), MapY(5), -1}};
    for (const Hit& h : hits)
        EXPECT_EQ(h.row, page->FindDataPointRow(h.x, h.y, plot)) << h.x << "," << h.y;

    for (bool ok : {false, true}) {
        SCOPED_TRACE(ok ? "OK" : "Cancel");
        CQKPlotObj* point = plot->CreateSpecialPoint(1);
        ASSERT_NE(nullptr, point);
        EXPECT_TRUE(point->IsSpecialPoint());
        EXPECT_EQ(1, point->GetIDEx());
        std::string selected, parent, tabs;
        int depth = -1;
        DialogDriver driver;
        driver.Then([&](HWND h) {
            HWND tree = GetDlgItem(h, IDC_PD_TREE);
            HTREEITEM item = TreeView_GetSelection(tree);
            selected = ItemText(tree, item);
            parent = ItemText(tree, TreeView_GetParent(tree, item));
            depth = Dialog(h)->GetTree().GetItemDepth(item);
            tabs = Join(Tabs(h));
            auto* edited = static_cast<CQKPlotObj*>(Dialog(h)->GetTree().GetItemObject(item));
            edited->SetColor(kBlue);
            edited->SetFillColor(kBlue);
            edited->SetModified(1);
            qxtest::Click(h, ok ? IDOK : IDCANCEL);
        });
        driver.Run([&] { return (INT_PTR)page->PlotDetailsDialog(point, 2, 0); });
        EXPECT_FALSE(driver.TimedOut());
        EXPECT_EQ(plot->GetDataSetName() + "[2]", selected);
        EXPECT_EQ(plot->GetDataSetName(), parent);
        EXPECT_EQ(3, depth);
        EXPECT_EQ(std::string::npos, tabs.find("Group")) << tabs;
        EXPECT_NE(std::string::npos, tabs.find("Symbol")) << tabs;
        const QKPartLook* look = plot->GetSpecialPointLook(1);
        EXPECT_EQ(ok, look != nullptr);
        if (look)
            EXPECT_EQ(kBlue, look->color);
        EXPECT_EQ(kRed, plot->GetColor());
        qxtest::Image image = Render();
        EXPECT_EQ(ok, Near(image, MapX(5), MapY(5), RGB(0, 0, 255))) << "the point";
        EXPECT_TRUE(Near(image, MapX(2), MapY(5), RGB(255, 0, 0))) << "another point";
    }
}

// The Delete key on a special point asks with its name; Cancel keeps it, OK deletes it
// from the plot once the dialog's changes are applied.
TEST_F(SpecialPointsTest, TheTreeDeletesAPointAfterAsking)
{
    CQKPlotObj* point = plot->CreateSpecialPoint(2);
    point->SetColor(kBlue);
    point->UpdateFromTemporary(); // no plot to give it to: nothing happens
    EXPECT_EQ(nullptr, plot->GetSpecialPointLook(2));
    delete point;
    std::vector<CQKPlotObj*> none;
    EXPECT_EQ(0, plot->GetSpecialPointsArray(none));

    // A point kept by a dialog's OK.
    point = plot->CreateSpecialPoint(2);
    DialogDriver keep;
    keep.Then([&](HWND h) { qxtest::Click(h, IDOK); });
    keep.Run([&] { return (INT_PTR)page->PlotDetailsDialog(point, 2, 0); });
    ASSERT_NE(nullptr, plot->GetSpecialPointLook(2));

    for (UINT answer : {(UINT)IDCANCEL, (UINT)IDOK}) {
        std::string question;
        int children = -1;
        DialogDriver driver;
        driver.Then([&](HWND h) {
            HWND tree = GetDlgItem(h, IDC_PD_TREE);
            HTREEITEM plotItem = TreeView_GetSelection(tree);
            TreeView_Expand(tree, plotItem, TVE_EXPAND);
            HTREEITEM child = TreeView_GetChild(tree, plotItem);
            TreeView_SelectItem(tree, child);
            MSG msg = {tree, WM_KEYDOWN, VK_DELETE, 0};
            Dialog(h)->GetTree().PreTranslateMessage(&msg);
            children = 0;
            for (HTREEITEM c = TreeView_GetChild(tree, plotItem); c; c = TreeView_GetNextSibling(tree, c))
                ++children;
            qxtest::Click(h, IDOK);
        });
        driver.Then([&](HWND box) {
            question = qxtest::MessageBoxText(box);
            PostMessageA(box, WM_COMMAND, answer, 0);
        });
        driver.Run([&] { return (INT_PTR)page->PlotDetailsDialog(plot, 2, 0); });
        EXPECT_FALSE(driver.TimedOut());
        EXPECT_EQ("Are you sure you want to delete special point " + plot->GetDataSetName() + "[3]?", question);
        EXPECT_EQ(answer == IDOK ? 0 : 1, children);
        EXPECT_EQ(answer != IDOK, plot->GetSpecialPointLook(2) != nullptr);
    }
}

} // namespace
