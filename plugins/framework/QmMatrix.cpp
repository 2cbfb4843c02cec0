#include "QmMatrix.h"

#include <math.h>
#include <string.h>

#include <algorithm>

#include "qxutil.h"

IMPLEMENT_DYNAMIC(QmPtr, QmBaseObj)
IMPLEMENT_DYNAMIC(QmBaseMX, QmPtr)
IMPLEMENT_DYNAMIC(QmMX, QmBaseMX)
IMPLEMENT_DYNAMIC(QmCvec, QmMX)
IMPLEMENT_DYNAMIC(QmRvec, QmMX)
IMPLEMENT_DYNAMIC(QmBitField, QmPtr)

// ---- The object list --------------------------------------------------------------------

namespace {

struct ListNode {
    ListNode* next;
    QmPtr* object;
};

ListNode* g_head = nullptr;
ListNode* g_tail = nullptr;

bool Unlink(QmPtr* object)
{
    ListNode* previous = nullptr;
    for (ListNode* n = g_head; n; previous = n, n = n->next) {
        if (n->object != object)
            continue;
        (previous ? previous->next : g_head) = n->next;
        if (g_tail == n)
            g_tail = previous;
        delete n;
        return true;
    }
    return false;
}

} // namespace

QmPtr::QmPtr()
{
    ListNode* node = new ListNode{nullptr, this};
    (g_tail ? g_tail->next : g_head) = node;
    g_tail = node;
}

QmPtr::~QmPtr()
{
    Unlink(this);
}

void QmUnlistObject(QmPtr* object)
{
    Unlink(object);
}

void QmDeleteObjectList()
{
    // Each deletion unlinks its own node, so the head moves on by itself.
    while (g_head)
        delete g_head->object;
}

int QmObjectListCount()
{
    int count = 0;
    for (ListNode* n = g_head; n; n = n->next)
        ++count;
    return count;
}

// ---- QmBaseMX -----------------------------------------------------------------------------

QmBaseMX::~QmBaseMX()
{
    Free();
}

int QmBaseMX::IsError()
{
    if (!IsValid()) {
        RecordError(QM_ERR_MX_INVALID);
        return 1;
    }
    return QmErrorRecorded();
}

int QmBaseMX::Allocate(int newRows, int newColumns)
{
    if (newRows < 1 || newColumns < 1) {
        RecordError(QM_ERR_MX_NO_STORAGE);
        return 1;
    }
    int blocks = std::min(newRows, newColumns);
    size_t length = static_cast<size_t>(std::max(newRows, newColumns));
    rowHandles = GlobalAlloc(GHND, blocks * sizeof(HGLOBAL));
    rowPointers = GlobalAlloc(GHND, blocks * sizeof(double*));
    handleView = rowHandles ? static_cast<HGLOBAL*>(GlobalLock(rowHandles)) : nullptr;
    pointerView = rowPointers ? static_cast<double**>(GlobalLock(rowPointers)) : nullptr;
    bool ok = handleView && pointerView;
    for (int b = 0; ok && b < blocks; ++b) {
        handleView[b] = GlobalAlloc(GHND, length * sizeof(double));
        pointerView[b] = handleView[b] ? static_cast<double*>(GlobalLock(handleView[b])) : nullptr;
        ok = pointerView[b] != nullptr;
    }
    rows = newRows;
    columns = newColumns;
    transposed = newColumns < newRows ? 1 : 0;
    if (!ok) {
        Free();
        RecordError(QM_ERR_MX_MEMORY);
        return 1;
    }
    return 0;
}

int QmBaseMX::Resize(int newRows, int newColumns)
{
    Free();
    if (newRows == 0 || newColumns == 0)
        return 0;
    return Allocate(newRows, newColumns);
}

void QmBaseMX::Free()
{
    int blocks = std::min(rows, columns);
    if (handleView) {
        for (int b = 0; b < blocks; ++b) {
            if (!handleView[b])
                continue;
            GlobalUnlock(handleView[b]);
            GlobalFree(handleView[b]);
        }
    }
    if (rowHandles) {
        GlobalUnlock(rowHandles);
        GlobalFree(rowHandles);
    }
    if (rowPointers) {
        GlobalUnlock(rowPointers);
        GlobalFree(rowPointers);
    }
    rowHandles = rowPointers = nullptr;
    handleView = nullptr;
    pointerView = nullptr;
    rows = columns = 0;
    transposed = 0;
}

double* QmBaseMX::Element(int i, int j)
{
    if (!IsValid()) {
        RecordError(QM_ERR_MX_NO_STORAGE);
        m_scratch = 0.0;
        return &m_scratch;
    }
    if (i < 0 || j < 0 || i >= rows || j >= columns) {
        RecordError(QM_ERR_MX_INDEX);
        i = rows - 1;
        j = columns - 1;
    }
    return transposed ? &pointerView[j][i] : &pointerView[i][j];
}

// ---- QmMX ---------------------------------------------------------------------------------

QmMX::QmMX(int newRows, int newColumns)
{
    Allocate(newRows, newColumns);
}

QmMX::QmMX(int newRows, int newColumns, double value)
{
    if (Allocate(newRows, newColumns) != 0)
        return;
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < columns; ++j)
            *Element(i, j) = value;
}

QmMX::QmMX(int n)
{
    if (Allocate(n, n) != 0)
        return;
    for (int i = 0; i < n; ++i)
        *Element(i, i) = 1.0;
}

QmMX::QmMX(QmMX& other)
    : QmBaseMX()
{
    if (Allocate(other.rows, other.columns) != 0)
        return;
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < columns; ++j)
            *Element(i, j) = *other.Element(i, j);
}

bool QmMX::SameSize(QmMX& other)
{
    if (rows == other.rows && columns == other.columns)
        return true;
    RecordError(QM_ERR_MX_SIZE);
    return false;
}

QmMX& QmMX::operator/=(QmMX& other)
{
    if (!SameSize(other))
        return *this;
    // Zero divisors are refused before anything changes, as in the operator /.
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < columns; ++j)
            if (*other.Element(i, j) == 0.0) {
                RecordError(QM_ERR_MX_ZERO_DIVISOR);
                return *this;
            }
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < columns; ++j)
            *Element(i, j) /= *other.Element(i, j);
    return *this;
}

QmMX& QmMX::operator*=(QmMX& other)
{
    if (!SameSize(other))
        return *this;
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < columns; ++j)
            *Element(i, j) *= *other.Element(i, j);
    return *this;
}

QmMX& QmMX::operator=(QmMX& other)
{
    if (this == &other || !SameSize(other))
        return *this;
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < columns; ++j)
            *Element(i, j) = *other.Element(i, j);
    return *this;
}

QmCvec* QmMX::Row(int n)
{
    QmCvec* row = new QmCvec(columns);
    for (int j = 0; j < columns; ++j)
        *row->Element(j, 0) = *Element(n, j);
    return row;
}

QmMX* QmMX::operator*(QmMX& other)
{
    QmMX* product = new QmMX(rows, other.columns);
    if (columns != other.rows) {
        RecordError(QM_ERR_MX_PRODUCT);
        return product;
    }
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < other.columns; ++j) {
            double sum = 0.0;
            for (int k = 0; k < columns; ++k)
                sum += *Element(i, k) * *other.Element(k, j);
            *product->Element(i, j) = sum;
        }
    return product;
}

int QmMX::SetColumn(int n, QmMX& vector)
{
    if (vector.rows != rows) {
        RecordError(QM_ERR_MX_SIZE);
        return 1;
    }
    for (int i = 0; i < rows; ++i)
        *Element(i, n) = *vector.Element(i, 0);
    return 0;
}

QmMX* QmMX::operator-(QmMX& other)
{
    if (!SameSize(other))
        return this;
    QmMX* difference = new QmMX(rows, columns);
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < columns; ++j)
            *difference->Element(i, j) = *Element(i, j) - *other.Element(i, j);
    return difference;
}

QmMX* QmMX::operator/(QmMX& other)
{
    if (!SameSize(other))
        return this;
    QmMX* quotient = new QmMX(rows, columns);
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < columns; ++j) {
            double d = *other.Element(i, j);
            if (d == 0.0) {
                RecordError(QM_ERR_MX_ZERO_DIVISOR);
                delete quotient;
                return this;
            }
            *quotient->Element(i, j) = *Element(i, j) / d;
        }
    return quotient;
}

QmMX* QmMX::Transpose()
{
    QmMX* t = new QmMX(columns, rows);
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < columns; ++j)
            *t->Element(j, i) = *Element(i, j);
    return t;
}

QmMX* QmMX::Inverse()
{
    // Only a square matrix has an inverse; anything else fails like a singular one.
    int n = rows;
    if (!IsValid() || rows != columns) {
        QmRecordError(QM_ERR_MX_INVERSE, "QmMX");
        return this;
    }
    double* block = static_cast<double*>(GlobalAlloc(GPTR, static_cast<size_t>(n) * n * sizeof(double)));
    if (!block)
        return this;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            block[static_cast<size_t>(i) * n + j] = *Element(i, j);
    QmMX* inverse = this;
    if (UtilInvertMatrix(n, block, 1) != 0) {
        QmRecordError(QM_ERR_MX_INVERSE, "QmMX");
    } else {
        inverse = new QmMX(n);
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j)
                *inverse->Element(i, j) = block[static_cast<size_t>(i) * n + j];
    }
    GlobalFree(block);
    return inverse;
}

// ---- QmCvec -------------------------------------------------------------------------------

QmCvec::QmCvec(int n, double value)
    : QmMX(n, 1, value)
{
}

QmCvec::QmCvec(QmMX& matrix)
    : QmMX(matrix.rows, 1)
{
    for (int i = 0; i < rows; ++i)
        *Element(i, 0) = *matrix.Element(i, 0);
}

QmCvec::QmCvec(int n)
    : QmMX(n, 1)
{
}

QmCvec& QmCvec::operator=(QmMX& matrix)
{
    if (this == &matrix)
        return *this;
    for (int i = 0; i < matrix.rows; ++i)
        *Element(i, 0) = *matrix.Element(i, 0);
    return *this;
}

QmCvec* QmCvec::Pow(int k)
{
    QmCvec* result = new QmCvec(rows);
    for (int i = 0; i < rows; ++i) {
        // Powers by squaring: exact for the small integer powers polynomials use.
        double base = *Element(i, 0);
        double p = 1.0;
        for (long long e = k < 0 ? -static_cast<long long>(k) : k; e; e >>= 1) {
            if (e & 1)
                p *= base;
            base *= base;
        }
        *result->Element(i, 0) = k < 0 ? 1.0 / p : p;
    }
    return result;
}

int QmCvec::Truncate(int n)
{
    if (n < 1 || n > rows) {
        RecordError(QM_ERR_MX_INDEX);
        return 1;
    }
    // The single block keeps its length; only the rows in use shrink.
    rows = n;
    transposed = columns < rows ? 1 : 0;
    return 0;
}

// ---- QmBitField -------------------------------------------------------------------------

int QmBitField::CountSet() const
{
    int n = std::min(count, 32);
    int set = 0;
    for (int b = 0; b < n; ++b)
        if (word & (1u << b))
            ++set;
    return set;
}
