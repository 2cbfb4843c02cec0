// Host requests that only fum sends.
#pragma once

// LISTSEP offers the new separator text to the host (A the text, B 0); -1 refuses it.
#define HOST_REQ_100E 0x100E

// READROWBIN hands one row of numbers to the worksheet: sent with the worksheet's handle
// (from HOST_FIND_OBJECT) as the context, A = the row record, B = 0; 0 = stored.
#define HOST_OBJECT_PUT_ROW 0

#include <stdint.h>

// The row record of HOST_OBJECT_PUT_ROW; it lives in memory only, so the pointer to the
// doubles is pointer-sized.
struct FumRowRecord {
    uint16_t kind;     // 0x2034
    uint16_t count;    // doubles in the row
    uint16_t rows;     // 1
    uint16_t zero1;
    uint16_t zero2;
    uint16_t padding;
    const double* values;
};
#define FUM_ROW_RECORD_KIND 0x2034
