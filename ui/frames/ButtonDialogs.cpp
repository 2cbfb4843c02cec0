#include "ButtonDialogs.h"

#include <QKAccess.h>
#include <afxdlgs.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "FramesResource.h"
#include "ToolBarManagerEx.h"
#include "UserDefButtons.h"

namespace {

void GroupMessage(CWnd* pOwner, UINT nText)
{
    CString strText, strCaption;
    strText.LoadString(nText);
    strCaption.LoadString(IDS_BG_CAPTION);
    ::MessageBoxA(pOwner->GetSafeHwnd(), strText, strCaption, MB_OK);
}

void SelectAllIn(CWnd* pDlg, int nID)
{
    CWnd* pEdit = pDlg->GetDlgItem(nID);
    if (pEdit == nullptr)
        return;
    pDlg->SendMessage(WM_NEXTDLGCTL, (WPARAM)pEdit->m_hWnd, 1);
    pEdit->SendMessage(EM_SETSEL, 0, -1);
}

CString ExtensionOf(const CString& strPath)
{
    int nDot = strPath.ReverseFind('.');
    int nSlash = strPath.ReverseFind('\\');
    return nDot > nSlash ? strPath.Mid(nDot + 1) : CString();
}

} // namespace

/////////////////////////////////////////////////////////////////////////////
// "Button Settings"

CQUModifyButtonDlg::CQUModifyButtonDlg(CWnd* pParent)
    : CDialog(IDD_BUTTON_SETTINGS, pParent), m_nContext(1), m_bWorksheet(1), m_bGraph(1), m_bMatrix(1),
      m_bExcel(1), m_bLayout(1), m_bReadOnly(FALSE)
{
}

void CQUModifyButtonDlg::SetFromButton(const CQUButtonAttribs& b)
{
    m_strArgumentList = b.ArgumentList;
    m_strFileName = b.FileName;
    m_strSectionName = b.SectionName;
    m_strStatusBarMsg = b.StatusBarMsg;
    m_strToolTip = b.ToolTip;
    m_nContext = b.ContextWindow != 0 ? 1 : 0;
    m_bWorksheet = b.Worksheet;
    m_bGraph = b.Graph;
    m_bMatrix = b.Matrix;
    m_bExcel = b.Excel;
    m_bLayout = b.Layout;
    m_strTemplateName = b.TemplateName;
    m_strVariable = b.Variable;
}

void CQUModifyButtonDlg::CopyToButton(CQUButtonAttribs& b) const
{
    b.ArgumentList = m_strArgumentList;
    b.FileName = m_strFileName;
    b.SectionName = m_strSectionName;
    b.StatusBarMsg = m_strStatusBarMsg;
    b.ToolTip = m_strToolTip;
    b.ContextWindow = m_nContext;
    b.Worksheet = m_bWorksheet;
    b.Graph = m_bGraph;
    b.Matrix = m_bMatrix;
    b.Excel = m_bExcel;
    b.Layout = m_bLayout;
    b.TemplateName = m_strTemplateName;
    b.Variable = m_strVariable;
}

CString CQUModifyButtonDlg::ScriptFileName(const CString& strPath)
{
    return ExtensionOf(strPath).CompareNoCase("qgs") == 0 ? strPath : strPath + ".qgs";
}

void CQUModifyButtonDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Text(pDX, IDC_BS_TEMPLATE_NAME, m_strTemplateName);
    DDX_Text(pDX, IDC_BS_TOOLTIP, m_strToolTip);
    DDV_MaxChars(pDX, m_strToolTip, 80);
    DDX_Text(pDX, IDC_BS_STATUS, m_strStatusBarMsg);
    DDV_MaxChars(pDX, m_strStatusBarMsg, 124);
    DDX_Text(pDX, IDC_BS_SECTION, m_strSectionName);
    DDX_Text(pDX, IDC_BS_FILE_NAME, m_strFileName);
    DDX_Text(pDX, IDC_BS_ARGUMENTS, m_strArgumentList);
    DDX_Radio(pDX, IDC_BS_TEMPLATE_RADIO, m_nContext);
    DDX_Check(pDX, IDC_BS_WORKSHEET, m_bWorksheet);
    DDX_Check(pDX, IDC_BS_GRAPH, m_bGraph);
    DDX_Check(pDX, IDC_BS_MATRIX, m_bMatrix);
    DDX_Check(pDX, IDC_BS_LAYOUT, m_bLayout);
    DDX_Check(pDX, IDC_BS_EXCEL, m_bExcel);
    DDX_Text(pDX, IDC_BS_VARIABLE, m_strVariable);
}

void CQUModifyButtonDlg::ApplyContextRule()
{
    BOOL bWindow = m_nContext == 1;
    for (int nID : {IDC_BS_WORKSHEET, IDC_BS_GRAPH, IDC_BS_MATRIX, IDC_BS_LAYOUT, IDC_BS_EXCEL})
        GetDlgItem(nID)->EnableWindow(bWindow && !m_bReadOnly);
    GetDlgItem(IDC_BS_TEMPLATE_NAME)->EnableWindow(!bWindow);
    GetDlgItem(IDC_BS_BROWSE_TEMPLATE)->EnableWindow(!bWindow && !m_bReadOnly);
}

BOOL CQUModifyButtonDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    ApplyContextRule();
    if (m_bReadOnly) {
        // A group of the program folder is shown, never changed.
        GetDlgItem(IDOK)->EnableWindow(FALSE);
        CString strClose;
        strClose.LoadString(IDS_CLOSE);
        SetDlgItemText(IDCANCEL, strClose);
        for (int nID : {IDC_BS_TEMPLATE_NAME, IDC_BS_TOOLTIP, IDC_BS_STATUS, IDC_BS_SECTION, IDC_BS_FILE_NAME,
                        IDC_BS_ARGUMENTS})
            GetDlgItem(nID)->SendMessage(EM_SETREADONLY, TRUE);
        for (int nID = IDC_BS_TEMPLATE_RADIO; nID <= IDC_BS_EXCEL; nID++)
            GetDlgItem(nID)->EnableWindow(FALSE);
        for (int nID : {IDC_BS_BROWSE_FILE, IDC_BS_BROWSE_TEMPLATE, IDC_BS_VARIABLE})
            GetDlgItem(nID)->EnableWindow(FALSE);
    }
    return TRUE;
}

BOOL CQUModifyButtonDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT nID = LOWORD(wParam);
    if (HIWORD(wParam) == BN_CLICKED) {
        if (nID == IDC_BS_TEMPLATE_RADIO || nID == IDC_BS_WINDOW_RADIO) {
            UpdateData(TRUE);
            ApplyContextRule();
            return TRUE;
        }
        if (nID == IDC_BS_BROWSE_FILE) {
            UpdateData(TRUE);
            CFileDialog dlg(TRUE, "qgs", nullptr, OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST,
                            "Script Files (*.qgs)|*.qgs|All Files (*.*)|*.*||", this);
            if (dlg.DoModal() == IDOK) {
                m_strFileName = ScriptFileName(dlg.GetPathName());
                UpdateData(FALSE);
            }
            return TRUE;
        }
        if (nID == IDC_BS_BROWSE_TEMPLATE) {
            UpdateData(TRUE);
            CFileDialog dlg(TRUE, "qtw, qtm, qtp", nullptr, OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST,
                            "Worksheet Template (*.qtw)|*.qtw|Graph Templates (*qtp)|*.qtp|Matrix Templates "
                            "(*qtm)|*.qtm||",
                            this);
            if (dlg.DoModal() == IDOK) {
                m_strTemplateName = dlg.GetFileName();
                UpdateData(FALSE);
            }
            return TRUE;
        }
    }
    return CDialog::OnCommand(wParam, lParam);
}

void CQUModifyButtonDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    if (m_strFileName.IsEmpty()) {
        GroupMessage(this, IDS_BG_SPECIFY_SCRIPT);
        SelectAllIn(this, IDC_BS_FILE_NAME);
        return;
    }
    EndDialog(IDOK);
}

/////////////////////////////////////////////////////////////////////////////
// "Add Button"

CQUAddButtonDlg::CQUAddButtonDlg(CWnd* pParent) : CDialog(IDD_ADD_BUTTON, pParent), m_nImageCount(0) {}

BOOL CQUAddButtonDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CWnd* pCombo = GetDlgItem(IDC_AB_IMAGE);
    for (int i = 1; i <= m_nImageCount; i++) {
        CString s;
        s.Format("%d", i);
        pCombo->SendMessage(CB_ADDSTRING, 0, (LPARAM)(LPCTSTR)s);
    }
    pCombo->SendMessage(CB_SETCURSEL, 0);
    return TRUE;
}

void CQUAddButtonDlg::DoDataExchange(CDataExchange* pDX)
{
    if (pDX->m_bSaveAndValidate)
        DDX_CBString(pDX, IDC_AB_IMAGE, m_strImageNumber);
}

/////////////////////////////////////////////////////////////////////////////
// "Button Group Name"

CQUNewCategoryName::CQUNewCategoryName(CWnd* pParent) : CDialog(IDD_GROUP_NAME, pParent), m_bNameMissing(FALSE) {}

BOOL CQUNewCategoryName::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (m_bNameMissing) {
        CString strText;
        strText.LoadString(IDS_BG_SPECIFY_NAME);
        SetDlgItemText(IDC_GN_MESSAGE, strText);
    }
    return TRUE;
}

void CQUNewCategoryName::DoDataExchange(CDataExchange* pDX)
{
    DDX_Text(pDX, IDC_GN_NAME, m_strName);
}

/////////////////////////////////////////////////////////////////////////////
// "Create Button Group"

CQUCreateGroupDlg::CQUCreateGroupDlg(SECToolBarManagerEx* pManager, CWnd* pParent)
    : CDialog(IDD_CREATE_GROUP, pParent), m_pManager(pManager)
{
}

BOOL CQUCreateGroupDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CWnd* pCombo = GetDlgItem(IDC_CG_COUNT);
    for (int i = 1; i <= 50; i++) {
        CString s;
        s.Format("%d", i);
        pCombo->SendMessage(CB_ADDSTRING, 0, (LPARAM)(LPCTSTR)s);
    }
    pCombo->SendMessage(CB_SETCURSEL, 0);
    FocusEdit(IDC_CG_NAME);
    return FALSE;
}

void CQUCreateGroupDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Text(pDX, IDC_CG_NAME, m_strGroupName);
    DDX_Text(pDX, IDC_CG_BITMAP, m_strBitmapFile);
    if (pDX->m_bSaveAndValidate)
        DDX_CBString(pDX, IDC_CG_COUNT, m_strButtonCount);
}

void CQUCreateGroupDlg::FocusEdit(int nID)
{
    SelectAllIn(this, nID);
}

BOOL CQUCreateGroupDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == IDC_CG_BROWSE && HIWORD(wParam) == BN_CLICKED) {
        UpdateData(TRUE);
        CFileDialog dlg(TRUE, "bmp", nullptr, OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST,
                        "Bitmap Files (*.bmp)|*.bmp|All Files (*.*)|*.*||", this);
        if (dlg.DoModal() == IDOK) {
            m_strBitmapFile = dlg.GetPathName();
            UpdateData(FALSE);
        }
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}

void CQUCreateGroupDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    if (m_strGroupName.IsEmpty() || m_strBitmapFile.IsEmpty() || m_strButtonCount.IsEmpty()) {
        GroupMessage(this, IDS_BG_PROVIDE_ALL);
        FocusEdit(m_strGroupName.IsEmpty() ? IDC_CG_NAME : IDC_CG_BITMAP);
        return;
    }
    if (m_pManager != nullptr && m_pManager->GetGroupWithName(m_strGroupName) != -1) {
        GroupMessage(this, IDS_BG_NAME_EXISTS);
        FocusEdit(IDC_CG_NAME);
        return;
    }
    if (GetBitmapBitCount(m_strBitmapFile) != 4) {
        GroupMessage(this, IDS_BG_ILLEGAL_BITMAP);
        FocusEdit(IDC_CG_BITMAP);
        return;
    }
    EndDialog(IDOK);
}

/////////////////////////////////////////////////////////////////////////////
// "Add Button Group"

CQUAddGroupDlg::CQUAddGroupDlg(CWnd* pParent) : CDialog(IDD_ADD_GROUP, pParent) {}

BOOL CQUAddGroupDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SelectAllIn(this, IDC_AG_INI_FILE);
    return FALSE;
}

void CQUAddGroupDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Text(pDX, IDC_AG_INI_FILE, m_strIniFile);
}

BOOL CQUAddGroupDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == IDC_AG_BROWSE && HIWORD(wParam) == BN_CLICKED) {
        UpdateData(TRUE);
        CFileDialog dlg(TRUE, "ini", nullptr, OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST,
                        "Ini Files (*.ini)|*.ini|All Files (*.*)|*.*||", this);
        if (dlg.DoModal() == IDOK) {
            m_strIniFile = dlg.GetPathName();
            UpdateData(FALSE);
        }
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}

void CQUAddGroupDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    if (m_strIniFile.IsEmpty()) {
        GroupMessage(this, IDS_BG_PROVIDE_ALL);
        SelectAllIn(this, IDC_AG_INI_FILE);
        return;
    }
    EndDialog(IDOK);
}

/////////////////////////////////////////////////////////////////////////////
// "Export Button Group"

CQUExportCategoryDlg::CQUExportCategoryDlg(CQUUserDefButtons* pGroup, CWnd* pParent)
    : CDialog(IDD_EXPORT_GROUP, pParent), m_pGroup(pGroup)
{
}

BOOL CQUExportCategoryDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CWnd* pFiles = GetDlgItem(IDC_EG_GROUP_FILES);
    auto addOnce = [&](const CString& strFile) {
        // Exact matches only: a file whose name begins another's is still its own file.
        if (pFiles->SendMessage(LB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)(LPCTSTR)strFile) == LB_ERR)
            pFiles->SendMessage(LB_ADDSTRING, 0, (LPARAM)(LPCTSTR)strFile);
    };
    addOnce(m_pGroup->MakeRelative(m_pGroup->GetIniPath()));
    addOnce(m_pGroup->MakeRelative(m_pGroup->GetBitmapPath()));
    for (int i = 0; i < m_pGroup->GetButtonCount(); i++) {
        CQUButtonAttribs* p = m_pGroup->GetButton(i);
        if (p != nullptr && !p->FileName.IsEmpty())
            addOnce(CQUModifyButtonDlg::ScriptFileName(m_pGroup->MakeRelative(p->FileName)));
    }
    char szKeys[2047] = "";
    ::GetPrivateProfileStringA("AdditionalFiles", nullptr, "", szKeys, sizeof szKeys, m_pGroup->GetIniPath());
    for (const char* pszKey = szKeys; *pszKey != '\0'; pszKey += strlen(pszKey) + 1) {
        char szValue[MAX_PATH] = "";
        ::GetPrivateProfileStringA("AdditionalFiles", pszKey, "", szValue, sizeof szValue, m_pGroup->GetIniPath());
        if (szValue[0] != '\0')
            AddAdditionalFile(szValue);
    }
    SetExtents();
    return TRUE;
}

void CQUExportCategoryDlg::SetExtents()
{
    for (int nID : {IDC_EG_GROUP_FILES, IDC_EG_ADDITIONAL}) {
        CWnd* pList = GetDlgItem(nID);
        HDC hdc = ::GetDC(pList->m_hWnd);
        HGDIOBJ hOld = ::SelectObject(hdc, (HFONT)pList->SendMessage(WM_GETFONT));
        int cxMax = 0;
        int nCount = (int)pList->SendMessage(LB_GETCOUNT);
        for (int i = 0; i < nCount; i++) {
            char szText[MAX_PATH * 2] = "";
            pList->SendMessage(LB_GETTEXT, i, (LPARAM)szText);
            SIZE size = {};
            ::GetTextExtentPoint32A(hdc, szText, lstrlenA(szText), &size);
            cxMax = std::max(cxMax, (int)size.cx);
        }
        ::SelectObject(hdc, hOld);
        ::ReleaseDC(pList->m_hWnd, hdc);
        pList->SendMessage(LB_SETHORIZONTALEXTENT, cxMax + 8);
    }
}

void CQUExportCategoryDlg::AddAdditionalFile(LPCTSTR lpszPath)
{
    CString strFile = m_pGroup->MakeRelative(lpszPath);
    CWnd* pList = GetDlgItem(IDC_EG_ADDITIONAL);
    if (pList->SendMessage(LB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)(LPCTSTR)strFile) == LB_ERR)
        pList->SendMessage(LB_ADDSTRING, 0, (LPARAM)(LPCTSTR)strFile);
}

void CQUExportCategoryDlg::OnAddFile()
{
    CFileDialog dlg(TRUE, nullptr, nullptr,
                    OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST,
                    "All Files (*.*)|*.*||", this);
    std::vector<char> buffer(32768, '\0');
    dlg.m_ofn.lpstrFile = buffer.data();
    dlg.m_ofn.nMaxFile = (DWORD)buffer.size();
    if (dlg.DoModal() != IDOK)
        return;
    // One path, or a folder followed by the names chosen in it.
    const char* p = buffer.data();
    CString strFirst = p;
    p += strlen(p) + 1;
    if (*p == '\0') {
        AddAdditionalFile(strFirst);
    } else {
        for (; *p != '\0'; p += strlen(p) + 1)
            AddAdditionalFile(strFirst + "\\" + p);
    }
    SetExtents();
}

void CQUExportCategoryDlg::OnRemoveFile()
{
    CWnd* pList = GetDlgItem(IDC_EG_ADDITIONAL);
    int nSelected = (int)pList->SendMessage(LB_GETSELCOUNT);
    if (nSelected <= 0)
        return;
    std::vector<int> items(nSelected);
    pList->SendMessage(LB_GETSELITEMS, nSelected, (LPARAM)items.data());
    for (auto it = items.rbegin(); it != items.rend(); ++it)
        pList->SendMessage(LB_DELETESTRING, *it);
}

BOOL CQUExportCategoryDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) == BN_CLICKED) {
        if (LOWORD(wParam) == IDC_EG_ADD_FILE) {
            OnAddFile();
            return TRUE;
        }
        if (LOWORD(wParam) == IDC_EG_REMOVE_FILE) {
            OnRemoveFile();
            return TRUE;
        }
    }
    return CDialog::OnCommand(wParam, lParam);
}

void CQUExportCategoryDlg::WriteAdditionalFiles()
{
    if (m_pGroup->IsSystem())
        return;
    CString strIni = m_pGroup->GetIniPath();
    ::WritePrivateProfileStringA("AdditionalFiles", nullptr, nullptr, strIni);
    CWnd* pList = GetDlgItem(IDC_EG_ADDITIONAL);
    int nCount = (int)pList->SendMessage(LB_GETCOUNT);
    for (int i = 0; i < nCount; i++) {
        char szText[MAX_PATH * 2] = "";
        pList->SendMessage(LB_GETTEXT, i, (LPARAM)szText);
        CString strKey;
        strKey.Format("File%d", i + 1);
        ::WritePrivateProfileStringA("AdditionalFiles", strKey, m_pGroup->MakeRelative(szText), strIni);
    }
}

CString CQUExportCategoryDlg::MakeFileList() const
{
    CString strList = m_pGroup->MakeRelative(m_strPackagePath) + "\r\n";
    for (int nID : {IDC_EG_GROUP_FILES, IDC_EG_ADDITIONAL}) {
        CWnd* pList = GetDlgItem(nID);
        int nCount = (int)pList->SendMessage(LB_GETCOUNT);
        for (int i = 0; i < nCount; i++) {
            char szText[MAX_PATH * 2] = "";
            pList->SendMessage(LB_GETTEXT, i, (LPARAM)szText);
            strList += m_pGroup->MakeRelative(szText) + "\r\n";
        }
    }
    return strList + "QPKSetup.qgs";
}

CString CQUExportCategoryDlg::MakeSetupScript() const
{
    CString g = m_pGroup->GetName();
    CString f = m_pGroup->MakeRelative(m_pGroup->GetIniPath());
    CString s;
    s += "if (run.section(" + g + ".qgs, OnBeforeSetup) == 1) \r\n";
    s += "{\r\n";
    s += "   qpack.undo(); \r\n";
    s += "   return; \r\n";
    s += "}\r\n";
    s += "else \r\n";
    s += "{ \r\n";
    s += "   if (system.toolbar.createcategory(\"" + f + "\") == 0)\r\n";
    s += "   {\r\n";
    s += "\t system.toolbar.create(" + g + ");\r\n";
    s += "\t %A=$General.UserDefinedGroupAdded;\r\n";
    s += "\t %B=$General.UserDefinedGroup;\r\n";
    s += "\t type.msgBox(" + g + " %A, %B);\r\n";
    s += "   }\r\n";
    s += "}\r\n";
    s += " run.section(" + g + ".qgs, OnAfterSetup);";
    return s;
}

BOOL CQUExportCategoryDlg::ExportGroup()
{
    CString strList = m_pGroup->FolderText() + "ExpGroup.tmp";
    CString strSetup = m_pGroup->FolderText() + "QPKSetup.qgs";
    if (ExtensionOf(m_strPackagePath).CompareNoCase("qpk") != 0)
        m_strPackagePath += ".qpk";
    auto writeFile = [](const CString& strPath, const CString& strText) {
        HANDLE hFile = ::CreateFileA(strPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (hFile == INVALID_HANDLE_VALUE)
            return FALSE;
        DWORD dwWritten = 0;
        BOOL bOk = ::WriteFile(hFile, (LPCTSTR)strText, (DWORD)strText.GetLength(), &dwWritten, nullptr) &&
                   dwWritten == (DWORD)strText.GetLength();
        ::CloseHandle(hFile);
        return bOk;
    };
    if (!writeFile(strList, MakeFileList()))
        return FALSE;
    if (!writeFile(strSetup, MakeSetupScript())) {
        ::DeleteFileA(strList);
        return FALSE;
    }
    double dResult = 0;
    int nFailed = qkfxGetAccess()->run_section_script("file.qgs, ExportButtonGroup, 0", &dResult);
    ::DeleteFileA(strList);
    ::DeleteFileA(strSetup);
    // A packer that failed made no package: that is no success.
    return nFailed == 0;
}

void CQUExportCategoryDlg::OnOK()
{
    if (m_strPackagePath.Find('\\') < 0 && m_strPackagePath.Find(':') < 0)
        m_strPackagePath = m_pGroup->FolderText() + m_strPackagePath;
    CFileDialog dlg(FALSE, "qpk", m_strPackagePath, OFN_EXPLORER | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                    "Quorix Packed Files (*.qpk)|*.qpk||", this);
    if (dlg.DoModal() != IDOK)
        return;
    m_strPackagePath = dlg.GetPathName();
    WriteAdditionalFiles();
    if (!ExportGroup())
        return;
    EndDialog(IDOK);
}
