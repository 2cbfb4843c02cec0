// The object linked into the test program, for what cannot be arranged through the DLL:
// a block buffer that cannot be had, so that the engine must split the block.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "Fum.h"
#include "TestHost.h"
#include "qxdefs.h"

namespace {

int Call(const char* method, const std::string& argument, double* value)
{
    return TheFum().Dispatch(TestHost::Context(), method, argument.c_str(), value, &TestHost::Callback,
                             OBJOP_CALL_METHOD);
}

} // namespace

TEST(FumInProcess, ABlockTooLargeForOneBufferIsSplitIntoItsOwnRows)
{
    TestHost::Get().Reset();
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string path = std::string(temp) + "qxfileio_split_" + std::to_string(GetCurrentProcessId()) + ".bin";
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    for (int i = 0; i < 37; ++i)
        fputc(i + 1, f);
    fclose(f);

    TestHost::Get().AddDataset("D", std::vector<double>(40, -7));
    double v = 0;
    ASSERT_EQ(Call("RESET", "", &v), 1);
    ASSERT_EQ(Call("OPEN", path, &v), 1);
    // At most 5 bytes a piece: 37 elements go in pieces of 4 or 5.
    QmBulk::s_bufferLimit = 5;
    EXPECT_EQ(Call("AREAD", "D,2,38,0", &v), 1);
    QmBulk::s_bufferLimit = static_cast<size_t>(-1);
    EXPECT_EQ(v, 37);
    std::vector<double> expected(40, -7);
    for (int i = 0; i < 37; ++i)
        expected[i + 1] = i + 1;
    EXPECT_EQ(TestHost::Get().DatasetByName("D")->values, expected);

    // READROWBIN never splits: one piece or nothing.
    QmBulk::s_bufferLimit = 5;
    TestHost::Get().AddWorksheet("W", {"A", "B", "C", "D", "E", "F"}, 0);
    ASSERT_EQ(Call("REWIND", "", &v), 1);
    EXPECT_EQ(Call("READROWBIN", "W,6,0", &v), 2);
    QmBulk::s_bufferLimit = static_cast<size_t>(-1);
    Call("CLOSEALL", "", &v);
    DeleteFileA(path.c_str());
}

// The number readers' shortcuts in the character loop must make of any text what the
// hooks alone make of it: the same cells, values, errors and file positions. Random texts
// of the characters that matter (number characters, separators, CR, LF, blanks, others),
// read line by line with LINEROW and whole with READARRAY and READASCII, in each line mode.
TEST(FumInProcess, ShortcutsOfTheTextLoopChangeNothing)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string path = std::string(temp) + "qxfileio_shortcuts_" + std::to_string(GetCurrentProcessId()) + ".txt";
    const char alphabet[] = "0123456789.-eE,,,;\r\n\r\n x\t+";
    std::mt19937 random(20261210);
    std::uniform_int_distribution<int> pick(0, sizeof alphabet - 2), size(0, 120);
    struct Outcome {
        std::vector<double> answers, positions, errors;
        std::vector<std::vector<double>> columns, array;
        bool operator==(const Outcome& o) const
        {
            auto same = [](const std::vector<double>& a, const std::vector<double>& b) {
                return a.size() == b.size() && memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
            };
            if (!same(answers, o.answers) || !same(positions, o.positions) || !same(errors, o.errors) ||
                columns.size() != o.columns.size() || array.size() != o.array.size())
                return false;
            for (size_t i = 0; i < columns.size(); ++i)
                if (!same(columns[i], o.columns[i]))
                    return false;
            for (size_t i = 0; i < array.size(); ++i)
                if (!same(array[i], o.array[i]))
                    return false;
            return true;
        }
    };
    auto read = [&](int mode, int separator) {
        Outcome out;
        TestHost::Get().Reset();
        TestHost::Get().AddWorksheet("W", {"A", "B", "C"}, 0);
        for (int col = 1; col <= 3; ++col)
            TestHost::Get().Worksheet("W")->formats[col] = 0;
        TestHost::Get().AddDataset("D", std::vector<double>(200, -7));
        TestHost::Get().AddWorksheet("V", {"A"}, 0);
        TestHost::Get().Worksheet("V")->formats[1] = 0;
        double v = 0;
        Call("CLOSEALL", "", &v);
        Call("RESET", "", &v);
        TheFum().nLinesMode.value = mode;
        TheFum().listSep.value = separator;
        Call("OPEN", path, &v);
        for (int line = 0; line < 40; ++line) {
            v = 0;
            out.answers.push_back(Call("LINEROW", "W", &v));
            out.answers.push_back(v);
            out.errors.push_back(TheFum().error.value);
            Call("GETPOS", "", &v);
            out.positions.push_back(v);
        }
        for (int col = 1; col <= static_cast<int>(TestHost::Get().Worksheet("W")->columns.size()); ++col)
            out.columns.push_back(TestHost::Get().Dataset(TestHost::Get().Worksheet("W")->columns[col - 1])->values);
        Call("REWIND", "", &v);
        out.answers.push_back(Call("READARRAY", "D,1,200", &v));
        out.answers.push_back(v);
        Call("GETPOS", "", &v);
        out.positions.push_back(v);
        out.array.push_back(TestHost::Get().DatasetByName("D")->values);
        Call("REWIND", "", &v);
        out.answers.push_back(Call("READASCII", ",V", &v));
        out.answers.push_back(v);
        Call("GETPOS", "", &v);
        out.positions.push_back(v);
        for (INT_PTR column : TestHost::Get().Worksheet("V")->columns)
            out.array.push_back(TestHost::Get().Dataset(column)->values);
        return out;
    };
    for (int round = 0; round < 300; ++round) {
        std::string text;
        for (int n = size(random); n > 0; --n)
            text += alphabet[pick(random)];
        FILE* f = fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        fwrite(text.data(), 1, text.size(), f);
        fclose(f);
        for (int mode = 0; mode <= 2; ++mode)
            for (int separator : {',', ';', ' '}) {
                QmASCIIPiece::s_shortcuts = true;
                Outcome fast = read(mode, separator);
                QmASCIIPiece::s_shortcuts = false;
                Outcome plain = read(mode, separator);
                QmASCIIPiece::s_shortcuts = true;
                ASSERT_TRUE(fast == plain) << "mode " << mode << ", separator " << separator << ", text \""
                                           << text << "\"";
            }
    }
    double v = 0;
    Call("CLOSEALL", "", &v);
    DeleteFileA(path.c_str());
}
