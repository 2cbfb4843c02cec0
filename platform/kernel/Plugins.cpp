// Plug-in libraries: loaded by name from the program folder on first use, kept loaded for
// the life of the process, entered through QMDLL or the fitter's NonLinearFit.
#include <string.h>

#include <cmath>

#include "KernelInternal.h"
#include "QKCallLog.h"
#include "QKData.h"
#include "QKHost.h"
#include "QKPlotHost.h"
#include "QKScript.h"

namespace {

struct ObjectEntry {
    std::string name;
    std::string library;
    int kind;
    QMDLLProc entry = nullptr; // an object of a library already loaded, entered directly
    // The library's QMDLL or NonLinearFit once bound: libraries stay loaded, and a script
    // that calls a method once per line must not look the library up by path each time.
    FARPROC bound = nullptr;
};

std::vector<ObjectEntry>& Objects()
{
    static std::vector<ObjectEntry> objects = {
        {"qfit", "qxfitter.dll", QK_ENTRY_FITTER},
        {"Stat", "qxstats.dll", QK_ENTRY_QMDLL},
        {"fum", "qxfileio.dll", QK_ENTRY_QMDLL},
        // The interpreter's file object is the file plug-in under a second name.
        {"file", "qxfileio.dll", QK_ENTRY_QMDLL},
        {"QODBC", "qxdbimport.dll", QK_ENTRY_QMDLL},
        {"colormap", "qxsurface.dll", QK_ENTRY_COLORMAP},
    };
    return objects;
}

ObjectEntry* FindObject(const std::string& name)
{
    for (ObjectEntry& e : Objects())
        if (_stricmp(e.name.c_str(), name.c_str()) == 0)
            return &e;
    return nullptr;
}

// Loads a library of the program folder once; null with the reason in *error.
HMODULE LoadPlugin(const std::string& library, std::string* error)
{
    std::string path = qkGetProgramFolder() + "\\" + library;
    HMODULE module = GetModuleHandleA(path.c_str());
    if (!module)
        module = LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module) {
        *error = "cannot load the plug-in library " + path + " (error " + std::to_string(GetLastError()) + ")";
        return nullptr;
    }
    return module;
}

FARPROC Bind(const std::string& library, const char* exportName, std::string* error)
{
    HMODULE module = LoadPlugin(library, error);
    if (!module)
        return nullptr;
    FARPROC proc = GetProcAddress(module, exportName);
    if (!proc)
        *error = "the plug-in library " + library + " has no export " + exportName;
    return proc;
}

LRESULT CALLBACK HostWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    // Plug-ins send script text (member listings: "type NAME") to the host window.
    if (msg == WM_USER && lp) {
        qkfxGetScript().Execute(reinterpret_cast<const char*>(lp));
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

typedef INT_PTR(WINAPI* ColorMapObjectProc)(HWND window, const char* name, const char* argument, double* value,
                                            PlotHostCallback callback, UINT operation);

// The colour map of the 3D and contour library as a script object: numbers only, its
// members named as the library names them ("COLOR3", "ZMIN"); an index in parentheses
// ("COLOR(i+1)") is evaluated here. The library answers 1 for a member it read or set, 2
// for anything else, 3 for the listing.
int CallColorMapObject(ColorMapObjectProc entry, const char* methodName, const char* name, int op, void* result,
                       std::string* error)
{
    HWND host = qkGetHostWindow();
    int code = op & 0xFFFF & ~OBJOP_FLAG_8000;
    if (methodName || code == OBJOP_CALL_METHOD)
        return (op & OBJOP_FLAG_8000) ? QM_NOT_HANDLED : QM_NOT_FOUND;
    if (code != OBJOP_GET_NUMBER && code != OBJOP_SET_NUMBER)
        return QM_NOT_FOUND;
    if (!name || !*name)
        return entry(host, "", "", nullptr, nullptr, 18) == 3 ? QM_HANDLED : QM_NOT_HANDLED;
    std::string member = name;
    size_t open = member.find('(');
    if (open != std::string::npos && member.back() == ')') {
        double index = 0;
        if (!qkfxGetScript().Evaluate(member.substr(open + 1, member.size() - open - 2), &index) ||
            index != index) {
            *error = "cannot read the index of " + member;
            return QM_NOT_HANDLED;
        }
        member = member.substr(0, open) + std::to_string(static_cast<long long>(index));
    }
    if (!entry(host, "", "", nullptr, nullptr, 0x4000)) {
        *error = "there is no colour map: make a contour or colour-mapped plot first";
        return QM_NOT_HANDLED;
    }
    double scratch = 0;
    double* value = (op & OBJOP_FLAG_8000) ? &scratch : static_cast<double*>(result);
    if ((op & OBJOP_FLAG_8000) || code == OBJOP_GET_NUMBER)
        return entry(host, member.c_str(), "", value, nullptr, 18) == 1 ? QM_HANDLED : QM_NOT_FOUND;
    double asked = *value;
    if (entry(host, member.c_str(), "", &scratch, nullptr, 18) != 1)
        return QM_NOT_FOUND;
    INT_PTR rc = entry(host, member.c_str(), "", value, nullptr, 17);
    qkfxGetProject().SetProjectModified(true);
    // The library answers a set it ignores (a band's colour while colours follow the ramp,
    // a level while levels are evenly spaced, a mode other than 0 or 1) as done: read back.
    double now = 0;
    bool whole = member.compare(0, 4, "ZMIN") != 0 && member.compare(0, 4, "ZMAX") != 0 &&
                 member.compare(0, 8, "ZMISSING") != 0;
    bool read = (rc & 0xFF) == 1 && entry(host, member.c_str(), "", &now, nullptr, 18) == 1;
    bool taken;
    if (member == "MODE" || member == "RAMPMODE")
        taken = (std::trunc(asked) == 0 && now == 0) || (std::trunc(asked) == 1 && now == 3);
    else
        taken = now == (whole ? std::trunc(asked) : asked);
    if (read && taken)
        return QM_HANDLED;
    *error = "the colour map keeps " + member + " at " + qkFormatNumber(now);
    if (member.compare(0, 5, "COLOR") == 0 && member.size() > 5 && isdigit((unsigned char)member[5]))
        *error += ": band colours follow the ramp while mode is 3 (set colormap.mode = 0 first)";
    else if (member[0] == 'Z' && member.size() > 1 && isdigit((unsigned char)member[1]))
        *error += ": levels are evenly spaced while mode is 3 (set colormap.mode = 0 first)";
    else if (member == "MODE" || member == "RAMPMODE")
        *error += ": mode takes 0 or 1";
    return QM_NOT_HANDLED;
}

int g_pluginCallDepth = 0;
std::string g_failureReason;
std::vector<INT_PTR> g_temporaries;

} // namespace

bool qkIsPluginObject(const std::string& name)
{
    return FindObject(name) != nullptr;
}

std::vector<std::string> qkGetPluginObjectNames()
{
    std::vector<std::string> names;
    for (const ObjectEntry& e : Objects())
        names.push_back(e.name);
    return names;
}

bool qkfxRegisterScriptObject(const char* name, const char* library, int entryKind)
{
    if (!name || !*name || !library || !*library || (entryKind != QK_ENTRY_QMDLL && entryKind != QK_ENTRY_FITTER))
        return false;
    for (ObjectEntry& e : Objects())
        if (_stricmp(e.name.c_str(), name) == 0) {
            e.library = library;
            e.kind = entryKind;
            e.entry = nullptr;
            e.bound = nullptr;
            return true;
        }
    Objects().push_back({name, library, entryKind});
    return true;
}

bool qkfxRegisterScriptObjectEntry(const char* name, QMDLLProc entry)
{
    if (!name || !*name || !entry)
        return false;
    for (ObjectEntry& e : Objects())
        if (_stricmp(e.name.c_str(), name) == 0) {
            e.library.clear();
            e.kind = QK_ENTRY_QMDLL;
            e.entry = entry;
            e.bound = nullptr;
            return true;
        }
    Objects().push_back({name, std::string(), QK_ENTRY_QMDLL, entry});
    return true;
}

bool qkBindPluginObject(const std::string& object, QKPluginEntry* entry, std::string* error)
{
    ObjectEntry* e = FindObject(object);
    if (!e) {
        *error = "\"" + object + "\" is not a script object";
        return false;
    }
    if (e->kind == QK_ENTRY_COLORMAP) {
        // The library is bound to the project's plot host as it loads.
        if (!e->bound) {
            HMODULE surface = qkfxGetSurfaceLibrary(error);
            e->bound = surface ? GetProcAddress(surface, "ScxCmdObj") : nullptr;
            if (surface && !e->bound)
                *error = "the library " + e->library + " has no export ScxCmdObj";
        }
    } else if (!e->entry && !e->bound) {
        e->bound = Bind(e->library, e->kind == QK_ENTRY_FITTER ? "NonLinearFit" : "QMDLL", error);
    }
    entry->proc = e->entry ? reinterpret_cast<FARPROC>(e->entry) : e->bound;
    entry->kind = e->kind;
    return entry->proc != nullptr;
}

int qkCallBoundPlugin(const QKPluginEntry& entry, const char* methodName, const char* name, int op,
                      void* result, std::string* error)
{
    if (entry.kind == QK_ENTRY_COLORMAP)
        return CallColorMapObject(reinterpret_cast<ColorMapObjectProc>(entry.proc), methodName, name, op, result,
                                  error);
    HWND host = qkGetHostWindow();
    // A call made by a script the plug-in runs meanwhile keeps its reason to itself.
    std::string outerReason;
    outerReason.swap(g_failureReason);
    qkBeginPluginCall();
    int rc;
    if (entry.kind == QK_ENTRY_FITTER)
        rc = reinterpret_cast<NonLinearFitProc>(entry.proc)(host, methodName, name, result, qkFitterHostCallback, op);
    else
        rc = reinterpret_cast<QMDLLProc>(entry.proc)(host, methodName, name, result, qkFrameworkHostCallback, op);
    qkEndPluginCall();
    if (rc == QM_NOT_HANDLED)
        *error = g_failureReason;
    g_failureReason.swap(outerReason);
    return rc;
}

int qkCallPluginObject(const std::string& object, const char* methodName, const char* name, int op,
                       void* result, std::string* error)
{
    if (_stricmp(object.c_str(), "system") == 0)
        return qkCallSystemObject(methodName, name, op, result);
    QKPluginEntry entry;
    if (!qkBindPluginObject(object, &entry, error))
        return -1;
    return qkCallBoundPlugin(entry, methodName, name, op, result, error);
}

int qkfxScxFit(int code, INT_PTR argument, void* value)
{
    const ObjectEntry* e = FindObject("qfit");
    std::string error;
    FARPROC proc = e ? Bind(e->library, "ScxFit", &error) : nullptr;
    if (!proc) {
        qkfxGetScript().Print(error, 2);
        return -1;
    }
    qkBeginPluginCall();
    int rc = reinterpret_cast<ScxFitProc>(proc)(qkGetHostWindow(), code, argument, value, qkFitterHostCallback);
    qkEndPluginCall();
    return rc;
}

int qkfxFitModuleInit(UINT message)
{
    const ObjectEntry* e = FindObject("qfit");
    std::string error;
    FARPROC proc = e ? Bind(e->library, "QFITModuleInit", &error) : nullptr;
    if (!proc) {
        qkfxGetScript().Print(error, 2);
        return -1;
    }
    qkBeginPluginCall();
    int rc = reinterpret_cast<QFITModuleInitProc>(proc)(qkGetHostWindow(), message, 0, qkFitterHostCallback, 0);
    qkEndPluginCall();
    return rc;
}

void qkBeginPluginCall()
{
    ++g_pluginCallDepth;
}

void qkEndPluginCall()
{
    if (--g_pluginCallDepth > 0)
        return;
    // Temporary datasets live for the call that made them.
    std::vector<INT_PTR> doomed;
    doomed.swap(g_temporaries);
    CQKProject& project = qkfxGetProject();
    for (INT_PTR h : doomed)
        if (CQKDataset* d = project.GetDatasetFromHandle(h))
            project.DeleteDataset(d->GetName());
}

void qkSetFailureReason(const std::string& text)
{
    if (g_failureReason.empty())
        g_failureReason = text;
}

void qkAddTemporary(INT_PTR handle)
{
    g_temporaries.push_back(handle);
}

HWND qkGetHostWindow()
{
    static HWND hwnd = nullptr;
    if (hwnd && IsWindow(hwnd))
        return hwnd;
    HINSTANCE instance = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&HostWindowProc), &instance);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = HostWindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = "QxKernelHost";
    RegisterClassA(&wc); // fails harmlessly when the class exists
    hwnd = CreateWindowA("QxKernelHost", "Quorix host", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    return hwnd;
}

HWND qkfxGetHostWindow()
{
    return qkGetHostWindow();
}

std::string qkGetProgramFolder()
{
    char path[MAX_PATH] = "";
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&qkGetProgramFolder), &self);
    DWORD n = GetModuleFileNameA(self, path, MAX_PATH);
    std::string p(path, n);
    size_t slash = p.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : p.substr(0, slash);
}
