#include "ui/StatisticsView.h"

#include "engine/FileSystem.h"
#include "ui/PlaceholderView.h"
#include "ui/StatisticsResultsPage.h"
#include "ui/SymbolIcon.h"

#include <QAction>
#include <QKeySequence>
#include <QLabel>
#include <QProgressBar>
#include <QShowEvent>
#include <QSizePolicy>
#include <QStackedWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include <utility>

namespace foldwise {

namespace {

constexpr int progressBarWidth = 220;

QWidget* makeLoadingContent() {
    auto* content = new QWidget;
    auto* bar = new QProgressBar(content);
    bar->setRange(0, 0); // busy: the analysis cannot tell how far it has come
    bar->setTextVisible(false);
    bar->setFixedWidth(progressBarWidth);
    auto* label = new QLabel(StatisticsView::tr("Analyzing files..."), content);

    auto* layout = new QVBoxLayout(content);
    layout->addStretch();
    layout->addWidget(bar, 0, Qt::AlignHCenter);
    layout->addWidget(label, 0, Qt::AlignHCenter);
    layout->addStretch();
    return content;
}

QToolBar* makeToolBar(QAction* refresh) {
    auto* toolBar = new QToolBar;
    toolBar->setMovable(false);
    toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    auto* spacer = new QWidget(toolBar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    toolBar->addWidget(spacer);
    toolBar->addAction(refresh);
    return toolBar;
}

QString folderName(const std::filesystem::path& folder) {
    return QString::fromStdString(FileSystem::displayFolderName(folder));
}

} // namespace

StatisticsView::StatisticsView(QWidget* parent)
    : QWidget(parent), refresh_(new QAction(symbolIcon(QStringLiteral("arrow.clockwise")), tr("Refresh"), this)),
      content_(new QStackedWidget(this)), placeholder_(new PlaceholderView), loading_(makeLoadingContent()),
      results_(new StatisticsResultsPage),
      loader_(this, [this](StatisticsLoader::Result result) { receiveStatistics(std::move(result)); }) {
    content_->addWidget(placeholder_);
    content_->addWidget(loading_);
    content_->addWidget(results_);
    refresh_->setShortcut(QKeySequence(Qt::Key_F5)); // while the screen is shown
    refresh_->setToolTip(tr("Refresh (%1)").arg(refresh_->shortcut().toString(QKeySequence::NativeText)));
    connect(refresh_, &QAction::triggered, this, &StatisticsView::loadStatistics);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(makeToolBar(refresh_));
    layout->addWidget(content_, 1);
    showCurrentState();
}

void StatisticsView::setInputFolderURL(const std::optional<std::filesystem::path>& folder) {
    if (folder == inputFolderURL_) {
        return;
    }
    inputFolderURL_ = folder;
    statistics_.reset(); // another folder's charts never show under this one's name
    unavailableReason_.clear();
    isLoading_ = false;
    if (inputFolderURL_) {
        results_->setFolderName(folderName(*inputFolderURL_));
    }
    showCurrentState();
    if (isVisible()) {
        loadStatistics();
    }
}

void StatisticsView::loadStatistics() {
    if (!inputFolderURL_) {
        return;
    }
    isLoading_ = true;
    loader_.start(*inputFolderURL_);
    showCurrentState();
}

void StatisticsView::setAnalysis(StatisticsLoader::Analysis analysis) {
    loader_.setAnalysis(std::move(analysis));
}

StatisticsScreenState StatisticsView::state() const {
    return statisticsScreenState(inputFolderURL_.has_value(), statistics_, isLoading_, !unavailableReason_.isEmpty());
}

QWidget* StatisticsView::currentContent() const {
    return content_->currentWidget();
}

// Each time the tab comes into view; a window returning from the minimised state does not count.
void StatisticsView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) {
        loadStatistics();
    }
}

void StatisticsView::receiveStatistics(StatisticsLoader::Result result) {
    statistics_ = std::move(result.statistics);
    unavailableReason_ = std::move(result.unavailableReason);
    isLoading_ = false;
    if (statistics_) {
        results_->setStatistics(*statistics_);
    }
    showCurrentState();
    emit statisticsLoaded();
}

void StatisticsView::showCurrentState() {
    refresh_->setEnabled(inputFolderURL_.has_value());
    switch (state()) {
    case StatisticsScreenState::NoFolder:
        placeholder_->setContent(tr("No Folder Selected"), QStringLiteral("folder.badge.questionmark"),
                                 tr("Please select an input folder in the Organizer tab."));
        content_->setCurrentWidget(placeholder_);
        break;
    case StatisticsScreenState::Empty:
        placeholder_->setContent(tr("No Files Found"), QStringLiteral("magnifyingglass"),
                                 tr("The input folder appears to be empty."));
        content_->setCurrentWidget(placeholder_);
        break;
    case StatisticsScreenState::Results:
        content_->setCurrentWidget(results_);
        break;
    case StatisticsScreenState::Loading:
        content_->setCurrentWidget(loading_);
        break;
    case StatisticsScreenState::Unavailable:
        placeholder_->setContent(
            tr("Folder Not Available"), QStringLiteral("folder.badge.questionmark"),
            tr("“%1” could not be opened: %2.").arg(folderName(*inputFolderURL_), unavailableReason_));
        content_->setCurrentWidget(placeholder_);
        break;
    case StatisticsScreenState::NoData:
        placeholder_->setContent(tr("No Data"), QStringLiteral("chart.pie"), tr("Tap refresh to analyze."));
        content_->setCurrentWidget(placeholder_);
        break;
    }
}

} // namespace foldwise
