// The page side of the page windows: DC bracketing, the drawing rectangle by view mode and
// zoom, printing placement, the selection and the keys.
#include "KernelTest.h"

#include "QKGraphObjects.h"

namespace {

CQKGraphPage* NewGraph()
{
    return static_cast<CQKGraphPage*>(qkfxGetProject().CreatePage(QK_PAGE_GRAPH));
}

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

} // namespace

TEST_F(KernelTest, PageBeginAndEndDCGiveTheDCBackAsItWas)
{
    CQKPage* page = NewGraph();
    HDC dc = CreateCompatibleDC(nullptr);
    SetMapMode(dc, MM_LOMETRIC);
    page->OnBeginDC(dc, 0);
    EXPECT_TRUE(page->PrepareDCForScreenDrawing(dc));
    EXPECT_EQ(MM_TEXT, GetMapMode(dc));
    page->OnEndDC(dc, 0);
    EXPECT_EQ(MM_LOMETRIC, GetMapMode(dc));
    page->OnEndDC(dc, 0); // an unmatched end changes nothing
    EXPECT_EQ(MM_LOMETRIC, GetMapMode(dc));
    DeleteDC(dc);
}

TEST_F(KernelTest, PlainPagesDrawNothingAndHandleNoInput)
{
    CQKPage* notes = qkfxGetProject().CreatePage(QK_PAGE_NOTES);
    HDC dc = CreateCompatibleDC(nullptr);
    RECT r = {0, 0, 100, 100};
    EXPECT_FALSE(notes->Draw(dc, r));
    LRESULT result = 0;
    EXPECT_FALSE(notes->WindowProc(nullptr, WM_LBUTTONDOWN, 0, 0, &result));
    EXPECT_EQ(0, notes->OnKeyDown(VK_ESCAPE, 1, 0));
    EXPECT_EQ(nullptr, notes->FindGrElement(5, 5));
    DeleteDC(dc);
}

TEST_F(KernelTest, GraphDrawRectFollowsViewModeAndZoom)
{
    CQKGraphPage* page = NewGraph();
    const RECT client = {0, 0, 800, 400};
    RECT r;
    struct Case {
        int mode;
        bool keepsShape;
    } cases[] = {{0, true}, {1, true}, {2, false}, {3, false}};
    for (const Case& c : cases) {
        page->SetViewMode(c.mode, 1);
        ASSERT_TRUE(page->SetDrawRect(client));
        ASSERT_TRUE(page->GetDrawRect(r));
        if (c.keepsShape) {
            // 10 x 7.5 inches: the height limits; the page is centred.
            EXPECT_NEAR(Width(r) * 0.75, Height(r), 1.0) << c.mode;
            EXPECT_LE(Height(r), 400);
            EXPECT_NEAR(r.left, 800 - r.right, 1) << c.mode;
        } else {
            EXPECT_TRUE(EqualRect(&r, &client)) << c.mode;
        }
    }
    page->SetViewMode(1, 1);
    page->SetDrawRect(client);
    page->GetDrawRect(r);
    const int whole = Width(r);
    page->ViewZoomIn();
    page->SetDrawRect(client);
    page->GetDrawRect(r);
    EXPECT_NEAR(2 * whole, Width(r), 2);
    page->ViewFullPage();
    EXPECT_EQ(1.0, page->GetZoom());
    RECT empty = {0, 0, 0, 0};
    EXPECT_FALSE(page->SetDrawRect(empty));
}

TEST_F(KernelTest, GraphPrintsCentredInThePrintableAreaKeepingItsShape)
{
    CQKGraphPage* page = NewGraph();
    HDC dc = CreateCompatibleDC(nullptr);
    QKPrintInfo info;
    info.rectDraw = {100, 50, 100 + 5100, 50 + 6600}; // portrait letter at 600 dpi, less margins
    ASSERT_TRUE(page->PrepareDCForPrinting(dc, info));
    EXPECT_EQ(5100, Width(info.pageRect));
    EXPECT_EQ(3825, Height(info.pageRect));
    EXPECT_EQ(50 + (6600 - 3825) / 2, info.pageRect.top);
    DeleteDC(dc);
}

TEST_F(KernelTest, IsActivePageActivatesOnlyWhenAsked)
{
    CQKGraphPage* first = NewGraph();
    CQKGraphPage* second = NewGraph();
    EXPECT_TRUE(second->IsActivePage(0));
    EXPECT_FALSE(first->IsActivePage(0));
    EXPECT_EQ(second, qkfxGetProject().GetActivePage());
    EXPECT_FALSE(first->IsActivePage(1));
    EXPECT_EQ(first, qkfxGetProject().GetActivePage());
}
