#include "ResizableBar.h"

#include <algorithm>
#include <vector>

#include "FramesResource.h"
#include "MainFrame.h"

IMPLEMENT_DYNAMIC(CQUBaseControlBar, SECControlBar)

/////////////////////////////////////////////////////////////////////////////
// QCResizableControlBar

IMPLEMENT_DYNAMIC(QCResizableControlBar, CQUBaseControlBar)

QCResizableControlBar::QCResizableControlBar() : m_nXSize(700), m_nYSize(100), m_nBarID(0), m_pFrame(nullptr) {}

BOOL QCResizableControlBar::Init(CFrameWnd* pFrame, UINT nID, DWORD dwDockStyle)
{
    DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM | CBRS_BORDER_ANY | CBRS_BORDER_3D |
                    CBRS_SIZE_DYNAMIC;
    if (!Create(pFrame, nullptr, dwStyle, 0xF00, nID, CRect(10, 10, 10, 10)))
        return FALSE;
    m_nBarID = nID;
    CString strName;
    if (GetBarName(strName))
        SetWindowText(strName);
    SetBarStyle(CBRS_ALIGN_TOP | CBRS_BORDER_ANY | CBRS_BORDER_3D | CBRS_SIZE_DYNAMIC);
    EnableDocking(dwDockStyle | CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM);
    m_szDockHorz = CSize(m_nXSize, m_nYSize);
    m_szDockVert = CSize(m_nYSize * 2, m_nXSize / 2);
    m_szFloat = CSize(m_nXSize / 2, m_nYSize);
    pFrame->DockControlBar(this);
    m_pFrame = pFrame;
    return TRUE;
}

BOOL QCResizableControlBar::GetBarName(CString& strName)
{
    return strName.LoadString(m_nBarID);
}

void QCResizableControlBar::GetSpecBarINISectionName(CString& strSection)
{
    strSection.Format("%s%d", "SpecBar", (int)m_nBarID);
}

BOOL QCResizableControlBar::SaveToINI()
{
    CString strSection;
    GetSpecBarINISectionName(strSection);
    AfxGetApp()->WriteProfileInt(strSection, "XSize", m_nXSize);
    AfxGetApp()->WriteProfileInt(strSection, "YSize", m_nYSize);
    return TRUE;
}

BOOL QCResizableControlBar::ReadFromINI()
{
    CString strSection;
    GetSpecBarINISectionName(strSection);
    m_nXSize = (int)AfxGetApp()->GetProfileInt(strSection, "XSize", GetXDefaultSize());
    m_nYSize = (int)AfxGetApp()->GetProfileInt(strSection, "YSize", GetYDefaultSize());
    if (m_nXSize < 20 || m_nXSize > 1200)
        m_nXSize = GetXDefaultSize();
    if (m_nYSize < 10 || m_nYSize > 400)
        m_nYSize = GetYDefaultSize();
    return TRUE;
}

void QCResizableControlBar::OnBarDock()
{
    if (m_hWnd != nullptr)
        ModifyStyleEx(WS_EX_CLIENTEDGE, 0, SWP_FRAMECHANGED);
}

void QCResizableControlBar::OnBarFloat()
{
    if (m_hWnd != nullptr)
        ModifyStyleEx(0, WS_EX_CLIENTEDGE, SWP_FRAMECHANGED);
}

void QCResizableControlBar::OnUpdateCmdUI(CFrameWnd*, BOOL) {}

LRESULT QCResizableControlBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ERASEBKGND) {
        CRect rect;
        GetClientRect(&rect);
        ::FillRect((HDC)wParam, &rect, ::GetSysColorBrush(COLOR_BTNFACE));
        return TRUE;
    }
    return CQUBaseControlBar::WindowProc(message, wParam, lParam);
}

/////////////////////////////////////////////////////////////////////////////
// CQUMiniDockFrameWnd

IMPLEMENT_DYNCREATE(CQUMiniDockFrameWnd, SECMiniDockFrameWnd)

CRect CQUMiniDockFrameWnd::KeepOnDesktop(int x, int y, int cx, int cy, const CRect& rectDesktop)
{
    x = std::min(x, (int)rectDesktop.right - 40);
    if (x + cx < rectDesktop.left + 40)
        x = rectDesktop.left + 40 - cx;
    if (y + cy < rectDesktop.top + 40)
        y = rectDesktop.top + 40 - cy;
    y = std::min(y, (int)rectDesktop.bottom - 40);
    return CRect(x, y, x + cx, y + cy);
}

void CQUMiniDockFrameWnd::RecalcLayout(BOOL bNotify)
{
    if (m_bInRecalc)
        return;
    m_bInRecalc = TRUE;
    m_nIdleFlags &= ~(idleLayout | idleNotify);
    SECMiniDockFrameWnd::RecalcLayout(bNotify);
    CRect rect, rectDesktop;
    GetWindowRect(&rect);
    ::GetWindowRect(::GetDesktopWindow(), &rectDesktop);
    CRect rectKept = KeepOnDesktop(rect.left, rect.top, rect.Width(), rect.Height(), rectDesktop);
    if (rectKept != rect)
        SetWindowPos(nullptr, rectKept.left, rectKept.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The caption is the name of the bar it holds.
    for (INT_PTR i = 0; i < m_wndDockBar.m_arrBars.GetSize(); i++) {
        CControlBar* pBar = (CControlBar*)m_wndDockBar.m_arrBars[i];
        if (pBar != nullptr) {
            char szText[261] = "";
            ::GetWindowTextA(pBar->m_hWnd, szText, sizeof szText);
            SetWindowText(szText);
            break;
        }
    }
    m_bInRecalc = FALSE;
}

LRESULT CQUMiniDockFrameWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DISPLAYCHANGE) {
        LRESULT lResult = SECMiniDockFrameWnd::WindowProc(message, wParam, lParam);
        RecalcLayout();
        return lResult;
    }
    return SECMiniDockFrameWnd::WindowProc(message, wParam, lParam);
}

/////////////////////////////////////////////////////////////////////////////
// CQUSpacer

IMPLEMENT_DYNAMIC(CQUSpacer, SECControlBar)

CQUSpacer::CQUSpacer() : m_nHeight(0), m_nBaseSize(0), m_nAdded(0), m_nSubtracted(0) {}

BOOL CQUSpacer::CreateSpacer(CFrameWnd* pFrame, UINT nID, BOOL bVisible)
{
    DWORD dwStyle = WS_CHILD | WS_CLIPSIBLINGS | CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM | (bVisible ? WS_VISIBLE : 0);
    if (!Create(pFrame, nullptr, dwStyle, 0, nID))
        return FALSE;
    SetBarStyle(CBRS_ALIGN_TOP | CBRS_BORDER_LEFT | CBRS_BORDER_TOP | CBRS_BORDER_RIGHT | CBRS_BORDER_3D |
                CBRS_HIDE_INPLACE);
    return TRUE;
}

void CQUSpacer::Recompute()
{
    m_nHeight = std::max(0, m_nBaseSize + m_nAdded - m_nSubtracted);
}

void CQUSpacer::SetBaseSize(int n)
{
    m_nBaseSize = n;
    Recompute();
}

void CQUSpacer::RaiseBaseSize(int n)
{
    if (n > m_nBaseSize)
        m_nBaseSize = n;
    Recompute();
}

void CQUSpacer::SetAddedAdjustment(int n)
{
    m_nAdded = n;
    Recompute();
}

void CQUSpacer::SetSubtractedAdjustment(int n)
{
    m_nSubtracted = n;
    Recompute();
}

CSize CQUSpacer::CalcFixedLayout(BOOL, BOOL)
{
    return CSize(32767, m_nHeight);
}

CSize CQUSpacer::CalcDynamicLayout(int, DWORD)
{
    return CSize(32767, m_nHeight);
}

LRESULT CQUSpacer::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC hdc = ::BeginPaint(m_hWnd, &ps);
        CRect rect;
        GetClientRect(&rect);
        // A 2-pixel etched line along the top.
        CDC::FromHandle(hdc)->Draw3dRect(rect.left, rect.top, rect.Width(), 2, RGB(125, 125, 125), RGB(255, 255, 255));
        ::EndPaint(m_hWnd, &ps);
        return 0;
    }
    if (message == WM_RBUTTONDOWN) {
        CMenu menu;
        if (menu.LoadMenu(IDM_SPACER)) {
            CPoint pt;
            ::GetCursorPos(&pt);
            CWnd* pMain = AfxGetMainWnd();
            ::TrackPopupMenu(::GetSubMenu(menu.m_hMenu, 0), TPM_RIGHTBUTTON, pt.x, pt.y, 0,
                             pMain != nullptr ? pMain->m_hWnd : m_hWnd, nullptr);
        }
        return 0;
    }
    return SECControlBar::WindowProc(message, wParam, lParam);
}

/////////////////////////////////////////////////////////////////////////////
// Dock bars

IMPLEMENT_DYNAMIC(SECDockBarEx, SECDockBar)

SECDockBarEx::SECDockBarEx() : m_fMinPortion(0.08f), m_nSkipOnce(0), m_nReserved(0) {}

void SECDockBarEx::ProportionRow(int nFirst, CControlBar* pResized, int* pnSizable, int* pnFixed)
{
    if (m_nSkipOnce) {
        m_nSkipOnce = 0;
        return;
    }
    *pnSizable = *pnFixed = 0;
    CRect rect;
    GetClientRect(&rect);
    int nLength = IsHorzDock() ? rect.Width() : rect.Height();
    m_fMinPortion = 0.08f;
    if (nLength > 0)
        m_fMinPortion = std::min(18.0f / (float)nLength, 1.0f);
    SECControlBar* pGiven = DYNAMIC_DOWNCAST(SECControlBar, pResized);
    if (pGiven != nullptr && pGiven->IsVisible() && pGiven->m_fPortion > 0.95f)
        pGiven = nullptr;
    std::vector<SECControlBar*> bars;
    float fGiven = 0, fOthers = 0;
    for (INT_PTR i = nFirst; i < m_arrBars.GetSize() && m_arrBars[i] != nullptr; i++) {
        SECControlBar* pBar = DYNAMIC_DOWNCAST(SECControlBar, (CObject*)m_arrBars[i]);
        if (pBar == nullptr || !pBar->IsVisible())
            continue;
        bars.push_back(pBar);
        if (pBar == pGiven) {
            pBar->m_fPortion = std::min(std::max(pBar->m_fPortion, m_fMinPortion), 0.95f);
            fGiven += pBar->m_fPortion;
        } else {
            fOthers += pBar->m_fPortion;
        }
        if (pBar->m_dwExStyle & 0x0004)
            (*pnFixed)++;
        else
            (*pnSizable)++;
    }
    float fTotal = fOthers;
    if (fGiven > 0) {
        float fFactor = fOthers > 0 ? 1.0f : 1.0f / fGiven;
        pGiven->m_fPortion = std::max(pGiven->m_fPortion * fFactor, m_fMinPortion);
        fTotal += pGiven->m_fPortion;
    }
    if (fTotal > 1.0f)
        for (SECControlBar* pBar : bars)
            pBar->m_fPortion = std::max(pBar->m_fPortion / fTotal, m_fMinPortion);
}

CSize SECDockBarEx::LayoutBars(BOOL bMove)
{
    BOOL bHorz = IsHorzDock();
    CRect rectClient;
    GetClientRect(&rectClient);
    int nLength = bHorz ? rectClient.Width() : rectClient.Height();
    DWORD dwMode = bHorz ? (LM_HORZ | LM_HORZDOCK) : LM_VERTDOCK;
    int nOffset = 0, nMaxAlong = 0;
    INT_PTR i = 0;
    while (i < m_arrBars.GetSize()) {
        INT_PTR nFirst = i;
        std::vector<CControlBar*> visible;
        BOOL bProportional = FALSE, bAllFixed = TRUE;
        for (; i < m_arrBars.GetSize() && m_arrBars[i] != nullptr; i++) {
            CControlBar* pBar = (CControlBar*)m_arrBars[i];
            if (!pBar->IsVisible())
                continue;
            visible.push_back(pBar);
            SECControlBar* pSec = DYNAMIC_DOWNCAST(SECControlBar, pBar);
            if (pSec != nullptr && (pSec->GetBarStyle() & CBRS_SIZE_DYNAMIC))
                bProportional = TRUE;
            if (pSec == nullptr || !(pSec->m_dwExStyle & 0x0004))
                bAllFixed = FALSE;
        }
        i++;   // the row's end mark
        int nSplitters = bAllFixed || visible.empty() ? 0 : (int)visible.size() - 1;
        int nNet = nLength - 6 * nSplitters;
        if (bProportional && nNet > 0) {
            int nSizable = 0, nFixed = 0;
            ProportionRow((int)nFirst, nullptr, &nSizable, &nFixed);
        }
        int nAlong = 0, nRowSize = 0;
        for (size_t b = 0; b < visible.size(); b++) {
            CControlBar* pBar = visible[b];
            SECControlBar* pSec = DYNAMIC_DOWNCAST(SECControlBar, pBar);
            CSize size = pBar->CalcDynamicLayout(-1, dwMode);
            if (bProportional && nNet > 0 && pSec != nullptr) {
                int nShare = std::max(18, (int)(pSec->m_fPortion * nNet + 0.5f));
                if (bHorz)
                    size.cx = nShare;
                else
                    size.cy = nShare;
            }
            CRect rect = bHorz ? CRect(CPoint(nAlong, nOffset), size) : CRect(CPoint(nOffset, nAlong), size);
            if (bMove)
                AfxRepositionWindow(nullptr, pBar->m_hWnd, &rect);
            nAlong += (bHorz ? size.cx : size.cy) + (b + 1 < visible.size() && nSplitters > 0 ? 6 : 0);
            nRowSize = std::max(nRowSize, (int)(bHorz ? size.cy : size.cx));
        }
        nOffset += nRowSize;
        nMaxAlong = std::max(nMaxAlong, std::min(nAlong, bProportional && nLength > 0 ? nLength : nAlong));
    }
    return bHorz ? CSize(nMaxAlong, nOffset) : CSize(nOffset, nMaxAlong);
}

void SECDockBarEx::OnSplitterDrag(int nIndex, BOOL bAcrossRows, int nDelta)
{
    if (bAcrossRows || nIndex < 0 || nIndex >= m_arrBars.GetSize() || m_arrBars[nIndex] == nullptr) {
        SECDockBar::OnSplitterDrag(nIndex, bAcrossRows, nDelta);
        return;
    }
    BOOL bHorz = IsHorzDock();
    DWORD dwMode = bHorz ? (LM_HORZ | LM_HORZDOCK) : (LM_VERTDOCK | LM_LENGTHY);
    int nFirst = nIndex;
    while (nFirst > 0 && m_arrBars[nFirst - 1] != nullptr)
        nFirst--;
    std::vector<SECControlBar*> row;   // the visible sizable bars of the row, in order
    size_t nAt = 0;
    for (INT_PTR i = nFirst; i < m_arrBars.GetSize() && m_arrBars[i] != nullptr; i++) {
        SECControlBar* pBar = DYNAMIC_DOWNCAST(SECControlBar, (CObject*)m_arrBars[i]);
        if (pBar == nullptr || !pBar->IsVisible())
            continue;
        if (i == nIndex)
            nAt = row.size();
        row.push_back(pBar);
    }
    if (row.size() < 2 || nAt + 1 >= row.size() || row[nAt] != m_arrBars[nIndex])
        return;
    CRect rectClient;
    GetClientRect(&rectClient);
    int nNet = (bHorz ? rectClient.Width() : rectClient.Height()) - 6 * ((int)row.size() - 1);
    if (nNet <= 0)
        return;
    // The lengths the bars have by their portions, as the layout gives them, are where the
    // drag starts.
    int nSizable = 0, nFixed = 0;
    ProportionRow(nFirst, nullptr, &nSizable, &nFixed);
    std::vector<int> lengths;
    for (SECControlBar* pBar : row)
        lengths.push_back(std::max(18, (int)(pBar->m_fPortion * nNet + 0.5f)));
    auto setLength = [&](size_t k, int nLength) {
        lengths[k] = nLength;
        row[k]->CalcDynamicLayout(nLength, dwMode | LM_COMMIT);
    };
    int d = nDelta;
    if (d < 0) {
        // Towards the row's start: the bars before the splitter give up what they can.
        int nTaken = 0;
        for (size_t k = nAt + 1; k-- > 0 && d < 0;) {
            int nLength = std::max(18, lengths[k] + d);
            nTaken += lengths[k] - nLength;
            d += lengths[k] - nLength;
            setLength(k, nLength);
        }
        setLength(nAt + 1, lengths[nAt + 1] + nTaken);
    } else {
        int nTaken = 0;
        for (size_t k = nAt + 1; k < row.size() && d > 0; k++) {
            int nLength = std::max(18, lengths[k] - d);
            nTaken += lengths[k] - nLength;
            d -= lengths[k] - nLength;
            setLength(k, nLength);
        }
        setLength(nAt, lengths[nAt] + nTaken);
    }
    for (size_t k = 0; k < row.size(); k++)
        row[k]->m_fPortion = (float)lengths[k] / (float)nNet;
}

IMPLEMENT_DYNAMIC(CQUDockBar, SECDockBarEx)

CSize CQUDockBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    CSize size = SECDockBarEx::CalcFixedLayout(bStretch, bHorz);
    CMainFrame* pFrame = DYNAMIC_DOWNCAST(CMainFrame, m_pDockSite);
    if (pFrame != nullptr && pFrame->GetSpacer()->m_hWnd != nullptr)
        pFrame->GetSpacer()->SetSubtractedAdjustment(size.cy);
    return size;
}
