#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

#include "engine/io/input_files.h"
#include "formats/input_error.h"

namespace velmora {
namespace {

std::string waterMix(int rows = 3) {
    std::string text = "Water test table\r\n1.0\r\n" + std::to_string(rows) + "\r\n";
    const char* energies[] = {" .100E-01", " .500E-01", " .200E+00", " .300E+00"};
    for (int i = 0; i < rows; ++i) {
        text += std::string(energies[i]) + "  .500E-01  .200E+00  .300E+00  .100E+01  .100E+01\r\n";
    }
    return text;
}

std::string waterXfs() {
    std::string text;
    for (int i = 1; i <= 45; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "%10.3f%12.5f%12.5f\r\n", 0.25 * (i - 1), 10.0 / i, i == 1 ? 0.0 : 9.0);
        text += line;
    }
    return text;
}

std::string musXp() {
    std::string text;
    for (int i = 1; i <= 300; ++i) {
        char line[80];
        std::snprintf(line, sizeof line, "%9.4f%13.5f%13.5f%13.5f%13.5f\r\n", 0.5 * i, 1.0, 1.0, 1.0, 0.5);
        text += line;
    }
    return text;
}

std::string replaceLine(std::string text, int lineNumber, const std::string& replacement) {
    std::size_t start = 0;
    for (int i = 1; i < lineNumber; ++i) start = text.find('\n', start) + 1;
    const std::size_t end = text.find('\n', start);
    return text.replace(start, end - start, replacement + "\r");
}

TEST(TableFiles, ValidTablesLoad) {
    const CrossSectionTable mix = parseCrossSectionTable(waterMix(), "Water.mix");
    EXPECT_EQ(mix.count, 3);
    EXPECT_FLOAT_EQ(mix.energy[1], 10.0f);  // MeV to keV
    EXPECT_FLOAT_EQ(mix.energy[3], 200.0f);
    EXPECT_FLOAT_EQ(mix.photoelectric[2], 0.3f);
    const ScatteringFactorTable xfs = parseScatteringFactorTable(waterXfs(), "Water.xfs");
    EXPECT_FLOAT_EQ(xfs.x[45], 11.0f);
    EXPECT_FLOAT_EQ(xfs.formFactor[2], 5.0f);
    const AirCoefficients air = parseAirCoefficients(musXp(), "Mus-XP.dat");
    EXPECT_FLOAT_EQ(air.value[300], 0.5f);
}

TEST(TableFiles, BadTablesNameFileLineAndField) {
    struct Case {
        std::function<void()> parse;
        std::string file;
        int line;
        std::string field;
    };
    const Case cases[] = {
        {[] { parseCrossSectionTable("title\r\n1.0\r\n", "Water.mix"); },
         "Water.mix", 3, "number of energies"},
        {[] { parseCrossSectionTable(replaceLine(waterMix(), 3, "81"), "Water.mix"); }, "Water.mix", 3, "number of energies"},
        {[] { parseCrossSectionTable(replaceLine(waterMix(), 2, "abc"), "Water.mix"); }, "Water.mix", 2, "second line"},
        {[] { parseCrossSectionTable(replaceLine(waterMix(3), 3, "4"), "Water.mix"); },
         "Water.mix", 7, "energy (columns 1-9)"},
        {[] { parseCrossSectionTable(replaceLine(waterMix(), 5, " .500E-01  .500E-01  .200E+00  .000E+00  .100E+01  .100E+01"), "Water.mix"); },
         "Water.mix", 5, "coefficients (columns 10-39)"},
        {[] { parseCrossSectionTable(replaceLine(waterMix(), 5, " .900E-02  .500E-01  .200E+00  .300E+00  .100E+01  .100E+01"), "Water.mix"); },
         "Water.mix", 5, "energy (columns 1-9)"},
        {[] { parseCrossSectionTable(replaceLine(waterMix(), 5, " .500E-01  .5x0E-01  .200E+00  .300E+00  .100E+01  .100E+01"), "Water.mix"); },
         "Water.mix", 5, "coherent coefficient (columns 10-19)"},
        {[] { parseCrossSectionTable(waterMix(2), "Water.mix"); }, "Water.mix", 5, "energy (columns 1-9)"},  // top 50 keV
        {[] { parseScatteringFactorTable(waterXfs().substr(0, 36 * 6), "Water.xfs"); }, "Water.xfs", 7, "x (columns 1-10)"},
        {[] { parseScatteringFactorTable(replaceLine(waterXfs(), 45, "     9.000     0.22222     9.00000"), "Water.xfs"); },
         "Water.xfs", 45, "x (columns 1-10)"},
        {[] { parseAirCoefficients(musXp().substr(0, 299 * 63), "Mus-XP.dat"); }, "Mus-XP.dat", 300, "energy (columns 1-9)"},
    };
    for (const Case& c : cases) {
        try {
            c.parse();
            ADD_FAILURE() << "no error for " << c.file << " line " << c.line;
        } catch (const InputError& error) {
            EXPECT_EQ(error.file(), c.file);
            EXPECT_EQ(error.line(), c.line) << error.what();
            EXPECT_EQ(error.field(), c.field) << error.what();
        }
    }
}

TEST(TableFiles, AMissingTableIsNamed) {
    try {
        loadInteractionData("/nonexistent-study-folder");
        FAIL();
    } catch (const InputError& error) {
        EXPECT_NE(std::string(error.what()).find("Water.mix"), std::string::npos);
    }
}

}  // namespace
}  // namespace velmora
