#pragma once

#include "stats/FileStatistics.h"
#include "ui/StatisticsLoader.h"

#include <QThread>

#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <vector>

namespace foldwise::test {

// Stands in for the folder analysis so tests decide when each run finishes and what it returns.
// Each run takes the next ticket (0, 1, …), records the thread it runs on, waits until the test
// releases its ticket and returns the statistics chosen for that ticket (two empty lists if none).
class ControlledAnalysis {
public:
    ControlledAnalysis();
    ~ControlledAnalysis(); // releases every run still waiting, so no pool thread is left blocked

    StatisticsLoader::Analysis function() const;

    void setResult(int ticket, FileStatistics statistics);
    void release(int ticket);
    void releaseAll();

    int started() const;
    QThread* threadOf(int ticket) const;
    std::filesystem::path folderOf(int ticket) const;

private:
    struct State {
        mutable std::mutex mutex;
        std::condition_variable released;
        std::vector<FileStatistics> results;
        std::vector<bool> isReleased;
        bool releaseAll = false;
        std::vector<QThread*> threads;
        std::vector<std::filesystem::path> folders;
    };
    std::shared_ptr<State> state_;
};

// Statistics made of (name, count) pairs, in the order given.
FileStatistics makeStatistics(const std::vector<std::pair<std::string, std::int64_t>>& categories,
                              const std::vector<std::pair<std::string, std::int64_t>>& types);

} // namespace foldwise::test
