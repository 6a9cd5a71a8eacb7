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

void CommitYearOutput(const YearOutput& output) {
    // An empty yearly file holds nothing to keep; a failure to remove it changes nothing either.
    if (!output.emptyToRemove.empty()) std::remove(output.emptyToRemove.c_str());
    for (auto file = output.files.rbegin(); file != output.files.rend(); ++file) {
        if (int e = WriteFileAtomically(file->path, file->bytes)) {
            // Said of the yearly file either way: that is the file the user asked for.
            std::string text = message::CannotWrite(FileKind::Yearly, output.YearlyPath(), e);
            if (file->kind != FileKind::Yearly) text += message::CompanionNotWritten(file->path);
            throw KolvaneError(text);
        }
    }
    // Readers refuse a companion that does not match anyway; one that cannot be removed is no failure.
    const std::string_view yearlyName = FileNameOf(output.YearlyPath());
    if (output.files.size() == 1 && ParseYearlyFileName(yearlyName))
        RemoveCompanionNotOf(QualityPathOf(output.YearlyPath()), yearlyName, output.files.front().bytes);
}

} // namespace kolvane
