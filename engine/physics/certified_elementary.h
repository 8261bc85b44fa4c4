// Fast elementary functions for the hot path whose float results are
// certified to equal the library's.
//
// The engine stores every result in single precision after evaluating it in
// double. Each function here returns a double approximation together with a
// bound on its distance from the exact value that is far larger than both its
// own error and the library's (the library's atan, sin, cos, exp and log are
// within one double ulp; these are within a few, and the bounds allow 2^-44,
// a thousand times more). When every double within the bound of the
// approximation rounds to the same float, that float is the one the library
// expression gives too, because float rounding is monotonic. Otherwise (one
// call in 500 to 1,000, mostly for angles near 0, whose floats are dense) the
// caller evaluates the library expression. Results stay identical to the
// straightforward form bit for bit.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

namespace velmora {

// A double and a bound on its distance from the exact value.
struct Bounded {
    double value = 0;
    double bound = std::numeric_limits<double>::infinity();  // infinity: no certificate
};

// The float every double within `v.bound` of `v.value` rounds to, if there is
// one such float; false when the interval meets a rounding boundary (or on NaN).
inline bool roundsToOneFloat(Bounded v, float& result) {
    // The slack covers the rounding of value -+ bound themselves.
    const double reach = v.bound + std::fabs(v.value) * 0x1p-50;
    const float low = static_cast<float>(v.value - reach);
    const float high = static_cast<float>(v.value + reach);
    if (!(low == high)) return false;
    result = low;
    return true;
}

inline constexpr double kCertifiedAbsolute = 0x1p-44;  // absolute bound of atan, sin and cos
inline constexpr double kCertifiedRelative = 0x1p-44;  // relative bound of exp; absolute of log

struct BoundedSinCos {
    double sine = 0, cosine = 0;
    double bound = std::numeric_limits<double>::infinity();  // absolute, on each
};

// Tables of the library's own values at fixed nodes (each within an ulp of the
// exact value), built once per study and then only read.
class CertifiedElementary {
public:
    CertifiedElementary();

    // atan(s / c), as the library gives it for the rounded quotient, for a
    // point on the unit circle within rounding: 0 <= s <= 1, -1 <= c <= 1, c != 0.
    Bounded atanOfQuotient(double s, double c) const;
    // sin and cos of x for 0 <= x <= 3.25.
    BoundedSinCos sinCos(double x) const;
    // ln(e) for a positive normal float e.
    Bounded log(float e) const;
    // exp(x) for |x| <= 600.
    Bounded exp(double x) const;

private:
    static constexpr int kAngleNodes = 64;     // angles k pi / 64
    static constexpr int kCosineSlots = 2048;  // nearest node per slot of c
    static constexpr int kTrigNodes = 209;     // sin, cos of k / 64 up to 3.25
    static constexpr int kLogNodes = 128;      // mantissa intervals
    static constexpr int kExpNodes = 64;       // 2^(j / 64)

    std::array<double, kAngleNodes + 1> nodeAngle_{}, nodeAngleLessPi_{}, nodeCos_{}, nodeSin_{};
    std::array<std::uint8_t, kCosineSlots + 1> nodeOfCosine_{};
    std::array<double, kTrigNodes + 1> sinAtNode_{}, cosAtNode_{};
    std::array<double, kLogNodes> logInverse_{}, minusLogOfInverse_{};
    std::array<double, kExpNodes> twoToFraction_{};
};

}  // namespace velmora
