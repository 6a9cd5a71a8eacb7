#pragma once

#include "checks/HourlyChecks.h"
#include "model/FileIo.h"
#include "model/FileNames.h"
#include "model/Messages.h"
#include "model/Records.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kolvane {

// A file as the year computation sees it: its path, for messages, and its bytes. A file that does not
// exist has no bytes.
struct SourceFile {
    std::string path;
    std::optional<std::string> bytes;
};

// Everything one yearly file is computed from.
struct YearInputs {
    std::string yy{};                     // the two year characters of the monthly file names
    double latitude = 0;                  // decimal degrees, north positive
    double longitude = UNKNOWN_LONGITUDE; // decimal degrees east, for the checks' sun
    bool check = true;                    // false: no plausibility checks (to time what they cost)
    std::vector<SourceFile> monthly{};    // in run order; a missing month adds no day
    SourceFile yearly{};                  // the earlier yearly file, whose days are kept
    // Its companions: what they say of the kept days is carried over when they prove they belong to it.
    SourceFile earlierQuality{};
    SourceFile earlierFindings{};
};

// A computed year, as its files are made from it.
struct YearContent {
    DailyTable days;               // every day of the year, from 1 January
    std::vector<Finding> findings; // of the year's days: of their hours, or carried for kept days
    std::vector<int32_t> suspect;  // the findings of each day; -1: not known (a kept day)

    // The suspect values of the year that are known.
    int64_t SuspectValues() const;
};

// One file written for each year: how it is named and what it holds of the year's days.
struct YearFile {
    FileKind kind;
    std::string (*name)(std::string_view yy, const StationKey& station);
    // None: the year has no such file, and one left from an earlier run is removed.
    std::optional<std::string> (*format)(const YearContent& year);
};

// The yearly file first, then its companions beside it. A new companion is one more entry. They are
// renamed into place from the last to the first.
extern const std::array<YearFile, 3> YEAR_FILES;

// The texts of the year's files (CP932, CR LF), in the order of YEAR_FILES.
struct YearTexts {
    std::vector<std::optional<std::string>> files;
    int64_t suspectValues = 0;      // as YearContent::SuspectValues
    std::vector<Finding> findings;  // as YearContent::findings, in the order found
    std::vector<std::string> notes; // what the user is told of files read in part, or holding no rows
    const std::string& yearly() const { return *files.front(); }
};

// The yearly file of one year: the months read and reduced to days, merged into the earlier yearly
// file's days, laid over the calendar of the year; how complete each day is; and what the checks find
// in the hours that make the days. Depends on nothing
// but its inputs. Throws KolvaneError naming the file and the day or column, and for a monthly file of
// which no line could be read or an earlier yearly file of which fewer than half could: their year would
// lose days that the user has.
YearTexts ComputeYear(const YearInputs& inputs);

// The bytes of the monthly or yearly file `name` of `folder`, found as FolderLookup::Resolve finds it; a
// file that does not exist gives none. Throws KolvaneError for a file that exists but cannot be read.
SourceFile ReadMonthlyFile(FolderLookup& folder, const std::string& name);
SourceFile ReadYearlyFile(FolderLookup& folder, const std::string& name);
// The bytes of a companion of the earlier yearly file; none when it cannot be read, which only leaves
// what it would have said of the kept days unknown.
SourceFile ReadEarlierCompanion(const std::string& path);

} // namespace kolvane
