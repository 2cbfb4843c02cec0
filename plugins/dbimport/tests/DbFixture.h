// Test data sources: two SQLite databases reached through data sources of the test's
// own odbc.ini (ODBCSYSINI and ODBCINI point unixODBC at a folder CTest names), filled by
// plain SQL through a connection of the fixture's own.
#pragma once

#include <windows.h>
#include <sql.h>
#include <sqlext.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace dbtest {

// Data sources every test may use: kMain holds the tables below, kOther a different one,
// kEdge values at the edges of what a reader meets.
extern const char kMain[];
extern const char kOther[];
extern const char kEdge[];
// A text of some 1500 bytes with UTF-8 letters, longer than any fixed buffer of a driver.
extern const std::string kLongText;

// Writes the driver and data source files and creates both databases afresh:
//   notes(body TEXT) with one row of kLongText; samples(id INTEGER, name TEXT, value REAL, "2006 Sales" REAL, stamp TIMESTAMP,
//           day DATE) with rows id 1..8; a view big_samples (value > 0); a table
//   "odd table" with one column "a b"; kOther: other(x INTEGER) with one row;
//   kEdge: extremes(v REAL) with 1.5, +infinity, -infinity; keep(x INTEGER) with one row.
// Fails the calling test (ASSERT) when ODBC is not reachable.
void CreateDatabases();

// Runs statements on `source`; fails the test when one is refused.
void Exec(const char* source, const std::vector<std::string>& statements);

// The rows of samples, as the fixture fills them.
struct SampleRow {
    int id;
    const char* name; // null for NULL
    double value;     // MISSING_VALUE for NULL
    double sales;
};
extern const std::vector<SampleRow> kSampleRows;

} // namespace dbtest
