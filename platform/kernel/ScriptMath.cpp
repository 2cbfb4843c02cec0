// The script language's exponential: the interpreter and the compiled form both use it, so
// that they agree to the last bit (the power is inline in KernelInternal.h).
#include <math.h>

#include "KernelInternal.h"
#include "QxExp.h"

double qkExp(double x)
{
    return qxExp(x);
}
