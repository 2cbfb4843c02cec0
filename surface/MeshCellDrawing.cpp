// The drawing of a mesh's cells (kinds 0 to 2), the border panels where the clip
// rectangle cuts the mesh, and the side panels of the whole mesh. Cells are clipped to
// the clip rectangle first; the fills and lines themselves are the banded and slab
// primitives'. What pen and brush each piece gets is the kernel's, told through the
// object's callback.
#include "Surface.h"

#include "qxutil.h"

#include <math.h>
#include <string.h>

#include <vector>

namespace {

enum { ATTR_FILL = 2, ATTR_KIND = 6, ATTR_INNER_LINES = 8, ATTR_FLAGS = 11 };

INT_PTR Ask(const Scx3DAttributes* a, UINT code, INT_PTR a1 = 0, INT_PTR a2 = 0, INT_PTR a3 = 0, INT_PTR a4 = 0)
{
    return AskObject(a, code, a1, a2, a3, a4);
}

HDC ViewDC(const Scx3DView* v) { return reinterpret_cast<HDC>((INT_PTR)v->deviceContext); }

// The clip rectangle: X from, X to, Y from, Y to. A rectangle typed the wrong way round
// is taken as the same rectangle rather than one that clips every cell away.
void ClipRect(const Scx3DView* v, float r[4])
{
    if (v->walls & SCX3D_WALLS_CLIP_SCATTER) {
        r[0] = fminf(v->xyRect[0], v->xyRect[1]);
        r[1] = fmaxf(v->xyRect[0], v->xyRect[1]);
        r[2] = fminf(v->xyRect[3], v->xyRect[2]);
        r[3] = fmaxf(v->xyRect[3], v->xyRect[2]);
    } else {
        r[0] = 0;
        r[1] = v->boxX;
        r[2] = 0;
        r[3] = v->boxY;
    }
}

// Moves corner `c` of the cell toward corner `toward` along their edge until its
// coordinate `axis` is `value`; z and the device point follow linearly.
void MoveCorner(MeshCell* cell, int c, int toward, int axis, float value)
{
    float* p = cell->world[c];
    const float* q = cell->world[toward];
    float t = (value - p[axis]) / (q[axis] - p[axis]);
    p[2] += t * (q[2] - p[2]);
    p[axis] = value;
    for (int k = 0; k < 2; ++k)
        cell->device[c][k] += (int32_t)(t * (cell->device[toward][k] - cell->device[c][k]));
}

void SelectStock(HDC dc, int object) { SelectObject(dc, GetStockObject(object)); }

// The four corners as device points, or, for a cell that leaves 0 .. box Z, drawn by
// the slab primitive that cuts it to that range.
void DrawQuad(HDC dc, const MeshCell* cell, CellLines d, bool inRange, const Scx3DView* v, bool fill)
{
    if (inRange) {
        POINT p[4];
        for (int k = 0; k < 4; ++k)
            p[k] = {cell->device[k][0], cell->device[k][1]};
        FillQuadWithEdges(dc, p, d.first, d.second);
    } else {
        DrawSlabCell(dc, cell->world, d.first, d.second, 0, v->boxZ, v, fill);
    }
}

void DrawKind1(const MeshCell* cell, const Scx3DView* v, const Scx3DAttributes* a, bool inRange)
{
    HDC dc = ViewDC(v);
    const float(*n)[3] = cell->world;
    CellLines d = LineDirections(a);
    BucketGridSpec spec;
    memcpy(&spec, v->bucketSpec, sizeof spec);
    uint16_t w = spec.gridFlags;
    // Triangles as corner indices with the flags of their edges k -> k + 1; the
    // diagonal is never outlined.
    struct Tri {
        int c[3];
        int f[3];
    } t[2];
    bool towardSmaller = (w & BUCKET_WALK_ROWS_OUTER) ? !(w & BUCKET_ROWS_DOWN) : !(w & BUCKET_COLUMNS_DOWN);
    if (fabsf(n[1][2] - n[3][2]) < fabsf(n[0][2] - n[2][2])) {
        Tri holds0 = {{0, 1, 3}, {d.first, 0, d.second}}; // holds n0: smallest x, largest y
        Tri holds2 = {{1, 2, 3}, {d.second, d.first, 0}}; // holds n2: largest x, smallest y
        bool holds0First = (w & BUCKET_WALK_ROWS_OUTER) ? !towardSmaller : towardSmaller;
        t[0] = holds0First ? holds0 : holds2;
        t[1] = holds0First ? holds2 : holds0;
    } else {
        Tri holds1 = {{0, 1, 2}, {d.first, d.second, 0}}; // holds n1: largest x and y
        Tri holds3 = {{0, 2, 3}, {0, d.first, d.second}}; // holds n3: smallest x and y
        t[0] = towardSmaller ? holds3 : holds1;
        t[1] = towardSmaller ? holds1 : holds3;
    }
    bool reportAway = (a->bytes[ATTR_FILL] & 0x08) != 0;
    int f[2];
    for (int k = 0; k < 2; ++k) {
        float corners[3][3];
        for (int j = 0; j < 3; ++j)
            memcpy(corners[j], n[t[k].c[j]], 12);
        f[k] = reportAway && !FacesAway(3, v, &corners[0][0]) ? 1 : 0;
    }
    INT_PTR hdc = reinterpret_cast<INT_PTR>(dc);
    Ask(a, 0x200013, hdc, 0, 0, 0);
    if (f[0] == f[1]) {
        Ask(a, f[0] ? 0x200015 : 0x200016, hdc);
        DrawQuad(dc, cell, d, inRange, v, true);
        UtilPrepareDC(dc, 0, 0, UTIL_DC_END_FILL);
    } else {
        for (int k = 0; k < 2; ++k) {
            Ask(a, f[k] ? 0x200015 : 0x200016, hdc);
            float corners[3][3];
            for (int j = 0; j < 3; ++j)
                memcpy(corners[j], n[t[k].c[j]], 12);
            DrawSlabTriangle(dc, corners, t[k].f, 0, v->boxZ, v, true);
            UtilPrepareDC(dc, 0, 0, UTIL_DC_END_FILL);
        }
    }
    Ask(a, 0x200014, hdc);
}

void DrawKind2(const MeshCell* cell, const Scx3DView* v, const Scx3DAttributes* a, bool inRange)
{
    HDC dc = ViewDC(v);
    INT_PTR hdc = reinterpret_cast<INT_PTR>(dc);
    const float(*n)[3] = cell->world;
    CellLines d = LineDirections(a);
    uint8_t flags = a->bytes[ATTR_FLAGS];
    int mode = (flags & 0x02) ? 2 : (flags & 0x01) ? 1 : 0;
    bool facing = (a->bytes[ATTR_FILL] & 0x08) && !FacesAway(4, v, &n[0][0]);
    if (mode == 2) {
        Ask(a, 0x200013, hdc, facing ? 3 : 2);
        int16_t inner;
        memcpy(&inner, &a->bytes[ATTR_INNER_LINES], 2);
        for (int i = 1; i <= inner; ++i) {
            float t = (float)i / (inner + 1), s = 1 - t;
            auto line = [&](int a0, float wa, int b0, float wb, int a1, float va, int b1, float vb) {
                if (inRange) {
                    POINT p = {(LONG)(wa * cell->device[a0][0] + wb * cell->device[b0][0]),
                               (LONG)(wa * cell->device[a0][1] + wb * cell->device[b0][1])};
                    POINT q = {(LONG)(va * cell->device[a1][0] + vb * cell->device[b1][0]),
                               (LONG)(va * cell->device[a1][1] + vb * cell->device[b1][1])};
                    DrawSegmentLine(dc, p, q);
                } else {
                    float p[3], q[3];
                    for (int k = 0; k < 3; ++k) {
                        p[k] = wa * n[a0][k] + wb * n[b0][k];
                        q[k] = va * n[a1][k] + vb * n[b1][k];
                    }
                    DrawSlabSegment(dc, p, q, 0, v->boxZ, v);
                }
            };
            if (d.second)
                line(0, t, 1, s, 3, t, 2, s);
            if (d.first)
                line(0, s, 3, t, 1, s, 2, t);
        }
        Ask(a, 0x200014, hdc);
    }
    Ask(a, 0x200013, hdc, facing && (flags & 0x03) == 0 ? 1 : 0);
    SelectStock(dc, NULL_BRUSH);
    DrawQuad(dc, cell, d, inRange, v, false);
    UtilPrepareDC(dc, 0, 0, UTIL_DC_END_OUTLINE);
    Ask(a, 0x200014, hdc);
}

} // namespace

int MeshClipCell(MeshCell* cell, const Scx3DAttributes* a, const Scx3DView* v)
{
    float xmin = cell->world[0][0], xmax = xmin, ymin = cell->world[0][1], ymax = ymin;
    for (int k = 1; k < 4; ++k) {
        xmin = fminf(xmin, cell->world[k][0]);
        xmax = fmaxf(xmax, cell->world[k][0]);
        ymin = fminf(ymin, cell->world[k][1]);
        ymax = fmaxf(ymax, cell->world[k][1]);
    }
    if (xmin == xmax || ymin == ymax)
        return 5;
    // Canonical order: n0 (xmin, ymax), n1 (xmax, ymax), n2 (xmax, ymin), n3 (xmin, ymin).
    MeshCell c;
    bool seen[4] = {};
    for (int k = 0; k < 4; ++k) {
        bool right = cell->world[k][0] == xmax, top = cell->world[k][1] == ymax;
        int slot = top ? (right ? 1 : 0) : (right ? 2 : 3);
        if (seen[slot])
            return 5; // not a grid cell
        seen[slot] = true;
        memcpy(c.world[slot], cell->world[k], 12);
        memcpy(c.device[slot], cell->device[k], 8);
    }
    if (!(v->walls & SCX3D_WALLS_CLIP_SCATTER) && !(a->bytes[ATTR_FLAGS] & 0x10)) {
        *cell = c;
        return 0;
    }
    float r[4];
    ClipRect(v, r);
    const float xFrom = r[0], xTo = r[1], yFrom = r[2], yTo = r[3];
    if (c.world[1][0] <= xFrom || xTo <= c.world[3][0] || c.world[1][1] <= yFrom || yTo <= c.world[3][1])
        return 5;
    int low = 0, high = 0;
    if (c.world[0][0] <= xFrom) {
        low = 1;
        if (c.world[0][0] < xFrom) {
            MoveCorner(&c, 0, 1, 0, xFrom);
            MoveCorner(&c, 3, 2, 0, xFrom);
        }
    }
    if (xTo <= c.world[1][0]) {
        low = 2;
        if (xTo < c.world[1][0]) {
            MoveCorner(&c, 1, 0, 0, xTo);
            MoveCorner(&c, 2, 3, 0, xTo);
        }
    }
    if (c.world[3][1] <= yFrom) {
        high = 4;
        if (c.world[3][1] < yFrom) {
            MoveCorner(&c, 3, 0, 1, yFrom);
            MoveCorner(&c, 2, 1, 1, yFrom);
        }
    }
    if (yTo <= c.world[0][1]) {
        high = 3;
        if (yTo < c.world[0][1]) {
            MoveCorner(&c, 0, 3, 1, yTo);
            MoveCorner(&c, 1, 2, 1, yTo);
        }
    }
    *cell = c;
    return low | (high << 8);
}

int MeshDrawCellPanels(int code, const MeshCell* cell, const Scx3DView* v, const Scx3DAttributes* a)
{
    if (!(a->bytes[ATTR_FLAGS] & 0x10) || code == 0 || code == 5)
        return 1;
    HDC dc = ViewDC(v);
    INT_PTR hdc = reinterpret_cast<INT_PTR>(dc);
    float bottom = 0, top = v->boxZ;
    if (a->bytes[ATTR_KIND] == 0) {
        Ask(a, 0x100007, reinterpret_cast<INT_PTR>(&bottom));
        Ask(a, 0x100008, reinterpret_cast<INT_PTR>(&top));
    }
    BucketGridSpec spec;
    memcpy(&spec, v->bucketSpec, sizeof spec);
    uint16_t w = spec.gridFlags;
    int low = code & 0xFF, high = (code >> 8) & 0xFF;

    // The panel under the edge from corner s to corner e: its top follows the edge cut
    // to the z range, bending where the edge leaves it; its bottom lies at wallZ.
    auto panel = [&](int s, int e, bool filled, bool edgeAtStart, bool edgeAtEnd, int orientation) {
        float p[3], q[3];
        memcpy(p, cell->world[s], 12);
        memcpy(q, cell->world[e], 12);
        int r = DrawRangeEdge(p, q, top, bottom, nullptr);
        if (r < 2)
            return;
        if (r == 3) { // the clipped ends come lower first; put them back in edge order
            float t[3];
            memcpy(t, p, 12);
            memcpy(p, q, 12);
            memcpy(q, t, 12);
        }
        float topEdge[4][3];
        int n = 0;
        auto add = [&](const float* x) {
            if (n == 0 || memcmp(topEdge[n - 1], x, 12) != 0)
                memcpy(topEdge[n++], x, 12);
        };
        float a0[3] = {cell->world[s][0], cell->world[s][1], fminf(fmaxf(cell->world[s][2], bottom), top)};
        float a1[3] = {cell->world[e][0], cell->world[e][1], fminf(fmaxf(cell->world[e][2], bottom), top)};
        add(a0);
        add(p);
        add(q);
        add(a1);
        POINT pts[6];
        for (int k = 0; k < n; ++k)
            pts[k] = WorldToDevice(v, topEdge[k]);
        float floorE[3] = {a1[0], a1[1], v->wallZ}, floorS[3] = {a0[0], a0[1], v->wallZ};
        pts[n] = WorldToDevice(v, floorE);
        pts[n + 1] = WorldToDevice(v, floorS);
        SelectStock(dc, NULL_PEN);
        Ask(a, 0x200019, hdc, orientation, 1);
        if (filled)
            Polygon(dc, pts, n + 2);
        Ask(a, 0x20001A, hdc);
        Ask(a, 0x200019, hdc, orientation, 0);
        if (filled) {
            if (edgeAtStart)
                DrawSegmentLine(dc, pts[0], pts[n + 1]);
            if (edgeAtEnd)
                DrawSegmentLine(dc, pts[n - 1], pts[n]);
            DrawSegmentLine(dc, pts[n], pts[n + 1]);
            MoveToEx(dc, pts[0].x, pts[0].y, nullptr);
            for (int k = 1; k < n; ++k)
                LineTo(dc, pts[k].x, pts[k].y);
        }
        Ask(a, 0x20001A, hdc);
    };
    // X panels run from Y from to Y to, Y panels from X from to X to.
    if (low == 1)
        panel(3, 0, (w & BUCKET_COLUMNS_DOWN) != 0, high == 4, high == 3, 1);
    else if (low == 2)
        panel(2, 1, !(w & BUCKET_COLUMNS_DOWN), high == 4, high == 3, 1);
    if (high == 4)
        panel(3, 2, (w & BUCKET_ROWS_DOWN) != 0, low == 1, low == 2, 0);
    else if (high == 3)
        panel(0, 1, !(w & BUCKET_ROWS_DOWN), low == 1, low == 2, 0);
    return 1;
}

void MeshDrawCell(MeshCell* cell, const Scx3DView* v, const Scx3DAttributes* a, int part)
{
    int code = MeshClipCell(cell, a, v);
    if (code == 5)
        return;
    int kind = a->bytes[ATTR_KIND];
    if (kind == 3 || (kind == 2 && part != 0))
        return;
    if (kind == 0) {
        DrawBandedCell(cell, v, a, part);
        MeshDrawCellPanels(code, cell, v, a);
        return;
    }
    if (part == 0) {
        float zmax = cell->world[0][2], zmin = zmax;
        for (int k = 1; k < 4; ++k) {
            zmax = fmaxf(zmax, cell->world[k][2]);
            zmin = fminf(zmin, cell->world[k][2]);
        }
        if (zmax <= 0 || zmin >= v->boxZ)
            return;
        bool inRange = zmin >= 0 && zmax <= v->boxZ;
        if (kind == 1)
            DrawKind1(cell, v, a, inRange);
        else
            DrawKind2(cell, v, a, inRange);
    }
    MeshDrawCellPanels(code, cell, v, a);
}

void MeshDrawStrip(const Scx3DView* v, const POINT* device, const float (*world)[3], int count,
                   const Scx3DAttributes* a)
{
    static const int kOrders[3][3] = {{1, 0, 2}, {1, 2, 0}, {2, 0, 1}};
    float e = v->eyeWorld[2];
    const int* order = e >= v->boxZ ? kOrders[0] : e > 0 ? kOrders[1] : kOrders[2];
    bool kind0 = a->bytes[ATTR_KIND] == 0;
    for (int k = 0; k < count - 1 - k; ++k) {
        const int corners[4] = {k, k + 1, count - 2 - k, count - 1 - k};
        for (int pass = 0; pass < (kind0 ? 3 : 1); ++pass) {
            MeshCell cell;
            for (int j = 0; j < 4; ++j) {
                memcpy(cell.world[j], world[corners[j]], 12);
                cell.device[j][0] = device[corners[j]].x;
                cell.device[j][1] = device[corners[j]].y;
            }
            MeshDrawCell(&cell, v, a, kind0 ? order[pass] : 0);
        }
    }
}

void MeshDrawSide(const Scx3DObject* o, const Scx3DView* v, int side)
{
    const MeshGridSpec& g = o->mesh;
    const Scx3DPoint* p = static_cast<const Scx3DPoint*>(GlobalLock(g.pointBlock));
    if (!p)
        return;
    int r0 = kWalkCorner[side][0] * (g.meshRows - 1), c0 = kWalkCorner[side][1] * (g.meshColumns - 1);
    int next = NextCorner(side);
    int r1 = kWalkCorner[next][0] * (g.meshRows - 1), c1 = kWalkCorner[next][1] * (g.meshColumns - 1);
    int steps = abs(r1 - r0) + abs(c1 - c0);
    std::vector<POINT> pts;
    try {
        pts.resize((size_t)steps + 3);
    } catch (...) {
        GlobalUnlock(g.pointBlock);
        return;
    }
    int dr = r1 > r0 ? 1 : r1 < r0 ? -1 : 0, dc = c1 > c0 ? 1 : c1 < c0 ? -1 : 0;
    for (int i = 0; i <= steps; ++i) {
        const Scx3DPoint& q = p[(r0 + i * dr) * g.meshColumns + c0 + i * dc];
        if (q.z > v->boxZ || q.z < 0) {
            float at[3] = {q.x, q.y, q.z > v->boxZ ? v->boxZ : 0};
            pts[i] = WorldToDevice(v, at);
        } else {
            pts[i] = {q.deviceX, q.deviceY};
        }
    }
    const Scx3DPoint& end = p[r1 * g.meshColumns + c1];
    const Scx3DPoint& start = p[r0 * g.meshColumns + c0];
    float e[3] = {end.x, end.y, v->wallZ}, s[3] = {start.x, start.y, v->wallZ};
    pts[steps + 1] = WorldToDevice(v, e);
    pts[steps + 2] = WorldToDevice(v, s);
    GlobalUnlock(g.pointBlock);
    Polygon(ViewDC(v), pts.data(), steps + 3);
}
