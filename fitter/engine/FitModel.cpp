// Model values at one data row: reading the row through the host, calling the library
// function or having the host evaluate a user-defined formula.
#include <ctype.h>
#include <math.h>
#include <stdio.h>
#include <string.h>

#include "FitGuard.h"
#include "FitSession.h"

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

static INT_PTR EvalRecord(FittingSession* s, const char* text, double* out)
{
    QFitTextRecord r = {text, 0};
    return CallHost(s, HOST_EVAL_RECORD, reinterpret_cast<INT_PTR>(&r), reinterpret_cast<INT_PTR>(out));
}

static int EvaluateUserDefined(FittingSession* s, int modeFlags, int fitSet)
{
    FunctionDef* def = s->current;
    const FitSetInfo& set = s->fitSets[fitSet];
    INT_PTR answers = 0;
    const int first = FirstIndepOfSet(s, fitSet);
    for (int i = first; i < first + IndepPerSet(s); ++i)
        answers |= SetVariable(s, s->indep[i].name, s->indep[i].value, 1.0, 0.0);
    // The host knows the parameters only as script variables: the formula's names (those
    // of the first fit set) get the values the engine is trying now for this set.
    const int slots = ParamsPerSet(s);
    for (int j = 1; j <= slots; ++j)
        answers |= SetVariable(s, s->names[j], s->value[ParamOfSlot(s, fitSet, j)], 4.0, j);

    if (def->functionForm == KW_EXPRESSION) {
        char text[QFIT_FORMULA_CAPACITY];
        snprintf(text, sizeof text, "%s", def->formula);
        for (char* c = text; *c; ++c)
            *c = static_cast<char>(toupper(static_cast<unsigned char>(*c)));
        answers |= EvalRecord(s, text, &s->dep[set.firstDependent].fitted);
    } else if (def->functionForm == KW_Y_SCRIPT) {
        answers |= CallHost(s, HOST_RUN_SCRIPT, reinterpret_cast<INT_PTR>(def->formula), 0);
    } else {
        // Equations: one "name = expression" per line or ";"; each result becomes a script
        // variable the later equations can use.
        const char* p = def->formula;
        while (*p) {
            const char* end = p + strcspn(p, ";\r\n");
            const char* eq = static_cast<const char*>(memchr(p, '=', end - p));
            if (eq) {
                char name[PARAM_NAME_CHARS + 8], expression[QFIT_FORMULA_CAPACITY];
                const char* a = p;
                while (a < eq && isspace(static_cast<unsigned char>(*a)))
                    ++a;
                const char* b = eq;
                while (b > a && isspace(static_cast<unsigned char>(b[-1])))
                    --b;
                snprintf(name, sizeof name, "%.*s", static_cast<int>(b - a), a);
                snprintf(expression, sizeof expression, "%.*s", static_cast<int>(end - eq - 1), eq + 1);
                double v = MISSING_VALUE;
                answers |= EvalRecord(s, expression, &v);
                answers |= SetVariable(s, name, v, 1.0, 0.0);
            }
            p = *end ? end + 1 : end;
        }
    }
    if (def->functionForm != KW_EXPRESSION) {
        for (int d = set.firstDependent; d <= set.lastDependent; ++d) {
            char name[PARAM_NAME_CHARS];
            DependentName(s, d, name, sizeof name);
            double v = MISSING_VALUE;
            answers |= CallHost(s, HOST_EVAL_NUMBER, reinterpret_cast<INT_PTR>(name), reinterpret_cast<INT_PTR>(&v));
            s->dep[d].fitted = v;
        }
    }
    if ((modeFlags & FITMODE_DERIVATIVES) && def->functionForm == KW_Y_SCRIPT && def->derivativeFlag) {
        for (int d = set.firstDependent; d <= set.lastDependent; ++d) {
            char depName[PARAM_NAME_CHARS];
            DependentName(s, d, depName, sizeof depName);
            for (int j = 1; j <= slots; ++j) {
                char name[2 * PARAM_NAME_CHARS + 2];
                snprintf(name, sizeof name, "%s'%s", depName, s->names[j]);
                double v = 0;
                answers |= CallHost(s, HOST_EVAL_NUMBER, reinterpret_cast<INT_PTR>(name), reinterpret_cast<INT_PTR>(&v));
                s->derivatives[d][ParamOfSlot(s, fitSet, j)] = v;
            }
        }
    }
    return answers != 0;
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
    const int first = FirstIndepOfSet(s, fitSet), nIndep = IndepPerSet(s), slots = ParamsPerSet(s);
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
    const int first = FirstIndepOfSet(s, fitSet), slots = ParamsPerSet(s);
    for (int i = 1; i <= IndepPerSet(s); ++i)
        s->callX[i] = s->indep[first + i - 1].value;
    for (int j = 1; j <= slots; ++j)
        s->callParams[j] = s->value[ParamOfSlot(s, fitSet, j)];
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
        if (mode == FITMODE_DERIVATIVES)
            for (int j = 1; j <= slots; ++j) {
                s->derivatives[d][ParamOfSlot(s, fitSet, j)] = s->callDerivs[j];
                if (!std::isfinite(s->callDerivs[j]))
                    failed = 1;
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
