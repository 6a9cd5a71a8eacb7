#include "formats/Year.h"

#include "checks/FindingsFile.h"
#include "daily/DailyAggregation.h"
#include "daily/YearCalendar.h"
#include "formats/MonthlyFile.h"
#include "formats/QualityFile.h"
#include "formats/YearlyFile.h"
#include "model/DateText.h"
#include "model/Error.h"
#include "model/FileIo.h"

#include <algorithm>
#include <cerrno>
#include <new>

namespace kolvane {
namespace {

SourceFile ReadSourceFile(FileKind kind, FolderLookup& folder, const std::string& name) {
    SourceFile file{std::string(), std::string()};
    try {
        if (int e = folder.Read(name, file.path, *file.bytes)) {
            if (e != ENOENT) throw KolvaneError(message::CannotRead(kind, file.path, e));
            file.bytes.reset();
        }
        return file;
    } catch (const std::bad_alloc&) {
        // Giving back the file's buffer leaves room for the message.
        file.bytes.reset();
        throw KolvaneError(message::OutOfMemory(kind, file.path));
    }
}

// Where a date stands in the days of its year; none for another year or a date that does not exist.
std::optional<std::size_t> DayIndex(const DailyTable& days, int32_t year, int32_t month, int32_t day) {
    if (days.empty() || year != days.front().year) return std::nullopt;
    const std::optional<std::size_t> index = DayInYear(year, month, day);
    return index && *index < days.size() ? index : std::nullopt;
}

// Kept days have no hours to check: what the earlier yearly file's own companions said of them is carried,
// when they prove they were written with it; otherwise their suspect values stay unknown. A companion that
// cannot be read says nothing of them either.
void CarryKeptDays(const YearInputs& inputs, YearContent& year) {
    if (!inputs.yearly.bytes) return;
    const std::string_view name = FileNameOf(inputs.yearly.path);
    auto proven = [&](const SourceFile& file) {
        return file.bytes && ProvesYearly(*file.bytes, name, *inputs.yearly.bytes);
    };
    auto kept = [&](int32_t y, int32_t m, int32_t d) {
        const std::optional<std::size_t> i = DayIndex(year.days, y, m, d);
        return i && year.suspect[*i] < 0 ? i : std::nullopt;
    };
    try {
        if (proven(inputs.earlierFindings))
            for (Finding& f : ParseFindingsText(*inputs.earlierFindings.bytes, inputs.earlierFindings.path))
                if (kept(f.year, f.month, f.day)) year.findings.push_back(std::move(f));
    } catch (const KolvaneError&) {
    }
    try {
        if (proven(inputs.earlierQuality))
            for (const DayQuality& d :
                 ParseQualityText(*inputs.earlierQuality.bytes, inputs.earlierQuality.path))
                if (const auto i = kept(d.year, d.month, d.day)) year.suspect[*i] = d.suspect;
    } catch (const KolvaneError&) {
    }
}

// What the checks found in the new days, and what is known of the kept ones.
void AddFindings(const YearInputs& inputs, std::vector<Finding> found, YearContent& year) {
    year.suspect.assign(year.days.size(), 0);
    for (std::size_t i = 0; i < year.days.size(); ++i)
        if (ClassifyDay(year.days[i]) == DayClass::Kept) year.suspect[i] = -1;
    for (Finding& f : found) {
        // The last hour of the year before comes with a January file; it is that year's.
        const std::optional<std::size_t> i = DayIndex(year.days, f.year, f.month, f.day);
        if (!i || year.suspect[*i] < 0) continue;
        ++year.suspect[*i];
        year.findings.push_back(std::move(f));
    }
    CarryKeptDays(inputs, year);
}

// A monthly file of which no line could be read would otherwise be taken as an empty month.
void JudgeMonthlyRead(const std::string& path, const LinesRead& read, std::vector<std::string>& notes) {
    if (read.dataLines == 0)
        notes.push_back(message::MonthlyWithoutRows(path));
    else if (read.taken == 0 && read.unreadable > 0)
        throw KolvaneError(
            message::MonthlyUnreadable(path, read.dataLines, read.unreadable, read.FirstUnreadable()));
    else if (read.unreadable > 0)
        notes.push_back(
            message::LinesSkipped(FileKind::Monthly, path, read.unreadable, read.FirstUnreadable()));
}

// An earlier yearly file mostly unreadable (another program's date form, say) would otherwise be replaced
// by a year without its days.
void JudgeYearlyRead(const std::string& path, const LinesRead& read, std::vector<std::string>& notes) {
    if (read.unreadable == 0) return;
    if (read.taken * 2 < read.dataLines)
        throw KolvaneError(
            message::YearlyUnreadable(path, read.dataLines, read.taken, read.FirstUnreadable()));
    notes.push_back(message::LinesSkipped(FileKind::Yearly, path, read.unreadable, read.FirstUnreadable()));
}

// The year's computation; `current` follows the file being worked on, for a message when memory runs
// out.
YearTexts ComputeYearTracked(const YearInputs& inputs, const SourceFile*& current) {
    HourlyTable hourly;
    DailyTable daily;
    std::vector<std::string> notes;
    HourlyChecks checks(inputs.latitude, inputs.longitude);
    checks.KeepYear(FourDigitYearNumber(inputs.yy));
    for (const SourceFile& month : inputs.monthly) {
        if (!month.bytes) continue;
        current = &month;
        JudgeMonthlyRead(month.path, ParseMonthlyText(*month.bytes, month.path, hourly), notes);
        if (inputs.check) checks.Add(hourly);
        try {
            BuildDailyRecords(hourly, inputs.latitude, daily);
        } catch (const DayComputationError& e) {
            throw KolvaneError(message::DayNotComputable(month.path, e.year, e.month, e.day, e.what()));
        }
    }
    // A monthly file may hold years of hours: they go before the findings' texts are made.
    HourlyTable().swap(hourly);
    current = &inputs.yearly;
    DailyTable existing;
    if (inputs.yearly.bytes)
        JudgeYearlyRead(inputs.yearly.path,
                        ParseYearlyText(*inputs.yearly.bytes, inputs.yearly.path, existing), notes);
    MergeIntoYear(daily, existing);
    SortYearByDate(existing);
    YearContent year;
    BuildYearCalendar(inputs.yy, existing, year.days);
    if (checks.SawSubHourlyRows()) notes.push_back(message::SubHourlyRows());
    AddFindings(inputs, checks.Finish(), year);
    YearTexts texts;
    texts.files.reserve(YEAR_FILES.size());
    for (const YearFile& file : YEAR_FILES)
        texts.files.push_back(file.format(year));
    texts.suspectValues = year.SuspectValues();
    texts.findings = std::move(year.findings);
    texts.notes = std::move(notes);
    return texts;
}

} // namespace

// The companion renamed last before the yearly file is the findings file: a run cut off after the
// completeness companion keeps the old findings file, which still proves it belongs to the old yearly file,
// so the next run carries its findings of the kept days.
const std::array<YearFile, 3> YEAR_FILES = {{
    {FileKind::Yearly, YearlyFileName,
     [](const YearContent& year) -> std::optional<std::string> { return FormatYearlyText(year.days); }},
    {FileKind::Findings, FindingsFileName,
     [](const YearContent& year) -> std::optional<std::string> {
         if (year.findings.empty() || year.days.empty()) return std::nullopt;
         return FormatFindingsText(year.findings, year.days.front().year);
     }},
    {FileKind::Quality, QualityFileName,
     [](const YearContent& year) -> std::optional<std::string> {
         return FormatQualityText(year.days, year.suspect);
     }},
}};

int64_t YearContent::SuspectValues() const {
    int64_t n = 0;
    for (int32_t day : suspect)
        n += std::max(day, 0);
    return n;
}

YearTexts ComputeYear(const YearInputs& inputs) {
    const SourceFile* current = &inputs.yearly;
    try {
        return ComputeYearTracked(inputs, current);
    } catch (const std::bad_alloc&) {
        // The tables are freed by the time the message is made.
        const FileKind kind = current == &inputs.yearly ? FileKind::Yearly : FileKind::Monthly;
        throw KolvaneError(message::OutOfMemory(kind, current->path));
    }
}

SourceFile ReadMonthlyFile(FolderLookup& folder, const std::string& name) {
    return ReadSourceFile(FileKind::Monthly, folder, name);
}

SourceFile ReadYearlyFile(FolderLookup& folder, const std::string& name) {
    return ReadSourceFile(FileKind::Yearly, folder, name);
}

SourceFile ReadEarlierCompanion(const std::string& path) {
    SourceFile file{path, std::string()};
    if (ReadWholeFile(path, *file.bytes) != 0) file.bytes.reset();
    return file;
}

} // namespace kolvane
