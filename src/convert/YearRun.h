#pragma once

#include "convert/RunPlan.h"
#include "model/FileIo.h"

#include <optional>
#include <string>
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

struct YearTexts {
    std::string yearly;  // the yearly file (CP932, CR LF)
    std::string quality; // its companion: the hours and class of every day
};

// The yearly file of one year: the months read and reduced to days, merged into the earlier yearly
// file's days, laid over the calendar of the year; and how complete each day is. Depends on nothing
// but its inputs. Throws KolvaneError naming the file and the day or column.
YearTexts ComputeYear(const YearInputs& inputs);

// Where and with what a front end converts.
struct ConversionSettings {
    double latitude = 0;       // decimal degrees, north positive
    std::string monthlyFolder; // ends in "/"; also where an earlier yearly file is looked up
    std::string outputFolder;  // ends in "/"
    StationKey key;
    bool writeQuality = true; // the companion file beside each yearly file
};

// The bytes of a monthly or yearly file; a file that does not exist gives none. Throws KolvaneError
// for a file that exists but cannot be read.
SourceFile ReadMonthlyFile(const std::string& path);
SourceFile ReadYearlyFile(const std::string& path);

// A computed year before anything on disk has changed.
struct YearOutput {
    std::string path;        // the yearly file to write
    std::string bytes;       // its complete content
    std::string qualityPath; // its companion, or empty when none is written
    std::string qualityBytes;
    std::string emptyToRemove; // an empty earlier yearly file, taken as none, to delete
};

// Reads one year run's files (names resolved as a case-insensitive file system would) and computes
// its yearly file. `monthlyFolder` and `outputFolder` look up names in the settings' folders.
YearOutput ComputeYearRun(const YearRun& run, const ConversionSettings& settings, FolderLookup& monthlyFolder,
                          FolderLookup& outputFolder);

// Replaces the yearly file atomically. Throws KolvaneError.
void WriteYearlyFile(const std::string& path, const std::string& bytes);

// Deletes a noted empty yearly file, then writes the yearly file, then its companion.
void CommitYearOutput(const YearOutput& output);

} // namespace kolvane
