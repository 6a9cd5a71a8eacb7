#include "checks/FindingsFile.h"

#include "model/Columns.h"
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

std::string FormatFindingsText(const std::vector<Finding>& findings, int32_t year) {
    std::vector<const Finding*> lines;
    for (const Finding& f : findings)
        if (f.year == year) lines.push_back(&f);
    std::stable_sort(lines.begin(), lines.end(), [](const Finding* a, const Finding* b) {
        return std::tie(a->month, a->day, a->hour, a->minute, a->column, a->kind) <
               std::tie(b->month, b->day, b->hour, b->minute, b->column, b->kind);
    });

    std::string text;
    for (std::string_view name : FINDINGS_HEADER) {
        if (!text.empty()) text += ',';
        text += name;
    }
    text += "\r\n";
    for (const Finding* f : lines) {
        text += '"';
        AppendShortDate(text, f->year, f->month, f->day);
        text += "\",";
        text += std::to_string(f->hour);
        text += ':';
        text += PadTwoDigits(f->minute);
        text += ',';
        text += MONTHLY_VALUE_COLUMNS[f->column].name;
        text += ',';
        text += FormatMeasured(f->value, f->column);
        text += ',';
        text += CheckKindName(f->kind);
        text += ',';
        text += f->explanation;
        text += "\r\n";
    }
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

std::vector<Finding> ParseFindingsText(std::string_view bytes, const std::string& file) {
    const std::string text = DecodeCp932(bytes);
    std::vector<Finding> findings;
    std::array<std::size_t, FINDINGS_HEADER.size()> column{};
    std::size_t needed = 0, headerFields = 0;
    std::string date;
    ForEachLine(text, [&](std::string_view line, std::size_t number) {
        const std::vector<std::string_view> fields = SplitFields(line);
        if (number == 1) {
            headerFields = fields.size();
            for (std::size_t c = 0; c < FINDINGS_HEADER.size(); ++c) {
                const auto first = std::find(fields.begin(), fields.end(), FINDINGS_HEADER[c]);
                if (first == fields.end())
                    throw KolvaneError(message::MissingColumn(FileKind::Findings, file, FINDINGS_HEADER[c]));
                if (std::find(first + 1, fields.end(), FINDINGS_HEADER[c]) != fields.end())
                    throw KolvaneError(message::RepeatedColumn(FileKind::Findings, file, FINDINGS_HEADER[c]));
                column[c] = static_cast<std::size_t>(first - fields.begin());
                needed = std::max(needed, column[c] + 1);
            }
            return;
        }
        if (fields.size() < needed) return;
        date.clear();
        for (char ch : fields[column[0]])
            if (ch != '"') date += ch;
        const std::optional<DateTime> when = ParseObservationTime(date);
        Finding f;
        if (!when || !ParseHourText(fields[column[1]], f.hour, f.minute)) return;
        const std::chrono::year_month_day ymd{when->date};
        f.year = static_cast<int32_t>(ymd.year());
        f.month = static_cast<int32_t>(static_cast<unsigned>(ymd.month()));
        f.day = static_cast<int32_t>(static_cast<unsigned>(ymd.day()));
        const std::optional<std::size_t> columnOf = ColumnNamed(fields[column[2]]);
        const std::optional<CheckKind> kindOf = KindNamed(fields[column[4]]);
        const std::optional<double> value = ConvertWholeNumber(fields[column[3]]);
        if (!columnOf || !kindOf || !value) return;
        f.column = *columnOf;
        f.value = *value;
        f.kind = *kindOf;
        // An explanation is written without a comma; one that holds them (edited) is kept whole when it is
        // the last column.
        const std::size_t explanation = column[5];
        const std::size_t end = explanation + 1 == headerFields ? fields.size() : explanation + 1;
        for (std::size_t i = explanation; i < end; ++i) {
            if (i > explanation) f.explanation += ',';
            f.explanation += fields[i];
        }
        findings.push_back(std::move(f));
    });
    return findings;
}

std::string YearFindings::Note() const {
    if (state == Belonging::NotBelonging) return message::FindingsNotBelonging(path);
    if (state == Belonging::NotProven) return message::FindingsNotProven(path);
    return {};
}

YearFindings ReadFindingsOf(const std::string& yearlyPath, std::string_view yearlyBytes) {
    YearFindings result;
    result.path = FindingsPathOf(yearlyPath);
    const CompanionBytes read = ReadCompanionBytes(FileKind::Findings, result.path, yearlyPath, yearlyBytes);
    result.state = read.state;
    if (result.Belongs()) result.findings = ParseFindingsText(read.bytes, result.path);
    return result;
}

} // namespace kolvane
