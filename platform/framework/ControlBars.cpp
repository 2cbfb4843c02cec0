// Control bars: their place in the frame's layout, their idle-time updates, status bars,
// toolbars and dialog bars over the system's controls, and docking in rows along the
// frame's edges or in a small floating frame.
#include "afxext.h"
#include <algorithm>

namespace {

// Updates of status bar panes: enabled panes show their text, checked ones stand out.
class CStatusCmdUI : public CCmdUI
{
public:
    void Enable(BOOL bOn) override
    {
        m_bEnableChanged = TRUE;
        CStatusBar* pBar = (CStatusBar*)m_pOther;
        UINT nStyle = pBar->GetPaneStyle((int)m_nIndex) & ~SBPS_DISABLED;
        pBar->SetPaneStyle((int)m_nIndex, bOn ? nStyle : nStyle | SBPS_DISABLED);
    }
    void SetCheck(int nCheck) override
    {
        CStatusBar* pBar = (CStatusBar*)m_pOther;
        UINT nStyle = pBar->GetPaneStyle((int)m_nIndex) & ~SBPS_POPOUT;
        pBar->SetPaneStyle((int)m_nIndex, nCheck ? nStyle | SBPS_POPOUT : nStyle);
    }
    void SetRadio(BOOL bOn) override { SetCheck(bOn ? 1 : 0); }
    void SetText(LPCTSTR lpszText) override { ((CStatusBar*)m_pOther)->SetPaneText((int)m_nIndex, lpszText); }
};

class CToolCmdUI : public CCmdUI
{
public:
    void Enable(BOOL bOn) override
    {
        m_bEnableChanged = TRUE;
        ::SendMessageA(m_pOther->m_hWnd, TB_ENABLEBUTTON, m_nID, MAKELONG(bOn ? TRUE : FALSE, 0));
    }
    void SetCheck(int nCheck) override
    {
        ::SendMessageA(m_pOther->m_hWnd, TB_CHECKBUTTON, m_nID, MAKELONG(nCheck == 1, 0));
        ::SendMessageA(m_pOther->m_hWnd, TB_INDETERMINATE, m_nID, MAKELONG(nCheck == 2, 0));
    }
    void SetRadio(BOOL bOn) override { SetCheck(bOn ? 1 : 0); }
    void SetText(LPCTSTR) override {}   // buttons show images only
};

INT_PTR CALLBACK DialogBarProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

#pragma pack(push, 1)
struct ToolBarResource
{
    WORD wVersion;
    WORD wWidth;
    WORD wHeight;
    WORD wItemCount;
    // WORD items[wItemCount] follow
};
#pragma pack(pop)
static_assert(sizeof(ToolBarResource) == 8, "a toolbar resource header is four words");

// A bar that stretches takes its whole edge; 32767 stands for "as long as there is room".
CSize Stretched(CSize size, BOOL bStretch, BOOL bHorz)
{
    if (bStretch) {
        if (bHorz)
            size.cx = 32767;
        else
            size.cy = 32767;
    }
    return size;
}

}

/////////////////////////////////////////////////////////////////////////////
// CControlBar

IMPLEMENT_DYNAMIC(CControlBar, CWnd)

BEGIN_MESSAGE_MAP(CControlBar, CWnd)
    ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
END_MESSAGE_MAP()

CControlBar::CControlBar()
    : m_dwStyle(0), m_dwDockStyle(0), m_pDockSite(nullptr), m_pDockBar(nullptr), m_bAutoDelete(FALSE),
      m_cxLeftBorder(0), m_cxRightBorder(0), m_cyTopBorder(2), m_cyBottomBorder(2), m_bDockBar(FALSE)
{
}

CControlBar::~CControlBar() { LeaveSite(); }

void CControlBar::LeaveSite()
{
    if (m_pDockBar != nullptr)
        m_pDockBar->RemoveControlBar(this);
    if (m_pDockSite != nullptr) {
        POSITION pos = m_pDockSite->m_listControlBars.Find(this);
        if (pos != nullptr)
            m_pDockSite->m_listControlBars.RemoveAt(pos);
        m_pDockSite = nullptr;
    }
}

BOOL CControlBar::CreateBar(LPCTSTR lpszClass, DWORD dwCtrlStyle, DWORD dwStyle, CWnd* pParentWnd, UINT nID)
{
    m_dwStyle = dwStyle & CBRS_ALL;
    m_pDockSite = pParentWnd->IsKindOf(RUNTIME_CLASS(CFrameWnd)) ? (CFrameWnd*)pParentWnd : pParentWnd->GetParentFrame();
    // The bar styles share bits with window styles: the window gets none of them.
    DWORD dwWindowStyle = (dwStyle & ~CBRS_ALL) | dwCtrlStyle | WS_CHILD;
    if (!CreateEx(0, lpszClass, nullptr, dwWindowStyle, CRect(0, 0, 0, 0), pParentWnd, nID)) {
        m_pDockSite = nullptr;
        return FALSE;
    }
    SetOwner(m_pDockSite);
    if (m_pDockSite != nullptr)
        m_pDockSite->m_listControlBars.AddTail(this);
    return TRUE;
}

BOOL CControlBar::DestroyWindow()
{
    if (m_pDockBar != nullptr)
        m_pDockBar->RemoveControlBar(this);
    return CWnd::DestroyWindow();
}

void CControlBar::PostNcDestroy()
{
    LeaveSite();
    if (m_bAutoDelete)
        delete this;
}

LRESULT CControlBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM: {
        // What the bar's controls send goes to the frame unless the bar takes it itself.
        LRESULT lResult = 0;
        if (OnWndMsg(message, wParam, lParam, &lResult))
            return lResult;
        CWnd* pOwner = GetOwner();
        if (pOwner != nullptr && pOwner->m_hWnd != nullptr && pOwner->m_hWnd != m_hWnd)
            return pOwner->SendMessage(message, wParam, lParam);
        break;
    }
    default:
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

int CControlBar::GetCount() const { return 0; }

void CControlBar::SetBarStyle(DWORD dwStyle)
{
    if (m_dwStyle != dwStyle) {
        m_dwStyle = dwStyle & CBRS_ALL;
        Invalidate();
    }
}

void CControlBar::EnableDocking(DWORD dwDockStyle) { m_dwDockStyle = dwDockStyle & CBRS_ALIGN_ANY; }

BOOL CControlBar::IsFloating() const { return m_pDockBar != nullptr && m_pDockBar->m_bFloating; }

CFrameWnd* CControlBar::GetDockingFrame() const
{
    if (IsFloating())
        return m_pDockBar->GetParentFrame();
    return m_pDockSite;
}

CSize CControlBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    CRect rect;
    GetWindowRect(&rect);
    CSize size = rect.Size();
    return Stretched(size, bStretch, bHorz);
}

CSize CControlBar::CalcDynamicLayout(int, DWORD nMode)
{
    return CalcFixedLayout((nMode & LM_STRETCH) != 0, (nMode & LM_HORZ) != 0);
}

void CControlBar::DelayShow(BOOL bShow)
{
    ShowWindow(bShow ? SW_SHOWNA : SW_HIDE);
    if (m_pDockSite != nullptr)
        m_pDockSite->DelayRecalcLayout();
}

LRESULT CControlBar::OnSizeParent(WPARAM, LPARAM lParam)
{
    AFX_SIZEPARENTPARAMS* lpLayout = (AFX_SIZEPARENTPARAMS*)lParam;
    DWORD dwAlign = m_dwStyle & CBRS_ALIGN_ANY;
    if (!(GetStyle() & WS_VISIBLE) || dwAlign == 0)
        return 0;
    BOOL bHorz = (dwAlign & CBRS_ORIENT_HORZ) != 0;
    DWORD dwMode = (lpLayout->bStretch ? LM_STRETCH : 0) | (bHorz ? LM_HORZ | LM_HORZDOCK : LM_VERTDOCK);
    CSize size = CalcDynamicLayout(-1, dwMode);
    CRect rect = lpLayout->rect;
    size.cx = std::min((int)size.cx, rect.Width());
    size.cy = std::min((int)size.cy, rect.Height());
    if (dwAlign & CBRS_ALIGN_TOP) {
        rect.bottom = rect.top + size.cy;
        lpLayout->rect.top += size.cy;
    } else if (dwAlign & CBRS_ALIGN_BOTTOM) {
        rect.top = rect.bottom - size.cy;
        lpLayout->rect.bottom -= size.cy;
    } else if (dwAlign & CBRS_ALIGN_LEFT) {
        rect.right = rect.left + size.cx;
        lpLayout->rect.left += size.cx;
    } else {
        rect.left = rect.right - size.cx;
        lpLayout->rect.right -= size.cx;
    }
    if (bHorz) {
        lpLayout->sizeTotal.cy += size.cy;
        lpLayout->sizeTotal.cx = std::max(lpLayout->sizeTotal.cx, size.cx);
    } else {
        lpLayout->sizeTotal.cx += size.cx;
        lpLayout->sizeTotal.cy = std::max(lpLayout->sizeTotal.cy, size.cy);
    }
    if (lpLayout->hDWP != nullptr)
        AfxRepositionWindow(lpLayout, m_hWnd, &rect);
    return 0;
}

LRESULT CControlBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM)
{
    if (!(GetStyle() & WS_VISIBLE))
        return 0;
    CWnd* pOwner = GetOwner();
    CFrameWnd* pTarget = pOwner != nullptr && pOwner->IsKindOf(RUNTIME_CLASS(CFrameWnd)) ? (CFrameWnd*)pOwner
                                                                                         : GetParentFrame();
    if (pTarget != nullptr)
        OnUpdateCmdUI(pTarget, (BOOL)wParam);
    return 0;
}

/////////////////////////////////////////////////////////////////////////////
// CStatusBar

IMPLEMENT_DYNAMIC(CStatusBar, CControlBar)

CStatusBar::CStatusBar() {}
CStatusBar::~CStatusBar() {}

BOOL CStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    // The bar places itself through the frame's layout, not the control's own.
    return CreateBar(STATUSCLASSNAMEA, CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER, dwStyle, pParentWnd, nID);
}

BOOL CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount)
{
    m_panes.RemoveAll();
    BOOL bResult = TRUE;
    HDC hDC = ::GetDC(m_hWnd);
    HFONT hFont = (HFONT)::SendMessageA(m_hWnd, WM_GETFONT, 0, 0);
    HGDIOBJ hOldFont = ::SelectObject(hDC, hFont ? (HGDIOBJ)hFont : ::GetStockObject(DEFAULT_GUI_FONT));
    for (int i = 0; i < nIDCount; i++) {
        Pane pane;
        pane.nID = lpIDArray != nullptr ? lpIDArray[i] : ID_SEPARATOR;
        pane.nStyle = SBPS_NORMAL;
        pane.cxText = 0;
        if (pane.nID == ID_SEPARATOR) {
            pane.nStyle = SBPS_STRETCH | SBPS_NOBORDERS;
        } else {
            CString strFull;
            if (strFull.LoadString(pane.nID)) {
                AfxExtractSubString(pane.strText, strFull, 0);
                SIZE size = {0, 0};
                ::GetTextExtentPoint32A(hDC, pane.strText, pane.strText.GetLength(), &size);
                pane.cxText = size.cx;
            } else {
                bResult = FALSE;   // an indicator needs its string
            }
        }
        m_panes.Add(pane);
    }
    ::SelectObject(hDC, hOldFont);
    ::ReleaseDC(m_hWnd, hDC);
    UpdateParts();
    return bResult;
}

void CStatusBar::UpdateParts()
{
    int nCount = (int)m_panes.GetSize();
    if (nCount == 0 || m_hWnd == nullptr)
        return;
    CRect rectClient;
    GetClientRect(&rectClient);
    const int cxPadding = 8;
    int cxFixed = 0, nStretch = 0;
    for (int i = 0; i < nCount; i++) {
        if (m_panes[i].nStyle & SBPS_STRETCH)
            nStretch++;
        else
            cxFixed += m_panes[i].cxText + cxPadding;
    }
    int cxStretch = nStretch > 0 ? std::max(0, (int)(rectClient.Width() - cxFixed)) / nStretch : 0;
    CArray<int, int> edges;
    int x = 0;
    for (int i = 0; i < nCount; i++) {
        x += (m_panes[i].nStyle & SBPS_STRETCH) ? cxStretch : m_panes[i].cxText + cxPadding;
        edges.Add(i == nCount - 1 && nStretch > 0 ? -1 : x);
    }
    ::SendMessageA(m_hWnd, SB_SETPARTS, (WPARAM)nCount, (LPARAM)edges.GetData());
    for (int i = 0; i < nCount; i++) {
        const Pane& pane = m_panes[i];
        LPCTSTR lpszShown = (pane.nStyle & SBPS_DISABLED) ? "" : (LPCTSTR)pane.strText;
        ::SendMessageA(m_hWnd, SB_SETTEXTA, (WPARAM)(i | (pane.nStyle & 0xFF00)), (LPARAM)lpszShown);
    }
}

int CStatusBar::CommandToIndex(UINT nIDFind) const
{
    for (int i = 0; i < (int)m_panes.GetSize(); i++)
        if (m_panes[i].nID == nIDFind)
            return i;
    return -1;
}

UINT CStatusBar::GetItemID(int nIndex) const
{
    return nIndex >= 0 && nIndex < (int)m_panes.GetSize() ? m_panes[nIndex].nID : 0;
}

void CStatusBar::GetItemRect(int nIndex, LPRECT lpRect) const
{
    ::SendMessageA(m_hWnd, SB_GETRECT, (WPARAM)nIndex, (LPARAM)lpRect);
}

CString CStatusBar::GetPaneText(int nIndex) const
{
    return nIndex >= 0 && nIndex < (int)m_panes.GetSize() ? m_panes[nIndex].strText : CString();
}

BOOL CStatusBar::SetPaneText(int nIndex, LPCTSTR lpszNewText, BOOL)
{
    if (nIndex < 0 || nIndex >= (int)m_panes.GetSize())
        return FALSE;
    Pane& pane = m_panes[nIndex];
    pane.strText = lpszNewText != nullptr ? lpszNewText : "";
    // The control repaints the pane itself.
    LPCTSTR lpszShown = (pane.nStyle & SBPS_DISABLED) ? "" : (LPCTSTR)pane.strText;
    ::SendMessageA(m_hWnd, SB_SETTEXTA, (WPARAM)(nIndex | (pane.nStyle & 0xFF00)), (LPARAM)lpszShown);
    return TRUE;
}

void CStatusBar::GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const
{
    const Pane& pane = m_panes[nIndex];
    nID = pane.nID;
    nStyle = pane.nStyle;
    cxWidth = pane.cxText;
}

void CStatusBar::SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth)
{
    if (nIndex < 0 || nIndex >= (int)m_panes.GetSize())
        return;
    Pane& pane = m_panes[nIndex];
    pane.nID = nID;
    pane.nStyle = nStyle;
    pane.cxText = cxWidth;
    UpdateParts();
}

UINT CStatusBar::GetPaneStyle(int nIndex) const
{
    return nIndex >= 0 && nIndex < (int)m_panes.GetSize() ? m_panes[nIndex].nStyle : 0;
}

void CStatusBar::SetPaneStyle(int nIndex, UINT nStyle)
{
    if (nIndex < 0 || nIndex >= (int)m_panes.GetSize() || m_panes[nIndex].nStyle == nStyle)
        return;
    m_panes[nIndex].nStyle = nStyle;
    UpdateParts();
}

CSize CStatusBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    // As tall as a line of the bar's font with the control's borders.
    HDC hDC = ::GetDC(m_hWnd);
    HFONT hFont = (HFONT)::SendMessageA(m_hWnd, WM_GETFONT, 0, 0);
    HGDIOBJ hOldFont = ::SelectObject(hDC, hFont ? (HGDIOBJ)hFont : ::GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICA tm;
    ::GetTextMetricsA(hDC, &tm);
    ::SelectObject(hDC, hOldFont);
    ::ReleaseDC(m_hWnd, hDC);
    int borders[3] = {0, 0, 0};
    ::SendMessageA(m_hWnd, SB_GETBORDERS, 0, (LPARAM)borders);
    CSize size(0, tm.tmHeight + 2 * borders[1] + 4);
    for (int i = 0; i < (int)m_panes.GetSize(); i++)
        size.cx += m_panes[i].cxText + 8;
    if (bStretch && bHorz)
        size.cx = 32767;
    return size;
}

void CStatusBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL)
{
    CStatusCmdUI state;
    state.m_pOther = this;
    state.m_nIndexMax = (UINT)m_panes.GetSize();
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; state.m_nIndex++) {
        state.m_nID = m_panes[(int)state.m_nIndex].nID;
        if (state.m_nID != ID_SEPARATOR)
            state.DoUpdate(pTarget, FALSE);
    }
}

LRESULT CStatusBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETTEXT && m_panes.GetSize() > 0) {
        // The frame's message texts go to the first pane.
        SetPaneText(0, (LPCTSTR)lParam);
        return TRUE;
    }
    LRESULT lResult = CControlBar::WindowProc(message, wParam, lParam);
    if (message == WM_SIZE)
        UpdateParts();
    return lResult;
}

/////////////////////////////////////////////////////////////////////////////
// CToolBar

IMPLEMENT_DYNAMIC(CToolBar, CControlBar)

CToolBar::CToolBar() : m_sizeButton(23, 22), m_sizeImage(16, 15), m_hbmImageWell(nullptr) {}

CToolBar::~CToolBar()
{
    if (m_hbmImageWell != nullptr)
        ::DeleteObject(m_hbmImageWell);
}

void CToolBar::PostNcDestroy()
{
    // The control no longer uses the images; they go with the window.
    if (m_hbmImageWell != nullptr) {
        ::DeleteObject(m_hbmImageWell);
        m_hbmImageWell = nullptr;
    }
    CControlBar::PostNcDestroy();
}

BOOL CToolBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    return CreateEx(pParentWnd, TBSTYLE_FLAT, dwStyle, CRect(0, 0, 0, 0), nID);
}

BOOL CToolBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, CRect rcBorders, UINT nID)
{
    m_cxLeftBorder = rcBorders.left;
    m_cxRightBorder = rcBorders.right;
    m_cyTopBorder = rcBorders.top;
    m_cyBottomBorder = rcBorders.bottom;
    DWORD dwCtrl = dwCtrlStyle | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
    if (dwStyle & CBRS_TOOLTIPS)
        dwCtrl |= TBSTYLE_TOOLTIPS;
    if (!CreateBar(TOOLBARCLASSNAMEA, dwCtrl, dwStyle, pParentWnd, nID))
        return FALSE;
    ::SendMessageA(m_hWnd, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SetSizes(m_sizeButton, m_sizeImage);
    return TRUE;
}

void CToolBar::SetSizes(SIZE sizeButton, SIZE sizeImage)
{
    m_sizeButton = sizeButton;
    m_sizeImage = sizeImage;
    if (m_hWnd == nullptr)
        return;
    ::SendMessageA(m_hWnd, TB_SETBITMAPSIZE, 0, MAKELONG(sizeImage.cx, sizeImage.cy));
    ::SendMessageA(m_hWnd, TB_SETBUTTONSIZE, 0, MAKELONG(sizeButton.cx, sizeButton.cy));
}

BOOL CToolBar::LoadBitmap(LPCTSTR lpszResourceName)
{
    HINSTANCE hInst = AfxFindResourceHandle(lpszResourceName, RT_BITMAP);
    HBITMAP hbm = (HBITMAP)::LoadImageA(hInst, lpszResourceName, IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS);
    if (hbm == nullptr)
        return FALSE;
    BITMAP bm;
    ::GetObject(hbm, sizeof bm, &bm);
    int nImages = m_sizeImage.cx > 0 ? bm.bmWidth / m_sizeImage.cx : 0;
    BOOL bResult;
    if (m_hbmImageWell == nullptr) {
        TBADDBITMAP tbab = {nullptr, (UINT_PTR)hbm};
        bResult = ::SendMessageA(m_hWnd, TB_ADDBITMAP, (WPARAM)nImages, (LPARAM)&tbab) != -1;
    } else {
        TBREPLACEBITMAP tbrb = {nullptr, (UINT_PTR)m_hbmImageWell, nullptr, (UINT_PTR)hbm, nImages};
        bResult = (BOOL)::SendMessageA(m_hWnd, TB_REPLACEBITMAP, 0, (LPARAM)&tbrb);
    }
    if (!bResult) {
        ::DeleteObject(hbm);
        return FALSE;
    }
    if (m_hbmImageWell != nullptr)
        ::DeleteObject(m_hbmImageWell);
    m_hbmImageWell = hbm;
    return TRUE;
}

BOOL CToolBar::LoadToolBar(LPCTSTR lpszResourceName)
{
    LPCTSTR lpszType = MAKEINTRESOURCE(241);   // RT_TOOLBAR
    HINSTANCE hInst = AfxFindResourceHandle(lpszResourceName, lpszType);
    HRSRC hRsrc = ::FindResourceA(hInst, lpszResourceName, lpszType);
    if (hRsrc == nullptr)
        return FALSE;
    DWORD cbData = ::SizeofResource(hInst, hRsrc);
    const ToolBarResource* pData = (const ToolBarResource*)::LockResource(::LoadResource(hInst, hRsrc));
    if (pData == nullptr || cbData < sizeof(ToolBarResource) || pData->wVersion != 1 ||
        cbData < sizeof(ToolBarResource) + pData->wItemCount * sizeof(WORD))
        return FALSE;
    const WORD* pItems = (const WORD*)(pData + 1);
    CArray<UINT, UINT> ids;
    for (int i = 0; i < pData->wItemCount; i++)
        ids.Add(pItems[i]);
    SetSizes(CSize(pData->wWidth + 7, pData->wHeight + 7), CSize(pData->wWidth, pData->wHeight));
    if (!SetButtons(ids.GetData(), (int)ids.GetSize()))
        return FALSE;
    return LoadBitmap(lpszResourceName);
}

BOOL CToolBar::SetButtons(const UINT* lpIDArray, int nIDCount)
{
    while (::SendMessageA(m_hWnd, TB_DELETEBUTTON, 0, 0))
        ;
    CArray<TBBUTTON, const TBBUTTON&> buttons;
    int iImage = 0;
    for (int i = 0; i < nIDCount; i++) {
        TBBUTTON button = {};
        UINT nID = lpIDArray != nullptr ? lpIDArray[i] : ID_SEPARATOR;
        if (nID == ID_SEPARATOR) {
            button.fsStyle = TBSTYLE_SEP;
            button.iBitmap = 8;   // the separator's width
        } else {
            button.iBitmap = iImage++;
            button.idCommand = (int)nID;
            button.fsState = TBSTATE_ENABLED;
            button.fsStyle = TBSTYLE_BUTTON;
        }
        buttons.Add(button);
    }
    if (nIDCount == 0)
        return TRUE;
    return (BOOL)::SendMessageA(m_hWnd, TB_ADDBUTTONSA, (WPARAM)nIDCount, (LPARAM)buttons.GetData());
}

int CToolBar::CommandToIndex(UINT nIDFind) const
{
    return (int)::SendMessageA(m_hWnd, TB_COMMANDTOINDEX, nIDFind, 0);
}

UINT CToolBar::GetItemID(int nIndex) const
{
    TBBUTTON button = {};
    if (!::SendMessageA(m_hWnd, TB_GETBUTTON, (WPARAM)nIndex, (LPARAM)&button))
        return 0;
    return (button.fsStyle & TBSTYLE_SEP) ? ID_SEPARATOR : (UINT)button.idCommand;
}

void CToolBar::GetItemRect(int nIndex, LPRECT lpRect) const
{
    ::SendMessageA(m_hWnd, TB_GETITEMRECT, (WPARAM)nIndex, (LPARAM)lpRect);
}

UINT CToolBar::GetButtonStyle(int nIndex) const
{
    TBBUTTON button = {};
    if (!::SendMessageA(m_hWnd, TB_GETBUTTON, (WPARAM)nIndex, (LPARAM)&button))
        return 0;
    return MAKELONG(button.fsStyle, button.fsState ^ TBSTATE_ENABLED);
}

void CToolBar::SetButtonStyle(int nIndex, UINT nStyle)
{
    TBBUTTONINFOA info = {};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_STYLE | TBIF_STATE | TBIF_BYINDEX;
    info.fsStyle = (BYTE)LOWORD(nStyle);
    info.fsState = (BYTE)(HIWORD(nStyle) ^ TBSTATE_ENABLED);
    ::SendMessageA(m_hWnd, TB_SETBUTTONINFOA, (WPARAM)nIndex, (LPARAM)&info);
}

void CToolBar::WrapButtons(BOOL bEachButton)
{
    int nCount = (int)::SendMessageA(m_hWnd, TB_BUTTONCOUNT, 0, 0);
    for (int i = 0; i < nCount; i++) {
        TBBUTTON button = {};
        ::SendMessageA(m_hWnd, TB_GETBUTTON, (WPARAM)i, (LPARAM)&button);
        BYTE fsState = bEachButton ? (BYTE)(button.fsState | TBSTATE_WRAP) : (BYTE)(button.fsState & ~TBSTATE_WRAP);
        if (fsState == button.fsState)
            continue;
        TBBUTTONINFOA info = {};
        info.cbSize = sizeof info;
        info.dwMask = TBIF_STATE | TBIF_BYINDEX;
        info.fsState = fsState;
        ::SendMessageA(m_hWnd, TB_SETBUTTONINFOA, (WPARAM)i, (LPARAM)&info);
    }
    ::SendMessageA(m_hWnd, TB_AUTOSIZE, 0, 0);
}

CSize CToolBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    CSize size(m_cxLeftBorder + m_cxRightBorder, m_cyTopBorder + m_cyBottomBorder);
    int nCount = (int)::SendMessageA(m_hWnd, TB_BUTTONCOUNT, 0, 0);
    CRect rectAll(0, 0, 0, 0);
    for (int i = 0; i < nCount; i++) {
        CRect rect;
        if (::SendMessageA(m_hWnd, TB_GETITEMRECT, (WPARAM)i, (LPARAM)&rect))
            rectAll.UnionRect(rectAll, rect);
    }
    if (nCount == 0)
        rectAll = CRect(0, 0, m_sizeButton.cx, m_sizeButton.cy);
    size.cx += rectAll.right;
    size.cy += rectAll.bottom;
    return Stretched(size, bStretch, bHorz);
}

CSize CToolBar::CalcDynamicLayout(int, DWORD nMode)
{
    WrapButtons((nMode & LM_VERTDOCK) != 0);
    return CalcFixedLayout((nMode & LM_STRETCH) != 0, (nMode & LM_HORZ) != 0);
}

void CToolBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
    CToolCmdUI state;
    state.m_pOther = this;
    state.m_nIndexMax = (UINT)::SendMessageA(m_hWnd, TB_BUTTONCOUNT, 0, 0);
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; state.m_nIndex++) {
        TBBUTTON button = {};
        ::SendMessageA(m_hWnd, TB_GETBUTTON, state.m_nIndex, (LPARAM)&button);
        if (button.fsStyle & TBSTYLE_SEP)
            continue;
        state.m_nID = (UINT)button.idCommand;
        state.DoUpdate(pTarget, bDisableIfNoHndler);
    }
}

/////////////////////////////////////////////////////////////////////////////
// CDialogBar

IMPLEMENT_DYNAMIC(CDialogBar, CControlBar)

CDialogBar::CDialogBar() : m_sizeDefault(0, 0) {}
CDialogBar::~CDialogBar() {}

BOOL CDialogBar::Create(CWnd* pParentWnd, LPCTSTR lpszTemplateName, UINT nStyle, UINT nID)
{
    HINSTANCE hInst = AfxFindResourceHandle(lpszTemplateName, RT_DIALOG);
    HRSRC hRsrc = ::FindResourceA(hInst, lpszTemplateName, RT_DIALOG);
    LPCDLGTEMPLATE pTemplate = hRsrc ? (LPCDLGTEMPLATE)::LockResource(::LoadResource(hInst, hRsrc)) : nullptr;
    if (pTemplate == nullptr)
        return FALSE;
    m_dwStyle = nStyle & CBRS_ALL;
    m_pDockSite = pParentWnd->IsKindOf(RUNTIME_CLASS(CFrameWnd)) ? (CFrameWnd*)pParentWnd : pParentWnd->GetParentFrame();
    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateDialogIndirectParamA(hInst, pTemplate, pParentWnd->GetSafeHwnd(), DialogBarProc, 0);
    if (!AfxUnhookWindowCreate() || hWnd == nullptr) {
        m_pDockSite = nullptr;
        return FALSE;
    }
    // The template's style decides the rest; the bar is a child with the given id.
    ::SetWindowLongPtrA(hWnd, GWLP_ID, (LONG_PTR)nID);
    ModifyStyle(WS_POPUP | WS_CAPTION, WS_CHILD);
    CRect rect;
    GetWindowRect(&rect);
    m_sizeDefault = rect.Size();
    if (nStyle & WS_VISIBLE)
        ShowWindow(SW_SHOWNA);
    SetOwner(m_pDockSite);
    if (m_pDockSite != nullptr)
        m_pDockSite->m_listControlBars.AddTail(this);
    return TRUE;
}

CSize CDialogBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    return Stretched(m_sizeDefault, bStretch, bHorz);
}

void CDialogBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
    UpdateDialogControls(pTarget, bDisableIfNoHndler);
}

/////////////////////////////////////////////////////////////////////////////
// CDockBar

IMPLEMENT_DYNAMIC(CDockBar, CControlBar)

CDockBar::CDockBar(BOOL bFloating) : m_bFloating(bFloating)
{
    m_bDockBar = TRUE;
    m_bAutoDelete = TRUE;
    m_cyTopBorder = m_cyBottomBorder = 0;
}

CDockBar::~CDockBar()
{
    // Bars still docked here no longer point at it.
    for (INT_PTR i = 0; i < m_arrBars.GetSize(); i++) {
        CControlBar* pBar = (CControlBar*)m_arrBars[i];
        if (pBar != nullptr && pBar->m_pDockBar == this)
            pBar->m_pDockBar = nullptr;
    }
}

BOOL CDockBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    LPCTSTR lpszClass = AfxRegisterWndClass(0, ::LoadCursor(nullptr, IDC_ARROW), (HBRUSH)(COLOR_BTNFACE + 1));
    return CreateBar(lpszClass, WS_CLIPCHILDREN | WS_CLIPSIBLINGS, dwStyle, pParentWnd, nID);
}

int CDockBar::GetDockedCount() const
{
    int nCount = 0;
    for (INT_PTR i = 0; i < m_arrBars.GetSize(); i++)
        if (m_arrBars[i] != nullptr)
            nCount++;
    return nCount;
}

int CDockBar::GetDockedVisibleCount() const
{
    int nCount = 0;
    for (INT_PTR i = 0; i < m_arrBars.GetSize(); i++) {
        CControlBar* pBar = (CControlBar*)m_arrBars[i];
        if (pBar != nullptr && pBar->IsVisible())
            nCount++;
    }
    return nCount;
}

void CDockBar::DockControlBar(CControlBar* pBar, LPCRECT lpRect)
{
    if (pBar->m_pDockBar != nullptr)
        pBar->m_pDockBar->RemoveControlBar(pBar);
    BOOL bHorz = (m_dwStyle & CBRS_ORIENT_HORZ) != 0 || m_bFloating;
    INT_PTR nInsert = -1;
    if (lpRect != nullptr) {
        // The row whose span holds the rectangle's leading edge, before the first bar
        // that starts after it.
        CPoint pt(lpRect->left, lpRect->top);
        for (INT_PTR i = 0; i < m_arrBars.GetSize() && nInsert < 0; i++) {
            CControlBar* pDocked = (CControlBar*)m_arrBars[i];
            if (pDocked == nullptr)
                continue;
            CRect rect;
            pDocked->GetWindowRect(&rect);
            BOOL bInRow = bHorz ? pt.y >= rect.top && pt.y < rect.bottom : pt.x >= rect.left && pt.x < rect.right;
            if (!bInRow)
                continue;
            INT_PTR j = i;
            while (j < m_arrBars.GetSize() && m_arrBars[j] != nullptr) {
                CRect rectJ;
                ((CControlBar*)m_arrBars[j])->GetWindowRect(&rectJ);
                if ((bHorz ? rectJ.left : rectJ.top) > (bHorz ? pt.x : pt.y))
                    break;
                j++;
            }
            nInsert = j;
        }
    }
    if (nInsert >= 0) {
        m_arrBars.InsertAt(nInsert, pBar);
    } else {
        m_arrBars.Add(pBar);
        m_arrBars.Add(nullptr);
    }
    ::SetParent(pBar->m_hWnd, m_hWnd);
    pBar->m_pDockBar = this;
    DWORD dwAlign = m_bFloating ? CBRS_ALIGN_TOP : (m_dwStyle & CBRS_ALIGN_ANY);
    pBar->m_dwStyle = (pBar->m_dwStyle & ~(CBRS_ALIGN_ANY | CBRS_FLOATING)) | dwAlign | (m_bFloating ? CBRS_FLOATING : 0);
}

BOOL CDockBar::RemoveControlBar(CControlBar* pBar)
{
    INT_PTR nIndex = -1;
    for (INT_PTR i = 0; i < m_arrBars.GetSize(); i++)
        if (m_arrBars[i] == pBar)
            nIndex = i;
    if (nIndex < 0)
        return FALSE;
    m_arrBars.RemoveAt(nIndex);
    // A row left empty loses its end mark.
    BOOL bRowStart = nIndex == 0 || m_arrBars[nIndex - 1] == nullptr;
    if (bRowStart && nIndex < m_arrBars.GetSize() && m_arrBars[nIndex] == nullptr)
        m_arrBars.RemoveAt(nIndex);
    pBar->m_pDockBar = nullptr;
    return TRUE;
}

CSize CDockBar::LayoutBars(BOOL bMove)
{
    BOOL bHorz = (m_dwStyle & CBRS_ORIENT_HORZ) != 0 || m_bFloating;
    DWORD dwMode = bHorz ? (LM_HORZ | LM_HORZDOCK) : LM_VERTDOCK;
    int nOffset = 0, nMaxAlong = 0;
    INT_PTR i = 0;
    while (i < m_arrBars.GetSize()) {
        int nAlong = 0, nRowSize = 0;
        for (; i < m_arrBars.GetSize() && m_arrBars[i] != nullptr; i++) {
            CControlBar* pBar = (CControlBar*)m_arrBars[i];
            if (!pBar->IsVisible())
                continue;
            CSize size = pBar->CalcDynamicLayout(-1, dwMode);
            CRect rect = bHorz ? CRect(CPoint(nAlong, nOffset), size) : CRect(CPoint(nOffset, nAlong), size);
            if (bMove)
                AfxRepositionWindow(nullptr, pBar->m_hWnd, &rect);
            nAlong += bHorz ? size.cx : size.cy;
            nRowSize = std::max(nRowSize, (int)(bHorz ? size.cy : size.cx));
        }
        i++;   // the row's end mark
        nOffset += nRowSize;
        nMaxAlong = std::max(nMaxAlong, nAlong);
    }
    return bHorz ? CSize(nMaxAlong, nOffset) : CSize(nOffset, nMaxAlong);
}

CSize CDockBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    // An empty dock bar takes no room at all.
    CSize size = LayoutBars(FALSE);
    return size == CSize(0, 0) ? size : Stretched(size, bStretch, bHorz);
}

void CDockBar::OnUpdateCmdUI(CFrameWnd*, BOOL) {}

LRESULT CDockBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = CControlBar::WindowProc(message, wParam, lParam);
    if (message == WM_SIZE)
        LayoutBars(TRUE);
    return lResult;
}

/////////////////////////////////////////////////////////////////////////////
// CMiniDockFrameWnd

IMPLEMENT_DYNCREATE(CMiniDockFrameWnd, CFrameWnd)

BEGIN_MESSAGE_MAP(CMiniDockFrameWnd, CFrameWnd)
    ON_WM_CLOSE()
END_MESSAGE_MAP()

CMiniDockFrameWnd::CMiniDockFrameWnd() : m_wndDockBar(TRUE)
{
    m_wndDockBar.m_bAutoDelete = FALSE;
}

BOOL CMiniDockFrameWnd::Create(CWnd* pParent, DWORD)
{
    LPCTSTR lpszClass = AfxRegisterWndClass(0, ::LoadCursor(nullptr, IDC_ARROW), (HBRUSH)(COLOR_BTNFACE + 1));
    if (!CreateEx(WS_EX_TOOLWINDOW, lpszClass, nullptr, WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 100, 40,
                  pParent->GetSafeHwnd(), nullptr))
        return FALSE;
    if (!m_wndDockBar.Create(this, WS_CHILD | WS_VISIBLE, AFX_IDW_DOCKBAR_FLOAT))
        return FALSE;
    // Commands of the floating bars go to the frame they belong to.
    m_wndDockBar.SetOwner(pParent);
    return TRUE;
}

void CMiniDockFrameWnd::RecalcLayout(BOOL)
{
    if (m_wndDockBar.m_hWnd == nullptr)
        return;
    CSize size = m_wndDockBar.LayoutBars(FALSE);
    CRect rectWindow(CPoint(0, 0), size);
    ::AdjustWindowRectEx(&rectWindow, GetStyle(), FALSE, GetExStyle());
    SetWindowPos(nullptr, 0, 0, rectWindow.Width(), rectWindow.Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_wndDockBar.SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    m_wndDockBar.LayoutBars(TRUE);
}

void CMiniDockFrameWnd::OnClose()
{
    // Closing a floating bar hides it; the program may show it again.
    for (INT_PTR i = 0; i < m_wndDockBar.m_arrBars.GetSize(); i++) {
        CControlBar* pBar = (CControlBar*)m_wndDockBar.m_arrBars[i];
        if (pBar != nullptr)
            pBar->ShowWindow(SW_HIDE);
    }
    ShowWindow(SW_HIDE);
    CWnd* pOwner = GetOwner();
    if (pOwner != nullptr && pOwner->IsKindOf(RUNTIME_CLASS(CFrameWnd)))
        ((CFrameWnd*)pOwner)->DelayRecalcLayout();
}
