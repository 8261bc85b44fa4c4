// Small hand-made interaction tables for the engine's tests.
#pragma once

#include "engine/physics/interaction_data.h"

namespace velmora::testing {

// Two-row-per-decade style table with given rows (energy keV, coh, inc, pe).
inline CrossSectionTable crossSectionTable(std::initializer_list<std::array<float, 4>> rows) {
    CrossSectionTable table;
    int i = 0;
    for (const auto& row : rows) {
        ++i;
        table.energy[i] = row[0];
        table.coherent[i] = row[1];
        table.incoherent[i] = row[2];
        table.photoelectric[i] = row[3];
    }
    table.count = i;
    return table;
}

// x evenly spaced from 0 to 11 with F(x) = 1 and S(x) = min(x, 1): a table whose
// distributions have closed forms.
inline ScatteringFactorTable flatScatteringFactors() {
    ScatteringFactorTable table;
    for (int i = 1; i <= kScatteringPoints; ++i) {
        table.x[i] = static_cast<float>(11.0 * (i - 1) / (kScatteringPoints - 1));
        table.formFactor[i] = 1.0f;
        table.incoherentFunction[i] = table.x[i] < 1.0f ? table.x[i] : 1.0f;
    }
    return table;
}

}  // namespace velmora::testing
