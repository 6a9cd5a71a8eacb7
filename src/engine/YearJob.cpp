#include "engine/YearJob.h"

#include "formats/QualityFile.h"
#include "formats/Year.h"
#include "model/Error.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace kolvane {

namespace {

// The companion at `path` of the earlier yearly file, or the one under its kept name when only that
// proves it belongs (a run was cut off between the renames). `kept` says which was taken.
SourceFile ReadProvenCompanion(const std::string& path, const SourceFile& yearly, bool& kept) {
    const std::string_view name = FileNameOf(yearly.path);
    auto proves = [&](const SourceFile& file) {
        return file.bytes && ProvesYearly(*file.bytes, name, *yearly.bytes);
    };
    SourceFile file = ReadEarlierCompanion(path);
    kept = false;
    if (proves(file)) return file;
    SourceFile aside = ReadEarlierCompanion(KeptCompanionPathOf(path));
    if (!proves(aside)) return file;
    kept = true;
    aside.path = path;
    return aside;
}

bool SameRegularFile(const std::string& a, const std::string& b) {
    platform::Status sa, sb;
    return platform::LinkStat(a, sa) == 0 && platform::LinkStat(b, sb) == 0 &&
           sa.kind == platform::Kind::Regular && sb.kind == platform::Kind::Regular &&
           sa.device == sb.device && sa.inode == sb.inode;
}

// The earlier yearly file, read from the output folder when asked to merge it, else from the monthly
// folder, with its companions beside it. True when it came from the output folder.
bool ReadEarlier(const YearRun& run, const ConversionSettings& settings, FolderLookup& monthlyFolder,
                 FolderLookup& outputFolder, YearInputs& inputs, std::vector<std::string>& provenInPlace) {
    const std::string earlierName = YearlyFileName(run.yy, settings.key);
    // Chosen over the monthly folder's: it is the file the user keeps, and the one being replaced.
    if (settings.mergeOutput) inputs.yearly = ReadYearlyFile(outputFolder, earlierName);
    const bool fromOutput = inputs.yearly.bytes.has_value();
    if (!fromOutput) inputs.yearly = ReadYearlyFile(monthlyFolder, earlierName);
    if (!inputs.yearly.bytes || inputs.yearly.bytes->empty()) return fromOutput;
    // Its companions lie beside it, in whichever folder it came from.
    FolderLookup& earlierFolder = fromOutput ? outputFolder : monthlyFolder;
    const std::string_view earlier = FileNameOf(inputs.yearly.path);
    bool kept = false;
    inputs.earlierQuality =
        ReadProvenCompanion(earlierFolder.Resolve(QualityFileNameOf(earlier)), inputs.yearly, kept);
    if (inputs.earlierQuality.bytes && !kept) provenInPlace.push_back(inputs.earlierQuality.path);
    inputs.earlierFindings =
        ReadProvenCompanion(earlierFolder.Resolve(FindingsFileNameOf(earlier)), inputs.yearly, kept);
    if (inputs.earlierFindings.bytes && !kept) provenInPlace.push_back(inputs.earlierFindings.path);
    return fromOutput;
}

// A companion about to be replaced that the earlier yearly file's days were carried from is kept aside
// until the new yearly file is in place. (Reached through a link, it is replaced as before.)
void NoteKeptCompanions(const std::vector<std::string>& provenInPlace, YearOutput& output) {
    for (const OutputFile& file : output.files) {
        if (file.kind == FileKind::Yearly) continue;
        output.keptCopies.push_back(KeptCompanionPathOf(file.path));
        for (const std::string& proven : provenInPlace)
            if (SameRegularFile(proven, file.path)) output.keepAside.push_back(file.path);
    }
    for (const LeftOutFile& file : output.leftOut)
        output.keptCopies.push_back(KeptCompanionPathOf(file.path));
}

} // namespace

YearOutput ComputeYearRun(const YearRun& run, const ConversionSettings& settings, FolderLookup& monthlyFolder,
                          FolderLookup& outputFolder) {
    YearInputs inputs{.yy = run.yy, .latitude = settings.latitude, .longitude = settings.longitude};
    inputs.monthly.reserve(run.monthlyNames.size());
    for (const std::string& name : run.monthlyNames)
        inputs.monthly.push_back(ReadMonthlyFile(monthlyFolder, name));
    std::vector<std::string> provenInPlace;
    const bool fromOutput = ReadEarlier(run, settings, monthlyFolder, outputFolder, inputs, provenInPlace);

    YearTexts texts = ComputeYear(inputs);
    YearOutput output;
    output.suspectValues = texts.suspectValues;
    output.findings = std::move(texts.findings);
    output.notes = std::move(texts.notes);
    for (std::size_t i = 0; i < YEAR_FILES.size(); ++i) {
        const YearFile& file = YEAR_FILES[i];
        std::string path = outputFolder.Resolve(file.name(run.yy, settings.key));
        if (i > 0 && !settings.writeQuality)
            output.leftOut.push_back({std::move(path), true});
        else if (!texts.files[i])
            output.leftOut.push_back({std::move(path), false});
        else
            output.files.push_back({file.kind, std::move(path), std::move(*texts.files[i])});
    }
    output.proof = ProofOf(FileNameOf(output.YearlyPath()), output.files.front().bytes);
    const std::string proofLine = FormatProofLine(output.proof);
    for (OutputFile& file : output.files)
        if (file.kind != FileKind::Yearly) file.bytes += proofLine;
    NoteKeptCompanions(provenInPlace, output);
    if (inputs.yearly.bytes && inputs.yearly.bytes->empty()) output.emptyToRemove = inputs.yearly.path;
    if (fromOutput && !inputs.yearly.bytes->empty()) output.mergedFromOutput = inputs.yearly.path;
    return output;
}

namespace {

// Said of the yearly file either way: that is the file the user asked for, and it stays as it was.
KolvaneError NotWritten(const YearOutput& output, const OutputFile& file, int error) {
    std::string text = message::CannotWrite(FileKind::Yearly, output.YearlyPath(), error);
    if (file.kind != FileKind::Yearly) text += message::CompanionNotWritten(file.kind, file.path);
    return KolvaneError(text);
}

} // namespace

void PrepareYearOutput(YearOutput& output, const DurableCalls& calls) {
    output.prepared.clear();
    for (OutputFile& file : output.files) {
        if (int e = output.prepared.emplace_back().Prepare(file.path, file.bytes, calls))
            throw NotWritten(output, file, e);
        // On disk now; a run holds many years at once. The yearly bytes stay: a companion left beside
        // the yearly file is checked against them.
        if (file.kind != FileKind::Yearly) std::string().swap(file.bytes);
    }
}

void SyncYearOutputs(std::vector<YearOutput>& outputs) {
    std::vector<PendingFile*> files;
    std::vector<std::pair<std::size_t, std::size_t>> whose; // year and file of each
    for (std::size_t y = 0; y < outputs.size(); ++y)
        for (std::size_t i = 0; i < outputs[y].prepared.size(); ++i) {
            files.push_back(&outputs[y].prepared[i]);
            whose.emplace_back(y, i);
        }
    std::size_t failed = 0;
    if (int e = PendingFile::SyncAll(files, failed)) {
        const auto [y, i] = whose[failed];
        throw NotWritten(outputs[y], outputs[y].files[i], e);
    }
}

void CommitYearOutput(YearOutput& output, std::vector<std::string>& renamedIn, const DurableCalls& calls) {
    // All synced before any is renamed: a disk failing on the companion leaves the yearly file as it was.
    for (std::size_t i = 0; i < output.files.size(); ++i)
        if (int e = output.prepared.at(i).Sync()) throw NotWritten(output, output.files[i], e);
    // An empty yearly file holds nothing to keep; a failure to remove it changes nothing either.
    if (!output.emptyToRemove.empty()) RemoveFile(output.emptyToRemove);
    // Aside before any rename: whatever instant a run is cut off at, the yearly file in place has its own.
    for (const OutputFile& file : output.files) {
        if (std::find(output.keepAside.begin(), output.keepAside.end(), file.path) == output.keepAside.end())
            continue;
        errno = 0;
        if (calls.rename(file.path.c_str(), KeptCompanionPathOf(file.path).c_str()) != 0)
            throw NotWritten(output, file, errno ? errno : EIO);
    }
    // The companions first and the yearly file last: a failure between them leaves the old yearly file
    // beside new companions that do not match it, which readers recognise, and its own kept aside.
    for (std::size_t i = output.files.size(); i-- > 0;) {
        if (int e = output.prepared.at(i).Commit()) throw NotWritten(output, output.files[i], e);
        renamedIn.push_back(output.prepared[i].folder());
    }
    // Readers refuse a companion that does not match anyway; one that cannot be removed is no failure.
    const std::string_view yearlyName = FileNameOf(output.YearlyPath());
    if (!ParseYearlyFileName(yearlyName)) return;
    for (const LeftOutFile& file : output.leftOut) {
        if (file.keepWhenProven)
            RemoveCompanionNotOf(file.path, yearlyName, output.files.front().bytes);
        else
            RemoveFile(file.path);
    }
}

void RemoveKeptCompanions(const YearOutput& output) {
    for (const std::string& path : output.keptCopies)
        RemoveFile(path);
}

} // namespace kolvane
