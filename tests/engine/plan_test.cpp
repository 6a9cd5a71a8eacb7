#include "engine/Plan.h"
#include "request/LatitudeTable.h"
#include "support/Samples.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kolvane {
namespace {

using testing::MessageOf;

TEST(Plan, PlansEachStationOnceWithItsMissingMonthsAndLatitude) {
    testing::TempFolder monthly;
    for (const char* name : {"M0501_0312.csv", "M0502_0312.csv", "M0501_0101.csv"})
        monthly.Write(name, "");
    std::filesystem::create_directory(monthly.File("M0503_0101.csv")); // taken, not missing

    ConversionRequest request;
    request.stations = {{"03", "12"}, {"01", "01"}, {"03", "12"}};
    request.months = {"2005/03", "2005/01"};
    request.latitude = {"35.5"};
    request.monthlyFolder = monthly.folder();
    request.outputFolder = monthly.folder();
    std::vector<StationPlan> plans = PlanConversion(request);
    ASSERT_EQ(plans.size(), 2u);
    EXPECT_EQ(StationName(plans[0].station), "0312");
    EXPECT_EQ(plans[0].missingMonths, (std::vector<std::string>{"2005/03"}));
    EXPECT_EQ(plans[0].runs.at(0).monthlyNames,
              (std::vector<std::string>{"M0501_0312.csv", "M0503_0312.csv"}));
    EXPECT_TRUE(plans[1].missingMonths.empty());
    EXPECT_TRUE(plans[0].replacedUnmerged.empty()); // written where they are merged from

    // A yearly file of another output folder would be replaced without its days: each station
    // names its own.
    testing::TempFolder out;
    out.Write("y2005_0101.CSV", "kept");
    out.Write("Y2006_0312.csv", "not a year of the run");
    request.outputFolder = out.folder();
    plans = PlanConversion(request);
    EXPECT_TRUE(plans[0].replacedUnmerged.empty());
    EXPECT_EQ(plans[1].replacedUnmerged, std::vector<std::string>{out.File("y2005_0101.CSV")});

    // Every station of the folder, each with its own months and the table's latitude.
    const std::string tablePath = monthly.Write("lat.txt", "0312,36\n0101,40:30:00\n");
    const LatitudeTable table = ReadLatitudeTable(tablePath);
    request = {};
    request.allStations = true;
    request.table = &table;
    request.monthlyFolder = monthly.folder();
    request.outputFolder = monthly.folder();
    plans = PlanConversion(request);
    ASSERT_EQ(plans.size(), 2u);
    EXPECT_EQ(StationName(plans[0].station), "0101");
    EXPECT_EQ(plans[0].settings.latitude, 40.5);
    EXPECT_EQ(plans[0].runs.at(0).monthlyNames, (std::vector<std::string>{"M0501_0101.csv"}));
    EXPECT_EQ(plans[1].settings.latitude, 36);

    const LatitudeTable partial = ReadLatitudeTable(monthly.Write("lat.txt", "0312,36\n"));
    request.table = &partial;
    EXPECT_EQ(MessageOf<RequestError>([&] { PlanConversion(request); }),
              "観測点 0101 の緯度が緯度の表「" + tablePath + "」にありません。");
}

} // namespace
} // namespace kolvane
