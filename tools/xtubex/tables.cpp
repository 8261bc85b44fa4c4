// Parsers of the spectrum, coefficient and reference tables (comma-separated or
// blank-separated text with a header), each checked for the shape the model needs.
#include "tools/xtubex/tables.h"

#include <charconv>
#include <cmath>

#include "formats/input_error.h"
#include "formats/text_file.h"
#include "tools/xtubex/embedded_tables.h"

namespace velmora::xtubex {
namespace {

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::vector<std::string_view> splitFields(std::string_view line, char separator) {
    std::vector<std::string_view> fields;
    if (separator == ',') {
        std::size_t start = 0;
        while (true) {
            const auto comma = line.find(',', start);
            fields.push_back(trimmed(line.substr(start, comma - start)));
            if (comma == std::string_view::npos) break;
            start = comma + 1;
        }
    } else {
        std::size_t position = 0;
        while (true) {
            position = line.find_first_not_of(" \t\r", position);
            if (position == std::string_view::npos) break;
            const auto end = line.find_first_of(" \t\r", position);
            fields.push_back(line.substr(position, end - position));
            position = end;
        }
    }
    return fields;
}

bool isBlankOrComment(std::string_view line) {
    const auto text = trimmed(line);
    return text.empty() || text.front() == '#';
}

// A finite number filling the whole field, else InputError.
double numberField(std::string_view field, const std::string& fileName, int lineNumber,
                   const std::string& fieldName) {
    double value = 0;
    const auto* first = field.data();
    const auto* last = field.data() + field.size();
    const auto [end, error] = std::from_chars(first, last, value);
    if (field.empty() || error != std::errc() || end != last || !std::isfinite(value)) {
        throw InputError(fileName, lineNumber, fieldName,
                         "\"" + std::string(field) + "\" is not a number");
    }
    return value;
}

// Data lines with their 1-based line numbers; blank lines and '#' comments dropped.
struct NumberedLine {
    int number;
    std::string_view text;
};
std::vector<NumberedLine> contentLines(const std::vector<std::string>& lines) {
    std::vector<NumberedLine> content;
    for (std::size_t index = 0; index < lines.size(); ++index) {
        if (!isBlankOrComment(lines[index])) {
            content.push_back({static_cast<int>(index) + 1, lines[index]});
        }
    }
    return content;
}

void requireFieldCount(const std::vector<std::string_view>& fields, std::size_t expected,
                       const std::string& fileName, int lineNumber) {
    if (fields.size() != expected) {
        throw InputError(fileName, lineNumber, "line",
                         "expected " + std::to_string(expected) + " fields, found " +
                             std::to_string(fields.size()));
    }
}

}  // namespace

TasmicsTable parseTasmicsCsv(std::string_view text, const std::string& fileName) {
    const auto lines = splitLines(text);
    const auto content = contentLines(lines);
    if (content.size() < 2) throw InputError(fileName, 0, "table", "no data rows");

    // Header: E_keV, kV20, kV21, ... in steps of 1 kV.
    const auto header = splitFields(content[0].text, ',');
    if (header.size() < 3) throw InputError(fileName, content[0].number, "header", "fewer than two voltage columns");
    std::vector<double> voltages;
    for (std::size_t column = 1; column < header.size(); ++column) {
        const auto name = header[column];
        if (name.substr(0, 2) != "kV") {
            throw InputError(fileName, content[0].number, std::string(name), "column name is not kV<voltage>");
        }
        voltages.push_back(numberField(name.substr(2), fileName, content[0].number, std::string(name)));
        if (column > 1 && voltages.back() != voltages[voltages.size() - 2] + 1.0) {
            throw InputError(fileName, content[0].number, std::string(name), "voltages are not in 1 kV steps");
        }
    }

    TasmicsTable table;
    table.firstVoltageKV = voltages.front();
    table.fluence.assign(voltages.size(), {});
    for (std::size_t row = 1; row < content.size(); ++row) {
        const auto fields = splitFields(content[row].text, ',');
        requireFieldCount(fields, header.size(), fileName, content[row].number);
        const double energyKeV = numberField(fields[0], fileName, content[row].number, "E_keV");
        if (row == 1) {
            table.firstEnergyKeV = energyKeV;
        } else if (energyKeV != table.firstEnergyKeV + static_cast<double>(row - 1)) {
            throw InputError(fileName, content[row].number, "E_keV", "energies are not in 1 keV steps");
        }
        for (std::size_t column = 1; column < fields.size(); ++column) {
            const double value = numberField(fields[column], fileName, content[row].number, std::string(header[column]));
            if (value < 0) throw InputError(fileName, content[row].number, std::string(header[column]), "negative fluence");
            table.fluence[column - 1].push_back(value);
        }
    }
    table.energyCount = static_cast<int>(content.size() - 1);
    return table;
}

TasmipTable parseTasmipCsv(std::string_view text, const std::string& fileName) {
    const auto lines = splitLines(text);
    const auto content = contentLines(lines);
    if (content.size() < 2) throw InputError(fileName, 0, "table", "no data rows");
    static constexpr const char* kColumns[] = {"E_keV", "nterms", "a0", "a1", "a2", "a3"};
    const auto header = splitFields(content[0].text, ',');
    requireFieldCount(header, 6, fileName, content[0].number);

    TasmipTable table;
    for (std::size_t row = 1; row < content.size(); ++row) {
        const auto fields = splitFields(content[row].text, ',');
        requireFieldCount(fields, 6, fileName, content[row].number);
        double values[6];
        for (int column = 0; column < 6; ++column) {
            values[column] = numberField(fields[column], fileName, content[row].number, kColumns[column]);
        }
        if (!table.rows.empty() && values[0] != table.rows.back().energyKeV + 1.0) {
            throw InputError(fileName, content[row].number, "E_keV", "energies are not in 1 keV steps");
        }
        table.rows.push_back({values[0], values[2], values[3], values[4], values[5]});
    }
    return table;
}

EnergyAbsorptionTable parseNistCoefficients(std::string_view text, const std::string& fileName) {
    const auto lines = splitLines(text);
    EnergyAbsorptionTable table;
    for (const auto& line : contentLines(lines)) {
        const auto fields = splitFields(line.text, ' ');
        requireFieldCount(fields, 3, fileName, line.number);
        const double energyMeV = numberField(fields[0], fileName, line.number, "energy");
        const double muEn = numberField(fields[2], fileName, line.number, "mu_en/rho");
        if (energyMeV <= 0 || muEn <= 0) throw InputError(fileName, line.number, "line", "values must be positive");
        if (!table.energyKeV.empty() && energyMeV * 1000.0 < table.energyKeV.back()) {
            throw InputError(fileName, line.number, "energy", "energies are not ascending");
        }
        table.energyKeV.push_back(energyMeV * 1000.0);
        table.muEnOverRhoCm2PerG.push_back(muEn);
    }
    if (table.energyKeV.size() < 2) throw InputError(fileName, 0, "table", "fewer than two rows");
    return table;
}

std::vector<ReferenceBeam> parseReferenceBeams(std::string_view text, const std::string& fileName) {
    const auto lines = splitLines(text);
    const auto content = contentLines(lines);
    static constexpr const char* kColumns[] = {"set",    "quality", "kV",        "anode_angle_deg",
                                               "Be_mm",  "Al_mm",   "Cu_mm",     "air_mm",
                                               "kapton_mm", "hvl1", "hvl2",      "hvl_unit"};
    if (content.empty()) throw InputError(fileName, 0, "table", "empty");
    const auto header = splitFields(content[0].text, ',');
    requireFieldCount(header, 12, fileName, content[0].number);
    for (int column = 0; column < 12; ++column) {
        if (header[column] != kColumns[column]) {
            throw InputError(fileName, content[0].number, std::string(header[column]),
                             std::string("expected column ") + kColumns[column]);
        }
    }
    std::vector<ReferenceBeam> beams;
    for (std::size_t row = 1; row < content.size(); ++row) {
        const auto fields = splitFields(content[row].text, ',');
        const int lineNumber = content[row].number;
        requireFieldCount(fields, 12, fileName, lineNumber);
        if (fields[11] != "mmAl") throw InputError(fileName, lineNumber, "hvl_unit", "only mmAl is supported");
        double values[9];
        for (int column = 2; column < 11; ++column) {
            values[column - 2] = numberField(fields[column], fileName, lineNumber, kColumns[column]);
        }
        beams.push_back({std::string(fields[0]), std::string(fields[1]), values[0], values[1], values[2],
                         values[3], values[4], values[5], values[6], values[7], values[8]});
    }
    return beams;
}

ModelTables loadEmbeddedTables() {
    return {parseTasmicsCsv(embeddedTasmicsCsv(), "tasmics_w_unfiltered_20-150kV.csv"),
            parseTasmipCsv(embeddedTasmipCsv(), "tasmip_w_coefficients_30-140kV.csv"),
            parseNistCoefficients(embeddedAirCoefficientsTxt(), "air-dry-near-sea-level.txt")};
}

std::vector<ReferenceBeam> loadEmbeddedReferenceBeams() {
    return parseReferenceBeams(embeddedReferenceHvlCsv(), "reference_hvl.csv");
}

}  // namespace velmora::xtubex
