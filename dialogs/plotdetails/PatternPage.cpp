#include "PatternPage.h"

#include <math.h>

#include "LayerPages.h"
#include "ObjectsResources.h"
#include "PlotDetailsResources.h"
#include "PlotDetailsTabChecker.h"
#include "QKUtil.h"

namespace {

const int kBorderControls[] = {IDC_PD_PAT_BORDER_COLOR, IDC_PD_PAT_BORDER_BUTTON, IDC_PD_PAT_STYLE,
                               IDC_PD_PAT_BORDER_WIDTH};
enum { COLOR_BORDER = 1, COLOR_FILL = 2, COLOR_PATTERN = 4 };

const int kFillControls[] = {IDC_PD_PAT_FILL_COLOR,    IDC_PD_PAT_FILL_BUTTON, IDC_PD_PAT_PATTERN_COLOR,
                             IDC_PD_PAT_PATTERN_BUTTON, IDC_PD_PAT_PATTERN,     IDC_PD_PAT_FILL_WIDTH};

} // namespace

BEGIN_MESSAGE_MAP(CQUPlotDetailsPattern, CQUPlotDetailsPlotObjTab)
    ON_CBN_SELCHANGE(IDC_PD_PAT_RELATION, OnRelationChange)
    ON_CBN_SELCHANGE(IDC_PD_PAT_FILL_COLOR, OnFillColorChange)
    ON_CBN_SELCHANGE(IDC_PD_PAT_PATTERN_COLOR, OnPatternColorChange)
    ON_CBN_SELCHANGE(IDC_PD_PAT_BORDER_COLOR, OnBorderColorChange)
    ON_CBN_SELCHANGE(IDC_PD_PAT_STYLE, OnStyleChange)
    ON_CBN_SELCHANGE(IDC_PD_PAT_PATTERN, OnPatternChange)
    ON_CBN_SELCHANGE(IDC_PD_PAT_BORDER_WIDTH, OnBorderWidthSelect)
    ON_CBN_EDITCHANGE(IDC_PD_PAT_BORDER_WIDTH, OnBorderWidthEdit)
    ON_CBN_SELCHANGE(IDC_PD_PAT_FILL_WIDTH, OnFillWidthSelect)
    ON_CBN_EDITCHANGE(IDC_PD_PAT_FILL_WIDTH, OnFillWidthEdit)
    ON_WM_PAINT()
    ON_MESSAGE(QK_WM_COLORMENU_CHOSEN, OnColorMenu)
END_MESSAGE_MAP()

CQUPlotDetailsPattern::CQUPlotDetailsPattern()
    : CQUPlotDetailsPlotObjTab(IDD_PD_PATTERN), m_nInstance(0), m_bShared(1), m_bBorderButton(FALSE),
      m_bFillButton(FALSE), m_bPatternButton(FALSE), m_nAutoPatternColor(0),
      m_nColorsChanged(0)
{
}

void CQUPlotDetailsPattern::InitControls()
{
    struct {
        CComboBox* combo;
        int id;
    } const combos[] = {{&m_cbBorderColor, IDC_PD_PAT_BORDER_COLOR}, {&m_cbStyle, IDC_PD_PAT_STYLE},
                        {&m_cbBorderWidth, IDC_PD_PAT_BORDER_WIDTH}, {&m_cbFillColor, IDC_PD_PAT_FILL_COLOR},
                        {&m_cbPattern, IDC_PD_PAT_PATTERN},          {&m_cbPatternColor, IDC_PD_PAT_PATTERN_COLOR},
                        {&m_cbFillWidth, IDC_PD_PAT_FILL_WIDTH},     {&m_cbRelation, IDC_PD_PAT_RELATION}};
    for (const auto& c : combos)
        c.combo->SubclassDlgItem(c.id, this);
    PDFillColorNames(m_cbBorderColor, "Automatic");
    PDFillColorNames(m_cbFillColor, "Automatic");
    PDFillColorNames(m_cbPatternColor, "Automatic");
    PDFillComboFromString(m_cbStyle, IDS_QD_LINE_TYPES);
    PDFillComboFromString(m_cbBorderWidth, IDS_QD_LINE_WIDTHS);
    PDFillComboFromString(m_cbFillWidth, IDS_QD_LINE_WIDTHS);
    PDFillComboFromString(m_cbPattern, IDS_PD_FILL_PATTERNS);
    PDFillComboFromString(m_cbRelation, IDS_PD_PATTERN_RELATIONS);
    m_btnBorder.CreateColorMenu(IDC_PD_PAT_BORDER_BUTTON, QK_COLOR_BORDER, this, GetPlot());
    m_btnPattern.CreateColorMenu(IDC_PD_PAT_PATTERN_BUTTON, QK_COLOR_PATTERN, this, GetPlot());
    m_btnFill.CreateColorMenu(IDC_PD_PAT_FILL_BUTTON, QK_COLOR_PATTERN_FILL, this, GetPlot());
}

void CQUPlotDetailsPattern::BindColorControls()
{
    for (CQKColorMenuButtonCtrl* button : {&m_btnBorder, &m_btnFill, &m_btnPattern})
        button->ConnectToPlotObject(GetPlot());
}

int CQUPlotDetailsPattern::ShownColor(int which) const
{
    switch (which) {
    case COLOR_BORDER:
        return m_bBorderButton ? m_btnBorder.GetSelectedQCOLOR(0) : PDIndexToColor(m_cbBorderColor.GetCurSel());
    case COLOR_FILL: return m_bFillButton ? m_btnFill.GetSelectedQCOLOR(0) : PDIndexToColor(m_cbFillColor.GetCurSel());
    default:
        return m_bPatternButton ? m_btnPattern.GetSelectedQCOLOR(0) : PDIndexToColor(m_cbPatternColor.GetCurSel());
    }
}

void CQUPlotDetailsPattern::ShowControlsForObject()
{
    CQKPlotObj* plot = GetPlot();
    const BOOL border = m_nInstance == 0 && (!plot->IsLineSymbolPlot() || plot->Has3DFrame());
    for (int id : kBorderControls)
        GetDlgItem(id)->EnableWindow(border);
    EnableFill(TRUE);
    const int show = m_nInstance == 0 ? SW_HIDE : SW_SHOW;
    GetDlgItem(IDC_PD_PAT_RELATION)->ShowWindow(show);
    GetDlgItem(IDC_PD_PAT_RELATION_LABEL)->ShowWindow(show);
    m_bBorderButton = PDShowColorPair(this, IDC_PD_PAT_BORDER_COLOR, m_btnBorder);
    m_bFillButton = PDShowColorPair(this, IDC_PD_PAT_FILL_COLOR, m_btnFill);
    m_bPatternButton = PDShowColorPair(this, IDC_PD_PAT_PATTERN_COLOR, m_btnPattern);
}

void CQUPlotDetailsPattern::EnableFill(BOOL bEnable)
{
    for (int id : kFillControls)
        GetDlgItem(id)->EnableWindow(bEnable);
}

void CQUPlotDetailsPattern::ApplyPatternWidthRule()
{
    const BOOL on = m_cbPattern.GetCurSel() > 0 && OwnSettings();
    GetDlgItem(IDC_PD_PAT_FILL_WIDTH)->EnableWindow(on);
    GetDlgItem(IDC_PD_PAT_PATTERN_COLOR)->EnableWindow(on);
    GetDlgItem(IDC_PD_PAT_PATTERN_BUTTON)->EnableWindow(on);
}

void CQUPlotDetailsPattern::ObjectToControls()
{
    CQKPlotObj* plot = GetPlot();
    if (m_nInstance != 0) {
        int type = plot->GetPatternType(m_nInstance);
        m_cbRelation.SetCurSel(type);
        m_bShared = type != 1;
    }
    const int e = EffectiveInstance();
    m_nColorsChanged = 0;
    m_cbBorderColor.SetCurSel(PDColorToIndex(plot->GetBorderColor(e)));
    m_btnBorder.SetAutoColor(plot->GetActualColorForAutoColor(6));
    m_btnBorder.SetSelectedQCOLOR(plot->GetBorderColor(e));
    m_cbStyle.SetCurSel(plot->GetBorderType(e));
    PDShowRounded(m_cbBorderWidth, plot->GetBorderWidth(e));
    m_nAutoPatternColor = plot->GetBorderColor(e) == PD_AUTO_COLOR ? plot->GetActualColorForAutoColor(6)
                                                                 : plot->GetBorderColor(e);
    m_cbPatternColor.SetCurSel(PDColorToIndex(plot->GetBarFillColor(e)));
    m_btnPattern.SetAutoColor(plot->GetActualColorForAutoColor(4));
    m_btnPattern.SetSelectedQCOLOR(plot->GetBarFillColor(e));
    m_cbPattern.SetCurSel(plot->GetFillPattern(e));
    PDShowRounded(m_cbFillWidth, plot->GetFillWidth(e));
    m_cbFillColor.SetCurSel(PDColorToIndex(plot->GetBKColor(e)));
    m_btnFill.SetAutoColor(plot->GetActualColorForAutoColor(0));
    m_btnFill.SetSelectedQCOLOR(plot->GetBKColor(e));
    if (m_nInstance != 0)
        EnableFill(m_bShared == 0);
    ApplyPatternWidthRule();
}

void CQUPlotDetailsPattern::ControlsToObject()
{
    CQKPlotObj* plot = GetPlot();
    if (OwnSettings()) {
        // "Automatic" is written as the colour it stands for now.
        if (m_nColorsChanged & COLOR_BORDER) {
            int border = ShownColor(COLOR_BORDER);
            plot->SetBorderColor(border == PD_AUTO_COLOR ? plot->GetActualColorForAutoColor(6) : border, m_nInstance);
        }
        plot->SetBorderType(m_cbStyle.GetCurSel(), m_nInstance);
        if (m_nColorsChanged & COLOR_PATTERN) {
            int pattern = ShownColor(COLOR_PATTERN);
            if (pattern == PD_AUTO_COLOR && plot->IsSpecialPoint())
                pattern = m_nAutoPatternColor;
            plot->SetBarFillColor(pattern, m_nInstance);
        }
        plot->SetFillPattern(m_cbPattern.GetCurSel(), m_nInstance);
        if (m_nColorsChanged & COLOR_FILL) {
            int fill = ShownColor(COLOR_FILL);
            plot->SetBKColor(fill == PD_AUTO_COLOR ? plot->GetActualColorForAutoColor(0) : fill, m_nInstance);
        }
    }
    if (m_nInstance != 0)
        plot->SetPatternType(m_cbRelation.GetCurSel(), m_nInstance);
}

LRESULT CQUPlotDetailsPattern::CommitNow(WPARAM wParam, LPARAM lParam)
{
    ControlsToObject();
    Preview();
    OnControlNotify(wParam, lParam);
    return 0;
}

void CQUPlotDetailsPattern::RecheckTabs()
{
    if (CQUPlotDetailsTabChecker* checker = GetTabChecker())
        checker->CheckTabs(FALSE);
}

void CQUPlotDetailsPattern::Preview()
{
    CWnd* frame = GetDlgItem(IDC_PD_PAT_PREVIEW);
    if (!frame)
        return;
    CRect rect;
    frame->GetWindowRect(&rect);
    ScreenToClient(&rect);
    InvalidateRect(&rect);
}

void CQUPlotDetailsPattern::OnRelationChange()
{
    int index = m_cbRelation.GetCurSel();
    CQKPlotObj* plot = GetPlot();
    plot->SetPatternType(index, m_nInstance);
    if (index == 1 && m_bShared) {
        // Its own settings start as the first instance's colours, whatever they are.
        plot->SetBorderColor(plot->GetBorderColor(0), m_nInstance);
        plot->SetBKColor(plot->GetBKColor(0), m_nInstance);
        plot->SetBarFillColor(plot->GetBarFillColor(0), m_nInstance);
    }
    m_bShared = index != 1;
    ControlsToObject();
    EnableFill(m_bShared == 0);
    ObjectToControls();
    Preview();
}

void CQUPlotDetailsPattern::OnPatternColorChange()
{
    m_nColorsChanged |= COLOR_PATTERN;
    ControlsToObject();
    Preview();
    RecheckTabs();
}

void CQUPlotDetailsPattern::OnFillColorChange()
{
    m_nColorsChanged |= COLOR_FILL;
    ControlsToObject();
    Preview();
    RecheckTabs();
}

void CQUPlotDetailsPattern::OnBorderColorChange()
{
    m_nColorsChanged |= COLOR_BORDER;
    int border = PDIndexToColor(m_cbBorderColor.GetCurSel());
    m_nAutoPatternColor = border == PD_AUTO_COLOR ? GetPlot()->GetActualColorForAutoColor(6) : border;
    ControlsToObject();
    Preview();
    RecheckTabs();
}

LRESULT CQUPlotDetailsPattern::OnColorMenu(WPARAM wParam, LPARAM lParam)
{
    switch (wParam) {
    case IDC_PD_PAT_BORDER_BUTTON: m_nColorsChanged |= COLOR_BORDER; break;
    case IDC_PD_PAT_FILL_BUTTON: m_nColorsChanged |= COLOR_FILL; break;
    case IDC_PD_PAT_PATTERN_BUTTON: m_nColorsChanged |= COLOR_PATTERN; break;
    default: return 0;
    }
    ControlsToObject();
    KeepColorMapFor((int)lParam);
    Preview();
    if (CQUPlotDetailsTabChecker* checker = GetTabChecker())
        checker->CheckTabs(FALSE);
    // The pattern colour's "Automatic" follows the border.
    const int border = ShownColor(COLOR_BORDER);
    m_nAutoPatternColor = border == PD_AUTO_COLOR ? GetPlot()->GetActualColorForAutoColor(6) : border;
    ColorMenuChosen(wParam);
    return 0;
}

void CQUPlotDetailsPattern::OnStyleChange()
{
    ControlsToObject();
    Preview();
}

void CQUPlotDetailsPattern::OnPatternChange()
{
    ControlsToObject();
    Preview();
    ApplyPatternWidthRule();
}

void CQUPlotDetailsPattern::OnBorderWidthSelect()
{
    CString text;
    int sel = m_cbBorderWidth.GetCurSel();
    if (sel != CB_ERR)
        m_cbBorderWidth.GetLBText(sel, text);
    double width;
    if (PDReadNumber(text, width) && width >= 0)
        GetPlot()->SetBorderWidth(width, m_nInstance);
    Preview();
}

void CQUPlotDetailsPattern::OnBorderWidthEdit()
{
    CString text;
    m_cbBorderWidth.GetWindowText(text);
    double width;
    // A width being typed that is no number (yet) leaves the plot's width as it was.
    if (PDReadNumber(text, width) && width >= 0)
        GetPlot()->SetBorderWidth(width, m_nInstance);
    Preview();
}

void CQUPlotDetailsPattern::OnFillWidthSelect()
{
    CString text;
    int sel = m_cbFillWidth.GetCurSel();
    if (sel != CB_ERR)
        m_cbFillWidth.GetLBText(sel, text);
    double width;
    if (PDReadNumber(text, width) && width >= 0)
        GetPlot()->SetFillWidth(width, m_nInstance);
    Preview();
}

void CQUPlotDetailsPattern::OnFillWidthEdit()
{
    CString text;
    m_cbFillWidth.GetWindowText(text);
    double width;
    if (PDReadNumber(text, width) && width >= 0)
        GetPlot()->SetFillWidth(width, m_nInstance);
    Preview();
}

void CQUPlotDetailsPattern::PaintPreview(CDC* pDC, const CRect& frame)
{
    pDC->FillSolidRect(&frame, ::GetSysColor(COLOR_BTNFACE));
    CRect bar = frame;
    bar.DeflateRect(5, 5);
    GetPlot()->DrawBarPreview(pDC->m_hDC, bar, m_nInstance);
}

void CQUPlotDetailsPattern::OnPaint()
{
    CPaintDC dc(this);
    CRect frame;
    GetDlgItem(IDC_PD_PAT_PREVIEW)->GetWindowRect(&frame);
    ScreenToClient(&frame);
    PaintPreview(&dc, frame);
}
