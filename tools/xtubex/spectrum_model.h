// Tungsten-anode X-ray spectra on the 300 bins of 0.5 keV of the spectrum file:
// TASMICS interpolated in voltage, heel self-filtration for the anode angle,
// voltage ripple, and Beer–Lambert filtration; plus the beam-quality figures.
#pragma once

#include <array>
#include <span>
#include <string>

#include "tools/xtubex/attenuation.h"
#include "tools/xtubex/tables.h"

namespace velmora::xtubex {

inline constexpr int kBinCount = 300;
inline constexpr double kBinWidthKeV = 0.5;
// Bin k (1-based) of the spectrum file stands for the energy 0.5·k keV.
constexpr double binEnergyKeV(int bin) { return kBinWidthKeV * bin; }

// Photons / mm² / mAs at 100 cm in each 0.5 keV bin; index 1 ... 300, [0] unused.
struct BinnedSpectrum {
    std::array<double, kBinCount + 1> fluence{};

    int highestNonZeroBin() const;  // 0 when all bins are empty
    double total() const;
    double peak() const;
};

// What the operator sets. Added filtration is on top of the tube's 0.8 mm Be
// window, which the TASMICS spectra already include.
struct BeamSettings {
    double tubeVoltageKV = 80;
    double anodeAngleDeg = 12;
    double ripplePercent = 0;
    double aluminiumMm = 2.5;
    double copperMm = 0;
    std::string extraFilter;  // one of extraFilterLabels(), or empty for none
    double extraFilterMm = 0;
};

struct BeamQuality {
    double meanEnergyKeV = 0;          // fluence-weighted
    double hvl1MmAl = 0, hvl2MmAl = 0;  // air-kerma half-value layers
    double hvl1MmCu = 0, hvl2MmCu = 0;
    double airKermaMicroGyPerMAs = 0;  // free in air at 100 cm from the focus
};

struct Beam {
    BinnedSpectrum spectrum;
    BeamQuality quality;
};

// Pieces of the model, exposed so that each can be checked on its own.
// Fluence per keV of the unfiltered TASMICS spectrum at any voltage and energy:
// linear in voltage between the 1 kV columns and in energy between the 1 keV
// rows (with Φ(0) = 0); 0 for E ≥ V and for voltages below the table (only
// reached by the low phase of a rippled voltage). Throws std::invalid_argument
// above the table.
double tasmicsFluencePerKeV(const TasmicsTable& table, double voltageKV, double energyKeV);
// The same from the TASMIP polynomials (negative values clipped to 0).
double tasmipFluencePerKeV(const TasmipTable& table, double voltageKV, double energyKeV);
// Voltages of the 20 phases of a rippled waveform (Boone & Seibert 1997).
std::array<double, 20> rippleVoltagesKV(double tubeVoltageKV, double ripplePercent);
// Tungsten thickness of the heel self-filtration model at 12°, cm.
double anodePathCm(double voltageKV);

class SpectrumModel {
public:
    explicit SpectrumModel(ModelTables tables);

    // The beam leaving the tube window (0.8 mm Be): TASMICS, anode-angle
    // correction, ripple average; no added filter.
    BinnedSpectrum tubeSpectrum(double tubeVoltageKV, double anodeAngleDeg, double ripplePercent) const;
    // The TASMIP spectrum at the same bins, constant potential, for comparison.
    BinnedSpectrum tasmipSpectrum(double tubeVoltageKV) const;
    // Beer–Lambert attenuation of `layers`, applied at each bin's energy.
    static BinnedSpectrum filtered(const BinnedSpectrum& spectrum, std::span<const Layer> layers);

    // Mean energy, HVLs in Al and Cu and air kerma from the NIST μen/ρ of air.
    // Throws std::domain_error when the spectrum carries no air kerma.
    BeamQuality quality(const BinnedSpectrum& spectrum) const;

    // The whole chain for the operator's settings. Throws std::invalid_argument
    // for settings outside the model's range (see beam_input.h for the limits).
    Beam computeBeam(const BeamSettings& settings) const;

    const ModelTables& tables() const { return tables_; }

private:
    // Air kerma in Gy per mAs at 100 cm after a slab of the absorber whose
    // linear attenuation per mm at each bin is `attenuationPerMm`.
    double airKermaAfter(const BinnedSpectrum& spectrum, const std::array<double, kBinCount + 1>& attenuationPerMm,
                         double thicknessMm) const;
    double thicknessForKermaFraction(const BinnedSpectrum& spectrum,
                                     const std::array<double, kBinCount + 1>& attenuationPerMm,
                                     double fraction) const;

    ModelTables tables_;
    std::array<double, kBinCount + 1> tungstenMuOverRhoCm2PerG_{};
    std::array<double, kBinCount + 1> aluminiumPerMm_{};
    std::array<double, kBinCount + 1> copperPerMm_{};
    std::array<double, kBinCount + 1> airMuEnOverRhoCm2PerG_{};
};

// μen/ρ of the table at `energyKeV`, log-log interpolation between rows (the
// row above an edge is used from the edge energy upwards); extrapolated log-log
// outside the table.
double interpolateEnergyAbsorption(const EnergyAbsorptionTable& table, double energyKeV);

}  // namespace velmora::xtubex
