// The statistics screen: its state rule, what each state shows, loading in the background, and its charts:
// how many types show, the counts on the slices and the names in the legend, and where a count fits.
#include "ui/StatisticsView.h"
#include "tests/support/ControlledAnalysis.h"
#include "tests/support/GuiTest.h"
#include "ui/ChartColors.h"
#include "ui/DarkPalette.h"
#include "ui/PlaceholderView.h"
#include "ui/SliceLabelFit.h"
#include "ui/StatisticsChart.h"
#include "ui/StatisticsResultsPage.h"

#include <QAction>
#include <QPieSeries>
#include <QPieSlice>
#include <QProgressBar>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThreadPool>

#include <memory>

using namespace foldwise;
using foldwise::test::ControlledAnalysis;
namespace fs = std::filesystem;

namespace {

const FileStatistics imagesAndDocuments{{{"Images", 5}, {"Documents", 3}}, {{"jpg", 5}, {"pdf", 3}}};
const FileStatistics onlyCode{{{"Code", 7}}, {{"cpp", 7}}};
const QStringList imagesAndDocumentsLegend{QStringLiteral("Images"), QStringLiteral("Documents")};

QStringList categoryLegend(const StatisticsView& view) {
    return view.resultsPage()->categoryChart()->legendLabels();
}

void expectPlaceholder(const StatisticsView& view, const char* title, const char* description) {
    QCOMPARE(view.currentContent(), view.placeholder());
    QCOMPARE(view.placeholder()->title(), QString::fromUtf8(title));
    QCOMPARE(view.placeholder()->description(), QString::fromUtf8(description));
}

} // namespace

class StatisticsViewTest : public QObject {
    Q_OBJECT

    QTemporaryDir root_;
    fs::path downloads_;
    fs::path pictures_;

    // A view on `folder` whose loads run `analysis`; showing it starts the first load.
    std::unique_ptr<StatisticsView> makeView(const ControlledAnalysis& analysis, std::optional<fs::path> folder,
                                             bool shown = true) {
        auto view = std::make_unique<StatisticsView>();
        view->setAnalysis(analysis.function());
        view->setInputFolderURL(folder);
        view->setVisible(shown);
        return view;
    }

private slots:
    void initTestCase() {
        QVERIFY(root_.isValid());
        downloads_ = fs::path(root_.path().toStdString()) / "Downloads";
        pictures_ = fs::path(root_.path().toStdString()) / "Pictures";
        fs::create_directory(downloads_);
        fs::create_directory(pictures_);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); // counts grouped "1,200"
        // Tests keep up to two analyses waiting at once; a machine with one core must still run both.
        QThreadPool::globalInstance()->setMaxThreadCount(std::max(4, QThreadPool::globalInstance()->maxThreadCount()));
    }

    void cleanup() { QThreadPool::globalInstance()->waitForDone(); }

    // The rule's order where states meet: no folder, then results (kept while a refresh loads), then
    // loading.
    void stateRule() {
        using S = StatisticsScreenState;
        QCOMPARE(statisticsScreenState(false, imagesAndDocuments, true), S::NoFolder);
        QCOMPARE(statisticsScreenState(true, FileStatistics{}, true), S::Empty);
        QCOMPARE(statisticsScreenState(true, FileStatistics({}, {{"txt", 1}}), true), S::Results);
        QCOMPARE(statisticsScreenState(true, std::nullopt, true), S::Loading);
        QCOMPARE(statisticsScreenState(true, std::nullopt, false), S::NoData);
    }

    void eachStateShowsItsContentAndLoadsRunOffTheGuiThread() {
        ControlledAnalysis analysis({imagesAndDocuments, FileStatistics{}});
        auto view = makeView(analysis, downloads_, false);
        QVERIFY(view->refreshAction()->isEnabled());
        expectPlaceholder(*view, "No Data", "Tap refresh to analyze.");

        view->show(); // the first load starts and waits for its release
        QCOMPARE(view->state(), StatisticsScreenState::Loading);
        QVERIFY(view->currentContent()->findChild<QProgressBar*>());
        QCOMPARE(view->currentContent()->findChild<QLabel*>()->text(), QStringLiteral("Analyzing files..."));
        QTRY_COMPARE(analysis.started(), 1);
        QVERIFY(!analysis.ranOnGuiThread());
        QCOMPARE(analysis.folders().at(0), downloads_);

        analysis.release(0);
        QTRY_COMPARE(view->state(), StatisticsScreenState::Results);
        QVERIFY(!view->isLoading());
        QCOMPARE(view->currentContent(), view->resultsPage());
        QCOMPARE(categoryLegend(*view), imagesAndDocumentsLegend);

        view->refreshAction()->trigger();
        analysis.release(1);
        QTRY_COMPARE(view->state(), StatisticsScreenState::Empty);
        expectPlaceholder(*view, "No Files Found", "The input folder appears to be empty.");

        // Without a folder nothing loads, and Refresh is disabled.
        view->setInputFolderURL(std::nullopt);
        expectPlaceholder(*view, "No Folder Selected", "Please select an input folder in the Organizer tab.");
        QVERIFY(!view->refreshAction()->isEnabled());
        view->loadStatistics();
        QVERIFY(!view->isLoading());

        // A folder that cannot be opened is not analysed, and the screen says why.
        view->setInputFolderURL(downloads_ / "gone");
        QTRY_COMPARE(view->state(), StatisticsScreenState::Unavailable);
        expectPlaceholder(*view, "Folder Not Available", "“gone” could not be opened: No such file or directory.");
        QThreadPool::globalInstance()->waitForDone();
        QCOMPARE(analysis.started(), 2);

        // An analysis that fails on its thread leaves the folder unavailable, saying why, and the process runs on.
        view->setAnalysis([](const fs::path&) -> FileStatistics { throw std::runtime_error("The disk went away."); });
        view->setInputFolderURL(downloads_);
        QTRY_COMPARE(view->state(), StatisticsScreenState::Unavailable);
        expectPlaceholder(*view, "Folder Not Available", "“Downloads” could not be opened: The disk went away.");
    }

    void aSlowerOlderAnalysisNeverReplacesANewerOne() {
        ControlledAnalysis analysis({imagesAndDocuments, onlyCode});
        auto view = makeView(analysis, downloads_);
        QTRY_COMPARE(analysis.started(), 1); // tickets go in the order the runs start
        view->refreshAction()->trigger();
        QTRY_COMPARE(analysis.started(), 2);
        QVERIFY(view->refreshAction()->isEnabled());

        QSignalSpy loaded(view.get(), &StatisticsView::statisticsLoaded);
        analysis.release(1); // the newer load finishes first
        QVERIFY(loaded.wait());
        QVERIFY(!view->isLoading());
        QCOMPARE(categoryLegend(*view), QStringList({QStringLiteral("Code")}));
        analysis.release(0);
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
        QCOMPARE(loaded.count(), 1);
        QCOMPARE(categoryLegend(*view), QStringList({QStringLiteral("Code")}));
    }

    void aFolderChangeLoadsOnlyWhileShownAndNeverShowsTheOldFoldersCharts() {
        ControlledAnalysis analysis({imagesAndDocuments, onlyCode});
        auto view = makeView(analysis, pictures_, false);
        view->setInputFolderURL(downloads_);
        QThreadPool::globalInstance()->waitForDone();
        QCOMPARE(analysis.started(), 0);
        analysis.release(0);
        view->show();
        QTRY_COMPARE(view->state(), StatisticsScreenState::Results);
        QCOMPARE(analysis.folders().at(0), downloads_);

        view->setInputFolderURL(downloads_);     // the same folder again: no new load
        view->setInputFolderURL(pictures_ / ""); // a trailing separator, still named by its last component
        QTRY_COMPARE(analysis.started(), 2);
        QCOMPARE(analysis.folders().at(1), pictures_ / "");
        QCOMPARE(view->state(), StatisticsScreenState::Loading); // Downloads' charts left at once
        QCOMPARE(view->resultsPage()->headerText(), QStringLiteral("Statistics for Pictures"));
        analysis.release(1);
        QTRY_COMPARE(view->state(), StatisticsScreenState::Results);
        QCOMPARE(categoryLegend(*view), QStringList({QStringLiteral("Code")}));

        // A refresh of the same folder keeps its charts until the new result arrives.
        view->refreshAction()->trigger();
        QCOMPARE(view->state(), StatisticsScreenState::Results);
        analysis.releaseAll();
        QThreadPool::globalInstance()->waitForDone();
    }

    void resultsArrivingAfterTheirScreenClosedAreDropped() {
        ControlledAnalysis analysis;
        QObject receiver;
        int delivered = 0;
        auto loader =
            std::make_unique<StatisticsLoader>(&receiver, [&](const StatisticsLoader::Result&) { ++delivered; });
        loader->setAnalysis(analysis.function());
        loader->start(downloads_);
        QTRY_COMPARE(analysis.started(), 1);
        analysis.release(0);
        QTRY_COMPARE(delivered, 1);
        loader->start(downloads_);
        QTRY_COMPARE(analysis.started(), 2);
        loader.reset(); // destroyed while the second analysis still runs
        analysis.release(1);
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
        QCOMPARE(delivered, 1);

        // A view that goes while its result is already on the way drops it as well.
        analysis.releaseAll();
        auto view = makeView(analysis, downloads_);
        QThreadPool::globalInstance()->waitForDone();
        view.reset();
        QCoreApplication::processEvents();
    }

    // Ten types show, in ten colours: neighbours never look alike. More bring the caption and one grey
    // share of all the others, so that each slice's angle is its true share of the files.
    void typeChartShowsTheFirstTenTypesAndTheShareOfTheRest() {
        for (const int types : {10, 12}) {
            FileStatistics statistics{{{"Other", 1}}, {}};
            for (int index = 0; index < types; ++index) {
                statistics.types.emplace_back("t" + std::to_string(index), 100 - index, 1000 * index);
            }
            StatisticsResultsPage page;
            page.setStatistics(statistics);
            const QStringList legend = page.typeChart()->legendLabels();
            QCOMPARE(legend.size(), types > 10 ? 11 : 10);
            QVERIFY(legend.first() == QStringLiteral("t0") && legend.at(9) == QStringLiteral("t9"));
            QCOMPARE(page.isTypeCaptionShown(), types > 10);
            const auto slices = page.typeChart()->series()->slices();
            QSet<QRgb> colors;
            for (QPieSlice* slice : slices.first(10)) {
                colors.insert(slice->color().rgb());
            }
            QCOMPARE(colors.size(), 10);
            if (types > 10) {
                QCOMPARE(legend.last(), QStringLiteral("Other types"));
                QCOMPARE(slices.last()->value(), 90.0 + 89.0);
                QCOMPARE(slices.last()->color(), secondarySliceColor());
                QCOMPARE(page.typeChart()->toolTipOf(10), QStringLiteral("Other types: 179 files, 21.0 kB"));
            }
        }
    }

    // A category keeps its colour whatever the folder, its place in the list and the palette; so does one of
    // the user's own.
    void eachCategoryHasOneColourEverywhere() {
        const FileStatistics downloads{{{"Images", 9}, {"3D Models", 4}, {"Documents", 2}}, {{"jpg", 9}}};
        const FileStatistics pictures{{{"Documents", 8}, {"Images", 5}, {"Code", 3}, {"3D Models", 1}}, {{"pdf", 8}}};
        QHash<QString, QRgb> seen;
        for (const bool dark : {false, true}) {
            for (const FileStatistics& statistics : {downloads, pictures}) {
                StatisticsResultsPage page;
                if (dark) {
                    page.setPalette(darkFusionPalette());
                }
                page.setStatistics(statistics);
                const QStringList legend = page.categoryChart()->legendLabels();
                const auto slices = page.categoryChart()->series()->slices();
                for (qsizetype index = 0; index < legend.size(); ++index) {
                    const QRgb color = slices.at(index)->color().rgb();
                    QCOMPARE(seen.value(legend.at(index), color), color);
                    seen.insert(legend.at(index), color);
                }
            }
        }
        QCOMPARE(seen.size(), 4);
        QCOMPARE(QSet<QRgb>(seen.cbegin(), seen.cend()).size(), 4);
        QVERIFY(userCategoryColors().contains(QColor(seen.value(QStringLiteral("3D Models")))));
    }

    void aDonutWithCountsOnTheSlicesAndNamesInTheLegend() {
        StatisticsChart chart({{QStringLiteral("Documents"), 1200, 1'234'567},
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
                 QStringList({QStringLiteral("1,200"), QStringLiteral("640"), QStringLiteral("315")}));
        QCOMPARE(chart.toolTipOf(0), QStringLiteral("Documents: 1,200 files, 1.2 MB"));
        QCOMPARE(chart.toolTipOf(3), QStringLiteral("Video: 1 file, 0 bytes"));
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

    // White counts are readable on every slice; a category's slice also stands out from the card in both
    // palettes.
    void slicesKeepCountsReadableAndCategoriesStandOutFromTheCard() {
        QList<QColor> categoryColors = userCategoryColors();
        for (const char* name : {"Images", "Video", "Audio", "Documents", "Archives", "Code", "Other"}) {
            categoryColors.append(categoryColor(QString::fromLatin1(name)));
        }
        for (const QColor& color : chartSliceColors() + categoryColors) {
            QVERIFY2(contrastRatio(color, Qt::white) >= 4.5, qPrintable(color.name()));
        }
        const QColor darkCard = darkFusionPalette().color(QPalette::Base);
        for (const QColor& color : categoryColors) {
            QVERIFY2(contrastRatio(color, darkCard) >= 3.0, qPrintable(color.name()));
        }
    }
};

FOLDWISE_GUI_TEST_MAIN(StatisticsViewTest)
#include "StatisticsViewTest.moc"
