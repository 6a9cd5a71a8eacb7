#include "formats/Year.h"

#include "daily/DailyAggregation.h"
#include "daily/YearCalendar.h"
#include "formats/MonthlyFile.h"
#include "formats/QualityFile.h"
#include "formats/YearlyFile.h"
#include "model/Error.h"
#include "model/FileIo.h"

#include <cerrno>
#include <new>

namespace kolvane {
namespace {

SourceFile ReadSourceFile(FileKind kind, const std::string& path) {
    try {
        SourceFile file{path, std::string()};
        if (int e = ReadWholeFile(path, *file.bytes)) {
            if (e != ENOENT) throw KolvaneError(message::CannotRead(kind, path, e));
            file.bytes.reset();
        }
        return file;
    } catch (const std::bad_alloc&) {
        // The file's buffer is gone by now, which leaves room for the message.
        throw KolvaneError(message::OutOfMemory(kind, path));
    }
}

// The year's computation; `current` follows the file being worked on, for a message when memory runs
// out.
YearTexts ComputeYearTracked(const YearInputs& inputs, const SourceFile*& current) {
    HourlyTable hourly;
    DailyTable daily;
    for (const SourceFile& month : inputs.monthly) {
        if (!month.bytes) continue;
        current = &month;
        ParseMonthlyText(*month.bytes, month.path, hourly);
        try {
            BuildDailyRecords(hourly, inputs.latitude, daily);
        } catch (const DayComputationError& e) {
            throw KolvaneError(message::DayNotComputable(month.path, e.year, e.month, e.day, e.what()));
        }
    }
    current = &inputs.yearly;
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

} // namespace

const std::array<YearFile, 2> YEAR_FILES = {{
    {FileKind::Yearly, YearlyFileName, FormatYearlyText},
    {FileKind::Quality, QualityFileName, FormatQualityText},
}};

YearTexts ComputeYear(const YearInputs& inputs) {
    const SourceFile* current = &inputs.yearly;
    try {
        return ComputeYearTracked(inputs, current);
    } catch (const std::bad_alloc&) {
        // The tables are freed by the time the message is made.
        const FileKind kind = current == &inputs.yearly ? FileKind::Yearly : FileKind::Monthly;
        throw KolvaneError(message::OutOfMemory(kind, current->path));
    }
}

SourceFile ReadMonthlyFile(const std::string& path) {
    return ReadSourceFile(FileKind::Monthly, path);
}

SourceFile ReadYearlyFile(const std::string& path) {
    return ReadSourceFile(FileKind::Yearly, path);
}

} // namespace kolvane
