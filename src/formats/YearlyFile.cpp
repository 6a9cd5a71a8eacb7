#include "formats/YearlyFile.h"

#include "model/Columns.h"
#include "model/Csv.h"
#include "model/DateText.h"
#include "model/Numbers.h"
#include "model/Text.h"
#include "model/Wind.h"

#include <chrono>
#include <cmath>
#include <optional>
#include <vector>

namespace kolvane {
namespace {

const std::string& EncodedHeader() {
    static const std::string header = EncodeCp932(HeaderLine(YEARLY_HEADER));
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
    CsvWriter line(out);
    line.AddQuotedDate(row.year, row.month, row.day);
    for (const YearlyColumn& column : YEARLY_VALUE_COLUMNS) {
        const double value = row.*column.field;
        if (column.format == ValueFormat::Direction)
            line.Add(WindSectorCode(value));
        else if (value == MISSING)
            line.Add("X");
        else if (value == 0 && std::signbit(value) && row.origin == DayOrigin::Kept)
            // Read back from "-0.0": a kept day keeps its bytes, while a computed negative zero is 0.0.
            line.Add(DecimalsOf(column.format) == 2 ? "-0.00" : "-0.0");
        else
            AppendFixed(line.Field(), value, DecimalsOf(column.format));
    }
}

std::string FormatYearlyText(const DailyTable& year) {
    std::string out = EncodedHeader();
    out.reserve(out.size() + year.size() * 120);
    for (const DailyRecord& row : year) {
        AppendYearlyLine(out, row);
        CsvWriter(out).EndLine();
    }
    return out;
}

namespace {

// A day line as the yearly file holds it; none for one that cannot be read, with why in `read`.
std::optional<DailyRecord> ReadDayLine(const std::vector<std::string_view>& fields,
                                       const HeaderColumns& columns, const std::string& file,
                                       std::size_t number, std::string& buffer, LinesRead& read,
                                       std::string_view line) {
    for (std::size_t c : columns.required) {
        if (fields[c].empty()) {
            read.Unreadable(number, line, message::EmptyValueCause);
            return std::nullopt;
        }
    }
    const std::string_view storedDate = fields[columns.required[0]];
    const auto when = IsImpossibleLeapDay(storedDate) ? std::nullopt
                                                      : ParseObservationTime(StripQuotes(storedDate, buffer));
    if (!when) {
        read.Unreadable(number, line, [&] { return message::UnreadableDateCause(storedDate); });
        return std::nullopt;
    }
    const std::chrono::year_month_day ymd{when->date};
    DailyRecord r{.year = static_cast<int32_t>(ymd.year()),
                  .month = static_cast<int32_t>(static_cast<unsigned>(ymd.month())),
                  .day = static_cast<int32_t>(static_cast<unsigned>(ymd.day())),
                  .origin = DayOrigin::Kept};
    for (std::size_t c = 0; c < YEARLY_VALUE_COLUMNS.size(); ++c) {
        const YearlyColumn& col = YEARLY_VALUE_COLUMNS[c];
        const std::string_view field = fields[columns.required[1 + c]];
        if (field == "X")
            r.*col.field = MISSING;
        else if (col.format == ValueFormat::Direction)
            r.*col.field = WindCodeDegrees(field);
        else
            r.*col.field = ReadNumberField(field, FileKind::Yearly, file, number);
    }
    return r;
}

bool HoldsValues(std::string_view line) {
    return line.find_first_not_of(", \t\"") != std::string_view::npos;
}

} // namespace

LinesRead ParseYearlyText(std::string_view bytes, const std::string& file, DailyTable& existing) {
    existing.clear();
    HeaderColumns columns;
    std::vector<std::string_view> fields;
    std::string buffer;
    LinesRead read;
    ForEachLine(bytes, [&](std::string_view line, std::size_t number) {
        if (number == 1) {
            columns = MapHeader(line, YEARLY_HEADER, {}, FileKind::Yearly, file);
            return;
        }
        if (!HoldsValues(line)) return;
        ++read.dataLines;
        SplitFieldsInto(line, fields);
        if (fields.size() != columns.fields) {
            read.Unreadable(number, line, [&] { return FieldCountCause(fields.size(), columns.fields); });
            return;
        }
        if (auto day = ReadDayLine(fields, columns, file, number, buffer, read, line)) {
            existing.push_back(*day);
            ++read.taken;
        }
    });
    return read;
}

} // namespace kolvane
