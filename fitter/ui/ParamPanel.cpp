#include "ParamPanel.h"

#include <stdio.h>
#include <string.h>

#include <string>

#include "FitterResources.h"
#include "qxutil.h"

#include "../engine/FitMemory.h"
#include "../engine/FitSession.h"

namespace {

enum : int {
    KEY_INITIAL_VALUES = 4104,
    KEY_LOWER_BOUNDS = 4106,
    KEY_UPPER_BOUNDS = 4107,
    HISTORY_BYTES = 5000,
};

bool HasValueColumn(int templateId)
{
    return templateId == IDD_PAGE_SESSION || templateId == IDD_PAGE_SIMULATE || templateId == IDD_PAGE_INIT;
}

bool HasVaryColumn(int templateId)
{
    return templateId == IDD_PAGE_SESSION || templateId == IDD_PAGE_INIT;
}

// The row bases a page shows; rows beyond the parameter count are hidden.
void RowBases(int templateId, const int** bases, int* count)
{
    static const int constraints[] = {IDC_PARAM_LOWER_ON, IDC_PARAM_LOWER, IDC_PARAM_LOWER_RELATION,
                                      IDC_PARAM_NAME, IDC_PARAM_UPPER_RELATION, IDC_PARAM_UPPER,
                                      IDC_PARAM_UPPER_ON};
    static const int session[] = {IDC_PARAM_NAME, IDC_PARAM_VALUE, IDC_PARAM_VARY, IDC_PARAM_ERROR,
                                  IDC_PARAM_DEPENDENCY, IDC_PARAM_PLUS_MINUS};
    static const int init[] = {IDC_PARAM_NAME, IDC_PARAM_VALUE, IDC_PARAM_VARY};
    static const int simulate[] = {IDC_PARAM_NAME, IDC_PARAM_VALUE};
    static const int control[] = {IDC_PARAM_NAME, IDC_PARAM_DIGITS};
    switch (templateId) {
    case IDD_PAGE_CONSTRAINTS:
        *bases = constraints, *count = 7;
        return;
    case IDD_PAGE_SESSION:
        *bases = session, *count = 6;
        return;
    case IDD_PAGE_INIT:
        *bases = init, *count = 3;
        return;
    case IDD_PAGE_SIMULATE:
        *bases = simulate, *count = 2;
        return;
    case IDD_PAGE_CONTROL:
        *bases = control, *count = 2;
        return;
    }
    *bases = nullptr, *count = 0;
}

void CopySlot(char* slot, const char* text)
{
    snprintf(slot, PARAM_TEXT_CHARS, "%s", text);
}

void FormatIntoSlot(char* slot, double value, int digits)
{
    char text[UTIL_NUMBER_TEXT_SIZE];
    FormatValue(value, digits, text);
    CopySlot(slot, text);
}

// Reads an edit into a slot; true when the text differs other than in case.
bool ReadSlot(HWND page, int id, char* slot)
{
    char text[PARAM_TEXT_CHARS] = "";
    GetDlgItemTextA(page, id, text, sizeof text);
    const bool differs = _stricmp(text, slot) != 0;
    CopySlot(slot, text);
    return differs;
}

void SetFlag(BYTE* flags, BYTE bit, bool on)
{
    *flags = on ? (*flags | bit) : (*flags & ~bit);
}

// The entry value(V) / value(F) of an initial-values list: the value text and, when the
// entry says, whether it varies.
void ParseInitEntry(const char* entry, char* slot, BYTE* flags)
{
    std::string text(entry);
    const size_t open = text.rfind('(');
    if (open != std::string::npos) {
        const char mark = open + 1 < text.size() ? static_cast<char>(toupper(text[open + 1])) : 0;
        if (mark == 'V' || mark == 'F') {
            SetFlag(flags, PARAM_VARIES, mark == 'V');
            text.resize(open);
        }
    }
    while (!text.empty() && text.front() == ' ')
        text.erase(0, 1);
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    CopySlot(slot, text.c_str());
}

int OwnParamCount(const FittingSession* s)
{
    return s->current && s->current->nParams > 0 ? s->current->nParams : s->nParams;
}

int RowCount(const FittingSession* s, int templateId)
{
    const int n = templateId == IDD_PAGE_INIT ? OwnParamCount(s) : s->nParams;
    return n < 0 ? 0 : n > MAX_PARAMS ? MAX_PARAMS : n;
}

std::string LoadText(int id)
{
    char text[64] = "";
    LoadStringA(FitterInstance, id, text, sizeof text);
    return text;
}

}  // namespace

void SetupParamPanel(HWND page, FittingSession* s, int scrollId, int templateId)
{
    s->paramRows = RowCount(s, templateId);
    s->paramFirst = 1;
    for (int r = 1; r <= PARAM_VISIBLE_ROWS; ++r) {
        if (HasValueColumn(templateId))
            SendDlgItemMessageA(page, IDC_PARAM_VALUE + r, EM_LIMITTEXT, PARAM_TEXT_CHARS - 1, 0);
        if (templateId == IDD_PAGE_CONSTRAINTS) {
            SendDlgItemMessageA(page, IDC_PARAM_LOWER + r, EM_LIMITTEXT, PARAM_TEXT_CHARS - 1, 0);
            SendDlgItemMessageA(page, IDC_PARAM_UPPER + r, EM_LIMITTEXT, PARAM_TEXT_CHARS - 1, 0);
        }
        if (templateId == IDD_PAGE_CONTROL) {
            HWND list = GetDlgItem(page, IDC_PARAM_DIGITS + r);
            SendMessageA(list, CB_RESETCONTENT, 0, 0);
            SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(LoadText(IDS_DIGITS_FREE).c_str()));
            for (int d = 1; d <= 16; ++d)
                SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_string(d).c_str()));
        }
        if (templateId == IDD_PAGE_SESSION)
            SetDlgItemTextA(page, IDC_PARAM_PLUS_MINUS + r, LoadText(IDS_PLUS_MINUS).c_str());
        if (r > s->paramRows) {
            const int* bases;
            int count;
            RowBases(templateId, &bases, &count);
            for (int i = 0; i < count; ++i)
                ShowWindow(GetDlgItem(page, bases[i] + r), SW_HIDE);
        }
    }
    HWND bar = GetDlgItem(page, scrollId);
    if (s->paramRows > PARAM_VISIBLE_ROWS) {
        SetScrollRange(bar, SB_CTL, 0, s->paramRows - PARAM_VISIBLE_ROWS, FALSE);
        SetScrollPos(bar, SB_CTL, 0, TRUE);
        ShowWindow(bar, SW_SHOW);
        s->paramLast = PARAM_VISIBLE_ROWS;
    } else {
        ShowWindow(bar, SW_HIDE);
        s->paramLast = s->paramRows;
    }
}

int PrepareParamTexts(HWND, FittingSession* s, int templateId)
{
    FreeParamTexts(s);
    const int n = s->nParams < 0 ? 0 : s->nParams > MAX_PARAMS ? MAX_PARAMS : s->nParams;
    for (int p = 1; p <= n && s->flags; ++p)
        s->flagsBefore[p] = s->flags[p];
    if (templateId == IDD_PAGE_CONSTRAINTS) {
        s->boundTexts = AllocIndexed<char[2][PARAM_TEXT_CHARS]>(n);
        if (!s->boundTexts)
            return FIT_ERR_NO_MEMORY;
        for (int p = 1; p <= n; ++p) {
            FormatIntoSlot(s->boundTexts[p][0], s->lowerBound[p], s->digits[p]);
            FormatIntoSlot(s->boundTexts[p][1], s->upperBound[p], s->digits[p]);
        }
        return 0;
    }
    s->valueTexts = AllocIndexed<char[PARAM_TEXT_CHARS]>(n);
    if (!s->valueTexts)
        return FIT_ERR_NO_MEMORY;
    if (templateId == IDD_PAGE_INIT) {
        // The definition's list may be shorter than the parameters: the rest stay empty.
        std::string list = s->current ? s->current->initialValues : "";
        size_t start = 0;
        for (int p = 1; p <= OwnParamCount(s) && p <= n && start <= list.size(); ++p) {
            size_t comma = list.find(',', start);
            if (comma == std::string::npos)
                comma = list.size();
            ParseInitEntry(list.substr(start, comma - start).c_str(), s->valueTexts[p], &s->flags[p]);
            start = comma + 1;
        }
        return 0;
    }
    for (int p = 1; p <= n; ++p)
        FormatIntoSlot(s->valueTexts[p], s->value[p], s->digits[p]);
    return 0;
}

void FillParamRows(HWND page, FittingSession* s, int templateId)
{
    for (int r = 1; r <= PARAM_VISIBLE_ROWS; ++r) {
        const int p = s->paramFirst + r - 1;
        if (p > s->paramLast)
            break;
        char name[PARAM_NAME_CHARS];
        GetParamName(s, p, name, sizeof name);
        SetDlgItemTextA(page, IDC_PARAM_NAME + r, name);
        const BYTE flags = s->flags[p];
        if (HasValueColumn(templateId) && s->valueTexts)
            SetDlgItemTextA(page, IDC_PARAM_VALUE + r, s->valueTexts[p]);
        if (HasVaryColumn(templateId))
            CheckDlgButton(page, IDC_PARAM_VARY + r, (flags & PARAM_VARIES) ? BST_CHECKED : BST_UNCHECKED);
        if (templateId == IDD_PAGE_SESSION) {
            char text[UTIL_NUMBER_TEXT_SIZE];
            FormatValue(s->error[p], s->digits[p], text);
            SetDlgItemTextA(page, IDC_PARAM_ERROR + r, text);
            FormatValue(s->dependency[p], s->digits[p], text);
            SetDlgItemTextA(page, IDC_PARAM_DEPENDENCY + r, text);
        }
        if (templateId == IDD_PAGE_CONTROL)
            SendDlgItemMessageA(page, IDC_PARAM_DIGITS + r, CB_SETCURSEL, s->digits[p], 0);
        if (templateId == IDD_PAGE_CONSTRAINTS && s->boundTexts) {
            SetDlgItemTextA(page, IDC_PARAM_LOWER + r, s->boundTexts[p][0]);
            SetDlgItemTextA(page, IDC_PARAM_UPPER + r, s->boundTexts[p][1]);
            SetDlgItemTextA(page, IDC_PARAM_LOWER_RELATION + r, (flags & PARAM_LB_EXCLUSIVE) ? "<" : "<=");
            SetDlgItemTextA(page, IDC_PARAM_UPPER_RELATION + r, (flags & PARAM_UB_EXCLUSIVE) ? "<" : "<=");
            const bool lower = (flags & PARAM_LB_ON) != 0, upper = (flags & PARAM_UB_ON) != 0;
            CheckDlgButton(page, IDC_PARAM_LOWER_ON + r, lower ? BST_CHECKED : BST_UNCHECKED);
            CheckDlgButton(page, IDC_PARAM_UPPER_ON + r, upper ? BST_CHECKED : BST_UNCHECKED);
            EnableWindow(GetDlgItem(page, IDC_PARAM_LOWER + r), lower);
            EnableWindow(GetDlgItem(page, IDC_PARAM_LOWER_RELATION + r), lower);
            EnableWindow(GetDlgItem(page, IDC_PARAM_UPPER + r), upper);
            EnableWindow(GetDlgItem(page, IDC_PARAM_UPPER_RELATION + r), upper);
        }
    }
}

void ReadParamRows(HWND page, FittingSession* s, int templateId)
{
    for (int r = 1; r <= PARAM_VISIBLE_ROWS; ++r) {
        const int p = s->paramFirst + r - 1;
        if (p > s->paramLast)
            break;
        BYTE& flags = s->flags[p];
        if (HasValueColumn(templateId) && s->valueTexts && ReadSlot(page, IDC_PARAM_VALUE + r, s->valueTexts[p]))
            s->valuesEdited = 1;
        if (HasVaryColumn(templateId)) {
            const bool varies = IsDlgButtonChecked(page, IDC_PARAM_VARY + r) == BST_CHECKED;
            if (varies != ((flags & PARAM_VARIES) != 0)) {
                SetFlag(&flags, PARAM_VARIES, varies);
                s->valuesEdited = 1;
                s->dataChanged = 1;  // the varying set changed: the engine lays out anew
            }
        }
        if (templateId == IDD_PAGE_CONTROL) {
            const LRESULT digits = SendDlgItemMessageA(page, IDC_PARAM_DIGITS + r, CB_GETCURSEL, 0, 0);
            if (digits >= 0 && digits <= 16)
                s->digits[p] = static_cast<BYTE>(digits);
        }
        if (templateId == IDD_PAGE_CONSTRAINTS && s->boundTexts) {
            SetFlag(&flags, PARAM_LB_ON, IsDlgButtonChecked(page, IDC_PARAM_LOWER_ON + r) == BST_CHECKED);
            SetFlag(&flags, PARAM_UB_ON, IsDlgButtonChecked(page, IDC_PARAM_UPPER_ON + r) == BST_CHECKED);
            char relation[8] = "";
            GetDlgItemTextA(page, IDC_PARAM_LOWER_RELATION + r, relation, sizeof relation);
            SetFlag(&flags, PARAM_LB_EXCLUSIVE, strcmp(relation, "<=") != 0);
            GetDlgItemTextA(page, IDC_PARAM_UPPER_RELATION + r, relation, sizeof relation);
            SetFlag(&flags, PARAM_UB_EXCLUSIVE, strcmp(relation, "<=") != 0);
            if (ReadSlot(page, IDC_PARAM_LOWER + r, s->boundTexts[p][0]))
                s->valuesEdited = 1;
            if (ReadSlot(page, IDC_PARAM_UPPER + r, s->boundTexts[p][1]))
                s->valuesEdited = 1;
        }
    }
}

int ScrollParamPanel(HWND page, WPARAM scroll, HWND scrollBar, FittingSession* s, int templateId)
{
    ReadParamRows(page, s, templateId);
    const int visible = PARAM_VISIBLE_ROWS;
    const int count = s->paramRows;
    if (count <= visible)
        return 0;
    int first = s->paramFirst;
    switch (LOWORD(scroll)) {
    case SB_LINEUP:
    case SB_PAGEUP:
        if (first > 1)
            --first;
        break;
    case SB_LINEDOWN:
    case SB_PAGEDOWN:
        if (s->paramLast < count)
            ++first;
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        first = static_cast<short>(HIWORD(scroll)) + 1;
        break;
    case SB_TOP:
        first = 1;
        break;
    case SB_BOTTOM:
        first = count - visible + 1;
        break;
    default:
        return 0;
    }
    first = first < 1 ? 1 : first > count - visible + 1 ? count - visible + 1 : first;
    if (first == s->paramFirst)
        return 0;
    s->paramFirst = first;
    s->paramLast = first + visible - 1;
    SetScrollPos(scrollBar, SB_CTL, s->paramLast - visible, TRUE);
    FillParamRows(page, s, templateId);
    return 1;
}

void CommitParamValues(HWND, FittingSession* s)
{
    if (!s->valuesEdited || !s->valueTexts)
        return;
    for (int p = 1; p <= s->nParams && p <= MAX_PARAMS; ++p) {
        double value;
        if (EvalNumber(s, s->valueTexts[p], &value) == 0 && value != s->value[p]) {
            s->value[p] = value;
            s->paramsChanged = 1;
        }
    }
    s->valuesEdited = 0;
}

int CommitInitValues(HWND, FittingSession* s)
{
    if (!s->valuesEdited)
        return 0;
    if (!s->valueTexts || !s->current)
        return FIT_ERR_NO_MEMORY;
    std::string list;
    for (int p = 1; p <= OwnParamCount(s) && p <= MAX_PARAMS; ++p) {
        if (strchr(s->valueTexts[p], ','))
            return -1;
        if (p > 1)
            list += ",";
        list += s->valueTexts[p];
        list += (s->flags[p] & PARAM_VARIES) ? "(V)" : "(F)";
    }
    SetFunctionField(s->current, KEY_INITIAL_VALUES, list.c_str());
    s->valuesEdited = 0;
    return 0;
}

int CommitBounds(HWND, FittingSession* s)
{
    if (!s->boundTexts || !s->current)
        return 0;
    const int n = s->nParams < MAX_PARAMS ? s->nParams : MAX_PARAMS;
    bool changed = s->valuesEdited != 0;
    for (int p = 1; p <= n; ++p)
        if (s->flags[p] != s->flagsBefore[p])
            changed = true;
    if (!changed)
        return 0;
    for (int p = 1; p <= n; ++p)
        if (strchr(s->boundTexts[p][0], ',') || strchr(s->boundTexts[p][1], ','))
            return -1;
    const std::string exclusive = LoadText(IDS_BOUND_EXCLUSIVE), inclusive = LoadText(IDS_BOUND_INCLUSIVE),
                      on = LoadText(IDS_BOUND_ON), off = LoadText(IDS_BOUND_OFF);
    std::string lists[2];
    for (int p = 1; p <= n; ++p) {
        double value;
        if (EvalNumber(s, s->boundTexts[p][0], &value) == 0)
            s->lowerBound[p] = value;
        if (EvalNumber(s, s->boundTexts[p][1], &value) == 0)
            s->upperBound[p] = value;
        for (int side = 0; side < 2; ++side) {
            const BYTE exclusiveBit = side ? PARAM_UB_EXCLUSIVE : PARAM_LB_EXCLUSIVE;
            const BYTE onBit = side ? PARAM_UB_ON : PARAM_LB_ON;
            if (p > 1)
                lists[side] += ",";
            lists[side] += s->boundTexts[p][side];
            lists[side] += (s->flags[p] & exclusiveBit) ? exclusive : inclusive;
            lists[side] += (s->flags[p] & onBit) ? on : off;
        }
        s->flagsBefore[p] = s->flags[p];
    }
    s->valuesEdited = 0;
    return SetFunctionField(s->current, KEY_LOWER_BOUNDS, lists[0].c_str()) +
           SetFunctionField(s->current, KEY_UPPER_BOUNDS, lists[1].c_str());
}

void RefreshParamPanel(FittingSession* s, HWND page, int templateId)
{
    ReadParamRows(page, s, templateId);
    if (!s->valuesEdited)
        return;
    CommitParamValues(page, s);
    PushParamHistory(s);
    EnableHistoryButtons(s, page);
}

void FreeParamTexts(FittingSession* s)
{
    FreeAndClear(s->valueTexts);
    FreeAndClear(s->boundTexts);
}

int InitParamHistory(FittingSession* s)
{
    FreeParamHistory(s);
    const int n = s->nParams;
    if (n < 0 || n * 8 > HISTORY_BYTES - 8)
        return 1;
    s->historyCapacity = HISTORY_BYTES / ((n + 1) * 8);
    // The whole block at once: it never grows beyond the capacity anyway.
    s->history = AllocArray<double>(static_cast<size_t>(s->historyCapacity) * (n + 1));
    if (!s->history)
        return 1;
    s->historyCurrent = -1;
    s->historyLast = 0;
    PushParamHistory(s);
    return 0;
}

void PushParamHistory(FittingSession* s)
{
    if (!s->history)
        return;
    const int width = s->nParams + 1;
    if (s->historyCurrent < s->historyLast) {
        ++s->historyCurrent;
    } else if (s->historyLast + 1 < s->historyCapacity) {
        ++s->historyCurrent;
    } else {
        // Full: the oldest snapshot goes.
        memmove(s->history, s->history + width, sizeof(double) * width * s->historyLast);
        s->historyCurrent = s->historyLast;
    }
    double* slot = s->history + static_cast<size_t>(s->historyCurrent) * width;
    slot[0] = s->chiSqr;
    for (int p = 1; p < width; ++p)
        slot[p] = s->value[p];
    s->historyLast = s->historyCurrent;
}

namespace {

int MoveInHistory(FittingSession* s, int step)
{
    if (!s->history)
        return -1;
    const int target = s->historyCurrent + step;
    if (target < 0 || target > s->historyLast)
        return s->historyCurrent;
    s->historyCurrent = target;
    const int width = s->nParams + 1;
    const double* slot = s->history + static_cast<size_t>(target) * width;
    s->chiSqr = slot[0];
    for (int p = 1; p < width; ++p)
        s->value[p] = slot[p];
    s->paramsChanged = 1;
    return target;
}

}  // namespace

int ParamHistoryBack(FittingSession* s) { return MoveInHistory(s, -1); }

int ParamHistoryForward(FittingSession* s) { return MoveInHistory(s, 1); }

void EnableHistoryButtons(FittingSession* s, HWND page)
{
    EnableWindow(GetDlgItem(page, IDC_HISTORY_BACK), s->history && s->historyCurrent > 0);
    EnableWindow(GetDlgItem(page, IDC_HISTORY_FORWARD), s->history && s->historyCurrent < s->historyLast);
}

void FreeParamHistory(FittingSession* s)
{
    FreeAndClear(s->history);
    s->historyCurrent = -1;
    s->historyLast = 0;
    s->historyCapacity = 0;
}

size_t TrimTrailing(char* text)
{
    size_t n = strlen(text);
    while (n > 1 && (text[n - 1] < '!' || text[n - 1] > '~'))
        text[--n] = 0;
    return n;
}

void FormatValue(double value, int digits, char* buffer)
{
    char format[8];
    if (digits > 0)
        snprintf(format, sizeof format, "*%d", digits);
    else
        snprintf(format, sizeof format, "*");
    UtilFormatNumber(value, buffer, format);
}

int GetEditTextLength(HWND window, int id)
{
    HWND edit = GetDlgItem(window, id);
    const int lines = static_cast<int>(SendMessageA(edit, EM_GETLINECOUNT, 0, 0));
    int total = 0;
    for (int line = 0; line < lines; ++line) {
        const LRESULT start = SendMessageA(edit, EM_LINEINDEX, line, 0);
        total += static_cast<int>(SendMessageA(edit, EM_LINELENGTH, start, 0)) + 2;
    }
    return total;
}

int ReadEditIntoField(HWND page, FittingSession* s, int controlId, int fieldId)
{
    if (!s->current)
        return 0;
    const int length = GetEditTextLength(page, controlId);
    std::string text(static_cast<size_t>(length) * 3 / 2 + 2, '\0');
    GetDlgItemTextA(page, controlId, &text[0], static_cast<int>(text.size()));
    text.resize(strlen(text.c_str()));
    if (!text.empty())
        text.resize(TrimTrailing(&text[0]));
    return SetFunctionField(s->current, fieldId, text.c_str());
}
