// The application's side of documents: its templates, File New and File Open, the
// recent-file list, the command line, the shell's file types and its DDE commands.
#include "afxdlgs.h"
#include "afxdisp.h"
#include "ModuleState.h"
#include <stdlib.h>

namespace {

// Chooses among the templates that offer a File New name.
class CNewTypeDlg : public CDialog
{
public:
    CNewTypeDlg(CPtrList* pList) : CDialog(AFX_IDD_NEWTYPEDLG), m_pSelected(nullptr), m_pList(pList) {}
    CDocTemplate* m_pSelected;

protected:
    CPtrList* m_pList;
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        CListBox* pListBox = (CListBox*)GetDlgItem(AFX_IDC_LISTBOX);
        POSITION pos = m_pList->GetHeadPosition();
        while (pos != nullptr) {
            CDocTemplate* pTemplate = (CDocTemplate*)m_pList->GetNext(pos);
            CString strName;
            if (pTemplate->GetDocString(strName, CDocTemplate::fileNewName) && !strName.IsEmpty()) {
                int nIndex = pListBox->AddString(strName);
                pListBox->SetItemDataPtr(nIndex, pTemplate);
            }
        }
        pListBox->SetCurSel(0);
        return TRUE;
    }
    void OnOK() override
    {
        CListBox* pListBox = (CListBox*)GetDlgItem(AFX_IDC_LISTBOX);
        int nIndex = pListBox->GetCurSel();
        m_pSelected = nIndex >= 0 ? (CDocTemplate*)pListBox->GetItemDataPtr(nIndex) : nullptr;
        CDialog::OnOK();
    }
};

void AppendFilter(CString& strFilter, CDocTemplate* pTemplate, CString* pstrDefaultExt)
{
    CString strFilterName, strFilterExt;
    if (!pTemplate->GetDocString(strFilterExt, CDocTemplate::filterExt) || strFilterExt.IsEmpty() ||
        !pTemplate->GetDocString(strFilterName, CDocTemplate::filterName) || strFilterName.IsEmpty())
        return;
    CStringArray arrExt;
    afximpl::SplitExtensions(strFilterExt, arrExt);
    CString strPattern;
    for (INT_PTR i = 0; i < arrExt.GetSize(); i++) {
        if (pstrDefaultExt != nullptr && pstrDefaultExt->IsEmpty())
            *pstrDefaultExt = arrExt[i].Mid(1);
        if (!strPattern.IsEmpty())
            strPattern += ";";
        strPattern += "*" + arrExt[i];
    }
    if (strPattern.IsEmpty())
        return;
    strFilter += strFilterName + "|" + strPattern + "|";
}

// A DEVNAMES block naming one printer, as the shell's print-to command gives it.
HGLOBAL MakeDevNames(const CString& strDriver, const CString& strDevice, const CString& strPort)
{
    SIZE_T cb = sizeof(DEVNAMES) + strDriver.GetLength() + strDevice.GetLength() + strPort.GetLength() + 3;
    HGLOBAL hNames = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, cb);
    LPDEVNAMES pNames = hNames != nullptr ? (LPDEVNAMES)::GlobalLock(hNames) : nullptr;
    if (pNames == nullptr)
        return hNames;
    LPSTR psz = (LPSTR)(pNames + 1);
    pNames->wDriverOffset = (WORD)(psz - (LPSTR)pNames);
    lstrcpyA(psz, strDriver);
    psz += strDriver.GetLength() + 1;
    pNames->wDeviceOffset = (WORD)(psz - (LPSTR)pNames);
    lstrcpyA(psz, strDevice);
    psz += strDevice.GetLength() + 1;
    pNames->wOutputOffset = (WORD)(psz - (LPSTR)pNames);
    lstrcpyA(psz, strPort);
    ::GlobalUnlock(hNames);
    return hNames;
}

BOOL SetRegValue(LPCTSTR lpszKey, LPCTSTR lpszValue, LPCTSTR lpszValueName = nullptr)
{
    HKEY hKey;
    if (::RegCreateKeyExA(HKEY_CLASSES_ROOT, lpszKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &hKey,
                          nullptr) != ERROR_SUCCESS)
        return FALSE;
    LONG lResult = ::RegSetValueExA(hKey, lpszValueName, 0, REG_SZ, (const BYTE*)lpszValue, (DWORD)strlen(lpszValue) + 1);
    ::RegCloseKey(hKey);
    return lResult == ERROR_SUCCESS;
}

CString GetRegValue(LPCTSTR lpszKey)
{
    char szValue[MAX_PATH * 2] = "";
    LONG lSize = sizeof szValue;
    if (::RegQueryValueA(HKEY_CLASSES_ROOT, lpszKey, szValue, &lSize) != ERROR_SUCCESS)
        return CString();
    return CString(szValue);
}


}

/////////////////////////////////////////////////////////////////////////////
// Paths

BOOL AfxFullPath(LPTSTR lpszPathOut, LPCTSTR lpszFileIn)
{
    LPSTR lpszFilePart;
    DWORD dwLen = ::GetFullPathNameA(lpszFileIn, MAX_PATH, lpszPathOut, &lpszFilePart);
    if (dwLen == 0 || dwLen >= MAX_PATH) {
        lstrcpynA(lpszPathOut, lpszFileIn, MAX_PATH);
        return FALSE;
    }
    return TRUE;
}

BOOL AfxComparePath(LPCTSTR lpszPath1, LPCTSTR lpszPath2)
{
    // File names are compared as the file system does: without regard to case.
    char szFull1[MAX_PATH], szFull2[MAX_PATH];
    AfxFullPath(szFull1, lpszPath1);
    AfxFullPath(szFull2, lpszPath2);
    return lstrcmpiA(szFull1, szFull2) == 0;
}

/////////////////////////////////////////////////////////////////////////////
// Templates and documents

void CWinApp::AddDocTemplate(CDocTemplate* pTemplate)
{
    // Loaded now rather than when constructed, so extension libraries' resources count.
    pTemplate->LoadTemplate();
    m_templateList.AddTail(pTemplate);
}

int CWinApp::GetOpenDocumentCount()
{
    int nCount = 0;
    POSITION pos = GetFirstDocTemplatePosition();
    while (pos != nullptr) {
        CDocTemplate* pTemplate = GetNextDocTemplate(pos);
        POSITION posDoc = pTemplate->GetFirstDocPosition();
        while (posDoc != nullptr) {
            pTemplate->GetNextDoc(posDoc);
            nCount++;
        }
    }
    return nCount;
}

BOOL CWinApp::SaveAllModified()
{
    POSITION pos = GetFirstDocTemplatePosition();
    while (pos != nullptr) {
        if (!GetNextDocTemplate(pos)->SaveAllModified())
            return FALSE;
    }
    return TRUE;
}

void CWinApp::CloseAllDocuments(BOOL bEndSession)
{
    POSITION pos = GetFirstDocTemplatePosition();
    while (pos != nullptr)
        GetNextDocTemplate(pos)->CloseAllDocuments(bEndSession);
}

void CWinApp::OnFileNew()
{
    if (m_templateList.IsEmpty()) {
        AfxMessageBox(AFX_IDP_FAILED_TO_CREATE_DOC);
        return;
    }
    // Templates without a File New name are not offered; one offered is taken at once.
    CPtrList offered;
    POSITION pos = GetFirstDocTemplatePosition();
    while (pos != nullptr) {
        CDocTemplate* pTemplate = GetNextDocTemplate(pos);
        CString strName;
        if (pTemplate->GetDocString(strName, CDocTemplate::fileNewName) && !strName.IsEmpty())
            offered.AddTail(pTemplate);
    }
    CDocTemplate* pTemplate = nullptr;
    if (offered.IsEmpty()) {
        pTemplate = (CDocTemplate*)m_templateList.GetHead();
    } else if (offered.GetCount() == 1) {
        pTemplate = (CDocTemplate*)offered.GetHead();
    } else {
        CNewTypeDlg dlg(&offered);
        if (dlg.DoModal() != IDOK || dlg.m_pSelected == nullptr)
            return;
        pTemplate = dlg.m_pSelected;
    }
    pTemplate->OpenDocumentFile(nullptr);
}

BOOL CWinApp::DoPromptFileName(CString& fileName, UINT nIDSTitle, DWORD lFlags, BOOL bOpenFileDialog,
                               CDocTemplate* pTemplate)
{
    CString strFilter, strDefaultExt;
    if (pTemplate != nullptr) {
        AppendFilter(strFilter, pTemplate, &strDefaultExt);
    } else {
        POSITION pos = GetFirstDocTemplatePosition();
        while (pos != nullptr)
            AppendFilter(strFilter, GetNextDocTemplate(pos), strDefaultExt.IsEmpty() ? &strDefaultExt : nullptr);
    }
    CString strAll;
    if (!strAll.LoadString(AFX_IDS_ALLFILTER))
        strAll = "All Files (*.*)";
    strFilter += strAll + "|*.*||";
    CString strTitle;
    strTitle.LoadString(nIDSTitle);
    CFileDialog dlg(bOpenFileDialog, strDefaultExt.IsEmpty() ? nullptr : (LPCTSTR)strDefaultExt, fileName,
                    lFlags | OFN_HIDEREADONLY | (bOpenFileDialog ? 0 : OFN_OVERWRITEPROMPT), strFilter);
    if (!strTitle.IsEmpty())
        dlg.m_ofn.lpstrTitle = strTitle;
    if (dlg.DoModal() != IDOK)
        return FALSE;
    fileName = dlg.GetPathName();
    return TRUE;
}

void CWinApp::OnFileOpen()
{
    CString strName;
    if (!DoPromptFileName(strName, AFX_IDS_OPENFILE, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, TRUE, nullptr))
        return;
    OpenDocumentFile(strName);
}

CDocument* CWinApp::OpenDocumentFile(LPCTSTR lpszFileName)
{
    char szPath[MAX_PATH];
    AfxFullPath(szPath, lpszFileName);
    CDocTemplate* pBest = nullptr;
    CDocTemplate::Confidence best = CDocTemplate::noAttempt;
    CDocument* pOpenDoc = nullptr;
    POSITION pos = GetFirstDocTemplatePosition();
    while (pos != nullptr) {
        CDocTemplate* pTemplate = GetNextDocTemplate(pos);
        CDocument* pMatch = nullptr;
        CDocTemplate::Confidence match = pTemplate->MatchDocType(szPath, pMatch);
        if (match > best) {
            best = match;
            pBest = pTemplate;
            if (match == CDocTemplate::yesAlreadyOpen)
                pOpenDoc = pMatch;
        }
    }
    if (pOpenDoc != nullptr) {
        // Already open: bring its first window forward.
        POSITION posView = pOpenDoc->GetFirstViewPosition();
        if (posView != nullptr) {
            CFrameWnd* pFrame = pOpenDoc->GetNextView(posView)->GetParentFrame();
            if (pFrame != nullptr)
                pFrame->ActivateFrame();
        }
        return pOpenDoc;
    }
    if (pBest == nullptr) {
        AfxMessageBox(AFX_IDP_FAILED_TO_OPEN_DOC);
        return nullptr;
    }
    return pBest->OpenDocumentFile(szPath);
}

void CWinApp::AddToRecentFileList(LPCTSTR lpszPathName)
{
    if (m_pRecentFileList != nullptr)
        m_pRecentFileList->Add(lpszPathName);
}

void CWinApp::LoadStdProfileSettings(UINT nMaxMRU)
{
    if (nMaxMRU > 16)
        nMaxMRU = 16;
    if (nMaxMRU != 0 && m_pRecentFileList == nullptr) {
        m_pRecentFileList = new CRecentFileList(0, "Recent File List", "File%d", (int)nMaxMRU);
        m_pRecentFileList->ReadList();
    }
}

void CWinApp::SaveStdProfileSettings()
{
    if (m_pRecentFileList != nullptr)
        m_pRecentFileList->WriteList();
}

BOOL CWinApp::OnOpenRecentFile(UINT nID)
{
    if (m_pRecentFileList == nullptr)
        return FALSE;
    int nIndex = (int)(nID - ID_FILE_MRU_FILE1);
    if (nIndex < 0 || nIndex >= m_pRecentFileList->GetSize() || (*m_pRecentFileList)[nIndex].IsEmpty())
        return FALSE;
    CString strPath = (*m_pRecentFileList)[nIndex];
    // A file that can no longer be opened leaves the list.
    if (OpenDocumentFile(strPath) == nullptr)
        m_pRecentFileList->Remove(nIndex);
    return TRUE;
}

void CWinApp::OnUpdateRecentFileMenu(CCmdUI* pCmdUI)
{
    if (m_pRecentFileList == nullptr)
        pCmdUI->Enable(FALSE);
    else
        m_pRecentFileList->UpdateMenu(pCmdUI);
}

/////////////////////////////////////////////////////////////////////////////
// CRecentFileList

CRecentFileList::CRecentFileList(UINT nStart, LPCTSTR lpszSection, LPCTSTR lpszEntryFormat, int nSize, int nMaxDispLen)
    : m_nSize(nSize), m_arrNames(new CString[nSize]), m_strSectionName(lpszSection),
      m_strEntryFormat(lpszEntryFormat), m_nStart(nStart), m_nMaxDisplayLength(nMaxDispLen)
{
}

CRecentFileList::~CRecentFileList() { delete[] m_arrNames; }

void CRecentFileList::Add(LPCTSTR lpszPathName)
{
    char szFullPath[MAX_PATH];
    AfxFullPath(szFullPath, lpszPathName);
    // The file moves to the front; an earlier entry for it goes.
    int nFound = m_nSize - 1;
    for (int i = 0; i < m_nSize - 1; i++) {
        if (!m_arrNames[i].IsEmpty() && AfxComparePath(m_arrNames[i], szFullPath)) {
            nFound = i;
            break;
        }
    }
    for (int i = nFound; i > 0; i--)
        m_arrNames[i] = m_arrNames[i - 1];
    m_arrNames[0] = szFullPath;
}

void CRecentFileList::Remove(int nIndex)
{
    if (nIndex < 0 || nIndex >= m_nSize)
        return;
    for (int i = nIndex; i < m_nSize - 1; i++)
        m_arrNames[i] = m_arrNames[i + 1];
    m_arrNames[m_nSize - 1].Empty();
}

BOOL CRecentFileList::GetDisplayName(CString& strName, int nIndex, LPCTSTR lpszCurDir, int nCurDir, BOOL) const
{
    if (nIndex < 0 || nIndex >= m_nSize || m_arrNames[nIndex].IsEmpty())
        return FALSE;
    const CString& strPath = m_arrNames[nIndex];
    int nSlash = strPath.ReverseFind('\\');
    // Files in the current folder show their name; others their path, shortened in the
    // middle when it is too long.
    if (lpszCurDir != nullptr && nSlash == nCurDir && strPath.Left(nCurDir).CompareNoCase(CString(lpszCurDir, nCurDir)) == 0) {
        strName = strPath.Mid(nSlash + 1);
        return TRUE;
    }
    strName = strPath;
    if (m_nMaxDisplayLength > 0 && strName.GetLength() > m_nMaxDisplayLength) {
        CString strFile = strPath.Mid(nSlash + 1);
        int nKeep = m_nMaxDisplayLength - strFile.GetLength() - 4;
        int nRoot = strPath.Find('\\') + 1;
        if (nKeep >= nRoot && nRoot > 0)
            strName = strPath.Left(nKeep) + "...\\" + strFile;
        else
            strName = strFile;
    }
    return TRUE;
}

void CRecentFileList::UpdateMenu(CCmdUI* pCmdUI)
{
    CMenu* pMenu = pCmdUI->m_pMenu;
    if (m_strOriginal.IsEmpty() && pMenu != nullptr)
        pMenu->GetMenuString(pCmdUI->m_nID, m_strOriginal, MF_BYCOMMAND);
    if (m_arrNames[0].IsEmpty()) {
        if (!m_strOriginal.IsEmpty())
            pCmdUI->SetText(m_strOriginal);
        pCmdUI->Enable(FALSE);
        return;
    }
    if (pMenu == nullptr)
        return;
    for (int i = 0; i < m_nSize; i++)
        pMenu->DeleteMenu(pCmdUI->m_nID + (UINT)i, MF_BYCOMMAND);
    char szCurDir[MAX_PATH];
    DWORD nCurDir = ::GetCurrentDirectoryA(MAX_PATH, szCurDir);
    if (nCurDir > 0 && szCurDir[nCurDir - 1] == '\\')
        szCurDir[--nCurDir] = '\0';
    UINT nIndex = pCmdUI->m_nIndex;
    for (int i = 0; i < m_nSize && !m_arrNames[i].IsEmpty(); i++) {
        CString strName;
        if (!GetDisplayName(strName, i, szCurDir, (int)nCurDir))
            break;
        // An ampersand in a file name is shown, not taken as a mnemonic.
        CString strEscaped;
        for (int j = 0; j < strName.GetLength(); j++) {
            if (strName[j] == '&')
                strEscaped += '&';
            strEscaped += strName[j];
        }
        CString strText;
        strText.Format("&%d %s", (i + 1 + (int)m_nStart) % 10, (LPCTSTR)strEscaped);
        pMenu->InsertMenu(nIndex++, MF_STRING | MF_BYPOSITION, pCmdUI->m_nID + (UINT)i, strText);
    }
    // The caller goes on after the last inserted item.
    pCmdUI->m_nIndex = nIndex - 1;
    pCmdUI->m_nIndexMax = pMenu->GetMenuItemCount();
    pCmdUI->m_bEnableChanged = TRUE;
}

void CRecentFileList::ReadList()
{
    CWinApp* pApp = AfxGetApp();
    for (int i = 0; i < m_nSize; i++) {
        CString strEntry;
        strEntry.Format(m_strEntryFormat, i + 1);
        m_arrNames[i] = pApp->GetProfileString(m_strSectionName, strEntry, "");
    }
}

void CRecentFileList::WriteList()
{
    CWinApp* pApp = AfxGetApp();
    // The section is written afresh, so entries that left the list leave the file.
    pApp->WriteProfileString(m_strSectionName, nullptr, nullptr);
    for (int i = 0; i < m_nSize; i++) {
        if (m_arrNames[i].IsEmpty())
            continue;
        CString strEntry;
        strEntry.Format(m_strEntryFormat, i + 1);
        pApp->WriteProfileString(m_strSectionName, strEntry, m_arrNames[i]);
    }
}

/////////////////////////////////////////////////////////////////////////////
// Command line

CCommandLineInfo::CCommandLineInfo()
    : m_bShowSplash(TRUE), m_bRunEmbedded(FALSE), m_bRunAutomated(FALSE), m_nShellCommand(FileNew)
{
}

CCommandLineInfo::~CCommandLineInfo() {}

void CCommandLineInfo::ParseParam(LPCTSTR lpszParam, BOOL bFlag, BOOL bLast)
{
    if (bFlag)
        ParseParamFlag(lpszParam);
    else
        ParseParamNotFlag(lpszParam);
    ParseLast(bLast);
}

void CCommandLineInfo::ParseParamFlag(const char* pszParam)
{
    if (lstrcmpiA(pszParam, "pt") == 0) {
        m_nShellCommand = FilePrintTo;
    } else if (lstrcmpiA(pszParam, "p") == 0) {
        m_nShellCommand = FilePrint;
    } else if (lstrcmpiA(pszParam, "Unregister") == 0 || lstrcmpiA(pszParam, "Unregserver") == 0) {
        m_nShellCommand = AppUnregister;
    } else if (lstrcmpiA(pszParam, "dde") == 0) {
        m_nShellCommand = FileDDE;
    } else if (lstrcmpiA(pszParam, "Embedding") == 0) {
        // A program OLE started belongs to its objects: it ends with the last of them.
        AfxOleSetUserCtrl(FALSE);
        m_bShowSplash = FALSE;
        m_bRunEmbedded = TRUE;
    } else if (lstrcmpiA(pszParam, "Automation") == 0) {
        AfxOleSetUserCtrl(FALSE);
        m_bShowSplash = FALSE;
        m_bRunAutomated = TRUE;
    }
}

void CCommandLineInfo::ParseParamNotFlag(const char* pszParam)
{
    if (m_strFileName.IsEmpty())
        m_strFileName = pszParam;
    else if (m_nShellCommand == FilePrintTo && m_strPrinterName.IsEmpty())
        m_strPrinterName = pszParam;
    else if (m_nShellCommand == FilePrintTo && m_strDriverName.IsEmpty())
        m_strDriverName = pszParam;
    else if (m_nShellCommand == FilePrintTo && m_strPortName.IsEmpty())
        m_strPortName = pszParam;
}

void CCommandLineInfo::ParseLast(BOOL bLast)
{
    if (!bLast)
        return;
    if (m_nShellCommand == FileNew && !m_strFileName.IsEmpty())
        m_nShellCommand = FileOpen;
    // A server started by OLE makes no document of its own.
    if (m_nShellCommand == FileNew && (m_bRunEmbedded || m_bRunAutomated))
        m_nShellCommand = FileNothing;
}

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo)
{
    for (int i = 1; i < __argc; i++) {
        LPCTSTR pszParam = __argv[i];
        BOOL bFlag = pszParam[0] == '-' || pszParam[0] == '/';
        if (bFlag)
            ++pszParam;
        rCmdInfo.ParseParam(pszParam, bFlag, i == __argc - 1);
    }
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& rCmdInfo)
{
    switch (rCmdInfo.m_nShellCommand) {
    case CCommandLineInfo::FileNothing:
        return TRUE;
    case CCommandLineInfo::FileNew:
        if (!OnCmdMsg(ID_FILE_NEW, CN_COMMAND, nullptr, nullptr))
            OnFileNew();
        return m_pMainWnd != nullptr;
    case CCommandLineInfo::FileOpen:
        return OpenDocumentFile(rCmdInfo.m_strFileName) != nullptr;
    case CCommandLineInfo::FileDDE:
        // The shell sends the file by DDE; the main window stays hidden until it comes.
        m_nCmdShowAfterDDE = m_nCmdShow;
        m_nCmdShow = SW_HIDE;
        return TRUE;
    case CCommandLineInfo::AppUnregister:
        UnregisterShellFileTypes();
        return FALSE;   // the program has done its work
    case CCommandLineInfo::FilePrint:
    case CCommandLineInfo::FilePrintTo: {
        if (rCmdInfo.m_nShellCommand == CCommandLineInfo::FilePrintTo)
            SelectPrinter(MakeDevNames(rCmdInfo.m_strDriverName, rCmdInfo.m_strPrinterName, rCmdInfo.m_strPortName),
                          nullptr);
        // The file is printed on the program's printer and closed again; the program then ends.
        CDocument* pDoc = OpenDocumentFile(rCmdInfo.m_strFileName);
        if (pDoc != nullptr) {
            if (m_pMainWnd != nullptr)
                m_pMainWnd->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT);
            pDoc->OnCloseDocument();
        }
        return FALSE;
    }
    }
    return FALSE;
}

/////////////////////////////////////////////////////////////////////////////
// Shell

void CWinApp::EnableShellOpen()
{
    if (m_atomApp != 0)
        return;
    m_atomApp = ::GlobalAddAtomA(m_pszExeName);
    m_atomSystemTopic = ::GlobalAddAtomA("system");
}

void CWinApp::RegisterShellFileTypes(BOOL bCompat)
{
    char szModule[MAX_PATH];
    ::GetModuleFileNameA(m_hInstance, szModule, MAX_PATH);
    CString strPath = CString("\"") + szModule + "\"";
    int nTemplate = 0;
    POSITION pos = GetFirstDocTemplatePosition();
    while (pos != nullptr) {
        CDocTemplate* pTemplate = GetNextDocTemplate(pos);
        int nIconIndex = ++nTemplate;   // icon 0 is the program's own
        CString strTypeId, strTypeName, strFilterExt;
        if (!pTemplate->GetDocString(strTypeId, CDocTemplate::regFileTypeId) || strTypeId.IsEmpty())
            continue;
        if (!pTemplate->GetDocString(strTypeName, CDocTemplate::regFileTypeName) || strTypeName.IsEmpty())
            strTypeName = strTypeId;
        if (!SetRegValue(strTypeId, strTypeName))
            continue;
        CString strOpen = strPath;
        if (m_atomApp != 0) {
            strOpen += " /dde";
            SetRegValue(strTypeId + "\\shell\\open\\ddeexec", "[open(\"%1\")]");
        } else {
            strOpen += " \"%1\"";
        }
        SetRegValue(strTypeId + "\\shell\\open\\command", strOpen);
        if (bCompat) {
            CString strIcon;
            strIcon.Format("%s,%d", szModule, nIconIndex);
            SetRegValue(strTypeId + "\\DefaultIcon", strIcon);
            SetRegValue(strTypeId + "\\shell\\print\\command", strPath + " /p \"%1\"");
            SetRegValue(strTypeId + "\\shell\\printto\\command", strPath + " /pt \"%1\" \"%2\" \"%3\" \"%4\"");
        }
        // An extension another program has claimed stays with it.
        CStringArray arrExt;
        if (pTemplate->GetDocString(strFilterExt, CDocTemplate::filterExt))
            afximpl::SplitExtensions(strFilterExt, arrExt);
        for (INT_PTR i = 0; i < arrExt.GetSize(); i++) {
            CString strCurrent = GetRegValue(arrExt[i]);
            if (strCurrent.IsEmpty() || strCurrent.CompareNoCase(strTypeId) == 0) {
                SetRegValue(arrExt[i], strTypeId);
                if (bCompat)
                    SetRegValue(arrExt[i] + "\\ShellNew", "", "NullFile");
            }
        }
    }
}

void CWinApp::UnregisterShellFileTypes()
{
    POSITION pos = GetFirstDocTemplatePosition();
    while (pos != nullptr) {
        CDocTemplate* pTemplate = GetNextDocTemplate(pos);
        CString strTypeId, strFilterExt;
        if (!pTemplate->GetDocString(strTypeId, CDocTemplate::regFileTypeId) || strTypeId.IsEmpty())
            continue;
        CStringArray arrExt;
        if (pTemplate->GetDocString(strFilterExt, CDocTemplate::filterExt))
            afximpl::SplitExtensions(strFilterExt, arrExt);
        for (INT_PTR i = 0; i < arrExt.GetSize(); i++) {
            // Only an extension still pointing at this type is removed.
            if (GetRegValue(arrExt[i]).CompareNoCase(strTypeId) == 0)
                ::RegDeleteTreeA(HKEY_CLASSES_ROOT, arrExt[i]);
        }
        ::RegDeleteTreeA(HKEY_CLASSES_ROOT, strTypeId);
    }
}

BOOL CWinApp::OnDDECommand(LPTSTR lpszCommand)
{
    // [open("file")], the one command the shell sends here.
    CString strCommand = lpszCommand;
    if (strCommand.Left(7).CompareNoCase("[open(\"") != 0)
        return FALSE;
    int nEnd = strCommand.Find('"', 7);
    if (nEnd < 0)
        return FALSE;
    CString strFile = strCommand.Mid(7, nEnd - 7);
    if (m_pMainWnd != nullptr && !m_pMainWnd->IsWindowVisible() && m_nCmdShowAfterDDE != -1) {
        m_pMainWnd->ShowWindow(m_nCmdShowAfterDDE);
        m_nCmdShowAfterDDE = -1;
    }
    OpenDocumentFile(strFile);
    return TRUE;
}
