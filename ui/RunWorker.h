#pragma once

#include "engine/RunKind.h"
#include "engine/RunOptions.h"
#include "engine/RunOutcome.h"

#include <QObject>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>

namespace foldwise {

// Runs one sort or undo at a time on a thread of its own, so the window keeps responding. Progress
// and the outcome come back on the GUI thread as signals carrying values; a destroyed worker stops
// its run, waits for the file in hand, and signals nothing more.
class RunWorker : public QObject {
    Q_OBJECT

public:
    explicit RunWorker(QObject* parent = nullptr);
    ~RunWorker() override;

    bool isRunning() const { return thread_.joinable(); }
    // The kind of the run under way, or of the last one.
    RunKind kind() const { return kind_; }

    // Starts a run unless one is running; returns whether it started. `onNameTaken` matters to a sort only;
    // `onlySort` to an undo only: the id of the one sort it undoes (0: every sort of the folders).
    bool start(RunKind kind, const std::filesystem::path& input, const std::filesystem::path& output,
               bool useSmartCategories, OnNameTaken onNameTaken = OnNameTaken::Leave, std::int64_t onlySort = 0);

    // Asks the run to stop after the file in hand (a copy to another drive is abandoned and removed).
    void cancel();
    // Stops the run and waits until it has: nothing is left half-moved.
    void cancelAndWait();
    // Stops the run, waits for it, and returns its outcome, which `finished` then does not carry; nothing
    // when no run was under way.
    std::optional<RunOutcome> cancelAndTake();

    // What runs a sort or an undo; the engine's organizeFiles and revertFiles unless tests say other.
    using Run =
        std::function<RunOutcome(RunKind, const std::filesystem::path& input, const std::filesystem::path& output,
                                 bool useSmartCategories, const RunOptions& options)>;
    void setRun(Run run); // an empty one puts the engine back

signals:
    void progressed(const foldwise::RunProgress& progress);
    // The run waits for another run on the same folders, described as in "the sort from “In” into “Out”";
    // Cancel ends the wait.
    void waiting(const QString& otherRun);
    void finished(const foldwise::RunOutcome& outcome);

private:
    void deliver();

    Run run_;
    RunKind kind_ = RunKind::Sort;
    std::mutex mutex_;
    std::optional<RunOutcome> outcome_; // of the run that has ended, until delivered or taken
    std::stop_source stop_;
    std::thread thread_;
};

} // namespace foldwise
