// Model values at one data row: reading the row through the host, calling the library
// function or having the host evaluate a user-defined formula.
#include <ctype.h>
#include <limits.h>
#include <math.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>

#include "FitGuard.h"
#include "FitSession.h"
#include "FitUtil.h"

static int ReadValue(FittingSession* s, QFitDataset dataset, int row, bool alt, double* out)
{
    if (!dataset)
        return 1;
    QFitValueRecord r = {row, 0, 0.0};
    if (CallHost(s, alt ? HOST_GET_VALUE_ALT : HOST_GET_VALUE, dataset, reinterpret_cast<INT_PTR>(&r)) != 0)
        return 1;
    *out = r.value;
    return 0;
}

// Row code: 0 all values read; 1 an observed y missing (evaluated, enters no sum);
// 2 an independent value missing (the row is skipped).
int ReadFitSetRow(FittingSession* s, int fitSet, int row)
{
    const FitSetInfo& set = s->fitSets[fitSet];
    int code = 0;
    for (int d = set.firstDependent; d <= set.lastDependent; ++d) {
        DepVarInfo& v = s->dep[d];
        if (ReadValue(s, v.dataset, row, false, &v.y) != 0 || IsMissingValue(v.y))
            code = 1;
    }
    const int first = FirstIndepOfSet(s, fitSet);
    for (int i = first; i < first + IndepPerSet(s); ++i) {
        IndepVarInfo& v = s->indep[i];
        if (ReadValue(s, v.dataset, row, v.useAlt != 0, &v.value) != 0 || IsMissingValue(v.value))
            code = 2;
    }
    return code;
}

void DependentName(FittingSession* s, int d, char* out, size_t capacity)
{
    // Every fit set uses the function's own names.
    const int perSet = s->current->nDependent > 0 ? s->current->nDependent : s->nDep;
    const int inSet = (d - 1) % perSet + 1;
    int n = 0;
    const char* p = s->current->dependentNames;
    while (*p) {
        while (*p == ' ' || *p == ',')
            ++p;
        if (!*p)
            break;
        const char* start = p;
        while (*p && *p != ' ' && *p != ',')
            ++p;
        if (++n == inSet) {
            const char* equals = static_cast<const char*>(memchr(start, '=', p - start));
            snprintf(out, capacity, "%.*s", static_cast<int>((equals ? equals : p) - start), start);
            return;
        }
    }
    snprintf(out, capacity, perSet == 1 ? "y" : "y%d", inSet);
}

static INT_PTR SetVariable(FittingSession* s, const char* name, double value, double kind, double index)
{
    QFitVariableRecord r = {value, kind, index};
    return CallHost(s, HOST_SET_VARIABLE, reinterpret_cast<INT_PTR>(name), reinterpret_cast<INT_PTR>(&r));
}

static bool SameBits(double a, double b)
{
    return memcmp(&a, &b, sizeof a) == 0;
}

// Sets a model variable through its slot when the host gave one, and not at all when this
// chi-square pass already set it to the same value (see FittingSession::modelPass).
static inline INT_PTR SetModelVariable(FittingSession* s, int slot, double* last, int* lastPass,
                                       const char* name, double value, double kind, double index)
{
    if (!slot)
        return SetVariable(s, name, value, kind, index);
    if (s->modelPass && *lastPass == s->modelPass && SameBits(*last, value))
        return 0;
    QFitVariableRecord r = {value, kind, index};
    if (CallHost(s, HOST_SET_VARIABLE_SLOT, slot, reinterpret_cast<INT_PTR>(&r)) != 0)
        return SetVariable(s, name, value, kind, index);
    *last = value;
    *lastPass = s->modelPass;
    return 0;
}

void BeginModelPass(FittingSession* s)
{
    const FunctionDef* def = s->current;
    // Only an Expression's evaluation leaves the variables as they were set.
    s->modelPass = def && def->functionForm == KW_EXPRESSION && def->functionType != KW_BUILTIN &&
                           def->functionType != KW_EXTERNAL_DLL
                       ? ++s->passCounter
                       : 0;
    if (s->passCounter == INT_MAX)
        s->passCounter = 0;
}

void EndModelPass(FittingSession* s)
{
    s->modelPass = 0;
}

static INT_PTR EvalRecord(FittingSession* s, const char* text, double* out)
{
    QFitTextRecord r = {text, 0};
    return CallHost(s, HOST_EVAL_RECORD, reinterpret_cast<INT_PTR>(&r), reinterpret_cast<INT_PTR>(out));
}

// A formula the host evaluates many times: prepared once when the host can, else by text.
static int PrepareFormula(FittingSession* s, const char* text)
{
    int handle = 0;
    if (CallHost(s, HOST_PREPARE_FORMULA, reinterpret_cast<INT_PTR>(text), reinterpret_cast<INT_PTR>(&handle)) != 0)
        return 0;
    return handle;
}

static INT_PTR EvalPrepared(FittingSession* s, int handle, const char* text, double* out)
{
    if (handle)
        return CallHost(s, HOST_EVAL_PREPARED, handle, reinterpret_cast<INT_PTR>(out));
    return EvalRecord(s, text, out);
}

static int VariableSlot(FittingSession* s, const char* name)
{
    int slot = 0;
    if (CallHost(s, HOST_VARIABLE_SLOT, reinterpret_cast<INT_PTR>(name), reinterpret_cast<INT_PTR>(&slot)) != 0)
        return 0;
    return slot;
}

// The host's rewriting of a formula into the session's formula buffer; a host that does
// not rewrite leaves the formula as it is.
static void Translate(FittingSession* s, const char* formula)
{
    snprintf(s->formulaText, sizeof s->formulaText, "%s", formula);
    char translated[QFIT_FORMULA_CAPACITY] = "";
    if (CallHost(s, HOST_TRANSLATE_FORMULA, reinterpret_cast<INT_PTR>(translated), reinterpret_cast<INT_PTR>(formula)) ==
            0 &&
        translated[0]) {
        translated[sizeof translated - 1] = 0;
        snprintf(s->formulaText, sizeof s->formulaText, "%s", translated);
    }
}

int ParseEquations(FittingSession* s, const char* text)
{
    // Runs of line ends, ";" and "," become one ";" (a comma inside parentheses separates
    // arguments, not equations), other blanks go, and the text is upper-cased.
    char buffer[QFIT_FORMULA_CAPACITY];
    size_t n = 0;
    int depth = 0;
    bool separator = false;
    for (const char* p = text; *p; ++p) {
        const char c = *p;
        if (c == '(')
            ++depth;
        else if (c == ')' && depth > 0)
            --depth;
        if (c == '\r' || c == '\n' || c == ';' || (c == ',' && depth == 0)) {
            separator = n > 0;
            continue;
        }
        if (isspace(static_cast<unsigned char>(c)))
            continue;
        if (n + 3 >= sizeof buffer)
            return -1;
        if (separator)
            buffer[n++] = ';';
        separator = false;
        buffer[n++] = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    }
    buffer[n++] = ';';
    buffer[n] = 0;
    Translate(s, buffer);
    // Split at "=" and ";": the names into their slots, each right-hand text ended in place.
    int count = 0;
    for (char* p = s->formulaText; *p;) {
        char* end = p + strcspn(p, ";");
        char* eq = static_cast<char*>(memchr(p, '=', end - p));
        const bool last = *end == 0;
        *end = 0;
        if (eq) {
            if (count == MAX_EQUATIONS || eq - p >= PARAM_NAME_CHARS || eq == p)
                return -1;
            ++count;
            snprintf(s->equationNames[count], PARAM_NAME_CHARS, "%.*s", static_cast<int>(eq - p), p);
            s->equationStart[count] = static_cast<int>(eq + 1 - s->formulaText);
            CallHost(s, HOST_SET_VARIABLE, reinterpret_cast<INT_PTR>(s->equationNames[count]), 0);
        }
        p = last ? end : end + 1;
    }
    s->nEquations = count;
    return count;
}

static int Prepare(FittingSession* s);

// The current user-defined function made ready for evaluation, once for each set-up and
// formula text; 0 when done.
int PrepareUserFormula(FittingSession* s)
{
    // Within a chi-square pass the formula cannot change: it is compared once per pass.
    if (s->prepared && s->modelPass && s->preparedPass == s->modelPass)
        return 0;
    static_assert(sizeof s->preparedFor == sizeof s->current->formula && sizeof s->preparedFor % 8 == 0,
                  "the formula buffers are compared a word at a time");
    if (s->prepared && SameText(s->preparedFor, s->current->formula, sizeof s->preparedFor)) {
        s->preparedPass = s->modelPass;
        return 0;
    }
    return Prepare(s);
}

// Kept apart from the check above, which runs for every evaluation: its buffers would
// make every call pay for a large stack frame.
static int Prepare(FittingSession* s)
{
    const FunctionDef* def = s->current;
    s->prepared = 0;
    s->formulaHandle = 0;
    s->nEquations = 0;
    if (def->functionForm == KW_EXPRESSION) {
        char upper[QFIT_FORMULA_CAPACITY];
        snprintf(upper, sizeof upper, "%s", def->formula);
        for (char* c = upper; *c; ++c)
            *c = static_cast<char>(toupper(static_cast<unsigned char>(*c)));
        Translate(s, upper);
        s->formulaHandle = PrepareFormula(s, s->formulaText);
    } else if (def->functionForm != KW_Y_SCRIPT) {
        if (ParseEquations(s, def->formula) < 0)
            return 1;
        for (int k = 1; k <= s->nEquations; ++k) {
            s->equationHandle[k] = PrepareFormula(s, s->formulaText + s->equationStart[k]);
            s->equationSlot[k] = VariableSlot(s, s->equationNames[k]);
        }
    }
    for (int i = 1; i <= s->nIndep; ++i) {
        s->indep[i].slot = VariableSlot(s, s->indep[i].name);
        s->indep[i].lastPass = 0;
    }
    for (int j = 1; j <= ParamsPerSet(s) && j <= MAX_PARAMS; ++j) {
        s->paramSlot[j] = VariableSlot(s, s->names[j]);
        s->paramPass[j] = 0;
    }
    for (int d = 1; d <= s->nDep; ++d) {
        char name[PARAM_NAME_CHARS];
        DependentName(s, d, name, sizeof name);
        s->dep[d].readHandle = def->functionForm == KW_EXPRESSION ? 0 : PrepareFormula(s, name);
    }
    snprintf(s->preparedFor, sizeof s->preparedFor, "%s", def->formula);
    s->prepared = 1;
    s->preparedPass = s->modelPass;
    return 0;
}

static int EvaluateUserDefined(FittingSession* s, int modeFlags, int fitSet)
{
    FunctionDef* def = s->current;
    const FitSetInfo& set = s->fitSets[fitSet];
    if (PrepareUserFormula(s))
        return 1;
    INT_PTR answers = 0;
    const int first = FirstIndepOfSet(s, fitSet);
    for (int i = first; i < first + IndepPerSet(s); ++i) {
        IndepVarInfo& v = s->indep[i];
        answers |= SetModelVariable(s, v.slot, &v.lastSet, &v.lastPass, v.name, v.value, 1.0, 0.0);
    }
    // The host knows the parameters only as script variables: the formula's names (those
    // of the first fit set) get the values the engine is trying now for this set.
    const int slots = ParamsPerSet(s);
    for (int j = 1; j <= slots; ++j)
        answers |= SetModelVariable(s, s->paramSlot[j], &s->paramSet[j], &s->paramPass[j], s->names[j],
                                    s->value[ParamOfSlot(s, fitSet, j)], 4.0, j);

    if (def->functionForm == KW_EXPRESSION) {
        answers |= EvalPrepared(s, s->formulaHandle, s->formulaText, &s->dep[set.firstDependent].fitted);
    } else if (def->functionForm == KW_Y_SCRIPT) {
        answers |= CallHost(s, HOST_RUN_SCRIPT, reinterpret_cast<INT_PTR>(def->formula), 0);
    } else {
        // Equations: each result becomes a script variable the later equations can use.
        for (int k = 1; k <= s->nEquations; ++k) {
            double v = MISSING_VALUE;
            answers |= EvalPrepared(s, s->equationHandle[k], s->formulaText + s->equationStart[k], &v);
            int unused = 0;
            double last = 0;
            answers |= SetModelVariable(s, s->equationSlot[k], &last, &unused, s->equationNames[k], v, 1.0, 0.0);
        }
    }
    if (def->functionForm != KW_EXPRESSION) {
        for (int d = set.firstDependent; d <= set.lastDependent; ++d) {
            char name[PARAM_NAME_CHARS];
            DependentName(s, d, name, sizeof name);
            double v = MISSING_VALUE;
            answers |= EvalPrepared(s, s->dep[d].readHandle, name, &v);
            s->dep[d].fitted = v;
        }
    }
    if ((modeFlags & FITMODE_DERIVATIVES) && def->functionForm == KW_Y_SCRIPT && def->derivativeFlag) {
        for (int d = set.firstDependent; d <= set.lastDependent; ++d) {
            char depName[PARAM_NAME_CHARS];
            DependentName(s, d, depName, sizeof depName);
            for (int j = 1; j <= slots; ++j) {
                // A replica's parameter ("A_2" of fit set 2) is derived as its base name.
                const int k = ParamOfSlot(s, fitSet, j);
                const int base = static_cast<int>(strcspn(s->names[k], "_"));
                char name[2 * PARAM_NAME_CHARS + 2];
                snprintf(name, sizeof name, "%s'%.*s", depName, base, s->names[k]);
                double v = 0;
                answers |= CallHost(s, HOST_EVAL_NUMBER, reinterpret_cast<INT_PTR>(name), reinterpret_cast<INT_PTR>(&v));
                s->derivatives[d][k] = v;
            }
        }
    }
    return answers != 0;
}

int EvaluateExpressionRows(FittingSession* s, int fitSet, const double* const* columns, int rows, double* out,
                           int nParamColumns, const int* paramSlots)
{
    const FunctionDef* def = s->current;
    if (!def || def->functionForm != KW_EXPRESSION || def->functionType == KW_BUILTIN ||
        def->functionType == KW_EXTERNAL_DLL || PrepareUserFormula(s) || !s->formulaHandle || rows <= 0)
        return 1;
    const int first = FirstIndepOfSet(s, fitSet), nIndep = IndepPerSet(s);
    int32_t slots[2 * (MAX_PARAMS + 1)];
    if (nIndep > MAX_PARAMS || nParamColumns < 0 || nParamColumns > MAX_PARAMS)
        return 1;
    const int nSlots = ParamsPerSet(s);
    // Cleared over the set's slots only: the whole array would be most of a small request.
    bool inColumns[MAX_PARAMS + 1];
    for (int j = 0, end = std::min(nSlots, static_cast<int>(MAX_PARAMS)); j <= end; ++j)
        inColumns[j] = false;
    for (int c = 0; c < nParamColumns; ++c) {
        const int j = paramSlots[c];
        if (j < 1 || j > nSlots || !s->paramSlot[j])
            return 1;
        slots[nIndep + c] = s->paramSlot[j];
        inColumns[j] = true;
    }
    INT_PTR answers = 0;
    // The variables as the first row sets them (kinds and indices included); the host then
    // sets only their values, row by row. A variable of a column whose kind and index an
    // earlier request of this run set needs its values only (see rowCacheRun).
    const int run = s->rowCacheRun;
    for (int i = 0; i < nIndep; ++i) {
        IndepVarInfo& v = s->indep[first + i];
        if (!v.slot)
            return 1;
        slots[i] = v.slot;
        if (!run || v.kindRun != run)
            answers |= SetModelVariable(s, v.slot, &v.lastSet, &v.lastPass, v.name, columns[i][0], 1.0, 0.0);
    }
    for (int j = 1; j <= nSlots; ++j)
        if (!run || !inColumns[j] || s->paramKindRun[j] != run)
            answers |= SetModelVariable(s, s->paramSlot[j], &s->paramSet[j], &s->paramPass[j], s->names[j],
                                        s->value[ParamOfSlot(s, fitSet, j)], 4.0, j);
    if (answers)
        return 1;
    QFitRowsRecord r = {s->formulaHandle, rows, nIndep + nParamColumns, slots, columns, out, 0};
    // A host that answers without evaluating every row has not evaluated them.
    const bool failed = CallHost(s, HOST_EVAL_PREPARED_ROWS, 0, reinterpret_cast<INT_PTR>(&r)) != 0 || r.done != rows;
    // The host leaves each variable at the last row's value.
    const bool known = r.done > 0 && r.done <= rows;
    for (int i = 0; i < nIndep; ++i) {
        IndepVarInfo& v = s->indep[first + i];
        v.lastSet = known ? columns[i][r.done - 1] : v.lastSet;
        if (failed)
            v.lastPass = 0;
        v.kindRun = failed ? 0 : run;
    }
    for (int c = 0; c < nParamColumns; ++c) {
        const int j = paramSlots[c];
        s->paramSet[j] = known ? columns[nIndep + c][r.done - 1] : s->paramSet[j];
        if (failed)
            s->paramPass[j] = 0;
        s->paramKindRun[j] = failed ? 0 : run;
    }
    return failed;
}

// Functions bound by ordinal take (host window, record, parameter count, &p[1], callback)
// instead of the argument list. With one independent and one dependent variable the record
// is {x; CURROW} and the function writes y over x; otherwise it is RecordOfVariables.

struct RecordOfVariables {
    int32_t currentRow;
    QFitDataset* datasets;  // 1-based, one per independent variable
    int32_t unused;
    double* x;              // 1-based
    double* y;              // 1-based
};

static int EvaluateRecordForm(FittingSession* s, int fitSet)
{
    const FitSetInfo& set = s->fitSets[fitSet];
    FitFunction function = s->current->function;
    int answer;
    const int first = FirstIndepOfSet(s, fitSet), nIndep = IndepPerSet(s), slots = s->callSlots;
    if (nIndep == 1 && set.firstDependent == set.lastDependent) {
        double record[2] = {s->indep[first].value, static_cast<double>(s->currentRow)};
        answer = GuardedRecordCall(reinterpret_cast<void*>(function), s->hostWindow, record, slots,
                                   &s->callParams[1], reinterpret_cast<void*>(s->callback));
        s->callY[1] = record[0];
    } else {
        QFitDataset datasets[MAX_PARAMS + 1] = {};
        for (int i = 1; i <= nIndep && i <= MAX_PARAMS; ++i)
            datasets[i] = s->indep[first + i - 1].dataset;
        RecordOfVariables record = {s->currentRow, datasets, 0, s->callX, s->callY};
        answer = GuardedRecordCall(reinterpret_cast<void*>(function), s->hostWindow, &record, slots,
                                   &s->callParams[1], reinterpret_cast<void*>(s->callback));
    }
    for (int d = set.firstDependent; d <= set.lastDependent; ++d) {
        const double y = answer ? MISSING_VALUE : s->callY[d - set.firstDependent + 1];
        s->dep[d].fitted = y;
        if (!std::isfinite(y) || IsMissingValue(y))
            answer = 1;
    }
    return answer != 0;
}

void InitRecordFunction(FittingSession* s)
{
    FunctionDef* def = s->current;
    if (!def || !def->function || !def->byOrdinal || def->functionType != KW_EXTERNAL_DLL)
        return;
    RecordOfVariables empty = {0, nullptr, 0, nullptr, nullptr};
    GuardedRecordCall(reinterpret_cast<void*>(def->function), s->hostWindow, &empty, 0, &s->callParams[1],
                      reinterpret_cast<void*>(s->callback));
}

static int EvaluateLibrary(FittingSession* s, int modeFlags, int fitSet)
{
    FunctionDef* def = s->current;
    const FitSetInfo& set = s->fitSets[fitSet];
    if (!def->function)
        return 1;
    const int first = FirstIndepOfSet(s, fitSet), slots = s->callSlots;
    for (int i = 1; i <= IndepPerSet(s); ++i)
        s->callX[i] = s->indep[first + i - 1].value;
    for (int j = 1; j <= slots; ++j)
        s->callParams[j] = s->value[ParamOfCallSlot(s, fitSet, j)];
    if (def->byOrdinal)
        return EvaluateRecordForm(s, fitSet);
    const int mode = (modeFlags & FITMODE_DERIVATIVES) ? FITMODE_DERIVATIVES : FITMODE_VALUE;
    const int answer = GuardedFitCall(reinterpret_cast<void*>(def->function), mode,
                                      reinterpret_cast<void*>(s->callback), slots, s->currentRow, 0,
                                      s->callParams, s->callWork, s->callX, s->callY, s->callDerivs);
    int failed = answer != 0;
    for (int d = set.firstDependent; d <= set.lastDependent; ++d) {
        const double y = s->callY[d - set.firstDependent + 1];
        s->dep[d].fitted = y;
        if (!std::isfinite(y) || IsMissingValue(y))
            failed = 1;
        if (mode == FITMODE_DERIVATIVES) {
            // A parameter the replicas share enters the model through each of its slots.
            for (int j = 1; j <= slots; ++j)
                s->derivatives[d][ParamOfCallSlot(s, fitSet, j)] = 0;
            for (int j = 1; j <= slots; ++j) {
                s->derivatives[d][ParamOfCallSlot(s, fitSet, j)] += s->callDerivs[j];
                if (!std::isfinite(s->callDerivs[j]))
                    failed = 1;
            }
        }
    }
    return failed;
}

int EvaluateModel(FittingSession* s, int modeFlags, int fitSet)
{
    if (!s->current)
        return 1;
    if (s->current->functionType == KW_BUILTIN || s->current->functionType == KW_EXTERNAL_DLL)
        return EvaluateLibrary(s, modeFlags, fitSet);
    return EvaluateUserDefined(s, modeFlags, fitSet);
}

int EvaluateAt(FittingSession* s, const double* values, double* out)
{
    s->currentRow = static_cast<int>(values[0]);
    for (int i = 1; i <= IndepPerSet(s); ++i)
        s->indep[i].value = values[i];
    const int code = EvaluateModel(s, FITMODE_VALUE, 1);
    for (int d = 1; d <= s->nDep; ++d)
        out[d] = code ? MISSING_VALUE : s->dep[d].fitted;
    return code;
}
