#include "formats/number_patterns.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

namespace velmora {
namespace {

struct PatternCase {
    double value;
    const char* expected;
};

TEST(FixedPattern, TwoIntegerDigitsOneDecimal) {  // "00.0" and "#00.0"
    const PatternCase cases[] = {{5, "05.0"},      {1.5, "01.5"},   {0, "00.0"},
                                 {100, "100.0"},   {55.25, "55.3"}, {-7.25, "-07.3"},
                                 {30, "30.0"},     {20, "20.0"},    {0.05, "00.1"},
                                 {-0.04, "00.0"},  {1234.56, "1234.6"}};
    for (const PatternCase& c : cases) EXPECT_EQ(formatFixedPattern(c.value, 2, 1), c.expected) << c.value;
}

TEST(FixedPattern, OneIntegerDigit) {  // "0.0", "#0.0" and "0.000"
    const PatternCase oneDecimal[] = {{1.5, "1.5"},   {0, "0.0"},      {12.34, "12.3"},
                                      {0.25, "0.3"},  {-0.04, "0.0"},  {-0.05, "-0.1"},
                                      {-2.45, "-2.5"}};  // -2.45 is stored a hair above 2.45 in magnitude
    for (const PatternCase& c : oneDecimal)
        EXPECT_EQ(formatFixedPattern(c.value, 1, 1), c.expected) << c.value;
    const PatternCase threeDecimals[] = {{1.0625, "1.063"}, {0, "0.000"}, {12.3456, "12.346"},
                                         {0.0005, "0.001"}, {0.0004, "0.000"}};
    for (const PatternCase& c : threeDecimals)
        EXPECT_EQ(formatFixedPattern(c.value, 1, 3), c.expected) << c.value;
}

TEST(ScientificPattern, TwoAndThreeDecimals) {
    const PatternCase twoDecimals[] = {{1e9, "1.00E+09"},     {1234567, "1.23E+06"},
                                       {0, "0.00E+00"},       {1.5e7, "1.50E+07"},
                                       {999.5, "1.00E+03"},   {-1234, "-1.23E+03"},
                                       {1.25e-5, "1.25E-05"}, {1e100, "1.00E+100"},
                                       {0.125, "1.25E-01"},   {1.125, "1.13E+00"}};
    for (const PatternCase& c : twoDecimals)
        EXPECT_EQ(formatScientificPattern(c.value, 2), c.expected) << c.value;
    const PatternCase threeDecimals[] = {{1.2346, "1.235E+00"},
                                         {0.01234, "1.234E-02"},
                                         {1.24694, "1.247E+00"},
                                         {0, "0.000E+00"},
                                         {9.9996, "1.000E+01"}};
    for (const PatternCase& c : threeDecimals)
        EXPECT_EQ(formatScientificPattern(c.value, 3), c.expected) << c.value;
}

TEST(Patterns, IgnoreTheLocale) {
    // A locale with a decimal comma must not leak into the written numbers.
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "fr_FR.UTF-8"))
        GTEST_SKIP() << "no locale with a decimal comma installed";
    EXPECT_EQ(formatFixedPattern(1.5, 1, 1), "1.5");
    EXPECT_EQ(formatScientificPattern(1e9, 2), "1.00E+09");
    EXPECT_DOUBLE_EQ(leadingNumber("12.5"), 12.5);
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(LeadingNumber, TakesTheLeadingDecimalNumber) {
    struct TextCase {
        const char* text;
        double value;
    };
    const TextCase cases[] = {
        {"", 0},           {"abc", 0},         {".", 0},           {"-", 0},
        {" + ", 0},        {"12abc", 12},      {"1 2.5", 12.5},    {" - 3", -3},
        {"1e", 1},         {"1e+", 1},         {"1E-x", 1},        {"1.5e3", 1500},
        {"1.5 E 3", 1500}, {"1.5d3", 1500},    {"1.5D-2", 0.015},  {".5", 0.5},
        {"5.", 5},         {"1.5.3", 1.5},     {"  30  ", 30},     {"1000000000", 1e9},
        {"1.00E+09", 1e9}, {"-7.25", -7.25},   {"+2", 2},          {"12,5", 12},
        {"--1", 0},        {"\t1.5", 1.5},     {"1e-999", 0},
    };
    for (const TextCase& c : cases)
        EXPECT_DOUBLE_EQ(leadingNumber(c.text), c.value) << '"' << c.text << '"';
    EXPECT_TRUE(std::isinf(leadingNumber("1e999")));
    EXPECT_TRUE(std::signbit(leadingNumber("-1e999")));
}

}  // namespace
}  // namespace velmora
