#include "engine/Plan.h"
#include "request/LatitudeTable.h"
#include "support/Samples.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace kolvane {
namespace {

TEST(Plan, EachStationOnceWithTheYearlyFilesOfAnotherFolderItWouldReplaceAndItsTablesLatitude) {
    testing::TempFolder monthly, out;
    for (const char* name : {"M0501_0312.csv", "M0501_0101.csv", "Y2005_0101.csv"})
        monthly.Write(name, "");
    out.Write("y2005_0101.CSV", "kept"); // found as a case-insensitive system would
    out.Write("Y2006_0312.csv", "not a year of the run");
    ConversionRequest request;
    request.stations = {{"03", "12"}, {"01", "01"}, {"03", "12"}};
    request.months = {"2005/01"};
    request.latitude = {"35.5"};
    request.monthlyFolder = monthly.folder();
    request.outputFolder = out.folder();
    std::vector<StationPlan> plans = PlanConversion(request);
    ASSERT_EQ(plans.size(), 2u); // a station planned twice would wait for its own lock
    EXPECT_TRUE(plans[0].replacedUnmerged.empty());
    EXPECT_EQ(plans[1].replacedUnmerged, std::vector<std::string>{out.File("y2005_0101.CSV")});
    // The folder merged from, even written another way, replaces nothing unmerged.
    for (const std::string& same : {monthly.folder(), monthly.folder() + "./"}) {
        request.outputFolder = same;
        EXPECT_TRUE(PlanConversion(request).at(1).replacedUnmerged.empty()) << same;
    }

    // Every station of the folder takes its latitude from the table, which must name each.
    const std::string tablePath = monthly.Write("lat.txt", "0312,36\n");
    const LatitudeTable table = ReadLatitudeTable(tablePath);
    request.allStations = true;
    request.latitude.clear();
    request.table = &table;
    EXPECT_EQ(testing::MessageOf<RequestError>([&] { PlanConversion(request); }),
              "観測点 0101 の緯度が緯度の表「" + tablePath + "」にありません。");
}

} // namespace
} // namespace kolvane
