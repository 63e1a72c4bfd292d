#include "ui/HistorySheet.h"

#include "ui/FileManagerOpener.h"
#include "ui/HistoryModel.h"
#include "ui/SheetTable.h"
#include "ui/TextStyle.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace foldwise {

HistorySheet::HistorySheet(QWidget* parent)
    : QDialog(parent), loader_(new HistoryLoader(this)), message_(new QLabel(this)), model_(new HistoryModel(this)),
      table_(new QTableView(this)), undoRun_(new QPushButton(tr("Undo This Sort"), this)),
      showInFiles_(new QPushButton(tr("Show in Files"), this)) {
    setObjectName(QStringLiteral("historySheet"));
    setWindowTitle(tr("History"));
    setWindowModality(Qt::WindowModal);
    setWindowFlag(Qt::WindowCloseButtonHint, false);

    auto* title = new QLabel(tr("History"), this);
    title->setFont(textStyleFont(TextStyle::Title2, font()));
    message_->setObjectName(QStringLiteral("historyMessage"));
    message_->setTextFormat(Qt::PlainText);
    message_->setWordWrap(true);
    table_->setObjectName(QStringLiteral("historyTable"));
    table_->setModel(model_);
    setUpSheetTable(*table_);
    QHeaderView& columns = *table_->horizontalHeader();
    for (const int column :
         {HistoryModel::When, HistoryModel::Kind, HistoryModel::Mode, HistoryModel::Moved, HistoryModel::Stayed}) {
        columns.setSectionResizeMode(column, QHeaderView::ResizeToContents); // short texts, few rows
    }
    columns.setSectionResizeMode(HistoryModel::Folders, QHeaderView::Interactive); // sized as runs are shown
    undoRun_->setObjectName(QStringLiteral("undoRunButton"));
    showInFiles_->setObjectName(QStringLiteral("showRunInFilesButton"));
    auto* done = new QPushButton(tr("Done"), this);
    done->setObjectName(QStringLiteral("historyDoneButton"));
    done->setDefault(true);
    done->setFocus(); // the sheet opens with its list unmarked

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(undoRun_);
    buttons->addWidget(showInFiles_);
    buttons->addStretch();
    buttons->addWidget(done);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->addWidget(title);
    layout->addWidget(message_);
    layout->addWidget(table_, 1);
    layout->addLayout(buttons);
    resize(760, 420);

    connect(loader_, &HistoryLoader::loaded, this, &HistorySheet::showRuns);
    connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this, &HistorySheet::updateButtons);
    connect(done, &QPushButton::clicked, this, &QDialog::accept);
    connect(undoRun_, &QPushButton::clicked, this, [this] {
        if (const auto run = selectedRun()) {
            accept(); // the organizer shows the undo's progress
            emit undoRequested(*run);
        }
    });
    connect(showInFiles_, &QPushButton::clicked, this, [this] {
        if (const auto run = selectedRun()) {
            FileManagerOpener::showInFiles(run->output);
        }
    });
    updateButtons();
}

void HistorySheet::showHistory() {
    message_->setText(tr("Reading the history…"));
    message_->show();
    loader_->load();
    open();
}

QString HistorySheet::message() const {
    return message_->isVisibleTo(this) ? message_->text() : QString();
}

void HistorySheet::reject() {
    // Escape and the window's close button end up here; only "Done" closes the sheet.
}

void HistorySheet::showRuns(const HistoryLoader::Result& result) {
    model_->setRuns(result.runs);
    int foldersWidth = table_->fontMetrics().horizontalAdvance(
        model_->headerData(HistoryModel::Folders, Qt::Horizontal, Qt::DisplayRole).toString());
    for (int row = 0; row < model_->rowCount(); ++row) {
        foldersWidth = std::max(foldersWidth, table_->fontMetrics().horizontalAdvance(
                                                  model_->index(row, HistoryModel::Folders).data().toString()));
    }
    table_->horizontalHeader()->resizeSection(HistoryModel::Folders,
                                              foldersWidth + 2 * table_->fontMetrics().averageCharWidth());
    if (!result.failure.isEmpty()) {
        message_->setText(result.failure);
    } else if (result.runs.empty()) {
        message_->setText(tr("No sorts on record yet."));
    }
    message_->setVisible(!result.failure.isEmpty() || result.runs.empty());
    if (!result.runs.empty()) {
        table_->selectRow(0);
    }
    updateButtons();
    emit historyShown();
}

std::optional<History::Run> HistorySheet::selectedRun() const {
    const QModelIndexList rows = table_->selectionModel()->selectedRows();
    if (rows.isEmpty()) {
        return std::nullopt;
    }
    return model_->run(rows.front().row());
}

void HistorySheet::updateButtons() {
    const auto run = selectedRun();
    undoRun_->setEnabled(run && run->kind == RunKind::Sort && !run->undone && run->state != "running");
    showInFiles_->setEnabled(run.has_value());
}

} // namespace foldwise
