// GDI wrappers drawn into memory DCs, menus, and the common dialogs driven to a choice.
#include <afxdlgs.h>
#include <qxtest/DialogDriver.h>
#include <qxtest/Pixels.h>
#include <gtest/gtest.h>

TEST(Gdi, DrawingThroughTheWrappers)
{
    qxtest::MemoryCanvas canvas(50, 50);
    CDC* pDC = CDC::FromHandle(canvas.dc());
    EXPECT_EQ(CDC::FromHandle(canvas.dc()), pDC);   // one temporary wrapper per handle

    CPen pen(PS_SOLID, 1, RGB(0, 0, 255));
    CBrush brush(RGB(0, 255, 0));
    int nSaved = pDC->SaveDC();
    CPen* pOldPen = pDC->SelectObject(&pen);
    CBrush* pOldBrush = pDC->SelectObject(&brush);
    EXPECT_NE(pOldPen, nullptr);
    pDC->Rectangle(10, 10, 30, 30);
    EXPECT_EQ(pDC->GetCurrentPen(), &pen);   // the permanent wrapper of the selected pen
    pDC->SelectObject(pOldPen);
    pDC->SelectObject(pOldBrush);
    pDC->RestoreDC(nSaved);
    pDC->FillSolidRect(40, 40, 5, 5, RGB(255, 0, 0));
    pDC->Draw3dRect(CRect(0, 40, 10, 50), RGB(10, 10, 10), RGB(20, 20, 20));
    pDC->MoveTo(0, 35);
    pDC->LineTo(50, 35);
    EXPECT_EQ(pDC->GetCurrentPosition(), CPoint(50, 35));

    qxtest::Image image = canvas.Capture();
    EXPECT_EQ(image.ColorAt(10, 10), RGB(0, 0, 255));    // the pen's border
    EXPECT_EQ(image.ColorAt(20, 20), RGB(0, 255, 0));    // the brush's fill
    EXPECT_EQ(image.Count(RGB(255, 0, 0)), 25);
    EXPECT_EQ(image.ColorAt(0, 40), RGB(10, 10, 10));
    EXPECT_EQ(image.ColorAt(9, 49), RGB(20, 20, 20));
    EXPECT_EQ(image.ColorAt(25, 35), RGB(0, 0, 0));
    CDC::DeleteTempMap();
}

TEST(Gdi, UnitsRegionsFontsAndMetafiles)
{
    qxtest::MemoryCanvas canvas(100, 100);
    CDC dc;
    ASSERT_TRUE(dc.Attach(canvas.dc()));
    int nDpiX = dc.GetDeviceCaps(LOGPIXELSX);
    CSize size(2540, 2540);   // one inch
    dc.HIMETRICtoDP(&size);
    EXPECT_EQ(size.cx, nDpiX);
    dc.DPtoHIMETRIC(&size);
    EXPECT_EQ(size.cx, 2540);

    CFont font;
    ASSERT_TRUE(font.CreatePointFont(120, "Arial", &dc));   // 12 points
    LOGFONT lf;
    font.GetLogFont(&lf);
    EXPECT_EQ(lf.lfHeight, -MulDiv(12, dc.GetDeviceCaps(LOGPIXELSY), 72));

    CRgn a, b, both;
    a.CreateRectRgn(0, 0, 10, 10);
    b.CreateRectRgn(5, 5, 20, 20);
    both.CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(both.CombineRgn(&a, &b, RGN_AND), SIMPLEREGION);
    CRect box;
    both.GetRgnBox(&box);
    EXPECT_EQ(box, CRect(5, 5, 10, 10));
    EXPECT_TRUE(both.PtInRegion(7, 7));
    EXPECT_FALSE(both.PtInRegion(2, 2));

    // A recording played back into the memory DC.
    CMetaFileDC meta;
    ASSERT_TRUE(meta.CreateEnhanced(&dc, nullptr, nullptr, "test"));
    meta.FillSolidRect(0, 0, 10, 10, RGB(0, 0, 255));
    HENHMETAFILE hEmf = meta.CloseEnhanced();
    ASSERT_NE(hEmf, nullptr);
    CRect rcPlay(20, 20, 30, 30);
    EXPECT_TRUE(dc.PlayMetaFile(hEmf, &rcPlay));
    ::DeleteEnhMetaFile(hEmf);
    EXPECT_EQ(::GetPixel(canvas.dc(), 25, 25), RGB(0, 0, 255));

    LOGPALETTE* pLog = (LOGPALETTE*)malloc(sizeof(LOGPALETTE) + 3 * sizeof(PALETTEENTRY));
    pLog->palVersion = 0x300;
    pLog->palNumEntries = 4;
    for (int i = 0; i < 4; i++)
        pLog->palPalEntry[i] = {BYTE(i * 60), 0, 0, 0};
    CPalette palette;
    ASSERT_TRUE(palette.CreatePalette(pLog));
    free(pLog);
    EXPECT_EQ(palette.GetEntryCount(), 4);
    EXPECT_EQ(palette.GetNearestPaletteIndex(RGB(121, 0, 0)), 2u);
    dc.Detach();
}

TEST(Menus, BuildCheckAndQuery)
{
    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendMenu(MF_STRING, 10, "&Linear");
    menu.AppendMenu(MF_STRING, 11, "&Log10");
    menu.AppendMenu(MF_SEPARATOR);
    menu.InsertMenu(0, MF_BYPOSITION | MF_STRING, 9, "&Auto");
    menu.ModifyMenu(11, MF_BYCOMMAND | MF_STRING, 11, "Log&10");
    EXPECT_EQ(menu.GetMenuItemCount(), 4u);
    EXPECT_EQ(menu.GetMenuItemID(1), 10u);
    CString s;
    menu.GetMenuString(11, s, MF_BYCOMMAND);
    EXPECT_STREQ(s, "Log&10");
    EXPECT_TRUE(menu.CheckMenuRadioItem(9, 11, 10, MF_BYCOMMAND));
    EXPECT_TRUE(menu.GetMenuState(10, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_FALSE(menu.GetMenuState(9, MF_BYCOMMAND) & MF_CHECKED);
    menu.EnableMenuItem(9, MF_BYCOMMAND | MF_GRAYED);
    EXPECT_TRUE(menu.GetMenuState(9, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(menu.DeleteMenu(2, MF_BYPOSITION));
    EXPECT_EQ(menu.GetMenuItemCount(), 3u);
    EXPECT_EQ(CMenu::FromHandle(menu.m_hMenu), &menu);
    EXPECT_EQ(CMenu::FromHandlePermanent(menu.m_hMenu), &menu);

    CMenu bar;
    ASSERT_TRUE(bar.CreateMenu());
    HMENU hPopup = menu.Detach();
    bar.AppendMenu(MF_POPUP, (UINT_PTR)hPopup, "&Scale");
    CMenu* pSub = bar.GetSubMenu(0);
    ASSERT_NE(pSub, nullptr);
    EXPECT_EQ(pSub->m_hMenu, hPopup);
    EXPECT_EQ(CMenu::FromHandlePermanent(hPopup), nullptr);   // a temporary wrapper now
    CMenu::DeleteTempMap();
}

TEST(CommonDialogs, ColourAndFileDialogsReturnTheChoice)
{
    CColorDialog colour(RGB(10, 20, 30), CC_FULLOPEN);
    qxtest::DialogDriver driver;
    driver.Then([](HWND h) { qxtest::Click(h, IDOK); });
    EXPECT_EQ(driver.Run([&] { return colour.DoModal(); }), IDOK);
    EXPECT_EQ(colour.GetColor(), RGB(10, 20, 30));

    CColorDialog cancelled(RGB(1, 2, 3));
    qxtest::DialogDriver driver2;
    driver2.Then([](HWND h) { qxtest::Click(h, IDCANCEL); });
    EXPECT_EQ(driver2.Run([&] { return cancelled.DoModal(); }), IDCANCEL);

    char szDir[MAX_PATH];
    GetTempPathA(MAX_PATH, szDir);
    CString strPath = CString(szDir) + "qxafx-save-test.dat";
    CFileDialog save(FALSE, "dat", strPath, OFN_HIDEREADONLY, "Data files (*.dat)|*.dat|All files (*.*)|*.*||");
    EXPECT_EQ(save.m_ofn.nFilterIndex, 0u);
    EXPECT_STREQ(save.m_ofn.lpstrFilter + strlen(save.m_ofn.lpstrFilter) + 1, "*.dat");
    qxtest::DialogDriver driver3;
    driver3.Then([](HWND h) { qxtest::Click(h, IDOK); });
    EXPECT_EQ(driver3.Run([&] { return save.DoModal(); }), IDOK);
    EXPECT_EQ(save.GetPathName().CompareNoCase(strPath), 0);
    EXPECT_STREQ(save.GetFileName(), "qxafx-save-test.dat");
    EXPECT_STREQ(save.GetFileExt(), "dat");
    EXPECT_STREQ(save.GetFileTitle(), "qxafx-save-test");
}

TEST(Menus, OwnerDrawnItemsReachTheirMenuObject)
{
    class CSwatchMenu : public CMenu
    {
    public:
        UINT m_nDrawn = 0;
        void DrawItem(LPDRAWITEMSTRUCT lpDIS) override { m_nDrawn = lpDIS->itemID; }
    };
    class COwner : public CWnd
    {
    };
    COwner owner;
    ASSERT_TRUE(owner.CreateEx(0, nullptr, "owner", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr));
    CSwatchMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendMenu(MF_OWNERDRAW, 77, (LPCTSTR) nullptr);
    DRAWITEMSTRUCT dis = {ODT_MENU, 0, 77, ODA_DRAWENTIRE, 0, (HWND)menu.m_hMenu, nullptr, {0, 0, 10, 10}, 0};
    owner.SendMessage(WM_DRAWITEM, 0, (LPARAM)&dis);
    EXPECT_EQ(menu.m_nDrawn, 77u);
    owner.DestroyWindow();
}

TEST(CommonDialogs, FontDialogReturnsTheChosenFont)
{
    LOGFONTA lf = {};
    lf.lfHeight = -16;
    lf.lfWeight = FW_BOLD;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpyA(lf.lfFaceName, "Tahoma");
    CFontDialog dlg(&lf);
    qxtest::DialogDriver driver;
    driver.Then([](HWND h) { qxtest::Click(h, IDOK); });
    EXPECT_EQ(driver.Run([&] { return dlg.DoModal(); }), IDOK);
    EXPECT_STREQ(dlg.GetFaceName(), "Tahoma");
    EXPECT_TRUE(dlg.IsBold());
    EXPECT_GT(dlg.GetSize(), 0);
    LOGFONTA chosen;
    dlg.GetCurrentFont(&chosen);
    EXPECT_STREQ(chosen.lfFaceName, "Tahoma");
}
