#include "formats/YearlyFile.h"

#include "formats/CsvText.h"
#include "model/Columns.h"
#include "model/DateText.h"
#include "model/Numbers.h"
#include "model/Wind.h"

#include <cmath>

namespace kolvane {
namespace {

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

void AppendYearlyLine(std::string& out, const DailyRecord& row) {
    out += '"';
    AppendShortDate(out, row.year, row.month, row.day);
    out += '"';
    for (const YearlyColumn& column : YEARLY_VALUE_COLUMNS) {
        out += ',';
        const double value = row.*column.field;
        if (column.format == ValueFormat::Direction)
            out += WindSectorCode(value);
        else if (value == MISSING)
            out += 'X';
        else
            AppendFixed(out, value, DecimalsOf(column.format));
    }
}

std::string FormatYearlyText(const DailyTable& year) {
    std::string out = EncodedHeader();
    out.reserve(out.size() + year.size() * 120);
    for (const DailyRecord& row : year) {
        AppendYearlyLine(out, row);
        out += "\r\n";
    }
    return out;
}

void ParseYearlyText(std::string_view bytes, const std::string& file, DailyTable& existing) {
    existing.clear();
    std::string date;
    ForEachDataLine(bytes, YEARLY_HEADER, FileKind::Yearly, file,
                    [&](auto& fields, const auto& column, std::size_t number) {
                        for (std::size_t c : column)
                            if (fields[c].empty()) return;
                        if (IsImpossibleLeapDay(fields[column[0]])) return;

                        date.clear();
                        for (char ch : fields[column[0]])
                            if (ch != '"') date += ch;
                        auto when = ParseObservationTime(date);
                        if (!when) return;
                        const std::chrono::year_month_day ymd{when->date};

                        DailyRecord r{.year = static_cast<int32_t>(ymd.year()),
                                      .month = static_cast<int32_t>(static_cast<unsigned>(ymd.month())),
                                      .day = static_cast<int32_t>(static_cast<unsigned>(ymd.day())),
                                      .origin = DayOrigin::Kept};
                        for (std::size_t c = 0; c < YEARLY_VALUE_COLUMNS.size(); ++c) {
                            const YearlyColumn& col = YEARLY_VALUE_COLUMNS[c];
                            const std::string_view field = fields[column[1 + c]];
                            if (field == "X")
                                r.*col.field = MISSING;
                            else if (col.format == ValueFormat::Direction)
                                r.*col.field = WindCodeDegrees(field);
                            else
                                r.*col.field = ReadNumberField(field, FileKind::Yearly, file, number);
                        }
                        existing.push_back(r);
                    });
}

} // namespace kolvane
