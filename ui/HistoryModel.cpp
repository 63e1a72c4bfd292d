#include "ui/HistoryModel.h"

#include "wording/HistoryWording.h"

#include <QLocale>

namespace foldwise {

HistoryModel::HistoryModel(QObject* parent) : QAbstractTableModel(parent) {}

void HistoryModel::setRuns(std::vector<History::Run> runs) {
    beginResetModel();
    runs_ = std::move(runs);
    endResetModel();
}

int HistoryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(runs_.size());
}

int HistoryModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant HistoryModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    const History::Run& run = runs_[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return text(run, index.column());
    case Qt::ToolTipRole:
        return index.column() == Folders ? HistoryWording::folderPaths(run) : text(run, index.column());
    case Qt::TextAlignmentRole:
        return index.column() == Moved || index.column() == Stayed ? int(Qt::AlignRight | Qt::AlignVCenter)
                                                                   : int(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

QString HistoryModel::text(const History::Run& run, int column) const {
    const QLocale locale;
    switch (column) {
    case When:
        return HistoryWording::when(run, locale);
    case Kind:
        return HistoryWording::kind(run);
    case Mode:
        return HistoryWording::mode(run);
    case Folders:
        return HistoryWording::folders(run);
    case Moved:
        return locale.toString(run.counts.moved);
    case Stayed:
        return locale.toString(HistoryWording::stayed(run));
    default:
        return HistoryWording::result(run);
    }
}

QVariant HistoryModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    switch (section) {
    case When:
        return tr("When");
    case Kind:
        return tr("Run");
    case Mode:
        return tr("Mode");
    case Folders:
        return tr("Folders");
    case Moved:
        return tr("Moved");
    case Stayed:
        return tr("Stayed");
    default:
        return tr("Result");
    }
}

} // namespace foldwise
