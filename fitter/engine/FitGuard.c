/* Structured exception scopes around calls into function libraries.
 *
 * The compiler has no __try/__except; each guarded call gets a scope-table entry for
 * __C_specific_handler written by hand: a fault between the start and the end label runs
 * the filter, which accepts every exception, and execution continues at the end label
 * with the result still at its failure value. The call sits alone in a function of its
 * own, so the unwound frame is exactly the one the compiler laid out. */
#include <windows.h>

typedef int(WINAPI* FitCall)(int, void*, int, int, int, double*, double*, double*, double*, double*);
typedef int(WINAPI* RecordCall)(HWND, void*, int, double*, void*);

__attribute__((used)) LONG WINAPI FitGuardFilter(EXCEPTION_POINTERS* info, void* frame)
{
    (void)info;
    (void)frame;
    return EXCEPTION_EXECUTE_HANDLER;
}

__attribute__((noinline)) int GuardedFitCall(void* function, int mode, void* callback, int nParams, int currentRow,
                                             int reserved, double* params, double* work, double* x, double* y,
                                             double* derivatives)
{
    volatile int result = 1;
    __asm__ __volatile__("\t.Lfit_call_start:\n"
                         "\t.seh_handler __C_specific_handler, @except\n"
                         "\t.seh_handlerdata\n"
                         "\t.long 1\n"
                         "\t.rva .Lfit_call_start, .Lfit_call_end, FitGuardFilter, .Lfit_call_end\n"
                         "\t.text\n" ::: "memory");
    result = ((FitCall)function)(mode, callback, nParams, currentRow, reserved, params, work, x, y, derivatives);
    __asm__ __volatile__("\tnop\n\t.Lfit_call_end: nop\n" ::: "memory");
    return result;
}

__attribute__((noinline)) int GuardedRecordCall(void* function, HWND hostWindow, void* record, int nParams,
                                                double* firstParam, void* callback)
{
    volatile int result = 1;
    __asm__ __volatile__("\t.Lrecord_call_start:\n"
                         "\t.seh_handler __C_specific_handler, @except\n"
                         "\t.seh_handlerdata\n"
                         "\t.long 1\n"
                         "\t.rva .Lrecord_call_start, .Lrecord_call_end, FitGuardFilter, .Lrecord_call_end\n"
                         "\t.text\n" ::: "memory");
    result = ((RecordCall)function)(hostWindow, record, nParams, firstParam, callback);
    __asm__ __volatile__("\tnop\n\t.Lrecord_call_end: nop\n" ::: "memory");
    return result;
}
