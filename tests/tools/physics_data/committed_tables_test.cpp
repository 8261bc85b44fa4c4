// The committed physics tables in data/: equal to the generator's output, in the
// engine's fixed-width layouts, and in agreement with independent numbers (NIST
// tables of Hubbell & Seltzer, Klein-Nishina, sum rules of F and S).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <ostream>
#include <regex>
#include <string>
#include <vector>

#include "tools/physics_data/physics_tables.h"

namespace velmora::physics_data {
namespace {

const std::string kDataDirectory = VELMORA_DATA_DIR;

std::string committedBytes(const std::string& fileName) {
    std::ifstream file(kDataDirectory + "/" + fileName, std::ios::binary);
    EXPECT_TRUE(file.good()) << "cannot open data/" << fileName;
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Lines of a CR LF file, without their line ends.
std::vector<std::string> crLfLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "last line has no CR LF";
            break;
        }
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// A field at 1-based columns [first, first + width).
std::string field(const std::string& line, int first, int width) {
    return line.substr(static_cast<std::size_t>(first - 1), static_cast<std::size_t>(width));
}

double number(const std::string& line, int first, int width) {
    return std::stod(field(line, first, width));
}

// A Fortran Ew.d output field: right-aligned ".ddd...E+xx".
bool isExponentField(const std::string& text, int digits) {
    const std::regex pattern(" *\\.[0-9]{" + std::to_string(digits) + "}E[+-][0-9]{2}");
    return std::regex_match(text, pattern);
}

struct WaterMixRow {
    double energyKeV, coherent, incoherent, photoelectric, total, nistEnergyAbsorption;
};

std::vector<WaterMixRow> waterMixRows() {
    const std::vector<std::string> lines = crLfLines(committedBytes(kWaterMixFileName));
    std::vector<WaterMixRow> rows;
    for (std::size_t i = 3; i < lines.size(); ++i) {
        const std::string& l = lines[i];
        rows.push_back({number(l, 1, 9) * 1000, number(l, 10, 10), number(l, 20, 10),
                        number(l, 30, 10), number(l, 40, 10), number(l, 50, 10)});
    }
    return rows;
}

struct XfsRecord {
    double x, formFactor, incoherentFunction;
};

std::vector<XfsRecord> waterXfsRecords() {
    std::vector<XfsRecord> records;
    for (const std::string& l : crLfLines(committedBytes(kWaterXfsFileName)))
        records.push_back({number(l, 1, 10), number(l, 11, 12), number(l, 23, 12)});
    return records;
}

// Columns 2 to 5 of "Mus-XP.dat" by row (index 0 is bin 1).
struct MusXpRow {
    double energyKeV, airAttenuation, waterAttenuation, waterEnergyAbsorption, airEnergyAbsorption;
};

std::vector<MusXpRow> musXpRows() {
    std::vector<MusXpRow> rows;
    for (const std::string& l : crLfLines(committedBytes(kMusXpFileName)))
        rows.push_back({number(l, 1, 9), number(l, 10, 13), number(l, 23, 13), number(l, 36, 13),
                        number(l, 49, 13)});
    return rows;
}

// The engine's lookup: log-log between the first row above E and the one before.
double logLogFromRows(const std::vector<WaterMixRow>& rows, double energyKeV,
                      double WaterMixRow::*column) {
    std::size_t j = 1;
    while (rows[j].energyKeV <= energyKeV) ++j;
    const double t = std::log(energyKeV / rows[j - 1].energyKeV) /
                     std::log(rows[j].energyKeV / rows[j - 1].energyKeV);
    return std::exp(std::log(rows[j - 1].*column) + t * std::log(rows[j].*column / rows[j - 1].*column));
}

double powerLawBetween(double e1, double v1, double e2, double v2, double e) {
    return v1 * std::pow(v2 / v1, std::log(e / e1) / std::log(e2 / e1));
}

// ---------------------------------------------------------------------------

TEST(CommittedPhysicsTables, EqualTheGeneratorOutputByteForByte) {
    const PhysicsTables generated = generatePhysicsTables(kDataDirectory + "/nist");
    const std::pair<const char*, const std::string*> files[] = {
        {kWaterMixFileName, &generated.waterMix},
        {kWaterXfsFileName, &generated.waterXfs},
        {kMusXpFileName, &generated.musXp},
    };
    for (const auto& [name, text] : files) {
        SCOPED_TRACE(name);
        const std::string committed = committedBytes(name);
        if (committed == *text) continue;
        const std::vector<std::string> want = crLfLines(*text);
        const std::vector<std::string> have = crLfLines(committed);
        std::size_t line = 0;
        while (line < want.size() && line < have.size() && want[line] == have[line]) ++line;
        ADD_FAILURE() << "data/" << name << " differs from the generator output at line " << line + 1
                      << "\n  generated: " << (line < want.size() ? want[line] : "<end>")
                      << "\n  committed: " << (line < have.size() ? have[line] : "<end>")
                      << "\n  regenerate with velmora-physics-data data/nist data";
    }
}

TEST(CommittedPhysicsTables, AreAsciiTextWithCrLfLineEnds) {
    for (const char* name : {kWaterMixFileName, kWaterXfsFileName, kMusXpFileName}) {
        SCOPED_TRACE(name);
        const std::string bytes = committedBytes(name);
        ASSERT_GE(bytes.size(), 2u);
        EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            const unsigned char c = static_cast<unsigned char>(bytes[i]);
            if (c == '\r') {
                ASSERT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << "bare CR at byte " << i;
            } else if (c == '\n') {
                ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare LF at byte " << i;
            } else {
                ASSERT_TRUE(c >= 0x20 && c < 0x7F) << "byte " << i << " is not printable ASCII";
            }
        }
    }
}

TEST(WaterMixTable, HasTheHeaderAndRowLayoutTheEngineReads) {
    const std::vector<std::string> lines = crLfLines(committedBytes(kWaterMixFileName));
    ASSERT_GE(lines.size(), 3u);
    EXPECT_LE(lines[0].size(), 30u);
    EXPECT_DOUBLE_EQ(std::stod(lines[1]), 1.0);
    const int count = std::stoi(lines[2]);
    EXPECT_GE(count, 2);
    EXPECT_LE(count, kMaximumEnergyRows);
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(count) + 3);
    for (std::size_t i = 3; i < lines.size(); ++i) {
        const std::string& l = lines[i];
        SCOPED_TRACE("line " + std::to_string(i + 1) + ": " + l);
        ASSERT_EQ(l.size(), 59u);
        EXPECT_TRUE(isExponentField(field(l, 1, 9), 3));
        for (int first = 10; first <= 50; first += 10) EXPECT_TRUE(isExponentField(field(l, first, 10), 3));
    }
}

TEST(WaterMixTable, EnergiesAscendFromOneKeVToAboveTheHighestBin) {
    const std::vector<WaterMixRow> rows = waterMixRows();
    ASSERT_GE(rows.size(), 2u);
    EXPECT_DOUBLE_EQ(rows.front().energyKeV, 1.0);
    EXPECT_GT(rows.back().energyKeV, 150.0);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(rows[i].energyKeV);
        if (i > 0) {
            EXPECT_GT(rows[i].energyKeV, rows[i - 1].energyKeV);
        }
        EXPECT_GT(rows[i].coherent, 0);
        EXPECT_GT(rows[i].incoherent, 0);
        EXPECT_GT(rows[i].photoelectric, 0);
    }
}

// NIST "Water, Liquid" (Hubbell & Seltzer, NISTIR 5632): energy keV, mu/rho and
// mu_en/rho in cm2/g.
struct NistWater {
    double energyKeV, attenuation, energyAbsorption;
};
constexpr NistWater kNistWater[] = {
    {1, 4078, 4065},       {1.5, 1376, 1372},     {2, 617.3, 615.2},     {3, 192.9, 191.7},
    {4, 82.78, 81.91},     {5, 42.58, 41.88},     {6, 24.64, 24.05},     {8, 10.37, 9.915},
    {10, 5.329, 4.944},    {15, 1.673, 1.374},    {20, 0.8096, 0.5503},  {30, 0.3756, 0.1557},
    {40, 0.2683, 0.06947}, {50, 0.2269, 0.04223}, {60, 0.2059, 0.03190}, {80, 0.1837, 0.02597},
    {100, 0.1707, 0.02546}, {150, 0.1505, 0.02764}, {200, 0.1370, 0.02967},
};

TEST(WaterMixTable, TotalAttenuationAgreesWithNist) {
    const std::vector<WaterMixRow> rows = waterMixRows();
    const auto totalAt = [&](double energyKeV) {
        return logLogFromRows(rows, energyKeV, &WaterMixRow::coherent) +
               logLogFromRows(rows, energyKeV, &WaterMixRow::incoherent) +
               logLogFromRows(rows, energyKeV, &WaterMixRow::photoelectric);
    };
    for (const NistWater& nist : kNistWater) {
        if (nist.energyKeV >= rows.back().energyKeV) continue;  // the lookup needs a row above
        SCOPED_TRACE(nist.energyKeV);
        // Three digits per coefficient: the sum carries at most 0.5 % rounding.
        EXPECT_NEAR(totalAt(nist.energyKeV) / nist.attenuation, 1.0, 0.01);
    }
}

TEST(WaterMixTable, ReferenceColumnsHoldTheTotalAndNistEnergyAbsorption) {
    const std::vector<WaterMixRow> rows = waterMixRows();
    for (const WaterMixRow& row : rows) {
        SCOPED_TRACE(row.energyKeV);
        // Each field carries three digits, so the sum of rounded parts may
        // differ from the rounded total by a little more than one unit.
        EXPECT_NEAR(row.total / (row.coherent + row.incoherent + row.photoelectric), 1.0, 0.01);
    }
    for (const NistWater& nist : kNistWater) {
        SCOPED_TRACE(nist.energyKeV);
        const auto row = std::find_if(rows.begin(), rows.end(),
                                      [&](const WaterMixRow& r) { return r.energyKeV == nist.energyKeV; });
        ASSERT_NE(row, rows.end()) << "every NIST energy from 1 to 200 keV is a row";
        EXPECT_NEAR(row->nistEnergyAbsorption / nist.energyAbsorption, 1.0, 0.0051);
    }
}

TEST(WaterXfsTable, HasFortyFiveRecordsInTheEngineLayout) {
    const std::vector<std::string> lines = crLfLines(committedBytes(kWaterXfsFileName));
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(kScatteringFactorCount));
    for (const std::string& l : lines) {
        SCOPED_TRACE(l);
        ASSERT_EQ(l.size(), 34u);
        EXPECT_TRUE(isExponentField(field(l, 1, 10), 3));
        EXPECT_TRUE(isExponentField(field(l, 11, 12), 5));
        EXPECT_TRUE(isExponentField(field(l, 23, 12), 5));
    }
}

TEST(WaterXfsTable, RespectsTheSumRulesOfWater) {
    const std::vector<XfsRecord> r = waterXfsRecords();
    ASSERT_EQ(r.size(), static_cast<std::size_t>(kScatteringFactorCount));
    // Forward scattering: each atom's electrons in phase, the atoms adding
    // without interference (F^2 = 2 * 1^2 + 8^2); none scattered incoherently.
    EXPECT_EQ(r.front().x, 0.0);
    EXPECT_NEAR(r.front().formFactor, std::sqrt(66.0), 5e-5);
    EXPECT_EQ(r.front().incoherentFunction, 0.0);
    // Large momentum transfer: every electron scatters incoherently, F vanishes.
    EXPECT_GE(r.back().x, 10.0);
    EXPECT_GT(r.back().incoherentFunction / 10.0, 0.99);
    EXPECT_LE(r.back().incoherentFunction, 10.0);
    EXPECT_LT(r.back().formFactor, 0.01);
    for (std::size_t i = 1; i < r.size(); ++i) {
        SCOPED_TRACE(r[i].x);
        EXPECT_GT(r[i].x, r[i - 1].x);
        EXPECT_GT(r[i].formFactor, 0);  // also keeps the coherent distribution's total above 0
        EXPECT_LT(r[i].formFactor, r[i - 1].formFactor);
        EXPECT_GT(r[i].incoherentFunction, r[i - 1].incoherentFunction);
    }
}

// The incoherent cross section of the "Water.mix" table must equal the
// Klein-Nishina cross section weighted by the S(x) of "Water.xfs" (linear in x,
// as the engine interpolates it), which also proves x is sin(theta/2)/lambda in
// 1/Angstrom.
TEST(WaterXfsTable, IncoherentFunctionReproducesTheIncoherentCrossSection) {
    constexpr double kElectronRadiusCm = 2.8179403262e-13;
    constexpr double kAvogadro = 6.02214076e23;
    constexpr double kWaterMolarMassG = 18.0153;
    constexpr double kHcKeVAngstrom = 12.398420;
    constexpr double kElectronRestEnergyKeV = 510.99895;
    constexpr double kPi = 3.14159265358979323846;

    const std::vector<XfsRecord> r = waterXfsRecords();
    const auto incoherentFunctionAt = [&](double x) {
        if (x >= r.back().x) return r.back().incoherentFunction;
        std::size_t j = 1;
        while (r[j].x <= x) ++j;
        return r[j - 1].incoherentFunction + (r[j].incoherentFunction - r[j - 1].incoherentFunction) /
                                                 (r[j].x - r[j - 1].x) * (x - r[j - 1].x);
    };
    const std::vector<WaterMixRow> rows = waterMixRows();
    for (double energyKeV : {20.0, 60.0, 100.0}) {
        SCOPED_TRACE(energyKeV);
        const double k = energyKeV / kElectronRestEnergyKeV;
        const int steps = 4000;
        double crossSectionCm2 = 0;  // per molecule
        for (int i = 0; i < steps; ++i) {
            const double cosTheta = -1 + (i + 0.5) * 2.0 / steps;
            const double ratio = 1 / (1 + k * (1 - cosTheta));  // E'/E
            const double kleinNishina = kPi * kElectronRadiusCm * kElectronRadiusCm * ratio * ratio *
                                        (ratio + 1 / ratio - (1 - cosTheta * cosTheta));  // d(sigma)/d(cos)
            const double x = energyKeV * std::sqrt((1 - cosTheta) / 2) / kHcKeVAngstrom;
            crossSectionCm2 += kleinNishina * incoherentFunctionAt(x) * 2.0 / steps;
        }
        const double massCoefficient = crossSectionCm2 * kAvogadro / kWaterMolarMassG;
        const auto row = std::find_if(rows.begin(), rows.end(),
                                      [&](const WaterMixRow& w) { return w.energyKeV == energyKeV; });
        ASSERT_NE(row, rows.end());
        EXPECT_NEAR(massCoefficient / row->incoherent, 1.0, 0.015);
    }
}

TEST(MusXpTable, HasThreeHundredRecordsInTheEngineLayout) {
    const std::vector<std::string> lines = crLfLines(committedBytes(kMusXpFileName));
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(kAirCoefficientCount));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& l = lines[i];
        SCOPED_TRACE(l);
        ASSERT_EQ(l.size(), 61u);
        EXPECT_TRUE(isExponentField(field(l, 1, 9), 3));
        for (int first = 10; first <= 49; first += 13) EXPECT_TRUE(isExponentField(field(l, first, 13), 5));
        // Row i belongs to 0.5 i keV (three digits in the field).
        const double energyKeV = 0.5 * static_cast<double>(i + 1);
        EXPECT_NEAR(number(l, 1, 9) / energyKeV, 1.0, 0.005);
        EXPECT_GT(number(l, 49, 13), 0);
    }
}

// NIST "Air, Dry (Near Sea Level)" and "Water, Liquid": energy keV, air mu/rho,
// air mu_en/rho, water mu/rho, water mu_en/rho (cm2/g). Above the argon K edge at
// 3.2029 keV air is listed with its above-edge values.
struct NistAirWater {
    double energyKeV, airAttenuation, airEnergyAbsorption, waterAttenuation, waterEnergyAbsorption;
};
void PrintTo(const NistAirWater& row, std::ostream* os) { *os << row.energyKeV << " keV"; }

class MusXpAtNistEnergy : public testing::TestWithParam<NistAirWater> {};

TEST_P(MusXpAtNistEnergy, ReturnsTheNistValuesToFourDigits) {
    const NistAirWater nist = GetParam();
    const std::vector<MusXpRow> rows = musXpRows();
    const MusXpRow& row = rows[static_cast<std::size_t>(std::lround(nist.energyKeV / 0.5)) - 1];
    EXPECT_NEAR(row.airEnergyAbsorption / nist.airEnergyAbsorption, 1.0, 1e-4);
    EXPECT_NEAR(row.airAttenuation / nist.airAttenuation, 1.0, 1e-4);
    EXPECT_NEAR(row.waterAttenuation / nist.waterAttenuation, 1.0, 1e-4);
    EXPECT_NEAR(row.waterEnergyAbsorption / nist.waterEnergyAbsorption, 1.0, 1e-4);
}

INSTANTIATE_TEST_SUITE_P(
    NistGrid, MusXpAtNistEnergy,
    testing::Values(NistAirWater{1, 3606, 3599, 4078, 4065}, NistAirWater{1.5, 1191, 1188, 1376, 1372},
                    NistAirWater{2, 527.9, 526.2, 617.3, 615.2}, NistAirWater{3, 162.5, 161.4, 192.9, 191.7},
                    NistAirWater{4, 77.88, 76.36, 82.78, 81.91}, NistAirWater{5, 40.27, 39.31, 42.58, 41.88},
                    NistAirWater{6, 23.41, 22.70, 24.64, 24.05}, NistAirWater{8, 9.921, 9.446, 10.37, 9.915},
                    NistAirWater{10, 5.120, 4.742, 5.329, 4.944}, NistAirWater{15, 1.614, 1.334, 1.673, 1.374},
                    NistAirWater{20, 0.7779, 0.5389, 0.8096, 0.5503},
                    NistAirWater{30, 0.3538, 0.1537, 0.3756, 0.1557},
                    NistAirWater{40, 0.2485, 0.06833, 0.2683, 0.06947},
                    NistAirWater{50, 0.2080, 0.04098, 0.2269, 0.04223},
                    NistAirWater{60, 0.1875, 0.03041, 0.2059, 0.03190},
                    NistAirWater{80, 0.1662, 0.02407, 0.1837, 0.02597},
                    NistAirWater{100, 0.1541, 0.02325, 0.1707, 0.02546},
                    NistAirWater{150, 0.1356, 0.02496, 0.1505, 0.02764}),
    [](const testing::TestParamInfo<NistAirWater>& info) {
        const long tenthsOfKeV = std::lround(info.param.energyKeV * 10);
        const std::string fraction = tenthsOfKeV % 10 == 0 ? "" : "p" + std::to_string(tenthsOfKeV % 10);
        return "At" + std::to_string(tenthsOfKeV / 10) + fraction + "keV";
    });

TEST(MusXpTable, InterpolatesLogLogBetweenNistEnergies) {
    struct Case {
        double energyKeV, e1, v1, e2, v2;  // air mu_en/rho between NIST points
    };
    const Case cases[] = {
        {25.0, 20, 0.5389, 30, 0.1537},
        {45.0, 40, 0.06833, 50, 0.04098},
        {70.0, 60, 0.03041, 80, 0.02407},
        {125.0, 100, 0.02325, 150, 0.02496},
        // The argon K edge: 3.5 keV lies above it and takes the above-edge value
        // 146.0 at 3.2029 keV, not the 133.0 below it.
        {3.5, 3.2029, 146.0, 4, 76.36},
        // Row 1 (0.5 keV, never used by the engine) extends the first interval.
        {0.5, 1, 3599, 1.5, 1188},
    };
    const std::vector<MusXpRow> rows = musXpRows();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.energyKeV);
        const MusXpRow& row = rows[static_cast<std::size_t>(std::lround(c.energyKeV / 0.5)) - 1];
        EXPECT_NEAR(row.airEnergyAbsorption / powerLawBetween(c.e1, c.v1, c.e2, c.v2, c.energyKeV), 1.0, 1e-4);
    }
    // Either side of the argon edge: 3.0 keV keeps its below-edge value and the
    // step up across the edge shows in the 3.5 keV row.
    EXPECT_NEAR(rows[5].airEnergyAbsorption, 161.4, 0.01);
    EXPECT_GT(rows[6].airEnergyAbsorption, 110.0);  // 108.1 if the edge were ignored
}

}  // namespace
}  // namespace velmora::physics_data
