// Creation and end of fit sessions, and the table that maps host threads to them.
#include <stdio.h>
#include <string.h>

#include "FitMemory.h"
#include "FitObject.h"
#include "FitSession.h"
#include "../ui/DefinePage.h"
#include "../ui/FitterWindow.h"

SessionSlot SessionTable[SESSION_TABLE_SLOTS + 1];
HINSTANCE FitterInstance;
int ErrorsWithChiSq;

static DWORD ThreadOf(HWND window)
{
    DWORD thread = window && IsWindow(window) ? GetWindowThreadProcessId(window, nullptr) : 0;
    return thread ? thread : GetCurrentThreadId();
}

// Every session gets a slot of its own: all host windows live on one thread, so keying
// the slots by thread alone would let each new session take the slot of the one before.
static void RegisterSession(FittingSession* s)
{
    for (int i = 1; i <= SESSION_TABLE_SLOTS; ++i) {
        if (SessionTable[i].session == nullptr) {
            SessionTable[i].thread = ThreadOf(s->hostWindow);
            SessionTable[i].session = s;
            return;
        }
    }
}

static void ReleaseSession(FittingSession* s)
{
    for (int i = 1; i <= SESSION_TABLE_SLOTS; ++i) {
        if (SessionTable[i].session == s) {
            SessionTable[i].thread = 0;
            SessionTable[i].session = nullptr;
            return;
        }
    }
}

FittingSession* WindowSession()
{
    return SessionTable[1].session;
}

FittingSession* FindSession(HWND hostWindow, HostCallback callback)
{
    FittingSession* found = nullptr;
    if (callback(hostWindow, HOST_FIND_SESSION, reinterpret_cast<INT_PTR>(&found), 0) != 0)
        return nullptr;
    if (found)
        found->callback = callback;
    return found;
}

void ResetSessionDefaults(FittingSession* s)
{
    s->status = 0;
    s->nIter = s->trials = s->lmRounds = s->failures = s->iterationsSinceBegin = 0;
    s->runFlags = 0;
    s->current = nullptr;
    s->xBegin = s->xEnd = MISSING_VALUE;
    s->xStep = 1.0;
    s->xPoints = 60;
    s->confidence = 0.95;
    s->minDerivStep = 5e-30;
    s->maxDerivStep = 5e+30;
    s->evaluationLimit = 10;
    s->optCurves = s->optPeaksAfter = s->optPasteToPlot = s->optPasteToLog = KW_YES;
    s->optSpacing = KW_SPACING_UNIFORM_AXIS;
    for (int i = 0; i <= MAX_FIT_SETS; ++i)
        s->fitSets[i].step = 1;
    s->paraChange = 1.0;
    s->mu = s->muMin = 0.001;
    s->singularCriterion = 1e-60;
    s->msgPrompt = 1;
    s->dataStep = 1;
    s->tolerance = 0.05;
    s->derivStep = 0.005;
    s->nFitSets = 1;
}

int CreateSession(HWND hostWindow, HostCallback callback, FittingSession** out)
{
    *out = nullptr;
    FittingSession* old = nullptr;
    if (callback(hostWindow, HOST_FIND_SESSION, reinterpret_cast<INT_PTR>(&old), 0) == 0 && old) {
        old->callback = callback;
        EndSession(old, 1);
    }
    FittingSession* s = AllocArray<FittingSession>(1);
    if (!s)
        return FIT_ERR_NO_MEMORY;
    callback(hostWindow, HOST_ATTACH_SESSION, reinterpret_cast<INT_PTR>(s), 0);
    s->hostWindow = hostWindow;
    RegisterSession(s);
    ResetSessionDefaults(s);
    s->callback = callback;
    s->pageId = PAGE_SELECT;
    s->fullMenu = 1;
    s->iterationCount = 10;
    s->instance = FitterInstance;
    CountSession(1);
    ExchangeFitSettings(s, 0);
    ConvertOldFunctionLists(s);
    char category[CATEGORY_CHARS];
    snprintf(category, sizeof category, "%s", s->category);
    if (LoadFunctionGroup(s, category) == 0)
        SyncDefaultFunction(s, 0, category);
    *out = s;
    return 0;
}

// Ends the session and releases its record: after HOST_DETACH_SESSION the host holds no
// link to it, so the engine is the one owner left.
void EndSession(FittingSession* s, int mode)
{
    if (s->hostWindow && !IsWindow(s->hostWindow))
        s->hostWindow = nullptr;
    FinishFit(s, 0);
    // New or edited definitions are offered for saving before they are freed, over a window
    // the user sees; a session ended behind a hidden host window (a script host) has no one
    // to ask.
    HWND owner = s->pageWindow && IsWindow(s->pageWindow) ? s->pageWindow : s->hostWindow;
    if (owner && IsWindowVisible(owner))
        AskSaveFunctions(owner, s);
    CloseFitterWindow(s);
    if (mode == 0)
        ExchangeFitSettings(s, 1);
    FreeEngineArrays(s);
    if (mode == 1)
        PublishParamValues(s);
    FreeParamTable(s);
    FreeFunctionList(s);
    FreeVariables(s);
    FreeConstraints(s);
    ReleaseSession(s);
    CountSession(-1);
    s->callback(nullptr, HOST_DETACH_SESSION, reinterpret_cast<INT_PTR>(s), 0);
    FreeLockedBlock(s);
}
