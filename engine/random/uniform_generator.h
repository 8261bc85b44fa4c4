// The run's only source of random numbers: an additive lagged-Fibonacci
// generator X(n) = (X(n-24) + X(n-55)) mod 16384, scaled to [0, 1).
#pragma once

#include <array>
#include <cstdint>

namespace velmora {

class UniformGenerator {
public:
    static constexpr int kLags = 55;
    static constexpr std::int32_t kModulus = 16384;
    // 16384.1 held in single precision; dividing by it keeps the largest
    // deviate (16383 / 16384.0996) below 1.
    static constexpr double kDivisor = static_cast<double>(16384.1f);

    // Fills the lag table from the fixed seed 3783 and runs 3000 warm-up steps.
    void seed();

    // Fills the lag table from an arbitrary first entry (same recurrence as seed()).
    void seedWith(std::int32_t firstEntry);

    // The lag table as the fill leaves it, before the warm-up (1-based).
    using LagTable = std::array<std::int32_t, kLags + 1>;
    static LagTable filledTable(std::int32_t firstEntry);

    // One step: the new table value divided by the divisor, rounded to float.
    float uniform() { return toDeviate(nextInteger()); }

    // One step, returning the new table value (0 ... 16383).
    std::int32_t nextInteger() {
        std::int32_t value = table_[lagShort_] + table_[lagLong_];
        if (value >= kModulus) value -= kModulus;
        table_[lagLong_] = value;
        if (--lagShort_ == 0) lagShort_ = kLags;
        if (--lagLong_ == 0) lagLong_ = kLags;
        return value;
    }

    static float toDeviate(std::int32_t value) {
        return static_cast<float>(static_cast<double>(value) / kDivisor);
    }

    // The last 55 outputs, the most recent first: recent[j - 1] = X(n - j).
    using RecentOutputs = std::array<std::int32_t, kLags>;
    RecentOutputs recentOutputs() const;
    // Continues the sequence after the given outputs, as if they had just been drawn.
    void continueAfter(const RecentOutputs& recent);

    std::int32_t tableEntry(int index) const { return table_[index]; }  // 1 ... 55
    int lagShort() const { return lagShort_; }
    int lagLong() const { return lagLong_; }

private:
    LagTable table_{};  // 1-based
    int lagShort_ = 24;
    int lagLong_ = 55;
};

}  // namespace velmora
