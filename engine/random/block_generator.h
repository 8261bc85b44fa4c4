// The reference generator computed a block at a time: the same sequence
// X(n) = (X(n-24) + X(n-55)) mod 16384, but drawn from a plain array, so that
// a draw is one load instead of two loads, a store and two wrapped lags.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

#include "engine/random/uniform_generator.h"

namespace velmora {

class BlockGenerator {
public:
    // Continues `start`'s sequence from where it stands.
    explicit BlockGenerator(const UniformGenerator& start) {
        const UniformGenerator::RecentOutputs recent = start.recentOutputs();
        for (int j = 1; j <= kLags; ++j) values_[kLags - j] = recent[j - 1];
        fillBlock();
    }

    std::int32_t nextInteger() {
        if (next_ == kEnd) {
            std::copy(values_.end() - kLags, values_.end(), values_.begin());
            fillBlock();
        }
        return values_[next_++];
    }

    // The reference generator standing where this one stands.
    UniformGenerator state() const {
        UniformGenerator::RecentOutputs recent{};
        for (int j = 1; j <= kLags; ++j) recent[j - 1] = values_[next_ - j];
        UniformGenerator generator;
        generator.continueAfter(recent);
        return generator;
    }

private:
    static constexpr int kLags = UniformGenerator::kLags;
    static constexpr int kBlock = 4096;
    static constexpr int kEnd = kLags + kBlock;

    // values_[0 ... 54] are the 55 outputs before the block, oldest first.
    void fillBlock() {
        for (int i = kLags; i < kEnd; ++i) {
            std::int32_t value = values_[i - 24] + values_[i - kLags];
            if (value >= UniformGenerator::kModulus) value -= UniformGenerator::kModulus;
            values_[i] = value;
        }
        next_ = kLags;
    }

    std::array<std::int32_t, kEnd> values_{};
    int next_ = kLags;
};

}  // namespace velmora
