// Movable global memory for the engine's buffers.
//
// Every engine buffer is a zero-filled movable block that stays locked for its whole life
// and is released from its locked pointer. Arrays indexed by parameter or variable are
// 1-based: they are allocated with one element more and element 0 holds nothing.
#pragma once

#include <windows.h>
#include <stddef.h>

// A zero-filled locked block of the given size, or null.
void* AllocLockedBlock(size_t bytes);

// Null does nothing; a block that cannot be freed is reported in a message box.
void FreeLockedBlock(void* pointer);

template <class T>
T* AllocArray(size_t count)
{
    return static_cast<T*>(AllocLockedBlock(count * sizeof(T)));
}

// A 1-based (or 0-based) array of count usable elements: indices 0..count.
template <class T>
T* AllocIndexed(size_t count)
{
    return AllocArray<T>(count + 1);
}

// Frees *pointer and clears it.
template <class T>
void FreeAndClear(T*& pointer)
{
    FreeLockedBlock(pointer);
    pointer = nullptr;
}

// An index-range matrix: one block holding the row-pointer table followed by the rows.
// Rows run from firstRow to lastRow and columns from firstColumn to lastColumn; the first
// indices may be 0 or 1, so m[r][c] addresses the element directly. Rows and columns below
// the first indices exist (zero-filled) instead of being reached through offset pointers.
double** AllocMatrix(int firstRow, int lastRow, int firstColumn, int lastColumn);
void FreeMatrix(double** matrix, int firstRow);
