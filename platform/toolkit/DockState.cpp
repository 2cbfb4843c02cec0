// The saved arrangement of a frame's bars, kept through the application's profile
// functions, so it lives wherever the application points its profile (a registry key or
// an INI file).
#include "qxtoolkit.h"

namespace {

CString SummarySection(LPCTSTR lpszProfileName)
{
    CString s;
    s.Format("%s-Summary", lpszProfileName);
    return s;
}

CString BarSection(LPCTSTR lpszProfileName, int n)
{
    CString s;
    s.Format("%s-Bar%d", lpszProfileName, n);
    return s;
}

} // namespace

SECControlBarInfo::SECControlBarInfo()
    : m_nBarID(0), m_nType(SECBarTypeOther), m_bVisible(TRUE), m_bFloating(FALSE), m_nDockBarID(0), m_nRow(0),
      m_nCol(0), m_fPortion(1.0f), m_ptFloat(0, 0), m_dwStyle(0), m_dwExtra(0), m_pBarInfoEx(nullptr)
{
}

SECControlBarInfo::~SECControlBarInfo()
{
    delete m_pBarInfoEx;
}

void SECControlBarInfo::SaveState(LPCTSTR lpszSection)
{
    CWinApp* pApp = AfxGetApp();
    pApp->WriteProfileInt(lpszSection, "BarID", (int)m_nBarID);
    pApp->WriteProfileInt(lpszSection, "Type", m_nType);
    pApp->WriteProfileInt(lpszSection, "Visible", m_bVisible);
    pApp->WriteProfileInt(lpszSection, "Floating", m_bFloating);
    pApp->WriteProfileInt(lpszSection, "DockBarID", (int)m_nDockBarID);
    pApp->WriteProfileInt(lpszSection, "Row", m_nRow);
    pApp->WriteProfileInt(lpszSection, "Col", m_nCol);
    // The portion as millionths: profile values are integers.
    pApp->WriteProfileInt(lpszSection, "Portion", (int)(m_fPortion * 1000000.0f + 0.5f));
    pApp->WriteProfileInt(lpszSection, "XPos", m_ptFloat.x);
    pApp->WriteProfileInt(lpszSection, "YPos", m_ptFloat.y);
    pApp->WriteProfileInt(lpszSection, "Style", (int)m_dwStyle);
    pApp->WriteProfileInt(lpszSection, "Extra", (int)m_dwExtra);
    pApp->WriteProfileString(lpszSection, "WindowName", m_strWindowName);
    if (m_nType == SECBarTypeToolBar) {
        CString strButtons;
        for (INT_PTR i = 0; i < m_arrButtons.GetSize(); i++) {
            CString s;
            s.Format(i == 0 ? "%u" : ",%u", (unsigned)m_arrButtons[i]);
            strButtons += s;
        }
        pApp->WriteProfileInt(lpszSection, "Buttons", (int)m_arrButtons.GetSize());
        pApp->WriteProfileString(lpszSection, "ButtonIds", strButtons);
    }
    if (m_pBarInfoEx != nullptr)
        m_pBarInfoEx->SaveState(lpszSection);
}

void SECControlBarInfo::LoadState(LPCTSTR lpszSection)
{
    CWinApp* pApp = AfxGetApp();
    m_nBarID = pApp->GetProfileInt(lpszSection, "BarID", 0);
    m_nType = (int)pApp->GetProfileInt(lpszSection, "Type", SECBarTypeOther);
    m_bVisible = pApp->GetProfileInt(lpszSection, "Visible", TRUE);
    m_bFloating = pApp->GetProfileInt(lpszSection, "Floating", FALSE);
    m_nDockBarID = pApp->GetProfileInt(lpszSection, "DockBarID", 0);
    m_nRow = (int)pApp->GetProfileInt(lpszSection, "Row", 0);
    m_nCol = (int)pApp->GetProfileInt(lpszSection, "Col", 0);
    m_fPortion = (float)(int)pApp->GetProfileInt(lpszSection, "Portion", 1000000) / 1000000.0f;
    m_ptFloat.x = (int)pApp->GetProfileInt(lpszSection, "XPos", 0);
    m_ptFloat.y = (int)pApp->GetProfileInt(lpszSection, "YPos", 0);
    m_dwStyle = pApp->GetProfileInt(lpszSection, "Style", 0);
    m_dwExtra = pApp->GetProfileInt(lpszSection, "Extra", 0);
    m_strWindowName = pApp->GetProfileString(lpszSection, "WindowName", "");
    m_arrButtons.RemoveAll();
    if (m_nType == SECBarTypeToolBar) {
        int nButtons = (int)pApp->GetProfileInt(lpszSection, "Buttons", 0);
        CString strButtons = pApp->GetProfileString(lpszSection, "ButtonIds", "");
        const char* p = strButtons;
        for (int i = 0; i < nButtons && *p != '\0'; i++) {
            char* pEnd = nullptr;
            unsigned long id = strtoul(p, &pEnd, 10);
            if (pEnd == p)
                break;
            m_arrButtons.Add((DWORD)id);
            p = *pEnd == ',' ? pEnd + 1 : pEnd;
        }
    }
    if (m_pBarInfoEx != nullptr)
        m_pBarInfoEx->LoadState(lpszSection);
}

SECDockState::SECDockState(SECToolBarManager* pManager) : m_pManager(pManager) {}

SECDockState::~SECDockState()
{
    Clear();
}

void SECDockState::Clear()
{
    for (INT_PTR i = 0; i < m_arrBarInfo.GetSize(); i++)
        delete (SECControlBarInfo*)m_arrBarInfo[i];
    m_arrBarInfo.RemoveAll();
}

void SECDockState::SaveState(LPCTSTR lpszProfileName)
{
    CWinApp* pApp = AfxGetApp();
    // Sections of bars from an earlier, longer state would be read back as bars: they go.
    int nOld = (int)pApp->GetProfileInt(SummarySection(lpszProfileName), "Bars", 0);
    for (int i = (int)m_arrBarInfo.GetSize(); i < nOld; i++)
        pApp->WriteProfileString(BarSection(lpszProfileName, i), nullptr, nullptr);
    for (INT_PTR i = 0; i < m_arrBarInfo.GetSize(); i++)
        ((SECControlBarInfo*)m_arrBarInfo[i])->SaveState(BarSection(lpszProfileName, (int)i));
    pApp->WriteProfileInt(SummarySection(lpszProfileName), "Bars", (int)m_arrBarInfo.GetSize());
}

BOOL SECDockState::LoadState(LPCTSTR lpszProfileName)
{
    Clear();
    CWinApp* pApp = AfxGetApp();
    int nBars = (int)pApp->GetProfileInt(SummarySection(lpszProfileName), "Bars", -1);
    if (nBars < 0)
        return FALSE;
    for (int i = 0; i < nBars; i++) {
        CString strSection = BarSection(lpszProfileName, i);
        SECControlBarInfo* pInfo = new SECControlBarInfo;
        // The extension record is chosen by the bar's id and type, read first.
        pInfo->m_nBarID = pApp->GetProfileInt(strSection, "BarID", 0);
        pInfo->m_nType = (int)pApp->GetProfileInt(strSection, "Type", SECBarTypeOther);
        if (m_pManager != nullptr)
            pInfo->m_pBarInfoEx = m_pManager->CreateControlBarInfoEx(pInfo);
        pInfo->LoadState(strSection);
        if (pInfo->m_nBarID == 0) {
            delete pInfo;
            continue;
        }
        m_arrBarInfo.Add(pInfo);
    }
    return TRUE;
}
