#include "formats/number_patterns.h"

#include <cmath>

#include "formats/decimal_text.h"

namespace velmora {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Non-finite values cannot come from typed text except through an overflowing
// exponent ("1E999"); they are spelled out so that nobody mistakes them for a number.
std::string nonFiniteText(double value) {
    if (std::isnan(value)) return "NaN";
    return value < 0 ? "-Infinity" : "Infinity";
}

}  // namespace

std::string formatFixedPattern(double value, int minIntegerDigits, int decimals) {
    if (!std::isfinite(value)) return nonFiniteText(value);
    if (decimals < 0) decimals = 0;
    const detail::FixedDigits rounded = detail::roundToDecimals(value, decimals);
    std::string text;
    // A value that rounds to zero is shown without a minus sign ("0.0", not "-0.0").
    if (std::signbit(value) && !rounded.isZero()) text += '-';
    if (static_cast<int>(rounded.integerDigits.size()) < minIntegerDigits)
        text.append(minIntegerDigits - rounded.integerDigits.size(), '0');
    text += rounded.integerDigits;
    if (decimals > 0) {
        text += '.';
        text += rounded.fractionDigits;
    }
    return text;
}

std::string formatScientificPattern(double value, int decimals) {
    if (!std::isfinite(value)) return nonFiniteText(value);
    if (decimals < 0) decimals = 0;
    const detail::SignificantDigits rounded =
        detail::roundToSignificantDigits(value, decimals + 1);
    std::string text;
    if (std::signbit(value) && value != 0) text += '-';
    text += rounded.digits[0];
    if (decimals > 0) {
        text += '.';
        text += rounded.digits.substr(1);
    }
    // value = d.ddd x 10^(exponent - 1); zero is written with exponent +00.
    const int exponent = value == 0 ? 0 : rounded.exponent - 1;
    text += exponent < 0 ? "E-" : "E+";
    const std::string digits = std::to_string(exponent < 0 ? -exponent : exponent);
    if (digits.size() < 2) text += '0';
    text += digits;
    return text;
}

double leadingNumber(std::string_view text) {
    // Blanks are skipped wherever they stand inside the number.
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() && isBlank(text[i])) ++i;
    };
    detail::ScannedDecimal number;
    skipBlanks();
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) number.negative = text[i++] == '-';
    for (;; ++i) {
        skipBlanks();
        if (i >= text.size()) break;
        if (isDigit(text[i])) {
            number.digits.push_back(text[i]);
            if (!number.hasPoint) ++number.digitsBeforePoint;
        } else if (text[i] == '.' && !number.hasPoint) {
            number.hasPoint = true;
        } else {
            break;
        }
    }
    if (number.digits.empty()) return 0;
    // An exponent counts only when at least one digit follows its letter.
    if (i < text.size()) {
        const char letter = text[i];
        if (letter == 'E' || letter == 'e' || letter == 'D' || letter == 'd') {
            ++i;
            skipBlanks();
            bool negativeExponent = false;
            if (i < text.size() && (text[i] == '+' || text[i] == '-'))
                negativeExponent = text[i++] == '-';
            long exponent = 0;
            bool sawDigit = false;
            for (;; ++i) {
                skipBlanks();
                if (i >= text.size() || !isDigit(text[i])) break;
                exponent = detail::appendExponentDigit(exponent, text[i]);
                sawDigit = true;
            }
            if (sawDigit) number.exponent = negativeExponent ? -exponent : exponent;
        }
    }
    const std::optional<double> value = detail::toDouble(number);
    if (!value) return number.negative ? -HUGE_VAL : HUGE_VAL;
    return *value;
}

}  // namespace velmora
