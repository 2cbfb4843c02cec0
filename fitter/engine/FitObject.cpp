// The exports of the fit engine: the script object qfit (NonLinearFit), the dispatcher of
// every member by its code (ScxFit) and the module messages (QFITModuleInit).
#include <ctype.h>
#include <math.h>
#include <stdio.h>
#include <string.h>

#include "FitMemory.h"
#include "FitObject.h"
#include "FitSession.h"
#include "FitUtil.h"
#include "../ui/FitterWindow.h"

const FitMember FitMemberTable[] = {
#include "FitObjectTable.inc"
    {-1, "", 0, 0},
};

namespace {

const int kRowMember = 0x1000;
const int kMaxNameLetters = 25;
const int kMaxIndexChars = 10;

int LastStatus = -1;
int LiveSessions;

const FitMember* FindMember(const char* name)
{
    for (const FitMember* m = FitMemberTable; m->code != -1; ++m)
        if (_stricmp(m->name, name) == 0)
            return m;
    return nullptr;
}

const FitMember* FindMemberByCode(int code)
{
    for (const FitMember* m = FitMemberTable; m->code != -1; ++m)
        if (m->code == code)
            return m;
    return nullptr;
}

// Codes outside the table that work on the current function.
bool NeedsFunction(int code)
{
    if (code == 0x401 || code == 0x33 || code == 0x34 || code == 0x3C || code == 0x2E || code == 0x2F)
        return true;
    const FitMember* m = FindMemberByCode(code);
    return m && m->needsFunction;
}

void PutText(void* value, const char* text)
{
    if (value)
        snprintf(static_cast<char*>(value), QFIT_STRING_VALUE_CAPACITY, "%s", text ? text : "");
}

const char* GetText(const void* value)
{
    return value ? static_cast<const char*>(value) : "";
}

double& Number(void* value)
{
    return *static_cast<double*>(value);
}

void DatasetName(FittingSession* s, QFitDataset dataset, void* value)
{
    char name[QFIT_HOST_TEXT_CAPACITY] = "";
    if (dataset)
        CallHost(s, HOST_GET_DATASET_NAME, dataset, reinterpret_cast<INT_PTR>(name));
    name[sizeof name - 1] = 0;
    PutText(value, name);
}

QFitDataset FindDataset(FittingSession* s, const char* name, QFitRowRange* range, HWND context = nullptr)
{
    return CallHost(s, HOST_FIND_DATASET, reinterpret_cast<INT_PTR>(name), reinterpret_cast<INT_PTR>(range), context);
}

// Parameter index n is usable when 1 <= n <= NPARA; element 0 and anything below it hold
// no parameter and are never touched.
bool ParamIndex(FittingSession* s, INT_PTR n)
{
    return n >= 1 && n <= s->nParams && s->value;
}

bool DepIndex(FittingSession* s, INT_PTR n)
{
    return n >= 1 && n <= s->nDep && s->dep;
}

bool IndepIndex(FittingSession* s, INT_PTR n)
{
    return n >= 1 && n <= s->nIndep && s->indep;
}

int BoundSession(FittingSession* s)
{
    return s->fitActive ? 0 : BeginFit(s, 0);
}

int CountVarying(FittingSession* s)
{
    int n = 0;
    for (int k = 1; k <= s->nParams; ++k)
        n += (s->flags[k] & PARAM_VARIES) != 0;
    return n;
}


int FuncVal(FittingSession* s, const char* argument, void* value)
{
    Number(value) = MISSING_VALUE;
    if (CheckCurrentFunction(s) || !s->value)
        return 1;
    if (RequireParamValues(s)) {
        ReportFitError(s, s->callback, s->hostWindow, FIT_ERR_PARAM_INIT);
        return 1;
    }
    // The value buffer of a method holds one double: without an argument there is no X to
    // evaluate at.
    if (!argument || !argument[0])
        return 1;
    double x;
    if (EvalNumber(s, argument, &x))
        return 0;
    double values[2] = {static_cast<double>(s->currentRow), x};
    double* in = values;
    double out[8];
    double* fitted = out;
    double* large = nullptr;
    if (IndepPerSet(s) > 1 || s->nDep > 7) {
        large = AllocArray<double>(IndepPerSet(s) + s->nDep + 2);
        if (!large)
            return FIT_ERR_NO_MEMORY;
        large[0] = s->currentRow;
        large[1] = x;
        for (int i = 2; i <= IndepPerSet(s); ++i)
            large[i] = s->indep[i].value;
        in = large;
        fitted = large + IndepPerSet(s) + 1;
    }
    const int code = EvaluateAt(s, in, fitted);
    Number(value) = code ? MISSING_VALUE : fitted[1];
    FreeLockedBlock(large);
    return 0;
}

int VarCovar(FittingSession* s, const char* argument, void* value)
{
    Number(value) = MISSING_VALUE;
    const char* comma = argument ? strchr(argument, ',') : nullptr;
    double di, dj;
    char first[QFIT_HOST_TEXT_CAPACITY];
    if (!comma) {
        Number(value) = 1.0;
        return 0;
    }
    snprintf(first, sizeof first, "%.*s", static_cast<int>(comma - argument), argument);
    if (EvalNumber(s, first, &di) || EvalNumber(s, comma + 1, &dj)) {
        Number(value) = 1.0;
        return 0;
    }
    const int i = static_cast<int>(di), j = static_cast<int>(dj);
    if (!s->fitActive || !s->work || i < 1 || j < 1 || i > s->nVary || j > s->nVary)
        return 0;
    Number(value) = s->work[i][j];
    return 0;
}

int FinishFitByValue(FittingSession* s, const char* expression)
{
    int flags = 0xFFFF;
    if (expression && expression[0]) {
        double v;
        if (EvalNumber(s, expression, &v) == 0)
            flags = ~static_cast<int>(static_cast<int16_t>(static_cast<int>(v))) & 0xFFFF;
    }
    FinishFit(s, flags);
    return 0;
}

// The dataset of independent variable n, by name: its range is checked against the
// dataset's used range.
int SetIndependent(FittingSession* s, INT_PTR n, const char* name)
{
    if (!IndepIndex(s, n))
        return 1;
    IndepVarInfo& v = s->indep[n];
    return AssignDatasetRange(s, name, &v.dataset, &v.first, &v.end);
}

// A run without a usable function fails with a message that names the function asked for,
// so that a script whose choice of function failed learns it again here, not a success.
int RequireFunction(FittingSession* s)
{
    if (!CheckCurrentFunction(s))
        return 0;
    if (s->current && s->current->functionType != KW_USER_DEFINED && !s->current->function) {
        SetPendingText(s, s->current->source);
        return FIT_ERR_NO_FUNCTION;
    }
    const char* name = s->current ? s->current->name : s->requestedFunction;
    char text[PENDING_TEXT_CHARS];
    if (name[0])
        snprintf(text, sizeof text, "No function is chosen to fit: the function '%s' was not loaded", name);
    else
        snprintf(text, sizeof text, "No function is chosen to fit");
    SetPendingText(s, text);
    return FIT_ERR_DEFINITION;
}

int Member(FittingSession* s, int code, bool get, INT_PTR argument, void* value)
{
    const INT_PTR n = argument;
    const char* text = reinterpret_cast<const char*>(argument);
    switch (code) {
    case 0x801:  // NAME, N
        if (get) {
            char name[PARAM_NAME_CHARS];
            GetParamName(s, static_cast<int>(ParamIndex(s, n) ? n : 0), name, sizeof name);
            PutText(value, name);
        }
        return 0;
    case 0x201:  // NPARA
        if (get)
            Number(value) = s->nParams;
        return 0;
    case 0x13: {  // CONSTR
        FunctionDef* def = s->current;
        if (get) {
            PutText(value, def->constraints);
            return 0;
        }
        if (!value) {
            s->status = 0;
            return 0;
        }
        char* copy = nullptr;
        const int rc = CopyToBlock(s, GetText(value), &copy);
        if (rc)
            return rc;
        FreeLockedBlock(def->constraints);
        def->constraints = copy;
        s->constraintState = 1;
        return 0;
    }
    case 0x1201:  // DATABEGIN (row)
    case 0x205:   // DATAEND
        if (!DepIndex(s, n))
            return 1;
        {
            int& field = code == 0x1201 ? s->dep[n].first : s->dep[n].end;
            if (get) {
                Number(value) = field;
            } else if (field != static_cast<int>(Number(value))) {
                field = static_cast<int>(Number(value));
                s->dataChanged = 1;
            }
        }
        return 0;
    case 0x607:  // DATASTEP
        if (!DepIndex(s, n))
            return 1;
        {
            // The step thins the rows of the fit set that holds this dependent variable.
            FitSetInfo& set = s->fitSets[FitSetOfDependent(s, static_cast<int>(n))];
            if (get) {
                Number(value) = set.step;
            } else {
                const int step = static_cast<int>(Number(value));
                s->dep[n].step = step >= 1 ? step : 1;
                set.step = s->dep[n].step;
                s->dataChanged = 1;
            }
        }
        return 0;
    case 0x1C:  // FUNCX
        if (get) {
            DatasetName(s, s->funcxDataset, value);
            return 0;
        } else {
            const char* name = GetText(value);
            if (!name[0]) {
                s->funcxDataset = 0;
                return 0;
            }
            QFitRowRange range = {0, 0};
            const QFitDataset dataset = FindDataset(s, name, &range, s->hostWindow);
            if (!dataset) {
                SetPendingText(s, name);
                return FIT_ERR_NO_COLUMN;
            }
            s->funcxDataset = dataset;
            if (s->xMode == 2) {
                s->funcxFirst = range.first;
                s->funcxEnd = range.end;
            }
        }
        return 0;
    case 0x20D:  // XMODE
        if (get)
            Number(value) = s->xMode;
        else if (Number(value) >= 0)
            s->xMode = static_cast<int>(Number(value));
        return 0;
    case 0xE:  // CONF
        if (get)
            Number(value) = s->confidence;
        else
            s->confidence = Number(value);
        return 0;
    case 0x202:  // WTYPE
        if (!DepIndex(s, n))
            return 1;
        if (get)
            Number(value) = s->dep[n].weightType;
        else
            s->dep[n].weightType = static_cast<int>(Number(value));
        return 0;
    case 0x206:  // STATUS
        if (get)
            Number(value) = s->fitActive ? 1 : 0;
        return 0;
    case 0x9:
        if (get)
            Number(value) = s->cod;
        return 0;
    case 0xA:
        if (get)
            Number(value) = s->chiSqr;
        return 0;
    case 0xD:  // DERIVSTEP
        if (get)
            Number(value) = s->derivStep;
        else
            return SetCheckedSetting(s, "derivStepSize", &s->derivStep, Number(value));
        return 0;
    case 0x406:
        if (get)
            Number(value) = s->tolerance;
        else
            return SetCheckedSetting(s, "tolerance", &s->tolerance, Number(value));
        return 0;
    case 0xF:
        if (get)
            Number(value) = s->mu;
        else
            s->mu = Number(value);
        return 0;
    case 0x10:
        if (get)
            Number(value) = s->muMin;
        else
            s->muMin = Number(value);
        return 0;
    case 0x11:
        if (get)
            Number(value) = s->correlation;
        return 0;
    case 0x12:
        if (get)
            Number(value) = s->paraChange;
        else
            s->paraChange = Number(value);
        return 0;
    case 0x16:  // XBEGIN
    case 0x18:  // XEND
    case 0x17:  // XSTEP
    {
        double& field = code == 0x16 ? s->xBegin : code == 0x18 ? s->xEnd : s->xStep;
        if (get) {
            Number(value) = field;
        } else {
            field = Number(value);
            if (code != 0x17 && IndepIndex(s, n))
                (code == 0x16 ? s->indep[n].xFrom : s->indep[n].xTo) = field;
        }
        return 0;
    }
    case 0x203:  // XPOINTS
        if (get)
            Number(value) = s->xPoints;
        else
            s->xPoints = static_cast<int>(Number(value));
        return 0;
    case 0xB:  // COVAR
        if (get) {
            DatasetName(s, s->covarDataset, value);
        } else {
            const char* name = GetText(value);
            s->covarDataset = name[0] ? FindDataset(s, name, nullptr) : 0;
        }
        return 0;
    case 0x204:
        if (get)
            Number(value) = s->status;
        return 0;
    case 0x20B:  // DOF
        if (get)
            Number(value) = static_cast<double>(static_cast<int>(s->nPoints) - s->nVary);
        return 0;
    case 0x207:
        if (get)
            Number(value) = s->nPoints;
        return 0;
    case 0x19:
        if (get)
            Number(value) = s->ssr;
        return 0;
    case 0x1A:  // FUNC
        if (get) {
            PutText(value, s->current ? s->current->name : "");
            return 0;
        } else {
            const char* name = GetText(value);
            snprintf(s->requestedFunction, sizeof s->requestedFunction, "%s", name);
            FunctionDef* def = FindOrLoadFunction(s, name);
            if (!def) {
                SelectFunction(s, nullptr);
                if (s->definitionError[0]) {
                    char text[PENDING_TEXT_CHARS];
                    snprintf(text, sizeof text, "The function '%s' cannot be used: %s", name, s->definitionError);
                    SetPendingText(s, text);
                    return FIT_ERR_DEFINITION;
                }
                SetPendingText(s, name);
                return FIT_ERR_NO_FUNCTION;
            }
            const int rc = SelectFunction(s, def);
            // A library function's counts are the library's once bound, so they are judged
            // only now.
            const std::string fault = DefinitionFault(def);
            if (rc == 1 && !fault.empty() && (def->functionType == KW_USER_DEFINED || def->function)) {
                SelectFunction(s, nullptr);
                char text[PENDING_TEXT_CHARS];
                snprintf(text, sizeof text, "The function '%s' cannot be used: %s", name, fault.c_str());
                SetPendingText(s, text);
                return FIT_ERR_DEFINITION;
            }
            if (rc == 1) {
                // The library or its function is missing: the message names the source.
                SetPendingText(s, def->source);
                return FIT_ERR_NO_FUNCTION;
            }
            return rc;
        }
    case 0x208:
        if (get)
            Number(value) = s->flags ? CountVarying(s) : 0;
        return 0;
    case 0x209:  // NCONSTR
    case 0x20A:  // NCONSTREFF
        if (get) {
            int rc = BoundSession(s);
            if (rc == 0)
                rc = PrepareConstraints(s, 0);
            Number(value) = rc ? 0 : (code == 0x209 ? s->nConstraints : s->nEffective);
            return rc;
        }
        return 0;
    case 0x20C:
        if (get)
            Number(value) = s->nIter;
        return 0;
    case 0x1202:  // CURROW
        if (get)
            Number(value) = s->currentRow;
        else
            s->currentRow = static_cast<int>(Number(value));
        return 0;
    case 0x20E:
        if (get)
            Number(value) = s->msgPrompt;
        else
            s->msgPrompt = static_cast<int>(Number(value));
        return 0;
    case 0x211:
        if (get)
            Number(value) = s->current->functionType;
        return 0;
    case 0x20F:
        if (get)
            Number(value) = s->nDep;
        return 0;
    case 0x210:
        if (get)
            Number(value) = s->current->nIndependent;
        return 0;
    case 0x213:  // FITCOLNUM
    case 0x29:   // FITWKSNAME
        if (get) {
            if (!DepIndex(s, n))
                return 1;
            QFitColumnQuery query = {s->dep[n].dataset, 0, 0, s->fitWorksheet, sizeof s->fitWorksheet, 0};
            s->fitWorksheet[0] = 0;
            CallHost(s, HOST_REQ_3018, reinterpret_cast<INT_PTR>(&query), 0, s->hostWindow);
            s->fitWorksheet[sizeof s->fitWorksheet - 1] = 0;
            s->fitColumn = query.column;
            if (code == 0x213)
                Number(value) = s->fitColumn;
            else
                PutText(value, s->fitWorksheet);
        }
        return 0;
    case 0x2C:
        if (get)
            Number(value) = s->minDerivStep;
        else
            return SetCheckedSetting(s, "minDerivStepSize", &s->minDerivStep, Number(value));
        return 0;
    case 0x2D:
        if (get)
            Number(value) = s->maxDerivStep;
        else
            return SetCheckedSetting(s, "maxDerivStepSize", &s->maxDerivStep, Number(value));
        return 0;
    case 0x32:
        if (get)
            Number(value) = s->singularCriterion;
        else
            s->singularCriterion = Number(value);
        return 0;
    case 0x31:
        if (get)
            Number(value) = s->noFitCurve;
        else
            s->noFitCurve = static_cast<int>(Number(value));
        return 0;
    case 0x39:  // NUMREPLICA
        if (get) {
            Number(value) = s->current->nDuplicates > 0 ? s->current->nDuplicates : 0;
            return 0;
        }
        return SetDuplicateCount(s, static_cast<int>(Number(value)));
    case 0x60:  // PASTETOPLOT
        if (get) {
            Number(value) = s->optPasteToPlot == KW_YES;
        } else {
            s->optPasteToPlot = static_cast<int16_t>(Number(value));
        }
        return 0;
    case 0x61:  // PASTETOLOG
        if (get)
            Number(value) = s->optPasteToLog == KW_YES;
        else
            s->optPasteToLog = Number(value) != 0 ? KW_YES : KW_NO;
        return 0;
    case 0x62:  // KEEPPARAM
        if (get) {
            Number(value) = s->optKeepParams == KW_YES;
        } else {
            s->optKeepParams = static_cast<int16_t>(Number(value));
            if (s->current)
                s->current->options[OPT_KEEP_PARAMS] = s->optKeepParams;
        }
        return 0;
    case 0x5F:  // NUMFITSETS
        if (get) {
            Number(value) = s->nFitSets;
            return 0;
        }
        return s->current ? SetFitSetCount(s, static_cast<int>(Number(value))) : 1;
    case 0x3B:  // ISDIALOGOPEN
        if (get)
            Number(value) = FitterPageTemplateId(s);
        return 0;
    case 0x5D:
        if (get)
            Number(value) = CheckCurrentFunction(s) || ClearMissingDatasets(s) ? 1 : 0;
        return 0;
    case 0x38:
        if (get)
            Number(value) = CheckCurrentFunction(s) ? 1 : 0;
        return 0;
    case 0x67:  // CHISQRERR
        if (get)
            Number(value) = ErrorsWithChiSq ? 1 : 0;
        else
            ErrorsWithChiSq = Number(value) > 0;
        return 0;
    case 0x802:  // P
        if (!ParamIndex(s, n)) {
            if (get)
                Number(value) = MISSING_VALUE;
            return 1;
        }
        if (get) {
            Number(value) = s->value[n];
        } else if (s->value[n] != Number(value)) {
            s->value[n] = Number(value);
            s->paramsChanged = 1;
        }
        return 0;
    case 0xA01:  // V
        if (!ParamIndex(s, n))
            return 1;
        if (get) {
            Number(value) = (s->flags[n] & PARAM_VARIES) ? 1 : 0;
        } else {
            const BYTE flags = Number(value) != 0 ? (s->flags[n] | PARAM_VARIES) : (s->flags[n] & ~PARAM_VARIES);
            if (flags != s->flags[n]) {
                s->flags[n] = flags;
                s->dataChanged = 1;
                s->paramsChanged = 1;
            }
        }
        return 0;
    case 0x803:
    case 0x804:
    case 0x805:
    case 0x806:
    case 0x807: {  // E, U, L, D, C
        if (!get)
            return 0;
        double* arrays[] = {s->error, s->upperLimit, s->lowerLimit, s->dependency, s->halfWidth};
        Number(value) = ParamIndex(s, n) ? arrays[code - 0x803][n] : MISSING_VALUE;
        return 0;
    }
    case 0x4:  // X
        if (!IndepIndex(s, n)) {
            PutText(get ? value : nullptr, "");
            return 1;
        }
        if (get) {
            DatasetName(s, s->indep[n].dataset, value);
            return 0;
        }
        return SetIndependent(s, n, GetText(value));
    case 0x5:   // Y
    case 0x3A:  // FITDATA
        if (!DepIndex(s, n))
            return 1;
        return AssignDependentDataset(s, code == 0x3A ? 1 : 0, get, static_cast<int>(n), static_cast<char*>(value));
    case 0x6:  // W
        if (!DepIndex(s, n))
            return 1;
        if (get) {
            DatasetName(s, s->dep[n].weightDataset, value);
        } else {
            const char* name = GetText(value);
            s->dep[n].weightDataset = name[0] ? FindDataset(s, name, nullptr) : 0;
        }
        return 0;
    case 0x63:  // LB
    case 0x64:  // UB
    {
        if (!ParamIndex(s, n)) {
            if (get)
                Number(value) = MISSING_VALUE;
            return 1;
        }
        const bool lower = code == 0x63;
        double& bound = lower ? s->lowerBound[n] : s->upperBound[n];
        if (get) {
            Number(value) = bound;
            return 0;
        }
        const double v = Number(value);
        const double other = lower ? s->upperBound[n] : s->lowerBound[n];
        if (!IsMissingValue(other) && !IsMissingValue(v) && (lower ? v > other : v < other))
            return 0;
        bound = v;
        // A bound set from a script takes effect; the missing value switches it off.
        const BYTE on = lower ? PARAM_LB_ON : PARAM_UB_ON;
        s->flags[n] = IsMissingValue(v) ? (s->flags[n] & ~on) : (s->flags[n] | on);
        return 0;
    }
    case 0x65:  // LBX
    case 0x66:  // UBX
    {
        if (!ParamIndex(s, n))
            return 1;
        const BYTE bit = code == 0x65 ? PARAM_LB_EXCLUSIVE : PARAM_UB_EXCLUSIVE;
        if (get)
            Number(value) = (s->flags[n] & bit) ? 1 : 0;
        else
            s->flags[n] = Number(value) != 0 ? (s->flags[n] | bit) : (s->flags[n] & ~bit);
        return 0;
    }
    case 0x25:  // CONFCOL, LCONFCOL
    case 0x26:  // UCONFCOL
    case 0x27:  // PREDCOL, LPREDCOL
    case 0x28:  // UPREDCOL
    case 0x15:  // FUNCCOL
    {
        if (!DepIndex(s, n))
            return 1;
        DepVarInfo& v = s->dep[n];
        QFitDataset& dataset = code == 0x25 ? v.lowerConf : code == 0x26 ? v.upperConf : code == 0x27 ? v.lowerPred
                               : code == 0x28 ? v.upperPred : v.fitCurve;
        if (get) {
            DatasetName(s, dataset, value);
            return 0;
        }
        const char* name = GetText(value);
        dataset = name[0] ? FindDataset(s, name, nullptr) : 0;
        if (code == 0x15)
            v.ownFitCurve = 0;
        return 0;
    }
    case 0x1:  // INIT: the session was made by the lookup
        return 0;
    case 0x7:  // BEGIN
        if (get) {
            Number(value) = s->fitActive ? 1 : 0;
            return 0;
        }
        if (const int rc = RequireFunction(s))
            return rc;
        return BeginFit(s, 1);
    case 0x8:  // END
        return FinishFitByValue(s, text);
    case 0x402:  // ITERATE
        if (const int rc = RequireFunction(s))
            return rc;
        return RunIterations(s, 1, 1, argument, static_cast<double*>(value));
    case 0x401:
        return RunIterations(s, 1, 0, argument, static_cast<double*>(value));
    case 0x403:  // SIMPLEX
        if (const int rc = RequireFunction(s))
            return rc;
        return RunIterations(s, 3, 1, argument, static_cast<double*>(value));
    case 0x404: {  // FIT
        if (const int rc = RequireFunction(s))
            return rc;
        const int rc = RunIterations(s, 2, 1, argument, static_cast<double*>(value));
        if ((rc == 0 || rc == FIT_WARN_DEPENDENCY) && !s->noFitCurve)
            FillResultCurve(s, -1, 'F');
        return rc;
    }
    case 0x3:  // PARSE
        return ParseFunctionText(s, 1);
    case 0xC: {  // CHKCONSTR
        int rc = BoundSession(s);
        if (rc == 0)
            rc = PrepareConstraints(s, 0);
        return rc ? rc : CheckConstraints(s, s->value);
    }
    case 0x1D:
    case 0x1E:  // SVCONSTR, RSCONSTR
        return 0;
    case 0x405: {  // PARARANGE
        int rc = BoundSession(s);
        if (rc == 0)
            rc = PrepareConstraints(s, 0);
        return rc ? rc : PrepareParameterRanges(s);
    }
    case 0x1F:  // MAKE
    case 0x20:  // MAKECURVE
        return ResultCommand(s, 1, text);
    case 0x14: {  // PARACONF
        if (CheckCurrentFunction(s) || ClearMissingDatasets(s))
            return 1;
        int rc = BoundSession(s);
        if (rc == 0)
            rc = RunIterations(s, -1, 0, 0, nullptr);
        return rc ? rc : FindParamConfidenceLimits(s);
    }
    case 0x1B:
        return FuncVal(s, text, value);
    case 0x2B:
        return VarCovar(s, text, value);
    case 0x36:  // UPDATEDIALOG
    case 0x35:
        RefreshSessionPage(s);
        return 0;
    case 0x2A:  // CLEANUPFITDATA
        ClearDatasetAssignments(s);
        return 0;
    case 0x23:  // SETINDEP
    case 0x22:  // SETDEPEND
        return SetVariableDataset(s, text ? text : "");
    case 0x24:  // SETWEIGHT
        return SetWeightDataset(s, text ? text : "");
    case 0x21: {  // CMATRIX
        int rc = BoundSession(s);
        if (rc == 0)
            rc = PrepareConstraints(s, 0);
        if (rc) {
            Number(value) = MISSING_VALUE;
            return rc;
        }
        return ConstraintMatrixElement(s, text, static_cast<double*>(value));
    }
    case 0x37:
        return ShowFitterPage(s, text);
    case 0x5E: {  // CATEGORY
        const char* category = text ? text : "";
        if (_stricmp(category, s->category) == 0)
            return 0;
        LoadFunctionGroup(s, category);
        SyncDefaultFunction(s, 0, category);
        return 0;
    }
    case 0x30:
        return FitSettingCode(s, static_cast<int>(argument), get, static_cast<double*>(value));
    case 0x33:
    case 0x34: {
        const char* script = code == 0x33 ? s->current->afterScript : s->current->initScript;
        if (script[0])
            CallHost(s, HOST_RUN_SCRIPT, reinterpret_cast<INT_PTR>(script), 0);
        return 0;
    }
    case 0x2E:  // a result request for the first dependent variable alone
        return ResultCommand(s, 0, text);
    case 0x2F:
        return SubtractFitFrom(s, 1, text);
    case 0x3C:
        DefineParams(s);
        return 0;
    case 0x3D:
        FinishFit(s, 0);
        ClearDatasetAssignments(s);
        return 0;
    case 0x41:
        if (s->msgPrompt == 0) {
            s->status = 65;
            return 1;
        }
        return 0;
    case 0x212:
        if (value)
            s->sessionInt = *static_cast<int32_t*>(value);
        return 0;
    default:
        return 1;
    }
}

// Splits "P3" or "P(i+1)" into the member and its index; false when not a member.
const FitMember* ResolveName(HWND hostWindow, HostCallback callback, const char* text, INT_PTR* index)
{
    *index = 1;
    if (const FitMember* m = FindMember(text))
        return m;
    int letters = 0;
    while (isalpha(static_cast<unsigned char>(text[letters])))
        ++letters;
    if (letters == 0 || letters > kMaxNameLetters)
        return nullptr;
    const char* rest = text + letters;
    if (strlen(rest) > static_cast<size_t>(kMaxIndexChars))
        return nullptr;
    char name[kMaxNameLetters + 1];
    snprintf(name, sizeof name, "%.*s", letters, text);
    const FitMember* m = FindMember(name);
    if (!m)
        return nullptr;
    if (*rest) {
        double v;
        if (callback(nullptr, HOST_EVAL_NUMBER, reinterpret_cast<INT_PTR>(rest), reinterpret_cast<INT_PTR>(&v)) != 0)
            return nullptr;
        if (!(fabs(v) < 2e9))
            return nullptr;
        *index = static_cast<INT_PTR>(v);
    }
    return m;
}

void ListMembers(HWND hostWindow)
{
    static const int kinds[] = {KIND_NUMBER, KIND_STRING, KIND_METHOD};
    for (int kind : kinds)
        for (const FitMember* m = FitMemberTable; m->code != -1; ++m) {
            if (m->kind != kind)
                continue;
            char text[64];
            snprintf(text, sizeof text, "type %s%s", m->name, kind == KIND_STRING ? "$" : kind == KIND_METHOD ? "()" : "");
            SendMessageA(hostWindow, WM_USER, 0, reinterpret_cast<LPARAM>(text));
        }
}

}  // namespace

int ClearMissingDatasets(FittingSession* s)
{
    if (s->nDep < 1 || s->nIndep < 1)
        return 1;
    int cleared = 0;
    for (int d = 1; d <= s->nDep; ++d)
        if (s->dep[d].dataset && CallHost(s, HOST_CHECK_DATASET, s->dep[d].dataset, 0)) {
            s->dep[d].dataset = 0;
            cleared = 1;
        }
    for (int i = 1; i <= s->nIndep; ++i)
        if (s->indep[i].dataset && CallHost(s, HOST_CHECK_DATASET, s->indep[i].dataset, 0)) {
            s->indep[i].dataset = 0;
            cleared = 1;
        }
    // A dependent variable without a dataset leaves nothing to fit either.
    for (int d = 1; d <= s->nDep; ++d)
        if (!s->dep[d].dataset)
            cleared = 1;
    return cleared;
}

int LiveSessionCount()
{
    return LiveSessions;
}

void CountSession(int delta)
{
    LiveSessions += delta;
}

extern "C" int WINAPI ScxFit(HWND hostWindow, int code, INT_PTR argument, void* value, HostCallback callback)
{
    if (!callback)
        return 1;
    const bool get = (code & QFIT_CODE_GET) != 0;
    const int base = code & ~QFIT_CODE_GET;
    FittingSession* s = nullptr;
    if (base == 1) {
        const int rc = CreateSession(hostWindow, callback, &s);
        return ReportFitError(s, callback, hostWindow, rc);
    }
    s = FindSession(hostWindow, callback);
    if (!s) {
        if (base == 2)
            return 0;
        const int rc = CreateSession(hostWindow, callback, &s);
        if (rc)
            return ReportFitError(nullptr, callback, hostWindow, rc);
        if (FittingSession* attached = FindSession(hostWindow, callback))
            s = attached;
    }
    if (base == 2) {
        EndSession(s, 1);
        return 0;
    }
    if (NeedsFunction(base) && !s->current) {
        // A run is a request the script must hear fail; reading a member without a function
        // simply has nothing to give.
        const bool run = base == 0x7 || base == 0x401 || base == 0x402 || base == 0x403 || base == 0x404;
        return run && !get ? ReportFitError(s, callback, hostWindow, RequireFunction(s)) : 1;
    }
    const int rc = Member(s, base, get, argument, value);
    return ReportFitError(s, callback, hostWindow, rc);
}

extern "C" int WINAPI NonLinearFit(HWND hostWindow, LPCSTR methodName, LPCSTR nameOrArgument, void* value,
                                   HostCallback callback, int operation)
{
    if ((operation & 0xFFFF) == QFIT_OP_LAST_STATUS) {
        if (value)
            *static_cast<int32_t*>(value) = LastStatus;
        return 1;
    }
    const bool exists = (operation & QFIT_OP_EXISTS) != 0;
    operation &= 0xFFFF & ~QFIT_OP_EXISTS;
    LastStatus = exists ? 0 : -1;
    if (!callback)
        return 2;
    const char* name;
    if (operation >= QFIT_OP_SET_NUMBER && operation <= QFIT_OP_GET_STRING) {
        name = nameOrArgument;
    } else if (operation == QFIT_OP_CALL_METHOD) {
        name = methodName;
    } else {
        char reason[64];
        snprintf(reason, sizeof reason, "qfit takes no operation %d", operation);
        callback(hostWindow, HOST_FAILURE_REASON, reinterpret_cast<INT_PTR>(reason), 0);
        return 2;
    }
    if (operation == QFIT_OP_GET_NUMBER && (!name || !name[0]) && !exists) {
        ListMembers(hostWindow);
        if (value)
            Number(value) = 0.0;
        return 1;
    }
    if (!name || !name[0]) {
        callback(hostWindow, HOST_FAILURE_REASON, reinterpret_cast<INT_PTR>("no member of qfit is named"), 0);
        return 2;
    }
    INT_PTR index;
    const FitMember* m = ResolveName(hostWindow, callback, name, &index);
    if (exists) {
        const bool fits = m && !(operation == QFIT_OP_GET_NUMBER && m->kind != KIND_NUMBER) &&
                          !(operation == QFIT_OP_GET_STRING && m->kind != KIND_STRING) &&
                          !(operation == QFIT_OP_CALL_METHOD && m->kind != KIND_METHOD);
        LastStatus = fits ? 0 : 1;
        return fits ? 1 : 2;
    }
    if (!m)
        return 0;
    switch (operation) {
    case QFIT_OP_GET_NUMBER:
    case QFIT_OP_GET_STRING:
        ScxFit(hostWindow, m->code | QFIT_CODE_GET, index, value, callback);
        if ((m->code & kRowMember) && value && operation == QFIT_OP_GET_NUMBER)
            Number(value) = static_cast<double>(static_cast<long long>(Number(value)) + 1);
        break;
    case QFIT_OP_SET_NUMBER:
    case QFIT_OP_SET_STRING:
        if ((m->code & kRowMember) && value && operation == QFIT_OP_SET_NUMBER)
            Number(value) = static_cast<double>(static_cast<long long>(Number(value)) - 1);
        ScxFit(hostWindow, m->code, index, value, callback);
        break;
    default:
        ScxFit(hostWindow, m->code, reinterpret_cast<INT_PTR>(nameOrArgument), value, callback);
        break;
    }
    return 1;
}

extern "C" int WINAPI QFITModuleInit(HWND hostWindow, UINT message, INT_PTR, HostCallback callback, INT_PTR)
{
    switch (message) {
    case QFITMOD_CAN_START: {
        bool freeSlot = false;
        for (int i = 1; i <= SESSION_TABLE_SLOTS; ++i)
            freeSlot = freeSlot || SessionTable[i].thread == 0;
        return LiveSessions >= SESSION_TABLE_SLOTS || !freeSlot ? 2 : 1;
    }
    case QFITMOD_CREATE:
        return ScxFit(hostWindow, 1, 0, nullptr, callback) ? 2 : 1;
    case QFITMOD_CLOSE: {
        FittingSession* s = WindowSession();
        if (!s)
            return 2;
        s->closing = 1;
        EndSession(s, 0);
        return 1;
    }
    default:
        return 1;
    }
}
