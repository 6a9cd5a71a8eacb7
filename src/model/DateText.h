#pragma once

#include "model/Records.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kolvane {

// A calendar date with a time of day.
struct DateTime {
    std::chrono::sys_days date;
    int32_t hour = 0;
    int32_t minute = 0;
    int32_t second = 0;
};

// The six date parts of an hourly record, in record order.
struct DateParts {
    int32_t year = 0;
    int32_t month = 0;
    int32_t day = 0;
    int32_t hour = 0;
    int32_t minute = 0;
    int32_t second = 0;
};

// Century rule for a two-character year: "19" when its leading-number value is 70 or more, else "20".
std::string_view CenturyPrefix(std::string_view yy);
// The century prefix followed by the two characters, e.g. "98" -> "1998", "05" -> "2005".
std::string FourDigitYear(std::string_view yy);

// Reads an observation date-time. Blanks (space, tab) around it are allowed. The date is Y/M/D with a
// four-digit year, or a two-digit year that the century rule completes, and must exist; month and day
// have one or two digits. Optionally one or more blanks and H:MM or H:MM:SS follow (hour 0 to 23,
// minutes and seconds 0 to 59, one or two digits each); "24:00" (seconds allowed) is 0:00 of the next
// day. Anything else cannot be read.
std::optional<DateTime> ParseObservationTime(std::string_view text);

// Breaks a value into date parts; midnight (hour 0, minute 0) is hour 24 of the day before.
DateParts SplitObservationTime(const DateTime& value);

// The hour of a date field and a time field, their quotes removed, read as ParseObservationTime reads the
// date, a blank and the time, and broken up by SplitObservationTime; none when it cannot be read. The
// usual forms (2024/04/01 with 1:00 to 23:59) are read directly, the rest by the general rule, which
// `buffer` serves.
std::optional<DateParts> ReadObservationHour(std::string_view date, std::string_view time,
                                             std::string& buffer);

// The last two characters of "0" followed by the decimal text: 1998 -> "98", 4 -> "04".
std::string PadTwoDigits(int32_t value);

// Copies the six date parts into a record, which always takes them together.
void SetDateParts(HourlyRecord& record, const DateParts& parts);

// The place of a date in its year, 1 January being 0; none for a date that does not exist.
std::optional<std::size_t> DayInYear(int32_t year, int32_t month, int32_t day);

// "yy/mm/dd", each part by PadTwoDigits.
std::string FormatShortDate(int32_t year, int32_t month, int32_t day);
void AppendShortDate(std::string& out, int32_t year, int32_t month, int32_t day);

} // namespace kolvane
