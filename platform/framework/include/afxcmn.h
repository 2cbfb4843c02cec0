// Wrappers of the common controls. Item data is pointer-sized (DWORD_PTR / LPARAM).
#pragma once
#include "afxwin.h"
#include <richedit.h>

class CToolTipCtrl;

class QXAFX_API CImageList : public CObject
{
    DECLARE_DYNCREATE(CImageList)
public:
    CImageList();
    virtual ~CImageList();

    HIMAGELIST m_hImageList;
    operator HIMAGELIST() const { return m_hImageList; }
    HIMAGELIST GetSafeHandle() const;
    static CImageList* PASCAL FromHandle(HIMAGELIST hImageList);
    static CImageList* PASCAL FromHandlePermanent(HIMAGELIST hImageList);
    static void PASCAL DeleteTempMap();
    BOOL Attach(HIMAGELIST hImageList);
    HIMAGELIST Detach();
    BOOL DeleteImageList();

    BOOL Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow);
    // A strip of images from a bitmap resource found through the resource chain.
    BOOL Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask);
    BOOL Create(LPCTSTR lpszBitmapID, int cx, int nGrow, COLORREF crMask);
    BOOL Create(CImageList& imagelist1, int nImage1, CImageList& imagelist2, int nImage2, int dx, int dy);

    int GetImageCount() const { return ::ImageList_GetImageCount(m_hImageList); }
    COLORREF SetBkColor(COLORREF cr) { return ::ImageList_SetBkColor(m_hImageList, cr); }
    COLORREF GetBkColor() const { return ::ImageList_GetBkColor(m_hImageList); }
    BOOL GetImageInfo(int nImage, IMAGEINFO* pImageInfo) const { return ::ImageList_GetImageInfo(m_hImageList, nImage, pImageInfo); }
    int Add(CBitmap* pbmImage, CBitmap* pbmMask);
    int Add(CBitmap* pbmImage, COLORREF crMask);
    int Add(HICON hIcon) { return ::ImageList_ReplaceIcon(m_hImageList, -1, hIcon); }
    BOOL Remove(int nImage) { return ::ImageList_Remove(m_hImageList, nImage); }
    BOOL Replace(int nImage, CBitmap* pbmImage, CBitmap* pbmMask);
    int Replace(int nImage, HICON hIcon) { return ::ImageList_ReplaceIcon(m_hImageList, nImage, hIcon); }
    HICON ExtractIcon(int nImage) { return ::ImageList_ExtractIcon(nullptr, m_hImageList, nImage); }
    BOOL Draw(CDC* pDC, int nImage, POINT pt, UINT nStyle);
    BOOL SetOverlayImage(int nImage, int nOverlay) { return ::ImageList_SetOverlayImage(m_hImageList, nImage, nOverlay); }
    BOOL BeginDrag(int nImage, CPoint ptHotSpot) { return ::ImageList_BeginDrag(m_hImageList, nImage, ptHotSpot.x, ptHotSpot.y); }
    static void PASCAL EndDrag() { ::ImageList_EndDrag(); }
    static BOOL PASCAL DragMove(CPoint pt) { return ::ImageList_DragMove(pt.x, pt.y); }
    static BOOL PASCAL DragEnter(CWnd* pWndLock, CPoint point) { return ::ImageList_DragEnter(pWndLock->GetSafeHwnd(), point.x, point.y); }
    static BOOL PASCAL DragLeave(CWnd* pWndLock) { return ::ImageList_DragLeave(pWndLock->GetSafeHwnd()); }
    static BOOL PASCAL DragShowNolock(BOOL bShow) { return ::ImageList_DragShowNolock(bShow); }
};

class QXAFX_API CListCtrl : public CWnd
{
    DECLARE_DYNAMIC(CListCtrl)
public:
    CListCtrl() {}
    virtual ~CListCtrl();
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    COLORREF GetBkColor() const { return (COLORREF)::SendMessageA(m_hWnd, LVM_GETBKCOLOR, 0, 0); }
    BOOL SetBkColor(COLORREF cr) { return (BOOL)::SendMessageA(m_hWnd, LVM_SETBKCOLOR, 0, cr); }
    COLORREF GetTextColor() const { return (COLORREF)::SendMessageA(m_hWnd, LVM_GETTEXTCOLOR, 0, 0); }
    BOOL SetTextColor(COLORREF cr) { return (BOOL)::SendMessageA(m_hWnd, LVM_SETTEXTCOLOR, 0, cr); }
    COLORREF GetTextBkColor() const { return (COLORREF)::SendMessageA(m_hWnd, LVM_GETTEXTBKCOLOR, 0, 0); }
    BOOL SetTextBkColor(COLORREF cr) { return (BOOL)::SendMessageA(m_hWnd, LVM_SETTEXTBKCOLOR, 0, cr); }
    CImageList* GetImageList(int nImageList) const { return CImageList::FromHandle((HIMAGELIST)::SendMessageA(m_hWnd, LVM_GETIMAGELIST, nImageList, 0)); }
    CImageList* SetImageList(CImageList* pImageList, int nImageListType)
    { return CImageList::FromHandle((HIMAGELIST)::SendMessageA(m_hWnd, LVM_SETIMAGELIST, nImageListType, (LPARAM)pImageList->GetSafeHandle())); }
    int GetItemCount() const { return (int)::SendMessageA(m_hWnd, LVM_GETITEMCOUNT, 0, 0); }
    void SetItemCount(int nItems) { ::SendMessageA(m_hWnd, LVM_SETITEMCOUNT, nItems, 0); }
    BOOL GetItem(LVITEMA* pItem) const { return (BOOL)::SendMessageA(m_hWnd, LVM_GETITEMA, 0, (LPARAM)pItem); }
    BOOL SetItem(const LVITEMA* pItem) { return (BOOL)::SendMessageA(m_hWnd, LVM_SETITEMA, 0, (LPARAM)pItem); }
    BOOL SetItem(int nItem, int nSubItem, UINT nMask, LPCTSTR lpszItem, int nImage, UINT nState, UINT nStateMask, LPARAM lParam);
    UINT GetCallbackMask() const { return (UINT)::SendMessageA(m_hWnd, LVM_GETCALLBACKMASK, 0, 0); }
    BOOL SetCallbackMask(UINT nMask) { return (BOOL)::SendMessageA(m_hWnd, LVM_SETCALLBACKMASK, nMask, 0); }
    int GetNextItem(int nItem, int nFlags) const { return (int)::SendMessageA(m_hWnd, LVM_GETNEXTITEM, nItem, MAKELPARAM(nFlags, 0)); }
    BOOL GetItemRect(int nItem, LPRECT lpRect, UINT nCode) const;
    BOOL SetItemPosition(int nItem, POINT pt) { return (BOOL)::SendMessageA(m_hWnd, LVM_SETITEMPOSITION32, nItem, (LPARAM)&pt); }
    BOOL GetItemPosition(int nItem, LPPOINT lpPoint) const { return (BOOL)::SendMessageA(m_hWnd, LVM_GETITEMPOSITION, nItem, (LPARAM)lpPoint); }
    int GetStringWidth(LPCTSTR lpsz) const { return (int)::SendMessageA(m_hWnd, LVM_GETSTRINGWIDTHA, 0, (LPARAM)lpsz); }
    CEdit* GetEditControl() const { return (CEdit*)CWnd::FromHandle((HWND)::SendMessageA(m_hWnd, LVM_GETEDITCONTROL, 0, 0)); }
    BOOL GetColumn(int nCol, LVCOLUMNA* pColumn) const { return (BOOL)::SendMessageA(m_hWnd, LVM_GETCOLUMNA, nCol, (LPARAM)pColumn); }
    BOOL SetColumn(int nCol, const LVCOLUMNA* pColumn) { return (BOOL)::SendMessageA(m_hWnd, LVM_SETCOLUMNA, nCol, (LPARAM)pColumn); }
    int GetColumnWidth(int nCol) const { return (int)::SendMessageA(m_hWnd, LVM_GETCOLUMNWIDTH, nCol, 0); }
    BOOL SetColumnWidth(int nCol, int cx) { return (BOOL)::SendMessageA(m_hWnd, LVM_SETCOLUMNWIDTH, nCol, MAKELPARAM(cx, 0)); }
    BOOL GetViewRect(LPRECT lpRect) const { return (BOOL)::SendMessageA(m_hWnd, LVM_GETVIEWRECT, 0, (LPARAM)lpRect); }
    int GetTopIndex() const { return (int)::SendMessageA(m_hWnd, LVM_GETTOPINDEX, 0, 0); }
    int GetCountPerPage() const { return (int)::SendMessageA(m_hWnd, LVM_GETCOUNTPERPAGE, 0, 0); }
    BOOL GetOrigin(LPPOINT lpPoint) const { return (BOOL)::SendMessageA(m_hWnd, LVM_GETORIGIN, 0, (LPARAM)lpPoint); }
    BOOL SetItemState(int nItem, LVITEMA* pItem) { return (BOOL)::SendMessageA(m_hWnd, LVM_SETITEMSTATE, nItem, (LPARAM)pItem); }
    BOOL SetItemState(int nItem, UINT nState, UINT nMask);
    UINT GetItemState(int nItem, UINT nMask) const { return (UINT)::SendMessageA(m_hWnd, LVM_GETITEMSTATE, nItem, nMask); }
    CString GetItemText(int nItem, int nSubItem) const;
    int GetItemText(int nItem, int nSubItem, LPTSTR lpszText, int nLen) const;
    BOOL SetItemText(int nItem, int nSubItem, LPCTSTR lpszText);
    BOOL SetItemData(int nItem, DWORD_PTR dwData);
    DWORD_PTR GetItemData(int nItem) const;
    UINT GetSelectedCount() const { return (UINT)::SendMessageA(m_hWnd, LVM_GETSELECTEDCOUNT, 0, 0); }
    DWORD GetExtendedStyle() const { return (DWORD)::SendMessageA(m_hWnd, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0); }
    DWORD SetExtendedStyle(DWORD dwNewStyle) { return (DWORD)::SendMessageA(m_hWnd, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, dwNewStyle); }

    int InsertItem(const LVITEMA* pItem) { return (int)::SendMessageA(m_hWnd, LVM_INSERTITEMA, 0, (LPARAM)pItem); }
    int InsertItem(int nItem, LPCTSTR lpszItem);
    int InsertItem(int nItem, LPCTSTR lpszItem, int nImage);
    int InsertItem(UINT nMask, int nItem, LPCTSTR lpszItem, UINT nState, UINT nStateMask, int nImage, LPARAM lParam);
    BOOL DeleteItem(int nItem) { return (BOOL)::SendMessageA(m_hWnd, LVM_DELETEITEM, nItem, 0); }
    BOOL DeleteAllItems() { return (BOOL)::SendMessageA(m_hWnd, LVM_DELETEALLITEMS, 0, 0); }
    int FindItem(LVFINDINFOA* pFindInfo, int nStart = -1) const { return (int)::SendMessageA(m_hWnd, LVM_FINDITEMA, nStart, (LPARAM)pFindInfo); }
    int HitTest(LVHITTESTINFO* pHitTestInfo) const { return (int)::SendMessageA(m_hWnd, LVM_HITTEST, 0, (LPARAM)pHitTestInfo); }
    int HitTest(CPoint pt, UINT* pFlags = nullptr) const;
    BOOL EnsureVisible(int nItem, BOOL bPartialOK) { return (BOOL)::SendMessageA(m_hWnd, LVM_ENSUREVISIBLE, nItem, MAKELPARAM(bPartialOK, 0)); }
    BOOL Scroll(CSize size) { return (BOOL)::SendMessageA(m_hWnd, LVM_SCROLL, size.cx, size.cy); }
    BOOL RedrawItems(int nFirst, int nLast) { return (BOOL)::SendMessageA(m_hWnd, LVM_REDRAWITEMS, nFirst, nLast); }
    BOOL Arrange(UINT nCode) { return (BOOL)::SendMessageA(m_hWnd, LVM_ARRANGE, nCode, 0); }
    CEdit* EditLabel(int nItem) { return (CEdit*)CWnd::FromHandle((HWND)::SendMessageA(m_hWnd, LVM_EDITLABELA, nItem, 0)); }
    int InsertColumn(int nCol, const LVCOLUMNA* pColumn) { return (int)::SendMessageA(m_hWnd, LVM_INSERTCOLUMNA, nCol, (LPARAM)pColumn); }
    int InsertColumn(int nCol, LPCTSTR lpszColumnHeading, int nFormat = LVCFMT_LEFT, int nWidth = -1, int nSubItem = -1);
    BOOL DeleteColumn(int nCol) { return (BOOL)::SendMessageA(m_hWnd, LVM_DELETECOLUMN, nCol, 0); }
    BOOL Update(int nItem) { return (BOOL)::SendMessageA(m_hWnd, LVM_UPDATE, nItem, 0); }
    // The compare function gets the items' data, not their indexes.
    BOOL SortItems(PFNLVCOMPARE pfnCompare, DWORD_PTR dwData) { return (BOOL)::SendMessageA(m_hWnd, LVM_SORTITEMS, dwData, (LPARAM)pfnCompare); }

    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class QXAFX_API CTreeCtrl : public CWnd
{
    DECLARE_DYNAMIC(CTreeCtrl)
public:
    CTreeCtrl() {}
    virtual ~CTreeCtrl();
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    BOOL GetItemRect(HTREEITEM hItem, LPRECT lpRect, BOOL bTextOnly) const;
    UINT GetCount() const { return (UINT)::SendMessageA(m_hWnd, TVM_GETCOUNT, 0, 0); }
    UINT GetIndent() const { return (UINT)::SendMessageA(m_hWnd, TVM_GETINDENT, 0, 0); }
    void SetIndent(UINT nIndent) { ::SendMessageA(m_hWnd, TVM_SETINDENT, nIndent, 0); }
    CImageList* GetImageList(UINT nImageList) const { return CImageList::FromHandle((HIMAGELIST)::SendMessageA(m_hWnd, TVM_GETIMAGELIST, nImageList, 0)); }
    CImageList* SetImageList(CImageList* pImageList, int nImageListType)
    { return CImageList::FromHandle((HIMAGELIST)::SendMessageA(m_hWnd, TVM_SETIMAGELIST, nImageListType, (LPARAM)pImageList->GetSafeHandle())); }
    HTREEITEM GetNextItem(HTREEITEM hItem, UINT nCode) const { return (HTREEITEM)::SendMessageA(m_hWnd, TVM_GETNEXTITEM, nCode, (LPARAM)hItem); }
    HTREEITEM GetChildItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_CHILD); }
    HTREEITEM GetNextSiblingItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_NEXT); }
    HTREEITEM GetPrevSiblingItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_PREVIOUS); }
    HTREEITEM GetParentItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_PARENT); }
    HTREEITEM GetFirstVisibleItem() const { return GetNextItem(nullptr, TVGN_FIRSTVISIBLE); }
    HTREEITEM GetNextVisibleItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_NEXTVISIBLE); }
    HTREEITEM GetPrevVisibleItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_PREVIOUSVISIBLE); }
    HTREEITEM GetSelectedItem() const { return GetNextItem(nullptr, TVGN_CARET); }
    HTREEITEM GetDropHilightItem() const { return GetNextItem(nullptr, TVGN_DROPHILITE); }
    HTREEITEM GetRootItem() const { return GetNextItem(nullptr, TVGN_ROOT); }
    BOOL GetItem(TVITEMA* pItem) const { return (BOOL)::SendMessageA(m_hWnd, TVM_GETITEMA, 0, (LPARAM)pItem); }
    CString GetItemText(HTREEITEM hItem) const;
    BOOL GetItemImage(HTREEITEM hItem, int& nImage, int& nSelectedImage) const;
    UINT GetItemState(HTREEITEM hItem, UINT nStateMask) const;
    DWORD_PTR GetItemData(HTREEITEM hItem) const;
    BOOL SetItem(TVITEMA* pItem) { return (BOOL)::SendMessageA(m_hWnd, TVM_SETITEMA, 0, (LPARAM)pItem); }
    BOOL SetItem(HTREEITEM hItem, UINT nMask, LPCTSTR lpszItem, int nImage, int nSelectedImage, UINT nState, UINT nStateMask, LPARAM lParam);
    BOOL SetItemText(HTREEITEM hItem, LPCTSTR lpszItem) { return SetItem(hItem, TVIF_TEXT, lpszItem, 0, 0, 0, 0, 0); }
    BOOL SetItemImage(HTREEITEM hItem, int nImage, int nSelectedImage) { return SetItem(hItem, TVIF_IMAGE | TVIF_SELECTEDIMAGE, nullptr, nImage, nSelectedImage, 0, 0, 0); }
    BOOL SetItemState(HTREEITEM hItem, UINT nState, UINT nStateMask) { return SetItem(hItem, TVIF_STATE, nullptr, 0, 0, nState, nStateMask, 0); }
    BOOL SetItemData(HTREEITEM hItem, DWORD_PTR dwData) { return SetItem(hItem, TVIF_PARAM, nullptr, 0, 0, 0, 0, (LPARAM)dwData); }
    BOOL ItemHasChildren(HTREEITEM hItem) const;
    CEdit* GetEditControl() const { return (CEdit*)CWnd::FromHandle((HWND)::SendMessageA(m_hWnd, TVM_GETEDITCONTROL, 0, 0)); }
    UINT GetVisibleCount() const { return (UINT)::SendMessageA(m_hWnd, TVM_GETVISIBLECOUNT, 0, 0); }

    HTREEITEM InsertItem(LPTVINSERTSTRUCTA lpInsertStruct) { return (HTREEITEM)::SendMessageA(m_hWnd, TVM_INSERTITEMA, 0, (LPARAM)lpInsertStruct); }
    HTREEITEM InsertItem(UINT nMask, LPCTSTR lpszItem, int nImage, int nSelectedImage, UINT nState, UINT nStateMask,
                         LPARAM lParam, HTREEITEM hParent, HTREEITEM hInsertAfter);
    HTREEITEM InsertItem(LPCTSTR lpszItem, HTREEITEM hParent = TVI_ROOT, HTREEITEM hInsertAfter = TVI_LAST);
    HTREEITEM InsertItem(LPCTSTR lpszItem, int nImage, int nSelectedImage, HTREEITEM hParent = TVI_ROOT, HTREEITEM hInsertAfter = TVI_LAST);
    BOOL DeleteItem(HTREEITEM hItem) { return (BOOL)::SendMessageA(m_hWnd, TVM_DELETEITEM, 0, (LPARAM)hItem); }
    BOOL DeleteAllItems() { return (BOOL)::SendMessageA(m_hWnd, TVM_DELETEITEM, 0, (LPARAM)TVI_ROOT); }
    BOOL Expand(HTREEITEM hItem, UINT nCode) { return (BOOL)::SendMessageA(m_hWnd, TVM_EXPAND, nCode, (LPARAM)hItem); }
    BOOL Select(HTREEITEM hItem, UINT nCode) { return (BOOL)::SendMessageA(m_hWnd, TVM_SELECTITEM, nCode, (LPARAM)hItem); }
    BOOL SelectItem(HTREEITEM hItem) { return Select(hItem, TVGN_CARET); }
    BOOL SelectDropTarget(HTREEITEM hItem) { return Select(hItem, TVGN_DROPHILITE); }
    BOOL SelectSetFirstVisible(HTREEITEM hItem) { return Select(hItem, TVGN_FIRSTVISIBLE); }
    CEdit* EditLabel(HTREEITEM hItem) { return (CEdit*)CWnd::FromHandle((HWND)::SendMessageA(m_hWnd, TVM_EDITLABELA, 0, (LPARAM)hItem)); }
    HTREEITEM HitTest(CPoint pt, UINT* pFlags = nullptr) const;
    HTREEITEM HitTest(TVHITTESTINFO* pHitTestInfo) const { return (HTREEITEM)::SendMessageA(m_hWnd, TVM_HITTEST, 0, (LPARAM)pHitTestInfo); }
    CImageList* CreateDragImage(HTREEITEM hItem);
    BOOL SortChildren(HTREEITEM hItem) { return (BOOL)::SendMessageA(m_hWnd, TVM_SORTCHILDREN, 0, (LPARAM)hItem); }
    BOOL EnsureVisible(HTREEITEM hItem) { return (BOOL)::SendMessageA(m_hWnd, TVM_ENSUREVISIBLE, 0, (LPARAM)hItem); }
    BOOL SortChildrenCB(LPTVSORTCB pSort) { return (BOOL)::SendMessageA(m_hWnd, TVM_SORTCHILDRENCB, 0, (LPARAM)pSort); }
};

class QXAFX_API CSpinButtonCtrl : public CWnd
{
    DECLARE_DYNAMIC(CSpinButtonCtrl)
public:
    CSpinButtonCtrl() {}
    virtual ~CSpinButtonCtrl();
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    BOOL SetAccel(int nAccel, UDACCEL* pAccel) { return (BOOL)::SendMessageA(m_hWnd, UDM_SETACCEL, nAccel, (LPARAM)pAccel); }
    UINT GetAccel(int nAccel, UDACCEL* pAccel) const { return (UINT)::SendMessageA(m_hWnd, UDM_GETACCEL, nAccel, (LPARAM)pAccel); }
    int SetBase(int nBase) { return (int)::SendMessageA(m_hWnd, UDM_SETBASE, nBase, 0); }
    UINT GetBase() const { return (UINT)::SendMessageA(m_hWnd, UDM_GETBASE, 0, 0); }
    CWnd* SetBuddy(CWnd* pWndBuddy) { return CWnd::FromHandle((HWND)::SendMessageA(m_hWnd, UDM_SETBUDDY, (WPARAM)pWndBuddy->GetSafeHwnd(), 0)); }
    CWnd* GetBuddy() const { return CWnd::FromHandle((HWND)::SendMessageA(m_hWnd, UDM_GETBUDDY, 0, 0)); }
    int SetPos(int nPos) { return (short)LOWORD(::SendMessageA(m_hWnd, UDM_SETPOS, 0, MAKELPARAM(nPos, 0))); }
    // The high word of the control's answer flags an error; the position is the low word.
    int GetPos() const { return (int)::SendMessageA(m_hWnd, UDM_GETPOS, 0, 0); }
    void SetRange(int nLower, int nUpper) { ::SendMessageA(m_hWnd, UDM_SETRANGE, 0, MAKELPARAM(nUpper, nLower)); }
    void SetRange32(int nLower, int nUpper) { ::SendMessageA(m_hWnd, UDM_SETRANGE32, nLower, nUpper); }
    DWORD GetRange() const { return (DWORD)::SendMessageA(m_hWnd, UDM_GETRANGE, 0, 0); }
    void GetRange(int& lower, int& upper) const;
    void GetRange32(int& lower, int& upper) const { ::SendMessageA(m_hWnd, UDM_GETRANGE32, (WPARAM)&lower, (LPARAM)&upper); }
};

class QXAFX_API CSliderCtrl : public CWnd
{
    DECLARE_DYNAMIC(CSliderCtrl)
public:
    CSliderCtrl() {}
    virtual ~CSliderCtrl();
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    int GetLineSize() const { return (int)::SendMessageA(m_hWnd, TBM_GETLINESIZE, 0, 0); }
    int SetLineSize(int nSize) { return (int)::SendMessageA(m_hWnd, TBM_SETLINESIZE, 0, nSize); }
    int GetPageSize() const { return (int)::SendMessageA(m_hWnd, TBM_GETPAGESIZE, 0, 0); }
    int SetPageSize(int nSize) { return (int)::SendMessageA(m_hWnd, TBM_SETPAGESIZE, 0, nSize); }
    int GetRangeMax() const { return (int)::SendMessageA(m_hWnd, TBM_GETRANGEMAX, 0, 0); }
    int GetRangeMin() const { return (int)::SendMessageA(m_hWnd, TBM_GETRANGEMIN, 0, 0); }
    void GetRange(int& nMin, int& nMax) const { nMin = GetRangeMin(); nMax = GetRangeMax(); }
    void SetRangeMin(int nMin, BOOL bRedraw = FALSE) { ::SendMessageA(m_hWnd, TBM_SETRANGEMIN, bRedraw, nMin); }
    void SetRangeMax(int nMax, BOOL bRedraw = FALSE) { ::SendMessageA(m_hWnd, TBM_SETRANGEMAX, bRedraw, nMax); }
    void SetRange(int nMin, int nMax, BOOL bRedraw = FALSE) { SetRangeMin(nMin, FALSE); SetRangeMax(nMax, bRedraw); }
    void GetSelection(int& nMin, int& nMax) const;
    void SetSelection(int nMin, int nMax);
    void GetChannelRect(LPRECT lprc) const { ::SendMessageA(m_hWnd, TBM_GETCHANNELRECT, 0, (LPARAM)lprc); }
    void GetThumbRect(LPRECT lprc) const { ::SendMessageA(m_hWnd, TBM_GETTHUMBRECT, 0, (LPARAM)lprc); }
    int GetPos() const { return (int)::SendMessageA(m_hWnd, TBM_GETPOS, 0, 0); }
    void SetPos(int nPos) { ::SendMessageA(m_hWnd, TBM_SETPOS, TRUE, nPos); }
    UINT GetNumTics() const { return (UINT)::SendMessageA(m_hWnd, TBM_GETNUMTICS, 0, 0); }
    int GetTic(int nTic) const { return (int)::SendMessageA(m_hWnd, TBM_GETTIC, nTic, 0); }
    BOOL SetTic(int nTic) { return (BOOL)::SendMessageA(m_hWnd, TBM_SETTIC, 0, nTic); }
    void SetTicFreq(int nFreq) { ::SendMessageA(m_hWnd, TBM_SETTICFREQ, nFreq, 0); }
    void ClearSel(BOOL bRedraw = FALSE) { ::SendMessageA(m_hWnd, TBM_CLEARSEL, bRedraw, 0); }
    void ClearTics(BOOL bRedraw = FALSE) { ::SendMessageA(m_hWnd, TBM_CLEARTICS, bRedraw, 0); }
};

class QXAFX_API CTabCtrl : public CWnd
{
    DECLARE_DYNAMIC(CTabCtrl)
public:
    CTabCtrl() {}
    virtual ~CTabCtrl();
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    CImageList* GetImageList() const { return CImageList::FromHandle((HIMAGELIST)::SendMessageA(m_hWnd, TCM_GETIMAGELIST, 0, 0)); }
    CImageList* SetImageList(CImageList* pImageList)
    { return CImageList::FromHandle((HIMAGELIST)::SendMessageA(m_hWnd, TCM_SETIMAGELIST, 0, (LPARAM)pImageList->GetSafeHandle())); }
    int GetItemCount() const { return (int)::SendMessageA(m_hWnd, TCM_GETITEMCOUNT, 0, 0); }
    BOOL GetItem(int nItem, TCITEMA* pTabCtrlItem) const { return (BOOL)::SendMessageA(m_hWnd, TCM_GETITEMA, nItem, (LPARAM)pTabCtrlItem); }
    BOOL SetItem(int nItem, TCITEMA* pTabCtrlItem) { return (BOOL)::SendMessageA(m_hWnd, TCM_SETITEMA, nItem, (LPARAM)pTabCtrlItem); }
    BOOL GetItemRect(int nItem, LPRECT lpRect) const { return (BOOL)::SendMessageA(m_hWnd, TCM_GETITEMRECT, nItem, (LPARAM)lpRect); }
    int GetCurSel() const { return (int)::SendMessageA(m_hWnd, TCM_GETCURSEL, 0, 0); }
    int SetCurSel(int nItem) { return (int)::SendMessageA(m_hWnd, TCM_SETCURSEL, nItem, 0); }
    int GetCurFocus() const { return (int)::SendMessageA(m_hWnd, TCM_GETCURFOCUS, 0, 0); }
    CSize SetItemSize(CSize size) { return CSize((DWORD)::SendMessageA(m_hWnd, TCM_SETITEMSIZE, 0, MAKELPARAM(size.cx, size.cy))); }
    void SetPadding(CSize size) { ::SendMessageA(m_hWnd, TCM_SETPADDING, 0, MAKELPARAM(size.cx, size.cy)); }
    int GetRowCount() const { return (int)::SendMessageA(m_hWnd, TCM_GETROWCOUNT, 0, 0); }
    BOOL InsertItem(int nItem, TCITEMA* pTabCtrlItem) { return (BOOL)::SendMessageA(m_hWnd, TCM_INSERTITEMA, nItem, (LPARAM)pTabCtrlItem) != -1; }
    BOOL InsertItem(int nItem, LPCTSTR lpszItem);
    BOOL DeleteItem(int nItem) { return (BOOL)::SendMessageA(m_hWnd, TCM_DELETEITEM, nItem, 0); }
    BOOL DeleteAllItems() { return (BOOL)::SendMessageA(m_hWnd, TCM_DELETEALLITEMS, 0, 0); }
    void AdjustRect(BOOL bLarger, LPRECT lpRect) { ::SendMessageA(m_hWnd, TCM_ADJUSTRECT, bLarger, (LPARAM)lpRect); }
    void RemoveImage(int nImage) { ::SendMessageA(m_hWnd, TCM_REMOVEIMAGE, nImage, 0); }
    int HitTest(TCHITTESTINFO* pHitTestInfo) const { return (int)::SendMessageA(m_hWnd, TCM_HITTEST, 0, (LPARAM)pHitTestInfo); }
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class QXAFX_API CProgressCtrl : public CWnd
{
    DECLARE_DYNAMIC(CProgressCtrl)
public:
    CProgressCtrl() {}
    virtual ~CProgressCtrl();
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    void SetRange(short nLower, short nUpper) { ::SendMessageA(m_hWnd, PBM_SETRANGE, 0, MAKELPARAM(nLower, nUpper)); }
    void SetRange32(int nLower, int nUpper) { ::SendMessageA(m_hWnd, PBM_SETRANGE32, nLower, nUpper); }
    void GetRange(int& nLower, int& nUpper) const;
    int GetPos() const { return (int)::SendMessageA(m_hWnd, PBM_GETPOS, 0, 0); }
    int SetPos(int nPos) { return (int)::SendMessageA(m_hWnd, PBM_SETPOS, nPos, 0); }
    int OffsetPos(int nPos) { return (int)::SendMessageA(m_hWnd, PBM_DELTAPOS, nPos, 0); }
    int SetStep(int nStep) { return (int)::SendMessageA(m_hWnd, PBM_SETSTEP, nStep, 0); }
    int StepIt() { return (int)::SendMessageA(m_hWnd, PBM_STEPIT, 0, 0); }
};

// Over the rich edit control of riched20.dll, loaded on first creation.
class QXAFX_API CRichEditCtrl : public CWnd
{
    DECLARE_DYNAMIC(CRichEditCtrl)
public:
    CRichEditCtrl() {}
    virtual ~CRichEditCtrl();
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    BOOL CanUndo() const { return (BOOL)::SendMessageA(m_hWnd, EM_CANUNDO, 0, 0); }
    int GetLineCount() const { return (int)::SendMessageA(m_hWnd, EM_GETLINECOUNT, 0, 0); }
    BOOL GetModify() const { return (BOOL)::SendMessageA(m_hWnd, EM_GETMODIFY, 0, 0); }
    void SetModify(BOOL bModified = TRUE) { ::SendMessageA(m_hWnd, EM_SETMODIFY, bModified, 0); }
    void GetRect(LPRECT lpRect) const { ::SendMessageA(m_hWnd, EM_GETRECT, 0, (LPARAM)lpRect); }
    void SetRect(LPCRECT lpRect) { ::SendMessageA(m_hWnd, EM_SETRECT, 0, (LPARAM)lpRect); }
    CPoint GetCharPos(long lChar) const;
    void SetOptions(WORD wOp, DWORD dwFlags) { ::SendMessageA(m_hWnd, EM_SETOPTIONS, wOp, dwFlags); }
    int GetLine(int nIndex, LPTSTR lpszBuffer, int nMaxLength) const;
    BOOL CanPaste(UINT nFormat = 0) const { return (BOOL)::SendMessageA(m_hWnd, EM_CANPASTE, nFormat, 0); }
    void GetSel(long& nStartChar, long& nEndChar) const;
    void GetSel(CHARRANGE& cr) const { ::SendMessageA(m_hWnd, EM_EXGETSEL, 0, (LPARAM)&cr); }
    void LimitText(long nChars = 0) { ::SendMessageA(m_hWnd, EM_EXLIMITTEXT, 0, nChars); }
    long LineFromChar(long nIndex) const { return (long)::SendMessageA(m_hWnd, EM_EXLINEFROMCHAR, 0, nIndex); }
    void SetSel(long nStartChar, long nEndChar);
    void SetSel(CHARRANGE& cr) { ::SendMessageA(m_hWnd, EM_EXSETSEL, 0, (LPARAM)&cr); }
    DWORD GetDefaultCharFormat(CHARFORMATA& cf) const;
    DWORD GetSelectionCharFormat(CHARFORMATA& cf) const;
    long GetEventMask() const { return (long)::SendMessageA(m_hWnd, EM_GETEVENTMASK, 0, 0); }
    long GetLimitText() const { return (long)::SendMessageA(m_hWnd, EM_GETLIMITTEXT, 0, 0); }
    DWORD GetParaFormat(PARAFORMAT& pf) const;
    long GetSelText(LPSTR lpBuf) const { return (long)::SendMessageA(m_hWnd, EM_GETSELTEXT, 0, (LPARAM)lpBuf); }
    CString GetSelText() const;
    WORD GetSelectionType() const { return (WORD)::SendMessageA(m_hWnd, EM_SELECTIONTYPE, 0, 0); }
    COLORREF SetBackgroundColor(BOOL bSysColor, COLORREF cr) { return (COLORREF)::SendMessageA(m_hWnd, EM_SETBKGNDCOLOR, bSysColor, cr); }
    BOOL SetDefaultCharFormat(CHARFORMATA& cf);
    BOOL SetSelectionCharFormat(CHARFORMATA& cf);
    BOOL SetWordCharFormat(CHARFORMATA& cf);
    DWORD SetEventMask(DWORD dwEventMask) { return (DWORD)::SendMessageA(m_hWnd, EM_SETEVENTMASK, 0, dwEventMask); }
    BOOL SetParaFormat(PARAFORMAT& pf);
    BOOL SetTargetDevice(HDC hDC, long lLineWidth) { return (BOOL)::SendMessageA(m_hWnd, EM_SETTARGETDEVICE, (WPARAM)hDC, lLineWidth); }
    long GetTextLength() const { return (long)::SendMessageA(m_hWnd, WM_GETTEXTLENGTH, 0, 0); }
    BOOL SetReadOnly(BOOL bReadOnly = TRUE) { return (BOOL)::SendMessageA(m_hWnd, EM_SETREADONLY, bReadOnly, 0); }
    int GetFirstVisibleLine() const { return (int)::SendMessageA(m_hWnd, EM_GETFIRSTVISIBLELINE, 0, 0); }
    void EmptyUndoBuffer() { ::SendMessageA(m_hWnd, EM_EMPTYUNDOBUFFER, 0, 0); }
    int LineIndex(int nLine = -1) const { return (int)::SendMessageA(m_hWnd, EM_LINEINDEX, nLine, 0); }
    int LineLength(int nLine = -1) const { return (int)::SendMessageA(m_hWnd, EM_LINELENGTH, nLine, 0); }
    void LineScroll(int nLines, int nChars = 0) { ::SendMessageA(m_hWnd, EM_LINESCROLL, nChars, nLines); }
    void ReplaceSel(LPCTSTR lpszNewText, BOOL bCanUndo = FALSE) { ::SendMessageA(m_hWnd, EM_REPLACESEL, bCanUndo, (LPARAM)lpszNewText); }
    long FindText(DWORD dwFlags, FINDTEXTEXA* pFindText) const { return (long)::SendMessageA(m_hWnd, EM_FINDTEXTEX, dwFlags, (LPARAM)pFindText); }
    long FormatRange(FORMATRANGE* pfr, BOOL bDisplay = TRUE) { return (long)::SendMessageA(m_hWnd, EM_FORMATRANGE, bDisplay, (LPARAM)pfr); }
    void HideSelection(BOOL bHide, BOOL bPerm) { ::SendMessageA(m_hWnd, EM_HIDESELECTION, bHide, bPerm); }
    void PasteSpecial(UINT nClipFormat, DWORD dvAspect = 0, HMETAFILE hMF = nullptr);
    void RequestResize() { ::SendMessageA(m_hWnd, EM_REQUESTRESIZE, 0, 0); }
    long StreamIn(int nFormat, EDITSTREAM& es) { return (long)::SendMessageA(m_hWnd, EM_STREAMIN, nFormat, (LPARAM)&es); }
    long StreamOut(int nFormat, EDITSTREAM& es) { return (long)::SendMessageA(m_hWnd, EM_STREAMOUT, nFormat, (LPARAM)&es); }
    BOOL Undo() { return (BOOL)::SendMessageA(m_hWnd, EM_UNDO, 0, 0); }
    void Clear() { ::SendMessageA(m_hWnd, WM_CLEAR, 0, 0); }
    void Copy() { ::SendMessageA(m_hWnd, WM_COPY, 0, 0); }
    void Cut() { ::SendMessageA(m_hWnd, WM_CUT, 0, 0); }
    void Paste() { ::SendMessageA(m_hWnd, WM_PASTE, 0, 0); }
};

class QXAFX_API CToolBarCtrl : public CWnd
{
    DECLARE_DYNAMIC(CToolBarCtrl)
public:
    CToolBarCtrl() {}
    virtual ~CToolBarCtrl();
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    BOOL EnableButton(int nID, BOOL bEnable = TRUE) { return (BOOL)::SendMessageA(m_hWnd, TB_ENABLEBUTTON, nID, MAKELPARAM(bEnable, 0)); }
    BOOL CheckButton(int nID, BOOL bCheck = TRUE) { return (BOOL)::SendMessageA(m_hWnd, TB_CHECKBUTTON, nID, MAKELPARAM(bCheck, 0)); }
    BOOL PressButton(int nID, BOOL bPress = TRUE) { return (BOOL)::SendMessageA(m_hWnd, TB_PRESSBUTTON, nID, MAKELPARAM(bPress, 0)); }
    BOOL HideButton(int nID, BOOL bHide = TRUE) { return (BOOL)::SendMessageA(m_hWnd, TB_HIDEBUTTON, nID, MAKELPARAM(bHide, 0)); }
    BOOL Indeterminate(int nID, BOOL bIndeterminate = TRUE) { return (BOOL)::SendMessageA(m_hWnd, TB_INDETERMINATE, nID, MAKELPARAM(bIndeterminate, 0)); }
    BOOL IsButtonEnabled(int nID) const { return (BOOL)::SendMessageA(m_hWnd, TB_ISBUTTONENABLED, nID, 0); }
    BOOL IsButtonChecked(int nID) const { return (BOOL)::SendMessageA(m_hWnd, TB_ISBUTTONCHECKED, nID, 0); }
    BOOL IsButtonPressed(int nID) const { return (BOOL)::SendMessageA(m_hWnd, TB_ISBUTTONPRESSED, nID, 0); }
    BOOL IsButtonHidden(int nID) const { return (BOOL)::SendMessageA(m_hWnd, TB_ISBUTTONHIDDEN, nID, 0); }
    BOOL SetState(int nID, UINT nState) { return (BOOL)::SendMessageA(m_hWnd, TB_SETSTATE, nID, MAKELPARAM(nState, 0)); }
    int GetState(int nID) const { return (int)::SendMessageA(m_hWnd, TB_GETSTATE, nID, 0); }
    BOOL GetButton(int nIndex, LPTBBUTTON lpButton) const { return (BOOL)::SendMessageA(m_hWnd, TB_GETBUTTON, nIndex, (LPARAM)lpButton); }
    int GetButtonCount() const { return (int)::SendMessageA(m_hWnd, TB_BUTTONCOUNT, 0, 0); }
    BOOL GetItemRect(int nIndex, LPRECT lpRect) const { return (BOOL)::SendMessageA(m_hWnd, TB_GETITEMRECT, nIndex, (LPARAM)lpRect); }
    int CommandToIndex(UINT nID) const { return (int)::SendMessageA(m_hWnd, TB_COMMANDTOINDEX, nID, 0); }
    BOOL SetButtonSize(CSize size) { return (BOOL)::SendMessageA(m_hWnd, TB_SETBUTTONSIZE, 0, MAKELPARAM(size.cx, size.cy)); }
    BOOL SetBitmapSize(CSize size) { return (BOOL)::SendMessageA(m_hWnd, TB_SETBITMAPSIZE, 0, MAKELPARAM(size.cx, size.cy)); }
    CToolTipCtrl* GetToolTips() const;
    void SetOwner(CWnd* pWnd) { ::SendMessageA(m_hWnd, TB_SETPARENT, (WPARAM)pWnd->GetSafeHwnd(), 0); }
    int GetRows() const { return (int)::SendMessageA(m_hWnd, TB_GETROWS, 0, 0); }
    void SetRows(int nRows, BOOL bLarger, LPRECT lpRect) { ::SendMessageA(m_hWnd, TB_SETROWS, MAKEWPARAM(nRows, bLarger), (LPARAM)lpRect); }
    // Bitmaps from a resource of the resource chain, or a bitmap handle.
    int AddBitmap(int nNumButtons, UINT nBitmapID);
    int AddBitmap(int nNumButtons, CBitmap* pBitmap);
    BOOL AddButtons(int nNumButtons, LPTBBUTTON lpButtons) { return (BOOL)::SendMessageA(m_hWnd, TB_ADDBUTTONSA, nNumButtons, (LPARAM)lpButtons); }
    BOOL InsertButton(int nIndex, LPTBBUTTON lpButton) { return (BOOL)::SendMessageA(m_hWnd, TB_INSERTBUTTONA, nIndex, (LPARAM)lpButton); }
    BOOL DeleteButton(int nIndex) { return (BOOL)::SendMessageA(m_hWnd, TB_DELETEBUTTON, nIndex, 0); }
    int AddStrings(LPCTSTR lpszStrings) { return (int)::SendMessageA(m_hWnd, TB_ADDSTRINGA, 0, (LPARAM)lpszStrings); }
    void AutoSize() { ::SendMessageA(m_hWnd, TB_AUTOSIZE, 0, 0); }
    void Customize() { ::SendMessageA(m_hWnd, TB_CUSTOMIZE, 0, 0); }
    void SetButtonStructSize(int nSize) { ::SendMessageA(m_hWnd, TB_BUTTONSTRUCTSIZE, nSize, 0); }
};

class QXAFX_API CToolTipCtrl : public CWnd
{
    DECLARE_DYNAMIC(CToolTipCtrl)
public:
    CToolTipCtrl() {}
    virtual ~CToolTipCtrl();
    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = 0);

    void GetText(CString& str, CWnd* pWnd, UINT_PTR nIDTool = 0) const;
    BOOL GetToolInfo(TTTOOLINFOA* pToolInfo, CWnd* pWnd, UINT_PTR nIDTool = 0) const;
    void SetToolInfo(TTTOOLINFOA* pToolInfo) { ::SendMessageA(m_hWnd, TTM_SETTOOLINFOA, 0, (LPARAM)pToolInfo); }
    void SetToolRect(CWnd* pWnd, UINT_PTR nIDTool, LPCRECT lpRect);
    int GetToolCount() const { return (int)::SendMessageA(m_hWnd, TTM_GETTOOLCOUNT, 0, 0); }
    void SetDelayTime(UINT nDelay) { ::SendMessageA(m_hWnd, TTM_SETDELAYTIME, TTDT_AUTOMATIC, nDelay); }
    void Activate(BOOL bActivate) { ::SendMessageA(m_hWnd, TTM_ACTIVATE, bActivate, 0); }
    // A tool is the window pWnd (nIDTool 0) or an area of it; the text may be a string
    // resource id, found through the resource chain, or LPSTR_TEXTCALLBACK.
    BOOL AddTool(CWnd* pWnd, LPCTSTR lpszText = LPSTR_TEXTCALLBACK, LPCRECT lpRectTool = nullptr, UINT_PTR nIDTool = 0);
    BOOL AddTool(CWnd* pWnd, UINT nIDText, LPCRECT lpRectTool = nullptr, UINT_PTR nIDTool = 0);
    void DelTool(CWnd* pWnd, UINT_PTR nIDTool = 0);
    void RelayEvent(LPMSG lpMsg) { ::SendMessageA(m_hWnd, TTM_RELAYEVENT, 0, (LPARAM)lpMsg); }
    void UpdateTipText(LPCTSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool = 0);
    void Pop() { ::SendMessageA(m_hWnd, TTM_POP, 0, 0); }
protected:
    void FillInToolInfo(TTTOOLINFOA& ti, CWnd* pWnd, UINT_PTR nIDTool) const;
};
