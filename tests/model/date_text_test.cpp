#include "model/DateText.h"

#include <gtest/gtest.h>

namespace kolvane {
namespace {

DateParts Split(const char* text) {
    auto value = ParseObservationTime(text);
    EXPECT_TRUE(value.has_value()) << text;
    return value ? SplitObservationTime(*value) : DateParts{};
}

void ExpectParts(const char* text, DateParts expected) {
    SCOPED_TRACE(text);
    DateParts p = Split(text);
    EXPECT_EQ(p.year, expected.year);
    EXPECT_EQ(p.month, expected.month);
    EXPECT_EQ(p.day, expected.day);
    EXPECT_EQ(p.hour, expected.hour);
    EXPECT_EQ(p.minute, expected.minute);
    EXPECT_EQ(p.second, expected.second);
}

TEST(ObservationTime, MidnightIsTheLastHourOfTheDayBefore) {
    ExpectParts("98/04/01 24:00", {1998, 4, 1, 24, 0, 0});
    ExpectParts("1998/04/02 00:00", {1998, 4, 1, 24, 0, 0});
    ExpectParts("1998/04/02 0:00:30", {1998, 4, 1, 24, 0, 30});
    ExpectParts("1998/12/31 24:00", {1998, 12, 31, 24, 0, 0});
    ExpectParts("2000/03/01 0:00", {2000, 2, 29, 24, 0, 0});
    ExpectParts("1998/04/01 00:30", {1998, 4, 1, 0, 30, 0});
    ExpectParts("1998/04/01", {1998, 3, 31, 24, 0, 0});
    // 24:00 is only a time of day: 5:24:00 is twenty-four minutes past five.
    ExpectParts("1998/04/01 5:24:00", {1998, 4, 1, 5, 24, 0});
    ExpectParts("1998/04/01 24:00:00", {1998, 4, 1, 24, 0, 0});
}

TEST(ObservationTime, CenturyRuleAndAcceptedForms) {
    ExpectParts("69/12/31 12:00", {2069, 12, 31, 12, 0, 0});
    ExpectParts("70/01/01 1:00", {1970, 1, 1, 1, 0, 0});
    ExpectParts("05/4/1 1:5", {2005, 4, 1, 1, 5, 0});
    ExpectParts("1998/4/1 1:00", {1998, 4, 1, 1, 0, 0});
    ExpectParts(" \t1998/04/01 \t 13:07:09  ", {1998, 4, 1, 13, 7, 9});
}

TEST(ObservationTime, UnreadableTexts) {
    for (const char* text : {"",
                             "X",
                             "1998/02/29 1:00",
                             "1998/13/01",
                             "1998/04/31",
                             "1998/00/10",
                             "98/4/1 25:00",
                             "1998/04/01 24:30",
                             "1998/04/01 24:0",
                             "1998/04/01 1:60",
                             "1998/04/01 1:00:60",
                             "1998/04/01 1",
                             "1998/04/01 1:00:00:00",
                             "1998-04-01 1:00",
                             "998/04/01",
                             "19980/04/01",
                             "1998/004/01",
                             "1998/04/01T1:00",
                             "1998/04/01 -1:00",
                             "a8/04/01",
                             "1998/04/01 1:00 pm",
                             "\"1998/04/01\" 1:00"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(ParseObservationTime(text).has_value());
    }
}

TEST(ShortDate, TwoDigitParts) {
    EXPECT_EQ(FormatShortDate(2000, 1, 5), "00/01/05");
    EXPECT_EQ(FormatShortDate(1998, 4, 1), "98/04/01");
    EXPECT_EQ(PadTwoDigits(1998), "98");
    EXPECT_EQ(PadTwoDigits(4), "04");
    EXPECT_EQ(PadTwoDigits(0), "00");
    EXPECT_EQ(FourDigitYear("69"), "2069");
    EXPECT_EQ(FourDigitYear("70"), "1970");
}

} // namespace
} // namespace kolvane
