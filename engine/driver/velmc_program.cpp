#include "engine/driver/velmc_program.h"

#include <ctime>
#include <ostream>

#include "engine/driver/study.h"
#include "engine/io/console.h"
#include "formats/fixed_width.h"
#include "formats/input_error.h"
#include "formats/result_file.h"
#include "formats/shift_jis.h"

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

}  // namespace

int runVelmc(const std::vector<std::string>& arguments, ConsoleStreams streams, const std::string& directory) {
    if (!arguments.empty()) {
        streams.err << "velmc: unknown option \"" << arguments.front()
                    << "\"; velmc reads everything from the files in its working directory" << std::endl;
        return 2;
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
    openingDialogue(console);
    const ClockTime start = readClock();
    console.line(timeLine(" Start time =", start));
    console.emptyLine();

    ProgressLines progress(console);
    const RunTotals totals = runAllBins(inputs, geometry, generator, tally, progress);

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
    const float airKerma = normaliseStudy(inputs, geometry, totals, tally);
    try {
        writeResultFile(resultPath(directory, inputs.parameters), resultContents(inputs, tally, airKerma));
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
