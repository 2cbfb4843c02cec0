// Calls into the host and the one error reporter every ScxFit result passes through.
#include <stdio.h>
#include <string.h>

#include "FitSession.h"
#include "QxText.h"

INT_PTR CallHost(FittingSession* s, UINT request, INT_PTR a1, INT_PTR a2, HWND context)
{
    return s->callback(context, request, a1, a2);
}

// Codes that have no message in the string table are stored but never shown: the host
// would be asked for a text that does not exist.
static bool HasMessage(int code)
{
    return code >= 28021 && code <= 28053 && code != FIT_ERR_NO_POINTS && code != FIT_CONVERGED &&
           code != 28045;
}

int ReportFitError(FittingSession* s, HostCallback callback, HWND hostWindow, int code)
{
    if (code < 28000) {
        if (s)
            s->status = code;
        return code;
    }
    if (!s) {
        if (HasMessage(code))
            callback(hostWindow, HOST_REPORT_ERROR, code, 0);
        return code;
    }
    if (s->msgPrompt == 0) {
        s->status = code;
        return code;
    }
    if (code == FIT_WARN_DEPENDENCY && s->msgPrompt == 2)
        return code;
    if (HasMessage(code)) {
        if (code == FIT_ERR_CONSTRAINT_NAME) {
            callback(hostWindow, HOST_REPORT_ERROR, code, reinterpret_cast<INT_PTR>(s->unknownName));
        } else if (s->pendingFlag) {
            callback(hostWindow, HOST_REPORT_ERROR, code, reinterpret_cast<INT_PTR>(s->pendingText));
        } else {
            callback(hostWindow, HOST_REPORT_ERROR, code, 0);
        }
    }
    if (code != FIT_ERR_CONSTRAINT_NAME && s->pendingFlag) {
        s->pendingFlag = 0;
        s->pendingText[0] = 0;
    }
    s->status = code;
    return code;
}

void SetPendingText(FittingSession* s, const char* text)
{
    snprintf(s->pendingText, sizeof s->pendingText, "%s", text);
    s->pendingFlag = 1;
}

int EvalNumber(FittingSession* s, const char* text, double* out)
{
    if (!text)
        return 1;
    double v = 0;
    if (CallHost(s, HOST_EVAL_NUMBER, reinterpret_cast<INT_PTR>(text), reinterpret_cast<INT_PTR>(&v)) != 0)
        return 1;
    *out = v;
    return 0;
}

double GetScriptValue(FittingSession* s, const char* text)
{
    double v;
    return EvalNumber(s, text, &v) == 0 ? v : MISSING_VALUE;
}

// The decimal digits of v at out, ended; returns the end. The progress texts of every
// iteration are written by hand: a formatted print costs more than a small fit's pass.
static char* WriteInteger(char* out, int v)
{
    unsigned u = v < 0 ? 0u - static_cast<unsigned>(v) : static_cast<unsigned>(v);
    if (v < 0)
        *out++ = '-';
    char digits[12];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + u % 10);
        u /= 10;
    } while (u);
    while (n)
        *out++ = digits[--n];
    *out = 0;
    return out;
}

void ReportProgressCount(FittingSession* s, int id, int count)
{
    char text[16];
    WriteInteger(text, count);
    ReportProgress(s, id, text);
}

void ReportProgressPair(FittingSession* s, int id, int first, int second)
{
    char text[32];
    char* end = WriteInteger(text, first);
    *end++ = ':';
    WriteInteger(end, second);
    ReportProgress(s, id, text);
}

void ReportProgressIteration(FittingSession* s, int id, const char* mu, int iteration)
{
    static const char kAt[] = " at iteration ";
    char text[96];
    // mu cut to leave room for kAt and the iteration (up to 11 chars and the 0).
    const size_t muChars = sizeof text - sizeof kAt - 12;
    char* end = text + qxtext::CopyUpTo(text, muChars + 1, mu);
    for (const char* c = kAt; *c; ++c)
        *end++ = *c;
    WriteInteger(end, iteration);
    ReportProgress(s, id, text);
}

void ReportProgress(FittingSession* s, int id, const char* text)
{
    CallHost(s, HOST_REPORT_PROGRESS, id, reinterpret_cast<INT_PTR>(text), s->hostWindow);
}

void EndProgress(FittingSession* s)
{
    CallHost(s, HOST_REPORT_PROGRESS, 0, 0, s->hostWindow);
}
