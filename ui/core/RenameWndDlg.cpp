#include "RenameWndDlg.h"

#include "CoreResources.h"
#include "QKData.h"

CQURenameWndDlg::CQURenameWndDlg(CQKPage* page, CWnd* parent)
    : CDialog(IDD_QU_RENAME_WINDOW, parent), m_page(page)
{
}

BOOL CQURenameWndDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetDlgItemText(IDC_QU_WINDOW_NAME, m_page->GetName().c_str());
    return TRUE;
}

void CQURenameWndDlg::OnOK()
{
    CString name;
    GetDlgItemText(IDC_QU_WINDOW_NAME, name);
    name.TrimLeft();
    name.TrimRight();
    if (!m_page->SetName(std::string((LPCTSTR)name))) {
        CString format, message;
        format.LoadString(IDS_QU_WINDOW_NAME_REFUSED);
        message.Format(format, (LPCTSTR)name);
        AfxMessageBox(message, MB_OK | MB_ICONEXCLAMATION);
        GetDlgItem(IDC_QU_WINDOW_NAME)->SetFocus();
        return;
    }
    CDialog::OnOK();
}
