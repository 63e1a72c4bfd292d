#pragma once

#include "stats/FileStatistics.h"

#include <QObject>
#include <QString>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>

namespace foldwise {

// Runs folder analyses on the global thread pool and hands the newest one's result to a receiver on
// the receiver's own (GUI) thread. A new load stops the one before and makes its result stale, so an
// older, slower analysis never replaces a newer one; once the loader is destroyed, the running
// analysis is stopped and its result dropped, so a closed screen never hears from it.
class StatisticsLoader {
public:
    using Analysis = std::function<FileStatistics(const std::filesystem::path&)>;
    // What a load found: the statistics, or why the folder could not be opened.
    struct Result {
        std::optional<FileStatistics> statistics;
        QString unavailableReason;
    };
    using ResultHandler = std::function<void(Result)>;

    // `onResult` runs in `receiver`'s thread, and only while `receiver` exists; `receiver` must
    // outlive the loader.
    StatisticsLoader(QObject* receiver, ResultHandler onResult);
    ~StatisticsLoader();

    StatisticsLoader(const StatisticsLoader&) = delete;
    StatisticsLoader& operator=(const StatisticsLoader&) = delete;

    // The analysis that later loads run; by default FileAnalyzer::analyzeFolder, stopped when a newer
    // load starts.
    void setAnalysis(Analysis analysis);

    // Starts analysing `folder` on a pool thread and returns at once.
    void start(const std::filesystem::path& folder);

private:
    class Mailbox;

    std::shared_ptr<Mailbox> mailbox_;
    std::function<FileStatistics(const std::filesystem::path&, std::stop_token)> analysis_;
    std::stop_source stop_;
};

} // namespace foldwise
