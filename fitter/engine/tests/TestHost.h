// A host for the engine's tests: it keeps datasets, script variables and the link from
// host windows to sessions, evaluates simple numeric expressions, and records the requests
// that tests check (errors, scripts, progress, variables).
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "FitSession.h"

struct TestDataset {
    std::string name;
    std::vector<double> values;
    QFitRowRange used;
    bool valid = true;
    std::string label;
    QFitDataset x = 0;  // its X dataset
};

class TestHost {
public:
    TestHost();
    ~TestHost();

    static INT_PTR WINAPI Callback(HWND context, UINT request, INT_PTR a1, INT_PTR a2);

    QFitDataset AddDataset(const std::string& name, const std::vector<double>& values);
    TestDataset& Dataset(QFitDataset handle) { return datasets_[handle - 1]; }
    FittingSession* SessionOf(HWND window);
    int Count(UINT request) const;
    int CountProgress(int id) const;

    std::map<std::string, double> variables;   // names in upper case
    std::map<int, std::string> stringVariables;  // %A .. %Z by index
    // The file "GetFile" picks: its folder goes to %B, its name to %A.
    std::string pickedFolder, pickedFile;
    std::vector<std::pair<int, std::string>> errors;
    std::vector<std::string> failureReasons;  // HOST_FAILURE_REASON texts
    std::vector<std::string> scripts;
    std::vector<std::string> reportLines;  // lines sent to the results log
    std::string plotLabel;                 // text last pasted onto the fit graph
    std::vector<std::pair<int, std::string>> progress;
    std::vector<std::pair<std::string, QFitVariableRecord>> variableSets;
    std::vector<std::string> variableDeletes;
    std::map<HWND, FittingSession*> sessions;
    std::string settingsDir, fallbackDir, programDir;
    std::string profileFile;  // the host's profile file that may hold old function lists
    // Result datasets the engine asks for (HOST_REQ_3009, HOST_CREATE_DATASET) are made,
    // or found again by name, only when set; tests that only count the requests leave it off.
    bool createDatasets = false;
    QFitDataset FindByName(const char* name) const { return Find(name); }
    // Prepared formulas and variable slots (HOST_PREPARE_FORMULA .. HOST_SET_VARIABLE_SLOT)
    // and rows evaluated together (HOST_EVAL_PREPARED_ROWS) are served only when set; the
    // rows request can be refused on its own.
    bool preparedFormulas = false;
    bool refuseRows = false;
    int abortAfterPolls = -1;
    int polls = 0;
    int detaches = 0;

private:
    INT_PTR Handle(HWND context, UINT request, INT_PTR a1, INT_PTR a2);
    QFitDataset Find(const char* name) const;
    bool Usable(QFitDataset handle) const;

    std::vector<TestDataset> datasets_;
    std::vector<std::string> formulas_, slotNames_;  // by handle, by slot (1-based)
    std::map<UINT, int> counts_;
};

// Evaluates numbers, variable names, + - * / and parentheses; false for anything else.
bool EvaluateExpression(const std::map<std::string, double>& variables, const char* text, double* out);

// A fresh empty folder under the temporary folder.
std::string MakeTempFolder();

// The folder of the running test program, with a trailing backslash.
std::string ProgramFolder();
