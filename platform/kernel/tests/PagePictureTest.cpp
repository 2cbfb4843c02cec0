// The page's pictures: the enhanced metafile and the Windows metafile a copied or embedded
// page hands out, checked by their headers and by what they show when played.
#include "KernelTest.h"
#include "TestDib.h"

#include <vector>

#include "QKAccess.h"
#include "QKGraphObjects.h"
#include "QKSysMethod.h"

namespace {

const COLORREF kWhite = RGB(255, 255, 255), kYellow = RGB(255, 255, 0), kGray = RGB(128, 128, 128);
const int kYellowIndex = 6;
const int W = 800, H = 600;
// The layer's frame spans 15-85 % of the width and 10-80 % of the height: its middle,
// and a corner of the paper far from any axis.
const POINT kInFrame = {W / 2, H * 45 / 100}, kPaper = {5, 5};

class PagePictureTest : public KernelTest {
protected:
    void SetUp() override
    {
        KernelTest::SetUp();
        page = static_cast<CQKGraphPage*>(qkfxGetProject().CreatePage(QK_PAGE_GRAPH));
        CQKGraphicLayer* layer = page->GetLayerByIndex(0, 1);
        layer->SetBkgColor(TRUE);
        layer->SetBkgColorValue(kYellowIndex);
        qkfxGetQrxSystem().GetRefCopyPage().SetRatio(100);
        // The whole page unless a test chooses another margin control.
        qkfxGetQrxSystem().GetRefCopyPage().SetCloseness(kPage);
    }
    void TearDown() override
    {
        qkfxGetQrxSystem().GetRefCopyPage().SetRatio(100);
        qkfxGetQrxSystem().GetRefCopyPage().SetCloseness(kBorder);
        qkfxGetQrxSystem().GetRefCopyPage().SetClipBorderWidth(5);
        KernelTest::TearDown();
    }
    enum { kBorder = 0, kTight = 1, kPage = 2 };
    static void Clear(Dib& dib)
    {
        RECT all = {0, 0, W, H};
        FillRect(dib.dc, &all, (HBRUSH)GetStockObject(GRAY_BRUSH));
    }
    CQKGraphPage* page = nullptr;
};

} // namespace

TEST_F(PagePictureTest, EnhancedMetafileIsFramedAtThePageSizeAndShowsThePage)
{
    struct Case {
        int ratio;
        DWORD options;
        COLORREF paper; // what the played picture leaves at the paper's corner
    };
    const Case cases[] = {{100, 0, kWhite}, {50, 0, kWhite}, {100, QK_EMF_NO_PAPER, kGray}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ratio);
        SCOPED_TRACE(c.options);
        qkfxGetQrxSystem().GetRefCopyPage().SetRatio(c.ratio);
        SIZE size = {4000, 3000};
        page->GetPageSize(size);
        // 10 by 7.5 inches in HIMETRIC, at the ratio.
        EXPECT_EQ(25400 * c.ratio / 100, size.cx);
        EXPECT_EQ(19050 * c.ratio / 100, size.cy);
        HENHMETAFILE emf = page->CreateEMFEx(nullptr, c.options);
        ASSERT_NE(nullptr, emf);
        ENHMETAHEADER header = {};
        ASSERT_TRUE(GetEnhMetaFileHeader(emf, sizeof header, &header));
        EXPECT_NEAR(size.cx, header.rclFrame.right - header.rclFrame.left, 2);
        EXPECT_NEAR(size.cy, header.rclFrame.bottom - header.rclFrame.top, 2);
        EXPECT_GT(header.nRecords, 10u);
        Dib dib(W, H);
        Clear(dib);
        RECT all = {0, 0, W, H};
        ASSERT_TRUE(PlayEnhMetaFile(dib.dc, emf, &all));
        EXPECT_EQ(kYellow, dib.At(kInFrame.x, kInFrame.y)) << "the layer";
        EXPECT_EQ(c.paper, dib.At(kPaper.x, kPaper.y)) << "the paper";
        DeleteEnhMetaFile(emf);
    }
}

// The same page gives the same picture: records and what they draw. (The bytes may
// differ: the system's font records carry whatever follows a face name's end.)
TEST_F(PagePictureTest, EnhancedMetafileMadeTwiceIsTheSame)
{
    HENHMETAFILE emf[2] = {page->CopyPageEnhancedMetafile(nullptr), page->CopyPageEnhancedMetafile(nullptr)};
    ENHMETAHEADER header[2] = {};
    std::vector<COLORREF> pixels[2];
    for (int i = 0; i < 2; ++i) {
        ASSERT_NE(nullptr, emf[i]);
        ASSERT_TRUE(GetEnhMetaFileHeader(emf[i], sizeof header[i], &header[i]));
        Dib dib(W, H);
        Clear(dib);
        RECT all = {0, 0, W, H};
        ASSERT_TRUE(PlayEnhMetaFile(dib.dc, emf[i], &all));
        for (int y = 0; y < H; y += 3)
            for (int x = 0; x < W; x += 3)
                pixels[i].push_back(dib.At(x, y));
        DeleteEnhMetaFile(emf[i]);
    }
    EXPECT_EQ(header[0].nBytes, header[1].nBytes);
    EXPECT_EQ(header[0].nRecords, header[1].nRecords);
    EXPECT_TRUE(pixels[0] == pixels[1]);
}

// The Windows metafile, by either road, played as a metafile picture is: the anisotropic
// mapping mode with the picture's extent on the device; the metafile brings its window.
TEST_F(PagePictureTest, WindowsMetafilePlaysIntoTheAnisotropicMapping)
{
    SIZE extent = {0, 0};
    HMETAFILE direct = page->OrdinaryMF(nullptr, extent);
    ASSERT_NE(nullptr, direct);
    EXPECT_EQ(25400, extent.cx);
    EXPECT_EQ(19050, extent.cy);
    HENHMETAFILE emf = page->CreateEMFEx(nullptr, 0);
    HMETAFILE converted = qkuConvertEMFtoWMFEx(emf, nullptr, MM_ANISOTROPIC);
    DeleteEnhMetaFile(emf);
    ASSERT_NE(nullptr, converted);
    for (HMETAFILE wmf : {direct, converted}) {
        EXPECT_GT(GetMetaFileBitsEx(wmf, 0, nullptr), 100u);
        Dib dib(W, H);
        Clear(dib);
        const int saved = SaveDC(dib.dc);
        SetMapMode(dib.dc, MM_ANISOTROPIC);
        SetViewportExtEx(dib.dc, W, H, nullptr);
        ASSERT_TRUE(PlayMetaFile(dib.dc, wmf));
        RestoreDC(dib.dc, saved);
        EXPECT_EQ(kYellow, dib.At(kInFrame.x, kInFrame.y)) << "the layer";
        EXPECT_EQ(kWhite, dib.At(kPaper.x, kPaper.y)) << "the paper";
        DeleteMetaFile(wmf);
    }
    EXPECT_EQ(nullptr, qkuConvertEMFtoWMFEx(nullptr, nullptr, MM_ANISOTROPIC));
}

TEST_F(PagePictureTest, OnlyAPageWithLayersCanBeCopied)
{
    EXPECT_TRUE(page->CheckCopyExportSupport(1));
    CQKGraphPage* layout = static_cast<CQKGraphPage*>(qkfxGetProject().CreatePage(QK_PAGE_LAYOUT));
    if (layout->GetNumLayers() == 0) {
        EXPECT_FALSE(layout->CheckCopyExportSupport(1));
        EXPECT_NE(std::string::npos, err.find("no layer")) << err;
    }
    SIZE untouched = {4000, 3000};
    qkfxGetProject().CreatePage(QK_PAGE_WKS)->GetPageSize(untouched);
    EXPECT_EQ(4000, untouched.cx);
}

// Without an enhanced metafile for the clipboard, the Windows metafile is made directly.
TEST_F(PagePictureTest, TheCopyPageSettingDecidesTheSimpleCopy)
{
    QKSysMethodCopyPage& copy = qkfxGetQrxSystem().GetRefCopyPage();
    EXPECT_TRUE(qkfxIsPutEMFOnClipboard());
    EXPECT_FALSE(page->IsSimpleCopyExport());
    copy.SetPutEMF(0);
    EXPECT_FALSE(qkfxIsPutEMFOnClipboard());
    EXPECT_TRUE(page->IsSimpleCopyExport());
    copy.SetPutEMF(1);
}

// The margin control chooses the part of the page the picture shows: the whole page, the
// bounds of what the page draws, or those bounds with a border. The expected bounds are
// the ink of the page drawn on its white paper into a bitmap of the page's own size.
TEST_F(PagePictureTest, MarginControlChoosesThePartOfThePageThePictureShows)
{
    QKSysMethodCopyPage& copy = qkfxGetQrxSystem().GetRefCopyPage();
    Dib drawn(W, H);
    Clear(drawn);
    RECT all = {0, 0, W, H};
    ASSERT_TRUE(page->Draw(drawn.dc, all));
    const RECT ink = drawn.Ink(all);
    ASSERT_FALSE(IsRectEmpty(&ink));
    ASSERT_GT(ink.left, 0);
    ASSERT_LT(ink.right, W) << "the axes leave paper around them";
    const double perPixel = 25400.0 / W; // HIMETRIC a pixel of the bitmap

    struct Case {
        const char* what;
        int closeness, border;
        RECT expected; // in the bitmap's pixels
        DWORD options = 0;
    };
    auto grown = [&](int percent) {
        RECT r = ink;
        InflateRect(&r, W * percent / 100, H * percent / 100);
        IntersectRect(&r, &r, &all);
        return r;
    };
    const Case cases[] = {
        {"page", kPage, 5, all},
        {"tight", kTight, 5, ink},
        {"border of 0 %", kBorder, 0, ink},
        {"border of 5 %", kBorder, 5, grown(5)},
        {"border of 20 %, kept inside the page", kBorder, 20, grown(20)},
        {"an exported page is the whole page", kBorder, 5, all, QK_EMF_WHOLE_PAGE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        copy.SetCloseness(c.closeness);
        copy.SetClipBorderWidth(c.border);
        HENHMETAFILE emf = page->CreateEMFEx(nullptr, c.options);
        ASSERT_NE(nullptr, emf);
        ENHMETAHEADER header = {};
        ASSERT_TRUE(GetEnhMetaFileHeader(emf, sizeof header, &header));
        // Two pixels of either device: both round the page to their own grid.
        const double tolerance = 2.5 * perPixel;
        EXPECT_NEAR((c.expected.right - c.expected.left) * perPixel, header.rclFrame.right - header.rclFrame.left,
                    tolerance);
        EXPECT_NEAR((c.expected.bottom - c.expected.top) * perPixel, header.rclFrame.bottom - header.rclFrame.top,
                    tolerance);

        // Played over its frame, the picture is the page's drawing of that part, and the
        // Windows metafile has the same extent.
        const int pw = c.expected.right - c.expected.left, ph = c.expected.bottom - c.expected.top;
        Dib played(pw, ph);
        RECT target = {0, 0, pw, ph};
        FillRect(played.dc, &target, (HBRUSH)GetStockObject(GRAY_BRUSH));
        ASSERT_TRUE(PlayEnhMetaFile(played.dc, emf, &target));
        const POINT middle = {(ink.left + ink.right) / 2, (ink.top + ink.bottom) / 2};
        EXPECT_EQ(drawn.At(middle.x, middle.y), played.At(middle.x - c.expected.left, middle.y - c.expected.top));
        EXPECT_EQ(kWhite, played.At(1, 1)) << "the paper is drawn inside the part";
        DeleteEnhMetaFile(emf);
        if (c.options != 0)
            continue;
        SIZE extent = {0, 0};
        HMETAFILE wmf = page->OrdinaryMF(nullptr, extent);
        ASSERT_NE(nullptr, wmf);
        EXPECT_EQ(header.rclFrame.right - header.rclFrame.left, extent.cx);
        EXPECT_EQ(header.rclFrame.bottom - header.rclFrame.top, extent.cy);
        DeleteMetaFile(wmf);
    }
}
