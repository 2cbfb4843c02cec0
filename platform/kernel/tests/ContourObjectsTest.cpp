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
