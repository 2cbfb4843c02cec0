// Calls into function libraries so that a fault inside a model function (an access
// violation, say) fails the data row instead of ending the host program.
#pragma once

#include <windows.h>

extern "C" {
// Both answer the function's own result, or 1 when the call raised a fault.
int GuardedFitCall(void* function, int mode, void* callback, int nParams, int currentRow, int reserved,
                   double* params, double* work, double* x, double* y, double* derivatives);
int GuardedRecordCall(void* function, HWND hostWindow, void* record, int nParams, double* firstParam,
                      void* callback);
}
