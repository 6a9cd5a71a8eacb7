#include "convert/YearlyFile.h"

#include "convert/FileHeader.h"
#include "model/DateText.h"
#include "model/Numbers.h"
#include "model/Wind.h"

#include <cmath>
#include <vector>

namespace kolvane {
namespace {

void AppendValue(std::string& out, double value, int decimals) {
    out += ',';
    if (value == MISSING)
        out += 'X';
    else
        AppendFixed(out, value, decimals);
}

void AppendDirection(std::string& out, double degrees) {
    out += ',';
    out += WindSectorCode(degrees);
}

const std::string& EncodedHeader() {
    static const std::string header = [] {
        std::string text;
        for (std::string_view name : YEARLY_HEADER) {
            if (!text.empty()) text += ',';
            text += name;
        }
        return EncodeCp932(text) + "\r\n";
    }();
    return header;
}

std::string_view Characters(std::string_view text, std::size_t first1Based, std::size_t count) {
    if (first1Based - 1 >= text.size()) return {};
    return text.substr(first1Based - 1, count);
}

// 29 February of a year not divisible by 4, read from the stored field's fixed character places.
bool IsImpossibleLeapDay(std::string_view storedDate) {
    double yy = LeadingNumberOrZero(Characters(storedDate, 2, 2));
    double mm = LeadingNumberOrZero(Characters(storedDate, 5, 2));
    double dd = LeadingNumberOrZero(Characters(storedDate, 8, 2));
    return mm == 2 && dd == 29 && std::fmod(yy, 4) != 0;
}

} // namespace

void AppendYearlyLine(std::string& out, const WeatherRecord& row) {
    out += '"';
    AppendShortDate(out, row.year, row.month, row.day);
    out += '"';
    AppendValue(out, row.precip, 1);
    AppendValue(out, row.temp, 1);
    AppendValue(out, row.tempMax, 1);
    AppendValue(out, row.tempMin, 1);
    AppendValue(out, row.humidity, 1);
    AppendValue(out, row.pressure, 1);
    AppendDirection(out, row.windDir);
    AppendValue(out, row.windSpeed, 1);
    AppendValue(out, row.gust, 1);
    AppendDirection(out, row.gustDir);
    AppendValue(out, row.solar, 2);
    AppendValue(out, row.dewPoint, 1);
    AppendValue(out, row.sunshine, 1);
    AppendValue(out, row.dayLength, 1);
    AppendValue(out, row.netRadiation, 2);
    AppendValue(out, row.evaporation, 1);
    AppendValue(out, row.groundTemp, 1);
}

std::string FormatYearlyText(const WeatherTable& year) {
    std::string out = EncodedHeader();
    out.reserve(out.size() + year.size() * 120);
    for (const WeatherRecord& row : year) {
        AppendYearlyLine(out, row);
        out += "\r\n";
    }
    return out;
}

void ParseYearlyText(std::string_view bytes, const std::string& file, WeatherTable& existing) {
    existing.clear();
    if (bytes.empty()) return;

    std::array<std::size_t, 18> column{};
    std::size_t fieldCount = 0;
    std::vector<std::string_view> fields;
    std::string date;

    ForEachLine(bytes, [&](std::string_view line, std::size_t number) {
        if (number == 1) {
            fieldCount = MapHeaderColumns(line, YEARLY_HEADER, "年次ファイル", file, column);
            return;
        }
        if (line.empty()) return;
        if (!SplitFieldsInto(line, fieldCount, fields) || fields.size() != fieldCount) return;
        for (std::size_t c : column) {
            if (fields[c] == "X") fields[c] = "-999";
            if (fields[c].empty()) return;
        }
        if (IsImpossibleLeapDay(fields[column[0]])) return;

        date.clear();
        for (char ch : fields[column[0]])
            if (ch != '"') date += ch;
        auto when = ParseObservationTime(date);
        if (!when) return;
        DateParts parts = SplitObservationTime(DateTime{when->date, 12, 0, 0});

        auto number_of = [&](std::size_t c) {
            LeadingNumber n = ParseLeadingNumber(fields[column[c]]);
            if (n.status == NumberStatus::OutOfRange) {
                throw KolvaneError("年次ファイル「" + file + "」の" + std::to_string(number) +
                                   "行目の数値が大きすぎます。");
            }
            return n.value;
        };

        WeatherRecord r;
        r.valid = -1;
        r.year = parts.year;
        r.month = parts.month;
        r.day = parts.day;
        r.hour = parts.hour;
        r.minute = parts.minute;
        r.second = parts.second;
        r.precip = number_of(1);
        r.temp = number_of(2);
        r.tempMax = number_of(3);
        r.tempMin = number_of(4);
        r.humidity = number_of(5);
        r.pressure = number_of(6);
        r.windDir = WindCodeDegrees(fields[column[7]]);
        r.windSpeed = number_of(8);
        r.gust = number_of(9);
        r.gustDir = WindCodeDegrees(fields[column[10]]);
        r.solar = number_of(11);
        r.dewPoint = number_of(12);
        r.sunshine = number_of(13);
        r.dayLength = number_of(14);
        r.netRadiation = number_of(15);
        r.evaporation = number_of(16);
        r.groundTemp = number_of(17);
        existing.push_back(r);
    });
}

} // namespace kolvane
