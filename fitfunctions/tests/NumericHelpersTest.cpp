// The numeric helpers, compiled into the test: their edge cases and their accuracy against
// the references of golden.txt (mpmath's erfc, I1 and Gamma). Tolerances are the published
// accuracy of each fit: erfc 1.2e-7 fractional, I1 6e-7 (2.2e-7 absolute on the scaled function), the Lanczos Gamma 1e-9.
#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>

#include "GoldenData.h"
#include "NumericHelpers.h"
#include "qxtest/Numeric.h"

using namespace curvelib;

TEST(CurvelibHelpers, SafeExpEdges)
{
    errno = 0;
    QX_EXPECT_CLOSE("exp(-300)", 5.148200222412013e-131, SafeExp(-300.0), 1e-14);
    EXPECT_EQ(SafeExp(-300.0000001), 0.0);
    EXPECT_EQ(SafeExp(0.0), 1.0);
    EXPECT_TRUE(std::isfinite(SafeExp(709.0)));
    EXPECT_EQ(errno, 0);
    EXPECT_TRUE(std::isinf(SafeExp(800.0)));
    EXPECT_EQ(errno, ERANGE);
    // Huge and NaN arguments are classified without ever becoming an integer.
    errno = 0;
    EXPECT_TRUE(std::isinf(SafeExp(1e300)));
    EXPECT_EQ(errno, ERANGE);
    errno = 0;
    EXPECT_TRUE(std::isnan(SafeExp(NAN)));
    EXPECT_EQ(errno, EDOM);
    errno = 0;
    EXPECT_EQ(SafeExp(-INFINITY), 0.0);
    EXPECT_EQ(errno, 0);
}

TEST(CurvelibHelpers, SafePowClassifiesItsResult)
{
    struct Row {
        double b, e;
        int err;
    } rows[] = {
        {0.0, 2.0, 0},        {2.0, 10.0, 0},       {-8.0, 1.0 / 3.0, EDOM}, {-2.0, 3.0, 0},
        {10.0, 400.0, ERANGE}, {0.0, -1.0, ERANGE}, {0.5, 5000.0, 0},       {NAN, 2.0, EDOM},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(testing::Message() << r.b << "^" << r.e);
        errno = 0;
        double v = SafePow(r.b, r.e);
        EXPECT_EQ(errno, r.err);
        if (!r.err) {
            EXPECT_EQ(v, std::pow(r.b, r.e));
        }
    }
    errno = ERANGE;
    SafePow(2.0, 3.0);
    EXPECT_EQ(errno, ERANGE) << "a helper never clears the error number";
}

TEST(CurvelibHelpers, SpecialFunctionsAgainstReferences)
{
    int seen = 0;
    for (const curvelib_test::HelperCase &h : curvelib_test::GoldenData().helpers) {
        SCOPED_TRACE(h.name + " " + std::to_string(h.argument));
        double v = h.name == "erfc"        ? Erfc(h.argument)
                   : h.name == "expscaled" ? ExpScaledErfc(h.argument, 1.0)
                   : h.name == "i1"        ? BesselI1(h.argument)
                                           : Gamma(h.argument);
        EXPECT_TRUE(qxtest::Close(h.name, h.value, v, h.rtol));
        if (h.name == "i1") {
            EXPECT_TRUE(qxtest::Close("scaled I1", h.value * std::exp(-std::fabs(h.argument)),
                                      BesselI1Scaled(h.argument), h.rtol));
        }
        ++seen;
    }
    EXPECT_GE(seen, 25);
    QX_EXPECT_CLOSE("erfc(0) of the fit", 1.00000003, Erfc(0.0), 1e-8);
    EXPECT_DOUBLE_EQ(Erfc(-1.0), 2.0 - Erfc(1.0));
    EXPECT_EQ(BesselI1(0.0), 0.0);
    EXPECT_EQ(BesselI1(-3.75), -BesselI1(3.75));
    EXPECT_TRUE(IsMissingValue(Gamma(0.0)));
    EXPECT_TRUE(IsMissingValue(Gamma(-1.5)));
}
