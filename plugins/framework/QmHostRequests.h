// How a framework plug-in reaches its host: the callback and context stored by the last
// QMDLL call, and the request functions every class of the framework goes through.
//
// Every request function tests for a bound callback first. With none bound a request
// is never made and the function answers its documented failure: finders give 0, value
// getters MISSING_VALUE, setters and evaluations report failure, notifications do
// nothing. A plug-in therefore never reads a buffer that nobody filled.
#pragma once

#include <windows.h>
#include <stddef.h>

#include "QmHost.h"
#include "qxdefs.h"

// The host of the current call, set by QmDLL::Dispatch before anything else.
extern HWND g_qmHostContext;
extern HostCallback g_qmHostCallback;

// Stores the host of a QMDLL call; every later request uses it.
void QmBindHost(HWND context, HostCallback callback);

inline bool QmHostBound() { return g_qmHostCallback != nullptr; }

// One request with the stored context. *sent (may be null) tells whether a callback was
// bound; without one the answer is `unbound`.
INT_PTR QmCallHost(UINT code, INT_PTR a, INT_PTR b, INT_PTR unbound = 0, bool* sent = nullptr);

// HOST_PRINT_TEXT: one line of output.
void QmPrintText(const char* line);

// HOST_FAILURE_REASON: why the call in progress fails, in words ("cannot open \"x.csv\": no
// such file"), printf-style. The host shows the first reason of a call with the member's
// name when the call answers failure; the error list keeps the codes as before.
void QmFailureReason(const char* format, ...);
// Whether a reason has been given since the current QMDLL call began.
bool QmFailureReasonGiven();
// Forgets that a reason was given; QmDLL::Dispatch calls it at the start of every call.
void QmClearFailureReason();

// HOST_REQ_300C: tells the host that a method call has ended.
void QmUpdateHost();

// HOST_EVAL_NUMBER: 0 and the value in *value when the host evaluated the text;
// nonzero (and *value untouched) when it did not, or when no host is bound.
int QmEvalNumber(const char* expression, double* value);

// HOST_FORMAT_NUMBER: the number as the host formats it (format null means "*"), cut to
// `size` bytes. Without a host, or when the host writes nothing, the text is "--" for a
// missing value and the shortest exact decimal otherwise.
void QmFormatNumber(double value, char* output, size_t size, const char* format = nullptr);

// The script's string variables %A .. %Z. The letter is taken without regard to case;
// anything else gives 0 and sends nothing. 1 when the host did it; 0 when it refused
// or no host is bound. `buffer` holds QM_STRING_RESULT_SIZE bytes.
int QmGetStringVariable(char letter, char* buffer);
int QmSetStringVariable(char letter, const char* text);

// Copies at most size - 1 characters and a terminator (nothing for size 0).
void QmCopyText(char* destination, size_t size, const char* source);
