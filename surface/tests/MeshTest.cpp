// The mesh object's grid: its points, the grid it lends to the pass, the cells it hands
// out and the mapping of hits back to the caller's index.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "Surface.h"
#include "ViewFixture.h"

namespace {
INT_PTR StoreCmd(UINT code, INT_PTR store, void* record)
{
    return SCX3D(nullptr, SCX3D_OBJECT_COMMAND | SCX3D_STORE_COMMAND | code, store, record, 0);
}

MeshDescription Mesh3x2()
{
    MeshDescription d{};
    d.kind = 2;
    d.storage = SCX3D_STORAGE_POINT_BLOCK;
    d.pointCount = 6;
    d.objectId = 8;
    d.grid.meshColumns = 3;
    d.grid.meshRows = 2;
    d.grid.meshX0 = 0;
    d.grid.meshDx = 10;
    d.grid.meshY0 = 5;
    d.grid.meshDy = 20;
    d.grid.indexScale = 1;
    d.grid.columnStride = 7;
    d.grid.rowStride = 100;
    return d;
}

Scx3DObject* First(INT_PTR store)
{
    auto* header = (Scx3DStoreHeader*)GlobalLock((HGLOBAL)store);
    GlobalUnlock((HGLOBAL)store);
    return (Scx3DObject*)((uint8_t*)header + SCX3D_STORE_HEADER_SIZE);
}
}

TEST(Mesh, PointsGridCellsAndHits)
{
    const float z[6] = {1, 2, 3, 4, 5, 6};
    MeshDescription d = Mesh3x2();
    INT_PTR store = StoreCmd(SCX3D_STORE_CREATE, 0, nullptr);
    store = SCX3D(nullptr, SCX3D_OBJ_ADD, store, (void*)z, (INT_PTR)&d);
    Scx3DObject* mesh = First(store);
    ASSERT_EQ(6, mesh->pointCount);
    auto* p = (Scx3DPoint*)GlobalLock(mesh->mesh.pointBlock);
    const float expect[6][3] = {{0, 5, 1}, {10, 5, 2}, {20, 5, 3}, {0, 25, 4}, {10, 25, 5}, {20, 25, 6}};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(expect[i][0], p[i].x) << i;
        EXPECT_EQ(expect[i][1], p[i].y) << i;
        EXPECT_EQ(expect[i][2], p[i].z) << i;
    }
    GlobalUnlock(mesh->mesh.pointBlock);

    // The grid it lends to the pass.
    Scx3DView v = MakeView();
    BucketGridSpec spec{};
    spec.gridFlags = 0x0100;
    EXPECT_EQ(1, ObjectCommand(SCX3D_OBJ_PLAIN, store, nullptr, &v, mesh, (INT_PTR)&spec));
    EXPECT_EQ(3, spec.columns);
    EXPECT_EQ(2, spec.rows);
    EXPECT_EQ(0, spec.x0);
    EXPECT_EQ(5, spec.y0);
    EXPECT_EQ(10, spec.dx);
    EXPECT_EQ(20, spec.dy);
    EXPECT_EQ(0x0100, mesh->mesh.meshWalkFlags);

    // Cells: the corners (r, c), (r, c'), (r', c'), (r', c); none past the last line.
    spec.rowStep = 1;
    spec.colStep = 1;
    memcpy(v.bucketSpec, &spec, sizeof spec);
    EXPECT_EQ(0, ObjectCommand(SCX3D_OBJ_PASS_MESH, 0, nullptr, &v, mesh, 0));
    float cell[20];
    EXPECT_EQ(1, ObjectCommand(SCX3D_OBJ_MESH_CELL, 0, (HWND)1, &v, mesh, (INT_PTR)cell));
    EXPECT_EQ(10, cell[0]);
    EXPECT_EQ(2, cell[2]);
    EXPECT_EQ(20, cell[3]);
    EXPECT_EQ(6, cell[8]);
    EXPECT_EQ(5, cell[11]) << "the fourth corner is (r', c), point 4";
    EXPECT_EQ(0, ObjectCommand(SCX3D_OBJ_MESH_CELL, 1, (HWND)0, &v, mesh, (INT_PTR)cell)) << "the last row line";
    EXPECT_EQ(0, ObjectCommand(SCX3D_OBJ_MESH_CELL, 0, (HWND)2, &v, mesh, (INT_PTR)cell)) << "the last column line";

    // Hits map back: point 4 (row 1, column 1) becomes 1 * 7 + 1 * 100 * 1.
    Scx3DHit hit{};
    hit.pointIndex = 4;
    ObjectCommand(SCX3D_OBJ_HIT_NOTICE, 0, nullptr, nullptr, mesh, (INT_PTR)&hit);
    EXPECT_EQ(107, hit.pointIndex);

    // Tolerance: bars get 48, other kinds the default.
    EXPECT_EQ(24, ObjectCommand(SCX3D_OBJ_TOLERANCE, 0, nullptr, (void*)24, mesh, 0));
    mesh->attributes.bytes[6] = 3;
    EXPECT_EQ(48, ObjectCommand(SCX3D_OBJ_TOLERANCE, 0, nullptr, (void*)24, mesh, 0));

    // Defaults and the kind-0 question.
    uint8_t attributes[SCX3D_ATTRIBUTE_SIZE];
    memset(attributes, 0xFF, sizeof attributes);
    ObjectCommand(0x100B, 0, nullptr, attributes, mesh, 0);
    EXPECT_EQ(2, attributes[0]);
    EXPECT_EQ(1, attributes[6]);
    EXPECT_EQ(2, attributes[8]);
    EXPECT_EQ(0xF8, attributes[11]);
    EXPECT_EQ(0, ObjectCommand(0x100F, 0, nullptr, attributes, mesh, 0));
    attributes[6] = 0;
    EXPECT_EQ(1, ObjectCommand(0x100F, 0, nullptr, attributes, mesh, 0));

    // A mesh of one row has no spacing and is refused.
    MeshDescription thin = Mesh3x2();
    thin.grid.meshRows = 1;
    thin.pointCount = 3;
    EXPECT_EQ(1, SCX3D(nullptr, SCX3D_OBJ_ADD, store, (void*)z, (INT_PTR)&thin));
    StoreCmd(SCX3D_STORE_FREE, store, nullptr);
}

namespace {
std::vector<INT_PTR> g_barRows;
INT_PTR WINAPI BarCallback(INT_PTR, UINT code, INT_PTR, INT_PTR a2, INT_PTR a3, INT_PTR a4)
{
    if (code == 0x20001B) {
        double* widths = (double*)a4;
        widths[0] = widths[1] = 50;
    }
    if (code == 0x200017 && a2 == 0)
        g_barRows.push_back(a3); // a bar begins: its row index
    return 0;
}
INT_PTR WINAPI NoDraw(UINT, INT_PTR, INT_PTR, INT_PTR)
{
    return 0;
}
}

TEST(Mesh, BarsStandAtEveryPointOnceWhateverTheView)
{
    // Seen from all four sides the walk starts at another far corner; every grid point
    // gets its bar once, tagged with its row.
    for (float rotation : {15.0f, 105.0f, 195.0f, 285.0f}) {
        SCOPED_TRACE(rotation);
        MeshDescription d = Mesh3x2();
        d.attributes.bytes[6] = 3;
        d.attributes.callbackUser = 1;
        d.attributes.callback = &BarCallback;
        const float z[6] = {1, 2, 3, 4, 5, 6};
        INT_PTR store = StoreCmd(SCX3D_STORE_CREATE, 0, nullptr);
        store = SCX3D(nullptr, SCX3D_OBJ_ADD, store, (void*)z, (INT_PTR)&d);
        Scx3DView v = MakeView();
        v.tilt = rotation;
        SCX3D(nullptr, 0x2001, 0, &v, 0);
        Refit(v);
        SCX3D(nullptr, SCX3D_PREPARE_DRAWING, store, &v, 0);
        g_barRows.clear();
        SCX3D(nullptr, SCX3D_PAINT, store, &v, (INT_PTR)&NoDraw);
        std::vector<INT_PTR> rows = g_barRows;
        std::sort(rows.begin(), rows.end());
        EXPECT_EQ((std::vector<INT_PTR>{0, 0, 0, 1, 1, 1}), rows);
        StoreCmd(SCX3D_STORE_FREE, store, nullptr);
    }
}
