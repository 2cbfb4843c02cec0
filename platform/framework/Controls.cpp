// Wrappers of the standard controls, with owner draw through reflected messages.
#include "afxwin.h"

IMPLEMENT_DYNAMIC(CStatic, CWnd)
IMPLEMENT_DYNAMIC(CButton, CWnd)
IMPLEMENT_DYNAMIC(CListBox, CWnd)
IMPLEMENT_DYNAMIC(CComboBox, CWnd)
IMPLEMENT_DYNAMIC(CEdit, CWnd)
IMPLEMENT_DYNAMIC(CScrollBar, CWnd)

namespace {

// The plain look of an owner-drawn text item: the item's text on the selection colours
// when selected, and the focus rectangle when focused.
// The owner-draw messages a list or combo box gets back from its parent.
template <class TControl>
BOOL DispatchOwnerDraw(TControl* pControl, UINT message, LPARAM lParam, LRESULT* pResult)
{
    switch (message) {
    case WM_DRAWITEM:
        pControl->DrawItem((LPDRAWITEMSTRUCT)lParam);
        return TRUE;
    case WM_MEASUREITEM:
        pControl->MeasureItem((LPMEASUREITEMSTRUCT)lParam);
        return TRUE;
    case WM_COMPAREITEM:
        *pResult = pControl->CompareItem((LPCOMPAREITEMSTRUCT)lParam);
        return TRUE;
    case WM_DELETEITEM:
        pControl->DeleteItem((LPDELETEITEMSTRUCT)lParam);
        return TRUE;
    default:
        return FALSE;
    }
}

void DrawTextItem(LPDRAWITEMSTRUCT lpDIS, const CString& strText)
{
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    BOOL bSelected = (lpDIS->itemState & ODS_SELECTED) != 0;
    pDC->FillSolidRect(&lpDIS->rcItem, ::GetSysColor(bSelected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    int nOldMode = pDC->SetBkMode(TRANSPARENT);
    COLORREF crOld = pDC->SetTextColor(::GetSysColor(bSelected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    CRect rcText(lpDIS->rcItem);
    rcText.DeflateRect(2, 0);
    pDC->DrawText(strText, &rcText, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    pDC->SetTextColor(crOld);
    pDC->SetBkMode(nOldMode);
    if (lpDIS->itemState & ODS_FOCUS)
        pDC->DrawFocusRect(&lpDIS->rcItem);
}

}

CStatic::~CStatic() {}

BOOL CStatic::Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create("STATIC", lpszText, dwStyle, rect, pParentWnd, nID);
}

void CStatic::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    CString strText;
    GetWindowText(strText);
    DrawTextItem(lpDIS, strText);
}

BOOL CStatic::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message != WM_DRAWITEM)
        return CWnd::OnChildNotify(message, wParam, lParam, pResult);
    DrawItem((LPDRAWITEMSTRUCT)lParam);
    return TRUE;
}

CButton::~CButton() {}

BOOL CButton::Create(LPCTSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create("BUTTON", lpszCaption, dwStyle, rect, pParentWnd, nID);
}

void CButton::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    CRect rc(lpDIS->rcItem);
    UINT nState = DFCS_BUTTONPUSH | ((lpDIS->itemState & ODS_SELECTED) ? DFCS_PUSHED : 0) |
                  ((lpDIS->itemState & ODS_DISABLED) ? DFCS_INACTIVE : 0);
    pDC->DrawFrameControl(&rc, DFC_BUTTON, nState);
    CString strText;
    GetWindowText(strText);
    int nOldMode = pDC->SetBkMode(TRANSPARENT);
    pDC->DrawText(strText, &rc, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    pDC->SetBkMode(nOldMode);
    if (lpDIS->itemState & ODS_FOCUS) {
        rc.DeflateRect(3, 3);
        pDC->DrawFocusRect(&rc);
    }
}

BOOL CButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message != WM_DRAWITEM)
        return CWnd::OnChildNotify(message, wParam, lParam, pResult);
    DrawItem((LPDRAWITEMSTRUCT)lParam);
    return TRUE;
}

CListBox::~CListBox() {}

BOOL CListBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create("LISTBOX", nullptr, dwStyle, rect, pParentWnd, nID);
}

void CListBox::GetText(int nIndex, CString& rString) const
{
    int nLen = GetTextLen(nIndex);
    if (nLen == LB_ERR) {
        rString.Empty();
        return;
    }
    GetText(nIndex, rString.GetBufferSetLength(nLen));
    rString.ReleaseBuffer();
}

int CListBox::ItemFromPoint(CPoint pt, BOOL& bOutside) const
{
    DWORD dw = (DWORD)::SendMessageA(m_hWnd, LB_ITEMFROMPOINT, 0, MAKELPARAM(pt.x, pt.y));
    bOutside = HIWORD(dw) != 0;
    return LOWORD(dw);
}

void CListBox::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    CString strText;
    if (lpDIS->itemID != (UINT)-1 && (GetStyle() & LBS_HASSTRINGS))
        GetText((int)lpDIS->itemID, strText);
    DrawTextItem(lpDIS, strText);
}

void CListBox::MeasureItem(LPMEASUREITEMSTRUCT) {}
int CListBox::CompareItem(LPCOMPAREITEMSTRUCT) { return 0; }
void CListBox::DeleteItem(LPDELETEITEMSTRUCT) {}
int CListBox::VKeyToItem(UINT, UINT) { return -1; }
int CListBox::CharToItem(UINT, UINT) { return -1; }

BOOL CListBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (DispatchOwnerDraw(this, message, lParam, pResult))
        return TRUE;
    switch (message) {
    case WM_VKEYTOITEM:
        *pResult = VKeyToItem(LOWORD(wParam), HIWORD(wParam));
        break;
    case WM_CHARTOITEM:
        *pResult = CharToItem(LOWORD(wParam), HIWORD(wParam));
        break;
    default:
        return CWnd::OnChildNotify(message, wParam, lParam, pResult);
    }
    return TRUE;
}

CComboBox::~CComboBox() {}

BOOL CComboBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create("COMBOBOX", nullptr, dwStyle, rect, pParentWnd, nID);
}

void CComboBox::GetLBText(int nIndex, CString& rString) const
{
    int nLen = GetLBTextLen(nIndex);
    if (nLen == CB_ERR) {
        rString.Empty();
        return;
    }
    GetLBText(nIndex, rString.GetBufferSetLength(nLen));
    rString.ReleaseBuffer();
}

void CComboBox::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    CString strText;
    if (lpDIS->itemID != (UINT)-1 && (GetStyle() & CBS_HASSTRINGS))
        GetLBText((int)lpDIS->itemID, strText);
    DrawTextItem(lpDIS, strText);
}

void CComboBox::MeasureItem(LPMEASUREITEMSTRUCT) {}
int CComboBox::CompareItem(LPCOMPAREITEMSTRUCT) { return 0; }
void CComboBox::DeleteItem(LPDELETEITEMSTRUCT) {}

BOOL CComboBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (DispatchOwnerDraw(this, message, lParam, pResult))
        return TRUE;
    return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

CEdit::~CEdit() {}

BOOL CEdit::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create("EDIT", nullptr, dwStyle, rect, pParentWnd, nID);
}

void CEdit::GetSel(int& nStartChar, int& nEndChar) const
{
    DWORD dwStart = 0, dwEnd = 0;
    ::SendMessageA(m_hWnd, EM_GETSEL, (WPARAM)&dwStart, (LPARAM)&dwEnd);
    nStartChar = (int)dwStart;
    nEndChar = (int)dwEnd;
}

int CEdit::GetLine(int nIndex, LPTSTR lpszBuffer, int nMaxLength) const
{
    // EM_GETLINE takes the buffer size in its first word.
    if (nMaxLength < (int)sizeof(WORD))
        return 0;
    *(LPWORD)lpszBuffer = (WORD)nMaxLength;
    return (int)::SendMessageA(m_hWnd, EM_GETLINE, nIndex, (LPARAM)lpszBuffer);
}

void CEdit::SetSel(DWORD dwSelection, BOOL bNoScroll)
{
    ::SendMessageA(m_hWnd, EM_SETSEL, LOWORD(dwSelection), HIWORD(dwSelection));
    if (!bNoScroll)
        ::SendMessageA(m_hWnd, EM_SCROLLCARET, 0, 0);
}

void CEdit::SetSel(int nStartChar, int nEndChar, BOOL bNoScroll)
{
    ::SendMessageA(m_hWnd, EM_SETSEL, nStartChar, nEndChar);
    if (!bNoScroll)
        ::SendMessageA(m_hWnd, EM_SCROLLCARET, 0, 0);
}

CScrollBar::~CScrollBar() {}

BOOL CScrollBar::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create("SCROLLBAR", nullptr, dwStyle, rect, pParentWnd, nID);
}

BOOL CScrollBar::GetScrollInfo(LPSCROLLINFO lpScrollInfo, UINT nMask)
{
    lpScrollInfo->cbSize = sizeof(*lpScrollInfo);
    lpScrollInfo->fMask = nMask;
    return ::GetScrollInfo(m_hWnd, SB_CTL, lpScrollInfo);
}

/////////////////////////////////////////////////////////////////////////////
// CCheckListBox

IMPLEMENT_DYNAMIC(CCheckListBox, CListBox)

// What the list box itself holds as an item's data: the check state and the caller's data.
struct CCheckListBox::CheckData
{
    int nCheck;
    BOOL bEnabled;
    DWORD_PTR dwUserData;
};

BEGIN_MESSAGE_MAP(CCheckListBox, CListBox)
    ON_WM_LBUTTONDOWN()
    ON_WM_KEYDOWN()
END_MESSAGE_MAP()

CCheckListBox::CCheckListBox() : m_nStyle(BS_AUTOCHECKBOX) {}
CCheckListBox::~CCheckListBox() {}

BOOL CCheckListBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CListBox::Create(dwStyle | LBS_HASSTRINGS, rect, pParentWnd, nID);
}

CCheckListBox::CheckData* CCheckListBox::GetCheckData(int nIndex) const
{
    LRESULT lData = ::CallWindowProcA(m_pfnSuper ? m_pfnSuper : ::DefWindowProcA, m_hWnd, LB_GETITEMDATA, nIndex, 0);
    return lData == LB_ERR ? nullptr : (CheckData*)lData;
}

void CCheckListBox::SetCheck(int nIndex, int nCheck)
{
    CheckData* pData = GetCheckData(nIndex);
    if (pData == nullptr)
        return;
    pData->nCheck = nCheck;
    CRect rc;
    if (GetItemRect(nIndex, &rc) != LB_ERR)
        InvalidateRect(&rc, FALSE);
}

int CCheckListBox::GetCheck(int nIndex) const
{
    CheckData* pData = GetCheckData(nIndex);
    return pData ? pData->nCheck : 0;
}

void CCheckListBox::Enable(int nIndex, BOOL bEnabled)
{
    CheckData* pData = GetCheckData(nIndex);
    if (pData == nullptr)
        return;
    pData->bEnabled = bEnabled;
    CRect rc;
    if (GetItemRect(nIndex, &rc) != LB_ERR)
        InvalidateRect(&rc, FALSE);
}

BOOL CCheckListBox::IsEnabled(int nIndex) const
{
    CheckData* pData = GetCheckData(nIndex);
    return pData ? pData->bEnabled : FALSE;
}

DWORD_PTR CCheckListBox::GetItemData(int nIndex) const
{
    return (DWORD_PTR)::SendMessageA(m_hWnd, LB_GETITEMDATA, nIndex, 0);
}

int CCheckListBox::SetItemData(int nIndex, DWORD_PTR dwItemData)
{
    return (int)::SendMessageA(m_hWnd, LB_SETITEMDATA, nIndex, (LPARAM)dwItemData);
}

// Item data passes through here, so every way of reaching it sees the caller's data.
LRESULT CCheckListBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case LB_ADDSTRING:
    case LB_INSERTSTRING: {
        LRESULT lIndex = CListBox::WindowProc(message, wParam, lParam);
        if (lIndex >= 0) {
            CheckData* pData = new CheckData{0, TRUE, 0};
            if (DefWindowProc(LB_SETITEMDATA, (WPARAM)lIndex, (LPARAM)pData) == LB_ERR)
                delete pData;
        }
        return lIndex;
    }
    case LB_SETITEMDATA: {
        CheckData* pData = GetCheckData((int)wParam);
        if (pData == nullptr)
            return LB_ERR;
        pData->dwUserData = (DWORD_PTR)lParam;
        return 0;
    }
    case LB_GETITEMDATA: {
        CheckData* pData = GetCheckData((int)wParam);
        return pData ? (LRESULT)pData->dwUserData : LB_ERR;
    }
    default:
        return CListBox::WindowProc(message, wParam, lParam);
    }
}

BOOL CCheckListBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_DELETEITEM) {
        // Free the state, then show the caller its own data.
        DELETEITEMSTRUCT dis = *(LPDELETEITEMSTRUCT)lParam;
        CheckData* pData = (CheckData*)dis.itemData;
        dis.itemData = pData ? pData->dwUserData : 0;
        delete pData;
        DeleteItem(&dis);
        return TRUE;
    }
    if (message == WM_DRAWITEM) {
        DRAWITEMSTRUCT dis = *(LPDRAWITEMSTRUCT)lParam;
        CheckData* pData = (CheckData*)dis.itemData;
        dis.itemData = pData ? pData->dwUserData : 0;
        DrawItem(&dis);
        return TRUE;
    }
    return CListBox::OnChildNotify(message, wParam, lParam, pResult);
}

void CCheckListBox::DeleteItem(LPDELETEITEMSTRUCT) {}

void CCheckListBox::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    int nIndex = (int)lpDIS->itemID;
    CRect rcItem(lpDIS->rcItem);
    int cxCheck = rcItem.Height();
    CRect rcCheck(rcItem.left, rcItem.top, rcItem.left + cxCheck, rcItem.bottom);
    pDC->FillSolidRect(&rcCheck, ::GetSysColor(COLOR_WINDOW));
    if (nIndex >= 0) {
        rcCheck.DeflateRect(1, 1);
        int nCheck = GetCheck(nIndex);
        UINT nState = DFCS_BUTTONCHECK | (nCheck == 1 ? DFCS_CHECKED : 0) |
                      (nCheck == 2 ? DFCS_CHECKED | DFCS_BUTTON3STATE : 0) | (IsEnabled(nIndex) ? 0 : DFCS_INACTIVE);
        pDC->DrawFrameControl(&rcCheck, DFC_BUTTON, nState);
    }
    DRAWITEMSTRUCT disText = *lpDIS;
    disText.rcItem.left += cxCheck;
    CString strText;
    if (nIndex >= 0)
        GetText(nIndex, strText);
    DrawTextItem(&disText, strText);
}

void CCheckListBox::ToggleCheck(int nIndex)
{
    if (!IsEnabled(nIndex))
        return;
    int nCheck = GetCheck(nIndex);
    if (m_nStyle == BS_AUTO3STATE)
        nCheck = (nCheck + 1) % 3;
    else if (m_nStyle == BS_AUTOCHECKBOX)
        nCheck = nCheck ? 0 : 1;
    else
        return;   // the plain styles leave the change to the parent
    SetCheck(nIndex, nCheck);
    HWND hWndParent = ::GetParent(m_hWnd);
    if (hWndParent != nullptr)
        ::SendMessageA(hWndParent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), CLBN_CHKCHANGE), (LPARAM)m_hWnd);
}

void CCheckListBox::OnLButtonDown(UINT nFlags, CPoint point)
{
    BOOL bOutside = TRUE;
    int nIndex = ItemFromPoint(point, bOutside);
    CRect rcItem;
    if (!bOutside && GetItemRect(nIndex, &rcItem) != LB_ERR && point.x < rcItem.left + rcItem.Height())
        ToggleCheck(nIndex);
    Default();
}

void CCheckListBox::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (nChar == VK_SPACE) {
        int nIndex = GetCaretIndex();
        if (nIndex != LB_ERR)
            ToggleCheck(nIndex);
    }
    Default();
}
