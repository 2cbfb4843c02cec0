// What the fitter learns from the host window by short scripts: the kind of the active
// window, and the graph that shows the fit, which it remembers and brings back.
//
// Window kinds are the values of the script function exist(): 2 worksheet, 3 graph. Every
// probe leaves no "intTemp" behind; a host that cannot answer gives kind 0.
#include <stdio.h>
#include <string.h>

#include "FitSession.h"

namespace {

const int kGraph = 3;
const int kActiveWindowLetter = 'H' - 'A';

int ProbeWindowType(FittingSession* s, const char* name)
{
    if (!name[0])
        return 0;
    char text[QFIT_HOST_TEXT_CAPACITY + 32];
    snprintf(text, sizeof text, "intTemp=exist(%s)", name);
    double type = 0;
    if (CallHost(s, HOST_RUN_SCRIPT, reinterpret_cast<INT_PTR>(text), 0) != 0 || EvalNumber(s, "intTemp", &type) != 0)
        type = 0;
    CallHost(s, HOST_RUN_SCRIPT, reinterpret_cast<INT_PTR>("del -v intTemp"), 0);
    return static_cast<int>(type);
}

void ActiveWindowName(FittingSession* s, char* out)
{
    out[0] = 0;
    CallHost(s, HOST_GET_STRING_VAR, reinterpret_cast<INT_PTR>(out), kActiveWindowLetter);
    out[QFIT_HOST_TEXT_CAPACITY - 1] = 0;
}

}  // namespace

int FitWindowType(FittingSession* s)
{
    return ProbeWindowType(s, s->fitGraphName);
}

int GetActiveWindowType(FittingSession* s)
{
    char name[QFIT_HOST_TEXT_CAPACITY];
    ActiveWindowName(s, name);
    return ProbeWindowType(s, name);
}

void RememberFitGraph(FittingSession* s)
{
    char name[QFIT_HOST_TEXT_CAPACITY];
    ActiveWindowName(s, name);
    if (ProbeWindowType(s, name) != kGraph)
        return;
    int id = 0;
    CallHost(s, HOST_GET_WINDOW_ID, 0, reinterpret_cast<INT_PTR>(&id));
    snprintf(s->fitGraphName, sizeof s->fitGraphName, "%s", name);
    s->fitGraphId = id;
}

int PlotFitData(FittingSession* s)
{
    if (GetActiveWindowType(s) != kGraph) {
        CallHost(s, HOST_RUN_SCRIPT, reinterpret_cast<INT_PTR>("win -t plot"), 0);
        for (int d = 1; d <= s->nDep; ++d)
            if (s->dep[d].dataset)
                CallHost(s, HOST_DATASET_UPDATE, s->dep[d].dataset, 0);
    }
    RememberFitGraph(s);
    return 0;
}

int ActivateFitPlot(FittingSession* s)
{
    if (ProbeWindowType(s, s->fitGraphName) == kGraph)
        return CallHost(s, HOST_ACTIVATE_WINDOW, reinterpret_cast<INT_PTR>(s->fitGraphName), s->fitGraphId) ? 1 : 0;
    return PlotFitData(s);
}
