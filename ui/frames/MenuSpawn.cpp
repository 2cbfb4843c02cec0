#include "MenuSpawn.h"

#include <QKSysMethod.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "FramesResource.h"

namespace {

// Commands that show the image of another command.
const struct { int nID; int nImageOf; } kAliases[] = {
    {200, 33249}, {36115, 33249}, {201, 33248}, {36116, 33248}, {202, 33250}, {36117, 33250},
    {203, 33255}, {36118, 33255}, {33024, 33337}, {33025, 33338}, {34019, 34050}, {34020, 34037},
    {34052, 34037}, {36119, 33259}, {36126, 33044}, {36463, 36436},
};

struct ToolBarResource
{
    WORD wVersion, wWidth, wHeight, wItemCount;
};

HBITMAP LoadCheckBitmap(HINSTANCE hInst, UINT nID)
{
    COLORMAP map[] = {
        {RGB(128, 128, 128), ::GetSysColor(COLOR_BTNSHADOW)},
        {RGB(192, 192, 192), ::GetSysColor(COLOR_BTNFACE)},
        {RGB(255, 255, 255), ::GetSysColor(COLOR_BTNHIGHLIGHT)},
    };
    return ::CreateMappedBitmap(hInst, nID, 0, map, 3);
}

} // namespace

CMenuSpawn::CMenuSpawn()
    : m_bSorted(FALSE), m_hMenuFont(nullptr), m_cxImage(20), m_cyImage(20), m_bContextMenu(FALSE), m_hMenuBar(nullptr)
{
    m_crMenuText = ::GetSysColor(COLOR_MENUTEXT);
    m_crHighlightText = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    m_crBtnFace = ::GetSysColor(COLOR_BTNFACE);
    m_crMenu = ::GetSysColor(COLOR_MENU);
    m_crHighlight = ::GetSysColor(COLOR_HIGHLIGHT);
    m_crBtnHighlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    m_crBtnShadow = ::GetSysColor(COLOR_BTNSHADOW);
    m_crGrayText = ::GetSysColor(COLOR_GRAYTEXT);

    m_checkImages.Create(16, 16, ILC_COLOR4 | ILC_MASK, 2, 0);
    HINSTANCE hInst = QUFramesResourceModule();
    for (UINT nID : {IDB_MENU_CHECK, IDB_MENU_CHECK_OWN}) {
        HBITMAP hbm = LoadCheckBitmap(hInst, nID);
        if (hbm != nullptr) {
            ::ImageList_AddMasked(m_checkImages.m_hImageList, hbm, m_crBtnFace);
            ::DeleteObject(hbm);
        }
    }

    NONCLIENTMETRICSA ncm = {};
    ncm.cbSize = sizeof ncm;
    if (::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0))
        m_hMenuFont = ::CreateFontIndirectA(&ncm.lfMenuFont);
    if (m_hMenuFont == nullptr)
        m_hMenuFont = (HFONT)::GetStockObject(DEFAULT_GUI_FONT);
}

CMenuSpawn::~CMenuSpawn()
{
    for (Record* pRecord : m_records)
        delete pRecord;
    if (m_hMenuFont != nullptr && m_hMenuFont != (HFONT)::GetStockObject(DEFAULT_GUI_FONT))
        ::DeleteObject(m_hMenuFont);
}

BOOL CMenuSpawn::LoadFirstToolbar(UINT nID, HINSTANCE hInst)
{
    return LoadToolbar(nID, hInst, TRUE);
}

BOOL CMenuSpawn::AddToolbar(UINT nID, HINSTANCE hInst)
{
    return LoadToolbar(nID, hInst, m_images.m_hImageList == nullptr);
}

BOOL CMenuSpawn::LoadToolbar(UINT nID, HINSTANCE hInst, BOOL bFirst)
{
    HRSRC hRsrc = ::FindResourceA(hInst, MAKEINTRESOURCE(nID), MAKEINTRESOURCE(241));
    HGLOBAL hGlobal = hRsrc != nullptr ? ::LoadResource(hInst, hRsrc) : nullptr;
    const ToolBarResource* pData = hGlobal != nullptr ? (const ToolBarResource*)::LockResource(hGlobal) : nullptr;
    if (pData == nullptr)
        return FALSE;
    if (bFirst) {
        m_cxImage = pData->wWidth;
        m_cyImage = pData->wHeight;
        if (!m_images.Create(m_cxImage, m_cyImage, ILC_COLOR4 | ILC_MASK, pData->wItemCount, 8))
            return FALSE;
        m_images.SetBkColor(m_crBtnFace);
    }
    HINSTANCE hInstBitmap = ::FindResourceA(hInst, MAKEINTRESOURCE(nID), RT_BITMAP) != nullptr
                                ? hInst
                                : AfxFindResourceHandle(MAKEINTRESOURCE(nID), RT_BITMAP);
    HBITMAP hbm = (HBITMAP)::LoadImageA(hInstBitmap, MAKEINTRESOURCE(nID), IMAGE_BITMAP, 0, 0, 0);
    if (hbm == nullptr)
        return FALSE;
    int nFirst = ::ImageList_AddMasked(m_images.m_hImageList, hbm, RGB(192, 192, 192));
    ::DeleteObject(hbm);
    if (nFirst < 0)
        return FALSE;
    const WORD* pIds = (const WORD*)(pData + 1);
    int nImage = nFirst;
    for (int i = 0; i < pData->wItemCount; i++) {
        if (pIds[i] == 0)
            continue;
        m_commands.push_back({nImage++, pIds[i]});
    }
    m_bSorted = FALSE;
    return TRUE;
}

void CMenuSpawn::SortImages()
{
    std::stable_sort(m_commands.begin(), m_commands.end(),
                     [](const CommandImage& a, const CommandImage& b) { return a.wID < b.wID; });
    m_bSorted = TRUE;
}

int CMenuSpawn::ImageOfCommand(int nID) const
{
    if (m_commands.empty())
        return -1;
    for (const auto& alias : kAliases)
        if (alias.nID == nID) {
            nID = alias.nImageOf;
            break;
        }
    if (nID < 0 || nID > 0xFFFF)
        return -1;
    if (!m_bSorted) {
        for (const CommandImage& c : m_commands)
            if (c.wID == nID)
                return c.nImage;
        return -1;
    }
    auto it = std::lower_bound(m_commands.begin(), m_commands.end(), (WORD)nID,
                               [](const CommandImage& c, WORD w) { return c.wID < w; });
    return it != m_commands.end() && it->wID == nID ? it->nImage : -1;
}

CMenuSpawn::Record* CMenuSpawn::NewRecord(int nImage, int nID, const char* pszText)
{
    Record* pRecord = new Record;
    pRecord->nImage = nImage;
    pRecord->nID = nID;
    lstrcpynA(pRecord->szText, pszText, sizeof pRecord->szText);
    m_records.push_back(pRecord);
    return pRecord;
}

void CMenuSpawn::FreeRecord(Record* pRecord)
{
    for (Record*& slot : m_records)
        if (slot == pRecord) {
            delete slot;
            slot = nullptr;
            return;
        }
}

BOOL CMenuSpawn::IsOwnRecord(ULONG_PTR data) const
{
    if (data == 0)
        return FALSE;
    for (Record* pRecord : m_records)
        if ((ULONG_PTR)pRecord == data)
            return TRUE;
    return FALSE;
}

void CMenuSpawn::RemapMenu(CMenu* pMenu, int nMode)
{
    if (pMenu == nullptr || pMenu->m_hMenu == nullptr)
        return;
    if (qkfxAreBitmapsOnMenusDisabled()) {
        RestoreMenu(pMenu);
        return;
    }
    HMENU hMenu = pMenu->m_hMenu;
    BOOL bMenuBar = hMenu == m_hMenuBar;
    int nCount = ::GetMenuItemCount(hMenu);
    for (int i = nCount - 1; i >= 0; i--) {
        MENUITEMINFOA mii = {};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA;
        if (!::GetMenuItemInfoA(hMenu, (UINT)i, TRUE, &mii))
            continue;
        BOOL bDrawn = (mii.fType & (MFT_OWNERDRAW | MFT_BITMAP)) != 0;
        if (mii.hSubMenu != nullptr) {
            if (bDrawn || !(m_bContextMenu || nMode > 0))
                continue;
            char szText[256] = "";
            ::GetMenuStringA(hMenu, (UINT)i, szText, sizeof szText, MF_BYPOSITION);
            if (szText[0] == '\0')
                continue;
            Record* pRecord = NewRecord(-1, PopupMarker, szText);
            UINT nState = mii.fState & (MF_GRAYED | MF_DISABLED | MF_CHECKED);
            ::ModifyMenuA(hMenu, (UINT)i, MF_BYPOSITION | MF_OWNERDRAW | MF_POPUP | nState, (UINT_PTR)mii.hSubMenu,
                          (LPCSTR)pRecord);
            continue;
        }
        if (bMenuBar || bDrawn)
            continue;
        UINT nState = mii.fState & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_DEFAULT);
        if (mii.fType & MFT_SEPARATOR) {
            Record* pRecord = NewRecord(-1, SeparatorMarker, "--");
            ::ModifyMenuA(hMenu, (UINT)i, MF_BYPOSITION | MF_OWNERDRAW | MF_DISABLED, 0, (LPCSTR)pRecord);
            continue;
        }
        char szText[128] = "";
        ::GetMenuStringA(hMenu, (UINT)i, szText, sizeof szText, MF_BYPOSITION);
        Record* pRecord = NewRecord(ImageOfCommand((int)mii.wID), (int)mii.wID, szText);
        ::ModifyMenuA(hMenu, (UINT)i, MF_BYPOSITION | MF_OWNERDRAW | nState, mii.wID, (LPCSTR)pRecord);
    }
}

void CMenuSpawn::RestoreMenu(CMenu* pMenu)
{
    if (pMenu == nullptr || pMenu->m_hMenu == nullptr)
        return;
    HMENU hMenu = pMenu->m_hMenu;
    for (int i = ::GetMenuItemCount(hMenu) - 1; i >= 0; i--) {
        MENUITEMINFOA mii = {};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA;
        if (!::GetMenuItemInfoA(hMenu, (UINT)i, TRUE, &mii) || !(mii.fType & MFT_OWNERDRAW) ||
            !IsOwnRecord(mii.dwItemData))
            continue;
        Record* pRecord = (Record*)mii.dwItemData;
        UINT nState = mii.fState & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_DEFAULT);
        if (pRecord->nID == SeparatorMarker)
            ::ModifyMenuA(hMenu, (UINT)i, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
        else if (mii.hSubMenu != nullptr)
            ::ModifyMenuA(hMenu, (UINT)i, MF_BYPOSITION | MF_STRING | MF_POPUP | nState, (UINT_PTR)mii.hSubMenu,
                          pRecord->szText);
        else
            ::ModifyMenuA(hMenu, mii.wID, MF_BYCOMMAND | MF_STRING | nState, mii.wID, pRecord->szText);
        FreeRecord(pRecord);
    }
}

BOOL CMenuSpawn::MeasureItem(LPMEASUREITEMSTRUCT lpMis)
{
    if (lpMis->CtlType != ODT_MENU)
        return FALSE;
    Record* pRecord = IsOwnRecord(lpMis->itemData) ? (Record*)lpMis->itemData : nullptr;
    if (pRecord == nullptr)
        return TRUE;
    if (pRecord->nID == SeparatorMarker) {
        lpMis->itemWidth = 10;
        lpMis->itemHeight = 6;
        return TRUE;
    }
    if (pRecord->szText[0] == '\0') {
        lpMis->itemWidth = 100;
        lpMis->itemHeight = m_cyImage + 5;
        return TRUE;
    }
    CWnd* pMain = AfxGetMainWnd();
    HWND hWnd = pMain != nullptr ? pMain->m_hWnd : nullptr;
    HDC hdc = ::GetDC(hWnd);
    HGDIOBJ hOld = ::SelectObject(hdc, m_hMenuFont);
    DWORD dwExtent = ::GetTabbedTextExtentA(hdc, pRecord->szText, lstrlenA(pRecord->szText), 0, nullptr);
    ::SelectObject(hdc, hOld);
    ::ReleaseDC(hWnd, hdc);
    int cxText = LOWORD(dwExtent), cyText = HIWORD(dwExtent);
    int cy = std::max(m_cyImage + 5, cyText);
    lpMis->itemHeight = (UINT)cy;
    lpMis->itemWidth = (UINT)(cxText + 17 + std::max(m_cxImage, cy));
    return TRUE;
}

BOOL CMenuSpawn::DrawItem(LPDRAWITEMSTRUCT lpDis)
{
    if (lpDis->CtlType != ODT_MENU)
        return FALSE;
    Record* pRecord = IsOwnRecord(lpDis->itemData) ? (Record*)lpDis->itemData : nullptr;
    if (pRecord == nullptr)
        return TRUE;
    HDC hdc = lpDis->hDC;
    CRect rcItem(lpDis->rcItem);
    HGDIOBJ hOldFont = ::SelectObject(hdc, m_hMenuFont);
    CRect rcImage(rcItem.left, rcItem.top, rcItem.left + rcItem.Height(), rcItem.bottom);
    CRect rcText(rcImage.right + 1, rcItem.top, rcItem.right, rcItem.bottom);

    if (pRecord->nID == SeparatorMarker) {
        HPEN hShadow = ::CreatePen(PS_SOLID, 1, m_crBtnShadow);
        HPEN hLight = ::CreatePen(PS_SOLID, 1, m_crBtnHighlight);
        HGDIOBJ hOldPen = ::SelectObject(hdc, hShadow);
        ::MoveToEx(hdc, rcItem.left + 2, rcItem.top + 2, nullptr);
        ::LineTo(hdc, rcItem.right - 2, rcItem.top + 2);
        ::SelectObject(hdc, hLight);
        ::MoveToEx(hdc, rcItem.left + 2, rcItem.top + 3, nullptr);
        ::LineTo(hdc, rcItem.right - 2, rcItem.top + 3);
        ::SelectObject(hdc, hOldPen);
        ::DeleteObject(hShadow);
        ::DeleteObject(hLight);
        ::SelectObject(hdc, hOldFont);
        return TRUE;
    }

    BOOL bSelected = (lpDis->itemState & ODS_SELECTED) != 0;
    BOOL bDisabled = (lpDis->itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
    BOOL bChecked = (lpDis->itemState & ODS_CHECKED) != 0;
    BOOL bImage = pRecord->nImage >= 0;
    int nOldMode = ::SetBkMode(hdc, TRANSPARENT);
    COLORREF crOldText = ::SetTextColor(hdc, bSelected ? m_crHighlightText : m_crMenuText);
    HBRUSH hBack = ::CreateSolidBrush(bSelected ? m_crHighlight : m_crMenu);
    ::FillRect(hdc, (bImage || bChecked) ? &rcText : &rcItem, hBack);
    ::DeleteObject(hBack);
    if (!bImage && bChecked && m_checkImages.m_hImageList != nullptr) {
        MENUITEMINFOA mii = {};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_CHECKMARKS;
        ::GetMenuItemInfoA((HMENU)lpDis->hwndItem, lpDis->itemID, FALSE, &mii);
        int nCheck = mii.hbmpChecked != nullptr ? 1 : 0;
        int x = rcImage.left + (rcImage.Width() - 16) / 2;
        int y = rcImage.top + (rcItem.Height() - 16) / 2 - 2;
        ::ImageList_Draw(m_checkImages.m_hImageList, nCheck, hdc, x, y, ILD_TRANSPARENT);
    }
    if (bImage) {
        COLORREF crTopLeft = m_crMenu, crBottomRight = m_crMenu;
        if (bChecked) {
            crTopLeft = m_crBtnShadow;
            crBottomRight = m_crBtnHighlight;
        } else if (bSelected && !bDisabled) {
            crTopLeft = m_crBtnHighlight;
            crBottomRight = m_crBtnShadow;
        }
        CDC* pDC = CDC::FromHandle(hdc);
        pDC->Draw3dRect(&rcImage, crTopLeft, crBottomRight);
        int x = rcImage.left + (rcImage.Width() - m_cxImage) / 2;
        int y = rcImage.top + (rcImage.Height() - m_cyImage) / 2;
        if (bDisabled) {
            HICON hIcon = ::ImageList_GetIcon(m_images.m_hImageList, pRecord->nImage, ILD_NORMAL);
            ::DrawStateA(hdc, nullptr, nullptr, (LPARAM)hIcon, 0, x, y, m_cxImage, m_cyImage, DST_ICON | DSS_DISABLED);
            ::DestroyIcon(hIcon);
        } else {
            ::ImageList_Draw(m_images.m_hImageList, pRecord->nImage, hdc, x, y, ILD_TRANSPARENT);
        }
    }

    CRect rcLabel(rcText.left + 2, rcText.top, rcText.right - 15, rcText.bottom);
    const char* pszTab = strchr(pRecord->szText, '\t');
    auto drawText = [&](const CRect& rc) {
        if (pszTab != nullptr) {
            ::DrawTextA(hdc, pRecord->szText, (int)(pszTab - pRecord->szText), (LPRECT)&rc,
                        DT_VCENTER | DT_SINGLELINE);
            ::DrawTextA(hdc, pszTab + 1, -1, (LPRECT)&rc, DT_VCENTER | DT_SINGLELINE | DT_RIGHT);
        } else {
            ::DrawTextA(hdc, pRecord->szText, -1, (LPRECT)&rc, DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS);
        }
    };
    if (bDisabled) {
        if (bSelected) {
            ::SetTextColor(hdc, m_crMenu);
        } else {
            ::SetTextColor(hdc, m_crBtnHighlight);
            CRect rcEmboss(rcLabel);
            rcEmboss.OffsetRect(1, 1);
            drawText(rcEmboss);
            ::SetTextColor(hdc, m_crGrayText);
        }
    }
    drawText(rcLabel);
    ::SetTextColor(hdc, crOldText);
    ::SetBkMode(hdc, nOldMode);
    ::SelectObject(hdc, hOldFont);
    return TRUE;
}

BOOL CMenuSpawn::FindKeyboardShortcut(UINT nChar, UINT, CMenu* pMenu, LRESULT& lResult)
{
    if (pMenu == nullptr)
        return FALSE;
    char chTyped = (char)(DWORD_PTR)::CharLowerA((LPSTR)(DWORD_PTR)(BYTE)nChar);
    HMENU hMenu = pMenu->m_hMenu;
    for (int i = ::GetMenuItemCount(hMenu) - 1; i >= 0; i--) {
        MENUITEMINFOA mii = {};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_FTYPE | MIIM_DATA;
        if (!::GetMenuItemInfoA(hMenu, (UINT)i, TRUE, &mii) || (mii.fType & MFT_SEPARATOR))
            continue;
        if (!(mii.fType & MFT_OWNERDRAW) || !IsOwnRecord(mii.dwItemData))
            continue;
        Record* pRecord = (Record*)mii.dwItemData;
        if (pRecord->nID == SeparatorMarker)
            continue;
        const char* pAmp = strchr(pRecord->szText, '&');
        if (pAmp == nullptr || pAmp[1] == '\0')
            continue;
        char chItem = (char)(DWORD_PTR)::CharLowerA((LPSTR)(DWORD_PTR)(BYTE)pAmp[1]);
        if (chItem == chTyped) {
            lResult = MAKELRESULT(i, MNC_EXECUTE);
            return TRUE;
        }
    }
    return FALSE;
}

BOOL CMenuSpawn::IsSpawnMenu(CMenu* pMenu, int nItem, BOOL bByPosition)
{
    if (pMenu == nullptr || (!bByPosition && nItem == 0))
        return FALSE;
    MENUITEMINFOA mii = {};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_FTYPE | MIIM_DATA;
    if (!::GetMenuItemInfoA(pMenu->m_hMenu, (UINT)nItem, bByPosition, &mii))
        return FALSE;
    return (mii.fType & MFT_OWNERDRAW) && mii.dwItemData != 0;
}
