#pragma once

// The columns of both file formats, each with the record field it fills. The readers, the writer, the
// daily aggregation and the fuzz checks are driven by these tables alone, so a column is added in one
// place.

#include "model/Records.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace kolvane {

inline constexpr std::string_view DATE_COLUMN = "年月日";
inline constexpr std::string_view TIME_COLUMN = "時刻";

struct MonthlyColumn {
    std::string_view name;
    double HourlyRecord::*field;
};

// How a yearly value is written: "0.0", "0.00", or a wind direction as its sector code.
enum class ValueFormat { OneDecimal, TwoDecimals, Direction };

// How a day's value is made from its hours.
enum class Aggregation {
    Sum,
    Mean,
    Max,
    Min,
    DirectionAtMax, // `source` of the first hour where `along` is highest: the strongest gust's direction
    MostFrequentDirection, // the centre of the most frequent of the 16 sectors of `source`
    Derived,               // computed from the day's other values and the latitude
};

struct YearlyColumn {
    std::string_view name;
    double DailyRecord::*field;
    ValueFormat format;
    Aggregation aggregation;
    double HourlyRecord::*source; // none for a derived value
    double HourlyRecord::*along;  // for DirectionAtMax
};

// The measures of a monthly file, after its date and time columns; found by name in any order.
inline constexpr std::array<MonthlyColumn, 11> MONTHLY_VALUE_COLUMNS{{
    {"降水量", &HourlyRecord::precip},
    {"気温", &HourlyRecord::temp},
    {"湿度", &HourlyRecord::humidity},
    {"気圧", &HourlyRecord::pressure},
    {"風向", &HourlyRecord::windDir},
    {"平均風速", &HourlyRecord::windSpeed},
    {"最大瞬間風速", &HourlyRecord::gust},
    {"最大時風向", &HourlyRecord::gustDir},
    {"日射量", &HourlyRecord::solar},
    {"露点温度", &HourlyRecord::dewPoint},
    {"地中温度", &HourlyRecord::groundTemp},
}};

// The monthly column a field is read from. Constant-evaluated, a field in no column stops the build.
constexpr std::size_t MonthlyColumnOf(double HourlyRecord::*field) {
    for (std::size_t c = 0; c < MONTHLY_VALUE_COLUMNS.size(); ++c)
        if (MONTHLY_VALUE_COLUMNS[c].field == field) return c;
    throw "no monthly column fills this field";
}

// The values of a yearly file, after its date column, in the order they are written, each with the
// way the daily aggregation makes it.
inline constexpr std::array<YearlyColumn, 17> YEARLY_VALUE_COLUMNS{{
    {"降水量", &DailyRecord::precip, ValueFormat::OneDecimal, Aggregation::Sum, &HourlyRecord::precip,
     nullptr},
    {"平均気温", &DailyRecord::temp, ValueFormat::OneDecimal, Aggregation::Mean, &HourlyRecord::temp,
     nullptr},
    {"最高気温", &DailyRecord::tempMax, ValueFormat::OneDecimal, Aggregation::Max, &HourlyRecord::temp,
     nullptr},
    {"最低気温", &DailyRecord::tempMin, ValueFormat::OneDecimal, Aggregation::Min, &HourlyRecord::temp,
     nullptr},
    {"湿度", &DailyRecord::humidity, ValueFormat::OneDecimal, Aggregation::Mean, &HourlyRecord::humidity,
     nullptr},
    {"気圧", &DailyRecord::pressure, ValueFormat::OneDecimal, Aggregation::Mean, &HourlyRecord::pressure,
     nullptr},
    {"最多風向", &DailyRecord::windDir, ValueFormat::Direction, Aggregation::MostFrequentDirection,
     &HourlyRecord::windDir, nullptr},
    {"平均風速", &DailyRecord::windSpeed, ValueFormat::OneDecimal, Aggregation::Mean,
     &HourlyRecord::windSpeed, nullptr},
    {"最大瞬間風速", &DailyRecord::gust, ValueFormat::OneDecimal, Aggregation::Max, &HourlyRecord::gust,
     nullptr},
    {"最大時風向", &DailyRecord::gustDir, ValueFormat::Direction, Aggregation::DirectionAtMax,
     &HourlyRecord::gustDir, &HourlyRecord::gust},
    {"日射", &DailyRecord::solar, ValueFormat::TwoDecimals, Aggregation::Sum, &HourlyRecord::solar, nullptr},
    {"露点温度", &DailyRecord::dewPoint, ValueFormat::OneDecimal, Aggregation::Mean, &HourlyRecord::dewPoint,
     nullptr},
    {"日照", &DailyRecord::sunshine, ValueFormat::OneDecimal, Aggregation::Derived, nullptr, nullptr},
    {"可照時間", &DailyRecord::dayLength, ValueFormat::OneDecimal, Aggregation::Derived, nullptr, nullptr},
    {"純放射", &DailyRecord::netRadiation, ValueFormat::TwoDecimals, Aggregation::Derived, nullptr, nullptr},
    {"水面蒸発", &DailyRecord::evaporation, ValueFormat::OneDecimal, Aggregation::Derived, nullptr, nullptr},
    {"地中温度", &DailyRecord::groundTemp, ValueFormat::OneDecimal, Aggregation::Mean,
     &HourlyRecord::groundTemp, nullptr},
}};

// A made value has its hours' field, and only a direction at a maximum has a second one.
static_assert([] {
    for (const YearlyColumn& c : YEARLY_VALUE_COLUMNS)
        if ((c.aggregation == Aggregation::Derived) != (c.source == nullptr) ||
            (c.aggregation == Aggregation::DirectionAtMax) != (c.along != nullptr))
            return false;
    return true;
}());

namespace detail {
template <std::size_t Lead, typename Columns>
constexpr auto HeaderOf(const std::array<std::string_view, Lead>& lead, const Columns& columns) {
    std::array<std::string_view, Lead + std::tuple_size_v<Columns>> names{};
    for (std::size_t i = 0; i < Lead; ++i)
        names[i] = lead[i];
    for (std::size_t i = 0; i < columns.size(); ++i)
        names[Lead + i] = columns[i].name;
    return names;
}
} // namespace detail

// Every column name a file must hold once: the date (and time) first, then the values.
inline constexpr auto MONTHLY_HEADER =
    detail::HeaderOf(std::array<std::string_view, 2>{DATE_COLUMN, TIME_COLUMN}, MONTHLY_VALUE_COLUMNS);
inline constexpr auto YEARLY_HEADER =
    detail::HeaderOf(std::array<std::string_view, 1>{DATE_COLUMN}, YEARLY_VALUE_COLUMNS);

// Decimals written for a value format (a direction has none).
constexpr int DecimalsOf(ValueFormat format) {
    return format == ValueFormat::TwoDecimals ? 2 : format == ValueFormat::OneDecimal ? 1 : 0;
}

} // namespace kolvane
