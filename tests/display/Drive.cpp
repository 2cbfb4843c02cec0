// qxdrive.exe: talks to a running program through the probe library (see Probe.cpp).
//   qxdrive.exe <program.exe> [seconds]
// Waits up to SECONDS (default 120) for a process of that image name to show its main
// window, puts qxprobe.dll (from beside this program) into it, prints "attached <process id>
// <main window>" and a line ".", and then passes each request line read from the standard
// input to the probe and prints its answer, which ends with a line ".". It ends at the end
// of the input, at a line "quit", or with exit code 3 when the program has gone.
#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

DWORD FindProcess(const char* image)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return 0;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    DWORD found = 0;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (_stricmp(entry.szExeFile, image) == 0)
            found = entry.th32ProcessID;
    CloseHandle(snapshot);
    return found;
}

struct MainSearch
{
    DWORD pid;
    HWND found;
};

HWND FindMainWindow(DWORD pid)
{
    MainSearch search = {pid, nullptr};
    EnumWindows(
        [](HWND hwnd, LPARAM lParam) -> BOOL {
            MainSearch* s = (MainSearch*)lParam;
            DWORD owner = 0;
            GetWindowThreadProcessId(hwnd, &owner);
            // The main window has a menu, on itself or on a menu bar of the toolkit (which
            // marks the frame with the property "SECMenuBar").
            if (owner == s->pid && IsWindowVisible(hwnd) && GetWindow(hwnd, GW_OWNER) == nullptr &&
                (GetMenu(hwnd) != nullptr || GetPropA(hwnd, "SECMenuBar") != nullptr)) {
                s->found = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        (LPARAM)&search);
    return search.found;
}

void Say(const char* text)
{
    printf("%s\n.\n", text);
    fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: qxdrive.exe program.exe [seconds]\n");
        return 2;
    }
    const char* image = argv[1];
    int seconds = argc > 2 ? atoi(argv[2]) : 120;

    DWORD pid = 0;
    HWND main = nullptr;
    for (int waited = 0; waited < seconds * 1000 && main == nullptr; waited += 100) {
        if (pid == 0 || !FindMainWindow(pid))
            pid = FindProcess(image);
        if (pid != 0)
            main = FindMainWindow(pid);
        if (main == nullptr)
            Sleep(100);
    }
    if (main == nullptr) {
        fprintf(stderr, "qxdrive: %s showed no main window within %d s\n", image, seconds);
        return 1;
    }

    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    strcpy(strrchr(path, '\\') + 1, "qxprobe.dll");
    // Only the hook's address is needed here: the library's imports are the program's.
    HMODULE probe = LoadLibraryExA(path, nullptr, DONT_RESOLVE_DLL_REFERENCES);
    HOOKPROC hook = probe != nullptr ? (HOOKPROC)GetProcAddress(probe, "QxProbeHook") : nullptr;
    if (hook == nullptr) {
        fprintf(stderr, "qxdrive: cannot load %s (error %lu)\n", path, GetLastError());
        return 1;
    }
    DWORD thread = GetWindowThreadProcessId(main, nullptr);
    HHOOK hhook = SetWindowsHookExA(WH_GETMESSAGE, hook, probe, thread);
    if (hhook == nullptr) {
        fprintf(stderr, "qxdrive: cannot hook the program (error %lu)\n", GetLastError());
        return 1;
    }
    char pipeName[64];
    snprintf(pipeName, sizeof pipeName, "\\\\.\\pipe\\qxprobe-%lu", pid);
    HANDLE pipe = INVALID_HANDLE_VALUE;
    for (int waited = 0; waited < 20000 && pipe == INVALID_HANDLE_VALUE; waited += 50) {
        PostMessageA(main, WM_NULL, 0, 0);   // any message calls the hook
        pipe = CreateFileA(pipeName, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (pipe == INVALID_HANDLE_VALUE)
            Sleep(50);
    }
    UnhookWindowsHookEx(hhook);
    if (pipe == INVALID_HANDLE_VALUE) {
        fprintf(stderr, "qxdrive: the probe did not start in the program\n");
        return 1;
    }
    char hello[96];
    snprintf(hello, sizeof hello, "attached %lu %llx", pid, (unsigned long long)(ULONG_PTR)main);
    Say(hello);

    char line[8192];
    while (fgets(line, sizeof line, stdin) != nullptr) {
        std::string request = line;
        while (!request.empty() && (request.back() == '\n' || request.back() == '\r'))
            request.pop_back();
        if (request == "quit")
            break;
        request += '\n';
        DWORD written = 0;
        if (!WriteFile(pipe, request.data(), (DWORD)request.size(), &written, nullptr)) {
            Say("error: the program has ended");
            return 3;
        }
        std::string answer;
        char buffer[4096];
        DWORD got = 0;
        // An answer ends with a line holding a single dot.
        while (answer.size() < 2 || answer.compare(answer.size() - 2, 2, ".\n") != 0 ||
               (answer.size() > 2 && answer[answer.size() - 3] != '\n')) {
            if (!ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) || got == 0) {
                Say("error: the program has ended");
                return 3;
            }
            answer.append(buffer, got);
        }
        fwrite(answer.data(), 1, answer.size(), stdout);
        fflush(stdout);
    }
    CloseHandle(pipe);
    return 0;
}
