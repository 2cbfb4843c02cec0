// The "Button Groups" page of the customise sheet: the standard and user-defined groups,
// unique names, the controls of user groups, a button's description, deleting a button,
// renaming and deleting a group.
#include <gtest/gtest.h>
#include <qxtest/DialogDriver.h>

#include <commctrl.h>
#include <fstream>

#include "ButtonGroupsPage.h"
#include "FramesFixture.h"
#include "FramesResource.h"
#include "UserDefButtons.h"

using namespace framestest;

namespace {


std::string ListText(HWND list, int i)
{
    char sz[128] = "";
    ::SendMessageA(list, LB_GETTEXT, i, (LPARAM)sz);
    return sz;
}

class ButtonGroupsPageTest : public FramesFixture
{
protected:
    void MakeGroupFile(const char* file, const char* name, int nButtons)
    {
        std::string ini = m_strFolder + file;
        WriteBitmapFile(m_strFolder + file + ".bmp", 4, 64, 15);
        ::WritePrivateProfileStringA("Common", "GroupName", name, ini.c_str());
        ::WritePrivateProfileStringA("Common", "BitmapFile", (std::string(file) + ".bmp").c_str(), ini.c_str());
        ::WritePrivateProfileStringA("Common", "ButtonCount", std::to_string(nButtons).c_str(), ini.c_str());
        for (int i = 1; i <= nButtons; i++) {
            std::string section = "CustomButton" + std::to_string(i);
            ::WritePrivateProfileStringA(section.c_str(), "FileName", "calc.qgs", ini.c_str());
            ::WritePrivateProfileStringA(section.c_str(), "StatusBarMsg", ("Step " + std::to_string(i)).c_str(),
                                         ini.c_str());
        }
        // The list's key is the group's name.
        ::WritePrivateProfileStringA("UserDefinedButtons", name, file, m_strProfile.c_str());
    }

    // Opens the sheet on its second page and runs `step` there.
    void OnButtonGroupsPage(CMainFrame* pFrame, const std::function<void(HWND sheet, HWND page)>& step,
                            const std::vector<qxtest::DialogDriver::Step>& more = {})
    {
        qxtest::DialogDriver driver;
        driver.Then([&](HWND sheet) {
            ::SendMessageA(sheet, PSM_SETCURSEL, 1, 0);
            HWND page = (HWND)::SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0);
            step(sheet, page);
            ::PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
        });
        for (const auto& s : more)
            driver.Then(s);
        driver.Run([&]() -> INT_PTR {
            pFrame->SendMessage(WM_COMMAND, MAKEWPARAM(ID_VIEW_SELECT_TOOLBARS, 0), 0);
            return 0;
        });
        EXPECT_EQ(driver.StepsRun(), 1 + (int)more.size());
    }
};

TEST_F(ButtonGroupsPageTest, GroupsAreListedUniquelyAndUserGroupsHaveTheirControls)
{
    // Names of standard groups are taken already.
    MakeGroupFile("a.ini", "Standard", 3);
    MakeGroupFile("b.ini", "Tools", 2);
    CMainFrame* pFrame = CreateMainFrame();
    ASSERT_NE(pFrame, nullptr);
    std::vector<std::string> names;
    bool bStandardAddEnabled = true, bUserAddEnabled = false, bSettingsEnabled = false, bDeleteEnabled = false;
    std::string standardBitmap = "x", userName, description;
    OnButtonGroupsPage(pFrame, [&](HWND, HWND page) {
        HWND list = ::GetDlgItem(page, IDC_BG_LIST);
        int n = (int)::SendMessageA(list, LB_GETCOUNT, 0, 0);
        for (int i = 0; i < n; i++)
            names.push_back(ListText(list, i));
        // A standard group: no group controls.
        qxtest::ListSelect(page, IDC_BG_LIST, 0);
        bStandardAddEnabled = qxtest::IsEnabled(page, IDC_BG_ADD_BUTTON);
        standardBitmap = qxtest::GetText(page, IDC_BG_BITMAP);
        // The second "Tools" group.
        qxtest::ListSelect(page, IDC_BG_LIST, 15);
        bUserAddEnabled = qxtest::IsEnabled(page, IDC_BG_ADD_BUTTON);
        userName = qxtest::GetText(page, IDC_BG_NAME);
        // A click on its first button shows the button's description.
        HWND bar = ::GetWindow(page, GW_CHILD);
        while (bar != nullptr && !(::IsWindowVisible(bar) && ::GetDlgCtrlID(bar) >= 59000))
            bar = ::GetWindow(bar, GW_HWNDNEXT);
        ASSERT_NE(bar, nullptr);
        RECT rect;
        ::SendMessageA(bar, TB_GETITEMRECT, 0, (LPARAM)&rect);
        ::SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(rect.left + 2, rect.top + 2));
        description = qxtest::WindowText(::GetDlgItem(page, IDC_BG_DESCRIPTION));
        bSettingsEnabled = qxtest::IsEnabled(page, IDC_BG_SETTINGS);
        bDeleteEnabled = qxtest::IsEnabled(page, IDC_BG_DELETE_BUTTON);
        // Delete the chosen button.
        qxtest::Click(page, IDC_BG_DELETE_BUTTON);
    });
    ASSERT_EQ(names.size(), 16u);
    EXPECT_EQ(names[0], "Standard");
    EXPECT_EQ(names[13], "Arrow");
    EXPECT_EQ(names[14], "Standard 1");
    EXPECT_EQ(names[15], "Tools 1");
    EXPECT_FALSE(bStandardAddEnabled);
    EXPECT_EQ(standardBitmap, "");
    EXPECT_TRUE(bUserAddEnabled);
    EXPECT_EQ(userName, "Tools 1");
    EXPECT_EQ(description, "Step 1");
    EXPECT_TRUE(bSettingsEnabled);
    EXPECT_TRUE(bDeleteEnabled);
    SECToolBarManagerEx* pManager = pFrame->GetToolBarManager();
    CQUUserDefButtons* pGroup = pManager->GetUserDefBtnsGroupsArray()[pManager->GetGroupWithName("Tools 1")];
    EXPECT_EQ(pGroup->GetButtonCount(), 1);
    EXPECT_EQ(pGroup->GetButton(0)->StatusBarMsg, "Step 2");
}

TEST_F(ButtonGroupsPageTest, AGroupIsRenamedAndDeletedWithItsFile)
{
    MakeGroupFile("a.ini", "Alpha", 2);
    MakeGroupFile("b.ini", "Beta", 1);
    CMainFrame* pFrame = CreateMainFrame();
    ASSERT_NE(pFrame, nullptr);
    std::string question;
    std::vector<std::string> after;
    OnButtonGroupsPage(
        pFrame,
        [&](HWND, HWND page) {
            HWND list = ::GetDlgItem(page, IDC_BG_LIST);
            qxtest::ListSelect(page, IDC_BG_LIST, 14);
            qxtest::SetText(page, IDC_BG_NAME, "Gamma");
            ::SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_BG_NAME, EN_KILLFOCUS), (LPARAM)::GetDlgItem(page, IDC_BG_NAME));
            qxtest::ListSelect(page, IDC_BG_LIST, 15);
            qxtest::Click(page, IDC_BG_DELETE_GROUP);   // answered Yes by the next step
            int n = (int)::SendMessageA(list, LB_GETCOUNT, 0, 0);
            for (int i = 14; i < n; i++)
                after.push_back(ListText(list, i));
        },
        {[&](HWND box) {
            question = qxtest::MessageBoxText(box);
            qxtest::Click(box, IDYES);
        }});
    EXPECT_EQ(question, "Are you sure you want to delete the selected button group?");
    EXPECT_EQ(after, std::vector<std::string>{"Gamma"});
    char sz[64] = "";
    ::GetPrivateProfileStringA("UserDefinedButtons", "Gamma", "", sz, sizeof sz, m_strProfile.c_str());
    EXPECT_STREQ(sz, "a.ini");
    ::GetPrivateProfileStringA("Common", "GroupName", "", sz, sizeof sz, (m_strFolder + "a.ini").c_str());
    EXPECT_STREQ(sz, "Gamma");
    EXPECT_EQ(::GetFileAttributesA((m_strFolder + "b.ini").c_str()), INVALID_FILE_ATTRIBUTES);
    ::GetPrivateProfileStringA("UserDefinedButtons", "Beta", "gone", sz, sizeof sz, m_strProfile.c_str());
    EXPECT_STREQ(sz, "gone");
    EXPECT_EQ(pFrame->GetToolBarManager()->GetUserDefBtnsGroupsArray().GetSize(), 1);
}

} // namespace
