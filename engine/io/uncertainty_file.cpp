#include "engine/io/uncertainty_file.h"

#include <cstdio>

namespace velmora {

std::string formatUncertaintyFile(const std::string& resultFileName, const RunParameters& p, const DoseTally& tally,
                                  const ParallelResult& run, float airKermaGy, bool mirrored) {
    // The same factors the normalisation applies to the cells: keV -> Gy in 2 mg, / air kerma.
    const double toDose = static_cast<double>(1.602e-10f) / 2.0 / airKermaGy;
    std::string text;
    char line[256];
    std::snprintf(line, sizeof line,
                  "# %s: angle %.1f deg, FID %.1f cm, FSD %.1f cm, field %.1f cm, couch %.2f cm, %.3g photons\r\n",
                  resultFileName.c_str(), p.incidenceAngle, p.fid, p.fsd, p.fieldSize, p.couchThickness,
                  p.photonCount);
    text += line;
    std::snprintf(line, sizeof line,
                  "# dose per 1 Gy of primary air kerma at FSD; standard errors from the spread of %d independent "
                  "batches\r\n",
                  kBatches);
    text += line;
    text += "ix,iy,x_cm,y_cm,total,total_se,primary,primary_se,scatter,scatter_se\r\n";
    for (int x = 1; x <= DoseTally::kXBins; ++x) {
        const int sourceX = mirrored ? DoseTally::kXBins + 1 - x : x;
        for (int y = 1; y <= DoseTally::kYBins; ++y) {
            const float primary = tally.cell(1, x, y);
            const float scatter = tally.cell(2, x, y);
            std::snprintf(line, sizeof line, "%d,%d,%.2f,%.2f,%.6g,%.3g,%.6g,%.3g,%.6g,%.3g\r\n", x, y,
                          0.1 * (x - 200) - 0.05, 0.1 * y - 0.05, static_cast<double>(primary) + scatter,
                          run.error(0, sourceX, y) * toDose, primary, run.error(1, sourceX, y) * toDose, scatter,
                          run.error(2, sourceX, y) * toDose);
            text += line;
        }
    }
    return text;
}

}  // namespace velmora
