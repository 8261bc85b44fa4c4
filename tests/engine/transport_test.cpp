#include "engine/transport/transport.h"

#include <gtest/gtest.h>

#include <cmath>

#include "test_tables.h"

namespace velmora {
namespace {

using testing::crossSectionTable;
using testing::flatScatteringFactors;

InteractionData tables(float coherent, float incoherent, float photoelectric) {
    InteractionData data;
    data.crossSections = crossSectionTable({{1, coherent, incoherent, photoelectric}, {200, coherent, incoherent, photoelectric}});
    data.scatteringFactors = flatScatteringFactors();
    buildCoherentCdf(data.scatteringFactors, data.coherentCdf);
    return data;
}

// A photon entering at (20, 0.5, 0), tilted slightly so every coordinate changes.
PhotonState enteringPhoton(float energy, double sinTheta = 0.01) {
    PhotonState photon;
    photon.energy = energy;
    photon.x = 20.0f;
    photon.y = 0.5f;
    photon.z = 0.0f;
    photon.sinTheta = static_cast<float>(sinTheta);
    photon.cosTheta = static_cast<float>(std::sqrt(1 - sinTheta * sinTheta));
    photon.cosPhi = 0.6f;
    photon.sinPhi = 0.8f;
    return photon;
}

double tallySum(const DoseTally& tally, int component) {
    double sum = 0;
    for (float v : tally.component(component)) sum += v;
    return sum;
}

TEST(Transport, UncollidedFractionOfANarrowBeamIsExpMinusMuT) {
    const InteractionData data = tables(0.02f, 0.18f, 0.03f);  // mu = 0.23 1/cm
    TransportBox slab;
    slab.zMax = 2.0f;
    DoseTally tally(0.0f);
    UniformGenerator generator;
    generator.seed();
    const int n = 200000;
    int uncollided = 0;
    for (int i = 0; i < n; ++i) {
        PhotonState photon = enteringPhoton(50.0f);
        const HistoryEnd end = transportPhoton(photon, data, slab, generator, tally);
        uncollided += end == HistoryEnd::escaped && photon.component == 1 && photon.z == 0.0f;
    }
    const double path = 2.0 / std::sqrt(1 - 0.0001);
    const double expected = std::exp(-0.23 * path);
    EXPECT_NEAR(static_cast<double>(uncollided) / n, expected, 5 * std::sqrt(expected * (1 - expected) / n));
}

TEST(Transport, NeverDepositsMoreThanTheIncidentEnergy) {
    const InteractionData data = tables(0.02f, 0.18f, 0.03f);
    TransportBox box;
    DoseTally tally(0.0f);  // slab at the entrance face: the whole first 2 mm
    UniformGenerator generator;
    generator.seed();
    const int n = 20000;
    for (int i = 0; i < n; ++i) {
        PhotonState photon = enteringPhoton(60.0f);
        transportPhoton(photon, data, box, generator, tally);
    }
    const double deposited = tallySum(tally, 1) + tallySum(tally, 2);
    EXPECT_GT(deposited, 0.0);
    EXPECT_LE(deposited, 60.0 * n);
}

TEST(Transport, TheFourEnds) {
    const InteractionData absorbing = tables(1e-6f, 1e-6f, 100.0f);
    TransportBox box;
    UniformGenerator generator;
    generator.seed();

    {  // Absorbed at its first interaction, inside the slab: the whole energy to component 1.
        DoseTally tally(0.0f);
        PhotonState photon = enteringPhoton(40.0f, 0.3);
        EXPECT_EQ(transportPhoton(photon, absorbing, box, generator, tally), HistoryEnd::absorbed);
        EXPECT_FLOAT_EQ(tallySum(tally, 1), 40.0);
        EXPECT_EQ(tallySum(tally, 2), 0.0);
    }
    {  // The same in the couch layer scores nothing.
        DoseTally tally(1.0f);
        PhotonState photon = enteringPhoton(40.0f, 0.3);
        EXPECT_EQ(transportPhoton(photon, absorbing, box, generator, tally), HistoryEnd::absorbed);
        EXPECT_EQ(tallySum(tally, 1), 0.0);
    }
    {  // Below the cut-off: deposited where it stands, no deviate drawn.
        DoseTally tally(0.0f);
        UniformGenerator copy = generator;
        PhotonState photon = enteringPhoton(4.5f, 0.3);
        EXPECT_EQ(transportPhoton(photon, absorbing, box, generator, tally), HistoryEnd::cutOff);
        EXPECT_FLOAT_EQ(tallySum(tally, 1), 4.5);
        EXPECT_EQ(generator.uniform(), copy.uniform());
    }
    {  // Flying back out through z = 0.
        DoseTally tally(0.0f);
        PhotonState photon = enteringPhoton(40.0f, 0.3);
        photon.z = 0.5f;
        photon.cosTheta = -photon.cosTheta;
        const InteractionData thin = tables(1e-6f, 1e-6f, 1e-6f);
        EXPECT_EQ(transportPhoton(photon, thin, box, generator, tally), HistoryEnd::escaped);
    }
    {  // A start with y unchanged by the flight (sinPhi = 0) stalls at once.
        DoseTally tally(0.0f);
        PhotonState photon = enteringPhoton(40.0f, 0.3);
        photon.sinPhi = 0.0f;
        photon.cosPhi = 1.0f;
        EXPECT_EQ(transportPhoton(photon, absorbing, box, generator, tally), HistoryEnd::stalled);
        EXPECT_EQ(tallySum(tally, 1), 0.0);
    }
}

TEST(Transport, ScatteredPhotonsDepositIntoComponentTwo) {
    // Coherent scattering deposits nothing but switches the photon to component 2,
    // so with coherent dominating almost all absorbed energy lands in component 2.
    const InteractionData data = tables(5.0f, 1e-6f, 0.5f);
    TransportBox box;
    DoseTally tally(0.0f);
    UniformGenerator generator;
    generator.seed();
    for (int i = 0; i < 5000; ++i) {
        PhotonState photon = enteringPhoton(30.0f);
        transportPhoton(photon, data, box, generator, tally);
    }
    const double primary = tallySum(tally, 1), scatter = tallySum(tally, 2);
    EXPECT_GT(primary, 0.0);
    EXPECT_GT(scatter, 2 * primary);
}

}  // namespace
}  // namespace velmora
