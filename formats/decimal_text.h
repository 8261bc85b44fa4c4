// Internal helpers shared by the number writers and readers of formats/: exact
// decimal rounding of a double (half away from zero) and conversion of a
// scanned decimal number. Not part of the library's interface.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmora::detail {

// |value| rounded half away from zero to `digitCount` significant digits:
// value = 0.<digits> x 10^exponent, digits[0] != '0' unless the value is 0.
struct SignificantDigits {
    std::string digits;
    int exponent = 0;
};
SignificantDigits roundToSignificantDigits(double magnitude, int digitCount);

// |value| rounded half away from zero to `decimals` decimals. integerDigits is
// empty when the integer part is 0; fractionDigits has exactly `decimals` digits.
struct FixedDigits {
    std::string integerDigits;
    std::string fractionDigits;
    bool isZero() const;
};
FixedDigits roundToDecimals(double magnitude, int decimals);

// A decimal number taken apart by a scanner: mantissa digits without the point,
// how many of them stand before the point, and the decimal exponent.
struct ScannedDecimal {
    bool negative = false;
    std::string digits;
    int digitsBeforePoint = 0;
    bool hasPoint = false;
    long exponent = 0;  // saturated at +-kExponentLimit by the scanners
};
inline constexpr long kExponentLimit = 100000;

// Adds one exponent digit, saturating far outside the range of a double.
inline long appendExponentDigit(long exponent, char digit) {
    exponent = exponent * 10 + (digit - '0');
    return exponent > kExponentLimit ? kExponentLimit : exponent;
}

// The whole token as a real: optional sign, digits with at most one point,
// then optionally an exponent (E or D with an optional sign; with
// `allowBareSignExponent` also a bare sign, as Fortran input allows) with at
// least one digit. Nothing when anything else is left over.
std::optional<ScannedDecimal> scanRealToken(std::string_view token, bool allowBareSignExponent);

// Converts to the nearest double. Underflow gives (signed) 0; overflow gives
// nothing.
std::optional<double> toDouble(const ScannedDecimal& number);

// Converts to the nearest float in one rounding, straight from the decimal
// digits (through a double it would be rounded twice, which can land one unit
// off when the decimal lies next to the midpoint of two floats). Underflow
// gives (signed) 0; overflow gives nothing.
std::optional<float> toFloat(const ScannedDecimal& number);

}  // namespace velmora::detail
