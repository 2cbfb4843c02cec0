// Plot objects and layers as the Plot Details dialog edits them: working copies that
// change nothing until committed, the layer's units and links, and groups.
#include <gtest/gtest.h>

#include <memory>

#include "QKCallLog.h"
#include "QKData.h"
#include "QKGraphObjects.h"

namespace {

class PlotObjectsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        qkfxGetProject().New();
        qkfxGetCallLog().Clear();
        page = static_cast<CQKGraphPage*>(qkfxGetProject().CreatePage(QK_PAGE_GRAPH));
        layer = page->GetActiveLayer(); // a new graph comes with its first layer
    }

    CQKPlotObj* AddPlot(int type, const char* name)
    {
        auto* plot = new CQKDataObj;
        plot->SetPlotObjectType(type);
        plot->SetDataSetName(name);
        layer->AddObject(plot);
        return plot;
    }

    CQKGraphPage* page = nullptr;
    CQKGraphicLayer* layer = nullptr;
};

TEST_F(PlotObjectsTest, WorkingCopiesChangeNothingUntilCommitted)
{
    CQKPlotObj* plot = AddPlot(QK_PLOT_LINE, "Data1_B");
    std::unique_ptr<CQKPlotObj> copy(layer->PlotObjByIndex(0, 0));
    ASSERT_NE(plot, copy.get());
    EXPECT_TRUE(copy->IsTemporary());
    EXPECT_EQ(plot->GetId(), copy->GetId());
    copy->SetWidth(2);
    copy->SetConnectType(0);
    EXPECT_EQ(0.5, plot->GetWidth());
    copy->UpdateFromTemporary();
    EXPECT_EQ(2.0, plot->GetWidth());
    EXPECT_EQ(0, plot->GetConnectType());
    EXPECT_GE(qkfxGetCallLog().Find("CQKPlotObj::UpdateFromTemporary"), 0);

    // A copy with a new type commits into the same original; a type the kernel does not
    // know gives no copy.
    std::unique_ptr<CQKPlotObj> scatter(copy->GetWithNewPlotType(QK_PLOT_SCATTER, 0, 1));
    ASSERT_TRUE(scatter);
    EXPECT_TRUE(scatter->IsModified());
    EXPECT_EQ(plot, scatter->GetOriginal());
    EXPECT_EQ(nullptr, copy->GetWithNewPlotType(9999, 0, 0));
    scatter->UpdateFromTemporary();
    EXPECT_EQ(QK_PLOT_SCATTER, plot->GetPlotObjectType(0));

    // A layer's copy shares the original's plots and keeps its settings to itself.
    std::unique_ptr<CQKGraphicLayer> layerCopy(page->GetLayerByIndex(0, 0));
    EXPECT_EQ(1, layerCopy->GetNumPlots());
    EXPECT_EQ(plot, layerCopy->PlotObjByIndex(0, 1));
    layerCopy->SetBkgColor(TRUE);
    EXPECT_FALSE(layer->IsBkgColor());
    layerCopy->UpdateFromTemporary();
    EXPECT_TRUE(layer->IsBkgColor());
}

TEST_F(PlotObjectsTest, UnitsConvertThroughInchesOfTheTenBySevenAndAHalfInchPage)
{
    layer->SetMeasUnits(QK_UNITS_INCH);
    struct Case {
        int to;
        double width, height, left, top;
    };
    // width 5 in, height 3 in, left 1 in, top 0.75 in.
    const Case cases[] = {
        {QK_UNITS_CM, 12.7, 7.62, 2.54, 1.905},
        {QK_UNITS_MM, 127, 76.2, 25.4, 19.05},
        {QK_UNITS_PIXEL, 480, 288, 96, 72},
        {QK_UNITS_PAGE_PERCENT, 50, 40, 10, 10},
    };
    for (const Case& c : cases) {
        double values[4] = {5, 3, 1, 0.75};
        layer->ConvertDimensions(c.to, values);
        EXPECT_NEAR(c.width, values[0], 1e-9) << c.to;
        EXPECT_NEAR(c.height, values[1], 1e-9) << c.to;
        EXPECT_NEAR(c.left, values[2], 1e-9) << c.to;
        EXPECT_NEAR(c.top, values[3], 1e-9) << c.to;
    }
    // From units other than the layer's own.
    double values[4] = {25.4, 25.4, 0, 0};
    layer->ConvertDimensions(QK_UNITS_CM, values, QK_UNITS_MM);
    EXPECT_NEAR(2.54, values[0], 1e-12);
}

TEST_F(PlotObjectsTest, LinksNameTheOtherLayersOfThePage)
{
    char content[1300];
    layer->GetLayerLinkContent(content, sizeof content);
    EXPECT_STREQ("\"None\"", content);
    EXPECT_FALSE(layer->IsLinkAvailable());

    CQKGraphicLayer* second = page->AddLayer();
    CQKGraphicLayer* third = page->AddLayer();
    third->GetLayerLinkContent(content, sizeof content);
    EXPECT_STREQ("\"None\" \"Layer1\" \"Layer2\"", content);
    int index = -5;
    EXPECT_FALSE(third->GetLinkToLayerIndex(index));
    third->SetLinkToLayerIndex(1); // entry 2: Layer2
    EXPECT_TRUE(third->GetLinkToLayerIndex(index));
    EXPECT_EQ(1, index);
    EXPECT_TRUE(third->IsThereLinkedFrame());
    EXPECT_EQ(QK_UNITS_LINK_PERCENT, third->ResetSelectionIfNeeded(QK_UNITS_LINK_PERCENT));
    third->SetLinkToLayerIndex(-1);
    EXPECT_FALSE(third->IsThereLinkedFrame());
    EXPECT_EQ(QK_UNITS_PAGE_PERCENT, third->ResetSelectionIfNeeded(QK_UNITS_LINK_PERCENT));
    EXPECT_TRUE(second->IsLinkAvailable());

    // The last layer cannot be deleted; a buffer of one character holds only the end.
    EXPECT_TRUE(page->DeleteLayer(2));
    EXPECT_TRUE(page->DeleteLayer(1));
    EXPECT_FALSE(page->DeleteLayer(0));
    char tiny[1] = {'x'};
    layer->GetLayerLinkContent(tiny, 1);
    EXPECT_EQ('\0', tiny[0]);
}

TEST_F(PlotObjectsTest, GroupsCountTheirPlotsAndAutomaticColoursDiffer)
{
    CQKPlotObj* a = AddPlot(QK_PLOT_LINE, "A");
    CQKPlotObj* b = AddPlot(QK_PLOT_LINE, "B");
    CQKPlotObj* c = AddPlot(QK_PLOT_LINE, "C");
    a->SetGroup(4, TRUE);
    b->SetGroup(4, FALSE);
    EXPECT_TRUE(a->IsGroupBegin());
    EXPECT_TRUE(b->IsGroupMember());
    EXPECT_FALSE(c->IsGroupMember());
    EXPECT_EQ(2, b->GetNumOfPlotsInGroup());
    EXPECT_EQ(0, c->GetNumOfPlotsInGroup());
    EXPECT_TRUE(a->IsInTheSameGroup(b));
    EXPECT_FALSE(a->IsInTheSameGroup(c));
    EXPECT_NE(a->GetActualColorForAutoColor(7), b->GetActualColorForAutoColor(7));
}

TEST_F(PlotObjectsTest, PatternInstancesKeepTheirOwnSettingsAndThePreviewDrawsThem)
{
    CQKPlotObj* plot = AddPlot(QK_PLOT_COLUMN, "Data1_B");
    plot->SetBKColor(1, 0);
    plot->SetBKColor(2, 2);
    plot->SetFillPattern(3, 7); // an instance beyond the third counts as the first
    EXPECT_EQ(1, plot->GetBKColor(0));
    EXPECT_EQ(2, plot->GetBKColor(2));
    EXPECT_EQ(3, plot->GetFillPattern(0));

    // The bar: a black border around the fill colour (red).
    plot->SetFillPattern(0, 0);
    plot->SetBorderColor(0, 0);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 20, 20);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT rect = {2, 2, 18, 18};
    plot->DrawBarPreview(dc, rect, 0);
    EXPECT_EQ(RGB(255, 0, 0), GetPixel(dc, 10, 10));
    EXPECT_EQ(RGB(0, 0, 0), GetPixel(dc, 2, 10));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

} // namespace
