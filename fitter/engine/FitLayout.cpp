// Laying a session out for its current function: the loaded definitions, library binding,
// the parameter table, the variable rows, and the opening and closing of a fitting session.
//
// This layout covers one fit set without duplicates: parameters 1..Number Of Parameters of
// the definition, dependent variables 1..n in fit set 1.
#include <ctype.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>

#include "FitGuard.h"
#include "FitMemory.h"
#include "FitSession.h"
#include "FitUtil.h"
#include "../ui/FitterWindow.h"

int AddLoadedFunction(FittingSession* s, const FunctionDef* def)
{
    if (s->nFunctions == s->functionCapacity) {
        const int capacity = s->functionCapacity ? s->functionCapacity * 2 : 8;
        FunctionDef** grown = AllocArray<FunctionDef*>(capacity);
        if (!grown)
            return FIT_ERR_NO_MEMORY;
        if (s->functions)
            memcpy(grown, s->functions, s->nFunctions * sizeof(FunctionDef*));
        FreeLockedBlock(s->functions);
        s->functions = grown;
        s->functionCapacity = capacity;
    }
    FunctionDef* copy = AllocArray<FunctionDef>(1);
    if (!copy)
        return FIT_ERR_NO_MEMORY;
    *copy = *def;
    copy->module = nullptr;
    copy->function = nullptr;
    copy->constraints = nullptr;
    if (def->constraints && def->constraints[0]) {
        const size_t n = strlen(def->constraints) + 1;
        copy->constraints = AllocArray<char>(n);
        if (!copy->constraints) {
            FreeLockedBlock(copy);
            return FIT_ERR_NO_MEMORY;
        }
        memcpy(copy->constraints, def->constraints, n);
    }
    s->functions[s->nFunctions++] = copy;
    return 0;
}

FunctionDef* FindLoadedFunction(FittingSession* s, const char* name)
{
    for (int i = 0; i < s->nFunctions; ++i)
        if (_stricmp(s->functions[i]->name, name) == 0)
            return s->functions[i];
    return nullptr;
}

void FreeFunctionLibrary(FunctionDef* def)
{
    if (!def)
        return;
    if (def->module)
        FreeLibrary(def->module);
    def->module = nullptr;
    def->function = nullptr;
}

// Function libraries load from the program folder only: LIB is a plain file name. A
// definition file is data that may come from anywhere, so a LIB naming another folder
// (absolute, relative or through "..") is refused rather than loaded.
HMODULE LoadLibraryFromProgramDir(FittingSession* s, const char* name)
{
    if (!name[0] || strpbrk(name, "\\/:") || strstr(name, ".."))
        return nullptr;
    char path[QFIT_HOST_TEXT_CAPACITY + MAX_PATH] = "";
    CallHost(s, HOST_GET_PROGRAM_DIR, reinterpret_cast<INT_PTR>(path), 0);
    path[QFIT_HOST_TEXT_CAPACITY - 1] = 0;
    const size_t n = strlen(path);
    if (n && path[n - 1] != '\\' && path[n - 1] != '/')
        strcat(path, "\\");
    if (strlen(path) + strlen(name) >= sizeof path)
        return nullptr;
    strcat(path, name);
    return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

// The function's answer to the capability query: 1 when it computes analytic derivatives.
static int16_t QueryDerivatives(FittingSession* s, FitFunction function)
{
    double params[2] = {0, 0}, x[2] = {0, 0}, y[3] = {0, 0, 0}, d[2] = {0, 0};
    return static_cast<int16_t>(GuardedFitCall(reinterpret_cast<void*>(function), FITMODE_QUERY,
                                               reinterpret_cast<void*>(s->callback), 0, 0, 0, params, s->callWork,
                                               x, y, d));
}

int LoadFunctionLibrary(FittingSession* s)
{
    FunctionDef* def = s->current;
    if (!def || def->functionType == KW_USER_DEFINED)
        return 0;
    FreeFunctionLibrary(def);
    def->byOrdinal = 0;
    const char* dot = strrchr(def->source, '.');
    if (!dot)
        return 0;
    const char* func = dot + 1;
    bool digits = *func != 0;
    for (const char* c = func; *c; ++c)
        digits = digits && isdigit(static_cast<unsigned char>(*c));
    if (!*func || !(isalpha(static_cast<unsigned char>(*func)) || digits))
        return 0;
    char lib[MAX_PATH];
    if (dot - def->source >= static_cast<ptrdiff_t>(sizeof lib) - 5)
        return 1;
    snprintf(lib, sizeof lib, "%.*s", static_cast<int>(dot - def->source), def->source);
    if (_stricmp(lib, "curvelib") == 0)
        strcpy(lib, "QCLB60");
    strcat(lib, ".dll");
    def->module = LoadLibraryFromProgramDir(s, lib);
    if (!def->module)
        return 1;
    if (def->functionType == KW_EXTERNAL_DLL) {
        if (digits) {
            def->function = reinterpret_cast<FitFunction>(
                GetProcAddress(def->module, MAKEINTRESOURCEA(atoi(func))));
            def->byOrdinal = 1;
        } else {
            def->function = reinterpret_cast<FitFunction>(GetProcAddress(def->module, func));
        }
        // A function found by name follows the library convention and is asked, as a
        // Built-in one is, whether it computes its own derivatives; the record form of one
        // bound by ordinal has no such question.
        def->derivativeFlag = def->function && !def->byOrdinal ? QueryDerivatives(s, def->function) : 0;
    } else {
        GetFuncProc getFunc = reinterpret_cast<GetFuncProc>(GetProcAddress(def->module, "Get_Func"));
        if (getFunc) {
            unsigned short counts[4] = {0, 0, 0, 0};
            def->function = getFunc(func, &counts[0], &counts[1], &counts[2], &counts[3]);
            if (def->function) {
                if (counts[0] != def->nIndependent || counts[1] != def->nDependent ||
                    counts[2] != def->nParams || counts[3] != def->nFourth) {
                    MessageBeep(0xFFFFFFFF);
                    def->nIndependent = counts[0];
                    def->nDependent = counts[1];
                    def->nParams = counts[2];
                    def->nFourth = counts[3];
                }
                def->derivativeFlag = QueryDerivatives(s, def->function);
            }
        }
    }
    // A library without the expected export is not kept loaded.
    if (!def->function)
        FreeFunctionLibrary(def);
    return def->function ? 0 : 1;
}

void FreeParamTable(FittingSession* s)
{
    FreeAndClear(s->value);
    FreeAndClear(s->error);
    FreeAndClear(s->upperLimit);
    FreeAndClear(s->lowerLimit);
    FreeAndClear(s->dependency);
    FreeAndClear(s->halfWidth);
    FreeAndClear(s->lowerBound);
    FreeAndClear(s->upperBound);
    FreeAndClear(s->flags);
    FreeAndClear(s->names);
    FreeAndClear(s->callDerivs);
    FreeAndClear(s->callParams);
    FreeAndClear(s->callX);
    FreeAndClear(s->callY);
    FreeAndClear(s->savedY);
    FreeAndClear(s->callWork);
    s->nParams = 0;
    s->paramCapacity = 0;
    s->paramsPerSet = 0;
}

void FreeVariables(FittingSession* s)
{
    FreeAndClear(s->indep);
    FreeAndClear(s->dep);
    s->nIndep = s->nDep = 0;
}

void FreeEngineArrays(FittingSession* s)
{
    FreeMatrix(s->alpha, 1);
    FreeMatrix(s->work, 1);
    FreeMatrix(s->svdV, 1);
    FreeMatrix(s->derivatives, 1);
    s->alpha = s->work = s->svdV = s->derivatives = nullptr;
    FreeAndClear(s->varyMap);
    FreeAndClear(s->pivotRow);
    FreeAndClear(s->pivotColumn);
    FreeAndClear(s->pivotUsed);
    FreeAndClear(s->pinned);
    FreeAndClear(s->rhs);
    FreeAndClear(s->beta);
    FreeAndClear(s->backup);
    FreeAndClear(s->lastTrial);
    FreeAndClear(s->step);
    FreeAndClear(s->singular);
}

static int AllocEngineArrays(FittingSession* s)
{
    const int t = s->nParams;
    s->alpha = AllocMatrix(0, t, 0, t);
    s->work = AllocMatrix(0, t, 0, t);
    s->svdV = AllocMatrix(0, t, 0, t);
    s->derivatives = AllocMatrix(0, s->nDep, 0, t);
    s->varyMap = AllocIndexed<int>(t);
    s->pivotRow = AllocIndexed<int>(t);
    s->pivotColumn = AllocIndexed<int>(t);
    s->pivotUsed = AllocIndexed<int>(t);
    s->pinned = AllocIndexed<int>(t);
    s->rhs = AllocIndexed<double>(t);
    s->beta = AllocIndexed<double>(t);
    s->backup = AllocIndexed<double>(t);
    s->lastTrial = AllocIndexed<double>(t);
    s->step = AllocIndexed<double>(t);
    s->singular = AllocIndexed<double>(t);
    if (!s->alpha || !s->work || !s->svdV || !s->derivatives || !s->varyMap || !s->pivotRow ||
        !s->pivotColumn || !s->pivotUsed || !s->pinned || !s->rhs || !s->beta || !s->backup || !s->lastTrial || !s->step ||
        !s->singular) {
        FreeEngineArrays(s);
        return FIT_ERR_NO_MEMORY;
    }
    return 0;
}

// Splits a list at blanks and commas; writes entry `index` (1-based) into out. Variable
// lists hold "name=dataset" items: only the name counts.
static bool ListEntry(const char* list, int index, char* out, size_t capacity)
{
    int n = 0;
    const char* p = list;
    while (*p) {
        while (*p == ' ' || *p == ',' || *p == '\t')
            ++p;
        if (!*p)
            break;
        const char* start = p;
        while (*p && *p != ' ' && *p != ',' && *p != '\t')
            ++p;
        if (++n == index) {
            const char* equals = static_cast<const char*>(memchr(start, '=', p - start));
            snprintf(out, capacity, "%.*s", static_cast<int>((equals ? equals : p) - start), start);
            return true;
        }
    }
    return false;
}

int DuplicateUnitSize(const FunctionDef* def)
{
    if (def->nDuplicates <= 0 || def->duplicateOffset < 1 || def->duplicateOffset > def->nParams)
        return 0;
    const int rest = def->nParams - def->duplicateOffset + 1;
    return def->duplicateUnit > 0 && def->duplicateUnit < rest ? def->duplicateUnit : rest;
}

int ParamSlotCount(const FunctionDef* def)
{
    return def->nParams + (def->nDuplicates > 0 ? def->nDuplicates : 0) * DuplicateUnitSize(def);
}

int BaseParam(const FunctionDef* def, int k)
{
    if (k <= def->nParams)
        return k;
    const int unit = DuplicateUnitSize(def);
    return unit ? def->duplicateOffset + (k - def->nParams - 1) % unit : k;
}

int UpdateReplicaSlots(FittingSession* s)
{
    const FunctionDef* def = s->current;
    const int m = def ? std::min(ParamSlotCount(def), static_cast<int>(MAX_PARAMS)) : 0;
    int n = 0;
    for (int j = 1; j <= m; ++j) {
        const int base = BaseParam(def, j);
        if (j > def->nParams && s->sharedByReplicas[base]) {
            s->localOfSlot[j] = s->localOfSlot[base];
            continue;
        }
        s->localOfSlot[j] = static_cast<int16_t>(++n);
        s->slotOfLocal[n] = static_cast<int16_t>(j);
    }
    s->callSlots = m;
    return n;
}

int BaseOfLocal(const FittingSession* s, int k)
{
    int set, local;
    SetAndSlotOfParam(s, k, &set, &local);
    return local >= 1 && local <= MAX_PARAMS ? BaseParam(s->current, s->slotOfLocal[local]) : k;
}

// Names: the definition's names (or P1, P2, ... by the Default naming method); with
// duplicates the duplicated ones are numbered, the first copy 1 and the added ones 2, 3, ...
// (y0, xc, w, A with two duplicates from xc: y0, xc1, w1, A1, xc2, w2, A2, xc3, w3, A3);
// the parameters of fit sets 2, 3, ... are the first set's names with "_2", "_3", ...
static void NameParams(FittingSession* s)
{
    const FunctionDef* def = s->current;
    s->prepared = 0;
    const int unit = DuplicateUnitSize(def), slots = ParamsPerSet(s);
    for (int k = 1; k <= s->nParams; ++k) {
        if (k > slots) {
            int set, slot;
            SetAndSlotOfParam(s, k, &set, &slot);
            char name[PARAM_NAME_CHARS + 8];
            snprintf(name, sizeof name, "%s_%d", s->names[slot], set);
            snprintf(s->names[k], PARAM_NAME_CHARS, "%s", name);
            continue;
        }
        const int slot = s->slotOfLocal[k], base = BaseParam(def, slot);
        char name[PARAM_NAME_CHARS];
        if (def->namingMethod == KW_DEFAULT_NAMING || !ListEntry(def->paramNames, base, name, sizeof name))
            snprintf(name, sizeof name, "P%d", base);
        // A parameter all replicas share keeps its plain name.
        if (unit && base >= def->duplicateOffset && !s->sharedByReplicas[base]) {
            const int copy = slot <= def->nParams ? 1 : 2 + (slot - def->nParams - 1) / unit;
            char numbered[PARAM_NAME_CHARS + 8];
            snprintf(numbered, sizeof numbered, "%s%d", name, copy);
            snprintf(s->names[k], PARAM_NAME_CHARS, "%s", numbered);
        } else {
            snprintf(s->names[k], PARAM_NAME_CHARS, "%s", name);
        }
    }
}

static int AllocParamTable(FittingSession* s, int t)
{
    FunctionDef* def = s->current;
    s->value = AllocIndexed<double>(t);
    s->error = AllocIndexed<double>(t);
    s->upperLimit = AllocIndexed<double>(t);
    s->lowerLimit = AllocIndexed<double>(t);
    s->dependency = AllocIndexed<double>(t);
    s->halfWidth = AllocIndexed<double>(t);
    s->lowerBound = AllocIndexed<double>(t);
    s->upperBound = AllocIndexed<double>(t);
    s->flags = AllocIndexed<BYTE>(t);
    s->names = static_cast<char(*)[PARAM_NAME_CHARS]>(AllocLockedBlock((t + 1) * PARAM_NAME_CHARS));
    const int distinct = UpdateReplicaSlots(s);
    s->callDerivs = AllocIndexed<double>(std::max(t, s->callSlots));
    s->callParams = AllocIndexed<double>(std::max(t, s->callSlots));
    s->callX = AllocIndexed<double>(def->nIndependent);
    // The result record: the dependent values, then one value per peak.
    s->callY = AllocArray<double>(def->nDependent + (def->nDuplicates > 0 ? def->nDuplicates : 0) + 3);
    s->savedY = AllocIndexed<double>(def->nDependent);
    s->callWork = AllocIndexed<double>(def->nFourth > 0 ? def->nFourth : 1);
    if (!s->value || !s->error || !s->upperLimit || !s->lowerLimit || !s->dependency ||
        !s->halfWidth || !s->lowerBound || !s->upperBound || !s->flags || !s->names ||
        !s->callDerivs || !s->callParams || !s->callX || !s->callY || !s->savedY || !s->callWork) {
        FreeParamTable(s);
        return FIT_ERR_NO_MEMORY;
    }
    s->nParams = t;
    s->paramCapacity = t;
    s->paramsPerSet = s->separatePerFitSet && s->nFitSets > 1 ? distinct : t;
    UpdateSharedSlots(s);
    for (int i = 0; i <= t; ++i) {
        s->value[i] = s->error[i] = s->upperLimit[i] = s->lowerLimit[i] = MISSING_VALUE;
        s->dependency[i] = s->halfWidth[i] = s->lowerBound[i] = s->upperBound[i] = MISSING_VALUE;
        s->flags[i] = PARAM_VARIES;
    }
    NameParams(s);
    return 0;
}

static void StartIndepRow(FittingSession* s, int i, int perSet)
{
    IndepVarInfo& v = s->indep[i];
    v = IndepVarInfo();
    s->prepared = 0;
    const int inSet = (i - 1) % perSet + 1;
    if (!ListEntry(s->current->independentNames, inSet, v.name, sizeof v.name))
        snprintf(v.name, sizeof v.name, perSet == 1 ? "x" : "x%d", inSet);
    v.xFrom = v.xTo = MISSING_VALUE;
}

static void StartDepRow(FittingSession* s, int d)
{
    DepVarInfo& v = s->dep[d];
    v = DepVarInfo();
    v.step = 1;
    v.xBegin = s->xBegin;
    v.xEnd = s->xEnd;
    v.xVariable = 1;
}

static int CreateVariableRows(FittingSession* s, int nIndep, int nDep)
{
    FreeVariables(s);
    s->indep = AllocIndexed<IndepVarInfo>(nIndep);
    s->dep = AllocIndexed<DepVarInfo>(nDep);
    if (!s->indep || !s->dep) {
        FreeVariables(s);
        return FIT_ERR_NO_MEMORY;
    }
    s->nIndep = static_cast<int16_t>(nIndep);
    s->nDep = static_cast<int16_t>(nDep);
    for (int i = 1; i <= nIndep; ++i)
        StartIndepRow(s, i, nIndep);
    for (int d = 1; d <= nDep; ++d)
        StartDepRow(s, d);
    s->nFitSets = 1;
    s->separatePerFitSet = 0;
    memset(s->sharedBySets, 0, sizeof s->sharedBySets);
    s->fitSets[1].firstDependent = 1;
    s->fitSets[1].lastDependent = static_cast<int16_t>(nDep);
    s->fitSets[1].step = 1;
    return 0;
}

int CheckCurrentFunction(FittingSession* s)
{
    const FunctionDef* def = s->current;
    if (!def || def->nParams <= 0 || def->nIndependent <= 0 || def->nDependent <= 0)
        return 1;
    if (def->functionType != KW_USER_DEFINED && (!def->module || !def->function))
        return 1;
    return 0;
}

void GetParamName(FittingSession* s, int index, char* out, size_t capacity)
{
    if (index >= 1 && index <= s->nParams && s->names)
        snprintf(out, capacity, "%s", s->names[index]);
    else if (capacity)
        out[0] = 0;
}

void DefineParams(FittingSession* s)
{
    if (CheckCurrentFunction(s))
        return;
    for (int i = 1; i <= s->nParams; ++i) {
        QFitVariableRecord r = {s->value[i], 4.0, static_cast<double>(i)};
        CallHost(s, HOST_DELETE_VARIABLE, reinterpret_cast<INT_PTR>(s->names[i]), 0);
        CallHost(s, HOST_SET_VARIABLE, reinterpret_cast<INT_PTR>(s->names[i]), reinterpret_cast<INT_PTR>(&r));
    }
}

void PublishParamValues(FittingSession* s)
{
    if (!s->current || !s->names)
        return;
    for (int i = 1; i <= s->nParams; ++i) {
        CallHost(s, HOST_DELETE_VARIABLE, reinterpret_cast<INT_PTR>(s->names[i]), 0);
        if (OptionValue(s->current, OPT_KEEP_PARAMS) == KW_YES) {
            QFitVariableRecord r = {s->value[i], 1.0, 0.0};
            CallHost(s, HOST_SET_VARIABLE, reinterpret_cast<INT_PTR>(s->names[i]), reinterpret_cast<INT_PTR>(&r));
        }
    }
}

static void ResetRunState(FittingSession* s)
{
    s->status = 0;
    s->nIter = s->trials = s->lmRounds = s->failures = 0;
}

// The definition's constants ("name=value" items): each value must evaluate, and for a
// User-Defined function each item runs as a script statement so that the formula finds the
// constant as a variable. 0 done, else FIT_ERR_DEFINITION naming the item.
int ApplyConstants(FittingSession* s)
{
    const FunctionDef* def = s->current;
    if (!def)
        return 0;
    char item[FDF_KEYLIST_CHARS];
    for (const char* p = NextToken(def->constants, ",", item, sizeof item); p; p = NextToken(p, ",", item, sizeof item)) {
        const char* equals = strchr(item, '=');
        double value = MISSING_VALUE;
        if (!equals || equals == item || EvalNumber(s, equals + 1, &value) || IsMissingValue(value)) {
            char text[PENDING_TEXT_CHARS];
            snprintf(text, sizeof text, "The constant '%s' of the function '%s' has no value", item, def->name);
            SetPendingText(s, text);
            return FIT_ERR_DEFINITION;
        }
        if (def->functionType == KW_USER_DEFINED) {
            char statement[FDF_KEYLIST_CHARS + 2];
            snprintf(statement, sizeof statement, "%s;", item);
            CallHost(s, HOST_RUN_SCRIPT, reinterpret_cast<INT_PTR>(statement), 0);
        }
    }
    return 0;
}

// Datasets named in the definition's variable sections ("x=Data1_A") are assigned to their
// variables; 0 done, FIT_ERR_NO_DATASET naming the first dataset that does not exist.
static int AssignNamedDatasets(FittingSession* s)
{
    const FunctionDef* def = s->current;
    for (const char* list : {def->independentNames, def->dependentNames}) {
        char item[FDF_KEYLIST_CHARS];
        for (const char* p = NextToken(list, ",", item, sizeof item); p; p = NextToken(p, ",", item, sizeof item)) {
            char* equals = strchr(item, '=');
            if (!equals || !equals[1])
                continue;
            *equals = ',';
            if (SetVariableDataset(s, item)) {
                SetPendingText(s, equals + 1);
                return FIT_ERR_NO_DATASET;
            }
        }
    }
    return 0;
}

// The parameters of the function being replaced leave their script variables behind. Those
// nobody changed since would hand their values on to the next function's parameters of the
// same names (every shipped function names its P1, P2, ...), so a function merely passed
// over in the list would set another's start: they go. A variable a script or the user set
// stays and is the new function's start, as its definition asks.
static void ForgetUnchangedParamVariables(FittingSession* s)
{
    if (!s->current || !s->value || !s->names)
        return;
    for (int i = 1; i <= s->nParams; ++i) {
        double v = 0;
        if (CallHost(s, HOST_GET_VARIABLE, reinterpret_cast<INT_PTR>(s->names[i]), reinterpret_cast<INT_PTR>(&v)) == 0 &&
            memcmp(&v, &s->value[i], sizeof v) == 0)
            CallHost(s, HOST_DELETE_VARIABLE, reinterpret_cast<INT_PTR>(s->names[i]), 0);
    }
}

int SelectFunction(FittingSession* s, FunctionDef* def)
{
    FinishFit(s, 0);
    if (def != s->current)
        ForgetUnchangedParamVariables(s);
    s->current = def;
    s->prepared = 0;
    FreeParamTable(s);
    if (!def)
        return 0;
    if (LoadFunctionLibrary(s))
        return 1;
    if (def->nParams < 1 || ParamSlotCount(def) > MAX_PARAMS || def->nIndependent < 1 || def->nDependent < 1)
        return 1;
    if (!s->dep || s->nIndep != def->nIndependent || s->nDep != def->nDependent) {
        const int code = CreateVariableRows(s, def->nIndependent, def->nDependent);
        if (code)
            return code;
    }
    // A new function: every replica has parameters of its own.
    memset(s->sharedByReplicas, 0, sizeof s->sharedByReplicas);
    const int code = AllocParamTable(s, UpdateReplicaSlots(s));
    if (code)
        return code;
    s->constraintState = 0;
    // Constants first: initial values and bounds may be written in terms of them.
    const int constants = ApplyConstants(s);
    ApplyDefinitionValues(s);
    DefineParams(s);
    ResetRunState(s);
    InitRecordFunction(s);
    return constants ? constants : AssignNamedDatasets(s);
}

// Lays the parameter table out anew for t parameters: parameter k takes the value, bounds
// and flags of old parameter from(k). The old table is kept until the new one is filled.
template <class From>
static int RelayoutParams(FittingSession* s, int t, From from)
{
    double* value = s->value;
    double* lower = s->lowerBound;
    double* upper = s->upperBound;
    BYTE* flags = s->flags;
    s->value = s->lowerBound = s->upperBound = nullptr;
    s->flags = nullptr;
    FreeParamTable(s);
    const int code = AllocParamTable(s, t);
    if (code == 0) {
        for (int k = 1; k <= s->nParams; ++k) {
            const int source = from(k);
            s->value[k] = value[source];
            s->lowerBound[k] = lower[source];
            s->upperBound[k] = upper[source];
            s->flags[k] = flags[source];
        }
        s->constraintState = 0;
        DefineParams(s);
        ResetRunState(s);
    }
    FreeLockedBlock(value);
    FreeLockedBlock(lower);
    FreeLockedBlock(upper);
    FreeLockedBlock(flags);
    return code;
}

// The parameter layout as it stands, to find an entry's old place while laying out anew.
struct Layout {
    int separate, m;
    BYTE shared[MAX_PARAMS + 1];
    int Index(int set, int slot) const
    {
        if (!separate || set <= 1 || shared[slot])
            return slot;
        int own = 0, nShared = 0;
        for (int j = 1; j <= m; ++j) {
            nShared += shared[j] != 0;
            own += j <= slot && !shared[j];
        }
        return m + (set - 2) * (m - nShared) + own;
    }
};

static Layout CurrentLayout(const FittingSession* s)
{
    Layout l;
    l.separate = s->separatePerFitSet;
    l.m = ParamsPerSet(s);
    memcpy(l.shared, s->sharedBySets, sizeof l.shared);
    return l;
}

// Parameters of n fit sets of m slots each, the shared slots counted once.
static int TotalParams(const FittingSession* s, int m, int n)
{
    int shared = 0;
    for (int j = 1; j <= m && j <= MAX_PARAMS; ++j)
        shared += s->sharedBySets[j] != 0;
    return n > 1 ? m + (n - 1) * (m - shared) : m;
}

int SetDuplicateCount(FittingSession* s, int count)
{
    FunctionDef* def = s->current;
    if (!def || count < 0)
        return 1;
    const int oldCount = def->nDuplicates > 0 ? def->nDuplicates : 0;
    const int16_t oldDuplicates = def->nDuplicates;
    const int oldM = ParamSlotCount(def);
    def->nDuplicates = static_cast<int16_t>(count);
    if (count == oldCount || !s->value)
        return 0;
    if (DuplicateUnitSize(def) == 0 || s->nFitSets * ParamSlotCount(def) > MAX_PARAMS) {
        def->nDuplicates = oldDuplicates;
        return 1;
    }
    FinishFit(s, 0);
    // The old entries stay; an added duplicate starts as a copy of the last one there was.
    const int unit = DuplicateUnitSize(def);
    const Layout old = CurrentLayout(s);
    int16_t oldLocal[MAX_PARAMS + 1];
    memcpy(oldLocal, s->localOfSlot, sizeof oldLocal);
    const int code = RelayoutParams(s, TotalParams(s, UpdateReplicaSlots(s), s->nFitSets), [&](int k) {
        int set, local;
        SetAndSlotOfParam(s, k, &set, &local);
        const int slot = s->slotOfLocal[local];
        return old.Index(set, oldLocal[slot <= oldM ? slot : oldM - unit + 1 + (slot - oldM - 1) % unit]);
    });
    def->modified |= FDF_CHANGED;
    return code;
}

int SetFitSetCount(FittingSession* s, int n)
{
    FunctionDef* def = s->current;
    if (n < 1 || n > MAX_FIT_SETS || !def || !s->value || !s->dep || def->nDependent < 1 || def->nIndependent < 1)
        return 1;
    if (n == s->nFitSets)
        return 0;
    const int D = def->nDependent, K = def->nIndependent, m = UpdateReplicaSlots(s);
    if (n * m > MAX_PARAMS)
        return 1;
    FinishFit(s, 0);
    // Rows that exist keep their datasets; added rows start fresh with the first set's names.
    IndepVarInfo* indep = AllocIndexed<IndepVarInfo>(n * K);
    DepVarInfo* dep = AllocIndexed<DepVarInfo>(n * D);
    if (!indep || !dep) {
        FreeLockedBlock(indep);
        FreeLockedBlock(dep);
        return FIT_ERR_NO_MEMORY;
    }
    IndepVarInfo* oldIndep = s->indep;
    DepVarInfo* oldDep = s->dep;
    const int oldIndepRows = s->nIndep, oldDepRows = s->nDep, oldSets = s->nFitSets;
    s->indep = indep;
    s->dep = dep;
    s->nIndep = static_cast<int16_t>(n * K);
    s->nDep = static_cast<int16_t>(n * D);
    for (int i = 1; i <= n * K; ++i) {
        if (i <= oldIndepRows)
            indep[i] = oldIndep[i];
        else
            StartIndepRow(s, i, K);
    }
    for (int d = 1; d <= n * D; ++d) {
        if (d <= oldDepRows)
            dep[d] = oldDep[d];
        else
            StartDepRow(s, d);
    }
    FreeLockedBlock(oldIndep);
    FreeLockedBlock(oldDep);
    s->nFitSets = static_cast<int16_t>(n);
    for (int f = 1; f <= n; ++f) {
        s->fitSets[f].firstDependent = static_cast<int16_t>((f - 1) * D + 1);
        s->fitSets[f].lastDependent = static_cast<int16_t>(f * D);
        if (f > oldSets)
            s->fitSets[f].step = s->fitSets[oldSets].step;
    }

    // Parameters: every set keeps its own; an added set starts as the last one there was.
    const Layout old = CurrentLayout(s);
    s->separatePerFitSet = n > 1;
    const int code = RelayoutParams(s, TotalParams(s, m, n), [&](int k) {
        int set, slot;
        SetAndSlotOfParam(s, k, &set, &slot);
        return old.Index(std::min(set, oldSets), slot);
    });
    return code;
}

int ShareAcrossFitSets(FittingSession* s, int slot, bool shared)
{
    const FunctionDef* def = s->current;
    if (!def || !s->value || s->nFitSets < 2 || slot < 1 || slot > ParamsPerSet(s))
        return 1;
    if ((s->sharedBySets[slot] != 0) == shared)
        return 0;
    FinishFit(s, 0);
    const Layout old = CurrentLayout(s);
    s->sharedBySets[slot] = shared ? 1 : 0;
    UpdateSharedSlots(s);
    // Each slot of each set takes the value it had; a newly shared one fit set 1's.
    return RelayoutParams(s, TotalParams(s, ParamsPerSet(s), s->nFitSets), [&](int k) {
        int set, j;
        SetAndSlotOfParam(s, k, &set, &j);
        return old.Index(set, j);
    });
}

int ShareAcrossReplicas(FittingSession* s, int p, bool shared)
{
    const FunctionDef* def = s->current;
    if (!def || def->nDuplicates < 0 || def->duplicateOffset < 1 || def->duplicateOffset > def->nParams)
        return 1;
    const int rest = def->nParams - def->duplicateOffset + 1;
    const int block = def->duplicateUnit > 0 && def->duplicateUnit < rest ? def->duplicateUnit : rest;
    if (p < def->duplicateOffset || p >= def->duplicateOffset + block)
        return 1;
    if ((s->sharedByReplicas[p] != 0) == shared)
        return 0;
    // Without replicas yet the flag waits for them.
    if (!s->value || DuplicateUnitSize(def) == 0) {
        s->sharedByReplicas[p] = shared ? 1 : 0;
        return 0;
    }
    FinishFit(s, 0);
    const Layout old = CurrentLayout(s);
    int16_t oldLocal[MAX_PARAMS + 1];
    memcpy(oldLocal, s->localOfSlot, sizeof oldLocal);
    s->sharedByReplicas[p] = shared ? 1 : 0;
    const int n = UpdateReplicaSlots(s);
    // Sharing among fit sets belongs to the parameters, which have moved: it follows them.
    BYTE bySets[MAX_PARAMS + 1] = {};
    for (int k = 1; k <= n; ++k)
        bySets[k] = old.shared[oldLocal[s->slotOfLocal[k]]];
    memcpy(s->sharedBySets, bySets, sizeof bySets);
    // Every parameter takes the entry of the copy at its first slot.
    return RelayoutParams(s, TotalParams(s, n, s->nFitSets), [&](int k) {
        int set, local;
        SetAndSlotOfParam(s, k, &set, &local);
        return old.Index(set, oldLocal[s->slotOfLocal[local]]);
    });
}

int RequireParamValues(FittingSession* s)
{
    char missing[PENDING_TEXT_CHARS] = "";
    for (int k = 1; k <= s->nParams; ++k)
        if (IsMissingValue(s->value[k])) {
            const size_t used = strlen(missing);
            snprintf(missing + used, sizeof missing - used, "%s%s", used ? ", " : "", s->names[k]);
        }
    if (!missing[0])
        return 0;
    SetPendingText(s, missing);
    return FIT_ERR_PARAM_INIT;
}

QFitDataset FindDatasetRange(FittingSession* s, const char* name, int* first, int* end)
{
    QFitRowRange range = {0, 0};
    const QFitDataset dataset =
        CallHost(s, HOST_FIND_DATASET, reinterpret_cast<INT_PTR>(name), reinterpret_cast<INT_PTR>(&range));
    if (!dataset) {
        SetPendingText(s, name);
        return 0;
    }
    *first = range.first;
    *end = range.end;
    s->dataChanged = 1;
    return dataset;
}

int AssignDatasetRange(FittingSession* s, const char* name, QFitDataset* dataset, int* first, int* end)
{
    if (!name[0]) {
        *dataset = 0;
        return 0;
    }
    const QFitDataset found = FindDatasetRange(s, name, first, end);
    if (!found)
        return FIT_ERR_NO_COLUMN;
    *dataset = found;
    return 0;
}

std::string DatasetName(FittingSession* s, QFitDataset dataset)
{
    char name[QFIT_HOST_TEXT_CAPACITY] = "";
    if (dataset)
        CallHost(s, HOST_GET_DATASET_NAME, dataset, reinterpret_cast<INT_PTR>(name));
    name[sizeof name - 1] = 0;
    return name;
}

int BuildVaryMap(FittingSession* s)
{
    s->nVary = 0;
    for (int i = 1; i <= s->nParams; ++i)
        if (s->flags[i] & PARAM_VARIES)
            s->varyMap[++s->nVary] = i;
    return s->nVary ? 0 : FIT_ERR_ALL_FIXED;
}

int BeginFit(FittingSession* s, int runFirst)
{
    if (!s->current || !s->value)
        return 1;
    if (s->fitActive)
        return 0;
    s->runFlags = 0;
    ResetRunState(s);
    // The constants again: a script or the window may have changed them since the choice.
    if (const int constants = ApplyConstants(s))
        return constants;
    const int code = AllocEngineArrays(s);
    if (code)
        return code;
    s->fitActive = 1;
    if (runFirst) {
        if (s->current->initSwitch == KW_ON && s->current->initScript[0])
            CallHost(s, HOST_RUN_SCRIPT, reinterpret_cast<INT_PTR>(s->current->initScript), 0);
        RememberFitGraph(s);
        return RunIterations(s, 0, 0, 0, nullptr);
    }
    return 0;
}

static void DeleteOwnDataset(FittingSession* s, QFitDataset dataset)
{
    if (!dataset || CallHost(s, HOST_CHECK_DATASET, dataset, 0))
        return;
    char name[QFIT_HOST_TEXT_CAPACITY] = "";
    CallHost(s, HOST_GET_DATASET_NAME, dataset, reinterpret_cast<INT_PTR>(name));
    name[sizeof name - 1] = 0;
    char command[QFIT_HOST_TEXT_CAPACITY + 8];
    snprintf(command, sizeof command, "del %s", name);
    if (name[0])
        CallHost(s, HOST_RUN_SCRIPT, reinterpret_cast<INT_PTR>(command), 0);
}

void FinishFit(FittingSession* s, int flags)
{
    if (!s->fitActive)
        return;
    const FunctionDef* def = s->current;
    if (flags && def && s->iterationsSinceBegin > 0) {
        CallHost(s, HOST_RUN_SCRIPT, reinterpret_cast<INT_PTR>("EndFit"), 0);
        if (flags & 0x1 && OptionValue(def, OPT_CURVES) == KW_YES)
            for (int d = 1; d <= s->nDep; ++d)
                MakeResultColumns(s, d, 'F');
        if (flags & 0x10 && OptionValue(def, OPT_RESIDUE) == KW_YES)
            for (int d = 1; d <= s->nDep; ++d)
                MakeResidueCurve(s, d);
        if (flags & 0x8 && OptionValue(def, OPT_PASTE_TO_NOTES) == KW_YES)
            PasteFitResults(s, false);
        if (flags & 0x4 && OptionValue(def, OPT_PASTE_TO_PLOT) == KW_YES)
            PasteFitResults(s, true);
        if (def->afterSwitch == KW_ON && def->afterScript[0])
            CallHost(s, HOST_RUN_SCRIPT, reinterpret_cast<INT_PTR>(def->afterScript), 0);
    }
    CallHost(s, HOST_RUN_SCRIPT, reinterpret_cast<INT_PTR>("QuitFit"), 0);
    // Only curves this fit made itself go: a dataset of the same name that was there
    // before, or that has since been replaced, belongs to the user.
    for (int d = 1; d <= s->nDep; ++d)
        if (s->dep[d].ownFitCurve)
            DeleteOwnDataset(s, s->dep[d].fitCurve);
    for (QFitDataset peak : s->ownPeaks)
        DeleteOwnDataset(s, peak);
    ForgetResultDatasets(s);
    FreeEngineArrays(s);
    ResetRunState(s);
    // The next fit starts its damping afresh, as the first did: a mu left by this one would
    // set the course of the next. (A mu the script sets before the next fit still holds.)
    s->mu = s->muMin = 0.001;
    s->iterationsSinceBegin = 0;
    s->fitActive = 0;
}
