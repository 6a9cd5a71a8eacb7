#pragma once

#include "engine/Plan.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kolvane {

// How one station of a conversion ended.
struct StationResult {
    std::vector<std::string> written;   // its yearly files in place, in run order
    std::optional<std::string> failure; // the message of the year that stopped it
};

// A yearly file in place, and what its companions say of it.
struct WrittenYear {
    std::string yearlyPath;
    int64_t suspectValues = 0; // what the checks found in its hours (kept days: as far as known)
    bool subHourly = false;    // made from monthly rows less than an hour apart
};

// How a front end follows a conversion and stops it. Every call is made on the thread that called
// RunConversion, one at a time, stations in plan order and each station's years in run order.
class ConversionObserver {
  public:
    virtual ~ConversionObserver() = default;
    // Asked before each yearly file is written; true ends the conversion there, with the files
    // written so far in place and the next one untouched.
    virtual bool CancelRequested() { return false; }
    // Year `year` of station `station` has been reached: FileWritten, or the station's failure, follows.
    virtual void YearStarted(std::size_t /*station*/, std::size_t /*year*/) {}
    // A yearly file (with its companions) is in place and synced to disk.
    virtual void FileWritten(std::size_t /*station*/, const WrittenYear& /*year*/) {}
    // A station has ended: all its years written, or stopped at its failing year.
    virtual void StationDone(std::size_t /*station*/, const StationResult& /*result*/) {}
    // Stations ended and yearly files written so far, after each of the two.
    virtual void Progress(std::size_t /*stationsDone*/, std::size_t /*yearsDone*/) {}
    // Another run is writing station `station` into `folder`; this one waits for it before it reads
    // anything. Said once per station waited for.
    virtual void WaitingForStation(std::size_t /*station*/, const std::string& /*folder*/) {}
    // Asked about every 100 ms while waiting; true ends the conversion with nothing written.
    virtual bool CancelWhileWaiting() { return false; }
    // False: each yearly file is synced and reported before the next one is renamed, for a front end
    // whose user stops the run on seeing a file. True lets a few years of a station share their syncs,
    // reported together.
    virtual bool WriteReadyYearsTogether() { return true; }
};

struct ConversionOutcome {
    std::vector<StationResult> stations; // one per plan; those a cancel never reached are empty
    bool cancelled = false;

    std::size_t Written() const;
    std::size_t Failures() const;
};

// Converts the planned stations. Years (of one station or of several) are computed in parallel on
// `threads` threads (0: one per processor; 1: all on the calling thread), but what the user sees is
// the same as one year after the other: yearly files are replaced station by station in run order.
// Each station is locked in its output folder for the whole run, so that a second run on it (from
// either front end) waits instead of losing the months the first one merges. A year's files are written
// beside their targets on the thread that computed it; a batch of a station's next years is synced together,
// renamed in order and their folders synced once before any of them is reported written.
// A failing year stops only its station: its file and the station's later ones are left untouched,
// earlier ones stay. Any failure, not only a KolvaneError, is reported as its station's failure.
ConversionOutcome RunConversion(const std::vector<StationPlan>& plans, ConversionObserver& observer,
                                unsigned threads = 0);

} // namespace kolvane
