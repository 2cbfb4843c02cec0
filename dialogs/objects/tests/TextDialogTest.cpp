// "Text Control" driven as a user would: the inline format codes the toolbar and the font
// and colour lists put around a selection, what OK writes, that Cancel writes nothing,
// "Set Default", and the context help of this dialog and of the axis dialog.
#include <gtest/gtest.h>
#include <qxtest/DialogDriver.h>

#include <afxwin.h>

#include <map>
#include <vector>

#include "ObjectsResources.h"
#include "QKAccess.h"
#include "QKCallLog.h"
#include "QKData.h"
#include "QKSysMethod.h"
#include "QKUtil.h"
#include "QUAxes.h"
#include "QUTextObj.h"

using qxtest::DialogDriver;

namespace {

const UINT kNormal = 1121, kBold = 1122, kItalic = 1123, kSuperscript = 1125;

class TextDialogTest : public ::testing::Test {
protected:
    void SetUp() override { qkfxGetCallLog().Clear(); }

    INT_PTR Run(CQUTextObj& text, DialogDriver& driver)
    {
        INT_PTR result = driver.Run([&] { return (INT_PTR)text.DoDialog(nullptr, 0, 0); });
        EXPECT_FALSE(driver.TimedOut());
        return result;
    }

    static void Select(HWND h, const std::string& text, int start, int end)
    {
        qxtest::SetText(h, IDC_QD_TEXT_EDIT, text);
        SendDlgItemMessageA(h, IDC_QD_TEXT_EDIT, EM_SETSEL, start, end);
    }

    static std::pair<int, int> Selection(HWND h)
    {
        DWORD start = 0, end = 0;
        SendDlgItemMessageA(h, IDC_QD_TEXT_EDIT, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
        return {(int)start, (int)end};
    }
};

TEST_F(TextDialogTest, FormatCodesWrapAndUnwrapTheSelection)
{
    // Text and selection, then a toolbar command or a list choice, then the text and the
    // selection that result.
    struct Case {
        const char* text;
        int start, end;
        UINT command;   // a toolbar command, or 0 for the list below
        int listId, item;
        const char* result;
        int resultStart, resultEnd;
    } cases[] = {
        {"abc def", 4, 7, kBold, 0, 0, "abc \\b(def)", 4, 11},
        {"abc \\b(def)", 4, 11, kBold, 0, 0, "abc def", 4, 7},           // pressed twice: off
        {"abc", 3, 3, kItalic, 0, 0, "abc\\i()", 6, 6},                   // caret between ()
        {"x\\+(2)", 1, 6, kNormal, 0, 0, "x2", 1, 2},
        {"\\b(\\i(x))", 0, 9, kNormal, 0, 0, "\\i(x)", 0, 5},             // one code at a time
        {"\\b(a) and \\i(b)", 0, 15, kNormal, 0, 0, "\\b(a) and \\i(b)", 0, 15}, // not one run
        {"abc def", 4, 7, 0, IDC_QD_TEXT_FONT, 1, "abc \\f:Arial(def)", 4, 17},
        {"abc def", 4, 7, 0, IDC_QD_TEXT_COLOR, 2, "abc \\c3(def)", 4, 12},
        {"abc \\c3(def)", 4, 12, 0, IDC_QD_TEXT_COLOR, 4, "abc \\c5(def)", 4, 12}, // replaced
        {"abc def", 0, 7, 0, IDC_QD_TEXT_FONT, 2, "abc def", 0, 7},       // whole text: style
    };
    CQUTextObj text;
    text.SetTextString("label");
    std::string multiLineMessage, caption, textAfterMultiLine;
    int n = 0;
    DialogDriver driver;
    driver.Then([&](HWND h) {
            for (const Case& c : cases) {
                SCOPED_TRACE(n++);
                Select(h, c.text, c.start, c.end);
                if (c.command)
                    SendMessageA(h, WM_COMMAND, c.command, 0);
                else
                    qxtest::ComboSelect(h, c.listId, c.item);
                EXPECT_EQ(c.result, qxtest::GetText(h, IDC_QD_TEXT_EDIT));
                EXPECT_EQ(std::make_pair(c.resultStart, c.resultEnd), Selection(h));
            }
            Select(h, "one\r\ntwo", 2, 7);
            SendMessageA(h, WM_COMMAND, kSuperscript, 0);
            textAfterMultiLine = qxtest::GetText(h, IDC_QD_TEXT_EDIT);
            qxtest::Click(h, IDOK);
        })
        .Then([&](HWND box) {
            multiLineMessage = qxtest::MessageBoxText(box);
            caption = qxtest::WindowText(box);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        });
    EXPECT_EQ(IDOK, Run(text, driver));
    EXPECT_EQ("one\r\ntwo", textAfterMultiLine);
    EXPECT_EQ("Formatting multi-line selections is not supported.\nPlease select each line individually.",
              multiLineMessage);
    EXPECT_EQ("Attention", caption);
    CQKTextStyle style;
    text.GetTextStyle(style);
    EXPECT_EQ(2, style.font); // from the whole-text font choice
    EXPECT_EQ("one\r\ntwo", text.GetTextString());
}

TEST_F(TextDialogTest, OkWritesTheChoicesCancelLeavesTheLabelAsItWas)
{
    for (bool ok : {false, true}) {
        SCOPED_TRACE(ok);
        qkfxGetCallLog().Clear();
        CQUTextObj text;
        text.SetTextString("old");
        text.SetColor(1);
        CQKTextStyle style;
        style.rotation = 900;
        style.size = 12;
        text.SetTextStyle(style);
        text.SetTabWidth(8);
        std::string shownRotation, shownSize, tabAfterLow, tabAfterHigh;
        DialogDriver driver;
        driver.Then([&](HWND h) {
            shownRotation = qxtest::GetText(h, IDC_QD_TEXT_ROTATE);
            shownSize = qxtest::GetText(h, IDC_QD_TEXT_SIZE);
            qxtest::SetText(h, IDC_QD_TEXT_EDIT, "new text");
            qxtest::ComboSelect(h, IDC_QD_TEXT_COLOR, 3); // whole text selected
            qxtest::ComboSelect(h, IDC_QD_TEXT_SIZE, 5);  // "14"
            qxtest::SetText(h, IDC_QD_TEXT_ROTATE, "4005"); // more than a turn
            qxtest::ComboSelect(h, IDC_QD_TEXT_BACKGROUND, 2); // "Shadow"
            qxtest::SetCheck(h, IDC_QD_TEXT_WHITE_OUT, true);
            qxtest::SetCheck(h, IDC_QD_TEXT_CENTER, true);
            qxtest::SetCheck(h, IDC_QD_TEXT_APPLY_ALL, true);
            qxtest::SetText(h, IDC_QD_TEXT_TAB, "1");
            SendMessageA(h, WM_COMMAND, MAKEWPARAM(IDC_QD_TEXT_TAB, EN_KILLFOCUS),
                         (LPARAM)GetDlgItem(h, IDC_QD_TEXT_TAB));
            tabAfterLow = qxtest::GetText(h, IDC_QD_TEXT_TAB);
            qxtest::SetText(h, IDC_QD_TEXT_TAB, "500");
            SendMessageA(h, WM_COMMAND, MAKEWPARAM(IDC_QD_TEXT_TAB, EN_KILLFOCUS),
                         (LPARAM)GetDlgItem(h, IDC_QD_TEXT_TAB));
            tabAfterHigh = qxtest::GetText(h, IDC_QD_TEXT_TAB);
            qxtest::Click(h, ok ? IDOK : IDCANCEL);
        });
        EXPECT_EQ(ok ? IDOK : IDCANCEL, Run(text, driver));
        EXPECT_EQ("90", shownRotation);
        EXPECT_EQ("12", shownSize);
        EXPECT_EQ("2", tabAfterLow);
        EXPECT_EQ("100", tabAfterHigh);

        CQKTextStyle got;
        text.GetTextStyle(got);
        EXPECT_EQ(ok ? "new text" : "old", text.GetTextString());
        EXPECT_EQ(ok ? 3 : 1, text.GetColor());
        EXPECT_EQ(ok ? 14 : 12, got.size);
        EXPECT_EQ(ok ? 450 : 900, got.rotation); // 4005 degrees is a turn and 45
        EXPECT_EQ(ok, (bool)text.IsBorder());
        if (ok) {
            EXPECT_EQ(1, text.GetBorderStyle());
        }
        EXPECT_EQ(ok ? QK_TEXT_WHITE_OUT : 0, got.flags);
        EXPECT_EQ(ok ? QK_TEXT_CENTER_MULTILINE : 0, got.alignment);
        EXPECT_EQ(ok ? 100 : 8, text.GetTabWidth());
        EXPECT_EQ(ok, qkfxGetCallLog().Find("CQKGrObj::ApplyStyleToAll") >= 0);
    }
}

TEST_F(TextDialogTest, ARotationThatIsNoNumberKeepsTheDialogOpen)
{
    CQUTextObj text;
    text.SetTextString("kept");
    bool stillOpen = false;
    std::string message;
    DialogDriver driver;
    driver.Then([&](HWND h) {
            qxtest::SetText(h, IDC_QD_TEXT_EDIT, "changed");
            qxtest::SetText(h, IDC_QD_TEXT_ROTATE, "steep");
            qxtest::Click(h, IDOK);
            stillOpen = IsWindowVisible(h) != FALSE;
            qxtest::Click(h, IDCANCEL);
        })
        .Then([&](HWND box) {
            message = qxtest::MessageBoxText(box);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        });
    EXPECT_EQ(IDCANCEL, Run(text, driver));
    EXPECT_TRUE(stillOpen);
    EXPECT_NE(std::string::npos, message.find("rotation")) << message;
    EXPECT_EQ("kept", text.GetTextString());
}

TEST_F(TextDialogTest, SetDefaultChangesNewLabelsButNotThisOneBeforeOk)
{
    CQUTextObj text;
    text.SetTextString("mine");
    text.SetColor(1);
    DialogDriver driver;
    driver.Then([&](HWND h) {
        qxtest::ComboSelect(h, IDC_QD_TEXT_COLOR, 4);
        qxtest::ComboSelect(h, IDC_QD_TEXT_SIZE, 0); // "8"
        qxtest::ComboSelect(h, IDC_QD_TEXT_BACKGROUND, 1);
        qxtest::Click(h, IDC_QD_TEXT_SET_DEFAULT);
        qxtest::Click(h, IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, Run(text, driver));
    EXPECT_EQ(1, text.GetColor());
    EXPECT_FALSE(text.IsBorder());
    EXPECT_EQ("mine", text.GetTextString());

    CQKTextObj fresh;
    CQKTextStyle style;
    fresh.GetTextStyle(style);
    EXPECT_EQ(4, fresh.GetColor());
    EXPECT_EQ(8, style.size);
    EXPECT_TRUE(fresh.IsBorder());
    EXPECT_EQ(0, fresh.GetBorderStyle());

    // The default was stored with the property settings: the next start reads it back.
    CQKTextObj other;
    other.SetColor(7);
    other.SetDefault(0);
    EXPECT_EQ(7, CQKTextObj().GetColor());
    ASSERT_TRUE(qkfxGetQrxSystem().LoadPropertySettings(nullptr, nullptr));
    CQKTextObj restarted;
    restarted.GetTextStyle(style);
    EXPECT_EQ(4, restarted.GetColor());
    EXPECT_EQ(8, style.size);
    EXPECT_TRUE(restarted.IsBorder());
    WritePrivateProfileStringA("TextDefault", nullptr, nullptr, qkfxGetINIFileFullPathName().c_str());
    CQKTextObj().SetDefault(0);
}

TEST_F(TextDialogTest, PreviewDrawsTheFormattedTextOnThePageColour)
{
    CQKGraphPage* page = static_cast<CQKGraphPage*>(qkfxGetProject().CreatePage(QK_PAGE_GRAPH));
    page->SetColorColorCntl(1);
    page->SetColorBase(6); // yellow
    CQUTextObj text;
    text.SetTextString("\\b(WWWW)");
    text.SetColor(3);
    std::map<COLORREF, int> counts;
    DialogDriver driver;
    driver.Then([&](HWND h) {
        HWND preview = GetDlgItem(h, IDC_QD_TEXT_PREVIEW);
        RedrawWindow(preview, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        RECT r;
        GetClientRect(preview, &r);
        HDC dc = GetDC(preview);
        for (int y = 0; y < r.bottom; y += 2)
            for (int x = 0; x < r.right; x += 2)
                ++counts[GetPixel(dc, x, y)];
        ReleaseDC(preview, dc);
        qxtest::Click(h, IDCANCEL);
    });
    Run(text, driver);
    qkfxGetProject().DeletePage(page->GetName());
    EXPECT_GT(counts[RGB(255, 255, 0)], 100);  // the page's colour
    EXPECT_EQ(0, counts[RGB(255, 255, 255)]);  // nothing on white
    EXPECT_GT(counts[RGB(0, 0, 255)], 10);     // the text in its colour
}

} // namespace

namespace {

// Records the help requests instead of opening a help file.
class CHelpRecorder : public CWinApp
{
public:
    void WinHelp(DWORD_PTR data, UINT command) override { requests.push_back({data, command}); }
    std::vector<std::pair<DWORD_PTR, UINT>> requests;
};

TEST_F(TextDialogTest, ContextHelpNamesTheDialogOrTheAxisPageShown)
{
    CHelpRecorder app;
    HELPINFO info = {sizeof info};
    CQUTextObj text;
    DialogDriver driver;
    driver.Then([&](HWND h) {
        SendMessageA(h, WM_HELP, 0, (LPARAM)&info);
        qxtest::Click(h, IDCANCEL);
    });
    Run(text, driver);

    CQKGraphicLayer layer(nullptr);
    auto* axes = new CQUAxes;
    layer.AddObject(axes);
    layer.GetAxes(axes, QK_AXIS_X);
    DialogDriver sheetDriver;
    sheetDriver.Then([&](HWND sheet) {
        SendMessageA(sheet, WM_HELP, 0, (LPARAM)&info);
        qxtest::Click(sheet, IDCANCEL);
    });
    sheetDriver.Run([&] { return (INT_PTR)axes->DoDialog(nullptr, 3, 0); });

    ASSERT_EQ(2u, app.requests.size());
    EXPECT_EQ(std::make_pair((DWORD_PTR)IDD_QD_TEXT, (UINT)HELP_CONTEXT), app.requests[0]);
    EXPECT_EQ(std::make_pair((DWORD_PTR)IDD_QD_AXIS_BREAK, (UINT)HELP_CONTEXT), app.requests[1]);
}

} // namespace
