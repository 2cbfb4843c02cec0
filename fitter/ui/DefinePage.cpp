// The function definition pages and saving.
//
// The page never edits a listed definition in place: the new page edits a fresh record,
// the edit page a copy of the current function, and the record joins (or replaces) the
// list only when the page is left. The record outlives a rebuild of the page (switching
// between form and file text), so what was typed in one view is there in the other.
#include "DefinePage.h"

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "FitterResources.h"
#include "FitterWindow.h"
#include "ParamPanel.h"

#include "../engine/FitMemory.h"
#include "../engine/FitSession.h"
#include "../engine/FitUtil.h"

namespace {

// Keyword ids of the definition's text fields.
const int kNameKey = 4108, kDescriptionKey = 4112, kSourceKey = 4110, kNamesKey = 4103, kMeaningsKey = 4105,
          kInitialKey = 4104, kLowerKey = 4106, kUpperKey = 4107, kFormulaKey = 4098, kConstraintsKey = 4099,
          kInitScriptKey = 4100, kAfterScriptKey = 4101, kIndependentKey = 4096, kDependentKey = 4097;

const int kMaxParamCount = 200;

// What the pages keep between their creation and their leave routine. One fitter window
// exists per process, so one state serves.
struct DefineState {
    FunctionDef* record = nullptr;  // the definition the page edits
    bool isNew = false;
    bool cancelled = false;
    bool saved = false;
    bool textMode = false;  // the file text rather than the form
};
DefineState g;

void DropRecord()
{
    FreeFunctionRecord(g.record);
    g.record = nullptr;
}

std::string DialogText(HWND page, int id)
{
    HWND control = GetDlgItem(page, id);
    const int length = control ? GetWindowTextLengthA(control) : 0;
    std::string text(static_cast<size_t>(length) + 1, '\0');
    if (control)
        GetWindowTextA(control, &text[0], length + 1);
    text.resize(strlen(text.c_str()));
    return text;
}

std::string Trimmed(std::string text)
{
    if (!text.empty())
        text.resize(TrimTrailing(&text[0]));
    size_t start = 0;
    while (start < text.size() && (text[start] == ' ' || text[start] == '\t'))
        ++start;
    return text.substr(start);
}

void Show(HWND page, int id, bool show)
{
    if (HWND control = GetDlgItem(page, id))
        ShowWindow(control, show ? SW_SHOW : SW_HIDE);
}

// The file text of a definition, whatever its length: a long formula or script is never cut.
std::string RenderedText(FittingSession* s, const FunctionDef* def)
{
    for (size_t capacity = 16 * 1024; capacity <= 16 * 1024 * 1024; capacity *= 4) {
        std::vector<char> buffer(capacity);
        if (RenderFunction(s, def, buffer.data(), buffer.size()) == 0)
            return buffer.data();
    }
    return std::string();
}

// "name=value" entries shown as the bare name when the value is "default" or empty.
std::string VariablesForDisplay(const char* list)
{
    std::string shown;
    char item[FDF_KEYLIST_CHARS];
    for (const char* p = NextToken(list, ",", item, sizeof item); item[0]; p = NextToken(p, ",", item, sizeof item)) {
        std::string entry = item;
        const size_t equals = entry.find('=');
        if (equals != std::string::npos) {
            const std::string value = Trimmed(entry.substr(equals + 1));
            if (value.empty() || _stricmp(value.c_str(), "default") == 0)
                entry = entry.substr(0, equals);
        }
        if (!shown.empty())
            shown += ',';
        shown += Trimmed(entry);
    }
    return shown;
}

// The typed variable list as stored "name=value" entries: the value stays empty unless one
// other than "default" is given. *count gets the number of names; none gives fallback.
std::string VariablesForStorage(std::string typed, const char* fallback, int* count)
{
    std::vector<char> text(typed.begin(), typed.end());
    text.push_back(0);
    *count = CountNames(text.data());
    if (*count == 0) {
        *count = 1;
        return std::string(fallback) + "=";
    }
    std::string stored;
    char item[FDF_KEYLIST_CHARS];
    for (const char* p = NextToken(text.data(), ",", item, sizeof item); item[0];
         p = NextToken(p, ",", item, sizeof item)) {
        std::string entry = Trimmed(item);
        if (entry.empty())
            continue;
        std::string name = entry, value;
        const size_t equals = entry.find('=');
        if (equals != std::string::npos) {
            name = Trimmed(entry.substr(0, equals));
            value = Trimmed(entry.substr(equals + 1));
            if (_stricmp(value.c_str(), "default") == 0)
                value.clear();
        }
        if (!stored.empty())
            stored += ',';
        stored += name + "=" + value;
    }
    return stored;
}

// The names shown for the Default naming method: P1,...,P9 and, past ten, "..." before the
// last.
std::string DefaultParamNames(int count)
{
    std::string names;
    char item[16];
    for (int i = 1; i < count && i <= 9; ++i) {
        snprintf(item, sizeof item, "P%d,", i);
        names += item;
    }
    if (count >= 11)
        names += "...,";
    snprintf(item, sizeof item, "P%d", count);
    return names + item;
}

int SelectedCount(HWND page)
{
    const LRESULT index = SendDlgItemMessageA(page, IDC_DEF_PARAM_COUNT, CB_GETCURSEL, 0, 0);
    return index >= 0 ? static_cast<int>(index) + 1 : 1;
}

bool UserNaming(HWND page) { return IsDlgButtonChecked(page, IDC_DEF_USER_NAMES) == BST_CHECKED; }

void ShowParamNames(HWND page)
{
    const bool user = UserNaming(page);
    EnableWindow(GetDlgItem(page, IDC_DEF_PARAM_COUNT), !user);
    SendDlgItemMessageA(page, IDC_DEF_PARAM_NAMES, EM_SETREADONLY, !user, 0);
    if (user)
        SetDlgItemTextA(page, IDC_DEF_PARAM_NAMES, g.record->paramNames);
    else
        SetDlgItemTextA(page, IDC_DEF_PARAM_NAMES, DefaultParamNames(SelectedCount(page)).c_str());
}

int SelectedForm(HWND page)
{
    const LRESULT index = SendDlgItemMessageA(page, IDC_DEF_FORM, CB_GETCURSEL, 0, 0);
    return index == 1 ? KW_Y_SCRIPT : index == 2 ? KW_EQUATIONS : index == 0 ? KW_EXPRESSION : -1;
}

void UpdateDerivativesBox(HWND page, int type)
{
    Show(page, IDC_DEF_DERIVATIVES, type == KW_USER_DEFINED);
    EnableWindow(GetDlgItem(page, IDC_DEF_DERIVATIVES), type == KW_USER_DEFINED && SelectedForm(page) == KW_Y_SCRIPT);
}

// The controls that belong to the type; a type not in the lists leaves them as they were.
void ShowTypeControls(HWND page, int type)
{
    if (type != KW_BUILTIN && type != KW_EXTERNAL_DLL && type != KW_USER_DEFINED)
        return;
    const bool builtin = type == KW_BUILTIN, dll = type == KW_EXTERNAL_DLL;
    SetDlgItemTextA(page, IDC_DEF_FORMULA_LABEL, type == KW_USER_DEFINED ? "Definition:" : "Description:");
    SetDlgItemTextA(page, IDC_DEF_FORM_LABEL, dll ? "DLL" : "Form");
    Show(page, IDC_DEF_BUILTIN, builtin);
    Show(page, IDC_DEF_TYPE, !builtin);
    Show(page, IDC_DEF_FORM_LABEL, !builtin);
    Show(page, IDC_DEF_FORM, type == KW_USER_DEFINED);
    Show(page, IDC_DEF_SOURCE, dll);
    UpdateDerivativesBox(page, type);
}

int SelectedType(HWND page)
{
    return KeywordId(DialogText(page, IDC_DEF_TYPE).c_str());
}

void ShowFormExample(HWND page)
{
    const int form = SelectedForm(page);
    if (form < 0)
        return;
    const int example = form == KW_Y_SCRIPT ? IDS_EXAMPLE_Y_SCRIPT
                        : form == KW_EQUATIONS ? IDS_EXAMPLE_EQUATIONS
                                               : IDS_EXAMPLE_EXPRESSION;
    SetDlgItemTextA(page, IDC_DEF_FORMULA_LABEL, FitterString(example).c_str());
    UpdateDerivativesBox(page, KW_USER_DEFINED);
}

void FillForm(HWND page, FittingSession* s)
{
    const FunctionDef* def = g.record;
    if (g.textMode) {
        SetDlgItemTextA(page, IDC_DEF_TEXT, RenderedText(s, def).c_str());
        return;
    }
    SetDlgItemTextA(page, IDC_DEF_NAME, def->name);
    const bool user = def->functionType == KW_USER_DEFINED;
    SetDlgItemTextA(page, IDC_DEF_FORMULA, user ? def->formula : def->description);
    SetDlgItemTextA(page, IDC_DEF_SOURCE, def->source);
    SetDlgItemTextA(page, IDC_DEF_INDEP, VariablesForDisplay(def->independentNames).c_str());
    SetDlgItemTextA(page, IDC_DEF_DEP, VariablesForDisplay(def->dependentNames).c_str());
    HWND type = GetDlgItem(page, IDC_DEF_TYPE);
    SendMessageA(type, CB_RESETCONTENT, 0, 0);
    if (def->functionType == KW_BUILTIN) {
        SendMessageA(type, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(KeywordText(KW_BUILTIN)));
    } else {
        SendMessageA(type, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(KeywordText(KW_USER_DEFINED)));
        SendMessageA(type, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(KeywordText(KW_EXTERNAL_DLL)));
    }
    const char* typeText = KeywordText(def->functionType);
    SendMessageA(type, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(typeText ? typeText : ""));
    HWND form = GetDlgItem(page, IDC_DEF_FORM);
    SendMessageA(form, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < 3; ++i)
        SendMessageA(form, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(FitterString(IDS_FORM_FIRST + i).c_str()));
    const int formIndex = def->functionForm == KW_Y_SCRIPT ? 1 : def->functionForm == KW_EQUATIONS ? 2 : 0;
    SendMessageA(form, CB_SETCURSEL, formIndex, 0);
    CheckDlgButton(page, IDC_DEF_DERIVATIVES, def->derivativeFlag == KW_ON ? BST_CHECKED : BST_UNCHECKED);
    ShowTypeControls(page, def->functionType);
    HWND count = GetDlgItem(page, IDC_DEF_PARAM_COUNT);
    SendMessageA(count, CB_RESETCONTENT, 0, 0);
    for (int i = 1; i <= kMaxParamCount; ++i)
        SendMessageA(count, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_string(i).c_str()));
    const int n = def->nParams >= 1 && def->nParams <= kMaxParamCount ? def->nParams : 1;
    SendMessageA(count, CB_SETCURSEL, n - 1, 0);
    CheckDlgButton(page, IDC_DEF_USER_NAMES, def->namingMethod == KW_USER_DEFINED ? BST_CHECKED : BST_UNCHECKED);
    ShowParamNames(page);
}

// Reads the form into the record. Counts follow the names typed; empty lists become one
// name ("P1", "x", "y").
void ReadDefinitionForm(HWND page)
{
    FunctionDef* def = g.record;
    const int type = SelectedType(page);
    if (type == KW_USER_DEFINED || type == KW_EXTERNAL_DLL)
        def->functionType = type;
    std::string names = Trimmed(DialogText(page, IDC_DEF_PARAM_NAMES));
    int count;
    if (UserNaming(page)) {
        std::vector<char> text(names.begin(), names.end());
        text.push_back(0);
        count = CountNames(text.data());
        names = text.data();
        if (count == 0) {
            count = 1;
            names = "P1";
        }
        def->namingMethod = KW_USER_DEFINED;
        SetFunctionField(def, kNamesKey, names.c_str());
    } else {
        count = SelectedCount(page);
        def->namingMethod = KW_DEFAULT_NAMING;
    }
    def->nParams = static_cast<int16_t>(count);
    int independent, dependent;
    SetFunctionField(def, kIndependentKey,
                     VariablesForStorage(DialogText(page, IDC_DEF_INDEP), "x", &independent).c_str());
    SetFunctionField(def, kDependentKey, VariablesForStorage(DialogText(page, IDC_DEF_DEP), "y", &dependent).c_str());
    def->nIndependent = static_cast<int16_t>(independent);
    def->nDependent = static_cast<int16_t>(dependent);
    // Compared with what is stored rather than noted as typed: an edit control need not
    // report every change of its text.
    const std::string body = Trimmed(DialogText(page, IDC_DEF_FORMULA));
    SetFunctionField(def, def->functionType == KW_USER_DEFINED ? kFormulaKey : kDescriptionKey, body.c_str());
    SetFunctionField(def, kNameKey, Trimmed(DialogText(page, IDC_DEF_NAME)).c_str());
    if (def->functionType == KW_EXTERNAL_DLL)
        SetFunctionField(def, kSourceKey, Trimmed(DialogText(page, IDC_DEF_SOURCE)).c_str());
    if (def->functionType == KW_USER_DEFINED) {
        const int form = SelectedForm(page);
        if (form >= 0)
            def->functionForm = form;
        if (form == KW_Y_SCRIPT && GetDlgItem(page, IDC_DEF_DERIVATIVES))
            def->derivativeFlag = static_cast<int16_t>(IsDlgButtonChecked(page, IDC_DEF_DERIVATIVES) ? KW_ON : KW_OFF);
    }
}

// Parses the file text into a copy first: a text that cannot be parsed changes nothing.
void ReadDefinitionText(HWND page, FittingSession* s)
{
    const std::string text = DialogText(page, IDC_DEF_TEXT);
    if (text == RenderedText(s, g.record))
        return;
    FunctionDef* parsed = AllocArray<FunctionDef>(1);
    if (!parsed || CopyFunction(parsed, g.record) != 0) {
        FreeFunctionRecord(parsed);
        return;
    }
    if (ParseFunctionDefinition(s, parsed, text.c_str()) == 0) {
        snprintf(parsed->path, sizeof parsed->path, "%s", g.record->path);
        parsed->modified = static_cast<int16_t>(g.record->modified | FDF_CHANGED);
        CopyFunction(g.record, parsed);
    }
    FreeFunctionRecord(parsed);
}

void ReadBack(HWND page, FittingSession* s)
{
    if (!g.record || !page)
        return;
    if (g.textMode)
        ReadDefinitionText(page, s);
    else
        ReadDefinitionForm(page);
}

HWND MainWindow(FittingSession* s) { return s->fitterWindow; }

void OnInitDialog(HWND page, FittingSession* s)
{
    if (!g.record)
        return;
    FillForm(page, s);
    const int focus = g.textMode ? IDC_DEF_TEXT : IDC_DEF_FORMULA;
    WantReturn(page, focus);
    SetFocus(GetDlgItem(page, focus));
    SendDlgItemMessageA(page, focus, EM_SETSEL, 0, 0);
}

void OnCommand(HWND page, FittingSession* s, WPARAM wParam)
{
    const int id = LOWORD(wParam), code = HIWORD(wParam);
    if (!g.record)
        return;
    switch (id) {
    case IDC_DEF_TYPE:
        if (code == CBN_CLOSEUP || code == CBN_SELCHANGE)
            ShowTypeControls(page, SelectedType(page));
        return;
    case IDC_DEF_FORM:
        if (code == CBN_SELCHANGE) {
            if (SelectedForm(page) == KW_Y_SCRIPT)
                g.record->options[OPT_SPACING] = KW_SPACING_SAME_X;
            ShowFormExample(page);
        }
        return;
    case IDC_DEF_PARAM_NAMES:
        if (code == EN_CHANGE && UserNaming(page)) {
            std::string names = DialogText(page, IDC_DEF_PARAM_NAMES);
            std::vector<char> text(names.begin(), names.end());
            text.push_back(0);
            const int n = CountNames(text.data());
            SendDlgItemMessageA(page, IDC_DEF_PARAM_COUNT, CB_SETCURSEL,
                                (n < 1 ? 1 : n > kMaxParamCount ? kMaxParamCount : n) - 1, 0);
        }
        return;
    case IDC_DEF_PARAM_COUNT:
        if (code == CBN_SELCHANGE)
            ShowParamNames(page);
        return;
    case IDC_DEF_USER_NAMES:
        if (code == BN_CLICKED) {
            // The box has already toggled: the names typed under the user's method are kept
            // before the generated ones take their place.
            if (!UserNaming(page))
                SetFunctionField(g.record, kNamesKey, Trimmed(DialogText(page, IDC_DEF_PARAM_NAMES)).c_str());
            ShowParamNames(page);
        }
        return;
    case IDC_DEF_SAVE:
    case IDC_DEF_TEXT_SAVE:
        ReadBack(page, s);
        if (SaveFunction(page, s, g.record)) {
            g.saved = true;
            PostMessageA(MainWindow(s), WM_COMMAND, PAGE_ID_EDIT, 0);
        } else {
            FitMessage(MainWindow(s), IDS_NOT_WRITTEN, s);
        }
        return;
    case IDC_DEF_FILE:
    case IDC_DEF_TEXT_FORM:
        s->noCheck = 1;
        PostMessageA(MainWindow(s), WM_COMMAND, g.isNew ? PAGE_ID_NEW : PAGE_ID_EDIT, 0);
        return;
    case IDC_DEF_CANCEL:
    case IDC_DEF_TEXT_CANCEL:
        if (g.isNew) {
            g.cancelled = true;
            PostMessageA(MainWindow(s), WM_COMMAND, PAGE_ID_SELECT, 0);
            return;
        }
        ReadBack(page, s);
        if (s->current && FunctionsDiffer(g.record, s->current)) {
            // Undo the changes and stay: the page shows the listed function again.
            CopyFunction(g.record, s->current);
            g.record->module = nullptr;
            g.record->function = nullptr;
            FillForm(page, s);
            return;
        }
        PostMessageA(MainWindow(s), WM_COMMAND, PAGE_ID_SELECT, 0);
        return;
    case CMD_PAGE_BASIC_MODE:
        PostMessageA(MainWindow(s), WM_COMMAND, CMD_PAGE_BASIC_MODE, 0);
        return;
    case IDC_DEF_ACCEPT:
        PostMessageA(MainWindow(s), WM_COMMAND, PAGE_ID_SELECT, 0);
        return;
    }
}

// The page's definition texts: the name, parameter names or a variable list, as the form
// or the file text holds them now.
struct EditedTexts {
    std::string name, paramNames, independent, dependent;
    int functionType = KW_USER_DEFINED;
    int namingMethod = KW_USER_DEFINED;
};

bool EditedDefinition(FittingSession* s, HWND page, EditedTexts* out)
{
    if (!g.record || !page)
        return false;
    if (g.textMode) {
        FunctionDef* parsed = AllocArray<FunctionDef>(1);
        if (!parsed || CopyFunction(parsed, g.record) != 0 ||
            ParseFunctionDefinition(s, parsed, DialogText(page, IDC_DEF_TEXT).c_str()) != 0) {
            FreeFunctionRecord(parsed);
            return false;
        }
        out->name = parsed->name;
        out->paramNames = parsed->paramNames;
        out->independent = parsed->independentNames;
        out->dependent = parsed->dependentNames;
        out->functionType = parsed->functionType;
        out->namingMethod = parsed->namingMethod;
        FreeFunctionRecord(parsed);
        return true;
    }
    out->name = Trimmed(DialogText(page, IDC_DEF_NAME));
    out->paramNames = DialogText(page, IDC_DEF_PARAM_NAMES);
    out->independent = DialogText(page, IDC_DEF_INDEP);
    out->dependent = DialogText(page, IDC_DEF_DEP);
    const int type = SelectedType(page);
    out->functionType = type > 0 ? type : g.record->functionType;
    out->namingMethod = UserNaming(page) ? KW_USER_DEFINED : KW_DEFAULT_NAMING;
    return true;
}

// The names of a list: "," or ";" separate, "=" starts an entry's value.
std::vector<std::string> ListNames(const std::string& list)
{
    std::vector<std::string> names;
    std::string current;
    bool inValue = false;
    auto close = [&]() {
        const std::string name = Trimmed(current);
        if (!name.empty())
            names.push_back(name);
        current.clear();
        inValue = false;
    };
    for (char c : list) {
        if (c == ',' || c == ';' || c == ' ' || c == '\t')
            close();
        else if (c == '=')
            inValue = true;
        else if (!inValue)
            current += c;
    }
    close();
    return names;
}

// Names the script host keeps for itself: X1-X4, Y1-Y4, Z1-Z4, in any case.
bool IsSystemVariable(const std::string& name)
{
    return name.size() == 2 && strchr("XYZxyz", name[0]) && name[1] >= '1' && name[1] <= '4';
}

bool IsReservedName(FittingSession* s, const std::string& name)
{
    std::string upper = name;
    for (char& c : upper)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return CallHost(s, HOST_IS_RESERVED_NAME, 0, reinterpret_cast<INT_PTR>(upper.c_str())) != 0;
}

void FillSaveList(HWND dialog, FittingSession* s)
{
    HWND list = GetDlgItem(dialog, IDC_SAVE_LIST);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (int i = 0; i < s->nFunctions; ++i) {
        const FunctionDef* def = s->functions[i];
        if (!def->modified)
            continue;
        std::string line = def->name;
        line += def->modified & 4 ? "\tFunction in old format"
                : def->modified & FDF_NEVER_SAVED ? "\tNewly defined function"
                                                  : "\tModified function";
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }
    SendMessageA(list, LB_SETSEL, TRUE, -1);
}

bool AnyModified(FittingSession* s)
{
    for (int i = 0; i < s->nFunctions; ++i)
        if (s->functions[i]->modified)
            return true;
    return false;
}

// The file a definition is written to: WriteFunctionFile's target.
std::string WriteTarget(FittingSession* s, const FunctionDef* def)
{
    const char* file = PathFileName(def->path);
    return HostFolder(s, HOST_GET_SETTINGS_DIR) + "fitfunc\\" + (file[0] ? file : def->name) + ".fdf";
}

bool FileThere(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}


}  // namespace

std::string CategoryFolder(FittingSession* s)
{
    char ini[2 * QFIT_HOST_TEXT_CAPACITY];
    GetIniPath(s, ini, sizeof ini);
    char stored[MAX_PATH] = "";
    ReadProfileString("Category", s->category, "", stored, sizeof stored, ini);
    char folder[MAX_PATH] = "";
    ResolveFunctionDir(s, stored, folder, sizeof folder);
    return folder;
}

int CountNames(char* text)
{
    int count = 0;
    bool inName = false;
    for (char* p = text;; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c == ',' || c == ';' || c == 0) {
            if (inName) {
                ++count;
                if (c == ';')
                    *p = ',';
            } else if (c) {
                *p = ' ';
            }
            inName = false;
            if (!c)
                break;
        } else if (c >= '!' && c != 127) {
            inName = true;
        }
    }
    return count;
}

void FreeFunctionRecord(FunctionDef* def)
{
    if (!def)
        return;
    // A record of the pages never holds a library of its own: the module it may carry is
    // the listed function's.
    FreeAndClear(def->constraints);
    FreeLockedBlock(def);
}

FunctionDef* NewFunctionDefinition(FittingSession* s)
{
    FunctionDef* def = AllocArray<FunctionDef>(1);
    if (!def)
        return nullptr;
    const std::string folder = CategoryFolder(s);
    const std::string templatePath = HostFolder(s, HOST_GET_PROGRAM_DIR) + "quorix";
    const bool fromTemplate = FileThere(templatePath + ".fdf") && ReadFunctionFile(s, def, templatePath.c_str()) == 0;
    if (!fromTemplate) {
        DefaultFunction(s, def);
        def->nParams = 1;
        def->namingMethod = KW_DEFAULT_NAMING;
        def->functionType = KW_USER_DEFINED;
        def->functionForm = KW_EXPRESSION;
        def->nIndependent = def->nDependent = 1;
        def->nDuplicates = -1;
        SetFunctionField(def, kSourceKey, "N/A");
        SetFunctionField(def, kNamesKey, "P1");
        SetFunctionField(def, kMeaningsKey, "?");
        SetFunctionField(def, kInitialKey, "--(V)");
        SetFunctionField(def, kLowerKey, "--(X,OFF)");
        SetFunctionField(def, kUpperKey, "--(X,OFF)");
        SetFunctionField(def, kConstraintsKey, "/*Enter general linear constraints here*/");
        SetFunctionField(def, kInitScriptKey,
                         "/*Scripts to be executed before fitting, a good place for complicated initialization.*/");
        SetFunctionField(def, kAfterScriptKey,
                         "/*Scripts to be executed after fitting, a good place for generating results.*/");
        SetFunctionField(def, kIndependentKey, "x=");
        SetFunctionField(def, kDependentKey, "y=");
    }
    // The name is the first "user<n>" that is not loaded, not the path of a loaded function
    // and has no file, in the category's folder or where it would be written.
    char name[32];
    for (int n = 1;; ++n) {
        snprintf(name, sizeof name, "user%d", n);
        const std::string path = folder + name;
        bool taken = FileThere(path + ".fdf");
        for (int i = 0; i < s->nFunctions && !taken; ++i)
            taken = _stricmp(s->functions[i]->name, name) == 0 || _stricmp(s->functions[i]->path, path.c_str()) == 0;
        snprintf(def->path, sizeof def->path, "%s", path.c_str());
        taken = taken || FileThere(WriteTarget(s, def));
        if (!taken)
            break;
    }
    SetFunctionField(def, kNameKey, name);
    SetFunctionField(def, kDescriptionKey, name);
    def->modified = FDF_CHANGED | FDF_NEVER_SAVED;
    return def;
}

int AppendFunction(FittingSession* s, FunctionDef* record)
{
    const int code = AddLoadedFunction(s, record);
    FreeFunctionRecord(record);
    if (code)
        return code;
    SelectFunction(s, s->functions[s->nFunctions - 1]);
    return 0;
}

int SaveFunction(HWND owner, FittingSession* s, FunctionDef* record)
{
    // A function never saved must not overwrite a file it did not come from: the user may
    // give another name, keep this one, or not save.
    while (record->modified & FDF_NEVER_SAVED) {
        if (!FileThere(WriteTarget(s, record))) {
            record->modified = FDF_CHANGED;
            break;
        }
        char path[MAX_PATH];
        snprintf(path, sizeof path, "%s", record->path);
        const INT_PTR answer = DialogBoxParamA(FitterInstance, MAKEINTRESOURCEA(IDD_SAVE_AS), owner, QFIT_SaveAs,
                                               reinterpret_cast<LPARAM>(path));
        if (answer == 0)
            return 0;
        if (answer == 1) {
            record->modified = FDF_CHANGED;
            break;
        }
        snprintf(record->path, sizeof record->path, "%s", path);
    }
    return WriteFunctionFile(s, record) == 0 ? 1 : 0;
}

bool PrepareDefinePage(FittingSession* s, int page, int* templateId)
{
    g.isNew = page == PAGE_ID_NEW;
    g.saved = false;
    if (g.isNew)
        g.cancelled = false;
    if (s->noCheck && g.record) {
        g.textMode = !g.textMode;
        s->noCheck = 0;
    } else if (!s->rebuildPage || !g.record) {
        DropRecord();
        g.textMode = false;
        if (g.isNew) {
            g.record = NewFunctionDefinition(s);
        } else if (s->current) {
            g.record = AllocArray<FunctionDef>(1);
            if (g.record && CopyFunction(g.record, s->current) != 0)
                DropRecord();
            if (g.record) {
                g.record->module = nullptr;
                g.record->function = nullptr;
            }
        }
        if (!g.record)
            return false;
    }
    if (s->basicFitter == KW_YES)
        g.textMode = false;
    *templateId = g.textMode ? IDD_PAGE_FILETEXT : s->basicFitter == KW_YES ? IDD_PAGE_DEFINE_BASIC : IDD_PAGE_DEFINE;
    return true;
}

int LeaveNewPage(HWND page, FittingSession* s)
{
    if (g.cancelled) {
        DropRecord();
        return 0;
    }
    ReadBack(page, s);
    if (s->noCheck || s->rebuildPage || !g.record)
        return 0;
    if (!g.saved)
        g.record->modified = FDF_CHANGED | FDF_NEVER_SAVED;
    g.saved = false;
    FunctionDef* record = g.record;
    g.record = nullptr;
    if (IsFitActive(s))
        FinishFit(s, 0);
    if (AppendFunction(s, record) == 0 && s->current)
        MeasureFunction(s, s->current);
    return 0;
}

int LeaveEditPage(HWND page, FittingSession* s)
{
    ReadBack(page, s);
    if (s->noCheck || s->rebuildPage || !g.record)
        return 0;
    FunctionDef* listed = s->current;
    if (!listed || !FunctionsDiffer(g.record, listed)) {
        DropRecord();
        return 0;
    }
    // The listed function keeps its library; the definition's fields are the page's.
    const HMODULE module = listed->module;
    const FitFunction function = listed->function;
    const int16_t modified = listed->modified;
    CopyFunction(listed, g.record);
    listed->module = module;
    listed->function = function;
    if (g.saved)
        listed->modified = g.record->modified;
    else
        listed->modified = static_cast<int16_t>(modified | g.record->modified | FDF_CHANGED);
    g.saved = false;
    DropRecord();
    SelectFunction(s, listed);
    MeasureFunction(s, listed);
    return 0;
}

int CheckEditedFunction(FittingSession* s)
{
    EditedTexts t;
    if (!EditedDefinition(s, s->pageWindow, &t))
        return 0;
    const std::vector<std::string> dependent = ListNames(t.dependent), independent = ListNames(t.independent);
    if (dependent.empty())
        return 0x20;
    if (independent.empty())
        return 0x80;
    for (const std::string& name : dependent)
        if (IsSystemVariable(name))
            return 0x10;
    for (const std::string& name : independent)
        if (IsSystemVariable(name))
            return 0x40;
    if (t.namingMethod != KW_DEFAULT_NAMING) {
        for (const std::string& name : ListNames(t.paramNames)) {
            if (IsSystemVariable(name))
                return 256;
            if (IsReservedName(s, name))
                return 1024;
        }
    }
    if (t.functionType == KW_USER_DEFINED && t.name.empty())
        return 512;
    return 0;
}

int AskSaveFunctions(HWND owner, FittingSession* s)
{
    if (AnyModified(s))
        DialogBoxParamA(FitterInstance, MAKEINTRESOURCEA(IDD_ATTENTION_SAVE), owner, AttentionSave, 0);
    return 0;
}

INT_PTR CALLBACK DefFitFunx(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    static const PageHandlers handlers = {OnInitDialog, OnCommand, 0};
    return RunPageProcedure(page, message, wParam, lParam, handlers);
}

INT_PTR CALLBACK QFIT_SaveAs(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT filtered;
    if (FitterColorFilter(dialog, message, wParam, lParam, &filtered))
        return filtered;
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        SendDlgItemMessageA(dialog, IDC_SAVE_AS_PATH, EM_LIMITTEXT, 200, 0);
        SetDlgItemTextA(dialog, IDC_SAVE_AS_PATH, reinterpret_cast<const char*>(lParam));
        return TRUE;
    case WM_COMMAND: {
        char* path = reinterpret_cast<char*>(GetWindowLongPtrA(dialog, DWLP_USER));
        if (LOWORD(wParam) == IDC_SAVE_AS_SAVE) {
            char typed[MAX_PATH] = "";
            GetDlgItemTextA(dialog, IDC_SAVE_AS_PATH, typed, 201);
            const std::string chosen = Trimmed(typed);
            if (chosen.empty() || chosen == path) {
                EndDialog(dialog, 1);
            } else {
                snprintf(path, MAX_PATH, "%s", chosen.c_str());
                EndDialog(dialog, 2);
            }
            return TRUE;
        }
        if (LOWORD(wParam) == IDC_SAVE_AS_CANCEL || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        return FALSE;
    }
    }
    return FALSE;
}

INT_PTR CALLBACK AttentionSave(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT filtered;
    if (FitterColorFilter(dialog, message, wParam, lParam, &filtered))
        return filtered;
    FittingSession* s = WindowSession();
    if (!s)
        return FALSE;
    switch (message) {
    case WM_INITDIALOG: {
        const int tab = 60;
        SendDlgItemMessageA(dialog, IDC_SAVE_LIST, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&tab));
        FillSaveList(dialog, s);
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_SAVE_ALL:
            for (int i = 0; i < s->nFunctions; ++i)
                if (s->functions[i]->modified)
                    SaveFunction(dialog, s, s->functions[i]);
            EndDialog(dialog, 0);
            return TRUE;
        case IDC_SAVE_DISCARD:
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        case IDC_SAVE_SELECTED: {
            HWND list = GetDlgItem(dialog, IDC_SAVE_LIST);
            const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
            std::vector<std::string> chosen;
            for (int i = 0; i < count; ++i) {
                if (SendMessageA(list, LB_GETSEL, i, 0) <= 0)
                    continue;
                std::vector<char> line(static_cast<size_t>(SendMessageA(list, LB_GETTEXTLEN, i, 0)) + 1);
                SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line.data()));
                std::string text = line.data();
                chosen.push_back(text.substr(0, text.find('\t')));
            }
            for (int i = 0; i < s->nFunctions; ++i)
                for (const std::string& name : chosen)
                    if (s->functions[i]->modified && name == s->functions[i]->name)
                        SaveFunction(dialog, s, s->functions[i]);
            if (!AnyModified(s))
                EndDialog(dialog, 0);
            else
                FillSaveList(dialog, s);
            return TRUE;
        }
        }
        return FALSE;
    }
    return FALSE;
}
