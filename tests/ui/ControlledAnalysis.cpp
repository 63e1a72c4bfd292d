#include "ControlledAnalysis.h"

namespace foldwise::test {

ControlledAnalysis::ControlledAnalysis() : state_(std::make_shared<State>()) {}

ControlledAnalysis::~ControlledAnalysis() {
    releaseAll();
}

StatisticsLoader::Analysis ControlledAnalysis::function() const {
    return [state = state_](const std::filesystem::path& folder) {
        std::unique_lock lock(state->mutex);
        const std::size_t ticket = state->threads.size();
        state->threads.push_back(QThread::currentThread());
        state->folders.push_back(folder);
        state->released.wait(lock, [&] {
            return state->releaseAll || (ticket < state->isReleased.size() && state->isReleased[ticket]);
        });
        return ticket < state->results.size() ? state->results[ticket] : FileStatistics{};
    };
}

void ControlledAnalysis::setResult(int ticket, FileStatistics statistics) {
    std::lock_guard lock(state_->mutex);
    if (state_->results.size() <= std::size_t(ticket)) {
        state_->results.resize(ticket + 1);
    }
    state_->results[ticket] = std::move(statistics);
}

void ControlledAnalysis::release(int ticket) {
    {
        std::lock_guard lock(state_->mutex);
        if (state_->isReleased.size() <= std::size_t(ticket)) {
            state_->isReleased.resize(ticket + 1);
        }
        state_->isReleased[ticket] = true;
    }
    state_->released.notify_all();
}

void ControlledAnalysis::releaseAll() {
    {
        std::lock_guard lock(state_->mutex);
        state_->releaseAll = true;
    }
    state_->released.notify_all();
}

int ControlledAnalysis::started() const {
    std::lock_guard lock(state_->mutex);
    return int(state_->threads.size());
}

QThread* ControlledAnalysis::threadOf(int ticket) const {
    std::lock_guard lock(state_->mutex);
    return state_->threads.at(ticket);
}

std::filesystem::path ControlledAnalysis::folderOf(int ticket) const {
    std::lock_guard lock(state_->mutex);
    return state_->folders.at(ticket);
}

FileStatistics makeStatistics(const std::vector<std::pair<std::string, std::int64_t>>& categories,
                              const std::vector<std::pair<std::string, std::int64_t>>& types) {
    FileStatistics statistics;
    for (const auto& [name, count] : categories) {
        statistics.categories.emplace_back(name, count);
    }
    for (const auto& [name, count] : types) {
        statistics.types.emplace_back(name, count);
    }
    return statistics;
}

} // namespace foldwise::test
