#include "engine/tally/dose_tally.h"

#include <gtest/gtest.h>

#include <cmath>

namespace velmora {
namespace {

TEST(DoseTally, ScoresOnlyInsideTheSlabWithBothEndsIncluded) {
    DoseTally tally(1.0f);  // slab 1.0 <= z <= 1.2000000030 (T + 0.2f unrounded)
    struct Case {
        float z;
        bool scored;
    };
    const Case cases[] = {
        {1.0f, true},
        {std::nextafter(1.0f, 0.0f), false},  // inside the couch layer
        {1.1999999285f, true},
        {1.2f, false},  // 1.2000000477 in single precision lies beyond the bound
        {5.0f, false},
    };
    for (const Case& c : cases) {
        tally.clear();
        tally.deposit(1, 20.05f, 0.05f, c.z, 10.0f);
        EXPECT_EQ(tally.cell(1, 201, 1), c.scored ? 10.0f : 0.0f) << c.z;
    }
    DoseTally onSurface(0.0f);
    onSurface.deposit(2, 0.05f, 0.0f, 0.0f, 3.0f);
    EXPECT_EQ(onSurface.cell(2, 1, 1), 3.0f);
}

TEST(DoseTally, BinsXAndFoldsBothSignsOfY) {
    DoseTally tally(0.0f);
    tally.deposit(1, 39.95f, 0.05f, 0.1f, 1.0f);
    tally.deposit(1, 0.05f, -0.05f, 0.1f, 2.0f);
    tally.deposit(1, 0.05f, 0.05f, 0.1f, 4.0f);
    tally.deposit(2, 10.0f, 0.1f, 0.1f, 8.0f);
    tally.deposit(1, 40.0f, 0.0f, 0.1f, 100.0f);    // beyond bin 400: ignored
    tally.deposit(1, -0.15f, 0.0f, 0.1f, 100.0f);   // trunc(-1.5) + 1 = 0: ignored
    tally.deposit(1, 20.0f, 20.0f, 0.1f, 100.0f);   // |y| bin 201: ignored
    EXPECT_EQ(tally.cell(1, 400, 1), 1.0f);
    EXPECT_EQ(tally.cell(1, 1, 1), 6.0f);
    EXPECT_EQ(tally.cell(2, 101, 2), 8.0f);
    double sum = 0;
    for (int c = 1; c <= 2; ++c)
        for (float v : tally.component(c)) sum += v;
    EXPECT_EQ(sum, 15.0);
}

TEST(AirKermaAndNormalisation, WorkedExample) {
    // 1.0 cm2/g, 1000 histories at 50 keV, field 10 cm, FID 100, FSD 80.
    const float sum = addBinToAirKerma(0.0f, 1.0f, 1000, 50.0f);
    EXPECT_EQ(sum, 50000.0f);
    const float airKerma = finishAirKerma(sum, 10.0f, 100.0f, 80.0f);
    EXPECT_NEAR(airKerma, 2.503e-10, 5e-14);

    DoseTally tally(0.0f);
    tally.deposit(1, 5.05f, 0.05f, 0.1f, 1000.0f);
    tally.normalise(airKerma);
    // 1000 keV in 2 mg: 8.01e-8 Gy; divided by the air kerma: 320.0.
    EXPECT_NEAR(tally.cell(1, 51, 1), 320.0f, 1e-3);
    EXPECT_EQ(tally.cell(2, 51, 1), 0.0f);
}

TEST(DoseTally, MirrorInXSwapsBinIWith401MinusI) {
    DoseTally tally(0.0f);
    tally.deposit(1, 0.05f, 0.05f, 0.1f, 1.0f);
    tally.deposit(2, 12.34f, 3.0f, 0.1f, 2.0f);
    tally.mirrorInX();
    EXPECT_EQ(tally.cell(1, 400, 1), 1.0f);
    EXPECT_EQ(tally.cell(1, 1, 1), 0.0f);
    EXPECT_EQ(tally.cell(2, 401 - 124, 31), 2.0f);
}

}  // namespace
}  // namespace velmora
