// Customisable toolbars, their buttons, and the manager that keeps the images of every
// command, the default toolbars and the toolbars' settings.
#include "qxtoolkit.h"
#include "ToolkitResource.h"

#include <commctrl.h>

namespace {

// Toolbar resources: version, image width, image height, count, then the command ids.
struct ToolBarResource
{
    WORD wVersion;
    WORD wWidth;
    WORD wHeight;
    WORD wItemCount;
};
static_assert(sizeof(ToolBarResource) == 8, "toolbar resource header is four words");

const COLORREF kMaskColor = RGB(192, 192, 192);

} // namespace

/////////////////////////////////////////////////////////////////////////////
// Buttons

IMPLEMENT_DYNCREATE(SECStdBtn, CObject)

SECStdBtn::SECStdBtn() : m_nID(0), m_nStyle(0), m_nImage(-1), m_nType(0), m_pToolBar(nullptr) {}
SECStdBtn::~SECStdBtn() {}

void SECStdBtn::Init(SECCustomToolBar* pToolBar, const UINT*)
{
    m_pToolBar = pToolBar;
}

IMPLEMENT_DYNAMIC(SECWndBtn, SECStdBtn)
IMPLEMENT_DYNCREATE(SECComboBtn, SECWndBtn)

SECComboBtn::~SECComboBtn()
{
    if (::IsWindow(m_combo.m_hWnd))
        m_combo.DestroyWindow();
}

BOOL SECComboBtn::CreateWnd(CWnd* pToolBar, const CRect& rect)
{
    if (::IsWindow(m_combo.m_hWnd)) {
        m_combo.MoveWindow(rect.left, rect.top, rect.Width(), 120);
        return TRUE;
    }
    return m_combo.Create(WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL,
                          CRect(rect.left, rect.top, rect.right, rect.top + 120), pToolBar, m_nResourceID);
}

void SECComboBtn::Init(SECCustomToolBar* pToolBar, const UINT* pExtraData)
{
    SECWndBtn::Init(pToolBar, pExtraData);
    if (pExtraData != nullptr) {
        m_nResourceID = pExtraData[3];
        m_nWidth = (int)pExtraData[2];
    }
}

/////////////////////////////////////////////////////////////////////////////
// SECCustomToolBar

IMPLEMENT_DYNCREATE(SECCustomToolBar, CToolBar)

SECCustomToolBar::SECCustomToolBar()
    : m_bStretchHorz(FALSE), m_bStretchVert(FALSE), m_bStretchFloat(FALSE), m_pManager(nullptr), m_hImages(nullptr)
{
    m_sizeImage = CSize(16, 15);
    m_sizeButton = CSize(23, 22);
}

SECCustomToolBar::~SECCustomToolBar()
{
    for (INT_PTR i = 0; i < m_btns.GetSize(); i++)
        delete (SECStdBtn*)m_btns[i];
    if (m_hImages != nullptr)
        ImageList_Destroy(m_hImages);
}

namespace {
const int kGripperWidth = 8;
}

BOOL SECCustomToolBar::CreateEx(CWnd* pParentWnd, LPCTSTR lpszTitle, DWORD dwStyle, DWORD dwExStyle, UINT nID)
{
    if (m_pManager != nullptr) {
        CSize sizeImage = m_pManager->GetImageSize();
        if (sizeImage.cx > 0) {
            m_sizeImage = sizeImage;
            m_sizeButton = CSize(sizeImage.cx + 7, sizeImage.cy + 7);
        }
    }
    // The extended style's flat bits ask for the flat look of the system's toolbar.
    DWORD dwCtrl = (dwExStyle & 0x300) ? TBSTYLE_FLAT : 0;
    if (!CToolBar::CreateEx(pParentWnd, dwCtrl, dwStyle, CRect(1, 1, 1, 1), nID))
        return FALSE;
    if (lpszTitle != nullptr)
        SetWindowText(lpszTitle);
    // Bars that dock have a gripper before their first button; a customisation bar does not.
    if (!IsKindOf(RUNTIME_CLASS(SECCustomizeToolBar)))
        ::SendMessageA(m_hWnd, TB_SETINDENT, (WPARAM)kGripperWidth, 0);
    return TRUE;
}

LRESULT SECCustomToolBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    BOOL bGripper = m_pDockBar != nullptr && !IsKindOf(RUNTIME_CLASS(SECCustomizeToolBar));
    if (bGripper && message == WM_LBUTTONDOWN) {
        CPoint pt((short)LOWORD(lParam), (short)HIWORD(lParam));
        if (pt.x < kGripperWidth && BtnHitTest(pt) < 0) {
            ClientToScreen(&pt);
            SECTrackBarDrag(this, pt);
            return 0;
        }
    }
    if (bGripper && message == WM_SETCURSOR && LOWORD(lParam) == HTCLIENT) {
        CPoint pt;
        ::GetCursorPos(&pt);
        ScreenToClient(&pt);
        if (pt.x < kGripperWidth && BtnHitTest(pt) < 0) {
            ::SetCursor(::LoadCursor(nullptr, IDC_SIZEALL));
            return TRUE;
        }
    }
    LRESULT lResult = CToolBar::WindowProc(message, wParam, lParam);
    if (bGripper && message == WM_PAINT) {
        // Two raised lines down the gripper strip.
        CRect rect;
        GetClientRect(&rect);
        CClientDC dc(this);
        for (int x = 2; x <= 5; x += 3)
            dc.Draw3dRect(x, rect.top + 2, 3, rect.Height() - 4, ::GetSysColor(COLOR_BTNHIGHLIGHT),
                          ::GetSysColor(COLOR_BTNSHADOW));
    }
    return lResult;
}

SECStdBtn* SECCustomToolBar::CreateButton(UINT nID, SECCustomToolBar* pToolBar)
{
    const SECBtnMapEntry* pEntry = m_pManager != nullptr ? m_pManager->FindButtonMapEntry(nID) : nullptr;
    SECStdBtn* pBtn = nullptr;
    if (pEntry != nullptr && pEntry->m_pClass != nullptr && pEntry->m_pClass->IsDerivedFrom(RUNTIME_CLASS(SECStdBtn)))
        pBtn = (SECStdBtn*)pEntry->m_pClass->CreateObject();
    if (pBtn == nullptr)
        pBtn = new SECStdBtn;
    if (pEntry != nullptr)
        pBtn->m_nStyle = pEntry->m_nStyle;
    pBtn->m_nID = nID;
    SECToolBarManager::ImageRef ref;
    if (pBtn->m_nType != 3 && (m_pManager == nullptr || !m_pManager->LookupImage(nID, ref))) {
        delete pBtn;
        return nullptr;
    }
    pBtn->Init(pToolBar != nullptr ? pToolBar : this, pEntry != nullptr ? pEntry->m_extra : nullptr);
    return pBtn;
}

void SECCustomToolBar::AddButton(int nPos, SECStdBtn* pBtn, BOOL bSeparator)
{
    if (nPos < 0 || nPos > GetBtnCount())
        nPos = GetBtnCount();
    if (bSeparator)
        pBtn = nullptr;
    else if (pBtn == nullptr)
        return;
    m_btns.InsertAt(nPos, pBtn);
    RebuildControl();
}

void SECCustomToolBar::InsertButton(int nPos, UINT nID, BOOL bSeparator)
{
    if (nPos < 0 || nPos > GetBtnCount())
        nPos = GetBtnCount();
    if (bSeparator) {
        AddButton(nPos, nullptr, TRUE);
        return;
    }
    SECStdBtn* pBtn = CreateButton(nID, this);
    if (pBtn != nullptr)
        AddButton(nPos, pBtn, FALSE);
}

void SECCustomToolBar::RemoveButton(int nIndex)
{
    if (nIndex < 0 || nIndex >= GetBtnCount())
        return;
    delete (SECStdBtn*)m_btns[nIndex];
    m_btns.RemoveAt(nIndex);
    RebuildControl();
}

BOOL SECCustomToolBar::SetButtons(const UINT* lpIDArray, int nIDCount)
{
    for (INT_PTR i = 0; i < m_btns.GetSize(); i++)
        delete (SECStdBtn*)m_btns[i];
    m_btns.RemoveAll();
    for (int i = 0; i < nIDCount; i++) {
        if (lpIDArray[i] == 0) {
            m_btns.Add(nullptr);
            continue;
        }
        SECStdBtn* pBtn = CreateButton(lpIDArray[i], this);
        if (pBtn != nullptr)
            m_btns.Add(pBtn);
    }
    RebuildControl();
    return TRUE;
}

void SECCustomToolBar::RestoreButtons(const CDWordArray& arrButtons)
{
    CArray<UINT, UINT> ids;
    for (INT_PTR i = 0; i < arrButtons.GetSize(); i++)
        ids.Add((UINT)arrButtons[i]);
    SetButtons(ids.GetData(), (int)ids.GetSize());
}

void SECCustomToolBar::SetBarInfo(SECControlBarInfo* pInfo, CFrameWnd*)
{
    if (pInfo->m_nType == SECBarTypeToolBar)
        RestoreButtons(pInfo->m_arrButtons);
}

void SECCustomToolBar::OnBarHidden(BOOL bHidden)
{
    if (m_pManager != nullptr && !m_pManager->m_bArranging)
        m_pManager->BarNotify((UINT)GetDlgCtrlID(), bHidden ? 1 : 0);
}

int SECCustomToolBar::BtnHitTest(CPoint point) const
{
    int nCount = (int)::SendMessageA(m_hWnd, TB_BUTTONCOUNT, 0, 0);
    for (int i = 0; i < nCount; i++) {
        CRect rect;
        if (::SendMessageA(m_hWnd, TB_GETITEMRECT, (WPARAM)i, (LPARAM)&rect) && rect.PtInRect(point))
            return i;
    }
    return -1;
}

void SECCustomToolBar::GetButtonIds(CDWordArray& arrIds) const
{
    arrIds.RemoveAll();
    for (INT_PTR i = 0; i < m_btns.GetSize(); i++) {
        SECStdBtn* pBtn = (SECStdBtn*)m_btns[i];
        arrIds.Add(pBtn != nullptr ? pBtn->m_nID : 0);
    }
}

void SECCustomToolBar::RebuildControl()
{
    if (m_hWnd == nullptr)
        return;
    while (::SendMessageA(m_hWnd, TB_DELETEBUTTON, 0, 0))
        ;
    HIMAGELIST hOld = m_hImages;
    m_hImages = ImageList_Create(m_sizeImage.cx, m_sizeImage.cy, ILC_COLOR24 | ILC_MASK, GetBtnCount(), 4);
    // Each image is copied out of its bitmap, so a toolbar keeps drawing while the store
    // changes behind it.
    HDC hdcScreen = ::GetDC(nullptr);
    HDC hdcSrc = ::CreateCompatibleDC(hdcScreen);
    HDC hdcDst = ::CreateCompatibleDC(hdcScreen);
    CArray<TBBUTTON, const TBBUTTON&> buttons;
    for (int i = 0; i < GetBtnCount(); i++) {
        SECStdBtn* pBtn = GetBtn(i);
        TBBUTTON button = {};
        if (pBtn == nullptr) {
            button.fsStyle = TBSTYLE_SEP;
            button.iBitmap = 8;
        } else if (pBtn->IsKindOf(RUNTIME_CLASS(SECComboBtn))) {
            // A window stands in a separator of its width.
            button.fsStyle = TBSTYLE_SEP;
            button.idCommand = (int)pBtn->m_nID;
            button.iBitmap = ((SECComboBtn*)pBtn)->m_nWidth;
        } else {
            button.idCommand = (int)pBtn->m_nID;
            button.fsState = TBSTATE_ENABLED;
            button.fsStyle = TBSTYLE_BUTTON;
            button.iBitmap = I_IMAGENONE;
            SECToolBarManager::ImageRef ref;
            if (m_pManager != nullptr && m_pManager->LookupImage(pBtn->m_nID, ref) && ref.hbm != nullptr) {
                HBITMAP hTile = ::CreateCompatibleBitmap(hdcScreen, m_sizeImage.cx, m_sizeImage.cy);
                HGDIOBJ hOldSrc = ::SelectObject(hdcSrc, ref.hbm);
                HGDIOBJ hOldDst = ::SelectObject(hdcDst, hTile);
                ::BitBlt(hdcDst, 0, 0, m_sizeImage.cx, m_sizeImage.cy, hdcSrc, ref.nImage * m_sizeImage.cx, 0,
                         SRCCOPY);
                ::SelectObject(hdcDst, hOldDst);
                ::SelectObject(hdcSrc, hOldSrc);
                button.iBitmap = ImageList_AddMasked(m_hImages, hTile, kMaskColor);
                ::DeleteObject(hTile);
            }
            pBtn->m_nImage = button.iBitmap == I_IMAGENONE ? -1 : button.iBitmap;
        }
        buttons.Add(button);
    }
    ::DeleteDC(hdcDst);
    ::DeleteDC(hdcSrc);
    ::ReleaseDC(nullptr, hdcScreen);
    ::SendMessageA(m_hWnd, TB_SETIMAGELIST, 0, (LPARAM)m_hImages);
    if (buttons.GetSize() > 0)
        ::SendMessageA(m_hWnd, TB_ADDBUTTONSA, (WPARAM)buttons.GetSize(), (LPARAM)buttons.GetData());
    for (int i = 0; i < GetBtnCount(); i++) {
        SECComboBtn* pCombo = DYNAMIC_DOWNCAST(SECComboBtn, GetBtn(i));
        if (pCombo == nullptr)
            continue;
        CRect rect;
        ::SendMessageA(m_hWnd, TB_GETITEMRECT, (WPARAM)i, (LPARAM)&rect);
        if (pCombo->CreateWnd(this, rect))
            OnButtonWindowCreated(pCombo);
    }
    if (hOld != nullptr)
        ImageList_Destroy(hOld);
    if (m_pDockSite != nullptr)
        m_pDockSite->DelayRecalcLayout();
}

/////////////////////////////////////////////////////////////////////////////
// SECToolBarManager

IMPLEMENT_DYNAMIC(SECToolBarManager, CCmdTarget)

SECToolBarManager::SECToolBarManager(CFrameWnd* pFrame)
    : m_bArranging(FALSE), m_bToolTips(TRUE), m_bFlyBy(TRUE), m_bCoolLook(TRUE), m_pFrameWnd(pFrame),
      m_sizeImage(0, 0), m_bCustomizing(FALSE), m_nNextUserID(59424)
{
}

SECToolBarManager::~SECToolBarManager()
{
    for (INT_PTR i = 0; i < m_defaults.GetSize(); i++)
        delete (SECDefaultToolBar*)m_defaults[i];
    for (INT_PTR i = 0; i < m_bitmaps.GetSize(); i++)
        ::DeleteObject((HBITMAP)m_bitmaps[i]);
}

BOOL SECToolBarManager::LoadToolBarResource(UINT nID, HINSTANCE hInst)
{
    if (hInst == nullptr)
        hInst = AfxFindResourceHandle(MAKEINTRESOURCE(nID), MAKEINTRESOURCE(241));
    HRSRC hRsrc = ::FindResourceA(hInst, MAKEINTRESOURCE(nID), MAKEINTRESOURCE(241));
    if (hRsrc == nullptr)
        return FALSE;
    HGLOBAL hGlobal = ::LoadResource(hInst, hRsrc);
    const ToolBarResource* pData = hGlobal != nullptr ? (const ToolBarResource*)::LockResource(hGlobal) : nullptr;
    if (pData == nullptr || pData->wVersion != 1)
        return FALSE;
    HINSTANCE hInstBitmap = ::FindResourceA(hInst, MAKEINTRESOURCE(nID), RT_BITMAP) != nullptr
                                ? hInst
                                : AfxFindResourceHandle(MAKEINTRESOURCE(nID), RT_BITMAP);
    HBITMAP hbm = (HBITMAP)::LoadImageA(hInstBitmap, MAKEINTRESOURCE(nID), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS);
    if (hbm == nullptr)
        return FALSE;
    if (m_sizeImage.cx == 0)
        m_sizeImage = CSize(pData->wWidth, pData->wHeight);
    const WORD* pIds = (const WORD*)(pData + 1);
    CArray<UINT, UINT> ids;
    CArray<int, int> images;
    for (int i = 0; i < pData->wItemCount; i++) {
        if (pIds[i] == 0)
            continue;
        ids.Add(pIds[i]);
        images.Add((int)images.GetSize());
    }
    UINT nFirstID = ids.GetSize() > 0 ? ids[0] : 0;
    if (!AddButtonBitmap(hbm, ids.GetData(), images.GetData(), (int)ids.GetSize(), nFirstID))
        return FALSE;
    BitmapSource source = {hInstBitmap, nID};
    m_bitmapSources.SetAt(nFirstID, source);
    return TRUE;
}

void SECToolBarManager::OnSysColorChange()
{
    POSITION pos = m_bitmapSources.GetStartPosition();
    while (pos != nullptr) {
        UINT nFirstID;
        BitmapSource source;
        m_bitmapSources.GetNextAssoc(pos, nFirstID, source);
        HBITMAP hbm = (HBITMAP)::LoadImageA(source.hInst, MAKEINTRESOURCE(source.nResID), IMAGE_BITMAP, 0, 0,
                                            LR_LOADMAP3DCOLORS);
        if (hbm != nullptr)
            ReplaceBitmap(nFirstID, hbm);
    }
}

BOOL SECToolBarManager::AddButtonBitmap(HBITMAP hbm, const UINT* pIds, const int* pImages, int nCount, UINT nFirstID)
{
    if (hbm == nullptr)
        return FALSE;
    if (m_sizeImage.cx == 0)
        m_sizeImage = CSize(16, 15);
    m_bitmaps.Add(hbm);
    m_bitmapFirstIds.Add(nFirstID);
    for (int i = 0; i < nCount; i++)
        SetImage(pIds[i], hbm, pImages[i]);
    return TRUE;
}

BOOL SECToolBarManager::LookupImage(UINT nID, ImageRef& ref) const
{
    return m_mapImages.Lookup(nID, ref);
}

void SECToolBarManager::SetImage(UINT nID, HBITMAP hbm, int nImage)
{
    ImageRef ref = {hbm, nImage};
    m_mapImages.SetAt(nID, ref);
}

void SECToolBarManager::RemoveImage(UINT nID)
{
    m_mapImages.RemoveKey(nID);
}

HBITMAP SECToolBarManager::GetBitmapOfFirstId(UINT nFirstID) const
{
    for (INT_PTR i = 0; i < m_bitmapFirstIds.GetSize(); i++)
        if (m_bitmapFirstIds[i] == nFirstID)
            return (HBITMAP)m_bitmaps[i];
    return nullptr;
}

void SECToolBarManager::ReplaceBitmap(UINT nFirstID, HBITMAP hbm)
{
    for (INT_PTR i = 0; i < m_bitmapFirstIds.GetSize(); i++) {
        if (m_bitmapFirstIds[i] != nFirstID)
            continue;
        HBITMAP hOld = (HBITMAP)m_bitmaps[i];
        m_bitmaps[i] = hbm;
        POSITION pos = m_mapImages.GetStartPosition();
        while (pos != nullptr) {
            UINT nID;
            ImageRef ref;
            m_mapImages.GetNextAssoc(pos, nID, ref);
            if (ref.hbm == hOld) {
                ref.hbm = hbm;
                m_mapImages.SetAt(nID, ref);
            }
        }
        ::DeleteObject(hOld);
        return;
    }
}

void SECToolBarManager::RemoveBitmap(UINT nFirstID)
{
    for (INT_PTR i = 0; i < m_bitmapFirstIds.GetSize(); i++) {
        if (m_bitmapFirstIds[i] != nFirstID)
            continue;
        ::DeleteObject((HBITMAP)m_bitmaps[i]);
        m_bitmaps.RemoveAt(i);
        m_bitmapFirstIds.RemoveAt(i);
        m_bitmapSources.RemoveKey(nFirstID);
        return;
    }
}

void SECToolBarManager::RefileBitmap(UINT nOldFirstID, UINT nNewFirstID)
{
    for (INT_PTR i = 0; i < m_bitmapFirstIds.GetSize(); i++)
        if (m_bitmapFirstIds[i] == nOldFirstID) {
            m_bitmapFirstIds[i] = nNewFirstID;
            BitmapSource source;
            if (m_bitmapSources.Lookup(nOldFirstID, source)) {
                m_bitmapSources.RemoveKey(nOldFirstID);
                m_bitmapSources.SetAt(nNewFirstID, source);
            }
            return;
        }
}

void SECToolBarManager::SetButtonMap(const SECBtnMapEntry* pMap, int nCount)
{
    m_btnMap.RemoveAll();
    for (int i = 0; i < nCount; i++)
        m_btnMap.Add(pMap[i]);
}

void SECToolBarManager::SetExtraButtonMap(const SECBtnMapEntry* pMap, int nCount)
{
    m_btnMapExtra.RemoveAll();
    for (int i = 0; i < nCount; i++)
        m_btnMapExtra.Add(pMap[i]);
}

const SECBtnMapEntry* SECToolBarManager::FindButtonMapEntry(UINT nID) const
{
    for (INT_PTR i = 0; i < m_btnMap.GetSize(); i++)
        if (m_btnMap.GetData()[i].m_nID == nID)
            return &m_btnMap.GetData()[i];
    for (INT_PTR i = 0; i < m_btnMapExtra.GetSize(); i++)
        if (m_btnMapExtra.GetData()[i].m_nID == nID)
            return &m_btnMapExtra.GetData()[i];
    return nullptr;
}

void SECToolBarManager::DefineDefaultToolBar(BOOL bVisible, UINT nID, LPCTSTR lpszTitle, UINT nCount,
                                             const UINT* pButtons, CRuntimeClass* pClass, DWORD dwDockStyle,
                                             UINT nDockBarID, UINT nBesideID, int nKeep)
{
    SECDefaultToolBar* pDef = new SECDefaultToolBar;
    pDef->m_nID = nID;
    pDef->m_strTitle = lpszTitle;
    for (UINT i = 0; i < nCount; i++)
        pDef->m_arrButtons.Add(pButtons[i]);
    pDef->m_dwDockStyle = dwDockStyle;
    pDef->m_nDockBarID = nDockBarID;
    pDef->m_nBesideID = nBesideID;
    pDef->m_nKeep = nKeep;
    pDef->m_bVisible = bVisible;
    pDef->m_pClass = pClass;
    m_defaults.Add(pDef);
}

void SECToolBarManager::DefineDefaultToolBar(BOOL bVisible, UINT nID, UINT nIDTitle, UINT nCount,
                                             const UINT* pButtons, CRuntimeClass* pClass, DWORD dwDockStyle,
                                             UINT nDockBarID, UINT nBesideID, int nKeep)
{
    CString strTitle;
    strTitle.LoadString(nIDTitle);
    DefineDefaultToolBar(bVisible, nID, strTitle, nCount, pButtons, pClass, dwDockStyle, nDockBarID, nBesideID,
                         nKeep);
}

SECDefaultToolBar* SECToolBarManager::GetDefaultToolBar(UINT nID) const
{
    for (INT_PTR i = 0; i < m_defaults.GetSize(); i++)
        if (((SECDefaultToolBar*)m_defaults[i])->m_nID == nID)
            return (SECDefaultToolBar*)m_defaults[i];
    return nullptr;
}

DWORD SECToolBarManager::GetToolBarStyle() const
{
    return WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM | CBRS_SIZE_DYNAMIC | (m_bFlyBy ? CBRS_FLYBY : 0) |
           (m_bToolTips ? CBRS_TOOLTIPS : 0);
}

DWORD SECToolBarManager::GetToolBarExStyle() const
{
    return m_bCoolLook ? 0x300 : 0;
}

// The frame's menu bar with its window, made the first time it is asked for; null when the
// frame shows its menu the system's way.
SECMenuBar* SECToolBarManager::CreateMenuBar()
{
    SECMDIFrameWnd* pFrame = DYNAMIC_DOWNCAST(SECMDIFrameWnd, m_pFrameWnd);
    SECMenuBar* pMenuBar = pFrame != nullptr ? DYNAMIC_DOWNCAST(SECMenuBar, pFrame->m_pMenuBar) : nullptr;
    if (pMenuBar == nullptr || pMenuBar->m_hWnd != nullptr)
        return pMenuBar;
    CString strTitle;
    strTitle.LoadString(IDS_SEC_MENU_BAR);
    if (!pMenuBar->CreateMenuBar(pFrame, GetToolBarStyle(), SEC_IDW_MENUBAR, strTitle))
        return nullptr;
    pMenuBar->EnableDocking(CBRS_ALIGN_ANY);
    return pMenuBar;
}

void SECToolBarManager::SetDefaultDockState()
{
    m_bArranging = TRUE;
    SECMenuBar* pMenuBar = CreateMenuBar();
    if (pMenuBar != nullptr)
        pMenuBar->DockAtTop();
    for (INT_PTR i = 0; i < m_defaults.GetSize(); i++) {
        SECDefaultToolBar* pDef = (SECDefaultToolBar*)m_defaults[i];
        if (m_pFrameWnd->GetControlBar(pDef->m_nID) != nullptr)
            continue;
        CRuntimeClass* pClass = pDef->m_pClass != nullptr ? pDef->m_pClass : GetToolBarRuntimeClass(pDef->m_nID);
        SECCustomToolBar* pBar = pClass != nullptr ? (SECCustomToolBar*)pClass->CreateObject() : nullptr;
        if (pBar == nullptr) {
            m_bArranging = FALSE;
            return;
        }
        pBar->m_bAutoDelete = TRUE;
        pBar->SetManager(this);
        if (!pBar->CreateEx(m_pFrameWnd, pDef->m_strTitle, GetToolBarStyle(), GetToolBarExStyle(), pDef->m_nID)) {
            delete pBar;
            m_bArranging = FALSE;
            return;
        }
        CArray<UINT, UINT> ids;
        for (INT_PTR b = 0; b < pDef->m_arrButtons.GetSize(); b++)
            ids.Add(pDef->m_arrButtons[b]);
        pBar->SetButtons(ids.GetData(), (int)ids.GetSize());
        pBar->EnableDocking(pDef->m_dwDockStyle);
        m_pFrameWnd->DockControlBar(pBar, pDef->m_nDockBarID);
    }
    m_pFrameWnd->RecalcLayout();
    for (INT_PTR i = 0; i < m_defaults.GetSize(); i++) {
        SECDefaultToolBar* pDef = (SECDefaultToolBar*)m_defaults[i];
        CControlBar* pBar = m_pFrameWnd->GetControlBar(pDef->m_nID);
        if (pBar != nullptr && !pDef->m_bVisible)
            m_pFrameWnd->ShowControlBar(pBar, FALSE, TRUE);
    }
    m_bArranging = FALSE;
}

SECControlBar* SECToolBarManager::DynCreateControlBar(SECControlBarInfo*)
{
    return nullptr;
}

SECControlBarInfoEx* SECToolBarManager::CreateControlBarInfoEx(SECControlBarInfo*)
{
    return nullptr;
}

void SECToolBarManager::BarNotify(UINT, int) {}

CRuntimeClass* SECToolBarManager::GetToolBarRuntimeClass(UINT nID)
{
    SECDefaultToolBar* pDef = GetDefaultToolBar(nID);
    return pDef != nullptr && pDef->m_pClass != nullptr ? pDef->m_pClass : RUNTIME_CLASS(SECCustomToolBar);
}

CControlBar* SECToolBarManager::CreateSavedBar(SECControlBarInfo* pInfo)
{
    if (pInfo->m_nType == SECBarTypeMenuBar)
        return CreateMenuBar();
    if (pInfo->m_nType != SECBarTypeToolBar)
        return DynCreateControlBar(pInfo);
    CRuntimeClass* pClass = GetToolBarRuntimeClass(pInfo->m_nBarID);
    SECCustomToolBar* pBar = (SECCustomToolBar*)pClass->CreateObject();
    if (pBar == nullptr)
        return nullptr;
    pBar->m_bAutoDelete = TRUE;
    pBar->SetManager(this);
    if (!pBar->CreateEx(m_pFrameWnd, pInfo->m_strWindowName, GetToolBarStyle(), GetToolBarExStyle(), pInfo->m_nBarID)) {
        delete pBar;
        return nullptr;
    }
    pBar->EnableDocking(CBRS_ALIGN_ANY);
    if (pInfo->m_nBarID >= m_nNextUserID)
        m_nNextUserID = pInfo->m_nBarID + 1;
    return pBar;
}

SECCustomToolBar* SECToolBarManager::CreateUserToolBar(LPCTSTR lpszTitle)
{
    if (m_pFrameWnd == nullptr)
        return nullptr;
    while (m_pFrameWnd->GetControlBar(m_nNextUserID) != nullptr)
        m_nNextUserID++;
    CRuntimeClass* pClass = GetToolBarRuntimeClass(0);
    SECCustomToolBar* pBar = (SECCustomToolBar*)pClass->CreateObject();
    if (pBar == nullptr)
        return nullptr;
    pBar->m_bAutoDelete = TRUE;
    pBar->SetManager(this);
    if (!pBar->CreateEx(m_pFrameWnd, lpszTitle, GetToolBarStyle(), GetToolBarExStyle(), m_nNextUserID++)) {
        delete pBar;
        return nullptr;
    }
    pBar->EnableDocking(CBRS_ALIGN_ANY);
    return pBar;
}

void SECToolBarManager::LoadState(LPCTSTR lpszProfileName)
{
    CString strSection;
    strSection.Format("%s-Manager", lpszProfileName);
    CWinApp* pApp = AfxGetApp();
    m_bToolTips = pApp->GetProfileInt(strSection, "ToolTips", m_bToolTips);
    m_bFlyBy = pApp->GetProfileInt(strSection, "FlyBy", m_bFlyBy);
    m_bCoolLook = pApp->GetProfileInt(strSection, "CoolLook", m_bCoolLook);
}

void SECToolBarManager::SaveState(LPCTSTR lpszProfileName)
{
    CString strSection;
    strSection.Format("%s-Manager", lpszProfileName);
    CWinApp* pApp = AfxGetApp();
    pApp->WriteProfileInt(strSection, "ToolTips", m_bToolTips);
    pApp->WriteProfileInt(strSection, "FlyBy", m_bFlyBy);
    pApp->WriteProfileInt(strSection, "CoolLook", m_bCoolLook);
}
