// Numeric comparison for tests: one assertion that names the quantity and prints the
// expected and actual values with full precision when they differ.
#pragma once
#include <gtest/gtest.h>
#include <cmath>
#include <string>

namespace qxtest {

// Log relative error: the number of significant digits that agree (capped at 17).
inline double Lre(double actual, double certified)
{
    if (actual == certified)
        return 17.0;
    double err = certified != 0.0 ? std::fabs(actual - certified) / std::fabs(certified)
                                  : std::fabs(actual);
    return std::fmin(17.0, -std::log10(err));
}

// Passes when |actual - expected| <= rel * |expected| (or <= abs when expected is 0).
inline ::testing::AssertionResult Close(const std::string &what, double expected, double actual,
                                        double rel, double abs = 0.0)
{
    double tol = std::fmax(rel * std::fabs(expected), abs);
    if (std::fabs(actual - expected) <= tol || (std::isnan(expected) && std::isnan(actual)))
        return ::testing::AssertionSuccess();
    char buf[256];
    std::snprintf(buf, sizeof buf, "%s: expected %.17g, actual %.17g (rel. error %.3g, allowed %.3g)",
                  what.c_str(), expected, actual,
                  expected != 0 ? std::fabs(actual - expected) / std::fabs(expected) : std::fabs(actual),
                  rel);
    return ::testing::AssertionFailure() << buf;
}

} // namespace qxtest

#define QX_EXPECT_CLOSE(what, expected, actual, rel) \
    EXPECT_TRUE(::qxtest::Close((what), (expected), (actual), (rel)))
