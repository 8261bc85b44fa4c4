#include "engine/physics/interaction_data.h"

#include <cmath>

namespace velmora {

namespace {

// The first index from 2 upward whose value is strictly greater than `key`,
// bounded by the table's last row (loading guarantees the key lies below it).
template <typename Table>
int firstAbove(const Table& values, int count, float key) {
    int j = 2;
    while (j < count && values[j] <= key) ++j;
    return j;
}

float logLog(float lower, float upper, float t) {
    const double lnLower = std::log(static_cast<double>(lower));
    return static_cast<float>(
        std::exp(lnLower + static_cast<double>(t) * (std::log(static_cast<double>(upper)) - lnLower)));
}

}  // namespace

void buildCoherentCdf(ScatteringFactorTable& factors, CoherentCdf& cdf) {
    factors.incoherentReference = factors.incoherentFunction[kScatteringPoints];

    auto& c = cdf.value;
    float accumulator = factors.formFactor[1];
    for (int i = 2; i <= kScatteringPoints; ++i) {
        const double f = factors.formFactor[i];
        accumulator = static_cast<float>(
            accumulator + (static_cast<double>(factors.x[i]) - factors.x[i - 1]) * f * f * factors.x[i]);
        c[i] = accumulator;
    }
    // The interval x(1) ... x(2) gets no probability: C(1) = C(2) = 0.
    c[1] = c[2];
    const float base = c[2];
    float largest = 0;
    for (int i = 1; i <= kScatteringPoints; ++i) {
        c[i] = static_cast<float>(static_cast<double>(c[i]) - base);
        if (c[i] > largest) largest = c[i];
    }
    for (int i = 1; i <= kScatteringPoints; ++i) {
        c[i] = static_cast<float>(static_cast<double>(c[i]) / largest);
    }
    cdf.top = c[kScatteringPoints];
}

Coefficients coefficientsAt(const CrossSectionTable& table, float energyKeV) {
    const int j = firstAbove(table.energy, table.count, energyKeV);
    const double lnLower = std::log(static_cast<double>(table.energy[j - 1]));
    const float t = static_cast<float>((std::log(static_cast<double>(energyKeV)) - lnLower) /
                                       (std::log(static_cast<double>(table.energy[j])) - lnLower));
    return Coefficients{
        logLog(table.coherent[j - 1], table.coherent[j], t),
        logLog(table.incoherent[j - 1], table.incoherent[j], t),
        logLog(table.photoelectric[j - 1], table.photoelectric[j], t),
    };
}

float incoherentFunctionAt(const ScatteringFactorTable& table, float x) {
    return incoherentFunctionOnInterval(table, firstAbove(table.x, kScatteringPoints, x), x);
}

float incoherentFunctionOnInterval(const ScatteringFactorTable& table, int j, float x) {
    const auto& s = table.incoherentFunction;
    return static_cast<float>((static_cast<double>(s[j]) - s[j - 1]) /
                                  (static_cast<double>(table.x[j]) - table.x[j - 1]) *
                                  (static_cast<double>(x) - table.x[j - 1]) +
                              s[j - 1]);
}

float sampleCoherentX(const ScatteringFactorTable& table, const CoherentCdf& cdf, float deviate) {
    const float scaled = static_cast<float>(static_cast<double>(deviate) * cdf.top);
    const auto& c = cdf.value;
    const int j = firstAbove(c, kScatteringPoints, scaled);
    return static_cast<float>(table.x[j - 1] + (static_cast<double>(table.x[j]) - table.x[j - 1]) *
                                                   (static_cast<double>(scaled) - c[j - 1]) /
                                                   (static_cast<double>(c[j]) - c[j - 1]));
}

}  // namespace velmora
