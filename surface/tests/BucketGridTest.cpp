// The bucket grid: set-up covers the box, pieces land in their cells (a point on the
// last line in the last cell), and each cell keeps its pieces back to front.
#include <gtest/gtest.h>

#include "Surface.h"
#include "ViewFixture.h"

namespace {
BucketPiece Piece(float x, float y, float z, uint8_t tag)
{
    BucketPiece p{};
    p.kind = 4;
    p.reference[0] = x;
    p.reference[1] = y;
    p.reference[2] = z;
    p.bytes52[0] = tag;
    return p;
}

std::vector<int> Tags(int row, int column)
{
    std::vector<int> tags;
    if (const auto* pieces = BucketCell(row, column))
        for (const auto& p : *pieces)
            tags.push_back(p.bytes52[0]);
    return tags;
}
}

TEST(BucketGrid, SetUpExtendsTheGridOverTheBox)
{
    struct Row { float x0, dx; uint16_t lines; float expectX0; uint16_t expectLines; };
    const Row rows[] = {
        {250, 100, 20, -50, 25}, // 3 lines before, then 2 after to pass 2300
        {0, 100, 24, 0, 24},     // already covers 0 .. 2300
        {0, 100, 10, 0, 25},     // lines are added up to one beyond the box
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << r.x0 << " step " << r.dx << " lines " << r.lines);
        Scx3DView v = MakeView();
        BucketGridSpec spec{};
        spec.columns = r.lines;
        spec.rows = 24;
        spec.x0 = r.x0;
        spec.dx = r.dx;
        spec.dy = 100;
        spec.gridFlags = 0x0100 | BUCKET_ROWS_DOWN; // far corner 1, walk bits clear
        EXPECT_EQ(0, BucketGrids(1, 0, 0, &spec, &v, nullptr));
        EXPECT_FLOAT_EQ(r.expectX0, spec.x0);
        EXPECT_EQ(r.expectLines, spec.columns);
        EXPECT_GE(spec.x0 + (spec.columns - 1) * spec.dx, 2300);
        // Corner 1 is (last row line, column 0); the walk runs to the row of corner 0 and
        // the column of corner 2.
        EXPECT_EQ(23, spec.rowCorner0);
        EXPECT_EQ(0, spec.colCorner0);
        EXPECT_EQ(0, spec.rowCorner1);
        EXPECT_EQ(spec.columns - 1, spec.colCorner1);
        EXPECT_EQ(-1, spec.rowStep);
        EXPECT_EQ(1, spec.colStep);
        EXPECT_EQ(0, memcmp(&spec, v.bucketSpec, sizeof spec)) << "a copy goes into the view";
        BucketGrids(6, 0, 0, &spec, nullptr, nullptr);
    }
}

TEST(BucketGrid, PiecesLandInTheirCellsBackToFront)
{
    Scx3DView v = MakeView();
    BucketGridSpec spec{};
    spec.columns = spec.rows = 24;
    spec.dx = spec.dy = 100;
    BucketGrids(1, 0, 0, &spec, &v, nullptr);

    // A point on the last line joins the last cell; beyond it is outside.
    BucketPiece last = Piece(2300, 2300, 5, 1);
    EXPECT_EQ(0, BucketGrids(3, 0, 0, &last, nullptr, &v));
    EXPECT_EQ(std::vector<int>{1}, Tags(22, 22));
    BucketPiece outside = Piece(2400, 50, 5, 2);
    EXPECT_EQ(1, BucketGrids(3, 0, 0, &outside, nullptr, &v));
    BucketPiece below = Piece(-150, 50, 5, 2); // -1.5 cells truncates to -1
    EXPECT_EQ(1, BucketGrids(3, 0, 0, &below, nullptr, &v));

    // The eye is above the floor: higher z is farther and comes first; equal keys keep
    // the order they came in.
    ASSERT_GT(v.eyeWorld[2], 0);
    const float keys[] = {10, 30, 20, 30, 10};
    for (int i = 0; i < 5; ++i) {
        BucketPiece p = Piece(150, 250, keys[i], (uint8_t)(10 + i));
        BucketGrids(3, 0, 0, &p, nullptr, &v);
    }
    EXPECT_EQ((std::vector<int>{11, 13, 12, 10, 14}), Tags(2, 1));

    // From below the floor in a horizontal view the order turns round; an upright view
    // always sorts from high to low.
    struct Row { float eyeZ; uint8_t horizontal; std::vector<int> order; };
    const Row rows[] = {
        {-100, 1, {10, 14, 12, 11, 13}},
        {-100, 0, {11, 13, 12, 10, 14}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << "eye z " << r.eyeZ << " horizontal " << int(r.horizontal));
        Scx3DView w = v;
        w.eyeWorld[2] = r.eyeZ;
        w.horizontal = r.horizontal;
        w.boxY = w.boxZ; // upright views map z onto the second axis by box Y / box Z
        BucketGrids(1, 0, 0, &spec, &w, nullptr);
        for (int i = 0; i < 5; ++i) {
            // In the upright view the second axis is z, so z = 200 + key keeps the pieces
            // in the same cell as y = 250 does in the horizontal one.
            BucketPiece p = Piece(150, 250, r.horizontal ? keys[i] : 200 + keys[i], (uint8_t)(10 + i));
            BucketGrids(3, 0, 0, &p, nullptr, &w);
        }
        EXPECT_EQ(r.order, Tags(2, 1));
    }
    BucketGrids(6, 0, 0, &spec, nullptr, nullptr);
    EXPECT_EQ(nullptr, BucketCell(2, 1));
    EXPECT_EQ(1, BucketGrids(3, 0, 0, &last, nullptr, &v)) << "no grid, nothing stored";
}
