// Tip of the Day over tips files in a program folder of its own, with the profile in an
// INI file of its own.
#include <gtest/gtest.h>

#include "TipDlg.h"
#include "TestHelpers.h"
#include "resource.h"
#include <QKAccess.h>
#include <qxtest/DialogDriver.h>

#include <fstream>
#include <string>

namespace {

class TipOfTheDay : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = TestFolder("quorix61_tips");
        profile = folder + "\\quorix61.ini";
        DeleteFileA(profile.c_str());
        DeleteFileA(TipsFile().c_str());
        app.m_pszProfileName = profile.c_str();
        qkfxSetGlobalPROGPath(folder.c_str()); // no trailing separator: the dialog adds one
    }
    void TearDown() override
    {
        qkfxSetGlobalPROGPath("");
        app.m_pszProfileName = nullptr;
    }

    std::string TipsFile() const { return folder + "\\tips.txt"; }
    void WriteTips(const std::string& text)
    {
        std::ofstream(TipsFile(), std::ios::binary) << text;
    }
    // Moves the file's modification time, as editing it would.
    void Touch(int hours)
    {
        HANDLE file = CreateFileA(TipsFile().c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        FILETIME time;
        GetFileTime(file, nullptr, nullptr, &time);
        ULARGE_INTEGER t = {{time.dwLowDateTime, time.dwHighDateTime}};
        t.QuadPart += (ULONGLONG)hours * 3600 * 10000000;
        time = {t.LowPart, t.HighPart};
        SetFileTime(file, nullptr, nullptr, &time);
        CloseHandle(file);
    }
    // The tip a new showing starts with; the dialog's end keeps where it stopped.
    std::string NextTip()
    {
        CTipDlg dialog;
        return (const char*)dialog.m_strTip;
    }
    int Profile(const char* key, int fallback = -1)
    {
        return (int)GetPrivateProfileIntA("Tip", key, fallback, profile.c_str());
    }
    static std::string Text(UINT id)
    {
        CString text;
        text.LoadString(id);
        return (const char*)text;
    }

    CWinApp app;
    std::string folder, profile;
};

// The dialog has no Cancel button: Escape ends it with IDCANCEL.
void Escape(HWND dialog)
{
    SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

const char kTips[] =
    "; comments and lines starting with white space never show\n"
    "Tip one\n"
    " an indented line\n"
    "\tand a tabbed one\n"
    "\n"
    "Tip two\n"
    ";Tip hidden\n"
    "Tip three\n";

TEST_F(TipOfTheDay, EachShowingGoesOnWithTheNextTipAndWrapsAround)
{
    WriteTips(kTips);
    EXPECT_EQ("Tip one\n", NextTip());
    EXPECT_EQ((int)std::string(kTips).find(" an indented"), Profile("FilePos"));
    EXPECT_EQ("Tip two\n", NextTip());
    EXPECT_EQ("Tip three\n", NextTip());
    EXPECT_EQ("Tip one\n", NextTip());
}

TEST_F(TipOfTheDay, AChangedFileStartsAgainAtItsFirstTip)
{
    WriteTips(kTips);
    EXPECT_EQ("Tip one\n", NextTip());
    EXPECT_EQ("Tip two\n", NextTip());
    char stamp[64];
    GetPrivateProfileStringA("Tip", "TimeStamp", "", stamp, sizeof stamp, profile.c_str());
    EXPECT_EQ(24u, strlen(stamp)) << stamp; // "Wed Dec  9 23:28:01 2026", no line feed
    Touch(2);
    EXPECT_EQ("Tip one\n", NextTip());
    EXPECT_EQ("Tip two\n", NextTip());
}

TEST_F(TipOfTheDay, LongLinesAndCarriageReturnsReadAsWholeTips)
{
    std::string longTip(1500, 'x');
    WriteTips("Tip A " + longTip + "\r\n\r\nTip B\r\n");
    EXPECT_EQ("Tip A " + longTip + "\n", NextTip());
    EXPECT_EQ("Tip B\n", NextTip());
    EXPECT_EQ("Tip A " + longTip + "\n", NextTip());
}

TEST_F(TipOfTheDay, AFileWithoutTipsEndsTheSearch)
{
    for (const char* text : {"", "; nothing but comments\n\n  and indented text\n", "no line feed at the end"}) {
        WriteTips(text);
        std::string tip = NextTip();
        if (std::string(text) == "no line feed at the end")
            EXPECT_EQ(text, tip);
        else
            EXPECT_EQ(Text(IDS_TIP_CORRUPT_FILE), tip) << "file: " << text;
    }
}

TEST_F(TipOfTheDay, TheDialogShowsTipsAndKeepsTheStartUpChoiceOnlyOnOk)
{
    WriteTips(kTips);
    std::string heading, first, second;
    bool shownChecked = false;
    qxtest::DialogDriver driver;
    driver.Then([&](HWND dialog) {
        heading = qxtest::GetText(dialog, IDC_TIP_HEADING);
        first = qxtest::GetText(dialog, IDC_TIP_TEXT);
        shownChecked = qxtest::IsChecked(dialog, IDC_TIP_STARTUP);
        qxtest::Click(dialog, IDC_TIP_NEXT);
        second = qxtest::GetText(dialog, IDC_TIP_TEXT);
        qxtest::SetCheck(dialog, IDC_TIP_STARTUP, false);
        qxtest::Click(dialog, IDOK);
    });
    EXPECT_EQ(IDOK, driver.Run([] { CTipDlg dialog; return dialog.DoModal(); }));
    EXPECT_EQ("Did you know...", heading);
    EXPECT_EQ("Tip one\n", first);
    EXPECT_EQ("Tip two\n", second);
    EXPECT_TRUE(shownChecked); // nothing in the profile yet: tips are shown
    EXPECT_EQ(1, Profile("StartUp"));
    EXPECT_EQ("Tip three\n", NextTip());

    // Cancel leaves the choice as it was, even with the box changed.
    qxtest::DialogDriver cancel;
    cancel.Then([&](HWND dialog) {
        shownChecked = qxtest::IsChecked(dialog, IDC_TIP_STARTUP);
        qxtest::SetCheck(dialog, IDC_TIP_STARTUP, true);
        Escape(dialog);
    });
    EXPECT_EQ(IDCANCEL, cancel.Run([] { CTipDlg dialog; return dialog.DoModal(); }));
    EXPECT_FALSE(shownChecked);
    EXPECT_EQ(1, Profile("StartUp"));

    qxtest::DialogDriver check;
    check.Then([&](HWND dialog) {
        qxtest::SetCheck(dialog, IDC_TIP_STARTUP, true);
        qxtest::Click(dialog, IDOK);
    });
    check.Run([] { CTipDlg dialog; return dialog.DoModal(); });
    EXPECT_EQ(0, Profile("StartUp"));
}

TEST_F(TipOfTheDay, AMissingFileIsSaidAndNextIsDisabled)
{
    bool nextEnabled = true;
    std::string text;
    qxtest::DialogDriver driver;
    driver.Then([&](HWND dialog) {
        nextEnabled = qxtest::IsEnabled(dialog, IDC_TIP_NEXT);
        text = qxtest::GetText(dialog, IDC_TIP_TEXT);
        Escape(dialog);
    });
    driver.Run([] { CTipDlg dialog; return dialog.DoModal(); });
    EXPECT_FALSE(nextEnabled);
    EXPECT_EQ(Text(IDS_TIP_FILE_ABSENT), text);
    EXPECT_EQ(-1, Profile("FilePos")); // nothing read, nothing kept
    EXPECT_EQ(-1, Profile("StartUp"));
}

} // namespace
