#pragma once

#include "checks/SunHours.h"
#include "model/Columns.h"
#include "model/Records.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
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

// Checks the complete rows of one year run, fed in the order the year computation reads them (month by
// month). Rows are hourly, or closer (a logger's 10-minute file): a spike needs the rows either side and
// a run of equal values rows at one spacing, each at most an hour apart; a gap or a repeated time starts
// afresh.
class HourlyChecks {
  public:
    // Longitude in degrees east, or UNKNOWN_LONGITUDE.
    explicit HourlyChecks(double latitude, double longitude = UNKNOWN_LONGITUDE);
    // It points into itself at the rows a spike test still needs.
    HourlyChecks(const HourlyChecks&) = delete;
    HourlyChecks& operator=(const HourlyChecks&) = delete;

    // Only the findings on days of `year` are kept (0: all): a monthly file may hold years of hours,
    // and a stuck sensor would otherwise fill memory with findings no file takes.
    void KeepYear(int32_t year) { keptYear_ = year; }

    void Add(const HourlyTable& rows);

    // Whether rows less than an hour apart were seen since the last Finish.
    bool SawSubHourlyRows() const { return s_.cursor.subHourly; }

    // Everything found, sorted by date, time and column; the checks start afresh.
    std::vector<Finding> Finish();

  private:
    struct Run { // equal values in two rows or more, the last of them the row before the one being checked
        double value = 0;
        int64_t first = 0;    // minutes since 1970
        int32_t spacing = 60; // minutes between its rows
    };
    using SunTable = std::array<std::array<double, 25>, 12 * 31>; // [month, day][hour]

    // What every row reads and changes.
    struct Cursor {
        // Row t is checked for a spike once row t + 1 is known. They point into the table being added,
        // or at the kept rows between tables.
        const HourlyRecord *before = nullptr, *current = nullptr;
        int64_t currentStamp = 0;
        bool beforeFollows = false;
        bool currentDark = false; // it has radiation while the sun is down
        bool subHourly = false;
        std::array<int32_t, MONTHLY_VALUE_COLUMNS.size()> runLengths{}; // rows; 0: no run
        int32_t stampYear = 0, stampMonth = 0, stampDay = 0;
        int64_t stampDay0 = 0;                    // minutes since 1970 at the start of that day
        std::array<double, 25>* sunDay = nullptr; // its whole hours' limits; none for no such date
    };

    void AddRows(std::span<const HourlyRecord> rows);
    void AddRow(const HourlyRecord& row, Cursor& c, bool rangeSuspect);
    void KeepRows();
    int64_t StampOf(const HourlyRecord& row, Cursor& c);
    double SunLimit(const HourlyRecord& row, const Cursor& c);
    double WorkOutSunLimit(const HourlyRecord& row);
    template <std::size_t C>
    void CheckColumn(const HourlyRecord& row, const HourlyRecord& previous, int64_t stamp, int64_t gap,
                     bool follows, bool dark, Cursor& c);
    void CheckRelations(const HourlyRecord& row, double sunLimit);
    void ReportRange(const HourlyRecord& row, std::size_t column);
    void ReportSpike(std::size_t column, const HourlyRecord& before, const HourlyRecord& current,
                     const HourlyRecord& next);
    void ReportRun(std::size_t column, const Run& run, int32_t length);
    void Report(const HourlyRecord& row, std::size_t column, CheckKind kind, std::string explanation);

    double latitude_;
    SunClock sunClock_;
    SunTable* sunLimits_ = nullptr; // this thread's, for latitude_ and sunClock_
    int32_t keptYear_ = 0;

    // What one run of the checks has seen; Finish starts it afresh.
    struct State {
        std::vector<Finding> findings;

        Cursor cursor;
        std::array<HourlyRecord, 2> kept{}; // the cursor's rows between tables
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
std::vector<Finding> CheckHours(const HourlyTable& rows, double latitude,
                                double longitude = UNKNOWN_LONGITUDE);

// A value as a monthly file writes it: the column's decimals, or as many as it takes to read back the same.
std::string FormatMeasured(double value, std::size_t column);

} // namespace kolvane
