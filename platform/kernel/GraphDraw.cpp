// What a graph or layout page draws: the paper, then each layer in page order with its
// background, grids, plots, axes and texts; hit tests walk the same drawing backwards.
#include <algorithm>
#include <cmath>

#include "KernelInternal.h"
#include "PageRender.h"
#include "QKCallLog.h"
#include "QKContour.h"
#include "QKPlotModel.h"

namespace {

int Round(double v)
{
    return (int)std::lround(v);
}

// A layer's frame on a page drawn into pageRect at pixelsPerInch.
RECT LayerFrame(const CQKGraphicLayer& layer, const RECT& page, double pixelsPerInch)
{
    const double pw = page.right - page.left, ph = page.bottom - page.top;
    double left, top, width, height;
    if (layer.GetMeasUnits() == QK_UNITS_PAGE_PERCENT || layer.GetMeasUnits() == QK_UNITS_LINK_PERCENT) {
        left = layer.GetMeasLeft() / 100 * pw;
        top = layer.GetMeasTop() / 100 * ph;
        width = layer.GetMeasWidth() / 100 * pw;
        height = layer.GetMeasHeight() / 100 * ph;
    } else {
        double v[4] = {layer.GetMeasWidth(), layer.GetMeasHeight(), layer.GetMeasLeft(), layer.GetMeasTop()};
        layer.ConvertDimensions(QK_UNITS_INCH, v);
        width = v[0] * pixelsPerInch;
        height = v[1] * pixelsPerInch;
        left = v[2] * pixelsPerInch;
        top = v[3] * pixelsPerInch;
    }
    RECT r = {page.left + Round(left), page.top + Round(top), page.left + Round(left + width), page.top + Round(top + height)};
    return r;
}

void Union(RECT& a, const RECT& b)
{
    if (IsRectEmpty(&b))
        return;
    if (IsRectEmpty(&a))
        a = b;
    else
        UnionRect(&a, &a, &b);
}

// The border styles of a label's background list: 0 a black line, 1 a shadow, 2 dark
// marble, 3 white out, 4 black out.
void DrawLabelBackground(const QKDrawEnv& env, const CQKTextObj& text, const RECT& box, bool whiteOut)
{
    const int pad = Round(env.PointsToPixels(2));
    RECT r = {box.left - pad, box.top - pad, box.right + pad, box.bottom + pad};
    const int style = text.IsBorder() ? text.GetBorderStyle() : -1;
    if (whiteOut || style == 3)
        FillRect(env.dc, &r, (HBRUSH)GetStockObject(WHITE_BRUSH));
    if (style == 4)
        FillRect(env.dc, &r, (HBRUSH)GetStockObject(BLACK_BRUSH));
    if (style == 2) {
        HBRUSH b = CreateSolidBrush(RGB(64, 64, 64));
        FillRect(env.dc, &r, b);
        DeleteObject(b);
    }
    if (style == 0 || style == 1) {
        if (style == 1) {
            const int d = std::max(1, Round(env.PointsToPixels(2)));
            RECT sh = {r.left + d, r.top + d, r.right + d, r.bottom + d};
            FillRect(env.dc, &sh, (HBRUSH)GetStockObject(BLACK_BRUSH));
            FillRect(env.dc, &r, (HBRUSH)GetStockObject(WHITE_BRUSH));
        }
        HPEN pen = qkCreateLinePen(env, 0, 0.5, RGB(0, 0, 0));
        HGDIOBJ op = SelectObject(env.dc, pen);
        HGDIOBJ ob = SelectObject(env.dc, GetStockObject(NULL_BRUSH));
        Rectangle(env.dc, r.left, r.top, r.right, r.bottom);
        SelectObject(env.dc, ob);
        SelectObject(env.dc, op);
        DeleteObject(pen);
    }
}

CQKTextStyle StyleOf(const CQKTextObj& text)
{
    CQKTextStyle style;
    text.GetTextStyle(style);
    return style;
}

// The legend: one line a plot, "\l(n)" standing for the sample of the layer's plot n.
void DrawLegend(const QKDrawEnv& env, CQKGraphicLayer& layer, const CQKTextObj& legend, const RECT& frame, int id)
{
    const CQKTextStyle style = StyleOf(legend);
    CQKTextDC text(env.dc, style, legend.GetColor(), env.PointsToPixels(1));
    std::vector<std::pair<int, std::string>> lines;
    const std::string& all = legend.GetTextString();
    size_t start = 0;
    while (start <= all.size()) {
        size_t end = all.find('\n', start);
        std::string line = all.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        int plot = 0;
        if (line.compare(0, 3, "\\l(") == 0) {
            const size_t close = line.find(')');
            if (close != std::string::npos) {
                plot = atoi(line.substr(3, close - 3).c_str());
                line = line.substr(close + 1);
                if (!line.empty() && line[0] == ' ')
                    line.erase(0, 1);
            }
        }
        lines.push_back({plot, line});
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    // The sample is as wide as the page's legend setting makes it, in percent of twice the
    // font size.
    const auto* graph = dynamic_cast<const CQKGraphPage*>(layer.GetValidPagePtr());
    const int percent = graph ? std::max(10, graph->GetLegendSymbWidth()) : 100;
    const int sample = Round(env.PointsToPixels(style.size) * 2 * percent / 100.0);
    const int gap = Round(env.PointsToPixels(style.size) / 3);
    int width = 0, height = 0;
    std::vector<SIZE> sizes;
    for (auto& l : lines) {
        SIZE s = text.MeasureQuorixText(l.second, legend.IsShowLinkVars());
        if (s.cy == 0)
            s.cy = Round(env.PointsToPixels(style.size));
        sizes.push_back(s);
        width = std::max(width, (int)s.cx);
        height += s.cy;
    }
    width += sample + gap;
    RECT box;
    if (legend.GetPosX() >= 0) {
        box.left = env.page.left + Round(legend.GetPosX() * (env.page.right - env.page.left));
        box.top = env.page.top + Round(legend.GetPosY() * (env.page.bottom - env.page.top));
    } else {
        const int margin = Round(env.PointsToPixels(6));
        box.left = frame.right - margin - width;
        box.top = frame.top + margin;
    }
    box.right = box.left + width;
    box.bottom = box.top + height;
    DrawLabelBackground(env, legend, box, (style.flags & QK_TEXT_WHITE_OUT) != 0);
    int y = box.top;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].first > 0)
            if (CQKPlotObj* p = layer.PlotObjByIndex(lines[i].first - 1, 1)) {
                RECT sb = {box.left, y, box.left + sample, y + sizes[i].cy};
                qkDrawLegendSample(env, *p, sb);
            }
        RECT tr = {box.left + sample + gap, y, box.right, y + sizes[i].cy};
        text.DrawQuorixText(lines[i].second, tr, legend.IsShowLinkVars());
        y += sizes[i].cy;
    }
    QKHitItem hit;
    hit.layer = env.layerIndex;
    hit.id = id;
    hit.box = box;
    env.AddHit(hit);
}

// A label: an axis title beside its axis, else where it was put (or at the frame's top
// left). In a layer that exchanges its axes the titles go with their axes: X's to the
// left and right, Y's to the bottom and top.
std::string TitlePlace(const std::string& name, bool exchange)
{
    if (!exchange)
        return name;
    static const char* const swaps[][2] = {{"XB", "YL"}, {"XT", "YR"}, {"YL", "XB"}, {"YR", "XT"}};
    for (const auto& s : swaps)
        if (name == s[0])
            return s[1];
    return name;
}

void DrawLabel(const QKDrawEnv& env, const CQKTextObj& label, const RECT& frame, int id, bool exchange = false)
{
    CQKTextStyle style = StyleOf(label);
    const std::string name = TitlePlace(label.GetObjName(), exchange);
    const bool auto_ = label.GetPosX() < 0;
    int placeRotation = style.rotation;
    // Titles of the vertical axes read upward on the left and downward on the right.
    if (auto_ && (name == "YL" || name == "YR"))
        placeRotation = style.rotation = name == "YL" ? 900 : 2700;
    CQKTextDC text(env.dc, style, label.GetColor(), env.PointsToPixels(1));
    text.ApplyTextTabWidth(label.GetTabWidth());
    const SIZE s = text.MeasureQuorixText(label.GetTextString(), label.IsShowLinkVars());
    const int gap = Round(env.PointsToPixels(4));
    RECT box; // the unrotated footprint on the page
    POINT corner;
    auto outside = [&](int dim, int side, int fallback) {
        const RECT& e = env.axisExtent[dim][side];
        if (IsRectEmpty(&e))
            return fallback;
        return dim == 0 ? (side == 0 ? (int)e.bottom : (int)e.top) : (side == 0 ? (int)e.left : (int)e.right);
    };
    if (auto_ && name == "XB") {
        const int top = std::max<int>(frame.bottom, outside(0, 0, frame.bottom)) + gap;
        box = {(frame.left + frame.right - s.cx) / 2, top, 0, 0};
    } else if (auto_ && name == "XT") {
        const int bottom = std::min<int>(frame.top, outside(0, 1, frame.top)) - gap;
        box = {(frame.left + frame.right - s.cx) / 2, bottom - s.cy, 0, 0};
    } else if (auto_ && name == "YL") {
        const int right = std::min<int>(frame.left, outside(1, 0, frame.left)) - gap;
        box = {right - s.cy, (frame.top + frame.bottom - s.cx) / 2, 0, 0};
    } else if (auto_ && name == "YR") {
        const int left = std::max<int>(frame.right, outside(1, 1, frame.right)) + gap;
        box = {left, (frame.top + frame.bottom - s.cx) / 2, 0, 0};
    } else if (auto_) {
        const int margin = Round(env.PointsToPixels(6));
        box = {frame.left + margin, frame.top + margin, 0, 0};
    } else {
        box = {env.page.left + Round(label.GetPosX() * (env.page.right - env.page.left)),
               env.page.top + Round(label.GetPosY() * (env.page.bottom - env.page.top)), 0, 0};
    }
    const bool vertical = placeRotation == 900 || placeRotation == 2700;
    box.right = box.left + (vertical ? s.cy : s.cx);
    box.bottom = box.top + (vertical ? s.cx : s.cy);
    // The text turns about its top-left corner: at 90 degrees that corner is the box's
    // bottom left, at 270 its top right.
    corner = {box.left, box.top};
    if (placeRotation == 900)
        corner = {box.left, box.bottom};
    else if (placeRotation == 2700)
        corner = {box.right, box.top};
    DrawLabelBackground(env, label, box, (style.flags & QK_TEXT_WHITE_OUT) != 0);
    RECT at = {corner.x, corner.y, corner.x + s.cx, corner.y + s.cy};
    text.DrawQuorixText(label.GetTextString(), at, label.IsShowLinkVars());
    QKHitItem hit;
    hit.layer = env.layerIndex;
    hit.id = id;
    hit.box = box;
    env.AddHit(hit);
}

// A colour scale: the bands between the plot's levels bottom up in their fills, in the
// left two fifths of the box, each level's value beside its edge in the plot's label
// format. Without a colour-mapped plot (it was deleted) only the bar's outline shows.
void DrawColorScale(const QKDrawEnv& env, const CQKGraphicLayer* layer, const CQKDrawObj& d, const RECT& box)
{
    CQKPlotObj* plot = layer ? qkColorScalePlot(*layer) : nullptr;
    const QKColorMapState* state = plot ? &plot->GetColorMapState() : nullptr;
    const int n = state ? (int)state->levels.size() : 0;
    const int bar = box.left + std::max<int>(1, (box.right - box.left) * 2 / 5);
    const COLORREF ink = qkColorOf(d.GetColor());
    if (n >= 2) {
        const double step = double(box.bottom - box.top) / (n - 1);
        for (int i = 0; i + 1 < n; ++i) {
            const RECT band = {box.left, Round(box.bottom - (i + 1) * step), bar, Round(box.bottom - i * step)};
            HBRUSH fill = CreateSolidBrush(state->levels[i].fillColor & 0xFFFFFF);
            FillRect(env.dc, &band, fill);
            DeleteObject(fill);
        }
        const CQKColorMapData format(*state);
        HFONT font = CreateFontA(-std::max(1, Round(env.PointsToPixels(8))), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                 ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                 VARIABLE_PITCH | FF_SWISS, "Arial");
        HGDIOBJ of = SelectObject(env.dc, font);
        HPEN pen = CreatePen(PS_SOLID, env.PenWidth(d.m_lineWidth), ink);
        HGDIOBJ op = SelectObject(env.dc, pen);
        const int saved = SaveDC(env.dc);
        SetBkMode(env.dc, TRANSPARENT);
        SetTextColor(env.dc, ink);
        SetTextAlign(env.dc, TA_LEFT | TA_TOP);
        TEXTMETRICA tm;
        GetTextMetricsA(env.dc, &tm);
        const int tick = std::max(2, Round(env.PointsToPixels(3)));
        for (int i = 0; i < n; ++i) {
            const int y = Round(box.bottom - i * step);
            MoveToEx(env.dc, bar, y, nullptr);
            LineTo(env.dc, bar + tick, y);
            std::string text;
            format.FormatAsString(state->levels[i].level, text, 0);
            TextOutA(env.dc, bar + 2 * tick, y - tm.tmHeight / 2, text.c_str(), (int)text.size());
        }
        RestoreDC(env.dc, saved);
        SelectObject(env.dc, op);
        DeleteObject(pen);
        SelectObject(env.dc, of);
        DeleteObject(font);
    }
    HPEN pen = CreatePen(PS_SOLID, env.PenWidth(d.m_lineWidth), ink);
    HGDIOBJ op = SelectObject(env.dc, pen);
    HGDIOBJ ob = SelectObject(env.dc, GetStockObject(NULL_BRUSH));
    Rectangle(env.dc, box.left, box.top, bar + 1, box.bottom + 1);
    SelectObject(env.dc, ob);
    SelectObject(env.dc, op);
    DeleteObject(pen);
}

// A drawn object: its points are fractions of the page. An arrow's head is a filled
// triangle at the end point, its length along the line and its width across it.
void DrawDrawObj(const QKDrawEnv& env, const CQKGraphicLayer* layer, const CQKDrawObj& d, int id)
{
    const double pw = env.page.right - env.page.left, ph = env.page.bottom - env.page.top;
    const POINT a = {env.page.left + Round(d.m_x1 * pw), env.page.top + Round(d.m_y1 * ph)};
    const POINT b = {env.page.left + Round(d.m_x2 * pw), env.page.top + Round(d.m_y2 * ph)};
    const COLORREF colour = qkColorOf(d.GetColor());
    HPEN pen = CreatePen(PS_SOLID, env.PenWidth(d.m_lineWidth), colour);
    HGDIOBJ op = SelectObject(env.dc, pen);
    HGDIOBJ ob = SelectObject(env.dc, GetStockObject(NULL_BRUSH));
    QKHitItem hit;
    hit.layer = env.layerIndex;
    hit.id = id;
    if (d.GetKind() == QK_DRAW_LINE) {
        MoveToEx(env.dc, a.x, a.y, nullptr);
        LineTo(env.dc, b.x, b.y);
        const double len = std::hypot(double(b.x - a.x), double(b.y - a.y));
        if (d.m_arrowEnd && len > 0) {
            const double ux = (b.x - a.x) / len, uy = (b.y - a.y) / len;
            const double hl = env.PointsToPixels(d.m_headLength), hw = env.PointsToPixels(d.m_headWidth) / 2;
            const POINT head[3] = {b, {Round(b.x - ux * hl - uy * hw), Round(b.y - uy * hl + ux * hw)},
                                   {Round(b.x - ux * hl + uy * hw), Round(b.y - uy * hl - ux * hw)}};
            HBRUSH fill = CreateSolidBrush(colour);
            HGDIOBJ of = SelectObject(env.dc, fill);
            Polygon(env.dc, head, 3);
            SelectObject(env.dc, of);
            DeleteObject(fill);
        }
        hit.path = {a, b};
    } else {
        const int l = std::min(a.x, b.x), t = std::min(a.y, b.y), r = std::max(a.x, b.x), bo = std::max(a.y, b.y);
        if (d.GetKind() == QK_DRAW_COLORSCALE)
            DrawColorScale(env, layer, d, {l, t, r, bo});
        else if (d.GetKind() == QK_DRAW_RECT)
            Rectangle(env.dc, l, t, r + 1, bo + 1);
        else
            Ellipse(env.dc, l, t, r + 1, bo + 1);
        hit.box = {l, t, r + 1, bo + 1};
    }
    SelectObject(env.dc, ob);
    SelectObject(env.dc, op);
    DeleteObject(pen);
    env.AddHit(hit);
}

// Labels and drawn objects in the order they were made (or brought to the front): those
// behind the data, or those in front of it.
void DrawLayerTexts(const QKDrawEnv& env, CQKGraphicLayer& layer, const RECT& frame, bool behindData)
{
    const bool exchange = QKLayerMap(frame, layer).exchange;
    for (int id : layer.GetObjectIds()) {
        auto* o = dynamic_cast<CQKGrObj*>(layer.GetObject(id));
        if (!o || (o->IsBehindData() != FALSE) != behindData)
            continue;
        if (auto* d = dynamic_cast<CQKDrawObj*>(o)) {
            DrawDrawObj(env, &layer, *d, id);
            continue;
        }
        auto* text = dynamic_cast<CQKTextObj*>(o);
        if (!text)
            continue;
        if (text->GetObjName() == "Legend")
            DrawLegend(env, layer, *text, frame, id);
        else
            DrawLabel(env, *text, frame, id, exchange);
    }
}

void DrawGraphLayer(QKDrawEnv& env, CQKGraphicLayer& layer)
{
    HDC dc = env.dc;
    const RECT frame = LayerFrame(layer, env.page, env.pixelsPerInch);
    const QKLayerMap map(frame, layer);
    // The layer keeps the frame of its last drawing, for reading device points back as data.
    layer.SetFrameArea(frame, map.x.GetFrom(), map.x.GetTo(), map.y.GetFrom(), map.y.GetTo());
    // Background and its border.
    if (layer.IsBkgColor()) {
        HBRUSH b = CreateSolidBrush(qkColorOf(layer.GetBkgColorValue()));
        FillRect(dc, &frame, b);
        DeleteObject(b);
    }
    if (layer.IsBkgBorder()) {
        HPEN pen = qkCreateLinePen(env, layer.GetBkgBorderStyle(), 0.5, RGB(0, 0, 0));
        HGDIOBJ op = SelectObject(dc, pen);
        HGDIOBJ ob = SelectObject(dc, GetStockObject(NULL_BRUSH));
        Rectangle(dc, frame.left, frame.top, frame.right + 1, frame.bottom + 1);
        SelectObject(dc, ob);
        SelectObject(dc, op);
        DeleteObject(pen);
    }
    if (layer.IsLabelShown())
        DrawLayerTexts(env, layer, frame, true);
    if (qkDraw3DLayer(env, layer, frame)) {
        if (layer.IsLabelShown())
            DrawLayerTexts(env, layer, frame, false);
        return;
    }
    const bool gridOnTop = layer.IsGridOnTopData();
    if (!gridOnTop)
        qkDrawAxes(env, layer, map, true, false);
    auto plots = [&]() {
        if (!layer.IsDataShown())
            return;
        const int saved = SaveDC(dc);
        if (layer.IsClipToFrame())
            IntersectClipRect(dc, frame.left, frame.top, frame.right + 1, frame.bottom + 1);
        qkDrawPlots(env, layer, map);
        RestoreDC(dc, saved);
    };
    if (!layer.IsDataOnTopAxes())
        plots();
    if (gridOnTop)
        qkDrawAxes(env, layer, map, true, false);
    qkDrawAxes(env, layer, map, false, true);
    if (layer.IsDataOnTopAxes())
        plots();
    if (layer.IsLabelShown())
        DrawLayerTexts(env, layer, frame, false);
    // Clicking an empty part of the frame finds nothing; the layer is no element.
}

// A layout page's layer: its graphs, each drawn whole and scaled into its place, and texts.
void DrawLayoutLayer(QKDrawEnv& env, CQKGraphicLayer& layer)
{
    const double pw = env.page.right - env.page.left, ph = env.page.bottom - env.page.top;
    for (int id : layer.GetObjectIds()) {
        CQKGrElement* e = layer.GetObject(id);
        if (auto* g = dynamic_cast<CQKLayoutGraphObj*>(e)) {
            RECT r = {env.page.left + Round(g->m_left * pw), env.page.top + Round(g->m_top * ph),
                      env.page.left + Round(g->m_right * pw), env.page.top + Round(g->m_bottom * ph)};
            CQKPage* shown = qkfxGetProject().FindPage(g->GetGraphName());
            auto* graph = dynamic_cast<CQKGraphPage*>(shown);
            auto* wks = dynamic_cast<CQKWksPage*>(shown);
            if (dynamic_cast<CQKLayoutWksObj*>(g)) {
                if (wks && !env.hits)
                    wks->DrawTableScaled(env.dc, r, CQKLayoutWksObj::kMaxRows);
            } else if (graph && graph->GetType() == QK_PAGE_GRAPH && !env.hits) {
                const int saved = SaveDC(env.dc);
                IntersectClipRect(env.dc, r.left, r.top, r.right, r.bottom);
                graph->Draw(env.dc, r);
                RestoreDC(env.dc, saved);
            }
            if (g->IsBorder()) {
                HGDIOBJ ob = SelectObject(env.dc, GetStockObject(NULL_BRUSH));
                Rectangle(env.dc, r.left, r.top, r.right, r.bottom);
                SelectObject(env.dc, ob);
            }
            QKHitItem hit;
            hit.layer = env.layerIndex;
            hit.id = id;
            hit.box = r;
            env.AddHit(hit);
        } else if (auto* t = dynamic_cast<CQKTextObj*>(e)) {
            DrawLabel(env, *t, env.page, id);
        } else if (auto* d = dynamic_cast<CQKDrawObj*>(e)) {
            DrawDrawObj(env, &layer, *d, id);
        }
    }
}

void DrawPaper(const QKDrawEnv& env, const CQKGraphPage& page)
{
    const RECT& r = env.page;
    if (page.GetColorColorCntl() == 2) {
        // A gradient from the base colour to the gradient colour, top to bottom (0) or
        // left to right.
        const COLORREF a = qkColorOf(page.GetColorBase()), b = qkColorOf(page.GetColorGradient());
        const bool vertical = page.GetColorGradientCntl() == 0;
        const int extent = vertical ? r.bottom - r.top : r.right - r.left;
        const int bands = std::max(1, std::min(256, extent));
        for (int i = 0; i < bands; ++i) {
            auto mix = [&](int ca, int cb) { return ca + (cb - ca) * i / std::max(1, bands - 1); };
            HBRUSH br = CreateSolidBrush(RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)), mix(GetBValue(a), GetBValue(b))));
            RECT band = r;
            if (vertical) {
                band.top = r.top + extent * i / bands;
                band.bottom = r.top + extent * (i + 1) / bands;
            } else {
                band.left = r.left + extent * i / bands;
                band.right = r.left + extent * (i + 1) / bands;
            }
            FillRect(env.dc, &band, br);
            DeleteObject(br);
        }
        return;
    }
    HBRUSH br = CreateSolidBrush(page.GetColorColorCntl() == 1 ? qkColorOf(page.GetColorBase()) : RGB(255, 255, 255));
    FillRect(env.dc, &r, br);
    DeleteObject(br);
}

double DistanceToSegment(POINT p, POINT a, POINT b)
{
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0;
    t = std::max(0.0, std::min(1.0, t));
    const double ex = a.x + t * dx - p.x, ey = a.y + t * dy - p.y;
    return std::sqrt(ex * ex + ey * ey);
}

bool HitItem(const QKHitItem& h, POINT p, double tolerance)
{
    if (h.path.empty()) {
        RECT r = h.box;
        InflateRect(&r, 2, 2);
        return PtInRect(&r, p) != FALSE;
    }
    if (h.points || h.path.size() == 1) {
        for (const POINT& q : h.path)
            if (std::abs(q.x - p.x) <= tolerance && std::abs(q.y - p.y) <= tolerance)
                return true;
        return false;
    }
    for (size_t i = 1; i < h.path.size(); ++i)
        if (DistanceToSegment(p, h.path[i - 1], h.path[i]) <= tolerance)
            return true;
    return false;
}

RECT BoundsOf(const QKHitItem& h)
{
    if (h.path.empty())
        return h.box;
    RECT r = {h.path[0].x, h.path[0].y, h.path[0].x + 1, h.path[0].y + 1};
    for (const POINT& q : h.path) {
        r.left = std::min(r.left, q.x);
        r.top = std::min(r.top, q.y);
        r.right = std::max(r.right, q.x + 1);
        r.bottom = std::max(r.bottom, q.y + 1);
    }
    return r;
}

} // namespace

BOOL qkfxGetLayerFrame(const CQKGraphPage* page, int index, const RECT& pageRect, RECT& frame)
{
    const CQKGraphicLayer* layer = page ? page->GetLayerByIndex(index, 1) : nullptr;
    if (!layer || IsRectEmpty(&pageRect))
        return FALSE;
    double w, h;
    page->GetPageSizeInches(w, h);
    frame = LayerFrame(*layer, pageRect, (pageRect.right - pageRect.left) / w);
    return TRUE;
}

// The walk of the whole page; with hits it records where each element went.
static BOOL DrawPageWalk(CQKGraphPage& page, HDC dc, const RECT& rect, std::vector<QKHitItem>* hits,
                         bool paper = true)
{
    if (!dc || IsRectEmpty(&rect))
        return FALSE;
    QKDrawEnv env;
    env.dc = dc;
    env.page = rect;
    env.hits = hits;
    double w, h;
    page.GetPageSizeInches(w, h);
    env.pixelsPerInch = (rect.right - rect.left) / w;
    const int saved = SaveDC(dc);
    SetBkMode(dc, TRANSPARENT);
    SetMapMode(dc, MM_TEXT);
    if (!hits && paper)
        DrawPaper(env, page);
    for (int i = 0; i < page.GetNumLayers(); ++i) {
        CQKGraphicLayer* layer = page.GetLayerByIndex(i, 1);
        env.layerIndex = i;
        if (page.GetType() == QK_PAGE_LAYOUT)
            DrawLayoutLayer(env, *layer);
        else
            DrawGraphLayer(env, *layer);
    }
    RestoreDC(dc, saved);
    return TRUE;
}

BOOL CQKGraphPage::Draw(HDC dc, const RECT& rect)
{
    return DrawPageWalk(*this, dc, rect, nullptr);
}

BOOL qkDrawGraphPage(CQKGraphPage& page, HDC dc, const RECT& rect, bool paper)
{
    return DrawPageWalk(page, dc, rect, nullptr, paper);
}

CQKPlotObj* qkColorScalePlot(const CQKGraphicLayer& layer)
{
    for (int i = 0; i < layer.GetNumPlots(); ++i) {
        CQKPlotObj* plot = layer.PlotObjByIndex(i, 1);
        if (plot && plot->UseColormapForDrawing() && plot->GetColorMapState().levels.size() >= 2)
            return plot;
    }
    return nullptr;
}

// The walk again into a one-pixel bitmap, recording where each element went.
std::vector<QKHitItem> qkPageHits(CQKGraphPage& page, const RECT& rect)
{
    std::vector<QKHitItem> hits;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(dc, 1, 1);
    HGDIOBJ old = SelectObject(dc, bmp);
    DrawPageWalk(page, dc, rect, &hits);
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    return hits;
}

void CQKGraphPage::DrawScreenItems(HDC dc)
{
    if (IsRectEmpty(&m_lastDrawn))
        return;
    std::vector<ElementPlace> places = m_multi;
    if (places.empty() && m_selected.layer >= 0 && Resolve(m_selected))
        places.push_back(m_selected);
    // A group shows one set of handles around all its members.
    auto groupOf = [&](int layer, int id) {
        CQKGraphicLayer* l = id > 0 ? GetLayerByIndex(layer, 1) : nullptr;
        auto* o = l ? dynamic_cast<CQKGrObj*>(l->GetObject(id)) : nullptr;
        return o ? o->GetGroup() : 0;
    };
    std::vector<std::pair<int, int>> groupsShown;
    const bool range = m_rangeDataset != 0 && m_rangeFirst >= 0;
    if (places.empty() && !m_tracking && !range)
        return;
    const std::vector<QKHitItem> hits = qkPageHits(*this, m_lastDrawn);
    for (const ElementPlace& place : places) {
        RECT bounds = {0, 0, 0, 0};
        const int group = groupOf(place.layer, place.id);
        if (group) {
            const std::pair<int, int> key(place.layer, group);
            if (std::find(groupsShown.begin(), groupsShown.end(), key) != groupsShown.end())
                continue;
            groupsShown.push_back(key);
        }
        for (const QKHitItem& h : hits)
            if (h.layer == place.layer &&
                (group ? h.id > 0 && groupOf(h.layer, h.id) == group
                       : h.id == place.id && (h.id > 0 || (h.dimension == place.dimension && h.part == place.part))))
                Union(bounds, BoundsOf(h));
        if (IsRectEmpty(&bounds))
            continue;
        // Eight handles around each selected element.
        const int s = 3;
        const int xs[3] = {bounds.left, (bounds.left + bounds.right) / 2, bounds.right};
        const int ys[3] = {bounds.top, (bounds.top + bounds.bottom) / 2, bounds.bottom};
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) {
                if (i == 1 && j == 1)
                    continue;
                RECT r = {xs[i] - s, ys[j] - s, xs[i] + s + 1, ys[j] + s + 1};
                FillRect(dc, &r, (HBRUSH)GetStockObject(BLACK_BRUSH));
            }
    }
    // The rows the data selector chose: a marker line at each end, across the layer.
    CQKPlotObj* plot = range ? ActivePlot() : nullptr;
    CQKGraphicLayer* layer = plot ? dynamic_cast<CQKGraphicLayer*>(plot->GetValidLayer()) : nullptr;
    RECT frame;
    CQKDataset* y = range ? qkfxGetProject().GetDatasetFromHandle(m_rangeDataset) : nullptr;
    if (layer && y && qkfxGetLayerFrame(this, GetLayerIndex(layer), m_lastDrawn, frame)) {
        const QKLayerMap map(frame, *layer);
        CQKDataset* x = qkPlotDataset(*plot, QK_ROLE_X);
        for (int row : {m_rangeFirst, m_rangeLast}) {
            double dx;
            if (!map.MapX(x ? x->GetValue(row) : row + 1, dx))
                continue;
            const int d = (int)std::lround(dx);
            RECT r = map.XVertical() ? RECT{frame.left, d - 1, frame.right, d + 1} : RECT{d - 1, frame.top, d + 1, frame.bottom};
            FillRect(dc, &r, (HBRUSH)GetStockObject(BLACK_BRUSH));
        }
    }
    // What a drawing tool is making, while the button is down.
    // A data point on its way: a ring where it would land.
    if (m_tracking && m_trackTool == kTrackPointMove) {
        HGDIOBJ op = SelectObject(dc, GetStockObject(BLACK_PEN));
        HGDIOBJ ob = SelectObject(dc, GetStockObject(NULL_BRUSH));
        const int r = (int)kPointReachPixels;
        Ellipse(dc, m_trackTo.x - r, m_trackTo.y - r, m_trackTo.x + r + 1, m_trackTo.y + r + 1);
        SelectObject(dc, ob);
        SelectObject(dc, op);
    }
    if (m_tracking && m_trackTool >= 5 && m_trackTool <= 9) {
        HGDIOBJ op = SelectObject(dc, GetStockObject(BLACK_PEN));
        HGDIOBJ ob = SelectObject(dc, GetStockObject(NULL_BRUSH));
        const POINT a = m_trackFrom, b = m_trackTo;
        if (m_trackTool == 6 || m_trackTool == 7) {
            MoveToEx(dc, a.x, a.y, nullptr);
            LineTo(dc, b.x, b.y);
        } else if (m_trackTool == 9) {
            Ellipse(dc, std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x) + 1, std::max(a.y, b.y) + 1);
        } else {
            Rectangle(dc, std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x) + 1, std::max(a.y, b.y) + 1);
        }
        SelectObject(dc, ob);
        SelectObject(dc, op);
    }
}

CQKGrElement* CQKGraphPage::FindGrElement(int x, int y)
{
    if (IsRectEmpty(&m_lastDrawn))
        return nullptr;
    const std::vector<QKHitItem> hits = qkPageHits(*this, m_lastDrawn);
    const POINT p = {x, y};
    for (auto it = hits.rbegin(); it != hits.rend(); ++it)
        if (HitItem(*it, p, 4)) {
            ElementPlace place;
            place.layer = it->layer;
            place.id = it->id;
            place.dimension = it->dimension;
            place.part = it->part;
            return Resolve(place);
        }
    return nullptr;
}

int CQKGraphPage::FindDataPointRow(int x, int y, const CQKPlotObj* plot)
{
    if (!plot || IsRectEmpty(&m_lastDrawn))
        return -1;
    int row = -1;
    long best = 0;
    for (const QKHitItem& h : qkPageHits(*this, m_lastDrawn)) {
        if (!h.points || h.rows.size() != h.path.size() || h.layer < 0 || h.layer >= GetNumLayers())
            continue;
        CQKGraphicLayer* layer = GetLayerByIndex(h.layer, 1);
        if (!layer || layer->GetObject(h.id) != static_cast<const CQKGrElement*>(plot))
            continue;
        for (size_t i = 0; i < h.path.size(); ++i) {
            const long dx = h.path[i].x - x, dy = h.path[i].y - y;
            if (std::abs(dx) <= 4 && std::abs(dy) <= 4 && (row < 0 || dx * dx + dy * dy < best)) {
                row = h.rows[i];
                best = dx * dx + dy * dy;
            }
        }
    }
    return row;
}

// ---- layout pages ------------------------------------------------------------------------

void CQKLayoutGraphObj::DumpState(CQKStateDump& dump) const
{
    dump.Open(qkFormatText("layoutGraph %d", m_id));
    dump.Add("graph", m_graph);
    dump.Add("left", m_left);
    dump.Add("top", m_top);
    dump.Add("right", m_right);
    dump.Add("bottom", m_bottom);
    dump.Add("border", m_border);
    dump.Close();
}

static CQKGraphicLayer* LayoutLayer(CQKGraphPage* layout)
{
    // A layout keeps what it shows in one layer, made with its first object.
    return layout->GetNumLayers() ? layout->GetLayerByIndex(0, 1) : layout->AddLayer();
}

namespace {

// A window of the given kind placed on a layout page; `kind` names it in the reasons
// ("graph" or "worksheet").
template <class Obj>
Obj* AddLayoutObject(CQKGraphPage* layout, const std::string& name, int pageType, const std::string& kind,
                     double left, double top, double right, double bottom, std::string* error)
{
    auto fail = [&](const std::string& why) -> Obj* {
        if (error)
            *error = why;
        return nullptr;
    };
    if (!layout || layout->GetType() != QK_PAGE_LAYOUT)
        return fail(kind + "s are put on layout pages only");
    CQKPage* page = qkfxGetProject().FindPage(name);
    if (!page || page->GetType() != pageType)
        return fail("\"" + name + "\" is not a " + kind + " window");
    if (!(right > left) || !(bottom > top))
        return fail("the " + kind + "'s place on the layout is empty");
    auto* obj = new Obj;
    obj->SetGraphName(page->GetName());
    obj->m_left = left;
    obj->m_top = top;
    obj->m_right = right;
    obj->m_bottom = bottom;
    LayoutLayer(layout)->AddObject(obj);
    return obj;
}

} // namespace

CQKLayoutGraphObj* qkfxAddLayoutGraph(CQKGraphPage* layout, const std::string& graph, double left, double top,
                                      double right, double bottom, std::string* error)
{
    return AddLayoutObject<CQKLayoutGraphObj>(layout, graph, QK_PAGE_GRAPH, "graph", left, top, right, bottom, error);
}

void CQKLayoutWksObj::DumpState(CQKStateDump& dump) const
{
    dump.Open(qkFormatText("layoutWks %d", m_id));
    dump.Add("worksheet", GetGraphName());
    dump.Add("left", m_left);
    dump.Add("top", m_top);
    dump.Add("right", m_right);
    dump.Add("bottom", m_bottom);
    dump.Add("border", m_border);
    dump.Close();
}

CQKLayoutWksObj* qkfxAddLayoutWks(CQKGraphPage* layout, const std::string& wks, double left, double top, double right,
                                  double bottom, std::string* error)
{
    return AddLayoutObject<CQKLayoutWksObj>(layout, wks, QK_PAGE_WKS, "worksheet", left, top, right, bottom, error);
}

void qkfxNextLayoutPlace(CQKGraphPage* layout, double aspect, double& left, double& top, double& right, double& bottom)
{
    // A quarter of the page less a margin, the window's shape kept inside it.
    const double margin = 0.03, cell = 0.5 - 1.5 * margin;
    double pw = 1, ph = 1;
    if (layout)
        layout->GetPageSizeInches(pw, ph);
    double w = cell, h = cell * pw / ph / (aspect > 0 ? aspect : 1);
    if (h > cell) {
        w *= cell / h;
        h = cell;
    }
    std::vector<const CQKLayoutGraphObj*> placed;
    CQKGraphicLayer* layer = layout && layout->GetNumLayers() ? layout->GetLayerByIndex(0, 1) : nullptr;
    for (int id : layer ? layer->GetObjectIds() : std::vector<int>())
        if (auto* g = dynamic_cast<const CQKLayoutGraphObj*>(layer->GetObject(id)))
            placed.push_back(g);
    const size_t n = placed.size();
    if (n < 4) {
        left = margin + (n % 2) * (0.5 - margin / 2);
        top = margin + (n / 2) * (0.5 - margin / 2);
    } else {
        const CQKLayoutGraphObj* last = placed.back();
        left = std::min(last->m_left + 0.05, 1 - w);
        top = std::min(last->m_top + 0.05, 1 - h);
    }
    right = left + w;
    bottom = top + h;
}

CQKTextObj* qkfxAddLayoutText(CQKGraphPage* layout, const std::string& text, double x, double y)
{
    if (!layout || layout->GetType() != QK_PAGE_LAYOUT)
        return nullptr;
    CQKTextObj* label = layout->PgCreateCQKTextObj();
    if (!label)
        return nullptr;
    label->SetTextString(text);
    label->SetPosition(x, y);
    LayoutLayer(layout)->AddObject(label);
    return label;
}
