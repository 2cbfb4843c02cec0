// quorix61.exe started as a user or another program starts it, with its INI folder in a
// folder of the test's own, and closed through its main window. A program that does not
// end in time is ended by the test, which then fails.
#include <gtest/gtest.h>
#include <windows.h>
#include "TestHelpers.h"

#include <fstream>
#include <string>
#include <vector>

namespace {

struct Found {
    DWORD process;
    std::string title;
    bool dialogsOnly;
    HWND hwnd;
    bool visibleOnly;
};

BOOL CALLBACK FindTopLevel(HWND hwnd, LPARAM param)
{
    Found* f = (Found*)param;
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (process != f->process || (f->visibleOnly && !IsWindowVisible(hwnd)))
        return TRUE;
    char text[256] = {}, cls[64] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    GetClassNameA(hwnd, cls, sizeof cls);
    // The main window is the one with the program's title and a menu bar (its menu bar
    // window marks it with the property "SECMenuBar").
    if (f->dialogsOnly ? std::string(cls) == "#32770" && text == f->title
                       : std::string(text).rfind(f->title, 0) == 0 &&
                             (GetMenu(hwnd) != nullptr || GetPropA(hwnd, "SECMenuBar") != nullptr)) {
        f->hwnd = hwnd;
        return FALSE;
    }
    return TRUE;
}

class StartedProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = TestFolder("quorix61_start");
        DeleteFileA((folder + "\\quorix61.ini").c_str());
    }
    void TearDown() override
    {
        if (process.hProcess) {
            if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT)
                TerminateProcess(process.hProcess, 99);
            CloseHandle(process.hProcess);
            CloseHandle(process.hThread);
        }
    }

    void SetTipsAtStartUp(bool show)
    {
        WritePrivateProfileStringA("Tip", "StartUp", show ? "0" : "1", (folder + "\\quorix61.ini").c_str());
    }
    void Start(const std::string& switches)
    {
        std::string line = "\"quorix61.exe\" " + switches + " -P \"" + folder + "\"";
        STARTUPINFOA info = {sizeof info};
        ASSERT_TRUE(CreateProcessA("quorix61.exe", &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                   &info, &process));
    }
    // The process's top-level window whose title begins so (a dialog with exactly that
    // caption when dialogsOnly), waiting for it up to the time given.
    HWND WaitForWindow(const std::string& title, bool dialogsOnly, DWORD ms = 20000)
    {
        DWORD end = GetTickCount() + ms;
        do {
            Found f = {process.dwProcessId, title, dialogsOnly, nullptr, false};
            EnumWindows(FindTopLevel, (LPARAM)&f);
            if (f.hwnd)
                return f.hwnd;
            if (WaitForSingleObject(process.hProcess, 50) != WAIT_TIMEOUT)
                return nullptr;
        } while ((int)(GetTickCount() - end) < 0);
        return nullptr;
    }
    // The main window is shown a moment after the splash or the tip has gone, and on a
    // loaded machine that moment can be long: wait for a shown one rather than look once at
    // the first window found, which may be another of the program's hidden frames.
    bool MainBecomesVisible()
    {
        for (int i = 0; i < 200; ++i) {
            Found f = {process.dwProcessId, "Quorix 6.1", false, nullptr, true};
            EnumWindows(FindTopLevel, (LPARAM)&f);
            if (f.hwnd)
                return true;
            Sleep(50);
        }
        return false;
    }
    bool HasWindow(const std::string& title, bool dialogsOnly)
    {
        Found f = {process.dwProcessId, title, dialogsOnly, nullptr, false};
        EnumWindows(FindTopLevel, (LPARAM)&f);
        return f.hwnd != nullptr;
    }
    // Closes the main window as the user would and waits for the program to end.
    DWORD CloseAndWait(HWND main)
    {
        PostMessageA(main, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0)
            return (DWORD)-1;
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        return code;
    }

    std::string folder;
    RegistryTurn turn; // held until the program has ended (TearDown runs before it goes)
    PROCESS_INFORMATION process = {};
};

TEST_F(StartedProgram, AHiddenStartShowsNoWindowAndEndsWhenClosed)
{
    Start("/hidden");
    HWND main = WaitForWindow("Quorix 6.1", false);
    ASSERT_NE(nullptr, main) << "no main window";
    EXPECT_FALSE(IsWindowVisible(main));
    EXPECT_FALSE(HasWindow("Tip of the Day", true)); // tips are on, but the start is hidden
    EXPECT_EQ(0u, CloseAndWait(main));
}

TEST_F(StartedProgram, AStartByDdeShowsNoTipAndEndsWhenClosed)
{
    Start("/dde");
    HWND main = WaitForWindow("Quorix 6.1", false);
    ASSERT_NE(nullptr, main) << "no main window";
    WaitForInputIdle(process.hProcess, 20000);
    EXPECT_FALSE(HasWindow("Tip of the Day", true)); // tips are on, but DDE started it
    EXPECT_EQ(0u, CloseAndWait(main));
}

TEST_F(StartedProgram, AStartWithTipsShowsTheTipThenTheMainWindow)
{
    Start("");
    HWND tip = WaitForWindow("Tip of the Day", true);
    ASSERT_NE(nullptr, tip) << "no tip of the day";
    // The dialog shows once it is initialised, its tip in place.
    for (int i = 0; i < 200 && !IsWindowVisible(tip); ++i)
        Sleep(50);
    char text[1024] = {};
    GetDlgItemTextA(tip, 1004, text, sizeof text);
    EXPECT_NE(0u, strlen(text));
    // The splash, a dialog without a caption, has gone before the tip shows.
    EXPECT_FALSE(HasWindow("", true)) << "the start screen stays behind the tip";
    PostMessageA(tip, WM_COMMAND, IDCANCEL, 0);

    HWND main = WaitForWindow("Quorix 6.1", false);
    ASSERT_NE(nullptr, main);
    for (int i = 0; i < 100 && HasWindow("Tip of the Day", true); ++i)
        Sleep(50);
    EXPECT_FALSE(HasWindow("Tip of the Day", true));
    EXPECT_TRUE(MainBecomesVisible());
    EXPECT_EQ(0u, CloseAndWait(main));
}

TEST_F(StartedProgram, AStartWithTipsOffGoesStraightToTheMainWindow)
{
    SetTipsAtStartUp(false);
    Start("");
    HWND main = WaitForWindow("Quorix 6.1", false);
    ASSERT_NE(nullptr, main);
    // The splash, a dialog without a caption, goes when the start-up is over.
    WaitForInputIdle(process.hProcess, 20000);
    for (int i = 0; i < 200 && HasWindow("", true); ++i)
        Sleep(50);
    EXPECT_FALSE(HasWindow("", true));
    EXPECT_TRUE(MainBecomesVisible());
    EXPECT_FALSE(HasWindow("Tip of the Day", true));
    EXPECT_EQ(0u, CloseAndWait(main));
}

} // namespace
