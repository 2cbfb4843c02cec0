// CWnd: the handle map, creation through a hook, subclassing, message dispatch through
// message maps, reflection of control notifications, modal loops and CCmdUI.
#include "afxwin.h"
#include "HandleMap.h"
#include "ModuleState.h"

namespace {

// Per-thread dispatch state: the message being handled (for Default and reflection)
// and the window waiting for its creation hook.
struct ThreadState
{
    MSG lastSentMsg;
    CWnd* pWndInit;
    HHOOK hHookCbt;
};
thread_local ThreadState t_state = {};

afximpl::HandleMap<HWND, CWnd>& WndMap()
{
    static afximpl::HandleMap<HWND, CWnd> map([]() { return new CWnd; },
                                              [](CWnd* p, HWND h) { p->m_hWnd = h; });
    return map;
}

LRESULT CALLBACK CbtFilterHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && t_state.pWndInit != nullptr) {
        CWnd* pWndInit = t_state.pWndInit;
        t_state.pWndInit = nullptr;
        HWND hWnd = (HWND)wParam;
        pWndInit->Attach(hWnd);
        WNDPROC* ppfnSuper = pWndInit->GetSuperWndProcAddr();
        WNDPROC oldProc = (WNDPROC)::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, (LONG_PTR)AfxWndProc);
        if (oldProc != AfxWndProc)
            *ppfnSuper = oldProc;
    }
    return ::CallNextHookEx(t_state.hHookCbt, code, wParam, lParam);
}

// Records whether a command is enabled, to refuse disabled menu commands.
class CTestCmdUI : public CCmdUI
{
public:
    BOOL m_bEnabled = TRUE;
    void Enable(BOOL bOn) override { m_bEnabled = bOn; m_bEnableChanged = TRUE; }
    void SetCheck(int) override {}
    void SetRadio(BOOL) override {}
    void SetText(LPCTSTR) override {}
};

}

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
    ON_WM_DRAWITEM()
    ON_WM_MEASUREITEM()
    ON_WM_COMPAREITEM()
    ON_WM_DELETEITEM()
    ON_WM_CTLCOLOR()
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
    ON_WM_PARENTNOTIFY()
END_MESSAGE_MAP()

CWnd::CWnd() : m_hWnd(nullptr), m_nFlags(0), m_hWndOwner(nullptr), m_pfnSuper(nullptr), m_nModalResult(0) {}

CWnd::~CWnd()
{
    if (m_hWnd != nullptr && WndMap().LookupPermanent(m_hWnd) == this)
        DestroyWindow();
}

CWnd::operator HWND() const { return this == nullptr ? nullptr : m_hWnd; }
HWND CWnd::GetSafeHwnd() const { return this == nullptr ? nullptr : m_hWnd; }

CWnd* PASCAL CWnd::FromHandle(HWND hWnd) { return WndMap().FromHandle(hWnd); }
CWnd* PASCAL CWnd::FromHandlePermanent(HWND hWnd) { return hWnd ? WndMap().LookupPermanent(hWnd) : nullptr; }
void PASCAL CWnd::DeleteTempMap() { WndMap().DeleteTemp(); }

BOOL CWnd::Attach(HWND hWndNew)
{
    if (hWndNew == nullptr || FromHandlePermanent(hWndNew) != nullptr)
        return FALSE;
    WndMap().SetPermanent(hWndNew, this);
    m_hWnd = hWndNew;
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hWnd = m_hWnd;
    if (hWnd != nullptr)
        WndMap().RemoveHandle(hWnd, this);
    m_hWnd = nullptr;
    return hWnd;
}

WNDPROC* CWnd::GetSuperWndProcAddr() { return &m_pfnSuper; }

void CWnd::PreSubclassWindow() {}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!Attach(hWnd))
        return FALSE;
    PreSubclassWindow();
    WNDPROC oldProc = (WNDPROC)::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, (LONG_PTR)AfxWndProc);
    if (oldProc != AfxWndProc)
        *GetSuperWndProcAddr() = oldProc;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    HWND hWndControl = ::GetDlgItem(pParent->GetSafeHwnd(), (int)nID);
    return hWndControl != nullptr && SubclassWindow(hWndControl);
}

HWND CWnd::UnsubclassWindow()
{
    WNDPROC* ppfnSuper = GetSuperWndProcAddr();
    if (*ppfnSuper != nullptr) {
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, (LONG_PTR)*ppfnSuper);
        *ppfnSuper = nullptr;
    }
    return Detach();
}

void AfxHookWindowCreate(CWnd* pWnd)
{
    if (t_state.hHookCbt == nullptr)
        t_state.hHookCbt = ::SetWindowsHookExA(WH_CBT, CbtFilterHook, nullptr, ::GetCurrentThreadId());
    t_state.pWndInit = pWnd;
}

BOOL AfxUnhookWindowCreate()
{
    if (t_state.hHookCbt != nullptr) {
        ::UnhookWindowsHookEx(t_state.hHookCbt);
        t_state.hHookCbt = nullptr;
    }
    if (t_state.pWndInit != nullptr) {
        t_state.pWndInit = nullptr;
        return FALSE;   // the hook never saw its window
    }
    return TRUE;
}

BOOL AfxRegisterClass(WNDCLASS* lpWndClass)
{
    WNDCLASSA wndcls;
    if (::GetClassInfoA(lpWndClass->hInstance, lpWndClass->lpszClassName, &wndcls))
        return TRUE;
    return ::RegisterClassA(lpWndClass) != 0;
}

LPCTSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon)
{
    // The name encodes the attributes, so equal requests share one class.
    static thread_local char szName[96];
    HINSTANCE hInst = AfxGetInstanceHandle();
    if (hCursor == nullptr && hbrBackground == nullptr && hIcon == nullptr)
        snprintf(szName, sizeof szName, "Afx:%p:%x", (void*)hInst, nClassStyle);
    else
        snprintf(szName, sizeof szName, "Afx:%p:%x:%p:%p:%p", (void*)hInst, nClassStyle,
                 (void*)hCursor, (void*)hbrBackground, (void*)hIcon);
    WNDCLASSA wndcls = {};
    if (::GetClassInfoA(hInst, szName, &wndcls))
        return szName;
    wndcls.style = nClassStyle;
    wndcls.lpfnWndProc = ::DefWindowProcA;
    wndcls.hInstance = hInst;
    wndcls.hIcon = hIcon;
    wndcls.hCursor = hCursor;
    wndcls.hbrBackground = hbrBackground;
    wndcls.lpszClassName = szName;
    if (!AfxRegisterClass(&wndcls))
        AfxThrowResourceException();
    return szName;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (cs.lpszClass == nullptr)
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                           (HBRUSH)(COLOR_WINDOW + 1));
    return TRUE;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                    int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam)
{
    CREATESTRUCT cs;
    cs.dwExStyle = dwExStyle;
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = (LONG)dwStyle;
    cs.x = x;
    cs.y = y;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.hwndParent = hWndParent;
    cs.hMenu = nIDorHMenu;
    cs.hInstance = AfxGetInstanceHandle();
    cs.lpCreateParams = lpParam;
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return FALSE;
    }
    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, (DWORD)cs.style, cs.x, cs.y,
                                  cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    if (!AfxUnhookWindowCreate())
        PostNcDestroy();   // no window was made, so no WM_NCDESTROY will come
    return hWnd != nullptr;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam)
{
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top, pParentWnd->GetSafeHwnd(),
                    (HMENU)(UINT_PTR)nID, lpParam);
}

BOOL CWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID, void* pContext)
{
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID, pContext);
}

BOOL CWnd::DestroyWindow()
{
    if (m_hWnd == nullptr)
        return FALSE;
    HWND hWnd = m_hWnd;
    BOOL bPermanent = WndMap().LookupPermanent(hWnd) == this;
    BOOL bResult = ::DestroyWindow(hWnd);
    // A window this object does not own a subclass of is detached here rather than by
    // its WM_NCDESTROY.
    if (!bPermanent || m_hWnd == hWnd)
        Detach();
    return bResult;
}

void CWnd::CalcWindowRect(LPRECT lpClientRect, UINT)
{
    ::AdjustWindowRectEx(lpClientRect, GetStyle(), FALSE, GetExStyle());
}

void CWnd::PostNcDestroy() {}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (pWnd == nullptr)
        return ::DefWindowProcA(hWnd, nMsg, wParam, lParam);
    return AfxCallWndProc(pWnd, hWnd, nMsg, wParam, lParam);
}

LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    MSG oldState = t_state.lastSentMsg;
    t_state.lastSentMsg.hwnd = hWnd;
    t_state.lastSentMsg.message = nMsg;
    t_state.lastSentMsg.wParam = wParam;
    t_state.lastSentMsg.lParam = lParam;

    LRESULT lResult = 0;
    // An exception must not unwind through the system's window procedures: report it
    // here, as a failed message.
    try {
        lResult = pWnd->WindowProc(nMsg, wParam, lParam);
    } catch (CException* e) {
        lResult = nMsg == WM_CREATE ? -1 : 0;
        if (!e->IsKindOf(RUNTIME_CLASS(CUserException)))
            e->ReportError(MB_ICONEXCLAMATION);
        e->Delete();
    }

    if (nMsg == WM_NCDESTROY && pWnd->m_hWnd == hWnd) {
        // The window is gone: give it back its own procedure, leave the map, and let
        // the object clean up (a modeless dialog may delete itself here).
        afximpl::RevokeDropTargetOf(hWnd);
        WNDPROC* ppfnSuper = pWnd->GetSuperWndProcAddr();
        if ((WNDPROC)::GetWindowLongPtrA(hWnd, GWLP_WNDPROC) == AfxWndProc && *ppfnSuper != nullptr)
            ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, (LONG_PTR)*ppfnSuper);
        *ppfnSuper = nullptr;
        pWnd->Detach();
        CWinThread* pThread = AfxGetThread();
        if (pThread != nullptr && pThread->m_pMainWnd == pWnd) {
            pThread->m_pMainWnd = nullptr;
            AfxPostQuitMessage(0);
        }
        pWnd->PostNcDestroy();
    }
    t_state.lastSentMsg = oldState;
    return lResult;
}

const MSG* PASCAL CWnd::GetCurrentMessage() { return &t_state.lastSentMsg; }

LRESULT CWnd::Default()
{
    const MSG& msg = t_state.lastSentMsg;
    return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}

LRESULT CWnd::DefWindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper != nullptr)
        return ::CallWindowProcA(m_pfnSuper, m_hWnd, nMsg, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, nMsg, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = 0;
    if (!OnWndMsg(message, wParam, lParam, &lResult))
        lResult = DefWindowProc(message, wParam, lParam);
    return lResult;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_COMMAND) {
        if (OnCommand(wParam, lParam)) {
            *pResult = 1;
            return TRUE;
        }
        return FALSE;
    }
    if (message == WM_NOTIFY) {
        NMHDR* pNMHDR = (NMHDR*)lParam;
        return pNMHDR != nullptr && pNMHDR->hwndFrom != nullptr && OnNotify(wParam, lParam, pResult);
    }
    UINT nLookup = message;
    UINT nCtlColor = 0;
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        nLookup = WM_CTLCOLOR;
        nCtlColor = message - WM_CTLCOLORMSGBOX;
    }
    const AFX_MSGMAP_ENTRY* pEntry = FindMessageEntry(GetMessageMap(), nLookup, 0, 0);
    if (pEntry == nullptr)
        return FALSE;
    AFX_MSGCALL call = {message, wParam, lParam, nCtlColor, 0, nullptr, 0};
    if (!pEntry->pfn(this, call))
        return FALSE;
    *pResult = call.lResult;
    return TRUE;
}

BOOL CWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    return CCmdTarget::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT nID = LOWORD(wParam);
    HWND hWndCtrl = (HWND)lParam;
    int nCode = HIWORD(wParam);
    if (hWndCtrl == nullptr) {
        // A menu item or accelerator: a command its update handler disabled does nothing.
        if (nID == 0)
            return FALSE;
        CTestCmdUI state;
        state.m_nID = nID;
        OnCmdMsg(nID, CN_UPDATE_COMMAND_UI, &state, nullptr);
        if (!state.m_bEnabled)
            return TRUE;
        nCode = CN_COMMAND;
    } else {
        if (ReflectLastMsg(hWndCtrl))
            return TRUE;
        if (nID == 0)
            return FALSE;
    }
    return OnCmdMsg(nID, nCode, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult)
{
    NMHDR* pNMHDR = (NMHDR*)lParam;
    if (ReflectLastMsg(pNMHDR->hwndFrom, pResult))
        return TRUE;
    AFX_NOTIFY notify = {pResult, pNMHDR};
    return OnCmdMsg((UINT)pNMHDR->idFrom, (int)MAKELONG((WORD)pNMHDR->code, WM_NOTIFY), &notify, nullptr);
}

BOOL PASCAL CWnd::ReflectLastMsg(HWND hWndChild, LRESULT* pResult)
{
    CWnd* pWnd = FromHandlePermanent(hWndChild);
    return pWnd != nullptr && pWnd->SendChildNotifyLastMsg(pResult);
}

BOOL CWnd::SendChildNotifyLastMsg(LRESULT* pResult)
{
    const MSG& msg = t_state.lastSentMsg;
    LRESULT lResult = 0;
    BOOL bHandled = OnChildNotify(msg.message, msg.wParam, msg.lParam, pResult ? pResult : &lResult);
    return bHandled;
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    switch (message) {
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_PARENTNOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_COMPAREITEM:
        return CWnd::OnWndMsg(WM_REFLECT_BASE + message, wParam, lParam, pResult);
    case WM_COMMAND: {
        const AFX_MSGMAP_ENTRY* pEntry =
            FindMessageEntry(GetMessageMap(), WM_REFLECT_BASE + WM_COMMAND, HIWORD(wParam), 0);
        if (pEntry == nullptr)
            return FALSE;
        AFX_MSGCALL call = {message, wParam, lParam, LOWORD(wParam), HIWORD(wParam), nullptr, 0};
        if (!pEntry->pfn(this, call))
            return FALSE;
        *pResult = 1;
        return TRUE;
    }
    case WM_NOTIFY: {
        NMHDR* pNMHDR = (NMHDR*)lParam;
        const AFX_MSGMAP_ENTRY* pEntry =
            FindMessageEntry(GetMessageMap(), WM_REFLECT_BASE + WM_NOTIFY, (UINT)pNMHDR->code, 0);
        if (pEntry == nullptr)
            return FALSE;
        AFX_NOTIFY notify = {pResult, pNMHDR};
        AFX_MSGCALL call = {message, wParam, lParam, (UINT)pNMHDR->idFrom, (int)pNMHDR->code, &notify, 0};
        return pEntry->pfn(this, call);
    }
    default:
        if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC)
            return CWnd::OnWndMsg(WM_REFLECT_BASE + WM_CTLCOLOR, wParam,
                                  (LPARAM)(message - WM_CTLCOLORMSGBOX), pResult);
        return FALSE;
    }
}

/////////////////////////////////////////////////////////////////////////////
// Default handlers

int CWnd::OnCreate(LPCREATESTRUCT) { return (int)Default(); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnNcDestroy() { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnPaint() { Default(); }
void CWnd::OnNcPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return (BOOL)Default(); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnMove(int, int) { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnMButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnMButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
BOOL CWnd::OnMouseWheel(UINT, short, CPoint) { return (BOOL)Default(); }
int CWnd::OnMouseActivate(CWnd*, UINT, UINT) { return (int)Default(); }
void CWnd::OnNcLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnNcLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnNcRButtonDown(UINT, CPoint) { Default(); }
LRESULT CWnd::OnNcHitTest(CPoint) { return Default(); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }
UINT CWnd::OnGetDlgCode() { return (UINT)Default(); }
BOOL CWnd::OnHelpInfo(HELPINFO*) { return (BOOL)Default(); }
void CWnd::OnContextMenu(CWnd*, CPoint) { Default(); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return (BOOL)Default(); }
void CWnd::OnGetMinMaxInfo(MINMAXINFO*) { Default(); }
void CWnd::OnShowWindow(BOOL, UINT) { Default(); }
void CWnd::OnActivate(UINT, CWnd*, BOOL) { Default(); }
void CWnd::OnActivateApp(BOOL, DWORD) { Default(); }
BOOL CWnd::OnNcActivate(BOOL) { return (BOOL)Default(); }
void CWnd::OnEnable(BOOL) { Default(); }
void CWnd::OnInitMenu(CMenu*) { Default(); }
void CWnd::OnInitMenuPopup(CMenu*, UINT, BOOL) { Default(); }
void CWnd::OnMenuSelect(UINT, UINT, HMENU) { Default(); }
void CWnd::OnWindowPosChanging(WINDOWPOS*) { Default(); }
void CWnd::OnWindowPosChanged(WINDOWPOS*) { Default(); }
BOOL CWnd::OnQueryEndSession() { return (BOOL)Default(); }
void CWnd::OnEndSession(BOOL) { Default(); }
void CWnd::OnSysColorChange() { Default(); }
void CWnd::OnDropFiles(HDROP) { Default(); }
void CWnd::OnDevModeChange(LPSTR) { Default(); }
void CWnd::OnWinIniChange(LPCSTR) { Default(); }
void CWnd::OnCaptureChanged(CWnd*) { Default(); }
void CWnd::OnCancelMode() { Default(); }

// The handlers below first offer the message to the control it concerns (reflection).

void CWnd::OnHScroll(UINT, UINT, CScrollBar* pScrollBar)
{
    if (pScrollBar != nullptr && ReflectLastMsg(pScrollBar->m_hWnd))
        return;
    Default();
}

void CWnd::OnVScroll(UINT, UINT, CScrollBar* pScrollBar)
{
    if (pScrollBar != nullptr && ReflectLastMsg(pScrollBar->m_hWnd))
        return;
    Default();
}

HBRUSH CWnd::OnCtlColor(CDC*, CWnd* pWnd, UINT)
{
    LRESULT lResult;
    if (pWnd != nullptr && ReflectLastMsg(pWnd->m_hWnd, &lResult))
        return (HBRUSH)lResult;
    return (HBRUSH)Default();
}

void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    if (lpDrawItemStruct->CtlType == ODT_MENU) {
        CMenu* pMenu = CMenu::FromHandlePermanent((HMENU)lpDrawItemStruct->hwndItem);
        if (pMenu != nullptr) {
            pMenu->DrawItem(lpDrawItemStruct);
            return;
        }
    } else if (ReflectLastMsg(lpDrawItemStruct->hwndItem)) {
        return;
    }
    Default();
}

void CWnd::OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT)
{
    if (nIDCtl != 0 && ReflectLastMsg(::GetDlgItem(m_hWnd, nIDCtl)))
        return;
    Default();
}

int CWnd::OnCompareItem(int, LPCOMPAREITEMSTRUCT lpCompareItemStruct)
{
    LRESULT lResult;
    if (ReflectLastMsg(lpCompareItemStruct->hwndItem, &lResult))
        return (int)lResult;
    return (int)Default();
}

void CWnd::OnDeleteItem(int, LPDELETEITEMSTRUCT lpDeleteItemStruct)
{
    if (ReflectLastMsg(lpDeleteItemStruct->hwndItem))
        return;
    Default();
}

void CWnd::OnParentNotify(UINT message, LPARAM lParam)
{
    if ((LOWORD(message) == WM_CREATE || LOWORD(message) == WM_DESTROY) && ReflectLastMsg((HWND)lParam))
        return;
    Default();
}

/////////////////////////////////////////////////////////////////////////////
// Helpers

// Changes style bits; with nFlags, tells the window its frame changed.
static BOOL ModifyWindowLong(HWND hWnd, int nIndex, DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    DWORD dwStyle = (DWORD)::GetWindowLongPtrA(hWnd, nIndex);
    DWORD dwNewStyle = (dwStyle & ~dwRemove) | dwAdd;
    if (dwStyle == dwNewStyle)
        return FALSE;
    ::SetWindowLongPtrA(hWnd, nIndex, (LONG_PTR)dwNewStyle);
    if (nFlags != 0)
        ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ModifyWindowLong(m_hWnd, GWL_STYLE, dwRemove, dwAdd, nFlags);
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ModifyWindowLong(m_hWnd, GWL_EXSTYLE, dwRemove, dwAdd, nFlags);
}

CWnd* CWnd::GetOwner() const
{
    return m_hWndOwner != nullptr ? FromHandle(m_hWndOwner) : GetParent();
}

void CWnd::GetWindowText(CString& rString) const
{
    int nLen = ::GetWindowTextLengthA(m_hWnd);
    ::GetWindowTextA(m_hWnd, rString.GetBufferSetLength(nLen), nLen + 1);
    rString.ReleaseBuffer();
}

int CWnd::GetDlgItemText(int nID, CString& rString) const
{
    rString.Empty();
    HWND hWnd = ::GetDlgItem(m_hWnd, nID);
    if (hWnd != nullptr) {
        int nLen = ::GetWindowTextLengthA(hWnd);
        ::GetWindowTextA(hWnd, rString.GetBufferSetLength(nLen), nLen + 1);
        rString.ReleaseBuffer();
    }
    return rString.GetLength();
}

void CWnd::SetFont(CFont* pFont, BOOL bRedraw)
{
    ::SendMessageA(m_hWnd, WM_SETFONT, (WPARAM)pFont->GetSafeHandle(), bRedraw);
}

CFont* CWnd::GetFont() const
{
    return CFont::FromHandle((HFONT)::SendMessageA(m_hWnd, WM_GETFONT, 0, 0));
}

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags)
{
    return ::SetWindowPos(m_hWnd, pWndInsertAfter->GetSafeHwnd(), x, y, cx, cy, nFlags);
}

void CWnd::ClientToScreen(LPRECT lpRect) const
{
    ::ClientToScreen(m_hWnd, (LPPOINT)lpRect);
    ::ClientToScreen(m_hWnd, ((LPPOINT)lpRect) + 1);
}

void CWnd::ScreenToClient(LPRECT lpRect) const
{
    ::ScreenToClient(m_hWnd, (LPPOINT)lpRect);
    ::ScreenToClient(m_hWnd, ((LPPOINT)lpRect) + 1);
}

void CWnd::CenterWindow(CWnd* pAlternateOwner)
{
    HWND hWndCenter = pAlternateOwner != nullptr ? pAlternateOwner->m_hWnd : ::GetWindow(m_hWnd, GW_OWNER);
    if (hWndCenter == nullptr && (GetStyle() & WS_CHILD))
        hWndCenter = ::GetParent(m_hWnd);
    RECT rcDlg, rcArea, rcCenter;
    ::GetWindowRect(m_hWnd, &rcDlg);
    if (GetStyle() & WS_CHILD) {
        HWND hWndParent = ::GetParent(m_hWnd);
        ::GetClientRect(hWndParent, &rcArea);
        if (hWndCenter != nullptr)
            ::GetClientRect(hWndCenter, &rcCenter);
        else
            rcCenter = rcArea;
        ::MapWindowPoints(hWndCenter, hWndParent, (LPPOINT)&rcCenter, 2);
    } else {
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcArea, 0);
        if (hWndCenter != nullptr && ::IsWindowVisible(hWndCenter) && !::IsIconic(hWndCenter))
            ::GetWindowRect(hWndCenter, &rcCenter);
        else
            rcCenter = rcArea;
    }
    int cx = rcDlg.right - rcDlg.left, cy = rcDlg.bottom - rcDlg.top;
    int x = (rcCenter.left + rcCenter.right) / 2 - cx / 2;
    int y = (rcCenter.top + rcCenter.bottom) / 2 - cy / 2;
    if (x + cx > rcArea.right) x = rcArea.right - cx;
    if (x < rcArea.left) x = rcArea.left;
    if (y + cy > rcArea.bottom) y = rcArea.bottom - cy;
    if (y < rcArea.top) y = rcArea.top;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CWnd::GetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, UINT nMask)
{
    lpScrollInfo->cbSize = sizeof(*lpScrollInfo);
    lpScrollInfo->fMask = nMask;
    return ::GetScrollInfo(m_hWnd, nBar, lpScrollInfo);
}

void CWnd::EnableScrollBarCtrl(int nBar, BOOL bEnable)
{
    ::ShowScrollBar(m_hWnd, nBar, bEnable);
}

int CWnd::GetCheckedRadioButton(int nIDFirstButton, int nIDLastButton)
{
    for (int nID = nIDFirstButton; nID <= nIDLastButton; nID++)
        if (::IsDlgButtonChecked(m_hWnd, nID))
            return nID;
    return 0;
}

// The first window above this one that is not a child: its parent or its owner.
static HWND ParentOwner(HWND hWnd)
{
    HWND hWndParent;
    while ((::GetWindowLongPtrA(hWnd, GWL_STYLE) & WS_CHILD) && (hWndParent = ::GetParent(hWnd)) != nullptr)
        hWnd = hWndParent;
    return hWnd;
}

CWnd* CWnd::GetParentOwner() const
{
    if (GetSafeHwnd() == nullptr)
        return nullptr;
    return FromHandle(ParentOwner(m_hWnd));
}

// Up through parents and owners to the window nothing else owns.
CWnd* CWnd::GetTopLevelParent() const
{
    if (GetSafeHwnd() == nullptr)
        return nullptr;
    HWND hWnd = ParentOwner(m_hWnd);
    HWND hWndOwner;
    while ((hWndOwner = ::GetWindow(hWnd, GW_OWNER)) != nullptr)
        hWnd = ParentOwner(hWndOwner);
    return FromHandle(hWnd);
}

CWnd* CWnd::GetDescendantWindow(int nID, BOOL bOnlyPerm) const
{
    HWND hWndChild = ::GetDlgItem(m_hWnd, nID);
    if (hWndChild != nullptr) {
        if (::GetTopWindow(hWndChild) != nullptr) {
            CWnd* pWnd = FromHandle(hWndChild)->GetDescendantWindow(nID, bOnlyPerm);
            if (pWnd != nullptr)
                return pWnd;
        }
        CWnd* pWnd = bOnlyPerm ? FromHandlePermanent(hWndChild) : FromHandle(hWndChild);
        if (pWnd != nullptr)
            return pWnd;
    }
    for (hWndChild = ::GetTopWindow(m_hWnd); hWndChild; hWndChild = ::GetWindow(hWndChild, GW_HWNDNEXT)) {
        CWnd* pWnd = FromHandle(hWndChild)->GetDescendantWindow(nID, bOnlyPerm);
        if (pWnd != nullptr)
            return pWnd;
    }
    return nullptr;
}

CWnd* PASCAL CWnd::GetSafeOwner(CWnd* pParent, HWND* pWndTop)
{
    HWND hWnd = pParent->GetSafeHwnd();
    if (hWnd == nullptr) {
        CWnd* pMainWnd = AfxGetMainWnd();
        hWnd = pMainWnd->GetSafeHwnd();
    }
    // The owner is the top-level window above the chosen one.
    while (hWnd != nullptr && (::GetWindowLongPtrA(hWnd, GWL_STYLE) & WS_CHILD))
        hWnd = ::GetParent(hWnd);
    if (pWndTop != nullptr)
        *pWndTop = hWnd;
    return FromHandle(hWnd);
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep, BOOL bOnlyPerm)
{
    for (HWND hWndChild = ::GetTopWindow(m_hWnd); hWndChild != nullptr;
         hWndChild = ::GetWindow(hWndChild, GW_HWNDNEXT)) {
        if (bOnlyPerm) {
            CWnd* pWnd = FromHandlePermanent(hWndChild);
            if (pWnd != nullptr)
                AfxCallWndProc(pWnd, hWndChild, message, wParam, lParam);
        } else {
            ::SendMessageA(hWndChild, message, wParam, lParam);
        }
        if (bDeep && ::GetTopWindow(hWndChild) != nullptr)
            FromHandle(hWndChild)->SendMessageToDescendants(message, wParam, lParam, bDeep, bOnlyPerm);
    }
}

void CWnd::DragAcceptFiles(BOOL bAccept)
{
    ModifyStyleEx(bAccept ? 0 : WS_EX_ACCEPTFILES, bAccept ? WS_EX_ACCEPTFILES : 0);
}

int CWnd::MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType)
{
    if (lpszCaption == nullptr)
        lpszCaption = AfxGetAppName();
    return ::MessageBoxA(GetSafeHwnd(), lpszText, lpszCaption, nType);
}

void CWnd::WinHelp(DWORD_PTR dwData, UINT nCmd)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp != nullptr)
        pApp->WinHelp(dwData, nCmd);
}

BOOL CWnd::ExecuteDlgInit(LPCTSTR)
{
    // Dialog templates here carry no initialisation data; lists are filled in code.
    return TRUE;
}

void CWnd::DoDataExchange(CDataExchange*) {}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    try {
        DoDataExchange(&dx);
        return TRUE;
    } catch (CUserException* e) {
        e->Delete();   // the exchange already told the user
    } catch (CException* e) {
        e->ReportError(MB_ICONEXCLAMATION);
        e->Delete();
    }
    return FALSE;
}

void CWnd::UpdateDialogControls(CCmdTarget* pTarget, BOOL bDisableIfNoHndler)
{
    CCmdUI state;
    CWnd wndTemp;   // stands for each child while it is asked
    for (HWND hWndChild = ::GetTopWindow(m_hWnd); hWndChild != nullptr;
         hWndChild = ::GetWindow(hWndChild, GW_HWNDNEXT)) {
        wndTemp.m_hWnd = hWndChild;
        state.m_nID = (UINT)::GetDlgCtrlID(hWndChild);
        state.m_pOther = &wndTemp;
        // Push buttons without a handler are left alone: the dialog handles them itself.
        BOOL bDisable = bDisableIfNoHndler;
        char szClass[16];
        if (::GetClassNameA(hWndChild, szClass, sizeof szClass) && lstrcmpiA(szClass, "Button") == 0) {
            UINT nStyle = (UINT)(::GetWindowLongPtrA(hWndChild, GWL_STYLE) & 0x0F);
            if (nStyle == BS_AUTOCHECKBOX || nStyle == BS_AUTO3STATE || nStyle == BS_GROUPBOX ||
                nStyle == BS_AUTORADIOBUTTON)
                bDisable = FALSE;
        }
        state.DoUpdate(pTarget, bDisable);
    }
    wndTemp.m_hWnd = nullptr;
}

/////////////////////////////////////////////////////////////////////////////
// Message loops

BOOL PASCAL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg)
{
    for (HWND hWnd = pMsg->hwnd; hWnd != nullptr; hWnd = ::GetParent(hWnd)) {
        CWnd* pWnd = FromHandlePermanent(hWnd);
        if (pWnd != nullptr && pWnd->PreTranslateMessage(pMsg))
            return TRUE;
        if (hWnd == hWndStop)
            break;
    }
    return FALSE;
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

BOOL CWnd::ContinueModal() { return (m_nFlags & WF_CONTINUEMODAL) != 0; }

void CWnd::EndModalLoop(int nResult)
{
    m_nModalResult = nResult;
    if (m_nFlags & WF_CONTINUEMODAL) {
        m_nFlags &= ~WF_CONTINUEMODAL;
        ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
    }
}

int CWnd::RunModalLoop(DWORD dwFlags)
{
    BOOL bIdle = TRUE;
    LONG lIdleCount = 0;
    BOOL bShowIdle = (dwFlags & MLF_SHOWONIDLE) && !(GetStyle() & WS_VISIBLE);
    HWND hWndParent = ::GetParent(m_hWnd);
    m_nFlags |= WF_MODALLOOP | WF_CONTINUEMODAL;
    MSG msg;
    for (;;) {
        while (bIdle && !::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (bShowIdle) {
                ShowWindow(SW_SHOWNORMAL);
                UpdateWindow();
                bShowIdle = FALSE;
            }
            if (!(dwFlags & MLF_NOIDLEMSG) && hWndParent != nullptr && lIdleCount == 0)
                ::SendMessageA(hWndParent, WM_ENTERIDLE, MSGF_DIALOGBOX, (LPARAM)m_hWnd);
            if ((dwFlags & MLF_NOKICKIDLE) || !SendMessage(WM_KICKIDLE, MSGF_DIALOGBOX, lIdleCount++))
                bIdle = FALSE;
        }
        do {
            if (!AfxPumpMessage()) {
                AfxPostQuitMessage(0);
                m_nFlags &= ~(WF_MODALLOOP | WF_CONTINUEMODAL);
                return -1;
            }
            if (bShowIdle && (msg.message == 0x118 || msg.message == WM_SYSKEYDOWN)) {
                ShowWindow(SW_SHOWNORMAL);
                UpdateWindow();
                bShowIdle = FALSE;
            }
            if (!ContinueModal())
                goto ExitModal;
            bIdle = TRUE;
            lIdleCount = 0;
        } while (::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    }
ExitModal:
    m_nFlags &= ~(WF_MODALLOOP | WF_CONTINUEMODAL);
    return m_nModalResult;
}

/////////////////////////////////////////////////////////////////////////////
// CCmdUI

CCmdUI::CCmdUI()
    : m_nID(0), m_nIndex(0), m_pMenu(nullptr), m_pSubMenu(nullptr), m_pOther(nullptr), m_nIndexMax(0),
      m_pParentMenu(nullptr), m_bEnableChanged(FALSE), m_bContinueRouting(FALSE)
{
}

void CCmdUI::Enable(BOOL bOn)
{
    if (m_pMenu != nullptr) {
        if (m_pSubMenu != nullptr)
            return;   // popups are never disabled
        m_pMenu->EnableMenuItem(m_nIndex, MF_BYPOSITION | (bOn ? MF_ENABLED : (MF_DISABLED | MF_GRAYED)));
    } else if (m_pOther != nullptr) {
        // Moving the focus off a control before disabling it, as the user could not.
        if (!bOn && ::GetFocus() == m_pOther->m_hWnd) {
            HWND hWndParent = ::GetParent(m_pOther->m_hWnd);
            if (hWndParent != nullptr)
                ::SendMessageA(hWndParent, WM_NEXTDLGCTL, 0, FALSE);
        }
        m_pOther->EnableWindow(bOn);
    }
    m_bEnableChanged = TRUE;
}

void CCmdUI::SetCheck(int nCheck)
{
    if (m_pMenu != nullptr) {
        if (m_pSubMenu != nullptr)
            return;
        m_pMenu->CheckMenuItem(m_nIndex, MF_BYPOSITION | (nCheck ? MF_CHECKED : MF_UNCHECKED));
    } else if (m_pOther != nullptr) {
        if (::SendMessageA(m_pOther->m_hWnd, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON)
            ::SendMessageA(m_pOther->m_hWnd, BM_SETCHECK, nCheck, 0);
    }
}

void CCmdUI::SetRadio(BOOL bOn)
{
    if (m_pMenu != nullptr && m_pSubMenu == nullptr) {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE;
        if (::GetMenuItemInfoA(m_pMenu->m_hMenu, m_nIndex, TRUE, &info)) {
            info.fType = (info.fType & ~MFT_RADIOCHECK) | (bOn ? MFT_RADIOCHECK : 0);
            info.fState = (info.fState & ~MFS_CHECKED) | (bOn ? MFS_CHECKED : 0);
            ::SetMenuItemInfoA(m_pMenu->m_hMenu, m_nIndex, TRUE, &info);
        }
        return;
    }
    SetCheck(bOn ? 1 : 0);
}

void CCmdUI::SetText(LPCTSTR lpszText)
{
    if (m_pMenu != nullptr) {
        if (m_pSubMenu != nullptr)
            return;
        UINT nState = m_pMenu->GetMenuState(m_nIndex, MF_BYPOSITION) & ~(MF_BITMAP | MF_OWNERDRAW | MF_SEPARATOR);
        m_pMenu->ModifyMenu(m_nIndex, MF_BYPOSITION | MF_STRING | nState, m_nID, lpszText);
    } else if (m_pOther != nullptr) {
        m_pOther->SetWindowText(lpszText);
    }
}

BOOL CCmdUI::DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler)
{
    if (m_nID == 0 || LOWORD(m_nID) == 0xFFFF)
        return TRUE;   // separators and invalid ids
    m_bEnableChanged = FALSE;
    BOOL bResult = pTarget->OnCmdMsg(m_nID, CN_UPDATE_COMMAND_UI, this, nullptr);
    if (bDisableIfNoHndler && !m_bEnableChanged) {
        AFX_CMDHANDLERINFO info = {nullptr, nullptr};
        Enable(pTarget->OnCmdMsg(m_nID, CN_COMMAND, this, &info));
    }
    return bResult;
}
