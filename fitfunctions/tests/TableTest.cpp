// The name table and the export table: Get_Func, get_funx and get_funx_list against the
// expected table in golden.txt, and the DLL's exports by name and ordinal.
#include <gtest/gtest.h>

#include <cctype>

#include "GoldenData.h"
#include "qxtest/Exports.h"

using namespace curvelib_test;

namespace {

GetFuncProc GetFunc()
{
    return reinterpret_cast<GetFuncProc>(GetProcAddress(Library(), "Get_Func"));
}

std::string Cased(const std::string &s, int how)
{
    std::string r = s;
    for (char &c : r)
        c = static_cast<char>(how == 1 ? std::tolower(static_cast<unsigned char>(c))
                                       : how == 2 ? std::toupper(static_cast<unsigned char>(c)) : c);
    return r;
}

} // namespace

TEST(CurvelibTable, GetFuncFindsEveryRowInAnyCaseWithItsCountsAndExport)
{
    const Golden &g = GoldenData();
    ASSERT_EQ(g.table.size(), 189u);
    auto getFunx = reinterpret_cast<FitFunction(WINAPI *)(const char *)>(
        GetProcAddress(Library(), "get_funx"));
    for (const TableRow &row : g.table) {
        for (int how = 0; how < 3; ++how) {
            std::string name = Cased(row.row, how);
            SCOPED_TRACE(name);
            unsigned short ni = 99, nd = 99, np = 99, nr = 99;
            FitFunction f = GetFunc()(name.c_str(), &ni, &nd, &np, &nr);
            ASSERT_NE(f, nullptr);
            EXPECT_EQ(ni, row.nIndependent);
            EXPECT_EQ(nd, 1);
            EXPECT_EQ(np, row.nParams);
            EXPECT_EQ(nr, 0);
            EXPECT_EQ(getFunx(name.c_str()), f);
            if (!row.exportName.empty()) {
                EXPECT_EQ(reinterpret_cast<FARPROC>(f),
                          GetProcAddress(Library(), row.exportName.c_str()));
            }
        }
    }
}

TEST(CurvelibTable, LookupEdgeCases)
{
    unsigned short a = 11, b = 12, c = 13, d = 14;
    // Unknown names, and Boltzman1, which is exported but in no row: 0, nothing written.
    for (const char *name : {"NoSuchModel", "Boltzman1", "", "Gauss "}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(GetFunc()(name, &a, &b, &c, &d), nullptr);
        EXPECT_EQ(a, 11);
        EXPECT_EQ(b, 12);
        EXPECT_EQ(c, 13);
        EXPECT_EQ(d, 14);
    }
    EXPECT_EQ(GetFunc()(nullptr, &a, &b, &c, &d), nullptr);
    // Null count pointers are allowed.
    EXPECT_NE(GetFunc()("gauss", nullptr, nullptr, nullptr, nullptr), nullptr);
    // TimePow is Freundlich's function; rows without an export are found.
    EXPECT_EQ(reinterpret_cast<FARPROC>(GetFunc()("TimePow", nullptr, nullptr, nullptr, nullptr)),
              GetProcAddress(Library(), "Freundlich"));
    for (const char *name : {"Binding1", "Binding2", "Response2"})
        EXPECT_NE(GetFunc()(name, nullptr, nullptr, nullptr, nullptr), nullptr) << name;
    auto list = reinterpret_cast<int(WINAPI *)(INT_PTR)>(GetProcAddress(Library(), "get_funx_list"));
    EXPECT_EQ(list(0), 0);
    EXPECT_EQ(list(12345), 0);
}

TEST(CurvelibTable, ExportTableHoldsEveryNameAtItsOrdinal)
{
    std::vector<qxtest::ExportEntry> expected;
    for (const TableRow &row : GoldenData().table)
        if (!row.exportName.empty())
            expected.push_back({static_cast<unsigned>(row.ordinal), row.exportName});
    for (const auto &e : GoldenData().extraExports)
        expected.push_back({static_cast<unsigned>(e.second), e.first});
    EXPECT_EQ(expected.size(), 190u);
    EXPECT_EQ(qxtest::CompareExports(CURVELIB_FILE_NAME, expected), "");
    // By ordinal and by name the same code.
    for (const auto &e : expected)
        EXPECT_EQ(GetProcAddress(Library(), MAKEINTRESOURCEA(e.ordinal)),
                  GetProcAddress(Library(), e.name.c_str()))
            << e.name;
    for (unsigned unassigned : {218u, 219u, 432u})
        EXPECT_EQ(GetProcAddress(Library(), MAKEINTRESOURCEA(unassigned)), nullptr) << unassigned;
}
