#pragma once

#include "engine/Plan.h"

#include <QAbstractTableModel>

#include <memory>

namespace foldwise {

// A plan as a table, one row per file: its name, and where Sort takes it or why it stays. The texts are
// made as rows are shown, so a plan of any size is set at once.
class PlanModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { Name, Fate, ColumnCount };

    explicit PlanModel(QObject* parent = nullptr);

    void setPlan(std::shared_ptr<const Plan> plan);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::shared_ptr<const Plan> plan_;
};

} // namespace foldwise
