// Malformed and mutated input: fields that must keep their columns, line breaks that must
// not join numbers, counts a file cannot hold, long elements, file numbers that must not
// come back, positions beyond 2 GB. Every fixture is written here byte by byte.
#include "FumFixture.h"

#include <stdio.h>
#include <string.h>

#include "qxdefs.h"

namespace {

std::vector<unsigned char> Text(const std::string& s)
{
    return std::vector<unsigned char>(s.begin(), s.end());
}

const double M = MISSING_VALUE;

// The cell as a number; a cell never written is missing.
double Cell(const std::string& dataset, size_t row)
{
    HostDataset* d = TestHost::Get().DatasetByName(dataset);
    if (!d)
        return -999;
    return row < d->values.size() ? d->values[row] : M;
}

std::vector<double> Row(const char* worksheet, size_t row, int columns)
{
    std::vector<double> out;
    for (int c = 0; c < columns; ++c)
        out.push_back(Cell(std::string(worksheet) + "_" + static_cast<char>('A' + c), row));
    return out;
}

bool PrintedContains(const std::vector<std::string>& printed, const char* text)
{
    for (const std::string& line : printed)
        if (line.find(text) != std::string::npos)
            return true;
    return false;
}

} // namespace

// One row per case: the text, the separator and line mode, the reader, and the first
// rows of the worksheet afterwards. Empty fields and fields without a number keep their
// column, missing; blank and tab separators run together; a line break of any kind ends
// the number before it.
TEST_F(FumTest, FieldsKeepTheirColumnsAndBreaksNeverJoinNumbers)
{
    struct Case {
        const char* name;
        std::string content;
        int listSep, lineMode;
        const char* method;
        int calls;
        std::vector<std::vector<double>> rows;
    } cases[] = {
        {"not a number", "1,NaN,3\r\n", 44, 0, "READASCII", 1, {{1, M, 3, M}}},
        {"empty field", "7,,9\r\n", 44, 0, "LINEROW", 1, {{7, M, 9, M}}},
        {"empty first field", ",5\r\n", 44, 0, "LINEROW", 1, {{M, 5, M, M}}},
        {"lone minus", "1;-;3", 59, 0, "READASCII", 1, {{1, M, 3, M}}},
        {"aligned with blanks and tabs", "  1   2\t 3\r\n", 32, 0, "LINEROW", 1, {{1, 2, 3, M}}},
        {"aligned with tabs", "1\t\t2 \t3\r\n", 9, 0, "LINEROW", 1, {{1, 2, 3, M}}},
        {"lone CR in mode 0", "1,2\r3,4\r\n", 44, 0, "LINEROW", 1, {{1, 2, 3, 4}}},
        {"Unix file in mode 0 is one line", "1,2\n3,4\n", 44, 0, "LINEROW", 2, {{1, 2, 3, 4}, {M, M, M, M}}},
        {"Unix file in mode 1", "1,2\n3,4\n", 44, 1, "LINEROW", 2, {{1, 2, M, M}, {3, 4, M, M}}},
        {"CR file in mode 1", "1,2\r3,4\r", 44, 1, "READASCII", 1, {{1, 2, 3, 4}}},
        {"DOS file in mode 2", "1,2\r\n3,4\r\n", 44, 2, "LINEROW", 2, {{1, 2, M, M}, {3, 4, M, M}}},
        {"DOS file in mode 1", "1,2\r\n3,4\r\n", 44, 1, "LINEROW", 2, {{1, 2, M, M}, {3, 4, M, M}}},
        {"trailing separator", "1,2,\r\n3\r\n", 44, 0, "LINEROW", 2, {{1, 2, M, M}, {3, M, M, M}}},
        {"empty line writes nothing", "\r\n5,6\r\n", 44, 0, "LINEROW", 2, {{5, 6, M, M}}},
        {"stray characters dropped", "1x,\"2\"\r\n", 44, 0, "LINEROW", 1, {{1, 2, M, M}}},
        {"lone LF after a line end in mode 0", "1\r\n\n2,3\r\n", 44, 0, "LINEROW", 2, {{1, M, M, M}, {2, 3, M, M}}},
        {"blank separator and LF", "10 20\n30", 32, 0, "READASCII", 1, {{10, 20, 30, M}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestHost::Get().Reset();
        TestHost::Get().AddWorksheet("W", {"A", "B", "C", "D"}, 0);
        for (int col = 1; col <= 4; ++col)
            TestHost::Get().Worksheet("W")->formats[col] = 0; // numbers
        ASSERT_EQ(Value("CLOSEALL"), 0);
        ASSERT_EQ(Value("RESET"), 0);
        ASSERT_EQ(Set("LISTSEP", c.listSep), 1);
        ASSERT_EQ(Set("NLINESMODE", c.lineMode), 1);
        WriteBytes(Path("f.txt"), Text(c.content));
        Value("OPEN", Path("f.txt"));
        std::string method = c.method;
        std::string argument = method == "READASCII" ? ",W" : "W";
        for (int i = 0; i < c.calls; ++i) {
            double v = 0;
            Run(c.method, argument, &v);
        }
        for (size_t r = 0; r < c.rows.size(); ++r)
            EXPECT_EQ(Row("W", r, 4), c.rows[r]) << "row " << r;
    }
    // READARRAY: one value per row, whatever ends the lines.
    for (int mode : {0, 1, 2}) {
        SCOPED_TRACE(mode);
        TestHost::Get().Reset();
        TestHost::Get().AddDataset("D", std::vector<double>(4, -7));
        ASSERT_EQ(Value("CLOSEALL"), 0);
        ASSERT_EQ(Set("NLINESMODE", mode), 1);
        WriteBytes(Path("a.txt"), Text("1\n2\n3"));
        Value("OPEN", Path("a.txt"));
        EXPECT_EQ(Value("READARRAY", "D,1,3"), 3);
        EXPECT_EQ(TestHost::Get().DatasetByName("D")->values, (std::vector<double>{1, 2, 3, -7}));
    }
}

TEST_F(FumTest, ReadRowKeepsTextAndEmptyFieldsInPlace)
{
    TestHost::Get().AddWorksheet("W", {"A", "B", "C", "D"}, 0);
    HostWorksheet* w = TestHost::Get().Worksheet("W");
    for (int c = 1; c <= 4; ++c)
        w->formats[c] = 1; // text
    WriteBytes(Path("r.txt"), Text("a,,c,d\r\n"));
    Value("OPEN", Path("r.txt"));
    EXPECT_EQ(Value("READROW", "W,4"), 4);
    EXPECT_EQ(TestHost::Get().DatasetByName("W_A")->texts[0], "a");
    EXPECT_EQ(TestHost::Get().DatasetByName("W_B")->texts.count(0), 0u);
    EXPECT_EQ(TestHost::Get().DatasetByName("W_C")->texts[0], "c");
    EXPECT_EQ(TestHost::Get().DatasetByName("W_D")->texts[0], "d");
}

// A file that begins with a UTF-16 byte-order mark is refused by the text readers, with a
// message that names the import that reads it; nothing is written.
TEST_F(FumTest, Utf16TextIsRefusedWithAMessage)
{
    for (int order = 0; order < 2; ++order) {
        SCOPED_TRACE(order);
        TestHost::Get().Reset();
        TestHost::Get().AddWorksheet("W", {"A"}, 0);
        ASSERT_EQ(Value("CLOSEALL"), 0);
        std::vector<unsigned char> bytes = order ? std::vector<unsigned char>{0xFE, 0xFF, 0, '1', 0, ',', 0, '2'}
                                                 : std::vector<unsigned char>{0xFF, 0xFE, '1', 0, ',', 0, '2', 0};
        WriteBytes(Path("u.txt"), bytes);
        Value("OPEN", Path("u.txt"));
        for (const char* method : {"READASCII", "LINEROW"}) {
            ASSERT_EQ(Set("NEWACTIONS", 1), 1);
            EXPECT_EQ(Run(method, method == std::string("LINEROW") ? "W" : ",W"), QM_NOT_HANDLED) << method;
            EXPECT_EQ(Get("ERROR"), 41) << method;
        }
        EXPECT_TRUE(PrintedContains(Printed(), "File Import ASCII"));
        EXPECT_TRUE(TestHost::Get().DatasetByName("W_A")->values.empty());
    }
}

// Counts taken from a file are checked against the file before anything is added or
// allocated: a 424-byte SigmaPlot file claiming 26,000 columns, a block read asking for
// two billion values of a 16-byte file.
TEST_F(FumTest, CountsAFileCannotHoldAreRefusedOrCutToTheFile)
{
    TestHost::Get().AddWorksheet("S", {"A", "B"}, 0);
    std::vector<unsigned char> f(424, 0);
    memcpy(&f[32], "Other", 6);
    uint32_t p = 120;
    memcpy(&f[80], &p, 4);
    int16_t last = 25999;
    memcpy(&f[p + 44], &last, 2);
    WriteBytes(Path("s.jnb"), f);
    Value("OPEN", Path("s.jnb"));
    EXPECT_EQ(Run("SIGMAWIN", "S"), QM_NOT_HANDLED);
    EXPECT_EQ(Get("ERROR"), 41);
    EXPECT_EQ(TestHost::Get().Worksheet("S")->columns.size(), 2u) << "no column was added";
    EXPECT_TRUE(PrintedContains(Printed(), "26000 columns"));

    TestHost::Get().AddDataset("D", {});
    std::vector<unsigned char> doubles(16);
    double two[2] = {1.5, -2};
    memcpy(doubles.data(), two, 16);
    WriteBytes(Path("d.bin"), doubles);
    Value("OPEN", Path("d.bin"));
    ASSERT_EQ(Set("NBYTES", 8), 1);
    ASSERT_EQ(Set("NEWACTIONS", 1), 1);
    double v = 0;
    EXPECT_EQ(Run("AREAD", "D,1,2000000000,1", &v), QM_NOT_HANDLED);
    EXPECT_EQ(Get("ERROR"), 33);
    EXPECT_EQ(TestHost::Get().DatasetByName("D")->values, (std::vector<double>{1.5, -2}));
}

// A Mathematica element longer than 121 characters arrives whole in its cell.
TEST_F(FumTest, LongMathematicaElementsStayWhole)
{
    TestHost::Get().AddWorksheet("M", {"A"}, 0);
    std::string digits(300, '7');
    WriteBytes(Path("m.txt"), Text("{" + digits + ",2}"));
    Value("OPEN", Path("m.txt"));
    EXPECT_EQ(Value("MATHEMATICA", "M"), MISSING_VALUE);
    std::map<int, std::string>& texts = TestHost::Get().DatasetByName("M_A")->texts;
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], digits);
    EXPECT_EQ(texts[1], "2");
}

// File numbers are never handed out twice in a process: a number kept from a closed file
// reaches no later file.
TEST_F(FumTest, FileNumbersNeverComeBack)
{
    WriteBytes(Path("a.txt"), Text("a"));
    WriteBytes(Path("b.txt"), Text("b"));
    double first = Value("OPEN", Path("a.txt"));
    ASSERT_EQ(Value("CLOSE"), 0);
    double second = Value("OPEN", Path("b.txt"));
    double third = Value("OPEN", Path("a.txt"));
    EXPECT_NE(second, first);
    EXPECT_NE(third, first);
    EXPECT_NE(third, second);
    for (double n : {first, second, third}) {
        EXPECT_GE(n, 0);
        EXPECT_LE(n, 99999);
    }
    ASSERT_EQ(Set("NEWACTIONS", 1), 1);
    EXPECT_EQ(Run("GETPOS", std::to_string(static_cast<int>(first))), QM_NOT_HANDLED);
    EXPECT_EQ(Get("ERROR"), 14) << "the closed file's number names no file";
    double v = 0;
    EXPECT_EQ(Run("OPEN", Path("nowhere\\x.txt"), &v), QM_NOT_HANDLED);
    EXPECT_EQ(v, -1);
}

// Positions past 2 GB: SIZE, SETPOS, GETPOS and JUMP carry them whole. The file is sparse,
// so it takes no room on the disk.
TEST_F(FumTest, PositionsBeyondTwoGigabytes)
{
    std::string path = Path("big.bin");
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD ignored = 0;
    DeviceIoControl(h, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
    LARGE_INTEGER at;
    at.QuadPart = 3000000000LL;
    ASSERT_TRUE(SetFilePointerEx(h, at, nullptr, FILE_BEGIN));
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(h, "AB", 2, &written, nullptr));
    CloseHandle(h);

    Value("OPEN", path);
    EXPECT_EQ(Value("SIZE"), 3000000002.0);
    EXPECT_EQ(Value("SETPOS", "3000000001"), 3000000001.0);
    EXPECT_EQ(Value("GETPOS"), 3000000001.0);
    EXPECT_EQ(Value("READ", "1"), 'B');
    EXPECT_EQ(Value("JUMP", "-2"), 3000000000.0);
    EXPECT_EQ(Value("READ", "1"), 'A');
    EXPECT_EQ(Value("JUMP", "-2999999999"), 2.0);
    ASSERT_EQ(Value("CLOSE"), 0);
    DeleteFileA(path.c_str());
}

// Reading goes through a buffer kept while the file is open: what the same file, open
// under another number, writes in between is read, not what the buffer held.
TEST_F(FumTest, ReadsSeeWhatAnotherNumberWroteToTheSameFile)
{
    WriteBytes(Path("shared.bin"), {'a', 'b', 'c'});
    int writer = static_cast<int>(Value("OPEN", Path("shared.bin") + ",2"));
    int reader = static_cast<int>(Value("OPEN", Path("shared.bin")));
    EXPECT_EQ(Value("READ", "1," + std::to_string(reader)), 'a');
    EXPECT_EQ(Value("SETPOS", "1," + std::to_string(writer)), 1);
    EXPECT_EQ(Value("WRITE", "88,1," + std::to_string(writer)), 1);
    EXPECT_EQ(Value("READ", "1," + std::to_string(reader)), 'X');
    EXPECT_EQ(Value("READ", "1," + std::to_string(reader)), 'c');
}

// A line end whose CR is the last byte of the read buffer and whose LF is the first of
// the next still ends one line.
TEST_F(FumTest, LineEndsAcrossBufferEndsEndTheirLines)
{
    const size_t block = 64 * 1024;
    std::string first = "1,";
    first += std::string(block - 1 - first.size() - 1, '0') + "2\r\n";
    ASSERT_EQ(first.find('\r'), block - 1);
    std::string text = first;
    for (int i = 3; i < 600; ++i)
        text += std::to_string(i) + "," + std::to_string(-i) + "\r\n";
    TestHost::Get().AddWorksheet("W", {"A", "B"}, 0);
    for (int col = 1; col <= 2; ++col)
        TestHost::Get().Worksheet("W")->formats[col] = 0; // numbers
    WriteBytes(Path("lines.txt"), Text(text));
    Value("OPEN", Path("lines.txt"));
    EXPECT_EQ(Value("LINEROW", "W"), 2);
    EXPECT_EQ(Row("W", 0, 2), (std::vector<double>{1, 2}));
    for (int i = 3; i < 600; ++i)
        ASSERT_EQ(Value("LINEROW", "W"), 2) << i;
    EXPECT_EQ(Row("W", 1, 2), (std::vector<double>{3, -3}));
    EXPECT_EQ(Row("W", 597, 2), (std::vector<double>{599, -599}));
    EXPECT_EQ(Row("W", 598, 2), (std::vector<double>{M, M}));
}

// Numbers that straddle the ends of the read buffer arrive whole.
TEST_F(FumTest, NumbersAcrossBufferEndsArriveWhole)
{
    std::string text;
    std::vector<double> expected;
    for (int i = 0; i < 30000; ++i) {
        expected.push_back(i * 7.25 - 1000);
        char number[32];
        snprintf(number, sizeof number, "%.2f%s", expected.back(), i % 3 == 2 ? "\r\n" : ",");
        text += number;
    }
    TestHost::Get().AddDataset("D", std::vector<double>(expected.size(), -7));
    WriteBytes(Path("long.txt"), Text(text));
    Value("OPEN", Path("long.txt"));
    EXPECT_EQ(Value("READARRAY", "D,1," + std::to_string(expected.size())), expected.size());
    EXPECT_EQ(TestHost::Get().DatasetByName("D")->values, expected);
}
