// The fit engine's link to its host: the host callback, its request codes and records,
// the engine codes 28021-28053 and the three exports the kernel calls.
//
// The fitter never links the kernel; every service it needs is one call of the host
// callback that each export receives. The kernel answers the requests from its data
// model; tests answer them with a recording host.
//
// Width rules: the callback's context, arguments and result are pointer-sized, because
// they carry buffers, records, handles and the session pointer. Records whose fields are
// numbers keep the widths given here (they never meet a file, but both sides compile
// this header, so the layout is fixed by it).
//
// Row convention: every row number that crosses the callback is 0-based, and a row
// range is half-open {first; end}: the rows first .. end - 1. The engine stores ranges
// the same way, which is why DATAEND needs no 0-based/1-based conversion while
// DATABEGIN does.
#pragma once

#include <windows.h>
#include <stdint.h>

#include "qxdefs.h"

struct FittingSession;  // opaque to the host

// ---------------------------------------------------------------------------------------
// The callback

// context: the host window for the session, stop, error and progress requests and for
// HOST_REQ_3018, HOST_TO_AXIS_SCALE, HOST_FROM_AXIS_SCALE and the FUNCX dataset lookup;
// 0 for every other request (HOST_DETACH_SESSION included).
// Result: 0 = done for requests that fill an output; a handle (0 = none) for requests that
// produce an object; nonzero = yes for test requests.
typedef INT_PTR(WINAPI* HostCallback)(HWND context, UINT request, INT_PTR arg1, INT_PTR arg2);

// Dataset handles are opaque values owned by the host; 0 is none.
typedef INT_PTR QFitDataset;

// Capacities of the text buffers the engine hands to the host. The host writes at most
// capacity - 1 characters and a terminating zero; a longer answer is cut.
enum : int {
    QFIT_HOST_TEXT_CAPACITY = 260,      // folders, window, dataset and worksheet names,
                                        // string variables, the path of HOST_REQ_1019
    QFIT_FORMULA_CAPACITY = 4096,       // HOST_TRANSLATE_FORMULA output
    QFIT_DATASET_LIST_CAPACITY = 51200, // HOST_LIST_DATASETS output
    QFIT_STRING_VALUE_CAPACITY = 260,   // the value buffer of string members (NonLinearFit,
                                        // ScxFit): gets write at most this many bytes
};

// ---------------------------------------------------------------------------------------
// Request codes

enum HostRequest : UINT {
    // Script and variables
    HOST_RUN_SCRIPT = 0x1004,          // (script text, 0): runs the text as script commands
    HOST_GET_VARIABLE = 0x1008,        // (name, double*): value of a numeric script variable
    HOST_SET_STRING_VAR = 0x100C,      // (text, letter index 0-25): sets %A .. %Z
    HOST_GET_FALLBACK_DIR = 0x1010,    // (char buffer, 0): a folder for qfit.ini
    HOST_GET_STRING_VAR = 0x1012,      // (char buffer, letter index 0-25): text of %A .. %Z
    HOST_REQ_1018 = 0x1018,            // (row, 0x3F): a result point or residue row was written
    HOST_REQ_1019 = 0x1019,            // (char buffer, 0): profile file holding [FitFunc]
    HOST_SET_VARIABLE = 0x101A,        // (name, QFitVariableRecord* or 0): defines a variable
    HOST_STATUS_TEXT = 0x101B,         // (text, 0): status text
    HOST_EVAL_NUMBER = 0x101C,         // (expression, double*): 0 and the value, else nonzero
    HOST_EVAL_RECORD = 0x101D,         // (QFitTextRecord*, double*): as HOST_EVAL_NUMBER
    HOST_REQ_101E = 0x101E,            // fitter window
    HOST_REQ_101F = 0x101F,            // fitter window
    HOST_DELETE_VARIABLE = 0x1020,     // (name, 0)
    HOST_GET_SETTINGS_DIR = 0x1021,    // (char buffer, 0): folder of qfit.ini
    HOST_GET_WINDOW_NAME = 0x1022,     // (window handle, char buffer)
    HOST_REQ_1023 = 0x1023,            // (window name, INT_PTR*): handle of the named window
    HOST_REQ_1025 = 0x1025,            // fitter window
    HOST_GET_PROGRAM_DIR = 0x1026,     // (char buffer, 0): the program folder
    HOST_REQ_1027 = 0x1027,            // fitter window
    HOST_TRANSLATE_FORMULA = 0x1028,   // (buffer of QFIT_FORMULA_CAPACITY, upper-cased formula)
    HOST_GET_WINDOW_ID = 0x102D,       // (0, int*): 16-bit id of the active window
    HOST_ACTIVATE_WINDOW = 0x102E,     // (window name, id)
    HOST_REQ_1030 = 0x1030,            // fitter window
    HOST_REQ_1033 = 0x1033,            // fitter window
    HOST_REQ_1034 = 0x1034,            // fitter window
    HOST_REQ_103B = 0x103B,            // fitter window
    // A model evaluated for every data point: its formula is prepared once and evaluated
    // by handle, its variables are set by slot. A host that answers nonzero to these has
    // them not, and the engine uses HOST_EVAL_RECORD and HOST_SET_VARIABLE instead.
    HOST_PREPARE_FORMULA = 0x1040,     // (formula, int* handle): 0 and the formula's handle
    HOST_EVAL_PREPARED = 0x1041,       // (handle, double*): as HOST_EVAL_NUMBER
    HOST_VARIABLE_SLOT = 0x1042,       // (name, int* slot): 0 and the variable's slot
    HOST_SET_VARIABLE_SLOT = 0x1043,   // (slot, QFitVariableRecord*): as HOST_SET_VARIABLE
    // (text, 0): why the script-object call in progress fails, in words. Both protocols
    // take it; when the call then answers failure, the host shows the text with the
    // member's name. The first reason of a call is kept: later ones are its consequences.
    HOST_FAILURE_REASON = 0x1044,
    // (0, QFitRowsRecord*): a prepared formula evaluated for many rows in one request, with
    // the results HOST_SET_VARIABLE_SLOT and HOST_EVAL_PREPARED row by row would give; 0
    // when every row evaluated, else nonzero with the rows done before the one that failed.
    HOST_EVAL_PREPARED_ROWS = 0x1045,

    // Datasets
    HOST_FIND_DATASET = 0x3000,        // (name, QFitRowRange* or 0): handle or 0
    HOST_DATASET_UPDATE = 0x3003,      // (handle, QFitPlotRecord* or 0): plot or refresh
    HOST_REQ_3004 = 0x3004,            // (handle, 0): prepare for refilling
    HOST_REQ_3005 = 0x3005,            // (handle, QFitXStartStep*)
    HOST_SET_X_OTHER = 0x3006,         // (handle, value)
    HOST_GET_X_DATASET = 0x3007,       // (handle, 0): its X dataset or 0
    HOST_CREATE_DATASET = 0x3008,      // (name, size): new handle
    HOST_REQ_3009 = 0x3009,            // (name, size): new handle
    HOST_SET_X_DATASET = 0x300A,       // (handle, X handle)
    HOST_GET_PLOT_X_DATASET = 0x300D,  // (handle, 0): X as plotted in the active graph, or 0
    HOST_POLL_ABORT = 0x3014,          // (0, 0): nonzero when the user asked to stop
    HOST_REPORT_ERROR = 0x3015,        // (engine code, text or 0): shows that code's message
    HOST_REPORT_PROGRESS = 0x3016,     // (progress id or 0, text or 0); (0, 0) ends the display
    HOST_IS_RESERVED_NAME = 0x3017,    // (0, upper-cased name): nonzero when taken
    HOST_REQ_3018 = 0x3018,            // (QFitColumnQuery*, 0): worksheet name and column
    HOST_TO_AXIS_SCALE = 0x3019,       // (double* in, double* out)
    HOST_FROM_AXIS_SCALE = 0x301A,     // (double* in, double* out)
    HOST_LIST_DATASETS = 0x3020,       // (buffer of QFIT_DATASET_LIST_CAPACITY, flag)
    HOST_GET_VALUE = 0x3400,           // (handle, QFitValueRecord*): 0 and the value, else nonzero
    HOST_SET_VALUE = 0x3401,           // (handle, QFitValueRecord*)
    HOST_GET_PAIR = 0x3403,            // (handle, QFitPairRecord*)
    HOST_GET_VALUE_ALT = 0x3405,       // (handle, QFitValueRecord*): as HOST_GET_VALUE
    HOST_CHECK_DATASET = 0x3406,       // (handle, 0): nonzero when no longer valid
    HOST_SET_RANGE = 0x3407,           // (handle, QFitRowRange*)
    HOST_GET_ROW_RANGE = 0x3408,       // (handle, QFitRowRanges*): full and used row ranges
    HOST_GET_X_BOUNDS = 0x340A,        // (handle, QFitXBounds*): first and last non-missing X
    HOST_REQ_340D = 0x340D,            // fitter window
    HOST_REQ_3416 = 0x3416,            // (handle, buffer holding "FIT")
    HOST_REQ_3422 = 0x3422,            // (handle, 0): the linked dataset or 0
    HOST_REQ_3423 = 0x3423,            // (handle, QFitXBounds*): X bounds of a plain range
    HOST_SET_DATASET_LABEL = 0x344A,   // (handle, text)
    HOST_REQ_344C = 0x344C,            // fitter window
    HOST_GET_DATASET_NAME = 0x344D,    // (handle, char buffer of QFIT_HOST_TEXT_CAPACITY)

    // Sessions and worksheets
    HOST_ATTACH_SESSION = 0x4001,      // (FittingSession*, 0), context the host window
    HOST_DETACH_SESSION = 0x4002,      // (FittingSession*, 0), context 0: drops the link to
                                       // that session wherever the host keeps it
    HOST_FIND_SESSION = 0x4004,        // (FittingSession** out, 0): 0 and the session, else nonzero
    HOST_ADD_COLUMN = 0x6003,          // (column request, name)
};

// ---------------------------------------------------------------------------------------
// Records

// HOST_GET_VALUE, HOST_SET_VALUE, HOST_GET_VALUE_ALT.
struct QFitValueRecord {
    int32_t row;  // 0-based
    int32_t padding;
    double value;
};
static_assert(sizeof(QFitValueRecord) == 16, "value record is {row; 4 bytes; double}");

// HOST_GET_PAIR: the second double is the value.
struct QFitPairRecord {
    int32_t row;
    int32_t padding;
    double first;
    double second;
};

// HOST_SET_VARIABLE: kind 1.0 plain variable, 4.0 fit parameter; index 0.0 or the
// parameter's index.
struct QFitVariableRecord {
    double value;
    double kind;
    double index;
};
static_assert(sizeof(QFitVariableRecord) == 24, "variable record is three doubles");

// HOST_EVAL_RECORD.
struct QFitTextRecord {
    const char* text;
    INT_PTR zero;
};

// HOST_EVAL_PREPARED_ROWS. Row r sets the variable of slots[c] to columns[c][r] (its kind
// and index stay as last set; a variable that does not exist is made as by
// HOST_SET_VARIABLE_SLOT) and writes the formula's value to out[r]; the other variables
// keep their values. Each column's variable is left at the value of the last row done.
struct QFitRowsRecord {
    int32_t handle;                // from HOST_PREPARE_FORMULA
    int32_t rows;
    int32_t nColumns;
    const int32_t* slots;          // from HOST_VARIABLE_SLOT, nColumns of them
    const double* const* columns;  // nColumns arrays of `rows` values
    double* out;                   // `rows` results
    int32_t done;                  // answer: the rows evaluated
};

// A half-open row range (see the row convention above). HOST_FIND_DATASET fills it when
// given; HOST_SET_RANGE reads it.
struct QFitRowRange {
    int32_t first;
    int32_t end;
};

// HOST_GET_ROW_RANGE: the dataset's full range and the part of it in use.
struct QFitRowRanges {
    QFitRowRange full;
    QFitRowRange used;
};

// HOST_GET_X_BOUNDS, HOST_REQ_3423.
struct QFitXBounds {
    double first;
    double last;
};

// HOST_REQ_3005.
struct QFitXStartStep {
    double start;
    double step;
};

// HOST_DATASET_UPDATE: the first value is the kind (1 fit curve, 2 peaks or residue,
// 3 confidence bands, 4 prediction bands).
struct QFitPlotRecord {
    int16_t values[8];
};
static_assert(sizeof(QFitPlotRecord) == 16, "plot record is eight 16-bit values");

// HOST_REQ_3018: the host writes the worksheet name into buffer (at most
// bufferCapacity bytes with the zero) and the column number into column.
struct QFitColumnQuery {
    QFitDataset dataset;
    INT_PTR zero;
    int32_t unused;
    char* buffer;
    int32_t bufferCapacity;
    int32_t column;
};

// ---------------------------------------------------------------------------------------
// Progress string ids (the texts belong to the host)

enum : int {
    QFIT_PROGRESS_ITERATION = 16007,   // "%s at iteration %d" (mu, iteration)
    QFIT_PROGRESS_PARSING = 16008,     // while the function text is parsed
    QFIT_PROGRESS_RUN = 16009,         // "%d" iterations of the run
    QFIT_PROGRESS_CHISQR = 16010,      // "%d" LM rounds
    QFIT_PROGRESS_TRIAL = 16011,       // "%d:%d" iteration, trial (simplex: "%d" evaluations)
    QFIT_PROGRESS_CONFIDENCE = 16012,  // parameter confidence limits
};

// ---------------------------------------------------------------------------------------
// Engine codes. Each failure code is also the string id of its message in qxfitter's
// string table; 28039 and 28044 have no message.

enum FitCode : int {
    FIT_OK = 0,
    FIT_NOTHING_DONE = 1,
    FIT_ERR_CONSTRAINT_FAIL1 = 28021,
    FIT_ERR_CONSTRAINT_FAIL2 = 28022,
    FIT_ERR_NO_MEMORY = 28023,
    FIT_ERR_MATRIX_INVERSION = 28024,
    FIT_ERR_GENERAL = 28025,
    FIT_ERR_CONSTRAINT_SYNTAX = 28026,
    FIT_ERR_CONSTRAINT_NAME = 28027,
    FIT_ERR_NO_REDUCTION = 28028,
    FIT_ERR_CONSTRAINT_VIOLATED = 28029,
    FIT_ERR_STOPPED = 28030,
    FIT_ERR_DATA_RANGE = 28031,
    FIT_ERR_ALL_FIXED = 28032,
    FIT_ERR_TOO_FEW_POINTS = 28033,
    FIT_ERR_NO_PARAM = 28034,
    FIT_ERR_NO_COLUMN = 28035,
    FIT_ERR_FIX_PARAM = 28036,
    FIT_ERR_FORMULA = 28037,
    FIT_ERR_CONSTRAINTS_INEFFECTIVE = 28038,
    FIT_ERR_NO_POINTS = 28039,
    FIT_ERR_NOT_IN_SESSION = 28040,
    FIT_ERR_NO_FUNCTION = 28041,
    FIT_ERR_INDEX_RANGE = 28042,
    FIT_ERR_BAD_ACTION = 28043,
    FIT_CONVERGED = 28044,
    FIT_ERR_SYSTEM_VARIABLE = 28046,
    FIT_ERR_INDEP_FORMAT = 28047,
    FIT_ERR_DEP_FORMAT = 28048,
    FIT_ERR_NO_DATASET = 28049,
    FIT_WARN_DEPENDENCY = 28050,
    FIT_ERR_PARAM_INIT = 28051,
    FIT_ERR_DEFINITION = 28052,        // a function that cannot be read, chosen or fitted
    FIT_ERR_SETTING = 28053,           // a fitter setting refused
};

// ---------------------------------------------------------------------------------------
// Exports of qxfitter.dll (undecorated names through its .def file)

// NonLinearFit operations; QFIT_OP_EXISTS may be added to ask only whether the member
// exists.
enum : int {
    QFIT_OP_SET_NUMBER = 17,
    QFIT_OP_GET_NUMBER = 18,
    QFIT_OP_SET_STRING = 19,
    QFIT_OP_GET_STRING = 20,
    QFIT_OP_LAST_STATUS = 30,
    QFIT_OP_CALL_METHOD = 3073,
    QFIT_OP_EXISTS = 0x8000,
};

// QFITModuleInit messages.
enum : UINT {
    QFITMOD_CAN_START = 4096,
    QFITMOD_CLOSE = 4097,
    QFITMOD_CREATE = 4102,
};

// Bit of a ScxFit code that asks for a get instead of a set or call.
enum : int { QFIT_CODE_GET = 0x2000 };

// The qfit script object. value: a double for numbers and method results, a text buffer
// of QFIT_STRING_VALUE_CAPACITY bytes for string members. Result 1 handled, 2 not handled,
// 0 when the name is not a member.
typedef int(WINAPI* NonLinearFitProc)(HWND hostWindow, LPCSTR methodName, LPCSTR nameOrArgument,
                                      void* value, HostCallback callback, int operation);
// Carries out one member by code. argument: the index for properties (an integer in the
// pointer-sized slot) or the argument text for methods. Result: the engine code.
typedef int(WINAPI* ScxFitProc)(HWND hostWindow, int code, INT_PTR argument, void* value,
                                HostCallback callback);
// Module messages. Result 1 done or allowed, 2 refused or failed.
typedef int(WINAPI* QFITModuleInitProc)(HWND hostWindow, UINT message, INT_PTR unused1,
                                        HostCallback callback, INT_PTR unused2);

extern "C" {
int WINAPI NonLinearFit(HWND hostWindow, LPCSTR methodName, LPCSTR nameOrArgument, void* value,
                        HostCallback callback, int operation);
int WINAPI ScxFit(HWND hostWindow, int code, INT_PTR argument, void* value, HostCallback callback);
int WINAPI QFITModuleInit(HWND hostWindow, UINT message, INT_PTR unused1, HostCallback callback,
                          INT_PTR unused2);
}
