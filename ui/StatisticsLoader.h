#pragma once

#include "stats/FileStatistics.h"

#include <QObject>

#include <filesystem>
#include <functional>
#include <memory>

namespace foldwise {

// Runs folder analyses on the global thread pool and hands each result to a receiver on the
// receiver's own (GUI) thread. Analyses are never cancelled and may run side by side; each result
// is delivered on its own. Once the loader is destroyed, results still to come are dropped, so a
// closed screen never hears from an analysis it started.
class StatisticsLoader {
public:
    using Analysis = std::function<FileStatistics(const std::filesystem::path&)>;
    using ResultHandler = std::function<void(FileStatistics)>;

    // `onResult` runs in `receiver`'s thread, and only while `receiver` exists; `receiver` must
    // outlive the loader.
    StatisticsLoader(QObject* receiver, ResultHandler onResult);
    ~StatisticsLoader();

    StatisticsLoader(const StatisticsLoader&) = delete;
    StatisticsLoader& operator=(const StatisticsLoader&) = delete;

    // The analysis that later loads run; by default FileAnalyzer::analyzeFolder.
    void setAnalysis(Analysis analysis);

    // Starts analysing `folder` on a pool thread and returns at once.
    void start(const std::filesystem::path& folder);

private:
    class Mailbox;

    std::shared_ptr<Mailbox> mailbox_;
    Analysis analysis_;
};

} // namespace foldwise
