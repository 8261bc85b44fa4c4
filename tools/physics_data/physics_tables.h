// The engine's three physics tables of water and air ("Water.mix", "Water.xfs",
// "Mus-XP.dat"), generated from xraylib and the NIST tables in fixed-width text.
#pragma once

#include <string>
#include <vector>

#include "tools/physics_data/nist_table.h"

namespace velmora::physics_data {

inline constexpr const char* kWaterMixFileName = "Water.mix";
inline constexpr const char* kWaterXfsFileName = "Water.xfs";
inline constexpr const char* kMusXpFileName = "Mus-XP.dat";
inline constexpr const char* kNistWaterFileName = "water-liquid.txt";
inline constexpr const char* kNistAirFileName = "air-dry-near-sea-level.txt";

inline constexpr int kScatteringFactorCount = 45;   // records of "Water.xfs"
inline constexpr int kAirCoefficientCount = 300;    // records of "Mus-XP.dat"
inline constexpr double kAirBinWidthKeV = 0.5;      // record i belongs to 0.5 * i keV
inline constexpr int kMaximumEnergyRows = 80;       // room in the engine's table

// Photon energies of the "Water.mix" rows in keV, ascending, each exact in three
// significant digits (the E9.3 field holds no more).
std::vector<double> waterMixEnergiesKeV();

// Momentum-transfer values x = sin(theta/2)/lambda in 1/Angstrom of the
// "Water.xfs" records, ascending from 0 to 10, each exact in three significant digits.
std::vector<double> waterXfsMomentumTransfers();

// Mass interaction coefficients of liquid water (cm2/g) from xraylib; at 1 g/cm3
// they are the linear coefficients in 1/cm.
struct WaterCoefficients {
    double coherent = 0;
    double incoherent = 0;
    double photoelectric = 0;
};
WaterCoefficients waterCoefficientsAt(double energyKeV);

// Molecular form factor F(x) and incoherent scattering function S(x) of H2O in
// the independent-atom approximation (2 H + O); F(0) = 10 and S(0) = 0.
double waterFormFactor(double momentumTransfer);
double waterIncoherentFunction(double momentumTransfer);

// The file contents, ASCII with CR LF line ends.
std::string waterMixText(const NistTable& waterNist);
std::string waterXfsText();
std::string musXpText(const NistTable& airNist, const NistTable& waterNist);

struct PhysicsTables {
    std::string waterMix;
    std::string waterXfs;
    std::string musXp;
};

// Reads the two NIST tables from `nistDirectory` and builds the three files.
PhysicsTables generatePhysicsTables(const std::string& nistDirectory);

// Writes the three files into `outputDirectory`, each atomically.
void writePhysicsTables(const PhysicsTables& tables, const std::string& outputDirectory);

}  // namespace velmora::physics_data
