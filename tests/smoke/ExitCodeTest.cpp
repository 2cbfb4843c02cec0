// A failing assertion and a crash must both end a test program with a nonzero exit code,
// and a crash must not wait on a debugger: otherwise a broken test would pass in CTest.
// (A program started from another Windows program sees exit code 0 for a stack overflow
// under Wine; CTest, which sees the Unix exit status, is checked for that case by the
// tests smoke_failing_* beside this one.)
#include <gtest/gtest.h>
#include <windows.h>
#include <string>

namespace {

DWORD RunFailingProgram(const std::string &mode)
{
    std::string command = "smoke_failing.exe " + mode;
    STARTUPINFOA si = {sizeof si};
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = si.hStdOutput = si.hStdError = nullptr;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return 0xdeadbeef;
    DWORD wait = WaitForSingleObject(pi.hProcess, 30000);
    DWORD code = 0xfeedface;
    if (wait == WAIT_OBJECT_0)
        GetExitCodeProcess(pi.hProcess, &code);
    else
        TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}

TEST(ExitCodes, PassFailAndCrash)
{
    EXPECT_EQ(RunFailingProgram("pass"), 0u);
    EXPECT_NE(RunFailingProgram("fail"), 0u);
    DWORD crash = RunFailingProgram("crash");
    EXPECT_NE(crash, 0u);
    EXPECT_NE(crash, 0xfeedfaceu) << "the crashed program did not end";
    EXPECT_NE(crash, 0xdeadbeefu) << "the program did not start";
}

} // namespace
