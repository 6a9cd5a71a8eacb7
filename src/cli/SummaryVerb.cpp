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

} // namespace

// What a yearly file and its companion say: the days with values, the days of each class and the
// longest gap.
int RunSummary(const SummaryCommand& command) {
    const std::string& yearlyPath = command.yearlyFile;
    const std::string_view name = FileNameOf(yearlyPath);
    if (name.empty() || (name[0] != 'Y' && name[0] != 'y'))
        throw UsageError(cli_text::NotAYearlyFile(yearlyPath));
    std::string bytes;
    if (int e = ReadWholeFile(yearlyPath, bytes))
        throw KolvaneError(message::CannotRead(FileKind::Yearly, yearlyPath, e));
    DailyTable rows;
    ParseYearlyText(bytes, yearlyPath, rows);
    const auto withValues = std::count_if(
        rows.begin(), rows.end(), [](const DailyRecord& d) { return ClassifyDay(d) != DayClass::NoData; });

    const Companion companion = ReadCompanionOf(yearlyPath, bytes);
    // What the yearly file alone says is true either way; the classes only from its own companion.
    std::cout << cli_text::SummaryHead(yearlyPath, rows.size(), static_cast<std::size_t>(withValues)) << "\n";
    if (companion.state == Belonging::Absent) {
        // Written with --no-quality: the classes are unknown, but the gaps still show in the values.
        std::cout << cli_text::NoCompanion(companion.path) << "\n";
        std::size_t longest = 0, start = 0;
        for (std::size_t i = 0, run = 0; i < rows.size(); ++i) {
            run = ClassifyDay(rows[i]) == DayClass::NoData ? run + 1 : 0;
            if (run > longest) longest = run, start = i + 1 - run;
        }
        if (longest == 0) {
            std::cout << cli_text::NoGap() << "\n";
        } else {
            const DailyRecord& g = rows[start];
            std::cout << cli_text::LongestWithoutValues(g.year, g.month, g.day, static_cast<int>(longest))
                      << "\n";
        }
        PrintFindingsFileCount(yearlyPath, bytes, false);
        return 0;
    }
    if (!companion.Belongs()) throw KolvaneError(companion.Note());
    const QualitySummary summary = SummarizeQuality(companion.rows);
    for (std::size_t c = 0; c < DAY_CLASSES.size(); ++c)
        std::cout << cli_text::SummaryClass(DayClassName(DAY_CLASSES[c]), summary.days[c]) << "\n";
    if (summary.longestGap == 0) {
        std::cout << cli_text::NoGap() << "\n";
    } else {
        const DayQuality& g = summary.gapStart;
        std::cout << cli_text::LongestGap(g.year, g.month, g.day, summary.longestGap) << "\n";
    }
    PrintSuspect(companion.rows, yearlyPath, bytes);
    return 0;
}

} // namespace kolvane::cli
