// Contouring of a Z grid. For every level of the colour map the grid edges that the
// level crosses are marked; each line is traced through the marked edges, preferring a
// left turn, then straight on, then a right turn, so that a saddle is always resolved
// the same way; a line that reaches the border is closed along it, so every line is a
// polygon that bounds the region on one side of its level and serves both as a filled
// region and as a level line.
//
// Edges are numbered 2 * cols per row: in row k, k * 2 * cols + j is the horizontal edge
// from node (j, k) to (j + 1, k), k * 2 * cols + cols + j the vertical edge from (j, k)
// to (j, k + 1). The border ring lists the border edges and the four corners in order
// round the grid: first row, last column, last row backwards, first column backwards.
#include "ContourStore.h"

#include <string.h>

#include <vector>

namespace {

INT_PTR Colour(UINT code, INT_PTR argument, void* map)
{
    return ScxColorControl(code, argument, 0, map);
}

struct Tracer {
    ContourGridView* grid;
    int rows, cols;
    std::vector<uint8_t> marks;   // 0 not crossed, 1 crossed, 2 traced
    std::vector<int> ringEdge, ringNext, ringPrev;
    std::vector<int> ringOf;      // ring entry of a border edge, -1 elsewhere
    int level = 0;

    float Value(int column, int row) const { return grid->values[row * grid->stride + column]; }
    int Row(int edge) const { return edge / (2 * cols); }
    int Column(int edge) const { return edge % cols; }
    bool Horizontal(int edge) const { return edge % (2 * cols) < cols; }

    bool OnBorder(int edge) const
    {
        return edge < cols || edge >= (rows - 1) * 2 * cols ||
               (edge % cols == 0 && edge % (2 * cols) != 0) || edge % cols == cols - 1;
    }

    void BuildRing()
    {
        auto add = [this](int edge) { ringEdge.push_back(edge); };
        add(-1);
        for (int j = 0; j <= cols - 2; ++j) add(j);
        add(-2);
        for (int k = 0; k <= rows - 2; ++k) add(k * 2 * cols + cols + cols - 1);
        add(-3);
        for (int j = cols - 2; j >= 0; --j) add((rows - 1) * 2 * cols + j);
        add(-4);
        for (int k = rows - 2; k >= 0; --k) add(k * 2 * cols + cols);
        int n = (int)ringEdge.size();
        ringNext.resize(n);
        ringPrev.resize(n);
        ringOf.assign(marks.size(), -1);
        for (int e = 0; e < n; ++e) {
            ringNext[e] = e + 1 == n ? 0 : e + 1;
            ringPrev[e] = e == 0 ? n - 1 : e - 1;
            if (ringEdge[e] >= 0)
                ringOf[ringEdge[e]] = e;
        }
    }

    bool Crossed(float z0, float z1, float l) const
    {
        return (z0 <= l && l < z1) || (z1 < l && l <= z0);
    }

    void Mark()
    {
        std::fill(marks.begin(), marks.end(), 0);
        float l = (float)level;
        for (int j = 0; j < cols; ++j)
            for (int k = 0; k < rows - 1; ++k)
                if (Crossed(Value(j, k), Value(j, k + 1), l))
                    marks[k * 2 * cols + cols + j] = 1;
        for (int j = 0; j < cols - 1; ++j)
            for (int k = 0; k < rows; ++k)
                if (Crossed(Value(j, k), Value(j + 1, k), l))
                    marks[k * 2 * cols + j] = 1;
    }

    // The crossing point of an edge, in grid units; false when both ends are equal.
    bool Crossing(int edge, float* x, float* y) const
    {
        int row = Row(edge), column = Column(edge);
        bool horizontal = Horizontal(edge);
        float z0 = Value(column, row);
        float z1 = horizontal ? Value(column + 1, row) : Value(column, row + 1);
        if (z1 - z0 == 0)
            return false;
        float t = ((float)(int16_t)level - z0) / (z1 - z0);
        *x = (float)column + (horizontal ? t : 0);
        *y = (float)row + (horizontal ? 0 : t);
        return true;
    }

    void NodePoint(int entry, float* x, float* y) const
    {
        switch (ringEdge[entry]) {
        case -1: *x = 0; *y = 0; return;
        case -2: *x = (float)(cols - 1); *y = 0; return;
        case -3: *x = (float)(cols - 1); *y = (float)(rows - 1); return;
        case -4: *x = 0; *y = (float)(rows - 1); return;
        default: *x = (float)Column(ringEdge[entry]); *y = (float)Row(ringEdge[entry]); return;
        }
    }

    bool RingPoint(ContourRecord* r, int entry)
    {
        float x, y;
        int edge = ringEdge[entry];
        if (edge >= 0 && marks[edge] != 0) {
            if (!Crossing(edge, &x, &y))
                NodePoint(entry, &x, &y);
        } else {
            NodePoint(entry, &x, &y);
        }
        return ContourStore::AddPoint(r, x, y);
    }

    // Traces one line from edge `start` entered in direction `dir`. The record is
    // appended by the caller whatever way the trace ends.
    void Trace(ContourRecord* r, int start, int dir)
    {
        if (r->points)
            return;
        float x, y;
        if (!Crossing(start, &x, &y) || !ContourStore::AddPoint(r, x, y))
            return;
        int f = start;
        const int c = cols;
        for (;;) {
            int candidates[3][2];
            switch (dir) {
            case 6: { int o[3][2] = {{f + c, 5}, {f + 2 * c, 6}, {f + c + 1, 3}}; memcpy(candidates, o, sizeof o); break; }
            case 3: { int o[3][2] = {{f + c, 6}, {f + 1, 3}, {f - c, 4}}; memcpy(candidates, o, sizeof o); break; }
            case 5: { int o[3][2] = {{f - c - 1, 4}, {f - 1, 5}, {f + c - 1, 6}}; memcpy(candidates, o, sizeof o); break; }
            default: { int o[3][2] = {{f - c + 1, 3}, {f - 2 * c, 4}, {f - c, 5}}; memcpy(candidates, o, sizeof o); break; }
            }
            int next = -1;
            for (int i = 0; i < 3; ++i) {
                int e = candidates[i][0];
                if (e >= 0 && e < (int)marks.size() && marks[e] == 1) {
                    next = e;
                    dir = candidates[i][1];
                    break;
                }
            }
            // A cell with no way on (a line of this level cut short before) ends the
            // line here rather than repeating its last point.
            if (next < 0)
                return;
            marks[next] = 2;
            if (!Crossing(next, &x, &y) || !ContourStore::AddPoint(r, x, y))
                return;
            f = next;
            if (f == start)
                return;
            if (OnBorder(f))
                break;
        }
        r->borderPart = (int16_t)r->pointCount;
        int entry = ringOf[f];
        int startEntry = ringOf[start];
        if (entry < 0 || startEntry < 0)
            return;
        do {
            entry = ringNext[entry];
            if (!RingPoint(r, entry))
                return;
        } while (entry != startEntry);
    }
};

} // namespace

void PerturbGrid(ContourGridView* grid, void* colourMap)
{
    if (grid->perturbationDone)
        return;
    int count = (int)Colour(54, 0, colourMap);
    std::vector<int16_t> levels(count > 0 ? count : 0);
    for (int i = 0; i < count; ++i)
        levels[i] = (int16_t)Colour(34, i, colourMap);
    for (int k = 0; k < grid->rows; ++k)
        for (int j = 0; j < grid->cols; ++j) {
            float& v = grid->values[k * grid->stride + j];
            int16_t n = (int16_t)(int)v;
            for (int16_t level : levels)
                if (n == level) {
                    n = (int16_t)(n + 1);
                    break;
                }
            v = n;
        }
    grid->perturbationDone = 1;
}

bool ComputeContours(ContourGridView* grid, ContourStore* store, void* colourMap)
{
    if (grid->rows < 2 || grid->cols < 2)
        return false;
    Tracer t;
    t.grid = grid;
    t.rows = grid->rows;
    t.cols = grid->cols;
    int count = (int)Colour(54, 0, colourMap);
    t.marks.assign((size_t)(grid->cols + 1) * (grid->rows + 1) * 2, 0);
    t.BuildRing();

    if (ContourRecord* frame = store->NextFree()) {
        for (size_t e = 0; e < t.ringEdge.size(); ++e) {
            float x, y;
            t.NodePoint((int)e, &x, &y);
            ContourStore::AddPoint(frame, x, y);
        }
        ContourStore::AddPoint(frame, 0, 0);
        frame->colourIndex = (int16_t)Colour(37, (int16_t)(int)t.Value(0, 0), colourMap);
        frame->borderPart = 1;
        store->SetPending(0, 0);
        store->Append(CONTOUR_EDGE, false, grid, colourMap);
    }

    bool stopped = false;
    const int cols = grid->cols;
    for (int i = 0; i < count && !stopped; ++i) {
        t.level = (int)Colour(34, i, colourMap);
        t.Mark();
        int entry = 0;
        do {
            entry = t.ringPrev[entry];
            int edge = t.ringEdge[entry];
            if (edge < 0 || t.marks[edge] != 1)
                continue;
            int dir, node = edge;
            if (edge < cols)
                dir = 6;
            else if (edge >= (grid->rows - 1) * 2 * cols)
                dir = 4;
            else if (edge % cols == 0)
                dir = 3;
            else
                dir = 5;
            if (dir == 3 || dir == 4) {
                int before = t.ringPrev[entry];
                node = t.ringEdge[before] >= 0 ? t.ringEdge[before] : t.ringEdge[t.ringPrev[before]];
            }
            ContourRecord* r = store->NextFree();
            if (!r)
                continue;
            t.Trace(r, edge, dir);
            store->SetPending(i, node);
            if (!store->Append(CONTOUR_EDGE, true, grid, colourMap))
                stopped = true;
        } while (entry != 0 && !stopped);

        for (int j = 0; j <= cols - 2 && !stopped; ++j)
            for (int k = 1; k <= grid->rows - 2 && !stopped; ++k) {
                int edge = k * 2 * cols + j;
                if (t.marks[edge] != 1)
                    continue;
                ContourRecord* r = store->NextFree();
                if (!r)
                    continue;
                t.Trace(r, edge, 4);
                store->SetPending(i, edge + 1);
                if (!store->Append(CONTOUR_INNER, true, grid, colourMap))
                    stopped = true;
            }
    }
    store->ComputeAreas(grid->rows, grid->cols);
    store->SortByArea();
    return true;
}
