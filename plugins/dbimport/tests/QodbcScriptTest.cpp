// QODBC as scripts reach it: the kernel's interpreter runs the script text, loads
// qxdbimport.dll and answers its host requests from real worksheets, which the tests then
// read back cell by cell. The databases come from DbFixture.
// Date numbers: days counted from 1970-01-01 = 2440587 (2015-03-01 is day 16495).
#include "QKAccess.h"
#include "QKData.h"
#include "QKScript.h"

#include "DbFixture.h"
#include "qxtest/DialogDriver.h"
#include "qxdefs.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include <string>

namespace {

class QodbcScript : public ::testing::Test {
protected:
    static void SetUpTestSuite() { dbtest::CreateDatabases(); }
    void SetUp() override
    {
        ASSERT_TRUE(qkfxGetAccess()->Init(nullptr, ""));
        qkfxGetProject().DeletePage("Data1");
        wks_ = static_cast<CQKWksPage*>(qkfxGetProject().CreatePage(QK_PAGE_WKS, "Data1"));
        ASSERT_NE(wks_, nullptr);
        Run(std::string("QODBC.RESET(); QODBC.DBSOURCE$ = ") + dbtest::kMain +
            "; QODBC.DBTABLE$ = samples; QODBC.WKSNAME$ = Data1; QODBC.READ.AUTOADDCOL = 1;"
            "QODBC.READ.MODE = 0; QODBC.AUTOSETCOL = 1");
    }
    void TearDown() override { qkfxGetAccess()->Uninit(); }

    static void Run(const std::string& text)
    {
        EXPECT_TRUE(qkfxGetScript().Execute(text)) << text << ": " << qkfxGetScript().GetLastError();
    }
    // A script that must fail (the method answers "failed" to the interpreter).
    static void RunFailing(const std::string& text)
    {
        EXPECT_FALSE(qkfxGetScript().Execute(text)) << text;
    }
    // A script that must fail, and the message it fails with.
    static std::string FailureOf(const std::string& text)
    {
        EXPECT_FALSE(qkfxGetScript().Execute(text)) << text;
        return qkfxGetScript().GetLastError();
    }
    static double Eval(const std::string& expression)
    {
        double v = -999;
        EXPECT_TRUE(qkfxGetScript().Evaluate(expression, &v)) << expression << ": "
                                                               << qkfxGetScript().GetLastError();
        return v;
    }
    static std::string Text(const std::string& member)
    {
        Run("%Q = QODBC." + member + "$");
        std::string text;
        qkfxGetScript().GetStringVar('Q' - 'A', &text);
        return text;
    }
    // The last error: its code and the class it was recorded under, as LISTERR prints it.
    static double LastError() { return Eval("QODBC.LASTERRID()"); }

    CQKDataset* Column(int n) { return wks_->GetColumn(n); }

    CQKWksPage* wks_ = nullptr;
};

TEST_F(QodbcScript, ReadsEveryColumnWithNamesKindsAndMissingValues)
{
    Run("QODBC.DBSQL$ = \"SELECT * FROM samples ORDER BY id\"; QODBC.READ()");
    ASSERT_EQ(wks_->GetNumCols(), 6);
    const char* names[] = {"id", "name", "value", "N2006", "stamp", "day"};
    for (int c = 1; c <= 6; ++c)
        EXPECT_EQ(Column(c)->m_columnName, names[c - 1]) << c;
    EXPECT_EQ(Column(4)->m_label, "2006 Sales");
    EXPECT_EQ(Column(1)->m_format, QK_FORMAT_NUMERIC);
    EXPECT_EQ(Column(2)->m_format, QK_FORMAT_TEXT);
    EXPECT_EQ(Column(5)->m_format, QK_FORMAT_DATE) << "the first stamp is midnight";
    EXPECT_EQ(Column(6)->m_format, QK_FORMAT_TEXT) << "DATE reads as text";
    for (size_t i = 0; i < dbtest::kSampleRows.size(); ++i) {
        SCOPED_TRACE(i);
        const dbtest::SampleRow& r = dbtest::kSampleRows[i];
        int row = static_cast<int>(i);
        EXPECT_EQ(Column(1)->GetValue(row), r.id);
        EXPECT_EQ(Column(2)->IsText(row) ? Column(2)->GetText(row) : std::string(), r.name ? r.name : "");
        EXPECT_EQ(Column(3)->GetValue(row), r.value);
        EXPECT_EQ(Column(4)->GetValue(row), r.sales);
    }
    EXPECT_EQ(Column(5)->GetValue(0), 2440587 + 16495);
    EXPECT_EQ(Column(6)->GetText(0), "2020-01-01");
    EXPECT_EQ(Text("DBSQL"), "") << "the query is used once";
}

TEST_F(QodbcScript, ReadChoosesColumnsByArgumentOrMode)
{
    // MODE 0 would read all six; the argument 1 reads DBC1..DBC2 into C1 on, from row R1.
    Run("QODBC.DBC1 = 3; QODBC.DBC2 = 4; QODBC.C1 = 2; QODBC.R1 = 3; QODBC.READ(1)");
    ASSERT_EQ(wks_->GetNumCols(), 3);
    EXPECT_EQ(Column(2)->m_columnName, "value");
    EXPECT_EQ(Column(3)->m_columnName, "N2006");
    EXPECT_EQ(Column(2)->GetValue(2), 1.5) << "R1 = 3 is the third row";
    EXPECT_EQ(Column(3)->GetValue(9), 80);

    // DBC2 beyond the result reads up to its last column only.
    qkfxGetProject().DeletePage("Data1");
    wks_ = static_cast<CQKWksPage*>(qkfxGetProject().CreatePage(QK_PAGE_WKS, "Data1"));
    Run("QODBC.C1 = 1; QODBC.R1 = 0; QODBC.DBC1 = 5; QODBC.DBC2 = 40; QODBC.READ.MODE = 1; QODBC.READ()");
    EXPECT_EQ(Column(1)->m_columnName, "stamp");
    EXPECT_EQ(Column(2)->m_columnName, "day");
    EXPECT_EQ(wks_->GetNumCols(), 2);

    Run("QODBC.DBC2 = 0");
    RunFailing("QODBC.READ(1)");
    EXPECT_EQ(LastError(), 1);
}

TEST_F(QodbcScript, ReadRowTakesOneRangeOfRows)
{
    Run("QODBC.DBSQL$ = \"SELECT id, name FROM samples ORDER BY id\"");
    RunFailing("QODBC.READROW()");
    EXPECT_EQ(LastError(), 3);
    EXPECT_NE(Text("DBSQL"), "") << "a refused READROW leaves the query";

    Run("QODBC.DBR1 = 5; QODBC.DBR2 = 5; QODBC.READROW()");
    EXPECT_EQ(Column(1)->GetValue(0), 6) << "row 5 is the sixth";
    EXPECT_EQ(Column(1)->GetEnd(), 1);
    EXPECT_EQ(Column(2)->GetText(0), "zeta");
    EXPECT_EQ(Text("DBSQL"), "");
}

TEST_F(QodbcScript, ReadColNamesOneColumn)
{
    RunFailing("QODBC.READCOL()");
    EXPECT_EQ(LastError(), 1);
    Run("QODBC.DBTABLE$ = \"odd table\"; QODBC.DBCOLNAME$ = \"a b\"; QODBC.READCOL()");
    EXPECT_EQ(Column(1)->m_columnName, "a");
    EXPECT_EQ(Column(1)->m_label, "a b");
    EXPECT_EQ(Column(1)->GetValue(0), 42);

    Run("QODBC.DBTABLE$ = notes; QODBC.DBCOLNAME$ = body; QODBC.AUTOSETCOL = 1; QODBC.READCOL()");
    EXPECT_EQ(Column(1)->GetText(0), dbtest::kLongText) << "long texts are read whole";
}

TEST_F(QodbcScript, WorksheetChecksRefuseOrAdaptColumns)
{
    // Three columns, C1 = 2 and four result columns need five worksheet columns.
    wks_->AddColumn("C");
    ASSERT_EQ(wks_->GetNumCols(), 3);
    Run("QODBC.DBSQL$ = \"SELECT id, value, id, value FROM samples\"; QODBC.C1 = 2; QODBC.READ.AUTOADDCOL = 0");
    RunFailing("QODBC.READ()");
    EXPECT_EQ(LastError(), 3);
    EXPECT_EQ(Text("DBSQL"), "") << "the query is used once, read or not";
    EXPECT_EQ(wks_->GetNumCols(), 3);

    Run("QODBC.DBSQL$ = \"SELECT id, value, id, value FROM samples\"; QODBC.READ.AUTOADDCOL = 1; QODBC.READ()");
    EXPECT_EQ(wks_->GetNumCols(), 5);
    EXPECT_EQ(Column(5)->GetValue(0), 1.5);

    // Text into a numeric column: refused, unless columns may be re-typed.
    Run("QODBC.AUTOSETCOL = 0; QODBC.C1 = 1; QODBC.DBSQL$ = \"SELECT name FROM samples\"");
    RunFailing("QODBC.READ()");
    EXPECT_EQ(LastError(), 4);
    Run("QODBC.AUTOSETCOL = 1; QODBC.DBSQL$ = \"SELECT name FROM samples\"; QODBC.READ()");
    EXPECT_EQ(Column(1)->m_format, QK_FORMAT_TEXT);
    EXPECT_EQ(Column(1)->GetText(0), "alpha");
}

// The progress box is cancelled as soon as it is made: the read stops before its first
// column.
TEST_F(QodbcScript, CancelledReadSaysSoAndSucceeds)
{
    qxtest::CancelProgressBoxes cancel;
    ASSERT_TRUE(cancel.Installed());
    std::string message, caption;
    qxtest::DialogDriver driver;
    driver.Then([&](HWND box) {
        message = qxtest::MessageBoxText(box);
        caption = qxtest::WindowText(box);
        qxtest::Click(box, IDOK);
    });
    INT_PTR ran = driver.Run([] { return static_cast<INT_PTR>(qkfxGetScript().Execute("QODBC.READ()")); });
    EXPECT_EQ(ran, 1) << "a cancel is no failure";
    EXPECT_EQ(message, "Only Read Part of Databse!");
    EXPECT_EQ(caption, "Caution!");
    EXPECT_EQ(wks_->GetNumCols(), 2) << "no column was read";
    EXPECT_EQ(Column(1)->m_columnName, "A");
}

TEST_F(QodbcScript, ConnectionsAndListings)
{
    Run("QODBC.OPEN()");
    EXPECT_NE(Text("DBPATH").find("main.db"), std::string::npos) << Text("DBPATH");
    Run("QODBC.GETTABLELIST()");
    EXPECT_EQ(Eval("QODBC.DBTABLECOUNT"), 4) << "tables and views";
    Run("QODBC.GETCOLSLIST()");
    EXPECT_EQ(Eval("QODBC.DBCOLCOUNT"), 6);
    EXPECT_EQ(Text("DBCOLNAMELIST4"), "2006 Sales");
    Run("QODBC.GETCOLINFO(4)");
    EXPECT_EQ(Text("GETCOLINFO.NAME"), "2006 Sales");
    EXPECT_EQ(Eval("QODBC.GETCOLINFO.TYPE"), 0);
    Run("QODBC.GETSOURCELIST()");
    EXPECT_GE(Eval("QODBC.DBSOURCECOUNT"), 2);
    Run("QODBC.CLOSE()");
    // Wine's administrator is a stub that shows nothing: the script is told and goes on.
    Run("QODBC.ADDSOURCE()");

    // RESET empties the names and keeps the lists.
    Run("QODBC.RESET()");
    EXPECT_EQ(Text("DBSOURCE"), "");
    EXPECT_GE(Eval("QODBC.DBSOURCECOUNT"), 2);
    RunFailing("QODBC.GETTABLELIST()");
    EXPECT_EQ(LastError(), 1);
    Run("QODBC.DBSOURCE$ = QxNoSuchSource");
    RunFailing("QODBC.OPEN()");
    EXPECT_EQ(LastError(), 1);
    Run(std::string("QODBC.DBSOURCE$ = ") + dbtest::kMain);
    RunFailing("QODBC.GETCOLSLIST()");
    EXPECT_EQ(LastError(), 2);
    // A connection left open when the program ends is no concern of the script's.
    Run("QODBC.OPEN()");
}

TEST_F(QodbcScript, SavedQueriesComeBackWholeAndAreChecked)
{
    Run("QODBC.SQLCOMMENT$ = \"//sums\"; QODBC.TABLETYPE$ = TABLE;"
        "QODBC.DBSQL$ = \"SELECT id, value FROM samples WHERE id > 2\";"
        "QODBC.SAVESQL(3)");
    Run("QODBC.RESET(); QODBC.LOADSQL(3)");
    EXPECT_EQ(Text("SQLCOMMENT"), "//sums");
    EXPECT_EQ(Text("DBSOURCE"), dbtest::kMain);
    EXPECT_EQ(Text("DBTABLE"), "samples");
    EXPECT_EQ(Text("TABLETYPE"), "TABLE");
    EXPECT_EQ(Text("DBSQL"), "SELECT id, value FROM samples WHERE id > 2");

    Run("QODBC.RESET()");
    RunFailing("QODBC.SAVESQL(3)");
    RunFailing("QODBC.LOADSQL(7)");
}

// Each failure names the method and says why: in the driver's own words where the driver
// gave them.
TEST_F(QodbcScript, FailuresSayWhy)
{
    struct {
        const char* script;
        const char* message;
        int error;
    } cases[] = {
        {"QODBC.DBSQL$ = \"SELECT nosuch FROM samples\"; QODBC.READ()",
         "\"QODBC.READ()\" failed: the query failed: [SQLite]no such column: nosuch", 2},
        {"QODBC.DBSOURCE$ = QxNoSuchSource; QODBC.OPEN()",
         "\"QODBC.OPEN()\" failed: cannot connect to the data source \"QxNoSuchSource\": ", 1},
        {"QODBC.DBTABLE$ = \"\"; QODBC.GETCOLSLIST()", "\"QODBC.GETCOLSLIST()\" failed: DBTABLE names no table", 2},
        {"QODBC.READROW()", "\"QODBC.READROW()\" failed: DBR2, the last row to read, is 0", 3},
        {"QODBC.WKSNAME$ = NoSheet; QODBC.READ()", "failed: there is no worksheet \"NoSheet\"", 779},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.script);
        TearDown();
        SetUp();
        std::string message = FailureOf(c.script);
        EXPECT_NE(message.find(c.message), std::string::npos) << message;
        EXPECT_EQ(LastError(), c.error);
    }
}

// A read either takes the statement and the worksheet place it was given, or refuses
// before it has run or written anything.
TEST_F(QodbcScript, ReadRefusesWhatItCannotReadAsGiven)
{
    // A query longer than the host's string size would run cut, as another statement.
    std::string longQuery = "SELECT id FROM samples WHERE id = 1" + std::string(66000 - 35, ' ');
    Run("QODBC.DBSQL$ = \"SELECT id FROM samples WHERE id = 2\"");
    std::string message = FailureOf("QODBC.DBSQL$ = \"" + longQuery + "\"");
    EXPECT_NE(message.find("\"QODBC.DBSQL$\" failed: the query is 66000 characters long; a query holds at most 65535"),
              std::string::npos)
        << message;
    EXPECT_EQ(Text("DBSQL"), "SELECT id FROM samples WHERE id = 2") << "the query before is kept";
    std::string fits = "SELECT id FROM samples WHERE id = 3" + std::string(65535 - 35, ' ');
    Run("QODBC.DBSQL$ = \"" + fits + "\"; QODBC.READ()");
    EXPECT_EQ(Column(1)->GetValue(0), 3);
    EXPECT_EQ(Column(1)->GetEnd(), 1);

    // A statement that returns no rows is refused before it runs.
    Run(std::string("QODBC.DBSOURCE$ = ") + dbtest::kEdge + "; QODBC.DBSQL$ = \"DROP TABLE keep\"");
    message = FailureOf("QODBC.READ()");
    EXPECT_NE(message.find("the statement returns no rows, so there is nothing to read; it was not run"),
              std::string::npos)
        << message;
    EXPECT_EQ(LastError(), 2);
    Run("QODBC.DBSQL$ = \"SELECT x FROM keep\"; QODBC.READ()");
    EXPECT_EQ(Column(1)->GetValue(0), 1) << "the table is still there";

    // Start cells outside the worksheet (two columns; one may be added after them).
    for (const char* start : {"QODBC.R1 = -1", "QODBC.C1 = -2", "QODBC.C1 = 4"}) {
        SCOPED_TRACE(start);
        Run(std::string(start) + "; QODBC.DBSQL$ = \"SELECT x FROM keep\"");
        message = FailureOf("QODBC.READ()");
        EXPECT_NE(message.find("is outside the worksheet of 2 columns"), std::string::npos) << message;
        EXPECT_EQ(LastError(), 3);
        EXPECT_EQ(wks_->GetNumCols(), 2);
        Run("QODBC.R1 = 0; QODBC.C1 = 0");
    }
    // A row past the worksheet's last: the cell is refused and the read ends with an error.
    Run("QODBC.R1 = 20000000; QODBC.DBSQL$ = \"SELECT x FROM keep\"");
    message = FailureOf("QODBC.READ()");
    EXPECT_NE(message.find("the worksheet refused row 20000000 of column 1"), std::string::npos) << message;
    EXPECT_EQ(LastError(), 3);
    Run("QODBC.R1 = 0; QODBC.C1 = 3; QODBC.DBSQL$ = \"SELECT x FROM keep\"; QODBC.READ()");
    EXPECT_EQ(wks_->GetNumCols(), 3);
    EXPECT_EQ(Column(3)->GetValue(0), 1);
}

TEST_F(QodbcScript, ConnectionStringsAndNumbersThatAreNone)
{
    // A connection string of its own, with no data source behind it.
    const char* dir = getenv("ODBCSYSINI");
    ASSERT_NE(dir, nullptr);
    Run(std::string("QODBC.DBSOURCE$ = \"DRIVER=QxDbSQLite3;Database=") + dir +
        "/edge.db\"; QODBC.DBSQL$ = \"SELECT v FROM extremes\"; QODBC.READ()");
    ASSERT_EQ(Column(1)->GetEnd(), 3);
    EXPECT_EQ(Column(1)->GetValue(0), 1.5);
    EXPECT_EQ(Column(1)->GetValue(1), MISSING_VALUE) << "an infinity is no number";
    EXPECT_EQ(Column(1)->GetValue(2), MISSING_VALUE);
    Run("QODBC.OPEN()");
    EXPECT_NE(Text("DBPATH").find("edge.db"), std::string::npos) << Text("DBPATH");
    Run("QODBC.CLOSE()");
}

} // namespace
