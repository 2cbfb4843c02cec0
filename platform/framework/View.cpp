// Views: a window showing a document, taking commands before it, and the scrolling view.
#include "afxwin.h"

/////////////////////////////////////////////////////////////////////////////
// CView

IMPLEMENT_DYNAMIC(CView, CWnd)

BEGIN_MESSAGE_MAP(CView, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_PAINT()
    ON_WM_MOUSEACTIVATE()
    AFX_MSG_ENTRY(WM_INITIALUPDATE, _p->OnInitialUpdate(); _c.lResult = 0; return TRUE;)
END_MESSAGE_MAP()

CView::CView() : m_pDocument(nullptr) {}

CView::~CView()
{
    if (m_pDocument != nullptr)
        m_pDocument->RemoveView(this);
}

BOOL CView::PreCreateWindow(CREATESTRUCT& cs)
{
    if (cs.lpszClass == nullptr)
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ::LoadCursor(nullptr, IDC_ARROW),
                                           (HBRUSH)(COLOR_WINDOW + 1));
    cs.style |= WS_CLIPSIBLINGS;
    return TRUE;
}

int CView::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CWnd::OnCreate(lpcs) == -1)
        return -1;
    CCreateContext* pContext = (CCreateContext*)lpcs->lpCreateParams;
    if (pContext != nullptr && pContext->m_pCurrentDoc != nullptr)
        pContext->m_pCurrentDoc->AddView(this);
    return 0;
}

void CView::OnDestroy()
{
    if (CPreviewView* pPreview = CPreviewView::FromPrintView(this))
        pPreview->ClosePreview(TRUE);
    CFrameWnd* pFrame = GetParentFrame();
    if (pFrame != nullptr && pFrame->GetActiveView() == this)
        pFrame->SetActiveView(nullptr, FALSE);
    CWnd::OnDestroy();
}

void CView::PostNcDestroy() { delete this; }

BOOL CView::IsSelected(const CObject*) const { return FALSE; }

void CView::OnPaint()
{
    CPaintDC dc(this);
    OnPrepareDC(&dc);
    OnDraw(&dc);
}

void CView::OnPrepareDC(CDC*, CPrintInfo*) {}

void CView::OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }

void CView::OnUpdate(CView*, LPARAM, CObject*) { Invalidate(TRUE); }

void CView::OnActivateView(BOOL bActivate, CView* pActivateView, CView*)
{
    // The view taking over its frame takes the focus, when its window is the active one.
    if (bActivate && pActivateView == this) {
        CWnd* pTop = GetTopLevelParent();
        if (pTop != nullptr && pTop->m_hWnd == ::GetActiveWindow())
            SetFocus();
    }
}

void CView::OnActivateFrame(UINT, CFrameWnd*) {}

int CView::OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message)
{
    int nResult = CWnd::OnMouseActivate(pDesktopWnd, nHitTest, message);
    CFrameWnd* pFrame = GetParentFrame();
    if (pFrame != nullptr && pFrame->GetActiveView() != this)
        pFrame->SetActiveView(this);
    return nResult;
}

BOOL CView::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    return m_pDocument != nullptr && m_pDocument->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

/////////////////////////////////////////////////////////////////////////////
// CScrollView

IMPLEMENT_DYNAMIC(CScrollView, CView)

BEGIN_MESSAGE_MAP(CScrollView, CView)
    ON_WM_SIZE()
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
    ON_WM_MOUSEWHEEL()
END_MESSAGE_MAP()

const SIZE CScrollView::sizeDefault = {0, 0};

CScrollView::CScrollView() : m_nMapMode(0) {}

void CScrollView::SetScrollSizes(int nMapMode, SIZE sizeTotal, const SIZE& sizePage, const SIZE& sizeLine)
{
    m_nMapMode = nMapMode;
    m_totalLog = sizeTotal;
    // Logical sizes become pixels through a screen DC in the same mapping mode.
    HDC hDC = ::GetDC(nullptr);
    int nOldMode = ::SetMapMode(hDC, nMapMode);
    auto toDevice = [hDC](SIZE size) {
        POINT pts[2] = {{0, 0}, {size.cx, size.cy}};
        ::LPtoDP(hDC, pts, 2);
        return CSize(abs(pts[1].x - pts[0].x), abs(pts[1].y - pts[0].y));
    };
    m_totalDev = toDevice(sizeTotal);
    m_pageDev = toDevice(sizePage);
    m_lineDev = toDevice(sizeLine);
    ::SetMapMode(hDC, nOldMode);
    ::ReleaseDC(nullptr, hDC);
    // Unset steps default to a tenth of the area and a tenth of a page.
    if (m_pageDev.cx == 0)
        m_pageDev.cx = m_totalDev.cx / 10;
    if (m_pageDev.cy == 0)
        m_pageDev.cy = m_totalDev.cy / 10;
    if (m_lineDev.cx == 0)
        m_lineDev.cx = m_pageDev.cx / 10;
    if (m_lineDev.cy == 0)
        m_lineDev.cy = m_pageDev.cy / 10;
    if (m_hWnd != nullptr) {
        UpdateBars();
        Invalidate(TRUE);
    }
}

void CScrollView::GetDeviceScrollSizes(int& nMapMode, SIZE& sizeTotal, SIZE& sizePage, SIZE& sizeLine) const
{
    nMapMode = m_nMapMode;
    sizeTotal = m_totalDev;
    sizePage = m_pageDev;
    sizeLine = m_lineDev;
}

CPoint CScrollView::GetDeviceScrollPosition() const
{
    return CPoint(::GetScrollPos(m_hWnd, SB_HORZ), ::GetScrollPos(m_hWnd, SB_VERT));
}

CPoint CScrollView::GetScrollPosition() const
{
    CPoint pt = GetDeviceScrollPosition();
    HDC hDC = ::GetDC(nullptr);
    int nOldMode = ::SetMapMode(hDC, m_nMapMode ? m_nMapMode : MM_TEXT);
    ::DPtoLP(hDC, &pt, 1);
    ::SetMapMode(hDC, nOldMode);
    ::ReleaseDC(nullptr, hDC);
    return pt;
}

void CScrollView::ScrollToPosition(POINT pt)
{
    HDC hDC = ::GetDC(nullptr);
    int nOldMode = ::SetMapMode(hDC, m_nMapMode ? m_nMapMode : MM_TEXT);
    ::LPtoDP(hDC, &pt, 1);
    ::SetMapMode(hDC, nOldMode);
    ::ReleaseDC(nullptr, hDC);
    CPoint ptOld = GetDeviceScrollPosition();
    SCROLLINFO si = {sizeof si, SIF_POS};
    si.nPos = pt.x;
    ::SetScrollInfo(m_hWnd, SB_HORZ, &si, TRUE);
    si.nPos = pt.y;
    ::SetScrollInfo(m_hWnd, SB_VERT, &si, TRUE);
    CPoint ptNew = GetDeviceScrollPosition();
    if (ptNew != ptOld)
        ScrollWindow(ptOld.x - ptNew.x, ptOld.y - ptNew.y);
}

void CScrollView::UpdateBars()
{
    CRect rectClient;
    GetClientRect(&rectClient);
    // A bar appears only when the area is larger than the window; the system hides it
    // when the page covers the whole range.
    SCROLLINFO si = {sizeof si, SIF_RANGE | SIF_PAGE};
    si.nMin = 0;
    si.nMax = m_totalDev.cx > 0 ? m_totalDev.cx - 1 : 0;
    si.nPage = (UINT)rectClient.Width();
    ::SetScrollInfo(m_hWnd, SB_HORZ, &si, TRUE);
    si.nMax = m_totalDev.cy > 0 ? m_totalDev.cy - 1 : 0;
    si.nPage = (UINT)rectClient.Height();
    ::SetScrollInfo(m_hWnd, SB_VERT, &si, TRUE);
}

void CScrollView::OnPrepareDC(CDC* pDC, CPrintInfo* pInfo)
{
    if (m_nMapMode != 0)
        pDC->SetMapMode(m_nMapMode);
    CPoint ptOrg(0, 0);
    if (!pDC->IsPrinting()) {
        CPoint ptScroll = GetDeviceScrollPosition();
        ptOrg = CPoint(-ptScroll.x, -ptScroll.y);
    }
    pDC->SetViewportOrg(ptOrg.x, ptOrg.y);
    CView::OnPrepareDC(pDC, pInfo);
}

BOOL CScrollView::OnScroll(int nBar, UINT nSBCode)
{
    SCROLLINFO si = {sizeof si, SIF_ALL};
    if (!::GetScrollInfo(m_hWnd, nBar, &si))
        return FALSE;
    int nLine = nBar == SB_HORZ ? m_lineDev.cx : m_lineDev.cy;
    int nPage = nBar == SB_HORZ ? m_pageDev.cx : m_pageDev.cy;
    int nMax = si.nMax - (int)(si.nPage > 0 ? si.nPage - 1 : 0);
    int nPos = si.nPos;
    switch (nSBCode) {
    case SB_TOP: nPos = 0; break;
    case SB_BOTTOM: nPos = nMax; break;
    case SB_LINEUP: nPos -= nLine; break;
    case SB_LINEDOWN: nPos += nLine; break;
    case SB_PAGEUP: nPos -= nPage; break;
    case SB_PAGEDOWN: nPos += nPage; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: nPos = si.nTrackPos; break;
    default: return FALSE;
    }
    if (nPos > nMax)
        nPos = nMax;
    if (nPos < 0)
        nPos = 0;
    if (nPos == si.nPos)
        return FALSE;
    int nDelta = si.nPos - nPos;
    ::SetScrollPos(m_hWnd, nBar, nPos, TRUE);
    if (nBar == SB_HORZ)
        ScrollWindow(nDelta, 0);
    else
        ScrollWindow(0, nDelta);
    return TRUE;
}

void CScrollView::OnSize(UINT nType, int, int)
{
    if (nType != SIZE_MINIMIZED && m_nMapMode != 0)
        UpdateBars();
}

void CScrollView::OnHScroll(UINT nSBCode, UINT, CScrollBar* pScrollBar)
{
    if (pScrollBar == nullptr || pScrollBar->m_hWnd == nullptr)
        OnScroll(SB_HORZ, nSBCode);
}

void CScrollView::OnVScroll(UINT nSBCode, UINT, CScrollBar* pScrollBar)
{
    if (pScrollBar == nullptr || pScrollBar->m_hWnd == nullptr)
        OnScroll(SB_VERT, nSBCode);
}

BOOL CScrollView::OnMouseWheel(UINT, short zDelta, CPoint)
{
    // Three lines per notch of the wheel.
    int nSteps = abs(zDelta) / WHEEL_DELTA * 3;
    BOOL bScrolled = FALSE;
    for (int i = 0; i < nSteps; i++)
        bScrolled |= OnScroll(SB_VERT, zDelta > 0 ? SB_LINEUP : SB_LINEDOWN);
    return bScrolled;
}
