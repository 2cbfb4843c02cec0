// The reference data of the library's tests (golden.txt, written by make_golden.py from an
// independent implementation of every formula) and the library under test, loaded from
// the program folder as the fitter loads it.
#pragma once

#include <string>
#include <vector>

#include "FitFunction.h"

namespace curvelib_test {

// "M" in the data: MISSING_VALUE; "-": not checked.
struct Expected {
    bool check = true;
    double value = 0.0;
};

struct TableRow {
    std::string row;
    int nIndependent, nParams, query;
    std::string exportName;   // empty when the row has no export of its own
    int ordinal;
};

struct Case {
    std::string row;
    int mode, nArg;
    std::vector<double> x, p;
    int result;
    std::vector<Expected> y, d;
    double rtol;
    std::string Describe() const;
};

struct HelperCase {
    std::string name;
    double argument, value, rtol;
};

struct Golden {
    std::vector<TableRow> table;
    std::vector<std::pair<std::string, int>> extraExports;
    std::vector<Case> cases;
    std::vector<HelperCase> helpers;
};

// Read once, from curvelib_golden.txt beside the test program.
const Golden &GoldenData();

// QCLB60.dll, loaded once.
HMODULE Library();

// The function a case names: its row through Get_Func, or an export of that name for a
// function without a row.
FitFunction FunctionOf(const std::string &row);

// The table row of a name, or null.
const TableRow *RowOf(const std::string &row);

} // namespace curvelib_test
