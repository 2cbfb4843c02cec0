// A host for the statistics object's tests: datasets (each with the x values its points
// pair with), worksheets of named columns, and a record of the requests that the tests
// check (the bracket of every method call, printed lines). It answers what the kernel
// answers the plug-in, from memory, and loads qxstats.dll from the program folder.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "QmHost.h"

struct StatHostDataset {
    std::vector<double> values;
    std::vector<double> x;   // the x of each point; empty: the row number
};

class StatHost {
public:
    static StatHost& Get();
    static INT_PTR WINAPI Callback(HWND context, UINT code, INT_PTR a, INT_PTR b);

    void Reset();
    void AddDataset(const std::string& name, std::vector<double> values,
                    std::vector<double> x = {});
    // Columns become datasets named "<worksheet>_<column>".
    void AddWorksheet(const std::string& name, const std::vector<std::string>& columns,
                      const std::vector<std::vector<double>>& values);
    // Values of a dataset; empty when there is none.
    std::vector<double> Values(const std::string& name) const;
    bool Has(const std::string& name) const { return datasets_.count(Upper(name)) != 0; }

    std::vector<INT_PTR> bracket;        // A of every HOST_REQ_300B, in order
    int updates = 0;                     // HOST_REQ_300C requests
    std::vector<std::string> printed;    // HOST_PRINT_TEXT lines
    bool logAxis = false;                // the axis scale is log10

private:
    static std::string Upper(const std::string& s);
    INT_PTR Answer(UINT code, INT_PTR a, INT_PTR b);
    StatHostDataset* ByHandle(INT_PTR handle);

    std::map<std::string, StatHostDataset> datasets_;
    std::map<std::string, std::vector<std::string>> worksheets_;
    std::vector<std::string> handles_;   // handle h names datasets_[handles_[h - 1]]
};

// The plug-in's entry, bound once per test program.
class StatPlugin {
public:
    static StatPlugin& Get();

    int Call(const char* method, const char* name, void* result, int code);
    // Shorthands that assert nothing, so a test can check the answer itself.
    int SetNumber(const char* method, const char* name, double value);
    double GetNumber(const char* method, const char* name, int* answer = nullptr);
    int SetString(const char* method, const char* name, const char* text);
    int Run(const char* method, const char* argument, double* result = nullptr);
    // LASTERRID: the code of the last error recorded.
    int LastError();

    HMODULE module = nullptr;

private:
    QMDLLProc entry_ = nullptr;
};
