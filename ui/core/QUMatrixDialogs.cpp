#include "QUMatrixDialogs.h"

#include <string>
#include <vector>

#include "CoreResources.h"
#include "QKData.h"
#include "QKScript.h"
#include "QKUtil.h"

namespace {

const char* const kTypes[] = {"Double(8)", "Float(4)", "Integer(2)", "Long(4)"};
const char* const kFormats[] = {"Decimal:1000", "Scientific:1E3", "Engineering:1k", "Decimal:1,000"};
const char* const kDisplays[] = {"Default Decimal Digits", "Set Decimal Places =", "Significant Digits="};
const unsigned kMaxDimension = 2000000;
const unsigned long long kMaxCells = 90000000;

void Fill(CWnd* dlg, int id, const char* const* items, int count, int selected)
{
    HWND combo = ::GetDlgItem(dlg->GetSafeHwnd(), id);
    for (int i = 0; i < count; ++i)
        ::SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)items[i]);
    ::SendMessageA(combo, CB_SETCURSEL, selected, 0);
}

int Selected(CWnd* dlg, int id)
{
    return (int)::SendMessageA(::GetDlgItem(dlg->GetSafeHwnd(), id), CB_GETCURSEL, 0, 0);
}

std::string Text(CWnd* dlg, int id)
{
    CString s;
    dlg->GetDlgItemText(id, s);
    return std::string((LPCTSTR)s);
}

void Refuse(CWnd* dlg, int id, const std::string& text)
{
    AfxMessageBox(text.c_str(), MB_OK | MB_ICONEXCLAMATION);
    dlg->GetDlgItem(id)->SetFocus();
    ::SendMessageA(::GetDlgItem(dlg->GetSafeHwnd(), id), EM_SETSEL, 0, -1);
}

// A whole number in [low, high] from an edit; false (the user told why, the edit
// focused) otherwise.
bool ReadWhole(CWnd* dlg, int id, unsigned low, unsigned high, unsigned* value, const std::string& why)
{
    double v;
    if (CQKCString(Text(dlg, id)).GetReal(&v) && v == (double)(long long)v && v >= low && v <= high) {
        *value = (unsigned)v;
        return true;
    }
    Refuse(dlg, id, why);
    return false;
}

// The message for rows and columns out of range.
std::string DimensionRange()
{
    CString text;
    text.LoadString(IDS_QU_MATRIX_DIMENSION_RANGE);
    return (LPCTSTR)text;
}

} // namespace

// ---- Matrix Properties ----------------------------------------------------------------

BEGIN_MESSAGE_MAP(CQUMatrixPropertyDialog, CDialog)
    ON_CBN_SELCHANGE(IDC_QU_MP_DISPLAY, OnDisplayModeChange)
END_MESSAGE_MAP()

CQUMatrixPropertyDialog::CQUMatrixPropertyDialog(CQKMatrixPage* page, CWnd* parent)
    : CDialog(IDD_QU_MATRIX_PROPERTIES, parent), m_page(page)
{
}

int CQUMatrixPropertyDialog::ShownDigits(int mode, int count, bool switching)
{
    if (mode == 1)
        return switching ? (count <= 3 ? 3 : count - 3) : (count < 3 ? 0 : count - 3);
    if (mode == 2)
        return switching && count == 0 ? 6 : count;
    return 0;
}

int CQUMatrixPropertyDialog::DigitCount(int mode, int shown)
{
    if (mode == 1)
        return shown == 0 ? 0 : shown + 3;
    return mode == 2 ? shown : 0;
}

BOOL CQUMatrixPropertyDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    Fill(this, IDC_QU_MP_TYPE, kTypes, 4, m_page->m_internalType);
    Fill(this, IDC_QU_MP_FORMAT, kFormats, 4, m_page->m_dataFormat);
    Fill(this, IDC_QU_MP_DISPLAY, kDisplays, 3, m_page->m_numDisplay);
    SetDlgItemInt(IDC_QU_MP_WIDTH, (UINT)m_page->m_columnWidth, FALSE);
    m_mode = m_page->m_numDisplay;
    // The page keeps decimal places as they are; the dialog's count for them is 3 more.
    m_count = m_mode == 1 ? DigitCount(1, m_page->m_digits) : m_page->m_digits;
    SetDlgItemInt(IDC_QU_MP_DIGITS, (UINT)ShownDigits(m_mode, m_count, false), FALSE);
    ShowDigits();
    return TRUE;
}

void CQUMatrixPropertyDialog::ShowDigits()
{
    GetDlgItem(IDC_QU_MP_DIGITS)->ShowWindow(m_mode == 1 || m_mode == 2 ? SW_SHOW : SW_HIDE);
}

void CQUMatrixPropertyDialog::OnDisplayModeChange()
{
    int mode = Selected(this, IDC_QU_MP_DISPLAY);
    if (m_mode == 1 || m_mode == 2)
        m_count = DigitCount(m_mode, (int)GetDlgItemInt(IDC_QU_MP_DIGITS, nullptr, FALSE));
    m_mode = mode;
    if (mode == 1 || mode == 2)
        SetDlgItemInt(IDC_QU_MP_DIGITS, (UINT)ShownDigits(mode, m_count, true), FALSE);
    ShowDigits();
}

void CQUMatrixPropertyDialog::OnOK()
{
    unsigned width = 0, digits = 0;
    if (!ReadWhole(this, IDC_QU_MP_WIDTH, 1, 200, &width, "Please enter a column width of 1 to 200 characters."))
        return;
    const int mode = Selected(this, IDC_QU_MP_DISPLAY);
    if (mode == 1 || mode == 2) {
        BOOL ok = FALSE;
        digits = GetDlgItemInt(IDC_QU_MP_DIGITS, &ok, FALSE);
        if (!ok || digits > 17 || (mode == 2 && digits < 1)) {
            Refuse(this, IDC_QU_MP_DIGITS, mode == 1 ? "Please enter 0 to 17 decimal places."
                                                     : "Please enter 1 to 17 significant digits.");
            return;
        }
    }
    const int type = Selected(this, IDC_QU_MP_TYPE);
    if (type != m_page->m_internalType) {
        // Existing values are kept as the new type keeps them.
        m_page->m_internalType = type;
        for (int r = 1; r <= m_page->GetRows(); ++r)
            for (int c = 1; c <= m_page->GetCols(); ++c)
                m_page->SetCell(r, c, m_page->GetCell(r, c));
    }
    m_page->m_dataFormat = Selected(this, IDC_QU_MP_FORMAT);
    m_page->m_columnWidth = (int)width;
    m_page->m_numDisplay = mode;
    m_page->m_digits = mode == 0 ? 0 : (int)digits;
    m_page->SetPageChange(1);
    CDialog::OnOK();
}

// ---- Matrix Dimensions ----------------------------------------------------------------

CQUMatrixDimensionsDlg::CQUMatrixDimensionsDlg(CQKMatrixPage* page, CWnd* parent)
    : CDialog(IDD_QU_MATRIX_DIMENSIONS, parent), m_page(page)
{
}

BOOL CQUMatrixDimensionsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetDlgItemInt(IDC_QU_MD_COLUMNS, (UINT)m_page->GetCols(), FALSE);
    SetDlgItemInt(IDC_QU_MD_ROWS, (UINT)m_page->GetRows(), FALSE);
    SetDlgItemText(IDC_QU_MD_X1, CQKCString::DoubleToStrByFormat(m_page->m_x1, "*").c_str());
    SetDlgItemText(IDC_QU_MD_X2, CQKCString::DoubleToStrByFormat(m_page->m_x2, "*").c_str());
    SetDlgItemText(IDC_QU_MD_Y1, CQKCString::DoubleToStrByFormat(m_page->m_y1, "*").c_str());
    SetDlgItemText(IDC_QU_MD_Y2, CQKCString::DoubleToStrByFormat(m_page->m_y2, "*").c_str());
    return TRUE;
}

void CQUMatrixDimensionsDlg::OnOK()
{
    unsigned cols = 0, rows = 0;
    if (!ReadWhole(this, IDC_QU_MD_COLUMNS, 1, kMaxDimension, &cols, DimensionRange()) ||
        !ReadWhole(this, IDC_QU_MD_ROWS, 1, kMaxDimension, &rows, DimensionRange()))
        return;
    if ((unsigned long long)rows * cols > kMaxCells) {
        AfxMessageBox(IDS_QU_MATRIX_TOO_MANY_CELLS, MB_OK | MB_ICONEXCLAMATION);
        GetDlgItem(IDC_QU_MD_COLUMNS)->SetFocus();
        return;
    }
    const int ids[] = {IDC_QU_MD_X1, IDC_QU_MD_X2, IDC_QU_MD_Y1, IDC_QU_MD_Y2};
    double xy[4];
    for (int i = 0; i < 4; ++i)
        if (!CQKCString(Text(this, ids[i])).GetReal(&xy[i])) {
            Refuse(this, ids[i], "\"" + Text(this, ids[i]) + "\" is not a number.");
            return;
        }
    // Checked before anything changes, so a refused size leaves the matrix as it was.
    if (rows * (unsigned long long)cols > (unsigned long long)QK_MAX_ROWS) {
        Refuse(this, IDC_QU_MD_COLUMNS,
               "A matrix holds at most " + std::to_string(QK_MAX_ROWS) + " cells here: " + std::to_string(rows) + " x " +
                   std::to_string(cols) + " is too many.");
        return;
    }
    m_page->SetDimensions((int)rows, (int)cols);
    m_page->m_x1 = xy[0];
    m_page->m_x2 = xy[1];
    m_page->m_y1 = xy[2];
    m_page->m_y2 = xy[3];
    m_page->SetPageChange(1);
    CDialog::OnOK();
}

// ---- Set Matrix Values ----------------------------------------------------------------

BEGIN_MESSAGE_MAP(CQUSetMatrixValues, CDialog)
    ON_CBN_SELCHANGE(IDC_QU_FE_FUNCTIONS, OnFunctionChange)
    ON_BN_CLICKED(IDC_QU_FE_ADD_FUNCTION, OnAddFunction)
    ON_BN_CLICKED(IDC_QU_FE_UNDO, OnUndo)
    ON_EN_CHANGE(IDC_QU_FE_FORMULA, OnFormulaChange)
END_MESSAGE_MAP()

CQUSetMatrixValues::CQUSetMatrixValues(CQKMatrixPage* page, CWnd* parent)
    : CDialog(IDD_QU_SET_MATRIX_VALUES, parent), m_page(page)
{
}

BOOL CQUSetMatrixValues::OnInitDialog()
{
    CDialog::OnInitDialog();
    HWND functions = ::GetDlgItem(m_hWnd, IDC_QU_FE_FUNCTIONS);
    // The last entry of the kernel's list is not one to offer.
    for (int i = 0; i + 1 < qkfxGetFunctionCount(); ++i)
        ::SendMessageA(functions, CB_ADDSTRING, 0, (LPARAM)qkfxGetFunctionName(i));
    ::SendMessageA(functions, CB_SETCURSEL, 0, 0);
    OnFunctionChange();
    SetDlgItemText(IDC_QU_FE_FORMULA, m_page->m_expression.c_str());
    SetDlgItemInt(IDC_QU_MV_ROW1, 1, FALSE);
    SetDlgItemInt(IDC_QU_MV_ROW2, (UINT)m_page->GetRows(), FALSE);
    SetDlgItemInt(IDC_QU_MV_COL1, 1, FALSE);
    SetDlgItemInt(IDC_QU_MV_COL2, (UINT)m_page->GetCols(), FALSE);
    GetDlgItem(IDC_QU_FE_UNDO)->EnableWindow(FALSE);
    return TRUE;
}

void CQUSetMatrixValues::OnFunctionChange()
{
    int i = Selected(this, IDC_QU_FE_FUNCTIONS);
    SetDlgItemText(IDC_QU_FE_DESCRIPTION, i >= 0 ? qkfxGetFunctionDescription(i) : "");
}

void CQUSetMatrixValues::OnAddFunction()
{
    int i = Selected(this, IDC_QU_FE_FUNCTIONS);
    if (i < 0)
        return;
    // The formula's selection goes inside the call: "sin(" + selection + ")".
    std::string text = qkfxGetFunctionText(i);
    HWND edit = ::GetDlgItem(m_hWnd, IDC_QU_FE_FORMULA);
    DWORD start = 0, end = 0;
    ::SendMessageA(edit, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    std::string formula = Text(this, IDC_QU_FE_FORMULA);
    std::string selected = formula.substr(start, end - start);
    std::string insert = text.empty() ? selected : text.substr(0, text.size() - 1) + selected + text.back();
    ::SendMessageA(edit, EM_REPLACESEL, TRUE, (LPARAM)insert.c_str());
    DWORD caret = start + (DWORD)insert.size() - (text.empty() ? 0 : 1);
    ::SendMessageA(edit, EM_SETSEL, caret, caret);
    ::SetFocus(edit);
}

void CQUSetMatrixValues::OnUndo()
{
    CString caption;
    GetDlgItemText(IDC_QU_FE_UNDO, caption);
    SetDlgItemText(IDC_QU_FE_UNDO, caption == "Undo" ? "Redo" : "Undo");
    HWND edit = ::GetDlgItem(m_hWnd, IDC_QU_FE_FORMULA);
    // The edit's own undo takes the last change back; the change notice it sends
    // would set the caption back to Undo, so it is ignored here.
    CString keep;
    GetDlgItemText(IDC_QU_FE_UNDO, keep);
    ::SendMessageA(edit, EM_UNDO, 0, 0);
    SetDlgItemText(IDC_QU_FE_UNDO, keep);
    ::SetFocus(edit);
}

void CQUSetMatrixValues::OnFormulaChange()
{
    GetDlgItem(IDC_QU_FE_UNDO)->EnableWindow(TRUE);
    SetDlgItemText(IDC_QU_FE_UNDO, "Undo");
}

void CQUSetMatrixValues::OnOK()
{
    unsigned r1 = 0, r2 = 0, c1 = 0, c2 = 0;
    if (!ReadWhole(this, IDC_QU_MV_ROW1, 1, kMaxDimension, &r1, DimensionRange()) ||
        !ReadWhole(this, IDC_QU_MV_ROW2, 1, kMaxDimension, &r2, DimensionRange()) ||
        !ReadWhole(this, IDC_QU_MV_COL1, 1, kMaxDimension, &c1, DimensionRange()) ||
        !ReadWhole(this, IDC_QU_MV_COL2, 1, kMaxDimension, &c2, DimensionRange()))
        return;
    if (r1 > r2 || c1 > c2) {
        Refuse(this, r1 > r2 ? IDC_QU_MV_ROW1 : IDC_QU_MV_COL1, "The first row and column must not lie after the last.");
        return;
    }
    if ((unsigned long long)r2 * c2 > (unsigned long long)QK_MAX_ROWS) {
        AfxMessageBox(IDS_QU_MATRIX_TOO_MANY_CELLS, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    std::string formula = Text(this, IDC_QU_FE_FORMULA);
    // The last row and column also fix the matrix's size; a formula that fails leaves
    // the matrix's size and cells as they were and the dialog open.
    const int oldRows = m_page->GetRows(), oldCols = m_page->GetCols();
    std::vector<double> kept; // the cells a smaller size drops, back if the formula fails
    if ((int)r2 < oldRows || (int)c2 < oldCols)
        for (int r = 1; r <= oldRows; ++r)
            for (int c = 1; c <= oldCols; ++c)
                kept.push_back(m_page->GetCell(r, c));
    m_page->SetDimensions((int)r2, (int)c2);
    std::string why;
    if (!m_page->SetValuesFromExpression((int)r1 - 1, (int)r2, (int)c1 - 1, (int)c2, formula, &why)) {
        m_page->SetDimensions(oldRows, oldCols);
        if (!kept.empty())
            for (int r = 1, k = 0; r <= oldRows; ++r)
                for (int c = 1; c <= oldCols; ++c)
                    m_page->SetCell(r, c, kept[k++]);
        Refuse(this, IDC_QU_FE_FORMULA, why);
        return;
    }
    m_page->SetPageChange(1);
    CDialog::OnOK();
}
