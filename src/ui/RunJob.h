#pragma once

#include "request/RunRequest.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kolvane {

// A conversion run on a worker thread while the window stays usable. The window plans it, starts
// it, may cancel it, and follows it through signals, which all arrive on the job's own thread; a
// notice of a run that has ended (or been stopped) meanwhile is never delivered.
class RunJob : public QObject {
    Q_OBJECT
  public:
    // How a conversion reports to the job, on the worker thread.
    struct Progress {
        // Before each yearly file (0 for the first); true ends the run there.
        std::function<bool(std::size_t year)> starting;
        // A yearly file is in place: the number written so far, its path and the suspect values the
        // checks found in its year.
        std::function<void(std::size_t written, const std::string& path, int64_t suspectValues)> written;
        // While another run holds the station: what it waits for (about every 100 ms); true ends the run.
        std::function<bool(const std::string& notice)> waiting;
    };
    struct Outcome {
        std::size_t written = 0;
        bool cancelled = false;
        bool subHourly = false; // a file was made from monthly rows less than an hour apart
    };
    struct Result {
        Outcome outcome;
        std::optional<QString> failure; // the user's message when the run failed
    };

    // A request made into a conversion, not yet started.
    struct Plan {
        QStringList yearlyFiles; // the names of the files it writes, in order
        std::string outputFolder;
        // Files already in the output folder that the run would replace without reading them first.
        std::vector<std::string> replacedUnmerged;
        // The conversion itself; it may throw.
        std::function<Outcome(const Progress&)> convert;
    };

    explicit RunJob(QObject* parent = nullptr);
    // Stops a run still going: the current year finishes, so no file is left half written.
    ~RunJob() override;

    // What can be checked before the output folder is chosen. Throws RequestError.
    static void Check(const RunRequest& request);
    // Plans a checked request that has its output folder. Throws KolvaneError with the user's message.
    static Plan Prepare(const RunRequest& request);

    bool running() const { return run_ != nullptr; }
    // Starts `plan` unless a run is going.
    void Start(Plan plan);
    // Asks the run to stop before its next year; it ends as usual, with `finished`.
    void Cancel();
    // While held, the run waits before its next year (the current one is finished); a cancel or a
    // stop ends the wait as well.
    void Hold(bool held);
    // Cancels the run and waits for it to end, without any further signal of it.
    Result Stop();

  signals:
    void yearStarted(int index, const QString& fileName);
    void fileWritten(int written, const QString& path, qint64 suspectValues);
    // The run waits for another run writing the same station, as told in `notice`.
    void waiting(const QString& notice);
    // The run has ended, completed or cancelled, and its thread is gone.
    void finished(int written, bool cancelled);
    // The run has ended at a failure and its thread is gone; `written` files before it stay.
    void failed(const QString& message, int written);

  private:
    struct Active;
    Result Join();

    std::shared_ptr<Active> run_;
    unsigned generation_ = 0; // tells a finished run's late notices from the current run's
};

} // namespace kolvane
