#pragma once

#include <QChartView>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>

QT_BEGIN_NAMESPACE
class QPieSeries;
class QPieSlice;
QT_END_NAMESPACE

namespace foldwise {

// One slice of a statistics chart: what it counts and how many.
struct ChartEntry {
    QString name;
    std::int64_t count = 0;
};

// A donut chart of counts, 300 high and at most 540 wide: each slice shows its count in white, the legend
// beside it names the slices.
class StatisticsChart : public QChartView {
    Q_OBJECT

public:
    explicit StatisticsChart(const QList<ChartEntry>& entries, QWidget* parent = nullptr);

    QSize sizeHint() const override;

    QPieSeries* series() const { return series_; }
    QStringList legendLabels() const;
    QStringList shownCounts() const; // the counts drawn on slices, leaving out slices too thin for theirs

protected:
    void changeEvent(QEvent* event) override;

private:
    void styleSlice(QPieSlice* slice, qsizetype index);
    void applyPalette();
    void nameLegendMarkers(const QList<ChartEntry>& entries);
    void showCountsThatFit();

    QPieSeries* series_;
};

} // namespace foldwise
