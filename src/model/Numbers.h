#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kolvane {

enum class NumberStatus {
    Ok,         // a number was read
    NoNumber,   // the text does not begin with a number; the value is 0
    OutOfRange, // the number lies beyond the range of a double
};

struct LeadingNumber {
    double value = 0;
    NumberStatus status = NumberStatus::NoNumber;
    std::size_t end = 0; // index just past the number (0 when there is none)
};

// The leading-number reading used everywhere: blanks (space, tab) are skipped, then an optional sign,
// digits with an optional decimal point (".5" and "5." are numbers) and an optional exponent
// (e or E, optional sign, at least one digit; "2e" reads 2). Reading stops at the first other
// character. No hexadecimal, "inf" or "nan". A value too small for a double reads as zero.
LeadingNumber ParseLeadingNumber(std::string_view text);

// A field that is a plain decimal ("12.3", "-0.5", "1013": an optional "-", up to 9 digits, optionally a
// point and up to 6 digits, nothing else) read without the general path, to the value ParseLeadingNumber
// gives it. False for anything else, which ParseLeadingNumber reads.
bool ReadPlainDecimal(std::string_view field, double& value);

// The same reading of the start of `text`: the length of the plain decimal there (0: none, value
// untouched), so that a reader can take a field without first looking for its end. Inline: a monthly
// file has eleven of these on every line.
inline std::size_t ReadPlainDecimalPrefix(std::string_view text, double& value) {
    static constexpr double POWERS[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6};
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const bool negative = begin != end && *begin == '-';
    const char* p = begin + (negative ? 1 : 0);
    const char* const whole = p;
    uint64_t digits = 0;
    unsigned d = 0;
    for (const char* stop = end - p > 9 ? p + 9 : end; p != stop && (d = unsigned(*p) - '0') <= 9; ++p)
        digits = digits * 10 + d;
    if (p == whole) return 0;
    std::size_t fraction = 0;
    if (p != end && *p == '.') {
        const char* const point = ++p;
        for (const char* stop = end - p > 6 ? p + 6 : end; p != stop && (d = unsigned(*p) - '0') <= 9; ++p)
            digits = digits * 10 + d;
        fraction = static_cast<std::size_t>(p - point);
    }
    // As the general path divides: the same digits by the same exact power of ten.
    value = static_cast<double>(digits) / POWERS[fraction];
    if (negative) value = -value;
    return static_cast<std::size_t>(p - begin);
}

// The leading number, or 0 when the text does not begin with one; a number beyond the range of a
// double also gives 0. For places (settings, list texts) where such a value cannot matter.
double LeadingNumberOrZero(std::string_view text);

// The whole text, blanks around it allowed, read as one number; nothing when it is not a number.
std::optional<double> ConvertWholeNumber(std::string_view text);

// Appends value with exactly `decimals` (1 or 2) digits after the point: the value is first written
// with 15 significant digits, and that decimal is rounded half away from zero. A value below zero
// keeps its "-" even when it rounds to zero; negative zero is written without it.
void AppendFixed(std::string& out, double value, int decimals);
std::string FormatFixed(double value, int decimals);

} // namespace kolvane
