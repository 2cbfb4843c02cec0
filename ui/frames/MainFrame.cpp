#include "MainFrame.h"

#include <QKAccess.h>
#include <QKData.h>
#include <QKScript.h>
#include <QKSysMethod.h>
#include <afxdisp.h>
#include <shellapi.h>

#include <algorithm>

#include "FrameHost.h"
#include "FramesResource.h"
#include "ButtonGroupsPage.h"
#include "ToolBarsPage.h"
#include "WindowListDlg.h"

namespace {

// The default toolbars, in definition order. The toolbar resources of the same ids carry
// the images; two of them list their buttons a little differently (see Frames.rc).
const UINT kButtons555[] = {34011, 34006, 34024, 34007, 34008, 34010, 34009, 34025, 34039, 0, 33996, 34026, 33994, 34048, 34051, 0, 34050, 34037, 0, 33053, 0, 33052, 33051, 0, 33047, 0, 34115, 34121, 32992, 0, 36501};
const UINT kButtons556[] = {57635, 57634, 57637};
const UINT kButtons605[] = {33337, 33338, 33027, 0, 36321, 0, 33042, 33043, 33044, 0, 36326, 36325, 36327, 33041};
const UINT kButtons560[] = {33249, 33248, 33250, 33257, 33255, 33285, 33259, 33291, 33260, 33284, 33251, 33252, 33267, 33287};
const UINT kButtons561[] = {33330, 33319, 33320, 33315, 33314, 33333, 33288, 33290, 33289, 33293, 33335, 33336, 33258, 33256, 33253, 33254, 33317, 33316, 33318, 33261, 33292, 33266, 33295, 33296, 33322, 33321, 33323, 33324, 33313};
const UINT kButtons625[] = {35568, 35569, 0, 35570, 35571, 35572, 35573, 0, 35574, 35575, 35576, 35577, 35578, 35579, 35580, 35581, 35582, 35583};
const UINT kButtons621[] = {35552, 35553, 35554, 35555, 35556, 35557, 35558, 35559, 35560, 35561, 35562};
const UINT kButtons606[] = {36434, 36435, 36436, 0, 36433, 36444, 36445, 36446};
const UINT kButtons546[] = {38757, 38754, 38759, 38756, 38758, 38755, 0, 38769, 38771, 38772, 38770};
const UINT kButtons607[] = {33045, 33046};
const UINT kButtons620[] = {35537, 35536, 35542, 0, 35540, 0, 35538, 35539, 0, 35541};
const UINT kButtons549[] = {34976, 34977, 34978, 34979, 34980, 34981, 34982, 34983, 34984, 34985, 34986, 34987};
const UINT kButtons558[] = {35488, 35489, 0, 35490, 35491, 0, 35492, 35493, 0, 35494, 35495, 0, 35496, 35497, 0, 35498, 35499, 0, 35500, 35501, 0, 35504, 35505};
const UINT kButtons559[] = {35520, 35521, 0, 35523, 35522, 0, 35524, 35525};

struct DefaultToolBar
{
    BOOL bVisible;
    UINT nID;
    UINT nTitle;
    const UINT* pButtons;
    UINT nCount;
};

#define QU_TOOLBAR(visible, id, title) {visible, id, title, kButtons##title, (UINT)_countof(kButtons##title)}
const DefaultToolBar kDefaultToolBars[] = {
    QU_TOOLBAR(TRUE, 59400, 555),  QU_TOOLBAR(FALSE, 59392, 556), QU_TOOLBAR(FALSE, 59397, 605),
    QU_TOOLBAR(FALSE, 59404, 560), QU_TOOLBAR(FALSE, 59398, 561), QU_TOOLBAR(FALSE, 59410, 625),
    QU_TOOLBAR(FALSE, 59409, 621), QU_TOOLBAR(FALSE, 59402, 606), QU_TOOLBAR(FALSE, 59403, 546),
    QU_TOOLBAR(FALSE, 59399, 607), QU_TOOLBAR(FALSE, 59408, 620), QU_TOOLBAR(FALSE, 59401, 549),
    QU_TOOLBAR(FALSE, 59406, 558), QU_TOOLBAR(FALSE, 59405, 559),
};
#undef QU_TOOLBAR

// Toolbar resources whose images the menus show, first the one that fixes the image size.
const UINT kMenuImageToolBars[] = {560, 561, 625, 621, 559, 556, 605, 607, 620, 558, 555, 549, 606, 546};
// Toolbar resources the manager loads before the user-defined groups; 625 after them.
const UINT kManagerToolBars[] = {560, 561, 559, 556, 605, 607, 558, 555, 549, 606, 546, 620, 621};

const UINT kIndicators[] = {0, 0, 0, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};

const DWORD kFileIdAbsent = 598315474;   // 0x23A991D2: no arrangement file has keyed itself
const DWORD kFileIdKeyed = 1794946424;   // 0x6AFCB578

BOOL IsUserButton(UINT nID)
{
    return nID >= ID_USER_BUTTON_FIRST && nID <= ID_USER_BUTTON_LAST;
}

} // namespace

CMainFrame* get_main_frame()
{
    return DYNAMIC_DOWNCAST(CMainFrame, AfxGetMainWnd());
}

IMPLEMENT_DYNAMIC(CMainFrame, CSpawnMDIFrameWnd)

BEGIN_MESSAGE_MAP(CMainFrame, CSpawnMDIFrameWnd)
    ON_WM_CREATE()
    ON_WM_CLOSE()
    ON_WM_QUERYENDSESSION()
    ON_WM_SYSCOMMAND()
    ON_WM_NCRBUTTONDOWN()
    ON_WM_NCHITTEST()
    ON_WM_DROPFILES()
    ON_WM_DEVMODECHANGE()
    ON_WM_WININICHANGE()
    ON_COMMAND(ID_VIEW_SELECT_TOOLBARS, OnViewToolbar)
    ON_UPDATE_COMMAND_UI(ID_VIEW_SELECT_TOOLBARS, OnUncheckUI)
    ON_COMMAND_RANGE(40992, 41032, on_command_tree)
    ON_COMMAND_RANGE(41036, 41039, on_command_tree)
    ON_COMMAND_RANGE(41040, 41088, on_command_list)
    ON_COMMAND_RANGE(41263, 41327, on_command_list)
    ON_COMMAND_RANGE(28672, 28927, OnFolderList)
    ON_UPDATE_COMMAND_UI(28672, OnUpdateFolderListUI)
    ON_COMMAND(ID_CM_SPACER_RESET_SIZE, OnCmSpacerResetSize)
    ON_COMMAND(ID_CM_SPACER_REMOVE, OnCmSpacerRemove)
    ON_COMMAND_RANGE(ID_USER_BUTTON_FIRST, ID_USER_BUTTON_LAST, OnUserDefinedButton)
    ON_UPDATE_COMMAND_UI_RANGE(ID_USER_BUTTON_FIRST, ID_USER_BUTTON_LAST, OnUserDefinedButtonsUpdate)
    ON_UPDATE_COMMAND_UI_RANGE(33008, 33087, OnGeneralToolsUpdate)
    ON_UPDATE_COMMAND_UI_RANGE(33232, 33338, OnGeneralToolsUpdate)
    ON_UPDATE_COMMAND_UI_RANGE(33993, 34089, OnGeneralToolsUpdate)
    ON_UPDATE_COMMAND_UI_RANGE(34976, 34987, OnGeneralToolsUpdate)
    ON_UPDATE_COMMAND_UI_RANGE(35488, 35525, OnGeneralToolsUpdate)
    ON_UPDATE_COMMAND_UI_RANGE(35536, 35542, OnGeneralToolsUpdate)
    ON_UPDATE_COMMAND_UI_RANGE(35552, 35562, OnGeneralToolsUpdate)
    ON_UPDATE_COMMAND_UI_RANGE(35567, 35584, OnGeneralToolsUpdate)
    ON_UPDATE_COMMAND_UI_RANGE(36321, 36335, OnGeneralToolsUpdate)
    ON_UPDATE_COMMAND_UI_RANGE(36432, 36511, OnGeneralToolsUpdate)
    ON_UPDATE_COMMAND_UI_RANGE(38752, 38799, OnGeneralToolsUpdate)
    ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTA, 0, 0xFFFF, OnToolTipText)
    ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTW, 0, 0xFFFF, OnToolTipText)
END_MESSAGE_MAP()

CMainFrame::CMainFrame() : m_nSaveToolbars(1)
{
    m_pToolBarManager = new SECToolBarManagerEx(this, RUNTIME_CLASS(CQUCustomToolBar));
    m_pControlBarManager = m_pToolBarManager;
    // The menu stands on a bar of its own, which docks and floats like the toolbars.
    m_pMenuBar = new SECMenuBar;
    QUSetToolBarManager(m_pToolBarManager);

    HINSTANCE hInst = QUFramesResourceModule();
    m_spawn.LoadFirstToolbar(kMenuImageToolBars[0], hInst);
    for (size_t i = 1; i < _countof(kMenuImageToolBars); i++)
        m_spawn.AddToolbar(kMenuImageToolBars[i], hInst);
    // The main program's own toolbar, when it has one.
    m_spawn.AddToolbar(IDR_MAINFRAME_TOOLBAR, AfxGetResourceHandle());
    m_spawn.SortImages();
}

CMainFrame::~CMainFrame()
{
    delete m_pToolBarManager;
    m_pControlBarManager = nullptr;
    if (QUGetToolBarManager() == m_pToolBarManager)
        QUSetToolBarManager(nullptr);
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.style &= ~FWS_ADDTOTITLE;
    return CSpawnMDIFrameWnd::PreCreateWindow(cs);
}

void CMainFrame::EnableDocking(DWORD dwDockStyle)
{
    if (m_pFloatingFrameClass == nullptr)
        m_pFloatingFrameClass = RUNTIME_CLASS(SECMiniDockFrameWnd);
    static const struct { UINT nID; DWORD dwStyle; } kDockBars[] = {
        {AFX_IDW_DOCKBAR_TOP, CBRS_TOP},
        {AFX_IDW_DOCKBAR_BOTTOM, CBRS_BOTTOM},
        {AFX_IDW_DOCKBAR_LEFT, CBRS_LEFT},
        {AFX_IDW_DOCKBAR_RIGHT, CBRS_RIGHT},
    };
    for (const auto& d : kDockBars) {
        if (!(dwDockStyle & d.dwStyle & CBRS_ALIGN_ANY) || GetControlBar(d.nID) != nullptr)
            continue;
        SECDockBarEx* pDock = d.nID == AFX_IDW_DOCKBAR_TOP ? new CQUDockBar : new SECDockBarEx;
        if (!pDock->Create(this, d.dwStyle | WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, d.nID)) {
            delete pDock;
            AfxThrowResourceException();
        }
    }
}

int CMainFrame::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CSpawnMDIFrameWnd::OnCreate(lpcs) == -1)
        return -1;
    m_pFloatingFrameClass = RUNTIME_CLASS(CQUMiniDockFrameWnd);
    if (!m_wndStatusBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, AFX_IDW_STATUS_BAR) ||
        !m_wndStatusBar.SetIndicators(kIndicators, _countof(kIndicators)))
        return -1;
    m_wndStatusBar.SetPaneInfo(1, 0, 0, 30);
    m_wndStatusBar.SetPaneInfo(2, 0, 0, 30);
    InitToolbars();
    EnableDocking(CBRS_ALIGN_ANY);
    if (!m_wndExplorer.Init(this))
        return -1;
    if (!m_wndDataDisplay.Init(this, IDW_DATA_DISPLAY))
        return -1;
    if (!m_wndOutputLog.Init(this, IDS_RESULTS_LOG, CBRS_ALIGN_ANY))
        return -1;
    if (!m_wndSpacer.CreateSpacer(this, IDW_SPACER, TRUE))
        return -1;

    // The defaults first, then the saved arrangement over them.
    m_pToolBarManager->SetDefaultDockState();
    CQUFrameHost* pHost = QUGetFrameHost();
    pHost->BeforeToolbarConfSaveLoad(TRUE);
    LoadBarState("Tlb");
    m_pToolBarManager->LoadState("Tlb");
    pHost->AfterToolbarConfSaveLoad(TRUE);
    m_pToolBarManager->RemoveEmptyToolbars();

    pHost->BeginRegistryAccess("InstallState", FALSE, FALSE);
    AfxGetApp()->WriteProfileString("Upgrade60To61", "bFirstTime", "0");
    pHost->EndRegistryAccess();
    return 0;
}

int CMainFrame::InitToolbars()
{
    InitToolbarResources();
    static const SECBtnMapEntry kExtraButtons[] = {
        {RUNTIME_CLASS(SECStdBtn), 34976, 65542, {0, 0, 0, 0}},
        {RUNTIME_CLASS(SECStdBtn), 34977, 2, {0, 0, 0, 0}},
        {RUNTIME_CLASS(SECStdBtn), 34978, 2, {0, 0, 0, 0}},
        {RUNTIME_CLASS(SECStdBtn), 34979, 2, {0, 0, 0, 0}},
        {RUNTIME_CLASS(SECStdBtn), 34980, 2, {0, 0, 0, 0}},
        {RUNTIME_CLASS(SECStdBtn), 34981, 2, {0, 0, 0, 0}},
        {RUNTIME_CLASS(SECStdBtn), 34982, 2, {0, 0, 0, 0}},
        {RUNTIME_CLASS(SECStdBtn), 34983, 2, {0, 0, 0, 0}},
        {RUNTIME_CLASS(SECStdBtn), 34984, 2, {0, 0, 0, 0}},
        {RUNTIME_CLASS(SECStdBtn), 34985, 2, {0, 0, 0, 0}},
        {RUNTIME_CLASS(SECStdBtn), 34986, 2, {0, 0, 0, 0}},
        {RUNTIME_CLASS(SECStdBtn), 34987, 2, {0, 0, 0, 0}},
        {RUNTIME_CLASS(CQUComboBtn), 35562, 0x10000000, {0x00210102, 0x00280028, 120, IDC_ROTATION_ANGLE}},
    };
    m_pToolBarManager->SetButtonMap(kExtraButtons, _countof(kExtraButtons));
    DefineDefaultToolbars();
    return 1;
}

int CMainFrame::InitToolbarResources()
{
    HINSTANCE hInst = QUFramesResourceModule();
    for (UINT nID : kManagerToolBars)
        m_pToolBarManager->LoadToolBarResource(nID, hInst);
    m_pToolBarManager->AddUserDefBtnsGroups();
    m_pToolBarManager->LoadToolBarResource(625, hInst);
    return 1;
}

int CMainFrame::DefineDefaultToolbars()
{
    // The Tools toolbar carries the tool box that opens the tools' options.
    for (const DefaultToolBar& t : kDefaultToolBars)
        m_pToolBarManager->DefineDefaultToolBar(t.bVisible, t.nID, t.nTitle, t.nCount, t.pButtons,
                                                t.nID == 59401 ? RUNTIME_CLASS(CQUCustomTools) : nullptr,
                                                CBRS_ALIGN_ANY, AFX_IDW_DOCKBAR_TOP, 0, 1);
    return 1;
}

int CMainFrame::DefineBtnGroupsForTlbCommandsPage(SECToolBarCmdPageEx* pPage)
{
    static const UINT kOrder[] = {555, 556, 605, 561, 560, 625, 621, 606, 546, 607, 620, 549, 558, 559};
    for (UINT nTitle : kOrder)
        for (const DefaultToolBar& t : kDefaultToolBars)
            if (t.nTitle == nTitle)
                pPage->DefineBtnGroup(t.nTitle, (int)t.nCount, t.pButtons);
    pPage->DefineUserDefBtnGroups();
    return 1;
}

void CMainFrame::GetDockState(SECDockState& state)
{
    CSpawnMDIFrameWnd::GetDockState(state);
    // A toolbar's show choice travels in its record's extra word.
    for (INT_PTR i = 0; i < state.m_arrBarInfo.GetSize(); i++) {
        SECControlBarInfo* pInfo = (SECControlBarInfo*)state.m_arrBarInfo[i];
        CQUCustomToolBar* pBar = DYNAMIC_DOWNCAST(CQUCustomToolBar, GetControlBar(pInfo->m_nBarID));
        if (pBar != nullptr)
            pInfo->m_dwExtra = pBar->GetShowChoice();
    }
}

void CMainFrame::on_command_tree(UINT nID)
{
    m_wndExplorer.RouteCommand(nID);
}

void CMainFrame::on_command_list(UINT nID)
{
    m_wndExplorer.RouteCommand(nID);
}

void CMainFrame::OnFolderList(UINT nID)
{
    m_wndExplorer.OnFolderMenu(nID);
}

void CMainFrame::OnUpdateFolderListUI(CCmdUI* pCmdUI)
{
    m_wndExplorer.UpdateFolderMenu(pCmdUI);
}

void CMainFrame::SaveBarState(LPCTSTR lpszProfileName)
{
    m_wndExplorer.SaveExplorerState();
    SECDockState state(m_pToolBarManager);
    GetDockState(state);
    state.SaveState(lpszProfileName);
}

CQUCustomToolBar* CMainFrame::GetToolBar(UINT nID)
{
    POSITION pos = m_listControlBars.GetHeadPosition();
    while (pos != nullptr) {
        CQUCustomToolBar* pBar = DYNAMIC_DOWNCAST(CQUCustomToolBar, (CObject*)m_listControlBars.GetNext(pos));
        if (pBar != nullptr && pBar->m_hWnd != nullptr && (UINT)pBar->GetDlgCtrlID() == nID)
            return pBar;
    }
    return nullptr;
}

BOOL CMainFrame::ShowToolBar(UINT nID, BOOL bShow, BOOL bDelay)
{
    CQUCustomToolBar* pBar = GetToolBar(nID);
    if (pBar != nullptr && (pBar->IsVisible() != 0) != (bShow != 0))
        ShowControlBar(pBar, bShow, bDelay);
    return TRUE;
}

BOOL CMainFrame::SetStatusbarText(LPCTSTR lpszText, BOOL bUpdate)
{
    CWnd* pBar = GetMessageBar();
    if (pBar == nullptr)
        return FALSE;
    pBar->SetWindowText(lpszText != nullptr ? lpszText : "");
    if (bUpdate)
        pBar->UpdateWindow();
    return TRUE;
}

void CMainFrame::SetPaneSize(int nPane, CString& strText)
{
    HDC hdc = ::GetDC(m_wndStatusBar.m_hWnd);
    HFONT hFont = (HFONT)m_wndStatusBar.SendMessage(WM_GETFONT);
    HGDIOBJ hOld = hFont != nullptr ? ::SelectObject(hdc, hFont) : nullptr;
    CRect rect(0, 0, 0, 0);
    ::DrawTextA(hdc, strText, -1, &rect, DT_CALCRECT);
    rect.NormalizeRect();
    if (hOld != nullptr)
        ::SelectObject(hdc, hOld);
    ::ReleaseDC(m_wndStatusBar.m_hWnd, hdc);
    SetPaneSize(nPane, rect.Width());
}

void CMainFrame::SetPaneSize(int nPane, int nWidth)
{
    m_wndStatusBar.SetPaneInfo(nPane, 0, 0, nWidth);
}

BOOL CMainFrame::SetStatusPaneText(int nPane, LPCTSTR lpszText)
{
    return m_wndStatusBar.SetPaneText(nPane, lpszText, TRUE);
}

CChildFrame* CMainFrame::get_active_childframe(int* pbMaximized)
{
    BOOL bMaximized = FALSE;
    CMDIChildWnd* pChild = MDIGetActive(&bMaximized);
    if (pbMaximized != nullptr)
        *pbMaximized = bMaximized;
    return DYNAMIC_DOWNCAST(CChildFrame, pChild);
}

BOOL CMainFrame::set_menu_according_to_active_child()
{
    CChildFrame* pChild = get_active_childframe(nullptr);
    if (pChild == nullptr)
        return FALSE;
    HMENU hMenu = pChild->get_shared_menu();
    ::SendMessage(m_hWndMDIClient, WM_MDISETMENU, (WPARAM)hMenu, (LPARAM)GetWindowMenuPopup(hMenu));
    ::DrawMenuBar(m_hWnd);
    return TRUE;
}

void CMainFrame::UnmaximizeActiveChild()
{
    BOOL bMaximized = FALSE;
    CMDIChildWnd* pChild = MDIGetActive(&bMaximized);
    if (pChild != nullptr && bMaximized)
        ::SendMessage(m_hWndMDIClient, WM_MDIRESTORE, (WPARAM)pChild->m_hWnd, 0);
}

void CMainFrame::ShowToolBarsOfChildFrame(CChildFrame* pChild)
{
    WORD wBits = pChild != nullptr ? pChild->get_wnd_template_bits() : (WORD)QU_KIND_NONE;
    POSITION pos = m_listControlBars.GetHeadPosition();
    while (pos != nullptr) {
        CQUCustomToolBar* pBar = DYNAMIC_DOWNCAST(CQUCustomToolBar, (CObject*)m_listControlBars.GetNext(pos));
        if (pBar != nullptr && pBar->m_hWnd != nullptr)
            pBar->ShowForWindowKind(wBits, this);
    }
}

BOOL CMainFrame::DataDisplayShow(BOOL bShow)
{
    if (m_wndDataDisplay.IsSetShow(bShow))
        ShowControlBar(&m_wndDataDisplay, bShow, FALSE);
    return TRUE;
}

BOOL CMainFrame::DataDisplayText(LPCTSTR lpszText)
{
    m_wndDataDisplay.DisplayText(lpszText);
    return TRUE;
}

BOOL CMainFrame::OutputLogToggle()
{
    ShowControlBar(&m_wndOutputLog, !m_wndOutputLog.IsVisible(), FALSE);
    return TRUE;
}

BOOL CMainFrame::TlbarsArrangementFilePresent()
{
    return AfxGetApp()->GetProfileInt("KeyTlbSection", "FileID", (int)kFileIdAbsent) != kFileIdAbsent;
}

BOOL CMainFrame::KeyTlbarsArrangement()
{
    return AfxGetApp()->WriteProfileInt("KeyTlbSection", "FileID", (int)kFileIdKeyed);
}

BOOL CMainFrame::IsRegistryWritable()
{
    CWinApp* pApp = AfxGetApp();
    BOOL bWritable = pApp->WriteProfileInt("KeyTlbSection", "TestWritable", 10);
    if (bWritable)
        pApp->WriteProfileString("KeyTlbSection", "TestWritable", nullptr);
    return bWritable;
}

long CMainFrame::GetTopDockBarVertSize()
{
    CControlBar* pDock = GetControlBar(AFX_IDW_DOCKBAR_TOP);
    if (pDock == nullptr)
        return 0;
    CRect rect;
    pDock->GetWindowRect(&rect);
    return rect.Height();
}

long CMainFrame::GetExcelTopDockVertSize()
{
    CControlBar* pDock = GetControlBar(AFX_IDW_DOCKBAR_TOP);
    if (pDock == nullptr || pDock->IsFloating())
        return 0;
    CRect rectDock, rectClient;
    pDock->GetWindowRect(&rectDock);
    ScreenToClient(&rectDock);
    ::GetWindowRect(m_hWndMDIClient, &rectClient);
    ScreenToClient(&rectClient);
    return rectClient.top - rectDock.bottom;
}

long CMainFrame::GetMDIClientVertOffset()
{
    CRect rect;
    ::GetWindowRect(m_hWndMDIClient, &rect);
    ScreenToClient(&rect);
    return rect.top;
}

void CMainFrame::GetMessageString(UINT nID, CString& rMessage) const
{
    if (!IsUserButton(nID)) {
        CSpawnMDIFrameWnd::GetMessageString(nID, rMessage);
        // A prompt may name the active window (%H) or the current dataset (%C).
        if (rMessage.Find('%') >= 0 || rMessage.Find('$') >= 0) {
            std::string strText;
            qkfxSubstituteScrivexString(strText, rMessage, 0);
            rMessage = strText.c_str();
        }
        return;
    }
    SECToolBarManagerEx* pManager = m_pToolBarManager;
    int nGroup = pManager->GetCurrentButtonGroup(nID);
    if (nGroup >= 0)
        rMessage = pManager->GetUserDefBtnsGroupsArray()[nGroup]->GetStatusText(nID);
}

BOOL CMainFrame::OnToolTipText(UINT nID, NMHDR* pNMHDR, LRESULT* pResult)
{
    UINT_PTR nCommand = pNMHDR->idFrom;
    BOOL bIsHwnd = pNMHDR->code == TTN_NEEDTEXTA ? (((NMTTDISPINFOA*)pNMHDR)->uFlags & TTF_IDISHWND)
                                                  : (((NMTTDISPINFOW*)pNMHDR)->uFlags & TTF_IDISHWND);
    if (bIsHwnd)
        nCommand = (UINT_PTR)::GetDlgCtrlID((HWND)nCommand);
    if (!IsUserButton((UINT)nCommand))
        return CSpawnMDIFrameWnd::OnToolTipText(nID, pNMHDR, pResult);
    CString strTip = "My tip";
    int nGroup = m_pToolBarManager->GetCurrentButtonGroup((UINT)nCommand);
    if (nGroup >= 0)
        strTip = m_pToolBarManager->GetUserDefBtnsGroupsArray()[nGroup]->GetToolTipText((UINT)nCommand);
    if (pNMHDR->code == TTN_NEEDTEXTA) {
        NMTTDISPINFOA* pInfo = (NMTTDISPINFOA*)pNMHDR;
        lstrcpynA(pInfo->szText, strTip, _countof(pInfo->szText));
    } else {
        NMTTDISPINFOW* pInfo = (NMTTDISPINFOW*)pNMHDR;
        ::MultiByteToWideChar(CP_ACP, 0, strTip, -1, pInfo->szText, _countof(pInfo->szText));
        pInfo->szText[_countof(pInfo->szText) - 1] = L'\0';
    }
    *pResult = 0;
    ::SetWindowPos(pNMHDR->hwndFrom, HWND_TOP, 0, 0, 0, 0,
                   SWP_NOOWNERZORDER | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
    return TRUE;
}

void CMainFrame::OnUserDefinedButton(UINT nID)
{
    int nGroup = m_pToolBarManager->GetCurrentButtonGroup(nID);
    if (nGroup >= 0)
        m_pToolBarManager->GetUserDefBtnsGroupsArray()[nGroup]->RunButton(nID);
}

void CMainFrame::OnUserDefinedButtonsUpdate(CCmdUI* pCmdUI)
{
    int nGroup = m_pToolBarManager->GetCurrentButtonGroup(pCmdUI->m_nID);
    pCmdUI->Enable(nGroup >= 0 && m_pToolBarManager->GetUserDefBtnsGroupsArray()[nGroup]->IsButtonEnabled(pCmdUI->m_nID));
}

BOOL QUIsCommandAvailable(const char* pszGroup, UINT nID)
{
    if (!qkfxGetAccess()->on_before_run_command(pszGroup, (int)nID))
        return FALSE;
    CString strCommand;
    if (!strCommand.LoadString(nID))
        return FALSE;
    int nFirst = strCommand.Find('\n');
    int nSecond = nFirst < 0 ? -1 : strCommand.Find('\n', nFirst + 1);
    if (nSecond < 0)
        return FALSE;
    CString strScript = strCommand.Mid(nSecond + 1);
    strScript.TrimLeft();
    return !strScript.IsEmpty();
}

void CMainFrame::OnGeneralToolsUpdate(CCmdUI* pCmdUI)
{
    UINT nID = pCmdUI->m_nID;
    // Commands that run their string's script through the kernel are grey while the
    // kernel refuses them or they have no script.
    BOOL bScriptCommand = !(nID >= 34976 && nID <= 34987) && !(nID >= 38752 && nID <= 38799);
    if (bScriptCommand) {
        const char* pszGroup = nullptr;
        if (nID >= 33008 && nID <= 33087)
            pszGroup = "STANDARD";
        else if (nID >= 33993 && nID <= 34089)
            pszGroup = "FILE";
        if (!QUIsCommandAvailable(pszGroup, nID)) {
            pCmdUI->Enable(FALSE);
            return;
        }
    }
    if (nID >= 33993 && nID <= 34047) {
        pCmdUI->Enable(TRUE);
        return;
    }
    CChildFrame* pChild = get_active_childframe(nullptr);
    if (pChild != nullptr && pChild->OnGeneralToolsUpdate(pCmdUI))
        return;
    // Without a window: the project commands and new windows.
    pCmdUI->Enable(nID == 34052 || ((nID == 34048 || nID == 34049) && qkfxGetProject().GetNumPages() > 0));
}

BOOL CMainFrame::PreTranslateMessage(MSG* pMsg)
{
    if (m_pToolBarManager->IsCustomizing() && pMsg->message == WM_SYSCOMMAND && (pMsg->wParam & 0xFFF0) == SC_CLOSE)
        return TRUE;
    // Keys typed in the kernel's script window are its own, ahead of the accelerators.
    if (qkfxGetAccess()->GetScriptWindow()->PreTranslateMessage(pMsg))
        return TRUE;
    if ((pMsg->message == WM_KEYDOWN || pMsg->message == WM_KEYUP) &&
        (pMsg->wParam == VK_DELETE || pMsg->wParam == VK_F2)) {
        // Delete belongs to notes windows, F2 to worksheets and matrices, ahead of the
        // accelerators.
        CChildFrame* pChild = get_active_childframe(nullptr);
        int nKind = pChild != nullptr ? pChild->get_wnd_template_id() : -1;
        if (pMsg->wParam == VK_DELETE && nKind == 5)
            return FALSE;
        if (pMsg->wParam == VK_F2 && (nKind == 0 || nKind == 2))
            return FALSE;
    }
    return CSpawnMDIFrameWnd::PreTranslateMessage(pMsg);
}

BOOL CMainFrame::OnCommand(WPARAM wParam, LPARAM lParam)
{
    // The kernel may hold a command back; it hears of the end either way. A command may
    // end the frame itself, so nothing of it is touched after the command ran.
    CQKAccess* pAccess = qkfxGetAccess();
    BOOL bResult = TRUE;
    if (pAccess->OnCommandBegin(wParam, lParam)) {
        // The MDI frame passes the ids of the window list to the system's MDI handling;
        // the entry for more windows opens the program's own list instead.
        if (LOWORD(wParam) == ID_WINDOW_MORE && lParam == 0)
            OnMoreWindows();
        else
            bResult = CSpawnMDIFrameWnd::OnCommand(wParam, lParam);
    }
    pAccess->OnCommandEnd(wParam, lParam);
    return bResult;
}

LRESULT CMainFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if ((message >= WM_USER && message <= 0x7FFF) || message == WM_TIMER)
        return qkfxGetAccess()->WMUserProcessing(message, wParam, lParam);
    if ((message == WM_ENABLE || message == WM_NCACTIVATE) && m_pToolBarManager->IsCustomizing())
        m_nFlags &= ~WF_STAYACTIVE;
    return CSpawnMDIFrameWnd::WindowProc(message, wParam, lParam);
}

LRESULT CMainFrame::OnNcHitTest(CPoint point)
{
    if (m_pToolBarManager->IsCustomizing())
        return HTERROR;
    return CSpawnMDIFrameWnd::OnNcHitTest(point);
}

void CMainFrame::OnClose()
{
    CQKAccess* pAccess = qkfxGetAccess();
    if (!pAccess->prompt_to_save_all_scrivex_editor_wnds())
        return;
    CQUFrameHost* pHost = QUGetFrameHost();
    if (!pHost->DoNotSaveToolabarsConf()) {
        pHost->BeforeToolbarConfSaveLoad(FALSE);
        if (m_nSaveToolbars) {
            SaveBarState("Tlb");
            m_pToolBarManager->SaveState("Tlb");
        }
        // The redirection ends whether or not the arrangement was saved.
        pHost->AfterToolbarConfSaveLoad(FALSE);
    }
    pHost->SetClosingAllWindows(TRUE);
    // A program started for an embedding closes whatever the answers.
    BOOL bEmbedding = pHost->IsEmbeddingOpened();
    if (!CloseAllWindows(bEmbedding ? 1 : 0) && !bEmbedding) {
        pHost->SetClosingAllWindows(FALSE);
        return;
    }
    // The script window goes only now: a No or Cancel above keeps the lines typed in it.
    pAccess->GetScriptWindow()->OnMainFrameClose(m_hWnd);
    pHost->OnMiscUnInit();
    pAccess->OnBeforeMainFrameClose(m_hWnd);
    HWND hWnd = m_hWnd;
    CSpawnMDIFrameWnd::OnClose();
    // A window the kernel does not know of may still refuse; the frame then stays.
    if (::IsWindow(hWnd))
        pHost->SetClosingAllWindows(FALSE);
}

BOOL CMainFrame::CloseAllWindows(int nMode)
{
    BOOL bUserCtrl = AfxOleGetUserCtrl();
    AfxOleSetUserCtrl(TRUE);
    BOOL bClosed = qkfxGetQrxSystem().OnCloseAllWindows(nMode);
    AfxOleSetUserCtrl(bUserCtrl);
    return bClosed;
}

// A printer's settings changed, or the system's printers ("windows" section).
void CMainFrame::OnDevModeChange(LPSTR lpDeviceName)
{
    CSpawnMDIFrameWnd::OnDevModeChange(lpDeviceName);
    QUGetFrameHost()->NotifyPrinterChanged(FALSE);
}

void CMainFrame::OnWinIniChange(LPCSTR lpszSection)
{
    CSpawnMDIFrameWnd::OnWinIniChange(lpszSection);
    if (lpszSection != nullptr && lstrcmpiA(lpszSection, "windows") == 0)
        QUGetFrameHost()->NotifyPrinterChanged(TRUE);
}

BOOL CMainFrame::OnQueryEndSession()
{
    CQKAccess* pAccess = qkfxGetAccess();
    CQUFrameHost* pHost = QUGetFrameHost();
    pHost->SetClosingAllWindows(TRUE);
    if (!CloseAllWindows(0)) {
        pHost->SetClosingAllWindows(FALSE);
        return FALSE;
    }
    pAccess->GetScriptWindow()->OnMainFrameClose(m_hWnd);
    pAccess->GetScriptWindow()->DisableCreation();
    SendMessage(WM_CLOSE);
    return TRUE;
}

void CMainFrame::OnSysCommand(UINT nID, LPARAM lParam)
{
    UINT nCode = nID & 0xFFF0;
    if (nCode == SC_NEXTWINDOW || nCode == SC_PREVWINDOW) {
        // The frame's parts in turn: the script window takes the activation when it can,
        // else the frame itself.
        if (qkfxGetAccess()->GetScriptWindow()->SetActive())
            return;
        if (IsWindowVisible()) {
            SetActiveWindow();
            SetFocus();
            return;
        }
    }
    CSpawnMDIFrameWnd::OnSysCommand(nID, lParam);
}

void CMainFrame::OnNcRButtonDown(UINT nHitTest, CPoint point)
{
    // A maximised child's caption is the frame's: its menu is the child's.
    int bMaximized = FALSE;
    CChildFrame* pChild = get_active_childframe(&bMaximized);
    if (pChild != nullptr && bMaximized && pChild->VirtualNcRButtonDown(nHitTest, point))
        return;
    CSpawnMDIFrameWnd::OnNcRButtonDown(nHitTest, point);
}

void CMainFrame::OnDropFiles(HDROP hDropInfo)
{
    SetActiveWindow();
    UINT nFiles = ::DragQueryFileA(hDropInfo, 0xFFFFFFFF, nullptr, 0);
    CQKAccess* pAccess = qkfxGetAccess();
    for (UINT i = 0; i < nFiles; i++) {
        char szPath[MAX_PATH] = "";
        ::DragQueryFileA(hDropInfo, i, szPath, MAX_PATH);
        CQKProject& project = qkfxGetProject();
        BOOL bProjectNew = project.GetNumPages() == 0 && !project.IsModified();
        if (bProjectNew && pAccess->IsProjectFileName(szPath))
            pAccess->OpenProjectFile(szPath);
        else
            qkfxAppendFile(szPath, 0);
    }
    ::DragFinish(hDropInfo);
}

void CMainFrame::OnViewToolbar()
{
    SECToolBarSheetEx sheet(IDS_CUSTOMIZE_TOOLBAR, this);
    SECToolBarsPageEx page;
    page.SetManager(m_pToolBarManager);
    POSITION pos = m_listControlBars.GetHeadPosition();
    while (pos != nullptr) {
        CQUCustomToolBar* pBar = DYNAMIC_DOWNCAST(CQUCustomToolBar, (CObject*)m_listControlBars.GetNext(pos));
        if (pBar != nullptr && pBar->m_hWnd != nullptr)
            page.AddStateEntry((UINT)pBar->GetDlgCtrlID(), TRUE, FALSE);
    }
    sheet.AddPage(&page);
    SECToolBarCmdPageEx groupsPage;
    groupsPage.SetManager(m_pToolBarManager);
    DefineBtnGroupsForTlbCommandsPage(&groupsPage);
    sheet.AddPage(&groupsPage);
    m_pToolBarManager->SetCustomizing(TRUE);
    sheet.DoModal();
    m_pToolBarManager->SetCustomizing(FALSE);
}

void CMainFrame::OnMoreWindows()
{
    CMoreWndDlg dlg(this);
    dlg.DoModal();
}

void CMainFrame::OnUncheckUI(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(0);
}

BOOL CMainFrame::UsingSpacering()
{
    return QUGetFrameHost()->GetUseSpacer();
}

void CMainFrame::OnCmSpacerResetSize()
{
    m_wndSpacer.SetBaseSize(0);
    RecalcLayout();
}

void CMainFrame::OnCmSpacerRemove()
{
    m_wndSpacer.SetBaseSize(0);
    RecalcLayout();
    QUGetFrameHost()->SetUseSpacer(FALSE);
}
