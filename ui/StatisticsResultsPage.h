#pragma once

#include "stats/FileStatistics.h"

#include <QScrollArea>

class QLabel;
class QVBoxLayout;

namespace foldwise {

class ChartCard;
class StatisticsChart;

// The statistics of one folder as a vertically scrolling page: a header naming the folder, then a
// card with the chart of categories and a card with the chart of the ten most frequent types and the share
// of all the others.
class StatisticsResultsPage : public QScrollArea {
    Q_OBJECT

public:
    // The type chart shows at most this many types, the leading ones of the list, and the rest as one share.
    static constexpr qsizetype maximumTypeSlices = 10;

    explicit StatisticsResultsPage(QWidget* parent = nullptr);

    void setFolderName(const QString& name);
    void setStatistics(const FileStatistics& statistics);

    QString headerText() const;
    StatisticsChart* categoryChart() const { return categoryChart_; }
    StatisticsChart* typeChart() const { return typeChart_; }
    bool isTypeCaptionShown() const;

protected:
    // With the keyboard focus, which lets the arrow and page keys scroll it, the page shows a focus ring.
    bool event(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QLabel* header_;
    ChartCard* categoryCard_;
    ChartCard* typeCard_;
    StatisticsChart* categoryChart_ = nullptr;
    StatisticsChart* typeChart_ = nullptr;
    QLabel* typeCaption_;
};

} // namespace foldwise
