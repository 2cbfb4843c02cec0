#include "ControlPage.h"

#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "FitterResources.h"
#include "FitterWindow.h"
#include "ParamPanel.h"
#include "qxutil.h"

#include "../engine/FitSession.h"

namespace {

const int kIterationChoices[] = {2, 5, 10, 20, 30, 50, 100, 200};
const int kStepControls[] = {IDC_CONTROL_MIN_STEP, IDC_CONTROL_MAX_STEP, IDC_CONTROL_MIN_LABEL,
                             IDC_CONTROL_MAX_LABEL};

enum : int { WEIGHT_NONE, WEIGHT_INSTRUMENTAL, WEIGHT_STATISTICAL, WEIGHT_DATASET, WEIGHT_DIRECT };

std::string WeightLine(FittingSession* s, int d)
{
    char name[PARAM_NAME_CHARS + 8];
    DependentName(s, d, name, sizeof name);
    const DepVarInfo& v = s->dep[d];
    std::string line = std::string(name) + "\t";
    if (v.weightType == WEIGHT_DATASET) {
        std::string dataset = DatasetName(s, v.weightDataset);
        for (char& c : dataset)
            c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
        return line + "w = 1/(" + dataset + ")^2";
    }
    if (v.weightType == WEIGHT_DIRECT)
        return line + "w = (" + DatasetName(s, v.weightDataset) + ")";
    return line + FitterString(IDS_WEIGHT_FIRST + v.weightType);
}

int SelectedDependent(HWND page)
{
    return static_cast<int>(SendDlgItemMessageA(page, IDC_CONTROL_DEPENDENTS, LB_GETCURSEL, 0, 0)) + 1;
}

void RebuildLine(HWND page, FittingSession* s, int d)
{
    HWND list = GetDlgItem(page, IDC_CONTROL_DEPENDENTS);
    SendMessageA(list, LB_DELETESTRING, d - 1, 0);
    SendMessageA(list, LB_INSERTSTRING, d - 1, reinterpret_cast<LPARAM>(WeightLine(s, d).c_str()));
    SendMessageA(list, LB_SETCURSEL, d - 1, 0);
}

// Error scaling is the user's to choose only while some variable is weighted; unweighted
// errors always scale.
void ApplyScaleRule(HWND page, FittingSession* s)
{
    bool weighted = false;
    for (int d = 1; d <= s->nDep; ++d)
        weighted = weighted || s->dep[d].weightType != WEIGHT_NONE;
    CheckDlgButton(page, IDC_CONTROL_SCALE_ERRORS, !weighted || ErrorsWithChiSq ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(GetDlgItem(page, IDC_CONTROL_SCALE_ERRORS), weighted);
}

void ShowWeighting(HWND page, FittingSession* s)
{
    const int d = SelectedDependent(page);
    if (d < 1 || d > s->nDep)
        return;
    const DepVarInfo& v = s->dep[d];
    SendDlgItemMessageA(page, IDC_CONTROL_METHOD, CB_SETCURSEL, v.weightType, 0);
    const bool dataset = v.weightType == WEIGHT_DATASET || v.weightType == WEIGHT_DIRECT;
    HWND list = GetDlgItem(page, IDC_CONTROL_DATASETS);
    EnableWindow(list, dataset);
    EnableWindow(GetDlgItem(page, IDC_CONTROL_DATASETS_LABEL), dataset);
    int selection = -1;
    const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; dataset && i < count; ++i)
        if (static_cast<QFitDataset>(SendMessageA(list, LB_GETITEMDATA, i, 0)) == v.weightDataset)
            selection = i;
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(selection), 0);
}

void FollowFixedStep(HWND page, FittingSession* s)
{
    for (int id : kStepControls)
        EnableWindow(GetDlgItem(page, id), !s->fixedDerivStep);
}

void OnInitDialog(HWND page, FittingSession* s)
{
    SetEditNumber(page, IDC_CONTROL_TOLERANCE, s->tolerance);
    const bool analytic = s->current && s->current->derivativeFlag;
    for (int id : {IDC_CONTROL_STEP_GROUP, IDC_CONTROL_MIN_STEP, IDC_CONTROL_MAX_STEP, IDC_CONTROL_STEP,
                   IDC_CONTROL_MIN_LABEL, IDC_CONTROL_MAX_LABEL, IDC_CONTROL_STEP_LABEL, IDC_CONTROL_FIXED_STEP})
        EnableWindow(GetDlgItem(page, id), !analytic);
    if (!analytic) {
        SetEditNumber(page, IDC_CONTROL_MIN_STEP, s->minDerivStep);
        SetEditNumber(page, IDC_CONTROL_MAX_STEP, s->maxDerivStep);
        SetEditNumber(page, IDC_CONTROL_STEP, s->derivStep);
        CheckDlgButton(page, IDC_CONTROL_FIXED_STEP, s->fixedDerivStep ? BST_CHECKED : BST_UNCHECKED);
        FollowFixedStep(page, s);
    }
    FillDatasetList(page, IDC_CONTROL_DATASETS, s);

    // A count set elsewhere (by a script) that is not among the choices is offered too, so
    // that visiting the page never changes it.
    HWND iterations = GetDlgItem(page, IDC_CONTROL_ITERATIONS);
    std::vector<int> choices(std::begin(kIterationChoices), std::end(kIterationChoices));
    bool listed = false;
    for (int n : choices)
        listed = listed || n == s->iterationCount;
    if (!listed && s->iterationCount > 0) {
        auto at = choices.begin();
        while (at != choices.end() && *at < s->iterationCount)
            ++at;
        choices.insert(at, s->iterationCount);
    }
    int selection = 0;
    for (size_t i = 0; i < choices.size(); ++i) {
        SendMessageA(iterations, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_string(choices[i]).c_str()));
        if (choices[i] == s->iterationCount)
            selection = static_cast<int>(i);
    }
    SendMessageA(iterations, CB_SETCURSEL, selection, 0);

    for (int m = WEIGHT_NONE; m <= WEIGHT_DIRECT; ++m)
        SendDlgItemMessageA(page, IDC_CONTROL_METHOD, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(FitterString(IDS_WEIGHT_FIRST + m).c_str()));
    const int tabStop = 40;
    SendDlgItemMessageA(page, IDC_CONTROL_DEPENDENTS, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&tabStop));
    for (int d = 1; d <= s->nDep; ++d)
        SendDlgItemMessageA(page, IDC_CONTROL_DEPENDENTS, LB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(WeightLine(s, d).c_str()));
    SendDlgItemMessageA(page, IDC_CONTROL_DEPENDENTS, LB_SETCURSEL, 0, 0);
    ShowWeighting(page, s);
    ApplyScaleRule(page, s);

    SetupParamPanel(page, s, IDC_PARAM_SCROLL, IDD_PAGE_CONTROL);
    FillParamRows(page, s, IDD_PAGE_CONTROL);
    SetFocus(GetDlgItem(page, IDC_CONTROL_TOLERANCE));
}

void OnMethodChosen(HWND page, FittingSession* s)
{
    const int d = SelectedDependent(page);
    if (d < 1 || d > s->nDep)
        return;
    DepVarInfo& v = s->dep[d];
    const int previous = v.weightType;
    const int method = static_cast<int>(SendDlgItemMessageA(page, IDC_CONTROL_METHOD, CB_GETCURSEL, 0, 0));
    if (method < WEIGHT_NONE || method > WEIGHT_DIRECT)
        return;
    if (method != WEIGHT_NONE)
        ErrorsWithChiSq = 0;
    if (method == WEIGHT_INSTRUMENTAL && !CallHost(s, HOST_REQ_340D, v.dataset, 0)) {
        const std::string name = DatasetName(s, v.dataset);
        FitMessageDialog(page, s, 1, IDS_NO_ERROR_BAR, name.c_str(), nullptr, nullptr, "Ok");
        v.weightType = previous == WEIGHT_INSTRUMENTAL ? WEIGHT_NONE : previous;
    } else {
        v.weightType = method;
    }
    RebuildLine(page, s, d);
    ShowWeighting(page, s);
    ApplyScaleRule(page, s);
}

void OnCommand(HWND page, FittingSession* s, WPARAM wParam)
{
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    switch (id) {
    case IDC_CONTROL_DEPENDENTS:
        if (code == LBN_SELCHANGE)
            ShowWeighting(page, s);
        return;
    case IDC_CONTROL_METHOD:
        if (code == CBN_SELCHANGE)
            OnMethodChosen(page, s);
        return;
    case IDC_CONTROL_DATASETS:
        if (code == LBN_SELCHANGE) {
            const int d = SelectedDependent(page);
            const LRESULT i = SendDlgItemMessageA(page, IDC_CONTROL_DATASETS, LB_GETCURSEL, 0, 0);
            if (d >= 1 && d <= s->nDep && i >= 0) {
                s->dep[d].weightDataset =
                    static_cast<QFitDataset>(SendDlgItemMessageA(page, IDC_CONTROL_DATASETS, LB_GETITEMDATA, i, 0));
                RebuildLine(page, s, d);
            }
        }
        return;
    case IDC_CONTROL_FIXED_STEP:
        if (code == BN_CLICKED) {
            s->fixedDerivStep = IsDlgButtonChecked(page, IDC_CONTROL_FIXED_STEP) == BST_CHECKED;
            FollowFixedStep(page, s);
        }
        return;
    case IDC_CONTROL_SCALE_ERRORS:
        if (code == BN_CLICKED)
            ErrorsWithChiSq = IsDlgButtonChecked(page, IDC_CONTROL_SCALE_ERRORS) == BST_CHECKED;
        return;
    }
}

void ReadNumber(HWND page, FittingSession* s, int id, double* value)
{
    char text[64] = "";
    GetDlgItemTextA(page, id, text, sizeof text);
    double v;
    if (EvalNumber(s, text, &v) == 0)
        *value = v;
}

}  // namespace

INT_PTR CALLBACK FitControl(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    static const PageHandlers handlers = {OnInitDialog, OnCommand, IDD_PAGE_CONTROL};
    return RunPageProcedure(page, message, wParam, lParam, handlers);
}

int LeaveControlPage(HWND page, FittingSession* s)
{
    ReadParamRows(page, s, IDD_PAGE_CONTROL);
    char count[16] = "";
    GetDlgItemTextA(page, IDC_CONTROL_ITERATIONS, count, sizeof count);
    if (atoi(count) > 0)
        s->iterationCount = atoi(count);
    ReadNumber(page, s, IDC_CONTROL_TOLERANCE, &s->tolerance);
    if (IsWindowEnabled(GetDlgItem(page, IDC_CONTROL_STEP))) {
        ReadNumber(page, s, IDC_CONTROL_STEP, &s->derivStep);
        ReadNumber(page, s, IDC_CONTROL_MIN_STEP, &s->minDerivStep);
        ReadNumber(page, s, IDC_CONTROL_MAX_STEP, &s->maxDerivStep);
    }
    return 0;
}
