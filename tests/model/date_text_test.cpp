#include "model/DateText.h"

#include <gtest/gtest.h>

#include <tuple>

namespace kolvane {
namespace {

TEST(ObservationTime, MidnightIsTheLastHourOfTheDayBeforeAndTheCenturyRuleHolds) {
    struct Case {
        const char* text;
        int year, month, day, hour, minute, second;
    };
    const Case cases[] = {{"98/04/01 24:00", 1998, 4, 1, 24, 0, 0},
                          {"1998/04/02 00:00", 1998, 4, 1, 24, 0, 0},
                          {"1998/04/02 0:00:30", 1998, 4, 1, 24, 0, 30},
                          {"1998/12/31 24:00", 1998, 12, 31, 24, 0, 0},
                          {"2000/03/01 0:00", 2000, 2, 29, 24, 0, 0},
                          {"1998/04/01 00:30", 1998, 4, 1, 0, 30, 0},
                          {"1998/04/01", 1998, 3, 31, 24, 0, 0},
                          // 24:00 is only a time of day: 5:24:00 is twenty-four minutes past five.
                          {"1998/04/01 5:24:00", 1998, 4, 1, 5, 24, 0},
                          {"1998/04/01 24:00:00", 1998, 4, 1, 24, 0, 0},
                          {"69/12/31 12:00", 2069, 12, 31, 12, 0, 0},
                          {"70/01/01 1:00", 1970, 1, 1, 1, 0, 0},
                          {"05/4/1 1:5", 2005, 4, 1, 1, 5, 0},
                          {"1998/4/1 1:00", 1998, 4, 1, 1, 0, 0},
                          {" \t1998/04/01 \t 13:07:09  ", 1998, 4, 1, 13, 7, 9}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto value = ParseObservationTime(c.text);
        ASSERT_TRUE(value.has_value());
        const DateParts p = SplitObservationTime(*value);
        EXPECT_EQ(std::tie(p.year, p.month, p.day, p.hour, p.minute, p.second),
                  std::tie(c.year, c.month, c.day, c.hour, c.minute, c.second));
    }
}

TEST(ObservationTime, UnreadableTexts) {
    // No such date, or not a date written as the files write it; then no such time of day.
    for (const char* dates :
         {"", "X", "1998/02/29 1:00", "1998/13/01", "1998/04/31", "1998/00/10", "1998-04-01 1:00",
          "998/04/01", "19980/04/01", "1998/004/01", "1998/04/01T1:00", "a8/04/01", "\"1998/04/01\" 1:00"}) {
        SCOPED_TRACE(dates);
        EXPECT_FALSE(ParseObservationTime(dates).has_value());
    }
    for (const char* times : {"98/4/1 25:00", "1998/04/01 24:30", "1998/04/01 24:0", "1998/04/01 1:60",
                              "1998/04/01 1:00:60", "1998/04/01 1", "1998/04/01 1:00:00:00",
                              "1998/04/01 -1:00", "1998/04/01 1:00 pm", "9999/12/31 24:00"}) {
        SCOPED_TRACE(times);
        EXPECT_FALSE(ParseObservationTime(times).has_value());
    }
}

} // namespace
} // namespace kolvane
