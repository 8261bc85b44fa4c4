// The X-ray spectrum: 300 bins of 0.5 keV, normalised to sum 1, and the
// deterministic allocation of histories to bins.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

inline constexpr int kSpectrumBins = 300;
inline constexpr const char* kSpectrumFileName = "B_TUBEX.dat";

struct Spectrum {
    std::array<std::string, 9> header;         // 30 bytes each, as read
    std::array<float, kSpectrumBins + 1> weight{};  // 1-based; [0] unused
    float weightSum = 0;
    int binLimit = 0;  // highest bin with non-zero weight, plus one (2 ... 301)
};

// Parses "B_TUBEX.dat" (nine header lines, then 300 records: energy F6.1 in
// columns 1-6, intensity F9.5 in 7-15), normalises in single precision and finds
// binLimit. Throws InputError naming file, line and field; also for a spectrum
// whose intensities sum to 0.
Spectrum parseSpectrumFile(std::string_view bytes, const std::string& fileName);

// Histories of one bin: weight x photonCount formed in double precision and
// truncated toward zero. Held in 64 bits, so a count above 2^31 - 1 stays right.
std::int64_t historiesInBin(float weight, float photonCount);

// Photon energy of spectrum bin k, keV.
inline float binEnergy(int bin) { return static_cast<float>(bin * 0.5); }

}  // namespace velmora
