#include "LinePage.h"

#include <math.h>

#include <algorithm>

#include "LayerPages.h"
#include "ObjectsResources.h"
#include "PlotDetailsResources.h"
#include "PlotDetailsTabChecker.h"
#include "QKUtil.h"

namespace {

// The controls each line feature shows (HasLine(feature)); labels go with their lists.
struct FeatureControls {
    int feature;
    int ids[4];
};

const FeatureControls kFeatures[] = {
    {1, {IDC_PD_LINE_CONNECT_SYMBOLS}},
    {2, {IDC_PD_LINE_FILL}},
    {3, {IDC_PD_LINE_INTERFACE, IDC_PD_LINE_GAP, IDC_PD_LINE_FRONT, IDC_PD_LINE_BEHIND}},
    {4, {IDC_PD_LINE_CONNECT, IDC_PD_LINE_CONNECT_LABEL}},
    {5, {IDC_PD_LINE_STYLE, IDC_PD_LINE_STYLE_LABEL}},
    {6, {IDC_PD_LINE_COLOR}},
    {7, {IDC_PD_LINE_COLOR_BUTTON}},
    {8, {IDC_PD_LINE_WIDTH, IDC_PD_LINE_WIDTH_LABEL}},
    {9, {IDC_PD_LINE_FILL_MODE, IDC_PD_LINE_PREVIEW_LABEL}},
};

// What a connection of 0 (no line) disables and another connection brings back.
const int kLineControls[] = {IDC_PD_LINE_STYLE,     IDC_PD_LINE_STYLE_LABEL, IDC_PD_LINE_COLOR, IDC_PD_LINE_COLOR_BUTTON,
                             IDC_PD_LINE_COLOR_LABEL, IDC_PD_LINE_WIDTH,     IDC_PD_LINE_WIDTH_LABEL,
                             IDC_PD_LINE_FILL,      IDC_PD_LINE_INTERFACE,   IDC_PD_LINE_GAP,
                             IDC_PD_LINE_FRONT,     IDC_PD_LINE_BEHIND};

} // namespace

BEGIN_MESSAGE_MAP(CQUPlotDetailsLine, CQUPlotDetailsPlotObjTab)
    ON_BN_CLICKED(IDC_PD_LINE_GAP, OnGap)
    ON_BN_CLICKED(IDC_PD_LINE_FRONT, OnFront)
    ON_BN_CLICKED(IDC_PD_LINE_BEHIND, OnBehind)
    ON_BN_CLICKED(IDC_PD_LINE_FILL, OnFill)
    ON_CBN_SELCHANGE(IDC_PD_LINE_COLOR, OnColorChange)
    ON_CBN_SELCHANGE(IDC_PD_LINE_CONNECT, OnConnectChange)
    ON_BN_CLICKED(IDC_PD_LINE_CONNECT_SYMBOLS, OnConnectSymbols)
    ON_CBN_SELCHANGE(IDC_PD_LINE_FILL_MODE, OnFillModeChange)
    ON_WM_PAINT()
    ON_MESSAGE(QK_WM_COLORMENU_CHOSEN, OnColorMenu)
END_MESSAGE_MAP()

CQUPlotDetailsLine::CQUPlotDetailsLine()
    : CQUPlotDetailsPlotObjTab(IDD_PD_LINE), m_bGap(0), m_nPosition(0), m_nPrevConnect(-1), m_b3DScatter(FALSE)
{
}

void CQUPlotDetailsLine::DoDataExchange(CDataExchange* pDX)
{
    DDX_Check(pDX, IDC_PD_LINE_GAP, m_bGap);
    DDX_Radio(pDX, IDC_PD_LINE_FRONT, m_nPosition);
}

void CQUPlotDetailsLine::InitControls()
{
    m_cbConnect.SubclassDlgItem(IDC_PD_LINE_CONNECT, this);
    m_cbStyle.SubclassDlgItem(IDC_PD_LINE_STYLE, this);
    m_cbWidth.SubclassDlgItem(IDC_PD_LINE_WIDTH, this);
    m_cbColor.SubclassDlgItem(IDC_PD_LINE_COLOR, this);
    m_cbFillMode.SubclassDlgItem(IDC_PD_LINE_FILL_MODE, this);
    PDFillComboFromString(m_cbStyle, IDS_QD_LINE_TYPES);
    PDFillComboFromString(m_cbConnect, IDS_PD_CONNECT_TYPES);
    PDFillComboFromString(m_cbWidth, IDS_QD_LINE_WIDTHS);
    PDFillComboFromString(m_cbFillMode, IDS_PD_FILL_MODES);
    PDFillColorNames(m_cbColor, "Automatic");
    m_btnColor.CreateColorMenu(IDC_PD_LINE_COLOR_BUTTON, QK_COLOR_LINE, this, GetPlot());
}

void CQUPlotDetailsLine::BindColorControls()
{
    m_btnColor.ConnectToPlotObject(GetPlot());
}

void CQUPlotDetailsLine::ShowControlsForObject()
{
    CQKPlotObj* plot = GetPlot();
    m_b3DScatter = plot->Is3DScatterPlot();
    for (const FeatureControls& f : kFeatures) {
        const int show = plot->HasLine(f.feature) ? SW_SHOW : SW_HIDE;
        for (int id : f.ids)
            if (id)
                GetDlgItem(id)->ShowWindow(show);
    }
    GetDlgItem(IDC_PD_LINE_COLOR_LABEL)->ShowWindow(plot->HasLine(6) || plot->HasLine(7) ? SW_SHOW : SW_HIDE);
}

void CQUPlotDetailsLine::ApplyGapRule()
{
    GetDlgItem(IDC_PD_LINE_FRONT)->EnableWindow(!m_bGap);
    GetDlgItem(IDC_PD_LINE_BEHIND)->EnableWindow(!m_bGap);
}

void CQUPlotDetailsLine::ObjectToControls()
{
    CQKPlotObj* plot = GetPlot();
    PDShowRounded(m_cbWidth, plot->GetWidth());
    m_cbStyle.SetCurSel(plot->GetType());
    if ((plot->GetColorContents(QK_COLOR_LINE, 0) & 0xFF) < 16) {
        m_cbColor.SetCurSel(PDColorToIndex(plot->GetColor()));
    } else {
        m_btnColor.SetAutoColor(plot->GetActualColorForAutoColor(7));
        m_btnColor.SetSelectedQCOLOR(plot->GetColor());
    }
    m_cbFillMode.SetCurSel(plot->GetFillAreaMultipleRegionMode());

    if (m_b3DScatter) {
        CheckDlgButton(IDC_PD_LINE_CONNECT_SYMBOLS, plot->IsSymbolsConnected());
        OnConnectSymbols();
    } else {
        m_cbConnect.SetCurSel(plot->GetConnectType());
        m_bGap = plot->IsLineSymbolGap(0);
        m_nPosition = plot->IsLineInFrontSymbol(0) ? 0 : 1;
        UpdateData(FALSE);
        ApplyGapRule();
        CheckDlgButton(IDC_PD_LINE_FILL, plot->HasAreaFilled());
        if (GetDlgItem(IDC_PD_LINE_FILL)->IsWindowVisible())
            OnFillClicked();
        if (m_nPrevConnect < 0) {
            // First filling: a plot without a line opens with its line controls off.
            int connect = plot->GetConnectType();
            if (connect != 0) {
                m_nPrevConnect = connect;
            } else {
                m_nPrevConnect = 1;
                ConnectionChanged(0);
            }
        }
    }
    GetDlgItem(IDC_PD_LINE_FILL_MODE)->EnableWindow(IsDlgButtonChecked(IDC_PD_LINE_FILL));
    InvalidateRect(nullptr);
}

void CQUPlotDetailsLine::ControlsToObject()
{
    CQKPlotObj* plot = GetPlot();
    UpdateData(TRUE);
    CString text;
    m_cbWidth.GetWindowText(text);
    double width;
    // A width that is no number keeps the plot's width.
    if (PDReadNumber(text, width) && width >= 0)
        plot->SetWidth(width);
    plot->SetType(m_cbStyle.GetCurSel());
    plot->SetFillAreaMultipleRegionMode(m_cbFillMode.GetCurSel());
    if (m_b3DScatter) {
        plot->SetSymbolsConnected(IsDlgButtonChecked(IDC_PD_LINE_CONNECT_SYMBOLS));
        return;
    }
    plot->SetConnectType(m_cbConnect.GetCurSel());
    plot->SetLineSymbolGap(m_bGap);
    if (!m_bGap)
        plot->SetLineInFrontSymbol(m_nPosition == 0);
    plot->SetAreaFilled(IsDlgButtonChecked(IDC_PD_LINE_FILL));
}

LRESULT CQUPlotDetailsLine::CommitNow(WPARAM wParam, LPARAM lParam)
{
    ControlsToObject();
    OnControlNotify(wParam, lParam);
    return 0;
}

void CQUPlotDetailsLine::OnGap()
{
    UpdateData(TRUE);
    ApplyGapRule();
    UpdateData(FALSE);
}

void CQUPlotDetailsLine::OnFront()
{
    m_nPosition = 0;
}

void CQUPlotDetailsLine::OnBehind()
{
    m_nPosition = 1;
}

void CQUPlotDetailsLine::OnFillClicked()
{
    const BOOL filled = IsDlgButtonChecked(IDC_PD_LINE_FILL);
    GetDlgItem(IDC_PD_LINE_FILL_MODE)->EnableWindow(filled);
    const BOOL preview = filled && GetPlot()->HasLine(9);
    GetDlgItem(IDC_PD_LINE_PREVIEW_LABEL)->ShowWindow(preview ? SW_SHOW : SW_HIDE);
    InvalidateRect(nullptr);
}

void CQUPlotDetailsLine::OnFill()
{
    ControlsToObject();
    OnFillClicked();
    // Filling the area may bring the Pattern page.
    if (CQUPlotDetailsTabChecker* checker = GetTabChecker())
        checker->CheckTabs(FALSE);
}

void CQUPlotDetailsLine::OnColorChange()
{
    // The colour is written at once; the other controls when the page is left.
    GetPlot()->SetColor(PDIndexToColor(m_cbColor.GetCurSel()));
    ControlsToObject();
}

LRESULT CQUPlotDetailsLine::OnColorMenu(WPARAM wParam, LPARAM)
{
    if (wParam == IDC_PD_LINE_COLOR_BUTTON) {
        const int color = m_btnColor.GetSelectedQCOLOR(0);
        GetPlot()->SetColor(color);
        KeepColorMapFor(color);
        if (CQUPlotDetailsTabChecker* checker = GetTabChecker())
            checker->CheckTabs(FALSE);
    }
    ColorMenuChosen(wParam);
    return 0;
}

void CQUPlotDetailsLine::EnableLineControls(BOOL bEnable)
{
    for (int id : kLineControls)
        GetDlgItem(id)->EnableWindow(bEnable);
}

void CQUPlotDetailsLine::ConnectionChanged(int index)
{
    CQKPlotObj* plot = GetPlot();
    if (plot->IsHighLowClosePlot())
        return;
    if (m_nPrevConnect == 0 && index > 0) {
        ControlsToObject();
        for (int id : kLineControls) {
            GetDlgItem(id)->ShowWindow(SW_SHOW);
            GetDlgItem(id)->EnableWindow(TRUE);
        }
        m_nPrevConnect = index;
        plot->SetConnectType(index);
        ShowControlsForObject();
        ObjectToControls();
    } else if (m_nPrevConnect > 0 && index == 0) {
        EnableLineControls(FALSE);
    }
    m_nPrevConnect = index;
    plot->SetConnectType(index);
    if (m_bActivated)
        if (CQUPlotDetailsTabChecker* checker = GetTabChecker())
            checker->CheckTabs(FALSE);
}

void CQUPlotDetailsLine::OnConnectChange()
{
    ConnectionChanged(m_cbConnect.GetCurSel());
}

void CQUPlotDetailsLine::OnConnectSymbols()
{
    const BOOL on = IsDlgButtonChecked(IDC_PD_LINE_CONNECT_SYMBOLS);
    const int ids[] = {IDC_PD_LINE_COLOR, IDC_PD_LINE_COLOR_BUTTON, IDC_PD_LINE_STYLE, IDC_PD_LINE_WIDTH};
    for (int id : ids)
        GetDlgItem(id)->EnableWindow(on);
}

void CQUPlotDetailsLine::OnFillModeChange()
{
    InvalidateRect(nullptr);
}

void CQUPlotDetailsLine::PaintPreview(CDC* pDC, const CRect& frame)
{
    if (!IsDlgButtonChecked(IDC_PD_LINE_FILL))
        return;
    pDC->FillSolidRect(&frame, RGB(255, 255, 255));
    const UINT bitmaps[] = {IDB_PD_FILL_NORMAL, IDB_PD_FILL_INCLUSIVE, IDB_PD_FILL_EXCLUSIVE};
    int mode = m_cbFillMode.GetCurSel();
    if (mode < 0 || mode > 2)
        return;
    CBitmap bitmap;
    if (!bitmap.LoadBitmap(bitmaps[mode]))
        return;
    BITMAP info;
    bitmap.GetBitmap(&info);
    CDC memory;
    memory.CreateCompatibleDC(pDC);
    CBitmap* old = memory.SelectObject(&bitmap);
    pDC->BitBlt(frame.left, frame.top, std::min<int>(info.bmWidth, frame.Width()),
                std::min<int>(info.bmHeight, frame.Height()), &memory, 0, 0, SRCCOPY);
    memory.SelectObject(old);
}

void CQUPlotDetailsLine::OnPaint()
{
    CPaintDC dc(this);
    CWnd* fill = GetDlgItem(IDC_PD_LINE_FILL);
    if (!fill || !fill->IsWindowVisible() || !GetPlot()->HasLine(9))
        return;
    CRect frame;
    GetDlgItem(IDC_PD_LINE_PREVIEW)->GetWindowRect(&frame);
    ScreenToClient(&frame);
    PaintPreview(&dc, frame);
}
