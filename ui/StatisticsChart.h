#pragma once

#include <QChartView>
#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>

QT_BEGIN_NAMESPACE
class QPieSeries;
class QPieSlice;
QT_END_NAMESPACE

namespace foldwise {

// One slice of a statistics chart: what it counts, how many and their bytes, and its colour (none: the
// chart's series by position).
struct ChartEntry {
    QString name;
    std::int64_t count = 0;
    std::int64_t size = 0;
    QColor color = {};
};

// A donut chart of counts, 300 high and at most 540 wide: each slice shows its count in white, grouped the
// locale's way, the legend beside it names the slices, and hovering either tells the count and the bytes.
class StatisticsChart : public QChartView {
    Q_OBJECT

public:
    explicit StatisticsChart(const QList<ChartEntry>& entries, QWidget* parent = nullptr);

    QSize sizeHint() const override;

    QPieSeries* series() const { return series_; }
    QStringList legendLabels() const;
    QStringList shownCounts() const;          // the counts drawn on slices, leaving out slices too thin for theirs
    QString toolTipOf(qsizetype index) const; // "jpg: 3,712 files, 1.2 GB"

protected:
    void changeEvent(QEvent* event) override;

private:
    void styleSlice(QPieSlice* slice, qsizetype index, const QColor& color);
    void showToolTip(qsizetype index, bool entered);
    void applyPalette();
    void nameLegendMarkers(const QList<ChartEntry>& entries);
    void showCountsThatFit();

    QPieSeries* series_;
    QList<ChartEntry> entries_;
};

} // namespace foldwise
