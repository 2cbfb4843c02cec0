#include "CustomToolBar.h"

WORD child_id_to_child_bits(int nKind)
{
    switch (nKind) {
    case 0: return QU_KIND_WKS;
    case 1: return QU_KIND_GRAPH;
    case 2: return QU_KIND_MATRIX;
    case 3: return QU_KIND_EXCEL;
    case 4: return QU_KIND_LAYOUT;
    case 5: return QU_KIND_NOTES;
    case -1: return QU_KIND_NONE;
    default: return 0;
    }
}

WORD QUToolBarKindMask(UINT nToolBarID)
{
    static const struct { UINT nID; WORD wMask; } kMasks[] = {
        {59392, 0xFD7E}, // Edit
        {59397, 0x0004}, // Graph
        {59399, 0x0020}, // Layout
        {59400, 0xFDFE}, // Standard
        {59401, 0xFD6E}, // Tools
        {59402, 0x0008}, // Worksheet Data
        {59403, 0x0008}, // Column
        {59404, 0x018C}, // 2D Graphs
        {59405, 0xFD6E}, // Arrow
        {59406, 0xFD6E}, // Object Edit
        {59407, 0x0201}, // no default toolbar
        {59398, 0x018C}, // 2D Graphs Extended
        {59408, 0x000C}, // Mask
        {59409, 0x0004}, // 3D Rotation
        {59410, 0x004C}, // 3D Graphs
    };
    for (const auto& m : kMasks)
        if (m.nID == nToolBarID)
            return m.wMask;
    return 0xFFFF;
}

IMPLEMENT_DYNCREATE(CQUCustomToolBar, SECCustomToolBar)

CQUCustomToolBar::CQUCustomToolBar() : m_bShowChoice(TRUE), m_bKindSwitch(FALSE), m_wKindMask(0xFFFF) {}

BOOL CQUCustomToolBar::CreateEx(CWnd* pParentWnd, LPCTSTR lpszTitle, DWORD dwStyle, DWORD dwExStyle, UINT nID)
{
    if (!SECCustomToolBar::CreateEx(pParentWnd, lpszTitle, dwStyle, dwExStyle, nID))
        return FALSE;
    m_wKindMask = QUToolBarKindMask(nID);
    return TRUE;
}

void CQUCustomToolBar::SetBarInfo(SECControlBarInfo* pInfo, CFrameWnd* pFrame)
{
    SECCustomToolBar::SetBarInfo(pInfo, pFrame);
    // The main frame keeps the show choice in the record's extra word.
    m_bShowChoice = pInfo->m_dwExtra != 0;
}

int CQUCustomToolBar::BelongsToWindowKind(WORD wBits, BOOL bForShow)
{
    if (!bForShow)
        return (wBits & m_wKindMask) != 0;
    return (wBits & m_wKindMask) != 0 && m_bShowChoice ? 1 : 0;
}

void CQUCustomToolBar::ShowForWindowKind(WORD wBits, CFrameWnd* pFrame)
{
    BOOL bWanted = BelongsToWindowKind(wBits, TRUE) != 0;
    if (bWanted == IsVisible())
        return;
    m_bKindSwitch = TRUE;
    pFrame->ShowControlBar(this, bWanted, TRUE);
}

void CQUCustomToolBar::InsertButtonAt(int nPos, UINT nID, BOOL bSeparator)
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

LRESULT CQUCustomToolBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SHOWWINDOW && lParam == 0) {
        LRESULT lResult = SECCustomToolBar::WindowProc(message, wParam, lParam);
        // Showing and hiding reach the manager, which keeps the user's show choice.
        OnBarHidden(!wParam);
        return lResult;
    }
    return SECCustomToolBar::WindowProc(message, wParam, lParam);
}
