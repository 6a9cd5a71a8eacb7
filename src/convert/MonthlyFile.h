#pragma once

#include "model/WeatherRecord.h"

#include <array>
#include <string>
#include <string_view>

namespace kolvane {

// The thirteen column names a monthly file must hold, in their canonical order.
inline constexpr std::array<std::string_view, 13> MONTHLY_HEADER = {
    "年月日",   "時刻",         "降水量",     "気温",   "湿度",     "気圧",    "風向",
    "平均風速", "最大瞬間風速", "最大時風向", "日射量", "露点温度", "地中温度"};

// Reads the bytes of a monthly file (CP932) into `hourly`: the complete hours, in line order. Columns are
// found by header name; a line with another number of fields than the header, an empty or "X" value in
// one of the thirteen columns, or a date and time that cannot be read is left out. `file` names the file
// in messages. Throws KolvaneError for a missing or repeated column or a number beyond a double.
void ParseMonthlyText(std::string_view bytes, const std::string& file, WeatherTable& hourly);

} // namespace kolvane
