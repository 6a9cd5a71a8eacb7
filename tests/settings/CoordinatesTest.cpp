#include "settings/Coordinates.h"

#include <gtest/gtest.h>
#include <string>

namespace kolvane {
namespace {

using B = CoordinateBox;

// Types `keys` one at a time as the window does: the filter, then the check after each change,
// emptying the box on failure. Gives the final text and, in brackets, the count of messages shown.
std::string Type(B box, std::u32string_view keys) {
    std::string text;
    int messages = 0;
    for (char32_t key : keys) {
        if (!PassesKeyFilter(key)) continue;
        if (key == 8 && !text.empty()) text.pop_back();
        if (key != 8 && key != 13) text += static_cast<char>(key);
        if (!PassesRangeCheck(box, text)) {
            ++messages;
            text.clear();
        }
    }
    return text + " (" + std::to_string(messages) + ")";
}

TEST(Coordinates, TypingDigitByDigit) {
    EXPECT_EQ(Type(B::LatitudeDegrees, U"35"), "35 (0)");
    EXPECT_EQ(Type(B::LatitudeDegrees, U"1"), " (1)");
    EXPECT_EQ(Type(B::LatitudeDegrees, U"50"), " (2)");
    EXPECT_EQ(Type(B::LatitudeDegrees, U"035"), "35 (1)");
    EXPECT_EQ(Type(B::LongitudeDegrees, U"135"), "135 (0)");
    EXPECT_EQ(Type(B::LongitudeDegrees, U"16"), " (1)") << "the 1 is lost too";
    EXPECT_EQ(Type(B::LatitudeMinutes, U"60"), " (1)");
    EXPECT_EQ(Type(B::LongitudeSeconds, U"59"), "59 (0)");
    // Letters, signs, the point, a blank, a full-width digit, Ctrl+C and Ctrl+V never arrive;
    // Backspace and Enter pass.
    EXPECT_EQ(Type(B::LatitudeDegrees, U"3a-.５ \x03\x16"
                                       U"6\b5\r"),
              "35 (0)");
}

TEST(Coordinates, SetOrPastedTextIsConvertedAsAWhole) {
    const std::pair<B, const char*> pass[] = {{B::LatitudeDegrees, "035"},  {B::LatitudeDegrees, "35.5"},
                                              {B::LatitudeDegrees, " 35 "}, {B::LatitudeDegrees, "2.5"},
                                              {B::LatitudeDegrees, "49"},   {B::LongitudeDegrees, "1"},
                                              {B::LongitudeDegrees, "12"},  {B::LongitudeDegrees, "120"},
                                              {B::LatitudeSeconds, "00"},   {B::LatitudeMinutes, ""}};
    const std::pair<B, const char*> fail[] = {
        {B::LatitudeDegrees, "4.5"},  {B::LatitudeDegrees, "49.5"},  {B::LatitudeDegrees, "abc"},
        {B::LatitudeDegrees, "3 5"},  {B::LatitudeDegrees, "35度"},  {B::LongitudeDegrees, "11"},
        {B::LongitudeDegrees, "1.5"}, {B::LongitudeDegrees, "119"},  {B::LatitudeMinutes, "60"},
        {B::LatitudeMinutes, "-1"},   {B::LongitudeSeconds, "word"}, {B::LongitudeSeconds, " "}};
    for (auto [box, text] : pass)
        EXPECT_TRUE(PassesRangeCheck(box, text)) << text;
    for (auto [box, text] : fail)
        EXPECT_FALSE(PassesRangeCheck(box, text)) << text;
}

TEST(Coordinates, MessagesAndCommandLineLatitude) {
    EXPECT_EQ(RangeMessage(LatitudeBox(0)), "緯度(度)には20-49の範囲の半角数字を入力して下さい。");
    EXPECT_EQ(RangeMessage(LongitudeBox(2)), "経度(秒)には0-59の範囲の半角数字を入力して下さい。");

    EXPECT_EQ(FirstRejectedLatitudePart("35", "41", "30"), std::nullopt);
    EXPECT_EQ(FirstRejectedLatitudePart("35.68", "0", "0"), std::nullopt);
    EXPECT_EQ(FirstRejectedLatitudePart("", "41", "30"), B::LatitudeDegrees) << "a run needs every part";
    EXPECT_EQ(FirstRejectedLatitudePart("35", "60", "x"), B::LatitudeMinutes);
    EXPECT_EQ(FirstRejectedLatitudePart("35", "41", ""), B::LatitudeSeconds);
}

} // namespace
} // namespace kolvane
