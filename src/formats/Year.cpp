#include "formats/Year.h"

#include "daily/DailyAggregation.h"
#include "daily/YearCalendar.h"
#include "formats/MonthlyFile.h"
#include "formats/QualityFile.h"
#include "formats/YearlyFile.h"
#include "model/Error.h"
#include "model/FileIo.h"

#include <cerrno>

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

const std::array<YearFile, 2> YEAR_FILES = {{
    {FileKind::Yearly, YearlyFileName, FormatYearlyText},
    {FileKind::Quality, QualityFileName, FormatQualityText},
}};

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
    YearTexts texts;
    texts.files.reserve(YEAR_FILES.size());
    for (const YearFile& file : YEAR_FILES)
        texts.files.push_back(file.format(year));
    return texts;
}

SourceFile ReadMonthlyFile(const std::string& path) {
    return ReadSourceFile(FileKind::Monthly, path);
}

SourceFile ReadYearlyFile(const std::string& path) {
    return ReadSourceFile(FileKind::Yearly, path);
}

} // namespace kolvane
