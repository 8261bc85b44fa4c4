// The generator of one chunk of histories in the multi-core mode: SplitMix64
// (Steele, Lea and Flood, "Fast splittable pseudorandom number generators",
// OOPSLA 2014), seeded from (energy bin, chunk index). Its outputs are cut to
// the same 14-bit integers and deviates as the reference generator, so that
// both modes see the same set of 16,384 deviates and share the fast tables.
#pragma once

#include <cstdint>

#include "engine/random/uniform_generator.h"

namespace velmora {

class ChunkGenerator {
public:
    ChunkGenerator(int energyBin, int chunk) : state_(seedFor(energyBin, chunk)) {}

    // The chunk's seed: the SplitMix64 finaliser of (bin << 32 | chunk) offset
    // by a fixed odd constant, so that neighbouring chunks start far apart.
    static std::uint64_t seedFor(int energyBin, int chunk) {
        return mix((static_cast<std::uint64_t>(energyBin) << 32 | static_cast<std::uint32_t>(chunk)) ^
                   0x5851f42d4c957f2dULL);
    }

    // The top 14 bits of the next 64-bit output: 0 ... 16383.
    std::int32_t nextInteger() {
        state_ += 0x9e3779b97f4a7c15ULL;
        return static_cast<std::int32_t>(mix(state_) >> 50);
    }
    float uniform() { return UniformGenerator::toDeviate(nextInteger()); }

private:
    static std::uint64_t mix(std::uint64_t z) {
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }

    std::uint64_t state_;
};

}  // namespace velmora
