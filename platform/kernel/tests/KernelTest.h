// The fixture of the kernel's tests: a fresh project, interpreter and call log for each
// test, and the interpreter's output caught as text.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "QKCallLog.h"
#include "QKData.h"
#include "QKScript.h"

class KernelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        qkfxGetProject().New();
        qkfxGetScript().Reset();
        qkfxGetCallLog().Clear();
        qkfxGetScript().SetOutput(&KernelTest::Catch, this);
    }
    void TearDown() override { qkfxGetScript().SetOutput(nullptr, nullptr); }

    // Runs a script; the printed lines, each ended by "\n", are in out, errors in err.
    bool Run(const std::string& text)
    {
        out.clear();
        err.clear();
        return qkfxGetScript().Execute(text);
    }

    double Var(const char* name)
    {
        double v = MISSING_VALUE;
        EXPECT_TRUE(qkfxGetScript().GetVariable(name, &v)) << name;
        return v;
    }

    std::string out, err;

private:
    static void Catch(const char* text, int kind, void* user)
    {
        KernelTest* self = static_cast<KernelTest*>(user);
        (kind == 2 ? self->err : self->out) += std::string(text) + "\n";
    }
};

// The lines of two dumps that differ, as "-old" and "+new".
inline std::string Diff(const std::string& before, const std::string& after)
{
    std::istringstream a(before), b(after);
    std::string la, lb, out;
    while (true) {
        bool ga = (bool)std::getline(a, la), gb = (bool)std::getline(b, lb);
        if (!ga && !gb)
            break;
        if (la != lb || ga != gb)
            out += (ga ? "-" + la + "\n" : "") + (gb ? "+" + lb + "\n" : "");
    }
    return out;
}

// Writes a file into the temporary folder and gives its path; removed with the object.
class TempFile {
public:
    TempFile(const char* name, const std::string& text)
    {
        char dir[MAX_PATH];
        GetTempPathA(MAX_PATH, dir);
        path = std::string(dir) + name;
        FILE* f = fopen(path.c_str(), "wb");
        fwrite(text.data(), 1, text.size(), f);
        fclose(f);
    }
    ~TempFile() { DeleteFileA(path.c_str()); }
    std::string path;
};

// The console host (qxrun.exe beside the test) run with the arguments: its exit code and
// what it printed.
struct Result {
    DWORD exitCode = 0;
    std::string out, err;
};

inline std::string ReadAll(HANDLE pipe)
{
    std::string text;
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(pipe, buf, sizeof buf, &got, nullptr) && got > 0)
        text.append(buf, got);
    return text;
}

inline Result RunHost(const std::string& arguments)
{
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string path(exe);
    path = path.substr(0, path.find_last_of('\\')) + "\\qxrun.exe";
    std::string command = "\"" + path + "\" " + arguments;

    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    HANDLE outRead, outWrite, errRead, errWrite;
    CreatePipe(&outRead, &outWrite, &sa, 0);
    CreatePipe(&errRead, &errWrite, &sa, 0);
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si = {sizeof si};
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = outWrite;
    si.hStdError = errWrite;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION pi = {};
    Result r;
    std::vector<char> cmd(command.begin(), command.end());
    cmd.push_back(0);
    BOOL started = CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    EXPECT_TRUE(started) << command;
    if (started) {
        // The outputs are small; stderr is read after stdout reaches its end.
        r.out = ReadAll(outRead);
        r.err = ReadAll(errRead);
        WaitForSingleObject(pi.hProcess, INFINITE);
        GetExitCodeProcess(pi.hProcess, &r.exitCode);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
    }
    CloseHandle(outRead);
    CloseHandle(errRead);
    return r;
}

