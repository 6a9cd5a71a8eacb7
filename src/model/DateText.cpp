#include "model/DateText.h"

#include "model/Csv.h"
#include "model/Numbers.h"
#include "model/Text.h"

namespace kolvane {
namespace {

// Reads 1 to maxDigits digits at text[i]; advances i.
bool ReadDigits(std::string_view text, std::size_t& i, std::size_t minDigits, std::size_t maxDigits,
                int32_t& value) {
    std::size_t start = i;
    value = 0;
    while (i < text.size() && IsAsciiDigit(text[i]) && i - start < maxDigits)
        value = value * 10 + (text[i++] - '0');
    std::size_t n = i - start;
    if (n < minDigits) return false;
    return i >= text.size() || !IsAsciiDigit(text[i]);
}

bool Expect(std::string_view text, std::size_t& i, char c) {
    if (i < text.size() && text[i] == c) {
        ++i;
        return true;
    }
    return false;
}

int32_t Digit(char c) {
    return c - '0';
}

// Of a four-digit year, on the calendar as <chrono> has it; inline, for every line of a monthly file.
bool IsRealDate(int32_t year, int32_t month, int32_t day) {
    static constexpr int32_t DAYS[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1) return false;
    const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    return day <= DAYS[month - 1] + (month == 2 && leap ? 1 : 0);
}

// "yyyy/mm/dd" and "h:mm" or "hh:mm" with an hour of 1 to 23, or "24:00" (the day's last hour, unless
// the next day's year has five digits): nothing for the general rule to decide.
std::optional<DateParts> ReadUsualHour(std::string_view date, std::string_view time) {
    if (date.size() != 10 || date[4] != '/' || date[7] != '/' || time.size() < 4 || time.size() > 5 ||
        time[time.size() - 3] != ':')
        return std::nullopt;
    for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (!IsAsciiDigit(date[i])) return std::nullopt;
    for (std::size_t i = 0; i < time.size(); ++i)
        if (i != time.size() - 3 && !IsAsciiDigit(time[i])) return std::nullopt;
    const int32_t hour = time.size() == 4 ? Digit(time[0]) : Digit(time[0]) * 10 + Digit(time[1]);
    const int32_t minute = Digit(time[time.size() - 2]) * 10 + Digit(time.back());
    if (hour < 1 || minute > 59 || (hour > 23 && (hour != 24 || minute != 0))) return std::nullopt;
    DateParts parts{Digit(date[0]) * 1000 + Digit(date[1]) * 100 + Digit(date[2]) * 10 + Digit(date[3]),
                    Digit(date[5]) * 10 + Digit(date[6]),
                    Digit(date[8]) * 10 + Digit(date[9]),
                    hour,
                    minute,
                    0};
    if (!IsRealDate(parts.year, parts.month, parts.day) ||
        (hour == 24 && parts.year == 9999 && parts.month == 12 && parts.day == 31))
        return std::nullopt;
    return parts;
}

} // namespace

std::optional<DateParts> ReadObservationHour(std::string_view date, std::string_view time,
                                             std::string& buffer) {
    // Digits and separators only: no quotes to take away first.
    if (auto usual = ReadUsualHour(date, time)) return usual;
    // Short enough to stay inside the strings themselves; used only for fields in quotes.
    std::string dateCopy, timeCopy;
    date = StripQuotes(date, dateCopy);
    time = StripQuotes(time, timeCopy);
    if (auto usual = ReadUsualHour(date, time)) return usual;
    buffer.assign(date).append(1, ' ').append(time);
    const std::optional<DateTime> when = ParseObservationTime(buffer);
    if (!when) return std::nullopt;
    return SplitObservationTime(*when);
}

std::string_view CenturyPrefix(std::string_view yy) {
    return LeadingNumberOrZero(yy) >= 70 ? "19" : "20";
}

std::string FourDigitYear(std::string_view yy) {
    std::string year(CenturyPrefix(yy));
    year += yy;
    return year;
}

int32_t FourDigitYearNumber(std::string_view yy) {
    std::size_t i = 0;
    int32_t value = 0;
    if (yy.size() != 2 || !ReadDigits(yy, i, 2, 2, value)) return 0;
    return (CenturyPrefix(yy) == "19" ? 1900 : 2000) + value;
}

std::optional<DateTime> ParseObservationTime(std::string_view text) {
    using namespace std::chrono;
    text = TrimBlanks(text);

    std::size_t i = 0;
    int32_t y = 0, m = 0, d = 0;
    if (text.size() > 2 && text[2] == '/') {
        if (!ReadDigits(text, i, 2, 2, y)) return std::nullopt;
        y += y >= 70 ? 1900 : 2000;
    } else if (!ReadDigits(text, i, 4, 4, y)) {
        return std::nullopt;
    }
    if (!Expect(text, i, '/') || !ReadDigits(text, i, 1, 2, m) || !Expect(text, i, '/') ||
        !ReadDigits(text, i, 1, 2, d))
        return std::nullopt;
    year_month_day ymd{year{y}, month{static_cast<unsigned>(m)}, day{static_cast<unsigned>(d)}};
    if (!ymd.ok()) return std::nullopt;

    DateTime value{sys_days{ymd}, 0, 0, 0};
    if (i == text.size()) return value;
    if (!IsBlank(text[i])) return std::nullopt;
    while (i < text.size() && IsBlank(text[i]))
        ++i;

    int32_t h = 0, mi = 0, s = 0;
    if (!ReadDigits(text, i, 1, 2, h) || !Expect(text, i, ':')) return std::nullopt;
    const std::size_t minuteStart = i;
    if (!ReadDigits(text, i, 1, 2, mi)) return std::nullopt;
    const bool minuteIsDoubleZero = text.substr(minuteStart, i - minuteStart) == "00";
    if (Expect(text, i, ':')) {
        if (!ReadDigits(text, i, 1, 2, s)) return std::nullopt;
    }
    if (i != text.size() || mi > 59 || s > 59) return std::nullopt;
    if (h == 24) {
        // Only the time of day "24:00" means the end of the day.
        if (!minuteIsDoubleZero) return std::nullopt;
        value.date += days{1};
        // The next day must still be a date that can be written with four digits.
        if (year_month_day{value.date}.year() > year{9999}) return std::nullopt;
        h = 0;
    } else if (h > 23) {
        return std::nullopt;
    }
    value.hour = h;
    value.minute = mi;
    value.second = s;
    return value;
}

DateParts SplitObservationTime(const DateTime& value) {
    using namespace std::chrono;
    sys_days date = value.date;
    int32_t hour = value.hour;
    if (value.hour == 0 && value.minute == 0) {
        hour = 24;
        date -= days{1};
    }
    year_month_day ymd{date};
    return DateParts{static_cast<int32_t>(ymd.year()),
                     static_cast<int32_t>(static_cast<unsigned>(ymd.month())),
                     static_cast<int32_t>(static_cast<unsigned>(ymd.day())),
                     hour,
                     value.minute,
                     value.second};
}

void SetDateParts(HourlyRecord& record, const DateParts& parts) {
    record.year = parts.year;
    record.month = parts.month;
    record.day = parts.day;
    record.hour = parts.hour;
    record.minute = parts.minute;
    record.second = parts.second;
}

std::optional<std::size_t> DayInYear(int32_t year, int32_t month, int32_t day) {
    using namespace std::chrono;
    // Checked before the conversion: month and day keep only their low byte.
    if (month < 1 || month > 12 || day < 1 || day > 31) return std::nullopt;
    const year_month_day date{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                              std::chrono::day{static_cast<unsigned>(day)}};
    if (!date.ok()) return std::nullopt;
    return static_cast<std::size_t>((sys_days{date} - sys_days{date.year() / January / 1}).count());
}

std::string PadTwoDigits(int32_t value) {
    std::string text = "0" + std::to_string(value);
    return text.substr(text.size() - 2);
}

void AppendShortDate(std::string& out, int32_t year, int32_t month, int32_t day) {
    auto two = [&out](int32_t v) {
        if (v >= 0) {
            out += static_cast<char>('0' + (v / 10) % 10);
            out += static_cast<char>('0' + v % 10);
        } else {
            out += PadTwoDigits(v);
        }
    };
    two(year);
    out += '/';
    two(month);
    out += '/';
    two(day);
}

std::string FormatShortDate(int32_t year, int32_t month, int32_t day) {
    std::string out;
    AppendShortDate(out, year, month, day);
    return out;
}

} // namespace kolvane
