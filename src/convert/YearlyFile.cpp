#include "convert/YearlyFile.h"

#include "convert/CsvText.h"
#include "model/DateText.h"
#include "model/Numbers.h"
#include "model/Wind.h"

#include <cmath>

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
    std::string date;
    ForEachDataLine(bytes, YEARLY_HEADER, "年次ファイル", file,
                    [&](auto& fields, const auto& column, std::size_t number) {
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

                        auto value = [&](std::size_t c) {
                            return ReadNumberField(fields[column[c]], "年次ファイル", file, number);
                        };
                        WeatherRecord r;
                        r.valid = -1;
                        SetDateParts(r, parts);
                        r.precip = value(1);
                        r.temp = value(2);
                        r.tempMax = value(3);
                        r.tempMin = value(4);
                        r.humidity = value(5);
                        r.pressure = value(6);
                        r.windDir = WindCodeDegrees(fields[column[7]]);
                        r.windSpeed = value(8);
                        r.gust = value(9);
                        r.gustDir = WindCodeDegrees(fields[column[10]]);
                        r.solar = value(11);
                        r.dewPoint = value(12);
                        r.sunshine = value(13);
                        r.dayLength = value(14);
                        r.netRadiation = value(15);
                        r.evaporation = value(16);
                        r.groundTemp = value(17);
                        existing.push_back(r);
                    });
}

} // namespace kolvane
