// In-place inversion of a square matrix.
#include "qxutil.h"

#include <cfloat>
#include <cmath>
#include <new>
#include <vector>

// Gauss-Jordan elimination with partial pivoting on [A | I], in a copy, so that a
// singular matrix leaves the caller's matrix as it was. A pivot is taken as zero when
// it is below n * DBL_EPSILON times the largest element of A: below that, rounding
// alone could have made it.
extern "C" int UtilInvertMatrix(int n, double *matrix, int option)
{
    if (n < 1 || !matrix || option != 1 || n > 46340)  // n * n must fit an int
        return 2;
    const size_t size = size_t(n);
    double largest = 0;
    for (size_t i = 0; i < size * size; ++i) {
        if (!std::isfinite(matrix[i]))
            return 2;
        largest = std::fmax(largest, std::fabs(matrix[i]));
    }
    if (largest == 0)
        return 1;
    std::vector<double> work;
    try {
        work.assign(size * 2 * size, 0.0);
    } catch (const std::bad_alloc &) {
        return 2;
    }
    const size_t width = 2 * size;
    for (size_t r = 0; r < size; ++r) {
        for (size_t c = 0; c < size; ++c)
            work[r * width + c] = matrix[r * size + c];
        work[r * width + size + r] = 1;
    }
    const double threshold = n * DBL_EPSILON * largest;
    for (size_t col = 0; col < size; ++col) {
        size_t pivot = col;
        for (size_t r = col + 1; r < size; ++r)
            if (std::fabs(work[r * width + col]) > std::fabs(work[pivot * width + col]))
                pivot = r;
        if (!(std::fabs(work[pivot * width + col]) > threshold))
            return 1;
        if (pivot != col)
            for (size_t c = 0; c < width; ++c)
                std::swap(work[pivot * width + c], work[col * width + c]);
        double *row = &work[col * width];
        double inverse = 1 / row[col];
        for (size_t c = 0; c < width; ++c)
            row[c] *= inverse;
        for (size_t r = 0; r < size; ++r) {
            if (r == col)
                continue;
            double *other = &work[r * width];
            double factor = other[col];
            if (factor == 0)
                continue;
            for (size_t c = 0; c < width; ++c)
                other[c] -= factor * row[c];
        }
    }
    for (size_t r = 0; r < size; ++r)
        for (size_t c = 0; c < size; ++c)
            if (!std::isfinite(work[r * width + size + c]))
                return 1;
    for (size_t r = 0; r < size; ++r)
        for (size_t c = 0; c < size; ++c)
            matrix[r * size + c] = work[r * width + size + c];
    return 0;
}
