#include "SpacingPage.h"

#include "PlotDetailsResources.h"
#include "PlotDetailsTabChecker.h"
#include "QKUtil.h"

namespace {

void ShowInteger(CComboBox& combo, int value)
{
    CString text;
    text.Format("%d", value);
    combo.SetWindowText(text);
}

} // namespace

BEGIN_MESSAGE_MAP(CQUPlotDetailsSpacing, CQUPlotDetailsPlotObjTab)
    ON_CBN_EDITCHANGE(IDC_PD_SP_GAP, OnGapEdit)
    ON_CBN_SELCHANGE(IDC_PD_SP_GAP, OnGapSelect)
END_MESSAGE_MAP()

CQUPlotDetailsSpacing::CQUPlotDetailsSpacing() : CQUPlotDetailsPlotObjTab(IDD_PD_SPACING) {}

void CQUPlotDetailsSpacing::InitControls()
{
    m_cbGap.SubclassDlgItem(IDC_PD_SP_GAP, this);
    m_cbOverlap.SubclassDlgItem(IDC_PD_SP_OVERLAP, this);
    m_cbThickness.SubclassDlgItem(IDC_PD_SP_THICKNESS, this);
    PDFillComboFromString(m_cbGap, IDS_PD_GAPS);
    PDFillComboFromString(m_cbOverlap, IDS_PD_OVERLAPS);
    PDFillComboFromString(m_cbThickness, IDS_PD_GAPS);
}

void CQUPlotDetailsSpacing::ObjectToControls()
{
    CQKPlotObj* plot = GetPlot();
    SetDlgItemText(IDC_PD_SP_GAP_LABEL, plot->GetTextForGapBetween().c_str());
    ShowInteger(m_cbGap, plot->GetBoxGap());
    ShowInteger(m_cbOverlap, plot->GetGapWithinGroup());
    ShowInteger(m_cbThickness, plot->GetBarThickness());

    const int overlap[] = {IDC_PD_SP_OVERLAP, IDC_PD_SP_OVERLAP_LABEL};
    const BOOL noOverlap = plot->Is3DBar() || plot->IsStackBarColumn() || plot->IsAreaPlot();
    for (int id : overlap) {
        GetDlgItem(id)->ShowWindow(noOverlap ? SW_HIDE : SW_SHOW);
        GetDlgItem(id)->EnableWindow(plot->GetNumOfObjectColumns() > 1);
    }
    if (plot->IsFloatingColumnBarPlot()) {
        const BOOL grouped = (plot->IsGroupBegin() || plot->IsGroupMember()) && !plot->IsIndependence();
        m_cbGap.EnableWindow(grouped);
        for (int id : overlap)
            GetDlgItem(id)->EnableWindow(FALSE);
    }
    const int show = plot->NeedBarThickness() ? SW_SHOW : SW_HIDE;
    GetDlgItem(IDC_PD_SP_THICKNESS)->ShowWindow(show);
    GetDlgItem(IDC_PD_SP_THICKNESS_LABEL)->ShowWindow(show);
}

void CQUPlotDetailsSpacing::ControlsToObject()
{
    CQKPlotObj* plot = GetPlot();
    CString text;
    double value;
    // A text that is no number keeps what the plot has.
    m_cbGap.GetWindowText(text);
    if (PDReadNumber(text, value))
        plot->SetBoxGap(value);
    m_cbOverlap.GetWindowText(text);
    if (PDReadNumber(text, value))
        plot->SetGapWithinGroup(value);
    m_cbThickness.GetWindowText(text);
    if (PDReadNumber(text, value))
        plot->SetBarThickness((int)value);
}

void CQUPlotDetailsSpacing::OnGapEdit()
{
    CString text;
    m_cbGap.GetWindowText(text);
    double value;
    if (PDReadNumber(text, value))
        GetPlot()->SetBoxGap(value);
    if (CQUPlotDetailsTabChecker* checker = GetTabChecker())
        checker->CheckTabs(FALSE);
}

void CQUPlotDetailsSpacing::OnGapSelect()
{
    CString text;
    int sel = m_cbGap.GetCurSel();
    if (sel != CB_ERR)
        m_cbGap.GetLBText(sel, text);
    double value;
    if (PDReadNumber(text, value))
        GetPlot()->SetBoxGap(value);
    if (CQUPlotDetailsTabChecker* checker = GetTabChecker())
        checker->CheckTabs(FALSE);
}
