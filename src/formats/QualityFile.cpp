#include "formats/QualityFile.h"

#include "formats/CsvText.h"
#include "model/DateText.h"
#include "model/Error.h"
#include "model/FileIo.h"
#include "model/FileNames.h"
#include "model/Messages.h"
#include "model/Numbers.h"
#include "model/Text.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>

namespace kolvane {
namespace {

// Eleven values of 24 hours, each found by at most every check: far above any real count, and
// small enough for an int.
constexpr double MAX_SUSPECT_OF_A_DAY = 24 * 11 * 8;

} // namespace

std::string FormatQualityText(const DailyTable& year, const std::vector<int32_t>& suspect) {
    std::string text;
    for (std::string_view name : QUALITY_HEADER) {
        text += name;
        text += ',';
    }
    text += SUSPECT_COLUMN;
    text += "\r\n";
    for (std::size_t i = 0; i < year.size(); ++i) {
        const DailyRecord& day = year[i];
        const DayClass c = ClassifyDay(day);
        text += '"';
        AppendShortDate(text, day.year, day.month, day.day);
        text += "\",";
        text += c == DayClass::Kept ? std::string("X") : std::to_string(day.hours);
        text += ',';
        text += DayClassName(c);
        text += ',';
        text += i < suspect.size() && suspect[i] >= 0 ? std::to_string(suspect[i]) : std::string("X");
        text += "\r\n";
    }
    return EncodeCp932(text);
}

std::vector<DayQuality> ParseQualityText(std::string_view bytes, const std::string& file) {
    std::vector<DayQuality> days;
    std::string date;
    std::array<std::size_t, QUALITY_HEADER.size()> column{};
    std::size_t needed = 0;
    std::optional<std::size_t> suspectColumn;
    // Columns after the known ones (added by a later version) are passed over, not a reason to skip.
    ForEachLine(bytes, [&](std::string_view line, std::size_t number) {
        if (number == 1) {
            MapHeaderColumns(line, QUALITY_HEADER, FileKind::Quality, file, column);
            for (std::size_t c : column)
                needed = std::max(needed, c + 1);
            const std::string header = DecodeCp932(line);
            const std::vector<std::string_view> names = SplitFields(header);
            const auto found = std::find(names.begin(), names.end(), SUSPECT_COLUMN);
            if (found != names.end()) suspectColumn = static_cast<std::size_t>(found - names.begin());
            return;
        }
        const std::vector<std::string_view> fields = SplitFields(line);
        if (fields.size() < needed) return;
        date.clear();
        for (char ch : fields[column[0]])
            if (ch != '"') date += ch;
        auto when = ParseObservationTime(date);
        if (!when) return;
        const std::string name = DecodeCp932(fields[column[2]]);
        for (DayClass c : DAY_CLASSES) {
            if (DayClassName(c) != name) continue;
            const std::chrono::year_month_day ymd{when->date};
            const std::optional<double> hours = ConvertWholeNumber(fields[column[1]]);
            std::optional<double> suspect;
            if (suspectColumn && *suspectColumn < fields.size())
                suspect = ConvertWholeNumber(fields[*suspectColumn]);
            days.push_back(
                {static_cast<int32_t>(ymd.year()), static_cast<int32_t>(static_cast<unsigned>(ymd.month())),
                 static_cast<int32_t>(static_cast<unsigned>(ymd.day())),
                 hours && *hours >= 0 && *hours <= HOURS_PER_DAY ? static_cast<int32_t>(*hours) : -1, c,
                 suspect && *suspect >= 0 && *suspect <= MAX_SUSPECT_OF_A_DAY &&
                         std::trunc(*suspect) == *suspect
                     ? static_cast<int32_t>(*suspect)
                     : -1});
            return;
        }
    });
    return days;
}

std::optional<std::vector<DayQuality>> ReadQualityFile(const std::string& path) {
    std::string bytes;
    const int e = ReadWholeFile(path, bytes);
    if (e == ENOENT) return std::nullopt;
    if (e) throw KolvaneError(message::CannotRead(FileKind::Quality, path, e));
    return ParseQualityText(bytes, path);
}

std::string Companion::Note() const {
    if (state == Belonging::NotBelonging) return message::CompanionNotBelonging(path);
    if (state == Belonging::NotProven) return message::CompanionNotProven(path);
    return {};
}

Companion ReadCompanionOf(const std::string& yearlyPath, std::string_view yearlyBytes) {
    Companion companion;
    companion.path = QualityPathOf(yearlyPath);
    const CompanionBytes read =
        ReadCompanionBytes(FileKind::Quality, companion.path, yearlyPath, yearlyBytes);
    companion.state = read.state;
    if (companion.Belongs()) companion.days = ParseQualityText(read.bytes, companion.path);
    return companion;
}

bool RemoveCompanionNotOf(const std::string& companionPath, std::string_view yearlyName,
                          std::string_view yearlyBytes) {
    std::string bytes;
    if (ReadWholeFile(companionPath, bytes) != 0 || ProvesYearly(bytes, yearlyName, yearlyBytes))
        return false;
    return RemoveFile(companionPath) == 0;
}

QualitySummary SummarizeQuality(const std::vector<DayQuality>& days) {
    QualitySummary summary;
    int run = 0;
    for (std::size_t i = 0; i < days.size(); ++i) {
        ++summary.days[static_cast<std::size_t>(days[i].dayClass)];
        run = days[i].dayClass == DayClass::NoData ? run + 1 : 0;
        if (run > summary.longestGap) {
            summary.longestGap = run;
            summary.gapStart = days[i + 1 - static_cast<std::size_t>(run)];
        }
    }
    return summary;
}

} // namespace kolvane
