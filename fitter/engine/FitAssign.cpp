// Giving the laid-out function its starting state: datasets named by scripts, the weight
// datasets, and the initial values, bounds and digits the definition states.
#include <ctype.h>
#include <stdio.h>
#include <string.h>

#include "FitSession.h"
#include "FitUtil.h"

namespace {

// Splits "value(letter,word)" at blanks, "(", "," and ")" into at most three parts.
int SplitEntry(const char* entry, char parts[3][QFIT_HOST_TEXT_CAPACITY])
{
    int n = 0;
    const char* p = entry;
    for (; n < 3; ++n) {
        parts[n][0] = 0;
        p = NextToken(p, " (,)", parts[n], QFIT_HOST_TEXT_CAPACITY);
        if (!parts[n][0])
            break;
    }
    for (int i = n; i < 3; ++i)
        parts[i][0] = 0;
    return n;
}

double EvaluateOrMissing(FittingSession* s, const char* text)
{
    double v;
    return text[0] && EvalNumber(s, text, &v) == 0 ? v : MISSING_VALUE;
}

bool StartsWith(const char* text, char letter)
{
    return toupper(static_cast<unsigned char>(text[0])) == letter;
}

// The next comma-separated part of a script argument, without the blanks around it.
const char* NextPart(const char* text, char* out, size_t capacity)
{
    const char* p = NextToken(text, ",", out, capacity);
    char* start = out;
    while (*start == ' ' || *start == '\t')
        ++start;
    size_t n = strlen(start);
    while (n > 0 && (start[n - 1] == ' ' || start[n - 1] == '\t'))
        --n;
    memmove(out, start, n);
    out[n] = 0;
    return p;
}

void DefineVariable(FittingSession* s, const char* name)
{
    QFitVariableRecord r = {0.0, 1.0, 0.0};
    CallHost(s, HOST_SET_VARIABLE, reinterpret_cast<INT_PTR>(name), reinterpret_cast<INT_PTR>(&r));
}

}  // namespace

void ApplyDefinitionValues(FittingSession* s)
{
    const FunctionDef* def = s->current;
    if (!def || !s->value)
        return;
    const int count = def->nParams < s->nParams ? def->nParams : s->nParams;
    char entry[FDF_TEXT_CHARS], parts[3][QFIT_HOST_TEXT_CAPACITY];
    const char* p = def->initialValues;
    for (int k = 1; k <= count && (p = NextToken(p, ",", entry, sizeof entry)) != nullptr; ++k) {
        SplitEntry(entry, parts);
        s->value[k] = EvaluateOrMissing(s, parts[0]);
        s->flags[k] = StartsWith(parts[1], 'V') ? (s->flags[k] | PARAM_VARIES) : (s->flags[k] & ~PARAM_VARIES);
    }
    // Duplicated parameters start as their base parameters.
    for (int k = def->nParams + 1; k <= s->nParams; ++k) {
        const int base = BaseOfLocal(s, k);
        s->value[k] = s->value[base];
        s->flags[k] = s->flags[base];
    }
    // A parameter without a stated value takes the script variable of its name.
    for (int k = 1; k <= s->nParams; ++k)
        if (IsMissingValue(s->value[k]))
            s->value[k] = EvaluateOrMissing(s, s->names[k]);
    const struct {
        const char* list;
        double* bounds;
        BYTE exclusive, on;
    } sides[] = {
        {def->lowerBounds, s->lowerBound, PARAM_LB_EXCLUSIVE, PARAM_LB_ON},
        {def->upperBounds, s->upperBound, PARAM_UB_EXCLUSIVE, PARAM_UB_ON},
    };
    for (const auto& side : sides) {
        p = side.list;
        for (int k = 1; k <= count && (p = NextToken(p, ",", entry, sizeof entry)) != nullptr; ++k) {
            SplitEntry(entry, parts);
            side.bounds[k] = EvaluateOrMissing(s, parts[0]);
            BYTE flags = static_cast<BYTE>(s->flags[k] & ~(side.exclusive | side.on));
            if (StartsWith(parts[1], 'X'))
                flags |= side.exclusive;
            if (_stricmp(parts[2], "On") == 0 && !IsMissingValue(side.bounds[k]))
                flags |= side.on;
            s->flags[k] = flags;
        }
        for (int k = def->nParams + 1; k <= s->nParams; ++k) {
            const int base = BaseOfLocal(s, k);
            side.bounds[k] = side.bounds[base];
            s->flags[k] = static_cast<BYTE>((s->flags[k] & ~(side.exclusive | side.on)) |
                                            (s->flags[base] & (side.exclusive | side.on)));
        }
    }
}

int SetVariableDataset(FittingSession* s, const char* argument)
{
    char name[QFIT_HOST_TEXT_CAPACITY], dataset[QFIT_HOST_TEXT_CAPACITY];
    const char* p = NextPart(argument, name, sizeof name);
    NextPart(p, dataset, sizeof dataset);
    if (!name[0] || !dataset[0])
        return 1;
    // The first of rows 1..10 whose independent or dependent variable bears the name.
    for (int row = 1; row <= 10; ++row) {
        int* first = nullptr;
        int* end = nullptr;
        QFitDataset* target = nullptr;
        char depName[PARAM_NAME_CHARS] = "";
        if (row <= s->nDep)
            DependentName(s, row, depName, sizeof depName);
        if (row <= s->nIndep && _stricmp(s->indep[row].name, name) == 0) {
            first = &s->indep[row].first;
            end = &s->indep[row].end;
            target = &s->indep[row].dataset;
        } else if (row <= s->nDep && _stricmp(depName, name) == 0) {
            first = &s->dep[row].first;
            end = &s->dep[row].end;
            target = &s->dep[row].dataset;
        } else {
            continue;
        }
        const QFitDataset found = FindDatasetRange(s, dataset, first, end);
        if (!found)
            return 1;
        *target = found;
        DefineVariable(s, name);
        return 0;
    }
    return 1;
}

int SetWeightDataset(FittingSession* s, const char* argument)
{
    char index[QFIT_HOST_TEXT_CAPACITY], name[QFIT_HOST_TEXT_CAPACITY], dataset[QFIT_HOST_TEXT_CAPACITY];
    const char* p = NextPart(argument, index, sizeof index);
    p = NextPart(p, name, sizeof name);
    NextPart(p, dataset, sizeof dataset);
    double v;
    if (EvalNumber(s, index, &v) != 0)
        return 1;
    const int d = static_cast<int>(v) < 1 ? 1 : static_cast<int>(v);
    if (d > s->nDep || d > 10)
        return 1;
    const QFitDataset found = CallHost(s, HOST_FIND_DATASET, reinterpret_cast<INT_PTR>(dataset), 0);
    if (!found)
        return 1;
    snprintf(s->dep[d].weightName, sizeof s->dep[d].weightName, "%s", name);
    if (name[0])
        DefineVariable(s, name);
    s->dep[d].weightDataset = found;
    return 0;
}

void ClearDatasetAssignments(FittingSession* s)
{
    for (int d = 1; d <= s->nDep; ++d) {
        DepVarInfo& v = s->dep[d];
        v.dataset = 0;
        v.weightDataset = 0;
        v.liveDataset = 0;
        v.step = 1;
        v.xBegin = v.xEnd = MISSING_VALUE;
        v.first = v.end = 0;
    }
    ForgetResultDatasets(s);
    for (int i = 1; i <= s->nIndep; ++i) {
        IndepVarInfo& v = s->indep[i];
        v.dataset = 0;
        v.useAlt = 0;
        v.xFrom = v.xTo = MISSING_VALUE;
        v.first = v.end = 0;
    }
}
