// The script language's exponential and power: the interpreter and the compiled form both
// use them, so that they agree to the last bit (the power is inline in KernelInternal.h).
#include "KernelInternal.h"
#include "QxExp.h"
#include "QxPow.h"

double qkExp(double x)
{
    return qxExp(x);
}

double qkPowGeneral(double a, double b)
{
    return qxPow(a, b);
}
