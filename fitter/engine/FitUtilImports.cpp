// The engine's uses of qxutil, in one place.
#include <string.h>
#include <stdio.h>

#include "FitUtil.h"
#include "qxutil.h"

void FitFormatNumber(double value, char* out, size_t capacity)
{
    char buffer[UTIL_NUMBER_TEXT_SIZE];
    UtilFormatNumber(value, buffer, "*");
    if (capacity == 0)
        return;
    // Copied by hand: the runtime's strnlen and memcpy go byte by byte behind a call, and mu
    // is formatted every iteration.
    size_t n = 0;
    for (; n + 1 < capacity && buffer[n]; ++n)
        out[n] = buffer[n];
    out[n] = 0;
}

double FitStudentQuantile(double probability, double dof)
{
    const double args[2] = {probability, dof};
    return UtilTQuantile(args);
}

double FitGateValue(double confidence)
{
    const double args[2] = {confidence, 1.0};
    return UtilChiSquareQuantile(args);
}

int FitTextToInt(const char* text)
{
    return UtilTextToInt(text);
}
