#include "Texts.h"
#include "Verbs.h"

#include "checks/FindingsFile.h"
#include "formats/QualityFile.h"
#include "formats/YearlyFile.h"
#include "model/Error.h"
#include "model/FileIo.h"
#include "model/FileNames.h"
#include "model/Messages.h"

#include <algorithm>
#include <iostream>
#include <set>
#include <tuple>

namespace kolvane::cli {
namespace {

// The suspect values from a findings file that proves it belongs: a companion without their column (or
// none) leaves them to it. One that does not belong is said on stderr and not used.
void PrintFindingsFileCount(const std::string& yearlyPath, std::string_view bytes, bool orUnknown) {
    const YearFindings findings = ReadFindingsOf(yearlyPath, bytes);
    if (!findings.Belongs()) {
        if (!findings.Note().empty()) std::cerr << findings.Note() << "\n";
        if (orUnknown) std::cout << cli_text::SummarySuspectUnknown() << "\n";
        return;
    }
    std::set<std::tuple<int32_t, int32_t, int32_t>> days;
    for (const Finding& f : findings.rows)
        days.insert({f.year, f.month, f.day});
    std::cout << cli_text::SummarySuspectFromFindings(static_cast<int64_t>(findings.rows.size()),
                                                      static_cast<int>(days.size()))
              << "\n";
}

void PrintSuspect(const std::vector<DayQuality>& days, const std::string& yearlyPath,
                  std::string_view bytes) {
    int64_t values = 0;
    int withFindings = 0, unknown = 0;
    for (const DayQuality& d : days) {
        values += std::max(d.suspect, 0);
        withFindings += d.suspect > 0;
        unknown += d.suspect < 0;
    }
    if (unknown == static_cast<int>(days.size())) return PrintFindingsFileCount(yearlyPath, bytes, true);
    std::cout << cli_text::SummarySuspect(values, withFindings, unknown) << "\n";
}

void PrintGap(const QualitySummary& summary, bool classesKnown) {
    if (summary.longestGap == 0) {
        std::cout << cli_text::NoGap() << "\n";
        return;
    }
    const DayQuality& g = summary.gapStart;
    std::cout << (classesKnown ? cli_text::LongestGap(g.year, g.month, g.day, summary.longestGap)
                               : cli_text::LongestWithoutValues(g.year, g.month, g.day, summary.longestGap))
              << "\n";
}

} // namespace

void RequireYearlyFileName(std::string_view option, const std::string& path) {
    const std::string_view name = FileNameOf(path);
    if (name.empty() || (name[0] != 'Y' && name[0] != 'y'))
        throw UsageError(cli_text::NotAYearlyFile(option, path));
}

// What a yearly file and its companion say: the days with values, the days of each class and the
// longest gap. Without a companion of its own, what the yearly file alone shows.
int RunSummary(const SummaryCommand& command) {
    const std::string& yearlyPath = command.yearlyFile;
    RequireYearlyFileName("--summary", yearlyPath);
    std::string bytes;
    if (int e = ReadWholeFile(yearlyPath, bytes))
        throw KolvaneError(message::CannotRead(FileKind::Yearly, yearlyPath, e));
    DailyTable rows;
    ParseYearlyText(bytes, yearlyPath, rows);
    // The days as the values alone class them: with values, or none.
    std::vector<DayQuality> fromValues;
    for (const DailyRecord& d : rows)
        fromValues.push_back({d.year, d.month, d.day, -1, ClassifyDay(d), -1});
    const auto withValues = std::count_if(fromValues.begin(), fromValues.end(),
                                          [](const DayQuality& d) { return d.dayClass != DayClass::NoData; });

    const Companion companion = ReadCompanionOf(yearlyPath, bytes);
    std::cout << cli_text::SummaryHead(yearlyPath, rows.size(), static_cast<std::size_t>(withValues)) << "\n";
    if (companion.Belongs()) {
        const QualitySummary summary = SummarizeQuality(companion.rows);
        for (std::size_t c = 0; c < DAY_CLASSES.size(); ++c)
            std::cout << cli_text::SummaryClass(DayClassName(DAY_CLASSES[c]), summary.days[c]) << "\n";
        PrintGap(summary, true);
        PrintSuspect(companion.rows, yearlyPath, bytes);
        return 0;
    }
    // Written with --no-quality, or beside another yearly file's companion: the classes are unknown,
    // but the gaps still show in the values.
    if (companion.state == Belonging::Absent) std::cout << cli_text::NoCompanion(companion.path) << "\n";
    PrintGap(SummarizeQuality(fromValues), false);
    PrintFindingsFileCount(yearlyPath, bytes, false);
    if (companion.state != Belonging::Absent) throw KolvaneError(companion.Note());
    return 0;
}

} // namespace kolvane::cli
