#include "ui/OrganizerView.h"

#include "engine/FileSystem.h"
#include "engine/UserCategories.h"
#include "prefs/FolderBookmarks.h"
#include "prefs/Preferences.h"
#include "prefs/StoppedRunNote.h"
#include "ui/FileManagerOpener.h"
#include "ui/FolderSelection.h"
#include "ui/HistorySheet.h"
#include "ui/PlanLine.h"
#include "ui/PlanSheet.h"
#include "ui/SettingsSheet.h"
#include "ui/SymbolIcon.h"
#include "ui/TextStyle.h"
#include "wording/FolderTails.h"
#include "wording/PlanWording.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

namespace foldwise {

// One centred line that shortens itself in the middle when the window is too narrow for it, so that it never
// widens the window.
class ElidedLine : public QLabel {
public:
    explicit ElidedLine(QWidget* parent) : QLabel(parent) {
        setTextFormat(Qt::PlainText);
        setAlignment(Qt::AlignCenter);
        QSizePolicy policy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        policy.setRetainSizeWhenHidden(true); // the lines below stay in place when it comes and goes
        setSizePolicy(policy);
    }

    void setFullText(const QString& text) {
        fullText_ = text;
        setAccessibleName(text);
        elide();
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QLabel::resizeEvent(event);
        elide();
    }

private:
    void elide() { setText(fontMetrics().elidedText(fullText_, Qt::ElideMiddle, contentsRect().width())); }

    QString fullText_;
};

namespace {

const QString initialStatusMessage = QStringLiteral("Select input/output folders in Settings.");

// Colours a button's text while it can be pressed; disabled, it looks like any other.
void tintButton(QPushButton& button, const QColor& text) {
    QPalette palette = button.palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::ButtonText, text);
    }
    button.setPalette(palette);
}

} // namespace

OrganizerView::OrganizerView(FolderSelection& selection, Preferences& preferences, FolderPicker& folderPicker,
                             QWidget* parent)
    : QWidget(parent), selection_(selection), preferences_(preferences), statusMessage_(initialStatusMessage),
      worker_(new RunWorker(this)) {
    reloadUserCategories();
    icon_ = new QLabel(this);
    auto* title = new QLabel(tr("Extremely Foldwise!"), this);
    title->setFont(textStyleFont(TextStyle::Title, font()));
    summary_ = new ElidedLine(this);
    summary_->setObjectName(QStringLiteral("folderSummaryLabel"));
    summary_->setFont(textStyleFont(TextStyle::Caption, font()));
    summary_->setForegroundRole(QPalette::PlaceholderText); // secondary: the window's style draws it readable
    planLine_ = new PlanLine(this);
    planLine_->hide();
    planLoader_ = new PlanLoader(this);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("statusLabel"));
    status_->setTextFormat(Qt::PlainText);
    status_->setAlignment(Qt::AlignCenter);
    status_->setWordWrap(true); // a long failure description wraps instead of widening the window
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    sort_ = new QPushButton(tr("Sort"), this);
    sort_->setObjectName(QStringLiteral("sortButton"));
    sort_->setProperty("prominent", true); // the window's style fills it with the accent while it is enabled
    undoSort_ = new QPushButton(tr("Undo Sort"), this);
    undoSort_->setObjectName(QStringLiteral("undoSortButton"));
    settings_ = new QPushButton(tr("Settings"), this);
    settings_->setObjectName(QStringLiteral("settingsButton"));
    cancel_ = new QPushButton(tr("Cancel"), this);
    cancel_->setObjectName(QStringLiteral("cancelButton"));
    cancel_->hide();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {sort_, undoSort_, settings_, cancel_}) {
        buttons->addWidget(button);
    }
    buttons->addStretch();
    history_ = new QPushButton(tr("History"), this);
    history_->setObjectName(QStringLiteral("historyButton"));
    showInFiles_ = new QPushButton(tr("Show in Files"), this);
    showInFiles_->setObjectName(QStringLiteral("showInFilesButton"));
    auto* moreButtons = new QHBoxLayout;
    moreButtons->addStretch();
    for (QPushButton* button : {history_, showInFiles_}) {
        button->setFlat(true);
        button->setFont(textStyleFont(TextStyle::Caption, font()));
        moreButtons->addWidget(button);
    }
    moreButtons->addStretch();

    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("runProgressBar"));
    progress_->setTextVisible(false);
    QSizePolicy kept = progress_->sizePolicy();
    kept.setRetainSizeWhenHidden(true); // the buttons stay in place when it comes and goes
    progress_->setSizePolicy(kept);
    progress_->hide();
    details_ = new QLabel(this);
    details_->setObjectName(QStringLiteral("detailsLabel"));
    details_->setTextFormat(Qt::PlainText);
    details_->setAlignment(Qt::AlignCenter);
    details_->setWordWrap(true);
    details_->setFont(textStyleFont(TextStyle::Caption, font()));
    details_->setForegroundRole(QPalette::PlaceholderText); // secondary: the window's style draws it readable
    details_->hide();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(50, 50, 50, 50);
    layout->addStretch();
    layout->addWidget(icon_, 0, Qt::AlignHCenter);
    layout->addWidget(title, 0, Qt::AlignHCenter);
    layout->addWidget(summary_);
    layout->addWidget(planLine_);
    layout->addSpacing(10);
    layout->addWidget(status_);
    layout->addWidget(details_);
    layout->addWidget(progress_);
    layout->addSpacing(15);
    layout->addLayout(buttons);
    layout->addLayout(moreButtons);
    layout->addStretch();

    sheet_ = new SettingsSheet(preferences_, folderPicker, this);
    connect(sheet_, &SettingsSheet::folderPicked, this, &OrganizerView::folderPicked);
    connect(settings_, &QPushButton::clicked, sheet_, &SettingsSheet::open);
    connect(sort_, &QPushButton::clicked, this, &OrganizerView::sortFiles);
    connect(undoSort_, &QPushButton::clicked, this, &OrganizerView::undoSort);
    connect(cancel_, &QPushButton::clicked, this, &OrganizerView::cancelRun);
    connect(worker_, &RunWorker::progressed, this, &OrganizerView::showProgress);
    connect(worker_, &RunWorker::waiting, this, [this](const QString& otherRun) {
        setStatus(RunWording::waiting(otherRun), StatusColor::Primary); // until the run's first progress
    });
    connect(worker_, &RunWorker::finished, this, &OrganizerView::finishRun);
    connect(&selection_, &FolderSelection::selectedInputFolderURLChanged, this, [this] {
        sheet_->setSelectedInputFolderURL(selection_.selectedInputFolderURL());
        updateButtons();
        showSummary();
        refreshPlan();
    });
    connect(&selection_, &FolderSelection::selectedOutputFolderURLChanged, this, [this] {
        sheet_->setSelectedOutputFolderURL(selection_.selectedOutputFolderURL());
        updateButtons();
        showSummary();
        refreshPlan();
    });
    connect(&preferences_, &Preferences::changed, this, [this] {
        showSummary();
        refreshPlan();
    });
    planSheet_ = new PlanSheet(this);
    historySheet_ = new HistorySheet(this);
    connect(planLoader_, &PlanLoader::loaded, this, &OrganizerView::showPlan);
    connect(planLoader_, &PlanLoader::inputChanged, this, &OrganizerView::refreshPlan);
    connect(planLine_, &PlanLine::detailsRequested, this, [this] {
        planSheet_->setPlan(plan_.plan, planLine_->fullText());
        planSheet_->open();
    });
    connect(history_, &QPushButton::clicked, historySheet_, &HistorySheet::showHistory);
    connect(historySheet_, &HistorySheet::undoRequested, this, &OrganizerView::undoRun);
    connect(showInFiles_, &QPushButton::clicked, this, &OrganizerView::showOutputInFiles);
    sheet_->setSelectedInputFolderURL(selection_.selectedInputFolderURL());
    sheet_->setSelectedOutputFolderURL(selection_.selectedOutputFolderURL());

    if (const std::optional<StoppedRunNote> note = StoppedRunNote::take()) {
        setStatus(RunWording(note->kind, note->input, note->output).stoppedByQuit(note->moved, note->left),
                  StatusColor::Orange);
    }
    showIcon();
    showStatus();
    updateButtons();
    showSummary();
    refreshPlan();
}

void OrganizerView::sortFiles() {
    if (!selection_.hasBothFolders()) {
        setStatus(QStringLiteral("Error: Folders not selected."), StatusColor::Red);
        return;
    }
    startRun(RunKind::Sort, *selection_.selectedInputFolderURL(), *selection_.selectedOutputFolderURL());
}

void OrganizerView::undoSort() {
    if (selection_.hasBothFolders()) {
        startRun(RunKind::Undo, *selection_.selectedInputFolderURL(), *selection_.selectedOutputFolderURL());
    }
}

void OrganizerView::undoRun(const History::Run& run) {
    if (run.kind == RunKind::Sort) {
        startRun(RunKind::Undo, run.input, run.output, run.id);
    }
}

void OrganizerView::showOutputInFiles() {
    const auto& output = selection_.selectedOutputFolderURL();
    if (output && !FileManagerOpener::showInFiles(*output)) {
        setStatus(tr("Could not open %1 in the file manager.").arg(QString::fromStdString(FileSystem::quoted(*output))),
                  StatusColor::Red);
    }
}

QString OrganizerView::planText() const {
    return planLine_->isVisibleTo(this) ? planLine_->fullText() : QString();
}

void OrganizerView::cancelRun() {
    worker_->cancel();
    cancel_->setEnabled(false);
}

OrganizerView::~OrganizerView() {
    worker_->cancelAndWait(); // the file in hand is finished, and nothing is left half-copied
}

QString OrganizerView::details() const {
    return details_->text();
}

void OrganizerView::stopForQuit() {
    const std::optional<RunOutcome> outcome = worker_->cancelAndTake();
    access_.reset();
    if (!outcome || !outcome->cancelled || !wording_) {
        return; // it had ended: nothing to mention
    }
    StoppedRunNote{wording_->kind(), runFolders_.first, runFolders_.second, outcome->moved,
                   RunWording::notMoved(*outcome)}
        .keep();
}

void OrganizerView::startRun(RunKind kind, const std::filesystem::path& input, const std::filesystem::path& output,
                             std::int64_t onlySort) {
    if (worker_->isRunning()) {
        return; // a click made while a run lasts is not kept for later
    }
    if (kind == RunKind::Sort) {
        access_ = std::make_unique<FolderPairAccess>(input, output); // the undo takes its own
    }
    runFolders_ = {input, output};
    wording_.emplace(kind, input, output);
    reloadUserCategories();
    details_->setText(categoryProblems_);
    details_->setVisible(!categoryProblems_.isEmpty());
    worker_->start(kind, input, output, preferences_.useSmartCategories(), preferences_.onNameTaken(), onlySort);
    showRunning(true);
    showProgress(RunProgress{});
}

void OrganizerView::showProgress(const RunProgress& progress) {
    if (!worker_->isRunning() || !wording_) {
        return;
    }
    setStatus(wording_->progress(progress), StatusColor::Primary);
    if (RunWording::showsCopy(progress)) {
        progress_->setRange(0, 1000);
        progress_->setValue(static_cast<int>(1000 * progress.bytesDone / progress.bytesTotal));
    } else if (progress.filesTotal > 0) {
        progress_->setRange(0, static_cast<int>(std::min<std::int64_t>(progress.filesTotal, INT_MAX)));
        progress_->setValue(static_cast<int>(std::min<std::int64_t>(progress.filesDone, INT_MAX)));
    } else {
        progress_->setRange(0, 0); // busy until the run knows how many files there are
    }
}

void OrganizerView::finishRun(const RunOutcome& outcome) {
    access_.reset();
    showRunning(false);
    const StatusLine line = wording_->outcome(outcome);
    setStatus(line.text, line.color);
    QStringList details{categoryProblems_, wording_->details(outcome)};
    details.removeAll(QString());
    details_->setText(details.join(QLatin1Char('\n')));
    details_->setVisible(!details_->text().isEmpty());
    refreshPlan();
}

void OrganizerView::refreshPlan() {
    if (!selection_.hasBothFolders()) {
        planLoader_->forget();
        planLine_->hide();
        return;
    }
    if (worker_->isRunning()) {
        return; // the run changes the folders: the plan is worked out again when it ends
    }
    planLoader_->load({*selection_.selectedInputFolderURL(), *selection_.selectedOutputFolderURL(),
                       preferences_.useSmartCategories(), preferences_.onNameTaken()});
}

void OrganizerView::showPlan(const PlanLoader::Result& result) {
    plan_ = result;
    if (!selection_.hasBothFolders() || worker_->isRunning()) {
        return;
    }
    const bool hasFiles = result.plan && !result.plan->files.empty();
    planLine_->setFullText(result.plan ? PlanWording::line(*result.plan) : PlanWording::unavailable(result.failure),
                           hasFiles);
    planLine_->show();
    if (planSheet_->isVisible()) {
        planSheet_->setPlan(plan_.plan, planLine_->fullText());
    }
}

// Read again for each run, so that an edit of the file made meanwhile applies to it and to the statistics
// counted after it.
void OrganizerView::reloadUserCategories() {
    UserCategories categories = UserCategories::load(UserCategories::defaultFile());
    QStringList problems;
    for (const std::string& problem : categories.problems()) {
        problems << QString::fromStdString(problem);
    }
    categoryProblems_ = problems.join(QLatin1Char('\n'));
    UserCategories::install(std::move(categories));
}

void OrganizerView::showRunning(bool isRunning) {
    settings_->setEnabled(!isRunning);
    cancel_->setVisible(isRunning);
    cancel_->setEnabled(isRunning);
    progress_->setVisible(isRunning);
    if (isRunning) {
        planLine_->hide(); // what Sort would do means nothing while a run changes the folders
    }
    updateButtons();
}

void OrganizerView::checkFoldersReady() {
    if (selection_.hasBothFolders() && statusMessage_ == initialStatusMessage) {
        setStatus(QStringLiteral("Folders ready."), StatusColor::Green);
    }
}

void OrganizerView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) {
        // Queued, so that folders the window restores while it is being shown are already known.
        QMetaObject::invokeMethod(this, &OrganizerView::checkFoldersReady, Qt::QueuedConnection);
    }
}

void OrganizerView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (sheet_ != nullptr && (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange)) {
        showIcon();
        showStatus();
        updateButtons();
    }
}

void OrganizerView::setStatus(const QString& message, StatusColor color) {
    statusMessage_ = message;
    statusColor_ = color;
    showStatus();
}

void OrganizerView::showStatus() {
    status_->setText(statusMessage_);
    QPalette palette = status_->palette();
    palette.setColor(QPalette::WindowText, statusColorValue(statusColor_, this->palette()));
    status_->setPalette(palette);
}

void OrganizerView::showIcon() {
    // The paperplane is drawn in the accent colour, whatever colour its artwork has.
    const int side = qRound(fontMetrics().height() * 2.6);
    icon_->setPixmap(
        symbolPixmap(QStringLiteral("paperplane"), side, devicePixelRatioF(), accentColorValue(palette())));
}

void OrganizerView::showSummary() {
    const auto& input = selection_.selectedInputFolderURL();
    const auto& output = selection_.selectedOutputFolderURL();
    summary_->setVisible(input && output);
    if (!input || !output) {
        return;
    }
    const QString line = preferences_.useSmartCategories() ? tr("%1 → %2, by category") : tr("%1 → %2, by extension");
    const FolderTails names = FolderTails::of(*input, *output);
    summary_->setFullText(line.arg(names.first, names.second));
    summary_->setToolTip(tr("Input folder: %1\nOutput folder: %2")
                             .arg(QString::fromStdString(FileSystem::displayPath(*input)),
                                  QString::fromStdString(FileSystem::displayPath(*output))));
}

void OrganizerView::updateButtons() {
    const bool isEnabled = selection_.hasBothFolders() && !worker_->isRunning();
    sort_->setEnabled(isEnabled);
    undoSort_->setEnabled(isEnabled);
    history_->setEnabled(!worker_->isRunning());
    showInFiles_->setEnabled(selection_.selectedOutputFolderURL().has_value());
    tintButton(*undoSort_, statusColorValue(StatusColor::Orange, palette()));
}

void OrganizerView::folderPicked(const std::filesystem::path& folder, bool isInput) {
    if (isInput) {
        selection_.setSelectedInputFolderURL(folder);
        setStatus(QStringLiteral("Input folder set."), StatusColor::Blue);
    } else {
        selection_.setSelectedOutputFolderURL(folder);
        setStatus(QStringLiteral("Output folder set."), StatusColor::Blue);
    }
    if (const auto failure = saveBookmark(preferences_, folder, isInput)) {
        setStatus(QString::fromStdString(*failure), StatusColor::Red);
    }
}

} // namespace foldwise
