#include "request/RunRequest.h"

#include "model/Messages.h"
#include "model/Numbers.h"
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

std::vector<std::string> SplitLatitudeText(std::string_view text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t colon = text.find(':', start);
        parts.emplace_back(text.substr(start, colon - start));
        if (colon == std::string_view::npos) return parts;
        start = colon + 1;
    }
}

void CheckRunRequest(const RunRequest& request) {
    if (request.latitude.empty() || AnyEmpty(request.latitude) || AnyEmpty(request.longitude))
        throw RequestError(RequestField::Coordinates,
                           CoordinatesMissing(request.latitude, request.longitude));
    LatitudeDegrees(request.latitude);
    if (request.months.empty()) throw RequestError(RequestField::Months, message::NoMonthsSelected());
    if (request.station.group.size() != 2 || request.station.bucket.size() != 2)
        throw RequestError(RequestField::Station, message::StationNotChosen());
    for (const std::string* code : {&request.station.group, &request.station.bucket}) {
        if (!IsUsableStationCode(*code))
            throw RequestError(RequestField::Station, message::UnusableStationCode(*code));
    }
}

} // namespace kolvane
