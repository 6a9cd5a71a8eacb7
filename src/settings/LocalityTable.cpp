#include "settings/LocalityTable.h"

#include "model/Csv.h"
#include "model/FileIo.h"
#include "model/Numbers.h"
#include "model/Text.h"

#include <cmath>
#include <cstdlib>
#include <functional>

namespace kolvane {
namespace {

constexpr std::size_t FIELD_COUNT = 9;

enum Field { PREFECTURE, CODE, NAME, LAT_DEG, LAT_MIN, LAT_SEC, LON_DEG, LON_MIN, LON_SEC };

// Calls `visit` with the fields of each usable row until it returns false.
void ForEachRow(const std::string& tablePath,
                const std::function<bool(const std::vector<std::string_view>&, double)>& visit) {
    std::string bytes;
    if (ReadWholeFile(tablePath, bytes) != 0) return;
    const std::string text = DecodeCp932(bytes);
    for (std::string_view line : SplitLines(text)) {
        std::vector<std::string_view> fields = SplitFields(line);
        if (fields.size() < FIELD_COUNT) continue;
        std::optional<double> prefecture = ConvertWholeNumber(fields[PREFECTURE]);
        if (!prefecture) continue;
        if (!visit(fields, *prefecture)) return;
    }
}

// The first row with the prefecture written as plain decimal text and the given name.
template <typename Use>
void VisitNamedRow(const std::string& tablePath, int prefectureIndex, std::string_view name, Use use) {
    if (prefectureIndex <= 0) return;
    const std::string prefecture = std::to_string(prefectureIndex);
    ForEachRow(tablePath, [&](const std::vector<std::string_view>& fields, double) {
        if (fields[PREFECTURE] != prefecture || fields[NAME] != name) return true;
        use(fields);
        return false;
    });
}

} // namespace

std::string LocalityTablePath(const std::string& folder) {
    return WithTrailingSlash(folder) + std::string(LOCALITY_TABLE_FILE_NAME);
}

LocalityList ListLocalities(const std::string& tablePath, int prefectureIndex,
                            std::string_view localityCode) {
    LocalityList list;
    if (prefectureIndex <= 0) return list;
    bool codeFound = false;
    ForEachRow(tablePath, [&](const std::vector<std::string_view>& fields, double prefecture) {
        if (prefecture != prefectureIndex) return true;
        if (!codeFound && fields[CODE] == localityCode) {
            list.selection = static_cast<int>(list.names.size());
            codeFound = true;
        }
        list.names.emplace_back(fields[NAME]);
        return true;
    });
    return list;
}

std::string FormatCoordinateField(std::string_view field, int width) {
    std::string_view trimmed = TrimBlanks(field);
    std::optional<double> number = ConvertWholeNumber(trimmed);
    // Bounded so the integer below cannot overflow; any real coordinate is far inside.
    if (!number || *number != std::floor(*number) || std::fabs(*number) >= 1e9) return std::string(trimmed);
    long long whole = static_cast<long long>(*number);
    std::string digits = std::to_string(std::llabs(whole));
    if (digits.size() < static_cast<std::size_t>(width)) digits.insert(0, width - digits.size(), '0');
    return whole < 0 ? "-" + digits : digits;
}

std::optional<LocalityCoordinates> FindLocalityCoordinates(const std::string& tablePath, int prefectureIndex,
                                                           std::string_view shownName) {
    std::optional<LocalityCoordinates> found;
    VisitNamedRow(tablePath, prefectureIndex, shownName, [&](const std::vector<std::string_view>& fields) {
        LocalityCoordinates c;
        c.latitude = {FormatCoordinateField(fields[LAT_DEG], 2), FormatCoordinateField(fields[LAT_MIN], 2),
                      FormatCoordinateField(fields[LAT_SEC], 2)};
        c.longitude = {FormatCoordinateField(fields[LON_DEG], 3), FormatCoordinateField(fields[LON_MIN], 2),
                       FormatCoordinateField(fields[LON_SEC], 2)};
        found = std::move(c);
    });
    return found;
}

std::optional<std::string> FindLocalityAt(const std::string& tablePath,
                                          const LocalityCoordinates& coordinates, int preferredPrefecture) {
    const auto same = [&](const std::vector<std::string_view>& fields) {
        for (int i = 0; i < 3; ++i) {
            if (FormatCoordinateField(fields[LAT_DEG + i], 2) !=
                    FormatCoordinateField(coordinates.latitude[i], 2) ||
                FormatCoordinateField(fields[LON_DEG + i], i == 0 ? 3 : 2) !=
                    FormatCoordinateField(coordinates.longitude[i], i == 0 ? 3 : 2))
                return false;
        }
        return true;
    };
    std::optional<std::string> first, preferred;
    ForEachRow(tablePath, [&](const std::vector<std::string_view>& fields, double prefecture) {
        if (!same(fields)) return true;
        if (!first) first = std::string(fields[NAME]);
        if (prefecture == preferredPrefecture) preferred = std::string(fields[NAME]);
        return !preferred;
    });
    return preferred ? preferred : first;
}

std::optional<std::string> FindLocalityCode(const std::string& tablePath, int prefectureIndex,
                                            std::string_view shownName) {
    std::optional<std::string> code;
    VisitNamedRow(tablePath, prefectureIndex, shownName,
                  [&](const std::vector<std::string_view>& fields) { code = std::string(fields[CODE]); });
    return code;
}

} // namespace kolvane
