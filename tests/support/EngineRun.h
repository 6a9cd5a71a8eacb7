#pragma once

#include "engine/Engine.h"
#include "model/Error.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace kolvane::testing {

// One station's year runs through the engine, as the window runs them: the first failing year is thrown
// as its message, after the years before it are written.
struct OneStationNotices {
    std::function<void(std::size_t written, const std::string& path)> written = nullptr;
    std::function<bool()> cancelled = nullptr;
};

struct OneStationOutcome {
    std::size_t written = 0;
    bool cancelled = false;
};

inline OneStationOutcome ConvertYearRuns(const std::vector<YearRun>& runs, const ConversionSettings& settings,
                                         const OneStationNotices& notices = {}, unsigned threads = 0) {
    struct Observer : ConversionObserver {
        const OneStationNotices& notices;
        std::size_t written = 0;
        explicit Observer(const OneStationNotices& n) : notices(n) {}
        bool CancelRequested() override { return notices.cancelled && notices.cancelled(); }
        void FileWritten(std::size_t, const WrittenYear& year) override {
            if (notices.written) notices.written(++written, year.yearlyPath);
        }
    } observer(notices);
    const ConversionOutcome outcome =
        RunConversion({StationPlan{settings.key, settings, runs, {}, {}}}, observer, threads);
    if (outcome.stations.front().failure) throw KolvaneError(*outcome.stations.front().failure);
    return {outcome.stations.front().written.size(), outcome.cancelled};
}

} // namespace kolvane::testing
