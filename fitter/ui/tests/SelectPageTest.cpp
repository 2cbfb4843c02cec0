// The function selection page over a catalogue of two categories written into qfit.ini.
#include <gtest/gtest.h>

#include <stdio.h>

#include <string>

#include "FitTestKit.h"
#include "FitterResources.h"
#include "FitterWindow.h"
#include "WindowTestKit.h"
#include "qxtest/DialogDriver.h"

namespace {

void WriteFunction(const std::string& path, const char* name, const char* source)
{
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_TRUE(f != nullptr) << path;
    fprintf(f,
            "[GENERAL INFORMATION]\r\nFunction Name=%s\r\nBrief Description=the function %s\r\n"
            "Function Source=fittestfuncs.%s\r\nFunction Type=Built-in\r\nFunction Form=Expression\r\n"
            "Number Of Parameters=2\r\nNumber Of Independent Variables=1\r\nNumber Of Dependent Variables=1\r\n"
            "[FITTING PARAMETERS]\r\nNames=a,b\r\nInitial Values=1(V),2(V)\r\n",
            name, name, source);
    fclose(f);
}

class SelectPageTest : public FitTest {
protected:
    void SetUp() override
    {
        FitTest::SetUp();
        FitterInstance = GetModuleHandleA(nullptr);
        ASSERT_TRUE(RegisterFitterClass(FitterInstance));
        ini = host.settingsDir + "\\qfit.ini";
        const std::string folder = host.settingsDir + "\\fits";
        CreateDirectoryA(folder.c_str(), nullptr);
        for (const char* name : {"One", "Two", "Three"})
            WriteFunction(folder + "\\" + name + ".fdf", name, "Line");
        WriteFunction(folder + "\\Parabola.fdf", "Parabola", "Quad");
        WritePrivateProfileStringA("Category", "Lines", "fits", ini.c_str());
        WritePrivateProfileStringA("Category", "Curves", "fits", ini.c_str());
        for (const char* name : {"One", "Two", "Three"})
            WritePrivateProfileStringA("Lines", name, name, ini.c_str());
        WritePrivateProfileStringA("Lines", "Default Function", "Two", ini.c_str());
        WritePrivateProfileStringA("Curves", "Parabola", "Parabola", ini.c_str());
        Call("CATEGORY", "Lines");
        s = Session();
        ASSERT_TRUE(s != nullptr);
        ASSERT_EQ("Two", GetText("FUNC"));
    }
    void TearDown() override
    {
        CloseFitterWindow(s);
        FitTest::TearDown();
    }
    HWND Open(bool basic)
    {
        OpenAtPage(window, s, PAGE_ID_SELECT, basic);
        return s->pageWindow;
    }
    std::string ListText(HWND page, int id, int index)
    {
        char text[256] = "";
        SendDlgItemMessageA(page, id, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text));
        return text;
    }
    int Count(HWND page, int id) { return static_cast<int>(SendDlgItemMessageA(page, id, LB_GETCOUNT, 0, 0)); }
    std::string Profile(const char* section, const char* key)
    {
        char text[256] = "";
        GetPrivateProfileStringA(section, key, "", text, sizeof text, ini.c_str());
        return text;
    }

    FittingSession* s = nullptr;
    std::string ini;
};

}  // namespace

// The full page lists the categories and the functions of the current one; choosing a
// function makes it current and the category's default; choosing a category loads it.
TEST_F(SelectPageTest, CategoriesAndFunctions)
{
    HWND page = Open(false);
    ASSERT_TRUE(page != nullptr);
    EXPECT_EQ("NonLinear Curve Fitting:  Select Function", qxtest::WindowText(s->fitterWindow));
    ASSERT_EQ(2, Count(page, IDC_CATEGORY_LIST));
    EXPECT_EQ("Lines", ListText(page, IDC_CATEGORY_LIST, qxtest::ListSelection(page, IDC_CATEGORY_LIST)));
    ASSERT_EQ(3, Count(page, IDC_FUNCTION_LIST));
    EXPECT_EQ(1, qxtest::ListSelection(page, IDC_FUNCTION_LIST));
    EXPECT_EQ("the function Two", qxtest::GetText(page, IDC_DESCRIPTION));
    EXPECT_NE(std::string::npos, qxtest::GetText(page, IDC_FUNCTION_VIEW).find("Function Name=Two"));
    EXPECT_TRUE(qxtest::IsChecked(page, IDC_VIEW_FILE));
    EXPECT_FALSE(qxtest::IsEnabled(page, IDC_VIEW_EQUATION)) << "no picture to show";

    qxtest::ListSelect(page, IDC_FUNCTION_LIST, 2);
    EXPECT_EQ("Three", GetText("FUNC"));
    EXPECT_EQ("Three", Profile("Lines", "Default Function"));
    EXPECT_EQ("the function Three", qxtest::GetText(page, IDC_DESCRIPTION));

    EXPECT_EQ("Curves", ListText(page, IDC_CATEGORY_LIST, 1)) << "in file order";
    qxtest::ListSelect(page, IDC_CATEGORY_LIST, 1);
    EXPECT_STREQ("Curves", s->category);
    ASSERT_EQ(1, Count(page, IDC_FUNCTION_LIST));
    EXPECT_EQ("Parabola", ListText(page, IDC_FUNCTION_LIST, 0));
}

// Deleting asks first; the function leaves the list and its category; deleting the last
// entry selects the new last one.
TEST_F(SelectPageTest, DeleteAsksAndRemovesFromTheCategory)
{
    HWND page = Open(false);
    qxtest::ListSelect(page, IDC_FUNCTION_LIST, 2);
    for (int press : {IDNO, IDYES}) {
        std::string caption;
        qxtest::DialogDriver driver;
        driver.Then([&](HWND box) {
            caption = qxtest::WindowText(box);
            qxtest::Click(box, press);
        });
        driver.Run([&] {
            SendMessageA(s->fitterWindow, WM_COMMAND, CMD_DELETE_FUNCTION, 0);
            return static_cast<INT_PTR>(0);
        });
        EXPECT_EQ("Delete Function", caption);
        EXPECT_EQ(press == IDNO ? 3 : 2, Count(page, IDC_FUNCTION_LIST));
    }
    EXPECT_EQ("", Profile("Lines", "Three"));
    EXPECT_EQ("One", Profile("Lines", "One"));
    EXPECT_EQ(1, qxtest::ListSelection(page, IDC_FUNCTION_LIST));
    EXPECT_EQ("Two", GetText("FUNC"));
}

// While a fit is under way another function is taken only when the user ends that fit.
TEST_F(SelectPageTest, ChangingTheFunctionDuringAFitAsks)
{
    HWND page = Open(false);
    UseData(kLineX, kLineY);
    Call("BEGIN");
    ASSERT_TRUE(IsFitActive(s));
    const struct {
        int press;
        const char* function;
        bool fitting;
    } cases[] = {{IDC_MESSAGE_BUTTON3, "Two", true}, {IDC_MESSAGE_BUTTON2, "Two", true},
                 {IDC_MESSAGE_BUTTON1, "One", false}};
    for (const auto& c : cases) {
        std::string text;
        qxtest::DialogDriver driver;
        driver.Then([&](HWND dialog) {
            text = qxtest::GetText(dialog, IDC_MESSAGE_TEXT);
            qxtest::Click(dialog, c.press);
        });
        driver.Run([&] {
            qxtest::ListSelect(page, IDC_FUNCTION_LIST, 0);
            return static_cast<INT_PTR>(0);
        });
        EXPECT_EQ("Do you want to end the fitting session with function 'Two' and start fitting with function 'One'?",
                  text);
        EXPECT_EQ(c.function, GetText("FUNC")) << c.press;
        EXPECT_EQ(c.fitting, IsFitActive(s) != 0) << c.press;
        EXPECT_EQ(c.function, ListText(page, IDC_FUNCTION_LIST, qxtest::ListSelection(page, IDC_FUNCTION_LIST)));
    }
}

// Basic mode has no category list and never shows the file of a Built-in function; with
// no categories in qfit.ini the full page offers the basic category.
TEST_F(SelectPageTest, BasicModeAndAnEmptyCatalogue)
{
    HWND page = Open(true);
    ASSERT_TRUE(page != nullptr);
    EXPECT_EQ(nullptr, GetDlgItem(page, IDC_CATEGORY_LIST));
    EXPECT_FALSE(qxtest::IsEnabled(page, IDC_VIEW_FILE));
    EXPECT_EQ("", qxtest::GetText(page, IDC_FUNCTION_VIEW));
    EXPECT_TRUE(qxtest::IsEnabled(page, IDC_BASIC_FIT));
    CloseFitterWindow(s);

    WritePrivateProfileStringA("Category", nullptr, nullptr, ini.c_str());
    page = Open(false);
    ASSERT_EQ(1, Count(page, IDC_CATEGORY_LIST));
    EXPECT_EQ("Quorix Basic Functions", ListText(page, IDC_CATEGORY_LIST, 0));
}
