#include "ControlledAnalysis.h"

#include "ui/ChartCard.h"
#include "ui/ChartColors.h"
#include "ui/SliceLabelFit.h"
#include "ui/StatisticsChart.h"
#include "ui/StatisticsResultsPage.h"

#include <QPieSeries>
#include <QPieSlice>
#include <QTest>

using namespace foldwise;
using foldwise::test::makeStatistics;

namespace {

// A chart laid out at a usual size, so that its slices have their final geometry.
std::unique_ptr<StatisticsChart> shownChart(const QList<ChartEntry>& entries) {
    auto chart = std::make_unique<StatisticsChart>(entries);
    chart->resize(700, chart->height());
    chart->show();
    if (!QTest::qWaitForWindowExposed(chart.get())) {
        return nullptr;
    }
    QCoreApplication::processEvents();
    return chart;
}

} // namespace

class StatisticsChartTest : public QObject {
    Q_OBJECT

private slots:
    void typeChartShowsTheFirstTenTypes_data() {
        QTest::addColumn<int>("types");
        QTest::addColumn<int>("slices");
        QTest::addColumn<bool>("captionShown");
        QTest::newRow("three") << 3 << 3 << false;
        QTest::newRow("exactly ten") << 10 << 10 << false;
        QTest::newRow("eleven") << 11 << 10 << true;
        QTest::newRow("forty") << 40 << 10 << true;
    }

    void typeChartShowsTheFirstTenTypes() {
        QFETCH(int, types);
        QFETCH(int, slices);
        QFETCH(bool, captionShown);
        std::vector<std::pair<std::string, std::int64_t>> typeCounts;
        QStringList expectedLegend;
        for (int index = 0; index < types; ++index) {
            typeCounts.emplace_back("t" + std::to_string(index), 100 - index);
            if (index < slices) {
                expectedLegend.append(QStringLiteral("t%1").arg(index));
            }
        }
        StatisticsResultsPage page;
        page.setStatistics(makeStatistics({{"Other", 1}}, typeCounts));
        QCOMPARE(page.typeChart()->series()->count(), slices);
        QCOMPARE(page.typeChart()->legendLabels(), expectedLegend);
        QCOMPARE(page.isTypeCaptionShown(), captionShown);
    }

    void legendNamesTheSlicesWhileTheSlicesShowTheirCounts() {
        auto chart = shownChart({{QStringLiteral("Documents"), 1200},
                                 {QStringLiteral("Images"), 640},
                                 {QStringLiteral("Code"), 315},
                                 {QStringLiteral("Other"), 300}});
        QVERIFY(chart);
        QCOMPARE(chart->legendLabels(), QStringList({QStringLiteral("Documents"), QStringLiteral("Images"),
                                                     QStringLiteral("Code"), QStringLiteral("Other")}));
        QCOMPARE(chart->shownCounts(), QStringList({QStringLiteral("1200"), QStringLiteral("640"),
                                                    QStringLiteral("315"), QStringLiteral("300")}));
        const auto slices = chart->series()->slices();
        for (QPieSlice* slice : slices) {
            QCOMPARE(slice->labelColor(), QColor(Qt::white));
            QCOMPARE(slice->labelPosition(), QPieSlice::LabelInsideHorizontal);
        }

        // Showing and hiding counts on resizing leaves the legend's names alone.
        chart->resize(260, chart->height());
        QCoreApplication::processEvents();
        chart->resize(700, chart->height());
        QCoreApplication::processEvents();
        QCOMPARE(chart->legendLabels().first(), QStringLiteral("Documents"));
    }

    void aSliceTooThinForItsCountLeavesItOut() {
        auto chart = shownChart({{QStringLiteral("Documents"), 5000}, {QStringLiteral("Video"), 1}});
        QVERIFY(chart);
        QCOMPARE(chart->shownCounts(), QStringList({QStringLiteral("5000")}));
        QCOMPARE(chart->legendLabels(), QStringList({QStringLiteral("Documents"), QStringLiteral("Video")}));
    }

    void countsGoWhereTheyFitWhole_data() {
        QTest::addColumn<qreal>("startAngle");
        QTest::addColumn<qreal>("angleSpan");
        QTest::addColumn<int>("expected"); // a QPieSlice::LabelPosition, or -1 for none
        QTest::newRow("wide slice") << 0.0 << 90.0 << int(QPieSlice::LabelInsideHorizontal);
        QTest::newRow("wide slice on the left") << 200.0 << 60.0 << int(QPieSlice::LabelInsideHorizontal);
        QTest::newRow("narrow slice at the top") << 344.0 << 16.0 << int(QPieSlice::LabelInsideNormal);
        QTest::newRow("narrow slice at three o'clock, level along the radius")
            << 82.0 << 16.0 << int(QPieSlice::LabelInsideHorizontal);
        QTest::newRow("sliver") << 120.0 << 3.0 << -1;
        QTest::newRow("whole ring") << 0.0 << 360.0 << int(QPieSlice::LabelInsideHorizontal);
    }

    void countsGoWhereTheyFitWhole() {
        QFETCH(qreal, startAngle);
        QFETCH(qreal, angleSpan);
        QFETCH(int, expected);
        // A ring 50 wide around a hole of 50, and a label 30 by 14: level it needs about 25 degrees, along
        // the radius about 14.
        const auto position = insideLabelPosition(QSizeF(30, 14), RingSegment{50, 100, startAngle, angleSpan});
        QCOMPARE(position ? int(*position) : -1, expected);
        // A label longer than the ring is wide fits neither way in a narrow slice.
        QVERIFY(!insideLabelPosition(QSizeF(60, 14), RingSegment{50, 100, startAngle, 16.0}));
    }

    void theChartIsADonutOfFixedHeight() {
        StatisticsChart chart({{QStringLiteral("Images"), 2}});
        QCOMPARE(chart.series()->holeSize(), 0.5);
        QCOMPARE(chart.series()->pieSize(), 1.0); // so the hole is half the outer radius
        QCOMPARE(chart.height(), 300);
    }

    void sliceColoursKeepWhiteCountsReadable() {
        const auto& colors = chartSliceColors();
        QCOMPARE(colors.size(), StatisticsResultsPage::maximumTypeSlices);
        for (const QColor& color : colors) {
            QVERIFY2(contrastRatio(color, Qt::white) >= 4.5, qPrintable(color.name()));
            QCOMPARE(colors.count(color), 1);
        }
        QVERIFY(std::abs(contrastRatio(Qt::black, Qt::white) - 21.0) < 0.01);

        StatisticsChart chart({{QStringLiteral("a"), 3}, {QStringLiteral("b"), 2}});
        QCOMPARE(chart.series()->slices().at(0)->color(), colors.at(0));
        QCOMPARE(chart.series()->slices().at(1)->color(), colors.at(1));
        // The border that parts neighbouring slices is the card's own colour.
        QCOMPARE(chart.series()->slices().at(0)->borderColor(), chart.palette().color(QPalette::Base));
    }

    void theCardIsRoundedInTheBaseColour() {
        ChartCard card;
        card.resize(200, 120);
        const QImage image = card.grab().toImage();
        const QColor base = card.palette().color(QPalette::Base);
        QCOMPARE(image.pixelColor(100, 60), base);
        QCOMPARE(image.pixelColor(20, 1), base); // the straight top edge
        QVERIFY(image.pixelColor(0, 0) != base); // the corner, cut away
        QVERIFY(image.pixelColor(199, 119) != base);
    }
};

int runStatisticsChartTests(int argc, char** argv) {
    StatisticsChartTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "StatisticsChartTest.moc"
