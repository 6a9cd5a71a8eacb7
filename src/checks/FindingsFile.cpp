#include "checks/FindingsFile.h"

#include "model/Columns.h"
#include "model/DateText.h"
#include "model/Text.h"

#include <algorithm>
#include <chrono>
#include <tuple>

namespace kolvane {

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
        const sys_days date{std::chrono::year{f.year} / month{static_cast<unsigned>(f.month)} /
                            day{static_cast<unsigned>(f.day)}};
        const auto index = static_cast<std::size_t>((date - first).count());
        if (index < counts.size()) ++counts[index]; // a date that does not exist counts nowhere
    }
    return counts;
}

std::array<int64_t, CHECK_KINDS.size()> CountFindingsByKind(const std::vector<Finding>& findings) {
    std::array<int64_t, CHECK_KINDS.size()> counts{};
    for (const Finding& f : findings)
        ++counts[static_cast<std::size_t>(f.kind)];
    return counts;
}

} // namespace kolvane
