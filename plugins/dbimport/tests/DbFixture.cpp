#include "DbFixture.h"

#include <cstdlib>
#include <fstream>
#include <functional>

#include "qxdefs.h"
#include "qxtest/Odbc.h"

namespace dbtest {

const char kMain[] = "QxDbMain";
const char kOther[] = "QxDbOther";
const char kEdge[] = "QxDbEdge";
const std::string kLongText = [] {
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += "line " + std::to_string(i) + " \xC3\xA9t\xC3\xA9; ";
    return text;
}();

const std::vector<SampleRow> kSampleRows = {
    {1, "alpha", 1.5, 10},
    {2, "Gr\xC3\xB6\xC3\x9F" "e", -2.25, 20},
    {3, nullptr, 1e-300, 30},
    {4, "delta", MISSING_VALUE, 40},
    {5, "epsilon", 5, 50},
    {6, "zeta", 6, 60},
    {7, "eta", 7, 70},
    {8, "theta", 8, 80},
};

namespace {

std::string Number(double v)
{
    if (v == MISSING_VALUE)
        return "NULL";
    char text[40];
    snprintf(text, sizeof text, "%.17g", v);
    return text;
}

} // namespace

void Exec(const char* source, const std::vector<std::string>& statements)
{
    SQLHENV env = nullptr;
    SQLHDBC dbc = nullptr;
    ASSERT_TRUE(SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env)));
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    ASSERT_TRUE(SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc)));
    std::string in = std::string("DSN=") + source + ";";
    SQLCHAR out[512];
    SQLSMALLINT outLength = 0;
    SQLRETURN rc = SQLDriverConnect(dbc, nullptr, (SQLCHAR*)in.c_str(), SQL_NTS, out, sizeof out,
                                    &outLength, SQL_DRIVER_NOPROMPT);
    ASSERT_TRUE(SQL_SUCCEEDED(rc)) << qxtest::OdbcDiagnostic(SQL_HANDLE_DBC, dbc);
    for (const std::string& sql : statements) {
        SQLHSTMT stmt = nullptr;
        ASSERT_TRUE(SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt)));
        rc = SQLExecDirect(stmt, (SQLCHAR*)sql.c_str(), SQL_NTS);
        EXPECT_TRUE(SQL_SUCCEEDED(rc)) << sql << ": " << qxtest::OdbcDiagnostic(SQL_HANDLE_STMT, stmt);
        SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    }
    SQLDisconnect(dbc);
    SQLFreeHandle(SQL_HANDLE_DBC, dbc);
    SQLFreeHandle(SQL_HANDLE_ENV, env);
}

void CreateDatabases()
{
    const char* dir = std::getenv("ODBCSYSINI");
    ASSERT_NE(dir, nullptr) << "ODBCSYSINI is not set: run through CTest";
    std::string unixDir = dir;
    std::string win = qxtest::WindowsPathOf(unixDir);
    // Test cases of one program run side by side in processes of their own: the first
    // creates the databases, the others find them made (the marker names this fixture's
    // version, so a changed fixture makes them again).
    const char version[] = "qxdb-fixture-3";
    std::string mutexName = "QxDbFixture" + std::to_string(std::hash<std::string>()(unixDir));
    HANDLE mutex = CreateMutexA(nullptr, FALSE, mutexName.c_str());
    ASSERT_NE(mutex, nullptr);
    WaitForSingleObject(mutex, INFINITE);
    struct Release {
        HANDLE h;
        ~Release()
        {
            ReleaseMutex(h);
            CloseHandle(h);
        }
    } release{mutex};
    std::string marker;
    std::getline(std::ifstream(win + "\\made.txt"), marker);
    if (marker == version)
        return;
    qxtest::WriteSqliteSources(unixDir, "QxDbSQLite3",
                               {{kMain, unixDir + "/main.db"}, {kOther, unixDir + "/other.db"},
                                {kEdge, unixDir + "/edge.db"}});
    DeleteFileA((win + "\\main.db").c_str());
    DeleteFileA((win + "\\other.db").c_str());
    DeleteFileA((win + "\\edge.db").c_str());

    std::vector<std::string> sql = {
        "CREATE TABLE samples (id INTEGER, name TEXT, value REAL, \"2006 Sales\" REAL, "
        "stamp TIMESTAMP, day DATE)",
        "CREATE VIEW big_samples AS SELECT id, value FROM samples WHERE value > 0",
        "CREATE TABLE \"odd table\" (\"a b\" INTEGER)",
        "INSERT INTO \"odd table\" VALUES (42)",
        "CREATE TABLE notes (body TEXT)",
        "INSERT INTO notes VALUES ('" + kLongText + "')",
    };
    for (const SampleRow& r : kSampleRows) {
        std::string name = r.name ? std::string("'") + r.name + "'" : "NULL";
        // The first stamp is midnight, so the whole column reads as dates.
        std::string stamp = r.id == 1 ? "'2015-03-01 00:00:00'" : "'2015-03-0" + std::to_string(r.id % 9) + " 12:00:00'";
        sql.push_back("INSERT INTO samples VALUES (" + std::to_string(r.id) + ", " + name + ", " +
                      Number(r.value) + ", " + Number(r.sales) + ", " + stamp + ", '2020-01-0" +
                      std::to_string(r.id) + "')");
    }
    Exec(kMain, sql);
    Exec(kOther, {"CREATE TABLE other (x INTEGER)", "INSERT INTO other VALUES (7)"});
    // 9e999 is beyond a double: SQLite keeps it as an infinity.
    Exec(kEdge, {"CREATE TABLE extremes (v REAL)", "INSERT INTO extremes VALUES (1.5)",
                 "INSERT INTO extremes VALUES (9e999)", "INSERT INTO extremes VALUES (-9e999)",
                 "CREATE TABLE keep (x INTEGER)", "INSERT INTO keep VALUES (1)"});
    if (!::testing::Test::HasFailure())
        std::ofstream(win + "\\made.txt") << version << "\n";
}

} // namespace dbtest
