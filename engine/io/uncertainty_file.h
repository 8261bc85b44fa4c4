// "NAME.ddat.unc.csv": the dose of every bin with its standard error, written
// beside the result file by the multi-core mode, in Shift_JIS with CR LF like
// the system's other files (only the result file's name can be non-ASCII).
#pragma once

#include <string>

#include "engine/driver/parallel_run.h"

namespace velmora {

// One line per bin: x bin, |y| bin, bin centre in cm (x relative to the central
// ray's entry, as the viewer shows it), then total, primary and scatter dose per
// Gy of air kerma, each followed by its standard error. `tally` is the
// normalised (and, for a negative angle, mirrored) tally of the run.
std::string formatUncertaintyFile(const std::string& resultFileName, const RunParameters& parameters,
                                  const DoseTally& tally, const ParallelResult& run, float airKermaGy,
                                  bool mirrored);

}  // namespace velmora
