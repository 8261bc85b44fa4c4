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

// Coefficients with the logarithms of the rows computed once; the row search
// is a binary search that finds the same row as the linear one.
class LogCoefficientTable {
public:
    explicit LogCoefficientTable(const CrossSectionTable& table);
    Coefficients at(float energyKeV) const;

private:
    int rowAbove(float energyKeV) const;

    // firstRow_[i]: the search's answer for an energy of i / kSlotsPerKeV keV, a
    // starting point below the answer for every energy in that slot.
    static constexpr int kSlotsPerKeV = 4;
    static constexpr int kSlots = 160 * kSlotsPerKeV;
    std::array<std::uint8_t, kSlots> firstRow_{};
    int count_;
    std::array<float, kMaxEnergyRows + 1> energy_{};
    std::array<double, kMaxEnergyRows + 1> lnEnergy_{}, lnCoherent_{}, lnIncoherent_{}, lnPhotoelectric_{};
};

// S(x) with a binary search for the row.
float incoherentFunctionAtFast(const ScatteringFactorTable& table, float x);

// The in-plane part of every start (a function of the first deviate) and the
// offset across the field (a function of the second).
struct SourceTables {
    SourceTables(const BeamGeometry& beam, const DeviateTables& deviates);
    PhotonState start(float energyKeV, std::int32_t first, std::int32_t second) const {
        return completeStart(beam, energyKeV, inPlane[first], across[second]);
    }

    BeamGeometry beam;
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

    IncoherentMemo(float energyKeV, const ScatteringFactorTable& factors, const LogCoefficientTable& coefficients,
                   const DeviateTables& deviates);

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
    const ScatteringFactorTable& factors_;
    const LogCoefficientTable& coefficients_;
    const DeviateTables& deviates_;
    std::unique_ptr<std::atomic<std::uint32_t>[]> words_;
    std::unique_ptr<Outcome[]> outcomes_;
};

}  // namespace velmora
