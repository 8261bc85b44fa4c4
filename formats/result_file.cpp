#include "formats/result_file.h"

#include <charconv>
#include <stdexcept>

#include "formats/decimal_text.h"
#include "formats/fixed_width.h"
#include "formats/input_error.h"
#include "formats/text_file.h"

namespace velmora {

namespace {

// The Japanese labels in Shift_JIS (code page 932).
constexpr std::string_view kIncidenceAngleLabel = "\x93\xfc\x8e\xcb\x8a\x70\x93\x78";  // 入射角度
constexpr std::string_view kDegreeLabel = "\x93\x78";                                    // 度
constexpr std::string_view kFieldLabel = "\x8f\xc6\x8e\xcb\x96\xec";                     // 照射野
constexpr std::string_view kCouchLabel =
    "\x90\x51\x91\xe4\x90\x85\x93\x99\x89\xbf\x8c\xfa";  // 寝台水等価厚

constexpr std::string_view kLineEnd = "\r\n";
constexpr int kDoseFieldWidth = 11;
constexpr int kDoseFieldDigits = 4;
constexpr int kTotalDoseValues = 2 * kResultCellsPerComponent;
constexpr std::size_t kExpectedFileBytes = 1762046;

// A header line as held: exactly 30 bytes. Line-end bytes inside it would
// break the line count that the reader relies on, so they become blanks.
std::string headerLine(const std::string& text) {
    std::string line = text.substr(0, kSpectrumHeaderBytes);
    line.resize(kSpectrumHeaderBytes, ' ');
    for (char& c : line)
        if (c == '\r' || c == '\n') c = ' ';
    return line;
}

void appendDoseLines(std::string& text, std::span<const float> doses) {
    for (int ix = 0; ix < kResultXBins; ++ix) {
        for (int iy = 0; iy < kResultYBins; ++iy)
            appendExponentField(text, doses[static_cast<std::size_t>(ix) * kResultYBins + iy],
                                kDoseFieldWidth, kDoseFieldDigits);
        text += kLineEnd;
    }
}

// Where the next line starts: a line ends at CR LF, a lone CR or a lone LF.
std::size_t skipLine(std::string_view bytes, std::size_t position, std::string_view* line) {
    const std::size_t end = bytes.find_first_of("\r\n", position);
    if (end == std::string_view::npos) {
        if (line) *line = bytes.substr(position);
        return bytes.size();
    }
    if (line) *line = bytes.substr(position, end - position);
    if (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') return end + 2;
    return end + 1;
}

std::string withThousands(int value) {
    const std::string digits = std::to_string(value);
    std::string text;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
        text += digits[i];
    }
    return text;
}

// "dose value 80,001 (scatter x bin 1, y bin 1)" for the 0-based index.
std::string doseFieldName(int index) {
    const bool scatter = index >= kResultCellsPerComponent;
    const int cell = index % kResultCellsPerComponent;
    return "dose value " + withThousands(index + 1) + " (" + (scatter ? "scatter" : "primary") +
           " x bin " + std::to_string(cell / kResultYBins + 1) + ", y bin " +
           std::to_string(cell % kResultYBins + 1) + ")";
}

// The token as it may be shown in a message: at most 20 bytes, bytes outside
// printable ASCII written as \xNN.
std::string printableToken(std::string_view token) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text;
    for (std::size_t i = 0; i < token.size() && i < 20; ++i) {
        const unsigned char c = static_cast<unsigned char>(token[i]);
        if (c >= 0x20 && c < 0x7F) {
            text += static_cast<char>(c);
        } else {
            text += "\\x";
            text += kHex[c >> 4];
            text += kHex[c & 15];
        }
    }
    if (token.size() > 20) text += "...";
    return text;
}

// A dose token: a decimal number with optional sign, point and exponent.
std::optional<double> convertDoseToken(std::string_view token) {
    std::size_t start = 0;
    if (token[0] == '+') start = 1;  // from_chars takes '-' but not '+'
    const std::size_t first = token[0] == '-' ? 1 : start;
    if (first < token.size() && ((token[first] >= '0' && token[first] <= '9') || token[first] == '.')) {
        double value = 0;
        const auto result = std::from_chars(token.data() + start, token.data() + token.size(), value);
        if (result.ec == std::errc() && result.ptr == token.data() + token.size()) return value;
    }
    // The slow path settles the rest: D exponents, and values beyond the range
    // of a double (an underflow reads as 0, an overflow is no number).
    const std::optional<detail::ScannedDecimal> number = detail::scanRealToken(token, false);
    if (!number) return std::nullopt;
    return detail::toDouble(*number);
}

}  // namespace

std::string formatResultFile(const ResultFileContents& contents) {
    if (contents.primary.size() != kResultCellsPerComponent ||
        contents.scatter.size() != kResultCellsPerComponent)
        throw std::invalid_argument("a result file needs 80,000 primary and 80,000 scatter doses");
    const RunParameters& p = contents.parameters;
    std::string text;
    text.reserve(kExpectedFileBytes);
    for (const std::string& line : contents.spectrumHeader) {
        text += headerLine(line);
        text += kLineEnd;
    }
    text += ' ';
    text += kIncidenceAngleLabel;
    text += " = " + formatFixedField(p.incidenceAngle, 5, 1) + " ";
    text += kDegreeLabel;
    text += kLineEnd;
    text += " FID = " + formatFixedField(p.fid, 6, 1) + " cm";
    text += kLineEnd;
    text += " FSD = " + formatFixedField(p.fsd, 6, 1) + " cm";
    text += kLineEnd;
    text += ' ';
    text += kFieldLabel;
    text += " at FID = " + formatFixedField(p.fieldSize, 5, 1) + " cm";
    text += kLineEnd;
    text += ' ';
    text += kCouchLabel;
    text += " = " + formatFixedField(p.couchThickness, 5, 2) + " cm";
    text += kLineEnd;
    text += formatExponentField(p.photonCount, 8, 1);
    text += kLineEnd;
    appendDoseLines(text, contents.primary);
    appendDoseLines(text, contents.scatter);
    text += " Air kerma = " + formatExponentField(contents.airKerma, 10, 3) + " [Gy] at FSD";
    text += kLineEnd;
    return text;
}

void writeResultFile(const std::string& path, const ResultFileContents& contents) {
    writeFileAtomically(path, formatResultFile(contents));
}

// Steps over the 15 header lines (keeping them when `header` is given) and
// returns the position of the first dose line.
std::size_t readHeaderLines(std::string_view bytes, const std::string& fileName,
                            std::array<std::string, kResultHeaderLines>* header) {
    std::size_t position = 0;
    for (int i = 0; i < kResultHeaderLines; ++i) {
        if (position >= bytes.size())
            throw InputError(fileName, i + 1, "header",
                             "the file ends after " + std::to_string(i) + " lines; " +
                                 std::to_string(kResultHeaderLines) + " header lines are expected");
        std::string_view line;
        position = skipLine(bytes, position, &line);
        if (header) (*header)[i] = std::string(line);
    }
    return position;
}

std::array<std::string, kResultHeaderLines> parseResultHeader(std::string_view bytes,
                                                              const std::string& fileName) {
    std::array<std::string, kResultHeaderLines> header;
    readHeaderLines(bytes, fileName, &header);
    return header;
}

std::array<std::string, kResultHeaderLines> readResultHeader(const std::string& path) {
    return parseResultHeader(readWholeFile(path), path);
}

ResultDoses parseResultDoses(std::string_view bytes, const std::string& fileName) {
    std::size_t position = readHeaderLines(bytes, fileName, nullptr);
    ResultDoses doses;
    doses.primary.reserve(kResultCellsPerComponent);
    doses.scatter.reserve(kResultCellsPerComponent);
    int lineNumber = kResultHeaderLines + 1;
    const std::size_t size = bytes.size();
    for (int index = 0; index < kTotalDoseValues; ++index) {
        // Separators: blanks, tabs, commas and line ends, any number of them.
        while (position < size) {
            const char c = bytes[position];
            if (c == ' ' || c == ',' || c == '\t') {
                ++position;
            } else if (c == '\n') {
                ++position;
                ++lineNumber;
            } else if (c == '\r') {
                ++position;
                if (position < size && bytes[position] == '\n') ++position;
                ++lineNumber;
            } else {
                break;
            }
        }
        if (position >= size) {
            const bool endsWithLineEnd =
                size > 0 && (bytes[size - 1] == '\n' || bytes[size - 1] == '\r');
            throw InputError(fileName, endsWithLineEnd ? lineNumber - 1 : lineNumber,
                             doseFieldName(index),
                             "the file ends here; " + withThousands(kTotalDoseValues) +
                                 " dose values are expected");
        }
        const std::size_t tokenStart = position;
        while (position < size) {
            const char c = bytes[position];
            if (c == ' ' || c == ',' || c == '\t' || c == '\r' || c == '\n') break;
            ++position;
        }
        const std::string_view token = bytes.substr(tokenStart, position - tokenStart);
        const std::optional<double> value = convertDoseToken(token);
        if (!value)
            throw InputError(fileName, lineNumber, doseFieldName(index),
                             "\"" + printableToken(token) + "\" is not a number");
        (index < kResultCellsPerComponent ? doses.primary : doses.scatter).push_back(*value);
    }
    return doses;
}

ResultDoses readResultDoses(const std::string& path) {
    return parseResultDoses(readWholeFile(path), path);
}

}  // namespace velmora
