// A host for the framework's tests: it answers the framework plug-ins' requests from a
// small in-memory model (datasets, worksheets, string variables, memory blocks) and
// records every request, so a test can check both what the plug-in did to the data and
// what it asked of the host.
//
// Handles are above 2^32 so that any narrowing of a handle on its way through the
// plug-in shows up as a failed lookup.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "QmErrors.h"
#include "QmHost.h"
#include "QmHostRequests.h"

struct HostDataset {
    std::string name;
    std::vector<double> values;
    std::map<int, std::string> texts;
    bool readOnly = false;
    bool temporary = false;
    int lastTypeWord = 0;
};

struct HostWorksheet {
    std::string name;
    std::vector<INT_PTR> columns;       // dataset handles, column 1 first
    std::vector<std::string> columnNames;
    std::map<int, std::string> labels;
    std::map<int, int> formats;         // column -> attribute value
};

struct HostRequestRecord {
    UINT code;
    INT_PTR a;
    INT_PTR b;
    std::string text; // the name or text the request carried, when it carries one
    int number;       // a row, column, index or type word the request carried
};

class TestHost {
public:
    // The one host of a test program; Reset() empties it between tests.
    static TestHost& Get();
    static INT_PTR WINAPI Callback(HWND context, UINT code, INT_PTR a, INT_PTR b);
    static HWND Context() { return reinterpret_cast<HWND>(static_cast<INT_PTR>(0x5A5A)); }

    void Reset();

    INT_PTR AddDataset(const std::string& name, std::vector<double> values);
    INT_PTR AddWorksheet(const std::string& name, const std::vector<std::string>& columns,
                         size_t rows);
    HostDataset* Dataset(INT_PTR handle);
    HostDataset* DatasetByName(const std::string& name);
    HostWorksheet* Worksheet(const std::string& name);

    // Requests with a given code, in order.
    std::vector<HostRequestRecord> Requests(UINT code) const;
    size_t CountRequests(UINT code) const { return Requests(code).size(); }

    std::vector<HostRequestRecord> log;
    std::vector<std::string> printed;
    std::string stringVars[26];
    std::vector<std::string> takenNames;   // HOST_NAME_IN_USE answers yes for these
    bool allNamesTaken = false;            // ... or for every name
    bool axisLog10 = false;                // HOST_TO_AXIS_SCALE takes log10 when set
    std::map<std::string, std::vector<char>> memoryBlocks;
    int memoryBlocksOut = 0;               // got and not yet released
    bool refuseAll = false;                // every request answers failure

private:
    INT_PTR Answer(UINT code, INT_PTR a, INT_PTR b, HostRequestRecord& record);
    INT_PTR NewHandle();

    std::map<INT_PTR, HostDataset> datasets_;
    std::map<INT_PTR, HostWorksheet> worksheets_;
    INT_PTR next_ = 0;
};

// Tests of the framework in-process: its requests go to the test host, which starts
// empty, with an empty error list.
class HostedTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TestHost::Get().Reset();
        QmBindHost(TestHost::Context(), &TestHost::Callback);
        QmClearErrors();
    }
    void TearDown() override { QmBindHost(nullptr, nullptr); }
};
