// Bars of the kernel's user-interface modules: the scroll arithmetic, bars made and found by
// the module's id, the kernel's showing and hiding, and their saved state.
#include <gtest/gtest.h>

#include "FramesFixture.h"
#include "ModuleBar.h"

using namespace framestest;

namespace {

TEST(ModuleBarScrollTest, StepsAndChangesStayWithinTheContent)
{
    struct Steps { int pixels, content, client, expected; } steps[] = {
        {5, 200, 200, 0},     // nothing hidden: no steps
        {5, 150, 200, 0},
        {100, 300, 200, 20},  // the whole hidden part or more
        {5, 300, 200, 1},     // 5/100 * 20 = 1
        {13, 300, 200, 3},    // 2.6 rounds up
        {-13, 300, 200, -3},  // and half away from zero below
        {25, 300, 200, 5},
    };
    for (const Steps& s : steps)
        EXPECT_EQ(CQUIMToolbar::ScrollSteps(s.pixels, s.content, s.client), s.expected) << s.pixels;

    struct Change { UINT code; int pos, offset, content, client, thumb, expected; } changes[] = {
        {SB_LINEDOWN, 0, 0, 300, 200, 0, 1},
        {SB_LINEUP, 0, 0, 300, 200, 0, 0},      // kept at the start
        {SB_PAGEDOWN, 0, 0, 1000, 200, 0, 5},   // a client of 200 of 800 hidden
        {SB_PAGEDOWN, 18, 720, 1000, 200, 0, 2}, // near the end: only the 80 left, and clamped
        {SB_PAGEUP, 10, 50, 1000, 200, 0, -1},
        {SB_THUMBPOSITION, 4, 0, 1000, 200, 12, 8},
        {SB_TOP, 7, 0, 1000, 200, 0, -7},
        {SB_BOTTOM, 7, 0, 1000, 200, 0, 13},
        {SB_ENDSCROLL, 7, 0, 1000, 200, 0, 0},
    };
    for (const Change& c : changes)
        EXPECT_EQ(CQUIMToolbar::ScrollChange(c.code, c.pos, c.offset, c.content, c.client, c.thumb), c.expected)
            << c.code << " at " << c.pos;
}

using ModuleBarTest = FramesFixture;

TEST_F(ModuleBarTest, ModuleBarsAreMadeFoundShownAndRestored)
{
    CMainFrame* pFrame = CreateMainFrame();
    ASSERT_NE(pFrame, nullptr);
    SECToolBarManagerEx* pManager = pFrame->GetToolBarManager();
    SIZE size = {240, 120};
    CQUIMToolbar* pBar = pManager->GetUIMBar(7, "Module Seven", &size, TRUE);
    ASSERT_NE(pBar, nullptr);
    EXPECT_EQ(pBar->GetDlgCtrlID(), 10000);
    EXPECT_EQ(pBar->GetInternalID(), 7);
    EXPECT_TRUE(pBar->IsFloating());
    EXPECT_EQ(pBar->GetFloatingSize(), CSize(240, 120));
    EXPECT_EQ(pManager->FindUnusedBarID(), 10001u);
    // Asked again: the same bar, with the new title.
    EXPECT_EQ(pManager->GetUIMBar(7, "Renamed", nullptr, TRUE), pBar);
    CString strTitle;
    pBar->GetWindowText(strTitle);
    EXPECT_EQ(std::string(strTitle), "Renamed");
    EXPECT_EQ(pManager->FindUIMBar(8), nullptr);
    EXPECT_FALSE(pManager->ShowUIMBar(8, TRUE, 0));

    // The user closes it; the kernel's own show (flag 0x10000) leaves it closed.
    ASSERT_TRUE(pManager->ShowUIMBar(7, FALSE, 0));
    EXPECT_FALSE(pManager->IsUIMBarVisible(7));
    EXPECT_FALSE(pManager->IsUIMBarGloballyVisible(7));
    ASSERT_TRUE(pManager->ShowUIMBar(7, TRUE, 0x10000));
    EXPECT_FALSE(pManager->IsUIMBarVisible(7));
    ASSERT_TRUE(pManager->ShowUIMBar(7, TRUE, 0));
    EXPECT_TRUE(pManager->IsUIMBarGloballyVisible(7));
    // A kernel hide with the flag keeps the user's choice.
    ASSERT_TRUE(pManager->ShowUIMBar(7, FALSE, 0x10000));
    EXPECT_FALSE(pManager->IsUIMBarVisible(7));
    EXPECT_TRUE(pManager->IsUIMBarGloballyVisible(7));

    EXPECT_TRUE(pManager->OnSizeChange(7, 300, 150, 0));
    EXPECT_EQ(pBar->GetFloatingSize(), CSize(240, 120)) << "flag 0 changes nothing";
    EXPECT_TRUE(pManager->OnSizeChange(7, 300, 150, 1));
    EXPECT_EQ(pBar->GetFloatingSize(), CSize(300, 150));
    HWND hChild = pFrame->m_hWnd;
    EXPECT_TRUE(pManager->InitChildUIM(7, hChild, 0));
    EXPECT_EQ(pBar->GetChildWindow(), hChild);
    pBar->SetScrollPositions(4, 2);

    // Saved with its scroll positions and module id; restored hidden.
    CloseMainFrame();
    pFrame = CreateMainFrame();
    ASSERT_NE(pFrame, nullptr);
    pManager = pFrame->GetToolBarManager();
    CQUIMToolbar* pRestored = pManager->FindUIMBar(7);
    ASSERT_NE(pRestored, nullptr);
    EXPECT_EQ(pRestored->GetDlgCtrlID(), 10000);
    EXPECT_EQ(pRestored->GetVertPos(), 4);
    EXPECT_EQ(pRestored->GetHorzPos(), 2);
    EXPECT_FALSE(pRestored->IsVisible());
}

TEST_F(ModuleBarTest, ASavedStateWithoutTheModuleIdGivesZero)
{
    CQUIMToolbarInfoEx info;
    EXPECT_EQ(info.m_nInternalID, -1);
    ::WritePrivateProfileStringA("Tlb-Bar9", "VertScrollPos", "3", m_strProfile.c_str());
    info.LoadState("Tlb-Bar9");
    EXPECT_EQ(info.m_nInternalID, 0);
    EXPECT_EQ(info.m_nVertPos, 3);
}

} // namespace

namespace {

using DockRowTest = FramesFixture;

class CTestSizableBar : public QCResizableControlBar
{
};

TEST_F(DockRowTest, SizableBarsShareTheirRowByPortion)
{
    CMainFrame* pFrame = CreateMainFrame();
    ASSERT_NE(pFrame, nullptr);
    // The bottom row is the two test bars' alone: the project explorer floats.
    pFrame->FloatControlBar(pFrame->GetProjectExplorer(), CPoint(400, 400));
    CTestSizableBar left, right;
    ASSERT_TRUE(left.Init(pFrame, 592 + 1000, CBRS_ALIGN_ANY));
    ASSERT_TRUE(right.Init(pFrame, 592 + 1001, CBRS_ALIGN_ANY));
    pFrame->DockControlBarEx(&left, AFX_IDW_DOCKBAR_BOTTOM, 0, 0, 0.25f, 80);
    pFrame->DockControlBarEx(&right, AFX_IDW_DOCKBAR_BOTTOM, 1, 0, 0.75f, 80);
    pFrame->RecalcLayout();
    CControlBar* pDock = pFrame->GetControlBar(AFX_IDW_DOCKBAR_BOTTOM);
    ASSERT_TRUE(pDock->IsKindOf(RUNTIME_CLASS(SECDockBarEx)));
    CRect rectDock, rectLeft, rectRight;
    pDock->GetClientRect(&rectDock);
    left.GetWindowRect(&rectLeft);
    right.GetWindowRect(&rectRight);
    int net = rectDock.Width() - 6;
    EXPECT_NEAR(rectLeft.Width(), net * 0.25, 1.0);
    EXPECT_NEAR(rectRight.Width(), net * 0.75, 1.0);
    EXPECT_EQ(rectRight.left - rectLeft.right, 6) << "one splitter between them";
    EXPECT_EQ(rectLeft.Height(), 80);

    // Portions that sum above 1 are scaled back; none falls below 18 pixels' worth.
    left.m_fPortion = 0.9f;
    right.m_fPortion = 0.6f;
    int nSizable = 0, nFixed = 0;
    ((SECDockBarEx*)pDock)->ProportionRow(0, nullptr, &nSizable, &nFixed);
    EXPECT_EQ(nSizable, 2);
    EXPECT_NEAR(left.m_fPortion + right.m_fPortion, 1.0f, 1e-5);
    EXPECT_NEAR(left.m_fPortion, 0.6f, 1e-5);
    // The bar being resized is held between the minimum portion and 0.95.
    left.m_fPortion = 0.001f;
    right.m_fPortion = 0.5f;
    ((SECDockBarEx*)pDock)->ProportionRow(0, &left, &nSizable, &nFixed);
    EXPECT_NEAR(left.m_fPortion, ((SECDockBarEx*)pDock)->GetMinimumPortion(), 1e-6);
    left.DestroyWindow();
    right.DestroyWindow();
}

} // namespace
