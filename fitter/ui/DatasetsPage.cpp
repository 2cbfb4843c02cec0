#include "DatasetsPage.h"

#include <ctype.h>
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "FitterResources.h"
#include "FitterWindow.h"
#include "ParamPanel.h"
#include "qxutil.h"

#include "../engine/FitSession.h"
#include "../engine/FitUtil.h"

namespace {

const char kInvalidName[] = "???    ";

// The selected row's range in the representation 710/711 do not show (rows for a range by
// X, X bounds otherwise), so that reading the range back keeps both.
char gRangeText[2][32];

std::string Number(double value)
{
    char text[UTIL_NUMBER_TEXT_SIZE];
    FormatValue(value, 0, text);
    return text;
}

std::string RowText(int first, int end)
{
    char text[64];
    snprintf(text, sizeof text, "\t(%d...%d)", first + 1, end);
    return text;
}

std::string ShownName(FittingSession* s, QFitDataset dataset)
{
    if (!dataset || IsDatasetInvalid(s, dataset))
        return kInvalidName;
    return DatasetName(s, dataset);
}

std::string SetSuffix(FittingSession* s, int fitSet)
{
    if (s->nFitSets <= 1)
        return "";
    char text[16];
    snprintf(text, sizeof text, "(%d)", fitSet);
    return text;
}

// A row of list 712: a dependent variable d > 0, or an independent variable -i.
struct Row {
    int variable;
};

std::vector<Row> Rows(FittingSession* s)
{
    std::vector<Row> rows;
    for (int f = 1; f <= s->nFitSets; ++f) {
        for (int d = s->fitSets[f].firstDependent; d <= s->fitSets[f].lastDependent; ++d)
            rows.push_back({d});
        const int first = FirstIndepOfSet(s, f);
        for (int i = first; i < first + IndepPerSet(s) && i <= s->nIndep; ++i)
            rows.push_back({-i});
    }
    return rows;
}

int FitSetOfIndep(FittingSession* s, int i)
{
    const int k = IndepPerSet(s);
    return k > 0 ? (i - 1) / k + 1 : 1;
}

std::string Line(FittingSession* s, Row row)
{
    if (row.variable > 0) {
        const int d = row.variable;
        char name[PARAM_NAME_CHARS + 8];
        DependentName(s, d, name, sizeof name);
        const DepVarInfo& v = s->dep[d];
        return std::string(name) + SetSuffix(s, FitSetOfDependent(s, d)) + FitterString(IDS_DATASETS_DEP) +
               ShownName(s, v.dataset) + RowText(v.first, v.end);
    }
    const int i = -row.variable;
    const IndepVarInfo& v = s->indep[i];
    std::string line = "---->" + std::string(v.name) + SetSuffix(s, FitSetOfIndep(s, i)) +
                       FitterString(IDS_DATASETS_INDEP) + (v.useAlt ? FitterString(IDS_DATASETS_X_OF) : "") +
                       ShownName(s, v.dataset);
    if (v.useXRange)
        return line + "\t(" + Number(v.xFrom) + "..." + Number(v.xTo) + ")";
    return line + RowText(v.first, v.end);
}

Row SelectedRow(HWND page, FittingSession* s)
{
    const int index = static_cast<int>(SendDlgItemMessageA(page, IDC_DATASETS_VARIABLES, LB_GETCURSEL, 0, 0));
    const std::vector<Row> rows = Rows(s);
    return index >= 0 && index < static_cast<int>(rows.size()) ? rows[index] : Row{0};
}

void FillVariables(HWND page, FittingSession* s, int selection)
{
    HWND list = GetDlgItem(page, IDC_DATASETS_VARIABLES);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (Row row : Rows(s))
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Line(s, row).c_str()));
    SendMessageA(list, LB_SETCURSEL, selection, 0);
}

QFitDataset SelectedDataset(HWND page, FittingSession* s)
{
    HWND list = GetDlgItem(page, IDC_DATASETS_AVAILABLE);
    const LRESULT index = SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (index < 0)
        return 0;
    char name[QFIT_HOST_TEXT_CAPACITY] = "";
    if (SendMessageA(list, LB_GETTEXTLEN, index, 0) >= static_cast<LRESULT>(sizeof name))
        return 0;
    SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(name));
    return CallHost(s, HOST_FIND_DATASET, reinterpret_cast<INT_PTR>(name), 0);
}

// The range of the selected row for the dataset selected in 702: the row's own range when
// that is its own dataset, else the dataset's full range. The edits 710/711 show it as rows,
// or as X values for an independent row by X; the other representation is kept in the range
// texts. Prepared before an assignment, the edits keep what the user typed.
void PrepareRange(HWND page, FittingSession* s, Row row, bool showInEdits)
{
    const QFitDataset dataset = SelectedDataset(page, s);
    const bool byX = row.variable < 0 && s->indep[-row.variable].useXRange;
    int first = 0, end = 0;
    double xFrom = MISSING_VALUE, xTo = MISSING_VALUE;
    QFitDataset own = row.variable > 0 ? s->dep[row.variable].dataset : s->indep[-row.variable].dataset;
    if (dataset) {
        // X bounds of a dependent variable are those of its dataset's X; an independent
        // variable's are its own values unless it takes the X of its dataset.
        const bool direct = row.variable < 0 && !s->indep[-row.variable].useAlt;
        QFitRowRanges rows = {};
        QFitXBounds bounds = {MISSING_VALUE, MISSING_VALUE};
        GetDatasetRange(s, dataset, &rows, &bounds, direct);
        first = rows.used.first, end = rows.used.end, xFrom = bounds.first, xTo = bounds.last;
    }
    if (dataset && dataset == own) {
        // The row's own range; X bounds not yet known stay those of the dataset.
        const bool dependent = row.variable > 0;
        const int ownFirst = dependent ? s->dep[row.variable].first : s->indep[-row.variable].first;
        const int ownEnd = dependent ? s->dep[row.variable].end : s->indep[-row.variable].end;
        const double ownFrom = dependent ? s->dep[row.variable].xBegin : s->indep[-row.variable].xFrom;
        const double ownTo = dependent ? s->dep[row.variable].xEnd : s->indep[-row.variable].xTo;
        if (ownFirst < ownEnd)
            first = ownFirst, end = ownEnd;
        if (!IsMissingValue(ownFrom) && !IsMissingValue(ownTo))
            xFrom = ownFrom, xTo = ownTo;
    }
    const std::string rowFrom = std::to_string(first + 1), rowTo = std::to_string(end);
    const std::string from = Number(xFrom), to = Number(xTo);
    if (showInEdits) {
        SetDlgItemTextA(page, IDC_DATASETS_FROM, (byX ? from : rowFrom).c_str());
        SetDlgItemTextA(page, IDC_DATASETS_TO, (byX ? to : rowTo).c_str());
    }
    snprintf(gRangeText[0], sizeof gRangeText[0], "%s", (byX ? rowFrom : from).c_str());
    snprintf(gRangeText[1], sizeof gRangeText[1], "%s", (byX ? rowTo : to).c_str());
}

void OnSelectRow(HWND page, FittingSession* s)
{
    const Row row = SelectedRow(page, s);
    if (!row.variable)
        return;
    const bool dependent = row.variable > 0;
    ShowWindow(GetDlgItem(page, IDC_DATASETS_BY_X), dependent ? SW_HIDE : SW_SHOW);
    for (int id : {IDC_DATASETS_ROW_LABEL, IDC_DATASETS_STEP, IDC_DATASETS_STEP_LABEL})
        ShowWindow(GetDlgItem(page, id), dependent ? SW_SHOW : SW_HIDE);
    EnableWindow(GetDlgItem(page, IDC_DATASETS_ASSIGN_X), !dependent);
    QFitDataset own;
    if (dependent) {
        SetDlgItemInt(page, IDC_DATASETS_STEP, s->dep[row.variable].step, FALSE);
        own = s->dep[row.variable].dataset;
    } else {
        const IndepVarInfo& v = s->indep[-row.variable];
        SetDlgItemTextA(page, IDC_DATASETS_BY_X, FitterString(v.useXRange ? IDS_DATASETS_BY_X : IDS_DATASETS_BY_ROW).c_str());
        SetDlgItemTextA(page, IDC_DATASETS_STEP, "");
        own = v.dataset;
    }
    std::string name = own && !IsDatasetInvalid(s, own) ? DatasetName(s, own) : "";
    for (char& c : name)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    HWND list = GetDlgItem(page, IDC_DATASETS_AVAILABLE);
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    if (!name.empty())
        SendMessageA(list, LB_SETCURSEL, SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                      reinterpret_cast<LPARAM>(name.c_str())), 0);
    PrepareRange(page, s, row, true);
}

double EvalText(FittingSession* s, const char* text, double fallback)
{
    double value;
    return EvalNumber(s, text, &value) == 0 ? value : fallback;
}

double EvalItem(HWND page, FittingSession* s, int id, double fallback)
{
    char text[QFIT_HOST_TEXT_CAPACITY] = "";
    GetDlgItemTextA(page, id, text, sizeof text);
    return EvalText(s, text, fallback);
}

}  // namespace

// An independent variable that takes the X of a dependent one: the dependent's X dataset,
// or the X of its own dataset when it has none, over the dependent's rows.
void LinkToDependent(FittingSession* s, int i, int d)
{
    IndepVarInfo& v = s->indep[i];
    const DepVarInfo& dep = s->dep[d];
    const QFitDataset x = dep.dataset ? CallHost(s, HOST_REQ_3422, dep.dataset, 0) : 0;
    v.dataset = x ? x : dep.dataset;
    v.useAlt = x ? 0 : 1;
    v.first = dep.first;
    v.end = dep.end;
    v.xFrom = dep.xBegin;
    v.xTo = dep.xEnd;
}

// Which independent variable of each dependent one carries its X: the first whose dataset
// is the dependent's X dataset, or that takes the X of the dependent's own dataset; else
// the first.
void MatchIndependentDatasets(FittingSession* s)
{
    for (int d = 1; d <= s->nDep; ++d) {
        DepVarInfo& dep = s->dep[d];
        dep.xVariable = 1;
        if (!dep.dataset)
            continue;
        const QFitDataset x = CallHost(s, HOST_GET_X_DATASET, dep.dataset, 0);
        const int first = FirstIndepOfSet(s, FitSetOfDependent(s, d));
        for (int k = 1; k <= IndepPerSet(s) && first + k - 1 <= s->nIndep; ++k) {
            const IndepVarInfo& v = s->indep[first + k - 1];
            if ((x && v.dataset == x && !v.useAlt) || (v.useAlt && v.dataset == dep.dataset)) {
                dep.xVariable = k;
                break;
            }
        }
    }
}

// Each dependent dataset (all for -1) takes as its X the dataset of its X-providing
// variable (or, when that variable takes the X of a dataset, that dataset's X), so that
// the host plots the data as the fit sees them.
void LinkXDataset(FittingSession* s, int d)
{
    for (int k = d < 0 ? 1 : d; k <= (d < 0 ? s->nDep : d); ++k) {
        const DepVarInfo& dep = s->dep[k];
        const int i = FirstIndepOfSet(s, FitSetOfDependent(s, k)) + dep.xVariable - 1;
        if (!dep.dataset || i > s->nIndep || !s->indep[i].dataset || IsDatasetInvalid(s, s->indep[i].dataset) ||
            IsDatasetInvalid(s, dep.dataset))
            continue;
        const IndepVarInfo& v = s->indep[i];
        const QFitDataset x = v.useAlt ? CallHost(s, HOST_GET_X_DATASET, v.dataset, 0) : v.dataset;
        if (x && x != dep.dataset)
            CallHost(s, HOST_SET_X_DATASET, dep.dataset, x);
    }
}

namespace {

void Assign(HWND page, FittingSession* s, bool xOf)
{
    const Row row = SelectedRow(page, s);
    if (!row.variable)
        return;
    PrepareRange(page, s, row, false);
    const QFitDataset dataset = SelectedDataset(page, s);
    const double from = EvalItem(page, s, IDC_DATASETS_FROM, 1), to = EvalItem(page, s, IDC_DATASETS_TO, 0);
    if (row.variable > 0) {
        DepVarInfo& v = s->dep[row.variable];
        v.dataset = dataset;
        v.first = static_cast<int>(from) - 1;
        v.end = static_cast<int>(to);
        v.xBegin = EvalText(s, gRangeText[0], MISSING_VALUE);
        v.xEnd = EvalText(s, gRangeText[1], MISSING_VALUE);
        // Typed rows outside the dataset, or none between first and last, give way to
        // the dataset's range.
        if (dataset)
            ValidateDataRange(s, dataset, &v.first, &v.end, &v.xBegin, &v.xEnd, true);
        const int step = static_cast<int>(EvalItem(page, s, IDC_DATASETS_STEP, 1));
        v.step = step >= 1 ? step : 1;
        const int f = FitSetOfDependent(s, row.variable);
        // The runs thin the rows by their fit set's step.
        s->fitSets[f].step = v.step;
        const int first = FirstIndepOfSet(s, f);
        for (int i = first; i < first + IndepPerSet(s) && i <= s->nIndep; ++i)
            if (!s->indep[i].dataset || IsDatasetInvalid(s, s->indep[i].dataset)) {
                LinkToDependent(s, i, row.variable);
                break;
            }
    } else {
        IndepVarInfo& v = s->indep[-row.variable];
        v.dataset = dataset;
        v.useAlt = xOf ? 1 : 0;
        if (v.useXRange) {
            v.xFrom = from, v.xTo = to;
            v.first = static_cast<int>(EvalText(s, gRangeText[0], 1)) - 1;
            v.end = static_cast<int>(EvalText(s, gRangeText[1], 0));
        } else {
            v.first = static_cast<int>(from) - 1, v.end = static_cast<int>(to);
            v.xFrom = EvalText(s, gRangeText[0], MISSING_VALUE);
            v.xTo = EvalText(s, gRangeText[1], MISSING_VALUE);
        }
        if (dataset && !v.useXRange)
            ValidateDataRange(s, dataset, &v.first, &v.end, &v.xFrom, &v.xTo, false);
    }
    UpdateFitSetRanges(s);
    MatchIndependentDatasets(s);
    LinkXDataset(s, -1);
    const int selection = static_cast<int>(SendDlgItemMessageA(page, IDC_DATASETS_VARIABLES, LB_GETCURSEL, 0, 0));
    FillVariables(page, s, selection);
    OnSelectRow(page, s);
}

void ToggleByX(HWND page, FittingSession* s)
{
    const Row row = SelectedRow(page, s);
    if (row.variable >= 0)
        return;
    IndepVarInfo& v = s->indep[-row.variable];
    v.useXRange = !v.useXRange;
    SetDlgItemTextA(page, IDC_DATASETS_BY_X, FitterString(v.useXRange ? IDS_DATASETS_BY_X : IDS_DATASETS_BY_ROW).c_str());
    char from[sizeof gRangeText[0]], to[sizeof gRangeText[1]];
    GetDlgItemTextA(page, IDC_DATASETS_FROM, from, sizeof from);
    GetDlgItemTextA(page, IDC_DATASETS_TO, to, sizeof to);
    SetDlgItemTextA(page, IDC_DATASETS_FROM, gRangeText[0]);
    SetDlgItemTextA(page, IDC_DATASETS_TO, gRangeText[1]);
    memcpy(gRangeText[0], from, sizeof from);
    memcpy(gRangeText[1], to, sizeof to);
}

// Several fit sets are for functions of one dependent variable; the set buttons follow the
// check box.
// One line per parameter slot of a fit set: its name, and "Shared" when all sets share it.
void FillSharing(HWND page, FittingSession* s)
{
    HWND list = GetDlgItem(page, IDC_DATASETS_SHARING);
    if (!list)
        return;
    const int selected = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    char shared[32] = "";
    LoadStringA(FitterInstance, IDS_DATASETS_SHARED, shared, sizeof shared);
    for (int j = 1; j <= ParamsPerSet(s) && s->names; ++j) {
        const std::string line = std::string(s->names[j]) + (s->sharedBySets[j] ? std::string("\t") + shared : "");
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }
    if (selected >= 0)
        SendMessageA(list, LB_SETCURSEL, selected, 0);
}

void FollowMultiple(HWND page, FittingSession* s)
{
    const bool single = s->current && s->current->nDependent == 1;
    EnableWindow(GetDlgItem(page, IDC_DATASETS_MULTIPLE), single);
    const bool on = single && IsDlgButtonChecked(page, IDC_DATASETS_MULTIPLE) == BST_CHECKED;
    for (int id : {IDC_DATASETS_ADD, IDC_DATASETS_REMOVE, IDC_DATASETS_SHARING, IDC_DATASETS_SHARING_LABEL})
        EnableWindow(GetDlgItem(page, id), on);
    FillSharing(page, s);
}

// A double click shares the parameter among the fit sets, or gives each set its own again.
void ToggleSharing(HWND page, FittingSession* s)
{
    const int j = static_cast<int>(SendDlgItemMessageA(page, IDC_DATASETS_SHARING, LB_GETCURSEL, 0, 0)) + 1;
    if (j < 1 || ShareAcrossFitSets(s, j, !s->sharedBySets[j]) != 0) {
        MessageBeep(MB_ICONEXCLAMATION);
        return;
    }
    FillSharing(page, s);
}

// The list row of fit set f's first dependent variable.
int FirstRowOfSet(FittingSession* s, int f)
{
    const std::vector<Row> rows = Rows(s);
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i].variable == s->fitSets[f].firstDependent)
            return static_cast<int>(i);
    return 0;
}

// Lays the session out for n fit sets and shows the list, with the last set's first row
// selected when it was added; false (with a beep) when the session cannot take them.
bool ChangeFitSets(HWND page, FittingSession* s, int n)
{
    const int previous = s->nFitSets;
    if (!s->current || n < 1 || n > MAX_FIT_SETS || n * ParamSlotCount(s->current) > MAX_PARAMS ||
        SetFitSetCount(s, n) != 0) {
        MessageBeep(MB_ICONEXCLAMATION);
        return false;
    }
    for (int f = previous + 1; f <= n; ++f)
        s->fitSets[f].step = s->fitSets[f - 1].step;
    UpdateFitSetRanges(s);
    FillVariables(page, s, n > previous ? FirstRowOfSet(s, n) : 0);
    OnSelectRow(page, s);
    FillSharing(page, s);
    return true;
}

void OnInitDialog(HWND page, FittingSession* s)
{
    FillDatasetList(page, IDC_DATASETS_AVAILABLE, s);
    FillVariables(page, s, 0);
    CheckDlgButton(page, IDC_DATASETS_MULTIPLE, s->nFitSets > 1 ? BST_CHECKED : BST_UNCHECKED);
    FollowMultiple(page, s);
    OnSelectRow(page, s);
    SetFocus(GetDlgItem(page, IDC_DATASETS_VARIABLES));
}

void OnCommand(HWND page, FittingSession* s, WPARAM wParam)
{
    const int id = LOWORD(wParam), code = HIWORD(wParam);
    HWND main = s->fitterWindow;
    switch (id) {
    case IDC_DATASETS_VARIABLES:
        if (code == LBN_SELCHANGE)
            OnSelectRow(page, s);
        return;
    case IDC_DATASETS_AVAILABLE:
        if (code == LBN_SELCHANGE && SelectedRow(page, s).variable)
            PrepareRange(page, s, SelectedRow(page, s), true);
        else if (code == LBN_DBLCLK)
            Assign(page, s, false);
        return;
    case IDC_DATASETS_ASSIGN:
        Assign(page, s, false);
        return;
    case IDC_DATASETS_ASSIGN_X:
        Assign(page, s, true);
        return;
    case IDC_DATASETS_BY_X:
        ToggleByX(page, s);
        return;
    case IDC_DATASETS_MULTIPLE:
        FollowMultiple(page, s);
        if (IsDlgButtonChecked(page, IDC_DATASETS_MULTIPLE) != BST_CHECKED && s->nFitSets > 1)
            ChangeFitSets(page, s, 1);
        return;
    case IDC_DATASETS_ADD:
        ChangeFitSets(page, s, s->nFitSets + 1);
        return;
    case IDC_DATASETS_REMOVE:
        if (s->nFitSets <= 1)
            MessageBeep(MB_ICONEXCLAMATION);
        else
            ChangeFitSets(page, s, s->nFitSets - 1);
        return;
    case IDC_DATASETS_SHARING:
        if (code == LBN_DBLCLK)
            ToggleSharing(page, s);
        return;
    case IDC_BASIC_FIT:
        PostMessageA(main, WM_COMMAND, PAGE_ID_SESSION, 0);
        return;
    case IDC_SESSION_SELECT:
        PostMessageA(main, WM_COMMAND, PAGE_ID_SELECT, 0);
        return;
    case CMD_PAGE_BASIC_MODE:
        s->rebuildPage = 1;
        PostMessageA(main, WM_COMMAND, CMD_PAGE_BASIC_MODE, 0);
        return;
    case IDC_BASIC_CLOSE:
        CloseFitterWindow(s);
        return;
    }
}

}  // namespace

INT_PTR CALLBACK VariableDataset(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    static const PageHandlers handlers = {OnInitDialog, OnCommand, 0};
    return RunPageProcedure(page, message, wParam, lParam, handlers);
}

int LeaveDatasetsPage(HWND, FittingSession*)
{
    return 0;
}
