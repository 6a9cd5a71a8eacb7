#pragma once

#include "engine/Plan.h"
#include "model/FileIo.h"
#include "model/Messages.h"

#include <string>
#include <vector>

namespace kolvane {

// One file of a computed year, not yet on disk.
struct OutputFile {
    FileKind kind;
    std::string path;
    std::string bytes;
};

// A computed year before anything on disk has changed.
struct YearOutput {
    std::vector<OutputFile> files; // the yearly file first, then its companions
    std::string emptyToRemove;     // an empty earlier yearly file, taken as none, to delete

    const std::string& YearlyPath() const { return files.front().path; }
};

// Reads one year run's files (names resolved as a case-insensitive file system would) and computes
// its files. `monthlyFolder` and `outputFolder` look up names in the settings' folders.
YearOutput ComputeYearRun(const YearRun& run, const ConversionSettings& settings, FolderLookup& monthlyFolder,
                          FolderLookup& outputFolder);

// Deletes a noted empty yearly file, then replaces each file atomically in order. Throws KolvaneError
// naming the first file that cannot be written; the files before it stay written.
void CommitYearOutput(const YearOutput& output);

} // namespace kolvane
