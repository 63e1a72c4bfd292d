#include "ui/PlaceholderView.h"

#include "ui/StatusColor.h"
#include "ui/SymbolIcon.h"
#include "ui/TextStyle.h"

#include <QEvent>
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
    description_->setForegroundRole(QPalette::PlaceholderText); // secondary: the window's style draws it readable
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
    showSymbol();
    title_->setText(title);
    description_->setText(description);
}

void PlaceholderView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        showSymbol();
    }
}

// The symbol in the secondary colour of the palette of the moment.
void PlaceholderView::showSymbol() {
    if (!symbolName_.isEmpty()) {
        icon_->setPixmap(symbolPixmap(symbolName_, symbolSize, devicePixelRatioF(), secondaryColorValue(palette())));
    }
}

QString PlaceholderView::title() const {
    return title_->text();
}

QString PlaceholderView::description() const {
    return description_->text();
}

} // namespace foldwise
