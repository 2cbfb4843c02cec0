// ODBC from a Windows program: Wine's odbc32 hands the calls to the host's unixODBC,
// which loads the SQLite driver. The test defines its own driver and data source in the
// folder that ODBCSYSINI names (set by CTest), creates a database through the data
// source, and reads back its catalogue, column descriptions and rows.
#include <gtest/gtest.h>
#include <windows.h>
#include <sql.h>
#include <sqlext.h>
#include <cstdlib>
#include <string>
#include <vector>

#include "qxtest/Odbc.h"

namespace {

class Odbc : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char *dir = std::getenv("ODBCSYSINI");
        ASSERT_NE(dir, nullptr) << "ODBCSYSINI is not set: run through CTest";
        unixDir_ = dir;
        qxtest::WriteSqliteSources(unixDir_, "QxSQLite3", {{"QuorixSmoke", unixDir_ + "/smoke.db"}});
        DeleteFileA((qxtest::WindowsPathOf(unixDir_) + "\\smoke.db").c_str());

        ASSERT_TRUE(SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env_)));
        SQLSetEnvAttr(env_, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
        ASSERT_TRUE(SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, env_, &dbc_)));
        SQLCHAR out[512];
        SQLSMALLINT outLength = 0;
        SQLRETURN rc = SQLDriverConnect(dbc_, nullptr, (SQLCHAR *)"DSN=QuorixSmoke;", SQL_NTS, out,
                                        sizeof out, &outLength, SQL_DRIVER_NOPROMPT);
        ASSERT_TRUE(SQL_SUCCEEDED(rc)) << qxtest::OdbcDiagnostic(SQL_HANDLE_DBC, dbc_);
        connected_ = true;
    }

    void TearDown() override
    {
        if (connected_)
            SQLDisconnect(dbc_);
        if (dbc_)
            SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
        if (env_)
            SQLFreeHandle(SQL_HANDLE_ENV, env_);
    }

    void Exec(const char *sql)
    {
        SQLHSTMT stmt = nullptr;
        ASSERT_TRUE(SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, dbc_, &stmt)));
        SQLRETURN rc = SQLExecDirect(stmt, (SQLCHAR *)sql, SQL_NTS);
        EXPECT_TRUE(SQL_SUCCEEDED(rc)) << sql << ": " << qxtest::OdbcDiagnostic(SQL_HANDLE_STMT, stmt);
        SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    }

    std::string unixDir_;
    SQLHENV env_ = nullptr;
    SQLHDBC dbc_ = nullptr;
    bool connected_ = false;
};

TEST_F(Odbc, ListsTablesAndReadsRowsAndColumnDescriptions)
{
    Exec("CREATE TABLE samples (id INTEGER PRIMARY KEY, name TEXT, value REAL)");
    Exec("INSERT INTO samples VALUES (1, 'alpha', 1.5)");
    Exec("INSERT INTO samples VALUES (2, 'Gr\xC3\xB6\xC3\x9F" "e', -2.25)");
    Exec("INSERT INTO samples VALUES (3, NULL, 1e-300)");

    SQLHSTMT stmt = nullptr;
    ASSERT_TRUE(SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, dbc_, &stmt)));
    ASSERT_TRUE(SQL_SUCCEEDED(SQLTables(stmt, nullptr, 0, nullptr, 0, nullptr, 0, nullptr, 0)));
    std::vector<std::string> tables;
    while (SQL_SUCCEEDED(SQLFetch(stmt))) {
        char name[128] = "";
        SQLLEN length = 0;
        SQLGetData(stmt, 3, SQL_C_CHAR, name, sizeof name, &length);
        tables.push_back(name);
    }
    SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    EXPECT_NE(std::find(tables.begin(), tables.end(), "samples"), tables.end());

    ASSERT_TRUE(SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, dbc_, &stmt)));
    ASSERT_TRUE(SQL_SUCCEEDED(SQLExecDirect(stmt, (SQLCHAR *)"SELECT id, name, value FROM samples ORDER BY id", SQL_NTS)));
    SQLSMALLINT columns = 0;
    SQLNumResultCols(stmt, &columns);
    ASSERT_EQ(columns, 3);
    const char *names[] = {"id", "name", "value"};
    for (SQLUSMALLINT c = 1; c <= 3; ++c) {
        SQLCHAR name[64] = "";
        SQLSMALLINT nameLength = 0, type = 0, digits = 0, nullable = 0;
        SQLULEN size = 0;
        ASSERT_TRUE(SQL_SUCCEEDED(SQLDescribeCol(stmt, c, name, sizeof name, &nameLength, &type, &size, &digits, &nullable)));
        EXPECT_STREQ(reinterpret_cast<char *>(name), names[c - 1]);
        if (c == 1) {
            EXPECT_EQ(type, SQL_INTEGER);
        } else if (c == 3) {
            EXPECT_TRUE(type == SQL_DOUBLE || type == SQL_FLOAT || type == SQL_REAL) << type;
        }
    }

    struct Row {
        long id;
        std::string name;
        bool nameNull;
        double value;
    };
    std::vector<Row> rows;
    while (SQL_SUCCEEDED(SQLFetch(stmt))) {
        Row row{};
        SQLINTEGER id = 0;
        char name[64] = "";
        SQLLEN idLength = 0, nameLength = 0, valueLength = 0;
        SQLGetData(stmt, 1, SQL_C_LONG, &id, 0, &idLength);
        SQLGetData(stmt, 2, SQL_C_CHAR, name, sizeof name, &nameLength);
        SQLGetData(stmt, 3, SQL_C_DOUBLE, &row.value, 0, &valueLength);
        row.id = id;
        row.nameNull = nameLength == SQL_NULL_DATA;
        row.name = row.nameNull ? "" : name;
        rows.push_back(row);
    }
    SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].id, 1);
    EXPECT_EQ(rows[0].name, "alpha");
    EXPECT_EQ(rows[0].value, 1.5);
    EXPECT_EQ(rows[1].name, "Gr\xC3\xB6\xC3\x9F" "e") << "text comes back as UTF-8";
    EXPECT_EQ(rows[1].value, -2.25);
    EXPECT_TRUE(rows[2].nameNull);
    EXPECT_EQ(rows[2].value, 1e-300);
}

} // namespace
