#include "QKData.h"
#include "QKGraphObjects.h"

#include "QKAccess.h"
#include "QKGraphObjects.h"

#include <ctype.h>
#include <time.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <cmath>

#include "KernelInternal.h"
#include "QKCallLog.h"
#include "QKExternal.h"
#include "QKFile.h"
#include "QKPlotModel.h"

namespace {

// A dataset holds numbers and the missing value: a NaN or an infinity that reaches it (a
// float read from a binary file, a driver's value, a plug-in's result) is missing, as it is
// everywhere the program shows, saves or computes with it.
double Held(double value)
{
    return std::isfinite(value) ? value : MISSING_VALUE;
}

bool SameName(const std::string& a, const std::string& b)
{
    return _stricmp(a.c_str(), b.c_str()) == 0;
}

const char* PageStem(QKPageType type)
{
    switch (type) {
    case QK_PAGE_WKS: return "Data";
    case QK_PAGE_GRAPH: return "Graph";
    case QK_PAGE_MATRIX: return "Matrix";
    case QK_PAGE_EXCEL: return "Book";
    case QK_PAGE_LAYOUT: return "Layout";
    case QK_PAGE_NOTES: return "Notes";
    }
    return "Page";
}

std::string ColumnKey(const std::string& name)
{
    std::string key = name;
    for (char& c : key)
        if (c >= 'a' && c <= 'z')
            c = (char)(c - 'a' + 'A');
    return key;
}

// Spreadsheet letters: 1 = A .. 26 = Z, 27 = AA, 28 = AB, ...
std::string LetterName(int n)
{
    std::string name;
    for (int k = n; k > 0; k = (k - 1) / 26)
        name.insert(name.begin(), (char)('A' + (k - 1) % 26));
    return name;
}

// The number of a letter name, 0 for any other name (or one too long to be reached).
int LetterNumber(const std::string& name)
{
    if (name.empty() || name.size() > 6)
        return 0;
    int n = 0;
    for (char c : name) {
        int letter = c >= 'A' && c <= 'Z' ? c - 'A' : c >= 'a' && c <= 'z' ? c - 'a' : -1;
        if (letter < 0)
            return 0;
        n = n * 26 + letter + 1;
    }
    return n;
}

} // namespace

// ---- CQKDataset ----------------------------------------------------------------------

CQKDataset::CQKDataset(CQKProject* project, const std::string& name, CQKWksPage* owner)
    : m_project(project), m_handle(project->NewHandle()), m_owner(owner)
{
    if (owner)
        m_columnName = name;
    else
        m_name = name;
    project->m_datasetHandles[m_handle] = this;
}

CQKDataset::~CQKDataset()
{
    m_project->ForgetDataset(m_handle);
}

std::string CQKDataset::GetName() const
{
    if (m_owner)
        return m_owner->GetName() + "_" + m_columnName;
    return m_name;
}

void CQKDataset::Grow(int end)
{
    if ((int)m_values.size() < end)
        m_values.resize(end, MISSING_VALUE);
    if (m_end < end) {
        m_end = end;
        if (m_owner)
            m_owner->MarkChanged();
    }
}

void CQKDataset::SetFormat(int format)
{
    if (format == m_format)
        return;
    m_format = format;
    if (m_owner)
        m_owner->MarkChanged();
}

bool CQKDataset::SetRange(int first, int end)
{
    if (first < 0 || end < first || end > QK_MAX_ROWS)
        return false;
    if (m_owner && (first != m_first || end != m_end))
        m_owner->MarkChanged();
    m_values.resize(end, MISSING_VALUE);
    m_texts.erase(m_texts.lower_bound(end), m_texts.end());
    m_first = first;
    m_end = end;
    m_project->SetProjectModified(true);
    return true;
}

double CQKDataset::GetValue(int row) const
{
    if (row < 0 || row >= m_end || m_texts.count(row))
        return MISSING_VALUE;
    return m_values[row];
}

bool CQKDataset::SetValue(int row, double value)
{
    if (row < 0 || row >= QK_MAX_ROWS)
        return false;
    Grow(row + 1);
    m_values[row] = Held(value);
    if (!m_texts.empty())
        m_texts.erase(row);
    m_project->SetProjectModified(true);
    return true;
}

bool CQKDataset::IsText(int row) const
{
    return m_texts.count(row) != 0;
}

std::string CQKDataset::GetText(int row) const
{
    auto it = m_texts.find(row);
    if (it != m_texts.end())
        return it->second;
    return qkFormatNumber(GetValue(row), 17);
}

bool CQKDataset::SetText(int row, const std::string& text)
{
    if (row < 0 || row >= QK_MAX_ROWS)
        return false;
    Grow(row + 1);
    m_values[row] = MISSING_VALUE;
    m_texts[row] = text;
    m_project->SetProjectModified(true);
    return true;
}

bool CQKDataset::SetValues(int start, const double* values, int count)
{
    if (start < 0 || count < 0 || (long long)start + count > QK_MAX_ROWS)
        return false;
    Grow(start + count);
    std::transform(values, values + count, m_values.begin() + start, Held);
    if (!m_texts.empty())
        m_texts.erase(m_texts.lower_bound(start), m_texts.lower_bound(start + count));
    m_project->SetProjectModified(true);
    return true;
}

bool CQKDataset::TakeValues(std::vector<double>&& values)
{
    if (values.size() > (size_t)QK_MAX_ROWS)
        return false;
    m_values = std::move(values);
    for (double& v : m_values)
        v = Held(v);
    m_texts.clear();
    m_first = 0;
    m_end = (int)m_values.size();
    if (m_owner)
        m_owner->MarkChanged();
    m_project->SetProjectModified(true);
    return true;
}

bool CQKDataset::InsertRows(int row, int count)
{
    if (row < 0 || count < 0 || (long long)std::max(row, m_end) + count > QK_MAX_ROWS)
        return false;
    if (row >= m_end || count == 0)
        return true;
    m_values.insert(m_values.begin() + row, (size_t)count, MISSING_VALUE);
    m_end += count;
    if (m_owner)
        m_owner->MarkChanged();
    std::map<int, std::string> texts;
    for (auto& t : m_texts)
        texts[t.first >= row ? t.first + count : t.first] = std::move(t.second);
    m_texts.swap(texts);
    m_project->SetProjectModified(true);
    return true;
}

void CQKDataset::SetMasked(int row, bool masked)
{
    if (masked)
        m_mask.insert(row);
    else
        m_mask.erase(row);
}

bool CQKDataset::DeleteRows(int row, int count)
{
    if (row < 0 || count < 0)
        return false;
    if (row >= m_end || count == 0)
        return true;
    count = std::min(count, m_end - row);
    m_values.erase(m_values.begin() + row, m_values.begin() + row + count);
    m_end -= count;
    if (m_owner)
        m_owner->MarkChanged();
    m_first = std::min(m_first, m_end);
    std::map<int, std::string> texts;
    for (auto& t : m_texts)
        if (t.first < row)
            texts[t.first] = std::move(t.second);
        else if (t.first >= row + count)
            texts[t.first - count] = std::move(t.second);
    m_texts.swap(texts);
    m_project->SetProjectModified(true);
    return true;
}

// ---- Pages ---------------------------------------------------------------------------

CQKPage::CQKPage(CQKProject* project, QKPageType type, const std::string& name)
    : m_project(project), m_handle(project->NewHandle()), m_type(type), m_name(name)
{
    MarkChanged();
    m_created = m_modifiedTime;
}

void CQKPage::MarkChanged()
{
    // One count for every page of the process: a stamp never comes back, on this page or
    // on one made later under the same name.
    static uint64_t s_lastStamp = 0;
    m_changeStamp = ++s_lastStamp;
    m_modifiedTime = (double)time(nullptr);
}

CQKPage::~CQKPage() = default;

bool CQKPage::SetName(const std::string& name)
{
    if (SameName(name, m_name))
        return CQKProject::IsValidName(name);
    if (!CQKProject::IsValidName(name) || m_project->IsNameInUse(name))
        return false;
    qkfxGetCallLog().Add("CQKPage::SetName", m_name + " -> " + name);
    m_name = name;
    MarkChanged();
    m_project->SetProjectModified(true);
    qkRefreshPlotNames();
    return true;
}

BOOL CQKPage::GetName(std::string& name) const
{
    name = m_name;
    return !name.empty();
}

BOOL CQKPage::SetName(std::string& name, int* bChanged)
{
    bool ok = SetName(name);
    if (!ok)
        name = m_name;
    if (bChanged)
        *bChanged = ok ? 0 : 1;
    return ok;
}

int CQKPage::OnClosingQuery(BOOL)
{
    return 1;
}

int CQKPage::GetImageListIndex()
{
    // The window images in the order the image list holds them.
    switch (m_type) {
    case QK_PAGE_WKS: return 0;
    case QK_PAGE_GRAPH: return 1;
    case QK_PAGE_MATRIX: return 2;
    case QK_PAGE_EXCEL: return 3;
    case QK_PAGE_LAYOUT: return 4;
    case QK_PAGE_NOTES: return 5;
    }
    return -1;
}

int CQKPage::OnActivate(CQKPage*)
{
    m_hiddenWnd = false;
    m_project->SetActivePage(this);
    return 1;
}

int CQKPage::GetWindowState(std::string& text)
{
    text = GetWindowStateStr();
    return 1;
}

CQKTextObj* CQKPage::PgCreateCQKTextObj()
{
    return new CQKTextObj;
}

CQKAxes* CQKPage::PgCreateCQKAxes()
{
    return new CQKAxes;
}

CQKErrorBar* CQKPage::PgCreateCQKErrorBar()
{
    return new CQKErrorBar;
}

void CQKPage::Destroy()
{
    std::string name = m_name; // the page goes with its own name
    qkfxGetCallLog().Add("CQKPage::Destroy", name);
    m_project->DeletePage(name);
}

CQKTablePage::CQKTablePage(CQKProject* project, QKPageType type, const std::string& name)
    : CQKPage(project, type, name)
{
}

CQKWksPage::CQKWksPage(CQKProject* project, const std::string& name, QKPageType type)
    : CQKTablePage(project, type, name)
{
    AddColumn()->m_type = QK_COLTYPE_X;
    AddColumn();
}

CQKWksPage::~CQKWksPage() = default;

CQKDataset* CQKWksPage::GetColumn(int n) const
{
    if (n < 1 || n > (int)m_columns.size())
        return nullptr;
    return m_columns[n - 1].get();
}

CQKDataset* CQKWksPage::FindColumn(const std::string& name) const
{
    ++m_nameLookups;
    auto it = m_columnsByName.find(ColumnKey(name));
    return it == m_columnsByName.end() ? nullptr : it->second;
}

int CQKWksPage::GetColumnIndex(const CQKDataset* column) const
{
    for (size_t i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].get() == column)
            return (int)i + 1;
    return 0;
}

std::string CQKWksPage::NextColumnName()
{
    // The lowest free letter name: first the freed ones below the scan point, then on.
    while (!m_freedLetters.empty()) {
        int n = *m_freedLetters.begin();
        m_freedLetters.erase(m_freedLetters.begin());
        std::string name = LetterName(n);
        if (!FindColumn(name))
            return name;
    }
    for (;; ++m_nextLetter) {
        std::string name = LetterName(m_nextLetter);
        if (!FindColumn(name)) {
            ++m_nextLetter;
            return name;
        }
    }
}

void CQKWksPage::ForgetColumnName(const std::string& name)
{
    m_columnsByName.erase(ColumnKey(name));
    int n = LetterNumber(name);
    if (n > 0 && n < m_nextLetter)
        m_freedLetters.insert(n);
}

CQKDataset* CQKWksPage::AddColumn(const std::string& name)
{
    std::string n = name.empty() ? NextColumnName() : name;
    if (!CQKProject::IsValidName(n) || FindColumn(n))
        return nullptr;
    m_columns.push_back(std::make_unique<CQKDataset>(m_project, n, this));
    m_columnsByName[ColumnKey(n)] = m_columns.back().get();
    MarkChanged();
    m_project->SetProjectModified(true);
    return m_columns.back().get();
}

bool CQKWksPage::DeleteColumn(int n)
{
    if (n < 1 || n > (int)m_columns.size())
        return false;
    ForgetColumnName(m_columns[n - 1]->m_columnName);
    m_columns.erase(m_columns.begin() + (n - 1));
    MarkChanged();
    m_project->SetProjectModified(true);
    return true;
}

bool CQKWksPage::RenameColumn(int n, const std::string& name)
{
    CQKDataset* c = GetColumn(n);
    if (!c || !CQKProject::IsValidName(name))
        return false;
    CQKDataset* other = FindColumn(name);
    if (other && other != c)
        return false;
    ForgetColumnName(c->m_columnName);
    c->m_columnName = name;
    m_columnsByName[ColumnKey(name)] = c;
    MarkChanged();
    m_project->SetProjectModified(true);
    qkRefreshPlotNames();
    return true;
}

CQKGraphPage::CQKGraphPage(CQKProject* project, const std::string& name, QKPageType type)
    : CQKPage(project, type, name)
{
}

CQKMatrixPage::CQKMatrixPage(CQKProject* project, const std::string& name)
    : CQKTablePage(project, QK_PAGE_MATRIX, name), m_cells((size_t)m_rows * m_cols, MISSING_VALUE)
{
}

bool CQKMatrixPage::SetDimensions(int rows, int cols)
{
    if (rows < 1 || cols < 1 || (long long)rows * cols > QK_MAX_ROWS)
        return false;
    std::vector<double> cells((size_t)rows * cols, MISSING_VALUE);
    for (int r = 0; r < std::min(rows, m_rows); ++r)
        for (int c = 0; c < std::min(cols, m_cols); ++c)
            cells[(size_t)r * cols + c] = m_cells[(size_t)r * m_cols + c];
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

double CQKMatrixPage::GetCell(int row, int col) const
{
    if (row < 1 || row > m_rows || col < 1 || col > m_cols)
        return MISSING_VALUE;
    return m_cells[(size_t)(row - 1) * m_cols + (col - 1)];
}

bool CQKMatrixPage::SetCell(int row, int col, double value)
{
    if (row < 1 || row > m_rows || col < 1 || col > m_cols)
        return false;
    m_cells[(size_t)(row - 1) * m_cols + (col - 1)] = Stored(value);
    m_project->SetProjectModified(true);
    return true;
}

CQKNotesPage::CQKNotesPage(CQKProject* project, const std::string& name)
    : CQKPage(project, QK_PAGE_NOTES, name)
{
}

// ---- CQKProject ----------------------------------------------------------------------

CQKProject::CQKProject()
{
    ResetFolders();
}

CQKProject::~CQKProject()
{
    Clear();
}

void CQKProject::New()
{
    Clear();
    // The log window belongs to the project too: a new project starts with an empty one.
    qkfxGetAccess()->OutputLog(QK_LOG_SET, 0, 0);
}

void CQKProject::Clear()
{
    // Destroying a dataset removes it from the graph layers, which walks m_pages: take
    // the pages out first.
    std::vector<std::unique_ptr<CQKPage>> pages;
    pages.swap(m_pages);
    // Windows showing the pages close before the pages go.
    for (auto& page : pages)
        page->OnDestroy();
    pages.clear();
    m_datasets.clear();
    m_namedBlocks.clear();
    m_activePage = 0;
    m_lastActiveWks = 0;
    m_path.clear();
    m_resultsLog.clear();
    ResetFolders();
    m_modified = false;
}

bool CQKProject::IsValidName(const std::string& name)
{
    // Names are used bare in script text, joined with "_" into dataset names: a letter
    // first, then letters, digits and underscores.
    if (name.empty() || name.size() > 64 || !isalpha((unsigned char)name[0]))
        return false;
    for (char ch : name)
        if (!isalnum((unsigned char)ch) && ch != '_')
            return false;
    return true;
}

bool CQKProject::IsValidDatasetName(const std::string& name)
{
    if (name.empty() || name.size() > 64 || !isalpha((unsigned char)name[0]) || name.back() == '.')
        return false;
    for (char ch : name)
        if (!isalnum((unsigned char)ch) && ch != '_' && ch != '.')
            return false;
    return true;
}

bool CQKProject::IsNameInUse(const std::string& name) const
{
    return FindPage(name) != nullptr;
}

std::string CQKProject::GetNewPageName(QKPageType type) const
{
    for (int i = 1;; ++i) {
        std::string candidate = PageStem(type) + std::to_string(i);
        if (!IsNameInUse(candidate))
            return candidate;
    }
}

void CQKProject::SetPageFactory(QKPageType type, QKPageFactory factory)
{
    m_pageFactories[type] = factory;
}

CQKPage* CQKProject::CreatePage(QKPageType type, const std::string& name)
{
    std::string n = name.empty() ? GetNewPageName(type) : name;
    if (!IsValidName(n) || IsNameInUse(n))
        return nullptr;
    std::unique_ptr<CQKPage> page(MakePage(type, n));
    if (!page)
        return nullptr;
    // A new graph holds one layer, as the standard template gives it; a layout holds none.
    if (type == QK_PAGE_GRAPH)
        if (auto* graph = dynamic_cast<CQKGraphPage*>(page.get()))
            if (graph->GetNumLayers() == 0)
                graph->AddLayer();
    page->m_folder = m_currentFolder;
    m_pages.push_back(std::move(page));
    m_activePage = m_pages.back()->GetHandle();
    m_modified = true;
    return m_pages.back().get();
}

CQKPage* CQKProject::MakePage(QKPageType type, const std::string& n)
{
    // The user interface makes pages of its own classes for the kinds it shows: through
    // its access object, or a page factory a part of it registered for its kind.
    std::unique_ptr<CQKPage> page(qkfxGetAccess()->CreateNewPageObject(type));
    auto factory = m_pageFactories.find(type);
    if (page) {
        page->m_name = n;
        if (page->GetType() != type) {
            qkfxGetCallLog().Add("CQKProject::CreatePage: a page of another kind", std::to_string(type));
            return nullptr;
        }
    } else if (factory != m_pageFactories.end() && factory->second) {
        page.reset(factory->second(this, n));
    } else {
        switch (type) {
        case QK_PAGE_WKS: page = std::make_unique<CQKWksPage>(this, n, type); break;
        case QK_PAGE_EXCEL: page = std::make_unique<CQKWksExternPage>(this, n); break;
        case QK_PAGE_GRAPH:
        case QK_PAGE_LAYOUT: page = std::make_unique<CQKGraphPage>(this, n, type); break;
        case QK_PAGE_MATRIX: page = std::make_unique<CQKMatrixPage>(this, n); break;
        case QK_PAGE_NOTES: page = std::make_unique<CQKNotesPage>(this, n); break;
        default: return nullptr;
        }
    }
    return page.release();
}

int CQKProject::OnClosingQuery()
{
    if (!m_modified)
        return 1;
    CQKAccess* access = qkfxGetAccess();
    int answer = access->AskUser("Save changes to the project?", MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDNO)
        return 1;
    if (answer != IDYES)
        return 0;
    // An untitled project is named first; a save that does not happen keeps it open.
    std::string error;
    if (qkSaveProject(false, &error))
        return 1;
    if (!error.empty())
        access->AskUser(error.c_str(), MB_OK | MB_ICONEXCLAMATION);
    return 0;
}

void CQKProject::SetWinCreateInfo(const RECT& rect, BOOL minimized)
{
    m_createRect = rect;
    m_createMinimized = minimized;
    m_hasCreateInfo = true;
}

BOOL CQKProject::GetWinCreateInfo(CREATESTRUCTA& cs)
{
    if (!m_hasCreateInfo)
        return FALSE;
    m_hasCreateInfo = false;
    cs.x = m_createRect.left;
    cs.y = m_createRect.top;
    cs.cx = m_createRect.right - m_createRect.left;
    cs.cy = m_createRect.bottom - m_createRect.top;
    if (m_createMinimized)
        cs.style |= WS_MINIMIZE;
    return TRUE;
}

CQKPage* CQKProject::FindPage(const std::string& name) const
{
    for (const auto& p : m_pages)
        if (SameName(p->GetName(), name))
            return p.get();
    return nullptr;
}

bool CQKProject::DeletePage(const std::string& name)
{
    for (size_t i = 0; i < m_pages.size(); ++i) {
        if (!SameName(m_pages[i]->GetName(), name))
            continue;
        std::unique_ptr<CQKPage> doomed = std::move(m_pages[i]);
        m_pages.erase(m_pages.begin() + i);
        INT_PTR handle = doomed->GetHandle();
        qkRemovePlotsOfPage(handle);
        doomed->OnDestroy();
        doomed.reset();
        if (m_activePage == handle)
            m_activePage = m_pages.empty() ? 0 : m_pages.back()->GetHandle();
        m_modified = true;
        return true;
    }
    return false;
}

CQKPage* CQKProject::GetActivePage() const
{
    return GetPageFromHandle(m_activePage);
}

void CQKProject::SetActivePage(CQKPage* page)
{
    m_activePage = page ? page->GetHandle() : 0;
    if (dynamic_cast<CQKWksPage*>(page))
        m_lastActiveWks = m_activePage;
}

CQKWksPage* CQKProject::GetLastActiveWks() const
{
    return dynamic_cast<CQKWksPage*>(GetPageFromHandle(m_lastActiveWks));
}

CQKWksPage* CQKProject::GetActiveWks() const
{
    return dynamic_cast<CQKWksPage*>(GetActivePage());
}

CQKGraphPage* CQKProject::GetActiveGraph() const
{
    return dynamic_cast<CQKGraphPage*>(GetActivePage());
}

CQKMatrixPage* CQKProject::GetActiveMatrix() const
{
    return dynamic_cast<CQKMatrixPage*>(GetActivePage());
}

CQKDataset* CQKProject::CreateDataset(const std::string& name, int size)
{
    if (!IsValidDatasetName(name) || FindDataset(name) || size < 0 || size > QK_MAX_ROWS)
        return nullptr;
    m_datasets.push_back(std::make_unique<CQKDataset>(this, name, nullptr));
    CQKDataset* d = m_datasets.back().get();
    d->SetRange(0, size);
    m_modified = true;
    return d;
}

CQKDataset* CQKProject::FindDataset(const std::string& name) const
{
    for (const auto& d : m_datasets)
        if (SameName(d->GetName(), name))
            return d.get();
    // A column name is "<page>_<column>"; page names may hold underscores themselves,
    // so try every split.
    for (size_t pos = name.find('_'); pos != std::string::npos; pos = name.find('_', pos + 1)) {
        CQKWksPage* wks = dynamic_cast<CQKWksPage*>(FindPage(name.substr(0, pos)));
        if (wks)
            if (CQKDataset* c = wks->FindColumn(name.substr(pos + 1)))
                return c;
    }
    return nullptr;
}

bool CQKProject::DeleteDataset(const std::string& name)
{
    CQKDataset* d = FindDataset(name);
    if (!d)
        return false;
    if (CQKWksPage* wks = d->GetOwner())
        return wks->DeleteColumn(wks->GetColumnIndex(d));
    for (size_t i = 0; i < m_datasets.size(); ++i)
        if (m_datasets[i].get() == d) {
            std::unique_ptr<CQKDataset> doomed = std::move(m_datasets[i]);
            m_datasets.erase(m_datasets.begin() + i);
            m_modified = true;
            return true;
        }
    return false;
}

void CQKProject::ForgetDataset(INT_PTR handle)
{
    m_datasetHandles.erase(handle);
    if (m_foundHandle == handle)
        m_foundHandle = 0;
    for (auto& p : m_pages)
        if (CQKGraphPage* g = dynamic_cast<CQKGraphPage*>(p.get()))
            for (int i = 0; i < g->GetNumLayers(); ++i) {
                CQKGraphicLayer* layer = g->GetLayerByIndex(i, 1);
                int before = layer->GetNumPlots();
                layer->RemovePlotsOf(handle);
                if (layer->GetNumPlots() != before)
                    qkfxUpdateLegend(layer);
            }
}

CQKDataset* CQKProject::GetDatasetFromHandle(INT_PTR handle) const
{
    if (handle && handle == m_foundHandle)
        return m_foundDataset;
    auto it = m_datasetHandles.find(handle);
    if (it == m_datasetHandles.end())
        return nullptr;
    m_foundHandle = handle;
    m_foundDataset = it->second;
    return it->second;
}

CQKPage* CQKProject::GetPageFromHandle(INT_PTR handle) const
{
    for (const auto& p : m_pages)
        if (p->GetHandle() == handle)
            return p.get();
    return nullptr;
}

std::vector<CQKDataset*> CQKProject::GetAllDatasets() const
{
    std::vector<CQKDataset*> all;
    for (const auto& p : m_pages)
        if (CQKWksPage* wks = dynamic_cast<CQKWksPage*>(p.get()))
            for (int c = 1; c <= wks->GetNumCols(); ++c)
                all.push_back(wks->GetColumn(c));
    for (const auto& d : m_datasets)
        all.push_back(d.get());
    return all;
}

CQKProject& qkfxGetProject()
{
    static CQKProject project;
    return project;
}
