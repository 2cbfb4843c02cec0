// The plots of a layer, each by its kind, through the layer's data-to-device mapping.
#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <unordered_set>

#include "KernelInternal.h"
#include "PageRender.h"
#include "QKCallLog.h"
#include "QKContour.h"
#include "QKPlotModel.h"
#include "QKScript.h"

namespace {

bool g_mergePoints = true;

const double kPi = 3.14159265358979323846;
// The symbol every plot with symbols draws: a filled square of this size (points).
const double kSymbolSize = 9;
// Far outside any device; GDI's coordinates stay well inside 32 bits.
const double kCoordLimit = 1 << 26;

// Rounds half up; cheaper than lround, which matters at a million points.
inline int Round(double v)
{
    const double t = std::max(-kCoordLimit, std::min(kCoordLimit, v)) + 0.5;
    const int i = (int)t;
    return i - (t < i);
}

// The rows a plot draws, with X (the row number from 1 without an X dataset) and Y.
struct Series {
    int first = 0, end = 0;
    CQKDataset* y = nullptr;
    CQKDataset* x = nullptr;
    bool Load(const CQKPlotObj& plot, int role = QK_ROLE_Y)
    {
        y = qkPlotDataset(plot, role, &first, &end);
        x = qkPlotDataset(plot, QK_ROLE_X);
        return y != nullptr;
    }
    double X(int row) const
    {
        double u, v;
        if (z)
            return Fractions(row, u, v) ? u : MISSING_VALUE;
        return x ? x->GetValue(row) : row + 1;
    }
    // A masked row is drawn apart, in the mask colour (DrawMaskedPoints).
    double Y(int row) const { return y->IsMasked(row) ? MISSING_VALUE : Value(row); }
    // The row's value on top of the stacked plots below it (missing values there count 0).
    double Value(int row) const
    {
        double u, v = y->GetValue(row);
        if (z)
            return Fractions(row, u, v) ? v : MISSING_VALUE;
        if (v == MISSING_VALUE)
            return v;
        for (const CQKDataset* b : below)
            if (row < b->GetEnd() && b->GetValue(row) != MISSING_VALUE && std::isfinite(b->GetValue(row)))
                v += b->GetValue(row);
        return v;
    }
    std::vector<const CQKDataset*> below;
    // Ternary layers: the Z dataset. A row's X, Y and Z as fractions of their sum give its
    // place in the unit triangle: u = y + z / 2 across, v = z up.
    const CQKDataset* z = nullptr;
    bool Fractions(int row, double& u, double& v) const
    {
        if (!x || row >= z->GetEnd() || row >= x->GetEnd())
            return false;
        const double a = x->GetValue(row), b = y->GetValue(row), c = z->GetValue(row);
        auto ok = [](double w) { return w != MISSING_VALUE && std::isfinite(w) && w >= 0; };
        if (!ok(a) || !ok(b) || !ok(c) || !(a + b + c > 0))
            return false;
        u = (b + c / 2) / (a + b + c);
        v = c / (a + b + c);
        return true;
    }
};

bool Valid(double v)
{
    return v != MISSING_VALUE && std::isfinite(v);
}

// Takes a polyline's points one by one and keeps, of each run of points in one pixel
// column, the first, the lowest, the highest and the last, in the order they came. A
// 1-pixel pen draws a vertical walk in one column as every pixel between its extremes,
// and the segments between columns keep their ends, so the picture is the same pixel for
// pixel. Without merging every point is kept.
class PolylineBuilder {
public:
    explicit PolylineBuilder(bool merge) : m_merge(merge) {}
    void Add(POINT p)
    {
        if (!m_merge) {
            m_out.push_back(p);
            return;
        }
        if (m_count && p.x == m_first.x) {
            if (p.y < m_lo.y) {
                m_lo = p;
                m_loIndex = m_count;
            }
            if (p.y > m_hi.y) {
                m_hi = p;
                m_hiIndex = m_count;
            }
            m_last = p;
            ++m_count;
            return;
        }
        Flush();
        m_first = m_lo = m_hi = m_last = p;
        m_loIndex = m_hiIndex = 0;
        m_count = 1;
    }
    std::vector<POINT>& Points()
    {
        Flush();
        return m_out;
    }
    void Clear()
    {
        m_out.clear();
        m_count = 0;
    }

private:
    void Push(POINT p)
    {
        if (m_out.empty() || m_out.back().x != p.x || m_out.back().y != p.y)
            m_out.push_back(p);
    }
    void Flush()
    {
        if (!m_count)
            return;
        Push(m_first);
        Push(m_loIndex < m_hiIndex ? m_lo : m_hi);
        Push(m_loIndex < m_hiIndex ? m_hi : m_lo);
        Push(m_last);
        m_count = 0;
    }
    bool m_merge;
    std::vector<POINT> m_out;
    POINT m_first = {}, m_lo = {}, m_hi = {}, m_last = {};
    int m_loIndex = 0, m_hiIndex = 0, m_count = 0;
};

class GdiSelect {
public:
    GdiSelect(HDC dc, HGDIOBJ obj) : m_dc(dc), m_obj(obj), m_old(SelectObject(dc, obj)) {}
    ~GdiSelect()
    {
        SelectObject(m_dc, m_old);
        DeleteObject(m_obj);
    }

private:
    HDC m_dc;
    HGDIOBJ m_obj, m_old;
};

struct PlotContext {
    const QKDrawEnv& env;
    CQKGraphicLayer& layer;
    const QKLayerMap& map;
    const CQKPlotObj& plot;
    int id;
    COLORREF color;
    void Hit(std::vector<POINT> path, bool points, std::vector<int> rows = {}) const
    {
        if (!env.hits || path.empty())
            return;
        QKHitItem h;
        h.layer = env.layerIndex;
        h.id = id;
        h.path = std::move(path);
        h.points = points;
        h.rows = std::move(rows);
        env.AddHit(h);
    }
    void HitBox(const RECT& box) const
    {
        QKHitItem h;
        h.layer = env.layerIndex;
        h.id = id;
        h.box = box;
        env.AddHit(h);
    }
};

// A line between two device points; `closed` takes in the end point too.
void Segment(const PlotContext& c, POINT a, POINT b, bool closed = false)
{
    MoveToEx(c.env.dc, a.x, a.y, nullptr);
    if (closed)
        b = {b.x + (b.x > a.x) - (b.x < a.x), b.y + (b.y > a.y) - (b.y < a.y)};
    LineTo(c.env.dc, b.x, b.y);
}

// The device points of a series, in runs broken by missing values (unless the page joins
// across them) and by values the scales cannot show.
std::vector<std::vector<POINT>> Polylines(const PlotContext& c, const Series& s)
{
    std::vector<std::vector<POINT>> runs(1);
    const CQKGraphPage* page = dynamic_cast<CQKGraphPage*>(c.layer.GetValidPagePtr());
    const bool joinMissing = page && page->IsDisplConnectMiss();
    runs.back().reserve(std::max(0, s.end - s.first));
    for (int row = s.first; row < s.end; ++row) {
        double dx, dy;
        const double vx = s.X(row), vy = s.Y(row);
        if (!Valid(vx) || !Valid(vy) || !c.map.Map(vx, vy, dx, dy)) {
            if (!joinMissing && !runs.back().empty())
                runs.emplace_back();
            continue;
        }
        runs.back().push_back({Round(dx), Round(dy)});
    }
    return runs;
}

COLORREF ColorOr(int color, COLORREF automatic)
{
    return color < 0 || qkIsPointQCOLOR(color) ? automatic : qkColorOf(color);
}

// One colour of a plot at each of its points: fixed, or taken per point from a worksheet
// column, whose values are colour-table numbers from 1 or go through the plot's colour
// map (its levels, or the default levels over the column when it has none). A point
// without a number takes the fixed colour; through the map, the missing-value fill.
class PointColor {
public:
    PointColor(const CQKPlotObj& plot, int qcolor, COLORREF automatic) : m_fixed(ColorOr(qcolor, automatic))
    {
        m_column = qkPointColorColumn(plot, qcolor);
        if (!m_column || !(qcolor & QK_QCOLOR_COLORMAP))
            return;
        m_mapped = true;
        m_map = plot.GetColorMapState();
        if (m_map.levels.size() < 2) {
            CQKPlotObj made(plot);
            made.MakeDefaultColorMap();
            m_map = made.GetColorMapState();
        }
    }
    bool PerPoint() const { return m_column != nullptr; }
    COLORREF At(int row) const
    {
        if (!m_column)
            return m_fixed;
        const double v = row < m_column->GetEnd() ? m_column->GetValue(row) : MISSING_VALUE;
        if (m_mapped)
            return qkColorMapFill(m_map, v);
        if (!Valid(v))
            return m_fixed;
        const int n = std::max(1, CQKColor::GetColorNumber());
        return qkColorOf((((int)std::lround(v) - 1) % n + n) % n);
    }
    // The point's colour, or CLR_INVALID when the colour is not taken per point.
    COLORREF Own(int row) const { return m_column ? At(row) : CLR_INVALID; }

private:
    COLORREF m_fixed;
    const CQKDataset* m_column = nullptr;
    bool m_mapped = false;
    QKColorMapState m_map;
};

// A line whose colour is taken per point: each piece from a point to the next in the
// first point's colour, joined as the connection joins two points.
void DrawLineByPoint(const PlotContext& c, const Series& s, const PointColor& color)
{
    const CQKPlotObj& p = c.plot;
    const CQKGraphPage* page = dynamic_cast<CQKGraphPage*>(c.layer.GetValidPagePtr());
    const bool joinMissing = page && page->IsDisplConnectMiss();
    std::unique_ptr<GdiSelect> pen;
    COLORREF penColor = CLR_INVALID;
    bool have = false;
    POINT last = {};
    int lastRow = 0;
    for (int row = s.first; row < s.end; ++row) {
        double dx, dy;
        const double vx = s.X(row), vy = s.Y(row);
        if (!Valid(vx) || !Valid(vy) || !c.map.Map(vx, vy, dx, dy)) {
            have = have && joinMissing;
            continue;
        }
        const POINT pt = {Round(dx), Round(dy)};
        if (have) {
            const COLORREF piece = color.At(lastRow);
            if (piece != penColor) {
                pen.reset();
                pen.reset(new GdiSelect(c.env.dc, qkCreateLinePen(c.env, p.GetType(), p.GetWidth(), piece)));
                penColor = piece;
            }
            for (auto& pts : qkConnectPoints({last, pt}, p.GetConnectType()))
                if (pts.size() >= 2) {
                    Polyline(c.env.dc, pts.data(), (int)pts.size());
                    c.Hit(pts, false);
                }
        }
        have = true;
        last = pt;
        lastRow = row;
    }
}

void DrawLine(const PlotContext& c, const Series& s)
{
    const CQKPlotObj& p = c.plot;
    if (p.GetConnectType() == 0)
        return;
    const PointColor byPoint(p, p.GetColor(), c.color);
    if (byPoint.PerPoint()) {
        DrawLineByPoint(c, s, byPoint);
        return;
    }
    HDC dc = c.env.dc;
    GdiSelect pen(dc, qkCreateLinePen(c.env, p.GetType(), p.GetWidth(), c.color));
    const bool thin = p.GetType() == 0 && c.env.PenWidth(p.GetWidth()) <= 1;
    if (p.GetConnectType() != QK_CONNECT_STRAIGHT || !thin || !g_mergePoints) {
        for (auto& run : Polylines(c, s))
            for (auto& pts : qkConnectPoints(run, p.GetConnectType())) {
                if (pts.size() < 2)
                    continue;
                Polyline(dc, pts.data(), (int)pts.size());
                c.Hit(pts, false);
            }
        return;
    }
    // Straight lines of a 1-pixel pen: the points are merged as they are mapped, so
    // that a million points never stand in memory twice. Linear scales map inline.
    const CQKGraphPage* page = dynamic_cast<CQKGraphPage*>(c.layer.GetValidPagePtr());
    const bool joinMissing = page && page->IsDisplConnectMiss();
    const QKLayerMap& m = c.map;
    const bool linear = m.PlainLinear();
    PolylineBuilder line(true);
    auto flush = [&]() {
        std::vector<POINT>& pts = line.Points();
        if (pts.size() >= 2) {
            Polyline(dc, pts.data(), (int)pts.size());
            c.Hit(pts, false);
        }
        line.Clear();
    };
    for (int row = s.first; row < s.end; ++row) {
        const double vx = s.X(row), vy = s.Y(row);
        double dx, dy;
        bool ok;
        if (linear) {
            ok = Valid(vx) && Valid(vy);
            dx = m.xOrigin + vx * m.xScale;
            dy = m.yOrigin + vy * m.yScale;
        } else {
            ok = Valid(vx) && Valid(vy) && m.Map(vx, vy, dx, dy);
        }
        if (!ok) {
            if (!joinMissing)
                flush();
            continue;
        }
        line.Add({Round(dx), Round(dy)});
    }
    flush();
}

// Whether a plot that skips points leaves this row's symbol out: it draws the first
// and every n-th after it (n = 2 when no frequency was set).
bool SkippedRow(const CQKPlotObj& p, int row, int first)
{
    if (!p.IsSkipPlottingSymbols())
        return false;
    const int n = p.GetSkipFrequency() < 1 ? 2 : p.GetSkipFrequency();
    return (row - first) % n != 0;
}

// The drop lines of a plot's points: down to the frame's bottom and across to its left,
// each in its own style, width and colour.
void DrawPointDropLines(const PlotContext& c, const Series& s)
{
    const QKDropLineState& d = c.plot.GetDropLineState();
    struct Way {
        int bit, type;
        double width;
        int color;
        bool vertical;
    } const ways[] = {{1, d.vertType, d.vertWidth, d.vertColor, true}, {2, d.horiType, d.horiWidth, d.horiColor, false}};
    for (const Way& w : ways) {
        if (!(d.type & w.bit))
            continue;
        GdiSelect pen(c.env.dc, qkCreateLinePen(c.env, w.type, w.width, ColorOr(w.color, c.color)));
        for (int row = s.first; row < s.end; ++row) {
            double dx, dy;
            if (SkippedRow(c.plot, row, s.first) || !Valid(s.X(row)) || !Valid(s.Y(row)) ||
                !c.map.Map(s.X(row), s.Y(row), dx, dy))
                continue;
            MoveToEx(c.env.dc, Round(dx), Round(dy), nullptr);
            if (w.vertical != c.map.exchange)
                LineTo(c.env.dc, Round(dx), c.map.frame.bottom);
            else
                LineTo(c.env.dc, c.map.frame.left, Round(dy));
        }
    }
}

// One label of a plot's label settings, its reference point at (x, y) before the offsets.
void DrawPlainLabel(const QKDrawEnv& env, const std::string& text, double x, double y, const QKLabelState& l,
                    COLORREF color)
{
    std::string face;
    if (l.font > 0)
        CQKFontManager::GetFontName(l.font, face);
    if (face.empty())
        face = "Arial";
    const int height = -std::max(1, Round(env.PointsToPixels(l.size)));
    const int tenths = Round(l.rotation * 10);
    GdiSelect font(env.dc, CreateFontA(height, 0, tenths, tenths, (l.style & 8) ? FW_BOLD : FW_NORMAL, (l.style & 2) != 0,
                                       (l.style & 1) != 0, FALSE, DEFAULT_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS,
                                       ANTIALIASED_QUALITY, DEFAULT_PITCH, face.c_str()));
    const UINT align = l.justify == 1 ? TA_LEFT : l.justify == 2 ? TA_RIGHT : TA_CENTER;
    const UINT oldAlign = SetTextAlign(env.dc, align | TA_BASELINE);
    const COLORREF oldColor = SetTextColor(env.dc, color);
    const int oldMode = SetBkMode(env.dc, l.whiteOut ? OPAQUE : TRANSPARENT);
    const COLORREF oldBk = SetBkColor(env.dc, RGB(255, 255, 255));
    TextOutA(env.dc, Round(x + env.PointsToPixels(l.xOffset)), Round(y - env.PointsToPixels(l.yOffset)), text.c_str(),
             (int)text.size());
    SetBkColor(env.dc, oldBk);
    SetBkMode(env.dc, oldMode);
    SetTextColor(env.dc, oldColor);
    SetTextAlign(env.dc, oldAlign);
}

// A text plot: each point's value written where the point is.
void DrawLabels(const PlotContext& c, const Series& s)
{
    const QKLabelState& l = c.plot.GetLabelState();
    for (int row = s.first; row < s.end; ++row) {
        double dx, dy;
        const double vx = s.X(row);
        if (!Valid(vx) || !(s.y->IsText(row) || Valid(s.Y(row))) ||
            !c.map.Map(vx, Valid(s.Y(row)) ? s.Y(row) : 0, dx, dy))
            continue;
        DrawPlainLabel(c.env, s.y->GetText(row), dx, dy, l, qkColorOf(std::max(0, l.color)));
    }
}

void DrawSymbols(const PlotContext& c, const Series& s, const CQKDataset* sizes, const CQKDataset* colors)
{
    // Sizes from a column of the plot's worksheet, scaled by the plot's factor.
    double sizeFactor = 1;
    if (!sizes && c.plot.GetSymbolSizeColumn() > 0) {
        CQKWksPage* wks = s.y->GetOwner();
        if (wks && c.plot.GetSymbolSizeColumn() <= wks->GetNumCols()) {
            sizes = wks->GetColumn(c.plot.GetSymbolSizeColumn());
            sizeFactor = c.plot.GetScalingFactor();
        }
    }
    // Special points: each its own look, over the plot's.
    std::map<int, std::unique_ptr<CQKPlotObj>> special;
    for (const QKSpecialPoint& point : c.plot.GetState().specialPoints) {
        auto look = std::make_unique<CQKPlotObj>(c.plot);
        look->SetPartLook(point.look);
        special[point.row] = std::move(look);
    }
    const QKSymbolState& sym = c.plot.GetSymbolState();
    const PointColor plotColor(c.plot, c.plot.GetColor(), c.color), edgeColor(c.plot, sym.edgeColor, c.color),
        fillColor(c.plot, sym.fillColor, c.color);
    const bool perPoint = plotColor.PerPoint() || edgeColor.PerPoint() || fillColor.PerPoint();
    std::vector<POINT> drawn;
    std::vector<int> rows;
    std::unordered_set<long long> seen;
    for (int row = s.first; row < s.end; ++row) {
        double dx, dy;
        const double vx = s.X(row), vy = s.Y(row);
        if (!Valid(vx) || !Valid(vy) || !c.map.Map(vx, vy, dx, dy))
            continue;
        if (SkippedRow(c.plot, row, s.first))
            continue;
        const POINT pt = {Round(dx), Round(dy)};
        auto own = special.find(row);
        if (own != special.end()) {
            qkDrawPlotSymbol(c.env, *own->second, pt.x, pt.y, own->second->GetSymbolSize(), qkPlotColor(*own->second),
                             row - s.first);
            drawn.push_back(pt);
            rows.push_back(row);
            continue;
        }
        double size = c.plot.GetSymbolSize();
        COLORREF color = plotColor.At(row);
        if (sizes) {
            const double v = sizes->GetValue(row) * sizeFactor;
            if (!Valid(v) || v <= 0)
                continue;
            size = v;
        }
        if (colors) {
            const double v = colors->GetValue(row);
            if (Valid(v)) {
                // Colour indexes count from 1 in the colour list.
                const int n = CQKColor::GetColorNumber();
                color = qkColorOf((((int)std::lround(v) - 1) % n + n) % n);
            }
        }
        // The same symbol at the same pixel twice changes nothing.
        if (!sizes && !colors && !perPoint && g_mergePoints &&
            !seen.insert(((long long)pt.x << 32) ^ (unsigned)pt.y).second)
            continue;
        qkDrawPlotSymbol(c.env, c.plot, pt.x, pt.y, size, color, row - s.first, edgeColor.Own(row), fillColor.Own(row));
        drawn.push_back(pt);
        rows.push_back(row);
    }
    c.Hit(drawn, true, rows);
}

// The device spacing between neighbouring X values (the smallest), for bar widths.
double Spacing(const PlotContext& c, const Series& s, bool horizontal)
{
    std::vector<double> xs;
    for (int row = s.first; row < s.end; ++row) {
        double d;
        const double v = s.X(row);
        if (Valid(v) && (horizontal ? c.map.MapY(v, d) : c.map.MapX(v, d)))
            xs.push_back(d);
    }
    std::sort(xs.begin(), xs.end());
    double best = 0;
    for (size_t i = 1; i < xs.size(); ++i)
        if (xs[i] - xs[i - 1] > 0.5 && (best == 0 || xs[i] - xs[i - 1] < best))
            best = xs[i] - xs[i - 1];
    if (best == 0)
        best = (horizontal != c.map.exchange ? c.map.frame.bottom - c.map.frame.top : c.map.frame.right - c.map.frame.left) / 10.0;
    return best;
}

// A filled part of a plot; `row` is the point it stands for (bars), whose colours are
// its own when they are taken per point; -1 for none.
void FillShape(const PlotContext& c, const POINT* pts, int n, int instance = 0, int row = -1)
{
    const CQKPlotObj& p = c.plot;
    HDC dc = c.env.dc;
    auto colorAt = [&](int qcolor) {
        return row >= 0 && qkIsPointQCOLOR(qcolor) ? PointColor(p, qcolor, c.color).At(row) : ColorOr(qcolor, c.color);
    };
    const COLORREF fillColor = colorAt(p.GetBKColor(instance));
    const COLORREF border = colorAt(p.GetBorderColor(instance));
    if (p.GetFillPattern(instance) > 0) {
        // A hatch over the fill colour.
        GdiSelect solid(dc, CreateSolidBrush(fillColor));
        GdiSelect none(dc, GetStockObject(NULL_PEN));
        Polygon(dc, pts, n);
    }
    GdiSelect brush(dc, qkCreatePatternBrush(p.GetFillPattern(instance), fillColor, colorAt(p.GetBarFillColor(instance))));
    GdiSelect pen(dc, qkCreateLinePen(c.env, p.GetBorderType(instance), p.GetBorderWidth(instance), border));
    const int oldBk = SetBkMode(dc, TRANSPARENT);
    Polygon(dc, pts, n);
    SetBkMode(dc, oldBk);
    RECT box = {pts[0].x, pts[0].y, pts[0].x, pts[0].y};
    for (int i = 1; i < n; ++i) {
        box.left = std::min(box.left, pts[i].x);
        box.right = std::max(box.right, pts[i].x);
        box.top = std::min(box.top, pts[i].y);
        box.bottom = std::max(box.bottom, pts[i].y);
    }
    c.HitBox(box);
}

// The value a column or bar grows from: 0 when the value axis shows it, else its start.
double BaseValue(const CQKAxisScale& scale)
{
    double f;
    if (scale.ToFraction(0, f) && f >= 0 && f <= 1)
        return 0;
    return scale.GetFrom();
}

void DrawBars(const PlotContext& c, const Series& s, bool horizontal)
{
    const int type = c.plot.GetPlotObjectType(0);
    const bool stacked = c.plot.IsStackBarColumn(), floating = c.plot.IsFloatingColumnBarPlot();
    // Plots of one kind in the layer stand side by side (stacked ones on one another).
    std::vector<const CQKPlotObj*> same;
    int index = 0;
    for (int i = 0; i < c.layer.GetNumPlots(); ++i) {
        const CQKPlotObj* p = c.layer.PlotObjByIndex(i, 1);
        if (p->GetPlotObjectType(0) != type)
            continue;
        if (p == &c.plot)
            index = (int)same.size();
        same.push_back(p);
    }
    const int slots = stacked ? 1 : std::max<int>(1, (int)same.size());
    const double spacing = Spacing(c, s, horizontal);
    const double slot = spacing * (1 - std::max(0, std::min(100, c.plot.GetBoxGap())) / 100.0);
    const double width = slot / slots;
    const double offset = stacked ? -slot / 2 : -slot / 2 + index * width;
    const CQKAxisScale& valueScale = horizontal ? c.map.x : c.map.y;
    Series low;
    if (floating)
        low.Load(c.plot, QK_ROLE_LOW);
    for (int row = s.first; row < s.end; ++row) {
        const double vx = s.X(row);
        double v = s.Y(row);
        if (!Valid(vx) || !Valid(v))
            continue;
        double base = BaseValue(valueScale);
        if (floating) {
            if (!low.y || !Valid(low.Y(row)))
                continue;
            base = low.Y(row);
        } else if (stacked) {
            // On top of the stack plots before this one.
            double below = 0;
            for (int k = 0; k < (int)same.size() && same[k] != &c.plot; ++k) {
                Series other;
                if (other.Load(*same[k]) && Valid(other.Y(row)) && row < other.end)
                    below += other.Y(row);
            }
            base = below;
            v += below;
        }
        double centre, a, b;
        if (!(horizontal ? c.map.MapY(vx, centre) : c.map.MapX(vx, centre)))
            continue;
        if (!(horizontal ? c.map.MapX(base, a) && c.map.MapX(v, b) : c.map.MapY(base, a) && c.map.MapY(v, b)))
            continue;
        const int c0 = Round(centre + offset), c1 = Round(centre + offset + width);
        POINT pts[4];
        if (horizontal != c.map.exchange) {
            pts[0] = {Round(a), c0};
            pts[1] = {Round(b), c0};
            pts[2] = {Round(b), c1};
            pts[3] = {Round(a), c1};
        } else {
            pts[0] = {c0, Round(a)};
            pts[1] = {c0, Round(b)};
            pts[2] = {c1, Round(b)};
            pts[3] = {c1, Round(a)};
        }
        FillShape(c, pts, 4, 0, row);
    }
}

void DrawArea(const PlotContext& c, const Series& s, bool between)
{
    Series low;
    if (between && !low.Load(c.plot, QK_ROLE_LOW))
        return;
    double base;
    if (!c.map.MapY(BaseValue(c.map.y), base))
        return;
    std::vector<POINT> upper, lower;
    for (int row = s.first; row < s.end; ++row) {
        double ax, ay;
        const double vx = s.X(row), vy = s.Y(row);
        if (!Valid(vx) || !Valid(vy) || !c.map.MapX(vx, ax) || !c.map.MapY(vy, ay))
            continue;
        if (between) {
            double ly;
            if (!Valid(low.Y(row)) || !c.map.MapY(low.Y(row), ly))
                continue;
            lower.push_back(c.map.Point(ax, ly));
        } else {
            lower.push_back(c.map.Point(ax, base));
        }
        upper.push_back(c.map.Point(ax, ay));
    }
    if (upper.size() < 2)
        return;
    std::vector<POINT> poly = upper;
    poly.insert(poly.end(), lower.rbegin(), lower.rend());
    FillShape(c, poly.data(), (int)poly.size());
    DrawLine(c, s);
    if (between) {
        GdiSelect pen(c.env.dc, qkCreateLinePen(c.env, c.plot.GetType(), c.plot.GetWidth(), c.color));
        Polyline(c.env.dc, lower.data(), (int)lower.size());
    }
}

void DrawDropLines(const PlotContext& c, const Series& s, bool vertical)
{
    GdiSelect pen(c.env.dc, qkCreateLinePen(c.env, c.plot.GetType(), c.plot.GetWidth(), c.color));
    for (int row = s.first; row < s.end; ++row) {
        double dx, dy;
        if (!Valid(s.X(row)) || !Valid(s.Y(row)) || !c.map.Map(s.X(row), s.Y(row), dx, dy))
            continue;
        MoveToEx(c.env.dc, Round(dx), Round(dy), nullptr);
        if (vertical != c.map.exchange)
            LineTo(c.env.dc, Round(dx), c.map.frame.bottom);
        else
            LineTo(c.env.dc, c.map.frame.left, Round(dy));
    }
}

void DrawErrorBars(const PlotContext& c)
{
    const auto* bar = dynamic_cast<const CQKErrorBar*>(&c.plot);
    Series err;
    if (!bar || !err.Load(c.plot, QK_ROLE_Y_ERROR))
        return;
    // The bars belong to the plot of their Y dataset, which gives X and, by default, colour.
    const std::string yName = c.plot.GetDataName(QK_ROLE_Y);
    const CQKPlotObj* owner = qkfxFindPlot(&c.layer, yName);
    Series s;
    if (!owner || !s.Load(*owner))
        return;
    s.below = qkStackedBelow(c.layer, *owner);
    if (c.map.ternary)
        s.z = qkPlotDataset(*owner, QK_ROLE_Z);
    const COLORREF color = bar->IsOwnerColor() ? qkPlotColor(*owner) : c.color;
    GdiSelect pen(c.env.dc, qkCreateLinePen(c.env, 0, bar->GetLineWidth(), color));
    const int cap = Round(c.env.PointsToPixels(bar->GetCapWidth()) / (bar->IsMadeBefore60() ? 1 : 2));
    const bool horizontal = bar->IsDirectionX();
    for (int row = s.first; row < s.end; ++row) {
        const double vx = s.X(row), vy = s.Y(row);
        double e = err.y->GetValue(row);
        if (!Valid(vx) || !Valid(vy) || !Valid(e))
            continue;
        if (bar->IsDirectionRelative())
            e = std::fabs((horizontal ? vx : vy) * e / 100);
        const double centre = horizontal ? vx : vy;
        for (int sign : {1, -1}) {
            if ((sign > 0 && !bar->IsDirectionPlus()) || (sign < 0 && !bar->IsDirectionMinus()))
                continue;
            double x0, y0, x1, y1;
            const double end = centre + sign * e;
            if (!c.map.Map(vx, vy, x0, y0) || !(horizontal ? c.map.Map(end, vy, x1, y1) : c.map.Map(vx, end, x1, y1)))
                continue;
            MoveToEx(c.env.dc, Round(x0), Round(y0), nullptr);
            LineTo(c.env.dc, Round(x1), Round(y1));
            if (horizontal != c.map.exchange) {
                MoveToEx(c.env.dc, Round(x1), Round(y1) - cap, nullptr);
                LineTo(c.env.dc, Round(x1), Round(y1) + cap + 1);
            } else {
                MoveToEx(c.env.dc, Round(x1) - cap, Round(y1), nullptr);
                LineTo(c.env.dc, Round(x1) + cap + 1, Round(y1));
            }
        }
    }
}

// An arrow from (x0, y0) to its head at (x1, y1): two strokes, or a filled triangle.
void Arrow(HDC dc, double x0, double y0, double x1, double y1, double head, double angle, bool closed, COLORREF color)
{
    MoveToEx(dc, Round(x0), Round(y0), nullptr);
    LineTo(dc, Round(x1), Round(y1));
    const double a = std::atan2(y1 - y0, x1 - x0);
    POINT tri[3] = {{Round(x1), Round(y1)}};
    int k = 1;
    for (double side : {-1.0, 1.0}) {
        const double b = a + kPi + side * angle * kPi / 180;
        tri[k++] = {Round(x1 + head * std::cos(b)), Round(y1 + head * std::sin(b))};
    }
    if (closed) {
        GdiSelect brush(dc, CreateSolidBrush(color));
        Polygon(dc, tri, 3);
        return;
    }
    for (int side = 1; side <= 2; ++side) {
        MoveToEx(dc, tri[0].x, tri[0].y, nullptr);
        LineTo(dc, tri[side].x, tri[side].y);
    }
}

void DrawVectors(const PlotContext& c, const Series& s)
{
    const CQKPlotObj& p = c.plot;
    const QKVectorState& v = p.GetVectorState();
    Series angle, magnitude, xEnd, yEnd;
    const bool byEnds = xEnd.Load(p, QK_ROLE_X_END) && yEnd.Load(p, QK_ROLE_Y_END);
    const bool angleColumn = !byEnds && angle.Load(p, QK_ROLE_ANGLE);
    const bool magnitudeColumn = !byEnds && magnitude.Load(p, QK_ROLE_MAGNITUDE);
    const PointColor color(p, p.GetVectorColor(), c.color);
    std::unique_ptr<GdiSelect> pen(new GdiSelect(c.env.dc, qkCreateLinePen(c.env, 0, p.GetWidth(), c.color)));
    COLORREF penColor = c.color;
    const double head = c.env.PointsToPixels(v.arrowLength);
    for (int row = s.first; row < s.end; ++row) {
        double x0, y0, x1, y1;
        if (!Valid(s.X(row)) || !Valid(s.Y(row)) || !c.map.Map(s.X(row), s.Y(row), x0, y0))
            continue;
        if (byEnds) {
            if (!c.map.Map(xEnd.Y(row), yEnd.Y(row), x1, y1))
                continue;
        } else {
            // Angle in degrees counter-clockwise from the X direction, magnitude in points
            // times the multiplier; the point is the vector's tail, middle or head.
            const double a = angleColumn ? angle.Y(row) : v.angle;
            const double m = (magnitudeColumn ? magnitude.Y(row) : v.magnitude) * p.GetScalingFactor();
            if (!Valid(a) || !Valid(m))
                continue;
            const double dx = c.env.PointsToPixels(m) * std::cos(a * kPi / 180);
            const double dy = -c.env.PointsToPixels(m) * std::sin(a * kPi / 180);
            const double back = v.position / 2.0;
            x0 -= dx * back;
            y0 -= dy * back;
            x1 = x0 + dx;
            y1 = y0 + dy;
        }
        const COLORREF arrow = color.At(row);
        if (arrow != penColor) {
            pen.reset();
            pen.reset(new GdiSelect(c.env.dc, qkCreateLinePen(c.env, 0, p.GetWidth(), arrow)));
            penColor = arrow;
        }
        Arrow(c.env.dc, x0, y0, x1, y1, head, v.arrowAngle, v.arrowClosed, arrow);
    }
}

void DrawHighLowClose(const PlotContext& c, const Series& s)
{
    Series high, low;
    if (!high.Load(c.plot, QK_ROLE_HIGH) || !low.Load(c.plot, QK_ROLE_LOW))
        return;
    GdiSelect pen(c.env.dc, qkCreateLinePen(c.env, 0, c.plot.GetWidth(), c.color));
    const int tick = Round(c.env.PointsToPixels(4));
    for (int row = s.first; row < s.end; ++row) {
        double x, yh, yl, yc;
        if (!Valid(s.X(row)) || !c.map.MapX(s.X(row), x) || !Valid(high.Y(row)) || !Valid(low.Y(row)) ||
            !c.map.MapY(high.Y(row), yh) || !c.map.MapY(low.Y(row), yl))
            continue;
        Segment(c, c.map.Point(x, yh), c.map.Point(x, yl));
        if (Valid(s.Y(row)) && c.map.MapY(s.Y(row), yc))
            Segment(c, c.map.Point(x, yc), c.map.Point(x + (c.map.exchange ? -tick : tick), yc));
    }
}

void DrawPie(const PlotContext& c, const Series& s)
{
    const CQKPlotObj& p = c.plot;
    const QKPieState& e = p.GetPieState();
    double total = 0;
    for (int row = s.first; row < s.end; ++row)
        if (Valid(s.Y(row)) && s.Y(row) > 0)
            total += s.Y(row);
    if (total <= 0)
        return;
    const RECT& f = c.map.frame;
    const double cx = (f.left + f.right) / 2.0 + e.horizontalOffset / 100.0 * (f.right - f.left);
    const double cy = (f.top + f.bottom) / 2.0;
    const double r = std::min(f.right - f.left, f.bottom - f.top) * 0.4 * e.radiusScale / 100.0;
    const double turn = e.counterClockwise ? 1 : -1;
    double angle = e.azimuth * kPi / 180;
    int slice = 0;
    const int firstColor = p.GetBKColor(0) < 0 ? 0 : p.GetBKColor(0);
    const int n = CQKColor::GetColorNumber();
    struct Label {
        double x, y;
        std::string text;
    };
    std::vector<Label> labels;
    for (int row = s.first; row < s.end; ++row) {
        const double v = s.Y(row);
        if (!Valid(v) || v <= 0)
            continue;
        // Slices run from the starting azimuth, each in the next colour; an exploded one
        // stands out along its middle by the displacement.
        const double sweep = turn * v / total * 2 * kPi;
        const double mid = angle + sweep / 2;
        double ox = cx, oy = cy;
        if (slice < 32 && (e.explodedWedges >> slice & 1u)) {
            ox += r * e.wedgeDisplacement / 100.0 * std::cos(mid);
            oy -= r * e.wedgeDisplacement / 100.0 * std::sin(mid);
        }
        std::vector<POINT> pts{{Round(ox), Round(oy)}};
        const int steps = std::max(2, (int)(std::fabs(sweep) * r / 4));
        for (int k = 0; k <= steps; ++k) {
            const double a = angle + sweep * k / steps;
            pts.push_back({Round(ox + r * std::cos(a)), Round(oy - r * std::sin(a))});
        }
        GdiSelect brush(c.env.dc, CreateSolidBrush(qkColorOf((firstColor + slice) % n)));
        GdiSelect pen(c.env.dc, qkCreateLinePen(c.env, 0, p.GetBorderWidth(0), qkColorOf(std::max(0, p.GetBorderColor(0)))));
        Polygon(c.env.dc, pts.data(), (int)pts.size());
        std::string text;
        auto add = [&](const std::string& part) { text += (text.empty() ? "" : " ") + part; };
        if (e.labelCategory) {
            std::string category;
            p.GetLegendByRow(row, category);
            add(category);
        }
        if (e.labelValue)
            add(qkFormatNumber(v, 6));
        if (e.labelPercent)
            add(qkFormatText("%.0f%%", v / total * 100));
        // Labels by their wedge stand outside it at the distance; the others inside.
        const double at = e.labelReposition ? r * (1.1 + e.labelDistance / 100.0) : r * 0.6;
        if (!text.empty())
            labels.push_back({ox + at * std::cos(mid), oy - at * std::sin(mid), text});
        angle += sweep;
        ++slice;
    }
    if (!e.labelHide) {
        QKLabelState l = p.GetLabelState();
        l.justify = 0;
        for (const Label& label : labels)
            DrawPlainLabel(c.env, label.text, label.x, label.y + c.env.PointsToPixels(l.size) / 3, l, qkColorOf(std::max(0, l.color)));
    }
    c.HitBox({Round(cx - r), Round(cy - r), Round(cx + r), Round(cy + r)});
}

// A function plot: the formula of x at evenly spaced X values across the X axis.
void DrawFunction(const PlotContext& c)
{
    const CQKPlotObj& p = c.plot;
    if (!p.GetFunctionShow())
        return;
    CQKScript& script = qkfxGetScript();
    const int handle = script.PrepareExpression(p.GetFunctionToSeries());
    if (!handle)
        return;
    double saved = 0;
    const bool had = script.GetVariable("x", &saved);
    const int slot = script.GetVariableSlot("x");
    const int n = std::max(2, (int)p.GetFunctionDensity());
    const double from = c.map.x.GetFrom(), to = c.map.x.GetTo();
    std::vector<std::vector<POINT>> runs(1);
    for (int k = 0; k < n; ++k) {
        const double x = from + (to - from) * k / (n - 1);
        double y, dx, dy;
        script.SetVariableBySlot(slot, x);
        if (!script.EvaluatePrepared(handle, &y) || !Valid(y) || !c.map.Map(x, y, dx, dy)) {
            if (!runs.back().empty())
                runs.emplace_back();
            continue;
        }
        runs.back().push_back({Round(dx), Round(dy)});
    }
    if (had)
        script.SetVariable("x", saved);
    GdiSelect pen(c.env.dc, qkCreateLinePen(c.env, p.GetType(), p.GetWidth(), c.color));
    for (const auto& run : runs)
        if (run.size() >= 2) {
            Polyline(c.env.dc, run.data(), (int)run.size());
            c.Hit(run, false);
        }
}

double Percentile(const std::vector<double>& sorted, double p)
{
    // Linear interpolation between the closest ranks.
    const double pos = p / 100 * (sorted.size() - 1);
    const size_t i = (size_t)std::floor(pos);
    const double frac = pos - i;
    return i + 1 < sorted.size() ? sorted[i] + frac * (sorted[i + 1] - sorted[i]) : sorted[i];
}

// The low and high ends of a box or whisker range (QKBoxState's lists) over sorted values.
void RangeEnds(const std::vector<double>& v, bool whisker, int range, double coef, double& lo, double& hi)
{
    double sum = 0, squares = 0;
    for (double x : v)
        sum += x;
    const double mean = sum / v.size();
    for (double x : v)
        squares += (x - mean) * (x - mean);
    const double sd = v.size() > 1 ? std::sqrt(squares / (v.size() - 1)) : 0, se = sd / std::sqrt((double)v.size());
    auto percentiles = [&](double p) {
        p = std::max(0.0, std::min(50.0, p));
        lo = Percentile(v, p);
        hi = Percentile(v, 100 - p);
    };
    // Both lists, as one: the whisker list's entries and the box list's entries mapped onto them.
    enum { MIN_MAX, P1, P5, P10, IQR, SD, SE, P25, COEF_PERCENT };
    static const int kBoxKinds[] = {P25, SD, SE, P10, P5, COEF_PERCENT, MIN_MAX};
    const int kind = whisker ? range : kBoxKinds[std::max(0, std::min(6, range))];
    switch (kind) {
    case P1: percentiles(1); break;
    case P5: percentiles(5); break;
    case P10: percentiles(10); break;
    case P25: percentiles(25); break;
    case COEF_PERCENT: percentiles(coef); break;
    case IQR: {
        const double q1 = Percentile(v, 25), q3 = Percentile(v, 75);
        lo = q1 - coef * (q3 - q1);
        hi = q3 + coef * (q3 - q1);
        // Whiskers end at the last values inside the fences.
        auto low = std::lower_bound(v.begin(), v.end(), lo);
        auto high = std::upper_bound(v.begin(), v.end(), hi);
        lo = low == v.end() ? v.back() : *low;
        hi = high == v.begin() ? v.front() : *(high - 1);
        break;
    }
    case SD: lo = mean - coef * sd, hi = mean + coef * sd; break;
    case SE: lo = mean - coef * se, hi = mean + coef * se; break;
    default: lo = v.front(), hi = v.back(); break;
    }
}

// The bins of a box chart's data (its own or automatic ones) and how many values each holds.
struct BoxBins {
    double size = 1, begin = 0;
    std::vector<int> counts;
};

BoxBins BinsOf(const CQKPlotObj& plot, const std::vector<double>& v)
{
    const QKBoxDataState& d = plot.GetBoxDataState();
    BoxBins bins;
    double end;
    if (d.binUserDef) {
        bins.size = d.binSize, bins.begin = d.binBegin, end = d.binEnd;
    } else {
        bins.size = plot.GetAutoBinSize(), bins.begin = plot.GetAutoBinBegin(), end = plot.GetAutoBinEnd();
    }
    if (end < bins.begin)
        std::swap(end, bins.begin);
    if (!(bins.size > 0) || (end - bins.begin) / bins.size > 1000)
        return bins;
    bins.counts.assign((size_t)std::max(1.0, std::ceil((end - bins.begin) / bins.size - 1e-9)), 0);
    for (double y : v)
        if (y >= bins.begin && y <= end)
            ++bins.counts[std::min(bins.counts.size() - 1, (size_t)((y - bins.begin) / bins.size))];
    return bins;
}

// The density of a box chart's distribution curve at y, for the values' moments.
double CurveDensity(int type, double y, const std::vector<double>& v, double mean, double sd)
{
    const double pi = 3.14159265358979323846;
    switch (type) {
    case 1: return sd > 0 ? std::exp(-0.5 * (y - mean) * (y - mean) / (sd * sd)) / (sd * std::sqrt(2 * pi)) : 0;
    case 2: {
        if (y <= 0)
            return 0;
        double m = 0, q = 0;
        int n = 0;
        for (double x : v)
            if (x > 0)
                m += std::log(x), ++n;
        if (n < 2)
            return 0;
        m /= n;
        for (double x : v)
            if (x > 0)
                q += (std::log(x) - m) * (std::log(x) - m);
        const double s = std::sqrt(q / (n - 1));
        return s > 0 ? std::exp(-0.5 * (std::log(y) - m) * (std::log(y) - m) / (s * s)) / (y * s * std::sqrt(2 * pi)) : 0;
    }
    case 3: {
        const double k = std::floor(y + 0.5);
        return mean > 0 && k >= 0 ? std::exp(k * std::log(mean) - mean - std::lgamma(k + 1)) : 0;
    }
    case 4: return mean > 0 && y >= 0 ? std::exp(-y / mean) / mean : 0;
    case 5: {
        double spread = 0;
        for (double x : v)
            spread += std::fabs(x - mean);
        spread /= v.size();
        return spread > 0 ? std::exp(-std::fabs(y - mean) / spread) / (2 * spread) : 0;
    }
    case 6: {
        const double g = (Percentile(v, 75) - Percentile(v, 25)) / 2, m = Percentile(v, 50);
        return g > 0 ? g / (pi * ((y - m) * (y - m) + g * g)) : 0;
    }
    case 7: return v.back() > v.front() && y >= v.front() && y <= v.back() ? 1 / (v.back() - v.front()) : 0;
    default: return 0;
    }
}

// A box chart's data beside its box: points, bins as bars growing sideways from the data's
// place (centred, to the right or to the left), or both, and a distribution curve over them.
void DrawBoxData(const PlotContext& c, const std::vector<double>& v, double at, double room)
{
    const QKBoxDataState& d = c.plot.GetBoxDataState();
    double xd, xRoom;
    if (!c.map.MapX(at, xd) || !c.map.MapX(at + room, xRoom))
        return;
    const BoxBins bins = BinsOf(c.plot, v);
    int most = 0;
    for (int n : bins.counts)
        most = std::max(most, n);
    // The tallest bar takes the bin height's share of the room; the others in proportion.
    const double full = std::fabs(xRoom - xd) * std::max(0.0, d.binHeight) / 100;
    auto extent = [&](double share, double& left, double& right) {
        const double w = full * share * (d.binAlign == 0 ? 1 : 2);
        left = d.binAlign == 1 ? xd : xd - (d.binAlign == 0 ? w / 2 : w);
        right = d.binAlign == 2 ? xd : xd + (d.binAlign == 0 ? w / 2 : w);
    };
    if ((d.dotType == 1 || d.dotType == 2) && most > 0) {
        std::vector<POINT> outline;
        for (size_t i = 0; i < bins.counts.size(); ++i) {
            double y0, y1, left, right;
            if (!bins.counts[i] || !c.map.MapY(bins.begin + i * bins.size, y0) ||
                !c.map.MapY(bins.begin + (i + 1) * bins.size, y1))
                continue;
            extent((double)bins.counts[i] / most, left, right);
            POINT bar[4] = {c.map.Point(left, y0), c.map.Point(right, y0), c.map.Point(right, y1), c.map.Point(left, y1)};
            if (d.singleBlock)
                outline.insert(outline.end(), {bar[0], bar[3]});
            FillShape(c, bar, 4);
        }
        if (d.singleBlock && !outline.empty()) {
            // One outline round the bars' far sides, no lines between them.
            GdiSelect pen(c.env.dc, qkCreateLinePen(c.env, 0, c.plot.GetBorderWidth(0), qkColorOf(std::max(0, c.plot.GetBorderColor(0)))));
            Polyline(c.env.dc, outline.data(), (int)outline.size());
        }
    }
    if (d.dotType == 0 || d.dotType == 2)
        for (double y : v) {
            double shown = y, yd;
            if (d.snapData && !bins.counts.empty() && y >= bins.begin)
                shown = bins.begin + (std::floor((y - bins.begin) / bins.size) + 0.5) * bins.size;
            if (c.map.MapY(shown, yd)) {
                const POINT p = c.map.Point(xd, yd);
                qkDrawPlotSymbol(c.env, c.plot, p.x, p.y, kSymbolSize / 2, c.color);
            }
        }
    if (d.curveType == 0 || most == 0 || v.size() < 2)
        return;
    double sum = 0, squares = 0;
    for (double x : v)
        sum += x;
    const double mean = sum / v.size();
    for (double x : v)
        squares += (x - mean) * (x - mean);
    const double sd = std::sqrt(squares / (v.size() - 1));
    // The curve as the bars' counts would follow it: density x values x bin size, scaled.
    const double scale = v.size() * bins.size / most * d.curveScale / 100;
    std::vector<POINT> curve;
    const double lo = bins.begin, hi = bins.begin + bins.counts.size() * bins.size;
    for (int i = 0; i <= 100; ++i) {
        const double y = lo + (hi - lo) * i / 100;
        double yd, left, right;
        if (!c.map.MapY(y, yd))
            continue;
        extent(std::min(4.0, CurveDensity(d.curveType, y, v, mean, sd) * scale), left, right);
        curve.push_back(c.map.Point(d.binAlign == 2 ? left : right, yd));
    }
    GdiSelect pen(c.env.dc, qkCreateLinePen(c.env, c.plot.GetType(), c.plot.GetWidth(), c.color));
    Polyline(c.env.dc, curve.data(), (int)curve.size());
}

// The percentile markers at the box's middle: maximum, 99 %, mean, 1 %, minimum.
void DrawPercentiles(const PlotContext& c, const std::vector<double>& v, double mean, double x)
{
    const QKBoxDataState& d = c.plot.GetBoxDataState();
    const double values[5] = {v.front(), Percentile(v, 1), mean, Percentile(v, 99), v.back()};
    CQKPlotObj marker;
    marker.SetEdgeColor(d.symbolColor < 0 ? std::max(0, c.plot.GetBorderColor(0)) : d.symbolColor);
    marker.SetFillColor(d.symbolFill < 0 ? c.plot.GetActualColorForAutoColor(2) : d.symbolFill);
    for (int p = 1; p <= 5; ++p) {
        double y;
        if (!c.map.MapY(values[p - 1], y))
            continue;
        const QKPercentileSymbol& sym = d.perc[p - 1];
        marker.SetSymbolStyle(sym.style);
        if (sym.style) {
            marker.SetCharFont(sym.charFont);
            marker.SetCharStyle(sym.charStyle);
        } else {
            marker.SetSymbolType(sym.shape);
            marker.SetSymbolFill(sym.fill);
        }
        const POINT at = c.map.Point(x, y);
        qkDrawPlotSymbol(c.env, marker, at.x, at.y, d.percSize, c.color);
    }
}

void DrawBox(const PlotContext& c, const Series& s)
{
    std::vector<double> v;
    double sum = 0;
    for (int row = s.first; row < s.end; ++row)
        if (Valid(s.Y(row))) {
            v.push_back(s.Y(row));
            sum += s.Y(row);
        }
    if (v.empty())
        return;
    std::sort(v.begin(), v.end());
    const QKBoxState& b = c.plot.GetState().box;
    // Box plots of a layer stand at X = 1, 2, ... in plot order.
    int position = 1;
    for (int i = 0; i < c.layer.GetNumPlots(); ++i) {
        const CQKPlotObj* p = c.layer.PlotObjByIndex(i, 1);
        if (p == &c.plot)
            break;
        if (p->IsBoxPlot())
            ++position;
    }
    // Type 3 puts the data left of the box, 4 right of it; each takes half the room.
    const double half = std::max(0.01, std::min(100.0, b.boxCap)) / 200;
    double boxAt = position, dataAt = position;
    if (b.type == 3 || b.type == 4) {
        boxAt += b.type == 3 ? 0.2 : -0.2;
        dataAt -= b.type == 3 ? 0.2 : -0.2;
    }
    const double boxHalf = (b.type == 3 || b.type == 4) ? half / 2 : half;
    const double mean = sum / v.size();
    if (b.type != 0) {
        DrawBoxData(c, v, dataAt, boxHalf);
        if (b.type == 1)
            return;
    }
    double x0, x1, xm;
    if (!c.map.MapX(boxAt - boxHalf, x0) || !c.map.MapX(boxAt + boxHalf, x1) || !c.map.MapX(boxAt, xm))
        return;
    double boxLo, boxHi, whiskerLo, whiskerHi;
    RangeEnds(v, false, b.boxRange, b.boxCoef, boxLo, boxHi);
    RangeEnds(v, true, b.whiskerRange, b.whiskerCoef, whiskerLo, whiskerHi);
    double yBoxLo, yBoxHi, y50, yWLo, yWHi, ymean;
    if (!c.map.MapY(boxLo, yBoxLo) || !c.map.MapY(boxHi, yBoxHi) || !c.map.MapY(Percentile(v, 50), y50) ||
        !c.map.MapY(whiskerLo, yWLo) || !c.map.MapY(whiskerHi, yWHi) || !c.map.MapY(mean, ymean))
        return;
    // The box, a diamond when asked, the median as a line and the mean as a symbol.
    if (b.diamondBox) {
        POINT diamond[4] = {c.map.Point(xm, yBoxHi), c.map.Point(x1, (yBoxHi + yBoxLo) / 2), c.map.Point(xm, yBoxLo),
                            c.map.Point(x0, (yBoxHi + yBoxLo) / 2)};
        FillShape(c, diamond, 4);
    } else {
        POINT box[4] = {c.map.Point(x0, yBoxHi), c.map.Point(x1, yBoxHi), c.map.Point(x1, yBoxLo), c.map.Point(x0, yBoxLo)};
        FillShape(c, box, 4);
    }
    GdiSelect pen(c.env.dc, qkCreateLinePen(c.env, 0, c.plot.GetWidth(), c.color));
    Segment(c, c.map.Point(x0, y50), c.map.Point(x1, y50));
    const double w0 = (3 * x0 + x1) / 4, w1 = (x0 + 3 * x1) / 4;
    for (auto [from, to] : {std::pair<double, double>{yBoxHi, yWHi}, {yBoxLo, yWLo}}) {
        Segment(c, c.map.Point(xm, from), c.map.Point(xm, to));
        Segment(c, c.map.Point(w0, to), c.map.Point(w1, to), true);
    }
    DrawPercentiles(c, v, mean, xm);
    if (b.outliers && b.whiskerRange != 0)
        for (double y : v) {
            double yd;
            if ((y < whiskerLo || y > whiskerHi) && c.map.MapY(y, yd)) {
                const POINT at = c.map.Point(xm, yd);
                qkDrawPlotSymbol(c.env, c.plot, at.x, at.y, kSymbolSize / 2, c.color);
            }
        }
    if (!b.boxLabel && !b.whiskerLabel)
        return;
    // Labels right of the box: the ends' values.
    HFONT font = CreateFontA(-std::max(6, Round(c.env.PointsToPixels(kSymbolSize))), 0, 0, 0, FW_NORMAL, 0, 0, 0,
                             DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
    GdiSelect f(c.env.dc, font);
    SetBkMode(c.env.dc, TRANSPARENT);
    SetTextColor(c.env.dc, c.color);
    SetTextAlign(c.env.dc, TA_LEFT | TA_BASELINE);
    std::vector<std::pair<double, double>> labels; // value, device Y
    if (b.boxLabel)
        labels.insert(labels.end(), {{boxLo, yBoxLo}, {boxHi, yBoxHi}});
    if (b.whiskerLabel)
        labels.insert(labels.end(), {{whiskerLo, yWLo}, {whiskerHi, yWHi}});
    for (const auto& [value, y] : labels) {
        const std::string text = qkFormatText("%g", value);
        const POINT at = c.map.Point(x1, y);
        TextOutA(c.env.dc, at.x + 4, at.y, text.c_str(), (int)text.size());
    }
}

void DrawHistogram(const PlotContext& c, const Series& s)
{
    // Bins of the X axis's increment, from its start, unless the plot has bins of its own.
    const QKBoxDataState& d = c.plot.GetBoxDataState();
    double width, from, to;
    if (d.binUserDef && d.binSize > 0) {
        width = d.binSize;
        from = std::min(d.binBegin, d.binEnd), to = std::max(d.binBegin, d.binEnd);
    } else {
        const QKAxisRecord& xr = c.layer.GetAxisRecord(QK_AXIS_X);
        width = atof(xr.inc.c_str());
        from = std::min(c.map.x.GetFrom(), c.map.x.GetTo()), to = std::max(c.map.x.GetFrom(), c.map.x.GetTo());
    }
    if (!(width > 0) || (to - from) / width > 10000)
        width = (to - from) / 10;
    if (!(to > from) || !(width > 0))
        return;
    std::vector<int> counts((size_t)std::ceil((to - from) / width - 1e-9), 0);
    std::vector<double> values;
    for (int row = s.first; row < s.end; ++row) {
        const double v = s.Y(row);
        if (!Valid(v) || v < from || v > to)
            continue;
        size_t bin = std::min(counts.size() - 1, (size_t)((v - from) / width));
        ++counts[bin];
        values.push_back(v);
    }
    double base;
    if (!c.map.MapY(BaseValue(c.map.y), base))
        return;
    for (size_t i = 0; i < counts.size(); ++i) {
        double x0, x1, y;
        if (!counts[i] || !c.map.MapX(from + i * width, x0) || !c.map.MapX(from + (i + 1) * width, x1) ||
            !c.map.MapY(counts[i], y))
            continue;
        POINT pts[4] = {c.map.Point(x0, base), c.map.Point(x0, y), c.map.Point(x1, y), c.map.Point(x1, base)};
        FillShape(c, pts, 4);
    }
    if (d.curveType == 0 || values.size() < 2)
        return;
    // The distribution as the counts would follow it: density x values x bin width, scaled.
    std::sort(values.begin(), values.end());
    double sum = 0, squares = 0;
    for (double v : values)
        sum += v;
    const double mean = sum / values.size();
    for (double v : values)
        squares += (v - mean) * (v - mean);
    const double sd = std::sqrt(squares / (values.size() - 1));
    const double scale = values.size() * width * d.curveScale / 100;
    std::vector<POINT> curve;
    for (int i = 0; i <= 200; ++i) {
        const double x = from + (to - from) * i / 200;
        double xd, yd;
        if (c.map.MapX(x, xd) && c.map.MapY(CurveDensity(d.curveType, x, values, mean, sd) * scale, yd))
            curve.push_back(c.map.Point(xd, yd));
    }
    GdiSelect pen(c.env.dc, qkCreateLinePen(c.env, c.plot.GetType(), c.plot.GetWidth(), c.color));
    Polyline(c.env.dc, curve.data(), (int)curve.size());
}

} // namespace

void qkfxSetPointMerging(BOOL on)
{
    g_mergePoints = on != FALSE;
}

COLORREF qkPlotColor(const CQKPlotObj& plot)
{
    // A colour taken per point is the automatic one where no point is meant (a legend).
    const int color = plot.GetColor();
    return qkColorOf(color < 0 || qkIsPointQCOLOR(color) ? plot.GetActualColorForAutoColor(0) : color);
}

void qkDrawLegendSample(const QKDrawEnv& env, const CQKPlotObj& plot, const RECT& box)
{
    const COLORREF color = qkPlotColor(plot);
    const int midY = (box.top + box.bottom) / 2;
    if (plot.HasPattern() && !plot.IsLineOrLineSymbolType()) {
        const int inset = (box.bottom - box.top) / 6;
        POINT pts[4] = {{box.left + inset, box.top + inset}, {box.right - inset, box.top + inset},
                        {box.right - inset, box.bottom - inset}, {box.left + inset, box.bottom - inset}};
        // Colours taken per point show as automatic in the sample.
        const COLORREF fillColor = ColorOr(plot.GetBKColor(0), color);
        GdiSelect brush(env.dc, qkCreatePatternBrush(plot.GetFillPattern(0), fillColor, ColorOr(plot.GetBarFillColor(0), qkColorOf(0))));
        GdiSelect pen(env.dc, qkCreateLinePen(env, 0, plot.GetBorderWidth(0), ColorOr(plot.GetBorderColor(0), qkColorOf(0))));
        Polygon(env.dc, pts, 4);
        return;
    }
    if (plot.HasLine(0) && plot.GetConnectType() != 0) {
        GdiSelect pen(env.dc, qkCreateLinePen(env, plot.GetType(), plot.GetWidth(), color));
        MoveToEx(env.dc, box.left, midY, nullptr);
        LineTo(env.dc, box.right, midY);
    }
    if (plot.HasSymbol())
        qkDrawPlotSymbol(env, plot, (box.left + box.right) / 2, midY, std::min(plot.GetSymbolSize(), 2 * kSymbolSize), color);
}

static void DrawPlotKind(PlotContext& c, Series& s, int type);
static void DrawMaskedPoints(const PlotContext& c, const Series& s, int type);

void qkDrawPlots(const QKDrawEnv& env, CQKGraphicLayer& layer, const QKLayerMap& layerMap)
{
    // In a waterfall each plot (with its error bars) stands further right and up than the
    // one before.
    const bool waterfall = layer.GetWaterfallX() != 0 || layer.GetWaterfallY() != 0;
    int shifted = -1;
    for (int i = 0; i < layer.GetNumPlots(); ++i) {
        CQKPlotObj* plot = layer.PlotObjByIndex(i, 1);
        if (plot && !plot->IsErrorBarPlot())
            ++shifted;
        if (!plot || !plot->IsShow())
            continue;
        QKLayerMap map = layerMap;
        if (waterfall && shifted > 0) {
            const double dx = shifted * layer.GetWaterfallX() / 100 * (layerMap.frame.right - layerMap.frame.left);
            const double dy = shifted * layer.GetWaterfallY() / 100 * (layerMap.frame.bottom - layerMap.frame.top);
            map.xOrigin += dx;
            map.yOrigin -= dy;
            OffsetRect(&map.frame, (int)std::lround(dx), -(int)std::lround(dy));
        }
        PlotContext c{env, layer, map, *plot, 0, qkPlotColor(*plot)};
        for (int id : layer.GetObjectIds())
            if (layer.GetObject(id) == plot)
                c.id = id;
        if (auto* contour = dynamic_cast<CQKContourPlotObj*>(plot)) {
            // The 3D library's node draws its own lines and fills, through the grid's
            // plot area: the frame and the ranges it shows.
            // A plot of an older file has no levels of its own yet.
            if (contour->GetColorMapState().levels.size() < 2)
                contour->MakeDefaultColorMap();
            if (CQKContourGrid* grid = contour->GetContourGrid())
                grid->SetPlotArea(map.frame, map.x.GetFrom(), map.x.GetTo() - map.x.GetFrom(), map.y.GetFrom(),
                                  map.y.GetTo() - map.y.GetFrom());
            contour->Draw(env.dc, &map.frame);
            c.HitBox(map.frame);
            continue;
        }
        if (qkIs3DStorePlot(*plot))
            continue; // drawn in its 3D layer's box
        const int type = plot->GetPlotObjectType(0);
        if (type == QK_PLOT_FUNCTION) {
            DrawFunction(c);
            continue;
        }
        if (type == QK_PLOT_ERROR_BAR) {
            DrawErrorBars(c);
            continue;
        }
        Series s;
        if (!s.Load(*plot))
            continue;
        s.below = qkStackedBelow(layer, *plot);
        if (map.ternary)
            s.z = qkPlotDataset(*plot, QK_ROLE_Z);
        DrawPlotKind(c, s, type);
        DrawMaskedPoints(c, s, type);
    }
}

namespace {

// The kinds drawn from X and Y points stand on one another in a stacking layer; columns
// and bars have stacked kinds of their own.
bool Stacks(int type)
{
    return type == QK_PLOT_LINE || type == QK_PLOT_SCATTER || type == QK_PLOT_LINE_SYMBOL || type == QK_PLOT_AREA ||
           type == QK_PLOT_VERT_DROP_LINE || type == QK_PLOT_HORZ_DROP_LINE;
}

} // namespace

std::vector<const CQKDataset*> qkStackedBelow(const CQKGraphicLayer& layer, const CQKPlotObj& plot)
{
    std::vector<const CQKDataset*> below;
    const int group = plot.GetState().group;
    if (!layer.IsStackPlots() || layer.Is3DLayer() || layer.IsLayerTriangle() || group == 0 ||
        !Stacks(plot.GetPlotObjectType(0)))
        return below;
    for (int i = 0; i < layer.GetNumPlots(); ++i) {
        const CQKPlotObj* p = layer.PlotObjByIndex(i, 1);
        if (p == &plot)
            break;
        if (p->GetState().group == group && Stacks(p->GetPlotObjectType(0)))
            if (const CQKDataset* d = qkPlotDataset(*p, QK_ROLE_Y))
                below.push_back(d);
    }
    return below;
}

CQKDataset* qkPlotDataset(const CQKPlotObj& plot, int role, int* first, int* end)
{
    CQKProject& project = qkfxGetProject();
    for (const QKPlotData& d : plot.GetDataList()) {
        if (d.role != role)
            continue;
        CQKDataset* ds = d.handle ? project.GetDatasetFromHandle(d.handle) : nullptr;
        if (!ds)
            ds = project.FindDataset(d.dataset);
        if (ds && first && end) {
            *first = std::max(ds->GetFirst(), d.first);
            *end = d.end < 0 ? ds->GetEnd() : std::min(ds->GetEnd(), d.end);
        }
        return ds;
    }
    return nullptr;
}

static void DrawPlotKind(PlotContext& c, Series& s, int type)
{
    const CQKPlotObj* plot = &c.plot;
    if ((plot->HasSymbol() || plot->HasDataPoint()) && !plot->Is3DPlot() && plot->GetDropLineType())
        DrawPointDropLines(c, s);
    {
        switch (type) {
        case QK_PLOT_TEXT: DrawLabels(c, s); break;
        case QK_PLOT_LINE: DrawLine(c, s); break;
        case QK_PLOT_SCATTER: DrawSymbols(c, s, nullptr, nullptr); break;
        case QK_PLOT_LINE_SYMBOL:
            if (plot->IsLineInFrontSymbol(0)) {
                DrawSymbols(c, s, nullptr, nullptr);
                DrawLine(c, s);
            } else {
                DrawLine(c, s);
                DrawSymbols(c, s, nullptr, nullptr);
            }
            break;
        case QK_PLOT_COLUMN:
        case QK_PLOT_STACK_COLUMN:
        case QK_PLOT_FLOAT_COLUMN: DrawBars(c, s, false); break;
        case QK_PLOT_BAR:
        case QK_PLOT_STACK_BAR:
        case QK_PLOT_FLOAT_BAR: DrawBars(c, s, true); break;
        case QK_PLOT_AREA: DrawArea(c, s, false); break;
        case QK_PLOT_FILL_AREA: DrawArea(c, s, true); break;
        case QK_PLOT_VERT_DROP_LINE:
        case QK_PLOT_HORZ_DROP_LINE:
            DrawDropLines(c, s, type == QK_PLOT_VERT_DROP_LINE);
            DrawSymbols(c, s, nullptr, nullptr);
            break;
        case QK_PLOT_VECTOR: DrawVectors(c, s); break;
        case QK_PLOT_HIGH_LOW_CLOSE: DrawHighLowClose(c, s); break;
        case QK_PLOT_PIE: DrawPie(c, s); break;
        case QK_PLOT_BOX: DrawBox(c, s); break;
        case QK_PLOT_HISTOGRAM: DrawHistogram(c, s); break;
        case QK_PLOT_BUBBLE: DrawSymbols(c, s, qkPlotDataset(*plot, QK_ROLE_SIZE), nullptr); break;
        case QK_PLOT_COLOR_MAPPED: DrawSymbols(c, s, nullptr, qkPlotDataset(*plot, QK_ROLE_COLOR)); break;
        case QK_PLOT_BUBBLE_COLOR_MAPPED:
            DrawSymbols(c, s, qkPlotDataset(*plot, QK_ROLE_SIZE), qkPlotDataset(*plot, QK_ROLE_COLOR));
            break;
        default: qkfxGetCallLog().Add("qkDrawPlots", "no drawing for plot type " + std::to_string(type)); break;
        }
    }
}

// The masked points of a plot drawn from X and Y values: the plot's symbol (a square for
// kinds without one) in the mask colour, unless the masked points are hidden.
static void DrawMaskedPoints(const PlotContext& c, const Series& s, int type)
{
    if (!s.y->m_maskOn || s.y->m_maskHidden || s.y->GetMaskedRows().empty())
        return;
    if (type == QK_PLOT_PIE || type == QK_PLOT_BOX || type == QK_PLOT_HISTOGRAM)
        return;
    const COLORREF colour = qkColorOf(s.y->m_maskColor);
    const bool symbol = c.plot.HasSymbol() != FALSE;
    for (int row : s.y->GetMaskedRows()) {
        if (row < s.first || row >= s.end)
            continue;
        double dx, dy;
        const double vx = s.X(row), vy = s.Value(row);
        if (!Valid(vx) || !Valid(vy) || !c.map.Map(vx, vy, dx, dy))
            continue;
        if (symbol) {
            qkDrawPlotSymbol(c.env, c.plot, Round(dx), Round(dy), kSymbolSize, colour);
        } else {
            const int h = std::max(2, Round(c.env.PointsToPixels(kSymbolSize) / 2));
            RECT r = {Round(dx) - h, Round(dy) - h, Round(dx) + h + 1, Round(dy) + h + 1};
            HBRUSH b = CreateSolidBrush(colour);
            FillRect(c.env.dc, &r, b);
            DeleteObject(b);
        }
    }
}
