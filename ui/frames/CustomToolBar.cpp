#include "CustomToolBar.h"

#include <QKAccess.h>
#include <QKToolBox.h>

#include <memory>

#include <cstdlib>

#include "FramesResource.h"

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

IMPLEMENT_DYNCREATE(CQUComboBtn, SECComboBtn)

BOOL CQUComboBtn::CreateWnd(CWnd* pToolBar, const CRect& rect)
{
    BOOL bNew = !::IsWindow(m_combo.m_hWnd);
    if (!SECComboBtn::CreateWnd(pToolBar, rect))
        return FALSE;
    if (!bNew)
        return TRUE;
    // The list is a string of double-quoted entries.
    CString strList;
    strList.LoadString(IDS_ROTATION_ANGLES);
    int nPos = 0;
    for (;;) {
        int nOpen = strList.Find('"', nPos);
        int nClose = nOpen >= 0 ? strList.Find('"', nOpen + 1) : -1;
        if (nClose < 0)
            break;
        m_combo.AddString(strList.Mid(nOpen + 1, nClose - nOpen - 1));
        nPos = nClose + 1;
    }
    m_combo.SetWindowText("10");
    return TRUE;
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
    InsertButton(nPos, nID, bSeparator);
}

void CQUCustomToolBar::OnRotationAngle(HWND hCombo, UINT nCode)
{
    char szText[64] = "";
    if (nCode == CBN_SELCHANGE) {
        int nSel = (int)::SendMessageA(hCombo, CB_GETCURSEL, 0, 0);
        if (nSel >= 0)
            ::SendMessageA(hCombo, CB_GETLBTEXT, nSel, (LPARAM)szText);
        double dAngle = atof(szText);
        qkfxSetVariableValue("ROTANGLE3D", dAngle < 0 ? 10 : dAngle);
        if (dAngle <= 0)
            ::SetWindowTextA(hCombo, "10");
    } else {
        ::GetWindowTextA(hCombo, szText, sizeof szText);
        double dAngle = atof(szText);
        if (dAngle < 0) {
            dAngle = 0;
            ::SetWindowTextA(hCombo, "");
        }
        qkfxSetVariableValue("ROTANGLE3D", dAngle);
    }
}

LRESULT CQUCustomToolBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && LOWORD(wParam) == IDC_ROTATION_ANGLE &&
        (HIWORD(wParam) == CBN_SELCHANGE || HIWORD(wParam) == CBN_EDITCHANGE)) {
        OnRotationAngle((HWND)lParam, HIWORD(wParam));
        return 0;
    }
    if (message == WM_SHOWWINDOW && lParam == 0) {
        LRESULT lResult = SECCustomToolBar::WindowProc(message, wParam, lParam);
        // Showing and hiding reach the manager, which keeps the user's show choice.
        OnBarHidden(!wParam);
        return lResult;
    }
    if (message == WM_SYSCOLORCHANGE) {
        LRESULT lResult = SECCustomToolBar::WindowProc(message, wParam, lParam);
        // Each toolbar hears of the change; the pictures it copies must be the new ones.
        if (m_pManager != nullptr)
            m_pManager->OnSysColorChange();
        RebuildControl();
        return lResult;
    }
    if (message == WM_LBUTTONDBLCLK && OnToolDoubleClick(CPoint((short)LOWORD(lParam), (short)HIWORD(lParam))))
        return 0;
    return SECCustomToolBar::WindowProc(message, wParam, lParam);
}

BOOL CQUCustomToolBar::OnToolDoubleClick(CPoint point)
{
    const int index = BtnHitTest(point);
    SECStdBtn* button = index >= 0 ? GetBtn(index) : nullptr;
    if (button == nullptr || button->m_nID < 34976 || button->m_nID > 34987)
        return FALSE;
    CQKAccess* access = qkfxGetAccess();
    if (access == nullptr)
        return FALSE;
    std::unique_ptr<CQKTBox> own;
    CQKTBox* box = GetToolBox();
    if (box == nullptr) {
        own = std::make_unique<CQKTBox>();
        box = own.get();
    }
    box->set_nth_tools_from_SDK(access->GetCheckedToolNumber(), 1);
    return TRUE;
}

IMPLEMENT_DYNCREATE(CQUCustomTools, CQUCustomToolBar)

CQUCustomTools::CQUCustomTools() : m_pToolBox(new CQKTBox) {}

CQUCustomTools::~CQUCustomTools()
{
    delete m_pToolBox;
}
