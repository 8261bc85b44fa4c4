#include "tools/physics_data/nist_table.h"

#include <charconv>
#include <cmath>
#include <stdexcept>

#include "formats/input_error.h"
#include "formats/text_file.h"

namespace velmora::physics_data {

namespace {

const char* const kFieldNames[3] = {"energy", "mu/rho", "mu_en/rho"};

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::vector<std::string_view> blankSeparatedTokens(std::string_view line) {
    std::vector<std::string_view> tokens;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isBlank(line[i])) ++i;
        std::size_t end = i;
        while (end < line.size() && !isBlank(line[end])) ++end;
        if (end > i) tokens.push_back(line.substr(i, end - i));
        i = end;
    }
    return tokens;
}

bool isCommentOrBlank(std::string_view line) {
    for (char c : line) {
        if (isBlank(c)) continue;
        return c == '#';
    }
    return true;
}

double valueOf(const NistRow& row, NistColumn column) {
    return column == NistColumn::massAttenuation ? row.massAttenuationCm2PerG
                                                 : row.massEnergyAbsorptionCm2PerG;
}

double logLogBetween(const NistRow& lower, const NistRow& upper, NistColumn column,
                     double energyMeV) {
    const double t = std::log(energyMeV / lower.energyMeV) / std::log(upper.energyMeV / lower.energyMeV);
    const double lowerValue = valueOf(lower, column);
    return std::exp(std::log(lowerValue) + t * std::log(valueOf(upper, column) / lowerValue));
}

}  // namespace

NistTable parseNistTable(std::string_view text, const std::string& fileName) {
    NistTable table;
    const std::vector<std::string> lines = splitLines(text);
    int timesAtSameEnergy = 0;
    for (std::size_t index = 0; index < lines.size(); ++index) {
        const int lineNumber = static_cast<int>(index) + 1;
        const std::string& line = lines[index];
        if (isCommentOrBlank(line)) continue;

        const std::vector<std::string_view> tokens = blankSeparatedTokens(line);
        if (tokens.size() != 3)
            throw InputError(fileName, lineNumber, "", "expected three numbers: energy, mu/rho, mu_en/rho");
        double values[3] = {};
        for (int field = 0; field < 3; ++field) {
            const std::string_view token = tokens[static_cast<std::size_t>(field)];
            const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), values[field]);
            if (error != std::errc() || end != token.data() + token.size())
                throw InputError(fileName, lineNumber, kFieldNames[field], "not a number");
            if (!(values[field] > 0) || !std::isfinite(values[field]))
                throw InputError(fileName, lineNumber, kFieldNames[field], "must be positive");
        }

        const NistRow row{values[0], values[1], values[2]};
        if (!table.rows.empty()) {
            const double previousEnergy = table.rows.back().energyMeV;
            if (row.energyMeV < previousEnergy)
                throw InputError(fileName, lineNumber, kFieldNames[0], "energies must ascend");
            timesAtSameEnergy = row.energyMeV == previousEnergy ? timesAtSameEnergy + 1 : 1;
            if (timesAtSameEnergy > 2)
                throw InputError(fileName, lineNumber, kFieldNames[0],
                                 "an energy may appear at most twice (below and above an edge)");
        } else {
            timesAtSameEnergy = 1;
        }
        table.rows.push_back(row);
    }
    if (table.rows.size() < 2) throw InputError(fileName, 0, "", "fewer than two rows of data");
    return table;
}

double logLogAt(const NistTable& table, NistColumn column, double energyMeV) {
    const std::vector<NistRow>& rows = table.rows;
    if (rows.size() < 2) throw std::domain_error("a table needs at least two rows");
    if (!(energyMeV > 0)) throw std::domain_error("the energy must be positive");
    if (energyMeV < rows.front().energyMeV) return logLogBetween(rows[0], rows[1], column, energyMeV);
    if (energyMeV > rows.back().energyMeV)
        throw std::domain_error("energy above the last row of the table");

    // The last row at or below the energy: at an edge this is the above-edge
    // row, so that energies from the edge upward never see the below-edge value.
    std::size_t lower = 0;
    while (lower + 1 < rows.size() && rows[lower + 1].energyMeV <= energyMeV) ++lower;
    if (rows[lower].energyMeV == energyMeV) return valueOf(rows[lower], column);
    return logLogBetween(rows[lower], rows[lower + 1], column, energyMeV);
}

}  // namespace velmora::physics_data
