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

// Writes each file beside its target and starts it on its way to disk, changing nothing a user sees.
// Throws KolvaneError naming the yearly file (and the companion, when that was the file that failed);
// nothing is left behind.
void PrepareYearOutput(YearOutput& output, const DurableCalls& calls = {});

// Waits until every file of the prepared years is on disk, sharing the syncs (PendingFile::SyncAll).
// Throws KolvaneError naming the yearly file of the first year with a file not synced.
void SyncYearOutputs(std::vector<YearOutput>& outputs);

// Waits until every prepared file not yet synced is on disk, deletes a noted empty yearly file, then renames
// the companions and the yearly file last over their targets: a failure between them leaves the old yearly
// file beside a companion that does not match it, which readers recognise. Adds the folder of each file
// renamed to `renamedIn`: those must be synced (SyncFolder) before the files count as written. Throws
// KolvaneError naming the yearly file and the cause (and the companion, when that was the file that failed).
// A yearly file written without companions loses one beside it that does not match it.
void CommitYearOutput(YearOutput& output, std::vector<std::string>& renamedIn);

} // namespace kolvane
