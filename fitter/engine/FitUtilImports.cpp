// The engine's uses of qxutil, in one place.
#include <string.h>
#include <stdio.h>

#include "FitUtil.h"
#include "QxText.h"
#include "qxutil.h"

void FitFormatNumber(double value, char* out, size_t capacity)
{
    char buffer[UTIL_NUMBER_TEXT_SIZE];
    UtilFormatNumber(value, buffer, "*");
    qxtext::CopyUpTo(out, capacity, buffer);
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
