#include "ui/PlanModel.h"

#include "ui/StatusColor.h"
#include "wording/PlanWording.h"

#include <QApplication>
#include <QPalette>

namespace foldwise {

PlanModel::PlanModel(QObject* parent) : QAbstractTableModel(parent) {}

void PlanModel::setPlan(std::shared_ptr<const Plan> plan) {
    beginResetModel();
    plan_ = std::move(plan);
    endResetModel();
}

int PlanModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !plan_ ? 0 : static_cast<int>(plan_->files.size());
}

int PlanModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant PlanModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !plan_) {
        return {};
    }
    const Plan::File& file = plan_->files[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        return index.column() == Name ? PlanWording::name(file) : PlanWording::fate(file);
    }
    if (role == Qt::ForegroundRole && index.column() == Fate && file.verdict != Plan::Verdict::Move) {
        return statusColorValue(StatusColor::Orange, QApplication::palette());
    }
    return {};
}

QVariant PlanModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    return section == Name ? tr("File") : tr("Goes to");
}

} // namespace foldwise
