// The colour palette dialog: its toolbar edits a copy of the kernel's colour table, OK puts
// the copy into the table and asks whether to keep it for later runs, Cancel changes nothing.
#include <gtest/gtest.h>
#include <qxtest/DialogDriver.h>

#include <QKGraphObjects.h>

#include "ColorPaletteDialog.h"
#include "FramesFixture.h"
#include "FramesResource.h"

using namespace framestest;

namespace {

using Colours = std::vector<std::pair<std::string, DWORD>>;

class ColorPaletteDialogTest : public FramesFixture
{
protected:
    void TearDown() override
    {
        CQKColor::RestoreQuorixDefaultColors();
        FramesFixture::TearDown();
    }
    static Colours Table()
    {
        Colours c;
        CQKColor::GetColors(c);
        return c;
    }
    static Colours Defaults()
    {
        Colours now = Table(), d;
        CQKColor::RestoreQuorixDefaultColors();
        d = Table();
        CQKColor::SetColors(now);
        return d;
    }
    // What a toolbar button sends its dialog.
    static void Press(CQUColorPaletteDialog& dlg, UINT nId)
    {
        ::SendMessageA(dlg.m_hWnd, WM_COMMAND, MAKEWPARAM(nId, BN_CLICKED), (LPARAM)dlg.GetToolBar().m_hWnd);
    }
    static void Select(CQUColorPaletteDialog& dlg, int nItem)
    {
        dlg.GetList().SetItemState(nItem, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
    std::string SavedCount() const
    {
        char sz[32] = "";
        ::GetPrivateProfileStringA("Color Palette", "Count", "", sz, sizeof sz, qkfxGetINIFileFullPathName().c_str());
        return sz;
    }
};

TEST_F(ColorPaletteDialogTest, ToolbarEditsTheCopyAndOkAsksWhetherToKeepIt)
{
    const Colours three = {{"Ink", RGB(1, 2, 3)}, {"Sea", RGB(0, 90, 200)}, {"Moss", RGB(60, 120, 30)}};
    Colours full(CQKColor::GetMaxNumOfColors(), {"Grey", RGB(99, 99, 99)});
    struct Case
    {
        const char* what;
        Colours start;
        std::function<void(CQUColorPaletteDialog&)> act;
        int button;          // IDOK or IDCANCEL
        const char* answer;  // to the question: "yes", "no", or null when none may come
        Colours end;
        bool saved;
    } cases[] = {
        {"new colour, kept", three, [](CQUColorPaletteDialog& d) { Press(d, IDC_CP_NEW); }, IDOK, "yes",
         {three[0], three[1], three[2], {"Color 4", RGB(0, 0, 0)}}, true},
        {"move down and up, No keeps it for this run", three,
         [](CQUColorPaletteDialog& d) {
             Select(d, 0);
             Press(d, IDC_CP_DOWN);
             Press(d, IDC_CP_DOWN);
             Press(d, IDC_CP_DOWN); // already last: nothing
             Press(d, IDC_CP_UP);
         },
         IDOK, "no", {three[1], three[0], three[2]}, false},
        {"delete the selected colour", three,
         [](CQUColorPaletteDialog& d) {
             Select(d, 1);
             Press(d, IDC_CP_DELETE);
         },
         IDOK, "yes", {three[0], three[2]}, true},
        {"delete with nothing selected does nothing", three, [](CQUColorPaletteDialog& d) { Press(d, IDC_CP_DELETE); },
         IDOK, nullptr, three, false},
        {"the last colour stays", {three[0]},
         [](CQUColorPaletteDialog& d) {
             EXPECT_FALSE(d.GetToolBar().IsButtonEnabled(IDC_CP_DELETE));
             Select(d, 0);
             Press(d, IDC_CP_DELETE);
         },
         IDOK, nullptr, {three[0]}, false},
        {"a full table takes no new colour", full,
         [](CQUColorPaletteDialog& d) {
             EXPECT_FALSE(d.GetToolBar().IsButtonEnabled(IDC_CP_NEW));
             Press(d, IDC_CP_NEW);
             EXPECT_EQ(CQKColor::GetMaxNumOfColors(), d.GetList().GetColorCount());
         },
         IDOK, nullptr, full, false},
        {"load default asks even with nothing else changed", Defaults(),
         [](CQUColorPaletteDialog& d) { qxtest::Click(d.m_hWnd, IDC_CP_LOAD_DEFAULT); }, IDOK, "yes", Defaults(), true},
        {"load default from an edited table", three,
         [](CQUColorPaletteDialog& d) { qxtest::Click(d.m_hWnd, IDC_CP_LOAD_DEFAULT); }, IDOK, "no", Defaults(), false},
        {"cancel after edits and load default changes nothing", three,
         [](CQUColorPaletteDialog& d) {
             Press(d, IDC_CP_NEW);
             qxtest::Click(d.m_hWnd, IDC_CP_LOAD_DEFAULT);
             Select(d, 0);
             Press(d, IDC_CP_DELETE);
         },
         IDCANCEL, nullptr, three, false},
        {"a renamed colour", three,
         [](CQUColorPaletteDialog& d) {
             HWND hEdit = d.GetList().EditName(2);
             ASSERT_NE(nullptr, hEdit);
             ::SetWindowTextA(hEdit, " Lichen ");
             ::SendMessageA(hEdit, WM_KEYDOWN, VK_RETURN, 0);
             EXPECT_FALSE(::IsWindow(hEdit));
             hEdit = d.GetList().EditName(0);
             ::SetWindowTextA(hEdit, "Dropped");
             ::SendMessageA(hEdit, WM_KEYDOWN, VK_ESCAPE, 0);
             hEdit = d.GetList().EditName(1);
             ::SetWindowTextA(hEdit, "");  // an empty name is refused
             ::SendMessageA(hEdit, WM_KEYDOWN, VK_RETURN, 0);
         },
         IDOK, "yes", {three[0], three[1], {"Lichen", three[2].second}}, true},
    };
    for (const Case& c : cases) {
        ::DeleteFileA(qkfxGetINIFileFullPathName().c_str());
        ASSERT_TRUE(CQKColor::SetColors(c.start)) << c.what;
        CQUColorPaletteDialog dlg;
        std::string question;
        qxtest::DialogDriver driver;
        driver.Then([&](HWND h) {
            EXPECT_EQ("Color Palette", qxtest::WindowText(h));
            c.act(dlg);
            qxtest::Click(h, c.button);
        });
        if (c.answer)
            driver.Then([&](HWND h) {
                question = qxtest::MessageBoxText(h);
                EXPECT_EQ("Warning", qxtest::WindowText(h));
                qxtest::Click(h, std::string(c.answer) == "yes" ? IDYES : IDNO);
            });
        EXPECT_EQ(c.button, driver.Run([&] { return dlg.DoModal(); })) << c.what;
        EXPECT_FALSE(driver.TimedOut()) << c.what;
        EXPECT_EQ(c.answer ? 2 : 1, (int)driver.Dialogs().size()) << c.what;
        if (c.answer)
            EXPECT_EQ("Do you want to save the color settings for future usage?", question) << c.what;
        EXPECT_EQ(c.end, Table()) << c.what;
        EXPECT_EQ(c.saved ? std::to_string(c.end.size()) : std::string(), SavedCount()) << c.what;
        if (c.saved) {
            CQKColor::RestoreQuorixDefaultColors();
            ASSERT_TRUE(CQKColor::ReadPaletteFromINIFile()) << c.what;
            EXPECT_EQ(c.end, Table()) << c.what;
        }
    }
}

TEST_F(ColorPaletteDialogTest, ToolbarButtonsCarryTheirTooltipsAndTheListShowsTheTable)
{
    CQUColorPaletteDialog dlg;
    std::vector<std::string> tips, names;
    int buttons = 0;
    qxtest::DialogDriver driver;
    driver.Then([&](HWND h) {
        CQUColorToolBar& bar = dlg.GetToolBar();
        buttons = bar.GetButtonCount();
        for (int i = 0; i < 5; i++)
            tips.push_back(bar.GetTipText(i));
        CQKColorListCtrl& list = dlg.GetList();
        for (int i = 0; i < list.GetItemCount(); i++)
            names.push_back(std::string(list.GetItemText(i, 0)) + " " + std::string(list.GetItemText(i, 2)));
        EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(h, IDC_CP_DEFAULT_TYPE)));
        EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(h, IDC_CP_PURE_TYPE)));
        qxtest::Click(h, IDCANCEL);
    });
    driver.Run([&] { return dlg.DoModal(); });
    EXPECT_EQ(4, buttons);
    EXPECT_EQ((std::vector<std::string>{"(New Color)", "(Delete Color)", "(Move Color Up)", "(Move Color Down)", ""}), tips);
    ASSERT_EQ((size_t)CQKColor::GetColorNumber(), names.size());
    EXPECT_EQ("1 Black", names[0]);
    EXPECT_EQ("24 Dark Gray", names[23]);
}

} // namespace
