#include "model/Numbers.h"

#include "model/Text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace kolvane {
namespace {

// from_chars reports underflow and overflow alike; the decimal magnitude tells them apart.
bool Overflows(std::string_view mantissa, std::string_view exponent) {
    int64_t exp10 = 0;
    bool negativeExp = false;
    std::size_t i = 0;
    if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-')) {
        negativeExp = exponent[0] == '-';
        ++i;
    }
    for (; i < exponent.size(); ++i) {
        if (exp10 < 1000000000) exp10 = exp10 * 10 + (exponent[i] - '0');
    }
    if (negativeExp) exp10 = -exp10;

    // Position of the first significant digit relative to the decimal point.
    int64_t magnitude = 0;
    std::size_t point = mantissa.find('.');
    std::string_view whole = mantissa.substr(0, point);
    std::size_t firstNonZero = whole.find_first_not_of('0');
    if (firstNonZero != std::string_view::npos) {
        magnitude = static_cast<int64_t>(whole.size() - firstNonZero);
    } else if (point != std::string_view::npos) {
        std::string_view fraction = mantissa.substr(point + 1);
        std::size_t nz = fraction.find_first_not_of('0');
        if (nz == std::string_view::npos) return false;
        magnitude = -static_cast<int64_t>(nz);
    }
    return magnitude + exp10 > 0;
}

// Where the parts of a number lie in its text: the mantissa from `start` to `mantissaEnd`, the exponent's
// digits (with their sign) from `exponentStart` to `end`, or none when exponentStart is mantissaEnd.
struct NumberSpan {
    std::size_t start, mantissaEnd, exponentStart, end;
};

// The general reading, for what the short path does not take: correctly rounded, out of range only when
// too large for a double (an underflow reads as 0).
LeadingNumber ReadGeneral(std::string_view text, NumberSpan span, bool negative) {
    LeadingNumber result;
    double value = 0;
    const auto [ptr, ec] = std::from_chars(text.data() + span.start, text.data() + span.end, value);
    (void)ptr;
    result.end = span.end;
    if (ec == std::errc::result_out_of_range) {
        const std::string_view exponent = span.exponentStart > span.mantissaEnd
                                              ? text.substr(span.exponentStart, span.end - span.exponentStart)
                                              : std::string_view{};
        if (Overflows(text.substr(span.start, span.mantissaEnd - span.start), exponent)) {
            result.status = NumberStatus::OutOfRange;
            return result;
        }
        value = 0;
    }
    result.value = negative ? -value : value;
    result.status = NumberStatus::Ok;
    return result;
}

} // namespace

LeadingNumber ParseLeadingNumber(std::string_view text) {
    LeadingNumber result;
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t mantissaStart = i;
    // The digits are also gathered as an integer: with at most 15 of them and no exponent, that integer
    // divided by an exact power of ten is the correctly rounded value, without the general parser.
    uint64_t digitValue = 0;
    while (i < n && IsAsciiDigit(text[i]))
        digitValue = digitValue * 10 + static_cast<uint64_t>(text[i++] - '0');
    std::size_t digits = i - mantissaStart;
    std::size_t fractionDigits = 0;
    if (i < n && text[i] == '.') {
        std::size_t j = i + 1;
        while (j < n && IsAsciiDigit(text[j]))
            digitValue = digitValue * 10 + static_cast<uint64_t>(text[j++] - '0');
        fractionDigits = j - (i + 1);
        digits += fractionDigits;
        if (digits > 0) i = j;
    }
    if (digits == 0) return result;
    const std::size_t mantissaEnd = i;
    std::size_t exponentStart = i;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < n && (text[j] == '+' || text[j] == '-')) ++j;
        std::size_t expDigits = j;
        while (j < n && IsAsciiDigit(text[j]))
            ++j;
        if (j > expDigits) {
            exponentStart = i + 1;
            i = j;
        }
    }

    if (digits <= 15 && exponentStart == mantissaEnd) {
        static constexpr double POWERS[16] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
        const double value = static_cast<double>(digitValue) / POWERS[fractionDigits];
        result.value = negative ? -value : value;
        result.status = NumberStatus::Ok;
        result.end = i;
        return result;
    }

    return ReadGeneral(text, {mantissaStart, mantissaEnd, exponentStart, i}, negative);
}

bool ReadPlainDecimal(std::string_view field, double& value) {
    double read = 0;
    if (field.empty() || ReadPlainDecimalPrefix(field, read) != field.size()) return false;
    value = read;
    return true;
}

double LeadingNumberOrZero(std::string_view text) {
    LeadingNumber n = ParseLeadingNumber(text);
    return n.status == NumberStatus::Ok ? n.value : 0.0;
}

std::optional<double> ConvertWholeNumber(std::string_view text) {
    text = TrimBlanks(text);
    LeadingNumber n = ParseLeadingNumber(text);
    if (n.status != NumberStatus::Ok || n.end != text.size()) return std::nullopt;
    return n.value;
}

namespace {

// The general rule, digit by digit from the exactly rounded 15-digit decimal.
void AppendFixedExact(std::string& out, double value, int decimals) {
    if (value < 0) out += '-';
    char buf[40];
    // 15 significant digits, exactly rounded from the binary value: d.dddddddddddddde+XX
    auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 14);
    char* e = buf;
    while (e < res.ptr && *e != 'e')
        ++e;
    int exp10 = 0;
    std::from_chars(e + 1 + (e[1] == '+' ? 1 : 0), res.ptr, exp10);
    char digits[15];
    digits[0] = buf[0];
    for (int k = 1; k < 15; ++k)
        digits[k] = buf[k + 1];
    // The largest doubles round up to 1.79769313486232e308, beyond the range of a double, which the
    // reader refuses: they are written with the last digit cut instead, so every file reads back.
    constexpr std::string_view LARGEST = "179769313486231";
    if (exp10 == 308 && std::string_view(digits, 15) > LARGEST)
        std::copy(LARGEST.begin(), LARGEST.end(), digits);

    // The written value as an integer count of 10^-decimals units.
    std::string units;
    const int keep = exp10 + 1 + decimals;
    if (keep >= 15) {
        units.assign(digits, 15);
        units.append(static_cast<std::size_t>(keep - 15), '0');
    } else {
        if (keep > 0) units.assign(digits, static_cast<std::size_t>(keep));
        if (keep >= 0 && digits[keep] >= '5') {
            int k = static_cast<int>(units.size()) - 1;
            while (k >= 0 && units[k] == '9')
                units[k--] = '0';
            if (k >= 0)
                ++units[k];
            else
                units.insert(units.begin(), '1');
        }
        if (units.empty()) units = "0";
    }
    if (units.size() <= static_cast<std::size_t>(decimals))
        units.insert(0, static_cast<std::size_t>(decimals) + 1 - units.size(), '0');
    out.append(units, 0, units.size() - decimals);
    out += '.';
    out.append(units, units.size() - decimals, decimals);
}

// Most values lie well away from a half of their last decimal: then the 15-digit decimal rounds as the
// value itself does, and one product gives the digits. The 15-digit step and the product's own rounding
// move the scaled value by less than `margin`; anything nearer a half takes the general rule.
bool AppendFixedFast(std::string& out, double value, int decimals) {
    const double scaled = std::fabs(value) * (decimals == 2 ? 100.0 : 10.0);
    if (!(scaled < 1e15)) return false; // also NaN
    // Below 2^53 the whole part is exact as an integer and back; no call of floor.
    const auto whole = static_cast<int64_t>(scaled);
    const double half = scaled - static_cast<double>(whole) - 0.5;
    const double margin = scaled * 1e-14;
    if (std::fabs(half) <= margin) return false;
    auto units = static_cast<uint64_t>(whole) + (half > 0 ? 1 : 0);
    char buf[24];
    char* p = buf + sizeof buf;
    for (int k = 0; k < decimals; ++k, units /= 10)
        *--p = static_cast<char>('0' + units % 10);
    *--p = '.';
    do
        *--p = static_cast<char>('0' + units % 10);
    while (units /= 10);
    if (value < 0) *--p = '-';
    out.append(p, buf + sizeof buf);
    return true;
}

} // namespace

void AppendFixed(std::string& out, double value, int decimals) {
    if (value == 0) { // also negative zero
        out += decimals == 2 ? "0.00" : "0.0";
        return;
    }
    if (!AppendFixedFast(out, value, decimals)) AppendFixedExact(out, value, decimals);
}

std::string FormatFixed(double value, int decimals) {
    std::string s;
    AppendFixed(s, value, decimals);
    return s;
}

} // namespace kolvane
