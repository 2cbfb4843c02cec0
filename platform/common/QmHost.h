// The protocol between the host (the kernel) and the framework plug-ins: the one entry
// QMDLL that every such plug-in exports, its operation codes, the host callback and the
// request codes the plug-in framework sends through it, with the records they carry.
//
// The callback and the entry keep the shapes of the original 32-bit protocol, widened
// where a field carries a pointer or a handle: the context, the two request arguments
// and the result are pointer-sized, so a request can hand over a pointer to a record or
// answer with a handle. Records that hold only numbers keep their 32-bit fields.
#pragma once

#include <windows.h>
#include <stdint.h>

// ---- The host callback -------------------------------------------------------------
// The framework plug-ins use the fitter's callback shape and numbering: HostCallback
// (context, request, A, B) and the shared request codes (HOST_SET_STRING_VAR,
// HOST_GET_STRING_VAR, HOST_EVAL_NUMBER, HOST_FIND_DATASET, HOST_TO_AXIS_SCALE,
// HOST_FROM_AXIS_SCALE, HOST_GET_VALUE, HOST_SET_VALUE, HOST_GET_PAIR) come from there.
// The context is the value the host passed to QMDLL, opaque to the plug-in.
// The host hands the framework plug-ins their own callback, so that the records below
// (the range record of HOST_FIND_DATASET in particular) may differ from the fitter's.
#include "QFitHost.h"

// ---- The plug-in entry -------------------------------------------------------------
// QMDLL(context, methodName, name, result, callback, code) -> 1 handled, 2 not handled
// or failed, 0 the name was not found (ordinary calls only).
//   methodName: null addresses a root property; else the method whose sub-property
//               `name` is addressed, or the method called by OBJOP_CALL_METHOD.
//   name:       property name with an optional 1-based index ("X3"), or the argument
//               text of a method call; an empty text asks for the listing.
//   result:     a double for numbers, sizes and method results; a character buffer of
//               QM_STRING_RESULT_SIZE bytes for strings; a 32-bit int for OBJOP_LAST_STATUS.
typedef int(WINAPI* QMDLLProc)(HWND context, LPCSTR methodName, LPCSTR name, void* result,
                                HostCallback callback, int code);

// The host always hands string operations a buffer of this many bytes.
#define QM_STRING_RESULT_SIZE 65536

// Operation codes (only the low 16 bits are compared).
#define OBJOP_SET_NUMBER 17
#define OBJOP_GET_NUMBER 18
#define OBJOP_SET_STRING 19
#define OBJOP_GET_STRING 20
#define OBJOP_LAST_STATUS 30
#define OBJOP_GET_VECTOR_SIZE 2051
#define OBJOP_SET_VECTOR_SIZE 2052
#define OBJOP_CALL_METHOD 3073
#define OBJOP_FLAG_8000 0x8000 // check only: does the member exist?

// Results of the entry.
#define QM_NOT_FOUND 0
#define QM_HANDLED 1
#define QM_NOT_HANDLED 2

// ---- Requests only the framework plug-ins send -----------------------------------
enum QmHostRequest : UINT {
    // Sent with a worksheet's handle (from HOST_FIND_OBJECT) as the context, A QmRowRecord*,
    // B 0: the doubles become one new row across the worksheet's first columns; 0 = stored.
    HOST_OBJECT_PUT_ROW = 0,
    HOST_PRINT_TEXT = 0x1000,  // A text of one line, B 0
    HOST_LIST_SEPARATOR = 0x100E,  // A the new list separator (quoted text), B 0; -1 refuses it
    HOST_FIND_OBJECT = 0x1003,  // A window name, B INT_PTR* handle out; 0 = found
    HOST_NAME_IN_USE = 0x1031,  // A name, B 0; nonzero = taken
    HOST_FORMAT_NUMBER = 0x103A,  // A double*, B QmFormatRecord*
    HOST_OPEN_DATASET = 0x3001,  // A worksheet name, B QmRangeRecord* (request = column, 1-based)
    HOST_REQ_300B = 0x300B,  // A the axis mode (6 apparent, 0 plain) or the token to restore; answers a token
    HOST_REQ_300C = 0x300C,  // update the host after a method call
    HOST_FIND_DATASET_EX = 0x300E,  // A worksheet name, B QmRangeRecord* (request = column name)
    HOST_GET_COLUMN_DATASET = 0x300F,  // A column index (0-based), B worksheet name
    HOST_GET_VALUE_AT = 0x3404,  // A handle, B QmKeyRecord*
    HOST_GET_RANGE = 0x3409,  // A handle, B QmRangeRecord* (first, end come back in the first two fields)
    HOST_SET_SIZE_FORMAT = 0x340B,  // A handle, B QmSizeFormatRecord*
    HOST_SET_PAIR = 0x340C,  // A handle, B QmPairRecord*
    HOST_GET_VALUE_K2 = 0x340E,
    HOST_GET_VALUE_K4 = 0x340F,
    HOST_SET_VALUE_K2 = 0x3410,
    HOST_SET_VALUE_K4 = 0x3411,
    HOST_REQ_3412 = 0x3412,  // A handle, B caller's record; answers a pointer
    HOST_NEW_TEMP_DATASET = 0x341B,  // answers a new temporary dataset handle
    HOST_DATASET_TEXT = 0x341C,  // A handle; answers a pointer (unused by the plug-ins)
    HOST_IS_DATASET_NAME = 0x3444,  // A handle; nonzero = must not be written
    HOST_SET_TEXT = 0x3445,  // A handle, B QmTextRecord*
    HOST_GET_TEXT = 0x3446,  // A handle, B QmTextRecord* (buffer of QM_STRING_RESULT_SIZE)
    HOST_WKS_NUM_COLUMNS = 0x6800,  // A worksheet handle; answers the column count
    HOST_WKS_REQ_6801 = 0x6801,  // A worksheet handle, B buffer: int column in, name text out
    HOST_WKS_REQ_6804 = 0x6804,  // A worksheet handle, B column number
    HOST_WKS_REQ_6806 = 0x6806,  // A worksheet handle, B int[4] {index; code; two values}
    HOST_WKS_SET_COLUMN_NAME = 0x6812,  // A worksheet handle, B QmColumnTextRecord*
    HOST_WKS_SET_COLUMN_ATTR = 0x6814,  // A worksheet handle, B int[3] {1; column; value}
    HOST_WKS_GET_COLUMN_ATTR = 0x6816,  // A worksheet handle, B int[2] {1; column} in, value out in [0]
    HOST_WKS_REQ_6818 = 0x6818,  // A worksheet handle, B QmColumnTextRecord* (label)
    HOST_WKS_REQ_681A = 0x681A,  // A worksheet handle, B a row count
    // A worksheet handle; answers its change stamp, 0 for no worksheet (or a host that does
    // not keep one). The stamp moves whenever a column is added, removed, moved, renamed or
    // given another format, a column's rows change in number, or the worksheet is renamed;
    // it never comes back, nor does another worksheet ever answer it. While it stays, the
    // columns' handles, formats and rows that a plug-in found stay true. A host that keeps
    // stamps grows a dataset to every row written into it (HOST_SET_VALUE, HOST_SET_TEXT),
    // so a plug-in that writes on what a stamp vouches for reports no rows written.
    HOST_WKS_CHANGE_STAMP = 0x6820,
    HOST_FIND_WINDOW = 0x9001,  // A QmWindowRecord*, B name; answers a handle
    HOST_MEMBLOCK_GET = 0x9401,  // A QmMemBlockRecord*, B block name; answers a pointer
    HOST_MEMBLOCK_RELEASE = 0x9403,  // A QmMemBlockRecord*, B block name
    HOST_REQ_9600 = 0x9600,  // A QmSavedTextRead*, B text name: the named text into the buffer; 0 = read
    HOST_REQ_9601 = 0x9601,  // A QmSavedTextWrite*, B text name: keeps the text under the name; 0 = kept
};

// Worksheet column format codes of HOST_WKS_SET_COLUMN_ATTR and HOST_WKS_GET_COLUMN_ATTR.
enum QmColumnFormat { QM_FORMAT_NUMBER = 0, QM_FORMAT_TEXT = 1, QM_FORMAT_TIME = 2, QM_FORMAT_DATE = 3 };

// The shared requests as the framework sends them:
//   HOST_FIND_DATASET (name or 0, QmRangeRecord*): the host fills hostFirst and hostEnd.
//   HOST_GET_VALUE, HOST_SET_VALUE (handle, QmValueRecord*); HOST_GET_PAIR (handle,
//   QmPairRecord*); HOST_GET_STRING_VAR (buffer of QM_STRING_RESULT_SIZE, index).

// The buffer of HOST_WKS_REQ_6801 is at least this long.
#define QM_COLUMN_NAME_BUFFER 64
// Dataset names the host accepts through HOST_FIND_DATASET and HOST_GET_COLUMN_DATASET.
#define QM_MAX_DATASET_NAME 24
// Window names in QmWindowRecord.
#define QM_MAX_WINDOW_NAME 119

// ---- Records -----------------------------------------------------------------------
#pragma pack(push, 8)

// Row range exchanged with the host. rows first..end-1 are in use (0-based).
// `request` carries, depending on the request, a name pointer, a column name pointer
// or a 1-based column number on the way in, and the first row on the way out.
struct QmRangeRecord {
    INT_PTR request;
    int requestEnd;
    int hostFirst;
    int hostEnd;
};

struct QmValueRecord {
    int row;
    int padding;
    double value;
};
static_assert(sizeof(QmValueRecord) == 16, "row, padding, value");

struct QmPairRecord {
    int row;
    int padding;
    double pair[2]; // the second double is the value
};

struct QmKeyRecord {
    double key;
    double value;
};

struct QmTextRecord {
    int row;
    char* text;
};

struct QmSizeFormatRecord {
    int first;
    int end;
    int typeWord; // 0x8000 + kind code; +0x10 with the kind's 0x1000 modifier
};

struct QmColumnTextRecord {
    int column; // 1-based
    const char* text;
};

struct QmFormatRecord {
    char* output; // receives the number as text; at least 64 bytes
    const char* format; // "*" for the host's default
};

struct QmWindowRecord {
    int a;
    int b;
    char name[QM_MAX_WINDOW_NAME + 1];
};

// The row of HOST_OBJECT_PUT_ROW; it lives in memory only, so the pointer is pointer-sized.
struct QmRowRecord {
    uint16_t kind;  // QM_ROW_RECORD_KIND
    uint16_t count; // doubles in the row
    uint16_t rows;  // 1
    uint16_t zero1;
    uint16_t zero2;
    uint16_t padding;
    const double *values;
};
#define QM_ROW_RECORD_KIND 0x2034

struct QmMemBlockRecord {
    INT_PTR key; // a window handle or a value given by the plug-in
    INT_PTR value; // the size wanted on the first request
};

// Named texts (saved queries); `storage` is what HOST_FIND_WINDOW answers for no name.
struct QmSavedTextRead {
    INT_PTR storage;
    INT_PTR size; // bytes of buffer
    char* buffer;
};

struct QmSavedTextWrite {
    INT_PTR storage;
    const char* text;
    INT_PTR unused;
};

#pragma pack(pop)
