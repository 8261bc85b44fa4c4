// The spectrum file as bytes: nine header lines of at most 30 bytes, 300
// records with energy in columns 1-6 (F6.1) and intensity in 7-15 (F9.5), CR LF.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "formats/input_error.h"
#include "tools/xtubex/spectrum_file.h"
#include "tools/xtubex/spectrum_model.h"
#include "tools/xtubex/tables.h"

namespace velmora::xtubex {
namespace {

const SpectrumModel& model() {
    static const SpectrumModel instance(loadEmbeddedTables());
    return instance;
}

// Splits at CR LF; fails the test on a bare LF or CR.
std::vector<std::string> crlfLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const auto end = bytes.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "last line without CR LF";
        if (end == std::string::npos) break;
        const std::string line = bytes.substr(start, end - start);
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "bare CR or LF in line " << lines.size() + 1;
        lines.push_back(line);
        start = end + 2;
    }
    return lines;
}

TEST(SpectrumFile, RecordsHaveTheFixedColumns) {
    BeamSettings settings;
    const Beam beam = model().computeBeam(settings);
    const std::string bytes = spectrumFileBytes(settings, beam);
    const auto lines = crlfLines(bytes);
    ASSERT_EQ(lines.size(), 309u);
    for (const unsigned char byte : bytes) ASSERT_LT(byte, 0x80);  // ASCII: the same bytes in Shift_JIS

    // Energy F6.1 (no leading zero before the point), intensity F9.5.
    EXPECT_EQ(lines[8 + 1], "    .5   .00000");
    EXPECT_EQ(lines[8 + 160].substr(0, 6), "  80.0");
    EXPECT_EQ(lines[8 + 300], " 150.0   .00000");
    double largest = 0;
    for (int bin = 1; bin <= kBinCount; ++bin) {
        const std::string& record = lines[8 + bin];
        ASSERT_EQ(record.size(), 15u) << "record " << bin;
        const std::string energy = record.substr(0, 6);
        const std::string intensity = record.substr(6, 9);
        EXPECT_EQ(energy[4], '.') << record;
        EXPECT_DOUBLE_EQ(std::stod(energy), binEnergyKeV(bin)) << record;
        EXPECT_EQ(intensity[3], '.') << record;
        EXPECT_EQ(intensity.find_first_not_of(" 0123456789."), std::string::npos) << record;  // no sign
        const double value = std::stod(intensity);
        EXPECT_NEAR(value, kPeakIntensity * beam.spectrum.fluence[bin] / beam.spectrum.peak(), 5.1e-6) << record;
        largest = std::max(largest, value);
    }
    EXPECT_EQ(largest, 100.0);
    EXPECT_NE(bytes.find("100.00000\r\n"), std::string::npos);
}

TEST(SpectrumFile, HeaderDescribesTheBeam) {
    BeamSettings settings;
    settings.tubeVoltageKV = 80;
    settings.anodeAngleDeg = 12;
    settings.ripplePercent = 0;
    settings.aluminiumMm = 2.5;
    settings.copperMm = 0.1;
    BeamQuality quality;
    quality.hvl1MmAl = 3.4567;
    quality.hvl1MmCu = 0.12346;
    quality.meanEnergyKeV = 47.1234;
    quality.airKermaMicroGyPerMAs = 41.987;
    const auto header = spectrumHeaderLines(settings, quality);
    const std::array<std::string, 9> expected = {
        "X-TUBEX W anode (TASMICS)",    "Tube voltage 80.0 kV",       "Anode 12.0 deg, ripple 0.0 %",
        "Filter Al 2.50 Cu 0.100 mm",   "Extra filter none",          "HVL1 3.457 mmAl 0.1235 mmCu",
        "Mean energy 47.12 keV",        "Kair 41.99 uGy/mAs at 100 cm", "Fluence: % of peak bin",
    };
    EXPECT_EQ(header, expected);
    settings.extraFilter = "Sn";
    settings.extraFilterMm = 0.2;
    EXPECT_EQ(spectrumHeaderLines(settings, quality)[4], "Extra filter Sn 0.200 mm");
}

TEST(SpectrumFile, HeaderLinesFitThirtyBytesAtTheLimitsOfEveryInput) {
    BeamSettings settings;
    settings.tubeVoltageKV = 150;
    settings.anodeAngleDeg = 25;
    settings.ripplePercent = 100;
    settings.aluminiumMm = 100;
    settings.copperMm = 10;
    settings.extraFilter = "PMMA";
    settings.extraFilterMm = 10;
    const Beam beam = model().computeBeam(settings);
    for (const auto& line : spectrumHeaderLines(settings, beam.quality)) {
        EXPECT_LE(line.size(), 30u) << line;
        // Nothing was cut: every line ends in its unit or word.
        EXPECT_TRUE(line.ends_with("mm") || line.ends_with("kV") || line.ends_with("%") ||
                    line.ends_with("keV") || line.ends_with("cm") || line.ends_with("bin") ||
                    line.ends_with("mmCu") || line.ends_with(")"))
            << line;
    }
    // And the softest beam the inputs allow still has its figures.
    BeamSettings soft;
    soft.tubeVoltageKV = 20;
    soft.aluminiumMm = 0;
    const Beam softBeam = model().computeBeam(soft);
    for (const auto& line : spectrumHeaderLines(soft, softBeam.quality)) EXPECT_LE(line.size(), 30u) << line;
}

class SpectrumFileOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
        directory_ = std::filesystem::temp_directory_path() /
                     ("xtubex_file_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(directory_);
        std::filesystem::create_directories(directory_);
    }
    void TearDown() override { std::filesystem::remove_all(directory_); }

    static std::string readBytes(const std::filesystem::path& path) {
        std::ifstream stream(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(stream), {}};
    }

    std::filesystem::path directory_;
};

TEST_F(SpectrumFileOnDisk, WritesTheBytesAndReplacesAnOlderFile) {
    const auto path = directory_ / kSpectrumFileName;
    {
        std::ofstream old(path, std::ios::binary);
        old << "an older spectrum that is longer than nothing\r\n";
    }
    BeamSettings settings;
    settings.tubeVoltageKV = 65;
    const Beam beam = model().computeBeam(settings);
    writeSpectrumFile(path.string(), settings, beam);
    EXPECT_EQ(readBytes(path), spectrumFileBytes(settings, beam));
    // Only the finished file is left: no temporary beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(directory_), {}), 1);
}

TEST_F(SpectrumFileOnDisk, UnwritablePlaceThrowsAndLeavesNothing) {
    BeamSettings settings;
    const Beam beam = model().computeBeam(settings);
    const auto path = directory_ / "missing" / kSpectrumFileName;
    EXPECT_THROW(writeSpectrumFile(path.string(), settings, beam), InputError);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(directory_), {}), 0);
}

TEST(SpectrumFile, EmptySpectrumIsNotWritten) {
    EXPECT_THROW(spectrumFileBytes(BeamSettings{}, Beam{}), std::domain_error);
}

}  // namespace
}  // namespace velmora::xtubex
