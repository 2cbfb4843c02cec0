// The sample plug-in, loaded from the program folder and entered through QMDLL with the
// test host's callback, as the kernel enters the real plug-ins.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "QmHost.h"
#include "TestHost.h"

class SamplePlugin : public ::testing::Test {
protected:
    void SetUp() override
    {
        TestHost::Get().Reset();
        static HMODULE module = LoadLibraryA("qxsampleplug.dll");
        ASSERT_NE(module, nullptr) << "qxsampleplug.dll not loaded, error " << GetLastError();
        qmdll_ = reinterpret_cast<QMDLLProc>(GetProcAddress(module, "QMDLL"));
        ASSERT_NE(qmdll_, nullptr);
        double result = 0;
        ASSERT_EQ(Call("RESET", "", &result, OBJOP_CALL_METHOD), 1);
        // RESET of a worksheet root leaves the standard texts: clear them as well, so
        // that tests do not depend on their order.
        char empty[1] = "";
        ASSERT_EQ(Call(nullptr, "MSG", empty, OBJOP_SET_STRING), 1);
        ASSERT_EQ(Call(nullptr, "WARNMSG", &result, OBJOP_SET_NUMBER), 1);
        TestHost::Get().Reset();
    }

    int Call(const char* method, const char* name, void* result, int code)
    {
        return qmdll_(TestHost::Context(), method, name, result, &TestHost::Callback, code);
    }
    int Status()
    {
        int status = 12345;
        EXPECT_EQ(Call(nullptr, "", &status, OBJOP_LAST_STATUS), 1);
        return status;
    }
    double GetNumber(const char* name, const char* method = nullptr)
    {
        double v = -999;
        EXPECT_EQ(Call(method, name, &v, OBJOP_GET_NUMBER), 1) << name;
        return v;
    }
    void SetNumber(const char* name, double v, const char* method = nullptr)
    {
        EXPECT_EQ(Call(method, name, &v, OBJOP_SET_NUMBER), 1) << name;
    }
    std::string GetString(const char* name, const char* method = nullptr)
    {
        std::vector<char> buffer(QM_STRING_RESULT_SIZE, 'x');
        EXPECT_EQ(Call(method, name, buffer.data(), OBJOP_GET_STRING), 1) << name;
        return buffer.data();
    }
    void SetString(const char* name, const std::string& text, const char* method = nullptr)
    {
        std::vector<char> buffer(text.begin(), text.end());
        buffer.push_back('\0');
        EXPECT_EQ(Call(method, name, buffer.data(), OBJOP_SET_STRING), 1) << name;
    }
    // A method call: the entry's answer, the method's result in *result.
    int Run(const char* method, const char* args, double* result = nullptr)
    {
        double scratch = 0;
        return Call(method, args, result ? result : &scratch, OBJOP_CALL_METHOD);
    }
    std::vector<std::string> Listing()
    {
        TestHost::Get().printed.clear();
        double v = 0;
        EXPECT_EQ(Call(nullptr, "", &v, OBJOP_GET_NUMBER), 1);
        return TestHost::Get().printed;
    }

    QMDLLProc qmdll_ = nullptr;
};
