// User-defined button groups from their INI files: the bitmap checks, loading at start-up
// with ids from the registry table or fresh ones, clashes of stored ids, deleting a
// button, running a button and when it is enabled.
#include <gtest/gtest.h>
#include <qxtest/DialogDriver.h>

#include <QKUtil.h>

#include <cstdint>
#include <fstream>
#include <set>
#include <vector>

#include "FramesFixture.h"
#include "UserDefButtons.h"

using namespace framestest;

namespace {

void WriteIni(const std::string& path, const char* section, const char* key, const char* value)
{
    ::WritePrivateProfileStringA(section, key, value, path.c_str());
}

std::string ReadIni(const std::string& path, const char* section, const char* key)
{
    char sz[512] = "";
    ::GetPrivateProfileStringA(section, key, "<none>", sz, sizeof sz, path.c_str());
    return sz;
}

class UserButtonsTest : public FramesFixture
{
protected:
    SECToolBarManagerEx manager;

    // A group file "name.ini" with its bitmap, its buttons running sections of calc.qgs.
    std::string MakeGroup(const char* name, int nButtons, int nBitmapWidth = 48)
    {
        std::string ini = m_strFolder + name + ".ini";
        std::string bmp = m_strFolder + name + ".bmp";
        WriteBitmapFile(bmp, 4, nBitmapWidth, 15);
        WriteIni(ini, "Common", "GroupName", name);
        WriteIni(ini, "Common", "BitmapFile", (std::string(name) + ".bmp").c_str());
        WriteIni(ini, "Common", "ButtonCount", std::to_string(nButtons).c_str());
        for (int i = 1; i <= nButtons; i++) {
            std::string section = "CustomButton" + std::to_string(i);
            WriteIni(ini, section.c_str(), "FileName", "calc.qgs");
            WriteIni(ini, section.c_str(), "SectionName", ("Step" + std::to_string(i)).c_str());
            WriteIni(ini, section.c_str(), "ToolTip", ("Tip " + std::to_string(i)).c_str());
            WriteIni(ini, section.c_str(), "StatusBarMsg", ("Runs step " + std::to_string(i)).c_str());
        }
        WriteIni((LPCTSTR)QUUserSettingsFile(), "UserDefinedButtons", name, (std::string(name) + ".ini").c_str());
        return ini;
    }

    DWORD RegistryId(const char* group, int n)
    {
        std::string key = "Software\\" + m_strKey + "\\UserGroupsBtnsIds\\" + group;
        DWORD value = 0, cb = sizeof value;
        if (::RegGetValueA(HKEY_CURRENT_USER, key.c_str(), ("CustomButton" + std::to_string(n)).c_str(),
                           RRF_RT_REG_DWORD, nullptr, &value, &cb) != ERROR_SUCCESS)
            return 0;
        return value;
    }
};

TEST_F(UserButtonsTest, BitmapBitCountsAndSystemColours)
{
    struct Case { int bits; bool bm; size_t cut; int expected; } cases[] = {
        {4, true, 0, 4}, {8, true, 0, 8}, {24, true, 0, 24}, {4, false, 0, 0},
        {4, true, 40, 4},    // pixels missing: the header still tells its bit count
        {4, true, 338, 0},   // the header itself cut short
    };
    int n = 0;
    for (const Case& c : cases) {
        std::string path = m_strFolder + "b" + std::to_string(n++) + ".bmp";
        WriteBitmapFile(path, c.bits, 32, 15, c.bm, c.cut);
        EXPECT_EQ(GetBitmapBitCount(path.c_str()), c.expected) << path;
    }
    EXPECT_EQ(GetBitmapBitCount((m_strFolder + "missing.bmp").c_str()), 0);

    // Black and white become the button text and highlight colours.
    std::string path = m_strFolder + "sys.bmp";
    WriteBitmapFile(path, 4, 32, 15);
    CBitmap bitmap;
    ASSERT_TRUE(LoadSysColorBitmap(path.c_str(), bitmap));
    HDC hdc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ hOld = ::SelectObject(hdc, bitmap.m_hObject);
    EXPECT_EQ(::GetPixel(hdc, 2, 2), ::GetSysColor(COLOR_BTNTEXT));
    EXPECT_EQ(::GetPixel(hdc, 30, 2), ::GetSysColor(COLOR_BTNHIGHLIGHT));
    ::SelectObject(hdc, hOld);
    ::DeleteDC(hdc);
    // Only whole 16-colour files load.
    for (const char* name : {"b1.bmp", "b4.bmp", "b5.bmp"})
        EXPECT_FALSE(LoadSysColorBitmap((m_strFolder + name).c_str(), bitmap)) << name;
}

TEST_F(UserButtonsTest, GroupsLoadAtStartUpWithFreshIdsWrittenBack)
{
    std::string ini = MakeGroup("Tools", 3);
    // A file without a count has ten buttons at start-up; images follow the button index.
    std::string more = MakeGroup("More", 1, 160);
    WriteIni(more, "Common", "ButtonCount", nullptr);
    ASSERT_TRUE(manager.AddUserDefBtnsGroups());
    auto& groups = manager.GetUserDefBtnsGroupsArray();
    ASSERT_EQ(groups.GetSize(), 2);
    CQUUserDefButtons* pTools = groups[manager.GetGroupWithName("tools")];
    ASSERT_EQ(pTools->GetButtonCount(), 3);
    EXPECT_EQ(manager.GetGroupWithName("More"), 1 - manager.GetGroupWithName("Tools"));
    EXPECT_EQ(groups[manager.GetGroupWithName("More")]->GetButtonCount(), 10);

    // The INI folder is not the program folder: ids from the first range.
    std::set<UINT> ids;
    for (int i = 0; i < 3; i++) {
        UINT nID = pTools->GetButton(i)->Id;
        EXPECT_GE(nID, 47649u);
        EXPECT_LE(nID, 48149u);
        ids.insert(nID);
        EXPECT_EQ(std::stoul(ReadIni(ini, ("CustomButton" + std::to_string(i + 1)).c_str(), "Id")), nID);
        EXPECT_EQ(RegistryId("Tools", i + 1), nID);
        EXPECT_TRUE(manager.IsUsedId(nID));
        SECToolBarManager::ImageRef ref;
        ASSERT_TRUE(manager.LookupImage(nID, ref));
        EXPECT_EQ(ref.nImage, i);
    }
    EXPECT_EQ(ids.size(), 3u);
    EXPECT_EQ(std::string(pTools->GetButton(1)->FileName), m_strFolder + "calc.qgs");
    EXPECT_EQ(std::string(pTools->GetToolTipText(pTools->GetButton(1)->Id)), "Tip 2");
    EXPECT_EQ(std::string(pTools->GetStatusText(pTools->GetButton(2)->Id)), "Runs step 3");
    EXPECT_EQ(manager.GetCurrentButtonGroup(pTools->GetButton(2)->Id), manager.GetGroupWithName("Tools"));
    EXPECT_EQ(manager.GetCurrentButtonGroup(12), -1);
    EXPECT_EQ(manager.GetGroupWithIniFile("tools.ini"), pTools);
    // The file keeps its own relative names.
    EXPECT_EQ(ReadIni(ini, "CustomButton1", "FileName"), "calc.qgs");
    EXPECT_EQ(ReadIni(ini, "Common", "BitmapFile"), "Tools.bmp");

    // A new run finds the ids in the registry table and keeps them.
    SECToolBarManagerEx::ResetIdCounters();
    SECToolBarManagerEx again;
    ASSERT_TRUE(again.AddUserDefBtnsGroups());
    CQUUserDefButtons* pAgain = again.GetUserDefBtnsGroupsArray()[again.GetGroupWithName("Tools")];
    for (int i = 0; i < 3; i++)
        EXPECT_EQ(pAgain->GetButton(i)->Id, pTools->GetButton(i)->Id);
}

TEST_F(UserButtonsTest, AStoredIdUsedByAnotherGroupIsReplacedInFileAndRegistry)
{
    std::string a = MakeGroup("Alpha", 1);
    std::string b = MakeGroup("Beta", 1);
    WriteIni(a, "CustomButton1", "Id", "47700");
    WriteIni(b, "CustomButton1", "Id", "47700");
    ASSERT_TRUE(manager.AddUserDefBtnsGroups());
    auto& groups = manager.GetUserDefBtnsGroupsArray();
    ASSERT_EQ(groups.GetSize(), 2);
    UINT idAlpha = groups[manager.GetGroupWithName("Alpha")]->GetButton(0)->Id;
    UINT idBeta = groups[manager.GetGroupWithName("Beta")]->GetButton(0)->Id;
    EXPECT_NE(idAlpha, idBeta);
    EXPECT_TRUE(idAlpha == 47700 || idBeta == 47700);
    EXPECT_EQ(std::stoul(ReadIni(b, "CustomButton1", "Id")), idBeta);
    EXPECT_EQ(RegistryId("Beta", 1), idBeta);
}

TEST_F(UserButtonsTest, DeletingAButtonMovesTheLaterOnesUp)
{
    std::string ini = MakeGroup("Tools", 3);
    ASSERT_TRUE(manager.AddUserDefBtnsGroups());
    CQUUserDefButtons* pGroup = manager.GetUserDefBtnsGroupsArray()[0];
    UINT id1 = pGroup->GetButton(0)->Id, id2 = pGroup->GetButton(1)->Id, id3 = pGroup->GetButton(2)->Id;
    pGroup->DeleteButton(id2, 1, &manager);
    EXPECT_EQ(pGroup->GetButtonCount(), 2);
    EXPECT_FALSE(manager.IsUsedId(id2));
    SECToolBarManager::ImageRef ref;
    EXPECT_FALSE(manager.LookupImage(id2, ref));
    EXPECT_EQ(ReadIni(ini, "Common", "ButtonCount"), "2");
    EXPECT_EQ(ReadIni(ini, "CustomButton1", "SectionName"), "Step1");
    EXPECT_EQ(ReadIni(ini, "CustomButton2", "SectionName"), "Step3");
    EXPECT_EQ(std::stoul(ReadIni(ini, "CustomButton2", "Id")), id3);
    EXPECT_EQ(ReadIni(ini, "CustomButton3", "SectionName"), "<none>");
    EXPECT_EQ(RegistryId("Tools", 1), id1);
    EXPECT_EQ(RegistryId("Tools", 2), id3);
    EXPECT_EQ(RegistryId("Tools", 3), 0u);

    // Deleting the first button keeps the group's bitmap reachable by the new first id.
    pGroup->DeleteButton(id1, 0, &manager);
    EXPECT_EQ(pGroup->GetFirstId(), id3);
    EXPECT_NE(manager.GetBitmapOfFirstId(id3), nullptr);
    // A new button draws from the same bitmap.
    UINT idNew = manager.GetNextAvailableId();
    EXPECT_EQ(pGroup->AddButton(&manager, idNew, 2), idNew);
    ASSERT_TRUE(manager.LookupImage(idNew, ref));
    EXPECT_EQ(ref.nImage, 2);
    EXPECT_EQ(ReadIni(ini, "Common", "ButtonCount"), "2");
}

TEST_F(UserButtonsTest, IdsComeFromTheSecondRangeWhenSettingsLieInTheProgramFolder)
{
    qkfxSetGlobalINIPath("");
    EXPECT_EQ(manager.GetNextAvailableId(), 48150u);
    manager.AddToUsedIds(48151);
    EXPECT_EQ(manager.GetNextAvailableId(), 48152u);
    manager.RemoveFromUsedIds(48151);
    EXPECT_FALSE(manager.IsUsedId(48151));
    qkfxSetGlobalINIPath(m_strFolder.c_str());
    SECToolBarManagerEx::ResetIdCounters();
    EXPECT_EQ(manager.GetNextAvailableId(), 47649u);
}

TEST_F(UserButtonsTest, BadGroupFilesAreRefusedWithTheirReason)
{
    // Added from the page or a script, a group needs its bitmap named; a 256-colour
    // bitmap is refused at start-up with the long message.
    std::string ini = MakeGroup("Plain", 2);
    WriteIni(ini, "Common", "BitmapFile", nullptr);
    std::string text;
    qxtest::DialogDriver driver;
    driver.Then([&](HWND box) {
        text = qxtest::MessageBoxText(box);
        EXPECT_EQ(qxtest::WindowText(box), "Button Group");
        qxtest::Click(box, IDOK);
    });
    BOOL bAdded = TRUE;
    driver.Run([&]() -> INT_PTR {
        bAdded = manager.AddUserDefButtons(ini.c_str(), "", FALSE, "", 0, CQUUserDefButtons::LoadAddExisting);
        return 0;
    });
    EXPECT_FALSE(bAdded);
    EXPECT_EQ(text, "Some of the information for the group is missing or invalid; the group cannot be added.");

    std::string deep = MakeGroup("Deep", 2);
    WriteBitmapFile(m_strFolder + "Deep.bmp", 8, 32, 15);
    qxtest::DialogDriver second;
    second.Then([&](HWND box) {
        text = qxtest::MessageBoxText(box);
        qxtest::Click(box, IDOK);
    });
    second.Run([&]() -> INT_PTR {
        bAdded = manager.AddUserDefButtons(deep.c_str(), "Deep", FALSE, "", 0, CQUUserDefButtons::LoadStartUp);
        return 0;
    });
    EXPECT_FALSE(bAdded);
    EXPECT_EQ(text, "Quorix has detected an illegal toolbar bitmap format, " + m_strFolder +
                        "Deep.bmp. Button group bitmaps must be 16 color. Button Group Deep will not be available "
                        "for inclusion in toolbars.");
    EXPECT_EQ(manager.GetUserDefBtnsGroupsArray().GetSize(), 0);
}

TEST_F(UserButtonsTest, ButtonsRunTheirSectionAndAreEnabledByWindowKindAndVariable)
{
    std::string ini = MakeGroup("Calc", 3);
    WriteIni(ini, "CustomButton2", "Worksheet", "0");
    WriteIni(ini, "CustomButton3", "Variable", "ready");
    std::ofstream(m_strFolder + "calc.qgs") << "[Step1]\nbuttonran = 41 + 1;\n";
    CMainFrame* pFrame = CreateMainFrame();
    ASSERT_NE(pFrame, nullptr);
    SECToolBarManagerEx* pManager = pFrame->GetToolBarManager();
    CQUUserDefButtons* pGroup = pManager->GetUserDefBtnsGroupsArray()[0];
    UINT id1 = pGroup->GetButton(0)->Id, id2 = pGroup->GetButton(1)->Id, id3 = pGroup->GetButton(2)->Id;

    // No window: every button is disabled.
    for (UINT nID : {id1, id2, id3})
        EXPECT_EQ(pGroup->IsButtonEnabled(nID), 0);
    ASSERT_NE(NewWindow(m_pWksTemplate, QK_PAGE_WKS), nullptr);
    EXPECT_EQ(pGroup->IsButtonEnabled(id1), 1);
    EXPECT_EQ(pGroup->IsButtonEnabled(id2), 0);
    EXPECT_EQ(pGroup->IsButtonEnabled(id3), 0) << "the variable does not exist yet";
    qkfxSetVariableValue("ready", 1);
    EXPECT_EQ(pGroup->IsButtonEnabled(id3), 1);

    // A template-bound button: the page's template by name, the extension by kind.
    CQUButtonAttribs* p = pGroup->GetButton(1);
    p->ContextWindow = 0;
    p->TemplateName = pGroup->MakeAbsolute("Quorix.qtw");
    qkfxGetProject().GetActivePage()->SetTemplateName("Quorix");
    EXPECT_EQ(pGroup->IsButtonEnabled(id2), 1);
    p->TemplateName = pGroup->MakeAbsolute("Quorix.qtp");
    EXPECT_EQ(pGroup->IsButtonEnabled(id2), 0);
    p->TemplateName = "Other";
    EXPECT_EQ(pGroup->IsButtonEnabled(id2), 0);

    // The command runs the section through the frame; the variable tells it ran.
    pFrame->SendMessage(WM_COMMAND, MAKEWPARAM(id1, 0), 0);
    double value = 0;
    ASSERT_TRUE(CQKCString::FindQuorixNumericVariable("buttonran", &value));
    EXPECT_EQ(value, 42);
    // The frame's texts of the button come from its group.
    CString strMessage;
    pFrame->GetMessageString(id3, strMessage);
    EXPECT_EQ(std::string(strMessage), "Runs step 3");

    // A toolbar of the group's buttons from the third on: two of the three.
    EXPECT_TRUE(pManager->MakeUserDefTbar("calc", "", 10, 1));
    CQUCustomToolBar* pBar = pManager->FindTbarByName("Calc");
    ASSERT_NE(pBar, nullptr);
    EXPECT_EQ(pBar->GetBtnCount(), 2);
    EXPECT_TRUE(pBar->IsFloating());
    EXPECT_FALSE(pManager->MakeUserDefTbar("", "x", -1, 0));
    EXPECT_FALSE(pManager->MakeUserDefTbar("Nobody", "x", -1, 0));
}

} // namespace
