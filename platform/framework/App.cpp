// The application object: start-up, the message loop with idle processing, message
// boxes and the profile, which lives in an INI file or in the registry.
#include "afxcmn.h"
#include "ModuleState.h"
#include <vector>

namespace {

// Strings the application object allocated itself; only these does it free.
struct OwnedStrings
{
    std::vector<const char*> list;
    const char* Add(const char* psz)
    {
        list.push_back(psz);
        return psz;
    }
    void FreeIfOwned(LPCTSTR& rpsz)
    {
        for (auto it = list.begin(); it != list.end(); ++it) {
            if (*it == rpsz) {
                free((void*)*it);
                list.erase(it);
                break;
            }
        }
        rpsz = nullptr;
    }
    void FreeAll()
    {
        for (const char* p : list)
            free((void*)p);
        list.clear();
    }
};
OwnedStrings g_ownedStrings;

// Message boxes without an icon get the exclamation mark.
UINT WithDefaultIcon(UINT nType)
{
    if ((nType & MB_ICONMASK) == 0) {
        switch (nType & MB_TYPEMASK) {
        case MB_OK:
        case MB_OKCANCEL:
        case MB_YESNO:
        case MB_YESNOCANCEL:
            nType |= MB_ICONEXCLAMATION;
            break;
        default:
            break;
        }
    }
    return nType;
}

HWND MessageBoxOwner()
{
    HWND hWndOwner = nullptr;
    CWnd::GetSafeOwner(nullptr, &hWndOwner);
    if (hWndOwner != nullptr && !::IsWindowEnabled(hWndOwner))
        hWndOwner = ::GetActiveWindow();
    return hWndOwner;
}

}

/////////////////////////////////////////////////////////////////////////////
// CWinThread

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)

CWinThread::CWinThread()
    : m_pMainWnd(nullptr), m_pActiveWnd(nullptr), m_pMessageFilter(nullptr), m_bAutoDelete(FALSE), m_hThread(nullptr),
      m_nThreadID(::GetCurrentThreadId()), m_msgCur(), m_msgLastMouse()
{
}

CWinThread::~CWinThread() {}

CWnd* CWinThread::GetMainWnd() { return m_pActiveWnd != nullptr ? m_pActiveWnd : m_pMainWnd; }

BOOL CWinThread::InitInstance() { return FALSE; }

int CWinThread::ExitInstance() { return (int)m_msgCur.wParam; }

BOOL CWinThread::ProcessMessageFilter(int, LPMSG) { return FALSE; }

BOOL CWinThread::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->hwnd == nullptr) {
        // Thread messages go to this object's own map.
        const AFX_MSGMAP_ENTRY* pEntry = FindMessageEntry(GetMessageMap(), pMsg->message, 0, 0);
        if (pEntry != nullptr) {
            AFX_MSGCALL call = {pMsg->message, pMsg->wParam, pMsg->lParam, 0, 0, nullptr, 0};
            if (pEntry->pfn(this, call))
                return TRUE;
        }
    }
    CWnd* pMainWnd = GetMainWnd();
    if (CWnd::WalkPreTranslateTree(pMainWnd->GetSafeHwnd(), pMsg))
        return TRUE;
    // Windows outside the main window's tree (owned popups) still give the main window
    // its chance, for its accelerators.
    if (pMainWnd != nullptr && pMainWnd->m_hWnd != nullptr && pMsg->hwnd != nullptr) {
        CWnd* pWnd = CWnd::FromHandle(pMsg->hwnd);
        if (pWnd->GetTopLevelParent() != pMainWnd)
            return pMainWnd->PreTranslateMessage(pMsg);
    }
    return FALSE;
}

BOOL CWinThread::PumpMessage()
{
    if (!::GetMessageA(&m_msgCur, nullptr, 0, 0))
        return FALSE;
    if (!PreTranslateMessage(&m_msgCur)) {
        ::TranslateMessage(&m_msgCur);
        ::DispatchMessageA(&m_msgCur);
    }
    return TRUE;
}

BOOL CWinThread::IsIdleMessage(MSG* pMsg)
{
    // Mouse moves that do not move and the caret's timer do not end idle time.
    if (pMsg->message == WM_MOUSEMOVE || pMsg->message == WM_NCMOUSEMOVE) {
        if (m_msgLastMouse.message == pMsg->message && m_msgLastMouse.pt.x == pMsg->pt.x &&
            m_msgLastMouse.pt.y == pMsg->pt.y)
            return FALSE;
        m_msgLastMouse = *pMsg;
        return TRUE;
    }
    return pMsg->message != WM_PAINT && pMsg->message != 0x0118;
}

BOOL CWinThread::OnIdle(LONG lCount)
{
    if (lCount <= 0) {
        // Bring menus, bars and dialog bars up to date with the commands' state.
        CWnd* pMainWnd = m_pMainWnd;
        if (pMainWnd != nullptr && pMainWnd->m_hWnd != nullptr && pMainWnd->IsWindowVisible()) {
            AfxCallWndProc(pMainWnd, pMainWnd->m_hWnd, WM_IDLEUPDATECMDUI, TRUE, 0);
            pMainWnd->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
        }
        return TRUE;
    }
    // Temporary wrappers made since the last idle time are no longer referenced.
    CWnd::DeleteTempMap();
    CDC::DeleteTempMap();
    CGdiObject::DeleteTempMap();
    CMenu::DeleteTempMap();
    CImageList::DeleteTempMap();
    return FALSE;
}

int CWinThread::Run()
{
    BOOL bIdle = TRUE;
    LONG lIdleCount = 0;
    for (;;) {
        while (bIdle && !::PeekMessageA(&m_msgCur, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(lIdleCount++))
                bIdle = FALSE;
        }
        do {
            if (!PumpMessage())
                return ExitInstance();
            if (IsIdleMessage(&m_msgCur)) {
                bIdle = TRUE;
                lIdleCount = 0;
            }
        } while (::PeekMessageA(&m_msgCur, nullptr, 0, 0, PM_NOREMOVE));
    }
}

CWinThread* AfxGetThread() { return afximpl::g_pApp; }

BOOL AfxPreTranslateMessage(MSG* pMsg)
{
    CWinThread* pThread = AfxGetThread();
    if (pThread != nullptr)
        return pThread->PreTranslateMessage(pMsg);
    return CWnd::WalkPreTranslateTree(nullptr, pMsg);
}

BOOL AfxPumpMessage()
{
    CWinThread* pThread = AfxGetThread();
    if (pThread != nullptr)
        return pThread->PumpMessage();
    MSG msg;
    if (!::GetMessageA(&msg, nullptr, 0, 0))
        return FALSE;
    if (!AfxPreTranslateMessage(&msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return TRUE;
}

void AfxPostQuitMessage(int nExitCode) { ::PostQuitMessage(nExitCode); }

CWnd* AfxGetMainWnd()
{
    CWinThread* pThread = AfxGetThread();
    return pThread != nullptr ? pThread->GetMainWnd() : nullptr;
}

/////////////////////////////////////////////////////////////////////////////
// CWinApp

IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

BEGIN_MESSAGE_MAP(CWinApp, CWinThread)
    ON_COMMAND(ID_APP_EXIT, OnAppExit)
    ON_COMMAND_EX_RANGE(ID_FILE_MRU_FILE1, ID_FILE_MRU_FILE16, OnOpenRecentFile)
    ON_UPDATE_COMMAND_UI(ID_FILE_MRU_FILE1, OnUpdateRecentFileMenu)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCTSTR lpszAppName)
    : m_pszAppName(nullptr), m_hInstance(nullptr), m_hPrevInstance(nullptr), m_lpCmdLine(nullptr),
      m_nCmdShow(SW_SHOWNORMAL), m_pszExeName(nullptr), m_pszHelpFilePath(nullptr),
      m_pszProfileName(nullptr), m_pszRegistryKey(nullptr), m_dwPromptContext(0),
      m_nWaitCursorCount(0), m_hcurWaitCursorRestore(nullptr), m_hDevMode(nullptr), m_hDevNames(nullptr),
      m_pRecentFileList(nullptr), m_atomApp(0), m_atomSystemTopic(0), m_nCmdShowAfterDDE(-1)
{
    if (lpszAppName != nullptr)
        m_pszAppName = g_ownedStrings.Add(_strdup(lpszAppName));
    afximpl::g_pApp = this;
    SetCurrentHandles();
}

CWinApp::~CWinApp()
{
    POSITION pos = m_templateList.GetHeadPosition();
    while (pos != nullptr)
        delete (CDocTemplate*)m_templateList.GetNext(pos);
    m_templateList.RemoveAll();
    delete m_pRecentFileList;
    if (m_hDevMode != nullptr)
        ::GlobalFree(m_hDevMode);
    if (m_hDevNames != nullptr)
        ::GlobalFree(m_hDevNames);
    if (m_atomApp != 0)
        ::GlobalDeleteAtom(m_atomApp);
    if (m_atomSystemTopic != 0)
        ::GlobalDeleteAtom(m_atomSystemTopic);
    g_ownedStrings.FreeAll();
    if (afximpl::g_pApp == this)
        afximpl::g_pApp = nullptr;
}

void CWinApp::SetCurrentHandles()
{
    if (m_hInstance == nullptr)
        m_hInstance = ::GetModuleHandleA(nullptr);
    afximpl::SetInstanceHandle(m_hInstance);

    char szPath[MAX_PATH];
    ::GetModuleFileNameA(m_hInstance, szPath, MAX_PATH);
    LPSTR pszTitle = strrchr(szPath, '\\');
    pszTitle = pszTitle ? pszTitle + 1 : szPath;
    LPSTR pszExt = strrchr(pszTitle, '.');

    if (m_pszExeName == nullptr) {
        CString strExe(pszTitle, pszExt ? (int)(pszExt - pszTitle) : (int)strlen(pszTitle));
        m_pszExeName = g_ownedStrings.Add(_strdup(strExe));
    }
    if (m_pszAppName == nullptr) {
        CString strTitle;
        if (strTitle.LoadString(AFX_IDS_APP_TITLE))
            m_pszAppName = g_ownedStrings.Add(_strdup(strTitle));
        else
            m_pszAppName = g_ownedStrings.Add(_strdup(m_pszExeName));
    }
    if (m_pszHelpFilePath == nullptr) {
        CString strHelp(szPath, pszExt ? (int)(pszExt - szPath) : (int)strlen(szPath));
        strHelp += ".HLP";
        m_pszHelpFilePath = g_ownedStrings.Add(_strdup(strHelp));
    }
    if (m_pszProfileName == nullptr) {
        CString strProfile(m_pszExeName);
        strProfile += ".INI";
        m_pszProfileName = g_ownedStrings.Add(_strdup(strProfile));
    }
}

BOOL CWinApp::InitApplication() { return TRUE; }
BOOL CWinApp::InitInstance() { return TRUE; }
int CWinApp::ExitInstance()
{
    SaveStdProfileSettings();
    return (int)m_msgCur.wParam;
}

int CWinApp::Run()
{
    // With no main window nothing could ever end the loop.
    if (m_pMainWnd == nullptr)
        AfxPostQuitMessage(0);
    return CWinThread::Run();
}

BOOL CWinApp::OnIdle(LONG lCount)
{
    BOOL bMore = CWinThread::OnIdle(lCount);
    if (lCount <= 0) {
        POSITION pos = GetFirstDocTemplatePosition();
        while (pos != nullptr)
            GetNextDocTemplate(pos)->OnIdle();
    }
    return bMore;
}

void CWinApp::OnAppExit()
{
    if (m_pMainWnd != nullptr)
        m_pMainWnd->SendMessage(WM_CLOSE);
}

void CWinApp::EnableModeless(BOOL bEnable)
{
    CWnd* pMainWnd = AfxGetMainWnd();
    if (pMainWnd == nullptr || pMainWnd->m_hWnd == nullptr)
        return;
    if (bEnable)
        pMainWnd->EndModalState();
    else
        pMainWnd->BeginModalState();
}

void CWinApp::OnHelp()
{
    CWnd* pWnd = CWnd::GetActiveWindow();
    if (pWnd == nullptr || !pWnd->SendMessage(WM_COMMANDHELP, 0, 0))
        WinHelp(0, HELP_CONTENTS);
}

void CWinApp::WinHelp(DWORD_PTR dwData, UINT nCmd)
{
    CWnd* pMainWnd = AfxGetMainWnd();
    ::WinHelpA(pMainWnd->GetSafeHwnd(), m_pszHelpFilePath, nCmd, dwData);
}

int CWinApp::DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt)
{
    // The help context while the box is up is that of the prompt; the main window may
    // keep the context variable itself.
    DWORD* pdwContext = &m_dwPromptContext;
    CWnd* pMainWnd = AfxGetMainWnd();
    if (pMainWnd != nullptr && pMainWnd->m_hWnd != nullptr) {
        DWORD* pdw = (DWORD*)pMainWnd->SendMessage(WM_HELPPROMPTADDR);
        if (pdw != nullptr)
            pdwContext = pdw;
    }
    DWORD dwOldPromptContext = *pdwContext;
    if (nIDPrompt != 0)
        *pdwContext = HID_BASE_PROMPT + nIDPrompt;
    int nResult = ::MessageBoxA(MessageBoxOwner(), lpszPrompt, m_pszAppName, WithDefaultIcon(nType));
    *pdwContext = dwOldPromptContext;
    return nResult;
}

void CWinApp::DoWaitCursor(int nCode)
{
    m_nWaitCursorCount += nCode;
    if (m_nWaitCursorCount > 0) {
        HCURSOR hcurPrev = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
        if (nCode > 0 && m_nWaitCursorCount == 1)
            m_hcurWaitCursorRestore = hcurPrev;
    } else {
        m_nWaitCursorCount = 0;
        ::SetCursor(m_hcurWaitCursorRestore ? m_hcurWaitCursorRestore : ::LoadCursor(nullptr, IDC_ARROW));
    }
}

HCURSOR CWinApp::LoadCursor(LPCTSTR lpszResourceName) const
{
    return ::LoadCursorA(AfxFindResourceHandle(lpszResourceName, RT_GROUP_CURSOR), lpszResourceName);
}

HICON CWinApp::LoadIcon(LPCTSTR lpszResourceName) const
{
    return ::LoadIconA(AfxFindResourceHandle(lpszResourceName, RT_GROUP_ICON), lpszResourceName);
}

void CWinApp::SetRegistryKey(LPCTSTR lpszRegistryKey)
{
    g_ownedStrings.FreeIfOwned(m_pszRegistryKey);
    m_pszRegistryKey = g_ownedStrings.Add(_strdup(lpszRegistryKey));
    g_ownedStrings.FreeIfOwned(m_pszProfileName);
    m_pszProfileName = g_ownedStrings.Add(_strdup(m_pszAppName));
}

void CWinApp::SetRegistryKey(UINT nIDRegistryKey)
{
    CString strKey;
    if (!strKey.LoadString(nIDRegistryKey))
        AfxThrowResourceException();
    SetRegistryKey(strKey);
}

HKEY CWinApp::GetAppRegistryKey()
{
    HKEY hAppKey = nullptr, hSoftKey = nullptr, hCompanyKey = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_WRITE | KEY_READ, &hSoftKey) == ERROR_SUCCESS) {
        DWORD dw;
        if (::RegCreateKeyExA(hSoftKey, m_pszRegistryKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_WRITE | KEY_READ, nullptr, &hCompanyKey, &dw) == ERROR_SUCCESS) {
            ::RegCreateKeyExA(hCompanyKey, m_pszProfileName, 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_WRITE | KEY_READ, nullptr, &hAppKey, &dw);
        }
    }
    if (hSoftKey != nullptr)
        ::RegCloseKey(hSoftKey);
    if (hCompanyKey != nullptr)
        ::RegCloseKey(hCompanyKey);
    return hAppKey;
}

HKEY CWinApp::GetSectionKey(LPCTSTR lpszSection)
{
    HKEY hAppKey = GetAppRegistryKey();
    if (hAppKey == nullptr)
        return nullptr;
    HKEY hSectionKey = nullptr;
    DWORD dw;
    ::RegCreateKeyExA(hAppKey, lpszSection, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE | KEY_READ,
                      nullptr, &hSectionKey, &dw);
    ::RegCloseKey(hAppKey);
    return hSectionKey;
}

UINT CWinApp::GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault)
{
    if (m_pszRegistryKey != nullptr) {
        HKEY hSecKey = GetSectionKey(lpszSection);
        if (hSecKey == nullptr)
            return (UINT)nDefault;
        DWORD dwValue, dwType, dwCount = sizeof(DWORD);
        LONG lResult = ::RegQueryValueExA(hSecKey, lpszEntry, nullptr, &dwType, (LPBYTE)&dwValue, &dwCount);
        ::RegCloseKey(hSecKey);
        if (lResult == ERROR_SUCCESS && dwType == REG_DWORD)
            return (UINT)dwValue;
        return (UINT)nDefault;
    }
    return ::GetPrivateProfileIntA(lpszSection, lpszEntry, nDefault, m_pszProfileName);
}

CString CWinApp::GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault)
{
    if (lpszDefault == nullptr)
        lpszDefault = "";
    if (m_pszRegistryKey != nullptr) {
        HKEY hSecKey = GetSectionKey(lpszSection);
        if (hSecKey == nullptr)
            return lpszDefault;
        CString strValue;
        DWORD dwType, dwCount;
        LONG lResult = ::RegQueryValueExA(hSecKey, lpszEntry, nullptr, &dwType, nullptr, &dwCount);
        if (lResult == ERROR_SUCCESS && dwType == REG_SZ) {
            lResult = ::RegQueryValueExA(hSecKey, lpszEntry, nullptr, &dwType,
                                         (LPBYTE)strValue.GetBuffer((int)dwCount), &dwCount);
            strValue.ReleaseBuffer();
        }
        ::RegCloseKey(hSecKey);
        if (lResult == ERROR_SUCCESS && dwType == REG_SZ)
            return strValue;
        return lpszDefault;
    }
    // The buffer grows until the value fits.
    CString strValue;
    for (DWORD nSize = 4096;; nSize *= 2) {
        DWORD nRead = ::GetPrivateProfileStringA(lpszSection, lpszEntry, lpszDefault,
                                                 strValue.GetBuffer((int)nSize), nSize, m_pszProfileName);
        strValue.ReleaseBuffer();
        if (nRead < nSize - 1)
            break;
    }
    return strValue;
}

BOOL CWinApp::WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue)
{
    if (m_pszRegistryKey != nullptr) {
        HKEY hSecKey = GetSectionKey(lpszSection);
        if (hSecKey == nullptr)
            return FALSE;
        LONG lResult = ::RegSetValueExA(hSecKey, lpszEntry, 0, REG_DWORD, (LPBYTE)&nValue, sizeof(nValue));
        ::RegCloseKey(hSecKey);
        return lResult == ERROR_SUCCESS;
    }
    char szValue[16];
    snprintf(szValue, sizeof szValue, "%d", nValue);
    return ::WritePrivateProfileStringA(lpszSection, lpszEntry, szValue, m_pszProfileName);
}

BOOL CWinApp::WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue)
{
    if (m_pszRegistryKey != nullptr) {
        LONG lResult;
        if (lpszEntry == nullptr) {
            HKEY hAppKey = GetAppRegistryKey();
            if (hAppKey == nullptr)
                return FALSE;
            lResult = ::RegDeleteKeyA(hAppKey, lpszSection);
            ::RegCloseKey(hAppKey);
        } else {
            HKEY hSecKey = GetSectionKey(lpszSection);
            if (hSecKey == nullptr)
                return FALSE;
            if (lpszValue == nullptr)
                lResult = ::RegDeleteValueA(hSecKey, lpszEntry);
            else
                lResult = ::RegSetValueExA(hSecKey, lpszEntry, 0, REG_SZ, (LPBYTE)lpszValue,
                                           (DWORD)strlen(lpszValue) + 1);
            ::RegCloseKey(hSecKey);
        }
        return lResult == ERROR_SUCCESS;
    }
    return ::WritePrivateProfileStringA(lpszSection, lpszEntry, lpszValue, m_pszProfileName);
}

// In an INI file a binary value is written as two letters per byte, 'A' plus each
// nibble, low nibble first.
BOOL CWinApp::GetProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE* ppData, UINT* pBytes)
{
    *ppData = nullptr;
    *pBytes = 0;
    if (m_pszRegistryKey != nullptr) {
        HKEY hSecKey = GetSectionKey(lpszSection);
        if (hSecKey == nullptr)
            return FALSE;
        DWORD dwType, dwCount;
        LONG lResult = ::RegQueryValueExA(hSecKey, lpszEntry, nullptr, &dwType, nullptr, &dwCount);
        if (lResult == ERROR_SUCCESS && dwType == REG_BINARY) {
            *pBytes = dwCount;
            *ppData = new BYTE[dwCount ? dwCount : 1];
            lResult = ::RegQueryValueExA(hSecKey, lpszEntry, nullptr, &dwType, *ppData, &dwCount);
        }
        ::RegCloseKey(hSecKey);
        if (lResult == ERROR_SUCCESS && dwType == REG_BINARY)
            return TRUE;
        delete[] *ppData;
        *ppData = nullptr;
        *pBytes = 0;
        return FALSE;
    }
    CString str = GetProfileString(lpszSection, lpszEntry, nullptr);
    if (str.IsEmpty())
        return FALSE;
    int nLen = str.GetLength();
    *pBytes = (UINT)(nLen / 2);
    *ppData = new BYTE[*pBytes ? *pBytes : 1];
    for (int i = 0; i + 1 < nLen; i += 2)
        (*ppData)[i / 2] = (BYTE)(((str[i + 1] - 'A') << 4) + (str[i] - 'A'));
    return TRUE;
}

BOOL CWinApp::WriteProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE pData, UINT nBytes)
{
    if (m_pszRegistryKey != nullptr) {
        HKEY hSecKey = GetSectionKey(lpszSection);
        if (hSecKey == nullptr)
            return FALSE;
        LONG lResult = ::RegSetValueExA(hSecKey, lpszEntry, 0, REG_BINARY, pData, nBytes);
        ::RegCloseKey(hSecKey);
        return lResult == ERROR_SUCCESS;
    }
    CString str;
    LPTSTR lpsz = str.GetBufferSetLength((int)nBytes * 2);
    for (UINT i = 0; i < nBytes; i++) {
        lpsz[i * 2] = (TCHAR)((pData[i] & 0x0F) + 'A');
        lpsz[i * 2 + 1] = (TCHAR)(((pData[i] >> 4) & 0x0F) + 'A');
    }
    str.ReleaseBuffer((int)nBytes * 2);
    return WriteProfileString(lpszSection, lpszEntry, str);
}

/////////////////////////////////////////////////////////////////////////////
// Start-up and message boxes

BOOL AfxWinInit(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPTSTR lpCmdLine, int nCmdShow)
{
    afximpl::SetInstanceHandle(hInstance);
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);
    CWinApp* pApp = AfxGetApp();
    if (pApp != nullptr) {
        pApp->m_hInstance = hInstance;
        pApp->m_hPrevInstance = hPrevInstance;
        pApp->m_lpCmdLine = lpCmdLine;
        pApp->m_nCmdShow = nCmdShow;
        pApp->SetCurrentHandles();
    }
    return TRUE;
}

void AfxWinTerm()
{
    afximpl::TermOle();
    CWnd::DeleteTempMap();
    CDC::DeleteTempMap();
    CGdiObject::DeleteTempMap();
    CMenu::DeleteTempMap();
    CImageList::DeleteTempMap();
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPTSTR lpCmdLine, int nCmdShow)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr) {
        ::MessageBoxA(nullptr, "The program defines no application object.", AfxGetAppName(),
                      MB_OK | MB_ICONSTOP);
        return -1;
    }
    int nReturnCode = -1;
    if (AfxWinInit(hInstance, hPrevInstance, lpCmdLine, nCmdShow) && pApp->InitApplication()) {
        if (!pApp->InitInstance()) {
            if (pApp->m_pMainWnd != nullptr)
                pApp->m_pMainWnd->DestroyWindow();
            nReturnCode = pApp->ExitInstance();
        } else {
            nReturnCode = pApp->Run();
        }
    }
    AfxWinTerm();
    return nReturnCode;
}

int AfxMessageBox(LPCTSTR lpszText, UINT nType, UINT nIDHelp)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp != nullptr)
        return pApp->DoMessageBox(lpszText, nType, nIDHelp);
    return ::MessageBoxA(MessageBoxOwner(), lpszText, AfxGetAppName(), WithDefaultIcon(nType));
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp)
{
    CString string;
    if (!string.LoadString(nIDPrompt))
        string.Format("Message %u could not be loaded.", nIDPrompt);
    if (nIDHelp == (UINT)-1)
        nIDHelp = nIDPrompt;
    return AfxMessageBox(string, nType, nIDHelp);
}
