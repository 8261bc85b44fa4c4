#include "engine/source/photon_source.h"

#include <gtest/gtest.h>

#include <cmath>

namespace velmora {
namespace {

BeamGeometry beam(double degrees, float fsd, float fid, float fieldSize) {
    return BeamGeometry{static_cast<float>(degrees * 3.141592f / 180.0), fid, fsd, fieldSize};
}

TEST(StartPhoton, ReproducesTheWorkedExample) {
    // 30 degrees, FSD 65, FID 100, FS 30, r1 = 0.75, r2 = 0.5.
    const PhotonState p = startPhotonFrom(beam(30, 65, 100, 30), 60.0f, 0.75f, 0.5f);
    EXPECT_NEAR(p.x, 25.884, 5e-4);
    EXPECT_NEAR(p.y, 5.114, 5e-4);
    EXPECT_EQ(p.z, 0.0f);
    EXPECT_NEAR(p.cosTheta, 0.8239, 5e-5);
    EXPECT_NEAR(p.sinTheta, 0.5668, 5e-5);
    EXPECT_NEAR(p.cosPhi, 0.9912, 5e-5);
    EXPECT_NEAR(p.sinPhi, 0.1321, 5e-5);
    EXPECT_EQ(p.energy, 60.0f);
    EXPECT_EQ(p.component, 1);
}

TEST(StartPhoton, NormalIncidenceStartsOnTheCentralAxisAndScalesXByFsdOverFid) {
    const BeamGeometry normal = beam(0, 55, 100, 20);
    const PhotonState central = startPhotonFrom(normal, 50.0f, 0.5f, 0.0f);
    EXPECT_FLOAT_EQ(central.x, 20.0f);
    EXPECT_EQ(central.y, 0.0f);
    EXPECT_EQ(central.sinPhi, 0.0f);  // r2 = 0: flies in the plane of incidence
    EXPECT_FLOAT_EQ(central.cosTheta, 1.0f);
    for (float r1 : {0.0f, 0.2f, 0.9f}) {
        const PhotonState p = startPhotonFrom(normal, 50.0f, r1, 0.4f);
        EXPECT_NEAR(p.x - 20.0, (r1 - 0.5) * 20.0 * 55.0 / 100.0, 1e-5);
    }
}

// Independent geometry: the start lies where the ray from the focus through the
// detector-plane point (u, w) meets z = 0, and the start direction points away
// from the focus. The in-plane coordinate x is exact; the scale of y is taken
// as sqrt(FSD^2 + u^2) / sqrt(FID^2 + u^2) (plus the obliquity term), which at
// the field's edges is wider than the exact ray by u^2 / 2 (1/FSD^2 - 1/FID^2):
// 1 % for FSD 55 and a 20 cm field, 6 to 8 % for FSD 40 and a 30 cm field.
TEST(StartPhoton, EveryStartLiesOnTheRayFromTheFocusThroughTheField) {
    for (double degrees : {0.0, 15.0, 30.0, 45.0, 60.0}) {
        for (float fsd : {40.0f, 55.0f, 80.0f}) {
            const BeamGeometry b = beam(degrees, fsd, 100, 30);
            const double t = b.incidenceRadians;
            const double focus[3] = {20 - fsd * std::sin(t), 0, -fsd * std::cos(t)};
            for (float r1 : {0.0f, 0.1f, 0.5f, 0.77f, 0.9999f}) {
                for (float r2 : {0.0f, 0.3f, 0.9999f}) {
                    const PhotonState p = startPhotonFrom(b, 40.0f, r1, r2);
                    ASSERT_EQ(p.z, 0.0f);
                    ASSERT_GE(p.y, 0.0f);
                    ASSERT_GT(p.cosTheta, 0.0f);
                    const double u = (r1 - 0.5) * 30.0, w = r2 * 15.0;
                    const double det[3] = {focus[0] + 100 * std::sin(t) + u * std::cos(t), w,
                                           focus[2] + 100 * std::cos(t) - u * std::sin(t)};
                    const double s = -focus[2] / (det[2] - focus[2]);
                    EXPECT_NEAR(p.x, focus[0] + s * (det[0] - focus[0]), 1e-4 * (1 + std::fabs(p.x)));
                    EXPECT_NEAR(p.y, s * w, 0.08 * s * w + 1e-6) << degrees << " " << r1 << " " << r2;

                    const double to[3] = {p.x - focus[0], p.y - focus[1], p.z - focus[2]};
                    const double length = std::sqrt(to[0] * to[0] + to[1] * to[1] + to[2] * to[2]);
                    EXPECT_NEAR(p.sinTheta * p.cosPhi, to[0] / length, 2e-6);
                    EXPECT_NEAR(p.sinTheta * p.sinPhi, to[1] / length, 2e-6);
                    EXPECT_NEAR(p.cosTheta, to[2] / length, 2e-6);
                }
            }
        }
    }
}

TEST(StartPhoton, DrawsExactlyTwoDeviatesUThenW) {
    UniformGenerator generator;
    generator.seed();
    UniformGenerator copy = generator;
    const PhotonState p = startPhoton(beam(30, 55, 100, 20), 50.0f, generator);
    const float r1 = copy.uniform();
    const float r2 = copy.uniform();
    const PhotonState q = startPhotonFrom(beam(30, 55, 100, 20), 50.0f, r1, r2);
    EXPECT_EQ(p.x, q.x);
    EXPECT_EQ(p.y, q.y);
    EXPECT_EQ(generator.uniform(), copy.uniform());
}

}  // namespace
}  // namespace velmora
