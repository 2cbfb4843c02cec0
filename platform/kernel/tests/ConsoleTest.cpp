// The console host as a user runs it: a script file in, printed lines and an exit code out.
#include "KernelTest.h"

namespace {

struct Result {
    DWORD exitCode = 0;
    std::string out, err;
};

std::string ReadAll(HANDLE pipe)
{
    std::string text;
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(pipe, buf, sizeof buf, &got, nullptr) && got > 0)
        text.append(buf, got);
    return text;
}

Result RunHost(const std::string& arguments)
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

std::string Lines(std::string s)
{
    std::string t;
    for (char c : s)
        if (c != '\r')
            t += c;
    return t;
}

} // namespace

TEST(ConsoleHost, RunsAScriptFileAndAnswersWithItsOutcome)
{
    TempFile good("qxk_console.qgs",
                  "[Main]\n"
                  "win -t wks;\n"
                  "for (i = 1; i <= 3; i += 1) col(A)[i] = i;\n"
                  "col(B) = col(A) * 10;\n"
                  "type %1 $(col(B)[3]) $(wks.ncols);\n"
                  "return 0;\n");
    Result r = RunHost("\"" + good.path + "\" first");
    EXPECT_EQ(r.exitCode, 0u) << r.err;
    EXPECT_EQ(Lines(r.out), "first 30 2\n");

    TempFile bad("qxk_console_bad.qgs", "type before\nx = undefined + 1\ntype after\n");
    r = RunHost("\"" + bad.path + "\"");
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_EQ(Lines(r.out), "before\n");
    EXPECT_NE(r.err.find("line 2: \"undefined\" is not defined"), std::string::npos) << r.err;

    r = RunHost("C:\\no\\such\\script.qgs");
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_NE(r.err.find("cannot open the script file"), std::string::npos) << r.err;

    r = RunHost("");
    EXPECT_EQ(r.exitCode, 2u);
    EXPECT_NE(r.err.find("usage"), std::string::npos);
}

// The fitter library itself, reached by name: its member listing comes back to the host
// window as script text, which the interpreter prints.
TEST(ConsoleHost, ListsTheFitObjectThroughTheFitterLibrary)
{
    TempFile script("qxk_console_fit.qgs", "qfit.=\n");
    Result r = RunHost("\"" + script.path + "\"");
    EXPECT_EQ(r.exitCode, 0u) << r.err;
    std::string out = Lines(r.out);
    EXPECT_EQ(out.substr(0, 6), "NPARA\n") << out;
    EXPECT_NE(out.find("\nFUNC$\n"), std::string::npos) << out;
    EXPECT_NE(out.find("\nINIT()\n"), std::string::npos) << out;
}
