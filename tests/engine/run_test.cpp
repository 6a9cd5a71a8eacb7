#include "support/EngineRun.h"
#include "support/Golden.h"
#include "support/Samples.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kolvane {
namespace {

using testing::ConvertYearRuns;
using testing::GOLDEN;
using testing::IsGolden;

using testing::MonthlyText;
using testing::TempFolder;

ConversionSettings Settings(const std::string& monthly, const std::string& output) {
    return ConversionSettings{35.5, monthly, output, StationKey{"03", "12"}};
}

TEST(YearRuns, GoldenYearsAcrossTheCenturyBoundary) {
    for (unsigned threads : {1u, 2u}) {
        SCOPED_TRACE(threads);
        TempFolder out;
        std::vector<std::string> written;
        ConvertYearRuns(
            PlanYearRuns({"2000/01", "1999/12"}, {"03", "12"}), Settings(GOLDEN + "monthly/", out.folder()),
            [&](const std::string& path) { written.push_back(path); }, threads);
        ASSERT_EQ(written,
                  (std::vector<std::string>{out.File("Y2000_0312.csv"), out.File("Y1999_0312.csv")}));
        // Each yearly file has its companion beside it, checked by hand against the monthly files: the
        // hours that reached each day, and the two days kept from the earlier Y2000 file.
        for (const char* name : {"Y2000_0312.csv", "Y1999_0312.csv", "Q2000_0312.csv", "Q1999_0312.csv"}) {
            SCOPED_TRACE(name);
            EXPECT_TRUE(IsGolden(out.File(name), name));
        }
        EXPECT_EQ(out.EntryCount(), 4);
    }
}

TEST(YearRuns, AMissingMonthAddsNoDayAndAnEmptyYearlyFileIsReplaced) {
    TempFolder monthly, out;
    auto run = [&](const std::vector<std::string>& months) {
        ConvertYearRuns(PlanYearRuns(months, {"03", "12"}), Settings(monthly.folder(), out.folder()));
    };
    // The name is matched ignoring case.
    monthly.Write("m0502_0312.CSV", MonthlyText(2005, 2, 3, 1));
    run({"2005/01", "2005/02"});
    std::string year = TempFolder::Read(out.File("Y2005_0312.csv"));
    EXPECT_NE(year.find("\"05/02/03\",0.0,10.0"), std::string::npos);
    EXPECT_NE(year.find("\"05/01/01\",X,"), std::string::npos);

    // An empty yearly file in the monthly folder is removed; the new one goes to the output folder.
    monthly.Write("Y2005_0312.csv", "");
    run({"2005/02"});
    EXPECT_FALSE(std::filesystem::exists(monthly.File("Y2005_0312.csv")));
}

} // namespace
} // namespace kolvane
