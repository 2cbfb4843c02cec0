// A recording plot host for the engine's tests: it answers the plot-host requests from
// a map of named blocks and keeps every request it saw, with script texts as strings.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "Surface.h"

struct HostCall {
    INT_PTR context;
    UINT code;
    INT_PTR argument;
    std::string text; // the script text or block name, when the pointer carries one
};

class TestHost {
public:
    TestHost();
    ~TestHost();

    static INT_PTR WINAPI Callback(INT_PTR context, UINT code, INT_PTR argument, INT_PTR pointer);
    PlotHostCallback callback() const { return &TestHost::Callback; }

    std::vector<HostCall> calls;
    std::map<std::string, std::vector<uint8_t>> blocks;
    INT_PTR colourHook = 0;

    std::vector<std::string> Scripts() const;
    static TestHost* current;
};
