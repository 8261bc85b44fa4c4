// The operator's inputs as typed text: what counts as a number, the range of
// each quantity, and the message shown when a value is refused. Shared by the
// window and the command line so that both refuse the same things.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "tools/xtubex/spectrum_model.h"

namespace velmora::xtubex {

enum class BeamField { TubeVoltage, AnodeAngle, Ripple, Aluminium, Copper, ExtraFilterThickness };

struct FieldLimits {
    double minimum;
    double maximum;
    const char* unit;  // "kV", "deg", "%", "mm"
};

// Valid range of each field. The voltage is the range of the TASMICS table;
// the anode angle the range over which the heel correction was fitted.
FieldLimits limitsOf(BeamField field);
// Human name used in messages ("Tube voltage", "Al filter").
const char* nameOf(BeamField field);

// The whole text (blanks around it allowed) as a finite decimal number with an
// optional sign, fraction and exponent; nothing for anything else, including
// an empty text, "1.5 mm", "nan" or "inf".
std::optional<double> parseNumber(std::string_view text);

struct FieldCheck {
    std::optional<double> value;  // set when accepted
    std::string message;          // why not, when refused
};

// Reads and checks one field's text.
FieldCheck checkField(BeamField field, std::string_view text);
// Checks an already numeric value; the message is empty when it is accepted.
std::string rangeMessage(BeamField field, double value);

// Every value of `settings` in range and the extra filter known; throws
// std::invalid_argument with the first reason otherwise.
void requireValidSettings(const BeamSettings& settings);

}  // namespace velmora::xtubex
