#include "ui/OrganizerView.h"

#include "engine/FileError.h"
#include "engine/FileSystem.h"
#include "engine/FolderAccess.h"
#include "engine/Organizer.h"
#include "engine/Reverter.h"
#include "prefs/FolderBookmarks.h"
#include "prefs/Preferences.h"
#include "prefs/SettingsSheet.h"
#include "ui/FolderSelection.h"
#include "ui/SymbolIcon.h"
#include "ui/TextStyle.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <exception>

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

QString folderName(const std::filesystem::path& folder) {
    const std::string name = FileSystem::displayName(folder);
    return QString::fromStdString(name.empty() ? FileSystem::displayPath(folder) : name);
}

// Keeps the busy cursor up while a command runs on the main thread.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

QString describe(const std::exception& error) {
    if (const auto* fileError = dynamic_cast<const FileError*>(&error)) {
        return QString::fromStdString(fileError->localizedDescription());
    }
    return QString::fromUtf8(error.what());
}

} // namespace

OrganizerView::OrganizerView(FolderSelection& selection, Preferences& preferences, FolderPicker& folderPicker,
                             QWidget* parent)
    : QWidget(parent), selection_(selection), preferences_(preferences), statusMessage_(initialStatusMessage) {
    icon_ = new QLabel(this);
    auto* title = new QLabel(tr("Extremely Foldwise!"), this);
    title->setFont(textStyleFont(TextStyle::Title, font()));
    summary_ = new ElidedLine(this);
    summary_->setObjectName(QStringLiteral("folderSummaryLabel"));
    summary_->setFont(textStyleFont(TextStyle::Caption, font()));
    summary_->setForegroundRole(QPalette::PlaceholderText); // secondary: the window's style draws it readable
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
    auto* settings = new QPushButton(tr("Settings"), this);
    settings->setObjectName(QStringLiteral("settingsButton"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {sort_, undoSort_, settings}) {
        buttons->addWidget(button);
    }
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(50, 50, 50, 50);
    layout->addStretch();
    layout->addWidget(icon_, 0, Qt::AlignHCenter);
    layout->addWidget(title, 0, Qt::AlignHCenter);
    layout->addWidget(summary_);
    layout->addSpacing(10);
    layout->addWidget(status_);
    layout->addSpacing(15);
    layout->addLayout(buttons);
    layout->addStretch();

    sheet_ = new SettingsSheet(preferences_, folderPicker, this);
    connect(sheet_, &SettingsSheet::folderPicked, this, &OrganizerView::folderPicked);
    connect(settings, &QPushButton::clicked, sheet_, &SettingsSheet::open);
    connect(sort_, &QPushButton::clicked, this, &OrganizerView::sortFiles);
    connect(undoSort_, &QPushButton::clicked, this, &OrganizerView::undoSort);
    connect(&selection_, &FolderSelection::selectedInputFolderURLChanged, this, [this] {
        sheet_->setSelectedInputFolderURL(selection_.selectedInputFolderURL());
        updateButtons();
        showSummary();
    });
    connect(&selection_, &FolderSelection::selectedOutputFolderURLChanged, this, [this] {
        sheet_->setSelectedOutputFolderURL(selection_.selectedOutputFolderURL());
        updateButtons();
        showSummary();
    });
    connect(&preferences_, &Preferences::changed, this, &OrganizerView::showSummary);
    sheet_->setSelectedInputFolderURL(selection_.selectedInputFolderURL());
    sheet_->setSelectedOutputFolderURL(selection_.selectedOutputFolderURL());

    showIcon();
    showStatus();
    updateButtons();
    showSummary();
}

void OrganizerView::sortFiles() {
    const auto& input = selection_.selectedInputFolderURL();
    const auto& output = selection_.selectedOutputFolderURL();
    if (!input || !output) {
        setStatus(QStringLiteral("Error: Folders not selected."), StatusColor::Red);
        return;
    }
    const FolderPairAccess access(*input, *output);
    const bool useSmartCategories = preferences_.useSmartCategories();
    try {
        const BusyCursor busy;
        organizeFiles(*input, *output, useSmartCategories);
        setStatus(QStringLiteral("✅ Files successfully sorted!"), StatusColor::Green);
    } catch (const std::exception& error) {
        setStatus(QStringLiteral("❌ Sorting failed: ") + describe(error), StatusColor::Red);
    }
}

void OrganizerView::undoSort() {
    const auto& input = selection_.selectedInputFolderURL();
    const auto& output = selection_.selectedOutputFolderURL();
    if (!input || !output) {
        return;
    }
    try {
        const BusyCursor busy;
        revertFiles(*input, *output);
        setStatus(QStringLiteral("⏪ All files moved back to input folder."), StatusColor::Orange);
    } catch (const std::exception& error) {
        setStatus(QStringLiteral("❌ Revert failed: ") + describe(error), StatusColor::Red);
    }
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
    summary_->setFullText(line.arg(folderName(*input), folderName(*output)));
    summary_->setToolTip(tr("Input folder: %1\nOutput folder: %2")
                             .arg(QString::fromStdString(FileSystem::displayPath(*input)),
                                  QString::fromStdString(FileSystem::displayPath(*output))));
}

void OrganizerView::updateButtons() {
    const bool isEnabled = selection_.hasBothFolders();
    sort_->setEnabled(isEnabled);
    undoSort_->setEnabled(isEnabled);
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
