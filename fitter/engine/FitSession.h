// The fit session record: everything the engine knows about one host thread's fitting work.
//
// The record is one zero-filled locked movable block; every array it points to is a block
// of its own. Per-parameter and per-variable arrays are 1-based (element 0 holds nothing);
// row numbers are 0-based and row ranges half-open {first; end}.
#pragma once

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
    FUNCTION_NAME_CHARS = 64,
    PENDING_TEXT_CHARS = 330,
    CATEGORY_CHARS = 130,
    MAX_FIT_SETS = 50,
    MAX_PEAK_DATASETS = 49,
    MAX_PARAMS = 200,
    PAGE_SELECT = 904,
};

// The in-memory function definition as far as the engine's runs need it: identity, counts,
// where the model is computed, parameter names and the constraint text.
struct FunctionDef {
    char name[FUNCTION_NAME_CHARS];
    int functionType;   // KW_BUILTIN, KW_EXTERNAL_DLL, KW_USER_DEFINED
    int functionForm;   // KW_EXPRESSION, KW_Y_SCRIPT, KW_EQUATIONS
    char source[MAX_PATH];  // "LIB.FUNC" of library functions
    char formula[QFIT_FORMULA_CAPACITY];
    char paramNames[1024];  // "Names": entries split at blanks and commas
    char independentNames[256];
    char dependentNames[256];
    char* constraints;      // locked block or null
    int constraintsSwitch;  // "General Linear Constraints": KW_ON or KW_OFF
    int16_t nIndependent;
    int16_t nDependent;
    int16_t nParams;
    int16_t nFourth;
    int16_t keepParameters;          // option "Keep Parameters" (KW_YES / KW_NO)
    int16_t derivativeFlag;          // answer of the query call: analytical derivatives
    int16_t byOrdinal;
    HMODULE module;
    FitFunction function;
};

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
};

struct IndepVarInfo {
    char name[PARAM_NAME_CHARS];
    QFitDataset dataset;
    double value;     // current value
    int useAlt;       // read through HOST_GET_VALUE_ALT
    int first, end;
    double xFrom, xTo;
    int useXRange;
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
    // 25. fitter window and options
    HWND fitterWindow;
    int16_t pageId;
    QFitDataset peakDatasets[MAX_PEAK_DATASETS + 1];
    int16_t optCurves, optSpacing, optPeaksAfter, optPeaksDuring, optPeaksBaseline,
        optPasteToPlot, optPasteToLog, optResidue, optKeepParams, optSimulateCurrent;
    int16_t enableToolbar, basicFitter;
    // 26.
    FitSetInfo fitSets[MAX_FIT_SETS + 1];
    // 27. flags
    int resultsChanged;
    int closing;
    int chiSquareOnly;
    int runFlags;
    int sessionInt;  // ScxFit code 0x212
};

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
int ReportFitError(FittingSession* s, HostCallback callback, HWND hostWindow, int code);
void SetPendingText(FittingSession* s, const char* text);
double GetScriptValue(FittingSession* s, const char* text);
int EvalNumber(FittingSession* s, const char* text, double* out);
void ReportProgress(FittingSession* s, int id, const char* text);
void EndProgress(FittingSession* s);

// Function layout (one fit set, no duplicates).
int AddLoadedFunction(FittingSession* s, const FunctionDef* def);
FunctionDef* FindLoadedFunction(FittingSession* s, const char* name);
int SelectFunction(FittingSession* s, FunctionDef* def);
int LoadFunctionLibrary(FittingSession* s);
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
// The named dataset and its rows for a variable; 0 with the name as pending text when the
// host has no such dataset.
QFitDataset FindDatasetRange(FittingSession* s, const char* name, int* first, int* end);

// Model evaluation.
int ReadFitSetRow(FittingSession* s, int fitSet, int row);
int EvaluateModel(FittingSession* s, int modeFlags, int fitSet);
int EvaluateAt(FittingSession* s, const double* values, double* out);
// The set-up call of an External DLL function bound by ordinal, once after binding.
void InitRecordFunction(FittingSession* s);

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

// Settings.
void ExchangeFitSettings(FittingSession* s, int write);
int FitSettingCode(FittingSession* s, int subCode, int get, double* value);
void GetIniPath(FittingSession* s, char* out, size_t capacity);
