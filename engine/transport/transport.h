// Photon-only transport through the couch layer and the phantom (one water
// block) in the kerma approximation: energy handed to electrons stays where
// the interaction happened.
#pragma once

#include <cstdint>

#include "engine/physics/interaction_data.h"
#include "engine/random/uniform_generator.h"
#include "engine/source/photon_state.h"
#include "engine/tally/dose_tally.h"

namespace velmora {

inline constexpr float kEnergyCutOffKeV = 5.0f;

enum class HistoryEnd { absorbed, cutOff, escaped, stalled };

// What a run of histories did, for the benchmark's account of where time goes.
struct TransportCounts {
    std::int64_t flights = 0;  // passes that looked up coefficients
    std::int64_t incoherent = 0;
    std::int64_t coherent = 0;
};

// Follows the photon flight by flight until it is absorbed, falls below the
// cut-off, leaves the box, or stalls (a flight that changes no coordinate).
HistoryEnd transportPhoton(PhotonState& photon, const InteractionData& data, const TransportBox& box,
                           UniformGenerator& generator, DoseTally& tally, TransportCounts* counts = nullptr);

}  // namespace velmora
