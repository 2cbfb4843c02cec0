// Drawing of computed contour lines: grid cells, filled regions, level lines broken
// around their labels, and the label texts. Labels are the user's (saved with the plot)
// or placed automatically where the line runs through the flattest part of the field,
// away from the labels already placed.
#include "ContourPlot.h"

#include <float.h>
#include <math.h>

#include <string>
#include <vector>

#include "qxutil.h"

namespace {

INT_PTR Colour(UINT code, INT_PTR argument, void* map, INT_PTR pointer = 0)
{
    return ScxColorControl(code, argument, pointer, map);
}

struct TextItem {
    std::string text;
    RECT rect;
    const CQKFontTypePSet* font;
};

// One stored line for the length of a drawing.
struct LineWrapper {
    ContourRecord* record;
    std::vector<float> grid;     // (x, y) in grid units
    std::vector<POINT> device;
    std::vector<TextItem> texts;
    // The points that make the level line: the border part is only the region's edge.
    int LinePoints() const
    {
        int n = (int)device.size();
        return record->borderPart > 0 && record->borderPart < n ? record->borderPart : n;
    }
};

std::vector<float> GridPoints(const ContourRecord* r)
{
    std::vector<float> p;
    const float* from = r->points ? static_cast<const float*>(GlobalLock(r->points)) : nullptr;
    if (from) {
        p.assign(from, from + 2 * r->pointCount);
        GlobalUnlock(r->points);
    }
    return p;
}

std::vector<POINT> DevicePoints(const CQKContourGrid* grid, const std::vector<float>& p)
{
    std::vector<POINT> out(p.size() / 2);
    for (size_t k = 0; k < out.size(); ++k) {
        double wx, wy;
        GridToWorld(grid, p[2 * k], p[2 * k + 1], &wx, &wy);
        out[k] = WorldToDevice(grid, wx, wy);
    }
    return out;
}

bool PolylineCrosses(const POINT* p, int n, const RECT& rect)
{
    for (int k = 1; k < n; ++k)
        if (qkuFindRectangleLineIntersection(rect, p[k - 1], p[k]))
            return true;
    return false;
}

// The real value of a level index, and its value on the grid's 16-bit scale.
double LevelValue(int level, void* map)
{
    double value = 0;
    Colour(40, (int16_t)Colour(34, level, map), map, reinterpret_cast<INT_PTR>(&value));
    return value;
}

// Bilinear value of the grid at a point in grid units; false outside the grid.
bool GridValueAt(const CQKContourGrid* grid, double x, double y, double* value)
{
    int cols = grid->GetCols(), rows = grid->GetRows();
    if (!(x >= 0 && y >= 0 && x <= cols - 1 && y <= rows - 1))
        return false;
    int j = (int)x, k = (int)y;
    if (j >= cols - 1)
        j = cols - 2;
    if (k >= rows - 1)
        k = rows - 2;
    double tx = x - j, ty = y - k;
    double z00 = grid->GetValue(j, k), z10 = grid->GetValue(j + 1, k);
    double z01 = grid->GetValue(j, k + 1), z11 = grid->GetValue(j + 1, k + 1);
    *value = (z00 * (1 - tx) + z10 * tx) * (1 - ty) + (z01 * (1 - tx) + z11 * tx) * ty;
    return true;
}

// The point one grid unit from p[n] on the outer side of the curve through p[n-1], p[n]
// and p[n+1]: away from the circle's centre through the three, or back toward p[n-1]
// when they lie on one line.
void TestPoint(const float* prev, const float* at, const float* next, double* tx, double* ty)
{
    double ax = prev[0] - at[0], ay = prev[1] - at[1];
    double bx = next[0] - at[0], by = next[1] - at[1];
    double d = 2 * (ax * by - ay * bx);
    double ux, uy;
    if (d != 0) {
        double a2 = ax * ax + ay * ay, b2 = bx * bx + by * by;
        double cx = (by * a2 - ay * b2) / d, cy = (ax * b2 - bx * a2) / d; // centre relative to p[n]
        ux = -cx;
        uy = -cy;
    } else {
        ux = ax;
        uy = ay;
    }
    double length = sqrt(ux * ux + uy * uy);
    if (length == 0) {
        *tx = at[0];
        *ty = at[1];
        return;
    }
    *tx = at[0] + ux / length;
    *ty = at[1] + uy / length;
}

struct Drawing {
    CQC3DContourPlotObj* plot;
    CQKContourGrid* grid;
    CQKColorMapData* colours;
    ContourStore* store;
    void* map;
    HDC dc;
    std::vector<LineWrapper> lines;
    std::vector<std::pair<int, int>> occupied; // placed label cells of the 0..100 square

    static const int kMaxOccupied = 299;

    bool CellFree(int cx, int cy) const
    {
        for (const auto& c : occupied)
            if (abs(c.first - cx) < 7 && abs(c.second - cy) < 7)
                return false;
        return true;
    }

    // The point of line `w` where an automatic label goes; -1 for none.
    int PlaceAutomatic(LineWrapper& w)
    {
        ContourRecord* r = w.record;
        int rows = grid->GetRows(), cols = grid->GetCols();
        double cells = (double)rows * cols;
        double share = r->area / cells;
        if (share > 1)
            share -= 1;
        if (100 * share < plot->GetLabelCreationMinArea() || r->pointCount <= 4 || rows < 2 || cols < 2)
            return -1;
        double sx = 100.0 / (cols - 1), sy = 100.0 / (rows - 1);
        double level = (int16_t)Colour(34, r->levelIndex, map);
        double best = FLT_MAX;
        int chosen = -1;
        std::pair<int, int> accepted;
        const float* p = w.grid.data();
        for (int n = 1; n <= (int)r->pointCount - 2; ++n) {
            int cx = (int)lround(p[2 * n] * sx), cy = (int)lround(p[2 * n + 1] * sy);
            if (cx < 2 || cx > 97 || cy < 2 || cy > 97)
                continue;
            int weight = (int)((((50 - cx) * 0.01) * ((50 - cx) * 0.01) + ((50 - cy) * 0.01) * ((50 - cy) * 0.01)) *
                                   250 +
                               100);
            double dx = p[2 * n] - p[2 * n - 2], dy = p[2 * n + 1] - p[2 * n - 1];
            if (sqrt(dx * dx + dy * dy) <= 0.5)
                continue;
            double tx, ty, value;
            TestPoint(p + 2 * n - 2, p + 2 * n, p + 2 * n + 2, &tx, &ty);
            if (!GridValueAt(grid, tx, ty, &value))
                continue;
            double score = fabs(value - level) * weight * 0.01;
            if (score < best && CellFree(cx, cy)) {
                best = score;
                chosen = n;
                accepted = {cx, cy};
            }
        }
        if (chosen >= 0 && (int)occupied.size() < kMaxOccupied)
            occupied.push_back(accepted);
        return chosen;
    }

    bool Measure(ContourLabelData& label, const CQKFontTypePSet* font, const std::string& text)
    {
        RECT rect;
        if (!CQKTxtLabels::MeasureRectAtWorld(dc, text, font, WorldToDevice(grid, label.x, label.y),
                                              QK_TEXT_CENTER_MULTILINE, rect))
            return false;
        label.rect[0] = rect.left;
        label.rect[1] = rect.top;
        label.rect[2] = rect.right;
        label.rect[3] = rect.bottom;
        label.flags |= CONTOUR_LABEL_MEASURED;
        return true;
    }

    void BindLabels(CQC3DContourLabelsPSet* labels, int i, double window)
    {
        LineWrapper& w = lines[i];
        double value = LevelValue(w.record->levelIndex, map);
        std::string text = colours->GetLabelText(w.record->levelIndex, value);
        bool taken = false;
        for (int k = 0; k < labels->Count(); ++k) {
            ContourLabelData& label = labels->LabelData(k);
            if (label.flags & CONTOUR_LABEL_MATCHED)
                continue;
            if (!IsMissingValue(label.level)) {
                if (!(fabs(label.level - value) < window))
                    continue;
                if (!(label.flags & CONTOUR_LABEL_MEASURED) && !Measure(label, &labels->Label(k)->font, text))
                    continue;
                RECT rect = {label.rect[0], label.rect[1], label.rect[2], label.rect[3]};
                if (PolylineCrosses(w.device.data(), w.LinePoints(), rect)) {
                    label.contourIndex = i;
                    label.flags |= CONTOUR_LABEL_MATCHED;
                    taken = true;
                }
            } else if (label.contourIndex == i) {
                label.level = value;
                label.flags |= CONTOUR_LABEL_MATCHED;
                taken = true;
            }
        }
        if (!taken && colours->IsForceContourLineLabelCreation(w.record->levelIndex)) {
            int n = PlaceAutomatic(w);
            w.record->labelPoint = (int16_t)n;
            if (n >= 0) {
                ContourLabelData label = {};
                GridToWorld(grid, w.grid[2 * n], w.grid[2 * n + 1], &label.x, &label.y);
                label.level = value;
                label.contourIndex = i;
                label.flags = CONTOUR_LABEL_MATCHED;
                CQC3DPOneContourLabelPSet one(label);
                if (Measure(one.specific.data, &one.font, text))
                    labels->Add(&one);
            }
        }
        for (int k = 0; k < labels->Count(); ++k) {
            ContourLabelData& label = labels->LabelData(k);
            if (!(label.flags & CONTOUR_LABEL_MATCHED) || label.contourIndex != i)
                continue;
            if (!(label.flags & CONTOUR_LABEL_MEASURED) && !Measure(label, &labels->Label(k)->font, text))
                continue;
            w.texts.push_back({text, {label.rect[0], label.rect[1], label.rect[2], label.rect[3]},
                               &labels->Label(k)->font});
        }
    }
};

} // namespace

void GridToWorld(const CQKContourGrid* grid, double gx, double gy, double* wx, double* wy)
{
    *wx = gx * grid->GetScaleX() + grid->GetOffsetX();
    *wy = gy * grid->GetScaleY() + grid->GetOffsetY();
}

// Rounded to the nearest device unit on both sides of zero: points left of or above the
// plot rectangle keep their places and are clipped by the device like any other.
POINT WorldToDevice(const CQKContourGrid* grid, double wx, double wy)
{
    if (grid->IsSwapXY()) {
        double t = wx;
        wx = wy;
        wy = t;
    }
    const RECT& r = grid->GetPlotRect();
    double x = r.left + (wx - grid->GetXMin()) * (r.right - r.left) / grid->GetXRange();
    double y = r.bottom + (wy - grid->GetYMin()) * (r.top - r.bottom) / grid->GetYRange();
    return {(LONG)floor(x + 0.5), (LONG)floor(y + 0.5)};
}

void DrawGridCells(CQC3DContourPlotObj* plot, HDC dc, void* map)
{
    CQKContourGrid* grid = plot->GetContourGrid();
    CQKColorMapData* colours = plot->GetValidColorMapDataForDrawing();
    if (!grid || !colours)
        return;
    RECT bounds = grid->GetPlotRect();
    if (bounds.top > bounds.bottom) {
        LONG t = bounds.top;
        bounds.top = bounds.bottom;
        bounds.bottom = t;
    }
    CQKLine2 painter(dc);
    for (int k = 0; k < grid->GetRows(); ++k)
        for (int j = 0; j < grid->GetCols(); ++j) {
            double x0, y0, x1, y1;
            GridToWorld(grid, j - 0.5, k - 0.5, &x0, &y0);
            GridToWorld(grid, j + 0.5, k + 0.5, &x1, &y1);
            POINT a = WorldToDevice(grid, x0, y0), b = WorldToDevice(grid, x1, y1);
            RECT cell = {a.x < b.x ? a.x : b.x, a.y < b.y ? a.y : b.y, a.x < b.x ? b.x : a.x, a.y < b.y ? b.y : a.y};
            RECT clipped;
            if (!IntersectRect(&clipped, &cell, &bounds))
                continue;
            COLORREF colour;
            int pattern;
            int index = (int)Colour(37, (int16_t)(int)grid->GetValue(j, k), map);
            if (colours->GetFill(index, colour, pattern))
                painter.DrawSimpleRect(clipped, colour);
        }
}

BOOL DrawContourLines(CQC3DContourPlotObj* plot, CQC3DContourData* data, HDC dc, void* map)
{
    Drawing d;
    d.plot = plot;
    d.grid = plot->GetContourGrid();
    d.colours = plot->GetValidColorMapDataForDrawing();
    d.store = &data->store;
    d.map = map;
    d.dc = dc;
    if (!d.grid || !d.colours)
        return FALSE;

    bool noGaps = true, someLabels = false, someLine = false;
    for (int i = 0; i < d.store->Count(); ++i) {
        LineWrapper w;
        w.record = d.store->Record(i);
        w.grid = GridPoints(w.record);
        w.device = DevicePoints(d.grid, w.grid);
        DWORD flags = d.colours->GetContourLineFlags(w.record->levelIndex);
        bool hidden = (flags & CQKColorMapData::CONTOUR_LINE_HIDDEN) != 0;
        bool labelled = (flags & CQKColorMapData::CONTOUR_LABEL_SHOWN) != 0;
        if (!hidden && labelled)
            noGaps = false;
        if (labelled)
            someLabels = true;
        if (w.record->colourIndex != d.colours->GetMissingColorIndex() && !hidden)
            someLine = true;
        d.lines.push_back(std::move(w));
    }

    if (someLabels) {
        CQC3DContourLabelsPSet* labels = plot->Labels();
        if (labels) {
            labels->ClearMatched();
            labels->SetMeasured(false);
            double window = d.colours->GetLevelSearchWindow();
            for (int i = 0; i < (int)d.lines.size(); ++i)
                if (d.colours->GetContourLineFlags(d.lines[i].record->levelIndex) &
                    CQKColorMapData::CONTOUR_LABEL_SHOWN)
                    d.BindLabels(labels, i, window);
            if (d.colours->SetAllForceContourLineLabelCreation(FALSE))
                d.colours->Save();
            labels->RemoveUnmatched();
        }
    } else {
        plot->DropLabels();
    }

    UtilPrepareDC(dc, 0, 0, UTIL_DC_AREAS);
    CQKLine2 painter(dc);
    bool fills = plot->IsFillContours() != FALSE;
    if (fills || (someLine && noGaps)) {
        for (int position = 0; position < d.store->Count(); ++position) {
            ContourRecord* r = d.store->ByOrder(position);
            if (!r)
                continue;
            const LineWrapper& w = d.lines[r - d.store->Record(0)];
            if (w.device.size() < 2)
                continue;
            COLORREF colour;
            int pattern = 0, fill = CQKColorMapData::NO_FILL;
            if (fills && d.colours->GetFill(r->colourIndex, colour, pattern))
                fill = (int)colour;
            QKContourPen pen;
            bool drawsLine = r->colourIndex != d.colours->GetMissingColorIndex() &&
                             !(d.colours->GetContourLineFlags(r->levelIndex) & CQKColorMapData::CONTOUR_LINE_HIDDEN);
            if (noGaps && drawsLine && d.colours->GetDrawLine(r->levelIndex, pen))
                painter.SetPen(pen);
            else
                painter.SetNullPen();
            painter.DrawSimplePolygon(w.device.data(), (int)w.device.size(), r->borderPart, fill, pattern);
        }
    }
    if (someLine && !noGaps) {
        for (int position = 0; position < d.store->Count(); ++position) {
            ContourRecord* r = d.store->ByOrder(position);
            if (!r)
                continue;
            const LineWrapper& w = d.lines[r - d.store->Record(0)];
            QKContourPen pen;
            if (w.device.size() < 2 || !d.colours->GetDrawLine(r->levelIndex, pen))
                continue;
            RECT gaps[5];
            int gapCount = 0;
            for (const TextItem& t : w.texts)
                if (gapCount < 5)
                    gaps[gapCount++] = t.rect;
            painter.SetPen(pen);
            painter.DrawPolyLine(w.device.data(), w.LinePoints(), gaps, gapCount);
        }
    }
    if (someLabels)
        for (const LineWrapper& w : d.lines)
            for (const TextItem& t : w.texts)
                CQKTxtLabels::TextOutA(dc, t.text, t.font, t.rect, QK_TEXT_CENTER_MULTILINE);
    return TRUE;
}

int FindLineAtPoint(CQC3DContourPlotObj* plot, POINT point)
{
    CQC3DContourData* data = plot->Store();
    CQKContourGrid* grid = plot->GetContourGrid();
    if (!data || !grid)
        return -1;
    RECT search;
    qkuCreateRectForScreenSearchingFromPoint(point, search);
    for (int i = 0; i < data->store.Count(); ++i)
        if (RectCrossesLine(plot, i, search))
            return i;
    return -1;
}

bool RectCrossesLine(CQC3DContourPlotObj* plot, int index, const RECT& rect)
{
    CQC3DContourData* data = plot->Store();
    CQKContourGrid* grid = plot->GetContourGrid();
    if (!data || !grid || index < 0 || index >= data->store.Count())
        return false;
    LineWrapper w;
    w.record = data->store.Record(index);
    w.grid = GridPoints(w.record);
    w.device = DevicePoints(grid, w.grid);
    return PolylineCrosses(w.device.data(), w.LinePoints(), rect);
}
