#pragma once

#include "engine/History.h"
#include "ui/HistoryLoader.h"

#include <QDialog>

#include <optional>

class QLabel;
class QPushButton;
class QTableView;

namespace foldwise {

class HistoryModel;

// The history sheet: the sorts and undos on record, newest first, read off the window's thread each
// time it opens. A chosen sort can be undone alone ("Undo This Sort", announced through `undoRequested`
// for its owner to run), and a chosen run's output folder shown in the file manager. Window-modal;
// only "Done" closes it.
class HistorySheet : public QDialog {
    Q_OBJECT

public:
    explicit HistorySheet(QWidget* parent = nullptr);

    // Reads the history again and opens the sheet.
    void showHistory();
    QTableView& table() const { return *table_; }
    HistoryModel& model() const { return *model_; }
    QString message() const;

    void reject() override;

signals:
    void undoRequested(const foldwise::History::Run& run);
    // The history has been read and is shown.
    void historyShown();

private:
    void showRuns(const HistoryLoader::Result& result);
    std::optional<History::Run> selectedRun() const;
    void updateButtons();

    HistoryLoader* loader_;
    QLabel* message_;
    HistoryModel* model_;
    QTableView* table_;
    QPushButton* undoRun_;
    QPushButton* showInFiles_;
};

} // namespace foldwise
