#include "formats/result_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <unistd.h>
#include <vector>

#include "formats/input_error.h"
#include "formats/text_file.h"

namespace velmora {
namespace {

// The run of the worked example: angle 30, FID 100, FSD 70, field 20, couch
// 1.5 cm, ten million photons.
struct ResultFixture {
    std::vector<float> primary = std::vector<float>(kResultCellsPerComponent);
    std::vector<float> scatter = std::vector<float>(kResultCellsPerComponent);
    ResultFileContents contents;

    ResultFixture() {
        for (int i = 0; i < 9; ++i)
            contents.spectrumHeader[i] = "spectrum line " + std::to_string(i + 1);
        RunParameters& p = contents.parameters;
        p.incidenceAngle = 30;
        p.fid = 100;
        p.fsd = 70;
        p.fieldSize = 20;
        p.couchThickness = 1.5f;
        p.photonCount = 1e7f;
        p.resultFileName = std::string("test.ddat").append(21, ' ');
        contents.primary = primary;
        contents.scatter = scatter;
        contents.airKerma = 1.234e-3f;
    }
};

std::vector<std::string> linesOf(const std::string& text) { return splitLines(text); }

TEST(ResultWriter, HeaderLinesOfTheWorkedExample) {
    ResultFixture fixture;
    const std::vector<std::string> lines = linesOf(formatResultFile(fixture.contents));
    ASSERT_EQ(lines.size(), 816u);
    EXPECT_EQ(lines[0], "spectrum line 1               ");
    EXPECT_EQ(lines[9], " \x93\xfc\x8e\xcb\x8a\x70\x93\x78 =  30.0 \x93\x78");  // 入射角度 ... 度
    EXPECT_EQ(lines[10], " FID =  100.0 cm");
    EXPECT_EQ(lines[11], " FSD =   70.0 cm");
    EXPECT_EQ(lines[12], " \x8f\xc6\x8e\xcb\x96\xec at FID =  20.0 cm");  // 照射野
    EXPECT_EQ(lines[13], " \x90\x51\x91\xe4\x90\x85\x93\x99\x89\xbf\x8c\xfa =  1.50 cm");  // 寝台水等価厚
    EXPECT_EQ(lines[14], "  .1E+08");
    EXPECT_EQ(lines[15], [] {
        std::string zeros;
        for (int i = 0; i < 200; ++i) zeros += "  .0000E+00";
        return zeros;
    }());
    EXPECT_EQ(lines[815], " Air kerma =   .123E-02 [Gy] at FSD");
}

TEST(ResultWriter, EveryLineEndsInCrLfAndTheFileHasItsFixedLength) {
    ResultFixture fixture;
    for (int i = 0; i < kResultCellsPerComponent; ++i) {
        fixture.primary[i] = 1.0f / static_cast<float>(i + 1);
        fixture.scatter[i] = static_cast<float>(i) * 3.3e-7f;
    }
    const std::string text = formatResultFile(fixture.contents);
    EXPECT_EQ(text.size(), 1762046u);
    std::size_t lineEnds = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n') {
            ASSERT_EQ(text[i - 1], '\r') << "at byte " << i;
            ++lineEnds;
        }
    EXPECT_EQ(lineEnds, 816u);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
}

TEST(ResultWriter, FieldsOutOfRangeAndOddHeaders) {
    ResultFixture fixture;
    fixture.contents.spectrumHeader[0] = std::string(40, 'L');
    fixture.contents.spectrumHeader[1] = "";
    fixture.contents.spectrumHeader[2] = "a\r\nb";
    fixture.contents.parameters.incidenceAngle = -30;
    fixture.contents.parameters.couchThickness = 0.25f;
    fixture.contents.parameters.photonCount = 1.5e7f;
    std::vector<std::string> lines = linesOf(formatResultFile(fixture.contents));
    EXPECT_EQ(lines[0], std::string(30, 'L'));
    EXPECT_EQ(lines[1], std::string(30, ' '));
    EXPECT_EQ(lines[2], "a  b" + std::string(26, ' '));
    EXPECT_EQ(lines[9], " \x93\xfc\x8e\xcb\x8a\x70\x93\x78 = -30.0 \x93\x78");
    EXPECT_EQ(lines[13], " \x90\x51\x91\xe4\x90\x85\x93\x99\x89\xbf\x8c\xfa =   .25 cm");
    EXPECT_EQ(lines[14], "  .2E+08");

    fixture.contents.parameters.incidenceAngle = 1000;
    fixture.contents.parameters.couchThickness = 0;
    lines = linesOf(formatResultFile(fixture.contents));
    EXPECT_EQ(lines[9], " \x93\xfc\x8e\xcb\x8a\x70\x93\x78 = ***** \x93\x78");
    EXPECT_EQ(lines[13], " \x90\x51\x91\xe4\x90\x85\x93\x99\x89\xbf\x8c\xfa =   .00 cm");
}

TEST(ResultWriter, RejectsDoseArraysOfTheWrongSize) {
    ResultFixture fixture;
    std::vector<float> tooShort(10);
    fixture.contents.scatter = tooShort;
    EXPECT_THROW(formatResultFile(fixture.contents), std::invalid_argument);
}

TEST(ResultDoses, RoundTripKeepsFourSignificantDigitsInOrder) {
    ResultFixture fixture;
    for (int i = 0; i < kResultCellsPerComponent; ++i) {
        fixture.primary[i] = static_cast<float>(std::pow(10.0, -8.0 + (i % 977) * 0.012)) * (1 + i % 7);
        fixture.scatter[i] = i % 5 == 0 ? 0.0f : 0.123456f * static_cast<float>(i % 301);
    }
    fixture.primary[0] = 0.99996f;  // rounds up to .1000E+01
    const std::string text = formatResultFile(fixture.contents);
    const ResultDoses doses = parseResultDoses(text, "test.ddat");
    ASSERT_EQ(doses.primary.size(), 80000u);
    ASSERT_EQ(doses.scatter.size(), 80000u);
    EXPECT_EQ(doses.primary[0], 1.0);
    for (int i = 0; i < kResultCellsPerComponent; ++i) {
        ASSERT_NEAR(doses.primary[i], fixture.primary[i], 5.001e-4 * fixture.primary[i]) << i;
        ASSERT_NEAR(doses.scatter[i], fixture.scatter[i], 5.001e-4 * fixture.scatter[i]) << i;
    }
    // x bin 2, y bin 1 is the 201st value.
    EXPECT_NEAR(doses.primary[200], fixture.primary[200], 5e-4 * fixture.primary[200]);
}

std::string fifteenHeaderLines() {
    std::string text;
    for (int i = 1; i <= 15; ++i) text += "header " + std::to_string(i) + "\r\n";
    return text;
}

TEST(ResultDoses, SeparatorsAndNumberSpellings) {
    std::string text = fifteenHeaderLines();
    text += ".1234E+01,,  1.5e-3\n+2 -0\r\r\n 7 ";
    text += "1.5D+02 1e-400";
    for (int i = 7; i < 2 * kResultCellsPerComponent; ++i) text += i % 2 ? " 0" : "\r\n.5";
    const ResultDoses doses = parseResultDoses(text, "x.ddat");
    EXPECT_DOUBLE_EQ(doses.primary[0], 1.234);
    EXPECT_DOUBLE_EQ(doses.primary[1], 1.5e-3);
    EXPECT_DOUBLE_EQ(doses.primary[2], 2);
    EXPECT_DOUBLE_EQ(doses.primary[3], 0);
    EXPECT_DOUBLE_EQ(doses.primary[4], 7);
    EXPECT_DOUBLE_EQ(doses.primary[5], 150);
    EXPECT_DOUBLE_EQ(doses.primary[6], 0);
    EXPECT_DOUBLE_EQ(doses.scatter[79998], 0.5);
    EXPECT_DOUBLE_EQ(doses.scatter[79999], 0);
}

TEST(ResultDoses, MalformedFilesNameLineAndValue) {
    struct Case {
        std::string text;
        int line;
        const char* field;
    };
    std::string oneGoodLine;
    for (int i = 0; i < 200; ++i) oneGoodLine += "  .1000E+01";
    oneGoodLine += "\r\n";
    std::string allPrimary = fifteenHeaderLines();
    for (int i = 0; i < 400; ++i) allPrimary += oneGoodLine;
    const Case cases[] = {
        {"only\r\ntwo\r\n", 3, "header"},
        {"", 1, "header"},
        {fifteenHeaderLines(), 15, "dose value 1 (primary x bin 1, y bin 1)"},
        {fifteenHeaderLines() + oneGoodLine + "  .1E+01 abc", 17,
         "dose value 202 (primary x bin 2, y bin 2)"},
        {fifteenHeaderLines() + "1 2 3 inf", 16, "dose value 4 (primary x bin 1, y bin 4)"},
        {fifteenHeaderLines() + "nan", 16, "dose value 1 (primary x bin 1, y bin 1)"},
        {fifteenHeaderLines() + "1e999", 16, "dose value 1 (primary x bin 1, y bin 1)"},
        {fifteenHeaderLines() + "+-1", 16, "dose value 1 (primary x bin 1, y bin 1)"},
        {fifteenHeaderLines() + "0x10", 16, "dose value 1 (primary x bin 1, y bin 1)"},
        {fifteenHeaderLines() + "1..2", 16, "dose value 1 (primary x bin 1, y bin 1)"},
        {fifteenHeaderLines() + "\r\n\r\n*****", 18, "dose value 1 (primary x bin 1, y bin 1)"},
        {allPrimary, 415, "dose value 80,001 (scatter x bin 1, y bin 1)"},
        {allPrimary + "  .1E+01", 416, "dose value 80,002 (scatter x bin 1, y bin 2)"},
    };
    for (const Case& c : cases) {
        try {
            parseResultDoses(c.text, "run1.ddat");
            ADD_FAILURE() << "no error for " << c.field;
        } catch (const InputError& error) {
            EXPECT_EQ(error.file(), "run1.ddat");
            EXPECT_EQ(error.line(), c.line) << c.field;
            EXPECT_EQ(error.field(), c.field);
        }
    }
}

TEST(ResultHeader, FifteenLinesWithBlanksKept) {
    ResultFixture fixture;
    const std::array<std::string, kResultHeaderLines> header =
        parseResultHeader(formatResultFile(fixture.contents), "test.ddat");
    EXPECT_EQ(header[0], "spectrum line 1               ");
    EXPECT_EQ(header[10], " FID =  100.0 cm");
    EXPECT_EQ(header[14], "  .1E+08");

    const auto shortOne = parseResultHeader(fifteenHeaderLines(), "h.ddat");
    EXPECT_EQ(shortOne[14], "header 15");
    // LF-only line ends and a last line without a line end are read too.
    std::string unix;
    for (int i = 1; i <= 15; ++i) unix += " u " + std::to_string(i) + (i < 15 ? "\n" : "");
    EXPECT_EQ(parseResultHeader(unix, "u.ddat")[14], " u 15");

    try {
        parseResultHeader("1\r\n2\r\n3\r\n", "three.ddat");
        FAIL() << "no error";
    } catch (const InputError& error) {
        EXPECT_EQ(error.file(), "three.ddat");
        EXPECT_EQ(error.line(), 4);
    }
}

TEST(ResultFile, WriteThenReadFromDisk) {
    std::string pattern = (std::filesystem::temp_directory_path() / "velmora-result-XXXXXX").string();
    const std::filesystem::path directory = ::mkdtemp(pattern.data());
    const std::string path = (directory / "run.ddat").string();
    ResultFixture fixture;
    fixture.primary[79999] = 0.5f;
    fixture.scatter[0] = 0.25f;
    writeResultFile(path, fixture.contents);
    EXPECT_EQ(readResultHeader(path)[11], " FSD =   70.0 cm");
    const ResultDoses doses = readResultDoses(path);
    EXPECT_EQ(doses.primary[79999], 0.5);
    EXPECT_EQ(doses.scatter[0], 0.25);
    std::filesystem::remove_all(directory);
    EXPECT_THROW(readResultHeader(path), InputError);
}

}  // namespace
}  // namespace velmora
