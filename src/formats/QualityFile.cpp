#include "formats/QualityFile.h"

#include "formats/CsvText.h"
#include "model/DateText.h"
#include "model/Error.h"
#include "model/FileIo.h"
#include "model/Messages.h"
#include "model/Numbers.h"

#include <cerrno>
#include <chrono>

namespace kolvane {

std::string FormatQualityText(const DailyTable& year) {
    std::string text;
    for (std::string_view name : QUALITY_HEADER) {
        if (!text.empty()) text += ',';
        text += name;
    }
    text += "\r\n";
    for (const DailyRecord& day : year) {
        const DayClass c = ClassifyDay(day);
        text += '"';
        AppendShortDate(text, day.year, day.month, day.day);
        text += "\",";
        text += c == DayClass::Kept ? std::string("X") : std::to_string(day.hours);
        text += ',';
        text += DayClassName(c);
        text += "\r\n";
    }
    return EncodeCp932(text);
}

std::vector<DayQuality> ParseQualityText(std::string_view bytes, const std::string& file) {
    std::vector<DayQuality> days;
    std::string date;
    ForEachDataLine(
        bytes, QUALITY_HEADER, FileKind::Quality, file, [&](auto& fields, const auto& column, std::size_t) {
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
                days.push_back(
                    {static_cast<int32_t>(ymd.year()),
                     static_cast<int32_t>(static_cast<unsigned>(ymd.month())),
                     static_cast<int32_t>(static_cast<unsigned>(ymd.day())),
                     hours && *hours >= 0 && *hours <= HOURS_PER_DAY ? static_cast<int32_t>(*hours) : -1, c});
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
