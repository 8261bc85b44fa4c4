#include "engine/physics/tabulated_physics.h"

#include <algorithm>
#include <cmath>

namespace velmora {

DeviateTables::DeviateTables(const InteractionData& data)
    : deviate(kDeviateCount), minusLog(kDeviateCount), azimuth(kDeviateCount), coherentX(kDeviateCount) {
    for (std::int32_t v = 0; v < kDeviateCount; ++v) {
        const float r = UniformGenerator::toDeviate(v);
        deviate[v] = r;
        minusLog[v] = r > 0.0f ? -std::log(static_cast<double>(r)) : 0.0;  // r = 0 is drawn again
        azimuth[v] = azimuthFromDeviate(r);
        coherentX[v] = sampleCoherentX(data.scatteringFactors, data.coherentCdf, r);
    }
}

RowFinder::RowFinder(const float* values, int last, double slotsPerUnit, int slots)
    : values_(values), last_(last), slotsPerUnit_(slotsPerUnit), firstRow_(static_cast<std::size_t>(slots)) {
    int j = 2;
    for (int slot = 0; slot < slots; ++slot) {
        const float lowest = static_cast<float>(static_cast<double>(slot) / slotsPerUnit);
        while (j < last_ && values_[j] <= lowest) ++j;
        firstRow_[static_cast<std::size_t>(slot)] = static_cast<std::uint8_t>(j);
    }
}

// The first j in 2 ... last - 1 with values[j] > key, else last.
int RowFinder::rowAboveBySearch(float key) const {
    return static_cast<int>(std::upper_bound(values_ + 2, values_ + last_, key) - values_);
}

namespace {
constexpr double kEnergySlotsPerKeV = 4;
constexpr int kEnergySlots = 160 * 4;
constexpr double kMomentumSlotsPerInverseAngstrom = 100;
constexpr int kMomentumSlots = 1000;
}  // namespace

LogCoefficientTable::LogCoefficientTable(const CrossSectionTable& table, const CertifiedElementary& math)
    : math_(math), energy_(table.energy), rows_(energy_.data(), table.count, kEnergySlotsPerKeV, kEnergySlots) {
    for (int j = 1; j <= table.count; ++j) {
        lnEnergy_[j] = std::log(static_cast<double>(table.energy[j]));
        lnCoherent_[j] = std::log(static_cast<double>(table.coherent[j]));
        lnIncoherent_[j] = std::log(static_cast<double>(table.incoherent[j]));
        lnPhotoelectric_[j] = std::log(static_cast<double>(table.photoelectric[j]));
    }
}

IncoherentFunctionTable::IncoherentFunctionTable(const ScatteringFactorTable& factors)
    : factors_(factors),
      rows_(factors.x.data(), kScatteringPoints, kMomentumSlotsPerInverseAngstrom, kMomentumSlots) {
    const auto& s = factors.incoherentFunction;
    for (int j = 2; j <= kScatteringPoints; ++j) {
        slope_[j] = (static_cast<double>(s[j]) - s[j - 1]) /
                    (static_cast<double>(factors.x[j]) - factors.x[j - 1]);
    }
}

SourceTables::SourceTables(const BeamGeometry& beamGeometry, const DeviateTables& deviates)
    : beam(beamGeometry), height(focusHeight(beamGeometry)), inPlane(kDeviateCount), across(kDeviateCount) {
    for (std::int32_t v = 0; v < kDeviateCount; ++v) {
        inPlane[v] = inPlaneStart(beam, deviates.deviate[v]);
        across[v] = fieldOffsetAcross(beam, deviates.deviate[v]);
    }
}

// Deviates are v / 16384.1 rounded to float, so value * 16384.1 lands within a
// step of the answer; the table settles the last step exactly.
std::int32_t deviatesBelow(const DeviateTables& deviates, double value) {
    const auto& d = deviates.deviate;
    std::int32_t count = static_cast<std::int32_t>(std::clamp(value * UniformGenerator::kDivisor, 0.0, double(kDeviateCount)));
    while (count > 0 && !(static_cast<double>(d[count - 1]) < value)) --count;
    while (count < kDeviateCount && static_cast<double>(d[count]) < value) ++count;
    return count;
}

std::int32_t deviatesNotAbove(const DeviateTables& deviates, double value) {
    const auto& d = deviates.deviate;
    std::int32_t count = static_cast<std::int32_t>(std::clamp(value * UniformGenerator::kDivisor, 0.0, double(kDeviateCount)));
    while (count > 0 && !(static_cast<double>(d[count - 1]) <= value)) --count;
    while (count < kDeviateCount && static_cast<double>(d[count]) <= value) ++count;
    return count;
}

IncoherentMemo::IncoherentMemo(float energyKeV, const CertifiedElementary& math, const IncoherentFunctionTable& factors,
                               const LogCoefficientTable& coefficients, const DeviateTables& deviates)
    : energy_(energyKeV),
      constants_(kahnConstants(energyKeV)),
      math_(math),
      factors_(factors),
      coefficients_(coefficients),
      deviates_(deviates),
      words_(new std::atomic<std::uint32_t>[2 * static_cast<std::size_t>(kDeviateCount)]),
      outcomes_(new Outcome[2 * static_cast<std::size_t>(kDeviateCount)]) {
    for (std::size_t i = 0; i < 2 * static_cast<std::size_t>(kDeviateCount); ++i) words_[i].store(kEmpty);
}

std::uint32_t IncoherentMemo::fill(bool firstBranch, std::int32_t second) {
    const float eta = kahnEta(constants_, firstBranch, deviates_.deviate[second]);
    const std::uint32_t passBelow =
        static_cast<std::uint32_t>(deviatesBelow(deviates_, kahnAcceptance(constants_, firstBranch, eta)));
    const float theta = scatteringAngleFromCosine(math_, kahnCosine(constants_, eta));
    const float momentumTransfer = incoherentMomentumTransfer(math_, energy_, theta);
    std::uint32_t bindingBelow = kNoBindingTest;
    if (momentumTransfer < kIncoherentFunctionLimit) {
        bindingBelow = static_cast<std::uint32_t>(
            deviatesNotAbove(deviates_, static_cast<double>(factors_.at(momentumTransfer)) / factors_.reference()));
    }
    Outcome& outcome = outcomes_[indexOf(firstBranch, second)];
    outcome.scattering = incoherentOutcome(math_, energy_, theta);
    outcome.after = flightCoefficients(coefficients_.at(outcome.scattering.energyAfter));
    return kFilled | passBelow << 2 | bindingBelow << 17;
}

}  // namespace velmora
