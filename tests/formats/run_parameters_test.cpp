#include "formats/run_parameters.h"

#include <gtest/gtest.h>

#include <cmath>

#include "formats/input_error.h"

namespace velmora {
namespace {

RunParameterInput frontEndDefaults() {
    RunParameterInput input;
    input.incidenceAngle = 30;
    input.fid = 100;
    input.fsd = 55;
    input.fieldSize = 20;
    input.couchThickness = 1.5;
    input.photonCount = 1e9;
    input.resultNameShiftJis = "test";
    return input;
}

TEST(RunParameterWriter, FrontEndDefaults) {
    EXPECT_EQ(formatRunParameterFile(frontEndDefaults()),
              "30.0\r\n100.0\r\n55.0\r\n20.0\r\n1.5\r\n1.00E+09\r\ntest.ddat\r\n");
}

TEST(RunParameterWriter, RoundsOnTheWayToTheEngine) {
    RunParameterInput input = frontEndDefaults();
    input.incidenceAngle = 5;
    input.fsd = 55.25;
    input.couchThickness = 0;
    input.photonCount = 1234567;
    input.resultNameShiftJis = "\x8e\xc0\x8c\xb1 1";  // 実験 1: name kept as typed
    const std::string text = formatRunParameterFile(input);
    EXPECT_EQ(text, "05.0\r\n100.0\r\n55.3\r\n20.0\r\n0.0\r\n1.23E+06\r\n\x8e\xc0\x8c\xb1 1.ddat\r\n");
    const RunParameters read = parseRunParameterFile(text, "Phantom.dat");
    EXPECT_EQ(read.incidenceAngle, 5.0f);
    EXPECT_EQ(read.fsd, 55.3f);
    EXPECT_EQ(read.couchThickness, 0.0f);
    EXPECT_EQ(read.photonCount, 1230000.0f);
    EXPECT_EQ(trimmedResultFileName(read), "\x8e\xc0\x8c\xb1 1.ddat");
}

TEST(RunParameterWriter, RejectsALineBreakInTheName) {
    RunParameterInput input = frontEndDefaults();
    input.resultNameShiftJis = "a\r\nb";
    EXPECT_THROW(formatRunParameterFile(input), InputError);
}

TEST(RunParameterReader, ReadsDefaultsInSinglePrecision) {
    const RunParameters read = parseRunParameterFile(
        "30.0\r\n100.0\r\n55.0\r\n20.0\r\n1.5\r\n1.00E+09\r\ntest.ddat\r\n", "Phantom.dat");
    EXPECT_EQ(read.incidenceAngle, 30.0f);
    EXPECT_EQ(read.fid, 100.0f);
    EXPECT_EQ(read.fsd, 55.0f);
    EXPECT_EQ(read.fieldSize, 20.0f);
    EXPECT_EQ(read.couchThickness, 1.5f);
    EXPECT_EQ(read.photonCount, 1e9f);
    EXPECT_EQ(read.resultFileName, "test.ddat                     ");
    EXPECT_EQ(read.resultFileName.size(), 30u);
    EXPECT_EQ(trimmedResultFileName(read), "test.ddat");
}

TEST(RunParameterReader, FreeFormatLinesAndLineEnds) {
    // Blanks before the number, text after a separator, LF-only line ends and a
    // last line without a line end are all read.
    const RunParameters read = parseRunParameterFile(
        "  -30.0  angle\n100.0,FID\n55/\n20\n1.5e0\n1.00D+09\n  a b  ", "p");
    EXPECT_EQ(read.incidenceAngle, -30.0f);
    EXPECT_EQ(read.fid, 100.0f);
    EXPECT_EQ(read.fsd, 55.0f);
    EXPECT_EQ(read.fieldSize, 20.0f);
    EXPECT_EQ(read.photonCount, 1e9f);
    EXPECT_EQ(read.resultFileName, "  a b                         ");
    EXPECT_EQ(trimmedResultFileName(read), "  a b");
}

TEST(RunParameterReader, NumbersAreRoundedOnceToSinglePrecision) {
    // The double nearest this decimal is the midpoint 1 + 2^-24, which would
    // round to 1.0f; the decimal itself lies above it.
    const RunParameters read = parseRunParameterFile(
        "30.0\r\n1.0000000596046447753906250000001\r\n55.0\r\n20.0\r\n1.5\r\n3.4028235E+38\r\na\r\n", "p");
    EXPECT_EQ(read.fid, std::nextafter(1.0f, 2.0f));
    EXPECT_EQ(read.photonCount, 3.4028235e38f);  // rounds to the largest float, not beyond it
}

TEST(RunParameterReader, NameIsCutToThirtyBytes) {
    const std::string numbers = "30.0\r\n100.0\r\n55.0\r\n20.0\r\n1.5\r\n1.00E+09\r\n";
    const std::string name25(25, 'n');
    EXPECT_EQ(trimmedResultFileName(parseRunParameterFile(numbers + name25 + ".ddat\r\n", "p")),
              name25 + ".ddat");
    const std::string name26(26, 'n');
    EXPECT_EQ(trimmedResultFileName(parseRunParameterFile(numbers + name26 + ".ddat\r\n", "p")),
              name26 + ".dda");
}

TEST(RunParameterReader, MalformedFilesNameLineAndField) {
    struct Case {
        std::string text;
        int line;
        const char* field;
    };
    const std::string good[] = {"30.0", "100.0", "55.0", "20.0", "1.5", "1.00E+09", "a.ddat"};
    auto withLine = [&](int line, const std::string& replacement) {
        std::string text;
        for (int i = 0; i < 7; ++i) text += (i + 1 == line ? replacement : good[i]) + "\r\n";
        return text;
    };
    const Case cases[] = {
        {"", 1, "incidence angle"},
        {"30.0\r\n100.0\r\n55.0\r\n", 4, "field size"},
        {"30.0\r\n100.0\r\n55.0\r\n20.0\r\n1.5\r\n1.00E+09\r\n", 7, "result file name"},
        {withLine(1, "abc"), 1, "incidence angle"},
        {withLine(1, ""), 1, "incidence angle"},       // blank lines are not skipped
        {withLine(2, "   "), 2, "FID"},
        {withLine(3, "55.0cm"), 3, "FSD"},
        {withLine(4, ",20"), 4, "field size"},
        {withLine(5, "1..5"), 5, "couch thickness"},
        {withLine(6, "Infinity"), 6, "photon count"},
        {withLine(6, "1e39"), 6, "photon count"},     // beyond a single-precision real
        {withLine(7, ""), 7, "result file name"},
        {withLine(7, "      "), 7, "result file name"},
    };
    for (const Case& c : cases) {
        try {
            parseRunParameterFile(c.text, "Phantom.dat");
            ADD_FAILURE() << "no error for line " << c.line;
        } catch (const InputError& error) {
            EXPECT_EQ(error.file(), "Phantom.dat");
            EXPECT_EQ(error.line(), c.line);
            EXPECT_EQ(error.field(), c.field);
        }
    }
}

TEST(RunParameterReader, MissingFileIsAnInputError) {
    EXPECT_THROW(readRunParameterFile("/nonexistent-velmora-dir/Phantom.dat"), InputError);
}

}  // namespace
}  // namespace velmora
