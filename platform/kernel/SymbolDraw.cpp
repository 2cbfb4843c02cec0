// A plot's symbols (geometric shapes with their interiors, and characters) and the lines
// that join its points by each connection type.
#include "KernelInternal.h"

#include <math.h>

#include <algorithm>
#include <string>

#include "PageRender.h"
#include "QKSymbolManager.h"

namespace {

const double kPi = 3.14159265358979323846;

int Round(double v)
{
    return (int)lround(v);
}

struct Selected {
    Selected(HDC dc, HGDIOBJ object, bool owned = true) : dc(dc), object(object), owned(owned), old(SelectObject(dc, object)) {}
    ~Selected()
    {
        SelectObject(dc, old);
        if (owned)
            DeleteObject(object);
    }
    HDC dc;
    HGDIOBJ object;
    bool owned;
    HGDIOBJ old;
};

// The outline of a closed shape around (x, y) with half size r; empty for the shapes
// made of lines only and for the circle.
std::vector<POINT> Outline(int shape, double x, double y, double r)
{
    auto regular = [&](int n, double start) {
        std::vector<POINT> p;
        for (int k = 0; k < n; ++k) {
            const double a = start + 2 * kPi * k / n;
            p.push_back({Round(x + r * cos(a)), Round(y - r * sin(a))});
        }
        return p;
    };
    switch (shape) {
    case QK_SYMBOL_SQUARE: return {{Round(x - r), Round(y - r)}, {Round(x + r), Round(y - r)}, {Round(x + r), Round(y + r)}, {Round(x - r), Round(y + r)}};
    case QK_SYMBOL_UP_TRIANGLE: return {{Round(x), Round(y - r)}, {Round(x + r), Round(y + r)}, {Round(x - r), Round(y + r)}};
    case QK_SYMBOL_DOWN_TRIANGLE: return {{Round(x - r), Round(y - r)}, {Round(x + r), Round(y - r)}, {Round(x), Round(y + r)}};
    case QK_SYMBOL_LEFT_TRIANGLE: return {{Round(x - r), Round(y)}, {Round(x + r), Round(y - r)}, {Round(x + r), Round(y + r)}};
    case QK_SYMBOL_RIGHT_TRIANGLE: return {{Round(x + r), Round(y)}, {Round(x - r), Round(y + r)}, {Round(x - r), Round(y - r)}};
    case QK_SYMBOL_DIAMOND: return {{Round(x), Round(y - r)}, {Round(x + r), Round(y)}, {Round(x), Round(y + r)}, {Round(x - r), Round(y)}};
    case QK_SYMBOL_HEXAGON: return regular(6, 0);
    case QK_SYMBOL_PENTAGON: return regular(5, kPi / 2);
    default: return {};
    }
}

// Shapes drawn as strokes: pairs of end points.
std::vector<POINT> Strokes(int shape, double x, double y, double r)
{
    const double d = r * 0.7071;
    std::vector<POINT> plus = {{Round(x - r), Round(y)}, {Round(x + r), Round(y)}, {Round(x), Round(y - r)}, {Round(x), Round(y + r)}};
    std::vector<POINT> cross = {{Round(x - d), Round(y - d)}, {Round(x + d), Round(y + d)}, {Round(x - d), Round(y + d)}, {Round(x + d), Round(y - d)}};
    switch (shape) {
    case QK_SYMBOL_CROSS: return plus;
    case QK_SYMBOL_X_CROSS: return cross;
    case QK_SYMBOL_STAR: plus.insert(plus.end(), cross.begin(), cross.end()); return plus;
    case QK_SYMBOL_HORIZONTAL_BAR: return {{Round(x - r), Round(y)}, {Round(x + r), Round(y)}};
    case QK_SYMBOL_VERTICAL_BAR: return {{Round(x), Round(y - r)}, {Round(x), Round(y + r)}};
    default: return {};
    }
}

void DrawStrokes(HDC dc, const std::vector<POINT>& s)
{
    for (size_t i = 0; i + 1 < s.size(); i += 2) {
        MoveToEx(dc, s[i].x, s[i].y, nullptr);
        LineTo(dc, s[i + 1].x, s[i + 1].y);
    }
}

// The closed shape filled with the brush selected, outlined with the pen selected.
void FillShape(HDC dc, int shape, const std::vector<POINT>& outline, double x, double y, double r)
{
    if (shape == QK_SYMBOL_CIRCLE)
        Ellipse(dc, Round(x - r), Round(y - r), Round(x + r) + 1, Round(y + r) + 1);
    else
        Polygon(dc, outline.data(), (int)outline.size());
}

void DrawCharacter(const QKDrawEnv& env, const QKSymbolState& sym, const std::string& shown, int x, int y, double r,
                   COLORREF edge, int penWidth)
{
    HDC dc = env.dc;
    std::string face;
    if (CQKFontManager::GetFontName(sym.charFont, face) < 0 || face.empty())
        face = "Arial";
    HFONT font = CreateFontA(-std::max(4, Round(2 * r)), 0, 0, 0, (sym.charStyle & 8) ? FW_BOLD : FW_NORMAL,
                             (sym.charStyle & 2) != 0, (sym.charStyle & 1) != 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                             face.c_str());
    Selected f(dc, font);
    const char* text = shown.c_str();
    const int n = (int)shown.size();
    SIZE size;
    GetTextExtentPoint32A(dc, text, n, &size);
    const int left = x - size.cx / 2, top = y - size.cy / 2;
    const int mode = SetBkMode(dc, TRANSPARENT);
    if (sym.outline) {
        Selected pen(dc, CreatePen(PS_SOLID, penWidth, edge));
        BeginPath(dc);
        TextOutA(dc, left, top, text, n);
        EndPath(dc);
        StrokePath(dc);
    } else {
        const COLORREF old = SetTextColor(dc, edge);
        TextOutA(dc, left, top, text, n);
        SetTextColor(dc, old);
    }
    SetBkMode(dc, mode);
}

// A point on a cubic B-spline segment (uniform), or on a Catmull-Rom segment, at t.
POINT BSpline(const POINT& p0, const POINT& p1, const POINT& p2, const POINT& p3, double t)
{
    const double t2 = t * t, t3 = t2 * t;
    const double b0 = (1 - t) * (1 - t) * (1 - t) / 6, b1 = (3 * t3 - 6 * t2 + 4) / 6, b2 = (-3 * t3 + 3 * t2 + 3 * t + 1) / 6,
                 b3 = t3 / 6;
    return {Round(b0 * p0.x + b1 * p1.x + b2 * p2.x + b3 * p3.x), Round(b0 * p0.y + b1 * p1.y + b2 * p2.y + b3 * p3.y)};
}

POINT CatmullRom(const POINT& p0, const POINT& p1, const POINT& p2, const POINT& p3, double t)
{
    const double t2 = t * t, t3 = t2 * t;
    auto f = [&](double a, double b, double c, double d) {
        return 0.5 * (2 * b + (-a + c) * t + (2 * a - 5 * b + 4 * c - d) * t2 + (-a + 3 * b - 3 * c + d) * t3);
    };
    return {Round(f(p0.x, p1.x, p2.x, p3.x)), Round(f(p0.y, p1.y, p2.y, p3.y))};
}

POINT Bezier(const POINT& p0, const POINT& p1, const POINT& p2, const POINT& p3, double t)
{
    const double u = 1 - t;
    const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
    return {Round(a * p0.x + b * p1.x + c * p2.x + d * p3.x), Round(a * p0.y + b * p1.y + c * p2.y + d * p3.y)};
}

// Steps a segment of a curve into as many pieces as its control points span pixels,
// at least 4 and at most 64, so that a curve stays smooth at any size.
int StepsFor(const POINT& a, const POINT& b, const POINT& c, const POINT& d)
{
    const double span = hypot(b.x - a.x, b.y - a.y) + hypot(c.x - b.x, c.y - b.y) + hypot(d.x - c.x, d.y - c.y);
    return std::max(4, std::min(64, (int)(span / 3)));
}

void AddPoint(std::vector<POINT>& out, POINT p)
{
    if (out.empty() || out.back().x != p.x || out.back().y != p.y)
        out.push_back(p);
}

} // namespace

void qkDrawPlotSymbol(const QKDrawEnv& env, const CQKPlotObj& plot, int x, int y, double sizePoints, COLORREF color,
                      int index, COLORREF pointEdge, COLORREF pointFill)
{
    const QKSymbolState& sym = plot.GetSymbolState();
    HDC dc = env.dc;
    const double r = std::max(1.0, env.PointsToPixels(sizePoints) / 2);
    // A colour taken per point draws as automatic where no point is meant (a legend).
    const COLORREF edge = pointEdge != CLR_INVALID                              ? pointEdge
                          : sym.edgeColor < 0 || qkIsPointQCOLOR(sym.edgeColor) ? color
                                                                                : qkColorOf(sym.edgeColor);
    const COLORREF fill = pointFill != CLR_INVALID ? pointFill
                          : qkColorOf(sym.fillColor < 0 || qkIsPointQCOLOR(sym.fillColor) ? plot.GetActualColorForAutoColor(2)
                                                                                          : sym.fillColor);
    const int penWidth = std::max(1, Round(2 * r * sym.thickness / 100));
    if (sym.style > 0 && !CQKSymbolManager::IsCharacterSymbol(sym.style)) {
        // A user-defined symbol's picture fills the symbol's square; one that cannot be
        // drawn (removed, its file gone) leaves a plain square, so the point still shows.
        const RECT square = {Round(x - r), Round(y - r), Round(x + r) + 1, Round(y + r) + 1};
        if (qkfxGetSymbolManager()->DrawUserDefinedSymbol(dc, square, sym.style - 1))
            return;
        Selected pen(dc, CreatePen(PS_SOLID, penWidth, edge));
        Selected brush(dc, CreateSolidBrush(fill));
        Rectangle(dc, square.left, square.top, square.right, square.bottom);
        return;
    }
    if (sym.style > 0) {
        DrawCharacter(env, sym, std::string(1, (char)sym.style), x, y, r, edge, penWidth);
        return;
    }
    if (CQKSymbolManager::IsIncrementalType(sym.shape)) {
        // Letters count on from the start letter (round the alphabet), numerals from the
        // first row's number; a point drawn alone (a legend) shows the first.
        const int i = index < 0 ? 0 : index;
        std::string shown;
        if (CQKSymbolManager::IsNumType(sym.shape)) {
            shown = std::to_string(sym.fill - 49 + 1 + i);
        } else {
            const char base = CQKSymbolManager::IsABCDType(sym.shape) ? 'A' : 'a';
            const int start = sym.fill >= base && sym.fill < base + 26 ? sym.fill - base : 0;
            shown = std::string(1, (char)(base + (start + i) % 26));
        }
        DrawCharacter(env, sym, shown, x, y, r, edge, penWidth);
        return;
    }
    if (sym.shape == QK_SYMBOL_NONE)
        return;
    Selected pen(dc, CreatePen(PS_SOLID, penWidth, edge));
    const std::vector<POINT> strokes = Strokes(sym.shape, x, y, r);
    if (!strokes.empty()) {
        DrawStrokes(dc, strokes);
        return;
    }
    const std::vector<POINT> outline = Outline(sym.shape, x, y, r);
    const int f = sym.fill;
    const bool clear = f == QK_SYMFILL_HOLLOW || (f >= QK_SYMFILL_PLUS_CENTER && f <= QK_SYMFILL_X_CENTER);
    {
        Selected brush(dc, clear ? GetStockObject(NULL_BRUSH) : CreateSolidBrush(f == QK_SYMFILL_SOLID ? edge : fill), !clear);
        FillShape(dc, sym.shape, outline, x, y, r);
    }
    if (f >= QK_SYMFILL_HALF_UP && f <= QK_SYMFILL_HALF_LEFT) {
        // The named half in the edge colour, the other keeping the fill.
        const int l = Round(x - r) - 1, t = Round(y - r) - 1, rr = Round(x + r) + 2, b = Round(y + r) + 2;
        RECT half = {l, t, rr, b};
        if (f == QK_SYMFILL_HALF_UP)
            half.bottom = y;
        else if (f == QK_SYMFILL_HALF_DOWN)
            half.top = y + 1;
        else if (f == QK_SYMFILL_HALF_LEFT)
            half.right = x;
        else
            half.left = x + 1;
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, half.left, half.top, half.right, half.bottom);
        Selected brush(dc, CreateSolidBrush(edge));
        FillShape(dc, sym.shape, outline, x, y, r);
        RestoreDC(dc, saved);
    }
    const double m = r / 2;
    switch (f) {
    case QK_SYMFILL_DOT_CENTER: {
        Selected brush(dc, CreateSolidBrush(edge));
        const double d = std::max(1.0, r / 3);
        Ellipse(dc, Round(x - d), Round(y - d), Round(x + d) + 1, Round(y + d) + 1);
        break;
    }
    case QK_SYMFILL_PLUS_CENTER: DrawStrokes(dc, Strokes(QK_SYMBOL_CROSS, x, y, m)); break;
    case QK_SYMFILL_MINUS_CENTER: DrawStrokes(dc, Strokes(QK_SYMBOL_HORIZONTAL_BAR, x, y, m)); break;
    case QK_SYMFILL_BAR_CENTER: DrawStrokes(dc, Strokes(QK_SYMBOL_VERTICAL_BAR, x, y, m)); break;
    case QK_SYMFILL_X_CENTER: DrawStrokes(dc, Strokes(QK_SYMBOL_X_CROSS, x, y, m)); break;
    default: break;
    }
}

std::vector<std::vector<POINT>> qkConnectPoints(const std::vector<POINT>& pts, int connect)
{
    const size_t n = pts.size();
    std::vector<std::vector<POINT>> pieces;
    switch (connect) {
    case QK_CONNECT_NONE: return pieces;
    case QK_CONNECT_2_POINT_SEGMENT:
    case QK_CONNECT_3_POINT_SEGMENT: {
        const size_t group = connect == QK_CONNECT_2_POINT_SEGMENT ? 2 : 3;
        for (size_t i = 0; i + 1 < n; i += group)
            pieces.emplace_back(pts.begin() + i, pts.begin() + std::min(n, i + group));
        return pieces;
    }
    case QK_CONNECT_STEP_HORIZONTAL:
    case QK_CONNECT_STEP_VERTICAL: {
        std::vector<POINT> out;
        for (size_t i = 0; i < n; ++i) {
            if (i > 0)
                out.push_back(connect == QK_CONNECT_STEP_HORIZONTAL ? POINT{pts[i].x, pts[i - 1].y}
                                                                    : POINT{pts[i - 1].x, pts[i].y});
            out.push_back(pts[i]);
        }
        pieces.push_back(out);
        return pieces;
    }
    case QK_CONNECT_B_SPLINE:
    case QK_CONNECT_SPLINE: {
        if (n < 3) {
            pieces.push_back(pts);
            return pieces;
        }
        // The ends repeated, so that the curve starts and ends at the first and last points.
        const bool b = connect == QK_CONNECT_B_SPLINE;
        std::vector<POINT> c;
        c.push_back(pts.front());
        if (b)
            c.push_back(pts.front());
        c.insert(c.end(), pts.begin(), pts.end());
        c.push_back(pts.back());
        if (b)
            c.push_back(pts.back());
        std::vector<POINT> out;
        for (size_t i = 0; i + 3 < c.size(); ++i) {
            const int steps = StepsFor(c[i], c[i + 1], c[i + 2], c[i + 3]);
            for (int k = 0; k <= steps; ++k) {
                const double t = (double)k / steps;
                AddPoint(out, b ? BSpline(c[i], c[i + 1], c[i + 2], c[i + 3], t) : CatmullRom(c[i], c[i + 1], c[i + 2], c[i + 3], t));
            }
        }
        pieces.push_back(out);
        return pieces;
    }
    case QK_CONNECT_BEZIER: {
        // Cubic pieces sharing their ends; points left over at the end are joined straight.
        std::vector<POINT> out;
        size_t i = 0;
        for (; i + 3 < n; i += 3) {
            const int steps = StepsFor(pts[i], pts[i + 1], pts[i + 2], pts[i + 3]);
            for (int k = 0; k <= steps; ++k)
                AddPoint(out, Bezier(pts[i], pts[i + 1], pts[i + 2], pts[i + 3], (double)k / steps));
        }
        for (; i < n; ++i)
            AddPoint(out, pts[i]);
        pieces.push_back(out);
        return pieces;
    }
    default: pieces.push_back(pts); return pieces;
    }
}

void CQKPlotObj::DrawSymbolPreview(HDC dc, const RECT& square) const
{
    QKDrawEnv env;
    env.dc = dc;
    env.page = square;
    env.pixelsPerInch = 72; // a point a pixel: the square's half side is the symbol's size
    const int x = (square.left + square.right) / 2, y = (square.top + square.bottom) / 2;
    qkDrawPlotSymbol(env, *this, x, y, square.right - square.left, qkPlotColor(*this));
}

void CQKPlotObj::DrawLegendPreview(HDC dc, const RECT& box) const
{
    QKDrawEnv env;
    env.dc = dc;
    env.page = box;
    env.pixelsPerInch = 96;
    qkDrawLegendSample(env, *this, box);
}
