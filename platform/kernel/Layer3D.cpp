// 3D layers: their plots (surfaces, wire frames, bars, scatters, ribbons and walls)
// handed to the 3D library's object store and painted by it into the layer's frame, the
// pens and brushes it asks for, the axes along the box edges, and the view commands
// (turn, tilt, perspective, fit, reset) that change the layer's stored view.
#include "KernelInternal.h"

#include <math.h>
#include <string.h>

#include <algorithm>
#include <map>
#include <memory>

#include "PageRender.h"
#include "QKCallLog.h"
#include "QKContour.h"
#include "QKData.h"
#include "QKPlotModel.h"
#include "Scx3DHost.h"

namespace {

typedef INT_PTR(WINAPI* Scx3DProc)(HWND window, UINT type, INT_PTR count, void* record, INT_PTR argument);

Scx3DProc Engine(std::string* error)
{
    static Scx3DProc proc = nullptr;
    if (!proc)
        if (HMODULE module = qkfxGetSurfaceLibrary(error)) {
            proc = reinterpret_cast<Scx3DProc>(GetProcAddress(module, "SCX3D"));
            if (!proc && error)
                *error = "the 3D and contour library lacks its SCX3D entry";
        }
    return proc;
}

// The gap value the library's scatter object reads as "no point here".
const float kScatterGap = 31234.0f;
const float kBox = 2300.0f; // the standard box's side, in the library's units
const double kPi = 3.14159265358979323846;
// Mesh kinds of the library: banded colour map, one-colour surface, wire, bars.
enum { MESH_BANDED = 0, MESH_FILLED = 1, MESH_WIRE = 2, MESH_BARS = 3 };
// Object kinds of the library's store.
enum { OBJECT_SCATTER = 0, OBJECT_MESH = 2, OBJECT_POLYGON = 4 };
const int kBands = 8;

class GdiSelect {
public:
    GdiSelect(HDC dc, HGDIOBJ object) : m_dc(dc), m_object(object), m_old(SelectObject(dc, object)) {}
    ~GdiSelect()
    {
        SelectObject(m_dc, m_old);
        DeleteObject(m_object);
    }

private:
    HDC m_dc;
    HGDIOBJ m_object, m_old;
};

bool Valid(double v)
{
    return v != MISSING_VALUE && std::isfinite(v);
}

// One drawing of a 3D plot: its pens and brushes and the colour bands of its Z range.
struct PlotPaint {
    const QKDrawEnv* env = nullptr;
    int type = 0;
    COLORREF color = 0;
    HPEN pen = nullptr, mesh = nullptr, barEdge = nullptr;
    HBRUSH front = nullptr, back = nullptr, side = nullptr, sideY = nullptr, barFront = nullptr;
    bool filled = true, sideWalls = true;
    double barWidth[2] = {80, 80}; // a matrix's bars, across X and Y
    double barPercent = 80;        // bars of X-Y-Z columns
    std::vector<HBRUSH> bands;
    float boxZ = kBox;
    const CQKPlotObj* plot = nullptr;
    // A scatter's parts: its points and their projections onto the walls, each with the
    // look it is drawn in.
    struct Part {
        bool shown = false, joined = false;
        COLORREF color = 0;
        HPEN pen = nullptr;
        std::unique_ptr<CQKPlotObj> look;
    };
    Part parts[QK_SCATTER_PARTS];
    const Part& PartOf(INT_PTR flags) const { return parts[flags & 3]; }
    // The drop lines of the points (part 0), by the library's line parts 2, 3 and 4 of a
    // piece: toward the XY plane (parallel to Z), the YZ plane (parallel to X) and the
    // ZX plane (parallel to Y). Null where the plot draws none.
    HPEN drop[3] = {nullptr, nullptr, nullptr};
    // A plot that skips points draws the symbol and drop lines of its first point and of
    // every n-th after it; 0 draws all. Rows count from the plot's first point.
    int skipEvery = 0;
    bool Skipped(INT_PTR row) const { return skipEvery > 1 && row % skipEvery != 0; }
    // False for the points a wall plot carries only for its drop lines.
    bool symbols = true;
    // Surfaces: contour lines on the surface, its floor and its lid; a wire frame's lines
    // between the grid lines; Z clipped to a range of box heights (none: low above high).
    HPEN contour[3] = {nullptr, nullptr, nullptr};
    HPEN inner = nullptr;
    HGDIOBJ savedPen = nullptr;
    float clip[2] = {1, 0};
    std::vector<HPEN> bandPens;    // a grid in the colours of its bands
    std::vector<HBRUSH> rowBrushes; // bars in colours stepping from row to row
    ~PlotPaint()
    {
        for (HGDIOBJ o : {(HGDIOBJ)contour[0], (HGDIOBJ)contour[1], (HGDIOBJ)contour[2], (HGDIOBJ)inner})
            if (o)
                DeleteObject(o);
        for (HPEN pen : bandPens)
            DeleteObject(pen);
        for (HBRUSH b : rowBrushes)
            DeleteObject(b);
        for (Part& part : parts)
            if (part.pen)
                DeleteObject(part.pen);
        for (HPEN d : drop)
            if (d)
                DeleteObject(d);
        for (HGDIOBJ o : {(HGDIOBJ)pen, (HGDIOBJ)mesh, (HGDIOBJ)front, (HGDIOBJ)back, (HGDIOBJ)side,
                          (HGDIOBJ)barEdge, (HGDIOBJ)barFront, (HGDIOBJ)sideY})
            if (o)
                DeleteObject(o);
        for (HBRUSH b : bands)
            DeleteObject(b);
    }
    // Where the bands start in the box, bottom up: band i colours from starts[i] up to
    // the next start. Without a colour map, kBands even bands.
    std::vector<float> starts;
    int Band(float z) const
    {
        if (!starts.empty()) {
            int i = (int)(std::upper_bound(starts.begin(), starts.end(), z) - starts.begin()) - 1;
            return std::max(0, i);
        }
        int i = (int)floorf(z / boxZ * kBands);
        return std::min(kBands - 1, std::max(0, i));
    }
    float BandStart(INT_PTR band) const
    {
        if (starts.empty())
            return boxZ * (float)band / kBands;
        if (band <= 0)
            return std::min(starts[0], -1.0f); // the first band takes everything below it too
        return band < (INT_PTR)starts.size() ? starts[band] : 4 * boxZ;
    }
};

// A blue-to-red ramp through green and yellow, the colours of the bands bottom up.
COLORREF BandColor(int i)
{
    static const COLORREF ramp[kBands] = {RGB(0, 0, 255),   RGB(0, 128, 255), RGB(0, 200, 200), RGB(0, 200, 0),
                                          RGB(160, 220, 0), RGB(255, 220, 0), RGB(255, 128, 0), RGB(255, 0, 0)};
    return ramp[std::min(kBands - 1, std::max(0, i))];
}

bool IsDark(COLORREF c)
{
    return GetRValue(c) * 3 + GetGValue(c) * 6 + GetBValue(c) < 640;
}

// The colour of faces seen from behind and of bars' sides: a shade of the plot's colour,
// or a grey where the colour is too dark to shade.
COLORREF Shade(COLORREF c)
{
    return IsDark(c) ? RGB(96, 96, 96) : RGB(GetRValue(c) * 3 / 5, GetGValue(c) * 3 / 5, GetBValue(c) * 3 / 5);
}

// The object callback: the library asks which pen and brush each piece takes.
INT_PTR WINAPI ObjectCallback(INT_PTR user, UINT code, INT_PTR a1, INT_PTR a2, INT_PTR a3, INT_PTR a4)
{
    auto* p = reinterpret_cast<PlotPaint*>(user);
    HDC dc = reinterpret_cast<HDC>(a1);
    switch (code) {
    case 0x100003: // the band of a box Z
        return p->Band(*reinterpret_cast<const float*>(a1));
    case 0x100005: // the box Z where band a2 starts
        *reinterpret_cast<float*>(a1) = p->BandStart(a2);
        return 0;
    case 0x10000A: // the band's brush; none when the surface is not filled
        SelectObject(dc, p->filled ? (HGDIOBJ)p->bands[std::min<size_t>(p->bands.size() - 1, (size_t)std::max<INT_PTR>(0, a2))]
                                   : GetStockObject(NULL_BRUSH));
        return 0;
    case 0x200011: // the contour lines of a part: 0 the surface, 1 its floor, 2 its lid
        p->savedPen = SelectObject(dc, p->contour[std::min<INT_PTR>(2, std::max<INT_PTR>(0, a3))]);
        return 0;
    case 0x200012:
        if (p->savedPen)
            SelectObject(dc, p->savedPen);
        p->savedPen = nullptr;
        return 0;
    case 0x100007: // the lowest and highest box Z a clipped surface shows
    case 0x100008:
        if (p->clip[0] <= p->clip[1])
            *reinterpret_cast<float*>(a1) = p->clip[code == 0x100007 ? 0 : 1];
        return 0;
    case 0x10003C: // the value the grid of a band is drawn with: the band
        return a2;
    case 0x200013: // the cell's lines and its front
        if (a2 == 4 && !p->bandPens.empty()) // a grid in the band's colour
            SelectObject(dc, p->bandPens[std::min<size_t>(p->bandPens.size() - 1, (size_t)std::max<INT_PTR>(0, a3))]);
        else if ((a2 == 2 || a2 == 3) && p->inner) // a wire frame's lines between the grid lines
            SelectObject(dc, p->inner);
        else
            SelectObject(dc, p->type == QK_PLOT_3D_WIRE_FRAME ? p->pen : p->mesh);
        SelectObject(dc, p->filled ? (HGDIOBJ)p->front : GetStockObject(NULL_BRUSH));
        return 0;
    case 0x200015: SelectObject(dc, p->back); return 0;
    case 0x200016: SelectObject(dc, p->front); return 0;
    case 0x200017: { // a bar's faces; a3 its row
        SelectObject(dc, p->barEdge ? p->barEdge : p->mesh);
        HBRUSH front = p->barFront ? p->barFront : p->front;
        if (!p->rowBrushes.empty())
            front = p->rowBrushes[(size_t)std::max<INT_PTR>(0, a3) % p->rowBrushes.size()];
        SelectObject(dc, a2 ? front : p->back);
        return 0;
    }
    case 0x200019: // the mesh's side panels: a2 set for the panels along X
        SelectObject(dc, p->mesh);
        SelectObject(dc, a2 || !p->sideY ? p->side : p->sideY);
        return 0;
    case 0x20001B: { // bar widths, percent of the grid spacing
        auto* widths = reinterpret_cast<double*>(a4);
        widths[0] = p->barWidth[0];
        widths[1] = p->barWidth[1];
        return 0;
    }
    // Scatter: the parts shown (the points, the projections), each with the line joining
    // its points when it has one (line part 1); the points' drop lines (parts 2 to 4).
    // Asked with a device context, 0x200007 asks for a point's symbol (a3 its row).
    case 0x200007:
        if (dc)
            return p->PartOf(a2).shown && p->symbols && !((a2 & 3) == 0 && p->Skipped(a3)) ? 1 : 0;
        return p->PartOf(a2).shown ? 1 : 0;
    case 0x200008:
        if (a3 == 1)
            return p->PartOf(a2).joined ? 1 : 0;
        return (a2 & 3) == 0 && a3 >= 2 && a3 <= 4 && p->drop[a3 - 2] ? 1 : 0;
    case 0x200005: {
        struct Segment {
            POINT from, to;
            int32_t row;
        };
        const auto* s = reinterpret_cast<const Segment*>(a4);
        HPEN pen = p->PartOf(a2).pen;
        if (a3 >= 2 && a3 <= 4) {
            if (p->Skipped(s->row) || !p->drop[a3 - 2])
                return 0;
            pen = p->drop[a3 - 2];
        }
        HGDIOBJ old = SelectObject(dc, pen);
        MoveToEx(dc, s->from.x, s->from.y, nullptr);
        LineTo(dc, s->to.x, s->to.y);
        SelectObject(dc, old);
        return 0;
    }
    case 0x200002: { // the symbol at the piece's first device point
        const auto* bytes = reinterpret_cast<const uint8_t*>(a4);
        int32_t xy[2];
        memcpy(xy, bytes + 4, sizeof xy);
        const PlotPaint::Part& part = p->PartOf(a2);
        qkDrawPlotSymbol(*p->env, *part.look, xy[0], xy[1], part.look->GetSymbolSize(), part.color);
        return 0;
    }
    default: return 0;
    }
}

// The drawing callback of plain objects (polygons, walls, the frame).
struct PaintState {
    HPEN wallPen = nullptr;
    HBRUSH wallBrush = nullptr; // of the plane being drawn, in its colour
    HDC dc = nullptr;
    int saved = 0;
};
PaintState* g_paint = nullptr;

INT_PTR WINAPI DrawCallback(UINT code, INT_PTR a1, INT_PTR, INT_PTR)
{
    if (!g_paint)
        return 0;
    HDC dc = g_paint->dc;
    if (code == SCX3D_DRAW_ATTRIBUTES) {
        const auto* a = reinterpret_cast<const Scx3DAttributes*>(a1);
        g_paint->saved = SaveDC(dc);
        if (a && a->callbackUser) {
            auto* p = reinterpret_cast<PlotPaint*>(a->callbackUser);
            SelectObject(dc, p->mesh);
            SelectObject(dc, p->front);
        } else {
            // A plane: its colour index is the attributes' byte 12.
            g_paint->wallBrush = CreateSolidBrush(qkColorOf(a ? a->bytes[12] : 18));
            SelectObject(dc, g_paint->wallPen);
            SelectObject(dc, g_paint->wallBrush);
        }
    } else if (code == SCX3D_DRAW_RESTORE && g_paint->saved) {
        RestoreDC(dc, g_paint->saved);
        g_paint->saved = 0;
        if (g_paint->wallBrush) {
            DeleteObject(g_paint->wallBrush);
            g_paint->wallBrush = nullptr;
        }
    }
    return 0;
}

// A value's place along a dimension of the box, 0 .. 2300; false off the scale.
// A dimension of the box: its scale and its length in box units.
struct BoxScale : CQKAxisScale {
    BoxScale(const QKAxisRecord& record, float length) : CQKAxisScale(record), size(length) {}
    float size;
};

// A value's place along a dimension of the box, 0 .. its length; false off the scale.
bool ToBox(const CQKAxisScale& scale, double v, float& out, float size)
{
    double f;
    if (!Valid(v) || !scale.ToFraction(v, f))
        return false;
    out = (float)(f * size);
    return true;
}

bool ToBox(const BoxScale& scale, double v, float& out)
{
    return ToBox(scale, v, out, scale.size);
}

struct Scales {
    BoxScale x, y, z;
    Scales(const CQKGraphicLayer& l, const Scx3DView* v)
        : x(l.GetAxisRecord(QK_AXIS_X), v->boxX), y(l.GetAxisRecord(QK_AXIS_Y), v->boxY),
          z(l.GetAxisRecord(QK_AXIS_Z), v->boxZ)
    {
    }
};

INT_PTR AddObject(Scx3DProc scx, INT_PTR store, const void* points, const void* description)
{
    INT_PTR result = scx(nullptr, SCX3D_OBJ_ADD, store, const_cast<void*>(points), reinterpret_cast<INT_PTR>(description));
    // The store answers 1 when it could not add; the handle may move as it grows.
    return result == 1 ? store : result;
}

INT_PTR AddPolygon(Scx3DProc scx, INT_PTR store, const float (*corners)[3], int n, PlotPaint* paint)
{
    Scx3DDescription d{};
    d.kind = OBJECT_POLYGON;
    d.pointCount = n;
    d.attributes.callbackUser = reinterpret_cast<INT_PTR>(paint);
    d.attributes.callback = &ObjectCallback;
    return AddObject(scx, store, corners, &d);
}

INT_PTR AddMesh(Scx3DProc scx, INT_PTR store, const QK3DData& data, const Scales& s, int meshKind, PlotPaint* paint)
{
    // The mesh lies on an even grid in the box: its first and last lines where the data's
    // first and last X and Y put them.
    float x0, x1, y0, y1;
    if (!ToBox(s.x, data.xs.front(), x0) || !ToBox(s.x, data.xs.back(), x1) || !ToBox(s.y, data.ys.front(), y0) ||
        !ToBox(s.y, data.ys.back(), y1))
        return store;
    const int cols = (int)data.xs.size(), rows = (int)data.ys.size();
    std::vector<float> z((size_t)rows * cols);
    for (size_t i = 0; i < z.size(); ++i) {
        float bz;
        z[i] = ToBox(s.z, data.z[i], bz) ? bz : 0;
    }
    MeshDescription d{};
    d.kind = OBJECT_MESH;
    d.storage = SCX3D_STORAGE_POINT_BLOCK;
    d.pointCount = rows * cols;
    d.objectId = 1;
    d.grid.meshColumns = (uint16_t)cols;
    d.grid.meshRows = (uint16_t)rows;
    d.grid.meshX0 = x0;
    d.grid.meshDx = (x1 - x0) / (cols - 1);
    d.grid.meshY0 = y0;
    d.grid.meshDy = (y1 - y0) / (rows - 1);
    d.grid.indexScale = 1;
    d.grid.columnStride = 1;
    d.grid.rowStride = (int16_t)std::min(cols, 32767);
    const QKSurfaceState& sf = paint->plot->GetSurfaceState();
    d.attributes.bytes[2] = meshKind == MESH_BANDED ? 0x10 : 0x08; // fill the top; report the back
    if (meshKind == MESH_BANDED) {
        // Contour lines on the surface; fills and contour lines of its projections onto
        // the floor (bottom) and under the lid (top).
        const int bits[] = {sf.contourLines ? 0x40 : 0, sf.fillProjection[0] ? 0x80 : 0,
                                sf.linesProjection[0] ? 0x01 : 0, sf.fillProjection[1] ? 0x02 : 0,
                                sf.linesProjection[1] ? 0x04 : 0};
        for (int b : bits)
            d.attributes.bytes[2] |= (uint8_t)b;
    }
    d.attributes.bytes[6] = (uint8_t)meshKind;
    d.attributes.bytes[8] = 0;
    d.attributes.bytes[11] = meshKind == MESH_WIRE ? 0 : 0x03;
    if (meshKind == MESH_WIRE && sf.secondaryGridLines > 0) {
        const int16_t n = (int16_t)std::min(sf.secondaryGridLines, 100);
        memcpy(&d.attributes.bytes[8], &n, sizeof n);
        d.attributes.bytes[11] |= 0x02;
    }
    // Grid lines of one direction only: those of constant X, or of constant Y.
    if (sf.showGrid == 1)
        d.attributes.bytes[11] |= 0x20;
    else if (sf.showGrid == 2)
        d.attributes.bytes[11] |= 0x60;
    if (meshKind == MESH_BANDED && !paint->bandPens.empty())
        d.attributes.bytes[11] |= 0x04;
    if (paint->sideWalls && meshKind != MESH_WIRE)
        d.attributes.bytes[11] |= 0x10; // the side panels
    d.attributes.callbackUser = reinterpret_cast<INT_PTR>(paint);
    d.attributes.callback = &ObjectCallback;
    return AddObject(scx, store, z.data(), &d);
}

INT_PTR AddScatter(Scx3DProc scx, INT_PTR store, const QK3DData& data, const Scales& s, PlotPaint* paint)
{
    std::vector<float> points;
    for (const auto& p : data.points) {
        float b[3];
        if (ToBox(s.x, p[0], b[0]) && ToBox(s.y, p[1], b[1]) && ToBox(s.z, p[2], b[2]))
            points.insert(points.end(), b, b + 3);
        else
            points.insert(points.end(), {kScatterGap, 0, 0});
    }
    if (points.empty())
        return store;
    Scx3DDescription d{};
    d.kind = OBJECT_SCATTER;
    d.storage = SCX3D_STORAGE_POINT_BLOCK;
    d.pointCount = (int)points.size() / 3;
    d.objectId = 1;
    d.attributes.bytes[8] = 8;
    // A piece's row is its point's index times the step (bytes 4-7 of `more`) plus the
    // offset (bytes 0-3): the point's place in the plot's data.
    const int32_t step = 1;
    memcpy(&d.attributes.more[4], &step, sizeof step);
    d.attributes.callbackUser = reinterpret_cast<INT_PTR>(paint);
    d.attributes.callback = &ObjectCallback;
    return AddObject(scx, store, points.data(), &d);
}

// Ribbons, walls and bars of XYY data: the plot stands at its place along Y, its X along
// X and its values up Z; each face a polygon of the store, sorted by depth.
INT_PTR AddFaces(Scx3DProc scx, INT_PTR store, const QK3DData& data, const Scales& s, int type, PlotPaint* paint,
                 const float eye[3])
{
    const auto& pts = data.points;
    float zBase = 0;
    ToBox(s.z, std::max(0.0, s.z.GetFrom()), zBase);
    if (type == QK_PLOT_3D_BARS) {
        for (size_t i = 0; i < pts.size(); ++i) {
            float x, y, z, dx = 0, dy = 0, half;
            if (!ToBox(s.x, pts[i][0], x) || !ToBox(s.y, pts[i][1], y) || !ToBox(s.z, pts[i][2], z))
                continue;
            ToBox(s.x, pts[i][0] + (pts.size() > 1 ? fabs(pts[std::min(i + 1, pts.size() - 1)][0] - pts[i ? i - 1 : 1][0]) / (i && i + 1 < pts.size() ? 2 : 1) : 1), dx);
            ToBox(s.y, pts[i][1] + 1, dy);
            half = fabsf(dx - x) * (float)paint->barPercent / 200;
            const float hy = fabsf(dy - y) * 0.3f;
            const float c[8][3] = {{x - half, y - hy, zBase}, {x + half, y - hy, zBase}, {x + half, y + hy, zBase}, {x - half, y + hy, zBase},
                                   {x - half, y - hy, z},     {x + half, y - hy, z},     {x + half, y + hy, z},     {x - half, y + hy, z}};
            static const int faces[5][4] = {{4, 5, 6, 7}, {0, 1, 5, 4}, {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}};
            static const float normals[5][3] = {{0, 0, 1}, {0, -1, 0}, {1, 0, 0}, {0, 1, 0}, {-1, 0, 0}};
            for (int k = 0; k < 5; ++k) {
                // A face turned away from the eye is hidden by the bar's others; leaving it
                // out keeps the depth order of the faces that show simple.
                const int* f = faces[k];
                float toEye = 0;
                for (int a = 0; a < 3; ++a)
                    toEye += normals[k][a] * (eye[a] - c[f[0]][a]);
                if (toEye <= 0)
                    continue;
                float q[4][3];
                for (int k = 0; k < 4; ++k)
                    memcpy(q[k], c[f[k]], sizeof q[k]);
                store = AddPolygon(scx, store, q, 4, paint);
            }
        }
        return store;
    }
    for (size_t i = 0; i + 1 < pts.size(); ++i) {
        float xa, xb, y, za, zb, dy = 0;
        if (!ToBox(s.x, pts[i][0], xa) || !ToBox(s.x, pts[i + 1][0], xb) || !ToBox(s.y, pts[i][1], y) ||
            !ToBox(s.z, pts[i][2], za) || !ToBox(s.z, pts[i + 1][2], zb))
            continue;
        if (type == QK_PLOT_3D_WALL) {
            const float q[4][3] = {{xa, y, zBase}, {xb, y, zBase}, {xb, y, zb}, {xa, y, za}};
            store = AddPolygon(scx, store, q, 4, paint);
        } else {
            ToBox(s.y, pts[i][1] + 1, dy);
            const float hy = fabsf(dy - y) * 0.3f;
            const float q[4][3] = {{xa, y - hy, za}, {xb, y - hy, zb}, {xb, y + hy, zb}, {xa, y + hy, za}};
            store = AddPolygon(scx, store, q, 4, paint);
        }
    }
    return store;
}

std::vector<BYTE>& ViewRecord(CQKGraphicLayer& layer, Scx3DProc scx)
{
    std::vector<BYTE>& bytes = layer.Get3DView();
    if (bytes.size() != sizeof(Scx3DView)) {
        bytes.assign(sizeof(Scx3DView), 0);
        auto* v = reinterpret_cast<Scx3DView*>(bytes.data());
        v->horizontal = 1;
        scx(nullptr, SCX3D_DEFAULTS, 0, v, 0);
        // A new layer shows the view Reset rotation brings back.
        scx(nullptr, SCX3D_LETTER, 0, v, reinterpret_cast<INT_PTR>("R"));
    }
    return bytes;
}

// A device point of a box point.
POINT Project(Scx3DProc scx, Scx3DView* v, float x, float y, float z)
{
    float p[3] = {x, y, z};
    scx(nullptr, SCX3D_WORLD_TO_SCREEN, 1, v, reinterpret_cast<INT_PTR>(p));
    return {(LONG)lround(p[0]), (LONG)lround(p[1])};
}

std::string TickText(double v, double inc)
{
    if (fabs(v) < fabs(inc) * 1e-9)
        v = 0;
    return qkFormatText("%g", v);
}

// One axis along a box edge: its line, major ticks pointing away from the box and their
// labels beyond them. `along` is the dimension; `at` the edge's point at the axis's start.
void DrawBoxAxis(const QKDrawEnv& env, Scx3DProc scx, Scx3DView* v, const QKAxisRecord& record, int along,
                 const float at[3], const float outward[3], bool rotateLabels)
{
    const CQKAxisScale scale(record);
    if (!scale.IsValid())
        return;
    HDC dc = env.dc;
    const float length = along == 0 ? v->boxX : along == 1 ? v->boxY : v->boxZ;
    float a[3] = {at[0], at[1], at[2]}, b[3] = {at[0], at[1], at[2]};
    b[along] = length;
    const POINT pa = Project(scx, v, a[0], a[1], a[2]), pb = Project(scx, v, b[0], b[1], b[2]);
    GdiSelect pen(dc, qkCreateLinePen(env, 0, 0.5, RGB(0, 0, 0)));
    MoveToEx(dc, pa.x, pa.y, nullptr);
    LineTo(dc, pb.x, pb.y);
    const double from = scale.GetFrom(), to = scale.GetTo();
    double inc = fabs(atof(record.inc.c_str()));
    const bool logScale = record.type == 1 || record.type == 7 || record.type == 8;
    std::vector<double> ticks;
    if (logScale) {
        for (double t = pow(10, floor(log10(std::min(from, to)))); t <= std::max(from, to) * (1 + 1e-9) && ticks.size() < 40; t *= 10)
            ticks.push_back(t);
    } else {
        if (!(inc > 0) || fabs(to - from) / inc > 50)
            inc = fabs(to - from) / 5;
        const double lo = std::min(from, to), hi = std::max(from, to);
        for (double t = ceil(lo / inc - 1e-9) * inc; t <= hi + inc * 1e-9; t += inc)
            ticks.push_back(t);
    }
    const int tick = std::max(3, env.PenWidth(0) * 4);
    // Turned labels run along the axis as it stands on the screen, never upside down.
    int escapement = 0;
    if (rotateLabels && (pa.x != pb.x || pa.y != pb.y)) {
        double degrees = atan2(-(double)(pb.y - pa.y), (double)(pb.x - pa.x)) * 180 / kPi;
        if (degrees > 90)
            degrees -= 180;
        else if (degrees < -90)
            degrees += 180;
        escapement = (int)lround(degrees * 10);
    }
    HFONT font = CreateFontA(-std::max(8, (int)lround(env.PointsToPixels(10))), 0, escapement, escapement, FW_NORMAL,
                             0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
    GdiSelect f(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    for (double t : ticks) {
        float pos;
        if (!ToBox(scale, t, pos, length))
            continue;
        float p[3] = {at[0], at[1], at[2]};
        p[along] = pos;
        const POINT on = Project(scx, v, p[0], p[1], p[2]);
        const POINT off = Project(scx, v, p[0] + outward[0], p[1] + outward[1], p[2] + outward[2]);
        double dx = off.x - on.x, dy = off.y - on.y, len = hypot(dx, dy);
        if (len < 1e-6)
            dx = 0, dy = 1, len = 1;
        dx /= len;
        dy /= len;
        MoveToEx(dc, on.x, on.y, nullptr);
        LineTo(dc, on.x + (int)lround(dx * tick), on.y + (int)lround(dy * tick));
        const std::string text = TickText(t, inc);
        SIZE size;
        GetTextExtentPoint32A(dc, text.c_str(), (int)text.size(), &size);
        // The label's centre stands beyond the tick, as far again as half its size.
        const double reach = tick * 2 + (fabs(dx) * size.cx + fabs(dy) * size.cy) / 2;
        const int cx = on.x + (int)lround(dx * reach), cy = on.y + (int)lround(dy * reach);
        if (escapement) {
            // Centred about the same point: the text's origin turns with it.
            const double r = escapement / 10.0 * kPi / 180, c = cos(r), sn = sin(r);
            const double hx = size.cx / 2.0, hy = size.cy / 2.0;
            TextOutA(dc, cx - (int)lround(hx * c + hy * sn), cy - (int)lround(-hx * sn + hy * c), text.c_str(),
                     (int)text.size());
        } else {
            TextOutA(dc, cx - size.cx / 2, cy - size.cy / 2, text.c_str(), (int)text.size());
        }
    }
}

// The three axes on the edges of the floor and a vertical edge, on the box's near sides
// as the walls stand on the far ones.
void DrawBoxAxes(const QKDrawEnv& env, Scx3DProc scx, Scx3DView* v, const CQKGraphicLayer& layer)
{
    const float farX = v->wallX > v->boxX / 2 ? v->boxX : 0, farY = v->wallY > v->boxY / 2 ? v->boxY : 0;
    const float nearX = v->boxX - farX, nearY = v->boxY - farY, floorZ = v->wallZ;
    const float sx = nearX > 0 ? 1.f : -1.f, sy = nearY > 0 ? 1.f : -1.f;
    const float xStart[3] = {0, nearY, floorZ}, xOut[3] = {0, sy * 200, 0};
    const float yStart[3] = {nearX, 0, floorZ}, yOut[3] = {sx * 200, 0, 0};
    const float zStart[3] = {nearX, farY, 0}, zOut[3] = {sx * 200, 0, 0};
    const bool turn = layer.GetState().rotateLabels;
    DrawBoxAxis(env, scx, v, layer.GetAxisRecord(QK_AXIS_X), 0, xStart, xOut, turn);
    DrawBoxAxis(env, scx, v, layer.GetAxisRecord(QK_AXIS_Y), 1, yStart, yOut, turn);
    DrawBoxAxis(env, scx, v, layer.GetAxisRecord(QK_AXIS_Z), 2, zStart, zOut, turn);
}

// The three edges of the box that meet at its front corner: the corner away from the
// back planes, at the top when the floor is at the bottom.
void DrawCubeOutline(const QKDrawEnv& env, Scx3DProc scx, Scx3DView* v, const QKLayerState& st)
{
    const float x = v->wallX > v->boxX / 2 ? 0 : v->boxX, y = v->wallY > v->boxY / 2 ? 0 : v->boxY;
    const float z = v->wallZ > v->boxZ / 2 ? 0 : v->boxZ;
    const POINT corner = Project(scx, v, x, y, z);
    const POINT ends[3] = {Project(scx, v, v->boxX - x, y, z), Project(scx, v, x, v->boxY - y, z),
                           Project(scx, v, x, y, v->boxZ - z)};
    GdiSelect pen(env.dc, qkCreateLinePen(env, st.cubeOutlineStyle, st.cubeOutlineWidth, qkColorOf(st.cubeOutlineColor)));
    for (const POINT& end : ends) {
        MoveToEx(env.dc, corner.x, corner.y, nullptr);
        LineTo(env.dc, end.x, end.y);
    }
}

} // namespace

bool qkIs3DStorePlot(const CQKPlotObj& plot)
{
    return plot.Is3DPlot() && !dynamic_cast<const CQKContourPlotObj*>(&plot);
}

bool qkPlot3DData(const CQKGraphicLayer& layer, const CQKPlotObj& plot, QK3DData& out, std::string* why)
{
    out = QK3DData();
    const int type = plot.GetPlotObjectType(0);
    CQKProject& project = qkfxGetProject();
    for (const QKPlotData& d : plot.GetDataList()) {
        if (d.role != QK_ROLE_MATRIX)
            continue;
        auto* m = dynamic_cast<CQKMatrixPage*>(d.handle ? project.GetPageFromHandle(d.handle) : project.FindPage(d.dataset));
        if (!m) {
            if (why)
                *why = "the matrix " + d.dataset + " is gone";
            return false;
        }
        const int rows = m->GetRows(), cols = m->GetCols();
        if (rows < 2 || cols < 2) {
            if (why)
                *why = qkFormatText("the matrix %s has %d x %d cells; a surface needs at least 2 x 2", m->GetName().c_str(), rows, cols);
            return false;
        }
        out.mesh = true;
        for (int c = 0; c < cols; ++c)
            out.xs.push_back(m->m_x1 + (m->m_x2 - m->m_x1) * c / (cols - 1));
        for (int r = 0; r < rows; ++r)
            out.ys.push_back(m->m_y1 + (m->m_y2 - m->m_y1) * r / (rows - 1));
        for (int r = 1; r <= rows; ++r)
            for (int c = 1; c <= cols; ++c)
                out.z.push_back(m->GetCell(r, c));
        return true;
    }
    int first = 0, end = 0;
    CQKDataset* main = qkPlotDataset(plot, QK_ROLE_Y, &first, &end);
    if (!main) {
        if (why)
            *why = "its dataset " + plot.GetDataSetName() + " is gone";
        return false;
    }
    CQKDataset* x = qkPlotDataset(plot, QK_ROLE_X);
    CQKDataset* z = qkPlotDataset(plot, QK_ROLE_Z);
    if (!z) {
        // XYY: the plot's values rise along Z at its own place along Y, the n-th such
        // plot of the layer at n.
        int place = 0;
        for (int i = 0; i < layer.GetNumPlots(); ++i) {
            const CQKPlotObj* p = const_cast<CQKGraphicLayer&>(layer).PlotObjByIndex(i, 1);
            if (p && qkIs3DStorePlot(*p) && !qkPlotDataset(*p, QK_ROLE_Z))
                ++place;
            if (p == &plot)
                break;
        }
        for (int row = first; row < end; ++row)
            out.points.push_back({x ? x->GetValue(row) : row + 1.0, (double)place, main->GetValue(row)});
        return true;
    }
    for (int row = first; row < end; ++row)
        out.points.push_back({x ? x->GetValue(row) : row + 1.0, main->GetValue(row), z->GetValue(row)});
    const bool surface = type == QK_PLOT_3D_SURFACE || type == QK_PLOT_3D_WIRE_FRAME || type == QK_PLOT_3D_WIRE_SURFACE ||
                         type == QK_PLOT_3D_BARS;
    if (!surface)
        return true;
    // A surface from columns: the points must lie on a grid of their distinct X and Y.
    std::vector<double> xs, ys;
    for (const auto& p : out.points)
        if (Valid(p[0]) && Valid(p[1])) {
            xs.push_back(p[0]);
            ys.push_back(p[1]);
        }
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
    if (xs.size() < 2 || ys.size() < 2 || xs.size() * ys.size() > out.points.size() * 4 + 16) {
        if (why)
            *why = "its X and Y columns do not span a grid; convert the data to a matrix first";
        return false;
    }
    std::vector<double> grid(xs.size() * ys.size(), MISSING_VALUE);
    for (const auto& p : out.points) {
        if (!Valid(p[0]) || !Valid(p[1]))
            continue;
        const size_t c = std::lower_bound(xs.begin(), xs.end(), p[0]) - xs.begin();
        const size_t r = std::lower_bound(ys.begin(), ys.end(), p[1]) - ys.begin();
        grid[r * xs.size() + c] = p[2];
    }
    out.mesh = true;
    out.xs = xs;
    out.ys = ys;
    out.z = grid;
    return true;
}

bool qkDraw3DLayer(const QKDrawEnv& env, CQKGraphicLayer& layer, const RECT& frame)
{
    std::vector<CQKPlotObj*> plots;
    for (int i = 0; i < layer.GetNumPlots(); ++i) {
        CQKPlotObj* plot = layer.PlotObjByIndex(i, 1);
        if (plot && plot->IsShow() && qkIs3DStorePlot(*plot))
            plots.push_back(plot);
    }
    if (!layer.Is3DLayer() && plots.empty())
        return false;
    std::string error;
    Scx3DProc scx = Engine(&error);
    if (!scx) {
        qkfxGetCallLog().Add("qkDraw3DLayer", error);
        return false;
    }
    HDC dc = env.dc;
    std::vector<BYTE>& record = ViewRecord(layer, scx);
    // The engine works on a copy: what a paint leaves in the record (device context,
    // projection caches) is no part of the layer's view.
    std::vector<BYTE> working = record;
    auto* v = reinterpret_cast<Scx3DView*>(working.data());
    v->hostCallback = &qkPlotHostCallback;
    v->deviceContext = (int32_t)(INT_PTR)dc;
    v->state |= SCX3D_STATE_EXTENT | SCX3D_STATE_REPROJECT;
    const QKLayerState& st = layer.GetState();
    // A parallel projection is the library's smallest perspective angle.
    if (!st.perspective)
        v->perspective = 0.001f;
    for (int i = 0; i < 3; ++i)
        v->wallColour[i] = (uint8_t)std::max(0, std::min(255, st.planeColor[i]));
    const Scales scales(layer, v);

    INT_PTR store = scx(nullptr, SCX3D_OBJECT_COMMAND | SCX3D_STORE_COMMAND | SCX3D_STORE_CREATE, 0, nullptr, 0);
    if (!store) {
        qkfxGetCallLog().Add("qkDraw3DLayer", "the 3D library made no object store (out of memory)");
        return true;
    }
    int32_t viewport[4] = {frame.left, frame.top, frame.right, frame.bottom};
    scx(qkGetHostWindow(), SCX3D_FIT_VIEWPORT, (INT_PTR)dc, v, reinterpret_cast<INT_PTR>(viewport));
    scx(nullptr, SCX3D_ROTATE, 0, v, 0); // walls that follow the eye take their sides
    store = scx(nullptr, SCX3D_OBJECT_COMMAND | SCX3D_STORE_COMMAND | SCX3D_STORE_WALLS, store, v, 0);

    std::vector<std::unique_ptr<PlotPaint>> paints;
    for (CQKPlotObj* plot : plots) {
        QK3DData data;
        std::string why;
        if (!qkPlot3DData(layer, *plot, data, &why)) {
            qkfxGetCallLog().Add("qkDraw3DLayer", plot->GetDataSetName() + " is not drawn: " + why);
            continue;
        }
        auto paint = std::make_unique<PlotPaint>();
        PlotPaint* p = paint.get();
        p->env = &env;
        p->plot = plot;
        p->type = plot->GetPlotObjectType(0);
        p->color = qkPlotColor(*plot);
        p->pen = qkCreateLinePen(env, plot->GetType(), plot->GetWidth(), p->color);
        // Mesh lines and edges show on the faces: black, or grey on a dark face.
        // Mesh lines and edges: the grid's colour and width; none when the grid is off.
        const QKSurfaceState& sf = plot->GetSurfaceState();
        p->mesh = sf.showGrid == 0 ? (HPEN)GetStockObject(NULL_PEN)
                                   : qkCreateLinePen(env, 0, sf.gridWidth, plot->GetGridColor());
        const bool colorMapped = p->type == QK_PLOT_3D_SURFACE && plot->GetState().colorMapData;
        const COLORREF face = p->type == QK_PLOT_3D_SURFACE && !colorMapped ? plot->GetSurfaceFillColor() : p->color;
        p->front = CreateSolidBrush(face);
        p->back = CreateSolidBrush(sf.backColorEnabled ? sf.backColor : Shade(face));
        p->side = CreateSolidBrush(sf.sideWallX);
        p->sideY = CreateSolidBrush(sf.sideWallY);
        p->sideWalls = sf.sideWalls;
        p->filled = sf.fill || p->type != QK_PLOT_3D_SURFACE;
        p->barPercent = std::max(5, std::min(100, plot->GetState().barThickness));
        if (p->type == QK_PLOT_3D_BARS) {
            p->barEdge = qkCreateLinePen(env, 0, sf.barEdgeWidth, sf.barEdgeColor);
            p->barFront = CreateSolidBrush(plot->GetFirstRowColor());
            p->barWidth[0] = sf.xBarWidth;
            p->barWidth[1] = sf.yBarWidth;
        }
        p->boxZ = v->boxZ;
        for (int part = 0; part < 3; ++part)
            p->contour[part] = qkCreateLinePen(env, 0, part ? sf.projectionLineWidth[part - 1] : sf.lineWidth,
                                               part ? sf.projectionLineColor[part - 1] : sf.lineColor);
        if (p->type == QK_PLOT_3D_WIRE_FRAME || p->type == QK_PLOT_3D_WIRE_SURFACE)
            p->inner = qkCreateLinePen(env, 0, sf.gridWidth, sf.wireSingle ? plot->GetGridColor() : sf.secondColor);
        if (p->type == QK_PLOT_3D_BARS && !sf.sameFillColor) {
            // Each row's bars one colour further along the colour list than the row before.
            const COLORREF first = plot->GetFirstRowColor();
            const int count = std::max(1, CQKColor::GetColorNumber());
            int start = 0;
            for (int i = 0; i < count; ++i)
                if (qkColorOf(i) == first)
                    start = i;
            for (int i = 0; i < count; ++i)
                p->rowBrushes.push_back(CreateSolidBrush(i == 0 ? first : qkColorOf((start + i) % count)));
        }
        if (colorMapped && plot->GetColorMapState().levels.size() < 2)
            plot->MakeDefaultColorMap();
        if (colorMapped) {
            // The plot's levels: a level off the Z scale starts where the one before it did.
            float last = -1;
            for (const ColorMapEntry& e : plot->GetColorMapState().levels) {
                float z;
                if (!ToBox(scales.z, e.level, z))
                    z = last;
                p->starts.push_back(last = z);
                p->bands.push_back(CreateSolidBrush(e.fillColor & 0xFFFFFF));
                if (sf.gridByColorMap && sf.showGrid != 0)
                    p->bandPens.push_back(qkCreateLinePen(env, 0, sf.gridWidth, e.fillColor & 0xFFFFFF));
            }
            // Z clipping: percentages of the levels' span.
            const QKColorMapState& cm = plot->GetColorMapState();
            const double low = cm.levels.front().level, high = cm.levels.back().level;
            float zLow, zHigh;
            if ((cm.clipLow > 0 || cm.clipHigh < 100) && ToBox(scales.z, low + (high - low) * cm.clipLow / 100, zLow) &&
                ToBox(scales.z, low + (high - low) * cm.clipHigh / 100, zHigh)) {
                p->clip[0] = zLow;
                p->clip[1] = zHigh;
            }
        } else {
            for (int i = 0; i < kBands; ++i)
                p->bands.push_back(CreateSolidBrush(BandColor(i)));
        }
        // Drop lines of a plot that has points (scatters, trajectories, walls), as the
        // Drop Lines page sets them: each block's style, width and colour (automatic:
        // the plot's).
        const bool hasPoints = !data.mesh && (plot->HasSymbol() || plot->HasDataPoint());
        const QKDropLineState& dl = plot->GetDropLineState();
        if (hasPoints) {
            const struct {
                int bit, style;
                double width;
                int color;
            } blocks[3] = {{4, dl.zType, dl.zWidth, dl.zColor},
                           {2, dl.horiType, dl.horiWidth, dl.horiColor},
                           {1, dl.vertType, dl.vertWidth, dl.vertColor}};
            for (int i = 0; i < 3; ++i)
                if (dl.type & blocks[i].bit)
                    p->drop[i] = qkCreateLinePen(env, blocks[i].style, blocks[i].width,
                                                 blocks[i].color < 0 ? p->color : qkColorOf(blocks[i].color));
            if (plot->IsSkipPlottingSymbols())
                p->skipEvery = plot->GetSkipFrequency() < 1 ? 2 : plot->GetSkipFrequency();
        }
        if (data.mesh) {
            int kind = MESH_FILLED;
            if (p->type == QK_PLOT_3D_WIRE_FRAME || p->type == QK_PLOT_3D_WIRE_SURFACE)
                kind = MESH_WIRE;
            else if (p->type == QK_PLOT_3D_BARS)
                kind = MESH_BARS;
            else if (colorMapped)
                kind = MESH_BANDED;
            store = AddMesh(scx, store, data, scales, kind, p);
        } else if (p->type == QK_PLOT_3D_SCATTER || p->type == QK_PLOT_3D_TRAJECTORY) {
            for (int i = 0; i < QK_SCATTER_PARTS; ++i) {
                PlotPaint::Part& part = p->parts[i];
                part.look = std::make_unique<CQKPlotObj>(*plot);
                part.look->SetPartLook(plot->GetScatterLook(i));
                part.shown = plot->GetState().scatter.shown[i];
                part.joined = p->type == QK_PLOT_3D_TRAJECTORY ? part.look->GetConnectType() != 0
                                                               : part.look->IsSymbolsConnected() != FALSE;
                part.color = qkPlotColor(*part.look);
                part.pen = qkCreateLinePen(env, part.look->GetType(), part.look->GetWidth(), part.color);
            }
            store = AddScatter(scx, store, data, scales, p);
        } else {
            store = AddFaces(scx, store, data, scales, p->type, p, v->eyeWorld);
            if (hasPoints && dl.type) {
                // The library draws drop lines from a scatter's points: the wall's
                // points go in as a scatter without symbols.
                p->parts[0].shown = true;
                p->symbols = false;
                store = AddScatter(scx, store, data, scales, p);
            }
        }
        paints.push_back(std::move(paint));
    }

    PaintState state;
    state.dc = dc;
    state.wallPen = qkCreateLinePen(env, 0, 0.5, RGB(128, 128, 128));
    state.wallBrush = CreateSolidBrush(RGB(240, 240, 240));
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, env.page.left, env.page.top, env.page.right, env.page.bottom);
    g_paint = &state;
    scx(nullptr, SCX3D_PREPARE_DRAWING, store, v, 0);
    scx(qkGetHostWindow(), SCX3D_PAINT, store, v, reinterpret_cast<INT_PTR>(&DrawCallback));
    g_paint = nullptr;
    RestoreDC(dc, saved);
    if (st.cubeOutline)
        DrawCubeOutline(env, scx, v, st);
    DrawBoxAxes(env, scx, v, layer);
    // A click inside the frame finds the layer's 3D plots (the last drawn first), as it
    // finds a contour plot: the library's own hit test answers objects of its store only.
    for (const auto& p : paints)
        for (int id : layer.GetObjectIds())
            if (layer.GetObject(id) == p->plot) {
                QKHitItem hit;
                hit.layer = env.layerIndex;
                hit.id = id;
                hit.box = frame;
                env.AddHit(hit);
            }
    scx(nullptr, SCX3D_END_DRAWING, 0, v, 0);
    scx(nullptr, SCX3D_OBJECT_COMMAND | SCX3D_STORE_COMMAND | SCX3D_STORE_FREE, store, nullptr, 0);
    DeleteObject(state.wallPen);
    DeleteObject(state.wallBrush);
    // The walls' sides follow the eye; the layer keeps where they went.
    auto* kept = reinterpret_cast<Scx3DView*>(record.data());
    kept->walls = v->walls;
    kept->wallX = v->wallX;
    kept->wallY = v->wallY;
    kept->wallZ = v->wallZ;
    return true;
}

bool qkfxMap3DPoint(CQKGraphicLayer& layer, const RECT& frame, double x, double y, double z, POINT& out)
{
    Scx3DProc scx = Engine(nullptr);
    if (!scx)
        return false;
    std::vector<BYTE> working = ViewRecord(layer, scx);
    auto* v = reinterpret_cast<Scx3DView*>(working.data());
    v->state |= SCX3D_STATE_EXTENT | SCX3D_STATE_REPROJECT;
    if (!layer.GetState().perspective)
        v->perspective = 0.001f;
    int32_t viewport[4] = {frame.left, frame.top, frame.right, frame.bottom};
    scx(nullptr, SCX3D_FIT_VIEWPORT, 0, v, reinterpret_cast<INT_PTR>(viewport));
    const Scales s(layer, v);
    float b[3];
    if (!ToBox(s.x, x, b[0]) || !ToBox(s.y, y, b[1]) || !ToBox(s.z, z, b[2]))
        return false;
    out = Project(scx, v, b[0], b[1], b[2]);
    return true;
}

bool qkfxChange3DView(CQKGraphicLayer* layer, const std::string& what, std::string* error)
{
    if (!layer || !layer->Is3DLayer()) {
        if (error)
            *error = "the active layer is no 3D layer";
        return false;
    }
    Scx3DProc scx = Engine(error);
    if (!scx)
        return false;
    auto* v = reinterpret_cast<Scx3DView*>(ViewRecord(*layer, scx).data());
    const float kStep = 10;
    // Turns about the vertical, tilts toward the viewer and sideways: 1 clockwise,
    // 2 counterclockwise, 3 right, 4 left, 5 up, 6 down.
    static const struct {
        const char* word;
        float* (*field)(Scx3DView*);
        float sign;
    } kTurns[] = {
        {"1", [](Scx3DView* w) { return &w->tilt; }, -1},     {"2", [](Scx3DView* w) { return &w->tilt; }, 1},
        {"3", [](Scx3DView* w) { return &w->roll; }, -1},     {"4", [](Scx3DView* w) { return &w->roll; }, 1},
        {"5", [](Scx3DView* w) { return &w->rotation; }, -1}, {"6", [](Scx3DView* w) { return &w->rotation; }, 1},
    };
    for (const auto& t : kTurns)
        if (what == t.word) {
            *t.field(v) += t.sign * kStep;
            scx(nullptr, 0x2001, 0, v, 0);
            v->state |= SCX3D_STATE_EXTENT | SCX3D_STATE_REPROJECT;
            qkfxGetProject().SetProjectModified(true);
            qkShowLayerAgain(*layer);
            return true;
        }
    const char* letter = what == "perspective+" ? "P+1" : what == "perspective-" ? "P-1" : what == "fit" ? "F" : what == "reset" ? "R" : nullptr;
    if (!letter) {
        if (error)
            *error = "the 3D view knows 1 to 6, perspective+, perspective-, fit and reset, not \"" + what + "\"";
        return false;
    }
    scx(qkGetHostWindow(), SCX3D_LETTER, 0, v, reinterpret_cast<INT_PTR>(letter));
    v->state |= SCX3D_STATE_EXTENT | SCX3D_STATE_REPROJECT;
    qkfxGetProject().SetProjectModified(true);
    qkShowLayerAgain(*layer);
    return true;
}

// ---- the 3D layer's settings ----

namespace {

// The layer's view record, made on first use; null without the 3D library.
Scx3DView* ViewOf(const CQK3DLayer& layer)
{
    Scx3DProc scx = Engine(nullptr);
    if (!scx)
        return nullptr;
    return reinterpret_cast<Scx3DView*>(ViewRecord(const_cast<CQK3DLayer&>(layer), scx).data());
}

float& BoxSide(Scx3DView* v, int d)
{
    return d == 0 ? v->boxX : d == 1 ? v->boxY : v->boxZ;
}

// Where each plane stands: the XY plane along Z, the YZ plane along X, the ZX along Y.
float& PlaneAt(Scx3DView* v, int p)
{
    return p == 0 ? v->wallZ : p == 1 ? v->wallX : v->wallY;
}
int PlaneDimension(int p)
{
    return p == 0 ? 2 : p == 1 ? 0 : 1;
}
const uint8_t kPlaneBits[3] = {SCX3D_WALL_Z, SCX3D_WALL_X, SCX3D_WALL_Y};
const uint8_t kPlaneFarBits[3] = {SCX3D_WALL_Z_FAR, SCX3D_WALL_X_FAR, SCX3D_WALL_Y_FAR};

double Clamp(double v, double lo, double hi)
{
    return v < lo ? lo : v > hi ? hi : v;
}

void Changed(Scx3DView* v)
{
    v->state |= SCX3D_STATE_EXTENT | SCX3D_STATE_REPROJECT;
    qkfxGetProject().SetProjectModified(true);
}

} // namespace

void CQK3DLayer::CalcRotAngles()
{
    Scx3DProc scx = Engine(nullptr);
    if (Scx3DView* v = ViewOf(*this))
        scx(nullptr, SCX3D_RECOVER_ANGLES, 0, v, 0);
}

double CQK3DLayer::GetBox(int d) const
{
    Scx3DView* v = ViewOf(*this);
    return v ? BoxSide(v, d) / kBox : 0;
}

void CQK3DLayer::SetBox(int d, double length)
{
    Scx3DView* v = ViewOf(*this);
    if (!v || !(length > 0) || length > 100)
        return;
    float& side = BoxSide(v, d);
    const float old = side, now = (float)(length * kBox);
    if (old == now)
        return;
    // Planes and clipping limits keep their places as parts of the side.
    const float f = old > 0 ? now / old : 1;
    for (int p = 0; p < 3; ++p)
        if (PlaneDimension(p) == d)
            PlaneAt(v, p) *= f;
    if (d == 0)
        v->xyRect[0] *= f, v->xyRect[1] *= f;
    else if (d == 1)
        v->xyRect[2] *= f, v->xyRect[3] *= f;
    side = now;
    v->boxCentre[d] = now * 0.5f;
    Engine(nullptr)(nullptr, 0x2001, 0, v, 0);
    Changed(v);
}

double CQK3DLayer::GetAngle(int a) const
{
    Scx3DView* v = ViewOf(*this);
    if (!v)
        return 0;
    // X tilts toward the viewer, Y turns sideways, Z turns about the vertical.
    return a == 0 ? v->rotation : a == 1 ? v->roll : v->tilt;
}

void CQK3DLayer::SetAngle(int a, double degrees, int apply)
{
    Scx3DView* v = ViewOf(*this);
    if (!v || !std::isfinite(degrees))
        return;
    (a == 0 ? v->rotation : a == 1 ? v->roll : v->tilt) = (float)fmod(degrees, 360.0);
    if (apply) {
        Engine(nullptr)(nullptr, 0x2001, 0, v, 0);
        Changed(v);
    }
}

double CQK3DLayer::GetPerspectiveAngle() const
{
    Scx3DView* v = ViewOf(*this);
    return v ? (v->perspective < 0.01f ? 0 : v->perspective) : 0;
}

void CQK3DLayer::SetPerspectiveAngle(double degrees)
{
    Scx3DView* v = ViewOf(*this);
    if (!v || !std::isfinite(degrees))
        return;
    // The library's eye distance needs an angle above 0.
    v->perspective = (float)Clamp(degrees, 0.001, 30);
    v->state |= SCX3D_STATE_PERSPECTIVE;
    Changed(v);
}

void CQK3DLayer::SetRotateLabel(BOOL on)
{
    m_st.rotateLabels = on != FALSE;
}

BOOL CQK3DLayer::IsXYClippingSupported() const
{
    // The library clips what it draws from its store: surfaces, bars and scatters.
    for (int i = 0; i < GetNumPlots(); ++i) {
        CQKPlotObj* plot = PlotObjByIndex(i, 1);
        if (plot && qkIs3DStorePlot(*plot))
            return TRUE;
    }
    return FALSE;
}

BOOL CQK3DLayer::HasXYClipping() const
{
    Scx3DView* v = ViewOf(*this);
    return v && (v->walls & SCX3D_WALLS_CLIP_SCATTER);
}

void CQK3DLayer::SetXYClipping(BOOL on)
{
    if (Scx3DView* v = ViewOf(*this)) {
        v->walls = on ? (v->walls | SCX3D_WALLS_CLIP_SCATTER) : (v->walls & ~SCX3D_WALLS_CLIP_SCATTER);
        Changed(v);
    }
}

// The clipping rectangle: X from, X to, Y to, Y from.
double CQK3DLayer::GetClip(int i) const
{
    Scx3DView* v = ViewOf(*this);
    if (!v)
        return 0;
    const float side = i < 2 ? v->boxX : v->boxY;
    return side > 0 ? v->xyRect[i] / side * 100 : 0;
}

void CQK3DLayer::SetClip(int i, double percent)
{
    Scx3DView* v = ViewOf(*this);
    if (!v || !std::isfinite(percent))
        return;
    v->xyRect[i] = (float)(Clamp(percent, 0, 100) / 100 * (i < 2 ? v->boxX : v->boxY));
    Changed(v);
}

void CQK3DLayer::SetProjectionPrespective(BOOL on)
{
    m_st.perspective = on != FALSE;
}

BOOL CQK3DLayer::HasAutoPosition() const
{
    Scx3DView* v = ViewOf(*this);
    return v && (v->walls & SCX3D_WALLS_FOLLOW_EYE);
}

void CQK3DLayer::SetAutoPosition(BOOL on)
{
    if (Scx3DView* v = ViewOf(*this)) {
        v->walls = on ? (v->walls | SCX3D_WALLS_FOLLOW_EYE) : (v->walls & ~SCX3D_WALLS_FOLLOW_EYE);
        Changed(v);
    }
}

BOOL CQK3DLayer::HasPlane(int p) const
{
    Scx3DView* v = ViewOf(*this);
    return v && (v->walls & kPlaneBits[p]);
}

void CQK3DLayer::SetPlane(int p, BOOL on)
{
    if (Scx3DView* v = ViewOf(*this)) {
        v->walls = on ? (v->walls | kPlaneBits[p]) : (v->walls & ~kPlaneBits[p]);
        Changed(v);
    }
}

double CQK3DLayer::GetPlanePosition(int p) const
{
    Scx3DView* v = ViewOf(*this);
    if (!v)
        return 0;
    const float side = BoxSide(v, PlaneDimension(p));
    return side > 0 ? PlaneAt(v, p) / side * 100 : 0;
}

void CQK3DLayer::SetPlanePosition(int p, double percent)
{
    Scx3DView* v = ViewOf(*this);
    if (!v || !std::isfinite(percent))
        return;
    percent = Clamp(percent, 0, 100);
    PlaneAt(v, p) = (float)(percent / 100 * BoxSide(v, PlaneDimension(p)));
    v->walls = percent >= 50 ? (v->walls | kPlaneFarBits[p]) : (v->walls & ~kPlaneFarBits[p]);
    v->state |= SCX3D_STATE_WALLS;
    Changed(v);
}

void CQK3DLayer::SetPlaneColor(int p, int color)
{
    if (color >= 0 && color < CQKColor::GetColorNumber())
        m_st.planeColor[p] = color;
}

void CQK3DLayer::SetEnableCubeOutline(BOOL on)
{
    m_st.cubeOutline = on != FALSE;
}

void CQK3DLayer::SetCubeOutlineColor(int color)
{
    if (color >= 0 && color < CQKColor::GetColorNumber())
        m_st.cubeOutlineColor = color;
}

void CQK3DLayer::SetCubeOutlineStyle(int style)
{
    if (style >= 0)
        m_st.cubeOutlineStyle = style;
}

void CQK3DLayer::SetCubeOutlineWidth(double points)
{
    if (points >= 0 && points <= 100)
        m_st.cubeOutlineWidth = points;
}

// ---- the settings of surfaces, wire frames and bars -----------------------------------

BOOL CQKPlotObj::HasWireFrameFeatures() const
{
    return m_s.plotType == QK_PLOT_3D_WIRE_FRAME || m_s.plotType == QK_PLOT_3D_WIRE_SURFACE;
}

BOOL CQKPlotObj::IsFillColorSurface() const { return m_s.plotType == QK_PLOT_3D_SURFACE && !m_s.colorMapData; }

BOOL CQKPlotObj::IsColormapSurface() const { return m_s.plotType == QK_PLOT_3D_SURFACE && m_s.colorMapData; }

COLORREF CQKPlotObj::GetGridColor() const
{
    if (m_s.surface.gridColor != QK_SURFACE_PLOT_COLOR)
        return m_s.surface.gridColor;
    const COLORREF c = qkPlotColor(*this);
    return m_s.plotType == QK_PLOT_3D_WIRE_SURFACE ? c : IsDark(c) ? RGB(160, 160, 160) : RGB(0, 0, 0);
}

COLORREF CQKPlotObj::GetSurfaceFillColor() const
{
    return m_s.surface.surfaceFillColor != QK_SURFACE_PLOT_COLOR ? m_s.surface.surfaceFillColor : qkPlotColor(*this);
}

COLORREF CQKPlotObj::GetFirstRowColor() const
{
    return m_s.surface.firstRowColor != QK_SURFACE_PLOT_COLOR ? m_s.surface.firstRowColor : qkPlotColor(*this);
}

BOOL CQKPlotObj::SetXBarWidthPercent(double percent)
{
    if (!(percent >= 1 && percent <= 100))
        return FALSE;
    m_s.surface.xBarWidth = percent;
    return TRUE;
}

BOOL CQKPlotObj::SetYBarWidthPercent(double percent)
{
    if (!(percent >= 1 && percent <= 100))
        return FALSE;
    m_s.surface.yBarWidth = percent;
    return TRUE;
}
