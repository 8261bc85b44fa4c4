// The multi-core mode: the same study on several threads, with a result that
// does not depend on the number of threads.
//
// Every energy bin's histories are split into kBatches equal parts. Part b of
// bin k draws from its own generator, ChunkGenerator(k, b), and deposits into
// batch grid b; the parts of one batch run in bin order. Batch grids are added
// into the result in batch order. Each batch is a complete, smaller replica of
// the study (it holds 1/kBatches of every bin), so the spread between batches
// gives the standard error of every dose value.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "engine/driver/study.h"

namespace velmora {

inline constexpr int kBatches = 64;

struct ParallelProgress {
    std::int64_t historiesDone = 0;
    std::int64_t historiesTotal = 0;
    double seconds = 0;
};

struct ParallelResult {
    RunTotals totals;
    DoseTally tally{0.0f};           // sum of the batch grids, keV
    std::vector<DoseTally> batches;  // the kBatches replicas, keV
    std::vector<float> standardError;  // per cell of component 1, 2 and of the total, keV; see below

    // Standard error of the summed keV in (component, x bin, y bin); component 0 is the total.
    float error(int component, int xBin, int yBin) const {
        return standardError[(static_cast<std::size_t>(component) * DoseTally::kXBins + (xBin - 1)) *
                                 DoseTally::kYBins +
                             (yBin - 1)];
    }
};

// Runs the study on `threads` threads (0: all cores). `report` is called from
// the calling thread about twice a second while the run lasts.
ParallelResult runParallel(const StudyInputs& inputs, const StudyGeometry& geometry, int threads,
                           const std::function<void(const ParallelProgress&)>& report = {});

// Standard error of a sum of kBatches independent replicas: sqrt(kBatches s^2)
// with s^2 the sample variance of the replica values.
double standardErrorOfSum(const std::vector<double>& replicaValues);

// The number of histories part `batch` of a bin with `histories` gets.
inline std::int64_t historiesInBatch(std::int64_t histories, int batch) {
    return histories / kBatches + (batch < histories % kBatches ? 1 : 0);
}

}  // namespace velmora
