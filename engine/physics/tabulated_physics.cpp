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

Coefficients LogCoefficientTable::at(float energyKeV) const {
    const int j = firstAboveBinary(energy_, count_, energyKeV);
    const float t = static_cast<float>((std::log(static_cast<double>(energyKeV)) - lnEnergy_[j - 1]) /
                                       (lnEnergy_[j] - lnEnergy_[j - 1]));
    return Coefficients{interpolate(lnCoherent_, j, t), interpolate(lnIncoherent_, j, t),
                        interpolate(lnPhotoelectric_, j, t)};
}

float incoherentFunctionAtFast(const ScatteringFactorTable& table, float x) {
    const int j = firstAboveBinary(table.x, kScatteringPoints, x);
    const auto& s = table.incoherentFunction;
    return static_cast<float>((static_cast<double>(s[j]) - s[j - 1]) /
                                  (static_cast<double>(table.x[j]) - table.x[j - 1]) *
                                  (static_cast<double>(x) - table.x[j - 1]) +
                              s[j - 1]);
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

IncoherentMemo::IncoherentMemo(float energyKeV, const ScatteringFactorTable& factors,
                               const LogCoefficientTable& coefficients, const DeviateTables& deviates)
    : energy_(energyKeV),
      constants_(kahnConstants(energyKeV)),
      factors_(factors),
      coefficients_(coefficients),
      deviates_(deviates),
      slots_(new Slot[2 * static_cast<std::size_t>(kDeviateCount)]) {}

std::int32_t deviatesBelow(const DeviateTables& deviates, double value) {
    return static_cast<std::int32_t>(
        std::lower_bound(deviates.deviate.begin(), deviates.deviate.end(), value,
                         [](float deviate, double v) { return static_cast<double>(deviate) < v; }) -
        deviates.deviate.begin());
}

std::int32_t deviatesNotAbove(const DeviateTables& deviates, double value) {
    return static_cast<std::int32_t>(
        std::upper_bound(deviates.deviate.begin(), deviates.deviate.end(), value,
                         [](double v, float deviate) { return v < static_cast<double>(deviate); }) -
        deviates.deviate.begin());
}

IncoherentMemo::Trial IncoherentMemo::compute(bool firstBranch, std::int32_t second) const {
    Trial trial;
    const float eta = kahnEta(constants_, firstBranch, deviates_.deviate[second]);
    trial.passBelow = static_cast<std::uint16_t>(deviatesBelow(deviates_, kahnAcceptance(constants_, firstBranch, eta)));
    const float theta = scatteringAngleFromCosine(kahnCosine(constants_, eta));
    const float momentumTransfer = incoherentMomentumTransfer(energy_, theta);
    trial.bindingTest = momentumTransfer < kIncoherentFunctionLimit;
    if (trial.bindingTest) {
        trial.bindingBelow = static_cast<std::uint16_t>(deviatesNotAbove(
            deviates_, static_cast<double>(incoherentFunctionAtFast(factors_, momentumTransfer)) /
                           factors_.incoherentReference));
    }
    trial.outcome = incoherentOutcome(energy_, theta);
    trial.after = flightCoefficients(coefficients_.at(trial.outcome.energyAfter));
    return trial;
}

}  // namespace velmora
