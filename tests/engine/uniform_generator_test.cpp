#include "engine/random/uniform_generator.h"
#include "engine/random/block_generator.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(UniformGenerator, SeedingFillsTheLagTableAndWarmUpLeavesTheIndicesAt49And25) {
    const UniformGenerator::LagTable table = UniformGenerator::filledTable(3783);
    const int expected[] = {3783, 7568, 15139, 13898, 11417};
    for (int i = 1; i <= 5; ++i) EXPECT_EQ(table[i], expected[i - 1]) << "entry " << i;
    EXPECT_EQ(table[55], 16327);

    UniformGenerator generator;
    generator.seed();
    EXPECT_EQ(generator.lagShort(), 49);
    EXPECT_EQ(generator.lagLong(), 25);
}

TEST(UniformGenerator, FirstIntegersAndDeviatesAfterWarmUpAreThePublishedOnes) {
    UniformGenerator generator;
    generator.seed();
    const int integers[] = {14830, 6771, 16224, 6161, 9348, 14206, 6464, 4721, 10842, 11259};
    for (int expected : integers) EXPECT_EQ(generator.nextInteger(), expected);

    UniformGenerator again;
    again.seed();
    const float deviates[] = {0.9051459f, 0.4132665f, 0.9902284f, 0.3760353f};
    for (float expected : deviates) EXPECT_FLOAT_EQ(again.uniform(), expected);
}

TEST(UniformGenerator, DeviatesStayInTheUnitIntervalAndTheLargestIsBelowOne) {
    EXPECT_EQ(UniformGenerator::toDeviate(0), 0.0f);
    EXPECT_FLOAT_EQ(UniformGenerator::toDeviate(16383), 0.9999329f);
    EXPECT_LT(UniformGenerator::toDeviate(16383), 1.0f);

    UniformGenerator generator;
    generator.seed();
    int zeros = 0;
    for (int i = 0; i < 1'000'000; ++i) {
        const float r = generator.uniform();
        ASSERT_GE(r, 0.0f);
        ASSERT_LT(r, 1.0f);
        zeros += r == 0.0f;
    }
    // A zero deviate occurs about once in 16384 draws.
    EXPECT_NEAR(zeros, 1'000'000 / 16384.0, 25);
}

// The block form draws the same sequence across block boundaries, from any
// phase of the lags, and hands back a generator that carries on with it.
TEST(BlockGenerator, DrawsTheReferenceSequenceAndHandsBackItsState) {
    for (int phase : {0, 1, 30, 54}) {
        UniformGenerator reference;
        reference.seed();
        for (int i = 0; i < phase; ++i) reference.nextInteger();
        BlockGenerator block(reference);
        for (int i = 0; i < 10'000; ++i) ASSERT_EQ(block.nextInteger(), reference.nextInteger()) << phase << ", " << i;
        UniformGenerator handedBack = block.state();
        for (int i = 0; i < 200; ++i) ASSERT_EQ(handedBack.nextInteger(), reference.nextInteger()) << phase << ", " << i;
    }
}

}  // namespace
}  // namespace velmora
