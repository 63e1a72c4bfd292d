#include "ui/SettingsSheet.h"

#include "engine/FileSystem.h"
#include "engine/UserCategories.h"
#include "prefs/Preferences.h"
#include "ui/CategoriesEditor.h"
#include "ui/FolderPicker.h"
#include "ui/TextStyle.h"

#include <QButtonGroup>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace foldwise {

// One line showing a folder's name; a name too long for it loses its head, so its end stays visible. It asks
// for room for a typical name only, so that a long one never widens the sheet; the tooltip shows the full path.
class FolderNameLabel : public QLabel {
public:
    explicit FolderNameLabel(QWidget* parent) : QLabel(parent) {
        setTextFormat(Qt::PlainText);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    }

    void setFolder(const QString& name, const QString& path) {
        name_ = name;
        setToolTip(path);
        elide();
        updateGeometry();
    }

    QSize sizeHint() const override {
        const int typicalName = fontMetrics().averageCharWidth() * 32;
        return {std::min(fontMetrics().horizontalAdvance(name_), typicalName) + 2 * margin(),
                QLabel::sizeHint().height()};
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

constexpr int preferredMinimumWidth = 460;

// The prominent style: the window's style fills the button with the accent while it can be pressed (a checkable
// one while it is checked too), in a shade white text reads on in the palette of the moment.
void makeProminent(QAbstractButton& button) {
    button.setProperty("prominent", true);
}

QLabel* makeHeading(const QString& text, QWidget* parent) {
    auto* heading = new QLabel(text, parent);
    heading->setFont(textStyleFont(TextStyle::Headline, heading->font()));
    heading->setAlignment(Qt::AlignCenter);
    return heading;
}

QLabel* makeCaption(const QString& text, QWidget* parent) {
    auto* caption = new QLabel(text, parent);
    caption->setFont(textStyleFont(TextStyle::Caption, caption->font()));
    caption->setForegroundRole(QPalette::PlaceholderText); // the secondary style: the window's style draws it
                                                           // in a dimmed shade that still reads at 4.5:1
    return caption;
}

} // namespace

SettingsSheet::SettingsSheet(Preferences& preferences, FolderPicker& folderPicker, QWidget* parent)
    : QDialog(parent), preferences_(preferences), folderPicker_(folderPicker) {
    setWindowTitle(tr("Settings"));
    setWindowModality(Qt::WindowModal);
    setWindowFlag(Qt::WindowCloseButtonHint, false);
    setMinimumWidth(preferredMinimumWidth);

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

// Two segmented pickers, their titles in one column: the sort mode, and what becomes of a file whose name is
// taken. Each reads and writes its preference.
QLayout* SettingsSheet::makeSortingPreference() {
    sortMode_ = new QButtonGroup(this);
    byExtension_ = makeSegment(tr("By Extension (jpg, pdf)"), QStringLiteral("byExtensionButton"), *sortMode_);
    byCategory_ = makeSegment(tr("By Category (Images, Docs)"), QStringLiteral("byCategoryButton"), *sortMode_);
    connect(sortMode_, &QButtonGroup::buttonClicked, this, [this](QAbstractButton* segment) {
        preferences_.setUseSmartCategories(segment == byCategory_);
        showSortingPreference(); // the stored value, also when it could not be written
    });
    onNameTaken_ = new QButtonGroup(this);
    leaveFile_ = makeSegment(tr("Leave the File"), QStringLiteral("leaveFileButton"), *onNameTaken_);
    keepBoth_ = makeSegment(tr("Keep Both"), QStringLiteral("keepBothButton"), *onNameTaken_);
    connect(onNameTaken_, &QButtonGroup::buttonClicked, this, [this](QAbstractButton* segment) {
        preferences_.setOnNameTaken(segment == keepBoth_ ? OnNameTaken::KeepBoth : OnNameTaken::Leave);
        showSortingPreference();
    });

    auto* rows = new QGridLayout;
    rows->setHorizontalSpacing(8);
    int row = 0;
    for (const auto& [title, group] :
         {std::pair{tr("Sort Mode"), sortMode_}, {tr("If a Name Is Taken"), onNameTaken_}}) {
        auto* segments = new QHBoxLayout;
        segments->setSpacing(0);
        for (QAbstractButton* segment : group->buttons()) {
            segments->addWidget(segment);
        }
        rows->addWidget(new QLabel(title, this), row, 0);
        rows->addLayout(segments, row, 1);
        ++row;
    }

    auto* group = new QVBoxLayout;
    group->addWidget(makeCaption(tr("Sorting Preference"), this));
    group->addLayout(rows);
    return group;
}

QAbstractButton* SettingsSheet::makeSegment(const QString& title, const QString& objectName, QButtonGroup& group) {
    auto* segment = new QPushButton(title, this);
    segment->setObjectName(objectName);
    segment->setCheckable(true);
    segment->setAutoDefault(false);
    makeProminent(*segment); // the selected segment is filled with the accent, as a segmented control shows it
    group.setExclusive(true);
    group.addButton(segment);
    return segment;
}

QLayout* SettingsSheet::makeDoneRow() {
    auto* done = new QPushButton(tr("Done"), this);
    done->setObjectName(QStringLiteral("doneButton"));
    done->setDefault(true);
    makeProminent(*done);
    connect(done, &QPushButton::clicked, this, &SettingsSheet::accept);
    auto* categories = new QPushButton(tr("Categories…"), this);
    categories->setObjectName(QStringLiteral("categoriesButton"));
    categories->setAutoDefault(false);
    connect(categories, &QPushButton::clicked, this, &SettingsSheet::editCategories);
    auto* row = new QHBoxLayout;
    row->addWidget(categories);
    row->addStretch();
    row->addWidget(done);
    return row;
}

void SettingsSheet::editCategories() {
    auto* editor = new CategoriesEditor(UserCategories::defaultFile(), this);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    editor->open();
}

void SettingsSheet::setSelectedInputFolderURL(const std::optional<std::filesystem::path>& folder) {
    input_ = folder;
    inputLabel_->setFolder(folderName(folder), folderPath(folder));
}

void SettingsSheet::setSelectedOutputFolderURL(const std::optional<std::filesystem::path>& folder) {
    output_ = folder;
    outputLabel_->setFolder(folderName(folder), folderPath(folder));
}

QString SettingsSheet::folderName(const std::optional<std::filesystem::path>& folder) const {
    if (!folder) {
        return tr("Not Selected");
    }
    return QString::fromStdString(FileSystem::displayFolderName(*folder));
}

QString SettingsSheet::folderPath(const std::optional<std::filesystem::path>& folder) {
    return folder ? QString::fromStdString(FileSystem::displayPath(*folder)) : QString();
}

void SettingsSheet::setVisible(bool visible) {
    // Never wider than the window it covers: opened, it takes the width its contents ask for within that.
    if (visible && parentWidget() != nullptr) {
        const int limit = parentWidget()->window()->width();
        setMinimumWidth(std::min(preferredMinimumWidth, limit));
        setMaximumWidth(limit);
        resize(std::min(sizeHint().width(), limit), sizeHint().height());
    }
    QDialog::setVisible(visible);
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
    (preferences_.useSmartCategories() ? byCategory_ : byExtension_)->setChecked(true);
    (preferences_.onNameTaken() == OnNameTaken::KeepBoth ? keepBoth_ : leaveFile_)->setChecked(true);
}

} // namespace foldwise
