// Saved queries through the plug-in's QMDLL entry, with a host that keeps named texts:
// what SAVESQL stores, what LOADSQL restores and which saved queries it refuses.
#include <gtest/gtest.h>
#include <windows.h>

#include <stdlib.h>

#include <map>
#include <string>
#include <vector>

#include "DbFixture.h"
#include "QmHost.h"

namespace {

std::map<std::string, std::string> g_texts;

INT_PTR WINAPI TextHost(HWND, UINT code, INT_PTR a, INT_PTR b)
{
    switch (code) {
    case HOST_FIND_WINDOW:
        return 0x77;
    case HOST_EVAL_NUMBER: {
        // Slot arguments are plain integers.
        char* end = nullptr;
        *reinterpret_cast<double*>(b) = strtod(reinterpret_cast<const char*>(a), &end);
        return *end ? 1 : 0;
    }
    case HOST_REQ_9600: {
        auto* r = reinterpret_cast<QmSavedTextRead*>(a);
        auto it = g_texts.find(reinterpret_cast<const char*>(b));
        if (r->storage != 0x77 || it == g_texts.end())
            return 1;
        lstrcpynA(r->buffer, it->second.c_str(), static_cast<int>(r->size));
        return 0;
    }
    case HOST_REQ_9601: {
        auto* r = reinterpret_cast<QmSavedTextWrite*>(a);
        g_texts[reinterpret_cast<const char*>(b)] = r->text;
        return 0;
    }
    default:
        return 1;
    }
}

class SavedQuery : public ::testing::Test {
protected:
    static void SetUpTestSuite() { dbtest::CreateDatabases(); }
    void SetUp() override
    {
        HMODULE module = LoadLibraryA("qxdbimport.dll");
        ASSERT_NE(module, nullptr) << GetLastError();
        qmdll_ = reinterpret_cast<QMDLLProc>(GetProcAddress(module, "QMDLL"));
        ASSERT_NE(qmdll_, nullptr);
        g_texts.clear();
        ASSERT_EQ(Run("RESET"), 1);
    }
    int Run(const char* method, const char* args = "")
    {
        double result = 0;
        return qmdll_(nullptr, method, args, &result, &TextHost, OBJOP_CALL_METHOD);
    }
    void Set(const char* name, const std::string& text)
    {
        std::vector<char> buffer(text.begin(), text.end());
        buffer.push_back('\0');
        EXPECT_EQ(qmdll_(nullptr, nullptr, name, buffer.data(), &TextHost, OBJOP_SET_STRING), 1) << name;
    }
    std::string Get(const char* name)
    {
        std::vector<char> buffer(QM_STRING_RESULT_SIZE, '\0');
        EXPECT_EQ(qmdll_(nullptr, nullptr, name, buffer.data(), &TextHost, OBJOP_GET_STRING), 1) << name;
        return buffer.data();
    }
    int LastError()
    {
        double id = 0;
        qmdll_(nullptr, "LASTERRID", "", &id, &TextHost, OBJOP_CALL_METHOD);
        return static_cast<int>(id);
    }
    QMDLLProc qmdll_ = nullptr;
};

TEST_F(SavedQuery, RoundTripRestoresEveryFieldOfALongMultiLineQuery)
{
    std::string sql = "SELECT \"id\",\"value\" FROM \"samples\"\r\nWHERE \"id\">1\r\nORDER BY \"value\"";
    // Longer than the record's old limit of 960 characters: it must come back whole.
    for (int i = 0; i < 60; ++i)
        sql += " \r\n";
    sql += "-- end";
    Set("DBSOURCE", dbtest::kMain);
    Set("DBTABLE", "samples");
    Set("TABLETYPE", "TABLE");
    Set("DBSQL", sql);
    EXPECT_EQ(Run("SAVESQL", "0"), 1);
    ASSERT_EQ(g_texts.count("SQL0"), 1u);
    EXPECT_EQ(g_texts["SQL0"].substr(0, 37), "//This is the SQL query statement\r\nQx");

    Run("RESET");
    EXPECT_EQ(Get("DBSQL"), "");
    EXPECT_EQ(Run("LOADSQL", "0"), 1) << LastError();
    EXPECT_EQ(Get("SQLCOMMENT"), "//This is the SQL query statement");
    EXPECT_EQ(Get("DBSOURCE"), dbtest::kMain);
    EXPECT_EQ(Get("DBTABLE"), "samples");
    EXPECT_EQ(Get("TABLETYPE"), "TABLE");
    EXPECT_EQ(Get("DBSQL"), sql);

    // Without an argument the slot is 1; slots are 0 to 9.
    Set("SQLCOMMENT", "//one");
    EXPECT_EQ(Run("SAVESQL"), 1);
    EXPECT_EQ(g_texts.count("SQL1"), 1u);
    EXPECT_EQ(Run("SAVESQL", "10"), 2);
    EXPECT_EQ(Run("LOADSQL", "-1"), 2);
    EXPECT_EQ(g_texts.size(), 2u);
}

TEST_F(SavedQuery, LoadChecksSourceTableAndColumns)
{
    struct Case {
        const char* what;
        std::string record;
        int answer;
        int error;
    } cases[] = {
        {"three lines", std::string("//c\r\n") + dbtest::kMain + "\r\nsamples", 1, 0},
        {"a view", std::string("//c\r\n") + dbtest::kMain + "\r\nbig_samples\r\nVIEW\r\nSELECT \"id\" FROM \"big_samples\"", 1, 0},
        {"unknown source", "//c\r\nQxNoSuchSource\r\nsamples\r\nTABLE\r\n", 2, 3},
        {"unknown table", std::string("//c\r\n") + dbtest::kMain + "\r\nnothing\r\nTABLE\r\n", 2, 2},
        {"a view looked up as a table", std::string("//c\r\n") + dbtest::kMain + "\r\nbig_samples\r\nTABLE\r\n", 2, 2},
        {"unknown column", std::string("//c\r\n") + dbtest::kMain + "\r\nsamples\r\nTABLE\r\nSELECT \"id\" FROM \"samples\"\r\nWHERE \"nope\"=1", 2, 1},
        {"nothing saved", "", 2, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        g_texts.clear();
        if (!c.record.empty())
            g_texts["SQL2"] = c.record;
        Run("RESET");
        EXPECT_EQ(Run("LOADSQL", "2"), c.answer);
        if (c.error) {
            EXPECT_EQ(LastError(), c.error);
        }
        if (c.answer == 1 && c.record.find("VIEW") == std::string::npos) {
            EXPECT_EQ(Get("TABLETYPE"), "");
            EXPECT_EQ(Get("DBSQL"), "");
        }
    }
}

} // namespace
