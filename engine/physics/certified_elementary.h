// Fast elementary functions for the hot path whose float results are
// certified to equal the library's.
//
// The engine stores every result in single precision after evaluating it in
// double. Each function here returns a double approximation together with a
// bound on its distance from the exact value that is far larger than both its
// own error and the library's (the library's atan, sin, cos, exp and log are
// within one double ulp; these are within a few, and the bounds allow 2^-44,
// over a hundred times more). When every double within the bound of the
// approximation rounds to the same float, that float is the one the library
// expression gives too, because float rounding is monotonic. Otherwise (for
// about one call in 500, mostly at angles near 0, where floats are dense) the
// caller evaluates the library expression. Results stay identical to the
// straightforward form bit for bit.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
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
inline constexpr double kCertifiedRelative = 0x1p-44;  // relative bound of exp; of log, times |ln e| + 1

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
    static constexpr int kAngleNodes = 128;       // angles k pi / 128
    static constexpr int kSlots = 2048;           // nearest node per slot of c or of s
    static constexpr double kCosineSlotRange = 0.7;  // |c| < 0.7 by c, else by s
    static constexpr double kSineSlotTop = 0.75;
    static constexpr int kTrigNodesPerUnit = 128;  // sin, cos of k / 128 up to 3.25
    static constexpr int kTrigNodes = 416;
    static constexpr int kLogNodes = 256;          // mantissa intervals
    static constexpr int kExpNodes = 256;          // 2^(j / 256)

    std::array<double, kAngleNodes + 1> nodeAngle_{}, nodeAngleLessPi_{}, nodeCos_{}, nodeSin_{};
    std::array<std::uint8_t, kSlots + 1> nodeOfCosine_{}, nodeOfSine_{};
    std::array<double, kTrigNodes + 1> sinAtNode_{}, cosAtNode_{};
    std::array<double, kLogNodes> logInverse_{}, minusLogOfInverse_{};
    std::array<double, kExpNodes> twoToFraction_{};

    // ln 2 split so that the high part multiplies small integers exactly.
    static constexpr double kLn2High = 6.93147180369123816490e-01;  // 32 significant bits
    static constexpr double kLn2Low = 1.90821492927058770002e-10;
    static constexpr double kLn2 = 0x1.62e42fefa39efp-1;
};

// The point's angle is a node's angle k pi/128 plus atan u, where u is the
// tangent of the point turned back by the node's angle: one division. The node
// is the nearest to the middle of the point's slot, by c in the middle of the
// half circle and by s towards its ends, so that |u| < 0.013. The series stops
// after u^7; the next term is below 2^-59. Since the quotient the library sees
// is s / c rounded, its atan differs from the point's angle by at most 2^-54.
// For c < 0 the library's atan lies in (-pi/2, 0): the angle less pi.
inline Bounded CertifiedElementary::atanOfQuotient(double s, double c) const {
    if (!(s >= 0.0 && s <= 1.0 && c >= -1.0 && c <= 1.0 && c != 0.0)) return {};
    const double cosineSlot = (std::clamp(c, -kCosineSlotRange, kCosineSlotRange) + kCosineSlotRange) *
                              (kSlots / (2 * kCosineSlotRange));
    const double sineSlot = std::min(s, kSineSlotTop) * (kSlots / kSineSlotTop);
    const int byCosine = nodeOfCosine_[static_cast<std::size_t>(cosineSlot)];
    const int bySine = nodeOfSine_[static_cast<std::size_t>(sineSlot)];
    const int k = std::fabs(c) < kCosineSlotRange ? byCosine : (c > 0.0 ? bySine : kAngleNodes - bySine);
    const double turnedCos = c * nodeCos_[k] + s * nodeSin_[k];
    const double turnedSin = s * nodeCos_[k] - c * nodeSin_[k];
    const double u = turnedSin / turnedCos;
    const double u2 = u * u;
    const double series = u + (u * u2) * ((-1.0 / 3 + u2 * (1.0 / 5)) + (u2 * u2) * (-1.0 / 7));
    return {(c < 0.0 ? nodeAngleLessPi_[k] : nodeAngle_[k]) + series, kCertifiedAbsolute};
}

// sin and cos of k/128 + d, |d| <= 1/256, by the addition theorem; the series
// of sin d and cos d - 1 stop below 2^-57.
inline BoundedSinCos CertifiedElementary::sinCos(double x) const {
    if (!(x >= 0.0 && x <= 3.25)) return {};
    const int k = static_cast<int>(x * kTrigNodesPerUnit + 0.5);
    const double d = x - static_cast<double>(k) / kTrigNodesPerUnit;
    const double d2 = d * d;
    const double sinD = d + (d * d2) * (-1.0 / 6 + d2 * (1.0 / 120));
    const double cosDMinusOne = d2 * (-0.5 + d2 * (1.0 / 24));
    const double s = sinAtNode_[k];
    const double c = cosAtNode_[k];
    return {s + (s * cosDMinusOne + c * sinD), c + (c * cosDMinusOne - s * sinD), kCertifiedAbsolute};
}

// ln e = m ln 2 - ln(inverse) + ln(1 + r), r = f inverse - 1 computed exactly,
// |r| < 2^-9 + 2^-20; the series of ln(1 + r) stops below 2^-56.
inline Bounded CertifiedElementary::log(float e) const {
    if (!(e >= std::numeric_limits<float>::min() && e <= std::numeric_limits<float>::max())) return {};
    const std::uint32_t bits = std::bit_cast<std::uint32_t>(e);
    const double m = static_cast<double>(static_cast<int>(bits >> 23) - 127);
    const std::uint32_t mantissa = bits & 0x7fffffu;
    const int i = static_cast<int>(mantissa >> 15);
    const double f = 1.0 + static_cast<double>(mantissa) * 0x1p-23;
    const double r = f * logInverse_[i] - 1.0;
    const double r2 = r * r;
    const double series = r + r2 * ((-0.5 + r * (1.0 / 3)) + r2 * (-0.25 + r * 0.2));
    const double value = m * kLn2High + (minusLogOfInverse_[i] + (m * kLn2Low + series));
    return {value, kCertifiedRelative * (std::fabs(value) + 1.0)};
}

// exp x = 2^m 2^(j/256) exp r with x = (256 m + j) ln2/256 + r, |r| <= ln2/512;
// the series of exp r stops below 2^-66 relative.
inline Bounded CertifiedElementary::exp(double x) const {
    if (!(std::fabs(x) <= 600.0)) return {};
    constexpr double kShift = 0x1.8p52;  // adding it rounds to an integer
    const double kd = (x * (kExpNodes / kLn2) + kShift) - kShift;
    const auto k = static_cast<std::int64_t>(kd);
    const double r = (x - kd * (kLn2High / kExpNodes)) - kd * (kLn2Low / kExpNodes);
    const double r2 = r * r;
    const double p = (1.0 + r) + r2 * ((0.5 + r * (1.0 / 6)) + r2 * (1.0 / 24 + r * (1.0 / 120)));
    const std::int64_t m = k >> 8;  // floor(k / 256)
    const double twoToM = std::bit_cast<double>(static_cast<std::uint64_t>(1023 + m) << 52);
    const double value = twoToFraction_[static_cast<std::size_t>(k & (kExpNodes - 1))] * p * twoToM;
    return {value, kCertifiedRelative * value};
}

}  // namespace velmora
