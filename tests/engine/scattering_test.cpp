#include "engine/physics/scattering.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "test_tables.h"

namespace velmora {
namespace {

using testing::flatScatteringFactors;

TEST(KahnTrial, ReproducesTheWorkedTrialAt100keV) {
    // a = 5.11, B = 0.1482: r1 = 0.9 takes the second branch.
    const KahnTrial trial = kahnTrial(100.0f, 0.9f, 0.5f, 0.3f);
    EXPECT_TRUE(trial.passes);
    EXPECT_NEAR(trial.eta, 1.16367, 5e-5);
    EXPECT_NEAR(trial.cosine, 0.16367, 5e-5);
    const float theta = scatteringAngleFromCosine(trial.cosine);
    EXPECT_NEAR(theta, 1.4064, 5e-4);
    EXPECT_NEAR(theta * 180 / M_PI, 80.58, 0.01);
    EXPECT_NEAR(std::sin(theta * 0.5) * 100.0 / 12.4, 5.215, 5e-3);
    EXPECT_NEAR(100.0 / (1 + 100.0 / 511.0 * (1 - std::cos(theta))), 85.935, 5e-3);
}

TEST(KahnTrial, BranchEdgeCases) {
    // First branch (r1 <= B), r2 = 0: eta = 1 and 4 (1 - 1) = 0 never exceeds r3.
    EXPECT_FALSE(kahnTrial(100.0f, 0.0f, 0.0f, 0.0f).passes);
    // Second branch, r2 = 0: eta = 1, c = 1, acceptance value 1 exceeds every deviate.
    const KahnTrial forward = kahnTrial(100.0f, 0.9f, 0.0f, 0.9999f);
    EXPECT_TRUE(forward.passes);
    EXPECT_EQ(forward.cosine, 1.0f);
    // First branch: c = 1 - 2 r2 whatever the energy.
    for (float energy : {10.0f, 60.0f, 150.0f}) {
        EXPECT_NEAR(kahnTrial(energy, 0.0f, 0.25f, 0.0f).cosine, 0.5f, 1e-5);
    }
}

TEST(ScatteringAngle, CoversZeroToPi) {
    EXPECT_FLOAT_EQ(scatteringAngleFromCosine(1.0f), 0.0f);
    EXPECT_FLOAT_EQ(scatteringAngleFromCosine(0.0f), 3.141592f * 0.5f);
    EXPECT_NEAR(scatteringAngleFromCosine(-0.5f), 2.0943951, 1e-6);
    EXPECT_NEAR(scatteringAngleFromCosine(-1.0f), 3.141592, 1e-6);  // exact backscatter is pi, not 0
    EXPECT_FLOAT_EQ(scatteringAngleFromCosine(1.0000001f), 0.0f);
}

// Histogram of cos(theta) in `bins` equal bins over [-1, 1].
std::vector<double> histogram(const std::vector<double>& cosines, int bins) {
    std::vector<double> counts(bins, 0.0);
    for (double c : cosines) counts[std::min(bins - 1, static_cast<int>((c + 1) / 2 * bins))] += 1;
    for (double& n : counts) n /= cosines.size();
    return counts;
}

// Expected bin probabilities from a density in cos(theta), integrated numerically.
template <typename Density>
std::vector<double> expectedHistogram(Density density, int bins) {
    std::vector<double> p(bins, 0.0);
    const int steps = 2000;
    double total = 0;
    for (int b = 0; b < bins; ++b) {
        for (int s = 0; s < steps; ++s) {
            const double mu = -1 + 2.0 * (b + (s + 0.5) / steps) / bins;
            p[b] += density(mu);
        }
        total += p[b];
    }
    for (double& v : p) v /= total;
    return p;
}

void expectHistogramsAgree(const std::vector<double>& observed, const std::vector<double>& expected, int n) {
    for (std::size_t b = 0; b < observed.size(); ++b) {
        const double sigma = std::sqrt(expected[b] * (1 - expected[b]) / n);
        EXPECT_NEAR(observed[b], expected[b], 5 * sigma + 1e-4) << "bin " << b;
    }
}

TEST(SampleIncoherent, FollowsKleinNishinaTimesTheIncoherentFunction) {
    ScatteringFactorTable factors = flatScatteringFactors();  // S(x) = min(x, 1)
    CoherentCdf cdf;
    buildCoherentCdf(factors, cdf);
    for (float energy : {30.0f, 100.0f}) {
        UniformGenerator generator;
        generator.seed();
        const int n = 200000;
        std::vector<double> cosines;
        for (int i = 0; i < n; ++i) {
            const IncoherentResult r = sampleIncoherent(energy, factors, generator);
            ASSERT_NEAR(r.angle.cosTheta * r.angle.cosTheta + r.angle.sinTheta * r.angle.sinTheta, 1.0, 1e-6);
            ASSERT_GE(r.angle.sinTheta, 0.0f);
            // Compton kinematics: E' = E / (1 + E/511 (1 - cos)).
            ASSERT_NEAR(r.energyAfter, energy / (1 + energy / 511.0 * (1 - r.angle.cosTheta)), 1e-3);
            cosines.push_back(r.angle.cosTheta);
        }
        const double k = energy / 511.0;
        const auto density = [&](double mu) {
            const double ratio = 1.0 / (1 + k * (1 - mu));
            const double kleinNishina = ratio * ratio * (ratio + 1 / ratio - (1 - mu * mu));
            const double x = energy * std::sqrt((1 - mu) / 2) / 12.4;
            return kleinNishina * std::min(x, 1.0);
        };
        expectHistogramsAgree(histogram(cosines, 20), expectedHistogram(density, 20), n);
    }
}

TEST(SampleCoherent, FollowsTheSquaredFormFactorTimesOnePlusCosineSquared) {
    ScatteringFactorTable factors = flatScatteringFactors();  // F = 1 on 0 ... 11 1/A
    CoherentCdf cdf;
    buildCoherentCdf(factors, cdf);
    const float energy = 150.0f;  // x up to 12.1: every tabulated x is possible
    UniformGenerator generator;
    generator.seed();
    const int n = 200000;
    std::vector<double> cosines;
    for (int i = 0; i < n; ++i) {
        const ScatteringAngle a = sampleCoherent(energy, factors, cdf, generator);
        ASSERT_NEAR(a.cosTheta * a.cosTheta + a.sinTheta * a.sinTheta, 1.0, 1e-6);
        cosines.push_back(a.cosTheta);
    }
    // The table gives x the density F(x_k)^2 x_k on interval k (none on the
    // first); with x^2 proportional to (1 - mu) the density in mu follows.
    const auto density = [&](double mu) {
        const double x = energy * std::sqrt((1 - mu) / 2) / 12.4;
        double weight = 0;
        for (int k = 3; k <= kScatteringPoints; ++k) {
            if (x >= factors.x[k - 1] && x < factors.x[k]) weight = factors.x[k] / x;  // x dx ~ dmu
        }
        return weight * (1 + mu * mu);
    };
    expectHistogramsAgree(histogram(cosines, 20), expectedHistogram(density, 20), n);
}

TEST(SampleCoherent, RejectsImpossibleMomentumTransferWithoutASecondDraw) {
    ScatteringFactorTable factors = flatScatteringFactors();
    CoherentCdf cdf;
    buildCoherentCdf(factors, cdf);
    // At 10 keV only x <= 10 / 12.4 is possible; every result must respect it.
    UniformGenerator generator;
    generator.seed();
    for (int i = 0; i < 1000; ++i) {
        const ScatteringAngle a = sampleCoherent(10.0f, factors, cdf, generator);
        const double halfAngleSine = std::sqrt((1 - a.cosTheta) / 2);
        ASSERT_LE(halfAngleSine * 10.0 / 12.4, 10.0 / 12.4 + 1e-6);
    }
}

TEST(TurnDirection, TurnsByTheScatteringAngleAndKeepsAUnitVector) {
    UniformGenerator generator;
    generator.seed();
    for (int i = 0; i < 2000; ++i) {
        PhotonState photon;
        const double cosTheta = 2.0 * generator.uniform() - 1.0;
        const double phi = 2 * M_PI * generator.uniform();
        photon.cosTheta = static_cast<float>(cosTheta);
        photon.sinTheta = static_cast<float>(std::sqrt(1 - cosTheta * cosTheta));
        photon.cosPhi = static_cast<float>(std::cos(phi));
        photon.sinPhi = static_cast<float>(std::sin(phi));
        const double before[3] = {photon.sinTheta * photon.cosPhi, photon.sinTheta * photon.sinPhi, photon.cosTheta};
        const double angle = M_PI * generator.uniform();
        const ScatteringAngle scatter{static_cast<float>(std::cos(angle)), static_cast<float>(std::sin(angle))};
        turnDirection(photon, scatter, generator);
        const double after[3] = {photon.sinTheta * photon.cosPhi, photon.sinTheta * photon.sinPhi, photon.cosTheta};
        const double norm = after[0] * after[0] + after[1] * after[1] + after[2] * after[2];
        ASSERT_NEAR(norm, 1.0, 2e-5);
        ASSERT_NEAR(before[0] * after[0] + before[1] * after[1] + before[2] * after[2], std::cos(angle), 2e-4);
    }
}

TEST(TurnDirection, SpecialDirections) {
    UniformGenerator generator;
    generator.seed();
    UniformGenerator copy = generator;

    // No turn: direction unchanged, one deviate used.
    PhotonState photon;
    photon.cosTheta = 0.6f;
    photon.sinTheta = 0.8f;
    photon.cosPhi = 0.28f;
    photon.sinPhi = 0.96f;
    turnDirection(photon, ScatteringAngle{1.0f, 0.0f}, generator);
    EXPECT_NEAR(photon.cosTheta, 0.6f, 1e-6);
    EXPECT_NEAR(photon.cosPhi, 0.28f, 1e-6);
    EXPECT_NEAR(photon.sinPhi, 0.96f, 1e-6);
    copy.uniform();
    EXPECT_EQ(generator.uniform(), copy.uniform());

    // From a flight along +z: new polar cosine = cos(theta_s), azimuth pi - psi.
    UniformGenerator again;
    again.seed();
    const float r = UniformGenerator(again).uniform();
    PhotonState alongZ;  // cosTheta 1, sinTheta 0
    turnDirection(alongZ, ScatteringAngle{0.5f, static_cast<float>(std::sqrt(0.75))}, again);
    const double psi = static_cast<float>(r * 3.141592f * 2.0);
    EXPECT_NEAR(alongZ.cosTheta, 0.5f, 1e-6);
    EXPECT_NEAR(alongZ.sinPhi, std::sin(psi), 1e-6);
    EXPECT_NEAR(alongZ.cosPhi, -std::cos(psi), 1e-6);
}

}  // namespace
}  // namespace velmora
