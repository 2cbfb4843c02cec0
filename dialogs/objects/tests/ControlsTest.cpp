// The owner-drawn controls: filling from list resources, the numbers of the edit field,
// the font list's index shift, report columns, the image toolbar, and each painter's
// pixels drawn through WM_DRAWITEM into a memory DC. Also the library's entry.
#include <afxcmn.h>
#include <gtest/gtest.h>
#include <qxtest/Pixels.h>

#include <string>

#include "ObjectsResources.h"
#include "ObjectsTestResources.h"
#include "QKGraphObjects.h"
#include "QUControls.h"

extern "C" __declspec(dllimport) HINSTANCE qdfxGetQDHInst();

namespace {

class CParentWnd : public CWnd
{
};

const int kComboId = 100;
const DWORD kOwnerDrawCombo = WS_CHILD | WS_VISIBLE | CBS_DROPDOWN | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS;

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(parent.CreateEx(0, nullptr, "parent", WS_POPUP, 0, 0, 400, 400, nullptr, nullptr));
    }
    void TearDown() override { parent.DestroyWindow(); }

    std::string Item(CComboBox& combo, int i)
    {
        CString text;
        combo.GetLBText(i, text);
        return (LPCTSTR)text;
    }

    // Paints item `item` of a control through its parent into a fresh white canvas.
    qxtest::Image Paint(CWnd& control, int item, UINT state, UINT action = ODA_DRAWENTIRE)
    {
        qxtest::MemoryCanvas canvas(kWidth, kHeight);
        DRAWITEMSTRUCT dis = {};
        dis.CtlType = ODT_COMBOBOX;
        dis.CtlID = control.GetDlgCtrlID();
        dis.itemID = (UINT)item;
        dis.itemAction = action;
        dis.itemState = state;
        dis.hwndItem = control.m_hWnd;
        dis.hDC = canvas.dc();
        dis.rcItem = {0, 0, kWidth, kHeight};
        parent.SendMessage(WM_DRAWITEM, dis.CtlID, (LPARAM)&dis);
        return canvas.Capture();
    }

    // The leftmost column holding a pixel other than `background`, from column `from`.
    static int FirstInk(const qxtest::Image& image, COLORREF background, int from)
    {
        for (int x = from; x < image.width; ++x)
            for (int y = 0; y < image.height; ++y)
                if (image.ColorAt(x, y) != background)
                    return x;
        return -1;
    }

    static const int kWidth = 160, kHeight = 20;
    CParentWnd parent;
};

TEST_F(ControlsTest, LibraryJoinsTheResourceChainAndKeepsItsInstance)
{
    HMODULE module = ::GetModuleHandleA("qxdialogs.dll");
    ASSERT_NE(nullptr, module);
    EXPECT_EQ(module, qdfxGetQDHInst());
    CString widths;
    ASSERT_TRUE(widths.LoadString(IDS_QD_LINE_WIDTHS));
    EXPECT_STREQ("\"0.2\" \"0.5\" \"1\" \"1.5\" \"2\" \"3\" \"4\" \"5\"", (LPCTSTR)widths);
    EXPECT_NE(nullptr, ::FindResourceA(qdfxGetQDHInst(), MAKEINTRESOURCEA(IDB_QD_TEXT_TOOLS), (LPCSTR)RT_BITMAP));
}

TEST_F(ControlsTest, ListsFillFromResourceStrings)
{
    CQULinewidthComBox widths;
    ASSERT_TRUE(widths.Create(kOwnerDrawCombo, CRect(0, 0, 100, 200), &parent, kComboId));
    widths.INILineWidthComboBox(IDS_QD_LINE_WIDTHS, " ");
    ASSERT_EQ(8, widths.GetCount());
    EXPECT_EQ("0.2", Item(widths, 0));
    EXPECT_EQ("5", Item(widths, 7));
    CString text;
    widths.GetWindowText(text);
    EXPECT_STREQ(" ", (LPCTSTR)text);

    // A second fill appends; "&&" stays as written (it shows as one ampersand).
    CQUStringComBox ticks;
    ASSERT_TRUE(ticks.Create(kOwnerDrawCombo, CRect(0, 0, 100, 200), &parent, kComboId + 1));
    ticks.INIResStringComboBox(IDS_QD_TICKS_TOP, 2);
    EXPECT_EQ(2, ticks.GetCurSel());
    ticks.INIResStringComboBox(IDS_QD_APPLY_SCOPES, 5);
    ASSERT_EQ(7, ticks.GetCount());
    EXPECT_EQ("In && Out", Item(ticks, 0));
    EXPECT_EQ("All Windows", Item(ticks, 6));
    EXPECT_EQ(5, ticks.GetCurSel());

    // Date forms show a sample date in place of "%1" and "%2"; other items stay.
    CQUStringComBox dates;
    ASSERT_TRUE(dates.Create(kOwnerDrawCombo, CRect(0, 0, 100, 200), &parent, kComboId + 2));
    dates.INIResStringComboBox(IDS_QD_DATE_FORMS, 0);
    std::string shortForm, longForm;
    CQKUtilDate(0).GetDateShortForm(shortForm);
    CQKUtilDate(0).GetDateLongForm(longForm);
    EXPECT_EQ(shortForm + " ", Item(dates, 0));
    EXPECT_EQ(longForm + " ", Item(dates, 1));
    EXPECT_EQ("Jan 2", Item(dates, 2));
    EXPECT_EQ(shortForm + " hh:mm:ss", Item(dates, 5));

    CQUColorComboBox colours;
    ASSERT_TRUE(colours.Create(kOwnerDrawCombo, CRect(0, 0, 100, 200), &parent, kComboId + 3));
    colours.AddColorNames();
    ASSERT_EQ(CQKColor::GetColorNumber(), colours.GetCount());
    std::string red;
    CQKColor::GetColorName(1, red);
    EXPECT_EQ(red, Item(colours, 1));

    // The axis lists of 2D layers never show the front and back axes.
    CQUAxisListBox axes2D;
    CQUAxisListBox3D axes3D;
    ASSERT_TRUE(axes2D.Create(WS_CHILD | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, CRect(0, 0, 60, 200), &parent, 200));
    ASSERT_TRUE(axes3D.Create(WS_CHILD | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, CRect(0, 0, 60, 200), &parent, 201));
    axes2D.FillIcons(IDS_QD_AXES_2D, IDS_QD_AXES_3D, 6);
    axes3D.FillIcons(IDS_QD_AXES_2D, IDS_QD_AXES_3D, 6);
    EXPECT_EQ(4, axes2D.GetCount());
    ASSERT_EQ(6, axes3D.GetCount());
    CString back;
    axes3D.GetText(5, back);
    EXPECT_STREQ("Back", (LPCTSTR)back);
}

TEST_F(ControlsTest, EditFieldNumbersAndTheFontIndexShift)
{
    CQUImageComboBox combo;
    ASSERT_TRUE(combo.Create(kOwnerDrawCombo, CRect(0, 0, 100, 200), &parent, kComboId));
    struct Case { double value; int decimals; const char* text; } cases[] = {
        {-1.125, 2, "-1.13"}, // halves round away from zero
        {0.5, 0, "1"},
        {2.25, 1, "2.3"},
        {3e7, 2, "30000000"}, // beyond a 32-bit intermediate
        {-4e9, 0, "-4000000000"},
    };
    for (const Case& c : cases) {
        combo.SetDoubleToComboBoxText(c.value, c.decimals);
        CString text;
        combo.GetWindowText(text);
        EXPECT_STREQ(c.text, (LPCTSTR)text) << c.value;
    }
    combo.SetWindowText("2.5e1");
    EXPECT_DOUBLE_EQ(25.0, combo.GetDoubleFromComboBoxText());
    combo.SetIntegerToComboBoxText(-42);
    EXPECT_EQ(-42, combo.GetIntegerFromComboBoxText());
    combo.SetWindowText("wide");
    EXPECT_EQ(0, combo.GetIntegerFromComboBoxText());
    EXPECT_EQ(0.0, combo.GetDoubleFromComboBoxText());

    CQUFontComboBox fonts;
    ASSERT_TRUE(fonts.Create(kOwnerDrawCombo, CRect(0, 0, 100, 200), &parent, kComboId + 1));
    fonts.ShowDefault(FALSE);
    fonts.AddFontNames();
    ASSERT_EQ(CQKFontManager::GetFontCount() - 1, fonts.GetCount());
    std::string first;
    CQKFontManager::GetFontName(1, first);
    EXPECT_EQ(first, Item(fonts, 0));
    EXPECT_EQ(-1, fonts.GetCurSel());
    fonts.SetCurSel(2);
    EXPECT_EQ(1, fonts.CComboBox::GetCurSel());
    EXPECT_EQ(2, fonts.GetCurSel());
    fonts.SetCurSel(0); // the hidden default entry: nothing selected
    EXPECT_EQ(-1, fonts.GetCurSel());
}

TEST_F(ControlsTest, ReportColumnsAndImageToolbars)
{
    CQUListCtrl list;
    ASSERT_TRUE(list.Create(WS_CHILD | LVS_REPORT, CRect(0, 0, 300, 100), &parent, 300));
    list.InitColumns(IDS_TEST_COLUMNS);
    ASSERT_EQ(3, Header_GetItemCount((HWND)list.SendMessage(LVM_GETHEADER)));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(100, list.GetColumnWidth(i)) << i;
    list.InitCols(2, IDS_TEST_COLUMN_A);
    ASSERT_EQ(3, Header_GetItemCount((HWND)list.SendMessage(LVM_GETHEADER)));
    char title[32] = "";
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT;
    column.pszText = title;
    column.cchTextMax = sizeof title;
    list.GetColumn(1, &column);
    EXPECT_STREQ("Second", title);
    EXPECT_EQ(150, list.GetColumnWidth(1));

    // The item under the position of the message being handled is selected.
    ASSERT_TRUE(list.ModifyStyle(0, WS_VISIBLE));
    for (const char* name : {"alpha", "beta", "gamma"})
        list.InsertItem(list.GetItemCount(), name);
    CRect second;
    ASSERT_TRUE(list.GetItemRect(1, &second, LVIR_BOUNDS));
    struct Probe { CPoint client; int hit; } probes[] = {
        {second.CenterPoint(), 1},
        {CPoint(second.left + 2, 95), -1}, // below the last item
    };
    for (const Probe& p : probes) {
        CPoint screen = p.client;
        list.ClientToScreen(&screen);
        ::SetCursorPos(screen.x, screen.y);
        ::PostMessageA(list.m_hWnd, WM_NULL, 0, 0);
        MSG msg;
        ASSERT_TRUE(::PeekMessageA(&msg, list.m_hWnd, WM_NULL, WM_NULL, PM_REMOVE));
        EXPECT_EQ(p.hit, list.SelectItemAtMessagePos()) << p.client.x << "," << p.client.y;
    }
    EXPECT_EQ((UINT)(LVIS_SELECTED | LVIS_FOCUSED), list.GetItemState(1, LVIS_SELECTED | LVIS_FOCUSED));

    struct Case { int buttons, firstImage; BYTE style; int firstCommand; } cases[] = {
        {7, 0, 0, 1121},             // the text dialog's bar
        {3, 1, TBSTYLE_CHECK, 1122}, // the Plot Details pages' bars
    };
    for (const Case& c : cases) {
        CQUImageToolBarCtrl* bar = c.buttons == 7 ? new CQUImageToolBarCtrl
                                                  : new CQUImageToolBarCtrl(c.buttons, c.firstImage);
        bar->m_bButtonStyle = c.style;
        ASSERT_TRUE(bar->Create(WS_CHILD | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER | TBSTYLE_TOOLTIPS,
                                CRect(0, 0, 200, 24), &parent, 1120));
        ASSERT_EQ(c.buttons, bar->GetButtonCount());
        for (int i = 0; i < c.buttons; ++i) {
            TBBUTTON button = {};
            bar->GetButton(i, &button);
            EXPECT_EQ(c.firstCommand + i, button.idCommand);
            EXPECT_EQ(c.firstImage + i, button.iBitmap);
            EXPECT_EQ(c.style, button.fsStyle);
        }
        // Every image of the strip is there, whichever image the bar starts at.
        HIMAGELIST images = (HIMAGELIST)bar->SendMessage(TB_GETIMAGELIST);
        EXPECT_EQ(QD_TEXT_TOOL_IMAGES, ImageList_GetImageCount(images));
        bar->DestroyWindow();
        delete bar;
    }
}

TEST_F(ControlsTest, PaintersDrawSwatchesIconsAndTextWhereTheyBelong)
{
    const COLORREF window = ::GetSysColor(COLOR_WINDOW), highlight = ::GetSysColor(COLOR_HIGHLIGHT);
    const COLORREF inactive = ::GetSysColor(COLOR_INACTIVEBORDER), gray = ::GetSysColor(COLOR_GRAYTEXT);

    CQUColorComboBox colours;
    ASSERT_TRUE(colours.Create(kOwnerDrawCombo, CRect(0, 0, 160, 200), &parent, kComboId));
    colours.SetRectSize(CSize(kHeight, kHeight));
    colours.AddColorNames();
    DWORD red = 0;
    CQKColor::GetColorRef(1, red, 0);

    // A swatch from (2, 2) to (cy - 2, cy - 2) inside a frame, the text past max(h, cx) + 6.
    qxtest::Image plain = Paint(colours, 1, 0);
    EXPECT_EQ(red, plain.ColorAt(2, 2));
    EXPECT_EQ(red, plain.ColorAt(kHeight - 3, kHeight - 3));
    EXPECT_EQ(RGB(0, 0, 0), plain.ColorAt(1, 1)); // the frame, in the current pen
    EXPECT_NE(red, plain.ColorAt(kHeight - 2, kHeight / 2));
    EXPECT_EQ(window, plain.ColorAt(kWidth - 1, kHeight / 2));
    int textLeft = FirstInk(plain, window, kHeight);
    EXPECT_GE(textLeft, kHeight + 6);
    EXPECT_LT(textLeft, kHeight + 12);

    qxtest::Image selected = Paint(colours, 1, ODS_SELECTED);
    EXPECT_EQ(highlight, selected.ColorAt(kWidth - 1, kHeight / 2));
    EXPECT_EQ(red, selected.ColorAt(5, 5));

    // A disabled control paints every item, selected or not, gray on the inactive border.
    colours.EnableWindow(FALSE);
    for (UINT state : {0u, (UINT)ODS_SELECTED}) {
        qxtest::Image disabled = Paint(colours, 2, state);
        EXPECT_EQ(inactive, disabled.ColorAt(kWidth - 1, 0)) << state;
        EXPECT_GT(disabled.Count(gray), 0) << state;
        EXPECT_EQ(0, disabled.Count(highlight)) << state;
    }
    colours.EnableWindow(TRUE);

    // With no item, only the focus rectangle: the inside stays as it was.
    qxtest::Image empty = Paint(colours, -1, ODS_FOCUS);
    int edge = 0;
    for (int x = 0; x < kWidth; ++x)
        edge += empty.ColorAt(x, 0) != RGB(255, 255, 255);
    EXPECT_GT(edge, 0);
    EXPECT_EQ(RGB(255, 255, 255), empty.ColorAt(kWidth / 2, kHeight / 2));

    // A list without images still leaves the image area empty before its text.
    CQUStringComBox strings;
    ASSERT_TRUE(strings.Create(kOwnerDrawCombo, CRect(0, 0, 160, 200), &parent, kComboId + 1));
    strings.SetRectSize(CSize(32, kHeight));
    strings.INIResStringComboBox(IDS_QD_APPLY_SCOPES, 0);
    qxtest::Image text = Paint(strings, 0, 0);
    int stringLeft = FirstInk(text, window, 0);
    EXPECT_GE(stringLeft, 32 + 6);
    EXPECT_LT(stringLeft, 32 + 12);

    // A list with images draws image i at (2, 1): cell 0 of the scale types is one black bar.
    CQUResImageComboBox types;
    ASSERT_TRUE(types.Create(kOwnerDrawCombo, CRect(0, 0, 160, 200), &parent, kComboId + 2));
    types.SetRectSize(CSize(32, kHeight));
    types.FillFromResource(IDS_QD_SCALE_TYPES, TRUE, TRUE);
    ASSERT_EQ(9, types.GetCount());
    qxtest::Image icon = Paint(types, 0, 0);
    EXPECT_EQ(RGB(0, 0, 0), icon.ColorAt(2 + 5, 1 + 10));
    EXPECT_EQ(window, icon.ColorAt(2 + 1, 1 + 1)); // white in the bitmap is transparent
}

} // namespace
