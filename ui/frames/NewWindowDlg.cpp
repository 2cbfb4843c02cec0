#include "NewWindowDlg.h"

#include <QKAccess.h>
#include <QKSysMethod.h>
#include <shlobj.h>

#include "FrameHost.h"
#include "FramesResource.h"

namespace {

// Page kinds of the kernel that own template files.
enum { TemplateWks = 0, TemplateGraph = 1, TemplateMatrix = 2 };

const CNewWindowDlg::Kind kKinds[] = {
    {IDS_KIND_PROJECT, -1, ";run.section(standard,NewProject)"},
    {IDS_KIND_WORKSHEET, TemplateWks, "win -t wks "},
    {IDS_KIND_EXCEL, -1, "win -Tx wks Excel "},
    {IDS_KIND_GRAPH, TemplateGraph, "win -t Plot "},
    {IDS_KIND_LAYOUT, -1, "win -t Layout "},
    {IDS_KIND_NOTES, -1, "win -n N "},
    {IDS_KIND_MATRIX, TemplateMatrix, "win -T Matrix "},
    {IDS_KIND_FUNCTION, -1, "GetEnumWin Function;  NewFunction; "},
    {IDS_KIND_SCRIPT, -1, "ed.open()"},
};

// The kind chosen last, for the program's run.
int g_nRememberedKind = 0;

CString WithSeparator(CString s)
{
    if (!s.IsEmpty() && s[s.GetLength() - 1] != '\\')
        s += '\\';
    return s;
}

} // namespace

CNewWindowDlg::CNewWindowDlg(CWnd* pParent) : CDialog(IDD_NEW_WINDOW, pParent) {}

const CNewWindowDlg::Kind* CNewWindowDlg::GetKind(int nIndex)
{
    return nIndex >= 0 && nIndex < GetKindCount() ? &kKinds[nIndex] : nullptr;
}

int CNewWindowDlg::GetKindCount()
{
    return (int)(sizeof kKinds / sizeof kKinds[0]);
}

int CNewWindowDlg::GetRememberedKind()
{
    return g_nRememberedKind;
}

int CNewWindowDlg::SelectedKind() const
{
    return (int)::SendDlgItemMessageA(m_hWnd, IDC_NW_KINDS, LB_GETCURSEL, 0, 0);
}

std::string CNewWindowDlg::DefaultTemplateOf(int nKind) const
{
    CQKQrxSystem& system = qkfxGetQrxSystem();
    switch (nKind) {
    case TemplateWks: return system.GetRefWks().GetDefaultTemplate();
    case TemplateGraph: return system.GetRefGraph().GetDefaultTemplate();
    case TemplateMatrix: return system.GetRefMatrix().GetDefaultTemplate();
    default: return std::string();
    }
}

void CNewWindowDlg::SetDefaultTemplateOf(int nKind, const std::string& strTemplate)
{
    CQKQrxSystem& system = qkfxGetQrxSystem();
    switch (nKind) {
    case TemplateWks: system.GetRefWks().SetDefaultTemplate(strTemplate); break;
    case TemplateGraph: system.GetRefGraph().SetDefaultTemplate(strTemplate); break;
    case TemplateMatrix: system.GetRefMatrix().SetDefaultTemplate(strTemplate); break;
    }
}

BOOL CNewWindowDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CWnd* pList = GetDlgItem(IDC_NW_KINDS);
    for (int i = 0; i < GetKindCount(); i++) {
        CString strLabel;
        strLabel.LoadString(kKinds[i].nLabel);
        int nItem = (int)pList->SendMessage(LB_ADDSTRING, 0, (LPARAM)(LPCTSTR)strLabel);
        pList->SendMessage(LB_SETITEMDATA, nItem, kKinds[i].nLabel);
    }
    pList->SendMessage(LB_SETCURSEL, g_nRememberedKind);
    Refresh();
    return TRUE;
}

void CNewWindowDlg::FillTemplates()
{
    CWnd* pCombo = GetDlgItem(IDC_NW_TEMPLATE);
    pCombo->SendMessage(CB_RESETCONTENT);
    const Kind* pKind = GetKind(SelectedKind());
    std::string strExt;
    if (pKind == nullptr || pKind->nTemplateKind < 0 || !qkfxGetQrxTemplateFileExtension(pKind->nTemplateKind, strExt))
        return;
    WIN32_FIND_DATAA fd;
    HANDLE hFind = ::FindFirstFileA(m_strTemplatePath + "*" + strExt.c_str(), &fd);
    if (hFind != INVALID_HANDLE_VALUE) {
        do {
            CString strName = fd.cFileName;
            strName = strName.Left(strName.GetLength() - (int)strExt.size());
            pCombo->SendMessage(CB_ADDSTRING, 0, (LPARAM)(LPCTSTR)strName);
        } while (::FindNextFileA(hFind, &fd));
        ::FindClose(hFind);
    }
    int nSel = (int)pCombo->SendMessage(CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)(LPCTSTR)m_strTemplateName);
    pCombo->SendMessage(CB_SETCURSEL, nSel >= 0 ? nSel : 0);
}

void CNewWindowDlg::Refresh()
{
    const Kind* pKind = GetKind(SelectedKind());
    BOOL bTemplate = pKind != nullptr && pKind->nTemplateKind >= 0;
    if (bTemplate) {
        CString strDefault = DefaultTemplateOf(pKind->nTemplateKind).c_str();
        int nSlash = strDefault.ReverseFind('\\');
        if (nSlash >= 0 && nSlash < strDefault.GetLength() - 1) {
            m_strTemplatePath = strDefault.Left(nSlash + 1);
            m_strTemplateName = strDefault.Mid(nSlash + 1);
        } else {
            // A name alone lies in the template folder, else the settings folder.
            std::string folder = qkfxGetQrxSystem().GetRefPath().GetTemplate();
            if (folder.empty()) {
                char szIni[MAX_PATH] = "";
                qkfxGetGlobalINIPath(szIni);
                folder = szIni;
            }
            m_strTemplatePath = WithSeparator(folder.c_str());
            m_strTemplateName = strDefault;
        }
        FillTemplates();
    } else {
        GetDlgItem(IDC_NW_TEMPLATE)->SendMessage(CB_RESETCONTENT);
    }
    for (int nID : {IDC_NW_TEMPLATE, IDC_NW_BROWSE, IDC_NW_PATH, IDC_NW_SET_DEFAULT})
        GetDlgItem(nID)->EnableWindow(bTemplate);
    SetDlgItemText(IDC_NW_PATH, bTemplate ? m_strTemplatePath : CString());
}

LRESULT CNewWindowDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_HELPINFO) {
        QUShowContextHelp(m_hWnd, 1032);
        return TRUE;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

BOOL CNewWindowDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT nID = LOWORD(wParam);
    UINT nCode = HIWORD(wParam);
    if (nID == IDC_NW_KINDS && nCode == LBN_SELCHANGE) {
        Refresh();
        return TRUE;
    }
    if (nID == IDC_NW_KINDS && nCode == LBN_DBLCLK) {
        OnOK();
        return TRUE;
    }
    if (nID == IDC_NW_TEMPLATE && (nCode == CBN_SELCHANGE || nCode == CBN_KILLFOCUS)) {
        GetDlgItemText(IDC_NW_TEMPLATE, m_strTemplateName);
        return TRUE;
    }
    if (nID == IDC_NW_BROWSE && nCode == BN_CLICKED) {
        char szFolder[MAX_PATH] = "";
        BROWSEINFOA bi = {};
        bi.hwndOwner = m_hWnd;
        bi.pszDisplayName = szFolder;
        bi.ulFlags = BIF_RETURNONLYFSDIRS;
        LPITEMIDLIST pidl = ::SHBrowseForFolderA(&bi);
        if (pidl != nullptr) {
            if (::SHGetPathFromIDListA(pidl, szFolder) && szFolder[0] != '\0') {
                m_strTemplatePath = WithSeparator(szFolder);
                SetDlgItemText(IDC_NW_PATH, m_strTemplatePath);
                FillTemplates();
            }
            ::CoTaskMemFree(pidl);
        }
        return TRUE;
    }
    if (nID == IDC_NW_SET_DEFAULT && nCode == BN_CLICKED) {
        const Kind* pKind = GetKind(SelectedKind());
        if (pKind != nullptr && pKind->nTemplateKind >= 0) {
            GetDlgItemText(IDC_NW_TEMPLATE, m_strTemplateName);
            SetDefaultTemplateOf(pKind->nTemplateKind, (LPCTSTR)(m_strTemplatePath + m_strTemplateName));
        }
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}

void CNewWindowDlg::OnOK()
{
    int nKind = SelectedKind();
    const Kind* pKind = GetKind(nKind);
    g_nRememberedKind = nKind >= 0 ? nKind : 0;
    if (pKind == nullptr) {
        EndDialog(IDCANCEL);
        return;
    }
    m_strCommand = CString(pKind->pszCommand) + " ";
    if (pKind->nTemplateKind >= 0 && GetDlgItem(IDC_NW_TEMPLATE)->IsWindowEnabled()) {
        GetDlgItemText(IDC_NW_TEMPLATE, m_strTemplateName);
        CString strQuoted;
        strQuoted.Format("\"%s\"", (LPCTSTR)(m_strTemplatePath + m_strTemplateName));
        m_strCommand += strQuoted;
    }
    EndDialog(IDOK);
}
