#include "convert/RunDriver.h"
#include "model/Error.h"
#include "model/Text.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace kolvane {
namespace {

using testing::TempFolder;

const std::string GOLDEN = std::string(KOLVANE_TEST_DATA) + "/golden/";
const std::string MONTHLY_HEADER_TEXT =
    "年月日,時刻,降水量,気温,湿度,気圧,風向,平均風速,最大瞬間風速,最大時風向,日射量,露点温度,地中温度\r\n";

std::string MonthlyText(const std::string& date, double windSpeed) {
    std::string text = EncodeCp932(MONTHLY_HEADER_TEXT);
    for (int h = 1; h <= 24; ++h) {
        text += date + "," + std::to_string(h) + ":00,0.0,10.0,60,1010.0,90," + std::to_string(windSpeed) +
                ",5.0,90,0.50,2.0,8.0\r\n";
    }
    return text;
}

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
        for (const char* name : {"Y2000_0312.csv", "Y1999_0312.csv"}) {
            SCOPED_TRACE(name);
            EXPECT_TRUE(TempFolder::Read(out.File(name)) == TempFolder::Read(GOLDEN + "expected/" + name));
        }
        EXPECT_EQ(out.EntryCount(), 2);
    }
}

TEST(YearRuns, ConvertingIntoTheMonthlyFolderTwiceGivesTheSameFile) {
    TempFolder folder;
    for (const char* name : {"M9912_0312.csv", "M0001_0312.csv", "Y2000_0312.csv"})
        folder.Write(name, TempFolder::Read(GOLDEN + "monthly/" + name));
    auto runs = PlanYearRuns({"2000/01", "1999/12"}, {"03", "12"});
    ConvertYearRuns(runs, Settings(folder.folder(), folder.folder()), {});
    const std::string first = TempFolder::Read(folder.File("Y2000_0312.csv"));
    EXPECT_TRUE(first == TempFolder::Read(GOLDEN + "expected/Y2000_0312.csv"));
    ConvertYearRuns(runs, Settings(folder.folder(), folder.folder()), {});
    EXPECT_TRUE(TempFolder::Read(folder.File("Y2000_0312.csv")) == first);
}

TEST(YearRuns, AFailingYearStopsTheRunAndLeavesItsFileAndLaterOnesUntouched) {
    for (unsigned threads : {1u, 2u}) {
        SCOPED_TRACE(threads);
        TempFolder monthly, out;
        monthly.Write("M0501_0312.csv", MonthlyText("2005/01/05", 2.0));
        monthly.Write("M0601_0312.csv", MonthlyText("2006/01/07", -2.0)); // impossible wind speed
        monthly.Write("M0701_0312.csv", MonthlyText("2007/01/09", 2.0));
        for (const char* name : {"Y2005_0312.csv", "Y2006_0312.csv", "Y2007_0312.csv"})
            out.Write(name, "old");

        std::vector<std::string> written;
        try {
            ConvertYearRuns(
                PlanYearRuns({"2005/01", "2006/01", "2007/01"}, {"03", "12"}),
                Settings(monthly.folder(), out.folder()),
                [&](const std::string& path) { written.push_back(path); }, threads);
            FAIL() << "the impossible day was converted";
        } catch (const KolvaneError& e) {
            std::string message = e.what();
            EXPECT_NE(message.find(monthly.File("M0601_0312.csv")), std::string::npos) << message;
            EXPECT_NE(message.find("2006年1月7日"), std::string::npos) << message;
        }
        EXPECT_EQ(written, std::vector<std::string>{out.File("Y2005_0312.csv")});
        EXPECT_NE(TempFolder::Read(out.File("Y2005_0312.csv")), "old");
        EXPECT_EQ(TempFolder::Read(out.File("Y2006_0312.csv")), "old");
        EXPECT_EQ(TempFolder::Read(out.File("Y2007_0312.csv")), "old");
        EXPECT_EQ(out.EntryCount(), 3); // no temporary file left
    }
}

TEST(YearRuns, FileProblems) {
    TempFolder monthly, out;
    auto run = [&](const std::vector<std::string>& months, const std::string& output) {
        ConvertYearRuns(PlanYearRuns(months, {"03", "12"}), Settings(monthly.folder(), output), {});
    };
    auto messageOf = [&](const std::vector<std::string>& months, const std::string& output) -> std::string {
        try {
            run(months, output);
        } catch (const KolvaneError& e) {
            return e.what();
        }
        return "";
    };

    // A month without its file adds no day; the name is matched ignoring case.
    monthly.Write("m0502_0312.CSV", MonthlyText("2005/02/03", 2.0));
    run({"2005/01", "2005/02"}, out.folder());
    std::string year = TempFolder::Read(out.File("Y2005_0312.csv"));
    EXPECT_NE(year.find("\"05/02/03\",0.0,10.0"), std::string::npos);
    EXPECT_NE(year.find("\"05/01/01\",X,"), std::string::npos);

    // An empty yearly file in the monthly folder is removed; the new one goes to the output folder.
    monthly.Write("Y2005_0312.csv", "");
    run({"2005/02"}, out.folder());
    EXPECT_FALSE(std::filesystem::exists(monthly.File("Y2005_0312.csv")));

    // A monthly file that cannot be read, and an output folder that does not exist.
    std::filesystem::create_directory(monthly.File("M0503_0312.csv"));
    EXPECT_NE(messageOf({"2005/03"}, out.folder()).find("を読み込めません（ファイルではなくフォルダです）"),
              std::string::npos);
    std::string missingFolder = messageOf({"2005/02"}, out.File("nowhere/"));
    EXPECT_NE(
        missingFolder.find("年次ファイル「" + out.File("nowhere/Y2005_0312.csv") + "」を書き込めません"),
        std::string::npos)
        << missingFolder;

    // A yearly file that lacks a column stops the run before anything is written.
    monthly.Write("Y2005_0312.csv", EncodeCp932("年月日,降水量\r\n\"05/01/01\",1.0\r\n"));
    out.Write("Y2005_0312.csv", "previous");
    EXPECT_NE(messageOf({"2005/02"}, out.folder()).find("「平均気温」がありません"), std::string::npos);
    EXPECT_EQ(TempFolder::Read(out.File("Y2005_0312.csv")), "previous");
}

} // namespace
} // namespace kolvane
