#include "ui/RunWorker.h"

#include "engine/Organizer.h"
#include "engine/Reverter.h"

#include <QMetaObject>

#include <utility>

namespace foldwise {

namespace {

RunOutcome runWithEngine(RunKind kind, const std::filesystem::path& input, const std::filesystem::path& output,
                         bool useSmartCategories, const RunOptions& options) {
    return kind == RunKind::Sort ? organizeFiles(input, output, useSmartCategories, options)
                                 : revertFiles(input, output, options);
}

} // namespace

RunWorker::RunWorker(QObject* parent) : QObject(parent), run_(&runWithEngine) {}

RunWorker::~RunWorker() {
    cancelAndWait();
}

void RunWorker::setRun(Run run) {
    run_ = run ? std::move(run) : Run(&runWithEngine);
}

bool RunWorker::start(RunKind kind, const std::filesystem::path& input, const std::filesystem::path& output,
                      bool useSmartCategories, OnNameTaken onNameTaken, std::int64_t onlySort) {
    if (isRunning()) {
        return false;
    }
    stop_ = std::stop_source();
    kind_ = kind;
    RunOptions options;
    options.onNameTaken = onNameTaken;
    options.onlySort = onlySort;
    options.stop = stop_.get_token();
    // Queued to this object: a worker destroyed meanwhile receives nothing.
    options.progress = [this](const RunProgress& progress) {
        QMetaObject::invokeMethod(
            this, [this, progress] { emit progressed(progress); }, Qt::QueuedConnection);
    };
    options.waiting = [this](const std::string& otherRun) {
        QMetaObject::invokeMethod(
            this, [this, otherRun = QString::fromStdString(otherRun)] { emit waiting(otherRun); },
            Qt::QueuedConnection);
    };
    thread_ = std::thread([this, kind, input, output, useSmartCategories, options] {
        RunOutcome outcome;
        try {
            outcome = run_(kind, input, output, useSmartCategories, options);
        } catch (const std::exception& error) {
            outcome.failure = FileError(error.what());
        }
        {
            const std::lock_guard lock(mutex_);
            outcome_ = outcome;
        }
        QMetaObject::invokeMethod(this, &RunWorker::deliver, Qt::QueuedConnection);
    });
    return true;
}

void RunWorker::cancel() {
    stop_.request_stop();
}

void RunWorker::cancelAndWait() {
    cancel();
    if (thread_.joinable()) {
        thread_.join();
    }
}

std::optional<RunOutcome> RunWorker::cancelAndTake() {
    cancelAndWait();
    const std::lock_guard lock(mutex_);
    return std::exchange(outcome_, std::nullopt);
}

void RunWorker::deliver() {
    if (thread_.joinable()) {
        thread_.join(); // it has posted its last word: joining takes no time
    }
    std::optional<RunOutcome> outcome;
    {
        const std::lock_guard lock(mutex_);
        outcome = std::exchange(outcome_, std::nullopt);
    }
    if (outcome) { // not taken meanwhile
        emit finished(*outcome);
    }
}

} // namespace foldwise
