#pragma once

#include "model/WeatherRecord.h"

#include <array>
#include <string>
#include <string_view>

namespace kolvane {

// The eighteen columns of a yearly file, in the order they are written.
inline constexpr std::array<std::string_view, 18> YEARLY_HEADER = {
    "年月日",   "降水量",   "平均気温", "最高気温",     "最低気温",   "湿度",
    "気圧",     "最多風向", "平均風速", "最大瞬間風速", "最大時風向", "日射",
    "露点温度", "日照",     "可照時間", "純放射",       "水面蒸発",   "地中温度"};

// Appends one day line without its line end: the quoted short date and seventeen values ("X" for
// MISSING, wind directions as codes, "日射" and "純放射" with two decimals, the rest with one).
void AppendYearlyLine(std::string& out, const WeatherRecord& row);

// The whole yearly file: the header and one line per row, CP932, CR LF after every line.
std::string FormatYearlyText(const WeatherTable& year);

// Reads the bytes of a yearly file (CP932) into `existing`: the acceptable day lines, in line order,
// each at 12:00:00. "X" reads as MISSING, an unknown direction code as -999. A line with another number
// of fields than the header, an empty value, a 29 February of a year not divisible by 4, or a date that
// cannot be read is left out. Throws KolvaneError for a missing or repeated column or a number beyond
// a double.
void ParseYearlyText(std::string_view bytes, const std::string& file, WeatherTable& existing);

} // namespace kolvane
