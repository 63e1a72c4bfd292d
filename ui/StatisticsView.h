#pragma once

#include "stats/FileStatistics.h"
#include "ui/StatisticsLoader.h"
#include "ui/StatisticsScreenState.h"

#include <QWidget>

#include <filesystem>
#include <optional>

class QAction;
class QStackedWidget;

namespace foldwise {

class PlaceholderView;
class StatisticsResultsPage;

// The statistics tab: analyses the input folder and shows its files by category and by type.
class StatisticsView : public QWidget {
    Q_OBJECT

public:
    explicit StatisticsView(QWidget* parent = nullptr);

    // The folder whose statistics are shown, handed over anew whenever the window's input folder changes.
    // A new folder while the screen is shown starts a load; the last result stays until the new one arrives.
    void setInputFolderURL(const std::optional<std::filesystem::path>& folder);

    // Starts analysing the input folder in the background; with no folder it does nothing. Loads are never
    // cancelled: each hands back its own result, and the one that arrives last stays.
    void loadStatistics();

    // Replaces the folder analysis that later loads run (FileAnalyzer::analyzeFolder by default).
    void setAnalysis(StatisticsLoader::Analysis analysis);

    bool isLoading() const { return isLoading_; }
    StatisticsScreenState state() const;

    QAction* refreshAction() const { return refresh_; }
    QWidget* currentContent() const;
    PlaceholderView* placeholder() const { return placeholder_; }
    StatisticsResultsPage* resultsPage() const { return results_; }

signals:
    // A load has handed back its result and the screen shows it.
    void statisticsLoaded();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void receiveStatistics(FileStatistics result);
    void showCurrentState();

    std::optional<std::filesystem::path> inputFolderURL_;
    std::optional<FileStatistics> statistics_;
    bool isLoading_ = false;

    QAction* refresh_;
    QStackedWidget* content_;
    PlaceholderView* placeholder_;
    QWidget* loading_;
    StatisticsResultsPage* results_;
    StatisticsLoader loader_; // last, so that it is gone before anything a late result would touch
};

} // namespace foldwise
