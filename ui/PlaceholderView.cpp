#include "ui/PlaceholderView.h"

#include "ui/SymbolIcon.h"
#include "ui/TextStyle.h"

#include <QLabel>
#include <QVBoxLayout>

namespace foldwise {

namespace {

constexpr int symbolSize = 56;

} // namespace

PlaceholderView::PlaceholderView(QWidget* parent)
    : QWidget(parent), icon_(new QLabel(this)), title_(new QLabel(this)), description_(new QLabel(this)) {
    QFont titleFont = textStyleFont(TextStyle::Title2, font());
    titleFont.setBold(true);
    title_->setFont(titleFont);
    QPalette dimmed = description_->palette();
    dimmed.setColor(QPalette::WindowText, palette().color(QPalette::PlaceholderText));
    description_->setPalette(dimmed);
    description_->setWordWrap(true);
    for (QLabel* label : {icon_, title_, description_}) {
        label->setAlignment(Qt::AlignCenter);
        label->setTextInteractionFlags(Qt::NoTextInteraction);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addStretch();
    layout->addWidget(icon_);
    layout->addSpacing(4);
    layout->addWidget(title_);
    layout->addWidget(description_);
    layout->addStretch();
}

void PlaceholderView::setContent(const QString& title, const QString& symbolName, const QString& description) {
    symbolName_ = symbolName;
    icon_->setPixmap(symbolIcon(symbolName).pixmap(QSize(symbolSize, symbolSize), devicePixelRatioF()));
    title_->setText(title);
    description_->setText(description);
}

QString PlaceholderView::title() const {
    return title_->text();
}

QString PlaceholderView::description() const {
    return description_->text();
}

} // namespace foldwise
