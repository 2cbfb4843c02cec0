#include "SurfacePages.h"

#include "ColorMapResources.h"
#include "ObjectsResources.h"
#include "PlotDetailsResources.h"

namespace {

void FillWidthCombo(CComboBox& combo, UINT list)
{
    if (list)
        PDFillComboFromString(combo, list);
    else
        for (const char* w : {"50", "60", "70", "80", "90", "100"})
            combo.AddString(w);
}

void ShowNumber(CComboBox& combo, double v)
{
    CString text;
    text.Format("%.2f", v);
    combo.SetWindowText(text);
}

// The number in a width box; `old` when it holds none.
double ReadNumber(CComboBox& combo, double old)
{
    CString text;
    combo.GetWindowText(text);
    double v;
    return PDReadNumber(text, v) ? v : old;
}

bool Checked(CWnd* page, int id) { return page->IsDlgButtonChecked(id) == BST_CHECKED; }

void Enable(CWnd* page, int id, BOOL on) { page->GetDlgItem(id)->EnableWindow(on); }

void Show(CWnd* page, int id, BOOL on) { page->GetDlgItem(id)->ShowWindow(on ? SW_SHOW : SW_HIDE); }

const char* const kGridChoices[] = {"None", "X Grid Lines Only", "Y Grid Lines Only", "Both X and Y Grid Lines"};

} // namespace

/////////////////////////////////////////////////////////////////////////////
// Surface/Projections: columns Surface, Top Contour (1), Bottom Contour (0)

namespace {
const int kFillIds[3] = {IDC_SURF_FILL, IDC_SURF_TOP_FILL, IDC_SURF_BOTTOM_FILL};
const int kLineIds[3] = {IDC_SURF_LINES, IDC_SURF_TOP_LINES, IDC_SURF_BOTTOM_LINES};
const int kColorIds[3] = {IDC_SURF_COLOR, IDC_SURF_TOP_COLOR, IDC_SURF_BOTTOM_COLOR};
const int kWidthIds[3] = {IDC_SURF_WIDTH, IDC_SURF_TOP_WIDTH, IDC_SURF_BOTTOM_WIDTH};
} // namespace

CQUPlotDetailsSurface::CQUPlotDetailsSurface() : CQUPlotDetailsCMapTab(IDD_PD_SURFACE) {}

void CQUPlotDetailsSurface::InitControls()
{
    for (int c = 0; c < 3; ++c) {
        m_color[c].SubclassDlgItem(kColorIds[c], this);
        m_width[c].SubclassDlgItem(kWidthIds[c], this);
        FillWidthCombo(m_width[c], IDS_QD_LINE_WIDTHS);
    }
}

void CQUPlotDetailsSurface::EnableRule()
{
    for (int c = 0; c < 3; ++c) {
        Enable(this, kColorIds[c], Checked(this, kLineIds[c]));
        Enable(this, kWidthIds[c], Checked(this, kLineIds[c]));
    }
}

void CQUPlotDetailsSurface::ObjectToControls()
{
    CQKPlotObj* p = GetPlot();
    LoadColorMapData();
    CheckDlgButton(IDC_SURF_FILL, p->IsFillColor() ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_SURF_LINES, p->IsDrawContourLines() ? BST_CHECKED : BST_UNCHECKED);
    m_color[0].AddColorNames(p->GetContourLineColor());
    ShowNumber(m_width[0], p->GetContourLineWidth());
    for (int c = 1; c < 3; ++c) {
        const int top = c == 1;
        CheckDlgButton(kFillIds[c], p->IsFillColorInContourPlot(top) ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(kLineIds[c], p->IsDrawContourLinesInContourPlot(top) ? BST_CHECKED : BST_UNCHECKED);
        m_color[c].AddColorNames(p->GetContourLineColorInContourPlot(top));
        ShowNumber(m_width[c], p->GetContourLineWidthInContourPlot(top));
    }
    double low, high;
    m_pColorMap->GetPercColorMapClipping(&low, &high);
    CString text;
    text.Format("%g", low);
    SetDlgItemText(IDC_SURF_CLIP_LOW, text);
    text.Format("%g", high);
    SetDlgItemText(IDC_SURF_CLIP_HIGH, text);
    EnableRule();
}

void CQUPlotDetailsSurface::ControlsToObject()
{
    CQKPlotObj* p = GetPlot();
    if (!m_pColorMap)
        LoadColorMapData();
    p->SetFillColor3D(Checked(this, IDC_SURF_FILL));
    p->SetDrawContourLines(Checked(this, IDC_SURF_LINES));
    p->SetContourLineColor(m_color[0].GetColor());
    p->SetContourLineWidth(ReadNumber(m_width[0], p->GetContourLineWidth()));
    for (int c = 1; c < 3; ++c) {
        const int top = c == 1;
        p->SetFillColorInContourPlot(top, Checked(this, kFillIds[c]));
        p->SetDrawContourLinesInContourPlot(top, Checked(this, kLineIds[c]));
        p->SetContourLineColorInContourPlot(top, m_color[c].GetColor());
        p->SetContourLineWidthInContourPlot(top, ReadNumber(m_width[c], p->GetContourLineWidthInContourPlot(top)));
    }
    double low, high;
    m_pColorMap->GetPercColorMapClipping(&low, &high);
    CString text;
    double v;
    GetDlgItemText(IDC_SURF_CLIP_LOW, text);
    if (PDReadNumber(text, v))
        low = v;
    GetDlgItemText(IDC_SURF_CLIP_HIGH, text);
    if (PDReadNumber(text, v))
        high = v;
    m_pColorMap->SetPercColorMapClipping(&low, &high);
    p->SaveColorMapData(m_pColorMap);
}

BOOL CQUPlotDetailsSurface::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) == BN_CLICKED)
        for (int id : kLineIds)
            if (LOWORD(wParam) == (UINT)id)
                EnableRule();
    return CQUPlotDetailsCMapTab::OnCommand(wParam, lParam);
}

/////////////////////////////////////////////////////////////////////////////
// Side Walls

CQUPlotDetailsSideWalls::CQUPlotDetailsSideWalls() : CQUPlotDetailsPlotObjTab(IDD_PD_SIDE_WALLS) {}

void CQUPlotDetailsSideWalls::InitControls()
{
    m_x.SubclassDlgItem(IDC_WALLS_X, this);
    m_y.SubclassDlgItem(IDC_WALLS_Y, this);
}

void CQUPlotDetailsSideWalls::EnableRule()
{
    Enable(this, IDC_WALLS_X, Checked(this, IDC_WALLS_ENABLE));
    Enable(this, IDC_WALLS_Y, Checked(this, IDC_WALLS_ENABLE));
}

void CQUPlotDetailsSideWalls::ObjectToControls()
{
    CheckDlgButton(IDC_WALLS_ENABLE, GetPlot()->IsDrawSideWalls() ? BST_CHECKED : BST_UNCHECKED);
    m_x.AddColorNames(GetPlot()->GetSideWallXColor());
    m_y.AddColorNames(GetPlot()->GetSideWallYColor());
    EnableRule();
}

void CQUPlotDetailsSideWalls::ControlsToObject()
{
    GetPlot()->SetDrawSideWalls(Checked(this, IDC_WALLS_ENABLE));
    GetPlot()->SetSideWallXColor(m_x.GetColor());
    GetPlot()->SetSideWallYColor(m_y.GetColor());
}

BOOL CQUPlotDetailsSideWalls::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == IDC_WALLS_ENABLE && HIWORD(wParam) == BN_CLICKED)
        EnableRule();
    return CQUPlotDetailsPlotObjTab::OnCommand(wParam, lParam);
}

/////////////////////////////////////////////////////////////////////////////
// Bars

CQUPlotDetailsBars::CQUPlotDetailsBars() : CQUPlotDetailsPlotObjTab(IDD_PD_BARS) {}

void CQUPlotDetailsBars::InitControls()
{
    m_edge.SubclassDlgItem(IDC_BARS_EDGE_COLOR, this);
    m_fill.SubclassDlgItem(IDC_BARS_FILL_COLOR, this);
    m_edgeWidth.SubclassDlgItem(IDC_BARS_EDGE_WIDTH, this);
    m_xWidth.SubclassDlgItem(IDC_BARS_X_WIDTH, this);
    m_yWidth.SubclassDlgItem(IDC_BARS_Y_WIDTH, this);
    FillWidthCombo(m_edgeWidth, IDS_QD_LINE_WIDTHS);
    FillWidthCombo(m_xWidth, 0);
    FillWidthCombo(m_yWidth, 0);
}

void CQUPlotDetailsBars::ObjectToControls()
{
    CQKPlotObj* p = GetPlot();
    m_edge.AddColorNames(p->GetBarEdgeColor());
    ShowNumber(m_edgeWidth, p->GetBarEdgeLineWidth());
    m_fill.AddColorNames(p->GetFirstRowColor());
    CheckRadioButton(IDC_BARS_SAME, IDC_BARS_INCREMENT, p->IsSameFillColor() ? IDC_BARS_SAME : IDC_BARS_INCREMENT);
    ShowNumber(m_xWidth, p->GetXBarWidthPercent());
    ShowNumber(m_yWidth, p->GetYBarWidthPercent());
}

void CQUPlotDetailsBars::ControlsToObject()
{
    CQKPlotObj* p = GetPlot();
    p->SetBarEdgeLineWidth(ReadNumber(m_edgeWidth, p->GetBarEdgeLineWidth()));
    p->SetBarEdgeColor(m_edge.GetColor());
    p->SetFirstRowColor(m_fill.GetColor());
    p->SetSameFillColor(Checked(this, IDC_BARS_SAME));
    p->SetYBarWidthPercent(ReadNumber(m_yWidth, p->GetYBarWidthPercent()));
    p->SetXBarWidthPercent(ReadNumber(m_xWidth, p->GetXBarWidthPercent()));
}

/////////////////////////////////////////////////////////////////////////////
// Grids

CQUPlotDetailsWire::CQUPlotDetailsWire() : CQUPlotDetailsPlotObjTab(IDD_PD_GRIDS), m_bLaidOut(FALSE) {}

void CQUPlotDetailsWire::InitControls()
{
    m_enable.SubclassDlgItem(IDC_GRID_ENABLE, this);
    m_width.SubclassDlgItem(IDC_GRID_WIDTH, this);
    m_color.SubclassDlgItem(IDC_GRID_COLOR, this);
    m_second.SubclassDlgItem(IDC_GRID_SECOND_COLOR, this);
    m_back.SubclassDlgItem(IDC_GRID_BACK_COLOR, this);
    for (const char* c : kGridChoices)
        m_enable.AddString(c);
    FillWidthCombo(m_width, IDS_QD_LINE_WIDTHS);
    if (IsColormap())
        SetDlgItemText(IDC_GRID_DUAL, "Use Color Map");
    else if (IsFill())
        SetDlgItemText(IDC_GRID_SECOND_LABEL, "Front Color");
}

BOOL CQUPlotDetailsWire::OnSheetReady(CPropertySheet* pSheet)
{
    if (GetPlot()->HasWireFrameFeatures())
        SetCaption("Wire Frame", pSheet);
    return TRUE;
}

LRESULT CQUPlotDetailsWire::CommitNow(WPARAM, LPARAM)
{
    MarkChanged();
    return 1;
}

void CQUPlotDetailsWire::EnableRule()
{
    const BOOL grids = m_enable.GetCurSel() > 0, single = Checked(this, IDC_GRID_SINGLE),
               back = Checked(this, IDC_GRID_BACK);
    const BOOL wire = IsWire(), fill = IsFill(), cmap = IsColormap();
    Enable(this, IDC_GRID_WIDTH, grids);
    Show(this, IDC_GRID_LINES, wire);
    Show(this, IDC_GRID_LINES_LABEL, wire);
    Enable(this, IDC_GRID_LINES, grids && !single);
    Enable(this, IDC_GRID_LINES_LABEL, grids && !single);
    const BOOL backOn = !wire || grids;
    Enable(this, IDC_GRID_BACK, backOn);
    Enable(this, IDC_GRID_BACK_COLOR, backOn && back);
    const BOOL colorOn = grids && (!cmap || single);
    Enable(this, IDC_GRID_COLOR, colorOn);
    Show(this, IDC_GRID_SECOND_COLOR, !cmap);
    Show(this, IDC_GRID_SECOND_LABEL, !cmap);
    Enable(this, IDC_GRID_SECOND_COLOR, fill || (grids && !single));
    Enable(this, IDC_GRID_SECOND_LABEL, fill || (grids && !single));
    Show(this, IDC_GRID_SINGLE, !fill);
    Show(this, IDC_GRID_DUAL, !fill);
    Enable(this, IDC_GRID_SINGLE, grids);
    Enable(this, IDC_GRID_DUAL, grids);
    Enable(this, IDC_GRID_GROUP, (!fill && grids) || colorOn);
    if (m_bLaidOut)
        return;
    m_bLaidOut = TRUE;
    // The group ends where its shown controls do; a one-colour surface's front colour
    // stands below it.
    CRect group, dual, second, combo;
    GetDlgItem(IDC_GRID_GROUP)->GetWindowRect(&group);
    GetDlgItem(IDC_GRID_DUAL)->GetWindowRect(&dual);
    GetDlgItem(IDC_GRID_SECOND_COLOR)->GetWindowRect(&second);
    GetDlgItem(IDC_GRID_COLOR)->GetWindowRect(&combo);
    ScreenToClient(&group);
    ScreenToClient(&dual);
    ScreenToClient(&second);
    ScreenToClient(&combo);
    if (cmap) {
        GetDlgItem(IDC_GRID_GROUP)->SetWindowPos(nullptr, 0, 0, group.Width(), (dual.bottom + second.top) / 2 - group.top,
                                                  SWP_NOMOVE | SWP_NOZORDER);
    } else if (fill) {
        CRect single;
        GetDlgItem(IDC_GRID_SINGLE)->GetWindowRect(&single);
        ScreenToClient(&single);
        GetDlgItem(IDC_GRID_COLOR)->SetWindowPos(nullptr, single.left, combo.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        const int bottom = (combo.bottom + dual.top) / 2;
        GetDlgItem(IDC_GRID_GROUP)->SetWindowPos(nullptr, 0, 0, group.Width(), bottom - group.top,
                                                  SWP_NOMOVE | SWP_NOZORDER);
        const int top = bottom + 2 * (bottom - combo.bottom);
        CRect label;
        GetDlgItem(IDC_GRID_SECOND_LABEL)->GetWindowRect(&label);
        ScreenToClient(&label);
        GetDlgItem(IDC_GRID_SECOND_LABEL)->SetWindowPos(nullptr, single.left, top + 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        GetDlgItem(IDC_GRID_SECOND_COLOR)
            ->SetWindowPos(nullptr, single.left + label.Width() + 4, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
}

void CQUPlotDetailsWire::ObjectToControls()
{
    CQKPlotObj* p = GetPlot();
    m_enable.SetCurSel(p->GetShowGrid());
    ShowNumber(m_width, p->GetGridLineWidth());
    m_color.AddColorNames(p->GetGridColor());
    BOOL dual = IsWire() ? !p->IsWFGridStyleSingle() : IsColormap() ? p->IsGridColoredByColormap() : FALSE;
    CheckRadioButton(IDC_GRID_SINGLE, IDC_GRID_DUAL, dual ? IDC_GRID_DUAL : IDC_GRID_SINGLE);
    SetDlgItemInt(IDC_GRID_LINES, p->GetNumSecondaryGridLines());
    m_second.AddColorNames(IsFill() ? p->GetSurfaceFillColor() : p->GetSecondColor());
    CheckDlgButton(IDC_GRID_BACK, p->IsBackColorEnabled() ? BST_CHECKED : BST_UNCHECKED);
    m_back.AddColorNames(p->GetBackColor());
    EnableRule();
}

void CQUPlotDetailsWire::ControlsToObject()
{
    CQKPlotObj* p = GetPlot();
    if (m_enable.GetCurSel() >= 0)
        p->SetShowGrid(m_enable.GetCurSel());
    p->SetGridLineWidth(ReadNumber(m_width, p->GetGridLineWidth()));
    p->SetGridColor(m_color.GetColor());
    const BOOL dual = Checked(this, IDC_GRID_DUAL);
    if (IsWire()) {
        p->SetWFGridStyleSingle(!dual);
        CString text;
        GetDlgItemText(IDC_GRID_LINES, text);
        double v;
        if (PDReadNumber(text, v) && v >= 0)
            p->SetNumSecondaryGridLines((int)v);
        p->SetSecondColor(m_second.GetColor());
    } else if (IsColormap()) {
        p->SetGridColoredByColormap(dual);
    } else if (IsFill()) {
        p->SetSurfaceFillColor(m_second.GetColor());
    }
    p->SetBackColorEnabled(Checked(this, IDC_GRID_BACK));
    p->SetBackColor(m_back.GetColor());
}

BOOL CQUPlotDetailsWire::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT id = LOWORD(wParam), code = HIWORD(wParam);
    if ((id == IDC_GRID_ENABLE && code == CBN_SELCHANGE) ||
        ((id == IDC_GRID_SINGLE || id == IDC_GRID_DUAL) && code == BN_CLICKED))
        EnableRule();
    if (id == IDC_GRID_BACK && code == BN_CLICKED)
        Enable(this, IDC_GRID_BACK_COLOR, Checked(this, IDC_GRID_BACK));
    return CQUPlotDetailsPlotObjTab::OnCommand(wParam, lParam);
}

/////////////////////////////////////////////////////////////////////////////
// Edit Control

namespace {
const UINT WM_PD_EDIT_DEPENDENCIES = 0x53E;
}

CQUPlotDetailsChoice::CQUPlotDetailsChoice() : CQUPlotDetailsPlotObjTab(IDD_PD_EDIT_CONTROL) {}

void CQUPlotDetailsChoice::ObjectToControls()
{
    const int index = GetPlot()->GetGroupingIndex();
    NotifyDialog(WM_PD_EDIT_DEPENDENCIES, index, 0);
    CheckRadioButton(IDC_CHOICE_INDEPENDENT, IDC_CHOICE_TOGETHER, IDC_CHOICE_INDEPENDENT + index);
}

void CQUPlotDetailsChoice::ControlsToObject()
{
    int index = Checked(this, IDC_CHOICE_TOGETHER) ? 2 : Checked(this, IDC_CHOICE_ORIGINAL) ? 1 : 0;
    GetPlot()->SetGroupingIndex(index);
}

BOOL CQUPlotDetailsChoice::OnSetActive()
{
    ObjectToControls();
    return TRUE;
}

BOOL CQUPlotDetailsChoice::OnKillActive()
{
    ControlsToObject();
    return TRUE;
}

BOOL CQUPlotDetailsChoice::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT id = LOWORD(wParam);
    if (HIWORD(wParam) == BN_CLICKED && id >= IDC_CHOICE_INDEPENDENT && id <= IDC_CHOICE_TOGETHER) {
        ControlsToObject();
        NotifyDialog(WM_PD_EDIT_DEPENDENCIES, GetPlot()->GetGroupingIndex(), 0);
        MarkChanged();
        return TRUE;
    }
    return CQUPlotDetailsPlotObjTab::OnCommand(wParam, lParam);
}
