// Every screen of the window in every state, in the default light palette and in a dark one, switched while the
// window is open: the contrast of each text and icon against what is behind it, measured on the grabbed pixels,
// and the keyboard focus on each control.
#include "app/ContentView.h"
#include "app/FoldwiseApp.h"
#include "ui/FolderPicker.h"
#include "ui/SettingsSheet.h"
#include "tests/support/IsolatedUserFolders.h"
#include "tests/support/TempFolder.h"
#include "ui/ChartColors.h"
#include "ui/DarkPalette.h"
#include "ui/OrganizerView.h"
#include "ui/StatisticsChart.h"
#include "ui/StatisticsView.h"

#include <QApplication>
#include <QChart>
#include <QLabel>
#include <QLegend>
#include <QPushButton>
#include <QScrollArea>
#include <QSettings>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>
#include <QToolButton>

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <future>

namespace foldwise::test {
namespace {
namespace fs = std::filesystem;
using testing::TempFolder;
using testing::writeFile;

constexpr double textContrast = 4.5;  // text of any size, and icons
constexpr double focusContrast = 3.0; // a focus indicator against what it replaces

struct Ink {
    double ratio = 1;
    QColor color;
    QColor background;
};

// What is drawn in `area` of `image`, against the area's most frequent colour. Anti-aliasing blends every edge
// into the background, so the ink's colour is read where it stands out most: at the thirtieth of the drawn
// pixels with the highest contrast, where small text still has whole pixels. Where the text is grey, black or
// white, coloured pixels (the legend's slice markers) are not ink.
Ink measure(const QImage& image, const QRect& area, bool isTextNeutral = false) {
    const QRect pixels = area & image.rect();
    QHash<QRgb, int> counts;
    for (int y = pixels.top(); y <= pixels.bottom(); ++y) {
        for (int x = pixels.left(); x <= pixels.right(); ++x) {
            ++counts[image.pixel(x, y)];
        }
    }
    QRgb background = 0;
    int most = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > most) {
            most = it.value();
            background = it.key();
        }
    }
    std::vector<std::pair<double, QRgb>> drawn;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        const double ratio = contrastRatio(QColor(it.key()), QColor(background));
        const bool isIgnored = isTextNeutral && QColor(it.key()).hsvSaturationF() > 0.2;
        if (ratio >= 1.25 && !isIgnored) {
            drawn.insert(drawn.end(), it.value(), {ratio, it.key()});
        }
    }
    if (drawn.empty()) {
        return {1.0, QColor(background), QColor(background)};
    }
    const auto strongest = drawn.begin() + std::ptrdiff_t(drawn.size() / 30);
    std::nth_element(drawn.begin(), strongest, drawn.end(), std::greater<>());
    return {strongest->first, QColor(strongest->second), QColor(background)};
}

QString describe(const QWidget& widget) {
    QString text;
    if (const auto* label = qobject_cast<const QLabel*>(&widget)) {
        text = label->text();
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(&widget)) {
        text = button->text();
    }
    return QStringLiteral("%1 \"%2\"").arg(QString::fromLatin1(widget.metaObject()->className()), text.left(40));
}

// Collects every text, icon and focus indicator that does not reach its contrast.
class ReadabilityCheck {
public:
    QStringList failures;
    QString context; // the palette and the state, for the failure messages
    int measured = 0;

    // Every text and icon in `root` and the widgets in it.
    void checkTexts(QWidget& root) {
        QList<QWidget*> scrolled; // measured with their scroll area's content, which may reach out of view
        const QImage image = root.grab().toImage();
        for (QWidget* widget : root.findChildren<QWidget*>()) {
            const bool isScrolled = std::any_of(scrolled.cbegin(), scrolled.cend(),
                                                [&](QWidget* area) { return area->isAncestorOf(widget); });
            if (widget->isWindow() || !widget->isVisibleTo(&root) || isScrolled) {
                continue;
            }
            if (auto* area = qobject_cast<QScrollArea*>(widget)) {
                scrolled.append(area);
                checkTexts(*area->widget());
            } else if (auto* label = qobject_cast<QLabel*>(widget)) {
                if (!label->text().isEmpty() || !label->pixmap().isNull()) {
                    expect(image, root, *label, label->contentsRect(), label->text().isEmpty() ? "icon" : "text");
                }
            } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
                if (button->isEnabled()) { // an inactive control's text needs no contrast
                    expect(image, root, *button, button->rect().adjusted(4, 4, -4, -4), "text");
                }
            } else if (auto* toolButton = qobject_cast<QToolButton*>(widget)) {
                checkToolButton(root, *toolButton);
            } else if (auto* tabBar = qobject_cast<QTabBar*>(widget)) {
                checkTabs(root, *tabBar);
            } else if (auto* chart = qobject_cast<StatisticsChart*>(widget)) {
                const QRect legend = chart->mapFromScene(chart->chart()->legend()->geometry()).boundingRect();
                expect(image, root, *chart->viewport(), legend, "legend", true);
            }
        }
    }

    // Tabs through the controls of `window` and compares each one before and after it takes the focus: the
    // pixels that change by at least 3:1 must add up to a line around the control 1.5 pixels wide, more than
    // the hairline of a changed border.
    void checkFocus(QWidget& window) {
        QSet<QWidget*> visited;
        for (int step = 0; step < 30; ++step) {
            const QImage before = window.grab().toImage();
            QWidget* current = QApplication::focusWidget();
            QTest::keyClick(current != nullptr && current->window() == &window ? current : &window, Qt::Key_Tab);
            QWidget* focused = QApplication::focusWidget();
            if (focused == nullptr || visited.contains(focused)) {
                break;
            }
            visited.insert(focused);
            QRect area = focused->rect();
            if (auto* tabBar = qobject_cast<QTabBar*>(focused)) {
                area = tabBar->tabRect(tabBar->currentIndex());
            }
            const QRect pixels = deviceArea(before, window, *focused, area) & before.rect();
            const QImage after = window.grab().toImage();
            int changed = 0;
            for (int y = pixels.top(); y <= pixels.bottom(); ++y) {
                for (int x = pixels.left(); x <= pixels.right(); ++x) {
                    changed += contrastRatio(QColor(before.pixel(x, y)), QColor(after.pixel(x, y))) >= focusContrast;
                }
            }
            const int outline = 3 * (pixels.width() + pixels.height());
            ++measured;
            if (changed < outline) {
                failures.append(QStringLiteral("%1: focus on %2 changes %3 pixels by 3:1, a line around it is %4")
                                    .arg(context, describe(*focused))
                                    .arg(changed)
                                    .arg(outline));
            }
        }
        QVERIFY2(visited.size() >= 2, qPrintable(context));
    }

    // Lists every failure, then fails when there was one.
    void verify() const {
        for (const QString& failure : failures) {
            qWarning("%s", qPrintable(failure));
        }
        QVERIFY2(failures.isEmpty(),
                 qPrintable(QStringLiteral("%1 of %2 checks failed").arg(failures.size()).arg(measured)));
    }

private:
    static QRect deviceArea(const QImage& image, QWidget& root, const QWidget& widget, const QRect& area) {
        const qreal ratio = image.devicePixelRatio();
        const QRectF inRoot(QPointF(widget.mapTo(&root, area.topLeft())), QSizeF(area.size()));
        return QRectF(inRoot.topLeft() * ratio, inRoot.size() * ratio).toAlignedRect();
    }

    void expect(const QImage& image, QWidget& root, const QWidget& widget, const QRect& area, const char* kind,
                bool isTextNeutral = false) {
        const Ink ink = measure(image, deviceArea(image, root, widget, area), isTextNeutral);
        ++measured;
        if (ink.ratio < textContrast) {
            failures.append(QStringLiteral("%1: %2 of %3 is %4:1 (%5 on %6)")
                                .arg(context, QString::fromLatin1(kind), describe(widget))
                                .arg(ink.ratio, 0, 'f', 2)
                                .arg(ink.color.name(), ink.background.name()));
        }
    }

    // Icon and text side by side cannot be told apart in the pixels: each is measured with the other left out.
    void checkToolButton(QWidget& root, QToolButton& button) {
        if (!button.isEnabled()) {
            return;
        }
        const Qt::ToolButtonStyle style = button.toolButtonStyle();
        for (const auto& [only, kind] : {std::pair{Qt::ToolButtonIconOnly, "icon"}, {Qt::ToolButtonTextOnly, "text"}}) {
            button.setToolButtonStyle(only);
            QCoreApplication::processEvents();
            expect(root.grab().toImage(), root, button, button.rect().adjusted(2, 2, -2, -2), kind);
        }
        button.setToolButtonStyle(style);
    }

    void checkTabs(QWidget& root, QTabBar& tabs) {
        for (int index = 0; index < tabs.count(); ++index) {
            const QString text = tabs.tabText(index);
            const QIcon icon = tabs.tabIcon(index);
            tabs.setTabText(index, QString());
            expect(root.grab().toImage(), root, tabs, tabs.tabRect(index).adjusted(3, 3, -3, -3), "tab icon");
            tabs.setTabText(index, text);
            tabs.setTabIcon(index, QIcon());
            expect(root.grab().toImage(), root, tabs, tabs.tabRect(index).adjusted(3, 3, -3, -3), "tab text");
            tabs.setTabIcon(index, icon);
        }
    }
};

// Answers folder dialogs from a queue.
class FakeFolderPicker final : public FolderPicker {
public:
    std::optional<fs::path> pickFolder(QWidget*, const QString&, const std::optional<fs::path>&) override {
        const fs::path answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::deque<fs::path> answers;
};

// The statistics screen's analysis: the first run waits until released and finds twelve types (so the type chart
// has its caption); later runs find nothing.
class GatedAnalysis {
public:
    ~GatedAnalysis() { release(); }
    void release() {
        if (!released_) {
            released_ = true;
            gate_.set_value();
        }
    }
    StatisticsLoader::Analysis function() const {
        return [opened = opened_, runs = runs_](const fs::path&) {
            if ((*runs)++ > 0) {
                return FileStatistics{};
            }
            opened.wait();
            FileStatistics statistics{{{"Images", 40}, {"Documents", 25}, {"Code", 12}}, {}};
            for (int index = 0; index < 12; ++index) {
                statistics.types.emplace_back("type" + std::to_string(index), 30 - 2 * index);
            }
            return statistics;
        };
    }

private:
    std::promise<void> gate_;
    std::shared_future<void> opened_ = gate_.get_future().share();
    std::shared_ptr<std::atomic<int>> runs_ = std::make_shared<std::atomic<int>>(0);
    bool released_ = false;
};

} // namespace

class ReadabilityTest : public QObject {
    Q_OBJECT

    QPalette light_;
    ReadabilityCheck check_;

    // Measures `window` (and the windows in `others`) in the light palette, then in the dark one.
    void inBothPalettes(const QString& state, const std::function<void()>& measure) {
        for (const auto& [name, palette] : {std::pair{"light", light_}, {"dark", darkFusionPalette()}}) {
            QApplication::setPalette(palette);
            QCoreApplication::processEvents();
            check_.context = QString::fromLatin1(name) + QStringLiteral(", ") + state;
            measure();
        }
    }

private slots:
    void initTestCase() {
        QSettings(QStringLiteral("Foldwise"), QStringLiteral("Foldwise")).clear();
        light_ = QApplication::palette();
    }

    void init() { check_ = ReadabilityCheck(); }

    void cleanup() {
        QApplication::setPalette(light_);
        QThreadPool::globalInstance()->waitForDone();
    }

    void everyTextAndIconStandsOutFromItsBackground() {
        const TempFolder temp;
        fs::create_directory(temp / "Inbox");
        fs::create_directory(temp / "Sorted");
        writeFile(temp / "Inbox" / "notes.txt");
        auto* picker = new FakeFolderPicker;
        picker->answers = {temp / "Inbox", temp / "Sorted"};
        const auto window = FoldwiseApp::makeWindow(std::unique_ptr<FolderPicker>(picker));
        auto& statistics = *window->findChild<StatisticsView*>();
        GatedAnalysis analysis;
        statistics.setAnalysis(analysis.function());
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        auto click = [&](const char* name) {
            window->findChild<QPushButton*>(QString::fromLatin1(name))->click();
        };
        auto checkWindow = [&] {
            check_.checkTexts(*window);
        };

        inBothPalettes(QStringLiteral("organizer at first launch"), checkWindow);
        window->tabs().setCurrentIndex(1);
        inBothPalettes(QStringLiteral("statistics without a folder"), checkWindow);
        window->tabs().setCurrentIndex(0);

        click("settingsButton");
        SettingsSheet& sheet = window->organizerView().settingsSheet();
        QVERIFY(QTest::qWaitForWindowExposed(&sheet));
        click("selectInputFolderButton");
        click("selectOutputFolderButton");
        inBothPalettes(QStringLiteral("settings sheet"), [&] { check_.checkTexts(sheet); });
        click("doneButton");

        inBothPalettes(QStringLiteral("organizer with both folders"), checkWindow);
        click("sortButton");
        inBothPalettes(QStringLiteral("organizer after a sort"), checkWindow);
        click("undoSortButton");
        inBothPalettes(QStringLiteral("organizer after an undo"), checkWindow);
        writeFile(temp / "Sorted" / "Documents"); // in the way of the sub-folder the sort needs
        click("sortButton");
        inBothPalettes(QStringLiteral("organizer after a failed sort"), checkWindow);

        window->tabs().setCurrentIndex(1);
        QCOMPARE(statistics.state(), StatisticsScreenState::Loading);
        inBothPalettes(QStringLiteral("statistics loading"), checkWindow);
        analysis.release();
        QTRY_COMPARE(statistics.state(), StatisticsScreenState::Results);
        inBothPalettes(QStringLiteral("statistics results"), checkWindow);
        statistics.refreshAction()->trigger();
        QTRY_COMPARE(statistics.state(), StatisticsScreenState::Empty);
        inBothPalettes(QStringLiteral("statistics of an empty folder"), checkWindow);

        check_.verify();
        QVERIFY(check_.measured > 150); // the walk found the screens' texts and icons
    }

    void everyControlShowsTheKeyboardFocus() {
        const TempFolder temp;
        fs::create_directory(temp / "Inbox");
        fs::create_directory(temp / "Sorted");
        auto* picker = new FakeFolderPicker;
        picker->answers = {temp / "Inbox", temp / "Sorted"};
        const auto window = FoldwiseApp::makeWindow(std::unique_ptr<FolderPicker>(picker));
        window->findChild<StatisticsView*>()->setAnalysis([](const fs::path&) {
            return FileStatistics{{{"Images", 3}}, {{"jpg", 3}}};
        });
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        window->findChild<QPushButton*>(QStringLiteral("settingsButton"))->click();
        SettingsSheet& sheet = window->organizerView().settingsSheet();
        QVERIFY(QTest::qWaitForWindowActive(&sheet));
        inBothPalettes(QStringLiteral("settings sheet"), [&] { check_.checkFocus(sheet); });
        sheet.findChild<QPushButton*>(QStringLiteral("selectInputFolderButton"))->click();
        sheet.findChild<QPushButton*>(QStringLiteral("selectOutputFolderButton"))->click();
        sheet.findChild<QPushButton*>(QStringLiteral("doneButton"))->click();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));

        inBothPalettes(QStringLiteral("organizer"), [&] { check_.checkFocus(*window); });
        window->tabs().setCurrentIndex(1);
        QTRY_COMPARE(window->findChild<StatisticsView*>()->state(), StatisticsScreenState::Results);
        inBothPalettes(QStringLiteral("statistics"), [&] { check_.checkFocus(*window); });
        check_.verify();
    }
};

} // namespace foldwise::test

// Preferences and the history of sorts live in fresh temporary folders, set before the application starts.
int main(int argc, char** argv) {
    const foldwise::testing::IsolatedUserFolders isolated;
    QApplication application(argc, argv);
    foldwise::FoldwiseApp::configure(application);
    foldwise::test::ReadabilityTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ReadabilityTest.moc"
