#include "formats/run_parameters.h"

#include <optional>
#include <string_view>
#include <vector>

#include "formats/fixed_width.h"
#include "formats/input_error.h"
#include "formats/number_patterns.h"
#include "formats/text_file.h"

namespace velmora {

namespace {

constexpr const char* kLineEnd = "\r\n";
constexpr int kNumberLines = 6;
constexpr const char* kFieldNames[kNumberLines + 1] = {
    "incidence angle", "FID", "FSD", "field size", "couch thickness", "photon count",
    "result file name"};

std::string countText(std::size_t count, const char* singular, const char* plural) {
    return std::to_string(count) + " " + (count == 1 ? singular : plural);
}

// One real of lines 1 to 6, held in single precision as the engine keeps it.
float readNumberLine(const std::vector<std::string>& lines, int lineNumber,
                     const std::string& fileName) {
    const char* field = kFieldNames[lineNumber - 1];
    const std::string& line = lines[lineNumber - 1];
    if (line.find_first_not_of(" \t") == std::string::npos)
        throw InputError(fileName, lineNumber, field, "the line is blank; a number is expected");
    // Rounded once, straight from the text to single precision, as a read
    // into a single-precision real does.
    const std::optional<float> value = parseFreeFormatFloat(line);
    if (!value) {
        if (parseFreeFormatReal(line))
            throw InputError(fileName, lineNumber, field,
                             "the number is too large for a single-precision real");
        throw InputError(fileName, lineNumber, field, "the line does not begin with a number");
    }
    return *value;
}

}  // namespace

std::string formatRunParameterFile(const RunParameterInput& input) {
    const std::string& name = input.resultNameShiftJis;
    // A line break inside the name would shift every later line of the file.
    if (name.find_first_of("\r\n") != std::string::npos)
        throw InputError(kRunParameterFileName, kNumberLines + 1, kFieldNames[kNumberLines],
                         "the name contains a line break");
    std::string text;
    text += formatFixedPattern(input.incidenceAngle, 2, 1) + kLineEnd;
    text += formatFixedPattern(input.fid, 2, 1) + kLineEnd;
    text += formatFixedPattern(input.fsd, 2, 1) + kLineEnd;
    text += formatFixedPattern(input.fieldSize, 2, 1) + kLineEnd;
    text += formatFixedPattern(input.couchThickness, 1, 1) + kLineEnd;
    text += formatScientificPattern(input.photonCount, 2) + kLineEnd;
    text += name + ".ddat" + kLineEnd;
    return text;
}

void writeRunParameterFile(const std::string& path, const RunParameterInput& input) {
    writeFileAtomically(path, formatRunParameterFile(input));
}

RunParameters parseRunParameterFile(std::string_view bytes, const std::string& fileName) {
    const std::vector<std::string> lines = splitLines(bytes);
    const int expectedLines = kNumberLines + 1;
    if (static_cast<int>(lines.size()) < expectedLines) {
        const int missing = static_cast<int>(lines.size()) + 1;
        throw InputError(fileName, missing, kFieldNames[missing - 1],
                         "the line is missing: the file has " +
                             countText(lines.size(), "line", "lines") + ", " +
                             std::to_string(expectedLines) + " are expected");
    }
    RunParameters parameters;
    parameters.incidenceAngle = readNumberLine(lines, 1, fileName);
    parameters.fid = readNumberLine(lines, 2, fileName);
    parameters.fsd = readNumberLine(lines, 3, fileName);
    parameters.fieldSize = readNumberLine(lines, 4, fileName);
    parameters.couchThickness = readNumberLine(lines, 5, fileName);
    parameters.photonCount = readNumberLine(lines, 6, fileName);

    std::string name = lines[kNumberLines].substr(0, kResultFileNameBytes);
    name.resize(kResultFileNameBytes, ' ');
    parameters.resultFileName = std::move(name);
    if (trimmedResultFileName(parameters).empty())
        throw InputError(fileName, expectedLines, kFieldNames[kNumberLines],
                         "the result file name is blank");
    return parameters;
}

RunParameters readRunParameterFile(const std::string& path) {
    return parseRunParameterFile(readWholeFile(path), path);
}

std::string trimmedResultFileName(const RunParameters& parameters) {
    const std::string& name = parameters.resultFileName;
    const std::size_t last = name.find_last_not_of(' ');
    return last == std::string::npos ? std::string() : name.substr(0, last + 1);
}

}  // namespace velmora
