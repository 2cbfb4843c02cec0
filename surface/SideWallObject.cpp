// The side-wall object: a curve of (x, y) pairs standing at one height, drawn inside the
// back-to-front walk of the bucket grid as a ribbon with drop lines to y = 0 (styles 0
// and 1) or as one bar per point (style 2). Every pen, brush and fill is the kernel's,
// asked through the object's callback.
#include "Surface.h"

#include <string.h>

#include <vector>

namespace {

float g_sideWallZ = 0;
float g_sideWallValue = 0;

#pragma pack(push, 1)
// The wall's piece in the grid; the fields the grid reads sit where BucketPiece has them.
struct SideWallPiece {
    uint16_t kind;
    uint8_t zero2[38];
    float reference[3];      // 40: the first point
    int32_t pointCount;      // 52
    HGLOBAL pointBlock;      // 56
    float pointValue;        // 64
    uint8_t zero68[20];
    Scx3DAttributes attributes; // 88: the callback pair lands on 104 and 112
    uint8_t zero128[4];
};

struct WallBegin {
    uint8_t line;
    int16_t width;
    int32_t colour12;
    int32_t colour14;
};
#pragma pack(pop)
static_assert(sizeof(SideWallPiece) == sizeof(BucketPiece), "a wall piece is a bucket piece");
static_assert(offsetof(SideWallPiece, reference) == offsetof(BucketPiece, reference), "layout");
static_assert(offsetof(SideWallPiece, attributes.callbackUser) == offsetof(BucketPiece, callbackUser), "layout");
static_assert(sizeof(WallBegin) == 11, "the kernel reads 11 packed bytes");

enum { ATTR_STYLE = 0, ATTR_LINE = 1, ATTR_WIDTH = 4, ATTR_FLAGS = 11, ATTR_COLOUR_A = 12, ATTR_COLOUR_B = 14 };
enum : uint8_t { STYLE_BY_POINT = 0x60, FLAG_DROPS = 0x01, FLAG_RIBBON_STYLE = 0x02 };

int Style(const uint8_t* a)
{
    if (a[ATTR_STYLE] == STYLE_BY_POINT)
        return 2;
    return (a[ATTR_FLAGS] & FLAG_RIBBON_STYLE) ? 0 : 1;
}

INT_PTR Ask(const Scx3DAttributes& a, UINT code, INT_PTR a1 = 0, INT_PTR a2 = 0, INT_PTR a3 = 0, INT_PTR a4 = 0)
{
    if (!a.callback || !a.callbackUser)
        return 0;
    return a.callback(a.callbackUser, code, a1, a2, a3, a4);
}

INT_PTR Add(INT_PTR store, const int32_t* pairs, const Scx3DDescription* d)
{
    if (!d || !pairs || d->pointCount < 0 || d->pointCount > 0x3FFFFFF)
        return 1;
    std::vector<float> points;
    try {
        points.resize(((size_t)d->pointCount + 1) * 3);
    } catch (...) {
        return 1;
    }
    for (int i = 0; i < d->pointCount; ++i) {
        points[3 * i] = (float)pairs[2 * i];
        points[3 * i + 1] = (float)(pairs[2 * i + 1] > 0 ? pairs[2 * i + 1] : 0);
        points[3 * i + 2] = g_sideWallZ;
    }
    // A wall keeps its points in a block of its own, however many there are.
    Scx3DDescription own = *d;
    own.storage |= SCX3D_STORAGE_POINT_BLOCK;
    return AddToStore(store, points.data(), &own, (INT_PTR)(int)g_sideWallValue);
}

INT_PTR Fill(Scx3DObject* o, Scx3DView* view)
{
    if (!(o->storage & SCX3D_STORAGE_POINT_BLOCK) || !o->grid.pointBlock)
        return 1;
    const Scx3DPoint* points = static_cast<const Scx3DPoint*>(GlobalLock(o->grid.pointBlock));
    if (!points)
        return 1;
    SideWallPiece piece;
    memset(&piece, 0, sizeof piece);
    piece.kind = (uint16_t)(o->kind | (o->storage << 8));
    if (o->pointCount > 0)
        memcpy(piece.reference, &points[0].x, sizeof piece.reference);
    piece.pointCount = o->pointCount;
    piece.pointBlock = o->grid.pointBlock;
    piece.pointValue = o->grid.pointValue;
    piece.attributes = o->attributes;
    GlobalUnlock(o->grid.pointBlock);
    BucketGrids(3, 0, 0, &piece, nullptr, view);
    return 0;
}

void ProjectAll(const Scx3DView* v, const std::vector<float>& world, std::vector<POINT>& device, int n, int to)
{
    for (int k = 0; k < n; ++k) {
        int32_t d[2];
        ProjectPoint(PROJECT_WORLD_TO_DEVICE, v, &world[3 * k], d, nullptr);
        device[to + k] = {d[0], d[1]};
    }
}

void DropLines(const Scx3DAttributes& a, INT_PTR dc, std::vector<POINT>& device, int n, const std::vector<int>& ks)
{
    for (int k : ks) {
        POINT line[2] = {device[k], device[n + k]};
        Ask(a, 0x200006, dc, 0, 0, reinterpret_cast<INT_PTR>(line));
    }
}

INT_PTR Draw(SideWallPiece* piece, const Scx3DView* v)
{
    Scx3DAttributes& a = piece->attributes;
    uint8_t* bytes = a.bytes;
    INT_PTR dc = (INT_PTR)v->deviceContext;
    int s = Style(bytes);
    WallBegin begin{bytes[ATTR_LINE], 0, bytes[ATTR_COLOUR_A], bytes[ATTR_COLOUR_B]};
    memcpy(&begin.width, &bytes[ATTR_WIDTH], 2);
    Ask(a, 0x20000B, dc, s, 0, reinterpret_cast<INT_PTR>(&begin));
    switch (Ask(a, 0x20000F)) {
    case 0: bytes[ATTR_FLAGS] |= FLAG_RIBBON_STYLE; bytes[ATTR_STYLE] = 1; break;
    case 1: bytes[ATTR_FLAGS] &= ~FLAG_RIBBON_STYLE; bytes[ATTR_STYLE] = 1; break;
    case 2: bytes[ATTR_STYLE] = STYLE_BY_POINT; bytes[ATTR_FLAGS] &= ~FLAG_RIBBON_STYLE; break;
    default: break;
    }
    s = Style(bytes);
    int n = piece->pointCount;
    const Scx3DPoint* points = piece->pointBlock ? static_cast<const Scx3DPoint*>(GlobalLock(piece->pointBlock)) : nullptr;
    if (!points)
        return 1;
    std::vector<float> world(6 * (size_t)n);
    std::vector<POINT> device(2 * (size_t)n);
    for (int k = 0; k < n; ++k) {
        device[k] = {points[k].deviceX, points[k].deviceY};
        memcpy(&world[3 * k], &points[k].x, 12);
    }
    GlobalUnlock(piece->pointBlock);
    BucketGridSpec spec;
    memcpy(&spec, v->bucketSpec, sizeof spec);
    bool backward = spec.colStep < 0;
    std::vector<int> segments;
    for (int i = 0; i < n - 1; ++i)
        segments.push_back(backward ? n - 2 - i : i);
    INT_PTR halfWidth = Ask(a, 0x20000E);
    INT_PTR percent = Ask(a, 0x20000D, 0, s);
    int depth = (int)(percent * v->wallDepthUnit * 0.005);
    if (s == 2) {
        // One bar per point, standing along y from 0 to the point.
        int32_t half[2] = {(int32_t)halfWidth, depth};
        for (int i = 0; i < n; ++i) {
            int k = backward ? n - 1 - i : i;
            float exchanged[3] = {world[3 * k], world[3 * k + 2], world[3 * k + 1]};
            MeshDrawBar(v, exchanged, -1, half, k, &a);
        }
        Ask(a, 0x20000C, dc, s);
        return 0;
    }
    if (s == 1 && (bytes[ATTR_FLAGS] & FLAG_DROPS)) {
        std::vector<float> ground = world;
        for (int k = 0; k < n; ++k)
            ground[3 * k + 1] = 0;
        ProjectAll(v, ground, device, n, n);
        std::vector<int> all;
        for (int k = 0; k < n; ++k)
            all.push_back(k);
        DropLines(a, dc, device, n, all);
    }
    INT_PTR ends = Ask(a, 0x200010);
    bool ribbon = percent > 0;
    if (ribbon) {
        for (int k = 0; k < n; ++k)
            world[3 * k + 2] -= depth;
        ProjectAll(v, world, device, n, 0);
        for (int k = 0; k < n; ++k)
            world[3 * k + 2] += 2 * depth;
        ProjectAll(v, world, device, n, n);
        for (size_t i = 0; i < segments.size(); ++i) {
            int k = segments[i];
            POINT face[4] = {device[k + 1], device[k], device[n + k], device[n + k + 1]};
            bool end = (ends & 2) && (i == 0 || i + 1 == segments.size());
            Ask(a, s == 0 ? 0x20000A : 0x200009, dc, end ? 1 : 2, ((INT_PTR)k << 16) + 4, reinterpret_cast<INT_PTR>(face));
        }
    }
    if (s == 0 && n > 0) {
        float top = world[2];
        if (top - 2 * depth > v->eyeWorld[2] || !ribbon) {
            if (ends & 2)
                Ask(a, 0x200009, dc, 0, n, reinterpret_cast<INT_PTR>(&device[0]));
            if (bytes[ATTR_FLAGS] & FLAG_DROPS) {
                for (int k = 0; k < n; ++k) {
                    world[3 * k + 2] -= 2 * depth;
                    world[3 * k + 1] = 0;
                }
                ProjectAll(v, world, device, n, n);
                DropLines(a, dc, device, n, segments);
            }
        } else if (v->eyeWorld[2] > top) {
            Ask(a, 0x200009, dc, 0, n, reinterpret_cast<INT_PTR>(&device[n]));
            if (bytes[ATTR_FLAGS] & FLAG_DROPS) {
                for (int k = 0; k < n; ++k)
                    world[3 * k + 1] = 0;
                ProjectAll(v, world, device, n, 0);
                DropLines(a, dc, device, n, segments);
            }
        }
    }
    Ask(a, 0x20000C, dc, s);
    return 0;
}

} // namespace

INT_PTR SideWallObjectHandler(UINT command, INT_PTR count, HWND window, void* record, Scx3DObject* object,
                              INT_PTR extra)
{
    switch (command) {
    case SCX3D_OBJ_ADD:
        return Add(count, static_cast<const int32_t*>(record), reinterpret_cast<const Scx3DDescription*>(object));
    case 0x1002: {
        const float* values = static_cast<const float*>(record);
        g_sideWallZ = values[0];
        g_sideWallValue = values[1];
        return 0;
    }
    case SCX3D_OBJ_DIALOG:
        *static_cast<int*>(record) = 25402;
        return reinterpret_cast<INT_PTR>(&MyWallsControl);
    case SCX3D_OBJ_FILL_GRID: return Fill(object, static_cast<Scx3DView*>(record));
    case SCX3D_OBJ_DRAW_PIECE:
        return Draw(reinterpret_cast<SideWallPiece*>(object), static_cast<const Scx3DView*>(record));
    case 0x100B:
        if (record)
            reinterpret_cast<uint8_t*>(&static_cast<Scx3DStoreHeader*>(record)->owner)[1] |= 0x10;
        return 0;
    case SCX3D_OBJ_TOLERANCE:
        if (object->attributes.bytes[ATTR_STYLE] == STYLE_BY_POINT)
            return 48;
        return SharedHandler(command, count, window, record, object, extra);
    case SCX3D_OBJ_HIT_NOTICE:
        if (object->attributes.bytes[ATTR_STYLE] != STYLE_BY_POINT && (object->attributes.bytes[ATTR_FLAGS] & FLAG_RIBBON_STYLE))
            reinterpret_cast<Scx3DHit*>(extra)->pointIndex -= 1;
        return 0;
    case SCX3D_PAINT:
    case SCX3D_PAINT_FRAME: return 0;
    default: return SharedHandler(command, count, window, record, object, extra);
    }
}
