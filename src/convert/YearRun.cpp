#include "convert/YearRun.h"

#include "convert/MonthlyFile.h"
#include "convert/QualityFile.h"
#include "convert/YearlyFile.h"
#include "daily/DailyAggregation.h"
#include "daily/YearCalendar.h"
#include "model/Error.h"
#include "model/Messages.h"

#include <cerrno>
#include <cstdio>

namespace kolvane {
namespace {

SourceFile ReadSourceFile(FileKind kind, const std::string& path) {
    SourceFile file{path, std::string()};
    if (int e = ReadWholeFile(path, *file.bytes)) {
        if (e != ENOENT) throw KolvaneError(message::CannotRead(kind, path, e));
        file.bytes.reset();
    }
    return file;
}

} // namespace

YearTexts ComputeYear(const YearInputs& inputs) {
    HourlyTable hourly;
    DailyTable daily;
    for (const SourceFile& month : inputs.monthly) {
        if (!month.bytes) continue;
        ParseMonthlyText(*month.bytes, month.path, hourly);
        try {
            BuildDailyRecords(hourly, inputs.latitude, daily);
        } catch (const DayComputationError& e) {
            throw KolvaneError(message::DayNotComputable(month.path, e.year, e.month, e.day, e.what()));
        }
    }
    DailyTable existing;
    if (inputs.yearly.bytes) ParseYearlyText(*inputs.yearly.bytes, inputs.yearly.path, existing);
    MergeIntoYear(daily, existing);
    SortYearByDate(existing);
    DailyTable year;
    BuildYearCalendar(inputs.yy, existing, year);
    return {FormatYearlyText(year), FormatQualityText(year)};
}

SourceFile ReadMonthlyFile(const std::string& path) {
    return ReadSourceFile(FileKind::Monthly, path);
}

SourceFile ReadYearlyFile(const std::string& path) {
    return ReadSourceFile(FileKind::Yearly, path);
}

YearOutput ComputeYearRun(const YearRun& run, const ConversionSettings& settings, FolderLookup& monthlyFolder,
                          FolderLookup& outputFolder) {
    YearInputs inputs{run.yy, settings.latitude, {}, {}};
    inputs.monthly.reserve(run.monthlyNames.size());
    for (const std::string& name : run.monthlyNames)
        inputs.monthly.push_back(ReadMonthlyFile(monthlyFolder.Resolve(name)));
    const std::string yearlyName = YearlyFileName(run.yy, settings.key);
    inputs.yearly = ReadYearlyFile(monthlyFolder.Resolve(yearlyName));

    YearTexts texts = ComputeYear(inputs);
    YearOutput output{outputFolder.Resolve(yearlyName), std::move(texts.yearly), {}, {}, {}};
    if (settings.writeQuality) {
        output.qualityPath = outputFolder.Resolve(QualityFileName(run.yy, settings.key));
        output.qualityBytes = std::move(texts.quality);
    }
    if (inputs.yearly.bytes && inputs.yearly.bytes->empty()) output.emptyToRemove = inputs.yearly.path;
    return output;
}

void WriteYearlyFile(const std::string& path, const std::string& bytes) {
    if (int e = WriteFileAtomically(path, bytes))
        throw KolvaneError(message::CannotWrite(FileKind::Yearly, path, e));
}

void CommitYearOutput(const YearOutput& output) {
    // An empty yearly file holds nothing to keep; a failure to remove it changes nothing either.
    if (!output.emptyToRemove.empty()) std::remove(output.emptyToRemove.c_str());
    WriteYearlyFile(output.path, output.bytes);
    if (output.qualityPath.empty()) return;
    if (int e = WriteFileAtomically(output.qualityPath, output.qualityBytes))
        throw KolvaneError(message::CannotWrite(FileKind::Quality, output.qualityPath, e));
}

} // namespace kolvane
