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
