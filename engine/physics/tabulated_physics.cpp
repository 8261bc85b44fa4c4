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

LogCoefficientTable::LogCoefficientTable(const CrossSectionTable& table) : count_(table.count) {
    for (int j = 1; j <= count_; ++j) {
        energy_[j] = table.energy[j];
        lnEnergy_[j] = std::log(static_cast<double>(table.energy[j]));
        lnCoherent_[j] = std::log(static_cast<double>(table.coherent[j]));
        lnIncoherent_[j] = std::log(static_cast<double>(table.incoherent[j]));
        lnPhotoelectric_[j] = std::log(static_cast<double>(table.photoelectric[j]));
    }
    int j = 2;
    for (int slot = 0; slot < kSlots; ++slot) {
        const float lowest = static_cast<float>(static_cast<double>(slot) / kSlotsPerKeV);
        while (j < count_ && energy_[j] <= lowest) ++j;
        firstRow_[slot] = static_cast<std::uint8_t>(j);
    }
}

namespace {
// The first index j in 2 ... last with values[j] > key, else last: the same row
// the linear search from 2 finds, for ascending values.
template <typename Array>
int firstAboveBinary(const Array& values, int last, float key) {
    const auto begin = values.begin() + 2;
    const auto end = values.begin() + last;  // the search never passes `last`
    return static_cast<int>(std::upper_bound(begin, end, key) - values.begin());
}

float interpolate(const std::array<double, kMaxEnergyRows + 1>& logs, int j, float t) {
    return static_cast<float>(std::exp(logs[j - 1] + static_cast<double>(t) * (logs[j] - logs[j - 1])));
}
}  // namespace

// The same row as the linear search from 2: start from the slot's row (never
// past the answer, the energies ascend) and step up.
int LogCoefficientTable::rowAbove(float energyKeV) const {
    const double slot = static_cast<double>(energyKeV) * kSlotsPerKeV;
    if (!(slot >= 0.0) || slot >= kSlots) return firstAboveBinary(energy_, count_, energyKeV);
    int j = firstRow_[static_cast<int>(slot)];
    while (j < count_ && energy_[j] <= energyKeV) ++j;
    return j;
}

Coefficients LogCoefficientTable::at(float energyKeV) const {
    const int j = rowAbove(energyKeV);
    const float t = static_cast<float>((std::log(static_cast<double>(energyKeV)) - lnEnergy_[j - 1]) /
                                       (lnEnergy_[j] - lnEnergy_[j - 1]));
    return Coefficients{interpolate(lnCoherent_, j, t), interpolate(lnIncoherent_, j, t),
                        interpolate(lnPhotoelectric_, j, t)};
}

float incoherentFunctionAtFast(const ScatteringFactorTable& table, float x) {
    return incoherentFunctionOnInterval(table, firstAboveBinary(table.x, kScatteringPoints, x), x);
}

SourceTables::SourceTables(const BeamGeometry& beamGeometry, const DeviateTables& deviates)
    : beam(beamGeometry), inPlane(kDeviateCount), across(kDeviateCount) {
    for (std::int32_t v = 0; v < kDeviateCount; ++v) {
        inPlane[v] = inPlaneStart(beam, deviates.deviate[v]);
        across[v] = fieldOffsetAcross(beam, deviates.deviate[v]);
    }
}

FlightCoefficients flightCoefficients(const Coefficients& mu) {
    FlightCoefficients step;
    step.total = static_cast<float>(static_cast<double>(mu.photoelectric) + mu.incoherent + mu.coherent);
    step.photoelectricLimit = static_cast<float>(static_cast<double>(mu.photoelectric) / step.total);
    step.coherentLimit = static_cast<float>((static_cast<double>(mu.photoelectric) + mu.coherent) / step.total);
    return step;
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

IncoherentMemo::IncoherentMemo(float energyKeV, const ScatteringFactorTable& factors,
                               const LogCoefficientTable& coefficients, const DeviateTables& deviates)
    : energy_(energyKeV),
      constants_(kahnConstants(energyKeV)),
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
    const float theta = scatteringAngleFromCosine(kahnCosine(constants_, eta));
    const float momentumTransfer = incoherentMomentumTransfer(energy_, theta);
    std::uint32_t bindingBelow = kNoBindingTest;
    if (momentumTransfer < kIncoherentFunctionLimit) {
        bindingBelow = static_cast<std::uint32_t>(deviatesNotAbove(
            deviates_, static_cast<double>(incoherentFunctionAtFast(factors_, momentumTransfer)) /
                           factors_.incoherentReference));
    }
    Outcome& outcome = outcomes_[indexOf(firstBranch, second)];
    outcome.scattering = incoherentOutcome(energy_, theta);
    outcome.after = flightCoefficients(coefficients_.at(outcome.scattering.energyAfter));
    return kFilled | passBelow << 2 | bindingBelow << 17;
}

}  // namespace velmora
