// The simulate page: a curve of the current function with the parameter values shown, at
// the X of the fitting data or at points spread uniformly between the typed limits.
#include "SimulatePage.h"

#include <math.h>
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

const int kVisibleVariables = 3;
const int kNameChars = 21;      // the curve name the page takes
const int kMaxPoints = 1000000; // a simulated curve larger than this is a typing slip

// How each dependent variable's curve is spaced and how many points each variable gets.
// The state belongs to the page and is laid out again whenever the function changes.
struct SimVariable {
    double begin = 0, end = 10;
    int points = 60;
};
struct SimDependent {
    int spacing = KW_SPACING_UNIFORM_AXIS;
    int points = 60;
    bool perVariable = false;  // a grid over every variable's own point count
};
struct SimState {
    const FunctionDef* function = nullptr;
    int nDep = 0, nIndep = 0;
    std::vector<SimDependent> dep;  // 1-based
    std::vector<SimVariable> var;   // 1-based, all fit sets
    int firstRow = 1;               // first variable shown in the table
};
SimState g;

bool Usable(double v) { return isfinite(v) && !IsMissingValue(v) && fabs(v) > 1e-290; }

void LayOut(FittingSession* s)
{
    if (g.function == s->current && g.nDep == s->nDep && g.nIndep == s->nIndep)
        return;
    g.function = s->current;
    g.nDep = s->nDep;
    g.nIndep = s->nIndep;
    const int spacing = s->current ? OptionValue(s->current, OPT_SPACING) : KW_SPACING_UNIFORM_AXIS;
    const int points = s->xPoints >= 2 ? s->xPoints : 60;
    g.dep.assign(static_cast<size_t>(g.nDep) + 1, SimDependent());
    for (SimDependent& d : g.dep) {
        d.spacing = spacing == KW_SPACING_SAME_X ? KW_SPACING_SAME_X : KW_SPACING_UNIFORM_AXIS;
        d.points = points;
    }
    g.var.assign(static_cast<size_t>(g.nIndep) + 1, SimVariable());
    for (int i = 1; i <= g.nIndep; ++i) {
        const IndepVarInfo& v = s->indep[i];
        SimVariable& sv = g.var[i];
        sv.points = points;
        if (Usable(v.xFrom) && Usable(v.xTo) && v.xFrom < v.xTo) {
            sv.begin = v.xFrom;
            sv.end = v.xTo;
        } else if (Usable(s->xBegin) && Usable(s->xEnd) && s->xBegin < s->xEnd) {
            sv.begin = s->xBegin;
            sv.end = s->xEnd;
        }
    }
    g.firstRow = 1;
}

int SelectedDependent(HWND page, FittingSession* s)
{
    const LRESULT index = SendDlgItemMessageA(page, IDC_DEPENDENT_LIST, LB_GETCURSEL, 0, 0);
    return index >= 0 && index < s->nDep ? static_cast<int>(index) + 1 : 0;
}

int FirstVariableOf(FittingSession* s, int d) { return FirstIndepOfSet(s, FitSetOfDependent(s, d)); }

std::string Formatted(double value)
{
    char text[UTIL_NUMBER_TEXT_SIZE];
    FormatValue(value, 0, text);
    return text;
}

std::string DialogText(HWND page, int id)
{
    char text[64] = "";
    GetDlgItemTextA(page, id, text, sizeof text);
    return text;
}

void FillVariableRows(HWND page, FittingSession* s)
{
    const int d = SelectedDependent(page, s);
    if (!d)
        return;
    const SimDependent& dep = g.dep[d];
    const int first = FirstVariableOf(s, d), count = IndepPerSet(s);
    const bool uniform = dep.spacing == KW_SPACING_UNIFORM_AXIS;
    for (int r = 1; r <= kVisibleVariables; ++r) {
        const int k = g.firstRow + r - 1;
        const bool shown = k <= count;
        for (int base : {IDC_VAR_NAME, IDC_VAR_BEGIN, IDC_VAR_END, IDC_VAR_LE1, IDC_VAR_LE2})
            ShowWindow(GetDlgItem(page, base + r), shown ? SW_SHOW : SW_HIDE);
        const bool pointsShown = shown && (r == 1 || dep.perVariable);
        ShowWindow(GetDlgItem(page, IDC_VAR_POINTS + r), pointsShown ? SW_SHOW : SW_HIDE);
        if (!shown)
            continue;
        const SimVariable& v = g.var[first + k - 1];
        SetDlgItemTextA(page, IDC_VAR_NAME + r, s->indep[first + k - 1].name);
        SetDlgItemTextA(page, IDC_VAR_BEGIN + r, Formatted(v.begin).c_str());
        SetDlgItemTextA(page, IDC_VAR_END + r, Formatted(v.end).c_str());
        if (dep.perVariable)
            SetDlgItemTextA(page, IDC_VAR_POINTS + r, std::to_string(v.points).c_str());
        else if (r == 1)
            SetDlgItemTextA(page, IDC_DEP_POINTS, std::to_string(dep.points).c_str());
        for (int base : {IDC_VAR_BEGIN, IDC_VAR_END, IDC_VAR_POINTS})
            EnableWindow(GetDlgItem(page, base + r), uniform);
    }
}

// Limits and counts the host cannot evaluate, and counts outside 2 .. kMaxPoints, keep the
// values they had.
void ReadVariableRows(HWND page, FittingSession* s)
{
    const int d = SelectedDependent(page, s);
    if (!d)
        return;
    SimDependent& dep = g.dep[d];
    const int first = FirstVariableOf(s, d), count = IndepPerSet(s);
    auto readPoints = [&](int id, int* points) {
        double value;
        if (EvalNumber(s, DialogText(page, id).c_str(), &value) == 0 && value >= 2 && value <= kMaxPoints)
            *points = static_cast<int>(value);
    };
    for (int r = 1; r <= kVisibleVariables; ++r) {
        const int k = g.firstRow + r - 1;
        if (k > count)
            break;
        SimVariable& v = g.var[first + k - 1];
        double value;
        if (EvalNumber(s, DialogText(page, IDC_VAR_BEGIN + r).c_str(), &value) == 0 && Usable(value))
            v.begin = value;
        if (EvalNumber(s, DialogText(page, IDC_VAR_END + r).c_str(), &value) == 0 && Usable(value))
            v.end = value;
        if (dep.perVariable)
            readPoints(IDC_VAR_POINTS + r, &v.points);
    }
    if (!dep.perVariable) {
        readPoints(IDC_DEP_POINTS, &dep.points);
        if (count == 1)
            g.var[first].points = dep.points;
    } else if (count == 1) {
        dep.points = g.var[first].points;
    }
}

void ShowDependent(HWND page, FittingSession* s)
{
    const int d = SelectedDependent(page, s);
    if (!d)
        return;
    const SimDependent& dep = g.dep[d];
    const int count = IndepPerSet(s);
    EnableWindow(GetDlgItem(page, IDC_SIM_MATRIX), count >= 2);
    CheckDlgButton(page, IDC_SIM_MATRIX, dep.perVariable ? BST_CHECKED : BST_UNCHECKED);
    CheckRadioButton(page, IDC_AFTER_UNIFORM, IDC_AFTER_SAME_X,
                     dep.spacing == KW_SPACING_SAME_X ? IDC_AFTER_SAME_X : IDC_AFTER_UNIFORM);
    g.firstRow = 1;
    HWND bar = GetDlgItem(page, IDC_VAR_SCROLL);
    if (count > kVisibleVariables) {
        SetScrollRange(bar, SB_CTL, 0, count - kVisibleVariables, FALSE);
        SetScrollPos(bar, SB_CTL, 0, TRUE);
        ShowWindow(bar, SW_SHOW);
    } else {
        ShowWindow(bar, SW_HIDE);
    }
    FillVariableRows(page, s);
}

void ScrollVariables(HWND page, FittingSession* s, WPARAM wParam)
{
    const int count = IndepPerSet(s);
    const int last = count > kVisibleVariables ? count - kVisibleVariables + 1 : 1;
    ReadVariableRows(page, s);
    int first = g.firstRow;
    switch (LOWORD(wParam)) {
    case SB_LINEUP:
    case SB_PAGEUP:
        --first;
        break;
    case SB_LINEDOWN:
    case SB_PAGEDOWN:
        ++first;
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        first = HIWORD(wParam) + 1;
        break;
    case SB_TOP:
        first = 1;
        break;
    case SB_BOTTOM:
        first = last;
        break;
    default:
        return;
    }
    g.firstRow = first < 1 ? 1 : first > last ? last : first;
    SetScrollPos(GetDlgItem(page, IDC_VAR_SCROLL), SB_CTL, g.firstRow - 1, TRUE);
    FillVariableRows(page, s);
}

void SetDefaultName(HWND page, FittingSession* s)
{
    char name[64];
    DefaultSimulationName(s, name, sizeof name);
    SetDlgItemTextA(page, IDC_SIM_NAME, name);
}

void FillDependentList(HWND page, FittingSession* s)
{
    HWND list = GetDlgItem(page, IDC_DEPENDENT_LIST);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (int d = 1; d <= s->nDep; ++d) {
        char name[PARAM_NAME_CHARS + 8];
        DependentName(s, d, name, sizeof name);
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
    SendMessageA(list, LB_SETCURSEL, 0, 0);
}

void RefillParamRows(HWND page, FittingSession* s)
{
    FreeParamTexts(s);
    PrepareParamTexts(page, s, IDD_PAGE_SIMULATE);
    FillParamRows(page, s, IDD_PAGE_SIMULATE);
}

void OnInitDialog(HWND page, FittingSession* s)
{
    LayOut(s);
    s->valuesEdited = 0;
    SendDlgItemMessageA(page, IDC_SIM_NAME, EM_LIMITTEXT, kNameChars, 0);
    SetDefaultName(page, s);
    FillDependentList(page, s);
    for (int r = 1; r <= kVisibleVariables; ++r)
        for (int base : {IDC_VAR_BEGIN, IDC_VAR_END, IDC_VAR_POINTS})
            SendDlgItemMessageA(page, base + r, EM_LIMITTEXT, PARAM_TEXT_CHARS - 1, 0);
    ShowDependent(page, s);
    SetupParamPanel(page, s, IDC_PARAM_SCROLL, IDD_PAGE_SIMULATE);
    RefillParamRows(page, s);
    if (!s->history)
        InitParamHistory(s);
    EnableHistoryButtons(s, page);
    SetFocus(GetDlgItem(page, IDC_SIM_NAME));
}

void CreateCurve(HWND page, FittingSession* s)
{
    RefreshParamPanel(s, page, IDD_PAGE_SIMULATE);
    ReadVariableRows(page, s);
    const int d = SelectedDependent(page, s);
    if (!d)
        return;
    if (FitWindowType(s) == 3 || GetActiveWindowType(s) != 3)
        ActivateFitPlot(s);
    char name[kNameChars + 5] = "";
    GetDlgItemTextA(page, IDC_SIM_NAME, name, sizeof name);
    if (MakeSimulatedCurve(s, d, name) == 0) {
        SetDefaultName(page, s);
        CallHost(s, HOST_RUN_SCRIPT, reinterpret_cast<INT_PTR>("rescale"), 0);
    }
}

void OnCommand(HWND page, FittingSession* s, WPARAM wParam)
{
    const int id = LOWORD(wParam), code = HIWORD(wParam);
    const int d = SelectedDependent(page, s);
    switch (id) {
    case IDC_SIM_CREATE:
        CreateCurve(page, s);
        return;
    case IDC_AFTER_UNIFORM:
    case IDC_AFTER_SAME_X:
        if (code == BN_CLICKED && d) {
            ReadVariableRows(page, s);
            g.dep[d].spacing = id == IDC_AFTER_UNIFORM ? KW_SPACING_UNIFORM_AXIS : KW_SPACING_SAME_X;
            FillVariableRows(page, s);
        }
        return;
    case IDC_SIM_MATRIX:
        if (code == BN_CLICKED && d) {
            ReadVariableRows(page, s);
            g.dep[d].perVariable = !g.dep[d].perVariable;
            FillVariableRows(page, s);
        }
        return;
    case IDC_DEPENDENT_LIST:
        if (code == LBN_SELCHANGE) {
            ShowDependent(page, s);
            SetDefaultName(page, s);
        }
        return;
    case IDC_HISTORY_BACK:
    case IDC_HISTORY_FORWARD:
        if ((id == IDC_HISTORY_BACK ? ParamHistoryBack(s) : ParamHistoryForward(s)) >= 0) {
            EnableHistoryButtons(s, page);
            s->valuesEdited = 0;
            RefillParamRows(page, s);
        }
        return;
    }
}

void WriteValue(FittingSession* s, QFitDataset dataset, int row, double value)
{
    QFitValueRecord r = {row, 0, value};
    CallHost(s, HOST_SET_VALUE, dataset, reinterpret_cast<INT_PTR>(&r));
}

// A result column of rows 0 .. count - 1 (or first .. count - 1), found again when it is
// there already; 0 when the host cannot make it.
QFitDataset ResultColumn(FittingSession* s, const std::string& name, const std::string& label, int first, int count)
{
    const QFitDataset dataset = CallHost(s, HOST_REQ_3009, reinterpret_cast<INT_PTR>(name.c_str()), count);
    if (!dataset)
        return 0;
    QFitRowRange range = {first, count};
    if (CallHost(s, HOST_SET_RANGE, dataset, reinterpret_cast<INT_PTR>(&range)) != 0)
        return 0;
    CallHost(s, HOST_SET_DATASET_LABEL, dataset, reinterpret_cast<INT_PTR>(label.c_str()));
    return dataset;
}

bool Stopped(FittingSession* s)
{
    if (!CallHost(s, HOST_POLL_ABORT, 0, 0, s->hostWindow))
        return false;
    s->status = FIT_ERR_STOPPED;
    return true;
}

}  // namespace

void DefaultSimulationName(FittingSession* s, char* out, size_t capacity)
{
    char base[14] = "";
    snprintf(base, sizeof base, "%s", s->current ? s->current->name : "");
    // Letters B to Y first; when all of them name datasets already, a digit follows the
    // letter, so that a simulation never writes over a curve the user has.
    for (int round = 0; round < 10; ++round)
        for (char letter = 'B'; letter <= 'Y'; ++letter) {
            if (round == 0)
                snprintf(out, capacity, "%s_%c", base, letter);
            else
                snprintf(out, capacity, "%s_%c%d", base, letter, round);
            if (!CallHost(s, HOST_FIND_DATASET, reinterpret_cast<INT_PTR>(out), 0))
                return;
        }
}

int MakeSimulatedCurve(FittingSession* s, int d, const char* curveName)
{
    if (d < 1 || d > s->nDep || !s->current || !s->fitActive)
        return 1;
    LayOut(s);
    // "Sheet_Col" names the worksheet and the column; without "_" the worksheet is SIMULATE.
    std::string name = curveName ? curveName : "";
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    if (name.empty())
        return 1;
    std::string sheet = "SIMULATE", column = name;
    if (const char* separator = UtilFindSeparator(name.c_str(), '_', UTIL_SEP_PLAIN)) {
        const size_t at = static_cast<size_t>(separator - name.c_str());
        if (at > 0)
            sheet = name.substr(0, at);
        column = name.substr(at + 1);
        if (column.empty())
            column = FitterString(IDS_SIM_COLUMN_Y);
    }
    const std::string yName = sheet + "_" + column;
    char label[FDF_TEXT_CHARS + 32];
    snprintf(label, sizeof label, FitterString(IDS_SIM_LABEL).c_str(), s->current->name);
    const int fitSet = FitSetOfDependent(s, d);
    const int first = FirstVariableOf(s, d), count = IndepPerSet(s);
    DepVarInfo& dep = s->dep[d];
    const SimDependent& how = g.dep[d];

    if (how.spacing == KW_SPACING_SAME_X) {
        if (!dep.dataset || dep.first >= dep.end)
            return 1;
        const QFitDataset y = ResultColumn(s, yName, label, dep.first, dep.end);
        if (!y)
            return 1;
        for (int row = dep.first; row < dep.end; ++row) {
            if (Stopped(s))
                return FIT_ERR_STOPPED;
            if (ReadFitSetRow(s, fitSet, row) >= 2)
                continue;
            const bool failed = EvaluateModel(s, FITMODE_VALUE, fitSet) != 0;
            WriteValue(s, y, row, failed ? MISSING_VALUE : dep.fitted);
        }
        CallHost(s, HOST_SET_X_DATASET, y, dep.dataset);
        QFitPlotRecord record = {{1, 0, 4000, 0, 250, 0, 0, 1}};
        CallHost(s, HOST_DATASET_UPDATE, y, reinterpret_cast<INT_PTR>(&record));
        return 0;
    }

    // Uniform points: every variable runs from its begin to its end; on a grid each over
    // its own count, else all together over the dependent variable's count.
    long long total = 1;
    if (how.perVariable && count > 1) {
        for (int k = 0; k < count; ++k) {
            if (g.var[first + k].points < 2)
                return 1;
            total *= g.var[first + k].points;
        }
    } else {
        total = count == 1 ? g.var[first].points : how.points;
    }
    if (total < 2 || total > kMaxPoints)
        return 1;
    const int n = static_cast<int>(total);
    const std::string xColumn = FitterString(IDS_SIM_COLUMN_X);
    std::vector<QFitDataset> xs(static_cast<size_t>(count));
    for (int k = 0; k < count; ++k) {
        std::string xName = sheet + "_" + xColumn + (k ? std::to_string(k + 1) : "");
        if (_stricmp(xName.c_str(), yName.c_str()) == 0)
            xName += "X";
        xs[k] = ResultColumn(s, xName, FitterString(IDS_SIM_X_LABEL), 0, n);
        if (!xs[k])
            return 1;
    }
    const QFitDataset y = ResultColumn(s, yName, label, 0, n);
    if (!y)
        return 1;
    for (int i = 0; i < n; ++i) {
        if (Stopped(s))
            return FIT_ERR_STOPPED;
        int rest = i;
        for (int k = 0; k < count; ++k) {
            const SimVariable& v = g.var[first + k];
            int index = i, steps = n;
            if (how.perVariable && count > 1) {
                steps = v.points;
                index = rest % steps;
                rest /= steps;
            }
            const double x = steps > 1 ? v.begin + (v.end - v.begin) * index / (steps - 1) : v.begin;
            s->indep[first + k].value = x;
            WriteValue(s, xs[k], i, x);
        }
        s->currentRow = i;
        const bool failed = EvaluateModel(s, FITMODE_VALUE, fitSet) != 0;
        WriteValue(s, y, i, failed ? MISSING_VALUE : dep.fitted);
    }
    CallHost(s, HOST_SET_X_DATASET, y, xs[0]);
    QFitPlotRecord record = {{1, 0, 4000, 0, 250, 0, 0, 1}};
    CallHost(s, HOST_DATASET_UPDATE, y, reinterpret_cast<INT_PTR>(&record));
    return 0;
}

INT_PTR CALLBACK Simulate(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    static const PageHandlers handlers = {OnInitDialog, OnCommand, IDD_PAGE_SIMULATE};
    if (message == WM_VSCROLL && GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == IDC_VAR_SCROLL) {
        if (FittingSession* s = WindowSession())
            ScrollVariables(page, s, wParam);
        return TRUE;
    }
    return RunPageProcedure(page, message, wParam, lParam, handlers);
}

bool PrepareSimulatePage(FittingSession* s, int, int* templateId)
{
    *templateId = IDD_PAGE_SIMULATE;
    return BeginFit(s, 0) == 0;
}

int LeaveSimulatePage(HWND page, FittingSession* s)
{
    ReadParamRows(page, s, IDD_PAGE_SIMULATE);
    CommitParamValues(page, s);
    ReadVariableRows(page, s);
    FreeParamTexts(s);
    FreeParamHistory(s);
    return 0;
}
