#include "daily/YearCalendar.h"
#include "formats/YearlyFile.h"
#include "support/Samples.h"

#include <gtest/gtest.h>

namespace kolvane {
namespace {

const std::string HEADER = testing::YEARLY_HEADER;

DailyTable Read(const std::string& utf8Text) {
    DailyTable table;
    ParseYearlyText(EncodeCp932(utf8Text), "Y2005_0312.csv", table);
    return table;
}

TEST(YearlyFile, LineFormatAndReadingBack) {
    // Header, line ends and empty days are held against the golden files; this day has the rounding edges.
    DailyTable year;
    BuildYearCalendar("00", {}, year);
    // In the file's column order.
    year[4] = DailyRecord{2000,    1,      5,       0,    -3.25,           2.675,  -999.04, 65.04,
                          1013.25, 100,    2.5,     9.95, 360.5,           12.344, -0.04,   6.671,
                          14.404,  -0.809, MISSING, 5,    DayOrigin::None, 0};
    const std::string bytes = FormatYearlyText(year);
    ASSERT_EQ(SplitLines(bytes).size(), 367u);
    EXPECT_EQ(SplitLines(bytes)[5],
              "\"00/01/05\",0.0,-3.3,2.7,-999.0,65.0,1013.3,E,2.5,10.0,X,12.34,-0.0,6.7,14.4,-0.81,X,5.0");

    DailyTable back;
    ParseYearlyText(bytes, "Y2000_0312.csv", back);
    ASSERT_EQ(back.size(), 366u);
    // -999.0 reads as missing (the format cannot tell it from a gap); 100 degrees was written "E".
    EXPECT_EQ(
        back[4],
        (DailyRecord{2000,    1,     5,    0,   -3.3, 2.7,   MISSING, 65.0, 1013.3,          90, 2.5, 10.0,
                     MISSING, 12.34, -0.0, 6.7, 14.4, -0.81, MISSING, 5,    DayOrigin::Kept, 0}));
    EXPECT_EQ(back[0].precip, MISSING);
    EXPECT_EQ(back[0].windDir, MISSING);

    // Reading what was written and writing it again changes nothing but the value that reads as missing:
    // a kept day keeps its "-0.0" (and "-0.00"), while a computed negative zero is written 0.0 as ever.
    back[4].tempMin = -999.04;
    EXPECT_TRUE(FormatYearlyText(back) == bytes);
    back[4].netRadiation = year[4].netRadiation = year[4].dewPoint = -0.0;
    EXPECT_EQ(SplitLines(FormatYearlyText(back))[5],
              "\"00/01/05\",0.0,-3.3,2.7,-999.0,65.0,1013.3,E,2.5,10.0,X,12.34,-0.0,6.7,14.4,-0.00,X,5.0");
    EXPECT_EQ(SplitLines(FormatYearlyText(year))[5],
              "\"00/01/05\",0.0,-3.3,2.7,-999.0,65.0,1013.3,E,2.5,10.0,X,12.34,0.0,6.7,14.4,0.00,X,5.0");
}

TEST(YearlyFile, ReaderAcceptsOnlyWholeRealDays) {
    const std::string x17 = ",X,X,X,X,X,X,X,X,X,X,X,X,X,X,X,X,X";
    DailyTable t = Read(HEADER + "\r\n" +
                        "\"98/01/01\",1.0,,X,X,X,X,X,X,X,X,X,X,X,X,X,X,X\r\n" // two adjacent commas
                        "\"98/02/29\"" +
                        x17 + "\r\n" + // no such day
                        "\"96/02/29\"" + x17 + "\r\n" + "\"00/02/29\"" + x17 + "\r\n" + "\"98/13/01\"" + x17 +
                        "\r\n" + // unreadable date
                        "X" + x17 + "\r\n" + "\"98/01/02\",1.0,2.0,X,X,X,X,nne,X,X,NNE,X,X,X,X,X,X,X\r\n" +
                        "\"98/01/03\"" + x17 + ",extra\r\n" + // field count
                        "\"98/01/05\",1.0,2.0\r\n" +          // a line cut short
                        "\"98/01/04\"" + x17);                // no line end
    ASSERT_EQ(t.size(), 4u);
    EXPECT_EQ(t[0].year, 1996);
    EXPECT_EQ(t[1].year, 2000);
    EXPECT_EQ(t[2].day, 2);
    EXPECT_EQ(t[2].windDir, MISSING); // codes are case-sensitive
    EXPECT_EQ(t[2].gustDir, 22.5);
    EXPECT_EQ(t[2].temp, 2.0);
    EXPECT_EQ(t[3].day, 4);
}

TEST(YearlyFile, ColumnsByNameAndHeaderErrors) {
    DailyTable t = Read("地中温度,水面蒸発,純放射,可照時間,日照,露点温度,日射,最大時風向,最大瞬間風速,"
                        "平均風速,最多風向,気圧,湿度,最低気温,最高気温,平均気温,降水量,年月日\r\n"
                        "18,17,16,15,14,13,12,S,10,9,W,7,6,5,4,3,2,\"05/06/07\"\r\n");
    ASSERT_EQ(t.size(), 1u);
    // The columns above are in the reverse order; the writer's own order is held by the golden files.
    std::string written;
    AppendYearlyLine(written, t[0]);
    EXPECT_EQ(written,
              "\"05/06/07\",2.0,3.0,4.0,5.0,6.0,7.0,W,9.0,10.0,S,12.00,13.0,14.0,15.0,16.00,17.0,18.0");
    EXPECT_EQ(t[0].origin, DayOrigin::Kept);

    auto errorOf = [](const std::string& bytes) {
        DailyTable table;
        return testing::MessageOf([&] { ParseYearlyText(bytes, "Y2005_0312.csv", table); });
    };
    EXPECT_NE(errorOf(EncodeCp932("年月日,降水量\r\n"))
                  .find("年次ファイル「Y2005_0312.csv」の見出し行に列「平均気温」がありません"),
              std::string::npos);
    // A file saved again in another encoding is told so, not reported as lacking its columns.
    const std::string line = "\"05/06/07\",2,3,4,5,6,7,W,9,10,S,12,13,14,15,16,17,18\r\n";
    const std::string saved =
        "年次ファイル「Y2005_0312.csv」は UTF-8 で保存されています。CP932 (Shift_JIS) で保存し直して下さい。";
    EXPECT_EQ(errorOf(HEADER + "\r\n" + line), saved);
}

} // namespace
} // namespace kolvane
