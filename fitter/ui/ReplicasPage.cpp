#include "ReplicasPage.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "FitterResources.h"
#include "FitterWindow.h"

#include "../engine/FitSession.h"

namespace {

const int kMaxReplicas = 50;

// The sharing the user has set on the page, applied when the page is left.
BYTE PendingShared[MAX_PARAMS + 1];

const struct {
    int control;
    int option;
} kOptionBoxes[] = {
    {IDC_REPLICA_PEAKS_DURING, OPT_PEAKS_DURING},
    {IDC_REPLICA_BASELINE, OPT_PEAKS_BASELINE},
};

// The parameters one replica repeats: from the offset to the end, or the stated size.
int ReplicaUnit(const FunctionDef* def)
{
    if (def->duplicateOffset < 1 || def->duplicateOffset > def->nParams)
        return 0;
    const int rest = def->nParams - def->duplicateOffset + 1;
    return def->duplicateUnit > 0 && def->duplicateUnit < rest ? def->duplicateUnit : rest;
}

// The largest replica count, at most 50, for which all fit sets stay within the parameter limit.
int LargestReplicaCount(const FittingSession* s)
{
    const FunctionDef* def = s->current;
    const int unit = ReplicaUnit(def);
    if (unit == 0)
        return 0;
    const int sets = s->nFitSets > 0 ? s->nFitSets : 1;
    // A parameter the replicas share adds nothing per replica.
    int own = unit;
    for (int k = def->duplicateOffset; k < def->duplicateOffset + unit; ++k)
        own -= PendingShared[k] != 0;
    int count = 0;
    while (count < kMaxReplicas && sets * (def->nParams + (count + 1) * own) <= MAX_PARAMS &&
           def->nParams + (count + 1) * unit <= MAX_PARAMS)
        ++count;
    return count;
}

int SelectedCount(HWND page)
{
    const LRESULT index = SendDlgItemMessageA(page, IDC_REPLICA_COUNT, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? 0 : static_cast<int>(index);
}

void ApplyEnableRules(HWND page, const FunctionDef* def)
{
    const bool replicated = def->nDuplicates >= 0;
    for (int id : {IDC_REPLICA_GROUP, IDC_REPLICA_COUNT_LABEL, IDC_REPLICA_COUNT, IDC_REPLICA_FROM_LABEL,
                   IDC_REPLICA_FROM, IDC_REPLICA_SIZE_LABEL, IDC_REPLICA_SIZE})
        EnableWindow(GetDlgItem(page, id), replicated);
    EnableWindow(GetDlgItem(page, IDC_REPLICA_SHARING), replicated && SelectedCount(page) > 0);
}

void FillSharingList(HWND page, FittingSession* s)
{
    const FunctionDef* def = s->current;
    SendDlgItemMessageA(page, IDC_REPLICA_SHARING, LB_RESETCONTENT, 0, 0);
    const int unit = ReplicaUnit(def);
    const std::string shared = FitterString(IDS_DATASETS_SHARED);
    for (int k = def->duplicateOffset; unit > 0 && k < def->duplicateOffset + unit; ++k) {
        char name[64] = "";
        GetParamName(s, k, name, sizeof name);
        std::string line = name;
        if (PendingShared[k])
            line += "\t" + shared;
        SendDlgItemMessageA(page, IDC_REPLICA_SHARING, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }
}

void OnInitDialog(HWND page, FittingSession* s)
{
    const FunctionDef* def = s->current;
    if (!def)
        return;
    memcpy(PendingShared, s->sharedByReplicas, sizeof PendingShared);
    SetDlgItemInt(page, IDC_REPLICA_FROM, def->duplicateOffset, TRUE);
    SetDlgItemInt(page, IDC_REPLICA_SIZE, def->duplicateUnit, TRUE);
    const int largest = LargestReplicaCount(s);
    for (int n = 0; n <= largest; ++n) {
        char text[8];
        snprintf(text, sizeof text, "%d", n);
        SendDlgItemMessageA(page, IDC_REPLICA_COUNT, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    if (def->nDuplicates >= 0) {
        const int count = def->nDuplicates < largest ? def->nDuplicates : largest;
        SendDlgItemMessageA(page, IDC_REPLICA_COUNT, CB_SETCURSEL, count, 0);
    }
    FillSharingList(page, s);
    for (const auto& box : kOptionBoxes)
        CheckDlgButton(page, box.control, OptionValue(def, box.option) == KW_YES ? BST_CHECKED : BST_UNCHECKED);
    ApplyEnableRules(page, def);
    SetFocus(GetDlgItem(page, IDC_REPLICA_COUNT));
}

// The counts offered: 0 up to the largest the parameter limit allows with the sharing set.
void FillCounts(HWND page, FittingSession* s)
{
    const int selected = SelectedCount(page);
    SendDlgItemMessageA(page, IDC_REPLICA_COUNT, CB_RESETCONTENT, 0, 0);
    const int largest = LargestReplicaCount(s);
    for (int n = 0; n <= largest; ++n) {
        char text[8];
        snprintf(text, sizeof text, "%d", n);
        SendDlgItemMessageA(page, IDC_REPLICA_COUNT, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    SendDlgItemMessageA(page, IDC_REPLICA_COUNT, CB_SETCURSEL, selected < largest ? selected : largest, 0);
}

void OnCommand(HWND page, FittingSession* s, WPARAM wParam)
{
    if (LOWORD(wParam) == IDC_REPLICA_COUNT && s->current &&
        (HIWORD(wParam) == CBN_CLOSEUP || HIWORD(wParam) == CBN_SELCHANGE))
        ApplyEnableRules(page, s->current);
    if (LOWORD(wParam) == IDC_REPLICA_SHARING && HIWORD(wParam) == LBN_DBLCLK && s->current) {
        const LRESULT row = SendDlgItemMessageA(page, IDC_REPLICA_SHARING, LB_GETCURSEL, 0, 0);
        if (row == LB_ERR)
            return;
        const int k = s->current->duplicateOffset + static_cast<int>(row);
        if (k < 1 || k > MAX_PARAMS)
            return;
        PendingShared[k] = !PendingShared[k];
        FillSharingList(page, s);
        SendDlgItemMessageA(page, IDC_REPLICA_SHARING, LB_SETCURSEL, row, 0);
        FillCounts(page, s);
    }
}

}  // namespace

INT_PTR CALLBACK AdvOptions(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    static const PageHandlers handlers = {OnInitDialog, OnCommand, 0};
    return RunPageProcedure(page, message, wParam, lParam, handlers);
}

int LeaveReplicaPage(HWND page, FittingSession* s)
{
    FunctionDef* def = s->current;
    if (!def)
        return 0;
    for (const auto& box : kOptionBoxes) {
        const bool yes = IsDlgButtonChecked(page, box.control) == BST_CHECKED;
        if (yes != (OptionValue(def, box.option) == KW_YES)) {
            // The mark of an option inherited from the settings is kept.
            def->options[box.option] =
                static_cast<int16_t>((def->options[box.option] & OPTION_INHERITED) | (yes ? KW_YES : KW_NO));
            def->modified |= FDF_CHANGED;
        }
    }
    if (def->nDuplicates < 0)
        return 0;
    for (int k = 1; k <= def->nParams && k <= MAX_PARAMS; ++k)
        if ((PendingShared[k] != 0) != (s->sharedByReplicas[k] != 0))
            ShareAcrossReplicas(s, k, PendingShared[k] != 0);
    const int count = SelectedCount(page);
    if (count != def->nDuplicates) {
        if (SetDuplicateCount(s, count) != 0)
            return 0;  // the count the engine refused stays as it was
        def->modified |= FDF_CHANGED;
    }
    return 0;
}
