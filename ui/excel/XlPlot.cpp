// Plotting from workbook ranges.
#include "XlPlot.h"

#include "ExcelRes.h"
#include "QKAccess.h"
#include "QKUtil.h"
#include "XlDialogs.h"
#include "QUGraphView.h"
#include "QUQrxSystem.h"

int CQUxlPlotSettings::DlgPlot = 1;
int CQUxlPlotSettings::DlgPlotMulti = 0;
int CQUxlPlotSettings::LegendTxtSel = 0;
int CQUxlPlotSettings::CloseAfterPlot = 0;

CPlotExcelDlg* CQUxlView::m_pPlotExcelDlg = nullptr;

namespace {

const char kPositionSection[] = "EXCELPLOTDLG";

// The settings file the dialog's position is kept in.
CQKINIFile SettingsFile()
{
    char folder[MAX_PATH] = "";
    qkfxGetGlobalINIPath(folder);
    std::string path = folder;
    if (!path.empty() && path.back() != '\\')
        path += '\\';
    return CQKINIFile((path + "Quorix.ini").c_str());
}

bool IsSingleCell(const QXLSELECTION& r)
{
    return r.c2 - r.c1 == 1 && r.r2 - r.r1 == 1;
}

// Range names of a role text: one name, or several separated by ';'.
std::vector<QXLSELECTION> ParseRoles(const CString& text)
{
    std::vector<QXLSELECTION> out;
    CString rest = text;
    while (!rest.IsEmpty()) {
        int semi = rest.Find(';');
        CString name = semi < 0 ? rest : rest.Left(semi);
        rest = semi < 0 ? CString() : rest.Mid(semi + 1);
        QXLSELECTION r;
        if (qkuxlRangeNameToRange(name, r))
            out.push_back(r);
    }
    return out;
}

} // namespace

/////////////////////////////////////////////////////////////////////////////
// The plot commands of the workbook view

void CQUxlView::on_plot_commands(UINT command)
{
    // The window shows the workbook's sheets in either view, so both plot its selection.
    if (!CanGetSelection(TRUE))
        return;
    QXLSELECTION areas[50];
    unsigned count = 50;
    CString sheet;
    if (!GetSelection(&count, areas, &sheet) || (count == 1 && IsSingleCell(areas[0])) ||
        !CQUxlPlotSettings::DlgPlot) {
        CreatePlotDlg(command);
        return;
    }
    QXLSELECTION used{};
    CQUWksPageExternal* page = get_external_wks_page();
    if (!page || !UpdateAssociatedActiveWorksheet(&used, FALSE))
        return;
    CQKWksExternLayer* layer = page->FindLayer(sheet);
    if (!layer)
        return;
    CQKDefaultPlotAssignments assignments((int)command, areas, (int)count, used.c2 - 1);
    if (!assignments.AssignmentsValid()) {
        xlMessageBox(IDS_XL_BAD_SELECTION_FOR_PLOT, MB_OK);
        return;
    }
    assignments.m_sheet = (LPCTSTR)sheet;
    assignments.SetR2Max(used.r2);
    assignments.SetC2Max(used.c2 - 1);
    DoOneComplexPlot(command, &assignments, layer, nullptr, CQUxlPlotSettings::DlgPlotMulti);
}

BOOL CQUxlView::DoOneComplexPlot(UINT command, CxlPlot* plot, CQKWksExternLayer* layer, CQKGraphPage* graph,
                                 int mode)
{
    QXLSELECTION range;
    if (!plot || !layer || !plot->GetRange(range))
        return FALSE;
    if (IsSingleCell(range)) {
        MessageBeep(0);
        return TRUE;
    }
    CQUWksPageExternal* page = get_external_wks_page();
    if (!page)
        return FALSE;
    // The column designations are the plot's for its making only.
    std::vector<int> designations;
    for (int c = 1; c <= layer->GetNumCols(); ++c)
        designations.push_back(layer->GetColumn(c)->m_type);
    BOOL ok = plot->PrepareLayerForPlotting(layer, 1) && page->CheckCopyData(layer, 1, 0);
    CQKGraphPage* made = nullptr;
    if (ok) {
        CQKPage* active = qkfxGetProject().GetActivePage();
        made = plot->AddPlots(layer, (int)command, graph);
        ok = made != nullptr;
        if (ok && !graph && made != active)
            FinishPlotCreation(mode, made);
    }
    for (int c = 1; c <= layer->GetNumCols() && c <= (int)designations.size(); ++c)
        layer->GetColumn(c)->m_type = designations[c - 1];
    return ok;
}

BOOL CQUxlView::PlotDrop(QXLSELECTION* range, CQUGraphView* graphView, CPoint point)
{
    CQKGraphPage* graph = graphView ? graphView->GetGraphPage() : nullptr;
    if (!range || !graph)
        return FALSE;
    if (IsSingleCell(*range)) {
        MessageBeep(0);
        return FALSE;
    }
    QXLSELECTION areas[1];
    unsigned count = 1;
    CString sheet;
    QXLSELECTION used{};
    CQUWksPageExternal* page = get_external_wks_page();
    if (!page || !GetSelection(&count, areas, &sheet) || !UpdateAssociatedActiveWorksheet(&used, FALSE))
        return FALSE;
    const int type = CQUSystemExcel::GetDragDropPlotTypeID();
    CQKDefaultPlotAssignments assignments(type, range, 1, used.c2 - 1);
    CQKWksExternLayer* layer = page->FindLayer(sheet);
    if (!assignments.AssignmentsValid() || !layer)
        return FALSE;
    assignments.m_sheet = (LPCTSTR)sheet;
    assignments.SetR2Max(used.r2);
    graph->SetActiveLayerIndex(graph->FindLayerIndexFromPointForDragDrop(point));
    return DoOneComplexPlot((UINT)type, &assignments, layer, graph, 0);
}

BOOL CQUxlView::FinishPlotCreation(int mode, CQKGraphPage* page)
{
    switch (mode) {
    case 0: return TRUE;
    case 1: return ExtractPlotsIntoSeperateLayers(page, 1);
    case 2: return ExtractPlotsIntoSeperateLayers(page, 1) && ExtractLayersIntoSeperateGraphs(page);
    }
    return FALSE;
}

BOOL CQUxlView::NewPlotsFromDlg(UINT command, CxlPlots* plots, CQKPage* activePage)
{
    if (!plots)
        return FALSE;
    CQUWksPageExternal* page = get_external_wks_page();
    // Into the active graph; the workbook itself active means a new graph.
    CQKGraphPage* target = nullptr;
    if (activePage && activePage != page && activePage->GetType() == QK_PAGE_GRAPH)
        target = static_cast<CQKGraphPage*>(activePage);
    BOOL ok = FALSE;
    for (auto& plot : plots->m_plots) {
        QXLSELECTION used{};
        if (!UpdateAssociatedWorksheet(plot->m_sheet.c_str(), FALSE, &used))
            continue;
        plot->SetR2Max(used.r2);
        plot->SetC2Max(used.c2 - 1);
        CQKWksExternLayer* layer = page ? page->FindLayer(plot->m_sheet.c_str()) : nullptr;
        if (!layer)
            break;
        ok = DoOneComplexPlot(command, plot.get(), layer, target, plots->m_mode);
    }
    delete plots;
    return ok;
}

int CQUxlView::GetLabelRowNum(const char* sheet, int column)
{
    QXLSELECTION used{};
    if (!UpdateAssociatedWorksheet(sheet, FALSE, &used))
        return -1;
    CQUWksPageExternal* page = get_external_wks_page();
    CQKWksExternLayer* layer = page ? page->FindLayer(sheet) : nullptr;
    if (!layer || !page->CheckCopyData(layer, 1, 0))
        return -1;
    CQKDataset* data = layer->GetColumn(column);
    if (!data)
        return -1;
    for (int r = 0; r < data->GetEnd(); ++r)
        if (data->IsText(r))
            return r;
    return -1;
}

BOOL CQUxlView::CreatePlotDlg(UINT command)
{
    if (m_pPlotExcelDlg)
        return TRUE;
    CPlotExcelDlg* dlg = new CPlotExcelDlg(command, this);
    {
        XlResourceScope resources;
        if (!dlg->Create(IDD_XL_PLOT, m_hWnd ? this : nullptr)) {
            delete dlg;
            return FALSE;
        }
    }
    m_pPlotExcelDlg = dlg;
    RECT pos;
    if (SettingsFile().ReadWinPos(kPositionSection, pos) && (pos.left || pos.top || pos.right || pos.bottom))
        dlg->MoveWindow(pos.left, pos.top, pos.right - pos.left, pos.bottom - pos.top);
    dlg->ShowWindow(SW_SHOW);
    return TRUE;
}

void CQUxlView::DeletePlotDlg()
{
    if (m_pPlotExcelDlg)
        m_pPlotExcelDlg->DestroyWindow();
}

/////////////////////////////////////////////////////////////////////////////
// CPlotExcelDlg

CString CPlotExcelDlg::s_X, CPlotExcelDlg::s_Y, CPlotExcelDlg::s_Z, CPlotExcelDlg::s_Err, CPlotExcelDlg::s_Label,
    CPlotExcelDlg::s_Sheet;
int CPlotExcelDlg::s_titleRow = -1;
int CPlotExcelDlg::s_lastPlotInto = -1;

BEGIN_MESSAGE_MAP(CPlotExcelDlg, CXlDialog)
    ON_BN_CLICKED(IDC_XL_PLOT_X, OnX)
    ON_BN_CLICKED(IDC_XL_PLOT_Y, OnY)
    ON_BN_CLICKED(IDC_XL_PLOT_Z, OnZ)
    ON_BN_CLICKED(IDC_XL_PLOT_ERR, OnErr)
    ON_BN_CLICKED(IDC_XL_PLOT_LABEL, OnLabel)
    ON_BN_CLICKED(IDC_XL_PLOT_TITLE_ROW, OnTitleRow)
    ON_BN_CLICKED(IDC_XL_PLOT_USE_DEFAULTS, OnUseDefaults)
    ON_BN_CLICKED(IDC_XL_PLOT_SAVE_SETTINGS, OnSaveSettings)
    ON_BN_CLICKED(IDC_XL_PLOT_CLEAR, OnClear)
END_MESSAGE_MAP()

CPlotExcelDlg::CPlotExcelDlg(UINT plotType, CQUxlView* owner)
    : m_strX(s_X), m_strY(s_Y), m_strZ(s_Z), m_strErr(s_Err), m_strLabel(s_Label), m_strSheet(s_Sheet),
      m_nTitleRow(s_titleRow), m_pOwner(owner), m_nPlotType(plotType)
{
    SetHelpID(IDD_XL_PLOT);
}

BOOL CPlotExcelDlg::OnInitDialog()
{
    CXlDialog::OnInitDialog();
    // The Plot button's three captions are the items of one string.
    CString all = xlLoadString(IDS_XL_PLOT_BUTTON_CAPTIONS);
    for (int i = 0, pos = 0; i < 3; ++i) {
        int open = all.Find('"', pos);
        int close = open < 0 ? -1 : all.Find('"', open + 1);
        if (close < 0)
            break;
        m_captions[i] = all.Mid(open + 1, close - open - 1);
        pos = close + 1;
    }
    GetWindowText(m_initialCaption);
    m_plotInto.SubclassDlgItem(IDC_XL_PLOT_INTO, this);
    m_plotInto.INIResStringComboBox(IDS_XL_PLOT_INTO_CHOICES,
                                    s_lastPlotInto >= 0 ? s_lastPlotInto : CQUxlPlotSettings::DlgPlotMulti);
    m_plotInto.EnableWindow(s_lastPlotInto >= 0);
    CheckDlgButton(IDC_XL_PLOT_CLOSE_AFTER, CQUxlPlotSettings::CloseAfterPlot ? BST_CHECKED : BST_UNCHECKED);
    // Use Defaults needs a selection of more than one cell.
    QXLSELECTION areas[20];
    unsigned count = 20;
    BOOL selection = m_pOwner->GetSelection(&count, areas, nullptr) && !(count == 1 && IsSingleCell(areas[0]));
    GetDlgItem(IDC_XL_PLOT_USE_DEFAULTS)->EnableWindow(selection);
    Refresh();
    return TRUE;
}

CString CPlotExcelDlg::GetSummary() const
{
    CString title;
    if (m_nTitleRow != -1)
        title.Format("%d", m_nTitleRow);
    return "      X: " + m_strX + "\r\n" + "      Y: " + m_strY + "\r\n" + "      Z: " + m_strZ + "\r\n" +
           "    Err: " + m_strErr + "\r\n" + "Label: " + m_strLabel + "\r\n" + "  Title: " + title;
}

void CPlotExcelDlg::Refresh()
{
    SetDlgItemText(IDC_XL_PLOT_SUMMARY, GetSummary());
    CQKPage* active = qkfxGetProject().GetActivePage();
    SetWindowText(m_initialCaption + "  " + (active ? active->GetName().c_str() : "") + ":" + m_strSheet);
    GetDlgItem(IDOK)->EnableWindow(!m_strY.IsEmpty());
}

BOOL CPlotExcelDlg::ReadSelection(unsigned& count, QXLSELECTION* areas)
{
    CString sheet;
    if (!m_pOwner->GetSelection(&count, areas, &sheet))
        return FALSE;
    if (!m_strSheet.IsEmpty() && sheet.CompareNoCase(m_strSheet) != 0)
        ClearRoles(-1);
    m_strSheet = sheet;
    return TRUE;
}

BOOL CPlotExcelDlg::Overlaps(const CString& candidate, const CString* except) const
{
    // Column spans are compared; rows are not.
    const CString* roles[] = {&m_strX, &m_strY, &m_strZ, &m_strErr, &m_strLabel};
    for (const QXLSELECTION& a : ParseRoles(candidate))
        for (const CString* role : roles) {
            if (role == except)
                continue;
            for (const QXLSELECTION& b : ParseRoles(*role))
                if (a.c1 < b.c2 && b.c1 < a.c2)
                    return TRUE;
        }
    return FALSE;
}

void CPlotExcelDlg::TakeOneColumnRole(CString& role)
{
    QXLSELECTION areas[2];
    unsigned count = 2;
    CString name;
    if (ReadSelection(count, areas) && count == 1) {
        std::string text;
        if (areas[0].c2 - areas[0].c1 > 1)
            xlMessageBox(IDS_XL_ONE_COLUMN_ONLY, MB_OK);
        else if (IsSingleCell(areas[0]))
            MessageBeep(0);
        else if (qkuxlRangeToRangeName(areas[0], text))
            name = text.c_str();
    }
    if (!name.IsEmpty() && Overlaps(name, &role)) {
        MessageBeep(0);
        return;
    }
    role = name;
    Refresh();
}

void CPlotExcelDlg::OnX() { TakeOneColumnRole(m_strX); }
void CPlotExcelDlg::OnZ() { TakeOneColumnRole(m_strZ); }
void CPlotExcelDlg::OnErr() { TakeOneColumnRole(m_strErr); }
void CPlotExcelDlg::OnLabel() { TakeOneColumnRole(m_strLabel); }

void CPlotExcelDlg::OnY()
{
    QXLSELECTION areas[20];
    unsigned count = 20;
    CString joined;
    if (ReadSelection(count, areas)) {
        if (count == 1 && IsSingleCell(areas[0])) {
            MessageBeep(0);
        } else {
            for (unsigned i = 0; i < count; ++i) {
                std::string text;
                if (qkuxlRangeToRangeName(areas[i], text))
                    joined += (joined.IsEmpty() ? "" : ";") + CString(text.c_str());
            }
        }
    }
    if (!joined.IsEmpty() && Overlaps(joined, &m_strY)) {
        MessageBeep(0);
        return;
    }
    m_strY = joined;
    if (!joined.IsEmpty()) {
        m_plotInto.EnableWindow(!(count == 1 && areas[0].c2 - areas[0].c1 == 1));
        if (CQUxlPlotSettings::LegendTxtSel == 0 && m_nTitleRow == -1) {
            int first = areas[0].c1;
            for (unsigned i = 1; i < count; ++i)
                first = std::min(first, (int)areas[i].c1);
            int row = m_pOwner->GetLabelRowNum(m_strSheet, first);
            if (row >= 0)
                m_nTitleRow = row + 1;
        }
    }
    Refresh();
}

void CPlotExcelDlg::OnTitleRow()
{
    QXLSELECTION areas[1];
    unsigned count = 1;
    m_nTitleRow = ReadSelection(count, areas) ? areas[0].r1 + 1 : -1;
    Refresh();
}

void CPlotExcelDlg::ClearRoles(int line)
{
    switch (line) {
    case 0: m_strX.Empty(); break;
    case 1: m_strY.Empty(); break;
    case 2: m_strZ.Empty(); break;
    case 3: m_strErr.Empty(); break;
    case 4: m_strLabel.Empty(); break;
    case 5: m_nTitleRow = -1; break;
    default:
        m_strX.Empty();
        m_strY.Empty();
        m_strZ.Empty();
        m_strErr.Empty();
        m_strLabel.Empty();
        m_nTitleRow = -1;
        break;
    }
}

void CPlotExcelDlg::OnClear()
{
    // The lines selected in the summary go; with none selected, everything.
    CEdit* summary = (CEdit*)GetDlgItem(IDC_XL_PLOT_SUMMARY);
    int start = 0, end = 0;
    summary->GetSel(start, end);
    if (start == end) {
        ClearRoles(-1);
        m_strSheet.Empty();
    } else {
        int first = (int)summary->SendMessage(EM_LINEFROMCHAR, start, 0);
        int last = (int)summary->SendMessage(EM_LINEFROMCHAR, end > start ? end - 1 : end, 0);
        for (int line = first; line <= last; ++line)
            ClearRoles(line);
    }
    Refresh();
}

void CPlotExcelDlg::OnSaveSettings()
{
    s_X = m_strX;
    s_Y = m_strY;
    s_Z = m_strZ;
    s_Err = m_strErr;
    s_Label = m_strLabel;
    s_Sheet = m_strSheet;
    s_titleRow = m_nTitleRow;
}

void CPlotExcelDlg::OnOK()
{
    CQUxlView* active = CQUxlView::get_active_excel_view();
    if (m_nState == 2 && active && active != m_pOwner) {
        // "Change Book": the dialog now works on the active workbook.
        ClearRoles(-1);
        m_strSheet.Empty();
        m_pOwner = active;
        SetDlgItemText(IDOK, m_captions[0]);
        Refresh();
        return;
    }
    std::vector<QXLSELECTION> ys = ParseRoles(m_strY);
    if (ys.empty() || (ys.size() == 1 && IsSingleCell(ys[0]))) {
        MessageBeep(0);
        return;
    }
    CxlPlots* plots = new CxlPlots;
    CxlPlot* plot = plots->Add();
    QXLSELECTION r;
    if (qkuxlRangeNameToRange(m_strX, r))
        plot->m_x = r;
    if (qkuxlRangeNameToRange(m_strErr, r))
        plot->m_err = r;
    if (qkuxlRangeNameToRange(m_strZ, r))
        plot->m_z = r;
    if (qkuxlRangeNameToRange(m_strLabel, r))
        plot->m_label = r;
    plot->m_titleRow = m_nTitleRow == -1 ? -1 : m_nTitleRow - 1;
    plot->m_sheet = (LPCTSTR)m_strSheet;
    plot->m_y = ys;
    plots->m_mode = m_plotInto.GetCurSel() < 0 ? 0 : m_plotInto.GetCurSel();
    s_lastPlotInto = plots->m_mode;
    m_pOwner->NewPlotsFromDlg(m_nPlotType, plots, qkfxGetProject().GetActivePage());
    CQUxlPlotSettings::CloseAfterPlot = IsDlgButtonChecked(IDC_XL_PLOT_CLOSE_AFTER) ? 1 : 0;
    if (CQUxlPlotSettings::CloseAfterPlot)
        Close();
}

void CPlotExcelDlg::OnUseDefaults()
{
    int answer = xlMessageBox(IDS_XL_ENABLE_DEFAULT_ASSIGNMENTS, MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDCANCEL)
        return;
    int previous = CQUxlPlotSettings::DlgPlot;
    CQUxlPlotSettings::DlgPlot = 1;
    CQUxlView* owner = m_pOwner;
    UINT type = m_nPlotType;
    BOOL close = IsDlgButtonChecked(IDC_XL_PLOT_CLOSE_AFTER) != 0;
    owner->on_plot_commands(type);
    if (answer == IDNO)
        CQUxlPlotSettings::DlgPlot = previous;
    if (close)
        Close();
}

void CPlotExcelDlg::Close()
{
    CRect rect;
    GetWindowRect(&rect);
    SettingsFile().WriteWinPos(kPositionSection, rect);
    DestroyWindow();
}

void CPlotExcelDlg::OnCancel()
{
    Close();
}

void CPlotExcelDlg::PostNcDestroy()
{
    if (CQUxlView::m_pPlotExcelDlg == this)
        CQUxlView::m_pPlotExcelDlg = nullptr;
    delete this;
}

void CPlotExcelDlg::UpdateToActiveView()
{
    CQUxlView* active = CQUxlView::get_active_excel_view();
    m_nState = active ? active->GetXlPlotDlgState() : 0;
    const int roleButtons[] = {IDC_XL_PLOT_X, IDC_XL_PLOT_Y, IDC_XL_PLOT_Z, IDC_XL_PLOT_ERR, IDC_XL_PLOT_LABEL,
                               IDC_XL_PLOT_TITLE_ROW};
    if (m_nState == 0) {
        ShowWindow(SW_HIDE);
        GetDlgItem(IDOK)->EnableWindow(FALSE);
        return;
    }
    ShowWindow(SW_SHOW);
    BOOL own = active == m_pOwner;
    SetDlgItemText(IDOK, m_captions[own ? 0 : 2]);
    for (int id : roleButtons)
        GetDlgItem(id)->EnableWindow(own);
    GetDlgItem(IDOK)->EnableWindow(own ? !m_strY.IsEmpty() : TRUE);
    unsigned count = 0;
    BOOL selection = own && m_pOwner->GetSelection(&count, nullptr, nullptr) && count > 0;
    GetDlgItem(IDC_XL_PLOT_USE_DEFAULTS)->EnableWindow(selection && m_bUseDefaults);
    m_plotInto.EnableWindow(TRUE);
}
