// The fit session record: everything the engine knows about one host thread's fitting work.
//
// The record is one zero-filled locked movable block; every array it points to is a block
// of its own. Per-parameter and per-variable arrays are 1-based (element 0 holds nothing);
// row numbers are 0-based and row ranges half-open {first; end}.
#pragma once

#include <string>

#include <windows.h>
#include <stdint.h>

#include "FitFunction.h"
#include "QFitHost.h"

// Keyword ids shared with function definitions and qfit.ini.
enum : int {
    KW_OFF = 0,
    KW_ON = 1,
    KW_YES = 2,
    KW_NO = 3,
    KW_SPACING_SAME_X = 129,
    KW_SPACING_UNIFORM = 130,
    KW_SPACING_GIVEN_X = 131,
    KW_SPACING_UNIFORM_2 = 132,
    KW_SPACING_UNIFORM_AXIS = 133,
    KW_BUILTIN = 8202,
    KW_EXTERNAL_DLL = 8203,
    KW_EXPRESSION = 8205,
    KW_Y_SCRIPT = 8206,
    KW_EQUATIONS = 8207,
    KW_USER_DEFINED = 8392,
    KW_DEFAULT_NAMING = 8209,
};

// Parameter flag bits.
enum : BYTE {
    PARAM_VARIES = 1,
    PARAM_LB_EXCLUSIVE = 2,
    PARAM_UB_EXCLUSIVE = 4,
    PARAM_LB_ON = 8,
    PARAM_UB_ON = 16,
};

enum : int {
    SESSION_TABLE_SLOTS = 100,
    PARAM_NAME_CHARS = 25,
    PENDING_TEXT_CHARS = 330,
    CATEGORY_CHARS = 130,
    MAX_FIT_SETS = 50,
    MAX_PEAK_DATASETS = 49,
    MAX_PARAMS = 200,
    PARAM_TEXT_CHARS = 33,
    PAGE_SELECT = 904,
    MAX_EQUATIONS = 20,
};

// The nine per-function options of section CONTROLS, in file order. A value is a keyword id;
// OPTION_INHERITED marks a value taken from the fitter settings because the file does not
// state it.
enum : int {
    OPT_CURVES,
    OPT_SPACING,
    OPT_PEAKS_AFTER,
    OPT_PEAKS_DURING,
    OPT_PEAKS_BASELINE,
    OPT_PASTE_TO_PLOT,
    OPT_PASTE_TO_NOTES,
    OPT_RESIDUE,
    OPT_KEEP_PARAMS,
    OPTION_COUNT,
    OPTION_INHERITED = 0x8000,
};

enum : int {
    FDF_TEXT_CHARS = 256,     // a text value holds at most 255 characters
    FDF_KEYLIST_CHARS = 1024,  // "key=value" items of CONSTANTS and the variable lists
    FDF_BODY_CHARS = QFIT_FORMULA_CAPACITY,
    // Modified flags.
    FDF_CHANGED = 1,
    FDF_NEVER_SAVED = 2,
};

// One function definition as read from its .fdf file. Plain data: it is copied as a whole,
// except the constraint text, which is a locked block of its own.
struct FunctionDef {
    char name[FDF_TEXT_CHARS];
    char path[MAX_PATH];  // the definition file without ".fdf"
    char description[FDF_TEXT_CHARS];
    int functionType;   // KW_BUILTIN, KW_EXTERNAL_DLL, KW_USER_DEFINED
    int functionForm;   // KW_EXPRESSION, KW_Y_SCRIPT, KW_EQUATIONS
    int namingMethod;   // KW_USER_DEFINED, KW_DEFAULT_NAMING
    char source[FDF_TEXT_CHARS];  // "LIB.FUNC" of library functions
    char formula[FDF_BODY_CHARS];
    char paramNames[FDF_TEXT_CHARS];  // "Names": entries split at blanks and commas
    char meanings[FDF_TEXT_CHARS];
    char initialValues[FDF_TEXT_CHARS];
    char lowerBounds[FDF_TEXT_CHARS];
    char upperBounds[FDF_TEXT_CHARS];
    char significantDigits[FDF_TEXT_CHARS];
    char initScript[FDF_BODY_CHARS];
    char afterScript[FDF_BODY_CHARS];
    char constants[FDF_KEYLIST_CHARS];         // "name=value" items joined by ","
    char independentNames[FDF_KEYLIST_CHARS];  // "name=" items (or plain names) joined by ","
    char dependentNames[FDF_KEYLIST_CHARS];
    char* constraints;      // locked block or null
    int constraintsSwitch;  // "General Linear Constraints": KW_ON or KW_OFF
    int initSwitch;         // "Initialization Scripts"
    int afterSwitch;        // "Scripts After Fitting"
    int16_t nIndependent;
    int16_t nDependent;
    int16_t nParams;
    int16_t nFourth;
    int16_t nDuplicates;
    int16_t duplicateOffset;
    int16_t duplicateUnit;
    int16_t options[OPTION_COUNT];
    int16_t derivativeFlag;  // analytical derivatives: the file's switch or the library's answer
    int16_t byOrdinal;
    int16_t modified;        // FDF_CHANGED, FDF_NEVER_SAVED
    int16_t measuredWidth;   // widest rendered line in characters
    int16_t measuredLines;
    HMODULE module;
    FitFunction function;
};

inline int OptionValue(const FunctionDef* def, int option) { return def->options[option] & 0x7FFF; }

struct DepVarInfo {
    QFitDataset dataset;
    int first;  // rows first .. end - 1 are fitted
    int end;
    int step;
    int weightType;  // 0 none, 1 instrumental, 2 statistical, 3 arbitrary dataset, 4 direct
    QFitDataset weightDataset;
    QFitDataset liveDataset;
    double y;              // observed value of the current row
    double fitted;         // fitted value of the current row
    double fitted2;        // second fitted value (numeric derivatives over all fit sets)
    double lastDenominator;
    int hasDenominator;    // nonzero once lastDenominator holds a usable value
    double lastDirectWeight;
    int hasDirectWeight;
    double xBegin, xEnd;   // X range of its result curve
    int xVariable;         // index of its X-providing independent variable in its list
    char weightName[PARAM_NAME_CHARS];  // script variable naming its weight dataset
    int readHandle;        // the host's prepared reading of its script variable, or 0
    // Result datasets. A curve the engine made itself (it did not exist before) is the only
    // kind it ever deletes again.
    QFitDataset fitCurve, lowerConf, upperConf, lowerPred, upperPred, residue;
    int ownFitCurve;
};

struct IndepVarInfo {
    char name[PARAM_NAME_CHARS];
    QFitDataset dataset;
    double value;     // current value
    int useAlt;       // read through HOST_GET_VALUE_ALT
    int first, end;
    double xFrom, xTo;
    int useXRange;
    int slot;         // the host's slot of its script variable, or 0
    double lastSet;   // the value last set through the slot, in chi-square pass lastPass
    int lastPass;
    int kindRun;      // the run of iterations (rowCacheRun) that set its kind and index
};

struct FitSetInfo {
    int16_t firstDependent;
    int16_t lastDependent;
    int firstRow;
    int endRow;
    int step;
};

struct FittingSession {
    // 1. host link
    HostCallback callback;
    HWND hostWindow;
    // 2-3. counts
    int nConstraints;
    int nEffective;
    int paramCapacity;
    int nVary;
    int paramsChanged;
    // 4. parameter table (1-based, nParams entries)
    double* value;
    double* error;
    double* upperLimit;
    double* lowerLimit;
    double* dependency;
    double* halfWidth;
    double* lowerBound;
    double* upperBound;
    BYTE* flags;
    char (*names)[PARAM_NAME_CHARS];
    // 5-9. LM engine arrays (allocated while a fitting session is begun)
    double** alpha;
    double** work;  // step solver's matrix; after a fit the variance-covariance matrix
    double** svdV;
    double** derivatives;  // [dependent variable][parameter]
    int* varyMap;          // varying position -> parameter index
    int* pivotRow;
    int* pivotColumn;
    int* pivotUsed;
    int* pinned;           // varying positions held at a bound for this round's steps
    double* rhs;
    double* beta;
    double* backup;
    double* lastTrial;     // the values of the round's last trial, when it found no reduction
    double* step;
    double* singular;
    // 10. function-call buffers
    double* callDerivs;
    double* callParams;
    double* callX;
    double* callY;
    double* savedY;
    double* callWork;
    // 11. pending message text
    char pendingText[PENDING_TEXT_CHARS];
    int16_t pendingFlag;
    // Why the last definition could not be read, in words (empty when it was read), and the
    // function a script last asked for: a later run without a function names it.
    char definitionError[PENDING_TEXT_CHARS];
    char requestedFunction[CATEGORY_CHARS];
    // 12. status
    int status;
    // 13. constraints
    char unknownName[65];
    // 14. states
    int16_t constraintState;  // 0 unparsed, 1 text changed, 2 parsed with, 3 without
    int16_t fitActive;
    // 15. constraint matrices (see FitConstraints)
    double** constraintRows;   // [constraint][parameter], all parameters
    double* constraintConst;
    int* constraintRelation;
    double** effectiveRows;    // [constraint][varying position]
    double* effectiveConst;
    int* effectiveRelation;
    double constraintTolerance;
    // 16. statistics
    double cod;
    double ssr;
    double previousSsr;
    double chiSqr;
    double relativeSsr;
    int relativeSet;           // whether the last chi-square set relativeSsr (its sums were not 0)
    double tolerance;
    double confidence;
    double correlation;
    double paraChange;
    double singularCriterion;
    double derivStep;
    double minDerivStep;
    double maxDerivStep;
    // 17.
    int16_t fixedDerivStep;
    int noFitCurve;
    int initNfitPts;
    // 18. LM counters
    double mu;
    double muMin;
    int failures;
    int lmRounds;
    int evaluationLimit;
    int nIter;
    int trials;
    int iterationsSinceBegin;
    int dataChanged;
    int currentRow;
    unsigned nPoints;
    int dataStep;
    // 19. result curves
    double xBegin, xEnd;
    int xPoints;
    double xStep;
    int xMode;
    int funcxFirst, funcxEnd;
    int msgPrompt;
    QFitDataset covarDataset;
    QFitDataset funcxDataset;
    double lastQuantile;
    double gateFactor;
    // The graph that shows the fit: its name and 16-bit window id.
    char fitGraphName[QFIT_HOST_TEXT_CAPACITY];
    int fitGraphId;
    // 20.
    char fitWorksheet[QFIT_HOST_TEXT_CAPACITY];
    int fitColumn;
    // 22. category
    int nFunctions;
    char category[CATEGORY_CHARS];
    // 23. function list
    FunctionDef* current;
    FunctionDef** functions;  // loaded definitions, 0-based, nFunctions entries
    int functionCapacity;
    HINSTANCE instance;
    // 24. variables
    IndepVarInfo* indep;  // 1-based
    DepVarInfo* dep;      // 1-based
    int16_t nDep;
    int16_t nIndep;
    int nParams;
    int16_t nFitSets;
    int separatePerFitSet;
    int paramsPerSet;  // parameters of one fit set
    // Replicas: a parameter of the definition whose copies all replicas share (1 = shared) is
    // one parameter of the fit set. The function is called with callSlots values: slot j
    // takes the set's parameter localOfSlot[j]; slotOfLocal gives each parameter's first slot.
    BYTE sharedByReplicas[MAX_PARAMS + 1];
    int16_t localOfSlot[MAX_PARAMS + 1];
    int16_t slotOfLocal[MAX_PARAMS + 1];
    int callSlots;
    // Slots of a fit set whose parameter all fit sets share (1 = shared); a shared slot is
    // fit set 1's parameter in every set.
    BYTE sharedBySets[MAX_PARAMS + 1];
    // Kept with the flags (UpdateSharedSlots): each unshared slot's place among them, and
    // how many slots are shared.
    int16_t ownRank[MAX_PARAMS + 1];
    int nSharedBySets;
    // 25. fitter window and options
    HWND fitterWindow;
    int16_t pageId;
    // The fitter window's display state; it outlives the window so that the next opening
    // shows the same page in the same place.
    HWND pageWindow;
    int fullMenu;     // QFITMenu rather than QFITMenuShort; set when a session starts
    int rebuildPage;  // the current page is rebuilt in place; leave and enter checks skipped
    int noCheck;      // re-selecting the page rebuilds it; leaving a definition page skips its check
    int16_t savedRect[4];  // left, top, width, height; used once for the next sizing
    int16_t maxTrack[2];
    char textBuffer[256];
    // The parameter table of the pages (1-based rows; slot 0 unused). A slot holds a text
    // of at most PARAM_TEXT_CHARS - 1 characters, the edit limit.
    char (*valueTexts)[PARAM_TEXT_CHARS];
    char (*boundTexts)[2][PARAM_TEXT_CHARS];
    BYTE flagsBefore[MAX_PARAMS + 1];  // the flags as the table was prepared
    BYTE digits[MAX_PARAMS + 1];       // significant digits shown, 0 free
    int paramRows, paramFirst, paramLast;
    int valuesEdited;
    int viewMode;  // function view of the select page: 0 equation, 1 sample curve, 2 file
    int iterationCount;    // N of the session page's "N Iter." buttons
    int16_t actionCount;   // numbers the entries of the session page's log
    char* savedLog;        // the log kept while the session page is away during a fit
    // Parameter history of the session page: snapshots of (chi-square, values 1..n).
    double* history;
    int historyCurrent, historyLast, historyCapacity;
    QFitDataset peakDatasets[MAX_PEAK_DATASETS + 1];
    QFitDataset ownPeaks[MAX_PEAK_DATASETS + 1];  // live peak datasets the engine made
    int16_t optCurves, optSpacing, optPeaksAfter, optPeaksDuring, optPeaksBaseline,
        optPasteToPlot, optPasteToLog, optResidue, optKeepParams, optSimulateCurrent;
    int16_t enableToolbar, basicFitter;
    // 21. The current user-defined function as prepared for evaluation, once for each
    // function set-up and formula text (preparedFor): the host's translation of the formula
    // (Expression) or of the equations, split into left-hand names and right-hand texts
    // (Equations), the host's handles of the formulas it compiled, and its slots of the
    // variables the model sets; 0 where the host has none (names and texts are used then).
    int prepared;
    int preparedPass;  // the chi-square pass that last found the preparation current
    char preparedFor[FDF_BODY_CHARS];
    char formulaText[QFIT_FORMULA_CAPACITY];
    int formulaHandle;
    int nEquations;
    char equationNames[MAX_EQUATIONS + 1][PARAM_NAME_CHARS];
    int equationStart[MAX_EQUATIONS + 1];  // offsets of the right-hand texts in formulaText
    int equationHandle[MAX_EQUATIONS + 1];
    int equationSlot[MAX_EQUATIONS + 1];
    int paramSlot[MAX_PARAMS + 1];     // of the names of fit set 1, which the formula uses
    double paramSet[MAX_PARAMS + 1];   // the value last set through each slot, in pass paramPass
    int paramPass[MAX_PARAMS + 1];
    int paramKindRun[MAX_PARAMS + 1];  // as IndepVarInfo::kindRun
    // Within one chi-square pass of an Expression function nothing but the engine sets the
    // model's variables, so a variable whose value did not change is not set again. The
    // number of the pass under way, 0 outside passes.
    int modelPass;
    int passCounter;
    // The rows of one run of iterations, read once. Within a run of a library function or
    // an Expression nothing but the engine reaches the host's data, so the first pass keeps
    // each row's code, observed values and independent values (rowCacheWidth doubles a row,
    // in the order the passes visit the rows) and the later passes take them from here.
    double* rowCache;
    size_t rowCacheRows;    // rows the cache has room for
    size_t rowCacheFilled;  // rows read into it so far
    int rowCacheWidth;
    // With numeric derivatives, the last pass of values of the run keeps each row's success
    // and fitted values (fittedWidth doubles a row) at its parameters (fittedParams, 1-based);
    // a pass of derivatives at the same parameters starts from them.
    double* fittedCache;
    double* fittedParams;
    int fittedWidth;
    int fittedValid;
    // The host did not evaluate an Expression for many rows in one request during this run
    // of iterations: the rows are evaluated one by one for the rest of it.
    int rowsRefused;
    // Counts the runs that made a row cache. Within one, nothing but the engine sets the
    // model's variables, so the kind and index a variable got from a request of rows stay
    // until the run ends, and the later requests send only its values.
    int rowCacheRun;
    // The columns of a block of rows evaluated together, kept for the run's passes.
    double* blockWork;
    size_t blockWorkSize;
    // The run's function is the function library's Gauss: the passes compute its rows here,
    // with the library's own arithmetic, instead of calling it for every row.
    int libraryGauss;
    // 26.
    FitSetInfo fitSets[MAX_FIT_SETS + 1];
    // 27. flags
    int resultsChanged;
    int closing;
    int chiSquareOnly;
    int runFlags;
    int sessionInt;  // ScxFit code 0x212
};

inline int IndepPerSet(const FittingSession* s)
{
    return s->current && s->current->nIndependent > 0 ? s->current->nIndependent : s->nIndep;
}

inline int FirstIndepOfSet(const FittingSession* s, int fitSet)
{
    return (fitSet - 1) * IndepPerSet(s) + 1;
}

inline int ParamsPerSet(const FittingSession* s)
{
    return s->paramsPerSet;
}

// The parameters of fit set 1 are 1..m (m slots a set); each further set has one parameter
// of its own for every slot not shared by all sets, after those of the sets before it.
inline int SharedSlotCount(const FittingSession* s)
{
    return s->nSharedBySets;
}

inline int ParamOfSlot(const FittingSession* s, int fitSet, int slot)
{
    if (!s->separatePerFitSet || fitSet <= 1 || s->sharedBySets[slot])
        return slot;
    const int m = s->paramsPerSet;
    return m + (fitSet - 2) * (m - s->nSharedBySets) + s->ownRank[slot];
}

// The parameter that call slot j of the function takes in a fit set.
inline int ParamOfCallSlot(const FittingSession* s, int fitSet, int j)
{
    return ParamOfSlot(s, fitSet, s->localOfSlot[j]);
}

// Recounts the shared slots and the unshared ones' places after the flags changed.
inline void UpdateSharedSlots(FittingSession* s)
{
    s->nSharedBySets = 0;
    int own = 0;
    for (int j = 1; j <= MAX_PARAMS; ++j) {
        if (j > s->paramsPerSet)
            s->sharedBySets[j] = 0;
        s->nSharedBySets += s->sharedBySets[j] != 0;
        s->ownRank[j] = static_cast<int16_t>(s->sharedBySets[j] ? 0 : ++own);
    }
}

// Whether parameter k enters the model of the fit set.
inline bool ParamInFitSet(const FittingSession* s, int fitSet, int k)
{
    const int m = s->paramsPerSet;
    if (!s->separatePerFitSet)
        return true;
    if (k <= m)
        return fitSet == 1 || s->sharedBySets[k];
    const int own = m - SharedSlotCount(s);
    return own > 0 && (k - m - 1) / own + 2 == fitSet;
}

// The fit set and slot of parameter k (for a shared parameter, set 1).
inline void SetAndSlotOfParam(const FittingSession* s, int k, int* fitSet, int* slot)
{
    const int m = s->paramsPerSet;
    *fitSet = 1;
    *slot = k;
    if (!s->separatePerFitSet || k <= m)
        return;
    const int own = m - SharedSlotCount(s);
    *fitSet = (k - m - 1) / own + 2;
    int rank = (k - m - 1) % own + 1;
    for (int j = 1; j <= m; ++j)
        if (!s->sharedBySets[j] && --rank == 0) {
            *slot = j;
            return;
        }
}

// Module-wide state of the library.
struct SessionSlot {
    DWORD thread;
    FittingSession* session;
};
extern SessionSlot SessionTable[SESSION_TABLE_SLOTS + 1];
extern HINSTANCE FitterInstance;
extern int ErrorsWithChiSq;

// Session lifecycle.
int CreateSession(HWND hostWindow, HostCallback callback, FittingSession** out);
void EndSession(FittingSession* s, int mode);
FittingSession* WindowSession();
FittingSession* FindSession(HWND hostWindow, HostCallback callback);
inline int IsFitActive(const FittingSession* s) { return s->fitActive; }
void ResetSessionDefaults(FittingSession* s);

// Host helpers.
INT_PTR CallHost(FittingSession* s, UINT request, INT_PTR a1, INT_PTR a2, HWND context = nullptr);
// A folder the host names (HOST_GET_PROGRAM_DIR, HOST_GET_SETTINGS_DIR, ...), ending in "\\"
// unless the host names none.
std::string HostFolder(FittingSession* s, UINT request);
int ReportFitError(FittingSession* s, HostCallback callback, HWND hostWindow, int code);
void SetPendingText(FittingSession* s, const char* text);
double GetScriptValue(FittingSession* s, const char* text);
int EvalNumber(FittingSession* s, const char* text, double* out);
void ReportProgress(FittingSession* s, int id, const char* text);
// Progress with "%d", "%d:%d" and "%s at iteration %d".
void ReportProgressCount(FittingSession* s, int id, int count);
void ReportProgressPair(FittingSession* s, int id, int first, int second);
void ReportProgressIteration(FittingSession* s, int id, const char* mu, int iteration);
void EndProgress(FittingSession* s);

// Function layout (one fit set, no duplicates).
int AddLoadedFunction(FittingSession* s, const FunctionDef* def);
FunctionDef* FindLoadedFunction(FittingSession* s, const char* name);
int SelectFunction(FittingSession* s, FunctionDef* def);
int LoadFunctionLibrary(FittingSession* s);
// A library of the program folder by plain file name; null for a name with a folder in it.
HMODULE LoadLibraryFromProgramDir(FittingSession* s, const char* name);
// The converter of old-format function files (".f"): asked first with no record whether it
// can convert the file (-1: it cannot), then with the record to fill.
typedef int(WINAPI* ReadOldFunctionFileProc)(const char* path, FunctionDef* def);
extern const char kOldFormatConverter[];
void FreeFunctionLibrary(FunctionDef* def);
int CheckCurrentFunction(FittingSession* s);
void GetParamName(FittingSession* s, int index, char* out, size_t capacity);
int BeginFit(FittingSession* s, int runFirst);
void FinishFit(FittingSession* s, int flags);
void FreeParamTable(FittingSession* s);
void FreeVariables(FittingSession* s);
void FreeEngineArrays(FittingSession* s);
void DefineParams(FittingSession* s);
void PublishParamValues(FittingSession* s);
int BuildVaryMap(FittingSession* s);
// 28051 with the names of the parameters without a value as pending text, else 0.
int RequireParamValues(FittingSession* s);
void EstimateMissingParams(FittingSession* s);
// Duplicates: the parameters one duplicate repeats (0 without), all parameter slots of one
// fit set, the base parameter of slot k, and changing the number of duplicates.
int DuplicateUnitSize(const FunctionDef* def);
int ParamSlotCount(const FunctionDef* def);
int BaseParam(const FunctionDef* def, int k);
int SetDuplicateCount(FittingSession* s, int count);
// Maps the function's call slots to the parameters of one fit set, the copies of a
// parameter all replicas share to the one parameter; the parameters of one fit set.
int UpdateReplicaSlots(FittingSession* s);
// The definition's parameter of one fit set's parameter k (1..the set's count).
int BaseOfLocal(const FittingSession* s, int k);
// Shares parameter p of the definition (one the replicas repeat) among all replicas, or
// gives each replica its own again; a shared parameter keeps the first copy's value, the
// copies given back take it. 0 done; 1 when p is not repeated by replicas.
int ShareAcrossReplicas(FittingSession* s, int p, bool shared);
// Fit sets: set f owns dependent rows (f-1)*D+1 .. f*D and independent rows (f-1)*K+1 ..
// f*K of the function's D dependent and K independent variables, and, with more than one
// set, parameters of its own: slot j of set f is parameter (f-1)*m + j, m the slots of one
// set. SetFitSetCount lays the session out for n sets; 1 when n is not 1..50.
// (Inline: the model is evaluated through them for every row.)
int SetFitSetCount(FittingSession* s, int n);
// Shares slot j of every fit set's parameters among all sets (or gives each set its own
// again); the shared parameter keeps fit set 1's value. 0 done; 1 when j is not a slot or
// there is one fit set only.
int ShareAcrossFitSets(FittingSession* s, int slot, bool shared);
// The named dataset and its rows for a variable; 0 with the name as pending text when the
// host has no such dataset.
QFitDataset FindDatasetRange(FittingSession* s, const char* name, int* first, int* end);
// Assigns the named dataset and its rows to a variable; an empty name clears it.
// FIT_ERR_NO_COLUMN when the host has no such dataset (the variable keeps its dataset).
int AssignDatasetRange(FittingSession* s, const char* name, QFitDataset* dataset, int* first, int* end);
// The host's name of a dataset; empty for none.
std::string DatasetName(FittingSession* s, QFitDataset dataset);

// Model evaluation.
int ReadFitSetRow(FittingSession* s, int fitSet, int row);
int EvaluateModel(FittingSession* s, int modeFlags, int fitSet);
// A chi-square pass over the data: the model's variables are set only when they change.
void BeginModelPass(FittingSession* s);
void EndModelPass(FittingSession* s);
// The current user-defined function's formula made ready for evaluation (the host's
// translation, the equations split, the host's prepared formulas and variable slots);
// done once for each set-up and formula text. 0 when done.
int PrepareUserFormula(FittingSession* s);
// Equations form: the text normalised, translated by the host into the session's formula
// buffer and split; the number of equations, or -1 when they do not fit the buffers.
int ParseEquations(FittingSession* s, const char* text);
int EvaluateAt(FittingSession* s, const double* values, double* out);
// An Expression's values at many rows of a fit set in one host request, at the current
// parameters: columns[i] holds the rows' values of the set's independent variable i
// (0-based). 0 when the host evaluated every row; nonzero when it cannot (a host without
// the request, a formula it does not prepare, a row that fails), and the rows are then
// to be evaluated one by one, which gives the same values and says what failed.
// columns[nIndep + c], when given, holds the rows' values of the parameter of the formula's
// slot paramSlots[c] (1-based, as paramSlot), which then changes from row to row: so the
// model and its forward steps go in one request.
int EvaluateExpressionRows(FittingSession* s, int fitSet, const double* const* columns, int rows, double* out,
                           int nParamColumns = 0, const int* paramSlots = nullptr);
// Name of dependent variable d: its entry in the definition's list, else "y" or "y<d>".
void DependentName(FittingSession* s, int d, char* out, size_t capacity);
// The set-up call of an External DLL function bound by ordinal, once after binding.
void InitRecordFunction(FittingSession* s);

// Result curves, residues and bands.
int ResultCommand(FittingSession* s, int all, const char* argument);
// Band datasets given as lower and upper are filled instead of the named ones made.
int FillResultCurve(FittingSession* s, int d, char what, QFitDataset lower = 0, QFitDataset upper = 0);
// Result columns of dependent variable d in its worksheet, at the data's rows: kind 'F' the
// fit curve (column "B", labelled "<function> fit of <dataset>"), which ending the fit does
// not delete; 'C' the confidence band ("LCL", "UCL"), 'P' the prediction band ("LPL",
// "UPL"), labelled with the level. A taken name gives way to the next free column name.
// 0 made, 1 when no column could be made or filled.
int MakeResultColumns(FittingSession* s, int d, char kind);
// Evaluates the current definition's constants and, for a User-Defined function, defines
// them as script variables; 0 done, FIT_ERR_DEFINITION (pending text says which) else.
int ApplyConstants(FittingSession* s);
int MakeResidueCurve(FittingSession* s, int d);
int SubtractFitFrom(FittingSession* s, int d, const char* name);
int StoreVarCovarMatrix(FittingSession* s);
int FindParamConfidenceLimits(FittingSession* s);
void PrepareLiveCurves(FittingSession* s);
void FinishLiveCurves(FittingSession* s);
int ComputeBandFactor(FittingSession* s, double* factor);
void ForgetResultDatasets(FittingSession* s);
// Derivatives of the model at the current row of a fit set, into s->derivatives.
int ModelDerivatives(FittingSession* s, int fitSet);
int FitSetOfDependent(FittingSession* s, int d);

// The host window: the active window's kind (exist(): 2 worksheet, 3 graph), and the fit
// graph, remembered when a fit begins in a graph, made when none is shown, brought back
// before result curves are drawn.
int GetActiveWindowType(FittingSession* s);
void RememberFitGraph(FittingSession* s);
int PlotFitData(FittingSession* s);
int ActivateFitPlot(FittingSession* s);
// The kind of the window the fit was begun in (as exist() gives it, 3 a graph), 0 for none.
int FitWindowType(FittingSession* s);

// Datasets taken from the host window before a fit: from the active worksheet's column
// selection or the active graph's layer. With ask the user confirms or chooses through the
// fitter's messages; *page becomes the page to go on with (PAGE_ID_SESSION, the datasets or
// the selection page) or stays. 1 when the current function cannot be fitted, else 0.
int AutoAssignDatasets(FittingSession* s, int ask, int* page);
// Independent variable i takes the X of dependent variable d over its rows; which
// independent variable of each dependent one carries its X; each dependent dataset (all
// for -1) given the X of that variable, so that the host plots the data as the fit sees them.
void LinkToDependent(FittingSession* s, int i, int d);
void MatchIndependentDatasets(FittingSession* s);
void LinkXDataset(FittingSession* s, int d);

// Dataset assignment from scripts. ClearMissingDatasets drops handles the host no longer
// knows; 1 when it dropped any, or a dependent variable has none (or the function has no
// variables).
int ClearMissingDatasets(FittingSession* s);
int SetVariableDataset(FittingSession* s, const char* argument);
int SetWeightDataset(FittingSession* s, const char* argument);
void ClearDatasetAssignments(FittingSession* s);
void ApplyDefinitionValues(FittingSession* s);

// A variable's rows become its dataset's used range when they no longer lie inside it
// (first before the range, end beyond it, or nothing left between them).
void ValidateDataRange(FittingSession* s, QFitDataset dataset, int* first, int* end, double* xFrom,
                       double* xTo, bool direct);
// Each fit set's rows span the rows of its dependent variables.
void UpdateFitSetRanges(FittingSession* s);

// Iterations.
int RunIterations(FittingSession* s, int kind, int countIsText, INT_PTR count, double* result);
int ChiSquareWithDerivatives(FittingSession* s);
int ChiSquare(FittingSession* s);
int SolveLMStep(FittingSession* s, int flagStep);
int ComputeErrors(FittingSession* s);
int SingularDiagnosis(FittingSession* s, double** matrix, int n, int code);
int GaussJordan(double** a, int n, double* b, int* rowIndex, int* columnIndex, int* used);
int RunSimplex(FittingSession* s);

// Bounds and constraints.
int ParseFunctionText(FittingSession* s, int clearState);
int PrepareConstraints(FittingSession* s, int clearState);
int CheckConstraints(FittingSession* s, const double* values);
void ApplyBounds(FittingSession* s, double* newValues, const double* oldValues);
int ProjectOnConstraints(FittingSession* s, double* values);
int ConstraintCorrection(FittingSession* s, double* values, double** metric);
int PrepareParameterRanges(FittingSession* s);
int ConstraintMatrixElement(FittingSession* s, const char* argument, double* out);
void FreeConstraints(FittingSession* s);

// Function definition files and the catalogue.
enum : int { WALK_READ = 0, WALK_WRITE = 1, WALK_RENDER = 4, WALK_MEASURE = 5, WALK_PARSE = 6 };
const char* KeywordText(int id);  // null when no row has the id
int KeywordId(const char* text);  // -1 when no row has the text
// A definition as a new, never saved function would start: User-Defined Expression, counts
// not given, switches off, options inherited from the settings.
void DefaultFunction(FittingSession* s, FunctionDef* def);
// Reads path + ".fdf" into def; 0 read, 1 not read (s->definitionError then says why when
// the file exists).
int ReadFunctionFile(FittingSession* s, FunctionDef* def, const char* path);
// Parses a definition from profile-layout text (the definition page's edit); 0 parsed.
int ParseFunctionDefinition(FittingSession* s, FunctionDef* def, const char* text);
// Renders the file text into out; 0 done, 1 when it does not fit.
int RenderFunction(FittingSession* s, const FunctionDef* def, char* out, size_t capacity);
// Writes the definition into the settings folder's fitfunc folder and enters it in the
// current category; 0 written, 1 not written.
int WriteFunctionFile(FittingSession* s, FunctionDef* def);
void MeasureFunction(FittingSession* s, FunctionDef* def);
// Paints the file text on dc from y down, one lineHeight a line, in the device context's
// font: section titles in dark blue, keys in green, values and bodies in black. With
// formulaOnly only the FORMULA section is painted.
void DrawFunction(FittingSession* s, const FunctionDef* def, HDC dc, int y, int lineHeight, bool formulaOnly);
// Replaces one string field (by its key id); 1 changed, 0 unchanged or unknown key.
int SetFunctionField(FunctionDef* def, int keyId, const char* text);
int CopyFunction(FunctionDef* target, const FunctionDef* source);
int FunctionsDiffer(const FunctionDef* a, const FunctionDef* b);
void ReleaseFunction(FunctionDef* def);  // library and constraint block

int ResolveFunctionDir(FittingSession* s, const char* folder, char* out, size_t capacity);
int LoadFunctionGroup(FittingSession* s, const char* category);
int FindFunctionCategory(const char* name, const char* iniPath, char* out, size_t capacity);
int AddFunctionToCategory(const char* category, const FunctionDef* def, const char* iniPath);
int SyncDefaultFunction(FittingSession* s, int mode, const char* category);
int RemoveFunction(FittingSession* s, int index);
void FreeFunctionList(FittingSession* s);
// The function of that name, loaded from its category when it is not loaded yet. Null when
// it is in no category or its file cannot be read; s->definitionError then says which.
FunctionDef* FindOrLoadFunction(FittingSession* s, const char* name);
// Why a loaded definition cannot be fitted (no name, counts not given or out of range), in
// words, or empty when it can.
std::string DefinitionFault(const FunctionDef* def);
// Moves the old lists of section "FitFunc" of the host's profile file into categories; 0
// when they were converted and the section removed, 1 otherwise.
int ConvertOldFunctionLists(FittingSession* s);

// Settings.
void ExchangeFitSettings(FittingSession* s, int write);
int FitSettingCode(FittingSession* s, int subCode, int get, double* value);
void GetIniPath(FittingSession* s, char* out, size_t capacity);
// Where changes of settings and catalogue go: the settings folder's qfit.ini, made as a copy
// of the one in use when the settings folder has none; GetIniPath's when there is no
// settings folder.
void GetWritableIniPath(FittingSession* s, char* out, size_t capacity);
// Why a value is outside the range of setting key (tolerance, derivStepSize,
// minDerivStepSize, maxDerivStepSize, STEP, FITNPTS, initNfitPts), or null when it is in.
const char* SettingFault(const FittingSession* s, const char* key, double v);
// Stores v in field unless it is out of range for key; then FIT_ERR_SETTING with the reason
// as pending text, and the field keeps its value.
int SetCheckedSetting(FittingSession* s, const char* key, double* field, double v);
