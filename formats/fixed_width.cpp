#include "formats/fixed_width.h"

#include "formats/input_error.h"

#include <cmath>

#include "formats/decimal_text.h"

namespace velmora {

namespace {

std::string rightAligned(std::string text, int width) {
    if (static_cast<int>(text.size()) > width) return std::string(width, '*');
    text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
    return text;
}

bool isBlank(char c) { return c == ' '; }

}  // namespace

std::string formatFixedField(double value, int width, int decimals) {
    if (width <= 0) return {};
    if (decimals < 0 || decimals + 1 > width || !std::isfinite(value))
        return std::string(width, '*');
    const detail::FixedDigits rounded = detail::roundToDecimals(value, decimals);
    std::string text;
    // A value that rounds to zero is written without a minus sign.
    if (std::signbit(value) && !rounded.isZero()) text += '-';
    text += rounded.integerDigits;
    if (rounded.integerDigits.empty() && decimals == 0) text += '0';
    text += '.';
    text += rounded.fractionDigits;
    return rightAligned(std::move(text), width);
}

std::string formatExponentField(double value, int width, int digits) {
    std::string text;
    appendExponentField(text, value, width, digits);
    return text;
}

void appendExponentField(std::string& out, double value, int width, int digits) {
    if (width <= 0) return;
    if (digits < 1 || digits + 5 > width || !std::isfinite(value)) {
        out.append(static_cast<std::size_t>(width), '*');
        return;
    }
    const detail::SignificantDigits rounded = detail::roundToSignificantDigits(value, digits);
    const bool negative = std::signbit(value) && value != 0;
    const int exponent = rounded.exponent;
    const int magnitude = exponent < 0 ? -exponent : exponent;
    // ".ddddE+xx"; a three-digit exponent takes the place of the letter E.
    const int length = (negative ? 1 : 0) + 1 + digits + 4;
    if (length > width || magnitude > 999) {
        out.append(static_cast<std::size_t>(width), '*');
        return;
    }
    out.append(static_cast<std::size_t>(width - length), ' ');
    if (negative) out += '-';
    out += '.';
    out += rounded.digits;
    if (magnitude <= 99) out += 'E';
    out += exponent < 0 ? '-' : '+';
    if (magnitude > 99) out += static_cast<char>('0' + magnitude / 100);
    out += static_cast<char>('0' + magnitude / 10 % 10);
    out += static_cast<char>('0' + magnitude % 10);
}

namespace {

std::optional<detail::ScannedDecimal> scanColumnField(std::string_view field, int impliedDecimals) {
    std::string compact;
    for (char c : field)
        if (!isBlank(c)) compact.push_back(c);
    if (compact.empty()) return detail::ScannedDecimal{false, "0", 1, false, 0};

    std::optional<detail::ScannedDecimal> number = detail::scanRealToken(compact, true);
    if (number && !number->hasPoint) number->exponent -= impliedDecimals;
    return number;
}

std::optional<detail::ScannedDecimal> scanFreeFormatReal(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    std::size_t end = i;
    while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != ',' &&
           line[end] != '/' && line[end] != '\r' && line[end] != '\n')
        ++end;
    const std::string_view token = line.substr(i, end - i);
    if (token.empty()) return std::nullopt;
    return detail::scanRealToken(token, true);
}

}  // namespace

std::optional<double> parseColumnField(std::string_view field, int impliedDecimals) {
    const std::optional<detail::ScannedDecimal> number = scanColumnField(field, impliedDecimals);
    if (!number) return std::nullopt;
    return detail::toDouble(*number);
}

std::optional<float> parseColumnFieldAsFloat(std::string_view field, int impliedDecimals) {
    const std::optional<detail::ScannedDecimal> number = scanColumnField(field, impliedDecimals);
    if (!number) return std::nullopt;
    return detail::toFloat(*number);
}

std::string_view columnSlice(std::string_view line, int firstColumn, int lastColumn) {
    if (firstColumn < 1) firstColumn = 1;
    if (lastColumn < firstColumn) return {};
    const std::size_t begin = static_cast<std::size_t>(firstColumn - 1);
    if (begin >= line.size()) return {};
    return line.substr(begin, static_cast<std::size_t>(lastColumn - firstColumn + 1));
}

std::optional<double> parseFreeFormatReal(std::string_view line) {
    const std::optional<detail::ScannedDecimal> number = scanFreeFormatReal(line);
    if (!number) return std::nullopt;
    return detail::toDouble(*number);
}

std::optional<float> parseFreeFormatFloat(std::string_view line) {
    const std::optional<detail::ScannedDecimal> number = scanFreeFormatReal(line);
    if (!number) return std::nullopt;
    return detail::toFloat(*number);
}

float readColumnFloat(std::string_view line, int firstColumn, int lastColumn, int impliedDecimals,
                      const std::string& fileName, int lineNumber, const std::string& fieldName) {
    const std::string_view field = columnSlice(line, firstColumn, lastColumn);
    if (const auto value = parseColumnFieldAsFloat(field, impliedDecimals)) return *value;
    if (!parseColumnField(field, impliedDecimals)) throw InputError(fileName, lineNumber, fieldName, "not a number");
    throw InputError(fileName, lineNumber, fieldName, "out of range");
}

}  // namespace velmora
