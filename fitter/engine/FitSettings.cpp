// The fitter's defaults in section "QFIT Control" of qfit.ini.
//
// A numeric setting can be overridden for a session by a script variable of the key's name;
// otherwise the profile value is used, then the default.
#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <cmath>

#include "FitSession.h"
#include "FitUtil.h"

namespace {

const char kSection[] = "QFIT Control";

// A keyword setting: the id of its word, the default when the word is missing or unknown.
int SettingKeyword(const char* text, int fallback)
{
    const int id = text[0] ? KeywordId(text) : -1;
    return id >= 0 ? id : fallback;
}

enum Kind { NUMBER_DOUBLE, NUMBER_INT, KEYWORD, GROUP, CHISQ_SWITCH };

struct Setting {
    const char* key;
    Kind kind;
    double numberDefault;
    size_t offset;  // of the session field
};

#define FIELD(f) offsetof(FittingSession, f)
const Setting kSettings[] = {
    {"STEP", NUMBER_INT, 1, FIELD(dataStep)},
    {"FITNPTS", NUMBER_INT, 60, FIELD(xPoints)},
    {"NOFITCURVE", NUMBER_INT, 0, FIELD(noFitCurve)},
    {"tolerance", NUMBER_DOUBLE, 0.05, FIELD(tolerance)},
    {"derivStepSize", NUMBER_DOUBLE, 0.005, FIELD(derivStep)},
    {"initNfitPts", NUMBER_INT, 100, FIELD(initNfitPts)},
    {"Function Group", GROUP, 0, FIELD(category)},
    {"Generate Curves After Fitting", KEYWORD, KW_YES, FIELD(optCurves)},
    {"Curve Point Spacing", KEYWORD, KW_SPACING_UNIFORM_AXIS, FIELD(optSpacing)},
    {"Generate Peaks After Fitting", KEYWORD, KW_YES, FIELD(optPeaksAfter)},
    {"Generate Peaks During Fitting", KEYWORD, KW_YES, FIELD(optPeaksDuring)},
    {"Paste Parameters to Plot After Fitting", KEYWORD, KW_YES, FIELD(optPasteToPlot)},
    {"Paste Parameters to Results Log After Fitting", KEYWORD, KW_YES, FIELD(optPasteToLog)},
    {"Enable ToolBar", KEYWORD, KW_YES, FIELD(enableToolbar)},
    {"Generate Peaks with Baseline", KEYWORD, KW_YES, FIELD(optPeaksBaseline)},
    {"Basic Fitter", KEYWORD, KW_YES, FIELD(basicFitter)},
    {"Keep Parameters", KEYWORD, KW_NO, FIELD(optKeepParams)},
    {"Generate Residue After Fitting", KEYWORD, KW_NO, FIELD(optResidue)},
    {"minDerivStepSize", NUMBER_DOUBLE, 5e-30, FIELD(minDerivStep)},
    {"maxDerivStepSize", NUMBER_DOUBLE, 5e+30, FIELD(maxDerivStep)},
    {"Simulate On Current Page", KEYWORD, KW_YES, FIELD(optSimulateCurrent)},
    {"ErrorsWithChiSq", CHISQ_SWITCH, 0, 0},
};
#undef FIELD

const char kDefaultGroup[] = "Quorix Basic Functions";

bool NameChar(char c)
{
    return isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// Whether a settings value is an expression the interpreter may evaluate without effects:
// numbers, variable names, arithmetic and function calls. qfit.ini is a file anyone may
// hand over, so anything that could assign (=, ++, --), run a statement or a command (;, a
// word followed by another word), call an object's method (a dotted name before "(") or
// substitute text (%, $, quotes, braces) is refused.
bool PlainExpression(const char* text)
{
    bool operand = false;  // the last token was a name or a number
    for (const char* p = text; *p;) {
        const char c = *p;
        if (c == ' ' || c == '\t') {
            ++p;
            continue;
        }
        if (NameChar(c) || c == '.') {
            if (operand)
                return false;
            const char* start = p;
            bool dotted = false;
            while (NameChar(*p) || *p == '.' ||
                   ((*p == '+' || *p == '-') && (p[-1] == 'e' || p[-1] == 'E') && isdigit(static_cast<unsigned char>(*start)))) {
                dotted = dotted || (*p == '.' && !isdigit(static_cast<unsigned char>(*start)));
                ++p;
            }
            const char* next = p;
            while (*next == ' ' || *next == '\t')
                ++next;
            if (dotted && *next == '(')
                return false;
            operand = true;
            continue;
        }
        if ((c == '+' || c == '-') && (p[1] == c))
            return false;
        if (!strchr("+-*/^(),<>", c))
            return false;
        operand = c == ')';
        ++p;
    }
    return true;
}

void ReportSetting(FittingSession* s, const char* text)
{
    if (s->callback)
        s->callback(s->hostWindow, HOST_REPORT_ERROR, FIT_ERR_SETTING, reinterpret_cast<INT_PTR>(text));
}

// A plain number is taken as it stands; only other text goes to the script interpreter, and
// only when it is a plain expression.
bool ProfileNumber(FittingSession* s, const char* key, const char* text, double* out)
{
    if (!text[0])
        return false;
    char* end;
    const double v = strtod(text, &end);
    if (end != text && *end == 0) {
        *out = v;
        return true;
    }
    if (!PlainExpression(text)) {
        char message[200];
        snprintf(message, sizeof message, "%s=%s in qfit.ini is not a plain expression; the default is used", key,
                 text);
        ReportSetting(s, message);
        return false;
    }
    return EvalNumber(s, text, out) == 0;
}

void ReadSetting(FittingSession* s, const Setting& setting, const char* file)
{
    char* base = reinterpret_cast<char*>(s);
    char text[65];
    switch (setting.kind) {
    case NUMBER_DOUBLE:
    case NUMBER_INT: {
        double v;
        if (EvalNumber(s, setting.key, &v) != 0) {
            ReadProfileString(kSection, setting.key, "", text, sizeof text, file);
            if (!ProfileNumber(s, setting.key, text, &v))
                v = setting.numberDefault;
        }
        if (const char* fault = SettingFault(s, setting.key, v)) {
            char message[200];
            snprintf(message, sizeof message, "%s=%.17g: %s; the value stays %.17g", setting.key, v, fault,
                     setting.kind == NUMBER_INT ? *reinterpret_cast<int*>(base + setting.offset)
                                                : *reinterpret_cast<double*>(base + setting.offset));
            ReportSetting(s, message);
            break;
        }
        if (setting.kind == NUMBER_INT)
            *reinterpret_cast<int*>(base + setting.offset) = static_cast<int>(v);
        else
            *reinterpret_cast<double*>(base + setting.offset) = v;
        break;
    }
    case KEYWORD:
        ReadProfileString(kSection, setting.key, "", text, sizeof text, file);
        *reinterpret_cast<int16_t*>(base + setting.offset) =
            static_cast<int16_t>(SettingKeyword(text, static_cast<int>(setting.numberDefault)));
        break;
    case GROUP:
        ReadProfileString(kSection, setting.key, kDefaultGroup, text, sizeof text, file);
        snprintf(s->category, sizeof s->category, "%s", text);
        break;
    case CHISQ_SWITCH: {
        char value[4];
        ReadProfileString(kSection, setting.key, "0", value, sizeof value, file);
        if (value[0] == '\n')
            strcpy(value, "0");
        ErrorsWithChiSq = FitTextToInt(value) > 0;
        break;
    }
    }
}

void WriteSetting(FittingSession* s, const Setting& setting, const char* file)
{
    const char* base = reinterpret_cast<const char*>(s);
    char text[64];
    switch (setting.kind) {
    case NUMBER_DOUBLE:
        FitFormatNumber(*reinterpret_cast<const double*>(base + setting.offset), text, sizeof text);
        WritePrivateProfileStringA(kSection, setting.key, text, file);
        break;
    case NUMBER_INT:
        FitFormatNumber(*reinterpret_cast<const int*>(base + setting.offset), text, sizeof text);
        WritePrivateProfileStringA(kSection, setting.key, text, file);
        break;
    case KEYWORD:
        WritePrivateProfileStringA(kSection, setting.key,
                                   KeywordText(*reinterpret_cast<const int16_t*>(base + setting.offset)), file);
        break;
    case GROUP:
        WritePrivateProfileStringA(kSection, setting.key, s->category, file);
        break;
    case CHISQ_SWITCH:
        snprintf(text, sizeof text, "%d", ErrorsWithChiSq ? 1 : 0);
        WritePrivateProfileStringA(kSection, setting.key, text, file);
        break;
    }
}

void JoinPath(char* out, size_t capacity, const char* folder, const char* name)
{
    const size_t n = strlen(folder);
    snprintf(out, capacity, "%s%s%s", folder, n && folder[n - 1] != '\\' ? "\\" : "", name);
}

}  // namespace

const char* SettingFault(const FittingSession* s, const char* key, double v)
{
    if (!std::isfinite(v))
        return "not a finite number";
    if (_stricmp(key, "tolerance") == 0 && v < 0)
        return "the tolerance cannot be negative";
    if (_stricmp(key, "derivStepSize") == 0 && v <= 0)
        return "the derivative step must be above 0";
    if (_stricmp(key, "minDerivStepSize") == 0 && (v < 0 || v > s->maxDerivStep))
        return "the smallest derivative step cannot be negative or above the largest";
    if (_stricmp(key, "maxDerivStepSize") == 0 && v < s->minDerivStep)
        return "the largest derivative step must not lie below the smallest";
    if (_stricmp(key, "STEP") == 0 && (v < 1 || v > 2147483647.0))
        return "the data step must be a whole number from 1";
    if ((_stricmp(key, "FITNPTS") == 0 || _stricmp(key, "initNfitPts") == 0) && (v < 0 || v > 2147483647.0))
        return "a number of points cannot be negative";
    return nullptr;
}

int SetCheckedSetting(FittingSession* s, const char* key, double* field, double v)
{
    if (const char* fault = SettingFault(s, key, v)) {
        char text[200];
        snprintf(text, sizeof text, "%s=%.17g: %s; the value stays %.17g", key, v, fault, *field);
        SetPendingText(s, text);
        return FIT_ERR_SETTING;
    }
    *field = v;
    return 0;
}

void GetIniPath(FittingSession* s, char* out, size_t capacity)
{
    char folder[QFIT_HOST_TEXT_CAPACITY] = "";
    CallHost(s, HOST_GET_SETTINGS_DIR, reinterpret_cast<INT_PTR>(folder), 0);
    folder[sizeof folder - 1] = 0;
    JoinPath(out, capacity, folder, "qfit.ini");
    if (GetFileAttributesA(out) != INVALID_FILE_ATTRIBUTES)
        return;
    folder[0] = 0;
    CallHost(s, HOST_GET_FALLBACK_DIR, reinterpret_cast<INT_PTR>(folder), 0);
    folder[sizeof folder - 1] = 0;
    JoinPath(out, capacity, folder, "qfit.ini");
}

void GetWritableIniPath(FittingSession* s, char* out, size_t capacity)
{
    char folder[QFIT_HOST_TEXT_CAPACITY] = "";
    CallHost(s, HOST_GET_SETTINGS_DIR, reinterpret_cast<INT_PTR>(folder), 0);
    folder[sizeof folder - 1] = 0;
    if (!folder[0]) {
        GetIniPath(s, out, capacity);
        return;
    }
    JoinPath(out, capacity, folder, "qfit.ini");
    if (GetFileAttributesA(out) != INVALID_FILE_ATTRIBUTES)
        return;
    // The program folder's file is shared by every user and may be read-only: the user's
    // own copy takes the changes, with the catalogue it lists (its relative category folders
    // are still found in the program folder).
    char shipped[2 * QFIT_HOST_TEXT_CAPACITY];
    GetIniPath(s, shipped, sizeof shipped);
    if (_stricmp(shipped, out) != 0)
        CopyFileA(shipped, out, TRUE);
}

void ExchangeFitSettings(FittingSession* s, int write)
{
    char file[2 * QFIT_HOST_TEXT_CAPACITY];
    if (write)
        GetWritableIniPath(s, file, sizeof file);
    else
        GetIniPath(s, file, sizeof file);
    for (const Setting& setting : kSettings) {
        if (write)
            WriteSetting(s, setting, file);
        else
            ReadSetting(s, setting, file);
    }
}

int FitSettingCode(FittingSession* s, int subCode, int get, double* value)
{
    double* d = nullptr;
    int* i = nullptr;
    switch (subCode) {
    case 1: i = &s->dataStep; break;
    case 2: d = &s->xBegin; break;
    case 3: d = &s->xEnd; break;
    case 4: i = &s->xPoints; break;
    case 5: i = &s->noFitCurve; break;
    case 6: return 0;
    case 7: d = &s->chiSqr; break;
    case 8: i = &s->evaluationLimit; break;
    case 9: d = &s->tolerance; break;
    case 10: d = &s->derivStep; break;
    case 11: i = &s->initNfitPts; break;
    default: return 1;
    }
    if (get) {
        *value = d ? *d : *i;
    } else if (d) {
        if (subCode == 9 || subCode == 10)
            return SetCheckedSetting(s, subCode == 9 ? "tolerance" : "derivStepSize", d, *value);
        *d = *value;
    } else {
        *i = static_cast<int>(*value);
        if (subCode == 1 && *i < 1)
            *i = 1;
    }
    return 0;
}
