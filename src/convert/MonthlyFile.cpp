#include "convert/MonthlyFile.h"

#include "convert/CsvText.h"
#include "model/DateText.h"

#include <algorithm>

namespace kolvane {
namespace {

bool IsMissing(std::string_view field) {
    return field.empty() || field == "X";
}

// Date field, one blank and time field, with every double quote removed.
std::string_view JoinDateTime(std::string_view date, std::string_view time, std::string& buffer) {
    buffer.clear();
    for (char c : date)
        if (c != '"') buffer += c;
    buffer += ' ';
    for (char c : time)
        if (c != '"') buffer += c;
    return buffer;
}

} // namespace

void ParseMonthlyText(std::string_view bytes, const std::string& file, WeatherTable& hourly) {
    hourly.clear();
    // At most one hour per line. Growing by doubling instead would need the table twice over while it
    // moves, which for a file of years of hours is more than the file itself.
    hourly.reserve(static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')));
    std::string dateText;
    ForEachDataLine(bytes, MONTHLY_HEADER, "月次ファイル", file,
                    [&](auto& fields, const auto& column, std::size_t number) {
                        for (std::size_t c : column)
                            if (IsMissing(fields[c])) return;

                        auto when = ParseObservationTime(
                            JoinDateTime(fields[column[0]], fields[column[1]], dateText));
                        if (!when) return;
                        DateParts parts = SplitObservationTime(*when);

                        std::array<double, 11> values;
                        for (std::size_t c = 2; c < 13; ++c)
                            values[c - 2] = ReadNumberField(fields[column[c]], "月次ファイル", file, number);

                        WeatherRecord& r = hourly.emplace_back();
                        r.valid = -1;
                        SetDateParts(r, parts);
                        r.precip = values[0];
                        r.temp = values[1];
                        r.humidity = values[2];
                        r.pressure = values[3];
                        r.windDir = values[4];
                        r.windSpeed = values[5];
                        r.gust = values[6];
                        r.gustDir = values[7];
                        r.solar = values[8];
                        r.dewPoint = values[9];
                        r.groundTemp = values[10];
                    });
}

} // namespace kolvane
