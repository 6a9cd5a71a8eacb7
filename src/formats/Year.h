#pragma once

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
    std::string yy;                  // the two year characters of the monthly file names
    double latitude = 0;             // decimal degrees, north positive
    std::vector<SourceFile> monthly; // in run order; a missing month adds no day
    SourceFile yearly;               // the earlier yearly file, whose days are kept
};

// One file written for each year: how it is named and what it holds of the year's days.
struct YearFile {
    FileKind kind;
    std::string (*name)(std::string_view yy, const StationKey& station);
    std::string (*format)(const DailyTable& year);
};

// The yearly file first, then its companions beside it. A new companion is one more entry.
extern const std::array<YearFile, 2> YEAR_FILES;

// The texts of the year's files (CP932, CR LF), in the order of YEAR_FILES.
struct YearTexts {
    std::vector<std::string> files;
    const std::string& yearly() const { return files.front(); }
};

// The yearly file of one year: the months read and reduced to days, merged into the earlier yearly
// file's days, laid over the calendar of the year; and how complete each day is. Depends on nothing
// but its inputs. Throws KolvaneError naming the file and the day or column.
YearTexts ComputeYear(const YearInputs& inputs);

// The bytes of a monthly or yearly file; a file that does not exist gives none. Throws KolvaneError
// for a file that exists but cannot be read.
SourceFile ReadMonthlyFile(const std::string& path);
SourceFile ReadYearlyFile(const std::string& path);

} // namespace kolvane
