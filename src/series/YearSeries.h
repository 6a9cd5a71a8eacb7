#pragma once

#include "formats/QualityFile.h"
#include "model/FileNames.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kolvane {

// One day of a year as the year view draws it. A value the yearly file holds as "X" is empty, so that
// it can never be drawn as a number.
// A new measure is one field here and one row of MEASURES in YearSeries.cpp.
struct SeriesDay {
    int month = 0;
    int day = 0;
    std::optional<double> tempMax;     // 最高気温, °C
    std::optional<double> temp;        // 平均気温, °C
    std::optional<double> tempMin;     // 最低気温, °C
    std::optional<double> precip;      // 降水量, mm
    std::optional<double> solar;       // 日射, MJ/m²
    std::optional<double> sunshine;    // 日照, h
    std::optional<double> evaporation; // 水面蒸発, mm
    // The day's class from the companion file; without one, only a day with no value at all is known
    // (as NoData).
    std::optional<DayClass> dayClass;
    int suspect = 0; // hourly values of the day the plausibility checks found suspect; -1: not known
};

// A day the plot shades: made from fewer than all its hours, or from none.
bool IsIncomplete(const SeriesDay& day);

// Every day of one calendar year, 1 January first: 365 or 366 days.
struct YearSeries {
    int year = 0;
    std::vector<SeriesDay> days;
    bool qualityKnown = false; // the classes came from the companion file
    std::string qualityNote;   // why a companion beside the yearly file was not used, for the user
};

// A sum over the days of a year that have a value; `days` tells a reader how far to trust it.
struct YearSum {
    double sum = 0;
    int days = 0;
    std::optional<double> Mean() const { return days > 0 ? std::optional(sum / days) : std::nullopt; }
};

// A day's extreme value of the year; the earliest day wins a tie.
struct YearExtreme {
    double value = 0;
    int month = 0;
    int day = 0;
};

// The year's figures shown beside its plot.
struct YearTotals {
    YearSum precip, temp, sunshine, evaporation;
    std::optional<YearExtreme> highest, lowest; // of the daily maxima and minima
    int days = 0;                               // in the year
};
YearTotals SummariseYear(const YearSeries& series);

// The calendar of `year` with every value empty and every day NoData.
YearSeries EmptyYearSeries(int year);

// The days of `year` from the bytes of its yearly file (CP932). Lines of other years are ignored; of
// two lines of one date the later wins; days without a line stay empty. Throws KolvaneError as the
// yearly reader does (a header without its columns, a number beyond a double).
YearSeries BuildYearSeries(std::string_view bytes, const std::string& file, int year);

// Sets the days' classes from a companion file's days; days it lacks are taken as NoData.
void ApplyQuality(YearSeries& series, const std::vector<DayQuality>& days);

// Reads the yearly file at `path` and builds its series, with the classes of its companion
// Q{yyyy}_{GG}{BB}.csv beside it when there is one that was written with it (otherwise qualityNote
// says why it was passed over). Throws KolvaneError naming the file when either
// cannot be read or parsed.
YearSeries ReadYearSeries(const std::string& path, int year);

// A yearly file of the station found in one of the folders.
struct YearlyFileEntry {
    int year = 0;
    std::string path;
};

// The years that have a yearly file of `station` in `folders` (each ending in "/"), ascending. A year
// found in several folders is taken from the first folder of the list; a folder that cannot be read
// contributes nothing.
std::vector<YearlyFileEntry> ListYearlyFiles(const std::vector<std::string>& folders,
                                             const StationKey& station);

} // namespace kolvane
