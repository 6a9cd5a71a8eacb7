#include "checks/FindingsFile.h"

#include "model/Columns.h"
#include "model/Csv.h"
#include "model/DateText.h"
#include "model/Error.h"
#include "model/FileIo.h"
#include "model/FileNames.h"
#include "model/Messages.h"
#include "model/Numbers.h"
#include "model/Text.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <optional>
#include <tuple>

namespace kolvane {
namespace {

// "H:MM" as the file writes the hour, 1:00 to 24:00 (0:00 read too).
bool ParseHourText(std::string_view text, int32_t& hour, int32_t& minute) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0 || colon > 2 || text.size() != colon + 3) return false;
    auto number = [](std::string_view digits, int32_t& value) {
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        return ec == std::errc() && end == digits.data() + digits.size();
    };
    return number(text.substr(0, colon), hour) && number(text.substr(colon + 1), minute) && hour >= 0 &&
           minute >= 0 && minute <= 59 && (hour < 24 || (hour == 24 && minute == 0));
}

std::optional<std::size_t> ColumnNamed(std::string_view name) {
    for (std::size_t i = 0; i < MONTHLY_VALUE_COLUMNS.size(); ++i)
        if (MONTHLY_VALUE_COLUMNS[i].name == name) return i;
    return std::nullopt;
}

std::optional<CheckKind> KindNamed(std::string_view name) {
    for (CheckKind kind : CHECK_KINDS)
        if (CheckKindName(kind) == name) return kind;
    return std::nullopt;
}

} // namespace

std::string_view CheckKindName(CheckKind kind) {
    switch (kind) {
    case CheckKind::Range:
        return "範囲";
    case CheckKind::Step:
        return "急変";
    case CheckKind::Persistence:
        return "持続";
    case CheckKind::Consistency:
        return "整合";
    }
    return {};
}

std::vector<std::string> FindingLines(const std::vector<Finding>& findings, int32_t year) {
    std::vector<const Finding*> sorted;
    for (const Finding& f : findings)
        if (f.year == year) sorted.push_back(&f);
    std::stable_sort(sorted.begin(), sorted.end(), [](const Finding* a, const Finding* b) {
        return std::tie(a->month, a->day, a->hour, a->minute, a->column, a->kind) <
               std::tie(b->month, b->day, b->hour, b->minute, b->column, b->kind);
    });
    std::vector<std::string> lines(sorted.size());
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        const Finding& f = *sorted[i];
        CsvWriter line(lines[i]);
        line.AddQuotedDate(f.year, f.month, f.day);
        std::string& hour = line.Field();
        hour += std::to_string(f.hour);
        hour += ':';
        hour += PadTwoDigits(f.minute);
        line.Add(MONTHLY_VALUE_COLUMNS[f.column].name).Add(FormatMeasured(f.value, f.column));
        line.Add(CheckKindName(f.kind)).Add(f.explanation);
    }
    return lines;
}

std::string FormatFindingsText(const std::vector<Finding>& findings, int32_t year) {
    std::string text = HeaderLine(FINDINGS_HEADER);
    for (const std::string& line : FindingLines(findings, year))
        text.append(line).append("\r\n");
    return EncodeCp932(text);
}

std::vector<int32_t> CountFindingsPerDay(const std::vector<Finding>& findings, int32_t year) {
    using namespace std::chrono;
    const sys_days first{std::chrono::year{year} / January / 1};
    const sys_days next{std::chrono::year{year + 1} / January / 1};
    std::vector<int32_t> counts(static_cast<std::size_t>((next - first).count()), 0);
    for (const Finding& f : findings) {
        if (f.year != year) continue;
        // A date that does not exist counts nowhere.
        if (const auto index = DayInYear(f.year, f.month, f.day); index && *index < counts.size())
            ++counts[*index];
    }
    return counts;
}

std::array<int64_t, CHECK_KINDS.size()> CountFindingsByKind(const std::vector<Finding>& findings) {
    std::array<int64_t, CHECK_KINDS.size()> counts{};
    for (const Finding& f : findings)
        ++counts[static_cast<std::size_t>(f.kind)];
    return counts;
}

namespace {

// A line of a findings file, its fields decoded; none when it cannot be read.
std::optional<Finding> ReadFindingLine(const std::vector<std::string_view>& fields,
                                       const HeaderColumns& columns, std::string& buffer) {
    const auto at = [&](std::size_t c) { return fields[columns.required[c]]; };
    const std::optional<DateTime> when = ParseObservationTime(StripQuotes(at(0), buffer));
    Finding f;
    if (!when || !ParseHourText(at(1), f.hour, f.minute)) return std::nullopt;
    const std::chrono::year_month_day ymd{when->date};
    f.year = static_cast<int32_t>(ymd.year());
    f.month = static_cast<int32_t>(static_cast<unsigned>(ymd.month()));
    f.day = static_cast<int32_t>(static_cast<unsigned>(ymd.day()));
    const std::optional<std::size_t> columnOf = ColumnNamed(at(2));
    const std::optional<CheckKind> kindOf = KindNamed(at(4));
    const std::optional<double> value = ConvertWholeNumber(at(3));
    if (!columnOf || !kindOf || !value) return std::nullopt;
    f.column = *columnOf;
    f.value = *value;
    f.kind = *kindOf;
    // An explanation is written without a comma; one that holds them (edited) is kept whole when it is
    // the last column.
    const std::size_t explanation = columns.required[5];
    const std::size_t end = explanation + 1 == columns.fields ? fields.size() : explanation + 1;
    for (std::size_t i = explanation; i < end; ++i) {
        if (i > explanation) f.explanation += ',';
        f.explanation += fields[i];
    }
    return f;
}

} // namespace

std::vector<Finding> ParseFindingsText(std::string_view bytes, const std::string& file) {
    std::vector<Finding> findings;
    HeaderColumns columns;
    std::vector<std::string_view> fields;
    std::string line, buffer;
    ForEachLine(bytes, [&](std::string_view raw, std::size_t number) {
        if (number == 1) {
            columns = MapHeader(raw, FINDINGS_HEADER, {}, FileKind::Findings, file);
            return;
        }
        line = DecodeCp932(raw);
        SplitFieldsInto(line, fields);
        if (fields.size() < columns.needed) return;
        if (auto f = ReadFindingLine(fields, columns, buffer)) findings.push_back(std::move(*f));
    });
    return findings;
}

YearFindings ReadFindingsOf(const std::string& yearlyPath, std::string_view yearlyBytes) {
    return ReadBesideYearly<Finding>(FileKind::Findings, FindingsPathOf(yearlyPath), yearlyPath, yearlyBytes,
                                     ParseFindingsText);
}

} // namespace kolvane
