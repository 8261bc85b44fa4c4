#include "formats/shift_jis.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(ShiftJis, ResultFileLabelsRoundTripWithTheirByteCounts) {
    const std::pair<const char*, std::string> labels[] = {
        {"入射角度", "\x93\xfc\x8e\xcb\x8a\x70\x93\x78"},
        {"度", "\x93\x78"},
        {"照射野", "\x8f\xc6\x8e\xcb\x96\xec"},
        {"寝台水等価厚", "\x90\x51\x91\xe4\x90\x85\x93\x99\x89\xbf\x8c\xfa"},
    };
    for (const auto& [utf8, shiftJis] : labels) {
        const std::optional<std::string> encoded = utf8ToShiftJis(utf8);
        ASSERT_TRUE(encoded.has_value()) << utf8;
        EXPECT_EQ(*encoded, shiftJis) << utf8;
        EXPECT_EQ(shiftJisToUtf8(shiftJis), utf8);
    }
    EXPECT_EQ(utf8ToShiftJis("入射角度")->size(), 8u);
    EXPECT_EQ(utf8ToShiftJis("寝台水等価厚")->size(), 12u);
}

TEST(ShiftJis, AsciiAndHalfWidthKanaAreSingleBytes) {
    EXPECT_EQ(utf8ToShiftJis("test.ddat"), "test.ddat");
    EXPECT_EQ(utf8ToShiftJis("ｱ"), "\xb1");
    EXPECT_EQ(shiftJisToUtf8("\xb1"), "ｱ");
    EXPECT_EQ(utf8ToShiftJis(""), "");
}

TEST(ShiftJis, CharacterWithoutShiftJisFormGivesNothing) {
    EXPECT_FALSE(utf8ToShiftJis("résumé").has_value());
    EXPECT_FALSE(utf8ToShiftJis("\xF0\x9F\x98\x80").has_value());  // an emoji
    EXPECT_FALSE(utf8ToShiftJis("\xff").has_value());              // not UTF-8 at all
}

TEST(ShiftJis, InvalidBytesBecomeReplacementCharacters) {
    EXPECT_EQ(shiftJisToUtf8("a\x93"), "a\xEF\xBF\xBD");               // truncated pair
    EXPECT_EQ(shiftJisToUtf8("\xa0x"), "\xEF\xBF\xBDx");               // unassigned byte
    EXPECT_EQ(shiftJisToUtf8("\x93\x78\xff\x93\x78"), "度\xEF\xBF\xBD度");
    // A long text crosses the converter's internal buffer.
    std::string many;
    for (int i = 0; i < 5000; ++i) many += "\x93\x78";
    std::string expected;
    for (int i = 0; i < 5000; ++i) expected += "度";
    EXPECT_EQ(shiftJisToUtf8(many), expected);
}

}  // namespace
}  // namespace velmora
