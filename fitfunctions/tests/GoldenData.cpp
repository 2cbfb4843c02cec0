#include "GoldenData.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace curvelib_test {

namespace {

std::vector<std::string> Split(const std::string &s, char sep)
{
    std::vector<std::string> parts;
    std::string item;
    std::istringstream in(s);
    while (std::getline(in, item, sep))
        parts.push_back(item);
    if (!s.empty() && s.back() == sep)
        parts.push_back("");
    return parts;
}

Expected ParseExpected(const std::string &s)
{
    Expected e;
    if (s == "-")
        e.check = false;
    else if (s == "M")
        e.value = MISSING_VALUE;
    else
        e.value = std::strtod(s.c_str(), nullptr);
    return e;
}

std::vector<double> ParseNumbers(const std::string &s)
{
    std::vector<double> v;
    for (const std::string &item : Split(s, ','))
        if (!item.empty())
            v.push_back(std::strtod(item.c_str(), nullptr));
    return v;
}

std::vector<Expected> ParseExpectedList(const std::string &s)
{
    std::vector<Expected> v;
    for (const std::string &item : Split(s, ','))
        if (!item.empty())
            v.push_back(ParseExpected(item));
    return v;
}

std::string ProgramFolder()
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path, n);
    return s.substr(0, s.find_last_of("\\/") + 1);
}

Golden Load()
{
    std::string file = ProgramFolder() + "curvelib_golden.txt";
    std::ifstream in(file);
    if (!in)
        throw std::runtime_error("cannot open " + file);
    Golden g;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::vector<std::string> f = Split(line, '|');
        if (f.empty())
            continue;
        if (f[0] == "table" && f.size() == 7) {
            g.table.push_back({f[1], std::atoi(f[2].c_str()), std::atoi(f[3].c_str()),
                               std::atoi(f[4].c_str()), f[5] == "-" ? "" : f[5],
                               std::atoi(f[6].c_str())});
        } else if (f[0] == "export" && f.size() == 3) {
            g.extraExports.emplace_back(f[1], std::atoi(f[2].c_str()));
        } else if (f[0] == "case" && f.size() == 10) {
            Case c;
            c.row = f[1];
            c.mode = std::atoi(f[2].c_str());
            c.nArg = std::atoi(f[3].c_str());
            c.x = ParseNumbers(f[4]);
            c.p = ParseNumbers(f[5]);
            c.result = std::atoi(f[6].c_str());
            c.y = ParseExpectedList(f[7]);
            c.d = ParseExpectedList(f[8]);
            c.rtol = std::strtod(f[9].c_str(), nullptr);
            g.cases.push_back(c);
        } else if (f[0] == "helper" && f.size() == 5) {
            g.helpers.push_back({f[1], std::strtod(f[2].c_str(), nullptr),
                                 std::strtod(f[3].c_str(), nullptr),
                                 std::strtod(f[4].c_str(), nullptr)});
        } else {
            throw std::runtime_error("unreadable line in " + file + ": " + line);
        }
    }
    return g;
}

} // namespace

std::string Case::Describe() const
{
    std::ostringstream s;
    s.precision(17);
    s << row << " mode " << mode << " n " << nArg << " x";
    for (double v : x)
        s << ' ' << v;
    s << " p";
    for (double v : p)
        s << ' ' << v;
    return s.str();
}

const Golden &GoldenData()
{
    static const Golden g = Load();
    return g;
}

HMODULE Library()
{
    static HMODULE h = LoadLibraryA(CURVELIB_FILE_NAME);
    if (!h)
        throw std::runtime_error("cannot load " CURVELIB_FILE_NAME);
    return h;
}

FitFunction FunctionOf(const std::string &row)
{
    auto getFunc = reinterpret_cast<GetFuncProc>(GetProcAddress(Library(), "Get_Func"));
    if (FitFunction f = getFunc(row.c_str(), nullptr, nullptr, nullptr, nullptr))
        return f;
    return reinterpret_cast<FitFunction>(GetProcAddress(Library(), row.c_str()));
}

const TableRow *RowOf(const std::string &row)
{
    for (const TableRow &r : GoldenData().table)
        if (r.row == row)
            return &r;
    return nullptr;
}

} // namespace curvelib_test
