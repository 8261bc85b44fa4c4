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

// The entry to be overwritten next (lagLong_) holds X(n - 55); the entries
// above it, cyclically, were written 1, 2, ... steps ago.
UniformGenerator::RecentOutputs UniformGenerator::recentOutputs() const {
    RecentOutputs recent{};
    for (int j = 1; j <= kLags; ++j) recent[j - 1] = table_[(lagLong_ - 1 + j) % kLags + 1];
    return recent;
}

// With the lags at 24 and 55, entry p is read as X(n - p).
void UniformGenerator::continueAfter(const RecentOutputs& recent) {
    for (int p = 1; p <= kLags; ++p) table_[p] = recent[p - 1];
    lagShort_ = 24;
    lagLong_ = 55;
}

}  // namespace velmora
