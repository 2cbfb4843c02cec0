#include "StatMatrices.h"

#include <utility>
#include <vector>

#include "StatCore.h"
#include "qxdefs.h"

IMPLEMENT_DYNAMIC(QmStatMX, QmMX)
IMPLEMENT_DYNAMIC(QmStatVec, QmCvec)
IMPLEMENT_DYNAMIC(KSStatVec, QmStatVec)

namespace {

// The elements of a column vector, for the rules of StatCore.
std::vector<double> Elements(QmCvec& v)
{
    std::vector<double> out;
    if (!v.IsValid())
        return out;
    out.reserve(size_t(v.rows));
    for (int i = 0; i < v.rows; ++i)
        out.push_back(*v.Element(i, 0));
    return out;
}

} // namespace

// ---- QmStatMX -------------------------------------------------------------------------------

int QmStatMX::Copy(QmMX& other)
{
    if (!SameSize(other))
        return 1;
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < columns; ++j)
            *Element(i, j) = *other.Element(i, j);
    return 0;
}

int QmStatMX::ResidualSumOfSquares(QmMX& y, QmMX& b, double* out)
{
    QmCvec r(y);
    if (!r.IsValid()) {
        RecordError(STAT_ERR_RESIDUAL_TEMP);
        return 1;
    }
    if (columns != b.rows || rows != y.rows) {
        RecordError(QM_ERR_MX_PRODUCT);
        return 1;
    }
    // r := y - X b, then r'r; the temporaries go with the method's sweep.
    QmMX* fitted = *this * b;
    QmMX* residual = r - *fitted;
    QmMX* square = *residual->Transpose() * *residual;
    *out = *square->Element(0, 0);
    return 0;
}

int QmStatMX::SumOfSquaredDeviations(double* out, double value, QmMX& w, DeviationCheck check)
{
    const int code = check == CHECK_BEFORE_DIVISION ? STAT_ERR_DEVIATION_BEFORE : STAT_ERR_DEVIATION_AFTER;
    if (columns != 1 || w.rows != rows) {
        RecordError(QM_ERR_MX_SIZE);
        return 1;
    }
    QmCvec u(rows, value);
    if (check == CHECK_BEFORE_DIVISION && !u.IsValid()) {
        RecordError(code);
        return 1;
    }
    // A zero weight leaves u undivided (error 505): that sum would be wrong, so none is made.
    int before = QmNewestErrorSlot();
    u /= w;
    bool refused = QmNewestErrorSlot() != before;
    if (!u.IsValid() || refused) {
        RecordError(code);
        return 1;
    }
    QmMX* d = *this - u;
    QmMX* square = *d->Transpose() * *d;
    *out = *square->Element(0, 0);
    return 0;
}

// ---- QmStatVec ------------------------------------------------------------------------------

int QmStatVec::Copy(QmCvec& other)
{
    if (!SameSize(other))
        return 1;
    for (int i = 0; i < rows; ++i)
        *Element(i, 0) = *other.Element(i, 0);
    sorted = 0;
    return 0;
}

void QmStatVec::Fill(double value)
{
    if (!IsValid())
        return;
    for (int i = 0; i < rows; ++i)
        *Element(i, 0) = value;
    sorted = 0;
}

void QmStatVec::Add(double value)
{
    if (!IsValid())
        return;
    for (int i = 0; i < rows; ++i)
        *Element(i, 0) += value;
}

double QmStatVec::Mean()
{
    if (!IsValid() || rows == 0)
        return 0;
    qxstats::KahanSum sum;
    for (int i = 0; i < rows; ++i)
        sum.Add(*Element(i, 0));
    double mean = sum.Value() / rows;
    // The mean correction: the sum of the deviations, which is 0 in exact arithmetic.
    qxstats::KahanSum correction;
    for (int i = 0; i < rows; ++i)
        correction.Add(*Element(i, 0) - mean);
    return mean + correction.Value() / rows;
}

double QmStatVec::SumOfSquaredDeviations()
{
    if (!IsValid() || rows == 0)
        return 0;
    double mean = Mean();
    qxstats::KahanSum sum;
    for (int i = 0; i < rows; ++i) {
        double d = *Element(i, 0) - mean;
        sum.Add(d * d);
    }
    return sum.Value();
}

int QmStatVec::FillFrom(QmData& data)
{
    if (!IsValid())
        return 0;
    int n = 0;
    for (int row = data.first; row < data.end && n < rows; ++row) {
        double v = data.GetAt(row);
        if (!IsMissingValue(v))
            *Element(n++, 0) = v;
    }
    sorted = 0;
    return n;
}

// ---- KSStatVec ------------------------------------------------------------------------------

KSStatVec::KSStatVec(QmData& data, int& missing)
{
    missing = 0;
    int present = 0;
    for (int row = data.first; row < data.end; ++row)
        IsMissingValue(data.GetAt(row)) ? ++missing : ++present;
    if (present > 0 && Allocate(present, 1) == 0)
        FillFrom(data);
}

void KSStatVec::Sort()
{
    if (sorted || !IsValid())
        return;
    QuickSort(0, rows - 1);
    sorted = 1;
}

void KSStatVec::QuickSort(int low, int high)
{
    // The pivot is the median of the first, middle and last elements, which are put in
    // order first; the parts are sorted the same way, the smaller one by recursion so the
    // depth stays logarithmic.
    while (high - low >= 1) {
        int mid = low + (high - low) / 2;
        double& a = *Element(low, 0);
        double& m = *Element(mid, 0);
        double& z = *Element(high, 0);
        if (m < a)
            std::swap(a, m);
        if (z < a)
            std::swap(a, z);
        if (z < m)
            std::swap(m, z);
        if (high - low < 3)
            return;
        double pivot = m;
        int i = low, j = high;
        while (i <= j) {
            while (*Element(i, 0) < pivot)
                ++i;
            while (pivot < *Element(j, 0))
                --j;
            if (i <= j) {
                std::swap(*Element(i, 0), *Element(j, 0));
                ++i;
                --j;
            }
        }
        if (j - low < high - i) {
            QuickSort(low, j);
            low = i;
        } else {
            QuickSort(i, high);
            high = j;
        }
    }
}

double KSStatVec::Percentile(double p, QmBool& interpolate)
{
    if (!IsValid())
        return MISSING_VALUE;
    Sort();
    return qxstats::SortedValues(Elements(*this), false).Percentile(p, interpolate.value != 0);
}

int KSStatVec::Normality(double* d, double* probability)
{
    *d = *probability = MISSING_VALUE;
    if (!IsValid())
        return 1;
    Sort();
    return qxstats::SortedValues(Elements(*this), false).NormalityTest(d, probability) ? 0 : 1;
}
