// Starts the program named on its command line, waits for it and ends with its exit code.
// The Wine runner starts every program through this one. Now and then Wine ends at once,
// before it has started anything; the runner may then simply try again. But a program
// that fails quickly looks just the same from outside, and starting it again would repeat
// its side effects. So this program first creates the file named by QX_START_MARKER: once
// that file exists, Wine is up and the runner never starts anything again.
//
// The program gets the rest of this program's command line as it stands, its own name
// written as Wine writes it (a Unix path becomes the quoted DOS path), so it sees exactly
// what Wine would have handed it directly; its standard handles are ours. It runs in a job that ends with this process, so a test killed for taking
// too long does not leave its program running.
#include <windows.h>

#include <stdio.h>

#include <string>

namespace {

// The command line after its first word (this program), by the rules of the C runtime:
// a word ends at a blank outside double quotes.
const wchar_t* AfterFirstWord(const wchar_t* line)
{
    bool quoted = false;
    for (; *line; ++line) {
        if (*line == L'"')
            quoted = !quoted;
        else if ((*line == L' ' || *line == L'\t') && !quoted)
            break;
    }
    while (*line == L' ' || *line == L'\t')
        ++line;
    return line;
}

// The first word of `rest` as Wine shows a program's name: a Unix path becomes its DOS
// path in double quotes. Other names stay as they are.
std::wstring ProgramCommandLine(const wchar_t* rest)
{
    const wchar_t* end = rest;
    while (*end && *end != L' ' && *end != L'\t')
        ++end;
    std::wstring word(rest, end);
    if (word.empty() || word[0] != L'/')
        return rest;
    typedef WCHAR*(CDECL * ToDosProc)(const char*);
    ToDosProc toDos = reinterpret_cast<ToDosProc>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name"));
    if (!toDos)
        return rest;
    int n = WideCharToMultiByte(CP_UTF8, 0, word.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string unixPath(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, word.c_str(), -1, &unixPath[0], n, nullptr, nullptr);
    WCHAR* dos = toDos(unixPath.c_str());
    if (!dos)
        return rest;
    std::wstring line = L"\"" + std::wstring(dos) + L"\"" + end;
    HeapFree(GetProcessHeap(), 0, dos);
    return line;
}

void Inherit(DWORD which)
{
    HANDLE h = GetStdHandle(which);
    if (h && h != INVALID_HANDLE_VALUE)
        SetHandleInformation(h, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
}

} // namespace

int main()
{
    wchar_t marker[MAX_PATH * 2];
    DWORD n = GetEnvironmentVariableW(L"QX_START_MARKER", marker, MAX_PATH * 2);
    if (n > 0 && n < MAX_PATH * 2) {
        HANDLE file = CreateFileW(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            fprintf(stderr, "qxstart: cannot create the start marker (error %lu)\n", GetLastError());
            return 125;
        }
        CloseHandle(file);
        SetEnvironmentVariableW(L"QX_START_MARKER", nullptr);
    }

    const wchar_t* rest = AfterFirstWord(GetCommandLineW());
    if (!*rest) {
        fprintf(stderr, "qxstart: no program to start\n");
        return 125;
    }
    // CreateProcess may write into the command line it is given.
    std::wstring commandLine = ProgramCommandLine(rest);

    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    if (job) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    }

    Inherit(STD_INPUT_HANDLE);
    Inherit(STD_OUTPUT_HANDLE);
    Inherit(STD_ERROR_HANDLE);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr, nullptr,
                        &startup, &process)) {
        fprintf(stderr, "qxstart: cannot start %ls (error %lu)\n", rest, GetLastError());
        return 126;
    }
    if (job)
        AssignProcessToJobObject(job, process.hProcess);
    ResumeThread(process.hThread);
    CloseHandle(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    return static_cast<int>(code);
}
