#include "ui/ChartCard.h"

#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

#include <algorithm>

namespace foldwise {

namespace {

constexpr qreal cornerRadius = 12.0;

} // namespace

ChartCard::ChartCard(QWidget* parent) : QWidget(parent), layout_(new QVBoxLayout(this)) {
    // Inside the card, the corners are wider than the default padding, so keep contents clear of them.
    const int padding = std::max(layout_->contentsMargins().left(), int(cornerRadius));
    layout_->setContentsMargins(padding, padding, padding, padding);
}

void ChartCard::addWidget(QWidget* widget, Qt::Alignment alignment) {
    layout_->addWidget(widget, 0, alignment);
}

void ChartCard::replaceWidget(QWidget* current, QWidget* replacement) {
    delete layout_->replaceWidget(current, replacement);
    delete current;
}

void ChartCard::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath card;
    card.addRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);
    painter.fillPath(card, palette().color(QPalette::Base));
}

} // namespace foldwise
