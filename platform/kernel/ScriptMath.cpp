// The script language's exponential and power: the interpreter and the compiled form both
// use these, so that they agree to the last bit.
#include <math.h>

#include "KernelInternal.h"
#include "QxExp.h"

double qkExp(double x)
{
    return qxExp(x);
}

// A square is one rounding, as exact as pow gives it; everything else is the library's.
double qkPow(double a, double b)
{
    return b == 2 ? a * a : pow(a, b);
}
