#pragma once

#include "model/Records.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace kolvane {

inline constexpr int32_t HOURS_PER_DAY = 24;

// A day's class for daily statistics, as the national weather service has them: complete with every
// hour, quasi-normal with at least QUASI_NORMAL_HOURS of them, insufficient below that, no data at
// all; and a day kept from an earlier yearly file, whose hours are not known any more.
enum class DayClass { Complete, QuasiNormal, Insufficient, NoData, Kept };

// 80 % of the day's hours, rounded up: 19 hours are 79 %, 20 are 83 %.
inline constexpr int32_t QUASI_NORMAL_HOURS = (HOURS_PER_DAY * 8 + 9) / 10;

inline constexpr std::array<DayClass, 5> DAY_CLASSES = {
    DayClass::Complete, DayClass::QuasiNormal, DayClass::Insufficient, DayClass::NoData, DayClass::Kept};

DayClass ClassifyDay(const DailyRecord& day);

// The class as the companion file writes it: "正常", "準正常", "資料不足", "欠測", "既存".
std::string_view DayClassName(DayClass c);

} // namespace kolvane
