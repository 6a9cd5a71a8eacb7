#include "convert/YearlyFile.h"
#include "daily/YearCalendar.h"
#include "model/Error.h"
#include "model/Text.h"

#include <gtest/gtest.h>

namespace kolvane {
namespace {

const std::string HEADER = "年月日,降水量,平均気温,最高気温,最低気温,湿度,気圧,最多風向,平均風速,"
                           "最大瞬間風速,最大時風向,日射,露点温度,日照,可照時間,純放射,水面蒸発,地中温度";

WeatherTable Read(const std::string& utf8Text) {
    WeatherTable table;
    ParseYearlyText(EncodeCp932(utf8Text), "Y2005_0312.csv", table);
    return table;
}

WeatherRecord SampleDay() {
    WeatherRecord r;
    r.valid = -1;
    r.year = 2000;
    r.month = 1;
    r.day = 5;
    r.hour = 12;
    r.precip = 0;
    r.temp = -3.25;
    r.tempMax = 2.675;
    r.tempMin = -999.04;
    r.humidity = 65.04;
    r.pressure = 1013.25;
    r.windDir = 100;
    r.windSpeed = 2.5;
    r.gust = 9.95;
    r.gustDir = 360.5;
    r.solar = 12.344;
    r.dewPoint = -0.04;
    r.sunshine = 6.671;
    r.dayLength = 14.404;
    r.netRadiation = -0.809;
    r.evaporation = MISSING;
    r.groundTemp = 5;
    return r;
}

TEST(YearlyFile, LineFormat) {
    std::string line;
    AppendYearlyLine(line, SampleDay());
    EXPECT_EQ(line,
              "\"00/01/05\",0.0,-3.3,2.7,-999.0,65.0,1013.3,E,2.5,10.0,X,12.34,-0.0,6.7,14.4,-0.81,X,5.0");
}

TEST(YearlyFile, WholeYearIsCp932WithCrLfAndReadsBack) {
    WeatherTable year;
    BuildYearCalendar("00", {}, year);
    ASSERT_EQ(year.size(), 366u);
    year[4] = SampleDay();
    std::string bytes = FormatYearlyText(year);

    EXPECT_EQ(bytes.substr(0, bytes.find("\r\n")), EncodeCp932(HEADER));
    auto lines = SplitLines(bytes);
    ASSERT_EQ(lines.size(), 367u);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), std::count(bytes.begin(), bytes.end(), '\r'));
    EXPECT_EQ(lines[1], "\"00/01/01\",X,X,X,X,X,X,X,X,X,X,X,X,X,X,X,X,X");
    EXPECT_EQ(lines[60], "\"00/02/29\",X,X,X,X,X,X,X,X,X,X,X,X,X,X,X,X,X");

    WeatherTable back;
    ParseYearlyText(bytes, "Y2000_0312.csv", back);
    ASSERT_EQ(back.size(), 366u);
    for (const WeatherRecord& r : back) {
        EXPECT_EQ(r.valid, -1);
        EXPECT_EQ(r.hour, 12);
    }
    const WeatherRecord& day = back[4];
    EXPECT_EQ(day.year, 2000);
    EXPECT_EQ(day.temp, -3.3);
    EXPECT_EQ(day.tempMin, MISSING); // the format cannot tell a value written -999.0 from a missing one
    EXPECT_EQ(day.windDir, 90);      // 100 degrees written "E"
    EXPECT_EQ(day.gustDir, -999);
    EXPECT_EQ(day.evaporation, MISSING);
    EXPECT_EQ(day.netRadiation, -0.81);
    EXPECT_EQ(back[0].precip, MISSING);
    EXPECT_EQ(back[0].windDir, -999);

    // Reading what was written and writing it again changes nothing but those two edge values.
    back[4].tempMin = -999.04;
    back[4].dewPoint = -0.04;
    EXPECT_TRUE(FormatYearlyText(back) == bytes);

    WeatherTable plain;
    BuildYearCalendar("05", {}, plain);
    EXPECT_EQ(SplitLines(FormatYearlyText(plain)).size(), 366u);
}

TEST(YearlyFile, ReaderAcceptsOnlyWholeRealDays) {
    const std::string x17 = ",X,X,X,X,X,X,X,X,X,X,X,X,X,X,X,X,X";
    WeatherTable t = Read(HEADER + "\r\n" +
                          "\"98/01/01\",1.0,,X,X,X,X,X,X,X,X,X,X,X,X,X,X,X\r\n" // two adjacent commas
                          "\"98/02/29\"" +
                          x17 + "\r\n" + // no such day
                          "\"96/02/29\"" + x17 + "\r\n" + "\"00/02/29\"" + x17 + "\r\n" + "\"98/13/01\"" +
                          x17 + "\r\n" + // unreadable date
                          "X" + x17 + "\r\n" + "\"98/01/02\",1.0,2.0,X,X,X,X,nne,X,X,NNE,X,X,X,X,X,X,X\r\n" +
                          "\"98/01/03\"" + x17 + ",extra\r\n" + // field count
                          "\"98/01/04\"" + x17);                // no line end
    ASSERT_EQ(t.size(), 4u);
    EXPECT_EQ(t[0].year, 1996);
    EXPECT_EQ(t[1].year, 2000);
    EXPECT_EQ(t[2].day, 2);
    EXPECT_EQ(t[2].windDir, -999);
    EXPECT_EQ(t[2].gustDir, 22.5);
    EXPECT_EQ(t[2].temp, 2.0);
    EXPECT_EQ(t[3].day, 4);
}

TEST(YearlyFile, ColumnsByNameAndHeaderErrors) {
    WeatherTable t = Read("地中温度,水面蒸発,純放射,可照時間,日照,露点温度,日射,最大時風向,最大瞬間風速,"
                          "平均風速,最多風向,気圧,湿度,最低気温,最高気温,平均気温,降水量,年月日\r\n"
                          "18,17,16,15,14,13,12,S,10,9,W,7,6,5,4,3,2,\"05/06/07\"\r\n");
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0].groundTemp, 18);
    EXPECT_EQ(t[0].evaporation, 17);
    EXPECT_EQ(t[0].gustDir, 180);
    EXPECT_EQ(t[0].windDir, 270);
    EXPECT_EQ(t[0].precip, 2);
    EXPECT_EQ(t[0].month, 6);

    try {
        Read("年月日,降水量\r\n");
        FAIL() << "a header without its columns was accepted";
    } catch (const KolvaneError& e) {
        EXPECT_NE(std::string(e.what()).find(
                      "年次ファイル「Y2005_0312.csv」の見出し行に列「平均気温」がありません"),
                  std::string::npos)
            << e.what();
    }
}

TEST(YearlyFile, AFileSavedInAnotherEncodingIsToldSo) {
    auto errorOf = [](const std::string& bytes) -> std::string {
        WeatherTable table;
        try {
            ParseYearlyText(bytes, "Y2005_0312.csv", table);
        } catch (const KolvaneError& e) {
            return e.what();
        }
        return "accepted";
    };
    const std::string line = "\"05/06/07\",2,3,4,5,6,7,W,9,10,S,12,13,14,15,16,17,18\r\n";
    const std::string saved =
        "年次ファイル「Y2005_0312.csv」は UTF-8 で保存されています。CP932 (Shift_JIS) で保存し直して下さい。";
    EXPECT_EQ(errorOf(HEADER + "\r\n" + line), saved);
    EXPECT_EQ(errorOf("\xEF\xBB\xBF" + HEADER + "\r\n" + line), saved);
    EXPECT_NE(
        errorOf("\xFF\xFE\x74\x5E\x08\x67\xE5\x65\x2C\x00\r\x00\n\x00").find("は UTF-16 で保存されています"),
        std::string::npos);
    // A CP932 header that merely lacks a column still names the column.
    EXPECT_NE(errorOf(EncodeCp932("年月日\r\n")).find("の見出し行に列「降水量」がありません"),
              std::string::npos);
}

} // namespace
} // namespace kolvane
