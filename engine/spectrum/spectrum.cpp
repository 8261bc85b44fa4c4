#include "engine/spectrum/spectrum.h"

#include <cmath>
#include <vector>

#include "formats/fixed_width.h"
#include "formats/input_error.h"
#include "formats/text_file.h"

namespace velmora {

namespace {
constexpr int kHeaderLines = 9;
constexpr int kHeaderBytes = 30;

}  // namespace

Spectrum parseSpectrumFile(std::string_view bytes, const std::string& fileName) {
    const std::vector<std::string> lines = splitLines(bytes);
    const int needed = kHeaderLines + kSpectrumBins;
    if (static_cast<int>(lines.size()) < needed) {
        throw InputError(fileName, static_cast<int>(lines.size()) + 1, "",
                         "the file ends early: 9 header lines and 300 bin records are needed");
    }

    Spectrum spectrum;
    for (int i = 0; i < kHeaderLines; ++i) {
        std::string text = lines[i].substr(0, kHeaderBytes);
        text.resize(kHeaderBytes, ' ');
        spectrum.header[i] = std::move(text);
    }
    for (int k = 1; k <= kSpectrumBins; ++k) {
        const int lineNumber = kHeaderLines + k;
        const std::string& line = lines[lineNumber - 1];
        readColumnFloat(line, 1, 6, 1, fileName, lineNumber, "energy (columns 1-6)");  // position gives the energy
        spectrum.weight[k] = readColumnFloat(line, 7, 15, 5, fileName, lineNumber, "intensity (columns 7-15)");
    }

    float sum = 0.0f;
    for (int k = 1; k <= kSpectrumBins; ++k) sum = static_cast<float>(static_cast<double>(sum) + spectrum.weight[k]);
    if (!(sum > 0.0f) || !std::isfinite(sum)) {
        throw InputError(fileName, 0, "intensities (columns 7-15)",
                         "the intensities of the 300 bins must add up to a positive number");
    }
    spectrum.weightSum = sum;
    for (int k = 1; k <= kSpectrumBins; ++k) {
        spectrum.weight[k] = static_cast<float>(static_cast<double>(spectrum.weight[k]) / sum);
    }

    int highest = kSpectrumBins;
    while (highest > 1 && spectrum.weight[highest] == 0.0f) --highest;
    spectrum.binLimit = highest + 1;
    return spectrum;
}

std::int64_t historiesInBin(float weight, float photonCount) {
    return static_cast<std::int64_t>(std::trunc(static_cast<double>(weight) * static_cast<double>(photonCount)));
}

}  // namespace velmora
