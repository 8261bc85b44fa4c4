// Writer of the spectrum file read by the engine.
#include "tools/xtubex/spectrum_file.h"

#include <charconv>
#include <stdexcept>

#include "formats/fixed_width.h"
#include "formats/text_file.h"

namespace velmora::xtubex {

std::string fixedText(double value, int decimals) {
    char buffer[64];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (error != std::errc()) return "*";
    return std::string(buffer, end);
}

std::array<std::string, kHeaderLineCount> spectrumHeaderLines(const BeamSettings& settings,
                                                              const BeamQuality& quality) {
    std::array<std::string, kHeaderLineCount> lines = {
        "X-TUBEX W anode (TASMICS)",
        "Tube voltage " + fixedText(settings.tubeVoltageKV, 1) + " kV",
        "Anode " + fixedText(settings.anodeAngleDeg, 1) + " deg, ripple " + fixedText(settings.ripplePercent, 1) +
            " %",
        "Filter Al " + fixedText(settings.aluminiumMm, 2) + " Cu " + fixedText(settings.copperMm, 3) + " mm",
        settings.extraFilter.empty()
            ? std::string("Extra filter none")
            : "Extra filter " + settings.extraFilter + " " + fixedText(settings.extraFilterMm, 3) + " mm",
        "HVL1 " + fixedText(quality.hvl1MmAl, 3) + " mmAl " + fixedText(quality.hvl1MmCu, 4) + " mmCu",
        "Mean energy " + fixedText(quality.meanEnergyKeV, 2) + " keV",
        "Kair " + fixedText(quality.airKermaMicroGyPerMAs, 2) + " uGy/mAs at 100 cm",
        "Fluence: % of peak bin",
    };
    // The engine keeps 30 bytes of each line; the ranges of the inputs keep
    // every line within that, the cut only guards the layout.
    for (auto& line : lines) {
        if (line.size() > kHeaderLineBytes) line.resize(kHeaderLineBytes);
    }
    return lines;
}

std::string spectrumFileBytes(const BeamSettings& settings, const Beam& beam) {
    const double peak = beam.spectrum.peak();
    if (!(peak > 0)) throw std::domain_error("The spectrum holds no photons.");
    std::string bytes;
    for (const auto& line : spectrumHeaderLines(settings, beam.quality)) bytes += line + "\r\n";
    for (int bin = 1; bin <= kBinCount; ++bin) {
        const double intensity = kPeakIntensity * beam.spectrum.fluence[bin] / peak;
        bytes += formatFixedField(binEnergyKeV(bin), 6, 1);
        bytes += formatFixedField(intensity, 9, 5);
        bytes += "\r\n";
    }
    return bytes;
}

void writeSpectrumFile(const std::string& path, const BeamSettings& settings, const Beam& beam) {
    writeFileAtomically(path, spectrumFileBytes(settings, beam));
}

}  // namespace velmora::xtubex
