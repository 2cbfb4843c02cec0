// The statistics methods' own matrices: QmStatMX for the sums of squares of their
// formulas, QmStatVec, a column vector that knows its statistics, and KSStatVec, the
// sorted sample of a dataset for order statistics and the normality test. Like every
// framework matrix they sit in the object list, so the sweep at the end of a statistics
// method frees those a method left behind.
//
// The order statistics and the normality test follow the rules of the descriptive
// statistics (StatCore.h), which these classes hand their sorted elements to: one rule,
// one place.
#pragma once

#include "QmFramework.h"
#include "QmData.h"
#include "QmMatrix.h"

enum StatMatrixError {
    STAT_ERR_RESIDUAL_TEMP = 511,   // the copy of y in the residual sum of squares
    STAT_ERR_DEVIATION_AFTER = 512, // the temporary of the deviations, tested after dividing
    STAT_ERR_DEVIATION_BEFORE = 513, // the same, tested before dividing
};

class QmStatMX : public QmMX {
    DECLARE_DYNAMIC(QmStatMX)
public:
    explicit QmStatMX(QmMX& other) : QmMX(other) {}
    QmStatMX(int newRows, int newColumns) : QmMX(newRows, newColumns) {}
    QmStatMX(int newRows, int newColumns, double value) : QmMX(newRows, newColumns, value) {}

    // Copies a matrix of the same size: 0; error 503 and 1 otherwise.
    int Copy(QmMX& other);
    // This matrix being X: *out := the sum of the squared residuals r = y - X b. 0; error
    // 511 and 1 when the copy of y is not valid, 1 when the product does not fit.
    int ResidualSumOfSquares(QmMX& y, QmMX& b, double* out);

    // When the temporary of SumOfSquaredDeviations is tested, and so which code it records.
    enum DeviationCheck { CHECK_AFTER_DIVISION, CHECK_BEFORE_DIVISION };
    // This matrix being a column vector v: *out := sum over i of (v[i] - value / w[i])^2.
    // 0; 1 with error 512 (513 for CHECK_BEFORE_DIVISION) when the temporary is not valid,
    // a division by a zero weight included: no sum is better than a wrong one.
    int SumOfSquaredDeviations(double* out, double value, QmMX& w,
                               DeviationCheck check = CHECK_AFTER_DIVISION);
};

class QmStatVec : public QmCvec {
    DECLARE_DYNAMIC(QmStatVec)
public:
    explicit QmStatVec(QmMX& matrix) : QmCvec(matrix) {} // its first column
    explicit QmStatVec(int n) : QmCvec(n) {}
    QmStatVec(int n, double value) : QmCvec(n, value) {}

    int sorted = 0; // set by KSStatVec::Sort

    // Copies a column vector of the same length: 0; error 503 and 1 otherwise.
    int Copy(QmCvec& other);
    void Fill(double value);
    void Add(double value);
    // The average, and the sum of squared deviations from it; 0 for a vector without
    // storage. Both centred in two passes (the mean first), which keeps the digits of a
    // sample with a large mean and a small spread.
    double Mean();
    double SumOfSquaredDeviations();
    // Copies the dataset's values that are not missing into consecutive elements, from the
    // first, as far as the vector reaches; the number copied.
    int FillFrom(QmData& data);

protected:
    QmStatVec() = default;
};

class KSStatVec : public QmStatVec {
    DECLARE_DYNAMIC(KSStatVec)
public:
    // The dataset's values that are not missing, in row order; `missing` := how many were.
    // With none, the vector has no storage.
    KSStatVec(QmData& data, int& missing);

    // Ascending, in place, once: later calls leave the order alone.
    void Sort();
    // The p-th percentile of the sorted values (p in 0..100), interpolated when the flag
    // object is set; MISSING_VALUE without storage.
    double Percentile(double p, QmBool& interpolate);
    // The Kolmogorov-Smirnov statistic D against the normal distribution with the
    // sample's own mean and standard deviation, and its probability. 0 and both values;
    // 1 and both MISSING_VALUE without storage, for one value or for no spread.
    int Normality(double* d, double* probability);

private:
    void QuickSort(int low, int high);
};
