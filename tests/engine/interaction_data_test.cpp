#include "engine/physics/interaction_data.h"

#include <gtest/gtest.h>

#include <cmath>

#include "test_tables.h"

namespace velmora {
namespace {

using testing::crossSectionTable;
using testing::flatScatteringFactors;

TEST(CoefficientsAt, InterpolatesLogLogAsInTheWorkedExample) {
    // Rows at 50 and 60 keV holding 0.2 and 0.18 1/cm: at 55 keV log-log gives
    // 0.2 * 0.9^(ln 1.1 / ln 1.2) = 0.18934, not the linear 0.19.
    const CrossSectionTable table = crossSectionTable({{40, 1, 1, 1}, {50, 0.2f, 0.2f, 0.2f}, {60, 0.18f, 0.18f, 0.18f}, {200, 0.1f, 0.1f, 0.1f}});
    const Coefficients mu = coefficientsAt(table, 55.0f);
    EXPECT_NEAR(mu.coherent, 0.2 * std::pow(0.9, std::log(1.1) / std::log(1.2)), 1e-6);
    EXPECT_NEAR(mu.coherent, 0.1893, 5e-5);
    EXPECT_FLOAT_EQ(mu.incoherent, mu.coherent);
    EXPECT_FLOAT_EQ(mu.photoelectric, mu.coherent);
}

TEST(CoefficientsAt, ReturnsTheRowAtATabulatedEnergyAndExtrapolatesBelowTheFirst) {
    const CrossSectionTable table = crossSectionTable({{10, 5, 0.2f, 4}, {20, 2, 0.2f, 0.5f}, {200, 0.1f, 0.15f, 0.001f}});
    const Coefficients at20 = coefficientsAt(table, 20.0f);
    EXPECT_FLOAT_EQ(at20.coherent, 2.0f);
    EXPECT_FLOAT_EQ(at20.photoelectric, 0.5f);
    // Below energy(1) the first interval is extended: a power law through rows 1 and 2.
    const Coefficients at5 = coefficientsAt(table, 5.0f);
    EXPECT_NEAR(at5.photoelectric, 4.0 * 8.0, 1e-4);  // pe ~ E^-3 on that interval
    EXPECT_NEAR(at5.coherent, 5.0 * std::pow(2.5, 1.0), 1e-4);
}

TEST(CoherentCdf, StartsWithTwoZerosEndsAtOneAndNeverDecreases) {
    ScatteringFactorTable factors = flatScatteringFactors();
    CoherentCdf cdf;
    buildCoherentCdf(factors, cdf);
    EXPECT_EQ(cdf.value[1], 0.0f);
    EXPECT_EQ(cdf.value[2], 0.0f);
    EXPECT_EQ(cdf.value[kScatteringPoints], 1.0f);
    EXPECT_EQ(cdf.top, 1.0f);
    EXPECT_EQ(factors.incoherentReference, 1.0f);
    for (int i = 2; i <= kScatteringPoints; ++i) EXPECT_GE(cdf.value[i], cdf.value[i - 1]);
}

TEST(SampleCoherentX, NeverReturnsLessThanX2AndReturnsX2ForAZeroDeviate) {
    ScatteringFactorTable factors = flatScatteringFactors();
    CoherentCdf cdf;
    buildCoherentCdf(factors, cdf);
    EXPECT_FLOAT_EQ(sampleCoherentX(factors, cdf, 0.0f), factors.x[2]);
    for (int i = 0; i < 16384; ++i) {
        const float x = sampleCoherentX(factors, cdf, static_cast<float>(i / 16384.1));
        ASSERT_GE(x, factors.x[2]);
        ASSERT_LE(x, factors.x[kScatteringPoints]);
    }
}

TEST(SampleCoherentX, FollowsTheDensityFSquaredTimesX) {
    // With F = 1 the density of x is proportional to x on [x(2), x(45)] (the
    // cumulative table puts the weight of each interval at its upper end, so
    // compare with the discrete sum the table stands for).
    ScatteringFactorTable factors = flatScatteringFactors();
    CoherentCdf cdf;
    buildCoherentCdf(factors, cdf);
    double expectedMean = 0;
    double total = 0;
    for (int k = 3; k <= kScatteringPoints; ++k) {
        const double dx = factors.x[k] - factors.x[k - 1];
        const double weight = dx * factors.x[k];
        expectedMean += weight * 0.5 * (factors.x[k] + factors.x[k - 1]);
        total += weight;
    }
    expectedMean /= total;
    double mean = 0;
    const int n = 16384;
    for (int i = 0; i < n; ++i) mean += sampleCoherentX(factors, cdf, static_cast<float>((i + 0.5) / n));
    mean /= n;
    EXPECT_NEAR(mean, expectedMean, 1e-3);
    // And close to the continuous density 2x / (b^2 - a^2): mean 2/3 (b^3 - a^3) / (b^2 - a^2).
    const double a = factors.x[2], b = factors.x[kScatteringPoints];
    EXPECT_NEAR(mean, 2.0 / 3.0 * (b * b * b - a * a * a) / (b * b - a * a), 0.15);
}

TEST(IncoherentFunctionAt, InterpolatesLinearly) {
    ScatteringFactorTable factors = flatScatteringFactors();
    const float step = factors.x[2];  // 0.25
    EXPECT_FLOAT_EQ(incoherentFunctionAt(factors, 0.0f), 0.0f);
    EXPECT_FLOAT_EQ(incoherentFunctionAt(factors, 0.5f * step), 0.5f * step);
    EXPECT_FLOAT_EQ(incoherentFunctionAt(factors, 5.3f), 1.0f);
}

}  // namespace
}  // namespace velmora
