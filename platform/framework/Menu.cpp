// CMenu.
#include "afxwin.h"
#include "HandleMap.h"

namespace {

afximpl::HandleMap<HMENU, CMenu>& MenuMap()
{
    static afximpl::HandleMap<HMENU, CMenu> map([]() { return new CMenu; },
                                                [](CMenu* p, HMENU h) { p->m_hMenu = h; });
    return map;
}

}

IMPLEMENT_DYNCREATE(CMenu, CObject)

CMenu::CMenu() : m_hMenu(nullptr) {}

CMenu::~CMenu() { DestroyMenu(); }

HMENU CMenu::GetSafeHmenu() const { return this == nullptr ? nullptr : m_hMenu; }

CMenu* PASCAL CMenu::FromHandle(HMENU hMenu) { return MenuMap().FromHandle(hMenu); }
CMenu* PASCAL CMenu::FromHandlePermanent(HMENU hMenu) { return hMenu ? MenuMap().LookupPermanent(hMenu) : nullptr; }
void PASCAL CMenu::DeleteTempMap() { MenuMap().DeleteTemp(); }

BOOL CMenu::Attach(HMENU hMenu)
{
    if (hMenu == nullptr)
        return FALSE;
    MenuMap().SetPermanent(hMenu, this);
    m_hMenu = hMenu;
    return TRUE;
}

HMENU CMenu::Detach()
{
    HMENU hMenu = m_hMenu;
    if (hMenu != nullptr)
        MenuMap().RemoveHandle(hMenu, this);
    m_hMenu = nullptr;
    return hMenu;
}

BOOL CMenu::CreateMenu() { return Attach(::CreateMenu()); }
BOOL CMenu::CreatePopupMenu() { return Attach(::CreatePopupMenu()); }

BOOL CMenu::LoadMenu(LPCTSTR lpszResourceName)
{
    HINSTANCE hInst = AfxFindResourceHandle(lpszResourceName, RT_MENU);
    return Attach(::LoadMenuA(hInst, lpszResourceName));
}

BOOL CMenu::LoadMenuIndirect(const void* lpMenuTemplate) { return Attach(::LoadMenuIndirectA(lpMenuTemplate)); }

BOOL CMenu::DestroyMenu()
{
    if (m_hMenu == nullptr)
        return FALSE;
    return ::DestroyMenu(Detach());
}

int CMenu::GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const
{
    int nLen = ::GetMenuStringA(m_hMenu, nIDItem, nullptr, 0, nFlags);
    if (nLen <= 0) {
        rString.Empty();
        return 0;
    }
    ::GetMenuStringA(m_hMenu, nIDItem, rString.GetBufferSetLength(nLen), nLen + 1, nFlags);
    rString.ReleaseBuffer();
    return rString.GetLength();
}

CMenu* CMenu::GetSubMenu(int nPos) const
{
    HMENU hMenu = ::GetSubMenu(m_hMenu, nPos);
    return hMenu != nullptr ? FromHandle(hMenu) : nullptr;
}

BOOL CMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect)
{
    return ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, pWnd->GetSafeHwnd(), lpRect);
}

BOOL CMenu::SetMenuItemBitmaps(UINT nPosition, UINT nFlags, const CBitmap* pBmpUnchecked, const CBitmap* pBmpChecked)
{
    return ::SetMenuItemBitmaps(m_hMenu, nPosition, nFlags, (HBITMAP)pBmpUnchecked->GetSafeHandle(),
                                (HBITMAP)pBmpChecked->GetSafeHandle());
}

// Owner-drawn menus override these; a plain menu never receives them.
void CMenu::DrawItem(LPDRAWITEMSTRUCT) {}
void CMenu::MeasureItem(LPMEASUREITEMSTRUCT) {}
