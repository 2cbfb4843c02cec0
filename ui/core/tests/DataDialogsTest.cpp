// The worksheet's data dialogs: Set Column Values fills a column from a formula, Nested
// Sort sorts by the keys the user lists; OK changes the worksheet, Cancel nothing.
#include "CoreTestApp.h"

#include <commctrl.h>

#include <qxtest/DialogDriver.h>

#include "DialogResources.h"
#include "QUAccess.h"
#include "QKScript.h"
#include "SetValuesDlg.h"
#include "SortDlg.h"
#include "ColumnFormatDlg.h"
#include "QUPages.h"
#include "QUSelection.h"

namespace {

class DataDialogs : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        wks = static_cast<CQKWksPage*>(qkfxGetProject().CreatePage(QK_PAGE_WKS));
        ASSERT_NE(wks, nullptr);
        for (int r = 0; r < 4; ++r) {
            wks->GetColumn(1)->SetValue(r, 2 - r % 2); // 2 1 2 1
            wks->GetColumn(2)->SetValue(r, 10.0 * (r + 1));
        }
    }
    std::string Column(int column)
    {
        std::string s;
        CQKDataset* c = wks->GetColumn(column);
        for (int r = 0; r < c->GetEnd(); ++r)
            s += (r ? " " : "") + c->GetText(r);
        return s;
    }
    static void SelectRow(HWND dialog, int list, int row)
    {
        HWND l = GetDlgItem(dialog, list);
        SetFocus(l);
        LVITEMA item = {};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        item.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(l, LVM_SETITEMSTATE, row, (LPARAM)&item);
    }
    static std::string ItemText(HWND dialog, int list, int row, int sub)
    {
        char text[64] = "";
        LVITEMA item = {};
        item.iSubItem = sub;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(GetDlgItem(dialog, list), LVM_GETITEMTEXTA, row, (LPARAM)&item);
        return text;
    }
    static int Count(HWND dialog, int list)
    {
        return (int)SendMessageA(GetDlgItem(dialog, list), LVM_GETITEMCOUNT, 0, 0);
    }
    CQKWksPage* wks = nullptr;
};

TEST_F(DataDialogs, SetColumnValuesFillsTheRowsFromTheFormula)
{
    struct Case {
        const char* what;
        int selC1, selR1, selR2; // rows from 0; -1: whole column
        const char* first; // typed, or null to keep what the dialog shows
        const char* last;
        const char* formula;
        int button;
        const char* shownFirst;
        const char* shownLast;
        const char* want;
    } cases[] = {
        {"whole column", 2, -1, 0, nullptr, nullptr, "col(A)*i", IDOK, "1", "4", "2 2 6 4"},
        {"selected rows", 2, 1, 2, nullptr, nullptr, "i+0.5", IDOK, "2", "3", "10 2.5 3.5 40"},
        {"rows typed", 2, -1, 0, "2", "6", "i*i", IDOK, "1", "4", "10 4 9 16 25 36"},
        {"cancel", 2, -1, 0, nullptr, nullptr, "0", IDCANCEL, "1", "4", "10 20 30 40"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (int r = 0; r < 4; ++r)
            wks->GetColumn(2)->SetValue(r, 10.0 * (r + 1));
        wks->GetColumn(2)->SetRange(0, 4);
        if (c.selR1 < 0)
            wks->SelectColumns(c.selC1, c.selC1);
        else
            wks->SelectCells(c.selC1, c.selR1, c.selC1, c.selR2);
        std::string label, shownFirst, shownLast;
        qxtest::DialogDriver driver;
        driver.Then([&](HWND d) {
            label = qxtest::GetText(d, IDC_QU_FORMULA_LABEL);
            shownFirst = qxtest::GetText(d, IDC_QU_FIRST_ROW);
            shownLast = qxtest::GetText(d, IDC_QU_LAST_ROW);
            if (c.first)
                qxtest::SetText(d, IDC_QU_FIRST_ROW, c.first);
            if (c.last)
                qxtest::SetText(d, IDC_QU_LAST_ROW, c.last);
            qxtest::SetText(d, IDC_QU_FORMULA, c.formula);
            qxtest::Click(d, c.button);
        });
        CQUColumnSetValuesDialog dialog(wks, c.selC1, m_app->m_pMainWnd);
        EXPECT_EQ(driver.Run([&] { return dialog.DoModal(); }), c.button);
        EXPECT_EQ(label, "Col(B)=");
        EXPECT_EQ(shownFirst, c.shownFirst);
        EXPECT_EQ(shownLast, c.shownLast);
        EXPECT_EQ(Column(2), c.want);
        if (c.button == IDOK)
            EXPECT_EQ(wks->GetColumn(2)->m_function, c.formula) << "the formula stays with the column";
    }
}

TEST_F(DataDialogs, ABadFormulaIsExplainedAndTheDialogStays)
{
    wks->SelectColumns(2, 2);
    std::string message, formulaAfter;
    HWND setValues = nullptr;
    qxtest::DialogDriver driver;
    driver
        .Then([&](HWND d) {
            setValues = d;
            qxtest::SetText(d, IDC_QU_FORMULA, "col(Q)+1");
            qxtest::Click(d, IDOK);
        })
        .Then([&](HWND box) {
            message = qxtest::MessageBoxText(box);
            qxtest::Click(box, IDOK);
            // The dialog is still open, with the formula to mend.
            formulaAfter = qxtest::GetText(setValues, IDC_QU_FORMULA);
            PostMessageA(setValues, WM_COMMAND, IDCANCEL, 0);
        });
    CQUColumnSetValuesDialog dialog(wks, 2, m_app->m_pMainWnd);
    EXPECT_EQ(driver.Run([&] { return dialog.DoModal(); }), IDCANCEL);
    EXPECT_NE(message.find("no column \"Q\""), std::string::npos) << message;
    EXPECT_EQ(formulaAfter, "col(Q)+1");
    EXPECT_EQ(Column(2), "10 20 30 40");
}

TEST_F(DataDialogs, FunctionsAreAddedAndTheEditUndoneAndRedone)
{
    std::string description, afterAdd, afterUndo, afterRedo, captionUndo, captionRedo, addedColumn, wrapped;
    bool undoAtStart = true;
    qxtest::DialogDriver driver;
    driver.Then([&](HWND d) {
        undoAtStart = qxtest::IsEnabled(d, IDC_QU_UNDO);
        qxtest::ComboSelect(d, IDC_QU_FUNCTIONS, 1); // cos
        description = qxtest::GetText(d, IDC_QU_FUNCTION_TEXT);
        qxtest::SetText(d, IDC_QU_FORMULA, "");
        qxtest::Click(d, IDC_QU_ADD_FUNCTION);
        // Typed inside the parentheses, where the caret was left.
        SendDlgItemMessageA(d, IDC_QU_FORMULA, EM_REPLACESEL, TRUE, (LPARAM) "i");
        afterAdd = qxtest::GetText(d, IDC_QU_FORMULA);
        qxtest::Click(d, IDC_QU_UNDO);
        afterUndo = qxtest::GetText(d, IDC_QU_FORMULA);
        captionRedo = qxtest::GetText(d, IDC_QU_UNDO);
        qxtest::Click(d, IDC_QU_UNDO);
        afterRedo = qxtest::GetText(d, IDC_QU_FORMULA);
        captionUndo = qxtest::GetText(d, IDC_QU_UNDO);
        SendDlgItemMessageA(d, IDC_QU_FORMULA, EM_SETSEL, 0, -1);
        SendDlgItemMessageA(d, IDC_QU_COLUMNS, CB_SETCURSEL, 1, 0);
        qxtest::Click(d, IDC_QU_ADD_COLUMN);
        addedColumn = qxtest::GetText(d, IDC_QU_FORMULA);
        // A selection becomes the argument of the function added.
        SendDlgItemMessageA(d, IDC_QU_FORMULA, EM_SETSEL, 0, -1);
        qxtest::ComboSelect(d, IDC_QU_FUNCTIONS, 0); // sin
        qxtest::Click(d, IDC_QU_ADD_FUNCTION);
        SendDlgItemMessageA(d, IDC_QU_FORMULA, EM_REPLACESEL, TRUE, (LPARAM) "+1");
        wrapped = qxtest::GetText(d, IDC_QU_FORMULA);
        qxtest::Click(d, IDCANCEL);
    });
    CQUColumnSetValuesDialog dialog(wks, 1, m_app->m_pMainWnd);
    EXPECT_EQ(driver.Run([&] { return dialog.DoModal(); }), IDCANCEL);
    EXPECT_FALSE(undoAtStart);
    EXPECT_EQ(description, qkfxGetFunctionDescription(1));
    EXPECT_EQ(afterAdd, "cos(i)");
    EXPECT_EQ(afterUndo, "cos()");
    EXPECT_EQ(captionRedo, "Redo");
    EXPECT_EQ(afterRedo, "cos(i)");
    EXPECT_EQ(captionUndo, "Undo");
    EXPECT_EQ(addedColumn, "col(B)");
    EXPECT_EQ(wrapped, "sin(col(B)+1)");
    EXPECT_EQ(Column(1), "2 1 2 1");
}

TEST_F(DataDialogs, NestedSortSortsByTheListedKeys)
{
    struct Case {
        const char* what;
        std::vector<std::pair<int, int>> adds; // column row, 0 ascending / 1 descending
        int removeRow; // -1 none
        int button;
        const char* wantA;
        const char* wantB;
    } cases[] = {
        {"A ascending, B descending", {{0, 0}, {1, 1}}, -1, IDOK, "1 1 2 2", "40 20 30 10"},
        {"B descending", {{1, 1}}, -1, IDOK, "1 2 1 2", "40 30 20 10"},
        {"added and removed: nothing", {{0, 1}}, 0, IDOK, "2 1 2 1", "10 20 30 40"},
        {"cancel", {{0, 0}}, -1, IDCANCEL, "2 1 2 1", "10 20 30 40"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (int r = 0; r < 4; ++r) {
            wks->GetColumn(1)->SetValue(r, 2 - r % 2);
            wks->GetColumn(2)->SetValue(r, 10.0 * (r + 1));
        }
        std::string firstName, criterion;
        int listed = 0;
        bool againEnabled = true;
        qxtest::DialogDriver driver;
        driver.Then([&](HWND d) {
            listed = Count(d, IDC_QU_SORT_COLUMNS);
            firstName = ItemText(d, IDC_QU_SORT_COLUMNS, 0, 0);
            for (auto& add : c.adds) {
                SelectRow(d, IDC_QU_SORT_COLUMNS, add.first);
                qxtest::Click(d, add.second ? IDC_QU_SORT_DESCENDING : IDC_QU_SORT_ASCENDING);
            }
            // A column already listed cannot be added again.
            SelectRow(d, IDC_QU_SORT_COLUMNS, c.adds[0].first);
            againEnabled = qxtest::IsEnabled(d, IDC_QU_SORT_ASCENDING) || qxtest::IsEnabled(d, IDC_QU_SORT_DESCENDING);
            criterion = ItemText(d, IDC_QU_SORT_ORDER, 0, 1);
            if (c.removeRow >= 0) {
                SelectRow(d, IDC_QU_SORT_ORDER, c.removeRow);
                qxtest::Click(d, IDC_QU_SORT_REMOVE);
            }
            qxtest::SetCheck(d, IDC_QU_SCOPE_WORKSHEET, true);
            qxtest::SetCheck(d, IDC_QU_SCOPE_SELECTED, false);
            qxtest::Click(d, c.button);
        });
        CQUSortDlg dialog(wks, m_app->m_pMainWnd);
        dialog.m_missingAs = 0;
        dialog.m_scope = 0;
        EXPECT_EQ(driver.Run([&] { return dialog.DoModal(); }), c.button);
        EXPECT_EQ(listed, 2);
        EXPECT_EQ(firstName, "A");
        EXPECT_FALSE(againEnabled);
        EXPECT_EQ(criterion, c.adds[0].second ? "Descending" : "Ascending");
        EXPECT_EQ(Column(1), c.wantA);
        EXPECT_EQ(Column(2), c.wantB);
        if (c.button == IDOK) {
            EXPECT_EQ(dialog.m_scope, 1);
            EXPECT_EQ(dialog.GetCriteria().GetSize(), (int)c.adds.size() - (c.removeRow >= 0 ? 1 : 0));
        }
    }
}

TEST_F(DataDialogs, TheColumnListShowsNameLabelAndType)
{
    wks->GetColumn(2)->m_label = "Time & date";
    wks->GetColumn(2)->m_format = QK_FORMAT_TEXT_NUMERIC;
    std::vector<std::string> texts;
    qxtest::DialogDriver driver;
    driver.Then([&](HWND d) {
        for (int r = 0; r < 2; ++r)
            for (int s = 0; s < 3; ++s)
                texts.push_back(ItemText(d, IDC_QU_SORT_COLUMNS, r, s));
        qxtest::Click(d, IDCANCEL);
    });
    CQUSortDlg dialog(wks, m_app->m_pMainWnd);
    dialog.m_missingAs = 0;
    dialog.m_scope = 0;
    driver.Run([&] { return dialog.DoModal(); });
    // The ampersand of a type shows as one, doubled against the mnemonic.
    EXPECT_EQ(texts, (std::vector<std::string>{"A", "", "Numeric", "B", "Time & date", "Text && Numeric"}));
}

} // namespace

namespace {

TEST_F(DataDialogs, LayerContentsSetsThePlotDesignations)
{
    struct Case {
        const char* what;
        int doubleClicks; // on column B, a Y column
        int button;
        int wantB;
        const char* shown;
    } cases[] = {
        {"one step", 1, IDOK, QK_COLTYPE_Z, "Z"},
        {"round the list", 5, IDOK, QK_COLTYPE_Y, "Y"},
        {"to error", 3, IDOK, QK_COLTYPE_YERR, "Error"},
        {"cancel", 1, IDCANCEL, QK_COLTYPE_Y, "Z"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        wks->GetColumn(1)->m_type = QK_COLTYPE_X;
        wks->GetColumn(2)->m_type = QK_COLTYPE_Y;
        std::vector<std::string> before;
        std::string shown;
        qxtest::DialogDriver driver;
        driver.Then([&](HWND d) {
            for (int s = 0; s < 4; ++s)
                before.push_back(ItemText(d, 1104, 1, s));
            SelectRow(d, 1104, 1);
            for (int i = 0; i < c.doubleClicks; ++i) {
                NMHDR hdr = {GetDlgItem(d, 1104), 1104, (UINT)NM_DBLCLK};
                SendMessageA(d, WM_NOTIFY, 1104, (LPARAM)&hdr);
            }
            shown = ItemText(d, 1104, 1, 1);
            qxtest::Click(d, c.button);
        });
        // The script command `layer` on the active worksheet opens it.
        qkfxGetProject().SetActivePage(wks);
        driver.Run([&]() -> INT_PTR { return m_app->GetAccess()->execute_script("layer", 0); });
        EXPECT_EQ(driver.StepsRun(), 1);
        EXPECT_EQ(before, (std::vector<std::string>{"B", "Y", "", "Numeric"}));
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(wks->GetColumn(2)->m_type, c.wantB);
        EXPECT_EQ(wks->GetColumn(1)->m_type, QK_COLTYPE_X);
    }
}

} // namespace

namespace {

// Column Format, opened as the menu command opens it (worksheet -e f) on the first
// selected column.
class ColumnFormat : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        ASSERT_EQ(m_app->GetAccess()->execute_script("win -t wks", 0), 0);
        wks = qkfxGetProject().GetActiveWks();
        ASSERT_NE(wks, nullptr);
        wks->GetColumn(2)->SetValue(0, 1234.5);
        wks->GetColumn(2)->m_label = "before";
    }
    CQKWksPage* wks = nullptr;
};

TEST_F(ColumnFormat, OkTakesEveryFieldCancelAndRefusalsChangeNothing)
{
    struct Case {
        const char* what;
        const char *name, *label;
        int type, format, subformat; // list indexes; format -1 keeps the format list
        const char* width;
        int button;
        const char* message; // part of the refusal ("" none)
        const char* cell;    // row 1 of the column as the worksheet shows it afterwards
    } cases[] = {
        {"numeric, scientific", "Volts", "U (V)", 0, -1, 1, "12", IDOK, "", "1.2345E3"},
        {"text and numeric", "B", "", 6, 4, 0, "20", IDOK, "", "1234.5"},
        {"digit groups", "B", "", 1, 0, 3, "8", IDOK, "", "1,234.5"},
        {"cancel", "Z", "x", 2, 3, 2, "30", IDCANCEL, "", "1234.5"},
        {"a name in use", "A", "", 1, -1, 0, "8", IDOK, "already has a column \"A\"", "1234.5"},
        {"a name that is no name", "2nd", "", 1, -1, 0, "8", IDOK, "cannot be a column name", "1234.5"},
        {"too wide", "B", "", 1, -1, 0, "300", IDOK, "between 1 and 200", "1234.5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // Each case starts from column B as the fixture made it.
        CQKWksPage::ColumnFormat start;
        start.name = "B";
        start.label = "before";
        std::string why;
        ASSERT_TRUE(wks->SetColumnFormat(2, start, &why)) << why;
        wks->SelectColumns(2, 2);
        std::string before = qkfxDumpProject(), message, shownName, shownSubformats;
        HWND dialog = nullptr;
        qxtest::DialogDriver driver;
        driver.Then([&](HWND d) {
            dialog = d;
            shownName = qxtest::GetText(d, IDC_QU_CF_NAME);
            shownSubformats = std::to_string(SendDlgItemMessageA(d, IDC_QU_CF_SUBFORMAT, CB_GETCOUNT, 0, 0));
            qxtest::SetText(d, IDC_QU_CF_NAME, c.name);
            qxtest::SetText(d, IDC_QU_CF_LABEL, c.label);
            qxtest::ComboSelect(d, IDC_QU_CF_TYPE, c.type);
            if (c.format >= 0)
                qxtest::ComboSelect(d, IDC_QU_CF_FORMAT, c.format);
            qxtest::ComboSelect(d, IDC_QU_CF_SUBFORMAT, c.subformat);
            qxtest::SetText(d, IDC_QU_CF_WIDTH, c.width);
            qxtest::Click(d, c.button);
        });
        if (c.message[0])
            driver.Then([&](HWND box) {
                message = qxtest::MessageBoxText(box);
                qxtest::Click(box, IDOK);
                ::PostMessage(dialog, WM_COMMAND, IDCANCEL, 0); // it stayed open for another try
            });
        driver.Run([&] { return (INT_PTR)m_app->GetAccess()->execute_script("worksheet -e f", 0); });
        EXPECT_FALSE(driver.TimedOut());
        EXPECT_EQ(shownName, "B");
        EXPECT_EQ(shownSubformats, "4") << "a numeric column offers four sub-formats";
        EXPECT_NE(message.find(c.message), std::string::npos) << message;
        if (c.button != IDOK || c.message[0]) {
            EXPECT_EQ(qkfxDumpProject(), before);
            continue;
        }
        CQKDataset* col = wks->GetColumn(2);
        EXPECT_EQ(col->m_columnName, c.name);
        EXPECT_EQ(col->m_label, c.label);
        EXPECT_EQ(col->m_type, CQUColumnFormatDlg::kTypes[c.type]);
        EXPECT_EQ(col->m_format, c.format < 0 ? QK_FORMAT_NUMERIC : CQUColumnFormatDlg::kFormats[c.format]);
        EXPECT_EQ(col->m_subformat, c.subformat);
        EXPECT_EQ(col->m_width, atoi(c.width));
        EXPECT_EQ(wks->FormatCell(2, 0), c.cell);
    }
}

} // namespace

// Worksheet Script: OK keeps the text, Do It keeps and runs it on the worksheet, Cancel
// changes nothing; a script that fails says why and is kept.
TEST_F(DataDialogs, WorksheetScriptKeepsAndRunsTheScript)
{
    struct Case {
        const char* what;
        const char* text;
        int button;
        const char* kept;
        const char* cellB1; // afterwards
        bool failed;        // a message box says why
    } cases[] = {
        {"OK keeps it", "col(B)[1] = 99;", IDOK, "col(B)[1] = 99;", "10", false},
        {"Cancel drops it", "col(B)[1] = 77;", IDCANCEL, "col(B)[1] = 99;", "10", false},
        {"Do It runs it", "col(B)[1] = 5 * wks.ncols;\r\ncol(B)[2] = -1;", IDC_QU_WS_DO_IT,
         "col(B)[1] = 5 * wks.ncols;\r\ncol(B)[2] = -1;", "10", false},
        {"a failing script", "col(B)[1] = 1;\r\nnosuchcommand;", IDC_QU_WS_DO_IT, "col(B)[1] = 1;\r\nnosuchcommand;",
         "1", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // Another window is active: the script works on its own worksheet all the same.
        qkfxGetProject().SetActivePage(wks);
        qxtest::DialogDriver driver;
        std::string shown;
        driver.Then([&](HWND d) {
            qxtest::SetText(d, IDC_QU_WS_TEXT, c.text);
            qxtest::Click(d, c.button);
        });
        std::string message;
        if (c.failed)
            driver.Then([&](HWND box) {
                char text[512] = "";
                GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
                message = text;
                qxtest::Click(box, IDOK);
            });
        driver.Run([&]() -> INT_PTR { return m_app->GetAccess()->execute_script("worksheet -e script", 0); });
        EXPECT_FALSE(driver.TimedOut());
        EXPECT_EQ(driver.StepsRun(), c.failed ? 2 : 1);
        EXPECT_EQ(wks->m_script, c.kept);
        if (c.button == IDC_QU_WS_DO_IT && !c.failed) {
            EXPECT_EQ(Column(2), "10 -1 30 40"); // two columns: 5 * 2
        } else {
            EXPECT_EQ(wks->GetColumn(2)->GetText(0), c.cellB1);
        }
        if (c.failed)
            EXPECT_NE(message.find("nosuchcommand"), std::string::npos) << message;
    }
}

// A right click asks the page for the element of what it hit; the element says which
// submenu of the window's context menu shows.
TEST_F(DataDialogs, SelectionElementsChooseTheContextSubmenu)
{
    CQKTablePage* matrix = static_cast<CQKTablePage*>(qkfxGetProject().CreatePage(QK_PAGE_MATRIX));
    ASSERT_NE(dynamic_cast<CQUMatrixPage*>(matrix), nullptr);
    ASSERT_NE(dynamic_cast<CQUWksPage*>(wks), nullptr);
    struct Case {
        const char* what;
        bool onMatrix;
        int hit;            // 0 outside, 1 cell, 2 heading, 3 row number, 4 corner
        int c1, r1, c2, r2; // columns from 1, rows from 0; r1 -1 whole columns, -2 whole rows c1 .. c2
        int position;
        bool (*is)(CQKTableElement*);
    } cases[] = {
        {"one row number", false, 3, 1, -2, 1, 0, 0, [](CQKTableElement* e) { return !!dynamic_cast<CQUSelRowNum*>(e); }},
        {"row numbers", false, 3, 0, -2, 2, 0, 8, [](CQKTableElement* e) { return !!dynamic_cast<CQUSelMultiRows*>(e); }},
        {"one heading", false, 2, 2, -1, 2, 0, 2, [](CQKTableElement* e) { return !!dynamic_cast<CQUSelColHead*>(e); }},
        {"every heading", false, 2, 1, -1, 2, 0, 4, [](CQKTableElement* e) { return !!dynamic_cast<CQULeftCorner*>(e); }},
        {"one cell", false, 1, 1, 0, 1, 0, 3, [](CQKTableElement* e) { return !!dynamic_cast<CQUSelOneCell*>(e); }},
        {"part of a column", false, 1, 1, 0, 1, 2, 5, [](CQKTableElement* e) { return !!dynamic_cast<CQUSelOneColumn*>(e); }},
        {"part of a row", false, 1, 1, 0, 2, 0, 7, [](CQKTableElement* e) { return !!dynamic_cast<CQUSelOneRow*>(e); }},
        {"a block", false, 1, 1, 0, 2, 2, 6, [](CQKTableElement* e) { return !!dynamic_cast<CQUSelMultiCells*>(e); }},
        {"the corner", false, 4, 1, -1, 2, 0, 4, [](CQKTableElement* e) { return !!dynamic_cast<CQULeftCorner*>(e); }},
        {"outside", false, 0, 1, 0, 1, 0, 1, [](CQKTableElement* e) { return !!dynamic_cast<CQUOutsideTable*>(e); }},
        {"matrix corner", true, 4, 1, -1, 2, 0, 1, [](CQKTableElement* e) { return !!dynamic_cast<CQULeftCorner*>(e); }},
        {"matrix outside", true, 0, 1, 0, 1, 0, 2, [](CQKTableElement* e) { return !!dynamic_cast<CQUOutsideTable*>(e); }},
        {"whole matrix", true, 2, 1, -1, 32, 0, 3, [](CQKTableElement* e) { return !!dynamic_cast<CQUSelAllColsRows*>(e); }},
        {"matrix block", true, 1, 1, 0, 2, 2, 6, [](CQKTableElement* e) { return !!dynamic_cast<CQUSelMultiCells*>(e); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CQKTablePage* page = c.onMatrix ? matrix : wks;
        if (c.r1 == -2)
            page->SelectRows(c.c1, c.c2);
        else if (c.r1 == -1)
            page->SelectColumns(c.c1, c.c2);
        else
            page->SelectCells(c.c1, c.r1, c.c2, c.r2);
        CQKTableElement* element = page->GetSelectionElement(c.hit);
        ASSERT_NE(element, nullptr);
        EXPECT_TRUE(c.is(element));
        EXPECT_EQ(element->GetTablePage(), page);
        EXPECT_EQ(element->GetContextmenuPos(), c.position);
    }
}
