#include "PrintDialogs.h"

#include <stdlib.h>

#include "CoreResources.h"
#include "QKAccess.h"
#include "QKData.h"

namespace {

// The flags every print dialog of these windows adds: no selection and no page numbers
// to choose, a DC returned, a Help button, copies kept in the DEVMODE.
const DWORD kPrintFlags = PD_NOSELECTION | PD_NOPAGENUMS | PD_RETURNDC | PD_SHOWHELP | PD_USEDEVMODECOPIES;

// This library's module, whose templates the dialogs use.
HINSTANCE ThisModule()
{
    HMODULE module = nullptr;
    ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         (LPCSTR)&ThisModule, &module);
    return module;
}

void ShowHelp(HWND dialog, UINT templateId)
{
    if (CWinApp* app = AfxGetApp())
        ::WinHelpA(dialog, app->m_pszHelpFilePath, HELP_CONTEXT, templateId);
}

int DevModeOrientation(HGLOBAL devMode)
{
    int orientation = 0;
    if (devMode != nullptr) {
        if (auto* mode = (DEVMODEA*)::GlobalLock(devMode)) {
            orientation = mode->dmOrientation;
            ::GlobalUnlock(devMode);
        }
    }
    return orientation;
}

int ReadInt(CWnd* dialog, int id)
{
    CString text;
    dialog->GetDlgItemText(id, text);
    return (int)strtol(text, nullptr, 10);
}

void SetInt(CWnd* dialog, int id, int value)
{
    CString text;
    text.Format("%d", value);
    dialog->SetDlgItemText(id, text);
}

// The unit word of a page's dimension unit (inch, cm, mm, pixel).
const char* UnitWord(int units)
{
    static const char* const words[] = {"inch", "cm", "mm", "pixel"};
    return words[units >= 0 && units < 4 ? units : 0];
}

CString Dimension(double value, int units)
{
    CString text;
    text.Format("%.3g %s", value, UnitWord(units));
    return text;
}

} // namespace

// ---- CQUPrintDialog --------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CQUPrintDialog, CPrintDialog)
    ON_MESSAGE(WM_HELP, OnHelp)
END_MESSAGE_MAP()

CQUPrintDialog::CQUPrintDialog(BOOL bPrintSetupOnly, DWORD dwFlags, CWnd* pParentWnd)
    : CPrintDialog(bPrintSetupOnly, dwFlags | kPrintFlags, pParentWnd), m_bOrientationUnchanged(1)
{
    m_pd.hInstance = ThisModule();
}

LRESULT CQUPrintDialog::OnHelp(WPARAM, LPARAM)
{
    ShowHelp(m_hWnd, (UINT)(UINT_PTR)m_pd.lpPrintTemplateName);
    return TRUE;
}

// ---- CQUWksPrintDialog -----------------------------------------------------------------

BEGIN_MESSAGE_MAP(CQUWksPrintDialog, CQUPrintDialog)
    ON_BN_CLICKED(IDC_QU_PRINT_SELECTION, OnSelection)
END_MESSAGE_MAP()

CQUWksPrintDialog::CQUWksPrintDialog(BOOL bPrintSetupOnly, DWORD dwFlags, CWnd* pParentWnd)
    : CQUPrintDialog(bPrintSetupOnly, dwFlags, pParentWnd), m_selFirstCol(-1), m_selLastCol(0), m_selFirstRow(-1),
      m_selLastRow(0), m_fullFirstCol(-1), m_fullLastCol(0), m_fullFirstRow(-1), m_fullLastRow(0), m_bUseSelection(0)
{
    m_pd.Flags |= PD_ENABLEPRINTTEMPLATE;
    m_pd.lpPrintTemplateName = MAKEINTRESOURCE(IDD_QU_WKS_PRINT);
}

void CQUWksPrintDialog::SetSelectionRange(int firstCol, int lastCol, int firstRow, int lastRow)
{
    m_selFirstCol = firstCol;
    m_selLastCol = lastCol;
    m_selFirstRow = firstRow;
    m_selLastRow = lastRow;
}

void CQUWksPrintDialog::SetFullRange(int firstCol, int lastCol, int firstRow, int lastRow)
{
    m_fullFirstCol = firstCol;
    m_fullLastCol = lastCol;
    m_fullFirstRow = firstRow;
    m_fullLastRow = lastRow;
}

int CQUWksPrintDialog::GetPrintRange(int& firstCol, int& lastCol, int& firstRow, int& lastRow) const
{
    firstCol = m_bUseSelection ? m_selFirstCol : m_fullFirstCol;
    lastCol = m_bUseSelection ? m_selLastCol : m_fullLastCol;
    firstRow = m_bUseSelection ? m_selFirstRow : m_fullFirstRow;
    lastRow = m_bUseSelection ? m_selLastRow : m_fullLastRow;
    return 1;
}

INT_PTR CQUWksPrintDialog::DoModal()
{
    INT_PTR result = CQUPrintDialog::DoModal();
    if (result == IDOK && m_pd.hDC == nullptr)
        CreatePrinterDC();
    return result;
}

BOOL CQUWksPrintDialog::OnInitDialog()
{
    CQUPrintDialog::OnInitDialog();
    m_selection.SubclassDlgItem(IDC_QU_PRINT_SELECTION, this);
    m_selection.SetCheck(0);
    ShowRange(false);
    return TRUE;
}

void CQUWksPrintDialog::ShowRange(bool selection)
{
    SetInt(this, IDC_QU_PRINT_COL_FROM, (selection ? m_selFirstCol : m_fullFirstCol) + 1);
    SetInt(this, IDC_QU_PRINT_COL_TO, selection ? m_selLastCol : m_fullLastCol);
    SetInt(this, IDC_QU_PRINT_ROW_FROM, (selection ? m_selFirstRow : m_fullFirstRow) + 1);
    SetInt(this, IDC_QU_PRINT_ROW_TO, selection ? m_selLastRow : m_fullLastRow);
    for (int id = IDC_QU_PRINT_COL_FROM; id <= IDC_QU_PRINT_ROW_TO; ++id)
        GetDlgItem(id)->EnableWindow(selection);
}

void CQUWksPrintDialog::OnSelection()
{
    ShowRange(m_selection.GetCheck() == BST_CHECKED);
    UpdateData(FALSE);
}

void CQUWksPrintDialog::OnOK()
{
    const int useSelection = m_selection.GetCheck() == BST_CHECKED;
    if (useSelection) {
        // A refused range is not kept: the dialog stays, and a Cancel then leaves the
        // range the window gave.
        const int firstCol = ReadInt(this, IDC_QU_PRINT_COL_FROM) - 1, lastCol = ReadInt(this, IDC_QU_PRINT_COL_TO);
        const int firstRow = ReadInt(this, IDC_QU_PRINT_ROW_FROM) - 1, lastRow = ReadInt(this, IDC_QU_PRINT_ROW_TO);
        if (firstCol < m_fullFirstCol || firstRow < m_fullFirstRow || lastCol > m_fullLastCol ||
            lastRow > m_fullLastRow) {
            AfxMessageBox(IDS_QU_PRINT_BAD_RANGE);
            return;
        }
        SetSelectionRange(firstCol, lastCol, firstRow, lastRow);
    }
    m_bUseSelection = useSelection;
    CQUPrintDialog::OnOK();
}

// ---- CQUWksPageSetupDialog -------------------------------------------------------------

BEGIN_MESSAGE_MAP(CQUWksPageSetupDialog, CPageSetupDialog)
    ON_MESSAGE(WM_HELP, OnHelp)
END_MESSAGE_MAP()

CQUWksPageSetupDialog::CQUWksPageSetupDialog(DWORD dwFlags, CWnd* pParentWnd)
    : CPageSetupDialog(dwFlags, pParentWnd), m_bPrintHeader(0), m_bPrintPageNumber(0)
{
    m_psd.hInstance = ThisModule();
    m_psd.Flags |= PSD_ENABLEPAGESETUPTEMPLATE;
    m_psd.lpPageSetupTemplateName = MAKEINTRESOURCE(IDD_QU_WKS_PAGE_SETUP);
}

INT_PTR CQUWksPageSetupDialog::DoModal()
{
    return CPageSetupDialog::DoModal();
}

BOOL CQUWksPageSetupDialog::OnInitDialog()
{
    CPageSetupDialog::OnInitDialog();
    CheckDlgButton(IDC_QU_PRINT_HEADER, m_bPrintHeader ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_QU_PRINT_PAGE_NUMBER, m_bPrintPageNumber ? BST_CHECKED : BST_UNCHECKED);
    return TRUE;
}

void CQUWksPageSetupDialog::OnOK()
{
    // The system's handler ends the dialog and fills the margins; the window lives until
    // the modal loop ends, so the check boxes are read after it.
    CPageSetupDialog::OnOK();
    if ((m_psd.Flags & PSD_MARGINS) && (m_psd.Flags & PSD_INTHOUSANDTHSOFINCHES)) {
        RECT& m = m_psd.rtMargin;
        m.left = (m.left * 2540 + 500) / 1000;
        m.top = (m.top * 2540 + 500) / 1000;
        m.right = (m.right * 2540 + 500) / 1000;
        m.bottom = (m.bottom * 2540 + 500) / 1000;
    }
    m_bPrintHeader = IsDlgButtonChecked(IDC_QU_PRINT_HEADER) == BST_CHECKED;
    m_bPrintPageNumber = IsDlgButtonChecked(IDC_QU_PRINT_PAGE_NUMBER) == BST_CHECKED;
}

LRESULT CQUWksPageSetupDialog::OnHelp(WPARAM, LPARAM)
{
    ShowHelp(m_hWnd, IDD_QU_WKS_PAGE_SETUP);
    return TRUE;
}

// ---- the graph's print options ---------------------------------------------------------

CQUGrPrintOptBasePage::CQUGrPrintOptBasePage(UINT nIDTemplate) : CPropertyPage(nIDTemplate)
{
    m_psp.dwFlags &= ~PSP_HASHELP;
}

CQUGrPrintOptGeometry::CQUGrPrintOptGeometry()
    : CQUGrPrintOptBasePage(IDD_QU_GRPRINT_GEOMETRY), m_bUsePrinterWidth(0), m_bUsePrinterHeight(0),
      m_bPrintCropmarks(0)
{
}

void CQUGrPrintOptGeometry::DoDataExchange(CDataExchange* pDX)
{
    CQUGrPrintOptBasePage::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_QU_GEOM_USE_WIDTH, m_bUsePrinterWidth);
    DDX_Check(pDX, IDC_QU_GEOM_USE_HEIGHT, m_bUsePrinterHeight);
    DDX_Check(pDX, IDC_QU_GEOM_CROPMARKS, m_bPrintCropmarks);
    DDX_Text(pDX, IDC_QU_GEOM_GRAPH_HEIGHT, m_strGraphHeight);
    DDX_Text(pDX, IDC_QU_GEOM_GRAPH_WIDTH, m_strGraphWidth);
    DDX_Text(pDX, IDC_QU_GEOM_PRINTER_HEIGHT, m_strPrinterHeight);
    DDX_Text(pDX, IDC_QU_GEOM_PRINTER_WIDTH, m_strPrinterWidth);
}

CQUGrPrintOptionsSheet::CQUGrPrintOptionsSheet(CWnd* pParentWnd) : CPropertySheet(IDS_QU_PRINT_OPTIONS, pParentWnd)
{
    m_psh.dwFlags |= PSH_NOAPPLYNOW;
    m_psh.dwFlags &= ~PSH_HASHELP;
    AddPage(&m_geometry);
}

// ---- CQUGraphPrintDialog ---------------------------------------------------------------

BEGIN_MESSAGE_MAP(CQUGraphPrintDialog, CQUPrintDialog)
    ON_BN_CLICKED(IDC_QU_PRINT_SKIP_POINTS, OnSkipPoints)
    ON_BN_CLICKED(IDC_QU_PRINT_MATRIX_POINTS, OnMatrixPoints)
    ON_CBN_SELCHANGE(IDC_QU_PRINT_PAGES, OnPagesChanged)
    ON_BN_CLICKED(IDC_QU_PRINT_OPTIONS, OnOptions)
    ON_CBN_SELCHANGE(IDC_QU_PRINT_PRINTER, OnPrinterChanged)
    ON_MESSAGE(WM_QU_PRINTER_CHANGED, OnUpdateColorSwitches)
END_MESSAGE_MAP()

CQUGraphPrintDialog::CQUGraphPrintDialog(BOOL bPrintSetupOnly, DWORD dwFlags, CQKGraphPage* page, CWnd* pParentWnd)
    : CQUPrintDialog(bPrintSetupOnly, dwFlags, pParentWnd), m_bMatrixPointsLimited(0), m_nMatrixMaxX(32),
      m_nMatrixMaxY(32), m_bGrayScale(0), m_bSimplifiedColors(0), m_bSkipPoints(0), m_nPagesChoice(0),
      m_options(this), m_bOptionsApplied(0), m_pGraphPage(page), m_bUsePrinterWidth(0), m_bUsePrinterHeight(0),
      m_bPrintCropmarks(0), m_bGeometryTaken(0), m_nInitialOrientation(0), m_nMaxPointsPerCurve(0)
{
    m_pd.Flags |= PD_ENABLEPRINTTEMPLATE;
    m_pd.lpPrintTemplateName = MAKEINTRESOURCE(IDD_QU_GRAPH_PRINT);
}

void CQUGraphPrintDialog::DoDataExchange(CDataExchange* pDX)
{
    CQUPrintDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_QU_PRINT_PAGES, m_pages);
}

BOOL CQUGraphPrintDialog::OnInitDialog()
{
    CQUPrintDialog::OnInitDialog();
    m_pages.INIResStringComboBox(IDS_QU_PRINT_PAGES, m_nPagesChoice);
    CheckDlgButton(IDC_QU_PRINT_SKIP_POINTS, m_bSkipPoints ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_QU_PRINT_GRAY_SCALE, m_bGrayScale ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_QU_PRINT_SIMPLIFIED, m_bSimplifiedColors ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_QU_PRINT_MATRIX_POINTS, m_bMatrixPointsLimited ? BST_CHECKED : BST_UNCHECKED);
    m_nInitialOrientation = DevModeOrientation(m_pd.hDevMode);
    if (m_bSkipPoints)
        SetInt(this, IDC_QU_PRINT_MAX_POINTS, m_nMaxPointsPerCurve);
    SetInt(this, IDC_QU_PRINT_MATRIX_X, m_nMatrixMaxX);
    SetInt(this, IDC_QU_PRINT_MATRIX_Y, m_nMatrixMaxY);
    EnableDependents();
    OnUpdateColorSwitches(0, 0);
    return TRUE;
}

void CQUGraphPrintDialog::EnableDependents()
{
    const bool skip = IsDlgButtonChecked(IDC_QU_PRINT_SKIP_POINTS) == BST_CHECKED;
    for (int id : {IDC_QU_PRINT_MAX_POINTS_LABEL, IDC_QU_PRINT_MAX_POINTS}) {
        GetDlgItem(id)->ShowWindow(skip ? SW_SHOW : SW_HIDE);
        GetDlgItem(id)->EnableWindow(skip);
    }
    const bool matrix = IsDlgButtonChecked(IDC_QU_PRINT_MATRIX_POINTS) == BST_CHECKED;
    for (int id : {IDC_QU_PRINT_MATRIX_X, IDC_QU_PRINT_MATRIX_Y, IDC_QU_PRINT_MATRIX_X_LABEL,
                   IDC_QU_PRINT_MATRIX_Y_LABEL})
        GetDlgItem(id)->EnableWindow(matrix);
    GetDlgItem(IDC_QU_PRINT_OPTIONS)->EnableWindow(m_pages.GetCurSel() == 0);
}

void CQUGraphPrintDialog::OnSkipPoints()
{
    if (IsDlgButtonChecked(IDC_QU_PRINT_SKIP_POINTS) == BST_CHECKED)
        SetInt(this, IDC_QU_PRINT_MAX_POINTS, m_nMaxPointsPerCurve);
    EnableDependents();
}

void CQUGraphPrintDialog::OnMatrixPoints()
{
    EnableDependents();
}

void CQUGraphPrintDialog::OnPagesChanged()
{
    EnableDependents();
}

void CQUGraphPrintDialog::OnPrinterChanged()
{
    // The system's dialog follows the new printer first.
    Default();
    PostMessage(WM_QU_PRINTER_CHANGED);
}

LRESULT CQUGraphPrintDialog::OnUpdateColorSwitches(WPARAM, LPARAM)
{
    CString device;
    GetDlgItemText(IDC_QU_PRINT_PRINTER, device);
    QKPrinterInfo info;
    const bool known = qkfxGetCurrentPrinterInfo(device, info) != FALSE;
    const bool color = known && qkfxIsPrinterColor(info) != 0;
    GetDlgItem(IDC_QU_PRINT_GRAY_SCALE)->EnableWindow(known && !color);
    GetDlgItem(IDC_QU_PRINT_SIMPLIFIED)->EnableWindow(color);
    return 0;
}

void CQUGraphPrintDialog::OnOptions()
{
    if (m_pGraphPage == nullptr)
        return;
    if (!m_bGeometryTaken) {
        m_bUsePrinterWidth = !m_pGraphPage->IsCustomSize(0);
        m_bUsePrinterHeight = !m_pGraphPage->IsCustomSize(1);
        m_bPrintCropmarks = m_pGraphPage->IsShowCropmark();
        m_bGeometryTaken = 1;
    }
    CQUGrPrintOptGeometry& g = m_options.m_geometry;
    g.m_bUsePrinterWidth = m_bUsePrinterWidth;
    g.m_bUsePrinterHeight = m_bUsePrinterHeight;
    g.m_bPrintCropmarks = m_bPrintCropmarks;
    const int units = m_pGraphPage->GetDimUnits();
    g.m_strGraphWidth = Dimension(m_pGraphPage->GetDimWidth(), units);
    g.m_strGraphHeight = Dimension(m_pGraphPage->GetDimHeight(), units);
    CString device;
    GetDlgItemText(IDC_QU_PRINT_PRINTER, device);
    QKPrinterInfo info;
    if (qkfxGetCurrentPrinterInfo(device, info)) {
        double record[4] = {info.width, info.height, 0, 0};
        m_pGraphPage->ConvertDimensions(units, record, 0);
        g.m_strPrinterWidth = Dimension(record[0], units);
        g.m_strPrinterHeight = Dimension(record[1], units);
    }
    if (m_options.DoModal() != IDOK)
        return;
    m_bUsePrinterWidth = g.m_bUsePrinterWidth;
    m_bUsePrinterHeight = g.m_bUsePrinterHeight;
    m_bPrintCropmarks = g.m_bPrintCropmarks;
    m_bOptionsApplied = 1;
    ApplyOptions();
}

void CQUGraphPrintDialog::ApplyOptions()
{
    if (m_pGraphPage == nullptr)
        return;
    m_pGraphPage->SetCustomSize(!m_bUsePrinterWidth, 0);
    m_pGraphPage->SetCustomSize(!m_bUsePrinterHeight, 1);
    m_pGraphPage->SetShowCropmark(m_bPrintCropmarks);
}

void CQUGraphPrintDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    if (m_bOptionsApplied)
        ApplyOptions();
    m_nPagesChoice = m_pages.GetCurSel() < 0 ? 0 : m_pages.GetCurSel();
    m_bSkipPoints = IsDlgButtonChecked(IDC_QU_PRINT_SKIP_POINTS) == BST_CHECKED;
    m_bGrayScale = IsDlgButtonChecked(IDC_QU_PRINT_GRAY_SCALE) == BST_CHECKED;
    m_bSimplifiedColors = IsDlgButtonChecked(IDC_QU_PRINT_SIMPLIFIED) == BST_CHECKED;
    m_nMaxPointsPerCurve = ReadInt(this, IDC_QU_PRINT_MAX_POINTS);
    m_bMatrixPointsLimited = IsDlgButtonChecked(IDC_QU_PRINT_MATRIX_POINTS) == BST_CHECKED;
    m_nMatrixMaxX = ReadInt(this, IDC_QU_PRINT_MATRIX_X);
    m_nMatrixMaxY = ReadInt(this, IDC_QU_PRINT_MATRIX_Y);
    // The system's handler writes the DEVMODE the orientation is read from, and ends the
    // dialog.
    Default();
    m_bOrientationUnchanged = DevModeOrientation(m_pd.hDevMode) == m_nInitialOrientation;
}
