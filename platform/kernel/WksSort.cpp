// Sorting a worksheet's rows, filling a column from a formula, and what the selection is.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <numeric>

#include "KernelInternal.h"
#include "QKData.h"
#include "QKScript.h"
#include "QKUtil.h"

namespace {

// One cell as a sort key sees it: its class orders first (numbers, then texts), missing
// values go to either end.
struct KeyCell {
    int kind; // 0 number, 1 text, 2 missing
    double value;
    std::string text; // upper-cased
};

KeyCell ReadKey(const CQKDataset* c, int row)
{
    KeyCell k{0, 0.0, std::string()};
    if (c->IsText(row)) {
        k.kind = 1;
        k.text = c->GetText(row);
        for (char& ch : k.text)
            ch = (char)toupper((unsigned char)ch);
    } else {
        k.value = c->GetValue(row);
        if (k.value == MISSING_VALUE)
            k.kind = 2;
    }
    return k;
}

// -1, 0, 1 in ascending order.
int CompareKeys(const KeyCell& a, const KeyCell& b, bool missingLargest)
{
    auto rank = [&](const KeyCell& k) { return k.kind == 2 ? (missingLargest ? 3 : -1) : k.kind; };
    int ra = rank(a), rb = rank(b);
    if (ra != rb)
        return ra < rb ? -1 : 1;
    if (a.kind == 0)
        return a.value < b.value ? -1 : a.value > b.value ? 1 : 0;
    if (a.kind == 1)
        return a.text < b.text ? -1 : a.text > b.text ? 1 : 0;
    return 0;
}

struct Cell {
    bool isText;
    double value;
    std::string text;
};

// Missing values at the end of a column are no rows of it.
void TrimTrailingMissing(CQKDataset* c)
{
    int end = c->GetEnd();
    while (end > 0 && !c->IsText(end - 1) && c->GetValue(end - 1) == MISSING_VALUE)
        --end;
    if (end < c->GetEnd())
        c->SetRange(std::min(c->GetFirst(), end), end);
}

} // namespace

bool CQKWksPage::GetSelectedRowRange(int* column, int* first, int* end) const
{
    int c1 = m_selC1 >= 1 ? m_selC1 : m_activeColumn;
    if (GetColumn(c1) == nullptr)
        return false;
    *column = c1;
    if (m_selC1 >= 1 && m_selR1 >= 1) {
        *first = m_selR1 - 1;
        *end = m_selR2;
        return true;
    }
    int rows = 0;
    int c2 = m_selC1 >= 1 ? std::min(m_selC2, GetNumCols()) : c1;
    for (int n = c1; n <= c2; ++n)
        rows = std::max(rows, GetColumn(n)->GetEnd());
    *first = 0;
    *end = rows;
    return true;
}

BOOL CQKWksPage::SortColumns(int count, const char* const* keys, BOOL missingLargest, BOOL wholeWorksheet,
                             std::string* why)
{
    std::string reason;
    if (why == nullptr)
        why = &reason;
    struct Key {
        CQKDataset* column;
        bool descending;
    };
    std::vector<Key> parsed;
    for (int k = 0; k < count; ++k) {
        std::string text = keys[k] ? keys[k] : "";
        size_t colon = text.find(':');
        char direction = colon == 1 ? (char)toupper((unsigned char)text[0]) : 0;
        if (direction != 'A' && direction != 'D') {
            *why = "\"" + text + "\" is no sort key: it begins with A: or D:";
            return FALSE;
        }
        std::string name = text.substr(2);
        name.erase(0, name.find_first_not_of(' '));
        CQKDataset* c = FindColumn(name);
        if (c == nullptr) {
            *why = "the worksheet " + GetName() + " has no column \"" + name + "\" to sort by";
            return FALSE;
        }
        parsed.push_back({c, direction == 'D'});
    }
    if (parsed.empty()) {
        *why = "no column to sort by";
        return FALSE;
    }
    // The columns whose rows move, and the rows.
    int c1 = 1, c2 = GetNumCols(), first = 0, end = 0;
    if (!wholeWorksheet) {
        int column;
        if (!GetSelectedRowRange(&column, &first, &end)) {
            *why = "there is no column to sort";
            return FALSE;
        }
        c1 = column;
        c2 = m_selC1 >= 1 ? std::min(m_selC2, GetNumCols()) : column;
    }
    if (wholeWorksheet || m_selC1 < 1 || m_selR1 < 1) {
        first = 0;
        end = 0;
        for (int n = c1; n <= c2; ++n)
            end = std::max(end, GetColumn(n)->GetEnd());
        for (const Key& k : parsed)
            end = std::max(end, k.column->GetEnd());
    }
    if (end - first < 2)
        return TRUE;
    const int rows = end - first;
    std::vector<std::vector<KeyCell>> keyCells(parsed.size());
    for (size_t k = 0; k < parsed.size(); ++k) {
        keyCells[k].reserve((size_t)rows);
        for (int r = first; r < end; ++r)
            keyCells[k].push_back(ReadKey(parsed[k].column, r));
    }
    std::vector<int> order((size_t)rows);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        for (size_t k = 0; k < parsed.size(); ++k) {
            int c = CompareKeys(keyCells[k][(size_t)a], keyCells[k][(size_t)b], missingLargest != FALSE);
            if (c != 0)
                return parsed[k].descending ? c > 0 : c < 0;
        }
        return false;
    });
    for (int n = c1; n <= c2; ++n) {
        CQKDataset* c = GetColumn(n);
        std::vector<Cell> cells;
        cells.reserve((size_t)rows);
        for (int r = first; r < end; ++r)
            cells.push_back({c->IsText(r), c->GetValue(r), c->IsText(r) ? c->GetText(r) : std::string()});
        for (int r = 0; r < rows; ++r) {
            const Cell& from = cells[(size_t)order[(size_t)r]];
            if (from.isText)
                c->SetText(first + r, from.text);
            else if (from.value != MISSING_VALUE || first + r < c->GetEnd())
                c->SetValue(first + r, from.value);
        }
        TrimTrailingMissing(c);
    }
    m_project->SetProjectModified(true);
    Redraw();
    return TRUE;
}

bool CQKWksPage::SetValuesFromExpression(int column, const std::string& formula, int first, int end,
                                         std::string* why)
{
    CQKDataset* c = GetColumn(column);
    if (c == nullptr) {
        *why = "the worksheet " + GetName() + " has no column " + std::to_string(column);
        return false;
    }
    if (first < 0 || end <= first || end > QK_MAX_ROWS) {
        *why = "rows " + std::to_string(first + 1) + " to " + std::to_string(end) + " are no range of rows";
        return false;
    }
    // Column names in the formula are the columns of this worksheet.
    CQKPage* wasActive = m_project->GetActivePage();
    m_project->SetActivePage(this);
    std::vector<double> values;
    CQKScript& script = qkfxGetScript();
    bool ok = script.EvaluateRows(formula, first, end, &values);
    m_project->SetActivePage(wasActive);
    if (!ok) {
        *why = script.GetLastError();
        return false;
    }
    c = GetColumn(column); // the formula cannot delete it, but a script hook might
    if (c == nullptr || !c->SetValues(first, values.data(), (int)values.size())) {
        *why = "the values do not fit into the column";
        return false;
    }
    TrimTrailingMissing(c);
    if (c->m_format == QK_FORMAT_TEXT)
        c->SetFormat(QK_FORMAT_NUMERIC);
    c->m_function = formula;
    m_project->SetProjectModified(true);
    Redraw();
    return true;
}

int CQKTablePage::GetSelectionKind() const
{
    if (m_selC1 < 1)
        return 1;
    const bool severalColumns = m_selC2 > m_selC1;
    if (m_selWholeRows)
        return m_selR2 > m_selR1 ? 8 : 0;
    if (m_selR1 == 0) {
        if (m_selC1 == 1 && m_selC2 >= GetNumCols() && GetNumCols() > 1)
            return 4;
        return severalColumns ? 9 : 2;
    }
    const bool severalRows = m_selR2 > m_selR1;
    if (!severalColumns)
        return severalRows ? 5 : 3;
    return severalRows ? 6 : 7;
}

int CQKTablePage::HitTestColumnEdge(int x, int y) const
{
    RECT r;
    if (!GetDrawRect(r) || y < r.top || y >= r.top + GetHeaderHeight())
        return 0;
    int right = r.left + GetRowNumberWidth();
    for (int c = m_leftColumn; c <= GetNumCols() && right < r.right; ++c) {
        right += GetColumnPixels(c);
        if (x >= right - 3 && x <= right + 2)
            return c;
    }
    return 0;
}

bool CQKWksPage::SetColumnPixels(int column, int pixels)
{
    CQKDataset* c = GetColumn(column);
    if (c == nullptr)
        return false;
    int width = std::max(1, std::min(200, (pixels - 10 + m_charWidth / 2) / m_charWidth));
    if (width != c->m_width) {
        c->m_width = width;
        m_project->SetProjectModified(true);
        Redraw();
    }
    return true;
}
