#include "QKContour.h"
#include "KernelTest.h"

#include "qxtest/Pixels.h"

namespace {

class ContourObjectsTest : public KernelTest {};

TEST_F(ContourObjectsTest, FontSetRoundTripsAndEveryFailingStepAnswersFalse)
{
    CQKFontTypePSet font;
    font.SetFont({2, 14, 3, 1});
    CQKArchive out;
    ASSERT_TRUE(font.WriteToArch(out));
    EXPECT_EQ(font.GetSavingSize(), out.GetBytes().size());

    CQKFontTypePSet back;
    CQKArchive in(out.GetBytes());
    ASSERT_TRUE(back.ReadFromArch(in));
    EXPECT_EQ(14, back.GetFont().size);
    EXPECT_EQ(3, back.GetFont().color);

    CQKFontTypePSet copy;
    ASSERT_TRUE(copy.CopyFrom(&font));
    EXPECT_EQ(2, copy.GetFont().font);

    // Every shorter archive fails on reading, every lower write limit on writing.
    for (size_t n = 0; n < out.GetBytes().size(); ++n) {
        std::vector<BYTE> cut(out.GetBytes().begin(), out.GetBytes().begin() + n);
        CQKArchive shortIn(cut);
        EXPECT_FALSE(CQKFontTypePSet().ReadFromArch(shortIn)) << n;
        CQKArchive limited;
        limited.SetWriteLimit(n);
        EXPECT_FALSE(font.WriteToArch(limited)) << n;
    }
    // Another class's header is refused.
    std::vector<BYTE> other = out.GetBytes();
    other[0] ^= 1;
    CQKArchive otherIn(other);
    EXPECT_FALSE(CQKFontTypePSet().ReadFromArch(otherIn));
}

TEST_F(ContourObjectsTest, SegmentsMeetRectangles)
{
    RECT r = {10, 10, 20, 20};
    struct Case { POINT a, b; BOOL meets; } cases[] = {
        {{0, 15}, {30, 15}, TRUE},   // straight through
        {{12, 12}, {18, 18}, TRUE},  // wholly inside
        {{0, 0}, {30, 30}, TRUE},    // through the corners
        {{0, 25}, {30, 25}, FALSE},  // below
        {{0, 0}, {5, 30}, FALSE},    // left of it
        {{25, 0}, {0, 8}, FALSE},    // past the corner
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.meets, qkuFindRectangleLineIntersection(r, c.a, c.b)) << c.a.x << "," << c.a.y;
}

TEST_F(ContourObjectsTest, BrokenPolylineLeavesTheGapsBlank)
{
    qxtest::MemoryCanvas canvas(60, 20);
    {
        CQKLine2 painter(canvas.dc());
        QKContourPen pen;
        pen.color = RGB(255, 0, 0);
        painter.SetPen(pen);
        POINT line[] = {{0, 10}, {59, 10}};
        RECT gap = {20, 5, 40, 15};
        painter.DrawPolyLine(line, 2, &gap, 1);
    }
    qxtest::Image image = canvas.Capture();
    EXPECT_EQ(RGB(255, 0, 0), image.ColorAt(10, 10));
    EXPECT_EQ(RGB(255, 0, 0), image.ColorAt(50, 10));
    EXPECT_EQ(RGB(255, 255, 255), image.ColorAt(30, 10));
    EXPECT_EQ(RGB(255, 255, 255), image.ColorAt(25, 10));
}

TEST_F(ContourObjectsTest, LayerMapsItsFrameToWorld)
{
    CQKLayer layer(nullptr);
    double x, y;
    EXPECT_FALSE(layer.LogicalToRealWorld({0, 0}, x, y));
    layer.SetFrameArea({100, 50, 300, 250}, 0, 10, -1, 1);
    ASSERT_TRUE(layer.LogicalToRealWorld({200, 50}, x, y));
    EXPECT_DOUBLE_EQ(5, x);
    EXPECT_DOUBLE_EQ(1, y);
    EXPECT_TRUE(layer.IsPtInFrameArea({150, 100}));
    EXPECT_FALSE(layer.IsPtInFrameArea({50, 100}));
}

TEST_F(ContourObjectsTest, ColourMapSwitchesAndPens)
{
    CQKColorMapData map;
    QKContourPen pen;
    EXPECT_TRUE(map.GetDrawLine(3, pen));
    map.SetContourLineFlags(3, CQKColorMapData::CONTOUR_LINE_HIDDEN);
    EXPECT_FALSE(map.GetDrawLine(3, pen));
    map.SetContourLabelShown(3, TRUE);
    EXPECT_EQ(CQKColorMapData::CONTOUR_LINE_HIDDEN | CQKColorMapData::CONTOUR_LABEL_SHOWN,
              map.GetContourLineFlags(3));
    EXPECT_FALSE(map.SetAllForceContourLineLabelCreation(FALSE));
    map.SetForceContourLineLabelCreation(1, TRUE);
    EXPECT_TRUE(map.SetAllForceContourLineLabelCreation(FALSE));
    EXPECT_FALSE(map.IsForceContourLineLabelCreation(1));

    COLORREF c;
    int pattern;
    map.SetFill(2, RGB(1, 2, 3), 0);
    EXPECT_TRUE(map.GetFill(2, c, pattern));
    map.SetMissingColorIndex(2);
    EXPECT_FALSE(map.GetFill(2, c, pattern));
    EXPECT_FALSE(map.GetFill(7, c, pattern));
}

} // namespace

namespace {

// The colour map as the script object colormap: there only once a plot has a map, read
// and set by name or by a band number in parentheses, and a set the map ignores is an
// error that says why instead of a silent success.
TEST_F(ContourObjectsTest, ColourMapScriptObjectReadsSetsAndRefusesWithReasons)
{
    EXPECT_FALSE(Run("n = colormap.numcolors"));
    EXPECT_NE(std::string::npos, err.find("there is no colour map")) << err;

    ASSERT_TRUE(Run("win -t matrix; matrix -ps dim 6 6; matrix -p 200 ContourColor")) << err;
    ASSERT_TRUE(Run("colormap.=")) << err;
    EXPECT_NE(std::string::npos, out.find("NUMCOLORS")) << out;

    ASSERT_TRUE(Run("colormap.numcolors = 5; colormap.zmin = -2.5; colormap.zmax = 4")) << err;
    ASSERT_TRUE(Run("n = colormap.numcolors; lo = colormap.zmin; hi = colormap.zmax; m = colormap.mode")) << err;
    EXPECT_EQ(5, Var("n"));
    EXPECT_EQ(-2.5, Var("lo"));
    EXPECT_EQ(4, Var("hi"));
    EXPECT_EQ(3, Var("m"));

    struct Refused {
        const char* script;
        const char* reason;
    } refused[] = {
        {"colormap.color2 = 65280", "band colours follow the ramp"},
        {"colormap.z(2) = 100", "levels are evenly spaced"},
        {"colormap.mode = 2", "mode takes 0 or 1"},
    };
    for (const Refused& r : refused) {
        SCOPED_TRACE(r.script);
        EXPECT_FALSE(Run(r.script));
        EXPECT_NE(std::string::npos, err.find(r.reason)) << err;
    }

    ASSERT_TRUE(Run("colormap.mode = 0; i = 2; colormap.color(i + 1) = 65280; c = colormap.color3")) << err;
    EXPECT_EQ(65280, Var("c"));
    EXPECT_FALSE(Run("c = colormap.color6")) << "a band past the last is no member";
    EXPECT_NE(std::string::npos, err.find("is not a member")) << err;
    EXPECT_TRUE(qkfxGetProject().IsModified());
}

} // namespace
