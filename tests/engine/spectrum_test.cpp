#include "engine/spectrum/spectrum.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "formats/input_error.h"

namespace velmora {
namespace {

// A spectrum file whose record k holds intensityField(k) in columns 7-15.
std::string spectrumFile(const std::function<std::string(int)>& intensityField) {
    std::string text;
    for (int i = 1; i <= 9; ++i) text += "Header line " + std::to_string(i) + "\r\n";
    for (int k = 1; k <= kSpectrumBins; ++k) {
        char energy[16];
        std::snprintf(energy, sizeof energy, "%6.1f", 0.5 * k);
        text += energy + intensityField(k) + "\r\n";
    }
    return text;
}

std::string fixed95(double value) {
    char field[16];
    std::snprintf(field, sizeof field, "%9.5f", value);
    return field;
}

TEST(SpectrumFile, ReadsHeaderWeightsAndBinLimit) {
    // Weight in bins 100 ... 240 only: the highest non-zero bin is 240 (120 keV).
    const Spectrum spectrum = parseSpectrumFile(
        spectrumFile([](int k) { return fixed95(k >= 100 && k <= 240 ? 1.0 : 0.0); }), "B_TUBEX.dat");
    EXPECT_EQ(spectrum.binLimit, 241);
    EXPECT_EQ(spectrum.header[0], "Header line 1                 ");
    EXPECT_EQ(spectrum.header[0].size(), 30u);
    EXPECT_FLOAT_EQ(spectrum.weightSum, 141.0f);
    EXPECT_FLOAT_EQ(spectrum.weight[150], 1.0f / 141.0f);
    EXPECT_EQ(spectrum.weight[99], 0.0f);
}

TEST(SpectrumFile, FixedWidthFieldRules) {
    struct Case {
        const char* field;  // columns 7-15 and beyond
        float raw;          // expected raw intensity
    };
    const Case cases[] = {
        {"    12345", 0.12345f},     // no point: five implied decimals
        {"  1.5    ", 1.5f},         // blanks ignored
        {"         ", 0.0f},         // all blank is 0
        {"", 0.0f},                  // short line padded with blanks
        {" 1 2.5   ", 12.5f},        // blanks inside the field are ignored
        {"  2.5E+01", 25.0f},        // exponent
        {"  1.0     trailing text", 1.0f},  // beyond column 15 ignored
    };
    for (const Case& c : cases) {
        // Bin 10 holds the case, bin 20 a reference of 1.0.
        const Spectrum spectrum = parseSpectrumFile(
            spectrumFile([&](int k) { return k == 10 ? std::string(c.field) : fixed95(k == 20 ? 1.0 : 0.0); }),
            "B_TUBEX.dat");
        EXPECT_FLOAT_EQ(spectrum.weight[10] * spectrum.weightSum, c.raw) << "field \"" << c.field << "\"";
    }
}

TEST(SpectrumFile, HeaderLongerThan30BytesIsCut) {
    std::string text = spectrumFile([](int k) { return fixed95(k == 3 ? 1.0 : 0.0); });
    text.replace(0, 13, "0123456789012345678901234567890123456789");
    const Spectrum spectrum = parseSpectrumFile(text, "B_TUBEX.dat");
    EXPECT_EQ(spectrum.header[0], "012345678901234567890123456789");
    EXPECT_EQ(spectrum.binLimit, 4);
}

TEST(SpectrumFile, ScalingAllIntensitiesChangesNothing) {
    auto shape = [](int k) { return k < 200 ? 0.001 * k : 0.0; };
    const Spectrum a = parseSpectrumFile(spectrumFile([&](int k) { return fixed95(shape(k)); }), "a");
    const Spectrum b = parseSpectrumFile(spectrumFile([&](int k) { return fixed95(100 * shape(k)); }), "b");
    EXPECT_EQ(a.binLimit, b.binLimit);
    for (int k = 1; k <= kSpectrumBins; ++k) EXPECT_NEAR(a.weight[k], b.weight[k], 1e-7);
}

TEST(SpectrumFile, MalformedFilesNameTheLineAndField) {
    struct Case {
        std::string text;
        int line;
        std::string field;
    };
    std::string shortFile = spectrumFile([](int) { return fixed95(1.0); });
    shortFile.resize(shortFile.size() / 2);
    const Case cases[] = {
        {spectrumFile([](int k) { return k == 7 ? std::string("   abc   ") : fixed95(1.0); }), 16,
         "intensity (columns 7-15)"},
        {"Header\r\n", 2, ""},
        {spectrumFile([](int) { return fixed95(0.0); }), 0, "intensities (columns 7-15)"},
    };
    for (const Case& c : cases) {
        try {
            parseSpectrumFile(c.text, "B_TUBEX.dat");
            ADD_FAILURE() << "no error for line " << c.line;
        } catch (const InputError& error) {
            EXPECT_EQ(error.file(), "B_TUBEX.dat");
            EXPECT_EQ(error.line(), c.line);
            EXPECT_EQ(error.field(), c.field);
        }
    }
    // A bad energy field also stops the engine, although its value is never used.
    std::string badEnergy = spectrumFile([](int) { return fixed95(1.0); });
    badEnergy.replace(badEnergy.find("  1.0"), 5, "  x.0");
    EXPECT_THROW(parseSpectrumFile(badEnergy, "B_TUBEX.dat"), InputError);
    EXPECT_THROW(parseSpectrumFile(shortFile, "B_TUBEX.dat"), InputError);
}

TEST(HistoriesInBin, TruncatesTheExactProduct) {
    EXPECT_EQ(historiesInBin(0.01f, 1'000'000.0f), 9'999);       // 0.01f is a little below 0.01
    EXPECT_EQ(historiesInBin(5e-7f, 1.0e9f), 499);
    EXPECT_EQ(historiesInBin(0.25f, 1.0e9f), 250'000'000);
    EXPECT_EQ(historiesInBin(0.5f, 1.0f), 0);
    EXPECT_EQ(historiesInBin(-0.1f, 1.0e9f), -100'000'001);     // negative: the bin runs nothing
    EXPECT_EQ(historiesInBin(0.75f, 4.0e9f), 3'000'000'000LL);  // beyond 32 bits, still right
}

}  // namespace
}  // namespace velmora
