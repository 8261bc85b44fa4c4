// What the window and the command line accept as input, and what they say
// when they refuse it.
#include <gtest/gtest.h>

#include <string>

#include "tools/xtubex/beam_input.h"

namespace velmora::xtubex {
namespace {

struct InputCase {
    BeamField field;
    const char* text;
    bool accepted;
    double value;         // when accepted
    const char* message;  // part of the message when refused
};

class FieldInput : public ::testing::TestWithParam<InputCase> {};

TEST_P(FieldInput, AcceptsNumbersInRangeAndExplainsRefusals) {
    const InputCase& c = GetParam();
    const FieldCheck check = checkField(c.field, c.text);
    ASSERT_EQ(check.value.has_value(), c.accepted) << c.text << ": " << check.message;
    if (c.accepted) {
        EXPECT_DOUBLE_EQ(*check.value, c.value);
        EXPECT_TRUE(check.message.empty());
    } else {
        EXPECT_NE(check.message.find(c.message), std::string::npos) << check.message;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FieldInput,
    ::testing::Values(InputCase{BeamField::TubeVoltage, "80", true, 80, ""},
                      InputCase{BeamField::TubeVoltage, " 20 ", true, 20, ""},
                      InputCase{BeamField::TubeVoltage, "150", true, 150, ""},
                      InputCase{BeamField::TubeVoltage, "+1.2e2", true, 120, ""},
                      InputCase{BeamField::TubeVoltage, "19.99", false, 0, "between 20 and 150 kV"},
                      InputCase{BeamField::TubeVoltage, "150.01", false, 0, "between 20 and 150 kV"},
                      InputCase{BeamField::TubeVoltage, "abc", false, 0, "\"abc\" is not a number"},
                      InputCase{BeamField::TubeVoltage, "80 kV", false, 0, "is not a number"},
                      InputCase{BeamField::TubeVoltage, "8,0", false, 0, "is not a number"},
                      InputCase{BeamField::TubeVoltage, "nan", false, 0, "is not a number"},
                      InputCase{BeamField::TubeVoltage, "inf", false, 0, "is not a number"},
                      InputCase{BeamField::TubeVoltage, "", false, 0, "Enter a number"},
                      InputCase{BeamField::Aluminium, "0", true, 0, ""},
                      InputCase{BeamField::Aluminium, ".5", true, 0.5, ""},
                      InputCase{BeamField::Aluminium, "-0.1", false, 0, "must not be negative"},
                      InputCase{BeamField::Copper, "-1", false, 0, "must not be negative"},
                      InputCase{BeamField::Copper, "11", false, 0, "between 0 and 10 mm"},
                      InputCase{BeamField::ExtraFilterThickness, "-2", false, 0, "must not be negative"},
                      InputCase{BeamField::AnodeAngle, "5", false, 0, "between 6 and 25 deg"},
                      InputCase{BeamField::AnodeAngle, "12.5", true, 12.5, ""},
                      InputCase{BeamField::Ripple, "100", true, 100, ""},
                      InputCase{BeamField::Ripple, "-1", false, 0, "between 0 and 100 %"}));

TEST(Settings, ModelRefusesWhatTheFieldsRefuse) {
    BeamSettings settings;
    EXPECT_NO_THROW(requireValidSettings(settings));
    settings.tubeVoltageKV = 151;
    EXPECT_THROW(requireValidSettings(settings), std::invalid_argument);
    settings = BeamSettings{};
    settings.copperMm = -0.1;
    EXPECT_THROW(requireValidSettings(settings), std::invalid_argument);
    settings = BeamSettings{};
    settings.aluminiumMm = std::numeric_limits<double>::quiet_NaN();
    EXPECT_THROW(requireValidSettings(settings), std::invalid_argument);
}

}  // namespace
}  // namespace velmora::xtubex
