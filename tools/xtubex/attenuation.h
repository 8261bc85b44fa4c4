// Total photon attenuation of the materials in and around the beam (anode,
// window, filters, air path), from xraylib's tabulated cross sections.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::xtubex {

// An absorbing material: an element (by symbol) or a compound from xraylib's
// NIST list (by its xraylib name), with the density used for it.
struct Material {
    std::string label;         // short name for screens and file headers ("Al", "PMMA")
    int atomicNumber = 0;      // 0 for a compound
    std::string compoundName;  // xraylib NIST compound name when atomicNumber is 0
    double densityGPerCm3 = 0;
};

// The element of `symbol` ("Al", "Cu"), at xraylib's ElementDensity; throws
// std::invalid_argument for an unknown symbol.
Material elementMaterial(std::string_view symbol);

// A compound of xraylib's NIST list at its listed density; throws
// std::invalid_argument when the name is not in the list.
Material nistCompoundMaterial(std::string label, const std::string& xraylibName);

Material dryAir();   // "Air, Dry (near sea level)", 0.001205 g/cm³
Material kapton();   // "Kapton Polyimide Film", 1.42 g/cm³

// The filters the program offers besides Al and Cu, by their labels.
std::vector<std::string> extraFilterLabels();
// The material of one of extraFilterLabels(); throws std::invalid_argument otherwise.
Material extraFilterMaterial(std::string_view label);

// Total mass attenuation coefficient with coherent scattering, cm²/g
// (xraylib CS_Total or CS_Total_CP). Throws std::runtime_error on an xraylib error.
double massAttenuationCm2PerG(const Material& material, double energyKeV);

// A layer of material in the beam.
struct Layer {
    Material material;
    double thicknessMm = 0;
};

// Transmission exp(-Σ μ_i t_i) of the layers at each energy (Beer–Lambert).
std::vector<double> transmission(std::span<const Layer> layers, std::span<const double> energiesKeV);

}  // namespace velmora::xtubex
