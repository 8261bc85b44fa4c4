// The fast form of the history loop: the same physics, the same draws in the
// same order and the same arithmetic as transportPhoton and the samplers, with
// functions of single deviates, row logarithms and Kahn trials at the bin
// energy looked up instead of recomputed, and certified elementary functions
// in place of the library's. Its results are identical to the straightforward
// form bit for bit; the tests hold it to that.
#pragma once

#include <cmath>
#include <cstdint>
#include <memory>

#include "engine/physics/tabulated_physics.h"
#include "engine/transport/transport.h"

namespace velmora {

// Immutable tables of one study, shared by every thread.
struct StudyTables {
    StudyTables(const InteractionData& data, const BeamGeometry& beam, const TransportBox& box);

    const InteractionData& data;
    TransportBox box;
    CertifiedElementary math;
    DeviateTables deviates;
    LogCoefficientTable coefficients;
    IncoherentFunctionTable incoherentFunction;
    SourceTables source;
};

// One worker: follows histories with the study's tables and the Kahn memo of
// the bin being run (its own, or one shared with other workers).
class TabulatedTransport {
public:
    explicit TabulatedTransport(const StudyTables& tables) : tables_(tables) {}

    // Runs `histories` histories of one bin with a memo of its own, kept while
    // the energy stays the same.
    template <class Generator>
    void runBin(float energyKeV, std::int64_t histories, Generator& generator, DoseTally& tally) {
        if (!ownMemo_ || ownMemo_->energy() != energyKeV) ownMemo_ = makeMemo(energyKeV);
        runBin(*ownMemo_, histories, generator, tally);
    }

    // Runs `histories` histories at the memo's energy.
    template <class Generator>
    void runBin(IncoherentMemo& memo, std::int64_t histories, Generator& generator, DoseTally& tally);

    std::unique_ptr<IncoherentMemo> makeMemo(float energyKeV) const {
        return std::make_unique<IncoherentMemo>(energyKeV, tables_.math, tables_.incoherentFunction,
                                                tables_.coefficients, tables_.deviates);
    }

private:
    template <class Generator>
    void followPhoton(PhotonState& photon, Generator& generator, DoseTally& tally);
    template <class Generator>
    IncoherentResult incoherent(float energyKeV, Generator& generator);
    template <class Generator>
    ScatteringAngle coherent(float energyKeV, Generator& generator);

    float deviate(std::int32_t v) const { return tables_.deviates.deviate[v]; }

    const StudyTables& tables_;
    std::unique_ptr<IncoherentMemo> ownMemo_;
    IncoherentMemo* memo_ = nullptr;   // the bin being run
    FlightCoefficients binStep_;       // at the bin energy
    FlightCoefficients memoStep_;      // after the last memoised scattering
};

template <class Generator>
void TabulatedTransport::runBin(IncoherentMemo& memo, std::int64_t histories, Generator& generator,
                                DoseTally& tally) {
    memo_ = &memo;
    const float energy = memo.energy();
    binStep_ = flightCoefficients(tables_.coefficients.at(energy));
    for (std::int64_t history = 0; history < histories; ++history) {
        const std::int32_t first = generator.nextInteger();
        const std::int32_t second = generator.nextInteger();
        PhotonState photon = tables_.source.start(energy, first, second);
        followPhoton(photon, generator, tally);
    }
}

template <class Generator>
void TabulatedTransport::followPhoton(PhotonState& photon, Generator& generator, DoseTally& tally) {
    const TransportBox& box = tables_.box;
    // The coefficients of the current energy: the photon keeps its energy through
    // coherent scattering, and memoised scatterings bring the next ones along.
    FlightCoefficients step = binStep_;
    float stepEnergy = photon.energy;
    for (;;) {
        if (photon.energy < kEnergyCutOffKeV) {
            tally.deposit(photon.component, photon.x, photon.y, photon.z, photon.energy);
            return;
        }
        if (photon.energy != stepEnergy) {
            step = flightCoefficients(tables_.coefficients.at(photon.energy));
            stepEnergy = photon.energy;
        }

        std::int32_t first = generator.nextInteger();
        std::int32_t second = generator.nextInteger();
        while (first == 0) {  // a zero deviate has no flight length
            first = generator.nextInteger();
            second = generator.nextInteger();
        }
        const double s = static_cast<float>(tables_.deviates.minusLog[first] / step.total);
        const float x = static_cast<float>(photon.x + static_cast<double>(photon.cosPhi) * photon.sinTheta * s);
        const float y = static_cast<float>(photon.y + static_cast<double>(photon.sinPhi) * photon.sinTheta * s);
        const float z = static_cast<float>(photon.z + static_cast<double>(photon.cosTheta) * s);
        if (x == photon.x || y == photon.y || z == photon.z) return;
        if (x <= box.xMin || x >= box.xMax || y <= box.yMin || y >= box.yMax || z <= box.zMin || z >= box.zMax) {
            return;
        }
        photon.x = x;
        photon.y = y;
        photon.z = z;

        const float r2 = deviate(second);
        if (r2 < step.photoelectricLimit) {
            tally.deposit(photon.component, photon.x, photon.y, photon.z, photon.energy);
            return;
        }
        float energyAfter = photon.energy;
        ScatteringAngle angle;
        if (r2 < step.coherentLimit) {
            angle = coherent(photon.energy, generator);
        } else {
            const bool memoised = photon.energy == memo_->energy();
            const IncoherentResult result = incoherent(photon.energy, generator);
            energyAfter = result.energyAfter;
            angle = result.angle;
            tally.deposit(photon.component, photon.x, photon.y, photon.z,
                          static_cast<float>(static_cast<double>(photon.energy) - energyAfter));
            if (memoised) {
                step = memoStep_;
                stepEnergy = energyAfter;
            }
        }
        turnDirectionBy(photon, angle, tables_.deviates.azimuth[generator.nextInteger()]);
        photon.energy = energyAfter;
        photon.component = 2;
    }
}

template <class Generator>
IncoherentResult TabulatedTransport::incoherent(float energyKeV, Generator& generator) {
    const IncoherentFunctionTable& factors = tables_.incoherentFunction;
    if (energyKeV == memo_->energy()) {
        const KahnConstants& k = memo_->constants();
        for (;;) {
            const float r1 = deviate(generator.nextInteger());
            const std::int32_t second = generator.nextInteger();
            const std::int32_t third = generator.nextInteger();
            const bool firstBranch = r1 <= k.branchLimit;
            const IncoherentMemo::Thresholds trial = memo_->thresholds(firstBranch, second);
            if (!trial.passes(third)) continue;
            if (trial.bindingTest() && !trial.binds(generator.nextInteger())) continue;
            const IncoherentMemo::Outcome& outcome = memo_->outcome(firstBranch, second);
            memoStep_ = outcome.after;
            return outcome.scattering;
        }
    }
    const KahnConstants k = kahnConstants(energyKeV);
    for (;;) {
        const float r1 = deviate(generator.nextInteger());
        const float r2 = deviate(generator.nextInteger());
        const float r3 = deviate(generator.nextInteger());
        // Both branches are computed and one is kept: the choice is a coin toss
        // that branch prediction cannot learn, and the divisions run side by side.
        const bool firstBranch = r1 <= k.branchLimit;
        const float etaFirst = kahnEta(k, true, r2);
        const float etaSecond = kahnEta(k, false, r2);
        const double acceptanceFirst = kahnAcceptance(k, true, etaFirst);
        const double acceptanceSecond = kahnAcceptance(k, false, etaSecond);
        const float eta = firstBranch ? etaFirst : etaSecond;
        if (!((firstBranch ? acceptanceFirst : acceptanceSecond) > r3)) continue;
        const float theta = scatteringAngleFromCosine(tables_.math, kahnCosine(k, eta));
        const float momentumTransfer = incoherentMomentumTransfer(tables_.math, energyKeV, theta);
        if (momentumTransfer < kIncoherentFunctionLimit) {
            const float sx = factors.at(momentumTransfer);
            if (!(static_cast<double>(sx) / factors.reference() >= deviate(generator.nextInteger()))) {
                continue;
            }
        }
        return incoherentOutcome(tables_.math, energyKeV, theta);
    }
}

template <class Generator>
ScatteringAngle TabulatedTransport::coherent(float energyKeV, Generator& generator) {
    for (;;) {
        const float x = tables_.deviates.coherentX[generator.nextInteger()];
        const float halfAngleSine = static_cast<float>(static_cast<double>(x) * kHcKeVAngstrom / energyKeV);
        if (halfAngleSine > 1.0f) continue;
        const float c = static_cast<float>(1.0 - 2.0 * static_cast<double>(halfAngleSine) * halfAngleSine);
        if (2.0 * deviate(generator.nextInteger()) > 1.0 + static_cast<double>(c) * c) continue;
        ScatteringAngle angle;
        angle.cosTheta = clampUnitCosine(c);
        angle.sinTheta = static_cast<float>(std::sqrt(1.0 - static_cast<double>(angle.cosTheta) * angle.cosTheta));
        return angle;
    }
}

}  // namespace velmora
