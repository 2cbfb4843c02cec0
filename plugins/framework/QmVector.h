// Vector properties: script-visible properties with numbered elements, addressed as the
// name followed by a 1-based element number ("X2") and sized through the vector-size
// operations of QMDLL. Inside the library elements are 0-based.
#pragma once

#include "QmObjects.h"

enum { QM_ERR_PARA_INDEX = 200 }; // element index outside a 9-element result vector

// A growable buffer of fixed-size items in one zero-filled block of global memory.
// Numeric families hold one number per item; string families one text per item, of at
// most itemSize - 1 characters.
class QmVector : public QmProperty {
    DECLARE_DYNAMIC(QmVector)
public:
    // 0 for either argument takes the default (8-byte items, grown 20 at a time).
    explicit QmVector(int itemSize = 0, int growStep = 0);
    ~QmVector() override;

    void* items = nullptr; // GlobalAlloc'ed, fixed
    int capacity = 0;
    int lastIndex = -1;
    int itemSize = 8;
    int growStep = 20;

    virtual int Allocate(int count);
    virtual void Free();
    virtual int Resize(int count);
    virtual void SetItemSize(int size);
    virtual int InsertSorted(const char* text, int descending);
    virtual int Append(const char* text);
    virtual void Swap(int i, int j);
    virtual int Compare(int i, int j);

    using QmScript::GetValue;
    using QmScript::SetValue;
    using QmScript::Value;
    int Type() override { return QM_TYPE_VECTOR; }
    int SetVectorSize(int count) override;
    int GetVectorSize(int* count) override;
    int Value(char* text, int index, int flags) override;
    int GetValue(char* text, int index) override;
    // Vectors are not argument objects.
    int SetExpValue(const char*) override { return 1; }
    void init() override { Free(); }

    // Text of item `index` (0 when done, 1 for a negative index or no memory).
    int SetText(int index, const char* text);
    // Item n, or null outside 0 .. lastIndex.
    void* ItemAt(int n);

protected:
    // Makes room for item `index`; 0 when done.
    int Grow(int index);
};

class QmNumericVector : public QmVector {
    DECLARE_DYNAMIC(QmNumericVector)
public:
    using QmVector::QmVector;
    using QmVector::GetValue;
    using QmVector::SetValue;
    using QmVector::Value;
    int Value(double* value, int index, int flags) override;
    int SetValue(double value, int index) override;
    int GetValue(double* value, int index) override;

protected:
    virtual double Load(const void* item) = 0;
    virtual void Store(void* item, double value) = 0;
};

class QmDoubleVector : public QmNumericVector {
    DECLARE_DYNAMIC(QmDoubleVector)
public:
    explicit QmDoubleVector(int growStep = 0) : QmNumericVector(sizeof(double), growStep) {}

protected:
    double Load(const void* item) override;
    void Store(void* item, double value) override;
};

// 32-bit integers; values are truncated toward zero and clamped to the int range.
class QmIntVector : public QmNumericVector {
    DECLARE_DYNAMIC(QmIntVector)
public:
    explicit QmIntVector(int growStep = 0) : QmNumericVector(sizeof(int), growStep) {}

protected:
    double Load(const void* item) override;
    void Store(void* item, double value) override;
};

class QmLongVector : public QmIntVector {
    DECLARE_DYNAMIC(QmLongVector)
public:
    using QmIntVector::QmIntVector;
};

class QmStringVector : public QmVector {
    DECLARE_DYNAMIC(QmStringVector)
public:
    using QmVector::QmVector;
    int Type() override { return QM_TYPE_VECTOR | QM_TYPE_STRING; }
};

// Up to ten dataset names; the owner sets how many are in use.
class QmArray : public QmProperty {
    DECLARE_DYNAMIC(QmArray)
public:
    enum { CAPACITY = 10 };
    int count = 0;
    int Type() override { return QM_TYPE_VECTOR | QM_TYPE_STRING; }
    int SetExpValue(const char*) override { return 1; }
};

class QmDataNameVec : public QmArray {
    DECLARE_DYNAMIC(QmDataNameVec)
public:
    ~QmDataNameVec() override;
    QmString* elements[CAPACITY] = {}; // owned QmDataSetName objects

    using QmScript::GetValue;
    using QmScript::SetValue;
    using QmScript::Value;
    int Value(char* text, int index, int flags) override;
    int SetValue(const char* text, int index) override;
    int GetValue(char* text, int index) override;
    void init() override;
};

// The nine-element numeric result vectors of the statistics methods (script names
// B1 to B9, DF1 to DF9). Their size is fixed and cannot be read or set.
class QmParaVector : public QmNumeric {
    DECLARE_DYNAMIC(QmParaVector)
public:
    enum { SIZE = 9 };
    double values[SIZE] = {};

    using QmNumeric::GetValue;
    using QmNumeric::SetValue;
    using QmNumeric::Value;
    int Type() override { return QM_TYPE_VECTOR; }
    // Element access; an index outside 0 to 8 records error 200 and fails (a get then
    // still writes element 0).
    int Value(double* value, int index, int flags) override;
    // Setting the vector itself to 0 clears it; other values are ignored.
    int Value(double* value, int flags) override;
    double& At(int index);
    void init() override;
};
