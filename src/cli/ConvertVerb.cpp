#include "Texts.h"
#include "Verbs.h"

#include "engine/Engine.h"
#include "model/DateText.h"
#include "model/FileIo.h"
#include "model/Messages.h"
#include "model/Text.h"
#include "request/ConversionRequest.h"
#include "request/LatitudeTable.h"

#include <algorithm>
#include <iostream>
#include <optional>

namespace kolvane::cli {
namespace {

// The --lat or --lon text as the parts of the request, in the forms a latitude table takes too; nothing
// for any other form.
std::optional<std::vector<std::string>> CoordinateParts(const std::string& text) {
    try {
        return ReadLatitudeText(text);
    } catch (const RequestError&) {
        return std::nullopt;
    }
}

// The output folder must take new files before anything is read; when it is the monthly folder by
// default (an installed sample, a colleague's share), --output is the way out.
void RefuseUnwritableOutput(const std::string& folder, bool defaulted) {
    const int error = platform::WriteAccess(folder);
    if (error == 0) return;
    throw UsageError(cli_text::OutputNotWritable(folder, DescribeSystemError(error), defaulted));
}

// "YYYY/MM" (or YYYY/M) of a year the two-digit file names can hold, as a month list entry.
std::string ParseMonth(const std::string& text) {
    std::size_t slash = text.find('/');
    auto digits = [](std::string_view s) {
        return !s.empty() && std::all_of(s.begin(), s.end(), IsAsciiDigit);
    };
    if (slash == 4 && digits(std::string_view(text).substr(0, 4)) &&
        digits(std::string_view(text).substr(5)) && text.size() <= 7) {
        int year = std::stoi(text.substr(0, 4));
        int month = std::stoi(text.substr(5));
        if (year >= 1970 && year <= 2069 && month >= 1 && month <= 12)
            return text.substr(0, 4) + "/" + PadTwoDigits(month);
    }
    throw UsageError(cli_text::BadMonth(text));
}

// The stations named: --group with --bucket, or every --station in the order given.
std::vector<StationKey> Stations(const ConvertCommand& c) {
    std::vector<StationKey> stations;
    if (!c.group.empty() || !c.bucket.empty()) {
        if (c.group.empty() || c.bucket.empty()) throw UsageError(cli_text::GroupAndBucketBoth());
        if (c.group.size() != 2) throw UsageError(cli_text::BadId("--group"));
        if (c.bucket.size() != 2) throw UsageError(cli_text::BadId("--bucket"));
        stations.push_back({c.group, c.bucket});
    }
    for (const std::string& s : c.stations) {
        std::optional<StationKey> station = StationOfName(s);
        if (!station) throw UsageError(cli_text::BadStation(s));
        stations.push_back(std::move(*station));
    }
    // Before anything else is asked for: such a code would name files outside the folder.
    try {
        for (const StationKey& station : stations)
            CheckStationCodes(station);
    } catch (const RequestError& e) {
        throw UsageError(e.what());
    }
    if (!c.allStations && stations.empty()) throw UsageError(cli_text::NoStation());
    return stations;
}

// Prints each station's yearly files when it is done, in station order, and keeps a progress line
// up to date on stderr when that is a terminal. With both streams on one terminal the progress line is
// cleared before anything else is printed, so that no file line starts behind it and the shell's prompt
// does not land on it at the end.
class PrintingObserver : public ConversionObserver {
  public:
    PrintingObserver(const std::vector<StationPlan>& plans, std::size_t years, bool findingsWritten)
        : plans_(plans), stations_(plans.size()), years_(years), shown_(platform::StandardErrorIsTerminal()),
          findingsWritten_(findingsWritten) {}
    ~PrintingObserver() override {
        Clear();
        if (suspect_ == 0) return;
        std::cerr << (findingsWritten_ ? cli_text::SuspectValuesWritten(suspect_, withFindings_)
                                       : cli_text::SuspectValuesNotWritten(suspect_))
                  << std::endl;
    }
    void FileWritten(std::size_t, const WrittenYear& year) override {
        if (!year.notes.empty()) Clear();
        for (const std::string& note : year.notes)
            std::cerr << note << "\n";
        suspect_ += year.suspectValues;
        withFindings_ += year.suspectValues > 0;
    }
    void StationDone(std::size_t, const StationResult& result) override {
        if (result.written.empty()) return;
        Clear();
        for (const std::string& path : result.written)
            std::cout << path << "\n";
        std::cout << std::flush;
    }
    void WaitingForStation(std::size_t station, const std::string& folder) override {
        Clear();
        std::cerr << message::WaitingForStation(StationName(plans_[station].station), folder) << std::endl;
    }
    void Progress(std::size_t stations, std::size_t years) override {
        if (!shown_) return;
        std::cerr << "\r\033[K" << cli_text::ProgressLine(stations, stations_, years, years_) << std::flush;
        drawn_ = true;
    }

  private:
    const std::vector<StationPlan>& plans_;

    void Clear() {
        if (!drawn_) return;
        std::cerr << "\r\033[K" << std::flush;
        drawn_ = false;
    }

    std::size_t stations_, years_;
    bool shown_, findingsWritten_, drawn_ = false;
    int64_t suspect_ = 0;
    std::size_t withFindings_ = 0;
};

// Every station planned, or the refusal of the first that cannot be.
std::vector<StationPlan> Plan(const ConvertCommand& c, ConversionRequest& request,
                              std::optional<LatitudeTable>& table) {
    try {
        if (!c.latTable.empty()) {
            table = ReadLatitudeTable(c.latTable);
            request.table = &*table;
        }
        return PlanConversion(request);
    } catch (const RequestError& e) {
        if (e.field == RequestField::Coordinates && !c.lat.empty())
            throw UsageError(cli_text::LatitudeRefused(c.lat, e.what()));
        throw UsageError(e.what());
    }
}

// The request of the options, each value checked as the usage it is.
ConversionRequest RequestOf(const ConvertCommand& c) {
    ConversionRequest request;
    request.stations = Stations(c);
    request.allStations = c.allStations;
    if (c.lat.empty() && c.latTable.empty()) throw UsageError(cli_text::NoLatitude());
    if (!c.all && c.months.empty()) throw UsageError(cli_text::AllOrMonths());
    if (!c.lat.empty()) {
        const auto parts = CoordinateParts(c.lat);
        if (!parts) throw UsageError(cli_text::BadLatitude(c.lat));
        request.latitude = *parts;
    }
    if (!c.lon.empty()) {
        const auto parts = CoordinateParts(c.lon);
        if (!parts || !LongitudeDegrees(*parts)) throw UsageError(cli_text::BadLongitude(c.lon));
        request.longitude = *parts;
    }
    for (const std::string& m : c.months)
        request.months.push_back(ParseMonth(m));
    request.monthlyFolder = c.monthly;
    request.outputFolder = c.output.empty() ? c.monthly : c.output;
    request.writeQuality = !c.noQuality;
    request.mergeOutput = c.mergeOutput;
    request.program = "kolvane-convert";
    return request;
}

int ReportFailures(const ConversionOutcome& outcome, const std::vector<StationPlan>& plans) {
    const std::size_t failures = outcome.Failures();
    if (failures == 0) return 0;
    if (plans.size() == 1) {
        std::cerr << cli_text::ErrorLine(*outcome.stations.front().failure) << "\n";
    } else {
        // Each station's line is an error line of its own, so that a script can pick them all out.
        std::cerr << cli_text::ErrorLine(cli_text::StationsFailed(failures, plans.size())) << "\n";
        for (std::size_t s = 0; s < plans.size(); ++s) {
            if (const std::optional<std::string>& failure = outcome.stations[s].failure)
                std::cerr << cli_text::ErrorLine(
                                 cli_text::StationFailed(StationName(plans[s].station), *failure))
                          << "\n";
        }
    }
    return EXIT_CONVERSION_ERROR;
}

} // namespace

int RunConvert(ConvertCommand c) {
    c.monthly = MonthlyFolder(c.monthly);
    if (!c.output.empty()) c.output = WithTrailingSlash(c.output);
    ConversionRequest request = RequestOf(c);
    std::optional<LatitudeTable> table;
    const std::vector<StationPlan> plans = Plan(c, request, table);

    // Refusals first, so that nothing is written when any station is refused.
    std::string missing, unmerged;
    std::size_t years = 0;
    for (const StationPlan& plan : plans) {
        for (const std::string& m : plan.missingMonths)
            missing +=
                "\n  " + message::MonthlyFileMissing(StationName(plan.station), m,
                                                     c.monthly + MonthlyFileNameOfEntry(m, plan.station));
        for (const std::string& file : plan.replacedUnmerged)
            unmerged += "\n  " + file;
        years += plan.runs.size();
    }
    if (!missing.empty() && !c.allowMissing) throw UsageError(cli_text::MissingMonths(missing));
    if (!missing.empty() && c.check) std::cerr << cli_text::MissingMonthsNote(missing) << "\n";
    if (c.check) return RunCheck(plans);
    RefuseUnwritableOutput(request.outputFolder, c.output.empty());
    if (!unmerged.empty() && !c.replace) throw UsageError(cli_text::ReplacedUnmerged(unmerged));
    if (!missing.empty()) std::cerr << cli_text::MissingMonthsNote(missing) << "\n";

    ConversionOutcome outcome;
    {
        PrintingObserver observer(plans, years, !c.noQuality);
        outcome = RunConversion(plans, observer, c.jobs);
    }
    return ReportFailures(outcome, plans);
}

} // namespace kolvane::cli
