#include "model/Csv.h"
#include "model/DateText.h"
#include "model/Numbers.h"
#include "model/Text.h"
#include "support/Samples.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <optional>
#include <tuple>

namespace kolvane {
namespace {

TEST(Csv, FieldsQuotesAndEscapesReadBackAsWritten) {
    EXPECT_EQ(SplitFields(",a,,b,"), (std::vector<std::string_view>{"", "a", "", "b", ""}));
    std::string buffer;
    for (auto [field, stripped] : {std::pair{"24/07/17", "24/07/17"},
                                   {"\"24/07/17\"", "24/07/17"},
                                   {"\"24\"/07/17", "24/07/17"},
                                   {"\"", ""},
                                   {"\"\"\"", ""}})
        EXPECT_EQ(StripQuotes(field, buffer), stripped) << field;

    // Every field a log line may hold comes back from the quoted reader as it went in.
    const std::vector<std::string> fields = {"plain", "01-03,07", "say \"hi\"", "two\r\nlines", ""};
    std::string line;
    CsvWriter writer(line);
    for (const std::string& f : fields)
        writer.AddEscaped(f);
    EXPECT_EQ(line, "plain,\"01-03,07\",\"say \"\"hi\"\"\",\"two\r\nlines\",");
    EXPECT_EQ(SplitQuotedFields(line), fields);
    writer.EndLine();
    writer.AddQuotedDate(2024, 7, 5).Add("X");
    EXPECT_TRUE(line.ends_with("lines\",\r\n\"24/07/05\",X")) << line;
}

TEST(Csv, HeaderColumnsAreFoundOnceByName) {
    constexpr std::array<std::string_view, 2> required = {"年月日", "気温"};
    constexpr std::array<std::string_view, 1> optional = {"備考"};
    const HeaderColumns c = MapHeader(EncodeCp932("気温,x,年月日,備考,備考"), required, optional,
                                      FileKind::Yearly, "Y2024_0312.csv");
    EXPECT_EQ(std::tie(c.required, c.optional, c.fields, c.needed),
              std::tuple(std::vector<std::size_t>{2, 0}, std::vector<std::optional<std::size_t>>{3}, 5u, 3u));
    EXPECT_FALSE(MapHeader(EncodeCp932("年月日,気温"), required, optional, FileKind::Yearly, "f")
                     .optional[0]
                     .has_value());

    auto refusedSaying = [&](const std::string& header, const std::string& what) {
        return testing::MessageOf([&] {
                   MapHeader(header, required, optional, FileKind::Findings, "C.csv");
               }).find(what) != std::string::npos;
    };
    EXPECT_TRUE(refusedSaying(EncodeCp932("年月日"), "「気温」がありません"));
    EXPECT_TRUE(refusedSaying(EncodeCp932("年月日,気温,年月日"), "「年月日」が重複しています"));
    EXPECT_TRUE(refusedSaying("年月日,気温x", "UTF-8 で保存されています"));
    EXPECT_TRUE(refusedSaying(std::string("\xFF\xFE") + "a", "UTF-16"));
}

// The direct readings must give exactly what the general rules give, or decline.
TEST(Csv, UsualFormsReadAsTheGeneralRulesReadThem) {
    const std::pair<const char*, const char*> hours[] = {
        {"2024/04/01", "1:00"},  {"2024/04/01", "23:59"}, {"2024/04/01", "01:00"},
        {"2024/04/01", "0:00"},  {"2024/04/01", "24:00"}, {"2024/12/31", "24:00"},
        {"2024/02/29", "3:00"},  {"2023/02/29", "3:00"},  {"2024/04/31", "3:00"},
        {"2024/13/01", "3:00"},  {"2024/00/01", "3:00"},  {"2024/04/01", "1:60"},
        {"2024/04/01", "24:30"}, {"2024/04/01", "1:0"},   {"\"2024/04/01\"", "\"5:00\""},
        {"24/04/01", "5:00"},    {"2024/4/1", "5:00"},    {" 2024/04/01", "5:00 "},
        {"2024/04/01", "a:00"},  {"2024-04-01", "5:00"},  {"9999/12/31", "24:00"},
        {"0000/01/01", "5:00"},  {"1900/02/29", "3:00"},  {"2000/02/29", "3:00"},
        {"0000/02/29", "3:00"},  {"2024/02/30", "3:00"},  {"2024/06/31", "3:00"}};
    std::string buffer, joined;
    for (auto [date, time] : hours) {
        SCOPED_TRACE(std::string(date) + " " + time);
        std::string d = date, t = time;
        std::erase(d, '"');
        std::erase(t, '"');
        const auto general = ParseObservationTime(d + " " + t);
        const auto read = ReadObservationHour(date, time, buffer);
        ASSERT_EQ(read.has_value(), general.has_value());
        if (!general) continue;
        const DateParts g = SplitObservationTime(*general);
        EXPECT_EQ(std::tie(read->year, read->month, read->day, read->hour, read->minute, read->second),
                  std::tie(g.year, g.month, g.day, g.hour, g.minute, g.second));
    }

    // As a line of a file holds them, the empty field among them.
    for (std::string_view field :
         SplitFields("12.3,-0.5,-0,0,1013,5.,123456789.123456,0.000001,2.675,999999999.999999,"
                     "1234567890,1.1234567,.5,+1, 1,1e3,12abc,,-,X")) {
        SCOPED_TRACE(field);
        double value = 0;
        if (!ReadPlainDecimal(field, value)) continue;
        const LeadingNumber n = ParseLeadingNumber(field);
        EXPECT_EQ(n.end, std::string_view(field).size());
        EXPECT_EQ(std::bit_cast<uint64_t>(value), std::bit_cast<uint64_t>(n.value));
    }
    double value = 0;
    EXPECT_FALSE(ReadPlainDecimal("1234567890", value) || ReadPlainDecimal("1e3", value) ||
                 ReadPlainDecimal(".5", value) || ReadPlainDecimal("1.1234567", value));
}

} // namespace
} // namespace kolvane
