// Sizable bars, dock bars with rows and columns, and the MDI frame that docks, floats and
// saves them.
#include "qxtoolkit.h"

#include "MouseTrack.h"

#include <algorithm>

UINT SECGetBarNotifyMessage()
{
    static const UINT s_msg = ::RegisterWindowMessageA("WM_BARNOTIFY");
    return s_msg;
}

/////////////////////////////////////////////////////////////////////////////
// SECControlBar

IMPLEMENT_DYNAMIC(SECControlBar, CControlBar)

SECControlBar::SECControlBar()
    : m_fPortion(1.0f), m_dwExStyle(0), m_szDockHorz(200, 100), m_szDockVert(100, 200), m_szFloat(200, 100)
{
}

SECControlBar::~SECControlBar() {}

BOOL SECControlBar::Create(CWnd* pParentWnd, LPCTSTR lpszWindowName, DWORD dwStyle, DWORD dwExStyle, UINT nID,
                           const RECT& rect)
{
    m_dwExStyle = dwExStyle;
    LPCTSTR lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW), (HBRUSH)(COLOR_BTNFACE + 1));
    if (!CreateBar(lpszClass, WS_CLIPCHILDREN | WS_CLIPSIBLINGS, dwStyle, pParentWnd, nID))
        return FALSE;
    if (lpszWindowName != nullptr)
        SetWindowText(lpszWindowName);
    CRect r(rect);
    if (!r.IsRectEmpty()) {
        MoveWindow(&r, FALSE);
        m_szDockHorz = m_szDockVert = m_szFloat = r.Size();
    }
    return TRUE;
}

void SECControlBar::GetBarInfoEx(SECControlBarInfo* pInfo)
{
    pInfo->m_fPortion = m_fPortion;
}

void SECControlBar::SetBarInfo(SECControlBarInfo* pInfo, CFrameWnd*)
{
    m_fPortion = pInfo->m_fPortion;
}

CSize SECControlBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    CSize size = bHorz ? m_szDockHorz : m_szDockVert;
    if (bStretch) {
        if (bHorz)
            size.cx = 32767;
        else
            size.cy = 32767;
    }
    return size;
}

CSize SECControlBar::CalcDynamicLayout(int nLength, DWORD nMode)
{
    CSize* pSize = (nMode & LM_VERTDOCK) ? &m_szDockVert : (nMode & LM_HORZDOCK) ? &m_szDockHorz : &m_szFloat;
    if ((nMode & LM_COMMIT) && nLength >= 0) {
        if (nMode & LM_LENGTHY)
            pSize->cy = nLength;
        else
            pSize->cx = nLength;
    }
    return *pSize;
}

void SECControlBar::OnUpdateCmdUI(CFrameWnd*, BOOL) {}

namespace {
const int kSplitter = 6;

// After a drag the frame's bars and pages are placed and painted again, also where a
// floating frame stood last and the controls inside bars that changed size.
void RelayoutAfterDrag(CFrameWnd* pFrame)
{
    if (pFrame == nullptr)
        return;
    pFrame->RecalcLayout();
    pFrame->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

// The edge of a docked bar that faces the frame's inside: where its row's thickness is
// dragged. 0 top, 1 bottom, 2 left, 3 right of the bar; -1 when it is not docked.
int InnerEdge(CControlBar* pBar)
{
    if (pBar->m_pDockBar == nullptr || pBar->IsFloating())
        return -1;
    switch (pBar->m_pDockBar->GetDlgCtrlID()) {
    case AFX_IDW_DOCKBAR_TOP: return 1;
    case AFX_IDW_DOCKBAR_BOTTOM: return 0;
    case AFX_IDW_DOCKBAR_LEFT: return 3;
    case AFX_IDW_DOCKBAR_RIGHT: return 2;
    default: return -1;
    }
}

BOOL OnInnerEdge(CControlBar* pBar, CPoint ptClient)
{
    CRect rect;
    pBar->GetClientRect(&rect);
    switch (InnerEdge(pBar)) {
    case 0: return ptClient.y < rect.top + kSplitter;
    case 1: return ptClient.y >= rect.bottom - kSplitter;
    case 2: return ptClient.x < rect.left + kSplitter;
    case 3: return ptClient.x >= rect.right - kSplitter;
    default: return FALSE;
    }
}
} // namespace

int SECTrackSplitter(CWnd* pWnd, CPoint ptStart, BOOL bHorz)
{
    if (::GetKeyState(VK_LBUTTON) >= 0)
        return 0;   // a press sent by a program, with no button held to follow
    CPoint pt = ptStart;
    BOOL bDone = SECTrackMouse(pWnd->m_hWnd, &pt, [](POINT) {});
    if (!bDone)
        return 0;
    return bHorz ? pt.x - ptStart.x : pt.y - ptStart.y;
}

LRESULT SECControlBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETCURSOR && (HWND)wParam == m_hWnd && LOWORD(lParam) == HTCLIENT) {
        CPoint pt;
        ::GetCursorPos(&pt);
        ScreenToClient(&pt);
        if (OnInnerEdge(this, pt)) {
            ::SetCursor(::LoadCursor(nullptr, InnerEdge(this) < 2 ? IDC_SIZENS : IDC_SIZEWE));
            return TRUE;
        }
    }
    if (message == WM_LBUTTONDOWN && m_pDockBar != nullptr) {
        CPoint pt((short)LOWORD(lParam), (short)HIWORD(lParam));
        BOOL bEdge = OnInnerEdge(this, pt);
        ClientToScreen(&pt);
        if (bEdge) {
            SECDockBar* pDock = DYNAMIC_DOWNCAST(SECDockBar, m_pDockBar);
            int nDelta = SECTrackSplitter(this, pt, InnerEdge(this) >= 2);
            if (pDock != nullptr && nDelta != 0) {
                pDock->OnSplitterDrag(pDock->FindBar(this), TRUE, nDelta);
                RelayoutAfterDrag(m_pDockSite);
            }
            return 0;
        }
        if (SECTrackBarDrag(this, pt))
            return 0;
    }
    return CControlBar::WindowProc(message, wParam, lParam);
}

/////////////////////////////////////////////////////////////////////////////
// SECDockBar

IMPLEMENT_DYNAMIC(SECDockBar, CDockBar)

SECDockBar::SECDockBar(BOOL bFloating) : CDockBar(bFloating) {}

int SECDockBar::FindBar(CControlBar* pBar) const
{
    for (INT_PTR i = 0; i < m_arrBars.GetSize(); i++)
        if (m_arrBars[i] == pBar)
            return (int)i;
    return -1;
}

int SECDockBar::GetNextVisibleBar(int nIndex) const
{
    for (INT_PTR i = nIndex + 1; i < m_arrBars.GetSize() && m_arrBars[i] != nullptr; i++)
        if (((CControlBar*)m_arrBars[i])->IsVisible())
            return (int)i;
    return -1;
}

void SECDockBar::OnSplitterDrag(int nIndex, BOOL bAcrossRows, int nDelta)
{
    if (!bAcrossRows || nIndex < 0)
        return;
    BOOL bHorz = IsHorzDock();
    DWORD dwAlign = m_dwStyle & CBRS_ALIGN_ANY;
    int d = (dwAlign & (CBRS_ALIGN_TOP | CBRS_ALIGN_LEFT)) ? -nDelta : nDelta;
    // Back to the row's first entry, then every sizable bar of the row.
    int nFirst = nIndex;
    while (nFirst > 0 && m_arrBars[nFirst - 1] != nullptr)
        nFirst--;
    for (INT_PTR i = nFirst; i < m_arrBars.GetSize() && m_arrBars[i] != nullptr; i++) {
        SECControlBar* pBar = DYNAMIC_DOWNCAST(SECControlBar, (CObject*)m_arrBars[i]);
        if (pBar == nullptr || !pBar->IsVisible())
            continue;
        DWORD dwMode = bHorz ? (LM_HORZ | LM_HORZDOCK | LM_LENGTHY) : LM_VERTDOCK;
        CSize size = pBar->CalcDynamicLayout(-1, dwMode);
        int nLength = std::max(18, (int)(bHorz ? size.cy : size.cx) - d);
        pBar->CalcDynamicLayout(nLength, dwMode | LM_COMMIT);
    }
}

LRESULT SECDockBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_LBUTTONDOWN || message == WM_SETCURSOR) {
        CPoint pt;
        ::GetCursorPos(&pt);
        ScreenToClient(&pt);
        // The gap after a visible bar, before the next visible bar of its row.
        BOOL bHorz = IsHorzDock();
        int nFound = -1;
        for (INT_PTR i = 0; i < m_arrBars.GetSize() && nFound < 0; i++) {
            CControlBar* pBar = (CControlBar*)m_arrBars[i];
            if (pBar == nullptr || !pBar->IsVisible())
                continue;
            int nNext = GetNextVisibleBar((int)i);
            if (nNext < 0)
                continue;
            CRect rect, rectNext;
            pBar->GetWindowRect(&rect);
            ((CControlBar*)m_arrBars[nNext])->GetWindowRect(&rectNext);
            ScreenToClient(&rect);
            ScreenToClient(&rectNext);
            BOOL bIn = bHorz ? pt.x >= rect.right && pt.x < rectNext.left && pt.y >= rect.top && pt.y < rect.bottom
                             : pt.y >= rect.bottom && pt.y < rectNext.top && pt.x >= rect.left && pt.x < rect.right;
            if (bIn)
                nFound = (int)i;
        }
        if (nFound >= 0 && message == WM_SETCURSOR) {
            ::SetCursor(::LoadCursor(nullptr, bHorz ? IDC_SIZEWE : IDC_SIZENS));
            return TRUE;
        }
        if (nFound >= 0) {
            ClientToScreen(&pt);
            int nDelta = SECTrackSplitter(this, pt, bHorz);
            if (nDelta != 0) {
                OnSplitterDrag(nFound, FALSE, nDelta);
                RelayoutAfterDrag(m_pDockSite);
            }
            return 0;
        }
    }
    return CDockBar::WindowProc(message, wParam, lParam);
}

void SECDockBar::DockControlBarAt(CControlBar* pBar, int nCol, int nRow)
{
    if (pBar->m_pDockBar != nullptr)
        pBar->m_pDockBar->RemoveControlBar(pBar);
    // Rows are runs of bars each ended by a null entry.
    INT_PTR nStart = 0;
    int nRowIndex = 0;
    while (nRowIndex < nRow && nStart < m_arrBars.GetSize()) {
        while (nStart < m_arrBars.GetSize() && m_arrBars[nStart] != nullptr)
            nStart++;
        nStart++;
        nRowIndex++;
    }
    if (nStart >= m_arrBars.GetSize()) {
        m_arrBars.Add(pBar);
        m_arrBars.Add(nullptr);
    } else {
        INT_PTR nInsert = nStart;
        for (int c = 0; c < nCol && nInsert < m_arrBars.GetSize() && m_arrBars[nInsert] != nullptr; c++)
            nInsert++;
        m_arrBars.InsertAt(nInsert, pBar);
    }
    ::SetParent(pBar->m_hWnd, m_hWnd);
    pBar->m_pDockBar = this;
    DWORD dwAlign = m_bFloating ? CBRS_ALIGN_TOP : (m_dwStyle & CBRS_ALIGN_ANY);
    pBar->m_dwStyle = (pBar->m_dwStyle & ~(CBRS_ALIGN_ANY | CBRS_FLOATING)) | dwAlign | (m_bFloating ? CBRS_FLOATING : 0);
}

/////////////////////////////////////////////////////////////////////////////
// Dragging bars with the mouse

namespace {

// A drop this many pixels outside an edge's bars still docks there; an empty edge takes no
// room, so it catches drops as deep again inside the frame.
const int kDockZone = 12;

// The dock bar of the frame whose zone holds the point, among the edges the bar may dock
// to; null when the point is over none of them.
CDockBar* DockBarAtPoint(CFrameWnd* pFrame, CControlBar* pBar, CPoint pt)
{
    static const UINT s_ids[4] = {AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_BOTTOM, AFX_IDW_DOCKBAR_LEFT,
                                  AFX_IDW_DOCKBAR_RIGHT};
    static const DWORD s_aligns[4] = {CBRS_ALIGN_TOP, CBRS_ALIGN_BOTTOM, CBRS_ALIGN_LEFT, CBRS_ALIGN_RIGHT};
    CRect rectClient;
    pFrame->GetClientRect(&rectClient);
    pFrame->ClientToScreen(&rectClient);
    // Up to and including 12 pixels beyond an edge's bars.
    const int nInnerHorz = kDockZone + 1;
    for (int i = 0; i < 4; i++) {
        if (!(pBar->m_dwDockStyle & s_aligns[i]))
            continue;
        CControlBar* pDock = pFrame->GetControlBar(s_ids[i]);
        if (pDock == nullptr || !pDock->IsDockBar() || pDock->m_hWnd == nullptr)
            continue;
        CRect rectDock;
        pDock->GetWindowRect(&rectDock);
        BOOL bEmpty = !pDock->IsVisible() || ((CDockBar*)pDock)->GetDockedVisibleCount() == 0;
        CRect zone;
        switch (i) {
        case 0: {
            int nTop = bEmpty ? rectClient.top : rectDock.top;
            int nThick = bEmpty ? kDockZone : rectDock.Height();
            zone.SetRect(rectClient.left, nTop - kDockZone, rectClient.right, nTop + nThick + (bEmpty ? kDockZone : nInnerHorz));
            break;
        }
        case 1: {
            int nBottom = bEmpty ? rectClient.bottom : rectDock.bottom;
            int nThick = bEmpty ? kDockZone : rectDock.Height();
            zone.SetRect(rectClient.left, nBottom - nThick - (bEmpty ? kDockZone : nInnerHorz), rectClient.right, nBottom + kDockZone);
            break;
        }
        case 2: {
            int nLeft = bEmpty ? rectClient.left : rectDock.left;
            int nThick = bEmpty ? kDockZone : rectDock.Width();
            zone.SetRect(nLeft - kDockZone, rectClient.top, nLeft + nThick + (bEmpty ? kDockZone : nInnerHorz), rectClient.bottom);
            break;
        }
        default: {
            int nRight = bEmpty ? rectClient.right : rectDock.right;
            int nThick = bEmpty ? kDockZone : rectDock.Width();
            zone.SetRect(nRight - nThick - (bEmpty ? kDockZone : nInnerHorz), rectClient.top, nRight + kDockZone, rectClient.bottom);
            break;
        }
        }
        if (zone.PtInRect(pt))
            return (CDockBar*)pDock;
    }
    return nullptr;
}

} // namespace

BOOL SECTrackBarDrag(CControlBar* pBar, CPoint ptStart)
{
    CFrameWnd* pFrame = pBar->m_pDockSite;
    if (pFrame == nullptr || pBar->m_pDockBar == nullptr || ::GetKeyState(VK_LBUTTON) >= 0)
        return FALSE;   // no button held to follow (a press sent by a program)
    CWnd* pMoved = pBar->IsFloating() ? (CWnd*)pBar->GetDockingFrame() : (CWnd*)pBar;
    CRect rectStart;
    pMoved->GetWindowRect(&rectStart);
    CSize sizeOffset = ptStart - rectStart.TopLeft();
    HCURSOR hOldCursor = ::SetCursor(::LoadCursor(nullptr, IDC_SIZEALL));
    BOOL bDragging = FALSE;
    CPoint pt = ptStart;
    BOOL bUp = SECTrackMouse(pBar->m_hWnd, &pt, [&](POINT ptMove) {
        if (!bDragging && abs(ptMove.x - ptStart.x) < ::GetSystemMetrics(SM_CXDRAG) &&
            abs(ptMove.y - ptStart.y) < ::GetSystemMetrics(SM_CYDRAG))
            return;
        bDragging = TRUE;
        // A floating frame follows the pointer while it is not over a dock edge.
        if (pMoved != pBar && DockBarAtPoint(pFrame, pBar, ptMove) == nullptr)
            pMoved->SetWindowPos(nullptr, ptMove.x - sizeOffset.cx, ptMove.y - sizeOffset.cy, 0, 0,
                                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    });
    BOOL bDrop = bUp && bDragging;
    ::SetCursor(hOldCursor);
    if (!bDrop) {
        if (bDragging && pMoved != pBar)
            pMoved->SetWindowPos(nullptr, rectStart.left, rectStart.top, 0, 0,
                                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return bDragging;
    }
    SECMDIFrameWnd* pSecFrame = DYNAMIC_DOWNCAST(SECMDIFrameWnd, pFrame);
    CDockBar* pDock = DockBarAtPoint(pFrame, pBar, pt);
    if (pDock != nullptr) {
        SECControlBar* pSecBar = DYNAMIC_DOWNCAST(SECControlBar, pBar);
        if (pSecBar != nullptr)
            pSecBar->OnBarBeginDock();
        // The row under the pointer takes the bar; below the last row it starts a new one.
        CRect rectDrop(pt, CSize(1, 1));
        pFrame->DockControlBar(pBar, (UINT)pDock->GetDlgCtrlID(), &rectDrop);
        if (pSecBar != nullptr)
            pSecBar->OnBarDock();
    } else if (pMoved == pBar) {
        CPoint ptFloat = pt - sizeOffset;
        if (pSecFrame != nullptr)
            pSecFrame->FloatControlBarEx(pBar, ptFloat, CBRS_ALIGN_TOP);
        else
            pFrame->FloatControlBar(pBar, ptFloat, CBRS_ALIGN_TOP);
    } else {
        pMoved->SetWindowPos(nullptr, pt.x - sizeOffset.cx, pt.y - sizeOffset.cy, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ((CFrameWnd*)pMoved)->RecalcLayout();   // the frame's own rules may place it again
    }
    RelayoutAfterDrag(pFrame);
    return TRUE;
}

IMPLEMENT_DYNCREATE(SECMiniDockFrameWnd, CMiniDockFrameWnd)

LRESULT SECMiniDockFrameWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE) {
        // The menu bar is never hidden: closing its floating frame docks it at the top.
        for (INT_PTR i = 0; i < m_wndDockBar.m_arrBars.GetSize(); i++) {
            SECMenuBar* pMenuBar = DYNAMIC_DOWNCAST(SECMenuBar, (CObject*)m_wndDockBar.m_arrBars[i]);
            SECMDIFrameWnd* pFrame = pMenuBar != nullptr ? DYNAMIC_DOWNCAST(SECMDIFrameWnd, pMenuBar->m_pDockSite) : nullptr;
            if (pFrame != nullptr) {
                pMenuBar->DockAtTop();
                return 0;
            }
        }
    }
    if (message == WM_NCLBUTTONDOWN && wParam == HTCAPTION) {
        // The caption drags the frame's first visible bar, and the frame with it.
        for (INT_PTR i = 0; i < m_wndDockBar.m_arrBars.GetSize(); i++) {
            CControlBar* pBar = (CControlBar*)m_wndDockBar.m_arrBars[i];
            if (pBar != nullptr && pBar->IsVisible()) {
                SECTrackBarDrag(pBar, CPoint((short)LOWORD(lParam), (short)HIWORD(lParam)));
                return 0;
            }
        }
    }
    return CMiniDockFrameWnd::WindowProc(message, wParam, lParam);
}
IMPLEMENT_DYNAMIC(SECStatusBar, CStatusBar)

/////////////////////////////////////////////////////////////////////////////
// SECMDIFrameWnd

IMPLEMENT_DYNAMIC(SECMDIFrameWnd, CMDIFrameWnd)

SECMDIFrameWnd::SECMDIFrameWnd() : m_pControlBarManager(nullptr), m_pMenuBar(nullptr) {}

SECMDIFrameWnd::~SECMDIFrameWnd()
{
    delete m_pMenuBar;
}

HMENU SECMDIFrameWnd::GetFrameMenu() const
{
    SECMenuBar* pMenuBar = DYNAMIC_DOWNCAST(SECMenuBar, m_pMenuBar);
    if (pMenuBar != nullptr && pMenuBar->m_hWnd != nullptr)
        return pMenuBar->GetMenu();
    return ::GetMenu(m_hWnd);
}

BOOL SECMDIFrameWnd::PreTranslateMessage(MSG* pMsg)
{
    SECMenuBar* pMenuBar = DYNAMIC_DOWNCAST(SECMenuBar, m_pMenuBar);
    if (pMenuBar != nullptr && pMenuBar->PreTranslateFrameMessage(pMsg))
        return TRUE;
    return CMDIFrameWnd::PreTranslateMessage(pMsg);
}

LRESULT SECMDIFrameWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    SECMenuBar* pMenuBar = DYNAMIC_DOWNCAST(SECMenuBar, m_pMenuBar);
    if (pMenuBar != nullptr && pMenuBar->m_hWnd != nullptr && pMenuBar->IsVisible()) {
        if (message == WM_MENUSELECT)
            pMenuBar->OnFrameMenuSelect(HIWORD(wParam), (HMENU)lParam);
        // The menu keys that reach the frame by the system's way (from its page windows):
        // the bar's, but for Alt+Space and Alt+- (the window menus).
        if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_KEYMENU && lParam != ' ' && lParam != '-') {
            MSG msg = {};
            msg.hwnd = pMenuBar->m_hWnd;
            if (lParam == 0) {
                msg.message = WM_SYSKEYDOWN;
                msg.wParam = VK_F10;
            } else {
                msg.message = WM_SYSCHAR;
                msg.wParam = (WPARAM)lParam;
            }
            if (pMenuBar->PreTranslateFrameMessage(&msg))
                return 0;
        }
    }
    return CMDIFrameWnd::WindowProc(message, wParam, lParam);
}

void SECMDIFrameWnd::DockControlBarEx(CControlBar* pBar, UINT nDockBarID, int nCol, int nRow, float fPct,
                                      int nHeight)
{
    CControlBar* pDock = GetControlBar(nDockBarID);
    SECControlBar* pSecBar = DYNAMIC_DOWNCAST(SECControlBar, pBar);
    if (pSecBar != nullptr)
        pSecBar->OnBarBeginDock();
    if (pDock == nullptr || !pDock->IsKindOf(RUNTIME_CLASS(SECDockBar))) {
        DockControlBar(pBar, nDockBarID);
    } else {
        CFrameWnd* pOldFloat = pBar->IsFloating() ? pBar->GetDockingFrame() : nullptr;
        ((SECDockBar*)pDock)->DockControlBarAt(pBar, nCol, nRow);
        if (pOldFloat != nullptr && pOldFloat != this && pOldFloat->IsKindOf(RUNTIME_CLASS(CMiniDockFrameWnd)) &&
            ((CMiniDockFrameWnd*)pOldFloat)->m_wndDockBar.GetDockedCount() == 0)
            pOldFloat->DestroyWindow();
    }
    if (pSecBar != nullptr) {
        pSecBar->m_fPortion = std::min(std::max(fPct, 0.0f), 1.0f);
        if (nHeight > 0)
            pSecBar->m_szDockHorz.cy = nHeight;
        pSecBar->OnBarDock();
    }
    RecalcLayout();
}

void SECMDIFrameWnd::FloatControlBarEx(CControlBar* pBar, CPoint point, DWORD dwStyle)
{
    SECControlBar* pSecBar = DYNAMIC_DOWNCAST(SECControlBar, pBar);
    if (pSecBar != nullptr)
        pSecBar->OnBarBeginFloat();
    FloatControlBar(pBar, point, dwStyle);
    if (pSecBar != nullptr)
        pSecBar->OnBarFloat();
}

void SECMDIFrameWnd::FillBarInfo(CControlBar* pBar, SECControlBarInfo* pInfo)
{
    pInfo->m_nBarID = (UINT)pBar->GetDlgCtrlID();
    pInfo->m_bVisible = pBar->IsVisible();
    pInfo->m_bFloating = pBar->IsFloating();
    pInfo->m_dwStyle = pBar->GetBarStyle();
    CString strText;
    pBar->GetWindowText(strText);
    pInfo->m_strWindowName = strText;
    if (pBar->m_pDockBar != nullptr && !pInfo->m_bFloating) {
        pInfo->m_nDockBarID = (UINT)pBar->m_pDockBar->GetDlgCtrlID();
        int nRow = 0, nCol = 0;
        CPtrArray& arr = pBar->m_pDockBar->m_arrBars;
        for (INT_PTR i = 0; i < arr.GetSize() && arr[i] != pBar; i++) {
            if (arr[i] == nullptr) {
                nRow++;
                nCol = 0;
            } else {
                nCol++;
            }
        }
        pInfo->m_nRow = nRow;
        pInfo->m_nCol = nCol;
    } else if (pInfo->m_bFloating) {
        CRect rect;
        pBar->GetDockingFrame()->GetWindowRect(&rect);
        pInfo->m_ptFloat = rect.TopLeft();
    }
    SECCustomToolBar* pToolBar = DYNAMIC_DOWNCAST(SECCustomToolBar, pBar);
    if (pToolBar != nullptr) {
        pInfo->m_nType = SECBarTypeToolBar;
        pToolBar->GetButtonIds(pInfo->m_arrButtons);
    }
    SECControlBar* pSecBar = DYNAMIC_DOWNCAST(SECControlBar, pBar);
    if (pSecBar != nullptr)
        pSecBar->GetBarInfoEx(pInfo);
}

void SECMDIFrameWnd::GetDockState(SECDockState& state)
{
    state.Clear();
    POSITION pos = m_listControlBars.GetHeadPosition();
    while (pos != nullptr) {
        CControlBar* pBar = (CControlBar*)m_listControlBars.GetNext(pos);
        if (pBar->IsDockBar() || pBar->m_hWnd == nullptr)
            continue;
        SECControlBarInfo* pInfo = new SECControlBarInfo;
        // The program's record comes first, so the bar can fill it too.
        pInfo->m_nBarID = (UINT)pBar->GetDlgCtrlID();
        if (pBar->IsKindOf(RUNTIME_CLASS(SECCustomToolBar)))
            pInfo->m_nType = SECBarTypeToolBar;
        else if (pBar == m_pMenuBar)
            pInfo->m_nType = SECBarTypeMenuBar;
        if (m_pControlBarManager != nullptr)
            pInfo->m_pBarInfoEx = m_pControlBarManager->CreateControlBarInfoEx(pInfo);
        FillBarInfo(pBar, pInfo);
        state.m_arrBarInfo.Add(pInfo);
    }
}

void SECMDIFrameWnd::SetDockState(SECDockState& state)
{
    if (m_pControlBarManager != nullptr)
        m_pControlBarManager->m_bArranging = TRUE;
    // Bars are placed row by row in their saved order, so each row is rebuilt as it was.
    CPtrArray arrSorted;
    arrSorted.Append(state.m_arrBarInfo);
    std::stable_sort(arrSorted.GetData(), arrSorted.GetData() + arrSorted.GetSize(), [](void* a, void* b) {
        const SECControlBarInfo* pa = (const SECControlBarInfo*)a;
        const SECControlBarInfo* pb = (const SECControlBarInfo*)b;
        if (pa->m_nDockBarID != pb->m_nDockBarID)
            return pa->m_nDockBarID < pb->m_nDockBarID;
        if (pa->m_nRow != pb->m_nRow)
            return pa->m_nRow < pb->m_nRow;
        return pa->m_nCol < pb->m_nCol;
    });
    for (INT_PTR i = 0; i < arrSorted.GetSize(); i++) {
        SECControlBarInfo* pInfo = (SECControlBarInfo*)arrSorted[i];
        CControlBar* pBar = GetControlBar(pInfo->m_nBarID);
        if (pBar == nullptr && m_pControlBarManager != nullptr)
            pBar = m_pControlBarManager->CreateSavedBar(pInfo);
        if (pBar == nullptr)
            continue;
        if (!pInfo->m_strWindowName.IsEmpty())
            pBar->SetWindowText(pInfo->m_strWindowName);
        SECCustomToolBar* pToolBar = DYNAMIC_DOWNCAST(SECCustomToolBar, pBar);
        SECControlBar* pSecBar = DYNAMIC_DOWNCAST(SECControlBar, pBar);
        if (pToolBar != nullptr)
            pToolBar->SetBarInfo(pInfo, this);
        else if (pSecBar != nullptr)
            pSecBar->SetBarInfo(pInfo, this);
        if (pInfo->m_bFloating) {
            FloatControlBarEx(pBar, pInfo->m_ptFloat, CBRS_ALIGN_TOP);
        } else if (pInfo->m_nDockBarID != 0) {
            CControlBar* pDock = GetControlBar(pInfo->m_nDockBarID);
            if (pDock != nullptr && pDock->IsKindOf(RUNTIME_CLASS(SECDockBar))) {
                ((SECDockBar*)pDock)->DockControlBarAt(pBar, pInfo->m_nCol, pInfo->m_nRow);
                if (pSecBar != nullptr)
                    pSecBar->m_fPortion = pInfo->m_fPortion;
            } else {
                DockControlBar(pBar, pInfo->m_nDockBarID);
            }
        }
        // SetBarInfo may have cleared the visible flag to show the bar later itself.
        ShowControlBar(pBar, pInfo->m_bVisible, TRUE);
    }
    // An arrangement saved without the menu bar (a default one) leaves it above the rows.
    SECMenuBar* pMenuBar = DYNAMIC_DOWNCAST(SECMenuBar, m_pMenuBar);
    BOOL bMenuBarSaved = FALSE;
    for (INT_PTR i = 0; i < state.m_arrBarInfo.GetSize(); i++)
        if (((SECControlBarInfo*)state.m_arrBarInfo[i])->m_nType == SECBarTypeMenuBar)
            bMenuBarSaved = TRUE;
    if (pMenuBar != nullptr && pMenuBar->m_hWnd != nullptr && !bMenuBarSaved)
        pMenuBar->DockAtTop();
    if (m_pControlBarManager != nullptr)
        m_pControlBarManager->m_bArranging = FALSE;
    RecalcLayout();
}

void SECMDIFrameWnd::SaveBarState(LPCTSTR lpszProfileName)
{
    SECDockState state(m_pControlBarManager);
    GetDockState(state);
    state.SaveState(lpszProfileName);
}

void SECMDIFrameWnd::LoadBarState(LPCTSTR lpszProfileName)
{
    SECDockState state(m_pControlBarManager);
    if (state.LoadState(lpszProfileName))
        SetDockState(state);
}
