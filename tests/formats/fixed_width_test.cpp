#include "formats/fixed_width.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

namespace velmora {
namespace {

struct FieldCase {
    double value;
    int width;
    int decimals;
    const char* expected;
};

TEST(FixedField, WritesFortranFixedPoint) {
    const FieldCase cases[] = {
        {0.5, 5, 1, "   .5"},     {0, 5, 2, "  .00"},      {1000, 5, 1, "*****"},
        {-30, 5, 1, "-30.0"},     {0.25, 5, 2, "  .25"},   {30, 5, 1, " 30.0"},
        {100, 6, 1, " 100.0"},    {70, 6, 1, "  70.0"},    {1.5, 5, 2, " 1.50"},
        {999.94, 5, 1, "999.9"},  {999.95, 5, 1, "*****"}, {0.96, 5, 1, "  1.0"},
        {-0.5, 5, 1, "  -.5"},    {-100, 5, 1, "*****"},   {-99.9, 5, 1, "-99.9"},
        // Ties exactly representable in binary go away from zero.
        {0.125, 5, 2, "  .13"},   {0.375, 5, 2, "  .38"},  {-0.125, 5, 2, " -.13"},
        {2.5, 4, 0, "  3."},      {0, 4, 0, "  0."},
        // 55.25 is exact in binary: a true tie; 1.45 is stored a little below 1.45.
        {55.25, 5, 1, " 55.3"},   {1.45, 5, 1, "  1.4"},
        // A value rounding to zero carries no minus sign.
        {-0.04, 5, 1, "   .0"},
    };
    for (const FieldCase& c : cases)
        EXPECT_EQ(formatFixedField(c.value, c.width, c.decimals), c.expected)
            << c.value << " in F" << c.width << "." << c.decimals;
}

TEST(ExponentField, WritesFortranExponentForm) {
    const FieldCase cases[] = {
        {1.23456, 11, 4, "  .1235E+01"},
        {0, 11, 4, "  .0000E+00"},
        {10000000, 8, 1, "  .1E+08"},
        {0.00032, 10, 3, "  .320E-03"},
        {15000000, 8, 1, "  .2E+08"},
        {1e9, 8, 1, "  .1E+10"},
        {0.99996, 11, 4, "  .1000E+01"},
        // The double nearest 0.99995 lies a little above the half, the float a
        // little below: the decision follows the exact binary value.
        {0.99995, 11, 4, "  .1000E+01"},
        {0.99995f, 11, 4, "  .9999E+00"},
        {1.0625, 11, 4, "  .1063E+01"},  // exact tie
        {0.125, 9, 2, "  .13E+00"},      // exact tie
        {12345, 11, 4, "  .1235E+05"},   // exact tie
        {1.5e21, 8, 1, "  .2E+22"},      // exact tie of a large integer
        {-1.23456, 10, 4, "-.1235E+01"},
        {-1.23456, 9, 4, "*********"},
        {1.23456e100, 11, 4, "  .1235+101"},
        {1.23456e-100, 11, 4, "  .1235E-99"},
        {1.23456e-101, 11, 4, "  .1235-100"},
        {1.23456e100, 9, 4, ".1235+101"},
        {-1.23456e100, 9, 4, "*********"},
        {1.234e-3, 10, 3, "  .123E-02"},
        {1e38, 11, 4, "  .1000E+39"},
        {0.1, 11, 4, "  .1000E+00"},
        {9.99996e-6, 11, 4, "  .1000E-04"},
    };
    for (const FieldCase& c : cases)
        EXPECT_EQ(formatExponentField(c.value, c.width, c.decimals), c.expected)
            << c.value << " in E" << c.width << "." << c.decimals;
}

TEST(Fields, NonFiniteValuesAndImpossibleWidthsGiveAsterisks) {
    EXPECT_EQ(formatFixedField(NAN, 5, 1), "*****");
    EXPECT_EQ(formatFixedField(INFINITY, 6, 1), "******");
    EXPECT_EQ(formatExponentField(NAN, 11, 4), "***********");
    EXPECT_EQ(formatExponentField(-INFINITY, 11, 4), "***********");
    EXPECT_EQ(formatExponentField(1, 8, 4), "********");  // ".1000E+01" needs 9
    EXPECT_EQ(formatFixedField(0.5, 2, 2), "**");
    // Precision beyond the exact expansion of any double still rounds right.
    EXPECT_EQ(formatExponentField(0.5, 1000, 990), std::string(5, ' ') + "." + "5" +
                                                      std::string(989, '0') + "E+00");
    EXPECT_EQ(formatFixedField(0.125, 1300, 1200).substr(99, 6), ".12500");
}

// Independent reference for Ew.d: glibc's exact decimal expansion (enough
// digits for any double), rounded half away from zero by hand.
std::string referenceExponentField(double value, int width, int digits) {
    char buffer[1000];
    std::snprintf(buffer, sizeof buffer, "%.*e", 780, std::fabs(value));
    std::string all;
    const char* p = buffer;
    for (; *p != 'e'; ++p)
        if (*p != '.') all += *p;
    int exponent = std::atoi(p + 1) + 1;
    std::string kept = all.substr(0, digits);
    if (value != 0 && all[digits] >= '5') {
        int i = digits - 1;
        while (i >= 0 && kept[i] == '9') kept[i--] = '0';
        if (i < 0) {
            kept = "1" + kept.substr(0, digits - 1);
            ++exponent;
        } else {
            ++kept[i];
        }
    }
    if (value == 0) exponent = 0;
    char text[64];
    std::snprintf(text, sizeof text, "%s.%sE%c%02d", value < 0 ? "-" : "", kept.c_str(),
                  exponent < 0 ? '-' : '+', std::abs(exponent));
    std::string result = text;
    return std::string(width - result.size(), ' ') + result;
}

TEST(ExponentField, AgreesWithExactReferenceOverManyDoses) {
    std::vector<double> values;
    std::mt19937_64 random(12345);
    std::uniform_real_distribution<double> logUniform(-30.0, 37.9);
    for (int i = 0; i < 5000; ++i)
        values.push_back(static_cast<float>(std::pow(10.0, logUniform(random))));
    // Five-digit decimals ending in 5 at many scales: most are near-ties that the
    // binary value puts just above or below the half; some are exact ties.
    for (int mantissa = 10005; mantissa < 100000; mantissa += 530)
        for (int scale = -12; scale <= 12; scale += 3) {
            const double value = mantissa * std::pow(10.0, scale - 4);
            values.push_back(value);
            values.push_back(static_cast<float>(value));
            values.push_back(std::nextafter(value, 0.0));
            values.push_back(std::nextafter(value, 1e300));
        }
    for (double tie : {1.0625, 0.99995, 0.999949999, 0.99996, 9.9995, 99995.0, 1.00005})
        values.push_back(tie);
    for (double value : values) {
        ASSERT_EQ(formatExponentField(value, 11, 4), referenceExponentField(value, 11, 4))
            << std::hexfloat << value;
        ASSERT_EQ(formatExponentField(value, 8, 1), referenceExponentField(value, 8, 1))
            << std::hexfloat << value;
    }
}

struct ColumnCase {
    const char* field;
    int impliedDecimals;
    std::optional<double> expected;
};

TEST(ColumnField, ReadsFortranFieldRules) {
    const ColumnCase cases[] = {
        {"    12345", 5, 0.12345},
        {"  1.23456", 5, 1.23456},
        {"         ", 5, 0.0},
        {"", 1, 0.0},
        {"  12.5", 1, 12.5},
        {"   125", 1, 12.5},
        {" 1 2 5 ", 1, 12.5},  // blanks ignored anywhere
        {" -1.5", 1, -1.5},
        {"+15", 1, 1.5},
        {"1.5E+2", 5, 150.0},
        {"1.5e2", 5, 150.0},
        {"1.5D-1", 5, 0.15},
        {"15E1", 1, 15.0},       // implied decimals apply to the mantissa
        {"  12345E1", 5, 1.2345},
        {"1.5+2", 5, 150.0},     // Fortran's exponent without a letter
        {".5", 5, 0.5},
        {"5.", 5, 5.0},
        {"1E-999", 5, 0.0},      // underflows to zero
        {"abc", 5, std::nullopt},
        {"1.2.3", 5, std::nullopt},
        {"12a", 5, std::nullopt},
        {"1.5E", 5, std::nullopt},
        {"1.5E+", 5, std::nullopt},
        {"E5", 5, std::nullopt},
        {"-", 5, std::nullopt},
        {".", 5, std::nullopt},
        {"1-", 5, std::nullopt},
        {"1E999", 5, std::nullopt},  // beyond any real
        {"\t1", 5, std::nullopt},
    };
    for (const ColumnCase& c : cases) {
        const std::optional<double> value = parseColumnField(c.field, c.impliedDecimals);
        ASSERT_EQ(value.has_value(), c.expected.has_value()) << '"' << c.field << '"';
        if (value) {
            EXPECT_DOUBLE_EQ(*value, *c.expected) << '"' << c.field << '"';
        }
    }
}

TEST(ColumnField, SliceReadsShortLinesAsPadded) {
    EXPECT_EQ(columnSlice("  12.5  1.00000 rest", 1, 6), "  12.5");
    EXPECT_EQ(columnSlice("  12.5  1.00000 rest", 7, 15), "  1.00000");
    EXPECT_EQ(columnSlice("  12.5  1.0", 7, 15), "  1.0");
    EXPECT_EQ(columnSlice("  12.5", 7, 15), "");
    EXPECT_EQ(columnSlice("", 1, 6), "");
}

TEST(FreeFormatReal, ReadsTheFirstNumberOfTheLine) {
    const std::pair<const char*, std::optional<double>> cases[] = {
        {"30.0", 30.0},
        {"  1.00E+09", 1e9},
        {"5", 5.0},
        {"05.0", 5.0},
        {"-07.3", -7.3},
        {"+2", 2.0},
        {".5", 0.5},
        {"1.5, junk", 1.5},
        {"1.5 junk", 1.5},
        {"1.5/", 1.5},
        {"\t2.5\t", 2.5},
        {"1.0d2", 100.0},
        {"1.0e-2", 0.01},
        {"-7.3xyz", std::nullopt},
        {"abc", std::nullopt},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {",5", std::nullopt},
        {"/", std::nullopt},
        {"1e", std::nullopt},
        {"Infinity", std::nullopt},
        {"NaN", std::nullopt},
        {"1.2.3", std::nullopt},
    };
    for (const auto& [line, expected] : cases) {
        const std::optional<double> value = parseFreeFormatReal(line);
        ASSERT_EQ(value.has_value(), expected.has_value()) << '"' << line << '"';
        if (value) {
            EXPECT_DOUBLE_EQ(*value, *expected) << '"' << line << '"';
        }
    }
}

// The single-precision reads round the decimal text once. Through a double
// the first two cases would land on 1.0f: the double nearest each is the
// midpoint 1 + 2^-24, which then rounds to even.
TEST(SinglePrecisionReads, RoundTheDecimalTextOnce) {
    const float aboveOne = std::nextafter(1.0f, 2.0f);  // 1 + 2^-23
    const std::pair<const char*, std::optional<float>> freeCases[] = {
        {"1.0000000596046447753906250000001", aboveOne},
        {"  -1.0000000596046447753906250000001 rest", -aboveOne},
        {"1.00000005960464477539062499999", 1.0f},
        {"1.00000005960464477539062500000", 1.0f},  // an exact midpoint goes to even
        {"30.0", 30.0f},
        {"55.3", 55.3f},
        {"1.00E+09", 1e9f},
        {"3.4028235e38", 3.4028235e38f},  // rounds to the largest float
        {"3.5e38", std::nullopt},         // beyond it
        {"1e39", std::nullopt},
        {"1e-50", 0.0f},
        {"abc", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [line, expected] : freeCases) {
        const std::optional<float> value = parseFreeFormatFloat(line);
        ASSERT_EQ(value.has_value(), expected.has_value()) << '"' << line << '"';
        if (value) {
            EXPECT_EQ(*value, *expected) << '"' << line << '"';
        }
    }
    EXPECT_TRUE(std::signbit(*parseFreeFormatFloat("-1e-50")));

    // Column fields: implied decimals and blanks as in the double read.
    EXPECT_EQ(parseColumnFieldAsFloat("100000005960464477539062500000001", 32), aboveOne);
    EXPECT_EQ(parseColumnFieldAsFloat("  1 00000 005960464477539062500000001", 32), aboveOne);
    EXPECT_EQ(parseColumnFieldAsFloat("    12345", 5), 0.12345f);
    EXPECT_EQ(parseColumnFieldAsFloat("         ", 5), 0.0f);
    EXPECT_EQ(parseColumnFieldAsFloat(" .408E+04", 3), 4080.0f);
    EXPECT_FALSE(parseColumnFieldAsFloat("1.5E+39", 5).has_value());
    EXPECT_FALSE(parseColumnFieldAsFloat("12a", 5).has_value());
}

// Against glibc's strtof, an independent correctly rounded reader, over
// decimals of many lengths, including long ones next to float midpoints.
TEST(SinglePrecisionReads, AgreeWithStrtof) {
    std::mt19937_64 random(2024);
    std::uniform_int_distribution<int> digit(0, 9), length(1, 30), exponent(-45, 38);
    for (int i = 0; i < 20000; ++i) {
        std::string text;
        if (i % 4 == 0) {
            // A float midpoint printed exactly, then nudged in its last digits.
            const float f = static_cast<float>(std::ldexp(1.0 + (random() % (1u << 23)) / double(1u << 23),
                                                          static_cast<int>(random() % 200) - 100));
            char exact[80];
            std::snprintf(exact, sizeof exact, "%.40e",
                          (static_cast<double>(f) + std::nextafter(f, 2 * f)) / 2);
            text = exact;
            const std::size_t e = text.find('e');
            text[e - 1] = static_cast<char>('0' + digit(random));
        } else {
            const int count = length(random);
            for (int k = 0; k < count; ++k) text += static_cast<char>('0' + digit(random));
            text.insert(static_cast<std::size_t>(random() % (text.size() + 1)), ".");
            text += "E" + std::to_string(exponent(random));
        }
        const float reference = std::strtof(text.c_str(), nullptr);
        const std::optional<float> value = parseFreeFormatFloat(text);
        if (std::isinf(reference)) {
            EXPECT_FALSE(value.has_value()) << text;
        } else {
            ASSERT_TRUE(value.has_value()) << text;
            ASSERT_EQ(*value, reference) << text;
            ASSERT_EQ(parseColumnFieldAsFloat(text, 3), reference) << text;
        }
    }
}

}  // namespace
}  // namespace velmora
