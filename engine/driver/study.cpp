#include "engine/driver/study.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "engine/io/input_files.h"
#include "engine/random/block_generator.h"
#include "engine/transport/tabulated_transport.h"
#include "engine/transport/transport.h"
#include "formats/input_error.h"

namespace velmora {

namespace {
constexpr float kPiDegrees = 3.141592f;  // the engine's single-precision pi
constexpr float kPhantomDepthCm = 20.0f;

float toRadians(float degrees) {
    return static_cast<float>(static_cast<double>(degrees) * kPiDegrees / 180.0);
}
}  // namespace

void checkRunParameters(const RunParameters& p, const std::string& fileName) {
    auto refuse = [&](int line, const char* field, const char* reason) {
        throw InputError(fileName, line, field, reason);
    };
    if (!std::isfinite(p.incidenceAngle)) refuse(1, "incidence angle", "out of range");
    if (!(p.fid > 0) || !std::isfinite(p.fid)) refuse(2, "FID", "must be positive");
    if (!(p.fsd > 0) || !std::isfinite(p.fsd)) refuse(3, "FSD", "must be positive");
    if (!(p.fieldSize > 0) || !std::isfinite(p.fieldSize)) refuse(4, "field size", "must be positive");
    if (!(p.couchThickness >= 0) || !std::isfinite(p.couchThickness)) {
        refuse(5, "couch thickness", "must not be negative");
    }
    // The histories of a bin are counted in 64 bits; no bin may need more.
    if (!std::isfinite(p.photonCount) || p.photonCount >= 0x1p63f) refuse(6, "photon count", "out of range");
    // Every ray of the field must meet the entrance plane in front of the focus.
    const double edgeDegrees = std::fabs(static_cast<double>(p.incidenceAngle)) +
                               std::atan(static_cast<double>(p.fieldSize) / (2.0 * p.fid)) * 180.0 / M_PI;
    if (!(edgeDegrees < 90.0)) {
        refuse(1, "incidence angle",
               "the beam edge (angle + atan(field size / (2 FID))) must stay below 90 degrees");
    }
    const std::string name = trimmedResultFileName(p);
    if (name.empty()) refuse(7, "result file name", "is empty");
    if (name.find('/') != std::string::npos || name.find('\0') != std::string::npos) {
        refuse(7, "result file name", "must not contain a path separator");
    }
}

StudyInputs loadStudyInputs(const std::string& directory) {
    StudyInputs inputs;
    inputs.data = loadInteractionData(directory);
    inputs.spectrum = loadSpectrum(directory);
    inputs.parameters = loadRunParameters(directory);
    checkRunParameters(inputs.parameters, kRunParameterFileName);
    return inputs;
}

StudyGeometry makeStudyGeometry(const RunParameters& parameters) {
    StudyGeometry geometry;
    const float radians = toRadians(parameters.incidenceAngle);
    geometry.mirrorTallyInX = radians < 0.0f;
    geometry.beam.incidenceRadians = std::fabs(radians);
    geometry.beam.fid = parameters.fid;
    geometry.beam.fsd = parameters.fsd;
    geometry.beam.fieldSize = parameters.fieldSize;
    geometry.box.zMax = static_cast<float>(static_cast<double>(parameters.couchThickness) + kPhantomDepthCm);
    return geometry;
}

RunTotals runAllBins(const StudyInputs& inputs, const StudyGeometry& geometry, UniformGenerator& generator,
                     DoseTally& tally, BinObserver& observer, Arithmetic arithmetic) {
    const bool tabulated = arithmetic == Arithmetic::tabulated;
    std::optional<StudyTables> tables;
    std::optional<TabulatedTransport> fast;
    std::optional<BlockGenerator> block;
    if (tabulated) {
        tables.emplace(inputs.data, geometry.beam, geometry.box);
        fast.emplace(*tables);
        block.emplace(generator);
    }
    RunTotals totals;
    const int lastBin = std::min(inputs.spectrum.binLimit, kSpectrumBins);
    for (int bin = 2; bin <= lastBin; ++bin) {
        const std::int64_t histories = historiesInBin(inputs.spectrum.weight[bin], inputs.parameters.photonCount);
        if (histories <= 0) continue;
        const float energy = binEnergy(bin);
        observer.binStarted(bin, inputs.spectrum.binLimit, histories);
        totals.airKermaSum =
            addBinToAirKerma(totals.airKermaSum, airCoefficient(inputs.data.air, bin), histories, energy);
        if (tabulated) {
            fast->runBin(energy, histories, *block, tally);
        } else {
            for (std::int64_t history = 0; history < histories; ++history) {
                PhotonState photon = startPhoton(geometry.beam, energy, generator);
                transportPhoton(photon, inputs.data, geometry.box, generator, tally);
            }
        }
        totals.historiesRun += histories;
    }
    if (block) generator = block->state();
    return totals;
}

float studyAirKerma(const StudyInputs& inputs, const RunTotals& totals) {
    const RunParameters& p = inputs.parameters;
    return finishAirKerma(totals.airKermaSum, p.fieldSize, p.fid, p.fsd);
}

void normaliseStudy(const StudyGeometry& geometry, float airKermaGy, DoseTally& tally) {
    tally.normalise(airKermaGy);
    if (geometry.mirrorTallyInX) tally.mirrorInX();
}

ResultFileContents resultContents(const StudyInputs& inputs, const DoseTally& tally, float airKermaGy) {
    ResultFileContents contents;
    for (int i = 0; i < kSpectrumHeaderLines; ++i) contents.spectrumHeader[i] = inputs.spectrum.header[i];
    contents.parameters = inputs.parameters;
    contents.primary = tally.component(1);
    contents.scatter = tally.component(2);
    contents.airKerma = airKermaGy;
    return contents;
}

}  // namespace velmora
