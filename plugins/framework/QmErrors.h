// The error list: every object of the framework reports a failure by recording a code
// here (with the reporting object's class name) and by returning a failure result.
// Scripts read it through LISTERR and LASTERRID. The list is cleared at the start of
// every method call except LISTERR's, so after a call it holds that call's errors.
#pragma once

// Codes the framework records. Plug-ins add their own.
enum QmErrorCode {
    QM_ERR_TOO_MANY_NAMES = 100,   // NAME made more names than its list holds
    QM_ERR_NAME_INDEX = 101,       // element index outside a vector of dataset names
    QM_ERR_NAME_ELEMENT = 104,     // the element object could not be created
    QM_ERR_NAME_EMPTY = 106,       // an empty text given for an element
    QM_ERR_NO_BASE_NAME = 306,     // NAME without its second argument
    QM_ERR_MX_NO_STORAGE = 400,    // a dimension of 0, or a matrix without storage
    QM_ERR_MX_INDEX = 401,         // row or column index out of range
    QM_ERR_MX_MEMORY = 402,        // matrix storage could not be allocated
    QM_ERR_MX_SIZE = 503,          // sizes of the operands differ
    QM_ERR_MX_ZERO_DIVISOR = 505,  // division by a zero element
    QM_ERR_MX_PRODUCT = 506,       // columns of the left factor differ from rows of the right
    QM_ERR_MX_INVALID = 508,       // IsError on a matrix that is not valid
    QM_ERR_MX_INVERSE = 509,       // inversion failed (singular or not square)
    QM_ERR_BAD_COLUMN = 777,       // the worksheet column is not valid or must not be written
    QM_ERR_NO_WORKSHEET = 779,     // the worksheet is not known
    QM_ERR_TOO_MANY_ARGS = 900,    // more argument texts than the method declares
    QM_ERR_BAD_ARGUMENT = 901,     // a numeric argument the host could not evaluate
    QM_ERR_NO_DATASET = 1000,      // a dataset object without a host dataset
    QM_ERR_SMALL_SIGMA = 1003,     // error value below 1e-99 for a weight or sigma
};

enum { QM_ERROR_SLOTS = 10 };

// Records `code` with a copy of `text` (may be null) as the newest entry of the ring;
// the last error id is not touched (QmRecordError does both).
void QmReportError(int code, const char* text);

// The usual way to report: the last error id := code, then QmReportError.
void QmRecordError(int code, const char* text);

// Empties the list (codes 0, texts freed, index 0). The last error id stays.
void QmClearErrors();

// 1 when an error has been recorded since the last clear.
int QmErrorRecorded();

// The code of the last error reported anywhere in the library.
int QmLastErrorId();

// Entry `slot` (0..9) of the ring and the index of the newest entry, for LISTERR.
int QmErrorCodeAt(int slot);
const char* QmErrorTextAt(int slot);
int QmNewestErrorSlot();
