// Side walls: the points they keep, the faces of the ribbon in the order of the walk,
// and their answers to the hit test.
#include <gtest/gtest.h>

#include <vector>

#include "Surface.h"
#include "ViewFixture.h"

namespace {

struct Face {
    INT_PTR kind, segment;
};
std::vector<Face> g_faces;
INT_PTR g_percent = 10;

INT_PTR WINAPI Callback(INT_PTR, UINT code, INT_PTR, INT_PTR a2, INT_PTR a3, INT_PTR)
{
    switch (code) {
    case 0x20000A:
    case 0x200009:
        if (a2 != 0)
            g_faces.push_back({a2, a3 >> 16});
        return 0;
    case 0x20000D: return g_percent;
    case 0x200010: return 2;
    case 0x20000F: return 99; // keep the object's own style
    default: return 0;
    }
}

INT_PTR StoreCmd(UINT code, INT_PTR store, void* record)
{
    return SCX3D(nullptr, SCX3D_OBJECT_COMMAND | SCX3D_STORE_COMMAND | code, store, record, 0);
}

Scx3DDescription Wall(int points, uint8_t style, uint8_t flags)
{
    Scx3DDescription d{};
    d.kind = 6;
    d.storage = SCX3D_STORAGE_POINT_BLOCK;
    d.pointCount = points;
    d.objectId = 3;
    d.attributes.bytes[0] = style;
    d.attributes.bytes[11] = flags;
    d.attributes.callbackUser = 1;
    d.attributes.callback = &Callback;
    return d;
}

Scx3DObject* First(INT_PTR store)
{
    auto* header = (Scx3DStoreHeader*)GlobalLock((HGLOBAL)store);
    GlobalUnlock((HGLOBAL)store);
    return (Scx3DObject*)((uint8_t*)header + SCX3D_STORE_HEADER_SIZE);
}

// Projects the wall, puts its piece into a grid and draws the piece with the walk in the
// given direction.
void DrawWall(Scx3DView& v, Scx3DObject* wall, int16_t colStep)
{
    ObjectCommand(SCX3D_PREPARE_DRAWING, 0, nullptr, &v, wall, 0);
    BucketGridSpec spec{};
    spec.columns = spec.rows = 24;
    spec.dx = spec.dy = 100;
    BucketGrids(1, 0, 0, &spec, &v, nullptr);
    ASSERT_EQ(0, ObjectCommand(SCX3D_OBJ_FILL_GRID, 0, nullptr, &v, wall, 0));
    const auto* cell = BucketCell(5, 5);
    ASSERT_NE(nullptr, cell);
    BucketPiece piece = (*cell)[0];
    spec.colStep = colStep;
    memcpy(v.bucketSpec, &spec, sizeof spec);
    v.wallDepthUnit = 100;
    g_faces.clear();
    ObjectCommand(SCX3D_OBJ_DRAW_PIECE, 0, nullptr, &v, &piece, 0);
    BucketGrids(6, 0, 0, &spec, nullptr, nullptr);
}
} // namespace

TEST(SideWall, PointsStandAtTheWallHeightAboveY0)
{
    float settings[2] = {200, 7.9f};
    Scx3DDescription d = Wall(2, 1, 0);
    SCX3D(nullptr, 0x1002, 0, settings, (INT_PTR)&d);
    INT_PTR store = StoreCmd(SCX3D_STORE_CREATE, 0, nullptr);
    const int32_t pairs[] = {0, -5, 10, 3};
    store = SCX3D(nullptr, SCX3D_OBJ_ADD, store, (void*)pairs, (INT_PTR)&d);
    Scx3DObject* wall = First(store);
    EXPECT_FLOAT_EQ(7, wall->grid.pointValue);
    auto* p = (Scx3DPoint*)GlobalLock(wall->grid.pointBlock);
    const float expect[2][3] = {{0, 0, 200}, {10, 3, 200}};
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(expect[i][0], p[i].x);
        EXPECT_EQ(expect[i][1], p[i].y);
        EXPECT_EQ(expect[i][2], p[i].z);
    }
    GlobalUnlock(wall->grid.pointBlock);
    StoreCmd(SCX3D_STORE_FREE, store, nullptr);
}

TEST(SideWall, RibbonFacesFollowTheWalk)
{
    struct Row { int points; int16_t colStep; INT_PTR percent; std::vector<INT_PTR> segments, kinds; };
    const Row rows[] = {
        {3, 1, 10, {0, 1}, {1, 1}},
        {4, 1, 10, {0, 1, 2}, {1, 2, 1}},
        {4, -1, 10, {2, 1, 0}, {1, 2, 1}},
        {4, 1, 0, {}, {}}, // no thickness, no ribbon
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << r.points << " points, step " << r.colStep << ", " << r.percent << "%");
        g_percent = r.percent;
        Scx3DView v = MakeView();
        INT_PTR store = StoreCmd(SCX3D_STORE_CREATE, 0, nullptr);
        const int32_t pairs[] = {550, 550, 800, 900, 1200, 700, 1500, 600};
        Scx3DDescription d = Wall(r.points, 1, 0x02);
        store = SCX3D(nullptr, SCX3D_OBJ_ADD, store, (void*)pairs, (INT_PTR)&d);
        DrawWall(v, First(store), r.colStep);
        std::vector<INT_PTR> segments, kinds;
        for (const auto& f : g_faces) {
            segments.push_back(f.segment);
            kinds.push_back(f.kind);
        }
        // The outline of the curve (kind 0) is not a face; only ribbon faces are kept.
        EXPECT_EQ(r.segments, segments);
        EXPECT_EQ(r.kinds, kinds);
        StoreCmd(SCX3D_STORE_FREE, store, nullptr);
    }
}

TEST(SideWall, HitToleranceAndIndex)
{
    INT_PTR store = StoreCmd(SCX3D_STORE_CREATE, 0, nullptr);
    const int32_t pairs[] = {0, 0, 10, 10};
    Scx3DDescription bars = Wall(2, 0x60, 0x02), ribbon = Wall(2, 1, 0x02), plain = Wall(2, 1, 0);
    store = SCX3D(nullptr, SCX3D_OBJ_ADD, store, (void*)pairs, (INT_PTR)&bars);
    store = SCX3D(nullptr, SCX3D_OBJ_ADD, store, (void*)pairs, (INT_PTR)&ribbon);
    store = SCX3D(nullptr, SCX3D_OBJ_ADD, store, (void*)pairs, (INT_PTR)&plain);
    Scx3DObject* objects = First(store);
    EXPECT_EQ(48, ObjectCommand(SCX3D_OBJ_TOLERANCE, 0, nullptr, (void*)24, &objects[0], 0));
    EXPECT_EQ(24, ObjectCommand(SCX3D_OBJ_TOLERANCE, 0, nullptr, (void*)24, &objects[1], 0));
    const int expect[3] = {3, 2, 3};
    for (int i = 0; i < 3; ++i) {
        Scx3DHit hit{};
        hit.pointIndex = 3;
        ObjectCommand(SCX3D_OBJ_HIT_NOTICE, 0, nullptr, nullptr, &objects[i], (INT_PTR)&hit);
        EXPECT_EQ(expect[i], hit.pointIndex) << "object " << i;
    }
    StoreCmd(SCX3D_STORE_FREE, store, nullptr);
}

namespace {
std::vector<UINT> g_barFaces;
INT_PTR WINAPI BarCallback(INT_PTR, UINT code, INT_PTR, INT_PTR, INT_PTR, INT_PTR)
{
    if (code == 0x200009 || code == 0x20000A)
        g_barFaces.push_back(code);
    return 0;
}
}

TEST(SideWall, BarFacesTurnedTowardTheEye)
{
    // A bar standing along Y (index -1) works in exchanged coordinates (x, z, y): "up"
    // is real y. Half-widths 10 and 10 round the point.
    struct Row { float height; float eye[3]; std::vector<UINT> faces; };
    const Row rows[] = {
        {0, {0, 50, 0}, {0x20000A, 0x20000A}}, // height 0 from above: floor and top
        {-20, {0, 50, 0}, {0x20000A}},         // negative height from above: floor only
        {20, {0, -50, 0}, {0x20000A}},         // eye below the floor: floor only
        {20, {0, 5, -100}, {0x200009}},        // in front of the low side face only
    };
    Scx3DAttributes a{};
    a.callbackUser = 1;
    a.callback = &BarCallback;
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << "height " << r.height << " eye " << r.eye[0] << "," << r.eye[1] << "," << r.eye[2]);
        Scx3DView v = MakeView();
        memcpy(v.eyeWorld, r.eye, sizeof r.eye);
        g_barFaces.clear();
        const float point[3] = {0, 0, r.height};
        const int32_t half[2] = {10, 10};
        MeshDrawBar(&v, point, -1, half, 0, &a);
        EXPECT_EQ(r.faces, g_barFaces);
    }
}
