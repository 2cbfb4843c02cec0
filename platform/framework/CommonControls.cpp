// Wrappers of the common controls and image lists.
#include "afxcmn.h"
#include "HandleMap.h"

namespace {

afximpl::HandleMap<HIMAGELIST, CImageList>& ImageListMap()
{
    static afximpl::HandleMap<HIMAGELIST, CImageList> map([]() { return new CImageList; },
                                                          [](CImageList* p, HIMAGELIST h) { p->m_hImageList = h; });
    return map;
}

// The common control classes are registered once, before the first is created.
void InitCommonControlClasses()
{
    static bool s_bDone = false;
    if (!s_bDone) {
        INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES};
        ::InitCommonControlsEx(&icc);
        s_bDone = true;
    }
}

}

IMPLEMENT_DYNCREATE(CImageList, CObject)
IMPLEMENT_DYNAMIC(CListCtrl, CWnd)
IMPLEMENT_DYNAMIC(CTreeCtrl, CWnd)
IMPLEMENT_DYNAMIC(CSpinButtonCtrl, CWnd)
IMPLEMENT_DYNAMIC(CSliderCtrl, CWnd)
IMPLEMENT_DYNAMIC(CTabCtrl, CWnd)
IMPLEMENT_DYNAMIC(CProgressCtrl, CWnd)
IMPLEMENT_DYNAMIC(CRichEditCtrl, CWnd)
IMPLEMENT_DYNAMIC(CToolBarCtrl, CWnd)
IMPLEMENT_DYNAMIC(CToolTipCtrl, CWnd)

/////////////////////////////////////////////////////////////////////////////
// CImageList

CImageList::CImageList() : m_hImageList(nullptr) {}
CImageList::~CImageList() { DeleteImageList(); }

HIMAGELIST CImageList::GetSafeHandle() const { return this == nullptr ? nullptr : m_hImageList; }

CImageList* PASCAL CImageList::FromHandle(HIMAGELIST hImageList) { return ImageListMap().FromHandle(hImageList); }

CImageList* PASCAL CImageList::FromHandlePermanent(HIMAGELIST hImageList)
{
    return hImageList ? ImageListMap().LookupPermanent(hImageList) : nullptr;
}

void PASCAL CImageList::DeleteTempMap() { ImageListMap().DeleteTemp(); }

BOOL CImageList::Attach(HIMAGELIST hImageList)
{
    if (hImageList == nullptr)
        return FALSE;
    ImageListMap().SetPermanent(hImageList, this);
    m_hImageList = hImageList;
    return TRUE;
}

HIMAGELIST CImageList::Detach()
{
    HIMAGELIST hImageList = m_hImageList;
    if (hImageList != nullptr)
        ImageListMap().RemoveHandle(hImageList, this);
    m_hImageList = nullptr;
    return hImageList;
}

BOOL CImageList::DeleteImageList()
{
    if (m_hImageList == nullptr)
        return FALSE;
    return ::ImageList_Destroy(Detach());
}

BOOL CImageList::Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow)
{
    InitCommonControlClasses();
    return Attach(::ImageList_Create(cx, cy, nFlags, nInitial, nGrow));
}

BOOL CImageList::Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask)
{
    return Create(MAKEINTRESOURCE(nBitmapID), cx, nGrow, crMask);
}

BOOL CImageList::Create(LPCTSTR lpszBitmapID, int cx, int nGrow, COLORREF crMask)
{
    InitCommonControlClasses();
    HINSTANCE hInst = AfxFindResourceHandle(lpszBitmapID, RT_BITMAP);
    return Attach(::ImageList_LoadImageA(hInst, lpszBitmapID, cx, nGrow, crMask, IMAGE_BITMAP, LR_CREATEDIBSECTION));
}

BOOL CImageList::Create(CImageList& imagelist1, int nImage1, CImageList& imagelist2, int nImage2, int dx, int dy)
{
    return Attach(::ImageList_Merge(imagelist1.m_hImageList, nImage1, imagelist2.m_hImageList, nImage2, dx, dy));
}

int CImageList::Add(CBitmap* pbmImage, CBitmap* pbmMask)
{
    return ::ImageList_Add(m_hImageList, (HBITMAP)pbmImage->GetSafeHandle(), (HBITMAP)pbmMask->GetSafeHandle());
}

int CImageList::Add(CBitmap* pbmImage, COLORREF crMask)
{
    return ::ImageList_AddMasked(m_hImageList, (HBITMAP)pbmImage->GetSafeHandle(), crMask);
}

BOOL CImageList::Replace(int nImage, CBitmap* pbmImage, CBitmap* pbmMask)
{
    return ::ImageList_Replace(m_hImageList, nImage, (HBITMAP)pbmImage->GetSafeHandle(),
                               (HBITMAP)pbmMask->GetSafeHandle());
}

BOOL CImageList::Draw(CDC* pDC, int nImage, POINT pt, UINT nStyle)
{
    return ::ImageList_Draw(m_hImageList, nImage, pDC->GetSafeHdc(), pt.x, pt.y, nStyle);
}

/////////////////////////////////////////////////////////////////////////////
// CListCtrl

CListCtrl::~CListCtrl() {}

BOOL CListCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    InitCommonControlClasses();
    return CWnd::Create(WC_LISTVIEWA, nullptr, dwStyle, rect, pParentWnd, nID);
}

BOOL CListCtrl::SetItem(int nItem, int nSubItem, UINT nMask, LPCTSTR lpszItem, int nImage, UINT nState,
                        UINT nStateMask, LPARAM lParam)
{
    LVITEMA lvi = {};
    lvi.mask = nMask;
    lvi.iItem = nItem;
    lvi.iSubItem = nSubItem;
    lvi.stateMask = nStateMask;
    lvi.state = nState;
    lvi.pszText = (LPSTR)lpszItem;
    lvi.iImage = nImage;
    lvi.lParam = lParam;
    return SetItem(&lvi);
}

BOOL CListCtrl::GetItemRect(int nItem, LPRECT lpRect, UINT nCode) const
{
    lpRect->left = (LONG)nCode;
    return (BOOL)::SendMessageA(m_hWnd, LVM_GETITEMRECT, nItem, (LPARAM)lpRect);
}

BOOL CListCtrl::SetItemState(int nItem, UINT nState, UINT nMask)
{
    LVITEMA lvi = {};
    lvi.stateMask = nMask;
    lvi.state = nState;
    return SetItemState(nItem, &lvi);
}

int CListCtrl::GetItemText(int nItem, int nSubItem, LPTSTR lpszText, int nLen) const
{
    LVITEMA lvi = {};
    lvi.iSubItem = nSubItem;
    lvi.cchTextMax = nLen;
    lvi.pszText = lpszText;
    return (int)::SendMessageA(m_hWnd, LVM_GETITEMTEXTA, nItem, (LPARAM)&lvi);
}

CString CListCtrl::GetItemText(int nItem, int nSubItem) const
{
    // The control answers how much it copied; grow until it no longer fills the buffer.
    CString str;
    for (int nLen = 256;; nLen *= 2) {
        int nRes = GetItemText(nItem, nSubItem, str.GetBufferSetLength(nLen), nLen);
        str.ReleaseBuffer();
        if (nRes < nLen - 1)
            break;
    }
    return str;
}

BOOL CListCtrl::SetItemText(int nItem, int nSubItem, LPCTSTR lpszText)
{
    LVITEMA lvi = {};
    lvi.iSubItem = nSubItem;
    lvi.pszText = (LPSTR)lpszText;
    return (BOOL)::SendMessageA(m_hWnd, LVM_SETITEMTEXTA, nItem, (LPARAM)&lvi);
}

BOOL CListCtrl::SetItemData(int nItem, DWORD_PTR dwData)
{
    return SetItem(nItem, 0, LVIF_PARAM, nullptr, 0, 0, 0, (LPARAM)dwData);
}

DWORD_PTR CListCtrl::GetItemData(int nItem) const
{
    LVITEMA lvi = {};
    lvi.iItem = nItem;
    lvi.mask = LVIF_PARAM;
    GetItem(&lvi);
    return (DWORD_PTR)lvi.lParam;
}

int CListCtrl::InsertItem(int nItem, LPCTSTR lpszItem)
{
    return InsertItem(LVIF_TEXT, nItem, lpszItem, 0, 0, 0, 0);
}

int CListCtrl::InsertItem(int nItem, LPCTSTR lpszItem, int nImage)
{
    return InsertItem(LVIF_TEXT | LVIF_IMAGE, nItem, lpszItem, 0, 0, nImage, 0);
}

int CListCtrl::InsertItem(UINT nMask, int nItem, LPCTSTR lpszItem, UINT nState, UINT nStateMask, int nImage, LPARAM lParam)
{
    LVITEMA lvi = {};
    lvi.mask = nMask;
    lvi.iItem = nItem;
    lvi.state = nState;
    lvi.stateMask = nStateMask;
    lvi.pszText = (LPSTR)lpszItem;
    lvi.iImage = nImage;
    lvi.lParam = lParam;
    return InsertItem(&lvi);
}

int CListCtrl::HitTest(CPoint pt, UINT* pFlags) const
{
    LVHITTESTINFO hti = {};
    hti.pt = pt;
    int nRes = (int)::SendMessageA(m_hWnd, LVM_HITTEST, 0, (LPARAM)&hti);
    if (pFlags != nullptr)
        *pFlags = hti.flags;
    return nRes;
}

int CListCtrl::InsertColumn(int nCol, LPCTSTR lpszColumnHeading, int nFormat, int nWidth, int nSubItem)
{
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_FMT;
    column.pszText = (LPSTR)lpszColumnHeading;
    column.fmt = nFormat;
    if (nWidth != -1) {
        column.mask |= LVCF_WIDTH;
        column.cx = nWidth;
    }
    if (nSubItem != -1) {
        column.mask |= LVCF_SUBITEM;
        column.iSubItem = nSubItem;
    }
    return InsertColumn(nCol, &column);
}

void CListCtrl::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    // The plain look: the first column's text on the selection colours when selected.
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    BOOL bSelected = (lpDIS->itemState & ODS_SELECTED) != 0;
    pDC->FillSolidRect(&lpDIS->rcItem, ::GetSysColor(bSelected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    pDC->SetTextColor(::GetSysColor(bSelected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    int nOldMode = pDC->SetBkMode(TRANSPARENT);
    CRect rc(lpDIS->rcItem);
    rc.DeflateRect(2, 0);
    pDC->DrawText(GetItemText((int)lpDIS->itemID, 0), &rc, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    pDC->SetBkMode(nOldMode);
}

BOOL CListCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message != WM_DRAWITEM)
        return CWnd::OnChildNotify(message, wParam, lParam, pResult);
    DrawItem((LPDRAWITEMSTRUCT)lParam);
    return TRUE;
}

/////////////////////////////////////////////////////////////////////////////
// CTreeCtrl

CTreeCtrl::~CTreeCtrl() {}

BOOL CTreeCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    InitCommonControlClasses();
    return CWnd::Create(WC_TREEVIEWA, nullptr, dwStyle, rect, pParentWnd, nID);
}

BOOL CTreeCtrl::GetItemRect(HTREEITEM hItem, LPRECT lpRect, BOOL bTextOnly) const
{
    *(HTREEITEM*)lpRect = hItem;
    return (BOOL)::SendMessageA(m_hWnd, TVM_GETITEMRECT, bTextOnly, (LPARAM)lpRect);
}

CString CTreeCtrl::GetItemText(HTREEITEM hItem) const
{
    CString str;
    for (int nLen = 256;; nLen *= 2) {
        TVITEMA item = {};
        item.hItem = hItem;
        item.mask = TVIF_TEXT;
        item.pszText = str.GetBufferSetLength(nLen);
        item.cchTextMax = nLen;
        ::SendMessageA(m_hWnd, TVM_GETITEMA, 0, (LPARAM)&item);
        str.ReleaseBuffer();
        if (str.GetLength() < nLen - 1)
            break;
    }
    return str;
}

BOOL CTreeCtrl::GetItemImage(HTREEITEM hItem, int& nImage, int& nSelectedImage) const
{
    TVITEMA item = {};
    item.hItem = hItem;
    item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    BOOL bRes = GetItem(&item);
    if (bRes) {
        nImage = item.iImage;
        nSelectedImage = item.iSelectedImage;
    }
    return bRes;
}

UINT CTreeCtrl::GetItemState(HTREEITEM hItem, UINT nStateMask) const
{
    TVITEMA item = {};
    item.hItem = hItem;
    item.mask = TVIF_STATE;
    item.stateMask = nStateMask;
    GetItem(&item);
    return item.state & nStateMask;
}

DWORD_PTR CTreeCtrl::GetItemData(HTREEITEM hItem) const
{
    TVITEMA item = {};
    item.hItem = hItem;
    item.mask = TVIF_PARAM;
    GetItem(&item);
    return (DWORD_PTR)item.lParam;
}

BOOL CTreeCtrl::SetItem(HTREEITEM hItem, UINT nMask, LPCTSTR lpszItem, int nImage, int nSelectedImage, UINT nState,
                        UINT nStateMask, LPARAM lParam)
{
    TVITEMA item = {};
    item.hItem = hItem;
    item.mask = nMask;
    item.pszText = (LPSTR)lpszItem;
    item.iImage = nImage;
    item.iSelectedImage = nSelectedImage;
    item.state = nState;
    item.stateMask = nStateMask;
    item.lParam = lParam;
    return SetItem(&item);
}

BOOL CTreeCtrl::ItemHasChildren(HTREEITEM hItem) const
{
    TVITEMA item = {};
    item.hItem = hItem;
    item.mask = TVIF_CHILDREN;
    GetItem(&item);
    return item.cChildren != 0;
}

HTREEITEM CTreeCtrl::InsertItem(UINT nMask, LPCTSTR lpszItem, int nImage, int nSelectedImage, UINT nState,
                                UINT nStateMask, LPARAM lParam, HTREEITEM hParent, HTREEITEM hInsertAfter)
{
    TVINSERTSTRUCTA tvis = {};
    tvis.hParent = hParent;
    tvis.hInsertAfter = hInsertAfter;
    tvis.item.mask = nMask;
    tvis.item.pszText = (LPSTR)lpszItem;
    tvis.item.iImage = nImage;
    tvis.item.iSelectedImage = nSelectedImage;
    tvis.item.state = nState;
    tvis.item.stateMask = nStateMask;
    tvis.item.lParam = lParam;
    return InsertItem(&tvis);
}

HTREEITEM CTreeCtrl::InsertItem(LPCTSTR lpszItem, HTREEITEM hParent, HTREEITEM hInsertAfter)
{
    return InsertItem(TVIF_TEXT, lpszItem, 0, 0, 0, 0, 0, hParent, hInsertAfter);
}

HTREEITEM CTreeCtrl::InsertItem(LPCTSTR lpszItem, int nImage, int nSelectedImage, HTREEITEM hParent, HTREEITEM hInsertAfter)
{
    return InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE, lpszItem, nImage, nSelectedImage, 0, 0, 0,
                      hParent, hInsertAfter);
}

HTREEITEM CTreeCtrl::HitTest(CPoint pt, UINT* pFlags) const
{
    TVHITTESTINFO hti = {};
    hti.pt = pt;
    HTREEITEM h = (HTREEITEM)::SendMessageA(m_hWnd, TVM_HITTEST, 0, (LPARAM)&hti);
    if (pFlags != nullptr)
        *pFlags = hti.flags;
    return h;
}

CImageList* CTreeCtrl::CreateDragImage(HTREEITEM hItem)
{
    HIMAGELIST hImageList = (HIMAGELIST)::SendMessageA(m_hWnd, TVM_CREATEDRAGIMAGE, 0, (LPARAM)hItem);
    if (hImageList == nullptr)
        return nullptr;
    CImageList* pImageList = new CImageList;
    pImageList->Attach(hImageList);
    return pImageList;
}

/////////////////////////////////////////////////////////////////////////////
// Smaller controls

CSpinButtonCtrl::~CSpinButtonCtrl() {}

BOOL CSpinButtonCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    InitCommonControlClasses();
    return CWnd::Create(UPDOWN_CLASSA, nullptr, dwStyle, rect, pParentWnd, nID);
}

void CSpinButtonCtrl::GetRange(int& lower, int& upper) const
{
    DWORD dw = GetRange();
    lower = (short)HIWORD(dw);
    upper = (short)LOWORD(dw);
}

CSliderCtrl::~CSliderCtrl() {}

BOOL CSliderCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    InitCommonControlClasses();
    return CWnd::Create(TRACKBAR_CLASSA, nullptr, dwStyle, rect, pParentWnd, nID);
}

void CSliderCtrl::GetSelection(int& nMin, int& nMax) const
{
    nMin = (int)::SendMessageA(m_hWnd, TBM_GETSELSTART, 0, 0);
    nMax = (int)::SendMessageA(m_hWnd, TBM_GETSELEND, 0, 0);
}

void CSliderCtrl::SetSelection(int nMin, int nMax)
{
    ::SendMessageA(m_hWnd, TBM_SETSELSTART, FALSE, nMin);
    ::SendMessageA(m_hWnd, TBM_SETSELEND, TRUE, nMax);
}

CTabCtrl::~CTabCtrl() {}

BOOL CTabCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    InitCommonControlClasses();
    return CWnd::Create(WC_TABCONTROLA, nullptr, dwStyle, rect, pParentWnd, nID);
}

BOOL CTabCtrl::InsertItem(int nItem, LPCTSTR lpszItem)
{
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = (LPSTR)lpszItem;
    return InsertItem(nItem, &item);
}

void CTabCtrl::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    char szText[128] = "";
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = szText;
    item.cchTextMax = sizeof szText;
    GetItem((int)lpDIS->itemID, &item);
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    int nOldMode = pDC->SetBkMode(TRANSPARENT);
    CRect rc(lpDIS->rcItem);
    pDC->DrawText(szText, -1, &rc, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    pDC->SetBkMode(nOldMode);
}

BOOL CTabCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message != WM_DRAWITEM)
        return CWnd::OnChildNotify(message, wParam, lParam, pResult);
    DrawItem((LPDRAWITEMSTRUCT)lParam);
    return TRUE;
}

CProgressCtrl::~CProgressCtrl() {}

BOOL CProgressCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    InitCommonControlClasses();
    return CWnd::Create(PROGRESS_CLASSA, nullptr, dwStyle, rect, pParentWnd, nID);
}

void CProgressCtrl::GetRange(int& nLower, int& nUpper) const
{
    PBRANGE range;
    ::SendMessageA(m_hWnd, PBM_GETRANGE, FALSE, (LPARAM)&range);
    nLower = range.iLow;
    nUpper = range.iHigh;
}

/////////////////////////////////////////////////////////////////////////////
// CRichEditCtrl

CRichEditCtrl::~CRichEditCtrl() {}

BOOL CRichEditCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    static HMODULE s_hRichEdit = ::LoadLibraryA("riched20.dll");
    if (s_hRichEdit == nullptr)
        return FALSE;
    return CWnd::Create(RICHEDIT_CLASSA, nullptr, dwStyle, rect, pParentWnd, nID);
}

CPoint CRichEditCtrl::GetCharPos(long lChar) const
{
    POINTL pt = {};
    ::SendMessageA(m_hWnd, EM_POSFROMCHAR, (WPARAM)&pt, lChar);
    return CPoint((int)pt.x, (int)pt.y);
}

int CRichEditCtrl::GetLine(int nIndex, LPTSTR lpszBuffer, int nMaxLength) const
{
    if (nMaxLength < (int)sizeof(WORD))
        return 0;
    *(LPWORD)lpszBuffer = (WORD)nMaxLength;
    return (int)::SendMessageA(m_hWnd, EM_GETLINE, nIndex, (LPARAM)lpszBuffer);
}

void CRichEditCtrl::GetSel(long& nStartChar, long& nEndChar) const
{
    CHARRANGE cr;
    ::SendMessageA(m_hWnd, EM_EXGETSEL, 0, (LPARAM)&cr);
    nStartChar = cr.cpMin;
    nEndChar = cr.cpMax;
}

void CRichEditCtrl::SetSel(long nStartChar, long nEndChar)
{
    CHARRANGE cr = {nStartChar, nEndChar};
    ::SendMessageA(m_hWnd, EM_EXSETSEL, 0, (LPARAM)&cr);
}

DWORD CRichEditCtrl::GetDefaultCharFormat(CHARFORMATA& cf) const
{
    cf.cbSize = sizeof(cf);
    return (DWORD)::SendMessageA(m_hWnd, EM_GETCHARFORMAT, SCF_DEFAULT, (LPARAM)&cf);
}

DWORD CRichEditCtrl::GetSelectionCharFormat(CHARFORMATA& cf) const
{
    cf.cbSize = sizeof(cf);
    return (DWORD)::SendMessageA(m_hWnd, EM_GETCHARFORMAT, SCF_SELECTION, (LPARAM)&cf);
}

DWORD CRichEditCtrl::GetParaFormat(PARAFORMAT& pf) const
{
    pf.cbSize = sizeof(pf);
    return (DWORD)::SendMessageA(m_hWnd, EM_GETPARAFORMAT, 0, (LPARAM)&pf);
}

CString CRichEditCtrl::GetSelText() const
{
    CHARRANGE cr;
    ::SendMessageA(m_hWnd, EM_EXGETSEL, 0, (LPARAM)&cr);
    CString str;
    // Two bytes a character leave room for any multibyte text.
    LPSTR lpsz = str.GetBufferSetLength((int)(cr.cpMax - cr.cpMin) * 2 + 1);
    long nLen = (long)::SendMessageA(m_hWnd, EM_GETSELTEXT, 0, (LPARAM)lpsz);
    str.ReleaseBuffer((int)nLen);
    return str;
}

BOOL CRichEditCtrl::SetDefaultCharFormat(CHARFORMATA& cf)
{
    cf.cbSize = sizeof(cf);
    return (BOOL)::SendMessageA(m_hWnd, EM_SETCHARFORMAT, SCF_DEFAULT, (LPARAM)&cf);
}

BOOL CRichEditCtrl::SetSelectionCharFormat(CHARFORMATA& cf)
{
    cf.cbSize = sizeof(cf);
    return (BOOL)::SendMessageA(m_hWnd, EM_SETCHARFORMAT, SCF_SELECTION, (LPARAM)&cf);
}

BOOL CRichEditCtrl::SetWordCharFormat(CHARFORMATA& cf)
{
    cf.cbSize = sizeof(cf);
    return (BOOL)::SendMessageA(m_hWnd, EM_SETCHARFORMAT, SCF_SELECTION | SCF_WORD, (LPARAM)&cf);
}

BOOL CRichEditCtrl::SetParaFormat(PARAFORMAT& pf)
{
    pf.cbSize = sizeof(pf);
    return (BOOL)::SendMessageA(m_hWnd, EM_SETPARAFORMAT, 0, (LPARAM)&pf);
}

void CRichEditCtrl::PasteSpecial(UINT nClipFormat, DWORD dvAspect, HMETAFILE hMF)
{
    REPASTESPECIAL reps = {dvAspect, (DWORD_PTR)hMF};
    ::SendMessageA(m_hWnd, EM_PASTESPECIAL, nClipFormat, (LPARAM)&reps);
}

/////////////////////////////////////////////////////////////////////////////
// CToolBarCtrl and CToolTipCtrl

CToolBarCtrl::~CToolBarCtrl() {}

BOOL CToolBarCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    InitCommonControlClasses();
    if (!CWnd::Create(TOOLBARCLASSNAMEA, nullptr, dwStyle, rect, pParentWnd, nID))
        return FALSE;
    SetButtonStructSize(sizeof(TBBUTTON));
    return TRUE;
}

int CToolBarCtrl::AddBitmap(int nNumButtons, UINT nBitmapID)
{
    TBADDBITMAP tbab = {AfxFindResourceHandle(MAKEINTRESOURCE(nBitmapID), RT_BITMAP), nBitmapID};
    return (int)::SendMessageA(m_hWnd, TB_ADDBITMAP, nNumButtons, (LPARAM)&tbab);
}

int CToolBarCtrl::AddBitmap(int nNumButtons, CBitmap* pBitmap)
{
    TBADDBITMAP tbab = {nullptr, (UINT_PTR)pBitmap->GetSafeHandle()};
    return (int)::SendMessageA(m_hWnd, TB_ADDBITMAP, nNumButtons, (LPARAM)&tbab);
}

CToolTipCtrl* CToolBarCtrl::GetToolTips() const
{
    return (CToolTipCtrl*)CWnd::FromHandle((HWND)::SendMessageA(m_hWnd, TB_GETTOOLTIPS, 0, 0));
}

CToolTipCtrl::~CToolTipCtrl() {}

BOOL CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle)
{
    InitCommonControlClasses();
    return CWnd::CreateEx(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | dwStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, pParentWnd->GetSafeHwnd(), nullptr);
}

// The record that names a tool: the window itself, or an id within it.
void CToolTipCtrl::FillInToolInfo(TTTOOLINFOA& ti, CWnd* pWnd, UINT_PTR nIDTool) const
{
    memset(&ti, 0, sizeof(ti));
    ti.cbSize = sizeof(ti);
    if (nIDTool == 0) {
        ti.hwnd = ::GetParent(pWnd->GetSafeHwnd());
        ti.uFlags = TTF_IDISHWND;
        ti.uId = (UINT_PTR)pWnd->GetSafeHwnd();
    } else {
        ti.hwnd = pWnd->GetSafeHwnd();
        ti.uId = nIDTool;
    }
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, LPCTSTR lpszText, LPCRECT lpRectTool, UINT_PTR nIDTool)
{
    TTTOOLINFOA ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    if (lpRectTool != nullptr)
        ti.rect = *lpRectTool;
    else if (nIDTool != 0)
        ::GetClientRect(pWnd->GetSafeHwnd(), &ti.rect);
    ti.lpszText = (LPSTR)lpszText;
    if (IS_INTRESOURCE(lpszText) && lpszText != LPSTR_TEXTCALLBACK)
        ti.hinst = AfxFindStringResourceHandle((UINT)(UINT_PTR)lpszText);
    return (BOOL)::SendMessageA(m_hWnd, TTM_ADDTOOLA, 0, (LPARAM)&ti);
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, UINT nIDText, LPCRECT lpRectTool, UINT_PTR nIDTool)
{
    return AddTool(pWnd, MAKEINTRESOURCE(nIDText), lpRectTool, nIDTool);
}

void CToolTipCtrl::DelTool(CWnd* pWnd, UINT_PTR nIDTool)
{
    TTTOOLINFOA ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    ::SendMessageA(m_hWnd, TTM_DELTOOLA, 0, (LPARAM)&ti);
}

void CToolTipCtrl::GetText(CString& str, CWnd* pWnd, UINT_PTR nIDTool) const
{
    TTTOOLINFOA ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    // The control copies at most 80 characters (its documented limit for this message).
    ti.lpszText = str.GetBuffer(256);
    ti.lpszText[0] = '\0';
    ::SendMessageA(m_hWnd, TTM_GETTEXTA, 0, (LPARAM)&ti);
    str.ReleaseBuffer();
}

BOOL CToolTipCtrl::GetToolInfo(TTTOOLINFOA* pToolInfo, CWnd* pWnd, UINT_PTR nIDTool) const
{
    FillInToolInfo(*pToolInfo, pWnd, nIDTool);
    return (BOOL)::SendMessageA(m_hWnd, TTM_GETTOOLINFOA, 0, (LPARAM)pToolInfo);
}

void CToolTipCtrl::SetToolRect(CWnd* pWnd, UINT_PTR nIDTool, LPCRECT lpRect)
{
    TTTOOLINFOA ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    ti.rect = *lpRect;
    ::SendMessageA(m_hWnd, TTM_NEWTOOLRECTA, 0, (LPARAM)&ti);
}

void CToolTipCtrl::UpdateTipText(LPCTSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool)
{
    TTTOOLINFOA ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    ti.lpszText = (LPSTR)lpszText;
    ::SendMessageA(m_hWnd, TTM_UPDATETIPTEXTA, 0, (LPARAM)&ti);
}
