// velmc-bench [histories]: speed of the reference study (80 kV, 2.5 mm Al;
// 30 degrees, FID 100, FSD 55, field 20, couch 1.5), and where the time goes.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "engine/driver/parallel_run.h"
#include "engine/driver/study.h"
#include "engine/io/input_files.h"
#include "engine/physics/scattering.h"
#include "engine/transport/transport.h"
#include "formats/text_file.h"

using namespace velmora;

namespace {

class Silent : public BinObserver {
    void binStarted(int, int, std::int64_t) override {}
};

double secondsOf(const auto& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

StudyInputs referenceStudy(double histories) {
    StudyInputs inputs;
    inputs.data = loadInteractionData(VELMORA_DATA_DIR);
    inputs.spectrum = parseSpectrumFile(
        readWholeFile(std::string(VELMORA_FIXTURE_DIR) + "/spectrum-80kV-2.5mmAl.dat"), "spectrum");
    inputs.parameters = RunParameters{30.0f, 100.0f, 55.0f, 20.0f, 1.5f, static_cast<float>(histories),
                                      std::string(30, ' ')};
    return inputs;
}

// Time per call of the pieces of a history, at energies typical of the study.
void whereTheTimeGoes(const StudyInputs& inputs, const StudyGeometry& geometry, double nsPerHistory) {
    // How often each piece runs per history (counted on the straightforward form).
    const StudyInputs small = referenceStudy(2e5);
    UniformGenerator generator;
    generator.seed();
    DoseTally tally(small.parameters.couchThickness);
    TransportCounts counts;
    std::int64_t histories = 0;
    for (int bin = 2; bin <= std::min(small.spectrum.binLimit, kSpectrumBins); ++bin) {
        const std::int64_t n = historiesInBin(small.spectrum.weight[bin], small.parameters.photonCount);
        for (std::int64_t h = 0; h < n; ++h) {
            PhotonState photon = startPhoton(geometry.beam, binEnergy(bin), generator);
            transportPhoton(photon, small.data, geometry.box, generator, tally, &counts);
        }
        histories += std::max<std::int64_t>(n, 0);
    }
    const double flights = double(counts.flights) / histories;
    const double incoherent = double(counts.incoherent) / histories;
    const double coherent = double(counts.coherent) / histories;

    const int calls = 2'000'000;
    volatile float sink = 0;
    const double tCoefficients = secondsOf([&] {
        for (int i = 0; i < calls; ++i) sink = sink + coefficientsAt(inputs.data.crossSections, 20.0f + (i % 600) * 0.1f).coherent;
    }) / calls * 1e9;
    const double tLog = secondsOf([&] {
        for (int i = 0; i < calls; ++i) sink = sink + static_cast<float>(std::log(1.0 + i * 1e-7));
    }) / calls * 1e9;
    const double tIncoherent = secondsOf([&] {
        for (int i = 0; i < calls / 4; ++i) sink = sink + sampleIncoherent(30.0f + (i % 500) * 0.1f, inputs.data.scatteringFactors, generator).energyAfter;
    }) / (calls / 4) * 1e9;
    const double tCoherent = secondsOf([&] {
        for (int i = 0; i < calls / 4; ++i) sink = sink + sampleCoherent(30.0f + (i % 500) * 0.1f, inputs.data.scatteringFactors, inputs.data.coherentCdf, generator).cosTheta;
    }) / (calls / 4) * 1e9;
    PhotonState photon;
    photon.cosTheta = 0.6f, photon.sinTheta = 0.8f;
    const double tTurn = secondsOf([&] {
        for (int i = 0; i < calls; ++i) turnDirection(photon, ScatteringAngle{0.5f, 0.8660254f}, generator);
    }) / calls * 1e9;
    const double tStart = secondsOf([&] {
        for (int i = 0; i < calls; ++i) sink = sink + startPhoton(geometry.beam, 40.0f, generator).x;
    }) / calls * 1e9;
    const double tUniform = secondsOf([&] {
        for (int i = 0; i < calls; ++i) sink = sink + generator.uniform();
    }) / calls * 1e9;

    std::printf("\nWhere the time goes (straightforward form; calls per history x ns per call):\n");
    std::printf("  flights %.2f, incoherent %.2f, coherent %.2f per history\n", flights, incoherent, coherent);
    auto row = [&](const char* what, double perHistory, double ns) {
        std::printf("  %-34s %5.2f x %7.1f ns = %6.1f ns  (%4.1f %%)\n", what, perHistory, ns, perHistory * ns,
                    100 * perHistory * ns / nsPerHistory);
    };
    row("coefficientsAt (9 ln, 3 exp)", flights, tCoefficients);
    row("  of which the 12 ln and exp calls", 12 * flights, tLog);
    row("sampleIncoherent", incoherent, tIncoherent);
    row("sampleCoherent", coherent, tCoherent);
    row("turnDirection", incoherent + coherent, tTurn);
    row("startPhoton", 1, tStart);
    row("uniform (flight deviates)", 2 * flights, tUniform);
}

}  // namespace

int main(int argc, char** argv) {
    const double histories = argc > 1 ? std::atof(argv[1]) : 2e6;
    const StudyInputs inputs = referenceStudy(histories);
    const StudyGeometry geometry = makeStudyGeometry(inputs.parameters);
    Silent silent;
    std::printf("Reference study: 80 kV, 2.5 mm Al; 30 deg, FID 100, FSD 55, field 20, couch 1.5; %.3g histories\n\n",
                histories);

    double rate[2] = {0, 0};
    std::string tallies[2];
    const Arithmetic forms[2] = {Arithmetic::straightforward, Arithmetic::tabulated};
    const char* names[2] = {"straightforward", "tabulated (velmc's reference mode)"};
    for (int f = 0; f < 2; ++f) {
        UniformGenerator generator;
        generator.seed();
        DoseTally tally(inputs.parameters.couchThickness);
        RunTotals totals;
        const double seconds = secondsOf([&] { totals = runAllBins(inputs, geometry, generator, tally, silent, forms[f]); });
        rate[f] = totals.historiesRun / seconds;
        const auto cells = tally.component(1);
        tallies[f].assign(reinterpret_cast<const char*>(cells.data()), cells.size_bytes());
        std::printf("  %-36s %8.3f million histories/s  %7.1f ns/history\n", names[f], rate[f] / 1e6, 1e9 / rate[f]);
    }
    std::printf("  speed-up %.2f x; tallies %s\n", rate[1] / rate[0],
                tallies[0] == tallies[1] ? "identical" : "DIFFERENT");

    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    std::printf("\nMulti-core mode (--threads):\n");
    double single = 0;
    for (int threads : {1, cores}) {
        ParallelResult run;
        const double seconds = secondsOf([&] { run = runParallel(inputs, geometry, threads); });
        const double r = run.totals.historiesRun / seconds;
        if (threads == 1) single = r;
        std::printf("  %2d thread(s)  %8.3f million histories/s", threads, r / 1e6);
        if (threads > 1) std::printf("  scaling %.0f %% per core", 100 * r / single / threads);
        std::printf("\n");
        if (cores == 1) break;
    }

    whereTheTimeGoes(inputs, geometry, 1e9 / rate[0]);
    return 0;
}
