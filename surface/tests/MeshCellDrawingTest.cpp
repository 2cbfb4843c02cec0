// Mesh cells: clipping to the clip rectangle, the inner and outer lines of a two-colour
// mesh, border panels and the strip walk of the object-by-object pass, drawn into a
// memory DC by a kernel stand-in that picks a black pen and a green panel brush.
#include <gtest/gtest.h>

#include <vector>

#include "Surface.h"
#include "ViewFixture.h"
#include "qxtest/Pixels.h"

namespace {

struct Call {
    UINT code;
    INT_PTR a2, a3;
};
std::vector<Call> g_calls;
HPEN g_pen;
HBRUSH g_green;

INT_PTR WINAPI Kernel(INT_PTR, UINT code, INT_PTR a1, INT_PTR a2, INT_PTR a3, INT_PTR)
{
    g_calls.push_back({code, a2, a3});
    if (code == 0x200013)
        SelectObject((HDC)a1, g_pen);
    if (code == 0x200019 && a3 == 1)
        SelectObject((HDC)a1, g_green);
    if (code == 0x200019 && a3 == 0)
        SelectObject((HDC)a1, g_pen);
    return 0;
}

int Count(UINT code)
{
    int n = 0;
    for (const Call& c : g_calls)
        n += c.code == code;
    return n;
}

struct Scene {
    qxtest::MemoryCanvas canvas{400, 300};
    Scx3DView view = MakeView();
    Scx3DAttributes attributes{};
    Scene(uint8_t kind, uint8_t flags)
    {
        g_pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
        g_green = CreateSolidBrush(RGB(0, 255, 0));
        g_calls.clear();
        view.deviceContext = (int32_t)(INT_PTR)canvas.dc();
        attributes.bytes[6] = kind;
        attributes.bytes[11] = flags;
        attributes.callbackUser = 1;
        attributes.callback = &Kernel;
    }
    ~Scene()
    {
        DeleteObject(g_pen);
        DeleteObject(g_green);
    }
};

// A cell in grid order (x0, y0), (x1, y0), (x1, y1), (x0, y1) with z = x and device
// points (50 + x, 250 - y), so that interpolated values can be told at a glance.
MeshCell GridCell(float x0, float x1, float y0, float y1)
{
    MeshCell c{};
    const float xy[4][2] = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
    for (int k = 0; k < 4; ++k) {
        c.world[k][0] = xy[k][0];
        c.world[k][1] = xy[k][1];
        c.world[k][2] = xy[k][0];
        c.device[k][0] = 50 + (int32_t)xy[k][0];
        c.device[k][1] = 250 - (int32_t)xy[k][1];
    }
    return c;
}

bool NearBlack(const qxtest::Image& image, int x, int y)
{
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (image.ColorAt(x + dx, y + dy) == RGB(0, 0, 0))
                return true;
    return false;
}

INT_PTR WINAPI NoDraw(UINT, INT_PTR, INT_PTR, INT_PTR)
{
    return 0;
}

} // namespace

TEST(MeshCell, ClipCodesAndCutCorners)
{
    struct Case {
        const char* name;
        uint8_t walls, flags;
        float rect[4]; // X from, X to, Y to, Y from
        float x0, x1, y0, y1;
        int code;
        float leftX, rightX; // n0.x and n1.x after clipping
    } cases[] = {
        {"unclipped", 0, 0, {100, 200, 300, 0}, 200, 250, 10, 60, 0, 200, 250},
        {"starts at X to", 0x80, 0, {100, 200, 300, 0}, 200, 250, 10, 60, 5, 0, 0},
        {"flat", 0x80, 0, {100, 200, 300, 0}, 120, 120, 10, 60, 5, 0, 0},
        {"cut at X from", 0x80, 0, {100, 200, 300, 0}, 50, 150, 10, 60, 1, 100, 150},
        {"cut at X to", 0x80, 0, {100, 200, 300, 0}, 150, 250, 10, 60, 2, 150, 200},
        {"rectangle typed backwards", 0x80, 0, {200, 100, 0, 300}, 50, 150, 10, 60, 1, 100, 150},
        {"on Y to", 0x80, 0, {100, 200, 60, 0}, 120, 150, 10, 60, 3 << 8, 120, 150},
        {"box edges for panels", 0, 0x10, {0, 0, 0, 0}, 0, 100, 0, 100, 1 | (4 << 8), 0, 100},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        Scene s(1, k.flags);
        s.view.walls = k.walls;
        memcpy(s.view.xyRect, k.rect, sizeof k.rect);
        MeshCell cell = GridCell(k.x0, k.x1, k.y0, k.y1);
        ASSERT_EQ(k.code, MeshClipCell(&cell, &s.attributes, &s.view));
        if (k.code == 5)
            continue;
        // Canonical order: n0 at the largest y, n3 at the smallest, n1 and n2 on the right.
        EXPECT_FLOAT_EQ(k.y1, cell.world[0][1]);
        EXPECT_FLOAT_EQ(k.y0, cell.world[3][1]);
        EXPECT_FLOAT_EQ(k.leftX, cell.world[0][0]);
        EXPECT_FLOAT_EQ(k.leftX, cell.world[3][0]);
        EXPECT_FLOAT_EQ(k.rightX, cell.world[1][0]);
        for (int c = 0; c < 4; ++c) {
            EXPECT_FLOAT_EQ(cell.world[c][0], cell.world[c][2]); // z = x along the cut edge
            EXPECT_EQ(50 + (int)cell.world[c][0], cell.device[c][0]);
        }
    }
}

TEST(MeshCell, TwoColourMeshDrawsInnerLinesAtThirds)
{
    // Mode 2 with two inner lines each way: world x 0..300 maps to device 50..350 and
    // world y 0..200 to device 250..50, so the lines lie at x 150, 250 and y 116, 183.
    Scene s(2, 0x02);
    int16_t two = 2;
    memcpy(&s.attributes.bytes[8], &two, 2);
    MeshCell cell = GridCell(0, 300, 0, 200);
    MeshDrawCell(&cell, &s.view, &s.attributes, 0);
    qxtest::Image image = s.canvas.Capture();
    EXPECT_TRUE(NearBlack(image, 150, 200));
    EXPECT_TRUE(NearBlack(image, 250, 200));
    EXPECT_TRUE(NearBlack(image, 100, 117));
    EXPECT_TRUE(NearBlack(image, 100, 183));
    EXPECT_TRUE(NearBlack(image, 50, 150)); // the outline
    EXPECT_FALSE(NearBlack(image, 200, 150)); // the cell is not filled
    EXPECT_EQ(2, Count(0x200013));
    EXPECT_EQ(2, Count(0x200014));

    // Other parts of a two-colour mesh draw nothing.
    g_calls.clear();
    cell = GridCell(0, 300, 0, 200);
    MeshDrawCell(&cell, &s.view, &s.attributes, 1);
    EXPECT_TRUE(g_calls.empty());
}

TEST(MeshCell, BorderPanelFacesTheEyeOnlyFromOneSide)
{
    // A cell on the box's X from side at z 1000: the X panel under its edge is filled
    // when the walk runs columns downward, and left out otherwise.
    for (bool down : {true, false}) {
        SCOPED_TRACE(down);
        Scene s(1, 0x10);
        BucketGridSpec spec{};
        spec.gridFlags = down ? BUCKET_COLUMNS_DOWN : 0;
        memcpy(s.view.bucketSpec, &spec, sizeof spec);
        MeshCell cell{};
        const float xy[4][2] = {{0, 1000}, {500, 1000}, {500, 1500}, {0, 1500}};
        for (int k = 0; k < 4; ++k) {
            float p[3] = {xy[k][0], xy[k][1], 1000};
            memcpy(cell.world[k], p, 12);
            ProjectPoint(PROJECT_WORLD_TO_DEVICE, &s.view, p, cell.device[k], nullptr);
        }
        int code = MeshClipCell(&cell, &s.attributes, &s.view);
        ASSERT_EQ(1, code);
        g_calls.clear();
        MeshDrawCellPanels(code, &cell, &s.view, &s.attributes);
        std::vector<INT_PTR> passes;
        for (const Call& c : g_calls)
            if (c.code == 0x200019)
                passes.push_back(c.a2 * 10 + c.a3);
        EXPECT_EQ((std::vector<INT_PTR>{11, 10}), passes);
        EXPECT_EQ(2, Count(0x20001A));
        float inside[3] = {0, 1250, 500};
        int32_t d[2];
        ProjectPoint(PROJECT_WORLD_TO_DEVICE, &s.view, inside, d, nullptr);
        EXPECT_EQ(down, s.canvas.Capture().ColorAt(d[0], d[1]) == RGB(0, 255, 0));
    }
}

TEST(MeshCell, TurnedWalkSwapsStripDirectionAndKeepsTheFarCorner)
{
    // Neighbouring corners differ in one coordinate, and the next and the previous
    // corner in different ones: turning the other way swaps rows and columns as strips.
    for (int f = 0; f < 4; ++f)
        for (bool next : {false, true}) {
            uint16_t a = WalkFlags(f, next), b = WalkFlags(f, !next);
            EXPECT_EQ(f, (a >> 8) & 3);
            EXPECT_EQ(f, (b >> 8) & 3);
            EXPECT_NE(a & BUCKET_WALK_ROWS_OUTER, b & BUCKET_WALK_ROWS_OUTER) << f << next;
        }
}

TEST(MeshCell, StripWalkDrawsEveryCellOnceAndTheNearSides)
{
    // A 4 x 3 grid has 6 cells; a kind 1 or 2 cell draws itself once between 0x200013
    // and 0x200014 whatever side the mesh is seen from, also when lines of one direction
    // turn the walk to run along them.
    struct Case {
        uint8_t kind, flags;
    } cases[] = {{2, 0x10}, {1, 0x10}, {1, 0x70}, {1, 0x30}};
    for (const Case& k : cases)
    for (float rotation : {15.0f, 105.0f, 195.0f, 285.0f}) {
        SCOPED_TRACE(rotation);
        SCOPED_TRACE((int)k.flags);
        Scene s(k.kind, k.flags);
        MeshDescription d{};
        d.kind = 2;
        d.storage = SCX3D_STORAGE_POINT_BLOCK;
        d.pointCount = 12;
        d.grid.meshColumns = 4;
        d.grid.meshRows = 3;
        d.grid.meshX0 = 200;
        d.grid.meshDx = 600;
        d.grid.meshY0 = 200;
        d.grid.meshDy = 900;
        d.attributes = s.attributes;
        std::vector<float> z(12, 1000);
        INT_PTR store = SCX3D(nullptr, SCX3D_OBJECT_COMMAND | SCX3D_STORE_COMMAND | SCX3D_STORE_CREATE, 0, nullptr, 0);
        store = SCX3D(nullptr, SCX3D_OBJ_ADD, store, z.data(), (INT_PTR)&d);
        s.view.tilt = rotation;
        SCX3D(nullptr, 0x2001, 0, &s.view, 0);
        Refit(s.view);
        s.view.deviceContext = (int32_t)(INT_PTR)s.canvas.dc();
        SCX3D(nullptr, SCX3D_PREPARE_DRAWING, store, &s.view, 0);
        g_calls.clear();
        SCX3D(nullptr, SCX3D_PAINT, store, &s.view, (INT_PTR)&NoDraw);
        EXPECT_EQ(6, Count(0x200013));
        EXPECT_EQ(6, Count(0x200014));
        // The cells lie inside the box, so the only panels are the mesh's two near sides.
        std::vector<INT_PTR> orientations;
        for (const Call& c : g_calls)
            if (c.code == 0x200019)
                orientations.push_back(c.a2);
        ASSERT_EQ(2u, orientations.size());
        EXPECT_NE(orientations[0], orientations[1]); // one side of each direction
        SCX3D(nullptr, SCX3D_OBJECT_COMMAND | SCX3D_STORE_COMMAND | SCX3D_STORE_FREE, store, nullptr, 0);
    }
}
