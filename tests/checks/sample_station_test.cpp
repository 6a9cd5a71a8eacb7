#include "checks/HourlyChecks.h"
#include "formats/MonthlyFile.h"
#include "model/FileIo.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>

namespace kolvane {
namespace {

// The sample station is generated data that carries five faults on purpose (README, "Plausibility
// checks"). They are all the checks may find there: anything else would be the generator's habit taken
// for a fault, the first thing a new user sees.
TEST(SampleStation, FindsOnlyTheFaultsPlantedInIt) {
    using Hour = std::tuple<int, int, int, int, std::string, CheckKind>; // y, m, d, h, column
    std::set<Hour> found;
    for (const char* yy : {"24", "25"}) {
        HourlyChecks checks(35.5);
        int rows = 0;
        for (int month = 1; month <= 12; ++month) {
            const std::string path = std::string(KOLVANE_SOURCE_DATA) + "/Data/M" + yy +
                                     (month < 10 ? "0" : "") + std::to_string(month) + "_0101.csv";
            std::string bytes;
            if (ReadWholeFile(path, bytes)) continue;
            HourlyTable hourly;
            ParseMonthlyText(bytes, path, hourly);
            rows += static_cast<int>(hourly.size());
            checks.Add(hourly);
        }
        ASSERT_GT(rows, 2000) << yy;
        for (const Finding& f : checks.Finish())
            found.insert(
                {f.year, f.month, f.day, f.hour, std::string(MONTHLY_VALUE_COLUMNS[f.column].name), f.kind});
    }
    std::set<Hour> planted = {
        {2024, 4, 18, 14, "気温", CheckKind::Step},
        {2025, 1, 20, 16, "気圧", CheckKind::Step},
        {2024, 10, 2, 3, "日射量", CheckKind::Consistency},
        {2025, 2, 12, 9, "最大瞬間風速", CheckKind::Consistency},
    };
    for (int h = 10; h <= 15; ++h)
        planted.insert({2024, 8, 7, h, "日射量", CheckKind::Persistence});
    EXPECT_EQ(found, planted);
}

} // namespace
} // namespace kolvane
