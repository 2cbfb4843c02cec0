#include "ResultsPage.h"

#include <stdio.h>

#include <string>

#include "FitterResources.h"
#include "FitterWindow.h"
#include "ParamPanel.h"
#include "qxutil.h"

#include "../engine/FitSession.h"

namespace {

// The prediction level is the page's own: the engine knows one level, the confidence level,
// which a prediction band borrows while it is made.
double gPredictionLevel = 0.95;

// The level typed in an edit when it lies strictly between 0 and 1.
bool ReadLevel(HWND page, FittingSession* s, int id, double* level)
{
    char text[64] = "";
    GetDlgItemTextA(page, id, text, sizeof text);
    double value;
    if (EvalNumber(s, text, &value) != 0 || !(value > 0 && value < 1))
        return false;
    *level = value;
    return true;
}

// A name edit's text, or its default when it is empty.
std::string NameOrDefault(HWND page, int id, int defaultId)
{
    char text[QFIT_HOST_TEXT_CAPACITY] = "";
    GetDlgItemTextA(page, id, text, sizeof text);
    return text[0] ? text : FitterString(defaultId);
}

template <typename Action>
void ForSelectedDependents(HWND page, FittingSession* s, Action action)
{
    for (int d = 1; d <= s->nDep; ++d)
        if (SendDlgItemMessageA(page, IDC_DEPENDENT_LIST, LB_GETSEL, d - 1, 0) > 0)
            action(d);
}

void MakeBands(HWND page, FittingSession* s, bool prediction)
{
    double level;
    if (!ReadLevel(page, s, prediction ? IDC_RESULTS_PRED_LEVEL : IDC_RESULTS_CONF_LEVEL, &level))
        return;
    if (!s->fitActive && BeginFit(s, 0))
        return;
    const double confidence = s->confidence;
    if (prediction)
        gPredictionLevel = level;
    s->confidence = level;
    ForSelectedDependents(page, s, [&](int d) { MakeResultColumns(s, d, prediction ? 'P' : 'C'); });
    if (prediction)
        s->confidence = confidence;
}

void MakeCovarianceMatrix(HWND page, FittingSession* s)
{
    const std::string name = NameOrDefault(page, IDC_RESULTS_MATRIX_NAME, IDS_RESULTS_MATRIX_NAME);
    if (!s->fitActive && BeginFit(s, 0))
        return;
    CallHost(s, HOST_SET_STRING_VAR, reinterpret_cast<INT_PTR>(name.c_str()), 0);
    CallHost(s, HOST_RUN_SCRIPT,
             reinterpret_cast<INT_PTR>("if(exist(%A)!=5){win -t matrix matrix %A;} else {win -a %A;};"), 0);
    char script[64];
    snprintf(script, sizeof script, "matrix -ps dim %d %d;", s->nParams, s->nParams);
    CallHost(s, HOST_RUN_SCRIPT, reinterpret_cast<INT_PTR>(script), 0);
    s->covarDataset = CallHost(s, HOST_FIND_DATASET, reinterpret_cast<INT_PTR>(name.c_str()), 0);
    StoreVarCovarMatrix(s);
}

void OnInitDialog(HWND page, FittingSession* s)
{
    HWND list = GetDlgItem(page, IDC_DEPENDENT_LIST);
    for (int d = 1; d <= s->nDep; ++d) {
        char name[PARAM_NAME_CHARS + 8];
        DependentName(s, d, name, sizeof name);
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
    SendMessageA(list, LB_SETSEL, TRUE, -1);
    SendDlgItemMessageA(page, IDC_RESULTS_CONF_LEVEL, EM_LIMITTEXT, 32, 0);
    SendDlgItemMessageA(page, IDC_RESULTS_PRED_LEVEL, EM_LIMITTEXT, 32, 0);
    SetEditNumber(page, IDC_RESULTS_CONF_LEVEL, s->confidence);
    SetEditNumber(page, IDC_RESULTS_PRED_LEVEL, gPredictionLevel);
    SetDlgItemTextA(page, IDC_RESULTS_PARAM_NAME, FitterString(IDS_RESULTS_PARAM_NAME).c_str());
    SetDlgItemTextA(page, IDC_RESULTS_MATRIX_NAME, FitterString(IDS_RESULTS_MATRIX_NAME).c_str());
    SetFocus(list);
}

void OnCommand(HWND page, FittingSession* s, WPARAM wParam)
{
    switch (LOWORD(wParam)) {
    case IDC_RESULTS_CONF_BAND:
        MakeBands(page, s, false);
        return;
    case IDC_RESULTS_PRED_BAND:
        MakeBands(page, s, true);
        return;
    case IDC_RESULTS_RESIDUE:
        ForSelectedDependents(page, s, [&](int d) { MakeResidueCurve(s, d); });
        return;
    case IDC_RESULTS_PARAM_SHEET: {
        const std::string script = "run.section(fit.qgs,ParaConf," +
                                   NameOrDefault(page, IDC_RESULTS_PARAM_NAME, IDS_RESULTS_PARAM_NAME) + ")";
        CallHost(s, HOST_RUN_SCRIPT, reinterpret_cast<INT_PTR>(script.c_str()), 0);
        return;
    }
    case IDC_RESULTS_MATRIX:
        MakeCovarianceMatrix(page, s);
        return;
    case IDC_RESULTS_PASTE_PLOT:
        ActivateFitPlot(s);
        PasteFitResults(s, true);
        return;
    case IDC_RESULTS_PASTE_LOG:
        PasteFitResults(s, false);
        return;
    }
}

}  // namespace

INT_PTR CALLBACK FitResults(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    static const PageHandlers handlers = {OnInitDialog, OnCommand, 0};
    return RunPageProcedure(page, message, wParam, lParam, handlers);
}

int LeaveResultsPage(HWND page, FittingSession* s)
{
    double level;
    if (ReadLevel(page, s, IDC_RESULTS_CONF_LEVEL, &level))
        s->confidence = level;
    if (ReadLevel(page, s, IDC_RESULTS_PRED_LEVEL, &level))
        gPredictionLevel = level;
    return 0;
}
