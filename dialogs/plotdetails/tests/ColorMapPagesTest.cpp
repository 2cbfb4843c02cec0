// The colour-map pages on a contour plot, driven as a user would: a level's fill chosen
// through its cell, a level inserted, the rescale mode, the label format and the contour
// switches; the plot checked after OK, left as it was after Cancel, and the graph drawn
// anew with the change.
#include <gtest/gtest.h>
#include <qxtest/DialogDriver.h>
#include <qxtest/Pixels.h>

#include <afxdlgs.h>
#include <commctrl.h>

#include <memory>
#include <string>

#include "ColorMapPages.h"
#include "ColorMapResources.h"
#include "PlotDetailsMain.h"
#include "QDGraphPage.h"
#include "QKCallLog.h"
#include "QKData.h"
#include "QKPlotModel.h"

using qxtest::DialogDriver;

namespace {

const int W = 800, H = 600;

CQUPlotDetailsMain* Dialog(HWND h) { return DYNAMIC_DOWNCAST(CQUPlotDetailsMain, CWnd::FromHandlePermanent(h)); }

HWND GoTab(HWND h, const std::string& caption)
{
    HWND sheet = Dialog(h)->GetTabManager().GetSheet()->m_hWnd;
    HWND tab = (HWND)SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0);
    for (int i = 0; i < (int)SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0); ++i) {
        char text[64] = "";
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(tab, TCM_GETITEMA, i, (LPARAM)&item);
        if (caption == text)
            SendMessageA(sheet, PSM_SETCURSEL, i, 0);
    }
    return (HWND)SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0);
}

int ColorIndex(const char* name)
{
    for (int i = 0; i < CQKColor::GetColorNumber(); ++i) {
        std::string n;
        CQKColor::GetColorName(i, n);
        if (n == name)
            return i;
    }
    return -1;
}

class ColorMapPagesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        qkfxGetProject().New();
        qkfxGetCallLog().Clear();
        page.reset(new CQDGraphPage(&qkfxGetProject(), "Graph9"));
        layer = page->AddLayer();
        auto* matrix = static_cast<CQKMatrixPage*>(qkfxGetProject().CreatePage(QK_PAGE_MATRIX));
        matrix->SetDimensions(9, 9);
        matrix->m_x1 = matrix->m_y1 = 0;
        matrix->m_x2 = matrix->m_y2 = 10;
        for (int r = 1; r <= 9; ++r)
            for (int c = 1; c <= 9; ++c)
                matrix->SetCell(r, c, (c - 1) * 10);
        QKPlotData d;
        d.role = QK_ROLE_MATRIX;
        d.dataset = matrix->GetName();
        std::string error;
        plot = qkfxAddPlot(layer, QK_PLOT_CONTOUR, {d}, &error);
        ASSERT_NE(nullptr, plot) << error;
        for (int axis : {QK_AXIS_X, QK_AXIS_Y}) {
            CQKAxes axes;
            ASSERT_TRUE(layer->GetAxes(&axes, axis));
            axes.SetRangeFrom("0");
            axes.SetRangeTo("10");
            layer->UpdateFromTemporary();
        }
        if (CQKTextObj* legend = layer->FindTextObj("Legend"))
            layer->RemoveDataObj(legend->GetId());
    }

    INT_PTR Open(std::vector<DialogDriver::Step> steps)
    {
        DialogDriver driver;
        for (auto& s : steps)
            driver.Then(s);
        INT_PTR result = driver.Run([&] { return (INT_PTR)page->PlotDetailsDialog(plot, 2, 0); });
        EXPECT_FALSE(driver.TimedOut());
        return result;
    }

    int Count(COLORREF color)
    {
        qxtest::MemoryCanvas canvas(W, H);
        RECT rect = {0, 0, W, H};
        EXPECT_TRUE(page->Draw(canvas.dc(), rect));
        qxtest::Image image = canvas.Capture();
        int n = 0;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                n += image.ColorAt(x, y) == color;
        return n;
    }

    std::unique_ptr<CQDGraphPage> page;
    CQKGraphicLayer* layer = nullptr;
    CQKPlotObj* plot = nullptr;
};

} // namespace

TEST_F(ColorMapPagesTest, ColorMapPageWritesFillsLevelsAndRescaleMode)
{
    const int magenta = ColorIndex("Magenta");
    ASSERT_GE(magenta, 0);
    DWORD magentaRgb = 0;
    CQKColor::GetColorRef(magenta, magentaRgb, 0);
    const QKColorMapState before = plot->GetColorMapState();
    ASSERT_EQ(9u, before.levels.size());
    const int magentaBefore = Count(magentaRgb);
    bool contoursTab = false;
    int columns = 0;
    bool insertEnabledWithoutSelection = true;
    auto edit = [&](bool ok) {
        return std::vector<DialogDriver::Step>{
            [&, ok](HWND h) {
                HWND p = GoTab(h, "Color Map / Contours");
                ASSERT_NE(nullptr, p);
                contoursTab = GetDlgItem(p, IDC_CMAP_LIST) != nullptr;
                HWND list = GetDlgItem(p, IDC_CMAP_LIST);
                columns = (int)SendMessageA((HWND)SendMessageA(list, LVM_GETHEADER, 0, 0), HDM_GETITEMCOUNT, 0, 0);
                insertEnabledWithoutSelection = qxtest::IsEnabled(p, IDC_CMAP_INSERT);
                // The fill of the band from 30 to 40 (row 3) through its cell.
                SendMessageA(p, WM_CMAP_FILL_CLICK, 0, 3);
                // A level inserted below the selected lowest one.
                LVITEMA item = {};
                item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
                SendMessageA(list, LVM_SETITEMSTATE, 0, (LPARAM)&item);
                qxtest::Click(p, IDC_CMAP_INSERT);
                qxtest::ComboSelect(p, IDC_CMAP_RESCALE, CMAP_RESCALE_MANUAL);
                qxtest::Click(h, ok ? IDOK : IDCANCEL);
            },
            [&](HWND fill) {
                qxtest::ComboSelect(fill, IDC_CMAP_FROM_COLOR, magenta);
                qxtest::Click(fill, IDOK);
            }};
    };
    Open(edit(false));
    EXPECT_TRUE(plot->GetColorMapState() == before) << "Cancel changed the colour map";
    EXPECT_EQ(IDOK, Open(edit(true)));
    EXPECT_TRUE(contoursTab) << "no tab \"Color Map / Contours\"";
    EXPECT_EQ(4, columns);
    EXPECT_FALSE(insertEnabledWithoutSelection);
    const QKColorMapState& after = plot->GetColorMapState();
    ASSERT_EQ(10u, after.levels.size());
    EXPECT_EQ(magentaRgb & 0xFFFFFF, after.levels[4].fillColor); // row 3 moved up by the inserted level
    EXPECT_EQ(before.levels[0].level - (before.levels[1].level - before.levels[0].level), after.levels[0].level);
    EXPECT_EQ(CMAP_RESCALE_MANUAL, after.rescaleMode);
    EXPECT_EQ(0, magentaBefore);
    EXPECT_GT(Count(magentaRgb), 1000) << "the graph did not draw the new fill";
}

TEST_F(ColorMapPagesTest, NumericFormatsPageWritesTheLabelFormat)
{
    const QKColorMapState before = plot->GetColorMapState();
    std::string placesShown;
    auto edit = [&](HWND h, bool ok) {
        HWND p = GoTab(h, "Numeric Formats");
        ASSERT_NE(nullptr, GetDlgItem(p, IDC_CMAP_LBL_FORMAT));
        placesShown = qxtest::GetText(p, IDC_CMAP_LBL_PLACES); // 3 digits: 0 places
        qxtest::ComboSelect(p, IDC_CMAP_LBL_FORMAT, 1);
        SetDlgItemTextA(p, IDC_CMAP_LBL_DIVIDE, "1000");
        SetDlgItemTextA(p, IDC_CMAP_LBL_PREFIX, "z=");
        SetDlgItemTextA(p, IDC_CMAP_LBL_SUFFIX, " km");
        qxtest::Click(p, IDC_CMAP_LBL_BY_PLACES);
        SetDlgItemTextA(p, IDC_CMAP_LBL_PLACES, "4");
        SetDlgItemTextA(p, IDC_CMAP_LBL_MIN_AREA, "5");
        qxtest::Click(h, ok ? IDOK : IDCANCEL);
    };
    Open({[&](HWND h) { edit(h, false); }});
    EXPECT_TRUE(plot->GetColorMapState() == before);
    EXPECT_EQ(IDOK, Open({[&](HWND h) { edit(h, true); }}));
    EXPECT_EQ("0", placesShown);
    const QKColorMapState& s = plot->GetColorMapState();
    EXPECT_EQ(1, s.labelsFormat);
    EXPECT_EQ(1000.0, s.labelsDivideBy);
    EXPECT_EQ("z=", s.labelsPrefix);
    EXPECT_EQ(" km", s.labelsSuffix);
    EXPECT_TRUE(s.labelsByDecPlaces);
    EXPECT_EQ(7, s.labelsSigDigits);
    EXPECT_EQ(5.0, plot->GetLabelCreationMinArea());
    std::unique_ptr<CQKColorMapData> map(plot->GetColorMapData(nullptr));
    std::string text;
    map->FormatAsString(12345, text, 0);
    EXPECT_EQ("z=1.2345E+01 km", text);
}

// The tab checker never offers the Contour Lines page; on its own it edits the plot's
// fill and grid-cell switches, the second only while the first is off.
TEST_F(ColorMapPagesTest, ContourLinesPageWritesFillAndGridCells)
{
    bool showZEnabled = true;
    CQUPDContourLines linesPage;
    linesPage.SetEditedObject(plot);
    CPropertySheet sheet("Contour");
    sheet.AddPage(&linesPage);
    DialogDriver driver;
    driver.Then([&](HWND h) {
        HWND p = (HWND)SendMessageA(h, PSM_GETCURRENTPAGEHWND, 0, 0);
        qxtest::SetCheck(p, IDC_CONTOUR_FILL, false);
        showZEnabled = qxtest::IsEnabled(p, IDC_CONTOUR_SHOW_Z);
        qxtest::SetCheck(p, IDC_CONTOUR_SHOW_Z, true);
        qxtest::Click(h, IDOK);
    });
    driver.Run([&] { return (INT_PTR)sheet.DoModal(); });
    EXPECT_FALSE(driver.TimedOut());
    EXPECT_TRUE(showZEnabled);
    EXPECT_FALSE(plot->IsFillContours());
    EXPECT_TRUE(plot->IsShowGrids());
}
