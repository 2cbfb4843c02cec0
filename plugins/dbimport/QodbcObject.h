// The script object QODBC: properties that name a data source, a table, a worksheet and
// ranges, and methods that connect, list, read query results into the worksheet and
// keep queries. The root owns one connection that its methods share.
#pragma once

#include "OdbcAccess.h"
#include "QmFramework.h"

// Error codes of this object, recorded under the failing method's class name.
enum QodbcError {
    QODBC_ERR_1 = 1, // no environment; no connection; a needed name is empty; no column range;
                     // a loaded query names a column the table lacks
    QODBC_ERR_2 = 2, // no connection handle; the query failed; DBTABLE empty for GETCOLSLIST;
                     // a loaded query's table is not in the source
    QODBC_ERR_3 = 3, // READROW without DBR2; too few worksheet columns; a loaded query's
                     // source is unknown
    QODBC_ERR_4 = 4, // a result column does not fit its worksheet column
};

// The last row READ and READCOL take: as many as a result holds.
enum { QODBC_ALL_ROWS = 0x7FFFFFFF };

class QmODBC;

// The reading state shared by the reading methods: which result columns go to which
// worksheet columns and rows.
struct DbReadState {
    int firstCol = 0;
    int lastCol = 0;
    int firstWksCol = 0;
    int firstWksRow = 0;
    int rowFrom = 0;
    int rowTo = 0;
    int wksColCount = 0;
    int resultColCount = 0;

    // Reads result rows firstRow..lastRow (0-based, inclusive) of the root's query into
    // its worksheet. `mode` 0 takes every result column, else DBC1..DBC2; `addColumns`
    // lets it add worksheet columns. 0 done (also after a cancel), 1 failed; errors are
    // recorded under `method`'s class name.
    int Read(QmMethod& method, QmODBC& root, int firstRow, int lastRow, int mode, int addColumns);

private:
    int CheckWorksheet(QmMethod& method, QmODBC& root, class QmQuorixWks& wks, class QmDBtable& table,
                       int addColumns);
    int CheckStartCell(QmMethod& method, QmODBC& root, int addColumns);
};

// DBSQL: a query text that is kept whole or not at all. A statement cut to the host's
// string size would run as a different statement and read wrong rows without a word.
class QmQueryText : public QmString {
    DECLARE_DYNAMIC(QmQueryText)
public:
    int Value(char* buffer, int flags) override;
};

class QmODBCMethod : public QmMethod {
    DECLARE_DYNAMIC(QmODBCMethod)
public:
    DbReadState reader;
};

class QmODBCIOMethod : public QmMethod {
    DECLARE_DYNAMIC(QmODBCIOMethod)
public:
    DbReadState reader;
};

class QmOpenODBC : public QmMethod {
    DECLARE_DYNAMIC(QmOpenODBC)
public:
    int Process(double* result, QmDLL* root) override;
};

class QmODBCReadTable : public QmODBCIOMethod {
    DECLARE_DYNAMIC(QmODBCReadTable)
public:
    QmODBCReadTable();
    int Process(double* result, QmDLL* root) override;
    QmTableEntry* GetTable() override { return m_table; }

    QmMemObjInt m_mode;
    QmBool m_autoAddCol;

private:
    QmTableEntry m_table[3];
};

class QmODBCReadRow : public QmODBCMethod {
    DECLARE_DYNAMIC(QmODBCReadRow)
public:
    int Process(double* result, QmDLL* root) override;
};

class QmODBCReadCol : public QmODBCMethod {
    DECLARE_DYNAMIC(QmODBCReadCol)
public:
    int Process(double* result, QmDLL* root) override;
};

class QmCloseODBC : public QmMethod {
    DECLARE_DYNAMIC(QmCloseODBC)
public:
    int Process(double* result, QmDLL* root) override;
};

class QmAddSource : public QmMethod {
    DECLARE_DYNAMIC(QmAddSource)
public:
    int Process(double* result, QmDLL* root) override;
};

class QmGetSource : public QmMethod {
    DECLARE_DYNAMIC(QmGetSource)
public:
    int Process(double* result, QmDLL* root) override;
};

class QmGetTable : public QmMethod {
    DECLARE_DYNAMIC(QmGetTable)
public:
    int Process(double* result, QmDLL* root) override;
};

class QmGetCol : public QmMethod {
    DECLARE_DYNAMIC(QmGetCol)
public:
    int Process(double* result, QmDLL* root) override;
};

class QmGetcolInfo : public QmODBCIOMethod {
    DECLARE_DYNAMIC(QmGetcolInfo)
public:
    QmGetcolInfo();
    int Process(double* result, QmDLL* root) override;
    QmTableEntry* GetTable() override { return m_table; }

    QmString m_name;
    QmMemObjInt m_type;

private:
    QmTableEntry m_table[3];
};

class QmSQLEdit : public QmODBCIOMethod {
    DECLARE_DYNAMIC(QmSQLEdit)
public:
    int Process(double* result, QmDLL* root) override;
};

class QmReadSQL : public QmMethod {
    DECLARE_DYNAMIC(QmReadSQL)
public:
    QmReadSQL();
    int Process(double* result, QmDLL* root) override;
};

class QmSaveSQL : public QmMethod {
    DECLARE_DYNAMIC(QmSaveSQL)
public:
    QmSaveSQL();
    int Process(double* result, QmDLL* root) override;
};

class QmODBC : public QmDLL {
    DECLARE_DYNAMIC(QmODBC)
public:
    QmODBC();

    int Property(const char* name, int flags, void* value) override;
    void ListAll() override;
    int Command(const char* methodName, const char* argText, double* result) override;
    int CommandValue(const char* methodName, const char* name, void* value, int flags) override;
    void ResetAll() override;

    // The object's own reset: names, ranges and flags emptied, the lists kept.
    void ResetOwn();

    // The connection string the query dialog settled, and the source it belongs to.
    std::string connectString;
    std::string connectSource;
    QmDBdatabase database;

    QmString m_dbSource;
    QmString m_dbPwd;
    QmString m_dbUid;
    QmString m_dbTable;
    QmWksName m_wksName;
    QmMemObjInt m_dbC1;
    QmMemObjInt m_dbC2;
    QmMemObjInt m_dbR1;
    QmMemObjInt m_dbR2;
    QmString m_dbColName;
    QmQueryText m_dbSql;
    QmMemObjInt m_r1;
    QmMemObjInt m_c1;
    QmBool m_autoSetCol;
    QmStringVector m_sourceList{80, 5};
    QmMemObjInt m_sourceCount;
    QmStringVector m_tableList{80, 5};
    QmMemObjInt m_tableCount;
    QmStringVector m_colNameList{80, 5};
    QmMemObjInt m_colCount;
    QmString m_sqlComment;
    QmString m_tableType;
    QmString m_dbPath;

    QmReset m_reset;
    QmOpenODBC m_open;
    QmODBCReadTable m_read;
    QmODBCReadRow m_readRow;
    QmODBCReadCol m_readCol;
    QmCloseODBC m_close;
    QmAddSource m_addSource;
    QmGetSource m_getSourceList;
    QmGetTable m_getTableList;
    QmGetCol m_getColsList;
    QmGetcolInfo m_getColInfo;
    QmSQLEdit m_editSql;
    QmReadSQL m_loadSql;
    QmSaveSQL m_saveSql;

private:
    QmTableEntry m_props[24];
    QmTableEntry m_meths[15];
};

// The worksheet column name of a result column described as `described`.
std::string DbWorksheetColumnName(const char* described);

// The plug-in's one root.
QmODBC& QodbcRoot();
