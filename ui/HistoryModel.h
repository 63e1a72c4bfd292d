#pragma once

#include "engine/History.h"

#include <QAbstractTableModel>

#include <vector>

namespace foldwise {

// The runs of the history as a table, newest first: when, sort or undo, mode, folders, files moved and
// files that stayed, and the result (with whether a sort was undone).
class HistoryModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { When, Kind, Mode, Folders, Moved, Stayed, Result, ColumnCount };

    explicit HistoryModel(QObject* parent = nullptr);

    void setRuns(std::vector<History::Run> runs);
    const History::Run& run(int row) const { return runs_[static_cast<std::size_t>(row)]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QString text(const History::Run& run, int column) const;

    std::vector<History::Run> runs_;
};

} // namespace foldwise
