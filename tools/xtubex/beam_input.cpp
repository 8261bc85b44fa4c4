// Parsing and range checks of the operator's inputs.
#include "tools/xtubex/beam_input.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <stdexcept>

#include "tools/xtubex/attenuation.h"

namespace velmora::xtubex {
namespace {

bool isThickness(BeamField field) {
    return field == BeamField::Aluminium || field == BeamField::Copper || field == BeamField::ExtraFilterThickness;
}

std::string formatLimit(double value) {
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return error == std::errc() ? std::string(buffer, end) : std::string("?");
}

}  // namespace

FieldLimits limitsOf(BeamField field) {
    switch (field) {
        case BeamField::TubeVoltage: return {20, 150, "kV"};
        case BeamField::AnodeAngle: return {6, 25, "deg"};
        case BeamField::Ripple: return {0, 100, "%"};
        case BeamField::Aluminium: return {0, 100, "mm"};
        case BeamField::Copper: return {0, 10, "mm"};
        case BeamField::ExtraFilterThickness: return {0, 10, "mm"};
    }
    throw std::logic_error("unknown beam field");
}

const char* nameOf(BeamField field) {
    switch (field) {
        case BeamField::TubeVoltage: return "Tube voltage";
        case BeamField::AnodeAngle: return "Anode angle";
        case BeamField::Ripple: return "Ripple";
        case BeamField::Aluminium: return "Al filter";
        case BeamField::Copper: return "Cu filter";
        case BeamField::ExtraFilterThickness: return "Extra filter";
    }
    throw std::logic_error("unknown beam field");
}

std::optional<double> parseNumber(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return std::nullopt;
    const auto last = text.find_last_not_of(" \t");
    std::string_view number = text.substr(first, last - first + 1);
    if (number.front() == '+') number.remove_prefix(1);  // from_chars takes no plus sign
    if (number.empty() || !(std::isdigit(static_cast<unsigned char>(number.front())) || number.front() == '-' ||
                            number.front() == '.')) {
        return std::nullopt;
    }
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value,
                                              std::chars_format::general);
    if (error != std::errc() || end != number.data() + number.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::string rangeMessage(BeamField field, double value) {
    const FieldLimits limits = limitsOf(field);
    if (isThickness(field) && value < 0) return "Thickness must not be negative.";
    if (value < limits.minimum || value > limits.maximum) {
        return std::string(nameOf(field)) + " must be between " + formatLimit(limits.minimum) + " and " +
               formatLimit(limits.maximum) + " " + limits.unit + ".";
    }
    return {};
}

FieldCheck checkField(BeamField field, std::string_view text) {
    const auto value = parseNumber(text);
    if (!value) {
        const auto first = text.find_first_not_of(" \t");
        if (first == std::string_view::npos) return {std::nullopt, "Enter a number."};
        return {std::nullopt, "\"" + std::string(text) + "\" is not a number."};
    }
    auto message = rangeMessage(field, *value);
    if (!message.empty()) return {std::nullopt, std::move(message)};
    return {value, {}};
}

void requireValidSettings(const BeamSettings& settings) {
    const std::pair<BeamField, double> values[] = {
        {BeamField::TubeVoltage, settings.tubeVoltageKV}, {BeamField::AnodeAngle, settings.anodeAngleDeg},
        {BeamField::Ripple, settings.ripplePercent},      {BeamField::Aluminium, settings.aluminiumMm},
        {BeamField::Copper, settings.copperMm},           {BeamField::ExtraFilterThickness, settings.extraFilterMm},
    };
    for (const auto& [field, value] : values) {
        if (!std::isfinite(value)) throw std::invalid_argument(std::string(nameOf(field)) + " is not a number.");
        const auto message = rangeMessage(field, value);
        if (!message.empty()) throw std::invalid_argument(message);
    }
    if (!settings.extraFilter.empty()) {
        bool known = false;
        for (const auto& label : extraFilterLabels()) known = known || label == settings.extraFilter;
        if (!known) throw std::invalid_argument("Unknown extra filter \"" + settings.extraFilter + "\".");
    }
}

}  // namespace velmora::xtubex
