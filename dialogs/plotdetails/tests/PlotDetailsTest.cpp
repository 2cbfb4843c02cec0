// Plot Details opened on a graph of the kernel's data model and driven as a user would:
// what the tree lists, which tabs each kind of plot and layer gets, that edits reach the
// kernel's objects on Apply and OK and not on Cancel, and the tab checker's rules.
#include <gtest/gtest.h>
#include <qxtest/DialogDriver.h>

#include <afxdlgs.h>
#include <commctrl.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "BoxChartPage.h"
#include "Layer3DPages.h"
#include "LinePage.h"
#include "ObjectsResources.h"
#include "PatternPage.h"
#include "PlotDetailsMain.h"
#include "PlotDetailsTestSupport.h"
#include "PlotDetailsResources.h"
#include "PlotDetailsTabChecker.h"
#include "QDGraphPage.h"
#include "QKCallLog.h"
#include "QKData.h"
#include "QKPlotModel.h"

using qxtest::DialogDriver;

namespace {

using Strings = std::vector<std::string>;

HWND Tree(HWND h)
{
    return GetDlgItem(h, IDC_PD_TREE);
}

int ItemImage(HWND tree, HTREEITEM item)
{
    TVITEMA tv = {};
    tv.mask = TVIF_IMAGE;
    tv.hItem = item;
    SendMessageA(tree, TVM_GETITEMA, 0, (LPARAM)&tv);
    return tv.iImage;
}

std::vector<HTREEITEM> Children(HWND tree, HTREEITEM parent)
{
    std::vector<HTREEITEM> items;
    for (HTREEITEM item = TreeView_GetChild(tree, parent); item; item = TreeView_GetNextSibling(tree, item))
        items.push_back(item);
    return items;
}

Strings ChildTexts(HWND tree, HTREEITEM parent)
{
    Strings texts;
    for (HTREEITEM item : Children(tree, parent))
        texts.push_back(ItemText(tree, item));
    return texts;
}

// Expands an item as a click on its button would, filling it.
void Expand(HWND tree, HTREEITEM item)
{
    TreeView_Expand(tree, item, TVE_EXPAND);
}

class PlotDetailsTest : public GraphPageTest {
protected:
    void SetUp() override { NewGraph(); }

    CQKDataObj* AddPlot(CQKGraphicLayer* to, int type, const char* name)
    {
        auto* plot = new CQKDataObj;
        plot->SetPlotObjectType(type);
        plot->SetDataSetName(name);
        to->AddObject(plot);
        return plot;
    }

    INT_PTR Open(CQKBase* obj, int type, DWORD option, DialogDriver::Step step)
    {
        DialogDriver driver;
        driver.Then(step);
        INT_PTR result = driver.Run([&] { return (INT_PTR)page->PlotDetailsDialog(obj, type, option); });
        EXPECT_FALSE(driver.TimedOut());
        EXPECT_EQ(1, driver.StepsRun());
        return result;
    }
};

TEST_F(PlotDetailsTest, TreeListsThePageItsLayersAndTheirPlots)
{
    AddPlot(layer, QK_PLOT_LINE, "Data1_B");
    AddPlot(layer, QK_PLOT_SCATTER, "Data1_C")->SetHiddenFromLegend(TRUE);
    CQKDataObj* edited = AddPlot(layer, QK_PLOT_LINE_SYMBOL, "Data1_D");
    CQKGraphicLayer* second = page->AddLayer();
    AddPlot(second, QK_PLOT_COLUMN, "Data2_B");

    Strings layers, plots, secondPlots;
    std::string root, selected;
    int secondChildrenBefore = -1;
    Open(edited, 2, 0, [&](HWND h) {
        HWND tree = Tree(h);
        HTREEITEM top = TreeView_GetRoot(tree);
        root = ItemText(tree, top);
        layers = ChildTexts(tree, top);
        std::vector<HTREEITEM> layerItems = Children(tree, top);
        plots = ChildTexts(tree, layerItems[0]);
        selected = ItemText(tree, TreeView_GetSelection(tree));
        // The other layer is filled only when it is opened.
        secondChildrenBefore = (int)Children(tree, layerItems[1]).size();
        Expand(tree, layerItems[1]);
        secondPlots = ChildTexts(tree, layerItems[1]);
        qxtest::Click(h, IDCANCEL);
    });
    EXPECT_EQ("Graph9", root);
    EXPECT_EQ("Layer1, Layer2", Join(layers));
    // A plot hidden from the legend is not listed.
    EXPECT_EQ("Data1_B, Data1_D", Join(plots));
    EXPECT_EQ("Data1_D", selected);
    EXPECT_EQ(1, secondChildrenBefore); // the placeholder that makes it expandable
    EXPECT_EQ("Data2_B", Join(secondPlots));

    // A layout page lists no layers.
    CQDGraphPage layout(&qkfxGetProject(), "Layout9", QK_PAGE_LAYOUT);
    layout.AddLayer();
    int layoutChildren = -1;
    std::string caption;
    DialogDriver driver;
    driver.Then([&](HWND h) {
        layoutChildren = (int)Children(Tree(h), TreeView_GetRoot(Tree(h))).size();
        caption = qxtest::WindowText(h);
        qxtest::Click(h, IDCANCEL);
    });
    driver.Run([&] { return (INT_PTR)layout.PlotDetailsDialog(&layout, 0, 0); });
    EXPECT_EQ(0, layoutChildren);
    EXPECT_EQ("Layout Page Details", caption);
}

// Which tabs each kind of plot shows, in the order the sheet shows them: the pages the
// sheet starts with keep their order, pages added later follow from the highest kind.
TEST_F(PlotDetailsTest, EachPlotKindShowsItsTabs)
{
    struct Case {
        int type;
        bool errorBars;
        int patterns;
        const char* tabs;
    };
    const Case cases[] = {
        {QK_PLOT_LINE, false, 1, "Line"},
        {QK_PLOT_SCATTER, false, 1, "Symbol, Drop Lines"},
        {QK_PLOT_LINE_SYMBOL, true, 1, "Line, Symbol, Drop Lines, Error Bar"},
        {QK_PLOT_COLUMN, false, 1, "Pattern, Spacing"},
        {QK_PLOT_COLUMN, false, 3, "Pattern, Pattern 2, Pattern 3, Spacing"},
        {QK_PLOT_BOX, false, 1, "Pattern, Box, Percentile"},
        {QK_PLOT_PIE, false, 1, "Pattern, Pie Geometry, Labels"},
        {QK_PLOT_VECTOR, false, 1, "Directional Vector"},
        {QK_PLOT_FUNCTION, false, 1, "Line, Function"},
        {QK_PLOT_3D_SURFACE, false, 1, "Color Map, Numeric Formats, Side Walls, Grids, Surface/Projections"},
        {QK_PLOT_3D_WALL, false, 1, "Line, Drop Lines, Pattern"},
    };
    for (const Case& c : cases) {
        CQKDataObj* plot = AddPlot(layer, c.type, "Data1_B");
        plot->SetErrorBar(c.errorBars);
        plot->SetNumberOfPattern(c.patterns);
    }
    Strings shown;
    Open(layer->PlotObjByIndex(0, 1), 2, 0, [&](HWND h) {
        HWND tree = Tree(h);
        for (HTREEITEM item : Children(tree, TreeView_GetChild(tree, TreeView_GetRoot(tree)))) {
            TreeView_SelectItem(tree, item);
            shown.push_back(Join(Tabs(h)));
        }
        qxtest::Click(h, IDCANCEL);
    });
    ASSERT_EQ(sizeof cases / sizeof cases[0], shown.size());
    for (size_t i = 0; i < shown.size(); ++i)
        EXPECT_EQ(cases[i].tabs, shown[i]) << "case " << i;
}

TEST_F(PlotDetailsTest, LineEditsReachThePlotOnApplyAndOkNotOnCancel)
{
    CQKDataObj* plot = AddPlot(layer, QK_PLOT_LINE_SYMBOL, "Data1_B");
    plot->SetType(0);
    plot->SetWidth(0.5);
    plot->SetColor(1);

    auto edit = [&](HWND h) {
        HWND line = ActivePage(h);
        qxtest::ComboSelect(line, IDC_PD_LINE_STYLE, 2);
        TypeInCombo(line, IDC_PD_LINE_WIDTH, "3");
        qxtest::ComboSelect(line, IDC_PD_LINE_COLOR, 4); // colour 3
        qxtest::SetCheck(line, IDC_PD_LINE_GAP, true);
    };

    // Cancel: nothing reaches the plot, and the dialog answers IDCANCEL.
    std::string widthShown;
    bool applyBefore = true, applyAfter = false;
    INT_PTR result = Open(plot, 2, 0, [&](HWND h) {
        widthShown = qxtest::GetText(ActivePage(h), IDC_PD_LINE_WIDTH);
        applyBefore = qxtest::IsEnabled(h, IDC_PD_APPLY);
        edit(h);
        applyAfter = qxtest::IsEnabled(h, IDC_PD_APPLY);
        qxtest::Click(h, IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ("0.5", widthShown);
    EXPECT_FALSE(applyBefore);
    EXPECT_TRUE(applyAfter);
    EXPECT_EQ(0, plot->GetType());
    EXPECT_EQ(0.5, plot->GetWidth());
    EXPECT_EQ(1, plot->GetColor());
    EXPECT_FALSE(plot->IsLineSymbolGap(0));

    // Apply then Cancel: the applied edits stay, and the dialog answers IDOK.
    bool applyAfterApply = true;
    result = Open(plot, 2, 0, [&](HWND h) {
        edit(h);
        qxtest::Click(h, IDC_PD_APPLY);
        applyAfterApply = qxtest::IsEnabled(h, IDC_PD_APPLY);
        qxtest::Click(h, IDCANCEL);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_FALSE(applyAfterApply);
    EXPECT_EQ(2, plot->GetType());
    EXPECT_EQ(3.0, plot->GetWidth());
    EXPECT_EQ(3, plot->GetColor());
    EXPECT_TRUE(plot->IsLineSymbolGap(0));

    // OK commits without Apply.
    result = Open(plot, 2, 0, [&](HWND h) {
        HWND line = ActivePage(h);
        TypeInCombo(line, IDC_PD_LINE_WIDTH, "1.5");
        qxtest::Click(h, IDOK);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(1.5, plot->GetWidth());
    EXPECT_EQ(2, plot->GetType()); // what the page showed is written back unchanged
}

TEST_F(PlotDetailsTest, LineConnectionGapAndFillRules)
{
    CQKDataObj* plot = AddPlot(layer, QK_PLOT_LINE_SYMBOL, "Data1_B");
    plot->SetConnectType(0);
    plot->SetLineInFrontSymbol(FALSE);
    bool styleAtStart = true, styleAfterConnect = false, styleAfterNone = true;
    bool frontWithGap = true, modeWithoutFill = true, modeWithFill = false;
    Open(plot, 2, 0, [&](HWND h) {
        HWND line = ActivePage(h);
        styleAtStart = qxtest::IsEnabled(line, IDC_PD_LINE_STYLE);
        qxtest::ComboSelect(line, IDC_PD_LINE_CONNECT, 1);
        styleAfterConnect = qxtest::IsEnabled(line, IDC_PD_LINE_STYLE);
        qxtest::ComboSelect(line, IDC_PD_LINE_CONNECT, 0);
        styleAfterNone = qxtest::IsEnabled(line, IDC_PD_LINE_STYLE);
        qxtest::ComboSelect(line, IDC_PD_LINE_CONNECT, 2);
        qxtest::Click(line, IDC_PD_LINE_FRONT);
        qxtest::SetCheck(line, IDC_PD_LINE_GAP, true);
        frontWithGap = qxtest::IsEnabled(line, IDC_PD_LINE_FRONT);
        modeWithoutFill = qxtest::IsEnabled(line, IDC_PD_LINE_FILL_MODE);
        qxtest::SetCheck(line, IDC_PD_LINE_FILL, true);
        modeWithFill = qxtest::IsEnabled(line, IDC_PD_LINE_FILL_MODE);
        qxtest::Click(h, IDOK);
    });
    EXPECT_FALSE(styleAtStart);
    EXPECT_TRUE(styleAfterConnect);
    EXPECT_FALSE(styleAfterNone);
    EXPECT_FALSE(frontWithGap);
    EXPECT_FALSE(modeWithoutFill);
    EXPECT_TRUE(modeWithFill);
    EXPECT_EQ(2, plot->GetConnectType());
    EXPECT_TRUE(plot->IsLineSymbolGap(0));
    // With the gap on, where the line lies is not written.
    EXPECT_FALSE(plot->IsLineInFrontSymbol(0));
    EXPECT_TRUE(plot->HasAreaFilled());
}

TEST_F(PlotDetailsTest, PatternInstancesShareTheFirstUntilTheyHaveTheirOwn)
{
    CQKDataObj* plot = AddPlot(layer, QK_PLOT_COLUMN, "Data1_B");
    plot->SetNumberOfPattern(3);
    plot->SetBKColor(1, 0);
    plot->SetFillPattern(2, 0);
    plot->SetBKColor(5, 1);
    plot->SetPatternType(0, 1); // the second face follows the first
    plot->SetBorderWidth(0.5, 0);

    struct Shown {
        bool relationVisible = false, borderEnabled = false, fillEnabled = false;
        int fillColor = -1;
    } first, second, secondOwn;
    auto look = [](HWND page, Shown& shown) {
        shown.relationVisible = IsWindowVisible(GetDlgItem(page, IDC_PD_PAT_RELATION)) != FALSE;
        shown.borderEnabled = qxtest::IsEnabled(page, IDC_PD_PAT_BORDER_COLOR);
        shown.fillEnabled = qxtest::IsEnabled(page, IDC_PD_PAT_FILL_COLOR);
        shown.fillColor = qxtest::ComboSelection(page, IDC_PD_PAT_FILL_COLOR);
    };
    bool patternWidthOff = false;
    INT_PTR result = Open(plot, 2, 0, [&](HWND h) {
        HWND page = GoTab(h, "Pattern");
        look(page, first);
        qxtest::ComboSelect(page, IDC_PD_PAT_PATTERN, 0);
        patternWidthOff = !qxtest::IsEnabled(page, IDC_PD_PAT_FILL_WIDTH) &&
                          !qxtest::IsEnabled(page, IDC_PD_PAT_PATTERN_COLOR);
        qxtest::ComboSelect(page, IDC_PD_PAT_FILL_COLOR, 4); // colour 3
        TypeInCombo(page, IDC_PD_PAT_BORDER_WIDTH, "2");
        qxtest::ComboSelect(page, IDC_PD_PAT_BORDER_COLOR, 0); // automatic
        page = GoTab(h, "Pattern 2");
        look(page, second);
        qxtest::ComboSelect(page, IDC_PD_PAT_RELATION, 1);
        look(page, secondOwn);
        qxtest::Click(h, IDOK);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_FALSE(first.relationVisible);
    EXPECT_TRUE(first.borderEnabled); // columns have borders
    EXPECT_EQ(2, first.fillColor);
    EXPECT_TRUE(patternWidthOff);
    // The second face shows the first one's settings with its fill locked until it has
    // its own, which start as what it showed.
    EXPECT_TRUE(second.relationVisible);
    EXPECT_FALSE(second.borderEnabled);
    EXPECT_FALSE(second.fillEnabled);
    EXPECT_EQ(4, second.fillColor); // the first face's colour 3, as just chosen
    EXPECT_TRUE(secondOwn.fillEnabled);
    EXPECT_EQ(4, secondOwn.fillColor);

    EXPECT_EQ(3, plot->GetBKColor(0));
    EXPECT_EQ(0, plot->GetFillPattern(0));
    EXPECT_EQ(2.0, plot->GetBorderWidth(0));
    // "Automatic" is written as the colour it stands for.
    EXPECT_EQ(plot->GetActualColorForAutoColor(6), plot->GetBorderColor(0));
    EXPECT_EQ(1, plot->GetPatternType(1));
    EXPECT_EQ(3, plot->GetBKColor(1));

    // An area plot (lines and symbols) has no border unless drawn with a 3D frame.
    CQKDataObj* area = AddPlot(layer, QK_PLOT_AREA, "Data1_C");
    for (bool frame : {false, true}) {
        area->Set3DFrame(frame);
        bool border = !frame;
        Open(area, 2, 0, [&](HWND h) {
            border = qxtest::IsEnabled(GoTab(h, "Pattern"), IDC_PD_PAT_BORDER_COLOR);
            qxtest::Click(h, IDCANCEL);
        });
        EXPECT_EQ(frame, border);
    }
}

TEST_F(PlotDetailsTest, SpacingShowsWholePercentagesAndHidesWhatThePlotHasNot)
{
    CQKDataObj* column = AddPlot(layer, QK_PLOT_COLUMN, "Data1_B");
    column->SetBoxGap(30);
    std::string gapShown;
    bool overlapEnabled = true, thicknessShown = true;
    Open(column, 2, 0, [&](HWND h) {
        HWND spacing = GoTab(h, "Spacing");
        gapShown = qxtest::GetText(spacing, IDC_PD_SP_GAP);
        overlapEnabled = qxtest::IsEnabled(spacing, IDC_PD_SP_OVERLAP);
        thicknessShown = IsWindowVisible(GetDlgItem(spacing, IDC_PD_SP_THICKNESS)) != FALSE;
        TypeInCombo(spacing, IDC_PD_SP_GAP, "42.6");
        TypeInCombo(spacing, IDC_PD_SP_OVERLAP, "nothing");
        qxtest::Click(h, IDOK);
    });
    EXPECT_EQ("30", gapShown);
    EXPECT_FALSE(overlapEnabled); // one dataset: nothing to overlap
    EXPECT_FALSE(thicknessShown);
    EXPECT_EQ(43, column->GetBoxGap());
    EXPECT_EQ(0, column->GetGapWithinGroup()); // a text that is no number changes nothing
}

TEST_F(PlotDetailsTest, DependentGroupSelectsItsFirstPlotIndependentGroupEditsTheMember)
{
    CQKDataObj* plots[3];
    const char* names[3] = {"Data1_B", "Data1_C", "Data1_D"};
    for (int i = 0; i < 3; ++i) {
        plots[i] = AddPlot(layer, QK_PLOT_LINE, names[i]);
        plots[i]->SetGroup(1, i == 0);
    }
    CQKDataObj* single = AddPlot(layer, QK_PLOT_LINE, "Data1_E");
    single->SetGroup(2, TRUE); // a group of one

    std::string selected, groupSingle;
    std::vector<int> images;
    Strings tabs, singleTabs;
    bool typeEnabled = false;
    Open(plots[2], 2, 0, [&](HWND h) {
        HWND tree = Tree(h);
        selected = ItemText(tree, TreeView_GetSelection(tree));
        for (HTREEITEM item : Children(tree, TreeView_GetChild(tree, TreeView_GetRoot(tree))))
            images.push_back(ItemImage(tree, item));
        tabs = Tabs(h);
        typeEnabled = qxtest::IsEnabled(h, IDC_PD_PLOT_TYPE);
        TreeView_SelectItem(tree, Children(tree, TreeView_GetChild(tree, TreeView_GetRoot(tree)))[3]);
        singleTabs = Tabs(h);
        qxtest::Click(h, IDCANCEL);
    });
    EXPECT_EQ("Data1_B", selected);
    // The group's plots show highlighted; the plot in a group of its own does not.
    ASSERT_EQ(4u, images.size());
    EXPECT_EQ(PD_IMAGE_PLOT_SELECTED + 0, images[0]);
    EXPECT_EQ(PD_IMAGE_PLOT_SELECTED + 1, images[1]);
    EXPECT_EQ(PD_IMAGE_PLOT_SELECTED + 1, images[2]);
    EXPECT_EQ(PD_IMAGE_PLOT + 0, images[3]);
    EXPECT_EQ("Line, Group", Join(tabs));
    EXPECT_TRUE(typeEnabled);
    EXPECT_EQ("Line", Join(singleTabs));

    for (CQKDataObj* plot : plots)
        plot->SetIndependence(TRUE);
    Open(plots[2], 2, 0, [&](HWND h) {
        selected = ItemText(Tree(h), TreeView_GetSelection(Tree(h)));
        typeEnabled = qxtest::IsEnabled(h, IDC_PD_PLOT_TYPE);
        qxtest::Click(h, IDCANCEL);
    });
    EXPECT_EQ("Data1_D", selected);
    EXPECT_FALSE(typeEnabled);
}

TEST_F(PlotDetailsTest, PlotTypeChangeRebuildsTheTabsAndCommitsOnlyOnApply)
{
    CQKDataObj* plot = AddPlot(layer, QK_PLOT_LINE, "Data1_B");
    for (bool apply : {false, true}) {
        Strings before, after;
        std::string wks;
        Open(plot, 2, 0, [&](HWND h) {
            before = Tabs(h);
            wks = qxtest::GetText(h, IDC_PD_WORKBOOK);
            HWND combo = GetDlgItem(h, IDC_PD_PLOT_TYPE);
            int scatter = (int)SendMessageA(combo, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM) "Scatter");
            qxtest::ComboSelect(h, IDC_PD_PLOT_TYPE, scatter);
            after = Tabs(h);
            qxtest::Click(h, apply ? IDOK : IDCANCEL);
        });
        EXPECT_EQ("Line", Join(before));
        EXPECT_EQ("Symbol, Drop Lines", Join(after));
        EXPECT_EQ("Worksheet", wks);
        EXPECT_EQ(apply ? QK_PLOT_SCATTER : QK_PLOT_LINE, plot->GetPlotObjectType(0)) << apply;
    }
}

TEST_F(PlotDetailsTest, TabCheckerRestoresTheLastTabAndStoresItOnApply)
{
    CQKDataObj* plot = AddPlot(layer, QK_PLOT_LINE_SYMBOL, "Data1_B");
    plot->SetErrorBar(TRUE);
    plot->SetNumberOfPattern(1);
    struct Case {
        int stored;
        const char* active;
    };
    // Error Bar (9) stands in the first sheet; a stored kind of 22 or more is not
    // restored, and a stored kind whose page the plot does not want falls back.
    const Case cases[] = {{PD_KIND_ERROR_BAR, "Error Bar"},
                          {PD_KIND_DROP_LINES, "Drop Lines"},
                          {22, "Line"},
                          {PD_KIND_PIE_LABELS, "Line"}};
    for (const Case& c : cases) {
        plot->SetActiveTabID(c.stored);
        std::string active;
        Open(plot, 2, 0, [&](HWND h) {
            active = ActiveTab(h);
            qxtest::Click(h, IDCANCEL);
        });
        EXPECT_EQ(c.active, active) << c.stored;
    }

    // Apply stores the tab that is showing.
    plot->SetActiveTabID(0);
    Open(plot, 2, 0, [&](HWND h) {
        HWND symbolPage = GoTab(h, "Symbol");
        (void)symbolPage;
        Dialog(h)->SendMessage(WM_PD_ENABLE_APPLY, 0, 0);
        qxtest::Click(h, IDC_PD_APPLY);
        qxtest::Click(h, IDCANCEL);
    });
    EXPECT_EQ(PD_KIND_SYMBOL, plot->GetActiveTabID(1));
}

TEST_F(PlotDetailsTest, TabCheckerInstancesAndTabIds)
{
    CQKDataObj* plot = AddPlot(layer, QK_PLOT_COLUMN, "Data1_B");
    plot->SetNumberOfPattern(5); // more than three count as three
    int patternCount = 0, secondPatternId = -1, spacingId = -1;
    Open(plot, 2, 0, [&](HWND h) {
        CQUPlotDetailsTabChecker* checker = Dialog(h)->GetTabManager().GetTabChecker();
        patternCount = checker->GetInstanceCount(PD_KIND_PATTERN);
        GoTab(h, "Pattern 2");
        secondPatternId = checker->GetCurrentTabID();
        GoTab(h, "Spacing");
        spacingId = checker->GetCurrentTabID();
        qxtest::Click(h, IDCANCEL);
    });
    EXPECT_EQ(3, patternCount);
    EXPECT_EQ(PD_KIND_PATTERN + 256, secondPatternId);
    EXPECT_EQ(PD_KIND_SPACING, spacingId);
}

TEST_F(PlotDetailsTest, LayerTabsAndFirstTab)
{
    struct Case {
        int layers;
        bool is3D;
        DWORD option;
        const char* tabs;
        const char* active;
    };
    const Case cases[] = {
        {1, false, 0, "Background, Size/Speed, Display", "Background"},
        {2, false, 1, "Background, Size/Speed, Display, Link Axes Scales", "Link Axes Scales"},
        // Without links the sheet starts on its first page.
        {1, false, 1, "Background, Size/Speed, Display", "Background"},
        {2, true, 0, "Background, Size/Speed, Display, Link Axes Scales, Miscellaneous, Axis, Planes", "Background"},
    };
    for (const Case& c : cases) {
        SetUp();
        CQKGraphicLayer* edited = c.is3D ? page->AddLayer(true) : layer;
        for (int i = page->GetNumLayers(); i < c.layers; ++i)
            page->AddLayer();
        std::string tabs, active, caption;
        bool workbookVisible = true, typeVisible = true;
        Open(edited, 1, c.option, [&](HWND h) {
            tabs = Join(Tabs(h));
            active = ActiveTab(h);
            workbookVisible = IsWindowVisible(GetDlgItem(h, IDC_PD_WORKBOOK));
            typeVisible = IsWindowVisible(GetDlgItem(h, IDC_PD_PLOT_TYPE));
            qxtest::Click(h, IDCANCEL);
        });
        EXPECT_EQ(c.tabs, tabs) << c.layers << c.is3D;
        EXPECT_EQ(c.active, active) << c.layers << c.option;
        EXPECT_FALSE(workbookVisible);
        EXPECT_FALSE(typeVisible);
    }
}

TEST_F(PlotDetailsTest, GraphPagePagesEditThePageOnlyOnApplyOrOk)
{
    std::string tabs;
    bool gradientAtStart = true, directionWithBase = true, directionWithBoth = false;
    std::string widthInCm, widthBack;
    for (int close : {IDCANCEL, IDOK}) {
        INT_PTR result = Open(page.get(), 0, 0, [&](HWND h) {
            tabs = Join(Tabs(h));
            HWND display = GoTab(h, "Display");
            gradientAtStart = qxtest::IsEnabled(display, IDC_PD_PG_GRADIENT_COLOR);
            qxtest::ComboSelect(display, IDC_PD_PG_BASE_COLOR, 3);
            directionWithBase = qxtest::IsEnabled(display, IDC_PD_PG_GRADIENT_CNTL);
            qxtest::ComboSelect(display, IDC_PD_PG_GRADIENT_COLOR, 5);
            directionWithBoth = qxtest::IsEnabled(display, IDC_PD_PG_GRADIENT_CNTL);
            qxtest::ComboSelect(display, IDC_PD_PG_GRADIENT_CNTL, 4);
            qxtest::SetCheck(display, IDC_PD_PG_CONNECT_MISS, true);
            HWND print = GoTab(h, "Print/Dimensions");
            qxtest::ComboSelect(print, IDC_PD_PG_UNITS, 1);
            widthInCm = qxtest::GetText(print, IDC_PD_PG_WIDTH);
            qxtest::ComboSelect(print, IDC_PD_PG_UNITS, 0);
            widthBack = qxtest::GetText(print, IDC_PD_PG_WIDTH);
            qxtest::ComboSelect(print, IDC_PD_PG_UNITS, 2);
            qxtest::SetCheck(print, IDC_PD_PG_PRINTER_WIDTH, false);
            qxtest::Click(h, close);
        });
        EXPECT_EQ(close, result);
        const QKGraphPageState& st = page->GetPageState();
        if (close == IDCANCEL) {
            EXPECT_EQ(0, st.colorCntl);
            EXPECT_FALSE(st.connectMiss);
            EXPECT_EQ(0, st.dimUnits);
            EXPECT_FALSE(st.customWidth);
        }
    }
    EXPECT_EQ("Print/Dimensions, Miscellaneous, Display, Legends", tabs);
    EXPECT_FALSE(gradientAtStart);
    EXPECT_FALSE(directionWithBase);
    EXPECT_TRUE(directionWithBoth);
    EXPECT_EQ("25.4", widthInCm);
    EXPECT_EQ("10", widthBack);
    const QKGraphPageState& st = page->GetPageState();
    EXPECT_EQ(2, st.colorCntl);
    EXPECT_EQ(3, st.colorBase);
    EXPECT_EQ(5, st.colorGradient);
    EXPECT_EQ(4, st.colorGradientCntl);
    EXPECT_TRUE(st.connectMiss);
    EXPECT_EQ(2, st.dimUnits);
    EXPECT_NEAR(254.0, st.dimWidth, 1e-9);
    EXPECT_TRUE(st.customWidth);
    EXPECT_FALSE(st.customHeight);

    // A layout page has no legends, nor the checks that only graphs have.
    CQDGraphPage layout(&qkfxGetProject(), "Layout9", QK_PAGE_LAYOUT);
    layout.AddLayer();
    bool speedShown = true, connectShown = true;
    DialogDriver driver;
    driver.Then([&](HWND h) {
        tabs = Join(Tabs(h));
        speedShown = IsWindowVisible(GetDlgItem(GoTab(h, "Miscellaneous"), IDC_PD_PG_SPEED_EXPORT)) != FALSE;
        connectShown = IsWindowVisible(GetDlgItem(GoTab(h, "Display"), IDC_PD_PG_CONNECT_BREAK)) != FALSE;
        qxtest::Click(h, IDCANCEL);
    });
    driver.Run([&] { return (INT_PTR)layout.PlotDetailsDialog(&layout, 0, 0); });
    EXPECT_EQ("Print/Dimensions, Miscellaneous, Display", tabs);
    EXPECT_FALSE(speedShown);
    EXPECT_FALSE(connectShown);
}

TEST_F(PlotDetailsTest, BackgroundNoneSwitchesOffAndColoursShiftByOne)
{
    layer->SetBkgBorder(TRUE);
    layer->SetBkgBorderStyle(2);
    layer->SetBkgColor(FALSE);
    int borderShown = -1, colorShown = -1;
    INT_PTR result = Open(layer, 1, 0, [&](HWND h) {
        HWND bkg = ActivePage(h);
        borderShown = qxtest::ComboSelection(bkg, IDC_PD_BKG_BORDER);
        colorShown = qxtest::ComboSelection(bkg, IDC_PD_BKG_COLOR);
        qxtest::ComboSelect(bkg, IDC_PD_BKG_BORDER, 0);
        qxtest::ComboSelect(bkg, IDC_PD_BKG_COLOR, 4);
        qxtest::Click(h, IDOK);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(3, borderShown);
    EXPECT_EQ(0, colorShown);
    EXPECT_FALSE(layer->IsBkgBorder());
    EXPECT_EQ(2, layer->GetBkgBorderStyle()); // the style stays for when the border comes back
    EXPECT_TRUE(layer->IsBkgColor());
    EXPECT_EQ(3, layer->GetBkgColorValue());
}

TEST_F(PlotDetailsTest, SizeSpeedConvertsUnitsInPlaceAndRefusesOutOfRangePoints)
{
    layer->SetMeasUnits(QK_UNITS_INCH);
    layer->SetMeasWidth(5);
    layer->SetMeasHeight(3);
    layer->SetMeasLeft(1);
    layer->SetMeasTop(0.5);
    Strings unitsShown, cachingShown;
    std::string widthCm, widthMm;
    double widthBeforeApply = 0;
    std::string refusal;
    bool stillOpen = false;
    DialogDriver driver;
    driver.Then([&](HWND h) {
        HWND size = GoTab(h, "Size/Speed");
        HWND units = GetDlgItem(size, IDC_PD_SIZE_UNITS);
        for (int i = 0; i < (int)SendMessageA(units, CB_GETCOUNT, 0, 0); ++i) {
            char text[64];
            SendMessageA(units, CB_GETLBTEXT, i, (LPARAM)text);
            unitsShown.push_back(text);
        }
        HWND caching = GetDlgItem(size, IDC_PD_SIZE_CACHING);
        for (int i = 0; i < (int)SendMessageA(caching, CB_GETCOUNT, 0, 0); ++i) {
            char text[64];
            SendMessageA(caching, CB_GETLBTEXT, i, (LPARAM)text);
            cachingShown.push_back(text);
        }
        qxtest::ComboSelect(size, IDC_PD_SIZE_UNITS, QK_UNITS_CM);
        widthCm = qxtest::GetText(size, IDC_PD_SIZE_WIDTH);
        qxtest::ComboSelect(size, IDC_PD_SIZE_UNITS, QK_UNITS_MM);
        widthMm = qxtest::GetText(size, IDC_PD_SIZE_WIDTH);
        widthBeforeApply = layer->GetMeasWidth();
        qxtest::SetCheck(size, IDC_PD_SIZE_MATRIX_CHECK, true);
        qxtest::SetText(size, IDC_PD_SIZE_MATRIX_X, "1");
        qxtest::Click(h, IDOK); // refused: the box below answers, the dialog stays
        stillOpen = IsWindow(h) && IsWindowVisible(h);
        qxtest::SetText(ActivePage(h), IDC_PD_SIZE_MATRIX_X, "20");
        qxtest::Click(h, IDOK);
    });
    driver.Then([&](HWND box) {
        refusal = qxtest::MessageBoxText(box);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    INT_PTR result = driver.Run([&] { return (INT_PTR)page->PlotDetailsDialog(layer, 1, 0); });
    EXPECT_FALSE(driver.TimedOut());
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ("% of Page, Inch, cm, mm, Pixel", Join(unitsShown));
    EXPECT_EQ("None, Raster", Join(cachingShown));
    EXPECT_EQ("12.7", widthCm);
    EXPECT_EQ("127", widthMm); // converted from centimetres, not again from inches
    EXPECT_EQ(5.0, widthBeforeApply);
    EXPECT_NE(std::string::npos, refusal.find("2")) << refusal;
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(QK_UNITS_MM, layer->GetMeasUnits());
    EXPECT_NEAR(127.0, layer->GetMeasWidth(), 1e-9);
    EXPECT_TRUE(layer->IsMatrixSkipPoints());
    EXPECT_EQ(20, layer->GetMatrixSkipXPoints());
}

TEST_F(PlotDetailsTest, DisplayAndLinkPagesWriteTheLayerOnApply)
{
    CQKGraphicLayer* second = page->AddLayer();
    second->SetMeasUnits(QK_UNITS_LINK_PERCENT);
    second->SetLinkToLayerIndex(0);
    std::string linkShown, unitsAfterUnlink;
    bool x1Enabled = true, x1EnabledCustom = false;
    Open(second, 1, 1, [&](HWND h) {
        HWND link = ActivePage(h);
        char text[64] = "";
        SendDlgItemMessageA(link, IDC_PD_LINK_TO, CB_GETLBTEXT,
                            SendDlgItemMessageA(link, IDC_PD_LINK_TO, CB_GETCURSEL, 0, 0), (LPARAM)text);
        linkShown = text;
        x1Enabled = qxtest::IsEnabled(link, IDC_PD_LINK_X1);
        qxtest::Click(link, IDC_PD_LINK_X_CUSTOM);
        x1EnabledCustom = qxtest::IsEnabled(link, IDC_PD_LINK_X1);
        qxtest::SetText(link, IDC_PD_LINK_X1, "X1*2");
        qxtest::Click(h, IDC_PD_APPLY);
        // Unlinking shows at once on Size/Speed, whose units need the link.
        qxtest::ComboSelect(link, IDC_PD_LINK_TO, 0);
        HWND size = GoTab(h, "Size/Speed");
        unitsAfterUnlink = qxtest::GetText(size, IDC_PD_SIZE_UNITS);
        HWND display = GoTab(h, "Display");
        qxtest::SetCheck(display, IDC_PD_DISP_X_AXES, false);
        qxtest::Click(display, IDC_PD_DISP_FIXED);
        qxtest::SetText(display, IDC_PD_DISP_FACTOR, "2.5");
        qxtest::Click(h, IDCANCEL);
    });
    EXPECT_EQ("Layer1", linkShown);
    EXPECT_FALSE(x1Enabled);
    EXPECT_TRUE(x1EnabledCustom);
    EXPECT_EQ("% of Page", unitsAfterUnlink);
    // What Apply wrote stays; what came after it went with Cancel.
    EXPECT_EQ(2, second->GetLayerXAxisLink());
    EXPECT_EQ("X1*2", second->GetLayerLinkX1());
    EXPECT_TRUE(second->IsThereLinkedFrame());
    EXPECT_EQ(QK_UNITS_LINK_PERCENT, second->GetMeasUnits());
    EXPECT_TRUE(second->IsAxisDisplayed(QK_AXIS_X));
    EXPECT_EQ(0, second->GetScaleWithLayer());

    Open(second, 1, 0, [&](HWND h) {
        HWND display = GoTab(h, "Display");
        qxtest::SetCheck(display, IDC_PD_DISP_X_AXES, false);
        qxtest::Click(display, IDC_PD_DISP_FIXED);
        qxtest::SetText(display, IDC_PD_DISP_FACTOR, "2.5");
        qxtest::Click(h, IDOK);
    });
    EXPECT_FALSE(second->IsAxisDisplayed(QK_AXIS_X));
    EXPECT_EQ(1, second->GetScaleWithLayer());
    EXPECT_EQ(2.5, second->GetScalingFactor());
}

// The Delete command on the tree: what it refuses, what it asks, and that what it removes
// reaches the graph only with Apply or OK.
TEST_F(PlotDetailsTest, DeleteWaitsForApplyAndAsksAboutTheDataset)
{
    CQKWksPage* wks = static_cast<CQKWksPage*>(qkfxGetProject().CreatePage(QK_PAGE_WKS));
    std::string names[3];
    CQKDataObj* plots[3];
    for (int i = 0; i < 3; ++i) {
        names[i] = wks->AddColumn()->GetName();
        plots[i] = AddPlot(layer, QK_PLOT_LINE, names[i].c_str());
    }
    plots[2]->SetGroup(1, TRUE);

    struct Case {
        int plot;          // the plot to delete
        UINT answer;       // to "also delete the dataset?"
        int close;         // IDOK or IDCANCEL
        int treePlots;     // plot items left in the tree at once
        int plotsAfter;
        bool datasetAfter;
    };
    const Case cases[] = {
        {0, IDCANCEL, IDOK, 3, 3, true}, // the question cancelled: nothing
        {0, IDYES, IDCANCEL, 2, 3, true}, // the dialog cancelled: nothing
        {0, IDNO, IDOK, 2, 2, true},      // the plot goes, its dataset stays
        {0, IDYES, IDOK, 1, 1, false},    // (now the second plot) both go
    };
    for (const Case& c : cases) {
        CQKPlotObj* target = layer->PlotObjByIndex(c.plot, 1);
        std::string name = target->GetDataSetName();
        std::string question;
        int treePlots = -1;
        DialogDriver driver;
        driver.Then([&](HWND h) {
            HWND tree = Tree(h);
            HTREEITEM layerItem = TreeView_GetChild(tree, TreeView_GetRoot(tree));
            TreeView_SelectItem(tree, Children(tree, layerItem)[c.plot]);
            SendMessageA(tree, WM_COMMAND, ID_PD_TREE_DELETE, 0);
            treePlots = (int)Children(tree, layerItem).size();
            qxtest::Click(h, c.close);
        });
        driver.Then([&](HWND box) {
            question = qxtest::MessageBoxText(box);
            PostMessageA(box, WM_COMMAND, c.answer, 0);
        });
        driver.Run([&] { return (INT_PTR)page->PlotDetailsDialog(target, 2, 0); });
        EXPECT_FALSE(driver.TimedOut());
        EXPECT_NE(std::string::npos, question.find("Plot Object " + name + " will be removed from Layer1")) << question;
        EXPECT_EQ(c.treePlots, treePlots);
        EXPECT_EQ(c.plotsAfter, layer->GetNumPlots()) << c.answer << " " << c.close;
        EXPECT_EQ(c.datasetAfter, qkfxGetProject().FindDataset(name) != nullptr) << name;
    }

    // Refusals: a plot in a group, the page; the last layer; the Delete key.
    struct Refusal {
        int depth;
        const char* message;
    };
    const Refusal refusals[] = {{2, "The plot object in the group cannot be removed."},
                                {0, "Graph windows cannot be deleted from here."},
                                {1, "You cannot delete the last layer in a graph."}};
    for (const Refusal& r : refusals) {
        std::string message;
        DialogDriver driver;
        driver.Then([&](HWND h) {
            HWND tree = Tree(h);
            HTREEITEM item = TreeView_GetRoot(tree);
            if (r.depth >= 1)
                item = TreeView_GetChild(tree, item);
            if (r.depth >= 2)
                item = Children(tree, item).back();
            TreeView_SelectItem(tree, item);
            // The Delete key as the modal loop passes it on.
            MSG msg = {tree, WM_KEYDOWN, VK_DELETE, 0};
            Dialog(h)->GetTree().PreTranslateMessage(&msg);
            qxtest::Click(h, IDOK);
        });
        driver.Then([&](HWND box) {
            message = qxtest::MessageBoxText(box);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        });
        driver.Run([&] { return (INT_PTR)page->PlotDetailsDialog(layer->PlotObjByIndex(0, 1), 2, 0); });
        EXPECT_FALSE(driver.TimedOut());
        EXPECT_EQ(0u, message.find(r.message)) << message;
    }
    EXPECT_EQ(1, layer->GetNumPlots());

    // With two layers the question comes, and OK removes the layer.
    page->AddLayer();
    DialogDriver driver;
    std::string question;
    driver.Then([&](HWND h) {
        HWND tree = Tree(h);
        TreeView_SelectItem(tree, Children(tree, TreeView_GetRoot(tree))[1]);
        SendMessageA(tree, WM_COMMAND, ID_PD_TREE_DELETE, 0);
        qxtest::Click(h, IDOK);
    });
    driver.Then([&](HWND box) {
        question = qxtest::MessageBoxText(box);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    driver.Run([&] { return (INT_PTR)page->PlotDetailsDialog(layer, 1, 0); });
    EXPECT_EQ("Are you sure you want to delete the selected layer?", question);
    EXPECT_EQ(1, page->GetNumLayers());
}

TEST_F(PlotDetailsTest, WorkbookButtonAndSpaceSaving)
{
    CQKDataObj* plot = AddPlot(layer, QK_PLOT_LINE, "Data1_B");
    plot->SetUsesMatrixData(TRUE);
    std::string text, first, second;
    RECT sheetShown = {}, sheetHidden = {}, treeShown = {}, sheetBack = {}, dialogShown = {}, dialogHidden = {};
    bool treeVisibleAfter = true;
    Open(plot, 2, 0, [&](HWND h) {
        text = qxtest::GetText(h, IDC_PD_WORKBOOK);
        first = qxtest::GetText(h, IDC_PD_SPACE_SAVING);
        GetWindowRect(Sheet(h), &sheetShown);
        GetWindowRect(Tree(h), &treeShown);
        GetWindowRect(h, &dialogShown);
        qxtest::Click(h, IDC_PD_SPACE_SAVING);
        second = qxtest::GetText(h, IDC_PD_SPACE_SAVING);
        GetWindowRect(Sheet(h), &sheetHidden);
        GetWindowRect(h, &dialogHidden);
        treeVisibleAfter = IsWindowVisible(Tree(h));
        qxtest::Click(h, IDC_PD_SPACE_SAVING);
        GetWindowRect(Sheet(h), &sheetBack);
        qxtest::Click(h, IDC_PD_SPACE_SAVING); // left hidden for the next opening
        qxtest::Click(h, IDCANCEL);
    });
    EXPECT_EQ("Matrix", text);
    EXPECT_EQ(">>", first);
    EXPECT_EQ("<<", second);
    EXPECT_FALSE(treeVisibleAfter);
    // With the tree shown the sheet stands 15 pixels right of it. The dialog keeps its
    // right edge: hiding the tree takes the tree's width and gap off its left.
    EXPECT_EQ(treeShown.right + 15, sheetShown.left);
    EXPECT_EQ(sheetShown.left, sheetHidden.left);
    EXPECT_EQ(dialogShown.right, dialogHidden.right);
    EXPECT_EQ((dialogShown.right - dialogShown.left) - (treeShown.right - treeShown.left) - 15,
              dialogHidden.right - dialogHidden.left);
    EXPECT_EQ(sheetShown.left, sheetBack.left);

    std::string next;
    Open(plot, 2, 0, [&](HWND h) {
        next = qxtest::GetText(h, IDC_PD_SPACE_SAVING);
        qxtest::Click(h, IDC_PD_SPACE_SAVING);
        qxtest::Click(h, IDCANCEL);
    });
    EXPECT_EQ("<<", next);
    EXPECT_EQ(1, CQUPlotDetailsMain::GetSpaceSavingState());

    // The button opens the plot's worksheet and closes the dialog as Cancel.
    CQKWksPage* wks = static_cast<CQKWksPage*>(qkfxGetProject().CreatePage(QK_PAGE_WKS));
    CQKDataObj* fromWks = AddPlot(layer, QK_PLOT_LINE, "Data1_C");
    fromWks->SetData(wks->AddColumn()->GetHandle());
    qkfxGetCallLog().Clear();
    INT_PTR result = Open(fromWks, 2, 0, [&](HWND h) {
        text = qxtest::GetText(h, IDC_PD_WORKBOOK);
        qxtest::Click(h, IDC_PD_WORKBOOK);
    });
    EXPECT_EQ("Worksheet", text);
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_GE(qkfxGetCallLog().Find("CQKDataObj::OpenWorksheet"), 0);
}

} // namespace

namespace {

// A page drawn into a bitmap of its own, counted by colour.
std::map<COLORREF, int> DrawnColours(CQKGraphPage* page, int w, int h)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bmp);
    RECT rect = {0, 0, w, h};
    page->Draw(dc, rect);
    GdiFlush();
    std::map<COLORREF, int> counts;
    const DWORD* p = static_cast<const DWORD*>(bits);
    for (int i = 0; i < w * h; ++i)
        ++counts[RGB((p[i] >> 16) & 0xFF, (p[i] >> 8) & 0xFF, p[i] & 0xFF)];
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    return counts;
}

TEST_F(PlotDetailsTest, ThreeDLayerPagesWriteTheLayerOnOkNotOnCancel)
{
    auto* layer3D = dynamic_cast<CQK3DLayer*>(page->AddLayer(true));
    ASSERT_NE(nullptr, layer3D);
    layer3D->SetAutoPosition(FALSE); // planes stay where the page puts them
    enum Kind { kText, kCheck, kCombo };
    struct Case {
        const char* tab;
        int id;
        Kind kind;
        const char* text; // typed, or the check or combo index as a number
        std::function<double(CQK3DLayer*)> read;
        double expected;
    };
    const Case cases[] = {
        {"Axis", IDC_PD_3D_X_LENGTH, kText, "1.5", [](CQK3DLayer* l) { return l->GetXAxisLength(); }, 1.5},
        {"Axis", IDC_PD_3D_Y_LENGTH, kText, "0.75", [](CQK3DLayer* l) { return l->GetYAxisLength(); }, 0.75},
        {"Axis", IDC_PD_3D_Z_LENGTH, kText, "2", [](CQK3DLayer* l) { return l->GetZAxisLength(); }, 2},
        {"Axis", IDC_PD_3D_X_ROTATION, kText, "20", [](CQK3DLayer* l) { l->CalcRotAngles(); return l->GetXRotation(); }, 20},
        {"Axis", IDC_PD_3D_Y_ROTATION, kText, "5", [](CQK3DLayer* l) { l->CalcRotAngles(); return l->GetYRotation(); }, 5},
        {"Axis", IDC_PD_3D_Z_ROTATION, kText, "30", [](CQK3DLayer* l) { l->CalcRotAngles(); return l->GetZRotation(); }, 30},
        {"Axis", IDC_PD_3D_PERSPECTIVE, kText, "45", [](CQK3DLayer* l) { return l->GetPerspectiveAngle(); }, 30}, // kept within 0-30
        {"Axis", IDC_PD_3D_ROTATE_LABELS, kCheck, "1", [](CQK3DLayer* l) { return (double)l->HasRotateLabel(); }, 1},
        {"Miscellaneous", IDC_PD_3D_X_FROM, kText, "10", [](CQK3DLayer* l) { return l->GetXFrom(); }, 10},
        {"Miscellaneous", IDC_PD_3D_X_TO, kText, "90", [](CQK3DLayer* l) { return l->GetXTo(); }, 90},
        {"Miscellaneous", IDC_PD_3D_Y_FROM, kText, "20", [](CQK3DLayer* l) { return l->GetYFrom(); }, 20},
        {"Miscellaneous", IDC_PD_3D_Y_TO, kText, "80", [](CQK3DLayer* l) { return l->GetYTo(); }, 80},
        {"Miscellaneous", IDC_PD_3D_PROJECTION, kCombo, "1", [](CQK3DLayer* l) { return (double)l->IsProjectionPrespective(); }, 0},
        {"Planes", IDC_PD_3D_AUTO_POSITION, kCheck, "1", [](CQK3DLayer* l) { return (double)l->HasAutoPosition(); }, 1},
        {"Planes", IDC_PD_3D_YZ, kCheck, "0", [](CQK3DLayer* l) { return (double)l->HasYZPlaneShown(); }, 0},
        {"Planes", IDC_PD_3D_ZX, kCheck, "0", [](CQK3DLayer* l) { return (double)l->HasZXPlaneShown(); }, 0},
        {"Planes", IDC_PD_3D_XY_POSITION, kText, "25", [](CQK3DLayer* l) { return l->GetXYPosition(); }, 25},
        {"Planes", IDC_PD_3D_XY_COLOR, kCombo, "1", [](CQK3DLayer* l) { return (double)l->GetXYColor(); }, 1},
        {"Planes", IDC_PD_3D_OUTLINE, kCheck, "1", [](CQK3DLayer* l) { return (double)l->IsEnabledCubeOutline(); }, 1},
        {"Planes", IDC_PD_3D_OUTLINE_COLOR, kCombo, "3", [](CQK3DLayer* l) { return (double)l->GetCubeOutlineColor(); }, 3},
        {"Planes", IDC_PD_3D_OUTLINE_STYLE, kCombo, "2", [](CQK3DLayer* l) { return (double)l->GetCubeOutlineStyle(); }, 2},
    };
    std::vector<double> before;
    for (const Case& c : cases)
        before.push_back(c.read(layer3D));
    const std::map<COLORREF, int> drawnBefore = DrawnColours(page.get(), 400, 300);
    bool clipEnabled = true, positionEnabled = false, outlineEnabled = true;
    for (int close : {IDCANCEL, IDOK}) {
        Open(layer3D, 1, 0, [&](HWND h) {
            clipEnabled = qxtest::IsEnabled(GoTab(h, "Miscellaneous"), IDC_PD_3D_CLIP);
            HWND planes = GoTab(h, "Planes");
            outlineEnabled = qxtest::IsEnabled(planes, IDC_PD_3D_OUTLINE_COLOR);
            for (const Case& c : cases) {
                HWND tab = GoTab(h, c.tab);
                if (c.kind == kText)
                    qxtest::SetText(tab, c.id, c.text);
                else if (c.kind == kCheck)
                    qxtest::SetCheck(tab, c.id, atoi(c.text) != 0);
                else
                    qxtest::ComboSelect(tab, c.id, atoi(c.text));
            }
            positionEnabled = qxtest::IsEnabled(planes, IDC_PD_3D_YZ_POSITION);
            qxtest::Click(h, close);
        });
        for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i)
            EXPECT_NEAR(close == IDOK ? cases[i].expected : before[i], cases[i].read(layer3D), 0.01)
                << cases[i].tab << " " << cases[i].id << " " << (close == IDOK ? "OK" : "Cancel");
    }
    // A 3D layer without plots the library clips has its clipping greyed; a plane's
    // position follows its check, the outline's controls the outline's.
    EXPECT_FALSE(clipEnabled);
    EXPECT_FALSE(positionEnabled);
    EXPECT_FALSE(outlineEnabled);
    // The graph draws the floor in red and the front-corner outline in blue.
    std::map<COLORREF, int> drawnAfter = DrawnColours(page.get(), 400, 300);
    EXPECT_EQ(0, drawnBefore.count(RGB(255, 0, 0)));
    EXPECT_GT(drawnAfter[RGB(255, 0, 0)], 500);
    EXPECT_GT(drawnAfter[RGB(0, 0, 255)], 50);
}

TEST_F(PlotDetailsTest, BoxPageWritesTheBoxChartOnOkNotOnCancel)
{
    CQKWksPage* wks = static_cast<CQKWksPage*>(qkfxGetProject().CreatePage(QK_PAGE_WKS));
    CQKDataset* column = wks->AddColumn();
    for (int i = 0; i < 40; ++i)
        column->SetValue(i, (i * 37) % 41 / 4.0);
    QKPlotData data;
    data.role = QK_ROLE_Y;
    data.dataset = column->GetName();
    data.handle = column->GetHandle();
    std::string error;
    CQKPlotObj* box = qkfxAddPlot(layer, QK_PLOT_BOX, {data}, &error);
    ASSERT_NE(nullptr, box) << error;
    box->SetColor(1); // red
    if (CQKTextObj* legend = layer->FindTextObj("Legend"))
        layer->RemoveDataObj(legend->GetId());
    for (int axis : {QK_AXIS_X, QK_AXIS_Y}) {
        CQKAxes axes;
        ASSERT_TRUE(layer->GetAxes(&axes, axis));
        axes.SetRangeFrom(axis == QK_AXIS_X ? "0" : "-1");
        axes.SetRangeTo(axis == QK_AXIS_X ? "2" : "11");
        layer->UpdateFromTemporary();
    }
    enum Kind { kSelect, kType, kCheck };
    struct Case {
        int id;
        Kind kind;
        const char* value; // the item chosen, the text typed or the check
        std::function<double(CQKPlotObj*)> read;
        double expected;
    };
    const Case cases[] = {
        {IDC_PD_BOX_TYPE, kSelect, "2", [](CQKPlotObj* p) { return (double)p->GetBoxType(); }, 2},
        {IDC_PD_BOX_RANGE, kSelect, "1", [](CQKPlotObj* p) { return (double)p->GetBoxRange(); }, 1},
        {IDC_PD_BOX_COEF, kType, "1.25", [](CQKPlotObj* p) { return p->GetBoxCoef(); }, 1.25},
        {IDC_PD_BOX_WIDTH, kSelect, "7", [](CQKPlotObj* p) { return p->GetBoxCap(); }, 80},
        {IDC_PD_BOX_WHISKER_RANGE, kSelect, "4", [](CQKPlotObj* p) { return (double)p->GetWhiskerRange(); }, 4},
        {IDC_PD_BOX_WHISKER_COEF, kType, "1", [](CQKPlotObj* p) { return p->GetWhiskerCoef(); }, 1},
        {IDC_PD_BOX_OUTLIERS, kCheck, "1", [](CQKPlotObj* p) { return (double)p->HasOutliers(); }, 1},
        {IDC_PD_BOX_DIAMOND, kCheck, "1", [](CQKPlotObj* p) { return (double)p->HasDiamondBox(); }, 1},
        {IDC_PD_BOX_LABELS, kCheck, "1", [](CQKPlotObj* p) { return (double)p->HasBoxLabel(); }, 1},
        {IDC_PD_BOX_WHISKER_LABELS, kCheck, "1", [](CQKPlotObj* p) { return (double)p->HasWhiskerLabel(); }, 1},
    };
    std::vector<double> before;
    for (const Case& c : cases)
        before.push_back(c.read(box));
    const std::map<COLORREF, int> drawnBefore = DrawnColours(page.get(), 400, 300);
    std::string tabsBefore, tabsAfter;
    bool diamondWithPercentiles = true, coefWithPercentiles = true, dataOnlyLeavesType = false,
         dataOnlyDisablesRange = false;
    for (int close : {IDCANCEL, IDOK}) {
        Open(box, 2, 0, [&](HWND h) {
            HWND p = GoTab(h, "Box");
            tabsBefore = Join(Tabs(h));
            // Rules: a percentile box has no diamond and no coefficient; data only leaves the type.
            qxtest::ComboSelect(p, IDC_PD_BOX_RANGE, 0);
            diamondWithPercentiles = qxtest::IsEnabled(p, IDC_PD_BOX_DIAMOND);
            coefWithPercentiles = qxtest::IsEnabled(p, IDC_PD_BOX_COEF);
            qxtest::ComboSelect(p, IDC_PD_BOX_TYPE, 1);
            dataOnlyLeavesType = qxtest::IsEnabled(p, IDC_PD_BOX_TYPE);
            dataOnlyDisablesRange = !qxtest::IsEnabled(p, IDC_PD_BOX_RANGE) && !qxtest::IsEnabled(p, IDC_PD_BOX_WIDTH);
            for (const Case& c : cases) {
                if (c.kind == kSelect)
                    qxtest::ComboSelect(p, c.id, atoi(c.value));
                else if (c.kind == kType)
                    TypeInCombo(p, c.id, c.value);
                else
                    qxtest::SetCheck(p, c.id, atoi(c.value) != 0);
            }
            tabsAfter = Join(Tabs(h));
            qxtest::Click(h, close);
        });
        for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i)
            EXPECT_NEAR(close == IDOK ? cases[i].expected : before[i], cases[i].read(box), 1e-9)
                << cases[i].id << (close == IDOK ? " OK" : " Cancel");
    }
    EXPECT_FALSE(diamondWithPercentiles);
    EXPECT_FALSE(coefWithPercentiles);
    EXPECT_TRUE(dataOnlyLeavesType);
    EXPECT_TRUE(dataOnlyDisablesRange);
    // Box labels bring the Label page at once.
    EXPECT_EQ("Pattern, Box, Percentile", tabsBefore);
    EXPECT_NE(std::string::npos, tabsAfter.find("Label")) << tabsAfter;
    // The graph draws the wider diamond box with the data beside it: more of the plot's red.
    std::map<COLORREF, int> drawnAfter = DrawnColours(page.get(), 400, 300);
    EXPECT_GT(drawnAfter[RGB(255, 0, 0)], drawnBefore.count(RGB(255, 0, 0)) ? drawnBefore.at(RGB(255, 0, 0)) + 100 : 100);
}

} // namespace
