#include "AfterFitPage.h"

#include "FitterResources.h"
#include "FitterWindow.h"
#include "ParamPanel.h"

#include "../engine/FitSession.h"

namespace {

const int kAfterScriptKey = 4101;

// The check boxes and the options they stand for.
const struct {
    int control;
    int option;
} kOptionBoxes[] = {
    {IDC_AFTER_CURVE, OPT_CURVES},
    {IDC_AFTER_LOG, OPT_PASTE_TO_NOTES},
    {IDC_AFTER_PLOT, OPT_PASTE_TO_PLOT},
    {IDC_AFTER_REPLICAS, OPT_PEAKS_AFTER},
};

void OnInitDialog(HWND page, FittingSession* s)
{
    const FunctionDef* def = s->current;
    if (!def)
        return;
    for (const auto& box : kOptionBoxes)
        CheckDlgButton(page, box.control, OptionValue(def, box.option) == KW_YES ? BST_CHECKED : BST_UNCHECKED);
    const int spacing = OptionValue(def, OPT_SPACING);
    CheckRadioButton(page, IDC_AFTER_UNIFORM, IDC_AFTER_SAME_X,
                     spacing == KW_SPACING_SAME_X ? IDC_AFTER_SAME_X : IDC_AFTER_UNIFORM);
    CheckDlgButton(page, IDC_AFTER_ENABLED, def->afterSwitch == KW_ON ? BST_CHECKED : BST_UNCHECKED);
    WantReturn(page, IDC_AFTER_SCRIPT);
    SetDlgItemTextA(page, IDC_AFTER_SCRIPT, def->afterScript);
    SendDlgItemMessageA(page, IDC_AFTER_SCRIPT, EM_SETSEL, 0, 0);
    EnableWindow(GetDlgItem(page, IDC_AFTER_REPLICAS), def->nDuplicates >= 0);
}

// Stores an option the page changed, keeping the mark of an option inherited from the
// settings.
void StoreOption(FunctionDef* def, int option, int value)
{
    def->options[option] = static_cast<int16_t>((def->options[option] & OPTION_INHERITED) | value);
    def->modified |= FDF_CHANGED;
}

}  // namespace

INT_PTR CALLBACK AfterFit(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    static const PageHandlers handlers = {OnInitDialog, nullptr, 0};
    return RunPageProcedure(page, message, wParam, lParam, handlers);
}

int LeaveAfterFitPage(HWND page, FittingSession* s)
{
    FunctionDef* def = s->current;
    if (!def)
        return 0;
    ReadEditIntoField(page, s, IDC_AFTER_SCRIPT, kAfterScriptKey);
    const int enabled = IsDlgButtonChecked(page, IDC_AFTER_ENABLED) == BST_CHECKED ? KW_ON : KW_OFF;
    if (enabled != def->afterSwitch) {
        def->afterSwitch = enabled;
        def->modified |= FDF_CHANGED;
    }
    for (const auto& box : kOptionBoxes) {
        const bool yes = IsDlgButtonChecked(page, box.control) == BST_CHECKED;
        if (IsWindowEnabled(GetDlgItem(page, box.control)) && yes != (OptionValue(def, box.option) == KW_YES))
            StoreOption(def, box.option, yes ? KW_YES : KW_NO);
    }
    // Every spacing but "same X" is a uniform one: only a change of kind is stored.
    const bool sameX = IsDlgButtonChecked(page, IDC_AFTER_SAME_X) == BST_CHECKED;
    if (sameX != (OptionValue(def, OPT_SPACING) == KW_SPACING_SAME_X))
        StoreOption(def, OPT_SPACING, sameX ? KW_SPACING_SAME_X : KW_SPACING_UNIFORM_AXIS);
    return 0;
}
