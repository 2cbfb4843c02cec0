#include "OdbcAccess.h"

#include <string.h>

#include <cmath>

#include <vector>

#include "QmErrors.h"
#include "qxdefs.h"
#include "qxutil.h"

IMPLEMENT_DYNAMIC(QmDBdatabase, QmBaseObj)
IMPLEMENT_DYNAMIC(QmDBtable, QmBaseObj)

namespace {

// Error codes of the connection, as the script object reports them.
enum { ERR_NO_ENVIRONMENT = 1, ERR_NO_CONNECTION = 2 };

// Room for one catalogue entry; names are cut by the vector's own element width.
const SQLLEN kCatalogBuffer = 128;

bool SameText(const std::string& a, const char* b)
{
    return _stricmp(a.c_str(), b ? b : "") == 0;
}

void Report(const QmBaseObj* reporter, const QmBaseObj* self, int code)
{
    (reporter ? reporter : self)->RecordError(code);
}

} // namespace

std::string DbDriverMessage(SQLHENV env, SQLHDBC dbc, SQLHSTMT stmt)
{
    std::string text;
    SQLCHAR state[6] = "";
    SQLINTEGER native = 0;
    SQLCHAR message[SQL_MAX_MESSAGE_LENGTH] = "";
    SQLSMALLINT length = 0;
    // Each call hands back one record and removes it; a few are enough to say why.
    for (int i = 0; i < 4; ++i) {
        SQLRETURN rc = SQLError(env, dbc, stmt, state, &native, message, sizeof message, &length);
        if (!SQL_SUCCEEDED(rc))
            break;
        message[sizeof message - 1] = '\0';
        if (!message[0])
            continue;
        if (!text.empty())
            text += "; ";
        text += reinterpret_cast<char*>(message);
    }
    return text;
}

int DbKindOfSqlType(int sqlType)
{
    if ((sqlType >= SQL_NUMERIC && sqlType <= SQL_DOUBLE) ||
        (sqlType >= SQL_BIT && sqlType <= SQL_BIGINT))
        return DB_KIND_NUMBER;
    // Both the ODBC 2 and the ODBC 3 codes of time and timestamp; dates stay text.
    if (sqlType == SQL_TIME || sqlType == SQL_TYPE_TIME)
        return DB_KIND_TIME;
    if (sqlType == SQL_TIMESTAMP || sqlType == SQL_TYPE_TIMESTAMP)
        return DB_KIND_TIMESTAMP;
    return DB_KIND_TEXT;
}

std::string DbQuoteName(const char* name)
{
    std::string text = name ? name : "";
    if (!text.empty() && text[0] == '"')
        return text;
    std::string quoted = "\"";
    for (char c : text) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + '"';
}

// ---- QmDBdatabase -------------------------------------------------------------------------

QmDBdatabase::~QmDBdatabase()
{
    Disconnect();
}

void QmDBdatabase::SetConnectString(const char* text, const char* source)
{
    connectString = text ? text : "";
    connectSource = source ? source : "";
}

int QmDBdatabase::Connect(const char* source, const char* password, const char* user, HWND parent,
                          int prompt, const QmBaseObj* reporter)
{
    (void)password;
    (void)user;
    failure.clear();
    // Handles still held from an earlier connect would otherwise be lost.
    Disconnect();
    envState = SQLAllocEnv(&env);
    if (envState != SQL_SUCCESS) {
        env = SQL_NULL_HENV;
        envState = -2;
        Report(reporter, this, ERR_NO_ENVIRONMENT);
        failure = "the ODBC environment could not be allocated";
        return 1;
    }
    dbcState = SQLAllocConnect(env, &dbc);
    if (dbcState != SQL_SUCCESS) {
        dbc = SQL_NULL_HDBC;
        dbcState = -2;
        Report(reporter, this, ERR_NO_CONNECTION);
        failure = "the ODBC connection handle could not be allocated";
        Disconnect();
        return 1;
    }
    if (!parent)
        parent = g_qmHostContext;
    std::string sourceName = source ? source : "";
    bool remembered = !connectString.empty() &&
                      (connectSource.empty() || sourceName.empty() || SameText(connectSource, source));
    // A source with an equals sign is a connection string of its own (no data source).
    bool connectionString = sourceName.find('=') != std::string::npos;
    std::string in = remembered ? connectString : connectionString ? sourceName : ";DSN=" + sourceName;
    SQLCHAR out[512] = "";
    SQLSMALLINT outLength = 0;
    SQLRETURN rc = SQLDriverConnect(dbc, parent, reinterpret_cast<SQLCHAR*>(&in[0]), SQL_NTS, out,
                                    sizeof out, &outLength,
                                    prompt ? SQL_DRIVER_COMPLETE : SQL_DRIVER_NOPROMPT);
    if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO) {
        std::string driver = DbDriverMessage(env, dbc, SQL_NULL_HSTMT);
        // A connection string may hold a password: it is not repeated.
        failure = (connectionString ? std::string("cannot connect with the connection string given")
                                    : "cannot connect to the data source \"" + sourceName + "\"") +
                  (driver.empty() ? std::string() : ": " + driver);
        // Nothing stays half open: the caller sees a connection it may try again.
        Disconnect();
        return 1;
    }
    out[sizeof out - 1] = '\0';
    connectString = reinterpret_cast<char*>(out);
    if (!remembered || connectSource.empty())
        connectSource = sourceName;
    return 0;
}

int QmDBdatabase::Disconnect()
{
    if (catalogStmt != SQL_NULL_HSTMT) {
        SQLFreeStmt(catalogStmt, SQL_DROP);
        catalogStmt = SQL_NULL_HSTMT;
    }
    if (dbcState == SQL_SUCCESS) {
        SQLDisconnect(dbc);
        SQLFreeConnect(dbc);
        dbc = SQL_NULL_HDBC;
        dbcState = -2;
    }
    if (envState == SQL_SUCCESS) {
        SQLFreeEnv(env);
        env = SQL_NULL_HENV;
        envState = -2;
    }
    return 0;
}

std::string QmDBdatabase::DatabaseName()
{
    if (!IsConnected())
        return std::string();
    char name[257] = "";
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(SQLGetInfo(dbc, SQL_DATABASE_NAME, name, sizeof name - 1, &length)))
        return std::string();
    name[sizeof name - 1] = '\0';
    return name;
}

int QmDBdatabase::ListSources(QmStringVector& names, QmMemObjInt& count, const QmBaseObj* reporter)
{
    // A listing of its own environment, so that a connection held meanwhile is not touched.
    SQLHENV listEnv = SQL_NULL_HENV;
    if (SQLAllocEnv(&listEnv) != SQL_SUCCESS) {
        Report(reporter, this, ERR_NO_ENVIRONMENT);
        return 0;
    }
    names.Free();
    int n = 0;
    for (;;) {
        SQLCHAR name[SQL_MAX_DSN_LENGTH + 1] = "";
        SQLCHAR description[400] = "";
        SQLSMALLINT nameLength = 0, descriptionLength = 0;
        SQLRETURN rc = SQLDataSources(listEnv, SQL_FETCH_NEXT, name, sizeof name, &nameLength,
                                      description, sizeof description, &descriptionLength);
        // With info only the description was cut: the name itself is whole.
        if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO)
            break;
        if (names.SetText(n, reinterpret_cast<char*>(name)) == 0)
            ++n;
    }
    count.value = n;
    SQLFreeEnv(listEnv);
    return 1;
}

int QmDBdatabase::FillCatalog(QmStringVector& names, QmMemObjInt& count, int column)
{
    // The value is read with SQLGetData alone: drivers need not allow it on a bound column.
    int n = 0;
    while (SQL_SUCCEEDED(SQLFetch(catalogStmt))) {
        char value[kCatalogBuffer] = "";
        SQLLEN length = 0;
        SQLRETURN rc = SQLGetData(catalogStmt, static_cast<SQLUSMALLINT>(column), SQL_C_CHAR, value,
                                  sizeof value, &length);
        if (!SQL_SUCCEEDED(rc) || length == SQL_NULL_DATA)
            continue;
        if (names.SetText(n, value) == 0)
            ++n;
    }
    count.value = n;
    return n == 0 ? 1 : 0;
}

int QmDBdatabase::ListTables(QmStringVector& names, QmMemObjInt& count, const char* source,
                             const char* password, const char* user, int kind, HWND parent,
                             int prompt, const QmBaseObj* reporter)
{
    names.Free();
    count.value = 0;
    failure.clear();
    // A connection held for the same source is listed on and kept; one held for another
    // source is left alone and a scratch connection lists this one.
    bool reuse = IsConnected() && SameText(connectSource, source);
    if (IsConnected() && !reuse) {
        QmDBdatabase scratch;
        int result = scratch.ListTables(names, count, source, password, user, kind, parent, prompt,
                                        reporter ? reporter : this);
        failure = scratch.failure;
        return result;
    }
    if (!reuse && Connect(source, password, user, parent, prompt, reporter) != 0)
        return 1;

    char dbms[200] = "";
    SQLSMALLINT length = 0;
    SQLGetInfo(dbc, SQL_DBMS_NAME, dbms, sizeof dbms, &length);
    bool excel = _stricmp(dbms, "EXCEL") == 0;
    const char* types = nullptr;
    switch (kind) {
    case DB_TABLES:
        types = excel ? "'TABLE','SYSTEM TABLE','ALIAS','SYNONYM'" : "'TABLE'";
        break;
    case DB_VIEWS:
        types = "'VIEW'";
        break;
    case DB_TABLES_AND_VIEWS:
        types = excel ? "'TABLE','SYSTEM TABLE','VIEW','SYNONYM'" : "'TABLE','VIEW'";
        break;
    }
    int result = 1;
    if (types && SQLAllocStmt(dbc, &catalogStmt) == SQL_SUCCESS) {
        std::string typeList = types;
        SQLRETURN rc = SQLTables(catalogStmt, nullptr, 0, nullptr, 0, nullptr, 0,
                                 reinterpret_cast<SQLCHAR*>(&typeList[0]), SQL_NTS);
        if (SQL_SUCCEEDED(rc)) {
            FillCatalog(names, count, 3);
            result = 0;
        }
        SQLFreeStmt(catalogStmt, SQL_DROP);
        catalogStmt = SQL_NULL_HSTMT;
    } else {
        catalogStmt = SQL_NULL_HSTMT;
    }
    if (!reuse)
        Disconnect();
    return result;
}

int QmDBdatabase::ListColumns(QmStringVector& names, QmMemObjInt& count, const char* source,
                              const char* table, const char* password, const char* user,
                              const QmBaseObj* reporter)
{
    names.SetItemSize(64);
    count.value = 0;
    failure.clear();
    bool reuse = IsConnected() && SameText(connectSource, source);
    if (IsConnected() && !reuse) {
        QmDBdatabase scratch;
        int result = scratch.ListColumns(names, count, source, table, password, user,
                                         reporter ? reporter : this);
        failure = scratch.failure;
        return result;
    }
    if (!reuse && Connect(source, password, user, nullptr, 0, reporter) != 0)
        return 1;
    int result = 1;
    if (SQLAllocStmt(dbc, &catalogStmt) == SQL_SUCCESS) {
        std::string name = table ? table : "";
        SQLRETURN rc = SQLColumns(catalogStmt, nullptr, 0, nullptr, 0,
                                  reinterpret_cast<SQLCHAR*>(&name[0]), SQL_NTS, nullptr, 0);
        if (SQL_SUCCEEDED(rc))
            result = FillCatalog(names, count, 4);
        SQLFreeStmt(catalogStmt, SQL_DROP);
    }
    catalogStmt = SQL_NULL_HSTMT;
    if (!reuse)
        Disconnect();
    return result;
}

BOOL QmDBdatabase::ManageSources(HWND parent)
{
    static HMODULE installer = LoadLibraryA("ODBCCP32.DLL");
    if (!installer) {
        MessageBoxA(parent ? parent : g_qmHostContext,
                    "The ODBC installer DLL (ODBCCP32.DLL) is not installed on this system.",
                    "ODBC Installer Error", MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    typedef BOOL(WINAPI * ManageProc)(HWND);
    ManageProc manage = reinterpret_cast<ManageProc>(GetProcAddress(installer, "SQLManageDataSources"));
    if (!manage)
        return FALSE;
    return manage(parent ? parent : g_qmHostContext);
}

// ---- QmDBtable ------------------------------------------------------------------------------

QmDBtable::QmDBtable(QmDBdatabase& owner) : database(owner)
{
    if (database.IsConnected()) {
        stmtState = SQLAllocStmt(database.dbc, &stmt);
        if (stmtState != SQL_SUCCESS) {
            stmt = SQL_NULL_HSTMT;
            stmtState = -2;
        }
    }
}

QmDBtable::~QmDBtable()
{
    if (stmtState == SQL_SUCCESS)
        SQLFreeStmt(stmt, SQL_DROP);
}

int QmDBtable::BuildQuery(const QmString& table, const QmString& queryText)
{
    if (queryText.HasText()) {
        query = queryText.text;
        return 0;
    }
    if (!table.HasText()) {
        query.clear();
        return 1;
    }
    query = "SELECT * FROM " + DbQuoteName(table.text);
    return 0;
}

int QmDBtable::Execute(const QmString& table, const QmString& queryText)
{
    failure.clear();
    if (stmtState != SQL_SUCCESS) {
        failure = "there is no statement handle on the connection";
        execState = -1;
        return SQL_ERROR;
    }
    if (BuildQuery(table, queryText) != 0) {
        failure = "neither DBSQL nor DBTABLE names what to read";
        execState = -1;
        return SQL_ERROR;
    }
    CloseCursor();
    SQLRETURN rc = SQLPrepare(stmt, reinterpret_cast<SQLCHAR*>(&query[0]), SQL_NTS);
    if (SQL_SUCCEEDED(rc)) {
        SQLSMALLINT columns = 0;
        rc = SQLNumResultCols(stmt, &columns);
        if (SQL_SUCCEEDED(rc) && columns == 0) {
            SQLFreeStmt(stmt, SQL_CLOSE);
            failure = "the statement returns no rows, so there is nothing to read; it was not run";
            execState = -1;
            return SQL_ERROR;
        }
        if (SQL_SUCCEEDED(rc))
            rc = SQLExecute(stmt);
    }
    if (!SQL_SUCCEEDED(rc)) {
        std::string driver = DbDriverMessage(SQL_NULL_HENV, SQL_NULL_HDBC, stmt);
        failure = "the query failed" + (driver.empty() ? std::string() : ": " + driver);
        SQLFreeStmt(stmt, SQL_CLOSE);
        execState = -1;
        return rc;
    }
    // With info the result set is there all the same.
    execState = SQL_SUCCESS;
    return execState;
}

void QmDBtable::CloseCursor()
{
    if (execState == SQL_SUCCESS) {
        execState = -1;
        SQLFreeStmt(stmt, SQL_CLOSE);
    }
}

int QmDBtable::DescribeColumn(int column, char* name, size_t size)
{
    SQLCHAR buffer[200] = "";
    SQLSMALLINT length = 0, type = 0, digits = 0, nullable = 0;
    SQLULEN columnSize = 0;
    SQLRETURN rc = SQLDescribeCol(stmt, static_cast<SQLUSMALLINT>(column), buffer, sizeof buffer,
                                  &length, &type, &columnSize, &digits, &nullable);
    if (!SQL_SUCCEEDED(rc)) {
        buffer[0] = '\0';
        type = 0;
    }
    if (name)
        QmCopyText(name, size, reinterpret_cast<char*>(buffer));
    return type;
}

int QmDBtable::ColumnType(int column)
{
    return DescribeColumn(column, nullptr, 0);
}

int QmDBtable::ColumnCount()
{
    SQLSMALLINT columns = 0;
    if (!SQL_SUCCEEDED(SQLNumResultCols(stmt, &columns)))
        return 0;
    return columns;
}

int QmDBtable::FetchText(int column, char* buffer, size_t size)
{
    SQLRETURN rc = SQLFetch(stmt);
    if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO)
        return -1;
    // A long text arrives in pieces, each ended by the driver; gather them all.
    std::string value;
    for (;;) {
        char piece[256];
        SQLLEN length = 0;
        rc = SQLGetData(stmt, static_cast<SQLUSMALLINT>(column), SQL_C_CHAR, piece, sizeof piece, &length);
        if (!SQL_SUCCEEDED(rc) || length == SQL_NULL_DATA)
            break;
        piece[sizeof piece - 1] = '\0';
        value += piece;
        if (rc == SQL_SUCCESS || value.size() + 1 >= size)
            break;
    }
    QmCopyText(buffer, size, value.c_str());
    return 0;
}

int QmDBtable::FetchNumber(int column, int* kind, double* value)
{
    SQLRETURN rc = SQLFetch(stmt);
    if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO)
        return -1;
    SQLLEN length = 0;
    *value = MISSING_VALUE;
    if (*kind == DB_KIND_NUMBER) {
        double number = 0;
        rc = SQLGetData(stmt, static_cast<SQLUSMALLINT>(column), SQL_C_DOUBLE, &number, 0, &length);
        if (SQL_SUCCEEDED(rc) && length != SQL_NULL_DATA && std::isfinite(number))
            *value = number;
        return 0;
    }
    if (*kind != DB_KIND_TIME && *kind != DB_KIND_DATE && *kind != DB_KIND_TIMESTAMP)
        return 0;
    TIMESTAMP_STRUCT stamp = {};
    rc = SQLGetData(stmt, static_cast<SQLUSMALLINT>(column), SQL_C_TIMESTAMP, &stamp, sizeof stamp,
                    &length);
    if (!SQL_SUCCEEDED(rc) || length == SQL_NULL_DATA)
        return 0;
    if (*kind == DB_KIND_TIMESTAMP)
        *kind = stamp.hour || stamp.minute || stamp.second ? DB_KIND_TIME : DB_KIND_DATE;
    UtilCalendar fields = {stamp.second, stamp.minute, stamp.hour, stamp.day, stamp.month - 1,
                           stamp.year, {0, 0, 0}};
    double number = 0;
    if (UtilCalendarToNumber(&fields, &number, 6) == 0)
        *value = number;
    return 0;
}
