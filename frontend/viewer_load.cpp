#include "frontend/viewer_load.h"

#include "formats/input_error.h"
#include "formats/number_patterns.h"
#include "formats/shift_jis.h"
#include "formats/text_file.h"

namespace velmora {

namespace {

std::size_t gridIndex(int component, int ix, int iy) {
    return (static_cast<std::size_t>(component) * Module1::kXSize + ix) * Module1::kYSize + iy;
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

}  // namespace

double centralRowMaximum(const DoseGridView& grid) {
    double maximum = 0;
    for (int ix = 1; ix <= kResultXBins; ++ix) {
        if (grid.total(ix, 1) > maximum) maximum = grid.total(ix, 1);
    }
    return maximum;
}

double centralRowFieldMinimum(const DoseGridView& grid, const std::string& fileName) {
    // The field is bounded by the first and last bins that primary photons
    // reached; its two edge bins are only partly inside and are left out.
    int firstPrimary = 1;
    while (firstPrimary <= kResultXBins && grid.primary(firstPrimary, 1) == 0) ++firstPrimary;
    if (firstPrimary > kResultXBins) {
        throw InputError(fileName, 0, "central row (Y = 0)",
                         "no primary dose on the central row, so there is no field to scale "
                         "the colour bands to");
    }
    int lastPrimary = kResultXBins;
    while (grid.primary(lastPrimary, 1) == 0) --lastPrimary;

    double minimum = 100.0;
    for (int ix = firstPrimary + 1; ix <= lastPrimary - 1; ++ix) {
        if (grid.total(ix, 1) < minimum) minimum = grid.total(ix, 1);
    }
    return minimum;
}

ViewerResult parseViewerResult(std::string_view bytes, const std::string& fileName) {
    const auto header = parseResultHeader(bytes, fileName);
    const ResultDoses doses = parseResultDoses(bytes, fileName);

    ViewerResult result;
    for (int ix = 1; ix <= kResultXBins; ++ix) {
        for (int iy = 1; iy <= kResultYBins; ++iy) {
            const std::size_t fileIndex = static_cast<std::size_t>(ix - 1) * kResultYBins + (iy - 1);
            const double primary = doses.primary[fileIndex];
            const double scatter = doses.scatter[fileIndex];
            result.doseGridValues[gridIndex(1, ix, iy)] = primary;
            result.doseGridValues[gridIndex(2, ix, iy)] = scatter;
            result.doseGridValues[gridIndex(0, ix, iy)] = scatter + primary;
        }
    }
    const DoseGridView grid(result.doseGridValues);
    result.bandMax = centralRowMaximum(grid);
    result.bandMin = centralRowFieldMinimum(grid, fileName);
    for (int line = 0; line < kResultHeaderLines; ++line) {
        result.headerUtf8[line] = shiftJisToUtf8(header[line]);
    }
    return result;
}

ViewerResult readViewerResult(const std::string& path) {
    return parseViewerResult(readWholeFile(path), path);
}

std::string photonCountLine(const std::string& line15) {
    return " 入射光子数 = " + formatScientificPattern(leadingNumber(line15), 2) + "個";
}

std::vector<std::string> headerDisplayLines(
    const std::array<std::string, kResultHeaderLines>& headerShiftJis) {
    const std::string separator = "  ---------------------";
    std::vector<std::string> lines;
    lines.reserve(kResultHeaderLines + 3);
    lines.emplace_back();
    for (int line = 0; line < kSpectrumHeaderLines; ++line) {
        lines.push_back(shiftJisToUtf8(headerShiftJis[line]));
    }
    lines.push_back(separator);
    for (int line = kSpectrumHeaderLines; line < kResultHeaderLines - 1; ++line) {
        lines.push_back(shiftJisToUtf8(headerShiftJis[line]));
    }
    lines.push_back(separator);
    lines.push_back(photonCountLine(headerShiftJis[kResultHeaderLines - 1]));
    return lines;
}

std::string geometrySummary(const std::array<std::string, kResultHeaderLines>& headerUtf8) {
    std::string summary;
    for (int line = kSpectrumHeaderLines; line < kResultHeaderLines - 1; ++line) {
        if (!summary.empty()) summary += ", ";
        summary += trimmed(headerUtf8[line]);
    }
    return summary;
}

std::string runSummary(const std::array<std::string, kResultHeaderLines>& headerUtf8) {
    return geometrySummary(headerUtf8) + ", " +
           trimmed(photonCountLine(headerUtf8[kResultHeaderLines - 1]));
}

}  // namespace velmora
