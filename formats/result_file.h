// The ".ddat" result file: 816 Shift_JIS lines with CR LF, written once by the
// engine and read by the result viewer.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "formats/run_parameters.h"

namespace velmora {

inline constexpr int kResultXBins = 400;
inline constexpr int kResultYBins = 200;
inline constexpr int kResultCellsPerComponent = kResultXBins * kResultYBins;
inline constexpr int kResultHeaderLines = 15;
inline constexpr int kSpectrumHeaderLines = 9;
inline constexpr int kSpectrumHeaderBytes = 30;

// Everything the engine writes. Dose arrays are x-major: element
// (ix - 1) * 200 + (iy - 1) holds x bin ix, |y| bin iy.
struct ResultFileContents {
    std::array<std::string, kSpectrumHeaderLines> spectrumHeader;  // 30 bytes each
    RunParameters parameters;                                       // lines 10-15
    std::span<const float> primary;  // 80,000 normalised doses
    std::span<const float> scatter;  // 80,000 normalised doses
    float airKerma = 0;              // Gy
};

std::string formatResultFile(const ResultFileContents& contents);

// Writes the file atomically; throws InputError with the OS reason.
void writeResultFile(const std::string& path, const ResultFileContents& contents);

// The first 15 lines as Shift_JIS text, CR LF removed, blanks kept. Throws
// InputError when the file cannot be read or has fewer than 15 lines.
std::array<std::string, kResultHeaderLines> readResultHeader(const std::string& path);
std::array<std::string, kResultHeaderLines> parseResultHeader(std::string_view bytes,
                                                              const std::string& fileName);

// The 160,000 dose values after line 15, numbers separated by blanks, commas or
// line ends. Throws InputError naming the line when the file ends early or a
// token is not a number.
struct ResultDoses {
    std::vector<double> primary;  // 80,000, x-major as in ResultFileContents
    std::vector<double> scatter;  // 80,000
};
ResultDoses readResultDoses(const std::string& path);
ResultDoses parseResultDoses(std::string_view bytes, const std::string& fileName);

}  // namespace velmora
