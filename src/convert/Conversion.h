#pragma once

#include "convert/RunPlan.h"
#include "model/FileIo.h"
#include "model/WeatherRecord.h"

#include <string>
#include <string_view>
#include <vector>

namespace kolvane {

struct ConversionSettings {
    double latitude = 0;       // decimal degrees, north positive
    std::string monthlyFolder; // ends in "/"; also where an existing yearly file is looked up
    std::string outputFolder;  // ends in "/"
    StationKey key;
};

// A converted year before anything on disk has changed.
struct YearOutput {
    std::string path;          // the yearly file to write
    std::string bytes;         // its complete content (CP932, CR LF)
    std::string emptyToRemove; // an empty yearly file found in the monthly folder, to delete
};

// The four tables and the procedures that fill them, for one station. Every failure is a
// KolvaneError whose message names the file (and the day or column) and the cause.
class Conversion {
  public:
    explicit Conversion(ConversionSettings settings);

    // Replaces the hourly table with the complete hours of one monthly file. A file that does not
    // exist reads as empty.
    void ReadMonthlyFile(const std::string& path);
    // Appends one daily row per day of the hourly table, with the four derived values.
    void BuildDailyRecords();
    // Replaces the existing-year table with the day rows of a yearly file. A file that does not exist
    // reads as empty; an empty file is noted for deletion.
    void ReadYearlyFile(const std::string& path);
    void MergeIntoYear();
    void SortYearByDate();
    void BuildYearCalendar(std::string_view yy);
    // The yearly file text of the year table.
    std::string FormatYearlyFile() const;
    // Writes the year table to `path`, replacing the file atomically.
    void WriteYearlyFile(const std::string& path) const;

    // Reads, aggregates, merges and formats one year without changing anything on disk.
    YearOutput ComputeYearRun(const std::vector<std::string>& monthlyNames, std::string_view yy);
    // The whole year run, written to the output folder.
    void ConvertYearRun(const std::vector<std::string>& monthlyNames, std::string_view yy);

    const WeatherTable& hourlyTable() const { return hourlyTable_; }
    const WeatherTable& dailyTable() const { return dailyTable_; }
    WeatherTable& existingTable() { return existingTable_; }
    const WeatherTable& yearTable() const { return yearTable_; }

  private:
    ConversionSettings settings_;
    FolderLookup monthlyFolder_;
    FolderLookup outputFolder_;
    std::string currentMonthlyFile_; // for messages
    std::string buffer_;             // file bytes, reused
    WeatherTable hourlyTable_;
    WeatherTable dailyTable_;
    WeatherTable existingTable_;
    WeatherTable yearTable_;
    std::string emptyYearlyFile_;
};

// Writes one year's output: deletes a noted empty yearly file, then replaces the yearly file.
void CommitYearOutput(const YearOutput& output);

} // namespace kolvane
