#include "ui/StatisticsChart.h"

#include "stats/SizeText.h"
#include "ui/ChartColors.h"
#include "ui/SliceLabelFit.h"
#include "ui/TextStyle.h"

#include <QChart>
#include <QCursor>
#include <QEvent>
#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QLegend>
#include <QPieLegendMarker>
#include <QPieSeries>
#include <QPieSlice>
#include <QToolTip>

#include <algorithm>

namespace foldwise {

namespace {

constexpr int chartHeight = 300;
// Wide enough for the ring and a legend of long names beside it; wider would only part the two.
constexpr int maximumChartWidth = 540;
constexpr qreal sliceBorderWidth = 1.5; // stands in for the gap between neighbouring slices
constexpr qreal labelPadding = 1.0;     // keeps a count clear of its slice's border

} // namespace

StatisticsChart::StatisticsChart(const QList<ChartEntry>& entries, QWidget* parent)
    : QChartView(new QChart, parent), series_(new QPieSeries), entries_(entries) {
    // Qt measures both sizes against the plot area, so a full-size pie makes the hole half its radius.
    series_->setPieSize(1.0);
    series_->setHoleSize(0.5);
    for (qsizetype index = 0; index < entries.size(); ++index) {
        const ChartEntry& entry = entries.at(index);
        QPieSlice* slice = series_->append(locale().toString(qlonglong(entry.count)), static_cast<qreal>(entry.count));
        styleSlice(slice, index, entry.color);
    }

    QChart* pie = chart();
    pie->addSeries(series_);
    pie->setBackgroundVisible(false);
    // The card already pads its contents; the chart's own margins would only shrink the ring.
    pie->layout()->setContentsMargins(0, 0, 0, 0);
    pie->setMargins(QMargins(0, 4, 0, 0));
    // Beside the ring, one name a line, the legend has room for every name in full.
    pie->legend()->setAlignment(Qt::AlignRight);
    nameLegendMarkers(entries);
    applyPalette();

    setRenderHint(QPainter::Antialiasing);
    setFixedHeight(chartHeight);
    setMaximumWidth(maximumChartWidth);
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus); // nothing in it answers keys; the page around it scrolls
    setBackgroundBrush(Qt::NoBrush);
    viewport()->setAutoFillBackground(false);

    connect(pie, &QChart::plotAreaChanged, this, &StatisticsChart::showCountsThatFit);
    connect(series_, &QPieSeries::hovered, this,
            [this](QPieSlice* slice, bool entered) { showToolTip(series_->slices().indexOf(slice), entered); });
    showCountsThatFit();
}

QSize StatisticsChart::sizeHint() const {
    return {maximumChartWidth, chartHeight};
}

QStringList StatisticsChart::legendLabels() const {
    QStringList labels;
    const auto markers = chart()->legend()->markers(series_);
    for (const QLegendMarker* marker : markers) {
        labels.append(marker->label());
    }
    return labels;
}

QStringList StatisticsChart::shownCounts() const {
    QStringList counts;
    const auto slices = series_->slices();
    for (const QPieSlice* slice : slices) {
        if (slice->isLabelVisible()) {
            counts.append(slice->label());
        }
    }
    return counts;
}

QString StatisticsChart::toolTipOf(qsizetype index) const {
    const ChartEntry& entry = entries_.at(index);
    const QString files = entry.count == 1 ? tr("file") : tr("files");
    return entry.name + QStringLiteral(": ") + locale().toString(qlonglong(entry.count)) + QLatin1Char(' ') + files +
           QStringLiteral(", ") + sizeText(entry.size, locale());
}

void StatisticsChart::showToolTip(qsizetype index, bool entered) {
    if (entered && index >= 0) {
        QToolTip::showText(QCursor::pos(), toolTipOf(index), this);
    } else {
        QToolTip::hideText();
    }
}

void StatisticsChart::styleSlice(QPieSlice* slice, qsizetype index, const QColor& color) {
    slice->setBrush(color.isValid() ? color : chartSliceColor(index));
    slice->setLabelColor(Qt::white);
    slice->setLabelFont(textStyleFont(TextStyle::Caption, font()));
    slice->setLabelPosition(QPieSlice::LabelInsideHorizontal);
}

void StatisticsChart::changeEvent(QEvent* event) {
    QChartView::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        applyPalette();
    }
}

// The legend's names in the palette's text colour, and the slice borders, which stand for gaps, in the card's.
void StatisticsChart::applyPalette() {
    chart()->legend()->setLabelColor(palette().color(QPalette::Text));
    const auto slices = series_->slices();
    for (QPieSlice* slice : slices) {
        slice->setPen(QPen(palette().color(QPalette::Base), sliceBorderWidth));
    }
}

// The slice labels show the counts; the legend, which would repeat them, names each slice instead.
// A marker given its own label keeps it when the slice changes.
void StatisticsChart::nameLegendMarkers(const QList<ChartEntry>& entries) {
    const auto slices = series_->slices();
    const auto markers = chart()->legend()->markers(series_);
    for (QLegendMarker* marker : markers) {
        auto* pieMarker = qobject_cast<QPieLegendMarker*>(marker);
        const qsizetype index = pieMarker ? slices.indexOf(pieMarker->slice()) : -1;
        if (index >= 0) {
            marker->setLabel(entries.at(index).name);
            connect(marker, &QLegendMarker::hovered, this,
                    [this, index](bool entered) { showToolTip(index, entered); });
        }
    }
}

void StatisticsChart::showCountsThatFit() {
    const QRectF area = chart()->plotArea();
    const qreal halfSide = std::min(area.width(), area.height()) / 2;
    const auto slices = series_->slices();
    for (QPieSlice* slice : slices) {
        const RingSegment segment{halfSide * series_->holeSize(), halfSide * series_->pieSize(), slice->startAngle(),
                                  slice->angleSpan()};
        const QSizeF text = QFontMetricsF(slice->labelFont()).boundingRect(slice->label()).size();
        const auto position = insideLabelPosition(text + QSizeF(2 * labelPadding, 2 * labelPadding), segment);
        if (position) {
            slice->setLabelPosition(*position);
        }
        slice->setLabelVisible(position.has_value());
    }
}

} // namespace foldwise
