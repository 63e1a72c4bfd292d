#include "ui/CategoriesEditor.h"

#include "engine/Categories.h"
#include "engine/FileError.h"
#include "engine/UserCategories.h"
#include "ui/StatusColor.h"
#include "ui/TextStyle.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <set>
#include <utility>

namespace foldwise {
namespace {

QString fromStd(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QComboBox* makeFolderBox(const QString& folder, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    for (std::string_view category : kCategoryNames) {
        box->addItem(fromStd(category));
    }
    box->setCurrentText(folder);
    return box;
}

} // namespace

CategoriesEditor::CategoriesEditor(std::filesystem::path file, QWidget* parent)
    : QDialog(parent), file_(std::move(file)) {
    setWindowTitle(tr("Categories"));
    setWindowModality(Qt::WindowModal);
    setMinimumWidth(420);

    auto* heading = new QLabel(tr("Your Categories"), this);
    heading->setFont(textStyleFont(TextStyle::Headline, heading->font()));
    auto* caption =
        new QLabel(tr("Files with these extensions go into these folders, ahead of every other rule."), this);
    caption->setFont(textStyleFont(TextStyle::Caption, caption->font()));
    caption->setForegroundRole(QPalette::PlaceholderText);
    caption->setWordWrap(true);

    table_ = new QTableWidget(0, 2, this);
    table_->setObjectName(QStringLiteral("categoriesTable"));
    table_->setHorizontalHeaderLabels({tr("Extension"), tr("Folder")});
    table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    table_->verticalHeader()->hide();
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);

    problem_ = new QLabel(this);
    problem_->setObjectName(QStringLiteral("categoriesProblemLabel"));
    problem_->setTextFormat(Qt::PlainText);
    problem_->setWordWrap(true);
    QPalette red = problem_->palette();
    red.setColor(QPalette::WindowText, statusColorValue(StatusColor::Red, red));
    problem_->setPalette(red);

    auto* add = new QPushButton(tr("Add"), this);
    add->setObjectName(QStringLiteral("addCategoryButton"));
    add->setAutoDefault(false);
    connect(add, &QPushButton::clicked, this, &CategoriesEditor::addEmptyRow);
    auto* remove = new QPushButton(tr("Remove"), this);
    remove->setObjectName(QStringLiteral("removeCategoryButton"));
    remove->setAutoDefault(false);
    connect(remove, &QPushButton::clicked, this, &CategoriesEditor::removeSelectedRows);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancelCategoriesButton"));
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &CategoriesEditor::reject);
    auto* saveButton = new QPushButton(tr("Save"), this);
    saveButton->setObjectName(QStringLiteral("saveCategoriesButton"));
    saveButton->setDefault(true);
    saveButton->setProperty("prominent", true);
    connect(saveButton, &QPushButton::clicked, this, &CategoriesEditor::save);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(remove);
    buttons->addStretch();
    buttons->addWidget(cancel);
    buttons->addWidget(saveButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(caption);
    layout->addWidget(table_, 1);
    layout->addWidget(problem_);
    layout->addLayout(buttons);

    const UserCategories current = UserCategories::load(file_);
    for (const UserCategories::Rule& rule : current.rules()) {
        addRule(fromStd(rule.extension), fromStd(rule.folder));
    }
    QStringList problems;
    for (const std::string& problem : current.problems()) {
        problems << fromStd(problem);
    }
    problem_->setText(problems.join(QLatin1Char('\n')));
    problem_->setVisible(!problems.isEmpty());
}

void CategoriesEditor::addRule(const QString& extension, const QString& folder) {
    const int row = table_->rowCount();
    table_->insertRow(row);
    table_->setItem(row, 0, new QTableWidgetItem(extension));
    table_->setCellWidget(row, 1, makeFolderBox(folder, table_));
}

void CategoriesEditor::addEmptyRow() {
    addRule({}, QStringLiteral("Images"));
    const int row = table_->rowCount() - 1;
    table_->setCurrentCell(row, 0);
    table_->editItem(table_->item(row, 0));
}

void CategoriesEditor::removeSelectedRows() {
    std::set<int, std::greater<>> rows;
    for (const QModelIndex& index : table_->selectionModel()->selectedIndexes()) {
        rows.insert(index.row());
    }
    if (rows.empty() && table_->currentRow() >= 0) {
        rows.insert(table_->currentRow());
    }
    for (int row : rows) {
        table_->removeRow(row);
    }
}

void CategoriesEditor::showProblem(const QString& problem, int row) {
    problem_->setText(problem);
    problem_->show();
    if (row >= 0) {
        table_->selectRow(row);
    }
}

void CategoriesEditor::save() {
    std::vector<UserCategories::Rule> rules;
    std::set<std::string> extensions;
    for (int row = 0; row < table_->rowCount(); ++row) {
        const QTableWidgetItem* item = table_->item(row, 0);
        const QString typed = item != nullptr ? item->text().trimmed() : QString();
        const QString folder = static_cast<QComboBox*>(table_->cellWidget(row, 1))->currentText().trimmed();
        const std::optional<std::string> extension = UserCategories::canonicalExtension(typed.toStdString());
        if (!extension) {
            return showProblem(tr("Row %1: “%2” is not an extension.").arg(row + 1).arg(typed), row);
        }
        if (const std::optional<std::string> problem = UserCategories::folderProblem(folder.toStdString())) {
            return showProblem(tr("Row %1: %2.").arg(row + 1).arg(fromStd(*problem)), row);
        }
        if (!extensions.insert(*extension).second) {
            return showProblem(tr("Row %1: “%2” has a rule already.").arg(row + 1).arg(fromStd(*extension)), row);
        }
        rules.push_back({*extension, UserCategories::canonicalFolder(folder.toStdString()), row + 1});
    }
    try {
        UserCategories::save(file_, rules);
    } catch (const FileError& error) {
        return showProblem(fromStd(error.localizedDescription()), -1);
    }
    UserCategories::install(UserCategories::load(file_));
    accept();
}

} // namespace foldwise
