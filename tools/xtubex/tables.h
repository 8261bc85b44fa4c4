// The published tables behind the spectrum model, parsed from their text form.
// Parsing only: the spectrum and beam-quality code never sees a file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velmora::xtubex {

// TASMICS unfiltered tungsten spectra (Hernandez & Boone 2014): fluence per keV
// at E = 1, 2, ... keV for tube voltages in 1 kV steps; photons / mm² / mAs at
// 100 cm.
struct TasmicsTable {
    double firstVoltageKV = 0;
    double firstEnergyKeV = 0;
    int energyCount = 0;
    // fluence[voltageIndex][energyIndex]: voltage firstVoltageKV + voltageIndex,
    // energy firstEnergyKeV + energyIndex.
    std::vector<std::vector<double>> fluence;

    double lastVoltageKV() const { return firstVoltageKV + static_cast<double>(fluence.size()) - 1; }
};

// TASMIP (Boone & Seibert 1997): fluence per keV at E = 0, 1, ... keV as a cubic
// in the tube voltage, Φ(E) = a0 + a1·kV + a2·kV² + a3·kV³; photons / mm² / mAs
// at 100 cm.
struct TasmipTable {
    struct Row {
        double energyKeV;
        double a0, a1, a2, a3;
    };
    std::vector<Row> rows;  // ascending energy, 1 keV apart
};

// A tabulated mass energy-absorption coefficient (NIST SRD 126), ascending in
// energy; an absorption edge appears as two rows of the same energy.
struct EnergyAbsorptionTable {
    std::vector<double> energyKeV;
    std::vector<double> muEnOverRhoCm2PerG;
};

// One measured reference beam: what is in the beam and the measured HVLs.
struct ReferenceBeam {
    std::string set;
    std::string quality;
    double tubeVoltageKV;
    double anodeAngleDeg;
    double berylliumMm;
    double aluminiumMm;
    double copperMm;
    double airMm;
    double kaptonMm;
    double hvl1MmAl;
    double hvl2MmAl;
};

// Each parser throws velmora::InputError naming `fileName`, the 1-based line and
// the column when the text does not have the expected shape.
TasmicsTable parseTasmicsCsv(std::string_view text, const std::string& fileName);
TasmipTable parseTasmipCsv(std::string_view text, const std::string& fileName);
EnergyAbsorptionTable parseNistCoefficients(std::string_view text, const std::string& fileName);
std::vector<ReferenceBeam> parseReferenceBeams(std::string_view text, const std::string& fileName);

// All tables the program needs, parsed once from the copies compiled into it.
struct ModelTables {
    TasmicsTable tasmics;
    TasmipTable tasmip;
    EnergyAbsorptionTable air;
};
ModelTables loadEmbeddedTables();
std::vector<ReferenceBeam> loadEmbeddedReferenceBeams();

}  // namespace velmora::xtubex
