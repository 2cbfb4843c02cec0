// The datasets a fit starts with, taken from the host window the user works in: the
// columns selected in the active worksheet, or the datasets of the active graph's layer.
//
// Everything is learnt by short scripts (the worksheet's selection, the layer's list in %Z,
// the active dataset in %C) and script variables read back; every probe variable is
// deleted again.
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "FitSession.h"
#include "FitUtil.h"
#include "../ui/FitterResources.h"
#include "../ui/FitterWindow.h"

namespace {

const int kWorksheet = 2;
const int kGraph = 3;
// wks.sel above this is a selection of whole columns.
const int kCellSelection = 2;
// A column of this type holds X values: it is not fitted.
const int kXColumn = 4;
const int kShownPairs = 3;

struct Candidate {
    std::string name;
    QFitDataset dataset;
};

bool RunScript(FittingSession* s, const std::string& text)
{
    return CallHost(s, HOST_RUN_SCRIPT, reinterpret_cast<INT_PTR>(text.c_str()), 0) == 0;
}

// The value of a probe expression through a variable that is deleted again; fallback when
// the host cannot evaluate it.
double Probe(FittingSession* s, const std::string& expression, double fallback)
{
    double v = fallback;
    if (!RunScript(s, "intTemp=" + expression) || EvalNumber(s, "intTemp", &v) != 0)
        v = fallback;
    RunScript(s, "del -v intTemp");
    return v;
}

std::string StringVar(FittingSession* s, char letter)
{
    char text[QFIT_HOST_TEXT_CAPACITY] = "";
    CallHost(s, HOST_GET_STRING_VAR, reinterpret_cast<INT_PTR>(text), letter - 'A');
    text[sizeof text - 1] = 0;
    return text;
}

std::string FunctionName(FittingSession* s)
{
    return s->current ? s->current->name : "";
}

bool MissingDatasets(FittingSession* s)
{
    return ClearMissingDatasets(s) != 0;
}

int AskDialog(FittingSession* s, int buttons, int stringId, const std::string& a, const std::string& b,
              const char* c1, const char* c2, const char* c3 = "Cancel")
{
    return FitMessageDialog(s->fitterWindow, s, buttons, stringId, a.c_str(), b.c_str(), nullptr, c1, c2, c3);
}

// Dependent variable d takes the dataset over its used rows; the first independent variable
// of its fit set without a dataset takes its X. 0 done.
int AssignDependent(FittingSession* s, int d, const std::string& name)
{
    DepVarInfo& v = s->dep[d];
    if (AssignDatasetRange(s, name.c_str(), &v.dataset, &v.first, &v.end) != 0)
        return 1;
    v.step = 1;
    const int f = FitSetOfDependent(s, d);
    s->fitSets[f].step = 1;
    const int first = FirstIndepOfSet(s, f);
    for (int i = first; i < first + IndepPerSet(s) && i <= s->nIndep; ++i)
        if (!s->indep[i].dataset || IsDatasetInvalid(s, s->indep[i].dataset) || s->indep[i].useAlt) {
            LinkToDependent(s, i, d);
            break;
        }
    return 0;
}

// One fit set per dataset, each dataset its set's dependent variable; 0 done.
int AssignOnePerSet(FittingSession* s, const std::vector<std::string>& names)
{
    if (names.empty() || !s->current || s->current->nDependent != 1 || s->current->nIndependent != 1)
        return 1;
    if (SetFitSetCount(s, static_cast<int>(names.size())) != 0)
        return 1;
    // The rows of earlier sets keep their old datasets until assigned: take every X anew.
    for (int i = 1; i <= s->nIndep; ++i)
        s->indep[i].dataset = 0;
    for (size_t k = 0; k < names.size(); ++k)
        if (AssignDependent(s, static_cast<int>(k) + 1, names[k]) != 0)
            return 1;
    UpdateFitSetRanges(s);
    MatchIndependentDatasets(s);
    LinkXDataset(s, -1);
    return 0;
}

std::vector<std::string> AssignedNames(FittingSession* s)
{
    std::vector<std::string> names;
    for (int d = 1; d <= s->nDep; ++d)
        names.push_back(DatasetName(s, s->dep[d].dataset));
    return names;
}

bool SameNames(const std::vector<std::string>& a, const std::vector<std::string>& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (_stricmp(a[i].c_str(), b[i].c_str()) != 0)
            return false;
    return true;
}

std::string Join(const std::vector<std::string>& parts, size_t shown)
{
    std::string text;
    for (size_t i = 0; i < parts.size() && i < shown; ++i)
        text += (i ? ", " : "") + parts[i];
    if (parts.size() > shown)
        text += ", ..";
    return text;
}

std::string XSource(FittingSession* s, QFitDataset dataset)
{
    const QFitDataset x = dataset ? CallHost(s, HOST_GET_X_DATASET, dataset, 0) : 0;
    if (x)
        return DatasetName(s, x);
    return "From 1, Step 1";
}

std::string Pair(const std::string& x, const std::string& y)
{
    return "<" + x + "(X), " + y + "(Y)>";
}

// The datasets of the worksheet's selected columns.
int FromWorksheet(FittingSession* s, int ask, int* page)
{
    const int selection = static_cast<int>(Probe(s, "wks.sel", 0));
    if (selection <= kCellSelection) {
        if (!ask)
            return 0;
        if (MissingDatasets(s)) {
            if (*page == PAGE_ID_DATASETS)
                AskDialog(s, 1, IDS_INVALID_SELECTION, "", "", "Ok", nullptr);
            else if (AskDialog(s, 2, IDS_INVALID_SELECTION, "", "", "Dataset", "Cancel") == 1)
                *page = PAGE_ID_DATASETS;
            return 0;
        }
        ActivateFitPlot(s);
        *page = PAGE_ID_SESSION;
        return 0;
    }
    const int c1 = static_cast<int>(Probe(s, "wks.c1", 0)), c2 = static_cast<int>(Probe(s, "wks.c2", -1));
    const std::string worksheet = StringVar(s, 'H');
    std::vector<std::string> columns, names;
    char text[96];
    for (int c = c1; c <= c2; ++c) {
        snprintf(text, sizeof text, "isselcode = wks.iscolsel(%d);", c);
        double selected = 0;
        const bool ran = RunScript(s, text) && EvalNumber(s, "isselcode", &selected) == 0;
        RunScript(s, "del -v isselcode");
        snprintf(text, sizeof text, "wks.col%d.type", c);
        if (!ran || !selected || static_cast<int>(Probe(s, text, kXColumn)) == kXColumn)
            continue;
        snprintf(text, sizeof text, "%%A=wks.col%d.name$", c);
        if (!RunScript(s, text))
            continue;
        const std::string column = StringVar(s, 'A');
        const std::string name = worksheet + "_" + column;
        if (!CallHost(s, HOST_FIND_DATASET, reinterpret_cast<INT_PTR>(name.c_str()), 0))
            continue;
        columns.push_back(column);
        names.push_back(name);
    }
    if (names.empty())
        return 0;
    // The columns fitted already: their graph is the fit graph, no new one is made.
    if (SameNames(names, AssignedNames(s)) && !MissingDatasets(s)) {
        if (ask)
            ActivateFitPlot(s);
        *page = PAGE_ID_SESSION;
        return 0;
    }
    if (ask) {
        const std::string list = Join(columns, columns.size());
        if (FitMessageDialog(s->fitterWindow, s, 2, IDS_FIT_COLUMNS, FunctionName(s).c_str(), list.c_str(),
                             worksheet.c_str(), "Continue", "Cancel") != 1)
            return 0;
    }
    // The columns plotted: the new graph becomes the fit graph.
    RunScript(s, "worksheet -P 201 scatter;");
    if (AssignOnePerSet(s, names) != 0)
        return 0;
    RememberFitGraph(s);
    *page = PAGE_ID_SESSION;
    return 0;
}

// The names of the active layer's datasets, from "layer -c".
std::vector<std::string> LayerDatasets(FittingSession* s)
{
    std::vector<std::string> names;
    RunScript(s, "layer -c;");
    double count = 0;
    if (EvalNumber(s, "count", &count) != 0)
        return names;
    char text[64];
    for (int i = 1; i <= static_cast<int>(count); ++i) {
        snprintf(text, sizeof text, "i=%d;%%A=%%[%%z,#i ];", i);
        if (RunScript(s, text))
            names.push_back(StringVar(s, 'A'));
    }
    return names;
}

// Whether the active graph's layer shows every assigned dataset (a dataset plotted in
// another graph does not make this one the fit graph).
bool AllDependentsPlotted(FittingSession* s)
{
    const std::vector<std::string> layer = LayerDatasets(s);
    for (int d = 1; d <= s->nDep; ++d) {
        const std::string name = DatasetName(s, s->dep[d].dataset);
        bool shown = false;
        for (const std::string& plotted : layer)
            shown = shown || _stricmp(plotted.c_str(), name.c_str()) == 0;
        if (name.empty() || !shown)
            return false;
    }
    return true;
}

bool IsFitGraphActive(FittingSession* s)
{
    return s->fitGraphName[0] && _stricmp(StringVar(s, 'H').c_str(), s->fitGraphName) == 0;
}

int AssignActiveDataset(FittingSession* s, int* page)
{
    const std::string active = StringVar(s, 'C');
    if (!active.empty() && AssignOnePerSet(s, {active}) == 0) {
        RememberFitGraph(s);
        *page = PAGE_ID_SESSION;
    }
    return 0;
}

// The datasets of the active graph.
int FromGraph(FittingSession* s, int ask, int* page)
{
    const bool missing = MissingDatasets(s);
    if (!ask) {
        if (!IsFitActive(s) && (FitWindowType(s) != kGraph || missing ||
                                (!IsFitGraphActive(s) && !AllDependentsPlotted(s))))
            *page = PAGE_ID_SELECT;
        return 0;
    }
    if (missing) {
        if (s->current->nDependent >= 2) {
            *page = PAGE_ID_DATASETS;
            return 0;
        }
        const std::string active = StringVar(s, 'C');
        if (active.empty()) {
            if (*page == PAGE_ID_DATASETS)
                AskDialog(s, 1, IDS_NO_FIT_DATASET, "", "", "Ok", nullptr);
            else if (AskDialog(s, 2, IDS_NO_FIT_DATASET_DATASET, "", "", "Dataset", "Cancel") != 2)
                *page = PAGE_ID_DATASETS;
            return 0;
        }
        if (*page == PAGE_ID_DATASETS) {
            if (AskDialog(s, 2, IDS_FIT_ACTIVE_ONLY, active, "", "Active Dataset ", "Cancel") == 1)
                return AssignActiveDataset(s, page);
            return 0;
        }
        const int answer = AskDialog(s, 3, IDS_FIT_ACTIVE_OR_OTHER, active, "", "Active Dataset ", "Other Dataset");
        if (answer == 1)
            return AssignActiveDataset(s, page);
        if (answer == 2)
            *page = PAGE_ID_DATASETS;
        return 0;
    }
    if (IsFitGraphActive(s)) {
        *page = PAGE_ID_SESSION;
        return 0;
    }
    if (AllDependentsPlotted(s)) {
        RememberFitGraph(s);
        *page = PAGE_ID_SESSION;
        return 0;
    }
    const std::vector<std::string> layer = LayerDatasets(s);
    if (layer.empty()) {
        ActivateFitPlot(s);
        *page = PAGE_ID_SESSION;
        return 0;
    }
    std::vector<std::string> assigned, shown;
    for (int d = 1; d <= s->nDep; ++d) {
        const IndepVarInfo& v = s->indep[FirstIndepOfSet(s, FitSetOfDependent(s, d)) + s->dep[d].xVariable - 1];
        const std::string x = v.dataset && !v.useAlt ? DatasetName(s, v.dataset) : XSource(s, s->dep[d].dataset);
        assigned.push_back(Pair(x, DatasetName(s, s->dep[d].dataset)));
    }
    for (const std::string& name : layer) {
        const QFitDataset dataset = CallHost(s, HOST_FIND_DATASET, reinterpret_cast<INT_PTR>(name.c_str()), 0);
        shown.push_back(Pair(XSource(s, dataset), name));
    }
    const std::string active = StringVar(s, 'C');
    if (!IsFitActive(s)) {
        const int answer = AskDialog(s, 3, IDS_ACTIVE_DIFFERS, active, "", "Active Dataset", "Other Dataset");
        if (answer == 1)
            return AssignActiveDataset(s, page);
        if (answer == 2)
            *page = PAGE_ID_DATASETS;
        return 0;
    }
    const int answer =
        AskDialog(s, 3, IDS_END_AND_FIT, Join(assigned, kShownPairs), Join(shown, kShownPairs), "Yes", "No");
    if (answer == 2) {
        ActivateFitPlot(s);
        *page = PAGE_ID_SESSION;
        return 0;
    }
    if (answer != 1)
        return 0;
    // The fit of the old datasets ends with all its steps; the graph the user chose stays
    // the active one.
    const std::string graph = StringVar(s, 'H');
    FinishFit(s, -1);
    CallHost(s, HOST_ACTIVATE_WINDOW, reinterpret_cast<INT_PTR>(graph.c_str()), 0);
    std::vector<std::string> chosen = layer;
    if (layer.size() > 1) {
        const int which = AskDialog(s, 3, IDS_FIT_ALL_OR_ACTIVE, active, "", "Fit All", "Only Active");
        if (which == 3)
            return 0;
        if (which == 2)
            chosen = {active};
    }
    if (AssignOnePerSet(s, chosen) == 0) {
        RememberFitGraph(s);
        *page = PAGE_ID_SESSION;
    }
    return 0;
}

}  // namespace

int AutoAssignDatasets(FittingSession* s, int ask, int* page)
{
    if (CheckCurrentFunction(s) != 0) {
        if (!ask)
            return 1;
        const int answer = FitMessageDialog(s->fitterWindow, s, 3, IDS_FUNCTION_INCORRECT, nullptr, nullptr, nullptr,
                                            "Modify", "Another", "Cancel");
        if (answer == 1)
            *page = s->current ? PAGE_ID_EDIT : PAGE_ID_NEW;
        else if (answer == 2)
            *page = PAGE_ID_SELECT;
        return 1;
    }
    switch (GetActiveWindowType(s)) {
    case kWorksheet:
        return FromWorksheet(s, ask, page);
    case kGraph:
        return FromGraph(s, ask, page);
    }
    if (ask) {
        if (MissingDatasets(s)) {
            *page = PAGE_ID_DATASETS;
        } else {
            ActivateFitPlot(s);
            *page = PAGE_ID_SESSION;
        }
    }
    return 0;
}
