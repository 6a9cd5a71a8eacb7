#include "engine/YearJob.h"

#include "formats/QualityFile.h"
#include "formats/Year.h"
#include "model/Error.h"

#include <cstdio>

namespace kolvane {

YearOutput ComputeYearRun(const YearRun& run, const ConversionSettings& settings, FolderLookup& monthlyFolder,
                          FolderLookup& outputFolder) {
    YearInputs inputs{run.yy, settings.latitude, {}, {}};
    inputs.monthly.reserve(run.monthlyNames.size());
    for (const std::string& name : run.monthlyNames)
        inputs.monthly.push_back(ReadMonthlyFile(monthlyFolder.Resolve(name)));
    inputs.yearly = ReadYearlyFile(monthlyFolder.Resolve(YearlyFileName(run.yy, settings.key)));

    YearTexts texts = ComputeYear(inputs);
    YearOutput output;
    const std::size_t count = settings.writeQuality ? YEAR_FILES.size() : 1;
    for (std::size_t i = 0; i < count; ++i) {
        const YearFile& file = YEAR_FILES[i];
        output.files.push_back(
            {file.kind, outputFolder.Resolve(file.name(run.yy, settings.key)), std::move(texts.files[i])});
    }
    const std::string_view yearlyName = FileNameOf(output.YearlyPath());
    for (OutputFile& file : output.files)
        if (file.kind == FileKind::Quality)
            file.bytes += FormatProofLine(ProofOf(yearlyName, output.files.front().bytes));
    if (inputs.yearly.bytes && inputs.yearly.bytes->empty()) output.emptyToRemove = inputs.yearly.path;
    return output;
}

namespace {

// Said of the yearly file either way: that is the file the user asked for, and it stays as it was.
KolvaneError NotWritten(const YearOutput& output, const OutputFile& file, int error) {
    std::string text = message::CannotWrite(FileKind::Yearly, output.YearlyPath(), error);
    if (file.kind != FileKind::Yearly) text += message::CompanionNotWritten(file.path);
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

void CommitYearOutput(YearOutput& output, std::vector<std::string>& renamedIn) {
    // All synced before any is renamed: a disk failing on the companion leaves the yearly file as it was.
    for (std::size_t i = 0; i < output.files.size(); ++i)
        if (int e = output.prepared.at(i).Sync()) throw NotWritten(output, output.files[i], e);
    // An empty yearly file holds nothing to keep; a failure to remove it changes nothing either.
    if (!output.emptyToRemove.empty()) std::remove(output.emptyToRemove.c_str());
    // The companions first and the yearly file last: a failure between them leaves the old yearly file
    // beside a companion that does not match it, which readers recognise.
    for (std::size_t i = output.files.size(); i-- > 0;) {
        if (int e = output.prepared.at(i).Commit()) throw NotWritten(output, output.files[i], e);
        renamedIn.push_back(output.prepared[i].folder());
    }
    // Readers refuse a companion that does not match anyway; one that cannot be removed is no failure.
    const std::string_view yearlyName = FileNameOf(output.YearlyPath());
    if (output.files.size() == 1 && ParseYearlyFileName(yearlyName))
        RemoveCompanionNotOf(QualityPathOf(output.YearlyPath()), yearlyName, output.files.front().bytes);
}

} // namespace kolvane
