// Drawing a surface cell in the bands of the colour map. A cell that lies in one band is
// one polygon; any other is split into two triangles along its flatter diagonal and each
// triangle is cut into pieces of at most five corners, one per band, from its lowest
// corner upward. Colours, pens and brushes are the kernel's: the primitives ask for them
// through the object's callback and themselves select only stock objects. The slab
// primitives draw the part of a cell, triangle or segment between two heights.
#include "Surface.h"

#include "qxutil.h"

#include <math.h>
#include <string.h>

namespace {

// Whole-number bounds within one unit of both ends of an edge snap to its first end in
// mode 1, so that plain painting does not leave hairline slivers at band edges.
int g_edgeFactorMode = 0;

INT_PTR Ask(const Scx3DAttributes* a, UINT code, INT_PTR a1 = 0, INT_PTR a2 = 0, INT_PTR a3 = 0, INT_PTR a4 = 0)
{
    return AskObject(a, code, a1, a2, a3, a4);
}

struct Pt {
    float v[3];
};

// The point of edge lo -> hi at height `bound`.
Pt Cut(const float* hi, const float* lo, float bound)
{
    float f = EdgeFactor(hi, lo, bound);
    return {{lo[0] + f * (hi[0] - lo[0]), lo[1] + f * (hi[1] - lo[1]), bound}};
}

// Shadows are the cell put flat on the floor (part 1) or under the lid (part 2).
POINT PartDevice(const Scx3DView* v, const float* p, int part)
{
    float q[3] = {p[0], p[1], part == 1 ? 0.0f : part == 2 ? v->boxZ : p[2]};
    return WorldToDevice(v, q);
}

void FillWithNullPen(HDC dc, const POINT* p, int n)
{
    HGDIOBJ old = SelectObject(dc, GetStockObject(NULL_PEN));
    Polygon(dc, p, n);
    SelectObject(dc, old);
}

enum { ATTR_FILL = 2, ATTR_FLAGS = 11 };
const uint8_t kFillBit[3] = {0x10, 0x80, 0x02};
const uint8_t kContourBit[3] = {0x40, 0x01, 0x04};

float Level(const Scx3DAttributes* a, INT_PTR slot)
{
    float level = 0;
    Ask(a, 0x100005, reinterpret_cast<INT_PTR>(&level), slot);
    return level;
}

INT_PTR Slot(const Scx3DAttributes* a, float z)
{
    return Ask(a, 0x100003, reinterpret_cast<INT_PTR>(&z));
}

// The colour map's second range; a kernel without one leaves the whole box.
void SecondRange(const Scx3DView* v, const Scx3DAttributes* a, float* zHigh, float* zLow)
{
    *zHigh = v->boxZ;
    *zLow = 0;
    Ask(a, 0x100008, reinterpret_cast<INT_PTR>(zHigh));
    Ask(a, 0x100007, reinterpret_cast<INT_PTR>(zLow));
}

} // namespace

INT_PTR AskObject(const Scx3DAttributes* a, UINT code, INT_PTR a1, INT_PTR a2, INT_PTR a3, INT_PTR a4)
{
    if (!a || !a->callback || !a->callbackUser)
        return 0;
    return a->callback(a->callbackUser, code, a1, a2, a3, a4);
}

POINT WorldToDevice(const Scx3DView* v, const float* p)
{
    int32_t d[2];
    ProjectPoint(PROJECT_WORLD_TO_DEVICE, v, p, d, nullptr);
    return {d[0], d[1]};
}

void DrawSegmentLine(HDC dc, POINT a, POINT b)
{
    MoveToEx(dc, a.x, a.y, nullptr);
    LineTo(dc, b.x, b.y);
}

CellLines LineDirections(const Scx3DAttributes* a)
{
    uint8_t b = a->bytes[ATTR_FLAGS];
    return {((b & 0x20) != 0) == ((b & 0x40) != 0), (b & 0x40) == 0};
}

float EdgeFactor(const float* a, const float* b, float bound)
{
    if (!a && !b) {
        g_edgeFactorMode = (int)bound;
        return 0;
    }
    double d = (double)a[2] - b[2];
    if (fabs(d) <= 1e-7)
        return 1;
    if (g_edgeFactorMode == 1 && fabsf(bound - b[2]) <= 1 && fabsf(bound - a[2]) <= 1)
        return 1;
    return (float)((bound - b[2]) / d);
}

void OrderByHeight(const float* p[3], int* flags)
{
    // Edge k runs from point k to point k + 1; swapping two points keeps each flag with
    // the edge it belongs to when the flags are permuted the same way round.
    int index[3] = {0, 1, 2};
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2 - i; ++j)
            if (p[index[j]][2] < p[index[j + 1]][2]) {
                int t = index[j];
                index[j] = index[j + 1];
                index[j + 1] = t;
            }
    const float* q[3] = {p[index[0]], p[index[1]], p[index[2]]};
    if (flags) {
        int f[3];
        for (int k = 0; k < 3; ++k) {
            // The edge between sorted points k and k + 1 joins original points a and b.
            int a = index[k], b = index[(k + 1) % 3];
            int edge = ((a + 1) % 3 == b) ? a : b;
            f[k] = flags[edge];
        }
        memcpy(flags, f, sizeof f);
    }
    memcpy(p, q, sizeof q);
}

int ClipTriangleToSlab(float zLow, float zHigh, const float tri[3][3], const int* flags, float out[5][3],
                       int* outFlags)
{
    if (zLow > zHigh)
        return 0;
    float top = fmaxf(tri[0][2], fmaxf(tri[1][2], tri[2][2]));
    float bottom = fminf(tri[0][2], fminf(tri[1][2], tri[2][2]));
    if (top <= zLow || bottom >= zHigh)
        return 0;
    if (bottom >= zLow && top <= zHigh)
        return 1;
    // Clip against z >= zLow, then z <= zHigh, keeping corners in order around the
    // polygon; the flag of a corner is that of the edge leaving it, 0 along a cut.
    Pt poly[5], next[5];
    int f[5], nf[5], n = 3;
    for (int k = 0; k < 3; ++k) {
        memcpy(poly[k].v, tri[k], 12);
        f[k] = flags ? flags[k] : 0;
    }
    for (int side = 0; side < 2; ++side) {
        float bound = side == 0 ? zLow : zHigh;
        auto inside = [&](const Pt& p) { return side == 0 ? p.v[2] >= bound : p.v[2] <= bound; };
        int m = 0;
        for (int k = 0; k < n; ++k) {
            const Pt& c = poly[k];
            const Pt& d = poly[(k + 1) % n];
            bool ci = inside(c), di = inside(d);
            if (ci) {
                next[m] = c;
                nf[m++] = f[k];
            }
            if (ci != di) {
                const Pt& hi = c.v[2] > d.v[2] ? c : d;
                const Pt& lo = c.v[2] > d.v[2] ? d : c;
                next[m] = Cut(hi.v, lo.v, bound);
                nf[m++] = ci ? 0 : f[k];
            }
        }
        n = m;
        memcpy(poly, next, sizeof(Pt) * n);
        memcpy(f, nf, sizeof(int) * n);
    }
    for (int k = 0; k < n; ++k) {
        memcpy(out[k], poly[k].v, 12);
        if (outFlags)
            outFlags[k] = f[k];
    }
    return n;
}

int DrawSlabTriangle(HDC dc, const float tri[3][3], const int flags[3], float zLow, float zHigh,
                     const Scx3DView* v, bool fill)
{
    float corners[5][3];
    int f[5];
    int n = ClipTriangleToSlab(zLow, zHigh, tri, flags, corners, f);
    if (n == 0)
        return 1;
    if (n == 1) {
        n = 3;
        memcpy(corners, tri, sizeof(float) * 9);
        memcpy(f, flags, sizeof(int) * 3);
    }
    POINT p[5];
    for (int k = 0; k < n; ++k)
        p[k] = WorldToDevice(v, corners[k]);
    if (fill)
        FillWithNullPen(dc, p, n);
    MoveToEx(dc, p[0].x, p[0].y, nullptr);
    for (int k = 0; k < n; ++k) {
        POINT to = p[(k + 1) % n];
        if (f[k])
            LineTo(dc, to.x, to.y);
        else
            MoveToEx(dc, to.x, to.y, nullptr);
    }
    return 1;
}

int DrawSlabCell(HDC dc, const float w[4][3], int first, int second, float zLow, float zHigh,
                 const Scx3DView* v, bool fill)
{
    auto triangle = [&](int a, int b, int c, int fa, int fb) {
        float t[3][3];
        memcpy(t[0], w[a], 12);
        memcpy(t[1], w[b], 12);
        memcpy(t[2], w[c], 12);
        const int f[3] = {fa, fb, 0}; // the diagonal is never outlined
        DrawSlabTriangle(dc, t, f, zLow, zHigh, v, fill);
    };
    if (fabsf(w[0][2] - w[2][2]) > fabsf(w[1][2] - w[3][2])) {
        triangle(3, 0, 1, second, first);
        triangle(1, 2, 3, second, first);
    } else {
        triangle(0, 1, 2, first, second);
        triangle(2, 3, 0, first, second);
    }
    return 1;
}

int DrawSlabSegment(HDC dc, const float a[3], const float b[3], float zLow, float zHigh, const Scx3DView* v)
{
    const float* lo = a[2] <= b[2] ? a : b;
    const float* hi = a[2] <= b[2] ? b : a;
    if (lo[2] >= zHigh || hi[2] <= zLow)
        return 1;
    Pt p = {{lo[0], lo[1], lo[2]}}, q = {{hi[0], hi[1], hi[2]}};
    if (lo[2] < zLow)
        p = Cut(hi, lo, zLow);
    if (hi[2] > zHigh)
        q = Cut(hi, lo, zHigh);
    DrawSegmentLine(dc, WorldToDevice(v, p.v), WorldToDevice(v, q.v));
    return 1;
}

int DrawRangeEdge(float p[3], float q[3], float zHigh, float zLow, const Scx3DView* v)
{
    if (p[2] < zLow && q[2] < zLow)
        return 0;
    if (p[2] > zHigh && q[2] > zHigh)
        return 1;
    bool exchanged = p[2] > q[2];
    float lo[3], hi[3];
    memcpy(lo, exchanged ? q : p, 12);
    memcpy(hi, exchanged ? p : q, 12);
    float nlo[3], nhi[3];
    memcpy(nlo, lo, 12);
    memcpy(nhi, hi, 12);
    auto at = [&](float z, float* out) {
        float t = (z - lo[2]) / (hi[2] - lo[2]);
        out[0] = lo[0] + t * (hi[0] - lo[0]);
        out[1] = lo[1] + t * (hi[1] - lo[1]);
        out[2] = z;
    };
    if (hi[2] > zHigh)
        at(zHigh, nhi);
    if (lo[2] < zLow)
        at(zLow, nlo);
    if (v) {
        HDC dc = reinterpret_cast<HDC>((INT_PTR)v->deviceContext);
        DrawSegmentLine(dc, WorldToDevice(v, nlo), WorldToDevice(v, nhi));
    } else {
        memcpy(p, nlo, 12);
        memcpy(q, nhi, 12);
    }
    return exchanged ? 3 : 2;
}

int FillQuadWithEdges(HDC dc, const POINT p[4], bool first, bool second)
{
    if (first && second) {
        Polygon(dc, p, 4);
        return 1;
    }
    FillWithNullPen(dc, p, 4);
    if (first) {
        DrawSegmentLine(dc, p[0], p[1]);
        DrawSegmentLine(dc, p[2], p[3]);
    }
    if (second) {
        DrawSegmentLine(dc, p[1], p[2]);
        DrawSegmentLine(dc, p[3], p[0]);
    }
    return 1;
}

int FillBandedTriangle(const float A[3], const float B[3], const float C[3], const Scx3DView* v,
                       const Scx3DAttributes* a, float zHigh, float zLow, int part)
{
    HDC dc = reinterpret_cast<HDC>((INT_PTR)v->deviceContext);
    const float tri[3][3] = {{A[0], A[1], A[2]}, {B[0], B[1], B[2]}, {C[0], C[1], C[2]}};
    uint8_t fill = a->bytes[ATTR_FILL], flags = a->bytes[ATTR_FLAGS];
    bool second = part == 0 && (fill & 0x08) && !FacesAway(3, v, &tri[0][0]);
    CellLines dir = LineDirections(a);
    const float* order[3] = {A, B, C};
    OrderByHeight(order, nullptr);
    const float *top = order[0], *mid = order[1], *bottom = order[2];
    if (top[2] <= zLow || bottom[2] >= zHigh)
        return 0;
    INT_PTR midSlot = Slot(a, mid[2]), topSlot = Slot(a, top[2]);

    // The cut a piece starts from: its point on the long edge first.
    Pt lower[2];
    int lowerCount;
    if (bottom[2] >= zLow) {
        lower[0] = {{bottom[0], bottom[1], bottom[2]}};
        lowerCount = 1;
    } else {
        lower[0] = Cut(top, bottom, zLow);
        lower[1] = mid[2] >= zLow ? Cut(mid, bottom, zLow) : Cut(top, mid, zLow);
        lowerCount = 2;
    }
    INT_PTR i = Slot(a, lower[0].v[2]);
    bool lines = part == 0 && !second && (dir.first || dir.second) && (flags & 0x04);
    // Slots come from the kernel: a colour map has at most a few dozen bands, and the
    // bound keeps a kernel that answers inconsistent slots from looping for ever.
    for (int guard = 0; guard < 1024; ++guard) {
        INT_PTR j = i + 1;
        float u;
        if (topSlot < j)
            u = zHigh;
        else
            u = fminf(Level(a, j), zHigh);
        Pt piece[5];
        int n = 0;
        for (int k = 0; k < lowerCount; ++k)
            piece[n++] = lower[k];
        if (i == midSlot && zLow <= mid[2] && mid[2] <= zHigh)
            piece[n++] = {{mid[0], mid[1], mid[2]}};
        Pt upper[2];
        int upperCount;
        if (i != topSlot || top[2] > zHigh) {
            upper[1] = mid[2] >= u ? Cut(mid, bottom, u) : Cut(top, mid, u);
            upper[0] = Cut(top, bottom, u);
            piece[n++] = upper[1];
            piece[n++] = upper[0];
            upperCount = 2;
        } else {
            upper[0] = {{top[0], top[1], top[2]}};
            piece[n++] = upper[0];
            upperCount = 1;
        }
        POINT p[5];
        for (int k = 0; k < n; ++k)
            p[k] = PartDevice(v, piece[k].v, part);
        HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
        INT_PTR unfilled = Ask(a, 0x10003B, 0, i);
        if (!second)
            Ask(a, 0x10000A, reinterpret_cast<INT_PTR>(dc), i);
        else if (unfilled)
            SelectObject(dc, GetStockObject(NULL_BRUSH));
        else
            Ask(a, 0x200015, reinterpret_cast<INT_PTR>(dc));
        if (fill & kFillBit[part])
            Polygon(dc, p, n);
        SelectObject(dc, oldPen);
        if (second && !unfilled)
            UtilPrepareDC(dc, 0, 0, UTIL_DC_END_FILL);
        if (lines) {
            Ask(a, 0x200013, reinterpret_cast<INT_PTR>(dc), 4, Ask(a, 0x10003C, 0, i));
            for (int k = 0; k < n; ++k) {
                const float* s = piece[k].v;
                const float* e = piece[(k + 1) % n].v;
                bool alongY = s[0] == e[0] && (s[0] == A[0] || s[0] == C[0]);
                bool alongX = s[1] == e[1] && (s[1] == A[1] || s[1] == C[1]);
                if ((alongY && dir.second) || (alongX && dir.first))
                    DrawSegmentLine(dc, p[k], p[(k + 1) % n]);
            }
            Ask(a, 0x200014, reinterpret_cast<INT_PTR>(dc));
        }
        if (!second && (fill & kContourBit[part])) {
            Ask(a, 0x200011, reinterpret_cast<INT_PTR>(dc), 0, part);
            if (lowerCount == 2 && lower[0].v[2] == Level(a, i) && lower[1].v[2] == lower[0].v[2])
                DrawSegmentLine(dc, PartDevice(v, lower[0].v, part), PartDevice(v, lower[1].v, part));
            if (upperCount == 2 && topSlot >= j && upper[0].v[2] == Level(a, j) && upper[1].v[2] == upper[0].v[2])
                DrawSegmentLine(dc, PartDevice(v, upper[0].v, part), PartDevice(v, upper[1].v, part));
            Ask(a, 0x200012, reinterpret_cast<INT_PTR>(dc), 0, part);
        }
        if (upperCount == 1)
            break;
        lower[0] = upper[0];
        lower[1] = upper[1];
        lowerCount = 2;
        i = j;
        if (i > topSlot || !(u < zHigh))
            break;
    }
    if (part != 0)
        return 0;
    return (dir.first || dir.second) && !(flags & 0x04) ? 1 : 0;
}

int DrawBandedCell(const MeshCell* cell, const Scx3DView* v, const Scx3DAttributes* a, int part)
{
    HDC dc = reinterpret_cast<HDC>((INT_PTR)v->deviceContext);
    BucketGridSpec spec;
    memcpy(&spec, v->bucketSpec, sizeof spec);
    uint16_t w = spec.gridFlags;
    CellLines dir = LineDirections(a);
    uint8_t fill = a->bytes[ATTR_FILL], flags = a->bytes[ATTR_FLAGS];
    float zHigh, zLow;
    SecondRange(v, a, &zHigh, &zLow);
    const float(*P)[3] = cell->world;
    float zmax = P[0][2], zmin = P[0][2];
    for (int k = 1; k < 4; ++k) {
        zmax = fmaxf(zmax, P[k][2]);
        zmin = fminf(zmin, P[k][2]);
    }
    INT_PTR slotMax = Slot(a, zmax), slotMin = Slot(a, zmin);

    if (slotMax == slotMin && zLow <= zmin && zmax <= zHigh) {
        bool second = part == 0 && (fill & 0x08) && !FacesAway(4, v, &P[0][0]);
        if ((flags & 0x04) && second)
            SelectObject(dc, GetStockObject(NULL_PEN));
        else if (flags & 0x04)
            Ask(a, 0x200013, reinterpret_cast<INT_PTR>(dc), 4, Ask(a, 0x10003C, 0, slotMin));
        else
            Ask(a, 0x200013, reinterpret_cast<INT_PTR>(dc), 0, 0);
        INT_PTR unfilled = 0;
        if (second) {
            unfilled = Ask(a, 0x10003B, 0, slotMin);
            if (unfilled)
                SelectObject(dc, GetStockObject(NULL_BRUSH));
            else
                Ask(a, 0x200015, reinterpret_cast<INT_PTR>(dc));
        } else {
            Ask(a, 0x10000A, reinterpret_cast<INT_PTR>(dc), slotMin);
        }
        POINT p[4];
        if (part == 0) {
            bool anyLines = dir.first || dir.second;
            if (!(fill & 0x10) && !anyLines)
                return 0;
            if (!(fill & 0x10))
                SelectObject(dc, GetStockObject(NULL_BRUSH));
            for (int k = 0; k < 4; ++k)
                p[k] = {cell->device[k][0], cell->device[k][1]};
            if (!anyLines)
                FillWithNullPen(dc, p, 4);
            else if (dir.first != dir.second)
                FillQuadWithEdges(dc, p, dir.first, dir.second);
            else
                Polygon(dc, p, 4);
        } else {
            if (!(fill & kFillBit[part]))
                return 0;
            for (int k = 0; k < 4; ++k)
                p[k] = PartDevice(v, P[k], part);
            FillWithNullPen(dc, p, 4);
        }
        if (second && !unfilled)
            UtilPrepareDC(dc, 0, 0, UTIL_DC_END_FILL);
        if ((flags & 0x04) && second)
            return 0;
        Ask(a, 0x200014, reinterpret_cast<INT_PTR>(dc));
        return 0;
    }

    // Several bands: two triangles along the diagonal whose ends differ less, the one
    // toward the start of the walk first.
    bool rowsOuter = (w & BUCKET_WALK_ROWS_OUTER) != 0;
    int t[2][3];
    if (fabsf(P[0][2] - P[2][2]) > fabsf(P[1][2] - P[3][2])) {
        bool first = (!rowsOuter && !(w & BUCKET_COLUMNS_DOWN)) || (rowsOuter && (w & BUCKET_ROWS_DOWN));
        const int x[3] = {3, 0, 1}, y[3] = {1, 2, 3};
        memcpy(t[0], first ? x : y, sizeof x);
        memcpy(t[1], first ? y : x, sizeof x);
    } else {
        bool first = (!rowsOuter && !(w & BUCKET_COLUMNS_DOWN)) || (rowsOuter && !(w & BUCKET_ROWS_DOWN));
        const int x[3] = {2, 3, 0}, y[3] = {0, 1, 2};
        memcpy(t[0], first ? x : y, sizeof x);
        memcpy(t[1], first ? y : x, sizeof x);
    }
    int drawn = FillBandedTriangle(P[t[0][0]], P[t[0][1]], P[t[0][2]], v, a, zHigh, zLow, part);
    FillBandedTriangle(P[t[1][0]], P[t[1][1]], P[t[1][2]], v, a, zHigh, zLow, part);
    if (!drawn)
        return 0;
    Ask(a, 0x200013, reinterpret_cast<INT_PTR>(dc), 0, 0);
    for (const int* tr : {t[0], t[1]})
        for (int k = 0; k < 2; ++k) {
            int s = tr[k], e = tr[k + 1];
            // Edges P0-P1 and P2-P3 run along the first direction, the others along the second.
            bool firstDirection = (s + e) % 4 == 1;
            if (firstDirection ? dir.first : dir.second) {
                float p[3], q[3];
                memcpy(p, P[s], 12);
                memcpy(q, P[e], 12);
                DrawRangeEdge(p, q, zHigh, zLow, v);
            }
        }
    Ask(a, 0x200014, reinterpret_cast<INT_PTR>(dc));
    return 0;
}
