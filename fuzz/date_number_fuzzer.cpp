// Date, time and number reading. An observation time that reads is a real date and time and reads
// the same written canonically or with blanks around it. A leading number agrees with the general
// decimal parser, whichever path read it; the whole-text conversion agrees with the leading number;
// and a number written with one or two decimals reads back to that precision and writes the same.

#include "FuzzSupport.h"

#include "model/DateText.h"
#include "model/Numbers.h"

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

using namespace kolvane;
using namespace kolvane::fuzz;

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

void CheckObservationTime(std::string_view text) {
    const std::optional<DateTime> value = ParseObservationTime(text);
    if (!value) return;
    const std::chrono::year_month_day ymd{value->date};
    FUZZ_CHECK(ymd.ok());
    FUZZ_CHECK(value->hour >= 0 && value->hour <= 23);
    FUZZ_CHECK(value->minute >= 0 && value->minute <= 59 && value->second >= 0 && value->second <= 59);

    const int y = static_cast<int>(ymd.year());
    const int m = static_cast<int>(static_cast<unsigned>(ymd.month()));
    const int d = static_cast<int>(static_cast<unsigned>(ymd.day()));
    char canonical[64];
    std::snprintf(canonical, sizeof canonical, "%04d/%d/%d %d:%02d:%02d", y, m, d, value->hour, value->minute,
                  value->second);
    const std::optional<DateTime> again = ParseObservationTime(canonical);
    FUZZ_CHECK(again && again->date == value->date && again->hour == value->hour &&
               again->minute == value->minute && again->second == value->second);

    const std::optional<DateTime> padded = ParseObservationTime(" \t" + std::string(text) + "\t ");
    FUZZ_CHECK(padded && padded->date == value->date && padded->hour == value->hour);

    const DateParts parts = SplitObservationTime(*value);
    FUZZ_CHECK(IsRealDate(parts.year, parts.month, parts.day));
    FUZZ_CHECK(parts.hour >= 1 ? parts.hour <= 24 : parts.minute > 0);

    // The short date of a yearly file reads back as the same day within the century rule.
    if (y >= 1970 && y <= 2069) {
        const std::optional<DateTime> shortDate = ParseObservationTime(FormatShortDate(y, m, d));
        FUZZ_CHECK(shortDate && shortDate->date == value->date);
    }
}

void CheckFixed(double value) {
    for (int decimals : {1, 2}) {
        const std::string text = FormatFixed(value, decimals);
        const std::size_t point = text.find('.');
        FUZZ_CHECK(point != std::string::npos && point > (text[0] == '-' ? 1u : 0u));
        FUZZ_CHECK(text.size() - point - 1 == static_cast<std::size_t>(decimals));
        const LeadingNumber back = ParseLeadingNumber(text);
        FUZZ_CHECK(back.status == NumberStatus::Ok && back.end == text.size());
        const double half = decimals == 1 ? 0.05 : 0.005;
        FUZZ_CHECK(std::fabs(back.value - value) <= half * (1 + 1e-9) + std::fabs(value) * 1e-14);
        // "-0.0" (a small negative value) reads as zero, which is written without its sign.
        if (back.value != 0 || text[0] != '-') FUZZ_CHECK(FormatFixed(back.value, decimals) == text);
    }
}

void CheckNumber(std::string_view text) {
    const LeadingNumber n = ParseLeadingNumber(text);
    const std::optional<double> whole = ConvertWholeNumber(text);
    if (n.status != NumberStatus::Ok) {
        FUZZ_CHECK(n.value == 0 && !whole);
        return;
    }
    FUZZ_CHECK(std::isfinite(n.value));
    FUZZ_CHECK(n.end > 0 && n.end <= text.size());
    bool onlyBlanksAfter = true;
    for (std::size_t i = n.end; i < text.size(); ++i)
        onlyBlanksAfter = onlyBlanksAfter && IsBlank(text[i]);
    FUZZ_CHECK(whole.has_value() == onlyBlanksAfter);
    if (whole) FUZZ_CHECK(*whole == n.value || (std::isnan(*whole) && std::isnan(n.value)));

    // The same digits through the general parser give the same double.
    std::size_t start = 0;
    while (IsBlank(text[start]))
        ++start;
    const bool negative = text[start] == '-';
    if (text[start] == '+' || text[start] == '-') ++start;
    double reference = 0;
    auto [ptr, ec] = std::from_chars(text.data() + start, text.data() + n.end, reference);
    FUZZ_CHECK(ptr == text.data() + n.end);
    if (ec == std::errc::result_out_of_range) {
        FUZZ_CHECK(n.value == 0); // too small for a double; too large is OutOfRange
    } else {
        FUZZ_CHECK((negative ? -reference : reference) == n.value);
    }
    CheckFixed(n.value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckObservationTime(text);
    CheckNumber(text);
    // Any finite double, not only those that are short decimals.
    if (size >= sizeof(double)) {
        double value;
        std::memcpy(&value, data, sizeof value);
        if (std::isfinite(value)) CheckFixed(value);
    }
    return 0;
}
