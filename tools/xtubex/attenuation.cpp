// xraylib look-ups for the attenuation of beam layers. The energy-absorption
// coefficients of this xraylib build are not used (see data/README.md).
#include "tools/xtubex/attenuation.h"

#include <cmath>
#include <stdexcept>

#include <xraylib.h>

namespace velmora::xtubex {
namespace {

// Takes ownership of an xraylib error and turns it into an exception.
void throwOnXraylibError(xrl_error* error, const std::string& what) {
    if (error == nullptr) return;
    std::string message = what + ": " + (error->message != nullptr ? error->message : "xraylib error");
    xrl_error_free(error);
    throw std::runtime_error(message);
}

struct ExtraFilter {
    const char* label;
    const char* elementSymbol;    // nullptr for a compound
    const char* compoundName;
};
// Common added filters of diagnostic and interventional tubes.
constexpr ExtraFilter kExtraFilters[] = {
    {"Be", "Be", nullptr}, {"Ti", "Ti", nullptr}, {"Nb", "Nb", nullptr}, {"Mo", "Mo", nullptr},
    {"Ag", "Ag", nullptr}, {"Sn", "Sn", nullptr}, {"Gd", "Gd", nullptr}, {"Er", "Er", nullptr},
    {"Ta", "Ta", nullptr}, {"Pb", "Pb", nullptr},
    {"PMMA", nullptr, "Polymethyl Methacralate (Lucite, Perspex)"},
};

}  // namespace

Material elementMaterial(std::string_view symbol) {
    xrl_error* error = nullptr;
    const std::string text(symbol);
    const int atomicNumber = SymbolToAtomicNumber(text.c_str(), &error);
    if (error != nullptr || atomicNumber <= 0) {
        if (error != nullptr) xrl_error_free(error);
        throw std::invalid_argument("unknown element \"" + text + "\"");
    }
    const double density = ElementDensity(atomicNumber, &error);
    throwOnXraylibError(error, "density of " + text);
    return {text, atomicNumber, {}, density};
}

Material nistCompoundMaterial(std::string label, const std::string& xraylibName) {
    xrl_error* error = nullptr;
    compoundDataNIST* data = GetCompoundDataNISTByName(xraylibName.c_str(), &error);
    if (error != nullptr || data == nullptr) {
        if (error != nullptr) xrl_error_free(error);
        throw std::invalid_argument("unknown compound \"" + xraylibName + "\"");
    }
    const double density = data->density;
    FreeCompoundDataNIST(data);
    return {std::move(label), 0, xraylibName, density};
}

Material dryAir() { return nistCompoundMaterial("air", "Air, Dry (near sea level)"); }
Material kapton() { return nistCompoundMaterial("Kapton", "Kapton Polyimide Film"); }

std::vector<std::string> extraFilterLabels() {
    std::vector<std::string> labels;
    for (const auto& filter : kExtraFilters) labels.emplace_back(filter.label);
    return labels;
}

Material extraFilterMaterial(std::string_view label) {
    for (const auto& filter : kExtraFilters) {
        if (label != filter.label) continue;
        if (filter.elementSymbol != nullptr) return elementMaterial(filter.elementSymbol);
        return nistCompoundMaterial(filter.label, filter.compoundName);
    }
    throw std::invalid_argument("no filter material \"" + std::string(label) + "\"");
}

double massAttenuationCm2PerG(const Material& material, double energyKeV) {
    xrl_error* error = nullptr;
    const double value = material.atomicNumber > 0
                             ? CS_Total(material.atomicNumber, energyKeV, &error)
                             : CS_Total_CP(material.compoundName.c_str(), energyKeV, &error);
    throwOnXraylibError(error, "attenuation of " + material.label);
    return value;
}

std::vector<double> transmission(std::span<const Layer> layers, std::span<const double> energiesKeV) {
    std::vector<double> result(energiesKeV.size(), 1.0);
    for (std::size_t index = 0; index < energiesKeV.size(); ++index) {
        double opticalDepth = 0;
        for (const auto& layer : layers) {
            if (layer.thicknessMm == 0) continue;
            opticalDepth += massAttenuationCm2PerG(layer.material, energiesKeV[index]) *
                            layer.material.densityGPerCm3 * layer.thicknessMm * 0.1;
        }
        result[index] = std::exp(-opticalDepth);
    }
    return result;
}

}  // namespace velmora::xtubex
