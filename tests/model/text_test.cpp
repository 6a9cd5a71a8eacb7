#include "model/Text.h"
#include "model/Wind.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace kolvane {
namespace {

TEST(Cp932, RoundTripAndReplacements) {
    const std::string header = "年月日,時刻,降水量";
    std::string bytes = EncodeCp932(header);
    EXPECT_EQ(bytes.substr(0, 6), "\x94\x4E\x8C\x8E\x93\xFA"); // 年月日
    EXPECT_EQ(DecodeCp932(bytes), header);
    EXPECT_EQ(EncodeCp932("ｷｬﾝｾﾙ"), "\xB7\xAC\xDD\xBE\xD9"); // half-width katakana are single bytes
    // An undecodable byte becomes U+FFFD and the rest still decodes; an unencodable character is "?".
    EXPECT_EQ(DecodeCp932("a\xFF!"), "a\xEF\xBF\xBD!");
    EXPECT_EQ(DecodeCp932("\x94"), "\xEF\xBF\xBD");
    EXPECT_EQ(DecodeCp932("\x85\x40!"), "\xEF\xBF\xBD!"); // an unassigned pair is one character
    EXPECT_EQ(EncodeCp932("A\xF0\x9F\x98\x80!"), "A?!");
    // Runs between ASCII bytes, the same run again, broken sequences cut by ASCII or by the end.
    EXPECT_EQ(EncodeCp932("\"01\",正常,2\r\n\"02\",正常,X\r\n欠測"),
              "\"01\",\x90\xB3\x8F\xED,2\r\n\"02\",\x90\xB3\x8F\xED,X\r\n\x8C\x87\x91\xAA");
    EXPECT_EQ(EncodeCp932("\xE6\xAD,\x80\xE6\xAD\xA3\xE6"), "?,?\x90\xB3?");
}

TEST(Lines, CrLfAndLfReadAlikeAndTheLastLineIsKept) {
    EXPECT_EQ(SplitLines("a\r\nb\nc\r\r\n\r\nlast"),
              (std::vector<std::string_view>{"a", "b", "c\r", "", "last"}));
    EXPECT_EQ(SplitLines("one\r\n").size(), 1u);
    // Old Mac files end their lines with CR alone.
    EXPECT_EQ(SplitLines("a\rb\r\rc\r"), (std::vector<std::string_view>{"a", "b", "", "c"}));
    EXPECT_TRUE(SplitLines("").empty());
}

TEST(WindCodes, SectorBoundsAndCodes) {
    struct Case {
        double degrees;
        const char* code;
    };
    const Case cases[] = {{0, "N"},        {11.25, "N"},   {11.26, "NNE"}, {33.75, "NNE"}, {90, "E"},
                          {348.75, "NNW"}, {348.76, "N"},  {360, "N"},     {-0.5, "X"},    {360.5, "X"},
                          {-999, "X"},     {202.5, "SSW"}, {326.25, "NW"}, {326.3, "NNW"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.degrees);
        EXPECT_EQ(WindSectorCode(c.degrees), c.code);
    }
    // Each bound belongs to the sector below it, the next double above to the one above.
    for (int k = 1; k <= 16; ++k) {
        const double bound = 22.5 * k - 11.25;
        EXPECT_EQ(WindSector(bound), k - 1) << bound;
        EXPECT_EQ(WindSector(std::nextafter(bound, 1e9)), k % 16) << bound;
    }
    EXPECT_EQ(WindCodeDegrees("NNW"), 337.5);
    EXPECT_EQ(WindCodeDegrees("N"), 0);
    for (const char* other : {"nnw", "X", "", " N", "-999"})
        EXPECT_EQ(WindCodeDegrees(other), -999) << other;
}

} // namespace
} // namespace kolvane
