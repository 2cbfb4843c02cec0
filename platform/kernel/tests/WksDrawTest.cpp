// Worksheet pages drawn and edited by the kernel: cell texts by format and separators,
// pixels of the drawn table, typing, keys, the mouse, and the worksheet commands.
#include <windows.h>

#include <string>

#include "KernelTest.h"
#include "QKSysMethod.h"
#include "qxtest/Pixels.h"

namespace {

class WksDrawTest : public KernelTest {
protected:
    void SetUp() override
    {
        KernelTest::SetUp();
        wks = static_cast<CQKWksPage*>(qkfxGetProject().CreatePage(QK_PAGE_WKS));
        ASSERT_NE(wks, nullptr);
        ASSERT_EQ(wks->GetNumCols(), 2);
        qkfxGetQrxSystem().GetRefNumeric().SetSeparators(1);
    }
    void TearDown() override
    {
        qkfxGetQrxSystem().GetRefNumeric().SetSeparators(0);
        if (view)
            DestroyWindow(view);
        KernelTest::TearDown();
    }
    // A window for the page's input (under the null driver it is never drawn).
    HWND View()
    {
        if (!view)
            view = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
        RECT r = {0, 0, 400, 300};
        wks->SetDrawRect(r);
        return view;
    }
    LRESULT Send(UINT msg, WPARAM wp, LPARAM lp)
    {
        LRESULT result = 0;
        wks->WindowProc(View(), msg, wp, lp, &result);
        return result;
    }
    void Type(const std::string& text)
    {
        for (char c : text)
            Send(WM_CHAR, (unsigned char)c, 0);
    }
    void Key(UINT key) { Send(WM_KEYDOWN, key, 1); }
    // The centre of a cell (column from 1, row from 0) in the view.
    POINT CellCentre(int column, int row)
    {
        int x = wks->GetRowNumberWidth();
        for (int c = wks->GetLeftColumn(); c < column; ++c)
            x += wks->GetColumnPixels(c);
        x += wks->GetColumnPixels(column) / 2;
        int y = wks->GetHeaderHeight() + (row - wks->GetTopRow()) * wks->GetRowHeight() + wks->GetRowHeight() / 2;
        return {x, y};
    }
    void Click(POINT p, WPARAM keys = 0)
    {
        Send(WM_LBUTTONDOWN, MK_LBUTTON | keys, MAKELPARAM(p.x, p.y));
        Send(WM_LBUTTONUP, keys, MAKELPARAM(p.x, p.y));
    }

    CQKWksPage* wks = nullptr;
    HWND view = nullptr;
};

TEST_F(WksDrawTest, CellsReadByFormatAndSeparators)
{
    struct {
        int format, subformat, separators;
        double value;
        const char* shown;
    } cases[] = {
        {QK_FORMAT_NUMERIC, 0, 1, 1234.5, "1234.5"},
        {QK_FORMAT_NUMERIC, 0, 2, 1234.5, "1234,5"},
        {QK_FORMAT_NUMERIC, 3, 1, 123456.7, "123,457"}, // six significant digits
        {QK_FORMAT_NUMERIC, 3, 1, 1234.5, "1,234.5"},
        {QK_FORMAT_NUMERIC, 3, 2, -1234.5, "-1.234,5"},
        {QK_FORMAT_NUMERIC, 3, 3, 1234.5, "1 234,5"},
        {QK_FORMAT_NUMERIC, 3, 4, 1234.5, "1'234.5"},
        {QK_FORMAT_NUMERIC, 0, 1, 0.000125, "1.25E-4"}, // below the lower threshold power
        {QK_FORMAT_NUMERIC, 0, 1, 2.5e7, "2.5E7"},      // at or above the upper one
        {QK_FORMAT_NUMERIC, 0, 1, 0, "0"},
        {QK_FORMAT_NUMERIC, 0, 1, 1.0 / 3, "0.333333"},
        {QK_FORMAT_NUMERIC, 1, 1, 1500, "1.5E3"},
        {QK_FORMAT_NUMERIC, 1, 2, 1500, "1,5E3"},
        {QK_FORMAT_NUMERIC, 2, 1, 1500, "1.5k"},
        {QK_FORMAT_NUMERIC, 2, 1, 0.00025, "250u"},
        {QK_FORMAT_NUMERIC, 2, 1, 999999.9, "1M"},
        {QK_FORMAT_DATE, 0, 1, 0, "1/1/1900"},
        {QK_FORMAT_DATE, 1, 1, 45380, "Sunday, March 31, 2024"},
        {QK_FORMAT_DATE, 2, 1, 45380, "2024-03-31"},
        {QK_FORMAT_TIME, 0, 1, 0.5, "12:00"},
        {QK_FORMAT_TIME, 1, 1, 13.0 / 24 + 45.0 / 1440 + 30.0 / 86400, "13:45:30"},
        {QK_FORMAT_TEXT_NUMERIC, 0, 2, 2.5, "2,5"},
    };
    CQKDataset* a = wks->GetColumn(1);
    for (const auto& c : cases) {
        a->m_format = c.format;
        a->m_subformat = c.subformat;
        qkfxGetQrxSystem().GetRefNumeric().SetSeparators(c.separators);
        a->SetValue(0, c.value);
        EXPECT_EQ(wks->FormatCell(1, 0), c.shown) << c.value << " format " << c.format << "." << c.subformat;
    }
    a->SetValue(0, MISSING_VALUE);
    EXPECT_EQ(wks->FormatCell(1, 0), "--");
    a->SetText(0, "sample 1");
    EXPECT_EQ(wks->FormatCell(1, 0), "sample 1");
    EXPECT_EQ(wks->FormatCell(1, 5), "") << "below the column's rows";
}

TEST_F(WksDrawTest, TypedTextReadByFormat)
{
    struct {
        int format, separators;
        const char* typed;
        bool ok;
        const char* stored; // the cell as text afterwards
    } cases[] = {
        {QK_FORMAT_NUMERIC, 1, "1,234.5", true, "1234.5"},
        {QK_FORMAT_NUMERIC, 2, "1.234,5", true, "1234.5"},
        {QK_FORMAT_NUMERIC, 3, "1 234,5", true, "1234.5"},
        {QK_FORMAT_NUMERIC, 4, "1'234.5", true, "1234.5"},
        {QK_FORMAT_NUMERIC, 1, " -2e3 ", true, "-2000"},
        {QK_FORMAT_NUMERIC, 1, "abc", false, "7"},
        {QK_FORMAT_NUMERIC, 1, "--", true, "--"},
        {QK_FORMAT_NUMERIC, 1, "", true, "--"},
        {QK_FORMAT_TEXT, 1, "12", true, "12"},
        {QK_FORMAT_TEXT_NUMERIC, 1, "x1", true, "x1"},
        {QK_FORMAT_TEXT_NUMERIC, 1, "3.5", true, "3.5"},
        {QK_FORMAT_DATE, 1, "2024-03-31", true, "45380"},
        {QK_FORMAT_DATE, 1, "3/31/2024", true, "45380"},
        {QK_FORMAT_DATE, 1, "March", false, "7"},
        {QK_FORMAT_TIME, 1, "12:00", true, "0.5"},
        {QK_FORMAT_TIME, 1, "noon", false, "7"},
    };
    CQKDataset* a = wks->GetColumn(1);
    for (const auto& c : cases) {
        a->m_format = c.format;
        qkfxGetQrxSystem().GetRefNumeric().SetSeparators(c.separators);
        a->SetValue(0, 7);
        std::string why;
        EXPECT_EQ(wks->SetCellFromText(1, 0, c.typed, &why), c.ok) << c.typed;
        EXPECT_EQ(a->GetText(0), c.stored) << c.typed;
        EXPECT_EQ(why.empty(), c.ok) << c.typed << ": " << why;
        if (c.format == QK_FORMAT_TEXT || (c.format == QK_FORMAT_TEXT_NUMERIC && std::string(c.typed) == "x1"))
            EXPECT_TRUE(a->IsText(0)) << c.typed;
    }
}

TEST_F(WksDrawTest, PixelsShowCellsMissingValuesAndSelection)
{
    CQKDataset* a = wks->GetColumn(1);
    CQKDataset* b = wks->GetColumn(2);
    a->m_type = QK_COLTYPE_X;
    for (int r = 0; r < 5; ++r)
        a->SetValue(r, r * 1.5);
    b->m_format = QK_FORMAT_TEXT_NUMERIC;
    b->SetValue(0, 10);
    b->SetValue(1, MISSING_VALUE);
    b->SetText(2, "text cell");
    b->SetValue(3, 1e-5);
    a->m_label = "Time";
    wks->m_labelsShown = true;
    wks->SelectCells(2, 3, 2, 4);

    qxtest::MemoryCanvas canvas(400, 260);
    RECT r = {0, 0, 400, 260};
    wks->SetDrawRect(r);
    ASSERT_TRUE(wks->Draw(canvas.dc(), r));
    wks->DrawScreenItems(canvas.dc());
    qxtest::Image image = canvas.Capture();
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    image.WritePng(std::string(temp) + "qk_wks_draw.png");

    auto countIn = [&](int column, int row, COLORREF color) {
        POINT c = CellCentre(column, row);
        int n = 0;
        for (int y = c.y - wks->GetRowHeight() / 2 + 1; y < c.y + wks->GetRowHeight() / 2 - 1; ++y)
            for (int x = c.x - wks->GetColumnPixels(column) / 2 + 2; x < c.x + wks->GetColumnPixels(column) / 2 - 2; ++x)
                n += image.ColorAt(x, y) == color;
        return n;
    };
    const COLORREF black = RGB(0, 0, 0), grey = RGB(128, 128, 128), highlight = GetSysColor(COLOR_HIGHLIGHT);
    EXPECT_GT(countIn(1, 1, black), 5) << "1.5 is drawn in black";
    EXPECT_EQ(countIn(1, 7, black), 0) << "a cell below the data is empty";
    EXPECT_GT(countIn(2, 1, grey), 2) << "a missing value shows \"--\" in grey";
    EXPECT_EQ(countIn(2, 1, black), 0);
    EXPECT_GT(countIn(2, 3, highlight), 50) << "the selected block";
    EXPECT_EQ(countIn(2, 5, highlight), 0) << "below the selection";
    EXPECT_EQ(countIn(1, 3, highlight), 0) << "left of the selection";
    // Headings and row numbers lie on the face colour.
    EXPECT_GT(image.Count(GetSysColor(COLOR_BTNFACE)), 1000);

    // The text cell is drawn from the left, a number from the right.
    auto firstInk = [&](int column, int row) {
        POINT c = CellCentre(column, row);
        int left = c.x - wks->GetColumnPixels(column) / 2;
        for (int x = left; x < left + wks->GetColumnPixels(column); ++x)
            for (int y = c.y - 4; y <= c.y + 4; ++y)
                if (image.ColorAt(x, y) == black)
                    return x - left;
        return -1;
    };
    EXPECT_LT(firstInk(2, 2), 8);
    EXPECT_GT(firstInk(2, 0), 20);
}

TEST_F(WksDrawTest, TypingEnterArrowsAndDelete)
{
    View();
    Click(CellCentre(1, 0));
    EXPECT_EQ(wks->GetActiveColumn(), 1);
    Type("1.5");
    std::string text;
    EXPECT_TRUE(wks->GetEditText(text));
    EXPECT_EQ(text, "1.5");
    Key(VK_RETURN);
    EXPECT_EQ(wks->GetColumn(1)->GetValue(0), 1.5);
    EXPECT_EQ(wks->GetActiveRow(), 1) << "Enter moves down";

    Type("2");
    Key(VK_RIGHT);
    EXPECT_EQ(wks->GetColumn(1)->GetValue(1), 2) << "an arrow key puts the text in first";
    EXPECT_EQ(wks->GetActiveColumn(), 2);

    Type("9");
    Key(VK_ESCAPE);
    EXPECT_EQ(wks->GetColumn(2)->GetEnd(), 0) << "Esc throws the text away";

    Type("abc");
    Key(VK_RETURN);
    EXPECT_TRUE(wks->GetEditText(text)) << "a numeric column refuses text and typing goes on";
    EXPECT_NE(err.find("is not a number"), std::string::npos) << err;
    Send(WM_CHAR, '\b', 0);
    Send(WM_CHAR, '\b', 0);
    Send(WM_CHAR, '\b', 0);
    Type("4");
    Key(VK_RETURN);
    EXPECT_EQ(wks->GetColumn(2)->GetValue(1), 4);

    Key(VK_UP);
    Key(VK_LEFT);
    EXPECT_EQ(wks->GetActiveColumn(), 1);
    EXPECT_EQ(wks->GetActiveRow(), 1);
    Key(VK_DELETE);
    EXPECT_EQ(wks->GetColumn(1)->GetEnd(), 1) << "the cleared last cell is no row any more";
    EXPECT_EQ(wks->GetColumn(1)->GetValue(0), 1.5);
}

TEST_F(WksDrawTest, MouseSelectsCellsColumnsAndRows)
{
    View();
    Click(CellCentre(1, 2));
    POINT to = CellCentre(2, 4);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(CellCentre(1, 2).x, CellCentre(1, 2).y));
    Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
    Send(WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
    EXPECT_EQ(wks->m_selC1, 1);
    EXPECT_EQ(wks->m_selC2, 2);
    EXPECT_EQ(wks->m_selR1, 3);
    EXPECT_EQ(wks->m_selR2, 5);
    EXPECT_TRUE(Run("type $(wks.sel)"));
    EXPECT_EQ(out, "2\n");

    POINT heading = {CellCentre(2, 0).x, 3};
    Click(heading);
    EXPECT_EQ(wks->m_selC1, 2);
    EXPECT_EQ(wks->m_selR1, 0);
    EXPECT_TRUE(Run("type $(wks.sel) $(wks.iscolsel(2))"));
    EXPECT_EQ(out, "8 1\n");

    POINT number = {5, CellCentre(1, 3).y};
    Click(number);
    Click({5, CellCentre(1, 5).y}, MK_SHIFT);
    EXPECT_TRUE(wks->m_selWholeRows);
    EXPECT_EQ(wks->m_selR1, 4);
    EXPECT_EQ(wks->m_selR2, 6);

    Click({3, 3}); // the corner
    EXPECT_EQ(wks->m_selC1, 1);
    EXPECT_EQ(wks->m_selC2, 2);
    EXPECT_EQ(wks->m_selR1, 0);
}

TEST_F(WksDrawTest, InsertDeleteFillTypeAndMove)
{
    CQKDataset* a = wks->GetColumn(1);
    for (int r = 0; r < 4; ++r)
        a->SetValue(r, r + 10);
    a->SetText(3, "last");
    // Rows 2..3 (from 1) inserted: the data below move down.
    wks->SelectRows(1, 2);
    EXPECT_TRUE(wks->OnWksCommands(36441));
    EXPECT_EQ(a->GetEnd(), 6);
    EXPECT_EQ(a->GetText(0), "10");
    EXPECT_EQ(a->GetText(1), "--");
    EXPECT_EQ(a->GetText(3), "11");
    EXPECT_EQ(a->GetText(5), "last");
    EXPECT_TRUE(wks->OnWksCommands(36442));
    EXPECT_EQ(a->GetEnd(), 4);
    EXPECT_EQ(a->GetText(3), "last");

    // A column inserted before B, then filled with row numbers.
    wks->SelectColumns(2, 2);
    EXPECT_TRUE(wks->OnWksCommands(36441));
    ASSERT_EQ(wks->GetNumCols(), 3);
    EXPECT_EQ(wks->GetColumn(3)->m_columnName, "B");
    CQKDataset* inserted = wks->GetColumn(2);
    EXPECT_EQ(inserted->m_columnName, "C");
    wks->SelectColumns(2, 2);
    EXPECT_TRUE(wks->OnWksCommands(36444));
    ASSERT_EQ(inserted->GetEnd(), 4) << "as many rows as the longest column";
    for (int r = 0; r < 4; ++r)
        EXPECT_EQ(inserted->GetValue(r), r + 1);
    EXPECT_TRUE(wks->OnWksCommands(36445));
    for (int r = 0; r < 4; ++r)
        EXPECT_TRUE(inserted->GetValue(r) >= 0 && inserted->GetValue(r) < 1);

    EXPECT_TRUE(wks->OnWksCommands(38757));
    EXPECT_EQ(inserted->m_type, QK_COLTYPE_X);
    EXPECT_TRUE(wks->OnWksCommands(38760));
    EXPECT_EQ(inserted->m_type, QK_COLTYPE_XERR);
    EXPECT_TRUE(wks->OnWksCommands(38770)); // to last
    EXPECT_EQ(wks->GetColumn(3), inserted);
    EXPECT_TRUE(wks->OnWksCommands(38769)); // to first
    EXPECT_EQ(wks->GetColumn(1), inserted);
    EXPECT_EQ(wks->GetColumn(2), a);

    wks->SelectColumns(1, 1);
    EXPECT_TRUE(wks->OnWksCommands(36442));
    EXPECT_EQ(wks->GetNumCols(), 2);
    EXPECT_EQ(wks->FindColumn("C"), nullptr);
    EXPECT_FALSE(wks->OnWksCommands(36463)) << "not the kernel's command";
}

TEST_F(WksDrawTest, ScrollingReachesAnyRow)
{
    CQKDataset* a = wks->GetColumn(1);
    std::vector<double> values(1000000);
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = (double)i;
    a->TakeValues(std::move(values));
    View();
    wks->ScrollTo(998999, 1);
    qxtest::MemoryCanvas canvas(400, 300);
    RECT r = {0, 0, 400, 300};
    ASSERT_TRUE(wks->Draw(canvas.dc(), r));
    int column, row;
    POINT p = CellCentre(1, 999000);
    EXPECT_EQ(wks->HitTest(p.x, p.y, &column, &row), 1);
    EXPECT_EQ(row, 999000);
    // Scrolling to the end shows the last row; a line further changes nothing.
    Send(WM_VSCROLL, SB_BOTTOM, 0);
    const int bottom = wks->GetTopRow();
    EXPECT_GT(bottom, 999900);
    EXPECT_EQ(wks->HitTest(p.x, wks->GetHeaderHeight() + (999999 - bottom) * wks->GetRowHeight() + 2, &column, &row), 1);
    EXPECT_EQ(row, 999999);
    Send(WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(wks->GetTopRow(), bottom);
    Send(WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(wks->GetTopRow(), 0);
    Key(VK_NEXT);
    EXPECT_GT(wks->GetTopRow(), 0);
}

} // namespace

namespace {

// Printing lays the chosen range out on pages: the rows that fit under the headings on
// each page, further pages for columns that do not fit across; a header line and a page
// number take room; a printed page shows no selection and leaves the window's view as it was.
TEST_F(WksDrawTest, PrintRangesAreLaidOutOnPages)
{
    for (int c = 1; c <= 12; ++c) {
        CQKDataset* column = c <= wks->GetNumCols() ? wks->GetColumn(c) : wks->AddColumn();
        for (int r = 0; r < 100; ++r)
            column->SetValue(r, r + c);
    }
    wks->SetPageSetupMargin(0, 0, 0, 0);
    wks->SelectCells(1, 1, 2, 3);
    wks->ScrollTo(5, 2);
    qxtest::MemoryCanvas canvas(600, 400);
    const RECT area = {0, 0, 600, 400};

    struct Case {
        int range[4]; // columns and rows from 0, the last ones past the end
        bool header, number;
        int blocks;   // pages across, 0: more than one
    } cases[] = {
        {{0, 3, 0, 100}, false, false, 1},
        {{0, 3, 10, 20}, false, false, 1},
        {{0, 12, 0, 100}, false, false, 0},
        {{0, 3, 0, 100}, true, true, 1},
    };
    int plainPages = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.range[1]) + " columns, rows to " + std::to_string(c.range[3]));
        wks->SetPrintRange(c.range[0], c.range[1], c.range[2], c.range[3]);
        wks->SetPrinterHeader(c.header);
        wks->SetPrinterPageNumber(c.number);
        const int pages = wks->LayoutPrintPages(canvas.dc(), area);
        const int rowH = wks->GetRowHeight();
        int room = 400 - wks->GetHeaderHeight() - (c.header ? 2 * rowH : 0) - (c.number ? 2 * rowH : 0);
        const int rows = c.range[3] - c.range[2], perPage = room / rowH;
        const int rowPages = (rows + perPage - 1) / perPage;
        if (c.blocks == 1)
            EXPECT_EQ(pages, rowPages);
        else
            EXPECT_GT(pages, rowPages);
        EXPECT_EQ(pages % rowPages, 0);
        if (!c.header && rows == 100 && c.blocks == 1)
            plainPages = pages;
        if (c.header)
            EXPECT_GE(pages, plainPages);
        for (int p = 1; p <= pages; ++p) {
            PatBlt(canvas.dc(), 0, 0, 600, 400, WHITENESS);
            ASSERT_TRUE(wks->DrawPrintPage(canvas.dc(), area, p)) << p;
            qxtest::Image image = canvas.Capture();
            EXPECT_GT(image.Count(RGB(0, 0, 0)), 50) << "page " << p << " has ink";
            EXPECT_EQ(image.Count(GetSysColor(COLOR_HIGHLIGHT)), 0) << "no selection on paper";
        }
        EXPECT_FALSE(wks->DrawPrintPage(canvas.dc(), area, pages + 1));

        // The header and footer take one line each inside the margins (none here), the
        // name at the left of the top line, "Page n" centred on the bottom one, and
        // nothing else is inked.
        PatBlt(canvas.dc(), 0, 0, 600, 400, WHITENESS);
        QKPrintInfo info;
        info.curPage = 2;
        info.rectDraw = area;
        EXPECT_EQ(wks->DrawHeaderFooters(canvas.dc(), info), c.header || c.number ? TRUE : FALSE);
        qxtest::Image image = canvas.Capture();
        RECT header = {0, 0, 0, 0}, footer = {0, 0, 0, 0};
        if (c.header)
            header = {0, 0, 600, rowH};
        if (c.number)
            footer = {0, 400 - rowH, 600, 400};
        int headLeft = 600, footLeft = 600, footRight = -1;
        int outside = 0, inHeader = 0, inFooter = 0;
        for (int y = 0; y < 400; ++y)
            for (int x = 0; x < 600; ++x) {
                if (image.ColorAt(x, y) == RGB(255, 255, 255))
                    continue;
                const POINT p = {x, y};
                if (PtInRect(&header, p))
                    ++inHeader, headLeft = std::min(headLeft, x);
                else if (PtInRect(&footer, p))
                    ++inFooter, footLeft = std::min(footLeft, x), footRight = std::max(footRight, x);
                else
                    ++outside;
            }
        EXPECT_EQ(outside, 0);
        EXPECT_EQ(inHeader > 0, c.header);
        EXPECT_EQ(inFooter > 0, c.number);
        if (c.header)
            EXPECT_LT(headLeft, 10) << "the name starts at the left margin";
        if (c.number)
            EXPECT_NEAR((footLeft + footRight) / 2, 300, 4) << "the page number is centred";
        RECT gotHeader, gotFooter;
        wks->GetHeaderFooterRects(canvas.dc(), area, gotHeader, gotFooter);
        EXPECT_TRUE(EqualRect(&gotHeader, &header));
        EXPECT_TRUE(EqualRect(&gotFooter, &footer));
        EXPECT_EQ(wks->GetTopRow(), 5);
        EXPECT_EQ(wks->GetLeftColumn(), 2);
        EXPECT_EQ(wks->m_selC2, 2);
    }
}

} // namespace
