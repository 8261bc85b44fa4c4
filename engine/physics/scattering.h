// Scattering samplers: incoherent (Klein-Nishina by Kahn's method, corrected by
// the incoherent scattering function S(x)), coherent (F(x)^2 with the
// (1 + cos^2) / 2 shape) and the turn of the flight direction.
#pragma once

#include <cmath>

#include "engine/physics/interaction_data.h"
#include "engine/random/uniform_generator.h"
#include "engine/source/photon_state.h"

namespace velmora {

inline constexpr float kElectronRestEnergyKeV = 511.0f;
inline constexpr float kHcKeVAngstrom = 12.4f;      // wavelength 12.4 / E Angstrom
inline constexpr float kPi = 3.141592f;             // the engine's single-precision pi
inline constexpr float kIncoherentFunctionLimit = 10.0f;  // 1/Angstrom

struct ScatteringAngle {
    float cosTheta = 1;
    float sinTheta = 0;
};

struct IncoherentResult {
    float energyAfter = 0;  // keV
    ScatteringAngle angle;
};

// Three deviates per trial, one more for each trial that reaches the S(x) test.
IncoherentResult sampleIncoherent(float energyKeV, const ScatteringFactorTable& factors,
                                  UniformGenerator& generator);

// One deviate per trial, one more for each trial that reaches the angular test.
ScatteringAngle sampleCoherent(float energyKeV, const ScatteringFactorTable& factors,
                               const CoherentCdf& cdf, UniformGenerator& generator);

// Turns the photon by the scattering angle at a uniform azimuth (one deviate).
void turnDirection(PhotonState& photon, ScatteringAngle angle, UniformGenerator& generator);

// The azimuth 2 pi r as its cosine and sine, and the turn with a given azimuth.
struct Azimuth {
    float cosine = 1;
    float sine = 0;
};
Azimuth azimuthFromDeviate(float deviate);

// One Kahn trial (steps that decide the angle), exposed for tests: returns false
// when the trial fails the Klein-Nishina rejection.
struct KahnTrial {
    bool passes = false;
    float eta = 0;       // E / E'
    float cosine = 0;    // 1 - a (eta - 1)
};
KahnTrial kahnTrial(float energyKeV, float r1, float r2, float r3);

// The pieces of a trial: r1 picks the branch, r2 gives eta, and the trial
// passes when the acceptance value exceeds r3.
struct KahnConstants {
    float a = 0;            // 511 / E
    float branchLimit = 0;  // B = (a + 2) / (9 a + 2)
};
inline KahnConstants kahnConstants(float energyKeV) {
    KahnConstants k;
    k.a = static_cast<float>(static_cast<double>(kElectronRestEnergyKeV) / energyKeV);
    k.branchLimit = static_cast<float>((k.a + 2.0) / (9.0 * k.a + 2.0));
    return k;
}

inline float kahnEta(const KahnConstants& k, bool firstBranch, float r2) {
    if (firstBranch) return static_cast<float>(1.0 + (2.0 / k.a) * r2);
    return static_cast<float>((k.a + 2.0) / (k.a + 2.0 * (1.0 - r2)));
}

inline double kahnAcceptance(const KahnConstants& k, bool firstBranch, float eta) {
    if (firstBranch) return 4.0 * (1.0 / eta - 1.0 / (static_cast<double>(eta) * eta));
    const double c = 1.0 + k.a - static_cast<double>(k.a) * eta;
    return 0.5 * (c * c + 1.0 / eta);
}

inline float kahnCosine(const KahnConstants& k, float eta) {
    return static_cast<float>(1.0 - static_cast<double>(k.a) * (static_cast<double>(eta) - 1.0));
}

// The scattering angle from Kahn's cosine, in [0, pi].
float scatteringAngleFromCosine(float cosine);

// Momentum transfer sin(theta/2) E / 12.4 of an incoherent trial, 1/Angstrom.
float incoherentMomentumTransfer(float energyKeV, float theta);

// Energy after an accepted incoherent scattering through theta, and the angle.
IncoherentResult incoherentOutcome(float energyKeV, float theta);

// Rounding can push a cosine just past +-1; the square roots need 1 - c^2 >= 0.
inline float clampUnitCosine(float cosine) {
    if (cosine > 1.0f) return 1.0f;
    if (cosine < -1.0f) return -1.0f;
    return cosine;
}

inline void turnDirectionBy(PhotonState& photon, ScatteringAngle angle, Azimuth azimuth) {
    const float cosPsi = azimuth.cosine;
    const float sinPsi = azimuth.sine;

    const float sinTheta = photon.sinTheta;
    const float cosTheta = photon.cosTheta;
    const float sinPhi = photon.sinPhi;
    const float cosPhi = photon.cosPhi;

    const float newCosTheta = clampUnitCosine(static_cast<float>(
        static_cast<double>(angle.sinTheta) * cosPsi * sinTheta + static_cast<double>(angle.cosTheta) * cosTheta));
    const float newSinTheta = static_cast<float>(std::sqrt(1.0 - static_cast<double>(newCosTheta) * newCosTheta));

    float newSinPhi = 0.0f;
    float newCosPhi = 1.0f;
    if (newSinTheta != 0.0f) {
        const float sinDelta = static_cast<float>(static_cast<double>(sinPsi) * angle.sinTheta / newSinTheta);
        if (sinTheta == 0.0f) {
            // The old flight ran along z: the azimuth is measured from the scattering plane itself.
            newSinPhi = sinPsi;
            newCosPhi = -cosPsi;
        } else {
            const float cosDelta = static_cast<float>(
                (static_cast<double>(angle.cosTheta) - static_cast<double>(cosTheta) * newCosTheta) /
                (static_cast<double>(sinTheta) * newSinTheta));
            newSinPhi = static_cast<float>(static_cast<double>(sinDelta) * cosPhi + static_cast<double>(sinPhi) * cosDelta);
            newCosPhi = static_cast<float>(static_cast<double>(cosPhi) * cosDelta - static_cast<double>(sinDelta) * sinPhi);
        }
    }
    photon.cosTheta = newCosTheta;
    photon.sinTheta = newSinTheta;
    photon.cosPhi = newCosPhi;
    photon.sinPhi = newSinPhi;
}

}  // namespace velmora
