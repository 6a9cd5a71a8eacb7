#include "Texts.h"
#include "Verbs.h"

#include "checks/FindingsFile.h"
#include "engine/YearJob.h"
#include "model/Error.h"
#include "model/FileNames.h"

#include <iostream>

namespace kolvane::cli {

// The findings files a conversion would write, printed instead: each line prefixed with the file's name,
// so that the lines of many years and stations stay apart and a script can grep them. Nothing is written.
int RunCheck(const std::vector<StationPlan>& plans) {
    std::vector<Finding> all;
    std::size_t failures = 0;
    for (const StationPlan& plan : plans) {
        ConversionSettings settings = plan.settings;
        settings.writeQuality = true;
        FolderLookup monthly(settings.monthlyFolder), output(settings.outputFolder);
        try {
            for (const YearRun& run : plan.runs) {
                const YearOutput year = ComputeYearRun(run, settings, monthly, output);
                for (const std::string& note : year.notes)
                    std::cerr << note << "\n";
                for (const OutputFile& file : year.files) {
                    if (file.kind != FileKind::Findings) continue;
                    const std::string_view name = FileNameOf(file.path);
                    for (const std::string& line : FindingLines(year.findings, run.Year()))
                        std::cout << name << ',' << line << "\n";
                }
                all.insert(all.end(), year.findings.begin(), year.findings.end());
            }
        } catch (const KolvaneError& e) {
            ++failures;
            std::cerr << cli_text::ErrorLine(
                             plans.size() == 1 ? std::string(e.what())
                                               : cli_text::StationFailed(StationName(plan.station), e.what()))
                      << "\n";
        }
    }
    const auto byKind = CountFindingsByKind(all);
    std::vector<std::pair<std::string_view, int64_t>> counts;
    for (CheckKind kind : CHECK_KINDS)
        counts.emplace_back(CheckKindName(kind), byKind[static_cast<std::size_t>(kind)]);
    std::cout << cli_text::CheckCounts(static_cast<int64_t>(all.size()), counts) << std::endl;
    return failures == 0 ? 0 : EXIT_CONVERSION_ERROR;
}

} // namespace kolvane::cli
