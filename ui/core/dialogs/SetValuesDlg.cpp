#include "SetValuesDlg.h"

#include <algorithm>

#include "DialogResources.h"
#include "QKData.h"
#include "QKScript.h"

namespace {

// A command string's short name, its last line ("Undo" of "Undo the last action\nUndo").
CString ShortName(UINT id, const char* fallback)
{
    CString text;
    if (!text.LoadString(id))
        return fallback;
    int newline = text.ReverseFind('\n');
    return newline < 0 ? text : text.Mid(newline + 1);
}

} // namespace

BEGIN_MESSAGE_MAP(CQUFuncEditInDialog, CDialog)
    ON_CBN_SELCHANGE(IDC_QU_FUNCTIONS, OnFunctionChanged)
    ON_BN_CLICKED(IDC_QU_ADD_FUNCTION, OnAddFunction)
    ON_BN_CLICKED(IDC_QU_UNDO, OnUndo)
    ON_EN_CHANGE(IDC_QU_FORMULA, OnFormulaChanged)
END_MESSAGE_MAP()

CQUFuncEditInDialog::CQUFuncEditInDialog(UINT templateId, CWnd* parent)
    : CDialog(templateId, parent), m_templateId(templateId)
{
}

BOOL CQUFuncEditInDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    HWND list = ::GetDlgItem(m_hWnd, IDC_QU_FUNCTIONS);
    for (int i = 0; i < qkfxGetFunctionCount(); ++i)
        ::SendMessageA(list, CB_ADDSTRING, 0, (LPARAM)qkfxGetFunctionName(i));
    ::SendMessageA(list, CB_SETCURSEL, 0, 0);
    OnFunctionChanged();
    GetDlgItem(IDC_QU_UNDO)->EnableWindow(FALSE);
    return TRUE;
}

void CQUFuncEditInDialog::OnFunctionChanged()
{
    int i = (int)::SendDlgItemMessageA(m_hWnd, IDC_QU_FUNCTIONS, CB_GETCURSEL, 0, 0);
    SetDlgItemText(IDC_QU_FUNCTION_TEXT, i >= 0 ? qkfxGetFunctionDescription(i) : "");
}

void CQUFuncEditInDialog::InsertIntoFormula(const CString& text, int caretBack)
{
    HWND edit = ::GetDlgItem(m_hWnd, IDC_QU_FORMULA);
    DWORD start = 0;
    ::SendMessageA(edit, EM_GETSEL, (WPARAM)&start, 0);
    ::SendMessageA(edit, EM_REPLACESEL, TRUE, (LPARAM)(LPCTSTR)text);
    int caret = (int)start + text.GetLength() - caretBack;
    ::SendMessageA(edit, EM_SETSEL, caret, caret);
    ::SetFocus(edit);
}

void CQUFuncEditInDialog::OnAddFunction()
{
    int i = (int)::SendDlgItemMessageA(m_hWnd, IDC_QU_FUNCTIONS, CB_GETCURSEL, 0, 0);
    if (i < 0)
        return;
    // What was selected becomes the call's argument, and the caret lands before its
    // closing parenthesis.
    CString text = qkfxGetFunctionText(i);
    if (text.IsEmpty())
        return;
    CString formula;
    GetDlgItemText(IDC_QU_FORMULA, formula);
    DWORD start = 0, end = 0;
    ::SendDlgItemMessageA(m_hWnd, IDC_QU_FORMULA, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    CString selected = formula.Mid((int)start, (int)(end - start));
    InsertIntoFormula(text.Left(text.GetLength() - 1) + selected + text.Right(1), 1);
}

void CQUFuncEditInDialog::OnUndo()
{
    CString caption;
    GetDlgItemText(IDC_QU_UNDO, caption);
    CString undo = ShortName(IDS_QU_UNDO, "Undo"), redo = ShortName(IDS_QU_REDO, "Redo");
    // The edit control's undo takes back its last edit, and a second one brings it back.
    // Its change notice sets the caption to Undo; the caption is set after it.
    ::SendDlgItemMessageA(m_hWnd, IDC_QU_FORMULA, EM_UNDO, 0, 0);
    SetDlgItemText(IDC_QU_UNDO, caption == undo ? redo : undo);
}

void CQUFuncEditInDialog::OnFormulaChanged()
{
    GetDlgItem(IDC_QU_UNDO)->EnableWindow(TRUE);
    SetDlgItemText(IDC_QU_UNDO, ShortName(IDS_QU_UNDO, "Undo"));
}

BEGIN_MESSAGE_MAP(CQUColumnSetValuesDialog, CQUFuncEditInDialog)
    ON_BN_CLICKED(IDC_QU_ADD_COLUMN, OnAddColumn)
END_MESSAGE_MAP()

CQUColumnSetValuesDialog::CQUColumnSetValuesDialog(CQKWksPage* page, int column, CWnd* parent)
    : CQUFuncEditInDialog(IDD_QU_SET_COLUMN_VALUES, parent), m_page(page), m_column(column)
{
}

BOOL CQUColumnSetValuesDialog::OnInitDialog()
{
    CQUFuncEditInDialog::OnInitDialog();
    CQKDataset* column = m_page->GetColumn(m_column);
    HWND list = ::GetDlgItem(m_hWnd, IDC_QU_COLUMNS);
    for (int n = 1; n <= m_page->GetNumCols(); ++n) {
        std::string entry = "col(" + m_page->GetColumn(n)->m_columnName + ")";
        ::SendMessageA(list, CB_ADDSTRING, 0, (LPARAM)entry.c_str());
    }
    ::SendMessageA(list, CB_SETCURSEL, 0, 0);
    SetDlgItemText(IDC_QU_FORMULA, column ? column->m_function.c_str() : "");
    CString label;
    label.Format("Col(%s)=", column ? column->m_columnName.c_str() : "");
    SetDlgItemText(IDC_QU_FORMULA_LABEL, label);
    // The selected rows of the column; for a whole column the rows of the worksheet's
    // longest column, so that an empty column is filled alongside its data.
    int selected = 0, first = 0, end = 0;
    if (!m_page->GetSelectedRowRange(&selected, &first, &end) || selected != m_column || m_page->m_selR1 < 1) {
        first = 0;
        end = 0;
        for (int n = 1; n <= m_page->GetNumCols(); ++n)
            end = std::max(end, m_page->GetColumn(n)->GetEnd());
    }
    // Rows count from 1 here.
    SetDlgItemInt(IDC_QU_FIRST_ROW, first + 1, FALSE);
    SetDlgItemInt(IDC_QU_LAST_ROW, std::max(end, first + 1), FALSE);
    // Filling the edits is no edit of the user's.
    GetDlgItem(IDC_QU_UNDO)->EnableWindow(FALSE);
    return TRUE;
}

void CQUColumnSetValuesDialog::OnAddColumn()
{
    CString text;
    GetDlgItemText(IDC_QU_COLUMNS, text);
    InsertIntoFormula(text, 0);
}

void CQUColumnSetValuesDialog::OnOK()
{
    BOOL firstOk = FALSE, lastOk = FALSE;
    int first = (int)GetDlgItemInt(IDC_QU_FIRST_ROW, &firstOk, TRUE);
    int last = (int)GetDlgItemInt(IDC_QU_LAST_ROW, &lastOk, TRUE);
    CString formula;
    GetDlgItemText(IDC_QU_FORMULA, formula);
    std::string why;
    if (!firstOk || !lastOk || first < 1 || last < first) {
        why = "The rows must run from 1 or more to a row not before the first.";
    } else if (!m_page->SetValuesFromExpression(m_column, (LPCTSTR)formula, first - 1, last, &why)) {
        why = "The column's values were not set: " + why;
    } else {
        CDialog::OnOK();
        return;
    }
    AfxMessageBox(why.c_str(), MB_OK | MB_ICONEXCLAMATION);
    GetDlgItem(IDC_QU_FORMULA)->SetFocus();
}
