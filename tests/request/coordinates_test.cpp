#include "request/Coordinates.h"

#include <gtest/gtest.h>
#include <string>

namespace kolvane {
namespace {

using B = CoordinateBox;

TEST(Coordinates, KeyFilterAndRangeCheck) {
    for (char32_t key : std::u32string_view(U"0123456789\b\r"))
        EXPECT_TRUE(PassesKeyFilter(key)) << static_cast<int>(key);
    // Letters, signs, the point, a blank, a full-width digit, Ctrl+C, Ctrl+V and Delete never arrive.
    for (char32_t key : std::u32string_view(U"a-.+５ \x03\x16\x7f"))
        EXPECT_FALSE(PassesKeyFilter(key)) << static_cast<int>(key);

    // Each text a box may hold, typed digit by digit (so every start of a valid value must pass) or
    // set or pasted whole.
    const std::pair<B, const char*> pass[] = {
        {B::LatitudeDegrees, "3"},    {B::LatitudeDegrees, "35"},   {B::LatitudeDegrees, "035"},
        {B::LatitudeDegrees, "35.5"}, {B::LatitudeDegrees, " 35 "}, {B::LatitudeDegrees, "2.5"},
        {B::LatitudeDegrees, "49"},   {B::LongitudeDegrees, "1"},   {B::LongitudeDegrees, "13"},
        {B::LongitudeDegrees, "120"}, {B::LongitudeDegrees, "135"}, {B::LatitudeMinutes, "6"},
        {B::LatitudeSeconds, "00"},   {B::LatitudeMinutes, ""},     {B::LongitudeSeconds, "59"}};
    const std::pair<B, const char*> fail[] = {
        {B::LatitudeDegrees, "0"},   {B::LatitudeDegrees, "1"},    {B::LatitudeDegrees, "5"},
        {B::LatitudeDegrees, "4.5"}, {B::LatitudeDegrees, "49.5"}, {B::LatitudeDegrees, "abc"},
        {B::LatitudeDegrees, "3 5"}, {B::LatitudeDegrees, "35度"}, {B::LongitudeDegrees, "11"},
        {B::LongitudeDegrees, "16"}, {B::LongitudeDegrees, "1.5"}, {B::LongitudeDegrees, "119"},
        {B::LatitudeMinutes, "60"},  {B::LatitudeMinutes, "-1"},   {B::LongitudeSeconds, "word"},
        {B::LongitudeSeconds, " "}};
    for (auto [box, text] : pass)
        EXPECT_TRUE(PassesRangeCheck(box, text)) << static_cast<int>(box) << " " << text;
    for (auto [box, text] : fail)
        EXPECT_FALSE(PassesRangeCheck(box, text)) << static_cast<int>(box) << " " << text;
}

} // namespace
} // namespace kolvane
