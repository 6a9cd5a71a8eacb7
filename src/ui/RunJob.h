#pragma once

#include "engine/Engine.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace kolvane {

// A conversion of one station run on a worker thread while the window stays usable. The window plans
// it, starts it, may cancel it, and follows it through signals, which all arrive on the job's own
// thread; a notice of a run that has ended (or been stopped) meanwhile is never delivered.
class RunJob : public QObject {
    Q_OBJECT
  public:
    // What the job runs on its thread: RunConversion, unless a test stands in for it.
    using Conversion = std::function<ConversionOutcome(const std::vector<StationPlan>&, ConversionObserver&)>;

    explicit RunJob(QObject* parent = nullptr, Conversion conversion = nullptr);
    // Stops a run still going: the current year finishes, so no file is left half written.
    ~RunJob() override;

    // The window's checked request, its output folder chosen, as the job runs it. Throws KolvaneError
    // with the user's message, whatever failed.
    static StationPlan Prepare(const ConversionRequest& request);

    bool running() const { return run_ != nullptr; }
    // Starts `plan` unless a run is going.
    void Start(StationPlan plan);
    // Asks the run to stop before its next year; it ends as usual, with `finished`.
    void Cancel();
    // While held, the run waits before its next year (the current one is finished); a cancel or a
    // stop ends the wait as well.
    void Hold(bool held);
    // Cancels the run and waits for it to end, without any further signal of it. Its one station holds
    // the files written and the failure, if any.
    ConversionOutcome Stop();
    // How the last run that ended with `finished` or `failed` came out, as Stop gives it.
    const ConversionOutcome& lastOutcome() const { return last_; }

  signals:
    void yearStarted(int index, const QString& fileName);
    // `year` is the calendar year the file holds.
    void fileWritten(int written, const QString& path, qint64 suspectValues, int year);
    // A note on a file read for the yearly file that follows (lines skipped, no rows).
    void noted(const QString& note);
    // The run waits for another run writing the same station, as told in `notice`.
    void waiting(const QString& notice);
    // The run has ended, completed or cancelled, and its thread is gone.
    void finished(int written, bool cancelled);
    // The run has ended at a failure and its thread is gone; `written` files before it stay.
    void failed(const QString& message, int written);

  private:
    struct Active;
    class Observer;
    ConversionOutcome Join();

    Conversion conversion_;
    std::shared_ptr<Active> run_;
    ConversionOutcome last_;
    unsigned generation_ = 0; // tells a finished run's late notices from the current run's
};

} // namespace kolvane
