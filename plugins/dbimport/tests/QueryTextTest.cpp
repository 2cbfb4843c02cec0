// Query texts: the criterion rule, the builder, and the parser reading a built text back
// into a grid of the table's columns; built texts are run on the SQLite fixture.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DbFixture.h"
#include "OdbcAccess.h"
#include "QueryText.h"

namespace {

std::vector<QueryRow> Rows(const std::vector<std::string>& names)
{
    std::vector<QueryRow> rows;
    for (const std::string& n : names) {
        QueryRow r;
        r.name = n;
        rows.push_back(r);
    }
    return rows;
}

// How many rows the text selects, by running it.
int CountRows(const std::string& sql)
{
    QmDBdatabase db;
    EXPECT_EQ(db.Connect(dbtest::kMain, "", "", nullptr, 0), 0);
    QmDBtable table(db);
    QmString none, query;
    query.SetText(sql.c_str());
    if (table.Execute(none, query) != 0)
        return -1;
    int n = 0;
    char text[200];
    while (table.FetchText(1, text, sizeof text) == 0)
        ++n;
    return n;
}

TEST(QueryText, CriteriaAreTidiedAsTyped)
{
    struct Case {
        const char* typed;
        const char* stored;
    } cases[] = {
        {"abc", "\"abc\""}, {">5", ">5"}, {"<>x", "<>\"x\""}, {"  >= 2.5 ", ">=2.5"},
        {"", ""}, {"\"as typed\"", "\"as typed\""}, {"= O'Brien", "=\"O'Brien\""}, {"12", "12"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        std::string text = c.typed;
        NormaliseCriterion(text);
        EXPECT_EQ(text, c.stored);
    }
}

TEST(QueryText, BuilderWritesSelectWhereOrAndOrderLines)
{
    std::vector<QueryRow> rows = Rows({"id", "name", "value"});
    EXPECT_EQ(BuildQueryText(rows, "t"), "SELECT \"id\",\"name\",\"value\" FROM \"t\"");
    for (QueryRow& r : rows)
        r.import = false;
    EXPECT_EQ(BuildQueryText(rows, "odd table"), "SELECT * FROM \"odd table\"");

    rows[0].import = rows[2].import = true;
    rows[0].criteria = "5";
    rows[1].criteria = "\"abc\"";
    rows[2].orCriteria = ">7";
    rows[1].sort = "Descending";
    rows[2].sort = "Ascending";
    EXPECT_EQ(BuildQueryText(rows, "t"),
              "SELECT \"id\",\"value\" FROM \"t\"\r\n"
              "WHERE \"id\"=5 AND \"name\"='abc'\r\n"
              " OR \"value\">7\r\n"
              "ORDER BY \"name\" DESC");

    // Alone, the alternative criteria are the condition: an OR line needs a WHERE line.
    rows[0].criteria.clear();
    rows[1].criteria.clear();
    rows[1].sort.clear();
    EXPECT_EQ(BuildQueryText(rows, "t"),
              "SELECT \"id\",\"value\" FROM \"t\"\r\nWHERE \"value\">7\r\nORDER BY \"value\"");
}

class QueryOnDatabase : public ::testing::Test {
protected:
    static void SetUpTestSuite() { dbtest::CreateDatabases(); }
};

TEST_F(QueryOnDatabase, BuiltQueriesRunAndParseBackIntoTheSameGrid)
{
    QmDBdatabase db;
    std::vector<QueryRow> rows;
    ASSERT_EQ(ParseQuery(rows, "SELECT * FROM \"samples\"", "samples", dbtest::kMain, db), 1);
    ASSERT_EQ(rows.size(), 6u);
    for (const QueryRow& r : rows)
        EXPECT_TRUE(r.import) << r.name;

    struct Case {
        const char* what;
        int importMask; // bit i: row i marked
        const char* criteria[6];
        const char* orCriteria[6];
        int sortRow;
        const char* sort;
        int expectedRows;
    } cases[] = {
        {"everything", 0x3F, {}, {}, -1, "", 8},
        {"two columns, one criterion", 0x05, {">2"}, {}, 0, "Descending", 6},
        {"text criterion with an apostrophe", 0x02, {nullptr, "=\"O'Brien\""}, {}, -1, "", 0},
        {"text criterion", 0x02, {nullptr, "=\"zeta\""}, {}, 1, "Ascending", 1},
        {"alternatives", 0x01, {"<2"}, {"=8"}, -1, "", 2},
        {"a column with blanks", 0x08, {nullptr, nullptr, nullptr, ">=50"}, {}, 3, "Ascending", 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (size_t i = 0; i < rows.size(); ++i) {
            rows[i].import = (c.importMask >> i) & 1;
            rows[i].criteria = c.criteria[i] ? c.criteria[i] : "";
            rows[i].orCriteria = c.orCriteria[i] ? c.orCriteria[i] : "";
            rows[i].sort = static_cast<int>(i) == c.sortRow ? c.sort : "";
        }
        std::string sql = BuildQueryText(rows, "samples");
        EXPECT_EQ(CountRows(sql), c.expectedRows) << sql;

        bool anyWhere = false;
        for (const QueryRow& r : rows)
            anyWhere = anyWhere || !r.criteria.empty();
        std::vector<QueryRow> back;
        ASSERT_EQ(ParseQuery(back, sql.c_str(), "samples", dbtest::kMain, db), 1);
        ASSERT_EQ(back.size(), rows.size());
        for (size_t i = 0; i < rows.size(); ++i) {
            SCOPED_TRACE(rows[i].name);
            // No row marked reads back as every row marked: both select everything.
            EXPECT_EQ(back[i].import, c.importMask == 0x3F || rows[i].import);
            // Alternatives alone were written as the condition, and read back as such.
            EXPECT_EQ(back[i].criteria, anyWhere ? rows[i].criteria : rows[i].orCriteria);
            EXPECT_EQ(back[i].orCriteria, anyWhere ? rows[i].orCriteria : "");
            EXPECT_EQ(back[i].sort, rows[i].sort);
        }
    }
    EXPECT_EQ(ParseQuery(rows, "SELECT * FROM \"nothing\"", "nothing", dbtest::kMain, db), 0);
}

TEST_F(QueryOnDatabase, MarksFollowWholeNames)
{
    QmDBdatabase db;
    std::vector<QueryRow> rows;
    // Only the columns named are marked, not those whose names hold a named one.
    ASSERT_EQ(ParseQuery(rows, "SELECT \"value\",\"2006 Sales\" FROM \"samples\"", "samples", dbtest::kMain, db), 1);
    std::vector<bool> marks;
    for (const QueryRow& r : rows)
        marks.push_back(r.import);
    EXPECT_EQ(marks, (std::vector<bool>{false, false, true, true, false, false}));
    ASSERT_EQ(ParseQuery(rows, "SELECT value, name FROM samples", "samples", dbtest::kMain, db), 1);
    EXPECT_TRUE(rows[1].import);
    EXPECT_TRUE(rows[2].import);
    EXPECT_FALSE(rows[0].import);
}

} // namespace
