// The fit report: the data, the model, the goodness of fit and each parameter with its
// error, pasted as a label onto the fit graph or written line by line into the results log.
// The text grows with the parameters and their names, so a long report is never cut.
#include <stdio.h>

#include <string>

#include "FitterResources.h"
#include "FitterWindow.h"
#include "ParamPanel.h"
#include "qxutil.h"

#include "../engine/FitSession.h"

namespace {

const int kGraphWindow = 3;

std::string Formatted(double value, int digits)
{
    char text[UTIL_NUMBER_TEXT_SIZE];
    FormatValue(value, digits, text);
    return text;
}

void RunScript(FittingSession* s, const char* script)
{
    CallHost(s, HOST_RUN_SCRIPT, reinterpret_cast<INT_PTR>(script), 0);
}

}  // namespace

void PasteFitResults(FittingSession* s, bool toPlot)
{
    RunScript(s, "OldRedir = type.redirection");
    double redirection = 0;
    CallHost(s, HOST_GET_VARIABLE, reinterpret_cast<INT_PTR>("OldRedir"), reinterpret_cast<INT_PTR>(&redirection));

    std::string label = "-Q 2 -B 1 -FS 14 -N FIT.P ";
    auto emit = [&](const std::string& line) {
        if (toPlot)
            label += line + "\r\n";
        else
            CallHost(s, HOST_REQ_101F, reinterpret_cast<INT_PTR>(line.c_str()), 0);
    };
    const std::string rule = "(" + std::string(40, '-') + ")";
    if (!toPlot) {
        RunScript(s, "type.redirection = 16");
        RunScript(s, "Type.BeginResults();");
    }

    std::string data = "Data: ";
    for (int d = 1; d <= s->nDep; ++d)
        data += (d > 1 ? "," : "") + DatasetName(s, s->dep[d].dataset);
    emit(data);
    emit("Model: " + std::string(s->current ? s->current->name : "") + " ");
    emit("  ");

    const std::string chi = Formatted(s->chiSqr, 0), r2 = Formatted(s->cod, 0);
    if (toPlot) {
        emit("Chi^2/DoF\t= " + chi);
        emit("R^2\t=  " + r2);
        emit("  ");
    } else {
        emit("Chi^2/DoF\tR^2\t");
        emit(rule);
        emit(chi + "\t" + r2 + "\t");
        emit(rule);
        emit("  ");
        emit("  ");
        emit("Parameter\tValue\tError");
        emit(rule);
    }
    char plusMinus[32] = "";
    LoadStringA(FitterInstance, IDS_REPORT_PLUS_MINUS, plusMinus, sizeof plusMinus);
    for (int p = 1; p <= s->nParams; ++p) {
        char name[PARAM_NAME_CHARS + 8] = "";
        GetParamName(s, p, name, sizeof name);
        emit(std::string(name) + "\t" + Formatted(s->value[p], s->digits[p]) + "\t" + (toPlot ? plusMinus : "") +
             Formatted(s->error[p], s->digits[p]));
    }
    if (!toPlot) {
        emit(rule);
        RunScript(s, "Type.EndResults();");
    }
    char restore[48];
    snprintf(restore, sizeof restore, "type.redirection = %d", static_cast<int>(redirection));
    RunScript(s, restore);
    if (toPlot && FitWindowType(s) == kGraphWindow && ActivateFitPlot(s) == 0)
        CallHost(s, HOST_REQ_101E, reinterpret_cast<INT_PTR>(label.c_str()), 0);
}
