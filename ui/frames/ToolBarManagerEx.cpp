#include "ToolBarManagerEx.h"

#include <QKAccess.h>

#include "FrameHost.h"
#include "FramesResource.h"
#include "MainFrame.h"
#include "ModuleBar.h"

namespace {

SECToolBarManagerEx* g_pManager = nullptr;

// Counters of GetNextAvailableId: user buttons of a separate INI folder first get ids from
// the first range, later ones from the second, and groups made while the post-release
// upgrade runs from the third.
UINT g_nFirstCounter = 47649;
UINT g_nSecondCounter = 48150;
UINT g_nThirdCounter = 48651;
BOOL g_bPostRelease = FALSE;

CString BarName(CWnd* pBar)
{
    CString strText;
    pBar->GetWindowText(strText);
    strText.TrimLeft();
    return strText;
}

} // namespace

SECToolBarManagerEx* QUGetToolBarManager()
{
    return g_pManager;
}

void QUSetToolBarManager(SECToolBarManagerEx* pManager)
{
    g_pManager = pManager;
}

IMPLEMENT_DYNAMIC(SECToolBarManagerEx, SECToolBarManager)

SECToolBarManagerEx::SECToolBarManagerEx()
{
    InitManager(nullptr);
}

SECToolBarManagerEx::SECToolBarManagerEx(CRuntimeClass* pToolBarClass)
{
    InitManager(pToolBarClass);
}

SECToolBarManagerEx::SECToolBarManagerEx(CFrameWnd* pFrame) : SECToolBarManager(pFrame)
{
    InitManager(nullptr);
}

SECToolBarManagerEx::SECToolBarManagerEx(CFrameWnd* pFrame, CRuntimeClass* pToolBarClass)
    : SECToolBarManager(pFrame)
{
    InitManager(pToolBarClass);
}

void SECToolBarManagerEx::InitManager(CRuntimeClass* pToolBarClass)
{
    m_pDefaultToolBarClass = pToolBarClass != nullptr ? pToolBarClass : RUNTIME_CLASS(SECCustomToolBar);
    m_pUsedIds = nullptr;
}

SECToolBarManagerEx::~SECToolBarManagerEx()
{
    for (INT_PTR i = 0; i < m_groups.GetSize(); i++)
        delete m_groups[i];
    m_groups.RemoveAll();
    delete[] m_pUsedIds;
}

void SECToolBarManagerEx::ResetIdCounters()
{
    g_nFirstCounter = 47649;
    g_nSecondCounter = 48150;
    g_nThirdCounter = 48651;
    g_bPostRelease = FALSE;
}

CMainFrame* SECToolBarManagerEx::GetMainFrame() const
{
    return DYNAMIC_DOWNCAST(CMainFrame, m_pFrameWnd);
}

CRuntimeClass* SECToolBarManagerEx::GetToolBarRuntimeClass(UINT nID)
{
    SECDefaultToolBar* pDef = GetDefaultToolBar(nID);
    if (pDef != nullptr && pDef->m_pClass != nullptr)
        return pDef->m_pClass;
    return m_pDefaultToolBarClass;
}

namespace {

BOOL IsModuleBarId(UINT nID)
{
    return nID >= 10000 && nID <= 10100;
}

} // namespace

SECControlBar* SECToolBarManagerEx::DynCreateControlBar(SECControlBarInfo* pInfo)
{
    if (pInfo->m_nType == SECBarTypeOther && IsModuleBarId(pInfo->m_nBarID))
        return DynCreateUIMBar(pInfo);
    return SECToolBarManager::DynCreateControlBar(pInfo);
}

CControlBar* SECToolBarManagerEx::CreateSavedBar(SECControlBarInfo* pInfo)
{
    return SECToolBarManager::CreateSavedBar(pInfo);
}

SECControlBarInfoEx* SECToolBarManagerEx::CreateControlBarInfoEx(SECControlBarInfo* pInfo)
{
    if (pInfo->m_nType == SECBarTypeOther && IsModuleBarId(pInfo->m_nBarID))
        return new CQUIMToolbarInfoEx;
    return SECToolBarManager::CreateControlBarInfoEx(pInfo);
}

CQUIMToolbar* SECToolBarManagerEx::FindUIMBar(int nModuleID)
{
    if (m_pFrameWnd == nullptr)
        return nullptr;
    POSITION pos = m_pFrameWnd->m_listControlBars.GetHeadPosition();
    while (pos != nullptr) {
        CQUIMToolbar* pBar = DYNAMIC_DOWNCAST(CQUIMToolbar, (CObject*)m_pFrameWnd->m_listControlBars.GetNext(pos));
        if (pBar != nullptr && pBar->m_hWnd != nullptr && pBar->GetInternalID() == nModuleID)
            return pBar;
    }
    return nullptr;
}

UINT SECToolBarManagerEx::FindUnusedBarID()
{
    UINT nID = 10000;
    while (m_pFrameWnd != nullptr && m_pFrameWnd->GetControlBar(nID) != nullptr)
        nID++;
    return nID;
}

CQUIMToolbar* SECToolBarManagerEx::CreateUIMBar(UINT nBarID, LPCTSTR lpszTitle, const SIZE* pSize, BOOL bVisible)
{
    CQUIMToolbar* pBar = new CQUIMToolbar;
    if (pSize != nullptr) {
        pBar->SetSizes(*pSize);
        pBar->ApplyFloatingSize();
    }
    if (!pBar->Create(m_pFrameWnd, nBarID, lpszTitle, bVisible)) {
        delete pBar;
        return nullptr;
    }
    if (pSize != nullptr)
        pBar->ApplyFloatingSize();
    return pBar;
}

CQUIMToolbar* SECToolBarManagerEx::GetUIMBar(int nModuleID, LPCTSTR lpszTitle, const SIZE* pSize, BOOL bVisible)
{
    CQUIMToolbar* pBar = FindUIMBar(nModuleID);
    if (pBar != nullptr) {
        if (lpszTitle != nullptr)
            pBar->SetWindowText(lpszTitle);
        pBar->SyncFloatingTitle();
        if (pSize != nullptr)
            pBar->SetSizes(*pSize);
        pBar->UpdateWindow();
        return pBar;
    }
    if (m_pFrameWnd == nullptr || FindUnusedBarID() > 10100)
        return nullptr;
    pBar = CreateUIMBar(FindUnusedBarID(), lpszTitle, pSize, bVisible);
    if (pBar == nullptr)
        return nullptr;
    pBar->SetInternalID(nModuleID);
    SECMDIFrameWnd* pFrame = DYNAMIC_DOWNCAST(SECMDIFrameWnd, m_pFrameWnd);
    if (pFrame != nullptr)
        pFrame->FloatControlBarEx(pBar, CPoint(50, 50), CBRS_ALIGN_TOP);
    else
        m_pFrameWnd->FloatControlBar(pBar, CPoint(50, 50), CBRS_ALIGN_TOP);
    return pBar;
}

CQUIMToolbar* SECToolBarManagerEx::DynCreateUIMBar(SECControlBarInfo* pInfo)
{
    return CreateUIMBar(pInfo->m_nBarID, nullptr, nullptr, FALSE);
}

BOOL SECToolBarManagerEx::OnSizeChange(int nModuleID, int cx, int cy, int nFlag)
{
    if (nFlag == 0)
        return TRUE;
    CQUIMToolbar* pBar = FindUIMBar(nModuleID);
    if (pBar == nullptr)
        return FALSE;
    BOOL bResult = pBar->SetSizes(CSize(cx, cy));
    if (pBar->IsFloating()) {
        pBar->ApplyFloatingSize();
        CFrameWnd* pFloat = pBar->GetDockingFrame();
        if (pFloat != nullptr)
            pFloat->RecalcLayout();
    }
    return bResult;
}

BOOL SECToolBarManagerEx::ShowUIMBar(int nModuleID, BOOL bShow, DWORD dwFlags)
{
    CQUIMToolbar* pBar = FindUIMBar(nModuleID);
    if (pBar == nullptr)
        return FALSE;
    if ((pBar->IsVisible() != 0) == (bShow != 0))
        return TRUE;
    if (dwFlags & 0x10000) {
        // A show the kernel makes for its own reasons does not bring back a bar the user
        // closed, and a hide of it is no choice of the user.
        if (bShow && !pBar->IsShown())
            return TRUE;
        pBar->SetSuppressOnce(1);
    }
    m_pFrameWnd->ShowControlBar(pBar, bShow, FALSE);
    return TRUE;
}

BOOL SECToolBarManagerEx::IsUIMBarVisible(int nModuleID)
{
    CQUIMToolbar* pBar = FindUIMBar(nModuleID);
    return pBar != nullptr && pBar->IsVisible();
}

BOOL SECToolBarManagerEx::IsUIMBarGloballyVisible(int nModuleID)
{
    CQUIMToolbar* pBar = FindUIMBar(nModuleID);
    return pBar != nullptr && pBar->IsShown();
}

BOOL SECToolBarManagerEx::InitChildUIM(int nModuleID, HWND hWnd, DWORD)
{
    CQUIMToolbar* pBar = FindUIMBar(nModuleID);
    if (pBar == nullptr)
        return FALSE;
    pBar->SetChildWindow(hWnd);
    return TRUE;
}

void SECToolBarManagerEx::BarNotify(UINT nBarID, int nCode)
{
    SECToolBarManager::BarNotify(nBarID, nCode);
    if (nCode != 0 && nCode != 1 && nCode != 3)
        return;
    if (m_pFrameWnd == nullptr)
        return;
    CQUCustomToolBar* pBar = DYNAMIC_DOWNCAST(CQUCustomToolBar, m_pFrameWnd->GetControlBar(nBarID));
    if (pBar == nullptr)
        return;
    // A change that a window switch made is no choice of the user.
    if (pBar->GetKindSwitchMarker())
        pBar->ClearKindSwitchMarker();
    else
        pBar->SetShowChoice(nCode == 0);
}

void SECToolBarManagerEx::RemoveEmptyToolbars()
{
    if (m_pFrameWnd == nullptr)
        return;
    for (;;) {
        CQUCustomToolBar* pEmpty = nullptr;
        POSITION pos = m_pFrameWnd->m_listControlBars.GetHeadPosition();
        while (pos != nullptr && pEmpty == nullptr) {
            CControlBar* pBar = (CControlBar*)m_pFrameWnd->m_listControlBars.GetNext(pos);
            CQUCustomToolBar* pToolBar = DYNAMIC_DOWNCAST(CQUCustomToolBar, pBar);
            if (pToolBar != nullptr && pToolBar->m_hWnd != nullptr && pToolBar->GetBtnCount() == 0)
                pEmpty = pToolBar;
        }
        if (pEmpty == nullptr)
            return;
        pEmpty->DestroyWindow();
    }
}

CQUCustomToolBar* SECToolBarManagerEx::FindTbarByName(LPCTSTR lpszName)
{
    if (lpszName == nullptr || *lpszName == '\0' || m_pFrameWnd == nullptr)
        return nullptr;
    POSITION pos = m_pFrameWnd->m_listControlBars.GetHeadPosition();
    while (pos != nullptr) {
        CQUCustomToolBar* pBar =
            DYNAMIC_DOWNCAST(CQUCustomToolBar, (CObject*)m_pFrameWnd->m_listControlBars.GetNext(pos));
        if (pBar != nullptr && pBar->m_hWnd != nullptr && BarName(pBar).CompareNoCase(lpszName) == 0)
            return pBar;
    }
    return nullptr;
}

BOOL SECToolBarManagerEx::TbarExists(LPCTSTR lpszName)
{
    return FindTbarByName(lpszName) != nullptr;
}

BOOL SECToolBarManagerEx::TbarIsOpen(LPCTSTR lpszName)
{
    CQUCustomToolBar* pBar = FindTbarByName(lpszName);
    return pBar != nullptr && pBar->IsVisible();
}

BOOL SECToolBarManagerEx::OpenTbar(LPCTSTR lpszName, BOOL bShow)
{
    CQUCustomToolBar* pBar = FindTbarByName(lpszName);
    if (pBar == nullptr)
        return FALSE;
    m_pFrameWnd->ShowControlBar(pBar, bShow, FALSE);
    m_pFrameWnd->RecalcLayout();
    return TRUE;
}

BOOL SECToolBarManagerEx::DeleteTbar(LPCTSTR lpszName)
{
    CQUCustomToolBar* pBar = FindTbarByName(lpszName);
    if (pBar == nullptr)
        return FALSE;
    CString strName = BarName(pBar);
    pBar->DestroyWindow();
    CString strKey;
    QUGetFrameHost()->GetToolbarRegKeyStringLong(strKey);
    return qkuDeleteRegKeyByStringValue(HKEY_CURRENT_USER, strKey, "WindowName", strName);
}

BOOL SECToolBarManagerEx::GetTbarsNames(CString& strNames)
{
    strNames.Empty();
    if (m_pFrameWnd == nullptr)
        return TRUE;
    POSITION pos = m_pFrameWnd->m_listControlBars.GetHeadPosition();
    while (pos != nullptr) {
        CQUCustomToolBar* pBar =
            DYNAMIC_DOWNCAST(CQUCustomToolBar, (CObject*)m_pFrameWnd->m_listControlBars.GetNext(pos));
        if (pBar != nullptr && pBar->m_hWnd != nullptr)
            strNames += BarName(pBar) + ", ";
    }
    return TRUE;
}

BOOL SECToolBarManagerEx::MakeUserDefTbar(LPCTSTR lpszGroup, LPCTSTR lpszToolBar, int nCount, int nFirst)
{
    if (lpszGroup == nullptr || *lpszGroup == '\0')
        return FALSE;
    int nGroup = GetGroupWithName(lpszGroup);
    if (nGroup < 0)
        return FALSE;
    CQUUserDefButtons* pGroup = m_groups[nGroup];
    CString strTitle = lpszToolBar != nullptr && *lpszToolBar != '\0' ? CString(lpszToolBar) : pGroup->GetName();
    SECCustomToolBar* pBar = CreateUserToolBar(strTitle);
    if (pBar == nullptr)
        return FALSE;
    int nButtons = pGroup->GetButtonCount();
    if (nFirst < 0)
        nFirst = 0;
    if (nCount == -1)
        nCount = nButtons;
    else if (nFirst + nCount > nButtons)
        nCount = nButtons - nFirst;
    for (int i = nFirst; i < nFirst + nCount; i++) {
        CQUButtonAttribs* pButton = pGroup->GetButton(i);
        if (pButton == nullptr)
            continue;
        SECStdBtn* pBtn = pBar->CreateButton(pButton->Id, pBar);
        if (pBtn != nullptr)
            pBar->AddButton(pBar->GetBtnCount(), pBtn, FALSE);
    }
    CWnd* pParent = pBar->GetParent();
    if (pParent == nullptr || !pParent->IsKindOf(RUNTIME_CLASS(CFrameWnd)))
        return FALSE;
    if (pParent->IsKindOf(RUNTIME_CLASS(SECMDIFrameWnd)))
        ((SECMDIFrameWnd*)pParent)->FloatControlBarEx(pBar, CPoint(712, 195), CBRS_ALIGN_TOP);
    else
        ((CFrameWnd*)pParent)->FloatControlBar(pBar, CPoint(712, 195), CBRS_ALIGN_TOP);
    return TRUE;
}

/////////////////////////////////////////////////////////////////////////////
// User-defined button groups

BOOL SECToolBarManagerEx::IsPostRelease60FirstTime()
{
    CQUFrameHost* pHost = QUGetFrameHost();
    pHost->BeginRegistryAccess("InstallState", FALSE, FALSE);
    CWinApp* pApp = AfxGetApp();
    BOOL bFirst = pApp->GetProfileString("RelToSR2", "bFirstTime", "") == "1";
    if (bFirst)
        pApp->WriteProfileString("RelToSR2", "bFirstTime", "0");
    pHost->EndRegistryAccess();
    return bFirst;
}

BOOL SECToolBarManagerEx::AddUserDefBtnsGroups()
{
    g_bPostRelease = IsPostRelease60FirstTime();
    delete[] m_pUsedIds;
    m_pUsedIds = new UINT[UsedIdCount]();
    AddUserDefBtnsGroups1(QUUserSettingsFile(), FALSE);
    if (!qkfxIsIniPathEQProgPath())
        AddUserDefBtnsGroups1(QUFolderOfKind(1) + "Quorix.ini", TRUE);
    g_bPostRelease = FALSE;
    return TRUE;
}

BOOL SECToolBarManagerEx::AddUserDefBtnsGroups1(LPCTSTR lpszFile, BOOL bSystem)
{
    char szKeys[2047];
    DWORD nRead = ::GetPrivateProfileStringA("UserDefinedButtons", nullptr, "", szKeys, sizeof szKeys, lpszFile);
    if (nRead == 0)
        return FALSE;
    ScenKeysUserDefined(szKeys, lpszFile, "UserDefinedButtons", TRUE, bSystem);
    ScenKeysUserDefined(szKeys, lpszFile, "UserDefinedButtons", FALSE, bSystem);
    return TRUE;
}

void SECToolBarManagerEx::ScenKeysUserDefined(const char* pszKeys, LPCTSTR lpszFile, LPCTSTR lpszSection,
                                              BOOL bIdsPass, BOOL bSystem)
{
    int nIndex = 0;
    for (const char* pszKey = pszKeys; *pszKey != '\0'; pszKey += strlen(pszKey) + 1) {
        char szValue[200] = "";
        ::GetPrivateProfileStringA(lpszSection, pszKey, "", szValue, sizeof szValue, lpszFile);
        if (szValue[0] == '\0')
            continue;
        if (bIdsPass)
            nIndex = GetAllUserBtnsUsedIds(szValue, pszKey, nIndex, bSystem);
        else
            AddUserDefButtons(szValue, pszKey, bSystem, "", 0, CQUUserDefButtons::LoadStartUp);
    }
}

int SECToolBarManagerEx::GetAllUserBtnsUsedIds(LPCTSTR lpszIniFile, LPCTSTR lpszKey, int nFirstIndex, BOOL bSystem)
{
    CQUFrameHost* pHost = QUGetFrameHost();
    pHost->BeginRegistryAccess("UserGroupsBtnsIds", FALSE, TRUE);
    CWinApp* pApp = AfxGetApp();
    // The group file, in the folder of its kind when it is named without one.
    CQUUserDefButtons probe;
    probe.Init(lpszIniFile, lpszKey, bSystem, "", 0);
    CString strFile = probe.GetIniPath();
    int n = (int)::GetPrivateProfileIntA("Common", "ButtonCount", 0, strFile);
    int nIndex = nFirstIndex;
    for (int i = 1; i <= n; i++) {
        CString strSection = CQUUserDefButtons::ButtonSection(i - 1);
        UINT nID = 0;
        if (!bSystem)
            nID = pApp->GetProfileInt(lpszKey, strSection, 0);
        if (nID == 0)
            nID = ::GetPrivateProfileIntA(strSection, "Id", 0, strFile);
        if (nID == 0)
            continue;
        if (IsUsedId(nID)) {
            // Another group has this id already: this button will get a fresh one.
            if (!bSystem)
                pApp->WriteProfileInt(lpszKey, strSection, 0);
            ::WritePrivateProfileStringA(strSection, "Id", "0", strFile);
        } else {
            int nSlot = nFirstIndex + i - 1;
            if (nSlot < UsedIdCount)
                m_pUsedIds[nSlot] = nID;
        }
        nIndex = nFirstIndex + i;
    }
    pHost->EndRegistryAccess();
    return n > 0 ? nFirstIndex + n : nIndex;
}

BOOL SECToolBarManagerEx::AddUserDefButtons(LPCTSTR lpszIniFile, LPCTSTR lpszName, BOOL bSystem,
                                            LPCTSTR lpszBitmapFile, int nCount, int nMode)
{
    if (m_pUsedIds == nullptr)
        m_pUsedIds = new UINT[UsedIdCount]();
    CQUUserDefButtons* pGroup = new CQUUserDefButtons;
    pGroup->m_pManager = this;
    pGroup->Init(lpszIniFile, lpszName, bSystem, lpszBitmapFile, nCount);
    if (!pGroup->Load(nMode)) {
        delete pGroup;
        return FALSE;
    }
    int nButtons = pGroup->GetButtonCount();
    CArray<UINT, UINT> ids;
    CArray<int, int> images;
    BOOL bOutOfIds = FALSE;
    for (int i = 0; i < nButtons; i++) {
        UINT nID = 0;
        if (nMode == CQUUserDefButtons::LoadStartUp) {
            nID = pGroup->ReadButtonId(i);
            if (nID == 0 || nID < FirstUserId || nID > LastUserId) {
                if (bSystem) {
                    delete pGroup;
                    return FALSE;
                }
                nID = 0;
            }
        }
        if (nID == 0 && !bOutOfIds) {
            nID = GetNextAvailableId();
            bOutOfIds = nID == 0;
        }
        // A group is shortened to the buttons that got an id.
        if (nID == 0)
            break;
        AddToUsedIds(nID);
        ids.Add(nID);
        images.Add(pGroup->ReadButtonImage(i));
    }
    if (ids.GetSize() == 0) {
        delete pGroup;
        return FALSE;
    }
    if (ids.GetSize() < nButtons)
        pGroup->Init(lpszIniFile, pGroup->GetName(), bSystem, pGroup->GetBitmapPath(), (int)ids.GetSize());
    // The manager's store keeps its own copy of the group bitmap.
    HBITMAP hbm = (HBITMAP)::CopyImage(pGroup->GetBitmap().m_hObject, IMAGE_BITMAP, 0, 0, 0);
    BOOL bResult = AddButtonBitmap(hbm, ids.GetData(), images.GetData(), (int)ids.GetSize(), ids[0]);
    pGroup->CreateButtons(ids.GetData());
    pGroup->SetImages(images.GetData());
    m_groups.Add(pGroup);
    pGroup->RegisterImages(this);
    pGroup->WriteDefinition(nMode);
    pGroup->WriteIds(TRUE, !bSystem);
    return bResult;
}

void SECToolBarManagerEx::OnSysColorChange()
{
    SECToolBarManager::OnSysColorChange();
    for (INT_PTR i = 0; i < m_groups.GetSize(); i++) {
        CQUUserDefButtons* pGroup = m_groups[i];
        CBitmap bitmap;
        if (pGroup->GetButtonCount() > 0 && LoadSysColorBitmap(pGroup->GetBitmapPath(), bitmap))
            ReplaceBitmap(pGroup->GetFirstId(), (HBITMAP)bitmap.Detach());
    }
}

int SECToolBarManagerEx::GetCurrentButtonGroup(UINT nID) const
{
    for (INT_PTR i = m_groups.GetSize() - 1; i >= 0; i--)
        if (m_groups[i]->FindButton(nID) != nullptr)
            return (int)i;
    return -1;
}

int SECToolBarManagerEx::GetGroupWithName(LPCTSTR lpszName) const
{
    for (INT_PTR i = 0; i < m_groups.GetSize(); i++)
        if (m_groups[i]->GetName().CompareNoCase(lpszName) == 0)
            return (int)i;
    return -1;
}

CQUUserDefButtons* SECToolBarManagerEx::GetGroupWithIniFile(LPCTSTR lpszFile) const
{
    CQUUserDefButtons probe;
    probe.Init(lpszFile, "", FALSE, "", 0);
    for (INT_PTR i = 0; i < m_groups.GetSize(); i++)
        if (m_groups[i]->GetIniPath().CompareNoCase(probe.GetIniPath()) == 0)
            return m_groups[i];
    return nullptr;
}

UINT SECToolBarManagerEx::GetNextAvailableId()
{
    if (!qkfxIsIniPathEQProgPath() && g_nFirstCounter <= 48149) {
        while (IsUsedId(g_nFirstCounter))
            g_nFirstCounter++;
        return g_nFirstCounter++;
    }
    if (g_nSecondCounter > (UINT)LastUserId) {
        CString strText, strCaption;
        strText.LoadString(IDS_BG_OUT_OF_IDS);
        strCaption.LoadString(IDS_BG_CAPTION);
        ::MessageBoxA(nullptr, strText, strCaption, MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
        return 0;
    }
    if (g_bPostRelease) {
        while (IsUsedId(g_nThirdCounter))
            g_nThirdCounter++;
        return g_nThirdCounter++;
    }
    while (IsUsedId(g_nSecondCounter))
        g_nSecondCounter++;
    if (g_nSecondCounter > (UINT)LastUserId)
        return GetNextAvailableId();
    return g_nSecondCounter++;
}

BOOL SECToolBarManagerEx::IsUsedId(UINT nID) const
{
    if (m_pUsedIds == nullptr || nID == 0)
        return FALSE;
    for (int i = 0; i < UsedIdCount; i++)
        if (m_pUsedIds[i] == nID)
            return TRUE;
    return FALSE;
}

void SECToolBarManagerEx::AddToUsedIds(UINT nID)
{
    if (m_pUsedIds == nullptr)
        m_pUsedIds = new UINT[UsedIdCount]();
    if (IsUsedId(nID))
        return;
    for (int i = 0; i < UsedIdCount; i++)
        if (m_pUsedIds[i] == 0) {
            m_pUsedIds[i] = nID;
            return;
        }
}

void SECToolBarManagerEx::RemoveFromUsedIds(UINT nID)
{
    if (m_pUsedIds == nullptr)
        return;
    for (int i = 0; i < UsedIdCount; i++)
        if (m_pUsedIds[i] == nID) {
            m_pUsedIds[i] = 0;
            return;
        }
}
