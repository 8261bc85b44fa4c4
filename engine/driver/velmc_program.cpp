#include "engine/driver/velmc_program.h"

#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <ctime>
#include <optional>
#include <ostream>

#include "engine/driver/parallel_run.h"
#include "engine/driver/study.h"
#include "engine/io/uncertainty_file.h"
#include "engine/io/console.h"
#include "formats/fixed_width.h"
#include "formats/input_error.h"
#include "formats/result_file.h"
#include "formats/shift_jis.h"
#include "formats/text_file.h"

namespace velmora {

namespace {

struct ClockTime {
    int hour = 0;
    int minute = 0;
    int second = 0;
};

ClockTime readClock() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return ClockTime{local.tm_hour, local.tm_min, local.tm_sec};
}

// Fortran I2: right-aligned in two columns, a blank (not a zero) before one digit.
std::string twoColumns(int value) {
    std::string text = std::to_string(value);
    return text.size() < 2 ? std::string(2 - text.size(), ' ') + text : text;
}

std::string threeColumns(int value) {
    std::string text = std::to_string(value);
    return text.size() < 3 ? std::string(3 - text.size(), ' ') + text : text;
}

std::string timeLine(const char* label, const ClockTime& time) {
    return std::string(label) + twoColumns(time.hour) + ":" + twoColumns(time.minute) + ":" +
           twoColumns(time.second);
}

class ProgressLines : public BinObserver {
public:
    explicit ProgressLines(Console& console) : console_(console) {}
    void binStarted(int energyBin, int binLimit, std::int64_t) override {
        console_.line(" * " + threeColumns(energyBin) + " / " + threeColumns(binLimit));
    }

private:
    Console& console_;
};

void openingDialogue(Console& console) {
    console.emptyLine();
    console.line("      ******    Monte Carlo simulation    ******");
    console.emptyLine();
    console.line("          シミュレーション計算が終了するまで、");
    console.line("     このウィンドウ上での操作は行なわないで下さい");
    console.emptyLine();
    console.line("       ---  Enter キーを押すとスタートします ---");
    console.waitForEnter();
    console.line(" <<< Monte Carlo Simulation >>>");
    console.emptyLine();
}

// The name in Phantom.dat is Shift_JIS; the file system takes UTF-8 names.
std::string resultPath(const std::string& directory, const RunParameters& parameters) {
    const std::string name = shiftJisToUtf8(trimmedResultFileName(parameters));
    return directory.empty() || directory == "." ? name : directory + "/" + name;
}

struct Options {
    bool batch = false;
    std::optional<int> threads;  // multi-core mode
    bool help = false;
};

const char* const kUsage =
    "Usage: velmc [--threads N] [--batch] [--help]\n"
    "\n"
    "Runs one study from the files in the working directory: Water.mix, Water.xfs,\n"
    "Mus-XP.dat, B_TUBEX.dat and Phantom.dat; writes the result file named in\n"
    "Phantom.dat.\n"
    "\n"
    "  (no option)    the reference run: one thread, the reference random sequence;\n"
    "                 identical inputs give identical result files.\n"
    "  --threads N    multi-core mode on N threads (0: all cores). Its own random\n"
    "                 sequences give the same result file for any N, and the file\n"
    "                 NAME.ddat.unc.csv with the standard error of every bin.\n"
    "  --batch        do not wait for Enter before and after the run.\n"
    "  --help         this text.\n"
    "\n"
    "End of input counts as Enter, so 'velmc < /dev/null' also runs unattended.\n";

// Returns nothing (and explains why on `err`) when the arguments are not understood.
std::optional<Options> parseOptions(const std::vector<std::string>& arguments, std::ostream& err) {
    Options options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--batch") {
            options.batch = true;
        } else if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else if (argument == "--threads") {
            int count = -1;
            if (i + 1 < arguments.size()) {
                const std::string& value = arguments[++i];
                char* end = nullptr;
                const long parsed = std::strtol(value.c_str(), &end, 10);
                if (!value.empty() && *end == '\0' && parsed >= 0 && parsed <= 4096) count = static_cast<int>(parsed);
            }
            if (count < 0) {
                err << "velmc: --threads needs a number of threads from 0 (all cores) to 4096" << std::endl;
                return std::nullopt;
            }
            options.threads = count;
        } else {
            err << "velmc: unknown option \"" << argument << "\" (see velmc --help)" << std::endl;
            return std::nullopt;
        }
    }
    return options;
}

std::string durationText(double seconds) {
    const long whole = std::lround(seconds);
    char text[32];
    if (whole >= 3600) {
        std::snprintf(text, sizeof text, "%ld h %02ld min", whole / 3600, whole / 60 % 60);
    } else {
        std::snprintf(text, sizeof text, "%ld min %02ld s", whole / 60, whole % 60);
    }
    return text;
}

void reportProgress(Console& console, const ParallelProgress& progress) {
    const double rate = progress.seconds > 0 ? progress.historiesDone / progress.seconds : 0;
    const double left = rate > 0 ? (progress.historiesTotal - progress.historiesDone) / rate : 0;
    char text[160];
    std::snprintf(text, sizeof text, " %5.1f %%  %lld / %lld histories  %.2f million/s  %s left",
                  progress.historiesTotal ? 100.0 * progress.historiesDone / progress.historiesTotal : 100.0,
                  static_cast<long long>(progress.historiesDone), static_cast<long long>(progress.historiesTotal),
                  rate / 1e6, durationText(left).c_str());
    console.line(text);
}

}  // namespace

int runVelmc(const std::vector<std::string>& arguments, ConsoleStreams streams, const std::string& directory) {
    const std::optional<Options> options = parseOptions(arguments, streams.err);
    if (!options) return 2;
    if (options->help) {
        streams.out << kUsage;
        return 0;
    }
    UniformGenerator generator;
    generator.seed();

    StudyInputs inputs;
    try {
        inputs = loadStudyInputs(directory);
    } catch (const InputError& error) {
        streams.err << "velmc: " << error.what() << std::endl;
        return 1;
    }
    const StudyGeometry geometry = makeStudyGeometry(inputs.parameters);
    DoseTally tally(inputs.parameters.couchThickness);
    tally.clear();

    Console console(streams.out, streams.in, streams.encoding);
    console.setBatch(options->batch);
    openingDialogue(console);
    const ClockTime start = readClock();
    console.line(timeLine(" Start time =", start));
    console.emptyLine();

    RunTotals totals;
    std::optional<ParallelResult> parallel;
    if (options->threads) {
        parallel = runParallel(inputs, geometry, *options->threads,
                               [&](const ParallelProgress& progress) { reportProgress(console, progress); });
        totals = parallel->totals;
        tally = parallel->tally;
    } else {
        ProgressLines progress(console);
        totals = runAllBins(inputs, geometry, generator, tally, progress);
    }

    console.emptyLine();
    console.line(timeLine(" Start time =", start));
    console.emptyLine();
    console.line(timeLine(" Finish time =", readClock()));

    if (totals.historiesRun == 0 || !(totals.airKermaSum > 0)) {
        streams.err << "velmc: no history was run (every spectrum weight x photon count is below 1, "
                       "or the air coefficients of the bins run are 0); no result file is written"
                    << std::endl;
        return 1;
    }
    const float airKerma = studyAirKerma(inputs, totals);
    if (!(airKerma > 0.0f) || !std::isfinite(airKerma)) {
        streams.err << "velmc: the primary air kerma at the FSD comes out as " << airKerma
                    << " Gy for these distances and this field; no result file is written" << std::endl;
        return 1;
    }
    normaliseStudy(geometry, airKerma, tally);
    try {
        const std::string path = resultPath(directory, inputs.parameters);
        writeResultFile(path, resultContents(inputs, tally, airKerma));
        if (parallel) {
            writeFileAtomically(path + ".unc.csv",
                                formatUncertaintyFile(trimmedResultFileName(inputs.parameters),
                                                      inputs.parameters, tally, *parallel, airKerma,
                                                      geometry.mirrorTallyInX));
        }
    } catch (const InputError& error) {
        streams.err << "velmc: the result file cannot be written: " << error.what() << std::endl;
        return 1;
    }

    console.emptyLine();
    console.line("  ---      計算が終了しました    ---");
    console.emptyLine();
    console.line("  ---   Enter キーを押して下さい ---");
    console.waitForEnter();
    streams.out << "Stop - Program terminated." << std::endl;
    return 0;
}

}  // namespace velmora
