// The Options sheet run by system.dialog() as a user works it: the page it opens on, what
// each page's controls write when the sheet is confirmed, the enable rules, Reset and
// Cancel, and when the settings are saved as the startup options.
#include "OptionsTestKit.h"

#include <functional>

#include <qxtest/Pixels.h>

#include "OptionsResources.h"
#include "QKControls.h"
#include "QKSymbolManager.h"
#include "QKSysMethod.h"

using qxtest::DialogDriver;

namespace {

using OptionsSheetTest = OptionsTest;

std::string IniValue(const char* section, const char* key)
{
    char text[256] = "";
    GetPrivateProfileStringA(section, key, "<none>", text, sizeof text, qkfxGetINIFileFullPathName().c_str());
    return text;
}

TEST_F(OptionsSheetTest, OpensOnTheActivePageAndKeepsTheConfirmedOne)
{
    system->GetRefDlg().SetActivePageNumber(kGraph);
    std::string firstTab, caption;
    RECT ok = {}, reset = {}, restore = {};
    DialogDriver driver;
    driver.Then([&](HWND sheet) {
        firstTab = TabText(sheet);
        caption = qxtest::WindowText(sheet);
        GetWindowRect(GetDlgItem(sheet, IDOK), &ok);
        GetWindowRect(GetDlgItem(sheet, IDC_QU_RESET), &reset);
        GetWindowRect(GetDlgItem(sheet, IDC_QU_RESTORE), &restore);
        Go(sheet, kMisc);
        qxtest::Click(sheet, IDOK);
    });
    RunSheet(driver);
    EXPECT_EQ("Graph", firstTab);
    EXPECT_EQ("Options", caption);
    EXPECT_EQ(kMisc, (int)Number("system.dialog.activepagenum"));
    // The two buttons stand left of OK, in its row, each ten units short of the next.
    EXPECT_EQ(ok.left - 10, reset.right);
    EXPECT_EQ(reset.left - 10, restore.right);
    EXPECT_EQ(ok.right - ok.left + 20, reset.right - reset.left);
    EXPECT_EQ(ok.top, restore.top);
    // Nothing was touched: no question about the startup options, nothing saved.
    EXPECT_EQ(1u, driver.Dialogs().size());
    EXPECT_EQ("<none>", IniValue("System", "EXCEL.PLOTMULTI"));
}

// One user action on one control of one page.
struct Action {
    int page;
    int id;
    enum { TEXT, SELECT, CHECK, UNCHECK, CLICK } kind;
    const char* text;
    int index;
};

TEST_F(OptionsSheetTest, EveryPageWritesItsControlsWhenConfirmed)
{
    ASSERT_TRUE(Run("system.excel.legendtxtsel = 1")) << err;
    const Action actions[] = {
        {kNumFormat, IDC_QU_NUM_UPPER, Action::TEXT, "9", 0},
        {kNumFormat, IDC_QU_NUM_LOWER, Action::TEXT, "-5", 0},
        {kNumFormat, IDC_QU_NUM_DIGITS, Action::TEXT, "4", 0},
        {kNumFormat, IDC_QU_NUM_SEPARATORS, Action::SELECT, nullptr, 2},
        {kNumFormat, IDC_QU_NUM_GRADIAN, Action::CLICK, nullptr, 0},
        {kAxis, IDC_QU_AX_NUMERIC_TICKS, Action::TEXT, "18", 0},
        {kAxis, IDC_QU_AX_TEXT_TICKS, Action::TEXT, "40", 0},
        {kAxis, IDC_QU_AX_GAP_INSIDE, Action::TEXT, "90", 0},
        {kAxis, IDC_QU_AX_GAP_OUTSIDE, Action::TEXT, "110", 0},
        {kAxis, IDC_QU_AX_GAP_TITLE, Action::TEXT, "125", 0},
        {kAxis, IDC_QU_AX_MINOR_LENGTH, Action::TEXT, "25", 0},
        {kAxis, IDC_QU_AX_WIDTH, Action::TEXT, "0.5", 0},
        {kAxis, IDC_QU_AX_LOG_10E, Action::CHECK, nullptr, 0},
        {kGraph, IDC_QU_GR_LINE_GAP, Action::TEXT, "30", 0},
        {kGraph, IDC_QU_GR_BORDER_WIDTH, Action::TEXT, "20", 0},
        {kGraph, IDC_QU_GR_FILL_COLOR, Action::SELECT, nullptr, 3},
        {kGraph, IDC_QU_GR_DRAG_DROP, Action::SELECT, nullptr, 1},
        {kGraph, IDC_QU_GR_BAR_ZERO, Action::CHECK, nullptr, 0},
        {kGraph, IDC_QU_GR_LOG_FLOOR, Action::CHECK, nullptr, 0},
        {kGraph, IDC_QU_GR_PERC_INTERP, Action::UNCHECK, nullptr, 0},
        {kGraph, IDC_QU_GR_INPLACE, Action::CHECK, nullptr, 0},
        {kGraph, IDC_QU_GR_ALPHA_CHAR, Action::CHECK, nullptr, 0},
        {kFonts, IDC_QU_FONT_SIZE, Action::TEXT, "30", 0},
        {kFonts, IDC_QU_FONT_COLOR, Action::SELECT, nullptr, 2},
        {kFonts, IDC_QU_FONT_BASELINE, Action::UNCHECK, nullptr, 0},
        {kFonts, IDC_QU_FONT_LINE_SPACE, Action::TEXT, "40", 0},
        {kFonts, IDC_QU_FONT_SUB_SIZE, Action::TEXT, "80", 0},
        {kFonts, IDC_QU_FONT_SUB_OFFSET, Action::TEXT, "25", 0},
        {kFonts, IDC_QU_FONT_SUP_OFFSET, Action::TEXT, "50", 0},
        {kPage, IDC_QU_PG_RATIO, Action::TEXT, "50", 0},
        {kPage, IDC_QU_PG_MARGIN, Action::SELECT, nullptr, 2},
        {kPage, IDC_QU_PG_AXIS_GRID, Action::TEXT, "30", 0},
        {kPage, IDC_QU_PG_OBJ_GRID, Action::TEXT, "40", 0},
        {kPage, IDC_QU_PG_ADVANCED, Action::CLICK, nullptr, 0},
        {kPage, IDC_QU_PG_KEEP_SIZE, Action::CLICK, nullptr, 0},
        {kMisc, IDC_QU_MISC_X_SCALE, Action::TEXT, "990", 0},
        {kMisc, IDC_QU_MISC_Y_SCALE, Action::TEXT, "1010", 0},
        {kMisc, IDC_QU_MISC_NO_REDRAW, Action::TEXT, "70", 0},
        {kMisc, IDC_QU_MISC_BISECTION, Action::TEXT, "1000", 0},
        {kMisc, IDC_QU_MISC_DATE2, Action::TEXT, "yyyy-MM-dd", 0},
        {kMisc, IDC_QU_MISC_DEL_EMPTY, Action::SELECT, nullptr, 1},
        {kMisc, IDC_QU_MISC_NUMERIC, Action::UNCHECK, nullptr, 0},
        {kMisc, IDC_QU_MISC_SPACER, Action::UNCHECK, nullptr, 0},
        {kMisc, IDC_QU_MISC_TEMPLATE, Action::TEXT, "Survey", 0},
        {kMisc, IDC_QU_MISC_PLOT_XY, Action::TEXT, "Scatter", 0},
        {kMisc, IDC_QU_MISC_BITMAPS, Action::UNCHECK, nullptr, 0},
        {kExcel, IDC_QU_XL_DEFAULT_PLOT, Action::CHECK, nullptr, 0},
        {kExcel, IDC_QU_XL_SCAN_LEGEND, Action::CHECK, nullptr, 0},
        {kExcel, IDC_QU_XL_PLOT_INTO, Action::SELECT, nullptr, 2},
        {kExcel, IDC_QU_XL_OPEN_PROMPT, Action::UNCHECK, nullptr, 0},
        {kExcel, IDC_QU_XL_SAVING, Action::SELECT, nullptr, 1},
        {kWindows, IDC_QU_WIN_WKS, Action::SELECT, nullptr, 2},
        {kWindows, IDC_QU_WIN_EXCEL, Action::SELECT, nullptr, 0},
        {kWindows, IDC_QU_WIN_GRAPH, Action::SELECT, nullptr, 2},
        {kWindows, IDC_QU_WIN_LAYOUT, Action::SELECT, nullptr, 0},
        {kWindows, IDC_QU_WIN_MATRIX, Action::SELECT, nullptr, 2},
        {kWindows, IDC_QU_WIN_NOTES, Action::SELECT, nullptr, 0},
        {kWindows, IDC_QU_WIN_SCRIPT_PROMPT, Action::UNCHECK, nullptr, 0},
        {kWindows, IDC_QU_WIN_NEW_PROJECT, Action::SELECT, nullptr, 5},
        {kWindows, IDC_QU_WIN_BACKUP, Action::CHECK, nullptr, 0},
        {kWindows, IDC_QU_WIN_ICONIZED, Action::SELECT, nullptr, 2},
        {kWindows, IDC_QU_WIN_OPTIONS_PROMPT, Action::UNCHECK, nullptr, 0},
        {kWindows, IDC_QU_WIN_SAVE_ON_CLOSE, Action::CHECK, nullptr, 0},
    };
    DialogDriver driver;
    driver.Then([&](HWND sheet) {
        for (const Action& a : actions) {
            HWND page = Go(sheet, a.page);
            switch (a.kind) {
            case Action::TEXT:
                qxtest::SetText(page, a.id, a.text);
                break;
            case Action::SELECT:
                qxtest::ComboSelect(page, a.id, a.index);
                break;
            case Action::CHECK:
            case Action::UNCHECK:
                qxtest::SetCheck(page, a.id, a.kind == Action::CHECK);
                break;
            case Action::CLICK:
                qxtest::Click(page, a.id);
                break;
            }
        }
        qxtest::Click(sheet, IDOK);
    });
    RunSheet(driver);

    CQUQrxSystem& s = *system;
    struct Check {
        const char* what;
        double expected, actual;
    } checks[] = {
        {"upper threshold", 9, (double)s.GetRefNumeric().GetUpperThreshold()},
        {"lower threshold", -5, (double)s.GetRefNumeric().GetLowerThreshold()},
        {"decimal digits", 4, (double)s.GetRefNumeric().GetNumDecDigits()},
        {"separators", 2, (double)s.GetRefNumeric().GetSeparators()},
        {"angular unit", 2, (double)s.GetRefMath().GetAngularUnits()},
        {"numeric ticks", 18, (double)s.GetRefTick().GetMaxNumeric()},
        {"text ticks", 40, (double)s.GetRefTick().GetMaxText()},
        {"gap inside", 90, (double)s.GetRefTick().GetGapLabelToInside()},
        {"gap outside", 110, (double)s.GetRefTick().GetGapLabelToOutside()},
        {"gap title", 125, (double)s.GetRefTick().GetGapLabelToAxisTitle()},
        {"minor length", 25, (double)s.GetRefTick().GetMinorLength()},
        {"axis width", 0.5, s.GetRefAxis().GetWidth()},
        {"log 10^0", 1, (double)s.GetRefTick().GetLogScale1As10E()},
        {"line gap", 30, (double)s.GetRefSymbol().GetLineGap()},
        {"border width", 20, (double)s.GetRefSymbol().GetBorderWidth()},
        {"fill colour", 3, (double)s.GetRefGraph().GetDefaultFillColor()},
        {"drag and drop plot", 33248, (double)qkuSetGetDefaultPlotType(-1)},
        {"bar zero", 1, (double)s.GetRefGraph().GetBarShowZero()},
        {"log floor", 1, (double)s.GetRefGraph().GetLog1IsFloor()},
        {"percentile", 0, (double)s.GetRefGraph().GetPercInterp()},
        {"in place", 1, Number("system.operations.inplace")},
        {"alpha characters", 1, (double)s.GetRefGraph().HasAlphaChar()},
        {"label size", 30, (double)s.GetRefFont().GetLabelSize()},
        {"label colour", 2, (double)s.GetRefFont().GetLabelColor()},
        {"baseline", 0, (double)s.GetRefPrint().GetFontUseBaseline()},
        {"line spacing", 40, (double)s.GetRefPrint().GetLineSpace()},
        {"sub size", 80, (double)s.GetRefPrint().GetSubSize()},
        {"sub offset", 25, (double)s.GetRefPrint().GetSubOffset()},
        {"sup offset", 50, (double)s.GetRefPrint().GetSupOffset()},
        {"ratio", 50, (double)s.GetRefCopyPage().GetRatio()},
        {"margin control", 2, (double)s.GetRefCopyPage().GetCloseness()},
        {"axis grid", 30, (double)s.GetRefPage().GetAxisGridSpacing()},
        {"object grid", 40, (double)s.GetRefPage().GetObjGridSpacing()},
        {"advanced", 1, (double)s.GetRefPage().GetCopyExportAdvanced()},
        {"keep size", 1, (double)s.GetRefPage().GetCopyExportAdvKeepSize()},
        {"x scale", 990, (double)s.GetRefPrint().GetXScaleFactor()},
        {"y scale", 1010, (double)s.GetRefPrint().GetYScaleFactor()},
        {"no redraw", 70, (double)s.GetRefDisplay().GetNoWinUpdate()},
        {"bisection", 1000, (double)s.GetRefGraph().GetBisectionSearchPts()},
        {"delete empty", 1, (double)s.GetRefWks().GetTranspDelEmptyCols()},
        {"numeric columns", 0, (double)s.GetRefWks().GetDefaultUseNumericData()},
        {"spacer", 0, Number("system.operations.usespacer")},
        {"bitmaps", 0, (double)s.GetRefDisplay().HasDisplayBitmaps()},
        {"default plot", 1, Number("system.excel.dlgplot")},
        {"legend scan", 0, Number("system.excel.legendtxtsel")},
        {"plot into", 2, Number("system.excel.plotmulti")},
        {"open prompt", 0, Number("system.excel.openasprompt")},
        {"saving", 1, Number("system.excel.saveasexcel")},
        {"worksheet close", 2, (double)s.GetRefWks().GetClosePrompt()},
        {"excel close", 0, (double)s.GetRefWks().GetExcelClosePrompt()},
        {"graph close", 2, (double)s.GetRefGraph().GetClosePrompt()},
        {"layout close", 0, (double)s.GetRefGraph().GetLayoutClosePrompt()},
        {"matrix close", 2, (double)s.GetRefWks().GetMatrixClosePrompt()},
        {"notes close", 0, (double)s.GetRefNotes().GetClosePrompt()},
        {"script close", 0, (double)s.GetRefScript().GetClosePrompt()},
        {"new project", 5, (double)s.GetRefProject().GetNewContent()},
        {"backup", 1, (double)s.GetRefProject().GetBackupBeforeSave()},
        {"iconized", 2, (double)s.GetRefProject().GetOpenIconizedAsHidden()},
        {"options prompt", 0, Number("system.dialog.closeprompt")},
        {"save on close", 1, Number("system.dialog.saveonclose")},
    };
    for (const Check& c : checks)
        EXPECT_EQ(c.expected, c.actual) << c.what;
    EXPECT_EQ("yyyy-MM-dd", s.GetRefDate().GetCustomFormat(1));
    EXPECT_EQ("Survey", s.GetRefWks().GetImportTemplate());
    EXPECT_EQ("Scatter", s.GetRefGraph().GetDefaultImportPlotXY());
}

TEST_F(OptionsSheetTest, ControlsFollowTheirEnableRules)
{
    struct States {
        bool clipTight, clipBorder, resolutionSimple, resolutionAdvanced, saveWithPrompt, saveWithoutPrompt;
    } s = {};
    DialogDriver driver;
    driver.Then([&](HWND sheet) {
        HWND page = Go(sheet, kPage);
        qxtest::ComboSelect(page, IDC_QU_PG_MARGIN, 1);
        s.clipTight = qxtest::IsEnabled(page, IDC_QU_PG_CLIP_BORDER);
        qxtest::ComboSelect(page, IDC_QU_PG_MARGIN, 0);
        s.clipBorder = qxtest::IsEnabled(page, IDC_QU_PG_CLIP_BORDER);
        qxtest::Click(page, IDC_QU_PG_SIMPLE);
        s.resolutionSimple = qxtest::IsEnabled(page, IDC_QU_PG_SET_RESOLUTION);
        qxtest::Click(page, IDC_QU_PG_ADVANCED);
        qxtest::Click(page, IDC_QU_PG_SET_RESOLUTION);
        s.resolutionAdvanced = qxtest::IsEnabled(page, IDC_QU_PG_RESOLUTION);
        page = Go(sheet, kWindows);
        qxtest::SetCheck(page, IDC_QU_WIN_OPTIONS_PROMPT, true);
        s.saveWithPrompt = qxtest::IsEnabled(page, IDC_QU_WIN_SAVE_ON_CLOSE);
        qxtest::SetCheck(page, IDC_QU_WIN_OPTIONS_PROMPT, false);
        s.saveWithoutPrompt = qxtest::IsEnabled(page, IDC_QU_WIN_SAVE_ON_CLOSE);
        qxtest::Click(sheet, IDCANCEL);
    });
    RunSheet(driver);
    EXPECT_FALSE(s.clipTight);
    EXPECT_TRUE(s.clipBorder);
    EXPECT_FALSE(s.resolutionSimple);
    EXPECT_TRUE(s.resolutionAdvanced);
    EXPECT_FALSE(s.saveWithPrompt);
    EXPECT_TRUE(s.saveWithoutPrompt);
}

TEST_F(OptionsSheetTest, DashListKeepsEachEditUntilTheSheetEnds)
{
    QKSysMethodDash& dash = system->GetRefDash();
    std::string backToSecond;
    DialogDriver driver;
    driver.Then([&](HWND sheet) {
        HWND page = Go(sheet, kGraph);
        qxtest::ComboSelect(page, IDC_QU_GR_DASH_LIST, 1);
        qxtest::SetText(page, IDC_QU_GR_DASH_TEXT, "1 2");
        qxtest::ComboSelect(page, IDC_QU_GR_DASH_LIST, 4);
        qxtest::SetText(page, IDC_QU_GR_DASH_TEXT, "5 5");
        qxtest::ComboSelect(page, IDC_QU_GR_DASH_LIST, 1);
        backToSecond = qxtest::GetText(page, IDC_QU_GR_DASH_TEXT);
        qxtest::Click(sheet, IDOK);
    });
    std::string third = dash.GetDefinition(3);
    RunSheet(driver);
    EXPECT_EQ("1 2", backToSecond);
    EXPECT_EQ("1 2", dash.GetDefinition(2));
    EXPECT_EQ("5 5", dash.GetDefinition(5));
    EXPECT_EQ(third, dash.GetDefinition(3));
}

TEST_F(OptionsSheetTest, ResetShowsTheDefaultsAndCancelBringsEverythingBack)
{
    system->GetRefNumeric().SetNumDecDigits(9);
    ASSERT_TRUE(Run("system.excel.plotmulti = 2; system.results.tabsize = 5")) << err;
    std::string shownAfterReset;
    int kernelAfterReset = -1;
    DialogDriver driver;
    driver.Then([&](HWND sheet) {
        qxtest::Click(sheet, IDC_QU_RESET);
        shownAfterReset = qxtest::GetText(Page(sheet), IDC_QU_NUM_DIGITS);
        kernelAfterReset = system->GetRefNumeric().GetNumDecDigits();
        qxtest::Click(sheet, IDCANCEL);
    });
    RunSheet(driver);
    int defaults = QKSysMethodNumeric().GetNumDecDigits();
    EXPECT_EQ(std::to_string(defaults), shownAfterReset);
    EXPECT_EQ(defaults, kernelAfterReset);
    EXPECT_EQ(9, system->GetRefNumeric().GetNumDecDigits());
    EXPECT_EQ(2, Number("system.excel.plotmulti"));
    EXPECT_EQ(5, Number("system.results.tabsize"));
}

TEST_F(OptionsSheetTest, ConfirmedChangesAreSavedAsStartupOptionsAsTheDialogMemberSays)
{
    struct Case {
        int closePrompt, saveOnClose;
        bool touched;
        int answer; // the question's answer, 0 when no question is expected
        bool saved;
    } cases[] = {
        {1, 0, true, IDNO, false},  {1, 0, true, IDYES, true}, {0, 1, true, 0, true},
        {0, 0, true, 0, false},     {1, 1, false, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.closePrompt << c.saveOnClose << c.touched << c.answer);
        // Through the profile functions, which cache the file, rather than deleting it.
        WritePrivateProfileStringA("System", "EXCEL.PLOTMULTI", "<none>", IniFile().c_str());
        ASSERT_TRUE(Run("system.excel.plotmulti = 0")) << err;
        system->GetRefDlg().SetClosePrompt(c.closePrompt);
        system->GetRefDlg().SetSaveOnClose(c.saveOnClose);
        std::string question;
        DialogDriver driver;
        driver.Then([&](HWND sheet) {
            HWND page = Go(sheet, kExcel);
            if (c.touched)
                Touch(page);
            qxtest::ComboSelect(page, IDC_QU_XL_PLOT_INTO, 1);
            qxtest::Click(sheet, IDOK);
        });
        if (c.answer)
            driver.Then([&](HWND box) {
                question = qxtest::MessageBoxText(box);
                qxtest::Click(box, c.answer);
            });
        RunSheet(driver);
        EXPECT_EQ(c.answer ? 2u : 1u, driver.Dialogs().size());
        if (c.answer)
            EXPECT_EQ("Save as Quorix's startup Options?", question);
        EXPECT_EQ(1, Number("system.excel.plotmulti"));
        EXPECT_EQ(c.saved ? "1" : "<none>", IniValue("System", "EXCEL.PLOTMULTI"));
    }
}

// The Graph page's well of user-defined symbols edits a copy: Cancel keeps nothing, OK
// gives the symbols to the symbol manager and the settings file.
TEST_F(OptionsSheetTest, GraphPageKeepsUserDefinedSymbolsOnlyWhenConfirmed)
{
    const std::string bitmap = iniFolder + "\\mark.bmp";
    qxtest::Image image;
    image.width = image.height = 8;
    image.pixels.assign(64, 0xFF00FF);
    ASSERT_TRUE(image.WriteBmp(bitmap));
    qkfxGetSymbolManager()->SetUDSFiles({});
    for (int button : {IDCANCEL, IDOK}) {
        bool found = false;
        DialogDriver driver;
        driver.Then([&](HWND sheet) {
            HWND page = Go(sheet, kGraph);
            auto* well = dynamic_cast<CQKUDSWell*>(CWnd::FromHandlePermanent(GetDlgItem(page, IDC_QU_GR_UDS)));
            found = well && well->AddSymbol(bitmap);
            qxtest::Click(sheet, button);
        });
        RunSheet(driver);
        EXPECT_TRUE(found) << button;
        EXPECT_EQ(button == IDOK ? 1 : 0, qkfxGetSymbolManager()->GetNumOfUDSs()) << button;
    }
    EXPECT_EQ("1", IniValue("UserDefinedSymbols", "Count"));
    EXPECT_EQ(bitmap, IniValue("UserDefinedSymbols", "Symbol1"));
    qkfxGetSymbolManager()->SetUDSFiles({});
    DeleteFileA(bitmap.c_str());
}

} // namespace
