#include "formats/Year.h"
#include "support/EngineRun.h"
#include "support/Samples.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kolvane {
namespace {

using testing::ConvertYearRuns;

using testing::MessageOf;
using testing::MonthlyText;
using testing::TempFolder;

const std::string GOLDEN = std::string(KOLVANE_TEST_DATA) + "/golden/";

ConversionSettings Settings(const std::string& monthly, const std::string& output) {
    return ConversionSettings{35.5, monthly, output, StationKey{"03", "12"}};
}

TEST(YearRuns, AYearIsAFunctionOfItsInputsAlone) {
    // No folder is involved: the texts alone make the year, and a missing month adds no day.
    YearInputs inputs{
        .yy = "05",
        .latitude = 35.5,
        .monthly = {{"M0501_0312.csv", std::nullopt}, {"M0502_0312.csv", MonthlyText(2005, 2, 3, 1)}}};
    const std::string year = ComputeYear(inputs).yearly();
    EXPECT_NE(year.find("\"05/02/03\",0.0,10.0"), std::string::npos);
    EXPECT_NE(year.find("\"05/01/01\",X,"), std::string::npos);

    // The earlier yearly file's days stay where no month replaces them.
    inputs.monthly.clear();
    inputs.yearly = {"Y2005_0312.csv", year};
    EXPECT_EQ(ComputeYear(inputs).yearly(), year);

    inputs.monthly = {{"M0506_0312.csv", MonthlyText(2005, 6, 1, 1, "-2.0")}};
    EXPECT_EQ(MessageOf([&] { ComputeYear(inputs); }),
              "月次ファイル「M0506_0312.csv」の2005年6月1日の値を計算できません（計算結果が数値になりません。"
              "平均湿度・平均風速などの値を確認して下さい）。");
}

TEST(YearRuns, GoldenYearsAcrossTheCenturyBoundary) {
    for (unsigned threads : {1u, 2u}) {
        SCOPED_TRACE(threads);
        TempFolder out;
        std::vector<std::string> written;
        ConvertYearRuns(
            PlanYearRuns({"2000/01", "1999/12"}, {"03", "12"}), Settings(GOLDEN + "monthly/", out.folder()),
            {.written = [&](std::size_t, const std::string& path) { written.push_back(path); }}, threads);
        ASSERT_EQ(written,
                  (std::vector<std::string>{out.File("Y2000_0312.csv"), out.File("Y1999_0312.csv")}));
        // Each yearly file has its companion beside it, checked by hand against the monthly files: the
        // hours that reached each day, and the two days kept from the earlier Y2000 file.
        for (const char* name : {"Y2000_0312.csv", "Y1999_0312.csv", "Q2000_0312.csv", "Q1999_0312.csv"}) {
            SCOPED_TRACE(name);
            EXPECT_TRUE(TempFolder::Read(out.File(name)) == TempFolder::Read(GOLDEN + "expected/" + name));
        }
        EXPECT_EQ(out.EntryCount(), 4);
    }
}

TEST(YearRuns, AFailingYearStopsTheRunAndLeavesItsFileAndLaterOnesUntouched) {
    for (unsigned threads : {1u, 2u}) {
        SCOPED_TRACE(threads);
        TempFolder monthly, out;
        monthly.Write("M0501_0312.csv", MonthlyText(2005, 1, 5, 1));
        monthly.Write("M0601_0312.csv", MonthlyText(2006, 1, 7, 1, "-2.0")); // impossible wind speed
        monthly.Write("M0701_0312.csv", MonthlyText(2007, 1, 9, 1));
        for (const char* name : {"Y2005_0312.csv", "Y2006_0312.csv", "Y2007_0312.csv"})
            out.Write(name, "old");

        std::vector<std::string> written;
        const std::string message = MessageOf([&] {
            ConvertYearRuns(
                PlanYearRuns({"2005/01", "2006/01", "2007/01"}, {"03", "12"}),
                Settings(monthly.folder(), out.folder()),
                {.written = [&](std::size_t, const std::string& path) { written.push_back(path); }}, threads);
        });
        EXPECT_NE(message.find(monthly.File("M0601_0312.csv")), std::string::npos) << message;
        EXPECT_NE(message.find("2006年1月7日"), std::string::npos) << message;
        EXPECT_EQ(written, std::vector<std::string>{out.File("Y2005_0312.csv")});
        EXPECT_NE(TempFolder::Read(out.File("Y2005_0312.csv")), "old");
        EXPECT_EQ(TempFolder::Read(out.File("Y2006_0312.csv")), "old");
        EXPECT_EQ(TempFolder::Read(out.File("Y2007_0312.csv")), "old");
        EXPECT_EQ(out.EntryCount(), 5); // 2005 and its companions; no temporary file left
    }
}

TEST(YearRuns, CancelStopsBeforeTheNextYearAndLeavesItsFileAsItWas) {
    for (unsigned threads : {1u, 2u}) {
        SCOPED_TRACE(threads);
        TempFolder monthly, out;
        for (int yy : {5, 6, 7})
            monthly.Write("M0" + std::to_string(yy) + "01_0312.csv", MonthlyText(2000 + yy, 1, 5, 1));
        out.Write("Y2006_0312.csv", "old");

        std::size_t asked = 0;
        std::vector<std::size_t> counts;
        const testing::OneStationOutcome outcome =
            ConvertYearRuns(PlanYearRuns({"2005/01", "2006/01", "2007/01"}, {"03", "12"}),
                            Settings(monthly.folder(), out.folder()),
                            {.written = [&](std::size_t n, const std::string&) { counts.push_back(n); },
                             .cancelled = [&] { return ++asked > 1; }},
                            threads);
        EXPECT_TRUE(outcome.cancelled);
        EXPECT_EQ(outcome.written, 1u);
        EXPECT_EQ(counts, std::vector<std::size_t>{1});
        EXPECT_NE(TempFolder::Read(out.File("Y2005_0312.csv")), "");
        EXPECT_EQ(TempFolder::Read(out.File("Y2006_0312.csv")), "old");
        EXPECT_EQ(out.EntryCount(), 4); // 2005 with its companions, nothing of 2007, no temporary file
    }
}

TEST(YearRuns, AMissingMonthAddsNoDayAndAnEmptyYearlyFileIsReplaced) {
    TempFolder monthly, out;
    auto run = [&](const std::vector<std::string>& months) {
        ConvertYearRuns(PlanYearRuns(months, {"03", "12"}), Settings(monthly.folder(), out.folder()), {});
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
