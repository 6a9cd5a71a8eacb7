#include "engine/WindowRun.h"

#include "engine/Engine.h"
#include "model/Error.h"

namespace kolvane {
namespace {

class Adapter : public ConversionObserver {
  public:
    explicit Adapter(const RunObserver& observer) : observer_(observer) {}
    bool CancelRequested() override { return observer_.cancelled && observer_.cancelled(); }
    void FileWritten(std::size_t, const std::string& path) override {
        ++written_;
        if (observer_.written) observer_.written(written_, path);
    }

  private:
    const RunObserver& observer_;
    std::size_t written_ = 0;
};

} // namespace

PlannedRun PlanRun(const RunRequest& request) {
    ConversionRequest conversion;
    conversion.longitude = request.longitude;
    conversion.monthlyFolder = request.monthlyFolder;
    conversion.outputFolder = request.outputFolder;
    StationPlan plan = PlanStation(conversion, request.station, request.months, request.latitude);
    return {std::move(plan.settings), std::move(plan.runs), std::move(plan.replacedUnmerged)};
}

std::vector<std::string> YearlyFilesReplacedUnmerged(const PlannedRun& run) {
    return run.replacedUnmerged;
}

RunOutcome ConvertYearRuns(const std::vector<YearRun>& runs, const ConversionSettings& settings,
                           const RunObserver& observer, unsigned threads) {
    Adapter adapter(observer);
    const ConversionOutcome outcome =
        RunConversion({StationPlan{settings.key, settings, runs, {}, {}}}, adapter, threads);
    const StationResult& station = outcome.stations.front();
    if (station.failure) throw KolvaneError(*station.failure);
    return {station.written.size(), outcome.cancelled};
}

} // namespace kolvane
