// Loading of the tables: the copies compiled into the program have the shape of
// the published tables, and malformed text is refused with file, line and field.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "formats/input_error.h"
#include "tools/xtubex/tables.h"

namespace velmora::xtubex {
namespace {

TEST(EmbeddedTables, HaveThePublishedShapes) {
    const ModelTables tables = loadEmbeddedTables();
    EXPECT_EQ(tables.tasmics.firstVoltageKV, 20.0);
    EXPECT_EQ(tables.tasmics.lastVoltageKV(), 150.0);
    EXPECT_EQ(tables.tasmics.firstEnergyKeV, 1.0);
    EXPECT_EQ(tables.tasmics.energyCount, 150);
    // kV80 column, E = 79 keV, as published.
    EXPECT_EQ(tables.tasmics.fluence[60][78], 852.5);
    ASSERT_EQ(tables.tasmip.rows.size(), 151u);
    EXPECT_EQ(tables.tasmip.rows[10].energyKeV, 10.0);
    EXPECT_DOUBLE_EQ(tables.tasmip.rows[10].a0, -2.470985);
    ASSERT_EQ(tables.air.energyKeV.size(), 27u);
    EXPECT_DOUBLE_EQ(tables.air.energyKeV[4], tables.air.energyKeV[5]);  // argon K edge
    EXPECT_DOUBLE_EQ(tables.air.muEnOverRhoCm2PerG[13], 0.1537);         // 30 keV
}

struct MalformedCase {
    const char* name;
    std::function<void(std::string_view)> parse;
    const char* text;
    int line;
    const char* field;
};

class MalformedTable : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedTable, NamesFileLineAndField) {
    const MalformedCase& c = GetParam();
    try {
        c.parse(c.text);
        FAIL() << "accepted";
    } catch (const InputError& error) {
        EXPECT_EQ(error.file(), "table.txt");
        EXPECT_EQ(error.line(), c.line);
        EXPECT_EQ(error.field(), c.field);
    }
}

const auto tasmics = [](std::string_view text) { parseTasmicsCsv(text, "table.txt"); };
const auto tasmip = [](std::string_view text) { parseTasmipCsv(text, "table.txt"); };
const auto nist = [](std::string_view text) { parseNistCoefficients(text, "table.txt"); };
const auto reference = [](std::string_view text) { parseReferenceBeams(text, "table.txt"); };
constexpr const char* kReferenceHeader =
    "set,quality,kV,anode_angle_deg,Be_mm,Al_mm,Cu_mm,air_mm,kapton_mm,hvl1,hvl2,hvl_unit\r\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, MalformedTable,
    ::testing::Values(
        MalformedCase{"TasmicsNotANumber", tasmics, "E_keV,kV20,kV21\r\n1,0,0\r\n2,5,x\r\n", 3, "kV21"},
        MalformedCase{"TasmicsVoltageGap", tasmics, "E_keV,kV20,kV22\n1,0,0\n", 1, "kV22"},
        MalformedCase{"TasmicsShortRow", tasmics, "E_keV,kV20,kV21\n1,0\n", 2, "line"},
        MalformedCase{"TasmicsEnergyGap", tasmics, "E_keV,kV20,kV21\n1,0,0\n3,0,0\n", 3, "E_keV"},
        MalformedCase{"TasmicsNegative", tasmics, "E_keV,kV20,kV21\n1,-1,0\n", 2, "kV20"},
        MalformedCase{"TasmicsNoRows", tasmics, "E_keV,kV20,kV21\n", 0, "table"},
        MalformedCase{"TasmipEnergyGap", tasmip, "E_keV,nterms,a0,a1,a2,a3\n0,0,0,0,0,0\n2,0,0,0,0,0\n", 3, "E_keV"},
        MalformedCase{"TasmipBadCoefficient", tasmip, "E_keV,nterms,a0,a1,a2,a3\n0,0,0,1..2,0,0\n", 2, "a1"},
        MalformedCase{"NistTwoColumns", nist, "# comment\n1.0E-03 3.6E+03\n", 2, "line"},
        MalformedCase{"NistNotANumber", nist, "1.0E-03 3.6E+03 abc\n2.0E-03 1 1\n", 1, "mu_en/rho"},
        MalformedCase{"NistDescending", nist, "2.0E-03 1 1\n1.0E-03 1 1\n", 2, "energy"},
        MalformedCase{"ReferenceWrongUnit", reference,
                      "set,quality,kV,anode_angle_deg,Be_mm,Al_mm,Cu_mm,air_mm,kapton_mm,hvl1,hvl2,hvl_unit\n"
                      "PTB,RQR2,40,20,1.0,2.5,0,950,0.25,1.36,1.72,mmCu\n",
                      2, "hvl_unit"},
        MalformedCase{"ReferenceWrongHeader", reference, "set,quality,kV,angle,Be_mm,Al_mm,Cu_mm,air_mm,kapton_mm,hvl1,hvl2,hvl_unit\n",
                      1, "angle"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReferenceBeams, ReadsEveryColumn) {
    const auto beams = parseReferenceBeams(std::string(kReferenceHeader) +
                                               "PTB,RQR10,150,20,7.0,2.5,0.1,950,0.25,5.01,8.15,mmAl\r\n",
                                           "table.txt");
    ASSERT_EQ(beams.size(), 1u);
    const ReferenceBeam& beam = beams[0];
    EXPECT_EQ(beam.set, "PTB");
    EXPECT_EQ(beam.quality, "RQR10");
    EXPECT_EQ(beam.tubeVoltageKV, 150);
    EXPECT_EQ(beam.anodeAngleDeg, 20);
    EXPECT_EQ(beam.berylliumMm, 7.0);
    EXPECT_EQ(beam.aluminiumMm, 2.5);
    EXPECT_EQ(beam.copperMm, 0.1);
    EXPECT_EQ(beam.airMm, 950);
    EXPECT_EQ(beam.kaptonMm, 0.25);
    EXPECT_EQ(beam.hvl1MmAl, 5.01);
    EXPECT_EQ(beam.hvl2MmAl, 8.15);
}

}  // namespace
}  // namespace velmora::xtubex
