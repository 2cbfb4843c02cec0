#include "WorksheetScriptDlg.h"

#include <string>

#include "DialogResources.h"

BEGIN_MESSAGE_MAP(CQUWorksheetScriptDlg, CDialog)
    ON_BN_CLICKED(IDC_QU_WS_DO_IT, OnDoIt)
END_MESSAGE_MAP()

CQUWorksheetScriptDlg::CQUWorksheetScriptDlg(CQKWksPage* page, CWnd* parent)
    : CDialog(IDD_QU_WORKSHEET_SCRIPT, parent), m_page(page)
{
}

BOOL CQUWorksheetScriptDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (m_page == nullptr) {
        EndDialog(IDCANCEL);
        return TRUE;
    }
    SetWindowText(("Worksheet Script: " + m_page->GetName()).c_str());
    SetDlgItemText(IDC_QU_WS_TEXT, m_page->m_script.c_str());
    return TRUE;
}

void CQUWorksheetScriptDlg::OnOK()
{
    CString text;
    GetDlgItemText(IDC_QU_WS_TEXT, text);
    if (m_page->m_script != (const char*)text) {
        m_page->m_script = (const char*)text;
        qkfxGetProject().SetProjectModified(true);
    }
    CDialog::OnOK();
}

void CQUWorksheetScriptDlg::OnDoIt()
{
    OnOK();
    // OnOK ended the dialog with IDOK; the answer says to run the script.
    EndDialog(kDoIt);
}
