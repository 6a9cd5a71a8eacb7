#include "engine/Plan.h"

#include "discovery/Discovery.h"
#include "model/FileIo.h"
#include "model/Messages.h"
#include "model/Text.h"
#include "request/LatitudeTable.h"

#include <algorithm>

namespace kolvane {
namespace {

std::string Key(const StationKey& station) {
    return LowerAscii(StationName(station));
}

// The month list entries in list order: by two-digit year, then month, each once.
std::vector<std::string> InListOrder(std::vector<std::string> entries) {
    std::stable_sort(entries.begin(), entries.end(), [](const std::string& a, const std::string& b) {
        return MonthEntryOrderKey(a) < MonthEntryOrderKey(b);
    });
    entries.erase(std::unique(entries.begin(), entries.end()), entries.end());
    return entries;
}

bool SameFolder(const std::string& a, const std::string& b) {
    platform::Status first, second;
    return platform::Stat(a, first) == 0 && platform::Stat(b, second) == 0 &&
           first.kind != platform::Kind::Missing && second.kind != platform::Kind::Missing &&
           first.device == second.device && first.inode == second.inode;
}

// Nothing by that name, not even a link to nothing.
bool Missing(const std::string& path) {
    platform::Status st;
    return platform::Stat(path, st) == 0 && st.kind == platform::Kind::Missing;
}

std::vector<std::string> ReplacedUnmerged(const ConversionSettings& settings,
                                          const std::vector<YearRun>& runs) {
    std::vector<std::string> files;
    if (SameFolder(settings.monthlyFolder, settings.outputFolder)) return files;
    FolderLookup output(settings.outputFolder);
    for (const YearRun& year : runs) {
        const std::string path = output.Resolve(YearlyFileName(year.yy, settings.key));
        platform::Status st;
        if (platform::Stat(path, st) == 0 && st.kind != platform::Kind::Missing) files.push_back(path);
    }
    return files;
}

// The stations of the request in order, each once.
std::vector<StationKey> Stations(const ConversionRequest& request, const std::vector<StationMonths>& found) {
    std::vector<StationKey> stations;
    if (request.allStations) {
        for (const StationMonths& s : found)
            stations.push_back({s.group, s.bucket});
        if (stations.empty())
            throw RequestError(RequestField::Station, message::NoMonthlyFiles(request.monthlyFolder));
    } else {
        for (const StationKey& s : request.stations) {
            auto same = [&](const StationKey& t) { return SameStation(t, s); };
            if (std::none_of(stations.begin(), stations.end(), same)) stations.push_back(s);
        }
    }
    if (stations.empty()) throw RequestError(RequestField::Station, message::StationNotChosen());
    return stations;
}

const std::vector<std::string>& LatitudeOf(const ConversionRequest& request, const StationKey& station) {
    if (!request.latitude.empty() || !request.table) return request.latitude;
    auto row = request.table->rows.find(Key(station));
    if (row == request.table->rows.end())
        throw RequestError(RequestField::Coordinates,
                           message::StationWithoutLatitude(StationName(station), request.table->path));
    return row->second;
}

// A table row's own longitude, else the one given for every station.
const std::vector<std::string>& LongitudeOf(const ConversionRequest& request, const StationKey& station) {
    if (request.table) {
        auto row = request.table->longitudes.find(Key(station));
        if (row != request.table->longitudes.end()) return row->second;
    }
    return request.longitude;
}

// The latitude as the user gave it, its parts joined as they are typed.
std::string LatitudeText(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : ":") + std::string(TrimBlanks(part));
    return text;
}

} // namespace

std::vector<YearRun> PlanYearRuns(const std::vector<std::string>& selectedEntries, const StationKey& key) {
    std::vector<YearRun> runs;
    for (const std::string& entry : selectedEntries) {
        std::string name = MonthlyFileNameOfEntry(entry, key);
        std::string yy(YearCharsOfMonthlyName(name));
        if (runs.empty() || runs.back().yy != yy) runs.push_back({{}, yy});
        runs.back().monthlyNames.push_back(std::move(name));
    }
    return runs;
}

StationPlan PlanStation(const ConversionRequest& request, const StationKey& station,
                        const std::vector<std::string>& months, const std::vector<std::string>& latitude) {
    RunRequest run{latitude,
                   request.longitude,
                   station,
                   months,
                   request.monthlyFolder,
                   request.outputFolder,
                   request.mergeOutput,
                   request.program};
    CheckRunRequest(run);
    if (!IsFolder(request.outputFolder))
        throw RequestError(RequestField::OutputFolder, message::NoOutputFolder(request.outputFolder));
    StationPlan plan;
    plan.station = station;
    plan.settings = {LatitudeDegrees(latitude),
                     request.monthlyFolder,
                     request.outputFolder,
                     station,
                     request.writeQuality,
                     request.mergeOutput && !SameFolder(request.monthlyFolder, request.outputFolder),
                     LatitudeText(latitude),
                     request.program};
    plan.settings.longitude =
        LongitudeDegrees(LongitudeOf(request, station)).value_or(std::numeric_limits<double>::quiet_NaN());
    plan.runs = PlanYearRuns(months, station);
    if (!request.mergeOutput) plan.replacedUnmerged = ReplacedUnmerged(plan.settings, plan.runs);
    return plan;
}

std::vector<StationPlan> PlanConversion(const ConversionRequest& request) {
    // One listing of the folder serves every station.
    std::vector<StationMonths> found;
    if (int e = ListStations(request.monthlyFolder, found))
        throw KolvaneError(message::MonthlyFolderUnreadable(request.monthlyFolder, e));
    const std::vector<std::string> selected = InListOrder(request.months);

    std::vector<StationPlan> plans;
    for (const StationKey& station : Stations(request, found)) {
        auto it = std::find_if(found.begin(), found.end(), [&](const StationMonths& s) {
            return SameStation({s.group, s.bucket}, station);
        });
        const std::vector<std::string> listed = it == found.end() ? std::vector<std::string>{} : it->months;
        const std::vector<std::string>& latitude = LatitudeOf(request, station);
        if (selected.empty() && listed.empty())
            throw RequestError(
                RequestField::Months,
                message::NoMonthlyFilesOfStation(station.group, station.bucket, request.monthlyFolder));
        StationPlan plan = PlanStation(request, station, selected.empty() ? listed : selected, latitude);
        for (const std::string& m : selected) {
            if (std::find(listed.begin(), listed.end(), m) != listed.end()) continue;
            // A folder or pipe by the name is no typo: the run names it with its own message, as it
            // does a link loop. A link to nothing is as missing as no file, which the run would take
            // for an empty month.
            if (Missing(request.monthlyFolder + MonthlyFileNameOfEntry(m, station)))
                plan.missingMonths.push_back(m);
        }
        plans.push_back(std::move(plan));
    }
    return plans;
}

StationPlan PlanRun(const RunRequest& request) {
    ConversionRequest conversion;
    conversion.longitude = request.longitude;
    conversion.monthlyFolder = request.monthlyFolder;
    conversion.outputFolder = request.outputFolder;
    conversion.mergeOutput = request.mergeOutput;
    conversion.program = request.program;
    return PlanStation(conversion, request.station, request.months, request.latitude);
}

} // namespace kolvane
