// The tabulated form of the transport and the multi-core mode against the
// straightforward definition.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/driver/parallel_run.h"
#include "engine/driver/study.h"
#include "engine/io/input_files.h"
#include "engine/physics/tabulated_physics.h"
#include "formats/result_file.h"
#include "formats/text_file.h"

namespace velmora {
namespace {

class Silent : public BinObserver {
    void binStarted(int, int, std::int64_t) override {}
};

struct Study {
    float angle, fsd, fieldSize, couch, photons;
    const char* spectrum;
};

StudyInputs inputsFor(const Study& s) {
    StudyInputs inputs;
    inputs.data = loadInteractionData(VELMORA_DATA_DIR);
    inputs.spectrum = parseSpectrumFile(readWholeFile(std::string(VELMORA_FIXTURE_DIR) + "/" + s.spectrum), "spectrum");
    inputs.parameters = RunParameters{s.angle, 100.0f, s.fsd, s.fieldSize, s.couch, s.photons, "t.ddat"};
    inputs.parameters.resultFileName.resize(30, ' ');
    return inputs;
}

// The result file a run would write.
std::string resultBytes(const StudyInputs& inputs, const StudyGeometry& geometry, DoseTally& tally,
                        const RunTotals& totals) {
    const float airKerma = studyAirKerma(inputs, totals);
    normaliseStudy(geometry, airKerma, tally);
    return formatResultFile(resultContents(inputs, tally, airKerma));
}

std::string referenceRun(const StudyInputs& inputs, Arithmetic arithmetic) {
    const StudyGeometry geometry = makeStudyGeometry(inputs.parameters);
    UniformGenerator generator;
    generator.seed();
    DoseTally tally(inputs.parameters.couchThickness);
    Silent silent;
    const RunTotals totals = runAllBins(inputs, geometry, generator, tally, silent, arithmetic);
    return resultBytes(inputs, geometry, tally, totals);
}

TEST(TabulatedForm, WritesTheSameBytesAsTheStraightforwardForm) {
    const Study studies[] = {
        {30, 55, 20, 1.5f, 2e5f, "spectrum-80kV-2.5mmAl.dat"},
        {0, 40, 30, 0.0f, 1e5f, "spectrum-80kV-2.5mmAl.dat"},
        {-45, 80, 10, 3.0f, 1e5f, "spectrum-80kV-2.5mmAl.dat"},
        {60, 70, 25, 0.5f, 1e5f, "spectrum-120kV-3mmAl-0.1mmCu.dat"},
    };
    for (const Study& study : studies) {
        const StudyInputs inputs = inputsFor(study);
        const std::string straightforward = referenceRun(inputs, Arithmetic::straightforward);
        const std::string tabulated = referenceRun(inputs, Arithmetic::tabulated);
        EXPECT_TRUE(straightforward == tabulated) << "angle " << study.angle << " FSD " << study.fsd;
    }
}

TEST(TabulatedForm, TablesHoldExactlyTheComputedValues) {
    const InteractionData data = loadInteractionData(VELMORA_DATA_DIR);
    const CertifiedElementary math;
    const LogCoefficientTable table(data.crossSections, math);
    for (float e = 0.7f; e < 160.0f; e = std::nextafter(e * 1.0007f, 1000.0f)) {
        const Coefficients a = coefficientsAt(data.crossSections, e), b = table.at(e);
        ASSERT_EQ(a.coherent, b.coherent) << e;
        ASSERT_EQ(a.incoherent, b.incoherent) << e;
        ASSERT_EQ(a.photoelectric, b.photoelectric) << e;
    }
    for (int row = 1; row <= data.crossSections.count; ++row) {  // the tabulated energies themselves
        const float e = data.crossSections.energy[row];
        ASSERT_EQ(coefficientsAt(data.crossSections, e).coherent, table.at(e).coherent);
    }
    const IncoherentFunctionTable incoherentFunction(data.scatteringFactors);
    for (float x = 0.0f; x < 10.0f; x += 0.0013f) {
        ASSERT_EQ(incoherentFunctionAt(data.scatteringFactors, x), incoherentFunction.at(x));
    }
    for (int i = 1; i <= kScatteringPoints; ++i) {
        const float x = data.scatteringFactors.x[i];
        if (x < 10.0f) {
            ASSERT_EQ(incoherentFunctionAt(data.scatteringFactors, x), incoherentFunction.at(x));
        }
    }
}

TEST(MultiCoreMode, GivesTheSameBytesForAnyNumberOfThreads) {
    const StudyInputs inputs = inputsFor({30, 55, 20, 1.5f, 2e5f, "spectrum-80kV-2.5mmAl.dat"});
    const StudyGeometry geometry = makeStudyGeometry(inputs.parameters);
    std::string first;
    for (int threads : {1, 2, 7, 64}) {
        ParallelResult run = runParallel(inputs, geometry, threads);
        const std::string bytes = resultBytes(inputs, geometry, run.tally, run.totals);
        if (first.empty()) first = bytes;
        EXPECT_TRUE(bytes == first) << threads << " threads";
    }
}

// Both modes estimate the same dose: the reference run's whole-map sums and a
// central 4 x 2 cm region agree with the multi-core run within four combined
// standard errors (each run's error taken from the spread of the batches).
TEST(MultiCoreMode, AgreesStatisticallyWithTheReferenceRun) {
    const StudyInputs inputs = inputsFor({30, 55, 20, 1.5f, 1e6f, "spectrum-80kV-2.5mmAl.dat"});
    const StudyGeometry geometry = makeStudyGeometry(inputs.parameters);
    ParallelResult parallel = runParallel(inputs, geometry, 2);

    UniformGenerator generator;
    generator.seed();
    DoseTally reference(inputs.parameters.couchThickness);
    Silent silent;
    const RunTotals totals = runAllBins(inputs, geometry, generator, reference, silent);
    EXPECT_EQ(totals.historiesRun, parallel.totals.historiesRun);
    EXPECT_EQ(totals.airKermaSum, parallel.totals.airKermaSum);

    struct Region {
        const char* name;
        int x0, x1, y1;  // x bins x0 ... x1, |y| bins 1 ... y1
    };
    for (const Region& region : {Region{"whole map", 1, 400, 200}, Region{"central 4 x 2 cm", 181, 220, 20}}) {
        for (int component : {1, 2}) {
            auto sum = [&](const DoseTally& t) {
                double s = 0;
                for (int x = region.x0; x <= region.x1; ++x)
                    for (int y = 1; y <= region.y1; ++y) s += t.cell(component, x, y);
                return s;
            };
            std::vector<double> replicas;
            for (const DoseTally& batch : parallel.batches) replicas.push_back(sum(batch));
            const double error = standardErrorOfSum(replicas);
            EXPECT_GT(error, 0.0);
            EXPECT_NEAR(sum(reference), sum(parallel.tally), 4 * std::sqrt(2.0) * error)
                << region.name << ", component " << component;
            EXPECT_LT(error / sum(parallel.tally), 0.05) << region.name;  // the test has power
        }
    }
}

}  // namespace
}  // namespace velmora

namespace velmora {
namespace {

TEST(TabulatedForm, DeviateThresholdsCountExactly) {
    const InteractionData data = loadInteractionData(VELMORA_DATA_DIR);
    const DeviateTables deviates(data);
    std::vector<double> values = {0.0, -0.5, 1.0, 2.0, 0.5, 1e-9};
    for (std::int32_t v : {0, 1, 2, 8191, 8192, 16382, 16383}) {
        const double d = deviates.deviate[v];
        values.insert(values.end(), {d, std::nextafter(d, 0.0), std::nextafter(d, 1.0)});
    }
    for (int i = 0; i < 2000; ++i) values.push_back(i / 1999.0 * 1.01);
    for (double value : values) {
        std::int32_t below = 0, notAbove = 0;
        for (float d : deviates.deviate) {
            below += static_cast<double>(d) < value;
            notAbove += static_cast<double>(d) <= value;
        }
        ASSERT_EQ(deviatesBelow(deviates, value), below) << value;
        ASSERT_EQ(deviatesNotAbove(deviates, value), notAbove) << value;
    }
}

}  // namespace
}  // namespace velmora
