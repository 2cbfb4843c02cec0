// Reading a query result into a worksheet, column by column: each column runs the query
// again and fetches one value at a time, so a column needs no memory beyond one value.
#include <ctype.h>
#include <string.h>

#include <string>
#include <vector>

#include "QodbcObject.h"
#include "qxutil.h"

namespace {

// What GetColumnFormat answers for a column that is not there.
enum { WKS_NO_COLUMN = -1 };

std::string Trim(const std::string& s)
{
    size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos)
        return std::string();
    size_t e = s.find_last_not_of(' ');
    return s.substr(b, e - b + 1);
}

bool Fits(int kind, int format)
{
    if (kind == DB_KIND_NUMBER)
        return format == QM_FORMAT_NUMBER || format == QM_FORMAT_DATE;
    if (kind == DB_KIND_TEXT)
        return format >= QM_FORMAT_TEXT;
    return false;
}

// Closes the progress box however the read ends.
struct ProgressBox {
    explicit ProgressBox(HWND owner) : window(owner)
    {
        UtilProgressBox(window, UTIL_PROGRESS_OPEN, 0, "Reading Database");
    }
    ~ProgressBox() { UtilProgressBox(window, UTIL_PROGRESS_CLOSE, 0, nullptr); }
    HWND window;
};

// Connects the root for one call when no connection is open, and disconnects again.
struct CallConnection {
    CallConnection(QmODBC& root, QmMethod& method) : r(root)
    {
        if (r.database.IsConnected())
            return;
        r.database.SetConnectString(r.connectString.c_str(), r.connectSource.c_str());
        if (r.database.Connect(r.m_dbSource.text ? r.m_dbSource.text : "", "", "", nullptr, 0,
                               &method) == 0)
            made = true;
    }
    ~CallConnection()
    {
        if (made)
            r.database.Disconnect();
    }
    QmODBC& r;
    bool made = false;
};

} // namespace

// The worksheet name of a result column: its first word, "N" before a leading digit
// 1 to 9 (names do not begin with a number), at most 7 characters.
std::string DbWorksheetColumnName(const char* described)
{
    std::string name = described ? described : "";
    size_t blank = name.find(' ');
    if (blank != std::string::npos)
        name.erase(blank);
    if (!name.empty() && name[0] >= '1' && name[0] <= '9')
        name.insert(0, "N");
    return Trim(name.substr(0, 7));
}

int DbReadState::CheckWorksheet(QmMethod& method, QmODBC& root, QmQuorixWks& wks, QmDBtable& table,
                                int addColumns)
{
    int needed = lastCol + firstWksCol - firstCol;
    if (!(root.m_autoSetCol.value && wksColCount < needed)) {
        if (table.Execute(root.m_dbTable, root.m_dbSql) != SQL_SUCCESS) {
            method.RecordError(QODBC_ERR_2);
            QmFailureReason("%s", table.failure.c_str());
            return 1;
        }
        for (int i = firstCol, d = firstWksCol; i <= lastCol; ++i, ++d) {
            int format = wks.GetColumnFormat(d);
            if (format == WKS_NO_COLUMN || d > wksColCount)
                break;
            if (!Fits(DbKindOfSqlType(table.ColumnType(i)), format) && !root.m_autoSetCol.value) {
                table.CloseCursor();
                method.RecordError(QODBC_ERR_4);
                QmFailureReason("result column %d does not fit the type of worksheet column %d "
                                "(AUTOSETCOL is off)", i, d);
                return 1;
            }
        }
        table.CloseCursor();
    }
    if (!addColumns && wksColCount < needed) {
        method.RecordError(QODBC_ERR_3);
        QmFailureReason("the worksheet has %d columns; the result needs %d (AUTOADDCOL is off)",
                        wksColCount, needed);
        return 1;
    }
    return 0;
}

int DbReadState::CheckStartCell(QmMethod& method, QmODBC& root, int addColumns)
{
    // Columns are added at the worksheet's end, so the first one written must be there or
    // come right after the last.
    int lastStart = addColumns ? wksColCount + 1 : wksColCount;
    if (root.m_r1.value < 0 || root.m_c1.value < 0 || firstWksCol > lastStart) {
        method.RecordError(QODBC_ERR_3);
        QmFailureReason("the start cell (R1 %d, C1 %d) is outside the worksheet of %d columns",
                        root.m_r1.value, root.m_c1.value, wksColCount);
        return 1;
    }
    return 0;
}

int DbReadState::Read(QmMethod& method, QmODBC& root, int firstRow, int lastRow, int mode, int addColumns)
{
    CallConnection connection(root, method);
    if (!root.database.IsConnected()) {
        method.RecordError(QODBC_ERR_1);
        QmFailureReason("%s", root.database.failure.c_str());
        return 1;
    }
    QmDBtable table(root.database);

    // Preparation.
    if (table.Execute(root.m_dbTable, root.m_dbSql) != SQL_SUCCESS) {
        method.RecordError(QODBC_ERR_2);
        QmFailureReason("%s", table.failure.c_str());
        return 1;
    }
    resultColCount = table.ColumnCount();
    table.CloseCursor();
    firstCol = root.m_dbC1.value ? root.m_dbC1.value : 1;
    if (mode == 0) {
        lastCol = resultColCount;
    } else {
        if (root.m_dbC2.value == 0) {
            method.RecordError(QODBC_ERR_1);
            QmFailureReason("a column range is asked for (MODE not 0) but DBC2 is 0");
            return 1;
        }
        // Columns past the result's last are not there to describe or fetch.
        lastCol = root.m_dbC2.value < resultColCount ? root.m_dbC2.value : resultColCount;
    }
    if (firstCol < 1 || firstCol > lastCol) {
        method.RecordError(QODBC_ERR_1);
        QmFailureReason("the result has %d columns; DBC1 %d to %d takes none of them", resultColCount,
                        firstCol, lastCol);
        return 1;
    }
    QmQuorixWks wks(root.m_wksName);
    if (!wks.CheckExists()) {
        QmFailureReason("there is no worksheet \"%s\"", root.m_wksName.text ? root.m_wksName.text : "");
        return 1;
    }
    wksColCount = wks.GetNumCols();
    firstWksCol = root.m_c1.value > 0 ? root.m_c1.value : 1;
    firstWksRow = root.m_r1.value > 0 ? root.m_r1.value - 1 : 0;
    rowFrom = firstRow;
    rowTo = lastRow;
    if (CheckStartCell(method, root, addColumns) != 0)
        return 1;

    if (CheckWorksheet(method, root, wks, table, addColumns) != 0)
        return 1;

    HWND host = g_qmHostContext;
    ProgressBox progress(host);
    for (int i = firstCol; i <= lastCol; ++i) {
        int d = firstWksCol + (i - firstCol);
        int percent = firstCol == lastCol ? 100 : (i - firstCol) * 100 / (lastCol - firstCol);
        UtilProgressBox(host, UTIL_PROGRESS_SET, percent, nullptr);
        // Cancel in the box, or Ctrl+C in the console host (the host's stop request).
        if (UtilProgressBox(host, UTIL_PROGRESS_POLL, 0, nullptr) != 0 ||
            (QmHostBound() && QmCallHost(HOST_POLL_ABORT, 0, 0) != 0)) {
            MessageBoxA(host, "Only Read Part of Databse!", "Caution!", MB_OK | MB_ICONEXCLAMATION);
            break;
        }
        if (table.Execute(root.m_dbTable, root.m_dbSql) != SQL_SUCCESS) {
            method.RecordError(QODBC_ERR_2);
            QmFailureReason("%s", table.failure.c_str());
            return 1;
        }
        char described[200] = "";
        int kind = DbKindOfSqlType(table.DescribeColumn(i, described, sizeof described));
        std::string name = DbWorksheetColumnName(described);
        if (d > wksColCount) {
            wks.AddColumn(0, 0, 0);
            wks.SetColumnFormat(d, kind == DB_KIND_NUMBER ? QM_FORMAT_NUMBER : kind == DB_KIND_TEXT ? QM_FORMAT_TEXT : QM_FORMAT_TIME);
        } else {
            wks.SetColumnFormat(d, kind);
        }
        wks.SetColumnName(d, name.c_str());
        wks.SetColumnLabel(d, described);

        // A cell the worksheet refuses (a row past its end) stops the read: the rows after
        // it would be lost without a word.
        int row = 0, wksRow = firstWksRow, refused = 0;
        if (kind == DB_KIND_TEXT) {
            // A cell holds as much text as the host takes in one string.
            std::vector<char> text(QM_STRING_RESULT_SIZE);
            for (; !refused && row <= rowTo && table.FetchText(i, text.data(), text.size()) == 0; ++row)
                if (row >= rowFrom)
                    refused = wks.SetCellText(d, wksRow++, text.data());
        } else {
            double value;
            for (; !refused && row <= rowTo && table.FetchNumber(i, &kind, &value) == 0; ++row)
                if (row >= rowFrom)
                    refused = wks.SetCell(d, wksRow++, value);
            wks.SetColumnFormat(d, kind);
        }
        table.CloseCursor();
        if (refused) {
            method.RecordError(QODBC_ERR_3);
            QmFailureReason("the worksheet refused row %d of column %d", wksRow, d);
            return 1;
        }
    }
    return 0;
}
