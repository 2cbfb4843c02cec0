// For tests: registers the stand-in server from the program folder and keeps other test
// processes from changing its registration while a test runs (the registry is shared by
// every process of the Wine prefix).
#pragma once
#include <windows.h>

#include <string>

class QxExcelServerRegistration {
public:
    // registered = false leaves the server unregistered for the test's lifetime.
    explicit QxExcelServerRegistration(bool registered = true)
    {
        m_mutex = CreateMutexA(nullptr, FALSE, "qxexcelsrv-registration");
        if (m_mutex)
            WaitForSingleObject(m_mutex, INFINITE);
        m_ok = Call(registered ? "DllRegisterServer" : "DllUnregisterServer");
    }
    ~QxExcelServerRegistration()
    {
        Call("DllRegisterServer");
        if (m_mutex) {
            ReleaseMutex(m_mutex);
            CloseHandle(m_mutex);
        }
    }
    bool ok() const { return m_ok; }

private:
    static bool Call(const char* entry)
    {
        char path[MAX_PATH];
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string dll(path);
        dll = dll.substr(0, dll.find_last_of("\\/") + 1) + "qxexcelsrv.dll";
        HMODULE m = LoadLibraryA(dll.c_str());
        if (!m)
            return false;
        auto fn = (HRESULT(WINAPI*)())GetProcAddress(m, entry);
        bool ok = fn && SUCCEEDED(fn());
        FreeLibrary(m);
        return ok;
    }
    HANDLE m_mutex = nullptr;
    bool m_ok = false;
};
