#pragma once

#include "series/YearSeries.h"

namespace kolvane::testing {

// Every day of `year` complete, with the same temperatures and the given daily values.
inline YearSeries CompleteYear(int year, double precip, double solar, double sunshine, double evaporation) {
    YearSeries series = EmptyYearSeries(year);
    series.qualityKnown = true;
    for (SeriesDay& d : series.days) {
        d.tempMax = 25.0;
        d.temp = 5.0;
        d.tempMin = -15.0;
        d.precip = precip;
        d.solar = solar;
        d.sunshine = sunshine;
        d.evaporation = evaporation;
        d.dayClass = DayClass::Complete;
    }
    return series;
}

} // namespace kolvane::testing
