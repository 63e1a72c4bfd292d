#include "ui/PlanSheet.h"

#include "ui/PlanModel.h"
#include "ui/SheetTable.h"
#include "ui/TextStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace foldwise {

PlanSheet::PlanSheet(QWidget* parent)
    : QDialog(parent), line_(new QLabel(this)), model_(new PlanModel(this)), table_(new QTableView(this)) {
    setObjectName(QStringLiteral("planSheet"));
    setWindowTitle(tr("What Sort Will Do"));
    setWindowModality(Qt::WindowModal);
    setWindowFlag(Qt::WindowCloseButtonHint, false);

    auto* title = new QLabel(tr("What Sort Will Do"), this);
    title->setFont(textStyleFont(TextStyle::Title2, font()));
    line_->setObjectName(QStringLiteral("planSheetLine"));
    line_->setTextFormat(Qt::PlainText);
    line_->setWordWrap(true);
    table_->setObjectName(QStringLiteral("planTable"));
    table_->setModel(model_);
    setUpSheetTable(*table_);
    auto* done = new QPushButton(tr("Done"), this);
    done->setObjectName(QStringLiteral("planDoneButton"));
    done->setDefault(true);
    done->setFocus(); // the sheet opens with its list unmarked
    connect(done, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(done);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->addWidget(title);
    layout->addWidget(line_);
    layout->addWidget(table_, 1);
    layout->addLayout(buttons);
    resize(560, 460);
}

void PlanSheet::setPlan(std::shared_ptr<const Plan> plan, const QString& line) {
    line_->setText(line);
    model_->setPlan(std::move(plan));
}

void PlanSheet::reject() {
    // Escape and the window's close button end up here; only "Done" closes the sheet.
}

} // namespace foldwise
