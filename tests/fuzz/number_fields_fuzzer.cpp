// Fuzzes the number readers (column field, free-format real, the front end's
// lenient rule) and checks that the writers read back what they wrote.
#include <cmath>
#include <string>

#include "formats/fixed_width.h"
#include "formats/number_patterns.h"
#include "fuzz_common.h"

namespace {

using velmora::fuzz::require;

bool closeTo(double read, double written, double relative) {
    return std::fabs(read - written) <= relative * std::fabs(written);
}

void checkWritersReadBack(double value) {
    if (!std::isfinite(value)) return;
    // Ew.d of any double fits E11.4 (a three-digit exponent drops the E) and
    // never shows asterisks.
    const std::string field = velmora::formatExponentField(value, 11, 4);
    require(field.size() == 11 && field.find('*') == std::string::npos);
    const std::string pattern = velmora::formatScientificPattern(value, 2);
    // Read back away from the ends of the double range, where rounding up
    // overflows and subnormals lose digits.
    const double magnitude = std::fabs(value);
    if (magnitude == 0 || (magnitude > 1e-300 && magnitude < 1e300)) {
        const std::optional<double> fromField = velmora::parseFreeFormatReal(field);
        require(fromField.has_value() && closeTo(*fromField, value, 5.0001e-4));
        require(closeTo(velmora::leadingNumber(pattern), value, 5.0001e-3));
    }

    if (std::fabs(value) < 1e15) {
        const std::string fixed = velmora::formatFixedPattern(value, 2, 1);
        require(std::fabs(velmora::leadingNumber(fixed) - value) <= 0.0500001 + 1e-12 * std::fabs(value));
        const std::string f = velmora::formatFixedField(value, 24, 3);
        require(f.size() == 24);
        const std::optional<double> fromFixed = velmora::parseColumnField(f, 3);
        require(fromFixed.has_value());
        require(std::fabs(*fromFixed - value) <= 0.0005000001 + 1e-12 * std::fabs(value));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte chooses the implied decimals, the rest is the text.
    const int impliedDecimals = data[0] % 12;
    const std::string_view text = velmora::fuzz::bytesOf(data + 1, size - 1);

    if (const std::optional<double> value = velmora::parseColumnField(text, impliedDecimals)) {
        require(std::isfinite(*value));
        checkWritersReadBack(*value);
    }
    if (const std::optional<double> value = velmora::parseFreeFormatReal(text)) {
        require(std::isfinite(*value));
        checkWritersReadBack(*value);
    }
    const double lenient = velmora::leadingNumber(text);
    require(!std::isnan(lenient));
    checkWritersReadBack(lenient);
    (void)velmora::columnSlice(text, 1 + data[0] % 20, 1 + data[0] % 20 + impliedDecimals);
    return 0;
}
