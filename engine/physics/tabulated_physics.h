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
// which the memo holds as thresholds on the generator's integer output.
// Several threads may share one memo: an entry is published once, atomically.
class IncoherentMemo {
public:
    struct Trial {
        std::uint16_t passBelow = 0;    // the trial passes when v3 < passBelow
        std::uint16_t bindingBelow = 0; // S(x) test: accepted when v < bindingBelow
        bool bindingTest = false;       // false when x >= 10: no S(x) test, no deviate
        IncoherentResult outcome;
        FlightCoefficients after;       // at outcome.energyAfter
    };

    IncoherentMemo(float energyKeV, const ScatteringFactorTable& factors, const LogCoefficientTable& coefficients,
                   const DeviateTables& deviates);

    float energy() const { return energy_; }
    const KahnConstants& constants() const { return constants_; }

    Trial trial(bool firstBranch, std::int32_t second) {
        Slot& slot = slots_[(firstBranch ? kDeviateCount : 0) + second];
        if (slot.state.load(std::memory_order_acquire) == kFilled) return slot.trial;
        std::uint8_t expected = kEmpty;
        if (slot.state.compare_exchange_strong(expected, kFilling, std::memory_order_acquire)) {
            slot.trial = compute(firstBranch, second);
            slot.state.store(kFilled, std::memory_order_release);
            return slot.trial;
        }
        return compute(firstBranch, second);  // another thread is filling this entry
    }

private:
    static constexpr std::uint8_t kEmpty = 0, kFilling = 1, kFilled = 2;
    struct Slot {
        std::atomic<std::uint8_t> state{kEmpty};
        Trial trial;
    };
    Trial compute(bool firstBranch, std::int32_t second) const;

    float energy_;
    KahnConstants constants_;
    const ScatteringFactorTable& factors_;
    const LogCoefficientTable& coefficients_;
    const DeviateTables& deviates_;
    std::unique_ptr<Slot[]> slots_;
};

}  // namespace velmora
