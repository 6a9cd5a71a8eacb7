#pragma once

#include "checks/HourlyChecks.h"
#include "engine/Plan.h"
#include "model/FileIo.h"
#include "model/Messages.h"
#include "model/YearlyProof.h"

#include <string>
#include <vector>

namespace kolvane {

// One file of a computed year, not yet on disk.
struct OutputFile {
    FileKind kind;
    std::string path;
    std::string bytes;
};

// A companion the year does not write, removed once the yearly file is in place.
struct LeftOutFile {
    std::string path;
    // Left out on request (--no-quality): kept when it was written with the same yearly file byte for
    // byte. Otherwise the year has nothing to say in it (no findings), so any old one is removed.
    bool keepWhenProven = false;
};

// A computed year before anything on disk has changed.
struct YearOutput {
    std::vector<OutputFile> files{};     // the yearly file first, then its companions
    std::vector<LeftOutFile> leftOut{};  // companions not written this time
    std::string emptyToRemove{};         // an empty earlier yearly file, taken as none, to delete
    int64_t suspectValues = 0;           // what the checks found in the year (known days)
    std::vector<Finding> findings{};     // the findings file's rows, whether it is written or not
    std::vector<std::string> notes{};    // of the files read: lines skipped, no rows
    std::vector<PendingFile> prepared{}; // one per file, beside it on disk, once PrepareYearOutput has run
    std::string mergedFromOutput{};      // the earlier yearly file of the output folder whose days were kept
    QualityProof proof{};                // of the yearly file, as its companions and its log line give it
    // Companions in place that belong to the yearly file being replaced: moved to their kept names
    // (KeptCompanionPathOf) before the new files are renamed, so that a run cut off between the renames
    // leaves them beside the yearly file they describe.
    std::vector<std::string> keepAside{};
    std::vector<std::string> keptCopies{}; // kept names of the year's companions, removed once it is in place

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

// Waits until every prepared file not yet synced is on disk, deletes a noted empty yearly file, moves the
// companions to keep aside to their kept names, then renames the companions and the yearly file last over
// their targets: a failure between them leaves the old yearly file beside its own companions under their
// kept names and new ones that do not match it, which readers recognise. The companions left out are
// removed after the yearly file is in place, so a failure before leaves the old ones beside the old yearly
// file they belong to. Adds the folder of each file renamed to `renamedIn`: those must be synced (SyncFolder)
// before the files count as written. Throws KolvaneError naming the yearly file and the cause (and the
// companion, when that was the file that failed).
void CommitYearOutput(YearOutput& output, std::vector<std::string>& renamedIn,
                      const DurableCalls& calls = {});
// Once the year is in place and its folder synced: the kept companions describe a yearly file that is gone.
void RemoveKeptCompanions(const YearOutput& output);

} // namespace kolvane
