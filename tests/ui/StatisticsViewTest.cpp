#include "ControlledAnalysis.h"

#include "ui/PlaceholderView.h"
#include "ui/StatisticsChart.h"
#include "ui/StatisticsResultsPage.h"
#include "ui/StatisticsView.h"

#include <QAction>
#include <QLabel>
#include <QPieSeries>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>

#include <memory>

using namespace foldwise;
using foldwise::test::ControlledAnalysis;
using foldwise::test::makeStatistics;
namespace fs = std::filesystem;

Q_DECLARE_METATYPE(StatisticsScreenState)

namespace {

const FileStatistics imagesAndDocuments = makeStatistics({{"Images", 5}, {"Documents", 3}}, {{"jpg", 5}, {"pdf", 3}});
const FileStatistics onlyCode = makeStatistics({{"Code", 7}}, {{"cpp", 7}});

QStringList categoryLegend(const StatisticsView& view) {
    return view.resultsPage()->categoryChart()->legendLabels();
}

} // namespace

class StatisticsViewTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir root_;
    fs::path downloads_;
    fs::path pictures_;

    // A view on `folder` whose loads run `analysis`; shown when `shown`, which starts the first load.
    std::unique_ptr<StatisticsView> makeView(const ControlledAnalysis& analysis, std::optional<fs::path> folder,
                                             bool shown = true) {
        auto view = std::make_unique<StatisticsView>();
        view->setAnalysis(analysis.function());
        view->setInputFolderURL(folder);
        view->resize(800, 900);
        if (shown) {
            view->show();
        }
        return view;
    }

private slots:
    void initTestCase() {
        QVERIFY(root_.isValid());
        downloads_ = fs::path(root_.path().toStdString()) / "Downloads";
        pictures_ = fs::path(root_.path().toStdString()) / "Pictures";
        fs::create_directory(downloads_);
        fs::create_directory(pictures_);
        // Tests keep up to two analyses waiting at once; a machine with one core must still run both.
        QThreadPool::globalInstance()->setMaxThreadCount(std::max(4, QThreadPool::globalInstance()->maxThreadCount()));
    }

    void cleanup() { QThreadPool::globalInstance()->waitForDone(); }

    void stateRule_data() {
        QTest::addColumn<bool>("hasFolder");
        QTest::addColumn<int>("categories");
        QTest::addColumn<int>("types");
        QTest::addColumn<bool>("hasStatistics");
        QTest::addColumn<bool>("isLoading");
        QTest::addColumn<StatisticsScreenState>("expected");
        using S = StatisticsScreenState;
        for (bool isLoading : {false, true}) {
            const QByteArray loading = isLoading ? " while loading" : "";
            QTest::newRow("no folder, no result" + loading) << false << 0 << 0 << false << isLoading << S::NoFolder;
            QTest::newRow("no folder, a result" + loading) << false << 1 << 1 << true << isLoading << S::NoFolder;
            QTest::newRow("nothing counted" + loading) << true << 0 << 0 << true << isLoading << S::Empty;
            QTest::newRow("no categories" + loading) << true << 0 << 1 << true << isLoading << S::Results;
            QTest::newRow("no types" + loading) << true << 1 << 0 << true << isLoading << S::Results;
            QTest::newRow("both lists" + loading) << true << 2 << 3 << true << isLoading << S::Results;
        }
        QTest::newRow("no result yet, loading") << true << 0 << 0 << false << true << S::Loading;
        QTest::newRow("no result yet, idle") << true << 0 << 0 << false << false << S::NoData;
    }

    void stateRule() {
        QFETCH(bool, hasFolder);
        QFETCH(int, categories);
        QFETCH(int, types);
        QFETCH(bool, hasStatistics);
        QFETCH(bool, isLoading);
        QFETCH(StatisticsScreenState, expected);
        std::optional<FileStatistics> statistics;
        if (hasStatistics) {
            statistics = FileStatistics{std::vector<FileCategoryCount>(categories, FileCategoryCount("Other", 1)),
                                        std::vector<FileTypeCount>(types, FileTypeCount("txt", 1))};
        }
        QCOMPARE(statisticsScreenState(hasFolder, statistics, isLoading), expected);
    }

    void eachStateShowsItsContent() {
        ControlledAnalysis analysis;
        analysis.setResult(0, imagesAndDocuments);
        analysis.setResult(1, FileStatistics{});
        auto view = makeView(analysis, downloads_, false);
        QCOMPARE(view->state(), StatisticsScreenState::NoData);
        QCOMPARE(view->currentContent(), view->placeholder());
        QCOMPARE(view->placeholder()->title(), QStringLiteral("No Data"));
        QCOMPARE(view->placeholder()->symbolName(), QStringLiteral("chart.pie"));
        QCOMPARE(view->placeholder()->description(), QStringLiteral("Tap refresh to analyze."));

        view->show(); // the first load starts and waits for its release
        QCOMPARE(view->state(), StatisticsScreenState::Loading);
        QVERIFY(view->currentContent()->findChild<QProgressBar*>());
        QCOMPARE(view->currentContent()->findChild<QLabel*>()->text(), QStringLiteral("Analyzing files..."));

        analysis.release(0);
        QTRY_COMPARE(view->state(), StatisticsScreenState::Results);
        QCOMPARE(view->currentContent(), view->resultsPage());

        view->refreshAction()->trigger();
        analysis.release(1);
        QTRY_COMPARE(view->state(), StatisticsScreenState::Empty);
        QCOMPARE(view->placeholder()->title(), QStringLiteral("No Files Found"));
        QCOMPARE(view->placeholder()->symbolName(), QStringLiteral("magnifyingglass"));
        QCOMPARE(view->placeholder()->description(), QStringLiteral("The input folder appears to be empty."));

        view->setInputFolderURL(std::nullopt);
        QCOMPARE(view->state(), StatisticsScreenState::NoFolder);
        QCOMPARE(view->placeholder()->title(), QStringLiteral("No Folder Selected"));
        QCOMPARE(view->placeholder()->symbolName(), QStringLiteral("folder.badge.questionmark"));
        QCOMPARE(view->placeholder()->description(),
                 QStringLiteral("Please select an input folder in the Organizer tab."));
    }

    void showingTheViewLoadsOffTheGuiThread() {
        ControlledAnalysis analysis;
        analysis.setResult(0, imagesAndDocuments);
        auto view = makeView(analysis, downloads_);
        QTRY_COMPARE(analysis.started(), 1);
        QVERIFY(view->isLoading());
        QVERIFY(analysis.threadOf(0) != QThread::currentThread());
        QCOMPARE(analysis.folderOf(0), downloads_);

        QSignalSpy loaded(view.get(), &StatisticsView::statisticsLoaded);
        analysis.release(0);
        QVERIFY(loaded.wait());
        QVERIFY(!view->isLoading());
        QCOMPARE(categoryLegend(*view), QStringList({QStringLiteral("Images"), QStringLiteral("Documents")}));
    }

    void withoutAFolderNothingLoadsAndRefreshIsDisabled() {
        ControlledAnalysis analysis;
        auto view = makeView(analysis, std::nullopt);
        QVERIFY(!view->refreshAction()->isEnabled());
        view->loadStatistics();
        QVERIFY(!view->isLoading());
        QCOMPARE(view->state(), StatisticsScreenState::NoFolder);
        QThreadPool::globalInstance()->waitForDone();
        QCOMPARE(analysis.started(), 0);

        view->setInputFolderURL(downloads_);
        QVERIFY(view->refreshAction()->isEnabled());
    }

    void refreshDuringALoadStartsAnotherAndTheLastToFinishStays() {
        ControlledAnalysis analysis;
        analysis.setResult(0, imagesAndDocuments);
        analysis.setResult(1, onlyCode);
        auto view = makeView(analysis, downloads_);
        QVERIFY(view->refreshAction()->isEnabled());
        view->refreshAction()->trigger();
        QTRY_COMPARE(analysis.started(), 2);
        QVERIFY(view->refreshAction()->isEnabled());

        QSignalSpy loaded(view.get(), &StatisticsView::statisticsLoaded);
        analysis.release(1); // the later load finishes first
        QVERIFY(loaded.wait());
        QVERIFY(!view->isLoading()); // the first result to arrive ends the loading state
        QCOMPARE(categoryLegend(*view), QStringList({QStringLiteral("Code")}));

        analysis.release(0);
        QVERIFY(loaded.wait());
        QCOMPARE(categoryLegend(*view), QStringList({QStringLiteral("Images"), QStringLiteral("Documents")}));
    }

    void aResultStaysOnScreenWhileTheNextFolderLoads() {
        ControlledAnalysis analysis;
        analysis.setResult(0, imagesAndDocuments);
        analysis.setResult(1, onlyCode);
        analysis.release(0);
        auto view = makeView(analysis, downloads_);
        QTRY_COMPARE(view->state(), StatisticsScreenState::Results);

        view->setInputFolderURL(pictures_);
        QTRY_COMPARE(analysis.started(), 2);
        QCOMPARE(analysis.folderOf(1), pictures_);
        QVERIFY(view->isLoading());
        QCOMPARE(view->state(), StatisticsScreenState::Results);
        QCOMPARE(view->resultsPage()->headerText(), QStringLiteral("Statistics for Pictures"));
        QCOMPARE(categoryLegend(*view), QStringList({QStringLiteral("Images"), QStringLiteral("Documents")}));

        analysis.release(1);
        QTRY_COMPARE(categoryLegend(*view), QStringList({QStringLiteral("Code")}));
    }

    void folderChangesLoadOnlyWhileShown() {
        ControlledAnalysis analysis;
        analysis.releaseAll();
        auto view = makeView(analysis, downloads_, false);
        view->setInputFolderURL(pictures_);
        QThreadPool::globalInstance()->waitForDone();
        QCOMPARE(analysis.started(), 0);

        view->show();
        QTRY_COMPARE(analysis.started(), 1);
        view->setInputFolderURL(pictures_); // the same folder again
        view->setInputFolderURL(downloads_);
        QTRY_COMPARE(analysis.started(), 2);
        QThreadPool::globalInstance()->waitForDone();
        QCOMPARE(analysis.started(), 2);
    }

    void headerNamesTheFolderOnly_data() {
        QTest::addColumn<QString>("folder");
        QTest::newRow("plain") << QStringLiteral("/home/someone/Downloads");
        QTest::newRow("trailing separator") << QStringLiteral("/home/someone/Downloads/");
    }

    void headerNamesTheFolderOnly() {
        QFETCH(QString, folder);
        ControlledAnalysis analysis;
        analysis.setResult(0, imagesAndDocuments);
        analysis.release(0);
        auto view = makeView(analysis, fs::path(folder.toStdString()));
        QTRY_COMPARE(view->state(), StatisticsScreenState::Results);
        QCOMPARE(view->resultsPage()->headerText(), QStringLiteral("Statistics for Downloads"));
    }

    void aClosedViewReceivesNothing() {
        ControlledAnalysis analysis;
        auto view = makeView(analysis, downloads_);
        QTRY_COMPARE(analysis.started(), 1);
        view.reset(); // destroyed while its load still runs
        analysis.release(0);
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();

        // A result already on its way when the view goes is dropped as well.
        analysis.release(1);
        view = makeView(analysis, downloads_);
        QThreadPool::globalInstance()->waitForDone();
        view.reset();
        QCoreApplication::processEvents();
    }

    void theLoaderDropsResultsOnceDestroyed() {
        ControlledAnalysis analysis;
        QObject receiver;
        int delivered = 0;
        auto loader = std::make_unique<StatisticsLoader>(&receiver, [&](FileStatistics) { ++delivered; });
        loader->setAnalysis(analysis.function());
        loader->start(downloads_);
        loader->start(downloads_);
        QTRY_COMPARE(analysis.started(), 2);
        analysis.release(0);
        QTRY_COMPARE(delivered, 1);
        loader.reset();
        analysis.release(1);
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
        QCOMPARE(delivered, 1);
    }
};

int runStatisticsViewTests(int argc, char** argv) {
    StatisticsViewTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "StatisticsViewTest.moc"
