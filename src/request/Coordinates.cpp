#include "request/Coordinates.h"

#include "model/Messages.h"
#include "model/Numbers.h"

#include <stdexcept>

namespace kolvane {
namespace {

bool Within(double v, double low, double high) {
    return v >= low && v <= high;
}

CoordinateBox BoxAt(int first, int index) {
    if (index < 0 || index > 2) throw std::out_of_range("coordinate box index");
    return static_cast<CoordinateBox>(first + index);
}

} // namespace

CoordinateBox LatitudeBox(int index) {
    return BoxAt(static_cast<int>(CoordinateBox::LatitudeDegrees), index);
}

CoordinateBox LongitudeBox(int index) {
    return BoxAt(static_cast<int>(CoordinateBox::LongitudeDegrees), index);
}

bool PassesKeyFilter(char32_t keyCode) {
    return (keyCode >= U'0' && keyCode <= U'9') || keyCode == 13 || keyCode == 8;
}

namespace {

// `typing` lets through the values a valid degrees value passes on its way, digit by digit; a value
// that is to be used must be in the range the message names.
bool InRange(CoordinateBox box, std::string_view text, bool typing) {
    std::optional<double> number = ConvertWholeNumber(text);
    if (!number) return false;
    double v = *number;
    switch (box) {
    case CoordinateBox::LatitudeDegrees:
        return (typing && Within(v, 2, 4)) || Within(v, 20, 49);
    case CoordinateBox::LongitudeDegrees:
        return (typing && (v == 1 || Within(v, 12, 15))) || Within(v, 120, 155);
    case CoordinateBox::LatitudeMinutes:
    case CoordinateBox::LatitudeSeconds:
    case CoordinateBox::LongitudeMinutes:
    case CoordinateBox::LongitudeSeconds:
        return Within(v, 0, 59);
    }
    return false;
}

} // namespace

bool PassesRangeCheck(CoordinateBox box, std::string_view text) {
    return text.empty() || InRange(box, text, true);
}

bool PassesFinalRangeCheck(CoordinateBox box, std::string_view text) {
    return InRange(box, text, false);
}

std::string RangeMessage(CoordinateBox box) {
    switch (box) {
    case CoordinateBox::LatitudeDegrees:
        return message::OutOfRange("緯度(度)", 20, 49);
    case CoordinateBox::LatitudeMinutes:
        return message::OutOfRange("緯度(分)", 0, 59);
    case CoordinateBox::LatitudeSeconds:
        return message::OutOfRange("緯度(秒)", 0, 59);
    case CoordinateBox::LongitudeDegrees:
        return message::OutOfRange("経度(度)", 120, 155);
    case CoordinateBox::LongitudeMinutes:
        return message::OutOfRange("経度(分)", 0, 59);
    case CoordinateBox::LongitudeSeconds:
        return message::OutOfRange("経度(秒)", 0, 59);
    }
    return {};
}

std::optional<CoordinateBox> FirstRejectedLatitudePart(std::string_view degrees, std::string_view minutes,
                                                       std::string_view seconds) {
    const std::string_view parts[] = {degrees, minutes, seconds};
    for (int i = 0; i < 3; ++i) {
        CoordinateBox box = LatitudeBox(i);
        if (!PassesFinalRangeCheck(box, parts[i])) return box;
    }
    return std::nullopt;
}

double LatitudeFromTexts(std::string_view degrees, std::string_view minutes, std::string_view seconds) {
    return LeadingNumberOrZero(degrees) + LeadingNumberOrZero(minutes) / 60 +
           LeadingNumberOrZero(seconds) / 3600;
}

} // namespace kolvane
