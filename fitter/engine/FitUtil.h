// Small routines the engine and the fitter window share: text scanning, file-name parts,
// host dataset routines, the settings-file reader, and the numbers taken from qxutil.
//
// Every routine that writes text takes the capacity of its output and never writes more
// (terminator included); a longer result is cut.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include "FitSession.h"

// Whether the n doubles at a and b are the same bits, and a copy of n doubles: inline, for
// the few parameters every pass compares and keeps (the runtime's memcmp and memcpy go
// byte by byte or through a general copy, which costs more than the comparison itself).
inline bool SameDoubles(const double* a, const double* b, int n)
{
    for (int i = 0; i < n; ++i) {
        uint64_t x, y;
        memcpy(&x, a + i, sizeof x);
        memcpy(&y, b + i, sizeof y);
        if (x != y)
            return false;
    }
    return true;
}

// Whether the texts in two buffers of `capacity` bytes (a multiple of 8) are the same, eight
// bytes at a time up to the word that holds the end of the first: a pass compares its
// formula with the one prepared.
inline bool SameText(const char* a, const char* b, size_t capacity)
{
    for (size_t i = 0; i + 8 <= capacity; i += 8) {
        uint64_t x, y;
        memcpy(&x, a + i, sizeof x);
        memcpy(&y, b + i, sizeof y);
        if (((x - 0x0101010101010101ull) & ~x & 0x8080808080808080ull) == 0) {
            if (x != y)
                return false;
            continue;
        }
        for (size_t k = i; k < i + 8; ++k) {
            if (a[k] != b[k])
                return false;
            if (!a[k])
                return true;
        }
    }
    return false;
}

inline void CopyDoubles(double* to, const double* from, int n)
{
    for (int i = 0; i < n; ++i)
        to[i] = from[i];
}

// Text
const char* NextToken(const char* text, const char* separators, char* out, size_t capacity);
const char* NextWord(const char* text, char* out, size_t capacity);
int ContainsChar(const char* text, char c);
const char* FindNoCase(const char* text, const char* pattern);
void KeyOfPair(const char* text, char* out, size_t capacity);
void ValueOfPair(const char* text, char* out, size_t capacity);
int CopyToBlock(FittingSession* s, const char* text, char** pointerOut);
const char* JoinStrings(const char* first, const char* second);
int LinesToCommaList(char* text);
int ParseOrdinal(const char* text);
void KeepCharCount(char* text, char c, int count);
const char* PathFileName(const char* path);
void PathBaseName(const char* path, char* out, size_t capacity);

// Host routines
int IsDatasetInvalid(FittingSession* s, QFitDataset dataset);
int ReadValueAlt(FittingSession* s, QFitDataset dataset, int row, double* out);
int GetDatasetRange(FittingSession* s, QFitDataset dataset, QFitRowRanges* rows, QFitXBounds* bounds, bool direct);
int ParseValueList(FittingSession* s, int kind, int count, const char* text, void* out, int* outCount);

// Profile value cut at its first ";", trailing blanks removed.
void ReadProfileString(const char* section, const char* key, const char* defaultValue, char* buffer,
                       int size, const char* file);

// Resets the floating-point unit to its default state.
void ResetFloatingPoint();

// Numbers from qxutil.
void FitFormatNumber(double value, char* out, size_t capacity);   // free format "*"
void FitFormatMu(double mu, char* out, size_t capacity);          // the same, its texts kept
double FitStudentQuantile(double probability, double dof);        // MISSING_VALUE on failure
double FitGateValue(double confidence);                           // -1 on failure
int FitTextToInt(const char* text);
