#include "request/LatitudeTable.h"

#include "model/Csv.h"
#include "model/FileIo.h"
#include "model/Messages.h"
#include "model/Text.h"
#include "request/ConversionRequest.h"

#include <algorithm>
#include <optional>
#include <variant>

namespace kolvane {
namespace {

// The first line may name the columns: a latitude without any digit beside no station number.
bool IsHeader(std::string_view station, std::string_view latitude) {
    const bool stationNumber =
        station.size() == 4 && std::all_of(station.begin(), station.end(), IsAsciiDigit);
    return !stationNumber && std::none_of(latitude.begin(), latitude.end(), IsAsciiDigit);
}

// The latitude parts of a row, or the cause it cannot be used.
std::variant<std::vector<std::string>, std::string> RowLatitude(std::string_view station,
                                                                std::string_view value) {
    try {
        std::vector<std::string> latitude = ReadLatitudeText(value);
        LatitudeDegrees(latitude);
        if (station.size() != 4) return message::StationFormCause();
        for (std::string_view code : {station.substr(0, 2), station.substr(2)})
            if (!IsUsableStationCode(code)) return message::UnusableStationCodeCause(code);
        return latitude;
    } catch (const RequestError& e) {
        const std::string text = e.what();
        return text.substr(0, text.rfind("。"));
    }
}

// A third column that starts with a digit is the longitude; any other (a name, a note) is passed over:
// no parts then. Nothing for a longitude that cannot be used.
std::optional<std::vector<std::string>> RowLongitude(const std::vector<std::string>& fields) {
    const std::string_view value = fields.size() >= 3 ? TrimBlanks(fields[2]) : std::string_view();
    if (value.empty() || !IsAsciiDigit(value[0])) return std::vector<std::string>();
    try {
        std::vector<std::string> longitude = ReadLatitudeText(value);
        if (LongitudeDegrees(longitude)) return longitude;
    } catch (const RequestError&) {
    }
    return std::nullopt;
}

} // namespace

LatitudeTable ReadLatitudeTable(const std::string& path) {
    std::string bytes;
    if (int e = ReadWholeFile(path, bytes))
        throw RequestError(RequestField::Coordinates, message::LatitudeTableUnreadable(path, e));
    std::string_view text = bytes;
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);

    LatitudeTable table{path, {}, {}};
    std::optional<std::string> failure;
    std::vector<std::string> fields;
    ForEachLine(text, [&](std::string_view line, std::size_t number) {
        if (failure || TrimBlanks(line).empty()) return;
        SplitQuotedFieldsInto(line, fields);
        const std::string_view station = TrimBlanks(fields[0]);
        if (fields.size() < 2) {
            failure = message::LatitudeTableBadRow(path, number, message::RowWithoutLatitudeCause());
            return;
        }
        if (number == 1 && IsHeader(station, fields[1])) return;
        auto row = RowLatitude(station, fields[1]);
        if (auto* cause = std::get_if<std::string>(&row)) {
            failure = message::LatitudeTableBadRow(path, number, *cause);
            return;
        }
        auto longitude = RowLongitude(fields);
        if (!longitude)
            failure = message::LatitudeTableBadRow(path, number, message::LongitudeFormCause());
        else if (!table.rows.emplace(LowerAscii(station), std::move(std::get<0>(row))).second)
            failure = message::LatitudeTableBadRow(path, number, message::RepeatedStationCause(station));
        else if (!longitude->empty())
            table.longitudes.emplace(LowerAscii(station), std::move(*longitude));
    });
    if (failure) throw RequestError(RequestField::Coordinates, *failure);
    return table;
}

} // namespace kolvane
