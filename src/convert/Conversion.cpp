#include "convert/Conversion.h"

#include "convert/MonthlyFile.h"
#include "convert/YearlyFile.h"
#include "daily/DailyAggregation.h"
#include "daily/YearCalendar.h"
#include "model/Error.h"
#include "model/FileIo.h"

#include <cerrno>
#include <cstdio>

namespace kolvane {

Conversion::Conversion(ConversionSettings settings)
    : settings_(std::move(settings)), monthlyFolder_(settings_.monthlyFolder),
      outputFolder_(settings_.outputFolder) {}

void Conversion::ReadMonthlyFile(const std::string& path) {
    currentMonthlyFile_ = path;
    if (int e = ReadWholeFile(path, buffer_)) {
        hourlyTable_.clear();
        if (e == ENOENT) return; // a month without its file adds no day
        throw KolvaneError("月次ファイル「" + path + "」を読み込めません（" + DescribeSystemError(e) +
                           "）。");
    }
    ParseMonthlyText(buffer_, path, hourlyTable_);
}

void Conversion::BuildDailyRecords() {
    try {
        kolvane::BuildDailyRecords(hourlyTable_, settings_.latitude, dailyTable_);
    } catch (const DayComputationError& e) {
        throw KolvaneError("月次ファイル「" + currentMonthlyFile_ + "」の" + std::to_string(e.year) + "年" +
                           std::to_string(e.month) + "月" + std::to_string(e.day) +
                           "日の値を計算できません（" + e.what() + "）。");
    }
}

void Conversion::ReadYearlyFile(const std::string& path) {
    emptyYearlyFile_.clear();
    if (int e = ReadWholeFile(path, buffer_)) {
        existingTable_.clear();
        if (e == ENOENT) return;
        throw KolvaneError("年次ファイル「" + path + "」を読み込めません（" + DescribeSystemError(e) +
                           "）。");
    }
    if (buffer_.empty()) emptyYearlyFile_ = path;
    ParseYearlyText(buffer_, path, existingTable_);
}

void Conversion::MergeIntoYear() {
    kolvane::MergeIntoYear(dailyTable_, existingTable_);
}

void Conversion::SortYearByDate() {
    kolvane::SortYearByDate(existingTable_);
}

void Conversion::BuildYearCalendar(std::string_view yy) {
    kolvane::BuildYearCalendar(yy, existingTable_, yearTable_);
}

std::string Conversion::FormatYearlyFile() const {
    return FormatYearlyText(yearTable_);
}

void Conversion::WriteYearlyFile(const std::string& path) const {
    CommitYearOutput(YearOutput{path, FormatYearlyFile(), {}});
}

YearOutput Conversion::ComputeYearRun(const std::vector<std::string>& monthlyNames, std::string_view yy) {
    dailyTable_.clear();
    for (const std::string& name : monthlyNames) {
        ReadMonthlyFile(monthlyFolder_.Resolve(name));
        BuildDailyRecords();
    }
    const std::string yearlyName = YearlyFileName(yy, settings_.key);
    ReadYearlyFile(monthlyFolder_.Resolve(yearlyName));
    MergeIntoYear();
    SortYearByDate();
    BuildYearCalendar(yy);
    return YearOutput{outputFolder_.Resolve(yearlyName), FormatYearlyFile(), emptyYearlyFile_};
}

void Conversion::ConvertYearRun(const std::vector<std::string>& monthlyNames, std::string_view yy) {
    CommitYearOutput(ComputeYearRun(monthlyNames, yy));
}

void CommitYearOutput(const YearOutput& output) {
    // An empty yearly file holds nothing to keep; a failure to remove it changes nothing either.
    if (!output.emptyToRemove.empty()) std::remove(output.emptyToRemove.c_str());
    if (int e = WriteFileAtomically(output.path, output.bytes)) {
        throw KolvaneError("年次ファイル「" + output.path + "」を書き込めません（" + DescribeSystemError(e) +
                           "）。");
    }
}

} // namespace kolvane
