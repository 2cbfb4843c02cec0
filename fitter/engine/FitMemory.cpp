#include "FitMemory.h"

void* AllocLockedBlock(size_t bytes)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes ? bytes : 1);
    if (!block)
        return nullptr;
    void* pointer = GlobalLock(block);
    if (!pointer)
        GlobalFree(block);
    return pointer;
}

void FreeLockedBlock(void* pointer)
{
    if (!pointer)
        return;
    HGLOBAL block = GlobalHandle(pointer);
    if (block)
        GlobalUnlock(block);
    if (!block || GlobalFree(block) != nullptr)
        MessageBoxA(nullptr, "Attention!", "Memory problem", MB_ICONQUESTION);
}

double** AllocMatrix(int firstRow, int lastRow, int firstColumn, int lastColumn)
{
    if (firstRow < 0 || firstColumn < 0 || lastRow < firstRow || lastColumn < firstColumn)
        return nullptr;
    const size_t rows = static_cast<size_t>(lastRow) + 1;
    const size_t columns = static_cast<size_t>(lastColumn) + 1;
    void* block = AllocLockedBlock(rows * sizeof(double*) + rows * columns * sizeof(double));
    if (!block)
        return nullptr;
    double** table = static_cast<double**>(block);
    double* data = reinterpret_cast<double*>(table + rows);
    for (size_t r = 0; r < rows; ++r)
        table[r] = data + r * columns;
    return table;
}

void FreeMatrix(double** matrix, int)
{
    FreeLockedBlock(matrix);
}
