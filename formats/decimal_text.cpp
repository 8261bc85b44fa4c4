#include "formats/decimal_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace velmora::detail {

namespace {

// Digits printed beyond the rounding position. After the printer's own correct
// rounding, only a '5' followed by nothing but zeros leaves the direction open
// (the exact value may lie a hair below, at, or above the half); that rare case
// is settled by printing the exact expansion: a double has at most 767
// significant digits and 1074 decimals.
constexpr int kGuardDigits = 9;
constexpr int kExactSignificantDigits = 800;
constexpr int kExactDecimals = 1100;

bool onlyZeros(std::string_view text) {
    return text.find_first_not_of('0') == std::string_view::npos;
}

// Adds one unit in the last place of a digit string; returns true when the
// carry ran out of the front (the string then is "1000...").
bool incrementDigits(std::string& digits) {
    for (std::size_t i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return false;
        }
        digits[i] = '0';
    }
    digits.insert(digits.begin(), '1');
    return true;
}

// Room for the usual print on the stack; the rare long print goes to the heap.
class PrintBuffer {
public:
    char* get(std::size_t size) {
        if (size <= sizeof local_) return local_;
        heap_.resize(size);
        return heap_.data();
    }

private:
    char local_[128];
    std::string heap_;
};

// "d.ddde+xx" taken apart: the digits (point removed, in the buffer) and the
// decimal exponent of the first digit.
struct PrintedScientific {
    std::string_view digits;
    int exponent = 0;
};

PrintedScientific printScientific(double magnitude, int precision, PrintBuffer& buffer) {
    const std::size_t size = static_cast<std::size_t>(precision) + 16;
    char* begin = buffer.get(size);
    const auto result =
        std::to_chars(begin, begin + size, magnitude, std::chars_format::scientific, precision);
    char* e = begin;
    while (e < result.ptr && *e != 'e') ++e;
    // Close the gap left by the point so that the digits are contiguous.
    if (e - begin > 1) std::memmove(begin + 1, begin + 2, static_cast<std::size_t>(e - begin - 2));
    PrintedScientific printed;
    printed.digits = std::string_view(begin, static_cast<std::size_t>(e - begin > 1 ? e - begin - 1 : 1));
    const char* p = e + 1;
    const bool negative = *p == '-';
    ++p;
    for (; p < result.ptr; ++p) printed.exponent = printed.exponent * 10 + (*p - '0');
    if (negative) printed.exponent = -printed.exponent;
    return printed;
}

std::string_view printFixed(double magnitude, int precision, PrintBuffer& buffer) {
    // Up to 309 digits before the point for the largest doubles.
    const std::size_t size = static_cast<std::size_t>(precision) + (magnitude < 1e15 ? 24 : 340);
    char* begin = buffer.get(size);
    const auto result =
        std::to_chars(begin, begin + size, magnitude, std::chars_format::fixed, precision);
    return std::string_view(begin, static_cast<std::size_t>(result.ptr - begin));
}

}  // namespace

bool FixedDigits::isZero() const {
    return onlyZeros(integerDigits) && onlyZeros(fractionDigits);
}

SignificantDigits roundToSignificantDigits(double magnitude, int digitCount) {
    magnitude = std::fabs(magnitude);
    SignificantDigits rounded;
    if (magnitude == 0) {
        rounded.digits.assign(static_cast<std::size_t>(digitCount), '0');
        return rounded;
    }
    PrintBuffer buffer;
    PrintedScientific printed = printScientific(magnitude, digitCount - 1 + kGuardDigits, buffer);
    std::string_view tail = printed.digits.substr(static_cast<std::size_t>(digitCount));
    if (tail[0] == '5' && onlyZeros(tail.substr(1))) {
        printed = printScientific(
            magnitude, std::max(kExactSignificantDigits, digitCount - 1 + kGuardDigits), buffer);
        tail = printed.digits.substr(static_cast<std::size_t>(digitCount));
    }
    rounded.digits.assign(printed.digits.substr(0, static_cast<std::size_t>(digitCount)));
    rounded.exponent = printed.exponent + 1;
    if (tail[0] >= '5' && incrementDigits(rounded.digits)) {
        rounded.digits.pop_back();
        ++rounded.exponent;
    }
    return rounded;
}

FixedDigits roundToDecimals(double magnitude, int decimals) {
    magnitude = std::fabs(magnitude);
    PrintBuffer buffer;
    std::string_view text = printFixed(magnitude, decimals + kGuardDigits, buffer);
    std::size_t point = text.find('.');
    std::string_view tail = text.substr(point + 1 + static_cast<std::size_t>(decimals));
    if (tail[0] == '5' && onlyZeros(tail.substr(1))) {
        text = printFixed(magnitude, std::max(kExactDecimals, decimals + kGuardDigits), buffer);
        point = text.find('.');
        tail = text.substr(point + 1 + static_cast<std::size_t>(decimals));
    }
    std::string kept(text.substr(0, point));
    kept += text.substr(point + 1, static_cast<std::size_t>(decimals));
    if (tail[0] >= '5') incrementDigits(kept);
    FixedDigits rounded;
    rounded.fractionDigits = kept.substr(kept.size() - static_cast<std::size_t>(decimals));
    rounded.integerDigits = kept.substr(0, kept.size() - static_cast<std::size_t>(decimals));
    const std::size_t firstNonZero = rounded.integerDigits.find_first_not_of('0');
    rounded.integerDigits.erase(0, firstNonZero == std::string::npos
                                       ? rounded.integerDigits.size()
                                       : firstNonZero);
    return rounded;
}

std::optional<ScannedDecimal> scanRealToken(std::string_view token, bool allowBareSignExponent) {
    ScannedDecimal number;
    std::size_t i = 0;
    if (i < token.size() && (token[i] == '+' || token[i] == '-'))
        number.negative = token[i++] == '-';
    for (; i < token.size(); ++i) {
        const char c = token[i];
        if (c >= '0' && c <= '9') {
            number.digits.push_back(c);
            if (!number.hasPoint) ++number.digitsBeforePoint;
        } else if (c == '.' && !number.hasPoint) {
            number.hasPoint = true;
        } else {
            break;
        }
    }
    if (number.digits.empty()) return std::nullopt;
    if (i == token.size()) return number;
    const char letter = token[i];
    if (letter == 'E' || letter == 'e' || letter == 'D' || letter == 'd') ++i;
    else if (!allowBareSignExponent || (letter != '+' && letter != '-')) return std::nullopt;
    bool negativeExponent = false;
    if (i < token.size() && (token[i] == '+' || token[i] == '-'))
        negativeExponent = token[i++] == '-';
    if (i == token.size()) return std::nullopt;
    for (; i < token.size(); ++i) {
        if (token[i] < '0' || token[i] > '9') return std::nullopt;
        number.exponent = appendExponentDigit(number.exponent, token[i]);
    }
    if (negativeExponent) number.exponent = -number.exponent;
    return number;
}

namespace {

// The nearest value of type Real: the digits go to from_chars, which rounds
// once and correctly for float as for double.
template <typename Real>
std::optional<Real> toNearest(const ScannedDecimal& number) {
    const std::size_t firstNonZero = number.digits.find_first_not_of('0');
    const Real sign = number.negative ? Real(-1) : Real(1);
    if (firstNonZero == std::string::npos) return sign * Real(0);
    // Decimal order of the leading non-zero digit; far outside the range of a
    // double the answer is known without converting.
    const long order = number.exponent + number.digitsBeforePoint -
                       static_cast<long>(firstNonZero) - 1;
    if (order > 400) return std::nullopt;
    if (order < -400) return sign * Real(0);
    const long shift = number.exponent - (static_cast<long>(number.digits.size()) -
                                          number.digitsBeforePoint);
    std::string text = number.digits.substr(firstNonZero);
    text += 'e';
    text += std::to_string(shift);
    Real value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        if (order >= 0) return std::nullopt;
        return sign * Real(0);
    }
    if (result.ec != std::errc() || !std::isfinite(value)) return std::nullopt;
    return sign * value;
}

}  // namespace

std::optional<double> toDouble(const ScannedDecimal& number) { return toNearest<double>(number); }

std::optional<float> toFloat(const ScannedDecimal& number) { return toNearest<float>(number); }

}  // namespace velmora::detail
