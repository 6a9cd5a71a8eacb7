#include "engine/YearJob.h"

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
    if (inputs.yearly.bytes && inputs.yearly.bytes->empty()) output.emptyToRemove = inputs.yearly.path;
    return output;
}

void PrepareYearOutput(YearOutput& output, const DurableCalls& calls) {
    output.prepared.clear();
    for (OutputFile& file : output.files) {
        if (int e = output.prepared.emplace_back().Prepare(file.path, file.bytes, calls))
            throw KolvaneError(message::CannotWrite(file.kind, file.path, e));
        std::string().swap(file.bytes); // on disk now; a run holds many years at once
    }
}

void CommitYearOutput(YearOutput& output, std::vector<std::string>& renamedIn) {
    // An empty yearly file holds nothing to keep; a failure to remove it changes nothing either.
    if (!output.emptyToRemove.empty()) std::remove(output.emptyToRemove.c_str());
    for (std::size_t i = 0; i < output.files.size(); ++i) {
        const OutputFile& file = output.files[i];
        if (int e = output.prepared.at(i).Commit())
            throw KolvaneError(message::CannotWrite(file.kind, file.path, e));
        renamedIn.push_back(output.prepared[i].folder());
    }
}

} // namespace kolvane
