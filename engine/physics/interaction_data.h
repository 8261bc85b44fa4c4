// Photon interaction data of water (and the air coefficients of the spectrum
// bins): plain 1-based tables, filled once at start-up, read-only afterwards.
#pragma once

#include <array>

namespace velmora {

inline constexpr int kMaxEnergyRows = 80;
inline constexpr int kScatteringPoints = 45;
inline constexpr int kAirCoefficientRows = 300;

// From "Water.mix": coefficients of water at 1 g/cm3, used directly in 1/cm.
struct CrossSectionTable {
    int count = 0;
    std::array<float, kMaxEnergyRows + 1> energy{};         // keV, ascending
    std::array<float, kMaxEnergyRows + 1> coherent{};       // 1/cm
    std::array<float, kMaxEnergyRows + 1> incoherent{};     // 1/cm
    std::array<float, kMaxEnergyRows + 1> photoelectric{};  // 1/cm
};

// From "Water.xfs": x = sin(theta/2) / lambda in 1/Angstrom.
struct ScatteringFactorTable {
    std::array<float, kScatteringPoints + 1> x{};
    std::array<float, kScatteringPoints + 1> formFactor{};
    std::array<float, kScatteringPoints + 1> incoherentFunction{};
    float incoherentReference = 0;  // S(x(45)), the large-x limit
};

// Cumulative distribution of x for coherent scattering, proportional to the
// integral of F(x)^2 x dx; C(1) = C(2) = 0, C(45) = 1.
struct CoherentCdf {
    std::array<float, kScatteringPoints + 1> value{};
    float top = 0;
};

// From "Mus-XP.dat": mass energy-absorption coefficient of air, cm2/g, for
// spectrum bin i (0.5 i keV).
struct AirCoefficients {
    std::array<float, kAirCoefficientRows + 1> value{};
};

struct InteractionData {
    CrossSectionTable crossSections;
    ScatteringFactorTable scatteringFactors;
    CoherentCdf coherentCdf;
    AirCoefficients air;
};

struct Coefficients {
    float coherent = 0;
    float incoherent = 0;
    float photoelectric = 0;
};

// Forms incoherentReference and the coherent CDF from the loaded x, F and S.
void buildCoherentCdf(ScatteringFactorTable& factors, CoherentCdf& cdf);

// Log-log interpolation in energy; below energy(1) it extrapolates along the
// first interval.
Coefficients coefficientsAt(const CrossSectionTable& table, float energyKeV);

// Linear interpolation of S(x) for 0 <= x < x(45).
float incoherentFunctionAt(const ScatteringFactorTable& table, float x);

// S(x) on the interval from x(j - 1) to x(j).
float incoherentFunctionOnInterval(const ScatteringFactorTable& table, int j, float x);

// Inverse of the coherent CDF, uniform in x within each interval.
float sampleCoherentX(const ScatteringFactorTable& table, const CoherentCdf& cdf, float deviate);

inline float airCoefficient(const AirCoefficients& air, int bin) { return air.value[bin]; }

}  // namespace velmora
