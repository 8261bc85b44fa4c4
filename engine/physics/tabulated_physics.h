// Lookup tables that take the place of repeated computations in the fast form
// of the transport. Every value in them is produced by the same function, with
// the same arguments, as in the straightforward form, so results stay identical
// to the last bit. The generator can return only 16,384 distinct deviates, so
// any function of a single deviate is tabulated over all of them.
#pragma once

#include <array>
#include <atomic>
#include <cmath>
#include <memory>
#include <cstdint>
#include <vector>

#include "engine/physics/certified_elementary.h"
#include "engine/physics/interaction_data.h"
#include "engine/physics/scattering.h"
#include "engine/source/photon_source.h"

namespace velmora {

inline constexpr int kDeviateCount = UniformGenerator::kModulus;

// Functions of one deviate that do not depend on the photon.
struct DeviateTables {
    explicit DeviateTables(const InteractionData& data);

    std::vector<float> deviate;     // the deviate itself
    std::vector<double> minusLog;   // -ln r: the flight length in mean free paths
    std::vector<Azimuth> azimuth;   // cos and sin of 2 pi r
    std::vector<float> coherentX;   // sampleCoherentX(r)
};

// The row search of the tables, "the first row from 2 upward whose value
// exceeds the key, bounded by the last row", answered from a start row per
// slot of the key's range instead of a scan from row 2. The values ascend, so
// the slot's row is never past the answer; a few steps up settle it.
class RowFinder {
public:
    RowFinder(const float* values, int last, double slotsPerUnit, int slots);
    int rowAbove(float key) const {
        const double slot = static_cast<double>(key) * slotsPerUnit_;
        if (!(slot >= 0.0) || slot >= static_cast<double>(firstRow_.size())) return rowAboveBySearch(key);
        int j = firstRow_[static_cast<std::size_t>(slot)];
        while (j < last_ && values_[j] <= key) ++j;
        return j;
    }

private:
    int rowAboveBySearch(float key) const;

    const float* values_;  // 1-based
    int last_;
    double slotsPerUnit_;
    std::vector<std::uint8_t> firstRow_;
};

// Coefficients with the logarithms of the rows computed once and certified
// logarithms and exponentials at the energy.
class LogCoefficientTable {
public:
    LogCoefficientTable(const CrossSectionTable& table, const CertifiedElementary& math);
    LogCoefficientTable(const LogCoefficientTable&) = delete;  // rows_ points into energy_
    Coefficients at(float energyKeV) const;

private:
    float interpolate(const std::array<double, kMaxEnergyRows + 1>& logs, int j, float t) const;

    const CertifiedElementary& math_;
    std::array<float, kMaxEnergyRows + 1> energy_{};
    std::array<double, kMaxEnergyRows + 1> lnEnergy_{}, lnCoherent_{}, lnIncoherent_{}, lnPhotoelectric_{};
    RowFinder rows_;
};

// S(x) with the row found by slots and each interval's slope computed once
// (the same double the straightforward form computes on every call).
class IncoherentFunctionTable {
public:
    explicit IncoherentFunctionTable(const ScatteringFactorTable& factors);
    IncoherentFunctionTable(const IncoherentFunctionTable&) = delete;  // rows_ points into factors_
    float at(float x) const {
        const int j = rows_.rowAbove(x);
        return static_cast<float>(slope_[j] * (static_cast<double>(x) - factors_.x[j - 1]) +
                                  factors_.incoherentFunction[j - 1]);
    }
    double reference() const { return factors_.incoherentReference; }

private:
    const ScatteringFactorTable& factors_;
    std::array<double, kScatteringPoints + 1> slope_{};
    RowFinder rows_;
};

// The scattering expressions of the straightforward form (scattering.h) with
// certified elementary functions, and the library's where a certificate fails.
inline float scatteringAngleFromCosine(const CertifiedElementary& math, float cosine) {
    if (cosine == 0.0f) return static_cast<float>(static_cast<double>(kPi) * 0.5);
    const float c = clampUnitCosine(cosine);
    const double sine = std::sqrt(1.0 - static_cast<double>(c) * c);
    float theta;
    if (!roundsToOneFloat(math.atanOfQuotient(sine, c), theta)) theta = static_cast<float>(std::atan(sine / c));
    // atan gives -0 for c = -1 (an exact backscatter), which must become pi, not 0.
    if (theta < 0.0f || (theta == 0.0f && c < 0.0f)) theta = static_cast<float>(static_cast<double>(theta) + kPi);
    return theta;
}

// The product with E / hc scales the sine's bound; the slack covers the
// roundings of the product and the quotient.
inline float incoherentMomentumTransfer(const CertifiedElementary& math, float energyKeV, float theta) {
    const BoundedSinCos half = math.sinCos(static_cast<double>(theta) * 0.5);
    const double value = half.sine * energyKeV / kHcKeVAngstrom;
    const double bound = half.bound * energyKeV / kHcKeVAngstrom * 1.001 + std::fabs(value) * 0x1p-49;
    float momentumTransfer;
    if (roundsToOneFloat({value, bound}, momentumTransfer)) return momentumTransfer;
    return incoherentMomentumTransfer(energyKeV, theta);
}

// E' = E / (1 + g (1 - cos)) with g = E / 511: an error d in cos moves E' by at
// most E' g d (the denominator is at least 1); the slack covers four roundings.
inline IncoherentResult incoherentOutcome(const CertifiedElementary& math, float energyKeV, float theta) {
    const BoundedSinCos angle = math.sinCos(static_cast<double>(theta));
    const double g = static_cast<double>(energyKeV) / kElectronRestEnergyKeV;
    const double energyAfter = energyKeV / (1.0 + g * (1.0 - angle.cosine));
    IncoherentResult result;
    if (roundsToOneFloat({energyAfter, energyAfter * (g * angle.bound + 0x1p-48)}, result.energyAfter) &&
        roundsToOneFloat({angle.cosine, angle.bound}, result.angle.cosTheta) &&
        roundsToOneFloat({angle.sine, angle.bound}, result.angle.sinTheta)) {
        return result;
    }
    return incoherentOutcome(energyKeV, theta);
}

// The in-plane part of every start (a function of the first deviate) and the
// offset across the field (a function of the second).
struct SourceTables {
    SourceTables(const BeamGeometry& beam, const DeviateTables& deviates);
    PhotonState start(float energyKeV, std::int32_t first, std::int32_t second) const {
        return completeStart(height, energyKeV, inPlane[first], across[second]);
    }

    BeamGeometry beam;
    float height;
    std::vector<InPlaneStart> inPlane;
    std::vector<float> across;
};

// The total coefficient of one flight and the two thresholds that pick the interaction.
struct FlightCoefficients {
    float total = 0;
    float photoelectricLimit = 0;
    float coherentLimit = 0;
};
inline FlightCoefficients flightCoefficients(const Coefficients& mu) {
    FlightCoefficients step;
    step.total = static_cast<float>(static_cast<double>(mu.photoelectric) + mu.incoherent + mu.coherent);
    step.photoelectricLimit = static_cast<float>(static_cast<double>(mu.photoelectric) / step.total);
    step.coherentLimit = static_cast<float>((static_cast<double>(mu.photoelectric) + mu.coherent) / step.total);
    return step;
}

// The number of generator outputs v whose deviate lies below `value` (the
// deviates increase with v): "value > r" holds exactly when v < this count.
std::int32_t deviatesBelow(const DeviateTables& deviates, double value);
// The number whose deviate is at most `value`: "value >= r" exactly when v < this count.
std::int32_t deviatesNotAbove(const DeviateTables& deviates, double value);

// Kahn trials at one energy (the bin energy: every first interaction of a
// history happens at it), memoised per branch and second deviate as they are
// first needed, together with the coefficients at the energy after the
// scattering. The third deviate and the S(x) deviate only enter comparisons,
// which the memo holds as thresholds on the generator's integer output, packed
// in one word per entry so that the entries tested on every trial stay in
// cache; the outcome is read only for a trial that is accepted. Several threads
// may share one memo: an entry is published once, atomically.
class IncoherentMemo {
public:
    struct Outcome {
        IncoherentResult scattering;
        FlightCoefficients after;  // at scattering.energyAfter
    };

    // A filled entry's thresholds: bits 0-1 state, 2-16 the pass threshold of
    // the third deviate, 17-31 the S(x) threshold or kNoBindingTest.
    class Thresholds {
    public:
        explicit Thresholds(std::uint32_t word) : word_(word) {}
        bool passes(std::int32_t third) const { return third < static_cast<std::int32_t>((word_ >> 2) & 0x7fff); }
        bool bindingTest() const { return (word_ >> 17) != kNoBindingTest; }
        bool binds(std::int32_t v) const { return v < static_cast<std::int32_t>(word_ >> 17); }

    private:
        std::uint32_t word_;
    };

    IncoherentMemo(float energyKeV, const CertifiedElementary& math, const IncoherentFunctionTable& factors,
                   const LogCoefficientTable& coefficients, const DeviateTables& deviates);

    float energy() const { return energy_; }
    const KahnConstants& constants() const { return constants_; }

    Thresholds thresholds(bool firstBranch, std::int32_t second) {
        const std::size_t index = indexOf(firstBranch, second);
        std::uint32_t word = words_[index].load(std::memory_order_acquire);
        if ((word & kStateMask) == kFilled) return Thresholds(word);
        std::uint32_t expected = kEmpty;
        if (words_[index].compare_exchange_strong(expected, kFilling, std::memory_order_acquire)) {
            word = fill(firstBranch, second);
            words_[index].store(word, std::memory_order_release);
            return Thresholds(word);
        }
        // Another thread is filling this entry: it takes a few hundred nanoseconds.
        while (((word = words_[index].load(std::memory_order_acquire)) & kStateMask) != kFilled) {
        }
        return Thresholds(word);
    }

    // The outcome of an entry whose thresholds have been read.
    const Outcome& outcome(bool firstBranch, std::int32_t second) const {
        return outcomes_[indexOf(firstBranch, second)];
    }

private:
    static constexpr std::uint32_t kStateMask = 3, kEmpty = 0, kFilling = 1, kFilled = 2;
    static constexpr std::uint32_t kNoBindingTest = 0x7fff;

    static std::size_t indexOf(bool firstBranch, std::int32_t second) {
        return (firstBranch ? kDeviateCount : 0) + static_cast<std::size_t>(second);
    }
    std::uint32_t fill(bool firstBranch, std::int32_t second);

    float energy_;
    KahnConstants constants_;
    const CertifiedElementary& math_;
    const IncoherentFunctionTable& factors_;
    const LogCoefficientTable& coefficients_;
    const DeviateTables& deviates_;
    std::unique_ptr<std::atomic<std::uint32_t>[]> words_;
    std::unique_ptr<Outcome[]> outcomes_;
};

// The interpolation parameter t = (ln E - ln E1) / (ln E2 - ln E1) carries
// the logarithm's bound divided by the row's span.
inline Coefficients LogCoefficientTable::at(float energyKeV) const {
    const int j = rows_.rowAbove(energyKeV);
    const double lower = lnEnergy_[j - 1];
    const double span = lnEnergy_[j] - lower;
    const Bounded lnEnergy = math_.log(energyKeV);
    const double fraction = (lnEnergy.value - lower) / span;
    const double slack = (std::fabs(lnEnergy.value) + std::fabs(lower)) * 0x1p-51 / span;
    float t;
    if (!roundsToOneFloat({fraction, lnEnergy.bound / span + slack}, t)) {
        t = static_cast<float>((std::log(static_cast<double>(energyKeV)) - lower) / span);
    }
    return Coefficients{interpolate(lnCoherent_, j, t), interpolate(lnIncoherent_, j, t),
                        interpolate(lnPhotoelectric_, j, t)};
}

inline float LogCoefficientTable::interpolate(const std::array<double, kMaxEnergyRows + 1>& logs, int j, float t) const {
    const double exponent = logs[j - 1] + static_cast<double>(t) * (logs[j] - logs[j - 1]);
    float value;
    if (!roundsToOneFloat(math_.exp(exponent), value)) value = static_cast<float>(std::exp(exponent));
    return value;
}

}  // namespace velmora
