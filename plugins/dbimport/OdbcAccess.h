// The plug-in's view of ODBC: a connection with the catalogue listings (QmDBdatabase)
// and one statement on it (QmDBtable). Both speak the plain ODBC 2 entry points, which
// are the ones every driver manager passes through.
//
// A connection remembers the completed connection string the driver handed back, so a
// login typed into a driver's own dialog is not asked for again. The string belongs to
// the data source it was obtained for: asking for another source connects by that
// source's name instead, never to the remembered one.
#pragma once

#include <windows.h>
#include <sql.h>
#include <sqlext.h>

#include <string>

#include "QmFramework.h"

// Kinds of a result column, from its SQL type.
enum DbColumnKind {
    DB_KIND_NUMBER = 0,
    DB_KIND_TEXT = 1,
    DB_KIND_TIME = 2,
    DB_KIND_DATE = 3,      // a date without time of day; only ever decided from a timestamp
    DB_KIND_TIMESTAMP = 4, // decided at the first value: becomes DB_KIND_TIME or DB_KIND_DATE
};

// Table kinds of ListTables.
enum DbTableKind { DB_TABLES = 0, DB_VIEWS = 1, DB_TABLES_AND_VIEWS = 2 };

// The kind of a column of SQL type `sqlType`.
int DbKindOfSqlType(int sqlType);

// `name` in double quotes for a statement; a name already in quotes stays as it is, and
// quotes inside a name are doubled, so that any table or column name reaches the driver.
std::string DbQuoteName(const char* name);

class QmDBdatabase : public QmBaseObj {
    DECLARE_DYNAMIC(QmDBdatabase)
public:
    QmDBdatabase() = default;
    ~QmDBdatabase() override;
    QmDBdatabase(const QmDBdatabase&) = delete;
    QmDBdatabase& operator=(const QmDBdatabase&) = delete;

    // 0 connected, 1 failed. The password and the user are accepted and not used: a
    // driver that needs them asks for them when `prompt` is set. `reporter` is the object
    // whose class name an allocation failure is recorded under (null: this one). A
    // connection already held is released first.
    // `source` is a data source name, or a whole connection string ("DRIVER=...;
    // Database=...") when it holds an equals sign. After a failure, `failure` says why,
    // in the driver's own words where it gave any.
    int Connect(const char* source, const char* password, const char* user, HWND parent,
                int prompt, const QmBaseObj* reporter = nullptr);
    int Disconnect();
    bool IsConnected() const { return dbcState == SQL_SUCCESS; }

    // Every data source name into the vector (emptied first); the count := their number.
    // Answers 1; 0 when the environment could not be allocated (error 1 under `reporter`).
    int ListSources(QmStringVector& names, QmMemObjInt& count, const QmBaseObj* reporter = nullptr);
    // The tables, views or both of a source (DbTableKind). 0 listed, 1 failed.
    int ListTables(QmStringVector& names, QmMemObjInt& count, const char* source,
                   const char* password, const char* user, int kind, HWND parent, int prompt,
                   const QmBaseObj* reporter = nullptr);
    // The column names of a table (elements of 64 characters). 0 listed, 1 failed (also
    // when the table has no columns, which is how a missing table shows).
    int ListColumns(QmStringVector& names, QmMemObjInt& count, const char* source,
                    const char* table, const char* password, const char* user,
                    const QmBaseObj* reporter = nullptr);
    // Opens the system's data source administrator, owned by `parent` (null: the host
    // window). Answers what the installer answered; FALSE also when it is missing.
    BOOL ManageSources(HWND parent);

    // The database name the driver reports, "" when it reports none.
    std::string DatabaseName();

    const std::string& GetConnectString() const { return connectString; }
    // The string applies to `source` (empty: to whatever source is asked for next).
    void SetConnectString(const char* text, const char* source = nullptr);
    const std::string& GetConnectSource() const { return connectSource; }

    std::string connectString;
    std::string connectSource; // the data source connectString was obtained for
    std::string failure;       // why the last Connect failed
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
    SQLSMALLINT envState = -2;
    SQLSMALLINT dbcState = -2;
    SQLHSTMT catalogStmt = SQL_NULL_HSTMT;

private:
    int FillCatalog(QmStringVector& names, QmMemObjInt& count, int column);
};

class QmDBtable : public QmBaseObj {
    DECLARE_DYNAMIC(QmDBtable)
public:
    explicit QmDBtable(QmDBdatabase& database);
    ~QmDBtable() override;
    QmDBtable(const QmDBtable&) = delete;
    QmDBtable& operator=(const QmDBtable&) = delete;

    // The statement text: the query when it is not empty, else every column of the table.
    // 0 when there is one, 1 when both are empty.
    int BuildQuery(const QmString& table, const QmString& queryText);
    // Runs the statement; 0 = success (also with info). A statement that returns no rows
    // (DROP TABLE, UPDATE ...) is refused before it runs: these methods read, and a
    // statement that changes the database must not run as a side effect of a failed read.
    // After a failure, `failure` says why, in the driver's words where it gave any.
    int Execute(const QmString& table, const QmString& queryText);
    void CloseCursor();

    // Name and SQL type of result column `column` (1-based); the name into a buffer of
    // `size` bytes. The type is 0 when the column is not there.
    int DescribeColumn(int column, char* name, size_t size);
    int ColumnType(int column);
    int ColumnCount();

    // The next row's value of `column` as text (NULL gives ""), cut to the buffer.
    // 0 fetched, -1 no more rows.
    int FetchText(int column, char* buffer, size_t size);
    // The next row's value as a number by `kind` (updated when it is DB_KIND_TIMESTAMP).
    // 0 fetched, -1 no more rows. NULL, a value the driver cannot convert, and NaN or an
    // infinity give MISSING_VALUE: one bad cell must not end the column, and a number that
    // is no number is a missing value in a worksheet.
    int FetchNumber(int column, int* kind, double* value);

    QmDBdatabase& database;
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    SQLSMALLINT stmtState = -2;
    SQLSMALLINT execState = -1;
    std::string query;
    std::string failure;
};

// The driver's own diagnostic text for the last call on the handles given (the most
// specific one first), "" when it gave none.
std::string DbDriverMessage(SQLHENV env, SQLHDBC dbc, SQLHSTMT stmt);
