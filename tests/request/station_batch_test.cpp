#include "request/StationBatch.h"
#include "support/Samples.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kolvane {
namespace {

using Parts = std::vector<std::string>;

using testing::MessageOf;

// The message of the refusal to read the table, or "accepted".
std::string TableRefusal(const testing::TempFolder& folder, const std::string& text) {
    return MessageOf<RequestError>([&] { ReadLatitudeTable(folder.Write("table.csv", text)); });
}

TEST(LatitudeTable, ReadsRowsOfEitherFormAndNamesTheLineOfABadOne) {
    testing::TempFolder folder;
    const std::string path = folder.Write("t.csv", "\xEF\xBB\xBFstation,latitude\n"
                                                   " 0312 , 35:30:00 \r\n"
                                                   "\r\n"
                                                   "\"ab01\",\"44.25\"\r\n"
                                                   "0902,20:0:0,extra\r\n");
    const LatitudeTable table = ReadLatitudeTable(path);
    EXPECT_EQ(table.rows.size(), 3u);
    EXPECT_EQ(table.rows.at("0312"), (Parts{"35", "30", "00"}));
    EXPECT_EQ(table.rows.at("ab01"), (Parts{"44.25"}));
    EXPECT_EQ(table.rows.at("0902"), (Parts{"20", "0", "0"}));

    // No header: the first line is a row like the others, and a bad first row is named.
    EXPECT_EQ(TableRefusal(folder, "0312,35.5\n"), "accepted");
    const std::string named = "緯度の表「" + folder.File("table.csv") + "」の";
    EXPECT_EQ(TableRefusal(folder, "0312,55\n").rfind(named + "1行目", 0), 0u);
    for (const char* row :
         {"0312", "312,35.5", "0312,35:30", "0312,35:60:00", "0312,", "0312,abc", "0312,35.5\r\n0312,36"}) {
        SCOPED_TRACE(row);
        const std::string refusal = TableRefusal(folder, std::string("GGBB,lat\r\n0101,35.5\r\n") + row);
        EXPECT_EQ(
            refusal.rfind(named + (std::string(row).find('\n') == std::string::npos ? "3" : "4") + "行目", 0),
            0u)
            << refusal;
    }
    EXPECT_NE(TableRefusal(folder, "0312,35.5\r\n0312,36").find("重複"), std::string::npos);
    const std::string none = MessageOf<RequestError>([&] { ReadLatitudeTable(folder.File("none.csv")); });
    EXPECT_NE(none.find(folder.File("none.csv")), std::string::npos) << none;
}

TEST(StationBatch, PlansEachStationOnceWithItsMissingMonthsAndLatitude) {
    testing::TempFolder monthly;
    for (const char* name : {"M0501_0312.csv", "M0502_0312.csv", "M0501_0101.csv"})
        monthly.Write(name, "");
    std::filesystem::create_directory(monthly.File("M0503_0101.csv")); // taken, not missing

    BatchRequest request;
    request.stations = {{"03", "12"}, {"01", "01"}, {"03", "12"}};
    request.months = {"2005/03", "2005/01"};
    request.latitude = {"35.5"};
    request.monthlyFolder = monthly.folder();
    request.outputFolder = monthly.folder();
    std::vector<StationPlan> plans = PlanStations(request);
    ASSERT_EQ(plans.size(), 2u);
    EXPECT_EQ(StationName(plans[0].station), "0312");
    EXPECT_EQ(plans[0].missingMonths, (std::vector<std::string>{"2005/03"}));
    EXPECT_EQ(plans[0].run.runs.at(0).monthlyNames,
              (std::vector<std::string>{"M0501_0312.csv", "M0503_0312.csv"}));
    EXPECT_TRUE(plans[1].missingMonths.empty());

    // Every station of the folder, each with its own months and the table's latitude.
    const std::string tablePath = monthly.Write("lat.txt", "0312,36\n0101,40:30:00\n");
    const LatitudeTable table = ReadLatitudeTable(tablePath);
    request = {};
    request.allStations = true;
    request.table = &table;
    request.monthlyFolder = monthly.folder();
    request.outputFolder = monthly.folder();
    plans = PlanStations(request);
    ASSERT_EQ(plans.size(), 2u);
    EXPECT_EQ(StationName(plans[0].station), "0101");
    EXPECT_EQ(plans[0].run.settings.latitude, 40.5);
    EXPECT_EQ(plans[0].run.runs.at(0).monthlyNames, (std::vector<std::string>{"M0501_0101.csv"}));
    EXPECT_EQ(plans[1].run.settings.latitude, 36);

    const LatitudeTable partial = ReadLatitudeTable(monthly.Write("lat.txt", "0312,36\n"));
    request.table = &partial;
    EXPECT_EQ(MessageOf<RequestError>([&] { PlanStations(request); }),
              "観測点 0101 の緯度が緯度の表「" + tablePath + "」にありません。");
}

} // namespace
} // namespace kolvane
