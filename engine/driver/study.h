// One study from its loaded inputs to the normalised tally: the checks on the
// run parameters, the outer loop over the spectrum's bins, and the normalisation.
#pragma once

#include <cstdint>
#include <string>

#include "engine/physics/interaction_data.h"
#include "engine/random/uniform_generator.h"
#include "engine/source/photon_source.h"
#include "engine/spectrum/spectrum.h"
#include "engine/tally/dose_tally.h"
#include "formats/result_file.h"
#include "formats/run_parameters.h"

namespace velmora {

struct StudyInputs {
    InteractionData data;
    Spectrum spectrum;
    RunParameters parameters;
};

// Reads the five input files of `directory` in the engine's order and checks
// the run parameters; throws InputError naming the file, line and field.
StudyInputs loadStudyInputs(const std::string& directory);

// Refuses run parameters without a defined result: FID, FSD or field size not
// positive, a negative couch, a beam edge at 90 degrees or more, an unsafe
// result file name.
void checkRunParameters(const RunParameters& parameters, const std::string& fileName);

// The geometry of the run. A negative incidence angle is the same set-up seen
// from the other side: the beam uses |angle| and the tally is mirrored in x.
struct StudyGeometry {
    BeamGeometry beam;
    TransportBox box;
    bool mirrorTallyInX = false;
};
StudyGeometry makeStudyGeometry(const RunParameters& parameters);

// Told about each energy bin before its histories run.
class BinObserver {
public:
    virtual ~BinObserver() = default;
    virtual void binStarted(int energyBin, int binLimit, std::int64_t histories) = 0;
};

struct RunTotals {
    std::int64_t historiesRun = 0;
    float airKermaSum = 0;  // sum of coefficient x histories x energy, before finishAirKerma
};

// How the histories are computed: the straightforward form is the readable
// definition; the tabulated form gives the same bits, several times faster.
enum class Arithmetic { straightforward, tabulated };

// The outer loop: bins 2 ... min(binLimit, 300), each with its truncated number of
// histories at the bin's energy, started and transported one after another.
RunTotals runAllBins(const StudyInputs& inputs, const StudyGeometry& geometry, UniformGenerator& generator,
                     DoseTally& tally, BinObserver& observer, Arithmetic arithmetic = Arithmetic::tabulated);

// The primary air kerma at the FSD in Gy from the run's sum.
float studyAirKerma(const StudyInputs& inputs, const RunTotals& totals);

// Normalises the tally to dose per Gy of that air kerma and, for a negative
// angle, mirrors it. The air kerma must be positive and finite.
void normaliseStudy(const StudyGeometry& geometry, float airKermaGy, DoseTally& tally);

// The result file's contents; `tally` must outlive the returned value.
ResultFileContents resultContents(const StudyInputs& inputs, const DoseTally& tally, float airKermaGy);

}  // namespace velmora
