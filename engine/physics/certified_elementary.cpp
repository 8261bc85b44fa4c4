#include "engine/physics/certified_elementary.h"

#include <algorithm>
#include <bit>

namespace velmora {

namespace {
// ln 2 split so that the high part multiplies small integers exactly.
constexpr double kLn2High = 6.93147180369123816490e-01;  // 32 significant bits
constexpr double kLn2Low = 1.90821492927058770002e-10;
constexpr double kLn2 = 0x1.62e42fefa39efp-1;
}  // namespace

CertifiedElementary::CertifiedElementary() {
    constexpr double piHigh = 0x1.921fb54442d18p1;  // pi = piHigh + piLow
    constexpr double piLow = 0x1.1a62633145c07p-53;
    for (int k = 0; k <= kAngleNodes; ++k) {
        nodeAngle_[k] = k * (piHigh / kAngleNodes);
        nodeAngleLessPi_[k] = (nodeAngle_[k] - piHigh) - piLow;
        nodeCos_[k] = std::cos(nodeAngle_[k]);
        nodeSin_[k] = std::sin(nodeAngle_[k]);
    }
    for (int slot = 0; slot <= kCosineSlots; ++slot) {
        const double middle = std::clamp(-1.0 + (slot + 0.5) * 2.0 / kCosineSlots, -1.0, 1.0);
        nodeOfCosine_[slot] = static_cast<std::uint8_t>(std::lround(std::acos(middle) / (piHigh / kAngleNodes)));
    }
    for (int k = 0; k <= kTrigNodes; ++k) {
        sinAtNode_[k] = std::sin(static_cast<double>(k) / 64);
        cosAtNode_[k] = std::cos(static_cast<double>(k) / 64);
    }
    for (int i = 0; i < kLogNodes; ++i) {
        // 1 / (middle of the interval) to 20 bits, so that the product with a
        // float mantissa (24 bits) is exact in double.
        const double middle = 1.0 + (i + 0.5) / kLogNodes;
        logInverse_[i] = std::ldexp(std::round(std::ldexp(1.0 / middle, 20)), -20);
        minusLogOfInverse_[i] = -std::log(logInverse_[i]);
    }
    for (int j = 0; j < kExpNodes; ++j) twoToFraction_[j] = std::exp2(static_cast<double>(j) / kExpNodes);
}

// The point's angle is a node's angle k pi/64 plus atan u, where u is the
// tangent of the point turned back by the node's angle: one division, and
// |u| < 0.05 for the node nearest to the middle of c's slot. The series stops
// after u^13; the next term is below 2^-69. Since the quotient the library
// sees is s / c rounded, its atan differs from the point's angle by at most
// 2^-54. For c < 0 the library's atan lies in (-pi/2, 0): the angle less pi.
Bounded CertifiedElementary::atanOfQuotient(double s, double c) const {
    if (!(s >= 0.0 && s <= 1.0 && c >= -1.0 && c <= 1.0 && c != 0.0)) return {};
    const int k = nodeOfCosine_[static_cast<std::size_t>((c + 1.0) * (kCosineSlots / 2))];
    const double turnedCos = c * nodeCos_[k] + s * nodeSin_[k];
    const double turnedSin = s * nodeCos_[k] - c * nodeSin_[k];
    const double u = turnedSin / turnedCos;
    const double u2 = u * u;
    const double series =
        u + u * u2 * (-1.0 / 3 + u2 * (1.0 / 5 + u2 * (-1.0 / 7 + u2 * (1.0 / 9 + u2 * (-1.0 / 11 + u2 * (1.0 / 13))))));
    return {(c < 0.0 ? nodeAngleLessPi_[k] : nodeAngle_[k]) + series, kCertifiedAbsolute};
}

// sin and cos of k/64 + d, |d| <= 1/128, by the addition theorem; the series of
// sin d and cos d - 1 stop below 2^-70.
BoundedSinCos CertifiedElementary::sinCos(double x) const {
    if (!(x >= 0.0 && x <= 3.25)) return {};
    const int k = static_cast<int>(x * 64 + 0.5);
    const double d = x - static_cast<double>(k) / 64;
    const double d2 = d * d;
    const double sinD = d + d * d2 * (-1.0 / 6 + d2 * (1.0 / 120 + d2 * (-1.0 / 5040)));
    const double cosDMinusOne = d2 * (-0.5 + d2 * (1.0 / 24 + d2 * (-1.0 / 720)));
    const double s = sinAtNode_[k];
    const double c = cosAtNode_[k];
    return {s + (s * cosDMinusOne + c * sinD), c + (c * cosDMinusOne - s * sinD), kCertifiedAbsolute};
}

// ln e = m ln 2 - ln(inverse) + ln(1 + r), r = f inverse - 1 computed exactly,
// |r| < 2^-8; the series of ln(1 + r) stops below 2^-66.
Bounded CertifiedElementary::log(float e) const {
    if (!(e >= std::numeric_limits<float>::min() && e <= std::numeric_limits<float>::max())) return {};
    const std::uint32_t bits = std::bit_cast<std::uint32_t>(e);
    const double m = static_cast<double>(static_cast<int>(bits >> 23) - 127);
    const std::uint32_t mantissa = bits & 0x7fffffu;
    const int i = static_cast<int>(mantissa >> 16);
    const double f = 1.0 + static_cast<double>(mantissa) * 0x1p-23;
    const double r = f * logInverse_[i] - 1.0;
    const double series =
        r + r * r * (-0.5 + r * (1.0 / 3 + r * (-0.25 + r * (0.2 + r * (-1.0 / 6 + r * (1.0 / 7))))));
    const double value = m * kLn2High + (minusLogOfInverse_[i] + (m * kLn2Low + series));
    return {value, kCertifiedRelative * (std::fabs(value) + 1.0)};
}

// exp x = 2^m 2^(j/64) exp r with x = (64 m + j) ln2/64 + r, |r| <= ln2/128;
// the series of exp r stops below 2^-64 relative.
Bounded CertifiedElementary::exp(double x) const {
    if (!(std::fabs(x) <= 600.0)) return {};
    constexpr double kShift = 0x1.8p52;  // adding it rounds to an integer
    const double kd = (x * (kExpNodes / kLn2) + kShift) - kShift;
    const auto k = static_cast<std::int64_t>(kd);
    const double r = (x - kd * (kLn2High / kExpNodes)) - kd * (kLn2Low / kExpNodes);
    const double p =
        1.0 + r * (1.0 + r * (0.5 + r * (1.0 / 6 + r * (1.0 / 24 + r * (1.0 / 120 + r * (1.0 / 720))))));
    const std::int64_t m = k >> 6;  // floor(k / 64)
    const double twoToM = std::bit_cast<double>(static_cast<std::uint64_t>(1023 + m) << 52);
    const double value = twoToFraction_[static_cast<std::size_t>(k & 63)] * p * twoToM;
    return {value, kCertifiedRelative * value};
}

}  // namespace velmora
