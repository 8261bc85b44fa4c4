#include "engine/physics/certified_elementary.h"

#include <algorithm>

namespace velmora {

CertifiedElementary::CertifiedElementary() {
    constexpr double piHigh = 0x1.921fb54442d18p1;  // pi = piHigh + piLow
    constexpr double piLow = 0x1.1a62633145c07p-53;
    constexpr double nodeStep = piHigh / kAngleNodes;
    for (int k = 0; k <= kAngleNodes; ++k) {
        nodeAngle_[k] = k * nodeStep;
        nodeAngleLessPi_[k] = (nodeAngle_[k] - piHigh) - piLow;
        nodeCos_[k] = std::cos(nodeAngle_[k]);
        nodeSin_[k] = std::sin(nodeAngle_[k]);
    }
    for (int slot = 0; slot <= kSlots; ++slot) {
        const double middle = (slot + 0.5) / kSlots;
        const double cosine = std::min(-kCosineSlotRange + middle * 2 * kCosineSlotRange, 1.0);
        nodeOfCosine_[slot] = static_cast<std::uint8_t>(std::lround(std::acos(cosine) / nodeStep));
        const double sine = std::min(middle * kSineSlotTop, 1.0);  // the angle below pi/2 with this sine
        nodeOfSine_[slot] = static_cast<std::uint8_t>(std::lround(std::asin(sine) / nodeStep));
    }
    for (int k = 0; k <= kTrigNodes; ++k) {
        sinAtNode_[k] = std::sin(static_cast<double>(k) / kTrigNodesPerUnit);
        cosAtNode_[k] = std::cos(static_cast<double>(k) / kTrigNodesPerUnit);
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

}  // namespace velmora
