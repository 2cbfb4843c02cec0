// The ASCII import: each case a file's bytes, the options, and what every cell must hold
// afterwards (the cell as text: the number in its shortest exact form, "--" for a missing
// value, or the text).
#include <string>
#include <vector>

#include "KernelTest.h"
#include "QKAccess.h"
#include "QKAsciiImport.h"
#include "QKSysMethod.h"

namespace {

struct ImportCase {
    const char* what;
    std::string bytes;
    char delimiter;
    int header, names, labels;
    char decimal;
    std::vector<std::vector<std::string>> columns; // cells by column, top to bottom
    std::vector<std::string> columnNames;          // empty: not checked
    std::vector<int> formats;                      // empty: not checked
};

std::string Utf16(const std::u16string& text, bool bigEndian)
{
    std::string out = bigEndian ? std::string("\xFE\xFF") : std::string("\xFF\xFE");
    for (char16_t c : text) {
        char hi = (char)(c >> 8), lo = (char)(c & 0xFF);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    }
    return out;
}

const std::vector<ImportCase>& Cases()
{
    static const std::vector<ImportCase> cases = {
        {"comma, CR LF", "1,2,3\r\n4,5,6\r\n", ',', 0, 0, 0, '.', {{"1", "4"}, {"2", "5"}, {"3", "6"}}},
        {"comma, LF, no final line end", "1.5,-2e3\n0.25,7", ',', 0, 0, 0, '.', {{"1.5", "0.25"}, {"-2000", "7"}}},
        {"comma, CR only", "1,2\r3,4\r", ',', 0, 0, 0, '.', {{"1", "3"}, {"2", "4"}}},
        {"tab", "1\t2\n3\t4\n", '\t', 0, 0, 0, '.', {{"1", "3"}, {"2", "4"}}},
        {"tab keeps empty fields", "1\t\t3\n\t5\t6\n", '\t', 0, 0, 0, '.', {{"1", "--"}, {"--", "5"}, {"3", "6"}}},
        {"semicolon", "1;2\n3;4\n", ';', 0, 0, 0, '.', {{"1", "3"}, {"2", "4"}}},
        {"blanks: a run of blanks and tabs is one separator", "  1   2\t\t3  \n4 \t 5 6\n", ' ', 0, 0, 0, '.',
         {{"1", "4"}, {"2", "5"}, {"3", "6"}}},
        {"detected comma", "1,2\n3,4\n", 0, 0, 0, 0, '.', {{"1", "3"}, {"2", "4"}}},
        {"detected tab", "1\t2\n", 0, 0, 0, 0, '.', {{"1"}, {"2"}}},
        {"detected semicolon with decimal commas", "1,5;2,25\n", 0, 0, 0, 0, ',', {{"1.5"}, {"2.25"}}},
        {"detected blanks", "1 2 3\n", 0, 0, 0, 0, '.', {{"1"}, {"2"}, {"3"}}},
        {"empty field keeps its column", "1,,3\n4,5,6\n,,9\n", ',', 0, 0, 0, '.',
         {{"1", "4", "--"}, {"--", "5", "--"}, {"3", "6", "9"}}},
        {"short row leaves missing values", "1,2,3\n4\n", ',', 0, 0, 0, '.', {{"1", "4"}, {"2", "--"}, {"3", "--"}}},
        {"long row adds a column", "1\n2,3\n", ',', 0, 0, 0, '.', {{"1", "2"}, {"--", "3"}}},
        {"text among numbers stays in its cell", "1,a,3\n4,5,x y\n", ',', 0, 0, 0, '.',
         {{"1", "4"}, {"a", "5"}, {"3", "x y"}},
         {},
         {QK_FORMAT_NUMERIC, QK_FORMAT_TEXT_NUMERIC, QK_FORMAT_TEXT_NUMERIC}},
        {"a text column", "a,1\nb,2\n", ',', 0, 0, 0, '.', {{"a", "b"}, {"1", "2"}}, {}, {QK_FORMAT_TEXT, QK_FORMAT_NUMERIC}},
        {"-- is a missing value", "1,--\n", ',', 0, 0, 0, '.', {{"1"}, {"--"}}, {}, {QK_FORMAT_NUMERIC, QK_FORMAT_NUMERIC}},
        {"quoted fields", "\"a,b\",\"1.5\",\"say \"\"hi\"\"\"\n", ',', 0, 0, 0, '.', {{"a,b"}, {"1.5"}, {"say \"hi\""}}},
        {"quoted field with blanks, blank separated", "\"x y\" 2\n", ' ', 0, 0, 0, '.', {{"x y"}, {"2"}}},
        {"an open quote ends with its line", "\"abc,1\n2,3\n", ',', 0, 0, 0, '.', {{"abc,1", "2"}, {"--", "3"}}},
        {"empty quoted field is an empty text", "\"\",1\n", ',', 0, 0, 0, '.', {{""}, {"1"}}},
        {"blank lines are no rows", "1,2\n\n   \n3,4\n", ',', 0, 0, 0, '.', {{"1", "3"}, {"2", "4"}}},
        {"blanks around fields", " 1 , 2 \n", ',', 0, 0, 0, '.', {{"1"}, {"2"}}},
        {"decimal comma", "1,5\t-0,25\n", '\t', 0, 0, 0, ',', {{"1.5"}, {"-0.25"}}},
        {"decimal comma: a point makes text", "1.5;2,5\n", ';', 0, 0, 0, ',', {{"1.5"}, {"2.5"}},
         {},
         {QK_FORMAT_TEXT, QK_FORMAT_NUMERIC}},
        {"sign and exponent forms", "+1,-.5,1E-3,2.e2,inf,nan\n", ',', 0, 0, 0, '.',
         {{"1"}, {"-0.5"}, {"0.001"}, {"200"}, {"inf"}, {"nan"}}},
        {"header: names line", "Time,Volt\n1,2\n", ',', 1, 1, 0, '.', {{"1"}, {"2"}}, {"Time", "Volt"}},
        {"header: names and labels, skipped line", "file x\nT,U\ns,V\n1,2\n", ',', 3, 2, 3, '.', {{"1"}, {"2"}},
         {"T", "U"}},
        {"header lines skipped", "junk\nmore junk, here\n5,6\n", ',', 2, 0, 0, '.', {{"5"}, {"6"}}, {"A", "B"}},
        {"a name the worksheet cannot take", "Time (s),Time (s)\n1,2\n", ',', 1, 1, 0, '.', {{"1"}, {"2"}}, {"A", "B"}},
        {"UTF-8 with a mark", "\xEF\xBB\xBF" "1,2\n", ',', 0, 0, 0, '.', {{"1"}, {"2"}}},
        {"UTF-16 little-endian", Utf16(u"Name,V\r\nab,1.5\r\n", false), ',', 1, 1, 0, '.', {{"ab"}, {"1.5"}},
         {"Name", "V"}},
        {"UTF-16 big-endian", Utf16(u"3\t4\n", true), '\t', 0, 0, 0, '.', {{"3"}, {"4"}}},
        {"UTF-8 text in the program's code page", "\xEF\xBB\xBF" "caf\xC3\xA9,1\n", ',', 0, 0, 0, '.',
         {{"caf\xE9"}, {"1"}}},
    };
    return cases;
}

class AsciiImportTest : public KernelTest {
protected:
    CQKWksPage* NewWks()
    {
        auto* wks = static_cast<CQKWksPage*>(qkfxGetProject().CreatePage(QK_PAGE_WKS));
        while (wks->GetNumCols() > 0)
            wks->DeleteColumn(wks->GetNumCols());
        return wks;
    }
};

TEST_F(AsciiImportTest, EveryCellHoldsWhatTheFileSays)
{
    for (const ImportCase& c : Cases()) {
        SCOPED_TRACE(c.what);
        qkfxGetProject().New();
        CQKWksPage* wks = NewWks();
        QKAsciiImportOptions options;
        options.delimiter = c.delimiter;
        options.headerLines = c.header;
        options.namesLine = c.names;
        options.labelsLine = c.labels;
        options.decimal = c.decimal;
        QKAsciiImportResult result;
        ASSERT_TRUE(qkfxImportAsciiText(wks, c.bytes.data(), c.bytes.size(), options, &result)) << result.error;
        ASSERT_EQ(wks->GetNumCols(), (int)c.columns.size());
        EXPECT_EQ(result.columns, (int)c.columns.size());
        EXPECT_EQ(result.rows, (int)c.columns[0].size());
        for (size_t col = 0; col < c.columns.size(); ++col) {
            CQKDataset* ds = wks->GetColumn((int)col + 1);
            ASSERT_EQ(ds->GetEnd(), (int)c.columns[col].size()) << "column " << col + 1;
            for (size_t row = 0; row < c.columns[col].size(); ++row)
                EXPECT_EQ(ds->GetText((int)row), c.columns[col][row]) << "column " << col + 1 << " row " << row + 1;
            if (!c.columnNames.empty())
                EXPECT_EQ(ds->m_columnName, c.columnNames[col]);
            if (!c.formats.empty())
                EXPECT_EQ(ds->m_format, c.formats[col]) << "column " << col + 1;
        }
    }
}

TEST_F(AsciiImportTest, NamesAndLabels)
{
    CQKWksPage* wks = NewWks();
    QKAsciiImportOptions options;
    options.headerLines = 2;
    options.namesLine = 1;
    options.labelsLine = 2;
    const std::string text = "t,Time (s)\nTime,Signal\n1,2\n";
    QKAsciiImportResult result;
    ASSERT_TRUE(qkfxImportAsciiText(wks, text.data(), text.size(), options, &result));
    EXPECT_EQ(wks->GetColumn(1)->m_columnName, "t");
    EXPECT_EQ(wks->GetColumn(1)->m_label, "Time");
    EXPECT_EQ(wks->GetColumn(2)->m_columnName, "B") << "not a column name";
    EXPECT_EQ(wks->GetColumn(2)->m_label, "Signal");
    EXPECT_TRUE(wks->m_labelsShown);
}

TEST_F(AsciiImportTest, ReplacingAndAppending)
{
    CQKWksPage* wks = NewWks();
    wks->AddColumn();
    wks->AddColumn();
    wks->AddColumn();
    for (int r = 0; r < 5; ++r)
        wks->GetColumn(3)->SetValue(r, 9);
    QKAsciiImportOptions options;
    QKAsciiImportResult result;
    std::string text = "1,a\n2,b\n";
    ASSERT_TRUE(qkfxImportAsciiText(wks, text.data(), text.size(), options, &result));
    EXPECT_EQ(wks->GetColumn(3)->GetEnd(), 0) << "replaced data leave no rows behind";
    EXPECT_EQ(wks->GetColumn(2)->m_format, QK_FORMAT_TEXT);

    // Appending: rows after the longest column; text only into text columns.
    options.append = true;
    text = "3,c\nx,d\n";
    ASSERT_TRUE(qkfxImportAsciiText(wks, text.data(), text.size(), options, &result));
    EXPECT_EQ(wks->GetColumn(1)->GetEnd(), 4);
    EXPECT_EQ(wks->GetColumn(1)->GetText(2), "3");
    EXPECT_EQ(wks->GetColumn(1)->GetText(3), "--") << "a numeric column takes no text";
    EXPECT_EQ(wks->GetColumn(2)->GetText(3), "d");
    EXPECT_EQ(wks->GetColumn(1)->m_format, QK_FORMAT_NUMERIC);
}

bool CancelAtOnce(double, void* user)
{
    ++*(int*)user;
    return false;
}

TEST_F(AsciiImportTest, CancelKeepsTheRowsRead)
{
    std::string text;
    for (int i = 0; i < 200000; ++i)
        text += std::to_string(i) + "," + std::to_string(2 * i) + "\n";
    CQKWksPage* wks = NewWks();
    QKAsciiImportOptions options;
    int calls = 0;
    options.progress = CancelAtOnce;
    options.progressUser = &calls;
    QKAsciiImportResult result;
    ASSERT_TRUE(qkfxImportAsciiText(wks, text.data(), text.size(), options, &result));
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(calls, 1);
    ASSERT_GT(result.rows, 0);
    EXPECT_LT(result.rows, 200000);
    EXPECT_EQ(wks->GetColumn(2)->GetEnd(), result.rows);
    EXPECT_EQ(wks->GetColumn(2)->GetValue(result.rows - 1), 2.0 * (result.rows - 1));
}

TEST_F(AsciiImportTest, NothingToImport)
{
    CQKWksPage* wks = NewWks();
    QKAsciiImportOptions options;
    QKAsciiImportResult result;
    EXPECT_FALSE(qkfxImportAsciiText(wks, "\n\n", 2, options, &result));
    EXPECT_EQ(result.error, "the file holds no data");
    EXPECT_FALSE(qkfxImportAscii(wks, "Z:\\no\\such\\file.csv", options, &result));
    EXPECT_NE(result.error.find("cannot open"), std::string::npos);
    EXPECT_EQ(wks->GetNumCols(), 0);
}

TEST_F(AsciiImportTest, NumberReader)
{
    struct {
        const char* text;
        char decimal;
        bool ok;
        double value;
    } cases[] = {
        {"12", '.', true, 12},      {"-1.25e-2", '.', true, -0.0125}, {"+3", '.', true, 3},
        {"+-3", '.', false, 0},     {"", '.', false, 0},              {"1.2.3", '.', false, 0},
        {"1,5", ',', true, 1.5},    {"1.5", ',', false, 0},           {"1e999", '.', false, 0},
        {"0x10", '.', false, 0},    {"12 ", '.', false, 0},           {".5", '.', true, 0.5},
    };
    for (const auto& c : cases) {
        double v = 0;
        EXPECT_EQ(qkfxParseNumber(c.text, c.text + strlen(c.text), c.decimal, &v), c.ok) << c.text;
        if (c.ok)
            EXPECT_EQ(v, c.value) << c.text;
    }
}

TEST_F(AsciiImportTest, OptionsComeFromTheSettings)
{
    QKSysMethodWks& wks = qkfxGetQrxSystem().GetRefWks();
    QKSysMethodNumeric& numeric = qkfxGetQrxSystem().GetRefNumeric();
    struct {
        int delimiter, separators;
        char wantDelimiter, wantDecimal;
    } cases[] = {{0, 1, 0, '.'}, {1, 1, ',', '.'}, {2, 2, '\t', ','}, {3, 3, ';', ','}, {4, 4, ' ', '.'}};
    for (const auto& c : cases) {
        wks.SetAsciiDelimiter(c.delimiter);
        numeric.SetSeparators(c.separators);
        wks.SetAsciiHeaderLines(2);
        wks.SetAsciiNamesLine(1);
        QKAsciiImportOptions o = qkfxGetAsciiImportOptions();
        EXPECT_EQ(o.delimiter, c.wantDelimiter);
        EXPECT_EQ(o.decimal, c.wantDecimal);
        EXPECT_EQ(o.headerLines, 2);
        EXPECT_EQ(o.namesLine, 1);
    }
    wks.SetAsciiDelimiter(0);
    wks.SetAsciiHeaderLines(0);
    wks.SetAsciiNamesLine(0);
    numeric.SetSeparators(0);
}

// Export ASCII writes what the import reads back, cell for cell, with each delimiter and
// decimal character.
TEST_F(AsciiImportTest, ExportReadsBackTheSame)
{
    CQKWksPage* wks = NewWks();
    const std::string text = "0.1,x y,1e-300\n-2.5,\"a,\"\"b\"\"\",\n,--,7\n";
    QKAsciiImportOptions options;
    options.delimiter = ',';
    QKAsciiImportResult result;
    ASSERT_TRUE(qkfxImportAsciiText(wks, text.data(), text.size(), options, &result));
    wks->GetColumn(2)->m_label = "Label, with comma";
    TempFile file("qk_export.csv", "");
    struct {
        char delimiter, decimal;
        int header, names, labels;
    } cases[] = {{',', '.', 0, 0, 0}, {'\t', ',', 2, 1, 2}, {';', ',', 1, 0, 1}, {' ', '.', 1, 1, 0}, {0, ',', 0, 0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("delimiter ") + c.delimiter);
        options.delimiter = c.delimiter;
        options.decimal = c.decimal;
        options.headerLines = c.header;
        options.namesLine = c.names;
        options.labelsLine = c.labels;
        std::string error;
        ASSERT_TRUE(qkfxExportAscii(wks, file.path, options, &error)) << error;
        // The reader detects a blank-separated export's tab.
        if (options.delimiter == ' ')
            options.delimiter = 0;
        qkfxGetProject().SetActivePage(wks);
        CQKWksPage* back = static_cast<CQKWksPage*>(qkfxGetProject().CreatePage(QK_PAGE_WKS));
        ASSERT_TRUE(qkfxImportAscii(back, file.path, options, &result)) << result.error;
        ASSERT_EQ(back->GetNumCols(), 3);
        for (int col = 1; col <= 3; ++col) {
            ASSERT_EQ(back->GetColumn(col)->GetEnd(), 3) << col;
            for (int row = 0; row < 3; ++row)
                EXPECT_EQ(back->GetColumn(col)->GetText(row), wks->GetColumn(col)->GetText(row)) << col << "," << row;
        }
        if (c.labels)
            EXPECT_EQ(back->GetColumn(2)->m_label, "Label, with comma");
        back->Destroy();
    }
    std::string error;
    EXPECT_FALSE(qkfxExportAscii(wks, "Z:\\no\\such\\folder\\x.csv", options, &error));
    EXPECT_NE(error.find("cannot write"), std::string::npos);
}

// The script commands: open with an ASCII file, import -w, -a, -n with one file or several
// of a folder.
TEST_F(AsciiImportTest, OpenCommandImports)
{
    TempFile a("qk_import_a.csv", "1,2\n3,4\n");
    TempFile b("qk_import_b.csv", "5\n6\n7\n");
    ASSERT_TRUE(Run("open \"" + a.path + "\"")) << err;
    CQKWksPage* first = qkfxGetProject().GetActiveWks();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetNumCols(), 2);
    EXPECT_EQ(first->GetColumn(2)->GetValue(1), 4);

    ASSERT_TRUE(Run("import -a \"" + b.path + "\"")) << err;
    EXPECT_EQ(first->GetColumn(1)->GetEnd(), 5);
    EXPECT_EQ(first->GetColumn(1)->GetValue(4), 7);

    // Several files: the first into the active worksheet, the others each into a new one.
    std::string folder = a.path.substr(0, a.path.find_last_of('\\') + 1);
    ASSERT_TRUE(Run("import -w \"" + folder + "qk_import_b.csv|qk_import_a.csv\"")) << err;
    EXPECT_EQ(first->GetColumn(1)->GetEnd(), 3);
    EXPECT_EQ(first->GetColumn(2)->GetEnd(), 0);
    CQKWksPage* second = qkfxGetProject().GetActiveWks();
    ASSERT_NE(second, first);
    EXPECT_EQ(second->GetColumn(2)->GetValue(0), 2);
    EXPECT_EQ(qkfxGetProject().GetNumPages(), 2);

    EXPECT_FALSE(Run("import -n \"" + folder + "qk_no_such_file.csv\""));
    EXPECT_NE(err.find("was not imported: cannot open"), std::string::npos) << err;
    EXPECT_EQ(qkfxGetProject().GetNumPages(), 2) << "a failed import leaves no empty worksheet";
}

} // namespace
