// Text readers and writers against small files whose every byte the test writes, with the
// framework's recording host holding the worksheets, datasets and string variables.
#include "FumFixture.h"

#include "qxdefs.h"

namespace {

std::vector<unsigned char> Text(const std::string& s)
{
    return std::vector<unsigned char>(s.begin(), s.end());
}

std::vector<double> Column(const char* worksheet, const char* column)
{
    HostDataset* d = TestHost::Get().DatasetByName(std::string(worksheet) + "_" + column);
    return d ? d->values : std::vector<double>{-999};
}

} // namespace

TEST_F(FumTest, ReadAsciiFollowsItsSubProperties)
{
    struct Row {
        std::string name, content;
        std::vector<std::pair<const char*, double>> numbers;
        std::vector<std::pair<const char*, std::string>> texts;
        std::string argument;
        double value;
        std::string variable;     // %A afterwards
        double position;
        std::vector<double> columnA, columnC;
    } rows[] = {
        {"to the end, NUL not counted", std::string("ab\0c", 4), {}, {}, "", 3, "", 4, {}, {}},
        {"CR LF rows, empty field keeps its column", "1,,3\r\n", {}, {}, ",W", 2, "", 6, {1}, {3}},
        {"blanks join digits", "1 2,-3\r\n", {}, {}, ",W", 4, "", 8, {12}, {}},
        {"semicolon separator", "1.5e3;x", {{"LISTSEP", 59}}, {}, ",W", 5, "", 7, {1500}, {}},
        {"include filter", "ab1c2\r\n3", {{"READMODE", 1}}, {{"INCLUDE", "0123456789"}}, "A", 3, "123", 8, {}, {}},
        {"exclude filter", "a,b\r\n", {}, {{"EXCLUDE", "\r\n,"}}, "A", 2, "ab", 5, {}, {}},
        {"stop character", "ab#cd", {{"STOPMODE", 1}}, {{"STOPCHAR", "#"}}, "A", 3, "ab#", 3, {}, {}},
        {"three tokens", "a,b,c,d", {{"STOPMODE", 4}, {"NTOKENS", 3}}, {}, "A", 6, "a,b,c,", 6, {}, {}},
        {"stop string", "x,end,y", {{"STOPMODE", 2}}, {{"STOPSTRING", "end,"}}, "A", 6, "x,end,", 6, {}, {}},
        {"no line count stops at the first", "l1\r\nl2\r\nl3", {{"STOPMODE", 8}, {"NLINES", 0}}, {}, "A", 4, "l1\r\n", 4, {}, {}},
        {"two lines", "l1\r\nl2\r\nl3", {{"STOPMODE", 8}, {"LINES", 2}}, {}, "A", 8, "l1\r\nl2\r\n", 8, {}, {}},
        {"three lines", "1\n2\n3\n4\n", {{"STOPMODE", 8}, {"NLINES", 3}, {"NLINESMODE", 1}}, {}, "A", 6, "1\n2\n3\n", 6, {}, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TestHost::Get().Reset();
        TestHost::Get().AddWorksheet("W", {"A", "B", "C"}, 0);
        ASSERT_EQ(Value("RESET"), 0);
        WriteBytes(Path("t.txt"), Text(row.content));
        Value("OPEN", Path("t.txt"));
        for (const auto& [name, v] : row.numbers) {
            double value = v;
            bool sub = std::string(name) != "LISTSEP" && std::string(name) != "NLINESMODE";
            EXPECT_EQ(Call(sub ? "READASCII" : nullptr, name, &value, OBJOP_SET_NUMBER), 1) << name;
        }
        for (const auto& [name, t] : row.texts) {
            std::vector<char> buffer(t.begin(), t.end());
            buffer.resize(QM_STRING_RESULT_SIZE, '\0');
            EXPECT_EQ(Call("ASCII", name, buffer.data(), OBJOP_SET_STRING), 1) << name;
        }
        EXPECT_EQ(Value("READASCII", row.argument), row.value);
        EXPECT_EQ(TestHost::Get().stringVars[0], row.variable);
        EXPECT_EQ(Value("GETPOS"), row.position);
        if (!row.columnA.empty()) {
            EXPECT_EQ(Column("W", "A"), row.columnA);
        }
        if (!row.columnC.empty()) {
            EXPECT_EQ(Column("W", "C"), row.columnC);
        }
        Value("CLOSE");
    }
}

TEST_F(FumTest, ReadAsciiFillsTheNextFreeRowEachCall)
{
    TestHost::Get().AddWorksheet("W", {"A", "B"}, 0);
    WriteBytes(Path("rows.txt"), Text("1,2\r\n3,4\r\n"));
    Value("OPEN", Path("rows.txt"));
    double mode = 8;
    ASSERT_EQ(Call("READASCII", "STOPMODE", &mode, OBJOP_SET_NUMBER), 1);
    EXPECT_EQ(Value("READASCII", ",W"), 2);
    EXPECT_EQ(Value("READASCII", ",W"), 2);
    EXPECT_EQ(Column("W", "A"), (std::vector<double>{1, 3}));
    EXPECT_EQ(Column("W", "B"), (std::vector<double>{2, 4}));
    // RESET brings the sub-properties back.
    ASSERT_EQ(Value("RESET"), 0);
    double v = -1;
    EXPECT_EQ(Call("READASCII", "STOPMODE", &v, OBJOP_GET_NUMBER), 1);
    EXPECT_EQ(v, 0);
    EXPECT_EQ(Call("READASCII", "TOKENS", &v, OBJOP_GET_NUMBER), 1);
    EXPECT_EQ(v, 1);
}

TEST_F(FumTest, RowTokenAndArrayReaders)
{
    TestHost::Get().AddWorksheet("W", {"A", "B", "C", "D"}, 0);
    HostWorksheet* w = TestHost::Get().Worksheet("W");
    for (int c : {1, 3, 4})
        w->formats[c] = 0;
    w->formats[2] = 1; // text
    TestHost::Get().AddDataset("D", std::vector<double>(8, -7));
    WriteBytes(Path("r.txt"), Text("1,2,3\r\n4,x5\r\n6,7\r\n"));
    Value("OPEN", Path("r.txt"));

    EXPECT_EQ(Value("LINEROW", "W"), 3);
    EXPECT_EQ(Value("GETPOS"), 7);
    EXPECT_EQ(Column("W", "A"), std::vector<double>{1});
    EXPECT_EQ(TestHost::Get().DatasetByName("W_B")->texts[0], "2");
    EXPECT_EQ(Column("W", "C"), std::vector<double>{3});
    // READROW keeps every character of a field and counts line ends as boundaries.
    EXPECT_EQ(Value("READROW", "W,4"), 4);
    EXPECT_EQ(Column("W", "A"), (std::vector<double>{1, 4}));
    EXPECT_EQ(TestHost::Get().DatasetByName("W_B")->texts[1], "x5");
    EXPECT_EQ(Column("W", "C"), (std::vector<double>{3, 6}));
    EXPECT_EQ(Column("W", "D").at(1), 7);
    EXPECT_EQ(Value("GETPOS"), 18);
    // At the end of the file no row of nothing is added.
    double v = -1;
    EXPECT_EQ(Run("LINEROW", "W", &v), 1);
    EXPECT_EQ(Column("W", "A").size(), 2u);

    WriteBytes(Path("a.txt"), Text("1,,3"));
    Value("OPEN", Path("a.txt"));
    EXPECT_EQ(Value("READARRAY", "D,5,7"), 3);
    EXPECT_EQ(TestHost::Get().DatasetByName("D")->values, (std::vector<double>{-7, -7, -7, -7, 1, -7, 3, -7}));

    WriteBytes(Path("tok.txt"), Text("abc\r\nde\r\nf,g\r\n"));
    Value("OPEN", Path("tok.txt"));
    EXPECT_EQ(Value("TREAD", "B,2"), 7);
    EXPECT_EQ(TestHost::Get().stringVars[1], "abc\r\nde");
    EXPECT_EQ(Value("GETPOS"), 9);
    EXPECT_EQ(Value("READTOKEN", "c,1"), 2);
    EXPECT_EQ(TestHost::Get().stringVars[2], "f,");
    EXPECT_EQ(Value("REWIND"), 0);
    ASSERT_EQ(Set("NLINESMODE", 1), 1);
    EXPECT_EQ(Value("LREAD", "D"), 4);
    EXPECT_EQ(TestHost::Get().stringVars[3], "abc\r");
    // Strings ended by NUL, as binary files hold them.
    WriteBytes(Path("strings.bin"), {'a', 'b', 0, 'c', 0});
    Value("OPEN", Path("strings.bin"));
    ASSERT_EQ(Set("LISTSEP", 0), 1);
    ASSERT_EQ(Set("NEWACTIONS", 1), 1);
    EXPECT_EQ(Value("READTOKEN", "E,1"), 3);
    EXPECT_EQ(TestHost::Get().stringVars[4], "ab");
    EXPECT_EQ(Value("GETPOS"), 3);
}

TEST_F(FumTest, TextReaderErrorsInBothModes)
{
    WriteBytes(Path("e.txt"), Text("1,2\r\n"));
    WriteBytes(Path("empty.txt"), {});
    TestHost::Get().AddDataset("D", {0});
    struct Row {
        const char* method;
        std::string argument;
        double classicError, extendedError;
    } rows[] = {
        {"TREAD", "1,2", 65, 18},
        {"TREAD", "A", 1024, 10},
        {"READTOKEN", "A", 1024, 10},
        {"LINEROW", "", 1024, 10},
        {"READARRAY", "D,5", 1024, 10},
        {"READARRAY", "D,5,3", 64, 19},
        {"CREAD", "A", 1024, 10},
        {"CREAD", "?,3", 65, 18},
        {"TREAD", "A,0", 0, 12},
        {"READTOKEN", "A,0", 0, 12},
    };
    double h = Value("OPEN", Path("e.txt"));
    for (const Row& row : rows)
        for (int extended = 0; extended < 2; ++extended) {
            SCOPED_TRACE(std::string(row.method) + "(" + row.argument + ") extended " + std::to_string(extended));
            ASSERT_EQ(Set("NEWACTIONS", extended), 1);
            ASSERT_EQ(Value("REWIND", std::to_string(static_cast<int>(h))), 0);
            EXPECT_EQ(Run(row.method, row.argument), QM_NOT_HANDLED);
            EXPECT_EQ(Get("ERROR"), extended ? row.extendedError : row.classicError);
            EXPECT_EQ(Value("GETPOS"), 0);
        }
    // An empty file is the end of the file in extended mode and nothing in classic mode.
    ASSERT_EQ(Set("NEWACTIONS", 0), 1);
    Value("OPEN", Path("empty.txt"));
    EXPECT_EQ(Value("READASCII"), 0);
    ASSERT_EQ(Set("NEWACTIONS", 1), 1);
    EXPECT_EQ(Run("READASCII", ""), QM_NOT_HANDLED);
    EXPECT_EQ(Get("ERROR"), 33);
}

TEST_F(FumTest, TextWritersWriteTheBytesAndReadBack)
{
    TestHost::Get().stringVars[0] = "hello";
    TestHost::Get().stringVars[1] = "";
    double h = Value("OPEN", Path("w.txt") + ",2");
    // Classic mode takes the text between double quotes, and a file number after it.
    EXPECT_EQ(Value("TWRITE", "\"abc\"," + std::to_string(static_cast<int>(h))), 3);
    EXPECT_EQ(Value("LWRITE", "\"1,2\""), 5);
    ASSERT_EQ(Set("NLINESMODE", 1), 1);
    EXPECT_EQ(Value("LWRITE", "\"x\""), 2);
    ASSERT_EQ(Set("NEWACTIONS", 1), 1);
    EXPECT_EQ(Value("TWRITE", "A"), 5);
    EXPECT_EQ(Value("TWRITE", "b"), 0);
    ASSERT_EQ(Set("NLINESMODE", 2), 1);
    EXPECT_EQ(Value("LWRITE", "a"), 6);
    EXPECT_EQ(Value("GETPOS"), 21);
    EXPECT_EQ(Run("TWRITE", "1"), QM_NOT_HANDLED);
    EXPECT_EQ(Get("ERROR"), 20);
    ASSERT_EQ(Set("NEWACTIONS", 0), 1);
    EXPECT_EQ(Run("TWRITE", "\"abc"), QM_NOT_HANDLED);
    EXPECT_EQ(Get("ERROR"), 65);
    EXPECT_EQ(Run("TWRITE", "\"abc\",x"), QM_NOT_HANDLED);
    EXPECT_EQ(Get("ERROR"), 1088);
    EXPECT_EQ(Value("CLOSE"), 0);
    EXPECT_EQ(ReadBytes(Path("w.txt")), Text("abc1,2\r\nx\nhellohello\r"));

    // CREAD takes bytes as they are; at the end it gives what there was.
    Value("OPEN", Path("w.txt"));
    EXPECT_EQ(Value("CREAD", "C,8"), 8);
    EXPECT_EQ(TestHost::Get().stringVars[2], "abc1,2\r\n");
    EXPECT_EQ(Value("CREAD", "C,100"), 13);
    EXPECT_EQ(TestHost::Get().stringVars[2], "x\nhellohello\r");
    EXPECT_EQ(Run("CREAD", "C,1"), QM_NOT_HANDLED);
    EXPECT_EQ(Get("ERROR"), 33);
}
