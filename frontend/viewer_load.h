// Loading a result file for the viewer: the 160,000 doses into a scratch grid
// laid out like Module1's doseGrid, the total formed, and the two band limits
// taken from the central row. Nothing here touches a window.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "formats/result_file.h"
#include "frontend/module1.h"

namespace velmora {

// Read-only access to a grid in Module1's layout (component, ix, iy).
class DoseGridView {
public:
    explicit DoseGridView(std::span<const double> values) : values_(values) {}
    explicit DoseGridView(const Module1& module1) : values_(module1.doseGridValues) {}

    double at(int component, int ix, int iy) const {
        return values_[(static_cast<std::size_t>(component) * Module1::kXSize + ix) *
                           Module1::kYSize +
                       iy];
    }
    double total(int ix, int iy) const { return at(0, ix, iy); }
    double primary(int ix, int iy) const { return at(1, ix, iy); }
    double scatter(int ix, int iy) const { return at(2, ix, iy); }

private:
    std::span<const double> values_;
};

inline constexpr std::size_t kDoseGridSize =
    static_cast<std::size_t>(Module1::kComponents) * Module1::kXSize * Module1::kYSize;

// A result file as the viewer holds it after a successful load.
struct ViewerResult {
    std::vector<double> doseGridValues = std::vector<double>(kDoseGridSize, 0.0);
    double bandMax = 0;    // largest total on the central row
    double bandMin = 100;  // smallest total inside the central row's primary field
    std::array<std::string, kResultHeaderLines> headerUtf8;  // lines 1-15, decoded
};

// The largest total dose on the central row (iy = 1), starting from 0.
double centralRowMaximum(const DoseGridView& grid);

// The smallest total dose on the central row between the first and the last bin
// with a primary dose, the two edge bins left out; 100 when the field is at most
// two bins wide. Throws InputError naming `fileName` when the central row holds
// no primary dose at all (there is no field to search).
double centralRowFieldMinimum(const DoseGridView& grid, const std::string& fileName);

// Parses a whole result file (header and doses) into a fresh grid, with the
// total and both band limits. Throws InputError (file, line, what is wrong).
ViewerResult parseViewerResult(std::string_view bytes, const std::string& fileName);
ViewerResult readViewerResult(const std::string& path);

// What the header display prints, one entry a line: an empty line, header
// lines 1 to 9, a separator, lines 10 to 14, the separator, the photon count.
// The header lines arrive as Shift_JIS bytes and leave as UTF-8.
std::vector<std::string> headerDisplayLines(
    const std::array<std::string, kResultHeaderLines>& headerShiftJis);

// The run geometry for labels: header lines 10 to 14 trimmed and joined.
std::string geometrySummary(const std::array<std::string, kResultHeaderLines>& headerUtf8);

// The run summary used to label exported pictures and tables: the geometry,
// then the photon count as the viewer shows it.
std::string runSummary(const std::array<std::string, kResultHeaderLines>& headerUtf8);

// " 入射光子数 = 1.00E+07個": line 15 taken as a number, pattern "0.00E+00".
std::string photonCountLine(const std::string& line15);

}  // namespace velmora
