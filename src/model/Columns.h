#pragma once

// The columns of both file formats, each with the record field it fills. The readers, the writer and
// the fuzz checks are driven by these tables alone, so a column is added in one place.

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

struct YearlyColumn {
    std::string_view name;
    double DailyRecord::*field;
    ValueFormat format;
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

// The values of a yearly file, after its date column, in the order they are written.
inline constexpr std::array<YearlyColumn, 17> YEARLY_VALUE_COLUMNS{{
    {"降水量", &DailyRecord::precip, ValueFormat::OneDecimal},
    {"平均気温", &DailyRecord::temp, ValueFormat::OneDecimal},
    {"最高気温", &DailyRecord::tempMax, ValueFormat::OneDecimal},
    {"最低気温", &DailyRecord::tempMin, ValueFormat::OneDecimal},
    {"湿度", &DailyRecord::humidity, ValueFormat::OneDecimal},
    {"気圧", &DailyRecord::pressure, ValueFormat::OneDecimal},
    {"最多風向", &DailyRecord::windDir, ValueFormat::Direction},
    {"平均風速", &DailyRecord::windSpeed, ValueFormat::OneDecimal},
    {"最大瞬間風速", &DailyRecord::gust, ValueFormat::OneDecimal},
    {"最大時風向", &DailyRecord::gustDir, ValueFormat::Direction},
    {"日射", &DailyRecord::solar, ValueFormat::TwoDecimals},
    {"露点温度", &DailyRecord::dewPoint, ValueFormat::OneDecimal},
    {"日照", &DailyRecord::sunshine, ValueFormat::OneDecimal},
    {"可照時間", &DailyRecord::dayLength, ValueFormat::OneDecimal},
    {"純放射", &DailyRecord::netRadiation, ValueFormat::TwoDecimals},
    {"水面蒸発", &DailyRecord::evaporation, ValueFormat::OneDecimal},
    {"地中温度", &DailyRecord::groundTemp, ValueFormat::OneDecimal},
}};

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
