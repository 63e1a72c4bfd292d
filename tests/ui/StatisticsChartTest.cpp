// The statistics charts: how many types show, the counts on the slices and the
// names in the legend, where a count fits, and the colours of the slices.
#include "ui/StatisticsChart.h"
#include "tests/support/GuiTest.h"
#include "ui/ChartColors.h"
#include "ui/SliceLabelFit.h"
#include "ui/StatisticsResultsPage.h"

#include <QPieSeries>
#include <QPieSlice>
#include <QSet>

using namespace foldwise;

class StatisticsChartTest : public QObject {
    Q_OBJECT

private slots:
    void typeChartShowsTheFirstTenTypes_data() {
        QTest::addColumn<int>("types");
        QTest::addColumn<bool>("captionShown");
        QTest::newRow("ten") << 10 << false;
        QTest::newRow("eleven") << 11 << true;
    }

    void typeChartShowsTheFirstTenTypes() {
        QFETCH(int, types);
        QFETCH(bool, captionShown);
        FileStatistics statistics{{{"Other", 1}}, {}};
        QStringList firstTen;
        for (int index = 0; index < types; ++index) {
            statistics.types.emplace_back("t" + std::to_string(index), 100 - index);
            firstTen.append(QStringLiteral("t%1").arg(index));
        }
        firstTen = firstTen.mid(0, 10);
        StatisticsResultsPage page;
        page.setStatistics(statistics);
        QCOMPARE(page.typeChart()->series()->count(), 10);
        QCOMPARE(page.typeChart()->legendLabels(), firstTen);
        QCOMPARE(page.isTypeCaptionShown(), captionShown);
        QSet<QRgb> colors; // ten slices, ten colours: neighbours never look alike
        const auto slices = page.typeChart()->series()->slices();
        for (QPieSlice* slice : slices) {
            colors.insert(slice->color().rgb());
        }
        QCOMPARE(colors.size(), 10);
    }

    void aDonutWithCountsOnTheSlicesAndNamesInTheLegend() {
        StatisticsChart chart({{QStringLiteral("Documents"), 1200},
                               {QStringLiteral("Images"), 640},
                               {QStringLiteral("Code"), 315},
                               {QStringLiteral("Video"), 1}});
        chart.resize(700, chart.height());
        chart.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chart));
        QCoreApplication::processEvents(); // the slices take their final geometry
        const QStringList names{QStringLiteral("Documents"), QStringLiteral("Images"), QStringLiteral("Code"),
                                QStringLiteral("Video")};
        QCOMPARE(chart.legendLabels(), names);
        // The sliver of "Video" is too thin for its count, which would show cut off.
        QCOMPARE(chart.shownCounts(),
                 QStringList({QStringLiteral("1200"), QStringLiteral("640"), QStringLiteral("315")}));
        for (QPieSlice* slice : chart.series()->slices()) {
            QCOMPARE(slice->labelColor(), QColor(Qt::white)); // readable on every slice colour, as checked below
        }

        // Showing and hiding counts on resizing leaves the legend's names alone.
        chart.resize(260, chart.height());
        QCoreApplication::processEvents();
        chart.resize(700, chart.height());
        QCoreApplication::processEvents();
        QCOMPARE(chart.legendLabels(), names);
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

    void whiteCountsStayReadableOnEverySliceColour() {
        for (const QColor& color : chartSliceColors()) {
            QVERIFY2(contrastRatio(color, Qt::white) >= 4.5, qPrintable(color.name()));
        }
    }
};

FOLDWISE_GUI_TEST_MAIN(StatisticsChartTest)
#include "StatisticsChartTest.moc"
