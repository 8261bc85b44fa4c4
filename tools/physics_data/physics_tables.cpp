#include "tools/physics_data/physics_tables.h"

#include <xraylib.h>

#include <cmath>
#include <stdexcept>
#include <string_view>

#include "formats/fixed_width.h"
#include "formats/text_file.h"

namespace velmora::physics_data {

namespace {

constexpr const char* kLineEnd = "\r\n";

// NIST's "Water, Liquid" composition (H 0.111894, O 0.888106 by mass), the
// material the NIST tables beside it describe.
constexpr const char* kWaterCompound = "Water, Liquid";
constexpr int kHydrogen = 1;
constexpr int kOxygen = 8;

// Calls an xraylib function and turns its error report into an exception.
template <typename Call>
double checkedXraylib(const char* what, double argument, Call call) {
    xrl_error* error = nullptr;
    const double value = call(&error);
    if (error != nullptr) {
        const std::string message = error->message != nullptr ? error->message : "unknown error";
        xrl_error_free(error);
        throw std::runtime_error(std::string("xraylib ") + what + "(" + std::to_string(argument) +
                                 "): " + message);
    }
    return value;
}

// A value written in an Ew.d field must read back as itself: grid points are
// chosen so that the field holds them exactly.
std::string exactExponentField(double value, int width, int digits) {
    const std::string field = formatExponentField(value, width, digits);
    const std::optional<double> readBack = parseColumnField(field, 0);
    if (!readBack || std::abs(*readBack - value) > 1e-12 * std::abs(value))
        throw std::logic_error("grid value " + std::to_string(value) + " is not exact in E" +
                               std::to_string(width) + "." + std::to_string(digits));
    return field;
}

void requireAscending(const std::vector<double>& values, const char* what) {
    for (std::size_t i = 1; i < values.size(); ++i)
        if (!(values[i] > values[i - 1])) throw std::logic_error(std::string(what) + " must ascend");
}

NistTable readNistTable(const std::string& nistDirectory, const char* fileName) {
    const std::string path = nistDirectory + "/" + fileName;
    return parseNistTable(readWholeFile(path), path);
}

}  // namespace

std::vector<double> waterMixEnergiesKeV() {
    // Steps of at most 25 % (log-log interpolation of the three coefficients is
    // then better than 0.3 %, below the 0.5 % of a three-digit field), and every
    // energy of the NIST grid from 1 to 200 keV on it, so that the table can be
    // checked against NIST without interpolation. Water has no absorption edge
    // above 1 keV (oxygen K at 0.543 keV). The top row lies above the 150 keV of
    // the highest spectrum bin because the engine's search has no upper bound.
    static constexpr double mantissas[] = {1.00, 1.25, 1.50, 1.75, 2.00, 2.25, 2.50, 2.75, 3.00,
                                           3.50, 4.00, 4.50, 5.00, 5.50, 6.00, 7.00, 8.00, 9.00};
    std::vector<double> energies;
    for (double decade : {1.0, 10.0})
        for (double mantissa : mantissas) energies.push_back(mantissa * decade);
    for (double energy : {100.0, 125.0, 150.0, 175.0, 200.0}) energies.push_back(energy);
    return energies;
}

std::vector<double> waterXfsMomentumTransfers() {
    // Fine steps where F(x) falls from 10 to 4 and S(x) rises from 0 to 6
    // (x < 0.3), coarser where both level off. The engine builds the coherent
    // distribution with a right-endpoint sum of F(x)^2 x, a first-order rule, so
    // the steps are kept small over the whole range where F(x)^2 x changes
    // (0 to about 2 1/Angstrom); with these 45 points the cumulative distribution
    // stays within 3 % of the exact integral and S(x) interpolates within 0.02.
    return {0.00, 0.01, 0.02, 0.03, 0.04, 0.06, 0.08, 0.10, 0.12, 0.14, 0.16, 0.18,
            0.20, 0.22, 0.24, 0.26, 0.28, 0.30, 0.33, 0.36, 0.40, 0.45, 0.50, 0.55,
            0.60, 0.65, 0.70, 0.80, 0.90, 1.00, 1.10, 1.20, 1.30, 1.40, 1.60, 1.80,
            2.00, 2.20, 2.50, 3.00, 3.50, 4.00, 5.00, 7.00, 10.0};
}

WaterCoefficients waterCoefficientsAt(double energyKeV) {
    WaterCoefficients coefficients;
    coefficients.coherent = checkedXraylib("CS_Rayl_CP", energyKeV, [&](xrl_error** error) {
        return CS_Rayl_CP(kWaterCompound, energyKeV, error);
    });
    coefficients.incoherent = checkedXraylib("CS_Compt_CP", energyKeV, [&](xrl_error** error) {
        return CS_Compt_CP(kWaterCompound, energyKeV, error);
    });
    coefficients.photoelectric = checkedXraylib("CS_Photo_CP", energyKeV, [&](xrl_error** error) {
        return CS_Photo_CP(kWaterCompound, energyKeV, error);
    });
    return coefficients;
}

double waterFormFactor(double momentumTransfer) {
    // xraylib's FF_Rayl is the atomic form factor at q = sin(theta/2)/lambda in
    // 1/Angstrom, the same variable as x here; at q = 0 it returns Z.
    const auto atom = [momentumTransfer](int atomicNumber) {
        return checkedXraylib("FF_Rayl", momentumTransfer, [&](xrl_error** error) {
            return FF_Rayl(atomicNumber, momentumTransfer, error);
        });
    };
    // Independent atoms scatter without interference, so their coherent cross
    // sections add: F_water^2 = 2 F_H^2 + F_O^2. This keeps the angular shape
    // consistent with the coherent coefficient of Water.mix, which xraylib also
    // forms as the sum over the atoms.
    const double hydrogen = atom(kHydrogen);
    const double oxygen = atom(kOxygen);
    return std::sqrt(2 * hydrogen * hydrogen + oxygen * oxygen);
}

double waterIncoherentFunction(double momentumTransfer) {
    // S(0) = 0 exactly (no momentum transfer, no incoherent scattering); xraylib
    // refuses q = 0.
    if (momentumTransfer == 0) return 0;
    const auto atom = [momentumTransfer](int atomicNumber) {
        return checkedXraylib("SF_Compt", momentumTransfer, [&](xrl_error** error) {
            return SF_Compt(atomicNumber, momentumTransfer, error);
        });
    };
    return 2 * atom(kHydrogen) + atom(kOxygen);
}

std::string waterMixText(const NistTable& waterNist) {
    const std::vector<double> energies = waterMixEnergiesKeV();
    requireAscending(energies, "Water.mix energies");
    if (energies.size() < 2 || static_cast<int>(energies.size()) > kMaximumEnergyRows)
        throw std::logic_error("Water.mix needs 2 to 80 energies");
    if (!(energies.back() > kAirCoefficientCount * kAirBinWidthKeV))
        throw std::logic_error("Water.mix must reach above the highest spectrum bin");

    const std::string title = std::string(kWaterCompound) + " (xraylib " +
                              std::to_string(XRAYLIB_MAJOR) + "." + std::to_string(XRAYLIB_MINOR) +
                              "." + std::to_string(XRAYLIB_MICRO) + ")";
    if (title.size() > 30) throw std::logic_error("the Water.mix title is longer than A30");

    std::string text = title + kLineEnd;
    text += std::string("1.0") + kLineEnd;  // density in g/cm3, read and discarded
    text += std::to_string(energies.size()) + kLineEnd;
    for (double energyKeV : energies) {
        const WaterCoefficients c = waterCoefficientsAt(energyKeV);
        if (!(c.coherent > 0 && c.incoherent > 0 && c.photoelectric > 0))
            throw std::runtime_error("xraylib gave a non-positive coefficient at " +
                                     std::to_string(energyKeV) + " keV");
        const double energyMeV = energyKeV / 1000.0;
        // Columns 5 and 6 are not read by the engine; they hold the total of the
        // three for checking, and NIST's mu_en/rho of water for reference.
        text += exactExponentField(energyMeV, 9, 3);
        text += formatExponentField(c.coherent, 10, 3);
        text += formatExponentField(c.incoherent, 10, 3);
        text += formatExponentField(c.photoelectric, 10, 3);
        text += formatExponentField(c.coherent + c.incoherent + c.photoelectric, 10, 3);
        text += formatExponentField(logLogAt(waterNist, NistColumn::massEnergyAbsorption, energyMeV), 10, 3);
        text += kLineEnd;
    }
    return text;
}

std::string waterXfsText() {
    const std::vector<double> x = waterXfsMomentumTransfers();
    requireAscending(x, "Water.xfs x values");
    if (static_cast<int>(x.size()) != kScatteringFactorCount || x.front() != 0 || x.back() < 10)
        throw std::logic_error("Water.xfs needs 45 x values from 0 to at least 10");

    std::string text;
    bool formFactorAboveSecondPoint = false;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double formFactor = waterFormFactor(x[i]);
        const double incoherentFunction = waterIncoherentFunction(x[i]);
        // The engine normalises the coherent distribution by the sum over points
        // 3 to 45; it must not be zero.
        if (i >= 2 && formFactor > 0) formFactorAboveSecondPoint = true;
        text += exactExponentField(x[i], 10, 3);
        text += formatExponentField(formFactor, 12, 5);
        text += formatExponentField(incoherentFunction, 12, 5);
        text += kLineEnd;
    }
    if (!formFactorAboveSecondPoint) throw std::runtime_error("F(x) is zero above x(2)");
    return text;
}

std::string musXpText(const NistTable& airNist, const NistTable& waterNist) {
    // Column 1 holds the row's energy in keV (0.5 * i). E9.3 keeps three
    // significant digits, so from 100.5 keV on the half-keV rows show a rounded
    // energy; the engine takes the energy from the row number, not from this field.
    // Row 1 (0.5 keV) lies below NIST's first energy (1 keV) and is extrapolated
    // along the first interval; the engine never uses it.
    std::string text;
    for (int bin = 1; bin <= kAirCoefficientCount; ++bin) {
        const double energyKeV = kAirBinWidthKeV * bin;
        const double energyMeV = energyKeV / 1000.0;
        text += formatExponentField(energyKeV, 9, 3);
        text += formatExponentField(logLogAt(airNist, NistColumn::massAttenuation, energyMeV), 13, 5);
        text += formatExponentField(logLogAt(waterNist, NistColumn::massAttenuation, energyMeV), 13, 5);
        text += formatExponentField(logLogAt(waterNist, NistColumn::massEnergyAbsorption, energyMeV), 13, 5);
        text += formatExponentField(logLogAt(airNist, NistColumn::massEnergyAbsorption, energyMeV), 13, 5);
        text += kLineEnd;
    }
    return text;
}

PhysicsTables generatePhysicsTables(const std::string& nistDirectory) {
    const NistTable waterNist = readNistTable(nistDirectory, kNistWaterFileName);
    const NistTable airNist = readNistTable(nistDirectory, kNistAirFileName);
    return {waterMixText(waterNist), waterXfsText(), musXpText(airNist, waterNist)};
}

void writePhysicsTables(const PhysicsTables& tables, const std::string& outputDirectory) {
    writeFileAtomically(outputDirectory + "/" + kWaterMixFileName, tables.waterMix);
    writeFileAtomically(outputDirectory + "/" + kWaterXfsFileName, tables.waterXfs);
    writeFileAtomically(outputDirectory + "/" + kMusXpFileName, tables.musXp);
}

}  // namespace velmora::physics_data
