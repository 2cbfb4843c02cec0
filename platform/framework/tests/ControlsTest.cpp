// Control wrappers: owner draw through reflection into a memory DC, item data of
// pointer size, and the common controls.
#include <afxcmn.h>
#include <qxtest/Pixels.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include <algorithm>

namespace {

const COLORREF kSwatchColours[] = {RGB(255, 0, 0), RGB(0, 128, 0), RGB(0, 0, 255)};

// A list of colour swatches: the item data is the colour, drawn as a filled rectangle.
class CSwatchList : public CListBox
{
public:
    std::vector<DWORD_PTR> m_deleted;
    int m_nCompares = 0;
    void DrawItem(LPDRAWITEMSTRUCT lpDIS) override
    {
        CDC* pDC = CDC::FromHandle(lpDIS->hDC);
        pDC->FillSolidRect(&lpDIS->rcItem, (COLORREF)lpDIS->itemData);
        if (lpDIS->itemState & ODS_SELECTED) {
            CRect rc(lpDIS->rcItem);
            rc.DeflateRect(2, 2);
            pDC->FillSolidRect(&rc, RGB(255, 255, 0));
        }
    }
    void MeasureItem(LPMEASUREITEMSTRUCT lpMIS) override { lpMIS->itemHeight = 17; }
    // Sorted by the colour's blue part, descending.
    int CompareItem(LPCOMPAREITEMSTRUCT lpCIS) override
    {
        m_nCompares++;
        int b1 = GetBValue((COLORREF)lpCIS->itemData1), b2 = GetBValue((COLORREF)lpCIS->itemData2);
        return b1 > b2 ? -1 : (b1 < b2 ? 1 : 0);
    }
    void DeleteItem(LPDELETEITEMSTRUCT lpDIS) override { m_deleted.push_back(lpDIS->itemData); }
};

class CParentWnd : public CWnd
{
};

}

TEST(OwnerDraw, ListBoxItemsAreMeasuredSortedDrawnAndDeletedByTheControl)
{
    CParentWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "parent", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr));
    CSwatchList list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LBS_OWNERDRAWFIXED | LBS_SORT, CRect(0, 0, 100, 100), &parent, 10));
    for (COLORREF c : kSwatchColours)
        list.AddString((LPCTSTR)(DWORD_PTR)c);   // no strings: the data is the item
    ASSERT_EQ(list.GetCount(), 3);
    EXPECT_GT(list.m_nCompares, 0);
    EXPECT_EQ((COLORREF)list.GetItemData(0), RGB(0, 0, 255));   // the bluest first

    // The parent receives WM_DRAWITEM and hands it to the list; it draws into our DC.
    qxtest::MemoryCanvas canvas(40, 40);
    DRAWITEMSTRUCT dis = {};
    dis.CtlType = ODT_LISTBOX;
    dis.CtlID = 10;
    dis.itemID = 0;
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = ODS_SELECTED;
    dis.hwndItem = list.m_hWnd;
    dis.hDC = canvas.dc();
    dis.rcItem = {0, 0, 40, 20};
    dis.itemData = list.GetItemData(0);
    parent.SendMessage(WM_DRAWITEM, 10, (LPARAM)&dis);
    qxtest::Image image = canvas.Capture();
    EXPECT_EQ(image.ColorAt(0, 0), RGB(0, 0, 255));        // the swatch's border
    EXPECT_EQ(image.ColorAt(20, 10), RGB(255, 255, 0));    // the selection mark
    EXPECT_EQ(image.ColorAt(20, 30), RGB(255, 255, 255));  // outside the item

    MEASUREITEMSTRUCT mis = {ODT_LISTBOX, 10, 0, 0, 0, 0};
    parent.SendMessage(WM_MEASUREITEM, 10, (LPARAM)&mis);
    EXPECT_EQ(mis.itemHeight, 17u);

    // Emptying the list gives each item back for cleanup, with its full pointer-sized data.
    list.SetItemData(0, (DWORD_PTR)0x123456789AULL);
    list.ResetContent();
    ASSERT_EQ(list.m_deleted.size(), 3u);
    EXPECT_NE(std::find(list.m_deleted.begin(), list.m_deleted.end(), (DWORD_PTR)0x123456789AULL),
              list.m_deleted.end());
    parent.DestroyWindow();
}

TEST(OwnerDraw, ComboBoxDrawsThroughItsOwnDrawItem)
{
    class CColourCombo : public CComboBox
    {
    public:
        void DrawItem(LPDRAWITEMSTRUCT lpDIS) override
        {
            CDC::FromHandle(lpDIS->hDC)->FillSolidRect(&lpDIS->rcItem, (COLORREF)lpDIS->itemData);
        }
    };
    CParentWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "parent", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr));
    CColourCombo combo;
    ASSERT_TRUE(combo.Create(WS_CHILD | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS,
                             CRect(0, 0, 100, 200), &parent, 11));
    int n = combo.AddString("green");
    combo.SetItemData(n, RGB(0, 200, 0));
    combo.SetCurSel(n);
    EXPECT_NE(combo.SetItemHeight(-1, 20), CB_ERR);
    CString text;
    combo.GetLBText(n, text);
    EXPECT_STREQ(text, "green");

    qxtest::MemoryCanvas canvas(30, 10);
    DRAWITEMSTRUCT dis = {ODT_COMBOBOX, 11, (UINT)n, ODA_DRAWENTIRE, 0, combo.m_hWnd, canvas.dc(), {0, 0, 30, 10},
                          combo.GetItemData(n)};
    parent.SendMessage(WM_DRAWITEM, 11, (LPARAM)&dis);
    EXPECT_EQ(canvas.Capture().Count(RGB(0, 200, 0)), 300);
    parent.DestroyWindow();
}

TEST(CommonControls, ListAndTreeKeepTextAndPointerSizedData)
{
    CParentWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "parent", WS_POPUP, 0, 0, 300, 300, nullptr, nullptr));
    CListCtrl list;
    ASSERT_TRUE(list.Create(WS_CHILD | LVS_REPORT, CRect(0, 0, 200, 100), &parent, 20));
    EXPECT_EQ(list.InsertColumn(0, "Name", LVCFMT_LEFT, 80), 0);
    EXPECT_EQ(list.InsertColumn(1, "Value", LVCFMT_RIGHT, 60), 1);
    const char* names[] = {"gamma", "alpha", "beta"};
    const DWORD_PTR data[] = {0x300000000ULL, 0x100000000ULL, 0x200000000ULL};
    for (int i = 0; i < 3; i++) {
        int n = list.InsertItem(i, names[i]);
        list.SetItemText(n, 1, CString('x', i + 1));
        list.SetItemData(n, data[i]);
    }
    EXPECT_EQ(list.GetItemCount(), 3);
    EXPECT_STREQ(list.GetItemText(0, 1), "x");
    list.SortItems([](LPARAM a, LPARAM b, LPARAM) -> int { return a < b ? -1 : (a > b ? 1 : 0); }, 0);
    EXPECT_STREQ(list.GetItemText(0, 0), "alpha");
    EXPECT_EQ(list.GetItemData(2), (DWORD_PTR)0x300000000ULL);
    EXPECT_TRUE(list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED));
    EXPECT_EQ(list.GetSelectedCount(), 1u);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 1);
    EXPECT_TRUE(list.DeleteColumn(1));
    EXPECT_TRUE(list.DeleteItem(0));
    EXPECT_EQ(list.GetItemCount(), 2);

    CTreeCtrl tree;
    ASSERT_TRUE(tree.Create(WS_CHILD | TVS_HASBUTTONS, CRect(0, 100, 200, 200), &parent, 21));
    HTREEITEM hRoot = tree.InsertItem("Graph");
    HTREEITEM hLayer = tree.InsertItem("Layer 1", hRoot);
    tree.InsertItem("Plot", hLayer);
    tree.SetItemData(hLayer, (DWORD_PTR)&tree);
    EXPECT_EQ(tree.GetCount(), 3u);
    EXPECT_EQ(tree.GetChildItem(hRoot), hLayer);
    EXPECT_EQ(tree.GetParentItem(hLayer), hRoot);
    EXPECT_EQ(tree.GetItemData(hLayer), (DWORD_PTR)&tree);
    EXPECT_STREQ(tree.GetItemText(hLayer), "Layer 1");
    EXPECT_TRUE(tree.SetItemText(hLayer, "Layer A"));
    EXPECT_STREQ(tree.GetItemText(hLayer), "Layer A");
    EXPECT_TRUE(tree.SelectItem(hLayer));
    EXPECT_EQ(tree.GetSelectedItem(), hLayer);
    tree.DeleteItem(hLayer);
    EXPECT_EQ(tree.GetCount(), 1u);
    parent.DestroyWindow();
}

TEST(CommonControls, RangeControlsTabsImagesAndRichEdit)
{
    CParentWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "parent", WS_POPUP, 0, 0, 300, 300, nullptr, nullptr));
    CSpinButtonCtrl spin;
    ASSERT_TRUE(spin.Create(WS_CHILD, CRect(0, 0, 20, 20), &parent, 30));
    spin.SetRange(-5, 50);
    int lo, hi;
    spin.GetRange(lo, hi);
    EXPECT_EQ(lo, -5);
    EXPECT_EQ(hi, 50);
    spin.SetPos(12);
    EXPECT_EQ(LOWORD(spin.GetPos()), 12);

    CSliderCtrl slider;
    ASSERT_TRUE(slider.Create(WS_CHILD, CRect(0, 20, 100, 40), &parent, 31));
    slider.SetRange(10, 90);
    slider.SetPos(95);   // clamped by the control
    EXPECT_EQ(slider.GetPos(), 90);

    CProgressCtrl progress;
    ASSERT_TRUE(progress.Create(WS_CHILD, CRect(0, 40, 100, 50), &parent, 32));
    progress.SetRange32(0, 200);
    progress.SetStep(30);
    progress.StepIt();
    progress.OffsetPos(5);
    EXPECT_EQ(progress.GetPos(), 35);

    CTabCtrl tab;
    ASSERT_TRUE(tab.Create(WS_CHILD, CRect(0, 60, 200, 100), &parent, 33));
    tab.InsertItem(0, "Scale");
    tab.InsertItem(1, "Grid");
    EXPECT_EQ(tab.GetItemCount(), 2);
    tab.SetCurSel(1);
    EXPECT_EQ(tab.GetCurSel(), 1);

    CImageList images;
    ASSERT_TRUE(images.Create(16, 16, ILC_COLOR24 | ILC_MASK, 2, 2));
    CClientDC dc(&parent);
    CBitmap bmp;
    ASSERT_TRUE(bmp.CreateCompatibleBitmap(&dc, 32, 16));
    EXPECT_EQ(images.Add(&bmp, RGB(255, 0, 255)), 0);   // two images from one strip
    EXPECT_EQ(images.GetImageCount(), 2);
    HICON hIcon = images.ExtractIcon(1);
    EXPECT_NE(hIcon, nullptr);
    ::DestroyIcon(hIcon);
    tab.SetImageList(&images);
    EXPECT_EQ(tab.GetImageList(), &images);   // the permanent wrapper comes back

    CRichEditCtrl rich;
    ASSERT_TRUE(rich.Create(WS_CHILD | ES_MULTILINE, CRect(0, 100, 200, 200), &parent, 34));
    rich.SetWindowText("first line\nsecond");
    rich.SetSel(6, 10);
    EXPECT_STREQ(rich.GetSelText(), "line");
    long nStart, nEnd;
    rich.GetSel(nStart, nEnd);
    EXPECT_EQ(nStart, 6);
    EXPECT_EQ(nEnd, 10);
    rich.ReplaceSel("row");
    CString text;
    rich.GetWindowText(text);
    EXPECT_EQ(text.Left(9), CString("first row"));
    parent.DestroyWindow();
}

TEST(CommonControls, ToolBarButtonsAndToolTips)
{
    CParentWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "parent", WS_POPUP, 0, 0, 300, 300, nullptr, nullptr));
    CToolBarCtrl bar;
    ASSERT_TRUE(bar.Create(WS_CHILD | TBSTYLE_TOOLTIPS, CRect(0, 0, 300, 30), &parent, 40));
    CClientDC dc(&parent);
    CBitmap strip;
    ASSERT_TRUE(strip.CreateCompatibleBitmap(&dc, 32, 16));
    EXPECT_EQ(bar.AddBitmap(2, &strip), 0);
    TBBUTTON buttons[] = {{0, 401, TBSTATE_ENABLED, BTNS_CHECK, {}, 0, 0},
                          {1, 402, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0}};
    ASSERT_TRUE(bar.AddButtons(2, buttons));
    EXPECT_EQ(bar.GetButtonCount(), 2);
    EXPECT_TRUE(bar.CheckButton(401));
    EXPECT_TRUE(bar.IsButtonChecked(401));
    EXPECT_TRUE(bar.EnableButton(402, FALSE));
    EXPECT_FALSE(bar.IsButtonEnabled(402));
    EXPECT_EQ(bar.CommandToIndex(402), 1);

    CToolTipCtrl tips;
    ASSERT_TRUE(tips.Create(&parent));
    CButton button;
    ASSERT_TRUE(button.Create("b", WS_CHILD, CRect(0, 40, 50, 60), &parent, 41));
    EXPECT_TRUE(tips.AddTool(&button, "Apply the settings"));
    EXPECT_TRUE(tips.AddTool(&parent, "An area", CRect(100, 100, 120, 120), 7));
    EXPECT_EQ(tips.GetToolCount(), 2);
    CString text;
    tips.GetText(text, &button);
    EXPECT_STREQ(text, "Apply the settings");
    tips.UpdateTipText("Changed", &parent, 7);
    tips.GetText(text, &parent, 7);
    EXPECT_STREQ(text, "Changed");
    tips.DelTool(&button);
    EXPECT_EQ(tips.GetToolCount(), 1);
    parent.DestroyWindow();
}

namespace {

class CCheckParent : public CWnd
{
public:
    int m_nChanges = 0;
protected:
    afx_msg void OnCheckChange() { m_nChanges++; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCheckParent, CWnd)
    ON_CLBN_CHKCHANGE(50, OnCheckChange)
END_MESSAGE_MAP()

class CRecordingCheckList : public CCheckListBox
{
public:
    std::vector<DWORD_PTR> m_deleted;
    void DeleteItem(LPDELETEITEMSTRUCT lpDIS) override { m_deleted.push_back(lpDIS->itemData); }
};

}

TEST(CheckListBox, ChecksClicksDataAndCleanup)
{
    CCheckParent parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "parent", WS_POPUP, 0, 0, 300, 300, nullptr, nullptr));
    CRecordingCheckList list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LBS_OWNERDRAWFIXED | LBS_NOTIFY, CRect(0, 0, 200, 100), &parent, 50));
    list.AddString("X");
    list.AddString("Y");
    list.InsertString(0, "W");
    list.SetItemData(1, (DWORD_PTR)0xABCDEF012345ULL);
    EXPECT_EQ(list.GetItemData(1), (DWORD_PTR)0xABCDEF012345ULL);
    EXPECT_EQ(::SendMessageA(list.m_hWnd, LB_GETITEMDATA, 1, 0), (LRESULT)0xABCDEF012345ULL);
    EXPECT_EQ(list.GetItemData(0), 0u);
    EXPECT_EQ(list.GetCheck(1), 0);
    list.SetCheck(2, 1);
    EXPECT_EQ(list.GetCheck(2), 1);

    // A click on the check box of the first item checks it and tells the parent.
    CRect rc;
    list.GetItemRect(0, &rc);
    list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(rc.left + 2, rc.top + 2));
    list.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(rc.left + 2, rc.top + 2));
    EXPECT_EQ(list.GetCheck(0), 1);
    EXPECT_EQ(parent.m_nChanges, 1);
    // A click on the text selects without changing the check.
    list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(rc.right - 5, rc.top + 2));
    list.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(rc.right - 5, rc.top + 2));
    EXPECT_EQ(list.GetCheck(0), 1);
    EXPECT_EQ(parent.m_nChanges, 1);
    // A disabled item keeps its state.
    list.Enable(0, FALSE);
    list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(rc.left + 2, rc.top + 2));
    list.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(rc.left + 2, rc.top + 2));
    EXPECT_EQ(list.GetCheck(0), 1);
    EXPECT_EQ(parent.m_nChanges, 1);

    // The checked box is drawn into the item's left square.
    qxtest::MemoryCanvas canvas(100, 16);
    DRAWITEMSTRUCT dis = {ODT_LISTBOX, 50, 2, ODA_DRAWENTIRE, 0, list.m_hWnd, canvas.dc(), {0, 0, 100, 16}, 0};
    parent.SendMessage(WM_DRAWITEM, 50, (LPARAM)&dis);
    qxtest::Image image = canvas.Capture();
    int nDark = 0;
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16; x++)
            nDark += image.At(x, y) == 0;
    EXPECT_GT(nDark, 5);   // the check mark

    list.ResetContent();
    ASSERT_EQ(list.m_deleted.size(), 3u);
    EXPECT_NE(std::find(list.m_deleted.begin(), list.m_deleted.end(), (DWORD_PTR)0xABCDEF012345ULL),
              list.m_deleted.end());
    parent.DestroyWindow();
}
