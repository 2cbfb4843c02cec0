// A matrix page's cells as its window shows and takes them, and the matrix's own
// commands. The table itself (drawing, selection, typing) is the one worksheets use.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "KernelInternal.h"
#include "QKData.h"
#include "QKAccess.h"
#include "QKCallLog.h"
#include "QKScript.h"
#include "QKSysMethod.h"
#include "qxutil.h"

double CQKMatrixPage::Stored(double value) const
{
    if (value == MISSING_VALUE || !std::isfinite(value))
        return MISSING_VALUE;
    switch (m_internalType) {
    case 1:
        // Beyond a float's range the value cannot be kept: it is missing, not infinite.
        return std::fabs(value) > std::numeric_limits<float>::max() ? MISSING_VALUE : (double)(float)value;
    case 2:
    case 3: {
        const double limit = m_internalType == 2 ? 32767.0 : 2147483647.0;
        double r = std::nearbyint(value);
        return r > limit || r < -limit - 1 ? MISSING_VALUE : r;
    }
    default:
        return value;
    }
}

int CQKMatrixPage::GetColumnPixels(int) const
{
    return std::max(1, std::min(200, m_columnWidth)) * m_charWidth + 10;
}

std::string CQKMatrixPage::GetColumnHeading(int column) const
{
    return std::to_string(column);
}

CQKTablePage::CellKind CQKMatrixPage::GetCellKind(int column, int row) const
{
    if (column < 1 || column > m_cols || row < 0 || row >= m_rows)
        return CELL_NONE;
    return GetCell(row + 1, column) == MISSING_VALUE ? CELL_MISSING : CELL_NUMBER;
}

std::string CQKMatrixPage::FormatCell(int column, int row) const
{
    if (GetCellKind(column, row) == CELL_NONE)
        return std::string();
    double v = GetCell(row + 1, column);
    if (v == MISSING_VALUE)
        return "--";
    int digits = qkfxGetQrxSystem().GetRefNumeric().GetNumDecDigits(), places = -1;
    if (m_numDisplay == 1)
        places = std::max(0, m_digits);
    else if (m_numDisplay == 2)
        digits = std::max(1, m_digits);
    return qkFormatCellNumber(v, m_dataFormat, digits, places);
}

bool CQKMatrixPage::SetCellFromText(int column, int row, const std::string& typed, std::string* why)
{
    if (GetCellKind(column, row) == CELL_NONE) {
        *why = "there is no such cell";
        return false;
    }
    std::string text = qkTrimBlanks(typed);
    double v = MISSING_VALUE;
    if (!text.empty() && text != "--" && !qkParseTypedNumber(text, &v)) {
        *why = "a matrix holds numbers: \"" + text + "\" is not a number";
        return false;
    }
    return SetCell(row + 1, column, v);
}

void CQKMatrixPage::ClearSelected()
{
    int c1 = m_selC1, c2 = m_selC2, r1 = m_selR1, r2 = m_selR2;
    if (c1 < 1) {
        c1 = c2 = m_activeColumn;
        r1 = r2 = m_activeRow + 1;
    } else if (r1 == 0 && r2 == 0) {
        r1 = 1;
        r2 = m_rows;
    }
    for (int r = std::max(1, r1); r <= std::min(r2, m_rows); ++r)
        for (int c = std::max(1, c1); c <= std::min(c2, m_cols); ++c)
            SetCell(r, c, MISSING_VALUE);
    Redraw();
}

bool CQKMatrixPage::Transpose()
{
    std::vector<double> cells(m_cells.size());
    for (int r = 0; r < m_rows; ++r)
        for (int c = 0; c < m_cols; ++c)
            cells[(size_t)c * m_rows + r] = m_cells[(size_t)r * m_cols + c];
    m_cells.swap(cells);
    std::swap(m_rows, m_cols);
    std::swap(m_x1, m_y1);
    std::swap(m_x2, m_y2);
    SelectNone();
    m_activeRow = std::min(m_activeRow, m_rows - 1);
    m_activeColumn = std::min(m_activeColumn, m_cols);
    m_project->SetProjectModified(true);
    Redraw();
    return true;
}

bool CQKMatrixPage::Invert(std::string* why)
{
    if (m_rows != m_cols) {
        *why = "only a square matrix has an inverse: " + GetName() + " has " + std::to_string(m_rows) + " rows and " +
               std::to_string(m_cols) + " columns";
        return false;
    }
    const int n = m_rows;
    for (double v : m_cells)
        if (v == MISSING_VALUE) {
            *why = GetName() + " has missing values: it has no inverse";
            return false;
        }
    std::vector<double> inv(m_cells);
    int answer = UtilInvertMatrix(n, inv.data(), 1);
    if (answer != 0) {
        *why = answer == 1 ? GetName() + " is singular: it has no inverse" : GetName() + " cannot be inverted";
        return false;
    }
    for (double& v : inv)
        v = Stored(v);
    m_cells.swap(inv);
    m_project->SetProjectModified(true);
    Redraw();
    return true;
}

bool CQKMatrixPage::Expand(int columnFactor, int rowFactor)
{
    if (columnFactor < 1 || rowFactor < 1 || (long long)m_rows * rowFactor * m_cols * columnFactor > QK_MAX_ROWS)
        return false;
    const int rows = m_rows * rowFactor, cols = m_cols * columnFactor;
    std::vector<double> cells((size_t)rows * cols);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            cells[(size_t)r * cols + c] = m_cells[(size_t)(r / rowFactor) * m_cols + c / columnFactor];
    m_cells.swap(cells);
    m_rows = rows;
    m_cols = cols;
    SelectNone();
    m_project->SetProjectModified(true);
    Redraw();
    return true;
}

bool CQKMatrixPage::Shrink(int columnFactor, int rowFactor)
{
    if (columnFactor < 1 || rowFactor < 1 || columnFactor > m_cols || rowFactor > m_rows)
        return false;
    // Cells left over at the right and bottom edges make no block of their own.
    const int rows = m_rows / rowFactor, cols = m_cols / columnFactor;
    std::vector<double> cells((size_t)rows * cols);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            double sum = 0;
            int count = 0;
            for (int i = 0; i < rowFactor; ++i)
                for (int j = 0; j < columnFactor; ++j) {
                    double v = m_cells[(size_t)(r * rowFactor + i) * m_cols + c * columnFactor + j];
                    if (v != MISSING_VALUE) {
                        sum += v;
                        ++count;
                    }
                }
            cells[(size_t)r * cols + c] = count ? Stored(sum / count) : MISSING_VALUE;
        }
    m_cells.swap(cells);
    m_rows = rows;
    m_cols = cols;
    m_activeRow = std::min(m_activeRow, m_rows - 1);
    m_activeColumn = std::min(m_activeColumn, m_cols);
    SelectNone();
    m_project->SetProjectModified(true);
    Redraw();
    return true;
}

bool CQKMatrixPage::Smooth(int size, std::string* why)
{
    if (size < 3 || size > 99 || size % 2 == 0) {
        *why = "the smoothing block must be an odd number of cells from 3 to 99, not " + std::to_string(size);
        return false;
    }
    // Sums and counts of the cells holding a value over every top-left rectangle, so each
    // block's mean costs four lookups whatever its size.
    const int h = size / 2, w = m_cols + 1;
    std::vector<long double> sum((size_t)(m_rows + 1) * w, 0);
    std::vector<int> count((size_t)(m_rows + 1) * w, 0);
    for (int r = 0; r < m_rows; ++r)
        for (int c = 0; c < m_cols; ++c) {
            const double v = m_cells[(size_t)r * m_cols + c];
            const size_t at = (size_t)(r + 1) * w + c + 1, up = (size_t)r * w + c + 1;
            const bool has = v != MISSING_VALUE;
            sum[at] = (has ? v : 0) + sum[up] + sum[at - 1] - sum[up - 1];
            count[at] = (has ? 1 : 0) + count[up] + count[at - 1] - count[up - 1];
        }
    std::vector<double> cells(m_cells.size());
    for (int r = 0; r < m_rows; ++r)
        for (int c = 0; c < m_cols; ++c) {
            const size_t i = (size_t)r * m_cols + c;
            if (m_cells[i] == MISSING_VALUE) {
                cells[i] = MISSING_VALUE;
                continue;
            }
            const int r0 = std::max(0, r - h), r1 = std::min(m_rows, r + h + 1);
            const int c0 = std::max(0, c - h), c1 = std::min(m_cols, c + h + 1);
            const size_t a = (size_t)r0 * w + c0, b = (size_t)r0 * w + c1, d = (size_t)r1 * w + c0, e = (size_t)r1 * w + c1;
            const long double s = sum[e] - sum[b] - sum[d] + sum[a];
            const int n = count[e] - count[b] - count[d] + count[a];
            cells[i] = Stored((double)(s / n));
        }
    m_cells.swap(cells);
    m_project->SetProjectModified(true);
    Redraw();
    return true;
}

bool CQKMatrixPage::Integrate(double* volume, std::string* why) const
{
    if (m_rows < 2 || m_cols < 2) {
        *why = GetName() + " has " + std::to_string(m_rows) + " rows and " + std::to_string(m_cols) +
               " columns: it spans no area to integrate over";
        return false;
    }
    long double total = 0;
    for (int r = 0; r < m_rows; ++r) {
        const long double wr = r == 0 || r == m_rows - 1 ? 0.5L : 1.0L;
        for (int c = 0; c < m_cols; ++c) {
            const double v = m_cells[(size_t)r * m_cols + c];
            if (v == MISSING_VALUE) {
                *why = GetName() + " has a missing value in row " + std::to_string(r + 1) + ", column " +
                       std::to_string(c + 1) + ": there is no volume under it";
                return false;
            }
            total += wr * (c == 0 || c == m_cols - 1 ? 0.5L : 1.0L) * v;
        }
    }
    const long double dx = ((long double)m_x2 - m_x1) / (m_cols - 1), dy = ((long double)m_y2 - m_y1) / (m_rows - 1);
    *volume = (double)(total * dx * dy);
    return true;
}

bool CQKMatrixPage::SetValuesFromExpression(int r1, int r2, int c1, int c2, const std::string& formula,
                                            std::string* why)
{
    if (r1 < 0 || c1 < 0 || r2 > m_rows || c2 > m_cols || r1 >= r2 || c1 >= c2) {
        *why = "rows " + std::to_string(r1 + 1) + " to " + std::to_string(r2) + " and columns " + std::to_string(c1 + 1) +
               " to " + std::to_string(c2) + " are not in " + GetName() + " (" + std::to_string(m_rows) + " x " +
               std::to_string(m_cols) + ")";
        return false;
    }
    if (qkTrimBlanks(formula).empty()) {
        *why = "there is no formula to set the values from";
        return false;
    }
    CQKScript& script = qkfxGetScript();
    const int i = script.GetVariableSlot("i"), j = script.GetVariableSlot("j"), x = script.GetVariableSlot("x"),
              y = script.GetVariableSlot("y");
    const int handle = script.PrepareExpression(formula);
    // Computed in full before any cell changes, so a formula failing halfway loses nothing.
    std::vector<double> values((size_t)(r2 - r1) * (c2 - c1));
    const double dx = m_cols > 1 ? (m_x2 - m_x1) / (m_cols - 1) : 0, dy = m_rows > 1 ? (m_y2 - m_y1) / (m_rows - 1) : 0;
    size_t k = 0;
    for (int r = r1; r < r2; ++r)
        for (int c = c1; c < c2; ++c) {
            script.SetVariableBySlot(i, r + 1);
            script.SetVariableBySlot(j, c + 1);
            script.SetVariableBySlot(x, m_x1 + c * dx);
            script.SetVariableBySlot(y, m_y1 + r * dy);
            double v;
            if (handle == 0 || !script.EvaluatePrepared(handle, &v)) {
                *why = "Cell(i,j) = " + formula + ": " + script.GetLastError();
                return false;
            }
            values[k++] = std::isfinite(v) ? Stored(v) : MISSING_VALUE;
        }
    k = 0;
    for (int r = r1; r < r2; ++r)
        for (int c = c1; c < c2; ++c)
            m_cells[(size_t)r * m_cols + c] = values[k++];
    m_expression = formula;
    m_project->SetProjectModified(true);
    Redraw();
    return true;
}

int CQKMatrixPage::OnEditProperties(int)
{
    qkfxGetCallLog().Add("CQKMatrixPage::OnEditProperties", GetName());
    return 0;
}

int CQKMatrixPage::OnEditDimensions()
{
    qkfxGetCallLog().Add("CQKMatrixPage::OnEditDimensions", GetName());
    return 0;
}

int CQKMatrixPage::EditMatrixValues()
{
    qkfxGetCallLog().Add("CQKMatrixPage::EditMatrixValues", GetName());
    return 0;
}

CQKWksPage* CQKMatrixPage::ConvertToWorksheet(bool xyz)
{
    auto* wks = dynamic_cast<CQKWksPage*>(m_project->CreatePage(QK_PAGE_WKS));
    if (wks == nullptr)
        return nullptr;
    const int columns = xyz ? 3 : m_cols;
    while (wks->GetNumCols() < columns)
        wks->AddColumn();
    std::vector<double> values;
    if (xyz) {
        wks->GetColumn(1)->m_type = QK_COLTYPE_X;
        wks->GetColumn(2)->m_type = QK_COLTYPE_Y;
        wks->GetColumn(3)->m_type = QK_COLTYPE_Z;
        const double dx = m_cols > 1 ? (m_x2 - m_x1) / (m_cols - 1) : 0, dy = m_rows > 1 ? (m_y2 - m_y1) / (m_rows - 1) : 0;
        std::vector<double> x, y;
        for (int r = 0; r < m_rows; ++r)
            for (int c = 0; c < m_cols; ++c) {
                x.push_back(m_x1 + c * dx);
                y.push_back(m_y1 + r * dy);
            }
        wks->GetColumn(1)->SetValues(0, x.data(), (int)x.size());
        wks->GetColumn(2)->SetValues(0, y.data(), (int)y.size());
        wks->GetColumn(3)->SetValues(0, m_cells.data(), (int)m_cells.size());
    } else {
        // Every column is Y: the matrix's columns are alike.
        for (int c = 1; c <= m_cols; ++c) {
            values.clear();
            for (int r = 1; r <= m_rows; ++r)
                values.push_back(GetCell(r, c));
            wks->GetColumn(c)->m_type = QK_COLTYPE_Y;
            wks->GetColumn(c)->SetValues(0, values.data(), (int)values.size());
        }
    }
    qkfxGetAccess()->OnInternalNewPage(wks, TRUE);
    return wks;
}
