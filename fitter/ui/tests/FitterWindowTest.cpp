// The fitter main window driven as a user and a script drive it: "control" words, menu
// commands and toolbar buttons posted as messages, the message dialog answered by a step.
#include <gtest/gtest.h>

#include <string>

#include "FitterResources.h"
#include "FitTestKit.h"
#include "FitterWindow.h"
#include "WindowTestKit.h"
#include "qxtest/DialogDriver.h"

namespace {

int WindowHeight(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    return r.bottom - r.top;
}

class FitterWindowTest : public FitTest {
protected:
    void SetUp() override
    {
        FitTest::SetUp();
        FitterInstance = GetModuleHandleA(nullptr);
        ASSERT_TRUE(RegisterFitterClass(FitterInstance));
        UseLine(1, 2);
        s = Session();
        ASSERT_TRUE(s != nullptr);
        ASSERT_EQ(s, WindowSession());
    }
    void TearDown() override
    {
        FinishFit(s, 0);  // closing asks about a fit still under way
        CloseFitterWindow(s);
        FitTest::TearDown();
    }

    // Opens the window in full mode with the toolbar at page.
    HWND OpenFull(int page)
    {
        s->enableToolbar = KW_YES;
        s->fullMenu = 1;
        return OpenAtPage(window, s, page);
    }
    void Command(int id)
    {
        PostMessageA(s->fitterWindow, WM_COMMAND, id, 0);
        Pump();
    }
    std::string Status() { return qxtest::GetText(s->fitterWindow, IDC_STATUS_LINE); }
    bool Visible(int id) { return IsWindowVisible(GetDlgItem(s->fitterWindow, id)) != FALSE; }

    FittingSession* s = nullptr;
};

}  // namespace

// A "control" word chooses the start page by its first four letters; "New" and "Fit" only
// as whole words; pages that need a fit fall back to the selection page without data.
TEST_F(FitterWindowTest, ControlWordsChooseTheStartPage)
{
    // Each case starts on the control page in basic mode; a new start page turns it off.
    const struct {
        const char* word;
        bool data;
        int page;
        bool basic;
    } cases[] = {
        {"", true, 907, false},        {"Fit", true, 907, false},      {"Fitting", true, 909, true},
        {"fit", false, 904, false},    {"", false, 904, false},        {"Select", true, 904, false},
        {"Edit", true, 905, false},    {"New", true, 906, false},      {"Newest", true, 909, true},
        {"Replicas", true, 915, false}, {"Results", true, 908, false}, {"Results", false, 904, true},
        {"Simulate", true, 913, false}, {"Control", true, 909, true},  {"Cons", true, 910, false},
        {"init", true, 912, false},    {"AfterFit", true, 914, false}, {"Whatever", true, 909, true},
    };
    for (const auto& c : cases) {
        UseData(kLineX, kLineY);
        if (!c.data)
            host.Dataset(s->dep[1].dataset).valid = false;
        s->pageId = PAGE_ID_CONTROL;
        s->basicFitter = KW_YES;
        EXPECT_EQ(0, Call("CONTROL", c.word)) << c.word;
        Pump();
        EXPECT_EQ(c.page, s->pageId) << "'" << c.word << "' with data " << c.data;
        EXPECT_TRUE(s->fitterWindow && IsWindow(s->fitterWindow)) << c.word;
        EXPECT_EQ(c.basic ? KW_YES : KW_NO, s->basicFitter) << c.word;
        EXPECT_EQ(c.page == PAGE_ID_SESSION || c.page == PAGE_ID_SIMULATE, IsFitActive(s) != 0)
            << "the session and simulate pages begin a fit";
        FinishFit(s, 0);
        Call("CONTROL", "Close");
        EXPECT_EQ(nullptr, s->fitterWindow);
    }

    // While the window is open the word only raises it.
    HWND w = OpenFull(PAGE_ID_CONTROL);
    Call("CONTROL", "Simulate");
    Pump();
    EXPECT_EQ(w, s->fitterWindow);
    EXPECT_EQ(PAGE_ID_CONTROL, s->pageId);
    EXPECT_EQ(IDD_PAGE_CONTROL, Get("ISDIALOGOPEN"));
}

// The full window: menu, twelve toolbar buttons, the status line telling that a page is not
// part of this build, the toolbar toggle, the short menu and the help line of a button.
TEST_F(FitterWindowTest, FullWindowToolbarAndMenus)
{
    HWND w = OpenFull(PAGE_ID_CONTROL);
    ASSERT_TRUE(w != nullptr);
    EXPECT_TRUE(IsWindowVisible(w));
    ASSERT_TRUE(GetMenu(w) != nullptr);
    char item[32] = "";
    GetMenuStringA(GetMenu(w), PAGE_ID_SELECT, item, sizeof item, MF_BYCOMMAND);
    EXPECT_STREQ("&Select", item);
    EXPECT_EQ("NonLinear Curve Fitting:  Control Parameters", qxtest::WindowText(w));
    for (int id = PAGE_ID_SELECT; id <= PAGE_ID_ADVANCED; ++id)
        EXPECT_TRUE(Visible(id)) << id;
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(w, PAGE_ID_ADVANCED))) << "Line takes replicas";

    // The groups run left to right in toolbar order.
    RECT select, replicas, datasets;
    GetWindowRect(GetDlgItem(w, PAGE_ID_SELECT), &select);
    GetWindowRect(GetDlgItem(w, PAGE_ID_ADVANCED), &replicas);
    GetWindowRect(GetDlgItem(w, PAGE_ID_DATASETS), &datasets);
    EXPECT_EQ(75, replicas.left - select.left);
    EXPECT_GT(datasets.left, replicas.right);

    // Moving over a button tells the host its help line.
    RECT fit;
    GetWindowRect(GetDlgItem(w, PAGE_ID_SESSION), &fit);
    POINT centre = {(fit.left + fit.right) / 2, (fit.top + fit.bottom) / 2};
    ScreenToClient(w, &centre);
    const int before = host.Count(HOST_REQ_1027);
    SendMessageA(w, WM_MOUSEMOVE, 0, MAKELPARAM(centre.x, centre.y));
    EXPECT_EQ(before + 1, host.Count(HOST_REQ_1027));
    EXPECT_STREQ("Enter fitting session and perform nonlinear curve fitting.", s->textBuffer);

    // The toolbar row goes and comes back; the window follows by its height.
    const int height = WindowHeight(w);
    Command(CMD_TOOLBAR);
    EXPECT_EQ(KW_NO, s->enableToolbar);
    EXPECT_EQ(height - 32, WindowHeight(w));
    EXPECT_FALSE(Visible(PAGE_ID_SELECT));
    Command(CMD_TOOLBAR);
    EXPECT_EQ(height, WindowHeight(w));
    EXPECT_TRUE(Visible(PAGE_ID_SELECT));

    // The short menu keeps only Select and Fit on the toolbar.
    Command(CMD_LESS);
    EXPECT_EQ(0, s->fullMenu);
    char first[32] = "";
    GetMenuStringA(GetMenu(w), 0, first, sizeof first, MF_BYPOSITION);
    EXPECT_STREQ("&Control", first);
    for (int id = PAGE_ID_SELECT; id <= PAGE_ID_ADVANCED; ++id)
        EXPECT_EQ(id == PAGE_ID_SELECT || id == PAGE_ID_SESSION, Visible(id)) << id;
    Command(CMD_MORE);
    EXPECT_EQ(1, s->fullMenu);
    EXPECT_TRUE(Visible(PAGE_ID_RESULTS));

    // About shows the fitter's name until it is closed.
    std::string about;
    qxtest::DialogDriver driver;
    driver.Then([&](HWND dialog) {
        about = qxtest::WindowText(dialog);
        qxtest::Click(dialog, IDC_ABOUT_CLOSE);
    });
    driver.Run([&] {
        SendMessageA(w, WM_COMMAND, CMD_ABOUT, 0);
        return static_cast<INT_PTR>(0);
    });
    EXPECT_FALSE(driver.TimedOut());
    EXPECT_EQ("About", about);

    // Exit closes the window; the page and the place stay for the next opening.
    Command(CMD_EXIT);
    EXPECT_FALSE(IsWindow(w));
    EXPECT_EQ(nullptr, s->fitterWindow);
    EXPECT_EQ(PAGE_ID_CONTROL, s->pageId);
    EXPECT_GT(s->savedRect[2], 0);
    EXPECT_EQ(0, Get("ISDIALOGOPEN"));
}

// Page changes: a page that may not be entered beeps and makes the current page again,
// re-selecting the current page does nothing, and the basic mode has its own templates.
TEST_F(FitterWindowTest, PageChangesAndBasicMode)
{
    HWND w = OpenFull(PAGE_ID_SIMULATE);
    HWND simulate = s->pageWindow;
    ASSERT_TRUE(simulate != nullptr);
    SetDlgItemTextA(w, IDC_STATUS_LINE, "unchanged");
    Command(PAGE_ID_SIMULATE);
    EXPECT_EQ("unchanged", Status()) << "the current page again does nothing";
    EXPECT_EQ(simulate, s->pageWindow);

    s->current->nDuplicates = -1;
    Command(PAGE_ID_ADVANCED);
    EXPECT_EQ("Simulate curves with the current selected function.", Status())
        << "refused: the current page is made again";
    EXPECT_EQ(PAGE_ID_SIMULATE, s->pageId);
    EXPECT_NE(simulate, s->pageWindow);

    // Basic mode from the simulate page goes to the selection page, without menu or toolbar.
    Command(IDC_BASIC_MODE);
    EXPECT_EQ(KW_YES, s->basicFitter);
    EXPECT_EQ(nullptr, GetMenu(w));
    EXPECT_FALSE(Visible(PAGE_ID_SELECT));
    EXPECT_EQ(IDD_PAGE_SELECT_BASIC, PageTemplateId(s, PAGE_ID_SELECT));
    EXPECT_EQ(IDD_PAGE_CONTROL, PageTemplateId(s, PAGE_ID_CONTROL)) << "no basic template of its own";
    EXPECT_EQ(HELP_PAGE_EDIT, PageTemplateId(s, PAGE_ID_EDIT));
    EXPECT_EQ(IDD_PAGE_DEFINE, PageTemplateId(s, PAGE_ID_NEW));
    EXPECT_EQ(0, PageTemplateId(s, 916));
    MINMAXINFO info = {};
    SendMessageA(w, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(s->maxTrack[0], info.ptMaxTrackSize.x);
    RECT r;
    GetWindowRect(w, &r);
    EXPECT_EQ(r.left, info.ptMaxPosition.x) << "maximizing never moves the window";
    EXPECT_LE(WindowHeight(w), s->maxTrack[1]);

    // The session page has a basic template of its own; from it the full mode rebuilds it.
    Command(PAGE_ID_SESSION);
    ASSERT_EQ(PAGE_ID_SESSION, s->pageId);
    EXPECT_TRUE(GetDlgItem(s->pageWindow, IDC_SESSION_REDUCED) != nullptr) << "the basic template";
    HWND basicPage = s->pageWindow;
    Command(CMD_BASIC_MODE);
    EXPECT_EQ(PAGE_ID_SESSION, s->pageId);
    EXPECT_NE(basicPage, s->pageWindow);
    EXPECT_TRUE(GetDlgItem(s->pageWindow, IDC_SESSION_LOG) != nullptr) << "the full template";
    EXPECT_EQ(KW_NO, s->basicFitter);
    EXPECT_TRUE(GetMenu(w) != nullptr);
    EXPECT_TRUE(Visible(PAGE_ID_SELECT));
    EXPECT_EQ(IDD_PAGE_SESSION, PageTemplateId(s, PAGE_ID_SESSION));
    s->basicFitter = KW_YES;
    EXPECT_EQ(IDD_PAGE_SESSION_BASIC, PageTemplateId(s, PAGE_ID_SESSION));
}

// Closing during a fit asks whether to end it; defining a new function during a fit asks
// whether to end the fit with the current function.
TEST_F(FitterWindowTest, FitUnderWayIsEndedOnlyWhenTheUserSaysSo)
{
    const struct {
        int press;  // message box button or message dialog button
        bool stillFitting;
    } closeCases[] = {{IDYES, false}, {IDNO, true}};
    for (const auto& c : closeCases) {
        OpenFull(PAGE_ID_CONTROL);
        Call("BEGIN");
        ASSERT_TRUE(IsFitActive(s));
        std::string text;
        qxtest::DialogDriver driver;
        driver.Then([&](HWND box) {
            text = qxtest::MessageBoxText(box);
            qxtest::Click(box, c.press);
        });
        driver.Run([&] {
            CloseFitterWindow(s);
            return static_cast<INT_PTR>(0);
        });
        EXPECT_EQ("Do you want to end the current fitting session?", text);
        EXPECT_EQ(c.stillFitting, IsFitActive(s) != 0) << c.press;
        EXPECT_EQ(nullptr, s->fitterWindow);
        Call("END");
    }

    const struct {
        int press;
        bool stillFitting;
    } newCases[] = {{IDC_MESSAGE_BUTTON1, false}, {IDC_MESSAGE_BUTTON2, true}};
    for (const auto& c : newCases) {
        // The new page of the case before left its function current.
        SetText("FUNC", "Line");
        HWND w = OpenFull(PAGE_ID_CONTROL);
        Call("BEGIN");
        std::string text;
        bool hostEnabled = true;
        qxtest::DialogDriver driver;
        driver.Then([&](HWND dialog) {
            text = qxtest::GetText(dialog, IDC_MESSAGE_TEXT);
            hostEnabled = IsWindowEnabled(w) != FALSE;
            qxtest::Click(dialog, c.press);
        });
        driver.Run([&] {
            SendMessageA(w, WM_COMMAND, PAGE_ID_NEW, 0);
            return static_cast<INT_PTR>(0);
        });
        EXPECT_EQ("Do you want to end the fitting session with function 'Line'?", text);
        EXPECT_FALSE(hostEnabled) << "the window is disabled while the dialog shows";
        EXPECT_TRUE(IsWindowEnabled(w));
        EXPECT_EQ(c.stillFitting, IsFitActive(s) != 0) << c.press;
        Call("END");
        CloseFitterWindow(s);
    }
}

// Formatting: every argument is passed, zeros included, and a long name is cut to the
// buffer instead of running past it.
TEST_F(FitterWindowTest, MessagesFormatAllArgumentsWithinTheirBuffers)
{
    HWND w = OpenFull(PAGE_ID_CONTROL);
    EXPECT_EQ(0, FitMessage(w, 30000, s, 0, 5, 0));
    EXPECT_EQ("0-5-0", Status());

    const std::string longName(600, 'n');
    FitMessage(w, 30001, s, reinterpret_cast<INT_PTR>(longName.c_str()));
    EXPECT_EQ(255u, Status().size());
    EXPECT_EQ('[', Status()[0]);

    std::string text;
    qxtest::DialogDriver driver;
    driver.Then([&](HWND dialog) {
        text = qxtest::GetText(dialog, IDC_MESSAGE_TEXT);
        qxtest::Click(dialog, IDC_MESSAGE_BUTTON3);
    });
    const INT_PTR answer = driver.Run([&] {
        return static_cast<INT_PTR>(FitMessageDialog(w, s, 3, 30001, longName.c_str()));
    });
    EXPECT_EQ(3, answer);
    EXPECT_EQ(511u, text.size());
}

// The session page with a function that cannot be fitted asks: Modify goes to the edit
// page, Another to the selection page, Cancel stays.
TEST_F(FitterWindowTest, IncompleteFunctionBeforeTheSessionPage)
{
    const struct {
        int press;
        int page;
    } cases[] = {{IDC_MESSAGE_BUTTON1, PAGE_ID_EDIT}, {IDC_MESSAGE_BUTTON2, PAGE_ID_SELECT},
                 {IDC_MESSAGE_BUTTON3, PAGE_ID_CONTROL}};
    for (const auto& c : cases) {
        OpenFull(PAGE_ID_CONTROL);
        const int16_t params = s->current->nParams;
        s->current->nParams = 0;
        std::string text, buttons;
        qxtest::DialogDriver driver;
        driver.Then([&](HWND dialog) {
            text = qxtest::GetText(dialog, IDC_MESSAGE_TEXT);
            buttons = qxtest::GetText(dialog, IDC_MESSAGE_BUTTON1) + "/" + qxtest::GetText(dialog, IDC_MESSAGE_BUTTON2) +
                      "/" + qxtest::GetText(dialog, IDC_MESSAGE_BUTTON3);
            qxtest::Click(dialog, c.press);
        });
        driver.Run([&] {
            Command(PAGE_ID_SESSION);
            return static_cast<INT_PTR>(0);
        });
        EXPECT_EQ("Function definition is incorrect. You must modify it or select another function.", text);
        EXPECT_EQ("Modify/Another/Cancel", buttons);
        EXPECT_EQ(c.page, s->pageId) << c.press;
        EXPECT_FALSE(IsFitActive(s));
        s->noCheck = 1;  // the edit page is left without its check
        CloseFitterWindow(s);
        s->current->nParams = params;
    }
}
