// The mesh object: z values over a regular XY grid, drawn as a patch surface, a cell
// mesh in one or two colours, or bars. This file keeps the grid, lends it to the bucket
// grid of the cell-by-cell pass, hands out one cell at a time and maps hits back to the
// caller's data index; the drawing of cells, strips, bars and side panels is separate.
#include "Surface.h"

#include <string.h>

#include <vector>

namespace {

enum { ATTR_KIND = 6, ATTR_INNER_LINES = 8, ATTR_FLAGS = 11 };

#pragma pack(push, 1)
// One cell: the world points of its corners (r, c), (r, c'), (r', c'), (r', c), then
// their device points.
struct MeshCell {
    float world[4][3];
    int32_t device[4][2];
};
#pragma pack(pop)
static_assert(sizeof(MeshCell) == 80, "layout");


// A mesh needs two lines each way for its spacing to exist, and no more points than
// its grid has.
INT_PTR Add(INT_PTR storeHandle, const float* z, const MeshDescription* d)
{
    HGLOBAL store = reinterpret_cast<HGLOBAL>(storeHandle);
    if (!store || !d || !z)
        return 1;
    const MeshGridSpec& g = d->grid;
    int64_t count = (int64_t)g.meshColumns * g.meshRows;
    if (g.meshColumns < 2 || g.meshRows < 2 || d->pointCount != count)
        return 1;
    std::vector<float> points;
    try {
        points.resize((size_t)count * 3);
    } catch (...) {
        return 1;
    }
    for (int i = 0, n = 0; i < g.meshRows; ++i)
        for (int j = 0; j < g.meshColumns; ++j, ++n) {
            points[3 * n] = g.meshX0 + g.meshDx * j;
            points[3 * n + 1] = g.meshY0 + g.meshDy * i;
            points[3 * n + 2] = z[n];
        }
    Scx3DDescription shared{};
    shared.kind = d->kind;
    shared.storage = (uint8_t)(d->storage | SCX3D_STORAGE_POINT_BLOCK);
    shared.pointCount = d->pointCount;
    shared.objectId = d->objectId;
    shared.attributes = d->attributes;
    INT_PTR result = AddToStore(storeHandle, points.data(), &shared, 0);
    if (result == 1)
        return 1;
    auto* header = static_cast<Scx3DStoreHeader*>(GlobalLock(reinterpret_cast<HGLOBAL>(result)));
    Scx3DObject& o = StoreObjects(header)[header->count - 1];
    HGLOBAL block = o.mesh.pointBlock;
    o.mesh = g;
    o.mesh.pointBlock = block;
    GlobalUnlock(reinterpret_cast<HGLOBAL>(result));
    return result;
}

INT_PTR LendGrid(Scx3DView* v, Scx3DObject* o, BucketGridSpec* spec)
{
    MeshGridSpec& g = o->mesh;
    const Scx3DPoint* p = static_cast<const Scx3DPoint*>(GlobalLock(g.pointBlock));
    if (!p || !spec) {
        if (p)
            GlobalUnlock(g.pointBlock);
        return 1;
    }
    spec->columns = g.meshColumns;
    spec->rows = g.meshRows;
    g.meshWalkFlags = spec->gridFlags;
    const Scx3DPoint& first = p[0];
    const Scx3DPoint& last = p[g.meshColumns * g.meshRows - 1];
    spec->x0 = first.x;
    spec->y0 = first.y;
    spec->dx = (last.x - first.x) / (g.meshColumns - 1);
    spec->dy = (last.y - first.y) / (g.meshRows - 1);
    GlobalUnlock(g.pointBlock);
    memcpy(v->bucketSpec, spec, sizeof *spec);
    return 1;
}

INT_PTR BucketOffsets(const Scx3DView* v, Scx3DObject* o)
{
    if (!v || !o)
        return 1;
    BucketGridSpec spec;
    memcpy(&spec, v->bucketSpec, sizeof spec);
    if (spec.dx == 0 || spec.dy == 0)
        return 1;
    o->mesh.meshColumnOffset = (int16_t)((o->mesh.meshX0 - spec.x0) / spec.dx);
    o->mesh.meshRowOffset = (int16_t)((o->mesh.meshY0 - spec.y0) / spec.dy);
    return 0;
}

INT_PTR GiveCell(int rowLine, int columnLine, const Scx3DView* v, Scx3DObject* o, MeshCell* cell)
{
    const MeshGridSpec& g = o->mesh;
    BucketGridSpec spec;
    memcpy(&spec, v->bucketSpec, sizeof spec);
    int r = rowLine - g.meshRowOffset, c = columnLine - g.meshColumnOffset;
    int r2 = r + spec.rowStep, c2 = c + spec.colStep;
    auto inRows = [&](int x) { return x >= 0 && x < g.meshRows; };
    auto inColumns = [&](int x) { return x >= 0 && x < g.meshColumns; };
    if (!cell || !inRows(r) || !inRows(r2) || !inColumns(c) || !inColumns(c2))
        return 0;
    const Scx3DPoint* p = static_cast<const Scx3DPoint*>(GlobalLock(g.pointBlock));
    if (!p)
        return 0;
    const int corners[4][2] = {{r, c}, {r, c2}, {r2, c2}, {r2, c}};
    for (int k = 0; k < 4; ++k) {
        const Scx3DPoint& q = p[corners[k][0] * g.meshColumns + corners[k][1]];
        memcpy(cell->world[k], &q.x, 12);
        cell->device[k][0] = q.deviceX;
        cell->device[k][1] = q.deviceY;
    }
    GlobalUnlock(g.pointBlock);
    return 1;
}

void Defaults(uint8_t* a)
{
    a[0] = 2;
    a[ATTR_KIND] = 1;
    int16_t two = 2;
    memcpy(&a[ATTR_INNER_LINES], &two, 2);
    a[ATTR_FLAGS] &= ~0x07;
    a[12] = 1;
    a[14] = 0;
}

} // namespace

INT_PTR MeshObjectHandler(UINT command, INT_PTR count, HWND window, void* record, Scx3DObject* object,
                          INT_PTR extra)
{
    switch (command) {
    case SCX3D_OBJ_ADD:
        return Add(count, static_cast<const float*>(record), reinterpret_cast<const MeshDescription*>(object));
    case SCX3D_OBJ_PLAIN:
        return LendGrid(static_cast<Scx3DView*>(record), object, reinterpret_cast<BucketGridSpec*>(extra));
    case SCX3D_OBJ_PASS_MESH: return BucketOffsets(static_cast<const Scx3DView*>(record), object);
    case SCX3D_OBJ_MESH_CELL:
        return GiveCell((int)count, (int)reinterpret_cast<INT_PTR>(window), static_cast<const Scx3DView*>(record),
                        object, reinterpret_cast<MeshCell*>(extra));
    case 0x100B: Defaults(static_cast<uint8_t*>(record)); return 0;
    case SCX3D_OBJ_TOLERANCE:
        if (object->attributes.bytes[ATTR_KIND] == 3)
            return 48;
        return SharedHandler(command, count, window, record, object, extra);
    case 0x100F: return static_cast<const uint8_t*>(record)[ATTR_KIND] == 0 ? 1 : 0;
    case SCX3D_OBJ_HIT_NOTICE: {
        auto* hit = reinterpret_cast<Scx3DHit*>(extra);
        const MeshGridSpec& g = object->mesh;
        int i = hit->pointIndex;
        int q = i / g.meshColumns, c = i % g.meshColumns;
        hit->pointIndex = c * g.columnStride + q * g.rowStride * g.indexScale;
        return 0;
    }
    case SCX3D_OBJ_DIALOG:
        *static_cast<int*>(record) = 25401;
        return reinterpret_cast<INT_PTR>(&MyMeshObjControl);
    case SCX3D_PAINT:
        if (extra)
            ReportNotBuilt("the drawing of meshes and surfaces");
        return 0;
    case SCX3D_OBJ_DRAW_PIECE:
        ReportNotBuilt("the drawing of mesh cells");
        return 0;
    case SCX3D_AFTER_PAINT:
        if (object->attributes.bytes[ATTR_FLAGS] & 0x10)
            ReportNotBuilt("the side panels of meshes");
        return 0;
    case SCX3D_PAINT_FRAME: return 0;
    default: return SharedHandler(command, count, window, record, object, extra);
    }
}
