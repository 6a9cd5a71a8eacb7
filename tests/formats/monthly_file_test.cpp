#include "formats/MonthlyFile.h"
#include "support/Samples.h"

#include <gtest/gtest.h>

namespace kolvane {
namespace {

const std::string HEADER = testing::MONTHLY_HEADER;

HourlyTable ReadBytes(const std::string& bytes) {
    HourlyTable table;
    ParseMonthlyText(bytes, "M0504_0312.csv", table);
    return table;
}

HourlyTable Read(const std::string& utf8Text) {
    return ReadBytes(EncodeCp932(utf8Text));
}

std::string ErrorOf(const std::string& utf8Text) {
    return testing::MessageOf([&] { Read(utf8Text); });
}

TEST(MonthlyFile, ColumnsAreFoundByNameInAnyOrder) {
    HourlyTable t = Read("時刻,年月日,降水量,湿度,気圧,風向,平均風速,最大瞬間風速,最大時風向,日射量,"
                         "露点温度,地中温度,気温,備考\r\n"
                         "3:00,2005/04/02,1.5,80,1001.5,270,3.5,7.25,280,0.12,9.5,11.5,12.5,晴れ\r\n");
    ASSERT_EQ(t.size(), 1u);
    // In the record's order: date, hour, minute and second 0, then the values.
    EXPECT_EQ(t[0], (HourlyRecord{2005, 4, 2, 3, 0, 0, 1.5, 12.5, 80, 1001.5, 270, 3.5, 7.25, 280, 0.12, 9.5,
                                  11.5}));
}

TEST(MonthlyFile, IncompleteAndUnreadableLinesAreLeftOut) {
    HourlyTable t = Read(HEADER + "\r\n" +
                         "2005/04/01,1:00,0,1,50,1000,90,1,2,90,0,1,5\r\n"   // kept
                         "2005/04/01,2:00,0,2,50,1000,90,1,2,90,0,1,X\r\n"   // X in the last column
                         "2005/04/01,3:00,0,3,50,,90,1,2,90,0,1,5\r\n"       // empty field
                         "\r\n"                                              // empty line
                         "2005/04/01,4:00,0,4,50,1000,90,1,2,90,0,1\r\n"     // one field short
                         "2005/04/01,5:00,0,5,50,1000,90,1,2,90,0,1,5,9\r\n" // one field more
                         "2005/04/31,6:00,0,6,50,1000,90,1,2,90,0,1,5\r\n"   // no such date
                         "2005/04/01,7:60,0,7,50,1000,90,1,2,90,0,1,5\r\n"   // no such time
                         "2005/04/01,8:00,0,x,abc,1000,90,1,2,90,0,1,5\n"    // x and text read as 0; LF end
                         "\"05/04/01\",\"9:00\",\"1\",9,50,1000,90,1,2,90,0,1,5\r\n" // quoted date and time
                         "1998/04/02,0:00,0,2,50,1000,90,1,2,90,0,1,5\r\n"           // midnight ends 1 April
                         "98/04/02,1:00,0,3,50,1000,90,1,2,90,0,1,5\r\n"             // two-digit year
                         "2005/04/01,10:00,0,10,50,1000,90,1,2,90,0,1,5"); // no line end: still read
    // Year, day, hour, temperature, humidity and rain of each line taken.
    const std::vector<std::vector<double>> expected = {{2005, 1, 1, 1, 50, 0}, {2005, 1, 8, 0, 0, 0},
                                                       {2005, 1, 9, 9, 50, 0}, {1998, 1, 24, 2, 50, 0},
                                                       {1998, 2, 1, 3, 50, 0}, {2005, 1, 10, 10, 50, 0}};
    ASSERT_EQ(t.size(), expected.size());
    for (std::size_t i = 0; i < t.size(); ++i)
        EXPECT_EQ((std::vector<double>{double(t[i].year), double(t[i].day), double(t[i].hour), t[i].temp,
                                       t[i].humidity, t[i].precip}),
                  expected[i])
            << i;
}

// The field count decides before a missing value does, and a value is the whole field, however the
// reader finds its end.
TEST(MonthlyFile, FieldCountsAndValuesAsTheFieldsHaveThem) {
    struct Case {
        const char* line;
        bool taken, unreadable;
        double temp; // when taken
    };
    const Case cases[] = {
        {"2005/04/01,1:00,0,7.5,50,1000,90,1,2,90,0,1,5,", true, false, 7.5}, // Excel's trailing comma
        {"2005/04/01,1:00,0,7.5,50,1000,90,1,2,90,0,1,5,,", false, true, 0},  // two of them
        {"2005/04/01,1:00,0,7.5,50,1000,90,1,2,90,0,1,", false, false, 0},    // the last value empty
        {"2005/04/01,1:00,0,X,50,1000,90,1,2,90,0,1,5,9", false, true, 0},    // missing, and a field more
        {"2005/04/01,1:00,0,X,50,1000,90,1,2,90,0,1", false, true, 0},        // missing, and a field short
        {"2005/04/01,1:00,0,1234567890,50,1000,90,1,2,90,0,1,5", true, false, 1234567890},
        {"2005/04/01,1:00,0,1.1234567,50,1000,90,1,2,90,0,1,5", true, false, 1.1234567},
        {"2005/04/01,1:00,0,12.5abc,50,1000,90,1,2,90,0,1,5", true, false, 12.5},
        {"2005/04/01,1:00,0,-3.,50,1000,90,1,2,90,0,1,5", true, false, -3},
        {"2005/04/01,1:00,0, 4,50,1000,90,1,2,90,0,1,5", true, false, 4},
        {"2005/04/01,1:00,0,1e1,50,1000,90,1,2,90,0,1,5", true, false, 10},
        {"2005/04/01,1:00,0,7.5,50,1000,90,1,2,90,0,1,5.25", true, false, 7.5}, // a value at the very end
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        HourlyTable table;
        const LinesRead read =
            ParseMonthlyText(EncodeCp932(HEADER + "\r\n" + c.line), "M0504_0312.csv", table);
        ASSERT_EQ(read.taken, c.taken ? 1u : 0u);
        EXPECT_EQ(read.unreadable, c.unreadable ? 1u : 0u);
        if (c.taken) {
            EXPECT_EQ(table[0].temp, c.temp);
        }
    }
}

TEST(MonthlyFile, TheHourTableTakesNoMoreRoomThanTheFileHasLines) {
    // A file of years of hours must not need its table twice over while the table grows.
    const HourlyTable table = ReadBytes(testing::MonthlyText(2005, 2, 1, 28));
    ASSERT_EQ(table.size(), 28u * 24);
    EXPECT_LE(table.capacity(), 28u * 24 + 1);
}

TEST(MonthlyFile, HeaderProblemsAndHugeNumbersStopWithAMessage) {
    EXPECT_TRUE(Read("").empty());
    EXPECT_TRUE(Read(HEADER + "\r\n").empty());

    const std::string missing = ErrorOf(HEADER.substr(0, HEADER.rfind(',')) + "\r\n");
    EXPECT_NE(missing.find("M0504_0312.csv"), std::string::npos) << missing;
    EXPECT_NE(missing.find("「地中温度」がありません"), std::string::npos) << missing;
    EXPECT_NE(ErrorOf(HEADER + ",気温\r\n").find("「気温」が重複しています"), std::string::npos);
    // A near-miss name (a trailing blank) is not the column.
    EXPECT_NE(ErrorOf("年月日 " + HEADER.substr(std::string("年月日").size()) + "\r\n").find("「年月日」"),
              std::string::npos);

    // Saved again by an editor in UTF-8: the user is told the encoding, not a missing column.
    const std::string utf8 = HEADER + "\r\n2005/04/01,1:00,0,1,50,1000,90,1,2,90,0,1,5\r\n";
    EXPECT_NE(
        testing::MessageOf([&] { ReadBytes(utf8); }).find("「M0504_0312.csv」は UTF-8 で保存されています"),
        std::string::npos);

    const std::string huge = ErrorOf(HEADER + "\r\n2005/04/01,1:00,0,1e999,50,1000,90,1,2,90,0,1,5\r\n");
    EXPECT_NE(huge.find("2行目"), std::string::npos) << huge;
}

} // namespace
} // namespace kolvane
