// The function definition pages driven through the fitter window: a new function saved
// into an empty category and read back from its file, names counted, edits kept across
// the form and the file text, unusable definitions refused with nothing lost, and Cancel.
#include <gtest/gtest.h>

#include <stdio.h>

#include <string>

#include "DefinePage.h"
#include "FitTestKit.h"
#include "FitterResources.h"
#include "FitterWindow.h"
#include "SelectPage.h"
#include "WindowTestKit.h"
#include "qxtest/DialogDriver.h"

namespace {

class DefinePageTest : public FitTest {
protected:
    void SetUp() override
    {
        FitTest::SetUp();
        FitterInstance = GetModuleHandleA(nullptr);
        ASSERT_TRUE(RegisterFitterClass(FitterInstance));
        ini = host.settingsDir + "\\qfit.ini";
        folder = host.settingsDir + "\\fitfunc\\";
        CreateDirectoryA(folder.c_str(), nullptr);
        // A category that lists no function yet.
        WritePrivateProfileStringA("Category", "Mine", "fitfunc", ini.c_str());
        Get("NPARA");
        s = Session();
        ASSERT_TRUE(s != nullptr);
        Call("CATEGORY", "Mine");
        ASSERT_STREQ("Mine", s->category);
        ASSERT_EQ(0, s->nFunctions);
    }
    void TearDown() override
    {
        CloseFitterWindow(s);
        FitTest::TearDown();
    }
    // Posts a page command to the window and answers the boxes it brings with the steps.
    void Command(int command, qxtest::DialogDriver* driver = nullptr)
    {
        if (driver) {
            driver->Run([&] {
                PostMessageA(s->fitterWindow, WM_COMMAND, command, 0);
                Pump();
                return static_cast<INT_PTR>(0);
            });
        } else {
            PostMessageA(s->fitterWindow, WM_COMMAND, command, 0);
            Pump();
        }
    }
    HWND OpenNewPage()
    {
        OpenAtPage(window, s, PAGE_ID_SELECT);
        Command(PAGE_ID_NEW);
        return s->pageId == PAGE_ID_NEW ? s->pageWindow : nullptr;
    }
    std::string Profile(const char* section, const char* key)
    {
        char text[256] = "";
        GetPrivateProfileStringA(section, key, "", text, sizeof text, ini.c_str());
        return text;
    }
    void TouchFile(const std::string& path)
    {
        FILE* f = fopen(path.c_str(), "wb");
        ASSERT_TRUE(f != nullptr) << path;
        fputs("[GENERAL INFORMATION]\r\nFunction Name=other\r\n", f);
        fclose(f);
    }

    FittingSession* s = nullptr;
    std::string ini, folder;
};

// Answers the offer to save definitions with the button, keeping the first line it lists.
qxtest::DialogDriver::Step AnswerSaveOffer(std::string& listed, int button)
{
    return [&listed, button](HWND dialog) {
        char line[128] = "";
        SendDlgItemMessageA(dialog, IDC_SAVE_LIST, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(line));
        listed = line;
        qxtest::Click(dialog, button);
    };
}

// Ending the session offers the definitions never saved over the fitter's window: one the
// user saves survives in its file, one the user discards leaves none.
TEST_F(DefinePageTest, EndingTheSessionOffersToSaveNewDefinitions)
{
    for (const bool save : {true, false}) {
        SCOPED_TRACE(save ? "saved" : "discarded");
        Get("NPARA");
        s = Session();
        ASSERT_TRUE(s != nullptr);
        Call("CATEGORY", "Mine");
        FunctionDef* def = NewFunctionDefinition(s);
        ASSERT_TRUE(def != nullptr);
        const std::string name = def->name;
        SetFunctionField(def, 4098 /* FORMULA */, "P1*x");
        ASSERT_EQ(0, AppendFunction(s, def));
        ASSERT_TRUE(s->current->modified & FDF_NEVER_SAVED);
        OpenAtPage(window, s, PAGE_ID_SELECT);
        ASSERT_TRUE(IsWindowVisible(s->pageWindow));

        qxtest::DialogDriver driver;
        std::string listed;
        driver.Then(AnswerSaveOffer(listed, save ? IDC_SAVE_ALL : IDC_SAVE_DISCARD));
        driver.Run([&] { return static_cast<INT_PTR>(ScxFit(window, 2, 0, nullptr, TestHost::Callback)); });
        EXPECT_EQ(1, driver.StepsRun());
        EXPECT_EQ(name + "\tNewly defined function", listed);
        EXPECT_EQ(save, GetFileAttributesA((folder + name + ".fdf").c_str()) != INVALID_FILE_ATTRIBUTES);
    }
    // A session for the fixture to end.
    Get("NPARA");
    s = Session();
}

}  // namespace

TEST(DefineNames, CountNamesTable)
{
    struct Case {
        const char* text;
        int count;
        const char* after;
    } cases[] = {
        {"a;;b", 2, "a, b"},
        {"a,b,c", 3, "a,b,c"},
        {",a", 1, " a"},
        {"", 0, ""},
        {" ; ,", 0, "    "},
        {"alpha; beta", 2, "alpha, beta"},
    };
    for (const Case& c : cases) {
        char text[32];
        snprintf(text, sizeof text, "%s", c.text);
        EXPECT_EQ(c.count, CountNames(text)) << c.text;
        EXPECT_STREQ(c.after, text) << c.text;
    }
}

// A new function in a category folder that already holds user1 and user2 is user3; saved,
// its file is written, the empty category lists it, and the page moves to its edit page.
TEST_F(DefinePageTest, NewFunctionSavedAndReadBack)
{
    TouchFile(folder + "user1.fdf");
    TouchFile(folder + "user2.fdf");
    HWND page = OpenNewPage();
    ASSERT_TRUE(page != nullptr);
    EXPECT_EQ("NonLinear Curve Fitting:  Define New Function", qxtest::WindowText(s->fitterWindow));
    EXPECT_EQ("user3", qxtest::GetText(page, IDC_DEF_NAME));
    EXPECT_EQ("P1", qxtest::GetText(page, IDC_DEF_PARAM_NAMES)) << "default names for one parameter";
    EXPECT_FALSE(qxtest::IsEnabled(page, IDC_DEF_SOURCE) && IsWindowVisible(GetDlgItem(page, IDC_DEF_SOURCE)));

    qxtest::SetText(page, IDC_DEF_NAME, "Decay");
    qxtest::SetCheck(page, IDC_DEF_USER_NAMES, true);
    qxtest::SetText(page, IDC_DEF_PARAM_NAMES, "A;;k");
    EXPECT_EQ(1, qxtest::ComboSelection(page, IDC_DEF_PARAM_COUNT)) << "two names counted";
    qxtest::SetText(page, IDC_DEF_INDEP, "t");
    qxtest::SetText(page, IDC_DEF_DEP, "y");
    qxtest::SetText(page, IDC_DEF_FORMULA, "A*exp(-k*t)");
    qxtest::Click(page, IDC_DEF_SAVE);
    Pump();

    EXPECT_EQ(PAGE_ID_EDIT, s->pageId) << "a saved new function moves to its edit page";
    ASSERT_EQ(1, s->nFunctions);
    ASSERT_TRUE(s->current != nullptr);
    EXPECT_STREQ("Decay", s->current->name);
    EXPECT_EQ(0, s->current->modified) << "written";
    EXPECT_EQ("user3", Profile("Mine", "Decay")) << "the empty category lists it";

    FunctionDef read = {};
    ASSERT_EQ(0, ReadFunctionFile(s, &read, (folder + "user3").c_str()));
    EXPECT_STREQ("Decay", read.name);
    EXPECT_STREQ("A, k", read.paramNames);
    EXPECT_EQ(2, read.nParams);
    EXPECT_EQ(1, read.nIndependent);
    EXPECT_EQ(1, read.nDependent);
    EXPECT_STREQ("t=", read.independentNames);
    EXPECT_STREQ("A*exp(-k*t)", read.formula);
    EXPECT_EQ(KW_USER_DEFINED, read.functionType);
    EXPECT_EQ(KW_USER_DEFINED, read.namingMethod);
    ReleaseFunction(&read);

    // The category loads it again.
    Call("CATEGORY", "Other");
    Call("CATEGORY", "Mine");
    EXPECT_EQ(1, s->nFunctions);
}

// An edit that changes only the letter case is an edit: it is kept and saved.
TEST_F(DefinePageTest, CaseOnlyEditKept)
{
    HWND page = OpenNewPage();
    ASSERT_TRUE(page != nullptr);
    qxtest::SetText(page, IDC_DEF_FORMULA, "p1*x");
    qxtest::Click(page, IDC_DEF_SAVE);
    Pump();
    ASSERT_EQ(PAGE_ID_EDIT, s->pageId);
    page = s->pageWindow;
    EXPECT_EQ("p1*x", qxtest::GetText(page, IDC_DEF_FORMULA));
    qxtest::SetText(page, IDC_DEF_FORMULA, "P1*X");
    Command(PAGE_ID_SELECT);
    ASSERT_EQ(PAGE_ID_SELECT, s->pageId);
    ASSERT_TRUE(s->current != nullptr);
    EXPECT_STREQ("P1*X", s->current->formula);
    EXPECT_TRUE(s->current->modified & FDF_CHANGED);

    // Saved from the offer made when another category is chosen.
    qxtest::DialogDriver driver;
    std::string listed;
    driver.Then(AnswerSaveOffer(listed, IDC_SAVE_ALL));
    driver.Run([&] { return AskSaveFunctions(s->pageWindow, s); });
    EXPECT_EQ("user1\tModified function", listed);
    EXPECT_EQ(0, s->current->modified);
    FunctionDef read = {};
    ASSERT_EQ(0, ReadFunctionFile(s, &read, (folder + "user1").c_str()));
    EXPECT_STREQ("P1*X", read.formula);
    ReleaseFunction(&read);
}

// A definition whose variable is a system variable is refused with the message that lists
// them; Cancel keeps the user on the page with everything typed, Ok leaves it.
TEST_F(DefinePageTest, UnusableDefinitionRefused)
{
    HWND page = OpenNewPage();
    ASSERT_TRUE(page != nullptr);
    qxtest::SetText(page, IDC_DEF_DEP, "X1");
    qxtest::SetText(page, IDC_DEF_FORMULA, "P1*x");

    std::string message;
    qxtest::DialogDriver cancel;
    cancel.Then([&](HWND dialog) {
        message = qxtest::GetText(dialog, IDC_MESSAGE_TEXT);
        qxtest::Click(dialog, IDC_MESSAGE_BUTTON2);
    });
    Command(PAGE_ID_SELECT, &cancel);
    EXPECT_EQ(1, cancel.StepsRun());
    EXPECT_NE(std::string::npos, message.find("System variables")) << message;
    EXPECT_EQ(PAGE_ID_NEW, s->pageId);
    EXPECT_EQ(page, s->pageWindow) << "the page stays as the user left it";
    EXPECT_EQ("X1", qxtest::GetText(page, IDC_DEF_DEP));
    EXPECT_EQ("P1*x", qxtest::GetText(page, IDC_DEF_FORMULA));
    EXPECT_EQ(0, s->nFunctions);

    // A missing dependent variable is an incomplete definition.
    qxtest::SetText(page, IDC_DEF_DEP, "");
    EXPECT_EQ(0x20, CheckEditedFunction(s));

    qxtest::SetText(page, IDC_DEF_DEP, "X1");
    qxtest::DialogDriver ok;
    ok.Then([&](HWND dialog) { qxtest::Click(dialog, IDC_MESSAGE_BUTTON1); });
    Command(PAGE_ID_SELECT, &ok);
    EXPECT_EQ(PAGE_ID_SELECT, s->pageId);
    EXPECT_EQ(1, s->nFunctions) << "left on Ok, the definition joins the list unsaved";
    EXPECT_EQ(FDF_CHANGED | FDF_NEVER_SAVED, s->functions[0]->modified);
}

// Switching between the form and the file text keeps what was typed in either.
TEST_F(DefinePageTest, FormAndFileTextKeepEdits)
{
    HWND page = OpenNewPage();
    ASSERT_TRUE(page != nullptr);
    qxtest::SetText(page, IDC_DEF_NAME, "Ramp");
    qxtest::SetText(page, IDC_DEF_FORMULA, "P1*x");
    qxtest::Click(page, IDC_DEF_FILE);
    Pump();
    ASSERT_EQ(PAGE_ID_NEW, s->pageId);
    page = s->pageWindow;
    const std::string text = qxtest::GetText(page, IDC_DEF_TEXT);
    EXPECT_NE(std::string::npos, text.find("Function Name=Ramp")) << text;
    EXPECT_NE(std::string::npos, text.find("[FORMULA]\r\nP1*x")) << text;

    std::string edited = text;
    edited.replace(edited.find("Function Name=Ramp"), 18, "Function Name=Slope");
    qxtest::SetText(page, IDC_DEF_TEXT, edited);
    qxtest::Click(page, IDC_DEF_TEXT_FORM);
    Pump();
    page = s->pageWindow;
    EXPECT_EQ("Slope", qxtest::GetText(page, IDC_DEF_NAME));
    EXPECT_EQ("P1*x", qxtest::GetText(page, IDC_DEF_FORMULA));

    // Cancel on the new page drops the definition.
    qxtest::Click(page, IDC_DEF_CANCEL);
    Pump();
    EXPECT_EQ(PAGE_ID_SELECT, s->pageId);
    EXPECT_EQ(0, s->nFunctions);
}

// Cancel on the edit page undoes a change and stays; with nothing changed it returns.
TEST_F(DefinePageTest, CancelOnEditPage)
{
    HWND page = OpenNewPage();
    ASSERT_TRUE(page != nullptr);
    qxtest::SetText(page, IDC_DEF_NAME, "Line");
    qxtest::SetText(page, IDC_DEF_FORMULA, "P1*x");
    Command(PAGE_ID_SELECT);
    Command(PAGE_ID_EDIT);
    ASSERT_EQ(PAGE_ID_EDIT, s->pageId);
    page = s->pageWindow;
    EXPECT_EQ("NonLinear Curve Fitting:  Edit Function", qxtest::WindowText(s->fitterWindow));
    qxtest::SetText(page, IDC_DEF_NAME, "Changed");
    qxtest::Click(page, IDC_DEF_CANCEL);
    Pump();
    EXPECT_EQ(PAGE_ID_EDIT, s->pageId);
    EXPECT_EQ("Line", qxtest::GetText(s->pageWindow, IDC_DEF_NAME));
    qxtest::Click(s->pageWindow, IDC_DEF_CANCEL);
    Pump();
    EXPECT_EQ(PAGE_ID_SELECT, s->pageId);
    EXPECT_STREQ("Line", s->current->name);
}

// A new function whose file is there already asks for another name: Cancel writes nothing,
// a new name writes there.
TEST_F(DefinePageTest, SaveAsWhenTheFileExists)
{
    HWND page = OpenNewPage();
    ASSERT_TRUE(page != nullptr);
    TouchFile(folder + "user1.fdf");
    qxtest::DialogDriver cancel;
    std::string caption;
    cancel.Then([&](HWND dialog) {
        caption = qxtest::WindowText(dialog);
        qxtest::Click(dialog, IDC_SAVE_AS_CANCEL);
    });
    cancel.Run([&] {
        qxtest::Click(page, IDC_DEF_SAVE);
        return static_cast<INT_PTR>(0);
    });
    Pump();
    EXPECT_EQ("Warning:  File Already Exists", caption);
    EXPECT_EQ(PAGE_ID_NEW, s->pageId) << "not saved";

    qxtest::DialogDriver rename;
    rename.Then([&](HWND dialog) {
        qxtest::SetText(dialog, IDC_SAVE_AS_PATH, folder + "mine2");
        qxtest::Click(dialog, IDC_SAVE_AS_SAVE);
    });
    rename.Run([&] {
        qxtest::Click(page, IDC_DEF_SAVE);
        return static_cast<INT_PTR>(0);
    });
    Pump();
    EXPECT_EQ(GetFileAttributesA((folder + "mine2.fdf").c_str()) != INVALID_FILE_ATTRIBUTES, true);
    EXPECT_EQ(PAGE_ID_EDIT, s->pageId);
    EXPECT_EQ("mine2", Profile("Mine", "user1"));
}

// Menu "Add": a function file from another folder joins the category, written into the
// category's folder with its picture; the same file again, or no file, adds nothing.
TEST_F(DefinePageTest, AddFunctionFromAnotherFolder)
{
    const std::string elsewhere = host.settingsDir + "\\elsewhere\\";
    CreateDirectoryA(elsewhere.c_str(), nullptr);
    FILE* f = fopen((elsewhere + "Gauss.fdf").c_str(), "wb");
    ASSERT_TRUE(f != nullptr);
    fputs("[GENERAL INFORMATION]\r\nFunction Name=Gauss\r\nFunction Type=User-Defined\r\n"
          "Number Of Parameters=1\r\nNumber Of Independent Variables=1\r\nNumber Of Dependent Variables=1\r\n"
          "[FORMULA]\r\nP1*x\r\n",
          f);
    fclose(f);
    TouchFile(elsewhere + "Gauss.wmf");
    OpenAtPage(window, s, PAGE_ID_SELECT);
    HWND page = s->pageWindow;
    ASSERT_TRUE(page != nullptr);

    host.pickedFolder = elsewhere;
    host.pickedFile = "Gauss.fdf";
    Command(CMD_ADD_FUNCTION);
    ASSERT_EQ(1, s->nFunctions);
    ASSERT_TRUE(s->current != nullptr);
    EXPECT_STREQ("Gauss", s->current->name);
    EXPECT_EQ(0, qxtest::ListSelection(page, IDC_FUNCTION_LIST));
    EXPECT_EQ("Gauss", Profile("Mine", "Gauss"));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((folder + "Gauss.fdf").c_str()));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((folder + "Gauss.wmf").c_str())) << "the picture too";
    EXPECT_EQ(GetFileAttributesA((folder + "Gauss.cuv").c_str()), INVALID_FILE_ATTRIBUTES) << "it has no curve";

    for (const char* file : {"Gauss.fdf", ""}) {
        host.pickedFile = file;
        EXPECT_EQ(1, AddFunctionFromFile(page, s)) << file;
        EXPECT_EQ(1, s->nFunctions) << file;
    }
}
