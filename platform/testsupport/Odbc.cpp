#include "qxtest/Odbc.h"

#include <sqlext.h>

#include <fstream>

namespace qxtest {

namespace {
const char kSqliteDriver[] = "/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so";
}

std::string WindowsPathOf(const std::string &unixPath)
{
    std::string p = "Z:" + unixPath;
    for (char &c : p)
        if (c == '/')
            c = '\\';
    return p;
}

std::string OdbcDiagnostic(SQLSMALLINT handleType, SQLHANDLE handle)
{
    SQLCHAR state[6] = "", message[512] = "";
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    SQLGetDiagRec(handleType, handle, 1, state, &native, message, sizeof message, &length);
    return std::string(reinterpret_cast<char *>(state)) + " " + reinterpret_cast<char *>(message);
}

void WriteSqliteSources(const std::string &unixDir, const std::string &driverName,
                        const std::vector<std::pair<std::string, std::string>> &sources)
{
    std::string win = WindowsPathOf(unixDir);
    std::ofstream(win + "\\odbcinst.ini") << "[" << driverName << "]\nDescription=SQLite 3\nDriver="
                                           << kSqliteDriver << "\n";
    std::ofstream ini(win + "\\odbc.ini");
    for (const auto &source : sources)
        ini << "[" << source.first << "]\nDriver=" << driverName << "\nDatabase=" << source.second << "\n\n";
}

} // namespace qxtest
