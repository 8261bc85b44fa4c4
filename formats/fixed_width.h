// Fixed-width number fields as the engine's files use them: Fortran-style Fw.d
// and Ew.d output, and the column-field and free-format input rules.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// Fw.d: rounded half away from zero to d decimals, no digit before the point when
// |value| < 1 (0.5 in F5.1 is "   .5"), right-aligned; w asterisks when too wide.
std::string formatFixedField(double value, int width, int decimals);

// Ew.d: ".dddE+xx" with d significant digits, right-aligned; w asterisks when too
// wide (1.23456 in E11.4 is "  .1235E+01").
std::string formatExponentField(double value, int width, int digits);

// The same field appended to `out`, for long runs of fields without a
// temporary string each.
void appendExponentField(std::string& out, double value, int width, int digits);

// Reads one fixed-width column field: blanks anywhere are ignored, an all-blank
// field is 0, a field without a decimal point takes `impliedDecimals`, and an
// exponent (E or D, optionally signed) may follow. Returns nothing when the
// field is not a number.
std::optional<double> parseColumnField(std::string_view field, int impliedDecimals);

// The column field at 1-based columns [firstColumn, lastColumn] of `line`; a
// line shorter than lastColumn reads as if padded with blanks.
std::string_view columnSlice(std::string_view line, int firstColumn, int lastColumn);

// Free-format read of one real: leading blanks skipped, the first number taken
// (digits with optional sign, point and exponent), ending at a blank, a comma,
// a slash or the end of the line; the rest of the line is ignored. Returns
// nothing when the line does not begin with a number.
std::optional<double> parseFreeFormatReal(std::string_view line);

// The same two reads into a single-precision real, as the engine keeps its
// input: the decimal text is rounded once, directly to the nearest float.
// Nothing when the text is not a number or its magnitude is beyond the float
// range (the double reads above tell these two apart).
std::optional<float> parseColumnFieldAsFloat(std::string_view field, int impliedDecimals);

// The single-precision value of a column field of a record, rounded once; throws
// InputError naming the file, line and field when it is not a number or does
// not fit single precision.
float readColumnFloat(std::string_view line, int firstColumn, int lastColumn, int impliedDecimals,
                      const std::string& fileName, int lineNumber, const std::string& fieldName);
std::optional<float> parseFreeFormatFloat(std::string_view line);

}  // namespace velmora
