#pragma once

#include "ui/StatisticsLoader.h"

#include <QCoreApplication>
#include <QThread>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

namespace foldwise::test {

// Stands in for the folder analysis so that the test decides when each run
// finishes and what it returns. Each run takes the next ticket (0, 1, …),
// records its thread and folder, waits until its ticket is released and returns
// the statistics given for that ticket (two empty lists if none).
class ControlledAnalysis {
public:
    explicit ControlledAnalysis(std::vector<FileStatistics> results = {}) { state_->results = std::move(results); }
    ~ControlledAnalysis() { releaseAll(); } // so that no pool thread stays blocked

    StatisticsLoader::Analysis function() const {
        return [state = state_](const std::filesystem::path& folder) {
            std::unique_lock lock(state->mutex);
            const std::size_t ticket = state->runs.size();
            state->runs.push_back({QThread::currentThread(), folder});
            // A run on the GUI thread would block the events that release it: it
            // fails the thread check instead.
            const bool onGuiThread = QThread::currentThread() == QCoreApplication::instance()->thread();
            state->changed.wait(lock,
                                [&] { return onGuiThread || state->releaseAll || state->released.contains(ticket); });
            return ticket < state->results.size() ? state->results[ticket] : FileStatistics{};
        };
    }
    void release(std::size_t ticket) {
        update([&] { state_->released.insert(ticket); });
    }
    // Every run, also those still to start.
    void releaseAll() {
        update([&] { state_->releaseAll = true; });
    }

    struct Run {
        QThread* thread;
        std::filesystem::path folder;
    };
    std::vector<Run> runs() const {
        std::lock_guard lock(state_->mutex);
        return state_->runs;
    }
    int started() const { return int(runs().size()); }

private:
    void update(const std::function<void()>& change) {
        {
            std::lock_guard lock(state_->mutex);
            change();
        }
        state_->changed.notify_all();
    }

    struct State {
        std::mutex mutex;
        std::condition_variable changed;
        std::vector<FileStatistics> results;
        std::set<std::size_t> released;
        bool releaseAll = false;
        std::vector<Run> runs;
    };
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

} // namespace foldwise::test
