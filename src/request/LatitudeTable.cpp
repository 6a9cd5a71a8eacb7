#include "request/LatitudeTable.h"

#include "model/Csv.h"
#include "model/FileIo.h"
#include "model/Messages.h"
#include "model/Text.h"
#include "request/RunRequest.h"

#include <optional>

namespace kolvane {
namespace {

// A table's latitude may have blanks around its parts.
std::vector<std::string> LatitudeParts(std::string_view text) {
    std::vector<std::string> parts = SplitLatitudeText(text);
    for (std::string& part : parts)
        part = std::string(TrimBlanks(part));
    return parts;
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
        auto bad = [&](std::string_view cause) {
            failure = message::LatitudeTableBadRow(path, number, cause);
        };
        SplitQuotedFieldsInto(line, fields);
        const std::string_view station = TrimBlanks(fields[0]);
        const bool stationLike = station.size() == 4;
        if (fields.size() < 2) {
            bad(message::RowWithoutLatitudeCause());
            return;
        }
        std::vector<std::string> latitude = LatitudeParts(TrimBlanks(fields[1]));
        try {
            LatitudeDegrees(latitude);
        } catch (const RequestError& e) {
            // The first line may name the columns.
            const std::string_view value = TrimBlanks(fields[1]);
            if (number == 1 && (value.empty() || !IsAsciiDigit(value[0]))) return;
            if (latitude.size() != 1 && latitude.size() != 3)
                bad(message::LatitudeFormCause());
            else
                bad(std::string(e.what()).substr(0, std::string(e.what()).rfind("。")));
            return;
        }
        if (!stationLike) {
            bad(message::StationFormCause());
            return;
        }
        for (std::string_view code : {station.substr(0, 2), station.substr(2)}) {
            if (!IsUsableStationCode(code)) {
                bad(message::UnusableStationCodeCause(code));
                return;
            }
        }
        // A third column that starts with a digit is the longitude; any other (a name, a note) is passed
        // over.
        std::vector<std::string> longitude;
        if (fields.size() >= 3 && !TrimBlanks(fields[2]).empty() && IsAsciiDigit(TrimBlanks(fields[2])[0])) {
            longitude = LatitudeParts(TrimBlanks(fields[2]));
            if (!LongitudeDegrees(longitude)) {
                bad(message::LongitudeFormCause());
                return;
            }
        }
        if (!table.rows.emplace(LowerAscii(station), std::move(latitude)).second)
            bad(message::RepeatedStationCause(station));
        else if (!longitude.empty())
            table.longitudes.emplace(LowerAscii(station), std::move(longitude));
    });
    if (failure) throw RequestError(RequestField::Coordinates, *failure);
    return table;
}

} // namespace kolvane
