// The fum object as the kernel reaches it: qxfileio.dll loaded from the program folder and
// entered through QMDLL with the framework's recording host. Each test starts from RESET
// with no file open, in a scratch folder of its own.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "QmHost.h"
#include "TestHost.h"

class FumTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    int Call(const char* method, const char* name, void* result, int code);
    double Get(const char* name);
    std::string GetText(const char* name);
    // The answer of QMDLL for a number assignment.
    int Set(const char* name, double v);
    int SetText(const char* name, const std::string& text);
    // A method call; the value in *value.
    int Run(const char* method, const std::string& argument, double* value = nullptr);
    // The value of a call that must succeed.
    double Value(const char* method, const std::string& argument = "");

    // A path in the test's scratch folder, and whole-file access to it.
    std::string Path(const std::string& name) const { return dir_ + "\\" + name; }
    static void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes);
    static std::vector<unsigned char> ReadBytes(const std::string& path);
    static bool Exists(const std::string& path);

    std::vector<std::string>& Printed() { return TestHost::Get().printed; }

private:
    QMDLLProc qmdll_ = nullptr;
    std::string dir_;
};
