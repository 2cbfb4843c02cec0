// The engine's uses of qxutil, in one place.
#include <string.h>
#include <stdio.h>

#include <atomic>

#include "FitUtil.h"
#include "QxText.h"
#include "qxutil.h"

void FitFormatNumber(double value, char* out, size_t capacity)
{
    char buffer[UTIL_NUMBER_TEXT_SIZE];
    UtilFormatNumber(value, buffer, "*");
    qxtext::CopyUpTo(out, capacity, buffer);
}

// mu moves tenfold a step from 0.001, so fit after fit it takes the same few values, and every
// iteration reports it as text. Formatted in the middle of an iteration, with the formatter's
// code and tables out of the cache, one costs about as much as a small fit's whole iteration:
// the last texts are kept, by value. A thread that finds the table in use formats for itself.
void FitFormatMu(double mu, char* out, size_t capacity)
{
    struct Kept {
        uint64_t bits;
        bool used;
        char text[UTIL_NUMBER_TEXT_SIZE];
    };
    static Kept kept[64];
    static std::atomic_flag busy = ATOMIC_FLAG_INIT;
    uint64_t bits;
    memcpy(&bits, &mu, sizeof bits);
    if (busy.test_and_set(std::memory_order_acquire)) {
        FitFormatNumber(mu, out, capacity);
        return;
    }
    Kept& k = kept[(bits * 0x9E3779B97F4A7C15ull) >> 58];
    if (!k.used || k.bits != bits) {
        UtilFormatNumber(mu, k.text, "*");
        k.bits = bits;
        k.used = true;
    }
    qxtext::CopyUpTo(out, capacity, k.text);
    busy.clear(std::memory_order_release);
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
