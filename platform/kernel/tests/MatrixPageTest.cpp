// Matrix pages: drawn and edited as tables of their cells, shown by their display
// settings, and the matrix's commands from scripts.
#include <windows.h>

#include <string>

#include "KernelTest.h"
#include "QKSysMethod.h"
#include "qxtest/Pixels.h"

namespace {

class MatrixPageTest : public KernelTest {
protected:
    void SetUp() override
    {
        KernelTest::SetUp();
        ASSERT_TRUE(Run("win -t matrix")) << err;
        m = qkfxGetProject().GetActiveMatrix();
        ASSERT_NE(m, nullptr);
    }
    void TearDown() override
    {
        if (view)
            DestroyWindow(view);
        KernelTest::TearDown();
    }
    LRESULT Send(UINT msg, WPARAM wp, LPARAM lp)
    {
        if (!view)
            view = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
        RECT r = {0, 0, 400, 300};
        m->SetDrawRect(r);
        LRESULT result = 0;
        m->WindowProc(view, msg, wp, lp, &result);
        return result;
    }
    void Type(const std::string& text)
    {
        for (char c : text)
            Send(WM_CHAR, (unsigned char)c, 0);
    }
    void Key(UINT key) { Send(WM_KEYDOWN, key, 1); }
    // Row by row, "--" for a missing cell.
    std::string Cells() const
    {
        std::string s;
        for (int r = 1; r <= m->GetRows(); ++r) {
            for (int c = 1; c <= m->GetCols(); ++c)
                s += (c > 1 ? " " : "") + m->FormatCell(c, r - 1);
            s += r < m->GetRows() ? "; " : "";
        }
        return s;
    }
    void Fill(int rows, int cols, std::initializer_list<double> values)
    {
        ASSERT_TRUE(m->SetDimensions(rows, cols));
        auto v = values.begin();
        for (int r = 1; r <= rows; ++r)
            for (int c = 1; c <= cols; ++c)
                m->SetCell(r, c, *v++);
    }

    CQKMatrixPage* m = nullptr;
    HWND view = nullptr;
};

TEST_F(MatrixPageTest, PixelsShowTheCellsWhereTheMatrixHasThem)
{
    Fill(4, 3, {1, 2, 3, 4, MISSING_VALUE, 6, 7, 8, 9, 10, 11, 12});
    m->SelectCells(3, 2, 3, 3); // column 3, rows 3 and 4
    qxtest::MemoryCanvas canvas(500, 200);
    RECT r = {0, 0, 500, 200};
    m->SetDrawRect(r);
    ASSERT_TRUE(m->Draw(canvas.dc(), r));
    m->DrawScreenItems(canvas.dc());
    qxtest::Image image = canvas.Capture();
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    image.WritePng(std::string(temp) + "qk_matrix_draw.png");

    const COLORREF black = RGB(0, 0, 0), grey = RGB(128, 128, 128), paper = RGB(255, 255, 255),
                   highlight = GetSysColor(COLOR_HIGHLIGHT), face = GetSysColor(COLOR_BTNFACE);
    // Inside a cell, away from its grid lines and the active cell's frame.
    auto count = [&](int column, int row, COLORREF color) {
        int left = m->GetRowNumberWidth() + (column - 1) * m->GetColumnPixels(1);
        int top = m->GetHeaderHeight() + row * m->GetRowHeight();
        int n = 0;
        for (int y = top + 3; y < top + m->GetRowHeight() - 3; ++y)
            for (int x = left + 3; x < left + m->GetColumnPixels(1) - 3; ++x)
                n += image.ColorAt(x, y) == color;
        return n;
    };
    struct Case {
        int column, row;
        COLORREF ink;
        bool inked;
        const char* what;
    } cases[] = {
        {2, 0, black, true, "2 in row 1, column 2"},
        {1, 3, black, true, "10 in the last row"},
        {2, 1, grey, true, "the missing cell's \"--\" in grey"},
        {2, 1, black, false, "no black in the missing cell"},
        {4, 0, black, false, "nothing right of the last column"},
        {1, 4, black, false, "nothing below the last row"},
        {3, 2, highlight, true, "the selected cells"},
        {3, 1, highlight, false, "above the selection"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(count(c.column, c.row, c.ink) > 2, c.inked) << c.what;
    EXPECT_GT(count(4, 0, paper), 100) << "paper right of the last column";
    // Column headings are the column numbers on the face colour: "1" is narrower than "3".
    auto headingInk = [&](int column) {
        int left = m->GetRowNumberWidth() + (column - 1) * m->GetColumnPixels(1), n = 0;
        for (int y = 2; y < m->GetHeaderHeight() - 2; ++y)
            for (int x = left + 2; x < left + m->GetColumnPixels(1) - 2; ++x)
                n += image.ColorAt(x, y) == black;
        return n;
    };
    EXPECT_EQ(image.ColorAt(m->GetRowNumberWidth() + 3, 3), face);
    EXPECT_GT(headingInk(1), 3);
    EXPECT_LT(headingInk(1), headingInk(3));
}

TEST_F(MatrixPageTest, TypingKeysAndTheMouseStayInsideTheMatrix)
{
    Fill(2, 2, {MISSING_VALUE, MISSING_VALUE, MISSING_VALUE, MISSING_VALUE});
    Type("1.5");
    Key(VK_RETURN); // down
    Type("-2");
    Key(VK_DOWN); // past the last row: stays
    EXPECT_EQ(m->GetActiveRow(), 1);
    Key(VK_RIGHT);
    Key(VK_RIGHT); // past the last column: stays
    EXPECT_EQ(m->GetActiveColumn(), 2);
    Type("3e2");
    Key(VK_UP);
    EXPECT_EQ(Cells(), "1.5 --; -2 300");
    std::string why;
    EXPECT_FALSE(m->SetCellFromText(1, 0, "abc", &why));
    EXPECT_NE(why.find("\"abc\" is not a number"), std::string::npos) << why;
    EXPECT_FALSE(m->SetCellFromText(3, 0, "1", &why)) << "no third column";
    EXPECT_EQ(Cells(), "1.5 --; -2 300");
    // Delete clears the selection; a click on the corner selects every cell.
    m->SelectCells(1, 1, 2, 1);
    Key(VK_DELETE);
    EXPECT_EQ(Cells(), "1.5 --; -- --");
    int column, row;
    EXPECT_EQ(m->HitTest(2, 2, &column, &row), 4);
}

TEST_F(MatrixPageTest, DisplaySettingsAndInternalTypesShapeTheCells)
{
    struct Case {
        int format, display, digits, type;
        double value;
        const char* shown;
    } cases[] = {
        {0, 0, 0, 0, 1234.5678, "1234.57"}, // the options' six digits
        {0, 1, 2, 0, 1234.5678, "1234.57"},
        {0, 2, 3, 0, 1234.5678, "1235"},    // whole digits are never dropped
        {1, 2, 3, 0, 1234.5678, "1.23E3"},
        {2, 2, 3, 0, 1234.5678, "1.23k"},
        {3, 1, 1, 0, 1234.5678, "1,234.6"},
        {0, 0, 0, 1, 0.1, "0.1"},      // a float shows in the options' digits
        {0, 0, 0, 2, 2.6, "3"},        // short: rounded
        {0, 0, 0, 2, 40000, "--"},     // beyond a short
        {0, 0, 0, 3, -2.5e9, "--"},    // beyond a long
        {0, 0, 0, 3, -123456.4, "-123456"},
    };
    for (const Case& c : cases) {
        m->m_dataFormat = c.format;
        m->m_numDisplay = c.display;
        m->m_digits = c.digits;
        m->m_internalType = c.type;
        m->SetCell(1, 1, c.value);
        EXPECT_EQ(m->FormatCell(1, 0), c.shown) << c.value << " format " << c.format << " type " << c.type;
    }
    m->m_internalType = 1;
    m->SetCell(1, 1, 0.1);
    EXPECT_EQ(m->GetCell(1, 1), (double)0.1f) << "a float keeps a float's precision";
}

TEST_F(MatrixPageTest, TheMatrixCommandsChangeTheCellsOrSayWhyNot)
{
    struct Case {
        const char* script;
        const char* cells;    // after it ("" when it fails and the cells stay)
        const char* error;    // part of the error, when it fails
    } cases[] = {
        {"matrix -t", "1 4; 2 5; 3 6", ""},
        {"matrix -x 2 1", "1 1 2 2 3 3; 4 4 5 5 6 6", ""},
        {"matrix -s 2 2", "3", ""},
        {"matrix -s 4 1", "", "cannot shrink"},
        {"matrix -i", "", "only a square matrix has an inverse"},
        {"matrix -v \"i*10+j\"", "11 12 13; 21 22 23", ""},
        {"matrix -v \"x+y/10\"", "1.1 5.6 10.1; 2 6.5 11", ""},
        {"matrix -v \"nosuch(i)\"", "", "Cell(i,j) = nosuch(i)"},
        {"matrix -e values", "", ""}, // the kernel's page has no dialog: recorded, nothing changes
    };
    for (const Case& c : cases) {
        Fill(2, 3, {1, 2, 3, 4, 5, 6});
        const std::string before = Cells();
        bool ok = Run(c.script);
        EXPECT_EQ(ok, c.error[0] == 0) << c.script << ": " << err;
        EXPECT_EQ(Cells(), c.cells[0] ? std::string(c.cells) : before) << c.script;
        EXPECT_NE(err.find(c.error), std::string::npos) << c.script << ": " << err;
    }
    EXPECT_GE(qkfxGetCallLog().Find("CQKMatrixPage::EditMatrixValues"), 0);

    Fill(2, 2, {4, 7, 2, 6});
    ASSERT_TRUE(Run("matrix -i")) << err;
    EXPECT_EQ(Cells(), "0.6 -0.7; -0.2 0.4");
    Fill(2, 2, {1, 2, 2, 4});
    EXPECT_FALSE(Run("matrix -i"));
    EXPECT_NE(err.find("singular"), std::string::npos) << err;
    EXPECT_EQ(Cells(), "1 2; 2 4");
}

TEST_F(MatrixPageTest, SmoothingTakesTheMeanOfEachBlockAndKeepsMissingCells)
{
    // 3 x 4 with one missing cell; blocks are clipped at the edges and skip the missing.
    auto fill = [&] { Fill(3, 4, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, MISSING_VALUE, 12}); };
    fill();
    ASSERT_TRUE(Run("matrix -sm 3")) << err;
    // Row 1 column 1: mean of 1 2 5 6 = 3.5; row 2 column 3: mean of 2 3 4 6 7 8 10 12 = 6.5.
    EXPECT_EQ(Cells(), "3.5 4 5 5.5; 5.5 5.375 6.5 6.8; 7.5 7.4 -- 9");
    EXPECT_EQ(m->GetCell(3, 3), MISSING_VALUE);
    fill();
    ASSERT_TRUE(Run("matrix -sm 5")) << err;
    EXPECT_DOUBLE_EQ(m->GetCell(2, 2), (1 + 2 + 3 + 4 + 5 + 6 + 7 + 8 + 9 + 10 + 12) / 11.0);

    for (const char* bad : {"matrix -sm 4", "matrix -sm 1", "matrix -sm 101", "matrix -sm 2.5"}) {
        fill();
        const std::string before = Cells();
        EXPECT_FALSE(Run(bad)) << bad;
        EXPECT_NE(err.find("odd number of cells"), std::string::npos) << bad << ": " << err;
        EXPECT_EQ(Cells(), before) << bad;
    }
}

TEST_F(MatrixPageTest, IntegrationGivesTheVolumeUnderTheCellsOrSaysWhyNot)
{
    // z = x + 2y over x 0..2, y 0..1 (trapezoids are exact for a plane): volume 2*1*(1 + 1) = 4.
    ASSERT_TRUE(Run("matrix -ps dim 3 5")) << err;
    m->m_x1 = 0, m->m_x2 = 2, m->m_y1 = 0, m->m_y2 = 1;
    ASSERT_TRUE(Run("matrix -v \"x+2*y\"")) << err;
    ASSERT_TRUE(Run("matrix -in")) << err;
    double volume = 0;
    ASSERT_TRUE(qkfxGetScript().GetVariable("volume", &volume));
    EXPECT_NEAR(volume, 4.0, 1e-12);
    EXPECT_NE(qkfxGetProject().GetResultsLog().find(m->GetName() + ": volume 4 over X 0 to 2, Y 0 to 1"),
              std::string::npos)
        << qkfxGetProject().GetResultsLog();
    // Reversed X gives the signed integral.
    m->m_x1 = 2, m->m_x2 = 0;
    ASSERT_TRUE(Run("matrix -in")) << err;
    ASSERT_TRUE(qkfxGetScript().GetVariable("volume", &volume));
    EXPECT_NEAR(volume, -4.0, 1e-12);

    struct Case {
        int rows, cols;
        bool missing;
        const char* error;
    } cases[] = {
        {1, 4, false, "spans no area"},
        {3, 1, false, "spans no area"},
        {3, 3, true, "missing value in row 2, column 2"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(m->SetDimensions(c.rows, c.cols));
        for (int r = 1; r <= c.rows; ++r)
            for (int j = 1; j <= c.cols; ++j)
                m->SetCell(r, j, 1);
        if (c.missing)
            m->SetCell(2, 2, MISSING_VALUE);
        EXPECT_FALSE(Run("matrix -in"));
        EXPECT_NE(err.find(c.error), std::string::npos) << err;
    }
}

TEST_F(MatrixPageTest, ConversionsMakeWorksheetsOfTheColumnsOrOfXYZ)
{
    Fill(2, 3, {1, 2, 3, 4, MISSING_VALUE, 6});
    m->m_x1 = 0, m->m_x2 = 1, m->m_y1 = 10, m->m_y2 = 20;
    const std::string cells = Cells();
    ASSERT_TRUE(Run("matrix -c")) << err;
    auto* wks = dynamic_cast<CQKWksPage*>(qkfxGetProject().GetPage(qkfxGetProject().GetNumPages() - 1));
    ASSERT_NE(wks, nullptr);
    ASSERT_EQ(wks->GetNumCols(), 3);
    EXPECT_EQ(wks->GetColumn(1)->GetValue(1), 4);
    EXPECT_EQ(wks->GetColumn(2)->GetValue(1), MISSING_VALUE);
    EXPECT_EQ(wks->GetColumn(3)->GetEnd(), 2);
    EXPECT_EQ(wks->GetColumn(1)->m_type, QK_COLTYPE_Y);

    qkfxGetProject().SetActivePage(m);
    ASSERT_TRUE(Run("matrix -xyz")) << err;
    wks = dynamic_cast<CQKWksPage*>(qkfxGetProject().GetPage(qkfxGetProject().GetNumPages() - 1));
    ASSERT_NE(wks, nullptr);
    ASSERT_EQ(wks->GetNumCols(), 3);
    struct Row {
        double x, y, z;
    } rows[] = {{0, 10, 1}, {0.5, 10, 2}, {1, 10, 3}, {0, 20, 4}, {0.5, 20, MISSING_VALUE}, {1, 20, 6}};
    for (int r = 0; r < 6; ++r) {
        EXPECT_EQ(wks->GetColumn(1)->GetValue(r), rows[r].x) << r;
        EXPECT_EQ(wks->GetColumn(2)->GetValue(r), rows[r].y) << r;
        EXPECT_EQ(wks->GetColumn(3)->GetValue(r), rows[r].z) << r;
    }
    EXPECT_EQ(wks->GetColumn(3)->m_type, QK_COLTYPE_Z);
    EXPECT_EQ(Cells(), cells) << "the matrix stays as it was";
}

} // namespace
