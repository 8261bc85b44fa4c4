// The spectrum model against independent numbers: measured PTB beam qualities,
// the TASMIP model, closed forms for a single energy, and the published table.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "tools/xtubex/attenuation.h"
#include "tools/xtubex/spectrum_model.h"
#include "tools/xtubex/tables.h"

namespace velmora::xtubex {

// Names the beam in test output instead of dumping its bytes.
void PrintTo(const ReferenceBeam& beam, std::ostream* stream) { *stream << beam.quality; }

namespace {

const SpectrumModel& model() {
    // Built once: the tables are read-only after loading.
    static const SpectrumModel instance(loadEmbeddedTables());
    return instance;
}

// ---- Measured reference beams ---------------------------------------------

// Everything in the measured beam besides the tube window: extra beryllium
// beyond TASMICS's 0.8 mm, the filters, the air path and the monitor chamber's
// Kapton.
Beam referenceBeam(const ReferenceBeam& reference) {
    const std::vector<Layer> layers = {
        {elementMaterial("Be"), reference.berylliumMm - 0.8},
        {elementMaterial("Al"), reference.aluminiumMm},
        {elementMaterial("Cu"), reference.copperMm},
        {dryAir(), reference.airMm},
        {kapton(), reference.kaptonMm},
    };
    Beam beam;
    beam.spectrum = SpectrumModel::filtered(
        model().tubeSpectrum(reference.tubeVoltageKV, reference.anodeAngleDeg, 0.0), layers);
    beam.quality = model().quality(beam.spectrum);
    return beam;
}

class ReferenceBeamTest : public ::testing::TestWithParam<ReferenceBeam> {};

TEST_P(ReferenceBeamTest, HalfValueLayersWithinFourPercentOfMeasurement) {
    const ReferenceBeam& reference = GetParam();
    ASSERT_GE(reference.berylliumMm, 0.8);
    const BeamQuality quality = referenceBeam(reference).quality;
    const double hvl1Deviation = quality.hvl1MmAl / reference.hvl1MmAl - 1.0;
    const double hvl2Deviation = quality.hvl2MmAl / reference.hvl2MmAl - 1.0;
    std::printf("%-6s %5.0f kV  HVL1 %.3f (measured %.2f, %+.1f %%)  HVL2 %.3f (measured %.2f, %+.1f %%)\n",
                reference.quality.c_str(), reference.tubeVoltageKV, quality.hvl1MmAl, reference.hvl1MmAl,
                100 * hvl1Deviation, quality.hvl2MmAl, reference.hvl2MmAl, 100 * hvl2Deviation);
    EXPECT_LT(std::abs(hvl1Deviation), 0.04) << reference.quality;
    EXPECT_LT(std::abs(hvl2Deviation), 0.04) << reference.quality;
}

INSTANTIATE_TEST_SUITE_P(PtbRqr, ReferenceBeamTest, ::testing::ValuesIn(loadEmbeddedReferenceBeams()),
                         [](const auto& info) { return info.param.quality; });

TEST(ReferenceBeamTable, HoldsTheNineRqrQualities) {
    const auto beams = loadEmbeddedReferenceBeams();
    ASSERT_EQ(beams.size(), 9u);
    EXPECT_EQ(beams.front().quality, "RQR2");
    EXPECT_EQ(beams.back().quality, "RQR10");
}

// ---- TASMIP as an independent model ---------------------------------------

// TASMIP was fitted to spectra measured behind a conventional tube housing, so
// its spectra carry that tube's inherent filtration, while TASMICS has only
// 0.8 mm Be: taken as they are, TASMIP's HVL1 behind 2.5 mm Al is 20-27 % above
// TASMICS's. The comparison therefore gives TASMICS the aluminium equivalent of
// that inherent filtration, found once by matching HVL1 at 80 kV (about
// 2.0 mm Al), and then checks the voltage dependence over 40-140 kV. Both at a
// 12° anode (where TASMICS is used as tabulated) and constant potential.
// Largest deviation found: 3.3 % at 140 kV (2.9 % at 40 kV, below 2 % between
// 50 and 130 kV); bound 3.5 %.
TEST(TasmipCrossCheck, FirstHalfValueLayerAgreesWithinThreeAndAHalfPercentFrom40To140kV) {
    const Material aluminium = elementMaterial("Al");
    const auto hvl1 = [&](const BinnedSpectrum& spectrum, double aluminiumMm) {
        const std::vector<Layer> filter = {{aluminium, aluminiumMm}};
        return model().quality(SpectrumModel::filtered(spectrum, filter)).hvl1MmAl;
    };
    const double addedMm = 2.5;
    const double tasmipAt80 = hvl1(model().tasmipSpectrum(80), addedMm);
    double low = 0, high = 5;
    for (int step = 0; step < 50; ++step) {
        const double middle = 0.5 * (low + high);
        (hvl1(model().tubeSpectrum(80, 12, 0), addedMm + middle) < tasmipAt80 ? low : high) = middle;
    }
    const double inherentMm = 0.5 * (low + high);
    std::printf("aluminium equivalent of TASMIP's inherent filtration: %.2f mm\n", inherentMm);
    EXPECT_GT(inherentMm, 1.0);
    EXPECT_LT(inherentMm, 3.0);

    double largestDeviation = 0;
    for (double voltageKV = 40; voltageKV <= 140; voltageKV += 10) {
        const double hvlTasmics = hvl1(model().tubeSpectrum(voltageKV, 12, 0), addedMm + inherentMm);
        const double hvlTasmip = hvl1(model().tasmipSpectrum(voltageKV), addedMm);
        const double deviation = hvlTasmics / hvlTasmip - 1.0;
        std::printf("%5.0f kV  HVL1 TASMICS %.3f  TASMIP %.3f mm Al  (%+.2f %%)\n", voltageKV, hvlTasmics, hvlTasmip,
                    100 * deviation);
        largestDeviation = std::max(largestDeviation, std::abs(deviation));
        EXPECT_LT(std::abs(deviation), 0.035) << voltageKV << " kV";
    }
    std::printf("largest |deviation| %.2f %%\n", 100 * largestDeviation);
}

// ---- Absolute air kerma ----------------------------------------------------

// Measured outputs of radiographic tubes at 1 m for 80 kV and 2.5-3 mm Al total
// filtration lie at roughly 40-60 µGy/mAs.
TEST(AirKerma, EightyKilovoltBeamMatchesPublishedTubeOutput) {
    for (const double aluminiumMm : {2.5, 3.0}) {
        BeamSettings settings;
        settings.tubeVoltageKV = 80;
        settings.aluminiumMm = aluminiumMm;
        const double kerma = model().computeBeam(settings).quality.airKermaMicroGyPerMAs;
        std::printf("80 kV, %.1f mm Al, 12 deg: %.1f uGy/mAs at 100 cm\n", aluminiumMm, kerma);
        EXPECT_GT(kerma, 40.0);
        EXPECT_LT(kerma, 60.0);
    }
}

// A single energy: K = N·E·(μen/ρ) by hand from the NIST table at 60 keV
// (0.03041 cm²/g), and HVL1 = HVL2 = ln 2 / μ_Al with NIST μ/ρ(Al, 60 keV) =
// 0.2778 cm²/g at 2.699 g/cm³.
TEST(AirKerma, SingleEnergyFollowsTheClosedForms) {
    BinnedSpectrum spectrum;
    spectrum.fluence[120] = 1.0e4;  // photons / mm² at 60 keV
    const BeamQuality quality = model().quality(spectrum);
    const double expectedGy = 1.0e4 * 100 * 60.0 * 1.602177e-16 * 0.03041 * 1000;
    EXPECT_NEAR(quality.airKermaMicroGyPerMAs, expectedGy * 1e6, 1e-9 * expectedGy * 1e6);
    const double expectedHvlMm = std::log(2.0) / (0.2778 * 2.699) * 10;
    EXPECT_NEAR(quality.hvl1MmAl, expectedHvlMm, 0.01 * expectedHvlMm);
    EXPECT_NEAR(quality.hvl2MmAl, quality.hvl1MmAl, 1e-6);
    EXPECT_DOUBLE_EQ(quality.meanEnergyKeV, 60.0);
}

TEST(AirKerma, NistInterpolationIsExactAtRowsAndRespectsTheArgonEdge) {
    const auto& air = model().tables().air;
    EXPECT_NEAR(interpolateEnergyAbsorption(air, 30.0), 0.1537, 1e-12);
    EXPECT_NEAR(interpolateEnergyAbsorption(air, 100.0), 0.02325, 1e-12);
    // Log-log between 50 keV (0.04098) and 60 keV (0.03041).
    const double slope = std::log(0.03041 / 0.04098) / std::log(60.0 / 50.0);
    EXPECT_NEAR(interpolateEnergyAbsorption(air, 55.0), 0.04098 * std::pow(1.1, slope), 1e-12);
    // Just above the argon K edge the upper branch applies.
    const double edgeSlope = std::log(76.36 / 146.0) / std::log(4.0 / 3.2029);
    EXPECT_NEAR(interpolateEnergyAbsorption(air, 3.5), 146.0 * std::pow(3.5 / 3.2029, edgeSlope), 1e-9);
    EXPECT_NEAR(interpolateEnergyAbsorption(air, 3.0), 161.4, 1e-9);
}

TEST(AirKerma, EmptySpectrumIsRefused) {
    EXPECT_THROW(model().quality(BinnedSpectrum{}), std::domain_error);
}

// ---- The spectrum itself -----------------------------------------------------

TEST(Tasmics, InterpolationReproducesTableEntriesAndInterpolatesLinearly) {
    const auto& table = model().tables().tasmics;
    // Entries of the published table (kV80 column, E = 50 and 79 keV).
    EXPECT_DOUBLE_EQ(tasmicsFluencePerKeV(table, 80, 79), 852.5);
    EXPECT_DOUBLE_EQ(tasmicsFluencePerKeV(table, 20, 19), 6463.2);
    const double at80 = tasmicsFluencePerKeV(table, 80, 50);
    const double at81 = tasmicsFluencePerKeV(table, 81, 50);
    EXPECT_NEAR(tasmicsFluencePerKeV(table, 80.5, 50), 0.5 * (at80 + at81), 1e-9 * at80);
    EXPECT_NEAR(tasmicsFluencePerKeV(table, 80, 50.5),
                0.5 * (at80 + tasmicsFluencePerKeV(table, 80, 51)), 1e-9 * at80);
    // Nothing at or above the tube voltage, nothing below the table's voltages.
    EXPECT_EQ(tasmicsFluencePerKeV(table, 80, 80), 0.0);
    EXPECT_EQ(tasmicsFluencePerKeV(table, 80.3, 80.3), 0.0);
    EXPECT_EQ(tasmicsFluencePerKeV(table, 19.5, 10), 0.0);
    EXPECT_THROW(tasmicsFluencePerKeV(table, 150.5, 10), std::invalid_argument);
}

TEST(Spectrum, BinsFollowTheTableAtHalfKilovoltSteps) {
    // Bin k holds 0.5 keV times the fluence per keV at 0.5·k keV.
    const auto spectrum = model().tubeSpectrum(80, 12, 0);
    EXPECT_DOUBLE_EQ(spectrum.fluence[158], 0.5 * 852.5);  // 79 keV
    EXPECT_EQ(spectrum.fluence[160], 0.0);                 // 80 keV
}

struct SweepCase {
    double voltageKV;
    double anodeAngleDeg;
    double ripplePercent;
};

class SpectrumSweep : public ::testing::TestWithParam<SweepCase> {};

TEST_P(SpectrumSweep, NoWeightAtOrAboveTheVoltageAndNoNegativeBins) {
    const auto& [voltageKV, angle, ripple] = GetParam();
    BeamSettings settings;
    settings.tubeVoltageKV = voltageKV;
    settings.anodeAngleDeg = angle;
    settings.ripplePercent = ripple;
    settings.aluminiumMm = 2.5;
    const Beam beam = model().computeBeam(settings);
    const int binLimit = beam.spectrum.highestNonZeroBin() + 1;
    EXPECT_LE(binLimit, 2 * voltageKV + 1);
    EXPECT_GE(binLimit, 2 * voltageKV * (1 - ripple / 100) - 2);
    for (int bin = 1; bin <= kBinCount; ++bin) {
        EXPECT_GE(beam.spectrum.fluence[bin], 0.0) << bin;
        if (binEnergyKeV(bin) >= voltageKV) {
            EXPECT_EQ(beam.spectrum.fluence[bin], 0.0) << bin;
        }
    }
    EXPECT_GT(beam.quality.meanEnergyKeV, 0.3 * voltageKV);
    EXPECT_LT(beam.quality.meanEnergyKeV, voltageKV);
    EXPECT_GT(beam.quality.hvl2MmAl, beam.quality.hvl1MmAl);  // beam hardening
}

INSTANTIATE_TEST_SUITE_P(Settings, SpectrumSweep,
                         ::testing::Values(SweepCase{20, 12, 0}, SweepCase{20.3, 6, 0}, SweepCase{47.3, 20, 5},
                                           SweepCase{80, 12, 0}, SweepCase{80, 25, 13}, SweepCase{120, 10, 100},
                                           SweepCase{149.5, 12, 0}, SweepCase{150, 16, 4}),
                         [](const auto& info) {
                             // "kV80p0_deg12_ripple0"
                             std::string name = "kV" + std::to_string(info.param.voltageKV).substr(0, 5) + "_deg" +
                                                std::to_string(static_cast<int>(info.param.anodeAngleDeg)) +
                                                "_ripple" + std::to_string(static_cast<int>(info.param.ripplePercent));
                             for (char& c : name) c = c == '.' ? 'p' : c;
                             return name;
                         });

TEST(Spectrum, RippleVoltagesFollowTheWaveform) {
    const auto voltages = rippleVoltagesKV(100, 20);
    EXPECT_DOUBLE_EQ(voltages[9], 100.0);                      // j = 10: |sin(π/2)| = 1
    EXPECT_NEAR(voltages[19], 80.0, 1e-12);                    // j = 20: sin π = 0
    EXPECT_NEAR(voltages[4], 80 + 20 * std::sqrt(0.5), 1e-12);  // j = 5: sin(π/4)
    for (const double voltage : rippleVoltagesKV(100, 0)) EXPECT_EQ(voltage, 100.0);
}

TEST(Spectrum, RippleAndSteeperAnodeSoftenTheBeam) {
    BeamSettings constant;
    BeamSettings rippled = constant;
    rippled.ripplePercent = 30;
    EXPECT_LT(model().computeBeam(rippled).quality.hvl1MmAl, model().computeBeam(constant).quality.hvl1MmAl);
    // A smaller anode angle lengthens the path in tungsten: harder beam.
    BeamSettings steep = constant;
    steep.anodeAngleDeg = 7;
    EXPECT_GT(model().computeBeam(steep).quality.hvl1MmAl, model().computeBeam(constant).quality.hvl1MmAl);
    // At the reference angle of 12° the tabulated spectrum is kept unchanged.
    EXPECT_DOUBLE_EQ(model().tubeSpectrum(80, 12, 0).fluence[100], 0.5 * tasmicsFluencePerKeV(
                                                                             model().tables().tasmics, 80, 50));
}

TEST(Spectrum, CopperHalfValueLayerIsThinnerThanAluminium) {
    BeamSettings settings;
    settings.copperMm = 0.1;
    const auto quality = model().computeBeam(settings).quality;
    EXPECT_LT(quality.hvl1MmCu, quality.hvl1MmAl / 10);
    EXPECT_GT(quality.hvl1MmCu, quality.hvl1MmAl / 40);
}

TEST(Spectrum, ExtraFilterHardensTheBeam) {
    BeamSettings plain;
    BeamSettings tin = plain;
    tin.extraFilter = "Sn";
    tin.extraFilterMm = 0.1;
    EXPECT_GT(model().computeBeam(tin).quality.hvl1MmAl, model().computeBeam(plain).quality.hvl1MmAl);
    BeamSettings unknown = plain;
    unknown.extraFilter = "Xx";
    EXPECT_THROW(model().computeBeam(unknown), std::invalid_argument);
}

}  // namespace
}  // namespace velmora::xtubex
