// Worksheet pages whose data lies in an external workbook.
#include "QKExternal.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cctype>
#include <cstring>

#include "QKAccess.h"
#include "QKCallLog.h"
#include "QKPlotModel.h"
#include "QKScript.h"

namespace {

// A text as a VARIANT string.
BOOL TextToVariant(const std::string& text, VARIANT* value)
{
    int n = MultiByteToWideChar(CP_ACP, 0, text.data(), (int)text.size(), nullptr, 0);
    BSTR b = SysAllocStringLen(nullptr, n);
    if (!b)
        return FALSE;
    MultiByteToWideChar(CP_ACP, 0, text.data(), (int)text.size(), b, n);
    value->vt = VT_BSTR;
    value->bstrVal = b;
    return TRUE;
}

// Replaces the cells of `to` with those of `from`, numbers and texts.
bool CopyCells(const CQKDataset* from, CQKDataset* to)
{
    to->SetRange(0, 0);
    for (int r = 0; r < from->GetEnd(); ++r)
        if (!(from->IsText(r) ? to->SetText(r, from->GetText(r)) : to->SetValue(r, from->GetValue(r))))
            return false;
    return true;
}

} // namespace

CQKExternData::CQKExternData(CQKDataset* dataset)
    : i1Change(0), i2Change(dataset ? dataset->GetEnd() : 0), m_dataset(dataset)
{
}

BOOL CQKExternData::GetInternalValue(VARIANT* value, int index) const
{
    VariantInit(value);
    if (!m_dataset || index < 0 || index >= QK_MAX_ROWS)
        return FALSE;
    if (m_dataset->IsText(index))
        return TextToVariant(m_dataset->GetText(index), value);
    double v = m_dataset->GetValue(index);
    if (v != MISSING_VALUE) {
        value->vt = VT_R8;
        value->dblVal = v;
    }
    return TRUE;
}

BOOL CQKExternData::SetInternalValue(const VARIANT& in, int index)
{
    if (!m_dataset || index < 0 || index >= QK_MAX_ROWS)
        return FALSE;
    const VARIANT* v = &in;
    while (v->vt == (VT_BYREF | VT_VARIANT))
        v = v->pvarVal;
    switch (v->vt) {
    case VT_EMPTY:
    case VT_NULL:
    case VT_ERROR: return m_dataset->SetValue(index, MISSING_VALUE);
    case VT_BSTR: {
        UINT len = SysStringLen(v->bstrVal);
        int n = WideCharToMultiByte(CP_ACP, 0, v->bstrVal, (int)len, nullptr, 0, nullptr, nullptr);
        std::string text(n, '\0');
        WideCharToMultiByte(CP_ACP, 0, v->bstrVal, (int)len, &text[0], n, nullptr, nullptr);
        if (text.empty())
            return m_dataset->SetValue(index, MISSING_VALUE);
        return m_dataset->SetText(index, text);
    }
    case VT_BOOL: return m_dataset->SetValue(index, v->boolVal ? -1.0 : 0.0);
    case VT_DATE: return m_dataset->SetValue(index, v->date);
    }
    double d;
    if (!qkVariantToReal(*v, d))
        return FALSE;
    return m_dataset->SetValue(index, d);
}

CQKWksExternLayer::CQKWksExternLayer(CQKProject* project, const std::string& sheet, int id)
    : m_name(sheet), m_id(id), m_data(std::make_unique<CQKWksPage>(project, "Sheet"))
{
    // A sheet's columns start empty and are all plain data (no X designation of its own).
    while (m_data->GetNumCols() > 0)
        m_data->DeleteColumn(1);
}

CQKWksExternLayer::~CQKWksExternLayer() = default;

BOOL CQKWksExternLayer::AddExternColumn(int i, const char* name, const char* label)
{
    if (i < 1 || i > 702)
        return FALSE;
    while (m_data->GetNumCols() < i)
        if (!m_data->AddColumn())
            return FALSE;
    if (label)
        m_data->GetColumn(i)->m_label = label;
    return TRUE;
}

void CQKWksExternLayer::SetRowRange(int r1, int r2, int c1, int c2)
{
    m_r1 = r1;
    m_r2 = r2;
    m_c1 = c1;
    m_c2 = c2;
}

BOOL CQKWksExternLayer::OnInternalInsertDeleteColumn(int column, int del)
{
    int n = m_data->GetNumCols();
    if (column < 0)
        return FALSE;
    if (del) {
        if (column >= n)
            return TRUE; // nothing of the kernel's was there
        // Values move left; the last column is dropped, so column names stay A, B, ...
        for (int c = column + 1; c < n; ++c)
            CopyCells(m_data->GetColumn(c + 1), m_data->GetColumn(c));
        return m_data->DeleteColumn(n);
    }
    if (column >= n)
        return TRUE;
    if (!m_data->AddColumn())
        return FALSE;
    for (int c = n + 1; c > column + 1; --c)
        CopyCells(m_data->GetColumn(c - 1), m_data->GetColumn(c));
    m_data->GetColumn(column + 1)->SetRange(0, 0);
    return TRUE;
}

CQKWksExternPage::CQKWksExternPage(CQKProject* project, const std::string& name)
    : CQKWksPage(project, name, QK_PAGE_EXCEL)
{
}

CQKWksExternPage::~CQKWksExternPage() = default;

BOOL CQKWksExternPage::SetExternalName(const char* path)
{
    if (!path)
        return FALSE;
    m_externalName = path;
    return TRUE;
}

BOOL CQKWksExternPage::SetAutomaticExternalUpdate(int on)
{
    m_automaticUpdate = on != 0;
    return TRUE;
}

CQKWksExternLayer* CQKWksExternPage::FindLayer(const char* sheet) const
{
    for (auto& l : m_layers)
        if (sheet && _stricmp(l->GetName().c_str(), sheet) == 0)
            return l.get();
    return nullptr;
}

CQKWksExternLayer* CQKWksExternPage::GetOrCreateActiveLayer(const char* sheet)
{
    if (!sheet || !*sheet)
        return nullptr;
    CQKWksExternLayer* layer = FindLayer(sheet);
    if (!layer) {
        m_layers.push_back(std::make_unique<CQKWksExternLayer>(m_project, sheet, m_nextLayerId++));
        layer = m_layers.back().get();
    }
    for (size_t i = 0; i < m_layers.size(); ++i)
        if (m_layers[i].get() == layer)
            m_activeLayer = (int)i;
    return layer;
}

CQKWksExternLayer* CQKWksExternPage::GetActiveLayer() const
{
    return m_activeLayer >= 0 && m_activeLayer < (int)m_layers.size() ? m_layers[m_activeLayer].get() : nullptr;
}

BOOL CQKWksExternPage::RemoveLayer(CQKWksExternLayer* layer)
{
    if (m_layers.size() < 2)
        return FALSE;
    for (size_t i = 0; i < m_layers.size(); ++i) {
        if (m_layers[i].get() == layer) {
            qkfxGetCallLog().Add("CQKWksExternPage::RemoveLayer", GetName() + " " + layer->GetName());
            m_layers.erase(m_layers.begin() + i);
            if (m_activeLayer >= (int)m_layers.size())
                m_activeLayer = (int)m_layers.size() - 1;
            return TRUE;
        }
    }
    return FALSE;
}

void CQKWksExternPage::SetUseRange(const char* sheet, int c1, int c2, int r1, int r2)
{
    if (CQKWksExternLayer* layer = FindLayer(sheet))
        layer->SetRowRange(r1, r2, c1, c2);
}

void CQKWksExternPage::OnExternalDataModified()
{
    ++m_modifiedCount;
    qkfxGetCallLog().Add("CQKWksExternPage::OnExternalDataModified", GetName());
}

BOOL CQKWksExternPage::CheckCopyData(CQKWksExternLayer* layer, int, int)
{
    if (!layer)
        return FALSE;
    for (int c = 1; c <= layer->m_c2; ++c) {
        if (!layer->AddExternColumn(c, nullptr, nullptr))
            return FALSE;
        CQKDataset* ds = layer->GetColumn(c);
        ds->SetRange(0, 0);
        CQKExternData data(ds);
        if (!CopyDataOneExternalColumn(layer->GetName().c_str(), c, &data, FALSE))
            return FALSE;
    }
    return TRUE;
}

BOOL CQKWksExternPage::MakeFromExternal(CQKWksPage* target, CQKWksExternLayer* layer)
{
    if (!target || !layer)
        return FALSE;
    int n = layer->GetNumCols();
    while (target->GetNumCols() < n)
        if (!target->AddColumn())
            return FALSE;
    for (int c = 1; c <= n; ++c)
        if (!CopyCells(layer->GetColumn(c), target->GetColumn(c)))
            return FALSE;
    qkfxGetCallLog().Add("CQKWksExternPage::MakeFromExternal", target->GetName() + " " + layer->GetName());
    return TRUE;
}

BOOL CQKWksExternPage::UpdateExternalColumn(CQKWksExternLayer* layer, int column)
{
    if (!layer || column < 1 || column > layer->GetNumCols())
        return FALSE;
    CQKExternData data(layer->GetColumn(column));
    return CopyDataOneExternalColumn(layer->GetName().c_str(), column, &data, TRUE);
}

BOOL CQKWksExternPage::CopyDataOneExternalColumn(const char*, int, CQKExternData*, BOOL)
{
    qkfxGetCallLog().Add("CQKWksExternPage::CopyDataOneExternalColumn", "no workbook: " + GetName());
    return FALSE;
}

BOOL qkVariantToReal(const VARIANT& in, double& result)
{
    const VARIANT* v = &in;
    while (v->vt == (VT_BYREF | VT_VARIANT))
        v = v->pvarVal;
    switch (v->vt & ~VT_BYREF) {
    case VT_I1: case VT_I2: case VT_I4: case VT_I8: case VT_INT:
    case VT_UI1: case VT_UI2: case VT_UI4: case VT_UI8: case VT_UINT:
    case VT_R4: case VT_R8: case VT_CY: case VT_DECIMAL: {
        VARIANT t;
        VariantInit(&t);
        if (FAILED(VariantChangeType(&t, const_cast<VARIANT*>(v), 0, VT_R8)))
            return FALSE;
        result = t.dblVal;
        return TRUE;
    }
    }
    return FALSE;
}

BOOL qkuStringWithReplacementToVariant(const char* text, VARIANT* result)
{
    VariantInit(result);
    if (!text)
        return FALSE;
    std::string s;
    qkfxSubstituteScrivexString(s, text, 0);
    const char* begin = s.c_str();
    while (*begin == ' ')
        ++begin;
    char* end = nullptr;
    double d = *begin ? strtod(begin, &end) : 0;
    if (end && end != begin) {
        while (*end == ' ')
            ++end;
        if (*end == 0 && std::isfinite(d)) {
            result->vt = VT_R8;
            result->dblVal = d;
            return TRUE;
        }
    }
    return TextToVariant(s, result);
}

std::string qkuxlColumnNumberToColumnName(int column)
{
    if (column < 1 || column > 702)
        return std::string();
    int high = (column - 1) / 26;
    std::string name;
    if (high > 0)
        name += (char)('A' + high - 1);
    name += (char)('A' + column - 1 - 26 * high);
    return name;
}

BOOL qkuxlRangeToRangeName(const QXLSELECTION& range, std::string& name)
{
    std::string a = qkuxlColumnNumberToColumnName(range.c1), b = qkuxlColumnNumberToColumnName(range.c2 - 1);
    if (a.empty() || b.empty() || range.r1 < 0 || range.r2 <= range.r1)
        return FALSE;
    name = a + std::to_string(range.r1 + 1) + ":" + b + std::to_string(range.r2);
    return TRUE;
}

static bool ParseCell(const char*& p, int& column, int& row)
{
    column = 0;
    int letters = 0;
    while (isalpha((unsigned char)*p) && letters < 3) {
        column = column * 26 + (toupper((unsigned char)*p++) - 'A' + 1);
        ++letters;
    }
    if (letters == 0 || letters > 2 || !isdigit((unsigned char)*p))
        return false;
    row = (int)strtol(p, const_cast<char**>(&p), 10);
    return row >= 1;
}

BOOL qkuxlRangeNameToRange(const char* name, QXLSELECTION& range)
{
    if (!name)
        return FALSE;
    const char* p = name;
    int c1, r1, c2, r2;
    if (!ParseCell(p, c1, r1))
        return FALSE;
    c2 = c1;
    r2 = r1;
    if (*p == ':') {
        ++p;
        if (!ParseCell(p, c2, r2))
            return FALSE;
    }
    if (*p != 0 || c2 < c1 || r2 < r1)
        return FALSE;
    range = QXLSELECTION{c1, c2 + 1, r1 - 1, r2};
    return TRUE;
}

namespace {

// One part of an R1C1 reference: "R2C3", "R2" (a whole row) or "C3" (a whole column);
// 0 for a part left out. FALSE when neither is there or a number is out of bounds.
bool ParseRCPart(const char*& p, int& row, int& column, int maxRows)
{
    row = column = 0;
    auto number = [&p](int& n, int most) {
        if (*p < '0' || *p > '9')
            return false;
        long long v = 0;
        while (*p >= '0' && *p <= '9' && v <= most)
            v = v * 10 + (*p++ - '0');
        n = (int)v;
        return v >= 1 && v <= most;
    };
    if (*p == 'R' || *p == 'r') {
        ++p;
        if (!number(row, maxRows))
            return false;
    }
    if (*p == 'C' || *p == 'c') {
        ++p;
        if (!number(column, 256))
            return false;
    }
    return row != 0 || column != 0;
}

} // namespace

BOOL qkuxlRCRangeNameToRange(const char* name, QXLSELECTION& range, int maxRows)
{
    if (!name)
        return FALSE;
    const char* p = name;
    int r1, c1, r2, c2;
    if (!ParseRCPart(p, r1, c1, maxRows))
        return FALSE;
    r2 = r1;
    c2 = c1;
    if (*p == ':') {
        ++p;
        if (!ParseRCPart(p, r2, c2, maxRows))
            return FALSE;
    }
    // Both ends name the same kind of part: cells, whole rows or whole columns.
    if (*p != 0 || (r1 == 0) != (r2 == 0) || (c1 == 0) != (c2 == 0))
        return FALSE;
    if (r1 == 0) {
        r1 = 1;
        r2 = maxRows;
    }
    if (c1 == 0) {
        c1 = 1;
        c2 = 256;
    }
    if (c2 < c1 || r2 < r1)
        return FALSE;
    range = QXLSELECTION{c1, c2 + 1, r1 - 1, r2};
    return TRUE;
}

BOOL qkuFileExistsAndIsReadOnly(const char* path)
{
    DWORD attributes = path ? GetFileAttributesA(path) : INVALID_FILE_ATTRIBUTES;
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

BOOL qkuFileCanBeWrittenTo(const char* path)
{
    if (!path || !*path)
        return FALSE;
    bool existed = GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
    HANDLE h = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return FALSE;
    CloseHandle(h);
    if (!existed)
        DeleteFileA(path);
    return TRUE;
}

BOOL CxlPlot::GetRange(QXLSELECTION& range) const
{
    if (m_y.empty())
        return FALSE;
    range = m_y[0];
    auto grow = [&range](const QXLSELECTION& r) {
        if (r.c1 <= 0)
            return;
        range.c1 = std::min(range.c1, r.c1);
        range.c2 = std::max(range.c2, r.c2);
        range.r1 = std::min(range.r1, r.r1);
        range.r2 = std::max(range.r2, r.r2);
    };
    for (const QXLSELECTION& y : m_y)
        grow(y);
    grow(m_x);
    grow(m_err);
    grow(m_z);
    grow(m_label);
    return TRUE;
}

BOOL CxlPlot::PrepareLayerForPlotting(CQKWksExternLayer* layer, int)
{
    if (!layer)
        return FALSE;
    auto designate = [layer](const QXLSELECTION& r, int type) {
        if (r.c1 <= 0)
            return true;
        for (int c = r.c1; c < r.c2; ++c) {
            if (!layer->AddExternColumn(c, nullptr, nullptr))
                return false;
            layer->GetColumn(c)->m_type = type;
        }
        return true;
    };
    bool ok = designate(m_x, QK_COLTYPE_X) && designate(m_err, QK_COLTYPE_YERR) && designate(m_z, QK_COLTYPE_Z) &&
              designate(m_label, QK_COLTYPE_LABEL);
    for (const QXLSELECTION& y : m_y)
        ok = ok && designate(y, QK_COLTYPE_Y);
    return ok;
}

CQKGraphPage* CxlPlot::AddPlots(CQKWksExternLayer* layer, int command, CQKGraphPage* graph)
{
    if (!layer || m_y.empty())
        return nullptr;
    CQKDataset* x = m_x.c1 > 0 ? layer->GetColumn(m_x.c1) : nullptr;
    std::vector<CQKDataset*> ys;
    for (const QXLSELECTION& y : m_y)
        for (int c = y.c1; c < y.c2; ++c)
            if (CQKDataset* d = layer->GetColumn(c))
                ys.push_back(d);
    if (ys.empty())
        return nullptr;
    const bool made = !graph;
    if (!graph)
        graph = static_cast<CQKGraphPage*>(qkfxGetProject().CreatePage(QK_PAGE_GRAPH));
    if (!graph)
        return nullptr;
    // The command names the kind; a command that names none plots lines.
    const QKPlotWord* word = qkfxFindPlotCommand((UINT)command);
    if (!word)
        word = qkfxFindPlotWord("Line");
    std::vector<CQKDataset*> columns;
    for (CQKDataset* y : ys) {
        y->m_xDataset = x ? x->GetHandle() : 0;
        columns.push_back(y);
        qkfxGetCallLog().Add("CxlPlot::AddPlots", graph->GetName() + " " + y->GetName() + " " + word->word);
    }
    std::string error;
    if (qkfxPlotColumns(graph->GetActiveLayer(), *word, columns, &error) == 0) {
        qkfxGetCallLog().Add("CxlPlot::AddPlots", error);
        if (made)
            qkfxGetProject().DeletePage(graph->GetName());
        return nullptr;
    }
    // A new graph gets its window, as every page made for the user does.
    if (made)
        qkfxGetAccess()->OnInternalNewPage(graph, TRUE);
    return graph;
}

BOOL CQKWksExternPage::GetInternalWorkbook(std::string& bytes)
{
    bytes.clear();
    qkfxGetCallLog().Add("CQKWksExternPage::GetInternalWorkbook", GetName());
    return FALSE;
}

CxlPlot* CxlPlots::Add()
{
    m_plots.push_back(std::make_unique<CxlPlot>());
    return m_plots.back().get();
}

CQKDefaultPlotAssignments::CQKDefaultPlotAssignments(int command, const QXLSELECTION* areas, int count,
                                                     int lastColumn)
    : m_command(command)
{
    std::vector<QXLSELECTION> columns;
    for (int i = 0; areas && i < count; ++i)
        for (int c = areas[i].c1; c < areas[i].c2 && c <= lastColumn; ++c)
            columns.push_back(QXLSELECTION{c, c + 1, areas[i].r1, areas[i].r2});
    if (columns.size() > 1) {
        m_x = columns[0];
        columns.erase(columns.begin());
    }
    m_y = columns;
}

BOOL CQKDefaultPlotAssignments::AssignmentsValid() const
{
    for (const QXLSELECTION& y : m_y)
        if (y.r1 < 0 || y.r2 - y.r1 >= 2)
            return TRUE;
    return FALSE;
}

BOOL ExtractPlotsIntoSeperateLayers(CQKGraphPage* page, int)
{
    CQKGraphicLayer* first = page ? page->GetLayerByIndex(0, 1) : nullptr;
    if (!first || first->GetNumPlots() < 2)
        return FALSE;
    // Each plot after the first, with the error bars that follow it, moves to a layer of
    // its own.
    std::vector<int> ids = first->GetObjectIds();
    CQKGraphicLayer* target = nullptr;
    bool firstPlotSeen = false;
    for (int id : ids) {
        auto* plot = dynamic_cast<CQKPlotObj*>(first->GetObject(id));
        if (!plot)
            continue;
        plot->SetGroup(0, FALSE); // a group lives in one layer
        if (!plot->IsErrorBarPlot()) {
            if (!firstPlotSeen) {
                firstPlotSeen = true;
                continue;
            }
            target = page->AddLayer();
        }
        if (target)
            first->MoveObjectTo(id, target);
    }
    for (int i = 0; i < page->GetNumLayers(); ++i)
        qkfxUpdateLegend(page->GetLayerByIndex(i, 1));
    page->SetActiveLayerIndex(0);
    return TRUE;
}

BOOL ExtractLayersIntoSeperateGraphs(CQKGraphPage* page)
{
    if (!page || page->GetNumLayers() < 2)
        return FALSE;
    CQKProject& project = qkfxGetProject();
    // Every layer after the first goes, with its objects, to a new graph of its own.
    while (page->GetNumLayers() > 1) {
        CQKGraphicLayer* from = page->GetLayerByIndex(1, 1);
        auto* graph = static_cast<CQKGraphPage*>(project.CreatePage(QK_PAGE_GRAPH));
        if (!graph)
            return FALSE;
        CQKGraphicLayer* to = graph->GetActiveLayer();
        for (int id : from->GetObjectIds())
            from->MoveObjectTo(id, to);
        page->DeleteLayer(1);
    }
    page->SetActiveLayerIndex(0);
    project.SetActivePage(page);
    return TRUE;
}
