#include "formats/MonthlyFile.h"
#include "support/Samples.h"

#include <gtest/gtest.h>

namespace kolvane {
namespace {

const std::string HEADER = testing::MONTHLY_HEADER;

std::string ErrorOf(const std::string& bytes) {
    HourlyTable table;
    return testing::MessageOf([&] { ParseMonthlyText(bytes, "M0504_0312.csv", table); });
}

// The field count decides before a missing value does, and a value is the whole field, however the
// reader finds its end. Column order, quoting and line ends are held by the golden files.
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
        {"2005/04/01,1:00,0,7.5,50,1000,90,1,2,90,0,1,X", false, false, 0},   // the last value missing
        {"2005/04/01,1:00,0,7.5,50,,90,1,2,90,0,1,5", false, false, 0},       // an empty field
        {"2005/04/01,1:00,0,X,50,1000,90,1,2,90,0,1,5,9", false, true, 0},    // missing, and a field more
        {"2005/04/01,1:00,0,X,50,1000,90,1,2,90,0,1", false, true, 0},        // missing, and a field short
        {"2005/04/31,1:00,0,7.5,50,1000,90,1,2,90,0,1,5", false, true, 0},    // no such date
        {"2005/04/01,7:60,0,7.5,50,1000,90,1,2,90,0,1,5", false, true, 0},    // no such time
        {"2005/04/01,1:00,0,1234567890,50,1000,90,1,2,90,0,1,5", true, false, 1234567890},
        {"2005/04/01,1:00,0,1.1234567,50,1000,90,1,2,90,0,1,5", true, false, 1.1234567},
        {"2005/04/01,1:00,0,12.5abc,50,1000,90,1,2,90,0,1,5", true, false, 12.5},
        {"2005/04/01,1:00,0,x,50,1000,90,1,2,90,0,1,5", true, false, 0},
        {"2005/04/01,1:00,0,-3.,50,1000,90,1,2,90,0,1,5", true, false, -3},
        {"2005/04/01,1:00,0, 4,50,1000,90,1,2,90,0,1,5", true, false, 4},
        {"2005/04/01,1:00,0,1e1,50,1000,90,1,2,90,0,1,5", true, false, 10},
        {"2005/04/01,1:00,0,7.5,50,1000,90,1,2,90,0,1,5.25", true, false, 7.5},  // a value at the very end
        {"\r\n2005/04/01,1:00,0,7.5,50,1000,90,1,2,90,0,1,5", true, false, 7.5}, // after an empty line
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

TEST(MonthlyFile, HeaderProblemsAndHugeNumbersStopWithAMessage) {
    HourlyTable table;
    EXPECT_EQ(ParseMonthlyText("", "M0504_0312.csv", table).taken, 0u);

    const std::string missing = ErrorOf(EncodeCp932(HEADER.substr(0, HEADER.rfind(',')) + "\r\n"));
    EXPECT_NE(missing.find("M0504_0312.csv"), std::string::npos) << missing;
    EXPECT_NE(missing.find("「地中温度」がありません"), std::string::npos) << missing;
    // A near-miss name (a trailing blank) is not the column.
    EXPECT_NE(ErrorOf(EncodeCp932("年月日 " + HEADER.substr(std::string("年月日").size()) + "\r\n"))
                  .find("「年月日」"),
              std::string::npos);
    const std::string huge =
        ErrorOf(EncodeCp932(HEADER + "\r\n2005/04/01,1:00,0,1e999,50,1000,90,1,2,90,0,1,5\r\n"));
    EXPECT_NE(huge.find("2行目"), std::string::npos) << huge;
}

} // namespace
} // namespace kolvane
