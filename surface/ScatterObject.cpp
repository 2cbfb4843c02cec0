// The 3D scatter object: symbols at the data points, drop lines toward the three walls
// and lines joining consecutive points. The engine projects the points and sorts them
// through the bucket grid; the kernel draws through the object's callback, which the
// engine asks, point by point and part by part, what is shown.
#include "Surface.h"

#include <string.h>

#include "qxutil.h"

namespace {

const float kGap = 31234.0f;

// A scatter piece as it travels through the bucket grid. The fields the grid reads sit
// where BucketPiece has them.
#pragma pack(push, 1)
struct ScatterPiece {
    uint16_t kind;
    int16_t pointCount;
    int32_t device[4][2];  // the point, then its ends toward the Z, X and Y walls
    int32_t indexPlusOne;
    float reference[3];    // 40
    uint8_t attributes[32];
    uint8_t flags;         // 84: bits 0-1 the part kind, 0x04 first point of a line
    uint8_t spare[3];
    int32_t previous[2];   // 88: device point of the previous point (part 1's start)
    uint8_t spare2[8];
    INT_PTR callbackUser;  // 104
    Plot3DObjectCallback callback;
    int32_t row;           // 120
    uint8_t spare3[8];
};
#pragma pack(pop)
static_assert(sizeof(ScatterPiece) == sizeof(BucketPiece), "a scatter piece is a bucket piece");
static_assert(offsetof(ScatterPiece, reference) == offsetof(BucketPiece, reference), "layout");
static_assert(offsetof(ScatterPiece, flags) == offsetof(BucketPiece, flags), "layout");
static_assert(offsetof(ScatterPiece, callbackUser) == offsetof(BucketPiece, callbackUser), "layout");

struct Segment {
    POINT from, to;
    int32_t row;
};

enum : uint8_t { FIRST_OF_LINE = 0x04, PIECE_SPLIT = 0x10 };
enum { ATTR_PART_BITS = 11, ATTR_SIZE = 8 };

uint8_t g_symbolAttributes[32];
int g_symbolSize = 0;
const bool kSymbolsOnSplitPieces = true;

INT_PTR Ask(const Scx3DAttributes& a, UINT code, INT_PTR a1, INT_PTR a2, INT_PTR a3, INT_PTR a4)
{
    if (!a.callback || !a.callbackUser)
        return 0;
    return a.callback(a.callbackUser, code, a1, a2, a3, a4);
}

INT_PTR AskPiece(const ScatterPiece* p, UINT code, INT_PTR a1, INT_PTR a2, INT_PTR a3, INT_PTR a4)
{
    if (!p->callback || !p->callbackUser)
        return 0;
    return p->callback(p->callbackUser, code, a1, a2, a3, a4);
}

int PartOfDrop(int drop)
{
    return drop == 16 ? 1 : drop == 32 ? 3 : drop == 64 ? 2 : 0;
}

bool Outside(const Scx3DView* v, const float* p)
{
    return p[0] < v->xyRect[0] || p[0] > v->xyRect[1] || p[1] < v->xyRect[3] || p[1] > v->xyRect[2];
}

void Drop(const Scx3DView* v, int drop, float* p)
{
    if (drop == 16) p[2] = v->wallZ;
    if (drop == 32) p[0] = v->wallX;
    if (drop == 64) p[1] = v->wallY;
}

// Moves `p` along the segment toward `inside` onto the rectangle's X limit it crosses,
// then onto the Y limit, carrying the other coordinates along.
void ClipToRect(const Scx3DView* v, float* p, const float* inside)
{
    for (int axis = 0; axis < 2; ++axis) {
        float low = axis == 0 ? v->xyRect[0] : v->xyRect[3];
        float high = axis == 0 ? v->xyRect[1] : v->xyRect[2];
        float limit = p[axis] < low ? low : p[axis] > high ? high : p[axis];
        if (limit == p[axis] || p[axis] == inside[axis])
            continue;
        float t = (limit - inside[axis]) / (p[axis] - inside[axis]);
        for (int k = 0; k < 3; ++k)
            p[k] = inside[k] + t * (p[k] - inside[k]);
        p[axis] = limit;
    }
}

void Project(const Scx3DView* v, const float* world, int32_t* device)
{
    ProjectPoint(PROJECT_WORLD_TO_DEVICE, v, world, device, nullptr);
}

// Gaps end a line. Points outside the rectangle are left out but do not end it: the
// next point's line starts where the line enters the rectangle.
INT_PTR FillDrop(Scx3DObject* o, const Scx3DView* v, Scx3DPoint* points, int drop)
{
    int part = PartOfDrop(drop);
    if (!Ask(o->attributes, 0x200007, 0, part, 0, 0))
        return 0;
    bool clip = (v->walls & SCX3D_WALLS_CLIP_SCATTER) != 0;
    bool newLine = true;
    int32_t offset, step;
    memcpy(&offset, &o->attributes.more[0], 4);
    memcpy(&step, &o->attributes.more[4], 4);
    for (int i = 0; i < o->pointCount; ++i) {
        if (UtilProgressBox(nullptr, UTIL_PROGRESS_POLL, 0, nullptr))
            return 1;
        float* p = &points[i].x;
        if (p[0] == kGap || p[1] == kGap || p[2] == kGap) {
            newLine = true;
            continue;
        }
        if (clip && Outside(v, p)) {
            newLine = false;
            continue;
        }
        ScatterPiece piece;
        memset(&piece, 0, sizeof piece);
        piece.kind = (uint16_t)(o->kind | (o->storage << 8));
        piece.pointCount = (int16_t)o->pointCount;
        memcpy(piece.reference, p, sizeof piece.reference);
        float world[3];
        memcpy(world, p, sizeof world);
        Drop(v, drop, world);
        Project(v, world, piece.device[0]);
        for (int w = 0; w < 3; ++w) {
            float end[3];
            memcpy(end, world, sizeof end);
            Drop(v, w == 0 ? 16 : w == 1 ? 32 : 64, end);
            Project(v, end, piece.device[1 + w]);
        }
        piece.indexPlusOne = i + 1;
        memcpy(piece.attributes, &o->attributes, sizeof piece.attributes);
        piece.callbackUser = o->attributes.callbackUser;
        piece.callback = o->attributes.callback;
        piece.row = i * step + offset;
        piece.flags = (uint8_t)part;
        if (newLine) {
            piece.flags |= FIRST_OF_LINE;
        } else {
            float previous[3];
            memcpy(previous, &points[i - 1].x, sizeof previous);
            if (clip)
                ClipToRect(v, previous, p);
            Drop(v, drop, previous);
            Project(v, previous, piece.previous);
        }
        newLine = false;
        BucketGrids(3, 0, 0, &piece, nullptr, const_cast<Scx3DView*>(v));
    }
    return 0;
}

INT_PTR Fill(Scx3DObject* o, const Scx3DView* v)
{
    HGLOBAL locked;
    Scx3DPoint* points = ObjectPoints(o, &locked);
    if (!points)
        return 3;
    INT_PTR result = 0;
    for (int drop : {128, 16, 32, 64})
        if ((result = FillDrop(o, v, points, drop)) != 0)
            break;
    if (locked)
        GlobalUnlock(locked);
    return result;
}

void DrawPiece(ScatterPiece* p, const Scx3DView* v)
{
    INT_PTR dc = (INT_PTR)v->deviceContext;
    INT_PTR flags = p->flags & 3;
    bool split = (p->flags & PIECE_SPLIT) != 0;
    static const uint8_t partBits[5] = {0, 0x08, 0x01, 0x04, 0x02};
    bool lines = AskPiece(p, 0x200007, 0, flags, 0, 0) != 0;
    for (int part = 1; part <= 4 && lines; ++part) {
        if (part == 1 && (p->flags & FIRST_OF_LINE))
            continue;
        bool shown = split ? (p->attributes[ATTR_PART_BITS] & partBits[part]) != 0
                           : AskPiece(p, 0x200008, 0, flags, part, 0) != 0;
        if (!shown)
            continue;
        Segment s;
        s.row = p->row;
        if (part == 1) {
            s.from = {p->previous[0], p->previous[1]};
            s.to = {p->device[0][0], p->device[0][1]};
        } else {
            s.from = {p->device[0][0], p->device[0][1]};
            s.to = {p->device[part - 1][0], p->device[part - 1][1]};
        }
        AskPiece(p, 0x200005, dc, flags, part, reinterpret_cast<INT_PTR>(&s));
    }
    INT_PTR data = reinterpret_cast<INT_PTR>(reinterpret_cast<uint8_t*>(p) + 48);
    bool symbol = split ? kSymbolsOnSplitPieces : AskPiece(p, 0x200007, dc, flags, p->row, data) != 0;
    if (!symbol)
        return;
    memcpy(g_symbolAttributes, p->attributes, sizeof g_symbolAttributes);
    g_symbolSize = (int)(g_symbolAttributes[ATTR_SIZE] * 2.0833333333333335);
    AskPiece(p, 0x200001, dc, flags, p->row, data);
    AskPiece(p, 0x200002, dc, flags, p->row, reinterpret_cast<INT_PTR>(p));
    AskPiece(p, 0x200003, dc, flags, p->row, 0);
}

void Defaults(Scx3DObject* o)
{
    uint8_t* a = o->attributes.bytes;
    uint8_t last = (uint8_t)(UtilPrepareDC(nullptr, 0, 0, UTIL_DC_COLOR_COUNT) - 1);
    memset(a, 0, sizeof o->attributes.bytes);
    a[4] = a[5] = 1; // Square
    a[8] = a[9] = 8;
    a[10] = a[15] = last;
}

} // namespace

INT_PTR ScatterObjectHandler(UINT command, INT_PTR count, HWND window, void* record, Scx3DObject* object,
                             INT_PTR extra)
{
    switch (command) {
    case SCX3D_OBJ_DIALOG:
        *static_cast<int*>(record) = 25400;
        return reinterpret_cast<INT_PTR>(&MyScatterControl);
    case SCX3D_OBJ_FILL_GRID: return Fill(object, static_cast<const Scx3DView*>(record));
    case SCX3D_OBJ_DRAW_PIECE:
        DrawPiece(reinterpret_cast<ScatterPiece*>(object), static_cast<const Scx3DView*>(record));
        return 0;
    case 0x100B: Defaults(object); return 0;
    case SCX3D_OBJ_TOLERANCE:
        return (int16_t)Ask(object->attributes, 0x20001C, 0, 0, 0, 0);
    case SCX3D_PAINT:
    case SCX3D_PAINT_FRAME: return 0;
    default: return SharedHandler(command, count, window, record, object, extra);
    }
}
