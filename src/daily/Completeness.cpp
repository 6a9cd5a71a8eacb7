#include "daily/Completeness.h"

#include "model/Columns.h"

namespace kolvane {
namespace {

bool AllMissing(const DailyRecord& day) {
    for (const YearlyColumn& column : YEARLY_VALUE_COLUMNS)
        if (day.*column.field != MISSING) return false;
    return true;
}

} // namespace

DayClass ClassifyDay(const DailyRecord& day) {
    switch (day.origin) {
    case DayOrigin::None:
        return DayClass::NoData;
    case DayOrigin::Kept:
        // A day an earlier run could not fill is no more than a gap now.
        return AllMissing(day) ? DayClass::NoData : DayClass::Kept;
    case DayOrigin::Hours:
        break;
    }
    if (day.hours >= HOURS_PER_DAY) return DayClass::Complete;
    if (day.hours >= QUASI_NORMAL_HOURS) return DayClass::QuasiNormal;
    return day.hours > 0 ? DayClass::Insufficient : DayClass::NoData;
}

std::string_view DayClassName(DayClass c) {
    switch (c) {
    case DayClass::Complete:
        return "正常";
    case DayClass::QuasiNormal:
        return "準正常";
    case DayClass::Insufficient:
        return "資料不足";
    case DayClass::NoData:
        return "欠測";
    case DayClass::Kept:
        return "既存";
    }
    return {};
}

} // namespace kolvane
