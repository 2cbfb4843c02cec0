// In-place matrix inversion.
#include <gtest/gtest.h>

#include "qxutil.h"

#include <cmath>
#include <random>
#include <vector>

namespace {

TEST(InvertMatrix, HilbertFourByFour)
{
    // The inverse of the 4 x 4 Hilbert matrix is the integer matrix below (exact).
    std::vector<double> h(16);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            h[r * 4 + c] = 1.0 / (r + c + 1);
    const double inverse[16] = {16,   -120,  240,   -140, -120, 1200,  -2700, 1680,
                                240,  -2700, 6480,  -4200, -140, 1680, -4200, 2800};
    ASSERT_EQ(UtilInvertMatrix(4, h.data(), 1), 0);
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(h[i], inverse[i], 1e-9 * std::fabs(inverse[i])) << i;
}

TEST(InvertMatrix, ProductWithTheOriginalIsTheIdentity)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<double> value(-1, 1);
    const int n = 6;
    std::vector<double> a(n * n);
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c)
            a[r * n + c] = value(random) + (r == c ? 4 : 0);  // diagonally dominant
    std::vector<double> inv = a;
    ASSERT_EQ(UtilInvertMatrix(n, inv.data(), 1), 0);
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c) {
            double sum = 0;
            for (int k = 0; k < n; ++k)
                sum += a[r * n + k] * inv[k * n + c];
            EXPECT_NEAR(sum, r == c ? 1.0 : 0.0, 1e-14) << r << "," << c;
        }

    double one[1] = {4};
    EXPECT_EQ(UtilInvertMatrix(1, one, 1), 0);
    EXPECT_EQ(one[0], 0.25);
    // A row swap is needed: the first pivot is zero.
    double swap[4] = {0, 2, 4, 0};
    EXPECT_EQ(UtilInvertMatrix(2, swap, 1), 0);
    EXPECT_EQ(swap[0], 0);
    EXPECT_EQ(swap[1], 0.25);
    EXPECT_EQ(swap[2], 0.5);
    EXPECT_EQ(swap[3], 0);
}

TEST(InvertMatrix, SingularAndBadInputLeaveTheMatrix)
{
    struct Case { int n; std::vector<double> m; int option; int answer; };
    const Case cases[] = {
        {2, {1, 2, 2, 4}, 1, 1},
        {3, {1, 2, 3, 4, 5, 6, 7, 8, 9}, 1, 1},
        {2, {0, 0, 0, 0}, 1, 1},
        {2, {1e-300, 0, 0, 1}, 1, 1},
        {2, {1, 2, 3, std::nan("")}, 1, 2},
        {2, {1, 2, 3, INFINITY}, 1, 2},
        {2, {1, 0, 0, 1}, 0, 2},
        {0, {1}, 1, 2},
        {-3, {1}, 1, 2},
    };
    for (const Case &c : cases) {
        std::vector<double> m = c.m;
        EXPECT_EQ(UtilInvertMatrix(c.n, m.data(), c.option), c.answer) << c.n << " " << c.m[0];
        for (size_t i = 0; i < m.size(); ++i)
            if (!std::isnan(c.m[i])) {
                EXPECT_EQ(m[i], c.m[i]);
            }
    }
    EXPECT_EQ(UtilInvertMatrix(2, nullptr, 1), 2);
}

} // namespace
