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
        ConvertYearRuns(PlanYearRuns({"2000/01", "1999/12"}, {"03", "12"}),
                        Settings(GOLDEN + "monthly/", out.folder()), nullptr, threads);
        // Each yearly file has its companion beside it, checked by hand against the monthly files: the
        // hours that reached each day, and the two days kept from the earlier Y2000 file.
        for (const char* name : {"Y2000_0312.csv", "Y1999_0312.csv", "Q2000_0312.csv", "Q1999_0312.csv"}) {
            SCOPED_TRACE(name);
            EXPECT_TRUE(IsGolden(out.File(name), name));
        }
        EXPECT_EQ(out.EntryCount(), 4);
    }
}

// A monthly file is found whatever the case of its name; an empty yearly file in the monthly folder is
// removed, the new one going to the output folder.
TEST(YearRuns, AMonthlyFileIsMatchedIgnoringCaseAndAnEmptyYearlyFileIsReplaced) {
    TempFolder monthly, out;
    monthly.Write("m0502_0312.CSV", MonthlyText(2005, 2, 3, 1));
    monthly.Write("Y2005_0312.csv", "");
    ConvertYearRuns(PlanYearRuns({"2005/02"}, {"03", "12"}), Settings(monthly.folder(), out.folder()));
    EXPECT_NE(TempFolder::Read(out.File("Y2005_0312.csv")).find("\"05/02/03\",0.0,10.0"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(monthly.File("Y2005_0312.csv")));
}

} // namespace
} // namespace kolvane
