// The dialog project wizard run through the project-wizard host as a user runs it: the
// steps are driven by their controls, the project is generated into a temporary folder,
// and every generated file is checked. The resource scripts are compiled and loaded by
// the GeneratedProjects test (ProjectBuildCheck.cpp).
#include <gtest/gtest.h>

#include "WizardHost.h"

#include <commctrl.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "QKScript.h"
#include "qxtest/DialogDriver.h"
#include "../resource.h"

using namespace qxtest;

namespace {

CWizardHost& Host()
{
    // One load for the process: the library joins the framework's resource chain once.
    static CWizardHost* host = [] {
        CWizardHost* h = new CWizardHost;
        CString error;
        EXPECT_TRUE(h->LoadWizard("qxdlgwizard.dll", error)) << (LPCTSTR)error;
        return h;
    }();
    return *host;
}

HWND Step(HWND frame)
{
    return GetDlgItem(frame, IDC_AWX_STEP);
}

std::string Dict(const char* key)
{
    CString value;
    if (!Host().GetWizard()->m_Dictionary.Lookup(key, value))
        return "<absent>";
    return (LPCTSTR)value;
}

using Rows = std::vector<std::vector<std::string>>;

Rows ListRows(HWND step)
{
    HWND list = GetDlgItem(step, IDC_CHILD_LIST);
    Rows rows;
    int count = ListView_GetItemCount(list);
    for (int i = 0; i < count; ++i) {
        std::vector<std::string> row;
        for (int column = 0; column < 3; ++column) {
            char text[256] = "";
            ListView_GetItemText(list, i, column, text, sizeof text);
            row.push_back(text);
        }
        rows.push_back(row);
    }
    return rows;
}

void SelectRow(HWND step, int row)
{
    // What a click on the row does; the list tells the step through LVN_ITEMCHANGED.
    ListView_SetItemState(GetDlgItem(step, IDC_CHILD_LIST), row, LVIS_SELECTED | LVIS_FOCUSED,
                          LVIS_SELECTED | LVIS_FOCUSED);
}

int FocusedControl()
{
    return GetDlgCtrlID(GetFocus());
}

// A message box's caption and text, then OK.
struct Box {
    std::string caption, text;
};
DialogDriver::Step RecordBox(std::vector<Box>& boxes)
{
    return [&boxes](HWND box) {
        boxes.push_back({WindowText(box), MessageBoxText(box)});
        Click(box, IDOK);
    };
}

DialogDriver::Step Confirm(std::string& text)
{
    return [&text](HWND dialog) {
        text = GetText(dialog, IDC_AWX_CONFIRM_TEXT);
        Click(dialog, IDOK);
    };
}

const char kConfirmHead[] = "Resource Only DLL project with Release and Debug configurations\r\n";

// Resource.h as the resource editor expects it: its marker and user, the ids, the counters.
std::string ResourceHeader(const std::string& root, const std::vector<std::string>& defines,
                           int nextResource)
{
    std::string text = "//{{NO_DEPENDENCIES}}\r\n// Used by " + root + ".rc\r\n//\r\n";
    for (const std::string& d : defines)
        text += "#define " + d + "\r\n";
    text += "\r\n// Next default values for new objects\r\n//\r\n"
            "#ifdef APSTUDIO_INVOKED\r\n#ifndef APSTUDIO_READONLY_SYMBOLS\r\n"
            "#define _APS_NEXT_RESOURCE_VALUE        " + std::to_string(nextResource) + "\r\n"
            "#define _APS_NEXT_COMMAND_VALUE         32771\r\n"
            "#define _APS_NEXT_CONTROL_VALUE         6000\r\n"
            "#define _APS_NEXT_SYMED_VALUE           21000\r\n"
            "#endif\r\n#endif\r\n";
    return text;
}

struct Section {
    const char* name;
    const char* calledWhen;
    const char* statement;
    const char* printed; // what the statement shows
    bool wizardOnly;
};
const Section kSections[] = {
    {"OnInit", "the dialog is shown for the first time", "type -b OnInit;", "OnInit", false},
    {"OnInitActiveMode", "a wizard page is in active mode and shown for the first time",
     "type -b  OnInitActiveMode;", "OnInitActiveMode", true},
    {"OnOk", "the OK button is clicked", "type -b OnOK;", "OnOK", false},
    {"OnCancel", "the Cancel button is clicked", "type -b OnCancel;", "OnCancel", false},
    {"OnApply", "the Apply button is clicked", "type -b OnApply;", "OnApply", false},
    {"OnNext", "the wizard's Next button is clicked", "type -b OnNext;", "OnNext", true},
    {"OnFinish", "the wizard's Finish button is clicked", "type -b OnFinish;", "OnFinish", true},
    {"OnHelp", "the Help button is clicked", "type -b OnHelp;", "OnHelp", false},
};

std::string ScriptSkeleton(const std::string& script, const std::string& caption, bool wizard)
{
    std::string rule = "//" + std::string(78, '-') + "\r\n";
    std::string text = rule + "// Filename: " + script + ".qgs\r\n// Purpose: Handle events for the \"" + caption
                       + "\" dialog.\r\n" + rule + "\r\n";
    bool first = true;
    for (const Section& s : kSections) {
        if (s.wizardOnly && !wizard)
            continue;
        if (!first)
            text += "\r\n\r\n";
        first = false;
        text += std::string("[") + s.name + "]\r\n\t// Called when " + s.calledWhen + ".\r\n\t" + s.statement + "\r\n";
    }
    return text;
}

// Runs every section of a generated script in the kernel's interpreter and checks that
// each shows its own name in a message box and nothing else, and that the sections of
// the other kinds are not there.
void ExpectSectionsRun(const std::string& path, bool wizard)
{
    struct Sink {
        std::vector<std::pair<int, std::string>> lines;
    } sink;
    CQKScript& script = qkfxGetScript();
    script.Reset();
    script.SetOutput([](const char* text, int kind, void* user) {
        static_cast<Sink*>(user)->lines.push_back({kind, text});
    }, &sink);
    for (const Section& s : kSections) {
        SCOPED_TRACE(s.name);
        sink.lines.clear();
        double result = -1;
        bool present = !s.wizardOnly || wizard;
        bool ran = script.RunSection(path, s.name, {}, &result);
        if (present) {
            EXPECT_TRUE(ran) << script.GetLastError();
            EXPECT_EQ(0, result);
            ASSERT_EQ(1u, sink.lines.size());
            EXPECT_EQ(1, sink.lines[0].first);
            EXPECT_EQ(s.printed, sink.lines[0].second);
        } else {
            EXPECT_FALSE(ran);
        }
    }
    script.SetOutput(nullptr, nullptr);
}

class DialogWizardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(nullptr, Host().GetWizard());
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        folder = std::string(temp) + "qxdlgwizard-" + std::to_string(GetCurrentProcessId());
        RemoveFolder();
    }
    void TearDown() override { RemoveFolder(); }

    void RemoveFolder()
    {
        WIN32_FIND_DATAA data;
        HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) {
            do
                DeleteFileA((folder + "\\" + data.cFileName).c_str());
            while (FindNextFileA(find, &data));
            FindClose(find);
        }
        RemoveDirectoryA(folder.c_str());
    }

    std::string Path(const std::string& name) const { return folder + "\\" + name; }
    bool Exists(const std::string& name) const
    {
        return GetFileAttributesA(Path(name).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    std::string Read(const std::string& name) const
    {
        std::ifstream in(Path(name), std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    INT_PTR Run(DialogDriver& driver)
    {
        INT_PTR result = driver.Run([&] { return Host().Run("Demo", folder.c_str()); });
        EXPECT_FALSE(driver.TimedOut());
        return result;
    }

    std::string folder;
};

TEST_F(DialogWizardTest, SimpleDialogMakesTheResourceOnlyProjectAndItsScript)
{
    std::string confirm;
    DialogDriver driver;
    driver
        .Then([&](HWND frame) {
            HWND step = Step(frame);
            EXPECT_TRUE(IsChecked(step, IDC_KIND_EMPTY));
            EXPECT_EQ("Step 1 of 1", GetText(frame, IDC_AWX_STEP_TEXT));
            EXPECT_FALSE(IsEnabled(frame, ID_WIZBACK));
            EXPECT_FALSE(IsEnabled(frame, ID_WIZNEXT));

            Click(step, IDC_KIND_SIMPLE);
            EXPECT_EQ("Step 1 of 2", GetText(frame, IDC_AWX_STEP_TEXT));
            ASSERT_TRUE(IsEnabled(frame, ID_WIZNEXT));
            Click(frame, ID_WIZNEXT);

            step = Step(frame);
            EXPECT_EQ("Step 2 of 2", GetText(frame, IDC_AWX_STEP_TEXT));
            EXPECT_TRUE(IsEnabled(frame, ID_WIZBACK));
            EXPECT_FALSE(IsEnabled(frame, ID_WIZNEXT));
            EXPECT_EQ("My Dialog", GetText(step, IDC_CAPTION));
            EXPECT_EQ("IDD_MYDIALOG", GetText(step, IDC_RESOURCE_ID));
            EXPECT_EQ("MyDialog", GetText(step, IDC_SCRIPT_NAME));
            EXPECT_FALSE(IsWindowVisible(GetDlgItem(step, IDC_NEXT_HINT)));
            SetText(step, IDC_CAPTION, "Curve Options");
            SetText(step, IDC_RESOURCE_ID, "IDD_CURVE");
            SetText(step, IDC_SCRIPT_NAME, "CurveOpts");
            Click(frame, ID_WIZFINISH);
        })
        .Then(Confirm(confirm));
    ASSERT_EQ(IDOK, Run(driver));
    EXPECT_EQ(2, driver.StepsRun());

    EXPECT_EQ(std::string(kConfirmHead) + "A resource file containing a simple dialog\r\n", confirm);
    EXPECT_EQ("<absent>", Dict("DDK_PROJECT_EMPTY"));
    EXPECT_EQ("1", Dict("DDK_PROJECT_SIMPLE"));
    EXPECT_EQ("<absent>", Dict("DDK_PROJECT_TABBED"));
    EXPECT_EQ("<absent>", Dict("DDK_PROJECT_WIZARD"));
    EXPECT_EQ("0", Dict("HELP"));
    EXPECT_EQ("1", Dict("PROJTYPE_DLL"));
    EXPECT_EQ("Curve Options", Dict("DDK_DLG_CAPTION"));

    // The script is named after the dialog's script name, not after the project.
    EXPECT_EQ(ResourceHeader("Demo", {"IDD_CURVE 100"}, 101), Read("Resource.h"));
    EXPECT_EQ(ScriptSkeleton("CurveOpts", "Curve Options", false), Read("CurveOpts.qgs"));
    std::string rc = Read("Demo.rc");
    EXPECT_NE(std::string::npos, rc.find("IDD_CURVE DIALOG DISCARDABLE  0, 0, 194, 127\r\n")) << rc;
    EXPECT_NE(std::string::npos, rc.find("CAPTION \"Curve Options\"\r\n")) << rc;
    EXPECT_NE(std::string::npos, rc.find("    IDD_CURVE \"CurveOpts\"\r\n")) << rc;
    ExpectSectionsRun(Path("CurveOpts.qgs"), false);

    CBuildProject& project = Host().GetProject();
    EXPECT_TRUE(project.m_bDynamicLibrary);
    ASSERT_EQ(3, project.GetFileCount());
    const struct {
        const char* name;
        BOOL excluded;
    } files[] = {{"Demo.rc", FALSE}, {"Resource.h", FALSE}, {"CurveOpts.qgs", TRUE}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_STREQ(files[i].name, (LPCTSTR)project.GetFileName(i));
        EXPECT_EQ(files[i].excluded, project.IsExcludedFromBuild(i)) << files[i].name;
    }
    ASSERT_EQ(2, project.GetConfigurationCount());
    EXPECT_STREQ("Release", (LPCTSTR)project.GetConfiguration(1)->m_strName);
    EXPECT_STREQ("Debug", (LPCTSTR)project.GetConfiguration(2)->m_strName);
    for (long i = 1; i <= 2; ++i)
        EXPECT_STREQ("/NOENTRY", (LPCTSTR)project.GetConfiguration(i)->GetToolSettings("link.exe"));
}

TEST_F(DialogWizardTest, TabsAreCheckedOrderedAndNumberedInListOrder)
{
    struct AddCase {
        const char* caption;
        const char* idName;
        const char* scriptName;
        const char* message; // null: the row is added
        int focus;
    };
    // The list starts with the default tabs FirstTab and SecondTab; the dialog is IDD_MYDIALOG.
    const AddCase cases[] = {
        {"", "IDD_X", "X", "Caption field is empty.", IDC_CAPTION},
        {"Second Tab", "IDD_X", "X", "The specified Caption is already used.", IDC_CAPTION},
        {"Say \"hi\"", "IDD_X", "X", "The Caption must not contain double quotes or backslashes.", IDC_CAPTION},
        {"Path\\", "IDD_X", "X", "The Caption must not contain double quotes or backslashes.", IDC_CAPTION},
        {"Third", "", "X", "Resource ID field is empty.", IDC_RESOURCE_ID},
        {"Third", "IDD_FIRSTTAB", "X", "The specified Resource ID is already used.", IDC_RESOURCE_ID},
        {"Third", "3RD", "X", "The Resource ID must begin with a letter or an underscore and hold only letters, digits and underscores.", IDC_RESOURCE_ID},
        {"Third", "IDD_MYDIALOG", "X", "The specified Resource ID is a name the generated resources use already.", IDC_RESOURCE_ID},
        {"Third", "IDC_TAB_PLACEHOLDER", "X", "The specified Resource ID is a name the generated resources use already.", IDC_RESOURCE_ID},
        {"Third", "IDD_THIRD", "", "Script Name field is empty.", IDC_SCRIPT_NAME},
        {"Third", "IDD_THIRD", "FIRSTTAB", "The specified Script Name is already used.", IDC_SCRIPT_NAME},
        {"Third", "IDD_THIRD", "Third.Tab", "The Script Name must begin with a letter and hold only letters, digits and underscores.", IDC_SCRIPT_NAME},
        // A caption differing only in case is another caption; blanks around are trimmed.
        {"  first tab  ", " IDD_THIRDTAB ", " ThirdTab ", nullptr, IDC_CAPTION},
    };
    std::vector<Box> boxes;
    std::vector<int> focus;
    std::vector<Rows> fieldsAfterAdd;
    std::string confirm, hint;
    Rows afterAdd, afterUp, afterBackAndNext;
    bool upAfterUp = true, downAfterUp = false, removeBeforeSelect = true, downOnLast = true;

    DialogDriver driver;
    driver.Then([&](HWND frame) {
        Click(Step(frame), IDC_KIND_TABBED);
        EXPECT_EQ("Step 1 of 3", GetText(frame, IDC_AWX_STEP_TEXT));
        Click(frame, ID_WIZNEXT);
        hint = IsWindowVisible(GetDlgItem(Step(frame), IDC_NEXT_HINT)) ? GetText(Step(frame), IDC_NEXT_HINT) : "";
        Click(frame, ID_WIZNEXT);
        HWND step = Step(frame);
        EXPECT_EQ("Step 3 of 3", GetText(frame, IDC_AWX_STEP_TEXT));
        EXPECT_FALSE(IsEnabled(frame, ID_WIZNEXT));

        HWND list = GetDlgItem(step, IDC_CHILD_LIST);
        HWND header = ListView_GetHeader(list);
        ASSERT_EQ(3, Header_GetItemCount(header));
        const char* headings[] = {"Caption", "Resource ID", "Script Name"};
        for (int i = 0; i < 3; ++i) {
            char text[64] = "";
            HDITEMA item = {};
            item.mask = HDI_TEXT;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            Header_GetItem(header, i, &item);
            EXPECT_STREQ(headings[i], text);
            EXPECT_EQ(ListView_GetColumnWidth(list, 0), ListView_GetColumnWidth(list, i));
        }
        removeBeforeSelect = IsEnabled(step, IDC_REMOVE);

        for (const AddCase& c : cases) {
            SetText(step, IDC_CAPTION, c.caption);
            SetText(step, IDC_RESOURCE_ID, c.idName);
            SetText(step, IDC_SCRIPT_NAME, c.scriptName);
            Click(step, IDC_ADD);
            focus.push_back(FocusedControl());
            fieldsAfterAdd.push_back({{GetText(step, IDC_CAPTION), GetText(step, IDC_RESOURCE_ID),
                                       GetText(step, IDC_SCRIPT_NAME)}});
        }
        afterAdd = ListRows(step);

        SelectRow(step, 1);
        EXPECT_TRUE(IsEnabled(step, IDC_UP));
        EXPECT_TRUE(IsEnabled(step, IDC_DOWN));
        EXPECT_TRUE(IsEnabled(step, IDC_REMOVE));
        Click(step, IDC_UP);
        afterUp = ListRows(step);
        upAfterUp = IsEnabled(step, IDC_UP);
        downAfterUp = IsEnabled(step, IDC_DOWN);
        SelectRow(step, 2);
        downOnLast = IsEnabled(step, IDC_DOWN);
        Click(step, IDC_REMOVE);
        EXPECT_FALSE(IsEnabled(step, IDC_REMOVE));

        // The answers survive going back: step 101 and the list show them again.
        Click(frame, ID_WIZBACK);
        EXPECT_EQ("Step 2 of 3", GetText(frame, IDC_AWX_STEP_TEXT));
        EXPECT_EQ("My Dialog", GetText(Step(frame), IDC_CAPTION));
        Click(frame, ID_WIZNEXT);
        afterBackAndNext = ListRows(Step(frame));
        Click(frame, ID_WIZFINISH);
    });
    for (const AddCase& c : cases)
        if (c.message)
            driver.Then(RecordBox(boxes));
    driver.Then(Confirm(confirm));
    ASSERT_EQ(IDOK, Run(driver));

    EXPECT_EQ("Press Next to add the dialog's tabs", hint);
    EXPECT_FALSE(removeBeforeSelect);
    size_t box = 0;
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        const AddCase& c = cases[i];
        SCOPED_TRACE(std::string("caption \"") + c.caption + "\", id \"" + c.idName + "\", script \"" + c.scriptName + "\"");
        EXPECT_EQ(c.focus, focus[i]);
        if (c.message) {
            ASSERT_LT(box, boxes.size());
            EXPECT_EQ("Add Tab Error", boxes[box].caption);
            EXPECT_EQ(c.message, boxes[box].text);
            ++box;
        } else {
            EXPECT_EQ(Rows({{"", "", ""}}), fieldsAfterAdd[i]);
        }
    }
    EXPECT_EQ(box, boxes.size());

    EXPECT_EQ(Rows({{"First Tab", "IDD_FIRSTTAB", "FirstTab"},
                    {"Second Tab", "IDD_SECONDTAB", "SecondTab"},
                    {"first tab", "IDD_THIRDTAB", "ThirdTab"}}),
              afterAdd);
    EXPECT_EQ(Rows({{"Second Tab", "IDD_SECONDTAB", "SecondTab"},
                    {"First Tab", "IDD_FIRSTTAB", "FirstTab"},
                    {"first tab", "IDD_THIRDTAB", "ThirdTab"}}),
              afterUp);
    EXPECT_FALSE(upAfterUp);
    EXPECT_TRUE(downAfterUp);
    EXPECT_FALSE(downOnLast);
    EXPECT_EQ(Rows({{"Second Tab", "IDD_SECONDTAB", "SecondTab"}, {"First Tab", "IDD_FIRSTTAB", "FirstTab"}}),
              afterBackAndNext);

    EXPECT_EQ(std::string(kConfirmHead) + "A resource file containing a tabbed dialog\r\n", confirm);
    // The moved tab takes the first id: ids follow the list, not the defaults.
    const char* const expected[][2] = {
        {"DDK_TAB_COUNT", "2"},
        {"DDK_TAB_CAPTION_0", "Second Tab"}, {"DDK_TAB_IDNAME_0", "IDD_SECONDTAB"},
        {"DDK_TAB_IDVAL_0", "3000"}, {"DDK_TAB_SCRIPTNAME_0", "SecondTab"},
        {"DDK_TAB_CAPTION_1", "First Tab"}, {"DDK_TAB_IDNAME_1", "IDD_FIRSTTAB"},
        {"DDK_TAB_IDVAL_1", "3001"}, {"DDK_TAB_SCRIPTNAME_1", "FirstTab"},
        {"DDK_TAB_CAPTION_2", "<absent>"}, {"DDK_TAB_IDVAL_2", "<absent>"},
    };
    for (const auto& e : expected)
        EXPECT_EQ(e[1], Dict(e[0])) << e[0];

    EXPECT_EQ(ResourceHeader("Demo", {"IDD_MYDIALOG 100", "IDC_TAB_PLACEHOLDER 1000", "IDD_SECONDTAB 3000",
                                      "IDD_FIRSTTAB 3001"}, 101),
              Read("Resource.h"));
    EXPECT_EQ(ScriptSkeleton("MyDialog", "My Dialog", false), Read("MyDialog.qgs"));
    std::string rc = Read("Demo.rc");
    const char* lines[] = {
        "IDD_MYDIALOG DIALOG DISCARDABLE  0, 0, 234, 159\r\n",
        "IDD_SECONDTAB DIALOG DISCARDABLE  0, 0, 220, 130\r\n",
        "CAPTION \"Second Tab\"\r\n",
        "    IDD_MYDIALOG \"MyDialog\"\r\n",
        "    IDC_TAB_PLACEHOLDER \"MyDialog.Tab -I\"\r\n",
        "    IDD_SECONDTAB \"MyDialog.Tab.SecondTab\"\r\n    IDD_FIRSTTAB \"MyDialog.Tab.FirstTab\"\r\n",
    };
    for (const char* line : lines)
        EXPECT_NE(std::string::npos, rc.find(line)) << line;
}

TEST_F(DialogWizardTest, WizardWithThreePagesGetsPageIdsAndTheWizardSections)
{
    std::string confirm, hint, prompt;
    DialogDriver driver;
    driver
        .Then([&](HWND frame) {
            Click(Step(frame), IDC_KIND_WIZARD);
            EXPECT_EQ("Step 1 of 3", GetText(frame, IDC_AWX_STEP_TEXT));
            Click(frame, ID_WIZNEXT);
            hint = GetText(Step(frame), IDC_NEXT_HINT);
            SetText(Step(frame), IDC_CAPTION, "Import Wizard");
            SetText(Step(frame), IDC_SCRIPT_NAME, "ImportWiz");
            Click(frame, ID_WIZNEXT);
            HWND step = Step(frame);
            EXPECT_EQ(Rows({{"First Page", "IDD_FIRSTPAGE", "FirstPage"}, {"Second Page", "IDD_SECONDPAGE", "SecondPage"}}),
                      ListRows(step));
            SetText(step, IDC_CAPTION, "Third Page");
            SetText(step, IDC_RESOURCE_ID, "IDD_THIRDPAGE");
            SetText(step, IDC_SCRIPT_NAME, "ThirdPage");
            Click(step, IDC_ADD);
            Click(frame, ID_WIZFINISH);
        })
        .Then(Confirm(confirm));
    ASSERT_EQ(IDOK, Run(driver));

    EXPECT_EQ("Press Next to add the wizard's steps", hint);
    EXPECT_EQ(std::string(kConfirmHead) + "A resource file containing a wizard\r\n", confirm);
    EXPECT_EQ("3", Dict("DDK_PAGE_COUNT"));
    EXPECT_EQ("3002", Dict("DDK_PAGE_IDVAL_2"));
    EXPECT_EQ(ResourceHeader("Demo", {"IDD_MYDIALOG 100", "IDC_PAGE_PLACEHOLDER 2000", "IDD_FIRSTPAGE 3000",
                                      "IDD_SECONDPAGE 3001", "IDD_THIRDPAGE 3002"}, 101),
              Read("Resource.h"));
    EXPECT_EQ(ScriptSkeleton("ImportWiz", "Import Wizard", true), Read("ImportWiz.qgs"));
    std::string rc = Read("Demo.rc");
    EXPECT_NE(std::string::npos,
              rc.find("    IDD_MYDIALOG \"ImportWiz -TW\"\r\n    IDC_PAGE_PLACEHOLDER \"ImportWiz.Page\"\r\n"
                      "    IDD_FIRSTPAGE \"ImportWiz.Page.FirstPage\"\r\n"
                      "    IDD_SECONDPAGE \"ImportWiz.Page.SecondPage\"\r\n"
                      "    IDD_THIRDPAGE \"ImportWiz.Page.ThirdPage\"\r\n"))
        << rc;
    ExpectSectionsRun(Path("ImportWiz.qgs"), true);
}

TEST_F(DialogWizardTest, EmptyProjectFinishedAtTheFirstStep)
{
    std::string confirm;
    DialogDriver driver;
    driver.Then([&](HWND frame) { Click(frame, ID_WIZFINISH); }).Then(Confirm(confirm));
    ASSERT_EQ(IDOK, Run(driver));

    EXPECT_EQ(kConfirmHead, confirm);
    EXPECT_EQ("1", Dict("DDK_PROJECT_EMPTY"));
    EXPECT_EQ(ResourceHeader("Demo", {}, 100), Read("Resource.h"));
    EXPECT_EQ(ScriptSkeleton("MyDialog", "My Dialog", false), Read("MyDialog.qgs"));
    std::string rc = Read("Demo.rc");
    EXPECT_EQ(std::string::npos, rc.find("DIALOG")) << rc;
    EXPECT_EQ(std::string::npos, rc.find("STRINGTABLE")) << rc;
    EXPECT_NE(std::string::npos, rc.find("VS_VERSION_INFO VERSIONINFO")) << rc;
    ExpectSectionsRun(Path("MyDialog.qgs"), false);
}

TEST_F(DialogWizardTest, RemovingEveryTabLeavesACountOfZero)
{
    std::string confirm;
    DialogDriver driver;
    driver
        .Then([&](HWND frame) {
            Click(Step(frame), IDC_KIND_TABBED);
            Click(frame, ID_WIZNEXT);
            Click(frame, ID_WIZNEXT);
            for (int i = 0; i < 2; ++i) {
                SelectRow(Step(frame), 0);
                Click(Step(frame), IDC_REMOVE);
            }
            EXPECT_TRUE(ListRows(Step(frame)).empty());
            Click(frame, ID_WIZFINISH);
        })
        .Then(Confirm(confirm));
    ASSERT_EQ(IDOK, Run(driver));

    EXPECT_EQ("0", Dict("DDK_TAB_COUNT"));
    EXPECT_EQ("<absent>", Dict("DDK_TAB_IDNAME_0"));
    EXPECT_EQ("<absent>", Dict("DDK_TAB_IDNAME_1"));
    EXPECT_EQ(ResourceHeader("Demo", {"IDD_MYDIALOG 100", "IDC_TAB_PLACEHOLDER 1000"}, 101), Read("Resource.h"));
}

TEST_F(DialogWizardTest, DialogInformationKeepsAnswersThatWouldBreakTheProject)
{
    struct InfoCase {
        const char* caption;
        const char* idName;
        const char* scriptName;
        const char* message;
        int focus;
    };
    const char* kBadCaption = "The Caption must not contain double quotes or backslashes.";
    const char* kBadId = "The Resource ID must begin with a letter or an underscore and hold only letters, digits and underscores.";
    const char* kBadScript = "The Script Name must begin with a letter and hold only letters, digits and underscores.";
    const InfoCase cases[] = {
        {"A \"quoted\" caption", "IDD_MAIN", "Main", kBadCaption, IDC_CAPTION},
        {"C:\\temp", "IDD_MAIN", "Main", kBadCaption, IDC_CAPTION},
        {"Main", "", "Main", kBadId, IDC_RESOURCE_ID},
        {"Main", "IDD MAIN", "Main", kBadId, IDC_RESOURCE_ID},
        {"Main", "IDOK", "Main", "The specified Resource ID is a name the generated resources use already.", IDC_RESOURCE_ID},
        {"Main", "IDD_FIRSTTAB", "Main", "The specified Resource ID is already used.", IDC_RESOURCE_ID},
        {"Main", "IDD_MAIN", "My Dialog", kBadScript, IDC_SCRIPT_NAME},
        {"Main", "IDD_MAIN", "..\\..\\Main", kBadScript, IDC_SCRIPT_NAME},
        {"Main", "IDD_MAIN", "", kBadScript, IDC_SCRIPT_NAME},
    };
    std::vector<Box> boxes;
    std::vector<int> focus;
    std::vector<std::string> stepTexts;
    std::string finalStep;
    DialogDriver driver;
    driver.Then([&](HWND frame) {
        Click(Step(frame), IDC_KIND_TABBED);
        Click(frame, ID_WIZNEXT);
        for (const InfoCase& c : cases) {
            SetText(Step(frame), IDC_CAPTION, c.caption);
            SetText(Step(frame), IDC_RESOURCE_ID, c.idName);
            SetText(Step(frame), IDC_SCRIPT_NAME, c.scriptName);
            Click(frame, ID_WIZNEXT);
            focus.push_back(FocusedControl());
            stepTexts.push_back(GetText(frame, IDC_AWX_STEP_TEXT));
        }
        SetText(Step(frame), IDC_CAPTION, "Main");
        SetText(Step(frame), IDC_RESOURCE_ID, "IDD_MAIN");
        SetText(Step(frame), IDC_SCRIPT_NAME, "Main");
        Click(frame, ID_WIZNEXT);
        finalStep = GetText(frame, IDC_AWX_STEP_TEXT);
        Click(frame, IDCANCEL);
    });
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i)
        driver.Then(RecordBox(boxes));
    EXPECT_EQ(IDCANCEL, Run(driver));

    ASSERT_EQ(sizeof cases / sizeof cases[0], boxes.size());
    for (size_t i = 0; i < boxes.size(); ++i) {
        SCOPED_TRACE(std::string("caption \"") + cases[i].caption + "\", id \"" + cases[i].idName + "\", script \""
                     + cases[i].scriptName + "\"");
        EXPECT_EQ("Dialog Information", boxes[i].caption);
        EXPECT_EQ(cases[i].message, boxes[i].text);
        EXPECT_EQ(cases[i].focus, focus[i]);
        EXPECT_EQ("Step 2 of 3", stepTexts[i]);
    }
    EXPECT_EQ("Step 3 of 3", finalStep);
    EXPECT_EQ("Main", Dict("DDK_DLG_SCRIPTNAME"));
    // Cancelled: nothing was written, not even the folder.
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(folder.c_str()));
}

TEST_F(DialogWizardTest, ExistingFilesAreKeptAndNothingIsWritten)
{
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    {
        std::ofstream mine(Path("Resource.h"), std::ios::binary);
        mine << "mine";
    }
    std::vector<Box> boxes;
    std::string confirm;
    DialogDriver driver;
    driver
        .Then([&](HWND frame) {
            Click(Step(frame), IDC_KIND_SIMPLE);
            Click(frame, ID_WIZFINISH);
            // The wizard stays open after the refusal.
            EXPECT_TRUE(IsWindow(frame));
            Click(frame, IDCANCEL);
        })
        .Then(Confirm(confirm))
        .Then(RecordBox(boxes));
    EXPECT_EQ(IDCANCEL, Run(driver));

    ASSERT_EQ(1u, boxes.size());
    EXPECT_NE(std::string::npos, boxes[0].text.find("Resource.h already exists")) << boxes[0].text;
    EXPECT_EQ("mine", Read("Resource.h"));
    EXPECT_FALSE(Exists("Demo.rc"));
    EXPECT_FALSE(Exists("MyDialog.qgs"));

    // A target name from the dictionary never leaves the project folder.
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string outside = std::string(temp) + "QxWizardEscape.qgs";
    DeleteFileA(outside.c_str());
    Host().GetWizard()->m_Dictionary["DDK_DLG_SCRIPTNAME"] = "..\\QxWizardEscape";
    DeleteFileA(Path("Resource.h").c_str());
    CString error;
    EXPECT_FALSE(Host().GenerateProject("Demo", folder.c_str(), error));
    EXPECT_NE(std::string::npos, std::string((LPCTSTR)error).find("is not a valid file name")) << (LPCTSTR)error;
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(outside.c_str()));
    EXPECT_FALSE(Exists("Demo.rc"));
    EXPECT_FALSE(Exists("Resource.h"));
}

TEST_F(DialogWizardTest, NoEntryGoesToEveryConfigurationThatTakesIt)
{
    CBuildProject project;
    project.Reset("Demo", folder.c_str());
    CStringArray linked, resourcesOnly;
    linked.Add("rc.exe");
    linked.Add("link.exe");
    resourcesOnly.Add("rc.exe");
    project.AddConfiguration("Release", linked);
    project.AddConfiguration("Resources", resourcesOnly);
    project.AddConfiguration("Debug", linked);
    Host().GetWizard()->CustomizeProject(&project);
    EXPECT_STREQ("/NOENTRY", (LPCTSTR)project.GetConfiguration(1)->GetToolSettings("link.exe"));
    EXPECT_STREQ("", (LPCTSTR)project.GetConfiguration(2)->GetToolSettings("rc.exe"));
    EXPECT_STREQ("/NOENTRY", (LPCTSTR)project.GetConfiguration(3)->GetToolSettings("link.exe"));
}

} // namespace
