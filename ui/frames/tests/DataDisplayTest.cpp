// The data display: its text, the font fitted to the bar by the sizing settings, painting
// into a memory canvas, docking and floating, and the format dialog.
#include <gtest/gtest.h>
#include <qxtest/DialogDriver.h>
#include <qxtest/Pixels.h>

#include <QKSysMethod.h>

#include "DataDisplay.h"
#include "FramesFixture.h"
#include "FramesResource.h"

using namespace framestest;

namespace {

class DataDisplayTest : public FramesFixture
{
protected:
    QKSysMethodDataDisplay saved;
    void SetUp() override
    {
        FramesFixture::SetUp();
        saved = qkfxGetQrxSystem().GetRefDataDisplay();
    }
    void TearDown() override
    {
        qkfxGetQrxSystem().GetRefDataDisplay() = saved;
        FramesFixture::TearDown();
    }

    static int WidthOf(const LOGFONTA& lf, const char* text)
    {
        HDC hdc = ::GetDC(nullptr);
        HFONT hFont = ::CreateFontIndirectA(&lf);
        HGDIOBJ hOld = ::SelectObject(hdc, hFont);
        SIZE size = {};
        ::GetTextExtentPoint32A(hdc, text, lstrlenA(text), &size);
        ::SelectObject(hdc, hOld);
        ::DeleteObject(hFont);
        ::ReleaseDC(nullptr, hdc);
        return size.cx;
    }
};

TEST_F(DataDisplayTest, TextAndTheFontFittedToTheBar)
{
    CMainFrame* pFrame = CreateMainFrame();
    ASSERT_NE(pFrame, nullptr);
    QUDataDisplay* pBar = pFrame->GetDataDisplay();
    ASSERT_NE(pBar->m_hWnd, nullptr);
    CString strTitle;
    pBar->GetWindowText(strTitle);
    EXPECT_EQ(std::string(strTitle), "Data Display");
    EXPECT_EQ(std::string(pBar->GetText()), "x = ?, y = ?");
    pFrame->DataDisplayText("x = 1.5, y = 2.25");
    EXPECT_EQ(std::string(pBar->GetText()), "x = 1.5, y = 2.25");
    pFrame->DataDisplayText(nullptr);
    EXPECT_EQ(std::string(pBar->GetText()), "x = ?, y = ?");

    QKSysMethodDataDisplay& settings = qkfxGetQrxSystem().GetRefDataDisplay();
    const char* longText = "x = 123456.789, y = 98765.4321";
    pBar->DisplayText(longText);
    // Fixed size: the description as it stands.
    EXPECT_EQ(pBar->FitFont(CRect(0, 0, 100, 40)).lfHeight, 10);
    // Vertically: the bar's height.
    settings.SetResize(2);
    EXPECT_EQ(pBar->FitFont(CRect(0, 0, 100, 40)).lfHeight, 40);
    // Automatically: from the height down until the text fits the width.
    settings.SetAutoFit(1);
    LOGFONTA lf = pBar->FitFont(CRect(0, 0, 120, 60));
    EXPECT_LT(lf.lfHeight, 60);
    EXPECT_LE(WidthOf(lf, longText), 120);
    lf.lfHeight++;
    EXPECT_GT(WidthOf(lf, longText), 120);

    // Horizontally: grows to the width when the width changes, keeps it while it does not.
    settings.SetAutoFit(0);
    settings.SetResize(1);
    LOGFONTA small = pBar->GetFontDescription();
    small.lfHeight = 8;
    pBar->SetFontDescription(small);
    pBar->DisplayText("x = 1");
    int nHeight = pBar->FitFont(CRect(0, 0, 200, 30)).lfHeight;
    EXPECT_GT(nHeight, 8);
    pBar->DisplayText("x = 2");
    EXPECT_EQ(pBar->FitFont(CRect(0, 0, 200, 30)).lfHeight, nHeight);
}

TEST_F(DataDisplayTest, PaintingUsesTheSettingsColours)
{
    CMainFrame* pFrame = CreateMainFrame();
    ASSERT_NE(pFrame, nullptr);
    QUDataDisplay* pBar = pFrame->GetDataDisplay();
    QKSysMethodDataDisplay& settings = qkfxGetQrxSystem().GetRefDataDisplay();
    settings.SetBkColor(3);    // blue
    settings.SetTxtColor(6);   // yellow
    settings.SetAutoFit(1);
    pBar->DisplayText("x = 7");
    qxtest::MemoryCanvas canvas(120, 30);
    pBar->Paint(canvas.dc(), CRect(0, 0, 120, 30));
    qxtest::Image image = canvas.Capture();
    EXPECT_EQ(image.ColorAt(118, 28), RGB(0, 0, 255));
    EXPECT_GT(image.Count(RGB(255, 255, 0)), 10);
    EXPECT_EQ(image.Count(RGB(255, 255, 255)), 0);
}

TEST_F(DataDisplayTest, DockingViewFloatsAndDocksTheBar)
{
    CMainFrame* pFrame = CreateMainFrame();
    ASSERT_NE(pFrame, nullptr);
    QUDataDisplay* pBar = pFrame->GetDataDisplay();
    QKSysMethodDataDisplay& settings = qkfxGetQrxSystem().GetRefDataDisplay();
    pBar->OnFirstActivate();
    pFrame->ShowControlBar(pBar, TRUE, FALSE);
    EXPECT_FALSE(pBar->IsFloating());
    pBar->SendMessage(WM_COMMAND, ID_DD_DOCKING, 0);
    EXPECT_TRUE(pBar->IsFloating());
    EXPECT_EQ(settings.GetDocking(), 0);
    pBar->SendMessage(WM_COMMAND, ID_DD_DOCKING, 0);
    EXPECT_FALSE(pBar->IsFloating());
    EXPECT_EQ(settings.GetDocking(), 1);
    // With AutoFit on the size commands do nothing.
    settings.SetAutoFit(1);
    pBar->SendMessage(WM_COMMAND, ID_DD_FIT_VERT, 0);
    EXPECT_EQ(settings.GetResize(), 0);
    settings.SetAutoFit(0);
    pBar->SendMessage(WM_COMMAND, ID_DD_FIT_VERT, 0);
    EXPECT_EQ(settings.GetResize(), 2);
}

TEST_F(DataDisplayTest, TheFormatDialogWritesTheSettings)
{
    QKSysMethodDataDisplay& settings = qkfxGetQrxSystem().GetRefDataDisplay();
    qxtest::DialogDriver driver;
    int nFontBefore = -1;
    driver.Then([&](HWND dlg) {
        EXPECT_EQ(qxtest::ComboSelection(dlg, IDC_DD_TEXT_COLOR), settings.GetTxtColor());
        EXPECT_EQ(qxtest::ComboSelection(dlg, IDC_DD_BACK_COLOR), settings.GetBkColor());
        nFontBefore = qxtest::ComboSelection(dlg, IDC_DD_FONT);
        qxtest::ComboSelect(dlg, IDC_DD_TEXT_COLOR, 1);
        qxtest::ComboSelect(dlg, IDC_DD_BACK_COLOR, 4);
        qxtest::SetCheck(dlg, IDC_DD_AUTOFIT, true);
        qxtest::Click(dlg, IDOK);
    });
    CDataDispDlg dlg;
    EXPECT_EQ(driver.Run([&] { return dlg.DoModal(); }), IDOK);
    EXPECT_EQ(settings.GetTxtColor(), 1);
    EXPECT_EQ(settings.GetBkColor(), 4);
    EXPECT_EQ(settings.GetAutoFit(), 1);
    EXPECT_EQ(settings.GetFont(), "Times New Roman");
}

} // namespace
