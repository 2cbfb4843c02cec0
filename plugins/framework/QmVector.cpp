#include "QmVector.h"

#include <string.h>

#include <climits>
#include <vector>

IMPLEMENT_DYNAMIC(QmVector, QmProperty)
IMPLEMENT_DYNAMIC(QmNumericVector, QmVector)
IMPLEMENT_DYNAMIC(QmDoubleVector, QmNumericVector)
IMPLEMENT_DYNAMIC(QmIntVector, QmNumericVector)
IMPLEMENT_DYNAMIC(QmLongVector, QmIntVector)
IMPLEMENT_DYNAMIC(QmStringVector, QmVector)
IMPLEMENT_DYNAMIC(QmArray, QmProperty)
IMPLEMENT_DYNAMIC(QmDataNameVec, QmArray)
IMPLEMENT_DYNAMIC(QmParaVector, QmNumeric)

// ---- QmVector ---------------------------------------------------------------------------

QmVector::QmVector(int size, int step)
{
    growStep = step > 0 ? step : 20;
    itemSize = size > 0 ? size : 8;
}

QmVector::~QmVector()
{
    Free();
}

int QmVector::Allocate(int count)
{
    if (count <= 0)
        return 0;
    if (static_cast<size_t>(count) > SIZE_MAX / static_cast<size_t>(itemSize))
        return 1;
    void* block = GlobalAlloc(GPTR, static_cast<size_t>(count) * itemSize);
    if (!block)
        return 1;
    if (items)
        GlobalFree(items);
    items = block;
    capacity = count;
    return 0;
}

void QmVector::Free()
{
    if (items)
        GlobalFree(items);
    items = nullptr;
    capacity = 0;
    lastIndex = -1;
}

int QmVector::Resize(int count)
{
    if (!items)
        return Allocate(count);
    if (count <= 0 || static_cast<size_t>(count) > SIZE_MAX / static_cast<size_t>(itemSize))
        return 1;
    size_t oldBytes = static_cast<size_t>(capacity) * itemSize;
    size_t newBytes = static_cast<size_t>(count) * itemSize;
    void* block = GlobalReAlloc(items, newBytes, GMEM_MOVEABLE | GMEM_ZEROINIT);
    if (!block)
        return 1;
    if (newBytes > oldBytes)
        memset(static_cast<char*>(block) + oldBytes, 0, newBytes - oldBytes);
    items = block;
    capacity = count;
    if (lastIndex >= count)
        lastIndex = count - 1;
    return 0;
}

void QmVector::SetItemSize(int size)
{
    Free();
    itemSize = size > 0 ? size : 8;
}

int QmVector::Grow(int index)
{
    if (index < capacity)
        return 0;
    long long wanted = (static_cast<long long>(index) / growStep + 1) * growStep;
    if (wanted > INT_MAX)
        return 1;
    return Resize(static_cast<int>(wanted));
}

int QmVector::SetText(int index, const char* text)
{
    if (index < 0 || Grow(index) != 0)
        return 1;
    char* item = static_cast<char*>(items) + static_cast<size_t>(index) * itemSize;
    QmCopyText(item, itemSize, text ? text : "");
    if (index > lastIndex)
        lastIndex = index;
    return 0;
}

void* QmVector::ItemAt(int n)
{
    if (n < 0 || n > lastIndex)
        return nullptr;
    return static_cast<char*>(items) + static_cast<size_t>(n) * itemSize;
}

int QmVector::GetValue(char* text, int index)
{
    const char* item = static_cast<const char*>(ItemAt(index));
    if (!item || !text)
        return 1;
    QmCopyText(text, itemSize, item);
    return 0;
}

int QmVector::Value(char* text, int index, int flags)
{
    if (flags & QM_ACCESS_SET)
        return SetText(index, text) == 0 ? 1 : 2;
    if (flags & QM_ACCESS_GET)
        return GetValue(text, index) == 0 ? 1 : 2;
    return 2;
}

int QmVector::Append(const char* text)
{
    return SetText(lastIndex + 1, text);
}

// Texts are compared where they lie: every item holds its terminator within itemSize.
int QmVector::Compare(int i, int j)
{
    const char* a = static_cast<const char*>(ItemAt(i));
    const char* b = static_cast<const char*>(ItemAt(j));
    if (!a || !b)
        return 0;
    return _strnicmp(a, b, itemSize);
}

void QmVector::Swap(int i, int j)
{
    char* a = static_cast<char*>(ItemAt(i));
    char* b = static_cast<char*>(ItemAt(j));
    if (!a || !b || a == b)
        return;
    std::vector<char> t(a, a + itemSize);
    memcpy(a, b, itemSize);
    memcpy(b, t.data(), itemSize);
}

int QmVector::InsertSorted(const char* text, int descending)
{
    if (Append(text) != 0)
        return 1;
    for (int c = lastIndex; c >= 1; --c) {
        int order = Compare(c - 1, c);
        bool inOrder = descending ? order >= 0 : order <= 0;
        if (inOrder)
            break;
        Swap(c - 1, c);
    }
    return 0;
}

int QmVector::SetVectorSize(int count)
{
    Free();
    if (Allocate(count) != 0)
        return 1;
    lastIndex = count - 1;
    if (lastIndex < -1)
        lastIndex = -1;
    return 0;
}

int QmVector::GetVectorSize(int* count)
{
    *count = lastIndex + 1;
    return 0;
}

// ---- Numeric vectors ----------------------------------------------------------------------

int QmNumericVector::SetValue(double value, int index)
{
    if (index < 0 || Grow(index) != 0)
        return 1;
    Store(static_cast<char*>(items) + static_cast<size_t>(index) * itemSize, value);
    if (index > lastIndex)
        lastIndex = index;
    return 0;
}

int QmNumericVector::GetValue(double* value, int index)
{
    const void* item = ItemAt(index);
    if (!item || !value)
        return 1;
    *value = Load(item);
    return 0;
}

int QmNumericVector::Value(double* value, int index, int flags)
{
    if (!value)
        return 2;
    if (flags & QM_ACCESS_SET)
        return SetValue(*value, index) == 0 ? 1 : 2;
    if (flags & QM_ACCESS_GET)
        return GetValue(value, index) == 0 ? 1 : 2;
    return 2;
}

double QmDoubleVector::Load(const void* item)
{
    double v;
    memcpy(&v, item, sizeof v);
    return v;
}

void QmDoubleVector::Store(void* item, double value)
{
    memcpy(item, &value, sizeof value);
}

double QmIntVector::Load(const void* item)
{
    int v;
    memcpy(&v, item, sizeof v);
    return v;
}

void QmIntVector::Store(void* item, double value)
{
    int v = 0;
    if (value >= static_cast<double>(INT_MAX))
        v = INT_MAX;
    else if (value <= static_cast<double>(INT_MIN))
        v = INT_MIN;
    else if (value == value)
        v = static_cast<int>(value);
    memcpy(item, &v, sizeof v);
}

// ---- QmDataNameVec ------------------------------------------------------------------------

QmDataNameVec::~QmDataNameVec()
{
    for (QmString*& e : elements) {
        delete e;
        e = nullptr;
    }
}

int QmDataNameVec::Value(char* text, int index, int flags)
{
    if (flags & QM_ACCESS_SET)
        return SetValue(text, index) == 0 ? 1 : 2;
    if (flags & QM_ACCESS_GET)
        return GetValue(text, index) == 0 ? 1 : 2;
    return 2;
}

int QmDataNameVec::SetValue(const char* text, int index)
{
    // The elements are a fixed array: an index at or past its end is refused whatever
    // the count says.
    if (index < 0 || index > count || index >= CAPACITY) {
        RecordError(QM_ERR_NAME_INDEX);
        return 1;
    }
    if (!text || !*text) {
        RecordError(QM_ERR_NAME_EMPTY);
        return 1;
    }
    QmDataSetName* element = new (std::nothrow) QmDataSetName;
    if (!element || element->SetText(text) != 0) {
        delete element;
        RecordError(QM_ERR_NAME_ELEMENT);
        return 1;
    }
    delete elements[index];
    elements[index] = element;
    return 0;
}

int QmDataNameVec::GetValue(char* text, int index)
{
    if (index < 0 || index >= count || index >= CAPACITY) {
        RecordError(QM_ERR_NAME_INDEX);
        return 1;
    }
    if (elements[index] && text)
        elements[index]->GetValue(text);
    return 0;
}

void QmDataNameVec::init()
{
    for (QmString*& e : elements) {
        delete e;
        e = nullptr;
    }
    count = 0;
}

// ---- QmParaVector -------------------------------------------------------------------------

double& QmParaVector::At(int index)
{
    return values[(index >= 0 && index < SIZE) ? index : 0];
}

int QmParaVector::Value(double* value, int index, int flags)
{
    if (!value)
        return 2;
    if (index < 0 || index >= SIZE) {
        RecordError(QM_ERR_PARA_INDEX);
        if (flags & QM_ACCESS_GET)
            *value = values[0];
        return 2;
    }
    if (flags & QM_ACCESS_SET) {
        values[index] = *value;
        return 1;
    }
    if (flags & QM_ACCESS_GET) {
        *value = values[index];
        return 1;
    }
    return 2;
}

int QmParaVector::Value(double* value, int flags)
{
    if (value && (flags & QM_ACCESS_SET) && *value == 0.0)
        init();
    return 1;
}

void QmParaVector::init()
{
    QmNumeric::init();
    for (double& v : values)
        v = 0.0;
}
