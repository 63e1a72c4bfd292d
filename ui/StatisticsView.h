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
    // The charts of the folder before leave at once; while the screen is shown a load starts.
    void setInputFolderURL(const std::optional<std::filesystem::path>& folder);

    // Starts analysing the input folder in the background, stopping the analysis before; with no folder
    // it does nothing. Only the newest load's result is shown, and the charts shown stay until it arrives.
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
    void receiveStatistics(StatisticsLoader::Result result);
    void showCurrentState();

    std::optional<std::filesystem::path> inputFolderURL_;
    std::optional<FileStatistics> statistics_;
    QString unavailableReason_; // why the folder could not be opened, when it could not
    bool isLoading_ = false;

    QAction* refresh_;
    QStackedWidget* content_;
    PlaceholderView* placeholder_;
    QWidget* loading_;
    StatisticsResultsPage* results_;
    StatisticsLoader loader_; // last, so that it is gone before anything a late result would touch
};

} // namespace foldwise
