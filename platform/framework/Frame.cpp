// Frame windows: creation from resources, layout of bars and view, command routing to
// the active view, menu updates through CCmdUI, status texts, titles, closing, and the
// shell's DDE conversation.
#include "afxext.h"
#include "afxdisp.h"
#include "ModuleState.h"
#include <dde.h>

namespace {

// The dock bars along a frame's edges, in the order bars try them.
const UINT g_dockBarIDs[4] = {AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_BOTTOM, AFX_IDW_DOCKBAR_LEFT, AFX_IDW_DOCKBAR_RIGHT};
const DWORD g_dockBarAligns[4] = {CBRS_ALIGN_TOP, CBRS_ALIGN_BOTTOM, CBRS_ALIGN_LEFT, CBRS_ALIGN_RIGHT};

BOOL HasResource(UINT nID, LPCTSTR lpszType)
{
    LPCTSTR lpszName = MAKEINTRESOURCE(nID);
    return ::FindResourceA(AfxFindResourceHandle(lpszName, lpszType), lpszName, lpszType) != nullptr;
}

BOOL IsLastFrameOf(CDocument* pDoc, CFrameWnd* pFrame)
{
    POSITION pos = pDoc->GetFirstViewPosition();
    while (pos != nullptr) {
        CView* pView = pDoc->GetNextView(pos);
        if (pView->GetParentFrame() != pFrame)
            return FALSE;
    }
    return TRUE;
}

void SetTextIfChanged(HWND hWnd, LPCTSTR lpszNew)
{
    char szOld[256];
    int nLen = ::GetWindowTextA(hWnd, szOld, sizeof szOld);
    if (nLen != (int)strlen(lpszNew) || strcmp(szOld, lpszNew) != 0)
        ::SetWindowTextA(hWnd, lpszNew);
}

}

/////////////////////////////////////////////////////////////////////////////
// Layout helpers on CWnd

void AfxRepositionWindow(AFX_SIZEPARENTPARAMS* lpLayout, HWND hWnd, LPCRECT lpRect)
{
    RECT rectOld;
    ::GetWindowRect(hWnd, &rectOld);
    HWND hWndParent = ::GetParent(hWnd);
    ::MapWindowPoints(nullptr, hWndParent, (LPPOINT)&rectOld, 2);
    if (::EqualRect(&rectOld, lpRect))
        return;
    if (lpLayout != nullptr && lpLayout->hDWP != nullptr)
        lpLayout->hDWP = ::DeferWindowPos(lpLayout->hDWP, hWnd, nullptr, lpRect->left, lpRect->top,
                                          lpRect->right - lpRect->left, lpRect->bottom - lpRect->top,
                                          SWP_NOACTIVATE | SWP_NOZORDER);
    else
        ::SetWindowPos(hWnd, nullptr, lpRect->left, lpRect->top, lpRect->right - lpRect->left,
                       lpRect->bottom - lpRect->top, SWP_NOACTIVATE | SWP_NOZORDER);
}

void CWnd::RepositionBars(UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, UINT nFlag, LPRECT lpRectParam,
                          LPCRECT lpRectClient, BOOL bStretch)
{
    AFX_SIZEPARENTPARAMS layout = {};
    layout.bStretch = bStretch;
    if (lpRectClient != nullptr)
        layout.rect = *lpRectClient;
    else
        ::GetClientRect(m_hWnd, &layout.rect);
    if (nFlag != reposQuery)
        layout.hDWP = ::BeginDeferWindowPos(8);

    HWND hWndLeftOver = nullptr;
    for (HWND hWndChild = ::GetTopWindow(m_hWnd); hWndChild != nullptr;
         hWndChild = ::GetWindow(hWndChild, GW_HWNDNEXT)) {
        UINT nIDC = (UINT)::GetDlgCtrlID(hWndChild);
        if (nIDC == nIDLeftOver)
            hWndLeftOver = hWndChild;
        else if (nIDC >= nIDFirst && nIDC <= nIDLast && FromHandlePermanent(hWndChild) != nullptr)
            ::SendMessageA(hWndChild, WM_SIZEPARENT, 0, (LPARAM)&layout);
    }

    if (nFlag == reposQuery) {
        if (lpRectParam != nullptr)
            *lpRectParam = layout.rect;
        return;
    }
    if (nFlag == reposExtra && lpRectParam != nullptr) {
        layout.rect.left += lpRectParam->left;
        layout.rect.top += lpRectParam->top;
        layout.rect.right -= lpRectParam->right;
        layout.rect.bottom -= lpRectParam->bottom;
    }
    if (hWndLeftOver != nullptr)
        AfxRepositionWindow(&layout, hWndLeftOver, &layout.rect);
    if (layout.hDWP != nullptr)
        ::EndDeferWindowPos(layout.hDWP);
}

CFrameWnd* CWnd::GetParentFrame() const
{
    if (m_hWnd == nullptr)
        return nullptr;
    for (HWND hWnd = ::GetParent(m_hWnd); hWnd != nullptr; hWnd = ::GetParent(hWnd)) {
        CWnd* pWnd = FromHandlePermanent(hWnd);
        if (pWnd != nullptr && pWnd->IsKindOf(RUNTIME_CLASS(CFrameWnd)))
            return (CFrameWnd*)pWnd;
    }
    return nullptr;
}

/////////////////////////////////////////////////////////////////////////////
// CFrameWnd

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

const CRect CFrameWnd::rectDefault(CW_USEDEFAULT, CW_USEDEFAULT, 0, 0);

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_CLOSE()
    ON_WM_SIZE()
    ON_WM_SETFOCUS()
    ON_WM_ERASEBKGND()
    ON_WM_INITMENUPOPUP()
    ON_WM_MENUSELECT()
    ON_WM_ACTIVATE()
    ON_WM_QUERYENDSESSION()
    ON_WM_ENDSESSION()
    ON_WM_DROPFILES()
    ON_MESSAGE(WM_SETMESSAGESTRING, OnSetMessageString)
    ON_MESSAGE(WM_POPMESSAGESTRING, OnPopMessageString)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
    ON_MESSAGE(WM_HELPPROMPTADDR, OnHelpPromptAddr)
    ON_MESSAGE(WM_DDE_INITIATE, OnDDEInitiate)
    ON_MESSAGE(WM_DDE_EXECUTE, OnDDEExecute)
    ON_MESSAGE(WM_DDE_TERMINATE, OnDDETerminate)
    ON_COMMAND_EX(ID_VIEW_STATUS_BAR, OnBarCheck)
    ON_COMMAND_EX(ID_VIEW_TOOLBAR, OnBarCheck)
    ON_UPDATE_COMMAND_UI(ID_VIEW_STATUS_BAR, OnUpdateControlBarMenu)
    ON_UPDATE_COMMAND_UI(ID_VIEW_TOOLBAR, OnUpdateControlBarMenu)
    ON_UPDATE_COMMAND_UI(ID_INDICATOR_CAPS, OnUpdateKeyIndicator)
    ON_UPDATE_COMMAND_UI(ID_INDICATOR_NUM, OnUpdateKeyIndicator)
    ON_UPDATE_COMMAND_UI(ID_INDICATOR_SCRL, OnUpdateKeyIndicator)
    ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTA, 0, 0xFFFF, OnToolTipText)
    ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTW, 0, 0xFFFF, OnToolTipText)
END_MESSAGE_MAP()

CFrameWnd::CFrameWnd()
    : m_nIdleFlags(0), m_bAutoMenuEnable(TRUE), m_hMenuDefault(nullptr), m_hAccelTable(nullptr), m_nIDHelp(0),
      m_nWindow(-1), m_dwPromptContext(0), m_pFloatingFrameClass(nullptr), m_nIDTracking(0), m_nIDLastMessage(0), m_pViewActive(nullptr),
      m_cModalStack(0), m_bInRecalcLayout(FALSE)
{
}

// Accelerator tables come from resources, which the system frees with the program; an
// MDI child's table is its template's.
CFrameWnd::~CFrameWnd() {}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (cs.lpszClass == nullptr)
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                           (HBRUSH)(COLOR_WINDOW + 1));
    // Titles read "Document - Program", as the shell writes them.
    if (cs.style & FWS_ADDTOTITLE)
        cs.style |= FWS_PREFIXTITLE;
    return TRUE;
}

LPCTSTR CFrameWnd::GetIconWndClass(DWORD dwDefaultStyle, UINT nIDResource)
{
    if (!HasResource(nIDResource, RT_GROUP_ICON))
        return nullptr;
    LPCTSTR lpszName = MAKEINTRESOURCE(nIDResource);
    HICON hIcon = ::LoadIconA(AfxFindResourceHandle(lpszName, RT_GROUP_ICON), lpszName);
    CREATESTRUCT cs = {};
    cs.style = (LONG)dwDefaultStyle;
    PreCreateWindow(cs);
    WNDCLASSA wndcls;
    if (hIcon == nullptr || cs.lpszClass == nullptr ||
        !::GetClassInfoA(AfxGetInstanceHandle(), cs.lpszClass, &wndcls))
        return nullptr;
    return AfxRegisterWndClass(wndcls.style, wndcls.hCursor, wndcls.hbrBackground, hIcon);
}

BOOL CFrameWnd::LoadAccelTable(LPCTSTR lpszResourceName)
{
    if (m_hAccelTable != nullptr)
        return FALSE;
    m_hAccelTable = ::LoadAcceleratorsA(AfxFindResourceHandle(lpszResourceName, RT_ACCELERATOR), lpszResourceName);
    return m_hAccelTable != nullptr;
}

BOOL CFrameWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                       CWnd* pParentWnd, LPCTSTR lpszMenuName, DWORD dwExStyle, CCreateContext* pContext)
{
    HMENU hMenu = nullptr;
    if (lpszMenuName != nullptr) {
        hMenu = ::LoadMenuA(AfxFindResourceHandle(lpszMenuName, RT_MENU), lpszMenuName);
        if (hMenu == nullptr) {
            PostNcDestroy();
            return FALSE;
        }
    }
    m_strTitle = lpszWindowName;
    int x = rect.left, y = rect.top, cx = rect.right - rect.left, cy = rect.bottom - rect.top;
    if (rect.left == CW_USEDEFAULT)
        x = y = cx = cy = CW_USEDEFAULT;
    if (!CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, x, y, cx, cy, pParentWnd->GetSafeHwnd(),
                  hMenu, pContext)) {
        if (hMenu != nullptr)
            ::DestroyMenu(hMenu);
        return FALSE;
    }
    return TRUE;
}

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    m_nIDHelp = nIDResource;
    CString strFull;
    if (strFull.LoadString(nIDResource))
        AfxExtractSubString(m_strTitle, strFull, 0);
    LPCTSTR lpszClass = GetIconWndClass(dwDefaultStyle, nIDResource);
    CString strTitle = m_strTitle;
    LPCTSTR lpszMenu = HasResource(nIDResource, RT_MENU) ? MAKEINTRESOURCE(nIDResource) : nullptr;
    if (!Create(lpszClass, strTitle, dwDefaultStyle, rectDefault, pParentWnd, lpszMenu, 0, pContext))
        return FALSE;   // the frame deleted itself
    // A menu bar made while the frame was created may already have taken the menu (and
    // noted it as the default).
    if (::GetMenu(m_hWnd) != nullptr)
        m_hMenuDefault = ::GetMenu(m_hWnd);
    LoadAccelTable(MAKEINTRESOURCE(nIDResource));
    if (pContext == nullptr)
        SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
    return TRUE;
}

int CFrameWnd::OnCreate(LPCREATESTRUCT lpcs)
{
    return OnCreateHelper(lpcs, (CCreateContext*)lpcs->lpCreateParams);
}

BOOL CFrameWnd::OnCreateHelper(LPCREATESTRUCT lpcs, CCreateContext* pContext)
{
    if (CWnd::OnCreate(lpcs) == -1)
        return -1;
    if (!OnCreateClient(lpcs, pContext))
        return -1;
    RecalcLayout();
    return 0;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext)
{
    if (pContext != nullptr && pContext->m_pNewViewClass != nullptr)
        return CreateView(pContext, AFX_IDW_PANE_FIRST) != nullptr;
    return TRUE;
}

CWnd* CFrameWnd::CreateView(CCreateContext* pContext, UINT nID)
{
    CWnd* pView = (CWnd*)afximpl::CreateObjectOfKind(pContext->m_pNewViewClass, RUNTIME_CLASS(CWnd));
    if (pView == nullptr)
        return nullptr;
    // A view that fails to be created deletes itself.
    if (!pView->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this, nID, pContext))
        return nullptr;
    return pView;
}

CFrameWnd* CFrameWnd::GetActiveFrame() { return this; }

CDocument* CFrameWnd::GetActiveDocument()
{
    CView* pView = GetActiveFrame()->GetActiveView();
    return pView != nullptr ? pView->GetDocument() : nullptr;
}

void CFrameWnd::SetActiveView(CView* pViewNew, BOOL bNotify)
{
    CView* pViewOld = m_pViewActive;
    if (pViewNew == pViewOld)
        return;
    m_pViewActive = nullptr;
    if (pViewOld != nullptr && bNotify)
        pViewOld->OnActivateView(FALSE, pViewNew, pViewOld);
    m_pViewActive = pViewNew;
    if (pViewNew != nullptr && bNotify)
        pViewNew->OnActivateView(TRUE, pViewNew, pViewOld);
}

void CFrameWnd::ActivateFrame(int nCmdShow)
{
    if (nCmdShow == -1) {
        if (!IsWindowVisible())
            nCmdShow = SW_SHOWNORMAL;
        else if (IsIconic())
            nCmdShow = SW_RESTORE;
    }
    if (nCmdShow != -1) {
        ShowWindow(nCmdShow);
        BringWindowToTop();
    }
}

void CFrameWnd::InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible)
{
    CView* pView = nullptr;
    if (GetActiveView() == nullptr) {
        CWnd* pWnd = GetDescendantWindow(AFX_IDW_PANE_FIRST, TRUE);
        if (pWnd != nullptr && pWnd->IsKindOf(RUNTIME_CLASS(CView))) {
            pView = (CView*)pWnd;
            SetActiveView(pView, FALSE);
        }
    }
    if (bMakeVisible) {
        SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
        int nCmdShow = -1;
        CWinApp* pApp = AfxGetApp();
        if (pApp != nullptr && pApp->m_pMainWnd == this) {
            nCmdShow = pApp->m_nCmdShow;   // the program's show state, used once
            pApp->m_nCmdShow = -1;
        }
        ActivateFrame(nCmdShow);
        if (pView != nullptr)
            pView->OnActivateView(TRUE, pView, pView);
    }
    if (pDoc != nullptr)
        pDoc->UpdateFrameCounts();
    OnUpdateFrameTitle(TRUE);
}

void CFrameWnd::RecalcLayout(BOOL)
{
    if (m_bInRecalcLayout)
        return;
    m_bInRecalcLayout = TRUE;
    m_nIdleFlags &= ~(idleLayout | idleNotify);
    RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST);
    // Dock bars that kept their size still lay out what was docked or shown since.
    POSITION pos = m_listControlBars.GetHeadPosition();
    while (pos != nullptr) {
        CControlBar* pBar = (CControlBar*)m_listControlBars.GetNext(pos);
        if (pBar->IsDockBar() && !((CDockBar*)pBar)->m_bFloating)
            ((CDockBar*)pBar)->LayoutBars(TRUE);
    }
    m_bInRecalcLayout = FALSE;
}

void CFrameWnd::EnableDocking(DWORD dwDockStyle)
{
    m_pFloatingFrameClass = RUNTIME_CLASS(CMiniDockFrameWnd);
    for (int i = 0; i < 4; i++) {
        if (!(dwDockStyle & g_dockBarAligns[i]) || GetControlBar(g_dockBarIDs[i]) != nullptr)
            continue;
        CDockBar* pDock = new CDockBar;
        if (!pDock->Create(this, WS_CHILD | WS_VISIBLE | g_dockBarAligns[i], g_dockBarIDs[i])) {
            delete pDock;
            AfxThrowResourceException();
        }
    }
}

CControlBar* CFrameWnd::GetControlBar(UINT nID)
{
    POSITION pos = m_listControlBars.GetHeadPosition();
    while (pos != nullptr) {
        CControlBar* pBar = (CControlBar*)m_listControlBars.GetNext(pos);
        if (pBar->m_hWnd != nullptr && (UINT)::GetDlgCtrlID(pBar->m_hWnd) == nID)
            return pBar;
    }
    return nullptr;
}

void CFrameWnd::DockControlBar(CControlBar* pBar, UINT nDockBarID, LPCRECT lpRect)
{
    CControlBar* pDock = nDockBarID != 0 ? GetControlBar(nDockBarID) : nullptr;
    for (int i = 0; i < 4 && pDock == nullptr; i++) {
        if (pBar->m_dwDockStyle & g_dockBarAligns[i])
            pDock = GetControlBar(g_dockBarIDs[i]);
    }
    if (pDock == nullptr || !pDock->IsDockBar())
        return;   // the frame has no edge the bar may dock to
    CFrameWnd* pOldFloat = pBar->IsFloating() ? pBar->GetDockingFrame() : nullptr;
    ((CDockBar*)pDock)->DockControlBar(pBar, lpRect);
    // A floating frame left empty goes.
    if (pOldFloat != nullptr && pOldFloat->IsKindOf(RUNTIME_CLASS(CMiniDockFrameWnd)) &&
        ((CMiniDockFrameWnd*)pOldFloat)->m_wndDockBar.GetDockedCount() == 0)
        pOldFloat->DestroyWindow();
    RecalcLayout();
}

void CFrameWnd::FloatControlBar(CControlBar* pBar, CPoint point, DWORD dwStyle)
{
    CRuntimeClass* pClass = m_pFloatingFrameClass != nullptr ? m_pFloatingFrameClass : RUNTIME_CLASS(CMiniDockFrameWnd);
    CMiniDockFrameWnd* pFrame =
        (CMiniDockFrameWnd*)afximpl::CreateObjectOfKind(pClass, RUNTIME_CLASS(CMiniDockFrameWnd));
    if (pFrame == nullptr)
        AfxThrowResourceException();
    if (!pFrame->Create(this, dwStyle))
        AfxThrowResourceException();   // the frame deleted itself
    CFrameWnd* pOldFloat = pBar->IsFloating() ? pBar->GetDockingFrame() : nullptr;
    pFrame->m_wndDockBar.DockControlBar(pBar);
    pFrame->SetWindowPos(nullptr, point.x, point.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    pFrame->RecalcLayout();
    if (pBar->IsVisible())
        pFrame->ShowWindow(SW_SHOWNA);
    if (pOldFloat != nullptr && pOldFloat != pFrame)
        pOldFloat->DestroyWindow();
    RecalcLayout();
}

void CFrameWnd::ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay)
{
    pBar->ShowWindow(bShow ? SW_SHOWNA : SW_HIDE);
    if (pBar->IsFloating()) {
        // The floating frame shows while it holds a visible bar.
        CFrameWnd* pFloat = pBar->GetDockingFrame();
        if (pFloat != nullptr && pFloat != this) {
            pFloat->RecalcLayout();
            pFloat->ShowWindow(pBar->m_pDockBar->GetDockedVisibleCount() > 0 ? SW_SHOWNA : SW_HIDE);
        }
    }
    if (bDelay)
        DelayRecalcLayout();
    else
        RecalcLayout();
}

BOOL CFrameWnd::OnBarCheck(UINT nID)
{
    CControlBar* pBar = GetControlBar(nID);
    if (pBar == nullptr)
        return FALSE;
    ShowControlBar(pBar, !pBar->IsVisible(), FALSE);
    return TRUE;
}

void CFrameWnd::OnUpdateControlBarMenu(CCmdUI* pCmdUI)
{
    CControlBar* pBar = GetControlBar(pCmdUI->m_nID);
    if (pBar == nullptr) {
        pCmdUI->ContinueRouting();
        return;
    }
    pCmdUI->SetCheck(pBar->IsVisible());
}

BOOL CFrameWnd::OnToolTipText(UINT, NMHDR* pNMHDR, LRESULT* pResult)
{
    UINT_PTR nID = pNMHDR->idFrom;
    BOOL bIsHwnd = pNMHDR->code == TTN_NEEDTEXTA ? (((NMTTDISPINFOA*)pNMHDR)->uFlags & TTF_IDISHWND)
                                                  : (((NMTTDISPINFOW*)pNMHDR)->uFlags & TTF_IDISHWND);
    if (bIsHwnd)
        nID = (UINT_PTR)::GetDlgCtrlID((HWND)nID);
    if (nID == 0)
        return FALSE;   // a separator, or a tip someone else fills
    CString strFull, strTip;
    if (strFull.LoadString((UINT)nID))
        AfxExtractSubString(strTip, strFull, 1);
    if (pNMHDR->code == TTN_NEEDTEXTA) {
        NMTTDISPINFOA* pInfo = (NMTTDISPINFOA*)pNMHDR;
        lstrcpynA(pInfo->szText, strTip, _countof(pInfo->szText));
    } else {
        NMTTDISPINFOW* pInfo = (NMTTDISPINFOW*)pNMHDR;
        ::MultiByteToWideChar(CP_ACP, 0, strTip, -1, pInfo->szText, _countof(pInfo->szText));
        pInfo->szText[_countof(pInfo->szText) - 1] = L'\0';
    }
    *pResult = 0;
    return TRUE;
}

namespace {

struct ModalStateWindows
{
    HWND hWndFrame;
    CPtrList* pList;
};

BOOL CALLBACK DisableOwnedWindow(HWND hWnd, LPARAM lParam)
{
    ModalStateWindows* pState = (ModalStateWindows*)lParam;
    if (hWnd != pState->hWndFrame && ::GetWindow(hWnd, GW_OWNER) == pState->hWndFrame && ::IsWindowEnabled(hWnd)) {
        ::EnableWindow(hWnd, FALSE);
        pState->pList->AddTail(hWnd);
    }
    return TRUE;
}

}

void CFrameWnd::BeginModalState()
{
    if (m_cModalStack++ != 0)
        return;
    // Only what was enabled is disabled, so that the end puts back exactly that.
    ModalStateWindows state = {m_hWnd, &m_listDisabledWnds};
    ::EnumThreadWindows(::GetCurrentThreadId(), DisableOwnedWindow, (LPARAM)&state);
    if (::IsWindowEnabled(m_hWnd)) {
        ::EnableWindow(m_hWnd, FALSE);
        m_listDisabledWnds.AddTail(m_hWnd);
    }
}

void CFrameWnd::EndModalState()
{
    if (m_cModalStack == 0 || --m_cModalStack != 0)
        return;
    while (!m_listDisabledWnds.IsEmpty()) {
        HWND hWnd = (HWND)m_listDisabledWnds.RemoveHead();
        if (::IsWindow(hWnd))
            ::EnableWindow(hWnd, TRUE);
    }
}

void CFrameWnd::OnHelp()
{
    CWinApp* pApp = AfxGetApp();
    for (HWND hWnd = ::GetFocus(); hWnd != nullptr; hWnd = ::GetParent(hWnd)) {
        if (::SendMessageA(hWnd, WM_COMMANDHELP, 0, 0))
            return;
        if (hWnd == m_hWnd)
            break;
    }
    CFrameWnd* pFrame = GetActiveFrame();
    if (pApp != nullptr)
        pApp->WinHelp(HID_BASE_RESOURCE + pFrame->m_nIDHelp, HELP_CONTEXT);
}

void CFrameWnd::OnHelpFinder()
{
    CWinApp* pApp = AfxGetApp();
    if (pApp != nullptr)
        pApp->WinHelp(0, HELP_FINDER);
}

void CFrameWnd::OnHelpIndex()
{
    CWinApp* pApp = AfxGetApp();
    if (pApp != nullptr)
        pApp->WinHelp(0, HELP_INDEX);
}

void CFrameWnd::OnHelpUsing()
{
    CWinApp* pApp = AfxGetApp();
    if (pApp != nullptr)
        pApp->WinHelp(0, HELP_HELPONHELP);
}

void CFrameWnd::OnContextHelp()
{
    // Help mode: the question-mark cursor until a click; Escape or a right click ends it.
    CWinApp* pApp = AfxGetApp();
    HCURSOR hcurOld = ::SetCursor(::LoadCursor(nullptr, IDC_HELP));
    ::SetCapture(m_hWnd);
    DWORD_PTR dwContext = 0;
    BOOL bChosen = FALSE;
    MSG msg;
    while (!bChosen && ::GetMessageA(&msg, nullptr, 0, 0)) {
        if (msg.message == WM_LBUTTONDOWN || msg.message == WM_NCLBUTTONDOWN) {
            POINT pt = msg.pt;
            HWND hWndHit = ::WindowFromPoint(pt);
            if (hWndHit == nullptr || (hWndHit != m_hWnd && !::IsChild(m_hWnd, hWndHit)))
                hWndHit = msg.hwnd;
            // The window clicked names its topic, or its parents do; a control's topic
            // follows its command id, a pane's the frame's resource.
            for (HWND hWnd = hWndHit; hWnd != nullptr && dwContext == 0; hWnd = ::GetParent(hWnd)) {
                POINT ptClient = pt;
                ::ScreenToClient(hWnd, &ptClient);
                dwContext = (DWORD_PTR)::SendMessageA(hWnd, WM_HELPHITTEST, 0, MAKELPARAM(ptClient.x, ptClient.y));
                if (hWnd == m_hWnd)
                    break;
            }
            if (dwContext == 0) {
                UINT nID = hWndHit != nullptr && hWndHit != m_hWnd ? (UINT)::GetDlgCtrlID(hWndHit) : 0;
                CFrameWnd* pFrame = GetActiveFrame();
                dwContext = nID != 0 && nID < AFX_IDW_CONTROLBAR_FIRST ? HID_BASE_COMMAND + nID
                                                                      : HID_BASE_RESOURCE + pFrame->m_nIDHelp;
            }
            bChosen = TRUE;
        } else if (msg.message == WM_RBUTTONDOWN || (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) ||
                   msg.message == WM_CANCELMODE) {
            break;
        } else if (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP || msg.message == WM_MOUSEMOVE ||
                   msg.message == WM_LBUTTONUP || msg.message == WM_RBUTTONUP) {
            continue;   // input belongs to help mode
        } else {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    if (msg.message == WM_QUIT)
        ::PostQuitMessage((int)msg.wParam);
    ::ReleaseCapture();
    ::SetCursor(hcurOld);
    if (bChosen && pApp != nullptr)
        pApp->WinHelp(dwContext, HELP_CONTEXT);
}

void CFrameWnd::OnUpdateKeyIndicator(CCmdUI* pCmdUI)
{
    int nVK = pCmdUI->m_nID == ID_INDICATOR_CAPS ? VK_CAPITAL
            : pCmdUI->m_nID == ID_INDICATOR_NUM  ? VK_NUMLOCK
                                                 : VK_SCROLL;
    pCmdUI->Enable(::GetKeyState(nVK) & 1);
}

void CFrameWnd::OnSize(UINT nType, int, int)
{
    if (nType != SIZE_MINIMIZED)
        RecalcLayout();
}

BOOL CFrameWnd::OnEraseBkgnd(CDC* pDC)
{
    // The view covers the client area; erasing under it would only flicker.
    if (m_pViewActive != nullptr)
        return TRUE;
    return CWnd::OnEraseBkgnd(pDC);
}

void CFrameWnd::OnSetFocus(CWnd* pOldWnd)
{
    if (m_pViewActive != nullptr)
        m_pViewActive->SetFocus();
    else
        CWnd::OnSetFocus(pOldWnd);
}

void CFrameWnd::OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized)
{
    CWnd::OnActivate(nState, pWndOther, bMinimized);
    CView* pView = GetActiveView();
    if (pView != nullptr)
        pView->OnActivateFrame(nState, this);
}

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // The view first (it passes on to its document), then the frame, then the program.
    CView* pView = GetActiveView();
    if (pView != nullptr && pView->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    CWinApp* pApp = AfxGetApp();
    return pApp != nullptr && pApp->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

HACCEL CFrameWnd::GetDefaultAccelerator()
{
    CDocument* pDoc = GetActiveDocument();
    HACCEL hAccel = pDoc != nullptr ? pDoc->GetDefaultAccelerator() : nullptr;
    return hAccel != nullptr ? hAccel : m_hAccelTable;
}

BOOL CFrameWnd::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) {
        HACCEL hAccel = GetDefaultAccelerator();
        if (hAccel != nullptr && ::TranslateAcceleratorA(m_hWnd, hAccel, pMsg))
            return TRUE;
    }
    return CWnd::PreTranslateMessage(pMsg);
}

void CFrameWnd::OnInitMenuPopup(CMenu* pMenu, UINT, BOOL bSysMenu)
{
    if (bSysMenu)
        return;
    CCmdUI state;
    state.m_pMenu = pMenu;
    state.m_nIndexMax = pMenu->GetMenuItemCount();
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; state.m_nIndex++) {
        state.m_nID = pMenu->GetMenuItemID((int)state.m_nIndex);
        if (state.m_nID == 0 || state.m_nID == (UINT)-1)
            continue;   // separators, and popups, which are never disabled
        state.m_pSubMenu = nullptr;
        // Items past 0xF000 (system and window-list commands) are the system's own.
        state.DoUpdate(this, m_bAutoMenuEnable && state.m_nID < 0xF000);
        // A handler may have replaced items (the recent-file list does): it leaves
        // m_nIndex on the last item it handled.
        state.m_nIndexMax = pMenu->GetMenuItemCount();
    }
}

void CFrameWnd::GetMessageString(UINT nID, CString& rMessage) const
{
    rMessage.Empty();
    CString strFull;
    if (strFull.LoadString(nID))
        AfxExtractSubString(rMessage, strFull, 0);
}

CWnd* CFrameWnd::GetMessageBar() { return GetDescendantWindow(AFX_IDW_STATUS_BAR, TRUE); }

void CFrameWnd::SetMessageText(LPCTSTR lpszText) { SendMessage(WM_SETMESSAGESTRING, 0, (LPARAM)lpszText); }
void CFrameWnd::SetMessageText(UINT nID) { SendMessage(WM_SETMESSAGESTRING, (WPARAM)nID); }

LRESULT CFrameWnd::OnSetMessageString(WPARAM wParam, LPARAM lParam)
{
    UINT nIDLast = m_nIDLastMessage;
    CWnd* pMessageBar = GetMessageBar();
    if (pMessageBar != nullptr) {
        CString strMessage;
        LPCTSTR lpsz = (LPCTSTR)lParam;
        if (lpsz == nullptr) {
            if (wParam != 0)
                GetMessageString((UINT)wParam, strMessage);
            lpsz = strMessage;
        }
        pMessageBar->SetWindowText(lpsz);
    }
    m_nIDLastMessage = (UINT)wParam;
    m_nIDTracking = (UINT)wParam;
    return nIDLast;
}

LRESULT CFrameWnd::OnPopMessageString(WPARAM wParam, LPARAM lParam)
{
    return OnSetMessageString(wParam != 0 ? wParam : AFX_IDS_IDLEMESSAGE, lParam);
}

void CFrameWnd::OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu)
{
    if (nFlags == 0xFFFF && hSysMenu == nullptr) {
        m_nIDTracking = AFX_IDS_IDLEMESSAGE;   // the menu closed
    } else if (nItemID == 0 || (nFlags & (MF_SEPARATOR | MF_POPUP | MF_MENUBREAK | MF_MENUBARBREAK)) ||
               nItemID >= 0xF000) {
        m_nIDTracking = 0;
    } else {
        m_nIDTracking = nItemID;
    }
    SendMessage(WM_SETMESSAGESTRING, (WPARAM)m_nIDTracking);
}

LRESULT CFrameWnd::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM)
{
    // Floating bars live in frames of their own, outside this window's children.
    POSITION pos = m_listControlBars.GetHeadPosition();
    while (pos != nullptr) {
        CControlBar* pBar = (CControlBar*)m_listControlBars.GetNext(pos);
        if (pBar->IsFloating() && !pBar->IsDockBar())
            pBar->SendMessage(WM_IDLEUPDATECMDUI, wParam);
    }
    if (m_nIdleFlags & idleLayout)
        RecalcLayout((m_nIdleFlags & idleNotify) != 0);
    if (m_nIdleFlags & idleTitle)
        OnUpdateFrameTitle(TRUE);
    m_nIdleFlags = 0;
    return 0;
}

LRESULT CFrameWnd::OnHelpPromptAddr(WPARAM, LPARAM) { return (LRESULT)&m_dwPromptContext; }

void CFrameWnd::OnUpdateFrameMenu(HMENU hMenuAlt)
{
    if (hMenuAlt == nullptr) {
        CDocument* pDoc = GetActiveDocument();
        if (pDoc != nullptr)
            hMenuAlt = pDoc->GetDefaultMenu();
        if (hMenuAlt == nullptr)
            hMenuAlt = m_hMenuDefault;
    }
    if (hMenuAlt != nullptr && ::GetMenu(m_hWnd) != hMenuAlt)
        ::SetMenu(m_hWnd, hMenuAlt);
}

void CFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    if ((GetStyle() & FWS_ADDTOTITLE) == 0)
        return;
    CDocument* pDoc = GetActiveDocument();
    if (bAddToTitle && pDoc != nullptr)
        UpdateFrameTitleForDocument(pDoc->GetTitle());
    else
        UpdateFrameTitleForDocument(nullptr);
}

void CFrameWnd::UpdateFrameTitleForDocument(LPCTSTR lpszDocName)
{
    CString strTitle;
    if (lpszDocName != nullptr && *lpszDocName != '\0') {
        CString strDoc = lpszDocName;
        if (m_nWindow > 0) {
            CString strNumber;
            strNumber.Format(":%d", m_nWindow);
            strDoc += strNumber;
        }
        if (m_strTitle.IsEmpty())
            strTitle = strDoc;
        else if (GetStyle() & FWS_PREFIXTITLE)
            strTitle = strDoc + " - " + m_strTitle;
        else
            strTitle = m_strTitle + " - " + strDoc;
    } else {
        strTitle = m_strTitle;
    }
    SetTextIfChanged(m_hWnd, strTitle);
}

void CFrameWnd::OnClose()
{
    CWinApp* pApp = AfxGetApp();
    if (pApp != nullptr && pApp->m_pMainWnd == this) {
        // Closing the program: every document may veto, then all are closed.
        if (!pApp->SaveAllModified())
            return;
        pApp->CloseAllDocuments(FALSE);
        if (pApp->m_pMainWnd == nullptr)
            return;   // closing a document closed this frame too
        // Objects other programs still hold keep the program running, out of sight.
        if (!AfxOleCanExitApp()) {
            AfxOleSetUserCtrl(FALSE);
            ShowWindow(SW_HIDE);
            return;
        }
        DestroyWindow();
        return;
    }
    CDocument* pDoc = GetActiveDocument();
    if (pDoc != nullptr && !pDoc->CanCloseFrame(this))
        return;
    if (pDoc != nullptr && pDoc->m_bAutoDelete && IsLastFrameOf(pDoc, this)) {
        pDoc->OnCloseDocument();   // destroys this frame
        return;
    }
    DestroyWindow();
}

void CFrameWnd::OnDestroy()
{
    // A shared menu belongs to its template: put the frame's own back before the
    // window takes its menu down with it.
    HMENU hMenuCurrent = ::GetMenu(m_hWnd);
    if (m_hMenuDefault != nullptr && hMenuCurrent != m_hMenuDefault)
        ::SetMenu(m_hWnd, m_hMenuDefault);
    CWnd::OnDestroy();
}

void CFrameWnd::PostNcDestroy() { delete this; }

BOOL CFrameWnd::OnQueryEndSession()
{
    CWinApp* pApp = AfxGetApp();
    if (pApp != nullptr && pApp->m_pMainWnd == this)
        return pApp->SaveAllModified();
    return TRUE;
}

void CFrameWnd::OnEndSession(BOOL bEnding)
{
    if (!bEnding)
        return;
    CWinApp* pApp = AfxGetApp();
    if (pApp != nullptr && pApp->m_pMainWnd == this) {
        pApp->CloseAllDocuments(TRUE);
        pApp->ExitInstance();
    }
}

void CFrameWnd::OnDropFiles(HDROP hDropInfo)
{
    SetActiveWindow();
    CWinApp* pApp = AfxGetApp();
    UINT nFiles = ::DragQueryFileA(hDropInfo, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < nFiles && pApp != nullptr; i++) {
        char szFileName[MAX_PATH];
        ::DragQueryFileA(hDropInfo, i, szFileName, MAX_PATH);
        pApp->OpenDocumentFile(szFileName);
    }
    ::DragFinish(hDropInfo);
}

/////////////////////////////////////////////////////////////////////////////
// The shell's DDE conversation: application = the program's name, topic "system".

LRESULT CFrameWnd::OnDDEInitiate(WPARAM wParam, LPARAM lParam)
{
    CWinApp* pApp = AfxGetApp();
    ATOM atomApp = (ATOM)LOWORD(lParam), atomTopic = (ATOM)HIWORD(lParam);
    if (pApp != nullptr && pApp->m_atomApp != 0 && atomApp == pApp->m_atomApp &&
        atomTopic == pApp->m_atomSystemTopic) {
        // The atoms of the answer belong to the client, which deletes them.
        ::SendMessageA((HWND)wParam, WM_DDE_ACK, (WPARAM)m_hWnd,
                       MAKELPARAM(::GlobalAddAtomA(pApp->m_pszExeName), ::GlobalAddAtomA("system")));
    }
    return 0;
}

LRESULT CFrameWnd::OnDDEExecute(WPARAM wParam, LPARAM lParam)
{
    UINT_PTR uiLow = 0, uiHigh = 0;
    ::UnpackDDElParam(WM_DDE_EXECUTE, lParam, &uiLow, &uiHigh);
    HGLOBAL hData = (HGLOBAL)uiHigh;
    CString strCommand;
    LPCSTR lpsz = (LPCSTR)::GlobalLock(hData);
    if (lpsz != nullptr) {
        strCommand = lpsz;
        ::GlobalUnlock(hData);
    }
    // Acknowledge before carrying out the command, so the client is not kept waiting on
    // whatever the command shows.
    CWinApp* pApp = AfxGetApp();
    BOOL bAccepted = pApp != nullptr && !strCommand.IsEmpty();
    LPARAM lParamAck = ::ReuseDDElParam(lParam, WM_DDE_EXECUTE, WM_DDE_ACK, bAccepted ? 0x8000 : 0, (UINT_PTR)hData);
    ::PostMessageA((HWND)wParam, WM_DDE_ACK, (WPARAM)m_hWnd, lParamAck);
    if (bAccepted)
        pApp->OnDDECommand(strCommand.GetBuffer(0));
    return 0;
}

LRESULT CFrameWnd::OnDDETerminate(WPARAM wParam, LPARAM lParam)
{
    ::PostMessageA((HWND)wParam, WM_DDE_TERMINATE, (WPARAM)m_hWnd, lParam);
    return 0;
}

/////////////////////////////////////////////////////////////////////////////
// CMDIFrameWnd

IMPLEMENT_DYNCREATE(CMDIFrameWnd, CFrameWnd)

BEGIN_MESSAGE_MAP(CMDIFrameWnd, CFrameWnd)
    ON_COMMAND(ID_WINDOW_NEW, OnWindowNew)
    ON_COMMAND_EX(ID_WINDOW_ARRANGE, OnMDIWindowCmd)
    ON_COMMAND_EX(ID_WINDOW_CASCADE, OnMDIWindowCmd)
    ON_COMMAND_EX(ID_WINDOW_TILE_HORZ, OnMDIWindowCmd)
    ON_COMMAND_EX(ID_WINDOW_TILE_VERT, OnMDIWindowCmd)
    ON_UPDATE_COMMAND_UI(ID_WINDOW_ARRANGE, OnUpdateMDIWindowCmd)
    ON_UPDATE_COMMAND_UI(ID_WINDOW_CASCADE, OnUpdateMDIWindowCmd)
    ON_UPDATE_COMMAND_UI(ID_WINDOW_TILE_HORZ, OnUpdateMDIWindowCmd)
    ON_UPDATE_COMMAND_UI(ID_WINDOW_TILE_VERT, OnUpdateMDIWindowCmd)
    ON_UPDATE_COMMAND_UI(ID_WINDOW_NEW, OnUpdateMDIWindowCmd)
END_MESSAGE_MAP()

CMDIFrameWnd::CMDIFrameWnd() : m_hWndMDIClient(nullptr) {}

HMENU CMDIFrameWnd::GetWindowMenuPopup(HMENU hMenuBar)
{
    if (hMenuBar == nullptr)
        return nullptr;
    int nCount = ::GetMenuItemCount(hMenuBar);
    for (int i = 0; i < nCount; i++) {
        HMENU hPopup = ::GetSubMenu(hMenuBar, i);
        if (hPopup == nullptr)
            continue;
        int nItems = ::GetMenuItemCount(hPopup);
        for (int j = 0; j < nItems; j++) {
            UINT nID = ::GetMenuItemID(hPopup, j);
            if (nID >= ID_WINDOW_NEW && nID <= ID_WINDOW_TILE_VERT)
                return hPopup;
        }
    }
    return nCount >= 2 ? ::GetSubMenu(hMenuBar, nCount - 2) : nullptr;
}

BOOL CMDIFrameWnd::OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext*)
{
    HMENU hMenu = ::GetMenu(m_hWnd);
    return CreateClient(lpcs, CMenu::FromHandle(GetWindowMenuPopup(hMenu)));
}

BOOL CMDIFrameWnd::CreateClient(LPCREATESTRUCT lpcs, CMenu* pWindowMenu)
{
    CLIENTCREATESTRUCT ccs;
    ccs.hWindowMenu = pWindowMenu->GetSafeHmenu();
    ccs.idFirstChild = AFX_IDM_FIRST_MDICHILD;
    // The scroll bars asked of the frame belong to the client, which scrolls the children.
    DWORD dwStyle = WS_VISIBLE | WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | MDIS_ALLCHILDSTYLES |
                    ((DWORD)lpcs->style & (WS_HSCROLL | WS_VSCROLL));
    m_hWndMDIClient = ::CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr, dwStyle, 0, 0, 0, 0, m_hWnd,
                                        (HMENU)(UINT_PTR)AFX_IDW_PANE_FIRST, AfxGetInstanceHandle(), &ccs);
    if (m_hWndMDIClient == nullptr)
        return FALSE;
    // Left on the frame they would be a second, dead pair along its edge.
    ModifyStyle(WS_HSCROLL | WS_VSCROLL, 0, SWP_NOREDRAW | SWP_FRAMECHANGED);
    return TRUE;
}

LRESULT CMDIFrameWnd::DefWindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    return ::DefFrameProcA(m_hWnd, m_hWndMDIClient, nMsg, wParam, lParam);
}

CMDIChildWnd* CMDIFrameWnd::MDIGetActive(BOOL* pbMaximized) const
{
    BOOL bMaximized = FALSE;
    HWND hWnd = m_hWndMDIClient ? (HWND)::SendMessageA(m_hWndMDIClient, WM_MDIGETACTIVE, 0, (LPARAM)&bMaximized)
                                : nullptr;
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (pWnd == nullptr || !pWnd->IsKindOf(RUNTIME_CLASS(CMDIChildWnd)))
        bMaximized = FALSE, pWnd = nullptr;
    if (pbMaximized != nullptr)
        *pbMaximized = bMaximized;
    return (CMDIChildWnd*)pWnd;
}

CMenu* CMDIFrameWnd::MDISetMenu(CMenu* pFrameMenu, CMenu* pWindowMenu)
{
    return CMenu::FromHandle((HMENU)::SendMessageA(m_hWndMDIClient, WM_MDISETMENU,
                                                   (WPARAM)pFrameMenu->GetSafeHmenu(),
                                                   (LPARAM)pWindowMenu->GetSafeHmenu()));
}

CFrameWnd* CMDIFrameWnd::GetActiveFrame()
{
    CMDIChildWnd* pActive = MDIGetActive();
    return pActive != nullptr ? (CFrameWnd*)pActive : (CFrameWnd*)this;
}

BOOL CMDIFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // The active document window (its view, document and itself) comes first.
    CMDIChildWnd* pActive = MDIGetActive();
    if (pActive != nullptr && pActive->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    return CFrameWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CMDIFrameWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    // The window list activates children itself.
    if (lParam == 0 && LOWORD(wParam) >= AFX_IDM_FIRST_MDICHILD) {
        DefWindowProc(WM_COMMAND, wParam, lParam);
        return TRUE;
    }
    return CFrameWnd::OnCommand(wParam, lParam);
}

BOOL CMDIFrameWnd::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) {
        CMDIChildWnd* pActive = MDIGetActive();
        if (pActive != nullptr && ::TranslateMDISysAccel(m_hWndMDIClient, pMsg))
            return TRUE;
        // The active child's accelerators (its document's or its template's), else the frame's.
        HACCEL hAccel = pActive != nullptr ? pActive->GetDefaultAccelerator() : nullptr;
        if (hAccel == nullptr)
            hAccel = m_hAccelTable;
        if (hAccel != nullptr && ::TranslateAcceleratorA(m_hWnd, hAccel, pMsg))
            return TRUE;
    }
    return CWnd::PreTranslateMessage(pMsg);
}

void CMDIFrameWnd::OnUpdateFrameMenu(HMENU hMenuAlt)
{
    CMDIChildWnd* pActive = MDIGetActive();
    if (pActive != nullptr) {
        pActive->OnUpdateFrameMenu(TRUE, pActive, hMenuAlt);
        return;
    }
    HMENU hMenu = hMenuAlt != nullptr ? hMenuAlt : m_hMenuDefault;
    if (hMenu != nullptr) {
        ::SendMessageA(m_hWndMDIClient, WM_MDISETMENU, (WPARAM)hMenu, (LPARAM)GetWindowMenuPopup(hMenu));
        ::DrawMenuBar(m_hWnd);
    }
}

void CMDIFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    if ((GetStyle() & FWS_ADDTOTITLE) == 0)
        return;
    BOOL bMaximized = FALSE;
    CMDIChildWnd* pActive = MDIGetActive(&bMaximized);
    // A maximised child shows its own title inside the frame's; the system adds it.
    if (bAddToTitle && pActive != nullptr && !bMaximized) {
        CDocument* pDoc = pActive->GetActiveDocument();
        if (pDoc != nullptr) {
            int nWindow = m_nWindow;
            m_nWindow = pActive->m_nWindow;
            UpdateFrameTitleForDocument(pDoc->GetTitle());
            m_nWindow = nWindow;
            return;
        }
        CString strChild = pActive->GetTitle();
        UpdateFrameTitleForDocument(strChild.IsEmpty() ? nullptr : (LPCTSTR)strChild);
        return;
    }
    UpdateFrameTitleForDocument(nullptr);
}

void CMDIFrameWnd::OnWindowNew()
{
    CMDIChildWnd* pActive = MDIGetActive();
    CDocument* pDoc = pActive != nullptr ? pActive->GetActiveDocument() : nullptr;
    if (pDoc == nullptr || pDoc->GetDocTemplate() == nullptr)
        return;
    CDocTemplate* pTemplate = pDoc->GetDocTemplate();
    CFrameWnd* pFrame = pTemplate->CreateNewFrame(pDoc, pActive);
    if (pFrame == nullptr) {
        AfxMessageBox(AFX_IDP_FAILED_TO_CREATE);
        return;
    }
    pTemplate->InitialUpdateFrame(pFrame, pDoc);
}

BOOL CMDIFrameWnd::OnMDIWindowCmd(UINT nID)
{
    switch (nID) {
    case ID_WINDOW_ARRANGE:
        MDIIconArrange();
        return TRUE;
    case ID_WINDOW_CASCADE:
        MDICascade();
        return TRUE;
    case ID_WINDOW_TILE_HORZ:
        MDITile(MDITILE_HORIZONTAL);
        return TRUE;
    case ID_WINDOW_TILE_VERT:
        MDITile(MDITILE_VERTICAL);
        return TRUE;
    default:
        return FALSE;
    }
}

void CMDIFrameWnd::OnUpdateMDIWindowCmd(CCmdUI* pCmdUI) { pCmdUI->Enable(MDIGetActive() != nullptr); }

/////////////////////////////////////////////////////////////////////////////
// CMDIChildWnd

IMPLEMENT_DYNCREATE(CMDIChildWnd, CFrameWnd)

BEGIN_MESSAGE_MAP(CMDIChildWnd, CFrameWnd)
    ON_WM_CREATE()
    ON_WM_MDIACTIVATE()
END_MESSAGE_MAP()

CMDIChildWnd::CMDIChildWnd() : m_hMenuShared(nullptr) {}

CMDIFrameWnd* CMDIChildWnd::GetMDIFrame() const
{
    HWND hWndClient = ::GetParent(m_hWnd);
    CWnd* pFrame = CWnd::FromHandlePermanent(::GetParent(hWndClient));
    return pFrame != nullptr && pFrame->IsKindOf(RUNTIME_CLASS(CMDIFrameWnd)) ? (CMDIFrameWnd*)pFrame : nullptr;
}

BOOL CMDIChildWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.style |= WS_CHILD;
    return CFrameWnd::PreCreateWindow(cs);
}

BOOL CMDIChildWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                          CMDIFrameWnd* pParentWnd, CCreateContext* pContext)
{
    if (pParentWnd == nullptr) {
        CWnd* pMainWnd = AfxGetMainWnd();
        if (pMainWnd != nullptr && pMainWnd->IsKindOf(RUNTIME_CLASS(CMDIFrameWnd)))
            pParentWnd = (CMDIFrameWnd*)pMainWnd;
    }
    if (pParentWnd == nullptr || pParentWnd->m_hWndMDIClient == nullptr) {
        PostNcDestroy();
        return FALSE;
    }
    CREATESTRUCT cs = {};
    cs.style = (LONG)(dwStyle | WS_CHILD);
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.hwndParent = pParentWnd->m_hWndMDIClient;
    cs.hInstance = AfxGetInstanceHandle();
    cs.x = cs.y = cs.cx = cs.cy = CW_USEDEFAULT;
    if (rect.left != CW_USEDEFAULT) {
        cs.x = rect.left;
        cs.y = rect.top;
        cs.cx = rect.right - rect.left;
        cs.cy = rect.bottom - rect.top;
    }
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return FALSE;
    }
    m_strTitle = lpszWindowName;
    // Created hidden; ActivateFrame shows and activates it once its view is ready.
    MDICREATESTRUCTA mcs;
    mcs.szClass = cs.lpszClass;
    mcs.szTitle = cs.lpszName;
    mcs.hOwner = cs.hInstance;
    mcs.x = cs.x;
    mcs.y = cs.y;
    mcs.cx = cs.cx;
    mcs.cy = cs.cy;
    mcs.style = (DWORD)cs.style & ~(WS_MAXIMIZE | WS_VISIBLE);
    mcs.lParam = (LPARAM)pContext;
    AfxHookWindowCreate(this);
    HWND hWnd = (HWND)::SendMessageA(pParentWnd->m_hWndMDIClient, WM_MDICREATE, 0, (LPARAM)&mcs);
    if (!AfxUnhookWindowCreate())
        PostNcDestroy();
    return hWnd != nullptr;
}

BOOL CMDIChildWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    m_nIDHelp = nIDResource;
    CString strFull;
    if (strFull.LoadString(nIDResource))
        AfxExtractSubString(m_strTitle, strFull, 0);
    // The menu and accelerators are the template's, shared by all its windows; known
    // before creation, as the system may activate the child while creating it.
    if (pContext != nullptr && pContext->m_pNewDocTemplate != nullptr &&
        pContext->m_pNewDocTemplate->IsKindOf(RUNTIME_CLASS(CMultiDocTemplate))) {
        CMultiDocTemplate* pTemplate = (CMultiDocTemplate*)pContext->m_pNewDocTemplate;
        m_hMenuShared = pTemplate->m_hMenuShared;
        m_hAccelTable = pTemplate->m_hAccelTable;
    }
    LPCTSTR lpszClass = GetIconWndClass(dwDefaultStyle, nIDResource);
    CString strTitle = m_strTitle;
    CMDIFrameWnd* pFrame = nullptr;
    if (pParentWnd != nullptr && pParentWnd->IsKindOf(RUNTIME_CLASS(CMDIFrameWnd)))
        pFrame = (CMDIFrameWnd*)pParentWnd;
    if (!Create(lpszClass, strTitle, dwDefaultStyle, rectDefault, pFrame, pContext))
        return FALSE;
    if (pContext == nullptr)
        SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
    return TRUE;
}

int CMDIChildWnd::OnCreate(LPCREATESTRUCT lpcs)
{
    // A child's creation data is the MDI record, whose lParam carries the context.
    MDICREATESTRUCTA* pmcs = (MDICREATESTRUCTA*)lpcs->lpCreateParams;
    return OnCreateHelper(lpcs, pmcs != nullptr ? (CCreateContext*)pmcs->lParam : nullptr);
}

LRESULT CMDIChildWnd::DefWindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = ::DefMDIChildProcA(m_hWnd, nMsg, wParam, lParam);
    // Windows renames a child's entry in the frame's window list when the child's text
    // changes; Wine's MDI keeps the text the child had when it was listed (empty, as the
    // framework names a child after creating it), so the list is built again.
    if (nMsg == WM_SETTEXT && ::GetParent(m_hWnd) != nullptr)
        ::SendMessageA(::GetParent(m_hWnd), WM_MDIREFRESHMENU, 0, 0);
    return lResult;
}

BOOL CMDIChildWnd::DestroyWindow()
{
    if (m_hWnd == nullptr)
        return FALSE;
    MDIDestroy();
    return TRUE;
}

void CMDIChildWnd::MDIDestroy() { ::SendMessageA(::GetParent(m_hWnd), WM_MDIDESTROY, (WPARAM)m_hWnd, 0); }

void CMDIChildWnd::MDIActivate() { ::SendMessageA(::GetParent(m_hWnd), WM_MDIACTIVATE, (WPARAM)m_hWnd, 0); }

void CMDIChildWnd::ActivateFrame(int nCmdShow)
{
    CMDIFrameWnd* pFrame = GetMDIFrame();
    BOOL bMaximized = FALSE;
    CMDIChildWnd* pActive = pFrame != nullptr ? pFrame->MDIGetActive(&bMaximized) : nullptr;
    if (nCmdShow == -1 && !IsWindowVisible()) {
        // A new window opens maximised when the active one is.
        nCmdShow = pActive != nullptr && pActive != this && bMaximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    }
    CFrameWnd::ActivateFrame(nCmdShow);
    if (pFrame != nullptr) {
        if (pFrame->MDIGetActive() != this)
            MDIActivate();
        else
            OnUpdateFrameMenu(TRUE, this, nullptr);
        pFrame->OnUpdateFrameTitle(TRUE);
    }
}

void CMDIChildWnd::OnMDIActivate(BOOL bActivate, CWnd* pActivateWnd, CWnd*)
{
    Default();
    CView* pView = GetActiveView();
    if (pView != nullptr)
        pView->OnActivateView(bActivate, pView, pView);
    OnUpdateFrameMenu(bActivate, pActivateWnd, nullptr);
    CMDIFrameWnd* pFrame = GetMDIFrame();
    if (pFrame != nullptr && (bActivate || pActivateWnd == nullptr))
        pFrame->OnUpdateFrameTitle(TRUE);
}

void CMDIChildWnd::OnUpdateFrameMenu(BOOL bActivate, CWnd* pActivateWnd, HMENU hMenuAlt)
{
    CMDIFrameWnd* pFrame = GetMDIFrame();
    if (pFrame == nullptr)
        return;
    HMENU hMenu = nullptr;
    if (bActivate) {
        hMenu = hMenuAlt;
        CDocument* pDoc = GetActiveDocument();
        if (hMenu == nullptr && pDoc != nullptr)
            hMenu = pDoc->GetDefaultMenu();
        if (hMenu == nullptr)
            hMenu = m_hMenuShared;
        if (hMenu == nullptr)
            hMenu = pFrame->m_hMenuDefault;
    } else if (pActivateWnd == nullptr) {
        hMenu = pFrame->m_hMenuDefault;   // the last document window is going
    }
    if (hMenu != nullptr)
        ::SendMessageA(pFrame->m_hWndMDIClient, WM_MDISETMENU, (WPARAM)hMenu,
                       (LPARAM)pFrame->GetWindowMenuPopup(hMenu));
    ::DrawMenuBar(pFrame->m_hWnd);
}

void CMDIChildWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    if (GetStyle() & FWS_ADDTOTITLE) {
        CDocument* pDoc = GetActiveDocument();
        CString strTitle = bAddToTitle && pDoc != nullptr ? pDoc->GetTitle() : m_strTitle;
        if (m_nWindow > 0) {
            CString strNumber;
            strNumber.Format(":%d", m_nWindow);
            strTitle += strNumber;
        }
        SetTextIfChanged(m_hWnd, strTitle);
    }
    CMDIFrameWnd* pFrame = GetMDIFrame();
    if (pFrame != nullptr)
        pFrame->OnUpdateFrameTitle(bAddToTitle);
}
