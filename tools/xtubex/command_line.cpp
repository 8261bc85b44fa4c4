// Argument parsing and the report of the command-line mode.
#include "tools/xtubex/command_line.h"

#include <exception>
#include <optional>
#include <vector>

#include "tools/xtubex/attenuation.h"
#include "tools/xtubex/beam_input.h"
#include "tools/xtubex/spectrum_file.h"
#include "tools/xtubex/spectrum_model.h"
#include "tools/xtubex/tables.h"

namespace velmora::xtubex {
namespace {

constexpr const char* kUsage =
    "Usage: X-TUBEX [--kv KV] [--al MM] [--cu MM] [--anode-angle DEG] [--ripple PERCENT]\n"
    "               [--filter MATERIAL --filter-mm MM] [--output FILE]\n"
    "Without arguments X-TUBEX opens its window. Omitted values take the defaults\n"
    "80 kV, 2.5 mm Al, 0 mm Cu, anode angle 12 deg, ripple 0 %; the file is\n"
    "B_TUBEX.dat in the working directory unless --output names another.\n";

struct NumericOption {
    const char* name;
    BeamField field;
    double BeamSettings::*member;
};
constexpr NumericOption kNumericOptions[] = {
    {"--kv", BeamField::TubeVoltage, &BeamSettings::tubeVoltageKV},
    {"--anode-angle", BeamField::AnodeAngle, &BeamSettings::anodeAngleDeg},
    {"--ripple", BeamField::Ripple, &BeamSettings::ripplePercent},
    {"--al", BeamField::Aluminium, &BeamSettings::aluminiumMm},
    {"--cu", BeamField::Copper, &BeamSettings::copperMm},
    {"--filter-mm", BeamField::ExtraFilterThickness, &BeamSettings::extraFilterMm},
};

std::string filterList() {
    std::string list;
    for (const auto& label : extraFilterLabels()) list += (list.empty() ? "" : ", ") + label;
    return list;
}

struct ParsedArguments {
    BeamSettings settings;
    std::string outputPath = kSpectrumFileName;
    bool helpRequested = false;
    bool filterThicknessGiven = false;
    std::vector<std::string> problems;
};

ParsedArguments parseArguments(std::span<const std::string> arguments) {
    ParsedArguments parsed;
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        std::string name = arguments[index];
        std::optional<std::string> value;
        if (const auto equals = name.find('='); name.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
        }
        if (name == "--help" || name == "-h") {
            parsed.helpRequested = true;
            continue;
        }
        const NumericOption* numeric = nullptr;
        for (const auto& option : kNumericOptions) {
            if (name == option.name) numeric = &option;
        }
        if (numeric == nullptr && name != "--filter" && name != "--output") {
            parsed.problems.push_back(name + ": unknown option.");
            continue;
        }
        if (!value) {
            if (index + 1 >= arguments.size()) {
                parsed.problems.push_back(name + ": a value must follow.");
                continue;
            }
            value = arguments[++index];
        }
        if (numeric != nullptr) {
            const auto check = checkField(numeric->field, *value);
            if (check.value) {
                parsed.settings.*(numeric->member) = *check.value;
                parsed.filterThicknessGiven = parsed.filterThicknessGiven || numeric->field == BeamField::ExtraFilterThickness;
            } else {
                parsed.problems.push_back(name + ": " + check.message);
            }
        } else if (name == "--filter") {
            parsed.settings.extraFilter = *value;
            bool known = false;
            for (const auto& label : extraFilterLabels()) known = known || label == *value;
            if (!known) parsed.problems.push_back("--filter: \"" + *value + "\" is not one of " + filterList() + ".");
        } else if (value->empty()) {
            parsed.problems.push_back("--output: the file name is empty.");
        } else {
            parsed.outputPath = *value;
        }
    }
    if (parsed.filterThicknessGiven && parsed.settings.extraFilter.empty()) {
        parsed.problems.push_back("--filter-mm: name the material with --filter.");
    }
    return parsed;
}

void printFigures(std::ostream& output, const std::string& path, const BeamSettings& settings, const Beam& beam) {
    const auto& quality = beam.quality;
    output << "Wrote " << path << " (fluence per 0.5 keV bin, % of the peak bin)\n"
           << "Tube voltage          " << fixedText(settings.tubeVoltageKV, 1) << " kV\n"
           << "Anode angle           " << fixedText(settings.anodeAngleDeg, 1) << " deg\n"
           << "Ripple                " << fixedText(settings.ripplePercent, 1) << " %\n"
           << "Added filtration      " << fixedText(settings.aluminiumMm, 2) << " mm Al, "
           << fixedText(settings.copperMm, 3) << " mm Cu";
    if (!settings.extraFilter.empty()) {
        output << ", " << fixedText(settings.extraFilterMm, 3) << " mm " << settings.extraFilter;
    }
    output << " (window 0.8 mm Be)\n"
           << "Mean energy           " << fixedText(quality.meanEnergyKeV, 2) << " keV\n"
           << "HVL1 / HVL2 (Al)      " << fixedText(quality.hvl1MmAl, 3) << " / " << fixedText(quality.hvl2MmAl, 3)
           << " mm Al\n"
           << "HVL1 / HVL2 (Cu)      " << fixedText(quality.hvl1MmCu, 4) << " / " << fixedText(quality.hvl2MmCu, 4)
           << " mm Cu\n"
           << "Air kerma at 100 cm   " << fixedText(quality.airKermaMicroGyPerMAs, 2) << " uGy/mAs\n";
}

}  // namespace

int runCommandLine(std::span<const std::string> arguments, std::ostream& output, std::ostream& errors) {
    const ParsedArguments parsed = parseArguments(arguments);
    if (parsed.helpRequested && parsed.problems.empty()) {
        output << kUsage;
        return 0;
    }
    if (!parsed.problems.empty()) {
        for (const auto& problem : parsed.problems) errors << "X-TUBEX: " << problem << "\n";
        errors << "X-TUBEX: nothing written. Try X-TUBEX --help.\n";
        return 2;
    }
    try {
        const SpectrumModel model(loadEmbeddedTables());
        const Beam beam = model.computeBeam(parsed.settings);
        writeSpectrumFile(parsed.outputPath, parsed.settings, beam);
        printFigures(output, parsed.outputPath, parsed.settings, beam);
        return 0;
    } catch (const std::exception& error) {  // InputError from the writer names file and reason
        errors << "X-TUBEX: " << error.what() << "\n";
    }
    return 1;
}

}  // namespace velmora::xtubex
