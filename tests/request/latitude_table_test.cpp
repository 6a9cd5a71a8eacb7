#include "request/ConversionRequest.h"
#include "request/LatitudeTable.h"
#include "support/Samples.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace kolvane {
namespace {

using Parts = std::vector<std::string>;
using namespace std::string_literals;

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
                                                   "0902,20:0:0,extra\r\n"
                                                   "0903,43:03:00,141:21:00\r\n");
    const LatitudeTable table = ReadLatitudeTable(path);
    EXPECT_EQ(table.rows.size(), 4u);
    EXPECT_EQ(table.longitudes, (std::map<std::string, Parts>{{"0903", {"141", "21", "00"}}}));
    EXPECT_EQ(table.rows.at("0312"), (Parts{"35", "30", "00"}));
    EXPECT_EQ(table.rows.at("ab01"), (Parts{"44.25"}));
    EXPECT_EQ(table.rows.at("0902"), (Parts{"20", "0", "0"}));

    // No header: the first line is a row like the others, and a bad first row is named.
    EXPECT_EQ(TableRefusal(folder, "0312,35.5\n"), "accepted");
    const std::string named = "緯度の表「" + folder.File("table.csv") + "」の";
    EXPECT_EQ(TableRefusal(folder, "0312,55\n").rfind(named + "1行目", 0), 0u);
    for (const char* row : {"0312", "312,35.5", "0312,", "0312,35.5\r\n0312,36"}) {
        SCOPED_TRACE(row);
        const std::string refusal = TableRefusal(folder, std::string("GGBB,lat\r\n0101,35.5\r\n") + row);
        EXPECT_EQ(
            refusal.rfind(named + (std::string(row).find('\n') == std::string::npos ? "3" : "4") + "行目", 0),
            0u)
            << refusal;
    }
    EXPECT_NE(TableRefusal(folder, "0312,35.5\r\n0312,36").find("重複"), std::string::npos);
    for (const char* row : {"0312,35.5,14", "0312,35.5,160.5", "0312,35.5,139:60:00"})
        EXPECT_NE(TableRefusal(folder, row).find("経度は 120-155 度"), std::string::npos) << row;

    // A row the degrees box would let through only while typing, and station codes that are no names.
    EXPECT_NE(TableRefusal(folder, "0101,4:0:0").find("20-49"), std::string::npos);
    for (const std::string& row : {"03..,35.5"s, "0\00012,35.5"s /* a NUL */}) {
        const std::string refusal = TableRefusal(folder, "GGBB,lat\r\n" + row);
        EXPECT_EQ(refusal.rfind(named + "2行目", 0), 0u) << refusal;
        EXPECT_NE(refusal.find("ファイル名に使えません"), std::string::npos) << refusal;
    }
    const std::string none = MessageOf<RequestError>([&] { ReadLatitudeTable(folder.File("none.csv")); });
    EXPECT_NE(none.find(folder.File("none.csv")), std::string::npos) << none;
}

} // namespace
} // namespace kolvane
