// A small plug-in for the kernel's tests. It exports what the real plug-ins export:
//   QMDLL (script object "tplug"): number X, string S, methods ADD(a,b) with the
//     sub-property ADD.LAST, ECHO(text) and FAIL(reason), which fails giving its argument
//     as the reason (none when it is empty); an empty name prints the listing.
//   NonLinearFit, ScxFit, QFITModuleInit (script object "tfit"): member P with an index
//     ("P3", "P(i+1)") answering ten times the index, method INIT().
// and, for the tests, TestPlugRequest and TestPlugFitRequest, which send one host request
// through the callback and context the last entry call gave it.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "QmHost.h"

namespace {

HostCallback g_callback = nullptr;
HWND g_context = nullptr;
HostCallback g_fitCallback = nullptr;
HWND g_fitWindow = nullptr;
int g_status = -1;
int g_fitStatus = -1;
double g_x = 0;
std::string g_s;
double g_last = 0;

bool Eval(const std::string& text, double* v)
{
    return g_callback(g_context, HOST_EVAL_NUMBER, (INT_PTR)text.c_str(), (INT_PTR)v) == 0;
}

void Print(const char* text)
{
    g_callback(g_context, HOST_PRINT_TEXT, (INT_PTR)text, 0);
}

std::string Upper(const char* s)
{
    std::string u = s ? s : "";
    for (char& c : u)
        c = (char)toupper((unsigned char)c);
    return u;
}

int Method(const std::string& method, const char* args, double* result, bool checkOnly)
{
    if (method != "ADD" && method != "ECHO" && method != "FAIL")
        return QM_NOT_FOUND;
    if (checkOnly)
        return QM_HANDLED;
    if (method == "FAIL") {
        if (*args)
            g_callback(g_context, HOST_FAILURE_REASON, (INT_PTR)args, 0);
        return QM_NOT_HANDLED;
    }
    if (method == "ECHO") {
        Print(args);
        *result = (double)strlen(args);
        return QM_HANDLED;
    }
    std::string a = args;
    size_t comma = a.find(',');
    double x = 0, y = 0;
    if (comma == std::string::npos || !Eval(a.substr(0, comma), &x) || !Eval(a.substr(comma + 1), &y))
        return QM_NOT_HANDLED;
    g_last = *result = x + y;
    return QM_HANDLED;
}

int Property(const char* methodName, const std::string& name, int op, void* result)
{
    if (methodName) {
        if (Upper(methodName) != "ADD" || name != "LAST" || op != OBJOP_GET_NUMBER)
            return QM_NOT_FOUND;
        *(double*)result = g_last;
        return QM_HANDLED;
    }
    if (name == "X" && (op == OBJOP_GET_NUMBER || op == OBJOP_SET_NUMBER)) {
        if (op == OBJOP_GET_NUMBER)
            *(double*)result = g_x;
        else
            g_x = *(double*)result;
        return QM_HANDLED;
    }
    if (name == "S" && (op == OBJOP_GET_STRING || op == OBJOP_SET_STRING)) {
        if (op == OBJOP_GET_STRING)
            strcpy((char*)result, g_s.c_str());
        else
            g_s = (const char*)result;
        return QM_HANDLED;
    }
    return QM_NOT_FOUND;
}

} // namespace

extern "C" int WINAPI QMDLL(HWND context, LPCSTR methodName, LPCSTR name, void* result,
                                                  HostCallback callback, int code)
{
    g_context = context;
    g_callback = callback;
    code &= 0xFFFF;
    if (code == OBJOP_LAST_STATUS) {
        *(int*)result = g_status;
        return QM_HANDLED;
    }
    bool check = (code & OBJOP_FLAG_8000) != 0;
    g_status = check ? 0 : -1;
    code &= 0x7FFF;
    int r;
    if (code == OBJOP_CALL_METHOD) {
        r = Method(Upper(methodName), name, (double*)result, check);
    } else if (!*name) {
        if (check)
            return QM_NOT_HANDLED;
        Print("X");
        Print("S$");
        Print("ADD()");
        return QM_HANDLED;
    } else {
        r = Property(methodName, Upper(name), code, result);
    }
    if (r == QM_HANDLED)
        return r;
    if (g_status == 0) {
        g_status = 1;
        return QM_NOT_HANDLED;
    }
    return r;
}

extern "C" int WINAPI NonLinearFit(HWND hostWindow, LPCSTR methodName, LPCSTR name,
                                                         void* value, HostCallback callback, int operation)
{
    g_fitWindow = hostWindow;
    g_fitCallback = callback;
    int op = operation & 0xFFFF;
    if (op == QFIT_OP_LAST_STATUS) {
        *(int*)value = g_fitStatus;
        return 1;
    }
    bool check = (op & QFIT_OP_EXISTS) != 0;
    g_fitStatus = check ? 0 : -1;
    op &= 0x7FFF;
    if (op == QFIT_OP_CALL_METHOD) {
        if (Upper(methodName) != "INIT") {
            g_fitStatus = check ? 1 : g_fitStatus;
            return check ? 2 : 0;
        }
        if (!check)
            *(double*)value = 0;
        return 1;
    }
    std::string n = Upper(name);
    if (n.empty() && op == QFIT_OP_GET_NUMBER) {
        SendMessageA(hostWindow, WM_USER, 0, (LPARAM) "type NPARA");
        SendMessageA(hostWindow, WM_USER, 0, (LPARAM) "type INIT()");
        return 1;
    }
    if (n.empty() || n[0] != 'P' || op != QFIT_OP_GET_NUMBER) {
        g_fitStatus = check ? 1 : g_fitStatus;
        return check ? 2 : 0;
    }
    double index = 1;
    std::string rest = n.substr(1);
    if (!rest.empty() && callback(hostWindow, HOST_EVAL_NUMBER, (INT_PTR)rest.c_str(), (INT_PTR)&index) != 0)
        return 0;
    if (!check)
        *(double*)value = 10 * (int)index;
    return 1;
}

extern "C" int WINAPI ScxFit(HWND hostWindow, int code, INT_PTR argument, void* value,
                                                   HostCallback callback)
{
    g_fitWindow = hostWindow;
    g_fitCallback = callback;
    if (value)
        *(double*)value = code + (double)argument;
    return 0;
}

extern "C" int WINAPI QFITModuleInit(HWND hostWindow, UINT message, INT_PTR,
                                                           HostCallback callback, INT_PTR)
{
    g_fitWindow = hostWindow;
    g_fitCallback = callback;
    return message == QFITMOD_CAN_START ? 1 : 2;
}

extern "C" INT_PTR TestPlugRequest(UINT code, INT_PTR a, INT_PTR b)
{
    return g_callback ? g_callback(g_context, code, a, b) : -1;
}

// A framework request with a context of the caller's choice (object requests go to a
// window's handle).
extern "C" INT_PTR TestPlugObjectRequest(HWND context, UINT code, INT_PTR a, INT_PTR b)
{
    return g_callback ? g_callback(context, code, a, b) : -1;
}

extern "C" INT_PTR TestPlugFitRequest(HWND context, UINT code, INT_PTR a, INT_PTR b)
{
    return g_fitCallback ? g_fitCallback(context, code, a, b) : -1;
}

extern "C" HWND TestPlugFitWindow()
{
    return g_fitWindow;
}
