// "B_TUBEX.dat": nine header lines describing the beam, then 300 records of
// energy (F6.1, columns 1-6) and intensity (F9.5, columns 7-15), CR LF.
#pragma once

#include <array>
#include <string>

#include "tools/xtubex/spectrum_model.h"

namespace velmora::xtubex {

inline constexpr const char* kSpectrumFileName = "B_TUBEX.dat";
inline constexpr int kHeaderLineCount = 9;
inline constexpr int kHeaderLineBytes = 30;
// Intensities are the fluence of each bin in percent of the largest bin, so
// the peak is 100.00000 and F9.5 resolves 1e-7 of it.
inline constexpr double kPeakIntensity = 100.0;

// The nine header lines, each at most 30 bytes of ASCII (valid Shift_JIS).
std::array<std::string, kHeaderLineCount> spectrumHeaderLines(const BeamSettings& settings,
                                                              const BeamQuality& quality);

// The whole file as bytes. Throws std::domain_error for a spectrum without photons.
std::string spectrumFileBytes(const BeamSettings& settings, const Beam& beam);

// Writes the file atomically (temporary file, then rename); throws
// velmora::InputError naming the file and the reason.
void writeSpectrumFile(const std::string& path, const BeamSettings& settings, const Beam& beam);

// Fixed-point text of `value` with `decimals` decimals, "." whatever the locale.
std::string fixedText(double value, int decimals);

}  // namespace velmora::xtubex
