#include "ModuleBar.h"

#include <QKAccess.h>

#include <algorithm>
#include <cmath>

IMPLEMENT_DYNAMIC(CQUIMToolbar, QCResizableControlBar)

CQUIMToolbar::CQUIMToolbar()
    : m_sizeDocked(200, 200), m_sizeFloating(200, 200), m_nVertPos(0), m_nHorzPos(0), m_nVertOffset(0),
      m_nHorzOffset(0), m_bShown(TRUE), m_nSuppressOnce(0), m_hChild(nullptr), m_nInternalID(-1)
{
}

BOOL CQUIMToolbar::Create(CFrameWnd* pFrame, UINT nID, LPCTSTR lpszTitle, BOOL bVisible)
{
    DWORD dwStyle = WS_CHILD | (bVisible ? WS_VISIBLE : 0) | CBRS_BORDER_ANY | CBRS_BORDER_3D | CBRS_SIZE_FIXED |
                    CBRS_FLOATING;
    if (!SECControlBar::Create(pFrame, lpszTitle, dwStyle, 0, nID))
        return FALSE;
    m_nBarID = nID;
    m_bAutoDelete = TRUE;
    EnableDocking(0);
    m_pFrame = pFrame;
    return TRUE;
}

void CQUIMToolbar::PostNcDestroy()
{
    // Made with new by the toolbar manager; the bar deletes itself.
    QCResizableControlBar::PostNcDestroy();
}

BOOL CQUIMToolbar::SetSizes(CSize size)
{
    m_sizeDocked = size;
    m_sizeFloating = size;
    return TRUE;
}

void CQUIMToolbar::ApplySize(CSize size)
{
    m_szDockHorz = size;
    m_szDockVert = size;
    m_szFloat = size;
}

void CQUIMToolbar::Undock(BOOL bDelayed)
{
    CFrameWnd* pFrame = GetDockingFrame();
    if (m_pDockBar != nullptr)
        m_pDockBar->RemoveControlBar(this);
    if (pFrame == nullptr)
        return;
    if (bDelayed)
        pFrame->DelayRecalcLayout();
    else
        pFrame->RecalcLayout();
}

BOOL CQUIMToolbar::SyncFloatingTitle()
{
    if (!IsFloating())
        return TRUE;
    CFrameWnd* pFloat = GetDockingFrame();
    char szTitle[261] = "";
    ::GetWindowTextA(m_hWnd, szTitle, sizeof szTitle);
    m_pDockBar->SetWindowText(szTitle);
    if (pFloat != nullptr) {
        pFloat->SetWindowText(szTitle);
        pFloat->DelayRecalcLayout();
    }
    return TRUE;
}

int CQUIMToolbar::ScrollSteps(int nPixels, int nContent, int nClient)
{
    int nHidden = nContent - nClient;
    if (nHidden < 1)
        return 0;
    double dShare = (double)nPixels / nHidden;
    if (dShare >= 1)
        return ScrollRange;
    double dSteps = dShare * ScrollRange;
    return (int)(dSteps < 0 ? -std::floor(-dSteps + 0.5) : std::floor(dSteps + 0.5));
}

int CQUIMToolbar::ScrollChange(UINT nCode, int nPos, int nOffset, int nContent, int nClient, int nThumb)
{
    int nChange = 0;
    switch (nCode) {
    case SB_LINEUP: nChange = -ScrollSteps(5, nContent, nClient); break;
    case SB_LINEDOWN: nChange = ScrollSteps(5, nContent, nClient); break;
    case SB_PAGEUP: nChange = -ScrollSteps(std::min(nClient, nOffset), nContent, nClient); break;
    case SB_PAGEDOWN: {
        // Near the end a page goes only as far as the content's end.
        int nRest = nContent - nOffset - nClient;
        nChange = ScrollSteps(nClient >= nRest ? nRest : nClient, nContent, nClient);
        break;
    }
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: nChange = nThumb - nPos; break;
    case SB_TOP: nChange = -nPos; break;
    case SB_BOTTOM: nChange = ScrollRange - nPos; break;
    default: nChange = 0; break;
    }
    return std::max(-nPos, std::min(nChange, ScrollRange - nPos));
}

void CQUIMToolbar::OnScroll(BOOL bVert, UINT nCode, int nThumb)
{
    CRect rect;
    GetClientRect(&rect);
    int nContent = bVert ? m_sizeFloating.cy : m_sizeFloating.cx;
    int nClient = bVert ? rect.Height() : rect.Width();
    int& nPos = bVert ? m_nVertPos : m_nHorzPos;
    int& nOffset = bVert ? m_nVertOffset : m_nHorzOffset;
    int nChange = ScrollChange(nCode, nPos, nOffset, nContent, nClient, nThumb);
    if (nChange == 0)
        return;
    nPos += nChange;
    SetScrollPos(bVert ? SB_VERT : SB_HORZ, nPos, TRUE);
    int nNewOffset = std::max(0, (int)((nContent - nClient) * nPos * 0.05));
    int nDelta = nOffset - nNewOffset;
    nOffset = nNewOffset;
    ScrollWindow(bVert ? 0 : nDelta, bVert ? nDelta : 0);
}

void CQUIMToolbar::GetBarInfoEx(SECControlBarInfo* pInfo)
{
    QCResizableControlBar::GetBarInfoEx(pInfo);
    CQUIMToolbarInfoEx* pEx = dynamic_cast<CQUIMToolbarInfoEx*>(pInfo->m_pBarInfoEx);
    if (pEx != nullptr) {
        pEx->m_nVertPos = m_nVertPos;
        pEx->m_nHorzPos = m_nHorzPos;
        pEx->m_nInternalID = m_nInternalID;
    }
}

void CQUIMToolbar::SetBarInfo(SECControlBarInfo* pInfo, CFrameWnd* pFrame)
{
    // The kernel shows its module bars itself: a restore never does.
    pInfo->m_bVisible = FALSE;
    QCResizableControlBar::SetBarInfo(pInfo, pFrame);
    CQUIMToolbarInfoEx* pEx = dynamic_cast<CQUIMToolbarInfoEx*>(pInfo->m_pBarInfoEx);
    if (pEx != nullptr) {
        m_nVertPos = pEx->m_nVertPos;
        m_nHorzPos = pEx->m_nHorzPos;
        m_nInternalID = pEx->m_nInternalID;
    }
}

LRESULT CQUIMToolbar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The module sees every message first; the end of the window always reaches the
    // framework, which would otherwise keep a bar whose window is gone.
    if (!qkUIMWindowProc(m_hWnd, message, wParam, lParam) && message != WM_NCDESTROY)
        return 0;
    switch (message) {
    case WM_VSCROLL:
    case WM_HSCROLL:
        OnScroll(message == WM_VSCROLL, LOWORD(wParam), (short)HIWORD(wParam));
        break;
    case WM_SHOWWINDOW:
        if (m_nSuppressOnce)
            m_nSuppressOnce = 0;
        else
            m_bShown = wParam != 0;
        break;
    case WM_WINDOWPOSCHANGED:
        if (!IsFloating()) {
            Invalidate();
            if (m_pFrame != nullptr)
                m_pFrame->DelayRecalcLayout();
        }
        break;
    }
    return QCResizableControlBar::WindowProc(message, wParam, lParam);
}

void CQUIMToolbarInfoEx::SaveState(LPCTSTR lpszSection)
{
    CWinApp* pApp = AfxGetApp();
    pApp->WriteProfileInt(lpszSection, "VertScrollPos", m_nVertPos);
    pApp->WriteProfileInt(lpszSection, "HorizScrollPos", m_nHorzPos);
    pApp->WriteProfileInt(lpszSection, "InternalID", m_nInternalID);
}

void CQUIMToolbarInfoEx::LoadState(LPCTSTR lpszSection)
{
    CWinApp* pApp = AfxGetApp();
    m_nVertPos = (int)pApp->GetProfileInt(lpszSection, "VertScrollPos", 0);
    m_nHorzPos = (int)pApp->GetProfileInt(lpszSection, "HorizScrollPos", 0);
    m_nInternalID = (int)pApp->GetProfileInt(lpszSection, "InternalID", 0);
}
