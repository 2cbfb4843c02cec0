// The plot pages for symbols, drop lines, labels, error bars, functions, vectors and pies,
// each opened on a plot of its kind and driven as a user would: every control changed,
// the plot checked after OK, left as it was after Cancel, and the graph drawn anew with
// the change.
#include <gtest/gtest.h>
#include <qxtest/DialogDriver.h>
#include <qxtest/Pixels.h>

#include <afxdlgs.h>
#include <commctrl.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "PlotDetailsMain.h"
#include "PlotDetailsTestSupport.h"
#include "ObjectsResources.h"
#include "PlotDetailsResources.h"
#include "PlotDetailsMain.h"
#include "PlotPagesResources.h"
#include "GroupDataPagesResources.h"
#include "GroupPage.h"
#include "QDGraphPage.h"
#include "QKCallLog.h"
#include "QKData.h"
#include "QKPlotModel.h"
#include "QKScript.h"
#include "BoxDataPages.h"
#include "QKControls.h"
#include "QKSymbolManager.h"
#include "SymbolPage.h"

using qxtest::DialogDriver;

namespace {

// Colour indexes of the kernel's table and how they draw.
const int kBlack = 0, kRed = 1, kGreen = 2, kBlue = 3;
const COLORREF kRedRgb = RGB(255, 0, 0), kGreenRgb = RGB(0, 255, 0), kBlueRgb = RGB(0, 0, 255);
const COLORREF kWhiteRgb = RGB(255, 255, 255), kBlackRgb = RGB(0, 0, 0);

void TypeInEdit(HWND page, int id, const char* text)
{
    // Setting an edit's text tells its parent as typing does (EN_CHANGE).
    SetDlgItemTextA(page, id, text);
}

std::string Dump(const CQKPlotObj* plot)
{
    CQKStateDump dump;
    plot->DumpState(dump);
    return dump.GetText();
}

// A page of one kind of plot: how to make the plot, the tab, what the user does on it,
// and what the plot must then hold.
struct PageCase {
    const char* tab;
    std::function<void(HWND page)> edit;
    std::function<void(const CQKPlotObj*)> check;
};

// The cases' lambdas take the fixture, so its helpers are public.
class PlotPagesTest : public GraphPageTest {
public:
    void SetUp() override
    {
        NewGraph();
        AxesFromZeroToTen("2");
    }

    CQKPlotObj* Plot(int type, const std::vector<QKPlotData>& data, int color = kRed)
    {
        std::string error;
        CQKPlotObj* plot = qkfxAddPlot(layer, type, data, &error);
        EXPECT_NE(nullptr, plot) << error;
        if (plot)
            plot->SetColor(color);
        RemoveLegend();
        return plot;
    }

    INT_PTR Open(CQKBase* obj, DialogDriver::Step step)
    {
        DialogDriver driver;
        driver.Then(step);
        INT_PTR result = driver.Run([&] { return (INT_PTR)page->PlotDetailsDialog(obj, 2, 0); });
        EXPECT_FALSE(driver.TimedOut());
        return result;
    }

    // Edits the page and cancels (nothing changes), then edits it again and presses OK
    // (the plot holds the edits). Answers the pictures before and after.
    void Run(CQKPlotObj* plot, const PageCase& c, qxtest::Image* before = nullptr, qxtest::Image* after = nullptr)
    {
        if (before)
            *before = Render();
        const std::string original = Dump(plot);
        bool found = false;
        Open(plot, [&](HWND h) {
            HWND tab = GoTab(h, c.tab);
            found = ActiveTab(h) == c.tab;
            c.edit(tab);
            qxtest::Click(h, IDCANCEL);
        });
        ASSERT_TRUE(found) << c.tab;
        EXPECT_EQ(original, Dump(plot)) << c.tab << ": Cancel changed the plot";
        INT_PTR result = Open(plot, [&](HWND h) {
            c.edit(GoTab(h, c.tab));
            qxtest::Click(h, IDOK);
        });
        EXPECT_EQ(IDOK, result);
        c.check(plot);
        if (after)
            *after = Render();
    }
};

// The colour of the pixels in a box, counted.
int CountIn(const qxtest::Image& image, RECT box, COLORREF color)
{
    int n = 0;
    for (int y = std::max<int>(0, box.top); y < std::min<int>(image.height, box.bottom); ++y)
        for (int x = std::max<int>(0, box.left); x < std::min<int>(image.width, box.right); ++x)
            n += image.ColorAt(x, y) == color;
    return n;
}

// Runs `drop` (which drops a well) while a thread timer clicks the well's cell at
// `place` (its row and column), as a user would.
void PickInWell(const std::function<void()>& drop, int row, int column)
{
    static POINT at;
    at = {2 + 22 * column + 11, 2 + 22 * row + 11}; // the wells' cells are 22 pixels
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR, DWORD) {
        if (HWND well = CQKPopupBitmapWell::GetTrackingWindow())
            PostMessageA(well, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    });
    drop();
    KillTimer(nullptr, timer);
}

// A click on a button as the mouse makes it.
void MouseClick(HWND button)
{
    SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
}

// Bitmap files of one colour each, made for a test and removed after it.
struct Pictures {
    explicit Pictures(std::initializer_list<uint32_t> colours)
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        for (uint32_t rgb : colours) {
            qxtest::Image image;
            image.width = image.height = 8;
            image.pixels.assign(64, rgb);
            files.push_back(std::string(temp) + "qxpdsymbol" + std::to_string(GetCurrentProcessId()) + "_" +
                            std::to_string(files.size()) + ".bmp");
            image.WriteBmp(files.back());
        }
    }
    ~Pictures()
    {
        qkfxGetSymbolManager()->SetUDSFiles({});
        for (const std::string& f : files)
            DeleteFileA(f.c_str());
    }
    std::vector<std::string> files;
};

} // namespace

TEST_F(PlotPagesTest, DropLinesPageWritesEachBlockAndTheSkipping)
{
    CQKPlotObj* plot = Plot(QK_PLOT_SCATTER, {Column(QK_ROLE_Y, {5, 6, 7, 8}), Column(QK_ROLE_X, {2, 4, 6, 8})});
    bool zShown = true, styleEnabledBefore = true;
    std::string skipShown;
    PageCase c = {"Drop Lines",
                  [&](HWND p) {
                      zShown = IsWindowVisible(GetDlgItem(p, IDC_PD_DROP_Z)) != FALSE;
                      styleEnabledBefore = qxtest::IsEnabled(p, IDC_PD_DROP_VERT_STYLE);
                      skipShown = qxtest::GetText(p, IDC_PD_DROP_SKIP_EVERY);
                      qxtest::SetCheck(p, IDC_PD_DROP_VERT, true);
                      qxtest::ComboSelect(p, IDC_PD_DROP_VERT_STYLE, 1);
                      TypeInCombo(p, IDC_PD_DROP_VERT_WIDTH, "2");
                      qxtest::ComboSelect(p, IDC_PD_DROP_VERT_COLOR, kBlue + 1);
                      qxtest::SetCheck(p, IDC_PD_DROP_HORI, true);
                      qxtest::ComboSelect(p, IDC_PD_DROP_HORI_STYLE, 2);
                      TypeInCombo(p, IDC_PD_DROP_HORI_WIDTH, "1.5");
                      qxtest::ComboSelect(p, IDC_PD_DROP_HORI_COLOR, kGreen + 1);
                      qxtest::SetCheck(p, IDC_PD_DROP_SKIP, true);
                      SetDlgItemTextA(p, IDC_PD_DROP_SKIP_EVERY, "3");
                  },
                  [&](const CQKPlotObj* p) {
                      EXPECT_EQ(3, p->GetDropLineType());
                      EXPECT_EQ(1, p->GetVertLineType());
                      EXPECT_EQ(2.0, p->GetVertLineWidth());
                      EXPECT_EQ(kBlue, p->GetVertLineColor());
                      EXPECT_EQ(2, p->GetHoriLineType());
                      EXPECT_EQ(1.5, p->GetHoriLineWidth());
                      EXPECT_EQ(kGreen, p->GetHoriLineColor());
                      EXPECT_TRUE(p->IsSkipPlottingSymbols());
                      EXPECT_EQ(3, p->GetSkipFrequency());
                  }};
    qxtest::Image before, after;
    Run(plot, c, &before, &after);
    EXPECT_FALSE(zShown); // a 2D plot has no Z drop lines
    EXPECT_FALSE(styleEnabledBefore);
    EXPECT_EQ("2", skipShown); // no frequency yet shows as 2
    // Below the first point a vertical blue line runs down to the frame; the point of the
    // second row is skipped, its drop lines too.
    RECT below = {MapX(2) - 3, MapY(3) - 3, MapX(2) + 4, MapY(3) + 4};
    EXPECT_EQ(0, CountIn(before, below, kBlueRgb));
    EXPECT_GT(CountIn(after, below, kBlueRgb), 0);
    RECT skipped = {MapX(4) - 3, MapY(3) - 3, MapX(4) + 4, MapY(3) + 4};
    EXPECT_EQ(0, CountIn(after, skipped, kBlueRgb));
    EXPECT_GT(CountIn(after, {MapX(1) - 3, MapY(5) - 3, MapX(1) + 4, MapY(5) + 4}, kGreenRgb), 0);
}

TEST_F(PlotPagesTest, LabelPageWritesFontColourPlaceAndStyle)
{
    CQKPlotObj* plot = Plot(QK_PLOT_TEXT, {Column(QK_ROLE_Y, {5}), Column(QK_ROLE_X, {5})}, kRed);
    plot->SetTextColor(0);
    plot->SetTextAttachment(-1);
    bool attachSelected = true;
    PageCase c = {"Label",
                  [&](HWND p) {
                      attachSelected = qxtest::ComboSelection(p, IDC_PD_LBL_ATTACH) >= 0;
                      qxtest::ComboSelect(p, IDC_PD_LBL_FONT, 0);
                      qxtest::ComboSelect(p, IDC_PD_LBL_COLOR, kBlue);
                      TypeInCombo(p, IDC_PD_LBL_SIZE, "30");
                      qxtest::ComboSelect(p, IDC_PD_LBL_JUSTIFY, 1);
                      qxtest::ComboSelect(p, IDC_PD_LBL_ATTACH, 2);
                      SetDlgItemTextA(p, IDC_PD_LBL_ROTATE, "12.5");
                      SetDlgItemTextA(p, IDC_PD_LBL_X_OFFSET, "4");
                      SetDlgItemTextA(p, IDC_PD_LBL_Y_OFFSET, "-3");
                      SendMessageA(GetDlgItem(p, IDC_PD_LBL_STYLE_BAR), TB_CHECKBUTTON, IDC_PD_STYLE_BOLD, TRUE);
                      SendMessageA(GetDlgItem(p, IDC_PD_LBL_STYLE_BAR), TB_CHECKBUTTON, IDC_PD_STYLE_UNDERLINE, TRUE);
                      qxtest::SetCheck(p, IDC_PD_LBL_WHITE_OUT, true);
                  },
                  [&](const CQKPlotObj* p) {
                      EXPECT_EQ(0, p->GetFontType());
                      EXPECT_EQ(kBlue, p->GetTextColor());
                      EXPECT_EQ(30, p->GetFontSize());
                      EXPECT_EQ(1, p->GetTextJustification());
                      EXPECT_EQ(-1, p->GetTextAttachment()); // none before: never written
                      EXPECT_EQ(12.5, p->GetTextRotation());
                      EXPECT_EQ(4.0, p->GetTextXOffset());
                      EXPECT_EQ(-3.0, p->GetTextYOffset());
                      EXPECT_EQ(9, p->GetFontStyle());
                      EXPECT_TRUE(p->IsWhiteOut());
                  }};
    qxtest::Image before, after;
    Run(plot, c, &before, &after);
    EXPECT_FALSE(attachSelected);
    RECT around = {MapX(5) - 10, MapY(5) - 60, MapX(5) + 120, MapY(5) + 30};
    EXPECT_EQ(0, CountIn(before, around, kBlueRgb));
    EXPECT_GT(CountIn(after, around, kBlueRgb), 20);
}

TEST_F(PlotPagesTest, ErrorBarPageWritesColourWidthsAndDirections)
{
    QKPlotData y = Column(QK_ROLE_Y, {5}), x = Column(QK_ROLE_X, {5});
    Plot(QK_PLOT_LINE_SYMBOL, {y, x});
    QKPlotData err = Column(QK_ROLE_Y_ERROR, {2});
    CQKPlotObj* bars = Plot(QK_PLOT_ERROR_BAR, {y, err});
    ASSERT_NE(nullptr, bars);
    std::string text;
    bool throughShown = false;
    PageCase c = {"Error Bar",
                  [&](HWND p) {
                      text = qxtest::GetText(p, IDC_PD_EB_TEXT);
                      throughShown = IsWindowVisible(GetDlgItem(p, IDC_PD_EB_THROUGH)) != FALSE;
                      qxtest::ComboSelect(p, IDC_PD_EB_COLOR, kBlue + 1);
                      TypeInCombo(p, IDC_PD_EB_LINE_WIDTH, "3");
                      TypeInCombo(p, IDC_PD_EB_CAP_WIDTH, "20");
                      qxtest::SetCheck(p, IDC_PD_EB_THROUGH, true);
                      qxtest::SetCheck(p, IDC_PD_EB_MINUS, false);
                      qxtest::Click(p, IDC_PD_EB_RELATIVE);
                  },
                  [&](const CQKPlotObj* p) {
                      auto* b = dynamic_cast<const CQKErrorBar*>(p);
                      ASSERT_NE(nullptr, b);
                      EXPECT_EQ(kBlue, b->GetErrorBarColor());
                      EXPECT_EQ(3.0, b->GetLineWidth());
                      EXPECT_EQ(20.0, b->GetCapWidth());
                      EXPECT_TRUE(b->IsThroughSymbol());
                      EXPECT_TRUE(b->IsDirectionPlus());
                      EXPECT_FALSE(b->IsDirectionMinus());
                      EXPECT_TRUE(b->IsDirectionRelative());
                  }};
    qxtest::Image before, after;
    Run(bars, c, &before, &after);
    EXPECT_NE(std::string::npos, text.find(bars->GetName()));
    EXPECT_TRUE(throughShown);
    // Relative: 2 % of 5 upward only, a blue cap 20 points wide just above the point.
    RECT cap = {MapX(5) - 12, MapY(5.1) - 3, MapX(5) + 13, MapY(5.1) + 3};
    EXPECT_EQ(0, CountIn(before, cap, kBlueRgb));
    EXPECT_GT(CountIn(after, cap, kBlueRgb), 10);
}

TEST_F(PlotPagesTest, FunctionPageWritesFormulaDensityAndDisplay)
{
    auto* fn = new CQKPlotObj;
    fn->SetPlotObjectType(QK_PLOT_FUNCTION);
    fn->SetDataSetName("F1");
    fn->SetColor(kBlue);
    layer->AddObject(fn);
    int listed = 0;
    std::string added;
    PageCase c = {"Function",
                  [&](HWND p) {
                      listed = (int)SendDlgItemMessageA(p, IDC_PD_FN_LIST, CB_GETCOUNT, 0, 0);
                      // The selected text goes inside the function chosen from the list.
                      SetDlgItemTextA(p, IDC_PD_FN_FORMULA, "7");
                      SendDlgItemMessageA(p, IDC_PD_FN_FORMULA, EM_SETSEL, 0, -1);
                      qxtest::Click(p, IDC_PD_FN_ADD);
                      added = qxtest::GetText(p, IDC_PD_FN_FORMULA);
                      SetDlgItemTextA(p, IDC_PD_FN_FORMULA, "7");
                      TypeInCombo(p, IDC_PD_FN_DENSITY, "50");
                  },
                  [&](const CQKPlotObj* p) {
                      EXPECT_EQ("7", p->GetFunctionToSeries());
                      EXPECT_EQ(50.0, p->GetFunctionDensity());
                      EXPECT_TRUE(p->GetFunctionShow());
                  }};
    qxtest::Image before, after;
    Run(fn, c, &before, &after);
    EXPECT_EQ(qkfxGetFunctionCount() - 1, listed);
    const std::string first = qkfxGetFunctionText(0);
    EXPECT_EQ(first.substr(0, first.size() - 1) + "7" + first.back(), added);
    // y = x before, y = 7 after: the line crosses X = 2 at 2, then at 7.
    EXPECT_GT(CountIn(before, {MapX(2) - 2, MapY(2) - 2, MapX(2) + 3, MapY(2) + 3}, kBlueRgb), 0);
    EXPECT_EQ(0, CountIn(after, {MapX(2) - 2, MapY(2) - 2, MapX(2) + 3, MapY(2) + 3}, kBlueRgb));
    EXPECT_GT(CountIn(after, {MapX(2) - 2, MapY(7) - 2, MapX(2) + 3, MapY(7) + 3}, kBlueRgb), 0);

    Open(fn, [&](HWND h) {
        qxtest::SetCheck(GoTab(h, "Function"), IDC_PD_FN_SHOW, false);
        qxtest::Click(h, IDOK);
    });
    EXPECT_FALSE(fn->GetFunctionShow());
    EXPECT_EQ(0, CountIn(Render(), {MapX(2) - 2, MapY(7) - 2, MapX(2) + 3, MapY(7) + 3}, kBlueRgb));
}

TEST_F(PlotPagesTest, VectorPageWritesArrowsAndItsDataSource)
{
    QKPlotData angle = Column(QK_ROLE_ANGLE, {0});
    QKPlotData magnitude = Column(QK_ROLE_MAGNITUDE, {72});
    CQKPlotObj* plot = Plot(QK_PLOT_VECTOR, {Column(QK_ROLE_Y, {5}), Column(QK_ROLE_X, {5}), angle, magnitude});
    // The worksheet's columns: A, B, then angle and magnitude (102, 103), Y and X.
    EXPECT_EQ(102.0, plot->GetAngle());
    PageCase c = {"Directional Vector",
                  [&](HWND p) {
                      PickColor(p, IDC_PD_VEC_COLOR_BUTTON, kBlue); // in place of the list: per-point colours
                      TypeInCombo(p, IDC_PD_VEC_WIDTH, "2");
                      TypeInCombo(p, IDC_PD_VEC_LENGTH, "12");
                      TypeInCombo(p, IDC_PD_VEC_ANGLE_HEAD, "45");
                      qxtest::Click(p, IDC_PD_VEC_CLOSED);
                      TypeInCombo(p, IDC_PD_VEC_ANGLE, "90");
                      TypeInCombo(p, IDC_PD_VEC_MULTIPLIER, "0.5");
                      qxtest::Click(p, IDC_PD_VEC_MIDDLE);
                  },
                  [&](const CQKPlotObj* p) {
                      EXPECT_EQ(kBlue, p->GetVectorColor());
                      EXPECT_EQ(2.0, p->GetVectorWidth());
                      EXPECT_EQ(12, p->GetArrowLength());
                      EXPECT_EQ(45, p->GetArrowAngle());
                      EXPECT_TRUE(p->IsArrowHeadClose());
                      EXPECT_EQ(90.0, p->GetAngle()); // a constant now: the column is dropped
                      EXPECT_EQ(103.0, p->GetMagnitude());
                      EXPECT_EQ(0.5, p->GetScalingFactor());
                      EXPECT_EQ(1, p->GetPositionIndex());
                  }};
    qxtest::Image before, after;
    Run(plot, c, &before, &after);
    // 72 points x 0.5 straight up, centred on the point: blue above and below it.
    const int half = (int)std::lround(36.0 / 2 * W / 10.0 / 72.0);
    RECT above = {MapX(5) - 3, MapY(5) - half, MapX(5) + 4, MapY(5) - 2};
    RECT below = {MapX(5) - 3, MapY(5) + 2, MapX(5) + 4, MapY(5) + half - 2};
    EXPECT_EQ(0, CountIn(before, above, kBlueRgb));
    EXPECT_GT(CountIn(after, above, kBlueRgb), 0);
    EXPECT_GT(CountIn(after, below, kBlueRgb), 0);
}

TEST_F(PlotPagesTest, FlowVectorChoosesItsEndColumns)
{
    CQKPlotObj* plot = Plot(QK_PLOT_VECTOR, {Column(QK_ROLE_Y, {5}), Column(QK_ROLE_X, {5}), Column(QK_ROLE_X_END, {8}),
                                             Column(QK_ROLE_Y_END, {8})});
    Column(QK_ROLE_Y, {1}); // a fifth column to choose
    int xShown = -1, entries = 0;
    Open(plot, [&](HWND h) {
        HWND p = GoTab(h, "Flow Vector");
        xShown = qxtest::ComboSelection(p, IDC_PD_VEC_X_END);
        entries = (int)SendDlgItemMessageA(p, IDC_PD_VEC_X_END, CB_GETCOUNT, 0, 0);
        qxtest::ComboSelect(p, IDC_PD_VEC_Y_END, 6);
        qxtest::Click(h, IDOK);
    });
    // A new worksheet starts with two columns: the end columns are its fifth and sixth.
    EXPECT_EQ(4, xShown);
    EXPECT_EQ(7, entries);
    EXPECT_EQ(104, plot->GetXEnd());
    EXPECT_EQ(106, plot->GetYEnd());
}

TEST_F(PlotPagesTest, PieLabelsPageWritesTheChoicesAndKeepsTheDistanceInRange)
{
    CQKPlotObj* plot = Plot(QK_PLOT_PIE, {Column(QK_ROLE_Y, {1, 2, 3})});
    std::string corrected, minusKept;
    bool valuesEnabled = false;
    PageCase c = {"Labels",
                  [&](HWND p) {
                      TypeInEdit(p, IDC_PD_PIE_DISTANCE, "150");
                      corrected = qxtest::GetText(p, IDC_PD_PIE_DISTANCE);
                      TypeInEdit(p, IDC_PD_PIE_DISTANCE, "-");
                      minusKept = qxtest::GetText(p, IDC_PD_PIE_DISTANCE);
                      TypeInEdit(p, IDC_PD_PIE_DISTANCE, "-20");
                      qxtest::SetCheck(p, IDC_PD_PIE_PERCENT, false);
                      qxtest::SetCheck(p, IDC_PD_PIE_VALUES, true);
                      qxtest::SetCheck(p, IDC_PD_PIE_CATEGORIES, true);
                      qxtest::SetCheck(p, IDC_PD_PIE_ASSOCIATE, false);
                      qxtest::SetCheck(p, IDC_PD_PIE_AUTOMATIC, false);
                      valuesEnabled = qxtest::IsEnabled(p, IDC_PD_PIE_VALUES);
                  },
                  [&](const CQKPlotObj* p) {
                      EXPECT_FALSE(p->GetLabelPercent());
                      EXPECT_TRUE(p->GetLabelValue());
                      EXPECT_TRUE(p->GetLabelCategory());
                      EXPECT_FALSE(p->GetLabelReposition());
                      EXPECT_FALSE(p->GetLabelRewrite());
                      EXPECT_EQ(-20.0, p->GetLabelDistance());
                  }};
    qxtest::Image before, after;
    Run(plot, c, &before, &after);
    EXPECT_EQ("100", corrected);
    EXPECT_EQ("-", minusKept);
    EXPECT_FALSE(valuesEnabled);
    // The labels moved from outside the pie to inside it: no black is left in the frame
    // beyond the pie's edge.
    const double cx = W / 2.0, cy = 0.45 * H, r = 0.4 * 0.70 * H;
    auto outside = [&](const qxtest::Image& image) {
        int n = 0;
        for (int y = (int)(0.10 * H) + 5; y < (int)(0.80 * H) - 5; ++y)
            for (int x = (int)(0.15 * W) + 5; x < (int)(0.85 * W) - 5; ++x)
                n += std::hypot(x - cx, y - cy) > r + 3 && image.ColorAt(x, y) == kBlackRgb;
        return n;
    };
    EXPECT_GT(outside(before), 0);
    EXPECT_EQ(0, outside(after));
}

TEST_F(PlotPagesTest, PieGeometryPageWritesTheGeometryAndTheExplodedWedges)
{
    CQKPlotObj* plot = Plot(QK_PLOT_PIE, {Column(QK_ROLE_Y, {1, MISSING_VALUE, 2, 3})});
    plot->SetSkirtHeight(0.25);
    plot->SetLabelHide(TRUE);
    std::string thickness, viewCorrected;
    int wedges = 0;
    PageCase c = {"Pie Geometry",
                  [&](HWND p) {
                      thickness = qxtest::GetText(p, IDC_PD_PIE_THICKNESS);
                      wedges = (int)SendDlgItemMessageA(p, IDC_PD_PIE_WEDGES, LB_GETCOUNT, 0, 0);
                      TypeInEdit(p, IDC_PD_PIE_VIEW_ANGLE, "95");
                      viewCorrected = qxtest::GetText(p, IDC_PD_PIE_VIEW_ANGLE);
                      TypeInEdit(p, IDC_PD_PIE_VIEW_ANGLE, "60");
                      TypeInEdit(p, IDC_PD_PIE_THICKNESS, "40");
                      TypeInEdit(p, IDC_PD_PIE_AZIMUTH, "-90");
                      qxtest::SetCheck(p, IDC_PD_PIE_CCW, false);
                      TypeInEdit(p, IDC_PD_PIE_RADIUS, "50");
                      TypeInEdit(p, IDC_PD_PIE_OFFSET, "20");
                      SendDlgItemMessageA(p, IDC_PD_PIE_WEDGES, LB_SETSEL, TRUE, 1);
                      SendMessageA(p, WM_COMMAND, MAKEWPARAM(IDC_PD_PIE_WEDGES, LBN_SELCHANGE),
                                   (LPARAM)GetDlgItem(p, IDC_PD_PIE_WEDGES));
                      TypeInEdit(p, IDC_PD_PIE_DISPLACEMENT, "30");
                  },
                  [&](const CQKPlotObj* p) {
                      EXPECT_EQ(60.0, p->GetAngle3D());
                      EXPECT_DOUBLE_EQ(0.4, p->GetSkirtHeight());
                      EXPECT_EQ(-90.0, p->GetAzimuthAngle());
                      EXPECT_FALSE(p->GetCounterClockwise());
                      EXPECT_EQ(50.0, p->GetRadiusScale());
                      EXPECT_EQ(20.0, p->GetHorizontalOffset());
                      EXPECT_EQ(2u, p->GetExplodedWedges());
                      EXPECT_EQ(30.0, p->GetWedgeDisplacement());
                  }};
    qxtest::Image before, after;
    Run(plot, c, &before, &after);
    EXPECT_EQ("25", thickness);
    EXPECT_EQ("90", viewCorrected);
    EXPECT_EQ(3, wedges); // the missing row has no wedge
    // Half the radius, 20 % of the frame to the right: the old centre's left is paper now.
    const int cx = W / 2, cy = (int)(0.45 * H);
    const double r = 0.4 * 0.70 * H;
    EXPECT_NE(kWhiteRgb, before.ColorAt((int)(cx - 0.8 * r), cy));
    EXPECT_EQ(kWhiteRgb, after.ColorAt((int)(cx - 0.8 * r), cy));
    EXPECT_NE(kWhiteRgb, after.ColorAt(cx + (int)(0.2 * 0.70 * W + 0.5 * 0.5 * r), cy));
}

TEST_F(PlotPagesTest, PatternKeepsColoursItsListsCannotShowUnlessChanged)
{
    // Columns show their colours on buttons (they may take them per point), a pie on
    // colour lists, which cannot show a colour taken from a worksheet column, a
    // colour-map colour or a colour past the table.
    struct Case {
        int type;
        bool buttons;
    } const cases[] = {{QK_PLOT_COLUMN, true}, {QK_PLOT_PIE, false}};
    for (const Case& c : cases) {
        CQKPlotObj* plot = Plot(c.type, {Column(QK_ROLE_Y, {5}), Column(QK_ROLE_X, {5})});
        const int column = 101, mapped = 0x400064, custom = 200;
        plot->SetBorderColor(column, 0);
        plot->SetBKColor(mapped, 0);
        plot->SetBarFillColor(custom, 0);
        bool buttonShown = !c.buttons, listShown = c.buttons;
        int buttonColor = 0;
        Open(plot, [&](HWND h) {
            HWND p = GoTab(h, "Pattern");
            buttonShown = IsWindowVisible(GetDlgItem(p, IDC_PD_PAT_BORDER_BUTTON)) != FALSE;
            listShown = IsWindowVisible(GetDlgItem(p, IDC_PD_PAT_BORDER_COLOR)) != FALSE;
            buttonColor = ColorButton(p, IDC_PD_PAT_BORDER_BUTTON)->GetSelectedQCOLOR(0);
            qxtest::ComboSelect(p, IDC_PD_PAT_PATTERN, 2);
            qxtest::Click(h, IDOK);
        });
        EXPECT_EQ(c.buttons, buttonShown) << c.type;
        EXPECT_NE(c.buttons, listShown) << c.type;
        if (c.buttons)
            EXPECT_EQ(column, buttonColor);
        EXPECT_EQ(2, plot->GetFillPattern(0)) << c.type;
        EXPECT_EQ(column, plot->GetBorderColor(0)) << c.type;
        EXPECT_EQ(mapped, plot->GetBKColor(0)) << c.type;
        EXPECT_EQ(custom, plot->GetBarFillColor(0)) << c.type;

        Open(plot, [&](HWND h) {
            HWND p = GoTab(h, "Pattern");
            if (c.buttons)
                PickColor(p, IDC_PD_PAT_FILL_BUTTON, kGreen);
            else
                qxtest::ComboSelect(p, IDC_PD_PAT_FILL_COLOR, kGreen + 1);
            qxtest::Click(h, IDOK);
        });
        EXPECT_EQ(kGreen, plot->GetBKColor(0)) << c.type;
        EXPECT_EQ(column, plot->GetBorderColor(0)) << c.type;
        EXPECT_EQ(custom, plot->GetBarFillColor(0)) << c.type;
        layer->RemoveDataObj(plot->GetId());
    }
}

// Each colour button of the pages, on a plot whose points may take their own colours:
// shown in place of its list with the plot's colour, a colour by a worksheet column
// chosen (Cancel keeps the plot as it was, OK writes it), and the graph drawn with each
// point in its own colour. The colour column holds colour-table numbers from 1 (2 red,
// 4 blue) or, through the colour map made for it, values whose lowest takes the map's
// first fill.
TEST_F(PlotPagesTest, ColourButtonsTakeColoursPerPointFromAWorksheetColumn)
{
    struct Probe {
        double x, y;
        COLORREF color;
    };
    struct Case {
        const char* name;
        std::function<CQKPlotObj*(PlotPagesTest&)> make;
        const char* tab;
        int list, button;
        bool mapped;
        std::function<int(const CQKPlotObj*)> get;
        std::vector<Probe> probes;
    };
    auto xy = [](int type) {
        return [type](PlotPagesTest& t) {
            return t.Plot(type, {t.Column(QK_ROLE_Y, {5, 5}), t.Column(QK_ROLE_X, {2, 8})}, kBlack);
        };
    };
    const Case cases[] = {
        {"line colour", xy(QK_PLOT_LINE_SYMBOL), "Line", IDC_PD_LINE_COLOR, IDC_PD_LINE_COLOR_BUTTON, false,
         [](const CQKPlotObj* p) { return p->GetColor(); }, {{3.5, 5, kRedRgb}, {8, 5, kBlueRgb}}},
        {"symbol edge", xy(QK_PLOT_SCATTER), "Symbol", IDC_PD_SYM_EDGE_COLOR, IDC_PD_SYM_EDGE_BUTTON, false,
         [](const CQKPlotObj* p) { return p->GetEdgeColor(); }, {{2, 5, kRedRgb}, {8, 5, kBlueRgb}}},
        {"symbol fill",
         [](PlotPagesTest& t) {
             CQKPlotObj* p = t.Plot(QK_PLOT_SCATTER, {t.Column(QK_ROLE_Y, {5, 5}), t.Column(QK_ROLE_X, {2, 8})}, kBlack);
             p->SetSymbolFill(QK_SYMFILL_OPEN);
             p->SetSymbolSize(20);
             return p;
         },
         "Symbol", IDC_PD_SYM_FILL_COLOR, IDC_PD_SYM_FILL_BUTTON, true, [](const CQKPlotObj* p) { return p->GetFillColor(); },
         {}},
        {"pattern fill", xy(QK_PLOT_COLUMN), "Pattern", IDC_PD_PAT_FILL_COLOR, IDC_PD_PAT_FILL_BUTTON, false,
         [](const CQKPlotObj* p) { return p->GetBKColor(0); }, {{2, 2.5, kRedRgb}, {8, 2.5, kBlueRgb}}},
        {"pattern border", xy(QK_PLOT_COLUMN), "Pattern", IDC_PD_PAT_BORDER_COLOR, IDC_PD_PAT_BORDER_BUTTON, true,
         [](const CQKPlotObj* p) { return p->GetBorderColor(0); }, {}},
        {"pattern colour",
         [](PlotPagesTest& t) {
             CQKPlotObj* p = t.Plot(QK_PLOT_COLUMN, {t.Column(QK_ROLE_Y, {5, 5}), t.Column(QK_ROLE_X, {2, 8})}, kBlack);
             p->SetFillPattern(1, 0); // the pattern colour is chosen only for a pattern
             return p;
         },
         "Pattern", IDC_PD_PAT_PATTERN_COLOR, IDC_PD_PAT_PATTERN_BUTTON, false,
         [](const CQKPlotObj* p) { return p->GetBarFillColor(0); }, {}},
        {"vector colour",
         [](PlotPagesTest& t) {
             return t.Plot(QK_PLOT_VECTOR,
                           {t.Column(QK_ROLE_Y, {5, 5}), t.Column(QK_ROLE_X, {2, 6}), t.Column(QK_ROLE_ANGLE, {0, 0}),
                            t.Column(QK_ROLE_MAGNITUDE, {72, 72})},
                           kBlack);
         },
         "Directional Vector", IDC_PD_VEC_COLOR, IDC_PD_VEC_COLOR_BUTTON, false,
         [](const CQKPlotObj* p) { return p->GetVectorColor(); }, {{2.5, 5, kRedRgb}, {6.5, 5, kBlueRgb}}},
    };
    for (const Case& c : cases) {
        qkfxGetProject().New();
        SetUp();
        CQKPlotObj* plot = c.make(*this);
        ASSERT_NE(nullptr, plot) << c.name;
        CQKDataset* colours = wks->AddColumn();
        colours->SetValue(0, 2);
        colours->SetValue(1, 4);
        const int qcolor = qkColumnQCOLOR(wks->GetNumCols(), c.mapped);
        const std::string original = Dump(plot);
        bool buttonShown = false, listShown = true;
        int shownColor = 0;
        std::vector<std::pair<std::string, int>> menu;
        Open(plot, [&](HWND h) {
            HWND p = GoTab(h, c.tab);
            buttonShown = IsWindowVisible(GetDlgItem(p, c.button)) != FALSE;
            listShown = IsWindowVisible(GetDlgItem(p, c.list)) != FALSE;
            CQKColorMenuButtonCtrl* button = ColorButton(p, c.button);
            if (button) {
                shownColor = button->GetSelectedQCOLOR(0);
                menu = button->GetMenuEntries();
            }
            PickColor(p, c.button, qcolor);
            qxtest::Click(h, IDCANCEL);
        });
        EXPECT_TRUE(buttonShown) << c.name;
        EXPECT_FALSE(listShown) << c.name;
        EXPECT_EQ(c.get(plot), shownColor) << c.name;
        // The menu: the colours, then each column by colour numbers and through the map.
        int columnEntries = 0;
        for (const auto& entry : menu)
            columnEntries += qkIsPointQCOLOR(entry.second);
        EXPECT_EQ(2 * wks->GetNumCols(), columnEntries) << c.name;
        EXPECT_EQ(original, Dump(plot)) << c.name << ": Cancel changed the plot";

        qxtest::Image before = Render();
        Open(plot, [&](HWND h) {
            PickColor(GoTab(h, c.tab), c.button, qcolor);
            qxtest::Click(h, IDOK);
        });
        EXPECT_EQ(qcolor, c.get(plot)) << c.name;
        // A colour through the map gives the plot its map: the default levels over the column.
        if (c.mapped) {
            ASSERT_GE(plot->GetColorMapState().levels.size(), 2u) << c.name;
            EXPECT_EQ(2.0, plot->GetColorMapState().levels.front().level) << c.name;
            EXPECT_EQ(4.0, plot->GetColorMapState().levels.back().level) << c.name;
        }
        qxtest::Image after = Render();
        for (const Probe& p : c.probes) {
            RECT box = {MapX(p.x) - 2, MapY(p.y) - 2, MapX(p.x) + 3, MapY(p.y) + 3};
            EXPECT_EQ(0, CountIn(before, box, p.color)) << c.name << " at " << p.x;
            EXPECT_GT(CountIn(after, box, p.color), 0) << c.name << " at " << p.x;
        }
        if (c.button == IDC_PD_SYM_FILL_BUTTON) {
            // The lowest value's symbol filled with the map's first fill, the highest with its last.
            const auto& levels = plot->GetColorMapState().levels;
            EXPECT_EQ(levels.front().fillColor & 0xFFFFFF, after.ColorAt(MapX(2), MapY(5))) << c.name;
            EXPECT_EQ(levels.back().fillColor & 0xFFFFFF, after.ColorAt(MapX(8), MapY(5))) << c.name;
        }
    }
}

TEST_F(PlotPagesTest, SymbolPageWritesSizeEdgeFillAndTheConstructedSymbol)
{
    CQKPlotObj* plot = Plot(QK_PLOT_SCATTER, {Column(QK_ROLE_Y, {5, 5, 5}), Column(QK_ROLE_X, {2, 5, 8})}, kRed);
    bool scalingShownForColumn = false, scalingShownTyped = true, shapeShown = false, charShown = false;
    PageCase c = {"Symbol",
                  [&](HWND p) {
                      // A size from a worksheet column shows the scaling factor; a typed one hides it.
                      const int columns = (int)SendDlgItemMessageA(p, IDC_PD_SYM_SIZE, CB_GETCOUNT, 0, 0);
                      qxtest::ComboSelect(p, IDC_PD_SYM_SIZE, columns - 1);
                      scalingShownForColumn = IsWindowVisible(GetDlgItem(p, IDC_PD_SYM_SCALING)) != FALSE;
                      TypeInCombo(p, IDC_PD_SYM_SIZE, "20");
                      scalingShownTyped = IsWindowVisible(GetDlgItem(p, IDC_PD_SYM_SCALING)) != FALSE;
                      TypeInCombo(p, IDC_PD_SYM_THICKNESS, "30");
                      PickColor(p, IDC_PD_SYM_EDGE_BUTTON, kBlue);
                      qxtest::SetCheck(p, IDC_PD_SYM_CONSTRUCTION, true);
                      shapeShown = IsWindowVisible(GetDlgItem(p, IDC_PD_SYM_SHAPE)) != FALSE;
                      qxtest::ComboSelect(p, IDC_PD_SYM_SHAPE, QK_SYMBOL_DIAMOND);
                      qxtest::ComboSelect(p, IDC_PD_SYM_INTERIOR, QK_SYMFILL_OPEN);
                      // An open interior shows the fill colour.
                      PickColor(p, IDC_PD_SYM_FILL_BUTTON, kGreen);
                  },
                  [&](const CQKPlotObj* p) {
                      EXPECT_EQ(20.0, p->GetSymbolSize());
                      EXPECT_EQ(0, p->GetSymbolSizeColumn());
                      EXPECT_EQ(30, p->GetSymbolThickness());
                      EXPECT_EQ(kBlue, p->GetEdgeColor());
                      EXPECT_EQ(kGreen, p->GetFillColor());
                      EXPECT_EQ(0, p->GetSymbolStyle());
                      EXPECT_EQ(QK_SYMBOL_DIAMOND, p->GetSymbolType());
                      EXPECT_EQ(QK_SYMFILL_OPEN, p->GetSymbolFill());
                  }};
    qxtest::Image before, after;
    Run(plot, c, &before, &after);
    EXPECT_TRUE(scalingShownForColumn);
    EXPECT_FALSE(scalingShownTyped);
    EXPECT_TRUE(shapeShown);
    // An open blue diamond, green inside, where the red square was.
    EXPECT_EQ(kRedRgb, before.ColorAt(MapX(5), MapY(5)));
    EXPECT_EQ(kGreenRgb, after.ColorAt(MapX(5), MapY(5)));
    EXPECT_GT(CountIn(after, {MapX(5) - 15, MapY(5) - 15, MapX(5) + 16, MapY(5) + 16}, kBlueRgb), 10);

    // The other kinds: a character, letters counting up from a start letter, row numbers.
    struct Kind {
        int radio;
        std::function<void(HWND)> pick;
        int style, type, fill;
    } const kinds[] = {
        {IDC_PD_SYM_SINGLE, [](HWND p) { qxtest::ComboSelect(p, IDC_PD_SYM_CHARACTER, '#' - 33); }, '#', -1, -1},
        {IDC_PD_SYM_INCREMENTAL, [](HWND p) { qxtest::ComboSelect(p, IDC_PD_SYM_ALPHABET, 26 + 2); }, 0,
         QK_SYMBOL_abcd, 'c'},
        {IDC_PD_SYM_ROW_NUMBER, [](HWND) {}, 0, QK_SYMBOL_NUM, 49},
    };
    for (const Kind& k : kinds) {
        Open(plot, [&](HWND h) {
            HWND p = GoTab(h, "Symbol");
            qxtest::SetCheck(p, IDC_PD_SYM_CONSTRUCTION, true);
            qxtest::Click(p, k.radio);
            charShown = IsWindowVisible(GetDlgItem(p, IDC_PD_SYM_CHAR_FONT)) != FALSE;
            k.pick(p);
            qxtest::Click(h, IDOK);
        });
        EXPECT_TRUE(charShown) << k.radio;
        EXPECT_EQ(k.style, plot->GetSymbolStyle()) << k.radio;
        if (k.type >= 0) {
            EXPECT_EQ(k.type, plot->GetSymbolType()) << k.radio;
            EXPECT_EQ(k.fill, plot->GetSymbolFill()) << k.radio;
        }
    }
    // Row numbers: each point shows its own number, the first "1".
    qxtest::Image numbers = Render();
    EXPECT_GT(CountIn(numbers, {MapX(2) - 15, MapY(5) - 15, MapX(2) + 16, MapY(5) + 16}, kBlueRgb), 0);
}

TEST_F(PlotPagesTest, GalleryPickSetsTheSymbolAndCancelKeepsIt)
{
    CQKPlotObj* plot = Plot(QK_PLOT_SCATTER, {Column(QK_ROLE_Y, {5}), Column(QK_ROLE_X, {5})});
    plot->SetSymbolType(QK_SYMBOL_SQUARE);
    auto pick = [&](int cell, int button) {
        Open(plot, [&](HWND h) {
            HWND p = GoTab(h, "Symbol");
            // The gallery reports the cell chosen from its list.
            SendMessageA(p, 0x465, IDC_PD_SYM_GALLERY, cell);
            qxtest::Click(h, button);
        });
    };
    pick(QK_SYMBOL_SHAPE_COUNT - 1 + 1, IDCANCEL); // an open circle, cancelled
    EXPECT_EQ(QK_SYMBOL_SQUARE, plot->GetSymbolType());
    pick(QK_SYMBOL_SHAPE_COUNT - 1 + 1, IDOK);
    EXPECT_EQ(QK_SYMBOL_CIRCLE, plot->GetSymbolType());
    EXPECT_EQ(QK_SYMFILL_OPEN, plot->GetSymbolFill());
}

TEST_F(PlotPagesTest, UserDefinedSymbolIsChosenFromItsListAndDrawn)
{
    Pictures pictures{0xFF00FF, 0x00FFFF}; // magenta, cyan
    qkfxGetSymbolManager()->SetUDSFiles(pictures.files);
    CQKPlotObj* plot = Plot(QK_PLOT_SCATTER, {Column(QK_ROLE_Y, {5}), Column(QK_ROLE_X, {5})});
    int listed = 0;
    bool listShown = false;
    PageCase c = {"Symbol",
                  [&](HWND p) {
                      qxtest::SetCheck(p, IDC_PD_SYM_CONSTRUCTION, true);
                      qxtest::Click(p, IDC_PD_SYM_USER_DEFINED);
                      listShown = IsWindowVisible(GetDlgItem(p, IDC_PD_SYM_UDS)) != FALSE;
                      listed = (int)SendDlgItemMessageA(p, IDC_PD_SYM_UDS, CB_GETCOUNT, 0, 0);
                      qxtest::ComboSelect(p, IDC_PD_SYM_UDS, 1);
                  },
                  [&](const CQKPlotObj* p) {
                      EXPECT_EQ(2, p->GetSymbolStyle());
                      EXPECT_EQ(5, CQUPlotDetailsSymbol::KindOfPlot(p));
                  }};
    qxtest::Image before, after;
    Run(plot, c, &before, &after);
    EXPECT_TRUE(listShown);
    EXPECT_EQ(2, listed);
    EXPECT_EQ(kRedRgb, before.ColorAt(MapX(5), MapY(5)));
    EXPECT_EQ(RGB(0, 255, 255), after.ColorAt(MapX(5), MapY(5)));

    // Opened again, the page shows the kind and the symbol.
    int selected = -1;
    bool userChecked = false;
    Open(plot, [&](HWND h) {
        HWND p = GoTab(h, "Symbol");
        qxtest::SetCheck(p, IDC_PD_SYM_CONSTRUCTION, true);
        userChecked = qxtest::IsChecked(p, IDC_PD_SYM_USER_DEFINED);
        selected = qxtest::ComboSelection(p, IDC_PD_SYM_UDS);
        qxtest::Click(h, IDCANCEL);
    });
    EXPECT_TRUE(userChecked);
    EXPECT_EQ(1, selected);

    // The symbol's file gone: the point still shows, as a plain square (red edge, white
    // automatic fill).
    DeleteFileA(pictures.files[1].c_str());
    qkfxGetSymbolManager()->SetUDSFiles(pictures.files);
    const qxtest::Image gone = Render();
    const RECT around = {MapX(5) - 15, MapY(5) - 15, MapX(5) + 16, MapY(5) + 16};
    EXPECT_GT(CountIn(gone, around, kRedRgb), 10);
    EXPECT_EQ(0, CountIn(gone, around, RGB(0, 255, 255)));
    EXPECT_EQ(2, plot->GetSymbolStyle());
}

TEST_F(PlotPagesTest, UserDefinedWithoutSymbolsSaysSoOnceAndKeepsAValidKind)
{
    qkfxGetSymbolManager()->SetUDSFiles({});
    CQKPlotObj* plot = Plot(QK_PLOT_SCATTER, {Column(QK_ROLE_Y, {5}), Column(QK_ROLE_X, {5})});
    plot->SetSymbolType(QK_SYMBOL_DIAMOND);
    std::vector<std::string> messages;
    bool shapeShown = false, geometricChecked = false;
    DialogDriver driver;
    driver.Then([&](HWND h) {
        HWND p = GoTab(h, "Symbol");
        qxtest::SetCheck(p, IDC_PD_SYM_CONSTRUCTION, true);
        qxtest::Click(p, IDC_PD_SYM_USER_DEFINED);
        qxtest::Click(p, IDC_PD_SYM_USER_DEFINED); // no second message
        shapeShown = IsWindowVisible(GetDlgItem(p, IDC_PD_SYM_SHAPE)) != FALSE;
        geometricChecked = qxtest::IsChecked(p, IDC_PD_SYM_GEOMETRIC);
        qxtest::Click(h, IDOK);
    });
    driver.Then([&](HWND box) {
        messages.push_back(qxtest::MessageBoxText(box));
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    driver.Run([&] { return (INT_PTR)page->PlotDetailsDialog(plot, 2, 0); });
    EXPECT_FALSE(driver.TimedOut());
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ("There are currently no user-defined symbols. Select Tools:Options Graph Tab to create "
              "user-defined symbols.",
              messages[0]);
    EXPECT_TRUE(shapeShown);
    EXPECT_TRUE(geometricChecked);
    EXPECT_EQ(0, plot->GetSymbolStyle());
    EXPECT_EQ(QK_SYMBOL_DIAMOND, plot->GetSymbolType());
}

TEST_F(PlotPagesTest, GalleryWellDropsOnAClickAndItsPickSetsTheSymbol)
{
    CQKPlotObj* plot = Plot(QK_PLOT_SCATTER, {Column(QK_ROLE_Y, {5}), Column(QK_ROLE_X, {5})});
    plot->SetSymbolType(QK_SYMBOL_SQUARE);
    Open(plot, [&](HWND h) {
        HWND p = GoTab(h, "Symbol");
        // The second row holds the open shapes; its second cell is the open circle.
        PickInWell([&] { MouseClick(GetDlgItem(p, IDC_PD_SYM_GALLERY)); }, 1, 1);
        qxtest::Click(h, IDOK);
    });
    EXPECT_EQ(QK_SYMBOL_CIRCLE, plot->GetSymbolType());
    EXPECT_EQ(QK_SYMFILL_OPEN, plot->GetSymbolFill());
}

TEST_F(PlotPagesTest, TreeMenuSwitchesTheErrorBarsCapUnits)
{
    QKPlotData y = Column(QK_ROLE_Y, {5}), x = Column(QK_ROLE_X, {5});
    CQKPlotObj* line = Plot(QK_PLOT_LINE_SYMBOL, {y, x});
    auto* bars = dynamic_cast<CQKErrorBar*>(Plot(QK_PLOT_ERROR_BAR, {y, Column(QK_ROLE_Y_ERROR, {2})}));
    ASSERT_NE(nullptr, bars);
    // The menu's three submenus: for everything, for new error bars, for old ones.
    HMENU menu = LoadMenuA(AfxFindResourceHandle(MAKEINTRESOURCE(IDR_PD_TREE_MENU), RT_MENU),
                           MAKEINTRESOURCE(IDR_PD_TREE_MENU));
    ASSERT_NE(nullptr, menu);
    EXPECT_EQ(3, GetMenuItemCount(menu));
    EXPECT_EQ((UINT)ID_PD_TREE_OLD_CAPS, GetMenuItemID(GetSubMenu(menu, 1), 1));
    EXPECT_EQ((UINT)ID_PD_TREE_NEW_CAPS, GetMenuItemID(GetSubMenu(menu, 2), 1));
    DestroyMenu(menu);

    auto choose = [&](UINT command, int button) {
        Open(line, [&](HWND h) {
            HWND tree = GetDlgItem(h, IDC_PD_TREE);
            HTREEITEM layerItem = TreeView_GetChild(tree, TreeView_GetRoot(tree));
            HTREEITEM barItem = TreeView_GetNextSibling(tree, TreeView_GetChild(tree, layerItem));
            TreeView_SelectItem(tree, barItem);
            SendMessageA(tree, WM_COMMAND, command, 0);
            qxtest::Click(h, button);
        });
    };
    choose(ID_PD_TREE_OLD_CAPS, IDCANCEL);
    EXPECT_FALSE(bars->IsMadeBefore60());
    choose(ID_PD_TREE_OLD_CAPS, IDOK);
    EXPECT_TRUE(bars->IsMadeBefore60());
    // Old units: the cap's width is each half's, so the drawn cap is twice as wide.
    const qxtest::Image old = Render();
    choose(ID_PD_TREE_NEW_CAPS, IDOK);
    EXPECT_FALSE(bars->IsMadeBefore60());
    const qxtest::Image now = Render();
    const int capY = MapY(7), half = (int)std::lround(8.0 * W / 10.0 / 72.0 / 2);
    RECT beyond = {MapX(5) + half + 2, capY - 1, MapX(5) + 2 * half + 1, capY + 2};
    EXPECT_GT(CountIn(old, beyond, kRedRgb), 0);
    EXPECT_EQ(0, CountIn(now, beyond, kRedRgb));
}

namespace {

COLORREF TableColour(int index)
{
    DWORD rgb = 0;
    CQKColor::GetColorRef(index, rgb, 0);
    return (COLORREF)rgb;
}

std::string OptionTitles(HWND page)
{
    std::string shown;
    for (int id = IDC_PD_GROUP_OPTION0; id <= IDC_PD_GROUP_OPTION7; ++id)
        if (IsWindowVisible(GetDlgItem(page, id)))
            shown += (shown.empty() ? "" : ", ") + qxtest::WindowText(GetDlgItem(page, id));
    return shown;
}

} // namespace

TEST_F(PlotPagesTest, GroupPageStepsTheCheckedPropertiesOverTheMembers)
{
    std::vector<CQKPlotObj*> plots;
    const double levels[3] = {2, 5, 8};
    for (int i = 0; i < 3; ++i) {
        std::vector<double> y(9, levels[i]), x;
        for (int k = 1; k <= 9; ++k)
            x.push_back(k);
        plots.push_back(Plot(QK_PLOT_LINE, {Column(QK_ROLE_Y, y), Column(QK_ROLE_X, x)}, i == 0 ? kRed : kBlue));
        plots.back()->SetGroup(1, i == 0);
    }
    std::string titles;
    bool colourChecked = false, styleChecked = true;
    int members = 0;
    PageCase c = {"Group",
                  [&](HWND p) {
                      titles = OptionTitles(p);
                      colourChecked = qxtest::IsChecked(p, IDC_PD_GROUP_OPTION0);
                      styleChecked = qxtest::IsChecked(p, IDC_PD_GROUP_OPTION0 + 1);
                      members = (int)SendDlgItemMessageA(p, IDC_PD_GROUP_MEMBERS, LB_GETCOUNT, 0, 0);
                      qxtest::SetCheck(p, IDC_PD_GROUP_OPTION0, false); // one colour for all
                      qxtest::SetCheck(p, IDC_PD_GROUP_OPTION0 + 1, true); // line styles step
                  },
                  [&](const CQKPlotObj* head) {
                      EXPECT_FALSE(head->IsEnumerate(0));
                      EXPECT_TRUE(head->IsEnumerate(1));
                      for (int k = 1; k < 3; ++k) {
                          EXPECT_EQ(kRed, plots[k]->GetColor()) << k;
                          EXPECT_EQ(k, plots[k]->GetType()) << k;
                          EXPECT_FALSE(plots[k]->IsEnumerate(0)) << k;
                      }
                  }};
    qxtest::Image before, after;
    Run(plots[0], c, &before, &after);
    EXPECT_EQ("Color, Line Style", titles); // a line has no symbols or fills to step
    EXPECT_TRUE(colourChecked);
    EXPECT_FALSE(styleChecked);
    EXPECT_EQ(3, members);
    // The middle line, blue before, is drawn in the head's red now.
    RECT middle = {MapX(2), MapY(5) - 3, MapX(8), MapY(5) + 4};
    EXPECT_GT(CountIn(before, middle, kBlueRgb), 0);
    EXPECT_EQ(0, CountIn(after, middle, kBlueRgb));
    EXPECT_GT(CountIn(after, middle, kRedRgb), 0);
}

TEST_F(PlotPagesTest, GroupPageIndependentKeepsTheMembersOwnLooksAndDependentRestoresTheOptions)
{
    std::vector<CQKPlotObj*> plots;
    for (int i = 0; i < 2; ++i) {
        plots.push_back(Plot(QK_PLOT_LINE_SYMBOL, {Column(QK_ROLE_Y, {1.0 + i, 2.0 + i}), Column(QK_ROLE_X, {1, 2})},
                             i == 0 ? kRed : kBlue));
        plots.back()->SetGroup(1, i == 0);
    }
    plots[0]->SetEnumerate(TRUE, 2); // symbol shapes step
    std::string titles;
    bool uncheckedWhenIndependent = false, restoredWhenDependent = false;
    Open(plots[0], [&](HWND h) {
        HWND p = GoTab(h, "Group");
        titles = OptionTitles(p);
        qxtest::Click(p, IDC_PD_GROUP_INDEPENDENT);
        uncheckedWhenIndependent = !qxtest::IsChecked(p, IDC_PD_GROUP_OPTION0) && !qxtest::IsChecked(p, IDC_PD_GROUP_OPTION0 + 2);
        qxtest::Click(p, IDC_PD_GROUP_DEPENDENT);
        restoredWhenDependent = qxtest::IsChecked(p, IDC_PD_GROUP_OPTION0) && qxtest::IsChecked(p, IDC_PD_GROUP_OPTION0 + 2) &&
                                !qxtest::IsChecked(p, IDC_PD_GROUP_OPTION0 + 1);
        qxtest::Click(p, IDC_PD_GROUP_INDEPENDENT);
        qxtest::Click(h, IDOK);
    });
    EXPECT_EQ("Color, Line Style, Symbol Type, Symbol Interior", titles);
    EXPECT_TRUE(uncheckedWhenIndependent);
    EXPECT_TRUE(restoredWhenDependent);
    for (CQKPlotObj* plot : plots)
        EXPECT_TRUE(plot->IsIndependence());
    // Independent members keep what they had; the options stay for a later dependent group.
    EXPECT_EQ(kBlue, plots[1]->GetColor());
    EXPECT_TRUE(plots[1]->IsEnumerate(2));
}

TEST_F(PlotPagesTest, GroupFillColourFollowsTheColourOptionWhileTheFillIsAutomatic)
{
    std::vector<CQKPlotObj*> plots;
    for (int i = 0; i < 2; ++i) {
        plots.push_back(Plot(QK_PLOT_COLUMN, {Column(QK_ROLE_Y, {3.0 + i}), Column(QK_ROLE_X, {2.0 + 3 * i})}, kRed));
        plots.back()->SetGroup(1, i == 0);
        plots.back()->SetBKColor(-9, 0); // the fill takes the plot's colour
    }
    bool followsBefore = false, followsAfter = true, enabled = true;
    std::string titles;
    Open(plots[0], [&](HWND h) {
        HWND p = GoTab(h, "Group");
        titles = OptionTitles(p);
        const int fill = IDC_PD_GROUP_OPTION0 + 2;
        enabled = qxtest::IsEnabled(p, fill);
        followsBefore = qxtest::IsChecked(p, fill);
        qxtest::SetCheck(p, IDC_PD_GROUP_OPTION0, false);
        followsAfter = qxtest::IsChecked(p, fill);
        qxtest::Click(h, IDOK);
    });
    EXPECT_EQ("Color, Pattern, Fill Color", titles);
    EXPECT_FALSE(enabled);
    EXPECT_TRUE(followsBefore);
    EXPECT_FALSE(followsAfter);
    EXPECT_EQ(kRed, plots[1]->GetColor());
    EXPECT_EQ(-9, plots[1]->GetBKColor(0));
}

TEST_F(PlotPagesTest, BoxDataPageWritesBinsCurveAndAlignment)
{
    std::vector<double> values;
    for (int i = 0; i < 40; ++i)
        values.push_back((i * 37) % 41 / 4.5);
    CQKPlotObj* box = Plot(QK_PLOT_BOX, {Column(QK_ROLE_Y, values)});
    box->SetBoxType(3); // data left of the box
    std::string autoSize, autoCount;
    bool readOnlyWhenAutomatic = false, scaleOffWithoutCurve = false;
    PageCase c = {"Data",
                  [&](HWND p) {
                      autoSize = qxtest::GetText(p, IDC_PD_BOXD_BIN_SIZE);
                      autoCount = qxtest::GetText(p, IDC_PD_BOXD_BIN_COUNT);
                      readOnlyWhenAutomatic = (GetWindowLongA(GetDlgItem(p, IDC_PD_BOXD_BIN_SIZE), GWL_STYLE) & ES_READONLY) != 0;
                      scaleOffWithoutCurve = !qxtest::IsEnabled(p, IDC_PD_BOXD_CURVE_SCALE);
                      qxtest::ComboSelect(p, IDC_PD_BOXD_TYPE, 1);
                      qxtest::SetCheck(p, IDC_PD_BOXD_SINGLE, true);
                      qxtest::SetCheck(p, IDC_PD_BOXD_SNAP, true);
                      qxtest::SetCheck(p, IDC_PD_BOXD_AUTO_BIN, false);
                      TypeInEdit(p, IDC_PD_BOXD_BIN_SIZE, "2.5");
                      TypeInEdit(p, IDC_PD_BOXD_BIN_BEGIN, "0");
                      TypeInEdit(p, IDC_PD_BOXD_BIN_END, "10");
                      TypeInEdit(p, IDC_PD_BOXD_BIN_HEIGHT, "60");
                      qxtest::ComboSelect(p, IDC_PD_BOXD_CURVE_TYPE, 1);
                      TypeInCombo(p, IDC_PD_BOXD_CURVE_SCALE, "80");
                      qxtest::Click(p, IDC_PD_BOXD_ALIGN_RIGHT);
                  },
                  [&](const CQKPlotObj* p) {
                      EXPECT_EQ(1, p->GetDotPlotType());
                      EXPECT_TRUE(p->GetSingleBlock());
                      EXPECT_TRUE(p->GetSnapData());
                      EXPECT_TRUE(p->IsBinUserDef());
                      EXPECT_EQ(2.5, p->GetBinSize());
                      EXPECT_EQ(0.0, p->GetBinBegin());
                      EXPECT_EQ(10.0, p->GetBinEnd());
                      EXPECT_EQ(60.0, p->GetBinHeight());
                      EXPECT_EQ(1, p->GetCurveType());
                      EXPECT_EQ(80.0, p->GetCurveScale());
                      EXPECT_EQ(1, p->GetBinAlign());
                  }};
    qxtest::Image before, after;
    Run(box, c, &before, &after);
    EXPECT_EQ("1", autoSize); // about ten bins over 0 to 8.9
    EXPECT_EQ("9", autoCount);
    EXPECT_TRUE(readOnlyWhenAutomatic);
    EXPECT_TRUE(scaleOffWithoutCurve);
    // The bins grow right of the data's place in the box's fill colour.
    const COLORREF fill = TableColour(box->GetBKColor(0));
    RECT bins = {MapX(0.8), MapY(9), MapX(1.0), MapY(0)};
    EXPECT_EQ(0, CountIn(before, bins, fill));
    EXPECT_GT(CountIn(after, bins, fill), 50);
}

TEST_F(PlotPagesTest, BoxDataPageRefusesAZeroBinWidthAndTooManyBins)
{
    CQKPlotObj* box = Plot(QK_PLOT_BOX, {Column(QK_ROLE_Y, {1, 2, 3, 4})});
    box->SetBoxType(2);
    std::vector<std::string> messages;
    std::string sizeAfterZero, sizeAfterMany;
    DialogDriver driver;
    auto refuse = [&](HWND p, const char* size) {
        TypeInEdit(p, IDC_PD_BOXD_BIN_SIZE, size);
        SendMessageA(p, WM_COMMAND, MAKEWPARAM(IDC_PD_BOXD_BIN_SIZE, EN_KILLFOCUS),
                     (LPARAM)GetDlgItem(p, IDC_PD_BOXD_BIN_SIZE));
        return qxtest::GetText(p, IDC_PD_BOXD_BIN_SIZE);
    };
    driver.Then([&](HWND h) {
        HWND p = GoTab(h, "Data");
        qxtest::SetCheck(p, IDC_PD_BOXD_AUTO_BIN, false);
        sizeAfterZero = refuse(p, "0");
        sizeAfterMany = refuse(p, "0.001");
        qxtest::Click(h, IDOK);
    });
    for (int i = 0; i < 2; ++i)
        driver.Then([&](HWND message) {
            messages.push_back(qxtest::MessageBoxText(message));
            PostMessageA(message, WM_COMMAND, IDOK, 0);
        });
    driver.Run([&] { return (INT_PTR)page->PlotDetailsDialog(box, 2, 0); });
    EXPECT_FALSE(driver.TimedOut());
    ASSERT_EQ(2u, messages.size());
    EXPECT_EQ("Cannot have zero bin width", messages[0]);
    EXPECT_NE(std::string::npos, messages[1].find("Bin Count exceeds 1000")) << messages[1];
    EXPECT_EQ("1", sizeAfterZero); // the plot's size again
    EXPECT_EQ("1", sizeAfterMany);
    EXPECT_EQ(1.0, box->GetBinSize());
}

TEST_F(PlotPagesTest, PercentilePageWritesTheMarkersSizeAndColours)
{
    CQKPlotObj* box = Plot(QK_PLOT_BOX, {Column(QK_ROLE_Y, {1, 2, 3, 4, 5, 6, 7, 8, 9})});
    const int openCircle = QK_SYMBOL_SHAPE_COUNT - 1 + 1; // the gallery's second column starts open
    PageCase c = {"Percentile",
                  [&](HWND p) {
                      SendMessageA(p, 0x465, IDC_PD_PERC_MAX, openCircle);
                      TypeInCombo(p, IDC_PD_PERC_SIZE, "12");
                      qxtest::ComboSelect(p, IDC_PD_PERC_EDGE, kBlue + 1);
                      qxtest::ComboSelect(p, IDC_PD_PERC_FILL, kGreen + 1);
                  },
                  [&](const CQKPlotObj* p) {
                      EXPECT_EQ(0, p->GetSymbolStyle(5));
                      EXPECT_EQ(QK_SYMBOL_CIRCLE, p->GetSymbolType(5));
                      EXPECT_EQ(QK_SYMFILL_OPEN, p->GetSymbolFill(5));
                      EXPECT_EQ(QK_SYMBOL_SQUARE, p->GetSymbolType(3)); // the mean's as it was
                      EXPECT_EQ(12, p->GetPercSymbolSize());
                      EXPECT_EQ(kBlue, p->GetSymbolColor());
                      EXPECT_EQ(kGreen, p->GetBoxSymbolFill());
                  }};
    qxtest::Image before, after;
    Run(box, c, &before, &after);
    // The maximum's open circle: a blue edge round a green middle.
    RECT top = {MapX(1) - 12, MapY(9) - 12, MapX(1) + 13, MapY(9) + 13};
    EXPECT_EQ(0, CountIn(before, top, kBlueRgb));
    EXPECT_GT(CountIn(after, top, kBlueRgb), 10);
    EXPECT_GT(CountIn(after, top, kGreenRgb), 10);
}

TEST_F(PlotPagesTest, PercentileButtonsAreTheSharedWellsAndAPickSetsTheMarker)
{
    CQKPlotObj* box = Plot(QK_PLOT_BOX, {Column(QK_ROLE_Y, {1, 2, 3, 4, 5, 6, 7, 8, 9})});
    bool attached = false;
    auto pick = [&](int button) {
        Open(box, [&](HWND h) {
            HWND p = GoTab(h, "Percentile");
            attached = true;
            for (int percentile = 1; percentile <= 5; ++percentile) {
                CQKSymbolGalleryWellButton* well = CQUPlotDetailsPercentile::GetWellButton(percentile);
                attached = attached && well && well->m_hWnd &&
                           GetParent(well->m_hWnd) == p;
            }
            // The maximum's button: the open circle of the gallery's second row.
            PickInWell([&] { MouseClick(GetDlgItem(p, IDC_PD_PERC_MAX)); }, 1, 1);
            qxtest::Click(h, button);
        });
    };
    const int shape = box->GetSymbolType(5), fill = box->GetSymbolFill(5);
    ASSERT_FALSE(shape == QK_SYMBOL_CIRCLE && fill == QK_SYMFILL_OPEN);
    pick(IDCANCEL);
    EXPECT_EQ(shape, box->GetSymbolType(5));
    EXPECT_EQ(fill, box->GetSymbolFill(5));
    pick(IDOK);
    EXPECT_TRUE(attached);
    EXPECT_EQ(0, box->GetSymbolStyle(5));
    EXPECT_EQ(QK_SYMBOL_CIRCLE, box->GetSymbolType(5));
    EXPECT_EQ(QK_SYMFILL_OPEN, box->GetSymbolFill(5));
    // The buttons outlive the dialog and let go of its windows.
    for (int percentile = 1; percentile <= 5; ++percentile)
        EXPECT_EQ(nullptr, CQUPlotDetailsPercentile::GetWellButton(percentile)->m_hWnd) << percentile;
}

TEST_F(PlotPagesTest, HistogramDataPageSetsItsBinsAndCurve)
{
    CQKPlotObj* histogram = Plot(QK_PLOT_HISTOGRAM, {Column(QK_ROLE_Y, {2.1, 2.2, 2.3, 2.4, 6.5})});
    std::string autoSize;
    bool typeOff = false;
    PageCase c = {"Data",
                  [&](HWND p) {
                      autoSize = qxtest::GetText(p, IDC_PD_BOXD_BIN_SIZE);
                      typeOff = !qxtest::IsEnabled(p, IDC_PD_BOXD_TYPE); // the bars are the histogram's
                      qxtest::SetCheck(p, IDC_PD_BOXD_AUTO_BIN, false);
                      TypeInEdit(p, IDC_PD_BOXD_BIN_SIZE, "2.5");
                      TypeInEdit(p, IDC_PD_BOXD_BIN_BEGIN, "0");
                      TypeInEdit(p, IDC_PD_BOXD_BIN_END, "10");
                      qxtest::ComboSelect(p, IDC_PD_BOXD_CURVE_TYPE, 1);
                  },
                  [&](const CQKPlotObj* p) {
                      EXPECT_TRUE(p->IsBinUserDef());
                      EXPECT_EQ(2.5, p->GetBinSize());
                      EXPECT_EQ(1, p->GetCurveType());
                  }};
    qxtest::Image before, after;
    Run(histogram, c, &before, &after);
    EXPECT_EQ("2", autoSize); // the X axis's increment
    EXPECT_TRUE(typeOff);
    // The four values near 2 fill the bin from 2 to 4 first, from 0 to 2.5 after.
    const COLORREF fill = TableColour(histogram->GetBKColor(0));
    RECT left = {MapX(0.5), MapY(2), MapX(1.5), MapY(1)}, right = {MapX(3), MapY(2), MapX(3.8), MapY(1)};
    EXPECT_EQ(0, CountIn(before, left, fill));
    EXPECT_GT(CountIn(before, right, fill), 50);
    EXPECT_GT(CountIn(after, left, fill), 50);
    EXPECT_EQ(0, CountIn(after, right, fill));
    // The normal curve over the bins, in the plot's red, where no bar stands.
    RECT between = {MapX(4.5), MapY(10), MapX(4.8), MapY(0)};
    EXPECT_EQ(0, CountIn(before, between, kRedRgb));
    EXPECT_GT(CountIn(after, between, kRedRgb), 0);
}
