#include "InitPage.h"

#include <string.h>

#include <string>
#include <vector>

#include "FitterResources.h"
#include "FitterWindow.h"
#include "ParamPanel.h"

#include "../engine/FitSession.h"
#include "../engine/FitUtil.h"

namespace {

const int kInitScriptKey = 4100;
const int kConstantsKey = 4102;

// The constants list "a=1,b=2" as lines, without blanks or control characters.
std::string ConstantLines(const char* list)
{
    std::string lines;
    for (const char* p = list; *p; ++p) {
        if (*p == ',')
            lines += "\r\n";
        else if (static_cast<unsigned char>(*p) > ' ' && static_cast<unsigned char>(*p) < 127)
            lines += *p;
    }
    return lines;
}

// The first constant whose value the host cannot evaluate, "" when all can be.
std::string BadConstant(FittingSession* s, const std::string& list)
{
    size_t start = 0;
    while (start < list.size()) {
        size_t comma = list.find(',', start);
        if (comma == std::string::npos)
            comma = list.size();
        const std::string entry = list.substr(start, comma - start);
        const size_t equals = entry.find('=');
        double value;
        if (!entry.empty() && (equals == std::string::npos ||
                               EvalNumber(s, entry.substr(equals + 1).c_str(), &value) != 0 ||
                               IsMissingValue(value)))
            return entry;
        start = comma + 1;
    }
    return std::string();
}

void OnInitDialog(HWND page, FittingSession* s)
{
    s->valuesEdited = 0;
    SetupParamPanel(page, s, IDC_PARAM_SCROLL, IDD_PAGE_INIT);
    PrepareParamTexts(page, s, IDD_PAGE_INIT);
    FillParamRows(page, s, IDD_PAGE_INIT);
    const FunctionDef* def = s->current;
    if (!def)
        return;
    CheckDlgButton(page, IDC_INIT_ENABLED, def->initSwitch == KW_ON ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemTextA(page, IDC_INIT_SCRIPT, def->initScript);
    if (def->functionType == KW_BUILTIN && !def->constants[0])
        EnableWindow(GetDlgItem(page, IDC_INIT_CONSTANTS), FALSE);
    else
        SetDlgItemTextA(page, IDC_INIT_CONSTANTS, ConstantLines(def->constants).c_str());
    SetFocus(GetDlgItem(page, IDC_INIT_SCRIPT));
}

}  // namespace

INT_PTR CALLBACK FitInit(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    static const PageHandlers handlers = {OnInitDialog, nullptr, IDD_PAGE_INIT};
    return RunPageProcedure(page, message, wParam, lParam, handlers);
}

int LeaveInitPage(HWND page, FittingSession* s)
{
    FunctionDef* def = s->current;
    if (!def)
        return 0;
    // The constants first: a constant without a value keeps everything on the page.
    std::string constants;
    if (IsWindowEnabled(GetDlgItem(page, IDC_INIT_CONSTANTS))) {
        const int length = GetWindowTextLengthA(GetDlgItem(page, IDC_INIT_CONSTANTS));
        std::vector<char> text(static_cast<size_t>(length) + 1);
        GetDlgItemTextA(page, IDC_INIT_CONSTANTS, text.data(), length + 1);
        if (strlen(text.data()) >= 3)
            LinesToCommaList(text.data());
        constants = text.data();
        const std::string bad = BadConstant(s, constants);
        if (!bad.empty()) {
            FitMessage(s->fitterWindow, IDS_BAD_CONSTANT, s, reinterpret_cast<INT_PTR>(bad.c_str()));
            return 1;
        }
    }
    ReadParamRows(page, s, IDD_PAGE_INIT);
    const bool edited = s->valuesEdited != 0;
    if (CommitInitValues(page, s) < 0) {
        FitMessage(s->fitterWindow, IDS_COMMA_IN_VALUE, s);
        return 1;
    }
    if (edited) {
        s->valuesEdited = 1;
        CommitParamValues(page, s);
    }
    FreeParamTexts(s);
    ReadEditIntoField(page, s, IDC_INIT_SCRIPT, kInitScriptKey);
    const int enabled = IsDlgButtonChecked(page, IDC_INIT_ENABLED) == BST_CHECKED ? KW_ON : KW_OFF;
    if (enabled != def->initSwitch) {
        def->initSwitch = enabled;
        def->modified |= FDF_CHANGED;
    }
    if (IsWindowEnabled(GetDlgItem(page, IDC_INIT_CONSTANTS)))
        SetFunctionField(def, kConstantsKey, constants.c_str());
    return 0;
}
