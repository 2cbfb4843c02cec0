// Owner-drawn controls that the dialogs of the whole system share: combo boxes whose items
// show an icon or a colour swatch beside their text, the font list, lists filled from one
// resource string, a report list whose columns come from resource strings, the axis
// selection lists and the small toolbar of image buttons.
//
// One item painter object, owned by the control, draws every item, so that one control
// class can show icons, swatches or plain text by swapping its painter. The control sets
// the painter's image and text before each draw.
//
// A list resource is one string-table string of double-quoted items ("0.2" "0.5" "1");
// a list with images has a bitmap of the same id with one 32-pixel-wide image per item,
// white being transparent.
#pragma once

#include <afxcmn.h>
#include <afxwin.h>

#include "QDExport.h"

class QD_API CQUDrawCtrlItem : public CObject
{
    DECLARE_DYNCREATE(CQUDrawCtrlItem)
public:
    CQUDrawCtrlItem();

    // Draws the image of one item at the left of the rectangle; the base draws nothing.
    virtual BOOL DrawImage(CDC* pDC, int nItem, CRect& rect, BOOL bSelected);
    // Moves the text rectangle past the image.
    virtual void AdjustTextRect(CRect& rect, int cx, int cy);
    virtual void SetOption(int nOption);

    // Paints one item as a WM_DRAWITEM message asks.
    void Draw(LPDRAWITEMSTRUCT lpDrawItemStruct);

    void SetSize(CSize size) { m_cx = size.cx; m_cy = size.cy; }
    CSize GetSize() const { return CSize(m_cx, m_cy); }
    void SetText(LPCTSTR lpszText) { m_strText = lpszText; }
    void SetEnabled(BOOL bEnabled) { m_bEnabled = bEnabled; }
    void SetHighlight(BOOL bHighlight) { m_bHighlight = bHighlight; }
    // The icon handle or the swatch colour of the item about to be drawn.
    void SetImage(DWORD_PTR dwImage) { m_dwImage = dwImage; }
    void SetPlainSelected(BOOL bPlain) { m_bPlainSelected = bPlain; }
    void SetTextBeside(BOOL bBeside) { m_bTextBeside = bBeside; }

protected:
    int m_cx, m_cy;
    CString m_strText;
    BOOL m_bEnabled;
    BOOL m_bHighlight;
    DWORD_PTR m_dwImage;
    BOOL m_bTextBeside;
    BOOL m_bPlainSelected;
};

// Draws an icon, with the text beside it or below it.
class QD_API CQUDrawCtrlIconItem : public CQUDrawCtrlItem
{
    DECLARE_DYNCREATE(CQUDrawCtrlIconItem)
public:
    BOOL DrawImage(CDC* pDC, int nItem, CRect& rect, BOOL bSelected) override;
    void AdjustTextRect(CRect& rect, int cx, int cy) override;
    // Nonzero puts the text beside the icon, 0 below it.
    void SetOption(int nOption) override;
};

// Draws a square colour swatch.
class QD_API CQUDrawCtrlRectItem : public CQUDrawCtrlItem
{
    DECLARE_DYNCREATE(CQUDrawCtrlRectItem)
public:
    BOOL DrawImage(CDC* pDC, int nItem, CRect& rect, BOOL bSelected) override;
    void AdjustTextRect(CRect& rect, int cx, int cy) override;
};

// The combo boxes need CBS_OWNERDRAWFIXED and CBS_HASSTRINGS. Their users set the
// selection field's height, call SetRectSize, fill the list and select item 0.
class QD_API CQUImageComboBox : public CComboBox
{
public:
    CQUImageComboBox();
    ~CQUImageComboBox() override;

    CQUDrawCtrlItem* GetDrawCtrlItem() const { return m_pDrawItem; }
    // Stores a painter; the one before stays the caller's to delete.
    void SetDrawCtrlItem(CQUDrawCtrlItem* pItem) { m_pDrawItem = pItem; }
    void SetRectSize(CSize size);
    CSize GetRectSize() const { return m_size; }

    BOOL SetIntegerToComboBoxText(int nValue);
    int GetIntegerFromComboBoxText() const;
    // Shows the value rounded to nDecimals places, halves away from zero.
    BOOL SetDoubleToComboBoxText(double value, int nDecimals);
    double GetDoubleFromComboBoxText() const;

    void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) override;
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

protected:
    CQUDrawCtrlItem* m_pDrawItem;
    CSize m_size;
};

// A combo box filled from a list resource, with the list's images when it has them.
class QD_API CQUResImageComboBox : public CQUImageComboBox
{
public:
    CQUResImageComboBox();

    // Adds the items of string nID (fromString) or that many empty items, and loads the
    // bitmap nID as the images when withImages. Items with "%1" or "%2" show a date form.
    BOOL FillFromResource(UINT nID, BOOL bFromString, BOOL bWithImages);
    // How many items the next fill adds; 0 for every item of the string.
    void SetItemCount(int nCount) { m_nItemCount = nCount; }

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

protected:
    CImageList m_imageList;
    CString m_strResource;
    int m_nImageWidth, m_nImageHeight;
    int m_nItemCount;
};

class QD_API CQULinewidthComBox : public CQUResImageComboBox
{
public:
    // Fills from list nID without images and shows strText in the edit field.
    BOOL INILineWidthComboBox(UINT nID, CString strText);
};

class QD_API CQUStringComBox : public CQUResImageComboBox
{
public:
    // Appends the items of list nID (the list is not emptied) and selects nSel.
    BOOL INIResStringComboBox(UINT nID, int nSel);
};

// The kernel's colour table; an item's index is the kernel colour index.
class QD_API CQUColorComboBox : public CQUImageComboBox
{
public:
    CQUColorComboBox();
    void AddColorNames();
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

protected:
    int m_nColors;
};

// The kernel's fonts, each with an icon of its kind. Font index 0 is the default entry;
// when it is hidden, list index i shows font i + 1.
class QD_API CQUFontComboBox : public CQUImageComboBox
{
public:
    CQUFontComboBox();
    BOOL AddFontNames();
    // The font index of the selection, -1 when nothing is selected.
    int GetCurSel() const;
    int SetCurSel(int nFont);
    // Set before AddFontNames.
    BOOL ShowDefault(BOOL bShow) { m_bShowDefault = bShow; return TRUE; }
    BOOL IsShowDefault() const { return m_bShowDefault; }
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

protected:
    CImageList m_imageList;
    BOOL m_bShowDefault;
};

// A report list whose column titles come from string resources.
class QD_API CQUListCtrl : public CListCtrl
{
public:
    // One column per '|'-separated title of string nID, all of equal width.
    void InitColumns(UINT nID);
    // Replaces columns 0 .. nCount - 1, titled by strings nFirstID, nFirstID + 1, ...
    void InitCols(int nCount, UINT nFirstID);
    // Selects and focuses the visible item under the position of the current message;
    // its index, or -1 when no item is there.
    int SelectItemAtMessagePos();
};

// List-box twin of the image combo box, for the axis selection of the axis pages.
class QD_API CQUImageListBox : public CListBox
{
public:
    CQUImageListBox();
    ~CQUImageListBox() override;
    CQUDrawCtrlItem* GetDrawCtrlItem() const { return m_pDrawItem; }
    void SetDrawCtrlItem(CQUDrawCtrlItem* pItem) { m_pDrawItem = pItem; }
    void SetRectSize(CSize size);
    CSize GetRectSize() const { return m_size; }
    void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) override;

protected:
    CQUDrawCtrlItem* m_pDrawItem;
    CSize m_size;
};

class QD_API CQUAxisListBox : public CQUImageListBox
{
public:
    CQUAxisListBox();
    // Fills the list with nCount axes of list id2D (at most the four sides of a 2D layer).
    virtual BOOL FillIcons(UINT id2D, UINT id3D, int nCount);
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

protected:
    BOOL Fill(UINT nID, int nCount);
    CImageList m_imageList;
    CString m_strResource;
    int m_nImageWidth, m_nImageHeight;
    int m_nItemCount;
};

// The axis selection of a 3D layer: list id3D, front and back included.
class QD_API CQUAxisListBox3D : public CQUAxisListBox
{
public:
    BOOL FillIcons(UINT id2D, UINT id3D, int nCount) override;
};

// A row of image buttons from bitmap 421; button i carries command first image + i + 1121.
class QD_API CQUImageToolBarCtrl : public CToolBarCtrl
{
public:
    CQUImageToolBarCtrl();
    CQUImageToolBarCtrl(int nButtons, int nFirstImage);
    ~CQUImageToolBarCtrl() override;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    BYTE m_bButtonStyle; // TBSTYLE_ of every button; set before Create

protected:
    int m_nButtons;
    int m_nFirstImage;
    TBBUTTON* m_pButtons;
};
