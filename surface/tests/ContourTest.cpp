// Contouring of a Z grid, checked on small grids whose lines can be followed by hand,
// and by an invariant computed from the grid itself: every traced point lies on a grid
// edge where the edge's linear interpolation equals the line's level.
#include <gtest/gtest.h>

#include <math.h>

#include <vector>

#include "ContourStore.h"
#include "TestHost.h"

namespace {

struct ColourMap {
    explicit ColourMap(int n) : bytes(ZColorsSize(n), 0) { ScxColorControl(0, n, 0, block()); }
    ZColorsBlock* block() { return reinterpret_cast<ZColorsBlock*>(bytes.data()); }
    int Level(int i) { return (int)ScxColorControl(34, i, 0, block()); }
    std::vector<uint8_t> bytes;
};

struct Grid {
    Grid(int rows, int cols, float fill) : values((size_t)rows * cols, fill)
    {
        view.rows = rows;
        view.cols = cols;
        view.stride = cols;
        view.values = values.data();
        view.perturbationDone = 0;
    }
    float& at(int column, int row) { return values[(size_t)row * view.cols + column]; }
    std::vector<float> values;
    ContourGridView view;
};

std::vector<float> Points(const ContourRecord* r)
{
    std::vector<float> p(2 * r->pointCount);
    if (r->points) {
        memcpy(p.data(), GlobalLock(r->points), p.size() * sizeof(float));
        GlobalUnlock(r->points);
    }
    return p;
}

// Every point the tracer made (those before the border part) is a crossing of the
// line's level on a grid edge.
void ExpectPointsOnLevel(Grid& g, ContourStore& store, ColourMap& map)
{
    for (int i = 1; i < store.Count(); ++i) {
        const ContourRecord* r = store.Record(i);
        std::vector<float> p = Points(r);
        int traced = r->borderPart ? r->borderPart : r->pointCount;
        float level = (float)map.Level(r->levelIndex);
        for (int k = 0; k < traced; ++k) {
            float x = p[2 * k], y = p[2 * k + 1];
            SCOPED_TRACE(testing::Message() << "line " << i << " point " << k << " (" << x << ", " << y << ")");
            double v;
            if (x == floorf(x)) {
                int j = (int)x, row = (int)floorf(y);
                double t = y - row;
                v = g.at(j, row) + t * (row + 1 < g.view.rows ? g.at(j, row + 1) - g.at(j, row) : 0);
            } else {
                ASSERT_EQ(y, floorf(y)) << "a point off every grid line";
                int row = (int)y, j = (int)floorf(x);
                double t = x - j;
                v = g.at(j, row) + t * (g.at(j + 1, row) - g.at(j, row));
            }
            EXPECT_NEAR(level, v, 1e-3);
        }
    }
}

int CountKind(ContourStore& store, uint8_t kind, int levelIndex = -1)
{
    int n = 0;
    for (int i = 0; i < store.Count(); ++i)
        if (store.Record(i)->kind == kind && (levelIndex < 0 || store.Record(i)->levelIndex == levelIndex))
            ++n;
    return n;
}

} // namespace

TEST(Contouring, AGridBelowEveryLevelGivesOnlyTheFrame)
{
    ColourMap map(8);
    Grid g(4, 5, -9999);
    ContourStore store;
    ASSERT_TRUE(ComputeContours(&g.view, &store, map.block()));
    ASSERT_EQ(1, store.Count());
    const ContourRecord* frame = store.Record(0);
    EXPECT_EQ(CONTOUR_EDGE, frame->kind);
    EXPECT_EQ(1, frame->borderPart);
    EXPECT_EQ(2 * (4 + 5) + 1, frame->pointCount);
    std::vector<float> p = Points(frame);
    EXPECT_EQ(0, p[0]);
    EXPECT_EQ(0, p[2 * frame->pointCount - 1]);
    EXPECT_FLOAT_EQ(4 * 3 + 4 * 5, frame->area) << "the grid's area plus rows * cols";
}

TEST(Contouring, APeakGivesOneClosedLinePerLevel)
{
    ColourMap map(8);
    Grid g(5, 5, 100);
    g.at(2, 2) = 1000;
    ContourStore store;
    ASSERT_TRUE(ComputeContours(&g.view, &store, map.block()));
    // Levels 287, 575 and 862 (indexes 2, 3, 4) lie between 100 and 1000.
    ASSERT_EQ(4, store.Count());
    EXPECT_EQ(3, CountKind(store, CONTOUR_INNER));
    for (int i = 1; i < 4; ++i) {
        SCOPED_TRACE(i);
        const ContourRecord* r = store.Record(i);
        EXPECT_EQ(i + 1, r->levelIndex);
        EXPECT_EQ(5, r->pointCount);
        std::vector<float> p = Points(r);
        EXPECT_EQ(p[0], p[8]);
        EXPECT_EQ(p[1], p[9]);
        // A diamond round the peak: corners 1 - t from it, t = (L - 100) / 900.
        double d = 1 - (map.Level(i + 1) - 100) / 900.0;
        EXPECT_NEAR(2 * d * d, r->area, 1e-4);
        // The region inside lies above the level: its colour is the band above it.
        EXPECT_EQ(ScxColorControl(37, map.Level(i + 1) + 1, 0, map.block()), r->colourIndex);
    }
    // Largest area first: the frame, then the lowest level's line.
    EXPECT_EQ(store.Record(0), store.ByOrder(0));
    EXPECT_EQ(store.Record(1), store.ByOrder(1));
    EXPECT_EQ(store.Record(3), store.ByOrder(3));
    EXPECT_EQ(nullptr, store.ByOrder(4));
    ExpectPointsOnLevel(g, store, map);
}

TEST(Contouring, ARidgeAcrossTheBorderIsClosedAlongIt)
{
    ColourMap map(8);
    Grid g(4, 5, 0);
    for (int k = 0; k < 4; ++k)
        for (int j = 0; j < 5; ++j)
            g.at(j, k) = 100.0f + 500.0f * j; // rises to the right: 100 .. 2100
    PerturbGrid(&g.view, map.block());
    ContourStore store;
    ASSERT_TRUE(ComputeContours(&g.view, &store, map.block()));
    EXPECT_EQ(0, CountKind(store, CONTOUR_INNER));
    // Levels 287 .. 2012 each cross the grid once, top to bottom.
    EXPECT_EQ(1 + 7, store.Count());
    for (int i = 1; i < store.Count(); ++i) {
        SCOPED_TRACE(i);
        const ContourRecord* r = store.Record(i);
        EXPECT_EQ(CONTOUR_EDGE, r->kind);
        EXPECT_EQ(4, r->borderPart) << "four rows crossed, then the border";
        std::vector<float> p = Points(r);
        // The closing part runs through the two right-hand corners, where the values
        // lie above the level: the region kept is the one above the level.
        bool topRight = false, bottomRight = false;
        for (int k = r->borderPart; k < r->pointCount; ++k) {
            topRight |= p[2 * k] == 4 && p[2 * k + 1] == 0;
            bottomRight |= p[2 * k] == 4 && p[2 * k + 1] == 3;
        }
        EXPECT_TRUE(topRight && bottomRight);
        EXPECT_EQ(p[0], p[2 * r->pointCount - 2]);
        EXPECT_EQ(p[1], p[2 * r->pointCount - 1]);
    }
    ExpectPointsOnLevel(g, store, map);
}

TEST(Contouring, ASaddleIsLeftByTheLeftTurn)
{
    // Two high nodes on a diagonal: the cell between them has four crossed edges. Turning
    // left keeps them apart, giving two small loops instead of one round both.
    ColourMap map(8);
    Grid g(4, 4, 100);
    g.at(1, 1) = 1000;
    g.at(2, 2) = 1000;
    ContourStore store;
    ASSERT_TRUE(ComputeContours(&g.view, &store, map.block()));
    EXPECT_EQ(2, CountKind(store, CONTOUR_INNER, 2));
    for (int i = 1; i < store.Count(); ++i)
        EXPECT_EQ(5, store.Record(i)->pointCount);
    ExpectPointsOnLevel(g, store, map);
}

TEST(Contouring, PerturbationMovesLevelValuesOnce)
{
    ColourMap map(8);
    Grid g(2, 3, 100.7f);
    g.at(0, 0) = 575;    // a level
    g.at(1, 0) = 287.9f; // truncates onto a level
    g.at(2, 1) = -9998;  // the lowest level
    PerturbGrid(&g.view, map.block());
    EXPECT_EQ(576, g.at(0, 0));
    EXPECT_EQ(288, g.at(1, 0));
    EXPECT_EQ(-9997, g.at(2, 1));
    EXPECT_EQ(100, g.at(0, 1));
    EXPECT_EQ(1, g.view.perturbationDone);
    g.at(0, 0) = 575;
    PerturbGrid(&g.view, map.block());
    EXPECT_EQ(575, g.at(0, 0)) << "the flag stops a second pass";
}

TEST(Contouring, LimitsOfLinesAndPoints)
{
    ColourMap map(8);
    {
        // Two rows: no interior pass, and a line along 5000 columns is cut at 4096 points.
        Grid g(2, 5000, 100);
        for (int j = 0; j < 5000; ++j)
            g.at(j, 1) = 400;
        ContourStore store;
        ASSERT_TRUE(ComputeContours(&g.view, &store, map.block()));
        EXPECT_EQ(0, CountKind(store, CONTOUR_INNER));
        // The cut line, then what is left of it traced from the other end.
        ASSERT_EQ(3, store.Count());
        EXPECT_EQ(ContourStore::MAX_POINTS, store.Record(1)->pointCount);
    }
    {
        // 101 x 101 separate peaks, three levels each: more lines than the store takes.
        TestHost host;
        ScxColorControl(30, 0, (INT_PTR)host.callback(), nullptr);
        Grid g(203, 203, 100);
        for (int k = 1; k < 203; k += 2)
            for (int j = 1; j < 203; j += 2)
                g.at(j, k) = 1000;
        ContourStore store;
        ASSERT_TRUE(ComputeContours(&g.view, &store, map.block()));
        EXPECT_EQ(ContourStore::MAX_LINES, store.Count());
        std::vector<std::string> scripts = host.Scripts();
        ASSERT_EQ(1u, scripts.size());
        EXPECT_EQ("ty -a [Max # contours exceeded]", scripts[0]);
    }
}

TEST(Contouring, ACopyOwnsItsPointLists)
{
    ColourMap map(8);
    Grid g(5, 5, 100);
    g.at(2, 2) = 1000;
    auto* store = new ContourStore;
    ComputeContours(&g.view, store, map.block());
    std::vector<float> before = Points(store->Record(2));
    ContourStore* copy = store->Copy();
    delete store;
    ASSERT_EQ(4, copy->Count());
    EXPECT_EQ(before, Points(copy->Record(2)));
    EXPECT_EQ(copy->Record(1), copy->ByOrder(1));
    delete copy;
}
