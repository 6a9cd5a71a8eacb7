#include "request/ConversionRequest.h"

#include "model/Messages.h"
#include "model/Numbers.h"
#include "model/Text.h"
#include "request/Coordinates.h"

#include <algorithm>

namespace kolvane {
namespace {

bool AnyEmpty(const std::vector<std::string>& texts) {
    return std::any_of(texts.begin(), texts.end(), [](const std::string& t) { return t.empty(); });
}

// With only some boxes filled, the user is told which one is still empty, in the window's order.
std::string CoordinatesMissing(const std::vector<std::string>& latitude,
                               const std::vector<std::string>& longitude) {
    if (latitude.size() != 3 || longitude.size() != 3) return message::CoordinatesNotSet();
    static constexpr std::string_view BOXES[] = {"緯度(度)", "緯度(分)", "緯度(秒)",
                                                 "経度(度)", "経度(分)", "経度(秒)"};
    std::vector<std::string> boxes(latitude);
    boxes.insert(boxes.end(), longitude.begin(), longitude.end());
    if (std::all_of(boxes.begin(), boxes.end(), [](const std::string& t) { return t.empty(); }))
        return message::CoordinatesNotSet();
    const auto empty =
        std::find_if(boxes.begin(), boxes.end(), [](const std::string& t) { return t.empty(); });
    return message::CoordinateBoxEmpty(BOXES[empty - boxes.begin()]);
}

// Decimal degrees as one text: the range of the degrees box, up to but not including 50.
constexpr double DECIMAL_LATITUDE_LOW = 20;
constexpr double DECIMAL_LATITUDE_HIGH = 50;

} // namespace

double LatitudeDegrees(const std::vector<std::string>& parts) {
    if (parts.size() == 3) {
        if (auto rejected = FirstRejectedLatitudePart(parts[0], parts[1], parts[2]))
            throw RequestError(RequestField::Coordinates, RangeMessage(*rejected));
        return LatitudeFromTexts(parts[0], parts[1], parts[2]);
    }
    if (parts.size() == 1) {
        std::optional<double> v = ConvertWholeNumber(parts[0]);
        if (v && *v >= DECIMAL_LATITUDE_LOW && *v < DECIMAL_LATITUDE_HIGH) return *v;
    }
    throw RequestError(RequestField::Coordinates, RangeMessage(CoordinateBox::LatitudeDegrees));
}

std::optional<double> LongitudeDegrees(const std::vector<std::string>& parts) {
    if (parts.size() == 3) {
        for (int i = 0; i < 3; ++i)
            if (!PassesFinalRangeCheck(LongitudeBox(i), parts[static_cast<std::size_t>(i)]))
                return std::nullopt;
        return LatitudeFromTexts(parts[0], parts[1], parts[2]); // the same sum of degrees, minutes, seconds
    }
    if (parts.size() == 1) {
        std::optional<double> v = ConvertWholeNumber(parts[0]);
        if (v && *v >= 120 && *v < 156) return *v;
    }
    return std::nullopt;
}

std::vector<std::string> ReadLatitudeText(std::string_view text) {
    std::vector<std::string> parts;
    for (std::size_t start = 0;;) {
        const std::size_t colon = text.find(':', start);
        parts.emplace_back(TrimBlanks(text.substr(start, colon - start)));
        if (colon == std::string_view::npos) break;
        start = colon + 1;
    }
    if (parts.size() == 2) parts.push_back("0");
    const auto digits = [](std::string_view s) {
        return !s.empty() && std::all_of(s.begin(), s.end(), IsAsciiDigit);
    };
    const auto decimal = [&](std::string_view s) {
        const std::size_t point = s.find('.');
        if (point == std::string_view::npos) return digits(s);
        const std::string_view whole = s.substr(0, point), fraction = s.substr(point + 1);
        return (digits(whole) || whole.empty()) && (digits(fraction) || fraction.empty()) && s.size() > 1;
    };
    const bool wellFormed = parts.size() == 1
                                ? decimal(parts[0])
                                : parts.size() == 3 && std::all_of(parts.begin(), parts.end(), digits);
    if (!wellFormed) throw RequestError(RequestField::Coordinates, message::LatitudeForm());
    return parts;
}

void CheckStationCodes(const StationKey& station) {
    for (const std::string* code : {&station.group, &station.bucket}) {
        if (!IsUsableStationCode(*code))
            throw RequestError(RequestField::Station, message::UnusableStationCode(*code));
    }
}

void CheckStationRequest(const StationKey& station, const std::vector<std::string>& months,
                         const std::vector<std::string>& latitude,
                         const std::vector<std::string>& longitude) {
    if (latitude.empty() || AnyEmpty(latitude) || AnyEmpty(longitude))
        throw RequestError(RequestField::Coordinates, CoordinatesMissing(latitude, longitude));
    LatitudeDegrees(latitude);
    if (months.empty()) throw RequestError(RequestField::Months, message::NoMonthsSelected());
    if (station.group.size() != 2 || station.bucket.size() != 2)
        throw RequestError(RequestField::Station, message::StationNotChosen());
    CheckStationCodes(station);
}

void CheckRequest(const ConversionRequest& request) {
    CheckStationRequest(request.stations.empty() ? StationKey{} : request.stations.front(), request.months,
                        request.latitude, request.longitude);
}

} // namespace kolvane
