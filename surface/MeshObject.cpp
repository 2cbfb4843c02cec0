// The mesh object: z values over a regular XY grid, drawn as a patch surface, a cell
// mesh in one or two colours, or bars. This file keeps the grid, lends it to the bucket
// grid of the cell-by-cell pass, hands out one cell at a time and maps hits back to the
// caller's data index; the drawing of cells, strips, bars and side panels is separate.
#include "Surface.h"

#include "qxutil.h"

#include <math.h>
#include <string.h>

#include <vector>

namespace {

enum { ATTR_KIND = 6, ATTR_INNER_LINES = 8, ATTR_FLAGS = 11 };


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

// Bars in the cell-by-cell pass. Each cell draws the bar of its far corner, and a cell on
// the mesh's near edges the bars of its near corners too, so every point's bar is drawn
// once, from the far side. The piece keeps which corners in byte 85 and the mesh row of
// its first corner in the int16 at 86.
enum : uint8_t { BAR_CORNER0 = 1, BAR_CORNER1 = 2, BAR_CORNER2 = 4, BAR_CORNER3 = 8 };

void DrawCellBars(const Scx3DView* v, const MeshCell& cell, const uint8_t* piece, const Scx3DAttributes* a)
{
    uint8_t marks = piece[85];
    int16_t row;
    memcpy(&row, piece + 86, 2);
    BucketGridSpec spec;
    memcpy(&spec, v->bucketSpec, sizeof spec);
    double widths[2] = {0, 0};
    if (a->callback && a->callbackUser)
        a->callback(a->callbackUser, 0x20001B, 0, 0, 0, reinterpret_cast<INT_PTR>(widths));
    int32_t half[2] = {(int32_t)(fabsf(cell.world[0][0] - cell.world[1][0]) * (widths[0] * 0.005)),
                       (int32_t)(fabsf(cell.world[0][1] - cell.world[3][1]) * (widths[1] * 0.005))};
    const struct {
        uint8_t mark;
        int corner, rowStep;
    } order[] = {{BAR_CORNER0, 0, 0}, {BAR_CORNER1, 1, 0}, {BAR_CORNER3, 3, 1}, {BAR_CORNER2, 2, 1}};
    for (const auto& o : order)
        if (marks & o.mark)
            MeshDrawBar(v, cell.world[o.corner], row + o.rowStep * spec.rowStep, half, 0, a);
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

} // namespace

void MeshMarkCellBars(const Scx3DView* v, const Scx3DObject* o, int rowLine, int columnLine, uint8_t* piece)
{
    const MeshGridSpec& g = o->mesh;
    BucketGridSpec spec;
    memcpy(&spec, v->bucketSpec, sizeof spec);
    int r = rowLine - g.meshRowOffset, c = columnLine - g.meshColumnOffset;
    int r2 = r + spec.rowStep, c2 = c + spec.colStep;
    bool lastRow = r2 + spec.rowStep < 0 || r2 + spec.rowStep >= g.meshRows;
    bool lastColumn = c2 + spec.colStep < 0 || c2 + spec.colStep >= g.meshColumns;
    piece[85] = (uint8_t)(BAR_CORNER0 | (lastColumn ? BAR_CORNER1 : 0) | (lastRow ? BAR_CORNER3 : 0) |
                          (lastRow && lastColumn ? BAR_CORNER2 : 0));
    int16_t row = (int16_t)r;
    memcpy(piece + 86, &row, 2);
}

namespace {

// The walk of the object-by-object pass: strips of two neighbouring grid lines, from
// the far side of the mesh to the near one, in the directions of the pass's walk flags.
template <typename Strip>
bool WalkStrips(const MeshGridSpec& g, uint16_t w, Strip&& strip)
{
    int rows = g.meshRows, cols = g.meshColumns;
    int q = (w >> 8) & 3;
    bool r = ((w & BUCKET_WALK_ROWS_OUTER) != 0) != ((w & BUCKET_WALK_NEXT) != 0);
    int rowCorner0 = kWalkCorner[q][0] * (rows - 1);
    int colCorner0 = kWalkCorner[q][1] * (cols - 1);
    int rowCorner1 = kWalkCorner[r ? NextCorner(q) : PrevCorner(q)][0] * (rows - 1);
    int colCorner1 = kWalkCorner[r ? PrevCorner(q) : NextCorner(q)][1] * (cols - 1);
    int rowStep = (w & BUCKET_ROWS_DOWN) ? -1 : 1, colStep = (w & BUCKET_COLUMNS_DOWN) ? -1 : 1;
    bool rowsAreStrips = (w & BUCKET_WALK_ROWS_OUTER) != 0;
    int outer0 = rowsAreStrips ? rowCorner0 : colCorner0, outer1 = rowsAreStrips ? rowCorner1 : colCorner1;
    int step = rowsAreStrips ? rowStep : colStep;
    int lines = rowsAreStrips ? rows : cols;
    // The last line is only ever the second line of a strip.
    for (int m = outer0; m >= 0 && m + step >= 0 && m + step < lines && (step > 0 ? m < outer1 : m > outer1); m += step) {
        if (UtilProgressBox(nullptr, UTIL_PROGRESS_POLL, 0, nullptr))
            return false;
        bool last = m + step == outer1;
        int from = rowsAreStrips ? colCorner0 : rowCorner0, to = rowsAreStrips ? colCorner1 : rowCorner1;
        // Along a line the walk goes from one corner to the other whatever the flags say,
        // so that inconsistent flags cannot run it off the grid.
        int along = rowsAreStrips ? colStep : rowStep;
        if ((to - from) * along < 0)
            along = -along;
        strip(m, m + step, rowsAreStrips, last, from, to, along == 0 ? 1 : along);
    }
    return true;
}

// Kind 3: a bar at every grid point, its widths a share of the grid spacing that the
// kernel gives in percent.
void PaintBars(const Scx3DView* v, Scx3DObject* o)
{
    const MeshGridSpec& g = o->mesh;
    const Scx3DPoint* p = static_cast<const Scx3DPoint*>(GlobalLock(g.pointBlock));
    if (!p)
        return;
    double widths[2] = {0, 0};
    if (o->attributes.callback && o->attributes.callbackUser)
        o->attributes.callback(o->attributes.callbackUser, 0x20001B, 0, 0, 0, reinterpret_cast<INT_PTR>(widths));
    double w1 = widths[0] * 0.005, w2 = widths[1] * 0.005;
    auto at = [&](bool rowsAreStrips, int line, int k) -> const Scx3DPoint& {
        return rowsAreStrips ? p[line * g.meshColumns + k] : p[k * g.meshColumns + line];
    };
    auto rowOf = [&](bool rowsAreStrips, int line, int k) { return rowsAreStrips ? line : k; };
    WalkStrips(g, g.meshWalkFlags, [&](int first, int second, bool rowsAreStrips, bool last, int from, int to, int step) {
        const Scx3DPoint& p0 = at(rowsAreStrips, first, from);
        const Scx3DPoint& p1 = at(rowsAreStrips, first, from + step);
        const Scx3DPoint& pl = at(rowsAreStrips, second, from);
        int32_t half[2];
        if (fabsf(p0.x - p1.x) > fabsf(p0.y - p1.y)) {
            half[0] = (int32_t)(fabsf(p0.x - p1.x) * w1);
            half[1] = (int32_t)(fabsf(p0.y - pl.y) * w2);
        } else {
            half[0] = (int32_t)(fabsf(p0.x - pl.x) * w1);
            half[1] = (int32_t)(fabsf(p0.y - p1.y) * w2);
        }
        for (int line : {first, second}) {
            if (line == second && !last)
                break;
            for (int k = from;; k += step) {
                const Scx3DPoint& q = at(rowsAreStrips, line, k);
                MeshDrawBar(v, &q.x, rowOf(rowsAreStrips, line, k), half, 0, &o->attributes);
                if (k == to)
                    break;
            }
        }
    });
    GlobalUnlock(g.pointBlock);
}

// Kinds 0 to 2: the object-by-object pass draws the mesh strip by strip from the far side.
void PaintStrips(const Scx3DView* v, Scx3DObject* o)
{
    const Scx3DAttributes& a = o->attributes;
    int kind = a.bytes[ATTR_KIND];
    uint8_t flags = a.bytes[ATTR_FLAGS];
    if (kind == 2 && (flags & 0x40) && !(flags & 0x20))
        return; // a mesh with no lines in either direction
    auto tell = [&](double scale, int flag) {
        if (a.callback && a.callbackUser)
            a.callback(a.callbackUser, 0x10003F, reinterpret_cast<INT_PTR>(&scale), flag, 0, 0);
    };
    // The kernel scales band levels by the box height against the standard 2300.
    if (kind == 0) {
        bool standard = v->boxZ == 2300 || v->boxZ == 0;
        tell(standard ? 1.0 : v->boxZ * (1.0 / 2300), standard ? 0 : 1);
    }
    const MeshGridSpec& g = o->mesh;
    const Scx3DPoint* p = static_cast<const Scx3DPoint*>(GlobalLock(g.pointBlock));
    if (p) {
        std::vector<POINT> device;
        std::vector<float> world;
        try {
            size_t n = 2 * (size_t)(g.meshColumns > g.meshRows ? g.meshColumns : g.meshRows);
            device.resize(n);
            world.resize(3 * n);
        } catch (...) {
            device.clear();
        }
        // Lines of one direction only are drawn best with strips that run along them.
        uint16_t w = g.meshWalkFlags;
        bool alongX = (flags & 0x20) && (flags & 0x40), alongY = (flags & 0x20) && !(flags & 0x40);
        if (kind == 1 && ((alongX && !(w & BUCKET_WALK_ROWS_OUTER)) || (alongY && (w & BUCKET_WALK_ROWS_OUTER))))
            w = WalkFlags((w >> 8) & 3, !(w & BUCKET_WALK_NEXT));
        if (!device.empty())
            WalkStrips(g, w, [&](int first, int second, bool rowsAreStrips, bool, int from, int to, int step) {
                int n = 0;
                auto add = [&](int line, int k) {
                    const Scx3DPoint& q = rowsAreStrips ? p[line * g.meshColumns + k] : p[k * g.meshColumns + line];
                    device[n] = {q.deviceX, q.deviceY};
                    memcpy(&world[3 * n], &q.x, 12);
                    ++n;
                };
                for (int k = from;; k += step) {
                    add(first, k);
                    if (k == to)
                        break;
                }
                for (int k = to;; k -= step) {
                    add(second, k);
                    if (k == from)
                        break;
                }
                MeshDrawStrip(v, device.data(), reinterpret_cast<const float(*)[3]>(world.data()), n, &a);
            });
        GlobalUnlock(g.pointBlock);
    }
    if (kind == 0)
        tell(1.0, 0);
}

// The two sides of the mesh that meet at the floor corner nearest the eye.
void PaintSides(const Scx3DView* v, const Scx3DObject* o)
{
    const Scx3DAttributes& a = o->attributes;
    if (!(a.bytes[ATTR_FLAGS] & 0x10))
        return;
    INT_PTR dc = (INT_PTR)v->deviceContext;
    int k = NextCorner((o->mesh.meshWalkFlags >> 8) & 3);
    for (int side : {k, NextCorner(k)}) {
        if (a.callback && a.callbackUser)
            a.callback(a.callbackUser, 0x200019, dc, side % 2 == 0 ? 1 : 0, 0, 0);
        MeshDrawSide(o, v, side);
        if (a.callback && a.callbackUser)
            a.callback(a.callbackUser, 0x20001A, dc, 0, 0, 0);
    }
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
    case SCX3D_PAINT: {
        if (!extra)
            return 0;
        auto draw = reinterpret_cast<Scx3DDrawCallback>(extra);
        draw(SCX3D_DRAW_ATTRIBUTES, reinterpret_cast<INT_PTR>(&object->attributes), 0, 0);
        if (object->attributes.bytes[ATTR_KIND] == 3)
            PaintBars(static_cast<const Scx3DView*>(record), object);
        else
            PaintStrips(static_cast<const Scx3DView*>(record), object);
        draw(SCX3D_DRAW_RESTORE, 0, 0, 0);
        return 0;
    }
    case SCX3D_OBJ_DRAW_PIECE: {
        // The piece holds the cell's corners after its kind word and the mesh's
        // attributes at byte 88; a part the cell's list draws carries its own number.
        if (!extra)
            return 0;
        auto* piece = reinterpret_cast<uint8_t*>(object);
        int part = (piece[2] & BUCKET_PIECE_MESH_PART) ? (piece[2] & 0x03) : (int)count;
        auto* attributes = reinterpret_cast<Scx3DAttributes*>(piece + 88);
        auto draw = reinterpret_cast<Scx3DDrawCallback>(extra);
        MeshCell cell;
        memcpy(&cell, piece + 4, sizeof cell);
        draw(SCX3D_DRAW_ATTRIBUTES, reinterpret_cast<INT_PTR>(attributes), 0, 0);
        if (attributes->bytes[ATTR_KIND] == 3) {
            if (part == 0)
                DrawCellBars(static_cast<const Scx3DView*>(record), cell, piece, attributes);
        } else {
            MeshDrawCell(&cell, static_cast<const Scx3DView*>(record), attributes, part);
        }
        draw(SCX3D_DRAW_RESTORE, 0, 0, 0);
        return 0;
    }
    case SCX3D_AFTER_PAINT:
        PaintSides(static_cast<const Scx3DView*>(record), object);
        return 0;
    case SCX3D_PAINT_FRAME: return 0;
    default: return SharedHandler(command, count, window, record, object, extra);
    }
}
