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
#include "PlotDetailsTestSupport.h"
#include "QDGraphPage.h"
#include "QKCallLog.h"
#include "QKData.h"
#include "QKPlotModel.h"
#include "SurfacePages.h"

#include <functional>
#include <stdio.h>

using qxtest::DialogDriver;

namespace {

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

class ColorMapPagesTest : public GraphPageTest {
protected:
    void SetUp() override
    {
        NewGraph();
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
        AxesFromZeroToTen();
        RemoveLegend();
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

namespace {

// The pages of matrix plots in a 3D layer: a peak in a 9 x 9 matrix.
class SurfacePagesTest : public GraphPageTest {
protected:
    void SetUp() override
    {
        NewGraph(true);
        matrix = static_cast<CQKMatrixPage*>(qkfxGetProject().CreatePage(QK_PAGE_MATRIX));
        matrix->SetDimensions(9, 9);
        for (int r = 1; r <= 9; ++r)
            for (int c = 1; c <= 9; ++c)
                matrix->SetCell(r, c, 10 - ((r - 5) * (r - 5) + (c - 5) * (c - 5)) / 3.0);
    }

    CQKPlotObj* Plot(int type, bool colorMap)
    {
        QKPlotData d;
        d.role = QK_ROLE_MATRIX;
        d.dataset = matrix->GetName();
        std::string error;
        CQKPlotObj* plot = qkfxAddPlot(layer, type, {d}, &error);
        EXPECT_NE(nullptr, plot) << error;
        if (plot)
            plot->SetColorMapData(colorMap);
        RemoveLegend();
        return plot;
    }

    CQKMatrixPage* matrix = nullptr;
};

std::string Surface(const CQKPlotObj* p)
{
    const QKSurfaceState& s = p->GetSurfaceState();
    char text[512];
    snprintf(text, sizeof text,
             "fill %d lines %d %06lX %.2f proj %d%d%d%d %06lX %06lX walls %d %06lX %06lX grid %d %.2f %06lX %d %d "
             "%06lX %d %06lX back %d %06lX bars %06lX %.2f %06lX %d %.0f %.0f clip %.0f %.0f",
             s.fill, s.contourLines, s.lineColor, s.lineWidth, s.fillProjection[0], s.fillProjection[1],
             s.linesProjection[0], s.linesProjection[1], s.projectionLineColor[0], s.projectionLineColor[1],
             s.sideWalls, s.sideWallX, s.sideWallY, s.showGrid, s.gridWidth, s.gridColor, s.wireSingle,
             s.secondaryGridLines, s.secondColor, s.gridByColorMap, s.surfaceFillColor, s.backColorEnabled,
             s.backColor, s.barEdgeColor, s.barEdgeWidth, s.firstRowColor, s.sameFillColor, s.xBarWidth,
             s.yBarWidth, p->GetColorMapState().clipLow, p->GetColorMapState().clipHigh);
    return text;
}

const int kRed = 1, kGreen = 2, kBlue = 3, kCyan = 4, kMagenta = 5, kYellow = 6;

} // namespace

TEST_F(SurfacePagesTest, EachPageWritesThePlotAndTheGraphDrawsIt)
{
    struct Case {
        int type;
        bool colorMap;
        const char* tab;
        std::function<void(HWND)> edit;
        const char* after; // the plot's surface settings after OK
        COLORREF drawn;    // a colour that shows more (or, with fewer, less) after OK
        bool fewer;
    };
    const Case cases[] = {
        {QK_PLOT_3D_SURFACE, true, "Side Walls",
         [](HWND p) {
             qxtest::SetCheck(p, IDC_WALLS_ENABLE, true);
             qxtest::ComboSelect(p, IDC_WALLS_X, kMagenta);
             qxtest::ComboSelect(p, IDC_WALLS_Y, kGreen);
         },
         "fill 1 lines 0 000000 0.50 proj 0000 000000 000000 walls 1 FF00FF 00FF00 grid 3 0.50 FFFFFFFF 1 0 000000 0 "
         "FFFFFFFF back 0 808080 bars 000000 0.50 FFFFFFFF 1 80 80 clip 0 100",
         RGB(255, 0, 255), false},
        {QK_PLOT_3D_SURFACE, false, "Grids",
         [](HWND p) {
             TypeInCombo(p, IDC_GRID_WIDTH, "2");
             qxtest::ComboSelect(p, IDC_GRID_COLOR, kGreen);
             qxtest::ComboSelect(p, IDC_GRID_SECOND_COLOR, kCyan); // the front colour
             qxtest::SetCheck(p, IDC_GRID_BACK, true);
             qxtest::ComboSelect(p, IDC_GRID_BACK_COLOR, kYellow);
         },
         "fill 1 lines 0 000000 0.50 proj 0000 000000 000000 walls 0 C0C0C0 C0C0C0 grid 3 2.00 00FF00 1 0 000000 0 "
         "FFFF00 back 1 00FFFF bars 000000 0.50 FFFFFFFF 1 80 80 clip 0 100",
         RGB(0, 255, 255), false},
        {QK_PLOT_3D_BARS, false, "Bars",
         [](HWND p) {
             qxtest::ComboSelect(p, IDC_BARS_EDGE_COLOR, kRed);
             TypeInCombo(p, IDC_BARS_EDGE_WIDTH, "1");
             qxtest::ComboSelect(p, IDC_BARS_FILL_COLOR, kCyan);
             qxtest::Click(p, IDC_BARS_INCREMENT);
             TypeInCombo(p, IDC_BARS_X_WIDTH, "50");
             TypeInCombo(p, IDC_BARS_Y_WIDTH, "60");
         },
         "fill 1 lines 0 000000 0.50 proj 0000 000000 000000 walls 0 C0C0C0 C0C0C0 grid 3 0.50 FFFFFFFF 1 0 000000 0 "
         "FFFFFFFF back 0 808080 bars 0000FF 1.00 FFFF00 0 50 60 clip 0 100",
         RGB(0, 255, 255), false},
        {QK_PLOT_3D_SURFACE, true, "Surface/Projections",
         [](HWND p) {
             qxtest::SetCheck(p, IDC_SURF_FILL, false);
             qxtest::SetCheck(p, IDC_SURF_LINES, true);
             qxtest::ComboSelect(p, IDC_SURF_COLOR, kRed);
             TypeInCombo(p, IDC_SURF_WIDTH, "1.5");
             qxtest::SetCheck(p, IDC_SURF_TOP_FILL, true);
             qxtest::SetCheck(p, IDC_SURF_BOTTOM_LINES, true);
             qxtest::ComboSelect(p, IDC_SURF_BOTTOM_COLOR, kBlue);
             SetDlgItemTextA(p, IDC_SURF_CLIP_LOW, "10");
             SetDlgItemTextA(p, IDC_SURF_CLIP_HIGH, "90");
         },
         "fill 0 lines 1 0000FF 1.50 proj 0110 FF0000 000000 walls 0 C0C0C0 C0C0C0 grid 3 0.50 FFFFFFFF 1 0 000000 0 "
         "FFFFFFFF back 0 808080 bars 000000 0.50 FFFFFFFF 1 80 80 clip 10 90",
         RGB(0, 0, 255), false}, // the floor's contour lines, in blue
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tab);
        SetUp();
        CQKPlotObj* plot = Plot(c.type, c.colorMap);
        ASSERT_NE(nullptr, plot);
        const std::string before = Surface(plot);
        const int drawnBefore = Count(c.drawn);
        bool found = false;
        for (int ok : {0, 1}) {
            DialogDriver driver;
            driver.Then([&](HWND h) {
                HWND p = GoTab(h, c.tab);
                found = ActiveTab(h) == c.tab;
                if (found)
                    c.edit(p);
                qxtest::Click(h, ok ? IDOK : IDCANCEL);
            });
            driver.Run([&] { return (INT_PTR)page->PlotDetailsDialog(plot, 2, 0); });
            EXPECT_FALSE(driver.TimedOut());
            ASSERT_TRUE(found) << "no tab";
            if (!ok)
                EXPECT_EQ(before, Surface(plot)) << "Cancel changed the plot";
        }
        EXPECT_EQ(c.after, Surface(plot));
        const int drawnAfter = Count(c.drawn);
        if (c.fewer)
            EXPECT_LT(drawnAfter * 10, drawnBefore) << drawnBefore << " -> " << drawnAfter;
        else
            EXPECT_GT(drawnAfter, drawnBefore + 200) << drawnBefore << " -> " << drawnAfter;
    }
}

// What the surface pages set is drawn: grids of one direction, a wire frame's lines
// between its grid lines, contour lines on a surface and its projections, the fill under
// the lid, Z clipping, bars stepping their colour from row to row. Each case draws the
// plot as the base leaves it and as the variant changes it, counting one colour.
TEST_F(SurfacePagesTest, SurfaceSettingsAreDrawn)
{
    const COLORREF teal = RGB(10, 200, 150), cyan = RGB(0, 255, 255);
    struct Case {
        const char* what;
        int type;
        bool colorMap;
        std::function<void(CQKPlotObj*)> base, variant;
        COLORREF counted; // 0: the levels' fills
        double low, high; // the variant's count over the base's lies between (high 0: base 0, variant > 200)
    };
    auto grid = [teal](int which) {
        return [teal, which](CQKPlotObj* p) {
            p->SetGridColor(teal);
            p->SetShowGrid(which);
        };
    };
    auto nothing = [](CQKPlotObj*) {};
    const Case cases[] = {
        {"X grid lines only", QK_PLOT_3D_SURFACE, true, grid(3), grid(1), teal, 0.2, 0.8},
        {"Y grid lines only", QK_PLOT_3D_SURFACE, true, grid(3), grid(2), teal, 0.2, 0.8},
        {"wire frame's lines between",
         QK_PLOT_3D_WIRE_FRAME, false,
         [teal](CQKPlotObj* p) {
             p->SetWFGridStyleSingle(FALSE);
             p->SetSecondColor(teal);
         },
         [teal](CQKPlotObj* p) {
             p->SetWFGridStyleSingle(FALSE);
             p->SetSecondColor(teal);
             p->SetNumSecondaryGridLines(2);
         },
         teal, 0, 0},
        {"contour lines on the surface", QK_PLOT_3D_SURFACE, true, [teal](CQKPlotObj* p) { p->SetContourLineColor(teal); },
         [teal](CQKPlotObj* p) {
             p->SetContourLineColor(teal);
             p->SetDrawContourLines(TRUE);
         },
         teal, 0, 0},
        {"contour lines on the floor", QK_PLOT_3D_SURFACE, true, nothing,
         [teal](CQKPlotObj* p) {
             p->SetDrawContourLinesInContourPlot(0, TRUE);
             p->SetContourLineColorInContourPlot(0, teal);
         },
         teal, 0, 0},
        {"fill under the lid", QK_PLOT_3D_SURFACE, true, nothing,
         [](CQKPlotObj* p) { p->SetFillColorInContourPlot(1, TRUE); }, 0, 1.1, 100},
        {"Z clipped above the middle", QK_PLOT_3D_SURFACE, true, nothing,
         [](CQKPlotObj* p) {
             std::unique_ptr<CQKColorMapData> map(p->GetColorMapData(nullptr));
             double low = 50, high = 100;
             map->SetPercColorMapClipping(&low, &high);
             p->SaveColorMapData(map.get());
         },
         0, 0.1, 0.8},
        {"bars stepping their colour",
         QK_PLOT_3D_BARS, false, [cyan](CQKPlotObj* p) { p->SetFirstRowColor(cyan); },
         [cyan](CQKPlotObj* p) {
             p->SetFirstRowColor(cyan);
             p->SetSameFillColor(FALSE);
         },
         cyan, 0.02, 0.4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        CQKPlotObj* plot = Plot(c.type, c.colorMap);
        ASSERT_NE(nullptr, plot);
        if (c.colorMap)
            plot->MakeDefaultColorMap();
        std::vector<COLORREF> counted{c.counted};
        if (!c.counted) {
            counted.clear();
            for (const ColorMapEntry& e : plot->GetColorMapState().levels)
                counted.push_back(e.fillColor & 0xFFFFFF);
        }
        auto count = [&] {
            int n = 0;
            for (COLORREF color : counted)
                n += Count(color);
            return n;
        };
        c.base(plot);
        const int base = count();
        c.variant(plot);
        const int variant = count();
        if (c.high == 0) {
            EXPECT_GT(variant, base + 200) << base << " -> " << variant;
        } else {
            EXPECT_GT(variant, base * c.low) << base << " -> " << variant;
            EXPECT_LT(variant, base * c.high) << base << " -> " << variant;
        }
    }
}

// The Edit Control page writes the choice at once, and the dialog hears of it.
TEST_F(SurfacePagesTest, EditControlWritesTheEditDependencies)
{
    CQKPlotObj* plot = Plot(QK_PLOT_3D_SURFACE, false);
    ASSERT_NE(nullptr, plot);
    CQUPlotDetailsChoice choice;
    choice.SetEditedObject(plot);
    CPropertySheet sheet("Edit Control");
    sheet.AddPage(&choice);
    bool independent = false;
    DialogDriver driver;
    driver.Then([&](HWND h) {
        HWND p = (HWND)SendMessageA(h, PSM_GETCURRENTPAGEHWND, 0, 0);
        independent = IsDlgButtonChecked(p, IDC_CHOICE_INDEPENDENT) == BST_CHECKED;
        qxtest::SetCheck(p, IDC_CHOICE_TOGETHER, true);
        EXPECT_EQ(2, plot->GetGroupingIndex()); // written on the click
        qxtest::Click(h, IDCANCEL);
    });
    driver.Run([&] { return (INT_PTR)sheet.DoModal(); });
    EXPECT_TRUE(independent);
    EXPECT_EQ(2, plot->GetGroupingIndex());
}

// Set Levels refuses values in a fixed order of checks, with the first failure's message,
// and keeps the dialog open; good values are taken.
TEST_F(ColorMapPagesTest, SetLevelsRefusesBadValuesWithTheFirstReason)
{
    struct Case {
        const char *min, *max, *interval, *levels;
        bool byNumber, log;
        const char* message; // null: accepted
    } cases[] = {
        {"5", "5", "0", "0", true, true, "Minimum must be smaller than maximum!"},
        {"0", "10", "1", "4", true, true, "When Log scale is selected, both minimum and maximum must be positive!"},
        {"0", "10", "-1", "0", true, false, "Number of levels must be positive!"},
        {"0", "10", "0", "0", false, false, "Interval must be positive!"},
        {"1", "1000", "1", "3", true, true, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.min + std::string(" ") + c.max);
        CQUCmapSetLevelsDlg dlg(plot, nullptr);
        std::string message;
        bool intervalEnabled = true;
        DialogDriver driver;
        driver.Then([&](HWND h) {
            qxtest::SetText(h, IDC_CMAP_MIN, c.min);
            qxtest::SetText(h, IDC_CMAP_MAX, c.max);
            qxtest::SetCheck(h, c.byNumber ? IDC_CMAP_BY_NUMBER : IDC_CMAP_BY_INTERVAL, true);
            qxtest::Click(h, c.byNumber ? IDC_CMAP_BY_NUMBER : IDC_CMAP_BY_INTERVAL);
            intervalEnabled = qxtest::IsEnabled(h, IDC_CMAP_INTERVAL);
            qxtest::SetText(h, IDC_CMAP_INTERVAL, c.interval);
            qxtest::SetText(h, IDC_CMAP_NUM_LEVELS, c.levels);
            qxtest::SetCheck(h, IDC_CMAP_LOG, c.log);
            qxtest::Click(h, IDOK);
            if (c.message)
                qxtest::Click(h, IDCANCEL); // after the message box: the dialog stayed open
        });
        if (c.message)
            driver.Then([&](HWND box) {
                message = qxtest::MessageBoxText(box);
                qxtest::Click(box, IDOK);
            });
        INT_PTR result = driver.Run([&] { return dlg.DoModal(); });
        EXPECT_EQ(!c.byNumber, intervalEnabled);
        if (c.message) {
            EXPECT_EQ(c.message, message);
            EXPECT_EQ(IDCANCEL, result);
        } else {
            EXPECT_EQ(IDOK, result);
            EXPECT_EQ(3u, dlg.m_nLevels);
            EXPECT_TRUE(dlg.m_bLog);
        }
    }
}

// The labels dialog is the Contour Lines dialog without line properties; with a selection
// its choices speak of the selection.
TEST_F(ColorMapPagesTest, ContourLinesDialogServesLabelsAndSelections)
{
    struct Case {
        bool selection, labels;
        const char *caption, *show;
    } cases[] = {{false, true, "Contour Labels", "&Show All"},
                 {true, false, "Contour Lines", "Show Selected"},
                 {false, false, "Contour Lines", "&Show All"}};
    for (const Case& c : cases) {
        ColorMapEntry entry;
        entry.lineColor = RGB(255, 0, 0);
        CQUCmapContourLinesDlg dlg(c.selection, c.labels ? nullptr : &entry, nullptr);
        std::string caption, show;
        bool propsShown = true;
        DialogDriver driver;
        driver.Then([&](HWND h) {
            caption = qxtest::WindowText(h);
            show = qxtest::GetText(h, IDC_CMAP_SHOW_ALL);
            propsShown = IsWindowVisible(GetDlgItem(h, IDC_CMAP_CL_COLOR)) != FALSE;
            qxtest::SetCheck(h, IDC_CMAP_HIDE_ALL, true);
            qxtest::SetCheck(h, IDC_CMAP_KEEP, false);
            if (!c.labels) {
                qxtest::SetCheck(h, IDC_CMAP_APPLY_ALL, true);
                qxtest::ComboSelect(h, IDC_CMAP_CL_COLOR, 3); // Blue
            }
            qxtest::Click(h, IDOK);
        });
        EXPECT_EQ(IDOK, driver.Run([&] { return dlg.DoModal(); }));
        EXPECT_EQ(c.caption, caption);
        EXPECT_EQ(c.show, show);
        EXPECT_EQ(!c.labels, propsShown);
        EXPECT_EQ(2, dlg.m_nShow);
        if (!c.labels)
            EXPECT_EQ(RGB(0, 0, 255), entry.lineColor);
    }
}

// One level's line and fill: the Line dialog shows one set and hides the line with Show
// off; the Fill dialog hides the pattern controls when asked, and offers pattern colour
// and width only with a pattern.
TEST_F(ColorMapPagesTest, LineAndCellFillDialogsEditOneLevel)
{
    ColorMapEntry entry;
    entry.lineColor = RGB(255, 0, 0);
    CQUCmapLineDlg line(plot, nullptr);
    line.m_pFrom = &entry;
    bool maxShown = true;
    DialogDriver driver;
    driver.Then([&](HWND h) {
        maxShown = IsWindowVisible(GetDlgItem(h, IDC_CMAP_LINE_COLOR2)) != FALSE;
        qxtest::ComboSelect(h, IDC_CMAP_LINE_COLOR, 2); // Green
        qxtest::ComboSelect(h, IDC_CMAP_LINE_STYLE, 2);
        qxtest::SetText(h, IDC_CMAP_LINE_WIDTH, "1.5");
        qxtest::SetCheck(h, IDC_CMAP_LINE_SHOW, false);
        qxtest::Click(h, IDOK);
    });
    EXPECT_EQ(IDOK, driver.Run([&] { return line.DoModal(); }));
    EXPECT_FALSE(maxShown);
    EXPECT_EQ(RGB(0, 255, 0), entry.lineColor);
    EXPECT_EQ(2, entry.lineStyle);
    EXPECT_EQ(150, entry.lineWidth);
    EXPECT_TRUE(entry.flags & CMAP_LINE_HIDDEN);

    for (bool hide : {false, true}) {
        ColorMapEntry fill;
        CQUCmapCellFillDlg dlg(&fill, hide, nullptr);
        bool patternShown = false, colourEnabledWithout = true, colourEnabledWith = false;
        DialogDriver d;
        d.Then([&](HWND h) {
            patternShown = IsWindowVisible(GetDlgItem(h, IDC_CMAP_FROM_PATTERN)) != FALSE;
            colourEnabledWithout = qxtest::IsEnabled(h, IDC_CMAP_FROM_PATTERN_COLOR);
            qxtest::ComboSelect(h, IDC_CMAP_FROM_PATTERN, 2);
            colourEnabledWith = qxtest::IsEnabled(h, IDC_CMAP_FROM_PATTERN_COLOR);
            qxtest::ComboSelect(h, IDC_CMAP_FROM_COLOR, 3); // Blue
            qxtest::Click(h, IDOK);
        });
        EXPECT_EQ(IDOK, d.Run([&] { return dlg.DoModal(); }));
        EXPECT_EQ(!hide, patternShown);
        EXPECT_FALSE(colourEnabledWithout);
        EXPECT_TRUE(colourEnabledWith);
        EXPECT_EQ(RGB(0, 0, 255), fill.fillColor);
        EXPECT_EQ(2, fill.pattern);
    }
}
