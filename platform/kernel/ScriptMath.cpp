// The script language's exponential and power: the interpreter and the compiled form both
// use them, so that they agree to the last bit (the power is inline in KernelInternal.h).
#include <math.h>
#include <stdint.h>
#include <string.h>

#include "KernelInternal.h"
#include "QxExp.h"

double qkExp(double x)
{
    return qxExp(x);
}

#if defined(__GNUC__) && defined(__x86_64__) && defined(_WIN32)
namespace {

// Whether the runtime's pow takes its road of logarithm and exponential for a^b: a
// positive, normal and not 1, b finite and neither an integer nor one half (those go to
// its integer power and its square root, the other values to its special cases).
bool TakesLogRoad(double a, double b)
{
    uint64_t bits;
    memcpy(&bits, &a, sizeof bits);
    const unsigned exponent = (bits >> 52) & 0x7FF;
    return !(bits >> 63) && exponent != 0 && exponent != 0x7FF && a != 1 && isfinite(b) && b != 0.5 &&
           b != trunc(b);
}

// The runtime's pow on that road (log2l, a product, exp2l, rounded to double): the same
// x87 instructions in the same order under the same control word, so the same bits; it
// spends about half its time in the calls and tests this leaves out. A rate raised to a
// fitted exponent (a power law) takes it for every row of every pass.
double X87Pow(double a, double b)
{
    static const double kOne = 1.0;
    // log2l takes log2(1 + (a - 1)) (fyl2xp1) near 1, where it is more exact.
    static const double kNearOne = 0.29;
    double r;
    unsigned short saved, chop;  // the control word, and it rounding towards zero
    __asm__(
        "fldl %[one]\n\t"
        "fldl %[a]\n\t"
        "fld %%st(0)\n\t"
        "fsub %%st(2), %%st\n\t"
        "fld %%st(0)\n\t"
        "fabs\n\t"
        "fcompl %[nearOne]\n\t"
        "fnstsw %%ax\n\t"
        "and $0x45, %%ah\n\t"
        "je 1f\n\t"
        "fstp %%st(1)\n\t"
        "fyl2xp1\n\t"
        "jmp 2f\n"
        "1:\n\t"
        "fstp %%st(0)\n\t"
        "fyl2x\n"
        "2:\n\t"
        "fmull %[b]\n\t"
        // 2^t: the integer part truncated, 2^fraction - 1, plus one, scaled.
        "fld %%st(0)\n\t"
        "fnstcw %[saved]\n\t"
        "movzwl %[saved], %%eax\n\t"
        "or $0xc, %%ah\n\t"
        "mov %%ax, %[chop]\n\t"
        "fldcw %[chop]\n\t"
        "frndint\n\t"
        "fldcw %[saved]\n\t"
        "fsubr %%st, %%st(1)\n\t"
        "fxch %%st(1)\n\t"
        "f2xm1\n\t"
        "fld1\n\t"
        "faddp %%st, %%st(1)\n\t"
        "fscale\n\t"
        "fstp %%st(1)\n\t"
        "fstpl %[r]\n\t"
        : [r] "=m"(r), [saved] "=m"(saved), [chop] "=m"(chop)
        : [a] "m"(a), [b] "m"(b), [one] "m"(kOne), [nearOne] "m"(kNearOne)
        : "rax", "cc", "memory", "st", "st(1)", "st(2)", "st(3)", "st(4)", "st(5)", "st(6)", "st(7)");
    return r;
}

}  // namespace

double qkPowGeneral(double a, double b)
{
    return TakesLogRoad(a, b) ? X87Pow(a, b) : pow(a, b);
}
#else
double qkPowGeneral(double a, double b)
{
    return pow(a, b);
}
#endif
