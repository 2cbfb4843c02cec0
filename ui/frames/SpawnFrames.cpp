#include "SpawnFrames.h"

#include <QKSysMethod.h>

namespace {

// Draws or measures an owner-drawn menu item of the spawn; FALSE leaves the message to
// the framework (items of other controls).
BOOL SpawnDrawOrMeasure(CMenuSpawn& spawn, UINT message, LPARAM lParam)
{
    if (message == WM_DRAWITEM)
        return spawn.DrawItem((LPDRAWITEMSTRUCT)lParam);
    if (message == WM_MEASUREITEM)
        return spawn.MeasureItem((LPMEASUREITEMSTRUCT)lParam);
    return FALSE;
}

} // namespace

IMPLEMENT_DYNCREATE(CSpawnMDIFrameWnd, SECMDIFrameWnd)

BEGIN_MESSAGE_MAP(CSpawnMDIFrameWnd, SECMDIFrameWnd)
    ON_WM_NCHITTEST()
END_MESSAGE_MAP()

CSpawnMDIFrameWnd::CSpawnMDIFrameWnd() : m_rectHighlight(0, 0, 0, 0), m_bInMenuLoop(FALSE) {}

LRESULT CSpawnMDIFrameWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (SpawnDrawOrMeasure(m_spawn, message, lParam))
        return TRUE;
    switch (message) {
    case WM_INITMENU: {
        if (qkfxAreBitmapsOnMenusDisabled())
            break;
        CMenu* pMenu = CMenu::FromHandle((HMENU)wParam);
        m_spawn.SetMenuBar(GetFrameMenu());
        m_spawn.SetContextMenuFlag(FALSE);
        m_spawn.RemapMenu(pMenu, 0);
        LRESULT lResult = SECMDIFrameWnd::WindowProc(message, wParam, lParam);
        m_spawn.RemapMenu(pMenu, 0);
        return lResult;
    }
    case WM_INITMENUPOPUP: {
        if (HIWORD(lParam) || qkfxAreBitmapsOnMenusDisabled())
            break;
        CMenu* pMenu = CMenu::FromHandle((HMENU)wParam);
        m_spawn.SetMenuBar(GetFrameMenu());
        // A popup that no menu bar holds is a context menu.
        m_spawn.SetContextMenuFlag(FALSE);
        m_spawn.RemapMenu(pMenu, 1);
        LRESULT lResult = SECMDIFrameWnd::WindowProc(message, wParam, lParam);
        m_spawn.RemapMenu(pMenu, 0);
        return lResult;
    }
    case WM_MENUCHAR: {
        LRESULT lResult = SECMDIFrameWnd::WindowProc(message, wParam, lParam);
        UINT nFlags = HIWORD(wParam);
        if (!qkfxAreBitmapsOnMenusDisabled() && nFlags != MF_SYSMENU && HIWORD(lResult) != MNC_EXECUTE)
            m_spawn.FindKeyboardShortcut(LOWORD(wParam), nFlags, CMenu::FromHandle((HMENU)lParam), lResult);
        return lResult;
    }
    case WM_ENTERMENULOOP:
        EraseHighlight();
        m_bInMenuLoop = TRUE;
        break;
    case WM_EXITMENULOOP:
        m_bInMenuLoop = FALSE;
        break;
    }
    return SECMDIFrameWnd::WindowProc(message, wParam, lParam);
}

void CSpawnMDIFrameWnd::DrawHighlight(const CRect& rect, COLORREF crTopLeft, COLORREF crBottomRight)
{
    HDC hdc = ::GetWindowDC(m_hWnd);
    CDC::FromHandle(hdc)->Draw3dRect(&rect, crTopLeft, crBottomRight);
    ::ReleaseDC(m_hWnd, hdc);
}

void CSpawnMDIFrameWnd::EraseHighlight()
{
    if (m_rectHighlight.IsRectEmpty())
        return;
    COLORREF crMenu = ::GetSysColor(COLOR_MENU);
    DrawHighlight(m_rectHighlight, crMenu, crMenu);
    m_rectHighlight.SetRectEmpty();
}

LRESULT CSpawnMDIFrameWnd::OnNcHitTest(CPoint point)
{
    LRESULT lHit = SECMDIFrameWnd::OnNcHitTest(point);
    if (qkfxAreBitmapsOnMenusDisabled() || m_bInMenuLoop || lHit != HTMENU) {
        EraseHighlight();
        return lHit;
    }
    HMENU hMenu = ::GetMenu(m_hWnd);
    int nItem = hMenu != nullptr ? ::MenuItemFromPoint(m_hWnd, hMenu, point) : -1;
    if (nItem < 0)
        return lHit;
    MENUITEMINFOA mii = {};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_FTYPE | MIIM_DATA;
    CRect rectItem;
    if (!::GetMenuItemInfoA(hMenu, (UINT)nItem, TRUE, &mii) || !::GetMenuItemRect(m_hWnd, hMenu, (UINT)nItem, &rectItem))
        return lHit;
    if (!(mii.fType & MFT_OWNERDRAW) || mii.dwItemData == 0) {
        EraseHighlight();
        return lHit;
    }
    CRect rectWindow;
    GetWindowRect(&rectWindow);
    rectItem.OffsetRect(-rectWindow.left, -rectWindow.top);
    if (rectItem == m_rectHighlight)
        return lHit;
    EraseHighlight();
    DrawHighlight(rectItem, ::GetSysColor(COLOR_BTNHIGHLIGHT), ::GetSysColor(COLOR_BTNSHADOW));
    m_rectHighlight = rectItem;
    return lHit;
}

IMPLEMENT_DYNCREATE(CSpawnMDIChildWnd, CMDIChildWnd)

LRESULT CSpawnMDIChildWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (SpawnDrawOrMeasure(m_spawn, message, lParam))
        return TRUE;
    switch (message) {
    case WM_INITMENUPOPUP: {
        if (qkfxAreBitmapsOnMenusDisabled())
            break;
        m_spawn.SetContextMenuFlag(FALSE);
        LRESULT lResult = CMDIChildWnd::WindowProc(message, wParam, lParam);
        m_spawn.RemapMenu(CMenu::FromHandle((HMENU)wParam), 0);
        return lResult;
    }
    case WM_MENUCHAR:
        if (!qkfxAreBitmapsOnMenusDisabled() && (HMENU)lParam == ::GetSystemMenu(m_hWnd, FALSE)) {
            LRESULT lResult = 0;
            m_spawn.FindKeyboardShortcut(LOWORD(wParam), HIWORD(wParam), CMenu::FromHandle((HMENU)lParam), lResult);
            return lResult;
        }
        return ::DefMDIChildProcA(m_hWnd, message, wParam, lParam);
    }
    return CMDIChildWnd::WindowProc(message, wParam, lParam);
}
