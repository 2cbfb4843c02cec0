// The dialogs of user-defined buttons and groups, driven as a user would, and the two files
// that the export of a group writes for the packer.
#include <gtest/gtest.h>
#include <qxtest/DialogDriver.h>

#include <fstream>
#include <sstream>

#include "ButtonDialogs.h"
#include "FramesFixture.h"
#include "FramesResource.h"
#include "UserDefButtons.h"

using namespace framestest;

namespace {


std::string ReadIni(const std::string& path, const char* section, const char* key)
{
    char sz[512] = "";
    ::GetPrivateProfileStringA(section, key, "<none>", sz, sizeof sz, path.c_str());
    return sz;
}

class ButtonDialogsTest : public FramesFixture
{
protected:
    SECToolBarManagerEx manager;

    CQUUserDefButtons* MakeGroup(const char* name, int nButtons, int nWidth, BOOL bSystem = FALSE)
    {
        std::string ini = m_strFolder + name + ".ini";
        WriteBitmapFile(m_strFolder + name + ".bmp", 4, nWidth, 15);
        ::WritePrivateProfileStringA("Common", "GroupName", name, ini.c_str());
        ::WritePrivateProfileStringA("Common", "BitmapFile", (std::string(name) + ".bmp").c_str(), ini.c_str());
        ::WritePrivateProfileStringA("Common", "ButtonCount", std::to_string(nButtons).c_str(), ini.c_str());
        for (int i = 1; i <= nButtons; i++) {
            std::string section = "CustomButton" + std::to_string(i);
            // Two buttons share one script; one names its script without the extension.
            const char* file = i == 3 ? "other" : "calc.qgs";
            ::WritePrivateProfileStringA(section.c_str(), "FileName", file, ini.c_str());
            ::WritePrivateProfileStringA(section.c_str(), "SectionName", "Main", ini.c_str());
        }
        if (!manager.AddUserDefButtons(ini.c_str(), name, bSystem, "", 0, CQUUserDefButtons::LoadStartUp))
            return nullptr;
        auto& groups = manager.GetUserDefBtnsGroupsArray();
        return groups[groups.GetSize() - 1];
    }
};

TEST_F(ButtonDialogsTest, ButtonSettingsNeedAScriptAndAreWrittenOnOK)
{
    CQUUserDefButtons* pGroup = MakeGroup("Calc", 2, 32);
    ASSERT_NE(pGroup, nullptr);
    std::string message;
    HWND hDialog = nullptr;
    qxtest::DialogDriver driver;
    driver.Then([&](HWND dlg) {
        hDialog = dlg;
        EXPECT_EQ(qxtest::GetText(dlg, IDC_BS_FILE_NAME), m_strFolder + "calc.qgs");
        EXPECT_TRUE(qxtest::IsChecked(dlg, IDC_BS_WINDOW_RADIO));
        EXPECT_FALSE(qxtest::IsEnabled(dlg, IDC_BS_TEMPLATE_NAME));
        qxtest::SetText(dlg, IDC_BS_FILE_NAME, "");
        qxtest::Click(dlg, IDOK);
    });
    driver.Then([&](HWND box) {
        message = qxtest::MessageBoxText(box);
        // The dialog stays open behind the box: a script given, the template context
        // chosen, and OK once the box is gone.
        HWND dlg = hDialog;
        qxtest::SetText(dlg, IDC_BS_FILE_NAME, m_strFolder + "fit.qgs");
        qxtest::SetText(dlg, IDC_BS_TOOLTIP, "Fit it");
        qxtest::Click(dlg, IDC_BS_TEMPLATE_RADIO);
        EXPECT_TRUE(qxtest::IsEnabled(dlg, IDC_BS_TEMPLATE_NAME));
        EXPECT_FALSE(qxtest::IsEnabled(dlg, IDC_BS_GRAPH));
        qxtest::SetText(dlg, IDC_BS_TEMPLATE_NAME, "Plot.qtp");
        qxtest::Click(box, IDOK);
        ::PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)::GetDlgItem(dlg, IDOK));
    });
    BOOL bChanged = FALSE;
    driver.Run([&]() -> INT_PTR {
        bChanged = pGroup->ModifyButtonWithDialog(1, &manager);
        return 0;
    });
    EXPECT_EQ(message, "Please specify a script file name.");
    EXPECT_TRUE(bChanged);
    CQUButtonAttribs* p = pGroup->GetButton(1);
    EXPECT_EQ(std::string(p->ToolTip), "Fit it");
    EXPECT_EQ(p->ContextWindow, 0);
    std::string ini = m_strFolder + "Calc.ini";
    EXPECT_EQ(ReadIni(ini, "CustomButton2", "FileName"), "fit.qgs");
    EXPECT_EQ(ReadIni(ini, "CustomButton2", "ToolTip"), "Fit it");
    EXPECT_EQ(ReadIni(ini, "CustomButton2", "ContextWindow"), "0");
    EXPECT_EQ(ReadIni(ini, "CustomButton2", "TemplateName"), "Plot.qtp");

    EXPECT_EQ(std::string(CQUModifyButtonDlg::ScriptFileName("C:\\s\\macro.txt")), "C:\\s\\macro.txt.qgs");
    EXPECT_EQ(std::string(CQUModifyButtonDlg::ScriptFileName("C:\\s\\macro.QGS")), "C:\\s\\macro.QGS");
}

TEST_F(ButtonDialogsTest, SettingsOfAProgramFolderGroupAreShownReadOnly)
{
    CQUUserDefButtons* pGroup = MakeGroup("Calc", 1, 32);
    ASSERT_NE(pGroup, nullptr);
    CQUButtonAttribs button = *pGroup->GetButton(0);
    CQUModifyButtonDlg dlg;
    dlg.SetFromButton(button);
    dlg.m_bReadOnly = TRUE;
    qxtest::DialogDriver driver;
    driver.Then([&](HWND h) {
        EXPECT_FALSE(qxtest::IsEnabled(h, IDOK));
        EXPECT_EQ(qxtest::WindowText(::GetDlgItem(h, IDCANCEL)), "Close");
        EXPECT_TRUE(::GetWindowLongA(::GetDlgItem(h, IDC_BS_FILE_NAME), GWL_STYLE) & ES_READONLY);
        for (int nID : {IDC_BS_TEMPLATE_RADIO, IDC_BS_WORKSHEET, IDC_BS_EXCEL, IDC_BS_BROWSE_FILE, IDC_BS_VARIABLE})
            EXPECT_FALSE(qxtest::IsEnabled(h, nID)) << nID;
        EXPECT_EQ(qxtest::GetText(h, IDC_BS_SECTION), "Main");
        qxtest::Click(h, IDCANCEL);
    });
    EXPECT_EQ(driver.Run([&] { return dlg.DoModal(); }), IDCANCEL);
}

TEST_F(ButtonDialogsTest, AddButtonOffersOneEntryPerWholeImage)
{
    CQUUserDefButtons* pGroup = MakeGroup("Calc", 1, 47);
    ASSERT_NE(pGroup, nullptr);
    int nEntries = 0;
    qxtest::DialogDriver driver;
    driver.Then([&](HWND h) {
        nEntries = (int)::SendDlgItemMessageA(h, IDC_AB_IMAGE, CB_GETCOUNT, 0, 0);
        qxtest::ComboSelect(h, IDC_AB_IMAGE, 1);
        qxtest::Click(h, IDOK);
    });
    UINT nID = 0;
    driver.Run([&]() -> INT_PTR {
        nID = pGroup->AddButtonWithDialog(&manager);
        return 0;
    });
    EXPECT_EQ(nEntries, 2);
    ASSERT_NE(nID, 0u);
    EXPECT_EQ(pGroup->GetButtonCount(), 2);
    EXPECT_EQ(pGroup->GetButton(1)->Image, 1);
    EXPECT_TRUE(manager.IsUsedId(nID));
    EXPECT_EQ(ReadIni(m_strFolder + "Calc.ini", "CustomButton2", "Image"), "1");
}

TEST_F(ButtonDialogsTest, CreateGroupRefusesMissingDataTakenNamesAndDeepBitmaps)
{
    ASSERT_NE(MakeGroup("Tools", 1, 32), nullptr);
    WriteBitmapFile(m_strFolder + "ok.bmp", 4, 64, 15);
    std::ofstream(m_strFolder + "deep.bmp") << "BM not four bits";
    struct Case { const char* name; std::string bitmap; const char* message; } cases[] = {
        {"", m_strFolder + "ok.bmp", "Please provide all the required information"},
        {"TOOLS", m_strFolder + "ok.bmp", "A group with this name already exists. Please specify a different name."},
        {"New", m_strFolder + "deep.bmp", "Button group bitmaps must be 16 color."},
    };
    for (const Case& c : cases) {
        CQUCreateGroupDlg dlg(&manager);
        std::string message;
        HWND hDialog = nullptr;
        qxtest::DialogDriver driver;
        driver.Then([&](HWND h) {
            hDialog = h;
            EXPECT_EQ(::SendDlgItemMessageA(h, IDC_CG_COUNT, CB_GETCOUNT, 0, 0), 50);
            qxtest::SetText(h, IDC_CG_NAME, c.name);
            qxtest::SetText(h, IDC_CG_BITMAP, c.bitmap);
            qxtest::Click(h, IDOK);
        });
        driver.Then([&](HWND box) {
            message = qxtest::MessageBoxText(box);
            qxtest::Click(box, IDOK);
            // Refused: the dialog is still open.
            ::PostMessageA(hDialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        });
        EXPECT_EQ(driver.Run([&] { return dlg.DoModal(); }), IDCANCEL) << c.name;
        EXPECT_EQ(message, c.message);
    }
    CQUCreateGroupDlg dlg(&manager);
    qxtest::DialogDriver driver;
    driver.Then([&](HWND h) {
        qxtest::SetText(h, IDC_CG_NAME, "New");
        qxtest::SetText(h, IDC_CG_BITMAP, m_strFolder + "ok.bmp");
        qxtest::ComboSelect(h, IDC_CG_COUNT, 4);
        qxtest::Click(h, IDOK);
    });
    ASSERT_EQ(driver.Run([&] { return dlg.DoModal(); }), IDOK);
    EXPECT_EQ(std::string(dlg.m_strButtonCount), "5");
    // The group is made from what the dialog collected, as the page makes it.
    std::string ini = m_strFolder + "new.ini";
    ASSERT_TRUE(manager.AddUserDefButtons(ini.c_str(), dlg.m_strGroupName, FALSE, dlg.m_strBitmapFile,
                                          atoi(dlg.m_strButtonCount), CQUUserDefButtons::LoadCreateNew));
    EXPECT_EQ(ReadIni(ini, "Common", "ButtonCount"), "5");
    EXPECT_EQ(ReadIni(ini, "Common", "BitmapFile"), "ok.bmp");
    EXPECT_EQ(ReadIni(m_strProfile, "UserDefinedButtons", "New"), "new.ini");
}

TEST_F(ButtonDialogsTest, AGroupFileWithoutANameAsksForOne)
{
    std::string ini = m_strFolder + "anon.ini";
    WriteBitmapFile(m_strFolder + "anon.bmp", 4, 32, 15);
    ::WritePrivateProfileStringA("Common", "BitmapFile", "anon.bmp", ini.c_str());
    ::WritePrivateProfileStringA("Common", "ButtonCount", "2", ini.c_str());
    std::string message;
    qxtest::DialogDriver driver;
    driver.Then([&](HWND h) {
        message = qxtest::WindowText(::GetDlgItem(h, IDC_GN_MESSAGE));
        qxtest::SetText(h, IDC_GN_NAME, "Named");
        qxtest::Click(h, IDOK);
    });
    BOOL bAdded = FALSE;
    driver.Run([&]() -> INT_PTR {
        bAdded = manager.AddUserDefButtons(ini.c_str(), "", FALSE, "", 0, CQUUserDefButtons::LoadAddExisting);
        return 0;
    });
    EXPECT_EQ(message, "Please specify a name for the group.");
    ASSERT_TRUE(bAdded);
    EXPECT_EQ(manager.GetGroupWithName("named"), 0);
    EXPECT_EQ(ReadIni(ini, "Common", "GroupName"), "Named");
    EXPECT_EQ(ReadIni(m_strProfile, "UserDefinedButtons", "Named"), "anon.ini");
}

TEST_F(ButtonDialogsTest, ExportListsTheGroupsFilesOnceAndWritesThePackerFiles)
{
    CQUUserDefButtons* pGroup = MakeGroup("Calc", 3, 48);
    ASSERT_NE(pGroup, nullptr);
    std::string files, additional, list, setup;
    BOOL bExported = TRUE;
    CQUExportCategoryDlg dlg(pGroup);
    dlg.m_strPackagePath = "D:\\packs\\tools";
    qxtest::DialogDriver driver;
    driver.Then([&](HWND h) {
        int n = (int)::SendDlgItemMessageA(h, IDC_EG_GROUP_FILES, LB_GETCOUNT, 0, 0);
        for (int i = 0; i < n; i++) {
            char sz[MAX_PATH] = "";
            ::SendDlgItemMessageA(h, IDC_EG_GROUP_FILES, LB_GETTEXT, i, (LPARAM)sz);
            files += std::string(sz) + "|";
        }
        dlg.AddAdditionalFile((m_strFolder + "data.dat").c_str());
        dlg.AddAdditionalFile("data.dat");
        dlg.AddAdditionalFile("C:\\elsewhere\\readme.txt");
        additional = std::to_string(::SendDlgItemMessageA(h, IDC_EG_ADDITIONAL, LB_GETCOUNT, 0, 0));
        list = (LPCTSTR)dlg.MakeFileList();
        setup = (LPCTSTR)dlg.MakeSetupScript();
        dlg.WriteAdditionalFiles();
        bExported = dlg.ExportGroup();
        qxtest::Click(h, IDCANCEL);
    });
    driver.Run([&] { return dlg.DoModal(); });
    EXPECT_EQ(files, "Calc.ini|Calc.bmp|calc.qgs|other.qgs|");
    EXPECT_EQ(additional, "2");
    EXPECT_EQ(list, "D:\\packs\\tools\r\nCalc.ini\r\nCalc.bmp\r\ncalc.qgs\r\nother.qgs\r\nC:\\elsewhere\\readme.txt\r\n"
                    "data.dat\r\nQPKSetup.qgs");
    EXPECT_EQ(setup,
              "if (run.section(Calc.qgs, OnBeforeSetup) == 1) \r\n"
              "{\r\n"
              "   qpack.undo(); \r\n"
              "   return; \r\n"
              "}\r\n"
              "else \r\n"
              "{ \r\n"
              "   if (system.toolbar.createcategory(\"Calc.ini\") == 0)\r\n"
              "   {\r\n"
              "\t system.toolbar.create(Calc);\r\n"
              "\t %A=$General.UserDefinedGroupAdded;\r\n"
              "\t %B=$General.UserDefinedGroup;\r\n"
              "\t type.msgBox(Calc %A, %B);\r\n"
              "   }\r\n"
              "}\r\n"
              " run.section(Calc.qgs, OnAfterSetup);");
    std::string ini = m_strFolder + "Calc.ini";
    EXPECT_EQ(ReadIni(ini, "AdditionalFiles", "File1"), "C:\\elsewhere\\readme.txt");
    EXPECT_EQ(ReadIni(ini, "AdditionalFiles", "File2"), "data.dat");
    // No packer answers in this build: the export fails and leaves no files behind.
    EXPECT_FALSE(bExported);
    EXPECT_EQ(std::string(dlg.m_strPackagePath), "D:\\packs\\tools.qpk");
    EXPECT_EQ(::GetFileAttributesA((m_strFolder + "ExpGroup.tmp").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(::GetFileAttributesA((m_strFolder + "QPKSetup.qgs").c_str()), INVALID_FILE_ATTRIBUTES);
}

} // namespace
