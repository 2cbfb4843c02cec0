// SECMenuBar: the frame's menu shown as a bar of its own.
#include "qxtoolkit.h"

#include <algorithm>

namespace {

const int kGripper = 8;         // the strip a docked bar is dragged by
const int kItemPadding = 8;     // each side of an item's text
const int kCaptionButton = 16;  // a maximised page window's buttons

// Window buttons of a maximised page window, as parts of the bar.
enum { kSysMenu = -1, kMinimize = -2, kRestore = -3, kClose = -4 };

const char kBarProp[] = "SECMenuBar";
const char kMenuProp[] = "SECMenuBarMenu";

UINT ItemRectMessage()
{
    static UINT nMsg = ::RegisterWindowMessageA("SECMenuBarItemRect");
    return nMsg;
}

UINT OpenMessage()
{
    static UINT nMsg = ::RegisterWindowMessageA("SECMenuBarOpen");
    return nMsg;
}

SECMenuBar* g_pTracking = nullptr;
HHOOK g_hFilter = nullptr;
// Where the pointer was when last seen during a drop-down: a drop-down opening under a
// resting pointer hears of it too, and only a real move goes to another item.
POINT g_ptLast;

BOOL IsGrey(HMENU hMenu, int nIndex)
{
    return (::GetMenuState(hMenu, (UINT)nIndex, MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED)) != 0;
}

} // namespace

IMPLEMENT_DYNAMIC(SECMenuBar, SECControlBar)

SECMenuBar::SECMenuBar()
    : m_hMenu(nullptr), m_nHot(-1), m_nTracking(-1), m_nNext(-1), m_bKeyboard(FALSE), m_bAltDown(FALSE),
      m_bClosedOnItem(FALSE), m_nSelFlags(0), m_hSelMenu(nullptr), m_hWndFocusBefore(nullptr),
      m_hWndClient(nullptr), m_pfnClientProc(nullptr)
{
    m_bAutoDelete = FALSE;   // the frame owns its menu bar
}

SECMenuBar::~SECMenuBar()
{
    if (g_pTracking == this)
        g_pTracking = nullptr;
}

BOOL SECMenuBar::CreateMenuBar(CFrameWnd* pFrame, DWORD dwStyle, UINT nID, LPCTSTR lpszTitle)
{
    NONCLIENTMETRICSA ncm = {};
    ncm.cbSize = sizeof ncm;
    ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
    if (m_font.m_hObject == nullptr)
        m_font.CreateFontIndirect(&ncm.lfMenuFont);
    if (!SECControlBar::Create(pFrame, lpszTitle, dwStyle, 0, nID))
        return FALSE;
    ::SetPropA(pFrame->m_hWnd, kBarProp, m_hWnd);
    // A page window maximised or restored by a message sent from elsewhere brings no idle
    // time with it: the bar looks again now and then.
    ::SetTimer(m_hWnd, 1, 300, nullptr);
    // The MDI client puts the menu of the active page window's kind on the frame: it goes
    // to the bar instead, and the client keeps only the window list of the Window menu.
    CMDIFrameWnd* pMDIFrame = DYNAMIC_DOWNCAST(CMDIFrameWnd, pFrame);
    if (pMDIFrame != nullptr && pMDIFrame->m_hWndMDIClient != nullptr) {
        m_hWndClient = pMDIFrame->m_hWndMDIClient;
        ::SetPropA(m_hWndClient, kBarProp, m_hWnd);
        m_pfnClientProc = (WNDPROC)::SetWindowLongPtrA(m_hWndClient, GWLP_WNDPROC, (LONG_PTR)ClientProc);
    }
    HMENU hMenu = ::GetMenu(pFrame->m_hWnd);
    if (hMenu != nullptr) {
        ::SetMenu(pFrame->m_hWnd, nullptr);
        // The frame's own menu, which comes back when the last page window goes.
        if (pFrame->m_hMenuDefault == nullptr)
            pFrame->m_hMenuDefault = hMenu;
        SetMenu(hMenu);
    }
    return TRUE;
}

LRESULT CALLBACK SECMenuBar::ClientProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND hBar = (HWND)::GetPropA(hWnd, kBarProp);
    SECMenuBar* pBar = hBar != nullptr ? DYNAMIC_DOWNCAST(SECMenuBar, CWnd::FromHandlePermanent(hBar)) : nullptr;
    if (pBar == nullptr)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    WNDPROC pfnOld = pBar->m_pfnClientProc;
    if (message == WM_MDISETMENU) {
        HMENU hOld = pBar->m_hMenu;
        ::CallWindowProcA(pfnOld, hWnd, message, 0, lParam);
        if (wParam != 0)
            pBar->SetMenu((HMENU)wParam);
        return (LRESULT)hOld;
    }
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, (LONG_PTR)pfnOld);
        ::RemovePropA(hWnd, kBarProp);
        pBar->m_hWndClient = nullptr;
    }
    return ::CallWindowProcA(pfnOld, hWnd, message, wParam, lParam);
}

void SECMenuBar::SetMenu(HMENU hMenu)
{
    m_hMenu = hMenu;
    if (m_hWnd == nullptr)
        return;
    ::SetPropA(m_hWnd, kMenuProp, hMenu);
    m_strSignature = Signature();
    m_nHot = m_bKeyboard ? 0 : -1;
    Layout(0, TRUE);
    Invalidate();
    if (m_pDockSite != nullptr)
        m_pDockSite->DelayRecalcLayout();
}

void SECMenuBar::DockAtTop()
{
    SECMDIFrameWnd* pFrame = DYNAMIC_DOWNCAST(SECMDIFrameWnd, m_pDockSite);
    if (pFrame == nullptr)
        return;
    pFrame->DockControlBarEx(this, AFX_IDW_DOCKBAR_TOP, 0, 0);
    SECDockBar* pTop = DYNAMIC_DOWNCAST(SECDockBar, m_pDockBar);
    if (pTop == nullptr)
        return;
    pTop->m_arrBars.RemoveAt(pTop->FindBar(this));
    // A row the bar alone stood in is gone with it.
    while (pTop->m_arrBars.GetSize() > 0 && pTop->m_arrBars[0] == nullptr)
        pTop->m_arrBars.RemoveAt(0);
    pTop->m_arrBars.InsertAt(0, this);
    pTop->m_arrBars.InsertAt(1, (void*)nullptr);
    pFrame->RecalcLayout();
    // Every bar below moved down a row.
    pFrame->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

int SECMenuBar::GetItemCount() const
{
    return m_hMenu != nullptr ? ::GetMenuItemCount(m_hMenu) : 0;
}

CString SECMenuBar::ItemText(int nIndex) const
{
    char szText[256] = "";
    ::GetMenuStringA(m_hMenu, (UINT)nIndex, szText, sizeof szText, MF_BYPOSITION);
    return szText;
}

int SECMenuBar::FindAccessKey(TCHAR ch) const
{
    TCHAR chUpper = (TCHAR)(UINT_PTR)::CharUpperA((LPSTR)(UINT_PTR)(BYTE)ch);
    for (int i = 0; i < GetItemCount(); i++) {
        CString strText = ItemText(i);
        for (int k = 0; k + 1 < strText.GetLength(); k++) {
            if (strText[k] != '&')
                continue;
            if (strText[k + 1] == '&') {
                k++;
                continue;
            }
            if ((TCHAR)(UINT_PTR)::CharUpperA((LPSTR)(UINT_PTR)(BYTE)strText[k + 1]) == chUpper)
                return i;
            break;
        }
    }
    return -1;
}

CWnd* SECMenuBar::MaximizedChild() const
{
    CMDIFrameWnd* pFrame = DYNAMIC_DOWNCAST(CMDIFrameWnd, m_pDockSite);
    if (pFrame == nullptr || pFrame->m_hWndMDIClient == nullptr)
        return nullptr;
    HWND hChild = (HWND)::SendMessageA(pFrame->m_hWndMDIClient, WM_MDIGETACTIVE, 0, 0);
    return hChild != nullptr && ::IsZoomed(hChild) ? CWnd::FromHandle(hChild) : nullptr;
}

// What the bar shows: when it changes (a script added a menu, an item went grey, a page
// window was maximised) the bar is laid out again.
CString SECMenuBar::Signature() const
{
    CString s;
    CWnd* pChild = MaximizedChild();
    s.Format("%p|%p|", (void*)m_hMenu, pChild != nullptr ? (void*)pChild->m_hWnd : nullptr);
    for (int i = 0; i < GetItemCount(); i++)
        s += ItemText(i) + (IsGrey(m_hMenu, i) ? "#" : "|");
    return s;
}

CSize SECMenuBar::Layout(int nLength, BOOL bCommit)
{
    if (m_hWnd == nullptr)
        return CSize(0, 0);
    BOOL bFloating = IsFloating();
    BOOL bHorz = bFloating || (m_dwStyle & CBRS_ORIENT_HORZ) != 0;
    CClientDC dc(this);
    CFont* pOldFont = dc.SelectObject(&m_font);
    TEXTMETRICA tm;
    ::GetTextMetricsA(dc.m_hDC, &tm);
    int cyItem = std::max(::GetSystemMetrics(SM_CYMENU), (int)tm.tmHeight + 6);
    CRect rectClient;
    GetClientRect(&rectClient);
    if (nLength <= 0)
        nLength = bHorz ? rectClient.Width() : rectClient.Height();
    if (nLength <= 0 || bFloating)
        nLength = 32767;   // a floating menu bar is one line
    int nLead = bFloating ? 2 : kGripper + 2;
    CArray<Part, const Part&> parts;
    CWnd* pChild = MaximizedChild();
    int nWidest = 0;
    for (int i = 0; i < GetItemCount(); i++) {
        CString strText = ItemText(i);
        CRect rectText(0, 0, 0, 0);
        dc.DrawText(strText, &rectText, DT_SINGLELINE | DT_CALCRECT);
        nWidest = std::max(nWidest, rectText.Width() + 2 * kItemPadding);
    }
    CSize size;
    if (bHorz) {
        int x = nLead, y = 0;
        if (pChild != nullptr) {
            parts.Add(Part{CRect(x, y, x + cyItem, y + cyItem), kSysMenu});
            x += cyItem;
        }
        int nButtons = pChild != nullptr ? 3 * (kCaptionButton + 2) + 4 : 0;
        int nRight = x;
        for (int i = 0; i < GetItemCount(); i++) {
            CRect rectText(0, 0, 0, 0);
            dc.DrawText(ItemText(i), &rectText, DT_SINGLELINE | DT_CALCRECT);
            int cx = rectText.Width() + 2 * kItemPadding;
            // Items that do not fit go onto another line (the first keeps room for the
            // window buttons).
            int nLimit = nLength - (y == 0 ? nButtons : 0);
            if (x > nLead && x + cx > nLimit) {
                x = nLead;
                y += cyItem;
            }
            parts.Add(Part{CRect(x, y, x + cx, y + cyItem), i});
            x += cx;
            nRight = std::max(nRight, x);
        }
        if (pChild != nullptr) {
            int xb = std::max(nRight + 4, nLength - nButtons) + 2;
            if (nLength >= 32767)
                xb = nRight + 4;
            int yb = (cyItem - (kCaptionButton - 2)) / 2;
            for (int k : {kMinimize, kRestore, kClose}) {
                parts.Add(Part{CRect(xb, yb, xb + kCaptionButton, yb + kCaptionButton - 2), k});
                xb += kCaptionButton + (k == kRestore ? 4 : 0);
            }
            nRight = xb;
        }
        size = CSize(bFloating || nLength >= 32767 ? nRight + 2 : nLength, y + cyItem);
    } else {
        int y = nLead;
        for (int i = 0; i < GetItemCount(); i++) {
            parts.Add(Part{CRect(0, y, nWidest, y + cyItem), i});
            y += cyItem;
        }
        size = CSize(nWidest, y + 2);
    }
    dc.SelectObject(pOldFont);
    if (bCommit)
        m_parts.Copy(parts);
    return size;
}

CSize SECMenuBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    CSize size = CalcDynamicLayout(-1, bHorz ? (LM_HORZ | LM_HORZDOCK) : LM_VERTDOCK);
    if (bStretch)
        (bHorz ? size.cx : size.cy) = 32767;
    return size;
}

CSize SECMenuBar::CalcDynamicLayout(int, DWORD nMode)
{
    // Docked along the top or bottom the bar spans its dock bar, so the window buttons
    // stand at the frame's right edge and long menus wrap.
    int nLength = 32767;
    if ((nMode & LM_HORZDOCK) && m_pDockBar != nullptr && !IsFloating()) {
        CRect rect;
        m_pDockBar->GetClientRect(&rect);
        if (rect.Width() <= 0 && m_pDockSite != nullptr)
            m_pDockSite->GetClientRect(&rect);
        nLength = std::max((int)rect.Width(), 64);
    }
    DWORD dwOld = m_dwStyle;
    // Measured in the mode asked for, whatever the bar's own alignment is now.
    if (nMode & LM_VERTDOCK)
        m_dwStyle = (m_dwStyle & ~CBRS_ALIGN_ANY) | CBRS_ALIGN_LEFT;
    else if (nMode & LM_HORZDOCK)
        m_dwStyle = (m_dwStyle & ~CBRS_ALIGN_ANY) | CBRS_ALIGN_TOP;
    CSize size = Layout(nLength, FALSE);
    m_dwStyle = dwOld;
    return size;
}

void SECMenuBar::OnUpdateCmdUI(CFrameWnd*, BOOL)
{
    if (m_pDockSite == nullptr)
        return;
    // A menu put on the frame directly comes to the bar.
    HMENU hMenu = ::GetMenu(m_pDockSite->m_hWnd);
    if (hMenu != nullptr) {
        ::SetMenu(m_pDockSite->m_hWnd, nullptr);
        SetMenu(hMenu);
        return;
    }
    CString strSignature = Signature();
    if (strSignature != m_strSignature) {
        m_strSignature = strSignature;
        Layout(0, TRUE);
        Invalidate();
        m_pDockSite->DelayRecalcLayout();
    }
}

BOOL SECMenuBar::GetItemRect(int nIndex, RECT* pRect) const
{
    for (INT_PTR i = 0; i < m_parts.GetSize(); i++)
        if (m_parts[i].nItem == nIndex) {
            *pRect = m_parts[i].rect;
            return TRUE;
        }
    return FALSE;
}

int SECMenuBar::PartAt(CPoint ptClient) const
{
    for (INT_PTR i = 0; i < m_parts.GetSize(); i++)
        if (m_parts[i].rect.PtInRect(ptClient))
            return (int)i;
    return -1;
}

int SECMenuBar::HitTest(CPoint ptClient) const
{
    int nPart = PartAt(ptClient);
    return nPart >= 0 && m_parts[nPart].nItem >= 0 ? m_parts[nPart].nItem : -1;
}

void SECMenuBar::SetHot(int nPart)
{
    if (nPart == m_nHot)
        return;
    m_nHot = nPart;
    Invalidate(FALSE);
}

void SECMenuBar::Paint(CDC* pDC)
{
    CRect rectClient;
    GetClientRect(&rectClient);
    pDC->FillSolidRect(&rectClient, ::GetSysColor(COLOR_BTNFACE));
    BOOL bHorz = IsFloating() || (m_dwStyle & CBRS_ORIENT_HORZ) != 0;
    if (!IsFloating()) {
        CRect rectGrip = bHorz ? CRect(2, 2, 5, rectClient.bottom - 2) : CRect(2, 2, rectClient.right - 2, 5);
        pDC->Draw3dRect(&rectGrip, ::GetSysColor(COLOR_BTNHIGHLIGHT), ::GetSysColor(COLOR_BTNSHADOW));
    }
    CFont* pOldFont = pDC->SelectObject(&m_font);
    pDC->SetBkMode(TRANSPARENT);
    CWnd* pChild = MaximizedChild();
    for (INT_PTR i = 0; i < m_parts.GetSize(); i++) {
        const Part& part = m_parts[i];
        CRect rect = part.rect;
        if (part.nItem >= 0) {
            BOOL bOpen = part.nItem == m_nTracking;
            if (bOpen || i == m_nHot)
                pDC->Draw3dRect(&rect, ::GetSysColor(bOpen ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT),
                                ::GetSysColor(bOpen ? COLOR_BTNHIGHLIGHT : COLOR_BTNSHADOW));
            if (bOpen)
                rect.OffsetRect(1, 1);
            BOOL bGrey = IsGrey(m_hMenu, part.nItem);
            CString strText = ItemText(part.nItem);
            if (bGrey) {
                pDC->SetTextColor(::GetSysColor(COLOR_BTNHIGHLIGHT));
                CRect rectShadow = rect + CPoint(1, 1);
                pDC->DrawText(strText, &rectShadow, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
            }
            pDC->SetTextColor(::GetSysColor(bGrey ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
            pDC->DrawText(strText, &rect, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
        } else if (pChild != nullptr && part.nItem == kSysMenu) {
            HICON hIcon = (HICON)pChild->SendMessage(WM_GETICON, ICON_SMALL, 0);
            if (hIcon == nullptr)
                hIcon = (HICON)::GetClassLongPtrA(pChild->m_hWnd, GCLP_HICONSM);
            if (hIcon == nullptr)
                hIcon = (HICON)::GetClassLongPtrA(pChild->m_hWnd, GCLP_HICON);
            if (hIcon != nullptr)
                ::DrawIconEx(pDC->m_hDC, rect.left + (rect.Width() - 16) / 2, rect.top + (rect.Height() - 16) / 2, hIcon,
                             16, 16, 0, nullptr, DI_NORMAL);
        } else if (pChild != nullptr) {
            UINT nState = part.nItem == kMinimize ? DFCS_CAPTIONMIN
                        : part.nItem == kRestore ? DFCS_CAPTIONRESTORE
                                                 : DFCS_CAPTIONCLOSE;
            pDC->DrawFrameControl(&rect, DFC_CAPTION, nState);
        }
    }
    pDC->SelectObject(pOldFont);
}

void SECMenuBar::EnterKeyboardMode()
{
    if (GetItemCount() == 0)
        return;
    if (!m_bKeyboard) {
        m_hWndFocusBefore = ::GetFocus();
        m_bKeyboard = TRUE;
    }
    SetFocus();
    int nFirst = -1;
    for (INT_PTR i = 0; i < m_parts.GetSize() && nFirst < 0; i++)
        if (m_parts[i].nItem >= 0)
            nFirst = (int)i;
    m_nHot = -1;
    SetHot(nFirst);
}

void SECMenuBar::LeaveKeyboardMode()
{
    if (!m_bKeyboard)
        return;
    m_bKeyboard = FALSE;
    HWND hBefore = m_hWndFocusBefore;
    m_hWndFocusBefore = nullptr;
    if (::GetFocus() == m_hWnd && hBefore != nullptr && ::IsWindow(hBefore))
        ::SetFocus(hBefore);
    SetHot(-1);
}

void SECMenuBar::OnFrameMenuSelect(UINT nFlags, HMENU hMenu)
{
    if (m_nTracking < 0)
        return;
    m_nSelFlags = nFlags;
    m_hSelMenu = hMenu;
}

LRESULT CALLBACK SECMenuBar::MenuFilter(int nCode, WPARAM wParam, LPARAM lParam)
{
    SECMenuBar* pBar = g_pTracking;
    if (nCode == MSGF_MENU && pBar != nullptr && pBar->m_hWnd != nullptr) {
        MSG* pMsg = (MSG*)lParam;
        HMENU hPopup = ::GetSubMenu(pBar->m_hMenu, pBar->m_nTracking);
        int nCount = pBar->GetItemCount();
        switch (pMsg->message) {
        case WM_KEYDOWN:
            // Left from the drop-down itself (not from a submenu) and Right on an item
            // without a submenu go to the neighbouring item of the bar.
            if (pMsg->wParam == VK_LEFT && (pBar->m_hSelMenu == nullptr || pBar->m_hSelMenu == hPopup)) {
                pBar->m_nNext = (pBar->m_nTracking + nCount - 1) % nCount;
                ::EndMenu();
                return TRUE;
            }
            if (pMsg->wParam == VK_RIGHT && !(pBar->m_nSelFlags & MF_POPUP)) {
                pBar->m_nNext = (pBar->m_nTracking + 1) % nCount;
                ::EndMenu();
                return TRUE;
            }
            break;
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN: {
            if (pMsg->message == WM_MOUSEMOVE) {
                if (pMsg->pt.x == g_ptLast.x && pMsg->pt.y == g_ptLast.y)
                    break;
                g_ptLast = pMsg->pt;
            }
            CPoint pt = pMsg->pt;
            pBar->ScreenToClient(&pt);
            CRect rectClient;
            pBar->GetClientRect(&rectClient);
            if (!rectClient.PtInRect(pt) || ::WindowFromPoint(pMsg->pt) != pBar->m_hWnd)
                break;
            int nItem = pBar->HitTest(pt);
            if (pMsg->message == WM_MOUSEMOVE && nItem >= 0 && nItem != pBar->m_nTracking) {
                pBar->m_nNext = nItem;
                ::EndMenu();
                return TRUE;
            }
            if (pMsg->message == WM_LBUTTONDOWN && nItem == pBar->m_nTracking) {
                // A click on the open item closes its drop-down, and no more.
                ::EndMenu();
                return TRUE;
            }
            break;
        }
        }
    }
    return ::CallNextHookEx(g_hFilter, nCode, wParam, lParam);
}

void SECMenuBar::TrackItem(int nIndex, BOOL bKeyboard)
{
    CFrameWnd* pFrame = m_pDockSite;
    if (pFrame == nullptr || m_hMenu == nullptr || g_pTracking != nullptr)
        return;
    while (nIndex >= 0 && nIndex < GetItemCount()) {
        m_nNext = -1;
        HMENU hPopup = ::GetSubMenu(m_hMenu, nIndex);
        if (hPopup == nullptr) {
            UINT nID = ::GetMenuItemID(m_hMenu, nIndex);
            if (nID != (UINT)-1 && !IsGrey(m_hMenu, nIndex))
                pFrame->PostMessage(WM_COMMAND, nID);
            break;
        }
        m_nTracking = nIndex;
        m_hSelMenu = hPopup;
        m_nSelFlags = 0;
        for (INT_PTR i = 0; i < m_parts.GetSize(); i++)
            if (m_parts[i].nItem == nIndex)
                m_nHot = (int)i;
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        CRect rect;
        GetItemRect(nIndex, &rect);
        ClientToScreen(&rect);
        BOOL bHorz = IsFloating() || (m_dwStyle & CBRS_ORIENT_HORZ) != 0;
        pFrame->SendMessage(WM_INITMENU, (WPARAM)m_hMenu);
        // Opened by a key, the drop-down starts with its first item chosen, as the
        // system's menu bar does it.
        if (bKeyboard)
            PostMessage(WM_KEYDOWN, VK_DOWN, 0);
        TPMPARAMS tpm = {sizeof tpm, rect};
        g_pTracking = this;
        ::GetCursorPos(&g_ptLast);
        g_hFilter = ::SetWindowsHookExA(WH_MSGFILTER, MenuFilter, nullptr, ::GetCurrentThreadId());
        UINT nCmd = (UINT)::TrackPopupMenuEx(hPopup,
                                             TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD |
                                                 (bHorz ? TPM_VERTICAL : TPM_HORIZONTAL),
                                             bHorz ? rect.left : rect.right, bHorz ? rect.bottom : rect.top,
                                             pFrame->m_hWnd, &tpm);
        ::UnhookWindowsHookEx(g_hFilter);
        g_hFilter = nullptr;
        g_pTracking = nullptr;
        m_nTracking = -1;
        if (m_hWnd == nullptr)
            return;   // a command while the menu was open took the bar down
        if (nCmd != 0) {
            LeaveKeyboardMode();
            pFrame->PostMessage(WM_COMMAND, nCmd);
            break;
        }
        // A key moved to a neighbour, or the pointer to another item: that one opens now.
        // A keyboard move keeps the keyboard's way of opening.
        nIndex = m_nNext;
    }
    m_nTracking = -1;
    if (!m_bKeyboard) {
        CPoint pt;
        ::GetCursorPos(&pt);
        ScreenToClient(&pt);
        m_nHot = -1;
        SetHot(PartAt(pt));
    }
    Invalidate();
}

BOOL SECMenuBar::PreTranslateFrameMessage(MSG* pMsg)
{
    if (m_hWnd == nullptr || !IsVisible() || m_hMenu == nullptr || m_pDockSite == nullptr)
        return FALSE;
    HWND hRoot = ::GetAncestor(pMsg->hwnd, GA_ROOT);
    if (hRoot != m_pDockSite->m_hWnd && hRoot != ::GetAncestor(m_hWnd, GA_ROOT))
        return FALSE;
    switch (pMsg->message) {
    case WM_SYSKEYDOWN:
        if (pMsg->wParam == VK_MENU) {
            if (m_bKeyboard) {
                LeaveKeyboardMode();
                m_bAltDown = FALSE;
                return TRUE;
            }
            if (!(pMsg->lParam & 0x40000000))
                m_bAltDown = TRUE;
            return FALSE;
        }
        m_bAltDown = FALSE;
        if (pMsg->wParam == VK_F10 && ::GetKeyState(VK_SHIFT) >= 0) {
            if (m_bKeyboard)
                LeaveKeyboardMode();
            else
                EnterKeyboardMode();
            return TRUE;
        }
        return FALSE;
    case WM_SYSKEYUP:
        if (pMsg->wParam == VK_MENU && m_bAltDown) {
            m_bAltDown = FALSE;
            EnterKeyboardMode();
            return TRUE;
        }
        return FALSE;
    case WM_SYSCHAR: {
        int nItem = FindAccessKey((TCHAR)pMsg->wParam);
        if (nItem < 0)
            return FALSE;
        m_bAltDown = FALSE;
        PostMessage(OpenMessage(), (WPARAM)nItem, TRUE);
        return TRUE;
    }
    case WM_KEYDOWN: {
        m_bAltDown = FALSE;
        if (!m_bKeyboard || pMsg->hwnd != m_hWnd)
            return FALSE;
        int nParts = (int)m_parts.GetSize();
        switch (pMsg->wParam) {
        case VK_LEFT:
        case VK_RIGHT: {
            int nStep = pMsg->wParam == VK_RIGHT ? 1 : nParts - 1;
            int nPart = m_nHot < 0 ? 0 : m_nHot;
            for (int k = 0; k < nParts; k++) {
                nPart = (nPart + nStep) % nParts;
                if (m_parts[nPart].nItem >= 0)
                    break;
            }
            SetHot(nPart);
            break;
        }
        case VK_DOWN:
        case VK_UP:
        case VK_RETURN:
            if (m_nHot >= 0 && m_nHot < nParts && m_parts[m_nHot].nItem >= 0)
                PostMessage(OpenMessage(), (WPARAM)m_parts[m_nHot].nItem, TRUE);
            break;
        case VK_ESCAPE:
            LeaveKeyboardMode();
            break;
        }
        return TRUE;
    }
    case WM_CHAR:
        if (!m_bKeyboard || pMsg->hwnd != m_hWnd)
            return FALSE;
        {
            int nItem = FindAccessKey((TCHAR)pMsg->wParam);
            if (nItem >= 0)
                PostMessage(OpenMessage(), (WPARAM)nItem, TRUE);
            else
                ::MessageBeep(0);
        }
        return TRUE;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        m_bAltDown = FALSE;
        return FALSE;
    }
    return FALSE;
}

LRESULT SECMenuBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == ItemRectMessage()) {
        RECT* pRect = (RECT*)lParam;
        if (!GetItemRect((int)wParam, pRect))
            return FALSE;
        ClientToScreen(pRect);
        return TRUE;
    }
    if (message == OpenMessage()) {
        if (lParam && !m_bKeyboard) {
            m_hWndFocusBefore = ::GetFocus();
            m_bKeyboard = TRUE;
            SetFocus();
        }
        TrackItem((int)wParam, (BOOL)lParam);
        return 0;
    }
    switch (message) {
    case WM_PAINT: {
        CPaintDC dc(this);
        Paint(&dc);
        return 0;
    }
    case WM_ERASEBKGND:
        return TRUE;
    case WM_TIMER:
        if (wParam == 1) {
            if (IsVisible() && m_nTracking < 0)
                OnUpdateCmdUI(m_pDockSite, TRUE);
            return 0;
        }
        break;
    case WM_SIZE:
        Layout(0, TRUE);
        Invalidate();
        break;
    case WM_SETCURSOR:
        ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
        return TRUE;
    case WM_MOUSEMOVE: {
        if (m_bKeyboard)
            break;
        CPoint pt((short)LOWORD(lParam), (short)HIWORD(lParam));
        SetHot(PartAt(pt));
        TRACKMOUSEEVENT tme = {sizeof tme, TME_LEAVE, m_hWnd, 0};
        ::TrackMouseEvent(&tme);
        return 0;
    }
    case WM_MOUSELEAVE:
        if (!m_bKeyboard && m_nTracking < 0)
            SetHot(-1);
        return 0;
    case WM_KILLFOCUS:
        if (m_bKeyboard && m_nTracking < 0) {
            m_bKeyboard = FALSE;
            m_hWndFocusBefore = nullptr;
            SetHot(-1);
        }
        break;
    case WM_LBUTTONDOWN: {
        CPoint pt((short)LOWORD(lParam), (short)HIWORD(lParam));
        int nPart = PartAt(pt);
        if (nPart < 0) {
            // Elsewhere on the bar: its gripper or its empty room drags it.
            CPoint ptScreen = pt;
            ClientToScreen(&ptScreen);
            SECTrackBarDrag(this, ptScreen);
            return 0;
        }
        LeaveKeyboardMode();
        int nItem = m_parts[nPart].nItem;
        if (nItem >= 0) {
            TrackItem(nItem, FALSE);
            return 0;
        }
        CWnd* pChild = MaximizedChild();
        if (pChild == nullptr)
            return 0;
        if (nItem == kSysMenu) {
            CRect rect = m_parts[nPart].rect;
            ClientToScreen(&rect);
            HMENU hSys = ::GetSystemMenu(pChild->m_hWnd, FALSE);
            UINT nCmd = hSys != nullptr ? (UINT)::TrackPopupMenu(hSys, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD,
                                                                 rect.left, rect.bottom, 0, pChild->m_hWnd, nullptr)
                                        : 0;
            if (nCmd != 0)
                pChild->PostMessage(WM_SYSCOMMAND, nCmd);
        } else {
            pChild->PostMessage(WM_SYSCOMMAND, nItem == kMinimize ? SC_MINIMIZE
                                              : nItem == kRestore ? SC_RESTORE
                                                                  : SC_CLOSE);
        }
        return 0;
    }
    case WM_LBUTTONDBLCLK:
        return 0;
    case WM_DESTROY:
        ::KillTimer(m_hWnd, 1);
        if (m_pDockSite != nullptr && ::GetPropA(m_pDockSite->m_hWnd, kBarProp) == m_hWnd) {
            ::RemovePropA(m_pDockSite->m_hWnd, kBarProp);
            // The frame gets its menu back, so that it goes with the frame.
            if (m_hMenu != nullptr && ::GetMenu(m_pDockSite->m_hWnd) == nullptr && ::IsMenu(m_hMenu))
                ::SetMenu(m_pDockSite->m_hWnd, m_hMenu);
        }
        if (m_hWndClient != nullptr && m_pfnClientProc != nullptr &&
            (WNDPROC)::GetWindowLongPtrA(m_hWndClient, GWLP_WNDPROC) == ClientProc) {
            ::SetWindowLongPtrA(m_hWndClient, GWLP_WNDPROC, (LONG_PTR)m_pfnClientProc);
            ::RemovePropA(m_hWndClient, kBarProp);
        }
        m_hWndClient = nullptr;
        ::RemovePropA(m_hWnd, kMenuProp);
        break;
    }
    // Past SECControlBar: the menu bar has no splitter edge, and its own clicks.
    return CControlBar::WindowProc(message, wParam, lParam);
}

HMENU SECGetFrameMenu(HWND hFrame)
{
    HWND hBar = (HWND)::GetPropA(hFrame, kBarProp);
    if (hBar != nullptr && ::IsWindow(hBar))
        return (HMENU)::GetPropA(hBar, kMenuProp);
    return ::GetMenu(hFrame);
}

BOOL SECGetFrameMenuItemRect(HWND hFrame, int nIndex, RECT* pRect)
{
    HWND hBar = (HWND)::GetPropA(hFrame, kBarProp);
    if (hBar != nullptr && ::IsWindow(hBar)) {
        DWORD_PTR result = 0;
        if (!::IsWindowVisible(hBar) ||
            !::SendMessageTimeoutA(hBar, ItemRectMessage(), (WPARAM)nIndex, (LPARAM)pRect, SMTO_ABORTIFHUNG, 5000,
                                   &result))
            return FALSE;
        return result != 0;
    }
    HMENU hMenu = ::GetMenu(hFrame);
    return hMenu != nullptr && ::GetMenuItemRect(hFrame, hMenu, (UINT)nIndex, pRect);
}
