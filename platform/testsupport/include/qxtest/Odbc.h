// Test data sources for ODBC under Wine: Wine's odbc32 hands the calls to the host's
// unixODBC, which reads its driver and data source files from the folder ODBCSYSINI
// names (CTest sets it for a test program, see qx_add_test's ENVIRONMENT) and loads the
// SQLite driver, so a test defines SQLite data sources of its own.
#pragma once
#include <windows.h>
#include <sql.h>

#include <string>
#include <utility>
#include <vector>

namespace qxtest {

// A Unix path as Windows programs under Wine see it (drive Z:).
std::string WindowsPathOf(const std::string &unixPath);

// The first diagnostic record of an ODBC handle: "STATE message".
std::string OdbcDiagnostic(SQLSMALLINT handleType, SQLHANDLE handle);

// Writes odbcinst.ini with the SQLite driver under `driverName`, and odbc.ini with one
// data source per {name, database file} pair, into the Unix folder `unixDir`.
void WriteSqliteSources(const std::string &unixDir, const std::string &driverName,
                        const std::vector<std::pair<std::string, std::string>> &sources);

} // namespace qxtest
