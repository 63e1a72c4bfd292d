#pragma once

#include "ui/StatisticsLoader.h"

#include <QCoreApplication>
#include <QThread>

#include <condition_variable>
#include <limits>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

namespace foldwise::test {

// Stands in for the folder analysis so that the test decides when each run finishes and what it returns.
// Each run takes the next ticket (0, 1, …), records its folder, waits until its ticket is released and
// returns the statistics given for that ticket (two empty lists if none).
class ControlledAnalysis {
public:
    explicit ControlledAnalysis(std::vector<FileStatistics> results = {}) { state_->results = std::move(results); }
    ~ControlledAnalysis() { releaseAll(); } // so that no pool thread stays blocked

    StatisticsLoader::Analysis function() const {
        return [state = state_](const std::filesystem::path& folder) {
            std::unique_lock lock(state->mutex);
            const std::size_t ticket = state->folders.size();
            state->folders.push_back(folder);
            // A run on the GUI thread would block the events that release it: it returns at once, marked.
            const bool onGuiThread = QThread::currentThread() == QCoreApplication::instance()->thread();
            state->ranOnGuiThread = state->ranOnGuiThread || onGuiThread;
            state->changed.wait(
                lock, [&] { return onGuiThread || state->released.contains(ticket) || state->released.contains(all); });
            return ticket < state->results.size() ? state->results[ticket] : FileStatistics{};
        };
    }
    void release(std::size_t ticket) {
        const std::lock_guard lock(state_->mutex);
        state_->released.insert(ticket);
        state_->changed.notify_all();
    }
    void releaseAll() { release(all); } // every run, also those still to start

    std::vector<std::filesystem::path> folders() const {
        const std::lock_guard lock(state_->mutex);
        return state_->folders;
    }
    int started() const { return int(folders().size()); }
    bool ranOnGuiThread() const {
        const std::lock_guard lock(state_->mutex);
        return state_->ranOnGuiThread;
    }

private:
    static constexpr std::size_t all = std::numeric_limits<std::size_t>::max();

    struct State {
        std::mutex mutex;
        std::condition_variable changed;
        std::vector<FileStatistics> results;
        std::set<std::size_t> released;
        std::vector<std::filesystem::path> folders;
        bool ranOnGuiThread = false;
    };
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

} // namespace foldwise::test
