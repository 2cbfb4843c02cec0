// The ODBC access layer against SQLite databases behind test data sources.
// Date numbers are checked against days counted by hand from 1970-01-01 = 2440587.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "DbFixture.h"
#include "OdbcAccess.h"
#include "qxdefs.h"

namespace {

std::vector<std::string> Items(QmStringVector& v)
{
    std::vector<std::string> items;
    for (int i = 0; i <= v.lastIndex; ++i)
        items.push_back(static_cast<const char*>(v.ItemAt(i)));
    return items;
}

bool Has(const std::vector<std::string>& items, const std::string& item)
{
    return std::find(items.begin(), items.end(), item) != items.end();
}

class OdbcAccess : public ::testing::Test {
protected:
    static void SetUpTestSuite() { dbtest::CreateDatabases(); }
    void SetUp() override { QmClearErrors(); }
    QmStringVector names_{80, 5};
    QmMemObjInt count_;
};

TEST(DbKind, SqlTypesMapToColumnKinds)
{
    struct Case {
        int sqlType;
        int kind;
    } cases[] = {
        {SQL_NUMERIC, DB_KIND_NUMBER}, {SQL_DECIMAL, DB_KIND_NUMBER}, {SQL_INTEGER, DB_KIND_NUMBER},
        {SQL_SMALLINT, DB_KIND_NUMBER}, {SQL_FLOAT, DB_KIND_NUMBER}, {SQL_REAL, DB_KIND_NUMBER},
        {SQL_DOUBLE, DB_KIND_NUMBER}, {SQL_BIT, DB_KIND_NUMBER}, {SQL_TINYINT, DB_KIND_NUMBER},
        {SQL_BIGINT, DB_KIND_NUMBER}, {SQL_TIME, DB_KIND_TIME}, {SQL_TIMESTAMP, DB_KIND_TIMESTAMP},
        {SQL_TYPE_TIMESTAMP, DB_KIND_TIMESTAMP}, {SQL_DATE, DB_KIND_TEXT}, {SQL_CHAR, DB_KIND_TEXT},
        {SQL_VARCHAR, DB_KIND_TEXT}, {SQL_LONGVARCHAR, DB_KIND_TEXT}, {SQL_BINARY, DB_KIND_TEXT},
        {SQL_WVARCHAR, DB_KIND_TEXT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sqlType);
        EXPECT_EQ(DbKindOfSqlType(c.sqlType), c.kind);
    }
}

TEST(DbKind, NamesAreQuotedWithInnerQuotesDoubled)
{
    EXPECT_EQ(DbQuoteName("odd table"), "\"odd table\"");
    EXPECT_EQ(DbQuoteName("\"already\""), "\"already\"");
    EXPECT_EQ(DbQuoteName("say \"hi\""), "\"say \"\"hi\"\"\"");
}

TEST_F(OdbcAccess, ConnectsReportsTheDatabaseAndReleasesEverything)
{
    QmDBdatabase db;
    EXPECT_EQ(db.envState, -2);
    EXPECT_EQ(db.dbcState, -2);
    ASSERT_EQ(db.Connect(dbtest::kMain, "pw", "user", nullptr, 0), 0);
    EXPECT_TRUE(db.IsConnected());
    EXPECT_NE(db.DatabaseName().find("main.db"), std::string::npos) << db.DatabaseName();
    EXPECT_NE(db.GetConnectString().find(dbtest::kMain), std::string::npos) << db.GetConnectString();
    EXPECT_EQ(db.GetConnectString().find("pw"), std::string::npos) << "the password is never sent";
    // A second connect reuses the completed string and holds one set of handles.
    ASSERT_EQ(db.Connect(dbtest::kMain, "", "", nullptr, 0), 0);
    EXPECT_EQ(db.Disconnect(), 0);
    EXPECT_EQ(db.envState, -2);
    EXPECT_EQ(db.dbcState, -2);
    EXPECT_EQ(db.DatabaseName(), "");

    EXPECT_EQ(db.Connect("QxNoSuchSource", "", "", nullptr, 0), 1);
    EXPECT_FALSE(db.IsConnected());
    EXPECT_EQ(db.envState, -2) << "a failed connect holds nothing";
}

TEST_F(OdbcAccess, RememberedStringIsUsedOnlyForItsOwnSource)
{
    QmDBdatabase db;
    ASSERT_EQ(db.Connect(dbtest::kMain, "", "", nullptr, 0), 0);
    db.Disconnect();
    ASSERT_EQ(db.ListTables(names_, count_, dbtest::kOther, "", "", DB_TABLES, nullptr, 0), 0);
    EXPECT_EQ(Items(names_), std::vector<std::string>{"other"});
}

TEST_F(OdbcAccess, ListsSourcesAfresh)
{
    QmDBdatabase db;
    names_.SetText(0, "stale");
    names_.SetText(1, "stale too");
    names_.SetText(2, "stale three");
    ASSERT_EQ(db.ListSources(names_, count_), 1);
    std::vector<std::string> items = Items(names_);
    EXPECT_TRUE(Has(items, dbtest::kMain));
    EXPECT_TRUE(Has(items, dbtest::kOther));
    EXPECT_FALSE(Has(items, "stale three"));
    EXPECT_EQ(count_.value, static_cast<int>(items.size()));
}

TEST_F(OdbcAccess, ListsTablesViewsOrBoth)
{
    struct Case {
        int kind;
        std::vector<std::string> names;
    } cases[] = {
        {DB_TABLES, {"notes", "odd table", "samples"}},
        {DB_VIEWS, {"big_samples"}},
        {DB_TABLES_AND_VIEWS, {"big_samples", "notes", "odd table", "samples"}},
    };
    QmDBdatabase db;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        ASSERT_EQ(db.ListTables(names_, count_, dbtest::kMain, "", "", c.kind, nullptr, 0), 0);
        std::vector<std::string> items = Items(names_);
        std::sort(items.begin(), items.end());
        EXPECT_EQ(items, c.names);
        EXPECT_EQ(count_.value, static_cast<int>(c.names.size()));
        EXPECT_FALSE(db.IsConnected()) << "a listing that connected disconnects again";
    }
    EXPECT_EQ(db.ListTables(names_, count_, dbtest::kMain, "", "", 3, nullptr, 0), 1);
    EXPECT_EQ(db.ListTables(names_, count_, "QxNoSuchSource", "", "", DB_TABLES, nullptr, 0), 1);
}

TEST_F(OdbcAccess, ListingKeepsAnOpenConnection)
{
    QmDBdatabase db;
    ASSERT_EQ(db.Connect(dbtest::kMain, "", "", nullptr, 0), 0);
    ASSERT_EQ(db.ListTables(names_, count_, dbtest::kMain, "", "", DB_VIEWS, nullptr, 0), 0);
    EXPECT_TRUE(db.IsConnected());
    ASSERT_EQ(db.ListColumns(names_, count_, dbtest::kOther, "other", "", ""), 0);
    EXPECT_EQ(Items(names_), std::vector<std::string>{"x"});
    EXPECT_TRUE(db.IsConnected()) << "a listing of another source leaves this one open";
    EXPECT_NE(db.DatabaseName().find("main.db"), std::string::npos);
}

TEST_F(OdbcAccess, ListsColumnsInTableOrder)
{
    QmDBdatabase db;
    ASSERT_EQ(db.ListColumns(names_, count_, dbtest::kMain, "samples", "", ""), 0);
    EXPECT_EQ(Items(names_), (std::vector<std::string>{"id", "name", "value", "2006 Sales", "stamp", "day"}));
    EXPECT_EQ(count_.value, 6);
    EXPECT_EQ(names_.itemSize, 64);
    EXPECT_EQ(db.ListColumns(names_, count_, dbtest::kMain, "nothing here", "", ""), 1);
    EXPECT_EQ(count_.value, 0);
}

TEST_F(OdbcAccess, StatementReadsTextsNumbersAndDates)
{
    QmDBdatabase db;
    ASSERT_EQ(db.Connect(dbtest::kMain, "", "", nullptr, 0), 0);
    QmDBtable table(db);
    QmString tableName, query;
    EXPECT_EQ(table.BuildQuery(tableName, query), 1);
    tableName.SetText("samples");
    ASSERT_EQ(table.Execute(tableName, query), 0);
    EXPECT_EQ(table.query, "SELECT * FROM \"samples\"");
    ASSERT_EQ(table.ColumnCount(), 6);
    char name[200];
    EXPECT_EQ(DbKindOfSqlType(table.DescribeColumn(4, name, sizeof name)), DB_KIND_NUMBER);
    EXPECT_STREQ(name, "2006 Sales");
    EXPECT_EQ(DbKindOfSqlType(table.ColumnType(5)), DB_KIND_TIMESTAMP);
    EXPECT_EQ(DbKindOfSqlType(table.ColumnType(6)), DB_KIND_TEXT) << "DATE reads as text";

    std::vector<std::string> texts;
    char text[200];
    while (table.FetchText(2, text, sizeof text) == 0)
        texts.push_back(text);
    ASSERT_EQ(texts.size(), dbtest::kSampleRows.size());
    for (size_t i = 0; i < texts.size(); ++i)
        EXPECT_EQ(texts[i], dbtest::kSampleRows[i].name ? dbtest::kSampleRows[i].name : "") << i;

    ASSERT_EQ(table.Execute(tableName, query), 0);
    std::vector<double> values;
    int kind = DB_KIND_NUMBER;
    double v;
    while (table.FetchNumber(3, &kind, &v) == 0)
        values.push_back(v);
    ASSERT_EQ(values.size(), dbtest::kSampleRows.size());
    for (size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(values[i], dbtest::kSampleRows[i].value) << i;

    ASSERT_EQ(table.Execute(tableName, query), 0);
    kind = DB_KIND_TIMESTAMP;
    ASSERT_EQ(table.FetchNumber(5, &kind, &v), 0);
    EXPECT_EQ(kind, DB_KIND_DATE) << "a first value at midnight makes the column dates";
    EXPECT_EQ(v, 2440587 + 16495) << "2015-03-01";
    ASSERT_EQ(table.FetchNumber(5, &kind, &v), 0);
    EXPECT_EQ(kind, DB_KIND_DATE);
    EXPECT_EQ(v, 2440587 + 16496 + 0.5) << "2015-03-02 12:00";
    table.CloseCursor();
    EXPECT_EQ(table.execState, -1);

    query.SetText("SELECT * FROM no_such_table");
    EXPECT_NE(table.Execute(tableName, query), 0);
}

TEST_F(OdbcAccess, DefaultQueryQuotesTableNamesWithBlanks)
{
    QmDBdatabase db;
    ASSERT_EQ(db.Connect(dbtest::kMain, "", "", nullptr, 0), 0);
    QmDBtable table(db);
    QmString tableName, query;
    tableName.SetText("odd table");
    ASSERT_EQ(table.Execute(tableName, query), 0);
    int kind = DB_KIND_NUMBER;
    double v = 0;
    ASSERT_EQ(table.FetchNumber(1, &kind, &v), 0);
    EXPECT_EQ(v, 42);
    EXPECT_EQ(table.FetchNumber(1, &kind, &v), -1);
}

TEST_F(OdbcAccess, StatementOnAClosedConnectionFailsCleanly)
{
    QmDBdatabase db;
    QmDBtable table(db);
    QmString tableName, query;
    tableName.SetText("samples");
    EXPECT_NE(table.Execute(tableName, query), 0);
    EXPECT_EQ(table.stmtState, -2);
}

} // namespace
