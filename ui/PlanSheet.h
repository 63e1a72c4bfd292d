#pragma once

#include "engine/Plan.h"

#include <QDialog>

#include <memory>

class QLabel;
class QTableView;

namespace foldwise {

class PlanModel;

// The plan sheet: what Sort would do, file by file (its name, and the sub-folder it goes into or why it
// stays), under the plan line's sentence. A table over a model, so that it opens and scrolls at once
// for a hundred thousand files. Window-modal; only "Done" closes it.
class PlanSheet : public QDialog {
    Q_OBJECT

public:
    explicit PlanSheet(QWidget* parent = nullptr);

    void setPlan(std::shared_ptr<const Plan> plan, const QString& line);
    QTableView& table() const { return *table_; }
    PlanModel& model() const { return *model_; }

    void reject() override;

private:
    QLabel* line_;
    PlanModel* model_;
    QTableView* table_;
};

} // namespace foldwise
