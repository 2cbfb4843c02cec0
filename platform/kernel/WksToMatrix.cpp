// Worksheet data into a new matrix: the cells as they stand, columns cut into rows, X-Y
// pairs counted into bins, X-Y-Z triples on a regular grid, and scattered X-Y-Z triples
// gridded by inverse-distance weighting.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "KernelInternal.h"
#include "QKAccess.h"
#include "QKData.h"
#include "qxutil.h"

namespace {

std::string Num(double v)
{
    char buf[32];
    snprintf(buf, sizeof buf, "%.10g", v);
    return buf;
}

// A new matrix of rows x cols, or null with *why: nothing is made.
CQKMatrixPage* NewMatrix(CQKProject& project, int rows, int cols, std::string* why)
{
    if (rows < 1 || cols < 1 || (long long)rows * cols > QK_MAX_ROWS) {
        *why = "a matrix of " + std::to_string(rows) + " rows and " + std::to_string(cols) +
               " columns cannot be made (at most " + std::to_string(QK_MAX_ROWS) + " cells)";
        return nullptr;
    }
    auto* m = dynamic_cast<CQKMatrixPage*>(project.CreatePage(QK_PAGE_MATRIX));
    if (m == nullptr) {
        *why = "no matrix can be made";
        return nullptr;
    }
    if (!m->SetDimensions(rows, cols)) {
        m->Destroy();
        *why = "no matrix can be made";
        return nullptr;
    }
    return m;
}

CQKMatrixPage* Show(CQKMatrixPage* m)
{
    qkfxGetAccess()->OnInternalNewPage(m, TRUE);
    return m;
}

// Sorted distinct values; values closer than `merge` to the first of their group are one.
std::vector<double> Distinct(std::vector<double> v, double merge)
{
    std::sort(v.begin(), v.end());
    std::vector<double> out;
    for (double x : v)
        if (out.empty() || x - out.back() > merge)
            out.push_back(x);
    return out;
}

} // namespace

void CQKWksPage::GetConversionBlock(int* c1, int* c2, int* first, int* end) const
{
    // One cell selected is only where the user clicked last: the whole worksheet is meant.
    const bool oneCell = m_selC1 >= 1 && m_selC1 == m_selC2 && m_selR1 >= 1 && m_selR1 == m_selR2;
    const bool selected = m_selC1 >= 1 && !oneCell;
    *c1 = selected ? m_selC1 : 1;
    *c2 = selected ? std::min(m_selC2, GetNumCols()) : GetNumCols();
    if (selected && m_selR1 >= 1) {
        *first = m_selR1 - 1;
        *end = m_selR2;
        return;
    }
    *first = 0;
    *end = 0;
    for (int c = *c1; c <= *c2; ++c)
        *end = std::max(*end, GetFilledRows(c));
}

bool CQKWksPage::GetXYZColumns(int c1, int c2, int* x, int* y, int* z, std::string* why) const
{
    *x = *y = *z = 0;
    for (int c = c1; c <= c2; ++c) {
        int type = GetColumn(c)->m_type;
        int* slot = type == QK_COLTYPE_X ? x : type == QK_COLTYPE_Y ? y : type == QK_COLTYPE_Z ? z : nullptr;
        if (slot != nullptr && *slot == 0)
            *slot = c;
    }
    if (*x && *y && *z)
        return true;
    // Without the designations the first three columns are X, Y and Z.
    if (c2 - c1 + 1 < 3) {
        *why = "X, Y and Z columns are needed: designate them, or select three columns";
        return false;
    }
    *x = c1;
    *y = c1 + 1;
    *z = c1 + 2;
    return true;
}

CQKMatrixPage* CQKWksPage::ConvertToMatrixDirect(std::string* why)
{
    int c1, c2, first, end;
    GetConversionBlock(&c1, &c2, &first, &end);
    if (c2 < c1 || end <= first) {
        *why = "there are no cells to convert";
        return nullptr;
    }
    CQKMatrixPage* m = NewMatrix(*m_project, end - first, c2 - c1 + 1, why);
    if (m == nullptr)
        return nullptr;
    for (int c = c1; c <= c2; ++c)
        for (int r = first; r < end; ++r)
            m->SetCell(r - first + 1, c - c1 + 1, GetColumn(c)->GetValue(r));
    m->m_x1 = 1;
    m->m_x2 = c2 - c1 + 1;
    m->m_y1 = 1;
    m->m_y2 = end - first;
    return Show(m);
}

CQKMatrixPage* CQKWksPage::ConvertToMatrixExpand(int columns, std::string* why)
{
    if (columns < 1) {
        *why = "the matrix needs at least one column";
        return nullptr;
    }
    int c1, c2, first, end;
    GetConversionBlock(&c1, &c2, &first, &end);
    // Each column's values fill rows of `columns` cells in turn; its last row is filled up
    // with missing values, and the next column starts a row of its own.
    long long rows = 0;
    std::vector<std::pair<int, int>> ranges; // per column: first row, end past
    for (int c = c1; c <= c2; ++c) {
        int e = std::min(end, GetFilledRows(c));
        ranges.push_back({first, e});
        if (e > first)
            rows += (e - first + columns - 1) / columns;
    }
    if (rows == 0) {
        *why = "there are no values to convert";
        return nullptr;
    }
    if (rows * columns > QK_MAX_ROWS)
        rows = QK_MAX_ROWS + 1; // NewMatrix says why
    CQKMatrixPage* m = NewMatrix(*m_project, (int)rows, columns, why);
    if (m == nullptr)
        return nullptr;
    int row = 1;
    for (int c = c1; c <= c2; ++c) {
        const auto& range = ranges[c - c1];
        for (int r = range.first; r < range.second; ++r)
            m->SetCell(row + (r - range.first) / columns, 1 + (r - range.first) % columns, GetColumn(c)->GetValue(r));
        if (range.second > range.first)
            row += (range.second - range.first + columns - 1) / columns;
    }
    m->m_x1 = 1;
    m->m_x2 = columns;
    m->m_y1 = 1;
    m->m_y2 = (double)rows;
    return Show(m);
}

CQKMatrixPage* CQKWksPage::ConvertToMatrixBinned(int xBins, int yBins, std::string* why)
{
    if (xBins < 1 || yBins < 1) {
        *why = "there must be at least one bin in X and in Y";
        return nullptr;
    }
    int c1, c2, first, end;
    GetConversionBlock(&c1, &c2, &first, &end);
    if (c2 - c1 + 1 < 2) {
        *why = "X and Y columns are needed: select two columns";
        return nullptr;
    }
    // The first X column is X and the first Y column after it Y; without an X column the
    // first two columns.
    int xc = 0, yc = 0;
    for (int c = c1; c <= c2 && !xc; ++c)
        if (GetColumn(c)->m_type == QK_COLTYPE_X)
            xc = c;
    for (int c = xc + 1; xc && c <= c2 && !yc; ++c)
        if (GetColumn(c)->m_type == QK_COLTYPE_Y)
            yc = c;
    if (!xc || !yc) {
        xc = c1;
        yc = c1 + 1;
    }
    std::vector<double> xs, ys;
    for (int r = first; r < end; ++r) {
        double x = GetColumn(xc)->GetValue(r), y = GetColumn(yc)->GetValue(r);
        if (x != MISSING_VALUE && y != MISSING_VALUE) {
            xs.push_back(x);
            ys.push_back(y);
        }
    }
    if (xs.empty()) {
        *why = "no row holds both an X and a Y value";
        return nullptr;
    }
    const auto [xLo, xHi] = std::minmax_element(xs.begin(), xs.end());
    const auto [yLo, yHi] = std::minmax_element(ys.begin(), ys.end());
    const double x0 = *xLo, y0 = *yLo;
    const double xw = (*xHi - x0) / xBins, yw = (*yHi - y0) / yBins;
    CQKMatrixPage* m = NewMatrix(*m_project, yBins, xBins, why);
    if (m == nullptr)
        return nullptr;
    // Bins are closed below and open above; the largest value falls into the last bin.
    std::vector<double> counts((size_t)xBins * yBins, 0.0);
    auto bin = [](double v, double lo, double width, int n) {
        int k = width > 0 ? (int)std::floor((v - lo) / width) : 0;
        return std::min(std::max(k, 0), n - 1);
    };
    for (size_t i = 0; i < xs.size(); ++i)
        counts[(size_t)bin(ys[i], y0, yw, yBins) * xBins + bin(xs[i], x0, xw, xBins)] += 1;
    for (int r = 1; r <= yBins; ++r)
        for (int c = 1; c <= xBins; ++c)
            m->SetCell(r, c, counts[(size_t)(r - 1) * xBins + (c - 1)]);
    // The matrix's X and Y are the bins' centres.
    m->m_x1 = x0 + xw / 2;
    m->m_x2 = x0 + xw * (xBins - 0.5);
    m->m_y1 = y0 + yw / 2;
    m->m_y2 = y0 + yw * (yBins - 0.5);
    return Show(m);
}

bool CQKWksPage::GetXYZPoints(std::vector<double>* x, std::vector<double>* y, std::vector<double>* z,
                              std::string* why) const
{
    int c1, c2, first, end, xc, yc, zc;
    GetConversionBlock(&c1, &c2, &first, &end);
    if (!GetXYZColumns(c1, c2, &xc, &yc, &zc, why))
        return false;
    for (int r = first; r < end; ++r) {
        double a = GetColumn(xc)->GetValue(r), b = GetColumn(yc)->GetValue(r), v = GetColumn(zc)->GetValue(r);
        if (a != MISSING_VALUE && b != MISSING_VALUE && v != MISSING_VALUE) {
            x->push_back(a);
            y->push_back(b);
            z->push_back(v);
        }
    }
    if (x->empty()) {
        *why = "no row holds X, Y and Z values";
        return false;
    }
    return true;
}

CQKMatrixPage* CQKWksPage::ConvertToMatrixRegular(std::string* why)
{
    std::vector<double> x, y, z;
    if (!GetXYZPoints(&x, &y, &z, why))
        return nullptr;
    // The grid's nodes: the distinct X and Y values, which must be evenly spaced (within a
    // thousandth of the step: values read from text carry rounding) because a matrix's X
    // and Y are.
    struct Axis {
        std::vector<double> nodes;
        double lo = 0, step = 0;
    } axes[2];
    const std::vector<double>* values[2] = {&x, &y};
    for (int a = 0; a < 2; ++a) {
        const auto [lo, hi] = std::minmax_element(values[a]->begin(), values[a]->end());
        Axis& axis = axes[a];
        axis.nodes = Distinct(*values[a], (*hi - *lo) * 1e-9);
        axis.lo = *lo;
        axis.step = axis.nodes.size() > 1 ? (*hi - *lo) / (axis.nodes.size() - 1) : 0;
        for (size_t k = 0; k < axis.nodes.size(); ++k)
            if (std::fabs(axis.nodes[k] - (axis.lo + k * axis.step)) > axis.step * 1e-3) {
                *why = std::string("the ") + (a ? "Y" : "X") + " values are not evenly spaced (" +
                       Num(axis.nodes[k]) + " is off the grid): convert them as random XYZ";
                return nullptr;
            }
    }
    const int cols = (int)axes[0].nodes.size(), rows = (int)axes[1].nodes.size();
    if ((long long)cols * rows > QK_MAX_ROWS) {
        *why = "the X and Y values span " + std::to_string(cols) + " x " + std::to_string(rows) +
               " nodes, more than a matrix holds";
        return nullptr;
    }
    auto index = [](const Axis& axis, double v) {
        return axis.step > 0 ? (int)std::lround((v - axis.lo) / axis.step) : 0;
    };
    std::vector<char> filled((size_t)cols * rows, 0);
    for (size_t i = 0; i < x.size(); ++i) {
        size_t cell = (size_t)index(axes[1], y[i]) * cols + index(axes[0], x[i]);
        if (filled[cell]) {
            *why = "two rows hold X = " + Num(x[i]) + ", Y = " + Num(y[i]) + ": a cell takes one value";
            return nullptr;
        }
        filled[cell] = 1;
    }
    CQKMatrixPage* m = NewMatrix(*m_project, rows, cols, why);
    if (m == nullptr)
        return nullptr;
    for (size_t i = 0; i < x.size(); ++i)
        m->SetCell(index(axes[1], y[i]) + 1, index(axes[0], x[i]) + 1, z[i]);
    m->m_x1 = axes[0].nodes.front();
    m->m_x2 = axes[0].nodes.back();
    m->m_y1 = axes[1].nodes.front();
    m->m_y2 = axes[1].nodes.back();
    return Show(m);
}

CQKMatrixPage* CQKWksPage::ConvertToMatrixRandom(int cols, int rows, std::string* why)
{
    if (cols < 2 || rows < 2) {
        *why = "the grid needs at least two columns and two rows";
        return nullptr;
    }
    std::vector<double> x, y, z;
    if (!GetXYZPoints(&x, &y, &z, why))
        return nullptr;
    const auto [xLo, xHi] = std::minmax_element(x.begin(), x.end());
    const auto [yLo, yHi] = std::minmax_element(y.begin(), y.end());
    const double x0 = *xLo, x1 = *xHi, y0 = *yLo, y1 = *yHi;
    if (x1 <= x0 || y1 <= y0) {
        *why = std::string("the ") + (x1 <= x0 ? "X" : "Y") + " values are all equal: no grid spans them";
        return nullptr;
    }
    // Each node takes the mean of the Z values weighted by the inverse square of their
    // distance, measured with X and Y scaled to the grid's extent (so that the units of X
    // and Y do not tilt the weights); a node on a point takes that point's Z (the mean
    // where several lie on it). The work grows with nodes times points, so a large grid
    // shows a progress box (after half a second) whose Cancel leaves no matrix behind.
    std::vector<double> u(x.size()), v(x.size());
    for (size_t i = 0; i < x.size(); ++i) {
        u[i] = (x[i] - x0) / (x1 - x0);
        v[i] = (y[i] - y0) / (y1 - y0);
    }
    HWND owner = qkfxGetAccess()->GetMainFrame();
    UtilProgressBox(owner, UTIL_PROGRESS_OPEN_ALT, 0, "Gridding random XYZ data...");
    std::vector<double> cells((size_t)rows * cols);
    bool cancelled = false;
    for (int r = 0; r < rows && !cancelled; ++r) {
        const double nv = (double)r / (rows - 1);
        for (int c = 0; c < cols; ++c) {
            const double nu = (double)c / (cols - 1);
            double sum = 0, weights = 0, onSum = 0;
            int on = 0;
            for (size_t i = 0; i < u.size(); ++i) {
                const double du = u[i] - nu, dv = v[i] - nv, d2 = du * du + dv * dv;
                if (d2 == 0) {
                    onSum += z[i];
                    ++on;
                } else {
                    sum += z[i] / d2;
                    weights += 1 / d2;
                }
            }
            cells[(size_t)r * cols + c] = on ? onSum / on : sum / weights;
        }
        UtilProgressBox(owner, UTIL_PROGRESS_SET, (r + 1) * 100 / rows, nullptr);
        cancelled = UtilProgressBox(owner, UTIL_PROGRESS_POLL, 0, nullptr) != 0;
    }
    UtilProgressBox(owner, UTIL_PROGRESS_CLOSE, 0, nullptr);
    if (cancelled) {
        *why = "the gridding was cancelled";
        return nullptr;
    }
    CQKMatrixPage* m = NewMatrix(*m_project, rows, cols, why);
    if (m == nullptr)
        return nullptr;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            m->SetCell(r + 1, c + 1, cells[(size_t)r * cols + c]);
    m->m_x1 = x0;
    m->m_x2 = x1;
    m->m_y1 = y0;
    m->m_y2 = y1;
    return Show(m);
}
