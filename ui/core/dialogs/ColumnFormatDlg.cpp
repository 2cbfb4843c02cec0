#include "ColumnFormatDlg.h"

#include <string>

#include "DialogResources.h"

namespace {

const char* const kTypeNames[] = {"X", "Y", "Z", "Label", "Disregard", "X Error", "Y Error"};
const char* const kFormatNames[] = {"Numeric", "Text", "Time", "Date", "Text & Numeric"};

int IndexOf(const int* values, int count, int value)
{
    for (int i = 0; i < count; ++i)
        if (values[i] == value)
            return i;
    return 0;
}

} // namespace

const int CQUColumnFormatDlg::kTypes[7] = {QK_COLTYPE_X,     QK_COLTYPE_Y,    QK_COLTYPE_Z,   QK_COLTYPE_LABEL,
                                           QK_COLTYPE_DISREGARD, QK_COLTYPE_XERR, QK_COLTYPE_YERR};
const int CQUColumnFormatDlg::kFormats[5] = {QK_FORMAT_NUMERIC, QK_FORMAT_TEXT, QK_FORMAT_TIME, QK_FORMAT_DATE,
                                             QK_FORMAT_TEXT_NUMERIC};

BEGIN_MESSAGE_MAP(CQUColumnFormatDlg, CDialog)
    ON_CBN_SELCHANGE(IDC_QU_CF_FORMAT, OnFormatChanged)
END_MESSAGE_MAP()

CQUColumnFormatDlg::CQUColumnFormatDlg(CQKWksPage* page, int column, CWnd* parent)
    : CDialog(IDD_QU_COLUMN_FORMAT, parent), m_page(page), m_column(column)
{
}

BOOL CQUColumnFormatDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CQKWksPage::ColumnFormat f;
    if (m_page == nullptr || !m_page->GetColumnFormat(m_column, &f)) {
        EndDialog(IDCANCEL);
        return TRUE;
    }
    SetWindowText(("Column Format: " + m_page->GetName() + "_" + f.name).c_str());
    SetDlgItemText(IDC_QU_CF_NAME, f.name.c_str());
    SetDlgItemText(IDC_QU_CF_LABEL, f.label.c_str());
    for (const char* name : kTypeNames)
        SendDlgItemMessage(IDC_QU_CF_TYPE, CB_ADDSTRING, 0, (LPARAM)name);
    SendDlgItemMessage(IDC_QU_CF_TYPE, CB_SETCURSEL, IndexOf(kTypes, 7, f.type), 0);
    for (const char* name : kFormatNames)
        SendDlgItemMessage(IDC_QU_CF_FORMAT, CB_ADDSTRING, 0, (LPARAM)name);
    SendDlgItemMessage(IDC_QU_CF_FORMAT, CB_SETCURSEL, IndexOf(kFormats, 5, f.format), 0);
    FillSubformats(f.subformat);
    SetDlgItemInt(IDC_QU_CF_WIDTH, (UINT)f.width, FALSE);
    return TRUE;
}

void CQUColumnFormatDlg::FillSubformats(int subformat)
{
    int index = (int)SendDlgItemMessage(IDC_QU_CF_FORMAT, CB_GETCURSEL, 0, 0);
    int format = kFormats[index >= 0 && index < 5 ? index : 0];
    SendDlgItemMessage(IDC_QU_CF_SUBFORMAT, CB_RESETCONTENT, 0, 0);
    std::vector<std::string> names = CQKWksPage::GetSubformatNames(format);
    for (const std::string& name : names)
        SendDlgItemMessage(IDC_QU_CF_SUBFORMAT, CB_ADDSTRING, 0, (LPARAM)name.c_str());
    SendDlgItemMessage(IDC_QU_CF_SUBFORMAT, CB_SETCURSEL,
                       subformat >= 0 && subformat < (int)names.size() ? subformat : 0, 0);
}

void CQUColumnFormatDlg::OnFormatChanged()
{
    // Sub-formats are numbered within each format: a new format starts at its first.
    FillSubformats(0);
}

void CQUColumnFormatDlg::OnOK()
{
    CQKWksPage::ColumnFormat f;
    CString text;
    GetDlgItemText(IDC_QU_CF_NAME, text);
    f.name = (const char*)text;
    GetDlgItemText(IDC_QU_CF_LABEL, text);
    f.label = (const char*)text;
    int type = (int)SendDlgItemMessage(IDC_QU_CF_TYPE, CB_GETCURSEL, 0, 0);
    int format = (int)SendDlgItemMessage(IDC_QU_CF_FORMAT, CB_GETCURSEL, 0, 0);
    f.type = kTypes[type >= 0 && type < 7 ? type : 1];
    f.format = kFormats[format >= 0 && format < 5 ? format : 0];
    f.subformat = (int)SendDlgItemMessage(IDC_QU_CF_SUBFORMAT, CB_GETCURSEL, 0, 0);
    BOOL number = FALSE;
    UINT width = GetDlgItemInt(IDC_QU_CF_WIDTH, &number, FALSE);
    f.width = number && width <= 1000 ? (int)width : 0;
    std::string why;
    if (!m_page->SetColumnFormat(m_column, f, &why)) {
        AfxMessageBox(("The column format was not changed: " + why + ".").c_str(), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    CDialog::OnOK();
}
