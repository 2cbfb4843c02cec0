// The matrix dialogs, opened as a script asks for them: OK changes the matrix as the
// controls say, Cancel changes nothing, refused values keep the dialog open and say why.
#include "CoreTestApp.h"

#include "CoreResources.h"
#include "QKData.h"
#include "QUAccess.h"
#include "QUMatrixDialogs.h"
#include "QUMatrixView.h"
#include "QUPages.h"
#include "qxtest/DialogDriver.h"

namespace {

class MatrixDialogs : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        ASSERT_EQ(m_app->GetAccess()->execute_script("win -t matrix", 0), 0);
        m = dynamic_cast<CQUMatrixPage*>(qkfxGetProject().GetActiveMatrix());
        ASSERT_NE(m, nullptr);
        m->SetDimensions(2, 2);
        for (int r = 1; r <= 2; ++r)
            for (int c = 1; c <= 2; ++c)
                m->SetCell(r, c, r * 10 + c);
    }
    // Opens the dialog by the script command, driving it with the steps.
    void Open(const char* which, qxtest::DialogDriver& driver)
    {
        std::string script = std::string("matrix -e ") + which;
        driver.Run([&] { return (INT_PTR)m_app->GetAccess()->execute_script(script.c_str(), 0); });
        EXPECT_FALSE(driver.TimedOut()) << which;
    }
    std::string State() const { return qkfxDumpProject(); }

    CQUMatrixPage* m = nullptr;
};

TEST_F(MatrixDialogs, DimensionsTakeRowsColumnsAndCoordinatesOrRefuseThem)
{
    struct Case {
        const char *cols, *rows, *x1;
        bool cancel;
        int rowsAfter, colsAfter;
        double x1After;
        const char* message; // the message box a refused value shows ("" none)
    } cases[] = {
        {"3", "4", "-1.5", false, 4, 3, -1.5, ""},
        {"3", "4", "-1.5", true, 2, 2, 1, ""},
        {"10001", "9000", "1", false, 2, 2, 1, "must not exceed 90,000,000"},
        {"0", "4", "1", false, 2, 2, 1, "between 1 and 2000000"},
        {"2", "2", "one", false, 2, 2, 1, "\"one\" is not a number"},
    };
    for (const Case& c : cases) {
        m->SetDimensions(2, 2);
        m->m_x1 = 1;
        std::string before = State(), message;
        HWND dialog = nullptr;
        qxtest::DialogDriver driver;
        driver.Then([&](HWND d) {
            dialog = d;
            EXPECT_EQ(qxtest::GetText(d, IDC_QU_MD_COLUMNS), "2");
            EXPECT_EQ(qxtest::GetText(d, IDC_QU_MD_X2), "10");
            qxtest::SetText(d, IDC_QU_MD_COLUMNS, c.cols);
            qxtest::SetText(d, IDC_QU_MD_ROWS, c.rows);
            qxtest::SetText(d, IDC_QU_MD_X1, c.x1);
            qxtest::Click(d, c.cancel ? IDCANCEL : IDOK);
        });
        if (c.message[0]) {
            driver.Then([&](HWND box) {
                message = qxtest::MessageBoxText(box);
                qxtest::Click(box, IDOK);
                // The dialog stays open for another try; the test gives up on it.
                ::PostMessage(dialog, WM_COMMAND, IDCANCEL, 0);
            });
        }
        Open("dimensions", driver);
        EXPECT_NE(message.find(c.message), std::string::npos) << c.cols << " x " << c.rows << ": " << message;
        EXPECT_EQ(m->GetRows(), c.rowsAfter) << c.cols;
        EXPECT_EQ(m->GetCols(), c.colsAfter) << c.cols;
        EXPECT_EQ(m->m_x1, c.x1After) << c.cols;
        if (c.cancel || c.message[0])
            EXPECT_EQ(State(), before) << c.cols;
    }
    EXPECT_EQ(m->GetCell(2, 2), 22) << "cells inside the new size are kept";
}

TEST_F(MatrixDialogs, PropertiesSwitchTheDigitsAsTheModeChanges)
{
    struct Case {
        int mode, count;         // the page's display mode and digits before
        int switchTo;            // -1: no switch
        const char* shownFirst;  // digits shown at first (or after the switch)
        int modeAfter, digitsAfter;
    } cases[] = {
        {0, 0, 1, "3", 1, 3},   // default to decimal places: 3
        {2, 5, 1, "2", 1, 2},   // significant 5 to decimal places: 2
        {2, 3, 1, "3", 1, 3},   // significant 3 to decimal places: 3
        {1, 0, -1, "0", 1, 0},  // decimal places 0 shows 0
        {1, 4, 2, "7", 2, 7},   // decimal places 4 (count 7) to significant digits: 7
    };
    for (const Case& c : cases) {
        m->m_numDisplay = c.mode;
        m->m_digits = c.count;
        std::string shown;
        qxtest::DialogDriver driver;
        driver.Then([&](HWND d) {
            if (c.switchTo >= 0)
                qxtest::ComboSelect(d, IDC_QU_MP_DISPLAY, c.switchTo);
            shown = qxtest::GetText(d, IDC_QU_MP_DIGITS);
            qxtest::ComboSelect(d, IDC_QU_MP_FORMAT, 1);
            qxtest::Click(d, IDOK);
        });
        Open("properties", driver);
        EXPECT_EQ(shown, c.shownFirst) << c.mode << " " << c.count;
        EXPECT_EQ(m->m_numDisplay, c.modeAfter);
        EXPECT_EQ(m->m_digits, c.digitsAfter);
        EXPECT_EQ(m->m_dataFormat, 1);
    }
    // Switching there and back shows the first count again; Cancel keeps everything.
    EXPECT_EQ(CQUMatrixPropertyDialog::ShownDigits(2, CQUMatrixPropertyDialog::DigitCount(1, 2), true), 5);
    EXPECT_EQ(CQUMatrixPropertyDialog::ShownDigits(2, CQUMatrixPropertyDialog::DigitCount(1, 3), true), 6);
    std::string before = State();
    qxtest::DialogDriver driver;
    driver.Then([&](HWND d) {
        qxtest::ComboSelect(d, IDC_QU_MP_TYPE, 2);
        qxtest::SetText(d, IDC_QU_MP_WIDTH, "20");
        qxtest::Click(d, IDCANCEL);
    });
    Open("properties", driver);
    EXPECT_EQ(State(), before);
}

TEST_F(MatrixDialogs, SetValuesFillsTheBlockAndSizesTheMatrix)
{
    struct Case {
        const char *formula, *r1, *r2, *c1, *c2;
        bool cancel;
        const char* cells; // row by row after it
        const char* message;
    } cases[] = {
        {"i*10+j", "1", "3", "1", "2", false, "11 12; 21 22; 31 32", ""},
        {"0", "2", "2", "2", "2", false, "11 12; 21 0", ""},  // the block only; smaller "to" shrinks
        {"5", "1", "2", "1", "2", true, "11 12; 21 22", ""},
        {"nosuch(i)", "1", "1", "1", "1", false, "11 12; 21 22", "nosuch"},
    };
    for (const Case& c : cases) {
        m->SetDimensions(2, 2);
        for (int r = 1; r <= 2; ++r)
            for (int col = 1; col <= 2; ++col)
                m->SetCell(r, col, r * 10 + col);
        std::string message;
        HWND dialog = nullptr;
        qxtest::DialogDriver driver;
        driver.Then([&](HWND d) {
            dialog = d;
            EXPECT_EQ(qxtest::GetText(d, IDC_QU_MV_ROW2), "2");
            qxtest::SetText(d, IDC_QU_FE_FORMULA, c.formula);
            qxtest::SetText(d, IDC_QU_MV_ROW1, c.r1);
            qxtest::SetText(d, IDC_QU_MV_ROW2, c.r2);
            qxtest::SetText(d, IDC_QU_MV_COL1, c.c1);
            qxtest::SetText(d, IDC_QU_MV_COL2, c.c2);
            qxtest::Click(d, c.cancel ? IDCANCEL : IDOK);
        });
        if (c.message[0]) {
            driver.Then([&](HWND box) {
                message = qxtest::MessageBoxText(box);
                qxtest::Click(box, IDOK);
                // The dialog stays open for another try; the test gives up on it.
                ::PostMessage(dialog, WM_COMMAND, IDCANCEL, 0);
            });
        }
        Open("values", driver);
        std::string cells;
        for (int r = 1; r <= m->GetRows(); ++r) {
            for (int col = 1; col <= m->GetCols(); ++col)
                cells += (col > 1 ? " " : "") + m->FormatCell(col, r - 1);
            cells += r < m->GetRows() ? "; " : "";
        }
        EXPECT_EQ(cells, c.cells) << c.formula;
        EXPECT_NE(message.find(c.message), std::string::npos) << c.formula << ": " << message;
    }
    EXPECT_EQ(m->m_expression, "0") << "the last formula that filled is kept";
}

} // namespace

// A right click shows menu 584: cells, the corner, outside the table, or the whole matrix.
TEST_F(MatrixDialogs, ContextMenuSubmenuFollowsTheSelection)
{
    auto* view = DYNAMIC_DOWNCAST(CQUMatrixView, CWnd::FromHandlePermanent(m->GetDrawingWnd()));
    ASSERT_NE(view, nullptr);
    int position = -1;
    EXPECT_EQ(view->GetContextMenuID(&position), 584);
    struct Case {
        const char* what;
        int hitKind;                // what the click hit (0 outside, 1 cell, 2 heading, 3 row, 4 corner)
        int c1, r1, c2, r2;         // selection: columns from 1, rows from 0; r1 -1 whole columns
        int position;
        const char* submenu;        // its first item
    } cases[] = {
        {"one cell", 1, 1, 0, 1, 0, 0, "Cu&t"},
        {"a block short of the whole", 1, 1, 0, 2, 0, 0, "Cu&t"},
        {"one column", 2, 2, -1, 2, 0, 0, "Cu&t"},
        {"every cell", 1, 1, 0, 2, 1, 3, "P&lot"},
        {"every column", 2, 1, -1, 2, 0, 3, "P&lot"},
        {"the corner", 4, 1, -1, 2, 0, 1, "&Save Template"},
        {"outside the table", 0, 1, 0, 1, 0, 2, "&Paste"},
    };
    HMENU menu = ::LoadMenuA(AfxFindResourceHandle(MAKEINTRESOURCE(584), RT_MENU), MAKEINTRESOURCEA(584));
    ASSERT_NE(menu, nullptr);
    for (const Case& c : cases) {
        if (c.r1 < 0)
            m->SelectColumns(c.c1, c.c2);
        else
            m->SelectCells(c.c1, c.r1, c.c2, c.r2);
        int p = view->GetSelectionMenuPosition(c.hitKind);
        EXPECT_EQ(p, c.position) << c.what;
        char text[64] = "";
        ::GetMenuStringA(::GetSubMenu(menu, p), 0, text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ(text, c.submenu) << c.what;
    }
    ::DestroyMenu(menu);
}
