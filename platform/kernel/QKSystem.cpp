// The system object: settings objects, file type groups, startup options, and the object
// itself as the user interface's access object makes it.
#include "QKSysMethod.h"

#include <string.h>

#include "KernelInternal.h"
#include "QKAccess.h"
#include "QKData.h"
#include "QKGraphObjects.h"
#include "QKSymbolManager.h"
#include "QmHost.h"

namespace {

const char kSystemSection[] = "System";
const char kGroupsSection[] = "FileTypeGroups";

std::string Cut(const std::string& text, size_t limit)
{
    return text.size() > limit ? text.substr(0, limit) : text;
}

CQKSettingsStore StartupStore()
{
    return CQKSettingsStore(qkfxGetINIFileFullPathName());
}

} // namespace

// ---- settings objects ----

std::string QKSysMethodDash::GetDefinition(int index) const
{
    return index >= 1 && index <= NUM_DEFINITIONS ? m_definitions[index - 1] : std::string();
}

bool QKSysMethodDash::SetDefinition(int index, const std::string& text)
{
    if (index < 1 || index > NUM_DEFINITIONS)
        return false;
    m_definitions[index - 1] = Cut(text, MAX_DEFINITION);
    return true;
}

void QKSysMethodDash::Exchange(QKSettingsExchange& ex)
{
    ExchangeInts(ex);
    for (int i = 0; i < NUM_DEFINITIONS; ++i) {
        std::string key = "Definition" + std::to_string(i + 1);
        ex.Text(key.c_str(), m_definitions[i]);
        m_definitions[i] = Cut(m_definitions[i], MAX_DEFINITION);
    }
}

std::string QKSysMethodDate::GetCustomFormat(int index) const
{
    return index >= 0 && index < NUM_CUSTOM ? m_custom[index] : std::string();
}

bool QKSysMethodDate::SetCustomFormat(int index, const std::string& text)
{
    if (index < 0 || index >= NUM_CUSTOM)
        return false;
    m_custom[index] = Cut(text, MAX_CUSTOM);
    return true;
}

void QKSysMethodDate::Exchange(QKSettingsExchange& ex)
{
    for (int i = 0; i < NUM_CUSTOM; ++i) {
        std::string key = "CustomFormat" + std::to_string(i + 1);
        ex.Text(key.c_str(), m_custom[i]);
        m_custom[i] = Cut(m_custom[i], MAX_CUSTOM);
    }
}

// ---- file type groups ----

void CQKFileTypeGroup::SetDefaultType(int index)
{
    m_defaultType = index >= 0 && index < GetNumTypes() ? index : -1;
}

std::string CQKFileTypeGroup::GetTypeDescription(int index) const
{
    return index >= 0 && index < GetNumTypes() ? m_types[index].description : std::string();
}

std::string CQKFileTypeGroup::GetTypeExtensions(int index) const
{
    return index >= 0 && index < GetNumTypes() ? m_types[index].extensions : std::string();
}

bool CQKFileTypeGroup::AddType(const std::string& description, const std::string& pattern)
{
    std::string trimmed = qkTrim(pattern);
    if (trimmed.empty())
        return false;
    m_types.push_back({Cut(description, MAX_DESCRIPTION), Cut(trimmed, MAX_PATTERN)});
    return true;
}

bool CQKFileTypeGroup::DeleteType(int index)
{
    if (index < 0 || index >= GetNumTypes())
        return false;
    m_types.erase(m_types.begin() + index);
    if (m_defaultType == index)
        m_defaultType = m_types.empty() ? -1 : 0;
    else if (m_defaultType > index)
        --m_defaultType;
    return true;
}

CQKFileTypeGroupPtrArray& CQKFileTypeGroupPtrArray::operator=(const CQKFileTypeGroupPtrArray& other)
{
    if (this == &other)
        return *this;
    RemoveAll();
    for (CQKFileTypeGroup* g : other.m_groups)
        m_groups.push_back(new CQKFileTypeGroup(*g));
    return *this;
}

CQKFileTypeGroup* CQKFileTypeGroupPtrArray::GetAt(int index) const
{
    return index >= 0 && index < GetSize() ? m_groups[index] : nullptr;
}

void CQKFileTypeGroupPtrArray::RemoveAll()
{
    for (CQKFileTypeGroup* g : m_groups)
        delete g;
    m_groups.clear();
}

int CQKFileTypeGroupPtrArray::GetGroupIndex(const char* name) const
{
    for (int i = 0; i < GetSize(); ++i)
        if (name && _stricmp(m_groups[i]->GetName().c_str(), name) == 0)
            return i;
    return -1;
}

QKSysMethodFileExt::QKSysMethodFileExt()
{
    LoadInternalDefaults(m_groups);
}

void QKSysMethodFileExt::LoadInternalDefaults(CQKFileTypeGroupPtrArray& groups) const
{
    struct Builtin {
        const char* group;
        const char* types[4][2];
    };
    static const Builtin kBuiltin[] = {
        {"ASCII", {{"ASCII (*.dat)", "*.dat"}, {"Text (*.txt)", "*.txt"}, {"Comma Separated (*.csv)", "*.csv"},
                   {"All Files (*.*)", "*.*"}}},
        {"Project", {{"Project (*.qpj)", "*.qpj"}}},
        {"Script", {{"Scrivex Script (*.qgs)", "*.qgs"}, {"All Files (*.*)", "*.*"}}},
        {"Excel", {{"Excel Workbook (*.xls)", "*.xls"}}},
        {"TEMPLATE", {{"Worksheet Template (*.qtw)", "*.qtw"}, {"Graph Template (*.qtp)", "*.qtp"},
                      {"Matrix Template (*.qtm)", "*.qtm"}}},
        {"Window", {{"Worksheet (*.qgw)", "*.qgw"}, {"Graph (*.qgg)", "*.qgg"}, {"Matrix (*.qgm)", "*.qgm"},
                    {"Layout (*.qgl)", "*.qgl"}}},
        {"Package", {{"Quorix Packed Files (*.qpk)", "*.qpk"}}},
        {"Kaleidagraph Any", {{"Kaleidagraph Data (*.qda)", "*.qda"}, {"All Files (*.*)", "*.*"}}},
    };
    groups.RemoveAll();
    for (const Builtin& b : kBuiltin) {
        auto* g = new CQKFileTypeGroup(b.group);
        for (const auto& t : b.types)
            if (t[0])
                g->AddType(t[0], t[1]);
        g->SetDefaultType(0);
        groups.Add(g);
    }
}

bool QKSysMethodFileExt::Load(CQKFileTypeGroupPtrArray& groups) const
{
    CQKSettingsStore store = StartupStore();
    std::string countText;
    if (!store.Read(kGroupsSection, "Count", countText)) {
        LoadInternalDefaults(groups);
        return true;
    }
    int count = atoi(countText.c_str());
    if (count <= 0 || count > 1000) {
        LoadInternalDefaults(groups);
        return false;
    }
    groups.RemoveAll();
    for (int i = 0; i < count; ++i) {
        std::string name;
        if (!store.Read(kGroupsSection, "Group" + std::to_string(i + 1), name) || name.empty()) {
            LoadInternalDefaults(groups);
            return false;
        }
        std::string section = std::string(kGroupsSection) + "." + name;
        auto* g = new CQKFileTypeGroup(name);
        std::string text;
        if (store.Read(section, "Path", text))
            g->SetDefaultPath(text);
        int types = store.Read(section, "Types", text) ? atoi(text.c_str()) : 0;
        for (int t = 0; t < types && t < 1000; ++t) {
            std::string description, extensions;
            store.Read(section, "Description" + std::to_string(t + 1), description);
            store.Read(section, "Extensions" + std::to_string(t + 1), extensions);
            g->AddType(description, extensions);
        }
        if (store.Read(section, "DefaultType", text))
            g->SetDefaultType(atoi(text.c_str()));
        groups.Add(g);
    }
    return true;
}

bool QKSysMethodFileExt::Save(const CQKFileTypeGroupPtrArray& groups) const
{
    std::string file = qkfxGetINIFileFullPathName();
    CQKSettingsStore store(file);
    // Old groups' sections go first, so that a group removed since leaves no section.
    std::string oldCount;
    if (store.Read(kGroupsSection, "Count", oldCount)) {
        for (int i = 0, n = atoi(oldCount.c_str()); i < n && i < 1000; ++i) {
            std::string name;
            if (store.Read(kGroupsSection, "Group" + std::to_string(i + 1), name))
                WritePrivateProfileStringA((std::string(kGroupsSection) + "." + name).c_str(), nullptr, nullptr,
                                           file.c_str());
        }
    }
    WritePrivateProfileStringA(kGroupsSection, nullptr, nullptr, file.c_str());
    for (int i = 0; i < groups.GetSize(); ++i) {
        const CQKFileTypeGroup* g = groups.GetAt(i);
        std::string section = std::string(kGroupsSection) + "." + g->GetName();
        WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, file.c_str());
        store.Write(kGroupsSection, "Group" + std::to_string(i + 1), g->GetName());
        store.Write(section, "Path", g->GetDefaultPath());
        store.Write(section, "Types", std::to_string(g->GetNumTypes()));
        for (int t = 0; t < g->GetNumTypes(); ++t) {
            store.Write(section, "Description" + std::to_string(t + 1), g->GetTypeDescription(t));
            store.Write(section, "Extensions" + std::to_string(t + 1), g->GetTypeExtensions(t));
        }
        store.Write(section, "DefaultType", std::to_string(g->GetDefaultType()));
    }
    // The count last: a file cut short reads as no saved groups.
    store.Write(kGroupsSection, "Count", std::to_string(groups.GetSize()));
    std::string check;
    return store.Read(kGroupsSection, "Count", check) && check == std::to_string(groups.GetSize());
}

void QKSysMethodFileExt::Exchange(QKSettingsExchange& ex)
{
    int tracking = m_tracking, between = m_trackingBetween;
    ex.Int("Tracking", tracking);
    ex.Int("TrackingBetweenSessions", between);
    EnableTracking(tracking);
    EnableTrackingBetweenSessions(between);
}

// ---- the system object ----

namespace {

// The script object's rows and the settings objects, to the INI file or back; reading
// the startup options also takes the saved colour palette.
void ExchangeStartup(QmDLL* root, int save, double* result, bool palette = true)
{
    auto* system = static_cast<CQKQrxSystem*>(root);
    CQKSettingsStore store = StartupStore();
    STINI ini = {&store, save};
    system->LoadSaveINI(&ini, kSystemSection);
    system->ExchangeSettings(&ini);
    if (!save && palette) {
        CQKColor::ReadPaletteFromINIFile();
        qkfxGetSymbolManager()->ReadUDSsFromINIFile();
    }
    if (result)
        *result = 0;
}

} // namespace

int CQKSaveStartupMethod::Process(double* result, QmDLL* root)
{
    ExchangeStartup(root, 1, result);
    return 0;
}

int CQKLoadStartupMethod::Process(double* result, QmDLL* root)
{
    ExchangeStartup(root, 0, result);
    return 0;
}

CQKQrxSystem::CQKQrxSystem()
{
    m_kernelPropertyRows[0] = QmEndRow();
    m_kernelMethodRows[0] = QmObjectRow("SAVESTARTUP", &m_saveStartup, QM_KIND_OBJECT);
    m_kernelMethodRows[1] = QmObjectRow("LOADSTARTUP", &m_loadStartup, QM_KIND_OBJECT);
    m_kernelMethodRows[2] = QmEndRow();
    m_systemProperties = m_kernelPropertyRows;
    m_systemMethods = m_kernelMethodRows;
}

CQKQrxSystem::~CQKQrxSystem() = default;

BOOL CQKQrxSystem::OnCloseAllWindows(int mode)
{
    CQKProject& project = qkfxGetProject();
    if (mode == 0) {
        if (!project.OnClosingQuery())
            return FALSE;
        for (int i = 0; i < project.GetNumPages(); ++i)
            if (!project.GetPage(i)->OnClosingQuery(TRUE))
                return FALSE;
    }
    CQKAccess* access = qkfxGetAccess();
    access->BeginClosingAll(mode);
    // The windows close with their pages.
    project.New();
    access->EndClosingAll(mode);
    return TRUE;
}

int CQKQrxSystem::FindValue(const char* name, int op, char* text)
{
    int rc = find_value(name, op, text, m_systemProperties, this);
    return rc ? rc : find_value(name, op, text, properties, this);
}

int CQKQrxSystem::FindCommand(const char* name, const char* argText, double* result)
{
    int rc = find_command(name, argText, result, m_systemMethods);
    return rc ? rc : find_command(name, argText, result, methods);
}

int CQKQrxSystem::FindCommandValue(const char* methodName, const char* name, char* text, int op)
{
    int rc = find_command_value(methodName, name, text, op, m_systemMethods);
    return rc ? rc : find_command_value(methodName, name, text, op, methods);
}

void CQKQrxSystem::List()
{
    list_table(m_systemMethods, "");
    list_table(m_systemProperties, "");
    list_table(methods, "");
    list_table(properties, "");
}

void CQKQrxSystem::Init()
{
    init_members();
    init_table(m_systemProperties, this);
    init_table(m_systemMethods, this);
}

int CQKQrxSystem::LoadSaveINI(STINI* ini, const char* section)
{
    load_save_INI(ini, section, m_systemMethods, this);
    load_save_INI(ini, section, m_systemProperties, this);
    return 1;
}

void CQKQrxSystem::init_members()
{
    QmDLL::init_members();
    m_settings = QKSettings();
}

void CQKQrxSystem::SaveTemporary()
{
    QmDLL::SaveTemporary();
    m_snapshot = m_settings;
}

void CQKQrxSystem::LoadTemporary()
{
    QmDLL::LoadTemporary();
    m_settings = m_snapshot;
}

BOOL CQKQrxSystem::LoadPropertySettings(const char* file, const char* section)
{
    if (file || section)
        return FALSE;
    // The palette is no property setting: an unsaved palette of the session stays.
    ExchangeStartup(this, 0, nullptr, false);
    return TRUE;
}

BOOL CQKQrxSystem::SavePropertySettings(const char* file, const char* section)
{
    if (file || section)
        return FALSE;
    ExchangeStartup(this, 1, nullptr);
    return TRUE;
}

void CQKQrxSystem::ExchangeSettings(STINI* ini)
{
#define QK_EXCHANGE(member, section, call) \
    { \
        QKSettingsExchange ex(ini, section); \
        m_settings.member.call(ex); \
    }
    QK_EXCHANGE(math, "Math", Exchange)
    QK_EXCHANGE(numeric, "Numeric", ExchangeInts)
    QK_EXCHANGE(tick, "Tick", ExchangeInts)
    QK_EXCHANGE(axis, "Axis", Exchange)
    QK_EXCHANGE(dash, "Dash", Exchange)
    QK_EXCHANGE(symbol, "Symbol", ExchangeInts)
    QK_EXCHANGE(graph, "Graph", Exchange)
    QK_EXCHANGE(matrix, "Matrix", Exchange)
    QK_EXCHANGE(font, "Font", ExchangeInts)
    QK_EXCHANGE(print, "Print", ExchangeInts)
    QK_EXCHANGE(copyPage, "CopyPage", ExchangeInts)
    QK_EXCHANGE(page, "Page", ExchangeInts)
    QK_EXCHANGE(display, "Display", Exchange)
    QK_EXCHANGE(date, "Date", Exchange)
    QK_EXCHANGE(wks, "Wks", Exchange)
    QK_EXCHANGE(notes, "Notes", ExchangeInts)
    QK_EXCHANGE(script, "Script", ExchangeInts)
    QK_EXCHANGE(project, "Project", ExchangeInts)
    QK_EXCHANGE(grid, "Grid", Exchange)
#undef QK_EXCHANGE
    {
        QKSettingsExchange ex(ini, "TextDefault");
        qkExchangeTextDefaults(ex);
    }
    QKSettingsExchange ex(ini, "FileExt");
    m_fileExt.Exchange(ex);
}

namespace {
CQKQrxSystem* g_system = nullptr;
}

CQKQrxSystem& qkfxGetQrxSystem()
{
    if (!g_system) {
        g_system = qkfxGetAccess()->create_QrxSystem_object();
        // Without memory for the user interface's object the kernel's own still serves.
        if (!g_system)
            g_system = new CQKQrxSystem;
        g_system->Init();
        g_system->GetRefLoadStartup().Process(nullptr, g_system);
    }
    return *g_system;
}

void qkDeleteQrxSystem()
{
    delete g_system;
    g_system = nullptr;
}

int qkCallSystemObject(const char* methodName, const char* name, int op, void* result)
{
    CQKQrxSystem& system = qkfxGetQrxSystem();
    int code = op & 0xFFFF & ~OBJOP_FLAG_8000;
    if (code == OBJOP_CALL_METHOD) {
        double* value = (op & OBJOP_FLAG_8000) ? nullptr : static_cast<double*>(result);
        return system.FindCommand(methodName, name, value);
    }
    if (!methodName && name && !*name) {
        system.List();
        return QM_HANDLED;
    }
    auto find = [&](char* text) {
        return methodName ? system.FindCommandValue(methodName, name, text, code)
                          : system.FindValue(name, code, text);
    };
    if (code == OBJOP_GET_STRING || code == OBJOP_SET_STRING)
        return find(static_cast<char*>(result));
    if (code != OBJOP_GET_NUMBER && code != OBJOP_SET_NUMBER)
        return QM_NOT_HANDLED;
    char text[QM_ROW_TEXT_SIZE] = "";
    if (code == OBJOP_SET_NUMBER)
        lstrcpynA(text, qkFormatNumber(*static_cast<double*>(result), 17).c_str(), sizeof text);
    int rc = find(text);
    if (rc == QM_HANDLED && code == OBJOP_GET_NUMBER)
        *static_cast<double*>(result) = atof(text);
    return rc;
}

int qkuCheckConvertPlotId(int id)
{
    switch (id) {
    case 33248:
    case 33249:
    case 33250:
    case 33280:
        return id;
    default:
        return 33249;
    }
}

int qkuSetGetDefaultPlotType(int id)
{
    QKSysMethodGraph& graph = qkfxGetQrxSystem().GetRefGraph();
    if (id != -1)
        graph.SetDefaultPlotType(id);
    return graph.GetDefaultPlotType();
}
