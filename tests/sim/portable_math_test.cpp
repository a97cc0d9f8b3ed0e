#include <gtest/gtest.h>

#include <cmath>

#include "sim/portable_math.h"

namespace {

// Within a few units in the last place of a double of the C library's extended results.
void ExpectClose(double got, long double want, const char* what, double x) {
    const long double tolerance = 4e-16L * std::fmax(1.0L, std::fabs(want));
    EXPECT_LE(std::fabs(got - want), tolerance) << what << "(" << x << ")";
}

TEST(PortableMath, AgreesWithTheLibraryOverTheRangesTheSimulationUses) {
    for (int i = -4000; i <= 4000; ++i) {
        const double x = i * 0.0019;  // about -7.6 .. 7.6 rad, all quadrants
        ExpectClose(PortableSin(x), std::sin(static_cast<long double>(x)), "sin", x);
        ExpectClose(PortableCos(x), std::cos(static_cast<long double>(x)), "cos", x);
        if (std::fabs(std::cos(static_cast<long double>(x))) > 1e-3L) {
            const long double t = std::tan(static_cast<long double>(x));
            EXPECT_LE(std::fabs(PortableTan(x) - t), 1e-15L * std::fmax(1.0L, std::fabs(t))) << "tan(" << x << ")";
        }
        const double y = i * 0.01;  // -40 .. 40: every reduction branch of atan
        ExpectClose(PortableAtan(y), std::atan(static_cast<long double>(y)), "atan", y);
    }
    EXPECT_EQ(PortableAtan(0.0), 0.0);
    EXPECT_EQ(PortableSin(0.0), 0.0);
    EXPECT_EQ(PortableCos(0.0), 1.0);
    ExpectClose(PortableAtan(1e300), std::atan(1e300L), "atan", 1e300);
    ExpectClose(PortableAtan(-INFINITY), std::atan(-static_cast<long double>(INFINITY)), "atan", -INFINITY);
    EXPECT_TRUE(std::isnan(PortableAtan(NAN)));
    EXPECT_TRUE(std::isnan(PortableSin(INFINITY)));
    EXPECT_TRUE(std::isnan(PortableTan(NAN)));
}

}  // namespace
