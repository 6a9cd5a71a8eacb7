#include "model/Numbers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>

namespace kolvane {
namespace {

TEST(LeadingNumber, ReadsThePrefixThatIsANumber) {
    const std::pair<const char*, double> read[] = {
        {" 12.5abc", 12.5}, {"\t7", 7}, {".5", 0.5},   {"5.", 5},       {"-.25", -0.25},
        {"+3", 3},          {"2e", 2},  {"2e+", 2},    {"2e3", 2000},   {"1E-2", 0.01},
        {"0x10", 0},        {"1,5", 1}, {"1e-999", 0}, {"0.000e999", 0}};
    for (const auto& [text, value] : read) {
        SCOPED_TRACE(text);
        const LeadingNumber n = ParseLeadingNumber(text);
        EXPECT_EQ(n.status, NumberStatus::Ok);
        EXPECT_EQ(n.value, value);
    }
    for (const char* text : {"-", ".", "x", "\"5\"", "inf", "nan", ""}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(ParseLeadingNumber(text).status, NumberStatus::NoNumber);
        EXPECT_EQ(ParseLeadingNumber(text).value, 0);
    }
    EXPECT_EQ(ParseLeadingNumber("1e999").status, NumberStatus::OutOfRange);
    EXPECT_EQ(ParseLeadingNumber("-2e400").status, NumberStatus::OutOfRange);
}

TEST(FixedFormat, RoundsTheFifteenDigitDecimalHalfAwayFromZero) {
    struct Case {
        double value;
        int decimals;
        const char* text;
    };
    // Zero is left out of the comparison with the plain rule below.
    const Case cases[] = {
        {0, 1, "0.0"}, {-0.0, 1, "0.0"}, {0, 2, "0.00"}, {-0.04, 1, "-0.0"}, {2.675, 2, "2.68"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.value << " " << c.decimals);
        EXPECT_EQ(FormatFixed(c.value, c.decimals), c.text);
    }
    EXPECT_EQ(FormatFixed(123456789.123456789, 1), "123456789.1");
    EXPECT_EQ(FormatFixed(1e20, 1), "100000000000000000000.0");
}

TEST(FixedFormat, EveryFiniteValueReadsBackToItsPrecision) {
    // The largest doubles must not round up to a number the reader refuses as beyond a double.
    const double max = std::numeric_limits<double>::max();
    for (double value : {max, -max, 1.797693134862315e308, 1.79769313486231e308,
                         std::numeric_limits<double>::denorm_min(), 1e300}) {
        for (int decimals : {1, 2}) {
            SCOPED_TRACE(testing::Message() << value << " " << decimals);
            const std::string text = FormatFixed(value, decimals);
            const LeadingNumber back = ParseLeadingNumber(text);
            ASSERT_EQ(back.status, NumberStatus::Ok) << text;
            EXPECT_EQ(back.end, text.size());
            EXPECT_NEAR(back.value, value, std::fabs(value) * 1e-14 + 0.005);
        }
    }
    EXPECT_EQ(FormatFixed(max, 1), "179769313486231" + std::string(294, '0') + ".0");
}

// The rule spelled out apart from the program's code: printf's 15-digit decimal, rounded half away from
// zero in whole units of the last decimal. For values below 1e13.
std::string PlainFixed(double value, int decimals) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
    const uint64_t digits =
        std::strtoull((std::string(1, buf[0]) + std::string(buf + 2, 14)).c_str(), nullptr, 10);
    const int shift = std::atoi(std::strchr(buf, 'e') + 1) - 14 + decimals;
    uint64_t units = digits;
    for (int k = 0; k < shift; ++k)
        units *= 10;
    if (shift < 0) {
        uint64_t cut = 1;
        for (int k = 0; k < std::min(-shift, 16); ++k)
            cut *= 10;
        units = digits / cut + (digits % cut >= cut / 2 ? 1 : 0);
    }
    const uint64_t scale = decimals == 2 ? 100 : 10;
    char text[48];
    std::snprintf(text, sizeof text, "%s%llu.%0*llu", value < 0 ? "-" : "",
                  static_cast<unsigned long long>(units / scale), decimals,
                  static_cast<unsigned long long>(units % scale));
    return text;
}

TEST(FixedFormat, AgreesWithThePlainRuleNearAndFarFromHalves) {
    // Values as the files hold them (a few decimals, sums and means of them) and their neighbours a few
    // steps of a double away, where the 15-digit decimal and the binary value round differently.
    std::mt19937_64 random(7);
    std::uniform_int_distribution<int64_t> whole(-2000000, 2000000);
    std::uniform_int_distribution<int> places(0, 4), count(1, 24), steps(-3, 3);
    std::uniform_real_distribution<double> exponent(-6, 12);
    for (int i = 0; i < 60000; ++i) {
        double value = static_cast<double>(whole(random)) / std::pow(10.0, places(random));
        if (i % 4 == 1) value = value * count(random) / count(random);
        if (i % 4 == 2) value = std::pow(10.0, exponent(random)) * (i % 2 ? 1 : -1);
        if (i % 4 == 3) // a hair from a half of the first decimal
            value = (static_cast<double>(whole(random) % 100) + 0.5 +
                     std::pow(10.0, -places(random) - 9) * steps(random)) /
                    10;
        for (int s = steps(random); s != 0; s += s > 0 ? -1 : 1)
            value = std::nextafter(value, s > 0 ? INFINITY : -INFINITY);
        for (int decimals : {1, 2}) {
            if (value == 0) continue;
            ASSERT_EQ(FormatFixed(value, decimals), PlainFixed(value, decimals))
                << std::hexfloat << value << " " << decimals;
        }
    }
}

} // namespace
} // namespace kolvane
