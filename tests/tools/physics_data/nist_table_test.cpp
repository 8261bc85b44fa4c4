// Reading the NIST coefficient tables and log-log interpolation across an edge.
#include "tools/physics_data/nist_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>

#include "formats/input_error.h"

namespace velmora::physics_data {
namespace {

// A cut of the dry-air table (NIST, Hubbell & Seltzer) around the argon K edge.
constexpr const char* kAirAroundArgonEdge =
    "# comment line\r\n"
    "# energy/MeV  mu/rho/(cm2/g)  mu_en/rho/(cm2/g)\r\n"
    "2.00000E-03  5.279E+02  5.262E+02\r\n"
    "3.00000E-03  1.625E+02  1.614E+02\r\n"
    "3.20290E-03  1.340E+02  1.330E+02\r\n"
    "3.20290E-03  1.485E+02  1.460E+02\r\n"
    "\r\n"
    "4.00000E-03  7.788E+01  7.636E+01\r\n";

double powerLawBetween(double e1, double v1, double e2, double v2, double e) {
    return v1 * std::pow(v2 / v1, std::log(e / e1) / std::log(e2 / e1));
}

TEST(NistTable, ReadsRowsSkippingCommentsAndBlankLines) {
    const NistTable table = parseNistTable(kAirAroundArgonEdge, "air.txt");
    ASSERT_EQ(table.rows.size(), 5u);
    EXPECT_DOUBLE_EQ(table.rows[0].energyMeV, 2.0e-3);
    EXPECT_DOUBLE_EQ(table.rows[3].massAttenuationCm2PerG, 148.5);
    EXPECT_DOUBLE_EQ(table.rows[4].massEnergyAbsorptionCm2PerG, 76.36);
}

TEST(NistTable, InterpolatesOnTheCorrectSideOfAnEdge) {
    const NistTable table = parseNistTable(kAirAroundArgonEdge, "air.txt");
    const auto muEn = [&](double energyKeV) {
        return logLogAt(table, NistColumn::massEnergyAbsorption, energyKeV / 1000.0);
    };
    // Tabulated energies give the table's values.
    EXPECT_DOUBLE_EQ(muEn(3.0), 161.4);
    EXPECT_DOUBLE_EQ(muEn(4.0), 76.36);
    // At and above the edge energy: the above-edge branch.
    EXPECT_NEAR(muEn(3.2029), 146.0, 1e-9);
    EXPECT_NEAR(muEn(3.5), powerLawBetween(3.2029, 146.0, 4.0, 76.36, 3.5), 1e-9);
    // Just below the edge: the below-edge branch only.
    EXPECT_NEAR(muEn(3.1), powerLawBetween(3.0, 161.4, 3.2029, 133.0, 3.1), 1e-9);
    EXPECT_LT(muEn(3.2), 133.5);
    // Below the table: the first interval extended.
    EXPECT_NEAR(muEn(1.0), powerLawBetween(2.0, 526.2, 3.0, 161.4, 1.0), 1e-9);
    EXPECT_THROW(muEn(4.5), std::domain_error);
}

TEST(NistTable, RejectsMalformedTablesNamingLineAndField) {
    struct Case {
        const char* text;
        int line;
        const char* field;
    };
    const Case cases[] = {
        {"1.0E-03 3.6E+03\n", 1, ""},
        {"# c\n1.0E-03 3.6E+03 x\n", 2, "mu_en/rho"},
        {"1.0E-03 3.6E+03 3.5E+03\n1.5E-03 -1.0 1.0\n", 2, "mu/rho"},
        {"1.0E-03 3.6E+03 3.5E+03\n0.9E-03 1.0 1.0\n", 2, "energy"},
        {"1.0E-03 1 1\n2.0E-03 1 1\n2.0E-03 1 1\n2.0E-03 1 1\n", 4, "energy"},
        {"1.0E-03 1 1\n", 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        try {
            parseNistTable(c.text, "bad.txt");
            ADD_FAILURE() << "no error";
        } catch (const InputError& error) {
            EXPECT_EQ(error.file(), "bad.txt");
            EXPECT_EQ(error.line(), c.line);
            EXPECT_EQ(error.field(), c.field);
        }
    }
}

}  // namespace
}  // namespace velmora::physics_data
