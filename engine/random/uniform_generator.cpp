#include "engine/random/uniform_generator.h"

namespace velmora {

namespace {
constexpr std::int32_t kSeed = 3783;
constexpr int kWarmUpSteps = 3000;
}  // namespace

void UniformGenerator::seed() { seedWith(kSeed); }

UniformGenerator::LagTable UniformGenerator::filledTable(std::int32_t firstEntry) {
    LagTable table{};
    table[1] = firstEntry % kModulus;
    for (int i = 2; i <= kLags; ++i) table[i] = (2 * table[i - 1] + i) % kModulus;
    return table;
}

void UniformGenerator::seedWith(std::int32_t firstEntry) {
    table_ = filledTable(firstEntry);
    lagShort_ = 24;
    lagLong_ = 55;
    for (int step = 0; step < kWarmUpSteps; ++step) nextInteger();
}

}  // namespace velmora
