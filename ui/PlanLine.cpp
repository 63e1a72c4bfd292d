#include "ui/PlanLine.h"

#include "ui/TextStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace foldwise {

PlanLine::PlanLine(QWidget* parent) : QWidget(parent), text_(new QLabel(this)), details_(new QPushButton(this)) {
    setObjectName(QStringLiteral("planLine"));
    text_->setObjectName(QStringLiteral("planLabel"));
    text_->setTextFormat(Qt::PlainText);
    text_->setFont(textStyleFont(TextStyle::Caption, font()));
    text_->setForegroundRole(QPalette::PlaceholderText);              // secondary: the window's style draws it readable
    text_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred); // as wide as its shortened text
    details_->setObjectName(QStringLiteral("planDetailsButton"));
    details_->setText(tr("Details"));
    details_->setFont(textStyleFont(TextStyle::Caption, font()));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addStretch();
    layout->addWidget(text_);
    layout->addWidget(details_);
    layout->addStretch();
    QSizePolicy policy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    policy.setRetainSizeWhenHidden(true); // the lines below stay in place when it comes and goes
    setSizePolicy(policy);
    setMinimumHeight(details_->sizeHint().height()); // as high without its button as with it
    connect(details_, &QPushButton::clicked, this, &PlanLine::detailsRequested);
}

void PlanLine::setFullText(const QString& text, bool hasDetails) {
    fullText_ = text;
    text_->setToolTip(text);
    text_->setAccessibleName(text);
    details_->setVisible(hasDetails);
    elide();
}

void PlanLine::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    elide();
}

// The text and the button stay centred together under the caption; the text gives up its end first.
void PlanLine::elide() {
    const int button = details_->isVisibleTo(this) ? details_->sizeHint().width() + layout()->spacing() : 0;
    const int room = std::max(0, contentsRect().width() - button);
    const QString shown = text_->fontMetrics().elidedText(fullText_, Qt::ElideRight, room);
    text_->setText(shown);
    text_->setFixedWidth(std::min(room, text_->fontMetrics().horizontalAdvance(shown) + 2));
}

} // namespace foldwise
