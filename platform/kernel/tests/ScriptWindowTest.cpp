// The script window under real window messages: keys posted to its edit control go
// through the message filter the main window offers them to, as in the program.
#include "KernelTest.h"

#include <windows.h>

#include "QKAccess.h"
#include "QKSysMethod.h"

namespace {

class ScriptWindowTest : public KernelTest {
protected:
    void SetUp() override
    {
        KernelTest::SetUp();
        owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(owner, nullptr);
        window()->OnMainFrameOpen(owner);
    }
    void TearDown() override
    {
        window()->OnMainFrameClose(owner);
        DestroyWindow(owner);
        KernelTest::TearDown();
    }
    CQKScriptWindow* window() { return access.GetScriptWindow(); }

    // Posts the keys a user types and pumps the messages as the program's loop does.
    void Type(const std::string& text)
    {
        HWND edit = window()->GetEditHwnd();
        for (char c : text) {
            if (c == '\n') {
                PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 1);
                PostMessageA(edit, WM_KEYUP, VK_RETURN, 0xC0000001);
            } else {
                PostMessageA(edit, WM_CHAR, (unsigned char)c, 1);
            }
        }
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!window()->PreTranslateMessage(&msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
    }
    std::string Text()
    {
        char text[4096] = "";
        GetWindowTextA(window()->GetEditHwnd(), text, sizeof text);
        return text;
    }

    CQKAccess access; // the newest access object is the application's
    HWND owner = nullptr;
};

} // namespace

TEST_F(ScriptWindowTest, EnterRunsTheLineAndWritesItsOutputBelowIt)
{
    qkfxGetQrxSystem().ToggleScriptWindow();
    ASSERT_TRUE(qkfxGetQrxSystem().IsScriptWindowShown());
    HWND hwnd = window()->GetHwnd();
    EXPECT_EQ(GetWindow(hwnd, GW_OWNER), owner);

    Type("x = 6*7\ntype x is $(x)\n");
    EXPECT_EQ(Text(), "x = 6*7\r\ntype x is $(x)\r\nx is 42\r\n");
    EXPECT_EQ(Var("x"), 42);
    EXPECT_TRUE(out.empty()) << "the output goes to the window, not elsewhere: " << out;

    // An error is written there too, naming the command.
    Type("nosuchcommand 1\n");
    EXPECT_NE(Text().find("unknown command \"nosuchcommand\""), std::string::npos) << Text();

    // A selection runs every line it touches.
    SetWindowTextA(window()->GetEditHwnd(), "type one\r\ntype two\r\ntype three");
    SendMessageA(window()->GetEditHwnd(), EM_SETSEL, 2, 13);
    Type("\n");
    EXPECT_EQ(Text(), "type one\r\ntype two\r\none\r\ntwo\r\ntype three");

    // Closing only hides: the text stays.
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(window()->IsShown());
    EXPECT_TRUE(IsWindow(hwnd));
    qkfxGetQrxSystem().ToggleScriptWindow();
    EXPECT_EQ(window()->GetHwnd(), hwnd);
    EXPECT_NE(Text().find("type three"), std::string::npos);
}

TEST_F(ScriptWindowTest, TheWindowIsNotMadeWhileAllWindowsClose)
{
    window()->DisableCreation();
    EXPECT_FALSE(window()->Show(true));
    EXPECT_FALSE(window()->SetActive());
    window()->EnableCreation();
    EXPECT_TRUE(window()->Show(true));
    EXPECT_TRUE(window()->SetActive());

    // Keys for other windows are not the script window's.
    MSG msg = {owner, WM_KEYDOWN, 'A', 0};
    EXPECT_FALSE(window()->PreTranslateMessage(&msg));
    window()->OnMainFrameClose(owner);
    EXPECT_EQ(window()->GetHwnd(), nullptr);
}

// The program's own commands sit beside the others without changing how they read their
// text: their words inside another command's text are text.
TEST_F(KernelTest, ApplicationCommandsLeaveTheOtherCommandsTextAlone)
{
    ASSERT_TRUE(Run("type open doc -n win -d")) << err;
    EXPECT_EQ(out, "open doc -n win -d\n");
    EXPECT_FALSE(Run("open"));
    EXPECT_NE(err.find("open needs one file name"), std::string::npos) << err;
}
