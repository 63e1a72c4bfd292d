#include "app/ContentView.h"

#include "prefs/FolderBookmarks.h"
#include "prefs/Preferences.h"
#include "ui/FolderPicker.h"
#include "ui/FolderSelection.h"
#include "ui/OrganizerView.h"
#include "ui/StatisticsView.h"
#include "ui/SymbolIcon.h"
#include "wording/RunWording.h"

#include <QAction>
#include <QCloseEvent>
#include <QEvent>
#include <QKeySequence>
#include <QMessageBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace foldwise {

ContentView::ContentView(std::unique_ptr<FolderPicker> folderPicker, QWidget* parent)
    : QWidget(parent), folderPicker_(std::move(folderPicker)), selection_(new FolderSelection(this)) {
    Preferences& preferences = Preferences::shared();
    tabs_ = new QTabWidget(this);
    tabs_->setDocumentMode(true);
    organizer_ = new OrganizerView(*selection_, preferences, *folderPicker_, tabs_);
    statistics_ = new StatisticsView(tabs_);
    tabs_->addTab(organizer_, symbolIcon(QStringLiteral("folder")), tr("Organizer"));
    tabs_->addTab(statistics_, symbolIcon(QStringLiteral("chart.pie")), tr("Statistics"));
    tabs_->installEventFilter(this);

    auto* quit = new QAction(tr("Quit"), this);
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(quit, &QAction::triggered, this, &QWidget::close);
    addAction(quit);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tabs_);

    statistics_->setInputFolderURL(selection_->selectedInputFolderURL());
    connect(selection_, &FolderSelection::selectedInputFolderURLChanged, this,
            [this] { statistics_->setInputFolderURL(selection_->selectedInputFolderURL()); });
}

ContentView::~ContentView() = default;

void ContentView::restoreFolders() {
    auto input = selection_->selectedInputFolderURL();
    auto output = selection_->selectedOutputFolderURL();
    foldwise::restoreFolders(Preferences::shared(), input, output);
    selection_->setSelectedInputFolderURL(input);
    selection_->setSelectedOutputFolderURL(output);
}

void ContentView::closeEvent(QCloseEvent* event) {
    if (organizer_->isRunning()) {
        const QMessageBox::StandardButton answer =
            QMessageBox::question(this, windowTitle(), RunWording::quitQuestion(organizer_->worker().kind()),
                                  QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer != QMessageBox::Yes) {
            event->ignore();
            return;
        }
        organizer_->stopForQuit(); // asked while the run went on: it may have ended meanwhile
    }
    QWidget::closeEvent(event);
}

bool ContentView::eventFilter(QObject* watched, QEvent* event) {
    // A spontaneous show is the window coming back from being minimised, not the tabs coming into view.
    if (watched == tabs_ && event->type() == QEvent::Show && !event->spontaneous()) {
        restoreFolders();
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace foldwise
