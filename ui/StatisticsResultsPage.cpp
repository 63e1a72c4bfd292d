#include "ui/StatisticsResultsPage.h"

#include "ui/ChartCard.h"
#include "ui/ChartColors.h"
#include "ui/ReadableStyle.h"
#include "ui/StatisticsChart.h"
#include "ui/StatusColor.h"
#include "ui/TextStyle.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QVBoxLayout>

#include <algorithm>

namespace foldwise {

namespace {

constexpr int spacingBetweenSections = 40;
constexpr int focusRingRoom = 4;

QList<ChartEntry> categoryEntries(const FileStatistics& statistics) {
    QList<ChartEntry> entries;
    for (const FileCategoryCount& record : statistics.categories) {
        const QString name = QString::fromStdString(record.category());
        entries.append({name, record.count(), record.size(), categoryColor(name)});
    }
    return entries;
}

// The leading types, and beyond them one grey share "Other types" for the rest. The ring stays a true whole:
// every slice's angle is its share of all the files, so the ten leading types of a folder of many never
// look larger than they are, and the rest is seen at a glance, without reading a caption.
QList<ChartEntry> leadingTypeEntries(const FileStatistics& statistics) {
    QList<ChartEntry> entries;
    ChartEntry rest{StatisticsResultsPage::tr("Other types"), 0, 0, secondarySliceColor()};
    for (const FileTypeCount& record : statistics.types) {
        if (std::ssize(entries) < StatisticsResultsPage::maximumTypeSlices) {
            entries.append({QString::fromStdString(record.type()), record.count(), record.size()});
        } else {
            rest.count += record.count();
            rest.size += record.size();
        }
    }
    if (rest.count > 0) {
        entries.append(rest);
    }
    return entries;
}

QLabel* centredLabel(const QString& text, const QFont& font, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

StatisticsResultsPage::StatisticsResultsPage(QWidget* parent)
    : QScrollArea(parent), header_(new QLabel), categoryCard_(new ChartCard), typeCard_(new ChartCard),
      categoryChart_(new StatisticsChart(QList<ChartEntry>())), typeChart_(new StatisticsChart(QList<ChartEntry>())) {
    header_->setFont(textStyleFont(TextStyle::Title2, font()));
    header_->setAlignment(Qt::AlignCenter);
    header_->setWordWrap(true);
    header_->setContentsMargins(0, style()->pixelMetric(QStyle::PM_LayoutTopMargin), 0, 0);

    const QFont headline = textStyleFont(TextStyle::Headline, font());
    categoryCard_->addWidget(centredLabel(tr("File Categories"), headline, categoryCard_));
    categoryCard_->addWidget(categoryChart_, Qt::AlignHCenter);
    typeCard_->addWidget(centredLabel(tr("File Types"), headline, typeCard_));
    typeCard_->addWidget(typeChart_, Qt::AlignHCenter);
    typeCaption_ = centredLabel(tr("Showing top 10 file types"), textStyleFont(TextStyle::Caption, font()), typeCard_);
    typeCaption_->setForegroundRole(QPalette::PlaceholderText); // secondary: the window's style draws it readable
    typeCaption_->hide();
    typeCard_->addWidget(typeCaption_);

    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    layout->setSpacing(spacingBetweenSections);
    layout->addWidget(header_);
    layout->addWidget(categoryCard_);
    layout->addWidget(typeCard_);
    layout->addStretch();

    setWidget(content);
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    // Room around the page for the focus ring: the page takes the keyboard focus to scroll.
    setViewportMargins(focusRingRoom, focusRingRoom, focusRingRoom, focusRingRoom);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void StatisticsResultsPage::setFolderName(const QString& name) {
    header_->setText(tr("Statistics for ") + name);
}

void StatisticsResultsPage::setStatistics(const FileStatistics& statistics) {
    auto* categoryChart = new StatisticsChart(categoryEntries(statistics));
    categoryCard_->replaceWidget(categoryChart_, categoryChart);
    categoryChart_ = categoryChart;

    auto* typeChart = new StatisticsChart(leadingTypeEntries(statistics));
    typeCard_->replaceWidget(typeChart_, typeChart);
    typeChart_ = typeChart;

    typeCaption_->setVisible(std::ssize(statistics.types) > maximumTypeSlices);
}

bool StatisticsResultsPage::event(QEvent* event) {
    const bool handled = QScrollArea::event(event);
    QStyleOption option;
    option.initFrom(this);
    if (event->type() == QEvent::Paint && (option.state & QStyle::State_HasFocus) &&
        (option.state & QStyle::State_KeyboardFocusChange)) {
        QPainter painter(this);
        paintFocusRing(painter, rect(), focusRingColorValue(palette(), palette().color(QPalette::Window)));
    }
    return handled;
}

void StatisticsResultsPage::focusInEvent(QFocusEvent* event) {
    QScrollArea::focusInEvent(event);
    update();
}

void StatisticsResultsPage::focusOutEvent(QFocusEvent* event) {
    QScrollArea::focusOutEvent(event);
    update();
}

QString StatisticsResultsPage::headerText() const {
    return header_->text();
}

bool StatisticsResultsPage::isTypeCaptionShown() const {
    return !typeCaption_->isHidden();
}

} // namespace foldwise
