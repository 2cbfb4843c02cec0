#include "QmErrors.h"

#include <stdlib.h>
#include <string.h>

namespace {

struct ErrorEntry {
    int code;
    char* text;
};

ErrorEntry g_errors[QM_ERROR_SLOTS];
int g_newest = 0;
int g_lastErrorId = 0;
// Whether anything was reported since the list was last cleared.
bool g_reported = false;

} // namespace

void QmReportError(int code, const char* text)
{
    g_reported = true;
    g_newest = (g_newest + 1) % QM_ERROR_SLOTS;
    ErrorEntry& e = g_errors[g_newest];
    free(e.text);
    e.code = code;
    e.text = text ? _strdup(text) : nullptr;
}

void QmRecordError(int code, const char* text)
{
    g_lastErrorId = code;
    QmReportError(code, text);
}

void QmClearErrors()
{
    // Every method call clears; most find nothing to clear.
    if (!g_reported)
        return;
    g_reported = false;
    for (ErrorEntry& e : g_errors) {
        if (e.text) {
            free(e.text);
            e.text = nullptr;
        }
        e.code = 0;
    }
    g_newest = 0;
}

int QmErrorRecorded()
{
    // The first report after a clear goes to entry 1.
    return g_errors[1].code != 0 ? 1 : 0;
}

int QmLastErrorId()
{
    return g_lastErrorId;
}

int QmErrorCodeAt(int slot)
{
    return (slot >= 0 && slot < QM_ERROR_SLOTS) ? g_errors[slot].code : 0;
}

const char* QmErrorTextAt(int slot)
{
    return (slot >= 0 && slot < QM_ERROR_SLOTS) ? g_errors[slot].text : nullptr;
}

int QmNewestErrorSlot()
{
    return g_newest;
}
