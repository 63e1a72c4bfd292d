#include "ui/StatisticsChart.h"

#include "ui/ChartColors.h"
#include "ui/TextStyle.h"

#include <QChart>
#include <QCursor>
#include <QFontMetricsF>
#include <QLegend>
#include <QPieLegendMarker>
#include <QPieSeries>
#include <QPieSlice>
#include <QToolTip>
#include <QtMath>

#include <algorithm>
#include <cmath>

namespace foldwise {

namespace {

constexpr int chartHeight = 300;
constexpr qreal sliceBorderWidth = 1.5; // stands in for the gap between neighbouring slices
constexpr qreal labelPadding = 2.0;

// Whether a point, given relative to the pie's centre, lies within the slice's angles. Angles are the
// chart's: degrees clockwise from twelve o'clock.
bool isWithinAngles(QPointF point, qreal startAngle, qreal angleSpan) {
    if (angleSpan >= 360.0) {
        return true;
    }
    qreal angle = qRadiansToDegrees(std::atan2(point.x(), -point.y())) - startAngle;
    angle = std::fmod(angle + 720.0, 360.0);
    return angle <= angleSpan;
}

// Whether a label of `size`, centred halfway between the hole and the outer edge as the chart draws
// it, lies wholly inside the ring segment of its slice. The chart clips inside labels to their slice,
// so a label that does not fit would show as a cut-off number.
bool labelFitsInSlice(QSizeF size, qreal innerRadius, qreal outerRadius, qreal startAngle, qreal angleSpan) {
    const qreal middle = (innerRadius + outerRadius) / 2;
    const qreal angle = qDegreesToRadians(startAngle + angleSpan / 2);
    const QPointF centre(std::sin(angle) * middle, -std::cos(angle) * middle);
    const QRectF box(centre - QPointF(size.width() / 2, size.height() / 2), size);

    const QPointF nearest(std::clamp(0.0, box.left(), box.right()), std::clamp(0.0, box.top(), box.bottom()));
    if (std::hypot(nearest.x(), nearest.y()) < innerRadius) {
        return false;
    }
    for (const QPointF corner : {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()}) {
        if (std::hypot(corner.x(), corner.y()) > outerRadius || !isWithinAngles(corner, startAngle, angleSpan)) {
            return false;
        }
    }
    return true;
}

} // namespace

StatisticsChart::StatisticsChart(const QList<ChartEntry>& entries, QWidget* parent)
    : QChartView(new QChart, parent), series_(new QPieSeries) {
    // Qt measures both sizes against the plot area, so a full-size pie makes the hole half its radius.
    series_->setPieSize(1.0);
    series_->setHoleSize(0.5);
    for (qsizetype index = 0; index < entries.size(); ++index) {
        const ChartEntry& entry = entries.at(index);
        QPieSlice* slice = series_->append(QString::number(entry.count), static_cast<qreal>(entry.count));
        styleSlice(slice, index);
    }

    QChart* pie = chart();
    pie->addSeries(series_);
    pie->setBackgroundVisible(false);
    pie->legend()->setAlignment(Qt::AlignBottom);
    pie->legend()->setLabelColor(palette().color(QPalette::Text));
    nameLegendMarkers(entries);

    setRenderHint(QPainter::Antialiasing);
    setFixedHeight(chartHeight);
    setFrameShape(QFrame::NoFrame);
    setBackgroundBrush(Qt::NoBrush);
    viewport()->setAutoFillBackground(false);

    connect(pie, &QChart::plotAreaChanged, this, &StatisticsChart::showCountsThatFit);
    connect(series_, &QPieSeries::hovered, this, [this, entries](QPieSlice* slice, bool entered) {
        const qsizetype index = series_->slices().indexOf(slice);
        if (entered && index >= 0) {
            const ChartEntry& entry = entries.at(index);
            QToolTip::showText(QCursor::pos(), entry.name + QStringLiteral(": ") + QString::number(entry.count), this);
        } else {
            QToolTip::hideText();
        }
    });
    showCountsThatFit();
}

QStringList StatisticsChart::legendLabels() const {
    QStringList labels;
    const auto markers = chart()->legend()->markers(series_);
    for (const QLegendMarker* marker : markers) {
        labels.append(marker->label());
    }
    return labels;
}

QStringList StatisticsChart::sliceLabels() const {
    QStringList labels;
    const auto slices = series_->slices();
    for (const QPieSlice* slice : slices) {
        labels.append(slice->label());
    }
    return labels;
}

void StatisticsChart::styleSlice(QPieSlice* slice, qsizetype index) {
    slice->setBrush(chartSliceColor(index));
    slice->setPen(QPen(palette().color(QPalette::Base), sliceBorderWidth));
    slice->setLabelColor(Qt::white);
    slice->setLabelFont(textStyleFont(TextStyle::Caption, font()));
    slice->setLabelPosition(QPieSlice::LabelInsideHorizontal);
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
        }
    }
}

void StatisticsChart::showCountsThatFit() {
    const QRectF area = chart()->plotArea();
    const qreal halfSide = std::min(area.width(), area.height()) / 2;
    const qreal outerRadius = halfSide * series_->pieSize();
    const qreal innerRadius = halfSide * series_->holeSize();
    const auto slices = series_->slices();
    for (QPieSlice* slice : slices) {
        const QSizeF text = QFontMetricsF(slice->labelFont()).boundingRect(slice->label()).size();
        const QSizeF padded = text + QSizeF(2 * labelPadding, 2 * labelPadding);
        slice->setLabelVisible(
            labelFitsInSlice(padded, innerRadius, outerRadius, slice->startAngle(), slice->angleSpan()));
    }
}

} // namespace foldwise
