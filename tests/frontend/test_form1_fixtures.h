// Small hand-made result files for the viewer tests, written with the formats
// library's own writer so that they are byte-exact result files.
#pragma once

#include <fstream>
#include <string>
#include <vector>

#include "formats/result_file.h"

namespace velmora::testing {

struct ResultFixture {
    std::vector<float> primaryDoses = std::vector<float>(kResultCellsPerComponent, 0.0f);
    std::vector<float> scatterDoses = std::vector<float>(kResultCellsPerComponent, 0.0f);
    RunParameters parameters{30.0f, 100.0f, 70.0f, 20.0f, 1.5f, 1.0e7f, std::string(30, ' ')};
    std::array<std::string, kSpectrumHeaderLines> spectrumHeader{};

    ResultFixture() {
        for (int line = 0; line < kSpectrumHeaderLines; ++line) {
            spectrumHeader[line] = " spectrum line " + std::to_string(line + 1);
        }
    }

    float& primary(int ix, int iy) { return primaryDoses[(ix - 1) * kResultYBins + (iy - 1)]; }
    float& scatter(int ix, int iy) { return scatterDoses[(ix - 1) * kResultYBins + (iy - 1)]; }

    std::string bytes() const {
        ResultFileContents contents;
        contents.spectrumHeader = spectrumHeader;
        contents.parameters = parameters;
        contents.primary = primaryDoses;
        contents.scatter = scatterDoses;
        contents.airKerma = 1.234e-6f;
        return formatResultFile(contents);
    }

    void write(const std::string& path) const { writeBytes(path, bytes()); }

    static void writeBytes(const std::string& path, const std::string& bytes) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << bytes;
    }
};

}  // namespace velmora::testing
