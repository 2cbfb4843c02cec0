// Every deliverable is in the program folder and loads and unloads under Wine.
#include <gtest/gtest.h>
#include <windows.h>

namespace {

const char *const kLibraries[] = {
    "qxafx.dll",   "qxutil.dll",     "qxkernel.dll",  "qxtoolkit.dll", "QCLB60.dll",
    "qxfitter.dll", "qxdialogs.dll", "qxuser.dll",    "qxsurface.dll", "qxstats.dll",
    "qxfileio.dll", "qxdbimport.dll", "qxdlgwizard.dll",
};

TEST(Deliverables, EachLibraryLoadsAndUnloads)
{
    for (const char *name : kLibraries) {
        SCOPED_TRACE(name);
        HMODULE module = LoadLibraryA(name);
        ASSERT_NE(module, nullptr) << "LoadLibrary failed, error " << GetLastError();
        EXPECT_TRUE(FreeLibrary(module));
    }
}

TEST(Deliverables, MainProgramIsThere)
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    ASSERT_GT(n, 0u);
    std::string folder(path, n);
    folder.resize(folder.find_last_of("\\/") + 1);
    EXPECT_NE(GetFileAttributesA((folder + "quorix61.exe").c_str()), INVALID_FILE_ATTRIBUTES);
}

} // namespace
