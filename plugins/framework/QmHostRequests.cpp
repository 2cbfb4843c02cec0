#include "QmHostRequests.h"

#include <ctype.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include "qxutil.h"

HWND g_qmHostContext = nullptr;
HostCallback g_qmHostCallback = nullptr;

static bool g_reasonGiven = false;

void QmBindHost(HWND context, HostCallback callback)
{
    g_qmHostContext = context;
    g_qmHostCallback = callback;
}

INT_PTR QmCallHost(UINT code, INT_PTR a, INT_PTR b, INT_PTR unbound, bool* sent)
{
    HostCallback callback = g_qmHostCallback;
    if (sent)
        *sent = callback != nullptr;
    if (!callback)
        return unbound;
    return callback(g_qmHostContext, code, a, b);
}

void QmPrintText(const char* line)
{
    QmCallHost(HOST_PRINT_TEXT, reinterpret_cast<INT_PTR>(line ? line : ""), 0);
}

void QmFailureReason(const char* format, ...)
{
    char text[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    g_reasonGiven = true;
    QmCallHost(HOST_FAILURE_REASON, reinterpret_cast<INT_PTR>(text), 0);
}

bool QmFailureReasonGiven()
{
    return g_reasonGiven;
}

void QmClearFailureReason()
{
    g_reasonGiven = false;
}

void QmUpdateHost()
{
    QmCallHost(HOST_REQ_300C, 0, 0);
}

int QmEvalNumber(const char* expression, double* value)
{
    if (!expression || !value)
        return 1;
    double result = *value;
    INT_PTR rc = QmCallHost(HOST_EVAL_NUMBER, reinterpret_cast<INT_PTR>(expression),
                               reinterpret_cast<INT_PTR>(&result), 1);
    if (rc != 0)
        return 1;
    *value = result;
    return 0;
}

void QmCopyText(char* destination, size_t size, const char* source)
{
    if (!destination || size == 0)
        return;
    // By hand: the texts are names, and the C library's block copy costs more.
    size_t n = 0;
    if (source)
        for (; n < size - 1 && source[n]; ++n)
            destination[n] = source[n];
    destination[n] = '\0';
}

void QmFormatNumber(double value, char* output, size_t size, const char* format)
{
    if (!output || size == 0)
        return;
    // The host's record promises at least 64 bytes; our own buffer keeps that promise
    // whatever the caller's size, and the answer is cut to fit afterwards.
    char text[UTIL_NUMBER_TEXT_SIZE > 256 ? UTIL_NUMBER_TEXT_SIZE : 256];
    text[0] = '\0';
    QmFormatRecord record = {text, format ? format : "*"};
    QmCallHost(HOST_FORMAT_NUMBER, reinterpret_cast<INT_PTR>(&value),
                  reinterpret_cast<INT_PTR>(&record));
    text[sizeof text - 1] = '\0';
    if (!text[0])
        UtilFormatNumber(value, text, "*");
    QmCopyText(output, size, text);
}

static int LetterIndex(char letter)
{
    int c = toupper(static_cast<unsigned char>(letter));
    return (c >= 'A' && c <= 'Z') ? c - 'A' : -1;
}

// Both directions: refused letters send nothing; success only when a host did it.
static int StringVariableRequest(UINT code, char letter, const void* text)
{
    int index = LetterIndex(letter);
    if (index < 0 || !text)
        return 0;
    bool sent = false;
    INT_PTR rc = QmCallHost(code, reinterpret_cast<INT_PTR>(text), index, 1, &sent);
    return sent && rc == 0 ? 1 : 0;
}

int QmGetStringVariable(char letter, char* buffer)
{
    return StringVariableRequest(HOST_GET_STRING_VAR, letter, buffer);
}

int QmSetStringVariable(char letter, const char* text)
{
    return StringVariableRequest(HOST_SET_STRING_VAR, letter, text);
}
