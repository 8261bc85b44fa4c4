#include "engine/physics/scattering.h"

#include <cmath>

namespace velmora {

KahnTrial kahnTrial(float energyKeV, float r1, float r2, float r3) {
    const KahnConstants k = kahnConstants(energyKeV);
    const bool firstBranch = r1 <= k.branchLimit;
    KahnTrial trial;
    trial.eta = kahnEta(k, firstBranch, r2);
    trial.passes = kahnAcceptance(k, firstBranch, trial.eta) > r3;
    trial.cosine = kahnCosine(k, trial.eta);
    return trial;
}

float scatteringAngleFromCosine(float cosine) {
    if (cosine == 0.0f) return static_cast<float>(static_cast<double>(kPi) * 0.5);
    const float c = clampUnitCosine(cosine);
    float theta = static_cast<float>(std::atan(std::sqrt(1.0 - static_cast<double>(c) * c) / c));
    // atan gives -0 for c = -1 (an exact backscatter), which must become pi, not 0.
    if (theta < 0.0f || (theta == 0.0f && c < 0.0f)) theta = static_cast<float>(static_cast<double>(theta) + kPi);
    return theta;
}

float incoherentMomentumTransfer(float energyKeV, float theta) {
    return static_cast<float>(std::sin(static_cast<double>(theta) * 0.5) * energyKeV / kHcKeVAngstrom);
}

IncoherentResult incoherentOutcome(float energyKeV, float theta) {
    const double cosine = std::cos(static_cast<double>(theta));
    IncoherentResult result;
    result.energyAfter = static_cast<float>(
        energyKeV / (1.0 + (static_cast<double>(energyKeV) / kElectronRestEnergyKeV) * (1.0 - cosine)));
    result.angle.cosTheta = static_cast<float>(cosine);
    result.angle.sinTheta = static_cast<float>(std::sin(static_cast<double>(theta)));
    return result;
}

IncoherentResult sampleIncoherent(float energyKeV, const ScatteringFactorTable& factors,
                                  UniformGenerator& generator) {
    for (;;) {
        const float r1 = generator.uniform();
        const float r2 = generator.uniform();
        const float r3 = generator.uniform();
        const KahnTrial trial = kahnTrial(energyKeV, r1, r2, r3);
        if (!trial.passes) continue;

        const float theta = scatteringAngleFromCosine(trial.cosine);
        const float momentumTransfer = incoherentMomentumTransfer(energyKeV, theta);
        if (momentumTransfer < kIncoherentFunctionLimit) {
            // Electron binding: accept with probability S(x) / S(infinity).
            const float s = incoherentFunctionAt(factors, momentumTransfer);
            const float r = generator.uniform();
            if (!(static_cast<double>(s) / factors.incoherentReference >= r)) continue;
        }
        return incoherentOutcome(energyKeV, theta);
    }
}

ScatteringAngle sampleCoherent(float energyKeV, const ScatteringFactorTable& factors,
                               const CoherentCdf& cdf, UniformGenerator& generator) {
    for (;;) {
        const float x = sampleCoherentX(factors, cdf, generator.uniform());
        // sin(theta/2) = x lambda; impossible momentum transfers are rejected.
        const float halfAngleSine = static_cast<float>(static_cast<double>(x) * kHcKeVAngstrom / energyKeV);
        if (halfAngleSine > 1.0f) continue;
        const float c = static_cast<float>(1.0 - 2.0 * static_cast<double>(halfAngleSine) * halfAngleSine);
        const float r = generator.uniform();
        if (2.0 * r > 1.0 + static_cast<double>(c) * c) continue;
        ScatteringAngle angle;
        angle.cosTheta = clampUnitCosine(c);
        angle.sinTheta = static_cast<float>(std::sqrt(1.0 - static_cast<double>(angle.cosTheta) * angle.cosTheta));
        return angle;
    }
}

Azimuth azimuthFromDeviate(float deviate) {
    const float psi = static_cast<float>(static_cast<double>(deviate) * kPi * 2.0);
    return Azimuth{static_cast<float>(std::cos(static_cast<double>(psi))),
                   static_cast<float>(std::sin(static_cast<double>(psi)))};
}

void turnDirection(PhotonState& photon, ScatteringAngle angle, UniformGenerator& generator) {
    turnDirectionBy(photon, angle, azimuthFromDeviate(generator.uniform()));
}

}  // namespace velmora
