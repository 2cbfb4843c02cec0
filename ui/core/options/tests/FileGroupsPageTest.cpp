// The File Locations page: which groups it lists, editing the running program's groups
// or the startup groups, and the two dialogs with their checks.
#include "OptionsTestKit.h"

#include "OptionsResources.h"
#include "QUSystemFilePage.h"

using qxtest::DialogDriver;

namespace {

class FileGroupsPageTest : public OptionsTest {
protected:
    static int Rows(HWND page, int id) { return (int)SendDlgItemMessageA(page, id, LVM_GETITEMCOUNT, 0, 0); }
    static std::string Cell(HWND page, int id, int row, int column)
    {
        char text[260] = "";
        LVITEMA item = {};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendDlgItemMessageA(page, id, LVM_GETITEMTEXTA, row, (LPARAM)&item);
        return text;
    }
    static void SelectRow(HWND page, int id, int row)
    {
        LVITEMA item = {};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        item.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendDlgItemMessageA(page, id, LVM_SETITEMSTATE, row, (LPARAM)&item);
    }
    static int RowOf(HWND page, int id, const std::string& name)
    {
        for (int i = 0; i < Rows(page, id); ++i)
            if (Cell(page, id, i, 0) == name)
                return i;
        return -1;
    }
    QKSysMethodFileExt& Ext() { return system->GetRefFileExt(); }
};

TEST_F(FileGroupsPageTest, ListsEveryGroupButTemplatesAndTheAsciiTypes)
{
    CQKFileTypeGroupPtrArray groups;
    Ext().LoadInternalDefaults(groups);
    groups.Add(new CQKFileTypeGroup("template"));
    groups.Add(new CQKFileTypeGroup("TeMpLaTe"));
    ASSERT_TRUE(Ext().Save(groups));
    CQUSystemFilePage::SetShownArray(0);

    std::vector<std::string> names, types;
    DialogDriver driver;
    driver.Then([&](HWND sheet) {
        HWND page = Go(sheet, kFiles);
        for (int i = 0; i < Rows(page, IDC_QU_FILE_GROUPS); ++i)
            names.push_back(Cell(page, IDC_QU_FILE_GROUPS, i, 0));
        for (int i = 0; i < Rows(page, IDC_QU_FILE_TYPES); ++i)
            types.push_back(Cell(page, IDC_QU_FILE_TYPES, i, 1));
        qxtest::Click(sheet, IDCANCEL);
    });
    RunSheet(driver);
    int ascii = groups.GetGroupIndex("ASCII");
    ASSERT_GE(ascii, 0);
    EXPECT_EQ((size_t)groups.GetSize() - 3, names.size()); // the built-in TEMPLATE too
    for (const std::string& n : names)
        EXPECT_NE(0, _stricmp(n.c_str(), "template")) << n;
    ASSERT_EQ((size_t)groups.GetAt(ascii)->GetNumTypes(), types.size());
    EXPECT_EQ(groups.GetAt(ascii)->GetTypeExtensions(0), types[0]);
}

TEST_F(FileGroupsPageTest, ModifyingTheRunningGroupsChangesOnlyTheRunningProgram)
{
    CQUSystemFilePage::SetShownArray(1);
    std::string missing = "C:\\no\\such\\folder";
    std::string question, rowPath;
    int questions = 0;
    DialogDriver driver;
    driver.Then([&](HWND sheet) {
        HWND page = Go(sheet, kFiles);
        Touch(page);
        SelectRow(page, IDC_QU_FILE_GROUPS, RowOf(page, IDC_QU_FILE_GROUPS, "ASCII"));
        qxtest::Click(page, IDC_QU_FILE_MODIFY);
        rowPath = Cell(page, IDC_QU_FILE_GROUPS, RowOf(page, IDC_QU_FILE_GROUPS, "ASCII"), 1);
        // Nothing is selected among the types: Delete does nothing.
        qxtest::Click(page, IDC_QU_FILE_DELETE);
        qxtest::Click(sheet, IDOK);
    });
    // A folder that does not exist is asked about; No keeps the dialog open.
    driver.Then([&](HWND dlg) {
        qxtest::SetText(dlg, IDC_QU_GD_PATH, missing);
        qxtest::ComboSelect(dlg, IDC_QU_GD_TYPES, 1);
        qxtest::Click(dlg, IDOK);
        qxtest::SetText(dlg, IDC_QU_GD_PATH, iniFolder);
        qxtest::Click(dlg, IDOK);
    });
    driver.Then([&](HWND box) {
        question = qxtest::MessageBoxText(box);
        ++questions;
        qxtest::Click(box, IDNO);
    });
    RunSheet(driver);
    EXPECT_EQ(1, questions);
    EXPECT_EQ(missing + "\\\n\nThis directory does not exist.\nUse it anyway?", question);
    EXPECT_EQ(iniFolder + "\\", rowPath);

    CQKFileTypeGroupPtrArray current;
    Ext().GetAllGroups(current);
    const CQKFileTypeGroup* ascii = current.GetAt(current.GetGroupIndex("ASCII"));
    ASSERT_NE(nullptr, ascii);
    EXPECT_EQ(iniFolder + "\\", ascii->GetDefaultPath());
    EXPECT_EQ(1, ascii->GetDefaultType());
    // Delete with no type selected removed none of the four built-in types.
    EXPECT_EQ(4, ascii->GetNumTypes());
    // Neither asked to save nor saved: the sheet and the defaults dialog only.
    EXPECT_EQ(3u, driver.Dialogs().size());
    char count[16] = "";
    GetPrivateProfileStringA("FileTypeGroups", "Count", "", count, sizeof count, IniFile().c_str());
    EXPECT_STREQ("", count);
}

TEST_F(FileGroupsPageTest, AddedTypesOfTheStartupGroupsAreSavedWhenTheUserAgrees)
{
    CQUSystemFilePage::SetShownArray(0);
    int before = 0, after = 0;
    DialogDriver driver;
    driver.Then([&](HWND sheet) {
        HWND page = Go(sheet, kFiles);
        Touch(page);
        before = Rows(page, IDC_QU_FILE_TYPES);
        qxtest::Click(page, IDC_QU_FILE_ADD);
        after = Rows(page, IDC_QU_FILE_TYPES);
        qxtest::Click(sheet, IDOK);
    });
    driver.Then([&](HWND dlg) {
        qxtest::SetText(dlg, IDC_QU_AT_DESCRIPTION, "Logger (*.log)");
        // An empty pattern is refused; the dialog stays for one.
        qxtest::Click(dlg, IDOK);
        qxtest::SetText(dlg, IDC_QU_AT_PATTERN, "*.log");
        qxtest::Click(dlg, IDOK);
    });
    driver.Then([&](HWND box) { qxtest::Click(box, IDYES); });
    RunSheet(driver);
    EXPECT_EQ(before + 1, after);

    CQKFileTypeGroupPtrArray startup;
    ASSERT_TRUE(Ext().Load(startup));
    const CQKFileTypeGroup* ascii = startup.GetAt(startup.GetGroupIndex("ASCII"));
    ASSERT_NE(nullptr, ascii);
    ASSERT_EQ(before + 1, ascii->GetNumTypes());
    EXPECT_EQ("Logger (*.log)", ascii->GetTypeDescription(before));
    EXPECT_EQ("*.log", ascii->GetTypeExtensions(before));
    // The running program keeps its own groups.
    CQKFileTypeGroupPtrArray current;
    Ext().GetAllGroups(current);
    EXPECT_EQ(before, current.GetAt(current.GetGroupIndex("ASCII"))->GetNumTypes());
}

} // namespace
