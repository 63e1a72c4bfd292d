#include "prefs/SettingsSheet.h"

#include "engine/FileSystem.h"
#include "prefs/FolderPicker.h"
#include "prefs/Preferences.h"

#include <QButtonGroup>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace foldwise {

// One line showing a folder's name; a name too long for it loses its head, so its end stays visible.
class FolderNameLabel : public QLabel {
public:
    explicit FolderNameLabel(QWidget* parent) : QLabel(parent) {
        setTextFormat(Qt::PlainText);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    }

    void setFolderName(const QString& name) {
        name_ = name;
        setToolTip(name);
        elide();
        updateGeometry();
    }

    QSize sizeHint() const override {
        return {fontMetrics().horizontalAdvance(name_) + 2 * margin(), QLabel::sizeHint().height()};
    }
    QSize minimumSizeHint() const override {
        return {fontMetrics().horizontalAdvance(QStringLiteral("…MMMMMM")), QLabel::minimumSizeHint().height()};
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QLabel::resizeEvent(event);
        elide();
    }

private:
    void elide() { setText(fontMetrics().elidedText(name_, Qt::ElideLeft, contentsRect().width())); }

    QString name_;
};

namespace {

// The prominent style: filled with the accent colour while the button can be pressed.
void makeProminent(QAbstractButton& button) {
    QPalette palette = button.palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Button, palette.color(group, QPalette::Highlight));
        palette.setColor(group, QPalette::ButtonText, palette.color(group, QPalette::HighlightedText));
    }
    button.setPalette(palette);
}

QLabel* makeHeading(const QString& text, QWidget* parent) {
    auto* heading = new QLabel(text, parent);
    QFont font = heading->font();
    font.setBold(true);
    heading->setFont(font);
    heading->setAlignment(Qt::AlignCenter);
    return heading;
}

QLabel* makeCaption(const QString& text, QWidget* parent) {
    auto* caption = new QLabel(text, parent);
    QFont font = caption->font();
    font.setPointSizeF(font.pointSizeF() * 0.85);
    caption->setFont(font);
    caption->setForegroundRole(QPalette::PlaceholderText);
    return caption;
}

} // namespace

SettingsSheet::SettingsSheet(Preferences& preferences, FolderPicker& folderPicker, QWidget* parent)
    : QDialog(parent), preferences_(preferences), folderPicker_(folderPicker) {
    setWindowTitle(tr("Settings"));
    setWindowModality(Qt::WindowModal);
    setWindowFlag(Qt::WindowCloseButtonHint, false);
    setMinimumWidth(460);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeHeading(tr("Folder Selection"), this));
    layout->addSpacing(layout->spacing());
    layout->addLayout(makeFolderRow(tr("Select Input Folder"), true));
    layout->addSpacing(5);
    layout->addLayout(makeFolderRow(tr("Select Output Folder"), false));
    layout->addSpacing(layout->spacing());
    layout->addLayout(makeSortingPreference());
    layout->addSpacing(layout->spacing());
    auto* divider = new QFrame(this);
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Sunken);
    layout->addWidget(divider);
    layout->addLayout(makeDoneRow());

    setSelectedInputFolderURL(std::nullopt);
    setSelectedOutputFolderURL(std::nullopt);
    showSortingPreference();
    connect(&preferences_, &Preferences::changed, this, &SettingsSheet::showSortingPreference);
}

QLayout* SettingsSheet::makeFolderRow(const QString& buttonTitle, bool isInput) {
    auto* button = new QPushButton(buttonTitle, this);
    button->setObjectName(isInput ? QStringLiteral("selectInputFolderButton")
                                  : QStringLiteral("selectOutputFolderButton"));
    connect(button, &QPushButton::clicked, this, [this, isInput] { pickFolder(isInput); });
    auto* label = new FolderNameLabel(this);
    label->setObjectName(isInput ? QStringLiteral("inputFolderLabel") : QStringLiteral("outputFolderLabel"));
    (isInput ? inputLabel_ : outputLabel_) = label;

    auto* row = new QHBoxLayout;
    row->addWidget(button);
    row->addWidget(label, 1);
    return row;
}

QLayout* SettingsSheet::makeSortingPreference() {
    byExtension_ = new QPushButton(tr("By Extension (jpg, pdf)"), this);
    byExtension_->setObjectName(QStringLiteral("byExtensionButton"));
    byCategory_ = new QPushButton(tr("By Category (Images, Docs)"), this);
    byCategory_->setObjectName(QStringLiteral("byCategoryButton"));
    sortMode_ = new QButtonGroup(this);
    sortMode_->setExclusive(true);
    auto* segments = new QHBoxLayout;
    segments->setSpacing(0);
    segments->addWidget(new QLabel(tr("Sort Mode"), this));
    segments->addSpacing(8);
    for (QAbstractButton* segment : {byExtension_, byCategory_}) {
        segment->setCheckable(true);
        static_cast<QPushButton*>(segment)->setAutoDefault(false);
        sortMode_->addButton(segment);
        segments->addWidget(segment);
    }
    segments->addStretch();
    connect(sortMode_, &QButtonGroup::buttonClicked, this, [this](QAbstractButton* segment) {
        preferences_.setUseSmartCategories(segment == byCategory_);
        showSortingPreference(); // the stored value, also when it could not be written
    });

    auto* group = new QVBoxLayout;
    group->addWidget(makeCaption(tr("Sorting Preference"), this));
    group->addLayout(segments);
    return group;
}

QLayout* SettingsSheet::makeDoneRow() {
    auto* done = new QPushButton(tr("Done"), this);
    done->setObjectName(QStringLiteral("doneButton"));
    done->setDefault(true);
    makeProminent(*done);
    connect(done, &QPushButton::clicked, this, &SettingsSheet::accept);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(done);
    return row;
}

void SettingsSheet::setSelectedInputFolderURL(const std::optional<std::filesystem::path>& folder) {
    input_ = folder;
    inputLabel_->setFolderName(folderName(folder));
}

void SettingsSheet::setSelectedOutputFolderURL(const std::optional<std::filesystem::path>& folder) {
    output_ = folder;
    outputLabel_->setFolderName(folderName(folder));
}

QString SettingsSheet::folderName(const std::optional<std::filesystem::path>& folder) const {
    if (!folder) {
        return tr("Not Selected");
    }
    // The root folder has no name of its own; it is shown as its path.
    const std::string name = FileSystem::displayName(*folder);
    return QString::fromStdString(name.empty() ? FileSystem::displayPath(*folder) : name);
}

void SettingsSheet::reject() {
    // Escape and the window's close button end up here; only "Done" closes the sheet.
}

void SettingsSheet::pickFolder(bool isInput) {
    const QString title = isInput ? tr("Select Input Folder") : tr("Select Output Folder");
    if (auto folder = folderPicker_.pickFolder(this, title, isInput ? input_ : output_)) {
        emit folderPicked(*folder, isInput);
    }
}

void SettingsSheet::showSortingPreference() {
    QAbstractButton* selected = preferences_.useSmartCategories() ? byCategory_ : byExtension_;
    selected->setChecked(true);
    // The selected segment is filled with the accent colour, as a segmented control shows it.
    for (QAbstractButton* segment : {byExtension_, byCategory_}) {
        if (segment == selected) {
            makeProminent(*segment);
        } else {
            segment->setPalette(QPalette());
        }
    }
}

} // namespace foldwise
