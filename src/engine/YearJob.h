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
    std::vector<OutputFile> files;     // the yearly file first, then its companions
    std::string emptyToRemove;         // an empty earlier yearly file, taken as none, to delete
    std::vector<PendingFile> prepared; // one per file, beside it on disk, once PrepareYearOutput has run

    const std::string& YearlyPath() const { return files.front().path; }
};

// Reads one year run's files (names resolved as a case-insensitive file system would) and computes
// its files. `monthlyFolder` and `outputFolder` look up names in the settings' folders.
YearOutput ComputeYearRun(const YearRun& run, const ConversionSettings& settings, FolderLookup& monthlyFolder,
                          FolderLookup& outputFolder);

// Writes and syncs each file beside its target, changing nothing a user sees. Throws KolvaneError naming
// the first file that cannot be written; nothing is left behind.
void PrepareYearOutput(YearOutput& output, const DurableCalls& calls = {});

// Deletes a noted empty yearly file, then renames each prepared file over its target in order, adding
// the folder of each one renamed to `renamedIn`: those must be synced (SyncFolder) before the files
// count as written. Throws KolvaneError naming the first file that cannot be written; the files before
// it are in place.
void CommitYearOutput(YearOutput& output, std::vector<std::string>& renamedIn);

} // namespace kolvane
