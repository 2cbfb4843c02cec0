// The function catalogue in qfit.ini: section "Category" maps each category to the folder of
// its definition files, and one section per category maps Function Names to file names.
// The session keeps the definitions of one category loaded at a time.
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "FitMemory.h"
#include "FitSession.h"
#include "FitUtil.h"

namespace {

const char kCategorySection[] = "Category";
const char kDefaultKey[] = "Default Function";

std::vector<std::string> KeyNames(const char* section, const char* file, size_t capacity)
{
    std::string buffer(capacity + 2, '\0');
    GetPrivateProfileStringA(section, nullptr, "", &buffer[0], static_cast<DWORD>(capacity), file);
    std::vector<std::string> names;
    for (const char* p = buffer.c_str(); *p; p += strlen(p) + 1)
        names.push_back(p);
    return names;
}

std::string ProfileValue(const char* section, const char* key, const char* file, size_t capacity)
{
    std::string buffer(capacity + 1, '\0');
    ReadProfileString(section, key, "", &buffer[0], static_cast<int>(capacity), file);
    buffer.resize(strlen(buffer.c_str()));
    return buffer;
}

std::string JoinFolder(const std::string& folder, const std::string& name)
{
    const bool folderSlash = !folder.empty() && (folder.back() == '\\' || folder.back() == '/');
    const bool nameSlash = !name.empty() && (name[0] == '\\' || name[0] == '/');
    if (folderSlash && nameSlash)
        return folder + name.substr(1);
    if (!folderSlash && !nameSlash && !folder.empty())
        return folder + "\\" + name;
    return folder + name;
}

bool IsFolder(const std::string& path)
{
    const DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

int ResolveFunctionDir(FittingSession* s, const char* folder, char* out, size_t capacity)
{
    std::string resolved = folder;
    int result = 0;
    if (!strchr(folder, ':')) {
        resolved = JoinFolder(HostFolder(s, HOST_GET_SETTINGS_DIR), folder);
        if (!IsFolder(resolved)) {
            resolved = JoinFolder(HostFolder(s, HOST_GET_FALLBACK_DIR), folder);
            result = IsFolder(resolved) ? 0 : 1;
        }
    }
    if (!resolved.empty() && resolved.back() != '\\' && resolved.back() != '/')
        resolved += '\\';
    snprintf(out, capacity, "%s", resolved.c_str());
    return result;
}

void FreeFunctionList(FittingSession* s)
{
    for (int i = 0; i < s->nFunctions; ++i) {
        ReleaseFunction(s->functions[i]);
        FreeLockedBlock(s->functions[i]);
    }
    FreeAndClear(s->functions);
    s->nFunctions = 0;
    s->functionCapacity = 0;
    s->current = nullptr;
}

int LoadFunctionGroup(FittingSession* s, const char* category)
{
    if (s->current)
        SelectFunction(s, nullptr);
    FreeFunctionList(s);
    char ini[2 * QFIT_HOST_TEXT_CAPACITY];
    GetIniPath(s, ini, sizeof ini);
    const std::vector<std::string> keys = KeyNames(category, ini, 4096);
    // A category that lists nothing yet is still the one new functions are saved into.
    snprintf(s->category, sizeof s->category, "%s", category);
    if (keys.empty())
        return 1;
    char folder[MAX_PATH];
    ResolveFunctionDir(s, ProfileValue(kCategorySection, category, ini, 265).c_str(), folder, sizeof folder);
    CallHost(s, HOST_STATUS_TEXT, reinterpret_cast<INT_PTR>("Loading fitting functions..."), 0);
    FunctionDef* def = AllocArray<FunctionDef>(1);
    int result = def ? 0 : 1;
    for (size_t i = 0; def && i < keys.size(); ++i) {
        if (_stricmp(keys[i].c_str(), kDefaultKey) == 0)
            continue;
        const std::string value = ProfileValue(category, keys[i].c_str(), ini, MAX_PATH);
        if (value.empty())
            continue;
        const std::string path = strchr(value.c_str(), ':') ? value : std::string(folder) + value;
        if (ReadFunctionFile(s, def, path.c_str()) == 0 && AddLoadedFunction(s, def) != 0)
            result = 1;
        ReleaseFunction(def);
    }
    FreeLockedBlock(def);
    CallHost(s, HOST_STATUS_TEXT, reinterpret_cast<INT_PTR>(""), 0);
    snprintf(s->category, sizeof s->category, "%s", category);
    return result || s->nFunctions == 0 ? 1 : 0;
}

int FindFunctionCategory(const char* name, const char* iniPath, char* out, size_t capacity)
{
    for (const std::string& category : KeyNames(kCategorySection, iniPath, 4096))
        for (const std::string& key : KeyNames(category.c_str(), iniPath, 4096))
            if (_stricmp(key.c_str(), name) == 0 && _stricmp(key.c_str(), kDefaultKey) != 0) {
                snprintf(out, capacity, "%s", category.c_str());
                return 1;
            }
    return 0;
}

int AddFunctionToCategory(const char* category, const FunctionDef* def, const char* iniPath)
{
    if (!category[0] || !def->name[0])
        return 1;
    const char* fileName = PathFileName(def->path);
    // Every other key that names this file goes, so a renamed function is listed once. A
    // category that lists nothing yet gets its first function all the same.
    for (const std::string& key : KeyNames(category, iniPath, 4096)) {
        if (_stricmp(key.c_str(), kDefaultKey) == 0)
            continue;
        const std::string value = ProfileValue(category, key.c_str(), iniPath, MAX_PATH);
        if (_stricmp(PathFileName(value.c_str()), fileName) == 0)
            WritePrivateProfileStringA(category, key.c_str(), nullptr, iniPath);
    }
    return WritePrivateProfileStringA(category, def->name, fileName, iniPath) ? 0 : 1;
}

int SyncDefaultFunction(FittingSession* s, int mode, const char* category)
{
    char ini[2 * QFIT_HOST_TEXT_CAPACITY];
    GetIniPath(s, ini, sizeof ini);
    if (mode == 0) {
        FunctionDef* def = FindLoadedFunction(s, ProfileValue(category, kDefaultKey, ini, 63).c_str());
        return def ? SelectFunction(s, def) : 1;
    }
    GetWritableIniPath(s, ini, sizeof ini);
    WritePrivateProfileStringA(category, kDefaultKey, s->current ? s->current->name : "", ini);
    return 0;
}

int RemoveFunction(FittingSession* s, int index)
{
    if (index < 0 || index >= s->nFunctions)
        return -1;
    int currentIndex = -1;
    for (int i = 0; i < s->nFunctions; ++i)
        if (s->functions[i] == s->current)
            currentIndex = i;
    if (currentIndex == index)
        SelectFunction(s, nullptr);
    ReleaseFunction(s->functions[index]);
    FreeLockedBlock(s->functions[index]);
    memmove(&s->functions[index], &s->functions[index + 1], (s->nFunctions - index - 1) * sizeof(FunctionDef*));
    --s->nFunctions;
    if (currentIndex == index) {
        // The removed one was current: the one that took its place, or the one before it
        // when it was the last.
        const int next = index < s->nFunctions ? index : s->nFunctions - 1;
        if (next >= 0)
            SelectFunction(s, s->functions[next]);
    }
    return 0;
}

int ConvertOldFunctionLists(FittingSession* s)
{
    char profile[QFIT_HOST_TEXT_CAPACITY] = "";
    if (CallHost(s, HOST_REQ_1019, reinterpret_cast<INT_PTR>(profile), 0) != 0 || !profile[0])
        return 1;
    profile[sizeof profile - 1] = 0;
    const std::vector<std::string> keys = KeyNames("FitFunc", profile, 1024);
    const std::string folder = ProfileValue("FitFunc", "path", profile, 254);
    if (keys.empty() || folder.empty())
        return 1;
    char ini[2 * QFIT_HOST_TEXT_CAPACITY];
    GetWritableIniPath(s, ini, sizeof ini);
    bool failed = false;
    for (const std::string& key : keys) {
        if (key.size() <= 4 || _strnicmp(key.c_str(), "list", 4) != 0)
            continue;
        HMODULE converter = LoadLibraryFromProgramDir(s, kOldFormatConverter);
        const ReadOldFunctionFileProc read = converter ? reinterpret_cast<ReadOldFunctionFileProc>(
                                                             GetProcAddress(converter, "ReadOldFunctionFile"))
                                                       : nullptr;
        if (!read) {
            failed = true;
            if (converter)
                FreeLibrary(converter);
            continue;
        }
        const std::string category = "Quorix_" + key;
        const std::string names = ProfileValue("FitFunc", key.c_str(), profile, 1023);
        char name[MAX_PATH];
        for (const char* p = NextToken(names.c_str(), " \t", name, sizeof name); name[0];
             p = NextToken(p, " \t", name, sizeof name)) {
            const std::string file = JoinFolder(folder, name) + ".f";
            if (read(file.c_str(), nullptr) == -1)
                continue;
            WritePrivateProfileStringA(kCategorySection, category.c_str(), folder.c_str(), ini);
            WritePrivateProfileStringA(category.c_str(), name, name, ini);
        }
        FreeLibrary(converter);
    }
    if (failed)
        return 1;
    WritePrivateProfileStringA("FitFunc", nullptr, nullptr, profile);
    return 0;
}

FunctionDef* FindOrLoadFunction(FittingSession* s, const char* name)
{
    if (FunctionDef* def = FindLoadedFunction(s, name))
        return def;
    char ini[2 * QFIT_HOST_TEXT_CAPACITY];
    GetIniPath(s, ini, sizeof ini);
    char category[CATEGORY_CHARS];
    s->definitionError[0] = 0;
    if (!FindFunctionCategory(name, ini, category, sizeof category))
        return nullptr;
    LoadFunctionGroup(s, category);
    if (FunctionDef* def = FindLoadedFunction(s, name))
        return def;
    // Listed but not loaded: its file is read once more, alone, to say what is wrong with it.
    const std::string value = ProfileValue(category, name, ini, MAX_PATH);
    char folder[MAX_PATH];
    ResolveFunctionDir(s, ProfileValue(kCategorySection, category, ini, 265).c_str(), folder, sizeof folder);
    const std::string path = strchr(value.c_str(), ':') ? value : std::string(folder) + value;
    FunctionDef* probe = AllocArray<FunctionDef>(1);
    if (!probe)
        return nullptr;
    if (value.empty())
        snprintf(s->definitionError, sizeof s->definitionError, "its entry in category \"%s\" names no file",
                 category);
    else if (ReadFunctionFile(s, probe, path.c_str()) == 0)
        snprintf(s->definitionError, sizeof s->definitionError, "the file %s.fdf names the function \"%s\"",
                 path.c_str(), probe->name);
    else if (!strstr(s->definitionError, ".fdf")) {
        const std::string why = s->definitionError;
        snprintf(s->definitionError, sizeof s->definitionError, "the file %s.fdf cannot be read: %s", path.c_str(),
                 why.c_str());
    }
    ReleaseFunction(probe);
    FreeLockedBlock(probe);
    return nullptr;
}
