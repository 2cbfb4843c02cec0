#include "FitTestKit.h"

#include <stdio.h>
#include <string.h>

void FitTest::SetUp()
{
    window = CreateWindowA("STATIC", "host", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(window != nullptr);
}

void FitTest::TearDown()
{
    ScxFit(window, 2, 0, nullptr, TestHost::Callback);
    DestroyWindow(window);
}

double FitTest::Get(const char* name)
{
    double v = -999;
    EXPECT_EQ(1, NonLinearFit(window, "", name, &v, TestHost::Callback, QFIT_OP_GET_NUMBER)) << name;
    return v;
}

void FitTest::Set(const char* name, double value)
{
    EXPECT_EQ(1, NonLinearFit(window, "", name, &value, TestHost::Callback, QFIT_OP_SET_NUMBER)) << name;
}

std::string FitTest::GetText(const char* name)
{
    char buffer[QFIT_STRING_VALUE_CAPACITY] = "?";
    EXPECT_EQ(1, NonLinearFit(window, "", name, buffer, TestHost::Callback, QFIT_OP_GET_STRING)) << name;
    return buffer;
}

void FitTest::SetText(const char* name, const std::string& text)
{
    char buffer[QFIT_STRING_VALUE_CAPACITY];
    snprintf(buffer, sizeof buffer, "%s", text.c_str());
    EXPECT_EQ(1, NonLinearFit(window, "", name, buffer, TestHost::Callback, QFIT_OP_SET_STRING)) << name;
}

double FitTest::Call(const char* method, const char* argument)
{
    double v = 0;
    EXPECT_EQ(1, NonLinearFit(window, method, argument, &v, TestHost::Callback, QFIT_OP_CALL_METHOD)) << method;
    return v;
}

void FitTest::UseFunction(const char* function, const char* names, int functionType)
{
    Get("NPARA");  // makes the session
    FittingSession* s = Session();
    ASSERT_TRUE(s != nullptr);
    FunctionDef def = {};
    snprintf(def.name, sizeof def.name, "%s", function);
    def.functionType = functionType;
    def.functionForm = KW_EXPRESSION;
    snprintf(def.source, sizeof def.source, "fittestfuncs.%s", function);
    snprintf(def.paramNames, sizeof def.paramNames, "%s", names);
    def.constraintsSwitch = KW_ON;
    def.options[OPT_KEEP_PARAMS] = KW_NO;
    ASSERT_EQ(0, AddLoadedFunction(s, &def));
    SetText("FUNC", function);
    ASSERT_EQ(0, Err()) << function;
}

void FitTest::UseData(const std::vector<double>& x, const std::vector<double>& y)
{
    host.AddDataset("xdata", x);
    host.AddDataset("ydata", y);
    SetText("X", "xdata");
    SetText("Y", "ydata");
}

void FitTest::UseLine(double a, double b)
{
    UseFunction("Line", "a b");
    UseData(kLineX, kLineY);
    Set("P1", a);
    Set("P2", b);
}
