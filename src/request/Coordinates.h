#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kolvane {

// The six coordinate boxes, in the order of txtLat(0..2) then txtLon(0..2).
enum class CoordinateBox {
    LatitudeDegrees,
    LatitudeMinutes,
    LatitudeSeconds,
    LongitudeDegrees,
    LongitudeMinutes,
    LongitudeSeconds,
};

inline constexpr int COORDINATE_BOX_COUNT = 6;

// The box of a control array index: 0 degrees, 1 minutes, 2 seconds.
CoordinateBox LatitudeBox(int index);
CoordinateBox LongitudeBox(int index);

inline constexpr std::string_view INPUT_ERROR_TITLE = "入力値エラー";

// The keystroke filter of every box: half-width digits, Enter (13) and Backspace (8) pass; every
// other character is discarded.
bool PassesKeyFilter(char32_t keyCode);

// The check run after each change of a box's text. Empty text passes (nothing to check). Otherwise
// the whole text, blanks around it allowed, must be a number inside the box's range, or one of the
// values through which a valid degrees value is typed digit by digit (2 to 4 for latitude degrees;
// 1 and 12 to 15 for longitude degrees).
bool PassesRangeCheck(CoordinateBox box, std::string_view text);

// The check of a value about to be used: a number inside the box's range, without the values that only
// a half-typed text may hold. Empty text fails.
bool PassesFinalRangeCheck(CoordinateBox box, std::string_view text);

// The message shown, with INPUT_ERROR_TITLE, when the box's text fails the check.
std::string RangeMessage(CoordinateBox box);

// The first of the three latitude parts not inside its box's range, or nothing. A half-typed value
// (a lone "3" in the degrees box) and an empty part are not accepted, since a run needs all three
// boxes filled in.
std::optional<CoordinateBox> FirstRejectedLatitudePart(std::string_view degrees, std::string_view minutes,
                                                       std::string_view seconds);

// Latitude in decimal degrees from the three latitude boxes: degrees + minutes / 60 + seconds / 3600,
// each read with the leading-number parse (a text without a leading number gives 0).
double LatitudeFromTexts(std::string_view degrees, std::string_view minutes, std::string_view seconds);

} // namespace kolvane
