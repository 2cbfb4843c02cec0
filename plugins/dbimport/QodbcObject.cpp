#include "QodbcObject.h"

#include <string.h>

#include <string>

#include "QueryDialog.h"
#include "QueryText.h"
#include "qxutil.h"

IMPLEMENT_DYNAMIC(QmODBCMethod, QmMethod)
IMPLEMENT_DYNAMIC(QmODBCIOMethod, QmMethod)
IMPLEMENT_DYNAMIC(QmOpenODBC, QmMethod)
IMPLEMENT_DYNAMIC(QmODBCReadTable, QmODBCIOMethod)
IMPLEMENT_DYNAMIC(QmODBCReadRow, QmODBCMethod)
IMPLEMENT_DYNAMIC(QmODBCReadCol, QmODBCMethod)
IMPLEMENT_DYNAMIC(QmCloseODBC, QmMethod)
IMPLEMENT_DYNAMIC(QmAddSource, QmMethod)
IMPLEMENT_DYNAMIC(QmGetSource, QmMethod)
IMPLEMENT_DYNAMIC(QmGetTable, QmMethod)
IMPLEMENT_DYNAMIC(QmGetCol, QmMethod)
IMPLEMENT_DYNAMIC(QmGetcolInfo, QmODBCIOMethod)
IMPLEMENT_DYNAMIC(QmSQLEdit, QmODBCIOMethod)
IMPLEMENT_DYNAMIC(QmReadSQL, QmMethod)
IMPLEMENT_DYNAMIC(QmSaveSQL, QmMethod)
IMPLEMENT_DYNAMIC(QmODBC, QmDLL)
IMPLEMENT_DYNAMIC(QmQueryText, QmString)

namespace {

QmODBC& Root(QmDLL* root)
{
    return *static_cast<QmODBC*>(root);
}

const char* Text(const QmString& s)
{
    return s.text ? s.text : "";
}

// The method's integer argument when the call gave one, else `fallback`.
int ArgumentOr(QmMethod& method, int fallback)
{
    QmProperty* a = method.args[0];
    return a && a->given ? static_cast<int>(a->GetReal()) : fallback;
}

} // namespace

int QmQueryText::Value(char* buffer, int flags)
{
    if (buffer && (flags & QM_ACCESS_SET) && strnlen(buffer, QM_STRING_RESULT_SIZE) >= QM_STRING_RESULT_SIZE) {
        QmFailureReason("the query is %u characters long; a query holds at most %d, so DBSQL is "
                        "left as it was",
                        static_cast<unsigned>(strlen(buffer)), QM_STRING_RESULT_SIZE - 1);
        return 2;
    }
    return QmString::Value(buffer, flags);
}

// ---- The root ----------------------------------------------------------------------------

QmODBC::QmODBC()
    : m_props{{&m_dbSource, "DBSOURCE"}, {&m_dbPwd, "DBPWD"}, {&m_dbUid, "DBUID"},
              {&m_dbTable, "DBTABLE"}, {&m_wksName, "WKSNAME"}, {&m_dbC1, "DBC1"},
              {&m_dbC2, "DBC2"}, {&m_dbR1, "DBR1"}, {&m_dbR2, "DBR2"},
              {&m_dbColName, "DBCOLNAME"}, {&m_dbSql, "DBSQL"}, {&m_r1, "R1"}, {&m_c1, "C1"},
              {&m_autoSetCol, "AUTOSETCOL"}, {&m_sourceList, "DBSOURCELIST"},
              {&m_sourceCount, "DBSOURCECOUNT"}, {&m_tableList, "DBTABLELIST"},
              {&m_tableCount, "DBTABLECOUNT"}, {&m_colNameList, "DBCOLNAMELIST"},
              {&m_colCount, "DBCOLCOUNT"}, {&m_sqlComment, "SQLCOMMENT"},
              {&m_tableType, "TABLETYPE"}, {&m_dbPath, "DBPATH"}, {nullptr, nullptr}},
      m_meths{{&m_reset, "RESET"}, {&m_open, "OPEN"}, {&m_read, "READ"}, {&m_readRow, "READROW"},
              {&m_readCol, "READCOL"}, {&m_close, "CLOSE"}, {&m_addSource, "ADDSOURCE"},
              {&m_getSourceList, "GETSOURCELIST"}, {&m_getTableList, "GETTABLELIST"},
              {&m_getColsList, "GETCOLSLIST"}, {&m_getColInfo, "GETCOLINFO"},
              {&m_editSql, "EDITSQL"}, {&m_loadSql, "LOADSQL"}, {&m_saveSql, "SAVESQL"},
              {nullptr, nullptr}}
{
    name_table(m_props);
    name_table(m_meths);
    for (QmTableEntry* e = m_meths; e->name; ++e)
        static_cast<QmMethod*>(e->object)->InitTableSubproperties(this);
    ResetOwn();
}

int QmODBC::Property(const char* name, int flags, void* value)
{
    int r = find_value(name, flags, value, m_props, nullptr);
    return r ? r : QmDLL::Property(name, flags, value);
}

void QmODBC::ListAll()
{
    list_table(m_meths, nullptr);
    list_table(m_props, nullptr);
    QmDLL::ListAll();
}

int QmODBC::Command(const char* methodName, const char* argText, double* result)
{
    int r = find_command(methodName, argText, result, m_meths);
    return r ? r : QmDLL::Command(methodName, argText, result);
}

int QmODBC::CommandValue(const char* methodName, const char* name, void* value, int flags)
{
    int r = find_command_value(methodName, name, flags, value, m_meths);
    return r ? r : QmDLL::CommandValue(methodName, name, value, flags);
}

void QmODBC::ResetAll()
{
    QmDLL::ResetAll();
    ResetOwn();
}

void QmODBC::ResetOwn()
{
    QmString* texts[] = {&m_dbSource, &m_dbPwd, &m_dbUid, &m_dbTable, &m_wksName, &m_dbColName,
                         &m_dbSql, &m_sqlComment, &m_tableType, &m_dbPath};
    for (QmString* s : texts)
        s->SetText("");
    QmMemObjInt* numbers[] = {&m_dbC1, &m_dbC2, &m_dbR1, &m_dbR2, &m_r1, &m_c1};
    for (QmMemObjInt* n : numbers)
        n->value = 0;
    m_autoSetCol.value = 0;
    QmClearErrors();
}

// ---- Methods -------------------------------------------------------------------------------

int QmOpenODBC::Process(double* result, QmDLL* root)
{
    QmODBC& r = Root(root);
    r.database.SetConnectString(r.connectString.c_str(), r.connectSource.c_str());
    if (r.database.Connect(Text(r.m_dbSource), Text(r.m_dbPwd), Text(r.m_dbUid), nullptr, 0, this) != 0) {
        RecordError(QODBC_ERR_1);
        QmFailureReason("%s", r.database.failure.c_str());
        return 1;
    }
    r.m_dbPath.SetText(r.database.DatabaseName().c_str());
    *result = 0;
    return 0;
}

QmODBCReadTable::QmODBCReadTable() : m_table{{&m_mode, "MODE"}, {&m_autoAddCol, "AUTOADDCOL"}, {nullptr, nullptr}}
{
    AddArgument(new QmMemObjInt);
    for (QmTableEntry* e = m_table; e->name; ++e)
        e->object->SetName(e->name);
}

int QmODBCReadTable::Process(double* result, QmDLL* root)
{
    QmODBC& r = Root(root);
    int mode = ArgumentOr(*this, m_mode.value);
    int failed = reader.Read(*this, r, 0, QODBC_ALL_ROWS, mode, m_autoAddCol.value);
    r.m_dbSql.SetText("");
    *result = failed;
    return failed;
}

int QmODBCReadRow::Process(double* result, QmDLL* root)
{
    QmODBC& r = Root(root);
    if (r.m_dbR2.value == 0) {
        RecordError(QODBC_ERR_3);
        QmFailureReason("DBR2, the last row to read, is 0");
        return 1;
    }
    int failed = reader.Read(*this, r, r.m_dbR1.value, r.m_dbR2.value, 0, 0);
    r.m_dbSql.SetText("");
    *result = failed;
    return failed;
}

int QmODBCReadCol::Process(double* result, QmDLL* root)
{
    QmODBC& r = Root(root);
    if (!r.m_dbColName.HasText()) {
        RecordError(QODBC_ERR_1);
        QmFailureReason("DBCOLNAME names no column");
        return 1;
    }
    std::string sql = "SELECT " + DbQuoteName(r.m_dbColName.text) + " FROM " + DbQuoteName(Text(r.m_dbTable));
    r.m_dbSql.SetText(sql.c_str());
    int failed = reader.Read(*this, r, 0, QODBC_ALL_ROWS, 0, 0);
    r.m_dbSql.SetText("");
    *result = failed;
    return failed;
}

int QmCloseODBC::Process(double* result, QmDLL* root)
{
    Root(root).database.Disconnect();
    *result = 0;
    return 0;
}

int QmAddSource::Process(double* result, QmDLL* root)
{
    // The administrator may be missing or a stub that opens nothing; either way the
    // script goes on, and the answer tells it whether anything was shown.
    bool shown = Root(root).database.ManageSources(nullptr) != FALSE;
    if (!shown)
        QmPrintText("QODBC.ADDSOURCE: the ODBC data source administrator could not be opened on this system.");
    *result = shown ? 0 : 1;
    return 0;
}

int QmGetSource::Process(double* result, QmDLL* root)
{
    QmODBC& r = Root(root);
    if (!r.database.ListSources(r.m_sourceList, r.m_sourceCount, this))
        return 1;
    *result = r.m_sourceCount.value;
    return 0;
}

int QmGetTable::Process(double* result, QmDLL* root)
{
    QmODBC& r = Root(root);
    if (!r.m_dbSource.HasText()) {
        RecordError(QODBC_ERR_1);
        QmFailureReason("DBSOURCE names no data source");
        return 1;
    }
    // Tables and views alike: a script asking for the tables of a source wants its tables.
    if (r.database.ListTables(r.m_tableList, r.m_tableCount, r.m_dbSource.text, Text(r.m_dbPwd),
                              Text(r.m_dbUid), DB_TABLES_AND_VIEWS, nullptr, 0, this) != 0) {
        QmFailureReason("cannot list the tables of \"%s\"%s%s", r.m_dbSource.text,
                        r.database.failure.empty() ? "" : ": ", r.database.failure.c_str());
        return 1;
    }
    *result = r.m_tableCount.value;
    return 0;
}

int QmGetCol::Process(double* result, QmDLL* root)
{
    QmODBC& r = Root(root);
    *result = 1;
    if (!r.m_dbSource.HasText()) {
        RecordError(QODBC_ERR_1);
        QmFailureReason("DBSOURCE names no data source");
        return 1;
    }
    if (!r.m_dbTable.HasText()) {
        RecordError(QODBC_ERR_2);
        QmFailureReason("DBTABLE names no table");
        return 1;
    }
    if (r.database.ListColumns(r.m_colNameList, r.m_colCount, r.m_dbSource.text, r.m_dbTable.text,
                               Text(r.m_dbPwd), Text(r.m_dbUid), this) != 0) {
        QmFailureReason("cannot list the columns of \"%s\" in \"%s\"%s%s", r.m_dbTable.text,
                        r.m_dbSource.text, r.database.failure.empty() ? "" : ": ",
                        r.database.failure.c_str());
        return 1;
    }
    *result = 0;
    return 0;
}

QmGetcolInfo::QmGetcolInfo() : m_table{{&m_name, "NAME"}, {&m_type, "TYPE"}, {nullptr, nullptr}}
{
    AddArgument(new QmMemObjInt);
    for (QmTableEntry* e = m_table; e->name; ++e)
        e->object->SetName(e->name);
}

int QmGetcolInfo::Process(double* result, QmDLL* root)
{
    QmODBC& r = Root(root);
    bool connectedHere = false;
    if (!r.database.IsConnected()) {
        if (r.database.Connect(Text(r.m_dbSource), "", "", nullptr, 0, this) != 0) {
            RecordError(QODBC_ERR_1);
            QmFailureReason("%s", r.database.failure.c_str());
            return 1;
        }
        connectedHere = true;
    }
    int failed = 0;
    {
        QmDBtable table(r.database);
        QmString query;
        if (table.Execute(r.m_dbTable, query) != SQL_SUCCESS) {
            RecordError(QODBC_ERR_2);
            QmFailureReason("%s", table.failure.c_str());
            failed = 1;
        } else {
            int column = ArgumentOr(*this, 0);
            char name[200] = "";
            int type = table.DescribeColumn(column, name, sizeof name);
            m_name.SetText(name);
            m_type.value = DbKindOfSqlType(type);
            table.CloseCursor();
            *result = m_type.value;
        }
    }
    if (connectedHere)
        r.database.Disconnect();
    return failed;
}

int QmSQLEdit::Process(double* result, QmDLL* root)
{
    int accepted = EditQuery(Root(root));
    *result = accepted ? 0 : 1;
    return accepted ? 0 : 1;
}

QmReadSQL::QmReadSQL()
{
    AddArgument(new QmMemObjInt);
}

int QmReadSQL::Process(double* result, QmDLL* root)
{
    *result = 1;
    return LoadSavedQuery(*this, Root(root), ArgumentOr(*this, 1), result);
}

QmSaveSQL::QmSaveSQL()
{
    AddArgument(new QmMemObjInt);
}

int QmSaveSQL::Process(double* result, QmDLL* root)
{
    *result = 0;
    return SaveQuery(Root(root), ArgumentOr(*this, 1));
}
