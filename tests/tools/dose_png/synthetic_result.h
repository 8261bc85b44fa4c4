// A synthetic but realistic result file for the renderer's tests and for
// looking at the viewer before the engine has produced a run: a flat primary
// field with a smooth edge and an inverse-square slope along the oblique
// direction, and a broad scatter hump peaking at the centre.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "formats/result_file.h"

namespace velmora::testing {

struct SyntheticResult {
    double incidenceDegrees = 30;
    double fsdCm = 70;
    double fieldHalfWidthXCm = 8.1;  // along x the oblique field is wider by 1 / cos(angle)
    double fieldHalfWidthYCm = 7.0;  // 20 cm at the FID of 100 cm, scaled to the FSD of 70 cm
    double penumbraCm = 0.25;
    double scatterPeak = 0.35;
    double scatterLengthCm = 4.0;
    double noise = 0.02;  // relative, peak to peak
    bool primaryOnCentralRow = true;
};

inline std::string syntheticResultBytes(const SyntheticResult& s) {
    std::vector<float> primary(kResultCellsPerComponent), scatter(kResultCellsPerComponent);
    std::uint32_t state = 12345;
    const auto uniform = [&state] {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) * (1.0 / 16777216.0);
    };
    // Fraction of a smooth-edged slab [-w, w] at u; L the edge width.
    const auto slab = [](double u, double w, double L) {
        return 0.5 * (std::erf((w - u) / L) + std::erf((w + u) / L));
    };
    const double sinAngle = std::sin(s.incidenceDegrees * M_PI / 180.0);
    for (int ix = 1; ix <= kResultXBins; ++ix) {
        const double xCm = 0.1 * (ix - 0.5) - 20.0;
        const double inverseSquare = std::pow(s.fsdCm / (s.fsdCm + xCm * sinAngle), 2);
        for (int iy = 1; iy <= kResultYBins; ++iy) {
            const double yCm = 0.1 * (iy - 0.5);
            const std::size_t cell = static_cast<std::size_t>(ix - 1) * kResultYBins + (iy - 1);
            double p = inverseSquare * slab(xCm, s.fieldHalfWidthXCm, s.penumbraCm) *
                       slab(yCm, s.fieldHalfWidthYCm, s.penumbraCm);
            if (p < 1e-4) p = 0;
            if (iy == 1 && !s.primaryOnCentralRow) p = 0;
            const double sc = s.scatterPeak * slab(xCm, s.fieldHalfWidthXCm, s.scatterLengthCm) *
                              slab(yCm, s.fieldHalfWidthYCm, s.scatterLengthCm);
            primary[cell] = static_cast<float>(p * (1 + s.noise * (uniform() - 0.5)));
            scatter[cell] = static_cast<float>(sc * (1 + 2 * s.noise * (uniform() - 0.5)));
        }
    }
    ResultFileContents contents;
    const char* header[kSpectrumHeaderLines] = {
        " X-ray spectrum", " tube voltage   80.0 kV", " target W  angle 12.0 deg",
        " filter Al  2.50 mm", " filter Cu  0.10 mm", " ripple 0 %", " bin width 0.5 keV",
        " HVL  4.12 mm Al", " synthetic test spectrum"};
    for (int line = 0; line < kSpectrumHeaderLines; ++line) contents.spectrumHeader[line] = header[line];
    contents.parameters.incidenceAngle = static_cast<float>(s.incidenceDegrees);
    contents.parameters.fid = 100;
    contents.parameters.fsd = static_cast<float>(s.fsdCm);
    contents.parameters.fieldSize = 20;
    contents.parameters.couchThickness = 1.5f;
    contents.parameters.photonCount = 1.0e7f;
    contents.primary = primary;
    contents.scatter = scatter;
    contents.airKerma = 3.21e-9f;
    return formatResultFile(contents);
}

}  // namespace velmora::testing
