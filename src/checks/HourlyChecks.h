#pragma once

#include "daily/Radiation.h"
#include "model/Records.h"

#include <array>
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

// Checks the complete hourly rows of one year run, fed in the order the year computation reads them
// (month by month). A change from the previous hour and a run of equal values need the hours to follow
// each other: a missing or repeated hour starts afresh.
class HourlyChecks {
  public:
    explicit HourlyChecks(double latitude);

    void Add(const HourlyTable& rows);
    void Add(const HourlyRecord& row);

    // Everything found, sorted by date, time and column; the checks start afresh.
    std::vector<Finding> Finish();

  private:
    struct Run { // equal values in a row
        double value = 0;
        int64_t first = 0; // minutes since 1970, of its first hour
        int32_t length = 0;
    };

    void CheckRow(const HourlyRecord& row);
    void CheckSun(const HourlyRecord& row);
    void CheckSteps(const HourlyRecord* next);
    void ExtendRuns(const HourlyRecord& row, int64_t stamp);
    void CloseRun(std::size_t column);
    void Report(const HourlyRecord& row, std::size_t column, CheckKind kind, std::string explanation);

    double latitude_;
    std::vector<Finding> findings_;

    // Hour t is checked for a step or spike once hour t + 1 is known.
    HourlyRecord before_{}, current_{};
    int64_t currentStamp_ = 0;
    bool haveCurrent_ = false, beforeFollows_ = false;
    uint32_t returnsFromSpike_ = 0; // columns whose change into the current hour ends a spike

    std::array<Run, 11> runs_{};

    // A direction with zero wind is suspect only where the files give calm hours a code.
    std::vector<Finding> directionsWhileCalm_;
    bool calmCodeSeen_ = false;

    int32_t sunMonth_ = 0, sunDay_ = 0;
    SolarDay sun_{};
};

// The findings of a whole table of hours.
std::vector<Finding> CheckHours(const HourlyTable& rows, double latitude);

// The sun over the hour that ends at `endHour` (clock time, 0 to 24, Japan standard time), allowing every
// offset of the sun's time that a station in Japan has (Thresholds.h, SUN):
// - the most radiation that can reach a horizontal surface at the top of the atmosphere, MJ/m2;
// - whether the sun stays below the horizon the whole hour, twilight included.
double TopOfAtmosphereMax(const SolarDay& sun, double endHour);
bool SunDownAllHour(const SolarDay& sun, double endHour);

// A value as a monthly file writes it: the column's decimals, or as many as it takes to read back the same.
std::string FormatMeasured(double value, std::size_t column);

} // namespace kolvane
