// The engine's own reader accepts what X-TUBEX writes: header kept, weights
// non-negative and summing to 1, and no bin at or above the tube voltage.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/spectrum/spectrum.h"
#include "tools/xtubex/spectrum_file.h"
#include "tools/xtubex/spectrum_model.h"
#include "tools/xtubex/tables.h"

namespace velmora::xtubex {
namespace {

TEST(EngineReader, ReadsTheWrittenFileForEverySetting) {
    const SpectrumModel model(loadEmbeddedTables());
    struct Case {
        double voltageKV, angleDeg, ripplePercent, aluminiumMm, copperMm;
    };
    const Case cases[] = {{20, 12, 0, 0, 0},     {40, 20, 0, 2.5, 0},  {80, 12, 0, 2.5, 0}, {80.3, 16, 5, 3, 0.1},
                          {100, 10, 13, 3, 0.3}, {120, 12, 100, 2.5, 0.2}, {150, 25, 0, 2.5, 1}};
    for (const auto& c : cases) {
        BeamSettings settings;
        settings.tubeVoltageKV = c.voltageKV;
        settings.anodeAngleDeg = c.angleDeg;
        settings.ripplePercent = c.ripplePercent;
        settings.aluminiumMm = c.aluminiumMm;
        settings.copperMm = c.copperMm;
        const Beam beam = model.computeBeam(settings);
        const Spectrum spectrum = parseSpectrumFile(spectrumFileBytes(settings, beam), kSpectrumFileName);

        EXPECT_LE(spectrum.binLimit, 2 * c.voltageKV + 1) << c.voltageKV;
        EXPECT_LE(spectrum.binLimit, beam.spectrum.highestNonZeroBin() + 1);
        // Bins dropped by the five decimals hold less than 5e-8 of the peak.
        EXPECT_GE(spectrum.binLimit, 2 * c.voltageKV * (1 - c.ripplePercent / 100) - 4) << c.voltageKV;
        double sum = 0;
        for (int bin = 1; bin <= kSpectrumBins; ++bin) {
            EXPECT_GE(spectrum.weight[bin], 0.0f);
            sum += spectrum.weight[bin];
        }
        EXPECT_NEAR(sum, 1.0, 1e-5);
        const auto header = spectrumHeaderLines(settings, beam.quality);
        for (int line = 0; line < 9; ++line) {
            EXPECT_EQ(spectrum.header[line], header[line] + std::string(30 - header[line].size(), ' '));
        }
    }
}

}  // namespace
}  // namespace velmora::xtubex
