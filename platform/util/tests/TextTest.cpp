// Text helpers: separators, quoted text, words, indexed names and byte blocks.
#include <gtest/gtest.h>

#include "qxutil.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

// The pieces a caller gets by cutting the text at each separator found.
std::vector<std::string> SplitAll(const char *text, char separator, int option)
{
    std::vector<std::string> pieces;
    std::string copy = text;
    char *rest = &copy[0];
    for (;;) {
        char *sep = UtilFindSeparator(rest, separator, option);
        if (!sep) {
            pieces.push_back(rest);
            return pieces;
        }
        *sep = 0;
        pieces.push_back(rest);
        rest = sep + 1;
    }
}

TEST(FindSeparator, SplitsArgumentLists)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(SplitAll("a,b,c", ',', 16), (V{"a", "b", "c"}));
    EXPECT_EQ(SplitAll("f(1,2),x[3,4],{5,6}", ',', 16), (V{"f(1,2)", "x[3,4]", "{5,6}"}));
    EXPECT_EQ(SplitAll("\"a,b\",c", ',', 16), (V{"\"a,b\"", "c"}));
    EXPECT_EQ(SplitAll("1,,2,", ',', 16), (V{"1", "", "2", ""}));
    EXPECT_EQ(SplitAll("g(1,2", ',', 16), (V{"g(1,2"}));
    EXPECT_EQ(SplitAll("f(1,2),3", ',', 0), (V{"f(1", "2)", "3"}));
    EXPECT_EQ(SplitAll("Data1_B", '_', 1), (V{"Data1", "B"}));
    EXPECT_EQ(SplitAll("SIMULATE", '_', 1), (V{"SIMULATE"}));
}

TEST(FindSeparator, BadInput)
{
    EXPECT_EQ(UtilFindSeparator(nullptr, ',', 16), nullptr);
    EXPECT_EQ(UtilFindSeparator("", ',', 16), nullptr);
    EXPECT_EQ(UtilFindSeparator("abc", 0, 1), nullptr);
}

TEST(QuotedText, Table)
{
    struct Case { const char *text; const char *expected; };
    const Case cases[] = {
        {"\"C:\\data\\a.dat\"", "C:\\data\\a.dat"},
        {"  \"with blank\" rest", "with blank"},
        {"\"\"", ""},
        {"no quotes", nullptr},
        {"x\"late\"", nullptr},
        {"\"unclosed", nullptr},
        {"", nullptr},
    };
    for (const Case &c : cases) {
        char buffer[64];
        std::strcpy(buffer, c.text);
        const char *inside = UtilQuotedText(buffer);
        if (c.expected)
            EXPECT_STREQ(inside, c.expected) << c.text;
        else
            EXPECT_EQ(inside, nullptr) << c.text;
    }
    EXPECT_EQ(UtilQuotedText(nullptr), nullptr);
}

TEST(NextWord, WalksTheWordsOfALine)
{
    const char *line = "  1.5\t-2e3  x \r\n";
    char buffer[32];
    std::vector<std::string> words;
    for (const char *p = UtilNextWord(buffer, line); p; p = UtilNextWord(buffer, p))
        words.push_back(buffer);
    EXPECT_EQ(words, (std::vector<std::string>{"1.5", "-2e3", "x"}));
    EXPECT_STREQ(buffer, "");

    const char *rest = UtilNextWord(buffer, "abc def");
    EXPECT_STREQ(buffer, "abc");
    EXPECT_STREQ(rest, " def");

    std::strcpy(buffer, "old");
    EXPECT_EQ(UtilNextWord(buffer, nullptr), nullptr);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(UtilNextWord(nullptr, "abc"), nullptr);
}

TEST(SplitIndexedName, Table)
{
    struct Case { const char *name; const char *base; int index; int answer; };
    const Case cases[] = {
        {"X3", "X", 3, 1},          {"DF12", "DF", 12, 1},   {"X", "X", 0, 0},
        {"COLOR0", "COLOR", 0, 1},  {"B007", "B", 7, 1},     {"123", "", 123, 1},
        {"", "", 0, 0},             {"X99999999999", "X", -1, 1},
        {"A1B2", "A1B", 2, 1},
    };
    for (const Case &c : cases) {
        char base[32] = "junk";
        int index = 55;
        EXPECT_EQ(UtilSplitIndexedName(base, &index, c.name), c.answer) << c.name;
        EXPECT_STREQ(base, c.base) << c.name;
        EXPECT_EQ(index, c.index) << c.name;
    }
    int index = 9;
    char base[8] = "keep";
    EXPECT_EQ(UtilSplitIndexedName(base, &index, nullptr), 0);
    EXPECT_EQ(UtilSplitIndexedName(nullptr, &index, "X1"), 0);
    EXPECT_EQ(UtilSplitIndexedName(base, nullptr, "X1"), 0);
    EXPECT_EQ(index, 9);
    EXPECT_STREQ(base, "keep");
}

TEST(Bytes, CopyAndCompare)
{
    char a[] = "abcdef";
    UtilCopyBytes(a + 1, a, 4);  // overlapping
    EXPECT_STREQ(a, "aabcdf");
    UtilCopyBytes(nullptr, a, 3);
    UtilCopyBytes(a, nullptr, 3);
    EXPECT_STREQ(a, "aabcdf");

    EXPECT_EQ(UtilCompareBytes("abc", "abc", 3), 0);
    EXPECT_NE(UtilCompareBytes("abc", "abd", 3), 0);
    EXPECT_EQ(UtilCompareBytes("abc", "abd", 2), 0);
    EXPECT_EQ(UtilCompareBytes(nullptr, nullptr, 0), 0);
    EXPECT_NE(UtilCompareBytes(nullptr, "a", 1), 0);
    EXPECT_NE(UtilCompareBytes("a", nullptr, 1), 0);
}

} // namespace
