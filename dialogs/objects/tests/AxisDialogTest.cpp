// The axis dialog driven as a user would: pages share the axis, OK and Apply commit what
// the pages wrote and Cancel drops it, the type preview, "Apply To" copies, the label
// pages' layouts and their one show flag per side.
#include <gtest/gtest.h>
#include <qxtest/DialogDriver.h>

#include <afxres.h>
#include <commctrl.h>

#include <memory>

#include "ObjectsResources.h"
#include "QKCallLog.h"
#include "QKData.h"
#include "QUAxes.h"

using qxtest::DialogDriver;

namespace {

enum { kScale, kStyle, kGrid, kBreak, kLabels, kMinor, kCustom };

class AxisDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        qkfxGetProject().New();
        qkfxGetCallLog().Clear();
    }

    // Axes of the given type in a new layer; the layer keeps them.
    CQUAxes* MakeAxes(int axisType, bool is3D = false)
    {
        layer.reset(new CQKGraphicLayer(qkfxGetProject().CreatePage(QK_PAGE_GRAPH), is3D));
        auto* axes = new CQUAxes;
        layer->AddObject(axes);
        layer->GetAxes(axes, axisType);
        return axes;
    }

    void Run(CQUAxes* axes, int startPage, DialogDriver& driver)
    {
        driver.Run([&] { return (INT_PTR)axes->DoDialog(nullptr, startPage, 0); });
        EXPECT_FALSE(driver.TimedOut());
    }

    static HWND Page(HWND sheet) { return (HWND)SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0); }
    static HWND Go(HWND sheet, int tab)
    {
        SendMessageA(sheet, PSM_SETCURSEL, tab, 0);
        return Page(sheet);
    }
    static int Count(HWND page, int id) { return (int)SendDlgItemMessageA(page, id, LB_GETCOUNT, 0, 0); }
    static std::string TabText(HWND sheet)
    {
        HWND tabs = (HWND)SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0);
        char text[64] = "";
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(tabs, TCM_GETITEMA, TabCtrl_GetCurSel(tabs), (LPARAM)&item);
        return text;
    }

    const QKAxisRecord& Committed(int axisType) { return layer->GetAxisRecord(axisType); }

    std::unique_ptr<CQKGraphicLayer> layer;
};

TEST_F(AxisDialogTest, PagesListTheAxesTheLayerHas)
{
    for (bool is3D : {false, true}) {
        SCOPED_TRACE(is3D);
        CQUAxes* axes = MakeAxes(is3D ? QK_AXIS_Z : QK_AXIS_X, is3D);
        std::string firstTab, zText, topPosition;
        int sides = 0, scaleAxes = 0, breakAxes = 0;
        bool breakSwitchable = true;
        DialogDriver driver;
        driver.Then([&](HWND sheet) {
            firstTab = TabText(sheet);
            sides = Count(Page(sheet), IDC_QD_AXIS_OBJ_LIST);
            scaleAxes = Count(Go(sheet, kScale), IDC_QD_AXIS_LIST);
            HWND grid = Go(sheet, kGrid);
            zText = qxtest::GetText(grid, IDC_QD_GR_Y0);
            HWND brk = Go(sheet, kBreak);
            breakAxes = Count(brk, IDC_QD_AXIS_LIST);
            breakSwitchable = qxtest::IsEnabled(brk, IDC_QD_BR_SHOW);
            // The top side has its own position texts.
            HWND style = Go(sheet, kStyle);
            qxtest::ListSelect(style, IDC_QD_AXIS_OBJ_LIST, 1);
            char text[64] = "";
            SendDlgItemMessageA(style, IDC_QD_ST_POSITION, CB_GETLBTEXT, 1, (LPARAM)text);
            topPosition = text;
            qxtest::Click(sheet, IDCANCEL);
        });
        Run(axes, kCustom, driver);
        EXPECT_EQ("Custom Tick Labels", firstTab);
        EXPECT_EQ(is3D ? 6 : 4, sides);
        EXPECT_EQ(is3D ? 3 : 2, scaleAxes);
        EXPECT_EQ(2, breakAxes);
        EXPECT_EQ(is3D ? "Z = 0" : "Y = 0", zText);
        EXPECT_EQ(!is3D, breakSwitchable);
        EXPECT_EQ("% From Top", topPosition);
    }
    EXPECT_EQ(1, CQUAxes::from_pageid_to_pagenum(1012));
    EXPECT_EQ(0, CQUAxes::from_pageid_to_pagenum(1010));
}

TEST_F(AxisDialogTest, OkCommitsWhatThePagesWroteCancelDropsIt)
{
    CQUAxes* axes = MakeAxes(QK_AXIS_Y);
    layer->GetAxes(axes, QK_AXIS_Y);
    axes->SetRangeFrom("1e3");
    axes->Get1stAxis()->SetTickLength(25);
    layer->UpdateFromTemporary();
    qkfxGetCallLog().Clear();

    int sideOnStyle = -1;
    DialogDriver first;
    first.Then([&](HWND sheet) {
        HWND scale = Page(sheet);
        qxtest::SetText(scale, IDC_QD_SC_FROM, "1E3"); // the same number in other letters
        qxtest::SetText(scale, IDC_QD_SC_TO, "20");
        HWND style = Go(sheet, kStyle);
        sideOnStyle = qxtest::ListSelection(style, IDC_QD_AXIS_OBJ_LIST);
        qxtest::SetText(style, IDC_QD_ST_TITLE, "Signal");
        qxtest::Click(sheet, IDOK);
    });
    Run(axes, kScale, first);
    EXPECT_EQ(2, sideOnStyle); // the Y axis is the left side
    EXPECT_EQ("1e3", Committed(QK_AXIS_Y).from);
    EXPECT_EQ("20", Committed(QK_AXIS_Y).to);
    EXPECT_EQ("Signal", Committed(QK_AXIS_Y).ticks[0].GetTitle());
    EXPECT_EQ(25, Committed(QK_AXIS_Y).ticks[0].GetTickLength()); // shown as 2.5, kept
    const CQKCallLog& log = qkfxGetCallLog();
    EXPECT_LT(log.Find("CQKLayer::UpdateFromTemporary"), log.Find("CQKLayer::DoDelayedUpdate")) << log.ToString();

    // The type preview shows the range Log10 needs, but Cancel keeps the axis linear.
    std::string fromShown;
    bool majorTicksEnabled = true;
    DialogDriver second;
    second.Then([&](HWND sheet) {
        HWND scale = Page(sheet);
        qxtest::SetText(scale, IDC_QD_SC_FROM, "-5");
        qxtest::ComboSelect(scale, IDC_QD_SC_TYPE, 1);
        fromShown = qxtest::GetText(scale, IDC_QD_SC_FROM);
        majorTicksEnabled = qxtest::IsEnabled(scale, IDC_QD_SC_MAJOR_RADIO);
        HWND style = Go(sheet, kStyle);
        qxtest::ListSelect(style, IDC_QD_AXIS_OBJ_LIST, 3); // saves the Scale page's edits
        qxtest::Click(sheet, IDCANCEL);
    });
    Run(axes, kScale, second);
    EXPECT_EQ("0.02", fromShown);
    EXPECT_FALSE(majorTicksEnabled);
    EXPECT_EQ(0, Committed(QK_AXIS_Y).type);
    EXPECT_EQ("1e3", Committed(QK_AXIS_Y).from);
}

TEST_F(AxisDialogTest, ApplyToCopiesFollowTheEditsTheyBelongTo)
{
    CQUAxes* axes = MakeAxes(QK_AXIS_X);
    DialogDriver driver;
    driver.Then([&](HWND sheet) {
        HWND grid = Page(sheet);
        qxtest::SetCheck(grid, IDC_QD_GR_MAJOR, true);
        qxtest::ComboSelect(grid, IDC_QD_GR_MAJ_COLOR, 3);
        qxtest::SetCheck(grid, IDC_QD_GR_APPLY, true);
        qxtest::ComboSelect(grid, IDC_QD_GR_APPLY_SCOPE, 1);
        // Switching the axis keeps the copies for Apply.
        qxtest::ListSelect(grid, IDC_QD_AXIS_LIST, 1);
        EXPECT_EQ(-1, qkfxGetCallLog().Find("CQKGrElement::ApplyToAll"));
        qxtest::Click(sheet, ID_APPLY_NOW);
        qxtest::Click(sheet, IDCANCEL);
    });
    Run(axes, kGrid, driver);
    EXPECT_TRUE(Committed(QK_AXIS_X).majorGrid.IsShow());
    EXPECT_EQ(3, Committed(QK_AXIS_X).majorGrid.GetColor());
    std::vector<std::string> copies;
    const CQKCallLog& log = qkfxGetCallLog();
    for (size_t i = 0; i < log.GetCount(); ++i)
        if (log.GetAt(i).op == "CQKGrElement::ApplyToAll")
            copies.push_back(log.GetAt(i).args);
    ASSERT_EQ(8u, copies.size()) << log.ToString();
    EXPECT_EQ("100 1 1", copies[0]);
    EXPECT_EQ("101 1 3", copies[1]);
    EXPECT_EQ("104 1 0", copies[4]);

    // OK without an edit copies nothing and commits nothing.
    qkfxGetCallLog().Clear();
    DialogDriver nothing;
    nothing.Then([](HWND sheet) { qxtest::Click(sheet, IDOK); });
    Run(axes, kGrid, nothing);
    EXPECT_EQ(-1, qkfxGetCallLog().Find("CQKGrElement::ApplyToAll"));
    EXPECT_EQ(-1, qkfxGetCallLog().Find("CQKLayer::DoDelayedUpdate"));
}

TEST_F(AxisDialogTest, LabelPagesShowWhatTheTypeNeedsAndShareTheSideFlag)
{
    CQUAxes* axes = MakeAxes(QK_AXIS_X);
    layer->GetAxes(axes, QK_AXIS_X);
    std::string longLabel(40, 'x');
    axes->Get1stTickLabel()->SetManuBeginLabel(longLabel);
    layer->UpdateFromTemporary();

    // Label type -> dataset list shown, format list shown, factor shown, format caption.
    struct Case { int type; bool dataset, format, factor; const char* caption; } cases[] = {
        {0, false, true, true, "Format"},
        {1, true, false, false, ""},
        {3, false, true, false, "Format"},
        {6, false, true, true, "Format"},
        {7, true, false, false, ""},
    };
    bool showOnLabels = true;
    std::string beginShown, specialShown;
    DialogDriver driver;
    driver.Then([&](HWND sheet) {
        HWND labels = Page(sheet);
        for (const Case& c : cases) {
            SCOPED_TRACE(c.type);
            qxtest::ComboSelect(labels, IDC_QD_LB_TYPE, c.type);
            EXPECT_EQ(c.dataset, IsWindowVisible(GetDlgItem(labels, IDC_QD_LB_DATASET)) != FALSE);
            EXPECT_EQ(c.format, IsWindowVisible(GetDlgItem(labels, IDC_QD_LB_FORMAT)) != FALSE);
            EXPECT_EQ(c.factor, IsWindowVisible(GetDlgItem(labels, IDC_QD_LB_FACTOR)) != FALSE);
            EXPECT_EQ(c.caption, qxtest::GetText(labels, IDC_QD_LB_FORMAT_LABEL));
        }
        qxtest::ComboSelect(labels, IDC_QD_LB_TYPE, 6);
        qxtest::SetText(labels, IDC_QD_LB_DECIMALS, "3"); // not numeric labels: not written
        HWND minor = Go(sheet, kMinor);
        qxtest::SetCheck(minor, IDC_QD_LB_SHOW, false);
        labels = Go(sheet, kLabels);
        showOnLabels = qxtest::IsChecked(labels, IDC_QD_LB_SHOW);
        HWND custom = Go(sheet, kCustom);
        beginShown = qxtest::GetText(custom, IDC_QD_CU_BEGIN_LABEL);
        specialShown = qxtest::GetText(custom, IDC_QD_CU_SPECIAL_AT);
        qxtest::Click(sheet, IDOK);
    });
    Run(axes, kLabels, driver);
    EXPECT_FALSE(showOnLabels);
    EXPECT_EQ(longLabel, beginShown);
    EXPECT_EQ("", specialShown);
    const CQKAxisLabelsObj& bottom = Committed(QK_AXIS_X).labels[0];
    EXPECT_EQ(6, bottom.GetLabelType());
    EXPECT_EQ(0, bottom.GetDecDigits());
    EXPECT_FALSE(bottom.IsShow());
    EXPECT_EQ(longLabel, bottom.GetManuBeginLabel());
}

} // namespace
