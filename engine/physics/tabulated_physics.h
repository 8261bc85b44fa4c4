// Lookup tables that take the place of repeated computations in the fast form
// of the transport. Every value in them is produced by the same function, with
// the same arguments, as in the straightforward form, so results stay identical
// to the last bit. The generator can return only 16,384 distinct deviates, so
// any function of a single deviate is tabulated over all of them.
#pragma once

#include <array>
#include <atomic>
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
float scatteringAngleFromCosine(const CertifiedElementary& math, float cosine);
float incoherentMomentumTransfer(const CertifiedElementary& math, float energyKeV, float theta);
IncoherentResult incoherentOutcome(const CertifiedElementary& math, float energyKeV, float theta);

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
FlightCoefficients flightCoefficients(const Coefficients& mu);

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

}  // namespace velmora
