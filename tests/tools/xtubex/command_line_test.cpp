// The command-line mode: writes the same file as the window for the same
// settings and prints the figures; refuses bad arguments with a reason, a
// non-zero status and no file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "tools/xtubex/command_line.h"
#include "tools/xtubex/spectrum_file.h"
#include "tools/xtubex/spectrum_model.h"
#include "tools/xtubex/tables.h"

namespace velmora::xtubex {
namespace {

class CommandLine : public ::testing::Test {
protected:
    void SetUp() override {
        directory_ = std::filesystem::temp_directory_path() /
                     ("xtubex_cli_test_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(directory_);
        std::filesystem::create_directories(directory_);
    }
    void TearDown() override { std::filesystem::remove_all(directory_); }

    int run(std::vector<std::string> arguments) {
        output_.str({});
        errors_.str({});
        return runCommandLine(arguments, output_, errors_);
    }
    std::string outputPath() const { return (directory_ / "spectrum.dat").string(); }
    bool directoryIsEmpty() const { return std::filesystem::is_empty(directory_); }

    std::filesystem::path directory_;
    std::ostringstream output_;
    std::ostringstream errors_;
};

TEST_F(CommandLine, WritesTheSpectrumOfItsArgumentsAndPrintsTheFigures) {
    ASSERT_EQ(run({"--kv", "80", "--al", "3", "--cu", "0.1", "--anode-angle", "14", "--ripple", "4", "--output",
                   outputPath()}),
              0)
        << errors_.str();
    BeamSettings settings;
    settings.tubeVoltageKV = 80;
    settings.aluminiumMm = 3;
    settings.copperMm = 0.1;
    settings.anodeAngleDeg = 14;
    settings.ripplePercent = 4;
    const SpectrumModel model(loadEmbeddedTables());
    const Beam beam = model.computeBeam(settings);
    std::ifstream stream(outputPath(), std::ios::binary);
    const std::string written{std::istreambuf_iterator<char>(stream), {}};
    EXPECT_EQ(written, spectrumFileBytes(settings, beam));

    const std::string text = output_.str();
    EXPECT_NE(text.find("HVL1 / HVL2 (Al)      " + fixedText(beam.quality.hvl1MmAl, 3)), std::string::npos) << text;
    EXPECT_NE(text.find("Mean energy           " + fixedText(beam.quality.meanEnergyKeV, 2) + " keV"),
              std::string::npos);
    EXPECT_NE(text.find("Air kerma at 100 cm   " + fixedText(beam.quality.airKermaMicroGyPerMAs, 2) + " uGy/mAs"),
              std::string::npos);
    EXPECT_TRUE(errors_.str().empty());
}

TEST_F(CommandLine, DefaultsAndEqualsFormAndExtraFilter) {
    ASSERT_EQ(run({"--kv=100", "--filter", "Sn", "--filter-mm=0.2", "--output=" + outputPath()}), 0) << errors_.str();
    std::ifstream stream(outputPath(), std::ios::binary);
    std::string line;
    std::vector<std::string> header;
    for (int index = 0; index < 5 && std::getline(stream, line); ++index) header.push_back(line);
    ASSERT_EQ(header.size(), 5u);
    EXPECT_EQ(header[1], "Tube voltage 100.0 kV\r");
    EXPECT_EQ(header[2], "Anode 12.0 deg, ripple 0.0 %\r");
    EXPECT_EQ(header[3], "Filter Al 2.50 Cu 0.000 mm\r");
    EXPECT_EQ(header[4], "Extra filter Sn 0.200 mm\r");
}

TEST_F(CommandLine, HelpWritesNothing) {
    EXPECT_EQ(run({"--help"}), 0);
    EXPECT_NE(output_.str().find("Usage: X-TUBEX"), std::string::npos);
    EXPECT_TRUE(directoryIsEmpty());
}

struct BadArguments {
    std::vector<std::string> arguments;
    const char* reason;
};

TEST_F(CommandLine, RefusesBadArgumentsWithAReasonAndWritesNothing) {
    const std::vector<BadArguments> cases = {
        {{"--kv", "200"}, "--kv: Tube voltage must be between 20 and 150 kV."},
        {{"--kv", "19"}, "--kv: Tube voltage must be between 20 and 150 kV."},
        {{"--kv", "eighty"}, "--kv: \"eighty\" is not a number."},
        {{"--kv", "80kV"}, "--kv: \"80kV\" is not a number."},
        {{"--al", "-1"}, "--al: Thickness must not be negative."},
        {{"--cu", "-0.1"}, "--cu: Thickness must not be negative."},
        {{"--cu", "1e"}, "--cu: \"1e\" is not a number."},
        {{"--anode-angle", "nan"}, "--anode-angle: \"nan\" is not a number."},
        {{"--ripple", "120"}, "--ripple: Ripple must be between 0 and 100 %."},
        {{"--kv"}, "--kv: a value must follow."},
        {{"--voltage", "80"}, "--voltage: unknown option."},
        {{"80"}, "80: unknown option."},
        {{"--filter", "Xx", "--filter-mm", "1"}, "--filter: \"Xx\" is not one of"},
        {{"--filter-mm", "0.1"}, "--filter-mm: name the material with --filter."},
        {{"--output", ""}, "--output: the file name is empty."},
    };
    for (const auto& [arguments, reason] : cases) {
        std::vector<std::string> withOutput = arguments;
        withOutput.insert(withOutput.begin(), {"--output", outputPath()});
        EXPECT_EQ(run(withOutput), 2) << reason;
        EXPECT_NE(errors_.str().find(std::string("X-TUBEX: ") + reason), std::string::npos) << errors_.str();
        EXPECT_NE(errors_.str().find("nothing written"), std::string::npos);
        EXPECT_TRUE(directoryIsEmpty()) << reason;
    }
}

TEST_F(CommandLine, UnwritableOutputFailsWithTheReason) {
    const std::string path = (directory_ / "no such folder" / "spectrum.dat").string();
    EXPECT_EQ(run({"--output", path}), 1);
    EXPECT_NE(errors_.str().find("no such folder"), std::string::npos) << errors_.str();
    EXPECT_TRUE(output_.str().empty());
    EXPECT_TRUE(directoryIsEmpty());
}

}  // namespace
}  // namespace velmora::xtubex
