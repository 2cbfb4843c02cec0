#include "FrameHost.h"

#include <cstring>

namespace {

CQUFrameHost* g_pFrameHost = nullptr;

} // namespace

void QUSetFrameHost(CQUFrameHost* pHost)
{
    g_pFrameHost = pHost;
}

CQUFrameHost* QUGetFrameHost()
{
    static CQUProfileFrameHost s_defaultHost;
    return g_pFrameHost != nullptr ? g_pFrameHost : &s_defaultHost;
}

CQUProfileFrameHost::CQUProfileFrameHost(LPCTSTR lpszProgramKey) : m_strProgramKey(lpszProgramKey) {}

BOOL CQUProfileFrameHost::BeginRegistryAccess(LPCTSTR lpszName, BOOL bIniFile, BOOL)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr)
        return FALSE;
    Saved saved = {pApp->m_pszRegistryKey, pApp->m_pszProfileName, nullptr, nullptr};
    if (bIniFile) {
        saved.pszOwnProfile = _strdup(lpszName);
        pApp->m_pszRegistryKey = nullptr;
    } else {
        saved.pszOwnKey = _strdup(m_strProgramKey);
        saved.pszOwnProfile = _strdup(lpszName);
        pApp->m_pszRegistryKey = saved.pszOwnKey;
    }
    pApp->m_pszProfileName = saved.pszOwnProfile;
    m_saved.Add(saved);
    return TRUE;
}

BOOL CQUProfileFrameHost::EndRegistryAccess()
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr || m_saved.GetSize() == 0)
        return FALSE;
    Saved saved = m_saved[m_saved.GetSize() - 1];
    m_saved.RemoveAt(m_saved.GetSize() - 1);
    pApp->m_pszRegistryKey = saved.pszRegistryKey;
    pApp->m_pszProfileName = saved.pszProfileName;
    free(saved.pszOwnKey);
    free(saved.pszOwnProfile);
    return TRUE;
}

BOOL CQUProfileFrameHost::GetToolbarRegKeyString(char* pszBuffer, BOOL)
{
    lstrcpynA(pszBuffer, m_strProgramKey, MAX_PATH);
    return TRUE;
}

void CQUProfileFrameHost::GetToolbarRegKeyStringLong(CString& strKey)
{
    strKey = "Software\\" + m_strProgramKey + "\\Toolbars";
}

BOOL CQUProfileFrameHost::BeforeToolbarConfSaveLoad(BOOL)
{
    return BeginRegistryAccess("Toolbars", FALSE, FALSE);
}

BOOL CQUProfileFrameHost::AfterToolbarConfSaveLoad(BOOL)
{
    return EndRegistryAccess();
}

void QUShowContextHelp(HWND hWnd, UINT nContext)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp != nullptr && pApp->m_pszHelpFilePath != nullptr)
        ::WinHelpA(hWnd, pApp->m_pszHelpFilePath, HELP_CONTEXT, nContext);
}
