// The front end's display patterns ("00.0", "#00.0", "0.0", "#0.0", "0.000",
// "0.00E+00", "0.000E+00") and its lenient number rule. Rounding is half away
// from zero on the exact value; the separator is always ".".
#pragma once

#include <string>
#include <string_view>

namespace velmora {

// Fixed pattern with at least `minIntegerDigits` digits before the point and
// exactly `decimals` after it: ("00.0") is (2, 1), ("0.0") and ("#0.0") are (1, 1),
// ("0.000") is (1, 3). A negative value gets a leading "-".
std::string formatFixedPattern(double value, int minIntegerDigits, int decimals);

// Scientific pattern "0.<decimals>E+00": one digit before the point, an explicit
// exponent sign and at least two exponent digits ("0.00E+00" is decimals = 2).
std::string formatScientificPattern(double value, int decimals);

// The lenient number rule: the leading decimal number of the text (leading
// blanks, optional sign, digits, optional fraction, optional exponent; blanks
// inside the number skipped); anything after it ignored; no number gives 0.
double leadingNumber(std::string_view text);

}  // namespace velmora
