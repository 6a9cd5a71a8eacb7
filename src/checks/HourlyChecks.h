#pragma once

#include "daily/Radiation.h"
#include "model/Columns.h"
#include "model/Records.h"

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kolvane {

enum class CheckKind : int8_t { Range, Step, Persistence, Consistency };
inline constexpr std::array<CheckKind, 4> CHECK_KINDS = {CheckKind::Range, CheckKind::Step,
                                                         CheckKind::Persistence, CheckKind::Consistency};

// 範囲, 急変, 持続, 整合.
std::string_view CheckKindName(CheckKind kind);

// One suspect value. Nothing is changed because of it: it is only reported.
struct Finding {
    int32_t year = 0; // the hour as its record has it: hour 24 is midnight at the end of the day
    int32_t month = 0;
    int32_t day = 0;
    int32_t hour = 0;
    int32_t minute = 0;
    std::size_t column = 0; // index into MONTHLY_VALUE_COLUMNS
    double value = 0;
    CheckKind kind = CheckKind::Range;
    std::string explanation; // Japanese (UTF-8), with the threshold

    bool operator==(const Finding&) const = default;
};

// The sun over an hour of one day, allowing every offset of the sun's time from Japan standard time
// that a station in Japan has (Thresholds.h, SUN). `endHour` is the clock time the hour ends, 0 to 24.
class SunHours {
  public:
    explicit SunHours(const SolarDay& sun);

    // The most radiation that can reach a horizontal surface at the top of the atmosphere, MJ/m2.
    double TopOfAtmosphereMax(double endHour) const;
    // Whether the sun stays below the horizon the whole hour, twilight included.
    bool DownAllHour(double endHour) const;

  private:
    double Energy(double noon, double from, double to) const;

    double sinSin_, cosCos_; // of latitude and declination
    double halfAngle_;       // sunset hour angle, radians
    double halfDay_;         // hours
    double perRadian_;       // MJ/m2 per radian of hour angle with the sun overhead
};

// Checks the complete hourly rows of one year run, fed in the order the year computation reads them
// (month by month). A change from the previous hour and a run of equal values need the hours to follow
// each other: a missing or repeated hour starts afresh.
class HourlyChecks {
  public:
    explicit HourlyChecks(double latitude);

    // Only the findings on days of `year` are kept (0: all): a monthly file may hold years of hours,
    // and a stuck sensor would otherwise fill memory with findings no file takes.
    void KeepYear(int32_t year) { keptYear_ = year; }

    void Add(const HourlyTable& rows);
    void Add(const HourlyRecord& row);

    // Everything found, sorted by date, time and column; the checks start afresh.
    std::vector<Finding> Finish();

  private:
    using ColumnSet = std::bitset<MONTHLY_VALUE_COLUMNS.size()>;

    struct Run { // equal values in a row
        double value = 0;
        int64_t first = 0; // minutes since 1970, of its first hour
        int32_t length = 0;
    };

    int64_t StampOf(const HourlyRecord& row);
    template <std::size_t C> void CheckColumn(const HourlyRecord& row, int64_t stamp);
    void CheckRelations(const HourlyRecord& row);
    void CheckSun(const HourlyRecord& row);
    template <std::size_t C> void CheckStep(const HourlyRecord* next, ColumnSet& returns);
    void ReportRange(const HourlyRecord& row, std::size_t column);
    void ReportStep(std::size_t column, const HourlyRecord* next, ColumnSet& returns);
    void CheckSteps(const HourlyRecord* next);
    void ReportRun(std::size_t column);
    void Report(const HourlyRecord& row, std::size_t column, CheckKind kind, std::string explanation);

    double latitude_;
    int32_t keptYear_ = 0;

    // What one run of the checks has seen; Finish starts it afresh.
    struct State {
        std::vector<Finding> findings;

        int32_t stampYear = 0, stampMonth = 0, stampDay = 0;
        int64_t stampDay0 = 0; // minutes since 1970 at the start of that day

        // Hour t is checked for a step or spike once hour t + 1 is known.
        HourlyRecord before{}, current{};
        int64_t currentStamp = 0;
        bool haveCurrent = false, beforeFollows = false;
        ColumnSet returnsFromSpike; // columns whose change into the current hour ends a spike

        std::array<Run, MONTHLY_VALUE_COLUMNS.size()> runs{};

        // A direction with zero wind is suspect only where the files give calm hours a code.
        std::vector<Finding> directionsWhileCalm;
        bool calmCodeSeen = false;

        int32_t sunMonth = 0, sunDay = 0;
        SunHours sun{SolarDay{}};
    };
    State s_;
};

// The findings of a whole table of hours.
std::vector<Finding> CheckHours(const HourlyTable& rows, double latitude);

// A value as a monthly file writes it: the column's decimals, or as many as it takes to read back the same.
std::string FormatMeasured(double value, std::size_t column);

} // namespace kolvane
