#include "engine/io/input_files.h"

#include <cmath>
#include <vector>

#include "formats/fixed_width.h"
#include "formats/input_error.h"
#include "formats/text_file.h"

namespace velmora {

namespace {

std::string pathOf(const std::string& directory, const char* fileName) {
    if (directory.empty() || directory == ".") return fileName;
    return directory + "/" + fileName;
}

struct Column {
    int first;
    int last;
    const char* name;
};

class RecordReader {
public:
    RecordReader(std::string_view bytes, const std::string& fileName)
        : lines_(splitLines(bytes)), fileName_(fileName) {}

    const std::string& line(int lineNumber, const char* what) const {
        if (lineNumber > static_cast<int>(lines_.size())) {
            throw InputError(fileName_, lineNumber, what, "the file ends before this line");
        }
        return lines_[lineNumber - 1];
    }

    // A fixed-width real, with `impliedDecimals` for a field without a point.
    float field(int lineNumber, const Column& column, int impliedDecimals) const {
        return readColumnFloat(line(lineNumber, column.name), column.first, column.last, impliedDecimals, fileName_,
                               lineNumber, column.name);
    }

    double freeFormat(int lineNumber, const char* what) const {
        const auto value = parseFreeFormatReal(line(lineNumber, what));
        if (!value) throw InputError(fileName_, lineNumber, what, "does not begin with a number");
        return *value;
    }

    [[noreturn]] void fail(int lineNumber, const char* what, const std::string& reason) const {
        throw InputError(fileName_, lineNumber, what, reason);
    }

private:
    std::vector<std::string> lines_;
    std::string fileName_;
};

}  // namespace

CrossSectionTable parseCrossSectionTable(std::string_view bytes, const std::string& fileName) {
    const RecordReader reader(bytes, fileName);
    reader.line(1, "title");
    reader.freeFormat(2, "second line");
    const double count = reader.freeFormat(3, "number of energies");
    if (count != std::floor(count) || count < 2 || count > kMaxEnergyRows) {
        reader.fail(3, "number of energies", "must be a whole number from 2 to 80");
    }

    // "(E9.3,5E10.3)": energy in MeV, coherent, incoherent, photoelectric, two unused.
    static constexpr Column kEnergy{1, 9, "energy (columns 1-9)"};
    static constexpr Column kCoherent{10, 19, "coherent coefficient (columns 10-19)"};
    static constexpr Column kIncoherent{20, 29, "incoherent coefficient (columns 20-29)"};
    static constexpr Column kPhotoelectric{30, 39, "photoelectric coefficient (columns 30-39)"};
    static constexpr Column kUnused5{40, 49, "fifth column (columns 40-49)"};
    static constexpr Column kUnused6{50, 59, "sixth column (columns 50-59)"};

    CrossSectionTable table;
    table.count = static_cast<int>(count);
    for (int row = 1; row <= table.count; ++row) {
        const int lineNumber = row + 3;
        table.energy[row] = static_cast<float>(static_cast<double>(reader.field(lineNumber, kEnergy, 3)) * 1000.0);
        table.coherent[row] = reader.field(lineNumber, kCoherent, 3);
        table.incoherent[row] = reader.field(lineNumber, kIncoherent, 3);
        table.photoelectric[row] = reader.field(lineNumber, kPhotoelectric, 3);
        reader.field(lineNumber, kUnused5, 3);
        reader.field(lineNumber, kUnused6, 3);

        // Logarithms are taken of all three, and the energy search needs ascending rows.
        if (!(table.coherent[row] > 0) || !(table.incoherent[row] > 0) || !(table.photoelectric[row] > 0)) {
            reader.fail(lineNumber, "coefficients (columns 10-39)", "every coefficient must be positive");
        }
        if (!(table.energy[row] > 0)) reader.fail(lineNumber, kEnergy.name, "must be positive");
        if (row > 1 && !(table.energy[row] > table.energy[row - 1])) {
            reader.fail(lineNumber, kEnergy.name, "energies must ascend");
        }
    }
    // The energy search has no upper bound: every photon energy (at most
    // 150 keV) must lie below the last row.
    if (!(table.energy[table.count] > 150.0f)) {
        reader.fail(table.count + 3, kEnergy.name, "the last energy must lie above 150 keV (0.150 MeV)");
    }
    return table;
}

ScatteringFactorTable parseScatteringFactorTable(std::string_view bytes, const std::string& fileName) {
    const RecordReader reader(bytes, fileName);
    // "(E10.3,2E12.5)": x in 1/Angstrom, F(x), S(x).
    static constexpr Column kX{1, 10, "x (columns 1-10)"};
    static constexpr Column kFormFactor{11, 22, "form factor (columns 11-22)"};
    static constexpr Column kIncoherent{23, 34, "incoherent scattering function (columns 23-34)"};

    ScatteringFactorTable table;
    for (int row = 1; row <= kScatteringPoints; ++row) {
        table.x[row] = reader.field(row, kX, 3);
        table.formFactor[row] = reader.field(row, kFormFactor, 5);
        table.incoherentFunction[row] = reader.field(row, kIncoherent, 5);
        if (row > 1 && !(table.x[row] > table.x[row - 1])) reader.fail(row, kX.name, "x must ascend");
        if (table.formFactor[row] < 0 || table.incoherentFunction[row] < 0) {
            reader.fail(row, "F(x), S(x) (columns 11-34)", "must not be negative");
        }
    }
    if (table.x[1] < 0) reader.fail(1, kX.name, "must not be negative");
    if (!(table.x[kScatteringPoints] >= 10.0f)) {
        reader.fail(kScatteringPoints, kX.name, "the last x must be at least 10 1/Angstrom");
    }
    if (!(table.incoherentFunction[kScatteringPoints] > 0)) {
        reader.fail(kScatteringPoints, kIncoherent.name, "S(x) of the last row must be positive");
    }
    bool anyFormFactor = false;
    for (int row = 3; row <= kScatteringPoints; ++row) anyFormFactor |= table.formFactor[row] > 0;
    if (!anyFormFactor) reader.fail(3, kFormFactor.name, "the form factor is zero everywhere above x(2)");
    return table;
}

AirCoefficients parseAirCoefficients(std::string_view bytes, const std::string& fileName) {
    const RecordReader reader(bytes, fileName);
    // "(E9.3,4E13.5)": the row's energy, three unused columns, air mu_en/rho.
    static constexpr Column kColumns[] = {
        {1, 9, "energy (columns 1-9)"},          {10, 22, "second column (columns 10-22)"},
        {23, 35, "third column (columns 23-35)"}, {36, 48, "fourth column (columns 36-48)"},
    };
    static constexpr Column kAir{49, 61, "air coefficient (columns 49-61)"};

    AirCoefficients air;
    for (int row = 1; row <= kAirCoefficientRows; ++row) {
        reader.field(row, kColumns[0], 3);
        for (int c = 1; c < 4; ++c) reader.field(row, kColumns[c], 5);
        air.value[row] = reader.field(row, kAir, 5);
        if (air.value[row] < 0) reader.fail(row, kAir.name, "must not be negative");
    }
    return air;
}

InteractionData loadInteractionData(const std::string& directory) {
    InteractionData data;
    data.crossSections = parseCrossSectionTable(readWholeFile(pathOf(directory, kCrossSectionFileName)),
                                                kCrossSectionFileName);
    data.scatteringFactors = parseScatteringFactorTable(
        readWholeFile(pathOf(directory, kScatteringFactorFileName)), kScatteringFactorFileName);
    buildCoherentCdf(data.scatteringFactors, data.coherentCdf);
    data.air = parseAirCoefficients(readWholeFile(pathOf(directory, kAirCoefficientFileName)),
                                    kAirCoefficientFileName);
    return data;
}

Spectrum loadSpectrum(const std::string& directory) {
    return parseSpectrumFile(readWholeFile(pathOf(directory, kSpectrumFileName)), kSpectrumFileName);
}

RunParameters loadRunParameters(const std::string& directory) {
    return parseRunParameterFile(readWholeFile(pathOf(directory, kRunParameterFileName)), kRunParameterFileName);
}

}  // namespace velmora
