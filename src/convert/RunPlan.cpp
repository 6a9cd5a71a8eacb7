#include "convert/RunPlan.h"

#include "model/DateText.h"
#include "model/Numbers.h"

namespace kolvane {

std::string MonthlyFileName(int32_t year, int32_t month, const StationKey& key) {
    return "M" + PadTwoDigits(year) + PadTwoDigits(month) + "_" + key.group + key.bucket + ".csv";
}

std::string YearlyFileName(std::string_view yy, const StationKey& key) {
    return "Y" + FourDigitYear(yy) + "_" + key.group + key.bucket + ".csv";
}

std::string QualityFileName(std::string_view yy, const StationKey& key) {
    return QualityFileNameOf(YearlyFileName(yy, key));
}

std::string QualityFileNameOf(std::string_view yearlyFileName) {
    std::string name(yearlyFileName);
    if (!name.empty()) name[0] = name[0] == 'y' ? 'q' : 'Q';
    return name;
}

std::string MonthlyFileNameOfEntry(std::string_view entry, const StationKey& key) {
    const std::size_t slash = entry.find('/');
    const auto year = static_cast<int32_t>(LeadingNumberOrZero(entry.substr(0, slash)));
    const auto month = static_cast<int32_t>(
        slash == std::string_view::npos ? 0 : LeadingNumberOrZero(entry.substr(slash + 1)));
    return MonthlyFileName(year, month, key);
}

std::string QualityPathOf(const std::string& yearlyPath) {
    const std::size_t slash = yearlyPath.rfind('/');
    const std::size_t name = slash == std::string::npos ? 0 : slash + 1;
    return yearlyPath.substr(0, name) + QualityFileNameOf(std::string_view(yearlyPath).substr(name));
}

std::vector<YearRun> PlanYearRuns(const std::vector<std::string>& selectedEntries, const StationKey& key) {
    std::vector<YearRun> runs;
    for (const std::string& entry : selectedEntries) {
        std::string name = MonthlyFileNameOfEntry(entry, key);
        std::string yy = name.substr(1, 2);
        if (runs.empty() || runs.back().yy != yy) runs.push_back({{}, yy});
        runs.back().monthlyNames.push_back(std::move(name));
    }
    return runs;
}

} // namespace kolvane
