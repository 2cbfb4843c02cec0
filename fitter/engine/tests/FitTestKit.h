// Driving the engine from a test: a host, a host window, and the member calls a script
// would make, by name (NonLinearFit) or by code (ScxFit).
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FitObject.h"
#include "FitSession.h"
#include "TestHost.h"

// y = 1 + 2x plus residuals (1, -2, 0, 2, -1), which are orthogonal to 1 and x: the least
// squares line is exactly a = 1, b = 2 with SSR 10.
const std::vector<double> kLineX = {0, 1, 2, 3, 4};
const std::vector<double> kLineY = {2, 1, 5, 9, 8};

class FitTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Number and string members by name, as a script sees them (rows 1-based).
    double Get(const char* name);
    void Set(const char* name, double value);
    std::string GetText(const char* name);
    void SetText(const char* name, const std::string& text);
    // A method call; the result value and the member's engine code (ERR).
    double Call(const char* method, const char* argument = "");
    int Err() { return static_cast<int>(Get("ERR")); }

    // Loads a definition of the test library's function and makes it current.
    void UseFunction(const char* function, const char* names, int functionType = KW_BUILTIN);
    // Datasets x and y, assigned to independent and dependent variable 1.
    void UseData(const std::vector<double>& x, const std::vector<double>& y);
    // The test library's Line on kLineX, kLineY, starting at a, b.
    void UseLine(double a, double b);
    FittingSession* Session() { return host.SessionOf(window); }

    TestHost host;
    HWND window = nullptr;
};
