// The script language's exponential and power: the interpreter and the compiled form both
// use these, so that they agree to the last bit.
#include <math.h>

#include "KernelInternal.h"
#include "QxExp.h"

double qkExp(double x)
{
    return qxExp(x);
}

// A square is one rounding, as exact as pow gives it. A cube and an inverse square are
// products (two roundings, within about an ulp of pow): polynomial and rational models
// raise every row to them, and the library's pow costs tens of times more. Everything
// else is the library's.
double qkPow(double a, double b)
{
    if (b == 2)
        return a * a;
    if (b == 3)
        return a * a * a;
    if (b == -2)
        return 1 / (a * a);
    return pow(a, b);
}
