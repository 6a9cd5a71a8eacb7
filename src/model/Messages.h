#pragma once

// Every message the core gives the user, in one place. Each names the file or folder it is about,
// and the day, line or column where it applies, and the cause.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kolvane {

// Japanese wording of an errno value, for messages about files and folders.
std::string DescribeSystemError(int errorNumber);

enum class FileKind { Monthly, Yearly, Quality, Findings };

// "月次ファイル", "年次ファイル", "品質ファイル" or "検査結果ファイル" (the companions of a yearly file).
std::string_view FileKindName(FileKind kind);

namespace message {

std::string CannotRead(FileKind kind, const std::string& path, int errorNumber);
std::string CannotWrite(FileKind kind, const std::string& path, int errorNumber);
std::string MissingColumn(FileKind kind, const std::string& file, std::string_view column);
std::string RepeatedColumn(FileKind kind, const std::string& file, std::string_view column);
std::string WrongEncoding(FileKind kind, const std::string& file, std::string_view encoding);
std::string NumberTooLarge(FileKind kind, const std::string& file, std::size_t lineNumber);

// A line the reader could not read: its number, its bytes (CP932) and why (UTF-8).
struct UnreadLine {
    std::size_t number = 0;
    std::string_view bytes;
    std::string_view why;
};
// Causes of an unreadable line.
std::string UnreadableHourCause(std::string_view date, std::string_view time);
std::string UnreadableDateCause(std::string_view date);
std::string EmptyValueCause();
// A monthly file with data lines of which none gave an hour: `unreadable` of its `lines` could not be read.
std::string MonthlyUnreadable(const std::string& file, std::size_t lines, std::size_t unreadable,
                              const UnreadLine& first);
// An earlier yearly file of whose `lines` holding values only `read` could be read.
std::string YearlyUnreadable(const std::string& file, std::size_t lines, std::size_t read,
                             const UnreadLine& first);
// Notes of a run that went on: lines skipped, a monthly file without data lines.
std::string LinesSkipped(FileKind kind, const std::string& file, std::size_t skipped,
                         const UnreadLine& first);
std::string MonthlyWithoutRows(const std::string& file);
// Rows less than an hour apart (a logger's 10-minute file): converted, but the user should know.
std::string SubHourlyRows();

// Text shown inside a message with its control characters as escapes (\n, \r, \t, \x1B): a NUL would cut
// the message short, a line end break it.
std::string ShownEscaped(std::string_view text);

// Memory ran out while the file was read or its days computed.
std::string OutOfMemory(FileKind kind, const std::string& path);

// The causes of a day that cannot be computed, and the message naming the monthly file and the day.
std::string NotANumberCause();
std::string NotConvergedCause(int iterations);
std::string DayNotComputable(const std::string& monthlyFile, int32_t year, int32_t month, int32_t day,
                             std::string_view cause);

// A folder of monthly files that cannot be listed: the command line's wording and the window's.
std::string MonthlyFolderUnreadable(const std::string& folder, int errorNumber);
std::string FolderUnreadable(const std::string& folder, int errorNumber);

std::string SettingsNotSaved(const std::string& path, int errorNumber);

// A coordinate box holding something other than a number of its range, e.g. "緯度(度)", 20, 49.
std::string OutOfRange(std::string_view box, int low, int high);

// What a run request lacks.
std::string CoordinatesNotSet();
// One coordinate box left empty, named as in OutOfRange, e.g. "緯度(分)".
std::string CoordinateBoxEmpty(std::string_view box);
std::string NoMonthsSelected();
std::string StationNotChosen();
std::string NoOutputFolder(const std::string& folder);
// A table of station latitudes the user gives: unreadable, a row that cannot be used (the cause
// without a final "。"), a station it lacks.
std::string LatitudeTableUnreadable(const std::string& path, int errorNumber);
std::string LatitudeTableBadRow(const std::string& path, std::size_t lineNumber, std::string_view cause);
std::string StationWithoutLatitude(std::string_view station, const std::string& tablePath);
// Causes of a table row that cannot be used, for LatitudeTableBadRow.
std::string RowWithoutLatitudeCause();
std::string LatitudeFormCause();
// A latitude typed in none of the forms the cause names.
std::string LatitudeForm();
std::string LongitudeFormCause();
std::string StationFormCause();
std::string RepeatedStationCause(std::string_view station);

// A group or bucket ID that would turn a file name into a path (see IsUsableStationCode): the cause,
// without a final "。", and the message.
std::string UnusableStationCodeCause(std::string_view code);
std::string UnusableStationCode(std::string_view code);

// A station as the user reads it: "グループID 03・バケットID 12".
std::string StationLabel(std::string_view group, std::string_view bucket);

// A station (e.g. "0312") and what of it the monthly folder lacks.
std::string MonthlyFileMissing(std::string_view station, std::string_view monthEntry,
                               const std::string& monthlyPath);
std::string NoMonthlyFilesOfStation(std::string_view group, std::string_view bucket,
                                    const std::string& folder);
std::string NoMonthlyFiles(const std::string& folder);

// A file given as a yearly file whose name is not Y{yyyy}_{GG}{BB}.csv.
std::string NotAYearlyFileName(const std::string& path);
// A companion beside a yearly file that was written with another one, or that does not say which.
std::string CompanionNotBelonging(const std::string& path);
std::string CompanionNotProven(const std::string& path);
// The same of a findings file, whose findings are then not shown.
std::string FindingsNotBelonging(const std::string& path);
std::string FindingsNotProven(const std::string& path);
// Added to the yearly file's CannotWrite when its companion, written first, could not be: the yearly
// file was left as it was.
std::string CompanionNotWritten(FileKind kind, const std::string& companionPath);

// The run log in `logPath` could not be added to; the yearly files named, announced there before they
// are put in place, were not written.
std::string RunLogNotWritten(const std::string& logPath, int errorNumber,
                             const std::vector<std::string>& yearlyPaths);

// After a year plot's title: the latitude the run log names for its yearly file.
std::string LatitudeOnRecord(std::string_view latitude);

// An unexpected failure of a run (not a KolvaneError), with its own description.
std::string RunFailed(std::string_view description);

// A run waits while another run writes the same station's yearly files into the same folder.
std::string WaitingForStation(const std::string& station, const std::string& folder);

} // namespace message
} // namespace kolvane
