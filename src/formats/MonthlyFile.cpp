#include "formats/MonthlyFile.h"

#include "formats/CsvText.h"
#include "model/Columns.h"
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

void ParseMonthlyText(std::string_view bytes, const std::string& file, HourlyTable& hourly) {
    hourly.clear();
    // At most one hour per line. Growing by doubling instead would need the table twice over while it
    // moves, which for a file of years of hours is more than the file itself.
    hourly.reserve(static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')));
    std::string dateText;
    ForEachDataLine(bytes, MONTHLY_HEADER, FileKind::Monthly, file,
                    [&](auto& fields, const auto& column, std::size_t number) {
                        for (std::size_t c : column)
                            if (IsMissing(fields[c])) return;

                        auto when = ParseObservationTime(
                            JoinDateTime(fields[column[0]], fields[column[1]], dateText));
                        if (!when) return;

                        HourlyRecord r;
                        SetDateParts(r, SplitObservationTime(*when));
                        for (std::size_t c = 0; c < MONTHLY_VALUE_COLUMNS.size(); ++c) {
                            r.*MONTHLY_VALUE_COLUMNS[c].field =
                                ReadNumberField(fields[column[2 + c]], FileKind::Monthly, file, number);
                        }
                        hourly.push_back(r);
                    });
}

} // namespace kolvane
