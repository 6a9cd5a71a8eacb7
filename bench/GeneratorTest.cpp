#include "WeatherGenerator.h"

#include "model/DateText.h"
#include "model/Numbers.h"
#include "model/Csv.h"
#include "model/Text.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace kolvane::bench {
namespace {

constexpr std::string_view kHeader =
    "年月日,時刻,降水量,気温,湿度,気圧,風向,平均風速,最大瞬間風速,最大時風向,日射量,露点温度,地中温度";

std::vector<std::vector<std::string>> DataRows(const std::string& bytes) {
    std::vector<std::vector<std::string>> rows;
    const std::string text = DecodeCp932(bytes);
    const auto lines = SplitLines(text);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::vector<std::string> fields;
        for (std::string_view f : SplitFields(lines[i]))
            fields.emplace_back(f);
        rows.push_back(std::move(fields));
    }
    return rows;
}

double Number(const std::string& field) {
    const LeadingNumber n = ParseLeadingNumber(field);
    EXPECT_EQ(n.status, NumberStatus::Ok) << field;
    EXPECT_EQ(n.end, field.size()) << field;
    return n.value;
}

TEST(WeatherGenerator, ParsesMonths) {
    EXPECT_EQ(ParseYearMonth("2024/01"), (YearMonth{2024, 1}));
    EXPECT_EQ(ParseYearMonth("1970/01"), (YearMonth{1970, 1}));
    EXPECT_EQ(ParseYearMonth("2069/12"), (YearMonth{2069, 12}));
    for (std::string_view bad :
         {"1969/12", "2070/01", "2024/00", "2024/13", "2024/1", "2024-01", "20a4/01", ""})
        EXPECT_FALSE(ParseYearMonth(bad)) << bad;

    EXPECT_EQ(NextMonth({2024, 12}), (YearMonth{2025, 1}));
}

// The shape the monthly reader expects: CP932 header, CR LF everywhere, 13 fields, every hour 1:00 to 24:00.
TEST(WeatherGenerator, WritesEveryHourInTheMonthlyFormat) {
    const GeneratedMonth month = GenerateMonth({2024, 2}, {7, false});
    const std::string& bytes = month.bytes;
    const std::string header = EncodeCp932(kHeader) + "\r\n";
    ASSERT_EQ(bytes.compare(0, header.size(), header), 0);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), std::count(bytes.begin(), bytes.end(), '\r'));
    EXPECT_TRUE(bytes.ends_with("\r\n"));
    EXPECT_EQ(bytes.find("\n\r\n"), std::string::npos); // no empty line

    const auto rows = DataRows(bytes);
    ASSERT_EQ(rows.size(), 29u * 24u); // leap year
    EXPECT_EQ(month.dataLines, rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto& r = rows[i];
        ASSERT_EQ(r.size(), 13u) << i;
        const int day = static_cast<int>(i / 24) + 1;
        const int hour = static_cast<int>(i % 24) + 1;
        const std::string date = "2024/02/" + std::string(day < 10 ? "0" : "") + std::to_string(day);
        EXPECT_EQ(r[0], date);
        EXPECT_EQ(r[1], std::to_string(hour) + ":00");
        auto when = ParseObservationTime(r[0] + " " + r[1]);
        ASSERT_TRUE(when) << r[0] << ' ' << r[1];
        DateParts parts = SplitObservationTime(*when);
        EXPECT_EQ(parts.day, day); // 24:00 stays with its own day
        EXPECT_EQ(parts.hour, hour);
    }
}

TEST(WeatherGenerator, ValuesArePlausibleForCentralJapan) {
    double precipTotal = 0, januaryTemp = 0, augustTemp = 0;
    int wetHours = 0, calmHours = 0, hours = 0, januaryHours = 0, augustHours = 0;
    double previousTemp = 0;
    std::size_t bytes = 0;
    for (int m = 1; m <= 12; ++m) {
        const GeneratedMonth month = GenerateMonth({2031, m}, {3, false});
        bytes += month.bytes.size();
        for (const auto& r : DataRows(month.bytes)) {
            const int hour = std::stoi(r[1]);
            const double precip = Number(r[2]), temp = Number(r[3]), humidity = Number(r[4]);
            const double pressure = Number(r[5]), dir = Number(r[6]), speed = Number(r[7]),
                         gust = Number(r[8]);
            const double gustDir = Number(r[9]), solar = Number(r[10]), dew = Number(r[11]),
                         ground = Number(r[12]);
            SCOPED_TRACE(r[0] + " " + r[1]);
            EXPECT_GE(precip, 0);
            EXPECT_TRUE(temp > -12 && temp < 40) << temp;
            EXPECT_TRUE(humidity >= 10 && humidity <= 100) << humidity;
            EXPECT_TRUE(pressure > 980 && pressure < 1045) << pressure;
            EXPECT_TRUE(dir >= 0 && dir <= 360) << dir;
            EXPECT_EQ(dir == 0, speed == 0); // direction 0 marks a calm hour
            EXPECT_GE(gust, speed);
            EXPECT_TRUE(gustDir >= 1 && gustDir <= 360) << gustDir;
            EXPECT_TRUE(solar >= 0 && solar < 3.8) << solar;
            if (hour <= 4 || hour >= 20) {
                EXPECT_EQ(solar, 0) << "sun at night";
            }
            EXPECT_LE(dew, temp + 0.1);
            EXPECT_TRUE(ground > 0 && ground < 35) << ground;
            if (hours > 0) {
                EXPECT_LT(std::abs(temp - previousTemp), 6.0) << "jump, also across month ends";
            }

            previousTemp = temp;
            precipTotal += precip;
            wetHours += precip > 0;
            calmHours += speed == 0;
            ++hours;
            if (m == 1) januaryTemp += temp, ++januaryHours;
            if (m == 8) augustTemp += temp, ++augustHours;
        }
    }
    EXPECT_EQ(hours, 365 * 24);
    EXPECT_TRUE(precipTotal > 900 && precipTotal < 2600) << precipTotal;
    EXPECT_TRUE(wetHours > hours * 0.03 && wetHours < hours * 0.2) << wetHours;
    EXPECT_TRUE(calmHours > 0 && calmHours < hours * 0.1) << calmHours;
    EXPECT_GT(augustTemp / augustHours, januaryTemp / januaryHours + 15);
    const double bytesPerLine = static_cast<double>(bytes) / hours;
    EXPECT_TRUE(bytesPerLine > 62 && bytesPerLine < 72) << bytesPerLine;
}

// One "X", one left-out hour and at most one empty field per file; nothing of the kind without blemishes.
TEST(WeatherGenerator, BlemishesOnlyWhenAsked) {
    int emptyFields = 0;
    for (int m = 1; m <= 6; ++m) {
        const GeneratedMonth clean = GenerateMonth({2024, m}, {1, false});
        const GeneratedMonth marked = GenerateMonth({2024, m}, {1, true});
        const auto cleanRows = DataRows(clean.bytes);
        const auto markedRows = DataRows(marked.bytes);
        ASSERT_EQ(markedRows.size() + 1, cleanRows.size());
        EXPECT_EQ(marked.dataLines, markedRows.size());

        int xs = 0, empties = 0, differing = 0;
        std::size_t c = 0;
        for (const auto& row : markedRows) {
            while (cleanRows[c][0] != row[0] || cleanRows[c][1] != row[1])
                ++c; // skip the left-out hour
            xs += static_cast<int>(std::count(row.begin(), row.end(), "X"));
            empties += static_cast<int>(std::count(row.begin(), row.end(), ""));
            differing += row != cleanRows[c];
            ++c;
        }
        EXPECT_EQ(xs, 1);
        EXPECT_LE(empties, 1);
        EXPECT_EQ(differing, 1 + empties); // the rest of the file is the clean month
        emptyFields += empties;
        for (const auto& row : cleanRows)
            EXPECT_TRUE(
                std::none_of(row.begin(), row.end(), [](const auto& f) { return f.empty() || f == "X"; }));
    }
    EXPECT_GT(emptyFields, 0);
    EXPECT_LT(emptyFields, 6);
}

// A month is a function of seed and month alone: the same on every machine and whatever range it is
// written in.
TEST(WeatherGenerator, OutputDependsOnlyOnSeedAndMonth) {
    const GeneratedMonth july = GenerateMonth({2030, 7}, {5, true});
    EXPECT_EQ(july.bytes.size(), 50216u);
    EXPECT_EQ(july.dataLines, 743u);
    const std::size_t first = july.bytes.find("\r\n") + 2;
    EXPECT_EQ(july.bytes.substr(first, 131),
              "2030/07/01,1:00,0.0,26.1,85,1008.2,0,0.0,0.6,116,0.00,23.4,24.1\r\n"
              "2030/07/01,2:00,0.0,25.1,87,1008.0,99,1.0,1.8,150,0.00,22.8,23.9\r\n");
    // The sample station that ships was made with seed 1; `sample-data` must make it again.
    std::ifstream sample(std::filesystem::path(KOLVANE_SOURCE_DATA) / "Data/M2401_0101.csv",
                         std::ios::binary);
    ASSERT_TRUE(sample);
    std::ostringstream shipped;
    shipped << sample.rdbuf();
    EXPECT_TRUE(shipped.str() == GenerateMonth({2024, 1}, {1, true}).bytes);
    EXPECT_NE(GenerateMonth({2030, 7}, {5, false}).bytes, GenerateMonth({2030, 7}, {6, false}).bytes);

    const auto folder =
        std::filesystem::temp_directory_path() / ("kolvane-gen-test-" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder);
    // Named as the converter names monthly files, across a year end.
    const StationTotals totals = WriteStation(folder / "sub", "01", "02", {2024, 11}, {2025, 2}, {9, true});
    EXPECT_EQ(totals.files, 4u);
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder / "sub"))
        names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"M2411_0102.csv", "M2412_0102.csv", "M2501_0102.csv",
                                               "M2502_0102.csv"}));
    std::ifstream in(folder / "sub" / "M2501_0102.csv", std::ios::binary);
    std::ostringstream january;
    january << in.rdbuf();
    EXPECT_EQ(january.str(), GenerateMonth({2025, 1}, {9, true}).bytes);
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace kolvane::bench
