// Dense matrices of doubles for the numeric methods, and the object list that frees
// them. Every QmPtr registers itself in one library-wide list while it lives; operators
// hand back new matrices that stay in the list, and a method's end sweep
// (QmDeleteObjectList) deletes whatever it created in one go. Matrices made on a stack
// frame must be gone before the sweep runs.
//
// A failed operation records its error (with the class name) and, where it would return
// a new matrix, returns its left operand instead: callers test IsError after a chain.
#pragma once

#include "QmObjects.h"

class QmPtr : public QmBaseObj {
    DECLARE_DYNAMIC(QmPtr)
public:
    QmPtr();   // appends this object to the list
    ~QmPtr() override; // unlinks it
};

// Deletes every object still in the list, oldest first, and leaves it empty.
void QmDeleteObjectList();
// Objects in the list.
int QmObjectListCount();
// Takes an object out of the list without deleting it (its owner deletes it).
void QmUnlistObject(QmPtr* object);

class QmCvec;

// Storage: min(rows, columns) movable blocks of max(rows, columns) doubles each, all
// zero-filled. A matrix with fewer columns than rows is kept transposed (element (i, j)
// in block j at position i), so a column vector is one block.
class QmBaseMX : public QmPtr {
    DECLARE_DYNAMIC(QmBaseMX)
public:
    ~QmBaseMX() override;

    int rows = 0;
    int columns = 0;
    HGLOBAL rowHandles = nullptr;  // block of the row blocks' handles
    HGLOBAL rowPointers = nullptr; // block of their locked addresses
    HGLOBAL* handleView = nullptr;
    double** pointerView = nullptr;
    int transposed = 0;

    int IsValid() const override { return rowHandles && rowPointers; }
    int IsError() override;

    // 0 when done; 1 after error 400 (a dimension below 1) or 402 (no memory).
    int Allocate(int newRows, int newColumns);
    int Resize(int newRows, int newColumns);
    void Free();
    // Element (i, j). Without storage: error 400 and a scratch cell that is not part of
    // the matrix; an index outside the matrix: error 401 and the last element.
    double* Element(int i, int j);
    double& operator()(int i, int j) { return *Element(i, j); }

private:
    double m_scratch = 0.0;
};

class QmMX : public QmBaseMX {
    DECLARE_DYNAMIC(QmMX)
public:
    QmMX(int newRows, int newColumns);
    QmMX(int newRows, int newColumns, double value);
    explicit QmMX(int n); // the n x n identity
    QmMX(QmMX& other);

    QmMX& operator/=(QmMX& other);
    QmMX& operator*=(QmMX& other);
    QmMX& operator=(QmMX& other);
    QmCvec* Row(int n);
    QmMX* operator*(QmMX& other);
    int SetColumn(int n, QmMX& vector);
    QmMX* operator-(QmMX& other);
    QmMX* operator/(QmMX& other);
    QmMX* Transpose();
    QmMX* Inverse();

protected:
    // No storage yet: for subclasses that allocate once they know their size, so that an
    // empty one stays without storage instead of recording error 400.
    QmMX() = default;
    bool SameSize(QmMX& other);
};

// A column vector (n x 1).
class QmCvec : public QmMX {
    DECLARE_DYNAMIC(QmCvec)
public:
    QmCvec(int n, double value);
    explicit QmCvec(QmMX& matrix); // its first column
    explicit QmCvec(int n);

    QmCvec& operator=(QmMX& matrix);
    QmCvec* Pow(int k);
    int Truncate(int n);

protected:
    QmCvec() = default; // no storage yet, as QmMX()
};

// A row vector (1 x n).
class QmRvec : public QmMX {
    DECLARE_DYNAMIC(QmRvec)
public:
    explicit QmRvec(int n) : QmMX(1, n) {}
    QmRvec(int n, double value) : QmMX(1, n, value) {}
};

// A 32-bit flag word of which the first `count` bits are in use.
class QmBitField : public QmPtr {
    DECLARE_DYNAMIC(QmBitField)
public:
    unsigned int word = 0;
    int count = 0;

    // Set bits among the first `count` (at most 32) bits.
    int CountSet() const;
};
