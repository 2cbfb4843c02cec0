// Owner-drawn menus: the command images taken from the toolbar resources, remapping and
// restoring menus, measuring, drawing into a memory canvas, and mnemonics.
#include <afxwin.h>
#include <gtest/gtest.h>
#include <qxtest/Pixels.h>

#include <QKSysMethod.h>

#include "FramesApi.h"
#include "FramesResource.h"
#include "MenuSpawn.h"

namespace {

class MenuSpawnTest : public ::testing::Test {
protected:
    CMenuSpawn spawn;
    HMENU hPopup = nullptr;

    void SetUp() override
    {
        qkfxGetQrxSystem().GetRefDisplay().SetDisplayBitmaps(TRUE);
        HINSTANCE hInst = QUFramesResourceModule();
        ASSERT_NE(hInst, nullptr);
        ASSERT_TRUE(spawn.LoadFirstToolbar(IDR_TB_2D_GRAPHS, hInst));
        ASSERT_TRUE(spawn.AddToolbar(IDR_TB_STANDARD, hInst));
        ASSERT_TRUE(spawn.AddToolbar(IDR_TB_GRAPH, hInst));
        spawn.SortImages();

        hPopup = ::CreatePopupMenu();
        ::AppendMenuA(hPopup, MF_STRING, 33249, "&Line\tCtrl+L");   // first image of 2D Graphs
        ::AppendMenuA(hPopup, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuA(hPopup, MF_STRING | MF_CHECKED, 40001, "&No image");
        ::AppendMenuA(hPopup, MF_STRING | MF_GRAYED, 33248, "&Scatter");
        ::AppendMenuA(hPopup, MF_POPUP, (UINT_PTR)::CreatePopupMenu(), "&More");
    }
    void TearDown() override
    {
        ::DestroyMenu(hPopup);
        qkfxGetQrxSystem().GetRefDisplay().SetDisplayBitmaps(TRUE);
    }

    MENUITEMINFOA Item(int pos)
    {
        MENUITEMINFOA mii = {};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA | MIIM_SUBMENU;
        ::GetMenuItemInfoA(hPopup, (UINT)pos, TRUE, &mii);
        return mii;
    }

    std::string Text(int pos)
    {
        char sz[128] = "";
        ::GetMenuStringA(hPopup, (UINT)pos, sz, sizeof sz, MF_BYPOSITION);
        return sz;
    }

    qxtest::Image Draw(int pos, UINT state, int width = 160, int height = 24)
    {
        MENUITEMINFOA mii = Item(pos);
        qxtest::MemoryCanvas canvas(width, height);
        DRAWITEMSTRUCT dis = {};
        dis.CtlType = ODT_MENU;
        dis.itemID = mii.wID;
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = state;
        dis.hwndItem = (HWND)hPopup;
        dis.hDC = canvas.dc();
        dis.rcItem = {0, 0, width, height};
        dis.itemData = mii.dwItemData;
        EXPECT_TRUE(spawn.DrawItem(&dis));
        return canvas.Capture();
    }

    // Pixels in the image square that are neither white canvas nor the menu colour.
    static int InkInSquare(const qxtest::Image& image, int side)
    {
        int ink = 0;
        for (int y = 2; y < side - 2; y++)
            for (int x = 2; x < side - 2; x++) {
                COLORREF c = image.ColorAt(x, y);
                if (c != RGB(255, 255, 255) && c != ::GetSysColor(COLOR_MENU))
                    ink++;
            }
        return ink;
    }
};

TEST_F(MenuSpawnTest, CommandsFindTheirToolbarImagesAndAliasesBorrowThem)
{
    // 2D Graphs is loaded first: its ids take images 0..13 in resource order.
    EXPECT_EQ(spawn.GetImageSize(), CSize(16, 15));
    struct Case { int id; int expected; } cases[] = {
        {33249, 0}, {33248, 1}, {33287, 13},
        {36115, 0}, {200, 0}, {201, 1}, {36116, 1},   // aliases of 33249 and 33248
        {34011, 14},                                  // first image of Standard
        {40001, -1}, {0, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(spawn.ImageOfCommand(c.id), c.expected) << c.id;
    // Images of a command alias resolve to the same command's image as its target.
    EXPECT_EQ(spawn.ImageOfCommand(34020), spawn.ImageOfCommand(34037));
    EXPECT_EQ(spawn.ImageOfCommand(33025), spawn.ImageOfCommand(33338));
}

TEST_F(MenuSpawnTest, RemapMakesItemsOwnerDrawnAndRestoreGivesTheTextsBack)
{
    spawn.RemapMenu(CMenu::FromHandle(hPopup), 0);
    for (int pos = 0; pos < 4; pos++) {
        MENUITEMINFOA mii = Item(pos);
        EXPECT_TRUE(mii.fType & MFT_OWNERDRAW) << pos;
        auto* pRecord = (CMenuSpawn::Record*)mii.dwItemData;
        ASSERT_NE(pRecord, nullptr);
        EXPECT_TRUE(spawn.IsSpawnMenu(CMenu::FromHandle(hPopup), pos, TRUE));
    }
    EXPECT_EQ(((CMenuSpawn::Record*)Item(0).dwItemData)->nImage, 0);
    EXPECT_STREQ(((CMenuSpawn::Record*)Item(0).dwItemData)->szText, "&Line\tCtrl+L");
    EXPECT_EQ(((CMenuSpawn::Record*)Item(1).dwItemData)->nID, CMenuSpawn::SeparatorMarker);
    EXPECT_EQ(((CMenuSpawn::Record*)Item(2).dwItemData)->nImage, -1);
    // States survive the change; the popup stays plain in mode 0.
    EXPECT_TRUE(Item(2).fState & MFS_CHECKED);
    EXPECT_TRUE(Item(3).fState & MFS_GRAYED);
    EXPECT_FALSE(Item(4).fType & MFT_OWNERDRAW);

    // Before the framework's popup handling (mode 1) the popup item is drawn too.
    spawn.RemapMenu(CMenu::FromHandle(hPopup), 1);
    MENUITEMINFOA popup = Item(4);
    EXPECT_TRUE(popup.fType & MFT_OWNERDRAW);
    EXPECT_NE(popup.hSubMenu, nullptr);
    EXPECT_EQ(((CMenuSpawn::Record*)popup.dwItemData)->nID, CMenuSpawn::PopupMarker);

    // Display settings without menu images turn everything back into text.
    qkfxGetQrxSystem().GetRefDisplay().SetDisplayBitmaps(FALSE);
    spawn.RemapMenu(CMenu::FromHandle(hPopup), 1);
    EXPECT_FALSE(Item(0).fType & MFT_OWNERDRAW);
    EXPECT_EQ(Text(0), "&Line\tCtrl+L");
    EXPECT_TRUE(Item(1).fType & MFT_SEPARATOR);
    EXPECT_EQ(Text(2), "&No image");
    EXPECT_TRUE(Item(2).fState & MFS_CHECKED);
    EXPECT_TRUE(Item(3).fState & MFS_GRAYED);
    EXPECT_EQ(Text(4), "&More");
    EXPECT_NE(Item(4).hSubMenu, nullptr);
}

TEST_F(MenuSpawnTest, ItemsAreMeasuredFromTheirTextAndImage)
{
    spawn.RemapMenu(CMenu::FromHandle(hPopup), 0);
    MEASUREITEMSTRUCT mis = {};
    mis.CtlType = ODT_MENU;
    mis.itemData = Item(1).dwItemData;
    ASSERT_TRUE(spawn.MeasureItem(&mis));
    EXPECT_EQ(mis.itemWidth, 10u);
    EXPECT_EQ(mis.itemHeight, 6u);

    mis = {};
    mis.CtlType = ODT_MENU;
    mis.itemData = Item(0).dwItemData;
    ASSERT_TRUE(spawn.MeasureItem(&mis));
    EXPECT_GE(mis.itemHeight, 20u);   // image height 15 + 5
    // Wider than the text alone by the image square and the margins.
    HDC hdc = ::GetDC(nullptr);
    NONCLIENTMETRICSA ncm = {};
    ncm.cbSize = sizeof ncm;
    ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
    HFONT hFont = ::CreateFontIndirectA(&ncm.lfMenuFont);
    HGDIOBJ hOld = ::SelectObject(hdc, hFont);
    DWORD extent = ::GetTabbedTextExtentA(hdc, "&Line\tCtrl+L", 12, 0, nullptr);
    ::SelectObject(hdc, hOld);
    ::DeleteObject(hFont);
    ::ReleaseDC(nullptr, hdc);
    EXPECT_EQ(mis.itemWidth, LOWORD(extent) + 17u + std::max(16u, mis.itemHeight));

    // Controls other than menus are left to the framework.
    mis.CtlType = ODT_LISTBOX;
    EXPECT_FALSE(spawn.MeasureItem(&mis));
}

TEST_F(MenuSpawnTest, DrawingShowsImagesCheckMarksAndHighlight)
{
    spawn.RemapMenu(CMenu::FromHandle(hPopup), 0);
    const int side = 24;
    // A command with an image draws it in the square left of the text.
    qxtest::Image withImage = Draw(0, 0);
    EXPECT_GT(InkInSquare(withImage, side), 40);
    // A checked command without an image gets the check mark there; unchecked, nothing.
    qxtest::Image checked = Draw(2, ODS_CHECKED);
    EXPECT_GT(InkInSquare(checked, side), 4);
    qxtest::Image unchecked = Draw(2, 0);
    EXPECT_EQ(InkInSquare(unchecked, side), 0);
    // A selected item is filled with the highlight colour right of the square.
    qxtest::Image selected = Draw(0, ODS_SELECTED);
    EXPECT_EQ(selected.ColorAt(100, 2), ::GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(withImage.ColorAt(100, 2), ::GetSysColor(COLOR_MENU));
    // A separator is two lines across, shadow above highlight.
    qxtest::Image separator = Draw(1, 0, 160, 6);
    EXPECT_EQ(separator.ColorAt(50, 2), ::GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(separator.ColorAt(50, 3), ::GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(separator.ColorAt(50, 0), RGB(255, 255, 255));
    // A disabled item's text is grey, embossed with the highlight colour.
    qxtest::Image disabled = Draw(3, ODS_GRAYED);
    EXPECT_GT(disabled.Count(::GetSysColor(COLOR_GRAYTEXT)), 0);
    EXPECT_EQ(disabled.Count(::GetSysColor(COLOR_MENUTEXT)), 0);
}

TEST_F(MenuSpawnTest, AltLetterExecutesTheOwnerDrawnItemWithThatMnemonic)
{
    spawn.RemapMenu(CMenu::FromHandle(hPopup), 1);
    struct Case { char ch; BOOL found; int pos; } cases[] = {
        {'l', TRUE, 0}, {'L', TRUE, 0}, {'S', TRUE, 3}, {'m', TRUE, 4}, {'x', FALSE, 0},
    };
    for (const Case& c : cases) {
        LRESULT result = 12345;
        EXPECT_EQ(spawn.FindKeyboardShortcut((UINT)c.ch, MF_POPUP, CMenu::FromHandle(hPopup), result), c.found) << c.ch;
        if (c.found)
            EXPECT_EQ(result, MAKELRESULT(c.pos, MNC_EXECUTE)) << c.ch;
        else
            EXPECT_EQ(result, 12345) << c.ch;
    }
}

} // namespace
