#include "sim/portable_math.h"

#include <cmath>
#include <cstdint>

namespace {

// pi/2 in two parts (Cody and Waite): the first holds 33 significant bits, so k * kPio2Hi is
// exact for every quadrant count k below 2^20.
constexpr double kPio2Hi = 1.57079632673412561417e+00;
constexpr double kPio2Lo = 6.07710050650619224932e-11;
constexpr double kTwoOverPi = 6.36619772367581382433e-01;
constexpr double kPio2 = 1.57079632679489655800e+00;
constexpr double kPi6 = 5.23598775598298815658e-01;
constexpr double kSqrt3 = 1.73205080756887719318e+00;
constexpr double kTanPi12 = 2.67949192431122706473e-01;

// Taylor series on |r| <= pi/4 (the first omitted terms are below 1e-19).
double SinKernel(double r) {
    const double r2 = r * r;
    double sum = 0.0;
    double term = r;
    for (int n = 1; n <= 17; n += 2) {
        sum += term;
        term = -term * r2 / static_cast<double>((n + 1) * (n + 2));
    }
    return sum;
}

double CosKernel(double r) {
    const double r2 = r * r;
    double sum = 0.0;
    double term = 1.0;
    for (int n = 0; n <= 18; n += 2) {
        sum += term;
        term = -term * r2 / static_cast<double>((n + 1) * (n + 2));
    }
    return sum;
}

// x = r + quadrant * pi/2 with |r| <= pi/4 (a little more for huge x).
double Reduce(double x, std::int64_t& quadrant) {
    const double k = std::floor(x * kTwoOverPi + 0.5);
    quadrant = static_cast<std::int64_t>(k);
    return (x - k * kPio2Hi) - k * kPio2Lo;
}

// Series of atan on |y| <= tan(pi/12) (the first omitted term is below 1e-17 of y).
double AtanKernel(double y) {
    const double y2 = y * y;
    double sum = 0.0;
    double power = y;
    for (int n = 1; n <= 29; n += 2) {
        sum += (n % 4 == 1 ? power : -power) / static_cast<double>(n);
        power *= y2;
    }
    return sum;
}

}  // namespace

double PortableSin(double x) {
    if (!std::isfinite(x)) return x - x;
    std::int64_t q;
    const double r = Reduce(x, q);
    switch (q & 3) {
        case 0: return SinKernel(r);
        case 1: return CosKernel(r);
        case 2: return -SinKernel(r);
        default: return -CosKernel(r);
    }
}

double PortableCos(double x) {
    if (!std::isfinite(x)) return x - x;
    std::int64_t q;
    const double r = Reduce(x, q);
    switch (q & 3) {
        case 0: return CosKernel(r);
        case 1: return -SinKernel(r);
        case 2: return -CosKernel(r);
        default: return SinKernel(r);
    }
}

double PortableTan(double x) {
    if (!std::isfinite(x)) return x - x;
    std::int64_t q;
    const double r = Reduce(x, q);
    const double s = SinKernel(r);
    const double c = CosKernel(r);
    return (q & 1) == 0 ? s / c : -c / s;
}

double PortableAtan(double x) {
    if (std::isnan(x)) return x;
    const bool negative = x < 0.0;
    double a = negative ? -x : x;
    double offset = 0.0;
    bool complement = false;
    if (a > 1.0) {  // atan(a) = pi/2 - atan(1/a); also covers infinity (1/inf = 0)
        a = 1.0 / a;
        complement = true;
    }
    if (a > kTanPi12) {  // atan(a) = pi/6 + atan((a*sqrt3 - 1) / (a + sqrt3))
        a = (a * kSqrt3 - 1.0) / (a + kSqrt3);
        offset = kPi6;
    }
    double result = offset + AtanKernel(a);
    if (complement) result = kPio2 - result;
    return negative ? -result : result;
}
