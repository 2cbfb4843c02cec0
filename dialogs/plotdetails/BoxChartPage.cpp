#include "BoxChartPage.h"

#include <math.h>

#include "PlotDetailsResources.h"
#include "PlotDetailsTabChecker.h"
#include "QKUtil.h"

namespace {

void FillFromKernelList(CComboBox& combo, const char* (*name)(int))
{
    for (int i = 0; name(i); ++i)
        combo.AddString(name(i));
}

// A number shown with at most two decimals.
void ShowNumber(CComboBox& combo, double value)
{
    PDShowRounded(combo, value);
}

// The number typed or chosen; false when the text is none.
bool ReadNumber(CComboBox& combo, double& value)
{
    CString text;
    combo.GetWindowText(text);
    return PDReadNumber(text, value);
}

void Enable(CWnd* page, int id, BOOL on)
{
    if (CWnd* w = page->GetDlgItem(id))
        w->EnableWindow(on);
}

} // namespace

BEGIN_MESSAGE_MAP(CQUPlotDetailsBoxChart, CQUPlotDetailsPlotObjTab)
    ON_CBN_SELCHANGE(IDC_PD_BOX_TYPE, OnTypeChange)
    ON_CBN_SELCHANGE(IDC_PD_BOX_RANGE, OnBoxRangeChange)
    ON_CBN_SELCHANGE(IDC_PD_BOX_WHISKER_RANGE, OnWhiskerRangeChange)
    ON_BN_CLICKED(IDC_PD_BOX_OUTLIERS, OnTabCheck)
    ON_BN_CLICKED(IDC_PD_BOX_LABELS, OnTabCheck)
    ON_BN_CLICKED(IDC_PD_BOX_WHISKER_LABELS, OnTabCheck)
    ON_BN_CLICKED(IDC_PD_BOX_DIAMOND, OnDiamond)
    ON_WM_PAINT()
END_MESSAGE_MAP()

CQUPlotDetailsBoxChart::CQUPlotDetailsBoxChart() : CQUPlotDetailsPlotObjTab(IDD_PD_BOX) {}

void CQUPlotDetailsBoxChart::InitControls()
{
    m_cbType.SubclassDlgItem(IDC_PD_BOX_TYPE, this);
    m_cbRange.SubclassDlgItem(IDC_PD_BOX_RANGE, this);
    m_cbCoef.SubclassDlgItem(IDC_PD_BOX_COEF, this);
    m_cbWidth.SubclassDlgItem(IDC_PD_BOX_WIDTH, this);
    m_cbWhiskerRange.SubclassDlgItem(IDC_PD_BOX_WHISKER_RANGE, this);
    m_cbWhiskerCoef.SubclassDlgItem(IDC_PD_BOX_WHISKER_COEF, this);
    PDFillComboFromString(m_cbType, IDS_PD_BOX_TYPES);
    FillFromKernelList(m_cbRange, qkfxGetBoxRangeName);
    FillFromKernelList(m_cbWhiskerRange, qkfxGetWhiskerRangeName);
    PDFillComboFromString(m_cbCoef, IDS_PD_BOX_COEFS);
    PDFillComboFromString(m_cbWhiskerCoef, IDS_PD_BOX_COEFS);
    PDFillComboFromString(m_cbWidth, IDS_PD_BOX_WIDTHS);
}

void CQUPlotDetailsBoxChart::ObjectToControls()
{
    CQKPlotObj* plot = GetPlot();
    m_cbType.SetCurSel(plot->GetBoxType());
    m_cbRange.SetCurSel(plot->GetBoxRange());
    ShowNumber(m_cbCoef, plot->GetBoxCoef());
    ShowNumber(m_cbWidth, plot->GetBoxCap());
    m_cbWhiskerRange.SetCurSel(plot->GetWhiskerRange());
    ShowNumber(m_cbWhiskerCoef, plot->GetWhiskerCoef());
    CheckDlgButton(IDC_PD_BOX_OUTLIERS, plot->HasOutliers());
    CheckDlgButton(IDC_PD_BOX_DIAMOND, plot->HasDiamondBox());
    CheckDlgButton(IDC_PD_BOX_LABELS, plot->HasBoxLabel());
    CheckDlgButton(IDC_PD_BOX_WHISKER_LABELS, plot->HasWhiskerLabel());
    if (plot->IsIndependence()) {
        EnableAllControls(FALSE);
    } else {
        EnableAllControls(TRUE);
        WhiskerRule();
        BoxRangeRule();
        TypeRule();
    }
    // The box width goes with the box: a chart of data only has none.
    const BOOL width = m_cbType.GetCurSel() != 1;
    Enable(this, IDC_PD_BOX_WIDTH, width);
    Enable(this, IDC_PD_BOX_WIDTH_LABEL, width);
}

void CQUPlotDetailsBoxChart::ControlsToObject()
{
    CQKPlotObj* plot = GetPlot();
    plot->SetBoxType(m_cbType.GetCurSel());
    plot->SetBoxRange(m_cbRange.GetCurSel());
    plot->SetWhiskerRange(m_cbWhiskerRange.GetCurSel());
    // A text that is no number keeps what the plot has; numbers are taken as typed.
    double value;
    if (ReadNumber(m_cbCoef, value))
        plot->SetBoxCoef(value);
    if (ReadNumber(m_cbWidth, value))
        plot->SetBoxCap(value);
    if (ReadNumber(m_cbWhiskerCoef, value))
        plot->SetWhiskerCoef(value);
    plot->SetOutliers(IsDlgButtonChecked(IDC_PD_BOX_OUTLIERS));
    plot->SetDiamondBox(IsDlgButtonChecked(IDC_PD_BOX_DIAMOND));
    plot->SetBoxLabel(IsDlgButtonChecked(IDC_PD_BOX_LABELS));
    plot->SetWhiskerLabel(IsDlgButtonChecked(IDC_PD_BOX_WHISKER_LABELS));
}

void CQUPlotDetailsBoxChart::WhiskerRule()
{
    const int range = m_cbWhiskerRange.GetCurSel();
    if (range == 0)
        CheckDlgButton(IDC_PD_BOX_OUTLIERS, FALSE);
    Enable(this, IDC_PD_BOX_OUTLIERS, range != 0);
    m_cbWhiskerCoef.EnableWindow(range == 4 || range == 5 || range == 6 || range == 8);
}

void CQUPlotDetailsBoxChart::BoxRangeRule()
{
    const int range = m_cbRange.GetCurSel();
    const BOOL diamond = !(range == 0 || range == 4 || range == 6);
    if (!diamond)
        CheckDlgButton(IDC_PD_BOX_DIAMOND, FALSE);
    Enable(this, IDC_PD_BOX_DIAMOND, diamond);
    m_cbCoef.EnableWindow(range == 1 || range == 2 || range == 5);
}

void CQUPlotDetailsBoxChart::TypeRule()
{
    const BOOL box = m_cbType.GetCurSel() != 1;
    for (CComboBox* c : {&m_cbRange, &m_cbCoef, &m_cbWhiskerRange, &m_cbWhiskerCoef, &m_cbWidth})
        c->EnableWindow(box);
    for (int id : {IDC_PD_BOX_OUTLIERS, IDC_PD_BOX_DIAMOND, IDC_PD_BOX_LABELS, IDC_PD_BOX_WHISKER_LABELS})
        Enable(this, id, box);
    if (box) {
        BoxRangeRule();
        WhiskerRule();
    }
}

void CQUPlotDetailsBoxChart::StoreAndCheckTabs()
{
    ControlsToObject();
    if (CQUPlotDetailsTabChecker* checker = GetTabChecker())
        checker->CheckTabs(FALSE);
}

void CQUPlotDetailsBoxChart::OnTypeChange()
{
    TypeRule();
    Invalidate();
    StoreAndCheckTabs();
}

void CQUPlotDetailsBoxChart::OnBoxRangeChange()
{
    BoxRangeRule();
    Invalidate();
}

void CQUPlotDetailsBoxChart::OnWhiskerRangeChange()
{
    WhiskerRule();
}

void CQUPlotDetailsBoxChart::OnTabCheck()
{
    StoreAndCheckTabs();
}

void CQUPlotDetailsBoxChart::OnDiamond()
{
    Invalidate();
}

// A sketch of the chart in the preview frame: the data as dots, the box (or diamond) with
// its whiskers, placed as the type places them.
void CQUPlotDetailsBoxChart::OnPaint()
{
    CPaintDC dc(this);
    CRect r;
    if (!m_cbType.m_hWnd || !PaintPreviewArea(dc, IDC_PD_BOX_PREVIEW, &r))
        return;
    const int type = m_cbType.GetCurSel();
    const int d = r.Width() / 4;
    int boxX = r.left + 2 * d, dataX = r.left + 2 * d;
    if (type == 3)
        dataX = r.left + d, boxX = r.left + 3 * d;
    else if (type == 4)
        boxX = r.left + d, dataX = r.left + 3 * d;
    const int top = r.top + r.Height() / 6, bottom = r.bottom - r.Height() / 6;
    CPen pen(PS_SOLID, 1, RGB(0, 0, 0));
    CPen* oldPen = dc.SelectObject(&pen);
    if (type != 0)
        for (int i = 0; i < 9; ++i) {
            const int y = top + (bottom - top) * i / 8;
            dc.Ellipse(dataX - 2, y - 2, dataX + 3, y + 3);
        }
    if (type != 1) {
        const int half = d / 2, boxTop = top + (bottom - top) / 4, boxBottom = bottom - (bottom - top) / 4;
        dc.MoveTo(boxX, top);
        dc.LineTo(boxX, boxTop);
        dc.MoveTo(boxX, boxBottom);
        dc.LineTo(boxX, bottom);
        dc.MoveTo(boxX - half / 2, top);
        dc.LineTo(boxX + half / 2 + 1, top);
        dc.MoveTo(boxX - half / 2, bottom);
        dc.LineTo(boxX + half / 2 + 1, bottom);
        CBrush brush(RGB(192, 192, 192));
        CBrush* oldBrush = dc.SelectObject(&brush);
        if (IsDlgButtonChecked(IDC_PD_BOX_DIAMOND)) {
            POINT diamond[4] = {{boxX, boxTop}, {boxX + half, (boxTop + boxBottom) / 2}, {boxX, boxBottom},
                                {boxX - half, (boxTop + boxBottom) / 2}};
            dc.Polygon(diamond, 4);
        } else {
            dc.Rectangle(boxX - half, boxTop, boxX + half + 1, boxBottom + 1);
        }
        dc.SelectObject(oldBrush);
    }
    dc.SelectObject(oldPen);
}
